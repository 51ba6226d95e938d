#include "PimPanes.h"

#include <algorithm>
#include <vector>

#include "ActionNote.h"
#include "CoreWndUtil.h"
#include "Datastore.h"
#include "DateUtil.h"
#include "DestUtil.h"
#include "DestWnd.h"
#include "FrameworkUtil.h"
#include "NoteWnd.h"
#include "OzuDatastore.h"
#include "PimDestCommon.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"

using namespace pimdest;

const char PIM_DATE_ITEM_TYPE[] = "A794C523-EEA6-11d2-A0E8-00104B9522AA";

namespace {

// The calendar kind of the Notes datastore's default entry type.
UINT KindOfEntryType(int bit)
{
    switch (bit) {
    case 0x200:
        return KIND_DATE;
    case 0x400:
        return KIND_DAYS;
    case 0x1000:
        return KIND_AT;
    default:
        return KIND_TIMED;
    }
}

} // namespace

bool PimIsNotesVersion5()
{
    CDatastore* datastore = Datastore();
    return datastore && datastore->GetBackEndVersion() == 5;
}

//--- CPimCalDestination

CPimCalDestination::CPimCalDestination(CPimCalPane* pPane, PimEdition edition)
    : CDestination(pPane), m_edition(edition), m_pPane(pPane)
{
}

CPimCalDestination::~CPimCalDestination()
{
    detachSinks();
}

void CPimCalDestination::Bind()
{
    m_pDate.reset(new CDateDropProp(&m_pPane->GetDateField()));
    m_pDays.reset(new CEditDropProp(&m_pPane->GetDaysField()));
    m_pStart.reset(new CTimeEditProp(&m_pPane->GetStartField()));
    m_pEnd.reset(new CTimeEditProp(&m_pPane->GetEndField()));
    m_day.Bind(m_pDate.get(), this);
}

CActionNote* CPimCalDestination::Note()
{
    return m_pPane ? m_pPane->GetActionNote() : nullptr;
}

int CPimCalDestination::attachSinks()
{
    RegisterDestinationSink("Date", PIM_DATE_ITEM_TYPE, this, Note(), m_sink, m_pContext, m_bRegistered);
    return 0;
}

void CPimCalDestination::detachSinks()
{
    UnregisterDestinationSink("Date", m_sink, m_pContext, m_bRegistered);
}

void CPimCalDestination::ForgetKeyphrases()
{
    if (!m_pDate)
        return;
    // The time standing by may hold no field any more: its mark goes too.
    if (CActionNote* note = Note())
        note->ReleaseKeyphrases(this);
    m_day.Forget();
    for (CDestProp* prop : {static_cast<CDestProp*>(m_pDate.get()), static_cast<CDestProp*>(m_pDays.get()),
                            static_cast<CDestProp*>(m_pStart.get()), static_cast<CDestProp*>(m_pEnd.get())}) {
        prop->SetKeyphraseId(0);
        prop->SetFlags(0);
    }
    m_nPendingEnd = 0;
    m_nEndOfStart = 0;
    m_bDateNotFromKeyphrase = true;
}

void CPimCalDestination::Retake()
{
    ReplaySink(m_sink, m_pContext, m_bRegistered);
}

std::vector<INT_PTR> CPimCalDestination::HeldKeyphrases() const
{
    std::vector<INT_PTR> held;
    if (!m_pDate)
        return held;
    for (INT_PTR id : {m_pDate->GetKeyphraseId(), m_pDays->GetKeyphraseId(), m_pStart->GetKeyphraseId(),
                       m_pEnd->GetKeyphraseId(), m_day.StandingTime(), m_nPendingEnd}) {
        if (id != 0)
            held.push_back(id);
    }
    return held;
}

bool CPimCalDestination::IsModified()
{
    if (!m_pDate)
        return false;
    return AnyUserChanged({GetCheckProp(), m_pDate.get(), m_pStart.get(), m_pEnd.get(), m_pDays.get()}) ||
           (GetMenuProp()->ChangedState() & CDestProp::FLAG_USER_CHANGED) != 0;
}

