#include "DateFormat.h"

#include <gtest/gtest.h>
#include <cstring>
#include <limits>

// The tests run with the user locale pinned to English (United States).
TEST(DateFormat, FormatsInTheUsersLocale)
{
    struct Row {
        DATE d;
        const char* date;
        const char* time;
    } rows[] = {
        {36526.0, "1/1/2000", "12:00 AM"},
        {36585.625, "2/29/2000", "3:00 PM"},
        {48213.99999, "12/31/2031", "11:59 PM"},
        {25569.0 + 13.0 / 24 + 5.0 / 1440, "1/1/1970", "1:05 PM"},
        {2.5, "1/1/1900", "12:00 PM"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.d);
        char date[QUI_DATE_TEXT] = "", time[QUI_DATE_TEXT] = "";
        EXPECT_EQ(static_cast<int>(std::strlen(r.date) + 1), FormatVariantDate(r.d, date, sizeof(date)));
        EXPECT_STREQ(r.date, date);
        EXPECT_EQ(static_cast<int>(std::strlen(r.time) + 1), FormatVariantTime(r.d, time, sizeof(time)));
        EXPECT_STREQ(r.time, time);
    }
}

TEST(DateFormat, InvalidDatesAndShortBuffersGiveNothing)
{
    struct Row {
        DATE d;
        int outLen;
    } rows[] = {
        {std::numeric_limits<double>::quiet_NaN(), QUI_DATE_TEXT},
        {1e10, QUI_DATE_TEXT},
        {-1e7, QUI_DATE_TEXT},
        {36526.0, 8},
        {36526.0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.d);
        char out[QUI_DATE_TEXT] = "unchanged";
        EXPECT_EQ(0, FormatVariantDate(r.d, out, r.outLen));
        EXPECT_EQ(0, FormatVariantTime(r.d, out, r.outLen));
        EXPECT_STREQ("unchanged", out);
    }
}
