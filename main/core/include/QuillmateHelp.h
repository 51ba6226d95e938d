// The program's help: HTML help through the HTML Help control, the help file
// through WinHelp, and the quick-start document through the shell.
#pragma once
#include <afxquill.h>

class CQuillmateHelp {
public:
    enum { kQuickStartContext = 1000 };

    // lpszControl: the library that carries HtmlHelpA, loaded by name on first use.
    explicit CQuillmateHelp(LPCTSTR lpszControl = "hhctrl.ocx");

    // HtmlHelp on the active window with the application's help file; nCmd
    // -1 asks for the topic of context dwData. TRUE when help opened a window.
    virtual BOOL ShowHtmlHelp(DWORD_PTR dwData, UINT nCmd);
    // Context 1000 opens the quick-start document; any other context the
    // topic of the help file, and 0 or below its contents. Always TRUE.
    virtual BOOL ShowHelp(DWORD nContextId, UINT nCmd);
    virtual ~CQuillmateHelp();

    CQuillmateHelp(const CQuillmateHelp&) = delete;
    CQuillmateHelp& operator=(const CQuillmateHelp&) = delete;

    // The program's folder followed by the help folder (string 130 of the
    // resource library), without a closing backslash.
    static CString HelpFolder();

protected:
    // The system calls that leave the program.
    virtual BOOL CallWinHelp(HWND hWnd, LPCTSTR lpszFile, UINT nCmd, ULONG_PTR dwData);
    virtual void OpenDocument(LPCTSTR lpszFile, LPCTSTR lpszFolder);

private:
    typedef HWND(WINAPI* HtmlHelpProc)(HWND, LPCSTR, UINT, DWORD_PTR);

    CString m_strControl;
    HINSTANCE m_hControl = nullptr;
    HtmlHelpProc m_pfnHtmlHelp = nullptr;
};
