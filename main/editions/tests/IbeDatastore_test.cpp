// The Palm Desktop datastore against the Palm Desktop stand-in through the
// real Finch, registered on demand from the program's folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GodwitDispIds.h"
#include "GodwitWrapper.h"
#include "IbeDatastore.h"
#include "PalmDesktopFixture.h"
#include "PimTestSupport.h"
#include "QuiComTesting.h"
#include "QuiRegUtil.h"
#include "QuiResIds.h"

using pim_test::FailureOf;

namespace {

// A Palm datastore whose application says whether notes are open.
class CScriptedIbeDatastore : public CIbeDatastore {
public:
    BOOL notesOpen = FALSE;
    int reloads = 0;

protected:
    BOOL NotesAreOpen() override { return notesOpen; }
    void ReloadAfterUserSwitch() override { ++reloads; }
};

class IbeDatastoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(m_ole);
        desktop.AddUser("Zoe", "ZoeD");
        desktop.AddUser("Bob", "BobD");
        desktop.SetLastUser("Zoe");
        desktop.EditTable<CToDoTable>("ZoeD\\todo\\todo.dat", [](CToDoTable& table) {
            CCategory calls(1, 5, "Calls");
            table.GetCategoryManager()->Add(&calls);
        });
        desktop.EditTable<CMemoTable>("ZoeD\\memopad\\memopad.dat", [](CMemoTable& table) {
            CCategory ideas(2, 7, "Ideas");
            table.GetCategoryManager()->Add(&ideas);
        });
        m_finch.Unregister();
        m_godwit.Unregister();
    }
    void TearDown() override
    {
        m_datastore.reset();
        CoFreeUnusedLibraries();
        m_finch.Unregister();
        m_godwit.Unregister();
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quillmate\\Finch");
        if (SUCCEEDED(m_ole))
            OleUninitialize();
    }

    CScriptedIbeDatastore& Datastore()
    {
        if (!m_datastore)
            m_datastore.reset(new CScriptedIbeDatastore);
        return *m_datastore;
    }
    std::string CurrentUser()
    {
        VARIANT user = Datastore().GetWrapper() ? static_cast<IPalmAccessWrapper*>(Datastore().GetWrapper())
                                                      ->GetCurrentUser()
                                                : VARIANT();
        char text[64] = "<none>";
        if (user.vt == VT_BSTR)
            WideCharToMultiByte(CP_ACP, 0, user.bstrVal ? user.bstrVal : L"", -1, text, sizeof text, nullptr, nullptr);
        std::string name = text;
        VariantClear(&user);
        return name;
    }
    std::string Zoe(const char* table) const { return desktop.Dump(std::string("ZoeD\\") + table); }

    HRESULT m_ole = OleInitialize(nullptr);
    pim_test::ResourceLibrary m_resources;
    PalmTesting::TestDesktop desktop;
    QuiComTesting::ServerLibrary m_godwit{(QuiComTesting::ProgramFolder() + "Godwit.ocx").c_str()};
    QuiComTesting::ServerLibrary m_finch{(QuiComTesting::ProgramFolder() + "Finch.ocx").c_str()};
    std::unique_ptr<CScriptedIbeDatastore> m_datastore;
};

TEST_F(IbeDatastoreTest, RegistersTheControlAndLoadsTheUsersCategories)
{
    char file[MAX_PATH];
    ASSERT_FALSE(QuiRegUtil::RegisteredFile("Finch.FinchCtrl.1", file, sizeof file));
    CIbeDatastore& datastore = Datastore();
    EXPECT_TRUE(QuiRegUtil::RegisteredFile("Finch.FinchCtrl.1", file, sizeof file));
    EXPECT_TRUE(QuiRegUtil::RegisteredFile("Godwit.GodwitCtrl.1", file, sizeof file));
    EXPECT_TRUE(datastore.Connect());
    EXPECT_EQ(0, datastore.GetBackEndVersion());
    EXPECT_EQ(60, datastore.GetDefaultDuration());
    EXPECT_EQ(CDatastore::typePalm, datastore.GetType());
    EXPECT_EQ(static_cast<UINT>(IDR_PALM_ACCELERATORS), datastore.GetResourceId());
    EXPECT_TRUE(datastore.LoadItems());
    // The category key ("0##" and the category id) is the item's identifier.
    QuiItem* calls = datastore.GetItemList()->get(QuiItemID("0##5"));
    ASSERT_NE(nullptr, calls);
    EXPECT_STREQ("Calls", calls->getDisplayName());
    EXPECT_EQ(datastore.GetItemType(PIM_TODO_CATEGORY_TYPE), calls->getType());
    QuiItem* ideas = datastore.GetItemList()->get(QuiItemID("0##7"));
    ASSERT_NE(nullptr, ideas);
    EXPECT_EQ(datastore.GetItemType(PIM_JOURNAL_TYPE), ideas->getType());
    EXPECT_EQ("", pim_test::ItemNames(datastore, PIM_CONTACT_TYPE));
}

TEST_F(IbeDatastoreTest, AnItemRecordControlThatFailsToRegisterStopsTheEdition)
{
    // Finch alone would still be made: the failure must not pass for a start.
    pim_test::UnregistrableServer godwit(m_godwit, "Godwit.GodwitCtrl.1");
    EXPECT_EQ(IDS_NO_RECORD_CONTROL, FailureOf([] { CScriptedIbeDatastore datastore; }).id);
}

