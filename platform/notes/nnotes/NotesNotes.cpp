// nnotes.dll: notes opened in memory, profile documents and item values.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Runtime.h"

namespace {

bool SameText(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

std::string Counted(const char* text, WORD length)
{
    if (!text)
        return std::string();
    return length == 0xFFFF ? std::string(text) : std::string(text, length);
}

OpenNote* FindOpen(NOTESHANDLE handle)
{
    auto note = State().notes.find(handle);
    return note == State().notes.end() ? nullptr : &note->second;
}

NOTESHANDLE Keep(const std::string& file, const NotesNote& note)
{
    NOTESHANDLE handle = State().nextObject++;
    State().notes[handle] = OpenNote{file, note};
    return handle;
}

#ifndef NOTES_WITHOUT_PROFILE_OPEN

// The profile note of the database, or a new one when it has none yet.
NOTESSTATUS FindProfile(NOTESDBHANDLE database, const char* profileName, WORD profileLength, const char* userName,
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

// [type][data] as the function library hands item values out.
std::vector<BYTE> Encode(const NotesItem& item)
{
    std::vector<BYTE> value(2);
    WORD type = item.number ? NOTES_TYPE_NUMBER : item.values.size() == 1 ? NOTES_TYPE_TEXT : NOTES_TYPE_TEXT_LIST;
    std::memcpy(value.data(), &type, 2);
    if (type == NOTES_TYPE_NUMBER) {
        double number = item.values.empty() ? 0.0 : std::atof(item.values.front().c_str());
        const BYTE* bytes = reinterpret_cast<const BYTE*>(&number);
        value.insert(value.end(), bytes, bytes + sizeof number);
    } else if (type == NOTES_TYPE_TEXT) {
        // An empty text is a value of its type alone.
        value.insert(value.end(), item.values.front().begin(), item.values.front().end());
    } else {
        WORD count = static_cast<WORD>(item.values.size());
        value.insert(value.end(), reinterpret_cast<BYTE*>(&count), reinterpret_cast<BYTE*>(&count) + 2);
        for (const std::string& text : item.values) {
            WORD length = static_cast<WORD>(text.size());
            value.insert(value.end(), reinterpret_cast<BYTE*>(&length), reinterpret_cast<BYTE*>(&length) + 2);
            value.insert(value.end(), text.begin(), text.end());
        }
    }
    return value;
}

#endif

std::string Render(WORD type, const BYTE* data, DWORD length)
{
    if (type == NOTES_TYPE_TEXT)
        return std::string(reinterpret_cast<const char*>(data), length);
    if (type == NOTES_TYPE_NUMBER && length >= sizeof(double)) {
        double number;
        std::memcpy(&number, data, sizeof number);
        char text[64];
        std::snprintf(text, sizeof text, "%g", number);
        return text;
    }
    std::string text;
    if (type != NOTES_TYPE_TEXT_LIST || length < 2)
        return text;
    WORD count;
    std::memcpy(&count, data, 2);
    DWORD at = 2;
    for (WORD i = 0; i < count && at + 2 <= length; ++i) {
        WORD size;
        std::memcpy(&size, data + at, 2);
        at += 2;
        if (at + size > length)
            break;
        text += (i ? ";" : "") + std::string(reinterpret_cast<const char*>(data + at), size);
        at += size;
    }
    return text;
}

}  // namespace

extern "C" {

void* NotesLockBlock(NOTESBLOCK block)
{
    Locked locked;
    auto value = State().blocks.find(block);
    return value == State().blocks.end() ? nullptr : value->second.data();
}

void NotesUnlockBlock(NOTESBLOCK) {}

NOTESSTATUS NotesCloseNote(NOTESHANDLE note)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NotesCloseNote"))
        return status;
    return State().notes.erase(note) ? 0 : NOTES_ERR_BAD_HANDLE;
}

NOTESSTATUS NotesItemInfo(NOTESHANDLE handle, const char* name, WORD nameLength, void*, void*, void*, void*)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NotesItemInfo"))
        return status;
    OpenNote* note = FindOpen(handle);
    if (!note)
        return NOTES_ERR_BAD_HANDLE;
    return note->note.Find(Counted(name, nameLength)) ? 0 : NOTES_ERR_ITEM_NOT_FOUND;
}

NOTESSTATUS NotesItemAppendText(NOTESHANDLE handle, const char* item, const char* text, WORD textLength, BOOL)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NotesItemAppendText"))
        return status;
    OpenNote* note = FindOpen(handle);
    if (!note || !item)
        return NOTES_ERR_BAD_HANDLE;
    NotesItem* values = note->note.Find(item);
    if (!values) {
        note->note.items.push_back(NotesItem{item, {}});
        values = &note->note.items.back();
    }
    values->values.push_back(Counted(text, textLength));
    return 0;
}

