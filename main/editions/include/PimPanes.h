// The PIM editions' destinations and their panes: to-do, calendar, journal
// (Palm: memo) and e-mail for Lotus Notes (Ozu), Palm Desktop (Ibe) and
// Outlook (Ruk), and the Notes edition's self pane. Each pane makes and owns
// its destination; the destination reaches the pane's fields through value
// adaptors, takes the parse results of its sinks and fills an item record
// when the note is filed. One class of each kind serves the three editions;
// the edition's class names the edition.
#pragma once
#include <afxquill.h>

#include <memory>
#include <vector>

#include "DateDrop.h"
#include "DestPane.h"
#include "Destination.h"
#include "DropProps.h"
#include "EditDrop.h"
#include "FlatButton.h"
#include "MultiDrop.h"
#include "NoteDay.h"
#include "QuiParseSinks.h"

class CActionNote;
class CGodwitWrapper;
class CPimCalPane;
class CPimEmailPane;
class CPimJournalPane;
class CPimToDoPane;
class QuiPrsContext;

enum PimEdition { pimNotes, pimPalm, pimOutlook };

// Pane control ids and resources of the editions. The Notes to-do and
// calendar panes share their control ids with the web panes, not their
// resources.
enum {
    IDP_OZU_TODO = 507,
    IDP_OZU_TODO_OLD = 506,
    IDP_OZU_TODO_RES = 508,
    IDP_OZU_CAL = 510,
    IDP_OZU_CAL_OLD = 511,
    IDP_OZU_CAL_RES = 512,
    IDP_OZU_JOURNAL = 505,
    IDP_OZU_EMAIL = 509,
    IDP_OZU_SELF = 516,
    IDP_IBE_TODO = 503,
    IDP_IBE_CAL = 504,
    IDP_IBE_JOURNAL = 502,
    IDP_IBE_EMAIL = 509,
    IDP_RUK_TODO = 525,
    IDP_RUK_CAL = 519
};

// The calendar kinds of the Notes pane's menu.
enum { KIND_TIMED = 7001, KIND_DAYS = 7002, KIND_AT = 7003, KIND_DATE = 7004, KIND_LIKE_TODO = 7005 };

// The item type of dates, of to-do categories, of journal folders and memo
// categories, and of contacts.
extern const char PIM_DATE_ITEM_TYPE[];

//--- calendar

class CPimCalDestination : public CDestination {
public:
    CPimCalDestination(CPimCalPane* pPane, PimEdition edition);
    ~CPimCalDestination() override;

    bool IsModified() override;
    void SetParseLocked(bool bLocked) override { m_bParseLocked = bLocked; }
    void OnParseResult1(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink) override;
    void OnParseResult2(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink) override;
    void OnParseResult3(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink) override;
    // After every parse of the note: the kind (Notes) and the tick follow
    // what the parse filled.
    virtual void OnParseDone();

    int attachSinks();
    void detachSinks();
    // Fills the record as a calendar entry; 0. A field that cannot be filed
    // throws COzuExcept with the message that names it.
    int fileItem(CGodwitWrapper* pRecord);
    // The note's text without the date's and the start's keyphrases.
    int GetBodyText(CString& text);

    // The pane makes the adaptors once its fields exist.
    void Bind();
    // Forgets the keyphrases of the fields, as after the user unticked the pane.
    void ForgetKeyphrases();
    // Switched on again by the user: the fields from the note as it stands.
    void Retake();
    // The phrases the destination holds (for its fields or standing by).
    std::vector<INT_PTR> HeldKeyphrases() const;

    PimEdition GetEdition() const { return m_edition; }
    bool IsParseLocked() const { return m_bParseLocked; }
    bool IsDateNotFromKeyphrase() const { return m_bDateNotFromKeyphrase; }
    CDateDropProp* GetDateProp() { return m_pDate.get(); }
    CEditDropProp* GetDaysProp() { return m_pDays.get(); }
    CTimeEditProp* GetStartProp() { return m_pStart.get(); }
    CTimeEditProp* GetEndProp() { return m_pEnd.get(); }

protected:
    CDestProp* PropOfTag(int nTag);
    CActionNote* Note();
    void TakeDays(const VARIANT& end, INT_PTR nExtra);
    // The entry's day and its times of day as the fields give them.
    struct EntryTimes {
        DATE day = 0.0;
        bool hasStart = false;
        bool hasEnd = false;
        DATE startTime = 0.0;
        DATE endTime = 0.0;
    };
    // Each edition's own part of the filing, after the checks all share.
    void FileNotesEntry(CGodwitWrapper* pRecord, const EntryTimes& times, UINT kind);
    void FilePalmEntry(CGodwitWrapper* pRecord, const EntryTimes& times);
    void FileOutlookEntry(CGodwitWrapper* pRecord, const EntryTimes& times);
    // Start and end of a timed entry; an end time below 0 is none, and the
    // entry then lasts `length`.
    void FileTimes(CGodwitWrapper* pRecord, DATE day, DATE startTime, DATE endTime, DATE length);
    void UpdateKind();
    void UpdateCheck();

