#include "quifw/WinApp.h"

#include <exception>

#include "State.h"
#include "quifw/OleInit.h"
#include "quifw/Prompt.h"
#include "quifw/Wnd.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

namespace {

CWinApp* g_pApp = nullptr;
HINSTANCE g_hResource = nullptr;

CString ModuleFileName(HINSTANCE hModule)
{
    CString path;
    DWORD length = ::GetModuleFileName(hModule, path.GetBuffer(MAX_PATH), MAX_PATH + 1);
    path.ReleaseBuffer(static_cast<int>(length));
    return path;
}

} // namespace

HINSTANCE AfxGetModuleInstance()
{
    // Any address inside this module names it.
    static const char kAnchor = 0;
    static HINSTANCE hModule = [] {
        HMODULE h = nullptr;
        ::GetModuleHandleEx(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            &kAnchor, &h);
        return static_cast<HINSTANCE>(h);
    }();
    return hModule;
}

HINSTANCE AfxGetInstanceHandle() { return AfxGetModuleInstance(); }
HINSTANCE AfxGetResourceHandle() { return g_hResource ? g_hResource : AfxGetModuleInstance(); }
void AfxSetResourceHandle(HINSTANCE hResource) { g_hResource = hResource; }
CWinApp* AfxGetApp() { return g_pApp; }
CWnd* AfxGetMainWnd() { return g_pApp ? g_pApp->m_pMainWnd : nullptr; }
LPCTSTR AfxGetAppName() { return g_pApp ? g_pApp->GetAppName() : ""; }

BOOL AfxInitRichEdit()
{
    static HINSTANCE hRichEdit = ::LoadLibrary("riched20.dll");
    return hRichEdit != nullptr;
}

void AfxInitControls()
{
    static const BOOL done = [] {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES |
                                                     ICC_HOTKEY_CLASS | ICC_LISTVIEW_CLASSES};
        return ::InitCommonControlsEx(&icc);
    }();
    (void)done;
}

LPCTSTR AfxDefaultWndClass()
{
    static const char kName[] = "QuiFrameworkWnd";
    static const ATOM atom = [] {
        WNDCLASS wc = {};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = AfxWndProc;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kName;
        return ::RegisterClass(&wc);
    }();
    (void)atom;
    return kName;
}

//--- CCommandLineInfo

void CCommandLineInfo::ParseParam(LPCTSTR lpszParam, BOOL bFlag, BOOL)
{
    if (bFlag) {
        if (lstrcmpi(lpszParam, "Embedding") == 0)
            m_bRunEmbedded = TRUE;
        else if (lstrcmpi(lpszParam, "Automation") == 0)
            m_bRunAutomated = TRUE;
    } else if (m_strFileName.IsEmpty()) {
        m_strFileName = lpszParam;
    }
}

//--- CWinApp

CWinApp::CWinApp(LPCTSTR lpszAppName) : m_strAppName(lpszAppName)
{
    if (!g_pApp)
        g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL AfxWinInit(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return FALSE;
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    CString path = ModuleFileName(hInstance);
    if (pApp->m_strAppName.IsEmpty()) {
        CString title;
        int length = ::LoadString(hInstance, AFX_IDS_APP_TITLE, title.GetBuffer(255), 256);
        title.ReleaseBuffer(length);
        if (title.IsEmpty()) {
            title = path.Mid(path.ReverseFind('\\') + 1);
            int dot = title.ReverseFind('.');
            if (dot > 0)
                title = title.Left(dot);
        }
        pApp->m_strAppName = title;
    }
    if (pApp->m_strHelpFilePath.IsEmpty()) {
        int dot = path.ReverseFind('.');
        pApp->m_strHelpFilePath = (dot > path.ReverseFind('\\') ? path.Left(dot) : path) + ".hlp";
    }
    AfxInitControls();
    return TRUE;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp || !AfxWinInit(hInstance, lpCmdLine, nCmdShow))
        return -1;
    int nResult = -1;
    try {
        nResult = pApp->InitInstance() ? pApp->Run() : pApp->ExitInstance();
    } catch (...) {
        AfxReportUncaughtException();
    }
    pApp->m_bRunning = FALSE;
    if (pApp->m_pMainWnd)
        pApp->m_pMainWnd->DestroyWindow();
    AfxOleTerm();
    return nResult;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return m_nExitCode;
}

BOOL CWinApp::OnIdle(LONG)
{
    return FALSE;
}

