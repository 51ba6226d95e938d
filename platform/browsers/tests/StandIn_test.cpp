#include <gtest/gtest.h>
#include <windows.h>
#include <exdisp.h>

#include <string>
#include <vector>

#include "BrowserStandInFixture.h"
#include "QuiComTesting.h"

namespace {

using QuiComTesting::Ptr;

class BrowserStandInTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(m_apartment.Result())); }

    Ptr<IDispatch> Create(const wchar_t* progId)
    {
        Ptr<IDispatch> object;
        CLSID clsid;
        EXPECT_EQ(S_OK, CLSIDFromProgID(progId, &clsid));
        EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.OutVoid()));
        return object;
    }

    QuiComTesting::Apartment m_apartment;
    BrowserStandInTesting::Installation m_standIns;
};

// Netscape's network object is called by its number, the Notes workspace
// by its members' names.
TEST_F(BrowserStandInTest, MembersHaveTheirDispatchIds)
{
    struct Case {
        const wchar_t* progId;
        const wchar_t* member;
        HRESULT found;
        DISPID id;  // DISPID_UNKNOWN: any the type library gives
    };
    const Case cases[] = {
        {L"Netscape.Network.1", L"Open", S_OK, 9},
        {L"Notes.NotesUIWorkspace", L"URLOpen", S_OK, DISPID_UNKNOWN},
        {L"Notes.NotesUIWorkspace", L"OpenURL", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
    };
    for (const Case& c : cases) {
        Ptr<IDispatch> object = Create(c.progId);
        ASSERT_TRUE(object);
        LPOLESTR name = const_cast<LPOLESTR>(c.member);
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(c.found, object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id)) << c.member;
        if (c.id != DISPID_UNKNOWN) {
            EXPECT_EQ(c.id, id) << c.member;
        }
    }
}

TEST_F(BrowserStandInTest, WebBrowserRecordsCallsItDidNotExpect)
{
    Ptr<IWebBrowser2> browser;
    CLSID clsid;
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"InternetExplorer.Application", &clsid));
    ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IWebBrowser2, browser.OutVoid()));
    EXPECT_EQ(E_NOTIMPL, browser->GoHome());
    // Quit ends the browser: nothing reaches it afterwards.
    EXPECT_EQ(S_OK, browser->Quit());
    EXPECT_EQ(RPC_E_DISCONNECTED, browser->Stop());
    const std::vector<std::string> expected = {"InternetExplorer.Create", "InternetExplorer.Unexpected GoHome",
                                               "InternetExplorer.Quit"};
    EXPECT_EQ(expected, m_standIns.Log());
}

TEST_F(BrowserStandInTest, WebBrowserToldToFailIsNotCreated)
{
    m_standIns.SetFailCalls({"InternetExplorer.Create"});
    CLSID clsid;
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"InternetExplorer.Application", &clsid));
    Ptr<IUnknown> browser;
    EXPECT_EQ(E_FAIL, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, browser.OutVoid()));
    EXPECT_EQ(std::vector<std::string>{"InternetExplorer.Create failed"}, m_standIns.Log());
}

TEST_F(BrowserStandInTest, UnregisteringTakesTheProgIdsAway)
{
    m_standIns.UnregisterServer();
    for (const wchar_t* progId : {L"InternetExplorer.Application", L"Netscape.Network.1", L"Notes.NotesUIWorkspace"}) {
        CLSID clsid;
        EXPECT_NE(S_OK, CLSIDFromProgID(progId, &clsid));
    }
}

TEST_F(BrowserStandInTest, SecondDdeBrowserForOneServiceOnlyRecordsItsLaunch)
{
    m_standIns.StartDdeBrowser("NETSCAPE");
    std::string commandLine = "\"" + BrowserStandInTesting::Installation::DdeBrowserPath() + "\" NETSCAPE";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
    CloseHandle(process.hThread);
    HANDLE second = process.hProcess;
    EXPECT_TRUE(m_standIns.PumpUntil([second] { return WaitForSingleObject(second, 0) == WAIT_OBJECT_0; }, second));
    CloseHandle(second);
    m_standIns.StopDdeBrowsers();
    const std::vector<std::string> expected = {"launch ddebrowser NETSCAPE", "launch ddebrowser NETSCAPE",
                                               "quit ddebrowser NETSCAPE"};
    EXPECT_EQ(expected, m_standIns.Log());
}

}  // namespace
