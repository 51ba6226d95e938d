#include "Context.h"
#include "Parser.h"
#include "TestGrammar.h"

#include <gtest/gtest.h>

#include <memory>

using namespace osprey;
using grammar::Element;

namespace {

struct ParserDeleter {
    void operator()(PrsParser* p) const { PrsDeInit(p); }
};
using ParserPtr = std::unique_ptr<PrsParser, ParserDeleter>;

Slots Ints(std::initializer_list<std::pair<int, int>> values)
{
    Slots s;
    for (auto v : values)
        SlotsSetInt(&s, v.first, v.second);
    return s;
}

// A rule of one entry with the given actions, not added.
PrsRule* OneEntryRule(PrsParser* p, const char* matched, const std::vector<grammar::Action>& actions)
{
    PrsRule* rule = PrsCreateRule(p, nullptr, W("x").c_str(), 1);
    int at = PrsRuleAddEntry(p, rule, W(matched).c_str());
    for (const grammar::Action& a : actions) {
        if (a.kind == 1) PrsRuleEntryMatchSlot(rule, at, a.source, a.destination);
        if (a.kind == 2) PrsRuleEntryTransferSlot(rule, at, a.source, a.destination);
        if (a.kind == 3) PrsRuleEntryConstrainIntSlot(rule, at, a.source, a.low, a.high);
        if (a.kind == 4) PrsRuleEntryConcatSlot(rule, at, a.source, a.destination);
        if (a.kind == 5) PrsRuleEntryMatchDate(rule, at, a.source);
    }
    return rule;
}

std::string Show(const Slots& s)
{
    std::string out;
    for (const SlotRecord& r : s.records) {
        out += (out.empty() ? "" : " ") + std::to_string(r.id) + "=";
        out += r.value.Kind() == kStringValue ? Narrow(r.value.Text()) : std::to_string(r.value.IntValue());
    }
    return out;
}

// Weekday function that refuses the values a failed conversion gives.
int StrictWeekday(int time)
{
    EXPECT_NE(-1, time) << "weekday asked of a failed conversion";
    EXPECT_NE(0, time) << "weekday asked of an untouched time";
    return grammar::fake_dates::Weekday(time);
}

void PRSAPI FailingConvert(Slots*, int, int32_t* time, int* kind)
{
    *time = -1;
    *kind = 6;
}

void PRSAPI SilentConvert(Slots*, int, int32_t*, int*)
{
}

} // namespace

TEST(Rules, EntriesAndActionsByIndex)
{
    ParserPtr p(PrsInit());
    PrsRule* rule = PrsCreateRule(p.get(), nullptr, W("date").c_str(), 1);
    EXPECT_EQ(0, PrsRuleAddEntry(p.get(), rule, W("numeral").c_str()));
    EXPECT_EQ(1, PrsRuleAddEntry(p.get(), rule, W("date-sep").c_str()));
    EXPECT_EQ(2, PrsRuleAddEntry(p.get(), rule, W("numeral").c_str()));
    EXPECT_EQ(29u, rule->strength);
    EXPECT_EQ(1u, rule->domain);
    for (int bad : {3, 5, -1}) {
        PrsRuleEntryTransferSlot(rule, bad, 1, 2);
        PrsRuleEntryMatchSlot(rule, bad, 1, 2);
        PrsRuleEntryConstrainIntSlot(rule, bad, 1, 0, 9);
        PrsRuleEntryConcatSlot(rule, bad, 1, 2);
        PrsRuleEntryMatchDate(rule, bad, 4);
        PrsRuleEntrySetNearness(rule, bad, 3);
    }
    for (const RuleEntry& e : rule->entries) {
        EXPECT_TRUE(e.actions.empty());
        EXPECT_EQ(0, e.nearness);
    }
    PrsRuleEntryTransferSlot(rule, 0, 7, -1);
    EXPECT_EQ(7, rule->entries[0].actions[0].destination) << "-1 stands for the source";
    EXPECT_EQ(93u, PrsRuleSetStrength(rule, 93));
    EXPECT_EQ(3u, PrsRuleSetConflictDomain(rule, 3));
    ParserPtr other(PrsInit());
    EXPECT_EQ(-1, PrsRuleAddEntry(other.get(), rule, W("x").c_str())) << "rule of another parser";
    EXPECT_EQ(0, PrsAddRule(other.get(), rule));
    PrsRuleDestroy(rule);
}

