#include "PloverFixture.h"

using OutlookStandInTesting::Build;
using QuiComTesting::LastError;
using QuiComTesting::Variant;

namespace {

const char kKey9[] = "Software\\Microsoft\\Office\\9.0\\Outlook\\Categories";
const char kKey8[] = "Software\\Microsoft\\Office\\8.0\\Outlook\\Categories";
const char kKey11[] = "Software\\Microsoft\\Office\\11.0\\Outlook\\Categories";

// UTF-16 in little-endian order, as 2002 and 2003 keep their list, with its terminator.
std::string Utf16(const std::wstring& text)
{
    std::string bytes;
    for (wchar_t c : text + L'\0') {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

struct Value {
    HKEY root;
    const char* key;
    const char* name;
    DWORD type;
    std::string data;  // written as it stands, terminator included only when given
};

std::vector<std::string> Elements(const VARIANT& list)
{
    std::vector<std::string> texts;
    if (list.vt != (VT_ARRAY | VT_BSTR))
        return {"<not a string array>"};
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(list.parray, 1, &lower);
    SafeArrayGetUBound(list.parray, 1, &upper);
    for (LONG i = lower; i <= upper; ++i) {
        BSTR text = nullptr;
        SafeArrayGetElement(list.parray, &i, &text);
        std::wstring wide(text ? text : L"", SysStringLen(text));
        texts.emplace_back(wide.begin(), wide.end());
        SysFreeString(text);
    }
    return texts;
}

}  // namespace

TEST_F(PloverTest, CategoriesComeFromTheKeyOfTheInstalledOutlookVersion)
{
    const std::string list = std::string("Business;Calls;\"A;B\";") + '\0';
    struct Row {
        const char* what;
        Build build;
        std::vector<Value> values;
        HRESULT hr;
        VARTYPE vt;
        std::vector<std::string> categories;
        const wchar_t* error;
    } rows[] = {
        {"9.0 reads MasterList", Build::Outlook90, {{HKEY_CURRENT_USER, kKey9, "MasterList", REG_SZ, list}},
         S_OK, VT_ARRAY | VT_BSTR, {"Business", "Calls", "\"A;B\""}, L""},
        {"8.5 reads the 8.0 key", Build::Outlook85,
         {{HKEY_CURRENT_USER, kKey8, "", REG_SZ, std::string("Home;Work") + '\0'},
          {HKEY_CURRENT_USER, kKey9, "MasterList", REG_SZ, list}},
         S_OK, VT_ARRAY | VT_BSTR, {"Home", "Work"}, L""},
        {"no version block reads the 8.0 key", Build::Unversioned,
         {{HKEY_CURRENT_USER, kKey8, "", REG_SZ, std::string("Ideas;") + '\0'}},
         S_OK, VT_ARRAY | VT_BSTR, {"Ideas"}, L""},
        {"9.0 without its key", Build::Outlook90,
         {{HKEY_CURRENT_USER, kKey8, "", REG_SZ, std::string("Home") + '\0'}}, S_OK, VT_EMPTY, {}, L""},
        {"8.5 without its key", Build::Outlook85, {{HKEY_CURRENT_USER, kKey9, "MasterList", REG_SZ, list}}, S_OK,
         VT_EMPTY, {}, L""},
        {"the machine's list", Build::Outlook90,
         {{HKEY_LOCAL_MACHINE, kKey9, "MasterList", REG_SZ, std::string("Global") + '\0'}},
         S_OK, VT_ARRAY | VT_BSTR, {"Global"}, L""},
        {"the user's list first", Build::Outlook90,
         {{HKEY_LOCAL_MACHINE, kKey9, "MasterList", REG_SZ, std::string("Global") + '\0'},
          {HKEY_CURRENT_USER, kKey9, "MasterList", REG_SZ, std::string("Mine") + '\0'}},
         S_OK, VT_ARRAY | VT_BSTR, {"Mine"}, L""},
        {"an empty list", Build::Outlook90, {{HKEY_CURRENT_USER, kKey9, "MasterList", REG_SZ, std::string(1, '\0')}},
         S_OK, VT_ARRAY | VT_BSTR, {}, L""},
        {"empty fields inside stay", Build::Outlook90,
         {{HKEY_CURRENT_USER, kKey9, "MasterList", REG_SZ, std::string("a;;b") + '\0'}},
         S_OK, VT_ARRAY | VT_BSTR, {"a", "", "b"}, L""},
        {"a line feed ends the list", Build::Outlook90,
         {{HKEY_CURRENT_USER, kKey9, "MasterList", REG_SZ, std::string("One;Two\nThree;Four") + '\0'}},
         S_OK, VT_ARRAY | VT_BSTR, {"One", "Two"}, L""},
        {"a value stored without its terminator", Build::Outlook90,
         {{HKEY_CURRENT_USER, kKey9, "MasterList", REG_SZ, "Alpha;Beta"}},
         S_OK, VT_ARRAY | VT_BSTR, {"Alpha", "Beta"}, L""},
        {"a list of type REG_MULTI_SZ", Build::Outlook90,
         {{HKEY_CURRENT_USER, kKey9, "MasterList", REG_MULTI_SZ, std::string("A\0B\0\0", 5)}}, S_FALSE, VT_EMPTY, {},
         L"Unable to retrieve category information from the system registry."},
        {"the key without the value", Build::Outlook90,
         {{HKEY_CURRENT_USER, kKey9, "Other", REG_SZ, std::string("x") + '\0'}}, S_FALSE, VT_EMPTY, {},
         L"Unable to retrieve category information from the system registry."},
        {"2003 reads its own key, UTF-16 in a binary value", Build::Outlook110,
         {{HKEY_CURRENT_USER, kKey11, "MasterList", REG_BINARY, Utf16(L"Caf\u00e9;Calls;\"A;B\";")},
          {HKEY_CURRENT_USER, kKey9, "MasterList", REG_SZ, list}},
         S_OK, VT_ARRAY | VT_BSTR, {"Caf\xE9", "Calls", "\"A;B\""}, L""},
        {"2000 takes no binary list", Build::Outlook90,
         {{HKEY_CURRENT_USER, kKey9, "MasterList", REG_BINARY, Utf16(L"Home;")}}, S_FALSE, VT_EMPTY, {},
         L"Unable to retrieve category information from the system registry."},
        {"no Outlook under App Paths", Build::None, {{HKEY_CURRENT_USER, kKey9, "MasterList", REG_SZ, list}}, S_OK,
         VT_EMPTY, {}, L""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            for (const char* key : OutlookStandInTesting::kCategoryKeys)
                SHDeleteKeyA(root, key);
        }
        m_outlook.SetProgram(row.build);
        for (const Value& value : row.values)
            OutlookStandInTesting::SetValue(value.root, value.key, value.name, value.type, value.data.data(),
                                            static_cast<DWORD>(value.data.size()));
        Variant categories;
        EXPECT_EQ(row.hr, Get(DISPID_PLOVER_TODOCATEGORIES, &categories));
        EXPECT_EQ(row.vt, categories.vt);
        if (row.vt != VT_EMPTY) {
            EXPECT_EQ(row.categories, Elements(categories));
        }
        EXPECT_EQ(row.error, LastError().description);
    }
}

TEST_F(PloverTest, CategoriesOfOutlookFrom2007OnComeFromTheStore)
{
    m_outlook.SetProgram(Build::Outlook120);
    m_outlook.SetCategories({"Business", "Caf\xE9"});
    OutlookStandInTesting::SetText(HKEY_CURRENT_USER, kKey9, "MasterList", "Registry;");
    Variant categories;
    EXPECT_EQ(S_FALSE, Get(DISPID_PLOVER_TODOCATEGORIES, &categories)) << "no store before Connect";
    EXPECT_EQ(VT_EMPTY, categories.vt);
    EXPECT_EQ(L"Unable to Connect to Outlook.", LastError().description);

    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ(S_OK, Get(DISPID_PLOVER_TODOCATEGORIES, &categories));
    EXPECT_EQ((std::vector<std::string>{"Business", "Caf\xE9"}), Elements(categories));

    m_outlook.CloseAsUser();
    EXPECT_EQ(S_OK, Get(DISPID_PLOVER_TODOCATEGORIES, &categories)) << "from the Outlook started again";
    EXPECT_EQ((std::vector<std::string>{"Business", "Caf\xE9"}), Elements(categories));

    m_outlook.SetFailCalls({"_NameSpace.Categories"});
    EXPECT_EQ(S_FALSE, Get(DISPID_PLOVER_TODOCATEGORIES, &categories));
    EXPECT_EQ(VT_EMPTY, categories.vt);
    EXPECT_EQ(L"Unable to retrieve category information from Outlook.", LastError().description);
}
