// nnotes.dll: views and folders read as collections, new folders, and
// documents added to folders.
#include <algorithm>
#include <cstring>
#include <string>

#include "Runtime.h"

NOTES_EXPORT STATUS LNPUBLIC NIFOpenCollection(DBHANDLE viewDatabase, DBHANDLE dataDatabase, NOTEID viewId, WORD,
                                               DHANDLE, HCOLLECTION* collection, NOTEHANDLE* viewNote, UNID* viewUnid,
                                               DHANDLE* collapsed, DHANDLE* selected)
{
    Locked locked;
    if (STATUS status = CheckLocked("NIFOpenCollection"))
        return status;
    const std::string* viewFile = DatabaseFile(viewDatabase);
    const std::string* dataFile = DatabaseFile(dataDatabase);
    std::vector<NotesNote> views, data;
    if (!viewFile || !dataFile || !collection || !ReadNotesDatabase(*viewFile, &views)
        || !ReadNotesDatabase(*dataFile, &data))
        return NOTES_ERR_BAD_HANDLE;
    const NotesNote* view = FindNote(views, viewId);
    // Only a design note of the view class is a view or folder.
    if (!view || NotesNoteClass(*view) != NOTE_CLASS_VIEW)
        return NOTES_ERR_NOT_FOUND;
    *collection = static_cast<HCOLLECTION>(NewHandle());
    State().collections[*collection].entries = EntriesOf(data, *view);
    if (viewNote) {
        *viewNote = NewHandle();
        OpenNote& open = State().notes[*viewNote];
        open.database = viewDatabase;
        open.file = *viewFile;
        open.note = *view;
        open.noteClass = NOTE_CLASS_VIEW;
    }
    if (viewUnid)
        *viewUnid = UnidOf(*viewFile, viewId);
    if (collapsed)
        *collapsed = 0;
    if (selected)
        *selected = 0;
    return 0;
}

// Entries one after the other: the position is that of the entry read
// last, 0 before the first.
NOTES_EXPORT STATUS LNPUBLIC NIFReadEntries(HCOLLECTION handle, COLLECTIONPOSITION* position, WORD skipNavigator,
                                            DWORD skipCount, WORD returnNavigator, DWORD returnCount, DWORD returnMask,
                                            DHANDLE* buffer, WORD* bufferLength, DWORD* skipped, DWORD* returned,
                                            WORD* signal)
{
    Locked locked;
    if (STATUS status = CheckLocked("NIFReadEntries"))
        return status;
    auto collection = State().collections.find(handle);
    if (collection == State().collections.end() || !position || !buffer)
        return NOTES_ERR_BAD_HANDLE;
    if (skipNavigator != NAVIGATE_NEXT || returnNavigator != NAVIGATE_NEXT || returnMask != READ_MASK_NOTEID)
        return NOTES_ERR_BAD_HANDLE;
    const std::vector<NOTEID>& entries = collection->second.entries;
    const DWORD count = static_cast<DWORD>(entries.size());
    const DWORD from = std::min<DWORD>(position->Tumbler[0], count);
    const DWORD first = std::min<DWORD>(from + skipCount, count + 1);
    std::vector<BYTE> ids;
    DWORD read = 0;
    for (DWORD index = first; index >= 1 && index <= count && read < returnCount; ++index, ++read)
        ids.insert(ids.end(), reinterpret_cast<const BYTE*>(&entries[index - 1]),
                   reinterpret_cast<const BYTE*>(&entries[index - 1]) + sizeof(NOTEID));
    const DWORD last = read ? first + read - 1 : std::min(first, count);
    position->Level = 0;
    position->Tumbler[0] = last;
    *buffer = read ? KeepMemory(ids) : 0;
    if (bufferLength)
        *bufferLength = static_cast<WORD>(ids.size());
    if (skipped)
        *skipped = first > from ? std::min(skipCount, count - from) : 0;
    if (returned)
        *returned = read;
    if (signal)
        *signal = read && last < count ? SIGNAL_MORE_TO_DO : 0;
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC NIFCloseCollection(HCOLLECTION handle)
{
    Locked locked;
    return State().collections.erase(handle) ? 0 : NOTES_ERR_BAD_HANDLE;
}

// A new folder of that title with the design of the format note; refused
// when the title is empty or taken. The folder database handle must be NULLHANDLE; a null format database is
// the data database.
NOTES_EXPORT STATUS LNPUBLIC FolderCreate(DBHANDLE dataDatabase, DBHANDLE folderDatabase, NOTEID formatId,
                                          DBHANDLE formatDatabase, char* name, WORD nameLength, DWORD, DWORD,
                                          NOTEID* created)
{
    Locked locked;
    if (STATUS status = CheckLocked("FolderCreate"))
        return status;
    if (folderDatabase != NULLHANDLE)
        return NOTES_ERR_BAD_PARAM;
    const std::string* file = DatabaseFile(dataDatabase);
    const std::string* formatFile = DatabaseFile(formatDatabase ? formatDatabase : dataDatabase);
    std::vector<NotesNote> notes, formats;
    if (!file || !formatFile || !name || !ReadNotesDatabase(*file, &notes) || !ReadNotesDatabase(*formatFile, &formats))
        return NOTES_ERR_BAD_HANDLE;
    const std::string title(name, nameLength);
    if (title.empty())
        return NOTES_ERR_NOT_FOUND;
    if (FindDesignNote(notes, title, NOTE_CLASS_VIEW))
        return NOTES_ERR_NAME_EXISTS;
    const NotesNote* format = FindNote(formats, formatId);
    if (!format || NotesNoteClass(*format) != NOTE_CLASS_VIEW)
        return NOTES_ERR_BAD_HANDLE;
    NotesNote folder;
    for (const NotesItem& item : format->items) {
        if (!SameText(item.name, "$Title") && !SameText(item.name, "$Flags") && !SameText(item.name, "$FolderEntries")
            && !SameText(item.name, "$SelectForms"))
            folder.items.push_back(item);
    }
    folder.items.push_back(NotesItem{"$Title", {title}, false});
    folder.items.push_back(NotesItem{"$Flags", {"F"}, false});
    if (STATUS status = StoreNote(*file, &folder))
        return status;
    if (created)
        *created = folder.id;
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC FolderDocAdd(DBHANDLE dataDatabase, DBHANDLE folderDatabase, NOTEID folderId,
                                          DHANDLE table, DWORD)
{
    Locked locked;
    if (STATUS status = CheckLocked("FolderDocAdd"))
        return status;
    if (folderDatabase != NULLHANDLE)
        return NOTES_ERR_BAD_PARAM;
    const std::string* file = DatabaseFile(dataDatabase);
    std::vector<NOTEID>* ids = FindTable(table);
    std::vector<NotesNote> notes;
    if (!file || !ids || !ReadNotesDatabase(*file, &notes))
        return NOTES_ERR_BAD_HANDLE;
    NotesNote* folder = FindNote(notes, folderId);
    if (!folder || !IsFolderNote(*folder))
        return NOTES_ERR_NOT_FOUND;
    NotesItem* entries = folder->Find("$FolderEntries");
    if (!entries) {
        folder->items.push_back(NotesItem{"$FolderEntries", {}, false});
        entries = &folder->items.back();
    }
    for (NOTEID id : *ids) {
        if (id == 0)
            return NOTES_ERR_BAD_HANDLE;
        entries->values.push_back(std::to_string(id));
    }
    return StoreNote(*file, folder);
}