CDestProp* CPimCalDestination::PropOfTag(int nTag)
{
    switch (nTag) {
    case 1:
    case 6:
        return m_pDate.get();
    case 2:
        return m_edition == pimNotes ? m_pDays.get() : nullptr;
    case 3:
    case 7:
        return m_pStart.get();
    case 4:
        return m_pEnd.get();
    default:
        return nullptr;
    }
}

void CPimCalDestination::OnParseResult1(QuiPrsItemRole* pRole, int, INT_PTR nExtra, QuiDestinationSink*)
{
    if (!pRole || !m_pDate || nExtra == 0)
        return;
    if (SwitchedOff(*this) || m_bParseLocked)
        return;
    CDestProp* prop = PropOfTag(pRole->getTag());
    if (!prop)
        return;
    COleVariant value;
    RangedRoleDate(pRole, value);
    CActionNote* note = Note();
    // A field the user changed is never overwritten by a keyphrase. The
    // phrase that filled it before keeps its hold: its mark goes when it does.
    if (UserChanged(prop))
        return;
    if (prop == m_pDays.get()) {
        TakeDays(value, nExtra);
        return;
    }
    if (prop == m_pDate.get()) {
        if (m_day.TakeDay(nExtra, value, note))
            m_bDateNotFromKeyphrase = false;
    } else if (prop->GetKeyphraseId() == 0) {
        prop->SetKeyphraseId(nExtra);
        HoldKeyphrase(note, this, nExtra);
        COleVariant shown(value);
        if (shown.vt == VT_DATE && shown.date == -3.0)
            shown = NoDate();
        static_cast<CTimeEditProp*>(prop)->SetValueAndFlags(shown, CDestProp::FLAG_PARSED);
    }
    // The start's phrase gives its day while no phrase names one.
    if (prop == m_pStart.get() && m_pStart->GetKeyphraseId() == nExtra && m_day.TakeTime(nExtra, DayOf(value), note))
        m_bDateNotFromKeyphrase = false;
    if (prop == m_pEnd.get())
        m_nEndOfStart = 0;
    if (prop == m_pStart.get() && m_edition == pimPalm && !UserChanged(m_pEnd.get()) && value.vt == VT_DATE &&
        value.date > 0.0) {
        COleVariant end;
        end.vt = VT_DATE;
        end.date = TimeOfDayAfter(value.date, 60);
        m_pEnd->SetValueAndFlags(end, CDestProp::FLAG_PARSED);
        m_nEndOfStart = m_pEnd->GetKeyphraseId() == 0 ? nExtra : 0;
    }
    if (m_nPendingEnd != 0 && m_pDays->GetKeyphraseId() == 0 && FieldDate(m_pPane->GetDateField()) > 0.0) {
        COleVariant end;
        end.vt = VT_DATE;
        end.date = m_pendingEnd;
        const INT_PTR pending = m_nPendingEnd;
        m_nPendingEnd = 0;
        TakeDays(end, pending);
    }
}

void CPimCalDestination::TakeDays(const VARIANT& end, INT_PTR nExtra)
{
    if (m_pDays->GetKeyphraseId() != 0 || end.vt != VT_DATE || end.date < 0.0)
        return;
    const DATE date = FieldDate(m_pPane->GetDateField());
    if (date <= 0.0) {
        // No day to count from yet: an empty field is no -1.0 day.
        m_nPendingEnd = nExtra;
        m_pendingEnd = end.date;
        return;
    }
    const long days = static_cast<long>(end.date - date);
    if (days < 0)
        return;
    COleVariant count(static_cast<long>(days + 1), VT_I4);
    m_pDays->SetValue(count);
    m_pDays->SetKeyphraseId(nExtra);
    HoldKeyphrase(Note(), this, nExtra);
}

