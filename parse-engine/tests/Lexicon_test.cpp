#include "Parser.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

using namespace osprey;

namespace {

struct ParserDeleter {
    void operator()(PrsParser* p) const { PrsDeInit(p); }
};
using ParserPtr = std::unique_ptr<PrsParser, ParserDeleter>;

// Entries stored under a lower-cased text, in lookup order.
std::vector<const PrsLexiconEntry*> Under(const PrsParser* parser, const char* text)
{
    WText t = W(text);
    std::vector<const PrsLexiconEntry*> out;
    if (const auto* bucket = parser->lexicon.Bucket(TextHash(t.data(), t.size()))) {
        for (const Lexicon::Record& r : *bucket)
            if (r.text == t)
                out.push_back(r.entry);
    }
    return out;
}

size_t RecordCount(const PrsParser* parser, std::initializer_list<const char*> texts)
{
    size_t n = 0;
    for (const char* t : texts)
        n += Under(parser, t).size();
    return n;
}

Slots IntSlots(std::initializer_list<std::pair<int, int>> values)
{
    Slots s;
    for (auto v : values)
        SlotsSetInt(&s, v.first, v.second);
    return s;
}

PrsLexiconEntry* Add(PrsParser* p, const char* text, const char* symbol, const Slots& slots)
{
    return PrsAddLexiconEntry(p, W(text).c_str(), W(symbol).c_str(), &slots);
}

} // namespace

TEST(Lexicon, PhraseIsChainedAndRemovedWhole)
{
    ParserPtr p(PrsInit());
    Slots city = IntSlots({{7, 1}});
    PrsLexiconEntry* first = PrsAddLexiconPhrase(p.get(), W("New  York").c_str(), W("city").c_str(), &city);
    ASSERT_NE(nullptr, first);
    auto news = Under(p.get(), "new");
    auto yorks = Under(p.get(), "york");
    ASSERT_EQ(1u, news.size());
    ASSERT_EQ(1u, yorks.size());
    EXPECT_EQ(first, news[0]);
    EXPECT_FALSE(first->continuation);
    EXPECT_EQ(1, SlotsGetInt(&first->slots, 7));
    EXPECT_EQ(yorks[0], first->next);
    EXPECT_TRUE(yorks[0]->continuation);
    EXPECT_TRUE(yorks[0]->slots.records.empty());
    EXPECT_EQ(first->symbol, yorks[0]->symbol);

    EXPECT_EQ(2, PrsRemoveLexiconEntry(p.get(), first));
    EXPECT_EQ(0u, RecordCount(p.get(), {"new", "york"}));
}

