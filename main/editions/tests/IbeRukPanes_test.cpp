// The Palm Desktop and Outlook editions' panes in a note window over their
// stand-ins and the real parser manager with the date package: what each
// edition does otherwise than Lotus Notes, and what its records become.
#include "PimPaneTestSupport.h"

#include "IbeDatastore.h"
#include "OutlookStandInFixture.h"
#include "PalmDesktopFixture.h"
#include "QuiResIds.h"
#include "RukDatastore.h"

using namespace pimpane_test;
using OutlookStandInTesting::Build;
using pim_test::FailureOf;

namespace {

const double kHour = 1.0 / 24.0;

class PalmPanes : public PanesFixture {
protected:
    PalmPanes() : PanesFixture(pimPalm) {}

    CPimDatastore* MakeDatastore() override
    {
        desktop.AddUser("Zoe", "ZoeD");
        desktop.SetLastUser("Zoe");
        desktop.EditTable<CToDoTable>("ZoeD\\todo\\todo.dat", [](CToDoTable& table) {
            CCategory calls(1, 5, "Calls");
            table.GetCategoryManager()->Add(&calls);
            CCategory errands(2, 6, "Errands");
            table.GetCategoryManager()->Add(&errands);
        });
        desktop.EditTable<CMemoTable>("ZoeD\\memopad\\memopad.dat", [](CMemoTable& table) {
            CCategory ideas(2, 7, "Ideas");
            table.GetCategoryManager()->Add(&ideas);
        });
        return new CIbeDatastore;
    }
    void TearDown() override
    {
        PanesFixture::TearDown();
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quillmate\\Finch");
    }

    PalmTesting::TestDesktop desktop;
};

class OutlookPanes : public PanesFixture {
protected:
    OutlookPanes() : PanesFixture(pimOutlook) {}

    CPimDatastore* MakeDatastore() override
    {
        OutlookStandInTesting::SetText(HKEY_CURRENT_USER, OutlookStandInTesting::kCategoryKeys[0], "MasterList",
                                       "Business;Calls;");
        OutlookStandInTesting::SetText(HKEY_CURRENT_USER, OutlookStandInTesting::kCategoryKeys[1], "",
                                       "Business;Calls;");
        return new CRukDatastore;
    }

    OutlookStandInTesting::Installation m_outlook{Build::Outlook90};
};

TEST_F(PalmPanes, CallTheBankTomorrowFilesAToDoWithoutStartOrCategory)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimToDoPane& toDo = *note->Wnd()->toDo;
    Type(note, "call the bank tomorrow");
    const DATE tomorrow = Today() + 1.0;
    EXPECT_EQ(DateText(tomorrow), Text(toDo.GetDueField()));
    EXPECT_TRUE(Checked(&toDo));
    CGodwitWrapper record;
    toDo.GetToDoDestination()->fileItem(&record);
    EXPECT_EQ(GODWIT_TYPE_TODO, record.GetType());
    EXPECT_EQ(tomorrow, record.GetDueDate());
    EXPECT_EQ(0.0, record.GetStartDate()) << "the Palm to-do has no start";
    EXPECT_EQ(1, record.GetPriority());
    EXPECT_FALSE(HasNames(record.GetTaskCategory())) << "no category: none written";
    EXPECT_EQ(1, store->FileRecord(record.m_lpDispatch));
    EXPECT_NE(std::string::npos, desktop.Dump("ZoeD\\todo\\todo.dat").find("description=\"call the bank\""));
}

