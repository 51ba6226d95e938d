// nnotes.dll: database files opened by path on this machine or a server,
// network paths, new databases and copies of their design, notes changed
// since a time, the address books and servers known, and id tables.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Runtime.h"

namespace {

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsAbsolute(const std::string& path)
{
    return path.size() > 1 && (path[1] == ':' || (path[0] == '\\' && path[1] == '\\'));
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

// The file of a path the library was given: "<server>!!<file>" names its
// server, whose databases are in the server's folder below the data
// directory; a relative file is in the data directory. 0, or the status.
STATUS ResolvePath(const std::string& path, std::string* file)
{
    std::string name = path;
    std::string server;
    size_t bang = name.find("!!");
    if (bang != std::string::npos) {
        server = name.substr(0, bang);
        name = name.substr(bang + 2);
    }
    if (name.empty())
        return NOTES_ERR_FILE_NOT_FOUND;
    if (IsAbsolute(name)) {
        *file = name;
        return 0;
    }
    std::string folder = State().dataDirectory;
    if (!server.empty()) {
        folder += "\\" + ServerFolder(server);
        if (!Exists(folder))
            return NOTES_ERR_SERVER_NOT_RESPONDING;
    }
    *file = folder + "\\" + name;
    return 0;
}

DWORD FileHash(const std::string& file)
{
    DWORD hash = 2166136261u;
    for (char c : file)
        hash = (hash ^ static_cast<BYTE>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c)) * 16777619u;
    return hash;
}

bool SummaryFits(const NotesNote& note)
{
    for (const NotesItem& item : note.items) {
        if (!item.summary || item.number || item.rawType)
            continue;
        size_t bytes = 0;
        for (const std::string& value : item.values)
            bytes += value.size();
        if (bytes > NOTES_SUMMARY_TEXT_LIMIT)
            return false;
    }
    return true;
}

}  // namespace

DBID ReplicaOfFile(const std::string& file)
{
    DWORD hash = FileHash(file);
    State().replicas[hash] = file;
    DBID replica;
    replica.Innards[0] = hash ^ 0x5A5A5A5Au;
    replica.Innards[1] = hash;
    return replica;
}

UNID UnidOf(const std::string& file, NOTEID id)
{
    UNID unid;
    unid.File = ReplicaOfFile(file);
    unid.Note.Innards[0] = id;
    unid.Note.Innards[1] = 0x00010000u;
    return unid;
}

STATUS StoreNote(const std::string& file, NotesNote* note)
{
    if (!SummaryFits(*note))
        return NOTES_ERR_SUMMARY_TOO_BIG;
    std::vector<NotesNote> notes;
    if (!ReadNotesDatabase(file, &notes))
        return NOTES_ERR_FILE_NOT_FOUND;
    std::vector<NotesStub> stubs;
    ReadNotesStubs(file, &stubs);
    NotesNow(note->modified);
    if (note->id == 0) {
        // A deleted note's id is not given out again.
        for (const NotesNote& other : notes)
            note->id = std::max<DWORD>(note->id, other.id);
        for (const NotesStub& stub : stubs)
            note->id = std::max<DWORD>(note->id, stub.id);
        ++note->id;
        note->created[0] = note->modified[0];
        note->created[1] = note->modified[1];
    }
    // What exists only in memory is not written.
    NotesNote stored = *note;
    stored.items.erase(std::remove_if(stored.items.begin(), stored.items.end(),
                                      [](const NotesItem& item) { return item.rawType != 0; }),
                       stored.items.end());
    if (NotesNote* existing = FindNote(notes, note->id))
        *existing = stored;
    else
        notes.push_back(stored);
    return WriteNotesDatabase(file, notes) ? 0 : NOTES_ERR_FILE_NOT_FOUND;
}

const NotesNote* FindDesignNote(const std::vector<NotesNote>& notes, const std::string& title, int noteClass)
{
    for (const NotesNote& note : notes) {
        if (NotesNoteClass(note) == noteClass && note.Find("$Title") && SameText(note.Text("$Title"), title))
            return &note;
    }
    return nullptr;
}

bool IsDocument(const NotesNote& note)
{
    return NotesNoteClass(note) == NOTE_CLASS_DOCUMENT && !note.Find("$ProfileName") && !note.Find("$UnreadUser");
}

bool IsFolderNote(const NotesNote& note)
{
    return NotesNoteClass(note) == NOTE_CLASS_VIEW && note.Text("$Flags").find('F') != std::string::npos;
}

