// The selection grab as a person meets it, in a Wine virtual desktop of its
// own with the X11 driver (the prefix's own driver stays the null one): a
// program in front holds a selected edit box, the grab hot key goes in
// through X, a note opens with exactly the selected text, and the clipboard
// holds exactly what it held before.
//
// The test starts itself again inside "explorer /desktop=<name>,1024x768,x11"
// and reads the inner run's result; the inner run does the work.
#include "AppTestSupport.h"
#include "GrabTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "SelectionGrab.h"

using namespace app_test;

namespace {

const char kInnerRun[] = "QUI_GRAB_INNER_RUN";

std::string ModuleFolder()
{
    char path[MAX_PATH * 2] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path - 1);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1);
}

// Starts a program and waits for it within timeoutMs; its exit code, or -1.
int RunAndWait(const std::string& commandLine, DWORD timeoutMs)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    // A Unix program is started without a process handle to wait on.
    if (!process.hProcess)
        return 0;
    ::CloseHandle(process.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process.hProcess, &code);
    else
        ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

// The hot key through the X server, as a person types it: Ctrl and Alt stay
// held while the grab runs, so the grab must let them go itself.
int PressThroughX(const char* keys)
{
    return RunAndWait(std::string("Z:\\usr\\bin\\xdotool ") + keys, 20000);
}

class GrabDisplay : public AppFixture {
protected:
    void SetUp() override
    {
        if (!std::getenv(kInnerRun))
            return;
        AppFixture::SetUp();
        SetDword("EnableHotKeys", 1, "Software\\Quillmate\\Client\\Preferences");
        SetDword("GrabHotKey", ((MOD_CONTROL | MOD_ALT) << 16) | 'G', "Software\\Quillmate\\Client\\Preferences");
        SetDword("NewHotKey", 0, "Software\\Quillmate\\Client\\Preferences");
        QuiInstallSelectionGrab();
        ASSERT_TRUE(Start());
    }

    void TearDown() override
    {
        if (!std::getenv(kInnerRun))
            return;
        CloseAllNotes(app.get());
        CTrayWnd::SetSelectionGrabber(nullptr);
        AppFixture::TearDown();
    }

    // Runs this test again in a virtual desktop of its own with the X11
    // driver and reports what the inner run found.
    void RunInner()
    {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string filter = std::string(test->test_suite_name()) + "." + test->name();
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        std::string report = std::string(temp) + "quigrab-" + std::to_string(::GetCurrentProcessId()) + ".xml";
        ::DeleteFileA(report.c_str());
        char self[MAX_PATH * 2] = {};
        ::GetModuleFileNameA(nullptr, self, sizeof self - 1);
        ::SetEnvironmentVariableA(kInnerRun, "1");
        std::string desktop = "QuiGrab" + std::to_string(::GetCurrentProcessId());
        int code = RunAndWait("explorer.exe /desktop=" + desktop + ",1024x768,x11 \"" + self +
                                  "\" --gtest_filter=" + filter + " --gtest_output=xml:" + report,
                              100000);
        ::SetEnvironmentVariableA(kInnerRun, nullptr);
        std::ifstream file(report);
        std::stringstream text;
        text << file.rdbuf();
        std::string xml = text.str();
        ::DeleteFileA(report.c_str());
        ASSERT_FALSE(xml.empty()) << "the inner run left no report (explorer exit " << code << ")";
        EXPECT_NE(std::string::npos, xml.find("tests=\"1\"")) << xml;
        EXPECT_NE(std::string::npos, xml.find("failures=\"0\"")) << xml;
        EXPECT_EQ(std::string::npos, xml.find("<failure")) << xml;
    }

    // Starts the program in front and waits until it is.
    HANDLE StartTarget(const char* text, int from, int to)
    {
        std::string event = "QuiGrabTargetReady" + std::to_string(::GetCurrentProcessId());
        HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, event.c_str());
        std::string line = "\"" + ModuleFolder() + "fixtures\\grab_target.exe\" \"" + text + "\" " +
                           std::to_string(from) + " " + std::to_string(to) + " " + event;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        std::vector<char> buffer(line.begin(), line.end());
        buffer.push_back('\0');
        EXPECT_TRUE(::CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                     &process));
        ::CloseHandle(process.hThread);
        QuiTesting::PumpUntil([ready] { return ::WaitForSingleObject(ready, 0) == WAIT_OBJECT_0; }, 30000, ready);
        ::CloseHandle(ready);
        return process.hProcess;
    }

    CActionNote* WaitForNote(DWORD timeoutMs)
    {
        QuiTesting::PumpUntil([&] { return app->GetCurrentNote() != nullptr; }, timeoutMs, nullptr, nullptr, 50);
        // The grabbed text goes in once the grab's own pumping is over.
        QuiTesting::PumpUntil(
            [&] {
                CActionNote* note = app->GetCurrentNote();
                CString text;
                if (note)
                    note->GetNoteText(text);
                return !text.IsEmpty();
            },
            5000);
        return app->GetCurrentNote();
    }
};

TEST_F(GrabDisplay, TheHotKeyOpensANoteWithTheSelectionAndLeavesTheClipboardAsItWas)
{
    if (!std::getenv(kInnerRun)) {
        RunInner();
        return;
    }
    HWND owner = app->GetTrayWnd()->GetSafeHwnd();
    grab_test::FillClipboard(owner);
    HANDLE target = StartTarget("alpha beta gamma", 6, 16);
    ASSERT_NE(nullptr, target);
    // Held modifiers: the hot key's Ctrl and Alt are still down when the grab types.
    ASSERT_EQ(0, PressThroughX("keydown ctrl+alt+g keyup g"));
    CActionNote* note = WaitForNote(30000);
    PressThroughX("keyup alt keyup ctrl");
    ASSERT_NE(nullptr, note);
    CString text;
    note->GetNoteText(text);
    EXPECT_EQ(std::string("beta gamma"), text.GetString());
    grab_test::ExpectClipboardAsFilled(owner, __FILE__, __LINE__);
    ::TerminateProcess(target, 0);
    ::CloseHandle(target);
}

} // namespace
