// The Notes class library stand-in (lcppn20.dll). Its exported entry points
// answer a status and never throw; the inline members around them throw the
// status in the caller's own module while LNSetThrowAllErrors(TRUE) holds,
// so that no exception crosses the library's boundary.
#pragma once
#include <windows.h>

#include <new>
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

// A failing status, thrown while errors are thrown, else answered. A call a
// test told to throw fails as memory that ran out, in either mode.
inline LNSTATUS LNRaise(LNSTATUS status)
{
    if (status == NOTES_ERR_TOLD_TO_THROW)
        throw std::bad_alloc();
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
    // Makes the text the list's only element.
    LNAPI void SetValue(const char* text);

private:
    char** m_items;
    DWORD m_count;
};

class LNForm;
class LNNote;
class LNDocument;
class LNViewFolder;
class LNDatetime;

// Navigation has passed the last entry of a view: a warning, answered and
// never thrown.
#define LNWARN_END_OF_VIEW (static_cast<LNSTATUS>(0xD00000F9UL))
// Navigation codes of LNViewFolder::Goto.
#define LNVFNAVIGATE_FIRST 1
#define LNVFNAVIGATE_NEXT 6
// Note class masks.
#define LNNOTECLASS_DOCUMENT 0x0001
#define LNNOTECLASS_FORM 0x0004
#define LNNOTECLASS_VIEW 0x0008
#define LNNOTECLASS_ALL 0x7FFF
// Set in an id of LNNoteArray for a note that was deleted.
#define LNNOTEID_DELETED 0x80000000UL
// Item types as LNNote::GetItemType answers them.
#define LNITEMTYPE_NUMBERS 0x0300
#define LNITEMTYPE_TEXT 0x0501

// The ids of notes a database call found, in the database's order.
class LNNoteArray {
public:
    LNAPI LNNoteArray();
    LNAPI ~LNNoteArray();
    LNNoteArray(const LNNoteArray&) = delete;
    LNNoteArray& operator=(const LNNoteArray&) = delete;

    LNAPI DWORD GetCount() const;
    // The id at `index` (0 past the end); LNNOTEID_DELETED is set in the
    // id of a deletion stub.
    LNAPI LNNOTEID operator[](DWORD index) const;

private:
    friend class LNDatabase;
    LNAPI void Assign(const LNNOTEID* ids, DWORD count);

    LNNOTEID* m_ids;
    DWORD m_count;
};

// How a new database is made from its template; the defaults copy the
// template's design.
class LNCreateDatabaseOptions {
public:
    LNCreateDatabaseOptions() : m_reserved(0) {}

private:
    DWORD m_reserved;
};

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

    // A new document, not yet saved; with a form name it is computed with
    // that form of the database (its "$Default.<item>" values).
    LNSTATUS CreateDocument(LNDocument* document, const char* form = nullptr)
    {
        return LNRaise(DoCreateDocument(document, form));
    }
    // A note or document of the open database by its id.
    LNSTATUS GetNote(LNNOTEID id, LNNote* note) const { return LNRaise(DoGetNote(id, note)); }
    LNSTATUS GetDocument(LNNOTEID id, LNDocument* document) const;
    // The view or folder of that title.
    LNSTATUS GetViewFolder(const char* name, LNViewFolder* folder) const
    {
        return LNRaise(DoGetViewFolder(name, folder));
    }

    // Names the database a session found; it is opened by Open.
    LNAPI void Bind(const char* server, const char* path);

    // Every view and folder of the open database (design notes of class 8).
    LNSTATUS GetViewFolders(LNNoteArray* views) const { return LNRaise(DoGetViewFolders(views)); }
    // Whether the open database has a view or folder of that title (any
    // case); FALSE while it is closed.
    LNAPI BOOL ViewFolderExists(const char* name) const;
    // A new folder of that title with the design of `design` (an open view
    // or folder of the database), not yet saved: Save writes it. Refused
    // when the title is empty or taken.
    LNSTATUS CreateFolder(const char* name, int sharing, const LNViewFolder& design, LNViewFolder* folder)
    {
        return LNRaise(DoCreateFolder(name, sharing, design, folder));
    }
    // The notes of the classes in `classMask` saved or deleted at or after
    // `since` (a wildcard: every note), deletion stubs with
    // LNNOTEID_DELETED set; `until` (may be null) gets the time of the read.
    LNSTATUS GetModifiedNotes(const LNDatetime& since, WORD classMask, LNNoteArray* notes, LNDatetime* until = nullptr)
    {
        return LNRaise(DoGetModifiedNotes(since, classMask, notes, until));
    }
    // Deletes the note, leaving its deletion stub.
    LNSTATUS DeleteNote(LNNOTEID id) { return LNRaise(DoDeleteNote(id)); }

