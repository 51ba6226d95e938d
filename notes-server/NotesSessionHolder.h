// The worker's Notes session, and the process-wide counts that decide when
// the thread registration and the runtime thread end.
#pragma once
#include <windows.h>

#include "LNClasses.h"

// Library errors are thrown while one lives, whatever the caller chose.
class ThrownErrors : public LibraryErrorMode {
public:
    ThrownErrors() : LibraryErrorMode(TRUE) {}
};

namespace HeronCounters {
// Holders made in the process (never counted down).
LONG Holders();
// Thread registrations through InitThread not yet ended by TermThread.
LONG Threads();
// Successful initialisations by a holder of its own.
LONG Initialisations();
}  // namespace HeronCounters

class NotesSessionHolder {
public:
    // With `doInitialize` the first holder of the process initialises the
    // runtime itself; otherwise the runtime thread does it.
    explicit NotesSessionHolder(int doInitialize);
    ~NotesSessionHolder();
    NotesSessionHolder(const NotesSessionHolder&) = delete;
    NotesSessionHolder& operator=(const NotesSessionHolder&) = delete;

    // 1 on success, 0 on failure.
    int Initialize();
    int InitThread();
    // Ends this holder's own registration only: a holder that never
    // registered must not count down another's.
    void TermThread();
    bool IsThreadRegistered() const { return m_registrations != 0; }

    // The mail file of the current location document: its path and server
    // (256 bytes each); 1 when found. Library errors mean "not found" here.
    int FindMailFile(char* path, char* server);
    // The user's mail database, bound (not opened); the library's status.
    LNSTATUS GetMailDatabase(LNDatabase* database);
    // The calendar of the location's mail file (an empty path and server
    // when there is none) for the user; 0, library errors are thrown.
    int GetCalendar(LNCalendar* calendar);

    LNNotesSession& Session() { return m_session; }
    bool IsInitialised() const { return m_initialised != 0; }
    void SetInitialised(bool initialised) { m_initialised = initialised ? 1 : 0; }

private:
    bool OpensAt(const char* file, const char* server);

    LNSTATUS m_status;
    int m_initialised;
    int m_registrations;
    LNNotesSession m_session;
};
