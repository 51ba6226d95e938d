// The operations that reach the running Palm Desktop, from each library by
// name: starting it, the text of its visible edit field, and holding it
// still while the library writes.
#include <gtest/gtest.h>

#include "PalmDataFixture.h"

using namespace PalmTesting;

class PalmExportsDesktopTest : public PalmDataTest, public ::testing::WithParamInterface<const char*> {
protected:
    PalmExportsDesktopTest() : library(GetParam()) {}
    LoadedModule library;
};

INSTANTIATE_TEST_SUITE_P(Modules, PalmExportsDesktopTest, ::testing::Values("Lark.dll", "Linnet.dll"));

TEST_P(PalmExportsDesktopTest, OpensTheDesktopReadsItsItemAndHoldsItStill)
{
    ASSERT_TRUE(library.Loaded());
    EXPECT_EQ(0, library.Call("OpenPilotDesktop", nullptr)) << "no HotSync program known";
    desktop.SetHotSyncPath(ProgramFolder() + "palm-desktop\\hotsync.exe");
    const int process = library.Call("OpenPilotDesktop", nullptr);
    ASSERT_NE(0, process);
    ASSERT_TRUE(desktop.WaitForDesktop(static_cast<DWORD>(process)));

    HWND window = desktop.DesktopWindow();
    SendMessageA(FindDesktopEdit(window, PALM_TODO_EDIT_ID), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Buy milk"));
    SendMessageA(window, WM_COMMAND, PalmViewToDo, 0);
    BSTR text = nullptr;
    EXPECT_EQ(1, library.Call("GetCurrentItem", &text));
    char ansi[64] = "";
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
    EXPECT_STREQ("Buy milk", ansi);
    SysFreeString(text);

    EXPECT_EQ(1, library.Call("DataRefresh", nullptr));
    TodoItem todo;
    todo.description = "while it runs";
    EXPECT_EQ(1, library.Call("AddTodoItem", &todo));
    const std::string user = Number(zoeId);
    EXPECT_EQ((std::vector<std::string>{"ping", "prepare", "lock " + user, "ping", "unlock " + user,
                                        "reload " + user + " todo=0 memo=0 datebook=0 address=0", "ping", "prepare",
                                        "lock " + user, "ping", "unlock " + user,
                                        "reload " + user + " todo=1 memo=0 datebook=0 address=0"}),
              desktop.Log());
    desktop.StopDesktop();
}
