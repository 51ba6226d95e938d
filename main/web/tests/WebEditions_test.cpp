// The web editions in their note windows: typed notes fill the calendar and
// to-do panes through the real parser with the date package, and filing
// opens the shipped connectors' URLs in the browser stand-in.
#include "WebEditionsTestSupport.h"

#include "AppTestSupport.h"

#include <algorithm>
#include <cstring>
#include <list>
#include <set>
#include <stdexcept>

#include "CoreWndUtil.h"
#include "NoteDayRows.h"

using namespace webedition_test;

namespace {

COleDateTime Today()
{
    COleDateTime now = COleDateTime::GetCurrentTime();
    return COleDateTime(now.GetYear(), now.GetMonth(), now.GetDay(), 0, 0, 0);
}

// What the user and the parse did to a calendar pane before filing: typed a
// text, picked an item of the menu (0: none), typed another text (none:
// null), unticked and ticked the pane again; then what the menu button
// shows and the event type sent.
struct EventTypeRow {
    const char* text;
    UINT pick;
    const char* later;
    bool untickTick;
    UINT shown;
    const char* sent;
};

// After each Ctrl with a digit in turn, whether the to-do, the calendar and
// the web actions pane are ticked.
struct CtrlDigitRow {
    char digit;
    bool toDo, cal, actions;
};

// The editions with a calendar pane.
class CalendarEdition : public EditionFixture {
protected:
    using EditionFixture::EditionFixture;
    void ExpectEventTypes(const std::vector<EventTypeRow>& rows);
    void ExpectCtrlDigitsToggle(const std::vector<CtrlDigitRow>& rows);
};

class WebOnly : public CalendarEdition {
protected:
    WebOnly() : CalendarEdition(CDatastore::typeWebOnly) {}
};

// The web-only edition installed without its web calendar connector, which
// a test brings in after another connector file.
class WebOnlyCalendarLater : public CalendarEdition {
protected:
    WebOnlyCalendarLater() : CalendarEdition(CDatastore::typeWebOnly) { m_connectors = {"mytime.xml"}; }
};

class WebOnlyDefault : public EditionFixture {
protected:
    WebOnlyDefault() : EditionFixture(0) {}
};

// The default edition with the shipped web search connector, as installed.
class WebOnlyDefaultSearch : public EditionFixture {
protected:
    WebOnlyDefaultSearch() : EditionFixture(0) { m_connectors.insert(m_connectors.end(), {"websearch.xml", "maps.xml", "reference.xml"}); }
};

class WebOnlyUnknown : public EditionFixture {
protected:
    WebOnlyUnknown() : EditionFixture(7) {}
};

// The web-only edition answering features of other editions as well.
class CFeaturedWebOnly : public CWebOnlyDatastore {
public:
    CFeaturedWebOnly() : CWebOnlyDatastore(typeWebOnly) {}
    BOOL HasFeature(int n) override { return extra.count(n) || CWebOnlyDatastore::HasFeature(n); }
    std::set<int> extra;
};

class WebOnlyFeatured : public EditionFixture {
protected:
    WebOnlyFeatured() : EditionFixture(CDatastore::typeWebOnly) {}
    CDatastore* MakeDatastore(const QuiEdition*, int) override { return new CFeaturedWebOnly; }
};

class MyTime : public CalendarEdition {
protected:
    MyTime() : CalendarEdition(CDatastore::typeWebCalendar) {}
};

TEST_F(WebOnly, LunchFridayFillsAndTicksTheCalendarPaneAndFilesItsEvent)
{
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    CWebCalPane& cal = DestWnd(note)->GetCalPane();
    EXPECT_FALSE(cal.GetCheckButton()->GetCheck());
    Type(note, "lunch friday 12:30");

    EXPECT_TRUE(cal.GetCheckButton()->GetCheck());
    DATE read = -1.0;
    cal.GetDateField().GetDate(&read);
    ASSERT_GT(read, 0.0) << Text(cal.GetDateField());
    COleDateTime date(read);
    EXPECT_EQ(6, date.GetDayOfWeek());
    const double ahead = date.m_dt - Today().m_dt;
    EXPECT_GE(ahead, 0.0);
    EXPECT_LE(ahead, 7.0);
    EXPECT_EQ(TimeText(12, 30), Text(cal.GetStartField()));
    EXPECT_EQ(TimeText(13, 30), Text(cal.GetEndField()));
    EXPECT_TRUE(cal.GetStartField().IsWindowVisible());

    File(note);
    const std::vector<std::string> urls = Navigated();
    ASSERT_EQ(2u, urls.size()) << "the login at start, then the event";
    const std::string& url = urls[1];
    EXPECT_EQ(0u, url.find("http://calendar.example.com/event/add?")) << url;
    struct Row {
        const char* name;
        std::string value;
    };
    char day[8], year[8], timet[24];
    sprintf(day, "%d", date.GetDay());
    sprintf(year, "%d", date.GetYear());
    sprintf(timet, "%ld", static_cast<long>(VariantDateToTime(date.m_dt)));
    const Row rows[] = {
        {"title", "lunch"}, {"month", MonthName(date)}, {"day", day}, {"year", year}, {"date", timet},
        {"timed", "1"},     {"hour", "12"},             {"min", "30"}, {"ampm", "PM"}, {"durh", "1"},
        {"durm", "0"},      {"type", "10"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.value, UrlParameter(url, row.name)) << row.name << " in " << url;
    EXPECT_FALSE(IsOpen(note)) << "a filed note ends";
}

// A click on the drop-down button (its command to the pane) opens the
// reminder menu 175.
TEST_F(WebOnly, TheDropDownButtonOpensItsMenu)
{
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    CWnd* button = DestWnd(note)->GetCalPane().GetDlgItem(CWebCalPane::IDC_DROPDOWN);
    ASSERT_NE(nullptr, button);
    std::vector<UINT> items = TrackedMenuItems([&] {
        button->GetParent()->PostMessage(WM_COMMAND, MAKEWPARAM(CWebCalPane::IDC_DROPDOWN, BN_CLICKED),
                                         reinterpret_cast<LPARAM>(button->GetSafeHwnd()));
    });
    EXPECT_EQ((std::vector<UINT>{8001, 8002, 8003, 8004, 8005, 8006}), items);
}

TEST_F(WebOnly, CallTheBankTomorrowFillsTheToDoDate)
{
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    CWebToDoPane& toDo = DestWnd(note)->GetToDoPane();
    Type(note, "call the bank tomorrow");
    COleDateTime tomorrow = Today() + COleDateTimeSpan(1, 0, 0, 0);
    EXPECT_EQ(DateText(tomorrow), Text(toDo.GetDateField()));
    EXPECT_FALSE(toDo.GetCheckButton()->GetCheck()) << "the to-do pane does not tick itself";

    // Only the to-do: the calendar pane that ticked itself is unticked.
    Click(&DestWnd(note)->GetCalPane());
    Click(&toDo);
    File(note);
    const std::vector<std::string> urls = Navigated();
    ASSERT_EQ(2u, urls.size());
    const std::string& url = urls[1];
    EXPECT_EQ(0u, url.find("http://calendar.example.com/task/add?")) << url;
    char day[8], year[8];
    sprintf(day, "%d", tomorrow.GetDay());
    sprintf(year, "%d", tomorrow.GetYear());
    EXPECT_EQ("call the bank", UrlParameter(url, "title"));
    EXPECT_EQ(MonthName(tomorrow), UrlParameter(url, "month"));
    EXPECT_EQ(day, UrlParameter(url, "day"));
    EXPECT_EQ(year, UrlParameter(url, "year"));
    EXPECT_EQ("1", UrlParameter(url, "priority"));
}

TEST_F(WebOnly, BothTickedSubmitTwoActionsToDoFirst)
{
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "dentist tomorrow 9:00");
    ASSERT_TRUE(DestWnd(note)->GetCalPane().GetCheckButton()->GetCheck());
    Click(&DestWnd(note)->GetToDoPane());
    File(note);
    const std::vector<std::string> urls = Navigated();
    ASSERT_EQ(3u, urls.size());
    EXPECT_EQ(0u, urls[1].find("http://calendar.example.com/task/add?")) << urls[1];
    EXPECT_EQ(0u, urls[2].find("http://calendar.example.com/event/add?")) << urls[2];
    EXPECT_EQ("9", UrlParameter(urls[2], "hour"));
    EXPECT_EQ("AM", UrlParameter(urls[2], "ampm"));
}

TEST_F(WebOnly, AnUntickedNoteIsFiledAsAToDoWithoutADate)
{
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "  pick up the dry cleaning");
    // Nothing was cut: the note's blanks stay in the query text.
    CString query;
    DestWnd(note)->GetToDoPane().GetToDoDestination()->BuildQueryString(query);
    EXPECT_STREQ("  pick up the dry cleaning", query);
    File(note);
    const std::vector<std::string> urls = Navigated();
    ASSERT_EQ(2u, urls.size());
    EXPECT_EQ(0u, urls[1].find("http://calendar.example.com/task/add?")) << urls[1];
    // No date is sent, not even today's.
    EXPECT_EQ("pick up the dry cleaning", UrlParameter(urls[1], "title"));
    for (const char* name : {"month", "day", "year"})
        EXPECT_EQ("", UrlParameter(urls[1], name)) << name;
    EXPECT_EQ("-1", UrlParameter(urls[1], "date"));
    EXPECT_FALSE(IsOpen(note));
}

