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

// True when K, judged against the overlapping O, is beaten by it.
bool LosesTo(const Candidate& k, const Candidate& o);

// Settles one batch given in the order its items were made; fills `kept`
// with the indexes of the survivors in the order they are emitted.
class BatchSettler {
public:
    void Settle(const Candidate* batch, size_t count, std::vector<size_t>& kept);
    void Settle(const std::vector<Candidate>& batch, std::vector<size_t>& kept)
    {
        Settle(batch.data(), batch.size(), kept);
    }

private:
    void Order(const Candidate* batch, size_t count);
    size_t NextInBatch(size_t i);

    std::vector<size_t> m_order;        // positions of the batch in settling order
    std::vector<size_t> m_nextIn;       // by order: the next one still in the batch
};

} // namespace osprey
