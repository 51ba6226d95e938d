// Times of the class layer, converted by the function library between its
// stamps and local times, and the calendar of a mail file.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "LNClasses.h"

namespace {

const char* const kEntryTypes[] = {"0", "1", "2", "3", "4"};

std::string TextItem(const LNNote& note, const char* name)
{
    LNText values;
    ReturnedErrors returned;
    return note.GetItem(name, &values) == 0 ? values[0].GetPlatformTextPtr() : std::string();
}

LNDatetime TimeItem(const LNNote& note, const char* name)
{
    TIMEDATE stamp;
    if (LNNotes().NSFItemGetTime && LNNotes().NSFItemGetTime(note.GetNoteHandle(), name, &stamp))
        return LNDatetime(stamp);
    return LNDatetime();
}

int LocalDay(const LNDatetime& datetime)
{
    return datetime.GetYear() * 10000 + datetime.GetMonth() * 100 + datetime.GetDay();
}

int Compare(const LNDatetime& a, const LNDatetime& b)
{
    TIMEDATE left = a.GetStamp(), right = b.GetStamp();
    return LNNotes().TimeDateCompare ? LNNotes().TimeDateCompare(&left, &right) : 0;
}

}  // namespace

LNDatetime::LNDatetime()
{
    SetDateToWildCard();
}

BOOL LNDatetime::IsWildcard() const
{
    TIMEDATE wildcard = {{0, 0}};
    if (LNNotes().TimeConstant)
        LNNotes().TimeConstant(TIMEDATE_WILDCARD, &wildcard);
    return std::memcmp(&wildcard, &m_stamp, sizeof wildcard) == 0;
}

void LNDatetime::SetDateToWildCard()
{
    m_stamp.Innards[0] = ALLDAY;
    m_stamp.Innards[1] = ANYDAY;
    if (LNNotes().TimeConstant)
        LNNotes().TimeConstant(TIMEDATE_WILDCARD, &m_stamp);
}

TIME LNDatetime::Local() const
{
    TIME local = {};
    local.GM = m_stamp;
    if (IsWildcard() || !LNNotes().TimeGMToLocal || LNNotes().TimeGMToLocal(&local)) {
        TIME none = {};
        return none;
    }
    return local;
}

LNSTATUS LNDatetime::FromLocal(TIME local)
{
    if (!LNNotes().OSCurrentTimeZone || !LNNotes().TimeLocalToGM)
        return LNERR_NO_FUNCTION;
    LNNotes().OSCurrentTimeZone(&local.zone, &local.dst);
    if (LNNotes().TimeLocalToGM(&local))
        return LNERR_BAD_TIME;
    m_stamp = local.GM;
    return 0;
}

// A date alone is the stamp of its noon with no time of day: its date is
// the same in every zone within eleven hours of this one.
void LNDatetime::SetDate(int month, int day, int year)
{
    TIME local = {};
    local.year = year;
    local.month = month;
    local.day = day;
    local.hour = 12;
    if (FromLocal(local) == 0)
        m_stamp.Innards[0] = ALLDAY;
    else
        SetDateToWildCard();
}

