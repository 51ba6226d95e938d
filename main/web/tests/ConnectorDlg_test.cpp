// The connector dialogs over a test datastore whose connectors folder is the
// test's own current folder: tabs by service type, enabling and disabling by
// moving files, and the list of web actions with their versions.
#include "ConnectorDlg.h"
#include "DatastoreTestSupport.h"
#include "ModalDriver.h"
#include "PrefPages.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"
#include "SplashWnd.h"
#include "TestSupport.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>

namespace {

using datastore_test::Exists;

const char kDisabled[] = "Connectors (Disabled)\\";

class DialogApp : public CQuillmateApp {
public:
    CActionNote* CreateNote(BOOL) override { return nullptr; }
    CDatastore* GetDatastore() override { return datastore; }
    CDatastore* datastore = nullptr;
};

// One connector with one subtype named "<name> action".
std::string Connector(const std::string& name, const char* type, const char* category, const char* extra = "")
{
    std::string text = "<CONNECTOR MENUSTRING=\"" + name + "\">\n<SUBTYPE MENUSTRING=\"" + name +
                       " action\" METHOD=\"GET\" VERSION=\"1.5\" ACTION=\"http://x.test/\" SERVICECATEGORY=\"" +
                       category + "\"";
    if (type && *type)
        text += std::string(" SERVICETYPE=\"") + type + "\"";
    return text + " " + extra + " >\n</SUBTYPE>\n</CONNECTOR>\n";
}

template <class T>
using Driver = ModalDriver<T>;

std::vector<std::string> ListRows(HWND list, bool withChecks)
{
    std::vector<std::string> rows;
    int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
        char first[256] = "", second[256] = "";
        ListView_GetItemText(list, i, 0, first, sizeof first);
        ListView_GetItemText(list, i, 1, second, sizeof second);
        std::string row = std::string(first) + "|" + second;
        if (withChecks)
            row += ListView_GetCheckState(list, i) ? "|on" : "|off";
        rows.push_back(row);
    }
    return rows;
}

int TabNamed(CConnectorDlg* dialog, const char* name)
{
    for (int i = 0; i < dialog->GetTabCount(); ++i) {
        if (dialog->GetTabName(i) == name)
            return i;
    }
    return -1;
}

int RowNamed(CListCtrl* list, const char* menuString)
{
    for (int i = 0; i < list->GetItemCount(); ++i) {
        if (list->GetItemText(i, 1) == menuString)
            return i;
    }
    return -1;
}

class ConnectorDialogs : public datastore_test::Datastore {
protected:
    void SetUp() override
    {
        datastore_test::Datastore::SetUp();
        datastore = std::make_unique<datastore_test::TestDatastore>();
        datastore->RegisterTypes();
        app.datastore = datastore.get();
    }
    void TearDown() override
    {
        app.datastore = nullptr;
        datastore.reset();
        datastore_test::Datastore::TearDown();
    }

    void Disabled(const char* file, const std::string& text)
    {
        GetDisabledConnectorsFolder();
        WriteBytes(std::string(kDisabled) + file, text);
    }

    CWebActionHandler& Handler() { return *datastore->GetWebActionHandler(); }

    std::unique_ptr<datastore_test::TestDatastore> datastore;
    DialogApp app;
};

} // namespace

