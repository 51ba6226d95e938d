// The note's text without the keyphrases that filled fields, and the end
// time that follows a start.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "DestUtil.h"

namespace {

TEST(DestUtil, TextWithoutRangesCutsEachPhraseOnceWithTheBlankBeforeIt)
{
    struct Row {
        const char* what;
        const char* text;
        std::vector<std::pair<int, int>> ranges;
        const char* expected;
    } rows[] = {
        {"nothing to cut keeps the text as it is", "  call the bank ", {}, "  call the bank "},
        {"a phrase at the end", "call the bank tomorrow", {{14, 21}}, "call the bank"},
        {"a phrase at the start", "tomorrow call the bank", {{0, 7}}, "call the bank"},
        {"a one-character phrase at the start", "5 apples", {{0, 0}}, "apples"},
        {"two phrases: the later one still cut exactly", "lunch monday at 12:30 sharp", {{6, 11}, {16, 20}},
         "lunch at sharp"},
        {"the same phrase held by two fields", "lunch monday 12:30", {{6, 17}, {6, 17}}, "lunch"},
        {"overlapping phrases", "lunch monday 12:30", {{6, 11}, {6, 17}}, "lunch"},
        {"a character that is no blank stays", "see:tomorrow", {{4, 11}}, "see:"},
        {"an end past the text", "call tomorrow", {{5, 40}}, "call"},
        {"a start past the text", "call", {{9, 12}}, "call"},
    };
    for (const Row& row : rows)
        EXPECT_STREQ(row.expected, TextWithoutRanges(row.text, row.ranges, 1252)) << row.what;
}

TEST(DestUtil, OffsetsInUtf16UnitsAreMappedToTheDoubleByteText)
{
    // Shift-JIS: each of the two Japanese characters takes two bytes, but
    // one UTF-16 unit, as the parse engine counts them.
    const char text[] = "\x93\xfa\x96\x7b lunch monday";
    struct Row {
        std::pair<int, int> range;
        const char* expected;
    } rows[] = {
        {{9, 14}, "\x93\xfa\x96\x7b lunch"},
        {{3, 7}, "\x93\xfa\x96\x7b monday"},
        {{0, 1}, "lunch monday"},
    };
    for (const Row& row : rows)
        EXPECT_STREQ(row.expected, TextWithoutRanges(text, {row.range}, 932)) << row.range.first;
}

TEST(DestUtil, AnEndAfterALateStartStopsAtTheLastMinuteOfTheDay)
{
    struct Row {
        int startMinutes;
        long length;
        int endMinutes;
    } rows[] = {
        {9 * 60, 60, 10 * 60}, {22 * 60 + 30, 60, 23 * 60 + 30}, {23 * 60 + 30, 60, 23 * 60 + 59},
        {23 * 60 + 59, 30, 23 * 60 + 59}, {0, 24 * 60, 23 * 60 + 59},
    };
    for (const Row& row : rows) {
        const DATE end = TimeOfDayAfter(row.startMinutes / (24.0 * 60.0), row.length);
        EXPECT_EQ(row.endMinutes, MinutesOfDay(end)) << row.startMinutes << " + " << row.length;
    }
}

} // namespace
