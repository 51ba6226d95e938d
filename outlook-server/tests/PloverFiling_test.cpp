#include "PloverFixture.h"

#include <functional>

#include "QuiFakeDispatch.h"

using QuiComTesting::FakeDispatch;
using QuiComTesting::LastError;
using QuiComTesting::Variant;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

// The filed records as "kind action", the logon left out.
std::vector<std::string> Filed(const OutlookStandInTesting::Installation& outlook)
{
    std::vector<std::string> filed;
    for (size_t n = 1; n <= outlook.RecordCount(); ++n) {
        std::vector<std::string> lines = outlook.Record(static_cast<int>(n));
        if (lines.empty() || lines[0].compare(0, 6, "logon ") == 0)
            continue;
        filed.push_back(lines[0].substr(0, lines[0].find(' ', lines[0].find(' ') + 1)));
    }
    return filed;
}

class PloverFiling : public PloverTest {
protected:
    void SetUp() override
    {
        PloverTest::SetUp();
        ASSERT_EQ(S_OK, Connect());
    }
    // The fields of store record n (from 1; the logon is the first), as "Name=value".
    std::vector<std::string> Fields(int record) const
    {
        std::vector<std::string> fields;
        for (const std::string& line : m_outlook.Record(record))
            fields.push_back(line.substr(line.find(' ', line.find(' ') + 1) + 1));
        return fields;
    }
};

}  // namespace

TEST_F(PloverFiling, ARecordFiledByDispidFiveBecomesATaskAndAnAppointment)
{
    GodwitRecord record;
    record.Type(GODWIT_TYPE_TODO)
        .Type(GODWIT_TYPE_CALENDAR)
        .Text(DISPID_GODWIT_BODY, L"call the bank")
        .Text(DISPID_GODWIT_NOTE, L"about the loan")
        .Texts(DISPID_GODWIT_TASKCATEGORY, {L"Home", L"Calls"})
        .Short(DISPID_GODWIT_PRIORITY, 2)
        .Date(DISPID_GODWIT_STARTDATE, 45296.5625)
        .Date(DISPID_GODWIT_ENDDATE, 45296.625)
        .Date(DISPID_GODWIT_DUEDATE, 45297.0);
    ASSERT_EQ(S_OK, File(record));
    EXPECT_THAT(Filed(m_outlook), ElementsAre("task saved", "appointment saved"));
    EXPECT_THAT(Fields(2), ElementsAre("Body=about the loan", "Categories=Home;Calls;", "Complete=false",
                                       "ContactNames=", "DueDate=2024-01-06 00:00:00", "Importance=2",
                                       "Sensitivity=0", "StartDate=2024-01-05 13:30:00", "Subject=call the bank"));
    EXPECT_THAT(Fields(3), ElementsAre("AllDayEvent=false", "Body=about the loan", "Categories=",
                                       "End=2024-01-05 15:00:00", "Importance=2", "MeetingStatus=0",
                                       "Sensitivity=0", "Start=2024-01-05 13:30:00", "Subject=call the bank"));
}

