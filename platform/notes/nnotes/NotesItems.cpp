// nnotes.dll: notes opened, created, saved and deleted, their items and item
// values, computing with a form, and attachments.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Runtime.h"
#include "notesbytes.h"

namespace {

using NotesBytes::Append;
using NotesBytes::AppendWord;
using NotesBytes::ReadWord;

// Each value of a number or time value: the one value, or with `ranged`
// the list after its counts (a list's pairs are not read).
template <class T, class Each>
void ForEachListed(const BYTE* data, DWORD length, bool ranged, Each each)
{
    DWORD at = ranged ? sizeof(RANGE) : 0;
    const DWORD count = ranged && length >= sizeof(WORD) ? ReadWord(data) : 1;
    for (DWORD i = 0; i < count && at + sizeof(T) <= length; ++i, at += sizeof(T)) {
        T value;
        std::memcpy(&value, data + at, sizeof value);
        each(value);
    }
}

bool IsTimeItem(const NotesItem& item)
{
    if (item.number || item.rawType || item.values.empty())
        return false;
    TIMEDATE stamp;
    for (const std::string& value : item.values) {
        if (!StampOfText(value, &stamp))
            return false;
    }
    return true;
}

}  // namespace

WORD TypeOf(const NotesItem& item)
{
    if (item.rawType)
        return item.rawType;
    if (item.number)
        return item.values.size() == 1 ? TYPE_NUMBER : TYPE_NUMBER_RANGE;
    if (IsTimeItem(item))
        return item.values.size() == 1 ? TYPE_TIME : TYPE_TIME_RANGE;
    return item.values.size() <= 1 ? TYPE_TEXT : TYPE_TEXT_LIST;
}

namespace {

bool IsText(const NotesItem& item)
{
    WORD type = TypeOf(item);
    return type == TYPE_TEXT || type == TYPE_TEXT_LIST;
}

std::string ItemName(const char* name, WORD length)
{
    return name ? std::string(name, length) : std::string();
}

// The item of that name, replaced by a new one when the note has it.
NotesItem& Replace(NotesNote* note, const std::string& name)
{
    if (NotesItem* item = note->Find(name)) {
        *item = NotesItem{item->name, {}, false};
        return *item;
    }
    note->items.push_back(NotesItem{name, {}, false});
    return note->items.back();
}

}  // namespace

NOTEHANDLE Keep(DBHANDLE database, const std::string& file, const NotesNote& note)
{
    NOTEHANDLE handle = NewHandle();
    OpenNote& open = State().notes[handle];
    open.database = database;
    open.file = file;
    open.note = note;
    open.noteClass = NotesNoteClass(note);
    // A form hands out its fields as the records of its "$Body".
    if (open.noteClass == NOTE_CLASS_FORM && note.Find("$Fields") && !note.Find("$Body")) {
        std::vector<BYTE> body = FormBody(note);
        NotesItem item{"$Body", {std::string(body.begin() + 2, body.end())}, false};
        item.rawType = TYPE_COMPOSITE;
        open.note.items.push_back(item);
    }
    return handle;
}

namespace {

// The checks of an item write, in the library's order: a call the thread may
// make, a note that is open, a name given, one the test lets be written. A
// name without a length (kTerminated) ends at its zero.
const size_t kTerminated = static_cast<size_t>(-1);
STATUS NoteForItemWrite(const char* call, NOTEHANDLE handle, const char* name, size_t nameLength, OpenNote** open,
                        std::string* itemName)
{
    if (STATUS status = CheckLocked(call))
        return status;
    *open = FindOpen(handle);
    if (!*open || !name)
        return NOTES_ERR_BAD_HANDLE;
    *itemName = nameLength == kTerminated ? std::string(name) : ItemName(name, static_cast<WORD>(nameLength));
    return CheckItemWrite(*itemName);
}

// The item a read names, or null when the call may not be made or there is
// no such note or item.
const NotesItem* ItemToRead(const char* call, NOTEHANDLE handle, const char* name)
{
    OpenNote* open = FindOpen(handle);
    const NotesItem* item = open && name ? open->note.Find(name) : nullptr;
    return CheckLocked(call) ? nullptr : item;
}

}  // namespace

