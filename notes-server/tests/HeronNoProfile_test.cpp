// The worker on a Notes runtime whose function library has no profile
// functions: the category reads and adding a category fail with their own
// texts instead of calling through a null address.
#include <gtest/gtest.h>

#include <string>

#include "HeronWorker.h"
#include "NotesStandInFixture.h"
#include "VariantArray.h"

namespace {

class NoProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf",
                                       "[note 3]\r\n$ProfileName=CalendarProfile\r\nOwner=Ann\r\n"
                                       "UserCategories=Errands\r\n");
        ASSERT_EQ(0, m_runtime.Initialize(200, 0, nullptr, m_notes.IniPath().c_str()));
        m_worker.Session().SetInitialised(true);
        ASSERT_EQ(nullptr, GetProcAddress(GetModuleHandleA("nnotes"), "NSFProfileOpen"))
            << "the runtime beside the program has no profile functions";
    }
    void TearDown() override
    {
        LNSetThrowAllErrors(FALSE);
        m_runtime.Term(0);
    }

    NotesStandInTesting::Installation m_notes;
    LNNotesSession m_runtime;
    HERON m_worker{0};
};

TEST_F(NoProfileTest, TodoCategoriesFailWithTheProfileMessage)
{
    VARIANT categories;
    VariantInit(&categories);
    EXPECT_EQ(-13, m_worker.GetCategories(&categories));
    EXPECT_TRUE(QuiIsStringArray(categories)) << "the array holds what was read before";
    VariantClear(&categories);
    EXPECT_EQ(HERON_ERROR_SERVER, m_worker.LastError().Kind());
    EXPECT_EQ(0u, m_worker.LastError().Message().find(
                      "Retrieving User Categories\r\nError: -13 Unable to open Calendar profile."));
}

TEST_F(NoProfileTest, OpeningTheProfileNamesTheMissingFunction)
{
    NOTEHANDLE profile = NULLHANDLE;
    EXPECT_EQ(-29, m_worker.OpenCalendarProfile(&profile, 0));
    EXPECT_EQ(0u, profile);
    EXPECT_EQ(HERON_ERROR_NONE, m_worker.LastError().Kind()) << "opening records nothing";
    WORD type = 0;
    BLOCKID value = {NULLHANDLE, 0};
    DWORD length = 0;
    EXPECT_EQ(-29, m_worker.GetCalendarProfileField(0, 0, "UserCategories", &type, &value, &length));
    EXPECT_EQ("Retrieving Profile Info\r\nError: -29 Profile function not found in nnotes.dll",
              m_worker.LastError().Message());
}

TEST_F(NoProfileTest, AddTaskCategoryFailsCleanly)
{
    EXPECT_EQ(-13, m_worker.AddTaskCategory("Garden"));
    EXPECT_EQ(0u, m_worker.LastError().Message().find("Adding Task Category\r\nError: -13 "));
    std::vector<std::string> unchanged = {"3 $ProfileName=CalendarProfile", "3 Owner=Ann", "3 UserCategories=Errands"};
    EXPECT_EQ(unchanged, m_notes.Dump("mail\\alee.nsf"));
}

}  // namespace
