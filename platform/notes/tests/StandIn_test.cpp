#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "LNClasses.h"
#include "NotesStandInFixture.h"

namespace {

using NotesStandInTesting::Installation;
using NotesStandInTesting::OnOtherThread;

class StandInTest : public ::testing::Test {
protected:
    void SetUp() override { LNSetThrowAllErrors(FALSE); }
    void TearDown() override
    {
        if (LNIsNotesInitialized())
            m_session.Term(0);
    }
    void Start() { ASSERT_EQ(0, m_session.Initialize(200, 0, nullptr, m_notes.IniPath().c_str())); }
    // A new document in the user's mail database, which is left open.
    void NewMailDocument(LNDatabase* mail, LNDocument* document)
    {
        ASSERT_EQ(0, m_session.GetMailDatabase(mail));
        ASSERT_EQ(0, mail->Open());
        ASSERT_EQ(0, mail->CreateDocument(document));
    }

    Installation m_notes;
    LNNotesSession m_session;
};

TEST_F(StandInTest, CallsBeforeInitialisationAreRefused)
{
    LNString name;
    EXPECT_FALSE(LNIsNotesInitialized());
    EXPECT_EQ(NOTES_ERR_NOT_INITIALIZED, m_session.GetUserNameText(&name));
    EXPECT_EQ(NOTES_ERR_NOT_INITIALIZED, m_session.InitThread());
}

TEST_F(StandInTest, InitialisationRegistersTheCallingThreadOnly)
{
    Start();
    EXPECT_TRUE(LNIsNotesInitialized());
    LNString name;
    EXPECT_EQ(0, m_session.GetUserNameText(&name));
    EXPECT_STREQ("CN=Ann Lee/OU=Sales/O=Acme", name.GetPlatformTextPtr());

    LNSTATUS unregistered = -1, registered = -1, ended = -1;
    OnOtherThread([&] {
        LNNotesSession session;
        LNString text;
        unregistered = session.GetUserNameText(&text);
        session.InitThread();
        registered = session.GetUserNameText(&text);
        session.TermThread();
        ended = session.GetUserNameText(&text);
    });
    EXPECT_EQ(NOTES_ERR_THREAD_NOT_REGISTERED, unregistered);
    EXPECT_EQ(0, registered);
    EXPECT_EQ(NOTES_ERR_THREAD_NOT_REGISTERED, ended);
}

TEST_F(StandInTest, UnregisteredThreadCannotReadTheEnvironment)
{
    Start();
    char value[64] = "unchanged";
    EXPECT_TRUE(NotesEnvironmentText("Location", value, sizeof value));
    EXPECT_STREQ("Office,1234,5678", value);
    BOOL found = TRUE;
    OnOtherThread([&] { found = NotesEnvironmentText("Location", value, sizeof value); });
    EXPECT_FALSE(found);
}

TEST_F(StandInTest, SecondInitialisationAndTermWithoutRuntimeFail)
{
    Start();
    LNNotesSession other;
    EXPECT_EQ(NOTES_ERR_ALREADY_INITIALIZED, other.Initialize(200, 0, nullptr, m_notes.IniPath().c_str()));
    EXPECT_EQ(0, m_session.Term(0));
    EXPECT_FALSE(LNIsNotesInitialized());
    EXPECT_EQ(NOTES_ERR_NOT_INITIALIZED, m_session.Term(0));
}

TEST_F(StandInTest, MissingIniFails)
{
    EXPECT_EQ(NOTES_ERR_NO_INI, m_session.Initialize(200, 0, nullptr, (m_notes.Folder() + "\\none.ini").c_str()));
    EXPECT_FALSE(LNIsNotesInitialized());
}

TEST_F(StandInTest, NamedCallFailsWhenTold)
{
    Start();
    m_notes.SetFailCalls({"GetNotesVersion"});
    WORD build = 0;
    EXPECT_EQ(NOTES_ERR_TOLD_TO_FAIL, m_session.GetNotesVersion(&build, LNString("")));
    LNSetThrowAllErrors(TRUE);
    LNSTATUS thrown = 0;
    try {
        m_session.GetNotesVersion(&build, LNString(""));
    } catch (LNSTATUS status) {
        thrown = status;
    }
    LNSetThrowAllErrors(FALSE);
    EXPECT_EQ(NOTES_ERR_TOLD_TO_FAIL, thrown);
    LNString name;
    EXPECT_EQ(0, m_session.GetUserNameText(&name));
}

// Every way of writing a named item is refused; other items are written.
TEST_F(StandInTest, NamedItemIsRefusedWhenTold)
{
    Start();
    LNDatabase mail;
    LNDocument document;
    ASSERT_NO_FATAL_FAILURE(NewMailDocument(&mail, &document));
    LNRichText body;
    ASSERT_EQ(0, document.CreateItem("Body", &body, 0, 0));
    m_notes.SetFailItems({"Subject", "Body"});
    LNText text;
    text.SetValue("x");
    LNNumbers number;
    number.SetValue(1);
    LNDatetimes date;
    date.SetValue(NOTESTIMEDATE{{20261208, 90000}});
    LNRichText other;
    LNRTCursor cursor;
    struct Row {
        const char* what;
        LNSTATUS status;
    } rows[] = {
        {"text", document.CreateItem("Subject", text, 0, 0)},
        {"number", document.CreateItem("Subject", number, 0, 0)},
        {"date-time", document.CreateItem("Subject", date, 0, 0)},
        {"new rich text", document.CreateItem("Subject", &other, 0, 0)},
        {"rich text value", body.SetValue("x", FALSE)},
        {"rich text paragraph", body.StartNewParagraph(&cursor)},
        {"rich text insert", body.Insert("x", &cursor)},
    };
    for (const Row& row : rows)
        EXPECT_EQ(NOTES_ERR_TOLD_TO_FAIL, row.status) << row.what;
    EXPECT_EQ(0, document.CreateItem("Categories", text, 0, 0));
    m_notes.SetFailItems({});
    EXPECT_EQ(0, document.CreateItem("Subject", text, 0, 0));
    mail.Close();
}

TEST_F(StandInTest, InitialiseFailsWhenTold)
{
    m_notes.SetFailCalls({"Initialize"});
    EXPECT_EQ(NOTES_ERR_TOLD_TO_FAIL, m_session.Initialize(200, 0, nullptr, m_notes.IniPath().c_str()));
    EXPECT_FALSE(LNIsNotesInitialized());
}

TEST_F(StandInTest, BuildNumberComesFromTheSettings)
{
    Start();
    WORD build = 0;
    EXPECT_EQ(0, m_session.GetNotesVersion(&build, LNString("")));
    EXPECT_EQ(NOTES_STANDIN_DEFAULT_BUILD, build);
    m_notes.SetBuild(147);
    EXPECT_EQ(0, m_session.GetNotesVersion(&build, LNString("")));
    EXPECT_EQ(147, build);
}

// A summary text item holds NOTES_SUMMARY_TEXT_LIMIT bytes, all its texts
// together; a note with a larger one is not written. A replaced value keeps
// the item's flags.
TEST_F(StandInTest, SummaryTextItemsHaveALimit)
{
    Start();
    const size_t limit = NOTES_SUMMARY_TEXT_LIMIT;
    struct Row {
        const char* what;
        DWORD flags;
        size_t entries;
        size_t bytes;  // each
        bool replace;  // written over a small item of these flags
        LNSTATUS save;
    } rows[] = {
        {"summary, at the limit", LNITEMFLAGS_SUMMARY, 1, limit, false, 0},
        {"summary, one byte past", LNITEMFLAGS_SUMMARY, 1, limit + 1, false, NOTES_ERR_SUMMARY_TOO_BIG},
        {"summary list, past together", LNITEMFLAGS_SUMMARY, 2, limit / 2 + 1, false, NOTES_ERR_SUMMARY_TOO_BIG},
        {"summary, replaced", LNITEMFLAGS_SUMMARY, 1, limit + 1, true, NOTES_ERR_SUMMARY_TOO_BIG},
        {"no summary", 0, 1, 4 * limit, false, 0},
        {"no summary, replaced", 0, 1, 4 * limit, true, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        LNDatabase mail;
        LNDocument document;
        ASSERT_NO_FATAL_FAILURE(NewMailDocument(&mail, &document));
        LNText value;
        for (size_t i = 0; i < row.entries; ++i)
            value.Append(std::string(row.bytes, 'x').c_str());
        if (row.replace) {
            LNText small;
            small.SetValue("small");
            EXPECT_EQ(0, document.CreateItem("Subject", small, row.flags, 0));
            EXPECT_EQ(0, document.SetItemValue("Subject", value));
        } else {
            EXPECT_EQ(0, document.CreateItem("Subject", value, row.flags, 0));
        }
        std::vector<std::string> before = m_notes.Dump("mail\\alee.nsf");
        EXPECT_EQ(row.save, document.Save(0));
        std::vector<std::string> after = m_notes.Dump("mail\\alee.nsf");
        EXPECT_EQ(before.size() + (row.save ? 0 : row.entries), after.size());
        mail.Close();
    }
}

TEST_F(StandInTest, LocationDocumentItems)
{
    Start();
    LNDocument location;
    ASSERT_EQ(0, m_session.GetLocationDocument(&location));
    EXPECT_EQ(8u, location.GetNoteID());
    LNText values;
    EXPECT_EQ(NOTES_ERR_BAD_HANDLE, location.GetItem("MailType", &values)) << "read before Open";
    ASSERT_EQ(0, location.Open());
    ASSERT_EQ(0, location.GetItem("mailfile", &values));
    ASSERT_EQ(1u, values.GetCount());
    EXPECT_STREQ("mail\\alee.nsf", values[0].GetPlatformTextPtr());
    EXPECT_EQ(NOTES_ERR_ITEM_NOT_FOUND, location.GetItem("MailServer", &values));
}

TEST_F(StandInTest, TextListJoinsWithSemicolons)
{
    LNText values;
    LNString joined("old");
    values.GetText(&joined);
    EXPECT_STREQ("", joined.GetPlatformTextPtr());
    values.Append("a");
    values.Append("");
    values.Append("c");
    values.GetText(&joined);
    EXPECT_STREQ("a;;c", joined.GetPlatformTextPtr());
    EXPECT_STREQ("", values[3].GetPlatformTextPtr());
}

TEST_F(StandInTest, LocationNotFound)
{
    m_notes.SetIni({{"Location", "Home (Modem),1,2"}, {"KeyFileName", "user.id"}});
    Start();
    LNDocument location;
    EXPECT_EQ(NOTES_ERR_NO_LOCATION, m_session.GetLocationDocument(&location));
}

TEST_F(StandInTest, DatabasesOpenLocallyAndOnKnownServers)
{
    Start();
    CreateDirectoryA((m_notes.Folder() + "\\servers").c_str(), nullptr);
    CreateDirectoryA((m_notes.Folder() + "\\servers\\Mail01_Acme").c_str(), nullptr);
    NotesStandInTesting::WriteFile(m_notes.Folder() + "\\servers\\Mail01_Acme\\alee.nsf", "[note 1]\r\n");
    struct Row {
        const char* server;
        const char* path;
        LNSTATUS open;
    } rows[] = {
        {"", "mail\\alee.nsf", 0},
        {"", "alee.nsf", NOTES_ERR_FILE_NOT_FOUND},
        {"Mail01/Acme", "alee.nsf", 0},
        {"Mail01/Acme", "mail\\alee.nsf", NOTES_ERR_FILE_NOT_FOUND},
        {"Mail02/Acme", "alee.nsf", NOTES_ERR_SERVER_NOT_RESPONDING},
        {"", "mail", NOTES_ERR_FILE_NOT_FOUND},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.server) + "!!" + row.path);
        LNDatabase database;
        EXPECT_EQ(0, m_session.GetDatabase(row.path, &database, row.server));
        EXPECT_EQ(row.open, database.Open());
        EXPECT_EQ(row.open == 0, database.IsOpen() != FALSE);
        EXPECT_EQ(row.open == 0, database.GetDatabaseHandle() != 0);
        EXPECT_EQ(0, database.Close());
        EXPECT_FALSE(database.IsOpen());
    }
}