    PimEdition m_edition;
    CPimCalPane* m_pPane;
    std::unique_ptr<CDateDropProp> m_pDate;
    std::unique_ptr<CEditDropProp> m_pDays;
    std::unique_ptr<CTimeEditProp> m_pStart;
    std::unique_ptr<CTimeEditProp> m_pEnd;
    // The date's phrase: a day's, else the start's day.
    CNoteDay m_day;
    QuiDateSink m_sink;
    QuiPrsContext* m_pContext = nullptr;
    bool m_bRegistered = false;
    bool m_bDateNotFromKeyphrase = true;
    bool m_bParseLocked = false;
    // An end-date keyphrase that came while the date field held no date: its
    // days are counted once a date is there.
    INT_PTR m_nPendingEnd = 0;
    DATE m_pendingEnd = 0.0;
    // Palm: the start-time keyphrase whose end, an hour later, the end field
    // shows; 0 when the end is another's.
    INT_PTR m_nEndOfStart = 0;
};

class COzuCalDestination : public CPimCalDestination {
public:
    explicit COzuCalDestination(CPimCalPane* pPane) : CPimCalDestination(pPane, pimNotes) {}
};
class CIbeCalDestination : public CPimCalDestination {
public:
    explicit CIbeCalDestination(CPimCalPane* pPane) : CPimCalDestination(pPane, pimPalm) {}
};
class CRukCalDestination : public CPimCalDestination {
public:
    explicit CRukCalDestination(CPimCalPane* pPane) : CPimCalDestination(pPane, pimOutlook) {}
};

class CPimCalPane : public CDestPane {
    DECLARE_DYNAMIC(CPimCalPane)
public:
    enum {
        IDC_DATE = 126,
        IDC_START = 131,
        IDC_END = 132,
        IDC_DAYS = 134,
        IDC_OPTION = 175,
        IDM_OPTION_FIRST = 8001,
        IDM_OPTION_NONE = 8003,
        IDM_OPTION_LAST = 8006
    };

    ~CPimCalPane() override;

    BOOL Create(int y, CWnd* pParent) override;
    BOOL DestroyWindow() override;
    void Show() override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    int GetNeededWidth() override;

    // Stores the kind and shows it when it differs from the current one.
    void SetKind(UINT nKind);
    UINT GetKind() const { return m_nKind; }
    // The kind the back end's calendar preference gives (Notes).
    UINT GetDefaultKind() const { return m_nDefaultKind; }
    // The chosen reminder option (8001 to 8006).
    UINT GetOption() const { return m_nOption; }
    UINT GetPaneId() const { return m_nID; }

    CPimCalDestination* GetCalDestination() const { return static_cast<CPimCalDestination*>(GetDestination()); }
    CDateDrop& GetDateField() { return m_date; }
    CTimeEdit& GetStartField() { return m_start; }
    CTimeEdit& GetEndField() { return m_end; }
    CEditDrop& GetDaysField() { return m_days; }
    CStatic& GetKindSummary() { return m_kindSummary; }
    CStatic& GetDateSummary() { return m_dateSummary; }
    CFlatButton& GetOptionButton() { return m_option; }

    // The end time one default length after the start, unless the user or a
    // keyphrase gave the end; a start typed into the pane ticks it.
    void OnStartTimeChange();

protected:
    CPimCalPane(CPimCalDestination* pDest, UINT nID, UINT nResID, PimEdition edition);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnOptionButton();
    afx_msg void OnStartChange();
    afx_msg void OnDateChange();
    afx_msg void OnEndChange();
    afx_msg void OnDaysChange();
    afx_msg void OnStartKillFocus();
    afx_msg void OnEndKillFocus();
    afx_msg void OnOption(UINT nID);
    afx_msg void OnKind(UINT nID);
    DECLARE_MESSAGE_MAP()

