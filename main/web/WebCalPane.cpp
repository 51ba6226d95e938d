#include "WebCalPanes.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <vector>

#include "ActionNote.h"
#include "Datastore.h"
#include "DateUtil.h"
#include "DateValue.h"
#include "CoreWndUtil.h"
#include "FrameworkUtil.h"
#include "QuiParserMgr.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"
#include "QuillmateExcept.h"
#include "WebActionItem.h"
#include "WebActionJug.h"
#include "WebConnector.h"
#include "WebEditionsShared.h"

namespace webcal {

int TwelveHour(int hour24, bool* pm)
{
    *pm = hour24 >= 12;
    int hour = hour24 % 12;
    return hour == 0 ? 12 : hour;
}

} // namespace webcal

using namespace webcal;

//--- CWebCalDestination

CWebCalDestination::CWebCalDestination(CWebCalPane* pPane) : CDestination(pPane), m_pPane(pPane) {}

CWebCalDestination::~CWebCalDestination()
{
    DetachSinks();
}

void CWebCalDestination::Bind()
{
    m_pDate.reset(new CDateDropProp(&m_pPane->GetDateField()));
    m_pCount.reset(new CEditDropProp(&m_pPane->GetCountField()));
    m_pStart.reset(new CTimeEditProp(&m_pPane->GetStartField()));
    m_pEnd.reset(new CTimeEditProp(&m_pPane->GetEndField()));
    m_day.Bind(m_pDate.get(), this);
}

CActionNote* CWebCalDestination::Note()
{
    return m_pPane ? m_pPane->GetActionNote() : nullptr;
}

void CWebCalDestination::AttachSinks()
{
    if (IsEnabled())
        RegisterDateSink(this, Note(), m_sink, m_pContext, m_bRegistered);
}

void CMyTimeCalDestination::AttachSinks()
{
    RegisterDateSink(this, Note(), m_sink, m_pContext, m_bRegistered);
}

void CWebCalDestination::DetachSinks()
{
    UnregisterDateSink(m_sink, m_pContext, m_bRegistered);
    if (m_pDate) {
        m_pDate->SetKeyphraseId(0);
        m_pStart->SetKeyphraseId(0);
        m_pEnd->SetKeyphraseId(0);
        m_day.Forget();
    }
}

void CWebCalDestination::ForgetKeyphrases()
{
    if (!m_pDate)
        return;
    if (CActionNote* note = Note())
        note->ReleaseKeyphrases(this);
    m_day.Forget();
    for (CDestProp* prop : {static_cast<CDestProp*>(m_pDate.get()), static_cast<CDestProp*>(m_pCount.get()),
                            static_cast<CDestProp*>(m_pStart.get()), static_cast<CDestProp*>(m_pEnd.get())}) {
        prop->SetKeyphraseId(0);
        prop->SetFlags(0);
    }
}

void CWebCalDestination::Retake()
{
    ReplaySink(m_sink, m_pContext, m_bRegistered);
}

std::vector<INT_PTR> CWebCalDestination::HeldKeyphrases() const
{
    std::vector<INT_PTR> held;
    if (!m_pDate)
        return held;
    for (INT_PTR id : {m_pDate->GetKeyphraseId(), m_pCount->GetKeyphraseId(), m_pStart->GetKeyphraseId(),
                       m_pEnd->GetKeyphraseId(), m_day.StandingTime()}) {
        if (id != 0)
            held.push_back(id);
    }
    return held;
}

bool CWebCalDestination::IsModified()
{
    if (!m_pDate)
        return false;
    return AnyUserChanged({GetCheckProp(), m_pDate.get(), m_pStart.get(), m_pEnd.get(), m_pCount.get()}) ||
           (GetMenuProp()->ChangedState() & CDestProp::FLAG_USER_CHANGED) != 0;
}

