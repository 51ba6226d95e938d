// The worker's error texts, event names, version classes and user names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "HeronWorker.h"
#include "NotesStandInFixture.h"
#include "VariantArray.h"

namespace {

TEST(HeronWorker, ServerErrorText)
{
    HERON worker(0);
    EXPECT_EQ(HERON_ERROR_NONE, worker.LastError().Kind());
    worker.SetError(NTS5_ERROR_UNABLE_TO_LAUNCH_NOTES, "ignored", 105);
    EXPECT_EQ(HERON_ERROR_SERVER, worker.LastError().Kind());
    EXPECT_EQ(-30, worker.LastError().Code());
    EXPECT_EQ("Opening Notes Application\r\nError: -30 Unable to Launch Lotus Notes", worker.LastError().Message());
}

TEST(HeronWorker, ServerErrorTextRows)
{
    struct Row {
        _NTS5ERROR error;
        UINT context;
        const char* expected;
    } rows[] = {
        {NTS5_ERROR_NOTES_NOT_CONFIGURED, 0,
         "\r\nError: -37 Your Notes installation has not yet been fully configured. Please run and configure "
         "your Notes Client installation before running Quillmate.\n"},
        {NTS5_ERROR_CANT_OPEN_CALENDAR_PROFILE, 104, nullptr},
        {NTS5_ERROR_CANT_GET_CATEGORIES_BAD, 102, "Retrieving Categories\r\nError: -33 Serious Error: Unable to retrieve categories"},
        {NTS5_ERROR_CANT_GET_SERVERLIST, 120, "Retrieving Database Folders\r\nError: -38 Unable to find servers"},
        {_NTS5ERROR{"none", -99, 0}, 0, "\r\nError: -99 "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.error.symbol);
        HERON worker(0);
        worker.SetError(row.error, "", row.context);
        if (row.expected) {
            EXPECT_EQ(row.expected, worker.LastError().Message());
        } else {
            const std::string& text = worker.LastError().Message();
            EXPECT_EQ(0u, text.find("Retrieving User Categories\r\nError: -13 Unable to open Calendar profile.\n"));
            EXPECT_NE(std::string::npos, text.find("\"Setting up locations\""));
        }
    }
}

TEST(HeronWorker, StatusErrorText)
{
    HERON worker(0);
    worker.SetStatusError(0, "", 107);
    EXPECT_EQ(HERON_ERROR_NONE, worker.LastError().Kind()) << "status 0 records nothing";
    worker.SetStatusError(NOTES_ERR_SERVER_NOT_RESPONDING, "", 185);
    EXPECT_EQ(HERON_ERROR_NOTES_STATUS, worker.LastError().Kind());
    EXPECT_EQ(2051, worker.LastError().Code());
    EXPECT_EQ(0u, worker.LastError().Message().find("Quillmate was unable to contact your Notes server"));
    EXPECT_NE(std::string::npos, worker.LastError().Message().find("is not correct.\r\nError: 2051 Server not responding"));
    // A later failure replaces the record; a later success does not clear it.
    worker.SetError(NTS5_ERROR_UNKNOWN, "", 0);
    worker.SetStatusError(0, "", 0);
    EXPECT_EQ(-5, worker.LastError().Code());
    EXPECT_EQ("\r\nError: -5 Unknown error", worker.LastError().Message());
}

TEST(HeronWorker, ErrorMessageIds)
{
    struct Row {
        int code;
        UINT id;
    } rows[] = {{-1, 135}, {-6, 140}, {-13, 147}, {-30, 164}, {-34, 168}, {-35, 177},
                {-36, 178}, {-37, 180}, {-38, 183}, {0, 0},    {-39, 0},   {1, 0}};
    for (const Row& row : rows)
        EXPECT_EQ(row.id, HeronErrorMessageId(row.code)) << row.code;
    EXPECT_EQ(178u, NTS5_ERROR_CANT_FIND_INIFILE.messageId);
    EXPECT_STREQ("NTS5_ERROR_INVALID_CONNECTION", NTS5_ERROR_INVALID_CONNECTION.symbol);
}

TEST(HeronWorker, EventNamesAreTheSameEachTime)
{
    const char* bases[] = {"HeronConnect", "HeronShutDown", "HeronShutDownComplete"};
    for (int kind = 1; kind <= 3; ++kind) {
        char first[MAX_PATH] = "", second[MAX_PATH] = "";
        BuildHeronEventName(kind, first);
        BuildHeronEventName(kind, second);
        EXPECT_EQ(0, std::string(first).find(bases[kind - 1])) << first;
        EXPECT_STREQ(first, second);
    }
    char connect[MAX_PATH], shutDown[MAX_PATH];
    BuildHeronEventName(1, connect);
    BuildHeronEventName(2, shutDown);
    EXPECT_STRNE(connect, shutDown);
    for (int kind : {0, 4, -1}) {
        char untouched[MAX_PATH] = "untouched";
        BuildHeronEventName(kind, untouched);
        EXPECT_STREQ("untouched", untouched) << kind;
    }
}

TEST(HeronWorker, EventNamesKeptByTheWorker)
{
    HERON worker(0);
    char name[MAX_PATH] = "unset";
    worker.GetEventName(HERON_EVENT_SHUTDOWN, name);
    EXPECT_STREQ("unset", name) << "nothing is copied while the name is unset";
    worker.SetEventName(HERON_EVENT_SHUTDOWN, "first");
    worker.SetEventName(HERON_EVENT_SHUTDOWN, "second");
    worker.GetEventName(HERON_EVENT_SHUTDOWN, name);
    EXPECT_STREQ("second", name);
    std::string longName(400, 'n');
    worker.SetEventName(HERON_EVENT_CONNECT, longName.c_str());
    worker.GetEventName(HERON_EVENT_CONNECT, name);
    EXPECT_EQ(std::string(259, 'n'), name);
    char other[MAX_PATH] = "unset";
    worker.GetEventName(4, other);
    EXPECT_STREQ("unset", other);
}

TEST(HeronWorker, VersionClassOfBuild)
{
    struct Row {
        WORD build;
        int version;
    } rows[] = {{0, -1},    {118, -1}, {119, 1},  {136, 1},  {137, -1}, {138, 2},  {139, -1},
                {140, 3},   {145, 3},  {146, -1}, {147, 4},  {148, -1}, {161, -1}, {162, 5},
                {166, 5},   {0xFFFF, 5}};
    for (const Row& row : rows)
        EXPECT_EQ(row.version, NotesVersionOfBuild(row.build)) << row.build;
}

TEST(HeronWorker, UserNameSplit)
{
    struct Row {
        const char* common;
        const char* first;
        const char* second;
    } rows[] = {
        {"Ann Lee", "Ann", "Lee"},
        {"Cher", "Cher", ""},
        {"Ann Marie Lee", "Ann", "Marie"},
        {"Ann Lee/Sales", "Ann", "Lee"},
        {"", "", ""},
    };
    for (const Row& row : rows) {
        std::string parts[3] = {"x", "x", "x"};
        SplitUserName(row.common, parts);
        EXPECT_EQ(row.first, parts[0]) << row.common;
        EXPECT_EQ(row.second, parts[1]) << row.common;
        EXPECT_EQ("", parts[2]) << row.common;
    }
}

TEST(HeronWorker, UserInfoWithoutRuntimeFails)
{
    HERON worker(0);
    VARIANT out;
    VariantInit(&out);
    LNSetThrowAllErrors(TRUE);
    EXPECT_EQ(NOTES_ERR_NOT_INITIALIZED, worker.UserInfo(&out));
    EXPECT_EQ(VT_EMPTY, out.vt) << "no names made up";
    EXPECT_EQ(HERON_ERROR_NOTES_STATUS, worker.LastError().Kind());
    EXPECT_EQ(NOTES_ERR_NOT_INITIALIZED, worker.LastError().Code());
}

INT_PTR g_shellAnswer = 0;

HINSTANCE WINAPI AnsweringShell(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT)
{
    return reinterpret_cast<HINSTANCE>(g_shellAnswer);
}

// The shell answers a failure with 32 or less (32: a library it needs is
// missing); only a greater answer started the client.
TEST(HeronWorker, OpenNotesByTheShellsAnswer)
{
    const struct {
        INT_PTR answer;
        int result;
    } rows[] = {{0, -30}, {2, -30}, {31, -30}, {32, -30}, {33, 0}, {42, 0}};
    HeronShellExecuteProc previous = SetHeronShellExecute(AnsweringShell);
    for (const auto& row : rows) {
        HERON worker(0);
        g_shellAnswer = row.answer;
        EXPECT_EQ(row.result, worker.OpenNotes()) << row.answer;
        EXPECT_EQ(row.result, worker.LastError().Code()) << row.answer;
    }
    SetHeronShellExecute(previous);
}

}  // namespace

