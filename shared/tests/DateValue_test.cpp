#include "DateValue.h"

#include <gtest/gtest.h>

namespace {

const int kEastern = -5 * 3600;

// 2024-03-10 and 2024-11-03 are the transition Sundays of 2024.
const int64_t kMarch10 = DaysFromCivil(2024, 3, 10) * 86400;
const int64_t kNov3 = DaysFromCivil(2024, 11, 3) * 86400;

} // namespace

TEST(DateValue, ZoneAroundItsTransitions)
{
    struct Row { const char* what; int64_t utc; int hour, minute, second, isDst; } rows[] = {
        {"last second of winter", kMarch10 + 7 * 3600 - 1, 1, 59, 59, 0},
        {"first second of summer", kMarch10 + 7 * 3600, 3, 0, 0, 1},
        {"last second of summer", kNov3 + 6 * 3600 - 1, 1, 59, 59, 1},
        {"first second of winter", kNov3 + 6 * 3600, 1, 0, 0, 0},
    };
    FixedClock clock(0, kEastern);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        LocalTime t;
        ASSERT_TRUE(clock.ToLocal(r.utc, &t));
        EXPECT_EQ(r.hour, t.hour);
        EXPECT_EQ(r.minute, t.minute);
        EXPECT_EQ(r.second, t.second);
        EXPECT_EQ(r.isDst, t.isDst);
        EXPECT_EQ(0, t.weekday);
    }
}

TEST(DateValue, LocalTimesToMoments)
{
    struct Row { const char* what; LocalTime local; int64_t utc; } rows[] = {
        {"skipped hour moves on", CivilTime(2024, 3, 10, 2, 30), kMarch10 + 7 * 3600 + 1800},
        {"repeated hour takes the first", CivilTime(2024, 11, 3, 1, 30), kNov3 + 5 * 3600 + 1800},
        {"repeated hour as standard time", CivilTime(2024, 11, 3, 1, 30, 0, 0), kNov3 + 6 * 3600 + 1800},
        {"summer noon", CivilTime(2024, 7, 1, 12), DaysFromCivil(2024, 7, 1) * 86400 + 16 * 3600},
        {"month 14", CivilTime(2023, 14, 1), DaysFromCivil(2024, 2, 1) * 86400 + 5 * 3600},
        {"day 0", CivilTime(2024, 3, 0), DaysFromCivil(2024, 2, 29) * 86400 + 5 * 3600},
        {"hour -1", CivilTime(2024, 1, 1, -1), DaysFromCivil(2023, 12, 31) * 86400 + 28 * 3600},
        {"31 January plus a month", CivilTime(2025, 2, 31), DaysFromCivil(2025, 3, 3) * 86400 + 5 * 3600},
    };
    FixedClock clock(0, kEastern);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        int64_t t = 0;
        ASSERT_TRUE(clock.FromLocal(r.local, &t));
        EXPECT_EQ(r.utc, t);
    }
    int64_t t = 0;
    EXPECT_FALSE(clock.FromLocal(CivilTime(2024, 1, 2000000000), &t)) << "far out of any calendar";
}

TEST(DateValue, ThirtyTwoBitRange)
{
    FixedClock clock(0, kEastern);
    SetClock(&clock);
    struct Row { const char* what; LocalTime local; bool fits; } rows[] = {
        {"2038-01-18", CivilTime(2038, 1, 18), true},
        {"2038-01-20", CivilTime(2038, 1, 20), false},
        {"1901-12-15", CivilTime(1901, 12, 15), true},
        {"1901-12-12", CivilTime(1901, 12, 12), false},
        {"a billion days on", CivilTime(2024, 1, 1000000000), false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        LocalTime local = r.local;
        int32_t time = 7;
        EXPECT_EQ(r.fits, LocalToTime32(&local, &time));
    }
    SetClock(nullptr);
}

TEST(DateValue, AutomationDatesInLocalTime)
{
    FixedClock clock(0, kEastern);
    SetClock(&clock);
    struct Row { const char* what; int32_t time; double date; } rows[] = {
        {"none", -1, 0.0},
        {"summer midnight", static_cast<int32_t>(DaysFromCivil(2024, 7, 4) * 86400 + 4 * 3600), 45477.0},
        {"winter 18:00", static_cast<int32_t>(DaysFromCivil(2024, 12, 4) * 86400 + 23 * 3600), 45630.75},
        {"1901-12-31", static_cast<int32_t>(DaysFromCivil(1901, 12, 31) * 86400 + 5 * 3600), 731.0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_DOUBLE_EQ(r.date, TimeToVariantDate(r.time));
    }
    EXPECT_EQ(2, LocalWeekday(static_cast<int32_t>(DaysFromCivil(2024, 7, 2) * 86400 + 4 * 3600)))
        << "the first second of Tuesday, local time";
    EXPECT_EQ(1, LocalWeekday(static_cast<int32_t>(DaysFromCivil(2024, 7, 2) * 86400 + 3 * 3600)))
        << "Monday night local time, Tuesday by UTC";
    SetClock(nullptr);
}

TEST(DateValue, CalendarDays)
{
    struct Row { int64_t y, m, d, days; int weekday; } rows[] = {
        {1970, 1, 1, 0, 4},
        {1969, 12, 31, -1, 3},
        {2000, 2, 29, 11016, 2},
        {1900, 3, 1, -25508, 4},
        {2038, 1, 19, 24855, 2},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.days, DaysFromCivil(r.y, r.m, r.d)) << r.y << "-" << r.m << "-" << r.d;
        int64_t y, m, d;
        CivilFromDays(r.days, &y, &m, &d);
        EXPECT_EQ(r.y * 10000 + r.m * 100 + r.d, y * 10000 + m * 100 + d);
        EXPECT_EQ(r.weekday, WeekdayOfDays(r.days));
    }
}
