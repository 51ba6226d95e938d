#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "BrowserDrivers.h"
#include "BrowserTestSupport.h"
#include "DDEClient.h"
#include "URLHandler.h"

namespace {

using BrowserStandInTesting::BrowserSetting;
using BrowserStandInTesting::Program;
using BrowserStandInTesting::SetBrowserSetting;

class URLHandlerTest : public BrowserTest {
protected:
    // The driver kind the shared browser holds, by name.
    static std::string DriverKind()
    {
        DefaultBrowser* shared = QuiURLHandler::GetDefaultBrowser();
        BrowserInterface* driver = shared ? shared->GetBrowser() : nullptr;
        if (!driver)
            return "none";
        if (dynamic_cast<IEBrowser*>(driver))
            return "explorer";
        if (dynamic_cast<NetscapeBrowser*>(driver))
            return "netscape";
        if (dynamic_cast<NeoplanetBrowser*>(driver))
            return "neoplanet";
        if (dynamic_cast<NotesBrowser*>(driver))
            return "notes";
        // The base: the default program gets the URL on its command line.
        return "launch";
    }
};

//--- choosing the driver

struct ChoiceCase {
    DWORD setting;
    Program program;
    const char* driver;
    int type;
    DWORD stored;  // the setting's registry value afterwards
};

TEST_F(URLHandlerTest, DriverFollowsTheSettingAndTheDefaultProgram)
{
    const ChoiceCase cases[] = {
        {0, Program::Explorer, "explorer", 3, 3},
        {1, Program::Explorer, "explorer", 3, 1},
        {0, Program::Netscape, "netscape", 2, 2},
        {0, Program::Notes, "notes", 1, 1},
        {1, Program::Notes, "notes", 1, 1},
        // Detection looks for "notes" in exactly that case; a program it
        // knows no driver for is launched with the URL.
        {0, Program::NotesCapital, "launch", 1, 1},
        {0, Program::Other, "launch", 1, 1},
        {1, Program::Other, "launch", 1, 1},
        {0, Program::None, "none", -1, 0},
        {2, Program::Explorer, "netscape", 2, 2},
        {3, Program::Netscape, "explorer", 3, 3},
        {4, Program::Explorer, "none", -1, 4},
        {5, Program::Explorer, "neoplanet", 5, 5},
        {9, Program::Explorer, "none", -1, 9},
    };
    for (const ChoiceCase& c : cases) {
        SetBrowserSetting(c.setting);
        m_standIns.SetProgram(c.program);
        QuiURLHandler handler;
        EXPECT_EQ(c.driver, DriverKind()) << "setting " << c.setting << ", program " << static_cast<int>(c.program);
        EXPECT_EQ(c.type, DefaultBrowser::GetBrowserType()) << "setting " << c.setting;
        EXPECT_EQ(c.stored, BrowserSetting()) << "setting " << c.setting;
    }
}

TEST_F(URLHandlerTest, StoredChoiceHoldsInTheNextRunWithoutDetection)
{
    SetBrowserSetting(0);
    m_standIns.SetProgram(Program::Explorer);
    {
        QuiURLHandler firstRun;
        EXPECT_EQ("explorer", DriverKind());
    }
    EXPECT_EQ(3u, BrowserSetting());
    m_standIns.SetProgram(Program::Other);
    QuiURLHandler nextRun;
    EXPECT_EQ("explorer", DriverKind());
}

TEST_F(URLHandlerTest, WithoutDefaultProgramThePresentDriverStays)
{
    SetBrowserSetting(3);
    m_standIns.SetProgram(Program::Explorer);
    QuiURLHandler handler;
    ASSERT_EQ("explorer", DriverKind());
    SetBrowserSetting(0);
    m_standIns.SetProgram(Program::None);
    EXPECT_FALSE(QuiURLHandler::GetDefaultBrowser()->CreateBrowser());
    EXPECT_EQ("explorer", DriverKind());
    EXPECT_EQ(0u, BrowserSetting());
}

TEST_F(URLHandlerTest, SharedBrowserLivesFromTheFirstHandlerToTheLast)
{
    SetBrowserSetting(3);
    EXPECT_EQ(nullptr, QuiURLHandler::GetDefaultBrowser());
    EXPECT_EQ(-1, DefaultBrowser::GetBrowserType());
    auto* first = new QuiURLHandler;
    DefaultBrowser* shared = QuiURLHandler::GetDefaultBrowser();
    ASSERT_NE(nullptr, shared);
    {
        QuiURLHandler second;
        EXPECT_EQ(shared, QuiURLHandler::GetDefaultBrowser());
        delete first;
        EXPECT_EQ(shared, QuiURLHandler::GetDefaultBrowser());
        EXPECT_EQ(3, DefaultBrowser::GetBrowserType());
    }
    EXPECT_EQ(nullptr, QuiURLHandler::GetDefaultBrowser());
}

TEST_F(URLHandlerTest, NoDriverOpensNothingAndIsNotOnLine)
{
    SetBrowserSetting(4);
    m_standIns.SetProgram(Program::Explorer);
    QuiURLHandler handler;
    EXPECT_EQ(0, handler.IsConnected());
    EXPECT_EQ(0, handler.OpenURL("http://example.test/", TRUE));
    EXPECT_TRUE(m_standIns.Log().empty());
}

TEST_F(URLHandlerTest, FindsTheProgramOfWebPages)
{
    m_standIns.SetProgram(Program::Notes);
    CString program = QuiURLHandler::FindDefaultBrowser();
    EXPECT_EQ(0, program.CompareNoCase(BrowserStandInTesting::ProgramPath(Program::Notes).c_str())) << program;
    m_standIns.SetProgram(Program::None);
    EXPECT_STREQ("", QuiURLHandler::FindDefaultBrowser());
}

//--- what opening answers

TEST_F(URLHandlerTest, OpeningAnswersWhetherTheBrowserTookTheURL)
{
    struct Case {
        const char* what;
        DWORD setting;
        Program program;
        std::vector<const char*> failures;
        const char* ddeBrowser;  // a DDE browser serving under that name, or none
        int expected;
    };
    const Case cases[] = {
        {"explorer navigates", 3, Program::None, {}, nullptr, 1},
        {"explorer refuses to navigate", 3, Program::None, {"InternetExplorer.Navigate"}, nullptr, 0},
        {"explorer's navigation fails", 3, Program::None, {"InternetExplorer.NavigateError"}, nullptr, 0},
        {"another program launched", 0, Program::Other, {}, nullptr, 1},
        {"explorer's program launched", 3, Program::Explorer, {"InternetExplorer.Create"}, nullptr, 1},
        {"nothing to launch", 3, Program::None, {"InternetExplorer.Create"}, nullptr, 0},
        {"netscape takes the URL", 2, Program::None, {}, "NETSCAPE", 1},
        {"netscape refuses the URL", 2, Program::None, {"WWW_OpenURL"}, "NETSCAPE", 0},
        {"netscape not running", 2, Program::None, {}, nullptr, 0},
        {"notes opens", 1, Program::Notes, {}, nullptr, 1},
        {"notes fails the call", 1, Program::Notes, {"Notes.URLOpen"}, nullptr, 0},
        {"notes answers an error", 1, Program::Notes, {"Notes.URLOpenResult"}, nullptr, 0},
        {"no driver", 4, Program::Explorer, {}, nullptr, 0},
    };
    for (const Case& c : cases) {
        SetBrowserSetting(c.setting);
        m_standIns.SetProgram(c.program);
        m_standIns.SetFailCalls(c.failures);
        if (c.ddeBrowser)
            m_standIns.StartDdeBrowser(c.ddeBrowser);
        const size_t launched = m_standIns.Lines("launch ").size();
        {
            QuiURLHandler handler;
            EXPECT_EQ(c.expected, handler.OpenURL("http://example.test/", TRUE)) << c.what;
        }
        if ((c.program == Program::Explorer || c.program == Program::Other) && c.expected) {
            EXPECT_TRUE(m_standIns.PumpUntil([&] { return m_standIns.Lines("launch ").size() > launched; })) << c.what;
        }
        m_standIns.StopDdeBrowsers();
    }
}

//--- Internet Explorer

TEST_F(URLHandlerTest, ExplorerNavigatesItsAutomationObject)
{
    SetBrowserSetting(3);
    QuiURLHandler handler;
    EXPECT_EQ(1, handler.OpenURL("http://example.test/first", TRUE));
    EXPECT_EQ(1, handler.OpenURL("http://example.test/second", FALSE));
    // No flags, no post data, no headers: as the object documents them.
    const std::vector<std::string> expected = {
        "InternetExplorer.Create",
        "InternetExplorer.Navigate http://example.test/first flags=i4:0 frame=bstr: post=empty headers=empty",
        "InternetExplorer.Visible=true",
        "InternetExplorer.Read http://example.test/first",
        "InternetExplorer.Navigate http://example.test/second flags=i4:0 frame=bstr: post=empty headers=empty",
        "InternetExplorer.Read http://example.test/second",
    };
    EXPECT_EQ(expected, m_standIns.Log());
}

// The browser as its object behaves: busy for a while after Navigate, a page
// lost to Stop or to the next Navigate, errors told by NavigateError, a
// window the user closes, a hidden browser that outlives its last reference.
TEST_F(URLHandlerTest, ExplorerHandsEachPageOverWholeAndEndsItsHiddenBrowser)
{
    struct Row {
        const char* what;
        DWORD busy, loadMs, closeAfterRead;
        std::vector<const char*> failures;
        std::vector<BOOL> shown;   // one URL each
        std::vector<int> answers;
        std::vector<std::string> log;
    } rows[] = {
        {"each page read before the next, the hidden browser quit", 0, 100, 0, {}, {FALSE, FALSE}, {1, 1},
         {"Create", "Navigate http://example.test/1", "Read http://example.test/1", "Navigate http://example.test/2",
          "Read http://example.test/2", "Quit"}},
        {"a shown browser is the user's", 0, 100, 0, {}, {TRUE}, {1},
         {"Create", "Navigate http://example.test/1", "Visible=true", "Read http://example.test/1"}},
        {"busy with a page not ours: stopped", 1, 100, 0, {}, {FALSE}, {1},
         {"Create", "Stop", "Lost about:home", "Navigate http://example.test/1", "Read http://example.test/1", "Quit"}},
        {"a page that fails is not handed over", 0, 100, 0, {"InternetExplorer.NavigateError"}, {FALSE}, {0},
         {"Create", "Navigate http://example.test/1", "NavigateError http://example.test/1", "Quit"}},
        // Not handed over, and stopped: a page that came later would reach
        // the service after its entry was kept to be sent again.
        {"pages slower than the wait", 0, 1500, 0, {}, {FALSE, FALSE}, {0, 0},
         {"Create", "Navigate http://example.test/1", "Stop", "Lost http://example.test/1",
          "Navigate http://example.test/2", "Stop", "Lost http://example.test/2", "Quit"}},
        {"a window the user closed is made anew", 0, 100, 1, {}, {TRUE, TRUE}, {1, 1},
         {"Create", "Navigate http://example.test/1", "Visible=true", "Read http://example.test/1", "Create",
          "Navigate http://example.test/2", "Visible=true", "Read http://example.test/2"}},
    };
    SetBrowserSetting(3);
    IEBrowser::SetWaitTime(1000);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DeleteFileA(m_standIns.LogPath().c_str());
        m_standIns.SetStandInNumber("Busy", row.busy);
        m_standIns.SetStandInNumber("LoadMs", row.loadMs);
        m_standIns.SetStandInNumber("CloseAfterRead", row.closeAfterRead);
        m_standIns.SetFailCalls(row.failures);
        {
            QuiURLHandler handler;
            for (size_t i = 0; i < row.shown.size(); i++) {
                const std::string url = "http://example.test/" + std::to_string(i + 1);
                EXPECT_EQ(row.answers[i], handler.OpenURL(url.c_str(), row.shown[i])) << url;
            }
        }
        std::vector<std::string> log;
        for (const std::string& line : m_standIns.Lines("InternetExplorer."))
            log.push_back(line.substr(std::strlen("InternetExplorer."), line.find(" flags=") - std::strlen("InternetExplorer.")));
        EXPECT_EQ(row.log, log);
    }
    IEBrowser::SetWaitTime(30000);
}

