#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "QuiResIds.h"
#include "RegistryBranch.h"
#include "QuiTesting.h"
#include "WebActionHandler.h"
#include "WebActionTestSupport.h"

namespace {

const char kPreferences[] = "Software\\Quillmate\\Client\\Preferences";

void SetSetting(const char* name, DWORD type, const void* data, DWORD size)
{
    ASSERT_TRUE(QuiTesting::SetRegValue(HKEY_CURRENT_USER, kPreferences, name, type, data, size));
}

void SetText(const char* name, const std::string& text)
{
    SetSetting(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void SetNumber(const char* name, DWORD value)
{
    SetSetting(name, REG_DWORD, &value, sizeof value);
}

// Settings of the test's own, no browser driver (nothing is ever opened
// here), and a current and a temporary folder of its own.
class WebActionRun : public RegistryBranch {
protected:
    void SetUp() override
    {
        RegistryBranch::SetUp();
        SetNumber("Browser", 4);
    }
    OwnCurrentFolder m_current;
    OwnTempFolder m_temp;
};

std::string Value(const QuiTemplateParamList& params, const char* name)
{
    const QUITEMPLATE_PARAM* param = params.Find(name);
    return param && param->GetValue() ? param->GetValue() : "<none>";
}

std::vector<std::string> Names(const QuiTemplateParamList& params, size_t from, size_t count)
{
    std::vector<std::string> names;
    for (size_t i = from; i < from + count && i < params.GetCount(); ++i)
        names.push_back(params.GetParams()[i].GetName());
    return names;
}

// Every value below key, as "subkey\\name" from key.
void CollectValueNames(HKEY key, const std::string& below, std::vector<std::string>& names)
{
    char name[MAX_PATH];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(below + name);
    }
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY sub = nullptr;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS)
            continue;
        CollectValueNames(sub, below + name + "\\", names);
        RegCloseKey(sub);
    }
}

std::vector<std::string> ClientValueNames()
{
    std::vector<std::string> names;
    HKEY client = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quillmate\\Client", 0, KEY_READ, &client) != ERROR_SUCCESS)
        return names;
    CollectValueNames(client, "", names);
    RegCloseKey(client);
    std::sort(names.begin(), names.end());
    return names;
}

CWebActionJug ProfileAction()
{
    CWebActionJug action;
    const char* texts[] = {"Ann", "Lee", "Dr", "Acme", "1 Main St", "New  York", "NY", "USA", "10001"};
    for (int i = 0; i < 9; ++i)
        action.m_contact.SetText(i, texts[i]);
    action.m_contact.Email(0).SetValue("ann@example.test");
    action.m_contact.Email(1).SetValue("other@example.test");
    action.m_dtStartDate = 46364.0;
    return action;
}

TEST_F(WebActionRun, ProfileRowsComeFirstAndInOrder)
{
    SetText("ImageDir", "C:\\Images\\Web");
    SetNumber("ConnectorWaitTimeout", 40);
    CWebActionJug action = ProfileAction();
    action.SetParameter("  email", "  own@example.test");
    action.SetParameter("startmonth", "Own month");
    action.SetParameter("QueryString", "  garden  hose");
    action.SetParameter("pim", "Web");

    const time_t before = time(nullptr);
    QuiTemplateParamList params;
    ExpandProfilePlaceholders(params, action);
    const time_t after = time(nullptr);

    const std::vector<std::string> order = {
        "fname", "lname", "address", "city", "citynosp", "state", "country", "postalcode", "title", "company",
        "email", "plus", "minus", "imagedir", "imagedirfs", "email", "startmonth", "QueryString", "pim",
        "querystringword1", "querystringword2", "querystringword3", "now", "waittimeout", "month", "startmonth"};
    EXPECT_EQ(order, Names(params, 0, order.size()));

    struct Row {
        const char* name;
        std::string value;
    };
    const Row rows[] = {
        {"fname", "Ann"}, {"lname", "Lee"}, {"address", "1 Main St"}, {"city", "New  York"},
        {"citynosp", "NewYork"}, {"state", "NY"}, {"country", "USA"}, {"postalcode", "10001"}, {"title", "Dr"},
        {"company", "Acme"},
        // The profile's address was added first and wins over the action's own.
        {"email", "ann@example.test"}, {"plus", "+"}, {"minus", "-"}, {"imagedir", "C:\\Images\\Web"},
        {"imagedirfs", "C:/Images/Web"},
        // Own parameters lose their leading white space and come before the dates.
        {"querystring", "garden  hose"}, {"startmonth", "Own month"}, {"month", "December"},
        {"querystringword1", "garden"}, {"querystringword2", ""}, {"querystringword3", "hose"},
        {"querystringword4", "<none>"}, {"waittimeout", "40"}};
    for (const Row& row : rows)
        EXPECT_EQ(row.value, Value(params, row.name)) << row.name;
    const long now = std::stol(Value(params, "now"));
    EXPECT_LE(static_cast<long>(before), now);
    EXPECT_GE(static_cast<long>(after), now);
    EXPECT_TRUE(params.GetParams()[11].IsVerbatim());
    EXPECT_FALSE(params.GetParams()[10].IsVerbatim());
}

