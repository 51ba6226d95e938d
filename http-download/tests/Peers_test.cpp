// Downloads from real peers on the host's loopback, started for each test by
// peers.py: nginx, tinyproxy and the scripted server.
#include "ProxyRegistryState.h"
#include "ShrikeLibrary.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <algorithm>

#include "QuiTesting.h"

namespace {

int PortOf(const char* variable)
{
    const char* text = std::getenv(variable);
    return text ? std::atoi(text) : 0;
}

std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 31 + (i >> 11)) & 0xff);
    return bytes;
}

// One test's library, with the registry as the test set it, and its peers.
class Peers : public testing::Test {
protected:
    void SetUp() override
    {
        nginx = PortOf("SHRIKE_NGINX_PORT");
        proxy = PortOf("SHRIKE_PROXY_PORT");
        scripted = PortOf("SHRIKE_SCRIPTED_PORT");
        ASSERT_TRUE(nginx && proxy && scripted) << "run under peers.py";
    }
    void Load() { shrike.reset(new ShrikeLibrary); }

    struct Result {
        int count;
        std::string body;
    };
    Result Get(QuiHttpSession* session, const char* path)
    {
        char* data = nullptr;
        int count = shrike->GetFile(session, path, &data);
        Result r{count, data ? std::string(data, count > 0 ? count : 0) : std::string()};
        if (count == 0) {
            EXPECT_EQ(nullptr, data) << path;
        }
        std::free(data);
        return r;
    }
    static std::string Host(int port) { return "127.0.0.1:" + std::to_string(port); }
    static std::string LogOf(const char* name)
    {
        std::string path = std::string(std::getenv("SHRIKE_PEER_DIR")) + "\\" + name;
        std::string text;
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            char buffer[4096];
            for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
                text.append(buffer, n);
            std::fclose(f);
        }
        return text;
    }
    // nginx's access log with its connection numbers named A, B, ... in the
    // order they first appear (its own count includes the start-up probe).
    // nginx writes a line once the answer is out; wait for it, bounded.
    static std::string AccessLog(size_t lines)
    {
        std::string text = WaitForLog("access.log", lines), out;
        std::vector<std::string> seen;
        for (size_t at = 0; at < text.size();) {
            size_t blank = text.find(' ', at), end = text.find('\n', at);
            if (blank == std::string::npos || end == std::string::npos || blank > end)
                break;
            std::string conn = text.substr(at, blank - at);
            size_t k = 0;
            while (k < seen.size() && seen[k] != conn)
                ++k;
            if (k == seen.size())
                seen.push_back(conn);
            out += static_cast<char>('A' + k) + text.substr(blank, end + 1 - blank);
            at = end + 1;
        }
        return out;
    }
    // The log as soon as it has the lines (a server on this machine writes
    // it, announcing nothing), or as it stands at the deadline.
    static std::string WaitForLog(const char* name, size_t lines)
    {
        std::string text;
        QuiTesting::PumpUntil(
            [&] {
                text = LogOf(name);
                return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) >= lines;
            },
            10000, nullptr, nullptr, 10);
        return text;
    }

    int nginx = 0, proxy = 0, scripted = 0;
    ProxyRegistryState registry;
    std::unique_ptr<ShrikeLibrary> shrike;
};

}

TEST_F(Peers, NginxServesFilesOverOneKeptConnection)
{
    Load();
    QuiHttpSession* session = shrike->Init(nullptr, "127.0.0.1", nginx);
    ASSERT_NE(nullptr, session);
    Result hello = Get(session, "/hello.txt");
    EXPECT_EQ(18, hello.count);
    EXPECT_EQ("Hello from nginx.\n", hello.body);
    Result pattern = Get(session, "pattern.bin");
    EXPECT_EQ((1 << 20) + 12345, pattern.count);
    EXPECT_TRUE(Pattern((1 << 20) + 12345) == pattern.body);
    EXPECT_EQ(18, Get(session, "/hello.txt").count);
    shrike->Close(session);

    EXPECT_EQ("A 1 \"GET /hello.txt HTTP/1.1\" 200\n"
              "A 2 \"GET /pattern.bin HTTP/1.1\" 200\n"
              "A 3 \"GET /hello.txt HTTP/1.1\" 200\n",
              AccessLog(3));
}

TEST_F(Peers, Nginx404GivesNothingAndANewConnection)
{
    Load();
    QuiHttpSession* session = shrike->Init(nullptr, "127.0.0.1", nginx);
    ASSERT_NE(nullptr, session);
    EXPECT_EQ(18, Get(session, "/hello.txt").count);
    Result missing = Get(session, "/missing.txt");
    EXPECT_EQ(0, missing.count);
    EXPECT_EQ(18, Get(session, "/hello.txt").count);
    shrike->Close(session);

    EXPECT_EQ("A 1 \"GET /hello.txt HTTP/1.1\" 200\n"
              "A 2 \"GET /missing.txt HTTP/1.1\" 404\n"
              "B 1 \"GET /hello.txt HTTP/1.1\" 200\n",
              AccessLog(3));
}

TEST_F(Peers, TinyproxyForwardsToNginx)
{
    Load();
    std::string server = Host(nginx);
    QuiHttpSession* session = shrike->Init("127.0.0.1", server.c_str(), proxy);
    ASSERT_NE(nullptr, session);
    EXPECT_EQ("Hello from nginx.\n", Get(session, "hello.txt").body);
    EXPECT_EQ((1 << 20) + 12345, Get(session, "/pattern.bin").count);
    shrike->Close(session);
    std::string log = AccessLog(2);
    EXPECT_NE(std::string::npos, log.find("\"GET /hello.txt HTTP/1.1\" 200")) << log;
}

