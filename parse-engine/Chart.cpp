#include "Chart.h"

#include "Parser.h"

#include <algorithm>
#include <iterator>

namespace osprey {

Chart::Chart(PrsParser* parser) : m_parser(parser), m_dates(true)
{
}

//--- predictions

Chart::WaitBucket* Chart::BucketOf(const PrsSymbol* symbol, bool create)
{
    if (symbol->index >= m_waiting.size()) {
        if (!create)
            return nullptr;
        m_waiting.resize(symbol->index + 1);
    }
    return &m_waiting[symbol->index];
}

ChartItem* Chart::MakePrediction(PrsRule* rule)
{
    if (rule->serial >= m_predictionOf.size())
        m_predictionOf.resize(rule->serial + 1, nullptr);
    WaitBucket* bucket = BucketOf(rule->entries[0].symbol, true);
    bucket->predictions.reserve(bucket->predictions.size() + 1);
    m_predictions.push_back(std::make_unique<ChartItem>());
    ChartItem* p = m_predictions.back().get();
    p->rule = rule;
    p->waitOrder = m_nextWaitOrder++;
    bucket->predictions.push_back(p);
    // Marked before its own prediction runs, so a rule that reaches itself
    // through first elements is predicted once, not forever.
    m_predictionOf[rule->serial] = p;
    return p;
}

inline bool Chart::FullyPredicted(const PrsSymbol* symbol) const
{
    return symbol->index < m_fullyPredicted.size() &&
           m_fullyPredicted[symbol->index] == m_parser->grammarVersion + 1;
}

void Chart::Predict(const PrsSymbol* symbol, const PrsRule* own)
{
    if (FullyPredicted(symbol))
        return;
    // Depth first, as a recursion would go, on a stack of our own.
    m_predictStack.clear();
    m_predictStack.push_back({symbol, own, 0, true});
    while (!m_predictStack.empty()) {
        PredictFrame& f = m_predictStack.back();
        if (f.next >= f.symbol->rules.size()) {
            if (f.complete) {
                if (f.symbol->index >= m_fullyPredicted.size())
                    m_fullyPredicted.resize(f.symbol->index + 1, 0);
                m_fullyPredicted[f.symbol->index] = m_parser->grammarVersion + 1;
            }
            m_predictStack.pop_back();
            continue;
        }
        PrsRule* r = f.symbol->rules[f.next++];
        if (r->topLevel || r->entries.empty())
            continue;
        if (r->serial < m_predictionOf.size() && m_predictionOf[r->serial])
            continue;
        if (r == f.own) {
            f.complete = false;
            continue;
        }
        MakePrediction(r);
        if (!FullyPredicted(r->entries[0].symbol))
            m_predictStack.push_back({r->entries[0].symbol, r, 0, true});
    }
}

void Chart::Seed()
{
    for (PrsRule* r : m_parser->rules) {
        if (!r->topLevel || r->entries.empty())
            continue;
        MakePrediction(r);
        Predict(r->entries[0].symbol, r);
    }
}

void Chart::ForgetRule(const PrsRule* rule)
{
    if (rule->serial >= m_predictionOf.size() || !m_predictionOf[rule->serial])
        return;
    ChartItem* p = m_predictionOf[rule->serial];
    m_predictionOf[rule->serial] = nullptr;
    if (!rule->entries.empty()) {
        if (WaitBucket* b = BucketOf(rule->entries[0].symbol, false)) {
            auto& preds = b->predictions;
            preds.erase(std::remove(preds.begin(), preds.end(), p), preds.end());
        }
    }
    // Items of the last parse may still name the rule; nothing reads them
    // before the next parse throws them away.
    auto it = std::find_if(m_predictions.begin(), m_predictions.end(),
                           [p](const std::unique_ptr<ChartItem>& q) { return q.get() == p; });
    if (it != m_predictions.end())
        m_predictions.erase(it);
}

void Chart::Clear()
{
    ResetParse();
    m_candidates.clear();
    m_candidateTerms.clear();
    m_predictions.clear();
    m_predictionOf.clear();
    m_waiting.clear();
    m_fullyPredicted.clear();
}

//--- one parse

ChartItem* Chart::NewItem()
{
    if (m_used == m_chunks.size() * kChunk)
        m_chunks.push_back(std::unique_ptr<ChartItem[]>(new ChartItem[kChunk]));
    ChartItem* item = &m_chunks[m_used / kChunk][m_used % kChunk];
    ++m_used;
    return item;
}

void Chart::ResetParse()
{
    m_used = 0;
    m_candidateCount = 0;
    m_slotStore.Reset();
    for (WaitBucket& b : m_waiting) {
        b.items.Clear();
        if (m_phraseWordsWaited)
            b.phraseWords.clear();
    }
    m_phraseWordsWaited = false;
    m_offers = 0;
    m_agenda.clear();
    m_agendaHead = 0;
    m_toWait.clear();
    m_linksUsed = 0;
    m_dates.Reset();
    if (m_phrasesMatched) {
        for (std::vector<PhraseEnd>& ends : m_phraseEnds)
            ends.clear();
    }
    m_phrasesMatched = 0;
}

inline bool Chart::CanStartWithin(const PrsSymbol* symbol, int from, int32_t nearness) const
{
    if (nearness < 0)
        return false;
    if (nearness > 64 || symbol->index >= m_reachSymbols)
        return true;
    const size_t word = symbol->index / 64;
    const uint64_t bit = uint64_t(1) << (symbol->index % 64);
    const size_t first = static_cast<size_t>(from);
    auto startable = [&](size_t t) { return (m_startable[m_tokenText[t] * m_symbolWords + word] & bit) != 0; };
    if (nearness == 0)
        return first <= m_tokenCount && startable(first);
    const size_t last = std::min<size_t>(first + static_cast<size_t>(nearness), m_tokenCount);
    for (size_t t = first; t <= last; ++t) {
        if (startable(t))
            return true;
    }
    return false;
}

void Chart::Parse(const PRSWCHAR* text, size_t length)
{
    ResetParse();
    m_made = 0;
    // Orders count on from parse to parse; before they could run out, they
    // start again from the predictions, in the order they were made.
    if (m_nextWaitOrder > (1u << 31)) {
        m_nextWaitOrder = 0;
        for (const std::unique_ptr<ChartItem>& p : m_predictions)
            p->waitOrder = m_nextWaitOrder++;
    }
    ReadTokens(text, length);
    m_startCounts.assign(m_tokenCount + 1, 0);
    m_textEnd = m_tokenCount ? m_tokens[m_tokenCount - 1].first + m_tokens[m_tokenCount - 1].length : 0;
    for (size_t i = 0; i < m_tokenCount; ++i) {
        QueueToken(i);
        ProcessAgenda();
        if (m_phrasesMatched)
            PhraseEndsAt(i).clear();
    }
    const Position eof = PositionOf(static_cast<int>(m_tokenCount));
    m_agenda.push_back({eof, eof, m_parser->symbols.eof, nullptr, SlotSpan(), nullptr, nullptr, 0});
    ProcessAgenda();
    CollectCandidates();
    m_made = m_used + m_phrasesMatched;
}

inline void Chart::QueueEntry(const Position& p, const PrsLexiconEntry* entry)
{
    m_agenda.push_back({p, p, entry->symbol, entry, entry->slots.Span(), nullptr, nullptr, 0});
}

void Chart::QueueToken(size_t at)
{
    const PrsToken& token = m_tokens[at];
    const Position p = PositionOf(static_cast<int>(at));
    if (token.kind == kNumeralToken) {
        m_numeral.resize(2);
        m_numeral[0].id = PRS_SLOT_DIGITS;
        m_numeral[0].value = SlotValue::Int(token.length);
        m_numeral[1].id = PRS_SLOT_NUMBER;
        m_numeral[1].value = SlotValue::Int(NumeralValue(token.text.data(), token.text.size()));
        m_agenda.push_back({p, p, m_parser->symbols.numeral, nullptr, m_slotStore.Keep(m_numeral), nullptr, nullptr, 0});
    }
    const TextEntries& text = m_texts[m_tokenText[at]];
    const bool noPhraseEnds = !m_phrasesMatched || PhraseEndsAt(at).empty();
    if (!m_wholePhrases || (noPhraseEnds && text.leadCount == text.count)) {
        for (uint32_t e = text.first; e < text.first + text.count; ++e)
            QueueEntry(p, m_textEntries[e]);
        return;
    }
    // Entries that begin something, and the last words of the phrases
    // matched up to here, in lookup order; no other word can move an item.
    if (noPhraseEnds) {
        for (uint32_t l = text.firstLead; l < text.firstLead + text.leadCount; ++l)
            QueueEntry(p, m_textEntries[text.first + m_leadEntries[l]]);
        return;
    }
    const std::vector<PhraseEnd>& ends = PhraseEndsAt(at);
    m_endOrder.clear();
    for (size_t i = 0; i < ends.size(); ++i)
        m_endOrder.push_back(uint64_t(ends[i].at) << 32 | i);
    std::sort(m_endOrder.begin(), m_endOrder.end());
    m_phraseEndCursor = 0;
    size_t end = 0;
    auto queueEndsBefore = [&](uint32_t place) {
        while (end < m_endOrder.size() && (m_endOrder[end] >> 32) < place) {
            const uint64_t here = m_endOrder[end] >> 32;
            QueueEntry(p, ends[m_endOrder[end] & UINT32_MAX].word);
            while (end < m_endOrder.size() && (m_endOrder[end] >> 32) == here)
                ++end;
        }
    };
    // The lead entries are listed only where later words are among them.
    const bool allLead = text.leadCount == text.count;
    for (uint32_t l = 0; l < text.leadCount; ++l) {
        const uint32_t place = allLead ? l : m_leadEntries[text.firstLead + l];
        queueEndsBefore(place);
        QueueEntry(p, m_textEntries[text.first + place]);
    }
    queueEndsBefore(UINT32_MAX);
}


std::vector<Chart::PhraseEnd>& Chart::PhraseEndsAt(size_t token)
{
    // A phrase ends within the longest span of where it began.
    if (m_phraseEnds.empty())
        m_phraseEnds.resize(kMaxSpan);
    return m_phraseEnds[token % kMaxSpan];
}

void Chart::Offer(const Constituent& c)
{
    const size_t at = c.symbol->index;
    // A later word of a phrase moves only the items waiting for that word;
    // any other element moves only items that are not inside a phrase.
    if (c.entry && c.entry->continuation) {
        if (m_wholePhrases || at < m_waiting.size())
            OfferPhraseWord(c);
        return;
    }
    if (at >= m_waiting.size())
        return;
    // Only items that ended within reach of the element can take it.
    const WaitList& b = m_waiting[at].items;
    const int newest = c.start.index - 1;
    const int oldest = newest - std::max(b.maxNearness, 0);
    size_t item = b.FirstEndingAtOrAfter(oldest);
    const size_t itemEnd = b.FirstEndingAtOrAfter(newest + 1);
    // Predictions made while this element is offered do not see it.
    const size_t predictionEnd = m_waiting[at].predictions.size();
    size_t prediction = 0;
    // Advancing may add buckets and predictions: index afresh each time.
    // Items waiting for this symbol do not change until the agenda is empty.
    while (prediction < predictionEnd || item < itemEnd) {
        const WaitBucket& now = m_waiting[at];
        const ChartItem* next;
        if (item == itemEnd ||
            (prediction < predictionEnd && now.predictions[prediction]->waitOrder < now.items.items[item]->waitOrder))
            next = now.predictions[prediction++];
        else
            next = now.items.items[item++];
        ++m_offers;
        if (WouldWaitForEver(*next, c))
            continue;
        if (Accepts(*next, c))
            Advance(*next, c);
    }
}

void Chart::OfferPhraseWord(const Constituent& c)
{
    const size_t at = c.symbol->index;
    if (m_wholePhrases) {
        // Last words come in the order of their places, each once.
        const std::vector<PhraseEnd>& ends = PhraseEndsAt(static_cast<size_t>(c.start.index));
        size_t& i = m_phraseEndCursor;
        while (i < m_endOrder.size() && ends[m_endOrder[i] & UINT32_MAX].word != c.entry)
            ++i;
        for (; i < m_endOrder.size(); ++i) {
            const PhraseEnd& waiting = ends[m_endOrder[i] & UINT32_MAX];
            if (waiting.word != c.entry)
                break;
            ++m_offers;
            if (Accepts(waiting.item, c))
                Advance(waiting.item, c);
        }
        return;
    }
    auto found = m_waiting[at].phraseWords.find(c.entry);
    if (found == m_waiting[at].phraseWords.end())
        return;
    const WaitList& list = found->second;
    const int newest = c.start.index - 1;
    const int oldest = newest - std::max(list.maxNearness, 0);
    const size_t first = list.FirstEndingAtOrAfter(oldest);
    const size_t last = list.FirstEndingAtOrAfter(newest + 1);
    for (size_t i = first; i < last; ++i) {
        // Advancing may add buckets, which moves them: find the list afresh.
        const ChartItem* item = m_waiting[at].phraseWords.find(c.entry)->second.items[i];
        ++m_offers;
        if (Accepts(*item, c))
            Advance(*item, c);
    }
}

inline bool Chart::WouldWaitForEver(const ChartItem& item, const Constituent& c) const
{
    // Only when taking the element moves the dot on and everything the item
    // would then wait for is predicted already: skipping the tests then
    // leaves the chart as Advance would.
    if (item.pending || (c.entry && c.entry->next))
        return false;
    const size_t dot = item.dot + 1;
    if (dot >= item.rule->entries.size())
        return false;
    const RuleEntry& next = item.rule->entries[dot];
    return FullyPredicted(next.symbol) && !CanStartWithin(next.symbol, c.end.index + 1, next.nearness);
}

Fit FitOf(bool madeByItem, const RuleEntry& next, int itemStart, int itemEnd, const PrsLexiconEntry* pending,
          int elementStart, int elementEnd, const PrsLexiconEntry* element)
{
    if (madeByItem)
        return Fit::kRefused;
    if (itemStart != -1 && elementEnd - itemStart >= kMaxSpan)
        return Fit::kRefused;
    if (itemEnd != -1) {
        const int gap = elementStart - itemEnd - 1;
        if (gap < 0 || gap > next.nearness)
            return Fit::kRefused;
    }
    if (pending)
        return element && element == pending->next ? Fit::kPhraseWord : Fit::kRefused;
    if (element && element->continuation)
        return Fit::kRefused;
    return Fit::kTestSlots;
}

Progress ProgressOver(const Progress& before, int elementStart, int elementEnd, const PrsLexiconEntry* element)
{
    Progress after = before;
    if (after.start == -1)
        after.start = elementStart;
    after.end = elementEnd;
    if (element && element->next) {
        after.pending = element;
    } else {
        after.pending = nullptr;
        ++after.dot;
    }
    return after;
}

bool Chart::Accepts(const ChartItem& item, const Constituent& c)
{
    const RuleEntry& entry = item.rule->entries[item.dot];
    const Fit fit = FitOf(c.origin == &item, entry, item.start, item.end, item.pending, c.start.index, c.end.index,
                          c.entry);
    if (fit != Fit::kTestSlots)
        return fit == Fit::kPhraseWord;
    // A one-element rule over an element it already made would go round for ever.
    if (item.start == -1 && item.rule->entries.size() == 1) {
        for (const UnitLink* u = c.units; u; u = u->next) {
            if (u->rule == item.rule)
                return false;
        }
    }
    return EntryAccepts(entry, {c.symbol, c.slots, c.start.first, c.end.last}, item.Slots(), m_dates);
}

namespace {

// Whether every id of `part` is also an id of `whole` (both sorted).
bool IdsWithin(SlotSpan part, SlotSpan whole)
{
    const SlotRecord* w = whole.begin;
    for (const SlotRecord* p = part.begin; p != part.end(); ++p) {
        while (w != whole.end() && w->id < p->id)
            ++w;
        if (w == whole.end() || w->id != p->id)
            return false;
    }
    return true;
}

} // namespace

void Chart::Advance(const ChartItem& item, const Constituent& c)
{
    const PrsRule* rule = item.rule;
    const RuleEntry& entry = rule->entries[item.dot];
    const Progress p = ProgressOver({item.start, item.end, item.pending, item.dot}, c.start.index, c.end.index, c.entry);
    if (p.dot < rule->entries.size()) {
        const RuleEntry& next = rule->entries[p.dot];
        if (!CanStartWithin(next.symbol, p.end + 1, next.nearness)) {
            // It would wait for ever: only its prediction is kept, so that
            // predictions come in the same order as if it had been made.
            Predict(next.symbol, rule);
            return;
        }
    }
    // Slot sets in the store never change, so an item whose set equals one
    // there shares it; a token's definition is copied, since the lexicon may
    // change from a callback while the set is still read.
    SlotSpan slots;
    if (entry.actions.empty()) {
        slots = item.Slots();
    } else if (!c.entry && entry.takesAllAsIs && IdsWithin(item.Slots(), c.slots)) {
        // The element's values overwrite every slot the item has.
        slots = c.slots;
    } else {
        m_scratch.records.assign(item.slotRecords, item.slotRecords + item.slotCount);
        ApplyEntry(entry, {c.symbol, c.slots, c.start.first, c.end.last}, m_scratch);
        slots = m_slotStore.Keep(m_scratch.records);
    }

    ChartItem* n = p.pending && m_wholePhrases ? &m_phraseStart : NewItem();
    n->rule = rule;
    n->pending = p.pending;
    n->dot = p.dot;
    n->levels = std::max(item.levels, c.levels);
    n->candidate = false;
    n->SetSlots(slots);
    n->start = p.start;
    n->end = p.end;
    n->waitOrder = 0;
    if (n == &m_phraseStart) {
        MatchPhrase(m_phraseStart);
        return;
    }

    if (!n->Complete()) {
        Predict(rule->entries[n->dot].symbol, rule);
        m_toWait.push_back(n);
        return;
    }
    if (rule->topLevel) {
        ++m_startCounts[static_cast<size_t>(n->start)];
        ++m_candidateCount;
        n->candidate = true;
    }
    const uint16_t levels = static_cast<uint16_t>(n->levels + 1);
    if (levels >= kMaxLevels)
        return;
    const UnitLink* units = nullptr;
    if (item.start == -1) {
        if (m_linksUsed == m_linkChunks.size() * kChunk)
            m_linkChunks.push_back(std::unique_ptr<UnitLink[]>(new UnitLink[kChunk]));
        UnitLink* link = &m_linkChunks[m_linksUsed / kChunk][m_linksUsed % kChunk];
        ++m_linksUsed;
        *link = {rule, c.units};
        units = link;
    }
    m_agenda.push_back({PositionOf(n->start), PositionOf(n->end), rule->symbol, nullptr, n->Slots(), &item, units,
                        levels});
}

const Chart::Chain& Chart::ChainOf(const PrsLexiconEntry* firstWord)
{
    const uint32_t known = m_chainOf.Find(KeyOf(firstWord));
    if (known != FlatIndex::kNone)
        return m_chains[known];
    Chain chain;
    chain.first = static_cast<uint32_t>(m_chainTexts.size());
    const PrsLexiconEntry* before = firstWord;
    for (const PrsLexiconEntry* word = firstWord->next; word; before = word, word = word->next) {
        const uint32_t place = m_wordPlaceOf.Find(KeyOf(word));
        if (place == FlatIndex::kNone) {
            m_chainTexts.resize(chain.first);
            chain.count = 0;
            break;
        }
        m_chainTexts.push_back(m_wordPlaces[place].text);
        ++chain.count;
        chain.lastPlace = m_wordPlaces[place].at;
        chain.beforeLast = before;
    }
    m_chains.push_back(chain);
    m_chainOf.Insert(KeyOf(firstWord), static_cast<uint32_t>(m_chains.size() - 1));
    return m_chains.back();
}

void Chart::MatchPhrase(ChartItem inside)
{
    const RuleEntry& entry = inside.rule->entries[inside.dot];
    Predict(entry.symbol, inside.rule);
    const Chain& chain = ChainOf(inside.pending);
    const size_t from = static_cast<size_t>(inside.end) + 1;
    const size_t last = from + chain.count - 1;
    if (chain.count == 0 || last >= m_tokenCount || static_cast<int>(last) - inside.start >= kMaxSpan)
        return;
    for (uint32_t k = 0; k < chain.count; ++k) {
        if (m_tokenText[from + k] != m_chainTexts[chain.first + k])
            return;
    }
    // The words between: the item takes each as it would the element.
    if (!entry.actions.empty()) {
        const PrsLexiconEntry* word = inside.pending->next;
        for (size_t at = from; at < last; ++at, word = word->next) {
            const Position p = PositionOf(static_cast<int>(at));
            m_scratch.records.assign(inside.slotRecords, inside.slotRecords + inside.slotCount);
            ApplyEntry(entry, {word->symbol, word->slots.Span(), p.first, p.last}, m_scratch);
            inside.SetSlots(m_slotStore.Keep(m_scratch.records));
        }
    }
    if (last > from) {
        inside.pending = chain.beforeLast;
        inside.end = static_cast<int32_t>(last - 1);
    }
    PhraseEndsAt(last).push_back({chain.beforeLast->next, chain.lastPlace, inside});
    ++m_phrasesMatched;
}

void Chart::ProcessAgenda()
{
    while (m_agendaHead < m_agenda.size()) {
        const Constituent c = m_agenda[m_agendaHead++];
        Offer(c);
    }
    m_agenda.clear();
    m_agendaHead = 0;
    for (ChartItem* n : m_toWait) {
        const RuleEntry& next = n->rule->entries[n->dot];
        n->waitOrder = m_nextWaitOrder++;
        WaitBucket* b = BucketOf(next.symbol, true);
        if (n->pending)
            m_phraseWordsWaited = true;
        (n->pending ? b->phraseWords[n->pending->next] : b->items).Append(n, next.nearness);
    }
    m_toWait.clear();
}

void Chart::CollectCandidates()
{
    // A counting sort by start token of the items in order of creation:
    // stable, and linear in the items.
    uint32_t sum = 0;
    for (uint32_t& n : m_startCounts) {
        const uint32_t here = n;
        n = sum;
        sum += here;
    }
    m_candidates.resize(m_candidateCount);
    m_candidateTerms.resize(m_candidateCount);
    for (size_t i = 0; i < m_used; ++i) {
        const ChartItem& n = m_chunks[i / kChunk][i % kChunk];
        if (!n.candidate)
            continue;
        const size_t at = m_startCounts[static_cast<size_t>(n.start)]++;
        m_candidates[at] = &n;
        m_candidateTerms[at] = {n.rule->strength, n.rule->domain, n.rule->package, n.start, n.end};
    }
}

SlotSpan Chart::SlotStore::Keep(std::vector<SlotRecord>& records)
{
    const size_t count = records.size();
    if (count == 0)
        return SlotSpan();
    while (m_current < m_chunks.size() && m_chunks[m_current].size - m_chunks[m_current].used < count)
        ++m_current;
    if (m_current == m_chunks.size()) {
        Chunk chunk;
        chunk.size = std::max<size_t>(count, 1024);
        chunk.records.reset(new SlotRecord[chunk.size]);
        m_chunks.push_back(std::move(chunk));
    }
    Chunk& chunk = m_chunks[m_current];
    SlotRecord* at = chunk.records.get() + chunk.used;
    std::move(records.begin(), records.end(), at);
    chunk.used += count;
    records.clear();
    return {at, count};
}

void Chart::SlotStore::Reset()
{
    for (Chunk& chunk : m_chunks) {
        for (size_t i = 0; i < chunk.used; ++i)
            chunk.records[i].value = SlotValue();
        chunk.used = 0;
    }
    m_current = 0;
}

void Chart::WaitList::Append(ChartItem* item, int32_t nearness)
{
    const size_t end = static_cast<size_t>(item->end);
    if (firstEndingAt.size() <= end)
        firstEndingAt.resize(end + 1, static_cast<uint32_t>(items.size()));
    items.push_back(item);
    maxNearness = std::max(maxNearness, nearness);
}

uint32_t Chart::WaitList::FirstEndingAtOrAfter(int end) const
{
    if (end <= 0)
        return 0;
    if (static_cast<size_t>(end) < firstEndingAt.size())
        return firstEndingAt[static_cast<size_t>(end)];
    return static_cast<uint32_t>(items.size());
}

void Chart::WaitList::Clear()
{
    items.clear();
    firstEndingAt.clear();
    maxNearness = 0;
}

} // namespace osprey
