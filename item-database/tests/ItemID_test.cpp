#include "QuiItemID.h"

#include <gtest/gtest.h>
#include <cstring>
#include <set>
#include <string>

TEST(ItemID, ComparesBytesCaseSensitively)
{
    EXPECT_FALSE(QuiItemID("ABC") == "abc");
    EXPECT_TRUE(QuiItemID("ABC") != "abc");
    EXPECT_TRUE(QuiItemID("abc") == "abc");
    EXPECT_FALSE(QuiItemID("ab") == "abc");
}

TEST(ItemID, OrdersUnsignedBytesWithPrefixFirst)
{
    struct Row { const char* lo; const char* hi; } rows[] = {
        {"ab", "abc"}, {"B", "a"}, {"", "a"}, {"z", "\x80"}, {"\x7f", "\xff"}, {"a\x80", "a\x81"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.lo) + " < " + r.hi);
        QuiItemID lo(r.lo), hi(r.hi);
        EXPECT_TRUE(lo < hi);
        EXPECT_FALSE(hi < lo);
        EXPECT_TRUE(hi > lo);
        EXPECT_TRUE(lo <= hi);
        EXPECT_TRUE(hi >= lo);
        EXPECT_TRUE(lo <= QuiItemID(r.lo));
        EXPECT_TRUE(lo >= QuiItemID(r.lo));
    }
}

TEST(ItemID, NilUntilGiven)
{
    QuiItemID id;
    EXPECT_TRUE(id.isNil());
    EXPECT_STREQ("", id.toString());
    id.fromString("x");
    EXPECT_FALSE(id.isNil());
    id.fromString(nullptr);
    EXPECT_TRUE(id.isNil());
}

TEST(ItemID, CopiesAreIndependent)
{
    QuiItemID a("one");
    QuiItemID b(a);
    b.fromString("two");
    EXPECT_STREQ("one", a.toString());
    a = b;
    b.fromString("three");
    EXPECT_STREQ("two", a.toString());
    a = a;
    EXPECT_STREQ("two", a.toString());
}

TEST(ItemID, GeneratesLowerCaseUuidText)
{
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        QuiItemID id;
        EXPECT_EQ(&id, &id.generateUnique());
        const char* t = id.toString();
        ASSERT_EQ(36u, std::strlen(t)) << t;
        for (int k = 0; k < 36; ++k) {
            if (k == 8 || k == 13 || k == 18 || k == 23)
                EXPECT_EQ('-', t[k]) << t;
            else
                EXPECT_TRUE(std::strchr("0123456789abcdef", t[k]) != nullptr) << t;
        }
        seen.insert(t);
    }
    EXPECT_EQ(200u, seen.size());
}

#ifdef _WIN32
#include <rpc.h>

#include "ImportPatch.h"

namespace {

RPC_STATUS g_createAnswer;
RPC_STATUS g_sequentialAnswer;

RPC_STATUS RPC_ENTRY FakeCreate(UUID* uuid)
{
    *uuid = {0x0123ABCD, 0x4567, 0x89EF, {0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6, 0x07, 0x18}};
    return g_createAnswer;
}

RPC_STATUS RPC_ENTRY FakeSequential(UUID* uuid)
{
    *uuid = {0xFEDCBA98, 0x7654, 0x3210, {0x0F, 0x1E, 0x2D, 0x3C, 0x4B, 0x5A, 0x69, 0x78}};
    return g_sequentialAnswer;
}

} // namespace

TEST(ItemID, IdentifiersUniqueToThisMachineAreStillIdentifiers)
{
    HMODULE kestrel = GetModuleHandleA("Kestrel.dll");
    ImportPatch create(kestrel, "rpcrt4.dll", "UuidCreate", reinterpret_cast<void*>(&FakeCreate));
    ImportPatch sequential(kestrel, "rpcrt4.dll", "UuidCreateSequential", reinterpret_cast<void*>(&FakeSequential));
    ASSERT_TRUE(create.Applied());
    ASSERT_TRUE(sequential.Applied());
    struct Row { RPC_STATUS create; RPC_STATUS sequential; const char* text; } rows[] = {
        {RPC_S_OK, RPC_S_OK, "0123abcd-4567-89ef-a1b2-c3d4e5f60718"},
        // No network adapter: unique on this machine only.
        {RPC_S_UUID_LOCAL_ONLY, RPC_S_OK, "0123abcd-4567-89ef-a1b2-c3d4e5f60718"},
        {RPC_S_UUID_NO_ADDRESS, RPC_S_UUID_LOCAL_ONLY, "fedcba98-7654-3210-0f1e-2d3c4b5a6978"},
        {RPC_S_UUID_NO_ADDRESS, RPC_S_UUID_NO_ADDRESS, ""},
    };
    for (const Row& r : rows) {
        g_createAnswer = r.create;
        g_sequentialAnswer = r.sequential;
        QuiItemID id("old");
        id.generateUnique();
        EXPECT_STREQ(r.text, id.toString()) << r.create << " then " << r.sequential;
    }
}
#endif
