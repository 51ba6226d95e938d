/* The Notes stand-in: our own Notes function library (nnotes.dll) and class
   library (lcppn20.dll), with the data of one installation kept in files
   under a test folder: notes.ini, the ID file it names, and databases as
   text files below the data directory.

   What a test tells the stand-in, under HKEY_CURRENT_USER
   "Software\QuillmateStandIns\Notes":
     "Build"      REG_DWORD     the runtime's build number (default 166)
     "FailCalls"  REG_MULTI_SZ  calls that fail with NOTES_ERR_TOLD_TO_FAIL,
                                by name, as "GetNotesVersion" or "Initialize"
     "FailItems"  REG_MULTI_SZ  items of a note, by name, as "Subject", that
                                the class library refuses to write: creating
                                or replacing them, or writing their rich
                                text, fails with NOTES_ERR_TOLD_TO_FAIL
     "Clock"      REG_SZ        the stand-in's current time, "yyyymmdd-hhmmss",
                                for every time it stamps or answers
     "TickCalls"  REG_MULTI_SZ  calls that move "Clock" on by a minute each
                                time they are made
     "ThrowCalls" REG_MULTI_SZ  calls of the class library that throw
                                std::bad_alloc, as the real one does when
                                memory runs out, whatever the error mode
     "HoldCalls"  REG_MULTI_SZ  calls that wait, before they do anything,
                                until the event NOTES_STANDIN_GO_ON_EVENT is
                                set (a minute at most); "Initialize" waits

   The function library's calls that the access server imports by ordinal
   are declared here with the ordinal beside each. */
#ifndef NOTES_STANDIN_H
#define NOTES_STANDIN_H

#include <windows.h>

#define NOTES_STANDIN_KEY "Software\\QuillmateStandIns\\Notes"
#define NOTES_STANDIN_DEFAULT_BUILD 166
/* Set by the stand-in's notes.exe when it has started. */
#define NOTES_STANDIN_STARTED_EVENT "QuillmateNotesStandInStarted"
/* Set by a test to let the calls of "HoldCalls" go on. */
#define NOTES_STANDIN_GO_ON_EVENT "QuillmateNotesStandInGoOn"

typedef WORD NOTESSTATUS;
typedef DWORD NOTESDBHANDLE;
typedef DWORD NOTESHANDLE;  /* an open note */
typedef DWORD NOTESBLOCK;   /* an item value: its type (2 bytes), then its data */
typedef DWORD NOTESNOTEID;

/* A time stamp of the stand-in: the date as yyyymmdd and the time of day
   as hhmmss, both in local time. */
typedef struct {
    DWORD innards[2];
} NOTESTIMEDATE;

/* A local time broken down, with its zone and daylight-saving flag, and the
   stamp it converts to. */
typedef struct {
    int year, month, day, hour, minute, second, hundredth;
    int zone;  /* minutes west of UTC */
    BOOL dst;
    NOTESTIMEDATE stamp;
} NOTES_TIME;

/* Item value types: a number (an 8-byte double), a text, a text list (a
   2-byte count, then per entry a 2-byte length and the text). */
#define NOTES_TYPE_NUMBER 0x300
#define NOTES_TYPE_TEXT 0x500
#define NOTES_TYPE_TEXT_LIST 0x501
/* Design note classes. */
#define NOTES_CLASS_FORM 4
#define NOTES_CLASS_VIEW 8
/* The time word of a stamp that holds a date only. */
#define NOTES_NO_TIME 0xFFFFFFFFu

/* Statuses of the stand-in, with their texts in NotesStatusText. */
#define NOTES_ERR_NOT_FOUND 3
#define NOTES_ERR_FILE_NOT_FOUND 259
#define NOTES_ERR_NOT_INITIALIZED 289
#define NOTES_ERR_THREAD_NOT_REGISTERED 290
#define NOTES_ERR_ALREADY_INITIALIZED 291
#define NOTES_ERR_NO_INI 292
#define NOTES_ERR_BAD_HANDLE 293
#define NOTES_ERR_ITEM_NOT_FOUND 546
#define NOTES_ERR_NO_LOCATION 547
#define NOTES_ERR_NO_USER 548
#define NOTES_ERR_FORMULA 1281
#define NOTES_ERR_BAD_TIME 1282
#define NOTES_ERR_SERVER_NOT_RESPONDING 2051
#define NOTES_ERR_TOLD_TO_FAIL 4095
/* Answered by a call of "ThrowCalls"; the class library throws it as an
   allocation failure. */
#define NOTES_ERR_TOLD_TO_THROW 4094
#define NOTES_ERR_FILE_EXISTS 264
#define NOTES_ERR_NO_FORM 1283
#define NOTES_ERR_NAME_EXISTS 1284
/* A note whose summary text item holds more than NOTES_SUMMARY_TEXT_LIMIT
   bytes is not saved. */
#define NOTES_ERR_SUMMARY_TOO_BIG 1285

/* The bytes one summary text item (an item written with the summary flag,
   as views read them) can hold, all its texts together. */
#define NOTES_SUMMARY_TEXT_LIMIT 15360

