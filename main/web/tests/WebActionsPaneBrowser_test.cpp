// A note's web action end to end: the parser picks the action, the filing
// fills it and the datastore's handler opens it through the Internet
// Explorer stand-in.
#include "WebPaneTestSupport.h"

#include "BrowserStandInFixture.h"
#include "QuiComTesting.h"
#include "WebActionTestSupport.h"

using namespace webpane_test;

namespace {

class WebActionsPaneBrowserTest : public PaneFixture {
protected:
    // The stand-in's lines without the navigation's fixed arguments.
    static std::vector<std::string> Log(const BrowserStandInTesting::Installation& standIns)
    {
        std::vector<std::string> log;
        for (const std::string& line : standIns.Log())
            log.push_back(line.substr(0, line.find(" flags=")));
        return log;
    }

    QuiComTesting::Apartment m_apartment;
};

TEST_F(WebActionsPaneBrowserTest, TheFiledNoteOpensItsWebActionInTheBrowser)
{
    ASSERT_TRUE(SUCCEEDED(m_apartment.Result()));
    BrowserStandInTesting::Installation standIns;
    OwnTempFolder temp;
    // Installing the stand-ins clears the browser choice: choose again.
    BrowserStandInTesting::SetBrowserSetting(kExplorerDriver);
    ASSERT_TRUE(QuiURLHandler::GetDefaultBrowser()->CreateBrowser());
    store.sendForReal = true;
    CPaneNote* note = Open();
    ASSERT_NE(nullptr, note);

    Type(note, "search for blue whales & dolphins");
    EXPECT_EQ(1, note->SendWebAction());
    const std::vector<std::string> expected = {
        "InternetExplorer.Create",
        "InternetExplorer.Navigate http://find.test/?q=blue%20whales%20%26%20dolphins",
        "InternetExplorer.Visible=true",
        "InternetExplorer.Read http://find.test/?q=blue%20whales%20%26%20dolphins",
    };
    EXPECT_EQ(expected, Log(standIns));
}

TEST_F(WebActionsPaneBrowserTest, ANoteWithoutAnActionSendsNothing)
{
    ASSERT_TRUE(SUCCEEDED(m_apartment.Result()));
    BrowserStandInTesting::Installation standIns;
    OwnTempFolder temp;
    store.sendForReal = true;
    CPaneNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "blue whales");
    EXPECT_EQ(0, note->SendWebAction());
    EXPECT_TRUE(store.sent.empty());
    EXPECT_TRUE(standIns.Log().empty());
}

} // namespace
