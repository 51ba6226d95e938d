#include "EditDrop.h"

#include "DestProp.h"
#include "FrameworkUtil.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"

namespace {

const char kFieldClass[] = "QUIEDITDROP";
const int kFieldHeightDlu = 7;

HPALETTE AppPalette()
{
    CQuillmateApp* app = QuiGetApp();
    return app ? static_cast<HPALETTE>(app->GetPalette()->GetSafeHandle()) : nullptr;
}

} // namespace

BEGIN_MESSAGE_MAP(CEditDrop, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_LBUTTONDOWN()
    ON_WM_CTLCOLOR()
    ON_EN_SETFOCUS(CEditDrop::IDC_DROP_EDIT, OnEditSetFocus)
    ON_EN_KILLFOCUS(CEditDrop::IDC_DROP_EDIT, OnEditKillFocus)
    ON_EN_CHANGE(CEditDrop::IDC_DROP_EDIT, OnEditChange)
    ON_COMMAND(CEditDrop::IDC_DROP_BUTTON, OnDropButton)
END_MESSAGE_MAP()

CEditDrop::CEditDrop() = default;
CEditDrop::~CEditDrop() = default;

LPCTSTR CEditDrop::RegisterFieldClass()
{
    // The brush belongs to the class, which lives as long as the program.
    static const BOOL registered = [] {
        HBRUSH brush = nullptr;
        if (HBITMAP pattern = LoadResourceBitmap(AfxGetResourceHandle(), IDB_FIELD_PATTERN, AppPalette(), nullptr)) {
            brush = ::CreatePatternBrush(pattern);
            ::DeleteObject(pattern);
        }
        BOOL ok = RegisterWndClass(kFieldClass, 0, brush, ::LoadCursor(nullptr, IDC_ARROW), nullptr);
        if (!ok && brush)
            ::DeleteObject(brush);
        return ok;
    }();
    return registered ? kFieldClass : nullptr;
}

BOOL CEditDrop::Create(int x, int y, int cx, DWORD, CWnd* pParent, UINT nID, DWORD dwDropStyle)
{
    LPCTSTR cls = RegisterFieldClass();
    if (!cls)
        return FALSE;
    m_dwDropStyle = dwDropStyle;
    int cy = DluToPixelsX(pParent, kFieldHeightDlu);
    return CreateEx(0, cls, "", WS_CHILD | WS_TABSTOP, CRect(x, y, x + cx, y + cy), pParent, nID);
}

int CEditDrop::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!(m_dwDropStyle & dropNoButton)) {
        if (!m_button.Create(0, 0, IDB_DROP_BUTTON, CFlatButton::kindPush, this, IDC_DROP_BUTTON,
                             CFlatButton::styleFireOnPress, lpCreateStruct->cy))
            return -1;
        m_button.ShowWindow(SW_SHOW);
    }
    DWORD style = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
    if (m_dwDropStyle & dropRightAlign)
        style |= ES_RIGHT;
    if (!m_edit.Create(style, CRect(0, 0, lpCreateStruct->cx, lpCreateStruct->cy), this, IDC_DROP_EDIT))
        return -1;
    CQuillmateApp* app = QuiGetApp();
    SetEditFont(app ? app->GetSmallFont() : nullptr, FALSE);
    ShowPrompt(TRUE);
    EnableToolTips(TRUE);
    return 0;
}

void CEditDrop::OnSize(UINT, int cx, int cy)
{
    int buttonWidth = 0;
    if (m_button.GetSafeHwnd()) {
        CRect r;
        m_button.GetWindowRect(r);
        buttonWidth = r.Width();
        m_button.MoveWindow(cx - buttonWidth, 0, buttonWidth, r.Height());
    }
    if (m_edit.GetSafeHwnd())
        m_edit.MoveWindow(0, 0, cx - buttonWidth > 0 ? cx - buttonWidth : 0, cy);
}

void CEditDrop::OnSetFocus(CWnd*)
{
    // A pick-only field keeps the focus itself: its edit child takes no input.
    if (IsEditEnabled())
        m_edit.SetFocus();
    else
        ShowFocusEdge(TRUE);
}

void CEditDrop::OnKillFocus(CWnd* pNewWnd)
{
    CWnd* popup = GetPopupWnd();
    HWND to = pNewWnd ? pNewWnd->GetSafeHwnd() : nullptr;
    BOOL toPopup = popup && to && (to == popup->GetSafeHwnd() || ::IsChild(popup->GetSafeHwnd(), to));
    if (!IsEditEnabled() && !toPopup)
        ShowFocusEdge(FALSE);
}

void CEditDrop::OnLButtonDown(UINT, CPoint)
{
    if (!IsEditEnabled())
        SetFocus();
}

