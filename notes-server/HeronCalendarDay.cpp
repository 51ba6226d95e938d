// The worker's list of one day's calendar entries, and the conversions
// between dates and the Notes library's time stamps.
#include <cstdio>

#include "HeronRes.h"
#include "HeronWorker.h"
#include "NotesRecords.h"

namespace {

// One field of a day line: the value in double quotes and a comma; quotes
// inside the value stay as they are.
void AppendField(std::string* line, const std::string& value)
{
    *line += "\"" + value + "\",";
}

}  // namespace

TIMEDATE NotesStampOfDate(DATE date)
{
    SYSTEMTIME fields = {};
    VariantTimeToSystemTime(date, &fields);
    LNDatetime stamp;
    stamp.SetDate(fields.wMonth, fields.wDay, fields.wYear);
    if (stamp.IsWildcard() || stamp.SetTime(fields.wHour, fields.wMinute, fields.wSecond, 0) != 0)
        throw static_cast<LNSTATUS>(LNERR_BAD_TIME);
    return stamp.GetStamp();
}

std::string DateNumberText(const LNDatetime& datetime)
{
    SYSTEMTIME fields = {};
    fields.wYear = static_cast<WORD>(datetime.GetYear());
    fields.wMonth = static_cast<WORD>(datetime.GetMonth());
    fields.wDay = static_cast<WORD>(datetime.GetDay());
    fields.wHour = static_cast<WORD>(datetime.GetHour());
    fields.wMinute = static_cast<WORD>(datetime.GetMinute());
    fields.wSecond = static_cast<WORD>(datetime.GetSecond());
    DATE date = 0.0;
    SystemTimeToVariantTime(&fields, &date);
    // Every digit of the double: a reader gets the very date back, to the
    // second (seven digits were up to minutes off).
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", date);
    return text;
}

int HERON::GetCalendarDay(VARIANT day, VARIANT* out)
{
    return Recorded(IDS_CTX_CALENDAR_PROFILE, [&]() -> int {
        LNCalendar calendar;
        if (m_session.GetCalendar(&calendar))
            throw NTS5_ERROR_CANT_GET_CALENDAR;
        LNDatetimes dates;
        dates.SetValue(NotesStampOfDate(V_DATE(&day)));
        LNCalendarEntryArray entries;
        calendar.GetEntries(dates, &entries, 1, LNString(""));
        TextList lines;
        for (DWORD i = 0; i < entries.GetCount(); ++i) {
            const LNCalendarEntry& entry = entries[i];
            LNDatetimeRange range;
            entry.GetDatetimeRange(&range);
            std::string alarm = "-1";
            if (entry.GetIsAlarmEnabled()) {
                LNDatetime when;
                if (entry.IsAlarmRelative()) {
                    when = range.begin;
                    when.AdjustTime(0, static_cast<int>(entry.GetAlarmOffsetMinutes()), 0, 0);
                } else {
                    entry.GetAlarmDatetime(&when);
                }
                alarm = DateNumberText(when);
            }
            LNString description;
            entry.GetBriefDescription(&description);
            std::string line;
            AppendField(&line, DateNumberText(range.begin));
            AppendField(&line, DateNumberText(range.end));
            AppendField(&line, alarm);
            AppendField(&line, CalendarKindBitText(std::to_string(entry.GetEntryType())));
            AppendField(&line, description.GetPlatformTextPtr());
            lines.Append(line);
        }
        lines.ToVariant(out);
        return 0;
    });
}