TEST(Rules, SymbolsAreFoundByExactName)
{
    ParserPtr p(PrsInit());
    PrsRuleDestroy(PrsCreateRule(p.get(), nullptr, W("Date-Range").c_str(), 0));
    struct Row { const char* name; int defined; } rows[] = {
        {"Date-Range", 1}, {"date-range", 0}, {"numeral", 1}, {"word", 1}, {"punct", 1}, {"eof", 1},
        {"Numeral", 0}, {"", 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.defined, PrsIsSymbolDefined(p.get(), W(r.name).c_str())) << r.name;
    EXPECT_EQ(0, PrsIsSymbolDefined(p.get(), W("date-range").c_str())) << "the test created nothing";
}

TEST(Rules, AcceptanceTests)
{
    grammar::fake_dates::Install();
    ParserPtr p(PrsInit());
    struct Row {
        const char* what;
        std::vector<grammar::Action> actions;
        Slots matched, item;
        bool accepts;
    } rows[] = {
        {"constraint rejects 13", {grammar::Constrain(65531, 1, 12)}, Ints({{65531, 13}}), Slots(), false},
        {"constraint takes 12", {grammar::Constrain(65531, 1, 12)}, Ints({{65531, 12}}), Slots(), true},
        {"constraint needs the slot", {grammar::Constrain(65531, 1, 12)}, Ints({{3, 5}}), Slots(), false},
        {"second constraint fails", {grammar::Constrain(65531, 0, 59), grammar::Constrain(65530, 2, 2)},
         Ints({{65530, 1}, {65531, 5}}), Slots(), false},
        {"match of equal values", {grammar::Match(4, 14)}, Ints({{4, 2}}), Ints({{14, 2}}), true},
        {"match of other values", {grammar::Match(4, 14)}, Ints({{4, 2}}), Ints({{14, 3}}), false},
        {"match without the item's slot", {grammar::Match(4, 14)}, Ints({{4, 2}}), Slots(), false},
        {"transfers test nothing", {grammar::Transfer(9, 9), grammar::Concat(1, 1)}, Slots(), Slots(), true},
        {"Monday with a Monday, 2024", {grammar::MatchDate(4)}, Ints({{1, 2024}, {2, 6}, {3, 17}}), Ints({{4, 1}}), true},
        {"Monday with a Monday, 1995", {grammar::MatchDate(4)}, Ints({{1, 1995}, {2, 3}, {3, 6}}), Ints({{4, 1}}), true},
        {"Monday with a Monday, 1962", {grammar::MatchDate(4)}, Ints({{1, 1962}, {2, 1}, {3, 1}}), Ints({{4, 1}}), true},
        {"Tuesday with a Monday", {grammar::MatchDate(4)}, Ints({{1, 2024}, {2, 6}, {3, 17}}), Ints({{4, 2}}), false},
        {"Friday with 2/30/2024", {grammar::MatchDate(4)}, Ints({{1, 2024}, {2, 2}, {3, 30}}), Ints({{4, 5}}), false},
        {"weekday missing from the item", {grammar::MatchDate(4)}, Ints({{1, 2024}, {2, 6}, {3, 17}}), Slots(), false},
        {"no date in the slots", {grammar::MatchDate(4)}, Ints({{12, 3}}), Ints({{4, 4}}), false},
    };
    osprey::SetDateSource({osprey::GetDateSource().convert, &StrictWeekday});
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        PrsRule* rule = OneEntryRule(p.get(), "date", r.actions);
        DateMemo dates;
        Matched m{rule->entries[0].symbol, r.matched.Span(), 0, 3};
        EXPECT_EQ(r.accepts, EntryAccepts(rule->entries[0], m, r.item.Span(), dates));
        Matched other{p->symbols.numeral, r.matched.Span(), 0, 3};
        EXPECT_FALSE(EntryAccepts(rule->entries[0], other, r.item.Span(), dates)) << "symbol differs";
        PrsRuleDestroy(rule);
    }
    grammar::fake_dates::Remove();
}

TEST(Rules, MatchDateRejectsEveryFailedConversion)
{
    struct Row { const char* what; ConvertSlotsFn convert; } rows[] = {
        {"-1", &FailingConvert},
        {"nothing written", &SilentConvert},
        {"no conversion installed", nullptr},
    };
    ParserPtr p(PrsInit());
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        osprey::SetDateSource({r.convert, &StrictWeekday});
        PrsRule* rule = OneEntryRule(p.get(), "date", {grammar::MatchDate(4)});
        DateMemo dates;
        Slots matched = Ints({{2, 2}, {3, 30}}), item = Ints({{4, 0}});
        EXPECT_FALSE(EntryAccepts(rule->entries[0], {rule->entries[0].symbol, matched.Span(), 0, 0}, item.Span(), dates));
        PrsRuleDestroy(rule);
    }
    grammar::fake_dates::Remove();
}

