// nnotes.dll: the users' unread tables. A database keeps a user's table in a
// note whose "$UnreadUser" names the user and whose "$Unread" lists the note
// ids.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "Runtime.h"

namespace {

NotesNote* UnreadNote(std::vector<NotesNote>& notes, const std::string& user)
{
    for (NotesNote& note : notes) {
        if (note.Find("$UnreadUser") && SameText(note.Text("$UnreadUser"), user))
            return &note;
    }
    return nullptr;
}

}  // namespace

NOTES_EXPORT STATUS LNPUBLIC NSFDbGetUnreadNoteTable(DBHANDLE database, char* user, WORD userLength, BOOL create,
                                                     DHANDLE* table)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFDbGetUnreadNoteTable"))
        return status;
    const std::string* file = DatabaseFile(database);
    std::vector<NotesNote> notes;
    if (!file || !user || !table || !ReadNotesDatabase(*file, &notes))
        return NOTES_ERR_BAD_HANDLE;
    std::vector<NOTEID> ids;
    NotesNote* note = UnreadNote(notes, std::string(user, userLength));
    // A user without a table has none, unless one is to be made.
    *table = NULLHANDLE;
    if (!note && !create)
        return 0;
    if (note) {
        if (const NotesItem* item = note->Find("$Unread")) {
            for (const std::string& id : item->values)
                ids.push_back(static_cast<NOTEID>(std::strtoul(id.c_str(), nullptr, 10)));
        }
    }
    *table = KeepTable(ids);
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC NSFDbUpdateUnread(DBHANDLE database, DHANDLE table)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFDbUpdateUnread"))
        return status;
    return DatabaseFile(database) && FindTable(table) ? 0 : NOTES_ERR_BAD_HANDLE;
}

NOTES_EXPORT STATUS LNPUBLIC NSFDbSetUnreadNoteTable(DBHANDLE database, char* user, WORD userLength, BOOL,
                                                     DHANDLE original, DHANDLE table)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFDbSetUnreadNoteTable"))
        return status;
    const std::string* file = DatabaseFile(database);
    std::vector<NOTEID>* ids = FindTable(table);
    std::vector<NotesNote> notes;
    if (!file || !user || !ids || !FindTable(original) || !ReadNotesDatabase(*file, &notes))
        return NOTES_ERR_BAD_HANDLE;
    const std::string name(user, userLength);
    NotesNote* note = UnreadNote(notes, name);
    // A user with nothing unread needs no table.
    if (!note && ids->empty())
        return 0;
    if (!note) {
        NOTEID last = 0;
        for (const NotesNote& other : notes)
            last = std::max<NOTEID>(last, other.id);
        notes.push_back(NotesNote{last + 1, {{"$UnreadUser", {name}, false}}});
        note = &notes.back();
    }
    note->items.erase(std::remove_if(note->items.begin(), note->items.end(),
                                     [](const NotesItem& item) { return item.name == "$Unread"; }),
                      note->items.end());
    NotesItem unread{"$Unread", {}, false};
    for (NOTEID id : *ids)
        unread.values.push_back(std::to_string(id));
    if (!unread.values.empty())
        note->items.push_back(unread);
    return WriteNotesDatabase(*file, notes) ? 0 : NOTES_ERR_FILE_NOT_FOUND;
}
