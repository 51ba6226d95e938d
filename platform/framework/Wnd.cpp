// CWnd: message dispatch through the maps, and the thin wrappers of the
// window functions.
#include "OleControlSite.h"
#include "State.h"
#include "quifw/Prompt.h"
#include "quifw/WinApp.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

//--- dispatch

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!DispatchToMap(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& current = AfxGetThreadState().current;
    return DefWindowProc(current.message, current.wParam, current.lParam);
}

BOOL CWnd::DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        *pResult = 0;
        return OnCommand(wParam, lParam);
    }
    if (message == WM_NOTIFY) {
        *pResult = 0;
        return OnNotify(wParam, lParam, pResult);
    }
    if (ReflectToChild(message, wParam, lParam, pResult))
        return TRUE;

    UINT key = message;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        key = WM_CTLCOLOR;
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfnThunk; ++e) {
            BOOL match = e->pnRegistered ? (*e->pnRegistered != 0 && *e->pnRegistered == message)
                                         : (e->nMessage == key && key != WM_COMMAND && key != WM_NOTIFY);
            if (!match)
                continue;
            AFX_MSG msg = {message, wParam, lParam, 0, nullptr, 0};
            if (e->pfnThunk(this, msg)) {
                *pResult = msg.result;
                return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // Menus and accelerators (no control) both count as plain commands.
    int nCode = lParam ? HIWORD(wParam) : CN_COMMAND;
    return OnCmdMsg(LOWORD(wParam), nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    AFX_NOTIFY notify = {pResult, pNMHDR};
    return OnCmdMsg(static_cast<UINT>(pNMHDR->idFrom), AFX_NOTIFY_CODE(pNMHDR->code), &notify, nullptr);
}

BOOL CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    HWND hChild = nullptr;
    switch (message) {
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* p = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (p->CtlType != ODT_MENU)
            hChild = p->hwndItem;
        break;
    }
    case WM_MEASUREITEM: {
        const MEASUREITEMSTRUCT* p = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        if (p->CtlType != ODT_MENU)
            hChild = ::GetDlgItem(m_hWnd, static_cast<int>(p->CtlID));
        break;
    }
    case WM_DELETEITEM:
        hChild = reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem;
        break;
    case WM_COMPAREITEM:
        hChild = reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem;
        break;
    default:
        return FALSE;
    }
    CWnd* pChild = FromHandlePermanent(hChild);
    return pChild && pChild->OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        if (CWnd* pWnd = FromHandlePermanent(hWnd)) {
            pWnd->RelayToToolTip(pMsg);
            if (pWnd->PreTranslateMessage(pMsg))
                return TRUE;
        }
    }
    return FALSE;
}

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    if (CWinApp* pApp = AfxGetApp())
        return pApp->PreTranslateMessage(pMsg);
    return CWnd::WalkPreTranslateTree(pMsg);
}

BOOL AfxIsKeyboardMessageFor(HWND hWnd, const MSG* pMsg)
{
    return pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST &&
           (pMsg->hwnd == hWnd || ::IsChild(hWnd, pMsg->hwnd));
}

void CWnd::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->WinHelp(dwData, nCmd);
}

//--- modal loop

int CWnd::RunModalLoop()
{
    // An EndModalLoop made while the window was being set up already counts.
    MSG msg;
    while (m_hWnd && ContinueModal()) {
        if (!::GetMessage(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_nModalResult = -1;
            break;
        }
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
    }
    int nResult = m_nModalResult;
    m_bModalDone = FALSE;
    m_nModalResult = -1;
    return nResult;
}

int CWnd::RunModal(HWND hWndOwner)
{
    BOOL bOwnerEnabled = hWndOwner && ::IsWindowEnabled(hWndOwner);
    if (bOwnerEnabled)
        ::EnableWindow(hWndOwner, FALSE);
    int nResult = RunModalLoop();
    // Enabled before this window goes, so that the owner is activated again.
    if (bOwnerEnabled)
        ::EnableWindow(hWndOwner, TRUE);
    if (m_hWnd) {
        if (hWndOwner && ::GetActiveWindow() == m_hWnd)
            ::SetActiveWindow(hWndOwner);
        DestroyWindow();
    }
    return nResult;
}

void CWnd::EndModalLoop(int nResult)
{
    m_nModalResult = nResult;
    m_bModalDone = TRUE;
    // Wakes GetMessage in the loop when nothing else is queued.
    if (m_hWnd)
        ::PostMessage(m_hWnd, WM_NULL, 0, 0);
}

BOOL CWnd::ContinueModal()
{
    return !m_bModalDone;
}

//--- tool tips

BOOL CWnd::EnableToolTips(BOOL bEnable)
{
    if (!m_hWnd)
        return FALSE;
    if (bEnable && !m_hWndToolTip) {
        AfxInitControls();
        m_hWndToolTip = ::CreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, nullptr,
                                         WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                         CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                         AfxGetInstanceHandle(), nullptr);
        if (!m_hWndToolTip)
            return FALSE;
    }
    if (m_hWndToolTip)
        ::SendMessage(m_hWndToolTip, TTM_ACTIVATE, bEnable, 0);
    return TRUE;
}