std::vector<BYTE> EncodeItem(const NotesItem& item)
{
    std::vector<BYTE> value;
    const WORD type = TypeOf(item);
    AppendWord(&value, type);
    switch (type) {
    case TYPE_NUMBER:
    case TYPE_NUMBER_RANGE: {
        if (type == TYPE_NUMBER_RANGE) {
            AppendWord(&value, static_cast<WORD>(item.values.size()));
            AppendWord(&value, 0);
        }
        for (const std::string& text : item.values) {
            NUMBER number = std::atof(text.c_str());
            Append(&value, &number, sizeof number);
        }
        break;
    }
    case TYPE_TIME:
    case TYPE_TIME_RANGE: {
        if (type == TYPE_TIME_RANGE) {
            AppendWord(&value, static_cast<WORD>(item.values.size()));
            AppendWord(&value, 0);
        }
        for (const std::string& text : item.values) {
            TIMEDATE stamp;
            StampOfText(text, &stamp);
            Append(&value, &stamp, sizeof stamp);
        }
        break;
    }
    case TYPE_TEXT:
        // An empty text is a value of its type alone.
        if (!item.values.empty())
            Append(&value, item.values.front().data(), item.values.front().size());
        break;
    case TYPE_TEXT_LIST:
        AppendWord(&value, static_cast<WORD>(item.values.size()));
        for (const std::string& text : item.values)
            AppendWord(&value, static_cast<WORD>(text.size()));
        for (const std::string& text : item.values)
            Append(&value, text.data(), text.size());
        break;
    default:
        Append(&value, item.values.empty() ? "" : item.values.front().data(),
               item.values.empty() ? 0 : item.values.front().size());
        break;
    }
    return value;
}

bool DecodeValue(WORD type, const BYTE* data, DWORD length, NotesItem* item)
{
    item->values.clear();
    item->number = false;
    item->rawType = 0;
    switch (type) {
    case TYPE_TEXT:
        item->values.push_back(std::string(reinterpret_cast<const char*>(data), length));
        return true;
    case TYPE_TEXT_LIST: {
        if (length < 2)
            return false;
        WORD count = ReadWord(data);
        DWORD at = 2 + 2u * count;
        if (at > length)
            return false;
        for (WORD i = 0; i < count; ++i) {
            WORD size = ReadWord(data + 2 + 2 * i);
            if (at + size > length)
                return false;
            item->values.push_back(std::string(reinterpret_cast<const char*>(data + at), size));
            at += size;
        }
        return true;
    }
    case TYPE_NUMBER:
    case TYPE_NUMBER_RANGE:
        ForEachListed<NUMBER>(data, length, type == TYPE_NUMBER_RANGE, [&](const NUMBER& number) {
            char text[32];
            std::snprintf(text, sizeof text, "%g", number);
            item->values.push_back(text);
        });
        item->number = true;
        return true;
    case TYPE_TIME:
    case TYPE_TIME_RANGE:
        ForEachListed<TIMEDATE>(data, length, type == TYPE_TIME_RANGE,
                                [&](const TIMEDATE& stamp) { item->values.push_back(TextOfStamp(stamp)); });
        return true;
    default:
        return false;
    }
}

NOTES_EXPORT STATUS LNPUBLIC NSFNoteCreate(DBHANDLE database, NOTEHANDLE* note)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFNoteCreate"))
        return status;
    const std::string* file = DatabaseFile(database);
    if (!file || !note)
        return NOTES_ERR_BAD_HANDLE;
    *note = Keep(database, *file, NotesNote());
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC NSFNoteOpen(DBHANDLE database, NOTEID id, WORD, NOTEHANDLE* note)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFNoteOpen"))
        return status;
    const std::string* file = DatabaseFile(database);
    std::vector<NotesNote> notes;
    if (!file || !note || !ReadNotesDatabase(*file, &notes))
        return NOTES_ERR_BAD_HANDLE;
    const NotesNote* found = id == 0 ? nullptr : FindNote(notes, id);
    if (!found)
        return NOTES_ERR_NOT_FOUND;
    *note = Keep(database, *file, *found);
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC NSFNoteClose(NOTEHANDLE note)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFNoteClose"))
        return status;
    return State().notes.erase(note) ? 0 : NOTES_ERR_BAD_HANDLE;
}

NOTES_EXPORT STATUS LNPUBLIC NSFNoteUpdate(NOTEHANDLE handle, WORD)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFNoteUpdate"))
        return status;
    OpenNote* open = FindOpen(handle);
    if (!open || !DatabaseFile(open->database))
        return NOTES_ERR_BAD_HANDLE;
    open->file = *DatabaseFile(open->database);
    // A note id names a note of this database: one it lacks is refused, one
    // it has is replaced.
    std::vector<NotesNote> notes;
    if (open->note.id && (!ReadNotesDatabase(open->file, &notes) || !FindNote(notes, open->note.id)))
        return NOTES_ERR_INVALID_NOTE;
    return StoreNote(open->file, &open->note);
}