CDestProp* CWebCalDestination::PropOfTag(int nTag)
{
    switch (nTag) {
    case 1:
    case 6:
        return m_pDate.get();
    case 3:
    case 7:
        return m_pStart.get();
    case 4:
        return m_pEnd.get();
    default:
        return nullptr;
    }
}

void CWebCalDestination::OnParseResult1(QuiPrsItemRole* pRole, int, INT_PTR nExtra, QuiDestinationSink*)
{
    // A pane the user switched off takes nothing; switched on again it takes
    // the note as it stands (Retake).
    if (!pRole || !m_pDate || SwitchedOff(*this) || m_bParseLocked)
        return;
    const int tag = pRole->getTag();
    CDestProp* prop = PropOfTag(tag);
    if (!prop)
        return;
    COleVariant value;
    RoleDate(pRole, value);
    TakeParsedValue(prop, value, nExtra);
    // The start's phrase gives its day while no phrase names one.
    if (prop == m_pStart.get() && m_pStart->GetKeyphraseId() == nExtra && m_day.TakeTime(nExtra, DayOf(value), Note()))
        m_bChangedByParse = true;
}

void CWebCalDestination::TakeParsedValue(CDestProp* prop, const VARIANT& value, INT_PTR nExtra)
{
    CActionNote* note = Note();
    if (UserChanged(prop)) {
        // The user's own value stands; the phrase is not marked as used. One
        // that filled the field before keeps its hold until it goes.
        m_bChangedByParse = true;
        return;
    }
    if (prop == m_pDate.get()) {
        if (m_day.TakeDay(nExtra, value, note))
            m_bChangedByParse = true;
        return;
    }
    // The first phrase for a field wins.
    if (prop->GetKeyphraseId() != 0)
        return;
    prop->SetKeyphraseId(nExtra);
    HoldKeyphrase(note, this, nExtra);
    static_cast<CTimeEditProp*>(prop)->SetValueAndFlags(value, CDestProp::FLAG_PARSED);
    m_bChangedByParse = true;
}

void CWebCalDestination::OnParseResult2(QuiPrsItemRole* pRole, int, INT_PTR nExtra, QuiDestinationSink*)
{
    if (!pRole || !m_pDate || nExtra == 0)
        return;
    CDestProp* prop = PropOfTag(pRole->getTag());
    if (!prop)
        return;
    const bool refill = !m_bParseLocked && !SwitchedOff(*this);
    if ((prop == m_pDate.get() || prop == m_pStart.get()) && m_day.Drop(nExtra, Note(), refill))
        m_bChangedByParse = true;
    if (prop != m_pDate.get())
        DropParsedValue(prop, nExtra);
}

void CWebCalDestination::DropParsedValue(CDestProp* prop, INT_PTR nExtra)
{
    if (prop->GetKeyphraseId() != nExtra)
        return;
    // A field the user changed keeps the user's value; the phrase goes all the same.
    if (!UserChanged(prop)) {
        static_cast<CTimeEditProp*>(prop)->SetValueAndFlags(NoDate(), CDestProp::FLAG_PARSED);
        m_bChangedByParse = true;
    }
    prop->SetKeyphraseId(0);
    LetKeyphraseGo(Note(), this, nExtra);
}

void CWebCalDestination::Refresh()
{
    if (!m_bChangedByParse)
        return;
    UpdatePaneLayout();
    UpdatePaneCheck();
    m_bChangedByParse = false;
}

void CWebCalDestination::UpdatePaneLayout()
{
    if (!m_pDate || (GetMenuProp()->ChangedState() & CDestProp::FLAG_USER_CHANGED) || UserChanged(GetCheckProp()))
        return;
    DATE start = FieldTime(m_pPane->GetStartField());
    DATE end = FieldTime(m_pPane->GetEndField());
    UINT layout;
    if (end >= 0.0)
        layout = CWebCalPane::LAYOUT_TIMED;
    else if (start < 0.0) {
        if (m_pCount->GetKeyphraseId() == 0) {
            m_pPane->ResetLayout();
            return;
        }
        layout = CWebCalPane::LAYOUT_COUNT;
    } else {
        layout = m_pPane->GetResetLayout() == CWebCalPane::LAYOUT_START ? CWebCalPane::LAYOUT_START
                                                                        : CWebCalPane::LAYOUT_TIMED;
    }
    m_pPane->SetLayout(layout);
}

