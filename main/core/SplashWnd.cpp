#include "SplashWnd.h"

#include "Datastore.h"
#include "FileVersionInfo.h"
#include "FrameworkUtil.h"
#include "QuillmateApp.h"

namespace {
const UINT kIdbSplash = 172;
const UINT kIdsVersion = 57702;
const UINT kIdsConnectors = 60056;
const UINT kIdsEdition = 60065;
const int kMargin = 3;
const int kButtonWidth = 75;

CString ProgramPath()
{
    char path[MAX_PATH] = "";
    ::GetModuleFileName(nullptr, path, MAX_PATH);
    return path;
}

CString EditionName()
{
    CString name;
    CQuillmateApp* pApp = QuiGetApp();
    CDatastore* pStore = pApp ? pApp->GetDatastore() : nullptr;
    if (pStore)
        pStore->GetTypeName(name);
    return name;
}

CFont* SmallFont()
{
    CQuillmateApp* pApp = QuiGetApp();
    return pApp ? pApp->GetSmallFont() : nullptr;
}

HPALETTE AppPalette()
{
    CQuillmateApp* pApp = QuiGetApp();
    return pApp ? static_cast<HPALETTE>(pApp->GetPalette()->GetSafeHandle()) : nullptr;
}

BOOL EndsAutomaticSplash(UINT message)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        return TRUE;
    default:
        return FALSE;
    }
}
} // namespace

CSplashWnd* CSplashWnd::s_pOpen = nullptr;
CSplashWnd::ConnectorInfoRunner CSplashWnd::s_pfnConnectorInfo = nullptr;

BEGIN_MESSAGE_MAP(CSplashWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnOK)
    ON_COMMAND(IDC_CONNECTORS, OnConnectors)
END_MESSAGE_MAP()

CSplashWnd* ShowSplash(CWnd* pParent, BOOL bManual)
{
    if (CSplashWnd* pOpen = CSplashWnd::s_pOpen) {
        pOpen->SetForegroundWindow();
        return pOpen;
    }
    CSplashWnd* pSplash = new CSplashWnd(bManual);
    if (!pSplash->Create(pParent)) {
        delete pSplash;
        return nullptr;
    }
    return pSplash;
}

CSplashWnd::~CSplashWnd()
{
    if (s_pOpen == this)
        s_pOpen = nullptr;
}

BOOL CSplashWnd::Create(CWnd* pParent)
{
    HBITMAP hBitmap = LoadResourceBitmap(AfxGetResourceHandle(), kIdbSplash, AppPalette(), nullptr);
    if (!hBitmap)
        return FALSE;
    m_bitmap.Attach(hBitmap);
    BITMAP info = {};
    m_bitmap.GetBitmap(&info);
    m_bitmapSize = CSize(info.bmWidth, info.bmHeight);

    if (!RegisterWndClass("QUISPLASHWND", 0, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)),
                          ::LoadCursor(nullptr, IDC_ARROW), nullptr))
        return FALSE;
    // The border is outside the client area, so the picture keeps its size.
    CRect frame(0, 0, m_bitmapSize.cx, m_bitmapSize.cy + kStripExtra);
    ::AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOOLWINDOW);
    s_pOpen = this;
    if (!CreateEx(WS_EX_TOOLWINDOW, "QUISPLASHWND", "", WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0,
                  frame.Width(), frame.Height(), pParent ? pParent->GetSafeHwnd() : nullptr, nullptr)) {
        s_pOpen = nullptr;
        return FALSE;
    }
    return TRUE;
}

int CSplashWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    CenterWindow();
    CFont* pFont = SmallFont();
    if (pFont)
        SetFont(pFont);
    m_strVersion = FormatVersionText(ProgramPath());
    m_strEdition = FormatEditionText(EditionName());

    CRect client;
    GetClientRect(&client);
    TEXTMETRIC metrics = {};
    {
        CClientDC dc(this);
        HGDIOBJ hOld = pFont ? dc.SelectObject(pFont) : nullptr;
        dc.GetTextMetrics(&metrics);
        if (hOld)
            dc.SelectObject(hOld);
    }
    m_rcStrip.SetRect(client.left + kMargin, client.bottom - kMargin - 2 * metrics.tmHeight,
                      client.right - kMargin, client.bottom - kMargin);
    if (m_bManual)
        CreateButtons(pFont);
    else
        SetTimer(kAutomaticTimer, kAutomaticMs);
    return 0;
}

