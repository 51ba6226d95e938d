#include "ClientRegistry.h"
#include "RegistryBranch.h"

#include <cstring>
#include <string>
#include <vector>

namespace {
const char kClientKey[] = "Software\\Quillmate\\Client";

struct Stored {
    LONG result;
    DWORD type;
    std::vector<BYTE> data;
};

Stored ReadStored(const char* key, const char* name)
{
    Stored s = {ERROR_FILE_NOT_FOUND, 0, {}};
    HKEY h;
    if ((s.result = RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &h)) != ERROR_SUCCESS)
        return s;
    DWORD size = 0;
    s.result = RegQueryValueExA(h, name, nullptr, &s.type, nullptr, &size);
    if (s.result == ERROR_SUCCESS) {
        s.data.resize(size);
        s.result = RegQueryValueExA(h, name, nullptr, &s.type, s.data.data(), &size);
    }
    RegCloseKey(h);
    return s;
}

void Store(const char* key, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY h;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                                             nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(h, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(h);
}

void StoreText(const char* key, const char* name, const std::string& text)
{
    Store(key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void StoreDword(const char* key, const char* name, DWORD value)
{
    Store(key, name, REG_DWORD, &value, sizeof(value));
}

DWORD AsDword(const void* data)
{
    DWORD v;
    std::memcpy(&v, data, sizeof(v));
    return v;
}

std::string SubKeyPath(const char* sub)
{
    return *sub ? std::string(kClientKey) + "\\" + sub : std::string(kClientKey);
}

// The settings as the table defines them: {subkey, name, type, size, number, text}.
struct Expected {
    const char* subKey;
    const char* name;
    DWORD type;
    DWORD size;
    DWORD number;
    const char* text;
};

const Expected kClientTable[] = {
    {"", "Position", REG_BINARY, 16, 0, nullptr},
    {"", "AskVVInstall", REG_DWORD, 4, 0, nullptr},
    {"", "DefaultKwDb", REG_SZ, 260, 0, "QuiSystem.xml"},
    {"Tip", "FilePos", REG_DWORD, 4, 0, nullptr},
    {"Tip", "Startup", REG_DWORD, 4, 1, nullptr},
    {"Tip", "Timestamp", REG_BINARY, 4, 0, nullptr},
    {"Tip", "LastShown", REG_DWORD, 4, 0, nullptr},
    {"", "ViaVoiceInstalled", REG_DWORD, 4, 0, nullptr},
    {"", "ActivePIM", REG_DWORD, 4, 0, nullptr},
    {"", "PintailData", REG_BINARY, 260, 0, nullptr},
    {"", "PintailDate", REG_BINARY, 8, 0, nullptr},
    {"", "PintailFreq", REG_DWORD, 4, 3, nullptr},
    {"", "HideSavedNoteDlg", REG_DWORD, 4, 0, nullptr},
    {"Preferences", "EnableHotKeys", REG_DWORD, 4, 1, nullptr},
    {"Preferences", "NewHotKey", REG_DWORD, 4, 0x3004E, nullptr},
    {"Preferences", "GrabHotKey", REG_DWORD, 4, 0x30047, nullptr},
    {"Preferences", "ReturnKeyAction", REG_DWORD, 4, 1, nullptr},
    {"Preferences", "SaveThenNew", REG_DWORD, 4, 0, nullptr},
    {"Preferences", "Browser", REG_DWORD, 4, 0, nullptr},
    {"Preferences", "VoiceRecognition", REG_DWORD, 4, 0, nullptr},
    {"Preferences", "ConnectorsLocation", REG_SZ, 260, 0, ""},
    {"Preferences", "KwdPosition", REG_BINARY, 16, 0, nullptr},
    {"Preferences", "ShowPromptText", REG_DWORD, 4, 1, nullptr},
    {"", "kwTypeSelIndex", REG_SZ, 260, 0, ""},
    {"", "AliasDB", REG_SZ, 260, 0, "keywords.xml"},
    {"", "Username", REG_SZ, 260, 0, ""},
    {"", "Password", REG_SZ, 260, 0, ""},
    {"", "PintailExe", REG_SZ, 260, 0, "Pintail.exe"},
    {"", "PintailCatalog", REG_SZ, 260, 0, nullptr},
    {"Preferences", "ConnectorWaitTimeout", REG_DWORD, 4, 15, nullptr},
    {"", "ShowProfile", REG_DWORD, 4, 0, nullptr},
    {"Profile", "Firstname", REG_SZ, 260, 0, ""},
    {"Profile", "Lastname", REG_SZ, 260, 0, ""},
    {"Profile", "Email", REG_SZ, 260, 0, ""},
    {"Profile", "Address", REG_SZ, 260, 0, ""},
    {"Profile", "City", REG_SZ, 260, 0, ""},
    {"Profile", "State", REG_SZ, 260, 0, ""},
    {"Profile", "Country", REG_SZ, 260, 0, ""},
    {"Profile", "PostalCode", REG_SZ, 260, 0, ""},
    {"Preferences", "ImageDir", REG_SZ, 260, 0, ""},
};
const int kClientCount = sizeof(kClientTable) / sizeof(kClientTable[0]);

void ExpectDefault(const Expected& e, const void* data)
{
    if (e.type == REG_DWORD) {
        EXPECT_EQ(e.number, AsDword(data));
    } else if (e.type == REG_SZ && e.text) {
        EXPECT_STREQ(e.text, static_cast<const char*>(data));
    } else if (e.type == REG_SZ) {
        std::string url = static_cast<const char*>(data);
        EXPECT_EQ(0u, url.find("http://"));
        EXPECT_EQ(url.size() - std::strlen("/connectors.cat"), url.rfind("/connectors.cat"));
    } else {
        std::vector<BYTE> zeros(e.size, 0);
        EXPECT_EQ(0, std::memcmp(zeros.data(), data, e.size));
    }
}

// A small table of our own, to reach the base class with other keys.
class TestTable : public QuiRegistry {
public:
    enum { Text, Number, Block, Count };
    explicit TestTable(const char* root = "Software\\QuiTest", HKEY rootKey = HKEY_CURRENT_USER)
        : m_root(root), m_rootKey(rootKey)
    {
        static const QuiRegDefault defaults[Count] = {
            {"", "Text", REG_SZ, QUI_REG_FIELD, 0, "start"},
            {"Deeper", "Number", REG_DWORD, 4, 7, nullptr},
            {"", "Block", REG_BINARY, 6, 0, "\1\2\3\4\5\6"},
        };
        FillTable(m_table, defaults, Count);
    }
    const char* GetRootPath() override { return m_root; }
    HKEY GetRootKey() override { return m_rootKey; }
    QuiRegValue* GetValueTable() override { return m_table; }
    const char* GetSubKey() override { return "Table"; }
    int GetValueCount() override { return Count; }

private:
    const char* m_root;
    HKEY m_rootKey;
    QuiRegValue m_table[Count];
};

class NoTable : public TestTable {
public:
    QuiRegValue* GetValueTable() override { return nullptr; }
};

using Registry = RegistryBranch;
} // namespace

TEST_F(Registry, ClientTableMatchesTheSettings)
{
    ClientRegistry client;
    ASSERT_EQ(kClientCount, client.GetValueCount());
    const QuiRegValue* table = client.GetValueTable();
    for (int i = 0; i < kClientCount; ++i) {
        const Expected& e = kClientTable[i];
        SCOPED_TRACE(e.name);
        EXPECT_STREQ(e.subKey, table[i].subKey);
        EXPECT_STREQ(e.name, table[i].name);
        EXPECT_EQ(e.type, table[i].type);
        EXPECT_EQ(e.size, table[i].size);
    }
}

TEST_F(Registry, FreshKeyGivesDefaultsAndDestroyingWritesEveryValue)
{
    {
        ClientRegistry client;
        for (int i = 0; i < kClientCount; ++i) {
            SCOPED_TRACE(kClientTable[i].name);
            ExpectDefault(kClientTable[i], client.GetValue(i, false));
        }
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadStored(kClientKey, "ActivePIM").result) << "loading wrote a value";
    }
    for (const Expected& e : kClientTable) {
        SCOPED_TRACE(e.name);
        Stored s = ReadStored(SubKeyPath(e.subKey).c_str(), e.name);
        ASSERT_EQ(ERROR_SUCCESS, s.result);
        EXPECT_EQ(e.type, s.type);
        if (e.type == REG_SZ)
            EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(s.data.data())) + 1, s.data.size());
        else
            EXPECT_EQ(e.size, s.data.size());
        ExpectDefault(e, s.data.data());
    }
}

