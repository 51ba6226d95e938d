// Wren.exe as the installer starts it: paths from the registry, the switch
// on its command line, its answer in the exit code.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "KeywordConvert.h"
#include "PalmDesktopFixture.h"
#include "QuiComTesting.h"
#include "QuiTesting.h"

using QuiComTesting::ProgramFolder;
using QuiComTesting::RegText;
using QuiComTesting::RunProgram;
using QuiTesting::Exists;
using QuiTesting::ReadText;

namespace {

const std::string kAppPaths = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const std::string kMainKey = kAppPaths + "quillmate.exe";
const std::string kOutlookKey = kAppPaths + "quillmate for microsoft outlook.exe";
const char kClientKey[] = "software\\quillmate\\client";

// A saved registry value, put back when the test ends.
class SavedText {
public:
    SavedText(HKEY root, std::string key, const char* name) : m_root(root), m_key(std::move(key)), m_name(name)
    {
        m_value = RegText(root, m_key, name);
    }
    ~SavedText()
    {
        if (m_value == "<missing>")
            Remove();
        else
            Set(m_value);
    }
    void Set(const std::string& text) { QuiTesting::SetRegText(m_root, m_key, m_name, text); }
    void Remove()
    {
        HKEY handle;
        if (RegOpenKeyExA(m_root, m_key.c_str(), 0, KEY_ALL_ACCESS, &handle) == ERROR_SUCCESS) {
            RegDeleteValueA(handle, m_name);
            RegCloseKey(handle);
        }
    }

private:
    HKEY m_root;
    std::string m_key;
    const char* m_name;
    std::string m_value;
};

class WrenProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        m_temp = temp;
        m_root = m_temp + "WrenTest";
        CreateDirectoryA(m_root.c_str(), nullptr);
        CreateDirectoryA((m_root + "\\Outlook").c_str(), nullptr);
        CreateDirectoryA((m_root + "\\quillmate data").c_str(), nullptr);
        m_main.Set(m_root + "\\Quillmate.exe");
        m_outlook.Set(m_root + "\\Outlook\\Quillmate for Microsoft Outlook.exe");
        m_aliases.Remove();
        m_input = m_root + "\\quillmate data\\keywords.zel";
        m_output = m_root + "\\keywords.xml";
        DeleteFileA(m_output.c_str());
        EXPECT_TRUE(QuiTesting::WriteText(m_input, "bank,1,Finance,0,1,0,0,0\n")) << m_input;
    }
    void TearDown() override
    {
        DeleteFileA(m_output.c_str());
        DeleteFileA(m_input.c_str());
    }
    int Run(const std::string& arguments, const std::string& program = "")
    {
        return RunProgram("\"" + (program.empty() ? ProgramFolder() + "Wren.exe" : program) + "\" " + arguments);
    }

    std::string m_temp, m_root, m_input, m_output;
    SavedText m_main{HKEY_LOCAL_MACHINE, kMainKey, nullptr};
    SavedText m_outlook{HKEY_LOCAL_MACHINE, kOutlookKey, nullptr};
    SavedText m_aliases{HKEY_CURRENT_USER, kClientKey, "AliasDb"};
};

TEST_F(WrenProgram, OutlookKeywordsGoToTheKeywordFileBesideTheProgram)
{
    struct Row {
        const char* arguments;
    } rows[] = {{"RUK"}, {"ruk"}, {"/Ruk"}, {"-RUK"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments);
        DeleteFileA(m_output.c_str());
        EXPECT_EQ(wren::kConverted, Run(row.arguments));
        EXPECT_NE(std::string::npos, ReadText(m_output).find("<NAME>Finance</NAME>"));
    }
}

TEST_F(WrenProgram, AliasDbNamesTheKeywordFile)
{
    m_aliases.Set("mine.xml");
    EXPECT_EQ(wren::kConverted, Run("RUK"));
    EXPECT_TRUE(Exists(m_root + "\\mine.xml"));
    DeleteFileA((m_root + "\\mine.xml").c_str());
}

TEST_F(WrenProgram, FailuresShowInTheExitCode)
{
    EXPECT_EQ(wren::kNoSwitch, Run(""));
    EXPECT_EQ(wren::kNoSwitch, Run("RUKS IBEX"));
    EXPECT_TRUE(QuiTesting::WriteText(m_input, "bank,1,Finance,0,1,0\n")) << m_input;
    EXPECT_EQ(wren::kInputNotConvertible, Run("RUK"));
    m_outlook.Set("nobackslash.exe");
    EXPECT_EQ(wren::kNoInputPath, Run("RUK"));
    m_outlook.Set(m_root + "\\Outlook\\Quillmate for Microsoft Outlook.exe");
    m_main.Remove();
    EXPECT_EQ(wren::kNoOutputPath, Run("RUK"));
    EXPECT_FALSE(Exists(m_output));
}

// The program may be saving the same keyword file at that moment: Wren
// writes through a temporary file of its own.
TEST_F(WrenProgram, AnotherWritersTemporaryFileIsLeftAlone)
{
    const std::string shared = m_output + ".tmp";
    FILE* other = std::fopen(shared.c_str(), "wb");
    ASSERT_TRUE(other != nullptr);
    ASSERT_GE(std::fputs("the program, half way", other), 0);
    ASSERT_EQ(0, std::fflush(other));
    EXPECT_EQ(wren::kConverted, Run("RUK"));
    std::fclose(other);
    EXPECT_EQ("the program, half way", ReadText(shared));
    EXPECT_NE(std::string::npos, ReadText(m_output).find("<NAME>Finance</NAME>"));
    DeleteFileA(shared.c_str());
}

