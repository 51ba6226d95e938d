// nnotes.dll: network paths, the mail file opened by path and the users'
// unread tables. A database keeps a user's table in a note whose
// "$UnreadUser" names the user and whose "$Unread" lists the note ids.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Runtime.h"

namespace {

NotesNote* UnreadNote(std::vector<NotesNote>& notes, const std::string& user)
{
    for (NotesNote& note : notes) {
        if (note.Find("$UnreadUser") && lstrcmpiA(note.Text("$UnreadUser").c_str(), user.c_str()) == 0)
            return &note;
    }
    return nullptr;
}

std::vector<NOTESNOTEID>* Table(NOTESHANDLE handle)
{
    auto table = State().tables.find(handle);
    return table == State().tables.end() ? nullptr : &table->second;
}

NOTESHANDLE KeepTable(const std::vector<NOTESNOTEID>& ids)
{
    NOTESHANDLE handle = State().nextObject++;
    State().tables[handle] = ids;
    return handle;
}

}  // namespace

NOTESSTATUS NotesPathCompose(const char* port, const char* server, const char* file, char* path)
{
    if (port || !file || !path)
        return NOTES_ERR_BAD_HANDLE;
    std::string composed = server && *server ? std::string(server) + "!!" + file : std::string(file);
    lstrcpynA(path, composed.c_str(), MAX_PATH);
    return 0;
}

NOTESSTATUS MailOpenMessageFile(const char* path, NOTESDBHANDLE* handle)
{
    if (ToldToFail("MailOpenMessageFile"))
        return NOTES_ERR_TOLD_TO_FAIL;
    if (!path)
        return NOTES_ERR_FILE_NOT_FOUND;
    std::string text = path;
    size_t bang = text.find("!!");
    if (bang == std::string::npos)
        return NotesDatabaseOpen("", path, handle);
    return NotesDatabaseOpen(text.substr(0, bang).c_str(), text.substr(bang + 2).c_str(), handle);
}

NOTESSTATUS NotesUnreadTableGet(NOTESDBHANDLE database, const char* user, WORD userLength, BOOL, NOTESHANDLE* table)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NotesUnreadTableGet"))
        return status;
    const std::string* file = DatabaseFile(database);
    std::vector<NotesNote> notes;
    if (!file || !user || !table || !ReadNotesDatabase(*file, &notes))
        return NOTES_ERR_BAD_HANDLE;
    std::vector<NOTESNOTEID> ids;
    // A user without a table has nothing unread.
    if (NotesNote* note = UnreadNote(notes, std::string(user, userLength))) {
        if (const NotesItem* item = note->Find("$Unread")) {
            for (const std::string& id : item->values)
                ids.push_back(static_cast<NOTESNOTEID>(std::strtoul(id.c_str(), nullptr, 10)));
        }
    }
    *table = KeepTable(ids);
    return 0;
}

NOTESSTATUS NotesUnreadTableUpdate(NOTESDBHANDLE database, NOTESHANDLE table)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NotesUnreadTableUpdate"))
        return status;
    return DatabaseFile(database) && Table(table) ? 0 : NOTES_ERR_BAD_HANDLE;
}

NOTESSTATUS NotesTableCopy(NOTESHANDLE table, NOTESHANDLE* copy)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NotesTableCopy"))
        return status;
    std::vector<NOTESNOTEID>* ids = Table(table);
    if (!ids || !copy)
        return NOTES_ERR_BAD_HANDLE;
    *copy = KeepTable(*ids);
    return 0;
}

NOTESSTATUS NotesTableRemove(NOTESHANDLE table, NOTESNOTEID id)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NotesTableRemove"))
        return status;
    std::vector<NOTESNOTEID>* ids = Table(table);
    if (!ids)
        return NOTES_ERR_BAD_HANDLE;
    ids->erase(std::remove(ids->begin(), ids->end(), id), ids->end());
    return 0;
}

NOTESSTATUS NotesUnreadTableSet(NOTESDBHANDLE database, const char* user, WORD userLength, BOOL, NOTESHANDLE original,
                                NOTESHANDLE table)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NotesUnreadTableSet"))
        return status;
    const std::string* file = DatabaseFile(database);
    std::vector<NOTESNOTEID>* ids = Table(table);
    std::vector<NotesNote> notes;
    if (!file || !user || !ids || !Table(original) || !ReadNotesDatabase(*file, &notes))
        return NOTES_ERR_BAD_HANDLE;
    const std::string name(user, userLength);
    NotesNote* note = UnreadNote(notes, name);
    // A user with nothing unread needs no table.
    if (!note && ids->empty())
        return 0;
    if (!note) {
        NOTESNOTEID last = 0;
        for (const NotesNote& other : notes)
            last = std::max<NOTESNOTEID>(last, other.id);
        notes.push_back(NotesNote{last + 1, {{"$UnreadUser", {name}, false}}});
        note = &notes.back();
    }
    note->items.erase(std::remove_if(note->items.begin(), note->items.end(),
                                     [](const NotesItem& item) { return item.name == "$Unread"; }),
                      note->items.end());
    NotesItem unread{"$Unread", {}, false};
    for (NOTESNOTEID id : *ids)
        unread.values.push_back(std::to_string(id));
    if (!unread.values.empty())
        note->items.push_back(unread);
    return WriteNotesDatabase(*file, notes) ? 0 : NOTES_ERR_FILE_NOT_FOUND;
}

NOTESSTATUS NotesTableDestroy(NOTESHANDLE table)
{
    Locked locked;
    return State().tables.erase(table) ? 0 : NOTES_ERR_BAD_HANDLE;
}
