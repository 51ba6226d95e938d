// The web actions pane in a note window: what the parser fills and
// withdraws, the user's own choice, the menu of web actions, the pane's
// check button, and the web action a filing makes of the note.
#include "WebPaneTestSupport.h"
#include "QuiTesting.h"

#include <cmath>
#include <functional>

#include "DateValue.h"
#include "NoteDayRows.h"
#include "QuiResIds.h"

using namespace webpane_test;

namespace {

class WebActionsPaneTest : public PaneFixture {
protected:
    CPaneNote* OpenReady()
    {
        CPaneNote* note = Open();
        EXPECT_NE(nullptr, note);
        if (note) {
            EXPECT_NE(nullptr, note->Pane());
            EXPECT_NE(nullptr, note->Dest());
        }
        return note;
    }

    QuiItemType* DateType() { return store.GetItemType(WEB_DATE_ITEM_TYPE); }

    // Seconds since 1970 of today's local midnight plus the days and seconds.
    static double Local(int days, int seconds) { return static_cast<double>(parse_test::LocalToday(days, seconds)); }
};

TEST_F(WebActionsPaneTest, AKeywordChecksItsActionAndThePaneAndItsWithdrawalUnchecksBoth)
{
    CPaneNote* note = OpenReady();
    ASSERT_NE(nullptr, note);
    CWebActionsPane* pane = note->Pane();
    EXPECT_TRUE(note->Dest()->IsEnabled());
    EXPECT_FALSE(Checked(pane));

    Type(note, "search for whales");
    EXPECT_EQ(std::vector<std::string>{"Finder_search for"}, Named(pane));
    EXPECT_TRUE(Checked(pane));
    EXPECT_EQ("Finder", LabelText(pane));
    EXPECT_TRUE(note->Dest()->HasSelectedActions());
    EXPECT_EQ(1u, note->GetKeyphrases().size());
    ASSERT_FALSE(note->pimCalls.empty());
    EXPECT_FALSE(note->pimCalls.back()) << "the PIM destinations give way to the web action";

    Type(note, "whales");
    EXPECT_TRUE(Named(pane).empty());
    EXPECT_FALSE(Checked(pane));
    EXPECT_FALSE(note->Dest()->HasSelectedActions());
    EXPECT_TRUE(note->GetKeyphrases().empty());
    EXPECT_EQ(0, note->Dest()->GetActionKeyphrase());
    EXPECT_TRUE(note->pimCalls.back()) << "withdrawn, the PIM destinations come back";
}

TEST_F(WebActionsPaneTest, AWithdrawalEmptiesOnlyWhatItFilled)
{
    CPaneNote* note = OpenReady();
    ASSERT_NE(nullptr, note);
    CWebActionsDestination* dest = note->Dest();
    const double tomorrow = std::floor(TimeToVariantDate(static_cast<int32_t>(Local(1, 0))));

    Type(note, "search for whales tomorrow");
    EXPECT_EQ(tomorrow, dest->GetField(CWebActionsDestination::startDate));
    EXPECT_EQ(std::vector<std::string>{"Finder_search for"}, Named(note->Pane()));

    // The date goes, the action stays.
    Type(note, "search for whales");
    EXPECT_EQ(-1.0, dest->GetField(CWebActionsDestination::startDate));
    EXPECT_EQ(std::vector<std::string>{"Finder_search for"}, Named(note->Pane()));

    // The action goes, the date stays.
    Type(note, "whales tomorrow");
    EXPECT_EQ(tomorrow, dest->GetField(CWebActionsDestination::startDate));
    EXPECT_TRUE(Named(note->Pane()).empty());
}

TEST_F(WebActionsPaneTest, AMovedKeyphraseChangesNothing)
{
    CPaneNote* note = OpenReady();
    ASSERT_NE(nullptr, note);
    Type(note, "search for whales");
    INT_PTR keyphrase = note->Dest()->GetActionKeyphrase();
    ASSERT_NE(0, keyphrase);

    Type(note, "please search for whales");
    EXPECT_EQ(std::vector<std::string>{"Finder_search for"}, Named(note->Pane()));
    EXPECT_EQ(keyphrase, note->Dest()->GetActionKeyphrase());
    EXPECT_EQ(1u, note->GetKeyphrases().size());
    EXPECT_TRUE(Checked(note->Pane()));
}

TEST_F(WebActionsPaneTest, OnlyTheFirstNamedActionFillsTheField)
{
    CPaneNote* note = OpenReady();
    ASSERT_NE(nullptr, note);
    Type(note, "search for whales on a map of spain");
    EXPECT_EQ(std::vector<std::string>{"Finder_search for"}, Named(note->Pane()));
    EXPECT_EQ(1u, note->GetKeyphrases().size());

    note->SendWebAction();
    ASSERT_EQ(1u, store.sent.size());
    EXPECT_EQ(0, store.sent[0].connector);
    EXPECT_EQ(0, store.sent[0].subtype);
}

TEST_F(WebActionsPaneTest, AfterTheUserPicksAnActionKeywordsLeaveTheFieldAlone)
{
    CPaneNote* note = OpenReady();
    ASSERT_NE(nullptr, note);
    CWebActionsPane* pane = note->Pane();
    pane->PostMessage(WM_COMMAND, ID_WEB_ACTION_FIRST + 1);
    PumpPending();
    EXPECT_EQ(std::vector<std::string>{"Finder_pictures of"}, Named(pane));
    EXPECT_TRUE(Checked(pane));
    EXPECT_EQ("Finder", LabelText(pane));

    Type(note, "search for whales");
    EXPECT_EQ(std::vector<std::string>{"Finder_pictures of"}, Named(pane));
    EXPECT_TRUE(note->GetKeyphrases().empty()) << "the keyword is not marked";
    EXPECT_EQ(0, note->Dest()->GetActionKeyphrase());

    // Withdrawing the keyword does not take the user's choice away.
    Type(note, "whales");
    EXPECT_EQ(std::vector<std::string>{"Finder_pictures of"}, Named(pane));
    EXPECT_TRUE(Checked(pane));
}

// Typed key by key around the user's own choice: after every keystroke the
// phrase the destination holds is one the note still has, whatever the user
// chose, and the query leaves out exactly the keyword still there.
TEST_F(WebActionsPaneTest, ThePhraseHeldIsAlwaysOneTheNoteStillHas)
{
    using noteday_test::Deleted;
    using noteday_test::Inserted;
    using noteday_test::Then;
    using noteday_test::Typed;
    const std::string whales = "search for whales";
    const std::string two = whales + " on a map of spain";
    // The user's own choice of an action, from the menu or in the field.
    auto menu = [](CPaneNote* note) {
        note->Pane()->SendMessage(WM_COMMAND, ID_WEB_ACTION_FIRST + 1);
        PumpPending();
    };
    auto field = [](CPaneNote* note) {
        CMultiDrop& drop = note->Pane()->GetActionField();
        CStringArray named;
        drop.GetItemIDs(named);
        for (int i = 0; i < named.GetSize(); i++)
            drop.UncheckItem(named[i], FALSE);
        drop.CheckItem("Atlas_map of", nullptr, FALSE);
        drop.NotifyAdaptor(CDestProp::FLAG_USER_CHANGED);
        PumpPending();
    };
    struct Row {
        const char* what;
        std::vector<std::string> before;
        std::function<void(CPaneNote*)> choose;
        std::vector<std::string> after;
        std::vector<std::string> action;
        const char* query;
    } rows[] = {
        {"picked from the menu, its keyword deleted", Typed(whales), menu,
         Then(Deleted(whales, 11, 11), Inserted("whales", 0, "big ")), {"Finder_pictures of"}, "big whales"},
        {"chosen in the field, its keyword deleted", Typed(whales), field, Deleted(whales, 11, 11), {"Atlas_map of"},
         "whales"},
        {"two keywords, the second deleted, then the first", Then(Typed(two), Deleted(two, two.size(), 13)), nullptr,
         Deleted(whales + " on a", 11, 11), {}, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CPaneNote* note = OpenReady();
        ASSERT_NE(nullptr, note);
        auto type = [&](const std::string& text) {
            Type(note, text.c_str());
            for (INT_PTR id : note->Dest()->HeldKeyphrases())
                EXPECT_TRUE(note->GetContext()->holdsKeyphrase(reinterpret_cast<QuiPrsKeyphrase*>(id))) << text;
            for (QuiPrsKeyphrase* kp : note->GetKeyphrases())
                EXPECT_TRUE(note->GetContext()->holdsKeyphrase(kp)) << text;
        };
        for (const std::string& text : row.before)
            type(text);
        if (row.choose)
            row.choose(note);
        for (const std::string& text : row.after)
            type(text);
        EXPECT_EQ(row.action, Named(note->Pane()));
        if (!row.action.empty()) {
            CString query;
            note->Dest()->GetQueryText(query);
            EXPECT_EQ(row.query, std::string(query.GetString()));
        }
    }
}

TEST_F(WebActionsPaneTest, TheMenuAndTheFieldOfferEveryWebActionOfTheEnabledConnectors)
{
    CPaneNote* note = OpenReady();
    ASSERT_NE(nullptr, note);
    CWebActionsPane* pane = note->Pane();
    CMenu* popup = pane->GetMenuButton()->GetPopupMenu();
    ASSERT_NE(nullptr, popup);
    struct Row {
        UINT command;
        const char* name;
    } rows[] = {{ID_WEB_ACTION_FIRST, "search for"}, {ID_WEB_ACTION_FIRST + 1, "pictures of"},
                 {ID_WEB_ACTION_FIRST + 2, "map of"}};
    ASSERT_EQ(3, popup->GetMenuItemCount()) << "the hidden subtype is no web action";
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(rows[i].command, popup->GetMenuItemID(i));
        CString text;
        popup->GetMenuString(i, text, MF_BYPOSITION);
        EXPECT_EQ(rows[i].name, std::string(text.GetString()));
    }
    EXPECT_NE(-1, pane->GetActionField().FindItem("Atlas_map of"));
    EXPECT_EQ(-1, pane->GetActionField().FindItem("Finder_login"));

    pane->PostMessage(WM_COMMAND, ID_WEB_ACTION_FIRST + 2);
    PumpPending();
    EXPECT_EQ(std::vector<std::string>{"Atlas_map of"}, Named(pane));
    EXPECT_EQ("Atlas", LabelText(pane));
    // A command past the menu's items only refreshes.
    pane->PostMessage(WM_COMMAND, ID_WEB_ACTION_FIRST + 50);
    PumpPending();
    EXPECT_EQ(std::vector<std::string>{"Atlas_map of"}, Named(pane));
}

TEST_F(WebActionsPaneTest, UncheckingThePaneEmptiesItAndSetsTheHelpTopic)
{
    CPaneNote* note = OpenReady();
    ASSERT_NE(nullptr, note);
    CWebActionsPane* pane = note->Pane();
    CWnd* destWnd = pane->GetParent();
    Type(note, "search for whales");
    ASSERT_TRUE(Checked(pane));
    EXPECT_EQ(static_cast<DWORD>(IDH_WEB_ACTIONS_CHECKED), destWnd->GetWindowContextHelpId());

    pane->GetCheckButton()->SetCheck(FALSE);
    PumpPending();
    EXPECT_TRUE(Named(pane).empty());
    EXPECT_EQ("", LabelText(pane));
    EXPECT_EQ(static_cast<DWORD>(IDH_WEB_ACTIONS), destWnd->GetWindowContextHelpId());
    EXPECT_TRUE(note->pimCalls.back());

    pane->GetCheckButton()->SetCheck(TRUE);
    PumpPending();
    EXPECT_EQ(static_cast<DWORD>(IDH_WEB_ACTIONS_CHECKED), destWnd->GetWindowContextHelpId());
    EXPECT_TRUE(note->pimCalls.back()) << "no web action is chosen yet";
}

TEST_F(WebActionsPaneTest, UntickingAnEmptiedPaneGivesThePimDestinationsBack)
{
    CPaneNote* note = OpenReady();
    ASSERT_NE(nullptr, note);
    CWebActionsPane* pane = note->Pane();
    Type(note, "search for whales");
    ASSERT_TRUE(Checked(pane));
    // The field emptied while the pane stays ticked, showing its prompt (as
    // the note gives its fields one) and without the focus: unticking it
    // then changes no text, so no change of the field's can tell the note,
    // and the web action's hold still ends.
    CMultiDrop& field = pane->GetActionField();
    field.SetPromptText("web action");
    if (::GetFocus() == field.GetEdit().GetSafeHwnd())
        ::SetFocus(nullptr);
    ASSERT_NE(field.GetEdit().GetSafeHwnd(), ::GetFocus());
    field.SetText("");
    PumpPending();
    ASSERT_TRUE(field.IsPromptShown());
    ASSERT_FALSE(note->pimCalls.back());
    const size_t told = note->pimCalls.size();
    pane->GetCheckButton()->SetCheck(FALSE);
    PumpPending();
    ASSERT_GT(note->pimCalls.size(), told) << "the note was told";
    EXPECT_TRUE(note->pimCalls.back());
}

TEST_F(WebActionsPaneTest, EachDateTagFillsItsField)
{
    CPaneNote* note = OpenReady();
    ASSERT_NE(nullptr, note);
    CWebActionsDestination* dest = note->Dest();
    const double when = Local(2, 15 * 3600 + 30 * 60);
    const double date = TimeToVariantDate(static_cast<int32_t>(when));
    const double day = std::floor(date);
    const double time = date - day;
    struct Row {
        int tag;
        int field;   // -1: none
        double value;
    } rows[] = {
        {1, CWebActionsDestination::startDate, day}, {6, CWebActionsDestination::startDate, day},
        {2, CWebActionsDestination::endDate, day},   {3, CWebActionsDestination::startTime, time},
        {7, CWebActionsDestination::startTime, time}, {4, CWebActionsDestination::endTime, time},
        {5, -1, 0.0},                                 {8, -1, 0.0},
    };
    for (const Row& row : rows) {
        QuiPrsItemRole role(row.tag, new QuiNumericItem(DateType(), when), true);
        dest->OnParseResult1(&role, 1, 1000 + row.tag, nullptr);
        for (int field = 0; field < CWebActionsDestination::FIELD_COUNT; field++) {
            double expected = field == row.field ? row.value : -1.0;
            EXPECT_NEAR(expected, dest->GetField(static_cast<CWebActionsDestination::Field>(field)), 1e-9)
                << "tag " << row.tag << " field " << field;
        }
        dest->OnParseResult2(&role, 2, 1000 + row.tag, nullptr);
        for (int field = 0; field < CWebActionsDestination::FIELD_COUNT; field++)
            EXPECT_EQ(-1.0, dest->GetField(static_cast<CWebActionsDestination::Field>(field))) << row.tag;
    }
}

TEST_F(WebActionsPaneTest, TheQueryLeavesOutTheActionAndTheStartPhrases)
{
    CPaneNote* note = OpenReady();
    ASSERT_NE(nullptr, note);
    struct Row {
        const char* text;
        const char* query;
    } rows[] = {
        {"search for whales", "whales"},
        {"  search for blue whales tomorrow  ", "blue whales"},
        {"pictures of cats at 3 pm", "cats"},
        {"whales", "whales"},
        {"search for whales from Monday to Friday", "whales"},
    };
    for (const Row& row : rows) {
        Type(note, "");
        Type(note, row.text);
        CString query;
        note->Dest()->GetQueryText(query);
        EXPECT_EQ(row.query, std::string(query.GetString())) << row.text;
    }
}

TEST_F(WebActionsPaneTest, FilingFillsEveryParameterOfTheAction)
{
    struct {
        const char* name;
        const char* value;
    } profile[] = {{"Firstname", "Ann"}, {"Lastname", "Lee"},  {"Email", "ann@example.test"},
                   {"Address", "1 Main St"}, {"City", "Springfield"}, {"State", "OR"},
                   {"Country", "USA"},       {"PostalCode", "97477"}};
    for (const auto& line : profile)
        ASSERT_TRUE(QuiTesting::SetRegText(HKEY_CURRENT_USER, "Software\\Quillmate\\Client\\Profile", line.name, line.value));
    CPaneNote* note = OpenReady();
    ASSERT_NE(nullptr, note);
    Type(note, "pictures of cats tomorrow at 3 pm");
    ASSERT_EQ(1, note->SendWebAction());
    ASSERT_EQ(1u, store.sent.size());
    const SentAction& sent = store.sent[0];
    EXPECT_EQ(0, sent.connector);
    EXPECT_EQ(1, sent.subtype);
    CString edition;
    store.GetTypeName(edition);
    EXPECT_EQ(std::string(edition.GetString()), Parameter(sent, "pim"));
    EXPECT_FALSE(edition.IsEmpty());
    EXPECT_EQ("unknown", Parameter(sent, "productver")) << "the test program carries no version";
    EXPECT_EQ("cats", Parameter(sent, "querystring"));
    const double date = TimeToVariantDate(static_cast<int32_t>(Local(1, 15 * 3600)));
    EXPECT_EQ(std::floor(date), sent.dates[0]);
    EXPECT_EQ(-1.0, sent.dates[1]);
    EXPECT_NEAR(date - std::floor(date), sent.dates[2], 1e-9);
    EXPECT_EQ(-1.0, sent.dates[3]);
    struct {
        int text;
        const char* value;
    } texts[] = {{CONTACTITEM::FirstName, "Ann"}, {CONTACTITEM::LastName, "Lee"},   {CONTACTITEM::Address, "1 Main St"},
                 {CONTACTITEM::City, "Springfield"}, {CONTACTITEM::State, "OR"}, {CONTACTITEM::Country, "USA"},
                 {CONTACTITEM::ZipCode, "97477"},   {CONTACTITEM::Title, ""}};
    for (const auto& row : texts)
        EXPECT_STREQ(row.value, sent.profile.GetText(row.text)) << row.text;
    EXPECT_STREQ("ann@example.test", sent.profile.Email(0).GetValue());
    EXPECT_STREQ("email", sent.profile.Email(0).GetLabel());
    EXPECT_EQ(1, sent.profile.Email(0).shown);
}

TEST_F(WebActionsPaneTest, NothingChosenFillsNothing)
{
    CPaneNote* note = OpenReady();
    ASSERT_NE(nullptr, note);
    Type(note, "whales");
    EXPECT_FALSE(note->Dest()->HasSelectedActions());
    CWebActionJug action;
    EXPECT_EQ(0, note->Dest()->FileItem(&action));
    EXPECT_EQ(-1, action.m_nConnectorIndex);
    EXPECT_EQ(-1, action.m_nSubtypeIndex);
    EXPECT_TRUE(action.m_parameters.empty());
}

TEST_F(WebActionsPaneTest, AResetNoteBindsTheActionToItsNewKeyphrase)
{
    CPaneNote* note = OpenReady();
    ASSERT_NE(nullptr, note);
    Type(note, "search for whales");
    ASSERT_EQ(std::vector<std::string>{"Finder_search for"}, Named(note->Pane()));
    note->Reset();
    PumpPending();
    EXPECT_NE(0, note->Dest()->GetActionKeyphrase());

    Type(note, "whales");
    EXPECT_TRUE(Named(note->Pane()).empty()) << "the keyphrase of the new parse withdrew the action";
    EXPECT_FALSE(Checked(note->Pane()));
}

TEST_F(WebActionsPaneTest, AttachingTwiceHearsEachKeyphraseOnce)
{
    CPaneNote* note = OpenReady();
    ASSERT_NE(nullptr, note);
    note->AttachSinks();
    Type(note, "search for whales");
    EXPECT_EQ(1u, note->GetKeyphrases().size());
    Type(note, "whales");
    EXPECT_TRUE(note->GetKeyphrases().empty());
}

TEST_F(WebActionsPaneTest, WithoutABrowserDriverThePaneIsUnavailable)
{
    SetNumber("Browser", 99, "Software\\Quillmate\\Client\\Preferences");
    QuiURLHandler::GetDefaultBrowser()->CreateBrowser();
    ASSERT_EQ(-1, DefaultBrowser::GetBrowserType());
    CPaneNote* note = OpenReady();
    ASSERT_NE(nullptr, note);
    EXPECT_FALSE(note->Dest()->IsEnabled());
    Type(note, "search for whales");
    EXPECT_TRUE(Named(note->Pane()).empty());
    EXPECT_FALSE(Checked(note->Pane()));
}

class WebOnlyPaneTest : public PaneFixture {
protected:
    WebOnlyPaneTest() : PaneFixture(CDatastore::typeWebOnly) {}
};

TEST_F(WebOnlyPaneTest, AWebOnlyNoteNeverHearsTheHook)
{
    CPaneNote* note = Open();
    ASSERT_NE(nullptr, note);
    Type(note, "search for whales");
    EXPECT_EQ(std::vector<std::string>{"Finder_search for"}, Named(note->Pane()));
    Type(note, "whales");
    note->Pane()->GetCheckButton()->SetCheck(TRUE);
    PumpPending();
    EXPECT_TRUE(note->pimCalls.empty());
}

} // namespace
