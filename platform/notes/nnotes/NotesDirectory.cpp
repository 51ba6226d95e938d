// nnotes.dll: the address books of this machine and of servers, memory
// handed out by the library, and new database files.
#include <string>
#include <vector>

#include "Runtime.h"

namespace {

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The comma-separated names of a "NAMES" value, blanks trimmed.
std::vector<std::string> SplitNames(const std::string& value)
{
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= value.size()) {
        size_t comma = value.find(',', start);
        std::string name = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        size_t first = name.find_first_not_of(' ');
        if (first != std::string::npos)
            names.push_back(name.substr(first, name.find_last_not_of(' ') - first + 1));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return names;
}

}  // namespace

extern "C" {

// This machine's books are notes.ini's "NAMES" (absent: "names.nsf"; empty:
// none); a server's are its own notes.ini's "NAMES" in its folder, else its
// "names.nsf" when it has one.
NOTESSTATUS NotesAddressBooks(const char* server, WORD, WORD* count, WORD* length, NOTESHANDLE* memory)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NotesAddressBooks"))
        return status;
    if (!count || !length || !memory)
        return NOTES_ERR_BAD_HANDLE;
    *count = 0;
    *length = 0;
    *memory = 0;
    std::vector<std::string> names;
    std::string value;
    if (server && *server) {
        std::string folder = State().dataDirectory + "\\" + ServerFolder(server);
        if (!Exists(folder))
            return NOTES_ERR_SERVER_NOT_RESPONDING;
        NotesIniValues ini;
        if (ReadNotesIni(folder + "\\notes.ini", &ini) && FindIniValue(ini, "NAMES", &value))
            names = SplitNames(value);
        else if (Exists(folder + "\\names.nsf"))
            names.push_back("names.nsf");
    } else {
        names = FindIniValue(State().ini, "NAMES", &value) ? SplitNames(value) : std::vector<std::string>{"names.nsf"};
    }
    if (names.empty())
        return 0;
    std::vector<BYTE> block;
    for (const std::string& name : names) {
        block.insert(block.end(), name.begin(), name.end());
        block.push_back(0);
    }
    *count = static_cast<WORD>(names.size());
    *length = static_cast<WORD>(block.size());
    *memory = State().nextObject++;
    State().blocks[*memory] = block;
    return 0;
}

NOTESSTATUS NotesMemFree(NOTESHANDLE memory)
{
    Locked locked;
    return State().blocks.erase(memory) ? 0 : NOTES_ERR_BAD_HANDLE;
}

void NotesCurrentTime(NOTESTIMEDATE* now)
{
    if (now)
        NotesNow(now->innards);
}

NOTESSTATUS NotesDatabaseCreate(const char* server, const char* path)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NotesDatabaseCreate"))
        return status;
    if (!path || !*path)
        return NOTES_ERR_FILE_NOT_FOUND;
    std::string folder = State().dataDirectory;
    if (server && *server) {
        folder += "\\" + ServerFolder(server);
        if (!Exists(folder))
            return NOTES_ERR_SERVER_NOT_RESPONDING;
    }
    std::string file = folder + "\\" + path;
    if (Exists(file))
        return NOTES_ERR_FILE_EXISTS;
    HANDLE created = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (created == INVALID_HANDLE_VALUE)
        return NOTES_ERR_FILE_NOT_FOUND;
    CloseHandle(created);
    return 0;
}

}  // extern "C"
