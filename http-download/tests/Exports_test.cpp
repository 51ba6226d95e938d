#include "ShrikeLibrary.h"
#include "ProxyRegistryState.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>

TEST(Exports, SixFunctionsAtTheirOrdinals)
{
    ProxyRegistryState registry;
    ShrikeLibrary shrike;
    const char* names[] = {"QUIINETClose", "QUIINETCrackURL", "QUIINETGetFile",
                           "QUIINETGetProxyInfo", "QUIINETInit", "QUIINETShowProxyDlg"};
    for (int ordinal = 1; ordinal <= 6; ++ordinal) {
        FARPROC byName = GetProcAddress(shrike.module, names[ordinal - 1]);
        EXPECT_NE(nullptr, byName) << names[ordinal - 1];
        EXPECT_EQ(byName, GetProcAddress(shrike.module, MAKEINTRESOURCEA(ordinal))) << ordinal;
    }
    EXPECT_EQ(nullptr, GetProcAddress(shrike.module, MAKEINTRESOURCEA(7)));
}

TEST(Exports, RecordsHaveTheSizesCallersCheck)
{
    EXPECT_EQ(static_cast<size_t>(QUI_URL_PARTS_SIZE), sizeof(QuiUrlParts));
#ifndef _WIN64
    EXPECT_EQ(32u, sizeof(QuiUrlParts));
#endif
    EXPECT_EQ(796u, sizeof(QuiProxyInfo));
}

TEST(Exports, CrackUrlSplitsCapitalSchemeAndReportsCuts)
{
    ProxyRegistryState registry;
    ShrikeLibrary shrike;
    char host[32], path[8], scheme[10];
    QuiUrlParts parts = {QUI_URL_PARTS_SIZE, host, sizeof host, path, sizeof path, scheme, sizeof scheme, 0};
    EXPECT_EQ(1, shrike.CrackURL("HTTP://Server.Example/a/b", &parts));
    EXPECT_EQ(2u, parts.schemeNumber);
    EXPECT_STREQ("http", scheme);
    EXPECT_STREQ("Server.Example", host);
    EXPECT_STREQ("/a/b", path);
    EXPECT_EQ(0, shrike.CrackURL("http://h/a/long/path", &parts));
    EXPECT_STREQ("/a/long", path);
    EXPECT_EQ(0, shrike.CrackURL(nullptr, &parts));
}

TEST(Exports, ProxyInfoFillsOnlyItsOwnSize)
{
    ProxyRegistryState registry;
    registry.SetSystem(0, "", "");
    registry.SetOwn(1, "own.example:3128", "*.local");
    ShrikeLibrary shrike;
    EXPECT_EQ(0, shrike.GetProxyInfo(nullptr));

    QuiProxyInfo wrong;
    std::memset(&wrong, 0x5a, sizeof wrong);
    wrong.size = 100;
    QuiProxyInfo copy = wrong;
    EXPECT_EQ(1, shrike.GetProxyInfo(&wrong));
    EXPECT_EQ(0, std::memcmp(&copy, &wrong, sizeof wrong));

    QuiProxyInfo info;
    std::memset(&info, 0x5a, sizeof info);
    info.size = QUI_PROXY_INFO_SIZE;
    info.proxyCapacity = info.bypassCapacity = QUI_PROXY_TEXT_SIZE;
    EXPECT_EQ(1, shrike.GetProxyInfo(&info));
    EXPECT_EQ(1u, info.flags);
    EXPECT_STREQ("own.example:3128", info.proxy);
    EXPECT_STREQ("*.local", info.bypass);
}

TEST(Exports, NullArgumentsAreRefused)
{
    ProxyRegistryState registry;
    ShrikeLibrary shrike;
    char* data = nullptr;
    EXPECT_EQ(0, shrike.GetFile(nullptr, "/x", &data));
    EXPECT_EQ(nullptr, data);
    EXPECT_EQ(nullptr, shrike.Init(nullptr, nullptr, 80));
    shrike.Close(nullptr);
}
