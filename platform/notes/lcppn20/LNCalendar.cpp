// lcppn20.dll: date-times and the calendar of a mail file.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "LNClasses.h"
#include "NotesStore.h"

namespace {

// "2026-12-08 09:00:00" into year, month, day, hour, minute, second.
bool ParseDatetime(const std::string& text, int fields[6])
{
    return std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &fields[0], &fields[1], &fields[2], &fields[3],
                       &fields[4], &fields[5])
           == 6;
}

LNDatetime FromText(const std::string& text)
{
    int fields[6];
    if (!ParseDatetime(text, fields))
        return LNDatetime();
    NOTESTIMEDATE stamp = {{static_cast<DWORD>(fields[0] * 10000 + fields[1] * 100 + fields[2]),
                            static_cast<DWORD>(fields[3] * 10000 + fields[4] * 100 + fields[5])}};
    return LNDatetime(stamp);
}

DWORD DayOf(const LNDatetime& datetime)
{
    return static_cast<DWORD>(datetime.GetYear() * 10000 + datetime.GetMonth() * 100 + datetime.GetDay());
}

// yyyymmddhhmmss, ordered as the moments are.
LONGLONG Instant(const LNDatetime& datetime)
{
    return static_cast<LONGLONG>(DayOf(datetime)) * 1000000
           + datetime.GetHour() * 10000 + datetime.GetMinute() * 100 + datetime.GetSecond();
}

}  // namespace

//--- LNDatetime

LNDatetime::LNDatetime() : m_fields(), m_wildcard(TRUE), m_dateOnly(FALSE) {}

LNDatetime::LNDatetime(const NOTESTIMEDATE& stamp)
    : m_fields(), m_wildcard(stamp.innards[0] == 0), m_dateOnly(stamp.innards[1] == NOTES_NO_TIME)
{
    if (m_wildcard || m_dateOnly) {
        m_fields[0] = static_cast<int>(stamp.innards[0] / 10000);
        m_fields[1] = static_cast<int>(stamp.innards[0] / 100 % 100);
        m_fields[2] = static_cast<int>(stamp.innards[0] % 100);
        return;
    }
    m_fields[0] = static_cast<int>(stamp.innards[0] / 10000);
    m_fields[1] = static_cast<int>(stamp.innards[0] / 100 % 100);
    m_fields[2] = static_cast<int>(stamp.innards[0] % 100);
    m_fields[3] = static_cast<int>(stamp.innards[1] / 10000);
    m_fields[4] = static_cast<int>(stamp.innards[1] / 100 % 100);
    m_fields[5] = static_cast<int>(stamp.innards[1] % 100);
}

int LNDatetime::GetYear() const { return m_fields[0]; }
int LNDatetime::GetMonth() const { return m_fields[1]; }
int LNDatetime::GetDay() const { return m_fields[2]; }
int LNDatetime::GetHour() const { return m_fields[3]; }
int LNDatetime::GetMinute() const { return m_fields[4]; }
int LNDatetime::GetSecond() const { return m_fields[5]; }

BOOL LNDatetime::IsWildcard() const
{
    return m_wildcard;
}

void LNDatetime::SetDateToWildCard()
{
    m_wildcard = TRUE;
}

LNSTATUS LNDatetime::DoAdjustTime(int hours, int minutes, int seconds, int hundredths)
{
    if (m_wildcard)
        return NOTES_ERR_BAD_TIME;
    SYSTEMTIME fields = {};
    fields.wYear = static_cast<WORD>(m_fields[0]);
    fields.wMonth = static_cast<WORD>(m_fields[1]);
    fields.wDay = static_cast<WORD>(m_fields[2]);
    fields.wHour = static_cast<WORD>(m_fields[3]);
    fields.wMinute = static_cast<WORD>(m_fields[4]);
    fields.wSecond = static_cast<WORD>(m_fields[5]);
    FILETIME file;
    if (!SystemTimeToFileTime(&fields, &file))
        return NOTES_ERR_BAD_TIME;
    ULARGE_INTEGER ticks;
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    LONGLONG shift = ((static_cast<LONGLONG>(hours) * 60 + minutes) * 60 + seconds) * 10000000LL + hundredths * 100000LL;
    ticks.QuadPart += shift;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    if (!FileTimeToSystemTime(&file, &fields))
        return NOTES_ERR_BAD_TIME;
    int adjusted[6] = {fields.wYear, fields.wMonth, fields.wDay, fields.wHour, fields.wMinute, fields.wSecond};
    std::memcpy(m_fields, adjusted, sizeof m_fields);
    return 0;
}