std::vector<NOTEID> EntriesOf(const std::vector<NotesNote>& notes, const NotesNote& view)
{
    std::vector<NOTEID> ids;
    const NotesItem* forms = view.Find("$SelectForms");
    const NotesItem* members = view.Find("$FolderEntries");
    for (const NotesNote& note : notes) {
        if (!IsDocument(note))
            continue;
        bool shown = false;
        if (IsFolderNote(view)) {
            for (size_t i = 0; members && i < members->values.size() && !shown; ++i)
                shown = std::strtoul(members->values[i].c_str(), nullptr, 10) == note.id;
        } else if (!forms) {
            shown = true;
        } else {
            for (size_t i = 0; i < forms->values.size() && !shown; ++i)
                shown = SameText(forms->values[i], note.Text("Form"));
        }
        if (shown)
            ids.push_back(note.id);
    }
    return ids;
}

NOTES_EXPORT STATUS LNPUBLIC NSFDbOpen(const char* path, DBHANDLE* handle)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFDbOpen"))
        return status;
    if (!path || !handle)
        return NOTES_ERR_FILE_NOT_FOUND;
    std::string file;
    if (STATUS status = ResolvePath(path, &file))
        return status;
    DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return NOTES_ERR_FILE_NOT_FOUND;
    *handle = NewHandle();
    State().databases[*handle] = file;
    ReplicaOfFile(file);
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC NSFDbClose(DBHANDLE handle)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFDbClose"))
        return status;
    return State().databases.erase(handle) ? 0 : NOTES_ERR_BAD_HANDLE;
}

NOTES_EXPORT STATUS LNPUBLIC MailOpenMessageFile(char* path, DBHANDLE* handle)
{
    {
        Locked locked;
        if (STATUS status = CheckLocked("MailOpenMessageFile"))
            return status;
    }
    return NSFDbOpen(path, handle);
}

NOTES_EXPORT STATUS LNPUBLIC MailCloseMessageFile(DBHANDLE handle)
{
    {
        Locked locked;
        if (STATUS status = CheckLocked("MailCloseMessageFile"))
            return status;
    }
    return NSFDbClose(handle);
}

// A new empty database file; refused when there is one and creation is not
// forced.
NOTES_EXPORT STATUS LNPUBLIC NSFDbCreate(const char* path, USHORT, BOOL force)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFDbCreate"))
        return status;
    if (!path)
        return NOTES_ERR_FILE_NOT_FOUND;
    std::string file;
    if (STATUS status = ResolvePath(path, &file))
        return status;
    if (Exists(file) && !force)
        return NOTES_ERR_FILE_EXISTS;
    return WriteNotesDatabase(file, {}) ? 0 : NOTES_ERR_FILE_NOT_FOUND;
}

// Copies the notes of the classes in the mask; design notes keep their
// ids, documents take new ones.
NOTES_EXPORT STATUS LNPUBLIC NSFDbCopy(DBHANDLE source, DBHANDLE target, TIMEDATE, WORD classMask)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFDbCopy"))
        return status;
    const std::string* from = DatabaseFile(source);
    const std::string* to = DatabaseFile(target);
    std::vector<NotesNote> notes, copied;
    if (!from || !to || !ReadNotesDatabase(*from, &notes) || !ReadNotesDatabase(*to, &copied))
        return NOTES_ERR_BAD_HANDLE;
    DWORD now[2];
    NotesNow(now);
    for (const NotesNote& note : notes) {
        if (!(NotesNoteClass(note) & classMask))
            continue;
        copied.push_back(note);
        std::copy(now, now + 2, copied.back().created);
        std::copy(now, now + 2, copied.back().modified);
    }
    return WriteNotesDatabase(*to, copied) ? 0 : NOTES_ERR_FILE_NOT_FOUND;
}

NOTES_EXPORT STATUS LNPUBLIC NSFDbGetBuildVersion(DBHANDLE database, WORD* version)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFDbGetBuildVersion"))
        return status;
    if (!DatabaseFile(database) || !version)
        return NOTES_ERR_BAD_HANDLE;
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
    *version = static_cast<WORD>(value);
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC NSFDbReplicaInfoGet(DBHANDLE database, DBREPLICAINFO* info)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFDbReplicaInfoGet"))
        return status;
    const std::string* file = DatabaseFile(database);
    if (!file || !info)
        return NOTES_ERR_BAD_HANDLE;
    std::memset(info, 0, sizeof *info);
    info->ID = ReplicaOfFile(*file);
    return 0;
}

