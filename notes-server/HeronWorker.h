// HERON, the worker of one server object: its Notes session, the names of
// the runtime thread's events, its last error and what it remembers between
// calls. Every Notes call it makes runs on the caller's thread.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "HeronErrors.h"
#include "HeronFiling.h"
#include "LastCheckTable.h"
#include "NotesRecords.h"
#include "NotesSessionHolder.h"

enum HeronEventKind { HERON_EVENT_CONNECT = 1, HERON_EVENT_SHUTDOWN = 2, HERON_EVENT_SHUTDOWN_COMPLETE = 3 };

// The event's name into a 260-byte buffer; an unknown kind leaves it as it
// is. Each process builds three names of its own, the same every time.
void BuildHeronEventName(int kind, char* out);

// The shell call that starts the Notes client: ShellExecuteA, or what a test
// puts in its place (null puts the shell's back). Answers the one before.
typedef HINSTANCE(WINAPI* HeronShellExecuteProc)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
HeronShellExecuteProc SetHeronShellExecute(HeronShellExecuteProc execute);

// A note opened through the function library, closed on every way out.
struct OpenedNote {
    OpenedNote() = default;
    ~OpenedNote();
    OpenedNote(const OpenedNote&) = delete;
    OpenedNote& operator=(const OpenedNote&) = delete;

    NOTEHANDLE handle = NULLHANDLE;
};

// The mail database and its calendar profile.
struct OpenedProfile {
    DBHANDLE Database() const { return mail.GetDatabaseHandle(); }

    LNDatabase mail;
    OpenedNote note;
};

class HERON {
public:
    explicit HERON(int doInitialize);
    // Ends the thread registration, and the runtime thread with the last one.
    virtual ~HERON();
    // Workers of the process not yet destroyed.
    static LONG LiveCount();
    HERON(const HERON&) = delete;
    HERON& operator=(const HERON&) = delete;

    NotesSessionHolder& Session() { return m_session; }

    void SetEventName(int kind, const char* name);
    // Copies the name into a 260-byte buffer; nothing while it is unset.
    void GetEventName(int kind, char* out) const;

    void Close();
    // Asks the runtime thread to end and waits for it.
    void Shutdown();

    // Records a server error: "<context>\r\nError: <code> <message>".
    void SetError(_NTS5ERROR error, const char* context, UINT contextId);
    // Records a library status the same way; nothing for status 0.
    void SetStatusError(LNSTATUS status, const char* context, UINT contextId);
    const HeronLastError& LastError() const { return m_lastError; }

    // Starts the Notes client: 0, or -30 with the error recorded.
    int OpenNotes();
    // The major version class of the runtime: 1 to 5, -1 for unknown builds.
    int NotesVersion();
    // The user's first and second name and an empty text: 0, or the status
    // of a library failure or -19 for a name without a common name
    // (recorded; `out` left untouched).
    int UserInfo(VARIANT* out);

    LastCheckTable& LastCheck() { return m_lastCheck; }

    // The to-do categories: the system categories of the mail database's
    // "To do" form, then the user's own from the calendar profile; on a
    // runtime older than build 160 none, or generated ones.
    int GetCategories(VARIANT* out);
    int GetSystemCategories(VARIANT* out);
    int GetUserCategories(VARIANT* out);
    // Adds a user category to the calendar profile and saves it.
    int AddTaskCategory(const char* category);
    // The calendar profile's entry kind (as its kind bit), default duration,
    // alarms flag and task follow-up, also kept in the profile cache.
    int CalendarPrefs(VARIANT* out);
    // One line per calendar entry that starts on the day: start, end and
    // alarm as date numbers, the kind bit and the description, each in
    // double quotes and followed by a comma. 0, or the failure (recorded;
    // `out` left untouched).
    int GetCalendarDay(VARIANT day, VARIANT* out);
    // The date range of a calendar record's kind; an event's record gets
    // its day count and its end moved to its last day. Failures are
    // recorded and leave the range as it was.
    void SetEntryDateRange(NotesCalendarRecord* record, LNDatetimeRange* range);
    // 1 when the record's range is taken in the user's calendar; 0 when it
    // is free or the check failed (the failure recorded).
    int QuickConflictCheck(NotesCalendarRecord* record);
    // Filing one record each: 0, or the status or error code of the failure
    // that ended it (recorded). A subject, body or categories that cannot be
    // written end the filing and leave nothing of it behind; other helpers
    // that fail on the way record their own failure and the filing goes on.
    int FileTodoItem(NotesTodoRecord* record);
    int FileDatebookItem(NotesCalendarRecord* record);
    int FileJournalItem(NotesJournalRecord* record);
    int FileMemoItem(NotesMailRecord* record);

