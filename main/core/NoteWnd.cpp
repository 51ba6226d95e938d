#include "NoteWnd.h"

#include <algorithm>

#include <windowsx.h>

#include "ClientRegistry.h"
#include "CoreWndUtil.h"
#include "DestWnd.h"
#include "FrameworkUtil.h"
#include "OzuPrefs.h"
#include "QuiImage.h"
#include "QuiResIds.h"

namespace {

const char kClassName[] = "QUINOTEWND";
const COLORREF kPictureMask = PALETTERGB(0, 255, 0);
const int kPromptColour = 0xA0A0A0;
const int kListRows = 3;
const int kEditLineHeight = 20;

Quillmate::CImage& ActiveTitle()
{
    static Quillmate::CImage picture;
    return picture;
}

Quillmate::CImage& InactiveTitle()
{
    static Quillmate::CImage picture;
    return picture;
}

// The one edition picture of the process, loaded for the first id asked for.
Quillmate::CImage& EditionPicture()
{
    static Quillmate::CImage picture;
    return picture;
}

void LoadSharedPictures(int nEditionPicture)
{
    if (!ActiveTitle().IsLoaded())
        ActiveTitle().Load(IDB_NOTE_TITLE_ACTIVE, kPictureMask);
    if (!InactiveTitle().IsLoaded())
        InactiveTitle().Load(IDB_NOTE_TITLE_INACTIVE, kPictureMask);
    if (nEditionPicture && !EditionPicture().IsLoaded())
        EditionPicture().Load(nEditionPicture, kPictureMask);
}

CRect DefaultRect(int x, int y)
{
    LONG units = ::GetDialogBaseUnits();
    return CRect(x, y, x + 100 * LOWORD(units) / 4, y + 124 * HIWORD(units) / 8);
}

void Place(CWnd& wnd, int x, int y, int cx, int cy)
{
    wnd.SetWindowPos(nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceAt(CWnd& wnd, int x, int y)
{
    wnd.SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int WidthOf(CWnd& wnd)
{
    CRect rect;
    wnd.GetWindowRect(rect);
    return rect.Width();
}

ClientRegistry* Settings()
{
    CQuillmateApp* app = QuiGetApp();
    return app ? app->GetSettings() : nullptr;
}

DWORD SettingNumber(int index, DWORD fallback)
{
    ClientRegistry* settings = Settings();
    const DWORD* value = settings ? static_cast<const DWORD*>(settings->GetValue(index, false)) : nullptr;
    return value ? *value : fallback;
}

} // namespace

//--- the prompt overlay

BEGIN_MESSAGE_MAP(CNoteStatusWnd, CRichEditCtrl)
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
END_MESSAGE_MAP()

void CNoteStatusWnd::OnSize(UINT nType, int cx, int cy)
{
    CRichEditCtrl::OnSize(nType, cx, cy);
    CWnd* parent = GetParent();
    if (!parent)
        return;
    CRect client;
    parent->GetClientRect(client);
    int height = client.Height() - client.Height() / 10;
    // Sizing to the same size sends no further WM_SIZE.
    if (cx != client.Width() || cy != height)
        SetWindowPos(nullptr, 0, 0, client.Width(), height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
}

// A click on the prompt must not let the user type into it: the note box
// takes the focus.
void CNoteStatusWnd::OnSetFocus(CWnd*)
{
    if (CWnd* parent = GetParent())
        parent->SetFocus();
}

//--- the note window

BEGIN_MESSAGE_MAP(CNoteWnd, CBitmapWnd)
    ON_WM_CREATE()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOVING()
    ON_WM_MOVE()
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_SHOWWINDOW()
    ON_WM_GETMINMAXINFO()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDBLCLK()
    ON_COMMAND(ID_NOTE_CONTACTS, OnNewContact)
    ON_COMMAND(ID_NOTE_MORE_CONTACTS, OnMoreContacts)
    ON_COMMAND(ID_NOTE_ATTACH, OnAttachFile)
    ON_COMMAND(ID_NOTE_VIEWER, OnItemViewer)
    ON_COMMAND(ID_DEST_HELP, OnHelp)
    ON_COMMAND(ID_DEST_FILE, OnSaveNote)
    ON_COMMAND(ID_NOTE_FILE_OTHER, OnSaveNote)
    ON_COMMAND(ID_DEST_FILE_AND_SEND, OnSaveNote)
    ON_COMMAND(ID_DEST_CLOSE_NOTE, OnCloseNote)
    ON_WM_CLOSE()
    ON_MESSAGE(WM_SYSCOMMAND, OnSysCommand)
    ON_EN_CHANGE(IDC_NOTE_BOX, OnNoteChanged)
    ON_COMMAND(ID_NOTE_REMOVE, RemoveSelectedEntries)
    ON_NOTIFY(TBN_DROPDOWN, ID_NOTE_CONTACTS, OnContactsDropDown)
    ON_MESSAGE(WM_PARENTNOTIFY, OnParentNotify)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_NOTE_LIST, OnListItemChanged)
    ON_NOTIFY(NM_KILLFOCUS, IDC_NOTE_LIST, OnListKillFocus)
    ON_NOTIFY(LVN_KEYDOWN, IDC_NOTE_LIST, OnListKeyDown)
    ON_NOTIFY(LVN_DELETEITEM, IDC_NOTE_LIST, OnListDeleteItem)
    ON_WM_DESTROY()
    ON_WM_SETFOCUS()
    ON_WM_ACTIVATE()
    ON_WM_QUERYNEWPALETTE()
    ON_WM_PALETTECHANGED()
    ON_COMMAND(ID_NOTE_NEXT_TAB, OnNextTab)
    ON_COMMAND(ID_NOTE_PREVIOUS_TAB, OnPreviousTab)
    ON_COMMAND(ID_NOTE_TO_PANES, OnToPanes)
    ON_COMMAND(ID_NOTE_NEW_CONTACT, OnNewContact)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFFFFFF, OnToolTipText)
    ON_COMMAND_RANGE(ID_RECENT_CONTACT_FIRST, ID_RECENT_CONTACT_LAST, OnRecentContact)
    ON_COMMAND_RANGE(ID_NOTE_PANE_FIRST, ID_NOTE_PANE_LAST, OnTogglePane)
END_MESSAGE_MAP()

CNoteWnd::CNoteWnd(CActionNote* pNote) : m_pNote(pNote)
{
    if (m_pNote)
        m_pNote->SetNoteWnd(this);
}

CNoteWnd::~CNoteWnd()
{
    if (m_pDestWnd) {
        m_pDestWnd->DestroyWindow();
        delete m_pDestWnd;
    }
    // A note that deletes this window object directly keeps no stale link.
    if (m_pNote && m_pNote->GetNoteWnd() == this)
        m_pNote->SetNoteWnd(nullptr);
}

int CNoteWnd::GetTitleHeight()
{
    LoadSharedPictures(0);
    return ActiveTitle().GetHeight();
}

BOOL CNoteWnd::CreateAt(int x, int y)
{
    return CreateInRect(DefaultRect(x, y));
}

BOOL CNoteWnd::CreateInRect(const RECT& rect)
{
    HICON icon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(IDI_NOTE));
    if (!RegisterWndClass(kClassName, 0, nullptr, ::LoadCursor(nullptr, IDC_ARROW), icon))
        return FALSE;
    LoadSharedPictures(m_nEditionPicture);
    CString title;
    title.LoadString(IDS_NOTE_TITLE);
    return CreateEx(WS_EX_DLGMODALFRAME, kClassName, title, WS_POPUP | WS_SYSMENU, rect, nullptr, 0);
}

//--- creation

int CNoteWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CBitmapWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_hAccel = ::LoadAccelerators(AfxGetResourceHandle(), MAKEINTRESOURCE(GetAcceleratorId()));
    SetBitmap(IDB_DEST_BACKGROUND, AppPalette());
    // Without its destination window the note could be neither filed nor laid out.
    m_pDestWnd = CreateDestWnd();
    if (!m_pDestWnd || !m_pDestWnd->GetSafeHwnd())
        return -1;
    if (!CreateChildren())
        return -1;