TEST_F(URLHandlerTest, ExplorerClosedByTheUserIsMadeAnew)
{
    SetBrowserSetting(3);
    QuiURLHandler handler;
    handler.OpenURL("http://example.test/one", FALSE);
    m_standIns.SetFailCalls({"InternetExplorer.Visible"});
    handler.OpenURL("http://example.test/two", FALSE);
    const std::vector<std::string> expected = {
        "InternetExplorer.Create",         "InternetExplorer.Navigate http://example.test/one",
        "InternetExplorer.Read http://example.test/one",
        "InternetExplorer.Visible failed", "InternetExplorer.Create",
        "InternetExplorer.Navigate http://example.test/two", "InternetExplorer.Read http://example.test/two",
    };
    std::vector<std::string> log;
    for (const std::string& line : m_standIns.Log())
        log.push_back(line.substr(0, line.find(" flags=")));
    EXPECT_EQ(expected, log);
}

TEST_F(URLHandlerTest, ExplorerWithoutAutomationLaunchesTheDefaultProgram)
{
    struct Case {
        bool registered;
        BOOL show;
        const char* url;
        const char* launch;
    };
    // The URL or page goes as one quoted argument, as programs split theirs.
    const Case cases[] = {
        {false, TRUE, "http://example.test/page", "launch explorer show=5 \"http://example.test/page\""},
        {false, FALSE, "http://example.test/page", "launch explorer show=0 \"http://example.test/page\""},
        {true, TRUE, "http://example.test/page", "launch explorer show=5 \"http://example.test/page\""},
        {true, TRUE, "C:\\Temp Folder\\QuillmateWebAction.html",
         "launch explorer show=5 \"C:\\Temp Folder\\QuillmateWebAction.html\""},
        // A value behind a blank that would be a switch of its own.
        {true, TRUE, "http://find.test/?q=a -new-window", "launch explorer show=5 \"http://find.test/?q=a -new-window\""},
        {true, TRUE, "http://find.test/?q=\"a b\"", "launch explorer show=5 \"http://find.test/?q=\\\"a b\\\"\""},
        {true, TRUE, "C:\\blank folder\\", "launch explorer show=5 \"C:\\blank folder\\\\\""},
    };
    m_standIns.SetProgram(Program::Explorer);
    SetBrowserSetting(3);
    for (const Case& c : cases) {
        if (c.registered)
            m_standIns.SetFailCalls({"InternetExplorer.Create"});
        else
            m_standIns.UnregisterServer();
        QuiURLHandler handler;
        const size_t before = m_standIns.Lines("launch ").size();
        EXPECT_EQ(1, handler.OpenURL(c.url, c.show)) << c.launch;
        ASSERT_TRUE(m_standIns.PumpUntil([&] { return m_standIns.Lines("launch ").size() > before; })) << c.launch;
        EXPECT_EQ(c.launch, m_standIns.Lines("launch ").back());
        m_standIns.UnregisterServer();
    }
}

