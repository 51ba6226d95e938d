// The browser drivers behind DefaultBrowser.
#pragma once

#include <afxquill.h>

#include <exdisp.h>

#include "URLHandler.h"

class CDDEObject;
class CNotesUIWorkspace;

// Internet Explorer through its automation object; on-line test by WinINet.
class IEBrowser : public BrowserInterface {
public:
    IEBrowser();
    ~IEBrowser() override;

    int IsConnected() override;
    int OpenURL(LPCSTR lpszURL, BOOL bShow) override;
    int GetBrowserType() override { return browserExplorer; }

private:
    BOOL CreateAutomation();
    void ReleaseAutomation();

    IWebBrowser2* m_pWebBrowser = nullptr;
    HMODULE m_hWinInet = nullptr;
    DWORD(WINAPI* m_pfnAttemptConnect)(DWORD) = nullptr;
};

// What the Netscape and Neoplanet drivers share: the DDE start and the
// opening of a URL in the browser's last window.
class DDEBrowser : public BrowserInterface {
public:
    enum { ddeNotTried = 0, ddeReady = 1, ddeFailed = 2 };

    ~DDEBrowser() override;
    int OpenURL(LPCSTR lpszURL, BOOL bShow) override;

    int GetDDEState() const { return m_nDDEState; }
    CDDEObject* GetDDEObject() const { return m_pDDE; }

protected:
    DDEBrowser() = default;
    // Starts the process's DDE instance and runs Prepare, once.
    void StartDDE();
    // Makes the DDE object (and what else the browser needs).
    virtual void Prepare() = 0;
    // Whether the browser will take a URL now.
    virtual BOOL IsReady() = 0;

    int m_nDDEState = ddeNotTried;
    CDDEObject* m_pDDE = nullptr;
};

class NetscapeBrowser : public DDEBrowser {
public:
    NetscapeBrowser() = default;

    int IsConnected() override;
    int GetBrowserType() override { return browserNetscape; }

protected:
    void Prepare() override;
    BOOL IsReady() override;

private:
    COleDispatchDriver m_network;
};

class NeoplanetBrowser : public DDEBrowser {
public:
    enum { serviceNameId = 60063, objectNameId = 60064 };

    NeoplanetBrowser() = default;

    int GetBrowserType() override { return browserNeoplanet; }
    // Starts Neoplanet from its registered shell command; 1 when started.
    static int LaunchNeoplanet();

protected:
    void Prepare() override;
    BOOL IsReady() override;
};

// The Lotus Notes client through its UI workspace.
class NotesBrowser : public BrowserInterface {
public:
    NotesBrowser();
    ~NotesBrowser() override;

    int OpenURL(LPCSTR lpszURL, BOOL bShow) override;

private:
    void RebuildWorkspace();

    CNotesUIWorkspace* m_pWorkspace = nullptr;
};

// The host Netscape's on-line test asks its network object to open.
extern const char NETSCAPE_ONLINE_HOST[];