TEST(Lexicon, PhraseWordsFollowTheTokenizer)
{
    ParserPtr p(PrsInit());
    struct Row { const char* text; std::vector<const char*> words; bool returned; } rows[] = {
        {"St. Louis", {"st", ".", "louis"}, true},
        {"12th", {"12", "th"}, true},
        {"Today", {"today"}, true},
        {"", {}, false},
        {"   ", {}, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        PrsLexiconEntry* e = PrsAddLexiconPhrase(p.get(), W(r.text).c_str(), W("x").c_str(), nullptr);
        EXPECT_EQ(r.returned, e != nullptr);
        const PrsLexiconEntry* expect = e;
        for (const char* w : r.words) {
            auto found = Under(p.get(), w);
            ASSERT_EQ(1u, found.size()) << w;
            EXPECT_EQ(expect, found[0]) << w;
            expect = found[0]->next;
        }
        EXPECT_EQ(nullptr, expect);
        if (e)
            PrsRemoveLexiconEntry(p.get(), e);
    }
}

TEST(Lexicon, ExactDuplicatesAreStoredOnce)
{
    struct Row { const char* what; const char* text2; const char* symbol2; Slots slots2; size_t records; } rows[] = {
        {"same word, symbol and slots", "monday", "day-name", IntSlots({{4, 1}}), 1},
        {"other case", "MONDAY", "day-name", IntSlots({{4, 1}}), 1},
        {"other slots", "monday", "day-name", IntSlots({{4, 2}}), 2},
        {"more slots", "monday", "day-name", IntSlots({{4, 1}, {5, 1}}), 2},
        {"other symbol", "monday", "which-date", IntSlots({{4, 1}}), 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ParserPtr p(PrsInit());
        PrsLexiconEntry* a = Add(p.get(), "Monday", "day-name", IntSlots({{4, 1}}));
        PrsLexiconEntry* b = Add(p.get(), r.text2, r.symbol2, r.slots2);
        ASSERT_NE(nullptr, a);
        ASSERT_NE(nullptr, b);
        EXPECT_EQ(r.records, Under(p.get(), "monday").size());
        // The entry that was not kept is not handed out (nor leaked): the
        // caller gets the stored one, which removes as expected.
        EXPECT_EQ(r.records == 1, a == b);
        PrsRemoveLexiconEntry(p.get(), b);
        EXPECT_EQ(r.records - 1, Under(p.get(), "monday").size());
    }
}

TEST(Lexicon, PhrasesAreNeverMerged)
{
    ParserPtr p(PrsInit());
    PrsLexiconEntry* a = PrsAddLexiconPhrase(p.get(), W("new york").c_str(), W("city").c_str(), nullptr);
    PrsLexiconEntry* b = PrsAddLexiconPhrase(p.get(), W("new york").c_str(), W("city").c_str(), nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(2u, Under(p.get(), "new").size());
    EXPECT_EQ(2u, Under(p.get(), "york").size());
    PrsLexiconEntry* c = PrsAddLexiconPhrase(p.get(), W("Paris").c_str(), W("city").c_str(), nullptr);
    PrsLexiconEntry* d = PrsAddLexiconPhrase(p.get(), W("paris").c_str(), W("city").c_str(), nullptr);
    EXPECT_EQ(c, d) << "a one-word phrase is an entry";
    EXPECT_EQ(1u, Under(p.get(), "paris").size());
}

TEST(Lexicon, RemovalFilters)
{
    // A: monday day-name {4:1}   B: mon day-abbrev {4:1}   C: tuesday day-name {4:2}
    // D: monday which-date {5:1} E: mon day-name {4:1, 9:1}
    struct Row { const char* what; int flags; const char* text; const char* symbol; Slots filter;
                 std::set<char> removed; int result; } rows[] = {
        {"text", PRS_REMOVE_BY_TEXT, "MONDAY", "", Slots(), {'A', 'D'}, 2},
        {"symbol", PRS_REMOVE_BY_SYMBOL, "", "day-name", Slots(), {'A', 'C', 'E'}, 3},
        {"slots", PRS_REMOVE_BY_SLOTS, "", "", IntSlots({{4, 1}}), {'A', 'B', 'E'}, 3},
        {"two slots", PRS_REMOVE_BY_SLOTS, "", "", IntSlots({{4, 1}, {9, 1}}), {'E'}, 1},
        {"text and symbol", PRS_REMOVE_BY_TEXT | PRS_REMOVE_BY_SYMBOL, "monday", "day-name", Slots(), {'A'}, 1},
        {"all three", 7, "mon", "day-name", IntSlots({{4, 1}}), {'E'}, 1},
        {"unknown symbol", PRS_REMOVE_BY_SYMBOL, "", "no-such-symbol", Slots(), {}, 0},
        {"text nobody has", PRS_REMOVE_BY_TEXT, "friday", "", Slots(), {}, 0},
        {"no filter", 0, "", "", Slots(), {'A', 'B', 'C', 'D', 'E'}, 5},
    };
    Slots textFilter;
    SlotsSetString(&textFilter, 4, W("1").c_str());
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ParserPtr p(PrsInit());
        Add(p.get(), "monday", "day-name", IntSlots({{4, 1}}));
        Add(p.get(), "mon", "day-abbrev", IntSlots({{4, 1}}));
        Add(p.get(), "tuesday", "day-name", IntSlots({{4, 2}}));
        Add(p.get(), "monday", "which-date", IntSlots({{5, 1}}));
        Add(p.get(), "mon", "day-name", IntSlots({{4, 1}, {9, 1}}));
        EXPECT_EQ(r.result, PrsRemoveLexiconEntries(p.get(), W(r.text).c_str(), W(r.symbol).c_str(),
                                                    &r.filter, r.flags));
        std::set<char> left;
        for (const PrsLexiconEntry* e : Under(p.get(), "monday"))
            left.insert(Narrow(e->symbol->name) == "day-name" ? 'A' : 'D');
        for (const PrsLexiconEntry* e : Under(p.get(), "mon"))
            left.insert(Narrow(e->symbol->name) == "day-abbrev" ? 'B' : 'E');
        if (!Under(p.get(), "tuesday").empty())
            left.insert('C');
        for (char c : {'A', 'B', 'C', 'D', 'E'})
            EXPECT_EQ(r.removed.count(c) == 0, left.count(c) == 1) << c;
    }
}

TEST(Lexicon, SlotFilterPassesOtherKinds)
{
    // A filter value of another kind does not hold an entry back; a missing
    // slot does.
    ParserPtr p(PrsInit());
    Add(p.get(), "monday", "day-name", IntSlots({{4, 1}}));
    Add(p.get(), "today", "nearby-day", IntSlots({{6, 0}}));
    Slots filter;
    SlotsSetString(&filter, 4, W("1").c_str());
    EXPECT_EQ(1, PrsRemoveLexiconEntries(p.get(), nullptr, nullptr, &filter, PRS_REMOVE_BY_SLOTS));
    EXPECT_TRUE(Under(p.get(), "monday").empty());
    EXPECT_EQ(1u, Under(p.get(), "today").size());
}

TEST(Lexicon, FilterRemovalTakesWholePhrases)
{
    struct Row { const char* what; int flags; const char* text; Slots filter; size_t left; } rows[] = {
        {"by the first word's slots", PRS_REMOVE_BY_SLOTS, "", IntSlots({{7, 1}}), 0},
        {"by the first word", PRS_REMOVE_BY_TEXT, "new", Slots(), 0},
        {"by symbol", PRS_REMOVE_BY_SYMBOL, "", Slots(), 0},
        {"by a later word", PRS_REMOVE_BY_TEXT, "york", Slots(), 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ParserPtr p(PrsInit());
        Slots city = IntSlots({{7, 1}});
        PrsAddLexiconPhrase(p.get(), W("new york").c_str(), W("city").c_str(), &city);
        PrsRemoveLexiconEntries(p.get(), W(r.text).c_str(), W("city").c_str(), &r.filter, r.flags);
        EXPECT_EQ(r.left, RecordCount(p.get(), {"new", "york"}));
    }
}

TEST(Lexicon, LookupKeepsInsertionOrder)
{
    ParserPtr p(PrsInit());
    PrsLexiconEntry* month = Add(p.get(), "may", "month-name", IntSlots({{2, 5}}));
    PrsLexiconEntry* verb = Add(p.get(), "May", "modal", Slots());
    PrsLexiconEntry* name = Add(p.get(), "MAY", "first-name", Slots());
    auto found = Under(p.get(), "may");
    EXPECT_EQ((std::vector<const PrsLexiconEntry*>{month, verb, name}), found);
    PrsRemoveLexiconEntry(p.get(), verb);
    EXPECT_EQ((std::vector<const PrsLexiconEntry*>{month, name}), Under(p.get(), "may"));
}
