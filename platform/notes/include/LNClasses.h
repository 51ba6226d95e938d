// The Notes class library stand-in (lcppn20.dll). Its exported entry points
// answer a status and never throw; the inline members around them throw the
// status in the caller's own module while LNSetThrowAllErrors(TRUE) holds,
// so that no exception crosses the library's boundary.
#pragma once
#include <windows.h>

#include <vector>

#include "NotesStandIn.h"

#ifdef LN_CLASSES_BUILD
#define LNAPI __declspec(dllexport)
#else
#define LNAPI __declspec(dllimport)
#endif

typedef long LNSTATUS;
typedef NOTESDBHANDLE LNDBHANDLE;
typedef DWORD LNNOTEID;

LNAPI void LNSetThrowAllErrors(BOOL throwAll);
LNAPI BOOL LNGetThrowAllErrors();
LNAPI BOOL LNIsNotesInitialized();
LNAPI const char* LNGetErrorMessageText(LNSTATUS status);

// A failing status, thrown while errors are thrown, else answered.
inline LNSTATUS LNRaise(LNSTATUS status)
{
    if (status && LNGetThrowAllErrors())
        throw status;
    return status;
}

class LNString {
public:
    LNAPI LNString();
    LNAPI LNString(const char* text);
    LNAPI LNString(const LNString& other);
    LNAPI LNString& operator=(const LNString& other);
    LNAPI ~LNString();

    LNAPI const char* GetPlatformTextPtr() const;
    LNAPI DWORD GetByteLength() const;

private:
    char* m_text;
};

// A text list: the values of a text item.
class LNText {
public:
    LNAPI LNText();
    LNAPI LNText(const LNText& other);
    LNAPI LNText& operator=(const LNText& other);
    LNAPI ~LNText();

    LNAPI DWORD GetCount() const;
    // The element at `index`; empty past the end.
    LNAPI LNString operator[](DWORD index) const;
    // All elements joined with ";".
    LNAPI void GetText(LNString* joined) const;
    LNAPI void Append(const char* text);
    LNAPI void DeleteAll();

private:
    char** m_items;
    DWORD m_count;
};

class LNForm;

class LNDatabase {
public:
    LNAPI LNDatabase();
    LNAPI ~LNDatabase();
    LNDatabase(const LNDatabase&) = delete;
    LNDatabase& operator=(const LNDatabase&) = delete;

    LNSTATUS Open() { return LNRaise(DoOpen()); }
    LNSTATUS Close() { return LNRaise(DoClose()); }
    LNAPI BOOL IsOpen() const;
    // The function library's handle of the open database (0 while closed).
    LNAPI LNDBHANDLE GetDatabaseHandle() const;
    LNAPI const char* GetFilePath() const;
    LNAPI const char* GetServerName() const;

    // Whether the open database has a form of that name.
    LNAPI BOOL FormExists(const char* name) const;
    LNSTATUS GetForm(const char* name, LNForm* form) const { return LNRaise(DoGetForm(name, form)); }

    // Names the database a session found; it is opened by Open.
    LNAPI void Bind(const char* server, const char* path);

private:
    LNAPI LNSTATUS DoOpen();
    LNAPI LNSTATUS DoClose();
    LNAPI LNSTATUS DoGetForm(const char* name, LNForm* form) const;

    char m_server[256];
    char m_path[MAX_PATH];
    LNDBHANDLE m_handle;
};

class LNNote {
public:
    LNAPI LNNote();
    LNAPI virtual ~LNNote();
    LNNote(const LNNote&) = delete;
    LNNote& operator=(const LNNote&) = delete;

    // The values of a text item of the open note.
    LNSTATUS GetItem(const char* name, LNText* values) const { return LNRaise(DoGetItem(name, values)); }
    LNAPI LNNOTEID GetNoteID() const;

    // Names the note in its database file; it is read by Open.
    LNAPI void Bind(const char* file, LNNOTEID id);

protected:
    LNAPI LNSTATUS DoOpen();
    LNAPI LNSTATUS DoGetItem(const char* name, LNText* values) const;

private:

    char m_file[MAX_PATH];
    LNNOTEID m_id;
    BOOL m_open;
};

class LNDocument : public LNNote {
public:
    LNSTATUS Open() { return LNRaise(DoOpen()); }
};

// A formula of the stand-in's formula language: text constants in double
// quotes joined by ":", which evaluate to the text list of the constants.
class LNFormula {
public:
    LNAPI LNFormula();
    LNAPI explicit LNFormula(const char* text);