    if (SettingNumber(ClientRegistry::ShowPromptText, 1)) {
        CString prompt;
        prompt.LoadString(IDS_NOTE_PROMPT);
        m_prompt.SetWindowText(prompt);
        m_prompt.SetSel(0, -1);
        CHARFORMAT format = {};
        format.cbSize = sizeof format;
        format.dwMask = CFM_BOLD | CFM_COLOR;
        format.dwEffects = CFE_BOLD;
        format.crTextColor = kPromptColour;
        m_prompt.SetSelectionCharFormat(format);
        m_prompt.SetSel(0, 0);
    }

    EnableToolTips(TRUE);
    if (HMENU menu = ::GetSystemMenu(m_hWnd, FALSE)) {
        ::DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
        ::DeleteMenu(menu, SC_MINIMIZE, MF_BYCOMMAND);
        ::DeleteMenu(menu, SC_RESTORE, MF_BYCOMMAND);
    }
    Layout();
    return 0;
}

BOOL CNoteWnd::CreateChildren()
{
    CQuillmateApp* app = QuiGetApp();
    CFont* small = app ? app->GetSmallFont() : nullptr;
    const CRect placeholder(0, 0, 100, 100);
    int buttonHeight = DluToPixelsX(this, 11) - 3;
    BOOL attach = app && app->IsFeature(2);

    for (CStatic& separator : m_separators) {
        if (!separator.Create("", WS_CHILD | SS_SUNKEN, placeholder, this))
            return FALSE;
    }
    struct Button {
        CFlatButton& button;
        UINT id;
        int style;
        BOOL shown;
    } buttons[] = {
        {m_viewerButton, ID_NOTE_VIEWER, 0, TRUE},
        {m_contactsButton, ID_NOTE_CONTACTS, CFlatButton::styleArrow, m_pNote && m_pNote->IsFeature1()},
        {m_attachButton, ID_NOTE_ATTACH, 0, attach},
        {m_helpButton, ID_DEST_HELP, 0, TRUE},
    };
    for (Button& b : buttons) {
        if (!b.button.Create(0, 0, b.id, CFlatButton::kindPush, this, 0, b.style, buttonHeight))
            return FALSE;
        if (small)
            b.button.SetFont(small);
        b.button.ShowWindow(b.shown ? SW_SHOW : SW_HIDE);
    }
    m_separators[2].ShowWindow(attach ? SW_SHOW : SW_HIDE);

    if (!m_noteBox.Create(placeholder, this, IDC_NOTE_BOX))
        return FALSE;
    m_noteBox.ShowWindow(SW_SHOW);
    if (!m_editLine.Create(WS_CHILD | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, placeholder, this, IDC_NOTE_EDIT_LINE))
        return FALSE;
    if (!m_prompt.Create(WS_CHILD | WS_VISIBLE | ES_CENTER | ES_MULTILINE, placeholder, &m_noteBox, IDC_NOTE_PROMPT))
        return FALSE;
    m_prompt.SetBackgroundColor(FALSE, 0xFFFFFF);
    m_prompt.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(ANSI_VAR_FONT)));

    m_imageList.Create(IDB_NOTE_LIST_IMAGES, 16, 1, kPictureMask);
    if (!m_list.Create(WS_CHILD | LVS_REPORT | LVS_NOCOLUMNHEADER, placeholder, this, IDC_NOTE_LIST))
        return FALSE;
    m_list.SetBkColor(PALETTERGB(255, 255, 255));
    m_list.SetTextBkColor(PALETTERGB(255, 255, 255));
    m_list.SetImageList(&m_imageList, LVSIL_SMALL);
    m_list.InsertColumn(0, "", LVCFMT_LEFT);
    m_contactsMenu.LoadMenu(ID_NOTE_CONTACTS);
    if (CMenu* popup = GetContactsPopup())
        popup->SetDefaultItem(ID_NOTE_NEW_CONTACT);

    if (!m_removeButton.Create(0, 0, ID_NOTE_REMOVE, CFlatButton::kindPush, this))
        return FALSE;
    m_removeButton.SetActive(FALSE);
    if (!m_closeButton.Create(0, 3, ID_DEST_CLOSE_NOTE, CFlatButton::kindPush, this))
        return FALSE;
    CRect client;
    GetClientRect(client);
    PlaceAt(m_closeButton, client.right - 3 - WidthOf(m_closeButton), 3);
    m_closeButton.ShowWindow(SW_SHOW);
    return TRUE;
}

