// The class layer's session, notes, items and times against the stand-in's
// function library: the runtime's thread rule, what the library refuses,
// and the values the layer reads and writes through it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LNClasses.h"
#include "NotesStandInFixture.h"

namespace {

using NotesStandInTesting::Installation;
using NotesStandInTesting::OnOtherThread;
using NotesStandInTesting::RuntimeStarted;

class LNClassesTest : public ::testing::Test {
protected:
    void SetUp() override { LNSetThrowAllErrors(FALSE); }
    void TearDown() override { m_session.Term(0); }
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

TEST_F(LNClassesTest, CallsBeforeInitialisationAreRefused)
{
    Start();
    m_session.Term(0);
    LNString name;
    EXPECT_FALSE(RuntimeStarted());
    EXPECT_EQ(NOTES_ERR_NOT_INITIALIZED, m_session.GetUserNameText(&name));
    EXPECT_EQ(NOTES_ERR_NOT_INITIALIZED, m_session.InitThread());
}

TEST_F(LNClassesTest, InitialisationRegistersTheCallingThreadOnly)
{
    Start();
    EXPECT_TRUE(RuntimeStarted());
    EXPECT_TRUE(LNIsNotesInitialized());
    LNString name;
    EXPECT_EQ(0, m_session.GetUserNameText(&name));
    EXPECT_STREQ("CN=Ann Lee/OU=Sales/O=Acme", name.GetPlatformTextPtr());

    LNSTATUS unregistered = -1, registered = -1, ended = -1;
    BOOL environment = TRUE;
    OnOtherThread([&] {
        LNNotesSession session;
        LNString text;
        char value[64] = "";
        environment = LNNotes().OSGetEnvironmentString("Location", value, sizeof value - 1);
        unregistered = session.GetUserNameText(&text);
        session.InitThread();
        registered = session.GetUserNameText(&text);
        session.TermThread();
        ended = session.GetUserNameText(&text);
    });
    EXPECT_FALSE(environment);
    EXPECT_EQ(NOTES_ERR_THREAD_NOT_REGISTERED, unregistered);
    EXPECT_EQ(0, registered);
    EXPECT_EQ(NOTES_ERR_THREAD_NOT_REGISTERED, ended);
}

TEST_F(LNClassesTest, InitialisationRefusals)
{
    struct Row {
        const char* what;
        const char* failing;
        std::string ini;
        LNSTATUS status;
    } rows[] = {
        {"no notes.ini", "", m_notes.Folder() + "\\none.ini", NOTES_ERR_NO_INI},
        {"told to fail", "NotesInitExtended", m_notes.IniPath(), NOTES_ERR_TOLD_TO_FAIL},
    };
    for (const Row& row : rows) {
        m_notes.SetFailCalls({row.failing});
        EXPECT_EQ(row.status, m_session.Initialize(200, 0, nullptr, row.ini.c_str())) << row.what;
        EXPECT_FALSE(RuntimeStarted()) << row.what;
        EXPECT_FALSE(LNIsNotesInitialized()) << row.what;
    }
    m_notes.SetFailCalls({});
    Start();
    LNNotesSession other;
    EXPECT_EQ(NOTES_ERR_ALREADY_INITIALIZED, other.Initialize(200, 0, nullptr, m_notes.IniPath().c_str()));
    EXPECT_TRUE(RuntimeStarted());
}

// A call told to fail fails (thrown while errors are thrown) from the Nth
// call on; the others go on.
TEST_F(LNClassesTest, NamedCallFailsWhenTold)
{
    Start();
    struct Row {
        const char* failing;
        std::vector<LNSTATUS> calls;
    } rows[] = {
        {"NSFDbGetBuildVersion", {NOTES_ERR_TOLD_TO_FAIL, NOTES_ERR_TOLD_TO_FAIL}},
        {"NSFDbGetBuildVersion:2", {0, NOTES_ERR_TOLD_TO_FAIL, NOTES_ERR_TOLD_TO_FAIL}},
        {"NSFNoteUpdate", {0, 0}},
    };
    for (const Row& row : rows) {
        m_notes.SetFailCalls({row.failing});
        for (size_t i = 0; i < row.calls.size(); ++i) {
            WORD build = 0;
            EXPECT_EQ(row.calls[i], m_session.GetNotesVersion(&build, LNString(""))) << row.failing << " " << i;
        }
    }
    m_notes.SetFailCalls({"NSFDbGetBuildVersion"});
    LNSetThrowAllErrors(TRUE);
    LNSTATUS thrown = 0;
    try {
        WORD build = 0;
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
TEST_F(LNClassesTest, NamedItemIsRefusedWhenTold)
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
    date.SetValue(LNDatetime().GetStamp());
    LNRTCursor cursor;
    struct Row {
        const char* what;
        LNSTATUS status;
    } rows[] = {
        {"text", document.CreateItem("Subject", text, 0, 0)},
        {"number", document.CreateItem("Subject", number, 0, 0)},
        {"date-time", document.CreateItem("Subject", date, 0, 0)},
        {"rich text value", body.SetValue("x", FALSE)},
        {"rich text added", body.Insert("x", &cursor)},
    };
    for (const Row& row : rows)
        EXPECT_EQ(NOTES_ERR_TOLD_TO_FAIL, row.status) << row.what;
    EXPECT_EQ(0, document.CreateItem("Categories", text, 0, 0));
    m_notes.SetFailItems({});
    EXPECT_EQ(0, document.CreateItem("Subject", text, 0, 0));
}

TEST_F(LNClassesTest, BuildNumberComesFromTheSettings)
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
// the summary flag.
TEST_F(LNClassesTest, SummaryTextItemsHaveALimit)
{
    Start();
    const size_t limit = NOTES_SUMMARY_TEXT_LIMIT;
    struct Row {
        const char* what;
        DWORD flags;
        size_t entries;
        size_t bytes;  // each
        bool replace;  // written over a small item
        LNSTATUS save;
    } rows[] = {
        {"summary, at the limit", LNITEMFLAGS_SUMMARY, 1, limit, false, 0},
        {"summary, one byte past", LNITEMFLAGS_SUMMARY, 1, limit + 1, false, NOTES_ERR_SUMMARY_TOO_BIG},
        {"summary list, past together", LNITEMFLAGS_SUMMARY, 2, limit / 2 + 1, false, NOTES_ERR_SUMMARY_TOO_BIG},
        {"summary, replaced", LNITEMFLAGS_SUMMARY, 1, limit + 1, true, NOTES_ERR_SUMMARY_TOO_BIG},
        {"no summary", 0, 1, 4 * limit, false, 0},
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
    }
}

// The location document is the note notes.ini's "Location" names by its
// name and note id, and only when it is a location of that name.
TEST_F(LNClassesTest, LocationDocument)
{
    struct Row {
        const char* location;
        LNSTATUS status;
    } rows[] = {
        {"Home (Modem),8,x", LNERR_NO_LOCATION},
        {"Office,9,x", LNERR_NO_LOCATION},
        {"Office", LNERR_NO_LOCATION},
        {"office,8,x", 0},
        {"Office,8,CN=Ann Lee/OU=Sales/O=Acme", 0},
    };
    Start();
    for (const Row& row : rows) {
        m_notes.SetIni({{"Location", row.location}, {"KeyFileName", "user.id"}, {"MailFile", "mail\\alee.nsf"}});
        m_session.Term(0);
        Start();
        LNDocument location;
        EXPECT_EQ(row.status, m_session.GetLocationDocument(&location)) << row.location;
    }
    LNDocument location;
    ASSERT_EQ(0, m_session.GetLocationDocument(&location));
    EXPECT_EQ(8u, location.GetNoteID());
    LNText values;
    ASSERT_EQ(0, location.GetItem("mailfile", &values));
    ASSERT_EQ(1u, values.GetCount());
    EXPECT_STREQ("mail\\alee.nsf", values[0].GetPlatformTextPtr());
    EXPECT_EQ(LNERR_ITEM_NOT_FOUND, location.GetItem("MailServer", &values));
}

TEST_F(LNClassesTest, TextListJoinsWithSemicolons)
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

TEST_F(LNClassesTest, DatabasesOpenLocallyAndOnKnownServers)
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
        EXPECT_EQ(0, database.Close());
        EXPECT_FALSE(database.IsOpen());
    }
    LNDatabase mail;
    ASSERT_EQ(0, m_session.GetMailDatabase(&mail));
    EXPECT_STREQ("mail\\alee.nsf", mail.GetFilePath());
    EXPECT_STREQ("", mail.GetServerName());
    ASSERT_EQ(0, mail.Open());
    DBHANDLE handle = NULLHANDLE;
    ASSERT_EQ(0, LNNotes().NSFDbOpen("mail\\alee.nsf", &handle));
    EXPECT_EQ(0, LNNotes().NSFDbClose(handle));
    EXPECT_EQ(NOTES_ERR_BAD_HANDLE, LNNotes().NSFDbClose(handle));
}

std::string Part(const char* text, WORD length)
{
    return text ? std::string(text, length) : std::string();
}

TEST_F(LNClassesTest, NameParse)
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
    static_assert(sizeof(DN_COMPONENTS) == 88, "the V4 components are 88 bytes");
#endif
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DN_COMPONENTS parts = {};
        ASSERT_EQ(0, LNNotes().DNParse(0, nullptr, row.name, &parts, sizeof parts));
        EXPECT_EQ(row.common, Part(parts.CN, parts.CNLength));
        EXPECT_EQ(row.unit1, Part(parts.OU[0], parts.OULength[0]));
        EXPECT_EQ(row.unit2, Part(parts.OU[1], parts.OULength[1]));
        EXPECT_EQ(row.organization, Part(parts.O, parts.OLength));
        EXPECT_EQ(row.country, Part(parts.C, parts.CLength));
    }
}