    LNSTATUS Evaluate(LNText* result) const { return LNRaise(DoEvaluate(result)); }
    LNAPI const char* GetText() const;

private:
    LNAPI LNSTATUS DoEvaluate(LNText* result) const;

    LNString m_text;
};

// A keywords field of a form: its choices, given as a list or by a formula.
class LNKeywordsField {
public:
    LNAPI LNKeywordsField();

    // 1 when the choices are computed by a formula.
    LNAPI int GetChoicesOption() const;
    LNSTATUS GetChoicesFormula(LNFormula* formula) const { return LNRaise(DoGetChoicesFormula(formula)); }

    LNAPI void Bind(int choicesOption, const char* formula);

private:
    LNAPI LNSTATUS DoGetChoicesFormula(LNFormula* formula) const;

    int m_choicesOption;
    LNString m_formula;
};

// A form: a design note of class 4 whose "$Fields" lists its fields; a
// keywords field's choices are in "$ChoicesOption.<field>" and
// "$ChoicesFormula.<field>".
class LNForm : public LNNote {
public:
    LNSTATUS Open(int) { return LNRaise(DoOpen()); }
    LNAPI BOOL HasFormField(const char* name) const;
    LNSTATUS GetFormField(const char* name, LNKeywordsField* field) const
    {
        return LNRaise(DoGetFormField(name, field));
    }

private:
    LNAPI LNSTATUS DoGetFormField(const char* name, LNKeywordsField* field) const;
};

// A date and time in local time, or a wildcard.
class LNDatetime {
public:
    LNAPI LNDatetime();
    LNAPI explicit LNDatetime(const NOTESTIMEDATE& stamp);

    LNAPI int GetYear() const;
    LNAPI int GetMonth() const;
    LNAPI int GetDay() const;
    LNAPI int GetHour() const;
    LNAPI int GetMinute() const;
    LNAPI int GetSecond() const;
    LNAPI BOOL IsWildcard() const;
    LNAPI void SetDateToWildCard();
    LNSTATUS SetTime(int hour, int minute, int second, int hundredth)
    {
        return LNRaise(DoSetTime(hour, minute, second, hundredth));
    }
    // Moves the time by the amounts, each of which may be negative.
    LNSTATUS AdjustTime(int hours, int minutes, int seconds, int hundredths)
    {
        return LNRaise(DoAdjustTime(hours, minutes, seconds, hundredths));
    }

private:
    LNAPI LNSTATUS DoAdjustTime(int hours, int minutes, int seconds, int hundredths);
    LNAPI LNSTATUS DoSetTime(int hour, int minute, int second, int hundredth);

    int m_fields[6];  // year, month, day, hour, minute, second
    BOOL m_wildcard;
};

// A list of time stamps.
class LNDatetimes {
public:
    LNAPI LNDatetimes();
    // Makes the stamp the list's only value.
    LNAPI void SetValue(const NOTESTIMEDATE& stamp);
    LNAPI DWORD GetCount() const;
    LNAPI NOTESTIMEDATE operator[](DWORD index) const;

private:
    NOTESTIMEDATE m_values[32];
    DWORD m_count;
};

class LNDatetimeRange {
public:
    LNDatetime begin;
    LNDatetime end;
};

class LNCalendarEntry {
public:
    LNAPI LNCalendarEntry();

    LNAPI void GetDatetimeRange(LNDatetimeRange* range) const;
    LNAPI BOOL GetIsAlarmEnabled() const;
    LNAPI BOOL IsAlarmRelative() const;
    LNAPI void GetAlarmDatetime(LNDatetime* alarm) const;
    LNAPI long GetAlarmOffsetMinutes() const;
    // The calendar entry type: 0 appointment, 1 anniversary, 2 all-day
    // event, 3 meeting, 4 reminder.
    LNAPI int GetEntryType() const;
    LNAPI void GetBriefDescription(LNString* description) const;

private:
    friend class LNCalendar;

    LNDatetimeRange m_range;
    BOOL m_alarm;
    BOOL m_relative;
    LNDatetime m_alarmTime;
    long m_offset;
    int m_type;
    char m_description[256];
};

class LNCalendarEntryArray {
public:
    LNAPI LNCalendarEntryArray();
    LNAPI ~LNCalendarEntryArray();
    LNCalendarEntryArray(const LNCalendarEntryArray&) = delete;
    LNCalendarEntryArray& operator=(const LNCalendarEntryArray&) = delete;

    LNAPI DWORD GetCount() const;
    LNAPI const LNCalendarEntry& operator[](DWORD index) const;

private:
    friend class LNCalendar;

    LNCalendarEntry* m_entries;
    DWORD m_count;
};

