// nnotes.dll: time stamps. A stamp of the stand-in holds, in Innards[0], the
// hundredths of a second since midnight GMT (ALLDAY for a date alone) and,
// in Innards[1], the Julian day number of that GMT date; the wildcard is
// {ALLDAY, ANYDAY}. Local times are this machine's.
#include <cstdio>
#include <cstring>

#include "Runtime.h"

namespace {

const DWORD kDayMask = 0x00FFFFFF;
const DWORD kHundredthsPerDay = 24 * 60 * 60 * 100;

DWORD JulianDay(int year, int month, int day)
{
    int a = (14 - month) / 12;
    int y = year + 4800 - a;
    int m = month + 12 * a - 3;
    return static_cast<DWORD>(day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045);
}

void CivilDate(DWORD julian, int* year, int* month, int* day)
{
    long a = static_cast<long>(julian) + 32044;
    long b = (4 * a + 3) / 146097;
    long c = a - 146097 * b / 4;
    long d = (4 * c + 3) / 1461;
    long e = c - 1461 * d / 4;
    long m = (5 * e + 2) / 153;
    *day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
    *month = static_cast<int>(m + 3 - 12 * (m / 10));
    *year = static_cast<int>(100 * b + d - 4800 + m / 10);
}

bool Valid(const SYSTEMTIME& fields)
{
    FILETIME checked;
    return SystemTimeToFileTime(&fields, &checked) != FALSE;
}

TIMEDATE StampOfUtc(const SYSTEMTIME& utc)
{
    TIMEDATE stamp;
    stamp.Innards[0] = ((utc.wHour * 60 + utc.wMinute) * 60 + utc.wSecond) * 100 + utc.wMilliseconds / 10;
    stamp.Innards[1] = JulianDay(utc.wYear, utc.wMonth, utc.wDay);
    return stamp;
}

SYSTEMTIME UtcOfStamp(const TIMEDATE& stamp)
{
    SYSTEMTIME utc = {};
    int year, month, day;
    CivilDate(stamp.Innards[1] & kDayMask, &year, &month, &day);
    utc.wYear = static_cast<WORD>(year);
    utc.wMonth = static_cast<WORD>(month);
    utc.wDay = static_cast<WORD>(day);
    DWORD ticks = stamp.Innards[0] % kHundredthsPerDay;
    utc.wHour = static_cast<WORD>(ticks / 360000);
    utc.wMinute = static_cast<WORD>(ticks / 6000 % 60);
    utc.wSecond = static_cast<WORD>(ticks / 100 % 60);
    utc.wMilliseconds = static_cast<WORD>(ticks % 100 * 10);
    return utc;
}

bool DateOnly(const TIMEDATE& stamp)
{
    return stamp.Innards[0] == ALLDAY;
}

int MachineZone()
{
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    return static_cast<int>(zone.Bias / 60);
}

bool MachineObservesDst()
{
    TIME_ZONE_INFORMATION zone;
    return GetTimeZoneInformation(&zone) != TIME_ZONE_ID_UNKNOWN && zone.DaylightDate.wMonth != 0;
}

// A local time of this machine as a stamp; false when it is no date.
bool StampOfLocalFields(const SYSTEMTIME& local, TIMEDATE* stamp)
{
    SYSTEMTIME utc;
    if (!Valid(local) || !TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc))
        return false;
    *stamp = StampOfUtc(utc);
    return true;
}

bool LocalFieldsOfStamp(const TIMEDATE& stamp, SYSTEMTIME* local)
{
    if (IsWildcard(stamp))
        return false;
    SYSTEMTIME utc = UtcOfStamp(stamp);
    if (DateOnly(stamp)) {
        utc.wHour = utc.wMinute = utc.wSecond = utc.wMilliseconds = 0;
        *local = utc;
        return Valid(utc);
    }
    return Valid(utc) && SystemTimeToTzSpecificLocalTime(nullptr, &utc, local);
}

}  // namespace

TIMEDATE Wildcard()
{
    TIMEDATE wildcard;
    wildcard.Innards[0] = ALLDAY;
    wildcard.Innards[1] = ANYDAY;
    return wildcard;
}

bool IsWildcard(const TIMEDATE& stamp)
{
    return stamp.Innards[0] == ALLDAY && stamp.Innards[1] == ANYDAY;
}

TIMEDATE StampOfLocal(const DWORD local[2])
{
    TIMEDATE stamp = {{0, 0}};
    if (local[0] == 0)
        return stamp;
    SYSTEMTIME fields = {};
    fields.wYear = static_cast<WORD>(local[0] / 10000);
    fields.wMonth = static_cast<WORD>(local[0] / 100 % 100);
    fields.wDay = static_cast<WORD>(local[0] % 100);
    fields.wHour = static_cast<WORD>(local[1] / 10000);
    fields.wMinute = static_cast<WORD>(local[1] / 100 % 100);
    fields.wSecond = static_cast<WORD>(local[1] % 100);
    StampOfLocalFields(fields, &stamp);
    return stamp;
}

bool LocalOfStamp(const TIMEDATE& stamp, DWORD local[2])
{
    SYSTEMTIME fields;
    if (!LocalFieldsOfStamp(stamp, &fields))
        return false;
    local[0] = fields.wYear * 10000u + fields.wMonth * 100u + fields.wDay;
    local[1] = fields.wHour * 10000u + fields.wMinute * 100u + fields.wSecond;
    return true;
}

