// The real program, started as its own process: a second start and the
// registration of its automation server from the command line.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "QuiTesting.h"

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1);
}

// Runs Quillmate.exe with the arguments, dispatching this thread's messages
// (a broadcast sent to its windows waits for them) until it ends.
DWORD RunProgram(const std::string& arguments, DWORD timeoutMs = 60000)
{
    std::string program = ProgramFolder() + "Quillmate.exe";
    std::string line = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, ProgramFolder().c_str(),
                        &startup, &process)) {
        ADD_FAILURE() << "cannot start " << program << ": " << GetLastError();
        return static_cast<DWORD>(-1);
    }
    CloseHandle(process.hThread);
    DWORD exitCode = STILL_ACTIVE;
    HANDLE ended = process.hProcess;
    if (QuiTesting::PumpUntil([ended] { return WaitForSingleObject(ended, 0) == WAIT_OBJECT_0; }, timeoutMs, ended)) {
        GetExitCodeProcess(process.hProcess, &exitCode);
    } else {
        ADD_FAILURE() << "the program did not end: " << arguments;
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hProcess);
    return exitCode;
}

std::string ClassesValue(const std::string& key)
{
    char value[MAX_PATH] = {};
    LONG size = sizeof value;
    return RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), value, &size) == ERROR_SUCCESS ? value : "<missing>";
}

UINT s_newNoteMessage = 0;
int s_heard = 0;

LRESULT CALLBACK ListenerProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == s_newNoteMessage && message != 0) {
        ++s_heard;
        return 1;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

TEST(Program, ASecondStartAsksTheRunningOneForANoteAndEndsWithoutAWindow)
{
    // The running instance: the mutex it holds and a window that hears the broadcast.
    HANDLE running = CreateMutexA(nullptr, TRUE, "QUI_SINGLE_INSTANCE_MUTEX");
    ASSERT_NE(nullptr, running);
    ASSERT_NE(ERROR_ALREADY_EXISTS, GetLastError()) << "another test holds the instance";
    s_newNoteMessage = RegisterWindowMessageA("QUI_NAN_MSG");
    s_heard = 0;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ListenerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QuiRunningInstance";
    RegisterClassA(&wc);
    HWND listener = CreateWindowA("QuiRunningInstance", "running", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_NE(nullptr, listener);

    RunProgram("");
    EXPECT_EQ(1, s_heard);
    EXPECT_EQ(nullptr, FindWindowA("QuiFrameworkFrame141", nullptr)) << "no tray window was made";

    DestroyWindow(listener);
    ReleaseMutex(running);
    CloseHandle(running);
}

TEST(Program, RegServerAndUnregServerEndTheProgramAfterTheirWork)
{
    const std::string server = "CLSID\\{AA67EBE8-A97A-11D2-84D7-00A0247B3DBA}\\LocalServer32";
    RunProgram("/RegServer");
    EXPECT_EQ(ProgramFolder() + "Quillmate.exe", ClassesValue(server));
    EXPECT_EQ("Quillmate.Ozu.1", ClassesValue("Quillmate.Ibe\\CurVer"));
    RunProgram("-UNREGSERVER");
    EXPECT_EQ("<missing>", ClassesValue(server));
    EXPECT_EQ("<missing>", ClassesValue("Quillmate.Ibe"));
}

TEST(Program, TheSavedNoteMessageOfAnotherProgramShowsNothingAndTheProgramRunsOn)
{
    const char client[] = "Software\\Quillmate\\Client";
    ASSERT_TRUE(QuiTesting::SetRegNumber(HKEY_CURRENT_USER, client, "ActivePIM", 0));
    ASSERT_TRUE(QuiTesting::SetRegNumber(HKEY_CURRENT_USER, client, "ShowProfile", 1));
    ASSERT_TRUE(QuiTesting::SetRegNumber(HKEY_CURRENT_USER, "Software\\Quillmate\\Client\\Tip", "Startup", 0));
    QuiTesting::NotificationArea area;
    ASSERT_NE(nullptr, area.Window());

    // The item files the program writes go to a current folder of its own.
    const std::string current = ProgramFolder() + "program-run";
    CreateDirectoryA(current.c_str(), nullptr);
    const std::string program = ProgramFolder() + "Quillmate.exe";
    std::string line = "\"" + program + "\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, current.c_str(),
                               &startup, &process));
    CloseHandle(process.hThread);
    HANDLE running = process.hProcess;
    auto ended = [running] { return WaitForSingleObject(running, 0) == WAIT_OBJECT_0; };
    QuiTesting::ProgramWindows found;
    const DWORD id = process.dwProcessId;
    auto look = [&found, id] { found = QuiTesting::FindProgramWindows(id); };
    // Ready once the loading icon gave way to the running one.
    QuiTesting::PumpUntil([&] { look(); return ended() || (found.tray && QuiTesting::NotificationArea::Requests() >= 2); }, 60000, running,
                          nullptr, 250);
    ASSERT_NE(nullptr, found.tray) << "the program did not start";
    EXPECT_FALSE(ended());

    for (LPARAM number : {LPARAM(0x12345678), LPARAM(0x7FFE0010), LPARAM(1), LPARAM(-1)})
        PostMessageA(found.tray, WM_USER + 200, 0, number);
    // The new note comes after those messages: once it is open, they were handled.
    PostMessageA(found.tray, RegisterWindowMessageA("QUI_NAN_MSG"), 0, 0);
    QuiTesting::PumpUntil([&] { look(); return ended() || found.note || found.box; }, 30000, running, nullptr, 250);
    EXPECT_FALSE(ended()) << "the program ended on the messages";
    EXPECT_NE(nullptr, found.note);
    EXPECT_EQ(nullptr, found.box) << "a dialog box was shown";

    if (found.tray && !ended())
        PostMessageA(found.tray, WM_COMMAND, 57665, 0);
    // The program takes its icon away on the way out: the pump lets the
    // test's notification area answer.
    EXPECT_TRUE(QuiTesting::PumpUntil(ended, 30000, running, nullptr, 250)) << "the exit command did not end it";
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(running, &exitCode);
    EXPECT_EQ(0u, exitCode);
    if (!ended())
        TerminateProcess(running, 1);
    CloseHandle(running);
}

} // namespace
