#include "PrefPages.h"

#include "ClientRegistry.h"
#include "KestrelViewerDlg.h"
#include "OzuApp.h"
#include "OzuPrefs.h"
#include "OzuPropSheet.h"
#include "QuiInet.h"
#include "QuiResIds.h"
#include "URLHandler.h"

#include <cstdlib>

namespace {

const int kDefaultUpdateFreq = 3;
const int kMaxUpdateFreqDigits = 2;

struct KeyPath {
    HKEY root;
    const char* key;
};
const KeyPath kNetscapeKeys[] = {
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Netscape.exe"},
    {HKEY_CURRENT_USER, "SOFTWARE\\Netscape\\Netscape Navigator"},
};
const KeyPath kExplorerKeys[] = {
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE"},
    {HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Internet Explorer"},
};

template <size_t N>
bool AnyKeyOpens(const KeyPath (&keys)[N])
{
    for (const auto& entry : keys) {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(entry.root, entry.key, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            ::RegCloseKey(key);
            return true;
        }
    }
    return false;
}

// The update frequency as the registry holds it now; the updater may have
// changed it since the settings were loaded. `read` is what the last reading
// gave: only a changed value replaces what the page holds, so that a number
// typed before switching pages stays.
void RereadUpdateFreq(int& value, int& read)
{
    DWORD stored = 0;
    if (!QuiRegistry::QueryValue(HKEY_CURRENT_USER, "Software\\Quillmate\\Client", "PintailFreq", &stored,
                                 sizeof stored))
        return;
    if (static_cast<int>(stored) != read)
        value = static_cast<int>(stored);
    read = static_cast<int>(stored);
}

void ShowInformation(HWND hWndOwner, UINT nIDPrompt)
{
    CString text;
    text.LoadString(nIDPrompt);
    AfxPromptMessageBox(hWndOwner, text, nullptr, MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}

bool g_bProxyDialogUp = false;

} // namespace

void QuiShowProxySettings(HWND hWndOwner, LPCTSTR lpszSystemInet, LPCTSTR lpszShrike)
{
    if (g_bProxyDialogUp)
        return;
    if (HMODULE hSystem = ::LoadLibraryA(lpszSystemInet)) {
        ::FreeLibrary(hSystem);
        ShowInformation(hWndOwner, IDS_PREFS_SYSTEM_PROXY);
        return;
    }
    HMODULE hShrike = ::LoadLibraryA(lpszShrike);
    auto pfnShow = hShrike ? reinterpret_cast<QUIINETShowProxyDlgProc>(::GetProcAddress(hShrike, "QUIINETShowProxyDlg"))
                           : nullptr;
    if (pfnShow) {
        // A second dialog over the first would free the library under it.
        g_bProxyDialogUp = true;
        pfnShow(hWndOwner ? hWndOwner : ::GetDesktopWindow());
        g_bProxyDialogUp = false;
    } else {
        ShowInformation(hWndOwner, IDS_PREFS_NO_PROXY_LIB);
    }
    if (hShrike)
        ::FreeLibrary(hShrike);
}

BEGIN_MESSAGE_MAP(CPropPageAdvanced, CPrefPage)
    ON_BN_CLICKED(IDC_PREFS_NETSCAPE, OnBrowserSwitched)
    ON_BN_CLICKED(IDC_PREFS_EXPLORER, OnBrowserSwitched)
    ON_BN_CLICKED(IDC_PREFS_UPDATE_CHECK, OnUpdateCheck)
    ON_BN_CLICKED(IDC_PREFS_PROXY, OnProxy)
    ON_BN_CLICKED(IDC_PREFS_ITEM_VIEWER, OnItemViewer)
    ON_BN_CLICKED(IDC_PREFS_CONNECTORS, OnConnectors)
END_MESSAGE_MAP()

CPropPageAdvanced::ConnectorDlgRunner CPropPageAdvanced::s_pfnConnectorDlg = nullptr;

CPropPageAdvanced::CPropPageAdvanced() : CPrefPage(IDD_PREFS_ADVANCED, IDH_PREFS_ADVANCED) {}

void CPropPageAdvanced::LoadFrom(const COzuPrefs& prefs)
{
    m_nWaitTimeout = static_cast<int>(prefs.m_dwConnectorWaitTimeout);
    m_nBrowser = static_cast<int>(prefs.m_dwBrowser);
    m_nUpdateFreq = static_cast<int>(prefs.m_nUpdateFreq);
    m_nReadUpdateFreq = m_nUpdateFreq;
}

void CPropPageAdvanced::StoreTo(COzuPrefs& prefs) const
{
    prefs.m_dwConnectorWaitTimeout = static_cast<DWORD>(m_nWaitTimeout);
    prefs.m_dwBrowser = static_cast<DWORD>(m_nBrowser);
    prefs.m_nUpdateFreq = m_nUpdateFreq;
}

BOOL CPropPageAdvanced::OnInitDialog()
{
    // Not chosen yet: the browser the web actions use now, if any.
    if (m_nBrowser == browserDetectAndStore) {
        int shared = DefaultBrowser::GetBrowserType();
        m_nBrowser = shared == -1 ? browserDetect : shared;
    }
    SendDlgItemMessage(IDC_PREFS_UPDATE_FREQ, EM_LIMITTEXT, kMaxUpdateFreqDigits);
    CPrefPage::OnInitDialog();

    GetDlgItem(IDC_PREFS_NETSCAPE)->EnableWindow(m_nBrowser == browserNetscape || AnyKeyOpens(kNetscapeKeys));
    GetDlgItem(IDC_PREFS_EXPLORER)->EnableWindow(m_nBrowser == browserExplorer || AnyKeyOpens(kExplorerKeys));
    CheckRadioButton(IDC_PREFS_NETSCAPE, IDC_PREFS_EXPLORER,
                     m_nBrowser == browserNetscape ? IDC_PREFS_NETSCAPE : IDC_PREFS_EXPLORER);
    // Without the web side's dialog the button would do nothing.
    GetDlgItem(IDC_PREFS_CONNECTORS)->EnableWindow(s_pfnConnectorDlg != nullptr);
    m_bMarkModified = TRUE;
    return TRUE;
}

BOOL CPropPageAdvanced::OnSetActive()
{
    // The sheet resets its Apply button after making the page it opens on,
    // so the page marks itself once it is shown.
    if (m_bMarkModified) {
        m_bMarkModified = FALSE;
        SetModified(TRUE);
    }
    return CPrefPage::OnSetActive();
}

void CPropPageAdvanced::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_PREFS_WAIT_TIMEOUT, m_nWaitTimeout);
    if (!pDX->m_bSaveAndValidate) {
        // Each showing looks at the registry: the updater may have changed
        // the frequency since.
        RereadUpdateFreq(m_nUpdateFreq, m_nReadUpdateFreq);
        ShowUpdateFrequency();
        return;
    }
    m_nBrowser = IsDlgButtonChecked(IDC_PREFS_NETSCAPE) == BST_CHECKED ? browserNetscape : browserExplorer;
    CString text;
    GetDlgItemText(IDC_PREFS_UPDATE_FREQ, text);
    int freq = 0;
    if (!text.IsEmpty())
        DDX_Text(pDX, IDC_PREFS_UPDATE_FREQ, freq);
    // A switched-off check keeps its number, negated.
    if (IsDlgButtonChecked(IDC_PREFS_UPDATE_CHECK) != BST_CHECKED && freq > 0)
        freq = -freq;
    m_nUpdateFreq = freq;
}