TEST_F(URLHandlerTest, ExplorerIsOnLineWhenWinInetCanConnect)
{
    // Wine's WinINet always reports that it can connect.
    SetBrowserSetting(3);
    QuiURLHandler handler;
    EXPECT_EQ(1, handler.IsConnected());
}

//--- Netscape

TEST_F(URLHandlerTest, NetscapeOpensInItsLastWindowOverDDE)
{
    struct Case {
        BOOL show;
        DWORD windows;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {TRUE, 3,
         {"dde NETSCAPE request WWW_Version WWW_Version", "dde NETSCAPE request WWW_ListWindows WWW_ListWindows",
          "dde NETSCAPE request WWW_OpenURL \"http://example.test/\",,3,0,,,",
          "dde NETSCAPE request WWW_Activate 4294967295,0"}},
        {FALSE, 0,
         {"dde NETSCAPE request WWW_Version WWW_Version", "dde NETSCAPE request WWW_ListWindows WWW_ListWindows",
          "dde NETSCAPE request WWW_OpenURL \"http://example.test/\",,4294967295,4,,,"}},
    };
    m_standIns.StartDdeBrowser("NETSCAPE");
    SetBrowserSetting(2);
    for (const Case& c : cases) {
        m_standIns.SetStandInNumber("WindowCount", c.windows);
        const size_t before = m_standIns.Lines("dde ").size();
        {
            QuiURLHandler handler;
            EXPECT_EQ(1, handler.OpenURL("http://example.test/", c.show));
        }
        std::vector<std::string> lines = m_standIns.Lines("dde ");
        EXPECT_EQ(c.expected, std::vector<std::string>(lines.begin() + before, lines.end())) << "show " << c.show;
    }
}

