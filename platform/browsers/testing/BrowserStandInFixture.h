// Puts the browser stand-ins into the test prefix for one test: registers
// their automation objects, names one build of browser.exe as the program
// for web pages, gives them a fresh log, starts and stops DDE browsers, and
// takes all of it away again at the end.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "QuiComTesting.h"
#include "QuiTesting.h"
#include "TestName.h"
#include "StandInLog.h"

namespace BrowserStandInTesting {

enum class Program { Explorer, Netscape, Other, Notes, NotesCapital, None };

const char kPageClass[] = "QuillmateStandIn.Page";
const char kClientKey[] = "Software\\Quillmate\\Client\\Preferences";

inline std::string ProgramPath(Program program)
{
    const char* folder = program == Program::Explorer       ? "explorer"
                         : program == Program::Netscape     ? "netscape"
                         : program == Program::Other        ? "other"
                         : program == Program::Notes        ? "notes"
                                                            : "Notes-Client";
    return QuiComTesting::ProgramFolder() + "browsers\\" + folder + "\\browser.exe";
}

inline void SetText(HKEY root, const std::string& key, const char* name, const std::string& text)
{
    EXPECT_TRUE(QuiTesting::SetRegText(root, key, name, text)) << key;
}

inline void SetNumber(HKEY root, const std::string& key, const char* name, DWORD value)
{
    EXPECT_TRUE(QuiTesting::SetRegNumber(root, key, name, value)) << key;
}

// The setting `Browser` as the registry holds it; 0xFFFFFFFF when missing.
inline DWORD BrowserSetting()
{
    DWORD value = 0xFFFFFFFF, size = sizeof value;
    if (SHGetValueA(HKEY_CURRENT_USER, kClientKey, "Browser", nullptr, &value, &size) != ERROR_SUCCESS)
        return 0xFFFFFFFF;
    return value;
}

inline void SetBrowserSetting(DWORD value)
{
    SetNumber(HKEY_CURRENT_USER, kClientKey, "Browser", value);
}

class Installation {
public:
    Installation()
        : m_server((QuiComTesting::ProgramFolder() + "BrowserStandIn.dll").c_str()),
          m_logged(CreateEventA(nullptr, FALSE, FALSE, BROWSER_STANDIN_LOGGED_EVENT)),
          m_quit(CreateEventA(nullptr, TRUE, FALSE, BROWSER_STANDIN_QUIT_EVENT))
    {
        Clean();
        std::string folder = QuiComTesting::ProgramFolder() + "browser-logs";
        CreateDirectoryA(folder.c_str(), nullptr);
        m_log = folder + "\\" + QuiTesting::CurrentTestName() + ".log";
        DeleteFileA(m_log.c_str());
        SetText(HKEY_CURRENT_USER, BROWSER_STANDIN_KEY, "Log", m_log);
        EXPECT_TRUE(m_server.Loaded()) << "BrowserStandIn.dll";
        // Registering also takes the web browser object's ProgID over from
        // whatever the prefix had: no real browser is ever started.
        EXPECT_EQ(S_OK, m_server.Register());
        SetProgram(Program::None);
    }
    ~Installation()
    {
        StopDdeBrowsers();
        m_server.Unregister();
        SHDeleteKeyA(HKEY_CLASSES_ROOT, kPageClass);
        SHDeleteKeyA(HKEY_CLASSES_ROOT, "Neo20");
        Clean();
        if (m_logged)
            CloseHandle(m_logged);
        if (m_quit)
            CloseHandle(m_quit);
    }
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    // Names that build of browser.exe for ".html" files and http URLs; None
    // leaves web pages without a program.
    void SetProgram(Program program)
    {
        SetText(HKEY_CLASSES_ROOT, ".html", "", kPageClass);
        SHDeleteKeyA(HKEY_CLASSES_ROOT, kPageClass);
        SHDeleteKeyA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command");
        if (program == Program::None)
            return;
        std::string command = "\"" + ProgramPath(program) + "\" \"%1\"";
        SetText(HKEY_CLASSES_ROOT, std::string(kPageClass) + "\\shell\\open\\command", "", command);
        SetText(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", "", command);
    }
    // The automation objects gone from the prefix.
    void UnregisterServer() { EXPECT_EQ(S_OK, m_server.Unregister()); }
    void SetFailCalls(const std::vector<const char*>& calls)
    {
        std::string data;
        for (const char* call : calls)
            data.append(call).push_back('\0');
        data.push_back('\0');
        EXPECT_TRUE(QuiTesting::SetRegValue(HKEY_CURRENT_USER, BROWSER_STANDIN_KEY, "FailCalls", REG_MULTI_SZ,
                                            data.data(), static_cast<DWORD>(data.size())));
    }
    void SetStandInNumber(const char* name, DWORD value) { SetNumber(HKEY_CURRENT_USER, BROWSER_STANDIN_KEY, name, value); }
    void SetNeoplanetCommand(const std::string& command)
    {
        SetText(HKEY_CLASSES_ROOT, "Neo20\\shell\\open\\command", "", command);
    }
    static std::string DdeBrowserPath() { return QuiComTesting::ProgramFolder() + "ddebrowser.exe"; }

    // Starts ddebrowser.exe for the service and waits until it serves.
    void StartDdeBrowser(const char* service)
    {
        ResetEvent(m_quit);
        HANDLE started = CreateEventA(nullptr, TRUE, FALSE, BROWSER_STANDIN_STARTED_EVENT);
        ResetEvent(started);
        std::string commandLine = "\"" + DdeBrowserPath() + "\" " + service;
        STARTUPINFOA startup = {sizeof startup};
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &process))
            << commandLine;
        CloseHandle(process.hThread);
        m_ddeBrowsers.push_back(process.hProcess);
        HANDLE handles[] = {started, process.hProcess};
        DWORD woken = WaitForMultipleObjects(2, handles, FALSE, 20000);
        CloseHandle(started);
        ASSERT_EQ(WAIT_OBJECT_0, woken) << "ddebrowser.exe " << service << " did not start serving";
    }
    // Ends every DDE browser, also those a driver started (and those that
    // start later, until StartDdeBrowser), and waits for those the test started.
    void StopDdeBrowsers()
    {
        SetEvent(m_quit);
        for (HANDLE process : m_ddeBrowsers) {
            PumpUntil([process] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, process);
            CloseHandle(process);
        }
        m_ddeBrowsers.clear();
    }