LNSTATUS LNDatetime::SetTime(int hour, int minute, int second, int hundredth)
{
    if (IsWildcard() || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return LNRaise(LNERR_BAD_TIME);
    TIME local = Local();
    local.hour = hour;
    local.minute = minute;
    local.second = second;
    local.hundredth = hundredth;
    return LNRaise(FromLocal(local));
}

LNSTATUS LNDatetime::AdjustTime(int hours, int minutes, int seconds, int hundredths)
{
    if (IsWildcard())
        return LNRaise(LNERR_BAD_TIME);
    TIME local = Local();
    SYSTEMTIME fields = {};
    fields.wYear = static_cast<WORD>(local.year);
    fields.wMonth = static_cast<WORD>(local.month);
    fields.wDay = static_cast<WORD>(local.day);
    fields.wHour = static_cast<WORD>(local.hour);
    fields.wMinute = static_cast<WORD>(local.minute);
    fields.wSecond = static_cast<WORD>(local.second);
    fields.wMilliseconds = static_cast<WORD>(local.hundredth * 10);
    FILETIME file;
    if (!SystemTimeToFileTime(&fields, &file))
        return LNRaise(LNERR_BAD_TIME);
    ULARGE_INTEGER ticks = {{file.dwLowDateTime, file.dwHighDateTime}};
    ticks.QuadPart += ((static_cast<LONGLONG>(hours) * 60 + minutes) * 60 + seconds) * 10000000LL
                      + hundredths * 100000LL;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    if (!FileTimeToSystemTime(&file, &fields))
        return LNRaise(LNERR_BAD_TIME);
    local.year = fields.wYear;
    local.month = fields.wMonth;
    local.day = fields.wDay;
    local.hour = fields.wHour;
    local.minute = fields.wMinute;
    local.second = fields.wSecond;
    local.hundredth = fields.wMilliseconds / 10;
    return LNRaise(FromLocal(local));
}

TIMEDATE LNDatetimes::operator[](DWORD index) const
{
    if (index < m_values.size())
        return m_values[index];
    return LNDatetime().GetStamp();
}

const LNCalendarEntry& LNCalendarEntryArray::operator[](DWORD index) const
{
    static const LNCalendarEntry none;
    return index < m_entries.size() ? m_entries[index] : none;
}

void LNCalendar::Bind(const char* server, const char* path, const char* user)
{
    m_server = server ? server : "";
    m_path = path ? path : "";
    m_user = user ? user : "";
}

LNSTATUS LNCalendar::OpenMail(LNDBHANDLE* database) const
{
    if (!LNNotes().NSFDbOpen)
        return LNERR_NO_FUNCTION;
    return LNNotes().NSFDbOpen(LNNetworkPath(m_server, m_path).c_str(), database);
}

LNSTATUS LNCalendar::CreateEntry(const LNDatetimeRange& range, const char* subject, LNCALENTRYTYPE kind,
                                 LNCalendarNote* entry) const
{
    int type = 0;
    while (type < 4 && (1 << type) != kind)
        ++type;
    if ((1 << type) != kind || range.begin.IsWildcard() || range.end.IsWildcard())
        return LNRaise(LNERR_BAD_TIME);
    LNDBHANDLE mail = NULLHANDLE;
    if (LNSTATUS status = OpenMail(&mail))
        return LNRaise(status);
    if (!LNNotes().NSFNoteCreate) {
        LNNotes().NSFDbClose(mail);
        return LNRaise(LNERR_NO_FUNCTION);
    }
    NOTEHANDLE note = NULLHANDLE;
    if (LNSTATUS status = LNNotes().NSFNoteCreate(mail, &note)) {
        LNNotes().NSFDbClose(mail);
        return LNRaise(status);
    }
    // The entry holds the mail file open for as long as it lives.
    entry->Bind(mail, 0, true);
    static_cast<LNNote*>(entry)->m_handle = note;
    LNSTATUS status = WriteEntry(range, subject, kEntryTypes[type], entry);
    if (status)
        entry->Close();
    return LNRaise(status);
}

LNSTATUS LNCalendar::WriteEntry(const LNDatetimeRange& range, const char* subject, const char* type,
                                LNCalendarNote* entry) const
{
    ReturnedErrors returned;
    LNDatetimes begin, end;
    begin.SetValue(range.begin.GetStamp());
    end.SetValue(range.end.GetStamp());
    LNText form, appointment, title, chair;
    form.SetValue("Appointment");
    appointment.SetValue(type);
    title.SetValue(subject);
    chair.SetValue(m_user.c_str());
    LNSTATUS status = entry->CreateItem("Form", form, ITEM_SUMMARY, 0);
    if (status == 0)
        status = entry->CreateItem("AppointmentType", appointment, ITEM_SUMMARY, 0);
    if (status == 0)
        status = entry->CreateItem("StartDateTime", begin, ITEM_SUMMARY, 0);
    if (status == 0)
        status = entry->CreateItem("EndDateTime", end, ITEM_SUMMARY, 0);
    if (status == 0)
        status = entry->CreateItem("Subject", title, ITEM_SUMMARY, 0);
    if (status == 0)
        status = entry->CreateItem("Chair", chair, ITEM_SUMMARY | ITEM_NAMES, 0);
    if (status == 0)
        status = entry->Save(0, TRUE);
    return status;
}

LNSTATUS LNCalendar::ReadEntries(std::vector<LNCalendarEntry>* entries) const
{
    LNDatabase mail;
    mail.Bind(m_server.c_str(), m_path.c_str());
    ReturnedErrors returned;
    if (LNSTATUS status = mail.Open())
        return status;
    LNDatetime all;
    LNNoteArray ids;
    if (LNSTATUS status = mail.GetModifiedNotes(all, NOTE_CLASS_DOCUMENT, &ids))
        return status;
    for (DWORD i = 0; i < ids.GetCount(); ++i) {
        if (ids[i] & RRV_DELETED)
            continue;
        LNDocument note;
        mail.GetDocument(ids[i], &note);
        if (note.Open(0) != 0 || lstrcmpiA(TextItem(note, "Form").c_str(), "Appointment") != 0)
            continue;
        LNCalendarEntry entry;
        entry.m_range.begin = TimeItem(note, "StartDateTime");
        if (entry.m_range.begin.IsWildcard())
            continue;
        entry.m_range.end = TimeItem(note, "EndDateTime");
        entry.m_alarm = TextItem(note, "Alarm") == "1";
        NUMBER offset = 0;
        entry.m_relative = LNNotes().NSFItemGetNumber && LNNotes().NSFItemGetNumber(note.GetNoteHandle(), "AlarmOffset",
                                                                                    &offset);
        entry.m_offset = static_cast<long>(offset);
        entry.m_alarmTime = TimeItem(note, "AlarmTime");
        NUMBER type = 0;
        if (LNNotes().NSFItemGetNumber && LNNotes().NSFItemGetNumber(note.GetNoteHandle(), "AppointmentType", &type))
            entry.m_type = static_cast<int>(type);
        else
            entry.m_type = std::atoi(TextItem(note, "AppointmentType").c_str());
        entry.m_description = TextItem(note, "Subject");
        entries->push_back(entry);
    }
    return 0;
}

LNSTATUS LNCalendar::GetEntries(const LNDatetimes& dates, LNCalendarEntryArray* entries, int,
                                const LNString&) const
{
    std::vector<LNCalendarEntry> all;
    if (LNSTATUS status = ReadEntries(&all))
        return LNRaise(status);
    entries->m_entries.clear();
    for (DWORD d = 0; d < dates.GetCount(); ++d) {
        const int day = LocalDay(LNDatetime(dates[d]));
        for (const LNCalendarEntry& entry : all) {
            if (LocalDay(entry.m_range.begin) == day)
                entries->m_entries.push_back(entry);
        }
    }
    return 0;
}

BOOL LNCalendar::IsAvailable(const LNDatetimeRange& range, int) const
{
    if (range.begin.IsWildcard() || range.end.IsWildcard()) {
        LNRaise(LNERR_BAD_TIME);
        return FALSE;
    }
    std::vector<LNCalendarEntry> all;
    if (LNSTATUS status = ReadEntries(&all)) {
        LNRaise(status);
        return FALSE;
    }
    for (const LNCalendarEntry& entry : all) {
        const LNDatetime& begin = entry.m_range.begin;
        const LNDatetime& end = entry.m_range.end;
        const bool overlaps = Compare(begin, range.end) < 0 && Compare(range.begin, end) < 0;
        const bool within = Compare(begin, end) == 0 && Compare(range.begin, begin) <= 0 && Compare(begin, range.end) < 0;
        if (overlaps || within)
            return FALSE;
    }
    return TRUE;
}
