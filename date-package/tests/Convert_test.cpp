#include "Curlew.h"
#include "Settings.h"
#include "TestClock.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace curlew_test;

namespace {

typedef std::vector<std::pair<int, int>> IntSlots;

struct Converted {
    int32_t time;
    int kind;
};

Converted Convert(const IntSlots& values, int base = 0)
{
    Slots* slots = SlotsInit();
    for (const auto& v : values)
        SlotsSetInt(slots, v.first + base, v.second);
    Converted c{12345, 0};
    ConvertSlotsToDate(slots, base, &c.time, &c.kind);
    SlotsDeinit(slots);
    return c;
}

struct Row {
    const char* what;
    IntSlots slots;
    int32_t expected;
    int kind;
};

void Check(const std::vector<Row>& rows)
{
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Converted c = Convert(r.slots);
        EXPECT_EQ(r.expected, c.time);
        EXPECT_EQ(r.kind, c.kind);
        Converted second = Convert(r.slots, 32);
        EXPECT_EQ(r.expected, second.time) << "second date of a range";
    }
}

// Monday 15 April 2024, 10:30 daylight-saving time.
const int32_t kMonday = Local(2024, 4, 15, 10, 30);

} // namespace

TEST(Convert, TimesOfDayOnATwelveHourClock)
{
    ScopedClock clock(kMonday);
    Check({
        {"3 pm", {{7, 3}, {9, 1}}, Local(2024, 4, 15, 15, 0), 7},
        {"3:45 am", {{7, 3}, {8, 45}, {9, 0}}, Local(2024, 4, 15, 3, 45), 7},
        {"12 am is midnight", {{7, 12}, {9, 0}}, Local(2024, 4, 15, 0, 0), 7},
        {"12 pm is noon", {{7, 12}, {9, 1}}, Local(2024, 4, 15, 12, 0), 7},
        {"bare 12 is noon", {{7, 12}}, Local(2024, 4, 15, 12, 0), 7},
        {"bare 5 is afternoon", {{7, 5}}, Local(2024, 4, 15, 17, 0), 7},
        {"bare 1 is afternoon", {{7, 1}}, Local(2024, 4, 15, 13, 0), 7},
        {"bare 7 is morning", {{7, 7}}, Local(2024, 4, 15, 7, 0), 7},
        {"bare 9 is morning", {{7, 9}, {8, 5}}, Local(2024, 4, 15, 9, 5), 7},
        {"hour 24", {{7, 24}}, -1, 7},
        {"minute 60", {{7, 9}, {8, 60}}, -1, 7},
        {"13 pm", {{7, 13}, {9, 1}}, -1, 7},
    });
}

TEST(Convert, TimesOfDayOnATwentyFourHourClock)
{
    ScopedClock clock(kMonday);
    curlew::PackageSettings().use24Hour = true;
    Check({
        {"bare 5 stays morning", {{7, 5}}, Local(2024, 4, 15, 5, 0), 7},
        {"17:20", {{7, 17}, {8, 20}}, Local(2024, 4, 15, 17, 20), 7},
        {"a marker still counts", {{7, 5}, {9, 1}}, Local(2024, 4, 15, 17, 0), 7},
    });
    curlew::PackageSettings().use24Hour = false;
}

TEST(Convert, TimesKeepTheDaylightSavingOfTheirDay)
{
    struct DstRow { const char* what; int32_t now; IntSlots slots; int32_t expected; } rows[] = {
        {"summer 3 pm", Local(2024, 7, 4, 8, 0), {{7, 3}, {9, 1}}, Local(2024, 7, 4, 15, 0)},
        {"winter 3 pm", Local(2024, 1, 4, 8, 0), {{7, 3}, {9, 1}}, Local(2024, 1, 4, 15, 0)},
        {"skipped hour of spring", Local(2024, 3, 10, 9, 0), {{7, 2}, {8, 30}, {9, 0}}, Local(2024, 3, 10, 3, 30)},
        {"repeated hour of autumn", Local(2024, 11, 3, 9, 0), {{7, 1}, {8, 30}, {9, 0}},
         Local(2024, 11, 3, 5, 30) - 5 * 3600},
        {"summer date at midnight", kMonday, {{1, 2024}, {2, 7}, {3, 4}}, Local(2024, 7, 4)},
        {"winter date at midnight", kMonday, {{1, 2024}, {2, 12}, {3, 4}}, Local(2024, 12, 4)},
    };
    ScopedClock clock(0);
    for (const DstRow& r : rows) {
        SCOPED_TRACE(r.what);
        clock.SetNow(r.now);
        EXPECT_EQ(r.expected, Convert(r.slots).time);
    }
    EXPECT_EQ(Local(2024, 7, 4) + 4 * 3600, Local(2024, 7, 4, 4)) << "the zone is 4 hours behind in July";
    EXPECT_EQ(Local(2024, 12, 4) + 5 * 3600, Local(2024, 12, 4, 5)) << "and 5 in December";
}

