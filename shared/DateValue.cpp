#include "DateValue.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <ctime>
#endif

namespace {

const int64_t kSecondsPerDay = 86400;
// 1601-01-01 to 1970-01-01 in 100-nanosecond units.
const int64_t kFileTimeOf1970 = 116444736000000000LL;
// Beyond these no field can name a time that any clock here places; keeping
// inside them keeps the arithmetic below far from overflow.
const int64_t kFieldLimit = 4000000;
const int64_t kSecondLimit = kFieldLimit * kSecondsPerDay;

int64_t FloorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Carries every field into range; false when a field is too far out for any
// calendar date. `*wallSeconds` is the local wall-clock time read as UTC.
bool Normalize(LocalTime* t, int64_t* wallSeconds)
{
    if (t->year < -kFieldLimit || t->year > kFieldLimit || t->month < -kFieldLimit ||
        t->month > kFieldLimit || t->day < -kFieldLimit || t->day > kFieldLimit ||
        t->hour < -kFieldLimit || t->hour > kFieldLimit || t->minute < -kSecondLimit / 60 ||
        t->minute > kSecondLimit / 60 || t->second < -kSecondLimit || t->second > kSecondLimit)
        return false;
    int64_t months = t->year * 12 + (t->month - 1);
    int64_t year = FloorDiv(months, 12);
    int64_t days = DaysFromCivil(year, months - year * 12 + 1, 1) + (t->day - 1);
    int64_t seconds = t->hour * 3600 + t->minute * 60 + t->second;
    days += FloorDiv(seconds, kSecondsPerDay);
    seconds -= FloorDiv(seconds, kSecondsPerDay) * kSecondsPerDay;
    if (days < -kFieldLimit * 100 || days > kFieldLimit * 100)
        return false;
    CivilFromDays(days, &t->year, &t->month, &t->day);
    t->hour = seconds / 3600;
    t->minute = seconds / 60 % 60;
    t->second = seconds % 60;
    t->weekday = WeekdayOfDays(days);
    *wallSeconds = days * kSecondsPerDay + seconds;
    return true;
}

void SplitWallSeconds(int64_t wall, LocalTime* out)
{
    int64_t days = FloorDiv(wall, kSecondsPerDay);
    int64_t seconds = wall - days * kSecondsPerDay;
    CivilFromDays(days, &out->year, &out->month, &out->day);
    out->hour = seconds / 3600;
    out->minute = seconds / 60 % 60;
    out->second = seconds % 60;
    out->weekday = WeekdayOfDays(days);
}

#ifdef _WIN32
// The system's zone rules, which apply to every year alike (the C library's
// local-time functions refuse times before 1970).
class SystemClock : public QuiClock {
public:
    int64_t Now() const override
    {
        FILETIME ft;
        GetSystemTimeAsFileTime(&ft);
        return (static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) -
                kFileTimeOf1970) / 10000000;
    }
    bool ToLocal(int64_t time, LocalTime* out) const override
    {
        int64_t ticks = time * 10000000 + kFileTimeOf1970;
        if (time < -kSecondLimit || time > kSecondLimit || ticks < 0)
            return false;
        FILETIME ft = {static_cast<DWORD>(ticks), static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32)};
        SYSTEMTIME utc, local;
        if (!FileTimeToSystemTime(&ft, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
            return false;
        LocalTime t = CivilTime(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond);
        int64_t wall;
        Normalize(&t, &wall);
        t.isDst = wall - time != StandardBias() ? 1 : 0;
        *out = t;
        return true;
    }
    bool FromLocal(const LocalTime& local, int64_t* time) const override
    {
        LocalTime t = local;
        int64_t wall;
        if (!Normalize(&t, &wall) || t.year < 1601 || t.year > 30827)
            return false;
        SYSTEMTIME st = {};
        st.wYear = static_cast<WORD>(t.year);
        st.wMonth = static_cast<WORD>(t.month);
        st.wDay = static_cast<WORD>(t.day);
        st.wHour = static_cast<WORD>(t.hour);
        st.wMinute = static_cast<WORD>(t.minute);
        st.wSecond = static_cast<WORD>(t.second);
        SYSTEMTIME utc;
        FILETIME ft;
        if (!TzSpecificLocalTimeToSystemTime(nullptr, &st, &utc) || !SystemTimeToFileTime(&utc, &ft))
            return false;
        int64_t ticks = static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
        *time = (ticks - kFileTimeOf1970) / 10000000;
        if (local.isDst == 0 || local.isDst == 1) {
            // A forced state moves the moment by the saving the zone applied.
            LocalTime placed;
            if (ToLocal(*time, &placed) && placed.isDst != local.isDst)
                *time += placed.isDst ? 3600 : -3600;
        }
        return true;
    }

private:
    static int64_t StandardBias()
    {
        TIME_ZONE_INFORMATION tz;
        if (GetTimeZoneInformation(&tz) == TIME_ZONE_ID_INVALID)
            return 0;
        return -static_cast<int64_t>(tz.Bias + tz.StandardBias) * 60;
    }
};
#else
class SystemClock : public QuiClock {
public:
    int64_t Now() const override { return static_cast<int64_t>(time(nullptr)); }
    bool ToLocal(int64_t time, LocalTime* out) const override
    {
        time_t t = static_cast<time_t>(time);
        struct tm tm;
        if (time < -kSecondLimit || time > kSecondLimit || !localtime_r(&t, &tm))
            return false;
        out->year = tm.tm_year + 1900;
        out->month = tm.tm_mon + 1;
        out->day = tm.tm_mday;
        out->hour = tm.tm_hour;
        out->minute = tm.tm_min;
        out->second = tm.tm_sec;
        out->weekday = tm.tm_wday;
        out->isDst = tm.tm_isdst > 0 ? 1 : 0;
        return true;
    }
    bool FromLocal(const LocalTime& local, int64_t* time) const override
    {
        LocalTime t = local;
        int64_t wall;
        if (!Normalize(&t, &wall))
            return false;
        struct tm tm = {};
        tm.tm_year = static_cast<int>(t.year - 1900);
        tm.tm_mon = static_cast<int>(t.month - 1);
        tm.tm_mday = static_cast<int>(t.day);
        tm.tm_hour = static_cast<int>(t.hour);
        tm.tm_min = static_cast<int>(t.minute);
        tm.tm_sec = static_cast<int>(t.second);
        tm.tm_isdst = local.isDst;
        tm.tm_wday = -1;
        time_t r = mktime(&tm);
        if (r == static_cast<time_t>(-1) && tm.tm_wday == -1)
            return false;
        *time = static_cast<int64_t>(r);
        return true;
    }
};
#endif

const SystemClock g_systemClock;
const QuiClock* g_clock = nullptr;

} // namespace

