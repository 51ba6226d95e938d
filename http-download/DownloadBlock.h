// The collector behind QUIINETGetFile: appends each body piece to the
// caller's malloc'ed block, which grows geometrically.
#pragma once
#include "HttpTransport.h"

#include <cstddef>

class QuiDownloadBlock : public QuiHttpSink {
public:
    // data: the caller's block pointer, null or a malloc'ed block that the
    // first piece replaces. Stays valid (and the caller's) on every path.
    explicit QuiDownloadBlock(char** data) : m_data(data) {}
    bool Deliver(const char* data, size_t length) override;
    char* Room(size_t want, size_t* room) override;
    void Commit(size_t length) override { m_count += length; }
    // Body bytes collected so far.
    int Count() const { return static_cast<int>(m_count); }

private:
    bool Grow(size_t need);

    char** m_data;
    size_t m_count = 0;
    size_t m_capacity = 0;
};