TEST_F(WebOnly, TheLoginRunsAtStartAndItsPageGoesOnceTheBrowserHadIt)
{
    std::vector<std::string> urls = Navigated();
    ASSERT_EQ(1u, urls.size());
    EXPECT_EQ(m_temp->Path("QuillmateWebAction.html"), urls[0]);
    EXPECT_NE(std::string::npos, m_standIns->Log()[0].find("InternetExplorer.Create"));

    // A second login with a short life for its page: the page goes by itself.
    CWebOnlyDatastore::SetLoginPageLife(50);
    auto* web = static_cast<CWebOnlyDatastore*>(store.get());
    web->SubmitWebLogin();
    CWebOnlyDatastore::SetLoginPageLife(10000);
    // The first login's page may still be read: the second has one of its own.
    const std::string page = m_temp->Path("QuillmateWebAction1.html");
    EXPECT_EQ(page, std::string(web->GetWebActionHandler()->GetLastPage()));
    ASSERT_TRUE(datastore_test::Exists(page));
    EXPECT_NE(std::string::npos, ReadBytes(page).find("value=\"ann\""));
    PumpUntil([&] { return !datastore_test::Exists(page); });
    EXPECT_FALSE(datastore_test::Exists(page)) << "the password stays on disk";

    // The session's end may end the process before the page's time.
    web->SubmitWebLogin();
    const std::string last(web->GetWebActionHandler()->GetLastPage());
    ASSERT_TRUE(datastore_test::Exists(last));
    web->SaveAtSessionEnd();
    EXPECT_FALSE(datastore_test::Exists(last)) << "the session's end left the password on disk";
}