LNSTATUS LNDatetime::DoSetTime(int hour, int minute, int second, int)
{
    if (m_wildcard || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return NOTES_ERR_BAD_TIME;
    m_fields[3] = hour;
    m_fields[4] = minute;
    m_fields[5] = second;
    m_dateOnly = FALSE;
    return 0;
}

void LNDatetime::SetDate(int month, int day, int year)
{
    m_fields[0] = year;
    m_fields[1] = month;
    m_fields[2] = day;
    m_fields[3] = m_fields[4] = m_fields[5] = 0;
    m_wildcard = FALSE;
    m_dateOnly = TRUE;
}

NOTESTIMEDATE LNDatetime::GetStamp() const
{
    if (m_wildcard)
        return NOTESTIMEDATE{{0, 0}};
    DWORD date = static_cast<DWORD>(m_fields[0] * 10000 + m_fields[1] * 100 + m_fields[2]);
    if (m_dateOnly)
        return NOTESTIMEDATE{{date, NOTES_NO_TIME}};
    return NOTESTIMEDATE{{date, static_cast<DWORD>(m_fields[3] * 10000 + m_fields[4] * 100 + m_fields[5])}};
}

//--- LNDatetimes

LNDatetimes::LNDatetimes() : m_values(), m_count(0) {}

void LNDatetimes::SetValue(const NOTESTIMEDATE& stamp)
{
    m_values[0] = stamp;
    m_count = 1;
}

void LNDatetimes::Insert(const NOTESTIMEDATE& stamp)
{
    if (m_count < sizeof m_values / sizeof m_values[0])
        m_values[m_count++] = stamp;
}

void LNDatetimes::DeleteAll()
{
    m_count = 0;
}

DWORD LNDatetimes::GetCount() const
{
    return m_count;
}

NOTESTIMEDATE LNDatetimes::operator[](DWORD index) const
{
    return index < m_count ? m_values[index] : NOTESTIMEDATE{{0, 0}};
}

//--- LNCalendarEntry, LNCalendarEntryArray

LNCalendarEntry::LNCalendarEntry()
    : m_alarm(FALSE), m_relative(FALSE), m_offset(0), m_type(0), m_description()
{
}

void LNCalendarEntry::GetDatetimeRange(LNDatetimeRange* range) const
{
    *range = m_range;
}

BOOL LNCalendarEntry::GetIsAlarmEnabled() const { return m_alarm; }
BOOL LNCalendarEntry::IsAlarmRelative() const { return m_relative; }

void LNCalendarEntry::GetAlarmDatetime(LNDatetime* alarm) const
{
    *alarm = m_alarmTime;
}

long LNCalendarEntry::GetAlarmOffsetMinutes() const { return m_offset; }
int LNCalendarEntry::GetEntryType() const { return m_type; }

void LNCalendarEntry::GetBriefDescription(LNString* description) const
{
    *description = LNString(m_description);
}

LNCalendarEntryArray::LNCalendarEntryArray() : m_entries(nullptr), m_count(0) {}

LNCalendarEntryArray::~LNCalendarEntryArray()
{
    delete[] m_entries;
}

DWORD LNCalendarEntryArray::GetCount() const
{
    return m_count;
}

const LNCalendarEntry& LNCalendarEntryArray::operator[](DWORD index) const
{
    static const LNCalendarEntry none;
    return index < m_count ? m_entries[index] : none;
}

//--- LNCalendar

LNCalendar::LNCalendar() : m_server(), m_path(), m_user() {}

void LNCalendar::Bind(const char* server, const char* path, const char* user)
{
    lstrcpynA(m_server, server ? server : "", sizeof m_server);
    lstrcpynA(m_path, path ? path : "", sizeof m_path);
    lstrcpynA(m_user, user ? user : "", sizeof m_user);
}

LNSTATUS LNCalendar::ReadEntries(std::vector<LNCalendarEntry>* entries) const
{
    NOTESDBHANDLE handle = 0;
    if (LNSTATUS status = NotesDatabaseOpen(m_server, m_path, &handle))
        return status;
    char file[MAX_PATH] = "";
    NotesDatabaseFile(handle, file, sizeof file);
    NotesDatabaseClose(handle);
    std::vector<NotesNote> notes;
    ReadNotesDatabase(file, &notes);
    for (const NotesNote& note : notes) {
        int start[6];
        if (lstrcmpiA(note.Text("Form").c_str(), "Appointment") != 0 || !ParseDatetime(note.Text("StartDateTime"), start))
            continue;
        LNCalendarEntry entry;
        entry.m_range.begin = FromText(note.Text("StartDateTime"));
        entry.m_range.end = FromText(note.Text("EndDateTime"));
        entry.m_alarm = note.Text("Alarm") == "1";
        entry.m_relative = note.Find("AlarmOffset") != nullptr;
        entry.m_offset = std::atol(note.Text("AlarmOffset").c_str());
        entry.m_alarmTime = FromText(note.Text("AlarmTime"));
        entry.m_type = std::atoi(note.Text("AppointmentType").c_str());
        lstrcpynA(entry.m_description, note.Text("Subject").c_str(), sizeof entry.m_description);
        entries->push_back(entry);
    }
    return 0;
}

LNSTATUS LNCalendar::DoGetEntries(const LNDatetimes& dates, LNCalendarEntryArray* entries, int,
                                  const LNString&) const
{
    if (LNSTATUS status = NotesCheckCall("LNCalendar::GetEntries"))
        return status;
    if (!entries)
        return NOTES_ERR_BAD_HANDLE;
    try {
        std::vector<LNCalendarEntry> all, found;
        if (LNSTATUS status = ReadEntries(&all))
            return status;
        for (DWORD d = 0; d < dates.GetCount(); ++d) {
            for (const LNCalendarEntry& entry : all) {
                if (DayOf(entry.m_range.begin) == dates[d].innards[0])
                    found.push_back(entry);
            }
        }
        LNCalendarEntry* copy = new LNCalendarEntry[found.size() ? found.size() : 1];
        for (size_t i = 0; i < found.size(); ++i)
            copy[i] = found[i];
        delete[] entries->m_entries;
        entries->m_entries = copy;
        entries->m_count = static_cast<DWORD>(found.size());
        return 0;
    } catch (const std::bad_alloc&) {
        return NOTES_ERR_BAD_HANDLE;
    }
}

LNSTATUS LNCalendar::DoIsAvailable(const LNDatetimeRange& range, int, BOOL* available) const
{
    if (LNSTATUS status = NotesCheckCall("LNCalendar::IsAvailable"))
        return status;
    if (!available || range.begin.IsWildcard() || range.end.IsWildcard())
        return NOTES_ERR_BAD_TIME;
    try {
        std::vector<LNCalendarEntry> all;
        if (LNSTATUS status = ReadEntries(&all))
            return status;
        *available = TRUE;
        for (const LNCalendarEntry& entry : all) {
            LONGLONG begin = Instant(entry.m_range.begin), end = Instant(entry.m_range.end);
            bool overlaps = begin < Instant(range.end) && Instant(range.begin) < end;
            bool within = begin == end && Instant(range.begin) <= begin && begin < Instant(range.end);
            if (overlaps || within)
                *available = FALSE;
        }
        return 0;
    } catch (const std::bad_alloc&) {
        return NOTES_ERR_BAD_HANDLE;
    }
}

LNSTATUS LNNotesSession::DoGetCalendar(LNCalendar* calendar, const char* server, const char* path,
                                      const char* user) const
{
    if (LNSTATUS status = NotesCheckCall("GetCalendar"))
        return status;
    if (!calendar)
        return NOTES_ERR_BAD_HANDLE;
    calendar->Bind(server, path, user);
    return 0;
}
