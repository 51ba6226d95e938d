#include "NotesPathUtil.h"

#include <afxquill.h>
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>
#include <vector>

namespace {

const char kNotesKey[] = "Software\\Lotus\\Notes\\5.0";
const char kAppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\notes.exe";
const char kProductKey[] = "Software\\Quillmate";

// Each test gets its own HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER (fresh keys
// below the real user key), its own PATH, and a folder holding notes.exe.
class NotesPath : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_branch = std::string("Software\\QuillmateTests\\NotesPath.") + info->name();
        SHDeleteKeyA(HKEY_CURRENT_USER, m_branch.c_str());
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, (m_branch + "\\HKLM").c_str(), &m_machine));
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, (m_branch + "\\HKCU").c_str(), &m_user));
        ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_machine));
        ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CURRENT_USER, m_user));

        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        m_notes = std::string(temp) + "qui-notespath-" + info->name();
        m_empty = m_notes + "-empty";
        CreateDirectoryA(m_notes.c_str(), nullptr);
        CreateDirectoryA(m_empty.c_str(), nullptr);
        HANDLE file = CreateFileA((m_notes + "\\notes.exe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                  nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        CloseHandle(file);

        char path[32767];
        DWORD n = GetEnvironmentVariableA("PATH", path, sizeof path);
        m_hadPath = n > 0;
        m_oldPath.assign(path, n);
        SetPath("C:\\windows");
    }

    void TearDown() override
    {
        SetEnvironmentVariableA("PATH", m_hadPath ? m_oldPath.c_str() : nullptr);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(m_machine);
        RegCloseKey(m_user);
        SHDeleteKeyA(HKEY_CURRENT_USER, m_branch.c_str());
        DeleteFileA((m_notes + "\\notes.exe").c_str());
        RemoveDirectoryA(m_notes.c_str());
        RemoveDirectoryA(m_empty.c_str());
    }

    static void SetText(HKEY root, const char* key, const char* name, const std::string& text, bool terminated = true)
    {
        HKEY handle;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(root, key, &handle));
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                                static_cast<DWORD>(text.size() + (terminated ? 1 : 0))));
        RegCloseKey(handle);
    }

    static void SetPath(const char* value) { SetEnvironmentVariableA("PATH", value); }

    static std::string Path()
    {
        char path[32767];
        DWORD n = GetEnvironmentVariableA("PATH", path, sizeof path);
        return std::string(path, n);
    }

    static std::string StoredNotesPath()
    {
        char text[MAX_PATH];
        return NotesPathUtil::ReadRegText(HKEY_CURRENT_USER, kProductKey, "Notes Path", text, sizeof text) ? text
                                                                                                           : "";
    }

    std::string m_branch;
    HKEY m_machine = nullptr;
    HKEY m_user = nullptr;
    std::string m_notes;
    std::string m_empty;
    bool m_hadPath = false;
    std::string m_oldPath;
};

TEST_F(NotesPath, NothingFoundLeavesPathAlone)
{
    NotesPathUtil lookup;
    EXPECT_FALSE(lookup.Found());
    EXPECT_STREQ("", lookup.Folder());
    EXPECT_EQ("C:\\windows", Path());
}

TEST_F(NotesPath, FirstHitWinsInOrder)
{
    // Each row: which places are set, what is found.
    struct Row {
        bool notesKey, appPath, appDefault, userPick;
        const char* expected;
    } rows[] = {
        {true, true, true, true, "C:\\Lotus\\Notes"},
        {false, true, true, true, "C:\\AppPath\\Notes"},
        {false, false, true, true, "C:\\Default\\Notes"},
        {false, false, false, true, nullptr},  // the user's folder
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected ? row.expected : "user pick");
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software");
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software");
        SetPath("C:\\windows");
        if (row.notesKey)
            SetText(HKEY_LOCAL_MACHINE, kNotesKey, "Path", "C:\\Lotus\\Notes");
        if (row.appPath)
            SetText(HKEY_LOCAL_MACHINE, kAppPathKey, "Path", "C:\\AppPath\\Notes");
        if (row.appDefault)
            SetText(HKEY_LOCAL_MACHINE, kAppPathKey, nullptr, "C:\\Default\\Notes\\notes.exe");
        if (row.userPick)
            SetText(HKEY_CURRENT_USER, kProductKey, "Notes Path", m_notes);
        NotesPathUtil lookup;
        std::string expected = row.expected ? row.expected : m_notes;
        EXPECT_TRUE(lookup.Found());
        EXPECT_EQ(expected, lookup.Folder());
        EXPECT_EQ("C:\\windows;" + expected, Path());
    }
}

TEST_F(NotesPath, DataFolderFollowsOnlyTheNotesKey)
{
    SetText(HKEY_LOCAL_MACHINE, kNotesKey, "Path", "C:\\Lotus\\Notes");
    SetText(HKEY_LOCAL_MACHINE, kNotesKey, "DataPath", "C:\\Lotus\\Notes\\Data");
    {
        NotesPathUtil lookup;
        EXPECT_EQ("C:\\windows;C:\\Lotus\\Notes;C:\\Lotus\\Notes\\Data", Path());
    }
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Lotus");
    SetPath("C:\\windows");
    SetText(HKEY_LOCAL_MACHINE, kAppPathKey, "Path", "C:\\AppPath\\Notes");
    SetText(HKEY_CURRENT_USER, "Software\\Lotus\\Notes\\5.0", "DataPath", "C:\\Elsewhere");
    NotesPathUtil lookup;
    EXPECT_EQ("C:\\windows;C:\\AppPath\\Notes", Path());
}