// Another connector file's hidden action of the login's name, read before
// the shipped file: the password goes to the shipped page or nowhere.
TEST_F(WebOnlyCalendarLater, OnlyTheShippedLoginTakesThePassword)
{
    const struct {
        const char* connector;
        const char* subtype;
        const char* sentTo;  // null: no login
    } rows[] = {
        {"Calendar", "Yahoo Login", "action=\"https://login.example.com/signin\""},
        {"Yahoo", "Yahoo Login", "action=\"https://login.example.com/signin\""},
        // The shipped connector's names as well: which file holds the login is unknown.
        {"Yahoo", "yahoo login", nullptr},
    };
    const std::string page = m_temp->Path("QuillmateWebAction.html");
    EXPECT_TRUE(Navigated().empty()) << "no login without the web calendar connector";
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.connector) + "_" + row.subtype);
        WriteBytes("second.xml", std::string("<CONNECTOR MENUSTRING=\"") + row.connector + "\">\n<SUBTYPE MENUSTRING=\"" +
                                     row.subtype + "\" METHOD=\"POST\" WEBACTION=\"hidden\" >\n"
                                     "<HTML><FORM action=\"http://second.test/\"><INPUT value=\"$:login\"></FORM></HTML>\n"
                                     "</SUBTYPE>\n</CONNECTOR>\n");
        ASSERT_TRUE(store->SyncItems());
        WriteBytes("webcalendar.xml", ReadBytes(m_home + std::string("\\") + Fixture("connectors/webcalendar.xml")));
        ASSERT_TRUE(store->SyncItems());
        DeleteFileA(page.c_str());
        const size_t before = Navigated().size();
        static_cast<CWebOnlyDatastore*>(store.get())->SubmitWebLogin();
        EXPECT_EQ(before + (row.sentTo ? 1 : 0), Navigated().size());
        const std::string sent = datastore_test::Exists(page) ? ReadBytes(page) : std::string();
        EXPECT_EQ(std::string::npos, sent.find("second.test"));
        if (row.sentTo) {
            EXPECT_NE(std::string::npos, sent.find(row.sentTo)) << sent;
            EXPECT_NE(std::string::npos, sent.find("value=\"ann\"")) << sent;
        }
    }
}

TEST_F(WebOnly, AMomentTheDatePackageCouldNotConvertIsNoDate)
{
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    CWebDestWnd* dest = DestWnd(note);
    QuiItemType* dateType = store->GetItemType(WEB_DATE_ITEM_TYPE);
    ASSERT_NE(nullptr, dateType);
    struct Row {
        int tag;
        CDateDrop* field;
        CDestination* destination;
    } rows[] = {
        {5, &dest->GetToDoPane().GetDateField(), dest->GetToDoPane().GetDestination()},
        {6, &dest->GetCalPane().GetDateField(), dest->GetCalPane().GetDestination()},
    };
    for (const Row& row : rows) {
        // -1 is the package's answer for a date it could not place.
        QuiPrsItemRole role(row.tag, new QuiNumericItem(dateType, -1.0), true);
        row.destination->OnParseResult1(&role, 1, 0x1000 + row.tag, nullptr);
        EXPECT_EQ("", Text(*row.field)) << row.tag;
        DATE date = 0.0;
        row.field->GetDate(&date);
        EXPECT_EQ(-1.0, date) << row.tag;
    }
    // The phrases were never real: the note must not mark them.
    for (QuiPrsKeyphrase* kp : std::list<QuiPrsKeyphrase*>(note->GetKeyphrases()))
        note->RemoveKeyphrase(kp);
}

TEST_F(WebOnly, AMissingCatalogueEntryKeepsTheNoteOpenWithAMessage)
{
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "lunch friday 12:30");
    // The connector goes away under the note.
    ASSERT_TRUE(DeleteFileA("webcalendar.xml"));
    store->SyncItems();
    FileAnsweringOneMessage(note, IDS_WEB_ENTRY_MISSING);
    EXPECT_TRUE(IsOpen(note));
    EXPECT_TRUE(note->GetNoteWnd()->IsWindowVisible());
}

TEST_F(WebOnly, FilingAgainAfterAFailureDoesNotFileTheFirstEntryTwice)
{
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "team meeting");
    CWebDestWnd* dest = DestWnd(note);
    Click(&dest->GetToDoPane());
    Click(&dest->GetCalPane());
    dest->GetCalPane().GetStartField().SetText("half past");
    FileAnsweringOneMessage(note, IDS_WEBCAL_BAD_START);
    ASSERT_TRUE(IsOpen(note));
    EXPECT_EQ(2u, Navigated().size()) << "the to-do went";

    dest->GetCalPane().GetStartField().SetTime(COleDateTime(1899, 12, 30, 10, 0, 0).m_dt);
    File(note);
    const std::vector<std::string> urls = Navigated();
    ASSERT_EQ(3u, urls.size());
    EXPECT_EQ(0u, urls[2].find("http://calendar.example.com/event/add?")) << urls[2];
    EXPECT_FALSE(IsOpen(note));
}

// A datastore whose sending fails in a way no destination reports.
class ThrowingDatastore : public CWebOnlyDatastore {
public:
    ThrowingDatastore() : CWebOnlyDatastore(typeWebOnly) {}
    int SendWebAction(CWebActionJug*) override { throw std::runtime_error("gone"); }
};

class WebOnlyThrowing : public WebOnly {
protected:
    CDatastore* MakeDatastore(const QuiEdition*, int) override { return new ThrowingDatastore; }
};

