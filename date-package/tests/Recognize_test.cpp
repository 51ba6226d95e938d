// Whole phrases through the engine with the package's grammar and an
// English vocabulary, on Monday 15 April 2024 at 10:30 daylight-saving time.
#include "Fixture.h"

#include <gtest/gtest.h>

#include <utility>

using namespace curlew_test;

namespace {

typedef std::vector<std::string> Lines;

const int32_t kNow = Local(2024, 4, 15, 10, 30);

std::string K(const char* symbol, int first, int last, std::vector<std::pair<int, int32_t>> attributes)
{
    std::string line = std::string(symbol) + " " + std::to_string(first) + "-" + std::to_string(last);
    for (const auto& a : attributes)
        line += " " + std::to_string(a.first) + ":" + std::to_string(a.second);
    return line;
}

struct Row {
    const char* text;
    Lines expected;
};

void Check(const curlew::LocaleFormats& formats, const std::vector<Row>& rows)
{
    ScopedClock clock(kNow);
    LoadedParser p(formats);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(r.expected, Recognize(p.parser, r.text));
    }
}

// The time of day of now on another day.
int32_t NowOn(int month, int day)
{
    return Local(2024, month, day, 10, 30);
}

} // namespace

TEST(Recognize, NumericAndLongDates)
{
    Check(curlew::EnUsFormats(), {
        {"dentist 3/5/2024", {K("date", 8, 15, {{6, Local(2024, 3, 5)}})}},
        {"call 4/20", {K("date", 5, 8, {{6, Local(2024, 4, 20)}})}},
        {"3/5/24", {K("date", 0, 5, {{6, Local(2024, 3, 5)}})}},
        {"3/5", {K("date", 0, 2, {{6, Local(2025, 3, 5)}})}},
        {"June 3, 2024", {K("date", 0, 11, {{6, Local(2024, 6, 3)}})}},
        {"Jun 3 2024", {K("date", 0, 9, {{6, Local(2024, 6, 3)}})}},
        {"Monday, June 3, 2024", {K("date", 0, 19, {{6, Local(2024, 6, 3)}})}},
        {"2/30/2024", {K("date", 0, 8, {{6, -1}})}},
    });
}

TEST(Recognize, DayFirstNumericDates)
{
    Check(curlew::DeDeFormats(), {
        {"5.3.2024", {K("date", 0, 7, {{6, Local(2024, 3, 5)}})}},
        {"14:45", {K("time", 0, 4, {{7, Local(2024, 4, 15, 14, 45)}})}},
    });
    Check(curlew::EnGbFormats(), {
        {"5/3/2024", {K("date", 0, 7, {{6, Local(2024, 3, 5)}})}},
    });
}

TEST(Recognize, Times)
{
    Check(curlew::EnUsFormats(), {
        {"3 pm", {K("time", 0, 3, {{7, Local(2024, 4, 15, 15)}})}},
        {"at 3pm", {K("time", 0, 5, {{7, Local(2024, 4, 15, 15)}})}},
        {"3 o'clock", {K("time", 0, 8, {{7, Local(2024, 4, 15, 15)}})}},
        {"9 o'clock", {K("time", 0, 8, {{7, Local(2024, 4, 15, 9)}})}},
        {"noon", {K("time", 0, 3, {{7, Local(2024, 4, 15, 12)}})}},
        {"at noon", {K("time", 0, 6, {{7, Local(2024, 4, 15, 12)}})}},
        {"2:30 pm", {K("time", 0, 6, {{7, Local(2024, 4, 15, 14, 30)}})}},
        {"14:45", {K("time", 0, 4, {{7, Local(2024, 4, 15, 14, 45)}})}},
    });
}

TEST(Recognize, WeekdaysAndNearbyDays)
{
    Check(curlew::EnUsFormats(), {
        {"on Monday", {K("date", 0, 8, {{6, NowOn(4, 22)}})}},
        {"next Wednesday", {K("date", 0, 13, {{6, NowOn(4, 24)}})}},
        {"last Friday", {K("date", 0, 10, {{6, NowOn(4, 12)}})}},
        {"Friday next", {K("date", 0, 10, {{6, NowOn(4, 26)}})}},
        {"tomorrow", {K("date", 0, 7, {{6, NowOn(4, 16)}})}},
        {"Mon. 4/22", {K("date", 0, 8, {{6, Local(2024, 4, 22)}})}},
        {"Tuesday 3/5/2024", {K("date", 0, 15, {{6, Local(2024, 3, 5)}})}},
        {"Thursday 3/5/2024", {K("date", 0, 7, {{6, NowOn(4, 18)}}), K("date", 9, 16, {{6, Local(2024, 3, 5)}})}},
    });
}

TEST(Recognize, RangesAndDueDates)
{
    Check(curlew::EnUsFormats(), {
        {"3 pm to 5 pm", {K("time-range", 0, 11, {{3, Local(2024, 4, 15, 15)}, {4, Local(2024, 4, 15, 17)}})}},
        {"9:00 am through 11:30 am",
         {K("time-range", 0, 23, {{3, Local(2024, 4, 15, 9)}, {4, Local(2024, 4, 15, 11, 30)}})}},
        {"from Monday to Friday", {K("date-range", 0, 20, {{1, NowOn(4, 22)}, {2, NowOn(4, 19)}})}},
        {"between 4/1 and 4/3", {K("date-range", 0, 18, {{1, Local(2024, 4, 1)}, {2, Local(2024, 4, 3)}})}},
        {"4/1 - 4/3", {K("date-range", 0, 8, {{1, Local(2024, 4, 1)}, {2, Local(2024, 4, 3)}})}},
        {"by Friday", {K("due-date", 0, 8, {{5, NowOn(4, 19)}})}},
        {"due Monday", {K("due-date", 0, 9, {{5, NowOn(4, 22)}})}},
    });
}

TEST(Recognize, OrdinalsAndOffsets)
{
    Check(curlew::EnUsFormats(), {
        {"first Monday of March", {K("date", 0, 20, {{6, Local(2025, 3, 3)}})}},
        {"last Friday of May", {K("date", 0, 17, {{6, Local(2024, 5, 31)}})}},
        {"2 weeks after Friday", {K("date", 0, 19, {{6, NowOn(5, 3)}})}},
        {"week after tomorrow", {K("date", 0, 18, {{6, NowOn(4, 23)}})}},
        {"the Friday after March 5", {K("date", 0, 23, {{6, Local(2025, 3, 7)}})}},
        {"Friday before March 5", {K("date", 0, 20, {{6, Local(2025, 2, 28)}})}},
    });
}

TEST(Recognize, TextsThatAreNoDates)
{
    Check(curlew::EnUsFormats(), {
        {"13/45/2024", {}},
        {"page 3", {}},
        {"room 12:75", {}},
        {"version 3.5", {}},
        {"buy 2 apples", {}},
        {"maybe", {}},
    });
}
