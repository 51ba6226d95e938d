// Heron's class layer over the Notes C API: the session, databases, notes
// and their items, rich text, views and folders, forms, times and the
// calendar. It calls the Notes function library only by the names the
// reference documents (notesapi.h), resolved from the library as it is found
// on the user's machine, and reports a failure as the library's status (or
// one of its own, LNERR_*), thrown while LNSetThrowAllErrors(TRUE) holds.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "notesapi.h"

typedef long LNSTATUS;
typedef DBHANDLE LNDBHANDLE;
typedef NOTEID LNNOTEID;

// The layer's own statuses, apart from the library's 16-bit ones.
#define LNERR_NO_LIBRARY 0x10001L          // the function library cannot be loaded
#define LNERR_NO_FUNCTION 0x10002L         // the library lacks a function the call needs
#define LNERR_NOT_OPEN 0x10003L            // the database or note is not open
#define LNERR_BAD_TIME 0x10004L            // a date-time that is no time
#define LNERR_NO_LOCATION 0x10005L         // notes.ini names no location document that exists
#define LNERR_NO_MAIL_FILE 0x10006L        // notes.ini names no mail file
#define LNERR_NOT_KEYWORDS 0x10007L        // the form has no such field
#define LNERR_ITEM_NOT_FOUND 0x10008L      // the note has no such item

void LNSetThrowAllErrors(BOOL throwAll);
BOOL LNGetThrowAllErrors();
// Whether this process's session has initialised the runtime.
BOOL LNIsNotesInitialized();
const char* LNGetErrorMessageText(LNSTATUS status);

// A failing status, thrown while errors are thrown, else answered.
LNSTATUS LNRaise(LNSTATUS status);

// The layer's choice between throwing and returning its errors,
// set for the life of the object and restored after.
class LibraryErrorMode {
public:
    explicit LibraryErrorMode(BOOL throwAll) : m_previous(LNGetThrowAllErrors()) { LNSetThrowAllErrors(throwAll); }
    ~LibraryErrorMode() { LNSetThrowAllErrors(m_previous); }
    LibraryErrorMode(const LibraryErrorMode&) = delete;
    LibraryErrorMode& operator=(const LibraryErrorMode&) = delete;

private:
    BOOL m_previous;
};

// Library errors are returned, not thrown, while one lives.
class ReturnedErrors : public LibraryErrorMode {
public:
    ReturnedErrors() : LibraryErrorMode(FALSE) {}
};

// The function library of this process: loaded from the Notes program
// folder that notes.ini or the Notes key names, else by the search path;
// null when it cannot be found. Its functions are resolved by name, each
// null when the library lacks it.
HMODULE LNNotesLibrary();
typedef NOTES_FUNCTIONS LNNotesFunctions;
const LNNotesFunctions& LNNotes();

class LNString {
public:
    LNString() = default;
    LNString(const char* text) : m_text(text ? text : "") {}
    const char* GetPlatformTextPtr() const { return m_text.c_str(); }
    DWORD GetByteLength() const { return static_cast<DWORD>(m_text.size()); }

private:
    std::string m_text;
};

// A text list: the values of a text item.
class LNText {
public:
    DWORD GetCount() const { return static_cast<DWORD>(m_values.size()); }
    // The element at `index`; empty past the end.
    LNString operator[](DWORD index) const { return index < m_values.size() ? m_values[index].c_str() : ""; }
    // All elements joined with ";".
    void GetText(LNString* joined) const;
    void Append(const char* text) { m_values.push_back(text ? text : ""); }
    void DeleteAll() { m_values.clear(); }
    // Makes the text the list's only element.
    void SetValue(const char* text) { m_values.assign(1, text ? text : ""); }

private:
    std::vector<std::string> m_values;
};

class LNNumbers {
public:
    void SetValue(double value) { m_values.assign(1, value); }
    DWORD GetCount() const { return static_cast<DWORD>(m_values.size()); }
    double operator[](DWORD index) const { return index < m_values.size() ? m_values[index] : 0.0; }

private:
    std::vector<NUMBER> m_values;
};

