// Automation dates: fields on both sides of day 0, the range, rounding to
// the second, and spans between moments.
#include <gtest/gtest.h>

#include <afxquill.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

std::string Fields(const COleDateTime& d)
{
    char text[64];
    snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d dow %d doy %d", d.GetYear(), d.GetMonth(), d.GetDay(),
             d.GetHour(), d.GetMinute(), d.GetSecond(), d.GetDayOfWeek(), d.GetDayOfYear());
    return text;
}

const char kNoFields[] = "-001--1--1 -1:-1:-1 dow -1 doy -1";

} // namespace

TEST(COleDateTime, FieldsOfStoredDates)
{
    struct Row {
        DATE stored;
        const char* fields;
    } rows[] = {
        {0.0, "1899-12-30 00:00:00 dow 7 doy 364"},
        {45296.5625, "2024-01-05 13:30:00 dow 6 doy 5"},
        {60.0, "1900-02-28 00:00:00 dow 4 doy 59"},
        {61.0, "1900-03-01 00:00:00 dow 5 doy 60"},
        {45351.0, "2024-02-29 00:00:00 dow 5 doy 60"},
        {0.75, "1899-12-30 18:00:00 dow 7 doy 364"},
        // Before day 0 the fraction still runs forward from midnight.
        {-1.25, "1899-12-29 06:00:00 dow 6 doy 363"},
        {-1.75, "1899-12-29 18:00:00 dow 6 doy 363"},
        {-0.5, "1899-12-30 12:00:00 dow 7 doy 364"},
        {-1.0, "1899-12-29 00:00:00 dow 6 doy 363"},
        {-3.0, "1899-12-27 00:00:00 dow 4 doy 361"},
        // Rounded to the nearest second, carrying into the next day.
        {2.0 + 86399.6 / 86400.0, "1900-01-02 00:00:00 dow 3 doy 2"},
        {2.0 + 86399.4 / 86400.0, "1900-01-01 23:59:59 dow 2 doy 1"},
        {-657434.0, "0100-01-01 00:00:00 dow 6 doy 1"},
        {-657434.5, "0100-01-01 12:00:00 dow 6 doy 1"},
        {2958465.0 + 86398.0 / 86400.0, "9999-12-31 23:59:58 dow 6 doy 365"},
        {2958466.0, kNoFields},
        {-657435.0, kNoFields},
        {std::numeric_limits<double>::quiet_NaN(), kNoFields},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.stored);
        COleDateTime date(row.stored);
        EXPECT_EQ(row.fields, Fields(date));
        EXPECT_EQ(row.fields == std::string(kNoFields) ? COleDateTime::invalid : COleDateTime::valid,
                  date.GetStatus());
    }
}

TEST(COleDateTime, SettingFieldsChecksTheCalendar)
{
    struct Row {
        int year, month, day, hour, minute, second;
        int result;
        DATE stored;
    } rows[] = {
        {2024, 1, 5, 13, 30, 0, 0, 45296.5625},
        {2024, 2, 29, 0, 0, 0, 0, 45351.0},
        {2000, 2, 29, 0, 0, 0, 0, 36585.0},
        {1899, 12, 30, 0, 0, 0, 0, 0.0},
        {1899, 12, 29, 6, 0, 0, 0, -1.25},
        {1899, 12, 29, 18, 0, 0, 0, -1.75},
        {100, 1, 1, 0, 0, 0, 0, -657434.0},
        {9999, 12, 31, 23, 59, 59, 0, 2958465.0 + 86399.0 / 86400.0},
        {2023, 2, 29, 0, 0, 0, 1, 0.0},
        {1900, 2, 29, 0, 0, 0, 1, 0.0},
        {2024, 4, 31, 0, 0, 0, 1, 0.0},
        {2024, 13, 1, 0, 0, 0, 1, 0.0},
        {2024, 0, 1, 0, 0, 0, 1, 0.0},
        {2024, 1, 0, 0, 0, 0, 1, 0.0},
        {99, 12, 31, 0, 0, 0, 1, 0.0},
        {10000, 1, 1, 0, 0, 0, 1, 0.0},
        {2024, 1, 5, 24, 0, 0, 1, 0.0},
        {2024, 1, 5, 12, 60, 0, 1, 0.0},
        {2024, 1, 5, 12, 0, -1, 1, 0.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.year << "-" << row.month << "-" << row.day << " " << row.hour << ":"
                                        << row.minute << ":" << row.second);
        COleDateTime date(45000.0);
        EXPECT_EQ(row.result, date.SetDateTime(row.year, row.month, row.day, row.hour, row.minute, row.second));
        EXPECT_EQ(row.result ? COleDateTime::invalid : COleDateTime::valid, date.GetStatus());
        EXPECT_NEAR(row.stored, date.m_dt, 1e-9);
        if (row.result == 0) {
            COleDateTime back(date.m_dt);
            EXPECT_EQ(row.year, back.GetYear());
            EXPECT_EQ(row.day, back.GetDay());
            EXPECT_EQ(row.second, back.GetSecond());
        }
    }
    COleDateTime time;
    EXPECT_EQ(0, time.SetTime(18, 0, 0));
    EXPECT_DOUBLE_EQ(0.75, time.m_dt);
    EXPECT_EQ(0, time.SetDate(2024, 1, 5));
    EXPECT_DOUBLE_EQ(45296.0, time.m_dt);
}

