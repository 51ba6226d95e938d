// The panes through which the web editions file a note: the web calendar
// pane (an event with a date, a start and an end time) and the web to-do
// pane (an entry with a due date), with their destinations. Filing fills a
// web action of the catalogue with the entry's values as named parameters.
// The web calendar edition's pane is the calendar pane with its own control
// id, catalogue entry and event types.
#pragma once
#include <afxquill.h>

#include <memory>
#include <vector>

#include "DateDrop.h"
#include "DestPane.h"
#include "DestUtil.h"
#include "Destination.h"
#include "DropProps.h"
#include "EditDrop.h"
#include "FlatButton.h"
#include "NoteDay.h"
#include "QuiParseSinks.h"

class CActionNote;
class CWebActionJug;
class CWebCalPane;
class CWebToDoPane;
class QuiPrsContext;

// What the calendar and to-do destinations share: the note, the catalogue
// entry and the text of the note without the keyphrases that filled fields.
namespace webcal {

// The twelve-hour hour (12 for noon and midnight) and whether it is after noon.
int TwelveHour(int hour24, bool* pm);

} // namespace webcal

class CWebCalDestination : public CDestination {
public:
    // The fields a role's tag fills.
    enum Field { fieldDate, fieldStart, fieldEnd, FIELD_COUNT };

    explicit CWebCalDestination(CWebCalPane* pPane);
    ~CWebCalDestination() override;

    bool IsModified() override;
    void SetParseLocked(bool bLocked) override { m_bParseLocked = bLocked; }
    void OnParseResult1(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink) override;
    void OnParseResult2(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink) override;
    // After every parse of the note: the layout and the tick follow what
    // the parse filled.
    virtual void Refresh();

    // Registers the date sink for the note's context; the web-only edition
    // only while the destination is available.
    virtual void AttachSinks();
    void DetachSinks();
    // Fills the action; 0. A field that holds no date or time throws
    // COzuExcept. Without the catalogue entry the action stays empty.
    int FileItem(CWebActionJug* pAction);
    void BuildQueryString(CString& text);
    // The pane was switched off: its phrases go, marks and all.
    void ForgetKeyphrases();
    // Switched on again by the user: the date and times from the note as it
    // stands.
    void Retake();
    // The phrases the destination holds (for its fields or standing by).
    std::vector<INT_PTR> HeldKeyphrases() const;

    // The pane makes the adaptors once its fields exist.
    void Bind();
    CDateDropProp* GetDateProp() { return m_pDate.get(); }
    CTimeEditProp* GetStartProp() { return m_pStart.get(); }
    CTimeEditProp* GetEndProp() { return m_pEnd.get(); }
    CEditDropProp* GetCountProp() { return m_pCount.get(); }
    bool IsParseLocked() const { return m_bParseLocked; }

protected:
    void UpdatePaneLayout();
    void UpdatePaneCheck();
    CDestProp* PropOfTag(int nTag);
    CActionNote* Note();
    // A parsed value into a field that neither the user nor an earlier
    // phrase filled; a field the user changed drops the phrase.
    void TakeParsedValue(CDestProp* prop, const VARIANT& value, INT_PTR nExtra);
    // A time field lets the phrase that filled it go, and empties unless
    // the user changed it.
    void DropParsedValue(CDestProp* prop, INT_PTR nExtra);

    CWebCalPane* m_pPane;
    std::unique_ptr<CDateDropProp> m_pDate;
    std::unique_ptr<CEditDropProp> m_pCount;
    std::unique_ptr<CTimeEditProp> m_pStart;
    std::unique_ptr<CTimeEditProp> m_pEnd;
    // The date's phrase: a day's, else the start's day.
    CNoteDay m_day;
    QuiDestinationSink m_sink;
    QuiPrsContext* m_pContext = nullptr;
    bool m_bRegistered = false;
    bool m_bChangedByParse = false;
    bool m_bParseLocked = false;
};

class CWebCalPane : public CDestPane {
    DECLARE_DYNAMIC(CWebCalPane)
public:
    enum {
        PANE_ID = 510,
        IDC_DATE = 126,
        IDC_START = 131,
        IDC_END = 132,
        IDC_COUNT = 134,
        IDC_DROPDOWN = 175,
        IDC_TO_LABEL = 135,
        IDC_COUNT_BEFORE = 136,
        IDC_COUNT_AFTER = 137,
        IDC_SPACER = 138,
        IDC_DATE_MASK = 139
    };
    enum { LAYOUT_TIMED = 7001, LAYOUT_COUNT = 7002, LAYOUT_START = 7003, LAYOUT_DATE = 7004, LAYOUT_NONE = 7005 };
    // The web calendar's event types in the pane's menu.
    enum { EVENT_FIRST = 57727, EVENT_LAST = 57741 };

    CWebCalPane();
    ~CWebCalPane() override;

    BOOL Create(int y, CWnd* pParent) override;
    BOOL DestroyWindow() override;
    void Show() override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    int GetNeededWidth() override;

    // Stores the layout and shows it when it differs from the current one.
    void SetLayout(UINT nLayout);
    void ResetLayout();
    UINT GetLayout() const { return m_nLayout; }
    // The parameter the event type is sent as, from the menu button's
    // choice: what the button shows is what is sent.
    virtual int EventTypeParameter(UINT nChosen) const;
    // The catalogue entry the pane files through.
    const CString& GetItemId() const { return m_strItemId; }
    // Whether this is the web calendar edition's pane.
    bool IsMyTime() const { return m_bMyTime; }
    UINT GetResetLayout() const { return m_bMyTime ? static_cast<UINT>(kMyTimeResetLayout) : static_cast<UINT>(LAYOUT_TIMED); }