// A date and time, a date alone, or the wildcard.
class LNDatetime {
public:
    LNDatetime();
    explicit LNDatetime(const TIMEDATE& stamp) : m_stamp(stamp) {}

    // The local fields; 0 for a wildcard.
    int GetYear() const { return Local().year; }
    int GetMonth() const { return Local().month; }
    int GetDay() const { return Local().day; }
    int GetHour() const { return Local().hour; }
    int GetMinute() const { return Local().minute; }
    int GetSecond() const { return Local().second; }
    BOOL IsWildcard() const;
    void SetDateToWildCard();
    // A date without a time of day.
    void SetDate(int month, int day, int year);
    TIMEDATE GetStamp() const { return m_stamp; }
    LNSTATUS SetTime(int hour, int minute, int second, int hundredth);
    // Moves the time by the amounts, each of which may be negative.
    LNSTATUS AdjustTime(int hours, int minutes, int seconds, int hundredths);

private:
    TIME Local() const;
    LNSTATUS FromLocal(TIME local);

    TIMEDATE m_stamp;
};

// A list of time stamps.
class LNDatetimes {
public:
    // Makes the stamp the list's only value.
    void SetValue(const TIMEDATE& stamp) { m_values.assign(1, stamp); }
    void Insert(const TIMEDATE& stamp) { m_values.push_back(stamp); }
    void DeleteAll() { m_values.clear(); }
    DWORD GetCount() const { return static_cast<DWORD>(m_values.size()); }
    TIMEDATE operator[](DWORD index) const;

private:
    std::vector<TIMEDATE> m_values;
};

class LNDatetimeRange {
public:
    LNDatetime begin;
    LNDatetime end;
};

// The ids of notes a database call found, in the database's order.
class LNNoteArray {
public:
    DWORD GetCount() const { return static_cast<DWORD>(m_ids.size()); }
    // The id at `index` (0 past the end); RRV_DELETED is set in the id of a
    // deletion stub.
    LNNOTEID operator[](DWORD index) const { return index < m_ids.size() ? m_ids[index] : 0; }
    void Assign(std::vector<LNNOTEID> ids) { m_ids.swap(ids); }

private:
    std::vector<LNNOTEID> m_ids;
};

// Navigation has passed the last entry of a view: answered, never thrown.
#define LNWARN_END_OF_VIEW (static_cast<LNSTATUS>(0xD00000F9UL))
#define LNVFNAVIGATE_FIRST 1
#define LNVFNAVIGATE_NEXT 6
#define LNNOTECLASS_DOCUMENT NOTE_CLASS_DOCUMENT
#define LNNOTECLASS_VIEW NOTE_CLASS_VIEW
#define LNNOTEID_DELETED RRV_DELETED
// Item types as LNNote::GetItemType answers them: a text or text list is
// text.
#define LNITEMTYPE_NUMBERS 0x0300
#define LNITEMTYPE_TEXT 0x0501
#define LNITEMFLAGS_SUMMARY ITEM_SUMMARY

class LNForm;
class LNNote;
class LNDocument;
class LNViewFolder;

// How a new database is made from its template: its design copied.
class LNCreateDatabaseOptions {
};

class LNDatabase {
public:
    LNDatabase() = default;
    ~LNDatabase();
    LNDatabase(const LNDatabase&) = delete;
    LNDatabase& operator=(const LNDatabase&) = delete;

    // Names the database a session found; it is opened by Open.
    void Bind(const char* server, const char* path);
    LNSTATUS Open();
    LNSTATUS Close();
    BOOL IsOpen() const { return m_handle != NULLHANDLE; }
    LNDBHANDLE GetDatabaseHandle() const { return m_handle; }
    const char* GetFilePath() const { return m_path.c_str(); }
    const char* GetServerName() const { return m_server.c_str(); }

