// The helpers that put the parts of a record into a Notes document: contact
// links, attachments, categories, subject, body and recipients.
#include <cstdlib>
#include <vector>

#include "HeronRes.h"
#include "HeronWorker.h"
#include "QuotedFields.h"

ContactKey ParseContactKey(const std::string& text)
{
    ContactKey key;
    size_t first = text.find("##");
    if (first == std::string::npos) {
        key.server = "local";
        return key;
    }
    key.server = text.substr(0, first);
    size_t second = text.find("##", first + 2);
    if (second == std::string::npos)
        return key;
    key.databasePath = text.substr(first + 2, second - first - 2);
    const std::string digits = text.substr(second + 2);
    if (!digits.empty() && digits[0] >= '0' && digits[0] <= '9')
        key.noteId = static_cast<DWORD>(std::strtoul(digits.c_str(), nullptr, 10));
    return key;
}

void ReplaceCarriageReturns(std::string* text)
{
    for (char& c : *text) {
        if (c == '\r')
            c = ' ';
    }
}

std::string JoinQuotedFields(const TextList& list)
{
    std::string line;
    for (size_t i = 0; i < list.Count(); ++i) {
        // Room for every character doubled, the quotes and the terminator.
        std::vector<char> field(list[i].size() * 2 + 3);
        std::copy(list[i].begin(), list[i].end(), field.begin());
        QuoteCsvField(field.data(), field.size());
        line += field.data();
        line += ",";
    }
    return line;
}

LNText TextValue(const std::string& text)
{
    LNText value;
    value.SetValue(text.c_str());
    return value;
}

std::string ContactDisplayName(const LNNote& person)
{
    auto joined = [&person](const char* name) -> std::string {
        if (!person.HasItem(name))
            return std::string();
        LNText values;
        person.GetItem(name, &values);
        LNString text;
        values.GetText(&text);
        return text.GetPlatformTextPtr();
    };
    std::string first = joined("FirstName"), last = joined("LastName");
    if (first.empty() && last.empty())
        return joined("CompanyName");
    return first + " " + last;
}

void HERON::AppendContactLinks(LNRichText* text, const NotesItemRecord& record)
{
    if (record.contacts.Count() == 0)
        return;
    LNRTCursor cursor;
    text->GetEndCursor(&cursor);
    for (size_t i = 0; i < record.contacts.Count(); ++i) {
        ContactKey key = ParseContactKey(record.contacts[i]);
        if (key.noteId == 0)
            continue;
        LNDatabase database;
        m_session.Session().GetDatabase(key.databasePath.c_str(), &database, KeyServer(key).c_str());
        database.Open();
        LNViewFolder people;
        database.GetViewFolder("$People", &people);
        people.Open(0);
        LNDocument person;
        database.GetDocument(key.noteId, &person);
        text->StartNewParagraph(&cursor);
        text->CreateDocumentLink(people, person, &cursor);
        text->Insert(" ", &cursor);
        person.Open(0);
        text->Insert(ContactDisplayName(person).c_str(), &cursor);
        person.Close();
        people.Close();
        database.Close();
    }
}

int HERON::AddContacts(LNRichText* text, const NotesItemRecord& record)
{
    return Recorded(IDS_CTX_CONTACT_LINKS, [&]() -> int {
        AppendContactLinks(text, record);
        return 0;
    });
}

int HERON::AddContacts(LNMailMessage* document, const NotesItemRecord& record)
{
    return Recorded(IDS_CTX_CONTACT_LINKS, [&]() -> int {
        if (record.contacts.Count() == 0)
            return 0;
        if (!document->HasItem("Body"))
            throw NTS5_ERROR_ITEM_HAS_NO_BODY;
        LNRichText body;
        document->GetBody(&body);
        AppendContactLinks(&body, record);
        return 0;
    });
}

int HERON::AddFileAttachments(LNRichText* text, const NotesMailRecord& record)
{
    return Recorded(IDS_CTX_ATTACHMENTS, [&]() -> int {
        if (record.attachments.Count() == 0)
            return 0;
        LNRTCursor cursor;
        text->GetEndCursor(&cursor);
        text->StartNewParagraph(&cursor);
        for (size_t i = 0; i < record.attachments.Count(); ++i)
            text->CreateAttachment(record.attachments[i].c_str(), &cursor, "", TRUE);
        return 0;
    });
}

