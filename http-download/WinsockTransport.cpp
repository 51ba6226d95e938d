#include "WinsockTransport.h"

#include <winsock.h>

#include <climits>
#include <cstring>

namespace {
int Clamp(size_t length) { return length > INT_MAX ? INT_MAX : static_cast<int>(length); }
}

bool QuiWinsockTransport::Startup()
{
    WSADATA data;
    return WSAStartup(MAKEWORD(1, 1), &data) == 0;
}

void QuiWinsockTransport::Cleanup() { WSACleanup(); }

bool QuiWinsockTransport::Resolve(const char* name, uint32_t* address)
{
    if (const hostent* host = gethostbyname(name)) {
        if (host->h_addrtype == AF_INET && host->h_length == 4 && host->h_addr_list[0]) {
            std::memcpy(address, host->h_addr_list[0], 4);
            return true;
        }
    }
    unsigned long dotted = inet_addr(name);
    if (dotted == INADDR_NONE)
        return false;
    *address = static_cast<uint32_t>(dotted);
    return true;
}

QuiHttpTransport::Socket QuiWinsockTransport::Open()
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    return s == INVALID_SOCKET ? 0 : static_cast<Socket>(s);
}

bool QuiWinsockTransport::Connect(Socket s, uint32_t address, uint16_t port)
{
    sockaddr_in to;
    std::memset(&to, 0, sizeof to);
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = address;
    return connect(static_cast<SOCKET>(s), reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0;
}

long QuiWinsockTransport::Send(Socket s, const char* data, size_t length)
{
    int n = send(static_cast<SOCKET>(s), data, Clamp(length), 0);
    return n == SOCKET_ERROR ? -1 : n;
}

long QuiWinsockTransport::Receive(Socket s, char* buffer, size_t capacity)
{
    int n = recv(static_cast<SOCKET>(s), buffer, Clamp(capacity), 0);
    return n == SOCKET_ERROR ? -1 : n;
}

void QuiWinsockTransport::Close(Socket s) { closesocket(static_cast<SOCKET>(s)); }
