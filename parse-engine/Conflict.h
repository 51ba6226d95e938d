// Settling a batch of overlapping candidate keyphrases by their rules'
// strengths and conflict domains.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace osprey {

// Strength bits.
enum : uint32_t {
    kStartCounts = 0x001,
    kLengthCounts = 0x002,
    kCoupledTies = 0x004,
    kStartTies = 0x008,
    kLengthTies = 0x010,
    kOneTestSuffices = 0x020,
    kStrong = 0x040,
    kStronger = 0x080,
    kShorterWins = 0x100,
    kAlwaysKept = 0x400,
    kBeatsAll = 1024            // as the whole strength, not a bit
};

struct Candidate {
    uint32_t strength;
    uint32_t domain;
    const void* package;
    int start, end;             // token indexes, end inclusive
};

enum Outcome { kLost, kTied, kWon };

inline int LengthOf(const Candidate& c)
{
    return c.end == -1 ? 0 : c.end - c.start + 1;
}

// True when K, judged against the overlapping O, is beaten by it. Inline:
// settling a long batch asks it of every candidate.
__attribute__((always_inline)) inline bool LosesTo(const Candidate& k, const Candidate& o)
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

// Settles one batch given in the order its items were made; fills `kept`
// with the indexes of the survivors in the order they are emitted.
class BatchSettler {
public:
    void Settle(const Candidate* batch, size_t count, std::vector<size_t>& kept);
    void Settle(const std::vector<Candidate>& batch, std::vector<size_t>& kept)
    {
        Settle(batch.data(), batch.size(), kept);
    }
    // Lets go of room for batches longer than `count`.
    void Trim(size_t count);

private:
    void Order(const Candidate* batch, size_t count);
    uint32_t NextInBatch(uint32_t i);

    std::vector<uint32_t> m_order;      // positions of the batch in settling order
    std::vector<uint32_t> m_nextIn;     // by order: the next one still in the batch
};

} // namespace osprey
