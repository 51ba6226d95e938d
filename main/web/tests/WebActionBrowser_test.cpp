// Web actions run end to end: the handler fills the templates and hands
// them to the Internet Explorer stand-in through the URL handler.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "BrowserTestSupport.h"
#include "WebActionHandler.h"
#include "WebActionTestSupport.h"

namespace {

using BrowserStandInTesting::SetBrowserSetting;

class WebActionBrowserTest : public BrowserTest {
protected:
    // The stand-in's lines without the navigation's fixed arguments and
    // without the pages it read (each navigation here is read).
    std::vector<std::string> Log() const
    {
        std::vector<std::string> log;
        for (const std::string& line : m_standIns.Log()) {
            if (line.compare(0, 22, "InternetExplorer.Read ") != 0)
                log.push_back(line.substr(0, line.find(" flags=")));
        }
        return log;
    }

    OwnCurrentFolder m_current;
    OwnTempFolder m_temp;
};

TEST_F(WebActionBrowserTest, OpensFilledUrlsAndPagesInTheBrowser)
{
    SetBrowserSetting(3);
    CWebActionHandler handler;
    UseTestConnectors(handler);
    CWebActionJug find = TestAction(0, subtypeFind, "fish & chips");
    CWebActionJug hidden = TestAction(0, subtypeSecondWord, "a b#c");
    hidden.m_nFlags = CWebActionJug::flagNoShow;
    CWebActionJug page = TestAction(0, subtypePage, "\"><script>x</script>");
    EXPECT_EQ(1, handler.SubmitAction(find));
    EXPECT_EQ(1, handler.SubmitAction(hidden));
    EXPECT_EQ(1, handler.SubmitAction(page));

    const std::vector<std::string> expected = {
        "InternetExplorer.Create",
        "InternetExplorer.Navigate http://find.test/?q=fish%20%26%20chips&who=Ann+O%27Lee",
        "InternetExplorer.Visible=true",
        "InternetExplorer.Navigate http://find.test/b%23c",
        "InternetExplorer.Navigate " + m_temp.Path("QuillmateWebAction.html"),
        "InternetExplorer.Visible=true",
    };
    EXPECT_EQ(expected, Log());
    EXPECT_EQ(kPageHead +
                  std::string("<HTML><BODY><INPUT value=\"&quot;&gt;&lt;script&gt;x&lt;/script&gt;\">Ann on December 8"
                              "</BODY></HTML>"),
              ReadBytes(m_temp.Path("QuillmateWebAction.html")));
    EXPECT_EQ(0, handler.GetActionList().GetCount());
}

TEST_F(WebActionBrowserTest, ActionsKeptOffLineAreSentWhenTheBrowserIsOnLine)
{
    SetBrowserSetting(4);
    CWebActionHandler handler;
    UseTestConnectors(handler);
    CWebActionJug first = TestAction(0, subtypeFind, "one");
    CWebActionJug second = TestAction(0, subtypePage, "two");
    CWebActionJug dropped = TestAction(0, subtypeFind, "never");
    dropped.m_nFlags = CWebActionJug::flagNoQueue;
    EXPECT_EQ(2, handler.SubmitAction(first));
    EXPECT_EQ(2, handler.SubmitAction(second));
    EXPECT_EQ(1, handler.SubmitAction(dropped));
    EXPECT_EQ(2, handler.GetActionList().GetCount());
    EXPECT_TRUE(m_standIns.Log().empty());

    // The connectors change places meanwhile, as enabling one does: the kept
    // actions still run their own subtypes.
    std::vector<CWebConnectorDef>& connectors = handler.GetEnabledConnectors().GetConnectors();
    std::reverse(connectors.begin(), connectors.end());
    SetBrowserSetting(3);
    ASSERT_TRUE(QuiURLHandler::GetDefaultBrowser()->CreateBrowser());
    CWebActionJug third = TestAction(0, 0, "three");
    EXPECT_EQ(1, handler.SubmitAction(third));

    const std::vector<std::string> expected = {
        "InternetExplorer.Create",
        "InternetExplorer.Navigate http://find.test/?q=one&who=Ann+O%27Lee",
        "InternetExplorer.Visible=true",
        "InternetExplorer.Navigate " + m_temp.Path("QuillmateWebAction.html"),
        "InternetExplorer.Visible=true",
        "InternetExplorer.Navigate http://other.test/three",
        "InternetExplorer.Visible=true",
    };
    EXPECT_EQ(expected, Log());
    // The kept action ran with its own parameters and dates.
    EXPECT_EQ(kPageHead + std::string("<HTML><BODY><INPUT value=\"two\">Ann on December 8</BODY></HTML>"),
              ReadBytes(m_temp.Path("QuillmateWebAction.html")));
    EXPECT_EQ(0, handler.GetActionList().GetCount());
    EXPECT_EQ(0, handler.SendQueuedActions());
}

TEST_F(WebActionBrowserTest, WhatTheBrowserRefusesIsNotCountedAsSent)
{
    SetBrowserSetting(4);
    CWebActionHandler handler;
    UseTestConnectors(handler);
    CWebActionJug first = TestAction(0, subtypeFind, "one");
    CWebActionJug second = TestAction(0, subtypePage, "two");
    EXPECT_EQ(2, handler.SubmitAction(first));
    EXPECT_EQ(2, handler.SubmitAction(second));

    SetBrowserSetting(3);
    ASSERT_TRUE(QuiURLHandler::GetDefaultBrowser()->CreateBrowser());
    m_standIns.SetFailCalls({"InternetExplorer.Navigate"});
    CWebActionJug refused = TestAction(0, subtypeFind, "three");
    EXPECT_EQ(CWebActionHandler::submitFailed, handler.SubmitAction(refused));
    EXPECT_EQ(0, handler.SendQueuedActions());
    EXPECT_EQ(2, handler.GetActionList().GetCount()) << "the kept actions stay kept";
    EXPECT_EQ(2, handler.GetUnsentCount());

    m_standIns.SetFailCalls({});
    EXPECT_EQ(2, handler.SendQueuedActions());
    EXPECT_EQ(0, handler.GetActionList().GetCount());
    // One refused holds back none after it; each page is one of its own while
    // a browser may still read the one before.
    const std::vector<std::string> expected = {
        "InternetExplorer.Create",
        "InternetExplorer.Navigate http://find.test/?q=one&who=Ann+O%27Lee failed",
        "InternetExplorer.Navigate " + m_temp.Path("QuillmateWebAction.html") + " failed",
        "InternetExplorer.Navigate http://find.test/?q=three&who=Ann+O%27Lee failed",
        "InternetExplorer.Navigate http://find.test/?q=one&who=Ann+O%27Lee failed",
        "InternetExplorer.Navigate " + m_temp.Path("QuillmateWebAction1.html") + " failed",
        "InternetExplorer.Navigate http://find.test/?q=one&who=Ann+O%27Lee",
        "InternetExplorer.Visible=true",
        "InternetExplorer.Navigate " + m_temp.Path("QuillmateWebAction2.html"),
        "InternetExplorer.Visible=true",
    };
    EXPECT_EQ(expected, Log());
}

TEST_F(WebActionBrowserTest, KeptActionsWhoseSubtypeIsGoneWaitForIt)
{
    SetBrowserSetting(4);
    CWebActionHandler handler;
    UseTestConnectors(handler);
    CWebActionJug gone = TestAction(1, 0, "gone");
    CWebActionJug removed = TestAction(0, subtypeFind, "removed");
    CWebActionJug kept = TestAction(0, subtypeSecondWord, "kept one");
    for (CWebActionJug* action : {&gone, &removed, &kept})
        EXPECT_EQ(2, handler.SubmitAction(*action));
    // One read from a cache file of the earlier layout names its subtype by
    // position alone, which may be another connector's by now: it waits, and
    // the exit counts it.
    CWebActionJug older = TestAction(0, subtypeFind, "older");
    handler.GetActionList().Add(older);
    const CWebConnectorDef other = handler.GetEnabledConnectors().GetConnectors().back();
    handler.GetEnabledConnectors().GetConnectors().pop_back();
    handler.GetActionList().Remove(removed.m_nId);

    SetBrowserSetting(3);
    ASSERT_TRUE(QuiURLHandler::GetDefaultBrowser()->CreateBrowser());
    EXPECT_EQ(1, handler.SendQueuedActions());
    EXPECT_EQ(2, handler.GetUnsentCount()) << "the one whose connector is gone stays";
    // Its connector back, read anew in another place, it goes.
    handler.GetEnabledConnectors().GetConnectors().insert(handler.GetEnabledConnectors().GetConnectors().begin(), other);
    EXPECT_EQ(1, handler.SendQueuedActions());
    EXPECT_EQ(1, handler.GetUnsentCount());
    handler.GetActionList().Remove(older.m_nId);
    const std::vector<std::string> expected = {
        "InternetExplorer.Create",
        "InternetExplorer.Navigate http://find.test/one",
        "InternetExplorer.Visible=true",
        "InternetExplorer.Navigate http://other.test/gone",
        "InternetExplorer.Visible=true",
    };
    EXPECT_EQ(expected, Log());
    EXPECT_EQ(0, handler.GetActionList().GetCount());
}

// Two entries of one sending, back to back: the one kept off line and the
// note's own, then the next note's a moment later, all pages. Each reaches
// the browser and is read before the next could take its place or its page
// go, whatever the driver.
TEST_F(WebActionBrowserTest, EntriesSentBackToBackArriveOnceEach)
{
    using BrowserStandInTesting::Program;
    struct Row {
        const char* what;
        DWORD browser;
        Program program;
        const char* ddeBrowser;
        const char* arrived;   // the log's line for a page read
        const char* lost;      // and for one lost
    } rows[] = {
        {"explorer", 3, Program::None, nullptr, "InternetExplorer.Read ", "InternetExplorer.Lost "},
        {"netscape", 2, Program::None, "NETSCAPE", "page NETSCAPE arrived ", "page NETSCAPE replaced "},
        {"another program, starting cold", 1, Program::Other, nullptr, "page other arrived ", "page other missing "},
    };
    m_standIns.SetStandInNumber("ReadDelayMs", 500);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DeleteWebActionPages();
        DeleteFileA(m_standIns.LogPath().c_str());
        m_standIns.SetProgram(row.program);
        if (row.ddeBrowser)
            m_standIns.StartDdeBrowser(row.ddeBrowser);
        {
            SetBrowserSetting(4);
            CWebActionHandler handler;
            UseTestConnectors(handler);
            CWebActionJug kept = TestAction(0, subtypePage, "kept");
            EXPECT_EQ(2, handler.SubmitAction(kept));
            SetBrowserSetting(row.browser);
            ASSERT_TRUE(QuiURLHandler::GetDefaultBrowser()->CreateBrowser());
            CWebActionJug filed = TestAction(0, subtypePage, "filed");
            EXPECT_EQ(1, handler.SubmitAction(filed));
            CWebActionJug next = TestAction(0, subtypePage, "next");
            EXPECT_EQ(1, handler.SubmitAction(next));
            EXPECT_EQ(0, handler.GetUnsentCount());
        }
        const std::vector<std::string> pages = {m_temp.Path("QuillmateWebAction.html"),
                                                m_temp.Path("QuillmateWebAction1.html"),
                                                m_temp.Path("QuillmateWebAction2.html")};
        EXPECT_TRUE(m_standIns.PumpUntil([&] { return m_standIns.Lines(row.arrived).size() >= pages.size(); }));
        std::vector<std::string> arrived;
        for (const std::string& line : m_standIns.Lines(row.arrived)) {
            const std::string page = line.substr(std::strlen(row.arrived));
            arrived.push_back(page.substr(0, page.find(".html") + 5));
        }
        // Programs started one after the other may read in any order.
        std::sort(arrived.begin(), arrived.end());
        EXPECT_EQ(pages, arrived);
        EXPECT_TRUE(m_standIns.Lines(row.lost).empty());
        m_standIns.StopDdeBrowsers();
    }
}

