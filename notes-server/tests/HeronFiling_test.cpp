// Filing Godwit records of every kind through the registered server into
// the Notes stand-in, read back as notesdump prints the databases.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "GodwitDispIds.h"
#include "GodwitRecordFiller.h"
#include "HeronFixture.h"
#include "VariantArray.h"

namespace {

using QuiComTesting::Variant;

// The mail file: the memo form gives new documents an empty "Body".
const char kMail[] = "[note 1]\r\n$Title=Memo\r\n$NoteClass=4\r\n$Default.Body=\r\n";
const char kMailWithoutForm[] = "[note 1]\r\nForm=Memo\r\n";
// An address book: its "$People" view, Bob with an address, a company
// without names or address.
const char kContacts[] =
    "[note 2]\r\n$Title=$People\r\n$NoteClass=8\r\n"
    "[note 20]\r\nForm=Person\r\nFirstName=Bob\r\nLastName=Stone\r\nMailAddress=bob@acme.example\r\n"
    "[note 21]\r\nForm=Person\r\nCompanyName=Acme Ltd\r\n";
const char kBob[] = "local##contacts.nsf##20";
const char kAcme[] = "local##contacts.nsf##21";
// The journal with two folders.
const char kJournal[] =
    "[note 5]\r\n$Title=Projects\r\n$NoteClass=8\r\n$Flags=F\r\n[note 6]\r\n$Title=Ideas\r\n$NoteClass=8\r\n$Flags=F\r\n";

const DATE kDecember8 = 46364.0;
const DATE kHour = 1.0 / 24;
const char kToldToFail[] = "Error: 4095 The call failed as the test asked";

class HeronFilingTest : public HeronTest {
protected:
    void SetUp() override
    {
        HeronTest::SetUp();
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf", kMail);
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\contacts.nsf", kContacts);
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\journal.nsf", kJournal);
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\plan.txt", "the plan");
    }

    std::string Attachment() const { return m_notes.Folder() + "\\plan.txt"; }

    QuiComTesting::Ptr<IDispatch> NewRecord(long type)
    {
        QuiComTesting::Ptr<IDispatch> record = NewGodwitRecord();
        if (record)
            Put(record, DISPID_GODWIT_TYPE, Variant(type));
        return record;
    }
    static void Put(const QuiComTesting::Ptr<IDispatch>& record, DISPID id, const VARIANT& value)
    {
        GodwitTesting::Put(record.Get(), id, value);
    }
    static void PutText(const QuiComTesting::Ptr<IDispatch>& record, DISPID id, const wchar_t* text)
    {
        GodwitTesting::PutText(record.Get(), id, text);
    }
    static void PutShort(const QuiComTesting::Ptr<IDispatch>& record, DISPID id, short number)
    {
        GodwitTesting::PutShort(record.Get(), id, number);
    }
    static void PutDate(const QuiComTesting::Ptr<IDispatch>& record, DISPID id, DATE date)
    {
        GodwitTesting::PutDate(record.Get(), id, date);
    }
    static void PutList(const QuiComTesting::Ptr<IDispatch>& record, DISPID id, std::vector<std::string> texts)
    {
        Variant value;
        QuiMakeStringArray(&value);
        for (const std::string& text : texts)
            QuiAppendAnsiString(&value, text.c_str());
        Put(record, id, value);
    }
    static void AddSubType(const QuiComTesting::Ptr<IDispatch>& record, long bits)
    {
        GodwitTesting::AddBits(record.Get(), DISPID_GODWIT_ADDSUBTYPEBIT, bits);
    }

    // Files the record; the error text it left is kept.
    HRESULT File(const QuiComTesting::Ptr<IDispatch>& record)
    {
        Variant argument;
        argument.vt = VT_DISPATCH;
        argument.pdispVal = record.Get();
        record->AddRef();
        HRESULT hr = Call(DISPID_HERON_FILEKEYNOTE, {&argument});
        m_error = Narrow(QuiComTesting::LastError().description);
        return hr;
    }

