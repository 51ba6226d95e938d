#include <gtest/gtest.h>
#include <windows.h>

#include <ctime>
#include <string>
#include <vector>

#include "AllocationLimit.h"
#include "BrowserTestSupport.h"
#include "DDEClient.h"

namespace {

const char kService[] = "dde NETSCAPE ";

// The process's DDE instance for one test, as a driver holds it.
class DDEClientTest : public BrowserTest {
protected:
    void SetUp() override
    {
        BrowserTest::SetUp();
        ASSERT_TRUE(DDEStartInstance());
    }
    void TearDown() override
    {
        m_standIns.StopDdeBrowsers();
        DDEEndInstance();
    }

    std::vector<std::string> Requests() const { return m_standIns.Lines(std::string(kService) + "request "); }
};

TEST_F(DDEClientTest, OpenURLSendsSevenFieldsWithEmptyOnesAbsent)
{
    m_standIns.StartDdeBrowser("NETSCAPE");
    CDDEObject dde(0);
    EXPECT_EQ(1, dde.OpenURL("http://example.test/a b", "", DDE_NO_WINDOW, 4, "", "", ""));
    EXPECT_EQ(1, dde.OpenURL("http://example.test/?q=\"x\"", "page.htm", 3, 0, "a=1", "text/html", "Progress1"));
    const std::vector<std::string> expected = {
        "dde NETSCAPE request WWW_OpenURL \"http://example.test/a b\",,4294967295,4,,,",
        "dde NETSCAPE request WWW_OpenURL \"http://example.test/?q=\\\"x\\\"\",\"page.htm\",3,0,\"a=1\","
        "\"text/html\",Progress1",
    };
    EXPECT_EQ(expected, Requests());
}

TEST_F(DDEClientTest, RequestsOfTheOtherVerbs)
{
    m_standIns.StartDdeBrowser("NETSCAPE");
    CDDEObject dde(0);
    EXPECT_EQ(0, dde.Activate(DDE_NO_WINDOW, 0));
    EXPECT_EQ(0, dde.GetVersion());
    EXPECT_EQ(0, dde.SetWindowPosition(2, 0, 10, 20, 300, 400));
    EXPECT_EQ(0, dde.SetWindowPosition(2, 1, 10, 20, 300, 400));
    const std::vector<std::string> expected = {
        "dde NETSCAPE request WWW_Activate 4294967295,0",
        "dde NETSCAPE request WWW_Version WWW_Version",
        "dde NETSCAPE poke WWW_WindowChange 2,0,,,,",
        "dde NETSCAPE poke WWW_WindowChange 2,1,10,20,300,400",
    };
    EXPECT_EQ(expected, m_standIns.Lines(kService));
    EXPECT_TRUE(dde.m_conversations.empty()) << "each request closes its conversation";
}

TEST_F(DDEClientTest, WindowListHoldsAtMostTwentyIdentifiers)
{
    struct Case {
        DWORD windows;
        int expected;
    };
    const Case cases[] = {{0, 0}, {1, 1}, {3, 3}, {20, 20}, {25, 20}};
    m_standIns.StartDdeBrowser("NETSCAPE");
    CDDEObject dde(0);
    for (const Case& c : cases) {
        m_standIns.SetStandInNumber("WindowCount", c.windows);
        DWORD* windows = nullptr;
        int count = dde.ListWindows(&windows);
        ASSERT_NE(nullptr, windows);
        EXPECT_EQ(c.expected, count) << c.windows << " windows";
        for (int i = 0; i < static_cast<int>(DDE_MAX_WINDOWS); ++i)
            EXPECT_EQ(i < count ? static_cast<DWORD>(i + 1) : 0u, windows[i]) << c.windows << " windows, entry " << i;
        delete[] windows;
    }
}

TEST_F(DDEClientTest, BrowserNotRunningMakesEveryRequestANoOp)
{
    CDDEObject dde(0);
    DWORD* windows = nullptr;
    EXPECT_EQ(0, dde.ListWindows(&windows));
    ASSERT_NE(nullptr, windows) << "the caller still gets an empty list";
    for (int i = 0; i < static_cast<int>(DDE_MAX_WINDOWS); ++i)
        EXPECT_EQ(0u, windows[i]);
    delete[] windows;
    EXPECT_EQ(0, dde.OpenURL("http://example.test/", "", DDE_NO_WINDOW, 0, "", "", ""));
    EXPECT_TRUE(dde.m_conversations.empty());
}

TEST_F(DDEClientTest, RefusedTopicSendsNothing)
{
    m_standIns.SetFailCalls({"WWW_OpenURL"});
    m_standIns.StartDdeBrowser("NETSCAPE");
    CDDEObject dde(0);
    dde.OpenURL("http://example.test/", "", DDE_NO_WINDOW, 0, "", "", "");
    dde.GetVersion();
    const std::vector<std::string> expected = {"dde NETSCAPE refused WWW_OpenURL",
                                               "dde NETSCAPE request WWW_Version WWW_Version"};
    EXPECT_EQ(expected, m_standIns.Lines(kService));
}

// A browser that never answers: the request gives up at its time-out and the
// object goes on working.
TEST_F(DDEClientTest, UnansweredRequestEndsAtItsTimeout)
{
    m_standIns.SetFailCalls({"stall:WWW_ListWindows"});
    m_standIns.StartDdeBrowser("NETSCAPE");
    CDDEObject dde(0);
    dde.SetTimeout(300);
    DWORD* windows = nullptr;
    const DWORD start = GetTickCount();
    EXPECT_EQ(0, dde.ListWindows(&windows));
    const DWORD elapsed = GetTickCount() - start;
    delete[] windows;
    EXPECT_GE(elapsed, 250u);
    EXPECT_LT(elapsed, static_cast<DWORD>(DDE_TRANSACTION_TIMEOUT));
    EXPECT_TRUE(dde.m_conversations.empty());
    dde.GetVersion();
    EXPECT_EQ(1u, m_standIns.Lines("dde NETSCAPE request WWW_Version").size());
}

TEST_F(DDEClientTest, ObjectNamesCountUp)
{
    CDDEObject first;
    CDDEObject second(60063, 60064);
    CString firstName = first.GetName();
    CString secondName = second.GetName();
    ASSERT_EQ(0, firstName.Find("Quillmate")) << firstName;
    ASSERT_EQ(0, secondName.Find("QuillmateNeo")) << secondName;
    unsigned long firstNumber = strtoul(firstName.Mid(9), nullptr, 10);
    unsigned long secondNumber = strtoul(secondName.Mid(12), nullptr, 10);
    EXPECT_GT(firstNumber, 0u);
    EXPECT_EQ(firstNumber + 1, secondNumber);
}

//--- the answering side: a browser calling the program's object

struct Call {
    const char* topic;
    UINT type;
    const char* item;
};

struct Answer {
    bool connected = false;
    bool answered = false;
    std::vector<BYTE> data;
    DWORD flags = 0;
};

struct BrowserThread {
    std::string service;
    Call call;
    Answer answer;
};

HDDEDATA CALLBACK IgnoreCalls(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

// Another DDE instance, on its own thread, as a browser would be.
DWORD WINAPI CallProgram(void* parameter)
{
    BrowserThread* browser = static_cast<BrowserThread*>(parameter);
    DWORD instance = 0;
    if (DdeInitializeA(&instance, IgnoreCalls, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return 1;
    HSZ service = DdeCreateStringHandleA(instance, browser->service.c_str(), CP_WINANSI);
    HSZ topic = DdeCreateStringHandleA(instance, browser->call.topic, CP_WINANSI);
    HSZ item = DdeCreateStringHandleA(instance, browser->call.item, CP_WINANSI);
    if (HCONV conversation = DdeConnect(instance, service, topic, nullptr)) {
        browser->answer.connected = true;
        DWORD result = 0;
        HDDEDATA reply = DdeClientTransaction(nullptr, 0, conversation, item, CF_TEXT, browser->call.type, 5000,
                                              &result);
        browser->answer.flags = result;
        if (reply && browser->call.type == XTYP_REQUEST) {
            browser->answer.answered = true;
            DWORD size = DdeGetData(reply, nullptr, 0, 0);
            browser->answer.data.resize(size);
            DdeGetData(reply, browser->answer.data.data(), size, 0);
            DdeFreeDataHandle(reply);
        } else if (reply) {
            browser->answer.answered = true;
        }
        DdeDisconnect(conversation);
    }
    DdeFreeStringHandle(instance, item);
    DdeFreeStringHandle(instance, topic);
    DdeFreeStringHandle(instance, service);
    DdeUninitialize(instance);
    return 0;
}

class DDEAnswerTest : public DDEClientTest {
protected:
    Answer Ask(const CDDEObject& object, const Call& call)
    {
        BrowserThread browser{static_cast<LPCSTR>(object.GetName()), call, {}};
        HANDLE thread = CreateThread(nullptr, 0, CallProgram, &browser, 0, nullptr);
        EXPECT_NE(nullptr, thread);
        if (!thread)
            return {};
        EXPECT_TRUE(m_standIns.PumpUntil([thread] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, thread))
            << call.topic;
        CloseHandle(thread);
        return browser.answer;
    }
};

TEST_F(DDEAnswerTest, RequestsAreAnsweredBinaryForSingleNumbersAndBooleans)
{
    CDDEObject dde;
    const DWORD before = static_cast<DWORD>(time(nullptr));

    Answer alert = Ask(dde, {"WWW_Alert", XTYP_REQUEST, "\"Disk full\",4294967295,16"});
    ASSERT_TRUE(alert.connected);
    ASSERT_EQ(4u, alert.data.size()) << "a single DW arrives as 4 bytes, not as text";
    EXPECT_EQ(0u, *reinterpret_cast<DWORD*>(alert.data.data()));

    Answer progress = Ask(dde, {"WWW_BeginProgress", XTYP_REQUEST, "1,\"Loading\""});
    ASSERT_EQ(4u, progress.data.size());
    DWORD seconds = *reinterpret_cast<DWORD*>(progress.data.data());
    EXPECT_GE(seconds, before);
    EXPECT_LE(seconds, static_cast<DWORD>(time(nullptr)));

    Answer opened = Ask(dde, {"WWW_OpenURL", XTYP_REQUEST, "\"http://x/\",,1,0,,,"});
    EXPECT_EQ(4u, opened.data.size());

    Answer making = Ask(dde, {"WWW_MakingProgress", XTYP_REQUEST, "1,\"Loading\",50"});
    ASSERT_EQ(2u, making.data.size()) << "a single BL arrives as 2 bytes";
    EXPECT_EQ(0, *reinterpret_cast<WORD*>(making.data.data()));

    Answer viewer = Ask(dde, {"WWW_QueryViewer", XTYP_REQUEST, "\"http://x/a.txt\",\"text/plain\""});
    ASSERT_GT(viewer.data.size(), 2u);
    std::string file(reinterpret_cast<const char*>(viewer.data.data()));
    EXPECT_EQ('"', file.front()) << file;
    EXPECT_EQ('"', file.back()) << file;
    // The C library may shorten the prefix "nstest".
    EXPECT_TRUE(file.find("nst") != std::string::npos) << file;
}

TEST_F(DDEAnswerTest, PokesAreAcknowledgedAndUnknownVerbsRefused)
{
    CDDEObject dde;
    const Call pokes[] = {
        {"WWW_EndProgress", XTYP_POKE, "1"},
        {"WWW_SetProgressRange", XTYP_POKE, "1,100"},
        {"WWW_URLEcho", XTYP_POKE, "\"http://x/\",\"text/html\",1,\"\""},
        {"WWW_ViewDocFile", XTYP_POKE, "\"c:\\a.htm\",\"http://x/\",\"text/html\",1"},
        {"WWW_WindowChange", XTYP_POKE, "1,0,,,,"},
    };
    for (const Call& poke : pokes) {
        Answer answer = Ask(dde, poke);
        EXPECT_TRUE(answer.connected) << poke.topic;
        EXPECT_TRUE(answer.answered) << poke.topic;
        EXPECT_TRUE(answer.flags & DDE_FACK) << poke.topic;
    }
    const Call refused[] = {
        {"WWW_Exit", XTYP_REQUEST, "1"},
        {"WWW_ParseAnchor", XTYP_REQUEST, "\"a\",\"b\""},
        {"WWW_Activate", XTYP_POKE, "1,0"},
        {"WWW_OpenURL", XTYP_POKE, "\"http://x/\",,1,0,,,"},
    };
    for (const Call& call : refused) {
        Answer answer = Ask(dde, call);
        EXPECT_TRUE(answer.connected) << call.topic;
        if (call.type == XTYP_REQUEST)
            EXPECT_FALSE(answer.answered) << call.topic;
        else
            EXPECT_FALSE(answer.flags & DDE_FACK) << call.topic;
    }
    EXPECT_TRUE(dde.m_conversations.empty()) << "the browser's disconnect ends each conversation";
}

TEST_F(DDEAnswerTest, ACallWithNoMemoryLeftIsRefusedAndTheProgramGoesOn)
{
    CDDEObject dde;
    BrowserThread browser{static_cast<LPCSTR>(dde.GetName()), {"WWW_Alert", XTYP_REQUEST, "\"x\",1,0"}, {}};
    HANDLE thread = nullptr;
    {
        // What the program asks of the heap while it answers fails.
        FailingAllocations none(1);
        thread = CreateThread(nullptr, 0, CallProgram, &browser, 0, nullptr);
        if (thread)
            m_standIns.PumpUntil([thread] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, thread);
    }
    ASSERT_NE(nullptr, thread);
    CloseHandle(thread);
    EXPECT_FALSE(browser.answer.answered);
    EXPECT_TRUE(Ask(dde, {"WWW_Alert", XTYP_REQUEST, "\"x\",1,0"}).answered);
}

TEST_F(DDEAnswerTest, OnlyTheProgramsOwnNamesAreServed)
{
    CDDEObject dde;
    BrowserThread browser{"NoSuchQuillmateParty", {"WWW_Alert", XTYP_REQUEST, "\"x\",1,0"}, {}};
    HANDLE thread = CreateThread(nullptr, 0, CallProgram, &browser, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    EXPECT_TRUE(m_standIns.PumpUntil([thread] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, thread));
    CloseHandle(thread);
    EXPECT_FALSE(browser.answer.connected);
}

}  // namespace
