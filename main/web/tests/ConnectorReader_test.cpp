#include <gtest/gtest.h>

#include <string>

#include "ConnectorText.h"
#include "WebConnector.h"
#include "WebTestSupport.h"

namespace {

typedef CString CWebConnectorSubtype::*Field;

struct ValueCase {
    const char* what;
    std::string element;   // one SUBTYPE element
    Field field;
    std::string expected;
};

const std::string kLong(1500, 'x');

const ValueCase kValues[] = {
    {"quoted", "<SUBTYPE MENUSTRING=\"find it\" >\n</SUBTYPE>", &CWebConnectorSubtype::m_strMenuString, "find it"},
    {"unquoted ends at a blank", "<SUBTYPE MENUSTRING=find it >\n</SUBTYPE>", &CWebConnectorSubtype::m_strMenuString,
     "find"},
    {"white space behind = skipped", "<SUBTYPE MENUSTRING= \t\"x y\" >\n</SUBTYPE>",
     &CWebConnectorSubtype::m_strMenuString, "x y"},
    {"> and line ends do not end an unquoted value",
     "<SUBTYPE MENUSTRING=\"m\" METHOD=GET>\n<HTML>x</HTML>\n</SUBTYPE>", &CWebConnectorSubtype::m_strMethod,
     "GET>\n<HTML>x</HTML>\n</SUBTYPE>"},
    {"quoting ends the value", "<SUBTYPE MENUSTRING=\"m\" METHOD=\"GET\">\n</SUBTYPE>",
     &CWebConnectorSubtype::m_strMethod, "GET"},
    {"a quote met on the way", "<SUBTYPE KEYWORDS=a\"b c\"d >\n</SUBTYPE>", &CWebConnectorSubtype::m_strKeywords,
     "a\"b c\""},
    {"the next quote ends a quoted value", "<SUBTYPE DESCRIPTION=\"say \"\"hi\"\"\" >\n</SUBTYPE>",
     &CWebConnectorSubtype::m_strDescription, "say "},
    {"no closing quote runs to the end", "<SUBTYPE MENUSTRING=\"open >\n</SUBTYPE>",
     &CWebConnectorSubtype::m_strMenuString, "open >\n</SUBTYPE>"},
    {"1500 characters cut to 1023", "<SUBTYPE KEYWORDS=" + kLong + " >\n</SUBTYPE>",
     &CWebConnectorSubtype::m_strKeywords, std::string(1023, 'x')},
    {"a long quoted value cut, then unquoted", "<SUBTYPE KEYWORDS=\"" + kLong + "\" >\n</SUBTYPE>",
     &CWebConnectorSubtype::m_strKeywords, std::string(1022, 'x')},
    {"DESCRIPTION is not found inside LONGDESCRIPTION", "<SUBTYPE LONGDESCRIPTION=\"long\" >\n</SUBTYPE>",
     &CWebConnectorSubtype::m_strDescription, ""},
    {"LONGDESCRIPTION", "<SUBTYPE LONGDESCRIPTION=\"long\" >\n</SUBTYPE>",
     &CWebConnectorSubtype::m_strLongDescription, "long"},
    {"a key inside an earlier value is read there",
     "<SUBTYPE DESCRIPTION=\"see METHOD=POST here\" METHOD=\"GET\" >\n</SUBTYPE>",
     &CWebConnectorSubtype::m_strMethod, "POST"},
    {"a key behind the tag does not count", "<SUBTYPE MENUSTRING=\"m\" >\nKEYWORDS=\"k\"\n</SUBTYPE>",
     &CWebConnectorSubtype::m_strKeywords, ""},
    {"CR LF: the line feed separates", "<SUBTYPE MENUSTRING=\"m\"\r\nKEYWORDS=\"k\" >\r\n</SUBTYPE>",
     &CWebConnectorSubtype::m_strKeywords, "k"},
    {"a carriage return alone does not", "<SUBTYPE MENUSTRING=\"m\"\rKEYWORDS=\"k\" >\r</SUBTYPE>",
     &CWebConnectorSubtype::m_strKeywords, ""},
    {"the HTML block is the action", "<SUBTYPE MENUSTRING=\"m\" >\n<HTML><B>$:fname</B></HTML>\n</SUBTYPE>",
     &CWebConnectorSubtype::m_strAction, "<HTML><B>$:fname</B></HTML>"},
    {"ACTION replaces the HTML block", "<SUBTYPE ACTION=\"http://a.example/?q=$:querystring\" >\n<HTML>x</HTML>\n</SUBTYPE>",
     &CWebConnectorSubtype::m_strAction, "http://a.example/?q=$:querystring"},
    {"an HTML block right behind > is not found", "<SUBTYPE MENUSTRING=\"m\" ><HTML>x</HTML>\n</SUBTYPE>",
     &CWebConnectorSubtype::m_strAction, ""},
    {"the last keys", "<SUBTYPE IMAGE=\"i.bmp\" WEBACTION=\"Hidden\" VERSION=\"1.1\" SERVICETYPE=\"Search\" "
     "SERVICECATEGORY=\"Engines\" PORTAL=\"p\" EXAMPLESTR=\"%s x\" >\n</SUBTYPE>",
     &CWebConnectorSubtype::m_strExampleStr, "%s x"},
};

TEST(ConnectorReader, ReadsKeyValues)
{
    for (const ValueCase& c : kValues) {
        SCOPED_TRACE(c.what);
        CWebConnectorSubtype subtype = OnlySubtype(c.element);
        EXPECT_EQ(c.expected, std::string((subtype.*c.field).GetString()));
    }
}

struct FlagCase {
    const char* attributes;   // the key and its value, or nothing
    UINT flags;
};

const FlagCase kFlags[] = {
    {"ATTRIBUTES=\"default\"", 1},
    {"ATTRIBUTES=\"New,DeFault\"", 1},
    {"ATTRIBUTES=\"nodefaults\"", 1},
    {"ATTRIBUTES=\"new\"", 0},
    {"", 0},
};

TEST(ConnectorReader, MarksDefaultSubtypesWhateverTheCase)
{
    for (const FlagCase& c : kFlags) {
        SCOPED_TRACE(c.attributes);
        CWebConnectorSubtype subtype =
            OnlySubtype(std::string("<SUBTYPE MENUSTRING=\"m\" ") + c.attributes + " >\n</SUBTYPE>");
        EXPECT_EQ(c.flags, subtype.m_nFlags);
    }
}

// Connectors as "name(subtype,subtype)", separated by blanks; a subtype whose
// positions or connector name disagree with where it stands is marked "!".
std::string Summary(const CWebConnectorDefinitionFile& file)
{
    std::string summary;
    const std::vector<CWebConnectorDef>& connectors = file.GetConnectors();
    for (size_t c = 0; c < connectors.size(); ++c) {
        const CWebConnectorDef& def = connectors[c];
        summary += (c ? " " : "") + std::string(def.m_strName) + "(";
        for (size_t s = 0; s < def.m_subtypes.size(); ++s) {
            const CWebConnectorSubtype& subtype = def.m_subtypes[s];
            summary += (s ? "," : "") + std::string(subtype.m_strMenuString);
            if (subtype.m_nSubtypeIndex != static_cast<int>(s) || subtype.m_nConnectorIndex != static_cast<int>(c) ||
                subtype.m_strConnectorName != def.m_strName)
                summary += "!";
        }
        summary += ")";
        if (def.m_strPath != "test.xml")
            summary += "!path";
    }
    return summary;
}

struct ParseCase {
    const char* what;
    const char* text;
    const char* summary;
};

const ParseCase kParses[] = {
    {"two connectors",
     "<CONNECTOR MENUSTRING=\"one\">\n<SUBTYPE MENUSTRING=\"a\" >\n</SUBTYPE>\n<SUBTYPE MENUSTRING=\"b\" >\n</SUBTYPE>\n"
     "</CONNECTOR>\n<CONNECTOR MENUSTRING=\"two\">\n<SUBTYPE MENUSTRING=\"c\" >\n</SUBTYPE>\n</CONNECTOR>\n",
     "one(a,b) two(c)"},
    {"a subtype right behind > is not found",
     "<CONNECTOR MENUSTRING=\"one\"><SUBTYPE MENUSTRING=\"a\" ></SUBTYPE></CONNECTOR>", "one()"},
    {"a connector right behind > is not found", "<X><CONNECTOR MENUSTRING=\"one\">\n</CONNECTOR>", ""},
    {"no </CONNECTOR>: kept without subtypes, and the file ends",
     "<CONNECTOR MENUSTRING=\"one\">\n<SUBTYPE MENUSTRING=\"a\" >\n</SUBTYPE>\n<CONNECTOR MENUSTRING=\"two\">\n",
     "one()"},
    {"no </SUBTYPE>: the subtypes end",
     "<CONNECTOR MENUSTRING=\"one\">\n<SUBTYPE MENUSTRING=\"a\" >\n</SUBTYPE>\n<SUBTYPE MENUSTRING=\"b\" >\n"
     "</CONNECTOR>",
     "one(a)"},
    {"a malformed subtype is dropped",
     "<CONNECTOR MENUSTRING=\"one\">\n<SUBTYPE MENUSTRING >\n</SUBTYPE>\n<SUBTYPE MENUSTRING=\"b\" >\n</SUBTYPE>\n"
     "</CONNECTOR>",
     "one(b)"},
    {"the name is the first MENUSTRING behind the tag",
     "<CONNECTOR>\n<SUBTYPE MENUSTRING=\"a\" >\n</SUBTYPE>\n</CONNECTOR>", "a(a)"},
    {"a MENUSTRING without = gives no name", "<CONNECTOR MENUSTRING>\n</CONNECTOR>", "()"},
    {"the name starts right behind =", "<CONNECTOR MENUSTRING= \"x\">\n</CONNECTOR>", "()"},
    {"a longer tag name is no connector", "<ITEM>\n  <CONNECTOR_ID>Web_find</CONNECTOR_ID>\n</ITEM>\n", ""},
    {"a subtype behind </CONNECTOR> belongs to none",
     "<CONNECTOR MENUSTRING=\"one\">\n</CONNECTOR>\n<SUBTYPE MENUSTRING=\"a\" >\n</SUBTYPE>", "one()"},
};

TEST(ConnectorReader, FindsConnectorsAndSubtypes)
{
    for (const ParseCase& c : kParses) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.summary, Summary(Parsed(c.text)));
    }
}

