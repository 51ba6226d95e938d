#include "PloverFixture.h"

#include <functional>

#include "QuiFakeDispatch.h"

using OutlookStandInTesting::Build;
using QuiComTesting::FakeDispatch;
using QuiComTesting::LastError;
using QuiComTesting::Variant;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

// The filed records as "kind action", the logon left out; the guard's
// prompts with the call asked about.
std::vector<std::string> Filed(const OutlookStandInTesting::Installation& outlook)
{
    std::vector<std::string> filed;
    for (size_t n = 1; n <= outlook.RecordCount(); ++n) {
        std::vector<std::string> lines = outlook.Record(static_cast<int>(n));
        if (lines.empty() || lines[0].compare(0, 6, "logon ") == 0)
            continue;
        const size_t fields = lines[0].find(' ', lines[0].find(' ') + 1);
        filed.push_back(lines[0].compare(0, 6, "guard ") == 0 ? lines[0].substr(0, fields) + " "
                                                                    + lines[0].substr(lines[0].find('=') + 1)
                                                              : lines[0].substr(0, fields));
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
    EXPECT_THAT(Fields(2), ElementsAre("Body=about the loan", "Categories=Home,Calls", "Category.1=Home",
                                       "Category.2=Calls", "Complete=false", "ContactNames=",
                                       "DueDate=2024-01-06 00:00:00", "Importance=2", "Sensitivity=0",
                                       "StartDate=2024-01-05 13:30:00", "Subject=call the bank"));
    EXPECT_THAT(Fields(3), ElementsAre("AllDayEvent=false", "Body=about the loan", "Categories=Home,Calls",
                                       "Category.1=Home", "Category.2=Calls", "End=2024-01-05 15:00:00", "Importance=2", "MeetingStatus=0",
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
        HRESULT closed = S_OK;        // the user closed Outlook before, its objects answer so
        const char* guard = nullptr;  // the guard is on, the user answers so
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
        {"a failing send takes its draft out again", 0x18, L"Bob", {"_MailItem.Send"}, S_FALSE,
         L"Attempt to save keynote contents failed.", {"mail saved", "mail deleted"}},
        {"no item to be had", 0x04, L"", {"_Application.CreateItem"}, S_FALSE,
         L"Attempt to save keynote contents failed.", {}},
        {"a failing appointment after the task", 0x05, L"", {"_AppointmentItem.Save"}, S_FALSE,
         L"Attempt to save keynote contents failed.", {"task saved"}},
        {"filed after the user closed Outlook", 0x05, L"", {}, S_OK, L"",
         {"program closed", "task saved", "appointment saved"}, RPC_E_DISCONNECTED},
        {"filed after Outlook's server went", 0x10, L"", {}, S_OK, L"", {"program closed", "note saved"},
         HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE)},
        {"filed after Outlook's objects were disconnected", 0x10, L"", {}, S_OK, L"", {"program closed", "note saved"},
         CO_E_OBJNOTCONNECTED},
        {"closed, and no new session to be had", 0x10, L"", {"_Application.GetNamespace"}, S_FALSE,
         L"Attempt to save keynote contents failed.", {"program closed"}, RPC_E_DISCONNECTED},
        {"the guard refused the resolving", 0x18, L"Bob", {}, S_FALSE, L"Attempt to save keynote contents failed.",
         {"guard allowed _MailItem.Recipients", "guard refused Recipients.ResolveAll"}, S_OK, "yn"},
        {"the guard refused the sending", 0x18, L"Bob", {}, S_FALSE, L"Attempt to save keynote contents failed.",
         {"guard allowed _MailItem.Recipients", "guard allowed Recipients.ResolveAll", "mail saved",
          "guard refused _MailItem.Send", "mail deleted"},
         S_OK, "yyn"},
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
        SHDeleteValueA(HKEY_CURRENT_USER, STANDIN_SETTINGS_KEY, "GuardAnswers");
        if (row.guard)
            m_outlook.SetGuardAnswers(row.guard);
        ASSERT_EQ(S_OK, Connect()) << "as the main program connects before each filing";
        if (row.closed != S_OK)
            m_outlook.CloseAsUser(row.closed);
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
        const char* listSeparator;  // the user's, for the row; null: as the prefix has it (",")
        Build build = Build::Outlook90;
    } rows[] = {
        {"empty dates give no dates", [](GodwitRecord& r) { r.Date(DISPID_GODWIT_DUEDATE, 0.0); },
         {"DueDate=none", "StartDate=none"}, nullptr},
        {"a due date", [](GodwitRecord& r) { r.Date(DISPID_GODWIT_DUEDATE, 45296.5); },
         {"DueDate=2024-01-05 12:00:00", "StartDate=none"}, nullptr},
        {"done", [](GodwitRecord& r) { r.Short(DISPID_GODWIT_COMPLETED, 1); }, {"Complete=true"}, nullptr},
        {"Completed 2 is open", [](GodwitRecord& r) { r.Short(DISPID_GODWIT_COMPLETED, 2); }, {"Complete=false"},
         nullptr},
        {"one category", [](GodwitRecord& r) { r.Text(DISPID_GODWIT_TASKCATEGORY, L"Work"); },
         {"Categories=Work", "Category.1=Work"}, nullptr},
        {"categories apart at the list separator, none empty",
         [](GodwitRecord& r) { r.Texts(DISPID_GODWIT_TASKCATEGORY, {L"Home", L"Calls"}); },
         {"Categories=Home,Calls", "Category.1=Home", "Category.2=Calls"}, nullptr},
        {"the user's own list separator",
         [](GodwitRecord& r) { r.Texts(DISPID_GODWIT_TASKCATEGORY, {L"Home", L"Calls"}); },
         {"Categories=Home;Calls", "Category.1=Home", "Category.2=Calls"}, ";"},
        {"a contact", [](GodwitRecord& r) { r.Text(DISPID_GODWIT_CONTACTS, L"Alice Smith"); },
         {"ContactNames=Alice Smith"}, nullptr},
        {"private is Outlook's private", [](GodwitRecord& r) { r.Short(DISPID_GODWIT_PRIVATE, 1); },
         {"Sensitivity=2"}, nullptr},
        {"priorities Outlook has", [](GodwitRecord& r) { r.Short(DISPID_GODWIT_PRIORITY, 2); }, {"Importance=2"},
         nullptr},
        {"numbers outside Outlook's values",
         [](GodwitRecord& r) { r.Short(DISPID_GODWIT_PRIORITY, 7).Short(DISPID_GODWIT_PRIVATE, 3); },
         {"Importance=1", "Sensitivity=2"}, nullptr},
        {"a negative priority", [](GodwitRecord& r) { r.Short(DISPID_GODWIT_PRIORITY, -1); }, {"Importance=1"},
         nullptr},
        // Filed by Plover97, as the Outlook edition registers it below 8.5.
        {"Outlook 97 names a task's contacts Contacts", [](GodwitRecord& r) { r.Text(DISPID_GODWIT_CONTACTS, L"Al"); },
         {"ContactNames=Al"}, nullptr, Build::Outlook80},
    };
    const char kInternational[] = "Control Panel\\International";
    const std::string separator = QuiComTesting::RegText(HKEY_CURRENT_USER, kInternational, "sList");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DeleteFileA(m_outlook.StorePath().c_str());
        OutlookStandInTesting::SetText(HKEY_CURRENT_USER, kInternational, "sList",
                                       row.listSeparator ? row.listSeparator : separator);
        m_outlook.SetProgram(row.build);
        if (row.build == Build::Outlook80) {
            CLSID clsid;  // the same class under its other file name
            ASSERT_EQ(S_OK, CLSIDFromProgID(L"" PLOVER_PROGID, &clsid));
            m_plover.Reset();
            ASSERT_EQ(S_OK, m_server97.Create(clsid, IID_IDispatch, m_plover.OutVoid()));
            ASSERT_EQ(S_OK, Connect());
        }
        GodwitRecord record;
        record.Type(GODWIT_TYPE_TODO);
        row.fill(record);
        ASSERT_EQ(S_OK, File(record));
        std::vector<std::string> fields = Fields(m_outlook.RecordCount());
        for (const std::string& field : row.expected)
            EXPECT_THAT(fields, Contains(field));
    }
    OutlookStandInTesting::SetText(HKEY_CURRENT_USER, kInternational, "sList", separator);
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
        DATE start, end;  // 0.0: left as the record starts
        const char* allDay;
        const char* meeting;
        const char* first;
        const char* last;
    } rows[] = {
        {0, 0.0, 0.0, "AllDayEvent=false", "MeetingStatus=0", "Start=none", "End=none"},
        {1024, 45296.0, 45296.0, "AllDayEvent=true", "MeetingStatus=0", "Start=2024-01-05 00:00:00",
         "End=2024-01-06 00:00:00"},
        // As the Outlook edition files a date without times.
        {1024, 45296.0 + 8.0 / 24, 45296.0 + 8.5 / 24, "AllDayEvent=true", "MeetingStatus=0",
         "Start=2024-01-05 00:00:00", "End=2024-01-06 00:00:00"},
        {1024, 45296.5, 45298.0, "AllDayEvent=true", "MeetingStatus=0", "Start=2024-01-05 00:00:00",
         "End=2024-01-07 00:00:00"},
        {1024 | 1, 45296.0 + 8.0 / 24, 45296.0 + 8.5 / 24, "AllDayEvent=false", "MeetingStatus=0",
         "Start=2024-01-05 08:00:00", "End=2024-01-05 08:30:00"},
        {2048, 0.0, 0.0, "AllDayEvent=false", "MeetingStatus=1", "Start=none", "End=none"},
        {2048 | 1024, 0.0, 0.0, "AllDayEvent=false", "MeetingStatus=0", "Start=none", "End=none"},
        // No dates at all: today, all day, as Outlook makes it.
        {1024, 0.0, 0.0, "AllDayEvent=true", "MeetingStatus=0", "Start=none", "End=none"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.subType << " " << row.start);
        DeleteFileA(m_outlook.StorePath().c_str());
        GodwitRecord record;
        record.Type(GODWIT_TYPE_CALENDAR).SubType(row.subType);
        if (row.start != 0.0)
            record.Date(DISPID_GODWIT_STARTDATE, row.start).Date(DISPID_GODWIT_ENDDATE, row.end);
        ASSERT_EQ(S_OK, File(record));
        EXPECT_THAT(Fields(1), ::testing::IsSupersetOf({row.allDay, row.meeting, row.first, row.last}))
            << "an empty date is no date";
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
         {"journal saved Start=none", "journal saved End=none", "journal saved Importance=0"},
         {"journal saved Recipient.1"}},
        {"journal entry with an empty attachment text", GODWIT_TYPE_JOURNAL, VT_BSTR, "", L"", S_OK,
         {"journal saved"}, {}, {"journal saved Attachment.1"}},
        {"journal entry with a contact and a file", GODWIT_TYPE_JOURNAL, VT_BSTR, "file", L"Alice", S_OK,
         {"journal saved"}, {"journal saved Recipient.1=Alice (To, unresolved)", "journal saved Attachment.1=" + attachment},
         {}},
        {"mail without attachment", GODWIT_TYPE_MAIL, VT_EMPTY, "", L"bob@example.com", S_OK,
         {"mail saved", "mail sent"}, {"mail sent To=bob@example.com", "mail sent Recipient.1=bob@example.com (To, resolved)"},
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

// With the object model guard on, as from Outlook 2000 SP2: the recipients
// are read once, and every name goes in once with its type.
TEST_F(PloverFiling, MailAndNoteTakeTheirTexts)
{
    m_outlook.SetKnownNames({"Bob Jones"});
    m_outlook.SetGuardAnswers("");
    GodwitRecord record;
    record.Type(GODWIT_TYPE_MAIL | GODWIT_TYPE_MEMO)
        .Text(DISPID_GODWIT_BODY, L"minutes")
        .Text(DISPID_GODWIT_NOTE, L"see attached\nthanks")
        .Text(DISPID_GODWIT_RECIPIENTS, L"Bob Jones; ann@example.com")
        .Text(DISPID_GODWIT_CCS, L"carol@example.com")
        .Text(DISPID_GODWIT_BCCS, L"dave@example.com")
        .Texts(DISPID_GODWIT_TASKCATEGORY, {L"Work", L"Calls"})
        .Texts(DISPID_GODWIT_JOURNALCATEGORY, {L"Meetings", L"Calls"})
        .Short(DISPID_GODWIT_PRIORITY, 2)
        .Short(DISPID_GODWIT_PRIVATE, 1);
    ASSERT_EQ(S_OK, File(record));
    EXPECT_THAT(Filed(m_outlook), ElementsAre("guard allowed _MailItem.Recipients",
                                              "guard allowed Recipients.ResolveAll", "mail saved",
                                              "guard allowed _MailItem.Send", "mail sent", "note saved"));
    EXPECT_THAT(Fields(6), ElementsAre("BCC=dave@example.com", "Body=see attached\\nthanks", "CC=carol@example.com",
                                       "Categories=Work,Calls", "Category.1=Work", "Category.2=Calls",
                                       "Importance=2", "Recipient.1=Bob Jones (To, resolved)",
                                       "Recipient.2=ann@example.com (To, resolved)",
                                       "Recipient.3=carol@example.com (CC, resolved)",
                                       "Recipient.4=dave@example.com (BCC, resolved)", "Sensitivity=2",
                                       "Subject=minutes", "To=Bob Jones; ann@example.com"));
    EXPECT_THAT(Fields(7), ElementsAre("Body=see attached\\nthanks", "Categories=Meetings,Calls",
                                       "Category.1=Meetings", "Category.2=Calls"));
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
    EXPECT_THAT(Fields(3), ElementsAre("Body=from the other record", "Categories=Other", "Category.1=Other"));
    m_plover.Reset();
    EXPECT_EQ(1u, second.Refs()) << "released with the server object";
}