TEST_F(IbeDatastoreTest, FilesATodoAndRefusesWhatTheControlDidNotFile)
{
    CIbeDatastore& datastore = Datastore();
    {
        CGodwitWrapper record;
        record.AddTypeBit(GODWIT_TYPE_TODO);
        record.SetBody("call the bank");
        record.SetDueDate(pim_test::Tomorrow());
        EXPECT_EQ(1, datastore.FileRecord(record.m_lpDispatch));
    }
    EXPECT_NE(std::string::npos, Zoe("todo\\todo.dat").find("description=\"call the bank\""));
    // The table refuses the record: the control answers 0.
    SetEnvironmentVariableA(PALM_STANDIN_FAIL_VARIABLE, "CBaseTable::AddRecord");
    CGodwitWrapper record;
    record.AddTypeBit(GODWIT_TYPE_TODO);
    record.SetBody("pay the rent");
    EXPECT_EQ(IDS_RECORD_REFUSED, FailureOf([&] { datastore.FileRecord(record.m_lpDispatch); }).id);
    SetEnvironmentVariableA(PALM_STANDIN_FAIL_VARIABLE, nullptr);
    EXPECT_EQ(std::string::npos, Zoe("todo\\todo.dat").find("pay the rent"));
}

TEST_F(IbeDatastoreTest, TheUsersMenu)
{
    struct Row {
        const char* what;
        std::vector<const char*> extraUsers;
        std::vector<std::string> entries;
    } rows[] = {
        {"two users", {}, {"Zoe*", "Bob"}},
        {"seven users: the first five", {"U3", "U4", "U5", "U6", "U7"}, {"Zoe*", "Bob", "U3", "U4", "U5"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (const char* user : row.extraUsers)
            desktop.AddUser(user, (std::string(user) + "D").c_str());
        m_datastore.reset();
        CMenu tray;
        ASSERT_TRUE(tray.CreatePopupMenu());
        tray.AppendMenu(MF_STRING, 133, "New note");
        Datastore().AddTrayMenuItems(&tray, 1);
        ASSERT_EQ(4, tray.GetMenuItemCount());
        EXPECT_EQ(static_cast<UINT>(ID_TRAY_OPEN_PIM), tray.GetMenuItemID(1));
        EXPECT_EQ(0u, tray.GetMenuItemID(2));  // the separator
        HMENU users = GetSubMenu(tray.GetSafeHmenu(), 3);
        ASSERT_NE(nullptr, users);
        std::vector<std::string> entries;
        for (int i = 0; i < GetMenuItemCount(users); ++i) {
            char text[64] = "";
            GetMenuStringA(users, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            bool checked = (GetMenuState(users, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0;
            entries.push_back(std::string(text) + (checked ? "*" : ""));
            EXPECT_EQ(static_cast<UINT>(ID_TRAY_EDITION_FIRST + i), GetMenuItemID(users, i));
        }
        EXPECT_EQ(row.entries, entries);
        Datastore().OnTrayMenuClosed(&tray, TRUE);
        EXPECT_EQ(3, tray.GetMenuItemCount());
    }
}

TEST_F(IbeDatastoreTest, OneUserGivesNoUsersMenu)
{
    // A desktop of its own in place of the fixture's two users.
    PalmTesting::TestDesktop single;
    single.AddUser("Zoe", "ZoeD");
    single.SetLastUser("Zoe");
    CMenu tray;
    ASSERT_TRUE(tray.CreatePopupMenu());
    Datastore().AddTrayMenuItems(&tray, 0);
    EXPECT_EQ(1, tray.GetMenuItemCount());
    EXPECT_EQ(static_cast<UINT>(ID_TRAY_OPEN_PIM), tray.GetMenuItemID(0));
}

TEST_F(IbeDatastoreTest, SwitchingTheUserWaitsWhileNotesAreOpen)
{
    CScriptedIbeDatastore& datastore = Datastore();
    ASSERT_EQ("Zoe", CurrentUser());
    datastore.notesOpen = TRUE;
    datastore.OnTrayMenuCommand(ID_TRAY_EDITION_FIRST + 1);
    EXPECT_EQ(1, datastore.reloads);
    // The open notes keep filing into the user whose categories they hold.
    EXPECT_EQ("Zoe", CurrentUser());
    EXPECT_EQ("Bob", std::string(CIbeDatastore::GetPendingUser().GetString()));
    // The reload's new datastore takes the new user.
    m_datastore.reset();
    EXPECT_EQ("Bob", CurrentUser());
    EXPECT_TRUE(CIbeDatastore::GetPendingUser().IsEmpty());

    // Without open notes the switch is at once; an id past the users does nothing.
    Datastore().OnTrayMenuCommand(ID_TRAY_EDITION_FIRST);
    EXPECT_EQ("Zoe", CurrentUser());
    Datastore().OnTrayMenuCommand(ID_TRAY_EDITION_FIRST + 4);
    EXPECT_EQ("Zoe", CurrentUser());
    EXPECT_EQ(1, Datastore().reloads);
}

} // namespace