TEST_F(LNClassesTest, AdjustTimeCrossesDaysAndMonths)
{
    Start();
    struct Row {
        int date[3];  // year, month, day
        int time[3];  // hour, minute, second
        int hours, minutes, seconds;
        int expected[6];
    } rows[] = {
        {{2026, 12, 8}, {9, 0, 0}, 0, -15, 0, {2026, 12, 8, 8, 45, 0}},
        {{2026, 12, 8}, {0, 10, 0}, 0, -15, 0, {2026, 12, 7, 23, 55, 0}},
        {{2026, 12, 31}, {23, 30, 0}, 1, 0, 0, {2027, 1, 1, 0, 30, 0}},
        {{2024, 2, 28}, {12, 0, 0}, 24, 0, 0, {2024, 2, 29, 12, 0, 0}},
        {{2026, 12, 8}, {9, 0, 0}, 0, 0, -1, {2026, 12, 8, 8, 59, 59}},
    };
    for (const Row& row : rows) {
        LNDatetime datetime;
        datetime.SetDate(row.date[1], row.date[2], row.date[0]);
        ASSERT_EQ(0, datetime.SetTime(row.time[0], row.time[1], row.time[2], 0));
        ASSERT_EQ(0, datetime.AdjustTime(row.hours, row.minutes, row.seconds, 0));
        int got[6] = {datetime.GetYear(), datetime.GetMonth(), datetime.GetDay(),
                      datetime.GetHour(), datetime.GetMinute(), datetime.GetSecond()};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(row.expected[i], got[i]) << row.date[2] << " " << row.time[0] << " field " << i;
    }
    LNDatetime wildcard;
    wildcard.SetDateToWildCard();
    EXPECT_TRUE(wildcard.IsWildcard());
    EXPECT_EQ(LNERR_BAD_TIME, wildcard.AdjustTime(0, 1, 0, 0));
}

// A local time that is no day of the calendar is refused; one that is
// comes back the same.
TEST_F(LNClassesTest, LocalTimesRoundTrip)
{
    Start();
    TIME time = {};
    time.year = 2026;
    time.month = 2;
    time.day = 30;
    EXPECT_TRUE(LNNotes().TimeLocalToGM(&time)) << "TRUE is the library's failure";
    time.day = 28;
    time.hour = 23;
    time.minute = 5;
    time.second = 9;
    ASSERT_FALSE(LNNotes().TimeLocalToGM(&time));
    TIME back = {};
    back.GM = time.GM;
    ASSERT_FALSE(LNNotes().TimeGMToLocal(&back));
    EXPECT_EQ(2026, back.year);
    EXPECT_EQ(2, back.month);
    EXPECT_EQ(28, back.day);
    EXPECT_EQ(23, back.hour);
    EXPECT_EQ(5, back.minute);
    EXPECT_EQ(9, back.second);
}

}  // namespace
