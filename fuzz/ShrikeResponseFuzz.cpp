// Feeds arbitrary bytes to the engine as a peer's answers, received in
// pieces of varying size, over up to three retrievals on one session, and
// to the URL splitter. The engine must end every retrieval with a fixed text
// or success, deliver no byte it was not given, and leave no socket open.
#include "DownloadBlock.h"
#include "HttpErrors.h"
#include "HttpSession.h"
#include "UrlSplit.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

class FuzzPeer : public QuiHttpTransport {
public:
    FuzzPeer(const uint8_t* data, size_t size, uint32_t seed) : m_data(data), m_size(size), m_state(seed | 1) {}
    int open = 0;

    uint32_t Now() override { return 0; }
    bool Resolve(const char*, uint32_t* address) override
    {
        *address = 0x0100007f;
        return true;
    }
    Socket Open() override
    {
        ++open;
        return static_cast<Socket>(++m_sockets);
    }
    bool Connect(Socket, uint32_t, uint16_t, uint32_t) override { return true; }
    long Send(Socket, const char*, size_t length, uint32_t) override
    {
        // Now and then a short write, to exercise the send loop.
        return Next() % 5 == 0 && length > 1 ? static_cast<long>(length / 2) : static_cast<long>(length);
    }
    long Receive(Socket, char* buffer, size_t capacity, uint32_t) override
    {
        if (m_at == m_size)
            return 0;
        size_t n = 1 + Next() % 4096;
        if (n > capacity)
            n = capacity;
        if (n > m_size - m_at)
            n = m_size - m_at;
        std::memcpy(buffer, m_data + m_at, n);
        m_at += n;
        return static_cast<long>(n);
    }
    void Close(Socket) override { --open; }

private:
    uint32_t Next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return m_state >> 8;
    }
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
    uint32_t m_state;
    uintptr_t m_sockets = 0;
};

class CountingSink : public QuiHttpSink {
public:
    size_t total = 0;
    bool Deliver(const char*, size_t length) override
    {
        total += length;
        return true;
    }
};

void SplitUrl(const uint8_t* data, size_t size)
{
    std::string url(reinterpret_cast<const char*>(data), size);
    char host[16], path[16], scheme[4];
    QuiUrlParts parts = {QUI_URL_PARTS_SIZE, host, sizeof host, path, sizeof path, scheme, sizeof scheme, 0};
    shrike::CrackUrl(url.c_str(), &parts);
    if (std::strlen(host) >= sizeof host || std::strlen(path) >= sizeof path)
        std::abort();
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    uint32_t seed = data[0] | (data[1] << 8);
    FuzzPeer peer(data + 2, size - 2, seed);
    // Half the inputs go through the download block, which takes bodies in
    // place rather than piece by piece.
    CountingSink counter;
    char* body = nullptr;
    QuiDownloadBlock block(&body);
    QuiHttpSink& sink = (seed & 2) ? static_cast<QuiHttpSink&>(block) : counter;
    {
        QuiHttpSession session(peer, (seed & 1) ? "proxy" : nullptr, "server", 80);
        for (int i = 0; i < 3; ++i) {
            const char* error = session.Retrieve(i == 1 ? "no-slash" : "/f", sink);
            if (error && (shrike::ErrorClass(error) < 1 || shrike::ErrorClass(error) > 4))
                std::abort();
        }
    }
    std::free(body);
    if (peer.open != 0 || counter.total > size || static_cast<size_t>(block.Count()) > size)
        std::abort();
    SplitUrl(data, size);
    return 0;
}
