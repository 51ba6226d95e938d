#include "ProxyRecord.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>

using namespace shrike;

namespace {
QuiProxyInfo Settings(unsigned flags, const char* proxy, const char* bypass = "")
{
    QuiProxyInfo info;
    BlankProxyInfo(&info);
    info.flags = flags;
    SetProxyText(info.proxy, proxy);
    SetProxyText(info.bypass, bypass);
    return info;
}
}

TEST(ProxyRecord, RecordHasTheSizeCallersCheck)
{
    EXPECT_EQ(796u, sizeof(QuiProxyInfo));
    QuiProxyInfo info;
    BlankProxyInfo(&info);
    EXPECT_EQ(796u, info.size);
    EXPECT_EQ(260u, info.proxyCapacity);
    EXPECT_EQ(260u, info.bypassCapacity);
}

TEST(ProxyRecord, CopiesOnlyIntoARecordOfTheRightSize)
{
    QuiProxyInfo from = Settings(1, "proxy.example:8080", "*.local");
    struct Row {
        unsigned size, proxyCap, bypassCap;
        bool filled;
        const char *proxy, *bypass;
    } rows[] = {
        {796, 260, 260, true, "proxy.example:8080", "*.local"},
        {100, 260, 260, false, "", ""},
        {795, 260, 260, false, "", ""},
        {796, 0, 260, true, "", "*.local"},
        {796, 260, 0, true, "proxy.example:8080", ""},
        {796, 6, 3, true, "proxy", "*."},
        {796, 9999, 9999, true, "proxy.example:8080", "*.local"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.size * 1000 + r.proxyCap);
        QuiProxyInfo to;
        std::memset(&to, 0, sizeof to);
        to.size = r.size;
        to.proxyCapacity = r.proxyCap;
        to.bypassCapacity = r.bypassCap;
        std::memset(to.work, 'w', sizeof to.work);
        EXPECT_EQ(1, CopyProxyInfo(from, &to));
        EXPECT_EQ(r.filled ? 1u : 0u, to.flags);
        EXPECT_STREQ(r.proxy, to.proxy);
        EXPECT_STREQ(r.bypass, to.bypass);
        EXPECT_EQ('w', to.work[0]);
        EXPECT_EQ(r.bypassCap, to.bypassCapacity);
    }
    EXPECT_EQ(0, CopyProxyInfo(from, nullptr));
}

TEST(ProxyRecord, EnabledSettingDecidesTheRoute)
{
    struct Row {
        unsigned flags;
        const char* text;
        const char* callerProxy;
        int callerPort;
        bool via;
        const char* host;
        int port;
    } rows[] = {
        {1, "P:8080", nullptr, 80, true, "P", 8080},
        {1, "P:8080", "caller", 3128, true, "P", 8080},
        {1, "P", nullptr, 80, true, "", 0},
        {1, ":", nullptr, 80, true, "", 0},
        {0, "P:8080", nullptr, 80, false, "", 80},
        {0, "P:8080", "caller", 3128, true, "caller", 3128},
        {2, "P:8080", nullptr, 81, false, "", 81},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.text) + " flags " + std::to_string(r.flags));
        SessionRoute route = ChooseRoute(Settings(r.flags, r.text), r.callerProxy, r.callerPort);
        EXPECT_EQ(r.via, route.viaProxy);
        EXPECT_EQ(r.host, route.proxyHost);
        EXPECT_EQ(r.port, route.port);
    }
}

TEST(ProxyRecord, TextIsCutToItsField)
{
    QuiProxyInfo info = Settings(0, std::string(400, 'a').c_str());
    EXPECT_EQ(259u, std::strlen(info.proxy));
}
