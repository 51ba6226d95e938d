// To-do categories and adding one: the "To do" form's keyword formula and
// the calendar profile of the user's mail database in the stand-in.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "HeronFixture.h"
#include "HeronOptions.h"

namespace {

using QuiComTesting::LastError;
using QuiComTesting::Variant;

const char kTodoForm[] =
    "[note 1]\r\n$Title=To do\r\n$NoteClass=4\r\n$Fields=Subject\r\n$Fields=Categories\r\n"
    "$ChoicesOption.Categories=1\r\n$ChoicesFormula.Categories=\"Business|biz\" : \"Personal\"\r\n";
const char kProfileForm[] =
    "[note 2]\r\n$Title=CalendarProfile\r\n$NoteClass=4\r\n$Default.Owner=CN=Ann Lee/OU=Sales/O=Acme\r\n"
    "$Default.DefaultDuration(number)=60\r\n";
const char kOwner[] = "Owner=CN=Ann Lee/OU=Sales/O=Acme\r\n";

class HeronCategoriesTest : public HeronTest {
protected:
    void MailDatabase(const std::string& text)
    {
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf", text);
    }
    void Profile(const std::string& items, const char* form = kTodoForm)
    {
        MailDatabase(std::string(form) + kProfileForm + "[note 3]\r\n$ProfileName=CalendarProfile\r\n" + items);
    }
    std::string Categories(HRESULT expected = S_OK)
    {
        Variant categories;
        EXPECT_EQ(expected, Get(DISPID_HERON_TODOCATEGORIES, &categories));
        return categories.vt == VT_EMPTY ? "<empty>" : Texts(categories);
    }
    HRESULT Add(const wchar_t* category)
    {
        Variant name(category);
        return Call(DISPID_HERON_ADDTASKCATEGORY, {&name});
    }
    // The profile note's lines of the dump, without the note id.
    std::vector<std::string> ProfileLines()
    {
        std::vector<std::string> lines;
        for (const std::string& line : m_notes.Dump("mail\\alee.nsf")) {
            if (line.compare(0, 2, "3 ") == 0)
                lines.push_back(line.substr(2));
        }
        return lines;
    }
};

TEST_F(HeronCategoriesTest, SystemCategoriesThenUserCategories)
{
    Profile(std::string(kOwner) + "UserCategories=Errands\r\nUserCategories=Calls\r\n");
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ("Business|Personal|Errands|Calls", Categories());
}

TEST_F(HeronCategoriesTest, UserCategoriesOfOneText)
{
    struct Row {
        const char* items;
        const char* expected;
    } rows[] = {
        {"UserCategories=Errands;Calls\r\n", "Business|Personal|Errands|Calls"},
        {"UserCategories=\r\n", "Business|Personal"},
        {"UserCategories=Errands;;Calls;\r\n", "Business|Personal|Errands||Calls"},
        {"UserCategories=;Errands\r\n", "Business|Personal||Errands"},
        {"UserCategories= Errands \r\n", "Business|Personal| Errands"},
        // The profile's text is Notes's own: read in the Windows code page.
        {"UserCategories=Caf\x82;M\x81ller;\xD5\r\n", "Business|Personal|Caf\xE9|M\xFCller|\x80"},
        {"", "Business|Personal"},
    };
    ASSERT_EQ(S_OK, Connect());
    for (const Row& row : rows) {
        Profile(std::string(kOwner) + row.items);
        EXPECT_EQ(row.expected, Categories()) << row.items;
    }
}

TEST_F(HeronCategoriesTest, MailDatabaseWithoutTodoForm)
{
    Profile(std::string(kOwner) + "UserCategories=Errands\r\n", "");
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ("Errands", Categories());
}

TEST_F(HeronCategoriesTest, ChoicesNotComputedByAFormula)
{
    const std::string listForm =
        "[note 1]\r\n$Title=To do\r\n$NoteClass=4\r\n$Fields=Categories\r\n$ChoicesOption.Categories=0\r\n";
    Profile(std::string(kOwner) + "UserCategories=Errands\r\n", listForm.c_str());
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ("Errands", Categories());
}

TEST_F(HeronCategoriesTest, OlderRuntimeHasNone)
{
    Profile(std::string(kOwner) + "UserCategories=Errands\r\n");
    m_notes.SetBuild(159);
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ("<empty>", Categories());
}

TEST_F(HeronCategoriesTest, OlderRuntimeWithGeneratedData)
{
    NotesStandInTesting::SetRegNumber(HKEY_CURRENT_USER, HERON_OPTIONS_KEY, "GenerateData", 1);
    m_notes.SetBuild(147);
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ("Category0|Category1|Category2|Category3|Category4|Category5|Category6|Category7", Categories());
}

TEST_F(HeronCategoriesTest, ProfileThatDoesNotOpen)
{
    Profile(std::string(kOwner) + "UserCategories=Errands\r\n");
    m_notes.SetFailCalls({"NSFProfileOpen"});
    ASSERT_EQ(S_OK, Connect());
    Variant categories;
    EXPECT_EQ(DISP_E_EXCEPTION, Get(DISPID_HERON_TODOCATEGORIES, &categories));
    QuiComTesting::ErrorRecord error = LastError();
    ASSERT_TRUE(error.present);
    EXPECT_EQ(0u, error.description.find(L"Retrieving User Categories\r\nError: -13 Unable to open Calendar profile."));
    EXPECT_EQ(static_cast<DWORD>(-13), error.helpContext);
}

TEST_F(HeronCategoriesTest, ProfileWithoutOwnerIsComputedAndSaved)
{
    Profile("UserCategories=Errands\r\n");
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ("Business|Personal|Errands", Categories());
    std::vector<std::string> expected = {"$ProfileName=CalendarProfile", "UserCategories=Errands",
                                         "Owner=CN=Ann Lee/OU=Sales/O=Acme", "DefaultDuration(number)=60"};
    EXPECT_EQ(expected, ProfileLines());
}

TEST_F(HeronCategoriesTest, AddedCategoryIsSavedAndListedLast)
{
    Profile(std::string(kOwner) + "UserCategories=Errands\r\n");
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ(S_OK, Add(L"Garden"));
    std::vector<std::string> expected = {"$ProfileName=CalendarProfile", "Owner=CN=Ann Lee/OU=Sales/O=Acme",
                                         "UserCategories=Errands", "UserCategories=Garden"};
    EXPECT_EQ(expected, ProfileLines());
    EXPECT_EQ("Business|Personal|Errands|Garden", Categories());
}

TEST_F(HeronCategoriesTest, AddingToAProfileWithoutUserCategoriesDoesNothing)
{
    Profile(kOwner);
    ASSERT_EQ(S_OK, Connect());
    std::vector<std::string> before = m_notes.Dump("mail\\alee.nsf");
    EXPECT_EQ(S_OK, Add(L"Garden"));
    EXPECT_EQ(before, m_notes.Dump("mail\\alee.nsf"));
}

// A category that was not added is no success: the caller would offer it.
TEST_F(HeronCategoriesTest, FailedSaveFails)
{
    Profile(std::string(kOwner) + "UserCategories=Errands\r\n");
    ASSERT_EQ(S_OK, Connect());
    std::vector<std::string> before = m_notes.Dump("mail\\alee.nsf");
    m_notes.SetFailCalls({"NSFProfileUpdate"});
    EXPECT_EQ(DISP_E_EXCEPTION, Add(L"Garden"));
    EXPECT_EQ(L"Adding Task Category\r\nError: 4095 The call failed as the test asked",
              QuiComTesting::LastError().description);
    EXPECT_EQ(before, m_notes.Dump("mail\\alee.nsf"));
}

TEST_F(HeronCategoriesTest, CategoryNameInTheAnsiCodePage)
{
    Profile(std::string(kOwner) + "UserCategories=Errands\r\n");
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ(S_OK, Add(L"Caf\u00e9"));
    std::vector<std::string> lines = ProfileLines();
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "UserCategories=Caf\xE9"));
}

}  // namespace

