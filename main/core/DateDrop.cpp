#include "DateDrop.h"

#include <cmath>

#include "DestProp.h"
#include "FrameworkUtil.h"
#include "QuiParserMgr.h"
#include "QuillmateApp.h"

namespace {

const char kCalendarClass[] = "QUIDATEDROP";
const int kDateWidthDlu = 36;
const int kTimeWidthDlu = 30;
const int kCalendarInset = 3;
const int kCalendarMargin = 5;

// A day of every month, and the days of one week, as the user's short
// format writes them: the widest of them is the widest date the field shows.
void SampleDates(CStringArray& texts)
{
    const int year = COleDateTime::GetCurrentTime().GetYear();
    CString text;
    for (int month = 1; month <= 12; month++) {
        if (FormatVariantDate(COleDateTime(year, month, 28, 0, 0, 0).m_dt, text))
            texts.Add(text);
    }
    for (int day = 21; day < 28; day++) {
        if (FormatVariantDate(COleDateTime(year, 9, day, 0, 0, 0).m_dt, text))
            texts.Add(text);
    }
}

// A time of every hour in the user's format.
void SampleTimes(CStringArray& texts)
{
    CString text;
    for (int hour = 0; hour < 24; hour++) {
        if (FormatVariantTime(COleDateTime(1899, 12, 30, hour, 58, 0).m_dt, text))
            texts.Add(text);
    }
}

// The sentinels that no text stands for: empty, unreadable, leave alone.
bool IsDateSentinel(DATE d)
{
    return d == -1.0 || d == -2.0 || d == -3.0;
}

// -1.0 for an empty field, else the reader's date or -2.0.
void ReadField(CEditDrop& field, BOOL (*reader)(const CString&, DATE*), DATE* p)
{
    if (field.GetTextLength() == 0) {
        *p = -1.0;
        return;
    }
    if (!reader(field.GetText(), p))
        *p = -2.0;
}

} // namespace

//--- the calendar pop-up

BEGIN_MESSAGE_MAP(CQuillmateDateDrop, CQuillmateDropWnd)
    ON_WM_CREATE()
    ON_WM_KILLFOCUS()
    ON_WM_ACTIVATE()
    ON_NOTIFY(MCN_SELCHANGE, CQuillmateDateDrop::IDC_CALENDAR, OnSelChange)
    ON_NOTIFY(MCN_SELECT, CQuillmateDateDrop::IDC_CALENDAR, OnSelect)
END_MESSAGE_MAP()

CQuillmateDateDrop::CQuillmateDateDrop(CDateDrop* pField) : CQuillmateDropWnd(pField), m_pDateField(pField) {}

BOOL CQuillmateDateDrop::Create()
{
    if (!RegisterWndClass(kCalendarClass, CS_SAVEBITS, ::GetSysColorBrush(COLOR_BTNFACE),
                          ::LoadCursor(nullptr, IDC_ARROW), nullptr))
        return FALSE;
    return CreatePopup(kCalendarClass, CRect(0, 0, 10, 10));
}

int CQuillmateDateDrop::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    CRect r(kCalendarInset, kCalendarInset, kCalendarInset + 10, kCalendarInset + 10);
    if (!m_calendar.Create(WS_CHILD | WS_VISIBLE | MCS_NOTODAYCIRCLE, r, this, IDC_CALENDAR))
        return -1;
    if (CQuillmateApp* app = QuiGetApp())
        m_calendar.SetFont(app->GetSmallFont(), FALSE);
    CRect min;
    if (m_calendar.GetMinReqRect(min))
        m_calendar.MoveWindow(kCalendarInset, kCalendarInset, min.Width(), min.Height(), FALSE);
    return 0;
}

CSize CQuillmateDateDrop::GetNeededSize()
{
    CRect min;
    if (!m_calendar.GetMinReqRect(min))
        m_calendar.GetWindowRect(min);
    return CSize(min.Width() + kCalendarMargin, min.Height() + kCalendarMargin);
}

void CQuillmateDateDrop::SetDate(DATE d)
{
    m_date = (d == -1.0 || d == -2.0) ? COleDateTime::GetCurrentTime() : COleDateTime(d);
    SYSTEMTIME st = {};
    if (m_date.GetStatus() == COleDateTime::valid && m_date.GetAsSystemTime(st))
        m_calendar.SetCurSel(st);
}

void CQuillmateDateDrop::Pick(const COleDateTime& day)
{
    m_pDateField->SetDate(std::floor(static_cast<DATE>(day)));
    Hide(TRUE);
    m_pDateField->NotifyAdaptor(CDestProp::FLAG_USER_CHANGED);
}

