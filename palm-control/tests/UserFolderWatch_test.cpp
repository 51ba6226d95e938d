// The folder watch's worker: one message for a change, and an end when told.
#include <gtest/gtest.h>

#include <string>

#include "QuiComTesting.h"
#include "QuiTesting.h"
#include "UserFolderWatch.h"

namespace {

// Pumps until the watch's message arrives or the deadline passes; the
// message is taken before it reaches the window.
bool g_changeArrived = false;

BOOL TakeChange(MSG* msg)
{
    if (msg->message != WM_FINCH_FOLDERCHANGED)
        return FALSE;
    g_changeArrived = true;
    return TRUE;
}

bool ChangeArrives(HWND, DWORD timeoutMs)
{
    g_changeArrived = false;
    return QuiTesting::PumpUntil([] { return g_changeArrived; }, timeoutMs, nullptr, TakeChange);
}

class UserFolderWatchTest : public ::testing::Test {
protected:
    UserFolderWatchTest()
    {
        CreateDirectoryA(m_user.c_str(), nullptr);
        CreateDirectoryA((m_user + "memopad").c_str(), nullptr);
    }
    ~UserFolderWatchTest() override
    {
        DestroyWindow(m_window);
        QuiTesting::RemoveFolder(m_user);
    }
    void Touch()
    {
        HANDLE file = CreateFileA((m_user + "memopad\\memopad.dat").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                  0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        SetFilePointer(file, 0, nullptr, FILE_END);
        WriteFile(file, "x", 1, &written, nullptr);
        CloseHandle(file);
    }

    // A folder of this process's own: ctest runs the other tests of the
    // fixture at the same time, and their writes would be changes here.
    const std::string m_user =
        QuiComTesting::ProgramFolder() + "finch-watch-" + std::to_string(GetCurrentProcessId()) + "\\";
    HWND m_window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
};

}  // namespace

TEST_F(UserFolderWatchTest, AChangePostsOneMessageAndTheWorkerEnds)
{
    UserFolderWatch watch;
    ASSERT_TRUE(watch.Arm(m_user.c_str()));
    ASSERT_TRUE(watch.Start(m_window));
    EXPECT_FALSE(watch.Start(m_window)) << "one worker at a time";
    Touch();
    EXPECT_TRUE(ChangeArrives(m_window, 10000));
    watch.Close();
    EXPECT_FALSE(watch.Running());
    EXPECT_FALSE(watch.Armed());
}

TEST_F(UserFolderWatchTest, AWaitingWorkerEndsWhenStopped)
{
    UserFolderWatch watch;
    const std::string withoutSlash = m_user.substr(0, m_user.size() - 1);
    ASSERT_TRUE(watch.Arm(withoutSlash.c_str()));
    ASSERT_TRUE(watch.Start(m_window));
    watch.Stop();
    EXPECT_FALSE(watch.Running());
    EXPECT_TRUE(watch.Armed()) << "the notification stays until closed";
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, m_window, WM_FINCH_FOLDERCHANGED, WM_FINCH_FOLDERCHANGED, PM_REMOVE));
    ASSERT_TRUE(watch.Start(m_window)) << "watched again";
    Touch();
    EXPECT_TRUE(ChangeArrives(m_window, 10000));
}

TEST_F(UserFolderWatchTest, AFolderThatCannotBeWatched)
{
    UserFolderWatch watch;
    for (const char* path : {"", "Z:\\no\\such\\user"}) {
        EXPECT_FALSE(watch.Arm(path)) << path;
        EXPECT_FALSE(watch.Start(m_window)) << path;
    }
    EXPECT_FALSE(watch.Arm(nullptr));
}
