// Reading the user's contacts out of the address books, what changed in
// them since the last read, and creating a person document.
#include <cstring>
#include <string>

#include "HeronOptions.h"
#include "HeronRes.h"
#include "HeronWorker.h"
#include "NotesContactRecord.h"

namespace {

const char kContactsKey[] = "LASTCHECK_NTSCONTACTSDB";
const int kKindNew = 8;
const int kKindChanged = 4;
const int kKindDeleted = 2;

// A text item's values joined by ";"; "" when the note has no such item.
std::string NoteItemText(const LNNote& note, const char* name)
{
    LNText values;
    if (!note.HasItem(name) || note.GetItem(name, &values) != 0)
        return std::string();
    LNString text;
    values.GetText(&text);
    return text.GetPlatformTextPtr();
}

}  // namespace

std::string DatabaseKeyText(const LNDatabase& database, DWORD noteId)
{
    std::string path = database.GetFilePath();
    std::string server = database.GetServerName();
    size_t bang = path.find("!!");
    if (bang != std::string::npos) {
        if (server.empty())
            server = path.substr(0, bang);
        path = path.substr(bang + 2);
    }
    if (server.empty())
        server = "Local";
    return server + "##" + path + "##" + std::to_string(noteId & ~LNNOTEID_DELETED);
}

std::string KeyServer(const ContactKey& key)
{
    return lstrcmpiA(key.server.c_str(), "local") == 0 ? std::string() : key.server;
}

