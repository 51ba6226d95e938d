#include <gtest/gtest.h>

#include "PalmDataFixture.h"

using namespace PalmTesting;

namespace {

std::vector<std::string> Lines(std::initializer_list<std::string> lines)
{
    return std::vector<std::string>(lines);
}

void SetEditText(HWND desktop, int id, const char* text)
{
    HWND edit = FindDesktopEdit(desktop, id);
    ASSERT_NE(nullptr, edit) << id;
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

} // namespace

class PalmDesktopLinkTest : public PalmDataTest {
protected:
    std::string Reload(int todo, int memo = 0) const
    {
        return "reload " + Number(zoeId) + " todo=" + Number(todo) + " memo=" + Number(memo) +
               " datebook=0 address=0";
    }
    std::string Lock() const { return "lock " + Number(zoeId); }
    std::string Unlock() const { return "unlock " + Number(zoeId); }
};

TEST_F(PalmDesktopLinkTest, HotSyncInProgressRefusesWritesWithOrWithoutDesktop)
{
    auto manager = Manager();
    for (bool running : {false, true}) {
        SCOPED_TRACE(running ? "desktop running" : "no desktop");
        if (running) {
            ASSERT_TRUE(desktop.StartDesktop());
        }
        HotSyncWindow hotSync;
        ASSERT_NE(nullptr, hotSync.Window());
        const std::string before = BytesOfZoe(TODO_FILE);
        TodoItem item;
        item.description = "not now";
        EXPECT_EQ(0, manager->WriteItem(PalmKindTodo, &item));
        EXPECT_EQ(0, manager->DataRefresh());
        EXPECT_EQ(before, BytesOfZoe(TODO_FILE));
        CONTACTITEM contact;
        contact.SetText(CONTACTITEM::Company, "Acme");
        EXPECT_EQ(1, manager->AddContact(contact));   // a contact is added whatever the answer
        EXPECT_NE(std::string::npos, DumpZoe(ADDRESS_FILE).find("company=\"Acme\""));
        // Nothing was locked; the unlock after the contact lets the desktop
        // reload it.
        if (running) {
            EXPECT_EQ(Lines({"ping", Unlock(), "reload " + Number(zoeId) + " todo=0 memo=0 datebook=0 address=2"}),
                      desktop.Log());
        }
    }
}

TEST_F(PalmDesktopLinkTest, NoDesktopRunningWritesWithoutLock)
{
    auto manager = Manager();
    MemoItem memo;
    memo.text = "written";
    EXPECT_EQ(1, manager->WriteItem(PalmKindMemo, &memo));
    EXPECT_EQ(2, manager->DataRefresh());
    EXPECT_NE(std::string::npos, DumpZoe(MEMO_FILE).find("memo=\"written\""));
}

TEST_F(PalmDesktopLinkTest, RunningDesktopHoldsStillWhileTheLibraryWrites)
{
    auto manager = Manager();
    ASSERT_TRUE(desktop.StartDesktop());
    TodoItem item;
    item.description = "while locked";
    EXPECT_EQ(1, manager->WriteItem(PalmKindTodo, &item));
    EXPECT_TRUE(IsWindowEnabled(desktop.DesktopWindow()));
    EXPECT_EQ(1, manager->DataRefresh());
    EXPECT_EQ(Lines({"ping", "prepare", Lock(), "ping", Unlock(), Reload(1), "ping", "prepare", Lock(), "ping",
                     Unlock(), Reload(1)}),
              desktop.Log());
}

TEST_F(PalmDesktopLinkTest, DesktopThatDoesNotAnswerRightRefusesTheLock)
{
    struct Row {
        const char* setting;
        DWORD value;
    } rows[] = {{"PingAnswer", 0}, {"PingAnswer", 1}, {"PingAnswer", 0xBEC5}, {"StartDisabled", 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.setting) + " " + Number(static_cast<long>(row.value)));
        desktop.StopDesktop();
        DeleteFileA(desktop.File(PALM_DESKTOP_LOG).c_str());
        desktop.SetStandInSetting("PingAnswer", PALM_DESKTOP_MESSAGE);
        desktop.SetStandInSetting("StartDisabled", 0);
        desktop.SetStandInSetting(row.setting, row.value);
        ASSERT_TRUE(desktop.StartDesktop());
        auto manager = Manager();
        const std::string before = BytesOfZoe(TODO_FILE);
        TodoItem item;
        EXPECT_EQ(0, manager->WriteItem(PalmKindTodo, &item));
        EXPECT_EQ(0, manager->DataRefresh());
        EXPECT_EQ(before, BytesOfZoe(TODO_FILE));
        EXPECT_EQ(Lines({"ping", "ping"}), desktop.Log());
    }
}

TEST_F(PalmDesktopLinkTest, HungDesktopRefusesTheLockByTheDeadline)
{
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, PALM_DESKTOP_RELEASE_EVENT);
    ASSERT_NE(nullptr, release);
    desktop.SetStandInSetting("HangOnPing", 1);
    ASSERT_TRUE(desktop.StartDesktop());
    auto manager = Manager();
    manager->Desktop().SetPingTimeout(300);
    const std::string before = BytesOfZoe(TODO_FILE);
    const DWORD start = GetTickCount();
    TodoItem item;
    EXPECT_EQ(0, manager->WriteItem(PalmKindTodo, &item));
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_EQ(before, BytesOfZoe(TODO_FILE));
    SetEvent(release);
    desktop.StopDesktop();
    CloseHandle(release);
}

TEST_F(PalmDesktopLinkTest, CurrentItemIsTheVisibleEditFieldsText)
{
    auto manager = Manager();
    EXPECT_EQ("", std::string(manager->Desktop().GetCurrentItem()));
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);   // the second desktop has windows of its own
        ASSERT_TRUE(desktop.StartDesktop());
        HWND window = desktop.DesktopWindow();
        SetEditText(window, PALM_TODO_EDIT_ID, round ? "Buy more milk" : "Buy milk");
        SetEditText(window, PALM_MEMO_EDIT_ID, "Shopping list\r\n- bread");
        struct Row {
            WPARAM view;
            std::string text;
        } rows[] = {
            {PalmViewToDo, round ? "Buy more milk" : "Buy milk"},
            {PalmViewMemo, "Shopping list\r\n- bread"},
            {PalmViewDateBook, ""},
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(row.view);
            SendMessageA(window, WM_COMMAND, row.view, 0);
            EXPECT_EQ(row.text, std::string(manager->Desktop().GetCurrentItem()));
        }
        desktop.StopDesktop();
    }
    EXPECT_EQ("", std::string(manager->Desktop().GetCurrentItem()));
}

TEST_F(PalmDesktopLinkTest, StartsTheDesktopBesideTheHotSyncProgram)
{
    auto manager = Manager();
    std::string folder = ProgramFolder() + "palm-desktop\\";
    for (char& c : folder)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    struct Row {
        std::string hotSync;
        bool starts;
    } rows[] = {
        {"", false},
        {folder + "sync.exe", false},
        {folder + "hotsync.exe", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.hotSync);
        desktop.SetHotSyncPath(row.hotSync);
        const DWORD process = manager->Desktop().Start(manager->Registry());
        EXPECT_EQ(row.starts, process != 0);
        if (!process)
            continue;
        ASSERT_TRUE(desktop.WaitForDesktop(process));
        // Its current folder is the desktop folder, where it keeps its log.
        EXPECT_EQ(1, manager->DataRefresh());
        EXPECT_EQ(Lines({"ping", "prepare", Lock(), "ping", Unlock(), Reload(0)}), desktop.Log());
        desktop.StopDesktop();
    }
}