BOOL CWinApp::PumpMessage()
{
    if (!::GetMessage(&m_msgCur, nullptr, 0, 0)) {
        m_nExitCode = static_cast<int>(m_msgCur.wParam);
        return FALSE;
    }
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessage(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinApp::IsIdleMessage(const MSG* pMsg)
{
    // Paints, the system's caret timer and a mouse resting in place come
    // without end; they must not keep restarting the idle work.
    if (pMsg->message == WM_PAINT || pMsg->message == 0x0118)
        return FALSE;
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        if (pMsg->pt.x == m_ptLastMouseMove.x && pMsg->pt.y == m_ptLastMouseMove.y)
            return FALSE;
        m_ptLastMouseMove = pMsg->pt;
    }
    return TRUE;
}

int CWinApp::Run()
{
    m_bRunning = TRUE;
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    MSG msg;
    for (;;) {
        // A failure in idle work or in a message's translation is told and
        // the loop goes on: it must not end the program, nor lose what the
        // user has open.
        BOOL bQuit = FALSE;
        try {
            while (bIdle && !::PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
                if (lIdleCount == 0)
                    AfxDeleteTempMaps();
                if (!OnIdle(lIdleCount++))
                    bIdle = FALSE;
            }
            do {
                if (!PumpMessage()) {
                    bQuit = TRUE;
                    break;
                }
                if (IsIdleMessage(&m_msgCur)) {
                    bIdle = TRUE;
                    lIdleCount = 0;
                }
            } while (::PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
        } catch (...) {
            AfxReportUncaughtException();
            bIdle = FALSE;
        }
        if (bQuit) {
            m_bRunning = FALSE;
            return ExitInstance();
        }
    }
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::WalkPreTranslateTree(pMsg))
        return TRUE;
    if (!m_pMainWnd || !m_pMainWnd->m_hWnd)
        return FALSE;
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        if (hWnd == m_pMainWnd->m_hWnd)
            return FALSE;                  // already asked on the way up
    }
    return m_pMainWnd->PreTranslateMessage(pMsg);
}

void CWinApp::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    HWND hWnd = m_pMainWnd ? m_pMainWnd->m_hWnd : ::GetActiveWindow();
    ::WinHelp(hWnd, m_strHelpFilePath, nCmd, dwData);
}

void CWinApp::OnHelp()
{
    HWND hActive = ::GetActiveWindow();
    DWORD dwContext = hActive ? ::GetWindowContextHelpId(hActive) : 0;
    if (m_pMainWnd)
        m_pMainWnd->WinHelp(dwContext, HELP_CONTEXT);
    else
        WinHelp(dwContext, HELP_CONTEXT);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info)
{
    for (int i = 1; i < __argc; ++i) {
        LPCTSTR param = __argv[i];
        BOOL bFlag = param[0] == '-' || param[0] == '/';
        info.ParseParam(bFlag ? param + 1 : param, bFlag, i == __argc - 1);
    }
    // Started by COM for a client: the program is not the user's, and the
    // application lock decides when it ends.
    if (info.m_bRunEmbedded || info.m_bRunAutomated)
        AfxOleSetUserCtrl(FALSE);
}

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey;
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString key;
    key.LoadString(nIDRegistryKey);
    SetRegistryKey(key);
}

HKEY CWinApp::OpenSectionKey(LPCTSTR lpszSection, BOOL bCreate)
{
    if (m_strRegistryKey.IsEmpty() || !lpszSection)
        return nullptr;
    CString path = "Software\\" + m_strRegistryKey + "\\" + m_strAppName + "\\" + lpszSection;
    HKEY hKey = nullptr;
    LONG status = bCreate ? ::RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, nullptr, 0,
                                             KEY_READ | KEY_WRITE, nullptr, &hKey, nullptr)
                          : ::RegOpenKeyEx(HKEY_CURRENT_USER, path, 0, KEY_READ, &hKey);
    return status == ERROR_SUCCESS ? hKey : nullptr;
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    HKEY hKey = OpenSectionKey(lpszSection, FALSE);
    if (!hKey)
        return static_cast<UINT>(nDefault);
    DWORD value = 0, type = 0, size = sizeof(value);
    LONG status = ::RegQueryValueEx(hKey, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(hKey);
    return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(value) ? value
                                                                                : static_cast<UINT>(nDefault);
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    HKEY hKey = OpenSectionKey(lpszSection, TRUE);
    if (!hKey)
        return FALSE;
    DWORD value = static_cast<DWORD>(nValue);
    LONG status = ::RegSetValueEx(hKey, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    ::RegCloseKey(hKey);
    return status == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    CString result(lpszDefault);
    HKEY hKey = OpenSectionKey(lpszSection, FALSE);
    if (!hKey)
        return result;
    DWORD type = 0, size = 0;
    if (::RegQueryValueEx(hKey, lpszEntry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        // The stored text need not end in a terminator; the buffer has room for one.
        CString value;
        LPTSTR buffer = value.GetBufferSetLength(static_cast<int>(size));
        if (::RegQueryValueEx(hKey, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS) {
            value.ReleaseBuffer(-1);
            result = value;
        }
    }
    ::RegCloseKey(hKey);
    return result;
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    HKEY hKey = OpenSectionKey(lpszSection, TRUE);
    if (!hKey)
        return FALSE;
    LONG status;
    if (lpszValue) {
        status = ::RegSetValueEx(hKey, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                                 static_cast<DWORD>(lstrlen(lpszValue) + 1));
    } else {
        status = ::RegDeleteValue(hKey, lpszEntry);
    }
    ::RegCloseKey(hKey);
    return status == ERROR_SUCCESS;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
}