BOOL CEditDrop::HandleDropKeys(MSG* pMsg, BOOL bPickOnly)
{
    if (pMsg->hwnd != m_hWnd && pMsg->hwnd != m_edit.GetSafeHwnd())
        return FALSE;
    if (pMsg->message == WM_SYSKEYDOWN && pMsg->wParam == VK_DOWN) {
        DropDown();
        return TRUE;
    }
    if (pMsg->message != WM_KEYDOWN || !bPickOnly)
        return FALSE;
    switch (pMsg->wParam) {
    case VK_RETURN:
    case VK_SPACE:
    case VK_DOWN:
        DropDown();
        return TRUE;
    case VK_BACK:
    case VK_DELETE:
        EmptyForUser();
        return TRUE;
    }
    return FALSE;
}

HBRUSH CEditDrop::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT)
{
    if (pWnd->GetSafeHwnd() != m_edit.GetSafeHwnd() || !GetParent())
        return reinterpret_cast<HBRUSH>(Default());
    HBRUSH brush = reinterpret_cast<HBRUSH>(
        GetParent()->SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(pDC->GetSafeHdc()),
                                 reinterpret_cast<LPARAM>(pWnd->GetSafeHwnd())));
    if (m_crBack != kNoColor && m_backBrush.GetSafeHandle()) {
        pDC->SetBkColor(m_crBack);
        brush = static_cast<HBRUSH>(m_backBrush.GetSafeHandle());
    }
    if (m_crCurrent != kNoColor)
        pDC->SetTextColor(m_crCurrent);
    return brush;
}

void CEditDrop::SetBkColor(COLORREF color)
{
    m_crBack = color;
    m_backBrush.DeleteObject();
    if (color != kNoColor)
        m_backBrush.CreateSolidBrush(color);
    if (m_edit.GetSafeHwnd())
        m_edit.Invalidate();
}

void CEditDrop::WidenToFit(const CStringArray& texts)
{
    if (!m_edit.GetSafeHwnd() || texts.GetSize() == 0)
        return;
    CClientDC dc(&m_edit);
    HGDIOBJ previous = m_hNormalFont ? dc.SelectObject(m_hNormalFont) : nullptr;
    int widest = 0;
    for (int i = 0; i < texts.GetSize(); i++) {
        CSize extent = dc.GetTextExtent(texts[i]);
        widest = extent.cx > widest ? extent.cx : widest;
    }
    if (previous)
        dc.SelectObject(previous);
    // The margins, and room for the caret after the last character, which
    // would otherwise scroll the text.
    const DWORD margins = static_cast<DWORD>(m_edit.SendMessage(EM_GETMARGINS));
    const int needed = widest + LOWORD(margins) + HIWORD(margins) + 2;
    CRect edit, field;
    m_edit.GetClientRect(edit);
    GetClientRect(field);
    if (needed <= edit.Width())
        return;
    SetWindowPos(nullptr, 0, 0, field.Width() + needed - edit.Width(), field.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

//--- prompt and text

void CEditDrop::SetPromptText(UINT nID)
{
    CString text;
    text.LoadString(nID);
    SetPromptText(text);
}

void CEditDrop::SetPromptText(const CString& text)
{
    m_strPrompt = text;
    if (m_hWnd && GetTextLength() == 0 && ::GetFocus() != m_edit.GetSafeHwnd())
        ShowPrompt(TRUE);
}

void CEditDrop::ShowPrompt(BOOL bShow)
{
    if (!m_edit.GetSafeHwnd())
        return;
    if (bShow) {
        if (m_strPrompt.IsEmpty())
            return;
        m_bPromptShown = TRUE;
        m_crCurrent = m_crPrompt;
        m_edit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(PromptFont()), TRUE);
        SetEditText(m_strPrompt);
    } else if (m_bPromptShown) {
        m_bPromptShown = FALSE;
        SetEditText("");
        m_crCurrent = m_crNormal;
        m_edit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_hNormalFont), TRUE);
    }
}

void CEditDrop::SetText(LPCTSTR lpszText)
{
    if (!m_edit.GetSafeHwnd())
        return;
    if (lpszText && *lpszText) {
        ShowPrompt(FALSE);
        SetEditText(lpszText);
        return;
    }
    if (::GetFocus() == m_edit.GetSafeHwnd()) {
        SetEditText("");
        return;
    }
    m_bModified = FALSE;
    if (!m_bPromptShown) {
        SetEditText("");
        ShowPrompt(TRUE);
    }
}

void CEditDrop::SetEditText(LPCTSTR lpszText)
{
    // Only the user's typing counts as a change.
    BOOL modified = m_bModified;
    m_edit.SetWindowText(lpszText);
    m_bModified = modified;
}

int CEditDrop::GetTextLength() const
{
    if (m_bPromptShown || !m_edit.GetSafeHwnd())
        return 0;
    return m_edit.GetWindowTextLength();
}