TEST(ConnectorReader, GivesTheTextBackAsItCame)
{
    std::string text = "<CONNECTOR MENUSTRING=\"one\">\n<SUBTYPE MENUSTRING=\"a\" >\n</SUBTYPE>\nrest</CONNECTOR>";
    std::vector<char> buffer = TextBuffer(text);
    CWebConnectorDefinitionFile file;
    file.ParseConnectors(buffer.data(), "test.xml");
    EXPECT_EQ(text, std::string(buffer.data()));
}

TEST(ConnectorReader, CollectsTheConnectorsOfEveryTextInOneVector)
{
    CWebConnectorDefinitionFile file =
        Parsed("<CONNECTOR MENUSTRING=\"one\">\n<SUBTYPE MENUSTRING=\"a\" >\n</SUBTYPE>\n</CONNECTOR>");
    std::vector<char> second =
        TextBuffer("<CONNECTOR MENUSTRING=\"two\">\n<SUBTYPE MENUSTRING=\"b\" >\n</SUBTYPE>\n</CONNECTOR>");
    file.ParseConnectors(second.data(), "test.xml");
    EXPECT_EQ("one(a) two(b)", Summary(file));
}

TEST(ConnectorReader, ReadsTheFirstSubtypeTagOfAText)
{
    CWebConnectorSubtype subtype;
    ASSERT_TRUE(subtype.ReadTag("<VERSION=1>\n<SUBTYPE MENUSTRING=\"first\" >\n<SUBTYPE MENUSTRING=\"second\" >"));
    EXPECT_STREQ("first", subtype.m_strMenuString);
    EXPECT_FALSE(subtype.ReadTag("<SUBTYPE MENUSTRING=\"no end\""));
    EXPECT_FALSE(subtype.ReadTag("<SUBTYPE MENUSTRING >"));
    EXPECT_FALSE(subtype.ReadTag("no subtype at all"));
    EXPECT_STREQ("first", subtype.m_strMenuString);
}

