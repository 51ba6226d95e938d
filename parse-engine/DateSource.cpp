#include "DateSource.h"

namespace osprey {

namespace {
DateSource g_source;
const size_t kMemoSize = 8;
} // namespace

void SetDateSource(const DateSource& source)
{
    g_source = source;
}

const DateSource& GetDateSource()
{
    return g_source;
}

int DateMemo::WeekdayOf(SlotSpan slots)
{
    if (!m_byAddress)
        return Lookup(slots);
    if (slots.count && slots.begin == m_last.begin && slots.count == m_last.count)
        return m_lastWeekday;
    m_last = slots;
    m_lastWeekday = Lookup(slots);
    return m_lastWeekday;
}

int DateMemo::Lookup(SlotSpan slots)
{
    for (const Entry& e : m_entries) {
        if (SlotSetsEqual(e.slots.Span(), slots))
            return e.weekday;
    }
    const DateSource& source = GetDateSource();
    Entry entry;
    entry.slots.records.assign(slots.begin, slots.end());
    entry.weekday = -1;
    if (source.convert && source.weekday) {
        int32_t time = -1;
        int kind = 0;
        m_probe.records.assign(slots.begin, slots.end());   // the converter may touch it
        source.convert(&m_probe, 0, &time, &kind);
        // -1 is the conversion's failure, 0 what an untouched time reads as.
        if (time != -1 && time != 0)
            entry.weekday = source.weekday(time);
    }
    if (m_entries.size() < kMemoSize) {
        m_entries.push_back(std::move(entry));
        return m_entries.back().weekday;
    }
    size_t victim = m_nextVictim++ % kMemoSize;
    m_entries[victim] = std::move(entry);
    return m_entries[victim].weekday;
}

} // namespace osprey