// The calendar of a mail file: its documents of form "Appointment", whose
// items "StartDateTime" and "EndDateTime" ("2026-12-08 09:00:00"),
// "AppointmentType" (number), "Alarm" ("1": on), "AlarmOffset" (minutes,
// a relative alarm) or "AlarmTime" (an absolute one) and "Subject" make
// the entry.
class LNCalendar {
public:
    LNAPI LNCalendar();
    LNAPI void Bind(const char* server, const char* path, const char* user);

    // The entries that start on one of the dates, in the calendar's order.
    LNSTATUS GetEntries(const LNDatetimes& dates, LNCalendarEntryArray* entries, int flags, const LNString& text) const
    {
        return LNRaise(DoGetEntries(dates, entries, flags, text));
    }
    // TRUE when no entry of the calendar overlaps the range (an entry that
    // ends where the range begins does not).
    BOOL IsAvailable(const LNDatetimeRange& range, int flags) const
    {
        BOOL available = FALSE;
        LNRaise(DoIsAvailable(range, flags, &available));
        return available;
    }

private:
    LNAPI LNSTATUS DoIsAvailable(const LNDatetimeRange& range, int flags, BOOL* available) const;
    // The calendar's entries, read from its mail file.
    LNSTATUS ReadEntries(std::vector<LNCalendarEntry>* entries) const;
    LNAPI LNSTATUS DoGetEntries(const LNDatetimes& dates, LNCalendarEntryArray* entries, int flags,
                                const LNString& text) const;

    char m_server[256];
    char m_path[MAX_PATH];
    char m_user[256];
};

class LNNotesSession {
public:
    LNAPI LNNotesSession();
    LNAPI ~LNNotesSession();
    LNNotesSession(const LNNotesSession&) = delete;
    LNNotesSession& operator=(const LNNotesSession&) = delete;

    // Initialises the runtime of the process from `iniPath` (null: the
    // notes.ini on the search path); the calling thread is registered.
    LNSTATUS Initialize(int build, int argc, char** argv, const char* iniPath)
    {
        return LNRaise(DoInitialize(build, argc, argv, iniPath));
    }
    LNSTATUS Term(int flags) { return LNRaise(DoTerm(flags)); }
    // Registers, or ends the registration of, the calling thread.
    LNSTATUS InitThread() { return LNRaise(DoInitThread()); }
    LNSTATUS TermThread() { return LNRaise(DoTermThread()); }

    LNSTATUS GetUserNameText(LNString* name) const { return LNRaise(DoGetUserNameText(name)); }
    LNSTATUS GetDataDirectory(LNString* folder) const { return LNRaise(DoGetDataDirectory(folder)); }
    LNSTATUS GetNotesVersion(WORD* build, const LNString& server) const
    {
        return LNRaise(DoGetNotesVersion(build, server));
    }
    // The location document that notes.ini's "Location" names, in names.nsf.
    LNSTATUS GetLocationDocument(LNDocument* location) const { return LNRaise(DoGetLocationDocument(location)); }
    LNSTATUS GetDatabase(const char* path, LNDatabase* database, const char* server = "") const
    {
        return LNRaise(DoGetDatabase(path, database, server));
    }
    // The mail file that notes.ini's "MailFile" and "MailServer" name.
    LNSTATUS GetMailDatabase(LNDatabase* database) const { return LNRaise(DoGetMailDatabase(database)); }
    // The calendar of the mail file `path` on `server` for `user`.
    LNSTATUS GetCalendar(LNCalendar* calendar, const char* server, const char* path, const char* user) const
    {
        return LNRaise(DoGetCalendar(calendar, server, path, user));
    }

private:
    LNAPI LNSTATUS DoInitialize(int build, int argc, char** argv, const char* iniPath);
    LNAPI LNSTATUS DoTerm(int flags);
    LNAPI LNSTATUS DoInitThread();
    LNAPI LNSTATUS DoTermThread();
    LNAPI LNSTATUS DoGetUserNameText(LNString* name) const;
    LNAPI LNSTATUS DoGetDataDirectory(LNString* folder) const;
    LNAPI LNSTATUS DoGetNotesVersion(WORD* build, const LNString& server) const;
    LNAPI LNSTATUS DoGetLocationDocument(LNDocument* location) const;
    LNAPI LNSTATUS DoGetDatabase(const char* path, LNDatabase* database, const char* server) const;
    LNAPI LNSTATUS DoGetMailDatabase(LNDatabase* database) const;
    LNAPI LNSTATUS DoGetCalendar(LNCalendar* calendar, const char* server, const char* path, const char* user) const;

    BOOL m_initializedHere;
};
