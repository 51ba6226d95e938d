// lcppn20.dll: the session, databases and notes over the function library's
// runtime. Every call but the runtime's own set-up is refused on a thread
// that is not registered, as the real runtime refuses it.

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "LNClasses.h"
#include "NotesStore.h"

namespace {

volatile LONG g_throwAll = FALSE;

// A library entry point answers a status; an allocation failure inside it
// becomes a status too, so nothing is thrown across the boundary.
template <class F>
LNSTATUS Guard(F body)
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return NOTES_ERR_BAD_HANDLE;
    }
}

std::string Environment(const char* name)
{
    char value[1024] = "";
    return NotesEnvironmentText(name, value, sizeof value) ? std::string(value) : std::string();
}

}  // namespace

void LNSetThrowAllErrors(BOOL throwAll)
{
    InterlockedExchange(&g_throwAll, throwAll ? TRUE : FALSE);
}

BOOL LNGetThrowAllErrors()
{
    return g_throwAll;
}

BOOL LNIsNotesInitialized()
{
    return NotesRuntimeIsInitialized();
}

const char* LNGetErrorMessageText(LNSTATUS status)
{
    return NotesStatusText(static_cast<NOTESSTATUS>(status));
}

//--- LNDatabase

LNDatabase::LNDatabase() : m_server(), m_path(), m_handle(0) {}

LNDatabase::~LNDatabase()
{
    if (m_handle)
        NotesDatabaseClose(m_handle);
}

void LNDatabase::Bind(const char* server, const char* path)
{
    if (m_handle)
        NotesDatabaseClose(m_handle);
    m_handle = 0;
    lstrcpynA(m_server, server ? server : "", sizeof m_server);
    lstrcpynA(m_path, path ? path : "", sizeof m_path);
}

LNSTATUS LNDatabase::DoOpen()
{
    if (LNSTATUS status = NotesCheckCall("LNDatabase::Open"))
        return status;
    if (m_handle)
        return 0;
    return NotesDatabaseOpen(m_server, m_path, &m_handle);
}

LNSTATUS LNDatabase::DoClose()
{
    if (LNSTATUS status = NotesCheckCall("LNDatabase::Close"))
        return status;
    LNDBHANDLE handle = m_handle;
    m_handle = 0;
    return handle ? NotesDatabaseClose(handle) : 0;
}

BOOL LNDatabase::IsOpen() const
{
    return m_handle != 0;
}

LNDBHANDLE LNDatabase::GetDatabaseHandle() const
{
    return m_handle;
}

const char* LNDatabase::GetFilePath() const
{
    return m_path;
}

const char* LNDatabase::GetServerName() const
{
    return m_server;
}

//--- LNNote

LNNote::LNNote() : m_file(), m_id(0), m_open(FALSE), m_data(nullptr) {}

LNNote::~LNNote()
{
    delete static_cast<NotesNote*>(m_data);
}

void LNNote::Bind(const char* file, LNNOTEID id)
{
    lstrcpynA(m_file, file ? file : "", sizeof m_file);
    m_id = id;
    m_open = FALSE;
    delete static_cast<NotesNote*>(m_data);
    m_data = nullptr;
}

LNNOTEID LNNote::GetNoteID() const
{
    return m_id;
}

LNSTATUS LNNote::DoOpen()
{
    if (LNSTATUS status = NotesCheckCall("LNDocument::Open"))
        return status;
    return Guard([&]() -> LNSTATUS {
        std::vector<NotesNote> notes;
        if (!ReadNotesDatabase(m_file, &notes))
            return NOTES_ERR_FILE_NOT_FOUND;
        for (const NotesNote& note : notes) {
            if (note.id == m_id) {
                m_open = TRUE;
                return 0;
            }
        }
        return NOTES_ERR_BAD_HANDLE;
    });
}

