// The edition-neutral part of the application object: its drawing objects,
// the count of open modal boxes, and the slots through which the rest of the
// program reaches the objects the application owns.
#pragma once
#include <afxquill.h>

#include <vector>

class CActionNote;
class ClientRegistry;
class CNoteManager;
class CDatastore;
class COzuPrefs;
class COzuPropSheet;
class QuiParserMgr;
class CTrayWnd;

// The new-note broadcast of a second start, registered by the application.
extern UINT QUI_NAN_MSG;

class CQuillmateApp : public CWinApp {
    DECLARE_DYNAMIC(CQuillmateApp)
public:
    CQuillmateApp();
    ~CQuillmateApp() override;

    virtual CActionNote* CreateNote(BOOL bCascade) = 0;
    // The owned objects; null outside the running state.
    virtual COzuPrefs* GetPrefs();
    virtual CDatastore* GetDatastore();
    virtual QuiParserMgr* GetParserMgr();

    // The datastore's answer to feature question n; feature 5 is always off,
    // and without a datastore every feature is.
    BOOL IsFeature(int n);

    // Made on first use, deleted with the application object.
    CFont* GetSmallFont();    // 8-point "Arial"
    CFont* GetBoldFont();     // 8.3-point "Arial Bold"
    CFont* GetNarrowFont();   // 8.3-point "Arial Narrow"
    CPalette* GetPalette();   // the application palette

    // Raised around the about box, the tip dialog and the tray window's
    // message boxes; the tray window reads it.
    void BeginModalBox() { ++m_nModalBoxes; }
    void EndModalBox();
    int GetModalBoxCount() const { return m_nModalBoxes; }

