#include <gtest/gtest.h>

#include "PalmDesktopFixture.h"
#include "PdCommon.h"

using namespace PalmTesting;

TEST(UserMgr, UsersKeepTheirOrderIdsAndFolders)
{
    TestDesktop desktop;
    EXPECT_EQ(1u, desktop.AddUser("Zoe", "Zoe"));
    EXPECT_EQ(2u, desktop.AddUser("Adam", "AdamS", false));
    EXPECT_EQ("user id=1 name=\"Zoe\" directory=\"Zoe\"\r\n"
              "user id=2 name=\"Adam\" directory=\"AdamS\"\r\n",
              desktop.Dump(PALM_USERS_FILE));
    for (const char* folder : kPalmTableFolders)
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(desktop.File(std::string("AdamS\\") + folder).c_str()))
            << folder;
    CUserMgr users;
    EXPECT_EQ(0, users.SetDirectory(desktop.Path().c_str()));
    EXPECT_EQ(2, users.GetCount());
    EXPECT_EQ(nullptr, users.AddUser("Zoe", "Other"));
    CUser* first = users.FindFirst();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ("Zoe", std::string(first->GetName()));
    ASSERT_NE(nullptr, users.FindNext());
    EXPECT_EQ(nullptr, users.FindNext());
}

TEST(UserMgr, NoUsersWhereNoneCanBeRead)
{
    TestDesktop desktop;
    desktop.AddUser("Zoe", "Zoe", false);
    struct Row {
        const char* name;
        std::function<void()> arrange;
        int expected;
    } rows[] = {
        {"told to fail", [] { SetEnvironmentVariableA(PALM_STANDIN_FAIL_VARIABLE, "CUserMgr::SetDirectory"); }, 1},
        {"damaged list", [&] { WriteFileBytes(desktop.File(PALM_USERS_FILE), "PDU1\xff\xff"); }, 1},
        {"no list", [&] { DeleteFileA(desktop.File(PALM_USERS_FILE).c_str()); }, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.arrange();
        CUserMgr users;
        EXPECT_EQ(row.expected, users.SetDirectory(desktop.Path().c_str()));
        EXPECT_EQ(0, users.GetCount());
        EXPECT_EQ(nullptr, users.FindFirst());
        SetEnvironmentVariableA(PALM_STANDIN_FAIL_VARIABLE, nullptr);
    }
}