// The notes of the classes in the mask saved or deleted at or after `since`
// (every note for the wildcard or the minimum), deletion stubs with
// RRV_DELETED set, in id order.
NOTES_EXPORT STATUS LNPUBLIC NSFDbGetModifiedNoteTable(DBHANDLE database, WORD classMask, TIMEDATE since,
                                                       TIMEDATE* until, DHANDLE* table)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFDbGetModifiedNoteTable"))
        return status;
    const std::string* file = DatabaseFile(database);
    std::vector<NotesNote> notes;
    std::vector<NotesStub> stubs;
    if (!file || !table)
        return NOTES_ERR_BAD_HANDLE;
    if (!ReadNotesDatabase(*file, &notes) || !ReadNotesStubs(*file, &stubs))
        return NOTES_ERR_FILE_NOT_FOUND;
    DWORD from[2] = {0, 0};
    if (!IsWildcard(since))
        LocalOfStamp(since, from);
    std::vector<NOTEID> ids;
    for (const NotesNote& note : notes) {
        if ((NotesNoteClass(note) & classMask) && CompareStamps(note.modified, from) >= 0)
            ids.push_back(note.id);
    }
    for (const NotesStub& stub : stubs) {
        if ((stub.noteClass & classMask) && CompareStamps(stub.deleted, from) >= 0)
            ids.push_back(stub.id | RRV_DELETED);
    }
    std::sort(ids.begin(), ids.end(), [](NOTEID a, NOTEID b) { return (a & ~RRV_DELETED) < (b & ~RRV_DELETED); });
    if (until) {
        DWORD now[2];
        NotesNow(now);
        *until = StampOfLocal(now);
    }
    *table = NULLHANDLE;
    if (ids.empty())
        return ERR_NO_MODIFIED_NOTES;
    *table = KeepTable(ids);
    return 0;
}

// An originator id no note has had: the database's replica id and a stamp of
// a counter of the process.
NOTES_EXPORT STATUS LNPUBLIC NSFDbGenerateOID(DBHANDLE database, ORIGINATORID* oid)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFDbGenerateOID"))
        return status;
    const std::string* file = DatabaseFile(database);
    if (!file || !oid)
        return NOTES_ERR_BAD_HANDLE;
    static DWORD generated = 0;
    *oid = ORIGINATORID{};
    oid->File = ReplicaOfFile(*file);
    oid->Note.Innards[0] = ++generated;
    oid->Note.Innards[1] = GetCurrentProcessId();
    oid->Sequence = 1;
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC NIFFindDesignNote(DBHANDLE database, const char* name, WORD noteClass, NOTEID* id)
{
    Locked locked;
    if (STATUS status = CheckLocked("NIFFindDesignNote"))
        return status;
    const std::string* file = DatabaseFile(database);
    std::vector<NotesNote> notes;
    if (!file || !name || !id || !ReadNotesDatabase(*file, &notes))
        return NOTES_ERR_BAD_HANDLE;
    const NotesNote* found = FindDesignNote(notes, name, noteClass);
    if (!found)
        return NOTES_ERR_NOT_FOUND;
    *id = found->id;
    return 0;
}