/* One component of a parsed user name: a pointer into the parsed text and
   its length (0 when the name has no such component). */
typedef struct {
    const char* text;
    DWORD length;
} NOTES_NAME_PART;

/* The components of a distinguished name, 88 bytes. */
typedef struct {
    NOTES_NAME_PART common;
    NOTES_NAME_PART orgUnit[4];
    NOTES_NAME_PART organization;
    NOTES_NAME_PART country;
    NOTES_NAME_PART admd;
    NOTES_NAME_PART prmd;
    NOTES_NAME_PART generation;
    NOTES_NAME_PART domain;
} NOTES_NAME_PARTS;

#ifdef NOTES_FUNCTIONS_BUILD
#define NOTES_FUNCTION
#else
#define NOTES_FUNCTION __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Ordinal 416: the environment value `name` of notes.ini into buffer;
   TRUE when the value exists. */
NOTES_FUNCTION BOOL NotesEnvironmentText(const char* name, char* buffer, WORD size);
/* Ordinal 630: the components of `name` ("CN=Ann Lee/O=Acme" or the
   abbreviated "Ann Lee/Acme"); they point into `name`. */
NOTES_FUNCTION NOTESSTATUS NotesNameParse(const char* name, NOTES_NAME_PARTS* parts);
/* Ordinal 2001: closes a database handle. */
NOTES_FUNCTION NOTESSTATUS NotesDatabaseClose(NOTESDBHANDLE handle);

/* Ordinal 167: fills in the local time zone and daylight-saving flag. */
NOTES_FUNCTION void NotesTimeZone(NOTES_TIME* time);
/* Ordinal 229: the stamp of a local time; NOTES_ERR_BAD_TIME when the
   fields are no date and time. */
NOTES_FUNCTION NOTESSTATUS NotesLocalTimeToStamp(NOTES_TIME* time);

/* Ordinal 182: the data of a value block (null for an unknown block). */
NOTES_FUNCTION void* NotesLockBlock(NOTESBLOCK block);
/* Ordinal 183: ends an access of NotesLockBlock. */
NOTES_FUNCTION void NotesUnlockBlock(NOTESBLOCK block);
/* Ordinal 2008: closes an open note. */
NOTES_FUNCTION NOTESSTATUS NotesCloseNote(NOTESHANDLE note);
/* Ordinal 1201: 0 when the open note has the item. The four pointers are
   further outputs of the real library that nobody here asks for. */
NOTES_FUNCTION NOTESSTATUS NotesItemInfo(NOTESHANDLE note, const char* name, WORD nameLength, void* unused1,
                                         void* unused2, void* unused3, void* unused4);
/* Ordinal 1202: appends a text (length 0xFFFF: up to its terminator) to an
   item's text list, creating the item when it has none. */
NOTES_FUNCTION NOTESSTATUS NotesItemAppendText(NOTESHANDLE note, const char* item, const char* text,
                                               WORD textLength, BOOL allowDuplicates);
/* Ordinal 1203: a value as text (a list's entries joined by ";") into the
   buffer; answers the length written. */
NOTES_FUNCTION WORD NotesValueToText(WORD type, NOTESBLOCK value, DWORD valueLength, char* buffer, WORD size,
                                     WORD lineLength);
/* Ordinal 1204: the note id of a design note by title and class. */
NOTES_FUNCTION NOTESSTATUS NotesFindDesignNote(NOTESDBHANDLE database, const char* name, WORD noteClass,
                                               NOTESNOTEID* id);
/* Ordinal 1205: opens a note of the database by its id. */
NOTES_FUNCTION NOTESSTATUS NotesOpenNote(NOTESDBHANDLE database, NOTESNOTEID id, WORD flags, NOTESHANDLE* note);
/* Ordinal 1206: computes a note with a form: each item "$Default.<name>"
   of the form gives the note the item <name> when it has none. */
NOTES_FUNCTION NOTESSTATUS NotesComputeWithForm(NOTESHANDLE note, NOTESHANDLE form, DWORD flags);

/* The profile functions, looked up by name. A profile is the note of the
   database whose "$ProfileName" (and "$UserName", when a user is given)
   match. */
NOTES_FUNCTION NOTESSTATUS NSFProfileOpen(NOTESDBHANDLE database, const char* profile, WORD profileLength,
                                          const char* user, WORD userLength, BOOL copyProfile, NOTESHANDLE* note);
NOTES_FUNCTION NOTESSTATUS NSFProfileGetField(NOTESDBHANDLE database, const char* profile, WORD profileLength,
                                              const char* user, WORD userLength, const char* field,
                                              WORD fieldLength, WORD* type, NOTESBLOCK* value, DWORD* length);
NOTES_FUNCTION NOTESSTATUS NSFProfileUpdate(NOTESHANDLE note, const char* profile, WORD profileLength,
                                            const char* user, WORD userLength);

typedef NOTESSTATUS(*NSFPROFILEOPENPROC)(NOTESDBHANDLE, const char*, WORD, const char*, WORD, BOOL, NOTESHANDLE*);
typedef NOTESSTATUS(*NSFPROFILEGETFIELDPROC)(NOTESDBHANDLE, const char*, WORD, const char*, WORD, const char*, WORD,
                                             WORD*, NOTESBLOCK*, DWORD*);
