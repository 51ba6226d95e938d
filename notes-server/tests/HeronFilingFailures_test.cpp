// Filing several kinds at once, and filings that fail part of the way or
// meet what Notes refuses.
#include "HeronFilingFixture.h"

namespace {

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