void CWebCalDestination::UpdatePaneCheck()
{
    if (!m_pDate || IsModified() || !IsEnabled())
        return;
    // A date counts when a phrase or the user gave it: the date the empty
    // pane offers is no reason to file an event.
    const bool date = m_pDate->GetKeyphraseId() != 0 && FieldDate(m_pPane->GetDateField()) >= 0.0;
    const bool start = FieldTime(m_pPane->GetStartField()) >= 0.0;
    SetChecked(*this, start || date || m_pCount->GetKeyphraseId() != 0);
}

void CWebCalDestination::BuildQueryString(CString& text)
{
    text.Empty();
    CActionNote* note = Note();
    if (!note || !m_pDate)
        return;
    if (UserChanged(m_pStart.get()))
        m_pStart->SetKeyphraseId(0);
    if (UserChanged(m_pDate.get()))
        m_pDate->SetKeyphraseId(0);
    CString noteText;
    note->GetNoteText(noteText);
    const INT_PTR keyphrases[] = {m_pDate->GetKeyphraseId(), m_pStart->GetKeyphraseId()};
    text = TextWithoutKeyphrases(noteText, keyphrases, 2);
    text.TrimLeft();
    text.TrimRight();
}

int CWebCalDestination::FileItem(CWebActionJug* pAction)
{
    if (!pAction || !m_pDate)
        return 0;
    const CWebConnectorSubtype* subtype = CatalogueSubtype(m_pPane->GetItemId());
    if (!subtype)
        return 0;
    pAction->m_nConnectorIndex = subtype->m_nConnectorIndex;
    pAction->m_nSubtypeIndex = subtype->m_nSubtypeIndex;
    CString query;
    BuildQueryString(query);
    pAction->SetParameter("querystring", query);

    SetDateParameters(pAction, m_pPane->GetDateField(), m_pDate->GetFlags());

    const DATE start = FieldTime(m_pPane->GetStartField());
    const DATE end = FieldTime(m_pPane->GetEndField());
    if (start == -2.0)
        throw new COzuExcept(IDS_WEBCAL_BAD_START, 0);
    if (end == -2.0)
        throw new COzuExcept(IDS_WEBCAL_BAD_END, 0);
    if (start < 0.0) {
        pAction->SetParameter("alldayevent", "0");
    } else {
        const int startMinutes = MinutesOfDay(start);
        bool pm = false;
        const int hour = TwelveHour(startMinutes / 60, &pm);
        CString number;
        if (m_pPane->IsMyTime()) {
            number.Format("%d:%02d %s", hour, startMinutes % 60, pm ? "PM" : "AM");
            pAction->SetParameter("starthour", number);
        } else {
            number.Format("%d", hour);
            pAction->SetParameter("starthour", number);
            number.Format("%d", startMinutes % 60);
            pAction->SetParameter("startmin", number);
            pAction->SetParameter("ampm", pm ? "PM" : "AM");
        }
        pAction->SetParameter("alldayevent", "1");
        const int endMinutes = MinutesOfDay(end);
        if (!m_pPane->IsMyTime() && endMinutes > startMinutes) {
            number.Format("%d", (endMinutes - startMinutes) / 60);
            pAction->SetParameter("durationhour", number);
            number.Format("%d", (endMinutes - startMinutes) % 60);
            pAction->SetParameter("durationminute", number);
        }
    }
    COleVariant chosen;
    GetMenuProp()->GetValue(&chosen);
    CString type;
    type.Format("%d", m_pPane->EventTypeParameter(static_cast<UINT>(chosen.lVal)));
    pAction->SetParameter("eventtype", type);
    return 0;
}

