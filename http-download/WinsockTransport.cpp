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
// time-out. Connecting, a connect that failed shows among the failed.
bool QuiWinsockTransport::Wait(Socket s, Direction direction)
{
    SOCKET handle = static_cast<SOCKET>(s);
    fd_set ready, failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(handle, &ready);
    FD_SET(handle, &failed);
    timeval limit;
    limit.tv_sec = static_cast<long>(m_timeoutMs / 1000);
    limit.tv_usec = static_cast<long>(m_timeoutMs % 1000 * 1000);
    int n = select(0, direction == kReading ? &ready : nullptr, direction == kReading ? nullptr : &ready,
                   direction == kConnecting ? &failed : nullptr, &limit);
    return n > 0 && FD_ISSET(handle, &ready);
}

bool QuiWinsockTransport::Connect(Socket s, uint32_t address, uint16_t port)
{
    sockaddr_in to;
    std::memset(&to, 0, sizeof to);
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = address;
    if (connect(static_cast<SOCKET>(s), reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0)
        return true;
    if (WSAGetLastError() != WSAEWOULDBLOCK || !Wait(s, kConnecting))
        return false;
    int error = 0;
    int size = sizeof error;
    return getsockopt(static_cast<SOCKET>(s), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) == 0 &&
           error == 0;
}

// A send or receive that would block is made again once the socket is
// ready, until the time-out.
template <class Call>
long QuiWinsockTransport::WhenReady(Socket s, Direction direction, Call call)
{
    for (;;) {
        int n = call();
        if (n != SOCKET_ERROR)
            return n;
        if (WSAGetLastError() != WSAEWOULDBLOCK || !Wait(s, direction))
            return -1;
    }
}

long QuiWinsockTransport::Send(Socket s, const char* data, size_t length)
{
    return WhenReady(s, kWriting, [&] { return send(static_cast<SOCKET>(s), data, Clamp(length), 0); });
}

long QuiWinsockTransport::Receive(Socket s, char* buffer, size_t capacity)
{
    return WhenReady(s, kReading, [&] { return recv(static_cast<SOCKET>(s), buffer, Clamp(capacity), 0); });
}

void QuiWinsockTransport::Close(Socket s) { closesocket(static_cast<SOCKET>(s)); }
