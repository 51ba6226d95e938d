#include "BrowserDrivers.h"

#include <shellapi.h>

#include "DDEClient.h"
#include "QuiRegistry.h"

const char NETSCAPE_ONLINE_HOST[] = "www.example.com";

namespace {

enum { netscapeDispidOpen = 9, ddeFlagBackground = 4, ddeNewWindow = 0 };

DWORD s_dwReadMs = 30000;

}  // namespace

//--- the shared DDE pattern

DDEBrowser::~DDEBrowser()
{
    delete m_pDDE;
    m_pDDE = nullptr;
    if (m_nDDEState != ddeNotTried)
        DDEEndInstance();
}

void DDEBrowser::SetReadTime(DWORD dwMs)
{
    s_dwReadMs = dwMs;
}

void DDEBrowser::StartDDE()
{
    if (m_nDDEState != ddeNotTried)
        return;
    if (!DDEStartInstance()) {
        m_nDDEState = ddeFailed;
        return;
    }
    Prepare();
    m_nDDEState = m_pDDE ? ddeReady : ddeFailed;
}

int DDEBrowser::OpenURL(LPCSTR lpszURL, BOOL bShow)
{
    StartDDE();
    if (m_nDDEState != ddeReady)
        return 0;
    if (!m_pDDE)
        return BrowserInterface::OpenURL(lpszURL, bShow);
    if (!IsReady())
        return 0;
    DWORD* windows = nullptr;
    int count = m_pDDE->ListWindows(&windows);
    DWORD target = count > 0 ? windows[count - 1] : static_cast<DWORD>(DDE_NO_WINDOW);
    // The browser tells nothing of reading a page: one handed over a moment
    // ago may still be loading, and a URL in its window would replace it.
    if (m_dwLastOpen && GetTickCount() - m_dwLastOpen < s_dwReadMs)
        target = ddeNewWindow;
    const int taken = m_pDDE->OpenURL(lpszURL, "", target, bShow ? 0 : ddeFlagBackground, "", "", "");
    if (taken)
        m_dwLastOpen = GetTickCount() | 1;
    if (bShow)
        m_pDDE->Activate(DDE_NO_WINDOW, 0);
    delete[] windows;
    // Only a browser that answered has the URL.
    return taken;
}

//--- Netscape

void NetscapeBrowser::Prepare()
{
    if (!m_network.m_lpDispatch)
        m_network.CreateDispatch("Netscape.Network.1");
    // Preparation runs again while the network object is missing; one DDE object serves.
    if (!m_pDDE)
        m_pDDE = new CDDEObject(0);
}

BOOL NetscapeBrowser::IsReady()
{
    if (m_nDDEState != ddeReady || !m_pDDE)
        return FALSE;
    m_pDDE->GetVersion();
    if (!m_network.m_lpDispatch) {
        Prepare();
        return FALSE;
    }
    return TRUE;
}

int NetscapeBrowser::IsConnected()
{
    if (!m_network.m_lpDispatch && !m_network.CreateDispatch("Netscape.Network.1"))
        return 0;
    BOOL opened = FALSE;
    static const BYTE params[] = VTS_BSTR VTS_I2 VTS_BSTR VTS_I4 VTS_BSTR;
    // A network object that fails the call counts as no connection.
    try {
        m_network.InvokeHelper(netscapeDispidOpen, DISPATCH_METHOD, VT_BOOL, &opened, params, NETSCAPE_ONLINE_HOST,
                               static_cast<short>(0), "", 0L, "");
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
    return opened ? 1 : 0;
}

//--- Neoplanet

void NeoplanetBrowser::Prepare()
{
    if (LaunchNeoplanet() == 1)
        m_pDDE = new CDDEObject(serviceNameId, objectNameId);
}

BOOL NeoplanetBrowser::IsReady()
{
    return m_nDDEState == ddeReady && m_pDDE;
}

int NeoplanetBrowser::LaunchNeoplanet()
{
    char command[MAX_PATH] = "";
    if (!QuiRegistry::QueryText(HKEY_CLASSES_ROOT, "Neo20\\shell\\open\\command", "", command, sizeof command))
        return 0;
    CString program(command);
    CString upper(program);
    upper.MakeUpper();
    int exe = upper.Find(".EXE");
    // Without a program in it the command starts nothing.
    if (exe < 0)
        return 0;
    program = program.Left(exe + 4);
    // A path with blanks is registered in quotes; the program is what stands inside them.
    if (program[0] == '"')
        program = program.Mid(1);
    INT_PTR result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", program, nullptr, nullptr, SW_HIDE));
    return result < 33 ? static_cast<int>(result) : 1;
}