//--- CWebCalPane

IMPLEMENT_DYNAMIC(CWebCalPane, CWnd)

BEGIN_MESSAGE_MAP(CWebCalPane, CDestPane)
    ON_WM_CREATE()
    ON_COMMAND_RANGE(CWebCalPane::LAYOUT_TIMED, CWebCalPane::LAYOUT_NONE, OnLayoutCommand)
    ON_COMMAND_RANGE(IDM_WEBCAL_DROP_FIRST, IDM_WEBCAL_DROP_LAST, OnDropCommand)
    ON_COMMAND(CWebCalPane::IDC_DROPDOWN, OnDropButton)
    ON_EN_CHANGE(CWebCalPane::IDC_DATE, OnDateChange)
    ON_EN_CHANGE(CWebCalPane::IDC_START, OnStartChange)
    ON_EN_CHANGE(CWebCalPane::IDC_END, OnEndChange)
    ON_EN_CHANGE(CWebCalPane::IDC_COUNT, OnCountChange)
    ON_EN_KILLFOCUS(CWebCalPane::IDC_START, OnStartKillFocus)
    ON_EN_KILLFOCUS(CWebCalPane::IDC_END, OnEndKillFocus)
    ON_EN_KILLFOCUS(CWebCalPane::IDC_DATE, OnDateKillFocus)
END_MESSAGE_MAP()

CWebCalPane::CWebCalPane() : CWebCalPane(new CWebCalDestination(this), PANE_ID, false) {}

CWebCalPane::CWebCalPane(CWebCalDestination* pDest, UINT nID, bool bMyTime)
    : CDestPane(pDest), m_nID(nID), m_bMyTime(bMyTime)
{
    m_nLayout = GetResetLayout();
    pDest->Bind();
}

CWebCalPane::~CWebCalPane()
{
    // The destination goes with the base; its adaptors must not outlive
    // the fields they point at.
    GetCalDestination()->DetachSinks();
}

BEGIN_MESSAGE_MAP(CMyTimeCalPane, CWebCalPane)
    ON_COMMAND_RANGE(CMyTimeCalPane::EVENT_FIRST, CMyTimeCalPane::EVENT_LAST, OnEventCommand)
END_MESSAGE_MAP()

CMyTimeCalPane::CMyTimeCalPane() : CWebCalPane(new CMyTimeCalDestination(this), PANE_ID, true) {}

int CWebCalPane::EventTypeParameter(UINT nChosen) const
{
    if (nChosen >= EVENT_FIRST && nChosen <= EVENT_LAST)
        return 10 + static_cast<int>(nChosen - EVENT_FIRST);
    return 10;
}

int CMyTimeCalPane::EventTypeParameter(UINT nChosen) const
{
    if (nChosen >= EVENT_FIRST && nChosen <= EVENT_LAST)
        return 5000 + static_cast<int>(nChosen - EVENT_FIRST);
    return 5000;
}

BOOL CWebCalPane::Create(int y, CWnd* pParent)
{
    return CreatePane(y, pParent, m_nID, m_nID);
}

BOOL CWebCalPane::DestroyWindow()
{
    for (CWnd* child : {static_cast<CWnd*>(&m_date), static_cast<CWnd*>(&m_start), static_cast<CWnd*>(&m_end),
                        static_cast<CWnd*>(&m_count), static_cast<CWnd*>(&m_toLabel),
                        static_cast<CWnd*>(&m_countBefore), static_cast<CWnd*>(&m_countAfter),
                        static_cast<CWnd*>(&m_spacer), static_cast<CWnd*>(&m_dateMask),
                        static_cast<CWnd*>(&m_dropButton)}) {
        if (child->GetSafeHwnd())
            child->DestroyWindow();
    }
    return CDestPane::DestroyWindow();
}

