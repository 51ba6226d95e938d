// The Winsock transport against peers on the loopback that stall: each call
// gives up after the transport's time-out (shortened here), and a session
// over it ends its retrieval instead of waiting for ever.
#include "HttpErrors.h"
#include "HttpSession.h"
#include "ScriptedTransport.h"
#include "WinsockTransport.h"

#include <winsock.h>
#include <windows.h>

#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const unsigned long kShortTimeoutMs = 200;
const uint32_t kAllowed = QuiHttpTransport::kWaitAllowed;

// A listening socket on 127.0.0.1 that the test accepts from only when a
// row asks: the system completes connects into its queue meanwhile.
struct Listener {
    explicit Listener(int backlog)
    {
        sock = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in at = {};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof at;
        EXPECT_EQ(0, bind(sock, reinterpret_cast<sockaddr*>(&at), sizeof at));
        EXPECT_EQ(0, listen(sock, backlog));
        EXPECT_EQ(0, getsockname(sock, reinterpret_cast<sockaddr*>(&at), &size));
        port = ntohs(at.sin_port);
    }
    ~Listener()
    {
        for (SOCKET s : accepted)
            closesocket(s);
        closesocket(sock);
    }
    SOCKET Accept()
    {
        accepted.push_back(accept(sock, nullptr, nullptr));
        return accepted.back();
    }
    SOCKET sock;
    uint16_t port = 0;
    std::vector<SOCKET> accepted;
};

class WinsockTransport : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(transport.Startup()); }
    void TearDown() override { transport.Cleanup(); }

    // A connected socket of the transport to the listener.
    QuiHttpTransport::Socket Connected(Listener& peer)
    {
        QuiHttpTransport::Socket s = transport.Open();
        EXPECT_NE(0u, s);
        EXPECT_TRUE(transport.Connect(s, htonl(INADDR_LOOPBACK), peer.port, kAllowed));
        return s;
    }

    QuiWinsockTransport transport{kShortTimeoutMs};
};

}

TEST_F(WinsockTransport, EachCallGivesUpOnAPeerThatStalls)
{
    struct Row {
        const char* name;
        int backlog;
        // What the transport managed before the stall; false when it failed.
        std::function<bool(QuiWinsockTransport&, Listener&, QuiHttpTransport::Socket&)> run;
    } rows[] = {
        {"never answers", 8,
         [this](QuiWinsockTransport& t, Listener& peer, QuiHttpTransport::Socket& s) {
             s = Connected(peer);
             char byte;
             return t.Receive(s, &byte, 1, kAllowed) != -1;
         }},
        {"one byte, then nothing", 8,
         [this](QuiWinsockTransport& t, Listener& peer, QuiHttpTransport::Socket& s) {
             s = Connected(peer);
             EXPECT_EQ(1, send(peer.Accept(), "H", 1, 0));
             char buffer[16];
             EXPECT_EQ(1, t.Receive(s, buffer, sizeof buffer, kAllowed));
             return t.Receive(s, buffer, sizeof buffer, kAllowed) != -1;
         }},
        {"never reads", 8,
         [this](QuiWinsockTransport& t, Listener& peer, QuiHttpTransport::Socket& s) {
             s = Connected(peer);
             std::string block(1 << 16, 'x');
             // The system's buffers on both sides fill long before this.
             for (int i = 0; i < 4096; ++i) {
                 if (t.Send(s, block.data(), block.size(), kAllowed) == -1)
                     return false;
             }
             return true;
         }},
        {"queue full, never accepts", 0,
         [this](QuiWinsockTransport& t, Listener& peer, QuiHttpTransport::Socket& s) {
             // The queue of a listener with no backlog holds one connect.
             QuiHttpTransport::Socket first = Connected(peer);
             s = t.Open();
             bool connected = t.Connect(s, htonl(INADDR_LOOPBACK), peer.port, kAllowed);
             t.Close(first);
             return connected;
         }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Listener peer(r.backlog);
        QuiHttpTransport::Socket s = 0;
        DWORD began = GetTickCount();
        EXPECT_FALSE(r.run(transport, peer, s));
        DWORD took = GetTickCount() - began;
        EXPECT_GE(took, kShortTimeoutMs / 2);
        EXPECT_LT(took, 20 * kShortTimeoutMs);
        if (s)
            transport.Close(s);
    }
}

// Answers the first connection with a head that announces a long body and
// then sends one body byte every everyMs, until the client goes.
class Trickler {
public:
    Trickler(Listener& peer, unsigned long everyMs) : m_peer(peer), m_everyMs(everyMs)
    {
        m_thread = CreateThread(nullptr, 0, &Run, this, 0, nullptr);
    }
    ~Trickler()
    {
        WaitForSingleObject(m_thread, 10000);
        CloseHandle(m_thread);
    }

private:
    static DWORD WINAPI Run(void* self)
    {
        static_cast<Trickler*>(self)->Serve();
        return 0;
    }
    void Serve()
    {
        SOCKET s = accept(m_peer.sock, nullptr, nullptr);
        const char head[] = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n";
        send(s, head, sizeof head - 1, 0);
        // The pause between bytes ends early when the client writes or goes.
        for (int sent = 0; sent < 200;) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(s, &readable);
            timeval pause = {0, static_cast<long>(m_everyMs * 1000)};
            int n = select(0, &readable, nullptr, nullptr, &pause);
            char request[512];
            if (n > 0 ? recv(s, request, sizeof request, 0) <= 0 : send(s, "x", 1, 0) != 1)
                break;
            sent += n == 0;
        }
        closesocket(s);
    }

    Listener& m_peer;
    unsigned long m_everyMs;
    HANDLE m_thread;
};

// A head that never comes is the read error worth another try: the session
// makes its three tries under each version and gives up. A peer that sends
// a byte within every wait is cut off when the retrieval's time is out.
TEST_F(WinsockTransport, ASessionGivesUpOnAPeerThatStalls)
{
    struct Row {
        const char* name;
        unsigned long everyMs; // 0: the peer never answers
        uint32_t retrievalMs;
        const char* error;
        DWORD within;
        bool http11;
    } rows[] = {
        {"never answers", 0, QuiHttpSession::kRetrievalMs, shrike::kRetrieveFailedAfterRetries,
         6 * 5 * kShortTimeoutMs, false},
        {"a byte within every wait", kShortTimeoutMs / 4, 3 * kShortTimeoutMs, shrike::kRetrieveBodyError,
         3 * 3 * kShortTimeoutMs, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Listener peer(SOMAXCONN);
        std::unique_ptr<Trickler> trickler(r.everyMs ? new Trickler(peer, r.everyMs) : nullptr);
        QuiHttpSession session(transport, nullptr, "127.0.0.1", peer.port, QuiHttpSession::kBodyLimit,
                               r.retrievalMs);
        CollectingSink sink;
        DWORD began = GetTickCount();
        EXPECT_EQ(r.error, session.Retrieve("/f", sink));
        EXPECT_LT(GetTickCount() - began, r.within);
        EXPECT_LT(sink.body.size(), 200u);
        EXPECT_EQ(r.http11, session.Http11());
        EXPECT_FALSE(session.Connected());
    }
}
