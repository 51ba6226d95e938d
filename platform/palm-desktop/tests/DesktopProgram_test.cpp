#include <gtest/gtest.h>

#include "PalmDesktopFixture.h"

using namespace PalmTesting;

namespace {

LRESULT Ask(HWND window, WPARAM request, LPARAM userId = 0)
{
    return SendMessageA(window, PALM_DESKTOP_MESSAGE, request, userId);
}

} // namespace

TEST(DesktopProgram, AnswersThePingAndHoldsStillWhileLocked)
{
    TestDesktop desktop;
    const unsigned long id = desktop.AddUser("Zoe", "Zoe");
    desktop.AddUser("Adam", "Adam");
    ASSERT_TRUE(desktop.StartDesktop());
    HWND window = desktop.DesktopWindow();
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(PALM_DESKTOP_TITLE, title);

    EXPECT_EQ(PALM_DESKTOP_MESSAGE, Ask(window, PalmPing));
    Ask(window, PalmPrepareLock);
    Ask(window, PalmLock, static_cast<LPARAM>(id));
    EXPECT_FALSE(IsWindowEnabled(window));
    desktop.EditTable<CToDoTable>("Zoe\\todo\\todo.dat", [](CToDoTable& t) {
        CToDoRecord record(&t, 1);
        t.AddRecord(&record);
        t.Save();
    });
    Ask(window, PalmUnlock, static_cast<LPARAM>(id));
    EXPECT_TRUE(IsWindowEnabled(window));
    Ask(window, 77);
    EXPECT_EQ((std::vector<std::string>{"ping", "prepare", "lock 1", "unlock 1",
                                        "reload 1 todo=1 memo=0 datebook=0 address=0"}),
              desktop.Log());
}

TEST(DesktopProgram, SettingsChangeItsAnswers)
{
    struct Row {
        const char* setting;
        DWORD value;
        LRESULT ping;
        bool enabled;
    } rows[] = {
        {"PingAnswer", 1, 1, true},
        {"PingAnswer", 0, 0, true},
        {"StartDisabled", 1, PALM_DESKTOP_MESSAGE, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.setting) + " " + std::to_string(row.value));
        TestDesktop desktop;
        desktop.SetStandInSetting(row.setting, row.value);
        ASSERT_TRUE(desktop.StartDesktop());
        EXPECT_EQ(row.ping, Ask(desktop.DesktopWindow(), PalmPing));
        EXPECT_EQ(row.enabled, IsWindowEnabled(desktop.DesktopWindow()) != FALSE);
    }
}

TEST(DesktopProgram, ShowsOneViewAtATime)
{
    TestDesktop desktop;
    ASSERT_TRUE(desktop.StartDesktop());
    HWND window = desktop.DesktopWindow();
    HWND todo = FindDesktopEdit(window, PALM_TODO_EDIT_ID);
    HWND memo = FindDesktopEdit(window, PALM_MEMO_EDIT_ID);
    ASSERT_NE(nullptr, todo);
    ASSERT_NE(nullptr, memo);
    EXPECT_NE(GetParent(todo), GetParent(memo));
    struct Row {
        WPARAM view;
        bool todoShown;
        bool memoShown;
    } rows[] = {{PalmViewMemo, false, true}, {PalmViewDateBook, false, false}, {PalmViewToDo, true, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.view);
        SendMessageA(window, WM_COMMAND, row.view, 0);
        EXPECT_EQ(row.todoShown, IsWindowVisible(GetParent(todo)) != FALSE);
        EXPECT_EQ(row.memoShown, IsWindowVisible(GetParent(memo)) != FALSE);
    }
}