//--- layout

void CNoteWnd::Layout()
{
    if (!m_noteBox.GetSafeHwnd())
        return;
    CRect client;
    GetClientRect(client);
    int h = DluToPixelsX(this, 11);
    LayoutButtonRow(client, h);

    CRect text(3, 24, client.Width() - 5, client.Height() - h - 5);
    text.bottom = LayoutList(client, text.bottom);
    CRect box = text;
    if (m_editLine.IsWindowVisible()) {
        Place(m_editLine, text.left, text.top, text.Width(), kEditLineHeight);
        box.top += kEditLineHeight + 5;
    }
    Place(m_noteBox, box.left, box.top, box.Width(), std::max(0, box.Height()));
    Place(m_prompt, 0, 0, box.Width(), std::max(0, box.Height()));

    InvalidateRect(m_rightGrip, FALSE);
    InvalidateRect(m_bottomGrip, FALSE);
    m_rightGrip.SetRect(text.right, text.top + 2, text.right + 2, text.bottom + 2);
    m_bottomGrip.SetRect(text.left + 2, text.bottom, text.right + 2, text.bottom + 2);
    InvalidateRect(m_rightGrip, FALSE);
    InvalidateRect(m_bottomGrip, FALSE);

    if (m_pDestWnd && m_pDestWnd->GetSafeHwnd()) {
        CRect window;
        GetWindowRect(window);
        PlaceAt(*m_pDestWnd, window.right, window.top);
    }
}