int CWebCalPane::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDestPane::OnCreate(lpCreateStruct) == -1)
        return -1;
    GetCheckButton()->SetDisabledImage(IDB_WEBCAL_DISABLED);
    CQuillmateApp* app = QuiGetApp();
    CFont* font = app ? app->GetSmallFont() : nullptr;
    CWnd* parent = GetParent();
    CRect client;
    GetClientRect(client);
    POINT row0 = {}, row1 = {};
    GetControlPos(0, &row0);
    GetControlPos(1, &row1);
    const int high8 = DluToPixelsX(parent, 8);

    // Row 0: the date, right-aligned, and over it a mask that never shows
    // (LayoutToWidth places both).
    if (!m_date.Create(row0.x, row0.y, 0, this, IDC_DATE))
        return -1;
    if (!m_bMyTime) {
        m_date.SetPromptText(IDS_WEBCAL_DATE_PROMPT);
        m_date.SetDate(static_cast<DATE>(COleDateTime::GetCurrentTime()));
    }
    if (!m_dateMask.Create("D 00/00/00", WS_CHILD | SS_RIGHT, CRect(0, 0, 0, 0), this, IDC_DATE_MASK))
        return -1;

    // Row 1: start, "to", end from the left.
    if (!m_start.Create(row1.x, row1.y, 0, this, IDC_START))
        return -1;
    CRect start = ChildRect(m_start, *this);
    CString to;
    to.LoadString(IDS_WEBCAL_TO);
    const int toWidth = LabelWidth(to, 3 * (to.GetLength() > 0 ? to.GetLength() : 1));
    if (!m_toLabel.Create(to, WS_CHILD, CRect(start.right + 3, row1.y - 1, start.right + 3 + toWidth, row1.y - 1 + high8),
                          this, IDC_TO_LABEL))
        return -1;
    if (!m_end.Create(start.right + 3 + toWidth + 3, row1.y, 0, this, IDC_END))
        return -1;

    // The drop-down button at the right of row 1.
    if (!m_dropButton.Create(0, row1.y - 3, IDC_DROPDOWN, CFlatButton::kindPush, this, IDC_DROPDOWN))
        return -1;

    // Row 1 again: "every", the count, "days".
    CString before, after;
    before.LoadString(IDS_WEBCAL_COUNT_BEFORE);
    after.LoadString(IDS_WEBCAL_COUNT_AFTER);
    if (!m_spacer.Create("", WS_CHILD, CRect(row1.x, row1.y, client.right - 3, row1.y + high8), this, IDC_SPACER))
        return -1;
    const int beforeWidth = LabelWidth(before, 3 * (before.GetLength() > 0 ? before.GetLength() : 1));
    if (!m_countBefore.Create(before, WS_CHILD, CRect(row1.x, row1.y, row1.x + beforeWidth, row1.y + high8), this,
                              IDC_COUNT_BEFORE))
        return -1;
    const int countWidth = DluToPixelsX(parent, 12);
    if (!m_count.Create(row1.x + beforeWidth, row1.y, countWidth, 0, this, IDC_COUNT,
                        CEditDrop::dropNoButton | CEditDrop::dropRightAlign))
        return -1;
    const int afterLeft = row1.x + beforeWidth + countWidth + 2;
    const int afterWidth = LabelWidth(after, 4 * (after.GetLength() > 0 ? after.GetLength() : 1));
    if (!m_countAfter.Create(after, WS_CHILD, CRect(afterLeft, row1.y, afterLeft + afterWidth, row1.y + high8), this,
                             IDC_COUNT_AFTER))
        return -1;
    if (font) {
        for (CStatic* label : {&m_toLabel, &m_countBefore, &m_countAfter, &m_spacer, &m_dateMask})
            label->SetFont(font);
    }
    for (CEditDrop* field : {static_cast<CEditDrop*>(&m_date), static_cast<CEditDrop*>(&m_start),
                             static_cast<CEditDrop*>(&m_end), &m_count})
        field->SetBkColor(FIELD_COLOR);
    LayoutToWidth();
    m_strItemId = m_bMyTime ? "MyTime_mytime Calendar" : "Yahoo_yahoo calendar";
    ResetLayout();
    m_bCreating = FALSE;
    return 0;
}

