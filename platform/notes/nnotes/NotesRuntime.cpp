// nnotes.dll: the runtime of the process (initialised once, then registered
// per thread), its notes.ini, the open database handles, and the calls that
// a test told to fail.
#include <cstring>
#include <map>
#include <string>

#include "Runtime.h"

Runtime& State()
{
    static Runtime runtime;
    return runtime;
}

namespace {

// Whether `call` is among the names of the REG_MULTI_SZ `value`.
bool Listed(const char* value, const char* call)
{
    char names[4096];
    DWORD size = sizeof names - 2;
    DWORD type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, NOTES_STANDIN_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    LONG rc = RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(names), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_MULTI_SZ)
        return false;
    names[size] = names[size + 1] = 0;
    for (const char* name = names; *name; name += std::strlen(name) + 1) {
        if (std::strcmp(name, call) == 0)
            return true;
    }
    return false;
}

// Moves a stopped clock on by a minute.
void Tick()
{
    DWORD now[2];
    NotesNow(now);
    SYSTEMTIME fields = {};
    fields.wYear = static_cast<WORD>(now[0] / 10000);
    fields.wMonth = static_cast<WORD>(now[0] / 100 % 100);
    fields.wDay = static_cast<WORD>(now[0] % 100);
    fields.wHour = static_cast<WORD>(now[1] / 10000);
    fields.wMinute = static_cast<WORD>(now[1] / 100 % 100);
    fields.wSecond = static_cast<WORD>(now[1] % 100);
    FILETIME time;
    if (!SystemTimeToFileTime(&fields, &time))
        return;
    ULARGE_INTEGER value = {{time.dwLowDateTime, time.dwHighDateTime}};
    value.QuadPart += 60ull * 10000000ull;
    time.dwLowDateTime = value.LowPart;
    time.dwHighDateTime = value.HighPart;
    FileTimeToSystemTime(&time, &fields);
    char text[32];
    wsprintfA(text, "%04u%02u%02u-%02u%02u%02u", fields.wYear, fields.wMonth, fields.wDay, fields.wHour, fields.wMinute,
              fields.wSecond);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, NOTES_STANDIN_KEY, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "Clock", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), lstrlenA(text) + 1);
    RegCloseKey(key);
}

}  // namespace

bool ToldToFail(const char* call)
{
    return Listed("FailCalls", call);
}

void HoldIfTold(const char* call)
{
    if (!Listed("HoldCalls", call))
        return;
    HANDLE goOn = CreateEventA(nullptr, TRUE, FALSE, NOTES_STANDIN_GO_ON_EVENT);
    if (goOn) {
        WaitForSingleObject(goOn, 60000);
        CloseHandle(goOn);
    }
}

NOTESSTATUS CheckLocked(const char* call)
{
    if (Listed("TickCalls", call))
        Tick();
    if (ToldToFail(call))
        return NOTES_ERR_TOLD_TO_FAIL;
    if (Listed("ThrowCalls", call))
        return NOTES_ERR_TOLD_TO_THROW;
    if (!State().initialised)
        return NOTES_ERR_NOT_INITIALIZED;
    if (State().threads.find(GetCurrentThreadId()) == State().threads.end())
        return NOTES_ERR_THREAD_NOT_REGISTERED;
    return 0;
}

const std::string* DatabaseFile(NOTESDBHANDLE handle)
{
    auto database = State().databases.find(handle);
    return database == State().databases.end() ? nullptr : &database->second;
}

