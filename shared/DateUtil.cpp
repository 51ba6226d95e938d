#include "DateUtil.h"

#include <cmath>

namespace {
// The range that automation accepts: 100-01-01 to 9999-12-31 23:59:59.
const double kFirstDate = -657434.0;
const double kLastDate = 2958466.0;
const long kSecondsPerDay = 86400;

// Proleptic Gregorian date of a day count from 1970-01-01.
void CivilFromDays(long days, int* year, int* month, int* day)
{
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const long dayOfEra = days - era * 146097;
    const long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long mp = (5 * dayOfYear + 2) / 153;
    *day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *year = static_cast<int>(yearOfEra + era * 400 + (*month <= 2));
}
} // namespace

bool IsValidVariantDate(DATE d)
{
    return d >= kFirstDate && d < kLastDate;  // false for NaN too
}

time_t VariantDateToTime(DATE d)
{
    if (!IsValidVariantDate(d))
        return -1;
    // The whole part counts days; the fraction is the time of day even for
    // dates before 1899-12-30, where it does not run backwards.
    double whole = std::trunc(d);
    long days = static_cast<long>(whole);
    long seconds = std::lround(std::fabs(d - whole) * kSecondsPerDay);
    if (seconds == kSecondsPerDay) {
        seconds = 0;
        days += d < 0 ? -1 : 1;
    }
    const long daysFrom1970 = days - 25569;

    struct tm local = {};
    int year, month, day;
    CivilFromDays(daysFrom1970, &year, &month, &day);
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = static_cast<int>(seconds / 3600);
    local.tm_min = static_cast<int>(seconds / 60 % 60);
    local.tm_sec = static_cast<int>(seconds % 60);
    local.tm_isdst = -1;
    return mktime(&local);
}