void CPimCalDestination::OnParseResult2(QuiPrsItemRole* pRole, int, INT_PTR nExtra, QuiDestinationSink*)
{
    if (!pRole || !m_pDate || nExtra == 0)
        return;
    if (m_nPendingEnd == nExtra)
        m_nPendingEnd = 0;
    CDestProp* prop = PropOfTag(pRole->getTag());
    if (!prop)
        return;
    CActionNote* note = Note();
    if (prop == m_pDate.get() || prop == m_pStart.get()) {
        m_day.Drop(nExtra, note, !m_bParseLocked && !SwitchedOff(*this));
        m_bDateNotFromKeyphrase = m_pDate->GetKeyphraseId() == 0;
        if (prop == m_pDate.get())
            return;
    }
    // The field lets the phrase go; one the user changed keeps the user's value.
    const bool held = prop->GetKeyphraseId() == nExtra;
    if (held && !UserChanged(prop)) {
        if (prop == m_pDays.get())
            m_pDays->SetValue(COleVariant(1L, VT_I4));
        else
            static_cast<CTimeEditProp*>(prop)->SetValueAndFlags(NoDate(), CDestProp::FLAG_PARSED);
    }
    if (held)
        prop->SetKeyphraseId(0);
    // The end an hour after a parsed start goes with the phrase that gave it.
    if (m_nEndOfStart == nExtra && prop == m_pStart.get()) {
        m_nEndOfStart = 0;
        if (!UserChanged(m_pEnd.get()) && m_pEnd->GetKeyphraseId() == 0)
            m_pEnd->SetValueAndFlags(NoDate(), CDestProp::FLAG_PARSED);
    }
    if (held)
        LetKeyphraseGo(note, this, nExtra);
}

void CPimCalDestination::OnParseResult3(QuiPrsItemRole* pRole, int, INT_PTR nExtra, QuiDestinationSink*)
{
    if (!pRole || !m_pDate || nExtra == 0)
        return;
    CDestProp* prop = pRole->getTag() == 2 ? nullptr : PropOfTag(pRole->getTag());
    if (!prop)
        return;
    if (prop->GetKeyphraseId() == nExtra || (prop == m_pStart.get() && m_pDate->GetKeyphraseId() == nExtra)) {
        if (CActionNote* note = Note())
            note->SetKeyphrasesChanged();
    }
}

void CPimCalDestination::OnParseDone()
{
    if (!m_pDate)
        return;
    if (m_edition == pimNotes)
        UpdateKind();
    UpdateCheck();
}

void CPimCalDestination::UpdateKind()
{
    if ((GetMenuProp()->ChangedState() & CDestProp::FLAG_USER_CHANGED) || UserChanged(GetCheckProp()))
        return;
    const DATE start = FieldTime(m_pPane->GetStartField());
    const DATE end = FieldTime(m_pPane->GetEndField());
    if (end >= 0.0)
        m_pPane->SetKind(KIND_TIMED);
    else if (start >= 0.0) {
        if (m_pPane->GetDefaultKind() != KIND_AT)
            m_pPane->SetKind(KIND_TIMED);
    } else if (m_pDays->GetKeyphraseId() != 0)
        m_pPane->SetKind(KIND_DAYS);
    else
        m_pPane->SetKind(m_pPane->GetDefaultKind());
}

void CPimCalDestination::UpdateCheck()
{
    if (IsModified() || m_bParseLocked)
        return;
    const bool noStart = FieldTime(m_pPane->GetStartField()) < 0.0;
    SetChecked(*this, !(noStart && m_pDays->GetKeyphraseId() == 0 && m_bDateNotFromKeyphrase));
}

int CPimCalDestination::GetBodyText(CString& text)
{
    text.Empty();
    CActionNote* note = Note();
    if (!note || !m_pDate)
        return 0;
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
    return 0;
}

//--- CPimCalPane

IMPLEMENT_DYNAMIC(CPimCalPane, CWnd)

