#include "DownloadBlock.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {
const size_t kFirstBlock = 64 * 1024;
const size_t kLargest = INT_MAX; // the count is reported as an int
}

bool QuiDownloadBlock::Grow(size_t need)
{
    if (need <= m_capacity)
        return true;
    size_t grown = m_capacity < kLargest / 2 ? m_capacity * 2 : kLargest;
    size_t capacity = need > grown ? need : grown;
    if (capacity < kFirstBlock)
        capacity = kFirstBlock;
    // realloc keeps the block valid when it fails; a caller's block that
    // came in is replaced (its contents are not part of this body).
    void* block = std::realloc(*m_data, capacity);
    if (!block)
        return false;
    *m_data = static_cast<char*>(block);
    m_capacity = capacity;
    return true;
}

bool QuiDownloadBlock::Deliver(const char* data, size_t length)
{
    if (length > kLargest - m_count || !Grow(m_count + length))
        return false;
    std::memcpy(*m_data + m_count, data, length);
    m_count += length;
    return true;
}

char* QuiDownloadBlock::Room(size_t want, size_t* room)
{
    *room = 0;
    if (want > kLargest - m_count)
        want = kLargest - m_count;
    if (want == 0 || !Grow(m_count + want))
        return nullptr;
    *room = m_capacity - m_count;
    return *m_data + m_count;
}