private:
    LNAPI LNSTATUS DoOpen();
    LNAPI LNSTATUS DoClose();
    LNAPI LNSTATUS DoGetForm(const char* name, LNForm* form) const;
    LNAPI LNSTATUS DoCreateDocument(LNDocument* document, const char* form);
    LNAPI LNSTATUS DoGetNote(LNNOTEID id, LNNote* note) const;
    LNAPI LNSTATUS DoGetViewFolder(const char* name, LNViewFolder* folder) const;
    LNAPI LNSTATUS DoGetViewFolders(LNNoteArray* views) const;
    LNAPI LNSTATUS DoCreateFolder(const char* name, int sharing, const LNViewFolder& design, LNViewFolder* folder);
    LNAPI LNSTATUS DoGetModifiedNotes(const LNDatetime& since, WORD classMask, LNNoteArray* notes,
                                      LNDatetime* until) const;
    LNAPI LNSTATUS DoDeleteNote(LNNOTEID id);

    char m_server[256];
    char m_path[MAX_PATH];
    LNDBHANDLE m_handle;
};

class LNNumbers;
class LNDatetimes;
class LNRichText;

// Item flags of the class library. Only the summary flag counts here: a
// summary text item larger than NOTES_SUMMARY_TEXT_LIMIT fails the save.
#define LNITEMFLAGS_SUMMARY 0x04

// The universal id of a note: file id and note id, two words each, the
// high word first.
struct LNUNID {
    DWORD file[2];
    DWORD note[2];
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
    LNAPI BOOL HasItem(const char* name) const;
    LNAPI void GetUniversalID(LNUNID* unid) const;
    LNAPI BOOL IsOpen() const;
    // The item's type (LNITEMTYPE_TEXT, LNITEMTYPE_NUMBERS); 0 when the
    // note has no such item.
    LNAPI WORD GetItemType(const char* name) const;
    // When the note was first saved; a wildcard for a note of unknown age.
    LNSTATUS GetCreated(LNDatetime* created) const { return LNRaise(DoGetTime(created, false)); }
    // When the note was last saved; a wildcard when unknown.
    LNSTATUS GetLastModified(LNDatetime* modified) const { return LNRaise(DoGetTime(modified, true)); }

    // A new item with the value (an existing one of that name is replaced);
    // the flags and option say how Notes keeps it.
    LNSTATUS CreateItem(const char* name, const LNText& value, DWORD flags, DWORD /*option*/)
    {
        return LNRaise(DoPutText(name, value, false, flags));
    }
    LNSTATUS CreateItem(const char* name, const LNNumbers& value, DWORD /*flags*/, DWORD /*option*/)
    {
        return LNRaise(DoPutNumbers(name, value));
    }
    LNSTATUS CreateItem(const char* name, const LNDatetimes& value, DWORD /*flags*/, DWORD /*option*/)
    {
        return LNRaise(DoPutDatetimes(name, value));
    }
    // A new empty rich text item, bound to `value`.
    LNSTATUS CreateItem(const char* name, LNRichText* value, DWORD /*flags*/, DWORD /*option*/)
    {
        return LNRaise(DoCreateRichText(name, value));
    }
    // The value of an existing item replaced.
    LNSTATUS SetItemValue(const char* name, const LNText& value) { return LNRaise(DoPutText(name, value, true, 0)); }
    LNSTATUS SetItemValue(const char* name, const LNNumbers& value) { return LNRaise(DoPutNumbers(name, value)); }
    LNSTATUS SetItemValue(const char* name, const LNDatetimes& value) { return LNRaise(DoPutDatetimes(name, value)); }
    // An existing rich text item, bound to `value`.
    LNSTATUS GetRichText(const char* name, LNRichText* value) { return LNRaise(DoGetRichText(name, value)); }