LNSTATUS LNNote::DoGetItem(const char* name, LNText* values) const
{
    if (LNSTATUS status = NotesCheckCall("LNNote::GetItem"))
        return status;
    if (!m_open || !name || !values)
        return NOTES_ERR_BAD_HANDLE;
    return Guard([&]() -> LNSTATUS {
        const NotesNote* note = static_cast<const NotesNote*>(Data());
        if (note) {
            const NotesItem* item = note->Find(name);
            if (!item)
                return NOTES_ERR_ITEM_NOT_FOUND;
            values->DeleteAll();
            for (const std::string& value : item->values)
                values->Append(value.c_str());
            return 0;
        }
        return NOTES_ERR_BAD_HANDLE;
    });
}

//--- LNNotesSession

LNNotesSession::LNNotesSession() : m_initializedHere(FALSE) {}

LNNotesSession::~LNNotesSession() = default;

LNSTATUS LNNotesSession::DoInitialize(int, int, char**, const char* iniPath)
{
    LNSTATUS status = NotesRuntimeInit(iniPath);
    m_initializedHere = status == 0;
    return status;
}

LNSTATUS LNNotesSession::DoTerm(int)
{
    m_initializedHere = FALSE;
    return NotesRuntimeTerm();
}

LNSTATUS LNNotesSession::DoInitThread()
{
    return NotesThreadInit();
}

LNSTATUS LNNotesSession::DoTermThread()
{
    return NotesThreadTerm();
}

LNSTATUS LNNotesSession::DoGetUserNameText(LNString* name) const
{
    if (LNSTATUS status = NotesCheckCall("GetUserNameText"))
        return status;
    char text[512];
    LNSTATUS status = NotesUserName(text, sizeof text);
    if (status == 0)
        *name = LNString(text);
    return status;
}

LNSTATUS LNNotesSession::DoGetDataDirectory(LNString* folder) const
{
    if (LNSTATUS status = NotesCheckCall("GetDataDirectory"))
        return status;
    char text[MAX_PATH];
    LNSTATUS status = NotesDataDirectory(text, sizeof text);
    if (status == 0)
        *folder = LNString(text);
    return status;
}

LNSTATUS LNNotesSession::DoGetNotesVersion(WORD* build, const LNString&) const
{
    if (LNSTATUS status = NotesCheckCall("GetNotesVersion"))
        return status;
    return NotesBuildNumber(build);
}

// notes.ini's "Location" is the document's name, a comma, and further
// fields; the document is the one of form "Location" with that name.
LNSTATUS LNNotesSession::DoGetLocationDocument(LNDocument* location) const
{
    if (LNSTATUS status = NotesCheckCall("GetLocationDocument"))
        return status;
    return Guard([&]() -> LNSTATUS {
        std::string name = Environment("Location");
        name = name.substr(0, name.find(','));
        LNDBHANDLE handle = 0;
        if (name.empty() || NotesDatabaseOpen("", "names.nsf", &handle))
            return NOTES_ERR_NO_LOCATION;
        char file[MAX_PATH];
        NotesDatabaseFile(handle, file, sizeof file);
        NotesDatabaseClose(handle);
        std::vector<NotesNote> notes;
        ReadNotesDatabase(file, &notes);
        for (const NotesNote& note : notes) {
            if (lstrcmpiA(note.Text("Form").c_str(), "Location") == 0
                && lstrcmpiA(note.Text("Name").c_str(), name.c_str()) == 0) {
                location->Bind(file, note.id);
                return 0;
            }
        }
        return NOTES_ERR_NO_LOCATION;
    });
}

LNSTATUS LNNotesSession::DoGetDatabase(const char* path, LNDatabase* database, const char* server) const
{
    if (LNSTATUS status = NotesCheckCall("GetDatabase"))
        return status;
    if (!database || !path)
        return NOTES_ERR_BAD_HANDLE;
    database->Bind(server, path);
    return 0;
}

LNSTATUS LNNotesSession::DoGetMailDatabase(LNDatabase* database) const
{
    if (LNSTATUS status = NotesCheckCall("GetMailDatabase"))
        return status;
    return Guard([&]() -> LNSTATUS {
        std::string file = Environment("MailFile");
        if (file.empty() || !database)
            return NOTES_ERR_FILE_NOT_FOUND;
        database->Bind(Environment("MailServer").c_str(), file.c_str());
        return 0;
    });
}
