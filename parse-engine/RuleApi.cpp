// The exported rule functions.
#include "Guard.h"
#include "Parser.h"

using namespace osprey;

namespace {

RuleEntry* EntryAt(PrsRule* rule, int index)
{
    if (!rule || index < 0 || static_cast<size_t>(index) >= rule->entries.size())
        return nullptr;
    return &rule->entries[static_cast<size_t>(index)];
}

void AddAction(PrsRule* rule, int index, ActionKind kind, int source, int destination,
               SlotValue low = SlotValue(), SlotValue high = SlotValue())
{
    RuleEntry* entry = EntryAt(rule, index);
    if (!entry)
        return;
    Guarded([&] {
        entry->AddAction(SlotAction{kind, source, destination == -1 ? source : destination, std::move(low),
                                    std::move(high)});
    });
}

} // namespace

extern "C" {

//--- rules

PrsRule* PRSAPI PrsCreateRule(PrsParser* parser, PrsPackage* package, const PRSWCHAR* symbol,
                              int topLevel)
{
    if (!parser || !symbol)
        return nullptr;
    return Guarded<PrsRule*>(nullptr, [&] { return parser->CreateRule(package, symbol, topLevel == 1); });
}

int PRSAPI PrsRuleAddEntry(PrsParser* parser, PrsRule* rule, const PRSWCHAR* symbol)
{
    if (!parser || !rule || !symbol || rule->parser != parser)
        return -1;
    return Guarded(-1, [&] {
        RuleEntry entry;
        entry.symbol = parser->symbols.FindOrCreate(symbol);
        rule->entries.push_back(std::move(entry));
        ++parser->grammarVersion;
        return static_cast<int>(rule->entries.size() - 1);
    });
}

void PRSAPI PrsRuleEntryMatchSlot(PrsRule* rule, int entry, int source, int destination)
{
    AddAction(rule, entry, kMatchAction, source, destination);
}

void PRSAPI PrsRuleEntryTransferSlot(PrsRule* rule, int entry, int source, int destination)
{
    AddAction(rule, entry, kTransferAction, source, destination);
}

void PRSAPI PrsRuleEntryConstrainIntSlot(PrsRule* rule, int entry, int slot, int low, int high)
{
    AddAction(rule, entry, kConstrainAction, slot, slot, SlotValue::Int(low), SlotValue::Int(high));
}

void PRSAPI PrsRuleEntryConcatSlot(PrsRule* rule, int entry, int source, int destination)
{
    AddAction(rule, entry, kConcatAction, source, destination);
}

void PRSAPI PrsRuleEntryMatchDate(PrsRule* rule, int entry, int slot)
{
    AddAction(rule, entry, kMatchDateAction, slot, slot);
}

int PRSAPI PrsRuleEntrySetNearness(PrsRule* rule, int entry, int nearness)
{
    RuleEntry* e = EntryAt(rule, entry);
    if (!e)
        return 0;
    e->nearness = nearness;
    ++rule->parser->grammarVersion;
    return nearness;
}

unsigned PRSAPI PrsRuleSetStrength(PrsRule* rule, unsigned strength)
{
    if (rule)
        rule->strength = strength;
    return strength;
}

unsigned PRSAPI PrsRuleSetConflictDomain(PrsRule* rule, unsigned domain)
{
    if (rule)
        rule->domain = domain;
    return domain;
}

int PRSAPI PrsAddRule(PrsParser* parser, PrsRule* rule)
{
    if (!parser || !rule || rule->parser != parser)
        return 0;
    return Guarded(0, [&] {
        parser->AddRule(rule);
        return 1;
    });
}

int PRSAPI PrsIsRuleDuplicate(PrsParser* parser, const PrsRule* rule)
{
    return parser && rule && parser->IsDuplicate(*rule) ? 1 : 0;
}

int PRSAPI PrsIsSymbolDefined(PrsParser* parser, const PRSWCHAR* symbol)
{
    return parser && symbol && parser->symbols.Find(symbol) ? 1 : 0;
}

void PRSAPI PrsRuleDestroy(PrsRule* rule)
{
    // An added rule belongs to the parser's rule set until the parser ends.
    if (!rule || rule->added)
        return;
    if (rule->parser)
        rule->parser->DestroyRule(rule);
    else
        delete rule;
}

} // extern "C"
