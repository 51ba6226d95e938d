// The engine's transport on Windows Sockets 1.1.
#pragma once
#include "HttpTransport.h"

class QuiWinsockTransport : public QuiHttpTransport {
public:
    // How long a connect, a send or a receive waits for the peer before it
    // fails as the peer's failure would: a server that stalls, or answers a
    // byte a minute, must not hold the caller for ever.
    static constexpr unsigned long kTimeoutMs = 60000;

    explicit QuiWinsockTransport(unsigned long timeoutMs = kTimeoutMs) : m_timeoutMs(timeoutMs) {}

    // One start-up per session, balanced by Cleanup when it closes.
    bool Startup();
    void Cleanup();

    uint32_t Now() override;
    bool Resolve(const char* name, uint32_t* address) override;
    // The socket does not block: each call below waits at most the time-out
    // or its caller's limit, whichever is shorter.
    Socket Open() override;
    bool Connect(Socket socket, uint32_t address, uint16_t port, uint32_t waitMs) override;
    long Send(Socket socket, const char* data, size_t length, uint32_t waitMs) override;
    long Receive(Socket socket, char* buffer, size_t capacity, uint32_t waitMs) override;
    void Close(Socket socket) override;

private:
    enum Direction { kConnecting, kWriting, kReading };
    bool Wait(Socket socket, Direction direction, uint32_t waitMs);
    template <class Call>
    long WhenReady(Socket socket, Direction direction, uint32_t waitMs, Call call);

    unsigned long m_timeoutMs;
};