    // Writes the note into its database; a new note gets its id here.
    LNSTATUS Save(int /*flags*/ = 0) { return LNRaise(DoSave()); }
    LNSTATUS Close() { return LNRaise(DoClose()); }

    // Names the note in its database file; it is read by Open.
    LNAPI void Bind(const char* file, LNNOTEID id);
    LNAPI const char* GetFilePath() const;

protected:
    LNAPI LNSTATUS DoOpen();
    LNAPI LNSTATUS DoGetItem(const char* name, LNText* values) const;
    LNAPI LNSTATUS DoGetTime(LNDatetime* time, bool modified) const;
    // The note's items in memory, read from the file on first use.
    void* Data() const;

private:
    friend class LNRichText;
    friend class LNDatabase;
    friend class LNCalendar;
    // An existing item keeps its flags when it must exist; else it takes `flags`.
    LNAPI LNSTATUS DoPutText(const char* name, const LNText& value, bool mustExist, DWORD flags);
    LNAPI LNSTATUS DoPutNumbers(const char* name, const LNNumbers& value);
    LNAPI LNSTATUS DoPutDatetimes(const char* name, const LNDatetimes& value);
    LNAPI LNSTATUS DoCreateRichText(const char* name, LNRichText* value);
    LNAPI LNSTATUS DoGetRichText(const char* name, LNRichText* value);
    LNAPI LNSTATUS DoSave();
    LNAPI LNSTATUS DoClose();

    char m_file[MAX_PATH];
    LNNOTEID m_id;
    BOOL m_open;
    mutable void* m_data;
};

class LNDocument : public LNNote {
public:
    LNSTATUS Open(int = 0) { return LNRaise(DoOpen()); }
    // Sets the "Form" item.
    LNSTATUS SetFormNote(const char* form) { return LNRaise(DoSetForm(form)); }
    // Mails the document: a copy of it goes into the data directory's
    // "mail.box", where the router would take it.
    LNSTATUS Send(int /*flags*/ = 0) { return LNRaise(DoSend()); }
    // Computes the document with the form its "Form" names: each item
    // "$Default.<name>" of the form gives the document <name> when it has
    // none. Refused when the database has no such form.
    LNSTATUS ComputeWithForm(BOOL raiseErrors) { return LNRaise(DoComputeWithForm(raiseErrors)); }

private:
    LNAPI LNSTATUS DoSetForm(const char* form);
    LNAPI LNSTATUS DoSend();
    LNAPI LNSTATUS DoComputeWithForm(BOOL raiseErrors);
};

inline LNSTATUS LNDatabase::GetDocument(LNNOTEID id, LNDocument* document) const
{
    return GetNote(id, document);
}

// Recipient kinds of a mail message.
enum LNRECIPIENTTYPE { LNRECIPIENTTYPE_TO = 0, LNRECIPIENTTYPE_CC = 1, LNRECIPIENTTYPE_BCC = 2 };

// A document read as a mail message.
class LNMailMessage : public LNDocument {
public:
    // The "Body" rich text; fails when the message has none.
    LNSTATUS GetBody(LNRichText* body) { return GetRichText("Body", body); }
    LNSTATUS SetSubject(const char* subject)
    {
        LNText value;
        value.SetValue(subject);
        return CreateItem("Subject", value, LNITEMFLAGS_SUMMARY, 0);
    }
    // The names, separated by commas, as "SendTo", "CopyTo" or "BlindCopyTo".
    LNSTATUS SetRecipients(LNRECIPIENTTYPE type, const char* names) { return LNRaise(DoSetRecipients(type, names)); }

private:
    LNAPI LNSTATUS DoSetRecipients(LNRECIPIENTTYPE type, const char* names);
};