NOTES_EXPORT STATUS LNPUBLIC NSFNoteDelete(DBHANDLE database, NOTEID id, WORD)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFNoteDelete"))
        return status;
    const std::string* file = DatabaseFile(database);
    if (!file)
        return NOTES_ERR_BAD_HANDLE;
    return DeleteNotesNote(*file, id) ? 0 : NOTES_ERR_NOT_FOUND;
}

NOTES_EXPORT void LNPUBLIC NSFNoteGetInfo(NOTEHANDLE handle, WORD member, void* value)
{
    Locked locked;
    OpenNote* open = FindOpen(handle);
    if (!open || !value)
        return;
    switch (member) {
    case _NOTE_DB:
        *static_cast<DBHANDLE*>(value) = open->database;
        break;
    case _NOTE_ID:
        *static_cast<NOTEID*>(value) = open->note.id;
        break;
    case _NOTE_OID: {
        if (open->hasOid) {
            std::memcpy(value, &open->oid, sizeof open->oid);
            break;
        }
        ORIGINATORID oid = {};
        UNID unid = UnidOf(open->file, open->note.id);
        oid.File = unid.File;
        oid.Note = unid.Note;
        oid.Sequence = 1;
        oid.SequenceTime = StampOfLocal(open->note.modified);
        std::memcpy(value, &oid, sizeof oid);
        break;
    }
    case _NOTE_CLASS:
        *static_cast<WORD*>(value) = static_cast<WORD>(open->noteClass);
        break;
    case _NOTE_MODIFIED:
        *static_cast<TIMEDATE*>(value) = StampOfLocal(open->note.modified);
        break;
    case _NOTE_ADDED_TO_FILE:
        *static_cast<TIMEDATE*>(value) = StampOfLocal(open->note.created);
        break;
    default:
        break;
    }
}

// A note moved to another database keeps its note id and originator id
// until the caller sets them.
NOTES_EXPORT void LNPUBLIC NSFNoteSetInfo(NOTEHANDLE handle, WORD member, void* value)
{
    Locked locked;
    OpenNote* open = FindOpen(handle);
    if (!open || !value)
        return;
    if (member == _NOTE_ID) {
        open->note.id = *static_cast<NOTEID*>(value);
        open->note.created[0] = open->note.created[1] = 0;
    } else if (member == _NOTE_OID) {
        std::memcpy(&open->oid, value, sizeof open->oid);
        open->hasOid = true;
    } else if (const std::string* file = member == _NOTE_DB ? DatabaseFile(*static_cast<DBHANDLE*>(value)) : nullptr) {
        open->database = *static_cast<DBHANDLE*>(value);
        open->file = *file;
    }
}

NOTES_EXPORT STATUS LNPUBLIC NSFNoteCopy(NOTEHANDLE source, NOTEHANDLE* copy)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFNoteCopy"))
        return status;
    OpenNote* open = FindOpen(source);
    if (!open || !copy)
        return NOTES_ERR_BAD_HANDLE;
    // The copy is the same note: its note id and originator id included.
    ORIGINATORID oid;
    NSFNoteGetInfo(source, _NOTE_OID, &oid);
    *copy = Keep(open->database, open->file, open->note);
    OpenNote* copied = FindOpen(*copy);
    copied->oid = oid;
    copied->hasOid = true;
    return 0;
}

// Each item "$Default.<name>" of the form gives the note the item <name>
// when it has none. Without a form handle the form is the one the note's
// "Form" item names in its database.
NOTES_EXPORT STATUS LNPUBLIC NSFNoteComputeWithForm(NOTEHANDLE handle, NOTEHANDLE formHandle, DWORD flags,
                                                    CWF_ERROR_PROC, void*)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFNoteComputeWithForm"))
        return status;
    OpenNote* note = FindOpen(handle);
    if (!note)
        return NOTES_ERR_BAD_HANDLE;
    NotesNote form;
    if (formHandle) {
        OpenNote* open = FindOpen(formHandle);
        if (!open)
            return NOTES_ERR_BAD_HANDLE;
        if (open->noteClass != NOTE_CLASS_FORM)
            return NOTES_ERR_NO_FORM;
        form = open->note;
    } else {
        std::vector<NotesNote> notes;
        const NotesItem* name = note->note.Find("Form");
        const NotesNote* named = name && !name->values.empty() && ReadNotesDatabase(note->file, &notes)
                                     ? FindDesignNote(notes, name->values[0], NOTE_CLASS_FORM)
                                     : nullptr;
        if (!named)
            return NOTES_ERR_NO_FORM;
        form = *named;
    }
    const std::string prefix = "$Default.";
    for (const NotesItem& item : form.items) {
        if (item.name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string name = item.name.substr(prefix.size());
        if (!note->note.Find(name))
            note->note.items.push_back(NotesItem{name, item.values, item.number});
    }
    const NotesItem* required = form.Find("$Required");
    for (size_t i = 0; required && !(flags & CWF_CONTINUE_ON_ERROR) && i < required->values.size(); ++i) {
        if (note->note.Text(required->values[i]).empty())
            return NOTES_ERR_FORMULA;
    }
    return 0;
}

