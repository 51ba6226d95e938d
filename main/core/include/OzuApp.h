// COzuApp: the program's application object. Beside the edition-neutral
// part it holds the settings, the language resource library, the
// preferences, the edition's datastore and the parser manager; it runs the
// single-instance check, the back end's version test, the grace period after
// a failed connection, the update check, the reload of the datastore and the
// opening of notes.
#pragma once
#include <afxquill.h>

#include "ClientRegistry.h"
#include "QuillmateApp.h"
#include "ResMan.h"

class COzuExcept;

// What one edition brings: its datastore and its notes. The editions fill
// the table when they are linked in; an edition without a row cannot start.
struct QuiEdition {
    // The datastore; nEdition is the edition number it is made for (the
    // web-only edition serves 0 and 4). Throws COzuExcept when it cannot.
    CDatastore* (*pfnCreateDatastore)(int nEdition);
    // A new note with its note window object, the window not yet created.
    CActionNote* (*pfnCreateNote)();
};

// The row for an edition code (CDatastore::typeNotes ... typeWebCalendar;
// the web-only edition's row is typeWebOnly). Null clears the row.
void QuiRegisterEdition(int nCode, const QuiEdition* pEdition);
const QuiEdition* QuiFindEdition(int nCode);

// Asks the running copy for a new note: QUI_NAN_MSG to every top-level
// window, each given at most nTimeoutMs and hung ones skipped. FALSE when
// the broadcast failed or timed out.
BOOL QuiBroadcastNewNote(UINT nTimeoutMs);

class COzuApp : public CQuillmateApp {
    DECLARE_DYNAMIC(COzuApp)
public:
    // The reload stages.
    enum { kFullRefused = 0, kLightRefused = 1, kFullRunning = 2, kLightRunning = 3, kIdle = 4 };
    enum { kGracePeriodMs = 300000, kBackEndVersion = 5, kBroadcastTimeoutMs = 2000 };

    COzuApp();
    ~COzuApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL OnIdle(LONG lCount) override;

    CActionNote* CreateNote(BOOL bCascade) override;
    COzuPrefs* GetPrefs() override { return m_pPrefs; }
    CDatastore* GetDatastore() override { return m_pDatastore; }
    QuiParserMgr* GetParserMgr() override { return m_pParserMgr; }
    ClientRegistry* GetSettings() override { return &m_settings; }

    // The edition that setting "ActivePIM" names; null, after the failure's
    // own report, when it cannot be made.
    CDatastore* CreateDatastore();
    // A new parser manager over the datastore's item database; FALSE when
    // any step failed (nothing is reported).
    BOOL BuildParserMgr(BOOL bSync);
    // After the start: a parser that fails to load is told once and tried
    // again at the idle passes, at most every kParserRetryMs.
    void RebuildParserMgr(BOOL bSync);
    BOOL IsParserPending() const { return m_bParserPending; }
    enum { kParserRetryMs = 10000 };
    // nMode 1: the user's full reload; 0: after a change of settings or files.
    void ReloadDatastore(int nMode, BOOL bReport);
    BOOL IsReloadPending() const { return m_bReloadPending; }
    void SetReloadPending(BOOL bPending) { m_bReloadPending = bPending; }
    static int GetReloadStage() { return s_nReloadStage; }
    // Start-up done, no reload running and the session not ended.
    BOOL IsReady() const { return m_bReady && !HasSessionEnded(); }
    BOOL IsRetrying() const { return m_bRetrying; }
    BOOL IsUpdateCheckPending() const { return m_bUpdateCheckPending; }
    HINSTANCE GetResourceHandle() const { return m_resMan.GetResourceHandle(); }

    // Starts the updater. The update hand-off installs what does it; until
    // then an update is never due.
    typedef void (*UpdaterRunner)();
    static void SetUpdaterRunner(UpdaterRunner pfn) { s_pfnRunUpdater = pfn; }
    void RunUpdater();

    // The windows that block a full reload while open: the item-database
    // viewer and the connector dialog set and clear these themselves.
    CWnd* m_pItemViewer = nullptr;
    CWnd* m_pConnectorDlg = nullptr;

protected:
    // The first instance holds the mutex; TRUE when another one does.
    virtual BOOL IsSecondInstance();
    // The version test and the back end's item lists, with the start-up's
    // answer to a failing back end; FALSE ends the program.
    BOOL ConnectBackEnd();
    // A COzuExcept of a start or a reload: code 2055 gets its own message.
    static void ReportBackEndError(COzuExcept* e);

private:
    // Opens a note for each text that waits in the note manager's queue,
    // while the program is ready and fewer than five notes are open.
    void OpenWaitingTexts();
    BOOL RunFullReload();
    // The tray and the main window as before, the failure told, the exit
    // command run; ready stays FALSE.
    void ReloadFailed(COzuExcept* e, BOOL bTell = TRUE);
    void DeleteDatastore();

    ClientRegistry m_settings;
    CResMan m_resMan;
    COzuPrefs* m_pPrefs = nullptr;
    CDatastore* m_pDatastore = nullptr;
    QuiParserMgr* m_pParserMgr = nullptr;
    HANDLE m_hMutex = nullptr;
    BOOL m_bReady = FALSE;
    BOOL m_bUpdateCheckPending = FALSE;
    BOOL m_bReloadPending = FALSE;
    BOOL m_bRetrying = FALSE;
    BOOL m_bParserPending = FALSE;
    DWORD m_dwParserTick = 0;
    DWORD m_dwFailureTick = 0;
    BOOL m_bReloadNoticeGiven = FALSE;

    static int s_nReloadStage;
    static UpdaterRunner s_pfnRunUpdater;
};

// The application object when it is a COzuApp.
COzuApp* QuiGetOzuApp();
