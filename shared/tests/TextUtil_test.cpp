#include "TextUtil.h"

#include <gtest/gtest.h>

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