TEST(COleDateTime, SpansAndOrderFollowTheMomentNotTheNumber)
{
    struct Row {
        DATE later, earlier;
        double days;          // later - earlier
        long wholeDays;
    } rows[] = {
        {45296.5, 45295.75, 0.75, 0},
        {45299.0, 45296.0, 3.0, 3},
        {45299.0 + 0.9, 45297.0, 2.9, 2},
        {0.25, -1.5, 0.75, 0},                 // 1899-12-30 06:00 after 1899-12-29 12:00
        {-1.25, -1.5, -0.25, 0},               // 06:00 is before 12:00 on the same day
        {0.5, -0.5, 0.0, 0},                   // one moment, two numbers
        {-3.0, 2.0, -5.0, -5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.later << " - " << row.earlier);
        COleDateTime later(row.later), earlier(row.earlier);
        COleDateTimeSpan span = later - earlier;
        EXPECT_NEAR(row.days, span.GetTotalDays(), 1e-9);
        EXPECT_EQ(row.wholeDays, span.GetDays());
        EXPECT_EQ(row.days > 0, earlier < later);
        EXPECT_EQ(row.days < 0, later < earlier);
        EXPECT_EQ(row.days == 0, later == earlier);
        COleDateTime back = earlier + span;
        EXPECT_TRUE(back == later) << back.m_dt;
    }
    // Subtracting across day 0 gives the number a reader of the date expects.
    COleDateTime evening = COleDateTime(0.25) - COleDateTimeSpan(0, 12, 0, 0);
    EXPECT_DOUBLE_EQ(-1.75, evening.m_dt);
    EXPECT_EQ(18, evening.GetHour());
    COleDateTime monday(45296.0);
    monday += COleDateTimeSpan(3, 0, 0, 0);
    EXPECT_EQ(2, monday.GetDayOfWeek());
    monday -= COleDateTimeSpan(1.5);
    EXPECT_DOUBLE_EQ(45297.5, monday.m_dt);
}

TEST(COleDateTime, StatusTravelsThroughArithmetic)
{
    COleDateTime valid(45296.0), invalid(1e9), null;
    null.SetStatus(COleDateTime::null);
    EXPECT_EQ(COleDateTime::invalid, invalid.GetStatus());
    EXPECT_EQ(COleDateTime::invalid, (invalid + COleDateTimeSpan(1.0)).GetStatus());
    EXPECT_EQ(COleDateTime::null, (null + COleDateTimeSpan(1.0)).GetStatus());
    EXPECT_EQ(COleDateTimeSpan::invalid, (valid - invalid).GetStatus());
    EXPECT_EQ(COleDateTimeSpan::null, (null - valid).GetStatus());
    EXPECT_EQ(COleDateTimeSpan::valid, (valid - valid).GetStatus());
    EXPECT_EQ(COleDateTime::invalid, (valid + COleDateTimeSpan(1e7)).GetStatus()) << "past 9999";
    COleDateTimeSpan badSpan(1.0);
    badSpan.SetStatus(COleDateTimeSpan::invalid);
    EXPECT_EQ(COleDateTime::invalid, (valid - badSpan).GetStatus());
}

TEST(COleDateTime, ReadsVariantsAsTheirDates)
{
    struct Row {
        VARTYPE vt;
        const wchar_t* text;
        double number;
        COleDateTime::DateTimeStatus status;
        DATE stored;
    } rows[] = {
        {VT_DATE, nullptr, 45296.5, COleDateTime::valid, 45296.5},
        {VT_DATE, nullptr, -3.0, COleDateTime::valid, -3.0},
        {VT_DATE, nullptr, 3e6, COleDateTime::invalid, 3e6},
        {VT_NULL, nullptr, -1.0, COleDateTime::null, 0.0},
        {VT_BSTR, L"1/5/2024", 0, COleDateTime::valid, 45296.0},
        {VT_BSTR, L"no date", 0, COleDateTime::invalid, 0.0},
        {VT_I4, nullptr, 45296, COleDateTime::valid, 45296.0},
        {VT_EMPTY, nullptr, 0, COleDateTime::valid, 0.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        VARIANT v;
        VariantInit(&v);
        v.vt = row.vt;
        switch (row.vt) {
        case VT_DATE: case VT_NULL: v.date = row.number; break;
        case VT_BSTR: v.bstrVal = SysAllocString(row.text); break;
        case VT_I4: v.lVal = static_cast<LONG>(row.number); break;
        }
        COleDateTime date(v);
        EXPECT_EQ(row.status, date.GetStatus());
        EXPECT_EQ(row.stored, date.m_dt);
        VariantClear(&v);
    }
}

TEST(COleDateTime, NowIsTheLocalClockToTheSecond)
{
    SYSTEMTIME before;
    GetLocalTime(&before);
    COleDateTime now = COleDateTime::GetCurrentTime();
    SYSTEMTIME after;
    GetLocalTime(&after);
    before.wMilliseconds = 0;
    ASSERT_EQ(COleDateTime::valid, now.GetStatus());
    EXPECT_LE(COleDateTime(before), now);
    EXPECT_LE(now, COleDateTime(after));
    SYSTEMTIME fields;
    ASSERT_TRUE(now.GetAsSystemTime(fields));
    EXPECT_EQ(0, fields.wMilliseconds);
    EXPECT_EQ(now.GetSecond(), fields.wSecond);
}
