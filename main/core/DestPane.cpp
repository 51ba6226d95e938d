#include "DestPane.h"

#include <algorithm>

#include "CoreWndUtil.h"
#include "Destination.h"
#include "FrameworkUtil.h"
#include "NoteWnd.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"

namespace {

const char kClassName[] = "QUIDESTPANE";

// One bold font for every pane's menu caption, kept for the process's life.
CFont* PaneBoldFont()
{
    static CFont font;
    CQuillmateApp* app = QuiGetApp();
    CFont* bold = app ? app->GetBoldFont() : nullptr;
    if (!font.GetSafeHandle() && bold && bold->GetSafeHandle()) {
        LOGFONT logFont = {};
        bold->GetLogFont(&logFont);
        logFont.lfWeight = FW_BOLD;
        font.CreateFontIndirect(&logFont);
    }
    return font.GetSafeHandle() ? &font : nullptr;
}

} // namespace

BEGIN_MESSAGE_MAP(CDestPane, CBitmapWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

CDestPane::CDestPane(CDestination* pDest) : m_pDest(pDest)
{
    PaneBoldFont();
}

CDestPane::~CDestPane()
{
    delete m_pDest;
    m_pDest = nullptr;
    m_menuButton.DestroyWindow();
    m_checkButton.DestroyWindow();
}

void CDestPane::OnChecked()
{
}

void CDestPane::Show()
{
}

BOOL CDestPane::CreatePane(int y, CWnd* pParent, UINT nID, int nResID)
{
    if (!pParent || !RegisterWndClass(kClassName, 0, nullptr, ::LoadCursor(nullptr, IDC_ARROW), nullptr))
        return FALSE;
    CRect client;
    pParent->GetClientRect(client);
    CRect rect(0, y, client.right, y + DluToPixelsX(pParent, 17));
    SetBitmap(IDB_DEST_BACKGROUND, AppPalette());
    m_nResID = nResID == -1 ? nID : static_cast<UINT>(nResID);
    return CWnd::Create(kClassName, "", WS_CHILD | WS_TABSTOP, rect, pParent, nID);
}

LRESULT CDestPane::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (m_font.Handle(message, wParam, &result))
        return result;
    return CBitmapWnd::WindowProc(message, wParam, lParam);
}

int CDestPane::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CBitmapWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (CQuillmateApp* app = QuiGetApp())
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(app->GetSmallFont()->GetSafeHandle()));
    if (!m_checkButton.Create(3, 0, m_nResID, CFlatButton::kindCheck, this, GetDlgCtrlID()))
        return -1;
    m_checkButton.ShowWindow(SW_SHOW);

    m_menuButton.SetMenu(m_nResID);
    CRect check = ChildRect(m_checkButton, *this);
    if (!m_menuButton.Create(check.right + 3, 0, 0, CFlatButton::kindPush, this, MENU_BUTTON_ID,
                             CFlatButton::styleMenuCaption))
        return -1;
    m_menuButton.SetStyle(CFlatButton::styleFireOnPress | CFlatButton::styleMenu | CFlatButton::styleMenuCaption, TRUE);
    m_menuButton.ShowWindow(SW_SHOW);
    m_menuButton.SetActive(FALSE);
    if (CFont* bold = PaneBoldFont())
        m_menuButton.SetFont(bold);
    m_menuButton.SetTextColor(PALETTERGB(0, 0, 0x80));
    EnableToolTips(TRUE);
    return 0;
}

int CDestPane::GetNeededWidth()
{
    return 0;
}

void CDestPane::LayoutToWidth()
{
}

void CDestPane::OnSize(UINT, int, int)
{
    LayoutToWidth();
}

int CDestPane::TextWidth(const CString& text, CFont* pFont)
{
    if (!pFont) {
        CQuillmateApp* app = QuiGetApp();
        pFont = app ? app->GetSmallFont() : nullptr;
    }
    CClientDC dc(this);
    HGDIOBJ previous = pFont && pFont->GetSafeHandle() ? dc.SelectObject(pFont->GetSafeHandle()) : nullptr;
    // Measured as the flat buttons measure their captions.
    CRect rect(0, 0, 0, 0);
    dc.DrawText(text, rect, DT_CALCRECT | DT_SINGLELINE);
    if (previous)
        dc.SelectObject(previous);
    return rect.Width();
}

int CDestPane::LabelWidth(const CString& text, int nDlu)
{
    const int width = DluToPixelsX(GetParent(), nDlu);
    const int textWidth = TextWidth(text);
    return textWidth > width ? textWidth : width;
}

int CDestPane::WidestMenuRight()
{
    CRect menu = ChildRect(m_menuButton, *this);
    CMenu* popup = m_menuButton.GetPopupMenu();
    if (!popup)
        return menu.right;
    CFont* bold = PaneBoldFont();
    CString caption, item;
    m_menuButton.GetWindowText(caption);
    int widest = TextWidth(caption, bold);
    for (int i = 0; i < popup->GetMenuItemCount(); i++) {
        if (popup->GetMenuString(i, item, MF_BYPOSITION) > 0 && TextWidth(item, bold) > widest)
            widest = TextWidth(item, bold);
    }
    return menu.right + widest - TextWidth(caption, bold);
}