int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day)
{
    year -= month <= 2;
    const int64_t era = FloorDiv(year, 400);
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, int64_t* year, int64_t* month, int64_t* day)
{
    days += 719468;
    const int64_t era = FloorDiv(days, 146097);
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    *day = dayOfYear - (153 * mp + 2) / 5 + 1;
    *month = mp < 10 ? mp + 3 : mp - 9;
    *year = yearOfEra + era * 400 + (*month <= 2);
}

int WeekdayOfDays(int64_t days)
{
    return static_cast<int>(((days % 7) + 7 + 4) % 7);   // 1970-01-01 was a Thursday
}

const QuiClock& GetClock()
{
    return g_clock ? *g_clock : g_systemClock;
}

void SetClock(const QuiClock* clock)
{
    g_clock = clock;
}

bool FixedClock::InDst(int64_t time) const
{
    if (!m_dst)
        return false;
    int64_t year, month, day;
    CivilFromDays(FloorDiv(time + m_offset, kSecondsPerDay), &year, &month, &day);
    int64_t march1 = DaysFromCivil(year, 3, 1);
    int64_t secondSunday = march1 + (7 - WeekdayOfDays(march1)) % 7 + 7;
    int64_t nov1 = DaysFromCivil(year, 11, 1);
    int64_t firstSunday = nov1 + (7 - WeekdayOfDays(nov1)) % 7;
    // 02:00 standard time in March, 02:00 daylight time (01:00 standard) in November.
    int64_t start = secondSunday * kSecondsPerDay + 2 * 3600 - m_offset;
    int64_t end = firstSunday * kSecondsPerDay + 3600 - m_offset;
    return time >= start && time < end;
}

bool FixedClock::ToLocal(int64_t time, LocalTime* out) const
{
    if (time < -kSecondLimit || time > kSecondLimit)
        return false;
    bool dst = InDst(time);
    SplitWallSeconds(time + m_offset + (dst ? 3600 : 0), out);
    out->isDst = dst ? 1 : 0;
    return true;
}

bool FixedClock::FromLocal(const LocalTime& local, int64_t* time) const
{
    LocalTime t = local;
    int64_t wall;
    if (!Normalize(&t, &wall))
        return false;
    int64_t standard = wall - m_offset;
    int64_t daylight = standard - 3600;
    if (local.isDst == 0)
        *time = standard;
    else if (local.isDst == 1)
        *time = daylight;
    else if (InDst(daylight))
        *time = daylight;       // in the repeated hour of autumn, the first one
    else
        *time = standard;       // in the skipped hour of spring, the hour after
    return true;
}

bool LocalToTime32(LocalTime* local, int32_t* time)
{
    int64_t t;
    if (!GetClock().FromLocal(*local, &t) || t < INT32_MIN || t > INT32_MAX)
        return false;
    if (!GetClock().ToLocal(t, local))
        return false;
    *time = static_cast<int32_t>(t);
    return true;
}

int LocalWeekday(int32_t time)
{
    LocalTime t;
    return GetClock().ToLocal(time, &t) ? t.weekday : -1;
}

DATE TimeToVariantDate(int32_t time)
{
    LocalTime t;
    if (time == -1 || !GetClock().ToLocal(time, &t))
        return 0.0;
    int64_t days = DaysFromCivil(t.year, t.month, t.day) + 25569;
    double fraction = static_cast<double>(t.hour * 3600 + t.minute * 60 + t.second) / kSecondsPerDay;
    // Before 1899-12-30 the fraction still counts forward from midnight.
    return days >= 0 ? days + fraction : days - fraction;
}
