// Heron's options in the registry: what a load takes over, what a save writes.
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <cstring>
#include <string>

#include "HeronOptions.h"
#include "QuiTesting.h"
#include "QuiComTesting.h"

namespace {

class HeronOptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SHDeleteKeyA(HKEY_CURRENT_USER, HERON_OPTIONS_KEY);
        HeronOptions::Reset();
    }
    void TearDown() override
    {
        SHDeleteKeyA(HKEY_CURRENT_USER, HERON_OPTIONS_KEY);
        HeronOptions::Reset();
    }
    static void Store(const char* name, DWORD type, const void* data, DWORD size)
    {
        ASSERT_TRUE(QuiTesting::SetRegValue(HKEY_CURRENT_USER, HERON_OPTIONS_KEY, name, type, data, size));
    }
    static std::string Text(int index) { return reinterpret_cast<const char*>(HeronOptions::Get(index)); }
};

TEST_F(HeronOptionsTest, DefaultsWithoutKey)
{
    HeronOptions::Load();
    EXPECT_EQ(30000u, HeronOptions::Number(HERON_OPT_WAIT_FOR_NOTES_TIMEOUT));
    EXPECT_EQ(0u, HeronOptions::Number(HERON_OPT_VERBOSE));
    EXPECT_EQ(0u, HeronOptions::Number(HERON_OPT_GENERATE_DATA));
    EXPECT_EQ("journal4.ntf", Text(HERON_OPT_JOURNAL_TEMPLATE));
    EXPECT_EQ("journal.nsf", Text(HERON_OPT_JOURNAL_NAME));
    EXPECT_EQ("", Text(HERON_OPT_LAST_INI_FILE));
    EXPECT_EQ(0u, HeronOptions::Number(HERON_OPT_GET_SERVER_CONTACTS));
    EXPECT_FALSE(QuiComTesting::KeyExists(HKEY_CURRENT_USER, HERON_OPTIONS_KEY)) << "a load writes nothing";
}

TEST_F(HeronOptionsTest, StoredValuesReplaceDefaults)
{
    DWORD timeout = 250;
    Store("WaitForNotesTimeout", REG_DWORD, &timeout, sizeof timeout);
    Store("JournalName", REG_SZ, "notes.nsf", 10);
    HeronOptions::Load();
    EXPECT_EQ(250u, HeronOptions::Number(HERON_OPT_WAIT_FOR_NOTES_TIMEOUT));
    EXPECT_EQ("notes.nsf", Text(HERON_OPT_JOURNAL_NAME)) << "the old text is cleared first";
}

TEST_F(HeronOptionsTest, StoredTypeReplacesTheEntrysType)
{
    Store("WaitForNotesTimeout", REG_SZ, "5000", 5);
    HeronOptions::Load();
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), HeronOptions::Type(HERON_OPT_WAIT_FOR_NOTES_TIMEOUT));
    DWORD firstFour;
    std::memcpy(&firstFour, "5000", 4);
    EXPECT_EQ(firstFour, HeronOptions::Number(HERON_OPT_WAIT_FOR_NOTES_TIMEOUT));
}

TEST_F(HeronOptionsTest, OverlongValueKeepsTheDefault)
{
    std::string longText(300, 'x');
    Store("JournalTemplate", REG_SZ, longText.c_str(), static_cast<DWORD>(longText.size() + 1));
    HeronOptions::Load();
    EXPECT_EQ("journal4.ntf", Text(HERON_OPT_JOURNAL_TEMPLATE));
}

