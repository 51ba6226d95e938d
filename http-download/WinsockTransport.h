// The engine's transport on Windows Sockets 1.1.
#pragma once
#include "HttpTransport.h"

class QuiWinsockTransport : public QuiHttpTransport {
public:
    // One start-up per session, balanced by Cleanup when it closes.
    bool Startup();
    void Cleanup();

    bool Resolve(const char* name, uint32_t* address) override;
    Socket Open() override;
    bool Connect(Socket socket, uint32_t address, uint16_t port) override;
    long Send(Socket socket, const char* data, size_t length) override;
    long Receive(Socket socket, char* buffer, size_t capacity) override;
    void Close(Socket socket) override;
};
