// Date slots to times, relative to the clock's now.
#include "Convert.h"
#include "Curlew.h"
#include "DateValue.h"
#include "Settings.h"

namespace curlew {

Settings& PackageSettings()
{
    static Settings settings;
    return settings;
}

} // namespace curlew

namespace {

enum Slot {
    kYear = 1, kMonth, kDay, kWeekday, kWhich, kDayOffset, kHour, kMinute, kMarker,
    kOrdinal, kUnit, kCount, kDirection, kWeekdayAfter
};

// Offsets that no 32-bit time survives: anything past them fails outright.
const int64_t kMaxDays = 60000;
const int64_t kMaxMonths = 2000;
const int64_t kMaxYears = 200;

class DateSlots {
public:
    DateSlots(const Slots* slots, int base) : m_slots(slots), m_base(base) {}
    bool Has(int n) const { return SlotsHasSlot(m_slots, m_base + n) != 0; }
    int64_t Get(int n) const { return SlotsGetInt(m_slots, m_base + n); }
    int64_t GetOr(int n, int64_t absent) const { return Has(n) ? Get(n) : absent; }

private:
    const Slots* m_slots;
    int m_base;
};

int64_t FullYear(int64_t year)
{
    if (year >= 0 && year < 100)
        return year < 70 ? 2000 + year : 1900 + year;
    return year;
}

int DaysInMonth(int64_t year, int64_t month)
{
    int64_t nextYear = month == 12 ? year + 1 : year;
    int64_t nextMonth = month == 12 ? 1 : month + 1;
    return static_cast<int>(DaysFromCivil(nextYear, nextMonth, 1) - DaysFromCivil(year, month, 1));
}

// Case 1: a time of day today.
bool TimeOfDay(const DateSlots& s, const LocalTime& now, LocalTime* out)
{
    int64_t hour = s.Get(kHour);
    if (s.Has(kMarker)) {
        if (hour == 12)
            hour = s.Get(kMarker) == 0 ? 0 : 12;
        else if (s.Get(kMarker) != 0)
            hour += 12;
    } else if (!curlew::PackageSettings().use24Hour && hour >= 1 && hour <= 6) {
        hour += 12;         // a bare 1 to 6 is read as the afternoon
    }
    int64_t minute = s.GetOr(kMinute, 0);
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return false;
    *out = now;
    out->hour = hour;
    out->minute = minute;
    out->second = 0;
    return true;
}

// Case 2: a day of a month; without a year of its own, in `yearIfNone` when
// one is given, else the next such day from today.
bool DayOfMonth(const DateSlots& s, const LocalTime& now, const int64_t* yearIfNone, LocalTime* out)
{
    int64_t month = s.Get(kMonth);
    if (month < 1 || month > 12)
        return false;
    int64_t year = s.Has(kYear) ? FullYear(s.Get(kYear))
                 : yearIfNone ? *yearIfNone
                 : (month < now.month ? now.year + 1 : now.year);
    int64_t day;
    if (s.Has(kOrdinal)) {
        int64_t n = s.Get(kOrdinal) == 0 ? 5 : s.Get(kOrdinal);
        int64_t weekday = s.GetOr(kWeekday, -1);
        if (n < 1 || n > 5 || weekday < 0 || weekday > 6)
            return false;
        int first = WeekdayOfDays(DaysFromCivil(year, month, 1));
        day = (weekday - first + 7) % 7 + 7 * (n - 1) + 1;
        while (day > DaysInMonth(year, month))
            day -= 7;       // the month has no n-th: the last one there is
    } else {
        day = s.GetOr(kDay, 0);
        if (day < 1 || day > DaysInMonth(year, month))
            return false;
    }
    *out = LocalTime();
    out->year = year;
    out->month = month;
    out->day = day;
    return true;
}

// Case 3: a weekday near today.
void NearWeekday(const DateSlots& s, const LocalTime& now, LocalTime* out)
{
    int64_t wanted = ((s.Get(kWeekday) % 7) + 7) % 7;
    int64_t d = (wanted - now.weekday + 7) % 7;
    if (d == 0)
        d = 7;
    int64_t which = s.GetOr(kWhich, 0);
    *out = now;
    if (which == -1)
        out->day -= now.weekday == wanted ? 7 : 7 - d;
    else if (which == 1 && now.weekday < wanted)
        out->day += d + 7;
    else
        out->day += d;
}

// Steps 5 and 6: offsets in units, then the nearest given weekday.
bool ApplyOffsets(const DateSlots& s, LocalTime* t)
{
    if (s.Has(kUnit)) {
        int64_t unit = s.Get(kUnit);
        // A plural unit ("weeks") stands for a count: one the grammar did not
        // read is no reason to take one unit.
        if (unit & CURLEW_UNIT_NEEDS_COUNT) {
            if (!s.Has(kCount))
                return false;
            unit &= ~static_cast<int64_t>(CURLEW_UNIT_NEEDS_COUNT);
        }
        int64_t n = s.GetOr(kCount, 1) * s.GetOr(kDirection, 0);
        int64_t magnitude = n < 0 ? -n : n;
        switch (unit) {
        case 1: if (magnitude > kMaxDays) return false; t->day += n; break;
        case 2: if (magnitude > kMaxDays / 7) return false; t->day += 7 * n; break;
        case 3: if (magnitude > kMaxMonths) return false; t->month += n; break;
        case 4: if (magnitude > kMaxYears) return false; t->year += n; break;
        default: break;
        }
    }
    if (s.Has(kWeekdayAfter)) {
        int32_t time;
        LocalTime placed = *t;
        if (!LocalToTime32(&placed, &time))
            return false;
        int64_t wanted = ((s.Get(kWeekdayAfter) % 7) + 7) % 7;
        if (s.GetOr(kDirection, 1) < 0) {
            int64_t back = (placed.weekday - wanted + 7) % 7;
            t->day -= back == 0 ? 7 : back;
        } else {
            int64_t ahead = (wanted - placed.weekday + 7) % 7;
            t->day += ahead == 0 ? 7 : ahead;
        }
    }
    return true;
}

} // namespace