// A switch's letters in the program's own path are no switch.
TEST_F(WrenProgram, SwitchesInTheProgramPathDoNotCount)
{
    std::string folder = m_root + "\\RUK";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* file : {"Wren.exe", "Kestrel.dll"})
        ASSERT_TRUE(CopyFileA((ProgramFolder() + file).c_str(), (folder + "\\" + file).c_str(), FALSE));
    EXPECT_EQ(wren::kNoSwitch, Run("", folder + "\\Wren.exe"));
    EXPECT_FALSE(Exists(m_output));
    DeleteFileA((folder + "\\Wren.exe").c_str());
    DeleteFileA((folder + "\\Kestrel.dll").c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(WrenProgram, LogGoesToTheTemporaryFolder)
{
    std::string log = m_temp + "wren.log";
    DeleteFileA(log.c_str());
    SavedText logSwitch(HKEY_CURRENT_USER, kClientKey, "Wren");
    QuiTesting::SetRegNumber(HKEY_CURRENT_USER, kClientKey, "Wren", 1);
    int result = Run("RUK");
    logSwitch.Remove();
    EXPECT_EQ(wren::kConverted, result);
    EXPECT_EQ("input: " + m_root + "\\Outlook\\..\\quillmate data\\keywords.zel output: " + m_output + "\n",
              ReadText(log));
    DeleteFileA(log.c_str());
}

// The Palm edition's keyword file lies in the current Palm user's folder, as
// the registered Palm control reports it.
class WrenPalmProgram : public WrenProgram {
protected:
    void SetUp() override
    {
        WrenProgram::SetUp();
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quillmate\\Finch");
        desktop.AddUser("Zoe", "ZoeD");
        desktop.AddUser("Bob", "BobD");
        for (const char* user : {"ZoeD", "BobD"})
            CreateDirectoryA(desktop.File(std::string(user) + "\\keywords").c_str(), nullptr);
        const std::string zoe = desktop.File("ZoeD\\keywords\\keywords.zel");
        const std::string bob = desktop.File("BobD\\keywords\\keywords.zel");
        EXPECT_TRUE(QuiTesting::WriteText(zoe, "gym,1,Health,0,1,0,0,0\n")) << zoe;
        EXPECT_TRUE(QuiTesting::WriteText(bob, "bank,1,Finance,0,1,0,0,0\n")) << bob;
        ASSERT_EQ(0, RunProgram("regsvr32.exe /s \"" + m_finch + "\""));
    }
    void TearDown() override
    {
        RunProgram("regsvr32.exe /s /u \"" + m_finch + "\"");
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quillmate\\Finch");
        WrenProgram::TearDown();
    }

    PalmTesting::TestDesktop desktop;
    const std::string m_finch = ProgramFolder() + "Finch.ocx";
};

TEST_F(WrenPalmProgram, PalmKeywordsComeFromTheCurrentUsersFolder)
{
    // The user Quillmate chose last, else the desktop's last user.
    struct Row {
        const char* chosen;
        const char* desktopUser;
        const char* arguments;
        const char* category;
    } rows[] = {
        {"", "Zoe", "IBE", "Health"},
        {"", "Bob", "/ibe", "Finance"},
        {"Bob", "Zoe", "-Ibe", "Finance"},
        {"Zoe", "Bob", "ibe", "Health"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments);
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quillmate\\Finch");
        if (*row.chosen)
            QuiTesting::SetRegText(HKEY_CURRENT_USER, "Software\\Quillmate\\Finch", "LastUser", row.chosen);
        desktop.SetLastUser(row.desktopUser);
        DeleteFileA(m_output.c_str());
        EXPECT_EQ(wren::kConverted, Run(row.arguments));
        std::string written = ReadText(m_output);
        EXPECT_NE(std::string::npos, written.find(std::string("<NAME>") + row.category + "</NAME>"));
        EXPECT_EQ(std::string::npos, written.find(row.category[0] == 'H' ? "Finance" : "Health")) << "one user's";
    }
}

TEST_F(WrenPalmProgram, WithoutTheUsersFolderNothingIsWritten)
{
    desktop.SetLastUser("Zoe");
    DeleteFileA(desktop.File("ZoeD\\keywords\\keywords.zel").c_str());
    EXPECT_EQ(wren::kInputNotConvertible, Run("IBE"));
    EXPECT_FALSE(Exists(m_output));
    // Without the Palm control there is no user's folder to read.
    ASSERT_EQ(0, RunProgram("regsvr32.exe /s /u \"" + m_finch + "\""));
    EXPECT_EQ(wren::kNoInputPath, Run("IBE"));
    EXPECT_FALSE(Exists(m_output));
}

TEST(WrenExports, BothFunctionsAreExportedByName)
{
    HMODULE wren = LoadLibraryExA((ProgramFolder() + "Wren.exe").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_TRUE(wren);
    EXPECT_TRUE(GetProcAddress(wren, "GetFileType"));
    EXPECT_TRUE(GetProcAddress(wren, "ConvertKeywords"));
    FreeLibrary(wren);
}

} // namespace