    CWebCalDestination* GetCalDestination() const { return static_cast<CWebCalDestination*>(GetDestination()); }
    CDateDrop& GetDateField() { return m_date; }
    CTimeEdit& GetStartField() { return m_start; }
    CTimeEdit& GetEndField() { return m_end; }
    CEditDrop& GetCountField() { return m_count; }
    CStatic& GetToLabel() { return m_toLabel; }
    CFlatButton& GetDropButton() { return m_dropButton; }
    CMenu& GetDropMenu() { return m_dropMenu; }

    // The end time from the start time and the default duration, unless the
    // user or a keyphrase filled the end time.
    void FillEndTime();

protected:
    enum { kMyTimeResetLayout = 50030 };
    CWebCalPane(CWebCalDestination* pDest, UINT nID, bool bMyTime);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnLayoutCommand(UINT nID);
    afx_msg void OnDropCommand(UINT nID);
    afx_msg void OnDropButton();
    afx_msg void OnDateChange();
    afx_msg void OnStartChange();
    afx_msg void OnEndChange();
    afx_msg void OnCountChange();
    afx_msg void OnStartKillFocus();
    afx_msg void OnEndKillFocus();
    afx_msg void OnDateKillFocus();
    DECLARE_MESSAGE_MAP()

    // The pane is ticked as by a click.
    void TickOnEdit(CEditDrop& field);
    void LayoutToWidth() override;

    UINT m_nID;
    bool m_bMyTime;
    CString m_strItemId;
    CDateDrop m_date;
    CTimeEdit m_start;
    CTimeEdit m_end;
    CEditDrop m_count;
    CStatic m_toLabel;
    CStatic m_countBefore;
    CStatic m_countAfter;
    CStatic m_spacer;
    CStatic m_dateMask;
    CFlatButton m_dropButton;
    CMenu m_dropMenu;
    // One of the layouts; the calendar edition's pane keeps the event type
    // the user picked here too.
    UINT m_nLayout = LAYOUT_TIMED;
    BOOL m_bCreating = TRUE;
};

// The web calendar edition's calendar: sinks without regard to availability.
class CMyTimeCalDestination : public CWebCalDestination {
public:
    explicit CMyTimeCalDestination(CWebCalPane* pPane) : CWebCalDestination(pPane) {}
    void AttachSinks() override;
};

class CMyTimeCalPane : public CWebCalPane {
public:
    enum { PANE_ID = 31, EVENT_FIRST = 50022, EVENT_LAST = 50034 };
    CMyTimeCalPane();
    int EventTypeParameter(UINT nChosen) const override;

protected:
    // The picked event type becomes the layout, which the button shows.
    afx_msg void OnEventCommand(UINT nID);
    DECLARE_MESSAGE_MAP()
};

class CWebToDoDestination : public CDestination {
public:
    explicit CWebToDoDestination(CWebToDoPane* pPane);
    ~CWebToDoDestination() override;

    bool IsModified() override;
    void SetParseLocked(bool bLocked) override { m_bParseLocked = bLocked; }
    void OnParseResult1(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink) override;
    void OnParseResult2(QuiPrsItemRole* pRole, int nKind, INT_PTR nExtra, QuiDestinationSink* pSink) override;
    virtual void DetachSinks();
    // Called after every parse; the to-do pane does not tick itself.
    virtual void Refresh() {}

    void AttachSinks();
    int FileItem(CWebActionJug* pAction);
    void BuildQueryString(CString& text);
    // The user switched the pane off: its phrases go, marks and all.
    void ForgetKeyphrases();
    // Switched on again: the date from the note as it stands.
    void Retake();
    // The phrases the destination holds (for its fields or standing by).
    std::vector<INT_PTR> HeldKeyphrases() const;

    void Bind();
    CDateDropProp* GetDateProp() { return m_pDate.get(); }
    CEditDropProp* GetPriorityProp() { return m_pPriority.get(); }
    bool IsParseLocked() const { return m_bParseLocked; }

private:
    CActionNote* Note();

    CWebToDoPane* m_pPane;
    std::unique_ptr<CDateDropProp> m_pDate;
    std::unique_ptr<CEditDropProp> m_pPriority;
    // The date's phrase: a day's, else a time of day's.
    CNoteDay m_day;
    QuiDestinationSink m_sink;
    QuiPrsContext* m_pContext = nullptr;
    bool m_bRegistered = false;
    bool m_bParseLocked = false;
};

class CWebToDoPane : public CDestPane {
    DECLARE_DYNAMIC(CWebToDoPane)
public:
    enum { PANE_ID = 507, IDC_DATE = 160, IDC_PRIORITY = 127, IDC_LABEL = 128 };

    CWebToDoPane();
    ~CWebToDoPane() override;

    BOOL Create(int y, CWnd* pParent) override;
    BOOL DestroyWindow() override;
    void Show() override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    const CString& GetItemId() const { return m_strItemId; }
    CWebToDoDestination* GetToDoDestination() const { return static_cast<CWebToDoDestination*>(GetDestination()); }
    CDateDrop& GetDateField() { return m_date; }
    CEditDrop& GetPriorityField() { return m_priority; }
    CStatic& GetLabel() { return m_label; }
    int GetNeededWidth() override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDateKillFocus();
    DECLARE_MESSAGE_MAP()
    void LayoutToWidth() override;

private:
    CString m_strItemId;
    CDateDrop m_date;
    CEditDrop m_priority;
    CStatic m_label;
};
