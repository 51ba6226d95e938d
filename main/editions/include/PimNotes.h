// The PIM editions' notes and their windows: Lotus Notes (Ozu), Palm Desktop
// (Ibe) and Outlook (Ruk). A note finds its edition's destinations by their
// panes' ids, attaches their sinks and files the ticked ones into item
// records for the datastore; the note window asks before closing or filing,
// and the destination window stacks the edition's panes with the web
// actions pane. One class of each kind serves the three editions; the
// edition's class names the edition.
#pragma once
#include <afxquill.h>

#include "ActionNote.h"
#include "DestWnd.h"
#include "NoteWnd.h"
#include "PimPanes.h"
#include "WebActionsPane.h"

class CGodwitWrapper;

// What tells the editions' notes apart.
struct PimNoteTraits {
    PimEdition edition;
    int toDoPane, calPane;
    int journalPane;          // 0: the edition has none
    int emailPane;            // 0: the edition has none
    bool journalInChecks;     // the journal pane counts when deciding whether anything is ticked
    bool journalEnables;      // the journal pane counts in HasEnabledDestination
    bool fillsEmail;          // the e-mail destination fills its record
    bool filesEmailRecord;    // the e-mail record goes to the datastore (feature 3)
    bool chooseMoreContacts;  // the more-contacts dialog is offered
    bool newContactDialog;    // the datastore's new-contact dialog is offered
    bool emailLast;           // the e-mail pane goes below the web actions pane
    bool resizesWebPane;      // the web actions pane takes its own client size
    UINT toDoLine, calLine, journalLine, label;
};

const PimNoteTraits& OzuNoteTraits();
const PimNoteTraits& IbeNoteTraits();
const PimNoteTraits& RukNoteTraits();

class CPimActionNote : public CActionNote {
public:
    explicit CPimActionNote(const PimNoteTraits& traits);
    ~CPimActionNote() override;

    void FileNote(CActionNote* note) override;
    void OpenKestrelViewer(CActionNote* note) override;
    BOOL NewContact(CActionNote* note, CString& name, int& id) override;
    BOOL ChooseMoreContacts(CActionNote* note, CString& name, int& id) override;
    void ShowHelp(CActionNote* note) override;
    void ParseText(CActionNote* note) override;
    void RemoveItem(const CString& text, int data) override;
    BOOL HasEnabledDestination() override;
    int AttachSinks() override;
    // The web actions ask the to-do and calendar to give way (FALSE) and to
    // come back (TRUE).
    void EnablePimDestinations(BOOL bEnable) override;

    // A hook for subclasses; nothing here.
    virtual void ExtraHook() {}
    // A record that is nothing yet (Type 0) becomes a to-do.
    virtual void MarkRecordAsToDo(CActionNote* note, CGodwitWrapper* record);
    // Every contact of the item database into the note's recent contacts,
    // in list order (the note keeps the last ten).
    virtual void LinkAllContacts();
    virtual int OnRecordFilled(CActionNote* note, CGodwitWrapper* record);
    // Filed: with SaveThenNew a fresh note opens, then this note ends (it may
    // be gone on return). Not filed: the note comes back with its text.
    virtual void FinishFiling(CActionNote* note, BOOL bFiled);
    virtual void OnSinksAttached() {}

    // Files into every ticked destination; FALSE when nothing was ticked and
    // no web action was sent. Throws COzuExcept, and a framework exception
    // when a record cannot be made or filled.
    BOOL FileCheckedDestinations(CActionNote* note);
    // The note as a to-do; FALSE.
    BOOL FileAsToDo(CActionNote* note);

    CPimToDoDestination* GetToDoDestination();
    CPimCalDestination* GetCalDestination();
    CPimJournalDestination* GetJournalDestination();
    CPimEmailDestination* GetEmailDestination();
    CWebActionsDestination* GetWebActionsDestination();
    static BOOL IsDestinationChecked(CDestination* dest);

    const PimNoteTraits& GetTraits() const { return m_traits; }

protected:
    const PimNoteTraits& m_traits;
    // What this note has filed already: filing again after a failure does
    // not file these a second time.
    bool m_bWebSent = false;
    bool m_bToDoFiled = false;
    bool m_bCalFiled = false;
    bool m_bJournalFiled = false;
    bool m_bEmailFiled = false;

private:
    void AddSummaryLines();
};