    BOOL FormExists(const char* name) const;
    LNSTATUS GetForm(const char* name, LNForm* form) const;
    // A new document, not yet saved; with a form name it is computed with
    // that form of the database when the database has it.
    LNSTATUS CreateDocument(LNDocument* document, const char* form = nullptr);
    // A note of the open database by its id, opened by its Open.
    LNSTATUS GetNote(LNNOTEID id, LNNote* note) const;
    LNSTATUS GetDocument(LNNOTEID id, LNDocument* document) const;
    // The view or folder of that title.
    LNSTATUS GetViewFolder(const char* name, LNViewFolder* folder) const;
    // Every view and folder of the open database.
    LNSTATUS GetViewFolders(LNNoteArray* views) const;
    BOOL ViewFolderExists(const char* name) const;
    // A new folder of that title with the design of `design`, stored at
    // once and opened as `folder`.
    LNSTATUS CreateFolder(const char* name, int sharing, const LNViewFolder& design, LNViewFolder* folder);
    // The notes of the classes in `classMask` saved or deleted at or after
    // `since` (a wildcard: every note), deletion stubs with
    // LNNOTEID_DELETED set.
    LNSTATUS GetModifiedNotes(const LNDatetime& since, WORD classMask, LNNoteArray* notes);
    // Deletes the note, leaving its deletion stub.
    LNSTATUS DeleteNote(LNNOTEID id);

private:
    std::string m_server;
    std::string m_path;
    LNDBHANDLE m_handle = NULLHANDLE;
};

class LNRichText;

// The universal id of a note.
struct LNUNID {
    UNID unid;
};

class LNNote {
public:
    LNNote() = default;
    virtual ~LNNote();
    LNNote(const LNNote&) = delete;
    LNNote& operator=(const LNNote&) = delete;

    // Names the note of an open database; it is read by its Open. With
    // `ownsDatabase` the note closes the database when it goes.
    void Bind(LNDBHANDLE database, LNNOTEID id, bool ownsDatabase = false);
    LNDBHANDLE GetDatabaseHandle() const { return m_database; }
    NOTEHANDLE GetNoteHandle() const { return m_handle; }

    // The values of a text item of the open note.
    LNSTATUS GetItem(const char* name, LNText* values) const;
    LNNOTEID GetNoteID() const { return m_id; }
    BOOL HasItem(const char* name) const;
    void GetUniversalID(LNUNID* unid) const;
    BOOL IsOpen() const { return m_handle != NULLHANDLE; }
    // LNITEMTYPE_TEXT, LNITEMTYPE_NUMBERS or the library's type; 0 when
    // the note has no such item.
    WORD GetItemType(const char* name) const;
    // When the note was added to its database.
    LNSTATUS GetCreated(LNDatetime* created) const;
    LNSTATUS GetLastModified(LNDatetime* modified) const;

    // A new item with the value (an existing one of that name is
    // replaced), with the item flags given; the option is the caller's.
    LNSTATUS CreateItem(const char* name, const LNText& value, DWORD flags, DWORD option);
    LNSTATUS CreateItem(const char* name, const LNNumbers& value, DWORD flags, DWORD option);
    LNSTATUS CreateItem(const char* name, const LNDatetimes& value, DWORD flags, DWORD option);
    // A new empty rich text item, bound to `value`.
    LNSTATUS CreateItem(const char* name, LNRichText* value, DWORD flags, DWORD option);
    // The value of an existing item replaced; it keeps its flags.
    LNSTATUS SetItemValue(const char* name, const LNText& value);
    LNSTATUS SetItemValue(const char* name, const LNNumbers& value);
    LNSTATUS SetItemValue(const char* name, const LNDatetimes& value);
    // An existing rich text item, bound to `value` (null: only checked).
    LNSTATUS GetRichText(const char* name, LNRichText* value);

