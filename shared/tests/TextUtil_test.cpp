#include "TextUtil.h"

#include <gtest/gtest.h>
#include <algorithm>

TEST(TextUtil, FindDelimitedWordNeedsADelimiterOrTheStart)
{
    const char* delims = " \t\n<";
    struct Row {
        const char* text;
        const char* word;
        int at;  // -1: not found
    } rows[] = {
        {"<CONNECTOR x", "<CONNECTOR", 0},
        {"CONNECTOR", "CONNECTOR", 0},
        {"LONGDESCRIPTION=a DESCRIPTION=b", "DESCRIPTION", 18},
        {"LONGDESCRIPTION=a", "DESCRIPTION", -1},
        {"a\tKEY=1", "KEY", 2},
        {"x\nKEY", "KEY", 2},
        {"x\r\nKEY", "KEY", 3},
        {"x\rKEY", "KEY", -1},
        {"><SUBTYPE", "SUBTYPE", 2},
        {"<A>SUBTYPE", "SUBTYPE", -1},
        {"KEYKEY KEY", "KEY", 0},
        {"aKEYKEY KEY", "KEY", 8},
        {"", "KEY", -1},
        {"KEY", "", -1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        const char* found = FindDelimitedWord(r.text, r.word, delims);
        if (r.at < 0)
            EXPECT_EQ(nullptr, found);
        else
            EXPECT_EQ(r.text + r.at, found);
    }
    EXPECT_EQ(nullptr, FindDelimitedWord(nullptr, "a", delims));
    EXPECT_EQ(nullptr, FindDelimitedWord("a", nullptr, delims));
    const char* text = "xa a";
    EXPECT_EQ(text, FindDelimitedWord(text, "xa", nullptr));
    EXPECT_EQ(nullptr, FindDelimitedWord(text, "a", nullptr));
}

TEST(TextUtil, ToolTipIsTheStringsSecondLine)
{
    struct Row {
        const char* text;
        bool twoStates, alternate;
        size_t outLen;
        const char* tip;
    } rows[] = {
        {"Status text\nTip", false, false, 80, "Tip"},
        {"Only a tip", false, false, 80, "Only a tip"},
        {"Status\nNormal\nAlternative", false, false, 80, "Normal\nAlternative"},
        {"Status\nNormal\nAlternative", true, false, 80, "Normal"},
        {"Status\nNormal\nAlternative", true, true, 80, "Alternative"},
        {"Status\nSingle", true, true, 80, "Single"},
        {"Status\n", false, false, 80, ""},
        {"", false, false, 80, ""},
        {nullptr, false, false, 80, ""},
        {"Status\nA rather long tip", false, false, 7, "A rath"},
        {"Status\nNormal\nAlternative", true, true, 4, "Alt"},
        {"Status\nTip", false, false, 1, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text ? r.text : "(null)");
        char out[100];
        std::fill(out, out + sizeof(out), '#');
        EXPECT_TRUE(SelectToolTipText(r.text, r.twoStates, r.alternate, out, r.outLen));
        EXPECT_STREQ(r.tip, out);
        EXPECT_EQ('#', out[r.outLen]) << "written past the buffer";
    }
    char none[1] = {'#'};
    EXPECT_FALSE(SelectToolTipText("a\nb", false, false, none, 0));
    EXPECT_EQ('#', none[0]);
}
