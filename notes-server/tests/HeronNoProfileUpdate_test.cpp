// The worker on a Notes runtime that opens and reads profiles but has no
// function to save one: adding a category fails with its own text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HeronWorker.h"
#include "NotesStandInFixture.h"
#include "VariantArray.h"

namespace {

class NoProfileUpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, m_runtime.Initialize(200, 0, nullptr, m_notes.IniPath().c_str()));
        m_worker.Session().SetInitialised(true);
        HMODULE library = GetModuleHandleA("nnotes");
        ASSERT_NE(nullptr, GetProcAddress(library, "NSFProfileOpen"));
        ASSERT_EQ(nullptr, GetProcAddress(library, "NSFProfileUpdate"));
    }
    void TearDown() override
    {
        LNSetThrowAllErrors(FALSE);
        m_runtime.Term(0);
    }
    void Profile(const std::string& items)
    {
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf",
                                       "[note 3]\r\n$ProfileName=CalendarProfile\r\n" + items);
    }

    NotesStandInTesting::Installation m_notes;
    LNNotesSession m_runtime;
    HERON m_worker{0};
};

TEST_F(NoProfileUpdateTest, AddTaskCategoryRefusesToCallAMissingFunction)
{
    Profile("Owner=Ann\r\nUserCategories=Errands\r\n");
    EXPECT_EQ(-29, m_worker.AddTaskCategory("Garden"));
    EXPECT_EQ("Adding Task Category\r\nError: -29 Profile function not found in nnotes.dll",
              m_worker.LastError().Message());
    std::vector<std::string> unchanged = {"3 $ProfileName=CalendarProfile", "3 Owner=Ann", "3 UserCategories=Errands"};
    EXPECT_EQ(unchanged, m_notes.Dump("mail\\alee.nsf"));
}

TEST_F(NoProfileUpdateTest, ProfileWithoutUserCategoriesNeedsNoSave)
{
    Profile("Owner=Ann\r\n");
    EXPECT_EQ(0, m_worker.AddTaskCategory("Garden"));
}

TEST_F(NoProfileUpdateTest, UserCategoriesAreStillRead)
{
    Profile("UserCategories=Errands;Calls\r\n");
    VARIANT categories;
    QuiMakeStringArray(&categories);
    EXPECT_EQ(0, m_worker.GetUserCategories(&categories));
    BSTR joined = nullptr;
    ASSERT_EQ(S_OK, QuiJoinStringArray(categories, L'|', &joined));
    EXPECT_STREQ(L"Errands|Calls|", joined);
    SysFreeString(joined);
    VariantClear(&categories);
    std::vector<std::string> unsaved = {"3 $ProfileName=CalendarProfile", "3 UserCategories=Errands;Calls"};
    EXPECT_EQ(unsaved, m_notes.Dump("mail\\alee.nsf")) << "without an owner, but nothing to save it with";
}

}  // namespace