TEST_F(WebOnlyThrowing, AnyFailureWhileFilingIsReportedAndTheNoteStays)
{
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "anything");
    mainWnd.EnableWindow(FALSE);
    FileAnsweringOneMessage(note, IDS_UNEXPECTED_ERROR);
    EXPECT_TRUE(IsOpen(note));
    EXPECT_FALSE(note->IsBusy());
    EXPECT_TRUE(note->GetNoteWnd()->IsWindowVisible());
    EXPECT_TRUE(mainWnd.IsWindowEnabled());
}

// A datastore whose handler neither opened nor kept the action.
class RefusingDatastore : public CWebOnlyDatastore {
public:
    RefusingDatastore() : CWebOnlyDatastore(typeWebOnly) {}
    int SendWebAction(CWebActionJug*) override { return CWebActionHandler::submitFailed; }
};

class WebOnlyRefusing : public WebOnly {
protected:
    CDatastore* MakeDatastore(const QuiEdition*, int) override { return new RefusingDatastore; }
};

TEST_F(WebOnlyRefusing, AnActionThatOpenedNothingKeepsTheNoteOpenWithAMessage)
{
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "lunch friday 12:30");
    FileAnsweringOneMessage(note, IDS_WEB_ENTRY_FAILED);
    EXPECT_TRUE(IsOpen(note));
}

TEST_F(WebOnly, ABrowserThatOpensNothingKeepsTheNoteOpenWithAMessage)
{
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "lunch friday 12:30");
    m_standIns->SetFailCalls({"InternetExplorer.Navigate"});
    FileAnsweringOneMessage(note, IDS_WEB_ENTRY_FAILED);
    ASSERT_TRUE(IsOpen(note));
    EXPECT_EQ(2u, Navigated().size()) << "the login, then the refused event";

    m_standIns->SetFailCalls({});
    File(note);
    const std::vector<std::string> urls = Navigated();
    ASSERT_EQ(3u, urls.size());
    EXPECT_EQ(0u, urls[2].find("http://calendar.example.com/event/add?")) << urls[2];
    EXPECT_FALSE(IsOpen(note));
}

TEST_F(WebOnly, TheQueryTextLeavesOutExactlyTheDateAndTimePhrases)
{
    struct Row {
        const char* note;
        const char* query;
    } rows[] = {
        {"lunch friday 12:30 with Anna", "lunch with Anna"},
        {"friday 12:30 lunch", "lunch"},
        {"lunch with Anna tomorrow", "lunch with Anna"},
        {"tomorrow lunch 12:30", "lunch"},
    };
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    CWebCalDestination* cal = DestWnd(note)->GetCalPane().GetCalDestination();
    for (const Row& row : rows) {
        Type(note, "");
        Type(note, row.note);
        CString query;
        cal->BuildQueryString(query);
        EXPECT_EQ(std::string(row.query), query.GetString()) << row.note;
    }
}

// The web-only edition with its to-do, and the calendar edition.
class WebEdition : public EditionFixture, public ::testing::WithParamInterface<DWORD> {
protected:
    WebEdition() : EditionFixture(GetParam()) {}
};

// A timed note's day comes from the phrase that names it, wherever it stands.
TEST_P(WebEdition, ATimedNoteIsFiledForTheDayItNames)
{
    using namespace noteday_test;
    const bool myTime = GetParam() == CDatastore::typeWebCalendar;
    for (const DayRow& row : DayRows()) {
        SCOPED_TRACE(row.order);
        CWebActionNote* note = Open();
        ASSERT_NE(nullptr, note);
        CWebCalPane& cal = DestWnd(note)->GetCalPane();
        CWebToDoPane& toDo = DestWnd(note)->GetToDoPane();
        // The web panes show their dates only while ticked.
        auto pick = [](CDestPane& pane, CDateDrop& field, int days) {
            if (!pane.GetCheckButton()->GetCheck())
                Click(&pane);
            PickDay(field, days);
        };
        CWebActionNote* web = note;
        auto held = [&] {
            std::vector<INT_PTR> ids = cal.GetCalDestination()->HeldKeyphrases();
            for (INT_PTR id : toDo.GetToDoDestination()->HeldKeyphrases())
                ids.push_back(id);
            if (CWebActionsDestination* actions = web->GetActionsDestination()) {
                for (INT_PTR id : actions->HeldKeyphrases())
                    ids.push_back(id);
            }
            return ids;
        };
        TypeRow(row, note, [&](const std::string& text) { Type(note, text.c_str()); }, [&](Hand hand) {
            if ((hand == pickDue || hand == pickDays) && !myTime)
                pick(toDo, toDo.GetDateField(), row.ToDoDays());
            if (hand == pickDays)
                pick(cal, cal.GetDateField(), row.days);
            if (hand == typeEnd)
                TypeEnd(cal.GetEndField(), cal.GetCalDestination()->GetEndProp());
            if (hand == clickCal || (hand == untickCal && cal.GetCheckButton()->GetCheck()))
                Click(&cal);
        }, held);
        const bool calOff = CalendarOff(row);
        EXPECT_EQ(calOff ? "" : DayText(row.days), Text(cal.GetDateField()));
        EXPECT_EQ(calOff, !cal.GetCheckButton()->GetCheck());
        if (!calOff) {
            EXPECT_EQ(ClockText(row.hour, row.minute), Text(cal.GetStartField()));
        }
        if (row.hand == typeEnd) {
            EXPECT_EQ(ClockText(kHandEndHour, 0), Text(cal.GetEndField()));
        }
        // The calendar edition has no to-do to hold the phrases of a calendar
        // switched off.
        EXPECT_EQ(calOff && myTime ? std::set<std::string>() : row.marked, MarkedPhrases(note));
        if (!myTime) {
            EXPECT_EQ(DayText(row.ToDoDays()), Text(toDo.GetDateField()));
            CString query;
            toDo.GetToDoDestination()->BuildQueryString(query);
            EXPECT_EQ(row.toDoBody, query.GetString());
        }

        if (calOff && myTime) {
            // Its to-do files nothing: with the calendar off there is nothing to file.
            FileAnsweringOneMessage(note, IDS_WEB_NOTHING_TO_FILE);
            ASSERT_TRUE(IsOpen(note));
            note->DestroyNoteWnd();
            PumpPending();
            continue;
        }
        File(note);
        const std::vector<std::string> urls = Navigated();
        ASSERT_FALSE(urls.empty());
        // With the calendar off the note is filed as a to-do.
        const COleDateTime day = Today() + COleDateTimeSpan(calOff ? row.ToDoDays() : row.days, 0, 0, 0);
        EXPECT_EQ(std::to_string(day.GetDay()), UrlParameter(urls.back(), "day")) << urls.back();
        EXPECT_EQ(calOff ? row.toDoBody : row.body, UrlParameter(urls.back(), myTime ? "text" : "title"))
            << urls.back();
        EXPECT_FALSE(IsOpen(note));
    }
}

