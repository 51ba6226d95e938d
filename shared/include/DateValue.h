// Calendar arithmetic on 32-bit times (seconds since 1970, UTC) read in local
// time, through a replaceable clock and time zone.
#pragma once
#include <stdint.h>

#ifdef _WIN32
#include <wtypes.h>
#else
typedef double DATE;
#endif

// A broken-down local time; fields may run out of range before Normalize.
struct LocalTime {
    int64_t year = 1970;
    int64_t month = 1;      // 1-12
    int64_t day = 1;        // 1-31
    int64_t hour = 0, minute = 0, second = 0;
    int weekday = 4;        // 0 Sunday to 6 Saturday; output only
    int isDst = -1;         // -1 let the zone decide, 0 standard, 1 daylight saving
};

inline LocalTime CivilTime(int64_t year, int64_t month, int64_t day, int64_t hour = 0, int64_t minute = 0,
                           int64_t second = 0, int isDst = -1)
{
    LocalTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    t.isDst = isDst;
    return t;
}

// Days from 1970-01-01 of a proleptic Gregorian date, and back.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day);
void CivilFromDays(int64_t days, int64_t* year, int64_t* month, int64_t* day);
// 0 Sunday to 6 Saturday.
int WeekdayOfDays(int64_t days);

// The clock and time zone. Times are 64-bit here; callers check the 32-bit
// range themselves.
class QuiClock {
public:
    virtual ~QuiClock() = default;
    virtual int64_t Now() const = 0;
    // False when the zone cannot place the time.
    virtual bool ToLocal(int64_t time, LocalTime* out) const = 0;
    // Normalises the fields and gives the moment they name; the daylight-saving
    // state of `local.isDst` is honoured unless it is -1. False when it has none.
    virtual bool FromLocal(const LocalTime& local, int64_t* time) const = 0;
};

// The clock every date computation reads; the platform's unless replaced.
const QuiClock& GetClock();
// Replaces it (null restores the platform's). The caller keeps ownership.
void SetClock(const QuiClock* clock);

// A fixed "now" and a zone with a standard offset and daylight saving one
// hour ahead from the second Sunday of March 02:00 to the first Sunday of
// November 02:00 local time (no daylight saving when `withDst` is false).
class FixedClock : public QuiClock {
public:
    FixedClock(int64_t now, int standardOffsetSeconds, bool withDst = true)
        : m_now(now), m_offset(standardOffsetSeconds), m_dst(withDst) {}
    void SetNow(int64_t now) { m_now = now; }
    int64_t Now() const override { return m_now; }
    bool ToLocal(int64_t time, LocalTime* out) const override;
    bool FromLocal(const LocalTime& local, int64_t* time) const override;
    bool InDst(int64_t time) const;

private:
    int64_t m_now;
    int m_offset;
    bool m_dst;
};

// Normalises the fields of `local` through the clock: true and the moment
// when the result fits a signed 32-bit time, false otherwise.
bool LocalToTime32(LocalTime* local, int32_t* time);
// The local weekday of a time, -1 when the clock cannot place it.
int LocalWeekday(int32_t time);

// The same moment as an automation date in local time; -1 gives 0.0.
DATE TimeToVariantDate(int32_t time);