int HERON::AddFileAttachments(LNMailMessage* document, const NotesMailRecord& record)
{
    if (record.attachments.Count() == 0)
        return 0;
    if (!document->HasItem("Body"))
        throw NTS5_ERROR_ITEM_HAS_NO_BODY;
    LNRichText body;
    document->GetBody(&body);
    return AddFileAttachments(&body, record);
}

int HERON::SetCategories(LNNote* note, const TextList& categories)
{
    return Recorded(IDS_CTX_SET_CATEGORIES, [&]() -> int {
        LNText value;
        for (size_t i = 0; i < categories.Count(); ++i)
            value.Append(categories[i].c_str());
        if (value.GetCount() > 0)
            note->CreateItem("Categories", value, kSummary, kListOption);
        return 0;
    });
}

void HERON::AddQuillmateItem(LNNote* note)
{
    note->CreateItem("Quillmate", LNText(), kSummary, kKeepOption);
}

int HERON::SetSubjectField(LNMailMessage* document, const std::string& text)
{
    return Recorded(IDS_CTX_SUBJECT, [&]() -> int {
        std::string subject = text;
        ReplaceCarriageReturns(&subject);
        document->SetSubject(subject.c_str());
        return 0;
    });
}

int HERON::SetAdditionalFieldInfo(LNMailMessage* document, const std::string& text)
{
    return Recorded(IDS_CTX_ADDITIONAL_INFO, [&]() -> int {
        if (!document->HasItem("Body")) {
            if (!text.empty())
                throw NTS5_ERROR_ITEM_HAS_NO_BODY;
            return 0;
        }
        std::string body = text;
        ReplaceCarriageReturns(&body);
        LNRichText richText;
        document->GetBody(&richText);
        richText.SetValue(body.c_str(), TRUE);
        return 0;
    });
}

void HERON::RaiseAgain(int status)
{
    if (status < 0)
        throw _NTS5ERROR{"", status, HeronErrorMessageId(status)};
    if (status)
        throw static_cast<LNSTATUS>(status);
}

int HERON::AddSendOptions(LNMailMessage* document, const NotesMailRecord& record)
{
    return Recorded(IDS_CTX_RECIPIENTS, [&]() -> int {
        const TextList* lists[] = {&record.recipients, &record.ccs, &record.bccs};
        const LNRECIPIENTTYPE types[] = {LNRECIPIENTTYPE_TO, LNRECIPIENTTYPE_CC, LNRECIPIENTTYPE_BCC};
        bool named = false, found = false;
        int refused = NTS5_ERROR_CONTACT_MISSING_INFORMATION.code;
        for (int kind = 0; kind < 3; ++kind) {
            const TextList& list = *lists[kind];
            if (list.Count() == 0)
                continue;
            named = true;
            // Commas only between the addresses found: a contact without one
            // must not leave an empty name behind.
            std::string names;
            for (size_t i = 0; i < list.Count(); ++i) {
                ContactKey key = ParseContactKey(list[i]);
                std::string address;
                int status = key.noteId == 0 ? 0 : GetContactEmailAddress(key, &address);
                if (status != 0)
                    refused = status;
                if (key.noteId == 0 || status != 0)
                    continue;
                if (!names.empty())
                    names += ",";
                names += address;
                found = true;
            }
            document->SetRecipients(types[kind], names.c_str());
        }
        // Recipients were named and none of them can be reached: the
        // lookup's own failure, which it recorded.
        return named && !found ? refused : 0;
    });
}

int HERON::GetContactEmailAddress(const ContactKey& key, std::string* address)
{
    ReturnedErrors returned;
    LNDatabase database;
    // A contact of a server's book is looked up in that book, not in a
    // database of the same name on this machine.
    if (LNSTATUS status = m_session.Session().GetDatabase(key.databasePath.c_str(), &database, KeyServer(key).c_str()))
        return status;
    LNSTATUS status = database.Open();
    LNDocument person;
    if (status == 0)
        status = database.GetDocument(key.noteId, &person);
    if (status == 0)
        status = person.Open(0);
    if (status == 0) {
        if (person.HasItem("MailAddress")) {
            LNText values;
            person.GetItem("MailAddress", &values);
            LNString text;
            values.GetText(&text);
            *address = text.GetPlatformTextPtr();
        } else {
            SetError(NTS5_ERROR_CONTACT_MISSING_INFORMATION, "", IDS_CTX_CONTACT_EMAIL);
            status = NTS5_ERROR_CONTACT_MISSING_INFORMATION.code;
        }
        person.Close();
    }
    database.Close();
    return status;
}