void CWnd::RelayToToolTip(const MSG* pMsg)
{
    if (!m_hWndToolTip || pMsg->message < WM_MOUSEFIRST || pMsg->message > WM_MBUTTONDBLCLK)
        return;
    HWND hChild = pMsg->hwnd;
    while (hChild && ::GetParent(hChild) != m_hWnd)
        hChild = ::GetParent(hChild);
    if (!hChild)
        return;
    TOOLINFO ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = m_hWnd;
    ti.uId = reinterpret_cast<UINT_PTR>(hChild);
    if (!::SendMessage(m_hWndToolTip, TTM_GETTOOLINFO, 0, reinterpret_cast<LPARAM>(&ti))) {
        ti.uFlags = TTF_IDISHWND;
        ti.lpszText = LPSTR_TEXTCALLBACK;
        ::SendMessage(m_hWndToolTip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti));
    }
    MSG relayed = *pMsg;
    ::SendMessage(m_hWndToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

//--- messages and state

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendDlgItemMessage(m_hWnd, nID, message, wParam, lParam);
}

DWORD CWnd::GetStyle() const
{
    return static_cast<DWORD>(::GetWindowLong(m_hWnd, GWL_STYLE));
}

DWORD CWnd::GetExStyle() const
{
    return static_cast<DWORD>(::GetWindowLong(m_hWnd, GWL_EXSTYLE));
}

namespace {

BOOL ChangeStyle(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD old = static_cast<DWORD>(::GetWindowLong(hWnd, nIndex));
    DWORD style = (old & ~dwRemove) | dwAdd;
    if (style == old)
        return FALSE;
    ::SetWindowLong(hWnd, nIndex, static_cast<LONG>(style));
    if (nFlags)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

} // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ChangeStyle(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ChangeStyle(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

int CWnd::GetDlgCtrlID() const
{
    return ::GetDlgCtrlID(m_hWnd);
}

void CWnd::SetWindowText(LPCTSTR lpszString)
{
    ::SetWindowText(m_hWnd, lpszString);
}

void CWnd::GetWindowText(CString& text) const
{
    int length = ::GetWindowTextLength(m_hWnd);
    int copied = ::GetWindowText(m_hWnd, text.GetBuffer(length), length + 1);
    text.ReleaseBuffer(copied);
}

int CWnd::GetWindowText(LPTSTR lpszBuffer, int nMaxCount) const
{
    return ::GetWindowText(m_hWnd, lpszBuffer, nMaxCount);
}

int CWnd::GetWindowTextLength() const
{
    return ::GetWindowTextLength(m_hWnd);
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    ::SendMessage(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? pFont->m_hObject : nullptr), bRedraw);
}

HFONT CWnd::GetFont() const
{
    return reinterpret_cast<HFONT>(::SendMessage(m_hWnd, WM_GETFONT, 0, 0));
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(::SendMessage(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                                 reinterpret_cast<LPARAM>(hIcon)));
}

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
void CWnd::SetRedraw(BOOL bRedraw) { ::SendMessage(m_hWnd, WM_SETREDRAW, bRedraw, 0); }
BOOL CWnd::SetWindowContextHelpId(DWORD dwContextHelpId) { return ::SetWindowContextHelpId(m_hWnd, dwContextHelpId); }
DWORD CWnd::GetWindowContextHelpId() const { return ::GetWindowContextHelpId(m_hWnd); }

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
CWnd* CWnd::GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
CWnd* CWnd::GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
CWnd* CWnd::SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
void CWnd::BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }

