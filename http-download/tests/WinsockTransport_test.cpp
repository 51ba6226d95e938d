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
#include <string>
#include <vector>

namespace {

const unsigned long kShortTimeoutMs = 200;

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
        EXPECT_TRUE(transport.Connect(s, htonl(INADDR_LOOPBACK), peer.port));
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
             return t.Receive(s, &byte, 1) != -1;
         }},
        {"one byte, then nothing", 8,
         [this](QuiWinsockTransport& t, Listener& peer, QuiHttpTransport::Socket& s) {
             s = Connected(peer);
             EXPECT_EQ(1, send(peer.Accept(), "H", 1, 0));
             char buffer[16];
             EXPECT_EQ(1, t.Receive(s, buffer, sizeof buffer));
             return t.Receive(s, buffer, sizeof buffer) != -1;
         }},
        {"never reads", 8,
         [this](QuiWinsockTransport& t, Listener& peer, QuiHttpTransport::Socket& s) {
             s = Connected(peer);
             std::string block(1 << 16, 'x');
             // The system's buffers on both sides fill long before this.
             for (int i = 0; i < 4096; ++i) {
                 if (t.Send(s, block.data(), block.size()) == -1)
                     return false;
             }
             return true;
         }},
        {"queue full, never accepts", 0,
         [this](QuiWinsockTransport& t, Listener& peer, QuiHttpTransport::Socket& s) {
             // The queue of a listener with no backlog holds one connect.
             QuiHttpTransport::Socket first = Connected(peer);
             s = t.Open();
             bool connected = t.Connect(s, htonl(INADDR_LOOPBACK), peer.port);
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

// A head that never comes is the read error worth another try: the session
// makes its three tries under each version and gives up.
TEST_F(WinsockTransport, ASessionGivesUpOnAServerThatNeverAnswers)
{
    Listener peer(SOMAXCONN);
    QuiHttpSession session(transport, nullptr, "127.0.0.1", peer.port);
    CollectingSink sink;
    DWORD began = GetTickCount();
    EXPECT_EQ(shrike::kRetrieveFailedAfterRetries, session.Retrieve("/f", sink));
    EXPECT_LT(GetTickCount() - began, 6 * 5 * kShortTimeoutMs);
    EXPECT_FALSE(session.Http11());
    EXPECT_FALSE(session.Connected());
}