TEST_F(Registry, AtItsEndTheTableWritesOnlyWhatItChangedAndWhatTheRegistryLacks)
{
    const std::string overLong(1000, 'y');
    StoreText(kClientKey, "PintailExe", overLong);
    StoreDword(kClientKey, "DefaultKwDb", 0x41414141);
    StoreDword(kClientKey, "PintailFreq", 3);
    StoreDword(kClientKey, "ActivePIM", 3);
    StoreText(kClientKey, "AliasDB", "mine.xml");
    {
        ClientRegistry client;
        // Another program's change while the table lives.
        StoreDword(kClientKey, "PintailFreq", 9);
        // The program's own changes, at once and in memory.
        ASSERT_EQ(ERROR_SUCCESS, client.SetValue(ClientRegistry::AliasDB, "k.xml"));
        const DWORD five = 5;
        std::memcpy(client.GetValue(ClientRegistry::ActivePIM, false), &five, sizeof five);
    }
    struct Row {
        const char* name;
        DWORD type;
        std::string text;  // REG_SZ
        DWORD number;      // REG_DWORD
    } rows[] = {
        {"PintailExe", REG_SZ, overLong, 0},           // unreadable: left as it is
        {"DefaultKwDb", REG_DWORD, "", 0x41414141},    // of another type: left as it is
        {"PintailFreq", REG_DWORD, "", 9},             // changed by another program: kept
        {"AliasDB", REG_SZ, "k.xml", 0},               // set by the program
        {"ActivePIM", REG_DWORD, "", 5},               // changed in memory
        {"ShowProfile", REG_DWORD, "", 0},             // missing: made with its default
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Stored s = ReadStored(kClientKey, row.name);
        ASSERT_EQ(ERROR_SUCCESS, s.result);
        EXPECT_EQ(row.type, s.type);
        if (row.type == REG_SZ)
            EXPECT_EQ(row.text, reinterpret_cast<const char*>(s.data.data()));
        else
            EXPECT_EQ(row.number, AsDword(s.data.data()));
    }
}

