#include "NotesSessionHolder.h"

#include <cstring>

namespace {

volatile LONG g_holders = 0;
volatile LONG g_threads = 0;
volatile LONG g_initialisations = 0;

void CopyOut(char* out, const char* text)
{
    lstrcpynA(out, text, 256);
}

}  // namespace

namespace HeronCounters {
LONG Holders() { return g_holders; }
LONG Threads() { return g_threads; }
LONG Initialisations() { return g_initialisations; }
}  // namespace HeronCounters

NotesSessionHolder::NotesSessionHolder(int doInitialize) : m_status(0), m_initialised(0), m_registrations(0)
{
    LNSetThrowAllErrors(TRUE);
    if (g_holders != 0) {
        InterlockedIncrement(&g_holders);
        return;
    }
    g_holders = 1;
    try {
        if (doInitialize)
            Initialize();
        else
            m_status = 1;
        m_initialised = m_status == 0;
    } catch (...) {
        m_initialised = 0;
    }
}

NotesSessionHolder::~NotesSessionHolder()
{
    m_initialised = 0;
}

int NotesSessionHolder::Initialize()
{
    if (m_initialised)
        return 1;
    try {
        m_status = m_session.Initialize(200, 0, nullptr, nullptr);
        m_initialised = m_status == 0;
        if (m_status != 0)
            return 0;
        LNString user, directory;
        WORD build = 0;
        m_session.GetUserNameText(&user);
        m_session.GetDataDirectory(&directory);
        m_session.GetNotesVersion(&build, LNString(""));
        InterlockedIncrement(&g_initialisations);
        return 1;
    } catch (...) {
        return 0;
    }
}

int NotesSessionHolder::InitThread()
{
    InterlockedIncrement(&g_threads);
    ++m_registrations;
    try {
        return m_session.InitThread() == 0 ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

void NotesSessionHolder::TermThread()
{
    if (m_registrations == 0)
        return;
    --m_registrations;
    InterlockedDecrement(&g_threads);
    // Every registration of the thread with the runtime is ended by one of
    // its own: the library counts them per thread.
    try {
        m_session.TermThread();
    } catch (...) {
        m_initialised = 0;
    }
}

bool NotesSessionHolder::OpensAt(const char* file, const char* server)
{
    LNDatabase database;
    if (m_session.GetDatabase(file, &database, server) != 0 || database.Open() != 0)
        return false;
    database.Close();
    return true;
}

int NotesSessionHolder::FindMailFile(char* path, char* server)
{
    ReturnedErrors returned;
    path[0] = 0;
    server[0] = 0;
    LNDocument location;
    LNText mailType, mailFile;
    LNString type, file;
    if (m_session.GetLocationDocument(&location) != 0 || location.Open() != 0
        || location.GetItem("MailType", &mailType) != 0 || location.GetItem("MailFile", &mailFile) != 0)
        return 0;
    mailType.GetText(&type);
    mailFile.GetText(&file);
    const char* fileText = file.GetPlatformTextPtr();

    if (std::strcmp(type.GetPlatformTextPtr(), "1") != 0) {
        LNText mailServer;
        LNString serverName;
        if (location.GetItem("MailServer", &mailServer) != 0)
            return 0;
        mailServer.GetText(&serverName);
        if (!OpensAt(fileText, serverName.GetPlatformTextPtr()))
            return 0;
        CopyOut(path, fileText);
        CopyOut(server, serverName.GetPlatformTextPtr());
        return 1;
    }

    LNDatabase local;
    if (m_session.GetDatabase(fileText, &local, "") != 0)
        return 0;
    if (local.Open() == 0) {
        local.Close();
        CopyOut(path, fileText);
        return 1;
    }
    // A path that is not found locally is tried as a bare file name.
    const char* name = std::strrchr(fileText, '\\');
    if (!name)
        name = std::strrchr(fileText, '/');
    if (!name || !OpensAt(name + 1, ""))
        return 0;
    CopyOut(path, name + 1);
    return 1;
}

LNSTATUS NotesSessionHolder::GetMailDatabase(LNDatabase* database)
{
    char path[256], server[256];
    if (FindMailFile(path, server))
        return m_session.GetDatabase(path, database, server);
    return m_session.GetMailDatabase(database);
}

int NotesSessionHolder::GetCalendar(LNCalendar* calendar)
{
    char path[256], server[256];
    FindMailFile(path, server);
    LNString user;
    m_session.GetUserNameText(&user);
    m_session.GetCalendar(calendar, server, path, user.GetPlatformTextPtr());
    return 0;
}