TEST(Rules, ActionsFillTheItem)
{
    struct Row {
        const char* what;
        std::vector<grammar::Action> actions;
        Slots matched, item;
        const char* expected;
    } rows[] = {
        {"all to 32", {grammar::Transfer(-1, 32)}, Ints({{1, 2024}, {2, 6}, {3, 14}}), Ints({{4, 5}}), "4=5 33=2024 34=6 35=14"},
        {"all at own ids", {grammar::Transfer(-1, -1)}, Ints({{1, 7}, {9, 1}}), Ints({{1, 3}}), "1=7 9=1"},
        {"all shifted by 0", {grammar::Transfer(-1, 0)}, Ints({{6, -1}}), Slots(), "6=-1"},
        {"one slot", {grammar::Transfer(65531, 7)}, Ints({{65530, 1}, {65531, 3}}), Slots(), "7=3"},
        {"missing source leaves the item", {grammar::Transfer(5, 5)}, Ints({{4, 1}}), Ints({{5, 9}}), "5=9"},
        {"first and last offsets", {grammar::Transfer(65533, 20), grammar::Transfer(65532, 21)}, Slots(), Slots(), "20=12 21=17"},
        {"ids past the top are skipped", {grammar::Transfer(-1, 2000000000)}, Ints({{1, 1}, {200000000, 2}}), Slots(), "2000000001=1"},
        {"tests change nothing", {grammar::Match(1, 1), grammar::Constrain(1, 0, 9), grammar::MatchDate(4)}, Ints({{1, 1}}), Slots(), ""},
    };
    ParserPtr p(PrsInit());
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        PrsRule* rule = OneEntryRule(p.get(), "date", r.actions);
        Slots item = r.item;
        ApplyEntry(rule->entries[0], {rule->entries[0].symbol, r.matched.Span(), 12, 17}, item);
        EXPECT_EQ(r.expected, Show(item));
        PrsRuleDestroy(rule);
    }
}

TEST(Rules, ConcatenationJoinsTexts)
{
    ParserPtr p(PrsInit());
    PrsRule* rule = OneEntryRule(p.get(), "word", {grammar::Concat(1, 2)});
    Slots item;
    for (const char* word : {"Elm", "Park", ",", "Street", ""}) {
        Slots matched;
        SlotsSetString(&matched, 1, W(word).c_str());
        ApplyEntry(rule->entries[0], {rule->entries[0].symbol, matched.Span(), 0, 0}, item);
    }
    Slots integer = Ints({{1, 5}});
    ApplyEntry(rule->entries[0], {rule->entries[0].symbol, integer.Span(), 0, 0}, item);
    EXPECT_EQ("Elm Park, Street", Narrow(SlotsGetString(&item, 2)));
    PrsRuleDestroy(rule);
}

TEST(Rules, DuplicateDetection)
{
    using grammar::Constrain;
    using grammar::Transfer;
    const Element year99 = {"numeral", {Constrain(65531, 0, 99), Transfer(65531, 1)}};
    const Element year2099 = {"numeral", {Constrain(65531, 1900, 2099), Transfer(65531, 1)}};
    const Element month = {"numeral", {Constrain(65531, 1, 12), Transfer(65531, 2)}};
    const Element plain = {"numeral", {Transfer(65531, 9)}};
    int other = 0;
    PrsPackage* otherPackage = reinterpret_cast<PrsPackage*>(&other);
    struct Row {
        const char* what;
        const char* symbol;
        bool top;
        PrsPackage* package;
        std::vector<Element> elements;
        int duplicate;
    } rows[] = {
        {"same rule again", "year", false, grammar::DatePackage(), {year99}, 1},
        {"[1900,2099] against [0,99]", "year", false, grammar::DatePackage(), {year2099}, 0},
        {"[1,12] overlaps [0,99]", "year", false, grammar::DatePackage(), {month}, 1},
        {"no constraint against a constrained entry", "year", false, grammar::DatePackage(), {plain}, 0},
        {"other package", "year", false, otherPackage, {year99}, 0},
        {"other level", "year", true, grammar::DatePackage(), {year99}, 0},
        {"other symbol", "day", false, grammar::DatePackage(), {year99}, 0},
        {"more entries", "year", false, grammar::DatePackage(), {year99, year99}, 0},
        {"any constraint against an unconstrained entry", "time", false, grammar::DatePackage(), {month}, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ParserPtr p(PrsInit());
        grammar::AddRule(p.get(), grammar::DatePackage(), "year", false, 29, {year99});
        grammar::AddRule(p.get(), grammar::DatePackage(), "time", false, 29, {plain});
        PrsRule* n = PrsCreateRule(p.get(), r.package, W(r.symbol).c_str(), r.top ? 1 : 0);
        for (const Element& e : r.elements) {
            int at = PrsRuleAddEntry(p.get(), n, W(e.symbol).c_str());
            for (const grammar::Action& a : e.actions) {
                if (a.kind == 3)
                    PrsRuleEntryConstrainIntSlot(n, at, a.source, a.low, a.high);
                else
                    PrsRuleEntryTransferSlot(n, at, a.source, a.destination);
            }
        }
        EXPECT_EQ(r.duplicate, PrsIsRuleDuplicate(p.get(), n));
        PrsRuleDestroy(n);
    }
}
