// Applying the preferences while the program runs: the web actions' shared
// browser object follows the browser the user chose.
#include "ClientRegistry.h"
#include "DatastoreTestSupport.h"
#include "OzuPrefs.h"
#include "QuillmateApp.h"
#include "URLHandler.h"

namespace {

class BrowserApp : public CQuillmateApp {
public:
    CActionNote* CreateNote(BOOL) override { return nullptr; }
    CDatastore* GetDatastore() override { return datastore; }
    CDatastore* datastore = nullptr;
};

class PrefsApply : public datastore_test::Datastore {};

} // namespace

TEST_F(PrefsApply, TheSharedBrowserObjectFollowsTheChosenBrowser)
{
    BrowserApp app;
    ClientRegistry settings;
    COzuPrefs prefs(settings);
    prefs.Load();
    prefs.m_bHotKeysEnabled = 0;
    // The datastore's web action handler holds the shared browser object.
    datastore_test::TestDatastore datastore;
    ASSERT_NE(nullptr, QuiURLHandler::GetDefaultBrowser());
    const struct {
        bool withDatastore;
        DWORD chosen;
        int type;
    } rows[] = {
        {true, browserExplorer, browserExplorer},
        {true, browserNetscape, browserNetscape},
        // Without a datastore nothing is re-created.
        {false, browserExplorer, browserNetscape},
        {true, browserExplorer, browserExplorer},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.chosen);
        app.datastore = row.withDatastore ? &datastore : nullptr;
        prefs.m_dwBrowser = row.chosen;
        prefs.Apply();
        EXPECT_EQ(row.type, DefaultBrowser::GetBrowserType());
    }
}
