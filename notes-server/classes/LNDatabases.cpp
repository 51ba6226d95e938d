// Databases of the class layer, their views and folders read through
// collections, and forms whose field records give a keywords field's
// choices.
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "LNClasses.h"
#include "notesbytes.h"

namespace {

using NotesBytes::ReadWord;

// The field record's fixed part: its header, flags, type, delimiters, the
// number and time formats, the font, then the lengths of the default,
// translation and validation formulas, the tab order, and the lengths of
// the name, the description and the choices; the variable parts follow in
// that order.
const DWORD kFieldFixed = 36;
const DWORD kFieldDefault = 22;

struct FieldRecord {
    std::string name;
    std::vector<BYTE> choices;
};

bool ParseField(const BYTE* record, DWORD length, FieldRecord* field)
{
    if (length < kFieldFixed)
        return false;
    const WORD defaultLength = ReadWord(record + kFieldDefault);
    const WORD translation = ReadWord(record + kFieldDefault + 2);
    const WORD validation = ReadWord(record + kFieldDefault + 6);
    const WORD nameLength = ReadWord(record + kFieldDefault + 8);
    const WORD description = ReadWord(record + kFieldDefault + 10);
    const WORD choices = ReadWord(record + kFieldDefault + 12);
    const DWORD name = kFieldFixed + defaultLength + translation + validation;
    const DWORD value = name + nameLength + description;
    if (value + choices > length)
        return false;
    field->name.assign(reinterpret_cast<const char*>(record + name), nameLength);
    field->choices.assign(record + value, record + value + choices);
    return true;
}

// Every field record of a rich text value (without its type word).
std::vector<FieldRecord> FieldsOf(const BYTE* data, DWORD length)
{
    std::vector<FieldRecord> fields;
    for (DWORD at = 0; at + 2 <= length;) {
        const WORD signature = ReadWord(data + at);
        DWORD size;
        if ((signature & 0xFF00) == WORDRECORDLENGTH) {
            size = at + 4 <= length ? ReadWord(data + at + 2) : 0;
        } else if ((signature & 0xFF00) == LONGRECORDLENGTH) {
            DWORD value = 0;
            if (at + 6 <= length)
                std::memcpy(&value, data + at + 2, sizeof value);
            size = value;
        } else {
            size = signature >> 8;
        }
        if (size < 2 || at + size > length)
            break;
        FieldRecord field;
        if (signature == SIG_CD_FIELD && ParseField(data + at, size, &field))
            fields.push_back(field);
        at += size + size % 2;
    }
    return fields;
}

// Choices made by a formula are a list of no entries with the compiled
// formula after it.
bool IsFormula(const std::vector<BYTE>& value)
{
    return value.size() > sizeof(LIST) && ReadWord(value.data()) == 0;
}

}  // namespace

LNDatabase::~LNDatabase()
{
    if (m_handle && LNNotes().NSFDbClose)
        LNNotes().NSFDbClose(m_handle);
}

void LNDatabase::Bind(const char* server, const char* path)
{
    if (m_handle && LNNotes().NSFDbClose)
        LNNotes().NSFDbClose(m_handle);
    m_handle = NULLHANDLE;
    m_server = server ? server : "";
    m_path = path ? path : "";
}

LNSTATUS LNDatabase::Open()
{
    if (m_handle)
        return 0;
    if (!LNNotes().NSFDbOpen)
        return LNRaise(LNERR_NO_FUNCTION);
    return LNRaise(LNNotes().NSFDbOpen(LNNetworkPath(m_server, m_path).c_str(), &m_handle));
}

LNSTATUS LNDatabase::Close()
{
    DBHANDLE handle = m_handle;
    m_handle = NULLHANDLE;
    if (!handle)
        return 0;
    return LNRaise(LNNotes().NSFDbClose ? LNNotes().NSFDbClose(handle) : LNERR_NO_FUNCTION);
}

BOOL LNDatabase::FormExists(const char* name) const
{
    NOTEID id = 0;
    return m_handle && name && LNNotes().NIFFindDesignNote
           && LNNotes().NIFFindDesignNote(m_handle, name, NOTE_CLASS_FORM, &id) == 0;
}

LNSTATUS LNDatabase::GetForm(const char* name, LNForm* form) const
{
    if (!m_handle)
        return LNRaise(LNERR_NOT_OPEN);
    if (!LNNotes().NIFFindDesignNote)
        return LNRaise(LNERR_NO_FUNCTION);
    NOTEID id = 0;
    if (LNSTATUS status = LNNotes().NIFFindDesignNote(m_handle, name, NOTE_CLASS_FORM, &id))
        return LNRaise(status);
    form->Bind(m_handle, id);
    return 0;
}

