// lcppn20.dll: writing notes: documents and their items, rich text, views
// and folders, mail sending and new calendar entries. A note's items are
// held in memory from its creation or first read until it is saved.
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "LNClasses.h"
#include "NotesStore.h"

namespace {

template <class F>
LNSTATUS Guarded(const char* call, F body)
{
    if (LNSTATUS status = NotesCheckCall(call))
        return status;
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return NOTES_ERR_BAD_HANDLE;
    }
}

// A call that writes the note item `item`: refused as well when a test named
// the item.
template <class F>
LNSTATUS GuardedWrite(const char* call, const char* item, F body)
{
    return Guarded(call, [&]() -> LNSTATUS {
        if (LNSTATUS status = NotesCheckItemWrite(item))
            return status;
        return body();
    });
}

// "2026-12-08 09:00:00", "2026-12-08" for a date alone, "*" for a wildcard.
std::string StampText(const NOTESTIMEDATE& stamp)
{
    if (stamp.innards[0] == 0)
        return "*";
    char text[32];
    DWORD date = stamp.innards[0], time = stamp.innards[1];
    if (time == NOTES_NO_TIME)
        std::snprintf(text, sizeof text, "%04lu-%02lu-%02lu", date / 10000, date / 100 % 100, date % 100);
    else
        std::snprintf(text, sizeof text, "%04lu-%02lu-%02lu %02lu:%02lu:%02lu", date / 10000, date / 100 % 100,
                      date % 100, time / 10000, time / 100 % 100, time % 100);
    return text;
}

std::string DatabaseFilePath(LNDBHANDLE handle)
{
    char file[MAX_PATH] = "";
    return handle && NotesDatabaseFile(handle, file, sizeof file) == 0 ? std::string(file) : std::string();
}

// The item, created empty when the note has none.
NotesItem& ItemOf(NotesNote* note, const char* name)
{
    if (NotesItem* item = note->Find(name))
        return *item;
    note->items.push_back(NotesItem{name, {}, false});
    return note->items.back();
}

// The item's values replaced (the item created when the note has none).
LNSTATUS ReplaceValues(NotesNote* note, const char* name, bool number, const std::vector<std::string>& values,
                       bool summary = false)
{
    if (!note || !name)
        return NOTES_ERR_BAD_HANDLE;
    NotesItem& item = ItemOf(note, name);
    item.number = number;
    item.values = values;
    item.summary = summary;
    return 0;
}

// Notes keeps what views show of a note in a summary buffer of limited
// size: a note with a larger summary text item cannot be saved.
bool SummaryFits(const NotesNote& note)
{
    for (const NotesItem& item : note.items) {
        if (!item.summary || item.number)
            continue;
        size_t bytes = 0;
        for (const std::string& value : item.values)
            bytes += value.size();
        if (bytes > NOTES_SUMMARY_TEXT_LIMIT)
            return false;
    }
    return true;
}

// Writes `note` into the database file; a note without an id is appended
// with the next free one.
LNSTATUS StoreNote(const std::string& file, NotesNote* note)
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
            note->id = other.id > note->id ? other.id : note->id;
        for (const NotesStub& stub : stubs)
            note->id = stub.id > note->id ? stub.id : note->id;
        ++note->id;
        note->created[0] = note->modified[0];
        note->created[1] = note->modified[1];
    }
    if (NotesNote* stored = FindNote(notes, note->id))
        *stored = *note;
    else
        notes.push_back(*note);
    return WriteNotesDatabase(file, notes) ? 0 : NOTES_ERR_FILE_NOT_FOUND;
}

const NotesNote* FindDesignNote(const std::vector<NotesNote>& notes, const char* title, int noteClass)
{
    for (const NotesNote& note : notes) {
        if (lstrcmpiA(note.Text("$Title").c_str(), title) == 0 && note.Text("$NoteClass") == std::to_string(noteClass))
            return &note;
    }
    return nullptr;
}