TEST_F(PloverFiling, KindsAreFiledInOrderUntilOneFails)
{
    m_outlook.SetKnownNames({"Bob"});
    struct Row {
        const char* what;
        long type;
        const wchar_t* recipients;
        std::vector<const char*> failCalls;
        HRESULT hr;
        const wchar_t* error;
        std::vector<std::string> filed;
    } rows[] = {
        {"task and appointment", 0x05, L"", {}, S_OK, L"", {"task saved", "appointment saved"}},
        {"a failing task stops the appointment", 0x05, L"", {"_TaskItem.Save"}, S_FALSE,
         L"Attempt to save keynote contents failed.", {}},
        {"journal entry, then mail", 0x0A, L"Bob", {}, S_OK, L"", {"journal saved", "mail saved", "mail sent"}},
        {"every kind", 0x1F, L"bob@example.com", {}, S_OK, L"",
         {"task saved", "appointment saved", "journal saved", "mail saved", "mail sent", "note saved"}},
        {"an unknown bit alone", 0x20, L"", {}, S_OK, L"", {}},
        {"only the low byte counts", 0x110, L"", {}, S_OK, L"", {"note saved"}},
        {"no bits", 0x00, L"", {}, S_OK, L"", {}},
        {"an unresolved address stops the note", 0x18, L"Nobody", {}, S_FALSE, L"Unable to Resolve Address", {}},
        {"a mail to no one", 0x08, L"", {}, S_FALSE, L"Unable to Resolve Address", {}},
        {"a failing send", 0x18, L"Bob", {"_MailItem.Send"}, S_FALSE, L"Attempt to save keynote contents failed.",
         {"mail saved"}},
        {"no item to be had", 0x04, L"", {"_Application.CreateItem"}, S_FALSE,
         L"Attempt to save keynote contents failed.", {}},
        {"a failing appointment after the task", 0x05, L"", {"_AppointmentItem.Save"}, S_FALSE,
         L"Attempt to save keynote contents failed.", {"task saved"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DeleteFileA(m_outlook.StorePath().c_str());
        std::string calls;
        for (const char* call : row.failCalls)
            calls.append(call).push_back('\0');
        calls.push_back('\0');
        OutlookStandInTesting::SetValue(HKEY_CURRENT_USER, STANDIN_SETTINGS_KEY, "FailCalls", REG_MULTI_SZ,
                                        calls.data(), static_cast<DWORD>(calls.size()));
        GodwitRecord record;
        record.Type(row.type).Text(DISPID_GODWIT_BODY, L"lunch").Text(DISPID_GODWIT_RECIPIENTS, row.recipients);
        EXPECT_EQ(row.hr, File(record));
        EXPECT_EQ(row.error, LastError().description);
        EXPECT_EQ(row.filed, Filed(m_outlook));
    }
}

TEST_F(PloverFiling, TaskFieldsTakeOnlyTheirTypesAndDatesThatAreSet)
{
    struct Row {
        const char* what;
        std::function<void(GodwitRecord&)> fill;
        std::vector<std::string> expected;
    } rows[] = {
        {"empty dates give no dates", [](GodwitRecord& r) { r.Date(DISPID_GODWIT_DUEDATE, 0.0); },
         {"DueDate=none", "StartDate=none"}},
        {"a due date", [](GodwitRecord& r) { r.Date(DISPID_GODWIT_DUEDATE, 45296.5); },
         {"DueDate=2024-01-05 12:00:00", "StartDate=none"}},
        {"done", [](GodwitRecord& r) { r.Short(DISPID_GODWIT_COMPLETED, 1); }, {"Complete=true"}},
        {"Completed 2 is open", [](GodwitRecord& r) { r.Short(DISPID_GODWIT_COMPLETED, 2); }, {"Complete=false"}},
        {"one category", [](GodwitRecord& r) { r.Text(DISPID_GODWIT_TASKCATEGORY, L"Work"); }, {"Categories=Work"}},
        {"categories joined", [](GodwitRecord& r) { r.Texts(DISPID_GODWIT_TASKCATEGORY, {L"Home", L"Calls"}); },
         {"Categories=Home;Calls;"}},
        {"a contact", [](GodwitRecord& r) { r.Text(DISPID_GODWIT_CONTACTS, L"Alice Smith"); },
         {"ContactNames=Alice Smith"}},
        {"numbers unchanged", [](GodwitRecord& r) { r.Short(DISPID_GODWIT_PRIORITY, 7).Short(DISPID_GODWIT_PRIVATE, 3); },
         {"Importance=7", "Sensitivity=3"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DeleteFileA(m_outlook.StorePath().c_str());
        GodwitRecord record;
        record.Type(GODWIT_TYPE_TODO);
        row.fill(record);
        ASSERT_EQ(S_OK, File(record));
        for (const std::string& field : row.expected)
            EXPECT_THAT(Fields(1), Contains(field));
    }
}

TEST_F(PloverFiling, TasksSkipValuesOfAnotherTypeWhichJournalEntriesConvert)
{
    auto record = [](long type) {
        return FakeDispatch({{L"Type", 1, type},
                             {L"Body", 2, 5},
                             {L"Priority", 3, 2},
                             {L"Completed", 4, 1},
                             {L"Note", 5, L"kept"}});
    };
    FakeDispatch task = record(GODWIT_TYPE_TODO), journal = record(GODWIT_TYPE_JOURNAL);
    ASSERT_EQ(S_OK, File(&task));
    ASSERT_EQ(S_OK, File(&journal));
    EXPECT_THAT(Filed(m_outlook), ElementsAre("task saved", "journal saved"));
    for (const char* field : {"Body=kept", "Complete=false", "Importance=1", "Subject="})
        EXPECT_THAT(Fields(2), Contains(field));
    for (const char* field : {"Body=kept", "Importance=2", "Subject=5"})
        EXPECT_THAT(Fields(3), Contains(field));
    m_plover.Reset();  // the server holds the last record until it goes
}

TEST_F(PloverFiling, AppointmentsAreAllDayOrMeetingsByExactSubType)
{
    struct Row {
        long subType;
        const char* allDay;
        const char* meeting;
    } rows[] = {
        {0, "AllDayEvent=false", "MeetingStatus=0"},
        {1024, "AllDayEvent=true", "MeetingStatus=0"},
        {1024 | 1, "AllDayEvent=false", "MeetingStatus=0"},
        {2048, "AllDayEvent=false", "MeetingStatus=1"},
        {2048 | 1024, "AllDayEvent=false", "MeetingStatus=0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.subType);
        DeleteFileA(m_outlook.StorePath().c_str());
        GodwitRecord record;
        record.Type(GODWIT_TYPE_CALENDAR).SubType(row.subType);
        ASSERT_EQ(S_OK, File(record));
        std::vector<std::string> lines = m_outlook.Record(1);
        EXPECT_THAT(lines, Contains(std::string("appointment saved ") + row.allDay));
        EXPECT_THAT(lines, Contains(std::string("appointment saved ") + row.meeting));
        EXPECT_THAT(lines, Contains("appointment saved Start=1899-12-30 00:00:00")) << "an empty start is passed on";
    }
}

TEST_F(PloverFiling, EntriesWithoutAttachmentsOrContactsFile)
{
    const std::string attachment = "Plover.dll <" + EscapeStoreValue(AttachableFile()) + ">";
    struct Row {
        const char* what;
        long type;
        VARTYPE attachmentType;  // VT_EMPTY: none set
        const char* attachmentText;
        const wchar_t* recipients;
        HRESULT hr;
        std::vector<std::string> filed;
        std::vector<std::string> present;
        std::vector<std::string> absent;
    } rows[] = {
        {"journal entry without anything", GODWIT_TYPE_JOURNAL, VT_EMPTY, "", L"", S_OK, {"journal saved"},
         {"journal saved Start=1899-12-30 00:00:00", "journal saved Importance=0"}, {"journal saved Recipient.1"}},
        {"journal entry with an empty attachment text", GODWIT_TYPE_JOURNAL, VT_BSTR, "", L"", S_OK,
         {"journal saved"}, {}, {"journal saved Attachment.1"}},
        {"journal entry with a contact and a file", GODWIT_TYPE_JOURNAL, VT_BSTR, "file", L"Alice", S_OK,
         {"journal saved"}, {"journal saved Recipient.1=Alice (unresolved)", "journal saved Attachment.1=" + attachment},
         {}},
        {"mail without attachment", GODWIT_TYPE_MAIL, VT_EMPTY, "", L"bob@example.com", S_OK,
         {"mail saved", "mail sent"}, {"mail sent To=bob@example.com", "mail sent Recipient.1=bob@example.com (resolved)"},
         {"mail sent Attachment.1"}},
        {"task with a file", GODWIT_TYPE_TODO, VT_BSTR, "file", L"", S_OK, {"task saved"},
         {"task saved Attachment.1=" + attachment}, {}},
        {"task with a file that is gone", GODWIT_TYPE_TODO, VT_BSTR, "missing", L"", S_FALSE, {}, {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DeleteFileA(m_outlook.StorePath().c_str());
        GodwitRecord record;
        record.Type(row.type).Text(DISPID_GODWIT_RECIPIENTS, row.recipients);
        if (row.attachmentType == VT_BSTR) {
            std::string text = row.attachmentText;
            std::string path = text == "file" ? AttachableFile() : text == "missing" ? AttachableFile() + ".gone" : "";
            record.Text(DISPID_GODWIT_ATTACHMENTS, Wide(path).c_str());
        }
        EXPECT_EQ(row.hr, File(record));
        EXPECT_EQ(row.filed, Filed(m_outlook));
        std::vector<std::string> lines = m_outlook.Dump();
        for (std::string& line : lines)
            line.erase(0, 5);
        for (const std::string& line : row.present)
            EXPECT_THAT(lines, Contains(line));
        for (const std::string& part : row.absent) {
            for (const std::string& line : lines)
                EXPECT_EQ(std::string::npos, line.find(part)) << line;
        }
    }
}

TEST_F(PloverFiling, MailAndNoteTakeTheirTexts)
{
    m_outlook.SetKnownNames({"Bob Jones"});
    GodwitRecord record;
    record.Type(GODWIT_TYPE_MAIL | GODWIT_TYPE_MEMO)
        .Text(DISPID_GODWIT_BODY, L"minutes")
        .Text(DISPID_GODWIT_NOTE, L"see attached\nthanks")
        .Text(DISPID_GODWIT_RECIPIENTS, L"Bob Jones")
        .Text(DISPID_GODWIT_CCS, L"carol@example.com")
        .Text(DISPID_GODWIT_BCCS, L"dave@example.com")
        .Text(DISPID_GODWIT_TASKCATEGORY, L"Work")
        .Text(DISPID_GODWIT_JOURNALCATEGORY, L"Meetings")
        .Short(DISPID_GODWIT_PRIORITY, 2)
        .Short(DISPID_GODWIT_PRIVATE, 1);
    ASSERT_EQ(S_OK, File(record));
    EXPECT_THAT(Filed(m_outlook), ElementsAre("mail saved", "mail sent", "note saved"));
    EXPECT_THAT(Fields(3), ElementsAre("BCC=dave@example.com", "Body=see attached\\nthanks", "CC=carol@example.com",
                                       "Categories=Work", "Importance=2", "Recipient.1=Bob Jones (resolved)",
                                       "Sensitivity=1", "Subject=minutes", "To=Bob Jones"));
    EXPECT_THAT(Fields(4), ElementsAre("Body=see attached\\nthanks", "Categories=Meetings"));
}

TEST_F(PloverFiling, EachRecordObjectIsReadByItsOwnDispids)
{
    GodwitRecord first;
    first.Type(GODWIT_TYPE_MEMO).Text(DISPID_GODWIT_NOTE, L"from Godwit");
    ASSERT_EQ(S_OK, File(first));

    // Godwit's DISPIDs of Note (9) and Type (16) name other properties here.
    FakeDispatch second({{L"Type", 9, GODWIT_TYPE_MEMO},
                         {L"Note", 16, L"from the other record"},
                         {L"JournalCategory", 3, L"Other"}});
    ASSERT_EQ(S_OK, File(&second));
    EXPECT_THAT(Filed(m_outlook), ElementsAre("note saved", "note saved"));
    EXPECT_THAT(Fields(3), ElementsAre("Body=from the other record", "Categories=Other"));
    m_plover.Reset();
    EXPECT_EQ(1u, second.Refs()) << "released with the server object";
}