    // Writes the note into its database; a new note gets its id here.
    LNSTATUS Save(int flags = 0);
    LNSTATUS Close();

protected:
    LNSTATUS OpenNote();
    // The handle of the open note, or the status that it is not open.
    LNSTATUS Handle(NOTEHANDLE* handle) const;
    LNSTATUS FlushRichText();

private:
    friend class LNRichText;
    friend class LNDatabase;
    friend class LNCalendar;
    LNSTATUS PutValue(const char* name, WORD type, const std::vector<BYTE>& value, DWORD flags, bool keepFlags);
    // Rich text written through this note, flushed before it is saved.
    void Attach(LNRichText* text);
    void Detach(LNRichText* text);
    void Release();

    LNDBHANDLE m_database = NULLHANDLE;
    NOTEHANDLE m_handle = NULLHANDLE;
    LNNOTEID m_id = 0;
    bool m_ownsDatabase = false;
    std::vector<LNRichText*> m_richTexts;
};

class LNDocument : public LNNote {
public:
    LNSTATUS Open(int = 0) { return LNRaise(OpenNote()); }
    // Sets the "Form" item.
    LNSTATUS SetFormNote(const char* form);
    // Mails the document: a copy of it, with its recipients in
    // "Recipients", goes into the outgoing mail box ("mail.box" of this
    // machine, else of the mail server), where the router takes it.
    LNSTATUS Send(int flags = 0);
    // Computes the document with the form its "Form" names; refused when
    // the database has no such form.
    LNSTATUS ComputeWithForm(BOOL raiseErrors);
};

enum LNRECIPIENTTYPE { LNRECIPIENTTYPE_TO = 0, LNRECIPIENTTYPE_CC = 1, LNRECIPIENTTYPE_BCC = 2 };

// A document read as a mail message.
class LNMailMessage : public LNDocument {
public:
    // The "Body" rich text; fails when the message has none.
    LNSTATUS GetBody(LNRichText* body) { return GetRichText("Body", body); }
    LNSTATUS SetSubject(const char* subject);
    // The names, separated by commas, as the names list "SendTo", "CopyTo"
    // or "BlindCopyTo".
    LNSTATUS SetRecipients(LNRECIPIENTTYPE type, const char* names);
};

// One entry of a view met by navigation.
class LNVFEntry {
public:
    // FALSE for a category or a response document (one with a "$REF").
    BOOL IsMainTopic() const { return m_mainTopic; }
    // The entry's document, not yet open.
    LNSTATUS GetDocument(LNDocument* document) const;

private:
    friend class LNViewFolder;
    LNDBHANDLE m_database = NULLHANDLE;
    LNNOTEID m_id = 0;
    BOOL m_mainTopic = FALSE;
};

// A view or folder: a design note of the view class, read through its
// collection.
class LNViewFolder : public LNNote {
public:
    ~LNViewFolder() override;
    // Opens the note, which must be a view or folder, and its collection.
    LNSTATUS Open(int = 0);
    void GetName(LNString* name) const;
    LNSTATUS FolderAddDocument(const LNDocument& document);
    BOOL IsFolder() const;
    // Moves to the first entry (LNVFNAVIGATE_FIRST) or the next
    // (LNVFNAVIGATE_NEXT) of the open view; LNWARN_END_OF_VIEW past the last.
    LNSTATUS Goto(WORD navigation, LNVFEntry* entry);
    LNSTATUS Close();

private:
    void CloseCollection();

    HCOLLECTION m_collection = 0;
    COLLECTIONPOSITION m_position = {};
};

// A place in a rich text: its end, where everything is added.
class LNRTCursor {
};

// A rich text item of a note. Its value is written at once; what is added
// at its end goes into the note when the note is saved.
class LNRichText {
public:
    LNRichText() = default;
    ~LNRichText();
    LNRichText(const LNRichText&) = delete;
    LNRichText& operator=(const LNRichText&) = delete;

