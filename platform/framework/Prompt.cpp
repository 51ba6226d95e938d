#include "quifw/Prompt.h"

#include <commdlg.h>
#include <shlobj.h>

#include "quifw/WinApp.h"
#include "quifw/Wnd.h"

namespace {

CPromptHandler* g_pHandler = nullptr;

// A filter of "text|pattern|text|pattern|" pairs as the system wants it:
// zero-separated, ending in two zeros.
std::string SystemFilter(const CString& filter)
{
    std::string result(filter.GetString());
    for (char& c : result) {
        if (c == '|')
            c = '\0';
    }
    result.append(2, '\0');
    return result;
}

CPromptAnswer ShowFileDialog(const CPromptRequest& request)
{
    CPromptAnswer answer;
    char path[MAX_PATH] = "";
    lstrcpyn(path, request.fileName, MAX_PATH);
    std::string filter = SystemFilter(request.filter);
    OPENFILENAME ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400;
    ofn.hwndOwner = request.hWndOwner;
    ofn.lpstrFilter = request.filter.IsEmpty() ? nullptr : filter.c_str();
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = request.initialDir.IsEmpty() ? nullptr : request.initialDir.GetString();
    ofn.lpstrTitle = request.caption.IsEmpty() ? nullptr : request.caption.GetString();
    ofn.lpstrDefExt = request.defExt.IsEmpty() ? nullptr : request.defExt.GetString();
    // The program's item files resolve against the current folder.
    ofn.Flags = request.nType | OFN_NOCHANGEDIR;
    BOOL ok = request.kind == PromptKind::OpenFile ? ::GetOpenFileName(&ofn) : ::GetSaveFileName(&ofn);
    if (ok) {
        answer.nResult = IDOK;
        answer.path = path;
    }
    return answer;
}

CPromptAnswer ShowFolderBrowser(const CPromptRequest& request)
{
    CPromptAnswer answer;
    char display[MAX_PATH] = "";
    BROWSEINFOA info = {};
    info.hwndOwner = request.hWndOwner;
    info.pszDisplayName = display;
    info.lpszTitle = request.caption.GetString();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST pidl = ::SHBrowseForFolderA(&info);
    if (!pidl)
        return answer;
    char path[MAX_PATH] = "";
    if (::SHGetPathFromIDListA(pidl, path) && path[0]) {
        answer.nResult = IDOK;
        answer.path = path;
    }
    ::CoTaskMemFree(pidl);
    return answer;
}

CPromptAnswer ShowPrompt(const CPromptRequest& request)
{
    if (request.kind == PromptKind::Folder)
        return ShowFolderBrowser(request);
    if (request.kind != PromptKind::Message)
        return ShowFileDialog(request);
    CPromptAnswer answer;
    answer.nResult = ::MessageBox(request.hWndOwner, request.text, request.caption, request.nType);
    return answer;
}

// Gives the current folder back after a file or folder dialog, whatever it
// (or a hook of the system's) browsed to: the program's item files resolve
// against it.
class CKeepCurrentFolder {
public:
    explicit CKeepCurrentFolder(PromptKind kind)
    {
        if (kind == PromptKind::Message)
            return;
        DWORD length = ::GetCurrentDirectoryA(MAX_PATH, m_folder);
        m_bKept = length > 0 && length < MAX_PATH;
    }
    ~CKeepCurrentFolder()
    {
        if (m_bKept)
            ::SetCurrentDirectoryA(m_folder);
    }
    CKeepCurrentFolder(const CKeepCurrentFolder&) = delete;
    CKeepCurrentFolder& operator=(const CKeepCurrentFolder&) = delete;

private:
    char m_folder[MAX_PATH] = "";
    bool m_bKept = false;
};

HWND DefaultOwner()
{
    if (HWND hActive = ::GetActiveWindow())
        return hActive;
    CWnd* pMain = AfxGetMainWnd();
    return pMain ? pMain->m_hWnd : nullptr;
}

} // namespace

CPromptHandler* AfxSetPromptHandler(CPromptHandler* pHandler)
{
    CPromptHandler* pPrevious = g_pHandler;
    g_pHandler = pHandler;
    return pPrevious;
}

CPromptAnswer AfxPrompt(const CPromptRequest& request)
{
    CKeepCurrentFolder keep(request.kind);
    return g_pHandler ? g_pHandler->Respond(request) : ShowPrompt(request);
}

int AfxPromptMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    CPromptRequest request;
    request.kind = PromptKind::Message;
    request.hWndOwner = hWndOwner;
    request.text = lpszText;
    request.caption = lpszCaption ? lpszCaption : AfxGetAppName();
    request.nType = nType;
    return AfxPrompt(request).nResult;
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp)
{
    CPromptRequest request;
    request.kind = PromptKind::Message;
    request.hWndOwner = DefaultOwner();
    request.text = lpszText;
    request.caption = AfxGetAppName();
    request.nType = nType;
    request.nIDHelp = nIDHelp;
    return AfxPrompt(request).nResult;
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}

CPromptAnswer AfxBrowseForFolder(HWND hWndOwner, LPCTSTR lpszTitle)
{
    CPromptRequest request;
    request.kind = PromptKind::Folder;
    request.hWndOwner = hWndOwner;
    request.caption = lpszTitle ? lpszTitle : "";
    return AfxPrompt(request);
}

//--- CPromptScript

CPromptScript::CPromptScript() : m_pPrevious(AfxSetPromptHandler(this))
{
}

CPromptScript::~CPromptScript()
{
    AfxSetPromptHandler(m_pPrevious);
}

void CPromptScript::AnswerNext(int nResult)
{
    CPromptAnswer answer;
    answer.nResult = nResult;
    m_answers.push_back(answer);
}

void CPromptScript::AnswerNextFile(LPCTSTR lpszPath)
{
    CPromptAnswer answer;
    answer.nResult = IDOK;
    answer.path = lpszPath;
    m_answers.push_back(answer);
}

CPromptAnswer CPromptScript::Respond(const CPromptRequest& request)
{
    m_asked.push_back(request);
    if (m_answers.empty()) {
        ++m_nUnexpected;
        return CPromptAnswer();
    }
    CPromptAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

//--- the report of an uncaught framework exception

int CException::ReportError(UINT nType, UINT nMessageID)
{
    char text[1024] = "";
    if (GetErrorMessage(text, sizeof(text)) && text[0])
        return AfxMessageBox(text, nType);
    if (nMessageID)
        return AfxMessageBox(nMessageID, nType);
    return AfxMessageBox("No error message is available.", nType);
}
