#include "DateUtil.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace {
time_t Local(int year, int month, int day, int hour, int minute, int second)
{
    struct tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return mktime(&t);
}
} // namespace

TEST(DateUtil, VariantDateToTimeReadsLocalTime)
{
    struct Row {
        DATE date;
        int year, month, day, hour, minute, second;
    } rows[] = {
        {25569.0, 1970, 1, 1, 0, 0, 0},
        {25569.5, 1970, 1, 1, 12, 0, 0},
        {36526.0, 2000, 1, 1, 0, 0, 0},
        {36585.75, 2000, 2, 29, 18, 0, 0},
        {36891.999988426, 2000, 12, 31, 23, 59, 59},
        {36891.9999999, 2001, 1, 1, 0, 0, 0},
        {39263.0 + 1.0 / 24, 2007, 6, 30, 1, 0, 0},
        {48213.0, 2031, 12, 31, 0, 0, 0},
        {44256.25, 2021, 3, 1, 6, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.date);
        EXPECT_EQ(Local(r.year, r.month, r.day, r.hour, r.minute, r.second), VariantDateToTime(r.date));
    }
}

TEST(DateUtil, VariantDateToTimeOfAnInvalidDateIsMinusOne)
{
    const DATE invalid[] = {
        std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
        2958466.0,
        -657435.0,
        1e300,
    };
    for (DATE d : invalid)
        EXPECT_EQ(-1, VariantDateToTime(d)) << d;
}

TEST(DateUtil, FirstAndLastDaysAreValidAllDayLong)
{
    const struct { DATE date; bool valid; } rows[] = {
        {-657434.0, true},   // 100-01-01 00:00
        {-657434.5, true},   // 100-01-01 12:00
        {-657434.99, true},
        {-657435.0, false},
        {2958465.99, true},  // 9999-12-31 23:45
        {2958466.0, false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.valid, IsValidVariantDate(r.date)) << r.date;
}

TEST(DateUtil, NegativeDatesKeepTheirTimeOfDayForward)
{
    // -1.25 is 1899-12-29 06:00, not 1899-12-28 18:00; compared to the next
    // day's date, which the C library can represent only as seconds apart.
    time_t minusOneQuarter = VariantDateToTime(-1.25);
    time_t zeroQuarter = VariantDateToTime(0.25);
    if (minusOneQuarter == -1 || zeroQuarter == -1)
        GTEST_SKIP() << "the C library has no times before 1970";
    EXPECT_EQ(86400, zeroQuarter - minusOneQuarter);
}