TEST_F(WebActionRun, ImageFolderDefaultsToTheCurrentOne)
{
    CWebActionJug action = ProfileAction();
    QuiTemplateParamList params;
    ExpandProfilePlaceholders(params, action);
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, current);
    std::string forward = current;
    for (char& c : forward)
        c = c == '\\' ? '/' : c;
    EXPECT_EQ(current, Value(params, "imagedir"));
    EXPECT_EQ(forward, Value(params, "imagedirfs"));
    EXPECT_EQ("15", Value(params, "waittimeout"));
    // No query text, no words.
    EXPECT_EQ("<none>", Value(params, "querystringword1"));
}

TEST_F(WebActionRun, ReadingTheSettingsWritesNothing)
{
    struct Row {
        const char* imageDir;  // null: not stored
        std::vector<std::string> stored;
    } rows[] = {
        {nullptr, {"Preferences\\Browser"}},
        {"C:\\Images", {"Preferences\\Browser", "Preferences\\ImageDir"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.imageDir ? row.imageDir : "(no ImageDir)");
        SHDeleteValueA(HKEY_CURRENT_USER, kPreferences, "ImageDir");
        if (row.imageDir)
            SetText("ImageDir", row.imageDir);
        CWebActionJug action = ProfileAction();
        QuiTemplateParamList params;
        ExpandProfilePlaceholders(params, action);
        EXPECT_EQ(row.stored, ClientValueNames());
    }
}

struct DateCase {
    double startDate, startTime, endDate, endTime;
    std::vector<std::pair<const char*, const char*>> values;   // "<none>": no record
};

TEST_F(WebActionRun, DateAndTimeRows)
{
    const DateCase cases[] = {
        {46364.0, (12 * 60 + 5) / 1440.0, -1.0, -1.0,
         {{"month", "December"}, {"startmonthabbr", "Dec"}, {"monthnum", "12"}, {"startday", "Tuesday"},
          {"dayabbr", "Tue"}, {"daynum", "8"}, {"year", "2026"}, {"startyearabbr", "26"},
          // Noon is 12 PM.
          {"starthour", "12"}, {"hour24", "12"}, {"timesuffix", "PM"}, {"starttimesuffix", "PM"}, {"startmin", "5"},
          {"endmonth", "<none>"}, {"endhour", "<none>"}}},
        {46369.0, 13 / 24.0, 46390.0, (30) / 1440.0,
         {{"startday", "Sunday"}, {"startdayabbr", "Sun"}, {"hour", "1"}, {"starthour24", "13"},
          {"timesuffix", "PM"}, {"startmin", "0"}, {"endmonth", "January"}, {"endmonthabbr", "Jan"},
          {"endmonthnum", "1"}, {"endday", "Sunday"}, {"enddayabbr", "Sun"}, {"enddaynum", "3"},
          // Midnight is 12 AM.
          {"endyear", "2027"}, {"endyearabbr", "27"}, {"endhour24", "0"}, {"endhour", "12"},
          {"endtimesuffix", "AM"}, {"endmin", "30"}}},
        // Only the start date: no time rows at all; an end time without an end date still counts.
        {46364.0, -1.0, -1.0, 23.5 / 24.0,
         {{"starthour", "<none>"}, {"hour", "<none>"}, {"startmin", "<none>"}, {"timesuffix", "<none>"},
          {"endmonth", "<none>"}, {"endhour", "11"}, {"endhour24", "23"}, {"endtimesuffix", "PM"},
          {"endmin", "30"}}},
    };
    for (const DateCase& c : cases) {
        CWebActionJug action;
        action.m_dtStartDate = c.startDate;
        action.m_dtStartTime = c.startTime;
        action.m_dtEndDate = c.endDate;
        action.m_dtEndTime = c.endTime;
        QuiTemplateParamList params;
        ExpandDatePlaceholders(params, action);
        for (const auto& value : c.values)
            EXPECT_EQ(value.second, Value(params, value.first)) << value.first << " of " << c.startDate;
    }
}

TEST_F(WebActionRun, AnActionWithoutStartDateStartsNow)
{
    CWebActionJug action;
    const double before = COleDateTime::GetCurrentTime();
    QuiTemplateParamList params;
    ExpandDatePlaceholders(params, action);
    const double after = COleDateTime::GetCurrentTime();
    EXPECT_LE(before, action.m_dtStartDate);
    EXPECT_GE(after, action.m_dtStartDate);
    COleDateTime today(action.m_dtStartDate);
    EXPECT_EQ(std::to_string(today.GetDay()), Value(params, "startdaynum"));
    EXPECT_EQ(std::to_string(today.GetYear()), Value(params, "year"));
    EXPECT_EQ("<none>", Value(params, "starthour"));
}

TEST_F(WebActionRun, PagePathIsInTheTemporaryFolder)
{
    EXPECT_EQ(nullptr, GetWebActionPagePath(nullptr));
    char path[MAX_PATH];
    EXPECT_EQ(path, GetWebActionPagePath(path));
    EXPECT_EQ(m_temp.Path("QuillmateWebAction.html"), path);
    // Without the closing backslash too.
    SetEnvironmentVariableA("TMP", (m_temp.Folder() + "\\").c_str());
    EXPECT_EQ(m_temp.Path("QuillmateWebAction.html"), GetWebActionPagePath(path));
}

// Writes a page last written `minutes` ago.
void WritePage(const std::string& path, int minutes)
{
    WriteBytes(path, "x");
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER when;
    when.LowPart = now.dwLowDateTime;
    when.HighPart = now.dwHighDateTime;
    when.QuadPart -= static_cast<ULONGLONG>(minutes) * 60 * 10000000;
    FILETIME written = {when.LowPart, when.HighPart};
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
}

// Every run and the handler delete the pages of earlier runs, but only once
// no browser can still be about to read them: a browser starting cold takes
// a while.
TEST_F(WebActionRun, DeletesThePagesOfEarlierRunsOnceNoBrowserNeedsThem)
{
    struct Row {
        const char* name;
        int minutes;     // since it was written
        bool byTheRun;   // deleted by the next run (and the handler)
        bool always;     // deleted when every page goes
    } rows[] = {
        {"QuillmateWebAction.html", 0, false, true},      {"QuillmateWebAction3.html", 1, false, true},
        {"QuillmateWebAction7.html", 3, true, true},      {"QuillmateWebAction.html.txt", 60, false, false},
        {"QuillmateWebAction.htm", 60, false, false},     {"Other.html", 60, false, false},
    };
    auto left = [&](bool Row::*gone) {
        std::vector<std::string> expected;
        for (const Row& row : rows) {
            if (!(row.*gone))
                expected.push_back(row.name);
        }
        std::vector<std::string> files = m_temp.Files();
        std::sort(files.begin(), files.end());
        std::sort(expected.begin(), expected.end());
        return std::make_pair(expected, files);
    };
    for (const Row& row : rows)
        WritePage(m_temp.Path(row.name), row.minutes);
    {
        CWebActionHandler handler;
        UseTestConnectors(handler);
        CWebActionJug action = TestAction(0, subtypeFind, "q");
        handler.RunWebAction(action);
    }
    const auto byTheRun = left(&Row::byTheRun);
    EXPECT_EQ(byTheRun.first, byTheRun.second);
    DeleteWebActionPages();
    const auto always = left(&Row::always);
    EXPECT_EQ(always.first, always.second);
}

struct RunCase {
    int connector, subtype;
    const char* query;
    const char* page;   // null: no page written
};

// No browser takes anything here, so every run answers 0; the pages show
// what each run did. A page a browser may still read is never written over.
TEST_F(WebActionRun, RunsWhatTheSubtypeNamesAndWritesPagesWhole)
{
    const RunCase cases[] = {
        {0, subtypeFind, "fish & chips", nullptr},
        {0, subtypeSecondWord, "a b", nullptr},
        {0, subtypePage, "<b>\"bold\"</b>",
         "<HTML><BODY><INPUT value=\"&lt;b&gt;&quot;bold&quot;&lt;/b&gt;\">Ann on December 8</BODY></HTML>"},
        // Markup in UTF-7 form stays text whatever the browser guesses.
        {0, subtypePage, "+ADw-b+AD4-",
         "<HTML><BODY><INPUT value=\"&#43;ADw-b&#43;AD4-\">Ann on December 8</BODY></HTML>"},
        {0, subtypeNoMethod, "x", "plain Ann"},
        {-1, 0, "x", nullptr},
        {2, 0, "x", nullptr},
        {0, -1, "x", nullptr},
        {0, 4, "x", nullptr},
        {1, 1, "x", nullptr},
    };
    CWebActionHandler handler;
    UseTestConnectors(handler);
    const std::string earlier = m_temp.Path("QuillmateWebAction.html");
    const std::string page = m_temp.Path("QuillmateWebAction1.html");
    for (const RunCase& c : cases) {
        DeleteWebActionPages();
        WriteBytes(earlier, "earlier page");
        CWebActionJug action = TestAction(c.connector, c.subtype, c.query);
        EXPECT_EQ(0, handler.RunWebAction(action)) << c.connector << "/" << c.subtype;
        EXPECT_EQ("earlier page", ReadBytes(earlier));
        if (c.page) {
            EXPECT_EQ(kPageHead + std::string(c.page), ReadBytes(page)) << c.subtype;
            EXPECT_EQ(page, std::string(handler.GetLastPage()));
        } else {
            EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(page.c_str())) << c.connector << "/" << c.subtype;
            EXPECT_STREQ("", handler.GetLastPage());
        }
        EXPECT_EQ(c.page ? 2u : 1u, m_temp.Files().size()) << "no temporary file left";
    }
}

