#include "DateUtil.h"
#include "DateValue.h"

#include <cmath>

namespace {
// The range that automation accepts: 100-01-01 to 9999-12-31 23:59:59.
const double kFirstDate = -657434.0;
const double kLastDate = 2958466.0;
const long kSecondsPerDay = 86400;

} // namespace

bool IsValidVariantDate(DATE d)
{
    // Before day 0 the fraction is a time of day on the whole day, so the
    // first day runs from -657434.0 down to just above -657435.0.
    return d > kFirstDate - 1.0 && d < kLastDate;  // false for NaN too
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
    int64_t year, month, day;
    CivilFromDays(daysFrom1970, &year, &month, &day);
    local.tm_year = static_cast<int>(year - 1900);
    local.tm_mon = static_cast<int>(month - 1);
    local.tm_mday = static_cast<int>(day);
    local.tm_hour = static_cast<int>(seconds / 3600);
    local.tm_min = static_cast<int>(seconds / 60 % 60);
    local.tm_sec = static_cast<int>(seconds % 60);
    local.tm_isdst = -1;
    return mktime(&local);
}