    // The filing helpers: 0 or the failure they recorded.
    int AddContacts(LNRichText* text, const NotesItemRecord& record);
    int AddContacts(LNMailMessage* document, const NotesItemRecord& record);
    int AddFileAttachments(LNRichText* text, const NotesMailRecord& record);
    // Throws NTS5_ERROR_ITEM_HAS_NO_BODY when there are files to attach and
    // the document has no "Body".
    int AddFileAttachments(LNMailMessage* document, const NotesMailRecord& record);
    int SetCategories(LNNote* note, const TextList& categories);
    // Throws what fails.
    void AddQuillmateItem(LNNote* note);
    int SetSubjectField(LNMailMessage* document, const std::string& text);
    // -16 when there is a text and the document has no "Body" to hold it.
    int SetAdditionalFieldInfo(LNMailMessage* document, const std::string& text);
    // Also the last address lookup's failure when recipients were named and
    // none of them has an address.
    int AddSendOptions(LNMailMessage* document, const NotesMailRecord& record);
    // The mail address of the contact's person document: 0, the status of
    // reaching the note, or -19 when it has no address (recorded).
    int GetContactEmailAddress(const ContactKey& key, std::string* address);

    // Takes the filed note out of the user's table of unread notes in the
    // mail file: 0, 1 when the function library lacks the mail file opener,
    // else the status or error code (recorded).
    SHORT RemoveFromUnread(const LNNote& note);
    // Stores the current time under the key.
    void MarkRead(const char* key);
    // Stores a time taken earlier (before the read it closes) under the key.
    void MarkRead(const char* key, const TIMEDATE& at);
    // The current time as the last-check table keeps it.
    TIMEDATE CheckTime();
    // The time stored under the key; a wildcard for an unknown key.
    void LastReadTime(const char* key, LNDatetime* datetime) const;

    // Contacts. Each line: the contact key, the 16 contact fields and the
    // change kind (0 full list, 2 deleted, 4 changed, 8 new), quoted and
    // comma-terminated. Failures are recorded as the last error.
    // Every contact of this machine's address books, and of the servers'
    // books when GetServerContacts is set: 0, or the failure of a read
    // that found nothing at all.
    int GetContactList(VARIANT* out);
    int GetContacts(TextList* lines);
    // The contacts of the servers' books: 0 when at least one book was read,
    // else the failure (-9 when no server had a book that could be read).
    int GetServerAddressBookContacts(TextList* lines);
    // The address books of a server ("": this machine) as network paths.
    int GetAddressBooks(TextList* paths, const char* server);
    // 1, or -9 when the book or its people view cannot be opened.
    int ReadAddressBook(const std::string& path, TextList* lines);
    // The key and the 16 fields of an open-able document, and the kind.
    int GetContactInfo(const LNDatabase& book, LNDocument* document, TextList* fields, int kind);
    // What changed in the address books since the last contact read (the
    // full list before the first one): 0 when some book was read, and the
    // time of the last read moves on only when every book was.
    int GetModifiedContacts(VARIANT* out);
    int GetModifiedContactsInBook(const std::string& path, TextList* lines, const LNDatetime& since);
    // A person document in the first address book from a contact line.
    int CreateContactDocument(const VARIANT& line);

    // Servers, the journal database and folders. Each folder line: the key
    // of its design note, its name and the change kind.
    int GetServers(VARIANT* out);
    int GetServerList(LNText* servers);
    // The top-level folders of the journal database, which is created from
    // its template with the default folders when there is none.
    int GetJournalFolders(VARIANT* out);
    int GetModifiedJournalFolders(VARIANT* out);
    int GetDatabaseFolders(const std::string& database, VARIANT* out, int depthLimit);
    // The folders changed or deleted since the last modified read of that
    // database; the full list the first time.
    int GetModifiedDatabaseFolders(const std::string& database, VARIANT* out, int depthLimit);
    // 3 (the number of fields), or 0 when the folder nests too deep.
    int MakeFolderLine(const LNDatabase& database, LNViewFolder* folder, std::string* line, int depthLimit, int kind);
    int CreateDatabaseFolder(const std::string& database, const std::string& folder);
    bool DatabaseExists(const std::string& database);
    bool CreateJournalDatabase();
    int CreateDefaultJournalFolders();