TEST_F(URLHandlerTest, NetscapeWithoutItsNetworkObjectOpensNothing)
{
    m_standIns.UnregisterServer();
    m_standIns.StartDdeBrowser("NETSCAPE");
    SetBrowserSetting(2);
    QuiURLHandler handler;
    auto* driver = dynamic_cast<NetscapeBrowser*>(QuiURLHandler::GetDefaultBrowser()->GetBrowser());
    ASSERT_NE(nullptr, driver);
    handler.OpenURL("http://example.test/", TRUE);
    CDDEObject* dde = driver->GetDDEObject();
    handler.OpenURL("http://example.test/", TRUE);
    const std::vector<std::string> expected = {"dde NETSCAPE request WWW_Version WWW_Version",
                                               "dde NETSCAPE request WWW_Version WWW_Version"};
    EXPECT_EQ(expected, m_standIns.Lines("dde "));
    EXPECT_EQ(DDEBrowser::ddeReady, driver->GetDDEState());
    EXPECT_EQ(dde, driver->GetDDEObject()) << "preparing again keeps the one DDE object";
}

TEST_F(URLHandlerTest, NetscapeNotRunningOpensNothing)
{
    SetBrowserSetting(2);
    QuiURLHandler handler;
    EXPECT_EQ(0, handler.OpenURL("http://example.test/", TRUE));
    EXPECT_TRUE(m_standIns.Lines("dde ").empty());
    EXPECT_TRUE(m_standIns.Lines("launch ").empty());
}

