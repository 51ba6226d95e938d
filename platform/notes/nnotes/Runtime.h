// The state of nnotes.dll: one runtime per process, guarded by one lock.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "NotesStandIn.h"
#include "NotesStore.h"

// A note opened through the function library: a copy of it in memory, and
// the database file it belongs to.
struct OpenNote {
    std::string file;
    NotesNote note;
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
    std::map<NOTESDBHANDLE, std::string> databases;
    NOTESDBHANDLE nextHandle = 1;
    std::map<NOTESHANDLE, OpenNote> notes;
    std::map<NOTESBLOCK, std::vector<BYTE>> blocks;
    std::map<NOTESHANDLE, std::vector<NOTESNOTEID>> tables;  // unread tables
    DWORD nextObject = 1;
};

Runtime& State();

class Locked {
public:
    Locked() { EnterCriticalSection(&State().lock); }
    ~Locked() { LeaveCriticalSection(&State().lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

bool ToldToFail(const char* call);
// Waits while a test holds `call` back (outside the lock).
void HoldIfTold(const char* call);
// Whether the calling thread may make `call` now (the lock held).
NOTESSTATUS CheckLocked(const char* call);
// The file behind an open database handle, or null.
const std::string* DatabaseFile(NOTESDBHANDLE handle);
