#include "UrlSplit.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>

using namespace shrike;

namespace {
struct Parts {
    char host[64], path[64], scheme[10];
    QuiUrlParts record;
    Parts()
    {
        std::memset(host, '#', sizeof host);
        std::memset(path, '#', sizeof path);
        std::memset(scheme, '#', sizeof scheme);
        host[sizeof host - 1] = path[sizeof path - 1] = scheme[sizeof scheme - 1] = 0;
        record = {QUI_URL_PARTS_SIZE, host, sizeof host, path, sizeof path, scheme, sizeof scheme, 0};
    }
};
}

TEST(CrackUrl, SplitsSchemeHostAndPath)
{
    const char* untouched = "###";
    struct Row {
        const char* url;
        unsigned number;
        const char *scheme, *host, *path;
    } rows[] = {
        {"HTTP://Example.COM/Dir/File.txt", 2, "http", "Example.COM", "/Dir/File.txt"},
        {"https://h/", 3, "https", "h", "/"},
        {"ftp://h\\dir\\f", 6, "ftp", "h", "\\dir\\f"},
        {"Gopher://h/1", 5, "gopher", "h", "/1"},
        {"file://x/c:/a", 4, "file", "x", "/c:/a"},
        {"unknown://h/p", 1, "unknown", "h", "/p"},
        {"http://host:8080/p?q=1", 2, "http", "host:8080", "/p?q=1"},
        {"mailto://h/p", 0, untouched, "h", "/p"},
        {"http://hostonly", 2, "http", untouched, untouched},
        {"www.example.com/p", 0, untouched, untouched, untouched},
        {"news:comp.lang", 0, untouched, untouched, untouched},
        {"", 0, untouched, untouched, untouched},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.url);
        Parts p;
        EXPECT_EQ(1, CrackUrl(r.url, &p.record));
        EXPECT_EQ(r.number, p.record.schemeNumber);
        EXPECT_EQ(0, std::strncmp(r.scheme, p.scheme, std::strlen(r.scheme) + (r.scheme != untouched)));
        EXPECT_EQ(0, std::strncmp(r.host, p.host, std::strlen(r.host) + (r.host != untouched)));
        EXPECT_EQ(0, std::strncmp(r.path, p.path, std::strlen(r.path) + (r.path != untouched)));
    }
}

TEST(CrackUrl, CutPartsAreTerminatedAndReported)
{
    struct Row {
        const char* url;
        unsigned hostCap, pathCap, schemeCap;
        int result;
        const char *host, *path, *scheme;
    } rows[] = {
        {"http://abcdef/123456", 7, 8, 5, 1, "abcdef", "/123456", "http"},
        {"http://abcdef/123456", 6, 8, 5, 0, "abcde", "/123456", "http"},
        {"http://abcdef/123456", 7, 7, 5, 0, "abcdef", "/12345", "http"},
        {"gopher://h/p", 7, 7, 6, 0, "h", "/p", "gophe"},
        {"http://abcdef/123456", 1, 1, 1, 0, "", "", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.url);
        Parts p;
        p.record.hostCapacity = r.hostCap;
        p.record.pathCapacity = r.pathCap;
        p.record.schemeCapacity = r.schemeCap;
        EXPECT_EQ(r.result, CrackUrl(r.url, &p.record));
        EXPECT_STREQ(r.host, p.host);
        EXPECT_STREQ(r.path, p.path);
        EXPECT_STREQ(r.scheme, p.scheme);
    }
}

TEST(CrackUrl, SkipsPartsWithoutBufferAndRefusesNull)
{
    Parts p;
    p.record.host = nullptr;
    p.record.pathCapacity = 0;
    EXPECT_EQ(1, CrackUrl("http://h/p", &p.record));
    EXPECT_EQ('#', p.path[0]);
    EXPECT_STREQ("http", p.scheme);
    EXPECT_EQ(0, CrackUrl(nullptr, &p.record));
    EXPECT_EQ(0, CrackUrl("http://h/p", nullptr));
}

TEST(ProxyText, SplitsAtTheFirstColon)
{
    struct Row {
        const char* text;
        bool colon;
        const char *before, *after;
    } rows[] = {
        {"proxy:8080", true, "proxy", "8080"}, {"proxy", false, "proxy", ""},
        {":", true, "", ""},                   {"a:b:c", true, "a", "b:c"},
        {"", false, "", ""},
    };
    for (const Row& r : rows) {
        std::string before = "x", after = "y";
        EXPECT_EQ(r.colon, SplitAtFirstColon(r.text, &before, &after)) << r.text;
        EXPECT_EQ(r.before, before) << r.text;
        EXPECT_EQ(r.after, after) << r.text;
    }
}

TEST(ProxyText, PortIsADecimalTcpPortOrZero)
{
    struct Row {
        const char* text;
        int port;
    } rows[] = {{"8080", 8080}, {" 80", 80}, {"3128x", 3128}, {"", 0}, {"x1", 0},
                {"65535", 65535}, {"65536", 0}, {"99999999999", 0}, {"-1", 0}};
    for (const Row& r : rows)
        EXPECT_EQ(r.port, ParsePort(r.text)) << r.text;
}
