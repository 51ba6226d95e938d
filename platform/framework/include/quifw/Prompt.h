// The one road of every modal prompt (message boxes, file and folder dialogs): in normal
// runs it shows the real one; a test installs a CPromptScript that answers
// from a script and records what was asked.
#pragma once

#include <deque>
#include <vector>

#include "String.h"

enum class PromptKind { Message, OpenFile, SaveFile, Folder };

struct CPromptRequest {
    PromptKind kind = PromptKind::Message;
    HWND hWndOwner = nullptr;
    CString text;          // message text
    CString caption;       // message caption, file dialog title or folder browser title
    UINT nType = 0;        // MB_ flags of a message, OFN_ flags of a file dialog
    UINT nIDHelp = 0;      // help context of a message
    CString filter;        // file dialogs: pairs separated by '|'
    CString fileName;      // file dialogs: initial file name
    CString initialDir;
    CString defExt;
};

struct CPromptAnswer {
    int nResult = IDCANCEL;    // IDOK, IDYES, ...; file dialogs IDOK or IDCANCEL
    CString path;              // the chosen file's or folder's full path on IDOK
};

class CPromptHandler {
public:
    virtual ~CPromptHandler() = default;
    virtual CPromptAnswer Respond(const CPromptRequest& request) = 0;
};

// Null restores the real prompts; returns the handler that was installed.
CPromptHandler* AfxSetPromptHandler(CPromptHandler* pHandler);
// A file or folder dialog, real or answered, leaves the process's current
// folder as it found it.
CPromptAnswer AfxPrompt(const CPromptRequest& request);

// A message box through the seam; a null caption is the application's title.
int AfxPromptMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType);

// Owned by the active window of the thread (else the main window), captioned
// with the application's title.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));

// The system's folder browser (file-system folders only) through the seam:
// IDOK with the folder's path in `path`, or IDCANCEL.
CPromptAnswer AfxBrowseForFolder(HWND hWndOwner, LPCTSTR lpszTitle);

// Strict scripted answers for tests: each prompt takes the next scripted
// answer; a prompt with none left is counted as unexpected and answered
// IDCANCEL. Installs itself for its lifetime.
class CPromptScript : public CPromptHandler {
public:
    CPromptScript();
    ~CPromptScript() override;
    CPromptScript(const CPromptScript&) = delete;
    CPromptScript& operator=(const CPromptScript&) = delete;

    void AnswerNext(int nResult);
    void AnswerNextFile(LPCTSTR lpszPath);       // IDOK with that path (file or folder)

    const std::vector<CPromptRequest>& Asked() const { return m_asked; }
    int Unexpected() const { return m_nUnexpected; }
    int Unused() const { return static_cast<int>(m_answers.size()); }

    CPromptAnswer Respond(const CPromptRequest& request) override;

private:
    CPromptHandler* m_pPrevious;
    std::deque<CPromptAnswer> m_answers;
    std::vector<CPromptRequest> m_asked;
    int m_nUnexpected = 0;
};