void CPropPageAdvanced::ShowUpdateFrequency()
{
    BOOL bOn = m_nUpdateFreq >= 1;
    CheckDlgButton(IDC_PREFS_UPDATE_CHECK, bOn ? BST_CHECKED : BST_UNCHECKED);
    CString text;
    text.Format("%d", std::abs(m_nUpdateFreq));
    SetDlgItemText(IDC_PREFS_UPDATE_FREQ, text);
    EnableUpdateFrequency(bOn);
}

void CPropPageAdvanced::EnableUpdateFrequency(BOOL bEnable)
{
    for (int id : {IDC_PREFS_UPDATE_FREQ, IDC_PREFS_UPDATE_LABEL, IDC_PREFS_UPDATE_DAYS}) {
        if (CWnd* pControl = GetDlgItem(id))
            pControl->EnableWindow(bEnable);
    }
}

void CPropPageAdvanced::OnBrowserSwitched()
{
    SetModified(TRUE);
}

void CPropPageAdvanced::OnUpdateCheck()
{
    BOOL bOn = IsDlgButtonChecked(IDC_PREFS_UPDATE_CHECK) == BST_CHECKED;
    EnableUpdateFrequency(bOn);
    CString text;
    GetDlgItemText(IDC_PREFS_UPDATE_FREQ, text);
    if (bOn && text.IsEmpty()) {
        text.Format("%d", kDefaultUpdateFreq);
        SetDlgItemText(IDC_PREFS_UPDATE_FREQ, text);
    }
}

void CPropPageAdvanced::OnProxy()
{
    COzuPropSheet::CModalScope scope(this);
    CWnd* pOwner = scope.GetOwner();
    QuiShowProxySettings(pOwner ? pOwner->m_hWnd : m_hWnd);
}

void CPropPageAdvanced::OnItemViewer()
{
    QuiOpenKestrelViewer(TRUE);
}

void CPropPageAdvanced::OnConnectors()
{
    COzuPropSheet::CModalScope scope(this);
    if (!s_pfnConnectorDlg || !s_pfnConnectorDlg(scope.GetOwner() ? scope.GetOwner() : this))
        return;
    // The reload is the program's, not the sheet's: it runs even when the
    // sheet went meanwhile.
    if (COzuApp* app = QuiGetOzuApp())
        app->ReloadDatastore(0, FALSE);
}