BEGIN_MESSAGE_MAP(CPimCalPane, CDestPane)
    ON_WM_CREATE()
    ON_COMMAND(CPimCalPane::IDC_OPTION, OnOptionButton)
    ON_EN_CHANGE(CPimCalPane::IDC_START, OnStartChange)
    ON_EN_CHANGE(CPimCalPane::IDC_DATE, OnDateChange)
    ON_EN_CHANGE(CPimCalPane::IDC_END, OnEndChange)
    ON_EN_CHANGE(CPimCalPane::IDC_DAYS, OnDaysChange)
    ON_EN_KILLFOCUS(CPimCalPane::IDC_START, OnStartKillFocus)
    ON_EN_KILLFOCUS(CPimCalPane::IDC_END, OnEndKillFocus)
    ON_COMMAND_RANGE(CPimCalPane::IDM_OPTION_FIRST, CPimCalPane::IDM_OPTION_LAST, OnOption)
    ON_COMMAND_RANGE(KIND_TIMED, KIND_LIKE_TODO, OnKind)
END_MESSAGE_MAP()

CPimCalPane::CPimCalPane(CPimCalDestination* pDest, UINT nID, UINT nResID, PimEdition edition)
    : CDestPane(pDest), m_edition(edition), m_nID(nID)
{
    (void)nResID;
    pDest->Bind();
}

CPimCalPane::~CPimCalPane()
{
    // The adaptors must not outlive the fields they point at.
    GetCalDestination()->detachSinks();
}

COzuCalPane::COzuCalPane() : CPimCalPane(new COzuCalDestination(this), IDP_OZU_CAL, IDP_OZU_CAL, pimNotes) {}
CIbeCalPane::CIbeCalPane() : CPimCalPane(new CIbeCalDestination(this), IDP_IBE_CAL, IDP_IBE_CAL, pimPalm) {}
CRukCalPane::CRukCalPane() : CPimCalPane(new CRukCalDestination(this), IDP_RUK_CAL, IDP_RUK_CAL, pimOutlook) {}

BOOL CPimCalPane::Create(int y, CWnd* pParent)
{
    UINT resId = m_nID;
    if (m_edition == pimNotes)
        resId = PimIsNotesVersion5() ? IDP_OZU_CAL_RES : IDP_OZU_CAL_OLD;
    return CreatePane(y, pParent, m_nID, static_cast<int>(resId));
}

BOOL CPimCalPane::DestroyWindow()
{
    for (CWnd* child : {static_cast<CWnd*>(&m_date), static_cast<CWnd*>(&m_dateSummary), static_cast<CWnd*>(&m_start),
                        static_cast<CWnd*>(&m_timeLabel), static_cast<CWnd*>(&m_end), static_cast<CWnd*>(&m_option),
                        static_cast<CWnd*>(&m_kindSummary), static_cast<CWnd*>(&m_daysBefore),
                        static_cast<CWnd*>(&m_days), static_cast<CWnd*>(&m_daysAfter)}) {
        if (child->GetSafeHwnd())
            child->DestroyWindow();
    }
    return CDestPane::DestroyWindow();
}

long CPimCalPane::DefaultLength() const
{
    if (m_edition == pimOutlook)
        return 30;
    CDatastore* datastore = Datastore();
    long minutes = datastore ? datastore->GetDefaultDuration() : 0;
    if (minutes <= 0)
        minutes = m_edition == pimNotes ? 60 : 30;
    return minutes;
}

