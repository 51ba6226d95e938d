// The worker's unread marks and last-read times.
#include <cstdio>
#include <cstring>

#include "HeronRes.h"
#include "HeronWorker.h"

namespace {

void Check(NOTESSTATUS status)
{
    if (status)
        throw static_cast<LNSTATUS>(status);
}

// Handles of the function library, released on every way out.
struct UnreadHandles {
    ~UnreadHandles()
    {
        if (table)
            NotesTableDestroy(table);
        if (original)
            NotesTableDestroy(original);
        if (database)
            NotesDatabaseClose(database);
    }

    NOTESDBHANDLE database = 0;
    NOTESHANDLE table = 0;
    NOTESHANDLE original = 0;
};

}  // namespace

SHORT HERON::RemoveFromUnread(const LNNote& note)
{
    HMODULE library = LoadLibraryA("nnotes.dll");
    MAILOPENMESSAGEFILEPROC openMailFile =
        library ? reinterpret_cast<MAILOPENMESSAGEFILEPROC>(GetProcAddress(library, "MailOpenMessageFile")) : nullptr;
    if (!openMailFile) {
        if (library)
            FreeLibrary(library);
        return 1;
    }
    int result = Recorded(IDS_CTX_UNREAD_MARKS, [&]() -> int {
        char file[256] = "", server[260] = "";
        if (!NotesEnvironmentText("MailFile", file, sizeof file) || !NotesEnvironmentText("MailServer", server, sizeof server))
            throw NTS5_ERROR_CANT_OPEN_MAIL_DATABASE;
        char path[MAX_PATH] = "";
        Check(NotesPathCompose(nullptr, server, file, path));
        UnreadHandles handles;
        Check(openMailFile(path, &handles.database));
        LNString user;
        m_session.Session().GetUserNameText(&user);
        const WORD length = static_cast<WORD>(std::strlen(user.GetPlatformTextPtr()));
        Check(NotesUnreadTableGet(handles.database, user.GetPlatformTextPtr(), length, FALSE, &handles.table));
        Check(NotesUnreadTableUpdate(handles.database, handles.table));
        Check(NotesTableCopy(handles.table, &handles.original));
        char trace[64];
        std::snprintf(trace, sizeof trace, "Deleting note: %lu", static_cast<unsigned long>(note.GetNoteID()));
        OutputDebugStringA(trace);
        Check(NotesTableRemove(handles.table, note.GetNoteID()));
        Check(NotesUnreadTableSet(handles.database, user.GetPlatformTextPtr(), length, TRUE, handles.original,
                                  handles.table));
        return 0;
    });
    FreeLibrary(library);
    return static_cast<SHORT>(result);
}

// The function library's time, so that what is compared against it is on
// the same clock as the notes' own times.
NOTESTIMEDATE HERON::CheckTime()
{
    NOTESTIMEDATE now = {{0, 0}};
    NotesCurrentTime(&now);
    return now;
}

void HERON::MarkRead(const char* key)
{
    MarkRead(key, CheckTime());
}

void HERON::MarkRead(const char* key, const NOTESTIMEDATE& at)
{
    if (at.innards[0] == 0 && at.innards[1] == 0)
        return;
    m_lastCheck.Set(key, HeronTimeDate{{at.innards[0], at.innards[1]}});
}

// The time in the last-check table; a wildcard for an unknown key or a
// time with a zero half.
void HERON::LastReadTime(const char* key, LNDatetime* datetime) const
{
    const LastCheckTable::Entry* entry = m_lastCheck.Find(key);
    if (!entry || entry->time.innards[0] == 0 || entry->time.innards[1] == 0) {
        datetime->SetDateToWildCard();
        return;
    }
    *datetime = LNDatetime(NOTESTIMEDATE{{entry->time.innards[0], entry->time.innards[1]}});
}