TEST_F(ConnectorDialogs, OneTabPerServiceTypeEnabledConnectorsFirst)
{
    WriteBytes("a.xml", Connector("Big", "Search", "Engine"));
    WriteBytes("b.xml", Connector("small", "search", "Lower"));
    WriteBytes("c.xml", Connector("Plain", "", "Odd"));
    WriteBytes("d.xml", Connector("Secret", "Search", "Hidden", "WEBACTION=\"Hidden\""));
    WriteBytes("e.xml", Connector("Cal", "Search", "None", "WEBACTION=\"NO\""));
    Disabled("f.xml", Connector("Shop", "Search", "Store",
                                "DESCRIPTION=\"Buys things\" LONGDESCRIPTION=\"Buys things for you\""));
    Handler().LoadConnectors();

    std::vector<std::string> tabs, searchRows, otherRows;
    std::vector<std::string> descriptions;
    Driver<CConnectorDlg> driver([&](CConnectorDlg* dialog) {
        for (int i = 0; i < dialog->GetTabCount(); ++i)
            tabs.push_back(std::string(dialog->GetTabName(i)));
        int search = TabNamed(dialog, "Search");
        dialog->SelectTab(search);
        CConnectorListCtrl* list = dialog->GetTabList(search);
        EXPECT_EQ(list, dialog->GetShownList());
        EXPECT_TRUE(list->IsWindowVisible());
        searchRows = ListRows(list->m_hWnd, true);
        otherRows = ListRows(dialog->GetTabList(TabNamed(dialog, "Miscellaneous"))->m_hWnd, true);
        EXPECT_EQ(0, list->GetNextItem(-1, LVNI_SELECTED)) << "the top row is selected";
        EXPECT_FALSE(dialog->GetDlgItem(IDC_CONNECTORS_DESC)->IsWindowVisible()) << "the top row has none";
        list->SetItemState(RowNamed(list, "Shop action"), LVIS_SELECTED, LVIS_SELECTED);
        for (int id : {IDC_CONNECTORS_DESC, IDC_CONNECTORS_LONGDESC}) {
            CString text;
            dialog->GetDlgItemText(id, text);
            descriptions.push_back(std::string(text) + (dialog->GetDlgItem(id)->IsWindowVisible() ? "" : "(hidden)"));
        }
        EXPECT_FALSE(QuiRunConnectorDlg()) << "the open dialog is activated";
        dialog->PostMessage(WM_COMMAND, IDCANCEL);
    });
    EXPECT_FALSE(QuiRunConnectorDlg());
    EXPECT_EQ(1, driver.ran);
    std::sort(tabs.begin(), tabs.end());
    EXPECT_EQ((std::vector<std::string>{"Miscellaneous", "Search", "search"}), tabs);
    EXPECT_EQ((std::vector<std::string>{"Engine|Big action|on", "Store|Shop action|off"}), searchRows);
    EXPECT_EQ(std::vector<std::string>{"Odd|Plain action|on"}, otherRows);
    EXPECT_EQ((std::vector<std::string>{"Buys things", "Buys things for you"}), descriptions);
    EXPECT_TRUE(Exists(std::string(kDisabled) + "f.xml")) << "Cancel moves nothing";
    EXPECT_EQ(nullptr, CConnectorDlg::GetOpen());
}

TEST_F(ConnectorDialogs, WithoutConnectorsOneEmptyTab)
{
    Handler().LoadConnectors();
    Driver<CConnectorDlg> driver([&](CConnectorDlg* dialog) {
        ASSERT_EQ(1, dialog->GetTabCount());
        CString other;
        other.LoadString(IDS_CONNECTORS_OTHER);
        EXPECT_EQ(other, dialog->GetTabName(0));
        EXPECT_EQ(0, dialog->GetTabList(0)->GetItemCount());
        dialog->PostMessage(WM_COMMAND, IDOK);
    });
    EXPECT_FALSE(QuiRunConnectorDlg()) << "nothing changed";
    EXPECT_EQ(1, driver.ran);
}

TEST_F(ConnectorDialogs, OkMovesTheChangedFilesAndBindsTheItemsAtOnce)
{
    WriteBytes("a.xml", Connector("Big", "Search", "Engine", "KEYWORDS=\"big\""));
    Disabled("f.xml", Connector("Shop", "Search", "Store", "KEYWORDS=\"shop\""));
    ASSERT_TRUE(datastore->SyncItems());
    ASSERT_NE(nullptr, datastore->Item("Big_Big action"));
    Driver<CConnectorDlg> driver([&](CConnectorDlg* dialog) {
        CConnectorListCtrl* list = dialog->GetTabList(0);
        list->SetCheck(RowNamed(list, "Big action"), FALSE);
        list->SetCheck(RowNamed(list, "Shop action"), TRUE);
        dialog->PostMessage(WM_COMMAND, ID_CONNECTORS_APPLY);
    });
    EXPECT_TRUE(QuiRunConnectorDlg());
    EXPECT_EQ(1, driver.ran);
    EXPECT_TRUE(Exists("f.xml"));
    EXPECT_TRUE(Exists(std::string(kDisabled) + "a.xml"));
    // The notes' reload may be refused; the items point at the records that
    // exist now.
    EXPECT_EQ(nullptr, datastore->Item("Big_Big action"));
    auto* shop = dynamic_cast<CWebActionItem*>(datastore->Item("Shop_Shop action"));
    ASSERT_NE(nullptr, shop);
    const auto& enabled = Handler().GetEnabledConnectors().GetConnectors();
    ASSERT_EQ(1u, enabled.size());
    EXPECT_EQ(&enabled[0].m_subtypes[0], shop->GetSubtype());
}