TEST_F(URLHandlerTest, NetscapeIsOnLineWhenItsNetworkObjectOpensTheHost)
{
    struct Case {
        bool registered;
        const char* failure;
        int expected;
    };
    const Case cases[] = {
        {true, "", 1}, {true, "Netscape.Open", 0}, {true, "Netscape.OpenError", 0}, {false, "", 0}};
    SetBrowserSetting(2);
    for (const Case& c : cases) {
        if (!c.registered)
            m_standIns.UnregisterServer();
        m_standIns.SetFailCalls({c.failure});
        QuiURLHandler handler;
        EXPECT_EQ(c.expected, handler.IsConnected()) << c.registered << c.failure;
    }
    const std::vector<std::string> expected = {
        "Netscape.Open www.example.com method=0 post= size=0 headers= -> true",
        "Netscape.Open www.example.com method=0 post= size=0 headers= -> false",
        "Netscape.Open www.example.com -> error",
    };
    EXPECT_EQ(expected, m_standIns.Lines("Netscape."));
}

//--- Neoplanet

TEST_F(URLHandlerTest, NeoplanetIsStartedThenTakesTheURLOverDDE)
{
    m_standIns.StartDdeBrowser("NEOPLANET");
    m_standIns.SetNeoplanetCommand("\"" + BrowserStandInTesting::Installation::DdeBrowserPath() + "\" \"%1\"");
    m_standIns.SetStandInNumber("WindowCount", 2);
    SetBrowserSetting(5);
    QuiURLHandler handler;
    handler.OpenURL("http://example.test/neo", FALSE);
    ASSERT_TRUE(m_standIns.PumpUntil([&] { return m_standIns.Lines("launch ddebrowser").size() == 2; }))
        << "the shell command starts the browser";
    const std::vector<std::string> expected = {
        "dde NEOPLANET request WWW_ListWindows WWW_ListWindows",
        "dde NEOPLANET request WWW_OpenURL \"http://example.test/neo\",,2,4,,,",
    };
    EXPECT_EQ(expected, m_standIns.Lines("dde "));
}

