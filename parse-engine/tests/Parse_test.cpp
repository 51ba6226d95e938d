#include "AllocationLimit.h"
#include "Context.h"
#include "Parser.h"
#include "TestGrammar.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace grammar;
using Lines = std::vector<std::string>;

namespace {

// A parser with a few words and rules, a context over it and its events.
class Small {
public:
    Small()
        : parser(PrsInit()), log(parser)
    {
        Word("monday", "day-name", 4, 1);
        Word("tuesday", "day-name", 4, 2);
        Word("pm", "time-marker", 9, 1);
        Word("am", "time-marker", 9, 0);
        Word("New York", "city", 7, 1);
        Word("on", "date-prefix", 0, 0);
        AddRule(parser, nullptr, "date", true, 29, {{"day-name", {Transfer(4, 4)}}});
        AddRule(parser, nullptr, "date", true, 29, {{"date-prefix", {}}, {"date", {Transfer(-1, 0)}}});
        AddRule(parser, nullptr, "time", true, 93, {{"numeral", {Constrain(PRS_SLOT_NUMBER, 1, 12), Transfer(PRS_SLOT_NUMBER, 7)}},
                                                    {"time-marker", {Transfer(9, 9)}}});
        AddRule(parser, nullptr, "place", true, 29, {{"city", {Transfer(7, 7)}}});
        context = PrsCreateContext(parser);
    }
    ~Small()
    {
        PrsContextDestroy(context);
        PrsDeInit(parser);
    }
    void Word(const char* text, const char* symbol, int slot, int value)
    {
        Slots* s = SlotsInit();
        if (slot)
            SlotsSetInt(s, slot, value);
        PrsAddLexiconPhrase(parser, W(text).c_str(), W(symbol).c_str(), s);
        SlotsDeinit(s);
    }
    Lines Parse(const char* text)
    {
        PrsParse(parser, context, W(text).c_str());
        return log.Take();
    }

    PrsParser* parser;
    EventLog log;
    PrsContext* context;
};

Lines Keyphrases(PrsContext* c)
{
    Lines found;
    for (PrsKeyphrase* k : c->current)
        found.push_back(Describe(k));
    return found;
}

std::string Filled(const char* piece, size_t length)
{
    std::string text;
    while (text.size() + strlen(piece) <= length)
        text += piece;
    return text;
}

} // namespace

