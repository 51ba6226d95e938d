#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DDEArgs.h"

namespace {

struct PackCase {
    const char* format;
    std::vector<DDEArg> args;
    const char* expected;
};

TEST(DDEArgs, PacksEachCodeAndSeparatesWithOneComma)
{
    const PackCase cases[] = {
        {"DW,DW", {DDEArg::Number(4294967295u), DDEArg::Number(0)}, "4294967295,0"},
        {"CS", {DDEArg::Text("WWW_ListWindows")}, "WWW_ListWindows"},
        {"QCS", {DDEArg::Text("http://a/?q=\"x\"")}, "\"http://a/?q=\\\"x\\\"\""},
        {"QCS", {DDEArg::Text("")}, "\"\""},
        // Backslashes before a quote, the closing one too, are doubled; others stay single.
        {"QCS,DW", {DDEArg::Text("C:\\dir\\"), DDEArg::Number(7)}, "\"C:\\dir\\\\\",7"},
        {"QCS", {DDEArg::Text("a\\\"b")}, "\"a\\\\\\\"b\""},
        {"BL", {DDEArg::Number(1)}, "TRUE"},
        {"BL", {DDEArg::Number(0)}, "FALSE"},
        {"QCS,QCS,DW,DW,QCS,QCS,CS",
         {DDEArg::OptionalText("http://x/"), DDEArg::OptionalText(""), DDEArg::Number(0xFFFFFFFF),
          DDEArg::Number(4), DDEArg::OptionalText(""), DDEArg::OptionalText(nullptr), DDEArg::OptionalText("")},
         "\"http://x/\",,4294967295,4,,,"},
        {"DW,DW,DW,DW,DW,DW",
         {DDEArg::Number(7), DDEArg::Number(0), DDEArg::Absent(), DDEArg::Absent(), DDEArg::Absent(),
          DDEArg::Absent()},
         "7,0,,,,"},
        // An unknown code ends the text where it stands.
        {"DW,XX,DW", {DDEArg::Number(1), DDEArg::Number(2), DDEArg::Number(3)}, "1"},
        {"XX", {DDEArg::Number(1)}, ""},
        // Arguments missing at the end give empty fields.
        {"DW,QCS", {DDEArg::Number(5)}, "5,"},
    };
    for (const PackCase& c : cases)
        EXPECT_STREQ(c.expected, DDEPackArgs(c.format, c.args)) << c.format;
}

struct UnpackCase {
    const char* format;
    const char* item;
    std::vector<std::string> expected;  // numbers in decimal
};

std::vector<std::string> Values(const char* format, const char* item)
{
    std::vector<std::string> values;
    CString codes(format);
    std::vector<DDEArg> args = DDEUnpackArgs(format, item);
    int start = 0;
    for (const DDEArg& arg : args) {
        int comma = codes.Find(',', start);
        CString code = comma < 0 ? codes.Mid(start) : codes.Mid(start, comma - start);
        start = comma + 1;
        if (code == "DW" || code == "BL")
            values.push_back(std::to_string(arg.dwValue));
        else
            values.push_back(static_cast<LPCSTR>(arg.strValue));
    }
    return values;
}

TEST(DDEArgs, UnpacksFieldsQuotedOrNot)
{
    const UnpackCase cases[] = {
        {"QCS,DW,DW", "\"Disk full\",4294967295,16", {"Disk full", "4294967295", "16"}},
        // A comma inside quotes belongs to the field; an escaped quote does not end it.
        {"QCS,QCS", "\"a,b\",\"say \\\"hi\\\"\"", {"a,b", "say \"hi\""}},
        // CS keeps the backslashes QCS removes.
        {"CS", "\"say \\\"hi\\\"\"", {"say \\\"hi\\\""}},
        {"DW,QCS,DW", "12,,", {"12", "", "0"}},
        {"DW,DW", "", {"0", "0"}},
        {"DW,DW", "9", {"9", "0"}},
        {"DW,QCS", nullptr, {"0", ""}},
        {"BL", "true", {"1"}},
        {"BL", "TRUE", {"1"}},
        {"BL", "FALSE", {"0"}},
        {"BL", "yes", {"0"}},
        // A field ending in a backslash keeps the fields after it in place.
        {"QCS,DW,QCS", "\"C:\\dir\\\\\",7,\"x\"", {"C:\\dir\\", "7", "x"}},
        {"QCS,DW", "\"a\\\\\\\"b\",3", {"a\\\"b", "3"}},
        // A quoted field without its closing quote runs to the end.
        {"QCS,DW", "\"open,3", {"open,3", "0"}},
        // Text behind a closing quote is skipped up to the comma.
        {"QCS,DW", "\"a\"junk,3", {"a", "3"}},
        {"QCS,QCS,DW,DW,QCS,QCS,CS", "\"http://x/\",,4294967295,4,,,",
         {"http://x/", "", "4294967295", "4", "", "", ""}},
        {"DW,XX,DW", "1,2,3", {"1"}},
    };
    for (const UnpackCase& c : cases)
        EXPECT_EQ(c.expected, Values(c.format, c.item)) << c.format << " " << (c.item ? c.item : "<null>");
}

TEST(DDEArgs, PackedTextsReadBackUnchanged)
{
    const char* const texts[] = {"plain", "with \"quotes\"", "a,b", "\"", "back\\slash", "",
                                 "C:\\folder\\", "\\", "\\\\\"", "a\\\"b\\,\"c\\\\"};
    for (const char* text : texts) {
        CString item = DDEPackArgs("QCS,DW", {DDEArg::Text(text), DDEArg::Number(42)});
        std::vector<DDEArg> values = DDEUnpackArgs("QCS,DW", item);
        ASSERT_EQ(2u, values.size()) << text;
        EXPECT_STREQ(text, values[0].strValue) << item;
        EXPECT_EQ(42u, values[1].dwValue) << item;
    }
}

}  // namespace