    // The whole text as one paragraph, or with `lines` one per line.
    LNSTATUS SetValue(const char* text, BOOL lines);
    void GetEndCursor(LNRTCursor*) const {}
    LNSTATUS StartNewParagraph(LNRTCursor* cursor);
    LNSTATUS Insert(const char* text, LNRTCursor* cursor);
    LNSTATUS CreateDocumentLink(const LNViewFolder& view, const LNDocument& document, LNRTCursor* cursor);
    // Attaches the file (it must exist) under `name`, or its own file name,
    // with its icon at the cursor.
    LNSTATUS CreateAttachment(const char* path, LNRTCursor* cursor, const char* name, BOOL compress);

private:
    friend class LNNote;
    friend class LNCalendarNote;
    void Bind(LNNote* note, const char* item);
    // The compound text context of what is added, opened at the first use.
    LNSTATUS Context(DHANDLE* context);
    LNSTATUS Flush();
    void Discard();

    LNNote* m_note = nullptr;
    std::string m_item;
    DHANDLE m_context = NULLHANDLE;
    DWORD m_style = 0;
};

// A formula: compiled, as a form keeps its keywords' formula.
class LNFormula {
public:
    LNFormula() = default;
    explicit LNFormula(std::vector<BYTE> compiled) : m_compiled(std::move(compiled)) {}

    // The text values the formula gives.
    LNSTATUS Evaluate(LNText* result) const;

private:
    std::vector<BYTE> m_compiled;
};

// A keywords field of a form: its choices given as a list or by a formula.
class LNKeywordsField {
public:
    // 1 when the choices are computed by a formula.
    int GetChoicesOption() const { return m_formula ? 1 : 0; }
    LNSTATUS GetChoicesFormula(LNFormula* formula) const;

private:
    friend class LNForm;
    bool m_formula = false;
    std::vector<BYTE> m_choices;
};

// A form: a design note of the form class whose "$Fields" lists its fields
// and whose "$Body" holds their records.
class LNForm : public LNNote {
public:
    LNSTATUS Open(int = 0) { return LNRaise(OpenNote()); }
    BOOL HasFormField(const char* name) const;
    LNSTATUS GetFormField(const char* name, LNKeywordsField* field) const;
};

class LNCalendarEntry {
public:
    void GetDatetimeRange(LNDatetimeRange* range) const { *range = m_range; }
    BOOL GetIsAlarmEnabled() const { return m_alarm; }
    BOOL IsAlarmRelative() const { return m_relative; }
    void GetAlarmDatetime(LNDatetime* alarm) const { *alarm = m_alarmTime; }
    long GetAlarmOffsetMinutes() const { return m_offset; }
    // The calendar entry type: 0 appointment, 1 anniversary, 2 all-day
    // event, 3 meeting, 4 reminder.
    int GetEntryType() const { return m_type; }
    void GetBriefDescription(LNString* description) const { *description = m_description.c_str(); }

private:
    friend class LNCalendar;
    LNDatetimeRange m_range;
    BOOL m_alarm = FALSE;
    BOOL m_relative = FALSE;
    LNDatetime m_alarmTime;
    long m_offset = 0;
    int m_type = 0;
    std::string m_description;
};

class LNCalendarEntryArray {
public:
    DWORD GetCount() const { return static_cast<DWORD>(m_entries.size()); }
    const LNCalendarEntry& operator[](DWORD index) const;

private:
    friend class LNCalendar;
    std::vector<LNCalendarEntry> m_entries;
};

// A calendar entry: a document of the mail file whose detailed description
// is the rich text "Body".
class LNCalendarNote : public LNDocument {
public:
    LNSTATUS Save(int flags, BOOL) { return LNNote::Save(flags); }
    LNSTATUS GetDetailedDescription(LNRichText* description);
    // The description is written into the entry as it is set.
    LNSTATUS SetDetailedDescription(const LNRichText&) { return 0; }
};

