// Puts a Palm Desktop stand-in into the test prefix for one test: a desktop
// folder of its own with users and their tables, the registry values that
// point to it, the running desktop program on request, and the dump of what
// was written. Everything is taken away again at the end.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "PalmDump.h"
#include "QuiComTesting.h"
#include "PalmStandIn.h"
#include "PdCommon.h"
#include "QuiTesting.h"
#include "TestName.h"
#include "StandInFault.h"
#include "Table21.h"

namespace PalmTesting {

const char kPalmRoot[] = "Software\\U.S. Robotics";
const char kCoreKey[] = "Software\\U.S. Robotics\\Pilot Desktop\\core";
const char kPreferencesKey[] = "Software\\U.S. Robotics\\Pilot Desktop\\Preferences";
const char kDateBookKey[] = "Software\\U.S. Robotics\\Pilot Desktop\\DateBook";

// Dispatches messages as they come until the condition holds or the
// deadline passes; waits for messages or the handle, never for time alone.
inline bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 10000, HANDLE handle = nullptr)
{
    return QuiTesting::PumpUntil(done, timeoutMs, handle);
}

using QuiComTesting::ProgramFolder;

inline void SetValue(HKEY root, const char* key, const char* name, DWORD type, const void* data, DWORD size)
{
    EXPECT_TRUE(QuiTesting::SetRegValue(root, key, name, type, data, size)) << key;
}

inline void SetText(HKEY root, const char* key, const char* name, const std::string& text, DWORD type = REG_SZ)
{
    EXPECT_TRUE(QuiTesting::SetRegText(root, key, name, text, type)) << key;
}

inline void SetNumber(HKEY root, const char* key, const char* name, DWORD number)
{
    EXPECT_TRUE(QuiTesting::SetRegNumber(root, key, name, number)) << key;
}

inline std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

using QuiTesting::RemoveFolder;

// The named stand-in calls fail while the object lives.
class FailingCalls {
public:
    explicit FailingCalls(const char* calls) { SetEnvironmentVariableA(PALM_STANDIN_FAIL_VARIABLE, calls); }
    ~FailingCalls() { SetEnvironmentVariableA(PALM_STANDIN_FAIL_VARIABLE, nullptr); }
    FailingCalls(const FailingCalls&) = delete;
    FailingCalls& operator=(const FailingCalls&) = delete;
};

// HotSync's progress window, as long as the object lives.
class HotSyncWindow {
public:
    HotSyncWindow()
        : m_window(CreateWindowExA(0, "STATIC", PALM_HOTSYNC_TITLE, WS_POPUP, 0, 0, 100, 40, nullptr, nullptr,
                                   nullptr, nullptr))
    {
    }
    ~HotSyncWindow() { DestroyWindow(m_window); }
    HotSyncWindow(const HotSyncWindow&) = delete;
    HotSyncWindow& operator=(const HotSyncWindow&) = delete;
    HWND Window() const { return m_window; }

private:
    HWND m_window;
};

