// The rules that no locale picture gives: weekdays, nearby days, times with a
// marker, ranges, prefixes, abbreviations, ordinals and offsets.
#include "Grammar.h"

#include <initializer_list>
#include <vector>

namespace curlew {

namespace {

enum Kind { kTransfer, kConstrain, kMatchDate };

struct Action {
    Kind kind;
    int a, b, c;
};

Action T(int from, int to) { return {kTransfer, from, to, 0}; }
Action C(int slot, int low, int high) { return {kConstrain, slot, low, high}; }
Action D(int slot) { return {kMatchDate, slot, 0, 0}; }

const int N = PRS_SLOT_NUMBER;
const Action kAll = T(PRS_SLOT_ALL, 0);
const Action kAllSecond = T(PRS_SLOT_ALL, 32);

struct Entry {
    const char* symbol;
    std::vector<Action> actions;
};

struct HandRule {
    const char* symbol;
    bool top;
    unsigned strength;
    std::vector<Entry> entries;
};

const std::vector<HandRule>& Rules()
{
    static const std::vector<HandRule> rules = {
        {"year", false, 29, {{"numeral", {C(N, 0, 99), T(N, 1)}}}},
        {"year", false, 29, {{"numeral", {C(N, 1900, 2099), T(N, 1)}}}},
        {"date", true, 29, {{"day-name", {T(4, 4)}}}},
        {"date", true, 29, {{"which-date", {T(5, 5)}}, {"day-name", {T(4, 4)}}}},
        {"date", true, 29, {{"day-name", {T(4, 4)}}, {"which-date", {T(5, 5)}}}},
        {"date", true, 29, {{"nearby-day", {T(6, 6)}}}},
        {"time", true, 93, {{"numeral", {C(N, 1, 12), T(N, 7)}}, {"time-marker", {T(9, 9)}}}},
        {"date-range", true, 29, {{"date", {kAll}}, {"range-sep", {}}, {"date", {kAllSecond}}}},
        {"date-range", true, 29, {{"range-prefix", {}}, {"date", {kAll}}, {"range-sep", {}}, {"date", {kAllSecond}}}},
        {"time-range", true, 93, {{"time", {kAll}}, {"range-sep", {}}, {"time", {kAllSecond}}}},
        {"time-range", true, 93, {{"range-prefix", {}}, {"time", {kAll}}, {"range-sep", {}}, {"time", {kAllSecond}}}},
        {"time", true, 93, {{"time-word", {kAll}}}},
        {"time", true, 93, {{"numeral", {T(N, 7)}}, {"time-hour-suffix", {}}}},
        {"time", true, 93, {{"time-prefix", {}}, {"time", {kAll}}}},
        {"date", true, 29, {{"date-prefix", {}}, {"date", {kAll}}}},
        {"due-date", true, 29, {{"due-prefix", {}}, {"date", {kAll}}}},
        {"day-name", false, 29, {{"day-abbrev", {T(4, 4)}}}},
        {"day-name", false, 29, {{"day-abbrev", {T(4, 4)}}, {"abbrev-punct", {}}}},
        {"month-name", false, 29, {{"month-abbrev", {T(2, 2)}}}},
        {"month-name", false, 29, {{"month-abbrev", {T(2, 2)}}, {"abbrev-punct", {}}}},
        {"date", true, 29, {{"ord-num", {T(N, 10), C(N, 0, 5)}}, {"day-name", {T(4, 4)}}, {"ord-sep", {}},
                            {"month-name", {T(2, 2)}}}},
        {"date", true, 29, {{"date-unit", {T(11, 11)}}, {"date-offset-sep", {T(13, 13)}}, {"date", {kAll}}}},
        {"date", true, 29, {{"numeral", {T(N, 12)}}, {"date-unit", {T(11, 11)}},
                            {"date-offset-sep", {T(13, 13)}}, {"date", {kAll}}}},
        {"date", true, 29, {{"day-name", {T(4, 14)}}, {"day-offset-sep", {T(13, 13)}}, {"date", {kAll}}}},
        {"date", true, 29, {{"day-prefix", {}}, {"day-name", {T(4, 14)}}, {"day-offset-sep", {T(13, 13)}},
                            {"date", {kAll}}}},
        {"date", true, 29, {{"day-name", {T(4, 4)}}, {"date", {kAll, D(4)}}}},
    };
    return rules;
}

bool AddRule(PackageState& state, const HandRule& r)
{
    PrsRule* rule = PrsCreateRule(state.parser, state.package, Name(r.symbol).c_str(), r.top ? 1 : 0);
    if (!rule)
        return false;
    for (const Entry& e : r.entries) {
        int at = PrsRuleAddEntry(state.parser, rule, Name(e.symbol).c_str());
        if (at < 0) {
            PrsRuleDestroy(rule);
            return false;
        }
        for (const Action& a : e.actions) {
            if (a.kind == kTransfer)
                PrsRuleEntryTransferSlot(rule, at, a.a, a.b);
            else if (a.kind == kConstrain)
                PrsRuleEntryConstrainIntSlot(rule, at, a.a, a.b, a.c);
            else
                PrsRuleEntryMatchDate(rule, at, a.a);
        }
    }
    PrsRuleSetStrength(rule, r.strength);
    return PrsAddRule(state.parser, rule) != 0;
}

} // namespace

bool AddHandRules(PackageState& state)
{
    bool ok = true;
    for (const HandRule& r : Rules())
        ok = AddRule(state, r) && ok;
    return ok;
}

} // namespace curlew