// The file (which must exist) attached under its own file name.
NOTES_EXPORT STATUS LNPUBLIC NSFNoteAttachFile(NOTEHANDLE handle, const char* item, WORD itemLength, const char* file,
                                               const char* original, WORD)
{
    Locked locked;
    OpenNote* open = nullptr;
    std::string name;
    if (STATUS status = NoteForItemWrite("NSFNoteAttachFile", handle, item, itemLength, &open, &name))
        return status;
    if (!file)
        return NOTES_ERR_BAD_HANDLE;
    if (GetFileAttributesA(file) == INVALID_FILE_ATTRIBUTES)
        return NOTES_ERR_FILE_NOT_FOUND;
    NotesItem* files = open->note.Find(name);
    if (!files) {
        open->note.items.push_back(NotesItem{name, {}, false});
        files = &open->note.items.back();
    }
    files->values.push_back(FileNameOf(original && *original ? original : file));
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC NSFItemInfoNext(NOTEHANDLE handle, BLOCKID after, const char* name, WORD nameLength,
                                             BLOCKID* itemBlock, WORD* type, BLOCKID* valueBlock, DWORD* length)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFItemInfoNext"))
        return status;
    OpenNote* open = FindOpen(handle);
    if (!open)
        return NOTES_ERR_BAD_HANDLE;
    const std::string wanted = ItemName(name, nameLength);
    for (size_t i = after.pool == handle ? after.block : 0; i < open->note.items.size(); ++i) {
        const NotesItem& item = open->note.items[i];
        if (!SameText(item.name, wanted))
            continue;
        std::vector<BYTE> value = EncodeItem(item);
        if (itemBlock) {
            itemBlock->pool = handle;
            itemBlock->block = static_cast<BLOCK>(i + 1);
        }
        if (type)
            *type = TypeOf(item);
        if (valueBlock) {
            valueBlock->pool = KeepMemory(value);
            valueBlock->block = 0;
        }
        if (length)
            *length = static_cast<DWORD>(value.size());
        return 0;
    }
    return NOTES_ERR_ITEM_NOT_FOUND;
}

NOTES_EXPORT STATUS LNPUBLIC NSFItemInfo(NOTEHANDLE handle, const char* name, WORD nameLength, BLOCKID* itemBlock,
                                         WORD* type, BLOCKID* valueBlock, DWORD* length)
{
    {
        Locked locked;
        if (STATUS status = CheckLocked("NSFItemInfo"))
            return status;
    }
    BLOCKID start = {0, 0};
    return NSFItemInfoNext(handle, start, name, nameLength, itemBlock, type, valueBlock, length);
}

NOTES_EXPORT STATUS LNPUBLIC NSFItemDelete(NOTEHANDLE handle, const char* name, WORD nameLength)
{
    Locked locked;
    if (STATUS status = CheckLocked("NSFItemDelete"))
        return status;
    OpenNote* open = FindOpen(handle);
    if (!open)
        return NOTES_ERR_BAD_HANDLE;
    const std::string wanted = ItemName(name, nameLength);
    auto& items = open->note.items;
    for (auto item = items.begin(); item != items.end(); ++item) {
        if (SameText(item->name, wanted)) {
            items.erase(item);
            return 0;
        }
    }
    return NOTES_ERR_ITEM_NOT_FOUND;
}

// The stand-in keeps one item of a name: a value appended under a name the
// note has replaces that item's value.
NOTES_EXPORT STATUS LNPUBLIC NSFItemAppend(NOTEHANDLE handle, WORD flags, const char* name, WORD nameLength, WORD type,
                                           const void* value, DWORD length)
{
    Locked locked;
    OpenNote* open = nullptr;
    std::string itemName;
    if (STATUS status = NoteForItemWrite("NSFItemAppend", handle, name, nameLength, &open, &itemName))
        return status;
    NotesItem decoded;
    if (!DecodeValue(type, static_cast<const BYTE*>(value), length, &decoded))
        return NOTES_ERR_BAD_HANDLE;
    NotesItem& item = Replace(&open->note, itemName);
    item.values = decoded.values;
    item.number = decoded.number;
    item.summary = (flags & ITEM_SUMMARY) != 0;
    return 0;
}