void CQuillmateDateDrop::OnSelChange(NMHDR* pNMHDR, LRESULT*)
{
    m_date = COleDateTime(reinterpret_cast<NMSELCHANGE*>(pNMHDR)->stSelStart);
}

void CQuillmateDateDrop::OnSelect(NMHDR* pNMHDR, LRESULT*)
{
    COleDateTime day(reinterpret_cast<NMSELCHANGE*>(pNMHDR)->stSelStart);
    if (day.GetStatus() == COleDateTime::valid)
        Pick(day);
}

void CQuillmateDateDrop::OnReturn()
{
    Pick(m_date);
}

BOOL CQuillmateDateDrop::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_LBUTTONDBLCLK && pMsg->hwnd == m_calendar.GetSafeHwnd()) {
        // The double click's first click has already chosen the day.
        Pick(m_date);
        return TRUE;
    }
    return CQuillmateDropWnd::PreTranslateMessage(pMsg);
}

void CQuillmateDateDrop::OnKillFocus(CWnd* pNewWnd)
{
    if (!pNewWnd || pNewWnd->GetSafeHwnd() != m_calendar.GetSafeHwnd())
        Hide(FALSE);
}

void CQuillmateDateDrop::OnActivate(UINT nState, CWnd*, BOOL)
{
    if (nState == WA_INACTIVE)
        PostMessage(WM_USER);
}

//--- the date field

CDateDrop::CDateDrop() = default;
CDateDrop::~CDateDrop() = default;

BOOL CDateDrop::Create(int x, int y, DWORD dwReserved, CWnd* pParent, UINT nID)
{
    if (!CEditDrop::Create(x, y, DluToPixelsX(pParent, kDateWidthDlu), dwReserved, pParent, nID, 0))
        return FALSE;
    CStringArray dates;
    SampleDates(dates);
    WidenToFit(dates);
    return TRUE;
}

void CDateDrop::GetDate(DATE* pDate)
{
    if (GetTextLength() != 0 && *pDate == -3.0)
        return;
    ReadField(*this, ParseDateText, pDate);
}

void CDateDrop::SetDate(DATE d)
{
    CString text;
    if (!IsDateSentinel(d))
        FormatVariantDate(d, text);
    SetText(text);
}

void CDateDrop::DropDown()
{
    if (!m_bPopupMade) {
        m_pPopup.reset(new CQuillmateDateDrop(this));
        if (!m_pPopup->Create()) {
            m_pPopup.reset();
            return;
        }
        m_bPopupMade = TRUE;
    }
    CSize size = m_pPopup->GetNeededSize();
    CRect edit;
    m_edit.GetWindowRect(edit);
    CRect field;
    GetWindowRect(field);
    CRect frame(0, 0, size.cx, size.cy);
    ::AdjustWindowRectEx(frame, m_pPopup->GetStyle(), FALSE, m_pPopup->GetExStyle());
    m_pPopup->SetWindowPos(nullptr, edit.right - frame.Width(), field.bottom, frame.Width(), frame.Height(),
                           SWP_NOZORDER | SWP_NOACTIVATE);
    DATE d = 0.0;
    GetDate(&d);
    m_pPopup->SetDate(d);
    m_pPopup->ShowWindow(SW_SHOW);
    m_pPopup->GetCalendar().SetFocus();
}

void CDateDrop::SetDisabled(BOOL bDisabled)
{
    CEditDrop::SetDisabled(bDisabled);
    if (!IsEditEnabled())
        SetPickOnlyDisabled(bDisabled);
}

BOOL CDateDrop::PreTranslateMessage(MSG* pMsg)
{
    if (HandleDropKeys(pMsg, !IsEditEnabled()))
        return TRUE;
    return CEditDrop::PreTranslateMessage(pMsg);
}

//--- the time field

BOOL CTimeEdit::Create(int x, int y, DWORD dwReserved, CWnd* pParent, UINT nID)
{
    if (!CEditDrop::Create(x, y, DluToPixelsX(pParent, kTimeWidthDlu), dwReserved, pParent, nID, dropNoButton))
        return FALSE;
    CStringArray times;
    SampleTimes(times);
    WidenToFit(times);
    return TRUE;
}

void CTimeEdit::GetTime(DATE* pTime)
{
    ReadField(*this, ParseTimeText, pTime);
}

void CTimeEdit::SetTime(DATE t)
{
    CString text;
    if (t != -1.0 && t != -2.0)
        FormatVariantTime(t, text);
    SetText(text);
}