// The stand-in knows no ports: a port given is refused.
NOTES_EXPORT STATUS LNPUBLIC OSPathNetConstruct(const char* port, const char* server, const char* file, char* path)
{
    if ((port && *port) || !file || !path)
        return NOTES_ERR_BAD_HANDLE;
    std::string composed = server && *server ? std::string(server) + "!!" + file : std::string(file);
    lstrcpynA(path, composed.c_str(), MAXPATH);
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC OSPathNetParse(const char* path, char* port, char* server, char* file)
{
    if (!path)
        return NOTES_ERR_BAD_HANDLE;
    std::string text = path;
    size_t bang = text.find("!!");
    if (port)
        *port = 0;
    if (server)
        lstrcpynA(server, bang == std::string::npos ? "" : text.substr(0, bang).c_str(), MAXPATH);
    if (file)
        lstrcpynA(file, (bang == std::string::npos ? text : text.substr(bang + 2)).c_str(), MAXPATH);
    return 0;
}

// This machine's books are notes.ini's "NAMES" (absent: "names.nsf"; empty:
// none); a server's are its own notes.ini's "NAMES" in its folder, else its
// "names.nsf" when it has one.
NOTES_EXPORT STATUS LNPUBLIC NAMEGetAddressBooks(const char* server, WORD, WORD* count, WORD* length,
                                                 DHANDLE* memory)
{
    Locked locked;
    if (STATUS status = CheckLocked("NAMEGetAddressBooks"))
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
    *memory = KeepMemory(block);
    return 0;
}

// The servers this machine knows, as a text list: notes.ini's "MailServer",
// then the "Destination" of each "Connection" document of names.nsf, each
// once.
NOTES_EXPORT STATUS LNPUBLIC NSGetServerList(char*, DHANDLE* list)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSGetServerList"))
        return status;
    if (!list)
        return NOTES_ERR_BAD_HANDLE;
    std::vector<std::string> found;
    auto add = [&found](const std::string& server) {
        if (server.empty())
            return;
        for (const std::string& known : found) {
            if (SameText(known, server))
                return;
        }
        found.push_back(server);
    };
    std::string mailServer;
    FindIniValue(State().ini, "MailServer", &mailServer);
    add(mailServer);
    std::vector<NotesNote> notes;
    if (!ReadNotesDatabase(State().dataDirectory + "\\names.nsf", &notes))
        return NOTES_ERR_FILE_NOT_FOUND;
    for (const NotesNote& note : notes) {
        if (IsDocument(note) && SameText(note.Text("Form"), "Connection"))
            add(note.Text("Destination"));
    }
    std::vector<BYTE> block(2 + 2 * found.size());
    WORD entries = static_cast<WORD>(found.size());
    std::memcpy(block.data(), &entries, 2);
    for (size_t i = 0; i < found.size(); ++i) {
        WORD size = static_cast<WORD>(found[i].size());
        std::memcpy(block.data() + 2 + 2 * i, &size, 2);
    }
    for (const std::string& server : found)
        block.insert(block.end(), server.begin(), server.end());
    *list = KeepMemory(block);
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC IDCreateTable(DWORD, DHANDLE* table)
{
    Locked locked;
    if (STATUS status = CheckLocked("IDCreateTable"))
        return status;
    if (!table)
        return NOTES_ERR_BAD_HANDLE;
    *table = KeepTable({});
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC IDDestroyTable(DHANDLE table)
{
    Locked locked;
    return State().tables.erase(table) ? 0 : NOTES_ERR_BAD_HANDLE;
}

NOTES_EXPORT STATUS LNPUBLIC IDInsert(DHANDLE table, NOTEID id, BOOL* inserted)
{
    Locked locked;
    std::vector<NOTEID>* ids = FindTable(table);
    if (!ids)
        return NOTES_ERR_BAD_HANDLE;
    bool added = std::find(ids->begin(), ids->end(), id) == ids->end();
    if (added)
        ids->push_back(id);
    if (inserted)
        *inserted = added ? TRUE : FALSE;
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC IDDelete(DHANDLE table, NOTEID id, BOOL* deleted)
{
    Locked locked;
    if (STATUS status = CheckLocked("IDDelete"))
        return status;
    std::vector<NOTEID>* ids = FindTable(table);
    if (!ids)
        return NOTES_ERR_BAD_HANDLE;
    auto found = std::find(ids->begin(), ids->end(), id);
    if (deleted)
        *deleted = found != ids->end() ? TRUE : FALSE;
    if (found != ids->end())
        ids->erase(found);
    return 0;
}

// The ids in order: the first with fFirst, then each next one.
NOTES_EXPORT BOOL LNPUBLIC IDScan(DHANDLE table, BOOL first, NOTEID* id)
{
    Locked locked;
    std::vector<NOTEID>* ids = FindTable(table);
    if (!ids || !id)
        return FALSE;
    auto next = ids->begin();
    if (!first) {
        next = std::find(ids->begin(), ids->end(), *id);
        if (next != ids->end())
            ++next;
    }
    if (next == ids->end())
        return FALSE;
    *id = *next;
    return TRUE;
}

NOTES_EXPORT STATUS LNPUBLIC IDTableCopy(DHANDLE table, DHANDLE* copy)
{
    Locked locked;
    if (STATUS status = CheckLocked("IDTableCopy"))
        return status;
    std::vector<NOTEID>* ids = FindTable(table);
    if (!ids || !copy)
        return NOTES_ERR_BAD_HANDLE;
    *copy = KeepTable(*ids);
    return 0;
}