TEST_F(WebActionRun, APageThatCannotBeWrittenOpensNothing)
{
    CWebActionHandler handler;
    UseTestConnectors(handler);
    SetEnvironmentVariableA("TMP", m_temp.Path("not there").c_str());
    CWebActionJug action = TestAction(0, subtypePage, "q");
    EXPECT_EQ(0, handler.RunWebAction(action));
    EXPECT_STREQ("", handler.GetLastPage());
    EXPECT_TRUE(m_temp.Files().empty());
}

TEST_F(WebActionRun, ATemplateTooLongToFillOpensNothing)
{
    CWebActionHandler handler;
    UseTestConnectors(handler);
    CWebConnectorSubtype& subtype = handler.GetEnabledConnectors().GetConnectors()[0].m_subtypes[subtypePage];
    subtype.m_strAction = CString(std::string(QUITEMPLATE_MAX_INPUT + 1, 'x').c_str());
    CWebActionJug action = TestAction(0, subtypePage, "q");
    EXPECT_EQ(0, handler.RunWebAction(action));
    EXPECT_TRUE(m_temp.Files().empty());
    subtype.m_strAction = CString(std::string(QUITEMPLATE_MAX_INPUT, 'x').c_str());
    handler.RunWebAction(action);
    EXPECT_EQ(std::strlen(kPageHead) + QUITEMPLATE_MAX_INPUT, ReadBytes(std::string(handler.GetLastPage())).size());
}