typedef NOTESSTATUS(*NSFPROFILEUPDATEPROC)(NOTESHANDLE, const char*, WORD, const char*, WORD);

/* The runtime of the process, as the class library uses it (by name). */
NOTES_FUNCTION NOTESSTATUS NotesRuntimeInit(const char* iniPath);
NOTES_FUNCTION NOTESSTATUS NotesRuntimeTerm(void);
NOTES_FUNCTION BOOL NotesRuntimeIsInitialized(void);
NOTES_FUNCTION NOTESSTATUS NotesThreadInit(void);
NOTES_FUNCTION NOTESSTATUS NotesThreadTerm(void);
/* Whether the calling thread may make the call `name` now: 0, or the
   status the call fails with. */
NOTES_FUNCTION NOTESSTATUS NotesCheckCall(const char* name);
/* Whether the note item `item` may be written: 0, or the status the write
   fails with. */
NOTES_FUNCTION NOTESSTATUS NotesCheckItemWrite(const char* item);
NOTES_FUNCTION const char* NotesStatusText(NOTESSTATUS status);
NOTES_FUNCTION NOTESSTATUS NotesDataDirectory(char* buffer, WORD size);
NOTES_FUNCTION NOTESSTATUS NotesUserName(char* buffer, WORD size);
NOTES_FUNCTION NOTESSTATUS NotesBuildNumber(WORD* build);
/* Opens the database file `path` (relative to the data directory unless
   absolute) on `server` (empty: this machine). */
NOTES_FUNCTION NOTESSTATUS NotesDatabaseOpen(const char* server, const char* path, NOTESDBHANDLE* handle);
/* The file behind an open database handle. */
NOTES_FUNCTION NOTESSTATUS NotesDatabaseFile(NOTESDBHANDLE handle, char* buffer, WORD size);

/* Network paths and unread tables. A path of a database on a server is
   "<server>!!<file>"; a file alone is on this machine. */
/* Ordinal 938: the network path of `file` on `server` (null or empty: this
   machine) into a 260-byte buffer; the stand-in knows no ports, and a port
   given is refused. */
NOTES_FUNCTION NOTESSTATUS NotesPathCompose(const char* port, const char* server, const char* file, char* path);
/* Opens a mail file by its path; looked up by name. */
NOTES_FUNCTION NOTESSTATUS MailOpenMessageFile(const char* path, NOTESDBHANDLE* handle);
typedef NOTESSTATUS (*MAILOPENMESSAGEFILEPROC)(const char*, NOTESDBHANDLE*);
/* Ordinal 2549: the user's table of unread note ids (empty when the user
   has none). */
NOTES_FUNCTION NOTESSTATUS NotesUnreadTableGet(NOTESDBHANDLE database, const char* user, WORD userLength,
                                               BOOL create, NOTESHANDLE* table);
/* Ordinal 2256: brings the table up to date with the database. */
NOTES_FUNCTION NOTESSTATUS NotesUnreadTableUpdate(NOTESDBHANDLE database, NOTESHANDLE table);
/* Ordinal 357: a copy of the table. */
NOTES_FUNCTION NOTESSTATUS NotesTableCopy(NOTESHANDLE table, NOTESHANDLE* copy);
/* Ordinal 322: takes a note id out of the table. */
NOTES_FUNCTION NOTESSTATUS NotesTableRemove(NOTESHANDLE table, NOTESNOTEID id);
/* Ordinal 2548: stores the table as the user's, `original` being the table
   before. */
NOTES_FUNCTION NOTESSTATUS NotesUnreadTableSet(NOTESDBHANDLE database, const char* user, WORD userLength, BOOL flush,
                                               NOTESHANDLE original, NOTESHANDLE table);
/* Ordinal 861: frees a table. */
NOTES_FUNCTION NOTESSTATUS NotesTableDestroy(NOTESHANDLE table);

/* Ordinal 1401: the address books of `server` (null or empty: this
   machine): their count, the total length of their names and a memory
   handle that NotesLockBlock reads as the names one after the other, each
   ending in NUL (0 when there are none). NOTES_ERR_SERVER_NOT_RESPONDING
   for a server the machine cannot reach. */
NOTES_FUNCTION NOTESSTATUS NotesAddressBooks(const char* server, WORD flags, WORD* count, WORD* length,
                                             NOTESHANDLE* memory);
/* Ordinal 1402: frees memory the library handed out. */
NOTES_FUNCTION NOTESSTATUS NotesMemFree(NOTESHANDLE memory);
/* Ordinal 165: the current time. */
NOTES_FUNCTION void NotesCurrentTime(NOTESTIMEDATE* now);
/* A new empty database file `path` on `server` (empty: this machine);
   NOTES_ERR_FILE_EXISTS when there is one. Database paths given as
   "<server>!!<file>" are opened on that server. */
NOTES_FUNCTION NOTESSTATUS NotesDatabaseCreate(const char* server, const char* path);

#ifdef __cplusplus
}
#endif

#endif