namespace {

NOTESSTATUS CopyOut(const std::string& text, char* buffer, WORD size)
{
    if (!buffer || size == 0)
        return NOTES_ERR_BAD_HANDLE;
    lstrcpynA(buffer, text.c_str(), size);
    return 0;
}

bool IsAbsolute(const std::string& path)
{
    return path.size() > 1 && (path[1] == ':' || (path[0] == '\\' && path[1] == '\\'));
}

std::string Folder(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

extern "C" {

NOTESSTATUS NotesRuntimeInit(const char* iniPath)
{
    // Outside the lock: the process's other calls go on meanwhile.
    HoldIfTold("Initialize");
    Locked locked;
    if (ToldToFail("Initialize"))
        return NOTES_ERR_TOLD_TO_FAIL;
    if (State().initialised)
        return NOTES_ERR_ALREADY_INITIALIZED;
    char found[MAX_PATH] = "";
    if (!iniPath || !*iniPath) {
        if (!SearchPathA(nullptr, "notes.ini", nullptr, MAX_PATH, found, nullptr))
            return NOTES_ERR_NO_INI;
        iniPath = found;
    }
    NotesIniValues ini;
    if (!ReadNotesIni(iniPath, &ini))
        return NOTES_ERR_NO_INI;
    std::string directory;
    if (!FindIniValue(ini, "Directory", &directory) || directory.empty())
        directory = Folder(iniPath);
    State().ini = ini;
    State().dataDirectory = directory;
    State().initialised = true;
    State().threads.clear();
    State().threads[GetCurrentThreadId()] = 1;
    return 0;
}

NOTESSTATUS NotesRuntimeTerm(void)
{
    Locked locked;
    if (ToldToFail("Term"))
        return NOTES_ERR_TOLD_TO_FAIL;
    if (!State().initialised)
        return NOTES_ERR_NOT_INITIALIZED;
    State().initialised = false;
    State().ini.clear();
    State().threads.clear();
    State().databases.clear();
    State().notes.clear();
    State().blocks.clear();
    return 0;
}

BOOL NotesRuntimeIsInitialized(void)
{
    Locked locked;
    return State().initialised ? TRUE : FALSE;
}

NOTESSTATUS NotesThreadInit(void)
{
    Locked locked;
    if (ToldToFail("InitThread"))
        return NOTES_ERR_TOLD_TO_FAIL;
    if (!State().initialised)
        return NOTES_ERR_NOT_INITIALIZED;
    ++State().threads[GetCurrentThreadId()];
    return 0;
}

NOTESSTATUS NotesThreadTerm(void)
{
    Locked locked;
    if (ToldToFail("TermThread"))
        return NOTES_ERR_TOLD_TO_FAIL;
    auto thread = State().threads.find(GetCurrentThreadId());
    if (thread == State().threads.end())
        return NOTES_ERR_THREAD_NOT_REGISTERED;
    if (--thread->second == 0)
        State().threads.erase(thread);
    return 0;
}

NOTESSTATUS NotesCheckCall(const char* name)
{
    Locked locked;
    return CheckLocked(name);
}

NOTESSTATUS NotesCheckItemWrite(const char* item)
{
    return item && Listed("FailItems", item) ? NOTES_ERR_TOLD_TO_FAIL : 0;
}

const char* NotesStatusText(NOTESSTATUS status)
{
    switch (status) {
    case 0: return "No error";
    case NOTES_ERR_FILE_NOT_FOUND: return "File does not exist";
    case NOTES_ERR_NOT_INITIALIZED: return "The Notes runtime has not been initialized";
    case NOTES_ERR_THREAD_NOT_REGISTERED: return "This thread has not been initialized for Notes";
    case NOTES_ERR_ALREADY_INITIALIZED: return "The Notes runtime is already initialized";
    case NOTES_ERR_NO_INI: return "Unable to read notes.ini";
    case NOTES_ERR_BAD_HANDLE: return "Invalid handle";
    case NOTES_ERR_ITEM_NOT_FOUND: return "Note item not found";
    case NOTES_ERR_NO_LOCATION: return "Location document not found";
    case NOTES_ERR_NO_USER: return "Unable to read the user ID file";
    case NOTES_ERR_SERVER_NOT_RESPONDING: return "Server not responding";
    case NOTES_ERR_NOT_FOUND: return "Not found";
    case NOTES_ERR_FORMULA: return "Formula error";
    case NOTES_ERR_BAD_TIME: return "Invalid time or date";
    case NOTES_ERR_TOLD_TO_FAIL: return "The call failed as the test asked";
    case NOTES_ERR_TOLD_TO_THROW: return "The call ran out of memory as the test asked";
    case NOTES_ERR_FILE_EXISTS: return "File already exists";
    case NOTES_ERR_NO_FORM: return "Cannot locate the form";
    case NOTES_ERR_NAME_EXISTS: return "A view or folder of that name already exists";
    case NOTES_ERR_SUMMARY_TOO_BIG: return "A summary text item is larger than 15K";
    default: return "Unknown Notes error";
    }
}

BOOL NotesEnvironmentText(const char* name, char* buffer, WORD size)
{
    Locked locked;
    std::string value;
    if (CheckLocked("NotesEnvironmentText") || !name || !FindIniValue(State().ini, name, &value))
        return FALSE;
    return CopyOut(value, buffer, size) == 0;
}

NOTESSTATUS NotesNameParse(const char* name, NOTES_NAME_PARTS* parts)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NotesNameParse"))
        return status;
    if (!name || !parts)
        return NOTES_ERR_BAD_HANDLE;
    std::memset(parts, 0, sizeof *parts);
    // Components are "XX=value" joined by "/"; without labels the first is
    // the common name, the last the organisation, the others units.
    const char* pieces[16];
    DWORD lengths[16];
    int count = 0;
    for (const char* p = name; *p && count < 16;) {
        const char* end = std::strchr(p, '/');
        if (!end)
            end = p + std::strlen(p);
        pieces[count] = p;
        lengths[count++] = static_cast<DWORD>(end - p);
        p = *end ? end + 1 : end;
    }
    int units = 0;
    for (int i = 0; i < count; ++i) {
        const char* equals = static_cast<const char*>(std::memchr(pieces[i], '=', lengths[i]));
        NOTES_NAME_PART part = {pieces[i], lengths[i]};
        std::string label;
        if (equals) {
            label.assign(pieces[i], equals - pieces[i]);
            part = {equals + 1, static_cast<DWORD>(lengths[i] - (equals + 1 - pieces[i]))};
        } else {
            label = i == 0 ? "CN" : (i == count - 1 && count > 1) ? "O" : "OU";
        }
        if (lstrcmpiA(label.c_str(), "CN") == 0)
            parts->common = part;
        else if (lstrcmpiA(label.c_str(), "OU") == 0 && units < 4)
            parts->orgUnit[units++] = part;
        else if (lstrcmpiA(label.c_str(), "O") == 0)
            parts->organization = part;
        else if (lstrcmpiA(label.c_str(), "C") == 0)
            parts->country = part;
        else if (lstrcmpiA(label.c_str(), "A") == 0)
            parts->admd = part;
        else if (lstrcmpiA(label.c_str(), "P") == 0)
            parts->prmd = part;
        else if (lstrcmpiA(label.c_str(), "Q") == 0)
            parts->generation = part;
    }
    return 0;
}

NOTESSTATUS NotesDataDirectory(char* buffer, WORD size)
{
    Locked locked;
    return State().initialised ? CopyOut(State().dataDirectory, buffer, size) : NOTES_ERR_NOT_INITIALIZED;
}

// The user is the one whose ID file notes.ini names; the file's first line
// holds the user's full name.
NOTESSTATUS NotesUserName(char* buffer, WORD size)
{
    Locked locked;
    std::string idFile;
    if (!FindIniValue(State().ini, "KeyFileName", &idFile) || idFile.empty())
        return NOTES_ERR_NO_USER;
    if (!IsAbsolute(idFile))
        idFile = State().dataDirectory + "\\" + idFile;
    HANDLE file = CreateFileA(idFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return NOTES_ERR_NO_USER;
    char text[512] = "";
    DWORD read = 0;
    BOOL ok = ReadFile(file, text, sizeof text - 1, &read, nullptr);
    CloseHandle(file);
    if (!ok)
        return NOTES_ERR_NO_USER;
    text[read] = 0;
    text[std::strcspn(text, "\r\n")] = 0;
    return CopyOut(text, buffer, size);
}

NOTESSTATUS NotesBuildNumber(WORD* build)
{
    DWORD value = NOTES_STANDIN_DEFAULT_BUILD;
    DWORD size = sizeof value;
    DWORD type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, NOTES_STANDIN_KEY, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        if (RegQueryValueExA(key, "Build", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS
            || type != REG_DWORD)
            value = NOTES_STANDIN_DEFAULT_BUILD;
        RegCloseKey(key);
    }
    *build = static_cast<WORD>(value);
    return 0;
}

NOTESSTATUS NotesDatabaseOpen(const char* server, const char* path, NOTESDBHANDLE* handle)
{
    Locked locked;
    if (!State().initialised)
        return NOTES_ERR_NOT_INITIALIZED;
    if (!path || !*path || !handle)
        return NOTES_ERR_FILE_NOT_FOUND;
    std::string file = path;
    // A network path names its server itself.
    size_t bang = file.find("!!");
    std::string named;
    if ((!server || !*server) && bang != std::string::npos) {
        named = file.substr(0, bang);
        server = named.c_str();
        file = file.substr(bang + 2);
    }
    if (!IsAbsolute(file)) {
        std::string folder = State().dataDirectory;
        if (server && *server) {
            folder += "\\" + ServerFolder(server);
            if (GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES)
                return NOTES_ERR_SERVER_NOT_RESPONDING;
        }
        file = folder + "\\" + file;
    }
    DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return NOTES_ERR_FILE_NOT_FOUND;
    *handle = State().nextHandle++;
    State().databases[*handle] = file;
    return 0;
}

NOTESSTATUS NotesDatabaseFile(NOTESDBHANDLE handle, char* buffer, WORD size)
{
    Locked locked;
    auto database = State().databases.find(handle);
    return database == State().databases.end() ? NOTES_ERR_BAD_HANDLE : CopyOut(database->second, buffer, size);
}

NOTESSTATUS NotesDatabaseClose(NOTESDBHANDLE handle)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NotesDatabaseClose"))
        return status;
    return State().databases.erase(handle) ? 0 : NOTES_ERR_BAD_HANDLE;
}

void NotesTimeZone(NOTES_TIME* time)
{
    TIME_ZONE_INFORMATION zone;
    DWORD which = GetTimeZoneInformation(&zone);
    time->zone = static_cast<int>(zone.Bias);
    time->dst = which == TIME_ZONE_ID_DAYLIGHT;
}

NOTESSTATUS NotesLocalTimeToStamp(NOTES_TIME* time)
{
    SYSTEMTIME fields = {};
    fields.wYear = static_cast<WORD>(time->year);
    fields.wMonth = static_cast<WORD>(time->month);
    fields.wDay = static_cast<WORD>(time->day);
    fields.wHour = static_cast<WORD>(time->hour);
    fields.wMinute = static_cast<WORD>(time->minute);
    fields.wSecond = static_cast<WORD>(time->second);
    FILETIME checked;
    if (!SystemTimeToFileTime(&fields, &checked))
        return NOTES_ERR_BAD_TIME;
    time->stamp.innards[0] = static_cast<DWORD>(time->year * 10000 + time->month * 100 + time->day);
    time->stamp.innards[1] = static_cast<DWORD>(time->hour * 10000 + time->minute * 100 + time->second);
    return 0;
}

}  // extern "C"