struct VersionCase {
    double version;
    const char* text;
};

const VersionCase kVersions[] = {
    {1.2, "1.2"}, {2.0, "2"}, {0, "0"}, {12345, "12345"}, {123456, "1.2346e+005"},
    {1.23456, "1.2346"}, {0.00001, "1e-005"}, {-3, "-3"},
};

TEST(ConnectorReader, KeepsVersionsToFiveDigits)
{
    for (const VersionCase& c : kVersions)
        EXPECT_STREQ(c.text, ConnectorText::FormatVersion(c.version)) << c.version;
}

CWebConnectorDef Def(const char* name, const char* path, std::initializer_list<const char*> menus)
{
    CWebConnectorDef def;
    def.m_strName = name;
    def.m_strPath = path;
    for (const char* menu : menus) {
        CWebConnectorSubtype subtype;
        subtype.m_strMenuString = menu;
        def.m_subtypes.push_back(subtype);
    }
    return def;
}

struct SameCase {
    CWebConnectorDef other;
    bool same;
};

TEST(CWebConnectorDef, IsTheSameByNameFileAndSubtypesAsFarAsBothGo)
{
    const CWebConnectorDef def = Def("Maps", "c:\\q\\maps.xml", {"map of", "route to"});
    const SameCase cases[] = {
        {Def("Maps", "c:\\q\\maps.xml", {"map of", "route to"}), true},
        {Def("Maps", "c:\\q\\maps.xml", {"map of"}), true},
        {Def("Maps", "c:\\q\\maps.xml", {}), true},
        {Def("Maps", "c:\\q\\maps.xml", {"map of", "route to", "more"}), true},
        {Def("Maps", "c:\\q\\maps.xml", {"map of", "Route to"}), false},
        {Def("maps", "c:\\q\\maps.xml", {"map of", "route to"}), false},
        {Def("Maps", "c:\\q\\Disabled\\maps.xml", {"map of", "route to"}), false},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        EXPECT_EQ(cases[i].same, def.IsSameAs(cases[i].other)) << "row " << i;
        EXPECT_EQ(cases[i].same, cases[i].other.IsSameAs(def)) << "row " << i;
    }
}

} // namespace