TEST_F(StandInTest, MailDatabaseFromTheEnvironment)
{
    Start();
    LNDatabase mail;
    ASSERT_EQ(0, m_session.GetMailDatabase(&mail));
    EXPECT_STREQ("mail\\alee.nsf", mail.GetFilePath());
    EXPECT_STREQ("", mail.GetServerName());
    EXPECT_EQ(0, mail.Open());
    LNDBHANDLE handle = mail.GetDatabaseHandle();
    EXPECT_EQ(0, NotesDatabaseClose(handle));
    EXPECT_EQ(NOTES_ERR_BAD_HANDLE, NotesDatabaseClose(handle));
}

std::string Part(const NOTES_NAME_PART& part)
{
    return part.text ? std::string(part.text, part.length) : std::string();
}

TEST_F(StandInTest, NameParse)
{
    Start();
    struct Row {
        const char* name;
        const char* common;
        const char* unit1;
        const char* unit2;
        const char* organization;
        const char* country;
    } rows[] = {
        {"CN=Ann Lee/OU=Sales/O=Acme", "Ann Lee", "Sales", "", "Acme", ""},
        {"Ann Lee/Sales/East/Acme", "Ann Lee", "Sales", "East", "Acme", ""},
        {"CN=Bob/O=Acme/C=US", "Bob", "", "", "Acme", "US"},
        {"Bob", "Bob", "", "", "", ""},
        {"Bob/Acme", "Bob", "", "", "Acme", ""},
    };
#ifndef _WIN64
    static_assert(sizeof(NOTES_NAME_PARTS) == 88, "the component record is 88 bytes");
#endif
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        NOTES_NAME_PARTS parts;
        ASSERT_EQ(0, NotesNameParse(row.name, &parts));
        EXPECT_EQ(row.common, Part(parts.common));
        EXPECT_EQ(row.unit1, Part(parts.orgUnit[0]));
        EXPECT_EQ(row.unit2, Part(parts.orgUnit[1]));
        EXPECT_EQ(row.organization, Part(parts.organization));
        EXPECT_EQ(row.country, Part(parts.country));
    }
}

}  // namespace

