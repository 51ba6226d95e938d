// The quick conflict check of a Godwit record against the calendar in the
// stand-in: the range each kind of entry takes, and the answer written into
// the record's "Error" property.
#include <gtest/gtest.h>

#include <string>

#include "GodwitDispIds.h"
#include "GodwitRecordFiller.h"
#include "HeronFixture.h"
#include "QuiFakeDispatch.h"

namespace {

using QuiComTesting::Variant;

// One entry: 2026-12-08 from 9:00 to 10:30.
const char kCalendar[] =
    "[note 10]\r\nForm=Appointment\r\nStartDateTime=2026-12-08 09:00:00\r\nEndDateTime=2026-12-08 10:30:00\r\n"
    "AppointmentType(number)=0\r\nSubject=Team\r\n";

const DATE kDecember8 = 46364.0;
const DATE kHour = 1.0 / 24;

class HeronConflictTest : public HeronTest {
protected:
    // A new Godwit record of that sub-type and dates, checked; the value
    // the check left in its "Error" property.
    long Check(long subType, DATE start, DATE end, HRESULT expected = S_OK)
    {
        QuiComTesting::Ptr<IDispatch> record = NewGodwitRecord();
        if (!record)
            return -99;
        GodwitTesting::AddBits(record.Get(), DISPID_GODWIT_ADDSUBTYPEBIT, subType);
        GodwitTesting::PutDate(record.Get(), DISPID_GODWIT_STARTDATE, start);
        GodwitTesting::PutDate(record.Get(), DISPID_GODWIT_ENDDATE, end);
        GodwitTesting::PutText(record.Get(), DISPID_GODWIT_ERROR, L"unset");
        Variant argument;
        argument.vt = VT_DISPATCH;
        argument.pdispVal = record.Get();
        record->AddRef();
        EXPECT_EQ(expected, Call(DISPID_HERON_QUICKCONFLICTCHECK, {&argument}));
        m_description = QuiComTesting::LastError().description;
        Variant error;
        QuiComTesting::GetProperty(record.Get(), DISPID_GODWIT_ERROR, &error);
        return error.vt == VT_I4 ? error.lVal : -1;
    }

    // The error information the last check left.
    std::wstring m_description;
};

TEST_F(HeronConflictTest, RangeOfEachKind)
{
    NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf", kCalendar);
    ASSERT_EQ(S_OK, Connect());
    struct Row {
        const char* what;
        long subType;
        DATE start;
        DATE end;
        long taken;
    } rows[] = {
        {"appointment inside", 0x100, kDecember8 + 9.5 * kHour, kDecember8 + 10 * kHour, 1},
        {"appointment right after", 0x100, kDecember8 + 10.5 * kHour, kDecember8 + 11 * kHour, 0},
        {"appointment right before", 0x100, kDecember8 + 8 * kHour, kDecember8 + 9 * kHour, 0},
        {"appointment the day after", 0x100, kDecember8 + 1 + 9.5 * kHour, kDecember8 + 1 + 10 * kHour, 0},
        {"meeting overlapping the start", 0x800, kDecember8 + 8.5 * kHour, kDecember8 + 9.5 * kHour, 1},
        {"reminder inside", 0x1000, kDecember8 + 10 * kHour, kDecember8 + 10 * kHour + 0.01, 1},
        {"appointment and event bits: an appointment", 0x500, kDecember8 + 11 * kHour, kDecember8 + 12 * kHour,
         0},
        {"no kind: an appointment", 0, kDecember8 + 9 * kHour, kDecember8 + 10 * kHour, 1},
        // The whole day, from one second past midnight to 23:59:01.
        {"anniversary that day", 0x200, kDecember8 + 20 * kHour, kDecember8 + 21 * kHour, 1},
        {"anniversary the day before", 0x200, kDecember8 - 1 + 9 * kHour, kDecember8 + 9.5 * kHour, 0},
        // An event of one day is the single moment 00:00:01 of that day.
        {"event of one day", 0x400, kDecember8 + 9 * kHour, kDecember8 + 17 * kHour, 0},
        // Two and a half days: two days, ending at 00:00:01 of the second.
        {"event ending where the entry's day begins", 0x400, kDecember8 - 1 + 9 * kHour,
         kDecember8 + 1 + 21 * kHour, 0},
        {"event across the entry", 0x400, kDecember8 + 1 * kHour, kDecember8 + 2 + 1 * kHour, 1},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.taken, Check(row.subType, row.start, row.end)) << row.what;
}

TEST_F(HeronConflictTest, FailedCheckAnswersFree)
{
    NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf", kCalendar);
    ASSERT_EQ(S_OK, Connect());
    struct Row {
        const char* call;
        const wchar_t* error;
    } rows[] = {
        {"NSFDbGetModifiedNoteTable", L"Checking Calendar for conflicts\r\nError: 4095 The call failed as the test asked"},
        {"NSFDbOpen", L"Checking Calendar for conflicts\r\nError: -14 Unable to retrieve calendar from mail database"},
    };
    for (const Row& row : rows) {
        m_notes.SetFailCalls({row.call});
        EXPECT_EQ(0, Check(0x100, kDecember8 + 9.5 * kHour, kDecember8 + 10 * kHour)) << row.call;
        Variant result;
        EXPECT_EQ(DISP_E_EXCEPTION, Call(DISPID_HERON_GETMODIFIEDTODOCATEGORIES, {}, &result));
        EXPECT_EQ(row.error, QuiComTesting::LastError().description) << row.call;
    }
}

TEST_F(HeronConflictTest, RecordWithoutErrorPropertyIsLeftAlone)
{
    ASSERT_EQ(S_OK, Connect());
    QuiComTesting::FakeDispatch record({{L"Type", 7, 4L}, {L"StartDate", 8, 1L}});
    Variant argument;
    argument.vt = VT_DISPATCH;
    argument.pdispVal = &record;
    record.AddRef();
    EXPECT_EQ(S_OK, Call(DISPID_HERON_QUICKCONFLICTCHECK, {&argument}));
    Release();
}

TEST_F(HeronConflictTest, NotConnected)
{
    EXPECT_EQ(-1, Check(0x100, kDecember8, kDecember8 + kHour, DISP_E_EXCEPTION));
    EXPECT_EQ(L"Not Connected to Lotus Notes.", m_description);
}

}  // namespace
