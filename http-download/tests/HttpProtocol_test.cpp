#include "HttpErrors.h"
#include "HttpProtocol.h"

#include <gtest/gtest.h>
#include <string>

using namespace shrike;

TEST(HttpProtocol, BuildsRequestsForEachRouteAndVersion)
{
    struct Row {
        const char* path;
        bool proxy, http11;
        const char* expected;
    } rows[] = {
        {"/a/b.txt", false, true, "GET /a/b.txt HTTP/1.1\r\nHost: H\r\nContent-Length: 0\r\n\r\n"},
        {"a/b.txt", false, true, "GET /a/b.txt HTTP/1.1\r\nHost: H\r\nContent-Length: 0\r\n\r\n"},
        {"path", true, true, "GET http://H/path HTTP/1.1\r\nHost: H\r\nContent-Length: 0\r\n\r\n"},
        {"/path", true, true, "GET http://H/path HTTP/1.1\r\nHost: H\r\nContent-Length: 0\r\n\r\n"},
        {"/x", false, false, "GET /x HTTP/1.0\r\n\r\n"},
        {"x", true, false, "GET http://H/x HTTP/1.0\r\n\r\n"},
        {"", false, true, "GET / HTTP/1.1\r\nHost: H\r\nContent-Length: 0\r\n\r\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path);
        char out[8192];
        size_t length = 0;
        ASSERT_EQ(nullptr, BuildRequest(out, sizeof out, &length, r.path, "H", r.proxy, r.http11));
        EXPECT_EQ(r.expected, std::string(out, length));
    }
}

TEST(HttpProtocol, RefusesRequestsThatDoNotFitOrCouldForgeLines)
{
    std::string fits(8192 - 100 - 2, 'p'), tooLong(8192 - 100 - 1, 'p');
    struct Row {
        std::string path, host;
        bool refused;
    } rows[] = {
        {fits, "H", false},
        {tooLong, "H", true},
        {"/x", std::string(4045, 'h'), false},
        {"/x", std::string(4046, 'h'), true},
        {"/x\r\nX-Forged: 1", "H", true},
        {"/x\nY", "H", true},
        {"/x\tY", "H", true},
        {"/x\x7fY", "H", true},
        {"/x", "H\r\nX-Forged: 1", true},
        {"/x y", "H", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.path.substr(0, 20) + " @ " + r.host.substr(0, 20));
        char out[8192];
        size_t length = 0;
        const char* error = BuildRequest(out, sizeof out, &length, r.path.c_str(), r.host.c_str(), false, true);
        EXPECT_EQ(r.refused ? kGenRequestTooSmall : nullptr, error);
    }
    char out[64];
    size_t length = 0;
    EXPECT_EQ(kGenRequestTooSmall, BuildRequest(out, sizeof out, &length, nullptr, "H", false, true));
}

TEST(HttpProtocol, FindsTheEmptyLineOnlyWhenItsLineEndIsHeld)
{
    struct Row {
        std::string held;
        bool complete;
        size_t emptyLine, next;
    } rows[] = {
        {"HTTP/1.1 200 OK\r\nA: b\r\n\r\nBODY", true, 23, 25},
        {"HTTP/1.1 200 OK\nA: b\n\nBODY", true, 21, 22},
        {"HTTP/1.1 200 OK\r\n\r", false, 0, 0},
        {"HTTP/1.1 200 OK\r\n\rX", true, 17, 18},
        {"HTTP/1.1 200 OK\r\nA: b\r\n", false, 0, 0},
        {"\r\nrest", true, 0, 2},
        {"\nrest", true, 0, 1},
        {"\r", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.held);
        HeadEnd end = {99, 99};
        ASSERT_EQ(r.complete, FindHeadEnd(r.held.data(), r.held.size(), &end));
        if (r.complete) {
            EXPECT_EQ(r.emptyLine, end.emptyLine);
            EXPECT_EQ(r.next, end.next);
        }
    }
}

TEST(HttpProtocol, StatusLinePrefixIsJudgedOnWhatIsHeld)
{
    struct Row {
        const char* held;
        bool possible;
    } rows[] = {
        {"H", true}, {"HTTP/", true}, {"http/1.1 200", true}, {"HTTP/1.0", true},
        {"HTTP/2 200", false}, {"SSH-2.0", false}, {"\r\n", false}, {"<html>", false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.possible, CanBeStatusLine(r.held, std::string(r.held).size())) << r.held;
}

TEST(HttpProtocol, HeadFactsFollowTheLastDecidingHeader)
{
    struct Row {
        const char* head;
        bool http11;
        int32_t mode;
        bool keepAlive, unsupported, badLength;
    } rows[] = {
        {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n", true, 5, true, false, false},
        {"HTTP/1.1 200 OK\r\ncontent-length:5\r\n", true, 5, true, false, false},
        {"HTTP/1.1 200 OK\r\n", true, kBodyUntilClose, true, false, false},
        {"HTTP/1.0 200 OK\r\nContent-Length: 5\r\n", true, 5, false, false, false},
        {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n", false, 5, false, false, false},
        {"HTTP/1.1 200 OK\r\nConnection: close\r\n", true, kBodyUntilClose, false, false, false},
        {"HTTP/1.1 200 OK\r\nCONNECTION: Close\r\n", true, kBodyUntilClose, false, false, false},
        {"HTTP/1.1 200 OK\r\nConnection: keep-alive\r\n", true, kBodyUntilClose, true, false, false},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n", true, kBodyChunked, true, false, false},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding:\tCHUNKED\r\n", true, kBodyChunked, true, false, false},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Length: 7\r\n", true, 7, true, false, false},
        {"HTTP/1.1 200 OK\r\nContent-Length: 7\r\nTransfer-Encoding: chunked\r\n", true, kBodyChunked, true, false, false},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n", true, kBodyUntilClose, true, true, false},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: identity\r\n", true, kBodyUntilClose, true, true, false},
        {"HTTP/1.1 200 OK\r\nContent-Length: -1\r\n", true, kBodyUntilClose, true, false, true},
        {"HTTP/1.1 200 OK\r\nContent-Length: -2\r\n", true, kBodyUntilClose, true, false, true},
        {"HTTP/1.1 200 OK\r\nContent-Length: 2147483648\r\n", true, kBodyUntilClose, true, false, true},
        {"HTTP/1.1 200 OK\r\nContent-Length: 12abc\r\n", true, kBodyUntilClose, true, false, true},
        {"HTTP/1.1 200 OK\r\nContent-Length: \r\n", true, kBodyUntilClose, true, false, true},
        {"HTTP/1.1 200 OK\r\nX-Content-Length: 3\r\n", true, kBodyUntilClose, true, false, false},
        {"HTTP/1.1 200 OK\r\nContent-Lengthy: 3\r\n", true, kBodyUntilClose, true, false, false},
        {"HTTP/1.", true, kBodyUntilClose, false, false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.head);
        std::string head(r.head);
        HeadFacts f = ReadHeadFacts(head.data(), head.size(), r.http11);
        EXPECT_EQ(r.unsupported, f.unsupportedEncoding);
        EXPECT_EQ(r.badLength, f.badLength);
        if (!r.unsupported && !r.badLength) {
            EXPECT_EQ(r.mode, f.bodyMode);
            EXPECT_EQ(r.keepAlive, f.keepAlive);
        }
    }
}

TEST(HttpProtocol, StatusCodeFollowsTheFirstWord)
{
    struct Row {
        const char* line;
        int code;
    } rows[] = {
        {"HTTP/1.1 200 OK", 200}, {"HTTP/1.1 \t404 Not Found", 404}, {"HTTP/1.0 200", 200},
        {"HTTP/1.1", 0},          {"HTTP/1.1 OK", 0},                {"HTTP/1.1 99999999999999", 999999999},
        {"", 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.code, StatusCode(r.line, std::string(r.line).size())) << r.line;
}

TEST(HttpProtocol, ReportedStatusLineEscapesThePeersBytesAndIsCut)
{
    const std::string longLine = "HTTP/1.1 500 " + std::string(400, 'x');
    struct Row {
        const char* name;
        std::string line;
        std::string shown;
    } rows[] = {
        {"plain", "HTTP/1.1 404 Not Found", "HTTP/1.1 404 Not Found"},
        {"escape sequence", "HTTP/1.1 404 \x1b[2J\x1b]0;owned\x07", "HTTP/1.1 404 \\x1B[2J\\x1B]0;owned\\x07"},
        {"NUL and DEL", std::string("HTTP/1.1 500 a\0b\x7f", 17), "HTTP/1.1 500 a\\x00b\\x7F"},
        {"high bytes", "HTTP/1.1 404 \xc3\xa9\x9b", "HTTP/1.1 404 \\xC3\\xA9\\x9B"},
        {"backslash stays unambiguous", "HTTP/1.1 404 \\x1B", "HTTP/1.1 404 \\x5Cx1B"},
        {"tab", "HTTP/1.1\t404", "HTTP/1.1\\x09404"},
        {"empty", "", ""},
        {"exactly the limit", std::string(kReportedStatusBytes, 'y'), std::string(kReportedStatusBytes, 'y')},
        {"one beyond the limit", std::string(kReportedStatusBytes + 1, 'y'), std::string(kReportedStatusBytes, 'y') + "..."},
        {"long", longLine, longLine.substr(0, kReportedStatusBytes) + "..."},
        {"escapes count the peer's bytes", std::string(300, '\x1b'),
         [] { std::string s; for (size_t i = 0; i < kReportedStatusBytes; ++i) s += "\\x1B"; return s + "..."; }()},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.shown, ReportableStatusLine(r.line.data(), r.line.size())) << r.name;
}

TEST(HttpProtocol, ChunkSizesAreHexadecimalAndBounded)
{
    struct Row {
        const char* line;
        bool ok;
        int32_t size;
    } rows[] = {
        {"5", true, 5},          {"1A", true, 26},         {"1a\r", true, 26},
        {"0", true, 0},          {"ff;name=value", true, 255}, {"10 \r", true, 16},
        {"7fffffff", true, 0x7fffffff}, {"0000000000000010", true, 16},
        {"80000000", false, 0},  {"ffffffffff", false, 0}, {"", false, 0},
        {"\r", false, 0},        {"zz", false, 0},         {"-5", false, 0},
        {" 5", false, 0},        {"5x", false, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        int32_t size = -7;
        EXPECT_EQ(r.ok, ParseChunkSize(r.line, std::string(r.line).size(), &size));
        if (r.ok) {
            EXPECT_EQ(r.size, size);
        }
    }
}

TEST(HttpErrors, ClassIsTheDigitAfterE)
{
    EXPECT_EQ(3, ErrorClass(kReadHeadConfused));
    EXPECT_EQ(1, ErrorClass(kRetrieveStatus));
    EXPECT_EQ(2, ErrorClass(kReadBodyCallback));
    EXPECT_EQ(4, ErrorClass(kRetrieveFailedAfterRetries));
    EXPECT_EQ(0, ErrorClass(nullptr));
    EXPECT_EQ(0, ErrorClass("E-"));
}
