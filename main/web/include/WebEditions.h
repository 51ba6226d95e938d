// The web editions of the program: the web-only edition ("ActivePIM" 4, and
// 0 or any value that names no edition, which files only web actions) and
// the web calendar edition ("ActivePIM" 5). Each is a datastore, a note, a
// note window and a destination window over the panes of WebCalPanes.h and
// the web actions pane (and, with their features, the Notes edition's self
// and journal panes); they file by web actions alone.
#pragma once
#include <afxquill.h>

#include "ActionNote.h"
#include "Datastore.h"
#include "DestWnd.h"
#include "NoteWnd.h"
#include "PimPanes.h"
#include "WebActionsPane.h"
#include "WebCalPanes.h"

// Puts both editions into the application's edition table.
void QuiRegisterWebEditions();

class CWebOnlyDatastore : public CDatastore {
public:
    // 0 (web actions only), 4 (the web calendar service) or 5 (the web
    // calendar edition's datastore).
    explicit CWebOnlyDatastore(int nEdition);
    ~CWebOnlyDatastore() override;

    long Connect() override { return 0; }
    long FileRecord(IDispatch*) override { return 0; }
    long OpenBackEnd() override { return 0; }
    long GetDefaultDuration() override { return 0; }
    long GetBackEndVersion() override { return 0; }
    BOOL GetFolderList(CStringArray&) override { return FALSE; }
    // The types, the web action items, then the login (editions 4 and 5).
    BOOL LoadItems() override;
    int GetType() override { return m_nEdition; }
    BOOL HasFeature(int n) override { return n >= 6 && n <= 10; }
    UINT GetResourceId() override;
    const char* const* GetItemTypeIds() override;
    // Runs the shipped web calendar connector's hidden "yahoo login" action
    // (its item, by id) with the stored user name and password, never kept
    // off line; its answer, 0 without it.
    virtual int SubmitWebLogin();

    // How long the login's page may stay for the browser to read it.
    static void SetLoginPageLife(UINT ms) { s_nLoginPageLife = ms; }
    // Removes the login's page now when it is still the one the login wrote.
    void RemoveLoginPage();
    // The process may be ended before the page's timer: it goes now.
    void SaveAtSessionEnd() override;

private:
    static void CALLBACK OnLoginPageTimer(HWND, UINT, UINT_PTR id, DWORD);

    int m_nEdition;
    CString m_strLoginPage;
    FILETIME m_loginPageTime = {};
    UINT_PTR m_nLoginTimer = 0;
    static UINT s_nLoginPageLife;
};

class CMyTimeDatastore : public CWebOnlyDatastore {
public:
    CMyTimeDatastore() : CWebOnlyDatastore(typeWebCalendar) {}
    const char* const* GetItemTypeIds() override;
};

class CWebActionNote : public CActionNote {
public:
    CWebActionNote() = default;
    ~CWebActionNote() override;

    void FileNote(CActionNote* note) override;
    void OpenKestrelViewer(CActionNote* note) override;
    void ShowHelp(CActionNote* note) override;
    void ParseText(CActionNote* note) override;
    BOOL HasEnabledDestination() override { return TRUE; }
    int AttachSinks() override;
    // The web actions ask the others to give way: parsing stops filling them.
    void EnablePimDestinations(BOOL bEnable) override;
    BOOL IsFeature1() override { return FALSE; }

    CWebToDoDestination* GetToDoDestination();
    CWebCalDestination* GetCalDestination();
    CWebActionsDestination* GetActionsDestination();

protected:
    void FileEntries() override;
    virtual int CalendarPaneId() const { return CWebCalPane::PANE_ID; }
    // Fills a fresh action from the destination and hands it to the
    // datastore. An action without a catalogue entry, or one the datastore
    // neither opened nor kept, throws COzuExcept: the note is not lost. One
    // kept off line is announced.
    template <class Dest> void Submit(Dest* dest);
    void PostAttach();

    // What this note filed already: a later attempt does not file it again.
    bool m_bToDoFiled = false;
    bool m_bCalFiled = false;
    bool m_bActionsFiled = false;
    // An entry kept off line was announced: once a note.
    bool m_bToldKept = false;
};

class CMyTimeActionNote : public CWebActionNote {
public:
    void ParseText(CActionNote* note) override;
    BOOL HasEnabledDestination() override;
    int AttachSinks() override;
    void EnablePimDestinations(BOOL) override {}
    BOOL IsFeature1() override { return CActionNote::IsFeature1(); }

    // Its own operations after the base's: two hooks for subclasses that do
    // nothing here, one that answers 0, and the calendar's parse lock.
    virtual void ExtraHook() {}
    virtual int ExtraAnswer() { return 0; }
    virtual void LockCalendarParsing(BOOL bLock);
    virtual void LastHook() {}

protected:
    void FileEntries() override;
    int CalendarPaneId() const override { return CMyTimeCalPane::PANE_ID; }
};

class CWebDestWnd : public CDestWnd {
public:
    CWebToDoPane& GetToDoPane() { return m_toDo; }
    CWebCalPane& GetCalPane() { return *m_pCal; }
    CWebActionsPane& GetActionsPane() { return m_actions; }
    // The Notes edition's journal pane, for feature 11.
    COzuJournalPane& GetJournalPane() { return m_journal; }
    // Destroys the panes' windows, the destinations' sinks first.
    void DestroyPanes();

    CWebDestWnd();
    ~CWebDestWnd() override;

protected:
    explicit CWebDestWnd(CWebCalPane* pCal, bool bMyTime);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    DECLARE_MESSAGE_MAP()

private:
    void PlacePane(CDestPane& pane, int& row, bool bAvailable);

    CWebActionsPane m_actions;
    COzuQuillmatePane m_self;
    COzuJournalPane m_journal;
    CWebToDoPane m_toDo;
    CWebCalPane* m_pCal;
    bool m_bMyTime;
};

class CMyTimeDestWnd : public CWebDestWnd {
public:
    CMyTimeDestWnd();
};

class CWebNoteWnd : public CNoteWnd {
public:
    explicit CWebNoteWnd(CActionNote* pNote) : CNoteWnd(pNote) {}
    CDestWnd* CreateDestWnd() override;
    BOOL DestroyWindow() override;

protected:
    virtual CWebDestWnd* MakeDestWnd() { return new CWebDestWnd; }
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()
};

class CMyTimeNoteWnd : public CWebNoteWnd {
public:
    explicit CMyTimeNoteWnd(CActionNote* pNote);
    // Its own keys: the datastore answers the web-only table, whose Ctrl+2
    // names the web-only calendar.
    UINT GetAcceleratorId() override;

protected:
    CWebDestWnd* MakeDestWnd() override { return new CMyTimeDestWnd; }
    DECLARE_MESSAGE_MAP()
};
