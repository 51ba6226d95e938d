// The destination sinks through the real parser manager: which handler each
// event kind reaches, and what becomes of a destination's failures.
#include "DestTestSupport.h"
#include "ButtonProps.h"
#include "DestUtil.h"
#include "ParserMgrFixture.h"
#include "QuillmateExcept.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace parse_test;

namespace {

// Remembers the keyphrases it is given, in order.
class KeyphraseSink : public QuiParseResultSink {
public:
    void Callback(int, QuiPrsItemRole*, QuiPrsKeyphrase* keyphrase) override { keyphrases.push_back(keyphrase); }
    std::vector<QuiPrsKeyphrase*> keyphrases;
};

enum SinkKind { Destination, Date, WebAction };

std::unique_ptr<QuiDestinationSink> MakeSink(SinkKind kind)
{
    switch (kind) {
    case Date:
        return std::make_unique<QuiDateSink>();
    case WebAction:
        return std::make_unique<QuiWebActionSink>();
    default:
        return std::make_unique<QuiDestinationSink>();
    }
}

const char* Name(SinkKind kind)
{
    return kind == Date ? "date sink" : kind == WebAction ? "web action sink" : "destination sink";
}

class DestinationSinks : public ParserMgrTest {
protected:
    void SetUp() override
    {
        ParserMgrTest::SetUp();
        Ready();
        ASSERT_EQ(0, manager->CreateContext(&context));
    }
    void TearDown() override
    {
        manager->DestroyContext(context);
        ParserMgrTest::TearDown();
    }

    // Each row of a test starts in a context of its own.
    void NewContext()
    {
        manager->DestroyContext(context);
        ASSERT_EQ(0, manager->CreateContext(&context));
    }

    // `sink` for the pane's destination, then `after` for the same dates.
    void Register(QuiDestinationSink* sink, QuiParseResultSink* after)
    {
        sink->SetDestination(pane.Dest());
        ASSERT_TRUE(manager->RegisterSink("Date", context, Type(kDateType), sink));
        ASSERT_TRUE(manager->RegisterSink("Date", context, Type(kDateType), after));
    }

    CTestPane pane;
    QuiPrsContext* context = nullptr;
};

} // namespace

