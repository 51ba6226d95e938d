// The application object, its message loop, and the module's handles.
#pragma once

#include "CmdTarget.h"
#include "Ids.h"
#include "String.h"

class CWnd;

// The command line after the program's name, one argument at a time.
class CCommandLineInfo {
public:
    virtual ~CCommandLineInfo() = default;
    // lpszParam without its leading '-' or '/' when bFlag; bLast for the final one.
    virtual void ParseParam(LPCTSTR lpszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bRunEmbedded = FALSE;   // "Embedding": started by COM for a client
    BOOL m_bRunAutomated = FALSE;  // "Automation"
    CString m_strFileName;         // the first argument that is not a flag
};

// One per program, made as a static object; AfxWinMain runs it.
class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    // Without a name the title is string AFX_IDS_APP_TITLE of the program
    // itself, else the program file's name.
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    CWnd* m_pMainWnd = nullptr;    // cleared when that window is destroyed
    HINSTANCE m_hInstance = nullptr;
    LPTSTR m_lpCmdLine = nullptr;  // after the program's name
    int m_nCmdShow = SW_SHOWNORMAL;

    LPCTSTR GetAppName() const { return m_strAppName; }
    LPCTSTR GetRegistryKey() const { return m_strRegistryKey; }
    LPCTSTR GetHelpFilePath() const { return m_strHelpFilePath; }
    void SetHelpFilePath(LPCTSTR lpszPath) { m_strHelpFilePath = lpszPath; }

    virtual BOOL InitInstance();
    // Its result is the program's exit code: by default WM_QUIT's wParam.
    virtual int ExitInstance();
    // The message loop. While the queue is empty it calls OnIdle with 0, 1,
    // 2, ... until OnIdle returns FALSE; the next message (not a paint or a
    // mouse move to the same place) starts the counting again. Ends with
    // ExitInstance when WM_QUIT arrives.
    virtual int Run();
    virtual BOOL OnIdle(LONG lCount);
    // By default the walk from the message's window up to the top level
    // (CWnd::WalkPreTranslateTree), then the main window when it was not on it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);
    BOOL PumpMessage();                    // FALSE at WM_QUIT
    BOOL IsRunning() const { return m_bRunning; }

    // Also clears the OLE user-control flag for "Embedding" or "Automation".
    void ParseCommandLine(CCommandLineInfo& info);

    // Keeps the profile under HKEY_CURRENT_USER\Software\<key>\<application title>.
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);

    HICON LoadIcon(UINT nIDResource) const;   // from the resource handle

protected:
    afx_msg void OnHelp();                 // ID_HELP: help for the active window

    DECLARE_MESSAGE_MAP()

private:
    friend int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int);
    friend BOOL AfxWinInit(HINSTANCE, LPSTR, int);
    CString m_strAppName;
    CString m_strRegistryKey;
    CString m_strHelpFilePath;
    MSG m_msgCur = {};
    POINT m_ptLastMouseMove = {-1, -1};
    int m_nExitCode = 0;
    BOOL m_bRunning = FALSE;

    BOOL IsIdleMessage(const MSG* pMsg);
    HKEY OpenSectionKey(LPCTSTR lpszSection, BOOL bCreate);
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
LPCTSTR AfxGetAppName();                   // empty without an application object

// The module this code is linked into (a program, or a DLL with its own resources).
HINSTANCE AfxGetInstanceHandle();
// Every dialog, menu, string, bitmap and icon the framework loads comes from
// here: the module itself until the program names another (a language library).
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hResource);

inline HINSTANCE AfxLoadLibrary(LPCTSTR lpszModuleName) { return ::LoadLibrary(lpszModuleName); }
inline BOOL AfxFreeLibrary(HINSTANCE hModule) { return ::FreeLibrary(hModule); }
BOOL AfxInitRichEdit();                    // the rich edit 2.0 control library

// Sets up the application object's handles and title; called by AfxWinMain.
BOOL AfxWinInit(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow);
// The program's WinMain calls this: InitInstance, then Run (or ExitInstance
// when InitInstance fails), then the main window is destroyed if it is left
// and OLE is ended if AfxOleInit started it.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