int CPimCalPane::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDestPane::OnCreate(lpCreateStruct) == -1)
        return -1;
    CQuillmateApp* app = QuiGetApp();
    CFont* font = app ? app->GetSmallFont() : nullptr;
    CWnd* parent = GetParent();
    POINT row0 = {}, row1 = {};
    GetControlPos(0, &row0);
    GetControlPos(1, &row1);
    const int high8 = DluToPixelsX(parent, 8);

    // Row 0: the date at the right edge, its summary over it
    // (LayoutToWidth places both).
    if (!m_date.Create(0, row0.y, 0, this, IDC_DATE))
        return -1;
    if (!m_dateSummary.Create("D 00/00/00", WS_CHILD | SS_RIGHT, CRect(0, 0, 0, 0), this, 0xFFFF))
        return -1;

    // Row 1: start, "to", end; the option button at the right edge.
    if (!m_start.Create(row1.x, row1.y + 1, 0, this, IDC_START))
        return -1;
    CRect start = ChildRect(m_start, *this);
    CString to;
    to.LoadString(IDS_WEBCAL_TO);
    const int toWidth = LabelWidth(to, 3 * (to.GetLength() > 0 ? to.GetLength() : 1));
    if (!m_timeLabel.Create(to, WS_CHILD, CRect(start.right + 3, row1.y, start.right + 3 + toWidth, row1.y + high8),
                            this, 0xFFFF))
        return -1;
    if (!m_end.Create(start.right + 3 + toWidth + 3, row1.y + 1, 0, this, IDC_END))
        return -1;
    if (!m_option.Create(0, row1.y - 3, IDC_OPTION, CFlatButton::kindPush, this, IDC_OPTION))
        return -1;
    if (!m_kindSummary.Create("", WS_CHILD, CRect(row1.x, row1.y, row1.x, row1.y + high8), this, 0xFFFF))
        return -1;

    // Row 1 again: "for", the day count, "days".
    CString before, after;
    before.LoadString(IDS_WEBCAL_COUNT_BEFORE);
    after.LoadString(IDS_WEBCAL_COUNT_AFTER);
    const int beforeWidth = LabelWidth(before, 3 * (before.GetLength() > 0 ? before.GetLength() : 1));
    if (!m_daysBefore.Create(before, WS_CHILD, CRect(row1.x, row1.y, row1.x + beforeWidth, row1.y + high8), this,
                             0xFFFF))
        return -1;
    const int countWidth = DluToPixelsX(parent, 12);
    if (!m_days.Create(row1.x + beforeWidth, row1.y, countWidth, 0, this, IDC_DAYS,
                       CEditDrop::dropNoButton | CEditDrop::dropRightAlign))
        return -1;
    const int afterLeft = row1.x + beforeWidth + countWidth + 2;
    const int afterWidth = LabelWidth(after, 4 * (after.GetLength() > 0 ? after.GetLength() : 1));
    if (!m_daysAfter.Create(after, WS_CHILD, CRect(afterLeft, row1.y, afterLeft + afterWidth, row1.y + high8), this,
                            0xFFFF))
        return -1;
    if (font) {
        for (CStatic* label : {&m_dateSummary, &m_timeLabel, &m_kindSummary, &m_daysBefore, &m_daysAfter})
            label->SetFont(font);
    }
    for (CEditDrop* field : {static_cast<CEditDrop*>(&m_date), static_cast<CEditDrop*>(&m_start),
                             static_cast<CEditDrop*>(&m_end), &m_days})
        field->SetBkColor(FIELD_COLOR);
    LayoutToWidth();
    if (m_edition == pimNotes) {
        auto* notes = dynamic_cast<COzuDatastore*>(Datastore());
        m_nDefaultKind = KindOfEntryType(notes ? notes->GetDefaultEntryType() : 0);
    }
    m_nKind = m_nDefaultKind;
    Show();
    m_bCreating = FALSE;
    return 0;
}

void CPimCalPane::LayoutToWidth()
{
    if (!m_kindSummary.GetSafeHwnd())
        return;
    const CRect date = KeepAtRightEdge(m_date);
    m_dateSummary.MoveWindow(date.left, date.top - 1, date.Width(), date.Height());
    const CRect option = KeepAtRightEdge(m_option);
    CRect summary = ChildRect(m_kindSummary, *this);
    m_kindSummary.MoveWindow(summary.left, summary.top, std::max(0L, option.left - summary.left), summary.Height());
}

