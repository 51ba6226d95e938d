// Filing a calendar entry into the user's calendar: the entry the library
// creates, then the items that make it show as its kind.
#include <cstdio>

#include "HeronRes.h"
#include "HeronWorker.h"

namespace {

LNDatetimes ValueAt(DATE date, int hour = -1, int minute = 0, int second = 0)
{
    LNDatetime datetime(NotesStampOfDate(date));
    if (hour >= 0)
        datetime.SetTime(hour, minute, second, 0);
    LNDatetimes value;
    value.SetValue(datetime.GetStamp());
    return value;
}

// The universal id as 32 lower-case hex digits: file id high and low, then
// note id high and low.
std::string UniversalIdText(const LNNote& note)
{
    LNUNID id;
    note.GetUniversalID(&id);
    char text[40];
    wsprintfA(text, "%08lx%08lx%08lx%08lx", id.unid.File.Innards[1], id.unid.File.Innards[0],
              id.unid.Note.Innards[1], id.unid.Note.Innards[0]);
    return text;
}

}  // namespace

int HERON::SetEventDays(NotesCalendarRecord* record, LNCalendarNote* entry)
{
    try {
        if (record->eventDays <= 0)
            return 0;
        LNDatetimes days;
        for (LONG i = 0; i < record->eventDays; ++i)
            days.Insert(NotesStampOfDate(record->start + i));
        PutItem(entry, "CalendarDateTime", days, kSummary, kListOption);
        entry->Save(0, TRUE);
        return 0;
    } catch (LNSTATUS status) {
        return status;
    }
}

int HERON::SetEntryDateItems(NotesCalendarRecord* record, LNCalendarNote* entry)
{
    try {
        const bool event = CalendarKindFromSubType(record) == CALENDAR_KIND_ALL_DAY_EVENT;
        const struct {
            const char* name;
            LNDatetimes value;
        } items[] = {
            {"EndDate", ValueAt(record->end)},
            {"EndDateTime", event ? ValueAt(record->end, 23, 59, 59) : ValueAt(record->end)},
            {"EndTime", event ? ValueAt(record->end, 23, 59, 0) : ValueAt(record->end)},
            {"StartDate", ValueAt(record->start)},
            {"StartDateTime", event ? ValueAt(record->start, 0, 0, 1) : ValueAt(record->start)},
            {"StartTime", ValueAt(record->start)},
        };
        for (const auto& item : items) {
            PutItem(entry, item.name, item.value, kSummary, kKeepOption);
            entry->Save(0, TRUE);
        }
        return 0;
    } catch (LNSTATUS status) {
        return status;
    }
}

int HERON::SetDetailedDescriptionField(LNCalendarNote* entry, const NotesCalendarRecord& record)
{
    return Recorded(IDS_CTX_DESCRIPTION, [&]() -> int {
        std::string text = record.note;
        ReplaceCarriageReturns(&text);
        LNRichText description;
        entry->GetDetailedDescription(&description);
        description.SetValue(text.c_str(), FALSE);
        entry->SetDetailedDescription(description);
        return 0;
    });
}

void HERON::RemoveFromMailDatabase(const LNNote& note)
{
    try {
        LNDatabase mail;
        if (m_session.GetMailDatabase(&mail) == 0) {
            mail.Open();
            mail.DeleteNote(note.GetNoteID());
            mail.Close();
        }
    } catch (...) {
        // The failure of the filing is what is reported.
    }
}

int HERON::FileDatebookItem(NotesCalendarRecord* record)
{
    return Recorded(IDS_CTX_FILING_CALENDAR, [&]() -> int {
        LNDatetimeRange range;
        SetEntryDateRange(record, &range);
        std::string subject = record->body;
        ReplaceCarriageReturns(&subject);
        LNCalendar calendar;
        try {
            if (m_session.GetCalendar(&calendar))
                throw NTS5_ERROR_CANT_GET_CALENDAR;
        } catch (LNSTATUS) {
            throw NTS5_ERROR_CANT_GET_CALENDAR;
        }
        const BYTE kind = CalendarKindFromSubType(record);
        LNCalendarNote entry;
        try {
            calendar.CreateEntry(range, subject.c_str(), static_cast<LNCALENTRYTYPE>(kind), &entry);
        } catch (LNSTATUS) {
            throw NTS5_ERROR_UNABLE_TO_CREATE_CALENDAR_ENTRY;
        }
        // The library stored the entry when it made it: a filing that fails
        // takes it out again, so that no half entry stays and the note, which
        // stays open, is not filed twice.
        try {
            if (kind == CALENDAR_KIND_ALL_DAY_EVENT) {
                LNNumbers days;
                days.SetValue(record->eventDays);
                PutItem(&entry, "Duration", days, kSummary, kKeepOption);
                // An event without its day list shows on its first day only.
                RaiseAgain(SetEventDays(record, &entry));
            }
            RaiseAgain(SetDetailedDescriptionField(&entry, *record));
            PutItem(&entry, "OrgConfidential", TextValue(record->isPrivate ? "1" : "0"), kSummary, kKeepOption);
            if (record->categories.Count() > 0)
                RaiseAgain(SetCategories(&entry, record->categories));
            AddQuillmateItem(&entry);
            LNRichText description;
            entry.GetDetailedDescription(&description);
            AddContacts(&description, *record);
            AddFileAttachments(&description, *record);
            PutItem(&entry, "$CSVersion", TextValue("2"), kSummary, kKeepOption);
            RaiseAgain(SetEntryDateItems(record, &entry));
            PutItem(&entry, "$BusyPriority", TextValue("1"), kSummary, kKeepOption);
            PutItem(&entry, "ApptUNID", TextValue(UniversalIdText(entry)), kSummary, kKeepOption);
            PutItem(&entry, "BookFreeTime", TextValue(""), kSummary, kKeepOption);
            PutItem(&entry, "OrgTable", TextValue("C0"), kSummary, kKeepOption);
            if (!entry.HasItem("$Sequence")) {
                LNNumbers one;
                one.SetValue(1);
                entry.CreateItem("$Sequence", one, kSummary, kKeepOption);
            }
            return entry.Save(0, TRUE);
        } catch (...) {
            RemoveFromMailDatabase(entry);
            throw;
        }
    });
}
