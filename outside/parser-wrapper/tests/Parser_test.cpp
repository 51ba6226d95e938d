// The wrapper over the engine with the date and Alias packages loaded: roles,
// offsets, keyphrase identity across events, and the packages' item lists.
#include "ParseFixture.h"
#include "QuiParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace parse_test;

namespace {

std::basic_string<PRSWCHAR> W(const std::string& s)
{
    return std::basic_string<PRSWCHAR>(s.begin(), s.end());
}

struct Heard {
    int event;
    QuiPrsKeyphrase* keyphrase;
    std::string line;
};

// A time as "now+Nd" when it is the present moment shifted by whole days
// (nearby days keep the time of day), else as seconds from today's midnight.
std::string Moment(long long value)
{
    long long now = static_cast<long long>(time(nullptr));
    long long days = (value - now + 43200 + 86400LL * 100000) / 86400 - 100000;
    long long rest = value - now - days * 86400;
    if (rest >= -5 && rest <= 5)
        return "now+" + std::to_string(days) + "d";
    return std::to_string(value - static_cast<long long>(LocalToday(0, 0)));
}

// "event tag first-last what": what is a role item's name, or a moment.
void Record(QuiParser*, QuiPrsContext*, QuiPrsPackage*, int event, QuiPrsKeyphrase* keyphrase, int, int,
            void* userData)
{
    auto* heard = static_cast<std::vector<Heard>*>(userData);
    int first = -1, last = -1;
    keyphrase->getOffsets(&first, &last);
    keyphrase->fetchItemRolesBegin();
    while (QuiPrsItemRole* role = keyphrase->fetchItemRolesNext()) {
        std::string what;
        if (auto* number = dynamic_cast<QuiNumericItem*>(role->getItem()))
            what = Moment(static_cast<long long>(number->getValue()));
        else
            what = role->getItem()->getDisplayName();
        heard->push_back({event, keyphrase,
                          std::to_string(event) + " " + std::to_string(role->getTag()) + " " +
                              std::to_string(first) + "-" + std::to_string(last) + " " + what});
    }
    keyphrase->fetchItemRolesEnd();
}

class ParserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kestrel = SmallDatabase();
        parser.reset(new QuiParser(kestrel.get()));
        parser->setCallback(&Record, &heard);
        date.reset(Load("Curlew.dll"));
        alias.reset(Load("QuiPrsAliasPackageD.dll"));
        alias->createItems();
        alias->loadItems();
        context = parser->createContext();
        ASSERT_NE(nullptr, context);
    }

    void TearDown() override
    {
        delete context;
        alias.reset();
        date.reset();
        parser.reset();
    }

    QuiPrsDllPackage* Load(const char* file)
    {
        QuiPrsDllPackage* package = new QuiPrsDllPackage(parser.get(), PackagePath(file).c_str());
        EXPECT_NE(nullptr, package->getEngine()) << file;
        package->registerTypes();
        package->createItems();
        return package;
    }

    std::vector<std::string> Parse(const std::string& text)
    {
        heard.clear();
        parser->parse(context, W(text).c_str());
        std::vector<std::string> lines;
        for (const Heard& h : heard)
            lines.push_back(h.line);
        return lines;
    }

    std::unique_ptr<QuiKestrel> kestrel;
    std::unique_ptr<QuiParser> parser;
    std::unique_ptr<QuiPrsDllPackage> date, alias;
    QuiPrsContext* context = nullptr;
    std::vector<Heard> heard;
};

std::string S(int seconds)
{
    return std::to_string(seconds);
}

} // namespace

TEST_F(ParserTest, RolesAndOffsetsOfFreshTexts)
{
    struct Row {
        const char* text;
        std::vector<std::string> lines;
    } rows[] = {
        {"call the bank tomorrow", {"1 6 14-21 now+1d", "1 5 14-21 now+1d"}},
        {"by tomorrow", {"1 5 0-10 now+1d"}},
        {"Business lunch Monday", {"1 0 0-7 Business"}},
        {"family dinner", {"1 0 0-5 Personal"}},
        // Only the keywords of "Personal" stand for it, not its name.
        {"Personal errand", {}},
        {"ring robin hale", {"1 0 5-14 Robin Hale"}},
        // A time of day names no day: no due date of its own.
        {"lunch at 3 pm", {"1 7 6-12 " + S(15 * 3600)}},
    };
    for (const Row& row : rows) {
        delete context;
        context = parser->createContext();
        std::vector<std::string> lines = Parse(row.text);
        if (std::string(row.text) == "Business lunch Monday") {
            // Which Monday depends on today: the date role is checked apart.
            ASSERT_EQ(3u, lines.size()) << row.text;
            EXPECT_EQ(row.lines[0], lines[0]);
            EXPECT_EQ("1 6 15-20", lines[1].substr(0, 9));
            EXPECT_EQ("1 5 15-20", lines[2].substr(0, 9));
            continue;
        }
        EXPECT_EQ(row.lines, lines) << row.text;
    }
}