int CPimCalPane::GetNeededWidth()
{
    if (!m_kindSummary.GetSafeHwnd())
        return 0;
    // Row 0: the menu button with its widest kind, then the date.
    int needed = WidestMenuRight() + 6 + ChildRect(m_date, *this).Width() + 3;
    // Row 1: the times, the day count, and under Notes the summary of a
    // kind like the to-do's, each before the option button.
    const int option = m_edition == pimNotes ? 3 + ChildRect(m_option, *this).Width() : 0;
    needed = std::max(needed, static_cast<int>(ChildRect(m_end, *this).right) + option + 3);
    needed = std::max(needed, static_cast<int>(ChildRect(m_daysAfter, *this).right) + 3);
    if (m_edition == pimNotes) {
        CMenu kinds;
        CString item, summary;
        int widest = 0;
        for (UINT id : {IDM_PIM_TODO_DUE, IDM_PIM_TODO_NO_DUE}) {
            if (kinds.GetSafeHmenu() || kinds.LoadMenu(IDR_PIM_TODO_KINDS))
                kinds.GetMenuString(id, item, MF_BYCOMMAND);
            summary.Format(IDS_PIM_LIKE_TODO, item.GetString());
            widest = std::max(widest, TextWidth(summary));
        }
        needed = std::max(needed, static_cast<int>(ChildRect(m_kindSummary, *this).left) + widest + option + 3);
    }
    return needed;
}

void CPimCalPane::ShowKindFields(BOOL bShow)
{
    for (CWnd* child : {static_cast<CWnd*>(&m_date), static_cast<CWnd*>(&m_dateSummary), static_cast<CWnd*>(&m_start),
                        static_cast<CWnd*>(&m_timeLabel), static_cast<CWnd*>(&m_end),
                        static_cast<CWnd*>(&m_kindSummary), static_cast<CWnd*>(&m_daysBefore),
                        static_cast<CWnd*>(&m_days), static_cast<CWnd*>(&m_daysAfter)}) {
        if (child->GetSafeHwnd())
            child->ShowWindow(SW_HIDE);
    }
    if (!bShow || !m_date.GetSafeHwnd())
        return;
    std::vector<CWnd*> shown;
    switch (m_edition == pimNotes ? m_nKind : KIND_TIMED) {
    case KIND_TIMED:
        shown = {&m_date, &m_start, &m_timeLabel, &m_end};
        break;
    case KIND_DAYS:
        shown = {&m_date, &m_daysBefore, &m_days, &m_daysAfter};
        break;
    case KIND_AT:
        shown = {&m_date, &m_start};
        break;
    case KIND_DATE:
        shown = {&m_date};
        break;
    default:
        break;
    }
    for (CWnd* child : shown)
        child->ShowWindow(SW_SHOW);
}

void CPimCalPane::Show()
{
    const BOOL checked = GetCheckButton()->GetCheck();
    if (CActionNote* note = GetActionNote()) {
        if (note->GetNoteWnd() && note->GetNoteWnd()->GetSafeHwnd())
            note->GetNoteWnd()->SetWindowContextHelpId(checked ? 3 : 26);
    }
    if (m_edition != pimNotes) {
        // One kind of entry: its fields are always there; no option button.
        if (m_option.GetSafeHwnd())
            m_option.ShowWindow(SW_HIDE);
        ShowKindFields(TRUE);
        return;
    }
    if (m_option.GetSafeHwnd())
        m_option.ShowWindow(SW_SHOW);
    GetMenuButton()->SelectMenuItem(m_nKind, FALSE);
    GetMenuButton()->Redraw();
    if (!(checked && m_nKind == KIND_LIKE_TODO)) {
        ShowKindFields(TRUE);
        return;
    }
    // Like the to-do: the to-do pane's dates stand in for the fields.
    ShowKindFields(FALSE);
    auto* destWnd = dynamic_cast<CDestWnd*>(GetParent());
    auto* toDo = destWnd ? dynamic_cast<CPimToDoPane*>(destWnd->FindPane(IDP_OZU_TODO)) : nullptr;
    DATE due = toDo ? FieldDate(toDo->GetDueField()) : -1.0;
    CMenu kinds;
    CString item, summary, dateText;
    if (kinds.LoadMenu(IDR_PIM_TODO_KINDS))
        kinds.GetMenuString(due > 0.0 ? IDM_PIM_TODO_DUE : IDM_PIM_TODO_NO_DUE, item, MF_BYCOMMAND);
    summary.Format(IDS_PIM_LIKE_TODO, item.GetString());
    m_kindSummary.SetWindowText(summary);
    m_kindSummary.ShowWindow(SW_SHOW);
    if (due > 0.0)
        FormatVariantDate(due, dateText);
    m_dateSummary.SetWindowText(dateText);
    m_dateSummary.ShowWindow(SW_SHOW);
}

