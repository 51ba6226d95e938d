#include "Context.h"

#include "Parser.h"

#include <algorithm>
#include <memory>
#include <utility>

using osprey::ChartItem;

PrsContext::PrsContext(PrsParser* owner) : parser(owner), chart(owner)
{
}

PrsContext::~PrsContext()
{
    for (PrsKeyphrase* k : current)
        k->Release();
}

void PrsContext::Raise(int event, PrsKeyphrase* keyphrase, int oldFirst, int oldLast)
{
    if (!parser)
        return;
    // Whatever a callback throws stops there, so the lists stay consistent,
    // but the parse fails: the caller never heard all of it.
    try {
        parser->callback->Call(event, this, keyphrase, oldFirst, oldLast);
    } catch (...) {
        callbackFailed = true;
    }
}

void PrsContext::Parse(const PRSWCHAR* newText, size_t length)
{
    text.assign(newText, length);
    try {
        chart.Parse(text.data(), text.size());
        EndOfParse();
        Trim();
    } catch (...) {
        // Back to the keyphrases the caller has heard of: the new ones go,
        // those not yet matched again stay. The previous list holds room for
        // all of them, so memory that ran out is not asked for again here.
        for (PrsKeyphrase* k : m_added) {
            current.erase(std::remove(current.begin(), current.end(), k), current.end());
            k->Release();
        }
        m_added.clear();
        if (!m_previous.empty()) {
            m_previous.erase(std::remove(m_previous.begin(), m_previous.end(), nullptr), m_previous.end());
            const size_t kept = m_previous.size();
            m_previous.insert(m_previous.end(), current.begin(), current.end());
            std::rotate(m_previous.begin(), m_previous.begin() + static_cast<ptrdiff_t>(kept), m_previous.end());
            current.swap(m_previous);
            m_previous.clear();
        }
        Trim();
        throw;
    }
}

void PrsContext::EndOfParse()
{
    m_previous.swap(current);
    current.clear();
    current.reserve(m_previous.size());
    m_previousIndexed = false;
    m_previousFront = 0;
    // Batches are runs of candidates: one ends before a candidate that starts
    // after every end so far.
    const std::vector<osprey::Candidate>& terms = chart.CandidateTerms();
    size_t first = 0;
    int batchEnd = 0;
    for (size_t i = 0; i < terms.size(); ++i) {
        if (i > first && terms[i].start > batchEnd) {
            SettleBatch(first, i - first);
            first = i;
        }
        batchEnd = i == first ? terms[i].end : std::max(batchEnd, terms[i].end);
    }
    if (first < terms.size())
        SettleBatch(first, terms.size() - first);

    for (PrsKeyphrase* gone : m_previous) {
        if (!gone)
            continue;
        Raise(PRS_EVENT_REMOVED, gone, 0, 0);
        gone->Release();
    }
    m_previous.clear();
    for (PrsKeyphrase* fresh : m_added)
        Raise(PRS_EVENT_ADDED, fresh, 0, 0);
    m_added.clear();
}

void PrsContext::SettleBatch(size_t first, size_t count)
{
    m_settler.Settle(chart.CandidateTerms().data() + first, count, m_kept);
    for (size_t i : m_kept)
        Emit(*chart.Candidates()[first + i]);
}

void PrsContext::Emit(const ChartItem& item)
{
    osprey::SlotSpan slots = chart.SlotsOf(item);
    if (PrsKeyphrase* p = TakePrevious(item.rule, slots)) {
        current.push_back(p);
        const osprey::Position start = chart.PositionOf(item.start), end = chart.PositionOf(item.end);
        if (p->start.first != start.first || p->end.last != end.last) {
            int oldFirst = p->start.first, oldLast = p->end.last;
            p->start = start;
            p->end = end;
            Raise(PRS_EVENT_MOVED, p, oldFirst, oldLast);
        }
        return;
    }
    std::unique_ptr<PrsKeyphrase, void (*)(PrsKeyphrase*)> k(new PrsKeyphrase,
                                                             [](PrsKeyphrase* p) { p->Release(); });
    k->rule = item.rule;
    k->slots.records.assign(slots.begin, slots.end());
    k->start = chart.PositionOf(item.start);
    k->end = chart.PositionOf(item.end);
    // Room first, so that the keyphrase cannot be lost between the lists;
    // grown by half, or a parse of many keyphrases copies the list each time.
    if (current.size() == current.capacity())
        current.reserve(current.size() + current.size() / 2 + 16);
    m_added.push_back(k.get());
    current.push_back(k.release());
}