    // Answers a tool-tip text request that names its tool by window handle:
    // the tip within string nID (a flat button's checked state picks its
    // alternative tip). FALSE for any other request.
    BOOL GetToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);

    // Filings and resends under way. Each waits with messages pumped (a
    // browser, a DDE peer, a COM call, a box), and what it returns to must
    // outlive the wait: meanwhile an exit is put off until the last one has
    // returned, and reloads, the preferences and the connectors are refused.
    void BeginWait() { ++m_nWaits; }
    void EndWait();
    BOOL IsWaiting() const { return m_nWaits > 0; }
    // The outermost loop does an exit that a wait put off, once none is
    // left; TRUE when it did.
    BOOL RunPendingExit();
    // The exit has begun (the quit is asked for, a wait met it, or the
    // program is ending): nothing new is taken on.
    BOOL IsExiting() const;

    // The settings table the application owns; null without one.
    virtual ClientRegistry* GetSettings();
    // The open notes: the manager lives from CreateNoteManager (start-up)
    // to DeleteNoteManager (exit); null outside.
    void CreateNoteManager();
    void DeleteNoteManager();
    CNoteManager* GetNoteManager() const { return m_pNoteManager; }
    CActionNote* NewNote() { return CreateNote(TRUE); }
    CActionNote* GetCurrentNote();
    int GetNoteCount();
    // The note window is gone: the manager deletes the note.
    void CloseNote(CActionNote* pNote);
    // The note becomes current while its windows are active.
    void ActivateNote(CActionNote* pNote);
    // What every edition's CreateNote does once it has made the note and its
    // window object: creates the window (at the stored position, else
    // centred), lists the note, steps it off the previous current note
    // (bCascade: down and right by the title's height), attaches its sinks
    // and shows it. Null, the note deleted, when the window cannot be made.
    CActionNote* OpenNote(CActionNote* pNote, BOOL bCascade);
    // The open preferences sheet: set when it opens, cleared when its window goes.
    COzuPropSheet* m_pPrefSheet = nullptr;

    // Start-up of the edition-neutral part: palette, OLE, the automation
    // server, the tray window as the main window, the note manager.
    BOOL InitInstance() override;
    // Revokes the automation server, deletes the note manager and removes
    // the tray icon.
    int ExitInstance() override;
    // The active current note's window sees commands first.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    // The splash window sees every message first.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The exit command: asks for each note that holds text, then ends the
    // program (or, started for automation, lets go of its lock). Asked while
    // a filing or a resend waits, it is done once that has returned.
    afx_msg void OnAppExit();
    // What the exit command asks: for each open note that holds text, and
    // for each text that still waits for a note, whether to file it (Yes)
    // or discard it (No); texts that cannot be opened as notes are told.
    // At the session's end (see OnQueryEndSession) Cancel is offered too,
    // and a note let go stays until the end is certain.
    enum NotesAsked { notesClosed, notesKept, notesFiling };
    enum AskedFor { askedAtExit, askedAtSessionEnd };
    NotesAsked AskAboutNotes(AskedFor asked);
    // Logoff and shut-down: asks about each note that holds text; TRUE lets
    // the session end. Yes files the note; No lets it go once the end is
    // certain, and nothing goes before; Cancel, a failed filing, one under
    // way or the questions open already refuse the end. The texts that wait
    // for a note are kept, as is everything a close for the Restart Manager
    // (ENDSESSION_CLOSEAPP in lParam) meets: it asks nothing.
    BOOL OnQueryEndSession(LPARAM lParam = 0);
    // The session ends (bEnding): the open notes and the waiting texts are
    // kept for the next start first, then the datastore's files are written
    // and the program is asked to end; nothing it owns is deleted before
    // the outermost loop ends. From then on no note opens and no question
    // about a note acts, and a logoff asks nothing more. An end called off
    // keeps every note the question let go.
    void OnEndSession(BOOL bEnding);
    // Writes the notes that hold text and the waiting texts beside the
    // keyword file; FALSE when the file could not be written.
    BOOL KeepNotesForNextStart();
    // Opens what the last session's end kept, as notes and waiting texts,
    // tells the user once and deletes the file; the count opened.
    int RestoreKeptNotes();
    BOOL HasSessionEnded() const { return m_bSessionEnded; }
    afx_msg void OnAppAbout();
    // Registers the class objects and the type library; FALSE ends the
    // program (also after "RegServer" and "UnregServer").
    BOOL InitAutomationServer();
    BOOL IsAutomationServerStarted() const { return m_bAutomationStarted; }
    CTrayWnd* GetTrayWnd();
    // The main window InitInstance makes; tests give their own.
    virtual CTrayWnd* CreateTrayWnd();

    // A number of the settings table; 0 without one.
    DWORD GetSettingDword(int index, bool reload = false);
    void SetSettingDword(int index, DWORD value);
    // The clocks the application reads; tests set their own.
    virtual DWORD GetTickCount();
    virtual COleDateTime GetCurrentTime();

protected:
    void BeginExit() { m_bExiting = TRUE; }

private:
    CFont* font(CFont& font, int nTenths, LPCTSTR lpszFace);

    CFont m_smallFont;
    CFont m_boldFont;
    CFont m_narrowFont;
    CPalette m_palette;
    int m_nModalBoxes = 0;
    CNoteManager* m_pNoteManager = nullptr;
    BOOL m_bAutomationStarted = FALSE;
    BOOL m_bAskingAboutNotes = FALSE;
    BOOL m_bSessionEnded = FALSE;
    // The notes answered "No" at the logoff question.
    std::vector<CActionNote*> m_declinedAtEnd;
    NotesAsked AskAtSessionEnd();
    int m_nWaits = 0;
    BOOL m_bExitPending = FALSE;
    BOOL m_bExiting = FALSE;
    void EndAutomationServer();
    // What the session's end writes before it returns: the datastore's
    // files, asking only about what would be lost otherwise.
    void SaveAtSessionEnd();
    NotesAsked AskAboutEachNote();

    DECLARE_MESSAGE_MAP()
};

// The application object, or null when the program has none (or it is not one of ours).
CQuillmateApp* QuiGetApp();

// The application's wait for the scope's life (none without an application).
class CAppWait {
public:
    CAppWait();
    ~CAppWait();
    CAppWait(const CAppWait&) = delete;
    CAppWait& operator=(const CAppWait&) = delete;

private:
    CQuillmateApp* m_pApp;
};