TEST_F(Peers, OwnProxySettingRoutesThroughTinyproxy)
{
    registry.SetOwn(1, Host(proxy).c_str(), "");
    Load();
    std::string server = Host(nginx);
    QuiHttpSession* session = shrike->Init(nullptr, server.c_str(), 1);
    ASSERT_NE(nullptr, session);
    EXPECT_EQ("Hello from nginx.\n", Get(session, "/hello.txt").body);
    shrike->Close(session);
}

TEST_F(Peers, SystemProxyWinsOverOwnSetting)
{
    registry.SetSystem(1, Host(scripted).c_str(), "");
    registry.SetOwn(1, Host(proxy).c_str(), "");
    Load();
    QuiHttpSession* session = shrike->Init(nullptr, "H.example", 80);
    ASSERT_NE(nullptr, session);
    EXPECT_EQ("GET http://H.example/echo HTTP/1.1\r\nHost: H.example\r\nContent-Length: 0\r\n\r\n",
              Get(session, "echo").body);
    shrike->Close(session);
}

TEST_F(Peers, DisabledOwnSettingGoesDirect)
{
    registry.SetOwn(0, Host(proxy).c_str(), "");
    Load();
    QuiHttpSession* session = shrike->Init(nullptr, "127.0.0.1", scripted);
    ASSERT_NE(nullptr, session);
    EXPECT_EQ("GET /echo HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 0\r\n\r\n", Get(session, "echo").body);
    shrike->Close(session);
}

TEST_F(Peers, ScriptedScenes)
{
    std::string slow, many;
    for (int i = 0; i < 10; ++i)
        slow += "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (int i = 1; i <= 300; ++i) {
        for (int k = 0; k < i; ++k)
            many += static_cast<char>((i * 7 + k) & 0xff);
    }
    struct Row {
        const char* path;
        std::string body;
        const char* countOf; // requests the scene saw, when it is counted
        int requests;
    } rows[] = {
        {"/chunk5", "hello", nullptr, 0},
        {"/chunked-many", many, nullptr, 0},
        {"/until-close", "to the end", nullptr, 0},
        {"/slow", slow, nullptr, 0},
        {"/truncated", "0123456789", nullptr, 0},
        {"/missing", "", nullptr, 0},
        {"/bighead?id=big", "", "big", 1},
        {"/garbage?id=junk", "", "junk", 6},
        {"/bad-length?id=negative", "", "negative", 6},
        {"/garble-11?id=fallback", "1.1,1.1,1.1,1.0", "fallback", 4},
    };
    Load();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        QuiHttpSession* session = shrike->Init(nullptr, "127.0.0.1", scripted);
        ASSERT_NE(nullptr, session);
        Result got = Get(session, r.path);
        EXPECT_EQ(static_cast<int>(r.body.size()), got.count);
        EXPECT_TRUE(r.body == got.body);
        if (r.countOf) {
            std::string count = "/count?of=" + std::string(r.countOf);
            EXPECT_EQ(std::to_string(r.requests), Get(session, count.c_str()).body);
        }
        shrike->Close(session);
    }
}

TEST_F(Peers, KeepAliveReusesUnlessThePeerCloses)
{
    Load();
    QuiHttpSession* session = shrike->Init(nullptr, "127.0.0.1", scripted);
    ASSERT_NE(nullptr, session);
    std::string first = Get(session, "/conn").body;
    std::string second = Get(session, "/conn").body;
    ASSERT_EQ(0u, first.find("conn=")) << first;
    std::string conn = first.substr(0, first.find(' '));
    EXPECT_EQ(conn + " req=1", first);
    EXPECT_EQ(conn + " req=2", second);

    std::string closing1 = Get(session, "/conn-close").body;
    std::string closing2 = Get(session, "/conn-close").body;
    EXPECT_EQ(conn + " req=3", closing1);
    EXPECT_NE(std::string::npos, closing2.find(" req=1")) << closing2;
    EXPECT_NE(closing1.substr(0, closing1.find(' ')), closing2.substr(0, closing2.find(' ')));
    shrike->Close(session);
}

TEST_F(Peers, PipelinedAnswerIsKeptForTheNextRequest)
{
    Load();
    QuiHttpSession* session = shrike->Init(nullptr, "127.0.0.1", scripted);
    ASSERT_NE(nullptr, session);
    EXPECT_EQ("first", Get(session, "/pipelined").body);
    EXPECT_EQ("second", Get(session, "/anything").body);
    std::string third = Get(session, "/conn").body;
    EXPECT_NE(std::string::npos, third.find(" req=3")) << third;
    shrike->Close(session);
}

TEST_F(Peers, RefusedTransferEncodingFallsBackToHttp10ForGood)
{
    Load();
    QuiHttpSession* session = shrike->Init(nullptr, "127.0.0.1", scripted);
    ASSERT_NE(nullptr, session);
    EXPECT_EQ("fallback ok", Get(session, "/te-gzip").body);
    EXPECT_EQ("GET /echo HTTP/1.0\r\n\r\n", Get(session, "/echo").body);
    shrike->Close(session);
}
