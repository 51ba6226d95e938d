#include <gtest/gtest.h>

#include "PalmDataFixture.h"

using namespace PalmTesting;

namespace {

std::string NotInitialized(const std::string& user)
{
    return "The currently selected Palm Desktop User '" + user +
           "' has not been initialized. You must first run the Palm Desktop application, verify that user '" + user +
           "' is selected and press the save button before switching to this user.";
}

} // namespace

TEST_F(PalmDataTest, FindsTheCurrentUserThroughTheRegistry)
{
    desktop.SetLastUser("Bob");
    CPromptScript prompts;
    auto manager = Manager();
    EXPECT_EQ(1, manager->IsInitialized());
    EXPECT_EQ("Bob", std::string(manager->User().userName));
    EXPECT_EQ(bobId, manager->User().userId);
    EXPECT_EQ(desktop.Path(), std::string(manager->User().desktopPath));
    EXPECT_EQ(desktop.Path() + "BobD\\", std::string(manager->User().userPath));
    EXPECT_EQ(0u, prompts.Asked().size());
}

TEST_F(PalmDataTest, UserWithoutDataIsReportedAtStart)
{
    struct Row {
        const char* lastUser;   // null: no value
        const char* shown;
        unsigned long id;
    } rows[] = {
        {"Adam", "Adam", 2},    // a user whose tables were never saved
        {"zoe", "zoe", 0},      // names compare with case
        {"Nobody", "Nobody", 0},
        {nullptr, "", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shown);
        if (row.lastUser)
            desktop.SetLastUser(row.lastUser);
        else
            SHDeleteValueA(HKEY_CURRENT_USER, kPreferencesKey, "LastUserName");
        CPromptScript prompts;
        prompts.AnswerNext(IDOK);
        auto manager = Manager();
        EXPECT_EQ(0, manager->IsInitialized());
        EXPECT_EQ(row.id, manager->User().userId);
        ASSERT_EQ(1u, prompts.Asked().size());
        EXPECT_EQ(NotInitialized(row.shown), std::string(prompts.Asked()[0].text));
        EXPECT_EQ("Critical Error", std::string(prompts.Asked()[0].caption));
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), prompts.Asked()[0].nType);
    }
}

TEST_F(PalmDataTest, ListsTheUsersInTheDesktopsOrder)
{
    auto manager = Manager();
    CStringArray users;
    users.Add("kept");
    manager->GetUsers(users);
    ASSERT_EQ(4, users.GetSize());
    EXPECT_EQ("Zoe", std::string(users[1]));
    EXPECT_EQ("Adam", std::string(users[2]));
    EXPECT_EQ("Bob", std::string(users[3]));
}

TEST_F(PalmDataTest, SwitchingUsersKeepsThePreviousUserOnFailure)
{
    auto manager = Manager();
    struct Row {
        const char* name;
        int expected;
        size_t prompts;
        const char* current;
        const char* folder;
    } rows[] = {
        {"", 0, 0, "Zoe", "ZoeD\\"},
        {"Nobody", 0, 0, "Zoe", "ZoeD\\"},
        {"bob", 0, 0, "Zoe", "ZoeD\\"},
        {"Adam", 0, 1, "Zoe", "ZoeD\\"},
        {"Bob", 1, 0, "Bob", "BobD\\"},
        {"Zoe", 1, 0, "Zoe", "ZoeD\\"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CPromptScript prompts;
        if (row.prompts)
            prompts.AnswerNext(IDOK);
        EXPECT_EQ(row.expected, manager->SetCurrentUser(row.name));
        EXPECT_EQ(row.prompts, prompts.Asked().size());
        if (row.prompts) {
            EXPECT_EQ(NotInitialized(row.name), std::string(prompts.Asked()[0].text));
        }
        EXPECT_EQ(row.current, std::string(manager->User().userName));
        EXPECT_EQ(desktop.Path() + row.folder, std::string(manager->User().userPath));
        EXPECT_EQ(std::string(row.current) == "Zoe" ? zoeId : bobId, manager->User().userId);
        EXPECT_EQ(1, manager->IsInitialized());
    }
    EXPECT_EQ(0, manager->SetCurrentUser(nullptr));
}

TEST_F(PalmDataTest, TablesFollowASwitchedUser)
{
    auto manager = Manager();
    ASSERT_EQ(1, manager->SetCurrentUser("Bob"));
    MemoItem memo;
    memo.text = "for Bob";
    EXPECT_EQ(1, manager->WriteItem(PalmKindMemo, &memo));
    EXPECT_NE(std::string::npos, desktop.Dump("BobD\\" MEMO_FILE).find("memo=\"for Bob\""));
    EXPECT_EQ(std::string::npos, DumpZoe(MEMO_FILE).find("record"));
}