std::string TextOfStamp(const TIMEDATE& stamp)
{
    if (IsWildcard(stamp))
        return "*";
    SYSTEMTIME fields;
    if (!LocalFieldsOfStamp(stamp, &fields))
        return "*";
    char text[32];
    if (DateOnly(stamp))
        std::snprintf(text, sizeof text, "%04u-%02u-%02u", fields.wYear, fields.wMonth, fields.wDay);
    else
        std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", fields.wYear, fields.wMonth, fields.wDay,
                      fields.wHour, fields.wMinute, fields.wSecond);
    return text;
}

bool StampOfText(const std::string& text, TIMEDATE* stamp)
{
    if (text == "*") {
        *stamp = Wildcard();
        return true;
    }
    unsigned year, month, day, hour, minute, second;
    char tail;
    if (std::sscanf(text.c_str(), "%4u-%2u-%2u %2u:%2u:%2u%c", &year, &month, &day, &hour, &minute, &second, &tail)
        == 6) {
        SYSTEMTIME fields = {};
        fields.wYear = static_cast<WORD>(year);
        fields.wMonth = static_cast<WORD>(month);
        fields.wDay = static_cast<WORD>(day);
        fields.wHour = static_cast<WORD>(hour);
        fields.wMinute = static_cast<WORD>(minute);
        fields.wSecond = static_cast<WORD>(second);
        return StampOfLocalFields(fields, stamp);
    }
    if (text.size() == 10 && std::sscanf(text.c_str(), "%4u-%2u-%2u%c", &year, &month, &day, &tail) == 3) {
        SYSTEMTIME fields = {};
        fields.wYear = static_cast<WORD>(year);
        fields.wMonth = static_cast<WORD>(month);
        fields.wDay = static_cast<WORD>(day);
        if (!Valid(fields))
            return false;
        stamp->Innards[0] = ALLDAY;
        stamp->Innards[1] = JulianDay(year, month, day);
        return true;
    }
    return false;
}

NOTES_EXPORT void LNPUBLIC OSCurrentTIMEDATE(TIMEDATE* now)
{
    if (!now)
        return;
    DWORD local[2];
    NotesNow(local);
    *now = StampOfLocal(local);
}

NOTES_EXPORT void LNPUBLIC OSCurrentTimeZone(int* zone, int* dst)
{
    if (zone)
        *zone = MachineZone();
    if (dst)
        *dst = MachineObservesDst() ? TRUE : FALSE;
}

// TRUE when the fields are no time.
NOTES_EXPORT BOOL LNPUBLIC TimeLocalToGM(TIME* time)
{
    if (!time)
        return TRUE;
    SYSTEMTIME local = {};
    local.wYear = static_cast<WORD>(time->year);
    local.wMonth = static_cast<WORD>(time->month);
    local.wDay = static_cast<WORD>(time->day);
    local.wHour = static_cast<WORD>(time->hour);
    local.wMinute = static_cast<WORD>(time->minute);
    local.wSecond = static_cast<WORD>(time->second);
    local.wMilliseconds = static_cast<WORD>(time->hundredth * 10);
    if (time->year < 1601 || time->hundredth < 0 || time->hundredth > 99 || !Valid(local))
        return TRUE;
    if (time->zone == MachineZone() && (time->dst != 0) == MachineObservesDst())
        return StampOfLocalFields(local, &time->GM) ? FALSE : TRUE;
    // Another zone, without daylight-saving rules: its plain offset.
    FILETIME file;
    SystemTimeToFileTime(&local, &file);
    ULARGE_INTEGER ticks = {{file.dwLowDateTime, file.dwHighDateTime}};
    ticks.QuadPart += static_cast<LONGLONG>(time->zone) * 3600LL * 10000000LL;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME utc;
    if (!FileTimeToSystemTime(&file, &utc))
        return TRUE;
    time->GM = StampOfUtc(utc);
    return FALSE;
}

NOTES_EXPORT BOOL LNPUBLIC TimeGMToLocal(TIME* time)
{
    SYSTEMTIME local;
    if (!time || !LocalFieldsOfStamp(time->GM, &local))
        return TRUE;
    time->year = local.wYear;
    time->month = local.wMonth;
    time->day = local.wDay;
    time->weekday = local.wDayOfWeek + 1;
    time->hour = local.wHour;
    time->minute = local.wMinute;
    time->second = local.wSecond;
    time->hundredth = local.wMilliseconds / 10;
    time->zone = MachineZone();
    time->dst = MachineObservesDst() ? TRUE : FALSE;
    if (DateOnly(time->GM)) {
        SYSTEMTIME checked = local;
        FILETIME file;
        SystemTimeToFileTime(&checked, &file);
        FileTimeToSystemTime(&file, &checked);
        time->weekday = checked.wDayOfWeek + 1;
    }
    return FALSE;
}

NOTES_EXPORT void LNPUBLIC TimeConstant(WORD type, TIMEDATE* stamp)
{
    if (!stamp)
        return;
    switch (type) {
    case TIMEDATE_MINIMUM:
        stamp->Innards[0] = 0;
        stamp->Innards[1] = 0;
        break;
    case TIMEDATE_MAXIMUM:
        stamp->Innards[0] = kHundredthsPerDay - 1;
        stamp->Innards[1] = kDayMask;
        break;
    default:
        *stamp = Wildcard();
        break;
    }
}

NOTES_EXPORT int LNPUBLIC TimeDateCompare(const TIMEDATE* a, const TIMEDATE* b)
{
    if (!a || !b)
        return 0;
    const DWORD dayA = a->Innards[1] & kDayMask, dayB = b->Innards[1] & kDayMask;
    if (dayA != dayB)
        return dayA < dayB ? -1 : 1;
    const DWORD ticksA = DateOnly(*a) ? 0 : a->Innards[0], ticksB = DateOnly(*b) ? 0 : b->Innards[0];
    return ticksA < ticksB ? -1 : ticksA > ticksB ? 1 : 0;
}