    // Entry `index` (0-3) of the profile cache; null until it was read.
    const char* CachedProfileValue(int index) const;

    // The mail database's calendar profile, its owner repaired when it has
    // none; 0, or the status or error code of a failure (not recorded).
    int OpenCalendarProfile(NOTEHANDLE* profile, DBHANDLE database);
    // One field of the calendar profile: the profile function's status.
    int GetCalendarProfileField(DBHANDLE database, NOTEHANDLE profile, const char* field, WORD* type,
                                BLOCKID* value, DWORD* length);

private:
    // Runs `body`; a library status or a server error it throws is recorded
    // with the operation's context and answered.
    template <class Body>
    int Recorded(UINT contextId, Body body)
    {
        try {
            return body();
        } catch (LNSTATUS status) {
            SetStatusError(status, "", contextId);
            return status;
        } catch (const _NTS5ERROR& error) {
            SetError(error, "", contextId);
            return error.code;
        }
    }
    // A helper's failure that would lose what the user gave ends the filing:
    // its status or error code is thrown again, for the filing to record.
    static void RaiseAgain(int status);
    // Takes a document that was stored in the mail database out again, when
    // its filing failed after the store; a failure leaves it.
    void RemoveFromMailDatabase(const LNNote& note);
    // Opens the user's mail database and its calendar profile; throws the
    // library's status or the server's error.
    void OpenUserProfile(OpenedProfile* opened);
    // Links to the record's contacts at the end of the text; throws.
    void AppendContactLinks(LNRichText* text, const NotesItemRecord& record);
    // A new document of form "Memo" in the opened mail database, with the
    // user as "Principal" and "From" and an empty "SendTo"; throws.
    void CreateMailDocument(LNDatabase* mail, LNMailMessage* document);
    // Whether a to-do is shown on the calendar too.
    bool TodoOnCalendar(const NotesTodoRecord& record);
    int SetEventDays(NotesCalendarRecord* record, LNCalendarNote* entry);
    int SetEntryDateItems(NotesCalendarRecord* record, LNCalendarNote* entry);
    int SetDetailedDescriptionField(LNCalendarNote* entry, const NotesCalendarRecord& record);

    NotesSessionHolder m_session;
    std::unique_ptr<char[]> m_eventNames[3];
    HeronLastError m_lastError;
    char m_profile[4][50] = {};
    bool m_profileRead = false;
    LastCheckTable m_lastCheck;
};

// The key of a note of an open database: its server (or "Local"), "##", its
// file path, "##" and the note id with the deletion bit cleared. A network
// path ("<server>!!<file>") gives its server and file.
std::string DatabaseKeyText(const LNDatabase& database, DWORD noteId);
// The server to open a key's database on: "" for this machine.
std::string KeyServer(const ContactKey& key);
// -1, 0 or 1 as the first stamp is earlier, the same or later.
int CompareNotesStamps(const TIMEDATE& a, const TIMEDATE& b);

// The user categories in a profile value rendered as text: cut at each ";",
// an empty piece kept except after the last ";".
std::vector<std::string> SplitUserCategories(const char* text);
// The text before the first "|": a keyword without its synonym.
std::string KeywordBeforeBar(const std::string& keyword);
// A calendar profile value as text: a text as it is, a number with seven
// significant digits, anything else "".
std::string ProfileValueText(WORD type, const void* data, DWORD length);
// The decimal kind bit of a calendar entry type given as text ("0" to "4"
// give "256" to "4096"); "0" for anything else.
std::string CalendarKindBitText(const std::string& entryType);
// A date as the function library's time stamp; the library's status is
// thrown when it is no date.
TIMEDATE NotesStampOfDate(DATE date);
// A date-time as a date number that reads back to the same second.
std::string DateNumberText(const LNDatetime& datetime);
// The version class of a runtime build number.
int NotesVersionOfBuild(WORD build);
// The first two words of the common name of a user name, and "".
void SplitUserName(const char* commonName, std::string parts[3]);
