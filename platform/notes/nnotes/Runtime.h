// The state of the stand-in's nnotes.dll: one runtime per process, its open
// databases, notes, memory, tables and collections, guarded by one lock.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "NotesStandIn.h"
#include "NotesStore.h"
#include "notesapi.h"

// The library's exports, undecorated, with the documented convention.
#define NOTES_EXPORT extern "C" __declspec(dllexport)

// A note opened or created through the library: a copy of it in memory, the
// database it belongs to, and the value blocks handed out for it.
struct OpenNote {
    DBHANDLE database = 0;
    std::string file;
    NotesNote note;
    int noteClass = NOTE_CLASS_DOCUMENT;
    // The originator id a copy took from its note, or one set by the
    // caller; none: the one of the note's file and id.
    bool hasOid = false;
    ORIGINATORID oid = {};
};

// A view or folder opened as a collection: its entries as they were then.
struct Collection {
    std::vector<NOTEID> entries;
};

// Rich text being written: the paragraphs added to the item so far.
struct Compound {
    NOTEHANDLE note = 0;
    std::string item;
    std::vector<std::string> paragraphs;
};

class Runtime {
public:
    Runtime() { InitializeCriticalSection(&lock); }
    ~Runtime() { DeleteCriticalSection(&lock); }

    CRITICAL_SECTION lock;
    bool initialised = false;
    std::string dataDirectory;
    NotesIniValues ini;
    std::map<DWORD, int> threads;
    DWORD initialisingThread = 0;
    // Every handle the library gives out, of whatever kind, is one number.
    DHANDLE nextHandle = 1;
    std::map<DBHANDLE, std::string> databases;
    std::map<NOTEHANDLE, OpenNote> notes;
    std::map<DHANDLE, std::vector<BYTE>> memory;
    std::map<DHANDLE, std::vector<NOTEID>> tables;
    std::map<HCOLLECTION, Collection> collections;
    std::map<DHANDLE, Compound> compounds;
    // The file of each replica id met, for the links that name it.
    std::map<DWORD, std::string> replicas;
    // Calls of "FailCalls" counted since the list last changed.
    std::string failCalls;
    std::map<std::string, int> callCounts;
};

Runtime& State();

class Locked {
public:
    Locked() { EnterCriticalSection(&State().lock); }
    ~Locked() { LeaveCriticalSection(&State().lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

// Whether the calling thread may make `call` now, and whether a test told
// it to fail: 0, or the status it fails with (the lock held).
STATUS CheckLocked(const char* call);
// A test told `call` to fail (the lock held).
bool ToldToFail(const char* call);
// Waits while a test holds `call` back (outside the lock).
void HoldIfTold(const char* call);
// 0, or NOTES_ERR_TOLD_TO_FAIL for an item a test named.
STATUS CheckItemWrite(const std::string& item);

DHANDLE NewHandle();
// The file behind an open database handle, or null.
const std::string* DatabaseFile(DBHANDLE handle);
OpenNote* FindOpen(NOTEHANDLE handle);
// Memory the caller may lock and must free: the bytes copied into it.
DHANDLE KeepMemory(const std::vector<BYTE>& bytes);
std::vector<NOTEID>* FindTable(DHANDLE handle);
DHANDLE KeepTable(const std::vector<NOTEID>& ids);

// A text of `length` bytes, or up to its terminator for 0xFFFF.
std::string Counted(const char* text, WORD length);
bool SameText(const std::string& a, const std::string& b);
std::string FileNameOf(const std::string& path);

// Times: the library's stamps against the files' local times.
TIMEDATE StampOfLocal(const DWORD local[2]);
// The local "yyyymmdd", "hhmmss" of a stamp; false for a wildcard or a
// stamp that is no date.
bool LocalOfStamp(const TIMEDATE& stamp, DWORD local[2]);
// "2026-12-08 09:00:00", "2026-12-08" for a date alone, "*" for a wildcard.
std::string TextOfStamp(const TIMEDATE& stamp);
// The stamp of such a text; false when the text is none of them.
bool StampOfText(const std::string& text, TIMEDATE* stamp);
TIMEDATE Wildcard();
bool IsWildcard(const TIMEDATE& stamp);

// The stand-in's replica id of a database file, and the universal id of a
// note of it.
DBID ReplicaOfFile(const std::string& file);
UNID UnidOf(const std::string& file, NOTEID id);

// A note handed out as open: its handle.
NOTEHANDLE Keep(DBHANDLE database, const std::string& file, const NotesNote& note);
WORD TypeOf(const NotesItem& item);

// The item's value as the library hands it out: its type, then its data.
std::vector<BYTE> EncodeItem(const NotesItem& item);
// A value handed to the library, as an item of the files; false for a type
// the files cannot hold.
bool DecodeValue(WORD type, const BYTE* data, DWORD length, NotesItem* item);
// Writes the note into its database file; a note without an id is appended
// with the next free one.
STATUS StoreNote(const std::string& file, NotesNote* note);
// The design note of that title and class, or null.
const NotesNote* FindDesignNote(const std::vector<NotesNote>& notes, const std::string& title, int noteClass);
// A document a view can show: no design note, profile or unread table.
bool IsDocument(const NotesNote& note);
bool IsFolderNote(const NotesNote& note);
// The documents of a view or folder, in the database's order.
std::vector<NOTEID> EntriesOf(const std::vector<NotesNote>& notes, const NotesNote& view);
// The form's fields as the records of its "$Body" (type first).
std::vector<BYTE> FormBody(const NotesNote& form);