TEST_F(DestinationSinks, EachKindReachesItsHandler)
{
    const char* texts[] = {"call the bank tomorrow", "please call the bank tomorrow", "please call the bank"};
    typedef std::vector<std::string> Log;
    struct Row {
        SinkKind kind;
        Log steps[3];
    } rows[] = {
        {Destination, {{"1:1:6", "1:1:5"}, {"3:3:6", "3:3:5"}, {"2:2:6", "2:2:5"}}},
        {Date, {{"1:1:6", "1:1:5"}, {"3:3:6", "3:3:5"}, {"2:2:6", "2:2:5"}}},
        // A moved keyphrase never reaches a web action's destination.
        {WebAction, {{"1:1:6", "1:1:5"}, {}, {"2:2:6", "2:2:5"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Name(row.kind));
        NewContext();
        pane.Dest()->log.clear();
        pane.Dest()->extras.clear();
        pane.Dest()->sinks.clear();
        std::unique_ptr<QuiDestinationSink> sink = MakeSink(row.kind);
        KeyphraseSink plain;
        Register(sink.get(), &plain);
        for (int i = 0; i < 3; i++) {
            pane.Dest()->log.clear();
            EXPECT_EQ(0, manager->Parse(texts[i], context));
            EXPECT_EQ(row.steps[i], pane.Dest()->log) << texts[i];
        }
        // The extra value is the keyphrase's address, the same in every event;
        // the sink passes itself.
        ASSERT_FALSE(plain.keyphrases.empty());
        for (INT_PTR extra : pane.Dest()->extras)
            EXPECT_EQ(plain.keyphrases.front(), KeyphraseOf(extra));
        for (QuiDestinationSink* passed : pane.Dest()->sinks)
            EXPECT_EQ(sink.get(), passed);
    }
}

TEST(DestinationSinkIds, TheExtraValueAndTheFieldsIdGiveTheKeyphraseBackWhereverItLies)
{
    // Keyphrases on both sides of 2 GB and, where pointers are wider, of 4 GB.
    std::vector<UINT_PTR> addresses = {0x10, 0x7FFF0000, 0x80001000, 0xFFFF0000};
#ifdef _WIN64
    addresses.push_back(0x100000010ull);
    addresses.push_back(0x7FF612345670ull);
#endif
    CTestPane pane;
    QuiDestinationSink sink;
    sink.SetDestination(pane.Dest());
    QuiPrsItemRole role(0, nullptr, false);
    CCheckBoxProp field(nullptr);
    for (UINT_PTR address : addresses) {
        QuiPrsKeyphrase* keyphrase = reinterpret_cast<QuiPrsKeyphrase*>(address);
        for (int kind = 1; kind <= 3; kind++) {
            SCOPED_TRACE(testing::Message() << std::hex << address << " kind " << kind);
            sink.Callback(kind, &role, keyphrase);
            ASSERT_EQ(static_cast<size_t>(kind), pane.Dest()->extras.size());
            EXPECT_EQ(keyphrase, KeyphraseOf(pane.Dest()->extras.back()));
            field.SetKeyphraseId(pane.Dest()->extras.back());
            EXPECT_EQ(keyphrase, KeyphraseOf(field.GetKeyphraseId()));
        }
        pane.Dest()->extras.clear();
    }
}

TEST_F(DestinationSinks, FailuresOfTheDestination)
{
    struct Row {
        SinkKind kind;
        const char* what;
        std::function<void(int* deleted)> fail;
        bool counted;                // thrown by pointer and counted when ended
        size_t heardByDestination;   // of the two roles of "tomorrow"
        size_t heardByNextSink;
    } rows[] = {
        {Destination, "parse result exception", [](int*) { throw QUI_PARSE_RESULT_EXCEPTION(); }, false, 2, 2},
        {Destination, "framework exception", [](int* d) { throw new CCounted<CException>(d); }, true, 2, 2},
        {Destination, "standard exception", [](int*) { throw std::runtime_error("x"); }, false, 2, 2},
        {Date, "framework exception", [](int* d) { throw new CCounted<CException>(d); }, true, 2, 2},
        {Date, "automation exception", [](int* d) { throw new CCounted<COleException>(d); }, true, 2, 2},
        {Date, "number", [](int*) { throw 7; }, false, 2, 2},
        {WebAction, "automation exception", [](int* d) { throw new CCounted<COleException>(d); }, true, 2, 2},
        {WebAction, "parse result exception", [](int*) { throw QUI_PARSE_RESULT_EXCEPTION(); }, false, 2, 2},
        // Any other failure ends the dispatch of the keyphrase quietly.
        {WebAction, "framework exception", [](int* d) { throw new CCounted<CException>(d); }, true, 1, 0},
        {WebAction, "number", [](int*) { throw 7; }, false, 1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(Name(row.kind)) + ", " + row.what);
        NewContext();
        int thrown = 0, deleted = 0;
        pane.Dest()->log.clear();
        pane.Dest()->fail = [&] {
            ++thrown;
            row.fail(&deleted);
        };
        std::unique_ptr<QuiDestinationSink> sink = MakeSink(row.kind);
        KeyphraseSink next;
        Register(sink.get(), &next);
        EXPECT_EQ(QUI_PARSER_FAILED, manager->Parse("call the bank tomorrow", context));
        EXPECT_EQ(row.heardByDestination, pane.Dest()->log.size());
        EXPECT_EQ(row.heardByNextSink, next.keyphrases.size());
        // Exceptions thrown by pointer are ended wherever they are swallowed.
        EXPECT_EQ(row.counted ? thrown : 0, deleted);
        // The same text again: both roles are taken away and offered again.
        pane.Dest()->fail = nullptr;
        pane.Dest()->log.clear();
        EXPECT_EQ(0, manager->Parse("call the bank tomorrow", context));
        EXPECT_EQ(4u, pane.Dest()->log.size());
    }
    pane.Dest()->fail = nullptr;
}

TEST_F(DestinationSinks, ProgramExceptionsAreEndedWhereSwallowed)
{
    // One of the program's own exceptions, counted through its report text.
    struct Counted : COzuExcept {
        explicit Counted(int* deleted) : COzuExcept(60074), m_deleted(deleted) {}
        ~Counted() override { ++*m_deleted; }
        int* m_deleted;
    };
    int deleted = 0;
    pane.Dest()->fail = [&] { throw new Counted(&deleted); };
    QuiDestinationSink sink;
    KeyphraseSink next;
    Register(&sink, &next);
    EXPECT_EQ(QUI_PARSER_FAILED, manager->Parse("tomorrow", context));
    EXPECT_EQ(2, deleted);
    EXPECT_EQ(2u, next.keyphrases.size());
}

TEST_F(DestinationSinks, ASinkWithoutDestinationHandsOnNothing)
{
    QuiDateSink sink;
    EXPECT_EQ(nullptr, sink.GetDestination());
    KeyphraseSink next;
    ASSERT_TRUE(manager->RegisterSink("Date", context, Type(kDateType), &sink));
    ASSERT_TRUE(manager->RegisterSink("Date", context, Type(kDateType), &next));
    EXPECT_EQ(0, manager->Parse("tomorrow", context));
    EXPECT_EQ(2u, next.keyphrases.size());
    EXPECT_TRUE(pane.Dest()->log.empty());
}

TEST(DestinationSink, TagsAreTheSinkTags)
{
    QuiWebActionSink sink;
    EXPECT_EQ(0, sink.QueryTag());
    sink.AssignTag(7);
    EXPECT_EQ(7, sink.GetTag());
    sink.SetTag(-3);
    EXPECT_EQ(-3, sink.QueryTag());
}

TEST(Destination, AvailableAfterConstruction)
{
    CTestPane pane;
    CDestination* destination = pane.GetDestination();
    EXPECT_TRUE(destination->IsEnabled());
    EXPECT_FALSE(destination->IsModified());
    destination->SetEnabled(false);
    EXPECT_FALSE(destination->IsEnabled());
    // The adaptors stand over the pane's own buttons.
    EXPECT_EQ(pane.GetMenuButton(), destination->GetMenuProp()->GetControl());
    EXPECT_EQ(pane.GetCheckButton(), destination->GetCheckProp()->GetControl());
}