LNSTATUS LNDatabase::CreateDocument(LNDocument* document, const char* form)
{
    if (!m_handle)
        return LNRaise(LNERR_NOT_OPEN);
    if (!LNNotes().NSFNoteCreate)
        return LNRaise(LNERR_NO_FUNCTION);
    NOTEHANDLE note = NULLHANDLE;
    if (LNSTATUS status = LNNotes().NSFNoteCreate(m_handle, &note))
        return LNRaise(status);
    document->Bind(m_handle, 0);
    static_cast<LNNote*>(document)->m_handle = note;
    if (!form)
        return 0;
    if (LNSTATUS status = document->SetFormNote(form))
        return status;
    // A database without the form gives the document no defaults.
    if (!FormExists(form))
        return 0;
    return document->ComputeWithForm(FALSE);
}

LNSTATUS LNDatabase::GetNote(LNNOTEID id, LNNote* note) const
{
    if (!m_handle)
        return LNRaise(LNERR_NOT_OPEN);
    note->Bind(m_handle, id);
    return 0;
}

LNSTATUS LNDatabase::GetDocument(LNNOTEID id, LNDocument* document) const
{
    return GetNote(id, document);
}

LNSTATUS LNDatabase::GetViewFolder(const char* name, LNViewFolder* folder) const
{
    if (!m_handle)
        return LNRaise(LNERR_NOT_OPEN);
    if (!LNNotes().NIFFindDesignNote)
        return LNRaise(LNERR_NO_FUNCTION);
    NOTEID id = 0;
    if (LNSTATUS status = LNNotes().NIFFindDesignNote(m_handle, name, NOTE_CLASS_VIEW, &id))
        return LNRaise(status);
    folder->Bind(m_handle, id);
    return 0;
}

BOOL LNDatabase::ViewFolderExists(const char* name) const
{
    NOTEID id = 0;
    return m_handle && name && LNNotes().NIFFindDesignNote
           && LNNotes().NIFFindDesignNote(m_handle, name, NOTE_CLASS_VIEW, &id) == 0;
}

LNSTATUS LNDatabase::GetViewFolders(LNNoteArray* views) const
{
    LNDatetime all;
    all.SetDateToWildCard();
    LNNoteArray modified;
    if (LNSTATUS status = const_cast<LNDatabase*>(this)->GetModifiedNotes(all, NOTE_CLASS_VIEW, &modified))
        return status;
    // The table since ever holds the stubs of deleted views too.
    std::vector<LNNOTEID> present;
    for (DWORD i = 0; i < modified.GetCount(); ++i) {
        if (!(modified[i] & RRV_DELETED))
            present.push_back(modified[i]);
    }
    views->Assign(std::move(present));
    return 0;
}

LNSTATUS LNDatabase::CreateFolder(const char* name, int sharing, const LNViewFolder& design, LNViewFolder* folder)
{
    if (!m_handle)
        return LNRaise(LNERR_NOT_OPEN);
    if (!LNNotes().FolderCreate)
        return LNRaise(LNERR_NO_FUNCTION);
    NOTEID created = 0;
    std::string title = LNToLmbcs(name ? name : "");
    // The folder lives in the data database: its own handle is always null.
    if (LNSTATUS status = LNNotes().FolderCreate(m_handle, NULLHANDLE, design.GetNoteID(), m_handle, &title[0],
                                                 static_cast<WORD>(title.size()), static_cast<DWORD>(sharing), 0,
                                                 &created))
        return LNRaise(status);
    folder->Bind(m_handle, created);
    return folder->Open(0);
}

LNSTATUS LNDatabase::GetModifiedNotes(const LNDatetime& since, WORD classMask, LNNoteArray* notes)
{
    const LNNotesFunctions& api = LNNotes();
    if (!m_handle)
        return LNRaise(LNERR_NOT_OPEN);
    if (!api.NSFDbGetModifiedNoteTable || !api.IDScan || !api.IDDestroyTable)
        return LNRaise(LNERR_NO_FUNCTION);
    DHANDLE table = NULLHANDLE;
    TIMEDATE until;
    LNSTATUS status = api.NSFDbGetModifiedNoteTable(m_handle, classMask, since.GetStamp(), &until, &table);
    // Nothing changed since then: an empty answer, not a failure.
    if (ERR(static_cast<STATUS>(status)) == ERR_NO_MODIFIED_NOTES) {
        if (table)
            api.IDDestroyTable(table);
        notes->Assign({});
        return 0;
    }
    if (status)
        return LNRaise(status);
    std::vector<LNNOTEID> ids;
    NOTEID id = 0;
    for (BOOL found = api.IDScan(table, TRUE, &id); found; found = api.IDScan(table, FALSE, &id))
        ids.push_back(id);
    api.IDDestroyTable(table);
    notes->Assign(ids);
    return 0;
}

