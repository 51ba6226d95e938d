#include "URLHandler.h"

#include <shellapi.h>

#include "BrowserDrivers.h"
#include "FileVersionInfo.h"
#include "QuiRegistry.h"
#include "QuotedArgument.h"

namespace {

DefaultBrowser* g_pSharedBrowser = nullptr;
LONG g_nHandlers = 0;
CBrowserSetting* g_pSetting = nullptr;
// A URL is being opened: the driver waits with messages pumped, and what is
// asked of the shared object meanwhile (a new choice, its end) waits for it.
BOOL g_bOpening = FALSE;
BOOL g_bChooseAgain = FALSE;
BOOL g_bQuitting = FALSE;

// The one record of the settings table that the driver choice needs.
class CBrowserRegistry : public QuiRegistry {
public:
    CBrowserRegistry()
    {
        static const QuiRegDefault kDefault = {"Preferences", "Browser", REG_DWORD, 4, browserDetectAndStore,
                                               nullptr};
        FillTable(&m_value, &kDefault, 1);
    }
    QuiRegValue* GetValueTable() override { return &m_value; }
    const char* GetSubKey() override { return "Client"; }
    int GetValueCount() override { return 1; }

private:
    QuiRegValue m_value;
};

class CRegistryBrowserSetting : public CBrowserSetting {
public:
    DWORD GetBrowser() override
    {
        CBrowserRegistry registry;
        return *static_cast<DWORD*>(registry.GetValue(0, true));
    }
    void StoreBrowser(DWORD dwValue) override
    {
        CBrowserRegistry registry;
        registry.SetValue(0, &dwValue);
    }
};

CBrowserSetting& Setting()
{
    static CRegistryBrowserSetting registrySetting;
    return g_pSetting ? *g_pSetting : registrySetting;
}

// The driver for the program that opens ".html" files: by the internal name
// of its version resource, or, without one, by "notes" in its path. A
// program it knows no driver for gets the URL on its command line.
BrowserInterface* DetectBrowser(const CString& path)
{
    CFileVersionInfo version(path);
    if (version.GetBlockSize() == 0)
        return strstr(path, "notes") ? static_cast<BrowserInterface*>(new NotesBrowser) : new BrowserInterface;
    char name[MAX_PATH] = "";
    version.GetStringValue("InternalName", name, sizeof name);
    CString internalName(name);
    internalName.MakeUpper();
    if (internalName.Find("NETSCAPE") >= 0)
        return new NetscapeBrowser;
    if (internalName.Find("IEXPLORE") >= 0)
        return new IEBrowser;
    return new BrowserInterface;
}

// What a driver answers when it handed the URL over: 1, or ShellExecute's
// result above 32 from the launch of the default program.
bool Opened(int result)
{
    return result == 1 || result > 32;
}

}  // namespace

//--- BrowserInterface

int BrowserInterface::IsConnected()
{
    return 1;
}