TEST(Parse, EventsBetweenParses)
{
    struct Row { const char* what; const char* before; const char* after; Lines events; } rows[] = {
        {"same text twice", "call Monday 3 pm", "call Monday 3 pm", {}},
        {"a word before a date", "call Monday", "call bob Monday", {"3 date 9-14 was 5-10"}},
        {"a word after it", "call Monday", "call Monday now", {}},
        {"Monday to Tuesday", "call Monday", "call Tuesday", {"2 date 5-10", "1 date 5-11"}},
        {"empty text", "Monday 3 pm", "", {"2 date 0-5", "2 time 7-10"}},
        {"moved and added", "Monday", "x Monday 3 pm", {"3 date 2-7 was 0-5", "1 time 9-12"}},
        {"moved and removed", "3 pm Monday", "x Monday", {"3 date 2-7 was 5-10", "2 time 0-3"}},
        {"grown by a prefix", "Monday", "on Monday", {"2 date 0-5", "1 date 0-8"}},
        {"two-word phrase", "", "New York", {"1 place 0-7"}},
        {"phrase words apart", "", "New big York", {}},
        {"phrase across punctuation", "", "New. York", {}},
        {"phrase of other case", "", "NEW york", {"1 place 0-7"}},
        {"nearness 0: punctuation between", "", "3 . pm", {}},
        {"a constraint fails", "", "13 pm", {}},
        {"digits glued to a word", "", "3pm", {"1 time 0-2"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Small s;
        s.Parse(r.before);
        EXPECT_EQ(r.events, s.Parse(r.after));
    }
}

TEST(Parse, KeyphrasesKeepTheirIdentity)
{
    Small s;
    PrsParse(s.parser, s.context, W("call Monday").c_str());
    ASSERT_EQ(1u, s.log.Handles().size());
    PrsKeyphrase* added = s.log.Handles()[0];
    EXPECT_EQ((Lines{"1 date 5-10"}), s.log.Take());
    EXPECT_EQ((Lines{}), s.Parse("call Monday"));
    PrsKeyphrase* monday = nullptr;
    ASSERT_EQ(1, PrsContextGetKeyphrasesAtOffset(s.context, 6, 1, &monday));
    EXPECT_EQ(added, monday);
    int tag = 5;
    PrsKeyphraseSetUserData(monday, &tag);
    PrsParse(s.parser, s.context, W("please call Monday").c_str());
    ASSERT_EQ(1u, s.log.Raw().size());
    EXPECT_EQ(monday, s.log.Raw()[0].keyphrase);
    EXPECT_EQ(&tag, PrsKeyphraseGetUserData(monday));
    s.log.Take();
    EXPECT_EQ((Lines{"2 date 12-17"}), s.Parse("please call"));
}

TEST(Parse, KeyphrasesAtAnOffset)
{
    Small s;
    s.Parse("Monday 3 pm New York");
    struct Row { int offset; Lines found; } rows[] = {
        {-1, {}}, {0, {"date 0-5"}}, {5, {"date 0-5"}}, {6, {}}, {7, {"time 7-10"}},
        {12, {"place 12-19"}}, {19, {"place 12-19"}}, {20, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.offset);
        PrsKeyphrase* found[4] = {};
        int n = PrsContextGetKeyphrasesAtOffset(s.context, r.offset, 4, found);
        Lines got;
        for (int i = 0; i < n; ++i)
            got.push_back(Describe(found[i]));
        EXPECT_EQ(r.found, got);
        EXPECT_EQ(static_cast<int>(r.found.size()), PrsContextGetKeyphrasesAtOffset(s.context, r.offset, 0, nullptr));
    }
}

TEST(Parse, KeyphraseQueries)
{
    Small s;
    s.Parse("at 3 pm");
    PrsKeyphrase* k = nullptr;
    ASSERT_EQ(1, PrsContextGetKeyphrasesAtOffset(s.context, 3, 1, &k));
    int first = -1, last = -1;
    EXPECT_EQ(6, PrsKeyphraseGetOffsets(k, &first, &last));
    EXPECT_EQ(3, first);
    EXPECT_EQ("time", Narrow(PrsKeyphraseGetSymbolName(k)));
    Slots* info = PrsKeyphraseGetSemanticInfo(k);
    EXPECT_EQ(3, SlotsGetInt(info, 7));
    EXPECT_EQ(1, SlotsGetInt(info, 9));
    EXPECT_EQ(nullptr, PrsKeyphraseGetUserData(k));
}

TEST(Parse, DestroyingAContextRemovesItsKeyphrases)
{
    Small s;
    s.Parse("Monday New York");
    PrsContext* second = PrsCreateContext(s.parser);
    PrsParse(s.parser, second, W("3 pm").c_str());
    EXPECT_EQ((Lines{"1 time 0-3"}), s.log.Take());
    PrsContextDestroy(second);
    EXPECT_EQ((Lines{"2 time 0-3"}), s.log.Take());
    PrsContextDestroy(nullptr);
}

TEST(Parse, ContextsSeeRulesAddedBeforeThem)
{
    Small s;
    AddRule(s.parser, nullptr, "meridiem", true, 29, {{"time-marker", {}}});
    EXPECT_EQ((Lines{}), s.Parse("pm"));
    PrsContext* later = PrsCreateContext(s.parser);
    PrsParse(s.parser, later, W("pm").c_str());
    EXPECT_EQ((Lines{"1 meridiem 0-1"}), s.log.Take());
    PrsContextDestroy(later);
    s.log.Take();
}

TEST(Parse, EndOfTextIsAnElement)
{
    Small s;
    AddRule(s.parser, nullptr, "closing", true, 29, {{"day-name", {}}, {"eof", {}}});
    PrsContextDestroy(s.context);
    s.context = PrsCreateContext(s.parser);
    struct Row { const char* text; Lines events; } rows[] = {
        {"Monday", {"1 closing 0-6"}},
        {"Monday next", {"2 closing 0-6", "1 date 0-5"}},
        {"next Monday  ", {"2 date 0-5", "1 closing 5-11"}},
        {"", {"2 closing 5-11"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(r.events, s.Parse(r.text));
    }
}

TEST(Parse, NearnessAllowsGaps)
{
    struct Row { int nearness; const char* text; Lines events; } rows[] = {
        {0, "3 pm", {"1 time 0-3"}},
        {0, "3 x pm", {}},
        {1, "3 x pm", {"1 time 0-5"}},
        {1, "3, pm", {"1 time 0-4"}},
        {1, "3 x y pm", {}},
        {2, "3 x, pm", {"1 time 0-6"}},
        {-1, "3 pm", {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        PrsParser* p = PrsInit();
        EventLog log(p);
        Slots* pm = SlotsInit();
        SlotsSetInt(pm, 9, 1);
        PrsAddLexiconEntry(p, W("pm").c_str(), W("time-marker").c_str(), pm);
        SlotsDeinit(pm);
        AddRule(p, nullptr, "time", true, 93, {{"numeral", {Transfer(PRS_SLOT_NUMBER, 7)}},
                                              {"time-marker", {Transfer(9, 9)}, r.nearness}});
        PrsContext* c = PrsCreateContext(p);
        PrsParse(p, c, W(r.text).c_str());
        EXPECT_EQ(r.events, log.Take());
        PrsContextDestroy(c);
        PrsDeInit(p);
    }
}

TEST(Parse, PhrasesOfOneRepeatedWordOverALongRunOfIt)
{
    // Keywords of 2 to 21 dashes over a run of dashes: every word of every
    // phrase is an element at every dash, and each later word must go only to
    // the items waiting for it, or the work grows with the square of the
    // keywords at every dash.
    PrsParser* p = PrsInit();
    EventLog log(p);
    uint64_t words = 0;
    for (int k = 2; k <= 21; ++k) {
        PrsAddLexiconPhrase(p, W(std::string(static_cast<size_t>(k), '-').c_str()).c_str(), W("dashes").c_str(), nullptr);
        words += static_cast<uint64_t>(k);
    }
    AddRule(p, nullptr, "mark", true, 29, {{"dashes", {}}});
    PrsContext* c = PrsCreateContext(p);
    const uint64_t run = 300;
    PrsParse(p, c, W(std::string(run, '-').c_str()).c_str());
    EXPECT_LE(c->chart.OfferCount(), 2 * run * words);
    const Lines events = log.Take();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ("1 mark 0-20", events.front());
    // A phrase still needs its words in a row.
    PrsParse(p, c, W("- x -").c_str());
    for (const std::string& e : log.Take())
        EXPECT_NE('1', e[0]) << e;
    PrsContextDestroy(c);
    PrsDeInit(p);
}

TEST(Parse, EventOrderIsMovedRemovedAdded)
{
    Small s;
    s.Parse("Monday 3 pm");
    PrsParse(s.parser, s.context, W("so Monday 4 pm New York").c_str());
    std::vector<int> order;
    for (const EventLog::Event& e : s.log.Raw())
        order.push_back(e.event);
    EXPECT_EQ((std::vector<int>{3, 2, 1, 1}), order);
    s.log.Take();
}

TEST(Parse, HostileGrammarsEnd)
{
    // Rules without entries, rules that make each other from one element,
    // and a rule that reaches itself through first elements.
    PrsParser* p = PrsInit();
    EventLog log(p);
    PrsAddLexiconEntry(p, W("a").c_str(), W("y").c_str(), nullptr);
    PrsRule* empty = PrsCreateRule(p, nullptr, W("x").c_str(), 1);
    PrsAddRule(p, empty);
    PrsRule* emptyInner = PrsCreateRule(p, nullptr, W("y").c_str(), 0);
    PrsAddRule(p, emptyInner);
    AddRule(p, nullptr, "x", false, 29, {{"y", {Concat(1, 1)}}});
    AddRule(p, nullptr, "y", false, 29, {{"x", {Concat(1, 1)}}});
    AddRule(p, nullptr, "x", false, 29, {{"x", {}}});
    AddRule(p, nullptr, "z", false, 29, {{"w", {}}, {"y", {}}});
    AddRule(p, nullptr, "w", false, 29, {{"z", {}}, {"y", {}}});
    AddRule(p, nullptr, "top", true, 29, {{"x", {}}});
    AddRule(p, nullptr, "top", true, 29, {{"z", {}}});
    PrsContext* c = PrsCreateContext(p);
    PrsParse(p, c, W("a a").c_str());
    Lines events = log.Take();
    EXPECT_FALSE(events.empty());
    for (const std::string& e : events)
        EXPECT_EQ("1 top", e.substr(0, 5));
    PrsContextDestroy(c);
    PrsDeInit(p);
}

TEST(Parse, RulesStayValidWhenDestroyed)
{
    Small s;
    PrsRule* added = AddRule(s.parser, nullptr, "meridiem", true, 29, {{"time-marker", {}}});
    PrsContext* c = PrsCreateContext(s.parser);
    // A rule that was added belongs to the parser: destroying it is refused.
    PrsRuleDestroy(added);
    PrsParse(s.parser, c, W("pm").c_str());
    EXPECT_EQ((Lines{"1 meridiem 0-1"}), s.log.Take());
    // A rule that was never added, but that a context has predicted, goes
    // from the context too.
    PrsRule* loose = PrsCreateRule(s.parser, nullptr, W("time-marker").c_str(), 0);
    PrsRuleAddEntry(s.parser, loose, W("numeral").c_str());
    PrsParse(s.parser, c, W("5 pm").c_str());
    s.log.Take();
    PrsParse(s.parser, c, W("5").c_str());
    EXPECT_EQ((Lines{"2 time 0-3", "1 meridiem 0-0"}), s.log.Take());
    PrsRuleDestroy(loose);
    PrsParse(s.parser, c, W("5 ").c_str());
    EXPECT_EQ((Lines{"2 meridiem 0-0"}), s.log.Take());
    PrsContextDestroy(c);
    s.log.Take();
}

TEST(Parse, CallbacksCannotPullTheContextAway)
{
    struct Reentrant {
        static void PRSAPI Callback(int, PrsContext* c, PrsKeyphrase*, int, int, void* data)
        {
            Reentrant* self = static_cast<Reentrant*>(data);
            self->nested = PrsParse(self->parser, c, W("Tuesday").c_str());
            if (self->destroy)
                PrsContextDestroy(c);
            ++self->calls;
        }
        PrsParser* parser;
        bool destroy = false;
        int nested = -1;
        int calls = 0;
    };
    Small s;
    Reentrant r{s.parser};
    PrsSetCallback(s.parser, &Reentrant::Callback, &r);
    EXPECT_EQ(1, PrsParse(s.parser, s.context, W("Monday").c_str()));
    EXPECT_EQ(0, r.nested) << "a context is not parsed from its own callback";
    r.destroy = true;
    PrsParse(s.parser, s.context, W("").c_str());
    EXPECT_EQ(2, r.calls);
    s.context = PrsCreateContext(s.parser);   // the old one went when its parse returned
    PrsSetCallback(s.parser, nullptr, nullptr);
}

TEST(Parse, ACallbackThatThrowsFailsTheParse)
{
    struct Throwing {
        static void PRSAPI Callback(int, PrsContext*, PrsKeyphrase*, int, int, void* data)
        {
            if (*static_cast<bool*>(data))
                throw std::bad_alloc();
        }
    };
    Small s;
    bool fail = true;
    PrsSetCallback(s.parser, &Throwing::Callback, &fail);
    EXPECT_EQ(0, PrsParse(s.parser, s.context, W("Monday").c_str()));
    fail = false;
    EXPECT_EQ(1, PrsParse(s.parser, s.context, W("Tuesday").c_str()));
    PrsSetCallback(s.parser, nullptr, nullptr);
}

TEST(Parse, ParserDestroyedBeforeItsContexts)
{
    PrsParser* p = PrsInit();
    AddRule(p, nullptr, "n", true, 29, {{"numeral", {}}});
    PrsRule* loose = PrsCreateRule(p, nullptr, W("loose").c_str(), 0);
    PrsContext* c = PrsCreateContext(p);
    PrsParse(p, c, W("1 2").c_str());
    PrsDeInit(p);
    EXPECT_EQ(nullptr, c->parser);
    EXPECT_EQ(0, PrsParse(c->parser, c, W("3").c_str()));
    PrsContextDestroy(c);
    PrsRuleDestroy(loose);
}

TEST(Parse, DateGrammarNote)
{
    fake_dates::Install();
    PrsParser* p = PrsInit();
    EventLog log(p);
    BuildDateGrammar(p);
    PrsContext* c = PrsCreateContext(p);
    ASSERT_EQ(200u, std::string(kNote200).size());
    PrsParse(p, c, W(kNote200).c_str());
    EXPECT_EQ((Lines{"1 date 39-50", "1 time 52-61", "1 date 101-113", "1 due-date 152-160",
                     "1 date 183-190", "1 time 192-198"}),
              log.Take());
    struct Row { const char* text; Lines events; } rows[] = {
        {"Monday 6/17/2024", {"1 date 0-15"}},
        {"Tuesday 6/17/2024", {"1 date 0-6", "1 date 8-16"}},
        {"Monday 2/30/2024", {"1 date 0-5", "1 date 7-15"}},
        {"from 9 am to 11 am", {"1 time-range 0-17"}},
        {"2024-06-14", {"1 date 0-9"}},
        {"14-jun-24", {"1 date 0-8"}},
        {"the first Monday of July", {"1 date 4-23"}},
        {"noon", {"1 time 0-3"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        PrsParse(p, c, W("").c_str());
        log.Take();
        PrsParse(p, c, W(r.text).c_str());
        EXPECT_EQ(r.events, log.Take());
    }
    PrsContextDestroy(c);
    PrsDeInit(p);
    fake_dates::Remove();
}

TEST(Parse, NotesOfOnePieceUpToTheNoteLimitStayWithinTheirBounds)
{
    // The chart grows with the text, not with its square ("mon mon ..." is a
    // date of every length), and lets go of what a long text needed.
    const size_t kNoteLimit = 32767;
    struct Row { const char* piece; size_t itemsPerCharacter; } rows[] = {
        {"mon ", 4}, {"mon. ", 6}, {"mon.", 7}, {"on mon ", 3}, {"Monday ", 3}, {"mon after ", 2},
        {"mon - ", 2}, {"3 pm - ", 2}, {"1/", 10}, {"1 ", 1}, {"2 weeks after ", 1},
        // Keywords of 2 to 21 dashes over dashes: one item for each keyword
        // that ends at a dash, and one for what it makes.
        {"-", 48},
    };
    fake_dates::Install();
    PrsParser* p = PrsInit();
    BuildDateGrammar(p);
    for (int k = 2; k <= 21; ++k)
        PrsAddLexiconPhrase(p, W(std::string(static_cast<size_t>(k), '-').c_str()).c_str(), W("dashes").c_str(), nullptr);
    AddRule(p, nullptr, "mark", true, 29, {{"dashes", {}}});
    for (const Row& r : rows) {
        SCOPED_TRACE(r.piece);
        const std::string text = Filled(r.piece, kNoteLimit);
        PrsContext* c = PrsCreateContext(p);
        ASSERT_EQ(1, PrsParse(p, c, W(text.c_str()).c_str()));
        EXPECT_LE(c->chart.ItemCount(), r.itemsPerCharacter * text.size());
        EXPECT_LE(c->chart.KeptBytes(), size_t(1) << 20);
        for (PrsKeyphrase* k : c->current)
            EXPECT_LT(k->end.index - k->start.index, osprey::kMaxSpan) << Describe(k);
        PrsContextDestroy(c);
    }
    PrsDeInit(p);
    fake_dates::Remove();
}

TEST(Parse, ARunOfDayNamesIsMondaysThatStayWhileTheUserTypes)
{
    // Past the bounds a run is cut into dates, each a Monday; a day name
    // typed at the end leaves those before it alone.
    fake_dates::Install();
    PrsParser* p = PrsInit();
    EventLog log(p);
    BuildDateGrammar(p);
    PrsContext* c = PrsCreateContext(p);
    std::string text = Filled("mon ", 120);
    PrsParse(p, c, W(text.c_str()).c_str());
    const Lines added = log.Take();
    ASSERT_GT(added.size(), 1u);
    int covered = 0;
    for (PrsKeyphrase* k : c->current) {
        EXPECT_EQ("date", Narrow(PrsKeyphraseGetSymbolName(k))) << Describe(k);
        EXPECT_EQ(1, SlotsGetInt(PrsKeyphraseGetSemanticInfo(k), 4)) << Describe(k);
        EXPECT_EQ(covered, k->start.first) << Describe(k);
        covered = k->end.last + 2;
    }
    EXPECT_EQ(static_cast<int>(text.size()), covered);
    const Lines before = Keyphrases(c);
    const int lastStart = c->current.back()->start.first;
    text += "mon";
    PrsParse(p, c, W(text.c_str()).c_str());
    const Lines typed = log.Take();
    ASSERT_FALSE(typed.empty());
    for (const std::string& e : typed)
        EXPECT_LE(lastStart, std::stoi(e.substr(7))) << e;
    Lines now = Keyphrases(c);
    now.pop_back();
    EXPECT_EQ(Lines(before.begin(), before.end() - 1), now);
    PrsContextDestroy(c);
    PrsDeInit(p);
    fake_dates::Remove();
}

TEST(Parse, AParseThatRunsOutOfMemoryLeavesWhatTheCallerHeardOf)
{
    fake_dates::Install();
    PrsParser* p = PrsInit();
    EventLog log(p);
    BuildDateGrammar(p);
    PrsContext* c = PrsCreateContext(p);
    PrsParse(p, c, W("call Monday at 3 pm").c_str());
    const Lines before = Keyphrases(c);
    log.Take();
    {
        // The candidates of a long run no longer fit, once its items do.
        FailingAllocations fail(size_t(1) << 20);
        EXPECT_EQ(0, PrsParse(p, c, W(("call Monday at 3 pm " + Filled("mon ", 32000)).c_str()).c_str()));
    }
    EXPECT_EQ((Lines{}), log.Take());
    EXPECT_EQ(before, Keyphrases(c));
    EXPECT_LE(c->chart.KeptBytes(), size_t(1) << 20) << "what the failed parse held";
    // The next keystroke parses again.
    PrsParse(p, c, W("call Tuesday at 3 pm").c_str());
    EXPECT_EQ((Lines{"3 time 13-19 was 12-18", "2 date 5-10", "1 date 5-11"}), log.Take());
    PrsContextDestroy(c);
    PrsDeInit(p);
    fake_dates::Remove();
}