void CNoteWnd::LayoutButtonRow(const CRect& client, int h)
{
    int rowY = client.Height() - h + 3;
    Place(m_separators[0], 2, client.Height() - h, client.Width() - 2, 2);
    int viewer = WidthOf(m_viewerButton);
    CRect button = ChildRect(m_viewerButton, *this);
    PlaceAt(m_viewerButton, 3, rowY);
    Place(m_separators[1], viewer + 6, rowY, 2, button.Height());
    PlaceAt(m_contactsButton, viewer + 11, rowY);
    int attachX = viewer + 11 + (m_contactsButton.IsWindowVisible() ? WidthOf(m_contactsButton) : 0);
    PlaceAt(m_attachButton, attachX, rowY);
    Place(m_separators[2], attachX + WidthOf(m_attachButton) + 3, rowY, 2, button.Height());
    CRect close = ChildRect(m_closeButton, *this);
    PlaceAt(m_closeButton, client.right - 3 - close.Width(), close.top);
    PlaceAt(m_helpButton, client.right - 3 - WidthOf(m_helpButton), rowY);
}

int CNoteWnd::LayoutList(const CRect& client, int bottom)
{
    int count = m_list.GetItemCount();
    if (count == 0) {
        m_list.ShowWindow(SW_HIDE);
        m_removeButton.ShowWindow(SW_HIDE);
        return bottom;
    }
    CRect remove = ChildRect(m_removeButton, *this);
    CSize needed = m_list.ApproximateViewRect(CSize(-1, -1), std::min(count, kListRows));
    int height = std::max<int>(needed.cy, remove.Height());
    int top = bottom - height;
    int right = client.Width() - remove.Width() - 5;
    Place(m_list, 4, top, right - 4, height);
    m_list.SetColumnWidth(0, LVSCW_AUTOSIZE);
    PlaceAt(m_removeButton, client.right - 3 - remove.Width(), top);
    m_list.ShowWindow(SW_SHOW);
    m_removeButton.ShowWindow(SW_SHOW);
    return top - 5;
}