    void OnFieldChange(CEditDrop& field);
    void ShowKindFields(BOOL bShow);
    void LayoutToWidth() override;
    // The default length of an entry in minutes.
    long DefaultLength() const;

    PimEdition m_edition;
    UINT m_nID;
    CDateDrop m_date;
    CStatic m_dateSummary;
    CTimeEdit m_start;
    CStatic m_timeLabel;
    CTimeEdit m_end;
    CFlatButton m_option;
    CStatic m_kindSummary;
    CStatic m_daysBefore;
    CEditDrop m_days;
    CStatic m_daysAfter;
    CMenu m_optionMenu;
    UINT m_nKind = KIND_TIMED;
    UINT m_nDefaultKind = KIND_TIMED;
    UINT m_nOption = IDM_OPTION_NONE;
    BOOL m_bCreating = TRUE;
};

class COzuCalPane : public CPimCalPane {
public:
    COzuCalPane();
};
class CIbeCalPane : public CPimCalPane {
public:
    CIbeCalPane();
};
class CRukCalPane : public CPimCalPane {
public:
    CRukCalPane();
};

//--- to-do

class CPimToDoDestination : public CDestination {
public:
    CPimToDoDestination(CPimToDoPane* pPane, PimEdition edition);
    ~CPimToDoDestination() override;

    bool IsModified() override;
    void SetParseLocked(bool bLocked) override { m_bParseLocked = bLocked; }
    void OnParseResult1(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink) override;
    void OnParseResult2(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink) override;
    void OnParseResult3(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink) override;
    virtual void detachSinks();
    // After every parse: a parsed due date or category ticks the to-do.
    virtual void OnParseDone();

    int attachSinks();
    int fileItem(CGodwitWrapper* pRecord);
    int GetBodyText(CString& text);

    void Bind();
    void ForgetKeyphrases();
    // Switched on again by the user: the fields from the note as it stands.
    void Retake();
    // The phrases the destination holds (for its fields, its categories or
    // standing by).
    std::vector<INT_PTR> HeldKeyphrases() const;

    PimEdition GetEdition() const { return m_edition; }
    // Whether the pane has its category list (Notes: version 5 only).
    bool HasCategories() const { return m_edition != pimNotes || !m_bNotVersion5; }
    bool IsParseLocked() const { return m_bParseLocked; }
    CDateDropProp* GetDueProp() { return m_pDue.get(); }
    CDateDropProp* GetStartProp() { return m_pStart.get(); }
    CMultiDropProp* GetCategoryProp() { return m_pCategories.get(); }
    // The one keyphrase that holds the Palm category.
    INT_PTR GetCategoryKeyphrase() const { return m_nCategoryKeyphrase; }

protected:
    CActionNote* Note();

    PimEdition m_edition;
    CPimToDoPane* m_pPane;
    std::unique_ptr<CDateDropProp> m_pDue;
    std::unique_ptr<CDateDropProp> m_pStart;
    std::unique_ptr<CMultiDropProp> m_pCategories;
    std::unique_ptr<CCheckBoxProp> m_pCheckBox;
    // The due date's phrase: a day's, else a time of day's.
    CNoteDay m_day;
    QuiDateSink m_dateSink;
    QuiDestinationSink m_categorySink;
    QuiPrsContext* m_pDateContext = nullptr;
    QuiPrsContext* m_pCategoryContext = nullptr;
    bool m_bDateRegistered = false;
    bool m_bCategoryRegistered = false;
    bool m_bNotVersion5 = false;
    bool m_bParseLocked = false;
    INT_PTR m_nCategoryKeyphrase = 0;
};

class COzuToDoDestination : public CPimToDoDestination {
public:
    explicit COzuToDoDestination(CPimToDoPane* pPane) : CPimToDoDestination(pPane, pimNotes) {}
};
class CIbeToDoDestination : public CPimToDoDestination {
public:
    explicit CIbeToDoDestination(CPimToDoPane* pPane) : CPimToDoDestination(pPane, pimPalm) {}
};
class CRukToDoDestination : public CPimToDoDestination {
public:
    explicit CRukToDoDestination(CPimToDoPane* pPane) : CPimToDoDestination(pPane, pimOutlook) {}
};