WORD NotesValueToText(WORD type, NOTESBLOCK value, DWORD valueLength, char* buffer, WORD size, WORD)
{
    Locked locked;
    auto block = State().blocks.find(value);
    if (block == State().blocks.end() || !buffer || size == 0 || valueLength < 2)
        return 0;
    DWORD length = valueLength - 2 < block->second.size() - 2 ? valueLength - 2 : block->second.size() - 2;
    std::string text = Render(type, block->second.data() + 2, length);
    WORD written = static_cast<WORD>(text.size() < size ? text.size() : size - 1);
    std::memcpy(buffer, text.data(), written);
    buffer[written] = 0;
    return written;
}

NOTESSTATUS NotesFindDesignNote(NOTESDBHANDLE database, const char* name, WORD noteClass, NOTESNOTEID* id)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NotesFindDesignNote"))
        return status;
    const std::string* file = DatabaseFile(database);
    std::vector<NotesNote> notes;
    if (!file || !name || !id || !ReadNotesDatabase(*file, &notes))
        return NOTES_ERR_BAD_HANDLE;
    for (const NotesNote& note : notes) {
        if (SameText(note.Text("$Title"), name) && note.Text("$NoteClass") == std::to_string(noteClass)) {
            *id = note.id;
            return 0;
        }
    }
    return NOTES_ERR_NOT_FOUND;
}

NOTESSTATUS NotesOpenNote(NOTESDBHANDLE database, NOTESNOTEID id, WORD, NOTESHANDLE* handle)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NotesOpenNote"))
        return status;
    const std::string* file = DatabaseFile(database);
    std::vector<NotesNote> notes;
    if (!file || !handle || !ReadNotesDatabase(*file, &notes))
        return NOTES_ERR_BAD_HANDLE;
    NotesNote* note = FindNote(notes, id);
    if (!note)
        return NOTES_ERR_NOT_FOUND;
    *handle = Keep(*file, *note);
    return 0;
}

NOTESSTATUS NotesComputeWithForm(NOTESHANDLE handle, NOTESHANDLE formHandle, DWORD)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NotesComputeWithForm"))
        return status;
    OpenNote* note = FindOpen(handle);
    OpenNote* form = FindOpen(formHandle);
    if (!note || !form)
        return NOTES_ERR_BAD_HANDLE;
    const std::string prefix = "$Default.";
    for (const NotesItem& item : form->note.items) {
        if (item.name.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::string name = item.name.substr(prefix.size());
        if (!note->note.Find(name))
            note->note.items.push_back(NotesItem{name, item.values, item.number});
    }
    return 0;
}

#ifndef NOTES_WITHOUT_PROFILE_OPEN

NOTESSTATUS NSFProfileOpen(NOTESDBHANDLE database, const char* profile, WORD profileLength, const char* user,
                           WORD userLength, BOOL, NOTESHANDLE* handle)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NSFProfileOpen"))
        return status;
    if (!handle)
        return NOTES_ERR_BAD_HANDLE;
    std::string file;
    NotesNote note;
    bool exists = false;
    if (NOTESSTATUS status = FindProfile(database, profile, profileLength, user, userLength, &file, &note, &exists))
        return status;
    *handle = Keep(file, note);
    return 0;
}

NOTESSTATUS NSFProfileGetField(NOTESDBHANDLE database, const char* profile, WORD profileLength, const char* user,
                               WORD userLength, const char* field, WORD fieldLength, WORD* type, NOTESBLOCK* value,
                               DWORD* length)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NSFProfileGetField"))
        return status;
    if (!type || !value || !length)
        return NOTES_ERR_BAD_HANDLE;
    *type = 0;
    *value = 0;
    *length = 0;
    std::string file;
    NotesNote note;
    bool exists = false;
    if (NOTESSTATUS status = FindProfile(database, profile, profileLength, user, userLength, &file, &note, &exists))
        return status;
    const NotesItem* item = exists ? note.Find(Counted(field, fieldLength)) : nullptr;
    if (!item)
        return NOTES_ERR_ITEM_NOT_FOUND;
    std::vector<BYTE> data = Encode(*item);
    std::memcpy(type, data.data(), 2);
    *length = static_cast<DWORD>(data.size());
    *value = State().nextObject++;
    State().blocks[*value] = data;
    return 0;
}

#endif

#ifndef NOTES_WITHOUT_PROFILE_UPDATE

// Writes the profile note into its database: the note of its id replaced,
// or added when the database had no profile yet.
NOTESSTATUS NSFProfileUpdate(NOTESHANDLE handle, const char*, WORD, const char*, WORD)
{
    Locked locked;
    if (NOTESSTATUS status = CheckLocked("NSFProfileUpdate"))
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

}  // extern "C"
