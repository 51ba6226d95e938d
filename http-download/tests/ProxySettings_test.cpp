#include "ProxyRegistryState.h"
#include "ShrikeLibrary.h"

#include <gtest/gtest.h>
#include <string>

namespace {
const char* kOwn = ProxyRegistryState::kOwnKey;
}

TEST(ProxySettings, EnabledSystemProxyWinsElseOwnSettingsFill)
{
    struct Row {
        DWORD systemEnable;
        const char* systemServer;
        int ownEnabled; // -1: no key of its own
        const char* ownName;
        unsigned flags;
        const char *proxy, *bypass;
    } rows[] = {
        {1, "P:8080", 1, "Q:80", 1, "P:8080", "sys.local"},
        {1, "P:8080", 0, "Q:80", 1, "P:8080", "sys.local"},
        {0, "P:8080", 0, "Q:80", 0, "Q:80", "own.local"},
        {0, "P:8080", 1, "Q:80", 1, "Q:80", "own.local"},
        {0, "P:8080", -1, "", 0, "", ""},
        {2, "P:8080", 0, "Q:80", 0, "Q:80", "own.local"},
        {0x101, "P:8080", 0, "Q:80", 1, "P:8080", "sys.local"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.systemEnable) + " / " + std::to_string(r.ownEnabled));
        ProxyRegistryState registry;
        registry.SetSystem(r.systemEnable, r.systemServer, "sys.local");
        if (r.ownEnabled >= 0)
            registry.SetOwn(r.ownEnabled, r.ownName, "own.local");
        ShrikeLibrary shrike;
        QuiProxyInfo info = shrike.Effective();
        EXPECT_EQ(r.flags, info.flags);
        EXPECT_STREQ(r.proxy, info.proxy);
        EXPECT_STREQ(r.bypass, info.bypass);
    }
}

TEST(ProxySettings, OwnKeyIsWrittenWholeWhenItWasRead)
{
    {
        ProxyRegistryState registry;
        registry.SetSystem(1, "P:8080", "");
        ShrikeLibrary shrike;
        shrike.Effective();
        DWORD type = 0;
        ProxyRegistryState::Read(kOwn, "ProxyEnabled", &type);
        EXPECT_EQ(static_cast<DWORD>(REG_NONE), type) << "the own key is not read while the system's proxy is on";
    }
    ProxyRegistryState registry;
    ProxyRegistryState::WriteText(kOwn, "ProxyName", "Q:80");
    ShrikeLibrary shrike;
    shrike.Effective();
    for (const char* name : {"UseProxy", "Proxy", "ProxyEnabled"}) {
        DWORD type = 0;
        ProxyRegistryState::Read(kOwn, name, &type);
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type) << name;
        EXPECT_EQ(0u, ProxyRegistryState::ReadDword(kOwn, name)) << name;
    }
    EXPECT_EQ("Q:80", ProxyRegistryState::ReadText(kOwn, "ProxyName"));
    DWORD type = 0;
    ProxyRegistryState::Read(kOwn, "ProxyBypass", &type);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
}

TEST(ProxySettings, ReadingLeavesAValueItCouldNotReadAsItIs)
{
    ProxyRegistryState registry;
    const std::string overLong(600, 'q');
    ProxyRegistryState::WriteText(kOwn, "ProxyName", overLong.c_str());
    ShrikeLibrary shrike;
    shrike.Effective();
    EXPECT_EQ(overLong, ProxyRegistryState::ReadText(kOwn, "ProxyName"));
}

TEST(ProxySettings, SettingsAreReadOncePerLoad)
{
    ProxyRegistryState registry;
    registry.SetOwn(1, "first:1", "");
    ShrikeLibrary shrike;
    EXPECT_STREQ("first:1", shrike.Effective().proxy);
    registry.SetOwn(1, "second:2", "");
    EXPECT_STREQ("first:1", shrike.Effective().proxy);
}