// A filing that waits names its connectors by position: none moves under it.
TEST_F(ConnectorDialogs, OkWhileAFilingWaitsIsRefusedAndTheDialogStaysForALaterTry)
{
    WriteBytes("a.xml", Connector("Big", "Search", "Engine"));
    Handler().LoadConnectors();
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    CConnectorDlg dialog(Handler());
    Driver<CConnectorDlg> driver([&](CConnectorDlg* open) {
        CConnectorListCtrl* list = open->GetTabList(0);
        list->SetCheck(RowNamed(list, "Big action"), FALSE);
        {
            CAppWait wait;
            open->SendMessage(WM_COMMAND, IDOK);
        }
        EXPECT_TRUE(::IsWindow(open->GetSafeHwnd()));
        EXPECT_TRUE(Exists("a.xml")) << "moved while the filing waited";
        open->PostMessage(WM_COMMAND, IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    CString wait;
    wait.LoadString(IDS_WAIT_FOR_FILING);
    ASSERT_EQ(1u, prompts.Asked().size());
    EXPECT_EQ(wait, prompts.Asked()[0].text);
    EXPECT_TRUE(Exists(std::string(kDisabled) + "a.xml"));
}

TEST_F(ConnectorDialogs, TickedAndUntickedAgainAsksForTheStateItHad)
{
    Disabled("f.xml", Connector("Shop", "Search", "Store"));
    Handler().LoadConnectors();
    UINT flags = 0;
    Driver<CConnectorDlg> driver([&](CConnectorDlg* dialog) {
        CConnectorListCtrl* list = dialog->GetTabList(0);
        list->SetCheck(0, TRUE);
        list->SetCheck(0, FALSE);
        flags = dialog->GetEntries().front().flags;
        dialog->PostMessage(WM_COMMAND, IDOK);
    });
    EXPECT_TRUE(QuiRunConnectorDlg());
    EXPECT_EQ(static_cast<UINT>(CConnectorDlg::flagChanged), flags);
    EXPECT_TRUE(Exists(std::string(kDisabled) + "f.xml"));
}

struct StuckRow {
    const char* what;
    bool disableBig;    // a.xml moves
    bool enableShop;    // f.xml cannot: the connectors folder has a file of that name
    BOOL applied;
    const char* named;  // the connectors the message names; null for no message
};

const StuckRow kStuckRows[] = {
    {"one moved and one stuck", true, true, TRUE, "Shop action"},
    {"only the stuck one", false, true, FALSE, "Shop action"},
    {"only one that moves", true, false, TRUE, nullptr},
};

TEST_F(ConnectorDialogs, OkNamesTheConnectorsThatCouldNotMove)
{
    const std::string stray = "someone else's f.xml";
    for (const StuckRow& row : kStuckRows) {
        SCOPED_TRACE(row.what);
        for (const std::string& file : {std::string("a.xml"), std::string(kDisabled) + "a.xml"})
            DeleteFileA(file.c_str());
        WriteBytes("a.xml", Connector("Big", "Search", "Engine"));
        WriteBytes("f.xml", stray);
        Disabled("f.xml", Connector("Shop", "Search", "Store"));
        Handler().LoadConnectors();
        Handler().LoadDisabledConnectors();

        CPromptScript prompts;
        prompts.AnswerNext(IDOK);
        CConnectorDlg dialog(Handler());
        Driver<CConnectorDlg> driver([&](CConnectorDlg* open) {
            CConnectorListCtrl* list = open->GetTabList(0);
            if (row.disableBig)
                list->SetCheck(RowNamed(list, "Big action"), FALSE);
            if (row.enableShop)
                list->SetCheck(RowNamed(list, "Shop action"), TRUE);
            open->PostMessage(WM_COMMAND, IDOK);
        });
        EXPECT_EQ(IDOK, dialog.DoModal());
        EXPECT_EQ(1, driver.ran);
        EXPECT_EQ(row.applied, dialog.HasAppliedChanges());
        if (row.named) {
            EXPECT_EQ(1u, prompts.Asked().size());
            const std::string text(prompts.Asked().empty() ? "" : prompts.Asked()[0].text);
            EXPECT_NE(std::string::npos, text.find(std::string("\r\n") + row.named + "\r\n")) << text;
            EXPECT_EQ(std::string::npos, text.find("Big action")) << text;
        } else {
            EXPECT_TRUE(prompts.Asked().empty());
        }
        EXPECT_EQ(0, prompts.Unexpected());
        EXPECT_EQ(stray, QuiTesting::ReadText("f.xml"));
        EXPECT_EQ(Connector("Shop", "Search", "Store"), QuiTesting::ReadText(std::string(kDisabled) + "f.xml"));
        EXPECT_EQ(row.disableBig, Exists(std::string(kDisabled) + "a.xml"));
    }
}

TEST_F(ConnectorDialogs, AFilesConnectorsAreTickedTogetherAndThatIsSaidOnce)
{
    WriteBytes("a.xml", Connector("Big", "Search", "Engine") + Connector("Small", "Find", "Lesser") +
                            Connector("Quiet", "", "", "WEBACTION=\"Hidden\""));
    WriteBytes("c.xml", Connector("Other", "Search", "Else"));
    Handler().LoadConnectors();
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    std::vector<std::string> afterOne, afterAll;
    Driver<CConnectorDlg> driver([&](CConnectorDlg* dialog) {
        auto rows = [&] {
            std::vector<std::string> all;
            for (int tab = 0; tab < dialog->GetTabCount(); ++tab) {
                for (const std::string& row : ListRows(dialog->GetTabList(tab)->m_hWnd, true))
                    all.push_back(row);
            }
            std::sort(all.begin(), all.end());
            return all;
        };
        CConnectorListCtrl* search = dialog->GetTabList(TabNamed(dialog, "Search"));
        CConnectorListCtrl* find = dialog->GetTabList(TabNamed(dialog, "Find"));
        search->SetCheck(RowNamed(search, "Big action"), FALSE);
        afterOne = rows();
        find->SetCheck(RowNamed(find, "Small action"), TRUE);
        find->SetCheck(RowNamed(find, "Small action"), FALSE);
        afterAll = rows();
        dialog->PostMessage(WM_COMMAND, IDOK);
    });
    EXPECT_TRUE(QuiRunConnectorDlg());
    const std::vector<std::string> expected{"Else|Other action|on", "Engine|Big action|off", "Lesser|Small action|off"};
    EXPECT_EQ(expected, afterOne) << "the other connector of the file, on its own tab, goes with it";
    EXPECT_EQ(expected, afterAll);
    ASSERT_EQ(1u, prompts.Asked().size()) << "one note for the file";
    CString note;
    note.Format(IDS_CONNECTORS_SAME_FILE, "Big action", "Small action\r\nQuiet action\r\n");
    EXPECT_STREQ(note, prompts.Asked()[0].text);
    EXPECT_EQ(0, prompts.Unexpected()) << "nothing reported as not found";
    EXPECT_TRUE(Exists(std::string(kDisabled) + "a.xml"));
    EXPECT_TRUE(Exists("c.xml"));
    EXPECT_EQ(3u, Handler().GetDisabledConnectors().size());
}

TEST_F(ConnectorDialogs, AConnectorWhoseFileWentMeanwhileIsReported)
{
    WriteBytes("a.xml", Connector("Big", "Search", "Engine"));
    WriteBytes("c.xml", Connector("Other", "Search", "Else"));
    Handler().LoadConnectors();
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    CConnectorDlg dialog(Handler());
    Driver<CConnectorDlg> driver([&](CConnectorDlg* open) {
        CConnectorListCtrl* list = open->GetTabList(0);
        list->SetCheck(RowNamed(list, "Big action"), FALSE);
        list->SetCheck(RowNamed(list, "Other action"), FALSE);
        // Another program takes the file away while the dialog is open.
        ASSERT_TRUE(DeleteFileA("a.xml"));
        Handler().LoadConnectors();
        open->PostMessage(WM_COMMAND, IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_TRUE(dialog.HasAppliedChanges());
    ASSERT_EQ(1u, prompts.Asked().size());
    CString expected;
    expected.Format(IDS_CONNECTORS_NOT_FOUND, "Big action\r\n");
    EXPECT_STREQ(expected, prompts.Asked()[0].text);
    EXPECT_TRUE(Exists(std::string(kDisabled) + "c.xml"));
}

TEST_F(ConnectorDialogs, AChangeOnAnyTabIsAppliedHoweverManyTabs)
{
    const int kTabs = 40;
    for (int i = 0; i < kTabs; ++i) {
        std::string name = "T" + std::to_string(100 + i);
        Disabled((name + ".xml").c_str(), Connector(name, ("Type " + name).c_str(), "Cat"));
    }
    Handler().LoadConnectors();
    std::string last;
    Driver<CConnectorDlg> driver([&](CConnectorDlg* dialog) {
        ASSERT_EQ(kTabs, dialog->GetTabCount());
        int tab = TabNamed(dialog, "Type T139");
        ASSERT_GE(tab, 0);
        dialog->SelectTab(tab);
        dialog->GetTabList(tab)->SetCheck(0, TRUE);
        last = std::string(dialog->GetTabList(tab)->GetItemText(0, 1));
        dialog->PostMessage(WM_COMMAND, IDOK);
    });
    EXPECT_TRUE(QuiRunConnectorDlg());
    EXPECT_EQ("T139 action", last);
    EXPECT_TRUE(Exists("T139.xml"));
}

TEST_F(ConnectorDialogs, TheInformationListsTheEnabledActionsWithTheirVersions)
{
    WriteBytes("a.xml", Connector("Big", "Search", "Engine") + Connector("Secret", "", "", "WEBACTION=\"Hidden\"") +
                            Connector("Cal", "", "", "WEBACTION=\"no\""));
    Disabled("f.xml", Connector("Shop", "Search", "Store"));
    Handler().LoadConnectors();
    std::vector<std::string> rows;
    Driver<CConnectorInfoDlg> driver([&](CConnectorInfoDlg* dialog) {
        rows = ListRows(dialog->GetDlgItem(IDC_CONNECTOR_INFO_LIST)->m_hWnd, false);
        dialog->PostMessage(WM_COMMAND, IDOK);
    });
    QuiRunConnectorInfoDlg(nullptr);
    EXPECT_EQ(1, driver.ran);
    EXPECT_EQ((std::vector<std::string>{"Big action|1.5", "Secret action|1.5"}), rows);
}

TEST_F(ConnectorDialogs, TheSplashWindowsButtonRunsTheInstalledInformation)
{
    WriteBytes("a.xml", Connector("Big", "Search", "Engine"));
    Handler().LoadConnectors();
    QuiInstallConnectorDialogs();
    CSplashWnd* splash = ShowSplash(nullptr, TRUE);
    ASSERT_NE(nullptr, splash);
    CWnd* connectors = splash->GetDlgItem(CSplashWnd::IDC_CONNECTORS);
    ASSERT_NE(nullptr, connectors);
    EXPECT_TRUE(connectors->IsWindowEnabled());
    std::vector<std::string> rows;
    bool splashEnabled = true;
    Driver<CConnectorInfoDlg> driver([&](CConnectorInfoDlg* dialog) {
        rows = ListRows(dialog->GetDlgItem(IDC_CONNECTOR_INFO_LIST)->m_hWnd, false);
        splashEnabled = splash->IsWindowEnabled() != FALSE;
        dialog->PostMessage(WM_COMMAND, IDOK);
    });
    ::SendMessageA(connectors->GetSafeHwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(1, driver.ran);
    EXPECT_EQ(std::vector<std::string>{"Big action|1.5"}, rows);
    EXPECT_FALSE(splashEnabled);
    EXPECT_TRUE(splash->IsWindowEnabled());
    splash->DestroyWindow();
    CSplashWnd::SetConnectorInfoRunner(nullptr);
    CPropPageAdvanced::SetConnectorDlgRunner(nullptr);
}