TEST_F(URLHandlerTest, NeoplanetStartFromItsShellCommand)
{
    struct Case {
        const char* command;  // null: not registered; "$" stands for the stand-in's path
        int expected;
        bool started;
        DWORD type = REG_SZ;  // REG_BINARY: the command's bytes padded to 260, no terminator
    };
    const Case cases[] = {
        {nullptr, 0, false},
        {"$", 1, true},
        {"\"$\" \"%1\"", 1, true},
        {"$ -embedding", 1, true},
        // A command without a program starts nothing.
        {"neoplanet", 0, false},
        {"c:\\no\\such\\neo.exe", 2, false},
        // A block is no command, however like one it reads.
        {"$", 0, false, REG_BINARY},
    };
    const std::string path = BrowserStandInTesting::Installation::DdeBrowserPath();
    for (const Case& c : cases) {
        SHDeleteKeyA(HKEY_CLASSES_ROOT, "Neo20");
        if (c.command) {
            std::string command = c.command;
            size_t dollar = command.find('$');
            if (dollar != std::string::npos)
                command.replace(dollar, 1, path);
            if (c.type == REG_SZ) {
                m_standIns.SetNeoplanetCommand(command);
            } else {
                command.resize(MAX_PATH, ' ');
                ASSERT_TRUE(QuiTesting::SetRegValue(HKEY_CLASSES_ROOT, "Neo20\\shell\\open\\command", "", c.type,
                                                    command.data(), MAX_PATH));
            }
        }
        const size_t before = m_standIns.Lines("launch ddebrowser").size();
        EXPECT_EQ(c.expected, NeoplanetBrowser::LaunchNeoplanet()) << (c.command ? c.command : "<none>");
        if (c.started) {
            EXPECT_TRUE(m_standIns.PumpUntil([&] { return m_standIns.Lines("launch ddebrowser").size() > before; }))
                << c.command;
        }
        m_standIns.StopDdeBrowsers();
    }
}

TEST_F(URLHandlerTest, NeoplanetNotStartableLeavesDDEFailed)
{
    SetBrowserSetting(5);
    QuiURLHandler handler;
    handler.OpenURL("http://example.test/", TRUE);
    auto* driver = dynamic_cast<NeoplanetBrowser*>(QuiURLHandler::GetDefaultBrowser()->GetBrowser());
    ASSERT_NE(nullptr, driver);
    EXPECT_EQ(DDEBrowser::ddeFailed, driver->GetDDEState());
    EXPECT_EQ(nullptr, driver->GetDDEObject());
    EXPECT_EQ(1, handler.IsConnected());
    EXPECT_TRUE(m_standIns.Log().empty());
}

//--- Lotus Notes

