// What a chart keeps from one parse to the next, and letting it go.
#include "Chart.h"

namespace osprey {

namespace {

// A chart holds this much for the next parse at most: enough for a note of
// some thousands of characters, so that typing one asks for no memory.
const size_t kKeptBytes = size_t(1) << 20;

template <class T>
size_t Bytes(const std::vector<T>& v)
{
    return v.capacity() * sizeof(T);
}

template <class K, class V>
size_t Bytes(const std::unordered_map<K, V>& m)
{
    return m.bucket_count() * sizeof(void*) + m.size() * (sizeof(std::pair<const K, V>) + 2 * sizeof(void*));
}

template <class T>
void Release(T& container)
{
    T().swap(container);
}

} // namespace

size_t Chart::KeptBytes() const
{
    size_t bytes = m_chunks.size() * kChunk * sizeof(ChartItem) + m_linkChunks.size() * kChunk * sizeof(UnitLink) +
                   m_slotStore.KeptBytes() + Bytes(m_agenda) + Bytes(m_toWait) + Bytes(m_candidates) +
                   Bytes(m_candidateTerms) + Bytes(m_startCounts) + Bytes(m_tokens) + Bytes(m_tokenText) +
                   Bytes(m_texts) + m_textByRecord.Bytes() + Bytes(m_textKeys) + Bytes(m_textEntries) + Bytes(m_leadEntries) +
                   m_wordPlaceOf.Bytes() + Bytes(m_wordPlaces) + m_chainOf.Bytes() + Bytes(m_chains) +
                   Bytes(m_chainTexts) + Bytes(m_startable) +
                   Bytes(m_endOrder) + Bytes(m_phraseEnds);
    // A token's text is on the heap when longer than a few characters.
    bytes += m_tokens.size() * 16 * sizeof(PRSWCHAR);
    for (const std::vector<PhraseEnd>& ends : m_phraseEnds)
        bytes += Bytes(ends);
    for (const WaitBucket& b : m_waiting) {
        bytes += b.items.KeptBytes() + Bytes(b.phraseWords);
        for (const auto& words : b.phraseWords)
            bytes += words.second.KeptBytes();
    }
    return bytes;
}

void Chart::Trim()
{
    // What a short note leaves is below the bound without counting it up.
    if ((m_made + m_tokenCount + m_agenda.capacity() < kKeptBytes / 1024 && m_slotStore.KeptBytes() < kKeptBytes / 2) ||
        KeptBytes() <= kKeptBytes)
        return;
    ResetParse();
    Release(m_chunks);
    Release(m_linkChunks);
    m_slotStore.Release();
    Release(m_agenda);
    Release(m_toWait);
    Release(m_candidates);
    Release(m_candidateTerms);
    Release(m_startCounts);
    Release(m_tokens);
    m_tokenCount = 0;
    Release(m_tokenText);
    Release(m_texts);
    m_textByRecord.Release();
    Release(m_textKeys);
    Release(m_textEntries);
    Release(m_leadEntries);
    m_wordPlaceOf.Release();
    Release(m_wordPlaces);
    m_chainOf.Release();
    Release(m_chains);
    Release(m_chainTexts);
    Release(m_startable);
    Release(m_endOrder);
    Release(m_phraseEnds);
    for (WaitBucket& b : m_waiting) {
        b.items.Release();
        Release(b.phraseWords);
    }
}

void Chart::SlotStore::Release()
{
    Reset();
    std::vector<Chunk>().swap(m_chunks);
}

size_t Chart::SlotStore::KeptBytes() const
{
    size_t bytes = m_chunks.capacity() * sizeof(Chunk);
    for (const Chunk& chunk : m_chunks)
        bytes += chunk.size * sizeof(SlotRecord);
    return bytes;
}

void Chart::WaitList::Release()
{
    Clear();
    std::vector<ChartItem*>().swap(items);
    std::vector<uint32_t>().swap(firstEndingAt);
}

size_t Chart::WaitList::KeptBytes() const
{
    return items.capacity() * sizeof(ChartItem*) + firstEndingAt.capacity() * sizeof(uint32_t);
}

} // namespace osprey
