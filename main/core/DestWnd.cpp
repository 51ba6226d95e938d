#include "DestWnd.h"

#include <algorithm>
#include <vector>

#include "CoreWndUtil.h"
#include "DestPane.h"
#include "FrameworkUtil.h"
#include "NoteWnd.h"
#include "QuiResIds.h"

namespace {

const char kClassName[] = "QUIDESTWND";

CDestPane* PaneOf(HWND hWnd)
{
    return hWnd ? dynamic_cast<CDestPane*>(CWnd::FromHandlePermanent(hWnd)) : nullptr;
}

// The next tab stop among parent's children after `from` in the direction,
// null where the search would wrap round to the other end.
HWND NextTabStop(HWND parent, HWND from, BOOL backward)
{
    HWND found = FindTabStop(parent, from, backward);
    if (!from || !found)
        return found;
    UINT step = backward ? GW_HWNDPREV : GW_HWNDNEXT;
    for (HWND w = ::GetWindow(from, step); w; w = ::GetWindow(w, step)) {
        if (w == found)
            return found;
    }
    return nullptr;
}

// The child of parent that is or holds hWnd; null for a window outside it.
HWND DirectChild(HWND parent, HWND hWnd)
{
    while (hWnd && ::GetParent(hWnd) != parent)
        hWnd = ::GetParent(hWnd);
    return hWnd;
}

void MoveBy(CWnd& child, CWnd& parent, int dx)
{
    if (!child.GetSafeHwnd())
        return;
    CRect rect = ChildRect(child, parent);
    child.SetWindowPos(nullptr, rect.left + dx, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WidenBy(CWnd& child, CWnd& parent, int dx)
{
    if (!child.GetSafeHwnd())
        return;
    CRect rect = ChildRect(child, parent);
    child.SetWindowPos(nullptr, 0, 0, rect.Width() + dx, rect.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MoveToY(CWnd& child, CWnd& parent, int y)
{
    CRect rect = ChildRect(child, parent);
    child.SetWindowPos(nullptr, rect.left, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

BEGIN_MESSAGE_MAP(CDestWnd, CBitmapWnd)
    ON_WM_CREATE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_ACTIVATE()
    ON_MESSAGE(WM_SYSCOMMAND, OnSysCommand)
END_MESSAGE_MAP()

CDestWnd::CDestWnd()
{
    m_font.CreatePointFont(85, "Arial");
}

UINT CDestWnd::FileCommand()
{
    CQuillmateApp* app = QuiGetApp();
    return app && app->IsFeature(9) ? ID_DEST_FILE_AND_SEND : ID_DEST_FILE;
}

BOOL CDestWnd::Create(CWnd* pNoteWnd)
{
    LONG units = ::GetDialogBaseUnits();
    int cx = 100 * LOWORD(units) / 4;
    int cy = 124 * HIWORD(units) / 8;
    CRect note(0, 0, 0, 0);
    if (pNoteWnd)
        pNoteWnd->GetWindowRect(note);
    if (!RegisterWndClass(kClassName, 0, nullptr, ::LoadCursor(nullptr, IDC_ARROW), nullptr))
        return FALSE;
    SetBitmap(IDB_DEST_BACKGROUND, AppPalette());
    SetBkColor(PALETTERGB(255, 255, 255));
    return CreateEx(WS_EX_DLGMODALFRAME, kClassName, "", WS_POPUP,
                    CRect(note.right, note.top, note.right + cx, note.top + cy), pNoteWnd, 0);
}

LRESULT CDestWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (m_keptFont.Handle(message, wParam, &result))
        return result;
    return CBitmapWnd::WindowProc(message, wParam, lParam);
}

int CDestWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CBitmapWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    CQuillmateApp* app = QuiGetApp();
    CFont* small = app ? app->GetSmallFont() : nullptr;
    if (small)
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(small->GetSafeHandle()));
    CRect client;
    GetClientRect(client);
    int h = DluToPixelsX(this, 11);
    int rowY = client.bottom - h + 3;
    int buttonHeight = h - 3;

    CString text;
    text.LoadString(app && app->IsFeature(9) ? IDS_DEST_LABEL_WEB : IDS_DEST_LABEL);
    if (!m_label.Create(text, WS_CHILD | SS_SIMPLE, CRect(3, 3, client.right, 5), this))
        return -1;
    m_label.SetFont(&m_font);
    if (!m_separator.Create("", WS_CHILD | SS_SUNKEN,
                            CRect(2, client.bottom - h, client.right, client.bottom - h + 2), this))
        return -1;

    if (!m_helpButton.Create(3, rowY, ID_DEST_HELP, CFlatButton::kindPush, this, 0, 0, buttonHeight))
        return -1;
    if (!m_fileButton.Create(3, rowY, FileCommand(), CFlatButton::kindPush, this, 0, 0, buttonHeight))
        return -1;
    if (small)
        m_fileButton.SetFont(small);
    CRect file = ChildRect(m_fileButton, *this);
    m_fileButton.SetWindowPos(nullptr, client.right - 3 - file.Width(), rowY, 0, 0,
                              SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_fileButton.ShowWindow(SW_SHOW);

    text.LoadString(IDS_DEST_FILING);
    CRect help = ChildRect(m_helpButton, *this);
    file = ChildRect(m_fileButton, *this);
    int statusHeight = DluToPixelsX(this, 8);
    int statusTop = rowY + (buttonHeight - statusHeight) / 2;
    if (!m_status.Create(text, WS_CHILD | SS_CENTER,
                         CRect(help.right + 3, statusTop, file.left - 3, statusTop + statusHeight), this))
        return -1;
    if (small)
        m_status.SetFont(small);

    if (!m_closeButton.Create(3, 3, ID_DEST_CLOSE_NOTE, CFlatButton::kindPush, this))
        return -1;
    CRect close = ChildRect(m_closeButton, *this);
    m_closeButton.SetWindowPos(nullptr, client.right - 3 - close.Width(), 3, 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EnableToolTips(TRUE);
    return 0;
}

void CDestWnd::FitWidthToPanes()
{
    CRect client;
    GetClientRect(client);
    std::vector<CDestPane*> panes;
    int needed = client.Width();
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (CDestPane* pane = PaneOf(child)) {
            panes.push_back(pane);
            needed = std::max(needed, pane->GetNeededWidth());
        }
    }
    const int dx = needed - client.Width();
    if (dx <= 0)
        return;
    CRect window;
    GetWindowRect(window);
    SetWindowPos(nullptr, 0, 0, window.Width() + dx, window.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (CDestPane* pane : panes)
        WidenBy(*pane, *this, dx);
    for (CWnd* child : {static_cast<CWnd*>(&m_label), static_cast<CWnd*>(&m_separator), static_cast<CWnd*>(&m_status)})
        WidenBy(*child, *this, dx);
    MoveBy(m_fileButton, *this, dx);
    MoveBy(m_closeButton, *this, dx);
}

void CDestWnd::SetTop(int y)
{
    // The panes are all there now: the window takes the width their texts need.
    FitWidthToPanes();
    MoveToY(m_separator, *this, y - 1);
    MoveToY(m_fileButton, *this, y - 1);
    MoveToY(m_status, *this, y + 1);
    CRect window;
    GetWindowRect(window);
    SetWindowPos(nullptr, 0, 0, window.Width(), ChildRect(m_fileButton, *this).bottom + 6,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_bLaidOut = TRUE;
}

void CDestWnd::GetSize(SIZE* pSize)
{
    CRect window;
    GetWindowRect(window);
    pSize->cx = window.Width();
    pSize->cy = window.Height();
}

CDestPane* CDestWnd::FindPane(int nID)
{
    return PaneOf(::GetDlgItem(m_hWnd, nID));
}

void CDestWnd::ShowStatusText(BOOL bShow)
{
    m_fileButton.SetPressed(FALSE);
    m_status.ShowWindow(bShow ? SW_SHOW : SW_HIDE);
    m_status.RedrawWindow();
}

CWnd* CDestWnd::NextTabItem(CWnd* pCurrent, BOOL bPrevious, BOOL bEnterPanes)
{
    HWND current = DirectChild(m_hWnd, pCurrent ? pCurrent->GetSafeHwnd() : nullptr);
    HWND candidate = bEnterPanes && PaneOf(current) ? current : NextTabStop(m_hWnd, current, bPrevious);
    HWND inner = nullptr;
    while (PaneOf(candidate)) {
        inner = FindTabStop(candidate, nullptr, bPrevious);
        if (inner)
            break;
        candidate = NextTabStop(m_hWnd, candidate, bPrevious);
    }
    HWND result = bEnterPanes && inner ? inner : candidate;
    return result ? CWnd::FromHandle(result) : nullptr;
}

BOOL CDestWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CBitmapWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWnd* parent = GetParent();
    return parent ? parent->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo) : FALSE;
}

void CDestWnd::DragNoteWnd(CPoint point)
{
    CWnd* note = GetOwner();
    if (!note)
        return;
    // The note window's move loop starts from a screen point.
    ClientToScreen(&point);
    note->SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}

void CDestWnd::OnLButtonDown(UINT, CPoint point)
{
    DragNoteWnd(point);
}

void CDestWnd::OnLButtonDblClk(UINT, CPoint point)
{
    DragNoteWnd(point);
    Default();
}

LRESULT CDestWnd::OnSysCommand(WPARAM wParam, LPARAM lParam)
{
    CWnd* owner = GetOwner();
    if ((wParam & 0xFFF0) == SC_CLOSE && owner && owner->GetSafeHwnd())
        return owner->SendMessage(WM_SYSCOMMAND, wParam, lParam);
    return Default();
}

// The note window's title shows whether the note is active.
void CDestWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CBitmapWnd::OnActivate(nState, pWndOther, bMinimized);
    CWnd* owner = GetOwner();
    auto* noteWnd = owner ? dynamic_cast<CNoteWnd*>(CWnd::FromHandlePermanent(owner->GetSafeHwnd())) : nullptr;
    if (noteWnd)
        noteWnd->RepaintTitle();
}