// Every close the user asks for asks about a typed note, the close button
// as the system menu and Alt+F4; the program's own close and an empty
// note's close ask nothing.
TEST_P(WebEdition, EveryCloseTheUserAsksForAsksAboutATypedNote)
{
    using app_test::CloseBy;
    const char typed[] = "lunch friday 12:30";
    struct Row {
        CloseBy way;
        const char* text;
        int answer;
        bool asks;
        bool open;
    } rows[] = {
        {CloseBy::button, "", 0, false, false},
        {CloseBy::button, typed, IDCANCEL, true, true},
        {CloseBy::button, typed, IDNO, true, false},
        {CloseBy::button, typed, IDYES, true, false},
        {CloseBy::systemMenu, typed, IDCANCEL, true, true},
        {CloseBy::altF4InText, typed, IDNO, true, false},
        {CloseBy::altF4InDestWnd, typed, IDCANCEL, true, true},
        {CloseBy::program, typed, 0, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(app_test::CloseName(row.way)) + " '" + row.text + "' " + std::to_string(row.answer));
        const size_t navigated = Navigated().size();
        CWebActionNote* note = Open();
        ASSERT_NE(nullptr, note);
        Type(note, row.text);
        app_test::CloseNoteAnswering(note, row.way, row.answer, row.asks);
        EXPECT_EQ(row.open, IsOpen(note));
        EXPECT_EQ(row.answer == IDYES, Navigated().size() > navigated) << "filed only on Yes";
        if (IsOpen(note)) {
            CString text;
            note->GetNoteText(text);
            EXPECT_STREQ(row.text, text) << "the note is kept as it was";
            note->DestroyNoteWnd();
            PumpPending();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Editions, WebEdition,
                         ::testing::Values(static_cast<DWORD>(CDatastore::typeWebOnly),
                                           static_cast<DWORD>(CDatastore::typeWebCalendar)),
                         [](const ::testing::TestParamInfo<DWORD>& info) {
                             return info.param == CDatastore::typeWebCalendar ? "MyTime" : "WebOnly";
                         });

// The calendar edition: no to-do takes the phrase besides the calendar.
TEST_F(MyTime, ATypedStartKeepsItsMarkWhateverTheUserDidToTheDate)
{
    const COleDateTime userDay = Today() + COleDateTimeSpan(9, 0, 0, 0);
    struct Row {
        bool userDate;  // the user gave the date before typing
        std::string date;
    } rows[] = {{false, DateText(Today())}, {true, DateText(userDay)}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.userDate);
        CWebActionNote* note = Open();
        ASSERT_NE(nullptr, note);
        CWebCalPane& cal = DestWnd(note)->GetCalPane();
        if (row.userDate) {
            cal.GetDateField().SetDate(userDay.m_dt);
            cal.GetCalDestination()->GetDateProp()->SetFlags(CDestProp::FLAG_USER_CHANGED);
        }
        Type(note, "lunch 12:30");
        EXPECT_EQ(TimeText(12, 30), Text(cal.GetStartField()));
        EXPECT_EQ(row.date, Text(cal.GetDateField()));
        const std::list<QuiPrsKeyphrase*>& marked = note->GetKeyphrases();
        const QuiPrsKeyphrase* start = KeyphraseOf(cal.GetCalDestination()->GetStartProp()->GetKeyphraseId());
        EXPECT_EQ(1, std::count(marked.begin(), marked.end(), start)) << "the start's phrase is marked once";
        note->DestroyNoteWnd();
        PumpPending();
    }
}

TEST_F(WebOnlyFeatured, TheSelfAndJournalPanesComeWithTheirFeaturesTheJournalUnavailable)
{
    const int kSelf = 516, kJournal = 505, kToDo = 507, kCal = 510, kActions = 514;
    struct Row {
        std::set<int> features;
        std::vector<int> panes;  // top down
    } rows[] = {
        {{}, {kToDo, kCal, kActions}},
        {{4}, {kSelf, kToDo, kCal, kActions}},
        {{11}, {kToDo, kCal, kJournal, kActions}},
        {{4, 11}, {kSelf, kToDo, kCal, kJournal, kActions}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.panes.size());
        static_cast<CFeaturedWebOnly*>(store.get())->extra = row.features;
        CWebActionNote* note = Open();
        ASSERT_NE(nullptr, note);
        CWebDestWnd* dest = DestWnd(note);
        int below = 0;
        for (int id : row.panes) {
            CDestPane* pane = dest->FindPane(id);
            ASSERT_NE(nullptr, pane) << id;
            EXPECT_TRUE(pane->IsWindowVisible()) << id;
            CRect place = ChildRect(*pane, *dest);
            EXPECT_GT(place.top, below) << id << " stands below the pane before it";
            below = place.bottom - 1;
        }
        for (int id : {kSelf, kJournal}) {
            if (std::find(row.panes.begin(), row.panes.end(), id) == row.panes.end()) {
                EXPECT_EQ(nullptr, dest->FindPane(id)) << id;
            }
        }
        EXPECT_GT(ChildRect(*dest->GetFileButton(), *dest).top, below) << "the bottom row below the last pane";
        if (row.features.count(11)) {
            EXPECT_FALSE(dest->GetJournalPane().GetDestination()->IsEnabled());
            EXPECT_FALSE(dest->GetJournalPane().GetCheckButton()->IsActive());
        }
        EXPECT_TRUE(dest->GetCalPane().GetDestination()->IsEnabled());
        note->DestroyNoteWnd();
        PumpPending();
    }
}

TEST_F(WebOnlyDefault, TheCalendarAndToDoPanesAreUnavailableAndAnUntickedNoteIsRefused)
{
    EXPECT_TRUE(Navigated().empty()) << "no login without the web calendar";
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    CWebDestWnd* dest = DestWnd(note);
    EXPECT_FALSE(dest->GetCalPane().GetDestination()->IsEnabled());
    EXPECT_FALSE(dest->GetToDoPane().GetDestination()->IsEnabled());
    EXPECT_FALSE(dest->GetCalPane().GetCheckButton()->IsActive());
    EXPECT_TRUE(dest->GetActionsPane().IsWindowVisible());
    Type(note, "lunch friday 12:30");
    EXPECT_FALSE(dest->GetCalPane().GetCheckButton()->GetCheck());

    FileAnsweringOneMessage(note, IDS_WEB_NOTHING_TO_FILE);
    EXPECT_TRUE(IsOpen(note));
    EXPECT_TRUE(Navigated().empty());
}

// What a new user sees first: in the default edition a shipped connector's
// keyword takes the web actions pane, and the note's text marks it.
TEST_F(WebOnlyDefaultSearch, AShippedConnectorsKeywordIsTakenAndMarked)
{
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    CWebActionsPane& pane = DestWnd(note)->GetActionsPane();
    const std::string typed = "search for lunch places tomorrow 12:30 pm";
    for (size_t n = 1; n <= typed.size(); n++)
        Type(note, typed.substr(0, n).c_str());
    CStringArray ids;
    pane.GetActionField().GetItemIDs(ids);
    ASSERT_EQ(1, ids.GetSize());
    EXPECT_STREQ("Web Search_search the web", ids[0].GetString());
    EXPECT_TRUE(pane.GetCheckButton()->GetCheck());
}

TEST_F(WebOnlyUnknown, AnUnknownEditionBehavesAsTheDefault)
{
    EXPECT_EQ(CDatastore::typeWebOnlyDefault, store->GetType());
    EXPECT_TRUE(Navigated().empty());
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    EXPECT_FALSE(DestWnd(note)->GetCalPane().GetDestination()->IsEnabled());
    EXPECT_FALSE(DestWnd(note)->GetToDoPane().GetDestination()->IsEnabled());
}

class WebOnlyOffLine : public WebOnly {
protected:
    WebOnlyOffLine() { m_browser = kNetscapeDriver; }
};

TEST_F(WebOnlyOffLine, NoLoginWhileOffLineAndUnsentActionsAreToldAtExit)
{
    EXPECT_TRUE(m_standIns->Log().empty());
    EXPECT_EQ(0, store->GetWebActionHandler()->GetActionList().GetCount()) << "the login is never kept";
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "lunch with Anna tomorrow 12:30 pm");
    Click(&DestWnd(note)->GetToDoPane());
    ASSERT_TRUE(DestWnd(note)->GetCalPane().GetCheckButton()->GetCheck());
    // The note says once that its entries were kept.
    FileAnsweringOneMessage(note, IDS_PIM_WEB_ACTION_LATER);
    EXPECT_FALSE(IsOpen(note)) << "kept off line counts as filed";
    EXPECT_EQ(2, store->GetWebActionHandler()->GetActionList().GetCount());

    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    EXPECT_EQ(2, store->ReportUnsentActions());
    ASSERT_EQ(1u, prompts.Asked().size());
    EXPECT_NE(-1, prompts.Asked()[0].text.Find(": 2."));
}

