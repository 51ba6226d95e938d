#include "Conflict.h"

#include <algorithm>
#include <numeric>

namespace osprey {

void BatchSettler::Order(const Candidate* batch, size_t count)
{
    // By start, then the longer first, else in the order given. Batches come
    // sorted by start; within a start they mostly come shortest first.
    m_order.resize(count);
    std::iota(m_order.begin(), m_order.end(), uint32_t(0));
    auto byStart = [&](uint32_t a, uint32_t b) { return batch[a].start < batch[b].start; };
    if (!std::is_sorted(m_order.begin(), m_order.end(), byStart))
        std::stable_sort(m_order.begin(), m_order.end(), byStart);
    auto longerFirst = [&](uint32_t a, uint32_t b) { return LengthOf(batch[a]) > LengthOf(batch[b]); };
    auto notLonger = [&](uint32_t a, uint32_t b) { return LengthOf(batch[a]) >= LengthOf(batch[b]); };
    for (auto group = m_order.begin(); group != m_order.end();) {
        const int start = batch[*group].start;
        auto groupEnd = std::find_if(group, m_order.end(), [&](uint32_t i) { return batch[i].start != start; });
        if (std::adjacent_find(group, groupEnd, notLonger) == groupEnd)
            std::reverse(group, groupEnd);      // strictly shortest first: no ties to keep
        else if (!std::is_sorted(group, groupEnd, longerFirst))
            std::stable_sort(group, groupEnd, longerFirst);
        group = groupEnd;
    }
}

void BatchSettler::Trim(size_t count)
{
    if (m_order.capacity() > count || m_nextIn.capacity() > count) {
        std::vector<uint32_t>().swap(m_order);
        std::vector<uint32_t>().swap(m_nextIn);
    }
}

uint32_t BatchSettler::NextInBatch(uint32_t i)
{
    // Skips candidates already removed, with path halving.
    while (i < m_nextIn.size() && m_nextIn[i] != i) {
        m_nextIn[i] = m_nextIn[m_nextIn[i]];
        i = m_nextIn[i];
    }
    return i;
}

void BatchSettler::Settle(const Candidate* batch, size_t count, std::vector<size_t>& kept)
{
    kept.clear();
    if (count == 1) {
        kept.push_back(0);
        return;
    }
    Order(batch, count);
    const uint32_t n = static_cast<uint32_t>(m_order.size());
    // Candidates the scans still have to visit: not removed, and not judged
    // and ended before the one being judged.
    m_nextIn.resize(n + 1);
    std::iota(m_nextIn.begin(), m_nextIn.end(), uint32_t(0));
    auto remove = [&](uint32_t i) { m_nextIn[i] = i + 1; };
    for (uint32_t ki = 0; ki < n; ++ki) {
        const Candidate& k = batch[m_order[ki]];
        if (k.domain == 2 || (k.strength & kAlwaysKept)) {
            kept.push_back(m_order[ki]);
            continue;
        }
        if (k.strength == 0) {
            remove(ki);
            continue;
        }
        bool lost = false;
        for (uint32_t oi = NextInBatch(0); oi < n && !lost; oi = NextInBatch(oi + 1)) {
            if (oi == ki)
                continue;
            const Candidate& o = batch[m_order[oi]];
            if (oi < ki && o.end < k.start) {
                remove(oi);     // judged, and ends before every later start
                continue;
            }
            if (o.start > k.end)
                break;          // so do all after it
            if (k.domain == 1 && o.package != k.package)
                continue;
            lost = LosesTo(k, o);
        }
        if (lost)
            remove(ki);
        else
            kept.push_back(m_order[ki]);
    }
}

} // namespace osprey