int BrowserInterface::OpenURL(LPCSTR lpszURL, BOOL bShow)
{
    CString program = QuiURLHandler::FindDefaultBrowser();
    if (program.IsEmpty())
        return 0;
    HINSTANCE result = ShellExecuteA(GetForegroundWindow(), "open", program, QuotedArgument(lpszURL), nullptr,
                                     bShow ? SW_SHOW : SW_HIDE);
    return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

int BrowserInterface::GetBrowserType()
{
    return browserDetect;
}

//--- DefaultBrowser

DefaultBrowser::DefaultBrowser()
{
    CreateBrowser();
}

DefaultBrowser::~DefaultBrowser()
{
    delete m_pBrowser;
}

BOOL DefaultBrowser::CreateBrowser()
{
    if (g_bOpening && this == g_pSharedBrowser) {
        g_bChooseAgain = TRUE;
        return TRUE;
    }
    DWORD setting = Setting().GetBrowser();
    if (setting == browserDetectAndStore || setting == browserDetect) {
        CString program = QuiURLHandler::FindDefaultBrowser();
        if (program.IsEmpty())
            return FALSE;
        delete m_pBrowser;
        m_pBrowser = DetectBrowser(program);
        // Later runs build the same driver without detecting it again.
        if (setting == browserDetectAndStore && m_pBrowser)
            Setting().StoreBrowser(static_cast<DWORD>(m_pBrowser->GetBrowserType()));
        return m_pBrowser != nullptr;
    }
    delete m_pBrowser;
    m_pBrowser = nullptr;
    switch (setting) {
    case browserNetscape: m_pBrowser = new NetscapeBrowser; break;
    case browserExplorer: m_pBrowser = new IEBrowser; break;
    case browserNeoplanet: m_pBrowser = new NeoplanetBrowser; break;
    default: break;
    }
    return m_pBrowser != nullptr;
}

int DefaultBrowser::GetBrowserType()
{
    if (!g_pSharedBrowser || !g_pSharedBrowser->m_pBrowser)
        return -1;
    return g_pSharedBrowser->m_pBrowser->GetBrowserType();
}

void DefaultBrowser::SetSetting(CBrowserSetting* pSetting)
{
    g_pSetting = pSetting;
}

//--- QuiURLHandler

QuiURLHandler::QuiURLHandler()
{
    if (!g_pSharedBrowser)
        g_pSharedBrowser = new DefaultBrowser;
    ++g_nHandlers;
}

QuiURLHandler::~QuiURLHandler()
{
    // The last handler gone while a URL is being opened: the shared object
    // goes once that returns.
    if (--g_nHandlers == 0 && !g_bOpening) {
        delete g_pSharedBrowser;
        g_pSharedBrowser = nullptr;
    }
}

int QuiURLHandler::OpenURL(LPCSTR lpszURL, BOOL bShow)
{
    if (!g_pSharedBrowser || g_bOpening || g_bQuitting)
        return 0;
    g_bOpening = TRUE;
    int opened = 0;
    bool failed = false;
    try {
        BrowserInterface* browser = g_pSharedBrowser->GetBrowser();
        opened = browser && Opened(browser->OpenURL(lpszURL, bShow)) ? 1 : 0;
    } catch (CException* e) {
        e->Delete();
        failed = true;
    } catch (...) {
        failed = true;
    }
    g_bOpening = FALSE;
    if (g_nHandlers == 0) {
        delete g_pSharedBrowser;
        g_pSharedBrowser = nullptr;
        g_bChooseAgain = FALSE;
    } else if (failed) {
        // A driver that failed this way may be in any state: choose afresh.
        delete g_pSharedBrowser;
        g_pSharedBrowser = nullptr;
        g_pSharedBrowser = new DefaultBrowser;
        g_bChooseAgain = FALSE;
    } else if (g_bChooseAgain) {
        g_bChooseAgain = FALSE;
        g_pSharedBrowser->CreateBrowser();
    }
    return opened;
}

void QuiURLHandler::SetQuitting(BOOL bQuitting)
{
    g_bQuitting = bQuitting;
}

BOOL QuiURLHandler::IsQuitting()
{
    return g_bQuitting;
}

int QuiURLHandler::IsConnected()
{
    if (!g_pSharedBrowser || !g_pSharedBrowser->GetBrowser())
        return 0;
    return g_pSharedBrowser->GetBrowser()->IsConnected();
}

CString QuiURLHandler::FindDefaultBrowser()
{
    char folder[MAX_PATH] = "";
    if (!GetTempPathA(MAX_PATH, folder))
        return CString();
    CString probe(folder);
    probe += "QuiBrowserProbe.html";
    HANDLE file = CreateFileA(probe, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    char program[MAX_PATH] = "";
    HINSTANCE found = FindExecutableA(probe, folder, program);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    DeleteFileA(probe);
    if (reinterpret_cast<INT_PTR>(found) <= 32)
        return CString();
    return program;
}

DefaultBrowser* QuiURLHandler::GetDefaultBrowser()
{
    return g_pSharedBrowser;
}