TEST_F(ParserTest, EditsRaiseMovedRemovedAddedOnOneKeyphraseObject)
{
    Parse("call the bank tomorrow");
    ASSERT_EQ(2u, heard.size());
    QuiPrsKeyphrase* tomorrow = heard[0].keyphrase;
    int mark = 7;
    tomorrow->setUserData(&mark);
    EXPECT_TRUE(context->holdsKeyphrase(tomorrow));

    EXPECT_EQ((std::vector<std::string>{"3 6 21-28 now+1d", "3 5 21-28 now+1d"}),
              Parse("please call the bank tomorrow"));
    EXPECT_EQ(tomorrow, heard[0].keyphrase);
    EXPECT_EQ(&mark, tomorrow->getUserData());
    EXPECT_TRUE(context->holdsKeyphrase(tomorrow)) << "a moved keyphrase stays the context's";

    EXPECT_EQ((std::vector<std::string>{"2 6 21-28 now+1d", "2 5 21-28 now+1d"}),
              Parse("please call the bank"));
    EXPECT_EQ(tomorrow, heard[0].keyphrase);
    EXPECT_FALSE(context->holdsKeyphrase(tomorrow));

    Parse("please call the bank today");
    ASSERT_EQ(2u, heard.size());
    EXPECT_EQ("1 6 21-25 now+0d", heard[0].line);
    EXPECT_EQ(nullptr, heard[0].keyphrase->getUserData());
}

TEST_F(ParserTest, ItemsFollowTheDatabase)
{
    QuiItem* gym = kestrel->getTypeList()->get(QuiItemID(kTodoCategoryType))->newItem(QuiItemID("c3"));
    gym->setDisplayName("Gym");
    gym->modifyFlags(2, true);
    kestrel->getItemList()->add(gym);
    EXPECT_EQ(1u, Parse("gym at noon").size()) << "the time alone, before the item is loaded";

    alias->loadItem(gym);
    delete context;
    context = parser->createContext();
    EXPECT_EQ(std::vector<std::string>{"1 0 0-2 Gym"}, Parse("gym"));

    alias->unloadItem(gym);
    delete context;
    context = parser->createContext();
    EXPECT_TRUE(Parse("gym").empty());

    // Loading an item twice enters its phrases once: one role per phrase.
    QuiItem* business = FindItem(kestrel.get(), "Business");
    alias->loadItem(business);
    alias->loadItem(business);
    delete context;
    context = parser->createContext();
    EXPECT_EQ(std::vector<std::string>{"1 0 0-6 Business"}, Parse("meeting"));
}

TEST_F(ParserTest, RestrictedTypesLimitTheItems)
{
    QuiItemTypeList* types = new QuiItemTypeList;
    types->add(kestrel->getTypeList()->get(QuiItemID(kContactType)));
    alias->restrictItemTypes(types);
    alias->loadItems();
    EXPECT_EQ((std::vector<std::string>{"1 0 9-18 Robin Hale"}), Parse("business robin hale"));

    // An empty list admits nothing.
    alias->restrictItemTypes(new QuiItemTypeList);
    alias->loadItems();
    delete context;
    context = parser->createContext();
    EXPECT_TRUE(Parse("business robin hale").empty());
}

TEST_F(ParserTest, DestroyingAContextTellsTheClientNothing)
{
    Parse("meeting tomorrow");
    ASSERT_EQ(3u, heard.size());
    heard.clear();
    delete context;
    context = nullptr;
    EXPECT_TRUE(heard.empty());
}

// A client that drops the context on the first event of one kind hears
// nothing more of that parse.
struct Dropper {
    int event;
    std::vector<Heard>* heard;
};

void DropContext(QuiParser*, QuiPrsContext* context, QuiPrsPackage*, int event, QuiPrsKeyphrase* keyphrase, int,
                 int, void* userData)
{
    auto* dropper = static_cast<Dropper*>(userData);
    if (event != dropper->event)
        return;
    dropper->heard->push_back({event, keyphrase, "dropped"});
    delete context;
}