TEST_F(Registry, ATableMadeToReadWritesNothing)
{
    StoreText(kClientKey, "PintailExe", std::string(1000, 'y'));
    {
        ClientRegistry reader(ClientRegistry::WriteNothingAtEnd);
        EXPECT_STREQ("Pintail.exe", static_cast<const char*>(reader.GetValue(ClientRegistry::PintailExe, false)));
    }
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadStored(kClientKey, "ActivePIM").result);
    EXPECT_EQ(1001u, ReadStored(kClientKey, "PintailExe").data.size());
}

TEST_F(Registry, LoadingTakesStoredValuesOfTheRightTypeAndSize)
{
    const std::string longest(259, 'L');
    StoreDword(kClientKey, "ActivePIM", 3);
    StoreDword("Software\\Quillmate\\Client\\Preferences", "NewHotKey", 0x20041);
    StoreText(kClientKey, "AliasDB", "mine.xml");
    StoreText("Software\\Quillmate\\Client\\Profile", "City", longest);
    StoreText(kClientKey, "Username", std::string(260, 'x'));
    StoreText(kClientKey, "PintailExe", std::string(1000, 'y'));
    StoreDword(kClientKey, "DefaultKwDb", 0x41414141);
    Store(kClientKey, "Password", REG_BINARY, "\x01\x02\x03\x04", 4);
    Store(kClientKey, "kwTypeSelIndex", REG_SZ, "abc", 3);
    Store(kClientKey, "ViaVoiceInstalled", REG_DWORD, "\x01\x00\x00\x00", 4);

    ClientRegistry client;
    struct Row {
        int index;
        const char* text;  // null: a number
        DWORD number;
    } rows[] = {
        {ClientRegistry::ActivePIM, nullptr, 3},
        {ClientRegistry::NewHotKey, nullptr, 0x20041},
        {ClientRegistry::ViaVoiceInstalled, nullptr, 1},
        {ClientRegistry::AliasDB, "mine.xml", 0},
        {ClientRegistry::City, longest.c_str(), 0},
        {ClientRegistry::Username, "", 0},
        {ClientRegistry::PintailExe, "Pintail.exe", 0},
        {ClientRegistry::DefaultKwDb, "QuiSystem.xml", 0},
        {ClientRegistry::Password, "", 0},
        {ClientRegistry::KwTypeSelIndex, "abc", 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.index);
        const char* data = static_cast<const char*>(client.GetValue(r.index, false));
        if (r.text) {
            EXPECT_STREQ(r.text, data);
            EXPECT_LT(strnlen(data, QUI_REG_FIELD), static_cast<size_t>(QUI_REG_FIELD)) << "not terminated";
        } else {
            EXPECT_EQ(r.number, AsDword(data));
        }
    }
}

