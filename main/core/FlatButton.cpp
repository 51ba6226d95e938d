#include "FlatButton.h"

#include "FrameworkUtil.h"

namespace {

const char kClassName[] = "QUIFLATBUTTON";
const UINT kArrowBitmap = 148;

enum { timerTrack = 1, timerRepeatDelay = 2, timerRepeat = 3 };
const UINT kTrackMs = 10;
const UINT kRepeatDelayMs = 250;
const UINT kRepeatMs = 100;

// Shared by every button with a drop arrow; loaded when the first one needs it.
Quillmate::CImage& DropArrow()
{
    static Quillmate::CImage arrow;
    if (!arrow.IsLoaded())
        arrow.Load(kArrowBitmap, Quillmate::CImage::GetTransparentColor());
    return arrow;
}

int EdgeX() { return ::GetSystemMetrics(SM_CXEDGE); }
int EdgeY() { return ::GetSystemMetrics(SM_CYEDGE); }

// The physical button that acts as the left one.
BOOL PrimaryButtonHeld()
{
    int key = ::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (::GetAsyncKeyState(key) & 0x8000) != 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CFlatButton, CWnd)
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_TIMER()
    ON_WM_EXITMENULOOP()
    ON_MESSAGE(WM_USER, OnOpenMenu)
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
END_MESSAGE_MAP()

CFlatButton::CFlatButton() : m_textColor(::GetSysColor(COLOR_WINDOWTEXT)) {}

void CFlatButton::SetTransparentColor(COLORREF color)
{
    Quillmate::CImage::SetTransparentColor(color);
}

//--- creation and layout

BOOL CFlatButton::Create(int x, int y, UINT nResID, BYTE kind, CWnd* pParent, UINT nID, int style, int height)
{
    m_nID = nID ? nID : nResID;
    m_resID = nResID;
    m_kind = kind;
    m_drawFlags = DT_NOCLIP | DT_SINGLELINE | DT_VCENTER;
    if (!RegisterWndClass(kClassName, 0, nullptr, nullptr, nullptr))
        return FALSE;
    if (!CreateEx(0, kClassName, "", WS_CHILD, CRect(x, y, x + 10, y + 10), pParent, m_nID))
        return FALSE;
    if (nResID) {
        if (m_image.Load(nResID, Quillmate::CImage::GetTransparentColor())) {
            m_cxImage = m_image.GetWidth();
            m_cyImage = m_image.GetHeight();
        }
        CString text;
        text.LoadString(nResID);
        int lineFeed = text.Find('\n');
        m_caption = lineFeed < 0 ? text : text.Left(lineFeed);
    }
    MeasureCaption();
    m_fixedHeight = height;
    SetStyle(style, TRUE);
    return TRUE;
}

CMenu* CFlatButton::GetPopupMenu()
{
    return m_menu.GetSafeHmenu() ? m_menu.GetSubMenu(0) : nullptr;
}

HFONT CFlatButton::CurrentFont() const
{
    if (m_pFont)
        return *m_pFont;
    CWnd* parent = GetParent();
    return parent ? parent->GetFont() : nullptr;
}

void CFlatButton::MeasureCaption()
{
    m_cxText = m_cyText = 0;
    // The window text is the caption, as for any button, for whoever reads it.
    if (m_hWnd)
        ::SetWindowTextA(m_hWnd, m_caption);
    if (!m_hWnd || m_caption.IsEmpty())
        return;
    CClientDC dc(this);
    HFONT font = CurrentFont();
    HGDIOBJ previous = font ? dc.SelectObject(font) : nullptr;
    CRect rect;
    dc.DrawText(m_caption, rect, DT_CALCRECT | DT_SINGLELINE);
    if (previous)
        dc.SelectObject(previous);
    m_cxText = rect.Width();
    m_cyText = rect.Height();
}

void CFlatButton::Resize()
{
    if (!m_hWnd)
        return;
    int cx = EdgeX(), cy = EdgeY();
    int width, height;
    if (!m_image.IsLoaded()) {
        width = m_cxText + 3 * cx + 1;
        height = m_cyText + cy + 1;
    } else {
        width = m_cxImage + 4 * cx;
        height = m_cyImage + 3 * cy;
        if (!m_caption.IsEmpty()) {
            width += m_cxText + 3;
            // A taller caption grows the button; it never shrinks the room
            // the picture and its edge need.
            if (m_cyText > height)
                height = m_cyText;
        }
    }
    if (m_style & styleArrow)
        width += DropArrow().GetWidth();
    if (m_fixedHeight)
        height = m_fixedHeight;
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CFlatButton::SetFont(CFont* pFont)
{
    m_pFont = pFont;
    MeasureCaption();
    Resize();
}

void CFlatButton::SetTextColor(COLORREF color)
{
    m_textColor = color;
    Redraw();
}

void CFlatButton::SetDisabledImage(UINT nID)
{
    m_disabledImage.Load(nID, Quillmate::CImage::GetTransparentColor());
}

void CFlatButton::SetCaption(const CString& caption, BOOL bResize)
{
    m_caption = caption;
    MeasureCaption();
    if (bResize)
        Resize();
    Redraw();
}

void CFlatButton::SizeToText(int cx, int cy)
{
    m_fixedHeight = cy;
    CSize caption(static_cast<DWORD>(cx));
    m_cxText = caption.cx;
    m_cyText = caption.cy;
    if (m_hWnd)
        SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_drawFlags = DT_NOCLIP | DT_WORDBREAK;
}

void CFlatButton::SetStyle(int style, BOOL bResize)
{
    m_style = style;
    CMenu* popup = GetPopupMenu();
    if (popup && (style & styleMenu) && (style & styleMenuCaption)) {
        // A choice of one is no choice: no arrow, and the button stays put.
        if (popup->GetMenuItemCount() < 2) {
            m_style &= ~styleArrow;
            if (m_hWnd)
                EnableWindow(FALSE);
        } else {
            m_style |= styleArrow;
            if (m_hWnd && m_bActive)
                EnableWindow(TRUE);
        }
    }
    if (m_style & styleArrow)
        DropArrow();
    if (popup && (m_style & styleMenuCaption) && m_caption.IsEmpty() && popup->GetMenuItemCount() > 0) {
        CString text;
        popup->GetMenuString(0, text, MF_BYPOSITION);
        m_caption = text;
        MeasureCaption();
        CheckMenuPosition(0);
        m_chosenCmd = popup->GetMenuItemID(0);
    }
    if (bResize)
        Resize();
}

//--- menu

void CFlatButton::SetMenu(UINT nMenuID)
{
    m_menu.DestroyMenu();
    m_menu.LoadMenu(nMenuID);
    if (!m_hWnd)
        return;
    if (m_style & styleMenuCaption) {
        m_caption.Empty();
        MeasureCaption();
    }
    SetStyle(m_style, TRUE);
}

// The radio mark goes by position, so the items' ids need not run in order.
void CFlatButton::CheckMenuPosition(int pos)
{
    CMenu* popup = GetPopupMenu();
    int count = popup ? popup->GetMenuItemCount() : 0;
    if (count > 0)
        popup->CheckMenuRadioItem(0, count - 1, pos, MF_BYPOSITION);
}

void CFlatButton::SelectMenuItem(UINT cmd, BOOL bNotify)
{
    CMenu* popup = GetPopupMenu();
    if (!popup || cmd == m_chosenCmd)
        return;
    int count = popup->GetMenuItemCount();
    int pos = 0;
    while (pos < count && popup->GetMenuItemID(pos) != cmd)
        pos++;
    if (pos == count)
        return;
    CString text;
    popup->GetMenuString(pos, text, MF_BYPOSITION);
    SetCaption(text, TRUE);
    CheckMenuPosition(pos);
    m_chosenCmd = cmd;
    if (bNotify)
        PostCommandToParent(cmd, nullptr);
}

BOOL CFlatButton::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The item the user picked from the pop-up comes back here.
    if ((m_style & styleMenuCaption) && nCode == CN_COMMAND && !pHandlerInfo) {
        SelectMenuItem(nID, TRUE);
        m_bChanged = TRUE;
    }
    return CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

LRESULT CFlatButton::OnOpenMenu(WPARAM, LPARAM)
{
    CMenu* popup = GetPopupMenu();
    if (!popup)
        return 0;
    CRect rect;
    GetWindowRect(rect);
    m_bMenuShowing = TRUE;
    popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN, rect.left, rect.bottom, this);
    return 0;
}

void CFlatButton::OnExitMenuLoop(BOOL)
{
    SetPressed(FALSE);
    m_bMenuShowing = FALSE;
}

//--- state

void CFlatButton::ChangeState(int bits, BOOL bOn)
{
    int state = bOn ? (m_state | bits) : (m_state & ~bits);
    if (state == m_state)
        return;
    m_state = state;
    Redraw();
}

void CFlatButton::SetCheck(BOOL bCheck)
{
    if (GetCheck() == (bCheck != FALSE))
        return;
    ChangeState(stateChecked, bCheck);
    CWnd* parent = GetParent();
    if (parent)
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(m_nID, BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
}

void CFlatButton::SetPressed(BOOL bPressed) { ChangeState(statePressed, bPressed); }
void CFlatButton::SetHot(BOOL bHot) { ChangeState(stateHot, bHot); }

void CFlatButton::SetActive(BOOL bActive)
{
    m_bActive = bActive;
    Redraw();
}

void CFlatButton::Redraw()
{
    if (!m_hWnd)
        return;
    CWnd* parent = GetParent();
    if (parent) {
        CRect rect;
        GetWindowRect(rect);
        parent->ScreenToClient(rect);
        parent->InvalidateRect(rect, TRUE);
    }
    Invalidate(TRUE);
}

//--- mouse and timers

void CFlatButton::PostCommandToParent(UINT cmd, HWND hFrom)
{
    CWnd* parent = GetParent();
    if (parent)
        parent->PostMessage(WM_COMMAND, MAKEWPARAM(cmd, BN_CLICKED), reinterpret_cast<LPARAM>(hFrom));
}

CPoint CFlatButton::CursorInClient() const
{
    CPoint cursor;
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    return cursor;
}

BOOL CFlatButton::IsInside(CPoint point) const
{
    CRect client;
    GetClientRect(client);
    return client.PtInRect(point);
}

void CFlatButton::Fire()
{
    if (m_kind == kindCheck)
        SetCheck(!GetCheck());
    else
        PostCommandToParent(m_nID, m_hWnd);
    if (!m_bMenuShowing && (m_style & styleMenu))
        PostMessage(WM_USER);
    if (m_style & styleAutoRepeat)
        SetTimer(timerRepeatDelay, kRepeatDelayMs);
}

void CFlatButton::OnMouseMove(UINT, CPoint)
{
    if (!m_bActive)
        return;
    SetHot(TRUE);
    SetTimer(timerTrack, kTrackMs);
}

void CFlatButton::OnLButtonDown(UINT, CPoint)
{
    if (!m_bActive)
        return;
    if (m_bMenuShowing && (m_style & styleMenu)) {
        Default();
        return;
    }
    if (m_style & (styleFireOnPress | styleMenu)) {
        if ((m_style & styleFireOnPress) && m_kind == kindCheck)
            m_bChanged = TRUE;
        if (m_style & styleMenu)
            SetPressed(TRUE);
        Fire();
        // An auto-repeat press is followed until its release, which ends the repeating.
        if (m_style & styleAutoRepeat) {
            m_state |= stateTracking;
            SetTimer(timerTrack, kTrackMs);
        }
        Default();
        return;
    }
    SetPressed(TRUE);
    SetTimer(timerTrack, kTrackMs);
    m_state |= stateTracking;
}

void CFlatButton::StopTracking(CPoint cursor)
{
    KillTimer(timerTrack);
    KillTimer(timerRepeatDelay);
    KillTimer(timerRepeat);
    m_state &= ~stateTracking;
    SetPressed(FALSE);
    if (!IsInside(cursor)) {
        SetHot(FALSE);
        return;
    }
    SetHot(TRUE);
    if (!(m_style & styleFireOnPress)) {
        if (m_kind == kindCheck)
            m_bChanged = TRUE;
        Fire();
    }
}

void CFlatButton::OnTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent) {
    case timerTrack: {
        CPoint cursor = CursorInClient();
        if (!(m_state & stateTracking)) {
            if (!IsInside(cursor)) {
                SetHot(FALSE);
                KillTimer(timerTrack);
            }
        } else if (!PrimaryButtonHeld()) {
            StopTracking(cursor);
        } else {
            SetPressed(IsInside(cursor));
        }
        break;
    }
    case timerRepeatDelay:
        KillTimer(timerRepeatDelay);
        SetTimer(timerRepeat, kRepeatMs);
        break;
    case timerRepeat:
        PostCommandToParent(m_nID, m_hWnd);
        break;
    default:
        CWnd::OnTimer(nIDEvent);
    }
}