TEST_F(WebActionRun, OffLineActionsAreKeptUnlessTheyMustNotBe)
{
    CWebActionHandler handler;
    UseTestConnectors(handler);
    struct Case {
        UINT flags;
        int connector;
        double start;
        int result;
        int id;
        int count;
    };
    const double today = static_cast<double>(static_cast<long>(COleDateTime::GetCurrentTime().m_dt));
    const Case cases[] = {
        {0, 0, 46364.0, 2, 1, 1},
        // Kept with the moment it was filed, which a run now would have taken.
        {CWebActionJug::flagNoShow, 0, -1.0, 2, 2, 2},
        {CWebActionJug::flagNoQueue, 0, 46364.0, 1, 0, 2},
        {CWebActionJug::flagNoQueue | CWebActionJug::flagNoShow, 0, 46364.0, 1, 0, 2},
        // It could never be sent: the note must stay.
        {0, 5, 46364.0, 0, 0, 2},
        {0, -1, 46364.0, 0, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.flags << " " << c.connector);
        CWebActionJug action = TestAction(c.connector, subtypeFind, "q");
        action.m_nFlags = c.flags;
        action.m_dtStartDate = c.start;
        EXPECT_EQ(c.result, handler.SubmitAction(action));
        EXPECT_EQ(c.id, action.m_nId);
        EXPECT_EQ(c.count, handler.GetActionList().GetCount());
        if (const CWebActionJug* kept = c.id ? handler.GetActionList().Find(c.id) : nullptr) {
            EXPECT_LE(c.start == -1.0 ? today : c.start, kept->m_dtStartDate);
            EXPECT_GT(c.start == -1.0 ? today + 2 : c.start + 1, kept->m_dtStartDate);
        }
    }
    // Still off line: nothing is sent and the list keeps both.
    EXPECT_EQ(0, handler.SendQueuedActions());
    EXPECT_EQ(2, handler.GetActionList().GetCount());
    EXPECT_TRUE(m_temp.Files().empty());
}