LNSTATUS LNDatabase::DeleteNote(LNNOTEID id)
{
    if (!m_handle)
        return LNRaise(LNERR_NOT_OPEN);
    return LNRaise(LNNotes().NSFNoteDelete ? LNNotes().NSFNoteDelete(m_handle, id, 0) : LNERR_NO_FUNCTION);
}

LNSTATUS LNVFEntry::GetDocument(LNDocument* document) const
{
    if (!m_database || m_id == 0)
        return LNRaise(LNERR_NOT_OPEN);
    document->Bind(m_database, m_id);
    return 0;
}

LNViewFolder::~LNViewFolder()
{
    CloseCollection();
}

void LNViewFolder::CloseCollection()
{
    if (m_collection && LNNotes().NIFCloseCollection)
        LNNotes().NIFCloseCollection(m_collection);
    m_collection = 0;
}

LNSTATUS LNViewFolder::Open(int)
{
    const LNNotesFunctions& api = LNNotes();
    if (LNSTATUS status = OpenNote())
        return LNRaise(status);
    if (!api.NSFNoteGetInfo || !api.NIFOpenCollection)
        return LNRaise(LNERR_NO_FUNCTION);
    WORD noteClass = 0;
    api.NSFNoteGetInfo(GetNoteHandle(), _NOTE_CLASS, &noteClass);
    if (!(noteClass & NOTE_CLASS_VIEW)) {
        LNNote::Close();
        return LNRaise(LNERR_NOT_OPEN);
    }
    if (m_collection)
        return 0;
    return LNRaise(api.NIFOpenCollection(GetDatabaseHandle(), GetDatabaseHandle(), GetNoteID(), 0, NULLHANDLE,
                                         &m_collection, nullptr, nullptr, nullptr, nullptr));
}

LNSTATUS LNViewFolder::Close()
{
    CloseCollection();
    return LNNote::Close();
}

void LNViewFolder::GetName(LNString* name) const
{
    LNText title;
    ReturnedErrors returned;
    GetItem("$TITLE", &title);
    *name = title[0];
}

BOOL LNViewFolder::IsFolder() const
{
    LNText flags;
    ReturnedErrors returned;
    return GetItem("$Flags", &flags) == 0 && std::strchr(flags[0].GetPlatformTextPtr(), 'F') != nullptr;
}

LNSTATUS LNViewFolder::FolderAddDocument(const LNDocument& document)
{
    const LNNotesFunctions& api = LNNotes();
    if (!api.IDCreateTable || !api.IDInsert || !api.FolderDocAdd || !api.IDDestroyTable)
        return LNRaise(LNERR_NO_FUNCTION);
    if (document.GetNoteID() == 0)
        return LNRaise(LNERR_NOT_OPEN);
    DHANDLE table = NULLHANDLE;
    if (LNSTATUS status = api.IDCreateTable(sizeof(NOTEID), &table))
        return LNRaise(status);
    BOOL inserted = FALSE;
    LNSTATUS status = api.IDInsert(table, document.GetNoteID(), &inserted);
    if (status == 0)
        status = api.FolderDocAdd(document.GetDatabaseHandle(), NULLHANDLE, GetNoteID(), table, 0);
    api.IDDestroyTable(table);
    return LNRaise(status);
}

// One entry at a time: the first from before the view's start, each next
// from the entry read last. Category entries and responses are no main
// topics.
LNSTATUS LNViewFolder::Goto(WORD navigation, LNVFEntry* entry)
{
    const LNNotesFunctions& api = LNNotes();
    if (!m_collection)
        return LNRaise(LNERR_NOT_OPEN);
    if (!api.NIFReadEntries || !api.OSLockObject || !api.OSUnlockObject || !api.OSMemFree)
        return LNRaise(LNERR_NO_FUNCTION);
    if (navigation == LNVFNAVIGATE_FIRST)
        m_position = COLLECTIONPOSITION();
    else if (navigation != LNVFNAVIGATE_NEXT)
        return LNRaise(LNERR_NOT_OPEN);
    DHANDLE buffer = NULLHANDLE;
    WORD length = 0, signal = 0;
    DWORD skipped = 0, returned = 0;
    if (LNSTATUS status = api.NIFReadEntries(m_collection, &m_position, NAVIGATE_NEXT, 1, NAVIGATE_NEXT, 1,
                                             READ_MASK_NOTEID, &buffer, &length, &skipped, &returned, &signal))
        return LNRaise(status);
    if (returned == 0 || !buffer) {
        if (buffer)
            api.OSMemFree(buffer);
        return LNWARN_END_OF_VIEW;
    }
    NOTEID id = 0;
    if (const void* ids = api.OSLockObject(buffer)) {
        std::memcpy(&id, ids, sizeof id);
        api.OSUnlockObject(buffer);
    }
    api.OSMemFree(buffer);
    entry->m_database = GetDatabaseHandle();
    entry->m_id = id & ~NOTEID_CATEGORY;
    entry->m_mainTopic = FALSE;
    if (!(id & NOTEID_CATEGORY)) {
        LNDocument document;
        document.Bind(GetDatabaseHandle(), id);
        ReturnedErrors returned;
        entry->m_mainTopic = document.Open(0) == 0 && !document.HasItem("$REF") ? TRUE : FALSE;
    }
    return 0;
}

