#include "Conflict.h"

#include <algorithm>
#include <numeric>

namespace osprey {

namespace {

enum Outcome { kLost, kTied, kWon };

int LengthOf(const Candidate& c)
{
    return c.end == -1 ? 0 : c.end - c.start + 1;
}

} // namespace

bool LosesTo(const Candidate& k, const Candidate& o)
{
    const uint32_t ks = k.strength, os = o.strength;
    if (os == kBeatsAll)
        return true;
    if ((os & kStrong) && !(ks & (kStrong | kStronger)))
        return true;
    if ((os & kStronger) && !(ks & kStronger))
        return true;
    if ((ks & kStrong) && !(os & (kStrong | kStronger)))
        return false;
    if ((ks & kStronger) && !(os & kStronger))
        return false;

    Outcome start = k.start < o.start ? kWon
                  : (k.start == o.start && (ks & kStartTies)) ? kTied : kLost;
    const int kl = LengthOf(k), ol = LengthOf(o);
    const bool longer = kl > ol;
    Outcome length = (kl == ol && (ks & kLengthTies)) ? kTied
                   : ((longer && !(ks & kShorterWins)) || (!longer && (ks & kShorterWins))) ? kWon
                   : kLost;
    if (start == kTied)
        start = ((ks & kCoupledTies) && length == kLost) ? kLost : kWon;
    if (length == kTied)
        length = (ks & kCoupledTies) ? (start == kWon ? kWon : kLost) : kWon;
    if (!(ks & kStartCounts))
        start = kWon;
    if (!(ks & kLengthCounts))
        length = kWon;
    const bool beats = (ks & kOneTestSuffices) ? (start == kWon || length == kWon)
                                               : (start == kWon && length == kWon);
    return !beats;
}

void BatchSettler::Order(const Candidate* batch, size_t count)
{
    // By start, then the longer first, else in the order given. Batches come
    // sorted by start; within a start they mostly come shortest first.
    m_order.resize(count);
    std::iota(m_order.begin(), m_order.end(), size_t(0));
    auto byStart = [&](size_t a, size_t b) { return batch[a].start < batch[b].start; };
    if (!std::is_sorted(m_order.begin(), m_order.end(), byStart))
        std::stable_sort(m_order.begin(), m_order.end(), byStart);
    auto longerFirst = [&](size_t a, size_t b) { return LengthOf(batch[a]) > LengthOf(batch[b]); };
    auto notLonger = [&](size_t a, size_t b) { return LengthOf(batch[a]) >= LengthOf(batch[b]); };
    for (auto group = m_order.begin(); group != m_order.end();) {
        const int start = batch[*group].start;
        auto groupEnd = std::find_if(group, m_order.end(), [&](size_t i) { return batch[i].start != start; });
        if (std::adjacent_find(group, groupEnd, notLonger) == groupEnd)
            std::reverse(group, groupEnd);      // strictly shortest first: no ties to keep
        else if (!std::is_sorted(group, groupEnd, longerFirst))
            std::stable_sort(group, groupEnd, longerFirst);
        group = groupEnd;
    }
}

size_t BatchSettler::NextInBatch(size_t i)
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
    const size_t n = m_order.size();
    // Candidates the scans still have to visit: not removed, and not judged
    // and ended before the one being judged.
    m_nextIn.resize(n + 1);
    std::iota(m_nextIn.begin(), m_nextIn.end(), size_t(0));
    auto remove = [&](size_t i) { m_nextIn[i] = i + 1; };
    for (size_t ki = 0; ki < n; ++ki) {
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
        for (size_t oi = NextInBatch(0); oi < n && !lost; oi = NextInBatch(oi + 1)) {
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