// The edit field of that id in the desktop's window, or null.
inline HWND FindDesktopEdit(HWND desktop, int id)
{
    struct Search {
        int id;
        HWND found;
        static BOOL CALLBACK Visit(HWND child, LPARAM context)
        {
            Search* search = reinterpret_cast<Search*>(context);
            if (GetDlgCtrlID(child) == search->id)
                search->found = child;
            return TRUE;
        }
    } search = {id, nullptr};
    EnumChildWindows(desktop, Search::Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Closes every desktop left running and waits until its process has ended.
inline void CloseRunningDesktops()
{
    for (HWND window; (window = FindWindowA(PALM_DESKTOP_CLASS, nullptr)) != nullptr;) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
        ASSERT_NE(nullptr, process) << "a desktop window without its process";
        PostMessageA(window, WM_CLOSE, 0, 0);
        if (!WaitFor([process] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, 10000, process))
            TerminateProcess(process, 1);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
}

class TestDesktop {
public:
    TestDesktop()
    {
        CloseRunningDesktops();
        SHDeleteKeyA(HKEY_CURRENT_USER, kPalmRoot);
        SHDeleteKeyA(HKEY_CURRENT_USER, PALM_STANDIN_KEY);
        const std::string root = ProgramFolder() + "palm-desktops";
        CreateDirectoryA(root.c_str(), nullptr);
        m_path = root + "\\" + QuiTesting::CurrentTestName();
        RemoveFolder(m_path);
        CreateDirectoryA(m_path.c_str(), nullptr);
        m_path += "\\";
        SetText(HKEY_CURRENT_USER, kCoreKey, "Path", m_path.substr(0, m_path.size() - 1));
    }
    ~TestDesktop()
    {
        StopDesktop();
        SHDeleteKeyA(HKEY_CURRENT_USER, kPalmRoot);
        SHDeleteKeyA(HKEY_CURRENT_USER, PALM_STANDIN_KEY);
        RemoveFolder(m_path.substr(0, m_path.size() - 1));
    }
    TestDesktop(const TestDesktop&) = delete;
    TestDesktop& operator=(const TestDesktop&) = delete;

    // The desktop folder, ending in a backslash.
    const std::string& Path() const { return m_path; }

    // Adds a user in the folder `directory`; with data, its four tables exist
    // (empty). The user's id.
    unsigned long AddUser(const char* name, const char* directory, bool withData = true)
    {
        CUserMgr users;
        users.SetDirectory(m_path.c_str());
        CUser* user = users.AddUser(name, directory);
        EXPECT_NE(nullptr, user) << name;
        if (!user)
            return 0;
        const unsigned long id = user->GetID();
        Save([&] { users.Save(); });
        if (withData) {
            const std::string base = std::string(directory) + "\\";
            EditTable<CToDoTable>(base + "todo\\todo.dat", [](CToDoTable&) {});
            EditTable<CMemoTable>(base + "memopad\\memopad.dat", [](CMemoTable&) {});
            EditTable<CDateBkTable>(base + "datebook\\datebook.dat", [](CDateBkTable&) {});
            EditTable<CAddressTable>(base + "address\\address.dat", [](CAddressTable&) {});
        }
        return id;
    }

    void SetLastUser(const char* name) { SetText(HKEY_CURRENT_USER, kPreferencesKey, "LastUserName", name); }
    void SetHotSyncPath(const std::string& path) { SetText(HKEY_CURRENT_USER, kCoreKey, "HotSyncPath", path); }

    // A file below the desktop folder.
    std::string File(const std::string& relative) const { return m_path + relative; }
    std::string Dump(const std::string& relative) const
    {
        return PalmDumpFile(File(relative).c_str()).GetString();
    }

    // Opens a table file below the desktop folder (a missing one is empty),
    // lets `edit` change it, and saves it.
    template <class Table>
    void EditTable(const std::string& relative, const std::function<void(Table&)>& edit)
    {
        Table table;
        Save([&] {
            table.OpenFrom(File(relative).c_str(), 0);
            edit(table);
            table.Save();
        });
    }

    // The running desktop, started from its folder beside the tests with the
    // desktop folder as its current folder; true once its window is there.
    bool StartDesktop()
    {
        const std::string program = ProgramFolder() + "palm-desktop\\" + PALM_DESKTOP_PROGRAM;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, m_path.c_str(), &startup,
                            &process))
            return false;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return WaitForDesktop(process.dwProcessId);
    }

    // Waits until the desktop process of that id made its window and waits
    // for input; the process is then this fixture's to stop.
    bool WaitForDesktop(DWORD processId)
    {
        m_process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
        if (!m_process)
            return false;
        // The window exists before the program first waits for input.
        return WaitForInputIdle(m_process, 20000) == 0 && DesktopWindow() != nullptr;
    }

    HWND DesktopWindow() const { return FindWindowA(PALM_DESKTOP_CLASS, nullptr); }

    // Closes the desktop and waits until its process has ended.
    void StopDesktop()
    {
        if (!m_process)
            return;
        if (HWND window = DesktopWindow())
            PostMessageA(window, WM_CLOSE, 0, 0);
        HANDLE process = m_process;
        EXPECT_TRUE(WaitFor([process] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, 20000, process))
            << "the desktop did not end";
        CloseHandle(m_process);
        m_process = nullptr;
    }

    // The requests the running desktop logged, one line each.
    std::vector<std::string> Log() const
    {
        std::vector<std::string> lines;
        std::string text = ReadFileBytes(File(PALM_DESKTOP_LOG));
        if (text == "<missing>")
            return lines;
        size_t start = 0;
        for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    void SetStandInSetting(const char* name, DWORD value) { SetNumber(HKEY_CURRENT_USER, PALM_STANDIN_KEY, name, value); }

private:
    template <class Action>
    static void Save(Action action)
    {
        try {
            action();
        } catch (CException* e) {
            char message[256] = "";
            e->GetErrorMessage(message, sizeof message);
            e->Delete();
            ADD_FAILURE() << "the stand-in refused: " << message;
        }
    }

    std::string m_path;
    HANDLE m_process = nullptr;
};

} // namespace PalmTesting