class CPimToDoPane : public CDestPane {
    DECLARE_DYNAMIC(CPimToDoPane)
public:
    enum { IDC_CATEGORIES = 123, IDC_START = 159, IDC_DUE = 160, IDC_LABEL = 128, IDC_DONE_BOX = 627 };

    ~CPimToDoPane() override;

    BOOL Create(int y, CWnd* pParent) override;
    BOOL DestroyWindow() override;
    void Show() override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    int GetNeededWidth() override;

    // The category field's list; nothing without the field.
    void SetCategoryItems(const CStringArray& ids);
    // Unticks a category and clears its keyphrase.
    void UncheckCategory(const CString& id);

    UINT GetPaneId() const { return m_nID; }
    bool HasCategories() const { return GetToDoDestination()->HasCategories(); }
    CPimToDoDestination* GetToDoDestination() const { return static_cast<CPimToDoDestination*>(GetDestination()); }
    CDateDrop& GetDueField() { return m_due; }
    CDateDrop& GetStartField() { return m_start; }
    CMultiDrop& GetCategoryField() { return m_categories; }
    CButton& GetDoneBox() { return m_doneBox; }

protected:
    CPimToDoPane(CPimToDoDestination* pDest, UINT nID, PimEdition edition);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDueChange();
    afx_msg void OnStartChange();
    afx_msg void OnCategoryChange();
    afx_msg void OnDueKillFocus();
    afx_msg void OnStartKillFocus();
    afx_msg void OnDoneBox();
    DECLARE_MESSAGE_MAP()

    void OnDateChange(CDateDrop& field, UINT nPrompt);
    void LayoutToWidth() override;

    PimEdition m_edition;
    UINT m_nID;
    CButton m_doneBox;
    CMultiDrop m_categories;
    CDateDrop m_start;
    CDateDrop m_due;
    CStatic m_label;
    BOOL m_bCreating = TRUE;
};

class COzuToDoPane : public CPimToDoPane {
public:
    COzuToDoPane();
};
class CIbeToDoPane : public CPimToDoPane {
public:
    CIbeToDoPane();
};
class CRukToDoPane : public CPimToDoPane {
public:
    CRukToDoPane();
};

//--- journal (Palm: memo)

class CPimJournalDestination : public CDestination {
public:
    CPimJournalDestination(CPimJournalPane* pPane, PimEdition edition);
    ~CPimJournalDestination() override;

    void OnParseResult1(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink) override;
    void OnParseResult2(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink) override;
    void OnParseResult3(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink) override;
    virtual void detachSinks();

    int attachSinks();
    int fileItem(CGodwitWrapper* pRecord);

    void Bind();
    CMultiDropProp* GetFolderProp() { return m_pFolders.get(); }
    // The one keyphrase that holds the Palm memo category.
    INT_PTR GetFolderKeyphrase() const { return m_nFolderKeyphrase; }

protected:
    CActionNote* Note();
    // The destination ticks itself while a keyphrase holds a folder.
    void UpdateCheck(bool bAny);

    PimEdition m_edition;
    CPimJournalPane* m_pPane;
    std::unique_ptr<CMultiDropProp> m_pFolders;
    QuiDestinationSink m_sink;
    QuiPrsContext* m_pContext = nullptr;
    bool m_bRegistered = false;
    INT_PTR m_nFolderKeyphrase = 0;
};

class COzuJournalDestination : public CPimJournalDestination {
public:
    explicit COzuJournalDestination(CPimJournalPane* pPane) : CPimJournalDestination(pPane, pimNotes) {}
};
class CIbeJournalDestination : public CPimJournalDestination {
public:
    explicit CIbeJournalDestination(CPimJournalPane* pPane) : CPimJournalDestination(pPane, pimPalm) {}
};

class CPimJournalPane : public CDestPane {
    DECLARE_DYNAMIC(CPimJournalPane)
public:
    enum { IDC_FOLDERS = 135 };

    ~CPimJournalPane() override;
    BOOL Create(int y, CWnd* pParent) override;
    BOOL DestroyWindow() override;
    void Show() override;

    void SetFolderItems(const CStringArray& ids);
    UINT GetPaneId() const { return m_nID; }
    CPimJournalDestination* GetJournalDestination() const
    {
        return static_cast<CPimJournalDestination*>(GetDestination());
    }
    CMultiDrop& GetFolderField() { return m_folders; }

protected:
    CPimJournalPane(CPimJournalDestination* pDest, UINT nID, UINT nPrompt);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    DECLARE_MESSAGE_MAP()
    void LayoutToWidth() override;