    // "item=value" lines of one note, joined by "\n"; "" when absent.
    std::string Note(const std::string& database, DWORD id) const
    {
        std::string text, prefix = std::to_string(id) + " ";
        for (const std::string& line : m_notes.Dump(database)) {
            if (line.compare(0, prefix.size(), prefix) == 0)
                text += line.substr(prefix.size()) + "\n";
        }
        return text;
    }
    // The values of one item, joined by "|"; "<none>" when absent.
    std::string Item(const std::string& database, DWORD id, const std::string& item) const
    {
        std::string values;
        bool found = false;
        for (const std::string& line : Lines(database, id)) {
            size_t equals = line.find('=');
            std::string name = line.substr(0, equals);
            if (name == item || name == item + "(number)" || name == item + "(text)") {
                values += (found ? "|" : "") + line.substr(equals + 1);
                found = true;
            }
        }
        return found ? values : "<none>";
    }
    std::vector<std::string> Lines(const std::string& database, DWORD id) const
    {
        std::vector<std::string> lines;
        std::string text = Note(database, id);
        for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    size_t NoteCount(const std::string& database) const
    {
        std::vector<NotesNote> notes;
        ReadNotesDatabase(m_notes.Folder() + "\\" + database, &notes);
        return notes.size();
    }

    // Today's date, read once: what a test builds from it cannot straddle midnight.
    static std::string Today()
    {
        static const std::string text = [] {
            SYSTEMTIME today;
            GetLocalTime(&today);
            char date[16];
            std::snprintf(date, sizeof date, "%04d-%02d-%02d", today.wYear, today.wMonth, today.wDay);
            return std::string(date);
        }();
        return text;
    }

    const std::string kMailFile = "mail\\alee.nsf";
    std::string m_error;
};

TEST_F(HeronFilingTest, TodoWithEverything)
{
    ASSERT_EQ(S_OK, Connect());
    auto record = NewRecord(GODWIT_TYPE_TODO);
    PutText(record, DISPID_GODWIT_BODY, L"Call Bob\r\nabout the plan");
    PutText(record, DISPID_GODWIT_NOTE, L"First line\r\nSecond line");
    PutShort(record, DISPID_GODWIT_PRIORITY, 2);
    PutShort(record, DISPID_GODWIT_PRIVATE, 1);
    PutDate(record, DISPID_GODWIT_STARTDATE, kDecember8 + 9 * kHour);
    PutDate(record, DISPID_GODWIT_DUEDATE, kDecember8 + 2 + 17 * kHour);
    PutList(record, DISPID_GODWIT_TASKCATEGORY, {"Business", "Phone", "Acme"});
    PutList(record, DISPID_GODWIT_CONTACTS, {kBob, kAcme, "local##contacts.nsf"});
    PutList(record, DISPID_GODWIT_ATTACHMENTS, {Attachment()});
    AddSubType(record, 0x01);
    PutList(record, DISPID_GODWIT_RECIPIENTS, {kBob, kAcme});
    PutList(record, DISPID_GODWIT_CCS, {kAcme});
    EXPECT_EQ(S_OK, File(record)) << m_error;

    EXPECT_EQ("Principal=CN=Ann Lee/OU=Sales/O=Acme\n"
              "From=CN=Ann Lee/OU=Sales/O=Acme\n"
              "Form=Task\n"
              "ExcludeFromView=D\n"
              "_ViewIcon(number)=168\n"
              "Subject(text)=\"Call Bob \\nabout the plan\"\n"
              "Body(text)=\"First line \"\n"
              "Body=Second line\n"
              "Body=[link contacts.nsf/$People/20] Bob Stone\n"
              "Body=[link contacts.nsf/$People/21] Acme Ltd\n"
              "Body=[attachment plan.txt]\n"
              "StartDateTime=2026-12-08 09:00:00\n"
              "DueDateTime=2026-12-10 17:00:00\n"
              "ASSIGNSTATE(number)=0\n"
              "Importance=2\n"
              "$FILE=plan.txt\n"
              "SendTo=bob@acme.example\n"
              "CopyTo=\n"
              "$KeepPrivate=1\n"
              "OrgConfidential=1\n"
              "Quillmate=\n"
              "Categories=Business\n"
              "Categories=Phone\n"
              "Categories=Acme\n",
              Note(kMailFile, 2));
    // Mailed as well: the copy in the outgoing mail.
    EXPECT_EQ("Task", Item("mail.box", 1, "Form"));
    EXPECT_EQ("bob@acme.example", Item("mail.box", 1, "SendTo"));
}

TEST_F(HeronFilingTest, TodoItemsByRecord)
{
    ASSERT_EQ(S_OK, Connect());
    const std::string today = Today();
    struct Row {
        const char* what;
        DWORD build;
        long subType;
        short priority;
        short isPrivate;
        const char* item;
        const char* value;
    } rows[] = {
        {"no dates: start today", 166, 0, 1, 0, "StartDateTime", today.c_str()},
        {"no dates: due any time", 166, 0, 1, 0, "DueDateTime", "*"},
        {"priority 0", 166, 0, 0, 0, "Importance", "99"},
        {"priority 3", 166, 0, 3, 0, "Importance", "3"},
        {"public", 166, 0, 1, 0, "$KeepPrivate", ""},
        {"public", 166, 0, 1, 0, "OrgConfidential", "0"},
        {"private", 166, 0, 1, 1, "OrgConfidential", "1"},
        {"not mailed", 166, 0, 1, 0, "SendTo", ""},
        {"accented subject", 166, 0, 1, 0, "Subject", "Caf\xE9 M\xFCller 5\x80"},
        {"no categories", 166, 0, 1, 0, "Categories", "<none>"},
        // Release 5 without the profile's task follow-up: not on the calendar.
        {"release 5, calendar bit", 166, 0x02, 1, 0, "CalendarDateTime", "<none>"},
        {"release 4, calendar bit", 147, 0x02, 1, 0, "CalendarDateTime", today.c_str()},
        {"release 4, no calendar bit", 147, 0, 1, 0, "CalendarDateTime", "<none>"},
    };
    DWORD id = 2;
    for (const Row& row : rows) {
        m_notes.SetBuild(row.build);
        auto record = NewRecord(GODWIT_TYPE_TODO);
        PutText(record, DISPID_GODWIT_BODY, std::string(row.item) == "Subject" ? L"Caf\u00e9 M\u00fcller 5\u20ac" : L"Row");
        PutShort(record, DISPID_GODWIT_PRIORITY, row.priority);
        PutShort(record, DISPID_GODWIT_PRIVATE, row.isPrivate);
        if (row.subType)
            AddSubType(record, row.subType);
        EXPECT_EQ(S_OK, File(record)) << row.what << ": " << m_error;
        EXPECT_EQ(row.value, Item(kMailFile, id++, row.item)) << row.what;
    }
    EXPECT_EQ(0u, NoteCount("mail.box")) << "nothing was mailed";
}

TEST_F(HeronFilingTest, TodoOnTheCalendarByProfile)
{
    NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf",
                                   std::string(kMail)
                                       + "[note 30]\r\n$ProfileName=CalendarProfile\r\n"
                                         "CalEntryType(number)=0\r\nDefaultDuration(number)=60\r\n"
                                         "EnableAlarms=1\r\nTaskFollow=1\r\n");
    ASSERT_EQ(S_OK, Connect());
    auto record = NewRecord(GODWIT_TYPE_TODO);
    PutDate(record, DISPID_GODWIT_DUEDATE, kDecember8 + 12 * kHour);
    EXPECT_EQ(S_OK, File(record)) << m_error;
    EXPECT_EQ(Today(), Item(kMailFile, 31, "CalendarDateTime"));
}

TEST_F(HeronFilingTest, TodoWithoutBody)
{
    NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf", kMailWithoutForm);
    ASSERT_EQ(S_OK, Connect());
    // Contacts alone: their step fails, the to-do is still saved.
    auto contacts = NewRecord(GODWIT_TYPE_TODO);
    PutText(contacts, DISPID_GODWIT_BODY, L"Contacts only");
    PutList(contacts, DISPID_GODWIT_CONTACTS, {kBob});
    EXPECT_EQ(S_OK, File(contacts)) << m_error;
    EXPECT_EQ("Contacts only", Item(kMailFile, 2, "Subject"));
    EXPECT_EQ("<none>", Item(kMailFile, 2, "Body"));
    // Attachments: nothing is saved and the filing fails.
    auto files = NewRecord(GODWIT_TYPE_TODO | GODWIT_TYPE_MEMO);
    PutList(files, DISPID_GODWIT_ATTACHMENTS, {Attachment()});
    EXPECT_EQ(DISP_E_EXCEPTION, File(files));
    EXPECT_EQ("Filing Task Item\r\nError: -16 Item has no body", m_error);
    EXPECT_EQ(2u, NoteCount(kMailFile));
    EXPECT_EQ(0u, NoteCount("mail.box"));
    // A text for the body with no "Body" to hold it is not dropped.
    auto text = NewRecord(GODWIT_TYPE_TODO);
    PutText(text, DISPID_GODWIT_NOTE, L"More text");
    EXPECT_EQ(DISP_E_EXCEPTION, File(text));
    EXPECT_EQ("Filing Task Item\r\nError: -16 Item has no body", m_error);
    EXPECT_EQ(2u, NoteCount(kMailFile));
}

TEST_F(HeronFilingTest, CalendarEntries)
{
    ASSERT_EQ(S_OK, Connect());
    struct Row {
        const char* what;
        long subType;
        DATE start;
        DATE end;
        short isPrivate;
        std::vector<std::pair<const char*, const char*>> items;
    } rows[] = {
        {"appointment", 0x100, kDecember8 + 9 * kHour, kDecember8 + 10.5 * kHour, 0,
         {{"AppointmentType", "0"},
          {"StartDateTime", "2026-12-08 09:00:00"},
          {"EndDateTime", "2026-12-08 10:30:00"},
          {"EndTime", "2026-12-08 10:30:00"},
          {"OrgConfidential", "0"},
          {"Duration", "<none>"},
          {"$CSVersion", "2"},
          {"$BusyPriority", "1"},
          {"OrgTable", "C0"},
          {"BookFreeTime", ""},
          {"$Sequence", "1"},
          {"Quillmate", ""}}},
        {"appointment and event bits", 0x500, kDecember8 + 11 * kHour, kDecember8 + 12 * kHour, 1,
         {{"AppointmentType", "0"}, {"OrgConfidential", "1"}}},
        {"event of one day", 0x400, kDecember8 + 9 * kHour, kDecember8 + 17 * kHour, 0,
         {{"AppointmentType", "2"},
          {"Duration", "1"},
          {"CalendarDateTime", "2026-12-08 09:00:00"},
          {"StartDateTime", "2026-12-08 00:00:01"},
          {"EndDateTime", "2026-12-08 23:59:59"},
          {"EndTime", "2026-12-08 23:59:00"},
          {"EndDate", "2026-12-08 09:00:00"}}},
        {"event of three and a half days", 0x400, kDecember8 + 6 * kHour, kDecember8 + 3 + 18 * kHour, 0,
         {{"Duration", "3"},
          {"CalendarDateTime", "2026-12-08 06:00:00|2026-12-09 06:00:00|2026-12-10 06:00:00"},
          {"EndDateTime", "2026-12-10 23:59:59"}}},
        {"anniversary", 0x200, kDecember8 + 9 * kHour, kDecember8 + 1 + 10 * kHour, 0,
         {{"AppointmentType", "1"},
          {"EndDate", "2026-12-09 10:00:00"},
          {"EndTime", "2026-12-09 10:00:00"},
          {"EndDateTime", "2026-12-09 10:00:00"},
          {"StartTime", "2026-12-08 09:00:00"}}},
        {"meeting", 0x800, kDecember8 + 14 * kHour, kDecember8 + 15 * kHour, 0, {{"AppointmentType", "3"}}},
        {"reminder", 0x1000, kDecember8 + 14 * kHour, kDecember8 + 14 * kHour, 0, {{"AppointmentType", "4"}}},
    };
    DWORD id = 2;
    for (const Row& row : rows) {
        auto record = NewRecord(GODWIT_TYPE_CALENDAR);
        PutText(record, DISPID_GODWIT_BODY, L"Entry");
        AddSubType(record, row.subType);
        PutDate(record, DISPID_GODWIT_STARTDATE, row.start);
        PutDate(record, DISPID_GODWIT_ENDDATE, row.end);
        PutShort(record, DISPID_GODWIT_PRIVATE, row.isPrivate);
        EXPECT_EQ(S_OK, File(record)) << row.what << ": " << m_error;
        for (const auto& item : row.items)
            EXPECT_EQ(item.second, Item(kMailFile, id, item.first)) << row.what << ": " << item.first;
        ++id;
    }
}

TEST_F(HeronFilingTest, CalendarEntryDescription)
{
    ASSERT_EQ(S_OK, Connect());
    auto record = NewRecord(GODWIT_TYPE_CALENDAR);
    PutText(record, DISPID_GODWIT_BODY, L"Lunch\r\nwith Bob");
    PutText(record, DISPID_GODWIT_NOTE, L"At noon\r\nsharp");
    PutDate(record, DISPID_GODWIT_STARTDATE, kDecember8 + 12 * kHour);
    PutDate(record, DISPID_GODWIT_ENDDATE, kDecember8 + 13 * kHour);
    PutList(record, DISPID_GODWIT_TASKCATEGORY, {"Business"});
    PutList(record, DISPID_GODWIT_CONTACTS, {kBob});
    PutList(record, DISPID_GODWIT_ATTACHMENTS, {Attachment()});
    EXPECT_EQ(S_OK, File(record)) << m_error;
    EXPECT_EQ("\"Lunch \\nwith Bob\"", Item(kMailFile, 2, "Subject"));
    EXPECT_EQ("\"At noon \\nsharp\"|[link contacts.nsf/$People/20] Bob Stone|[attachment plan.txt]",
              Item(kMailFile, 2, "Body"));
    EXPECT_EQ("Business", Item(kMailFile, 2, "Categories"));
    std::string unid = Item(kMailFile, 2, "ApptUNID");
    EXPECT_EQ(32u, unid.size());
    EXPECT_EQ("0001000000000002", unid.substr(16));
    // The day list reads the new entry back.
    Variant day, lines;
    day.vt = VT_DATE;
    day.date = kDecember8;
    EXPECT_EQ(S_OK, Call(DISPID_HERON_GETCALENDARDAY, {&day}, &lines));
    EXPECT_EQ("\"46364.5\",\"46364.541666666664\",\"-1\",\"256\",\"Lunch \nwith Bob\",", Texts(lines));
}

TEST_F(HeronFilingTest, JournalDocument)
{
    ASSERT_EQ(S_OK, Connect());
    auto record = NewRecord(GODWIT_TYPE_JOURNAL);
    PutText(record, DISPID_GODWIT_BODY, L"Met Bob\r\n");
    PutText(record, DISPID_GODWIT_NOTE, L"We talked");
    PutList(record, DISPID_GODWIT_CONTACTS, {kAcme});
    // The second folder does not exist, the third is no folder: both are
    // skipped.
    PutList(record, DISPID_GODWIT_JOURNALCATEGORY,
            {"local##journal.nsf##6", "local##journal.nsf##99", "local##journal.nsf##7", "local##journal.nsf##5"});
    EXPECT_EQ(S_OK, File(record)) << m_error;
    EXPECT_EQ("Subject(text)=\"Met Bob \\n\"\n"
              "Body=We talked\n"
              "Body=[link contacts.nsf/$People/21] Acme Ltd\n"
              "Quillmate=\n",
              Note("journal.nsf", 7));
    EXPECT_EQ("7", Item("journal.nsf", 6, "$FolderEntries"));
    EXPECT_EQ("7", Item("journal.nsf", 5, "$FolderEntries"));
}

TEST_F(HeronFilingTest, JournalWithoutFolders)
{
    ASSERT_EQ(S_OK, Connect());
    auto record = NewRecord(GODWIT_TYPE_JOURNAL);
    PutText(record, DISPID_GODWIT_BODY, L"Alone");
    EXPECT_EQ(S_OK, File(record)) << m_error;
    EXPECT_EQ("Alone", Item("journal.nsf", 7, "Subject"));
    EXPECT_EQ("<none>", Item("journal.nsf", 5, "$FolderEntries"));
    EXPECT_EQ("<none>", Item("journal.nsf", 6, "$FolderEntries"));
}

TEST_F(HeronFilingTest, MailMemo)
{
    m_notes.SetClock("20261208-090000");
    ASSERT_EQ(S_OK, Connect());
    auto record = NewRecord(GODWIT_TYPE_MEMO);
    PutText(record, DISPID_GODWIT_BODY, L"Minutes");
    PutText(record, DISPID_GODWIT_NOTE, L"All agreed");
    PutList(record, DISPID_GODWIT_RECIPIENTS, {kAcme, kBob});
    PutList(record, DISPID_GODWIT_BCCS, {kBob});
    EXPECT_EQ(S_OK, File(record)) << m_error;
    const std::string memo = "Principal=CN=Ann Lee/OU=Sales/O=Acme\n"
                             "From=CN=Ann Lee/OU=Sales/O=Acme\n"
                             "Form=Memo\n"
                             "Subject=Minutes\n"
                             "Body=All agreed\n"
                             "SendTo=bob@acme.example\n"
                             "BlindCopyTo=bob@acme.example\n"
                             "Quillmate=\n";
    EXPECT_EQ(memo, Note(kMailFile, 2));
    // The router's copy names each recipient once, and when it was posted.
    EXPECT_EQ(memo + "Recipients=bob@acme.example\nPostedDate=2026-12-08 09:00:00\n", Note("mail.box", 1));
    EXPECT_EQ("<none>", Item(kMailFile, 2, "ExcludeFromView"));
}

TEST_F(HeronFilingTest, MemoRecipients)
{
    struct Row {
        const char* what;
        std::vector<std::string> recipients;
        std::vector<std::string> ccs;
        const char* error;
        const char* sendTo;
        const char* waiting = "";  // what the mail box holds before
    } rows[] = {
        {"none named: sent as it is", {}, {}, "", ""},
        {"one of two without an address", {kAcme}, {kBob}, "", ""},
        {"every one without an address", {kAcme}, {kAcme}, "Filing Memo\r\nError: -19 Contact information not found",
         nullptr},
        // The memo's copy is a new message there, under the memo's note id
        // or not.
        {"a message waiting under the memo's note id", {}, {}, "", "", "[note 2]\r\nForm=Memo\r\nSubject=Waiting\r\n"},
    };
    ASSERT_EQ(S_OK, Connect());
    for (const Row& row : rows) {
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf", kMail);
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail.box", row.waiting);
        const size_t waiting = NoteCount("mail.box");
        auto record = NewRecord(GODWIT_TYPE_MEMO);
        PutText(record, DISPID_GODWIT_BODY, L"Memo");
        PutList(record, DISPID_GODWIT_RECIPIENTS, row.recipients);
        PutList(record, DISPID_GODWIT_CCS, row.ccs);
        EXPECT_EQ(row.sendTo ? S_OK : DISP_E_EXCEPTION, File(record)) << row.what << ": " << m_error;
        EXPECT_EQ(row.error, row.sendTo ? std::string() : m_error) << row.what;
        EXPECT_EQ(row.sendTo ? 2u : 1u, NoteCount(kMailFile)) << row.what;
        EXPECT_EQ(waiting + (row.sendTo ? 1u : 0u), NoteCount("mail.box")) << row.what;
        const DWORD sent = waiting ? 3 : 1;
        if (row.sendTo) {
            EXPECT_EQ("Memo", Item("mail.box", sent, "Subject")) << row.what;
            EXPECT_EQ(row.sendTo, Item("mail.box", sent, "SendTo")) << row.what;
        }
        if (waiting) {
            EXPECT_EQ("Waiting", Item("mail.box", 2, "Subject")) << row.what;
        }
    }
}

TEST_F(HeronFilingTest, SentDocumentsLeaveTheUnreadTable)
{
    const std::string unread = "[note 40]\r\n$UnreadUser=CN=Ann Lee/OU=Sales/O=Acme\r\n$Unread=1\r\n$Unread=41\r\n"
                               "$Unread=42\r\n$Unread=43\r\n";
    struct Row {
        const char* what;
        long type;
        long subType;
        const char* failing;
        const char* left;
    } rows[] = {
        {"memo", GODWIT_TYPE_MEMO, 0, "", "1|42|43"},
        {"mailed to-do", GODWIT_TYPE_TODO, 0x01, "", "1|42|43"},
        {"to-do not mailed", GODWIT_TYPE_TODO, 0, "", "1|41|42|43"},
        // The filing stands; only the marks stay.
        {"table not stored", GODWIT_TYPE_MEMO, 0, "NSFDbSetUnreadNoteTable", "1|41|42|43"},
        {"mail file not opened", GODWIT_TYPE_MEMO, 0, "MailOpenMessageFile", "1|41|42|43"},
    };
    ASSERT_EQ(S_OK, Connect());
    for (const Row& row : rows) {
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf", kMail + unread);
        m_notes.SetFailCalls({row.failing});
        auto record = NewRecord(row.type);
        PutText(record, DISPID_GODWIT_BODY, L"Unread");
        if (row.subType)
            AddSubType(record, row.subType);
        EXPECT_EQ(S_OK, File(record)) << row.what << ": " << m_error;
        EXPECT_EQ("Unread", Item(kMailFile, 41, "Subject")) << row.what;
        EXPECT_EQ(row.left, Item(kMailFile, 40, "$Unread")) << row.what;
    }
}

TEST_F(HeronFilingTest, KindsAndOrder)
{
    ASSERT_EQ(S_OK, Connect());
    struct Row {
        long type;
        std::vector<std::pair<const char*, DWORD>> filed;  // database, note id
    } rows[] = {
        {0x08, {}},
        {0x00, {}},
        {0x10, {{"mail\\alee.nsf", 2}, {"mail.box", 1}}},
        {0x1F,
         {{"mail\\alee.nsf", 3}, {"mail\\alee.nsf", 4}, {"journal.nsf", 7}, {"mail\\alee.nsf", 5}, {"mail.box", 2}}},
    };
    for (const Row& row : rows) {
        auto record = NewRecord(row.type);
        PutText(record, DISPID_GODWIT_BODY, L"Kinds");
        PutDate(record, DISPID_GODWIT_STARTDATE, kDecember8 + 9 * kHour);
        PutDate(record, DISPID_GODWIT_ENDDATE, kDecember8 + 10 * kHour);
        EXPECT_EQ(S_OK, File(record)) << row.type << ": " << m_error;
        for (const auto& filed : row.filed)
            EXPECT_EQ("Kinds", Item(filed.first, filed.second, "Subject")) << row.type << " " << filed.first;
    }
    EXPECT_EQ(5u, NoteCount(kMailFile));
    EXPECT_EQ(2u, NoteCount("mail.box"));
    EXPECT_EQ("Memo", Item(kMailFile, 2, "Form"));
    EXPECT_EQ("Task", Item(kMailFile, 3, "Form"));
    EXPECT_EQ("Appointment", Item(kMailFile, 4, "Form"));
    EXPECT_EQ("Memo", Item(kMailFile, 5, "Form"));
}

TEST_F(HeronFilingTest, FailuresStopAtTheFirstKind)
{
    struct Row {
        const char* failing;
        long type;
        const char* error;
        size_t mailNotes;
        size_t journalNotes;
        size_t sent;
    } rows[] = {
        {"NSFNoteUpdate", 0x05, "Filing Task Item\r\n", 1, 2, 0},
        // A memo that was not sent is not kept.
        {"NSFNoteCopy", 0x10, "Filing Memo\r\n", 1, 2, 0},
        {"NSFNoteUpdate", 0x10, "Filing Memo\r\n", 1, 2, 0},
        {"NSFDbOpen", 0x10, "Filing Memo\r\n", 1, 2, 0},
        {"NSFNoteCreate", 0x12, "Filing Journal Item\r\n", 1, 2, 0},
        {"CompoundTextCreate", 0x06, "Filing Calendar Item\r\n", 1, 2, 0},
        {"NSFNoteCreate", 0x16, "Filing Calendar Item\r\nError: -15 Unable to create calendar entry", 1,
         2, 0},
        {"NSFDbOpen", 0x04, "Filing Calendar Item\r\nError: -14 Unable to retrieve calendar from mail database", 1,
         2, 0},
        {"FolderDocAdd", 0x12, "Filing Journal Item\r\n", 1, 3, 0},
        // A memo that would go to nobody is not filed: no recipient could be
        // looked up.
        {"NSFNoteOpen", 0x10, "Filing Memo\r\n", 1, 2, 0},
        // Helpers record their failure and the filing goes on.
        {"NSFItemInfo", 0x02, "", 1, 3, 0},
    };
    ASSERT_EQ(S_OK, Connect());
    for (const Row& row : rows) {
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf", kMail);
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\journal.nsf", kJournal);
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail.box", "");
        m_notes.SetFailCalls({row.failing});
        auto record = NewRecord(row.type);
        PutText(record, DISPID_GODWIT_BODY, L"Fails");
        PutDate(record, DISPID_GODWIT_STARTDATE, kDecember8 + 9 * kHour);
        PutDate(record, DISPID_GODWIT_ENDDATE, kDecember8 + 10 * kHour);
        PutList(record, DISPID_GODWIT_RECIPIENTS, {kBob});
        PutList(record, DISPID_GODWIT_JOURNALCATEGORY, {"local##journal.nsf##5"});
        HRESULT hr = File(record);
        std::string error = row.error;
        if (error.empty()) {
            EXPECT_EQ(S_OK, hr) << row.failing << ": " << m_error;
        } else {
            EXPECT_EQ(DISP_E_EXCEPTION, hr) << row.failing;
            if (error.back() == '\n')
                error += kToldToFail;
            EXPECT_EQ(error, m_error) << row.failing;
        }
        m_notes.SetFailCalls({});
        EXPECT_EQ(row.mailNotes, NoteCount(kMailFile)) << row.failing;
        EXPECT_EQ(row.journalNotes, NoteCount("journal.nsf")) << row.failing;
        EXPECT_EQ(row.sent, NoteCount("mail.box")) << row.failing;
    }
}

// What the user typed or chose that Notes refuses to take fails the filing
// before anything is kept, so that the note stays open with its text.
TEST_F(HeronFilingTest, RefusedTextFailsTheFilingAndKeepsNothing)
{
    const std::string calendar = "Filing Calendar Item\r\n";
    struct Row {
        long type;
        const char* item;
        std::string error;
        long subType;
    } rows[] = {
        {GODWIT_TYPE_TODO, "Subject", "Filing Task Item\r\n"},
        {GODWIT_TYPE_TODO, "Body", "Filing Task Item\r\n"},
        {GODWIT_TYPE_TODO, "Categories", "Filing Task Item\r\n"},
        {GODWIT_TYPE_CALENDAR, "Subject", calendar + "Error: -15 Unable to create calendar entry"},
        {GODWIT_TYPE_CALENDAR, "Body", calendar},
        {GODWIT_TYPE_CALENDAR, "Categories", calendar},
        // An event of several days without its day list.
        {GODWIT_TYPE_CALENDAR, "CalendarDateTime", calendar, 0x400},
        {GODWIT_TYPE_JOURNAL, "Subject", "Filing Journal Item\r\n"},
        {GODWIT_TYPE_JOURNAL, "Body", "Filing Journal Item\r\n"},
        {GODWIT_TYPE_MEMO, "Subject", "Filing Memo\r\n"},
        {GODWIT_TYPE_MEMO, "Body", "Filing Memo\r\n"},
        // A memo whose recipients cannot be set.
        {GODWIT_TYPE_MEMO, "CopyTo", "Filing Memo\r\n"},
    };
    ASSERT_EQ(S_OK, Connect());
    for (const Row& row : rows) {
        const std::string what = std::to_string(row.type) + " " + row.item;
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf", kMail);
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\journal.nsf", kJournal);
        m_notes.SetFailItems({row.item});
        auto record = NewRecord(row.type);
        PutText(record, DISPID_GODWIT_BODY, L"renew the deed");
        PutText(record, DISPID_GODWIT_NOTE, L"at the office");
        PutList(record, DISPID_GODWIT_TASKCATEGORY, {"Business"});
        PutDate(record, DISPID_GODWIT_STARTDATE, kDecember8 + 9 * kHour);
        PutDate(record, DISPID_GODWIT_ENDDATE, kDecember8 + 2 + 10 * kHour);
        PutList(record, DISPID_GODWIT_RECIPIENTS, {kBob});
        PutList(record, DISPID_GODWIT_CCS, {kBob});
        if (row.subType)
            AddSubType(record, row.subType);
        EXPECT_EQ(DISP_E_EXCEPTION, File(record)) << what;
        std::string error = row.error;
        if (error.back() == '\n')
            error += kToldToFail;
        EXPECT_EQ(error, m_error) << what;
        m_notes.SetFailItems({});
        EXPECT_EQ(1u, NoteCount(kMailFile)) << what;
        EXPECT_EQ(2u, NoteCount("journal.nsf")) << what;
        EXPECT_EQ(0u, NoteCount("mail.box")) << what;
    }
}

TEST_F(HeronFilingTest, MailedTodoWhoseSendingFails)
{
    ASSERT_EQ(S_OK, Connect());
    m_notes.SetFailCalls({"NSFNoteCopy"});
    auto record = NewRecord(GODWIT_TYPE_TODO | GODWIT_TYPE_CALENDAR);
    PutText(record, DISPID_GODWIT_BODY, L"Send me");
    AddSubType(record, 0x01);
    PutList(record, DISPID_GODWIT_RECIPIENTS, {kBob});
    EXPECT_EQ(DISP_E_EXCEPTION, File(record));
    EXPECT_EQ(std::string("Filing Task Item\r\n") + kToldToFail, m_error);
    // The saved to-do stays; the calendar entry is not made.
    EXPECT_EQ("Send me", Item(kMailFile, 2, "Subject"));
    EXPECT_EQ("bob@acme.example", Item(kMailFile, 2, "SendTo"));
    EXPECT_EQ(2u, NoteCount(kMailFile));
}

// The whole note is the body: it is filed whole however long, and a note
// too long for the Notes item it goes into fails its filing, which leaves
// nothing behind.
TEST_F(HeronFilingTest, LongNotesAreFiledWholeOrRefused)
{
    ASSERT_EQ(S_OK, Connect());
    std::string whole;
    for (int i = 0; whole.size() < 5000; ++i)
        whole += "word" + std::to_string(i) + " ";
    whole.resize(4997);
    whole += "end";
    const std::string tooLong(NOTES_SUMMARY_TEXT_LIMIT + 1, 'x');
    const std::string kTooBig = "Error: 1285 A summary text item is larger than 15K";
    struct Row {
        long type;
        const char* database;
        DWORD id;
        std::string refused;
    } rows[] = {
        {GODWIT_TYPE_TODO, "mail\\alee.nsf", 2, "Filing Task Item\r\n" + kTooBig},
        {GODWIT_TYPE_CALENDAR, "mail\\alee.nsf", 3, "Filing Calendar Item\r\nError: -15 Unable to create calendar entry"},
        {GODWIT_TYPE_MEMO, "mail\\alee.nsf", 4, "Filing Memo\r\n" + kTooBig},
        {GODWIT_TYPE_JOURNAL, "journal.nsf", 7, "Filing Journal Item\r\n" + kTooBig},
    };
    for (const Row& row : rows) {
        auto record = NewRecord(row.type);
        PutText(record, DISPID_GODWIT_BODY, std::wstring(whole.begin(), whole.end()).c_str());
        PutDate(record, DISPID_GODWIT_STARTDATE, kDecember8 + 9 * kHour);
        PutDate(record, DISPID_GODWIT_ENDDATE, kDecember8 + 10 * kHour);
        EXPECT_EQ(S_OK, File(record)) << row.type << ": " << m_error;
        EXPECT_EQ(whole, Item(row.database, row.id, "Subject")) << row.type;

        size_t notes = NoteCount(row.database);
        auto refused = NewRecord(row.type);
        PutText(refused, DISPID_GODWIT_BODY, std::wstring(tooLong.begin(), tooLong.end()).c_str());
        PutDate(refused, DISPID_GODWIT_STARTDATE, kDecember8 + 11 * kHour);
        PutDate(refused, DISPID_GODWIT_ENDDATE, kDecember8 + 12 * kHour);
        EXPECT_EQ(DISP_E_EXCEPTION, File(refused)) << row.type;
        EXPECT_EQ(row.refused, m_error) << row.type;
        EXPECT_EQ(notes, NoteCount(row.database)) << row.type;
    }
    EXPECT_EQ(1u, NoteCount("mail.box")) << "only the memo that was filed is sent";
}

// Memory that runs out while filing fails the filing with its own text, not
// the one an earlier member left.
TEST_F(HeronFilingTest, AllocationFailureWhileFiling)
{
    ASSERT_EQ(S_OK, Connect());
    Variant contacts;
    EXPECT_EQ(DISP_E_EXCEPTION, Get(DISPID_HERON_CONTACTS, &contacts));
    m_notes.SetMemoryCalls({"NSFNoteCreate"});
    auto record = NewRecord(GODWIT_TYPE_TODO);
    PutText(record, DISPID_GODWIT_BODY, L"No memory");
    EXPECT_EQ(DISP_E_EXCEPTION, File(record));
    EXPECT_EQ("Filing Task Item\r\nError: 294 Insufficient memory", m_error);
    EXPECT_EQ(1u, NoteCount(kMailFile));
}

TEST_F(HeronFilingTest, NullAndNotConnected)
{
    Variant none;
    none.vt = VT_DISPATCH;
    none.pdispVal = nullptr;
    EXPECT_EQ(static_cast<HRESULT>(ERROR_INVALID_PARAMETER), Call(DISPID_HERON_FILEKEYNOTE, {&none}));
    EXPECT_EQ(L"Null keynote parameter passed to FileKeynote()", QuiComTesting::LastError().description);
    auto record = NewRecord(GODWIT_TYPE_TODO);
    EXPECT_EQ(DISP_E_EXCEPTION, File(record));
    EXPECT_EQ("Not Connected to Lotus Notes.", m_error);
}

}  // namespace