// One entry of a view met by navigation.
class LNVFEntry {
public:
    LNAPI LNVFEntry();
    // FALSE for a response document (one with a "$REF" item).
    LNAPI BOOL IsMainTopic() const;
    // The entry's document, not yet open.
    LNSTATUS GetDocument(LNDocument* document) const { return LNRaise(DoGetDocument(document)); }

private:
    friend class LNViewFolder;
    LNAPI LNSTATUS DoGetDocument(LNDocument* document) const;

    char m_file[MAX_PATH];
    LNNOTEID m_id;
    BOOL m_mainTopic;
};

// A view or folder: a design note of class 8. A folder has "F" in its
// "$Flags" and holds the documents its "$FolderEntries" lists; a view holds
// the documents whose form its "$SelectForms" lists (every document when it
// has none).
class LNViewFolder : public LNNote {
public:
    LNAPI LNViewFolder();
    LNAPI ~LNViewFolder();

    LNSTATUS Open(int = 0) { return LNRaise(DoOpenFolder()); }
    LNAPI void GetName(LNString* name) const;
    LNSTATUS FolderAddDocument(const LNDocument& document) { return LNRaise(DoAddDocument(document)); }
    LNAPI BOOL IsFolder() const;
    LNSTATUS SetBackgroundColor(WORD color) { return LNRaise(DoSetBackgroundColor(color)); }
    // Moves to the first entry (LNVFNAVIGATE_FIRST, which takes the view's
    // entries as they are now) or the next (LNVFNAVIGATE_NEXT) of the open
    // view; LNWARN_END_OF_VIEW past the last.
    LNSTATUS Goto(WORD navigation, LNVFEntry* entry)
    {
        LNSTATUS status = DoGoto(navigation, entry);
        return status == LNWARN_END_OF_VIEW ? status : LNRaise(status);
    }

private:
    LNAPI LNSTATUS DoOpenFolder();
    LNAPI LNSTATUS DoAddDocument(const LNDocument& document);
    LNAPI LNSTATUS DoSetBackgroundColor(WORD color);
    LNAPI LNSTATUS DoGoto(WORD navigation, LNVFEntry* entry);

    BOOL m_viewOpen;
    void* m_entries;
    DWORD m_position;
};

// A place in a rich text: its paragraph.
class LNRTCursor {
public:
    LNRTCursor() : m_paragraph(0) {}

private:
    friend class LNRichText;
    DWORD m_paragraph;
};

// A rich text item of a note, kept as one text per paragraph; links and
// attachments are paragraphs' text in brackets.
class LNRichText {
public:
    LNAPI LNRichText();

    // The whole text as one paragraph (with `lines`, one per line).
    LNSTATUS SetValue(const char* text, BOOL lines) { return LNRaise(DoSetValue(text, lines)); }
    LNAPI void GetEndCursor(LNRTCursor* cursor) const;
    LNSTATUS StartNewParagraph(LNRTCursor* cursor) { return LNRaise(DoStartParagraph(cursor)); }
    LNSTATUS Insert(const char* text, LNRTCursor* cursor) { return LNRaise(DoInsert(text, cursor)); }
    LNSTATUS CreateDocumentLink(const LNViewFolder& view, const LNDocument& document, LNRTCursor* cursor)
    {
        return LNRaise(DoCreateLink(view, document, cursor));
    }
    // Attaches the file (it must exist) under `name`, or its own file name.
    LNSTATUS CreateAttachment(const char* path, LNRTCursor* cursor, const char* name, BOOL compress)
    {
        return LNRaise(DoCreateAttachment(path, cursor, name, compress));
    }

private:
    friend class LNNote;
    LNAPI LNSTATUS DoSetValue(const char* text, BOOL lines);
    LNAPI LNSTATUS DoStartParagraph(LNRTCursor* cursor);
    LNAPI LNSTATUS DoInsert(const char* text, LNRTCursor* cursor);
    LNAPI LNSTATUS DoCreateLink(const LNViewFolder& view, const LNDocument& document, LNRTCursor* cursor);
    LNAPI LNSTATUS DoCreateAttachment(const char* path, LNRTCursor* cursor, const char* name, BOOL compress);

