#include "ReferenceParse.h"

#include "TestText.h"

#include <algorithm>

using namespace osprey;

namespace reference {

ReferenceContext::ReferenceContext(PrsParser* parser) : m_parser(parser)
{
    for (const PrsRule* r : parser->rules) {
        if (r->topLevel && !r->entries.empty()) {
            Predict(r);
            PredictFor(r->entries[0].symbol, r);
        }
    }
}

ReferenceContext::Item* ReferenceContext::Predict(const PrsRule* rule)
{
    m_all.push_back(std::make_unique<Item>());
    Item* item = m_all.back().get();
    item->rule = rule;
    m_waiting[rule->entries[0].symbol].push_back(item);
    m_predicted[rule] = item;
    return item;
}

void ReferenceContext::PredictFor(const PrsSymbol* symbol, const PrsRule* own)
{
    for (const PrsRule* r : symbol->rules) {
        if (r == own || r->topLevel || r->entries.empty() || m_predicted.count(r))
            continue;
        Predict(r);
        PredictFor(r->entries[0].symbol, r);
    }
}

std::vector<std::string> ReferenceContext::Parse(const WString& text)
{
    // Predictions first, in the order they were made; everything else goes.
    std::stable_sort(m_all.begin(), m_all.end(),
                     [](const std::unique_ptr<Item>& a, const std::unique_ptr<Item>& b) {
                         return a->start.index < b->start.index;
                     });
    while (!m_all.empty() && m_all.back()->start.index != -1) {
        Item* gone = m_all.back().get();
        for (auto& w : m_waiting)
            w.second.erase(std::remove(w.second.begin(), w.second.end(), gone), w.second.end());
        m_all.pop_back();
    }
    m_agenda.clear();
    m_dates.Reset();

    Tokenizer tokenizer(text.data(), text.size());
    PrsToken token;
    int lastIndex = -1, end = 0;
    while (tokenizer.Next(token)) {
        Position p{token.index, token.first, token.Last()};
        lastIndex = token.index;
        end = token.first + token.length;
        if (token.kind == kNumeralToken) {
            Slots numeral;
            numeral.Set(PRS_SLOT_NUMBER, SlotValue::Int(NumeralValue(token.text.data(), token.text.size())));
            numeral.Set(PRS_SLOT_DIGITS, SlotValue::Int(token.length));
            m_agenda.push_back({p, p, m_parser->symbols.numeral, numeral, nullptr, nullptr, 0});
        }
        if (const auto* bucket = m_parser->lexicon.Bucket(token.hash)) {
            for (const Lexicon::Record& r : *bucket) {
                if (r.text == token.text)
                    m_agenda.push_back({p, p, r.entry->symbol, r.entry->slots, r.entry, nullptr, 0});
            }
        }
        Process();
    }
    Position eof{lastIndex + 1, end, end};
    m_agenda.push_back({eof, eof, m_parser->symbols.eof, Slots(), nullptr, nullptr, 0});
    Process();

    std::stable_sort(m_all.begin(), m_all.end(),
                     [](const std::unique_ptr<Item>& a, const std::unique_ptr<Item>& b) {
                         return a->start.index < b->start.index;
                     });
    m_previous.swap(m_current);
    m_current.clear();
    std::vector<std::string> events;
    std::vector<const Item*> batch;
    int batchEnd = 0;
    for (const auto& item : m_all) {
        if (!item->rule->topLevel || item->dot < item->rule->entries.size())
            continue;
        if (!batch.empty() && item->start.index > batchEnd)
            Settle(batch, events);
        batchEnd = batch.empty() ? item->end.index : std::max(batchEnd, item->end.index);
        batch.push_back(item.get());
    }
    if (!batch.empty())
        Settle(batch, events);
    for (const Keyphrase& k : m_previous)
        events.push_back(Line(2, k));
    for (const Keyphrase& k : m_added)
        events.push_back(Line(1, k));
    m_previous.clear();
    m_added.clear();
    return events;
}

void ReferenceContext::Process()
{
    std::vector<Item*> made;
    while (!m_agenda.empty()) {
        Constituent c = m_agenda.front();
        std::vector<Item*> waiting = m_waiting[c.symbol];
        for (Item* item : waiting) {
            if (Accepts(*item, c))
                Advance(*item, c, made);
        }
        m_agenda.pop_front();
    }
    for (Item* n : made) {
        if (n->dot < n->rule->entries.size())
            m_waiting[n->rule->entries[n->dot].symbol].push_back(n);
    }
}

bool ReferenceContext::Accepts(const Item& item, const Constituent& c)
{
    const RuleEntry& entry = item.rule->entries[item.dot];
    const Fit fit = FitOf(c.origin == &item, entry, item.start.index, item.end.index, item.pending, c.start.index,
                          c.end.index, c.entry);
    if (fit != Fit::kTestSlots)
        return fit == Fit::kPhraseWord;
    return EntryAccepts(entry, {c.symbol, c.slots.Span(), c.start.first, c.end.last}, item.slots.Span(), m_dates);
}

void ReferenceContext::Advance(const Item& item, const Constituent& c, std::vector<Item*>& made)
{
    auto n = std::make_unique<Item>(item);
    ApplyEntry(item.rule->entries[item.dot], {c.symbol, c.slots.Span(), c.start.first, c.end.last}, n->slots);
    const Progress p = ProgressOver({item.start.index, item.end.index, item.pending, static_cast<uint32_t>(item.dot)},
                                    c.start.index, c.end.index, c.entry);
    if (item.start.index == -1)
        n->start = c.start;
    n->end = c.end;
    n->pending = p.pending;
    n->dot = p.dot;
    n->levels = std::max(item.levels, c.levels);
    Item* added = n.get();
    m_all.push_back(std::move(n));
    made.push_back(added);
    if (added->dot < added->rule->entries.size())
        PredictFor(added->rule->entries[added->dot].symbol, added->rule);
    else if (added->levels + 1 < kMaxLevels)
        m_agenda.push_back({added->start, added->end, added->rule->symbol, added->slots, nullptr, &item,
                            added->levels + 1});
}

void ReferenceContext::Settle(std::vector<const Item*>& batch, std::vector<std::string>& events)
{
    std::vector<Candidate> candidates;
    for (const Item* k : batch)
        candidates.push_back({k->rule->strength, k->rule->domain, k->rule->package, k->start.index, k->end.index});
    std::vector<size_t> kept;
    BatchSettler().Settle(candidates, kept);
    for (size_t i : kept)
        Emit(*batch[i], events);
    batch.clear();
}

void ReferenceContext::Emit(const Item& item, std::vector<std::string>& events)
{
    for (auto it = m_previous.begin(); it != m_previous.end(); ++it) {
        if (it->rule != item.rule || !SlotSetsEqual(it->slots.Span(), item.slots.Span()))
            continue;
        Keyphrase p = *it;
        m_previous.erase(it);
        if (p.start.first != item.start.first || p.end.last != item.end.last) {
            events.push_back(Line(3, Keyphrase{p.id, p.rule, Slots(), item.start, item.end}) + " was " +
                             std::to_string(p.start.first) + "-" + std::to_string(p.end.last));
            p.start = item.start;
            p.end = item.end;
        }
        m_current.push_back(p);
        return;
    }
    Keyphrase k{m_nextId++, item.rule, item.slots, item.start, item.end};
    m_current.push_back(k);
    m_added.push_back(k);
}

std::string ReferenceContext::Line(int event, const Keyphrase& k)
{
    return std::to_string(event) + " " + Narrow(k.rule->symbol->name) + " " + std::to_string(k.start.first) +
           "-" + std::to_string(k.end.last) + " #" + std::to_string(k.id);
}

std::string EngineEvents::Line(int event, PrsKeyphrase* keyphrase, int oldFirst, int oldLast)
{
    if (event == PRS_EVENT_ADDED)
        m_ids[keyphrase] = m_next++;
    int first = -1, last = -1;
    PrsKeyphraseGetOffsets(keyphrase, &first, &last);
    std::string line = std::to_string(event) + " " + Narrow(PrsKeyphraseGetSymbolName(keyphrase)) + " " +
                       std::to_string(first) + "-" + std::to_string(last) + " #" +
                       std::to_string(m_ids[keyphrase]);
    if (event == PRS_EVENT_MOVED)
        line += " was " + std::to_string(oldFirst) + "-" + std::to_string(oldLast);
    if (event == PRS_EVENT_REMOVED)
        m_ids.erase(keyphrase);
    return line;
}

} // namespace reference
