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
