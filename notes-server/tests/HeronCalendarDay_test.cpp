// One day's calendar entries from the mail file's calendar in the stand-in.
#include <gtest/gtest.h>

#include <string>

#include "HeronFixture.h"

namespace {

using QuiComTesting::Variant;

const char kCalendar[] =
    "[note 10]\r\nForm=Appointment\r\nStartDateTime=2026-12-08 09:00:00\r\nEndDateTime=2026-12-08 10:30:00\r\n"
    "AppointmentType(number)=3\r\nAlarm=1\r\nAlarmOffset(number)=-15\r\nSubject=Team \"weekly\"\r\n"
    "[note 11]\r\nForm=Appointment\r\nStartDateTime=2026-12-08 00:00:00\r\nEndDateTime=2026-12-08 00:00:00\r\n"
    "AppointmentType(number)=2\r\nSubject=Holiday\r\n"
    "[note 12]\r\nForm=Appointment\r\nStartDateTime=2026-12-09 12:00:00\r\nEndDateTime=2026-12-09 13:00:00\r\n"
    "AppointmentType(number)=0\r\nAlarm=1\r\nAlarmTime=2026-12-09 11:00:00\r\nSubject=Lunch\r\n"
    "[note 13]\r\nForm=Memo\r\nStartDateTime=2026-12-08 09:00:00\r\nSubject=Not an entry\r\n"
    "[note 14]\r\nForm=Appointment\r\nStartDateTime=2026-12-10 08:00:00\r\nEndDateTime=2026-12-10 08:00:00\r\n"
    "AppointmentType(number)=7\r\nAlarm=0\r\nAlarmOffset(number)=-5\r\nSubject=\r\n";

const DATE kDecember8 = 46364.0;

class HeronCalendarDayTest : public HeronTest {
protected:
    std::string Day(DATE day)
    {
        Variant date;
        date.vt = VT_DATE;
        date.date = day;
        Variant lines;
        EXPECT_EQ(S_OK, Call(DISPID_HERON_GETCALENDARDAY, {&date}, &lines));
        return lines.vt == VT_EMPTY ? "<empty>" : Texts(lines);
    }
};

TEST_F(HeronCalendarDayTest, EntriesOfEachDay)
{
    NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf", kCalendar);
    ASSERT_EQ(S_OK, Connect());
    struct Row {
        DATE day;
        const char* expected;
    } rows[] = {
        // Every digit of the date: 8:45 reads back as 8:45.
        {kDecember8,
         "\"46364.375\",\"46364.4375\",\"46364.364583333336\",\"2048\",\"Team \"weekly\"\",|"
         "\"46364\",\"46364\",\"-1\",\"1024\",\"Holiday\","},
        {kDecember8 + 0.75, "\"46364.375\",\"46364.4375\",\"46364.364583333336\",\"2048\",\"Team \"weekly\"\",|"
                            "\"46364\",\"46364\",\"-1\",\"1024\",\"Holiday\","},
        {kDecember8 + 1, "\"46365.5\",\"46365.541666666664\",\"46365.458333333336\",\"256\",\"Lunch\","},
        {kDecember8 + 2, "\"46366.333333333336\",\"46366.333333333336\",\"-1\",\"0\",\"\","},
        {kDecember8 + 3, ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, Day(row.day)) << row.day;
}

// A calendar that cannot be read fails the day rather than show it free.
TEST_F(HeronCalendarDayTest, CalendarThatCannotBeReadFails)
{
    NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf", kCalendar);
    ASSERT_EQ(S_OK, Connect());
    struct Row {
        const char* call;
        const wchar_t* error;
    } rows[] = {
        {"NSFDbGetModifiedNoteTable", L"Retrieving Calendar Profile Info\r\nError: 4095 The call failed as the test asked"},
        {"NSFDbOpen", L"Retrieving Calendar Profile Info\r\nError: 4095 The call failed as the test asked"},
    };
    for (const Row& row : rows) {
        m_notes.SetFailCalls({row.call});
        Variant date;
        date.vt = VT_DATE;
        date.date = kDecember8;
        Variant lines;
        EXPECT_EQ(DISP_E_EXCEPTION, Call(DISPID_HERON_GETCALENDARDAY, {&date}, &lines)) << row.call;
        EXPECT_EQ(VT_EMPTY, lines.vt) << row.call;
        EXPECT_EQ(row.error, QuiComTesting::LastError().description) << row.call;
    }
}

}  // namespace