TEST_F(NotesPath, AppPathDefaultValues)
{
    // Each row: the App Paths default value, the folder found ("" none).
    struct Row {
        const char* value;
        bool terminated;
        const char* expected;
    } rows[] = {
        {"C:\\Notes\\notes.exe", true, "C:\\Notes"},
        {"\"C:\\Program Files\\Notes\\notes.exe\"", true, "C:\\Program Files\\Notes"},
        {"C:\\Notes\\notes.exe", false, "C:\\Notes"},
        {"notes.exe", true, ""},  // no backslash: no folder
        {"\\notes.exe", true, ""},
        {"", true, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software");
        SetPath("C:\\windows");
        SetText(HKEY_LOCAL_MACHINE, kAppPathKey, nullptr, row.value, row.terminated);
        NotesPathUtil lookup;
        EXPECT_EQ(row.expected[0] != '\0', lookup.Found() != FALSE);
        EXPECT_STREQ(row.expected, lookup.Folder());
    }
}

TEST_F(NotesPath, UserFolderNeedsTheNotesProgram)
{
    SetText(HKEY_CURRENT_USER, kProductKey, "Notes Path", m_empty);
    NotesPathUtil lookup;
    EXPECT_FALSE(lookup.Found());
    EXPECT_EQ("C:\\windows", Path());
}

TEST_F(NotesPath, RepeatedLookupsPutTheFolderOnOnce)
{
    SetText(HKEY_LOCAL_MACHINE, kNotesKey, "Path", "C:\\Lotus\\Notes");
    SetText(HKEY_LOCAL_MACHINE, kNotesKey, "DataPath", "C:\\Lotus\\Notes\\Data");
    for (int i = 0; i < 3; ++i)
        NotesPathUtil lookup;
    EXPECT_EQ("C:\\windows;C:\\Lotus\\Notes;C:\\Lotus\\Notes\\Data", Path());
}

TEST_F(NotesPath, AppendingKeepsEntriesWhole)
{
    // Each row: PATH before, the folder, PATH after.
    struct Row {
        const char* before;
        const char* folder;
        const char* after;
    } rows[] = {
        {"", "C:\\Notes", "C:\\Notes"},
        {"C:\\windows;", "C:\\Notes", "C:\\windows;C:\\Notes"},
        {"C:\\windows", "C:\\Notes", "C:\\windows;C:\\Notes"},
        {"c:\\notes\\;C:\\windows", "C:\\Notes", "c:\\notes\\;C:\\windows"},
        {"C:\\windows;C:\\Notes", "C:\\Notes\\", "C:\\windows;C:\\Notes"},
        {"C:\\Notes2", "C:\\Notes", "C:\\Notes2;C:\\Notes"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.before);
        SetPath(row.before[0] ? row.before : nullptr);
        EXPECT_TRUE(NotesPathUtil::AppendToPath(row.folder));
        EXPECT_EQ(row.after, Path());
    }
}

TEST_F(NotesPath, ReadsOnlyTextThatFits)
{
    // Each row: stored text, buffer size, read or not, what was read.
    struct Row {
        std::string stored;
        DWORD size;
        bool read;
        std::string expected;
    } rows[] = {
        {"C:\\Notes", MAX_PATH, true, "C:\\Notes"},
        {"C:\\Notes", 8, false, ""},  // no room for the terminator
        {"C:\\Notes", 9, true, "C:\\Notes"},
        {"\"C:\\Notes\"", 10, true, "C:\\Notes"},
        {"\"", MAX_PATH, true, "\""},
        {"\"\"", MAX_PATH, false, ""},
        {std::string(300, 'x'), MAX_PATH, false, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.stored);
        SetText(HKEY_LOCAL_MACHINE, kNotesKey, "Path", row.stored, false);
        std::vector<char> out(row.size, '?');
        EXPECT_EQ(row.read, NotesPathUtil::ReadRegText(HKEY_LOCAL_MACHINE, kNotesKey, "Path", out.data(), row.size)
                                != FALSE);
        EXPECT_EQ(row.expected, std::string(out.data()));
    }
}

TEST_F(NotesPath, BrowsingForTheNotesFolder)
{
    NotesPathUtil lookup;
    {
        CPromptScript script;
        script.AnswerNext(IDCANCEL);
        EXPECT_FALSE(lookup.BrowseForNotes(nullptr));
        ASSERT_EQ(1u, script.Asked().size());
        EXPECT_EQ(PromptKind::Folder, script.Asked()[0].kind);
        EXPECT_STREQ("", script.Asked()[0].caption);
    }
    {
        CPromptScript script;
        script.AnswerNextFile(m_empty.c_str());
        EXPECT_FALSE(lookup.BrowseForNotes(nullptr));
        EXPECT_EQ("", StoredNotesPath());
        EXPECT_EQ("C:\\windows", Path());
    }
    {
        CPromptScript script;
        script.AnswerNextFile(m_notes.c_str());
        EXPECT_TRUE(lookup.BrowseForNotes(nullptr));
        EXPECT_EQ(0, script.Unexpected());
    }
    EXPECT_TRUE(lookup.Found());
    EXPECT_EQ(m_notes, lookup.Folder());
    EXPECT_EQ(m_notes, StoredNotesPath());
    EXPECT_EQ("C:\\windows;" + m_notes, Path());

    // The next start finds the picked folder by itself.
    SetPath("C:\\windows");
    NotesPathUtil next;
    EXPECT_EQ(m_notes, next.Folder());
}

} // namespace
