// Notes of the class layer: opened, created and saved through the function
// library, their items written as the library's typed values, documents
// computed with their form, and mail sent through the outgoing mail box.
#include <cstring>
#include <string>
#include <vector>

#include "LNClasses.h"
#include "notesbytes.h"

namespace {

using NotesBytes::Append;
using NotesBytes::AppendWord;

WORD NameLength(const char* name)
{
    return static_cast<WORD>(std::strlen(name));
}

// Whether the note has the item: NSFItemInfo with no results asked for, as
// the reference's own test for an item does.
BOOL ItemPresent(NOTEHANDLE note, const char* name)
{
    return LNNotes().NSFItemInfo(note, name, NameLength(name), nullptr, nullptr, nullptr, nullptr) == 0;
}

// A text list value: a text alone, or the list's count, lengths and texts.
std::vector<BYTE> TextValue(const LNText& text, WORD* type)
{
    std::vector<BYTE> value;
    std::vector<std::string> texts;
    for (DWORD i = 0; i < text.GetCount() || i == 0; ++i)
        texts.push_back(LNToLmbcs(text[i].GetPlatformTextPtr()));
    if (texts.size() == 1) {
        *type = TYPE_TEXT;
        Append(&value, texts[0].data(), texts[0].size());
        return value;
    }
    *type = TYPE_TEXT_LIST;
    AppendWord(&value, static_cast<WORD>(texts.size()));
    for (const std::string& each : texts)
        AppendWord(&value, static_cast<WORD>(each.size()));
    for (const std::string& each : texts)
        Append(&value, each.data(), each.size());
    return value;
}

// One number, or a range of them: the counts (no pairs), then the numbers.
std::vector<BYTE> NumberValue(const LNNumbers& numbers, WORD* type)
{
    std::vector<BYTE> value;
    *type = numbers.GetCount() == 1 ? TYPE_NUMBER : TYPE_NUMBER_RANGE;
    if (*type == TYPE_NUMBER_RANGE) {
        AppendWord(&value, static_cast<WORD>(numbers.GetCount()));
        AppendWord(&value, 0);
    }
    for (DWORD i = 0; i < numbers.GetCount(); ++i) {
        NUMBER number = numbers[i];
        Append(&value, &number, sizeof number);
    }
    return value;
}

std::vector<BYTE> TimeValue(const LNDatetimes& times, WORD* type)
{
    std::vector<BYTE> value;
    *type = times.GetCount() == 1 ? TYPE_TIME : TYPE_TIME_RANGE;
    if (*type == TYPE_TIME_RANGE) {
        AppendWord(&value, static_cast<WORD>(times.GetCount()));
        AppendWord(&value, 0);
    }
    for (DWORD i = 0; i < times.GetCount(); ++i) {
        TIMEDATE stamp = times[i];
        Append(&value, &stamp, sizeof stamp);
    }
    return value;
}

// The names of a comma-separated list, each once, blanks trimmed.
std::vector<std::string> SplitNames(const std::string& names)
{
    std::vector<std::string> split;
    size_t start = 0;
    while (start <= names.size()) {
        size_t comma = names.find(',', start);
        std::string name = names.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        size_t first = name.find_first_not_of(' ');
        if (first != std::string::npos)
            split.push_back(name.substr(first, name.find_last_not_of(' ') - first + 1));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return split;
}

// The outgoing mail box: this machine's when it has one, else the mail
// server's.
LNSTATUS OpenMailBox(DBHANDLE* box)
{
    const LNNotesFunctions& api = LNNotes();
    if (api.NSFDbOpen("mail.box", box) == 0)
        return 0;
    char server[256] = "";
    if (!api.OSGetEnvironmentString || !api.OSGetEnvironmentString("MailServer", server, sizeof server - 1)
        || !*server)
        return api.NSFDbOpen("mail.box", box);
    return api.NSFDbOpen(LNNetworkPath(server, "mail.box").c_str(), box);
}

}  // namespace

LNNote::~LNNote()
{
    Release();
}

void LNNote::Release()
{
    for (LNRichText* text : m_richTexts) {
        text->Discard();
        text->m_note = nullptr;
    }
    m_richTexts.clear();
    if (m_handle && LNNotes().NSFNoteClose)
        LNNotes().NSFNoteClose(m_handle);
    m_handle = NULLHANDLE;
    if (m_ownsDatabase && m_database && LNNotes().NSFDbClose)
        LNNotes().NSFDbClose(m_database);
    m_ownsDatabase = false;
}

void LNNote::Bind(LNDBHANDLE database, LNNOTEID id, bool ownsDatabase)
{
    Release();
    m_database = database;
    m_id = id;
    m_ownsDatabase = ownsDatabase;
}

LNSTATUS LNNote::OpenNote()
{
    if (m_handle)
        return 0;
    if (!m_database || m_id == 0)
        return LNERR_NOT_OPEN;
    if (!LNNotes().NSFNoteOpen)
        return LNERR_NO_FUNCTION;
    return LNNotes().NSFNoteOpen(m_database, m_id, 0, &m_handle);
}

LNSTATUS LNNote::Handle(NOTEHANDLE* handle) const
{
    *handle = m_handle;
    return m_handle ? 0 : LNERR_NOT_OPEN;
}

LNSTATUS LNNote::Close()
{
    LNSTATUS status = 0;
    if (m_handle && LNNotes().NSFNoteClose)
        status = LNNotes().NSFNoteClose(m_handle);
    for (LNRichText* text : m_richTexts) {
        text->Discard();
        text->m_note = nullptr;
    }
    m_richTexts.clear();
    m_handle = NULLHANDLE;
    return LNRaise(status);
}

LNSTATUS LNNote::GetItem(const char* name, LNText* values) const
{
    const LNNotesFunctions& api = LNNotes();
    NOTEHANDLE note;
    if (LNSTATUS status = Handle(&note))
        return LNRaise(status);
    if (!api.NSFItemInfo || !api.NSFItemGetTextListEntries || !api.NSFItemGetTextListEntry)
        return LNRaise(LNERR_NO_FUNCTION);
    if (!name || !values || !ItemPresent(note, name))
        return LNRaise(LNERR_ITEM_NOT_FOUND);
    values->DeleteAll();
    const WORD count = api.NSFItemGetTextListEntries(note, name);
    for (WORD i = 0; i < count; ++i) {
        std::vector<char> text(60 * 1024 + 1);
        api.NSFItemGetTextListEntry(note, name, i, text.data(), static_cast<WORD>(text.size() - 1));
        values->Append(LNToNative(text.data()).c_str());
    }
    return 0;
}

BOOL LNNote::HasItem(const char* name) const
{
    return m_handle && name && LNNotes().NSFItemInfo ? ItemPresent(m_handle, name) : FALSE;
}

void LNNote::GetUniversalID(LNUNID* unid) const
{
    ORIGINATORID oid = {};
    if (m_handle && LNNotes().NSFNoteGetInfo)
        LNNotes().NSFNoteGetInfo(m_handle, _NOTE_OID, &oid);
    unid->unid.File = oid.File;
    unid->unid.Note = oid.Note;
}

WORD LNNote::GetItemType(const char* name) const
{
    WORD type = 0;
    if (!m_handle || !name || !LNNotes().NSFItemInfo
        || LNNotes().NSFItemInfo(m_handle, name, NameLength(name), nullptr, &type, nullptr, nullptr) != 0)
        return 0;
    if (type == TYPE_TEXT || type == TYPE_TEXT_LIST)
        return LNITEMTYPE_TEXT;
    if (type == TYPE_NUMBER || type == TYPE_NUMBER_RANGE)
        return LNITEMTYPE_NUMBERS;
    return type;
}

LNSTATUS LNNote::GetCreated(LNDatetime* created) const
{
    NOTEHANDLE note;
    if (LNSTATUS status = Handle(&note))
        return LNRaise(status);
    TIMEDATE stamp = {{0, 0}};
    LNNotes().NSFNoteGetInfo(note, _NOTE_ADDED_TO_FILE, &stamp);
    *created = LNDatetime(stamp);
    return 0;
}

LNSTATUS LNNote::GetLastModified(LNDatetime* modified) const
{
    NOTEHANDLE note;
    if (LNSTATUS status = Handle(&note))
        return LNRaise(status);
    TIMEDATE stamp = {{0, 0}};
    LNNotes().NSFNoteGetInfo(note, _NOTE_MODIFIED, &stamp);
    *modified = LNDatetime(stamp);
    return 0;
}

// The item replaced: the old one deleted, the new value appended.
LNSTATUS LNNote::PutValue(const char* name, WORD type, const std::vector<BYTE>& value, DWORD flags, bool mustExist)
{
    const LNNotesFunctions& api = LNNotes();
    NOTEHANDLE note;
    if (LNSTATUS status = Handle(&note))
        return LNRaise(status);
    if (!name || !api.NSFItemDelete || !api.NSFItemAppend)
        return LNRaise(name ? LNERR_NO_FUNCTION : LNERR_ITEM_NOT_FOUND);
    if (mustExist && !HasItem(name))
        return LNRaise(LNERR_ITEM_NOT_FOUND);
    api.NSFItemDelete(note, name, NameLength(name));
    return LNRaise(api.NSFItemAppend(note, static_cast<WORD>(flags), name, NameLength(name), type,
                                     value.empty() ? "" : static_cast<const void*>(value.data()),
                                     static_cast<DWORD>(value.size())));
}

LNSTATUS LNNote::CreateItem(const char* name, const LNText& value, DWORD flags, DWORD)
{
    WORD type;
    std::vector<BYTE> bytes = TextValue(value, &type);
    return PutValue(name, type, bytes, flags, false);
}

LNSTATUS LNNote::CreateItem(const char* name, const LNNumbers& value, DWORD flags, DWORD)
{
    WORD type;
    std::vector<BYTE> bytes = NumberValue(value, &type);
    return PutValue(name, type, bytes, flags, false);
}

LNSTATUS LNNote::CreateItem(const char* name, const LNDatetimes& value, DWORD flags, DWORD)
{
    WORD type;
    std::vector<BYTE> bytes = TimeValue(value, &type);
    return PutValue(name, type, bytes, flags, false);
}

LNSTATUS LNNote::CreateItem(const char* name, LNRichText* value, DWORD, DWORD)
{
    NOTEHANDLE note;
    if (LNSTATUS status = Handle(&note))
        return LNRaise(status);
    if (!name || !value || !LNNotes().NSFItemDelete)
        return LNRaise(LNERR_NO_FUNCTION);
    LNNotes().NSFItemDelete(note, name, NameLength(name));
    value->Bind(this, name);
    return 0;
}

// The value the caller replaces is one of the summary items the filing
// writes; the library has no call that answers an item's flags.
LNSTATUS LNNote::SetItemValue(const char* name, const LNText& value)
{
    WORD type;
    std::vector<BYTE> bytes = TextValue(value, &type);
    return PutValue(name, type, bytes, ITEM_SUMMARY, true);
}

LNSTATUS LNNote::SetItemValue(const char* name, const LNNumbers& value)
{
    WORD type;
    std::vector<BYTE> bytes = NumberValue(value, &type);
    return PutValue(name, type, bytes, ITEM_SUMMARY, true);
}

LNSTATUS LNNote::SetItemValue(const char* name, const LNDatetimes& value)
{
    WORD type;
    std::vector<BYTE> bytes = TimeValue(value, &type);
    return PutValue(name, type, bytes, ITEM_SUMMARY, true);
}

LNSTATUS LNNote::GetRichText(const char* name, LNRichText* value)
{
    NOTEHANDLE note;
    if (LNSTATUS status = Handle(&note))
        return LNRaise(status);
    if (!HasItem(name))
        return LNRaise(LNERR_ITEM_NOT_FOUND);
    if (value)
        value->Bind(this, name);
    return 0;
}

void LNNote::Attach(LNRichText* text)
{
    m_richTexts.push_back(text);
}

void LNNote::Detach(LNRichText* text)
{
    for (auto it = m_richTexts.begin(); it != m_richTexts.end(); ++it) {
        if (*it == text) {
            m_richTexts.erase(it);
            return;
        }
    }
}

LNSTATUS LNNote::FlushRichText()
{
    for (LNRichText* text : m_richTexts) {
        if (LNSTATUS status = text->Flush())
            return status;
    }
    return 0;
}

LNSTATUS LNNote::Save(int)
{
    NOTEHANDLE note;
    if (LNSTATUS status = Handle(&note))
        return LNRaise(status);
    if (LNSTATUS status = FlushRichText())
        return LNRaise(status);
    if (!LNNotes().NSFNoteUpdate || !LNNotes().NSFNoteGetInfo)
        return LNRaise(LNERR_NO_FUNCTION);
    if (LNSTATUS status = LNNotes().NSFNoteUpdate(note, 0))
        return LNRaise(status);
    LNNotes().NSFNoteGetInfo(note, _NOTE_ID, &m_id);
    return 0;
}

LNSTATUS LNDocument::SetFormNote(const char* form)
{
    LNText value;
    value.SetValue(form);
    return CreateItem("Form", value, ITEM_SUMMARY, 0);
}

// The library takes the form the note's "Form" item names. A field the
// form would not accept does not keep the document from being made.
LNSTATUS LNDocument::ComputeWithForm(BOOL)
{
    NOTEHANDLE note;
    if (LNSTATUS status = Handle(&note))
        return LNRaise(status);
    if (!LNNotes().NSFNoteComputeWithForm)
        return LNRaise(LNERR_NO_FUNCTION);
    return LNRaise(LNNotes().NSFNoteComputeWithForm(note, NULLHANDLE, CWF_CONTINUE_ON_ERROR, nullptr, nullptr));
}

LNSTATUS LNDocument::Send(int)
{
    const LNNotesFunctions& api = LNNotes();
    NOTEHANDLE note;
    if (LNSTATUS status = Handle(&note))
        return LNRaise(status);
    if (!api.NSFNoteCopy || !api.NSFNoteSetInfo || !api.NSFNoteUpdate || !api.NSFNoteClose || !api.NSFDbOpen
        || !api.NSFDbClose || !api.NSFItemAppendTextList || !api.NSFItemDelete || !api.NSFItemAppend
        || !api.OSCurrentTIMEDATE || !api.NSFDbGenerateOID)
        return LNRaise(LNERR_NO_FUNCTION);
    if (LNSTATUS status = FlushRichText())
        return LNRaise(status);
    DBHANDLE box = NULLHANDLE;
    if (LNSTATUS status = OpenMailBox(&box))
        return LNRaise(status);
    NOTEHANDLE copy = NULLHANDLE;
    LNSTATUS status = api.NSFNoteCopy(note, &copy);
    // The copy still has the memo's note id and originator id: saved into
    // the mail box under them, it would replace a message waiting there.
    ORIGINATORID oid = {};
    if (status == 0 && (status = api.NSFDbGenerateOID(box, &oid)) != 0)
        api.NSFNoteClose(copy);
    if (status == 0) {
        NOTEID none = 0;
        api.NSFNoteSetInfo(copy, _NOTE_DB, &box);
        api.NSFNoteSetInfo(copy, _NOTE_ID, &none);
        api.NSFNoteSetInfo(copy, _NOTE_OID, &oid);
        // The router delivers to the names of "Recipients".
        api.NSFItemDelete(copy, "Recipients", 10);
        for (const char* item : {"SendTo", "CopyTo", "BlindCopyTo"}) {
            LNText names;
            {
                ReturnedErrors returned;
                GetItem(item, &names);
            }
            for (DWORD i = 0; i < names.GetCount() && status == 0; ++i) {
                const std::string name = LNToLmbcs(names[i].GetPlatformTextPtr());
                if (!name.empty())
                    status = api.NSFItemAppendTextList(copy, "Recipients", name.c_str(),
                                                       static_cast<WORD>(name.size()), FALSE);
            }
        }
        TIMEDATE posted;
        api.OSCurrentTIMEDATE(&posted);
        if (status == 0) {
            api.NSFItemDelete(copy, "PostedDate", 10);
            status = api.NSFItemAppend(copy, ITEM_SUMMARY, "PostedDate", 10, TYPE_TIME, &posted, sizeof posted);
        }
        if (status == 0)
            status = api.NSFNoteUpdate(copy, 0);
        api.NSFNoteClose(copy);
    }
    api.NSFDbClose(box);
    return LNRaise(status);
}

LNSTATUS LNMailMessage::SetSubject(const char* subject)
{
    LNText value;
    value.SetValue(subject);
    return CreateItem("Subject", value, LNITEMFLAGS_SUMMARY, 0);
}

LNSTATUS LNMailMessage::SetRecipients(LNRECIPIENTTYPE type, const char* names)
{
    static const char* const kItems[] = {"SendTo", "CopyTo", "BlindCopyTo"};
    if (type < LNRECIPIENTTYPE_TO || type > LNRECIPIENTTYPE_BCC)
        return LNRaise(LNERR_ITEM_NOT_FOUND);
    LNText list;
    for (const std::string& name : SplitNames(names ? names : ""))
        list.Append(name.c_str());
    return CreateItem(kItems[type], list, ITEM_SUMMARY | ITEM_NAMES, 0);
}