//--- painting

void CFlatButton::OnPaint()
{
    CPaintDC dc(this);
    Paint(&dc);
}

LRESULT CFlatButton::OnPrintClient(WPARAM wParam, LPARAM)
{
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(wParam));
    Paint(&dc);
    dc.Detach();
    return 0;
}

void CFlatButton::Paint(CDC* pDC)
{
    int cx = EdgeX(), cy = EdgeY();
    CRect client;
    GetClientRect(client);
    BOOL down = (m_state & (statePressed | stateChecked)) != 0;
    int x = 2 * cx;
    if (m_image.IsLoaded()) {
        int y = 2 * cy;
        if (client.Height() > 2 * cy + m_cyImage)
            y = (client.Height() - m_cyImage) / 2;
        int shiftX = down ? cx / 2 : 0, shiftY = down ? cy / 2 : 0;
        if (!m_bActive && m_disabledImage.IsLoaded())
            m_disabledImage.Draw(pDC, x + shiftX, y + shiftY, FALSE);
        else
            m_image.Draw(pDC, x + shiftX, y + shiftY, !m_bActive);
        x += m_cxImage;
    }
    if (!m_caption.IsEmpty()) {
        CRect text(x + (down ? cx / 2 : 0), client.top, client.right, client.bottom);
        HFONT font = CurrentFont();
        HGDIOBJ previousFont = font ? pDC->SelectObject(font) : nullptr;
        int previousMode = pDC->SetBkMode(TRANSPARENT);
        if (m_bActive) {
            pDC->SetTextColor(m_textColor);
            pDC->DrawText(m_caption, text, m_drawFlags);
        } else {
            CRect relief = text;
            relief.OffsetRect(1, 1);
            pDC->SetTextColor(::GetSysColor(COLOR_3DHILIGHT));
            pDC->DrawText(m_caption, relief, m_drawFlags);
            pDC->SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
            pDC->DrawText(m_caption, text, m_drawFlags);
        }
        pDC->SetBkMode(previousMode);
        if (previousFont)
            pDC->SelectObject(previousFont);
    }
    if (m_bActive && (m_style & styleArrow)) {
        Quillmate::CImage& arrow = DropArrow();
        int y = (client.Height() - arrow.GetHeight()) / 2 - 1 + (down ? cy / 2 : 0);
        arrow.Draw(pDC, x + (down ? cx / 2 : 0) + m_cxText, y, FALSE);
    }
    UINT edge = 0;
    if (m_state & (statePressed | stateChecked))
        edge = EDGE_SUNKEN;
    else if (m_state & stateHot)
        edge = EDGE_RAISED;
    if (edge)
        pDC->DrawEdge(client, edge, BF_RECT);
}
