// The engine's one seam to the network: Windows Sockets in the library, a
// scripted peer in tests and the fuzzer.
#pragma once
#include <cstddef>
#include <cstdint>

class QuiHttpTransport {
public:
    typedef uintptr_t Socket; // 0: none

    // A wait bounded only by the transport's own time-out.
    static constexpr uint32_t kWaitAllowed = 0xffffffffu;

    virtual ~QuiHttpTransport() {}
    // Milliseconds on a clock that only moves on; it wraps, so only
    // differences of two readings mean anything.
    virtual uint32_t Now() = 0;
    // The IPv4 address (network order) of a host name or dotted address.
    virtual bool Resolve(const char* name, uint32_t* address) = 0;
    // A new TCP socket; 0 on failure.
    virtual Socket Open() = 0;
    // Each call below waits for the peer at most waitMs, and never longer
    // than the transport's own time-out; a wait that runs out fails the call.
    virtual bool Connect(Socket socket, uint32_t address, uint16_t port, uint32_t waitMs) = 0;
    // Bytes sent (possibly fewer than asked), or -1.
    virtual long Send(Socket socket, const char* data, size_t length, uint32_t waitMs) = 0;
    // Bytes received, 0 when the peer closed, or -1.
    virtual long Receive(Socket socket, char* buffer, size_t capacity, uint32_t waitMs) = 0;
    virtual void Close(Socket socket) = 0;
};

// Takes the body of a response piece by piece; false refuses a piece and
// ends the body.
class QuiHttpSink {
public:
    virtual ~QuiHttpSink() {}
    virtual bool Deliver(const char* data, size_t length) = 0;
    // A sink that keeps the body in one block may offer room for about
    // `want` more bytes, so the engine receives large bodies in place
    // rather than in buffer-sized pieces. Null: use Deliver.
    virtual char* Room(size_t want, size_t* room)
    {
        *room = 0;
        return nullptr;
    }
    // Counts `length` bytes written into the room as delivered.
    virtual void Commit(size_t length) {}
};