std::string FileName(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

//--- LNNote: items and saving

void* LNNote::Data() const
{
    if (!m_data && m_id != 0) {
        std::vector<NotesNote> notes;
        if (ReadNotesDatabase(m_file, &notes)) {
            if (NotesNote* note = FindNote(notes, m_id))
                m_data = new NotesNote(*note);
        }
    }
    return m_data;
}

const char* LNNote::GetFilePath() const
{
    return m_file;
}

BOOL LNNote::HasItem(const char* name) const
{
    if (NotesCheckCall("LNNote::HasItem") || !name)
        return FALSE;
    try {
        const NotesNote* note = static_cast<const NotesNote*>(Data());
        return note && note->Find(name) ? TRUE : FALSE;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
}

void LNNote::GetUniversalID(LNUNID* unid) const
{
    // The file id is a hash of the file's name, the same for every note in it.
    DWORD hash = 2166136261u;
    for (const char* c = m_file; *c; ++c)
        hash = (hash ^ static_cast<BYTE>(*c >= 'A' && *c <= 'Z' ? *c - 'A' + 'a' : *c)) * 16777619u;
    unid->file[0] = hash;
    unid->file[1] = hash ^ 0x5A5A5A5Au;
    unid->note[0] = 0x00010000u;
    unid->note[1] = m_id;
}

LNSTATUS LNNote::DoPutText(const char* name, const LNText& value, bool mustExist, DWORD flags)
{
    std::vector<std::string> values;
    for (DWORD i = 0; i < value.GetCount(); ++i)
        values.push_back(value[i].GetPlatformTextPtr());
    // An empty text item still has its one empty value.
    if (values.empty())
        values.push_back("");
    return GuardedWrite(mustExist ? "LNNote::SetItemValue" : "LNNote::CreateItem", name, [&]() -> LNSTATUS {
        NotesNote* note = static_cast<NotesNote*>(Data());
        bool summary = (flags & LNITEMFLAGS_SUMMARY) != 0;
        if (mustExist && note && name) {
            const NotesItem* item = note->Find(name);
            if (!item)
                return NOTES_ERR_ITEM_NOT_FOUND;
            summary = item->summary;
        }
        return ReplaceValues(note, name, false, values, summary);
    });
}

LNSTATUS LNNote::DoPutNumbers(const char* name, const LNNumbers& value)
{
    std::vector<std::string> values;
    for (DWORD i = 0; i < value.GetCount(); ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", value[i]);
        values.push_back(text);
    }
    return GuardedWrite("LNNote::CreateItem", name, [&]() -> LNSTATUS {
        return ReplaceValues(static_cast<NotesNote*>(Data()), name, true, values);
    });
}

LNSTATUS LNNote::DoPutDatetimes(const char* name, const LNDatetimes& value)
{
    std::vector<std::string> values;
    for (DWORD i = 0; i < value.GetCount(); ++i)
        values.push_back(StampText(value[i]));
    return GuardedWrite("LNNote::CreateItem", name, [&]() -> LNSTATUS {
        return ReplaceValues(static_cast<NotesNote*>(Data()), name, false, values);
    });
}

LNSTATUS LNNote::DoCreateRichText(const char* name, LNRichText* value)
{
    return GuardedWrite("LNNote::CreateItem", name, [&]() -> LNSTATUS {
        if (!value)
            return NOTES_ERR_BAD_HANDLE;
        if (LNSTATUS status = ReplaceValues(static_cast<NotesNote*>(Data()), name, false, {}))
            return status;
        value->m_note = this;
        lstrcpynA(value->m_item, name, sizeof value->m_item);
        return 0;
    });
}

LNSTATUS LNNote::DoGetRichText(const char* name, LNRichText* value)
{
    return Guarded("LNNote::GetItem", [&]() -> LNSTATUS {
        NotesNote* note = static_cast<NotesNote*>(Data());
        if (!note || !name)
            return NOTES_ERR_BAD_HANDLE;
        if (!note->Find(name))
            return NOTES_ERR_ITEM_NOT_FOUND;
        if (value) {
            value->m_note = this;
            lstrcpynA(value->m_item, name, sizeof value->m_item);
        }
        return 0;
    });
}

LNSTATUS LNNote::DoSave()
{
    return Guarded("LNNote::Save", [&]() -> LNSTATUS {
        NotesNote* note = static_cast<NotesNote*>(Data());
        if (!note)
            return NOTES_ERR_BAD_HANDLE;
        if (LNSTATUS status = StoreNote(m_file, note))
            return status;
        m_id = note->id;
        return 0;
    });
}

LNSTATUS LNNote::DoClose()
{
    return Guarded("LNNote::Close", [&]() -> LNSTATUS {
        m_open = FALSE;
        return 0;
    });
}

//--- LNDocument, LNMailMessage

LNSTATUS LNDocument::DoSetForm(const char* form)
{
    LNText value;
    value.SetValue(form ? form : "");
    return Guarded("LNDocument::SetFormNote", [&]() -> LNSTATUS { return CreateItem("Form", value, 0, 0); });
}

LNSTATUS LNDocument::DoSend()
{
    return Guarded("LNDocument::Send", [&]() -> LNSTATUS {
        const NotesNote* note = static_cast<const NotesNote*>(Data());
        if (!note)
            return NOTES_ERR_BAD_HANDLE;
        char folder[MAX_PATH] = "";
        if (LNSTATUS status = NotesDataDirectory(folder, sizeof folder))
            return status;
        std::string box = std::string(folder) + "\\mail.box";
        if (GetFileAttributesA(box.c_str()) == INVALID_FILE_ATTRIBUTES && !WriteNotesDatabase(box, {}))
            return NOTES_ERR_FILE_NOT_FOUND;
        NotesNote sent = *note;
        sent.id = 0;
        return StoreNote(box, &sent);
    });
}

LNSTATUS LNMailMessage::DoSetRecipients(LNRECIPIENTTYPE type, const char* names)
{
    static const char* const kItems[] = {"SendTo", "CopyTo", "BlindCopyTo"};
    if (type < LNRECIPIENTTYPE_TO || type > LNRECIPIENTTYPE_BCC)
        return NOTES_ERR_BAD_HANDLE;
    LNText value;
    value.SetValue(names ? names : "");
    return Guarded("LNMailMessage::SetRecipients",
                   [&]() -> LNSTATUS { return CreateItem(kItems[type], value, LNITEMFLAGS_SUMMARY, 0); });
}

//--- LNDatabase: documents, notes, views

LNSTATUS LNDatabase::DoCreateDocument(LNDocument* document, const char* form)
{
    return Guarded("LNDatabase::CreateDocument", [&]() -> LNSTATUS {
        std::string file = DatabaseFilePath(m_handle);
        if (file.empty() || !document)
            return NOTES_ERR_BAD_HANDLE;
        std::vector<NotesNote> notes;
        if (!ReadNotesDatabase(file, &notes))
            return NOTES_ERR_FILE_NOT_FOUND;
        NotesNote* created = new NotesNote;
        if (form) {
            created->items.push_back(NotesItem{"Form", {form}, false});
            if (const NotesNote* design = FindDesignNote(notes, form, NOTES_CLASS_FORM)) {
                const std::string prefix = "$Default.";
                for (const NotesItem& item : design->items) {
                    if (item.name.compare(0, prefix.size(), prefix) == 0)
                        created->items.push_back(NotesItem{item.name.substr(prefix.size()), item.values, item.number});
                }
            }
        }
        document->Bind(file.c_str(), 0);
        document->m_data = created;
        document->m_open = TRUE;
        return 0;
    });
}

LNSTATUS LNDatabase::DoGetNote(LNNOTEID id, LNNote* note) const
{
    return Guarded("LNDatabase::GetNote", [&]() -> LNSTATUS {
        std::string file = DatabaseFilePath(m_handle);
        if (file.empty() || !note)
            return NOTES_ERR_BAD_HANDLE;
        std::vector<NotesNote> notes;
        if (!ReadNotesDatabase(file, &notes))
            return NOTES_ERR_FILE_NOT_FOUND;
        if (id == 0 || !FindNote(notes, id))
            return NOTES_ERR_NOT_FOUND;
        note->Bind(file.c_str(), id);
        return 0;
    });
}

LNSTATUS LNDatabase::DoGetViewFolder(const char* name, LNViewFolder* folder) const
{
    return Guarded("LNDatabase::GetViewFolder", [&]() -> LNSTATUS {
        std::string file = DatabaseFilePath(m_handle);
        if (file.empty() || !name || !folder)
            return NOTES_ERR_BAD_HANDLE;
        std::vector<NotesNote> notes;
        if (!ReadNotesDatabase(file, &notes))
            return NOTES_ERR_FILE_NOT_FOUND;
        const NotesNote* view = FindDesignNote(notes, name, NOTES_CLASS_VIEW);
        if (!view)
            return NOTES_ERR_NOT_FOUND;
        folder->Bind(file.c_str(), view->id);
        return 0;
    });
}

//--- LNViewFolder

LNSTATUS LNViewFolder::DoOpenFolder()
{
    return Guarded("LNViewFolder::Open", [&]() -> LNSTATUS {
        const NotesNote* note = static_cast<const NotesNote*>(Data());
        if (!note)
            return NOTES_ERR_NOT_FOUND;
        // Only a design note of the view class is a view or folder.
        if (note->Text("$NoteClass") != std::to_string(NOTES_CLASS_VIEW))
            return NOTES_ERR_NOT_FOUND;
        m_viewOpen = TRUE;
        return 0;
    });
}

void LNViewFolder::GetName(LNString* name) const
{
    const NotesNote* note = static_cast<const NotesNote*>(Data());
    *name = LNString(note ? note->Text("$Title").c_str() : "");
}

LNSTATUS LNViewFolder::DoAddDocument(const LNDocument& document)
{
    return Guarded("LNViewFolder::FolderAddDocument", [&]() -> LNSTATUS {
        NotesNote* note = static_cast<NotesNote*>(Data());
        if (!note || document.GetNoteID() == 0)
            return NOTES_ERR_BAD_HANDLE;
        ItemOf(note, "$FolderEntries").values.push_back(std::to_string(document.GetNoteID()));
        return StoreNote(GetFilePath(), note);
    });
}

//--- LNRichText

LNRichText::LNRichText() : m_note(nullptr), m_item() {}

#define RICH_TEXT_VALUES() \
    NotesNote* note = m_note ? static_cast<NotesNote*>(m_note->Data()) : nullptr; \
    if (!note) \
        return NOTES_ERR_BAD_HANDLE; \
    std::vector<std::string>& paragraphs = ItemOf(note, m_item).values

LNSTATUS LNRichText::DoSetValue(const char* text, BOOL lines)
{
    return GuardedWrite("LNRichText::SetValue", m_item, [&]() -> LNSTATUS {
        RICH_TEXT_VALUES();
        paragraphs.clear();
        std::string all = text ? text : "";
        if (!lines) {
            paragraphs.push_back(all);
            return 0;
        }
        size_t start = 0;
        for (size_t end; (end = all.find('\n', start)) != std::string::npos; start = end + 1)
            paragraphs.push_back(all.substr(start, end - start));
        paragraphs.push_back(all.substr(start));
        return 0;
    });
}

void LNRichText::GetEndCursor(LNRTCursor* cursor) const
{
    const NotesNote* note = m_note ? static_cast<const NotesNote*>(m_note->Data()) : nullptr;
    const NotesItem* item = note ? note->Find(m_item) : nullptr;
    cursor->m_paragraph = item && !item->values.empty() ? static_cast<DWORD>(item->values.size() - 1) : 0;
}

LNSTATUS LNRichText::DoStartParagraph(LNRTCursor* cursor)
{
    return GuardedWrite("LNRichText::StartNewParagraph", m_item, [&]() -> LNSTATUS {
        RICH_TEXT_VALUES();
        paragraphs.push_back("");
        cursor->m_paragraph = static_cast<DWORD>(paragraphs.size() - 1);
        return 0;
    });
}

LNSTATUS LNRichText::DoInsert(const char* text, LNRTCursor* cursor)
{
    return GuardedWrite("LNRichText::Insert", m_item, [&]() -> LNSTATUS {
        RICH_TEXT_VALUES();
        if (paragraphs.empty())
            paragraphs.push_back("");
        DWORD at = cursor->m_paragraph < paragraphs.size() ? cursor->m_paragraph : paragraphs.size() - 1;
        paragraphs[at] += text ? text : "";
        return 0;
    });
}

LNSTATUS LNRichText::DoCreateLink(const LNViewFolder& view, const LNDocument& document, LNRTCursor* cursor)
{
    LNString title;
    view.GetName(&title);
    std::string link = "[link " + FileName(document.GetFilePath()) + "/" + title.GetPlatformTextPtr() + "/"
                       + std::to_string(document.GetNoteID()) + "]";
    return Guarded("LNRichText::CreateDocumentLink", [&]() -> LNSTATUS { return DoInsert(link.c_str(), cursor); });
}

LNSTATUS LNRichText::DoCreateAttachment(const char* path, LNRTCursor* cursor, const char* name, BOOL)
{
    return GuardedWrite("LNRichText::CreateAttachment", m_item, [&]() -> LNSTATUS {
        if (!path || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            return NOTES_ERR_FILE_NOT_FOUND;
        std::string shown = name && *name ? name : FileName(path);
        if (LNSTATUS status = DoInsert(("[attachment " + shown + "]").c_str(), cursor))
            return status;
        ItemOf(static_cast<NotesNote*>(m_note->Data()), "$FILE").values.push_back(shown);
        return 0;
    });
}

//--- LNNumbers

LNNumbers::LNNumbers() : m_values(), m_count(0) {}

void LNNumbers::SetValue(double value)
{
    m_values[0] = value;
    m_count = 1;
}

DWORD LNNumbers::GetCount() const
{
    return m_count;
}

double LNNumbers::operator[](DWORD index) const
{
    return index < m_count ? m_values[index] : 0.0;
}

//--- LNCalendar: new entries

LNSTATUS LNCalendar::DoCreateEntry(const LNDatetimeRange& range, const char* subject, LNCALENTRYTYPE kind,
                                   LNCalendarNote* entry) const
{
    return Guarded("LNCalendar::CreateEntry", [&]() -> LNSTATUS {
        int type = 0;
        while (type < 4 && (1 << type) != kind)
            ++type;
        if ((1 << type) != kind || !entry || range.begin.IsWildcard() || range.end.IsWildcard())
            return NOTES_ERR_BAD_TIME;
        NOTESDBHANDLE handle = 0;
        if (LNSTATUS status = NotesDatabaseOpen(m_server, m_path, &handle))
            return status;
        std::string file = DatabaseFilePath(handle);
        NotesDatabaseClose(handle);
        NotesNote note;
        note.items = {{"Form", {"Appointment"}, false},
                      {"AppointmentType", {std::to_string(type)}, true},
                      {"StartDateTime", {StampText(range.begin.GetStamp())}, false},
                      {"EndDateTime", {StampText(range.end.GetStamp())}, false},
                      {"Subject", {subject ? subject : ""}, false, true},
                      {"Chair", {m_user}, false},
                      {"Body", {}, false}};
        // The subject is the one value the caller sets through the call.
        if (LNSTATUS status = NotesCheckItemWrite("Subject"))
            return status;
        if (LNSTATUS status = StoreNote(file, &note))
            return status;
        entry->Bind(file.c_str(), note.id);
        entry->m_data = new NotesNote(note);
        entry->m_open = TRUE;
        return 0;
    });
}
