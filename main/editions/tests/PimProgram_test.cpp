// Quillmate.exe started for each PIM edition against its stand-in: start-up
// gets through the edition's datastore to the ready state, where a new note
// opens, without a message box on the way.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>

#include "NotesStandInFixture.h"
#include "OutlookStandInFixture.h"
#include "PalmDesktopFixture.h"
#include "QuiComTesting.h"
#include "QuiTesting.h"

namespace {

const char kClientKey[] = "Software\\Quillmate\\Client";
const UINT kExitCommand = 57665;

const char kNotesMail[] =
    "[note 1]\r\n$Title=To do\r\n$NoteClass=4\r\n$Fields=Subject\r\n$Fields=Categories\r\n"
    "$ChoicesOption.Categories=1\r\n$ChoicesFormula.Categories=\"Business\" : \"Personal\"\r\n"
    "[note 2]\r\n$Title=CalendarProfile\r\n$NoteClass=4\r\n$Default.Owner=CN=Ann Lee/OU=Sales/O=Acme\r\n"
    "[note 3]\r\n$ProfileName=CalendarProfile\r\nOwner=CN=Ann Lee/OU=Sales/O=Acme\r\n"
    "CalEntryType(number)=0\r\nDefaultDuration(number)=60\r\n";

std::string WindowText(HWND window)
{
    std::string text;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char part[512] = "";
        GetWindowTextA(child, part, sizeof part);
        text += std::string(part) + " ";
    }
    return text;
}

// Starts the program for the edition and asks it for a note until one opens.
// "" when it got there; otherwise what went wrong.
std::string StartToANote(DWORD edition)
{
    EXPECT_TRUE(QuiTesting::SetRegNumber(HKEY_CURRENT_USER, kClientKey, "ActivePIM", edition));
    EXPECT_TRUE(QuiTesting::SetRegNumber(HKEY_CURRENT_USER, kClientKey, "ShowProfile", 1));
    // The tip of the day is a modal box of its own, not an edition's message.
    EXPECT_TRUE(QuiTesting::SetRegNumber(HKEY_CURRENT_USER, "Software\\Quillmate\\Client\\Tip", "Startup", 0));
    QuiTesting::NotificationArea tray;
    const std::string folder = QuiComTesting::ProgramFolder();
    // The item files the program writes go to a current folder of its own.
    const std::string current = folder + "pim-program-run";
    CreateDirectoryA(current.c_str(), nullptr);
    std::string line = "\"" + folder + "Quillmate.exe\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, current.c_str(), &startup, &process))
        return "the program did not start";
    CloseHandle(process.hThread);
    const UINT newNote = RegisterWindowMessageA("QUI_NAN_MSG");
    std::string outcome = "no note within the time";
    const DWORD start = GetTickCount();
    QuiTesting::ProgramWindows found;
    // The test's tray window answers the program while it waits: the pump
    // dispatches. The windows are looked for every 250 ms at least.
    DWORD asked = 0;
    QuiTesting::PumpUntil(
        [&] {
            found = QuiTesting::FindProgramWindows(process.dwProcessId);
            if (found.box) {
                outcome = "a message box: " + WindowText(found.box);
                PostMessageA(found.box, WM_COMMAND, IDOK, 0);
                return true;
            }
            if (found.note) {
                // The loading icon, then the ready one.
                outcome = QuiTesting::NotificationArea::Requests() >= 2 ? "" : "a note without the ready tray icon";
                return true;
            }
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
                outcome = "the program ended before a note opened";
                return true;
            }
            // The program opens a note only once it is ready; ask again now and then.
            const DWORD elapsed = GetTickCount() - start;
            if (found.tray && elapsed - asked >= 500) {
                PostMessageA(found.tray, newNote, 0, 0);
                asked = elapsed;
            }
            return false;
        },
        60000, process.hProcess, nullptr, 250);
    if (found.tray)
        PostMessageA(found.tray, WM_COMMAND, kExitCommand, 0);
    std::string onExit = "the program did not end on the exit command";
    // The program takes its icon away on the way out: the test's tray
    // window has to answer, so messages are pumped while waiting.
    QuiTesting::PumpUntil(
        [&] {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
                onExit.clear();
                return true;
            }
            found = QuiTesting::FindProgramWindows(process.dwProcessId);
            if (found.box) {
                onExit = "on exit, a message box: " + WindowText(found.box);
                return true;
            }
            return false;
        },
        30000, process.hProcess, nullptr, 250);
    if (!onExit.empty()) {
        TerminateProcess(process.hProcess, 1);
        if (outcome.empty())
            outcome = onExit;
    }
    CloseHandle(process.hProcess);
    return outcome;
}

class PimProgram : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_TRUE(QuiTesting::SetRegNumber(HKEY_CURRENT_USER, kClientKey, "ActivePIM", 0));
        for (const char* file : {"Heron.dll", "Plover.dll", "Plover97.dll", "Finch.ocx", "Godwit.ocx"})
            QuiComTesting::ServerLibrary((QuiComTesting::ProgramFolder() + file).c_str()).Unregister();
    }
};

TEST_F(PimProgram, LotusNotesEditionStarts)
{
    NotesStandInTesting::Installation notes;
    NotesStandInTesting::WriteFile(notes.Folder() + "\\mail\\alee.nsf", kNotesMail);
    EXPECT_EQ("", StartToANote(1));
}

TEST_F(PimProgram, PalmDesktopEditionStarts)
{
    PalmTesting::TestDesktop desktop;
    desktop.AddUser("Zoe", "ZoeD");
    desktop.SetLastUser("Zoe");
    EXPECT_EQ("", StartToANote(2));
}

// The file registered under the Outlook server's ProgID: "" when none is.
std::string PloverServerFile()
{
    char clsid[64] = "";
    LONG size = sizeof clsid;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, "Quillmate.Plover.1\\CLSID", clsid, &size) != ERROR_SUCCESS)
        return "";
    char path[MAX_PATH] = "";
    size = sizeof path;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + clsid + "\\InprocServer32").c_str(), path,
                       &size) != ERROR_SUCCESS)
        return "";
    const char* name = strrchr(path, '\\');
    return name ? name + 1 : path;
}

TEST_F(PimProgram, OutlookEditionStarts)
{
    // Each row: the Outlook the user has, and the server file registered for it.
    const struct {
        OutlookStandInTesting::Build build;
        const char* server;
    } rows[] = {
        {OutlookStandInTesting::Build::Outlook90, "Plover.dll"},
        {OutlookStandInTesting::Build::Outlook80, "Plover97.dll"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.server);
        OutlookStandInTesting::Installation outlook(row.build);
        EXPECT_EQ("", StartToANote(3));
        EXPECT_STRCASEEQ(row.server, PloverServerFile().c_str());
    }
}

} // namespace