// Each step a handler as the program makes one at start, over the same
// current folder, and its idle processing at a moment of the run.
TEST_F(WebActionBrowserTest, AnActionKeptOffLineSurvivesARestartAndIsSentOnceABrowserTakesIt)
{
    struct Step {
        const char* what;
        DWORD browser;
        bool file;              // a note files the action
        std::vector<DWORD> idle;   // ticks of the idle passes
        int sent;
        int kept;
    };
    const Step steps[] = {
        {"filed off line", 4, true, {1000}, 0, 1},
        {"started again, still off line", 4, false, {1000}, 0, 1},
        {"started again on line: the first pass sends it", 3, false, {5000}, 1, 0},
        {"started again: nothing left", 3, false, {5000, 70000}, 0, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        SetBrowserSetting(step.browser);
        CWebActionHandler handler;
        UseTestConnectors(handler);
        if (step.file) {
            CWebActionJug action = TestAction(0, subtypePage, "lunch with Anna");
            EXPECT_EQ(2, handler.SubmitAction(action));
        }
        int sent = 0;
        for (DWORD tick : step.idle)
            sent += handler.SendQueuedWhenDue(tick);
        EXPECT_EQ(step.sent, sent);
        EXPECT_EQ(step.kept, handler.GetActionList().GetCount());
        // The page goes with the note's text and date, and with the handler.
        if (sent) {
            EXPECT_EQ(kPageHead + std::string("<HTML><BODY><INPUT value=\"lunch with Anna\">Ann on December 8</BODY></HTML>"),
                      ReadBytes(m_temp.Path("QuillmateWebAction.html")));
        }
    }
    const std::vector<std::string> expected = {
        "InternetExplorer.Create",
        "InternetExplorer.Navigate " + m_temp.Path("QuillmateWebAction.html"),
        "InternetExplorer.Visible=true",
    };
    EXPECT_EQ(expected, Log());
}

// The idle processing of one run: the first pass tries at once, later ones
// at most once a minute, and none asks the browser while nothing waits.
TEST_F(WebActionBrowserTest, KeptActionsAreTriedAgainAtMostOnceAMinute)
{
    SetBrowserSetting(4);
    CWebActionHandler handler;
    UseTestConnectors(handler);
    EXPECT_EQ(0, handler.SendQueuedWhenDue(0));
    CWebActionJug action = TestAction(0, subtypeFind, "later");
    EXPECT_EQ(2, handler.SubmitAction(action));
    SetBrowserSetting(3);
    ASSERT_TRUE(QuiURLHandler::GetDefaultBrowser()->CreateBrowser());
    struct Pass {
        DWORD tick;
        bool refused;
        int sent;
    };
    const Pass passes[] = {
        {100, true, 0},       // tried: the browser refuses
        {30000, false, 0},    // within the minute: not tried
        {60099, false, 0},
        {60100, false, 1},    // a minute after the last try
        {200000, false, 0},   // nothing waits
    };
    for (const Pass& pass : passes) {
        m_standIns.SetFailCalls(pass.refused ? std::vector<const char*>{"InternetExplorer.Navigate"}
                                             : std::vector<const char*>{});
        EXPECT_EQ(pass.sent, handler.SendQueuedWhenDue(pass.tick)) << pass.tick;
    }
    const std::vector<std::string> expected = {
        "InternetExplorer.Create",
        "InternetExplorer.Navigate http://find.test/?q=later&who=Ann+O%27Lee failed",
        "InternetExplorer.Navigate http://find.test/?q=later&who=Ann+O%27Lee",
        "InternetExplorer.Visible=true",
    };
    EXPECT_EQ(expected, Log());
}

}  // namespace