void CDestPane::StretchToRightEdge(CWnd& child)
{
    if (!child.GetSafeHwnd())
        return;
    CRect client;
    GetClientRect(client);
    CRect rect = ChildRect(child, *this);
    child.MoveWindow(rect.left, rect.top, std::max(1L, client.right - 3 - rect.left), rect.Height());
}

CRect CDestPane::KeepAtRightEdge(CWnd& child, int nGap)
{
    CRect client;
    GetClientRect(client);
    CRect rect = ChildRect(child, *this);
    rect.OffsetRect(client.right - nGap - rect.right, 0);
    child.SetWindowPos(nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return rect;
}

void CDestPane::DropMenu(CMenu& menu, UINT nMenuId, CWnd& button, UINT nFirst, UINT nLast, UINT nChecked)
{
    if (!menu.GetSafeHmenu()) {
        if (!menu.LoadMenu(nMenuId))
            return;
        if (CMenu* popup = menu.GetSubMenu(0))
            popup->CheckMenuRadioItem(nFirst, nLast, nChecked, MF_BYCOMMAND);
    }
    CRect rect;
    button.GetWindowRect(rect);
    if (CMenu* popup = menu.GetSubMenu(0))
        popup->TrackPopupMenu(TPM_LEFTALIGN, rect.left, rect.bottom, this);
}

void CDestPane::GetControlPos(int nRow, POINT* pt)
{
    CRect check = ChildRect(m_checkButton, *this);
    CRect menu = ChildRect(m_menuButton, *this);
    if (nRow == 0) {
        pt->x = menu.right + 6;
        pt->y = check.top;
    } else {
        // The rows below stay clear of the menu button, whose bold caption
        // may stand taller than 8 dialog units.
        pt->x = menu.left + 3;
        pt->y = check.top + std::max(DluToPixelsX(this, nRow * 8),
                                     static_cast<int>(menu.bottom - check.top) + DluToPixelsX(this, (nRow - 1) * 8));
    }
}

void CDestPane::SetCheckActive(BOOL bActive)
{
    m_checkButton.SetActive(bActive);
}

bool CDestPane::IsAvailable() const
{
    return !m_pDest || m_pDest->IsEnabled();
}

BOOL CDestPane::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (!IsAvailable())
        return FALSE;
    if (nID == static_cast<UINT>(GetDlgCtrlID()) && nCode == CN_COMMAND) {
        if (pHandlerInfo) {
            pHandlerInfo->pTarget = this;
            pHandlerInfo->pEntry = nullptr;
        } else {
            Toggle();
        }
        return TRUE;
    }
    if (CBitmapWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWnd* parent = GetParent();
    return parent ? parent->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo) : FALSE;
}

void CDestPane::Toggle()
{
    if (!IsAvailable())
        return;
    BOOL checked = m_checkButton.GetCheck();
    m_menuButton.SetActive(checked);
    if (checked)
        OnChecked();
    m_menuButton.Redraw();
    Show();
    if (checked || FindOwningPane(CWnd::GetFocus(), nullptr) != this)
        return;
    CWnd* destWnd = GetParent();
    CWnd* noteWnd = destWnd ? destWnd->GetOwner() : nullptr;
    if (noteWnd)
        noteWnd->SetFocus();
}

CDestPane* CDestPane::FindOwningPane(CWnd* pWnd, CWnd** ppChild)
{
    if (ppChild)
        *ppChild = nullptr;
    if (!pWnd || !pWnd->GetSafeHwnd())
        return nullptr;
    HWND below = pWnd->GetSafeHwnd();
    HWND up = ::GetWindow(below, GW_OWNER);
    if (!up)
        up = ::GetParent(below);
    for (; up; below = up, up = ::GetParent(up)) {
        if (CDestPane* pane = dynamic_cast<CDestPane*>(CWnd::FromHandlePermanent(up))) {
            if (ppChild)
                *ppChild = CWnd::FromHandle(below);
            return pane;
        }
    }
    return nullptr;
}

void CDestPane::ForwardToParent(UINT message, UINT nFlags, CPoint point)
{
    CWnd* parent = GetParent();
    if (!parent)
        return;
    ClientToScreen(&point);
    parent->ScreenToClient(&point);
    parent->SendMessage(message, nFlags, MAKELPARAM(point.x, point.y));
}

void CDestPane::OnLButtonDown(UINT nFlags, CPoint point)
{
    ForwardToParent(WM_LBUTTONDOWN, nFlags, point);
}

void CDestPane::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    ForwardToParent(WM_LBUTTONDBLCLK, nFlags, point);
}

CActionNote* CDestPane::GetActionNote()
{
    CWnd* destWnd = GetParent();
    CWnd* owner = destWnd ? destWnd->GetOwner() : nullptr;
    auto* noteWnd = owner ? dynamic_cast<CNoteWnd*>(CWnd::FromHandlePermanent(owner->GetSafeHwnd())) : nullptr;
    return noteWnd ? noteWnd->GetNote() : nullptr;
}
