// The class layer's hold on the function library: where it is found, its
// functions by name, the layer's errors, and the session.
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "LNClasses.h"

namespace {

volatile LONG g_throwAll = FALSE;
volatile LONG g_initialised = FALSE;

const char kLibrary[] = "nnotes.dll";
const char kNotesKey[] = "Software\\Lotus\\Notes";

class LibraryLock {
public:
    LibraryLock() { EnterCriticalSection(&Section()); }
    ~LibraryLock() { LeaveCriticalSection(&Section()); }
    LibraryLock(const LibraryLock&) = delete;
    LibraryLock& operator=(const LibraryLock&) = delete;

private:
    static CRITICAL_SECTION& Section()
    {
        static CRITICAL_SECTION section = [] {
            CRITICAL_SECTION created;
            InitializeCriticalSection(&created);
            return created;
        }();
        return section;
    }
};

struct Library {
    HMODULE module = nullptr;
    LNNotesFunctions functions = {};
};

Library& TheLibrary()
{
    static Library library;
    return library;
}

// The library in a folder, with the libraries it needs found beside it.
HMODULE LoadFrom(const std::string& folder)
{
    if (folder.empty())
        return nullptr;
    std::string path = folder;
    if (path.back() != '\\' && path.back() != '/')
        path += '\\';
    path += kLibrary;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return nullptr;
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

std::string PathValue(HKEY key)
{
    char folder[MAX_PATH] = "";
    DWORD size = sizeof folder - 1;
    DWORD type = 0;
    LONG rc = RegQueryValueExA(key, "Path", nullptr, &type, reinterpret_cast<BYTE*>(folder), &size);
    return rc == ERROR_SUCCESS && type == REG_SZ ? std::string(folder) : std::string();
}

// A version key's name as a number to order by: "6.5" above "5.0".
double VersionOf(const char* name)
{
    return std::strtod(name, nullptr);
}

// The program folders the Notes key names: each installed version's own
// key, newest first, then the common "Path" later releases keep.
std::vector<std::string> NotesKeyPaths()
{
    std::vector<std::string> paths;
    HKEY notes;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNotesKey, 0, KEY_READ, &notes) != ERROR_SUCCESS)
        return paths;
    std::vector<std::string> versions;
    char name[256];
    DWORD size = sizeof name;
    for (DWORD i = 0; RegEnumKeyExA(notes, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, size = sizeof name) {
        if (VersionOf(name) > 0)
            versions.push_back(name);
    }
    std::stable_sort(versions.begin(), versions.end(),
                     [](const std::string& a, const std::string& b) { return VersionOf(a.c_str()) > VersionOf(b.c_str()); });
    for (const std::string& version : versions) {
        HKEY key;
        if (RegOpenKeyExA(notes, version.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        paths.push_back(PathValue(key));
        RegCloseKey(key);
    }
    paths.push_back(PathValue(notes));
    RegCloseKey(notes);
    return paths;
}

// The program folder notes.ini names in its "NotesProgram", then the ones
// the Notes key names, then the search path, which the Notes edition
// extends with the Notes folders.
HMODULE FindLibrary(const char* iniPath)
{
    if (HMODULE loaded = GetModuleHandleA(kLibrary))
        return loaded;
    if (iniPath && *iniPath) {
        char folder[MAX_PATH] = "";
        GetPrivateProfileStringA("Notes", "NotesProgram", "", folder, sizeof folder, iniPath);
        if (HMODULE module = LoadFrom(folder))
            return module;
    }
    for (const std::string& folder : NotesKeyPaths()) {
        if (HMODULE module = LoadFrom(folder))
            return module;
    }
    return LoadLibraryA(kLibrary);
}

HMODULE LoadLibraryOnce(const char* iniPath)
{
    LibraryLock lock;
    Library& library = TheLibrary();
    if (library.module)
        return library.module;
    library.module = FindLibrary(iniPath);
    if (!library.module)
        return nullptr;
    NOTES_API_RESOLVE(library.module, &library.functions);
    return library.module;
}

// The folder the function library was loaded from.
std::string LibraryFolder()
{
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(TheLibrary().module, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : 0);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string& MessageBuffer()
{
    static thread_local std::string text;
    return text;
}

LNSTATUS Call(PFN_NotesInitThread initThread)
{
    return initThread ? initThread() : LNERR_NO_FUNCTION;
}

// Opens a database of this machine or a server for one call.
class TemporaryDatabase {
public:
    TemporaryDatabase() = default;
    ~TemporaryDatabase()
    {
        if (m_handle && LNNotes().NSFDbClose)
            LNNotes().NSFDbClose(m_handle);
    }
    TemporaryDatabase(const TemporaryDatabase&) = delete;
    TemporaryDatabase& operator=(const TemporaryDatabase&) = delete;

    LNSTATUS Open(const std::string& server, const std::string& file)
    {
        if (!LNNotes().NSFDbOpen)
            return LNERR_NO_FUNCTION;
        return LNNotes().NSFDbOpen(LNNetworkPath(server, file).c_str(), &m_handle);
    }
    DBHANDLE Handle() const { return m_handle; }

private:
    DBHANDLE m_handle = NULLHANDLE;
};

std::string Environment(const char* name)
{
    char value[1024] = "";
    if (!LNNotes().OSGetEnvironmentString || !LNNotes().OSGetEnvironmentString(name, value, sizeof value - 1))
        return std::string();
    return value;
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
    return g_initialised;
}

LNSTATUS LNRaise(LNSTATUS status)
{
    if (status && status != LNWARN_END_OF_VIEW && LNGetThrowAllErrors())
        throw status;
    return status;
}

HMODULE LNNotesLibrary()
{
    return LoadLibraryOnce(nullptr);
}

const LNNotesFunctions& LNNotes()
{
    LoadLibraryOnce(nullptr);
    return TheLibrary().functions;
}

const char* LNGetErrorMessageText(LNSTATUS status)
{
    std::string& text = MessageBuffer();
    switch (status) {
    case LNERR_NO_LIBRARY: text = "The Notes function library nnotes.dll cannot be loaded"; break;
    case LNERR_NO_FUNCTION: text = "The Notes function library lacks a function this call needs"; break;
    case LNERR_NOT_OPEN: text = "The database or document is not open"; break;
    case LNERR_BAD_TIME: text = "Invalid time or date"; break;
    case LNERR_NO_LOCATION: text = "Location document not found"; break;
    case LNERR_NO_MAIL_FILE: text = "No mail file is set up in notes.ini"; break;
    case LNERR_NOT_KEYWORDS: text = "The form has no such keywords field"; break;
    case LNERR_ITEM_NOT_FOUND: text = "Note item not found"; break;
    default: {
        char message[1024] = "";
        if (LNNotes().OSLoadString)
            LNNotes().OSLoadString(nullptr, ERR(static_cast<STATUS>(status)), message, sizeof message - 1);
        text = message;
        break;
    }
    }
    return text.c_str();
}

namespace {

bool IsPlain(const std::string& text)
{
    for (unsigned char c : text) {
        if (c >= 0x80)
            return false;
    }
    return true;
}

// Where a long text may be cut for the library's 16-bit lengths: between
// two plain characters, which no character set's multi-byte form splits.
size_t PieceEnd(const std::string& text, size_t start)
{
    const size_t limit = 0x4000;
    size_t end = std::min(text.size(), start + limit);
    if (end == text.size())
        return end;
    for (size_t at = end; at > start + 1; --at) {
        const auto before = static_cast<unsigned char>(text[at - 1]), after = static_cast<unsigned char>(text[at]);
        if (before >= 0x20 && before < 0x80 && after >= 0x20 && after < 0x80)
            return at;
    }
    return end;
}

std::string Translate(WORD mode, const std::string& text)
{
    const PFN_OSTranslate translate = LNNotes().OSTranslate;
    if (IsPlain(text) || !translate)
        return text;
    std::string translated;
    for (size_t start = 0; start < text.size();) {
        const size_t end = PieceEnd(text, start);
        // A character takes at most three bytes in either form.
        std::vector<char> out(3 * (end - start) + 1);
        WORD written = translate(mode, text.data() + start, static_cast<WORD>(end - start), out.data(),
                                 static_cast<WORD>(out.size()));
        translated.append(out.data(), written);
        start = end;
    }
    return translated;
}

}  // namespace

std::string LNToLmbcs(const std::string& native)
{
    return Translate(OS_TRANSLATE_NATIVE_TO_LMBCS, native);
}

std::string LNToNative(const std::string& lmbcs)
{
    return Translate(OS_TRANSLATE_LMBCS_TO_NATIVE, lmbcs);
}

std::string LNNetworkPath(const std::string& server, const std::string& file)
{
    if (server.empty() || !LNNotes().OSPathNetConstruct)
        return file;
    char path[MAXPATH] = "";
    if (LNNotes().OSPathNetConstruct(nullptr, server.c_str(), file.c_str(), path))
        return file;
    return path;
}

LNSTATUS LNNotesSession::Initialize(int, int, char**, const char* iniPath)
{
    if (!LoadLibraryOnce(iniPath))
        return LNRaise(LNERR_NO_LIBRARY);
    if (!LNNotes().NotesInitExtended)
        return LNRaise(LNERR_NO_FUNCTION);
    // The runtime finds its program files through argv[0].
    std::string program = LibraryFolder();
    std::string ini = iniPath && *iniPath ? std::string("=") + iniPath : std::string();
    char* argv[] = {&program[0], ini.empty() ? nullptr : &ini[0], nullptr};
    STATUS status = LNNotes().NotesInitExtended(ini.empty() ? 1 : 2, argv);
    if (status == 0)
        InterlockedExchange(&g_initialised, TRUE);
    return LNRaise(status);
}

LNSTATUS LNNotesSession::Term(int)
{
    if (!InterlockedExchange(&g_initialised, FALSE))
        return 0;
    if (LNNotes().NotesTerm)
        LNNotes().NotesTerm();
    return 0;
}

LNSTATUS LNNotesSession::InitThread()
{
    return LNRaise(Call(LNNotes().NotesInitThread));
}

LNSTATUS LNNotesSession::TermThread()
{
    if (LNNotes().NotesTermThread)
        LNNotes().NotesTermThread();
    return 0;
}

LNSTATUS LNNotesSession::GetUserNameText(LNString* name) const
{
    if (!LNNotes().SECKFMGetUserName)
        return LNRaise(LNERR_NO_FUNCTION);
    char text[MAXUSERNAME + 1] = "";
    LNSTATUS status = LNNotes().SECKFMGetUserName(text);
    if (status == 0)
        *name = LNString(LNToNative(text).c_str());
    return LNRaise(status);
}

LNSTATUS LNNotesSession::GetDataDirectory(LNString* folder) const
{
    if (!LNNotes().OSGetDataDirectory)
        return LNRaise(LNERR_NO_FUNCTION);
    char text[MAXPATH + 1] = "";
    LNNotes().OSGetDataDirectory(text);
    *folder = LNString(text);
    return 0;
}

// The runtime's build, as its databases carry it: that of the address book
// of this machine or of the server.
LNSTATUS LNNotesSession::GetNotesVersion(WORD* build, const LNString& server) const
{
    TemporaryDatabase names;
    LNSTATUS status = names.Open(server.GetPlatformTextPtr(), "names.nsf");
    if (status == 0)
        status = LNNotes().NSFDbGetBuildVersion ? LNNotes().NSFDbGetBuildVersion(names.Handle(), build)
                                                : LNERR_NO_FUNCTION;
    return LNRaise(status);
}

// notes.ini's "Location" is the document's name, its note id in hex and the
// user; the document must be of form "Location" and have that name.
LNSTATUS LNNotesSession::GetLocationDocument(LNDocument* location) const
{
    const std::string value = Environment("Location");
    const size_t comma = value.find(',');
    if (value.empty() || comma == std::string::npos)
        return LNRaise(LNERR_NO_LOCATION);
    const std::string name = value.substr(0, comma);
    const NOTEID id = static_cast<NOTEID>(std::strtoul(value.c_str() + comma + 1, nullptr, 16));
    DBHANDLE names = NULLHANDLE;
    if (!LNNotes().NSFDbOpen)
        return LNRaise(LNERR_NO_FUNCTION);
    if (id == 0 || LNNotes().NSFDbOpen("names.nsf", &names) != 0)
        return LNRaise(LNERR_NO_LOCATION);
    location->Bind(names, id, true);
    LNText form, title;
    bool found = false;
    {
        ReturnedErrors returned;
        found = location->Open(0) == 0 && location->GetItem("Form", &form) == 0
                && location->GetItem("Name", &title) == 0
                && lstrcmpiA(form[0].GetPlatformTextPtr(), "Location") == 0
                && lstrcmpiA(title[0].GetPlatformTextPtr(), name.c_str()) == 0;
    }
    if (!found) {
        location->Close();
        return LNRaise(LNERR_NO_LOCATION);
    }
    return 0;
}

LNSTATUS LNNotesSession::GetDatabase(const char* path, LNDatabase* database, const char* server) const
{
    if (!database || !path)
        return LNRaise(LNERR_NOT_OPEN);
    database->Bind(server, path);
    return 0;
}

LNSTATUS LNNotesSession::GetMailDatabase(LNDatabase* database) const
{
    const std::string file = Environment("MailFile");
    if (file.empty() || !database)
        return LNRaise(LNERR_NO_MAIL_FILE);
    database->Bind(Environment("MailServer").c_str(), file.c_str());
    return 0;
}

LNSTATUS LNNotesSession::GetCalendar(LNCalendar* calendar, const char* server, const char* path,
                                     const char* user) const
{
    // No mail file named: the one notes.ini names.
    std::string file = path ? path : "";
    std::string host = server ? server : "";
    if (file.empty()) {
        file = Environment("MailFile");
        host = Environment("MailServer");
    }
    if (!calendar || file.empty())
        return LNRaise(LNERR_NO_MAIL_FILE);
    TemporaryDatabase mail;
    if (LNSTATUS status = mail.Open(host, file))
        return LNRaise(status);
    calendar->Bind(host.c_str(), file.c_str(), user);
    return 0;
}

// The server list is a text list in memory: its count, a length per name,
// then the names.
LNSTATUS LNNotesSession::GetServerNames(LNText* names) const
{
    const LNNotesFunctions& api = LNNotes();
    if (!api.NSGetServerList || !api.OSLockObject || !api.OSUnlockObject || !api.OSMemFree)
        return LNRaise(LNERR_NO_FUNCTION);
    DHANDLE list = NULLHANDLE;
    if (LNSTATUS status = api.NSGetServerList(nullptr, &list))
        return LNRaise(status);
    names->DeleteAll();
    if (const BYTE* data = static_cast<const BYTE*>(api.OSLockObject(list))) {
        WORD count;
        std::memcpy(&count, data, 2);
        const char* text = reinterpret_cast<const char*>(data + 2 + 2 * count);
        for (WORD i = 0; i < count; ++i) {
            WORD length;
            std::memcpy(&length, data + 2 + 2 * i, 2);
            names->Append(std::string(text, length).c_str());
            text += length;
        }
        api.OSUnlockObject(list);
    }
    api.OSMemFree(list);
    return 0;
}

LNSTATUS LNNotesSession::CreateDatabaseFromTemplate(const char* templatePath, const char* templateServer,
                                                    const char* path, const char* server,
                                                    const LNCreateDatabaseOptions&)
{
    const LNNotesFunctions& api = LNNotes();
    if (!api.NSFDbCreate || !api.NSFDbCopy || !api.TimeConstant)
        return LNRaise(LNERR_NO_FUNCTION);
    TemporaryDatabase source;
    if (LNSTATUS status = source.Open(templateServer ? templateServer : "", templatePath))
        return LNRaise(status);
    const std::string target = LNNetworkPath(server ? server : "", path);
    if (LNSTATUS status = api.NSFDbCreate(target.c_str(), DBCLASS_BY_EXTENSION, FALSE))
        return LNRaise(status);
    TemporaryDatabase created;
    if (LNSTATUS status = created.Open(server ? server : "", path))
        return LNRaise(status);
    TIMEDATE all;
    api.TimeConstant(TIMEDATE_WILDCARD, &all);
    return LNRaise(api.NSFDbCopy(source.Handle(), created.Handle(), all, NOTE_CLASS_ALLNONDATA));
}

void LNText::GetText(LNString* joined) const
{
    std::string text;
    for (size_t i = 0; i < m_values.size(); ++i)
        text += (i ? ";" : "") + m_values[i];
    *joined = text.c_str();
}
