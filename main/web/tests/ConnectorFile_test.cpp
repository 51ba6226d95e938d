#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "ConnectorFile.h"
#include "KeyText.h"
#include "WebConnector.h"
#include "WebTestSupport.h"

namespace {

const std::string kPlain =
    "<VERSION=1.5>\n<CONNECTOR MENUSTRING=\"Web Search\">\n"
    "<SUBTYPE MENUSTRING=\"search the web\" KEYWORDS=\"search,find\" METHOD=\"GET\"\n"
    "  ACTION=\"http://search.example.com/?q=$:querystring\" >\n</SUBTYPE>\n</CONNECTOR>\n";

std::string KeyTextScrambled(const std::string& plain)
{
    std::istringstream in(plain);
    std::ostringstream out;
    KeyTextStreamEncode(in, out, kConnectorPassword);
    return out.str();
}

std::string Mirrored(const std::string& plain)
{
    std::vector<char> out(plain.size() + 1);
    CSimpleEncrypt mirror;
    EXPECT_EQ(0, mirror.Decrypt(plain.c_str(), out.data()));
    return std::string(out.data());
}

// What ReadConnectorText makes of the bytes; "-" when it refuses them.
std::string Read(const std::string& bytes)
{
    char* text = reinterpret_cast<char*>(1);
    if (!ReadConnectorText(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &text)) {
        EXPECT_EQ(nullptr, text);
        return "-";
    }
    std::string result(text);
    delete[] text;
    return result;
}

TEST(CSimpleEncrypt, MirrorsTheCharactersBetweenZeroAndZed)
{
    EXPECT_EQ("0y1z n", Mirrored("01yz <"));
    EXPECT_EQ("\x80\xff\t\n\"", Mirrored("\x80\xff\t\n\""));
    EXPECT_EQ(kPlain, Mirrored(Mirrored(kPlain)));
}

TEST(KeyTextStream, StartsWhereThePasswordsFirstCharacterSays)
{
    const struct {
        const char* password;
        size_t start;
    } starts[] = {{kConnectorPassword, 'M'}, {"", 66}, {nullptr, 66}, {"\xff", 255}};
    const std::string zeros(5000, '\0');
    for (const auto& s : starts) {
        std::istringstream in(zeros);
        std::ostringstream out;
        KeyTextStreamEncode(in, out, s.password);
        std::string shifted = out.str();
        ASSERT_EQ(zeros.size(), shifted.size());
        // Across the stream's chunks and round the key's end.
        for (size_t i : {size_t(0), size_t(511), size_t(4095), size_t(4096), size_t(4999)})
            EXPECT_EQ(g_quiKeyText[(s.start + i) % QUI_KEY_TEXT_LENGTH], shifted[i]) << s.start << " at " << i;
    }
    std::istringstream back(KeyTextScrambled(kPlain));
    std::ostringstream plain;
    KeyTextStreamDecode(back, plain, kConnectorPassword);
    EXPECT_EQ(kPlain, plain.str());
}

// A text whose key-text form holds a zero byte at the given position.
std::string WithZeroWhenScrambled(size_t at)
{
    std::string text = kPlain;
    unsigned char key = static_cast<unsigned char>(g_quiKeyText[(KeyTextStart(kConnectorPassword) + at) % QUI_KEY_TEXT_LENGTH]);
    text[at] = static_cast<char>(256 - key);
    return text;
}

struct ReadCase {
    const char* what;
    std::string stored;
    std::string read;
};

TEST(ReadConnectorText, TakesPlainAndBothScrambledFormsAndNothingElse)
{
    const std::string itemFile =
        "<ITEMS>\n  <ITEM>\n    <ID>Web Search_search the web</ID>\n    <WAI_CONNECTOR_ID>Web Search_search the "
        "web</WAI_CONNECTOR_ID>\n  </ITEM>\n</ITEMS>\n";
    const std::string lookalike = "<LIST>\n<CONNECTOR_ID MENUSTRING=\"x\">\n</CONNECTOR_ID>\n</LIST>\n";
    const std::string zeroAt = WithZeroWhenScrambled(150);
    const ReadCase cases[] = {
        {"plain", kPlain, kPlain},
        {"key text", KeyTextScrambled(kPlain), kPlain},
        {"mirrored", Mirrored(kPlain), kPlain},
        {"plain even when meant scrambled", Mirrored(kPlain) + "\n" + kPlain, Mirrored(kPlain) + "\n" + kPlain},
        {"key text holding a zero byte", KeyTextScrambled(zeroAt), zeroAt},
        {"an item file", itemFile, "-"},
        {"a longer tag name", lookalike, "-"},
        {"a scrambled longer tag name", KeyTextScrambled(lookalike), "-"},
        {"lower case", "<connector menustring=\"x\">\n</connector>", "-"},
        {"empty", "", "-"},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.read, Read(c.stored));
    }
}

