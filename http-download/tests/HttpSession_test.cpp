#include "DownloadBlock.h"
#include "HttpErrors.h"
#include "HttpSession.h"
#include "ScriptedTransport.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

using namespace shrike;
typedef std::vector<std::string> Pieces;

namespace {
const std::string kOk = "HTTP/1.1 200 OK\r\n";
const std::string kGet11 = "GET /f HTTP/1.1\r\nHost: server\r\nContent-Length: 0\r\n\r\n";
const std::string kGet10 = "GET /f HTTP/1.0\r\n\r\n";

Pieces operator+(Pieces first, const Pieces& then)
{
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

// Every byte its own piece: a peer that trickles.
Pieces Trickle(const std::string& all)
{
    Pieces pieces;
    for (char c : all)
        pieces.push_back(std::string(1, c));
    return pieces;
}

// The same stream through the download block, which takes bodies in place.
std::string IntoBlock(const Pieces& pieces, const char** error, uint32_t everyMs = 0)
{
    ScriptedTransport peer;
    peer.script.push_back({pieces});
    peer.script.back().everyMs = everyMs;
    QuiHttpSession session(peer, nullptr, "server", 80);
    char* data = nullptr;
    QuiDownloadBlock block(&data);
    *error = session.Retrieve("/f", block);
    std::string body(data ? data : "", block.Count());
    std::free(data);
    return body;
}

struct Fixture {
    ScriptedTransport peer;
    QuiHttpSession session{peer, nullptr, "server", 80};
    CollectingSink sink;
    const char* Get(const char* path = "/f") { return session.Retrieve(path, sink); }
};
}

TEST(HttpSession, DeliversEachKindOfBody)
{
    struct Row {
        const char* name;
        Pieces pieces;
        std::string body;
    } rows[] = {
        {"length", {kOk + "Content-Length: 5\r\n\r\nhello"}, "hello"},
        {"length split", {kOk + "Content-Le", "ngth: 5\r\n\r", "\nhe", "llo"}, "hello"},
        {"length zero", {kOk + "Content-Length: 0\r\n\r\n"}, ""},
        {"one 5-byte chunk", {kOk + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n"}, "hello"},
        {"chunks trickled", Trickle(kOk + "Transfer-Encoding: chunked\r\n\r\n3;x=y\r\nabc\r\nA\r\n0123456789\r\n0\r\n\r\n"), "abc0123456789"},
        {"chunks with LF ends", {kOk + "Transfer-Encoding: chunked\n\n2\nab\n1\nc\n0\n\n"}, "abc"},
        {"trailer in pieces", {kOk + "Transfer-Encoding: chunked\r\n\r\n2\r\nok\r\n0\r\nX-Sum:", " 1\r\n", "\r\n"}, "ok"},
        {"until close", {"HTTP/1.0 200 OK\r\n\r\npart one,", " part two"}, "part one, part two"},
        {"large length", {kOk + "Content-Length: 200000\r\n\r\n" + std::string(100000, 'x'), std::string(100000, 'y')},
         std::string(100000, 'x') + std::string(100000, 'y')},
        {"large chunk", {kOk + "Transfer-Encoding: chunked\r\n\r\n30d40\r\n" + std::string(100000, 'x'),
                         std::string(100000, 'y') + "\r\n0\r\n\r\n"},
         std::string(100000, 'x') + std::string(100000, 'y')},
        {"status line trickled", Trickle(kOk + "Content-Length: 2\r\n\r\nhi"), "hi"},
        {"empty line's LF arrives late", {kOk + "Content-Length: 4\r\n\r", "\nbody"}, "body"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Fixture f;
        f.peer.script.push_back({r.pieces});
        EXPECT_EQ(nullptr, f.Get());
        EXPECT_EQ(r.body, f.sink.body);
        EXPECT_EQ(kGet11, f.peer.used[0].sent);
        const char* error = "";
        EXPECT_EQ(r.body, IntoBlock(r.pieces, &error));
        EXPECT_EQ(nullptr, error);
    }
}

TEST(HttpSession, FailuresEndTheRetrievalWithTheirTextAndCloseTheSocket)
{
    const std::string chunked = kOk + "Transfer-Encoding: chunked\r\n\r\n";
    // Within each wait's time-out, so only the retrieval's deadline ends it.
    const uint32_t kByteEvery59s = 59000;
    struct Row {
        const char* name;
        Pieces pieces;
        const char* error;
        std::string body;
        int connections;
        uint32_t everyMs = 0; // the peer's pace
    } rows[] = {
        {"404", {"HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nno!"}, kRetrieveStatus, "", 1},
        {"head too long", {kOk + "X: " + std::string(9000, 'x') + "\r\n\r\n"}, kReadHeadExcessive, "", 1},
        {"length truncated", {kOk + "Content-Length: 10\r\n\r\nabc"}, kRetrieveBodyError, "abc", 1},
        {"length read error", {kOk + "Content-Length: 10\r\n\r\nabc", ScriptedTransport::Failure()}, kRetrieveBodyError, "abc", 1},
        {"chunk size not hex", {chunked + "zz\r\nabc\r\n0\r\n\r\n"}, kRetrieveBodyError, "", 1},
        {"chunk size beyond 31 bits", {chunked + "80000000\r\nabc"}, kRetrieveBodyError, "", 1},
        {"negative chunk size", {chunked + "-1\r\nabc"}, kRetrieveBodyError, "", 1},
        {"no CRLF behind chunk", {chunked + "3\r\nabcX\r\n0\r\n\r\n"}, kRetrieveBodyError, "abc", 1},
        {"chunked body cut", {chunked + "5\r\nab"}, kRetrieveBodyError, "ab", 1},
        {"chunk size line too long", {chunked + std::string(9000, '0')}, kRetrieveBodyError, "", 1},
        {"until-close read error", {"HTTP/1.0 200 OK\r\n\r\nab", ScriptedTransport::Failure()}, kRetrieveBodyError, "ab", 1},
        // Ten minutes hold ten bytes; the head's read error is not tried again.
        {"a byte every 59 s in the head", Trickle(kOk + "Content-Length: 1\r\n\r\nx"), kReadHeadReadError, "", 1,
         kByteEvery59s},
        {"a byte every 59 s in a length body", Pieces{kOk + "Content-Length: 40\r\n\r\n"} + Trickle(std::string(40, 'x')),
         kRetrieveBodyError, std::string(9, 'x'), 1, kByteEvery59s},
        {"a byte every 59 s in a chunk", Pieces{chunked} + Trickle("28\r\n" + std::string(40, 'x') + "\r\n0\r\n\r\n"),
         kRetrieveBodyError, std::string(5, 'x'), 1, kByteEvery59s},
        {"a byte every 59 s until close", Pieces{"HTTP/1.0 200 OK\r\n\r\n"} + Trickle(std::string(40, 'x')),
         kRetrieveBodyError, std::string(9, 'x'), 1, kByteEvery59s},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Fixture f;
        f.peer.script.push_back({r.pieces});
        f.peer.script.back().everyMs = r.everyMs;
        EXPECT_EQ(r.error, f.Get());
        EXPECT_EQ(r.body, f.sink.body);
        EXPECT_EQ(r.connections, static_cast<int>(f.peer.used.size()));
        EXPECT_EQ(0, f.peer.OpenSockets());
        EXPECT_FALSE(f.session.KeepAlive());
        // No wait runs beyond the deadline.
        EXPECT_LE(f.peer.clock, QuiHttpSession::kRetrievalMs);
        const char* error = nullptr;
        EXPECT_EQ(r.body, IntoBlock(r.pieces, &error, r.everyMs));
        EXPECT_EQ(r.error, error);
    }
}

TEST(HttpSession, EveryBodyEndsAtItsLimit)
{
    const std::string head = "HTTP/1.0 200 OK\r\n\r\n";
    const std::string chunked = "HTTP/1.0 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    struct Row {
        const char* name;
        Pieces pieces;
        size_t limit;
        const char* error;
        std::string body;
    } rows[] = {
        {"below", {head + "abc", "de"}, 8, nullptr, "abcde"},
        {"exactly the limit", {head + "abcd", "efgh"}, 8, nullptr, "abcdefgh"},
        {"one byte beyond", {head + "abcd", "efgh", "i"}, 8, kRetrieveBodyError, "abcdefgh"},
        {"beyond in the head's read", {head + "abcdefghij"}, 8, kRetrieveBodyError, "abcdefgh"},
        {"a peer that goes on", {head + std::string(50000, 'z')}, 8192, kRetrieveBodyError,
         std::string(8192, 'z')},
        {"length at the limit", {"HTTP/1.0 200 OK\r\nContent-Length: 8\r\n\r\nabcdefgh"}, 8, nullptr, "abcdefgh"},
        // Refused as announced: a caller that counts bytes gets none of it.
        {"length beyond", {"HTTP/1.0 200 OK\r\nContent-Length: 9\r\n\r\nabcdefghi"}, 8, kRetrieveBodyError, ""},
        {"chunks to the limit", {chunked + "5\r\nabcde\r\n3\r\nfgh\r\n0\r\n\r\n"}, 8, nullptr, "abcdefgh"},
        {"a chunk beyond", {chunked + "5\r\nabcde\r\n4\r\nfghi\r\n0\r\n\r\n"}, 8, kRetrieveBodyError, "abcde"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ScriptedTransport peer;
        peer.script.push_back({r.pieces});
        QuiHttpSession session(peer, nullptr, "server", 80, r.limit);
        char* data = nullptr;
        QuiDownloadBlock block(&data);
        EXPECT_EQ(r.error, session.Retrieve("/f", block));
        EXPECT_EQ(r.body, std::string(data ? data : "", block.Count()));
        std::free(data);
        EXPECT_EQ(0, peer.OpenSockets());
    }
}

TEST(HttpSession, StatusReportShowsThePeersLineEscapedAndCut)
{
    struct Row {
        const char* name;
        std::string head;
        std::string report;
    } rows[] = {
        {"plain", "HTTP/1.1 404 Not Found\r\n\r\n", "Error: /f HTTP status 404HTTP/1.1 404 Not Found\n"},
        {"terminal controls", "HTTP/1.1 403 \x1b]2;x\x07\x1b[31m\x9b\r\n\r\n",
         "Error: /f HTTP status 403HTTP/1.1 403 \\x1B]2;x\\x07\\x1B[31m\\x9B\n"},
        {"LF-only head", "HTTP/1.0 500 oops\n\n", "Error: /f HTTP status 500HTTP/1.0 500 oops\n"},
        {"flood", "HTTP/1.1 503 " + std::string(5000, 'z') + "\r\n\r\n",
         "Error: /f HTTP status 503HTTP/1.1 503 " + std::string(kReportedStatusBytes - 13, 'z') + "...\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Fixture f;
        f.peer.script.push_back({{r.head}});
        testing::internal::CaptureStdout();
        const char* error = f.Get();
        EXPECT_EQ(r.report, testing::internal::GetCapturedStdout());
        EXPECT_EQ(kRetrieveStatus, error);
    }
}

// Takes bodies in place, as the download block does, and keeps the largest
// room it was asked for.
class RoomWatchingSink : public CollectingSink {
public:
    size_t largestWant = 0;
    char* Room(size_t want, size_t* room) override
    {
        largestWant = std::max(largestWant, want);
        *room = std::min(want, m_space.size());
        return m_space.data();
    }
    void Commit(size_t length) override { body.append(m_space.data(), length); }

private:
    std::vector<char> m_space = std::vector<char>(4096);
};

TEST(HttpSession, RoomAskedOfTheSinkIsBoundedByOneReceiveNotByWhatThePeerAnnounces)
{
    struct Row {
        const char* name;
        std::string response;
        std::string body;
    } rows[] = {
        {"length of 2 GB", kOk + "Content-Length: 2000000000\r\n\r\nabc", "abc"},
        {"chunk of 2 GB", kOk + "Transfer-Encoding: chunked\r\n\r\n7fffffff\r\nabc", "abc"},
        {"length of 3 MB", kOk + "Content-Length: 3000000\r\n\r\nxy", "xy"},
        {"small length", kOk + "Content-Length: 5\r\n\r\nhello", "hello"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ScriptedTransport peer;
        peer.script.push_back({{r.response}});
        // No body limit, which would refuse the largest at once.
        QuiHttpSession session(peer, nullptr, "server", 80, SIZE_MAX);
        RoomWatchingSink sink;
        session.Retrieve("/f", sink);
        EXPECT_EQ(r.body, sink.body);
        EXPECT_LE(sink.largestWant, static_cast<size_t>(1 << 20));
    }
}

TEST(HttpSession, RetriesThreeTimesPerVersionThenFallsBackForGood)
{
    struct Row {
        const char* name;
        Pieces bad;
        int badTries;
        const char* error;
    } rows[] = {
        {"not HTTP", {"SSH-2.0-x\r\n"}, 6, kRetrieveFailedAfterRetries},
        {"closed at once", {}, 6, kRetrieveFailedAfterRetries},
        {"read error", {ScriptedTransport::Failure()}, 6, kRetrieveFailedAfterRetries},
        {"negative length", {kOk + "Content-Length: -1\r\n\r\n"}, 6, kRetrieveFailedAfterRetries},
        {"length not a number", {kOk + "Content-Length: 5x\r\n\r\nhello"}, 6, kRetrieveFailedAfterRetries},
        {"three bad, then good", {"garbage"}, 3, nullptr},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Fixture f;
        f.peer.Repeat(r.badTries, r.bad);
        if (!r.error)
            f.peer.Repeat(1, {"HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok"});
        EXPECT_EQ(r.error, f.Get());
        size_t expected = r.error ? 6 : 4;
        ASSERT_EQ(expected, f.peer.used.size());
        for (size_t i = 0; i < expected; ++i)
            EXPECT_EQ(i < 3 ? kGet11 : kGet10, f.peer.used[i].sent) << "try " << i + 1;
        EXPECT_EQ(0, f.peer.OpenSockets());
        EXPECT_FALSE(f.session.Http11());
        EXPECT_EQ(r.error ? "" : "ok", f.sink.body);

        // The session stays on HTTP/1.0.
        f.peer.Repeat(1, {"HTTP/1.0 200 OK\r\n\r\nagain"});
        EXPECT_EQ(nullptr, f.Get());
        EXPECT_EQ(kGet10, f.peer.used.back().sent);
    }
}

TEST(HttpSession, UnsupportedTransferEncodingFallsBackAtOnce)
{
    Fixture f;
    f.peer.Repeat(1, {kOk + "Transfer-Encoding: gzip\r\n\r\n\x1f\x8b"});
    f.peer.Repeat(1, {"HTTP/1.0 200 OK\r\n\r\nplain"});
    EXPECT_EQ(nullptr, f.Get());
    ASSERT_EQ(2u, f.peer.used.size());
    EXPECT_EQ(kGet10, f.peer.used[1].sent);
    EXPECT_EQ("plain", f.sink.body);
    EXPECT_FALSE(f.session.Http11());
    EXPECT_EQ(0, f.peer.OpenSockets());
}

TEST(HttpSession, KeepsTheConnectionOnlyWhileThePeerAllowsIt)
{
    struct Row {
        const char* name;
        std::string first;
        bool kept;
    } rows[] = {
        {"1.1 with length", kOk + "Content-Length: 1\r\n\r\na", true},
        {"1.1 chunked", kOk + "Transfer-Encoding: chunked\r\n\r\n1\r\na\r\n0\r\n\r\n", true},
        {"Connection: close", kOk + "Connection: close\r\nContent-Length: 1\r\n\r\na", false},
        {"1.0 answer", "HTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\na", false},
        {"body until close", kOk + "\r\na", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Fixture f;
        // A kept connection answers the second request on the same stream.
        const std::string second = kOk + "Content-Length: 1\r\n\r\nb";
        f.peer.Repeat(1, r.kept ? Pieces{r.first, second} : Pieces{r.first});
        f.peer.Repeat(1, {second});
        EXPECT_EQ(nullptr, f.Get());
        EXPECT_EQ(r.kept, f.session.Connected());
        EXPECT_EQ(r.kept ? 1 : 0, f.peer.OpenSockets());
        EXPECT_EQ(nullptr, f.Get());
        EXPECT_EQ("ab", f.sink.body);
        EXPECT_EQ(r.kept ? 1u : 2u, f.peer.used.size());
    }
}

TEST(HttpSession, BytesBeyondAResponseStartTheNext)
{
    Fixture f;
    f.peer.Repeat(1, {kOk + "Content-Length: 3\r\n\r\none" + kOk + "Content-Length: 3\r\n\r\ntwo" + kOk +
                      "Transfer-Encoding: chunked\r\n\r\n5\r\nthree\r\n0\r\n\r\n" + kOk + "Content-Length: 4\r\n\r\nfour"});
    for (const char* expected : {"one", "onetwo", "onetwothree", "onetwothreefour"}) {
        EXPECT_EQ(nullptr, f.Get());
        EXPECT_EQ(expected, f.sink.body);
    }
    EXPECT_EQ(1u, f.peer.used.size());
    EXPECT_EQ(kGet11 + kGet11 + kGet11 + kGet11, f.peer.used[0].sent);
}

TEST(HttpSession, Http10AnswerEndsAKeptConnection)
{
    Fixture f;
    f.peer.Repeat(1, {kOk + "Content-Length: 1\r\n\r\na", "HTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\nb"});
    EXPECT_EQ(nullptr, f.Get());
    EXPECT_TRUE(f.session.Connected());
    EXPECT_EQ(nullptr, f.Get());
    EXPECT_FALSE(f.session.Connected());
    EXPECT_EQ(0, f.peer.OpenSockets());
}

TEST(HttpSession, StaleKeptConnectionIsReplaced)
{
    Fixture f;
    f.peer.Repeat(1, {kOk + "Content-Length: 1\r\n\r\na"});
    f.peer.Repeat(1, {kOk + "Content-Length: 1\r\n\r\nb"});
    EXPECT_EQ(nullptr, f.Get());
    EXPECT_EQ(nullptr, f.Get());
    EXPECT_EQ("ab", f.sink.body);
    EXPECT_EQ(2, f.session.Tries());
    EXPECT_EQ(2u, f.peer.used.size());
    EXPECT_EQ(1, f.peer.OpenSockets());
}

TEST(HttpSession, ConnectionFailuresEndAtOnceAndNameIsResolvedOnce)
{
    struct Row {
        const char* name;
        bool failResolve, failOpen, refuseConnect;
    } rows[] = {
        {"resolve", true, false, false},
        {"socket", false, true, false},
        {"connect", false, false, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Fixture f;
        f.peer.failResolve = r.failResolve;
        f.peer.failOpen = r.failOpen;
        ScriptedTransport::Connection refusing;
        refusing.refuseConnect = r.refuseConnect;
        f.peer.script.push_back(refusing);
        EXPECT_EQ(kSendOpenConnection, f.Get());
        EXPECT_EQ(1, f.session.Tries());
        EXPECT_EQ(0, f.peer.OpenSockets());
    }

    Fixture f;
    f.peer.Repeat(2, {"HTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\nx"});
    EXPECT_EQ(nullptr, f.Get());
    EXPECT_EQ(nullptr, f.Get());
    EXPECT_EQ(std::vector<std::string>{"server"}, f.peer.resolved);
}

TEST(HttpSession, SendsTheWholeRequestInPieces)
{
    Fixture f;
    ScriptedTransport::Connection c;
    c.sendLimit = 3;
    c.pieces = {kOk + "Content-Length: 0\r\n\r\n"};
    f.peer.script.push_back(c);
    EXPECT_EQ(nullptr, f.Get());
    EXPECT_EQ(kGet11, f.peer.used[0].sent);
}

TEST(HttpSession, WriteFailureIsRetriedUnder11)
{
    Fixture f;
    ScriptedTransport::Connection broken;
    broken.failSend = true;
    f.peer.script.push_back(broken);
    f.peer.Repeat(1, {kOk + "Content-Length: 2\r\n\r\nok"});
    EXPECT_EQ(nullptr, f.Get());
    EXPECT_EQ("ok", f.sink.body);
    EXPECT_FALSE(f.peer.used[0].open);
    EXPECT_EQ(1, f.peer.OpenSockets());
}

TEST(HttpSession, ProxyGetsTheAbsoluteRequestLine)
{
    ScriptedTransport peer;
    QuiHttpSession session(peer, "P", "H", 8080);
    peer.Repeat(1, {kOk + "Content-Length: 0\r\n\r\n"});
    CollectingSink sink;
    EXPECT_EQ(nullptr, session.Retrieve("dir/f.txt", sink));
    EXPECT_EQ(std::vector<std::string>{"P"}, peer.resolved);
    EXPECT_EQ(8080, peer.connectPort);
    EXPECT_EQ("GET http://H/dir/f.txt HTTP/1.1\r\nHost: H\r\nContent-Length: 0\r\n\r\n", peer.used[0].sent);
}

TEST(HttpSession, RefusedRequestSendsNothing)
{
    Fixture f;
    EXPECT_EQ(kGenRequestTooSmall, f.Get("/a\r\nX-Forged: 1"));
    EXPECT_EQ(kGenRequestTooSmall, f.Get(std::string(9000, 'p').c_str()));
    EXPECT_TRUE(f.peer.used.empty());
}

TEST(HttpSession, RefusingCollectorEndsTheBody)
{
    Fixture f;
    f.sink.accept = 1;
    f.peer.Repeat(1, {kOk + "Transfer-Encoding: chunked\r\n\r\n1\r\na\r\n1\r\nb\r\n0\r\n\r\n"});
    EXPECT_EQ(kRetrieveBodyError, f.Get());
    EXPECT_EQ("a", f.sink.body);
    EXPECT_EQ(0, f.peer.OpenSockets());
}

TEST(DownloadBlock, GrowsAndReplacesTheCallersBlock)
{
    char* data = static_cast<char*>(std::malloc(3));
    std::memcpy(data, "old", 3);
    QuiDownloadBlock block(&data);
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        std::string piece(static_cast<size_t>(i % 97 + 1), static_cast<char>('a' + i % 26));
        ASSERT_TRUE(block.Deliver(piece.data(), piece.size()));
        expected += piece;
    }
    EXPECT_EQ(static_cast<int>(expected.size()), block.Count());
    EXPECT_EQ(expected, std::string(data, block.Count()));

    // The count is an int: a piece beyond that is refused untouched.
    const char* before = data;
    EXPECT_FALSE(block.Deliver(before, static_cast<size_t>(INT_MAX)));
    EXPECT_EQ(static_cast<int>(expected.size()), block.Count());
    EXPECT_EQ(before, data);
    std::free(data);
}