// A filled note's calendar and to-do panes, and each pane's fields: no text
// is cut or covered, and every field stands on the pane colour.
void ExpectWholeTextsOnThePaneColour(CWebDestWnd* dest)
{
    for (CDestPane* pane : {static_cast<CDestPane*>(&dest->GetToDoPane()), static_cast<CDestPane*>(&dest->GetCalPane())}) {
        for (const std::string& fault : LayoutFaults(*pane))
            ADD_FAILURE() << pane->GetDlgCtrlID() << ": " << fault;
    }
    CWebCalPane& cal = dest->GetCalPane();
    for (CEditDrop* field : {static_cast<CEditDrop*>(&dest->GetToDoPane().GetDateField()),
                             static_cast<CEditDrop*>(&cal.GetDateField()), static_cast<CEditDrop*>(&cal.GetStartField()),
                             static_cast<CEditDrop*>(&cal.GetEndField()), &cal.GetCountField()})
        EXPECT_EQ(CDestPane::FIELD_COLOR & 0xFFFFFF, EditBackground(*field, field->GetEdit()) & 0xFFFFFF)
            << field->GetDlgCtrlID();
}

TEST_F(WebOnly, AFilledNoteShowsItsTextsWholeOnThePaneColour)
{
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "lunch with Anna tomorrow 12:30 pm");
    ASSERT_TRUE(DestWnd(note)->GetCalPane().GetCheckButton()->GetCheck());
    ExpectWholeTextsOnThePaneColour(DestWnd(note));
}