//--- geometry

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    if (m_pCtrlSite) {
        // A hosted control learns its new place through its site, and moves itself.
        RECT rect = {x, y, x + nWidth, y + nHeight};
        m_pCtrlSite->MoveControl(rect);
        return;
    }
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint)
{
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    if (m_pCtrlSite && (nFlags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
        RECT rect;
        ::GetWindowRect(m_hWnd, &rect);
        ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&rect), 2);
        if (!(nFlags & SWP_NOMOVE))
            ::OffsetRect(&rect, x - rect.left, y - rect.top);
        if (!(nFlags & SWP_NOSIZE)) {
            rect.right = rect.left + cx;
            rect.bottom = rect.top + cy;
        }
        m_pCtrlSite->MoveControl(rect);
        nFlags |= SWP_NOMOVE | SWP_NOSIZE;
    }
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
void CWnd::ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
void CWnd::ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::MapWindowPoints(CWnd* pWndTo, LPRECT lpRect) const
{
    ::MapWindowPoints(m_hWnd, pWndTo ? pWndTo->m_hWnd : nullptr, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    BOOL bChild = (GetStyle() & WS_CHILD) != 0;
    HWND hCenter = pAlternateOwner ? pAlternateOwner->m_hWnd
                                   : (bChild ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER));
    CRect area;
    if (bChild && hCenter) {
        ::GetClientRect(hCenter, &area);
    } else {
        ::SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
        if (hCenter && hCenter != ::GetDesktopWindow() && ::IsWindowVisible(hCenter) && !::IsIconic(hCenter))
            ::GetWindowRect(hCenter, &area);
    }
    CRect rect;
    GetWindowRect(&rect);
    int x = area.left + (area.Width() - rect.Width()) / 2;
    int y = area.top + (area.Height() - rect.Height()) / 2;
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
void CWnd::ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, HRGN hRgn, UINT flags)
{
    return ::RedrawWindow(m_hWnd, lpRectUpdate, hRgn, flags);
}

//--- family

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }
CWnd* CWnd::GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

CWnd* CWnd::GetTopLevelParent() const
{
    HWND hWnd = m_hWnd;
    for (HWND hParent = ::GetParent(hWnd); hParent; hParent = ::GetParent(hWnd))
        hWnd = hParent;
    return FromHandle(hWnd);
}

BOOL CWnd::IsChild(const CWnd* pWnd) const
{
    return pWnd && ::IsChild(m_hWnd, pWnd->m_hWnd);
}

//--- dialog items

void CWnd::SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemText(m_hWnd, nID, lpszString); }

int CWnd::GetDlgItemText(int nID, CString& text) const
{
    text.Empty();
    HWND hItem = ::GetDlgItem(m_hWnd, nID);
    if (hItem)
        FromHandle(hItem)->GetWindowText(text);
    return text.GetLength();
}

void CWnd::SetDlgItemInt(int nID, UINT nValue, BOOL bSigned) { ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned); }

UINT CWnd::GetDlgItemInt(int nID, BOOL* pTranslated, BOOL bSigned) const
{
    return ::GetDlgItemInt(m_hWnd, nID, pTranslated, bSigned);
}

void CWnd::CheckDlgButton(int nID, UINT nCheck) { ::CheckDlgButton(m_hWnd, nID, nCheck); }
UINT CWnd::IsDlgButtonChecked(int nID) const { return ::IsDlgButtonChecked(m_hWnd, nID); }

void CWnd::CheckRadioButton(int nIDFirst, int nIDLast, int nIDCheck)
{
    ::CheckRadioButton(m_hWnd, nIDFirst, nIDLast, nIDCheck);
}

int CWnd::GetCheckedRadioButton(int nIDFirst, int nIDLast) const
{
    for (int nID = nIDFirst; nID <= nIDLast; ++nID) {
        if (::IsDlgButtonChecked(m_hWnd, nID) == BST_CHECKED)
            return nID;
    }
    return 0;
}

BOOL CWnd::IsDialogMessage(LPMSG lpMsg) { return ::IsDialogMessage(m_hWnd, lpMsg); }

//--- timers, menus, prompts

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse) { return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr); }
BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
HMENU CWnd::GetSystemMenu(BOOL bRevert) const { return ::GetSystemMenu(m_hWnd, bRevert); }

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    return AfxPromptMessageBox(m_hWnd, lpszText, lpszCaption, nType);
}

//--- default handlers

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnMoving(UINT, LPRECT) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
BOOL CWnd::OnQueryNewPalette() { return static_cast<BOOL>(Default()); }
void CWnd::OnPaletteChanged(CWnd*) { Default(); }
void CWnd::OnSettingChange(UINT, LPCTSTR) { Default(); }
void CWnd::OnExitMenuLoop(BOOL) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
BOOL CWnd::OnHelpInfo(HELPINFO*) { return static_cast<BOOL>(Default()); }
