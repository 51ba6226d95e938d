// The engine's one seam to the network: Windows Sockets in the library, a
// scripted peer in tests and the fuzzer.
#pragma once
#include <cstddef>
#include <cstdint>

class QuiHttpTransport {
public:
    typedef uintptr_t Socket; // 0: none

    virtual ~QuiHttpTransport() {}
    // The IPv4 address (network order) of a host name or dotted address.
    virtual bool Resolve(const char* name, uint32_t* address) = 0;
    // A new TCP socket; 0 on failure.
    virtual Socket Open() = 0;
    virtual bool Connect(Socket socket, uint32_t address, uint16_t port) = 0;
    // Bytes sent (possibly fewer than asked), or -1.
    virtual long Send(Socket socket, const char* data, size_t length) = 0;
    // Bytes received, 0 when the peer closed, or -1.
    virtual long Receive(Socket socket, char* buffer, size_t capacity) = 0;
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
