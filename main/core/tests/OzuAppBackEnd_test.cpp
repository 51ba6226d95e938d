// The application object and its back end: the version test, the errors
// that end the start, and the grace period after a failed connection.
#include "AppTestSupport.h"

#include <new>

#include "QuiParserMgr.h"

using namespace app_test;

namespace {

class OzuAppBackEnd : public AppFixture {};

TEST_F(OzuAppBackEnd, TheVersionTestIsSkippedByNoVersionAnywhereOrByFeature8)
{
    struct Row {
        const char* commandLine;
        bool feature8;
        long version;
        BOOL started;
    } rows[] = {
        {"", false, 5, TRUE},
        {"", false, 4, FALSE},
        {"", false, 6, FALSE},
        {"/noversion", false, 4, TRUE},
        {"-a /noversion -b", false, 0, TRUE},
        {"/NOVERSION", false, 4, FALSE},
        {"noversion", false, 4, FALSE},
        {"", true, 0, TRUE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.commandLine) + (row.feature8 ? " with feature 8" : ""));
        CPromptScript prompts;
        g_script = EditionScript();
        g_script.version = row.version;
        if (row.feature8)
            g_script.features.insert(8);
        EXPECT_EQ(row.started, Start(row.commandLine));
        std::vector<std::string> expected;
        if (!row.started)
            expected.push_back(Message(IDS_BACKEND_VERSION));
        EXPECT_EQ(expected, Texts(prompts));
        EXPECT_EQ(row.started ? 1 : 0, g_script.loads);
        Stop();
    }
}

// Loading the items runs out of memory.
const UINT kNoMemory = ~0u;

TEST_F(OzuAppBackEnd, BackEndErrorsAtStartUp)
{
    struct Row {
        UINT code;
        BOOL started;
        UINT message;
    } rows[] = {
        {2055, FALSE, IDS_BACKEND_MISSING},
        {IDS_NO_RECORD_CONTROL, FALSE, IDS_NO_RECORD_CONTROL},
        {kNoMemory, FALSE, IDS_CONNECT_NO_MEMORY},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        CPromptScript prompts;
        g_script = EditionScript();
        if (row.code == kNoMemory)
            g_script.whileLoading = [] { throw std::bad_alloc(); };
        else
            g_script.failLoadWith = row.code;
        EXPECT_EQ(row.started, Start());
        EXPECT_EQ(std::vector<std::string>{Message(row.message)}, Texts(prompts));
        Stop();
    }
}

TEST_F(OzuAppBackEnd, AnUnreachableBackEndIsRetriedForTheGracePeriodThenTheProgramEnds)
{
    g_script.unreachableLoads = 1000;
    Make();
    app->tick = 0xFFFFFF00;  // the tick count wraps round inside the period
    ASSERT_TRUE(app->InitInstance());
    EXPECT_TRUE(app->IsRetrying());
    struct Row {
        DWORD tick;
        BOOL moreIdle;
        bool retrying;
    } rows[] = {
        {0xFFFFFF00, TRUE, true},
        {0x00000100, TRUE, true},
        {0xFFFFFF00 + 300000, TRUE, true},
        {0xFFFFFF00 + 300001, FALSE, false},
    };
    CPromptScript prompts;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tick);
        int syncs = g_script.syncs;
        app->tick = row.tick;
        EXPECT_EQ(row.moreIdle, app->OnIdle(0));
        EXPECT_EQ(row.retrying, app->IsRetrying() != FALSE);
        if (row.retrying) {
            EXPECT_LT(syncs, g_script.syncs) << "each pass rebuilds";
        }
    }
    EXPECT_EQ(std::vector<std::string>{Message(IDS_BACKEND_GAVE_UP)}, Texts(prompts));
    EXPECT_TRUE(TakeQuit());
    Stop();
}

TEST_F(OzuAppBackEnd, ABackEndThatAnswersWithinTheGracePeriodEndsTheRetries)
{
    g_script.unreachableLoads = 2;
    ASSERT_TRUE(Start());
    ASSERT_TRUE(app->IsRetrying());
    CPromptScript prompts;
    EXPECT_TRUE(app->OnIdle(0));
    EXPECT_TRUE(app->IsRetrying());
    EXPECT_FALSE(app->OnIdle(1));
    EXPECT_FALSE(app->IsRetrying());
    app->tick += 400000;
    app->OnIdle(2);
    EXPECT_TRUE(Texts(prompts).empty());
    EXPECT_FALSE(TakeQuit());
    Stop();
}

// Records the names of the items it hears of.
class NameSink : public QuiParseResultSink {
public:
    void Callback(int, QuiPrsItemRole* role, QuiPrsKeyphrase*) override
    {
        if (role && role->getItem())
            names.push_back(role->getItem()->getDisplayName());
    }
    std::vector<std::string> names;
};

// The names of the categories that the application's parser finds in a text.
std::vector<std::string> CategoriesIn(COzuApp* app, const char* text)
{
    NameSink sink;
    QuiParserMgr* manager = app->GetParserMgr();
    CDatastore* datastore = app->GetDatastore();
    QuiItemType* type = datastore ? datastore->GetItemType(datastore_test::kCategoryType) : nullptr;
    QuiPrsContext* context = nullptr;
    if (!manager || !type || manager->CreateContext(&context) != 0)
        return {"<no parser>"};
    manager->RegisterSink("Alias", context, type, &sink);
    manager->Parse(text, context);
    manager->DestroyContext(context);
    return sink.names;
}

TEST_F(OzuAppBackEnd, TheBackEndsCategoriesAreParsedOnceItAnswersWithinTheGracePeriod)
{
    g_script.unreachableLoads = 1;
    g_script.backEndCategory = "Zeppelin";
    ASSERT_TRUE(Start());
    ASSERT_TRUE(app->IsRetrying());
    EXPECT_FALSE(app->OnIdle(0));
    ASSERT_FALSE(app->IsRetrying());
    EXPECT_EQ(std::vector<std::string>{"Zeppelin"}, CategoriesIn(app.get(), "zeppelin ride"));
    Stop();
}

} // namespace
