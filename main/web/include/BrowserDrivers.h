// The browser drivers behind DefaultBrowser.
#pragma once

#include <afxquill.h>

#include <exdisp.h>

#include <functional>

#include "URLHandler.h"

class CDDEObject;
class CNotesUIWorkspace;

// Pumps the thread's messages until `done` answers true or the time passes;
// whether it did. A WM_QUIT met meanwhile ends the wait at once: it is left
// for the loop above and the program counts as quitting.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD dwTimeoutMs);

// Internet Explorer through its automation object; on-line test by WinINet.
// A URL counts as opened once the browser completed it: every page handed
// over is read before the next is given, and a hidden browser it made is
// quit when the driver ends.
class IEBrowser : public BrowserInterface {
public:
    IEBrowser();
    ~IEBrowser() override;

    int IsConnected() override;
    int OpenURL(LPCSTR lpszURL, BOOL bShow) override;
    int GetBrowserType() override { return browserExplorer; }

    // How long a navigation may take to complete, and a browser busy with
    // a page of ours to end it (tests shorten it).
    static void SetWaitTime(DWORD dwMs);

    // What the browser's events tell of the navigation under way.
    enum Navigation { navIdle, navPending, navCompleted, navFailed };
    void OnEvent(DISPID dispid, IDispatch* pFrame);

private:
    class CEvents;

    BOOL CreateAutomation();
    // bQuit: the hidden browser made here ends with the object.
    void ReleaseAutomation(bool bQuit);
    bool IsBusy();
    bool IsTopLevel(IDispatch* pFrame);
    // Lets what the browser does for a page of ours finish; stopped when it
    // takes too long. Either way the browser's work is no longer ours.
    void FinishOurPage();
    // A navigation of ours that did not complete in time, or was cut short by
    // a quit, is stopped: a page it loads later must not reach the service
    // after its entry was kept to be sent again.
    void GiveUpNavigation();

    IWebBrowser2* m_pWebBrowser = nullptr;
    HMODULE m_hWinInet = nullptr;
    DWORD(WINAPI* m_pfnAttemptConnect)(DWORD) = nullptr;
    CEvents* m_pEvents = nullptr;
    DWORD m_dwCookie = 0;
    Navigation m_navigation = navIdle;
    // The browser has not been idle since the last page handed to it: what
    // it is busy with is ours (a form our page posts, say).
    bool m_bOurs = false;
    bool m_bShown = false;
    bool m_bClosed = false;
    bool m_bOpening = false;
};

// What the Netscape and Neoplanet drivers share: the DDE start and the
// opening of a URL in the browser's last window, or in a window of its own
// while the page handed over before may not have been read yet.
class DDEBrowser : public BrowserInterface {
public:
    enum { ddeNotTried = 0, ddeReady = 1, ddeFailed = 2 };

    ~DDEBrowser() override;
    int OpenURL(LPCSTR lpszURL, BOOL bShow) override;

    int GetDDEState() const { return m_nDDEState; }
    CDDEObject* GetDDEObject() const { return m_pDDE; }
    // How long a page handed over may take the browser to read.
    static void SetReadTime(DWORD dwMs);

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
    // When the browser last took a URL; 0 before the first.
    DWORD m_dwLastOpen = 0;
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