namespace {

uint64_t KeyOf(const PrsRule* rule, osprey::SlotSpan slots)
{
    return osprey::SlotSetHash(slots) * 31 + reinterpret_cast<uintptr_t>(rule);
}

const uint32_t kNone = osprey::FlatIndex::kNone;

} // namespace

void PrsContext::IndexPrevious()
{
    m_previousIndexed = true;
    m_previousFirst.Reset(m_previous.size());
    m_previousNext.assign(m_previous.size(), kNone);
    for (size_t i = m_previous.size(); i-- > 0;) {
        if (!m_previous[i])
            continue;
        uint32_t& first = m_previousFirst.Insert(KeyOf(m_previous[i]->rule, m_previous[i]->slots.Span()),
                                                 static_cast<uint32_t>(i));
        if (first != i) {
            m_previousNext[i] = first;
            first = static_cast<uint32_t>(i);
        }
    }
}

PrsKeyphrase* PrsContext::TakePrevious(const PrsRule* rule, osprey::SlotSpan slots)
{
    // A text parsed again finds its keyphrases in their order: the first
    // left is tried first. A short list is searched as it is; a long one
    // gets an index the first time that fails.
    auto same = [&](const PrsKeyphrase* p) {
        return p && p->rule == rule && osprey::SlotSetsEqual(p->slots.Span(), slots);
    };
    while (m_previousFront < m_previous.size() && !m_previous[m_previousFront])
        ++m_previousFront;
    if (m_previousFront < m_previous.size() && same(m_previous[m_previousFront]))
        return std::exchange(m_previous[m_previousFront], nullptr);
    if (m_previous.size() <= 16) {
        for (PrsKeyphrase*& p : m_previous) {
            if (same(p))
                return std::exchange(p, nullptr);
        }
        return nullptr;
    }
    if (!m_previousIndexed)
        IndexPrevious();
    uint32_t* head = m_previousFirst.At(KeyOf(rule, slots));
    if (!head)
        return nullptr;
    // Those taken before leave the front of their chain; the last stays.
    while (!m_previous[*head] && m_previousNext[*head] != kNone)
        *head = m_previousNext[*head];
    for (uint32_t i = *head; i != kNone; i = m_previousNext[i]) {
        if (same(m_previous[i]))
            return std::exchange(m_previous[i], nullptr);
    }
    return nullptr;
}

void PrsContext::Trim()
{
    chart.Trim();
    // The lists of one parse are as long as its candidates and keyphrases.
    const size_t kKeptEntries = 4096;
    if (m_previous.capacity() > kKeptEntries || m_previousNext.capacity() > kKeptEntries ||
        m_previousFirst.Bytes() > kKeptEntries * 16) {
        std::vector<PrsKeyphrase*>().swap(m_previous);
        std::vector<uint32_t>().swap(m_previousNext);
        m_previousFirst.Release();
        std::vector<PrsKeyphrase*>().swap(m_added);
    }
    if (m_kept.capacity() > kKeptEntries)
        std::vector<size_t>().swap(m_kept);
    m_settler.Trim(kKeptEntries);
}

void PrsContext::RemoveAll()
{
    std::vector<PrsKeyphrase*> gone;
    gone.swap(current);
    for (PrsKeyphrase* k : gone) {
        Raise(PRS_EVENT_REMOVED, k, 0, 0);
        k->Release();
    }
}

int PrsContext::KeyphrasesAt(int offset, int capacity, PrsKeyphrase** out) const
{
    int found = 0;
    for (const PrsKeyphrase* k : current) {
        if (k->start.first > offset)
            break;
        if (k->end.last < offset)
            continue;
        if (out && found < capacity)
            out[found] = const_cast<PrsKeyphrase*>(k);
        ++found;
    }
    return found;
}

void PrsContext::Detach()
{
    chart.Clear();
    for (PrsKeyphrase* k : current)
        k->Release();
    current.clear();
    parser = nullptr;
}