void CPimCalPane::SetKind(UINT nKind)
{
    if (nKind == m_nKind)
        return;
    m_nKind = nKind;
    Show();
}

void CPimCalPane::OnKind(UINT nID)
{
    if (m_edition != pimNotes)
        return;
    m_nKind = nID;
    Show();
}

BOOL CPimCalPane::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    BOOL handled = CDestPane::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    if (handled && !pHandlerInfo && nID == m_nID && nCode == CN_COMMAND && !GetCheckButton()->GetCheck()) {
        CPimCalDestination* dest = GetCalDestination();
        // Only the user's own untick starts afresh: one that came with the
        // web actions (parsing locked) keeps what the user typed.
        if (GetCheckButton()->GetChanged() && !dest->IsParseLocked()) {
            m_days.SetText("");
            m_end.SetText("");
            m_start.SetText("");
            m_date.SetText("");
            dest->ForgetKeyphrases();
            m_nKind = m_nDefaultKind;
            Show();
        }
    } else if (handled && !pHandlerInfo && nID == m_nID && nCode == CN_COMMAND && GetCheckButton()->GetChanged() &&
               !GetCalDestination()->IsParseLocked()) {
        // Switched on again, it takes the note as it stands.
        GetCalDestination()->Retake();
    }
    return handled;
}

void CPimCalPane::OnStartTimeChange()
{
    CTimeEditProp* endProp = GetCalDestination()->GetEndProp();
    const bool endGiven = (m_end.GetTextLength() > 0 && UserChanged(endProp)) || endProp->GetKeyphraseId() != 0;
    if (!endGiven) {
        const DATE start = FieldTime(m_start);
        if (start >= 0.0 && !(m_edition == pimNotes && m_nKind == KIND_AT))
            m_end.SetTime(TimeOfDayAfter(start, DefaultLength()));
    }
    if (!m_bCreating && m_start.GetTextLength() > 0 && !GetCheckButton()->GetCheck())
        GetCheckButton()->SetCheck(TRUE);
}

void CPimCalPane::OnFieldChange(CEditDrop& field)
{
    if (!m_bCreating && field.GetTextLength() > 0 && !GetCheckButton()->GetCheck())
        GetCheckButton()->SetCheck(TRUE);
}

void CPimCalPane::OnStartChange()
{
    OnStartTimeChange();
}

void CPimCalPane::OnDateChange()
{
    OnFieldChange(m_date);
}

void CPimCalPane::OnEndChange()
{
    OnFieldChange(m_end);
}

void CPimCalPane::OnDaysChange()
{
    OnFieldChange(m_days);
}

void CPimCalPane::OnStartKillFocus()
{
    RewriteTime(m_start);
}

void CPimCalPane::OnEndKillFocus()
{
    OnStartTimeChange();
    RewriteTime(m_end);
}

// A click on the button opens its menu under it.
void CPimCalPane::OnOptionButton()
{
    DropMenu(m_optionMenu, IDC_OPTION, m_option, IDM_OPTION_FIRST, IDM_OPTION_LAST, IDM_OPTION_NONE);
}

void CPimCalPane::OnOption(UINT nID)
{
    // The Palm and Outlook panes open the menu but take no choice from it.
    if (m_edition != pimNotes)
        return;
    m_nOption = nID;
    if (m_optionMenu.GetSafeHmenu()) {
        if (CMenu* popup = m_optionMenu.GetSubMenu(0))
            popup->CheckMenuRadioItem(IDM_OPTION_FIRST, IDM_OPTION_LAST, nID, MF_BYCOMMAND);
    }
    m_option.SetPressed(nID != IDM_OPTION_NONE);
}
