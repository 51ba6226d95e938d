// The date range of a calendar entry by its kind, and the check whether
// that range is free in the user's calendar.
#include "HeronRes.h"
#include "HeronWorker.h"

namespace {

// The moment of a date with its time of day replaced.
LNDatetime AtTime(DATE date, int hour, int minute, int second)
{
    LNDatetime datetime(NotesStampOfDate(date));
    datetime.SetTime(hour, minute, second, 0);
    return datetime;
}

}  // namespace

void HERON::SetEntryDateRange(NotesCalendarRecord* record, LNDatetimeRange* range)
{
    Recorded(IDS_CTX_FILING_CALENDAR, [&]() -> int {
        switch (CalendarKindFromSubType(record)) {
        case CALENDAR_KIND_ALL_DAY_EVENT:
            return Recorded(IDS_CTX_EVENT_DATES, [&]() -> int {
                LONG days = static_cast<LONG>(record->end - record->start);
                if (days == 0)
                    days = 1;
                record->eventDays = days;
                record->end = record->start + (days - 1);
                range->begin = AtTime(record->start, 0, 0, 1);
                range->end = AtTime(record->end, 0, 0, 1);
                return 0;
            });
        case CALENDAR_KIND_ANNIVERSARY:
            return Recorded(IDS_CTX_ANNIVERSARY_DATES, [&]() -> int {
                range->begin = AtTime(record->start, 0, 0, 1);
                range->end = AtTime(record->start, 23, 59, 1);
                return 0;
            });
        default:
            // Meetings and reminders take the appointment's range.
            return Recorded(IDS_CTX_APPOINTMENT_DATES, [&]() -> int {
                range->begin = LNDatetime(NotesStampOfDate(record->start));
                range->end = LNDatetime(NotesStampOfDate(record->end));
                return 0;
            });
        }
    });
}

int HERON::QuickConflictCheck(NotesCalendarRecord* record)
{
    int taken = 0;
    Recorded(IDS_CTX_CONFLICTS, [&]() -> int {
        LNDatetimeRange range;
        SetEntryDateRange(record, &range);
        LNCalendar calendar;
        try {
            if (m_session.GetCalendar(&calendar))
                throw NTS5_ERROR_CANT_GET_CALENDAR;
        } catch (LNSTATUS) {
            throw NTS5_ERROR_CANT_GET_CALENDAR;
        }
        taken = calendar.IsAvailable(range, 0) == TRUE ? 0 : 1;
        return 0;
    });
    return taken;
}