    LNNote* m_note;
    char m_item[64];
};

// Numbers: the values of a number item.
class LNNumbers {
public:
    LNAPI LNNumbers();
    LNAPI void SetValue(double value);
    LNAPI DWORD GetCount() const;
    LNAPI double operator[](DWORD index) const;

private:
    double m_values[32];
    DWORD m_count;
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
    // A date without a time of day.
    LNAPI void SetDate(int month, int day, int year);
    // The stamp of the value: a wildcard is {0, 0}, a date without a time
    // has the time word NOTES_NO_TIME.
    LNAPI NOTESTIMEDATE GetStamp() const;
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
    BOOL m_dateOnly;
};

// A list of time stamps.
class LNDatetimes {
public:
    LNAPI LNDatetimes();
    // Makes the stamp the list's only value.
    LNAPI void SetValue(const NOTESTIMEDATE& stamp);
    LNAPI void Insert(const NOTESTIMEDATE& stamp);
    LNAPI void DeleteAll();
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
// A calendar entry as a document of the mail file; its detailed
// description is the rich text "Body".
class LNCalendarNote : public LNDocument {
public:
    LNSTATUS Save(int flags, BOOL) { return LNNote::Save(flags); }
    LNSTATUS GetDetailedDescription(LNRichText* description) { return GetRichText("Body", description); }
    // The description lives in the entry already; this checks it is there.
    LNSTATUS SetDetailedDescription(const LNRichText&) { return GetRichText("Body", nullptr); }
};

// Calendar entry kinds as the class library numbers them.
enum LNCALENTRYTYPE {
    LNCALENTRYTYPE_APPOINTMENT = 1,
    LNCALENTRYTYPE_ANNIVERSARY = 2,
    LNCALENTRYTYPE_EVENT = 4,
    LNCALENTRYTYPE_MEETING = 8,
    LNCALENTRYTYPE_REMINDER = 16,
};

class LNCalendar {
public:
    LNAPI LNCalendar();
    LNAPI void Bind(const char* server, const char* path, const char* user);

    // A new entry of form "Appointment" in the mail file, saved: its range,
    // subject, kind (as "AppointmentType" 0 to 4) and an empty "Body".
    LNSTATUS CreateEntry(const LNDatetimeRange& range, const char* subject, LNCALENTRYTYPE kind,
                         LNCalendarNote* entry) const
    {
        return LNRaise(DoCreateEntry(range, subject, kind, entry));
    }

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
    LNAPI LNSTATUS DoCreateEntry(const LNDatetimeRange& range, const char* subject, LNCALENTRYTYPE kind,
                                 LNCalendarNote* entry) const;
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
    // The servers this machine knows: notes.ini's "MailServer", then the
    // "Destination" of each "Connection" document of names.nsf, each once.
    LNSTATUS GetServerNames(LNText* names) const { return LNRaise(DoGetServerNames(names)); }
    // A new database `path` on `server` with the design notes of the
    // template `templatePath` on `templateServer`; refused when the new
    // file exists or the template cannot be opened.
    LNSTATUS CreateDatabaseFromTemplate(const char* templatePath, const char* templateServer, const char* path,
                                        const char* server, const LNCreateDatabaseOptions& options)
    {
        return LNRaise(DoCreateDatabaseFromTemplate(templatePath, templateServer, path, server, options));
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
    LNAPI LNSTATUS DoGetServerNames(LNText* names) const;
    LNAPI LNSTATUS DoCreateDatabaseFromTemplate(const char* templatePath, const char* templateServer,
                                                const char* path, const char* server,
                                                const LNCreateDatabaseOptions& options) const;

    BOOL m_initializedHere;
};
