// Everything of the program that shows a web page goes through QuiURLHandler.
// Behind it stands one DefaultBrowser per process, shared by every live
// handler, holding the driver of the browser that the setting `Browser` (or
// the shell's association for ".html" files) chooses.
#pragma once

#include <afxquill.h>

// The values of the setting `Browser`, which are also the drivers' numbers.
enum {
    browserDetectAndStore = 0,
    browserDetect = 1,
    browserNetscape = 2,
    browserExplorer = 3,
    browserNone = 4,
    browserNeoplanet = 5
};

// The one browser driver in use.
class BrowserInterface {
public:
    BrowserInterface() = default;
    virtual ~BrowserInterface() = default;
    BrowserInterface(const BrowserInterface&) = delete;
    BrowserInterface& operator=(const BrowserInterface&) = delete;

    // 1 when a web action can be run now.
    virtual int IsConnected();
    // Launches the default browser program with the URL, quoted, as its
    // command line: ShellExecute's result, 0 when there is no such program.
    // The drivers answer 1 when the browser took the URL, 0 when not.
    virtual int OpenURL(LPCSTR lpszURL, BOOL bShow);
    // The driver's number in the scale of the setting `Browser`.
    virtual int GetBrowserType();
};

// Where the driver choice reads the setting `Browser` and stores what the
// detection found. Until the application gives its preferences, the value
// is read from and written to the registry.
class CBrowserSetting {
public:
    virtual ~CBrowserSetting() = default;
    // The preferences' copy of the setting.
    virtual DWORD GetBrowser() = 0;
    // Writes the setting's registry value at once; the copy in memory stays.
    virtual void StoreBrowser(DWORD dwValue) = 0;
};

class DefaultBrowser {
public:
    // Chooses the driver at once.
    DefaultBrowser();
    virtual ~DefaultBrowser();
    DefaultBrowser(const DefaultBrowser&) = delete;
    DefaultBrowser& operator=(const DefaultBrowser&) = delete;

    // (Re)chooses the driver; TRUE when one exists afterwards. Without a
    // default browser program the present driver stays. Asked while a URL is
    // being opened, the choice is made once that returns: the driver that
    // waits is not replaced under it.
    BOOL CreateBrowser();
    BrowserInterface* GetBrowser() const { return m_pBrowser; }

    // The shared object's driver number; -1 without shared object or driver.
    static int GetBrowserType();
    // The setting the choice reads (null: the registry); the caller keeps it alive.
    static void SetSetting(CBrowserSetting* pSetting);

private:
    BrowserInterface* m_pBrowser = nullptr;
};

class QuiURLHandler {
public:
    // The first live handler creates the shared DefaultBrowser, the last deletes it.
    QuiURLHandler();
    virtual ~QuiURLHandler();
    QuiURLHandler(const QuiURLHandler&) = delete;
    QuiURLHandler& operator=(const QuiURLHandler&) = delete;

    // Opens a URL or a page file in the driver's browser; 1 when the browser
    // took it, 0 when nothing was opened (no driver, a browser that refused or
    // did not answer, another URL still being opened, the program quitting).
    // A driver that throws is dropped and the choice made afresh (the URL is
    // not opened again).
    int OpenURL(LPCSTR lpszURL, BOOL bShow);
    // The driver's answer; 0 without a driver.
    int IsConnected();

    // The program that opens ".html" files; empty when there is none.
    static CString FindDefaultBrowser();
    // The shared object; null while no handler lives.
    static DefaultBrowser* GetDefaultBrowser();

    // A quit was met by a wait, or the program is ending: nothing more is
    // handed to a browser, and what waits to be sent stays kept. A new
    // application starts with it clear.
    static void SetQuitting(BOOL bQuitting);
    static BOOL IsQuitting();
};
