// What a test tells the browser stand-ins, under HKEY_CURRENT_USER
// "Software\QuillmateStandIns\Browsers":
//   "Log"          REG_SZ        the file every stand-in appends its calls to
//   "FailCalls"    REG_MULTI_SZ  calls that fail: "InternetExplorer.Create",
//                                "InternetExplorer.Visible",
//                                "InternetExplorer.Navigate", "Netscape.Open"
//                                (answers FALSE), "Netscape.OpenError" (fails),
//                                "Notes.URLOpen", "Notes.URLOpenResult", a DDE
//                                topic ("WWW_OpenURL": the connection is refused)
//                                or "stall:<topic>" (the DDE call is never answered)
//                                "InternetExplorer.NavigateError" (the page
//                                loads and fails: NavigateError)
//   "Busy"         REG_DWORD     the web browser object starts busy with a
//                                page of its own, which only Stop ends
//   "LoadMs"       REG_DWORD     how long a page takes to arrive once asked
//                                for: the web browser object stays busy
//                                (100 ms), a DDE window loads (300 ms)
//   "CloseAfterRead" REG_DWORD   the user closes the web browser's window
//                                once a page has arrived (OnQuit)
//   "WindowCount"  REG_DWORD     the DDE browser's number of windows (those
//                                it opens for window 0 come on top)
//   "ReadDelayMs"  REG_DWORD     how long browser.exe takes to read a page
//                                file it was started with
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#define BROWSER_STANDIN_KEY "Software\\QuillmateStandIns\\Browsers"
// Set by the DDE browser once its service is registered. The quit event is
// the test's: setting it ends every running DDE browser, and a DDE browser
// started while no test holds it ends at once.
#define BROWSER_STANDIN_STARTED_EVENT "QuillmateDdeBrowserStarted"
#define BROWSER_STANDIN_QUIT_EVENT "QuillmateDdeBrowserQuit"
// Set after every line written to the log, for a test that waits for one.
#define BROWSER_STANDIN_LOGGED_EVENT "QuillmateBrowserStandInLogged"

namespace BrowserStandIn {

// Appends one line (a line feed is added) to the log, when one is named,
// and sets the logged event.
void Log(const std::string& line);
bool CallFails(const std::string& call);
DWORD Number(const char* name, DWORD fallback);
// The lines of a log file; none when it cannot be read.
std::vector<std::string> ReadLog(const std::string& path);

// An automation text in the ANSI code page, "<null>" for a null BSTR.
std::string Narrow(BSTR text);
// A new BSTR of the ANSI text.
BSTR Wide(const std::string& text);
// "<type>:<value>" of a VARIANT, as the logs show arguments.
std::string Describe(const VARIANT& value);

}  // namespace BrowserStandIn