TEST_F(ParserTest, AContextDroppedInsideItsParse)
{
    struct Row {
        int event;
        const char* before;  // parsed first, heard as usual
        const char* after;   // parsed with the dropping client
    } rows[] = {
        {PRS_EVENT_ADDED, "", "meeting tomorrow at noon"},
        {PRS_EVENT_REMOVED, "meeting tomorrow at noon", "meeting"},
        {PRS_EVENT_REMOVED, "meeting tomorrow", ""},
        {PRS_EVENT_MOVED, "meeting tomorrow", "a meeting tomorrow"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.event << " " << row.before << " / " << row.after);
        delete context;
        context = parser->createContext();
        parser->setCallback(&Record, &heard);
        Parse(row.before);
        std::vector<Heard> dropped;
        Dropper dropper = {row.event, &dropped};
        parser->setCallback(&DropContext, &dropper);
        parser->parse(context, W(row.after).c_str());
        EXPECT_EQ(1u, dropped.size());
        context = parser->createContext();
        parser->setCallback(&Record, &heard);
        EXPECT_EQ(std::vector<std::string>{"1 0 0-6 Business"}, Parse("meeting"));
    }
}

TEST(ParserPackages, MissingLibraryAndDateTypeOnce)
{
    std::unique_ptr<QuiKestrel> kestrel = SmallDatabase();
    QuiParser parser(kestrel.get());
    QuiPrsDllPackage missing(&parser, PackagePath("NoSuchPackage.dll").c_str());
    EXPECT_EQ(nullptr, missing.getEngine());
    missing.registerTypes();
    EXPECT_EQ(nullptr, kestrel->getTypeList()->get(QuiItemID("A794C523-EEA6-11d2-A0E8-00104B9522AA")));

    QuiPrsDllPackage date(&parser, PackagePath("Curlew.dll").c_str());
    date.registerTypes();
    date.registerTypes();
    QuiItemType* type = kestrel->getTypeList()->get(QuiItemID("A794C523-EEA6-11d2-A0E8-00104B9522AA"));
    ASSERT_NE(nullptr, type);
    EXPECT_EQ(type, date.getDateType());
    EXPECT_STREQ("Date", type->getDisplayName());
}

// "event first-last roles": every event the client hears, roles or none.
void RecordEvents(QuiParser*, QuiPrsContext*, QuiPrsPackage*, int event, QuiPrsKeyphrase* keyphrase, int, int,
                  void* userData)
{
    auto* heard = static_cast<std::vector<Heard>*>(userData);
    int first = -1, last = -1, roles = 0;
    keyphrase->getOffsets(&first, &last);
    keyphrase->fetchItemRolesBegin();
    while (keyphrase->fetchItemRolesNext())
        ++roles;
    keyphrase->fetchItemRolesEnd();
    heard->push_back({event, keyphrase,
                      std::to_string(event) + " " + std::to_string(first) + "-" + std::to_string(last) + " " +
                          std::to_string(roles)});
}

TEST_F(ParserTest, TextsThatOnlyLookLikeDatesAreNotOffered)
{
    // Dates that exist in no year, whatever today is: the client hears of
    // none of them, so nothing is marked and no pane is filled.
    parser->setCallback(&RecordEvents, &heard);
    struct Row {
        const char* text;
        std::vector<std::string> lines;
    } rows[] = {
        {"lunch February 30", {}},
        {"call 4/31", {}},
        {"2/30/2024", {}},
        {"Feb 29, 2023", {}},
        {"June 31, 2024 party", {}},
        {"Dec 28 - Feb 30, 2027", {}},
        {"from 3/1/2024 to 2/30/2024", {}},
        {"pay the rent two weeks from Friday", {}},
        {"weeks after tomorrow", {}},
        // Beside them, dates that exist.
        {"Feb 29, 2024", {"1 0-11 2"}},
        {"Oct 3 - Nov 5, 2015", {"1 0-18 2"}},
        {"pay the rent 2 weeks from Friday", {"1 13-31 2"}},
        {"lunch February 28", {"1 6-16 2"}},
    };
    for (const Row& row : rows) {
        delete context;
        context = parser->createContext();
        EXPECT_EQ(row.lines, Parse(row.text)) << row.text;
    }
}

TEST_F(ParserTest, AnImpossibleDateStaysUnheardThroughEdits)
{
    parser->setCallback(&RecordEvents, &heard);
    EXPECT_TRUE(Parse("lunch 2/30/2024").empty());
    // Moved, then removed: still nothing.
    EXPECT_TRUE(Parse("a lunch 2/30/2024").empty());
    EXPECT_TRUE(Parse("a lunch").empty());
    EXPECT_EQ(std::vector<std::string>{"1 8-16 2"}, Parse("a lunch 2/28/2024"));
}