int CompareNotesStamps(const TIMEDATE& a, const TIMEDATE& b)
{
    if (!LNNotes().TimeDateCompare)
        throw static_cast<LNSTATUS>(LNERR_NO_FUNCTION);
    const int order = LNNotes().TimeDateCompare(&a, &b);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

int HERON::GetAddressBooks(TextList* paths, const char* server)
{
    const LNNotesFunctions& api = LNNotes();
    if (!api.NAMEGetAddressBooks || !api.OSLockObject || !api.OSUnlockObject || !api.OSMemFree
        || !api.OSPathNetConstruct) {
        SetStatusError(LNERR_NO_FUNCTION, "GetAddressBooks", IDS_CTX_NO_ADDRESS_BOOKS);
        return LNERR_NO_FUNCTION;
    }
    WORD count = 0, length = 0;
    DHANDLE memory = NULLHANDLE;
    const bool remote = server && *server;
    STATUS status = api.NAMEGetAddressBooks(remote ? server : nullptr, 0, &count, &length, &memory);
    if (status) {
        SetStatusError(status, "GetAddressBooks", IDS_CTX_NO_ADDRESS_BOOKS);
        return status & 0x3FFF;
    }
    if (count == 0)
        return 0;
    const char* name = static_cast<const char*>(api.OSLockObject(memory));
    for (WORD i = 0; name && i < count; ++i) {
        char path[MAXPATH] = {};
        api.OSPathNetConstruct(nullptr, remote ? server : "", name, path);
        paths->Append(path);
        name += std::strlen(name) + 1;
    }
    api.OSUnlockObject(memory);
    api.OSMemFree(memory);
    return 0;
}

int HERON::GetContactList(VARIANT* out)
{
    const TIMEDATE at = CheckTime();
    TextList lines;
    int result = GetContacts(&lines);
    if (HeronOptions::Number(HERON_OPT_GET_SERVER_CONTACTS) != 0 && GetServerAddressBookContacts(&lines) == 0)
        result = 0;
    if (result == 0)
        MarkRead(kContactsKey, at);
    lines.ToVariant(out);
    return result;
}

int HERON::GetContacts(TextList* lines)
{
    ReturnedErrors returned;
    TextList paths;
    if (int result = GetAddressBooks(&paths, "")) {
        SetStatusError(result, "GetContacts", IDS_CTX_CONTACTS);
        return result;
    }
    if (paths.Count() == 0) {
        SetError(NTS5_ERROR_NO_ADDRESSBOOKS_FOUND, "GetContacts", IDS_CTX_NO_ADDRESS_BOOKS);
        return NTS5_ERROR_NO_ADDRESSBOOKS_FOUND.code;
    }
    int result = NTS5_ERROR_UNABLE_TO_OPEN_NAB.code;
    for (size_t i = 0; i < paths.Count(); ++i) {
        if (ReadAddressBook(paths[i], lines) == 1)
            result = 0;
    }
    return result;
}

int HERON::GetServerAddressBookContacts(TextList* lines)
{
    ReturnedErrors returned;
    LNText servers;
    if (int result = GetServerList(&servers))
        return result;
    int result = NTS5_ERROR_UNABLE_TO_OPEN_NAB.code;
    for (DWORD i = 0; i < servers.GetCount(); ++i) {
        TextList paths;
        if (GetAddressBooks(&paths, servers[i].GetPlatformTextPtr()) != 0)
            continue;
        for (size_t j = 0; j < paths.Count(); ++j) {
            if (ReadAddressBook(paths[j], lines) == 1)
                result = 0;
        }
    }
    return result;
}

int HERON::ReadAddressBook(const std::string& path, TextList* lines)
{
    ReturnedErrors returned;
    const int failed = NTS5_ERROR_UNABLE_TO_OPEN_NAB.code;
    LNDatabase book;
    LNViewFolder people;
    if (m_session.Session().GetDatabase(path.c_str(), &book, "") != 0 || book.Open() != 0
        || book.GetViewFolder("$People", &people) != 0) {
        SetError(NTS5_ERROR_UNABLE_TO_OPEN_NAB, "ReadAddressBook", IDS_CTX_OPEN_ADDRESS_BOOK);
        return failed;
    }
    LNVFEntry entry;
    LNSTATUS status = people.Open(0);
    if (status == 0)
        status = people.Goto(LNVFNAVIGATE_FIRST, &entry);
    if (status != 0 && status != LNWARN_END_OF_VIEW) {
        SetError(NTS5_ERROR_UNABLE_TO_OPEN_NAB, "ReadAddressBook", IDS_CTX_OPEN_PEOPLE_VIEW);
        return failed;
    }
    // Any failure of the navigation ends the walk, not only the view's end.
    for (; status == 0; status = people.Goto(LNVFNAVIGATE_NEXT, &entry)) {
        if (!entry.IsMainTopic())
            continue;
        LNDocument person;
        if (entry.GetDocument(&person) != 0) {
            SetError(NTS5_ERROR_UNABLE_TO_OPEN_DOCUMENT, "ReadAddressBook", IDS_CTX_OPEN_CONTACT);
            continue;
        }
        TextList fields;
        GetContactInfo(book, &person, &fields, 0);
        if (fields.Count() > 0)
            lines->Append(JoinQuotedFields(fields));
        person.Close();
    }
    people.Close();
    book.Close();
    return 1;
}

int HERON::GetContactInfo(const LNDatabase& book, LNDocument* document, TextList* fields, int kind)
{
    ReturnedErrors returned;
    NotesContactRecord record;
    if (LNSTATUS status = document->Open(0)) {
        SetStatusError(status, "GetContactInfo", IDS_CTX_CONTACT_INFO);
        return status;
    }
    fields->Append(DatabaseKeyText(book, document->GetNoteID()));
    for (int i = 0; i < NotesContactRecord::kFieldCount; ++i) {
        const char* name = NotesContactRecord::FieldName(i);
        std::string value;
        // The key and the change kind have fields of their own: no person
        // document holds them, and their absence is no error.
        if (*name && !NotesContactRecord::IsPseudoField(i)) {
            LNText values;
            if (LNSTATUS status = document->GetItem(name, &values)) {
                SetStatusError(status, "GetContactInfo", IDS_CTX_CONTACT_FIELD);
            } else if (document->GetItemType(name) == LNITEMTYPE_TEXT) {
                LNString text;
                values.GetText(&text);
                value = text.GetPlatformTextPtr();
                if (value.size() > 255)
                    value.resize(255);
            }
        }
        fields->Append(value);
    }
    fields->Append(std::to_string(kind));
    return 0;
}

int HERON::GetModifiedContacts(VARIANT* out)
{
    ReturnedErrors returned;
    LNDatetime since;
    LastReadTime(kContactsKey, &since);
    if (since.IsWildcard())
        return GetContactList(out);
    // Taken before the read: what changes while it runs comes next time.
    const TIMEDATE at = CheckTime();
    TextList paths;
    if (int result = GetAddressBooks(&paths, "")) {
        SetStatusError(result, "GetModifiedContacts", IDS_CTX_MODIFIED_CONTACT_DATA);
        return result;
    }
    if (HeronOptions::Number(HERON_OPT_GET_SERVER_CONTACTS) != 0) {
        LNText servers;
        if (GetServerList(&servers) == 0) {
            for (DWORD i = 0; i < servers.GetCount(); ++i)
                GetAddressBooks(&paths, servers[i].GetPlatformTextPtr());
        }
    }
    if (paths.Count() == 0) {
        SetError(NTS5_ERROR_NO_ADDRESSBOOKS_FOUND, "GetModifiedContacts", IDS_CTX_NO_ADDRESS_BOOKS);
        return NTS5_ERROR_NO_ADDRESSBOOKS_FOUND.code;
    }
    TextList lines;
    int failure = 0;
    bool anyRead = false;
    for (size_t i = 0; i < paths.Count(); ++i) {
        if (int result = GetModifiedContactsInBook(paths[i], &lines, since))
            failure = result;
        else
            anyRead = true;
    }
    if (!anyRead)
        return failure;
    lines.ToVariant(out);
    // A book that could not be read keeps the old time, so that its changes
    // come with a later read; the others' come again, as harmless updates.
    if (failure == 0)
        MarkRead(kContactsKey, at);
    return 0;
}

int HERON::GetModifiedContactsInBook(const std::string& path, TextList* lines, const LNDatetime& since)
{
    ReturnedErrors returned;
    LNDatabase book;
    if (m_session.Session().GetDatabase(path.c_str(), &book, "") != 0 || book.Open() != 0) {
        SetError(NTS5_ERROR_UNABLE_TO_OPEN_NAB, "GetModifiedContactsInBook", IDS_CTX_OPEN_ADDRESS_BOOK);
        return NTS5_ERROR_UNABLE_TO_OPEN_NAB.code;
    }
    // Documents only: views, forms and other design notes are no contacts.
    LNNoteArray notes;
    if (book.GetModifiedNotes(since, LNNOTECLASS_DOCUMENT, &notes) != 0) {
        SetError(NTS5_ERROR_UNABLE_TO_GET_MODIFICATIONS, "GetModifiedContactsInBook", IDS_CTX_MODIFIED_CONTACTS);
        return NTS5_ERROR_UNABLE_TO_GET_MODIFICATIONS.code;
    }
    for (DWORD i = 0; i < notes.GetCount(); ++i) {
        const LNNOTEID id = notes[i];
        TextList fields;
        if (id & LNNOTEID_DELETED) {
            // A deletion stub cannot be opened: its line is its key alone.
            fields.Append(DatabaseKeyText(book, id));
            for (int f = 0; f < NotesContactRecord::kFieldCount; ++f)
                fields.Append(std::string());
            fields.Append(std::to_string(kKindDeleted));
        } else {
            LNDocument person;
            if (book.GetDocument(id, &person) != 0 || person.Open(0) != 0)
                continue;
            if (lstrcmpiA(NoteItemText(person, "Form").c_str(), "Person") != 0) {
                person.Close();
                continue;
            }
            LNDatetime created;
            person.GetCreated(&created);
            const int kind =
                CompareNotesStamps(created.GetStamp(), since.GetStamp()) < 0 ? kKindChanged : kKindNew;
            GetContactInfo(book, &person, &fields, kind);
            person.Close();
        }
        if (fields.Count() > 0)
            lines->Append(JoinQuotedFields(fields));
    }
    book.Close();
    return 0;
}

int HERON::CreateContactDocument(const VARIANT& line)
{
    return Recorded(IDS_CTX_CREATE_CONTACT, [&]() -> int {
        ThrownErrors thrown;
        NotesContactRecord record(true);
        record.line = AnsiText(V_BSTR(&line));
        const std::string first = record.Field(1), last = record.Field(2), company = record.Field(3);
        // Only a line with nothing to keep creates nothing: a contact known
        // by its phone number alone is a contact all the same.
        bool empty = true;
        for (int i = 1; i <= 14 && empty; ++i)
            empty = record.Field(i).empty();
        if (empty)
            throw NTS5_ERROR_CONTACT_MISSING_INFORMATION;
        TextList paths;
        if (int result = GetAddressBooks(&paths, ""))
            throw static_cast<LNSTATUS>(result);
        if (paths.Count() == 0)
            throw NTS5_ERROR_NO_ADDRESSBOOKS_FOUND;
        LNDatabase book;
        m_session.Session().GetDatabase(paths[0].c_str(), &book, "");
        book.Open();
        LNDocument person;
        book.CreateDocument(&person, "Person");
        person.CreateItem("Type", TextValue("Person"), LNITEMFLAGS_SUMMARY, kKeepOption);
        for (int i = 1; i <= 14; ++i) {
            const std::string field = record.Field(i);
            if (!field.empty())
                PutItem(&person, NotesContactRecord::FieldName(i), TextValue(field), LNITEMFLAGS_SUMMARY, kKeepOption);
        }
        person.ComputeWithForm(FALSE);
        const char* fullNameItem = NotesContactRecord::FieldName(11);
        if (NoteItemText(person, fullNameItem).empty()) {
            std::string fullName = first + " " + last;
            if (fullName == " " && !company.empty())
                fullName = company;
            PutItem(&person, fullNameItem, TextValue(fullName), LNITEMFLAGS_SUMMARY, kKeepOption);
        }
        // Saved once, complete.
        person.Save(0);
        person.Close();
        if (book.IsOpen())
            book.Close();
        return 0;
    });
}