// A cache file that cannot be written, or was not read whole, is told: once
// when it happens, and at the handler's end while the list is not written.
TEST_F(WebActionRun, WhatTheCacheFileCannotTakeIsTold)
{
    HMODULE library = LoadLibraryA("QuiRes1033.dll");
    ASSERT_NE(nullptr, library);
    HINSTANCE previous = AfxGetResourceHandle();
    AfxSetResourceHandle(library);
    struct Case {
        const char* what;
        const char* place;          // in the cache file's place: "folder", "cut", or "held" by another program
        int filed;
        bool freedBeforeTheEnd;     // the folder goes, or the file is let go, before the handler ends
        std::vector<int> answers;
        std::vector<UINT> told;
        int reloaded;
    };
    const Case cases[] = {
        {"written nowhere, let go", "folder", 2, false, {IDOK, IDRETRY, IDCANCEL},
         {IDS_OFFLINE_CACHE_FAILED, IDS_OFFLINE_NOT_SAVED, IDS_OFFLINE_NOT_SAVED}, 0},
        {"written at the end", "folder", 2, true, {IDOK}, {IDS_OFFLINE_CACHE_FAILED}, 2},
        {"a file cut short is moved aside", "cut", 1, false, {IDOK}, {IDS_OFFLINE_CACHE_UNREAD}, 1},
        // Never written over while held, told once, read and written once let go.
        {"a file held at the start", "held", 2, true, {IDOK}, {IDS_OFFLINE_CACHE_HELD}, 3},
    };
    const std::string path = m_current.Path(kWebActionCacheFile);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(path.c_str());
        DeleteFileA((path + ".unread1").c_str());
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.place == std::string("folder")) {
            ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
        } else {
            CWebActionList earlier(path.c_str());
            CWebActionJug action = TestAction(0, subtypeFind, "earlier");
            earlier.Add(action);
            if (c.place == std::string("cut"))
                WriteBytes(path, ReadBytes(path).substr(0, ReadBytes(path).size() - 3));
            else
                held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        }
        CPromptScript prompts;
        for (int answer : c.answers)
            prompts.AnswerNext(answer);
        {
            CWebActionHandler handler;
            UseTestConnectors(handler);
            for (int n = 0; n < c.filed; ++n) {
                CWebActionJug action = TestAction(0, subtypeFind, "q");
                EXPECT_EQ(2, handler.SubmitAction(action));
            }
            if (c.freedBeforeTheEnd && held != INVALID_HANDLE_VALUE)
                CloseHandle(held);
            else if (c.freedBeforeTheEnd)
                RemoveDirectoryA(path.c_str());
        }
        std::vector<std::string> expected;
        for (UINT id : c.told) {
            CString format, text;
            format.LoadString(id);
            text.Format(format, path.c_str(), (path + ".unread1").c_str());
            expected.push_back(text.GetString());
        }
        std::vector<std::string> asked;
        for (const CPromptRequest& request : prompts.Asked())
            asked.push_back(request.text.GetString());
        EXPECT_EQ(expected, asked);
        EXPECT_EQ(0, prompts.Unexpected());
        RemoveDirectoryA(path.c_str());
        EXPECT_EQ(c.reloaded, CWebActionList(path.c_str()).GetCount());
    }
    AfxSetResourceHandle(previous);
    FreeLibrary(library);
}

}  // namespace
