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
    EXPECT_EQ(1, p.loaded) << "Load refused the locale";
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

// A day-first locale whose short date is "d M yyyy": white space between the
// numbers (as it is or quoted), which is also its date separator (or its time
// separator too).
curlew::LocaleFormats WhiteSpaceSeparated(const std::string& blank, const std::string& timeSeparator,
                                          const std::string& between)
{
    curlew::LocaleFormats f = curlew::EnGbFormats();
    f.dateSeparator = blank;
    f.timeSeparator = timeSeparator;
    f.shortDate = "d" + between + "M" + between + "yyyy";
    f.shortDates = {f.shortDate, "d MMM yyyy"};
    return f;
}

TEST(Recognize, DatesSeparatedByWhiteSpace)
{
#ifdef _WIN32
    const std::string noBreakSpace = "\xa0";
#else
    const std::string noBreakSpace = "\xc2\xa0";
#endif
    const curlew::LocaleFormats locales[] = {
        WhiteSpaceSeparated(" ", ":", " "),
        WhiteSpaceSeparated(noBreakSpace, ":", noBreakSpace),
        WhiteSpaceSeparated(" ", " ", " "),
        WhiteSpaceSeparated(noBreakSpace, noBreakSpace, noBreakSpace),
        WhiteSpaceSeparated(" ", ":", "' '"),
        WhiteSpaceSeparated(" ", ":", "'\t'"),
    };
    for (const curlew::LocaleFormats& locale : locales) {
        SCOPED_TRACE(locale.shortDate + ", time separator \"" + locale.timeSeparator + "\"");
        Check(locale, {
            {"dentist 5 3 2024", {K("date", 8, 15, {{6, Local(2024, 3, 5)}})}},
            {"call 20 4", {K("date", 5, 8, {{6, Local(2024, 4, 20)}})}},
            {"5 Mar 2024", {K("date", 0, 9, {{6, Local(2024, 3, 5)}})}},
            {"tomorrow at 14:45", {K("date", 0, 7, {{6, NowOn(4, 16)}}), K("time", 9, 16, {{7, Local(2024, 4, 15, 14, 45)}})}},
        });
    }
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

TEST(Recognize, CountsTheWordsCannotRead)
{
    // A plural unit stands for a count; without one that the grammar reads
    // the phrase gives no date, rather than one unit.
    Check(curlew::EnUsFormats(), {
        {"pay the rent two weeks from Friday", {K("date", 17, 33, {{6, -1}})}},
        {"several days after tomorrow", {K("date", 8, 26, {{6, -1}})}},
        {"2 weeks from Friday", {K("date", 0, 18, {{6, NowOn(5, 3)}})}},
        {"a week from Friday", {K("date", 2, 17, {{6, NowOn(4, 26)}})}},
        {"1 days after tomorrow", {K("date", 0, 20, {{6, NowOn(4, 17)}})}},
        {"3 months before 6/10/2024", {K("date", 0, 24, {{6, Local(2024, 3, 10)}})}},
    });
}

TEST(Recognize, RangeStartsTakeTheYearOfTheirEnd)
{
    Check(curlew::EnUsFormats(), {
        {"Dec 28 - Jan 3, 2027",
         {K("date-range", 0, 19, {{1, Local(2026, 12, 28)}, {2, Local(2027, 1, 3)}})}},
        {"Oct 3 - Nov 5, 2015", {K("date-range", 0, 18, {{1, Local(2015, 10, 3)}, {2, Local(2015, 11, 5)}})}},
        {"from 12/28 to 1/3/2027", {K("date-range", 0, 21, {{1, Local(2026, 12, 28)}, {2, Local(2027, 1, 3)}})}},
        {"between March 1 and March 5, 2030",
         {K("date-range", 0, 32, {{1, Local(2030, 3, 1)}, {2, Local(2030, 3, 5)}})}},
        // Neither names a year: each reads as the next such day, the start
        // never after the end.
        {"Dec 28 - Jan 3", {K("date-range", 0, 13, {{1, Local(2024, 12, 28)}, {2, Local(2025, 1, 3)}})}},
        {"Mar 1 - Mar 5", {K("date-range", 0, 12, {{1, Local(2025, 3, 1)}, {2, Local(2025, 3, 5)}})}},
        {"Apr 10 - May 2", {K("date-range", 0, 13, {{1, Local(2024, 4, 10)}, {2, Local(2024, 5, 2)}})}},
        // A start with a year of its own keeps it.
        {"12/28/2020 - 1/3/2027",
         {K("date-range", 0, 20, {{1, Local(2020, 12, 28)}, {2, Local(2027, 1, 3)}})}},
    });
}

TEST(Recognize, RangeStartsNeverLandAfterTheirEndWhateverToday)
{
    ScopedClock clock(Local(2025, 1, 2, 9, 0));
    LoadedParser p(curlew::EnUsFormats());
    struct Row {
        const char* text;
        Lines expected;
    } rows[] = {
        {"Dec 28 - Jan 3", {K("date-range", 0, 13, {{1, Local(2024, 12, 28)}, {2, Local(2025, 1, 3)}})}},
        {"Oct 3 - Nov 5, 2015", {K("date-range", 0, 18, {{1, Local(2015, 10, 3)}, {2, Local(2015, 11, 5)}})}},
        {"Dec 20 - 1/3/2025", {K("date-range", 0, 16, {{1, Local(2024, 12, 20)}, {2, Local(2025, 1, 3)}})}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(r.expected, Recognize(p.parser, r.text));
    }
}

TEST(Recognize, ImpossibleRangeEndsStayImpossible)
{
    // An end that is no date gives the start nothing to follow and is not
    // moved to a year where it would exist.
    Check(curlew::EnUsFormats(), {
        {"Dec 28 - Feb 30, 2027", {K("date-range", 0, 20, {{1, Local(2024, 12, 28)}, {2, -1}})}},
        {"Jan 3 - Feb 29", {K("date-range", 0, 13, {{1, Local(2025, 1, 3)}, {2, -1}})}},
        {"Jan 3 - Feb 29, 2023", {K("date-range", 0, 19, {{1, Local(2025, 1, 3)}, {2, -1}})}},
        {"Jan 3 - Feb 29, 2028", {K("date-range", 0, 19, {{1, Local(2028, 1, 3)}, {2, Local(2028, 2, 29)}})}},
    });
}