TEST_F(MyTime, AFilledNoteShowsItsTextsWholeOnThePaneColour)
{
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "lunch with Anna tomorrow 12:30 pm");
    ExpectWholeTextsOnThePaneColour(DestWnd(note));
}

TEST_F(MyTime, TheCalendarEditionFilesItsEventWithItsOwnTime)
{
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    CWebDestWnd* dest = DestWnd(note);
    EXPECT_EQ(CMyTimeCalPane::PANE_ID, dest->GetCalPane().GetDlgCtrlID());
    EXPECT_FALSE(dest->GetToDoPane().GetDestination()->IsEnabled());
    EXPECT_TRUE(dest->GetCalPane().GetDateField().IsWindowVisible()) << "its fields show unticked";
    EXPECT_EQ("", Text(dest->GetCalPane().GetDateField()));
    Type(note, "lunch with Anna tomorrow 12:30 pm");
    EXPECT_TRUE(dest->GetCalPane().GetCheckButton()->GetCheck());
    EXPECT_EQ(static_cast<UINT>(CWebCalPane::LAYOUT_TIMED), dest->GetCalPane().GetLayout());
    File(note);
    const std::vector<std::string> urls = Navigated();
    ASSERT_EQ(2u, urls.size());
    const std::string& url = urls[1];
    EXPECT_EQ(0u, url.find("http://www.mytime.example.net/calendar/new?")) << url;
    COleDateTime tomorrow = Today() + COleDateTimeSpan(1, 0, 0, 0);
    char day[8];
    sprintf(day, "%d", tomorrow.GetDay());
    EXPECT_EQ("lunch with Anna", UrlParameter(url, "text"));
    EXPECT_EQ(day, UrlParameter(url, "day"));
    EXPECT_EQ("12:30 PM", UrlParameter(url, "start"));
    EXPECT_EQ("1", UrlParameter(url, "timed"));
}

// Picks an item of the pane's menu as the user does: the pop-up's choice
// reaches the menu button, which tells the pane.
void PickFromMenu(CDestPane& pane, UINT nID)
{
    pane.GetMenuButton()->SendMessage(WM_COMMAND, nID);
    PumpPending();
}

// The caption the menu button shows for its choice.
std::string ShownItem(CDestPane& pane)
{
    CString text;
    pane.GetMenuButton()->GetPopupMenu()->GetMenuString(pane.GetMenuButton()->GetChosenCommand(), text,
                                                        MF_BYCOMMAND);
    return text.GetString();
}

void CalendarEdition::ExpectEventTypes(const std::vector<EventTypeRow>& rows)
{
    for (const EventTypeRow& row : rows) {
        SCOPED_TRACE(std::string(row.text) + ", picked " + std::to_string(row.pick) + ", then " +
                     (row.later ? row.later : "nothing") + (row.untickTick ? ", unticked and ticked" : ""));
        CWebActionNote* note = Open();
        ASSERT_NE(nullptr, note);
        CWebCalPane& cal = DestWnd(note)->GetCalPane();
        Type(note, row.text);
        ASSERT_TRUE(cal.GetCheckButton()->GetCheck());
        if (row.pick)
            PickFromMenu(cal, row.pick);
        if (row.later)
            Type(note, row.later);
        if (row.untickTick) {
            Click(&cal);
            Click(&cal);
        }
        const std::string shown = ShownItem(cal);
        EXPECT_EQ(row.shown, cal.GetMenuButton()->GetChosenCommand()) << shown;
        const size_t before = Navigated().size();
        File(note);
        const std::vector<std::string> urls = Navigated();
        ASSERT_EQ(before + 1, urls.size());
        EXPECT_EQ(row.sent, UrlParameter(urls.back(), "type")) << "the button shows " << shown;
    }
}

TEST_F(MyTime, TheEventTypeSentIsTheOneTheMenuButtonShows)
{
    ExpectEventTypes({
        {"lunch tomorrow", 0, nullptr, false, 50030, "5008"},
        {"lunch tomorrow 12:30 pm", 0, nullptr, false, CWebCalPane::LAYOUT_TIMED, "5000"},
        {"lunch tomorrow", 50025, "lunch tomorrow 12:30 pm", false, 50025, "5003"},
        {"lunch tomorrow", 50034, nullptr, false, 50034, "5012"},
        {"lunch tomorrow", 50025, nullptr, true, 50030, "5008"},
    });
}

TEST_F(WebOnly, TheEventTypeSentIsTheOneTheMenuButtonShows)
{
    ExpectEventTypes({
        {"lunch tomorrow 12:30 pm", 0, nullptr, false, CWebCalPane::LAYOUT_TIMED, "10"},
        {"lunch tomorrow 12:30 pm", 57730, nullptr, false, 57730, "13"},
        {"lunch tomorrow 12:30 pm", 57741, "lunch tomorrow", false, 57741, "24"},
        {"lunch tomorrow 12:30 pm", 57730, nullptr, true, CWebCalPane::LAYOUT_TIMED, "10"},
    });
}

