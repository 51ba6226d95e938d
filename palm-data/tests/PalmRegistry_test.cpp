#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include "PalmRegistry.h"

namespace {

const char kTestRoot[] = "Software\\Quillmate\\PalmRegistryTest";

// A table over keys of one test's own, removed before and after it.
class RegistryTable {
public:
    explicit RegistryTable(const char* name) : m_key(std::string(kTestRoot) + "\\" + name)
    {
        SHDeleteKeyA(HKEY_CURRENT_USER, m_key.c_str());
    }
    ~RegistryTable() { SHDeleteKeyA(HKEY_CURRENT_USER, m_key.c_str()); }

    const char* Key() const { return m_key.c_str(); }
    void Set(const char* value, DWORD type, const void* data, DWORD size)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, Key(), &key));
        RegSetValueExA(key, value, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }

private:
    std::string m_key;
};

} // namespace

TEST(PalmRegistry, IndexesOutsideTheTableAnswerZero)
{
    PalmRegistry registry(kPalmDesktopRegistry, PalmDesktopSettingCount);
    for (int index : {4, -1, 100}) {
        SCOPED_TRACE(index);
        CString text("left over");
        long number = 77;
        CStringArray names;
        EXPECT_EQ(0, registry.ReadString(index, text));
        EXPECT_EQ("", std::string(text));
        EXPECT_EQ(0, registry.ReadDword(index, number));
        EXPECT_EQ(0, number);
        EXPECT_EQ(0, registry.WriteString(index, "x"));
        EXPECT_EQ(0, registry.WriteDword(index, 1));
        EXPECT_EQ(0, registry.EnumKeys(index, names));
        EXPECT_EQ(0, registry.EnumValues(index, names));
        EXPECT_EQ(0, names.GetSize());
        EXPECT_EQ(PalmRegistry::errNone, registry.GetLastError());
    }
}

TEST(PalmRegistry, ReadsValuesOfEachKind)
{
    RegistryTable table("Kinds");
    SetEnvironmentVariableA("QUI_PALM_TEST_FOLDER", "C:\\Palm Data");
    const PalmRegistryEntry entries[] = {
        {HKEY_CURRENT_USER, table.Key(), "Text", REG_SZ},
        {HKEY_CURRENT_USER, table.Key(), "Expand", REG_EXPAND_SZ},
        {HKEY_CURRENT_USER, table.Key(), "Plain", REG_SZ},
        {HKEY_CURRENT_USER, table.Key(), "Number", REG_DWORD},
        {HKEY_CURRENT_USER, table.Key(), "Short", REG_BINARY},
        {HKEY_CURRENT_USER, table.Key(), "", REG_SZ},
    };
    const char expand[] = "%QUI_PALM_TEST_FOLDER%\\Zoe";
    const char plain[] = "%QUI_PALM_TEST_FOLDER%";
    const DWORD number = 0x12345678;
    const BYTE shortValue[] = {0x01, 0x02};
    table.Set("Text", REG_SZ, "C:\\Palm", 8);
    table.Set("Expand", REG_EXPAND_SZ, expand, sizeof expand);
    table.Set("Plain", REG_SZ, plain, sizeof plain);
    table.Set("Number", REG_DWORD, &number, sizeof number);
    table.Set("Short", REG_BINARY, shortValue, sizeof shortValue);
    table.Set("", REG_SZ, "default", 8);
    struct Row {
        int index;
        const char* text;
        long number;
    } rows[] = {
        {0, "C:\\Palm", 0x505c3a43},   // the number is the text's first four bytes
        {1, "C:\\Palm Data\\Zoe", 0x49555125},   // numbers read the stored bytes
        {2, "%QUI_PALM_TEST_FOLDER%", 0x49555125},
        {3, "xV4\x12", 0x12345678},
        {4, "\x01\x02", 0x0201},       // shorter than a number: padded with zeros
        {5, "default", 0x61666564},
    };
    PalmRegistry registry(entries, 6);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.index);
        CString text;
        long value = 0;
        EXPECT_EQ(1, registry.ReadString(row.index, text));
        EXPECT_EQ(row.text, std::string(text));
        EXPECT_EQ(1, registry.ReadDword(row.index, value));
        EXPECT_EQ(row.number, value);
    }
    EXPECT_EQ(PalmRegistry::errNone, registry.GetLastError());
}