    std::vector<std::string> Log() const { return BrowserStandIn::ReadLog(m_log); }
    const std::string& LogPath() const { return m_log; }
    // The log's lines that begin with the prefix.
    std::vector<std::string> Lines(const std::string& prefix) const
    {
        std::vector<std::string> lines;
        for (const std::string& line : Log()) {
            if (line.compare(0, prefix.size(), prefix) == 0)
                lines.push_back(line);
        }
        return lines;
    }
    // Pumps messages until a line with the prefix is logged or 20 seconds pass.
    bool WaitForLine(const std::string& prefix)
    {
        return PumpUntil([this, &prefix] { return !Lines(prefix).empty(); });
    }

    // Pumps messages, waking for each logged line (or when `wake` is
    // signalled), until the condition holds or 20 seconds pass.
    bool PumpUntil(const std::function<bool()>& done, HANDLE wake = nullptr)
    {
        return QuiTesting::PumpUntil(done, kDeadline, wake ? wake : m_logged);
    }

private:
    static constexpr DWORD kDeadline = 20000;

    static void Clean()
    {
        SHDeleteKeyA(HKEY_CURRENT_USER, BROWSER_STANDIN_KEY);
        SHDeleteValueA(HKEY_CURRENT_USER, kClientKey, "Browser");
    }

    QuiComTesting::ServerLibrary m_server;
    HANDLE m_logged;
    HANDLE m_quit;
    std::string m_log;
    std::vector<HANDLE> m_ddeBrowsers;
};

}  // namespace BrowserStandInTesting