// Calendar entry kinds as the class layer numbers them.
enum LNCALENTRYTYPE {
    LNCALENTRYTYPE_APPOINTMENT = 1,
    LNCALENTRYTYPE_ANNIVERSARY = 2,
    LNCALENTRYTYPE_EVENT = 4,
    LNCALENTRYTYPE_MEETING = 8,
    LNCALENTRYTYPE_REMINDER = 16,
};

// The calendar of a mail file: its documents of form "Appointment", whose
// items "StartDateTime", "EndDateTime", "AppointmentType" ("0" to "4"),
// "Alarm" ("1": on), "AlarmOffset" (minutes, a relative alarm) or
// "AlarmTime" (an absolute one) and "Subject" make the entry.
class LNCalendar {
public:
    void Bind(const char* server, const char* path, const char* user);

    // A new entry of form "Appointment" in the mail file, saved: its range,
    // subject, kind and chair.
    LNSTATUS CreateEntry(const LNDatetimeRange& range, const char* subject, LNCALENTRYTYPE kind,
                         LNCalendarNote* entry) const;
    // The entries that start on one of the dates, in the calendar's order.
    LNSTATUS GetEntries(const LNDatetimes& dates, LNCalendarEntryArray* entries, int flags, const LNString& text) const;
    // TRUE when no entry of the calendar overlaps the range (an entry that
    // ends where the range begins does not).
    BOOL IsAvailable(const LNDatetimeRange& range, int flags) const;

private:
    LNSTATUS OpenMail(LNDBHANDLE* database) const;
    LNSTATUS WriteEntry(const LNDatetimeRange& range, const char* subject, const char* type,
                        LNCalendarNote* entry) const;
    LNSTATUS ReadEntries(std::vector<LNCalendarEntry>* entries) const;

    std::string m_server;
    std::string m_path;
    std::string m_user;
};

class LNNotesSession {
public:
    LNNotesSession() = default;
    LNNotesSession(const LNNotesSession&) = delete;
    LNNotesSession& operator=(const LNNotesSession&) = delete;

    // Loads the function library when it is not, and initialises the
    // runtime of the process from `iniPath` (null: the notes.ini on the
    // search path); the calling thread is registered.
    LNSTATUS Initialize(int build, int argc, char** argv, const char* iniPath);
    LNSTATUS Term(int flags);
    // Registers, or ends the registration of, the calling thread.
    LNSTATUS InitThread();
    LNSTATUS TermThread();

    LNSTATUS GetUserNameText(LNString* name) const;
    LNSTATUS GetDataDirectory(LNString* folder) const;
    // The build number of the runtime on this machine (`server` empty) or
    // of a server.
    LNSTATUS GetNotesVersion(WORD* build, const LNString& server) const;
    // The location document that notes.ini's "Location" names (its name
    // and note id), in this machine's address book.
    LNSTATUS GetLocationDocument(LNDocument* location) const;
    LNSTATUS GetDatabase(const char* path, LNDatabase* database, const char* server = "") const;
    // The mail file that notes.ini's "MailFile" and "MailServer" name.
    LNSTATUS GetMailDatabase(LNDatabase* database) const;
    // The calendar of the mail file `path` on `server` for `user`; refused
    // when the mail file cannot be opened.
    LNSTATUS GetCalendar(LNCalendar* calendar, const char* server, const char* path, const char* user) const;
    // The servers this machine knows.
    LNSTATUS GetServerNames(LNText* names) const;
    // A new database `path` on `server` with the design notes of the
    // template; refused when the template cannot be opened or the new file
    // exists.
    LNSTATUS CreateDatabaseFromTemplate(const char* templatePath, const char* templateServer, const char* path,
                                        const char* server, const LNCreateDatabaseOptions& options);
};

// Text as the library takes and gives it (LMBCS) from the Windows code
// page, and back; plain ASCII is the same in both.
std::string LNToLmbcs(const std::string& native);
std::string LNToNative(const std::string& lmbcs);

// The network path of a file on a server ("" for this machine).
std::string LNNetworkPath(const std::string& server, const std::string& file);
