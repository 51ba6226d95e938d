#include <gtest/gtest.h>

#include <stdexcept>
#include <cstring>
#include <string>

#include "quifw/String.h"

namespace {

struct SliceCase {
    const char* text;
    int first;
    int count;
    const char* mid;
    const char* left;
    const char* right;
};

// Positions and counts outside the text are clamped, never read past it.
const SliceCase kSlices[] = {
    {"abcdef", 2, 3, "cde", "ab", "def"},
    {"abcdef", 0, 6, "abcdef", "", "abcdef"},
    {"abcdef", -2, 3, "abc", "", "def"},
    {"abcdef", 4, 10, "ef", "abcd", "abcdef"},
    {"abcdef", 9, 2, "", "abcdef", "ef"},
    {"abcdef", 3, -1, "", "abc", ""},
    {"", 0, 1, "", "", ""},
};

TEST(CString, SlicesClampToTheText)
{
    for (const SliceCase& c : kSlices) {
        SCOPED_TRACE(std::string(c.text) + " @" + std::to_string(c.first) + "," + std::to_string(c.count));
        CString text(c.text);
        EXPECT_STREQ(c.mid, text.Mid(c.first, c.count));
        EXPECT_STREQ(c.left, text.Left(c.first));
        EXPECT_STREQ(c.right, text.Right(c.count));
    }
}

struct TrimCase {
    const char* text;
    const char* targets;   // null: white space
    const char* left;
    const char* right;
};

const TrimCase kTrims[] = {
    {"  \t a b \r\n", nullptr, "a b \r\n", "  \t a b"},
    {"   ", nullptr, "", ""},
    {"", nullptr, "", ""},
    {"xxaxx", "x", "axx", "xxa"},
    {",;a;,", ",;", "a;,", ",;a"},
    {"abc", "", "abc", "abc"},
};

TEST(CString, TrimsOnlyTheGivenCharactersAtItsEnds)
{
    for (const TrimCase& c : kTrims) {
        SCOPED_TRACE(c.text);
        CString left(c.text), right(c.text);
        if (c.targets) {
            left.TrimLeft(c.targets);
            right.TrimRight(c.targets);
        } else {
            left.TrimLeft();
            right.TrimRight();
        }
        EXPECT_STREQ(c.left, left);
        EXPECT_STREQ(c.right, right);
    }
}

struct FindCase {
    const char* text;
    const char* sub;
    int start;
    int expected;
};

const FindCase kFinds[] = {
    {"a,b,c", ",", 0, 1},
    {"a,b,c", ",", 2, 3},
    {"a,b,c", ",", 4, -1},
    {"a,b,c", ",", -1, -1},
    {"a,b,c", ",", 99, -1},
    {"abcabc", "bc", 2, 4},
    {"abc", "", 3, 3},
    {"", "a", 0, -1},
};

TEST(CString, FindsFromAStartAndSaysMinusOneWhenAbsent)
{
    for (const FindCase& c : kFinds) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.sub + " from " + std::to_string(c.start));
        EXPECT_EQ(c.expected, CString(c.text).Find(c.sub, c.start));
    }
    EXPECT_EQ(3, CString("a,b;c").FindOneOf(";|"));
    EXPECT_EQ(-1, CString("abc").FindOneOf(""));
    EXPECT_EQ(3, CString("a.b.c").ReverseFind('.'));
    EXPECT_EQ(-1, CString("abc").ReverseFind('.'));
    EXPECT_EQ(-1, CString("abc").Find('c', 3));
}

TEST(CString, FormatsTextsOfAnyLength)
{
    CString s;
    s.Format("%s%.4d.dll", "QuiRes", 1033);
    EXPECT_STREQ("QuiRes1033.dll", s);
    s.Format("%.4d", 7);
    EXPECT_STREQ("0007", s);
    std::string longText(5000, 'x');
    s.Format("<%s>", longText.c_str());
    EXPECT_EQ(5002, s.GetLength());
    EXPECT_EQ('>', s[5001]);
    // Formatting into itself reads the old text before writing the new one.
    s = "abc";
    s.Format("%s-%s", static_cast<LPCTSTR>(CString(s)), "d");
    EXPECT_STREQ("abc-d", s);
}