void CWebCalPane::LayoutToWidth()
{
    if (!m_countAfter.GetSafeHwnd())
        return;
    const CRect date = KeepAtRightEdge(m_date);
    m_dateMask.MoveWindow(date.left, date.top - 1, date.Width(), date.Height());
    KeepAtRightEdge(m_dropButton);
    StretchToRightEdge(m_spacer);
}

int CWebCalPane::GetNeededWidth()
{
    if (!m_countAfter.GetSafeHwnd())
        return 0;
    // Row 0: the menu button with its widest item, then the date; row 1:
    // the times, or the count between its labels.
    int needed = WidestMenuRight() + 6 + ChildRect(m_date, *this).Width() + 3;
    needed = std::max(needed, static_cast<int>(ChildRect(m_end, *this).right) + 3);
    return std::max(needed, static_cast<int>(ChildRect(m_countAfter, *this).right) + 3);
}

void CWebCalPane::SetLayout(UINT nLayout)
{
    if (nLayout == m_nLayout)
        return;
    m_nLayout = nLayout;
    Show();
}

void CWebCalPane::ResetLayout()
{
    m_nLayout = GetResetLayout();
    Show();
}

void CWebCalPane::Show()
{
    CWebCalDestination* dest = GetCalDestination();
    if (!dest->IsEnabled()) {
        GetCheckButton()->EnableWindow(FALSE);
        return;
    }
    const BOOL checked = GetCheckButton()->GetCheck();
    for (CWnd* child : {static_cast<CWnd*>(&m_toLabel), static_cast<CWnd*>(&m_countBefore),
                        static_cast<CWnd*>(&m_countAfter), static_cast<CWnd*>(&m_count), static_cast<CWnd*>(&m_spacer),
                        static_cast<CWnd*>(&m_dateMask), static_cast<CWnd*>(&m_dropButton)}) {
        if (child->GetSafeHwnd())
            child->ShowWindow(SW_HIDE);
    }
    GetMenuButton()->SelectMenuItem(m_nLayout, FALSE);
    if (m_bMyTime) {
        // The calendar edition's fields are always there to type into.
        for (CEditDrop* field : {static_cast<CEditDrop*>(&m_date), static_cast<CEditDrop*>(&m_start),
                                 static_cast<CEditDrop*>(&m_end)})
            field->ShowWindow(SW_SHOW);
        if (checked && m_nLayout == LAYOUT_TIMED)
            m_toLabel.ShowWindow(SW_SHOW);
        return;
    }
    for (CEditDrop* field : {static_cast<CEditDrop*>(&m_date), static_cast<CEditDrop*>(&m_start),
                             static_cast<CEditDrop*>(&m_end)})
        field->ShowWindow(SW_HIDE);
    if (!checked)
        return;
    switch (m_nLayout) {
    case LAYOUT_TIMED:
        m_date.ShowWindow(SW_SHOW);
        m_start.SetPromptText(IDS_WEBCAL_START_PROMPT);
        m_start.ShowWindow(SW_SHOW);
        m_toLabel.ShowWindow(SW_SHOW);
        m_end.SetPromptText(IDS_WEBCAL_END_PROMPT);
        m_end.ShowWindow(SW_SHOW);
        break;
    case LAYOUT_COUNT:
        m_date.ShowWindow(SW_SHOW);
        m_countBefore.ShowWindow(SW_SHOW);
        m_count.ShowWindow(SW_SHOW);
        m_countAfter.ShowWindow(SW_SHOW);
        break;
    case LAYOUT_START:
        m_date.ShowWindow(SW_SHOW);
        m_start.SetPromptText(IDS_WEBCAL_AT_PROMPT);
        m_start.ShowWindow(SW_SHOW);
        break;
    case LAYOUT_DATE:
        m_date.ShowWindow(SW_SHOW);
        break;
    default:
        break;
    }
}

