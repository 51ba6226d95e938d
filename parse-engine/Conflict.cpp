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

bool Overlap(const Candidate& a, const Candidate& b)
{
    return a.start <= b.end && b.start <= a.end;
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

template <class Key>
void BatchSettler::CountingSort(std::vector<size_t>& order, size_t keys, Key key)
{
    m_counts.assign(keys + 1, 0);
    for (size_t i : order)
        ++m_counts[key(i) + 1];
    for (size_t k = 1; k <= keys; ++k)
        m_counts[k] += m_counts[k - 1];
    m_sorted.resize(order.size());
    for (size_t i : order)
        m_sorted[m_counts[key(i)]++] = i;
    order.swap(m_sorted);
}

void BatchSettler::Settle(const std::vector<Candidate>& batch, std::vector<size_t>& kept)
{
    kept.clear();
    if (batch.size() == 1) {
        kept.push_back(0);
        return;
    }
    // By start, then the longer first, else in the order given: two stable
    // counting sorts, the minor key first. Starts and lengths are token
    // counts, so both are linear.
    int lowest = batch[0].start, highest = batch[0].start, longest = 0;
    for (const Candidate& c : batch) {
        lowest = std::min(lowest, c.start);
        highest = std::max(highest, c.start);
        longest = std::max(longest, LengthOf(c));
    }
    m_order.resize(batch.size());
    std::iota(m_order.begin(), m_order.end(), size_t(0));
    CountingSort(m_order, static_cast<size_t>(longest) + 1,
                 [&](size_t i) { return static_cast<size_t>(longest - LengthOf(batch[i])); });
    CountingSort(m_order, static_cast<size_t>(highest - lowest) + 1,
                 [&](size_t i) { return static_cast<size_t>(batch[i].start - lowest); });
    m_inBatch.assign(batch.size(), 1);
    for (size_t ki = 0; ki < m_order.size(); ++ki) {
        const Candidate& k = batch[m_order[ki]];
        if (k.domain == 2 || (k.strength & kAlwaysKept)) {
            kept.push_back(m_order[ki]);
            continue;
        }
        if (k.strength == 0) {
            m_inBatch[ki] = 0;
            continue;
        }
        bool lost = false;
        for (size_t oi = 0; oi < m_order.size() && !lost; ++oi) {
            if (oi == ki || !m_inBatch[oi])
                continue;
            const Candidate& o = batch[m_order[oi]];
            if ((k.domain == 1 && o.package != k.package) || !Overlap(k, o))
                continue;
            lost = LosesTo(k, o);
        }
        if (lost)
            m_inBatch[ki] = 0;
        else
            kept.push_back(m_order[ki]);
    }
}

} // namespace osprey