    UINT m_nID;
    UINT m_nPrompt;
    CMultiDrop m_folders;
};

class COzuJournalPane : public CPimJournalPane {
public:
    COzuJournalPane();
};
class CIbeJournalPane : public CPimJournalPane {
public:
    CIbeJournalPane();
};

//--- e-mail

class CPimEmailDestination : public CDestination {
public:
    CPimEmailDestination(CPimEmailPane* pPane, PimEdition edition);
    ~CPimEmailDestination() override;

    int attachSinks();
    // Notes: the mail bit and the first field's recipients, while the pane
    // is ticked; the Palm edition files no mail.
    int fileItem(CGodwitWrapper* pRecord);

    void Bind();
    CMultiDropProp* GetToProp() { return m_pTo.get(); }
    CMultiDropProp* GetCcProp() { return m_pCc.get(); }
    CMultiDropProp* GetBccProp() { return m_pBcc.get(); }

protected:
    PimEdition m_edition;
    CPimEmailPane* m_pPane;
    std::unique_ptr<CMultiDropProp> m_pTo;
    std::unique_ptr<CMultiDropProp> m_pCc;
    std::unique_ptr<CMultiDropProp> m_pBcc;
};

class COzuEmailDestination : public CPimEmailDestination {
public:
    explicit COzuEmailDestination(CPimEmailPane* pPane) : CPimEmailDestination(pPane, pimNotes) {}
};
class CIbeEmailDestination : public CPimEmailDestination {
public:
    explicit CIbeEmailDestination(CPimEmailPane* pPane) : CPimEmailDestination(pPane, pimPalm) {}
};

class CPimEmailPane : public CDestPane {
    DECLARE_DYNAMIC(CPimEmailPane)
public:
    enum {
        IDC_TO = 136,
        IDC_CC = 153,
        IDC_BCC = 154,
        IDC_FIELD_MENU = 163,
        IDM_FIELD_TO = 6301,
        IDM_FIELD_CC = 6302,
        IDM_FIELD_BCC = 6303
    };

    ~CPimEmailPane() override;
    BOOL Create(int y, CWnd* pParent) override;
    BOOL DestroyWindow() override;
    void Show() override;

    void SetRecipientItems(const CStringArray& ids);
    CPimEmailDestination* GetEmailDestination() const { return static_cast<CPimEmailDestination*>(GetDestination()); }
    CMultiDrop& GetToField() { return m_to; }
    CMultiDrop& GetCcField() { return m_cc; }
    CMultiDrop& GetBccField() { return m_bcc; }
    CFlatButton& GetFieldButton() { return m_fieldButton; }
    // The recipient field in front.
    UINT GetShownField() const { return m_nShown; }

protected:
    CPimEmailPane(CPimEmailDestination* pDest, PimEdition edition);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnField(UINT nID);
    DECLARE_MESSAGE_MAP()
    void LayoutToWidth() override;

    PimEdition m_edition;
    CFlatButton m_fieldButton;
    CMultiDrop m_to;
    CMultiDrop m_cc;
    CMultiDrop m_bcc;
    UINT m_nShown = IDC_TO;
};

class COzuEmailPane : public CPimEmailPane {
public:
    COzuEmailPane();
};
class CIbeEmailPane : public CPimEmailPane {
public:
    CIbeEmailPane();
};

//--- self

// Carries the self pane's choice; files nothing.
class COzuQuillmateDestination : public CDestination {
public:
    explicit COzuQuillmateDestination(CDestPane* pPane) : CDestination(pPane), m_pPane(pPane) {}
    ~COzuQuillmateDestination() override = default;

private:
    CDestPane* m_pPane;
};

class COzuQuillmatePane : public CDestPane {
    DECLARE_DYNAMIC(COzuQuillmatePane)
public:
    enum { IDC_LINK = 112 };
    COzuQuillmatePane();
    ~COzuQuillmatePane() override;
    BOOL Create(int y, CWnd* pParent) override;
    BOOL DestroyWindow() override;
    void Show() override;
    CFlatButton& GetLinkButton() { return m_link; }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnLink();
    DECLARE_MESSAGE_MAP()
    void LayoutToWidth() override;

    CFlatButton m_link;
};

// The Notes datastore's version test, as the Notes panes keep it.
bool PimIsNotesVersion5();