TEST_F(PalmPanes, OneCategoryAtATimeTheFirstPhraseHoldsIt)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimToDoPane& toDo = *note->Wnd()->toDo;
    CPimToDoDestination* dest = toDo.GetToDoDestination();
    Type(note, "Calls and Errands");
    CStringArray ids;
    toDo.GetCategoryField().GetItemIDs(ids);
    ASSERT_EQ(1, ids.GetSize());
    EXPECT_STREQ("0##5", ids[0]);
    EXPECT_NE(0, dest->GetCategoryKeyphrase());
    EXPECT_TRUE(Checked(&toDo));
    // The first phrase gone, the next one found may take the field.
    Type(note, "call");
    toDo.GetCategoryField().GetItemIDs(ids);
    EXPECT_EQ(0, ids.GetSize());
    EXPECT_EQ(0, dest->GetCategoryKeyphrase());
    Type(note, "call Errands");
    toDo.GetCategoryField().GetItemIDs(ids);
    ASSERT_EQ(1, ids.GetSize());
    EXPECT_STREQ("0##6", ids[0]);
    CGodwitWrapper record;
    dest->fileItem(&record);
    EXPECT_TRUE(HasNames(record.GetTaskCategory()));
}

// A filled note's panes: no text is cut or covered.
void ExpectTextsWhole(CPanesNote* note)
{
    for (CDestPane* pane : note->Wnd()->Panes()) {
        for (const std::string& fault : LayoutFaults(*pane))
            ADD_FAILURE() << pane->GetDlgCtrlID() << ": " << fault;
    }
}

// A filled note's panes: no text is cut or covered.
TEST_F(PalmPanes, AFilledNoteShowsItsTextsWhole)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "call the bank tomorrow 12:30 pm Business");
    ExpectTextsWhole(note);
}

TEST_F(PalmPanes, LunchMondayFilesADateBookEntryAnHourLong)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimCalPane& cal = *note->Wnd()->cal;
    Type(note, "lunch Monday 12:30");
    EXPECT_TRUE(Checked(&cal));
    EXPECT_EQ(TimeText(12, 30), Text(cal.GetStartField()));
    EXPECT_EQ(TimeText(13, 30), Text(cal.GetEndField()));
    DATE day = -1.0;
    cal.GetDateField().GetDate(&day);
    ASSERT_GT(day, 0.0);
    CGodwitWrapper record;
    cal.GetCalDestination()->fileItem(&record);
    EXPECT_EQ(GODWIT_TYPE_CALENDAR, record.GetType());
    EXPECT_EQ(0x100, record.GetSubType());
    EXPECT_EQ(-1, record.GetAlarmAdvance());
    EXPECT_NEAR(day + 12.5 * kHour, record.GetStartDate(), 1e-6);
    EXPECT_NEAR(day + 13.5 * kHour, record.GetEndDate(), 1e-6);
    EXPECT_EQ(1, store->FileRecord(record.m_lpDispatch));
    EXPECT_NE(std::string::npos, desktop.Dump("ZoeD\\datebook\\datebook.dat").find("lunch"));
}

TEST_F(PalmPanes, TheEndAParsedStartGaveGoesWithItsPhrase)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimCalPane& cal = *note->Wnd()->cal;
    struct Row {
        const char* then;  // typed after "lunch Monday 12:30"
        std::string start, end;
    } rows[] = {
        {"lunch Monday", "", ""},
        {"lunch Monday 9:00", TimeText(9, 0), TimeText(10, 0)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.then);
        Type(note, "");
        Type(note, "lunch Monday 12:30");
        ASSERT_EQ(TimeText(13, 30), Text(cal.GetEndField()));
        Type(note, row.then);
        EXPECT_EQ(row.start, Text(cal.GetStartField()));
        EXPECT_EQ(row.end, Text(cal.GetEndField()));
    }
    // An end the user typed stays when the start's phrase goes.
    Type(note, "lunch Monday 12:30");
    cal.GetEndField().SetTime(14.0 / 24.0);
    cal.GetCalDestination()->GetEndProp()->SetFlags(CDestProp::FLAG_USER_CHANGED);
    Type(note, "lunch Monday");
    EXPECT_EQ(TimeText(14, 0), Text(cal.GetEndField()));
}

