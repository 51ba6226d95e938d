#include "ContactItem.h"

#include <gtest/gtest.h>
#include <string>

namespace {

CONTACTITEM Filled()
{
    CONTACTITEM c;
    c.SetName("Ann Lee");
    c.SetCategory("Friends");
    c.isPrivate = 1;
    c.recordId = 42;
    c.reserved = 7;
    c.owner = &c;
    for (int i = 0; i < CONTACTITEM::TEXT_COUNT; ++i)
        c.SetText(i, ("text" + std::to_string(i)).c_str());
    for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i) {
        c.Email(i).SetValue(("ann" + std::to_string(i) + "@example.com").c_str());
        c.Email(i).SetLabel("email");
        c.Email(i).shown = i == 2;
    }
    return c;
}

void ExpectSame(const CONTACTITEM& a, const CONTACTITEM& b)
{
    EXPECT_STREQ(a.GetName(), b.GetName());
    EXPECT_STREQ(a.GetCategory(), b.GetCategory());
    EXPECT_EQ(a.isPrivate, b.isPrivate);
    EXPECT_EQ(a.recordId, b.recordId);
    EXPECT_EQ(a.reserved, b.reserved);
    EXPECT_EQ(a.owner, b.owner);
    for (int i = 0; i < CONTACTITEM::TEXT_COUNT; ++i)
        EXPECT_STREQ(a.GetText(i), b.GetText(i)) << "text " << i;
    for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i) {
        EXPECT_STREQ(a.Email(i).GetValue(), b.Email(i).GetValue()) << "entry " << i;
        EXPECT_STREQ(a.Email(i).GetLabel(), b.Email(i).GetLabel()) << "entry " << i;
        EXPECT_EQ(a.Email(i).shown, b.Email(i).shown) << "entry " << i;
    }
}

TEST(CONTACTITEM, StartsEmptyAndKnowsItsOwnSize)
{
    CONTACTITEM c;
    // What the Palm libraries expect: 168 bytes on 32-bit Windows; the same
    // fields in a 64-bit build.
    EXPECT_EQ(sizeof(void*) == 4 ? 168u : 320u, c.size);
    EXPECT_EQ(sizeof(EMAILINFO), c.Email(0).size);
    EXPECT_STREQ("", c.GetName());
    EXPECT_STREQ("", c.GetText(CONTACTITEM::Custom4));
    EXPECT_STREQ("", c.GetText(CONTACTITEM::TEXT_COUNT));
    EXPECT_STREQ("", c.Email(4).GetLabel());
    EXPECT_EQ(nullptr, c.owner);
}

TEST(CONTACTITEM, CopiesEveryPartIntoBuffersOfItsOwn)
{
    CONTACTITEM original = Filled();
    CONTACTITEM constructed(original);
    CONTACTITEM assigned;
    assigned = original;
    ExpectSame(original, constructed);
    ExpectSame(original, assigned);
    EXPECT_NE(original.GetText(CONTACTITEM::City), assigned.GetText(CONTACTITEM::City));
    EXPECT_NE(original.Email(1).GetValue(), assigned.Email(1).GetValue());

    // Changing or destroying the original leaves the copies as they were.
    {
        CONTACTITEM gone = Filled();
        assigned = gone;
        gone.SetText(CONTACTITEM::City, "Elsewhere");
    }
    EXPECT_STREQ("text5", assigned.GetText(CONTACTITEM::City));
}

TEST(CONTACTITEM, TakesItsOwnTextsBack)
{
    CONTACTITEM c = Filled();
    c.SetText(CONTACTITEM::Note, c.GetText(CONTACTITEM::Note));
    c.SetName(c.GetName());
    c.Email(0).SetValue(c.Email(0).GetValue());
    c = c;
    EXPECT_STREQ("text9", c.GetText(CONTACTITEM::Note));
    EXPECT_STREQ("Ann Lee", c.GetName());
    EXPECT_STREQ("ann0@example.com", c.Email(0).GetValue());
    c.SetText(CONTACTITEM::Note, nullptr);
    EXPECT_STREQ("", c.GetText(CONTACTITEM::Note));
}

} // namespace