TEST_F(HeronOptionsTest, TextsAreTakenWhole)
{
    const std::string full(260, 'y');
    struct Row {
        const char* what;
        const char* name;
        int index;
        std::string first;   // stored before the load, "" for nothing
        std::string second;  // stored before a second load, as it is (terminator or not)
        std::string text;    // the entry's text after the second load
    } rows[] = {
        {"fills the entry without its end", "JournalTemplate", HERON_OPT_JOURNAL_TEMPLATE, "", full, "journal4.ntf"},
        {"fills the entry with its end", "JournalTemplate", HERON_OPT_JOURNAL_TEMPLATE, "",
         std::string(259, 'y') + '\0', std::string(259, 'y')},
        {"short without its end", "JournalName", HERON_OPT_JOURNAL_NAME, "", "abc", "abc"},
        {"after a longer text, in a number's entry", "WaitForNotesTimeout", HERON_OPT_WAIT_FOR_NOTES_TIMEOUT,
         std::string("abcdefgh", 9), "wxyz1", "wxyz1"},
        {"after a longer text, in a text's entry", "LastIniFile", HERON_OPT_LAST_INI_FILE,
         std::string("c:\\notes\\notes.ini", 19), "d:\\n", "d:\\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SHDeleteKeyA(HKEY_CURRENT_USER, HERON_OPTIONS_KEY);
        HeronOptions::Reset();
        if (!row.first.empty())
            Store(row.name, REG_SZ, row.first.data(), static_cast<DWORD>(row.first.size()));
        HeronOptions::Load();
        // A byte behind the value that is no terminator, or Wine would take it as the text's end.
        const std::string behind = row.second + 'Q';
        Store(row.name, REG_SZ, behind.data(), static_cast<DWORD>(row.second.size()));
        HeronOptions::Load();
        const BYTE* data = HeronOptions::Get(row.index);
        ASSERT_NE(nullptr, data);
        ASSERT_NE(nullptr, std::memchr(data, 0, 260)) << "a text without its end";
        EXPECT_EQ(row.text, Text(row.index));
    }
}

TEST_F(HeronOptionsTest, SaveWritesEveryEntry)
{
    HeronOptions::Set(HERON_OPT_LAST_INI_FILE, "C:\\notes\\notes.ini");
    HeronOptions::Save();
    EXPECT_EQ("journal4.ntf", QuiComTesting::RegText(HKEY_CURRENT_USER, HERON_OPTIONS_KEY, "JournalTemplate"));
    EXPECT_EQ("journal.nsf", QuiComTesting::RegText(HKEY_CURRENT_USER, HERON_OPTIONS_KEY, "JournalName"));
    EXPECT_EQ("C:\\notes\\notes.ini", QuiComTesting::RegText(HKEY_CURRENT_USER, HERON_OPTIONS_KEY, "LastIniFile"));
    for (const char* name : {"WaitForNotesTimeout", "Verbose", "GenerateData", "GetServerContacts"}) {
        DWORD value = 7, size = sizeof value, type = 0;
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, HERON_OPTIONS_KEY, 0, KEY_READ, &key));
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size));
        RegCloseKey(key);
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type) << name;
        EXPECT_EQ(std::string(name) == "WaitForNotesTimeout" ? 30000u : 0u, value) << name;
    }
}

// A value whose stored type differs from its entry's is written back as it
// was read, with the size of that type.
TEST_F(HeronOptionsTest, SaveWritesEachValueWithItsOwnSize)
{
    struct Row {
        const char* name;
        DWORD type;
        std::string data;
    } rows[] = {
        {"JournalName", REG_DWORD, std::string("\x07\0\0\0", 4)},
        {"LastIniFile", REG_BINARY, "abc"},
        {"WaitForNotesTimeout", REG_SZ, std::string("5000", 5)},
        {"GenerateData", REG_BINARY, std::string("\x01\x02", 2)},
        {"Verbose", REG_DWORD, std::string("\x01\0\0\0", 4)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SHDeleteKeyA(HKEY_CURRENT_USER, HERON_OPTIONS_KEY);
        HeronOptions::Reset();
        Store(row.name, row.type, row.data.data(), static_cast<DWORD>(row.data.size()));
        HeronOptions::Load();
        HeronOptions::Save();
        BYTE data[512];
        DWORD size = sizeof data, type = 0;
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, HERON_OPTIONS_KEY, 0, KEY_READ, &key));
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, row.name, nullptr, &type, data, &size));
        RegCloseKey(key);
        EXPECT_EQ(row.type, type);
        EXPECT_EQ(row.data, std::string(reinterpret_cast<const char*>(data), size));
    }
}

TEST_F(HeronOptionsTest, GetAndSetByIndex)
{
    EXPECT_EQ(nullptr, HeronOptions::Get(-1));
    EXPECT_EQ(nullptr, HeronOptions::Get(HERON_OPTION_COUNT));
    EXPECT_FALSE(HeronOptions::Set(7, "x"));
    EXPECT_EQ(nullptr, HeronOptions::Get(HERON_OPT_VERBOSE, true)) << "the key does not exist: the re-read fails";
    DWORD verbose = 1;
    Store("Verbose", REG_DWORD, &verbose, sizeof verbose);
    ASSERT_NE(nullptr, HeronOptions::Get(HERON_OPT_VERBOSE, true));
    EXPECT_EQ(1u, HeronOptions::Number(HERON_OPT_VERBOSE));
    std::string longText(400, 'y');
    EXPECT_TRUE(HeronOptions::Set(HERON_OPT_JOURNAL_NAME, longText.c_str()));
    EXPECT_EQ(std::string(259, 'y'), Text(HERON_OPT_JOURNAL_NAME));
    DWORD timeout = 1234;
    EXPECT_TRUE(HeronOptions::Set(HERON_OPT_WAIT_FOR_NOTES_TIMEOUT, &timeout));
    EXPECT_EQ(1234u, HeronOptions::Number(HERON_OPT_WAIT_FOR_NOTES_TIMEOUT));
}

}  // namespace
