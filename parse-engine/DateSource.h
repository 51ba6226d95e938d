// Where the match-date action gets its dates: the date package's slot-to-date
// conversion and the local weekday of a time, installed at start-up.
#pragma once
#include "Slots.h"

namespace osprey {

// Writes the time (seconds since 1970, -1 for none) and its kind when the
// slots at base hold a date or a time; otherwise writes nothing.
typedef void(PRSAPI* ConvertSlotsFn)(Slots* slots, int base, int32_t* time, int* kind);
// 0 Sunday to 6 Saturday, in local time.
typedef int (*WeekdayFn)(int32_t time);

struct DateSource {
    ConvertSlotsFn convert = nullptr;
    WeekdayFn weekday = nullptr;
};

// Process-wide, like the package that provides it.
void SetDateSource(const DateSource& source);
const DateSource& GetDateSource();

// Weekdays of converted slot sets, remembered for one parse: a chart asks
// about the same few dates over and over.
class DateMemo {
public:
    // `byAddress`: the caller's slot sets stay where they are, unchanged,
    // until Reset, so one asked about again may be known by its address.
    explicit DateMemo(bool byAddress = false) : m_byAddress(byAddress) {}
    // The weekday of the date that the slots give, or -1 when they give none.
    int WeekdayOf(SlotSpan slots);
    void Reset()
    {
        m_entries.clear();
        m_last = SlotSpan();
    }

private:
    struct Entry {
        Slots slots;
        int weekday;
    };
    std::vector<Entry> m_entries;
    int Lookup(SlotSpan slots);

    Slots m_probe;
    size_t m_nextVictim = 0;
    // The set asked about last, by where it is stored (items of one chart
    // share their sets).
    bool m_byAddress;
    SlotSpan m_last;
    int m_lastWeekday = -1;
};

} // namespace osprey
