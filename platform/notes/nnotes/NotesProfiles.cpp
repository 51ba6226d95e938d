// nnotes.dll: profile documents, which a database keeps one of per name
// (and user): opened, read by field and written back.
#include <string>
#include <vector>

#include "Runtime.h"

namespace {

#ifndef NOTES_WITHOUT_PROFILE_OPEN

// The profile note of the database, or a new one when it has none yet.
STATUS FindProfile(DBHANDLE database, const char* profileName, WORD profileLength, const char* userName,
                   WORD userLength, std::string* file, NotesNote* found, bool* exists)
{
    const std::string profile = Counted(profileName, profileLength);
    const std::string user = Counted(userName, userLength);
    const std::string* path = DatabaseFile(database);
    if (!path)
        return NOTES_ERR_BAD_HANDLE;
    *file = *path;
    std::vector<NotesNote> notes;
    if (!ReadNotesDatabase(*path, &notes))
        return NOTES_ERR_FILE_NOT_FOUND;
    DWORD lastId = 0;
    for (const NotesNote& note : notes) {
        lastId = note.id > lastId ? note.id : lastId;
        if (SameText(note.Text("$ProfileName"), profile) && (user.empty() || SameText(note.Text("$UserName"), user))) {
            *found = note;
            *exists = true;
            return 0;
        }
    }
    found->id = lastId + 1;
    found->items = {{"$ProfileName", {profile}}};
    if (!user.empty())
        found->items.push_back({"$UserName", {user}});
    *exists = false;
    return 0;
}

#endif

}  // namespace

#ifndef NOTES_WITHOUT_PROFILE_OPEN

NOTES_EXPORT STATUS LNPUBLIC NSFProfileOpen(DBHANDLE database, const char* profile, WORD profileLength,
                                            const char* user, WORD userLength, BOOL, NOTEHANDLE* handle)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFProfileOpen"))
        return status;
    if (!handle)
        return NOTES_ERR_BAD_HANDLE;
    std::string file;
    NotesNote note;
    bool exists = false;
    if (STATUS status = FindProfile(database, profile, profileLength, user, userLength, &file, &note, &exists))
        return status;
    *handle = Keep(database, file, note);
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC NSFProfileGetField(DBHANDLE database, const char* profile, WORD profileLength,
                                                const char* user, WORD userLength, const char* field,
                                                WORD fieldLength, WORD* type, BLOCKID* value, DWORD* length)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFProfileGetField"))
        return status;
    if (!type || !value || !length)
        return NOTES_ERR_BAD_HANDLE;
    *type = 0;
    value->pool = 0;
    value->block = 0;
    *length = 0;
    std::string file;
    NotesNote note;
    bool exists = false;
    if (STATUS status = FindProfile(database, profile, profileLength, user, userLength, &file, &note, &exists))
        return status;
    const NotesItem* item = exists ? note.Find(Counted(field, fieldLength)) : nullptr;
    if (!item)
        return NOTES_ERR_ITEM_NOT_FOUND;
    std::vector<BYTE> data = EncodeItem(*item);
    *type = TypeOf(*item);
    *length = static_cast<DWORD>(data.size());
    value->pool = KeepMemory(data);
    return 0;
}

#endif

#ifndef NOTES_WITHOUT_PROFILE_UPDATE

// Writes the profile note into its database: the note of its id replaced,
// or added when the database had no profile yet.
NOTES_EXPORT STATUS LNPUBLIC NSFProfileUpdate(NOTEHANDLE handle, const char*, WORD, const char*, WORD)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFProfileUpdate"))
        return status;
    OpenNote* open = FindOpen(handle);
    std::vector<NotesNote> notes;
    if (!open || !ReadNotesDatabase(open->file, &notes))
        return NOTES_ERR_BAD_HANDLE;
    if (NotesNote* stored = FindNote(notes, open->note.id))
        *stored = open->note;
    else
        notes.push_back(open->note);
    return WriteNotesDatabase(open->file, notes) ? 0 : NOTES_ERR_FILE_NOT_FOUND;
}

#endif