class COzuActionNote : public CPimActionNote {
public:
    COzuActionNote();
    COzuToDoDestination* GetToDoDestination();
    COzuCalDestination* GetCalDestination();
    COzuJournalDestination* GetJournalDestination();
    COzuEmailDestination* GetEmailDestination();
};

class CIbeActionNote : public CPimActionNote {
public:
    CIbeActionNote();
    CIbeToDoDestination* GetToDoDestination();
    CIbeCalDestination* GetCalDestination();
    CIbeJournalDestination* GetJournalDestination();
    CIbeEmailDestination* GetEmailDestination();
};

class CRukActionNote : public CPimActionNote {
public:
    CRukActionNote();
    CRukToDoDestination* GetToDoDestination();
    CRukCalDestination* GetCalDestination();
};

//--- the destination windows

// The panes of one edition's destination window, in their stacking order.
class CPimDestWnd : public CDestWnd {
public:
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    // Destroys the pane windows that the features created.
    void DestroyPanes();

    CWebActionsPane& GetWebActionsPane() { return m_webActions; }
    CDestPane* GetToDoPane() { return m_pToDo; }
    CDestPane* GetCalPane() { return m_pCal; }
    CDestPane* GetJournalPane() { return m_pJournal; }
    CDestPane* GetEmailPane() { return m_pEmail; }

protected:
    CPimDestWnd(const PimNoteTraits& traits, CDestPane* toDo, CDestPane* cal, CDestPane* journal, CDestPane* email);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    DECLARE_MESSAGE_MAP()

    const PimNoteTraits& m_traits;
    CDestPane* m_pToDo;
    CDestPane* m_pCal;
    CDestPane* m_pJournal;
    CDestPane* m_pEmail;
    CWebActionsPane m_webActions;

private:
    void PlacePane(CDestPane& pane, int& y, bool bGrow);
};

class COzuDestWnd : public CPimDestWnd {
public:
    COzuDestWnd();
    COzuToDoPane& GetOzuToDoPane() { return m_toDo; }
    COzuCalPane& GetOzuCalPane() { return m_cal; }

private:
    COzuToDoPane m_toDo;
    COzuCalPane m_cal;
    COzuJournalPane m_journal;
    COzuEmailPane m_email;
};

class CIbeDestWnd : public CPimDestWnd {
public:
    CIbeDestWnd();

private:
    CIbeToDoPane m_toDo;
    CIbeCalPane m_cal;
    CIbeJournalPane m_journal;
    CIbeEmailPane m_email;
};

class CRukDestWnd : public CPimDestWnd {
public:
    CRukDestWnd();

private:
    CRukToDoPane m_toDo;
    CRukCalPane m_cal;
};

//--- the note windows

class CPimNoteWnd : public CNoteWnd {
public:
    BOOL DestroyWindow() override;

    // The longest text filed without a question.
    enum { MAX_QUIET_TEXT = 1024 };

protected:
    CPimNoteWnd(CPimActionNote* pNote);

    afx_msg void OnClose();
    // Asks before filing an empty or an overlong note.
    void OnSaveNote() override;
    DECLARE_MESSAGE_MAP()

    CPimActionNote* PimNote() const { return static_cast<CPimActionNote*>(GetNote()); }
    // The pane windows go first, the sinks of their destinations with them.
    void ClosePanes();
    template <class Dest> CDestWnd* MakeDestWnd();
};

class COzuNoteWnd : public CPimNoteWnd {
public:
    explicit COzuNoteWnd(COzuActionNote* pNote) : CPimNoteWnd(pNote) {}
    CDestWnd* CreateDestWnd() override;
};

class CIbeNoteWnd : public CPimNoteWnd {
public:
    explicit CIbeNoteWnd(CIbeActionNote* pNote) : CPimNoteWnd(pNote) {}
    CDestWnd* CreateDestWnd() override;
};

class CRukNoteWnd : public CPimNoteWnd {
public:
    explicit CRukNoteWnd(CRukActionNote* pNote) : CPimNoteWnd(pNote) {}
    CDestWnd* CreateDestWnd() override;
};
