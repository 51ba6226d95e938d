#include "Rule.h"

#include <algorithm>

namespace osprey {

namespace {

bool ActionPasses(const SlotAction& a, const Matched& matched, SlotSpan item, DateMemo& dates)
{
    switch (a.kind) {
    case kConstrainAction: {
        const SlotRecord* v = FindSlot(matched.slots, a.source);
        return v && InRange(v->value, a.low, a.high);
    }
    case kMatchAction: {
        const SlotRecord* src = FindSlot(matched.slots, a.source);
        const SlotRecord* dst = FindSlot(item, a.destination);
        return src && dst && ValuesEqual(src->value, dst->value);
    }
    case kMatchDateAction: {
        const SlotRecord* want = FindSlot(item, a.source);
        if (!want)
            return false;
        int weekday = dates.WeekdayOf(matched.slots);
        int wanted = want->value.Kind() == kIntValue ? want->value.IntValue() : 0;
        return weekday >= 0 && weekday == wanted;
    }
    default:
        return true;
    }
}

void TransferAll(const SlotAction& a, const Matched& matched, Slots& item)
{
    int64_t shift = a.destination == -1 ? 0 : a.destination;
    for (const SlotRecord* r = matched.slots.begin; r != matched.slots.end(); ++r) {
        int64_t id = r->id + shift;
        if (id < INT32_MIN || id > INT32_MAX)
            continue;
        item.Set(static_cast<int32_t>(id), r->value);
    }
}

} // namespace

void RuleEntry::AddAction(SlotAction action)
{
    actions.push_back(std::move(action));
    bool all = false, other = false;
    for (const SlotAction& a : actions) {
        if (a.kind == kTransferAction && a.source == PRS_SLOT_ALL && (a.destination == -1 || a.destination == 0))
            all = true;
        else if (a.kind != kMatchAction && a.kind != kConstrainAction && a.kind != kMatchDateAction)
            other = true;
    }
    takesAllAsIs = all && !other;
}

bool EntryAccepts(const RuleEntry& entry, const Matched& matched, SlotSpan item, DateMemo& dates)
{
    if (matched.symbol != entry.symbol)
        return false;
    for (const SlotAction& a : entry.actions) {
        if (!ActionPasses(a, matched, item, dates))
            return false;
    }
    return true;
}

void ApplyEntry(const RuleEntry& entry, const Matched& matched, Slots& item)
{
    for (const SlotAction& a : entry.actions) {
        if (a.kind == kTransferAction) {
            if (a.source == PRS_SLOT_ALL)
                TransferAll(a, matched, item);
            else if (a.source == PRS_SLOT_FIRST_OFFSET)
                item.Set(a.destination, SlotValue::Int(matched.first));
            else if (a.source == PRS_SLOT_LAST_OFFSET)
                item.Set(a.destination, SlotValue::Int(matched.last));
            else if (const SlotRecord* v = FindSlot(matched.slots, a.source))
                item.Set(a.destination, v->value);
        } else if (a.kind == kConcatAction) {
            if (const SlotRecord* v = FindSlot(matched.slots, a.source)) {
                if (v->value.Kind() == kStringValue)
                    item.AppendText(a.destination, v->value.Text(), v->value.TextLength());
            }
        }
    }
}

} // namespace osprey

PrsRule::PrsRule(PrsParser* owner, PrsPackage* pkg, PrsSymbol* lhs, bool top, uint32_t number)
    : parser(owner), package(pkg), symbol(lhs), topLevel(top), serial(number)
{
}

PrsRule::~PrsRule()
{
    if (symbol) {
        auto& rules = symbol->rules;
        rules.erase(std::remove(rules.begin(), rules.end(), this), rules.end());
    }
}

namespace {

// Two ranges overlap when an endpoint of either lies in the other.
bool RangesOverlap(const osprey::SlotAction& a, const osprey::SlotAction& b)
{
    using osprey::InRange;
    return InRange(a.low, b.low, b.high) || InRange(a.high, b.low, b.high) ||
           InRange(b.low, a.low, a.high) || InRange(b.high, a.low, a.high);
}

bool EntriesAlike(const osprey::RuleEntry& mine, const osprey::RuleEntry& theirs)
{
    if (mine.symbol != theirs.symbol)
        return false;
    bool constrained = false;
    for (const osprey::SlotAction& a : mine.actions) {
        if (a.kind != osprey::kConstrainAction)
            continue;
        constrained = true;
        for (const osprey::SlotAction& b : theirs.actions) {
            if (b.kind == osprey::kConstrainAction && RangesOverlap(a, b))
                return true;
        }
    }
    return !constrained;
}

} // namespace

bool PrsRule::AlikeTo(const PrsRule& other) const
{
    if (package != other.package || symbol != other.symbol || topLevel != other.topLevel ||
        entries.size() != other.entries.size())
        return false;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!EntriesAlike(entries[i], other.entries[i]))
            return false;
    }
    return true;
}