TEST(PalmRegistry, MissingValueFailsAfterTheKeyIsCreated)
{
    RegistryTable table("Missing");
    const PalmRegistryEntry entries[] = {{HKEY_CURRENT_USER, table.Key(), "Nothing", REG_SZ}};
    PalmRegistry registry(entries, 1);
    CString text("left over");
    EXPECT_EQ(0, registry.ReadString(0, text));
    EXPECT_EQ("", std::string(text));
    EXPECT_EQ(PalmRegistry::errReadValue, registry.GetLastError());
    HKEY key;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyA(HKEY_CURRENT_USER, table.Key(), &key));
    RegCloseKey(key);
}

TEST(PalmRegistry, KeyThatCannotBeOpenedFailsWithMinusOne)
{
    const PalmRegistryEntry entries[] = {{reinterpret_cast<HKEY>(0x1234), "Nowhere", "Value", REG_SZ}};
    PalmRegistry registry(entries, 1);
    CString text;
    CStringArray names;
    EXPECT_EQ(0, registry.ReadString(0, text));
    EXPECT_EQ(PalmRegistry::errOpenKey, registry.GetLastError());
    EXPECT_EQ(0, registry.WriteString(0, "x"));
    EXPECT_EQ(0, registry.EnumValues(0, names));
    EXPECT_EQ(1, registry.EnumKeys(0, names));
    EXPECT_EQ(0, names.GetSize());
}

TEST(PalmRegistry, WritesWithTheEntrysTypeAndReadsBack)
{
    RegistryTable table("Writes");
    const PalmRegistryEntry entries[] = {
        {HKEY_CURRENT_USER, table.Key(), "LastUser", REG_SZ},
        {HKEY_CURRENT_USER, table.Key(), "Folder", REG_EXPAND_SZ},
        {HKEY_CURRENT_USER, table.Key(), "Count", REG_DWORD},
    };
    PalmRegistry registry(entries, 3);
    EXPECT_EQ(1, registry.WriteString(0, "Zoe"));
    EXPECT_EQ(1, registry.WriteString(1, "%WINDIR%"));
    EXPECT_EQ(1, registry.WriteDword(2, -2));
    struct Row {
        const char* value;
        DWORD type;
        DWORD size;
    } rows[] = {{"LastUser", REG_SZ, 4}, {"Folder", REG_EXPAND_SZ, 9}, {"Count", REG_DWORD, 4}};
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyA(HKEY_CURRENT_USER, table.Key(), &key));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        DWORD type = 0, size = 0;
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, row.value, nullptr, &type, nullptr, &size));
        EXPECT_EQ(row.type, type);
        EXPECT_EQ(row.size, size);
    }
    RegCloseKey(key);
    CString text;
    long number = 0;
    EXPECT_EQ(1, registry.ReadString(0, text));
    EXPECT_EQ("Zoe", std::string(text));
    EXPECT_EQ(1, registry.ReadDword(2, number));
    EXPECT_EQ(-2, number);
}

TEST(PalmRegistry, EnumeratesSubkeysAndValuesInOrder)
{
    RegistryTable table("Lists");
    const PalmRegistryEntry entries[] = {{HKEY_CURRENT_USER, table.Key(), "", REG_SZ}};
    for (const char* sub : {"Alpha", "Beta"}) {
        HKEY key;
        RegCreateKeyA(HKEY_CURRENT_USER, (std::string(table.Key()) + "\\" + sub).c_str(), &key);
        RegCloseKey(key);
    }
    table.Set("One", REG_SZ, "1", 2);
    table.Set("Two", REG_SZ, "2", 2);
    PalmRegistry registry(entries, 1);
    CStringArray keys, values;
    values.Add("kept");
    EXPECT_EQ(1, registry.EnumKeys(0, keys));
    EXPECT_EQ(1, registry.EnumValues(0, values));
    ASSERT_EQ(2, keys.GetSize());
    EXPECT_EQ("Alpha", std::string(keys[0]));
    EXPECT_EQ("Beta", std::string(keys[1]));
    ASSERT_EQ(3, values.GetSize());
    EXPECT_EQ("kept", std::string(values[0]));
    EXPECT_EQ("One", std::string(values[1]));
    EXPECT_EQ("Two", std::string(values[2]));
}
