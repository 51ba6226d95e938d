// nnotes.dll: the runtime of the process (initialised once, then registered
// per thread), its notes.ini and user, status texts, the handles it gives
// out, and the calls a test told to fail.
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

// The names of the REG_MULTI_SZ `value`, "" when there are none.
std::string ListValue(const char* value)
{
    char names[4096];
    DWORD size = sizeof names - 2;
    DWORD type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, NOTES_STANDIN_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::string();
    LONG rc = RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(names), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_MULTI_SZ)
        return std::string();
    names[size] = names[size + 1] = 0;
    return std::string(names, size);
}

// Whether `call` is among the names of the REG_MULTI_SZ `value`.
bool Listed(const char* value, const char* call)
{
    const std::string names = ListValue(value);
    for (const char* name = names.c_str(); name < names.c_str() + names.size() && *name;
         name += std::strlen(name) + 1) {
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

BOOL CopyOut(const std::string& text, char* buffer, WORD size)
{
    if (!buffer || size == 0)
        return FALSE;
    lstrcpynA(buffer, text.c_str(), size);
    return TRUE;
}

bool IsAbsolute(const std::string& path)
{
    return path.size() > 1 && (path[1] == ':' || (path[0] == '\\' && path[1] == '\\'));
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

const char* StatusText(STATUS status)
{
    switch (ERR(status)) {
    case 0: return "No error";
    case NOTES_ERR_NOT_FOUND: return "Not found";
    case NOTES_ERR_FILE_NOT_FOUND: return "File does not exist";
    case NOTES_ERR_FILE_EXISTS: return "File already exists";
    case NOTES_ERR_NOT_INITIALIZED: return "The Notes runtime has not been initialized";
    case NOTES_ERR_THREAD_NOT_REGISTERED: return "This thread has not been initialized for Notes";
    case NOTES_ERR_ALREADY_INITIALIZED: return "The Notes runtime is already initialized";
    case NOTES_ERR_NO_INI: return "Unable to read notes.ini";
    case NOTES_ERR_BAD_HANDLE: return "Invalid handle";
    case NOTES_ERR_MEMORY: return "Insufficient memory";
    case NOTES_ERR_ITEM_NOT_FOUND: return "Note item not found";
    case NOTES_ERR_NO_USER: return "Unable to read the user ID file";
    case NOTES_ERR_FORMULA: return "Formula error";
    case NOTES_ERR_BAD_TIME: return "Invalid time or date";
    case NOTES_ERR_NO_FORM: return "Cannot locate the form";
    case NOTES_ERR_NAME_EXISTS: return "A view or folder of that name already exists";
    case NOTES_ERR_SUMMARY_TOO_BIG: return "A summary text item is larger than 15K";
    case NOTES_ERR_SERVER_NOT_RESPONDING: return "Server not responding";
    case NOTES_ERR_TOLD_TO_FAIL: return "The call failed as the test asked";
    default: return "Unknown Notes error";
    }
}

// The ini path of NotesInitExtended's arguments: the one given as "=path",
// else notes.ini on the search path.
bool IniPath(int argc, char** argv, std::string* path)
{
    for (int i = 1; i < argc && argv; ++i) {
        if (argv[i] && argv[i][0] == '=' && argv[i][1]) {
            *path = argv[i] + 1;
            return true;
        }
    }
    char found[MAX_PATH] = "";
    if (!SearchPathA(nullptr, "notes.ini", nullptr, MAX_PATH, found, nullptr))
        return false;
    *path = found;
    return true;
}

// Whether argv[0] leads to the folder of this library, where the runtime
// finds its program files: the folder itself, or a program in it.
bool IsProgramFolder(const char* program)
{
    if (!program || !*program)
        return false;
    std::string folder = program;
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        folder = FolderOf(folder);
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&IsProgramFolder), &self);
    char library[MAX_PATH] = "";
    GetModuleFileNameA(self, library, MAX_PATH);
    char wanted[MAX_PATH] = "", given[MAX_PATH] = "";
    return GetFullPathNameA(FolderOf(library).c_str(), MAX_PATH, wanted, nullptr)
           && GetFullPathNameA(folder.c_str(), MAX_PATH, given, nullptr) && lstrcmpiA(wanted, given) == 0;
}

// Tells a test how many thread registrations NotesTerm found open.
void RecordOpenThreads(DWORD initialising)
{
    DWORD open = 0;
    for (const auto& thread : State().threads) {
        if (thread.first != initialising)
            open += static_cast<DWORD>(thread.second);
    }
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, NOTES_STANDIN_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "OpenThreads", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&open), sizeof open);
    RegCloseKey(key);
}

// A call is told to fail when its name is listed, or "name:N" is and this
// is its Nth call or a later one since the list was set.
bool FailListed(const char* call)
{
    const std::string names = ListValue("FailCalls");
    Runtime& state = State();
    if (names != state.failCalls) {
        state.failCalls = names;
        state.callCounts.clear();
    }
    const int count = ++state.callCounts[call];
    const size_t length = std::strlen(call);
    for (const char* name = names.c_str(); name < names.c_str() + names.size() && *name;
         name += std::strlen(name) + 1) {
        if (std::strcmp(name, call) == 0)
            return true;
        if (std::strncmp(name, call, length) == 0 && name[length] == ':' && count >= std::atoi(name + length + 1))
            return true;
    }
    return false;
}

}  // namespace