namespace {

TEST(StandInDatetime, AdjustTimeCrossesDaysAndMonths)
{
    struct Row {
        DWORD day, time;
        int hours, minutes, seconds;
        int expected[6];
    } rows[] = {
        {20261208, 90000, 0, -15, 0, {2026, 12, 8, 8, 45, 0}},
        {20261208, 1000, 0, -15, 0, {2026, 12, 7, 23, 55, 0}},
        {20261231, 233000, 1, 0, 0, {2027, 1, 1, 0, 30, 0}},
        {20240228, 120000, 24, 0, 0, {2024, 2, 29, 12, 0, 0}},
        {20261208, 90000, 0, 0, -1, {2026, 12, 8, 8, 59, 59}},
    };
    for (const Row& row : rows) {
        LNDatetime datetime(NOTESTIMEDATE{{row.day, row.time}});
        ASSERT_EQ(0, datetime.AdjustTime(row.hours, row.minutes, row.seconds, 0));
        int got[6] = {datetime.GetYear(), datetime.GetMonth(), datetime.GetDay(),
                      datetime.GetHour(), datetime.GetMinute(), datetime.GetSecond()};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(row.expected[i], got[i]) << row.day << " " << row.time << " field " << i;
    }
    LNDatetime wildcard;
    EXPECT_TRUE(wildcard.IsWildcard());
    LNSetThrowAllErrors(FALSE);
    EXPECT_EQ(NOTES_ERR_BAD_TIME, wildcard.AdjustTime(0, 1, 0, 0));
}

TEST(StandInDatetime, LocalTimeToStamp)
{
    NOTES_TIME time = {};
    time.year = 2026;
    time.month = 2;
    time.day = 30;
    EXPECT_EQ(NOTES_ERR_BAD_TIME, NotesLocalTimeToStamp(&time));
    time.day = 28;
    time.hour = 23;
    time.minute = 5;
    time.second = 9;
    ASSERT_EQ(0, NotesLocalTimeToStamp(&time));
    EXPECT_EQ(20260228u, time.stamp.innards[0]);
    EXPECT_EQ(230509u, time.stamp.innards[1]);
}

}  // namespace
