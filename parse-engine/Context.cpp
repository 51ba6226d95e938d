#include "Context.h"

#include "Parser.h"

#include <algorithm>
#include <memory>

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
    // Whatever a callback throws stops there: the lists stay consistent.
    try {
        parser->callback->Call(event, this, keyphrase, oldFirst, oldLast);
    } catch (...) {
    }
}

void PrsContext::Parse(const PRSWCHAR* newText, size_t length)
{
    text.assign(newText, length);
    try {
        chart.Parse(text.data(), text.size());
        EndOfParse();
    } catch (...) {
        // Back to the keyphrases the caller has heard of: the new ones go,
        // those not yet matched again stay.
        for (PrsKeyphrase* k : m_added) {
            current.erase(std::remove(current.begin(), current.end(), k), current.end());
            k->Release();
        }
        current.insert(current.end(), m_previous.begin(), m_previous.end());
        m_previous.clear();
        m_added.clear();
        throw;
    }
}

void PrsContext::EndOfParse()
{
    m_previous.swap(current);
    current.clear();
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
    for (auto it = m_previous.begin(); it != m_previous.end(); ++it) {
        PrsKeyphrase* p = *it;
        if (p->rule != item.rule || !osprey::SlotSetsEqual(p->slots.Span(), slots))
            continue;
        m_previous.erase(it);
        current.push_back(p);
        if (p->start.first != item.start.first || p->end.last != item.end.last) {
            int oldFirst = p->start.first, oldLast = p->end.last;
            p->start = item.start;
            p->end = item.end;
            Raise(PRS_EVENT_MOVED, p, oldFirst, oldLast);
        }
        return;
    }
    std::unique_ptr<PrsKeyphrase, void (*)(PrsKeyphrase*)> k(new PrsKeyphrase,
                                                             [](PrsKeyphrase* p) { p->Release(); });
    k->rule = item.rule;
    k->slots.records.assign(slots.begin, slots.end());
    k->start = item.start;
    k->end = item.end;
    current.reserve(current.size() + 1);
    m_added.push_back(k.get());
    current.push_back(k.release());
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