TEST_F(PalmPanes, AStartWithoutAnEndNeverEndsBeforeItStarts)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimCalPane& cal = *note->Wnd()->cal;
    const DATE day = Today() + 3.0;
    struct Row {
        double start, end;  // hours, -1 for none
        double first, last;
        long failure;
    } rows[] = {
        {22, -1, 22, 23, -1},
        {23.5, -1, 23.5, 23.5, -1},
        {0, -1, 6e-05 * 24, 1 + 6e-05 * 24, -1},
        {-1, 10, 0, 10, -1},
        {-1, -1, 0, 0, -1},
        {9, 10.5, 9, 10.5, -1},
        {11, 10, 0, 0, IDS_WEBCAL_BAD_END},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.start << "-" << row.end);
        cal.GetDateField().SetDate(day);
        cal.GetStartField().SetTime(row.start < 0 ? -1.0 : row.start * kHour);
        cal.GetEndField().SetTime(row.end < 0 ? -1.0 : row.end * kHour);
        CGodwitWrapper record;
        EXPECT_EQ(row.failure, FailureOf([&] { cal.GetCalDestination()->fileItem(&record); }).id);
        if (row.failure != -1)
            continue;
        EXPECT_NEAR(day + row.first * kHour, record.GetStartDate(), 1e-6);
        EXPECT_NEAR(day + row.last * kHour, record.GetEndDate(), 1e-6);
        EXPECT_LE(record.GetStartDate(), record.GetEndDate());
    }
}

TEST_F(PalmPanes, AMemoCategoryPhraseTicksTheMemoPaneAndFilesIntoIt)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimJournalPane& memo = *note->Wnd()->journal;
    Type(note, "memo about the meeting Ideas");
    EXPECT_TRUE(Checked(&memo));
    CStringArray ids;
    memo.GetFolderField().GetItemIDs(ids);
    ASSERT_EQ(1, ids.GetSize());
    EXPECT_STREQ("0##7", ids[0]);
    EXPECT_NE(0, memo.GetJournalDestination()->GetFolderKeyphrase());
    CGodwitWrapper record;
    memo.GetJournalDestination()->fileItem(&record);
    EXPECT_EQ(GODWIT_TYPE_JOURNAL, record.GetType());
    EXPECT_TRUE(HasNames(record.GetJournalCategory()));
    EXPECT_EQ(1, store->FileRecord(record.m_lpDispatch));
    EXPECT_NE(std::string::npos, desktop.Dump("ZoeD\\memopad\\memopad.dat").find("memo about the meeting"));
    Type(note, "memo about the meeting");
    EXPECT_FALSE(Checked(&memo));
    EXPECT_EQ(0, memo.GetJournalDestination()->GetFolderKeyphrase());
}

TEST_F(PalmPanes, TheEmailPaneFilesNothing)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimEmailPane& email = *note->Wnd()->email;
    Click(&email);
    CGodwitWrapper record;
    email.GetEmailDestination()->fileItem(&record);
    EXPECT_EQ(0, record.GetType());
}

TEST_F(OutlookPanes, CallTheBankTomorrowStartsTheTaskOnItsDueDate)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimToDoPane& toDo = *note->Wnd()->toDo;
    Type(note, "call the bank tomorrow");
    const DATE tomorrow = Today() + 1.0;
    EXPECT_TRUE(Checked(&toDo));
    CGodwitWrapper record;
    toDo.GetToDoDestination()->fileItem(&record);
    EXPECT_EQ(tomorrow, record.GetDueDate());
    EXPECT_EQ(tomorrow, record.GetStartDate());
    EXPECT_EQ(1, record.GetPriority());
    EXPECT_FALSE(HasNames(record.GetTaskCategory()));
    store->FileRecord(record.m_lpDispatch);
    EXPECT_TRUE(pim_test::AnyLineHas(m_outlook.Dump(), "task saved"));
    EXPECT_TRUE(pim_test::AnyLineHas(m_outlook.Dump(), "call the bank"));
}