bool ToldToFail(const char* call)
{
    return FailListed(call);
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

STATUS CheckLocked(const char* call)
{
    if (Listed("TickCalls", call))
        Tick();
    if (FailListed(call))
        return NOTES_ERR_TOLD_TO_FAIL;
    if (Listed("MemoryCalls", call))
        return NOTES_ERR_MEMORY;
    if (!State().initialised)
        return NOTES_ERR_NOT_INITIALIZED;
    if (State().threads.find(GetCurrentThreadId()) == State().threads.end())
        return NOTES_ERR_THREAD_NOT_REGISTERED;
    return 0;
}

STATUS CheckItemWrite(const std::string& item)
{
    return Listed("FailItems", item.c_str()) ? NOTES_ERR_TOLD_TO_FAIL : 0;
}

DHANDLE NewHandle()
{
    return State().nextHandle++;
}

const std::string* DatabaseFile(DBHANDLE handle)
{
    auto database = State().databases.find(handle);
    return database == State().databases.end() ? nullptr : &database->second;
}

OpenNote* FindOpen(NOTEHANDLE handle)
{
    auto note = State().notes.find(handle);
    return note == State().notes.end() ? nullptr : &note->second;
}

DHANDLE KeepMemory(const std::vector<BYTE>& bytes)
{
    DHANDLE handle = NewHandle();
    State().memory[handle] = bytes;
    return handle;
}

std::vector<NOTEID>* FindTable(DHANDLE handle)
{
    auto table = State().tables.find(handle);
    return table == State().tables.end() ? nullptr : &table->second;
}

DHANDLE KeepTable(const std::vector<NOTEID>& ids)
{
    DHANDLE handle = NewHandle();
    State().tables[handle] = ids;
    return handle;
}

std::string Counted(const char* text, WORD length)
{
    if (!text)
        return std::string();
    return length == 0xFFFF ? std::string(text) : std::string(text, length);
}

bool SameText(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

std::string FileNameOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

NOTES_EXPORT STATUS LNPUBLIC NotesInitExtended(int argc, char** argv)
{
    // Outside the lock: the process's other calls go on meanwhile.
    HoldIfTold("NotesInitExtended");
    Locked locked;
    if (ToldToFail("NotesInitExtended"))
        return NOTES_ERR_TOLD_TO_FAIL;
    if (State().initialised)
        return NOTES_ERR_ALREADY_INITIALIZED;
    if (!IsProgramFolder(argc > 0 && argv ? argv[0] : nullptr))
        return NOTES_ERR_NO_PROGRAM;
    std::string iniPath;
    NotesIniValues ini;
    if (!IniPath(argc, argv, &iniPath) || !ReadNotesIni(iniPath, &ini))
        return NOTES_ERR_NO_INI;
    std::string directory;
    if (!FindIniValue(ini, "Directory", &directory) || directory.empty())
        directory = FolderOf(iniPath);
    State().ini = ini;
    State().dataDirectory = directory;
    State().initialised = true;
    State().threads.clear();
    State().threads[GetCurrentThreadId()] = 1;
    State().initialisingThread = GetCurrentThreadId();
    return 0;
}

NOTES_EXPORT void LNPUBLIC NotesTerm(void)
{
    Locked locked;
    Runtime& state = State();
    if (state.initialised)
        RecordOpenThreads(state.initialisingThread);
    state.initialised = false;
    state.ini.clear();
    state.threads.clear();
    state.databases.clear();
    state.notes.clear();
    state.memory.clear();
    state.tables.clear();
    state.collections.clear();
    state.compounds.clear();
}

NOTES_EXPORT STATUS LNPUBLIC NotesInitThread(void)
{
    Locked locked;
    if (ToldToFail("NotesInitThread"))
        return NOTES_ERR_TOLD_TO_FAIL;
    if (!State().initialised)
        return NOTES_ERR_NOT_INITIALIZED;
    ++State().threads[GetCurrentThreadId()];
    return 0;
}

NOTES_EXPORT void LNPUBLIC NotesTermThread(void)
{
    Locked locked;
    auto thread = State().threads.find(GetCurrentThreadId());
    if (thread != State().threads.end() && --thread->second == 0)
        State().threads.erase(thread);
}

NOTES_EXPORT BOOL LNPUBLIC OSGetEnvironmentString(const char* name, char* buffer, WORD size)
{
    Locked locked;
    std::string value;
    if (CheckLocked("OSGetEnvironmentString") || !name || !FindIniValue(State().ini, name, &value))
        return FALSE;
    return CopyOut(value, buffer, size);
}

NOTES_EXPORT WORD LNPUBLIC OSLoadString(HMODULE, STATUS code, char* buffer, WORD size)
{
    if (!buffer || size == 0)
        return 0;
    lstrcpynA(buffer, StatusText(code), size);
    return static_cast<WORD>(lstrlenA(buffer));
}

// Between the Windows code page and LMBCS; answers the bytes written.
NOTES_EXPORT WORD LNPUBLIC OSTranslate(WORD mode, const char* in, WORD inLength, char* out, WORD outLength)
{
    if (!in || !out || outLength == 0
        || (mode != OS_TRANSLATE_NATIVE_TO_LMBCS && mode != OS_TRANSLATE_LMBCS_TO_NATIVE))
        return 0;
    const std::string text = Counted(in, inLength == 0xFFFF ? 0xFFFF : inLength);
    const std::string translated =
        mode == OS_TRANSLATE_NATIVE_TO_LMBCS ? NotesLmbcsOfNative(text) : NotesNativeOfLmbcs(text);
    const size_t written = translated.size() < outLength ? translated.size() : outLength;
    std::memcpy(out, translated.data(), written);
    if (written < outLength)
        out[written] = 0;
    return static_cast<WORD>(written);
}

NOTES_EXPORT WORD LNPUBLIC OSGetDataDirectory(char* path)
{
    Locked locked;
    if (!path || !State().initialised)
        return 0;
    lstrcpynA(path, State().dataDirectory.c_str(), MAXPATH);
    return static_cast<WORD>(lstrlenA(path));
}

// The user is the one whose ID file notes.ini names; the file's first line
// holds the user's full name.
NOTES_EXPORT STATUS LNPUBLIC SECKFMGetUserName(char* userName)
{
    Locked locked;
    if (STATUS status = CheckLocked("SECKFMGetUserName"))
        return status;
    std::string idFile;
    if (!userName || !FindIniValue(State().ini, "KeyFileName", &idFile) || idFile.empty())
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
    // The name holds MAXUSERNAME (256) bytes and its terminator.
    lstrcpynA(userName, text, 257);
    return 0;
}

// Components are "XX=value" joined by "/"; without labels the first is the
// common name, the last the organisation, the others units. They point into
// the name; only the V4 components are filled, within `size`.
NOTES_EXPORT STATUS LNPUBLIC DNParse(DWORD, const char*, const char* name, DN_COMPONENTS* parts, WORD size)
{
    Locked locked;
    if (STATUS status = CheckLocked("DNParse"))
        return status;
    if (!name || !parts || size < sizeof(DN_COMPONENTS))
        return NOTES_ERR_BAD_HANDLE;
    std::memset(parts, 0, sizeof *parts);
    const char* pieces[16];
    WORD lengths[16];
    int count = 0;
    for (const char* p = name; *p && count < 16;) {
        const char* end = std::strchr(p, '/');
        if (!end)
            end = p + std::strlen(p);
        pieces[count] = p;
        lengths[count++] = static_cast<WORD>(end - p);
        p = *end ? end + 1 : end;
    }
    int units = 0;
    for (int i = 0; i < count; ++i) {
        const char* equals = static_cast<const char*>(std::memchr(pieces[i], '=', lengths[i]));
        char* text = const_cast<char*>(pieces[i]);
        WORD length = lengths[i];
        std::string label;
        if (equals) {
            label.assign(pieces[i], equals - pieces[i]);
            length = static_cast<WORD>(lengths[i] - (equals + 1 - pieces[i]));
            text = const_cast<char*>(equals + 1);
        } else {
            label = i == 0 ? "CN" : (i == count - 1 && count > 1) ? "O" : "OU";
        }
        if (SameText(label, "CN")) {
            parts->CN = text;
            parts->CNLength = length;
        } else if (SameText(label, "OU") && units < DN_OUNITS) {
            parts->OU[units] = text;
            parts->OULength[units++] = length;
        } else if (SameText(label, "O")) {
            parts->O = text;
            parts->OLength = length;
        } else if (SameText(label, "C")) {
            parts->C = text;
            parts->CLength = length;
        } else if (SameText(label, "A")) {
            parts->ADMD = text;
            parts->ADMDLength = length;
        } else if (SameText(label, "P")) {
            parts->PRMD = text;
            parts->PRMDLength = length;
        } else if (SameText(label, "Q")) {
            parts->Q = text;
            parts->QLength = length;
        }
    }
    return 0;
}

NOTES_EXPORT void* LNPUBLIC OSLockObject(DHANDLE handle)
{
    Locked locked;
    auto block = State().memory.find(handle);
    return block == State().memory.end() || block->second.empty() ? nullptr : block->second.data();
}

NOTES_EXPORT BOOL LNPUBLIC OSUnlockObject(DHANDLE handle)
{
    Locked locked;
    return State().memory.count(handle) ? TRUE : FALSE;
}

NOTES_EXPORT STATUS LNPUBLIC OSMemFree(DHANDLE handle)
{
    Locked locked;
    return State().memory.erase(handle) ? 0 : NOTES_ERR_BAD_HANDLE;
}
