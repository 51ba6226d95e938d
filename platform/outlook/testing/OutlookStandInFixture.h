// Puts the Outlook stand-in into the test prefix for one test: registers its
// object server, names one build of its outlook.exe under App Paths, gives it
// a fresh message store, and takes all of it away again at the end.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "OutlookStore.h"
#include "QuiComTesting.h"
#include "QuiTesting.h"
#include "StandInSettings.h"

namespace OutlookStandInTesting {

enum class Build { Outlook120, Outlook110, Outlook90, Outlook85, Outlook80, Unversioned, None };

const char kAppPathKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";
const char* const kCategoryKeys[] = {"Software\\Microsoft\\Office\\9.0\\Outlook\\Categories",
                                     "Software\\Microsoft\\Office\\8.0\\Outlook\\Categories",
                                     "Software\\Microsoft\\Office\\11.0\\Outlook\\Categories"};

// Each build's folder and the version its object server is told, in the
// order of Build; None has no program.
struct BuildInfo {
    const char* folder;
    const char* version;  // empty: the latest
};
const BuildInfo kBuilds[] = {{"outlook-12.0", "12.0"}, {"outlook-11.0", "11.0"}, {"outlook-9.0", "9.0"},
                             {"outlook-8.5", "8.5"},   {"outlook-8.0", "8.0"},   {"outlook-unversioned", ""},
                             {"outlook-unversioned", ""}};

inline std::string ProgramPath(Build build)
{
    return QuiComTesting::ProgramFolder() + kBuilds[static_cast<int>(build)].folder + "\\outlook.exe";
}

inline void SetValue(HKEY root, const char* key, const char* name, DWORD type, const void* data, DWORD size)
{
    EXPECT_TRUE(QuiTesting::SetRegValue(root, key, name, type, data, size)) << key;
}

inline void SetText(HKEY root, const char* key, const char* name, const std::string& text)
{
    EXPECT_TRUE(QuiTesting::SetRegText(root, key, name, text)) << key;
}

// REG_MULTI_SZ of the texts.
inline void SetTexts(const char* name, std::initializer_list<const char*> texts)
{
    std::string data;
    for (const char* text : texts)
        data.append(text).push_back('\0');
    data.push_back('\0');
    SetValue(HKEY_CURRENT_USER, STANDIN_SETTINGS_KEY, name, REG_MULTI_SZ, data.data(),
             static_cast<DWORD>(data.size()));
}

class Installation {
public:
    explicit Installation(Build build) : m_server((QuiComTesting::ProgramFolder() + "OutlookStandIn.dll").c_str())
    {
        Clean();
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        m_store = QuiComTesting::ProgramFolder() + "outlook-stores\\" + test->test_suite_name() + "." + test->name();
        CreateDirectoryA((QuiComTesting::ProgramFolder() + "outlook-stores").c_str(), nullptr);
        DeleteFileA(m_store.c_str());
        EXPECT_TRUE(m_server.Loaded()) << "OutlookStandIn.dll";
        EXPECT_EQ(S_OK, m_server.Register());
        SetProgram(build);
        SetText(HKEY_CURRENT_USER, STANDIN_SETTINGS_KEY, "Store", m_store);
    }
    ~Installation()
    {
        m_server.Unregister();
        Clean();
        DeleteFileA(m_store.c_str());
    }
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    // Names that build's outlook.exe under App Paths, and tells the object
    // server that version; None takes the key away.
    void SetProgram(Build build)
    {
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, kAppPathKey);
        if (build != Build::None)
            SetText(HKEY_LOCAL_MACHINE, kAppPathKey, "", ProgramPath(build));
        SetText(HKEY_CURRENT_USER, STANDIN_SETTINGS_KEY, "Version", kBuilds[static_cast<int>(build)].version);
    }
    // The user closes Outlook: outlook.exe told so ends the session; every
    // object handed out before answers `answer` from then on.
    void CloseAsUser(HRESULT answer = RPC_E_DISCONNECTED)
    {
        const DWORD code = static_cast<DWORD>(answer);
        SetValue(HKEY_CURRENT_USER, STANDIN_SETTINGS_KEY, "ClosedAnswer", REG_DWORD, &code, sizeof code);
        EXPECT_EQ(0, QuiComTesting::RunProgram("\"" + ProgramPath(Build::Outlook90) + "\" /close"));
    }
    // The object model guard is on; the user answers its prompts so ('y' or 'n'
    // each), and allows every prompt after them.
    void SetGuardAnswers(const char* answers) { SetText(HKEY_CURRENT_USER, STANDIN_SETTINGS_KEY, "GuardAnswers", answers); }
    void SetLogonFailures(DWORD count)
    {
        SetValue(HKEY_CURRENT_USER, STANDIN_SETTINGS_KEY, "LogonFailures", REG_DWORD, &count, sizeof count);
    }
    void SetKnownNames(std::initializer_list<const char*> names) { SetTexts("KnownNames", names); }
    void SetFailCalls(std::initializer_list<const char*> calls) { SetTexts("FailCalls", calls); }
    // The master category list of the store.
    void SetCategories(std::initializer_list<const char*> names) { SetTexts("Categories", names); }

    // The object server: S_OK from its DllCanUnloadNow when no object of it lives.
    const QuiComTesting::ServerLibrary& Server() const { return m_server; }
    const std::string& StorePath() const { return m_store; }

    // The store as outlookdump prints it.
    std::vector<std::string> Dump() const
    {
        std::vector<StoreRecord> records;
        EXPECT_TRUE(ReadStore(Wide(m_store), &records)) << m_store;
        return DumpStoreLines(records);
    }
    // The dump lines of record `number` (from 1), without their number.
    std::vector<std::string> Record(int number) const
    {
        char prefix[8];
        snprintf(prefix, sizeof prefix, "%04d ", number);
        std::vector<std::string> lines;
        for (const std::string& line : Dump()) {
            if (line.compare(0, 5, prefix) == 0)
                lines.push_back(line.substr(5));
        }
        return lines;
    }
    size_t RecordCount() const
    {
        std::vector<StoreRecord> records;
        ReadStore(Wide(m_store), &records);
        return records.size();
    }

private:
    static void Clean()
    {
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, kAppPathKey);
        SHDeleteKeyA(HKEY_CURRENT_USER, STANDIN_SETTINGS_KEY);
        for (const char* key : kCategoryKeys) {
            SHDeleteKeyA(HKEY_CURRENT_USER, key);
            SHDeleteKeyA(HKEY_LOCAL_MACHINE, key);
        }
    }

    QuiComTesting::ServerLibrary m_server;
    std::string m_store;
};

}  // namespace OutlookStandInTesting