CString CEditDrop::GetText() const
{
    CString text;
    if (!m_bPromptShown && m_edit.GetSafeHwnd())
        m_edit.GetWindowText(text);
    return text;
}

void CEditDrop::SetSel(int nStart, int nEnd, BOOL bNoScroll)
{
    if (m_bPromptShown || !m_edit.GetSafeHwnd())
        return;
    m_edit.SendMessage(EM_SETSEL, nStart, nEnd);
    if (!bNoScroll)
        m_edit.SendMessage(EM_SCROLLCARET);
}

void CEditDrop::SetEditFont(CFont* pFont, BOOL bRedraw)
{
    m_hNormalFont = pFont ? static_cast<HFONT>(pFont->GetSafeHandle()) : nullptr;
    m_promptFont.DeleteObject();
    if (m_edit.GetSafeHwnd()) {
        HFONT font = m_bPromptShown ? PromptFont() : m_hNormalFont;
        m_edit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), bRedraw);
    }
}

HFONT CEditDrop::PromptFont()
{
    if (!m_promptFont.GetSafeHandle()) {
        LOGFONT lf = {};
        HGDIOBJ base = m_hNormalFont ? static_cast<HGDIOBJ>(m_hNormalFont) : ::GetStockObject(DEFAULT_GUI_FONT);
        ::GetObject(base, sizeof lf, &lf);
        lf.lfItalic = TRUE;
        m_promptFont.CreateFontIndirect(&lf);
    }
    return static_cast<HFONT>(m_promptFont.GetSafeHandle());
}

//--- state

void CEditDrop::SetDisabled(BOOL bDisabled)
{
    if (!m_button.GetSafeHwnd())
        return;
    if (!bDisabled) {
        m_button.SetPressed(FALSE);
        m_button.SetHot(FALSE);
    }
    m_button.EnableWindow(!bDisabled);
}

void CEditDrop::DropDown() {}

void CEditDrop::NotifyAdaptor(int nFlags)
{
    if (nFlags && m_pAdaptor)
        m_pAdaptor->AddFlags(nFlags);
}

BOOL CEditDrop::IsEditEnabled() const
{
    return m_edit.GetSafeHwnd() && m_edit.IsWindowEnabled();
}

void CEditDrop::ShowFocusEdge(BOOL bShow)
{
    if (!m_edit.GetSafeHwnd())
        return;
    m_edit.ModifyStyleEx(bShow ? 0 : WS_EX_STATICEDGE, bShow ? WS_EX_STATICEDGE : 0, SWP_FRAMECHANGED);
}

void CEditDrop::SetPickOnlyDisabled(BOOL bDisabled)
{
    if (bDisabled)
        ShowFocusEdge(TRUE);
    else if (!IsFocusWithin(this))
        ShowFocusEdge(FALSE);
    EnableWindow(!bDisabled);
    RedrawWindow();
}

void CEditDrop::EmptyForUser()
{
    if (GetTextLength() == 0)
        return;
    SetText("");
    NotifyAdaptor(CDestProp::FLAG_USER_CHANGED | CDestProp::FLAG_USER_EMPTIED);
}

//--- notifications

void CEditDrop::PassToParent(UINT nCode)
{
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), nCode), reinterpret_cast<LPARAM>(m_hWnd));
}

void CEditDrop::OnEditSetFocus()
{
    ShowPrompt(FALSE);
    m_bNotEditing = FALSE;
    PassToParent(EN_SETFOCUS);
}

void CEditDrop::OnEditKillFocus()
{
    if (GetTextLength() == 0)
        ShowPrompt(TRUE);
    m_bNotEditing = TRUE;
    PassToParent(EN_KILLFOCUS);
}

void CEditDrop::OnEditChange()
{
    if (!m_bNotEditing)
        m_bModified = TRUE;
    PassToParent(EN_CHANGE);
}

void CEditDrop::OnDropButton()
{
    DropDown();
}

BOOL CEditDrop::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (nCode == AFX_NOTIFY_CODE(TTN_NEEDTEXTA) && pExtra) {
        AFX_NOTIFY* notify = static_cast<AFX_NOTIFY*>(pExtra);
        return AnswerToolTip(notify->pNMHDR, notify->pResult);
    }
    return CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CEditDrop::AnswerToolTip(NMHDR* pNMHDR, LRESULT* pResult)
{
    CQuillmateApp* app = QuiGetApp();
    if (!app)
        return FALSE;
    // The whole field is the tool, whichever child the mouse is over.
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
    info->hdr.idFrom = reinterpret_cast<UINT_PTR>(m_hWnd);
    info->uFlags |= TTF_IDISHWND;
    return app->GetToolTipText(GetDlgCtrlID(), pNMHDR, pResult);
}