TEST_F(Registry, ReloadPicksUpAnotherProgramsChange)
{
    ClientRegistry client;
    StoreDword(kClientKey, "PintailFreq", 9);
    EXPECT_EQ(3u, AsDword(client.GetValue(ClientRegistry::PintailFreq, false)));
    EXPECT_EQ(9u, AsDword(client.GetValue(ClientRegistry::PintailFreq, true)));
    EXPECT_EQ(9u, AsDword(client.GetValue(ClientRegistry::PintailFreq, false)));
    StoreText(kClientKey, "AliasDB", std::string(300, 'z'));
    EXPECT_STREQ("keywords.xml", static_cast<const char*>(client.GetValue(ClientRegistry::AliasDB, true)));
}

TEST_F(Registry, SetValueWritesTheRecordsSize)
{
    ClientRegistry client;
    const std::string tooLong(300, 'w');
    const BYTE rect[16] = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0};
    const DWORD hotKey = 0x6004B;
    struct Row {
        int index;
        const void* data;
        DWORD type;
        std::vector<BYTE> stored;
    } rows[] = {
        {ClientRegistry::NewHotKey, &hotKey, REG_DWORD, {0x4B, 0x00, 0x06, 0x00}},
        {ClientRegistry::AliasDB, "k.xml", REG_SZ, {'k', '.', 'x', 'm', 'l', 0}},
        {ClientRegistry::Email, "", REG_SZ, {0}},
        {ClientRegistry::Position, rect, REG_BINARY, std::vector<BYTE>(rect, rect + 16)},
        {ClientRegistry::Username, tooLong.c_str(), REG_SZ, {}},
    };
    rows[4].stored.assign(259, 'w');
    rows[4].stored.push_back(0);
    for (const Row& r : rows) {
        const QuiRegValue& rec = client.GetValueTable()[r.index];
        SCOPED_TRACE(rec.name);
        ASSERT_EQ(ERROR_SUCCESS, client.SetValue(r.index, r.data));
        Stored s = ReadStored(SubKeyPath(rec.subKey).c_str(), rec.name);
        ASSERT_EQ(ERROR_SUCCESS, s.result);
        EXPECT_EQ(r.type, s.type);
        EXPECT_EQ(r.stored, s.data);
        EXPECT_EQ(0, std::memcmp(r.stored.data(), client.GetValue(r.index, false), r.stored.size()));
    }
}

TEST_F(Registry, BadIndexesAndMissingTables)
{
    ClientRegistry client;
    NoTable none;
    const DWORD one = 1;
    for (int index : {-1, static_cast<int>(ClientRegistry::ValueCount), 1000}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(ERROR_INVALID_PARAMETER, client.SetValue(index, &one));
        EXPECT_EQ(ERROR_INVALID_PARAMETER, client.ReadValue(index));
        EXPECT_EQ(ERROR_INVALID_PARAMETER, client.WriteValue(index));
        EXPECT_EQ(nullptr, client.GetValue(index, false));
        EXPECT_EQ(nullptr, client.GetValue(index, true));
    }
    EXPECT_EQ(ERROR_INVALID_PARAMETER, client.SetValue(ClientRegistry::ActivePIM, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, none.ReadValue(0));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, none.WriteValue(0));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, none.SetValue(0, "x"));
    EXPECT_EQ(nullptr, none.GetValue(0, true));
}

