#include "QuillmateHelp.h"

#include <shellapi.h>

#include "FrameworkUtil.h"

namespace {
const UINT kIdsHelpFolder = 130;
const UINT kIdsNoPdfViewer = 57712;
const UINT kHtmlHelpContext = 15;   // HH_HELP_CONTEXT

HWND ActiveWindow()
{
    CWnd* pActive = CWnd::GetActiveWindow();
    return pActive ? pActive->GetSafeHwnd() : nullptr;
}

BOOL HasClassKey(LPCTSTR lpszClass)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyEx(HKEY_CLASSES_ROOT, lpszClass, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return FALSE;
    ::RegCloseKey(hKey);
    return TRUE;
}
} // namespace

CQuillmateHelp::CQuillmateHelp(LPCTSTR lpszControl) : m_strControl(lpszControl)
{
}

CQuillmateHelp::~CQuillmateHelp()
{
    if (m_hControl)
        AfxFreeLibrary(m_hControl);
}

CString CQuillmateHelp::HelpFolder()
{
    CString folder;
    folder.LoadString(kIdsHelpFolder);
    return GetModulePath(folder);
}

BOOL CQuillmateHelp::ShowHtmlHelp(DWORD_PTR dwData, UINT nCmd)
{
    if (!m_pfnHtmlHelp) {
        if (!m_hControl)
            m_hControl = AfxLoadLibrary(m_strControl);
        if (m_hControl)
            m_pfnHtmlHelp = reinterpret_cast<HtmlHelpProc>(::GetProcAddress(m_hControl, "HtmlHelpA"));
        if (!m_pfnHtmlHelp)
            return FALSE;
    }
    CWinApp* pApp = AfxGetApp();
    LPCTSTR lpszFile = pApp ? pApp->GetHelpFilePath() : "";
    UINT nHelpCmd = nCmd == static_cast<UINT>(-1) ? kHtmlHelpContext : nCmd;
    return m_pfnHtmlHelp(ActiveWindow(), lpszFile, nHelpCmd, dwData) != nullptr;
}

BOOL CQuillmateHelp::ShowHelp(DWORD nContextId, UINT)
{
    CString folder = HelpFolder();
    if (nContextId == kQuickStartContext) {
        if (HasClassKey(".pdf"))
            OpenDocument("Quick Start.pdf", folder);
        else
            AfxMessageBox(kIdsNoPdfViewer);
        return TRUE;
    }
    CString file = folder + "\\Quillmate.hlp";
    // The context arrives as a DWORD; a negative one asks for the contents too.
    if (static_cast<LONG>(nContextId) > 0)
        CallWinHelp(ActiveWindow(), file, HELP_CONTEXT, nContextId);
    else
        CallWinHelp(ActiveWindow(), file, HELP_FINDER, 0);
    return TRUE;
}

BOOL CQuillmateHelp::CallWinHelp(HWND hWnd, LPCTSTR lpszFile, UINT nCmd, ULONG_PTR dwData)
{
    return ::WinHelp(hWnd, lpszFile, nCmd, dwData);
}

void CQuillmateHelp::OpenDocument(LPCTSTR lpszFile, LPCTSTR lpszFolder)
{
    ::ShellExecute(nullptr, nullptr, lpszFile, nullptr, lpszFolder, SW_SHOWNORMAL);
}
