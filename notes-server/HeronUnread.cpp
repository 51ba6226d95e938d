// The worker's unread marks and last-read times.
#include <cstdio>
#include <cstring>

#include "HeronRes.h"
#include "HeronWorker.h"

namespace {

void Check(STATUS status)
{
    if (status)
        throw static_cast<LNSTATUS>(status);
}

// Handles of the function library, released on every way out.
struct UnreadHandles {
    ~UnreadHandles()
    {
        const LNNotesFunctions& api = LNNotes();
        if (table)
            api.IDDestroyTable(table);
        if (original)
            api.IDDestroyTable(original);
        if (database)
            api.MailCloseMessageFile(database);
    }

    DBHANDLE database = NULLHANDLE;
    DHANDLE table = NULLHANDLE;
    DHANDLE original = NULLHANDLE;
};

bool HasUnreadFunctions(const LNNotesFunctions& api)
{
    return api.OSGetEnvironmentString && api.OSPathNetConstruct && api.NSFDbGetUnreadNoteTable
           && api.NSFDbUpdateUnread && api.IDTableCopy && api.IDDelete && api.NSFDbSetUnreadNoteTable
           && api.IDDestroyTable && api.MailCloseMessageFile;
}

}  // namespace

SHORT HERON::RemoveFromUnread(const LNNote& note)
{
    // No library, or one without the mail file opener: nothing to do.
    if (!LNNotesLibrary() || !LNNotes().MailOpenMessageFile)
        return 1;
    int result = Recorded(IDS_CTX_UNREAD_MARKS, [&]() -> int {
        const LNNotesFunctions& api = LNNotes();
        if (!HasUnreadFunctions(api))
            throw static_cast<LNSTATUS>(LNERR_NO_FUNCTION);
        char file[256] = "", server[260] = "";
        if (!api.OSGetEnvironmentString("MailFile", file, sizeof file)
            || !api.OSGetEnvironmentString("MailServer", server, sizeof server))
            throw NTS5_ERROR_CANT_OPEN_MAIL_DATABASE;
        char path[MAXPATH] = "";
        Check(api.OSPathNetConstruct(nullptr, server, file, path));
        UnreadHandles handles;
        Check(api.MailOpenMessageFile(path, &handles.database));
        LNString user;
        m_session.Session().GetUserNameText(&user);
        std::string name = LNToLmbcs(user.GetPlatformTextPtr());
        const WORD length = static_cast<WORD>(name.size());
        Check(api.NSFDbGetUnreadNoteTable(handles.database, &name[0], length, FALSE, &handles.table));
        // No unread table yet: nothing is unread, nothing to take out.
        if (!handles.table)
            return 0;
        Check(api.NSFDbUpdateUnread(handles.database, handles.table));
        Check(api.IDTableCopy(handles.table, &handles.original));
        char trace[64];
        std::snprintf(trace, sizeof trace, "Deleting note: %lu", static_cast<unsigned long>(note.GetNoteID()));
        OutputDebugStringA(trace);
        BOOL deleted = FALSE;
        Check(api.IDDelete(handles.table, note.GetNoteID(), &deleted));
        Check(api.NSFDbSetUnreadNoteTable(handles.database, &name[0], length, TRUE, handles.original, handles.table));
        return 0;
    });
    return static_cast<SHORT>(result);
}

// The function library's time, so that what is compared against it is on
// the same clock as the notes' own times.
TIMEDATE HERON::CheckTime()
{
    TIMEDATE now = {{0, 0}};
    if (LNNotes().OSCurrentTIMEDATE)
        LNNotes().OSCurrentTIMEDATE(&now);
    return now;
}

void HERON::MarkRead(const char* key)
{
    MarkRead(key, CheckTime());
}

void HERON::MarkRead(const char* key, const TIMEDATE& at)
{
    if (at.Innards[0] == 0 && at.Innards[1] == 0)
        return;
    m_lastCheck.Set(key, HeronTimeDate{{at.Innards[0], at.Innards[1]}});
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
    *datetime = LNDatetime(TIMEDATE{{entry->time.innards[0], entry->time.innards[1]}});
}