void CSplashWnd::CreateButtons(CFont* pFont)
{
    CString caption;
    caption.LoadString(kIdsConnectors);
    CRect right(m_rcStrip.right - kButtonWidth, m_rcStrip.top, m_rcStrip.right, m_rcStrip.bottom);
    CRect left(m_rcStrip.left, m_rcStrip.top, m_rcStrip.left + kButtonWidth, m_rcStrip.bottom);
    m_okButton.Create("OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, right, this, IDOK);
    // The dialog itself belongs to the web side; without it there is nothing to offer.
    DWORD dwConnectors = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    if (!s_pfnConnectorInfo)
        dwConnectors |= WS_DISABLED;
    m_connectorsButton.Create(caption, dwConnectors, left, this, IDC_CONNECTORS);
    if (pFont) {
        m_okButton.SetFont(pFont);
        m_connectorsButton.SetFont(pFont);
    }
    m_okButton.SetFocus();
}

CString CSplashWnd::FormatVersionText(LPCTSTR lpszModulePath)
{
    CFileVersionInfo info(lpszModulePath);
    CString text;
    text.Format(kIdsVersion, info.GetFileVersion() ? info.GetFileVersion() : "unknown");
    return text;
}

CString CSplashWnd::FormatEditionText(LPCTSTR lpszEditionName)
{
    CString text;
    if (lpszEditionName && *lpszEditionName)
        text.Format(kIdsEdition, lpszEditionName);
    return text;
}

void CSplashWnd::OnPaint()
{
    CPaintDC dc(this);
    HPALETTE hPalette = AppPalette();
    HPALETTE hOldPalette = nullptr;
    if (hPalette) {
        hOldPalette = dc.SelectPalette(hPalette, FALSE);
        dc.RealizePalette();
    }
    CDC memory;
    if (memory.CreateCompatibleDC(&dc)) {
        HGDIOBJ hOld = memory.SelectObject(&m_bitmap);
        dc.BitBlt(0, 0, m_bitmapSize.cx, m_bitmapSize.cy, &memory, 0, 0, SRCCOPY);
        memory.SelectObject(hOld);
    }
    CFont* pFont = SmallFont();
    HGDIOBJ hOldFont = pFont ? dc.SelectObject(pFont) : nullptr;
    int nOldMode = dc.SetBkMode(TRANSPARENT);
    CString text = m_strVersion + "\n" + m_strEdition;
    CRect strip = m_rcStrip;
    dc.DrawText(text, &strip, DT_CENTER | DT_NOPREFIX);
    dc.SetBkMode(nOldMode);
    if (hOldFont)
        dc.SelectObject(hOldFont);
    if (hOldPalette)
        dc.SelectPalette(hOldPalette, FALSE);
}

// Escape arrives through the dialog keys as IDCANCEL and closes it too.
void CSplashWnd::OnOK()
{
    DestroyWindow();
}

void CSplashWnd::OnConnectors()
{
    if (!s_pfnConnectorInfo)
        return;
    // The window may be gone when the dialog returns (the program ending).
    HWND hWnd = m_hWnd;
    EnableWindow(FALSE);
    s_pfnConnectorInfo(this);
    if (::IsWindow(hWnd))
        ::EnableWindow(hWnd, TRUE);
}

void CSplashWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kAutomaticTimer)
        DestroyWindow();
}

void CSplashWnd::PostNcDestroy()
{
    delete this;
}

BOOL CSplashWnd::PreTranslateAppMessage(MSG* pMsg)
{
    CSplashWnd* pOpen = s_pOpen;
    if (!pOpen || !pOpen->GetSafeHwnd())
        return FALSE;
    if (!pOpen->m_bManual) {
        if (EndsAutomaticSplash(pMsg->message))
            pOpen->DestroyWindow();
        return FALSE;
    }
    return pOpen->IsDialogMessage(pMsg);
}