// A filled note's panes: no text is cut or covered.
TEST_F(OutlookPanes, AFilledNoteShowsItsTextsWhole)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "call the bank tomorrow 12:30 pm Business");
    ExpectTextsWhole(note);
}

TEST_F(OutlookPanes, ADateWithoutTimesReachesOutlookAsAnAllDayEntry)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimCalPane& cal = *note->Wnd()->cal;
    Type(note, "Business meeting tomorrow");
    EXPECT_TRUE(Checked(&cal));
    CStringArray ids;
    note->Wnd()->toDo->GetCategoryField().GetItemIDs(ids);
    EXPECT_EQ(1, ids.GetSize()) << "the category ticks the task";
    const DATE tomorrow = Today() + 1.0;
    struct Row {
        double start, end;
        long subType;
        double first, last;
    } rows[] = {
        {-1, -1, 0x400, 8, 8.5},
        {9, -1, 0x100, 9, 9.5},
        {23.25, -1, 0x100, 23.25, 23.25},
        {9, 11, 0x100, 9, 11},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.start << "-" << row.end);
        cal.GetStartField().SetTime(row.start < 0 ? -1.0 : row.start * kHour);
        cal.GetEndField().SetTime(row.end < 0 ? -1.0 : row.end * kHour);
        CGodwitWrapper record;
        cal.GetCalDestination()->fileItem(&record);
        EXPECT_EQ(row.subType, record.GetSubType());
        EXPECT_NEAR(tomorrow + row.first * kHour, record.GetStartDate(), 1e-6);
        EXPECT_NEAR(tomorrow + row.last * kHour, record.GetEndDate(), 1e-6);
        EXPECT_EQ(1, record.GetPriority()) << "normal importance";
    }
    cal.GetStartField().SetText("");
    cal.GetEndField().SetText("");
    CGodwitWrapper record;
    cal.GetCalDestination()->fileItem(&record);
    store->FileRecord(record.m_lpDispatch);
    // As Outlook keeps it: all day from midnight to midnight, of normal importance.
    SYSTEMTIME day;
    VariantTimeToSystemTime(tomorrow, &day);
    char start[64];
    snprintf(start, sizeof start, "appointment saved Start=%04u-%02u-%02u 00:00:00", day.wYear, day.wMonth, day.wDay);
    const std::vector<std::string> dump = m_outlook.Dump();
    for (const char* line : {"appointment saved Subject=Business meeting", "appointment saved AllDayEvent=true",
                             "appointment saved Importance=1", static_cast<const char*>(start)})
        EXPECT_TRUE(pim_test::AnyLineHas(dump, line)) << line;
}

TEST_F(OutlookPanes, TheTaskKeepsItsTickAwayWhileParsingIsLocked)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimToDoPane& toDo = *note->Wnd()->toDo;
    Type(note, "call the bank tomorrow");
    ASSERT_TRUE(Checked(&toDo));
    note->EnablePimDestinations(FALSE);
    EXPECT_FALSE(Checked(&toDo));
    Type(note, "call the bank tomorrow!");
    EXPECT_FALSE(Checked(&toDo)) << "the web actions hold the note";
    note->EnablePimDestinations(TRUE);
    Type(note, "call the bank tomorrow");
    EXPECT_TRUE(Checked(&toDo));
}

TEST_F(OutlookPanes, AStartTypedLateInTheDayEndsTheSameDay)
{
    CPanesNote* note = Open();
    ASSERT_NE(nullptr, note);
    CPimCalPane& cal = *note->Wnd()->cal;
    struct Row {
        int hour, minute;
        std::string end;
    } rows[] = {{9, 0, TimeText(9, 30)}, {23, 45, TimeText(23, 59)}};
    for (const Row& row : rows) {
        cal.GetEndField().SetText("");
        cal.GetStartField().SetTime((row.hour + row.minute / 60.0) / 24.0);
        EXPECT_EQ(row.end, Text(cal.GetEndField())) << row.hour << ":" << row.minute;
    }
}

} // namespace