void CalendarEdition::ExpectCtrlDigitsToggle(const std::vector<CtrlDigitRow>& rows)
{
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    CWebDestWnd* dest = DestWnd(note);
    CNoteWnd* wnd = note->GetNoteWnd();
    BYTE keys[256] = {};
    ASSERT_TRUE(::GetKeyboardState(keys));
    BYTE withControl[256];
    std::memcpy(withControl, keys, sizeof keys);
    withControl[VK_CONTROL] = 0x80;
    for (const CtrlDigitRow& row : rows) {
        ::SetKeyboardState(withControl);
        MSG msg = {wnd->GetSafeHwnd(), WM_KEYDOWN, static_cast<WPARAM>(row.digit), 0};
        const BOOL taken = wnd->PreTranslateMessage(&msg);
        ::SetKeyboardState(keys);
        PumpPending();
        EXPECT_TRUE(taken) << "Ctrl+" << row.digit;
        EXPECT_EQ(row.toDo, dest->GetToDoPane().GetCheckButton()->GetCheck() != FALSE) << "Ctrl+" << row.digit;
        EXPECT_EQ(row.cal, dest->GetCalPane().GetCheckButton()->GetCheck() != FALSE) << "Ctrl+" << row.digit;
        EXPECT_EQ(row.actions, dest->GetActionsPane().GetCheckButton()->GetCheck() != FALSE) << "Ctrl+" << row.digit;
    }
}

// Ctrl+1, Ctrl+2 and Ctrl+3 tick and untick the panes in the order they
// stand; the calendar edition's to-do pane is unavailable.
TEST_F(WebOnly, CtrlAndTheDigitsToggleThePanes)
{
    ExpectCtrlDigitsToggle({
        {'1', true, false, false}, {'2', true, true, false}, {'3', true, true, true}, {'2', true, false, true},
    });
}

TEST_F(MyTime, CtrlAndTheDigitsToggleThePanes)
{
    ExpectCtrlDigitsToggle({
        {'2', false, true, false}, {'1', false, true, false}, {'3', false, true, true}, {'2', false, false, true},
    });
}

TEST_F(MyTime, TypingADateTicksThePaneAndNothingTickedIsRefused)
{
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "something");
    CWebCalPane& cal = DestWnd(note)->GetCalPane();
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    File(note);
    ASSERT_EQ(1u, prompts.Asked().size());
    EXPECT_TRUE(IsOpen(note));
    cal.GetDateField().SetDate(Today().m_dt);
    EXPECT_TRUE(cal.GetCheckButton()->GetCheck());
}

TEST_F(MyTime, TheNoteLocksAndUnlocksTheCalendarsParsing)
{
    CMyTimeActionNote* note = dynamic_cast<CMyTimeActionNote*>(Open());
    ASSERT_NE(nullptr, note);
    CWebCalPane& cal = DestWnd(note)->GetCalPane();
    struct Row {
        BOOL lock;
        const char* text;
        std::string start;
    } rows[] = {{TRUE, "lunch 12:30", ""}, {FALSE, "lunch 12:30", TimeText(12, 30)}};
    for (const Row& row : rows) {
        Type(note, "");
        note->LockCalendarParsing(row.lock);
        EXPECT_EQ(row.lock != FALSE, cal.GetCalDestination()->IsParseLocked());
        Type(note, row.text);
        EXPECT_EQ(row.start, Text(cal.GetStartField())) << row.lock;
    }
}

// The time parameters of an event as the two calendar panes send them.
TEST_F(MyTime, StartTimesAreSentOnTheTwelveHourClock)
{
    struct Row {
        int hour, minute;
        const char* myTime;
        const char* hour12;
        const char* minutes;
        const char* ampm;
    };
    const Row rows[] = {
        {0, 7, "12:07 AM", "12", "7", "AM"},   {0, 15, "12:15 AM", "12", "15", "AM"},
        {9, 0, "9:00 AM", "9", "0", "AM"},     {12, 0, "12:00 PM", "12", "0", "PM"},
        {12, 30, "12:30 PM", "12", "30", "PM"}, {13, 5, "1:05 PM", "1", "5", "PM"},
        {23, 59, "11:59 PM", "11", "59", "PM"},
    };
    CWebActionNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "call");
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, "host", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr));
    CWebCalPane webPane;
    ASSERT_TRUE(webPane.Create(0, &host));
    CWebCalPane& myPane = DestWnd(note)->GetCalPane();
    for (const Row& row : rows) {
        const DATE start = COleDateTime(1899, 12, 30, row.hour, row.minute, 0).m_dt;
        myPane.GetStartField().SetTime(start);
        webPane.GetStartField().SetTime(start);
        CWebActionJug mine, web;
        myPane.GetCalDestination()->FileItem(&mine);
        webPane.GetCalDestination()->FileItem(&web);
        auto param = [](CWebActionJug& jug, const char* name) {
            for (const CWebDataProp& prop : jug.m_parameters) {
                if (prop.m_strName == name)
                    return std::string(prop.m_strValue.GetString());
            }
            return std::string("<none>");
        };
        EXPECT_EQ(row.myTime, param(mine, "starthour")) << row.hour << ":" << row.minute;
        EXPECT_EQ("<none>", param(mine, "ampm"));
        EXPECT_EQ(row.hour12, param(web, "starthour")) << row.hour << ":" << row.minute;
        EXPECT_EQ(row.minutes, param(web, "startmin")) << row.hour << ":" << row.minute;
        EXPECT_EQ(row.ampm, param(web, "ampm")) << row.hour << ":" << row.minute;
    }
    webPane.DestroyWindow();
    host.DestroyWindow();
}

} // namespace