void CNoteWnd::FitToDestWnd()
{
    if (!m_pDestWnd || !m_pDestWnd->GetSafeHwnd())
        return;
    SIZE dest;
    m_pDestWnd->GetSize(&dest);
    CRect window;
    GetWindowRect(window);
    SetWindowPos(nullptr, 0, 0, window.Width(), dest.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CNoteWnd::ShowEditLine(BOOL bShow)
{
    m_editLine.ShowWindow(bShow ? SW_SHOW : SW_HIDE);
    Layout();
}

void CNoteWnd::ShowFilingText(BOOL bShow)
{
    if (m_pDestWnd && m_pDestWnd->GetSafeHwnd())
        m_pDestWnd->ShowStatusText(bShow);
}

//--- focus, activation, destruction

void CNoteWnd::OnSetFocus(CWnd*)
{
    if (m_noteBox.GetSafeHwnd())
        m_noteBox.SetFocus();
}

void CNoteWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CBitmapWnd::OnActivate(nState, pWndOther, bMinimized);
    CQuillmateApp* app = QuiGetApp();
    if (app && m_pNote)
        app->ActivateNote(m_pNote);
    RepaintTitle();
}

void CNoteWnd::OnDestroy()
{
    CBitmapWnd::OnDestroy();
    if (m_pDestWnd && m_pDestWnd->GetSafeHwnd())
        m_pDestWnd->DestroyWindow();
}

// The note goes to the note manager only after the window's last message:
// removing it deletes this object.
void CNoteWnd::PostNcDestroy()
{
    CQuillmateApp* app = QuiGetApp();
    if (app && m_pNote)
        app->CloseNote(m_pNote);
}

BOOL CNoteWnd::IsNoteActive() const
{
    return m_pNote && m_pNote->IsActive();
}

void CNoteWnd::RepaintTitle()
{
    if (!m_hWnd)
        return;
    CRect title(2, 2, 2 + ActiveTitle().GetWidth(), 2 + ActiveTitle().GetHeight());
    InvalidateRect(title, FALSE);
}

//--- painting and palette

void CNoteWnd::OnPaint()
{
    CPaintDC dc(this);
    HPALETTE palette = AppPalette();
    HPALETTE old = palette ? ::SelectPalette(dc.GetSafeHdc(), palette, FALSE) : nullptr;
    if (palette)
        ::RealizePalette(dc.GetSafeHdc());
    int x = 2;
    if (m_nEditionPicture && EditionPicture().IsLoaded()) {
        EditionPicture().Draw(&dc, 2, 2, FALSE);
        x = EditionPicture().GetWidth() + 6;
    }
    (IsNoteActive() ? ActiveTitle() : InactiveTitle()).Draw(&dc, x, 2, FALSE);
    HBRUSH grey = ::CreateSolidBrush(PALETTERGB(0x80, 0x80, 0x80));
    ::FillRect(dc.GetSafeHdc(), m_rightGrip, grey);
    ::FillRect(dc.GetSafeHdc(), m_bottomGrip, grey);
    ::DeleteObject(grey);
    if (old)
        ::SelectPalette(dc.GetSafeHdc(), old, FALSE);
}

void CNoteWnd::RealizePalette(BOOL bRepaint)
{
    HPALETTE palette = AppPalette();
    if (!palette)
        return;
    CClientDC dc(this);
    HPALETTE old = ::SelectPalette(dc.GetSafeHdc(), palette, FALSE);
    UINT changed = ::RealizePalette(dc.GetSafeHdc());
    ::SelectPalette(dc.GetSafeHdc(), old, FALSE);
    if (changed && bRepaint) {
        Invalidate();
        if (m_pDestWnd && m_pDestWnd->GetSafeHwnd())
            m_pDestWnd->Invalidate();
    }
}

BOOL CNoteWnd::OnQueryNewPalette()
{
    RealizePalette(TRUE);
    return TRUE;
}

void CNoteWnd::OnPaletteChanged(CWnd* pFocusWnd)
{
    if (pFocusWnd && pFocusWnd->GetSafeHwnd() == m_hWnd)
        return;
    RealizePalette(TRUE);
}

//--- moving and sizing

void CNoteWnd::HitGrips(CPoint point)
{
    UINT hit = m_rightGrip.PtInRect(point) ? HTRIGHT : m_bottomGrip.PtInRect(point) ? HTBOTTOM : HTCAPTION;
    CPoint screen = point;
    ClientToScreen(&screen);
    SendMessage(WM_NCLBUTTONDOWN, hit, MAKELPARAM(screen.x, screen.y));
}

void CNoteWnd::OnLButtonDown(UINT, CPoint point)
{
    HitGrips(point);
}

void CNoteWnd::OnLButtonDblClk(UINT, CPoint point)
{
    HitGrips(point);
    Default();
}

BOOL CNoteWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    LPCTSTR shape = m_rightGrip.PtInRect(point) ? IDC_SIZEWE : m_bottomGrip.PtInRect(point) ? IDC_SIZENS : nullptr;
    if (!shape)
        return CBitmapWnd::OnSetCursor(pWnd, nHitTest, message);
    ::SetCursor(::LoadCursor(nullptr, shape));
    return TRUE;
}

void CNoteWnd::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    if (m_pDestWnd && m_pDestWnd->GetSafeHwnd()) {
        SIZE size;
        m_pDestWnd->GetSize(&size);
        lpMMI->ptMinTrackSize = CPoint(size.cx, size.cy);
    } else {
        CRect rect = DefaultRect(0, 0);
        lpMMI->ptMinTrackSize = CPoint(rect.Width(), rect.Height());
    }
}

void CNoteWnd::OnMoving(UINT, LPRECT lpRect)
{
    // The outline covers the destination window too.
    if (!GetDragFullWindows())
        lpRect->right = lpRect->left + 2 * (lpRect->right - lpRect->left);
}

void CNoteWnd::OnMove(int, int)
{
    if (m_pDestWnd && m_pDestWnd->GetSafeHwnd()) {
        CRect window;
        GetWindowRect(window);
        PlaceAt(*m_pDestWnd, window.right, window.top);
    }
    StorePosition();
}

void CNoteWnd::OnSize(UINT nType, int cx, int cy)
{
    CBitmapWnd::OnSize(nType, cx, cy);
    StorePosition();
    Layout();
}

void CNoteWnd::StorePosition()
{
    ClientRegistry* settings = Settings();
    if (!settings || !IsWindowVisible())
        return;
    CRect window;
    GetWindowRect(window);
    RECT rect = window;
    settings->SetValue(ClientRegistry::Position, &rect);
}

void CNoteWnd::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CBitmapWnd::OnShowWindow(bShow, nStatus);
    if (m_pDestWnd && m_pDestWnd->GetSafeHwnd())
        m_pDestWnd->ShowWindow(bShow ? SW_SHOWNA : SW_HIDE);
}
