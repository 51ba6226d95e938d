// Filing a to-do and a mail memo into the user's mail database and a
// journal document into the local journal database.
#include <cstdio>
#include <cstdlib>

#include "HeronOptions.h"
#include "HeronRes.h"
#include "HeronWorker.h"

namespace {

void Trace(const char* format, unsigned long value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    OutputDebugStringA(text);
}

LNDatetimes DatetimeValue(const LNDatetime& datetime)
{
    LNDatetimes value;
    value.SetValue(datetime.GetStamp());
    return value;
}

}  // namespace

void HERON::CreateMailDocument(LNDatabase* mail, LNMailMessage* document)
{
    if (LNSTATUS status = m_session.GetMailDatabase(mail))
        throw status;
    mail->Open();
    mail->CreateDocument(document, "Memo");
    LNString user;
    m_session.Session().GetUserNameText(&user);
    const LNText author = TextValue(user.GetPlatformTextPtr());
    document->CreateItem("Principal", author, kSummary, kKeepOption);
    document->CreateItem("From", author, kAuthorFlags, kKeepOption);
    document->CreateItem("SendTo", TextValue(""), kNamesFlags, kKeepOption);
}

bool HERON::TodoOnCalendar(const NotesTodoRecord& record)
{
    int level = NotesVersion();
    if (level < 5)
        return (record.GetSubType() & 0x02) != 0;
    if (level > 5)
        return false;
    VARIANT prefs;
    VariantInit(&prefs);
    CalendarPrefs(&prefs);
    TextList values;
    values.AppendFrom(prefs);
    VariantClear(&prefs);
    return values.Count() > 3 && values[3].compare(0, 1, "1") == 0;
}

int HERON::FileTodoItem(NotesTodoRecord* record)
{
    return Recorded(IDS_CTX_FILING, [&]() -> int {
        LNDatabase mail;
        LNMailMessage document;
        CreateMailDocument(&mail, &document);
        // The form is set only after the memo form computed the document,
        // so that it has the memo's "Body".
        document.SetFormNote("Task");
        document.CreateItem("ExcludeFromView", TextValue("D"), kSummary, kKeepOption);
        LNNumbers icon;
        icon.SetValue(168);
        document.CreateItem("_ViewIcon", icon, kSummary, kKeepOption);
        RaiseAgain(SetSubjectField(&document, record->body));
        RaiseAgain(SetAdditionalFieldInfo(&document, record->note));

        LNDatetime start;
        if (record->startDate == 0.0) {
            SYSTEMTIME today;
            GetLocalTime(&today);
            start.SetDate(today.wMonth, today.wDay, today.wYear);
        } else {
            start = LNDatetime(NotesStampOfDate(record->startDate));
        }
        document.CreateItem("StartDateTime", DatetimeValue(start), kSummary, kKeepOption);
        LNDatetime due;
        if (record->dueDate == 0.0)
            due.SetDateToWildCard();
        else
            due = LNDatetime(NotesStampOfDate(record->dueDate));
        document.CreateItem("DueDateTime", DatetimeValue(due), kSummary, kKeepOption);
        if (TodoOnCalendar(*record)) {
            if (document.HasItem("StartDateTime"))
                document.CreateItem("CalendarDateTime", DatetimeValue(start), kSummary, kKeepOption);
            else if (document.HasItem("DueDateTime"))
                document.CreateItem("CalendarDateTime", DatetimeValue(due), kSummary, kKeepOption);
        }

        LNNumbers zero;
        zero.SetValue(0);
        document.CreateItem("ASSIGNSTATE", zero, kSummary, kKeepOption);
        char importance[16];
        std::snprintf(importance, sizeof importance, "%ld", record->priority == 0 ? 99L : record->priority);
        document.CreateItem("Importance", TextValue(importance), kSummary, kKeepOption);

        AddContacts(&document, *record);
        AddFileAttachments(&document, *record);
        const bool mailed = (record->GetSubType() & 0x01) != 0;
        if (mailed)
            AddSendOptions(&document, *record);
        const bool hidden = record->isPrivate != 0;
        PutItem(&document, "$KeepPrivate", TextValue(hidden ? "1" : ""), kSummary, kKeepOption);
        PutItem(&document, "OrgConfidential", TextValue(hidden ? "1" : "0"), kSummary, kKeepOption);
        AddQuillmateItem(&document);
        RaiseAgain(SetCategories(&document, record->categories));

        int result = document.Save(0);
        Trace("Saved task note: %lu", document.GetNoteID());
        if (mailed)
            result = document.Send(0);
        document.Close();
        if (mail.IsOpen())
            mail.Close();
        if (mailed)
            RemoveFromUnread(document);
        return result;
    });
}

int HERON::FileMemoItem(NotesMailRecord* record)
{
    return Recorded(IDS_CTX_FILING_MEMO, [&]() -> int {
        LNDatabase mail;
        LNMailMessage document;
        CreateMailDocument(&mail, &document);
        document.SetFormNote("Memo");
        RaiseAgain(SetSubjectField(&document, record->body));
        RaiseAgain(SetAdditionalFieldInfo(&document, record->note));
        AddContacts(&document, *record);
        AddFileAttachments(&document, *record);
        // A memo that reaches nobody it was meant for is not filed.
        RaiseAgain(AddSendOptions(&document, *record));
        AddQuillmateItem(&document);
        document.Save(0);
        Trace("Saved memo note: %lu", document.GetNoteID());
        int result;
        try {
            result = document.Send(0);
        } catch (...) {
            // A memo that was not sent is not kept as if it had been.
            RemoveFromMailDatabase(document);
            throw;
        }
        document.Close();
        if (mail.IsOpen())
            mail.Close();
        RemoveFromUnread(document);
        return result;
    });
}

int HERON::FileJournalItem(NotesJournalRecord* record)
{
    return Recorded(IDS_CTX_FILING_JOURNAL, [&]() -> int {
        const char* name = reinterpret_cast<const char*>(HeronOptions::Get(HERON_OPT_JOURNAL_NAME));
        LNDatabase journal;
        m_session.Session().GetDatabase(name ? name : "journal.nsf", &journal, "");
        journal.Open();
        LNDocument document;
        journal.CreateDocument(&document);
        std::string subject = record->body;
        ReplaceCarriageReturns(&subject);
        document.CreateItem("Subject", TextValue(subject), kSummary, kKeepOption);
        std::string note = record->note;
        ReplaceCarriageReturns(&note);
        LNRichText body;
        document.CreateItem("Body", &body, 0, kKeepOption);
        body.SetValue(note.c_str(), FALSE);
        AddQuillmateItem(&document);
        AddContacts(&body, *record);
        AddFileAttachments(&body, *record);
        document.Save(0);
        if (document.HasItem("SavedOnce")) {
            LNNumbers one;
            one.SetValue(1);
            document.SetItemValue("SavedOnce", one);
            document.Save(0);
        }
        for (size_t i = 0; i < record->journalCategories.Count(); ++i) {
            ContactKey key = ParseContactKey(record->journalCategories[i]);
            LNViewFolder folder;
            try {
                journal.GetNote(key.noteId, &folder);
                folder.Open(0);
            } catch (LNSTATUS) {
                OutputDebugStringA(("Couldn't get folder: " + record->journalCategories[i]).c_str());
                continue;
            }
            folder.FolderAddDocument(document);
        }
        journal.Close();
        return 0;
    });
}