TEST(CString, ComparesBytewiseOrFoldingAsciiCase)
{
    EXPECT_EQ(0, CString("RegServer").CompareNoCase("regserver"));
    EXPECT_GT(0, CString("Apple").CompareNoCase("banana"));
    EXPECT_LT(0, CString("b").CompareNoCase("A"));
    EXPECT_GT(0, CString("ab").CompareNoCase("abc"));
    EXPECT_GT(0, CString("B").Compare("a"));
    EXPECT_LT(0, CString("\xE9").Compare("z"));   // bytes above 0x7F sort after ASCII
    EXPECT_TRUE(CString("a") == "a");
    EXPECT_TRUE("a" != CString("b"));
    EXPECT_TRUE(CString("a") < CString("b"));
    EXPECT_EQ(0, CString(static_cast<LPCTSTR>(nullptr)).Compare(""));
}

TEST(CString, ReplacesAndRemovesEveryOccurrence)
{
    CString s("a\nb\n\nc");
    EXPECT_EQ(3, s.Remove('\n'));
    EXPECT_STREQ("abc", s);
    s = "aaa";
    EXPECT_EQ(3, s.Replace("a", "aa"));   // the new text is not searched again
    EXPECT_STREQ("aaaaaa", s);
    EXPECT_EQ(0, s.Replace("", "x"));
    s = "x.y.z";
    EXPECT_EQ(2, s.Replace('.', '/'));
    EXPECT_STREQ("x/y/z", s);
    EXPECT_EQ(6, s.Insert(99, "!"));
    EXPECT_EQ(5, s.Delete(0));
    EXPECT_STREQ("/y/z!", s);
}

TEST(CString, BufferAccessKeepsTheTextUpToItsTerminator)
{
    CString s("abc");
    char* buffer = s.GetBuffer(10);
    strcpy(buffer, "hello");
    s.ReleaseBuffer();
    EXPECT_STREQ("hello", s);
    EXPECT_EQ(5, s.GetLength());
    buffer = s.GetBufferSetLength(3);
    buffer[0] = 'X';
    s.ReleaseBuffer(2);
    EXPECT_STREQ("Xe", s);
    // Writing the whole buffer without a terminator still ends at its size.
    buffer = s.GetBufferSetLength(4);
    memset(buffer, 'z', 4);
    s.ReleaseBuffer(-1);
    EXPECT_STREQ("zzzz", s);
    s.ReleaseBuffer(99);
    EXPECT_EQ(4, s.GetLength());
}

TEST(CString, CharacterAccessOutsideTheTextIsHarmless)
{
    CString s("ab");
    EXPECT_EQ(0, s.GetAt(2));
    EXPECT_EQ(0, s.GetAt(-1));
    s.SetAt(5, 'x');
    s.SetAt(1, 'c');
    EXPECT_STREQ("ac", s);
}

TEST(CStringArray, KeepsOrderAndRefusesIndexesOutside)
{
    CStringArray a;
    EXPECT_EQ(0, a.Add("one"));
    EXPECT_EQ(1, a.Add(CString("three")));
    a.InsertAt(1, "two");
    a.InsertAt(5, "six");                 // past the end: the gap is filled with empty texts
    ASSERT_EQ(6, a.GetSize());
    EXPECT_STREQ("two", a[1]);
    EXPECT_STREQ("", a[3]);
    EXPECT_STREQ("six", a.GetAt(5));
    a.RemoveAt(3, 2);
    EXPECT_EQ(4, a.GetSize());
    EXPECT_EQ(3, a.GetUpperBound());
    EXPECT_THROW(a.GetAt(4), std::out_of_range);
    EXPECT_THROW(a.GetAt(-1), std::out_of_range);
    EXPECT_THROW(a.RemoveAt(3, 2), std::out_of_range);
    EXPECT_EQ(4, a.Append(a));
    EXPECT_EQ(8, a.GetSize());
    EXPECT_STREQ("six", a[7]);
}

} // namespace