TEST_F(Registry, KeyPathJoinsRootAndSubKeyWithOneBackslash)
{
    for (const char* root : {"Software\\QuiTest", "Software\\QuiTest\\"}) {
        SCOPED_TRACE(root);
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\QuiTest");
        TestTable table(root);
        table.SaveAll();
        EXPECT_EQ(ERROR_SUCCESS, ReadStored("Software\\QuiTest\\Table", "Text").result);
        EXPECT_EQ(ERROR_SUCCESS, ReadStored("Software\\QuiTest\\Table\\Deeper", "Number").result);
        Stored block = ReadStored("Software\\QuiTest\\Table", "Block");
        EXPECT_EQ(std::vector<BYTE>({1, 2, 3, 4, 5, 6}), block.data);
    }
}

TEST_F(Registry, AKeyThatCannotBeMadeKeepsDefaultsAndFailsWrites)
{
    TestTable table("Software\\QuiTest", reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1234)));
    table.LoadAll();
    EXPECT_EQ(nullptr, table.OpenKey());
    EXPECT_STREQ("start", static_cast<const char*>(table.GetValue(TestTable::Text, true)));
    EXPECT_EQ(7u, AsDword(table.GetValue(TestTable::Number, true)));
    const DWORD eight = 8;
    LONG result = table.SetValue(TestTable::Number, &eight);
    EXPECT_NE(ERROR_SUCCESS, result);
    EXPECT_NE(ERROR_INVALID_PARAMETER, result);
    EXPECT_EQ(8u, AsDword(table.GetValue(TestTable::Number, false)));
}

TEST_F(Registry, QueryValueReadsOnlyWhatFitsAndQueryTextOnlyTexts)
{
    StoreText("Software\\Other", "Text", "hello");
    StoreDword("Software\\Other", "Number", 42);
    Store("Software\\Other", "Raw", REG_SZ, "abcd", 4);
    Store("Software\\Other", "Blob", REG_BINARY, "abcd", 4);
    struct Row {
        const char* name;
        DWORD size;
        bool read;      // by QueryValue
        bool readText;  // by QueryText
        const char* text;  // expected buffer text; null: the number 42 (QueryValue)
    } rows[] = {
        {"Text", 16, true, true, "hello"},
        {"Text", 6, true, true, "hello"},
        {"Text", 5, false, false, "#####"},
        {"Raw", 5, true, true, "abcd"},
        // A text without its terminator that fills the buffer.
        {"Raw", 4, false, false, "####"},
        {"Number", 4, true, false, nullptr},
        // A block of the buffer's full length, then one with room to spare.
        {"Blob", 4, true, false, "abcd"},
        {"Blob", 16, true, false, "abcd"},
        {"Missing", 16, false, false, "################"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.name) + " in " + std::to_string(r.size));
        std::vector<char> buffer(r.size + 4, '#');
        EXPECT_EQ(r.read, QuiRegistry::QueryValue(HKEY_CURRENT_USER, "Software\\Other", r.name, buffer.data(), r.size));
        if (r.text)
            EXPECT_EQ(std::string(r.text), std::string(buffer.data(), std::strlen(r.text)));
        else
            EXPECT_EQ(42u, AsDword(buffer.data()));
        EXPECT_EQ("####", std::string(buffer.data() + r.size, 4)) << "written past the buffer";

        std::vector<char> text(r.size + 4, '#');
        EXPECT_EQ(r.readText, QuiRegistry::QueryText(HKEY_CURRENT_USER, "Software\\Other", r.name, text.data(), r.size));
        const std::string expected = r.readText ? std::string(r.text) + '\0' : std::string(r.size, '#');
        EXPECT_EQ(expected, std::string(text.data(), expected.size())) << "text read";
        EXPECT_EQ("####", std::string(text.data() + r.size, 4)) << "text written past the buffer";
    }
    char buffer[8];
    EXPECT_FALSE(QuiRegistry::QueryValue(HKEY_CURRENT_USER, "Software\\Nowhere", "Text", buffer, sizeof(buffer)));
    EXPECT_FALSE(QuiRegistry::QueryText(HKEY_CURRENT_USER, "Software\\Nowhere", "Text", buffer, sizeof(buffer)));
}
