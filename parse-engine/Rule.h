// Rules: a sequence of symbols that makes one item of the rule's own symbol,
// with slot actions that test matched items and fill the new item's slots.
#pragma once
#include "DateSource.h"
#include "Slots.h"
#include "Symbol.h"

#include <vector>

namespace osprey {

enum ActionKind { kMatchAction = 1, kTransferAction = 2, kConstrainAction = 3,
                  kConcatAction = 4, kMatchDateAction = 5 };

struct SlotAction {
    ActionKind kind;
    int32_t source;
    int32_t destination;
    SlotValue low, high;
};

struct RuleEntry {
    PrsSymbol* symbol = nullptr;
    int32_t nearness = 0;       // tokens allowed between the previous element and this one
    std::vector<SlotAction> actions;
    // The actions copy every slot of the element to the same ids and change
    // nothing else (the others only test); kept up to date by AddAction.
    bool takesAllAsIs = false;
    void AddAction(SlotAction action);
};

// What a rule item is offered as its next element: a token's definition or a
// completed item.
struct Matched {
    const PrsSymbol* symbol;
    SlotSpan slots;
    int first, last;            // character offsets, last inclusive
};

// The tests of the entry's actions, in order; transfers test nothing.
bool EntryAccepts(const RuleEntry& entry, const Matched& matched, SlotSpan item, DateMemo& dates);
// Moves values from the matched element into the item's slots.
void ApplyEntry(const RuleEntry& entry, const Matched& matched, Slots& item);

const uint32_t kDefaultStrength = 29;
const uint32_t kDefaultDomain = 1;

} // namespace osprey

struct PrsRule {
    PrsRule(PrsParser* owner, PrsPackage* pkg, PrsSymbol* lhs, bool top, uint32_t number);
    virtual ~PrsRule();         // leaves the symbol's rule set
    PrsRule(const PrsRule&) = delete;
    PrsRule& operator=(const PrsRule&) = delete;

    // True when the two would build the same items (same package, symbol,
    // level, entry symbols and overlapping constraints).
    bool AlikeTo(const PrsRule& other) const;

    PrsParser* parser;
    PrsPackage* package;
    PrsSymbol* symbol;
    bool topLevel;
    std::vector<osprey::RuleEntry> entries;
    uint32_t strength = osprey::kDefaultStrength;
    uint32_t domain = osprey::kDefaultDomain;
    uint32_t serial;            // dense number in order of creation
    bool added = false;         // owned by the parser's rule set
};