namespace {

class HeronProfileTest : public HeronCategoriesTest {
protected:
    std::string Prefs(HRESULT expected = S_OK)
    {
        Variant prefs;
        EXPECT_EQ(expected, Get(DISPID_HERON_CALENDARPREFS, &prefs));
        return prefs.vt == VT_EMPTY ? "<empty>" : Texts(prefs);
    }
};

TEST_F(HeronProfileTest, CalendarPrefsOfTheProfile)
{
    Profile(std::string(kOwner) +
            "CalEntryType(number)=3\r\nDefaultDuration(number)=60\r\nEnableAlarms=1\r\nTaskFollow=0\r\n");
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ("2048|60|1|0", Prefs());
}

TEST_F(HeronProfileTest, EntryTypesAndValueKinds)
{
    struct Row {
        const char* items;
        const char* expected;
    } rows[] = {
        {"CalEntryType(number)=0\r\n", "256|||"},
        {"CalEntryType(number)=1\r\n", "512|||"},
        {"CalEntryType(number)=2\r\n", "1024|||"},
        {"CalEntryType(number)=4\r\n", "4096|||"},
        {"CalEntryType(number)=5\r\n", "0|||"},
        {"CalEntryType(number)=-1\r\n", "0|||"},
        {"CalEntryType=2\r\n", "1024|||"},
        {"CalEntryType=\r\n", "0|||"},
        {"", "0|||"},
        {"DefaultDuration(number)=30.25\r\n", "0|30.25||"},
        {"DefaultDuration(number)=1234567.8\r\n", "0|1234568||"},
        {"DefaultDuration(number)=0.5\r\n", "0|0.5||"},
        {"EnableAlarms=a\r\nTaskFollow=x\"y\r\n", "0||a|x\"y"},
        // A text list is none of the kinds the profile values take.
        {"TaskFollow=a\r\nTaskFollow=b\r\n", "0|||"},
    };
    ASSERT_EQ(S_OK, Connect());
    for (const Row& row : rows) {
        Profile(std::string(kOwner) + row.items);
        EXPECT_EQ(row.expected, Prefs()) << row.items;
    }
}

TEST_F(HeronProfileTest, ServerThatCannotBeReached)
{
    m_notes.SetIni({{"Location", "Office,1,2"}, {"KeyFileName", "user.id"}, {"MailFile", "alee.nsf"},
                    {"MailServer", "Gone/Acme"}});
    m_notes.SetLocation({{"MailType", "0"}, {"MailFile", "alee.nsf"}, {"MailServer", "Gone/Acme"}});
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ("<empty>", Prefs(DISP_E_EXCEPTION));
    QuiComTesting::ErrorRecord error = LastError();
    ASSERT_TRUE(error.present);
    EXPECT_EQ(0u, error.description.find(L"Quillmate was unable to contact your Notes server"));
    const std::wstring tail = L"is not correct.\r\nError: 2051 Server not responding";
    ASSERT_GE(error.description.size(), tail.size());
    EXPECT_EQ(tail, error.description.substr(error.description.size() - tail.size()));
    EXPECT_EQ(2051u, error.helpContext);
}

TEST_F(HeronProfileTest, ProfileThatDoesNotOpen)
{
    Profile(kOwner);
    m_notes.SetFailCalls({"NSFProfileOpen"});
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ("<empty>", Prefs(DISP_E_EXCEPTION));
    QuiComTesting::ErrorRecord error = LastError();
    EXPECT_EQ(0u, error.description.find(L"Retrieving Calendar Profile Info\r\nError: -13 Unable to open Calendar"));
    EXPECT_EQ(static_cast<DWORD>(-13), error.helpContext);
}

TEST_F(HeronProfileTest, MailDatabaseThatDoesNotOpen)
{
    Profile(kOwner);
    ASSERT_EQ(S_OK, Connect());
    m_notes.SetFailCalls({"NSFDbOpen"});
    EXPECT_EQ("<empty>", Prefs(DISP_E_EXCEPTION));
    EXPECT_EQ(L"Retrieving Calendar Profile Info\r\nError: 4095 The call failed as the test asked",
              LastError().description);
}

}  // namespace
