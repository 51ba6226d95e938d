// Filing Godwit records of every kind through the registered server into
// the Notes stand-in, read back as notesdump prints the databases.
#include "HeronFilingFixture.h"

namespace {

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

}  // namespace