TEST(ReadConnectorFile, ReadsWholeFilesAndRefusesMissingEmptyAndOversizedOnes)
{
    const std::string path = TestFileName(".xml");
    const std::string atBound = kPlain + std::string(kConnectorFileMaxBytes - kPlain.size(), ' ');
    const struct {
        const char* what;
        std::string stored;
        std::string read;
        bool tooLarge;
    } rows[] = {
        {"empty", "", "-", false},
        {"scrambled", KeyTextScrambled(kPlain), kPlain, false},
        {"as large as a connector file may be", atBound, atBound, false},
        {"a byte larger", atBound + " ", "-", true},
        {"scrambled and a byte larger", KeyTextScrambled(atBound + " "), "-", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        WriteBytes(path, row.stored);
        char* text = reinterpret_cast<char*>(1);
        bool tooLarge = !row.tooLarge;
        std::string got = "-";
        if (ReadConnectorFile(path.c_str(), &text, &tooLarge)) {
            got = text;
            delete[] text;
        } else {
            EXPECT_EQ(nullptr, text);
        }
        EXPECT_TRUE(row.read == got) << got.size() << " bytes read of " << row.stored.size();
        EXPECT_EQ(row.tooLarge, tooLarge);
    }
    std::remove(path.c_str());
    char* text = nullptr;
    EXPECT_EQ(0, ReadConnectorFile(path.c_str(), &text));
}

TEST(CWebConnectorDefinitionFile, KeepsTheLastVersionFoundAndCountsEveryFile)
{
    const std::string first = TestFileName("-1.xml"), second = TestFileName("-2.xml"), missing = TestFileName("-3.xml");
    WriteBytes(first, kPlain);
    WriteBytes(second, "<CONNECTOR MENUSTRING=\"Other\">\n<SUBTYPE MENUSTRING=\"o\" >\n</SUBTYPE>\n</CONNECTOR>\n");
    CWebConnectorDefinitionFile file;
    EXPECT_EQ(1, file.Load(first.c_str()));
    EXPECT_STREQ("1.5", file.GetVersion());
    EXPECT_EQ(2, file.Load(second.c_str()));
    EXPECT_EQ(second, std::string(file.GetPath()));
    EXPECT_STREQ("1.5", file.GetVersion()) << "a file without VERSION keeps the one before";
    EXPECT_EQ(0, file.Load(missing.c_str()));
    EXPECT_EQ(second, std::string(file.GetPath()));
    ASSERT_EQ(2u, file.GetConnectors().size());
    EXPECT_EQ(1, file.GetConnectors()[1].m_subtypes[0].m_nConnectorIndex);
    EXPECT_EQ(first, std::string(file.GetConnectors()[0].m_strPath));
    std::remove(first.c_str());
    std::remove(second.c_str());
}

// Every shipped connector file, what it holds, and for the scrambled ones the
// plain text they were made from.
struct ShippedCase {
    const char* file;
    const char* connector;
    const char* subtypes;   // menu strings, each followed by its WEBACTION in brackets
    const char* plain;
};

const ShippedCase kShipped[] = {
    {"webcalendar.xml", "Yahoo", "yahoo calendar[no] yahoo todo list[no] yahoo login[hidden]", nullptr},
    {"mytime.xml", "MyTime", "mytime Calendar[no]", "mytime.plain.xml"},
    {"websearch.xml", "Web Search", "search the web[] search for images[]", nullptr},
    {"maps.xml", "Maps", "map of[] directions to[]", "maps.plain.xml"},
    {"reference.xml", "Reference", "define[] encyclopedia[]", nullptr},
    {"Connectors (Disabled)/shopping.xml", "Shopping", "compare prices[]", nullptr},
    {"Connectors (Disabled)/weather.xml", "Weather", "weather forecast[]", "weather.plain.xml"},
};

TEST(ShippedConnectors, ReadAsTheyWereWritten)
{
    for (const ShippedCase& c : kShipped) {
        SCOPED_TRACE(c.file);
        const std::string path = Fixture(std::string("connectors/") + c.file);
        CWebConnectorDefinitionFile file;
        ASSERT_EQ(1, file.Load(path.c_str()));
        const CWebConnectorDef& def = file.GetConnectors()[0];
        EXPECT_STREQ(c.connector, def.m_strName);
        std::string subtypes;
        for (const CWebConnectorSubtype& subtype : def.m_subtypes) {
            subtypes += (subtypes.empty() ? "" : " ") + std::string(subtype.m_strMenuString) + "[" +
                        std::string(subtype.m_strWebAction) + "]";
            EXPECT_FALSE(subtype.m_strAction.IsEmpty()) << subtype.m_strMenuString;
        }
        EXPECT_EQ(c.subtypes, subtypes);
        if (c.plain) {
            char* text = nullptr;
            ASSERT_EQ(1, ReadConnectorFile(path.c_str(), &text));
            EXPECT_EQ(ReadBytes(Fixture(std::string("data/") + c.plain)), text);
            delete[] text;
        }
    }
}

} // namespace
