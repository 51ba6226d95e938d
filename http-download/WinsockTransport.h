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

    bool Resolve(const char* name, uint32_t* address) override;
    // The socket does not block: each call below waits at most the time-out.
    Socket Open() override;
    bool Connect(Socket socket, uint32_t address, uint16_t port) override;
    long Send(Socket socket, const char* data, size_t length) override;
    long Receive(Socket socket, char* buffer, size_t capacity) override;
    void Close(Socket socket) override;

private:
    enum Direction { kConnecting, kWriting, kReading };
    bool Wait(Socket socket, Direction direction);
    template <class Call>
    long WhenReady(Socket socket, Direction direction, Call call);

    unsigned long m_timeoutMs;
};