NOTES_EXPORT STATUS LNPUBLIC NSFItemSetText(NOTEHANDLE handle, const char* name, const char* text, WORD length)
{
    Locked locked;
    OpenNote* open = nullptr;
    std::string itemName;
    if (STATUS status = NoteForItemWrite("NSFItemSetText", handle, name, kTerminated, &open, &itemName))
        return status;
    NotesItem& item = Replace(&open->note, itemName);
    item.values.push_back(Counted(text, length));
    item.summary = true;
    return 0;
}

NOTES_EXPORT WORD LNPUBLIC NSFItemGetTextListEntries(NOTEHANDLE handle, const char* name)
{
    Locked locked;
    const NotesItem* item = ItemToRead("NSFItemGetTextListEntries", handle, name);
    if (!item || !IsText(*item))
        return 0;
    return static_cast<WORD>(item->values.empty() ? 1 : item->values.size());
}

NOTES_EXPORT WORD LNPUBLIC NSFItemGetTextListEntry(NOTEHANDLE handle, const char* name, WORD position, char* text,
                                                   WORD size)
{
    Locked locked;
    const NotesItem* item = ItemToRead("NSFItemGetTextListEntry", handle, name);
    if (!item || !IsText(*item) || !text || size == 0)
        return 0;
    const std::string value = position < item->values.size() ? item->values[position] : std::string();
    WORD written = static_cast<WORD>(value.size() < size ? value.size() : size - 1u);
    std::memcpy(text, value.data(), written);
    text[written] = 0;
    return written;
}

// Appends a text to the item's text list, creating the item when the note
// has none; a text the list holds already is added again only when
// duplicates are allowed.
NOTES_EXPORT STATUS LNPUBLIC NSFItemAppendTextList(NOTEHANDLE handle, const char* name, const char* text, WORD length,
                                                   BOOL allowDuplicates)
{
    Locked locked;
    OpenNote* open = nullptr;
    std::string itemName;
    if (STATUS status = NoteForItemWrite("NSFItemAppendTextList", handle, name, kTerminated, &open, &itemName))
        return status;
    NotesItem* item = open->note.Find(itemName);
    if (!item) {
        open->note.items.push_back(NotesItem{itemName, {}, false, true});
        item = &open->note.items.back();
    }
    const std::string value = Counted(text, length);
    if (allowDuplicates || std::find(item->values.begin(), item->values.end(), value) == item->values.end())
        item->values.push_back(value);
    return 0;
}

// The value as an item holds it (its type word, then its data) as text, a
// list's entries joined by the separator (";" for 0); answers the length
// written. A value whose type word is not the type given is none.
NOTES_EXPORT WORD LNPUBLIC NSFItemConvertValueToText(WORD type, BLOCKID value, DWORD length, char* buffer, WORD size,
                                                     char separator)
{
    Locked locked;
    auto block = State().memory.find(value.pool);
    if (block == State().memory.end() || !buffer || size == 0 || value.block > block->second.size())
        return 0;
    const DWORD available = static_cast<DWORD>(block->second.size() - value.block);
    const BYTE* data = block->second.data() + value.block;
    NotesItem item;
    if (length < sizeof(WORD) || available < sizeof(WORD) || ReadWord(data) != type
        || !DecodeValue(type, data + sizeof(WORD), (length < available ? length : available) - sizeof(WORD), &item))
        return 0;
    std::string text;
    for (size_t i = 0; i < item.values.size(); ++i)
        text += (i ? std::string(1, separator ? separator : ';') : std::string()) + item.values[i];
    WORD written = static_cast<WORD>(text.size() < size ? text.size() : size - 1u);
    std::memcpy(buffer, text.data(), written);
    buffer[written] = 0;
    return written;
}

NOTES_EXPORT BOOL LNPUBLIC NSFItemGetTime(NOTEHANDLE handle, const char* name, TIMEDATE* stamp)
{
    Locked locked;
    const NotesItem* item = ItemToRead("NSFItemGetTime", handle, name);
    if (!item || !stamp || !IsTimeItem(*item))
        return FALSE;
    return StampOfText(item->values.front(), stamp) ? TRUE : FALSE;
}

NOTES_EXPORT BOOL LNPUBLIC NSFItemGetNumber(NOTEHANDLE handle, const char* name, NUMBER* number)
{
    Locked locked;
    const NotesItem* item = ItemToRead("NSFItemGetNumber", handle, name);
    if (!item || !number || !item->number || item->values.empty())
        return FALSE;
    *number = std::atof(item->values.front().c_str());
    return TRUE;
}