TEST(Convert, DaysOfMonths)
{
    ScopedClock clock(kMonday);
    Check({
        {"30 February", {{1, 2024}, {2, 2}, {3, 30}}, -1, 6},
        {"29 February of a leap year", {{1, 2024}, {2, 2}, {3, 29}}, Local(2024, 2, 29), 6},
        {"29 February of another year", {{1, 2023}, {2, 2}, {3, 29}}, -1, 6},
        {"31 April", {{2, 4}, {3, 31}}, -1, 6},
        {"a month without a day", {{2, 3}}, -1, 6},
        {"month 13", {{2, 13}, {3, 1}}, -1, 6},
        {"March read in April is next year's", {{2, 3}, {3, 5}}, Local(2025, 3, 5), 6},
        {"April read in April is this year's", {{2, 4}, {3, 2}}, Local(2024, 4, 2), 6},
        {"May", {{2, 5}, {3, 5}}, Local(2024, 5, 5), 6},
        {"year 5", {{1, 5}, {2, 6}, {3, 1}}, Local(2005, 6, 1), 6},
        {"year 69 is 2069, past 32 bits", {{1, 69}, {2, 6}, {3, 1}}, -1, 6},
        {"year 38 is 2038", {{1, 38}, {2, 1}, {3, 18}}, Local(2038, 1, 18), 6},
        {"year 85", {{1, 85}, {2, 6}, {3, 1}}, Local(1985, 6, 1), 6},
        {"year 2010", {{1, 2010}, {2, 6}, {3, 1}}, Local(2010, 6, 1), 6},
        {"past 2038", {{1, 2040}, {2, 1}, {3, 1}}, -1, 6},
        {"before 1902", {{1, 1900}, {2, 1}, {3, 1}}, -1, 6},
    });
}

TEST(Convert, NthWeekdaysOfMonths)
{
    ScopedClock clock(kMonday);
    Check({
        {"first Monday of March", {{10, 1}, {4, 1}, {2, 3}, {1, 2024}}, Local(2024, 3, 4), 6},
        {"last Friday of a month with five", {{10, 0}, {4, 5}, {2, 3}, {1, 2024}}, Local(2024, 3, 29), 6},
        {"last Friday of a month with four", {{10, 0}, {4, 5}, {2, 2}, {1, 2024}}, Local(2024, 2, 23), 6},
        {"fifth Monday falls back to the fourth", {{10, 5}, {4, 1}, {2, 2}, {1, 2024}}, Local(2024, 2, 26), 6},
        {"second Sunday", {{10, 2}, {4, 0}, {2, 9}, {1, 2024}}, Local(2024, 9, 8), 6},
    });
}

TEST(Convert, WeekdaysFromAMonday)
{
    ScopedClock clock(kMonday);
    const int32_t day = 86400;
    Check({
        {"Wednesday", {{4, 3}}, kMonday + 2 * day, 6},
        {"next Wednesday", {{4, 3}, {5, 1}}, kMonday + 9 * day, 6},
        {"last Wednesday", {{4, 3}, {5, -1}}, kMonday - 5 * day, 6},
        {"Monday", {{4, 1}}, kMonday + 7 * day, 6},
        {"next Monday", {{4, 1}, {5, 1}}, kMonday + 7 * day, 6},
        {"last Monday", {{4, 1}, {5, -1}}, kMonday - 7 * day, 6},
        {"Sunday", {{4, 0}}, kMonday + 6 * day, 6},
        {"next Sunday", {{4, 0}, {5, 1}}, kMonday + 6 * day, 6},
    });
}