BOOL LNForm::HasFormField(const char* name) const
{
    LNText fields;
    ReturnedErrors returned;
    if (!name || GetItem("$Fields", &fields) != 0)
        return FALSE;
    for (DWORD i = 0; i < fields.GetCount(); ++i) {
        if (lstrcmpiA(fields[i].GetPlatformTextPtr(), name) == 0)
            return TRUE;
    }
    return FALSE;
}

// The field's record among those of the form's "$Body" items.
LNSTATUS LNForm::GetFormField(const char* name, LNKeywordsField* field) const
{
    const LNNotesFunctions& api = LNNotes();
    NOTEHANDLE note;
    if (LNSTATUS status = Handle(&note))
        return LNRaise(status);
    if (!api.NSFItemInfo || !api.NSFItemInfoNext || !api.OSLockObject || !api.OSUnlockObject)
        return LNRaise(LNERR_NO_FUNCTION);
    BLOCKID item = {}, value = {};
    WORD type = 0;
    DWORD length = 0;
    for (STATUS status = api.NSFItemInfo(note, "$Body", 5, &item, &type, &value, &length); status == 0;
         status = api.NSFItemInfoNext(note, item, "$Body", 5, &item, &type, &value, &length)) {
        const BYTE* data = static_cast<const BYTE*>(api.OSLockObject(value.pool));
        std::vector<FieldRecord> fields;
        if (data && type == TYPE_COMPOSITE && length >= 2)
            fields = FieldsOf(data + value.block + 2, length - 2);
        api.OSUnlockObject(value.pool);
        for (const FieldRecord& found : fields) {
            if (lstrcmpiA(found.name.c_str(), name) == 0) {
                field->m_formula = IsFormula(found.choices);
                field->m_choices = found.choices;
                if (field->m_formula)
                    field->m_choices.erase(field->m_choices.begin(), field->m_choices.begin() + sizeof(LIST));
                return 0;
            }
        }
    }
    return LNRaise(LNERR_NOT_KEYWORDS);
}

LNSTATUS LNKeywordsField::GetChoicesFormula(LNFormula* formula) const
{
    if (!m_formula || m_choices.empty())
        return LNRaise(LNERR_NOT_KEYWORDS);
    *formula = LNFormula(m_choices);
    return 0;
}

LNSTATUS LNFormula::Evaluate(LNText* result) const
{
    const LNNotesFunctions& api = LNNotes();
    if (!api.NSFComputeStart || !api.NSFComputeEvaluate || !api.NSFComputeStop || !api.OSLockObject
        || !api.OSUnlockObject || !api.OSMemFree)
        return LNRaise(LNERR_NO_FUNCTION);
    std::vector<BYTE> compiled = m_compiled;
    HCOMPUTE compute = nullptr;
    if (LNSTATUS status = api.NSFComputeStart(0, compiled.data(), &compute))
        return LNRaise(status);
    DHANDLE value = NULLHANDLE;
    WORD length = 0;
    BOOL matches = FALSE, deleted = FALSE, modified = FALSE;
    LNSTATUS status = api.NSFComputeEvaluate(compute, NULLHANDLE, &value, &length, &matches, &deleted, &modified);
    api.NSFComputeStop(compute);
    if (status)
        return LNRaise(status);
    result->DeleteAll();
    const BYTE* data = static_cast<const BYTE*>(api.OSLockObject(value));
    if (data && length >= 2) {
        const WORD type = ReadWord(data);
        if (type == TYPE_TEXT) {
            result->Append(LNToNative(std::string(reinterpret_cast<const char*>(data + 2), length - 2u)).c_str());
        } else if (type == TYPE_TEXT_LIST && length >= 4) {
            const WORD count = ReadWord(data + 2);
            DWORD at = 4 + 2u * count;
            for (WORD i = 0; i < count && at <= length; ++i) {
                const WORD size = ReadWord(data + 4 + 2 * i);
                if (at + size > length)
                    break;
                result->Append(LNToNative(std::string(reinterpret_cast<const char*>(data + at), size)).c_str());
                at += size;
            }
        }
    }
    api.OSUnlockObject(value);
    api.OSMemFree(value);
    return 0;
}