BOOL CWebCalPane::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    BOOL handled = CDestPane::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    if (!handled || pHandlerInfo || nID != m_nID || nCode != CN_COMMAND)
        return handled;
    CWebCalDestination* dest = GetCalDestination();
    if (!GetCheckButton()->GetCheck()) {
        // An unticked pane starts afresh, the calendar edition's event type
        // too; its phrases go with its fields, none cut from the note's text.
        m_count.SetText("");
        m_start.SetText("");
        m_end.SetText("");
        m_date.SetText("");
        dest->ForgetKeyphrases();
        ResetLayout();
    } else if (GetCheckButton()->GetChanged() && !dest->IsParseLocked()) {
        dest->Retake();
    }
    return handled;
}

void CWebCalPane::OnLayoutCommand(UINT nID)
{
    m_nLayout = nID;
    Show();
}

void CMyTimeCalPane::OnEventCommand(UINT nID)
{
    m_nLayout = nID;
}

void CWebCalPane::OnDropCommand(UINT nID)
{
    if (!m_dropMenu.GetSafeHmenu())
        return;
    if (CMenu* popup = m_dropMenu.GetSubMenu(0))
        popup->CheckMenuRadioItem(IDM_WEBCAL_DROP_FIRST, IDM_WEBCAL_DROP_LAST, nID, MF_BYCOMMAND);
    m_dropButton.SetPressed(nID != IDM_WEBCAL_DROP_NONE);
}

// A click on the button opens its menu under it.
void CWebCalPane::OnDropButton()
{
    DropMenu(m_dropMenu, IDC_DROPDOWN, m_dropButton, IDM_WEBCAL_DROP_FIRST, IDM_WEBCAL_DROP_LAST,
             IDM_WEBCAL_DROP_NONE);
}

void CWebCalPane::TickOnEdit(CEditDrop& field)
{
    if (m_bMyTime && field.GetTextLength() > 0 && !GetCheckButton()->GetCheck())
        GetCheckButton()->SetCheck(TRUE);
}

void CWebCalPane::OnDateChange()
{
    if (!m_bCreating)
        TickOnEdit(m_date);
}

void CWebCalPane::OnStartChange()
{
    FillEndTime();
}

void CWebCalPane::OnEndChange()
{
    TickOnEdit(m_end);
}

void CWebCalPane::OnCountChange()
{
    TickOnEdit(m_count);
}

void CWebCalPane::FillEndTime()
{
    CWebCalDestination* dest = GetCalDestination();
    CTimeEditProp* endProp = dest->GetEndProp();
    if (m_end.GetTextLength() > 0 && (UserChanged(endProp) || endProp->GetKeyphraseId() != 0))
        return;
    const DATE start = FieldTime(m_start);
    if (start < 0.0) {
        m_end.SetText("");
        return;
    }
    CQuillmateApp* app = QuiGetApp();
    CDatastore* datastore = app ? app->GetDatastore() : nullptr;
    long minutes = datastore ? datastore->GetDefaultDuration() : 0;
    if (minutes <= 0)
        minutes = 60;
    m_end.SetTime(TimeOfDayAfter(start, minutes));
    TickOnEdit(m_start);
}

void CWebCalPane::OnStartKillFocus()
{
    RewriteTime(m_start);
}

void CWebCalPane::OnEndKillFocus()
{
    FillEndTime();
    RewriteTime(m_end);
}

void CWebCalPane::OnDateKillFocus()
{
    if (m_bMyTime)
        return;
    const DATE date = FieldDate(m_date);
    if (date >= 0.0)
        m_date.SetDate(date);
    else if (date == -1.0)
        m_date.SetDate(static_cast<DATE>(COleDateTime::GetCurrentTime()));
}