namespace curlew {

bool ReadsWithoutYear(Slots* slots, int base)
{
    DateSlots s(slots, base);
    return slots && !s.Has(kHour) && s.Has(kMonth) && !s.Has(kYear);
}

void ConvertSlots(Slots* slots, int base, const int64_t* yearIfNone, int32_t* time, int* kind)
{
    DateSlots s(slots, base);
    if (!slots || !time || !kind ||
        !(s.Has(kHour) || s.Has(kMonth) || s.Has(kWeekday) || s.Has(kDayOffset)))
        return;
    LocalTime now;
    if (!GetClock().ToLocal(GetClock().Now(), &now)) {
        *time = -1;
        *kind = CURLEW_DATE;
        return;
    }
    now.isDst = -1;
    LocalTime t;
    bool ok = true;
    if (s.Has(kHour)) {
        *kind = CURLEW_DATE_TIME;
        ok = TimeOfDay(s, now, &t);
    } else {
        *kind = CURLEW_DATE;
        if (s.Has(kMonth)) {
            ok = DayOfMonth(s, now, yearIfNone, &t);
        } else if (s.Has(kWeekday)) {
            NearWeekday(s, now, &t);
        } else {
            int64_t days = s.Get(kDayOffset);
            ok = days >= -kMaxDays && days <= kMaxDays;
            t = now;
            t.day += days;
        }
        ok = ok && ApplyOffsets(s, &t);
    }
    int32_t result = -1;
    if (!ok || !LocalToTime32(&t, &result))
        result = -1;
    *time = result;
}

} // namespace curlew

extern "C" void PRSAPI ConvertSlotsToDate(Slots* slots, int base, int32_t* time, int* kind)
{
    curlew::ConvertSlots(slots, base, nullptr, time, kind);
}