TEST(Convert, DayOffsetsAndUnits)
{
    ScopedClock clock(kMonday);
    const int32_t day = 86400;
    Check({
        {"today", {{6, 0}}, kMonday, 6},
        {"tomorrow", {{6, 1}}, kMonday + day, 6},
        {"yesterday", {{6, -1}}, kMonday - day, 6},
        {"4000000000 days on", {{6, 2000000000}}, -1, 6},
        {"a day before today", {{6, 0}, {11, 1}, {13, -1}}, kMonday - day, 6},
        {"no direction adds nothing", {{6, 0}, {11, 1}}, kMonday, 6},
        {"2 weeks after Friday", {{4, 5}, {11, 2}, {12, 2}, {13, 1}}, kMonday + 18 * day, 6},
        {"31 January and a month", {{1, 2025}, {2, 1}, {3, 31}, {11, 3}, {13, 1}}, Local(2025, 3, 3), 6},
        {"in a leap year", {{1, 2024}, {2, 1}, {3, 31}, {11, 3}, {13, 1}}, Local(2024, 3, 2), 6},
        {"a year before", {{1, 2024}, {2, 6}, {3, 1}, {11, 4}, {13, -1}}, Local(2023, 6, 1), 6},
        {"2000000000 days", {{6, 0}, {11, 1}, {12, 2000000000}, {13, 1}}, -1, 6},
        {"2000000000 months", {{6, 0}, {11, 3}, {12, 2000000000}, {13, -1}}, -1, 6},
        {"counts times directions overflow", {{6, 0}, {11, 4}, {12, 2000000000}, {13, 2000000000}}, -1, 6},
        {"200 years on leaves 32 bits", {{6, 0}, {11, 4}, {12, 200}, {13, 1}}, -1, 6},
        // Plural units ask for a count.
        {"weeks after Friday", {{4, 5}, {11, 2 | CURLEW_UNIT_NEEDS_COUNT}, {13, 1}}, -1, 6},
        {"2 weeks after Friday", {{4, 5}, {11, 2 | CURLEW_UNIT_NEEDS_COUNT}, {12, 2}, {13, 1}}, kMonday + 18 * day, 6},
        {"1 days before today", {{6, 0}, {11, 1 | CURLEW_UNIT_NEEDS_COUNT}, {12, 1}, {13, -1}}, kMonday - day, 6},
        {"months after today", {{6, 0}, {11, 3 | CURLEW_UNIT_NEEDS_COUNT}, {13, 1}}, -1, 6},
    });
}

TEST(Convert, WeekdaysAfterAndBeforeADate)
{
    ScopedClock clock(kMonday);
    Check({
        {"Friday after Tuesday 5 March", {{1, 2024}, {2, 3}, {3, 5}, {14, 5}, {13, 1}}, Local(2024, 3, 8), 6},
        {"Friday before Tuesday 5 March", {{1, 2024}, {2, 3}, {3, 5}, {14, 5}, {13, -1}}, Local(2024, 3, 1), 6},
        {"Tuesday after a Tuesday", {{1, 2024}, {2, 3}, {3, 5}, {14, 2}, {13, 1}}, Local(2024, 3, 12), 6},
        {"Tuesday before a Tuesday", {{1, 2024}, {2, 3}, {3, 5}, {14, 2}, {13, -1}}, Local(2024, 2, 27), 6},
        {"Monday after today", {{6, 0}, {14, 1}, {13, 1}}, kMonday + 7 * 86400, 6},
    });
}

TEST(Convert, SlotsWithoutADateWriteNothing)
{
    ScopedClock clock(kMonday);
    Check({
        {"a year alone", {{1, 2024}}, 12345, 0},
        {"units alone", {{11, 1}, {12, 3}, {13, 1}}, 12345, 0},
        {"nothing", {}, 12345, 0},
    });
}

TEST(Convert, AttributesToAutomationDates)
{
    ScopedClock clock(kMonday);
    struct VRow { const char* what; int32_t value; int vt; double date; } rows[] = {
        {"none", -1, VT_NULL, 0.0},
        {"summer midnight", Local(2024, 7, 4), VT_DATE, 45477.0},
        {"winter evening", Local(2024, 12, 4, 18), VT_DATE, 45630.75},
        {"1970 in the zone", 0, VT_DATE, 25568.0 + 19.0 / 24},
    };
    for (const VRow& r : rows) {
        SCOPED_TRACE(r.what);
        PrsAttribute a{7, r.value};
        VARIANT v;
        EXPECT_EQ(r.vt, AttributeToVariant(&a, &v));
        EXPECT_EQ(r.vt, v.vt);
        if (r.vt == VT_DATE) {
            EXPECT_DOUBLE_EQ(r.date, v.date);
        }
    }
}