namespace {

TEST(HeronCategories, UserCategoriesSplit)
{
    struct Row {
        const char* text;
        std::vector<std::string> pieces;
    } rows[] = {
        {"Errands;Calls", {"Errands", "Calls"}},
        {"", {}},
        {"Errands", {"Errands"}},
        {"Errands;", {"Errands"}},
        {"Errands;;Calls", {"Errands", "", "Calls"}},
        {";", {""}},
        {" a ; b ", {" a ", " b "}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.pieces, SplitUserCategories(row.text)) << row.text;
}

TEST(HeronCategories, KeywordSynonymDropped)
{
    struct Row {
        const char* keyword;
        const char* expected;
    } rows[] = {{"Business|biz", "Business"}, {"Personal", "Personal"}, {"|x", ""}, {"a|b|c", "a"}, {"", ""}};
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, KeywordBeforeBar(row.keyword)) << row.keyword;
}

}  // namespace

namespace {

TEST(HeronCalendarProfile, ValueTexts)
{
    double number = 60.0, fraction = 1.0 / 3, large = 123456789.0;
    struct Row {
        WORD type;
        const void* data;
        DWORD length;
        const char* expected;
    } rows[] = {
        {TYPE_TEXT, "Yes", 3, "Yes"},
        {TYPE_TEXT, "Yes", 0, ""},
        {TYPE_NUMBER, &number, 8, "60"},
        {TYPE_NUMBER, &fraction, 8, "0.3333333"},
        {TYPE_NUMBER, &large, 8, "1.234568e+08"},
        {TYPE_NUMBER, &number, 4, ""},
        {TYPE_TEXT_LIST, "\1\0\1\0a", 5, ""},
        {TYPE_TEXT, nullptr, 3, ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, ProfileValueText(row.type, row.data, row.length)) << row.expected;
}

TEST(HeronCalendarProfile, KindBitOfEntryType)
{
    struct Row {
        const char* type;
        const char* bit;
    } rows[] = {{"0", "256"}, {"1", "512"}, {"2", "1024"}, {"3", "2048"}, {"4", "4096"}, {"5", "0"},
                {"-1", "0"},  {"", "0"},    {"x", "0"},    {"2.5", "0"},  {"2x", "0"},  {"4.0", "4096"}};
    for (const Row& row : rows)
        EXPECT_EQ(row.bit, CalendarKindBitText(row.type)) << row.type;
}

}  // namespace

namespace {

// A date and time the library stamps reads back as the same local time.
TEST(HeronCalendarDay, DatesAsStamps)
{
    struct Row {
        DATE date;
        DWORD day;
        DWORD time;
    } rows[] = {
        {46364.0, 20261208, 0},
        {46364.375, 20261208, 90000},
        {46364.999988426, 20261208, 235959},
        {36526.5, 20000101, 120000},
        {2.25, 19000101, 60000},
    };
    for (const Row& row : rows) {
        LNDatetime stamp(NotesStampOfDate(row.date));
        EXPECT_EQ(row.day, stamp.GetYear() * 10000u + stamp.GetMonth() * 100u + stamp.GetDay()) << row.date;
        EXPECT_EQ(row.time, stamp.GetHour() * 10000u + stamp.GetMinute() * 100u + stamp.GetSecond()) << row.date;
    }
    EXPECT_THROW(NotesStampOfDate(-700000.0), LNSTATUS) << "no date the library takes";
}

// A day list's times read back to the second they were (seven significant
// digits made 13:00 read as 12:57:36).
TEST(HeronCalendarDay, DateNumbersReadBackToTheSecond)
{
    const struct {
        DWORD day;
        DWORD time;  // hhmmss
    } rows[] = {
        {20261208, 130000}, {20261208, 84500}, {20261208, 0},      {20261208, 235959},
        {20261208, 1},      {19271231, 120000}, {19000101, 60000}, {20311231, 120001},
    };
    for (const auto& row : rows) {
        LNDatetime datetime;
        datetime.SetDate(row.day / 100 % 100, row.day % 100, row.day / 10000);
        ASSERT_EQ(0, datetime.SetTime(row.time / 10000, row.time / 100 % 100, row.time % 100, 0)) << row.day;
        std::string text = DateNumberText(datetime);
        SYSTEMTIME back = {};
        ASSERT_TRUE(VariantTimeToSystemTime(std::strtod(text.c_str(), nullptr), &back)) << text;
        EXPECT_EQ(row.day, back.wYear * 10000u + back.wMonth * 100u + back.wDay) << text;
        EXPECT_EQ(row.time, back.wHour * 10000u + back.wMinute * 100u + back.wSecond) << text;
    }
}
}  // namespace

namespace {

TEST(HeronWorker, LastReadTimes)
{
    HERON worker(0);
    LNDatetime read(NotesStampOfDate(46364.5));
    worker.LastReadTime("contacts", &read);
    EXPECT_TRUE(read.IsWildcard()) << "never read";
    SYSTEMTIME before;
    GetLocalTime(&before);
    worker.MarkRead("contacts");
    worker.LastReadTime("contacts", &read);
    ASSERT_FALSE(read.IsWildcard());
    EXPECT_EQ(before.wYear, read.GetYear());
    EXPECT_EQ(before.wMonth, read.GetMonth());
    worker.LastReadTime("folders", &read);
    EXPECT_TRUE(read.IsWildcard()) << "each key has its own time";
}

}  // namespace

namespace {

// The unread marks' times are the entries of the worker's last-check
// table, on the function library's clock.
TEST(HeronWorker, LastReadTimesAreTheLastCheckTable)
{
    NotesStandInTesting::Installation notes;
    notes.SetClock("20261208-093000");
    HERON worker(0);
    worker.MarkRead("LASTCHECK_NTSCONTACTSDB");
    const LastCheckTable::Entry* entry = worker.LastCheck().Find("LASTCHECK_NTSCONTACTSDB");
    ASSERT_NE(nullptr, entry);
    LNDatetime marked;
    worker.LastReadTime("LASTCHECK_NTSCONTACTSDB", &marked);
    EXPECT_EQ(9, marked.GetHour());
    EXPECT_EQ(30, marked.GetMinute());

    const TIMEDATE quarterPastTen = NotesStampOfDate(46364.0 + 10.25 / 24);
    const DWORD day = quarterPastTen.Innards[1], time = quarterPastTen.Innards[0];
    struct Row {
        HeronTimeDate stored;
        bool wildcard;
        int hour, minute;
    } rows[] = {{{{time, day}}, false, 10, 15}, {{{time, 0}}, true, 0, 0}, {{{0, day}}, true, 0, 0}};
    for (const Row& row : rows) {
        worker.LastCheck().Set("journal.nsf", row.stored);
        LNDatetime read;
        worker.LastReadTime("journal.nsf", &read);
        EXPECT_EQ(row.wildcard, read.IsWildcard() != FALSE) << row.stored.innards[1];
        if (!row.wildcard) {
            EXPECT_EQ(row.hour, read.GetHour());
            EXPECT_EQ(row.minute, read.GetMinute());
        }
    }
}

}  // namespace