TEST_F(URLHandlerTest, NotesOpensThroughItsWorkspace)
{
    SetBrowserSetting(1);
    m_standIns.SetProgram(Program::Notes);
    QuiURLHandler handler;
    ASSERT_EQ("notes", DriverKind());
    EXPECT_EQ(1, handler.IsConnected());
    handler.OpenURL("http://example.test/notes", FALSE);
    const std::vector<std::string> expected = {
        "Notes.Create",
        "Notes.URLOpen bstr:http://example.test/notes bool:false missing missing missing missing missing missing missing",
    };
    EXPECT_EQ(expected, m_standIns.Log());
}

TEST_F(URLHandlerTest, NotesThatFailsTheCallGetsANewWorkspace)
{
    const char* const failures[] = {"Notes.URLOpen", "Notes.URLOpenResult"};
    SetBrowserSetting(1);
    m_standIns.SetProgram(Program::Notes);
    for (const char* failure : failures) {
        m_standIns.SetFailCalls({failure});
        {
            QuiURLHandler handler;
            EXPECT_EQ(0, handler.OpenURL("http://example.test/lost", TRUE)) << failure;
            m_standIns.SetFailCalls({});
            EXPECT_EQ(1, handler.OpenURL("http://example.test/next", TRUE)) << failure;
        }
        std::vector<std::string> log;
        for (const std::string& line : m_standIns.Log())
            log.push_back(line.substr(0, line.find(" bool:")));
        const std::vector<std::string> expected = {"Notes.Create", "Notes.URLOpen bstr:http://example.test/lost",
                                                   "Notes.Create", "Notes.URLOpen bstr:http://example.test/next"};
        EXPECT_EQ(expected, log) << failure;
        DeleteFileA(m_standIns.LogPath().c_str());
    }
}

TEST_F(URLHandlerTest, NotesWithoutItsWorkspaceLaunchesTheProgram)
{
    m_standIns.UnregisterServer();
    SetBrowserSetting(1);
    m_standIns.SetProgram(Program::Notes);
    QuiURLHandler handler;
    handler.OpenURL("http://example.test/n", TRUE);
    ASSERT_TRUE(m_standIns.WaitForLine("launch "));
    EXPECT_EQ("launch notes show=5 \"http://example.test/n\"", m_standIns.Lines("launch ").front());
}

}  // namespace

namespace {

// The application's preferences in place of the registry.
class FakeSetting : public CBrowserSetting {
public:
    explicit FakeSetting(DWORD value) : m_value(value) {}
    DWORD GetBrowser() override { return m_value; }
    void StoreBrowser(DWORD dwValue) override { m_stored.push_back(dwValue); }

    DWORD m_value;
    std::vector<DWORD> m_stored;
};

class SettingScope {
public:
    explicit SettingScope(CBrowserSetting* setting) { DefaultBrowser::SetSetting(setting); }
    ~SettingScope() { DefaultBrowser::SetSetting(nullptr); }
};

TEST_F(URLHandlerTest, ChoiceReadsTheSettingItIsGivenAndStoresThroughIt)
{
    struct Case {
        DWORD value;
        Program program;
        int type;
        std::vector<DWORD> stored;
    };
    const Case cases[] = {
        {0, Program::Netscape, 2, {2}},
        {1, Program::Netscape, 2, {}},
        {0, Program::Other, 1, {1}},
        {3, Program::Netscape, 3, {}},
    };
    for (const Case& c : cases) {
        SetBrowserSetting(4);
        m_standIns.SetProgram(c.program);
        FakeSetting setting(c.value);
        SettingScope scope(&setting);
        QuiURLHandler handler;
        EXPECT_EQ(c.type, DefaultBrowser::GetBrowserType()) << c.value;
        EXPECT_EQ(c.stored, setting.m_stored) << c.value;
        EXPECT_EQ(4u, BrowserSetting()) << "the registry is not touched";
    }
}

}  // namespace
