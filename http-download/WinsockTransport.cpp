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

uint32_t QuiWinsockTransport::Now() { return GetTickCount(); }

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
    if (s == INVALID_SOCKET)
        return 0;
    u_long nonBlocking = 1;
    if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0) {
        closesocket(s);
        return 0;
    }
    return static_cast<Socket>(s);
}

// Until the socket is ready for the next receive or send, within the
// time-out and the caller's limit. Connecting, a connect that failed shows
// among the failed.
bool QuiWinsockTransport::Wait(Socket s, Direction direction, uint32_t waitMs)
{
    unsigned long ms = waitMs < m_timeoutMs ? waitMs : m_timeoutMs;
    SOCKET handle = static_cast<SOCKET>(s);
    fd_set ready, failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(handle, &ready);
    FD_SET(handle, &failed);
    timeval limit;
    limit.tv_sec = static_cast<long>(ms / 1000);
    limit.tv_usec = static_cast<long>(ms % 1000 * 1000);
    int n = select(0, direction == kReading ? &ready : nullptr, direction == kReading ? nullptr : &ready,
                   direction == kConnecting ? &failed : nullptr, &limit);
    return n > 0 && FD_ISSET(handle, &ready);
}

bool QuiWinsockTransport::Connect(Socket s, uint32_t address, uint16_t port, uint32_t waitMs)
{
    sockaddr_in to;
    std::memset(&to, 0, sizeof to);
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = address;
    if (connect(static_cast<SOCKET>(s), reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0)
        return true;
    if (WSAGetLastError() != WSAEWOULDBLOCK || !Wait(s, kConnecting, waitMs))
        return false;
    int error = 0;
    int size = sizeof error;
    return getsockopt(static_cast<SOCKET>(s), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) == 0 &&
           error == 0;
}

// A send or receive that would block is made again once the socket is
// ready, until the time-out or the caller's limit: the limit holds for the
// whole call, however often the socket turns out ready yet empty.
template <class Call>
long QuiWinsockTransport::WhenReady(Socket s, Direction direction, uint32_t waitMs, Call call)
{
    uint32_t began = Now();
    for (;;) {
        int n = call();
        if (n != SOCKET_ERROR)
            return n;
        if (WSAGetLastError() != WSAEWOULDBLOCK)
            return -1;
        uint32_t waited = Now() - began;
        if (waited >= waitMs || !Wait(s, direction, waitMs - waited))
            return -1;
    }
}

long QuiWinsockTransport::Send(Socket s, const char* data, size_t length, uint32_t waitMs)
{
    return WhenReady(s, kWriting, waitMs, [&] { return send(static_cast<SOCKET>(s), data, Clamp(length), 0); });
}

long QuiWinsockTransport::Receive(Socket s, char* buffer, size_t capacity, uint32_t waitMs)
{
    return WhenReady(s, kReading, waitMs,
                     [&] { return recv(static_cast<SOCKET>(s), buffer, Clamp(capacity), 0); });
}

void QuiWinsockTransport::Close(Socket s) { closesocket(static_cast<SOCKET>(s)); }
