// The conversion of the keyword files into the item file, on real files.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Kestrel.h"
#include "KeywordConvert.h"
#include "KeywordFile.h"

namespace {

const std::string kTodo = wren::kTodoCategoryType;
const std::string kMemo = wren::kMemoCategoryType;
const std::string kContact = wren::kContactType;

std::string Scratch(const char* suffix)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("wren-") + test->name() + suffix;
}

void Write(const std::string& path, const std::string& text)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f) << path;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

// One item of the written file: "type|name|keyword,keyword" and its id.
struct Item {
    std::string type, id, name, keywords;
    std::string Summary() const { return type.substr(0, 8) + "|" + name + "|" + keywords; }
};

std::vector<Item> ReadItems(const std::string& path)
{
    std::vector<Item> items;
    QuiXMLFileIn in;
    if (!in.openFile(path.c_str()))
        return items;
    std::unique_ptr<QuiTaggedField> root(in.read());
    if (!root)
        return items;
    auto value = [](QuiTaggedField* record, const char* tag) {
        QuiTaggedField* field = record->subfieldsGet(tag);
        return std::string(field ? field->getValue() : "");
    };
    root->subfieldsFetchBegin("ITEM");
    std::vector<QuiTaggedField*> records;
    while (QuiTaggedField* record = root->subfieldsFetchNext())
        records.push_back(record);
    root->subfieldsFetchEnd();
    for (QuiTaggedField* record : records) {
        Item item{value(record, "TYPE"), value(record, "ID"), value(record, "NAME"), ""};
        if (QuiTaggedField* keywords = record->subfieldsGet("KEYWORDS")) {
            keywords->subfieldsFetchBegin("KEYWORD");
            while (QuiTaggedField* keyword = keywords->subfieldsFetchNext())
                item.keywords += (item.keywords.empty() ? "" : ",") + std::string(keyword->getValue());
            keywords->subfieldsFetchEnd();
        }
        items.push_back(item);
    }
    return items;
}

std::multiset<std::string> Summaries(const std::vector<Item>& items)
{
    std::multiset<std::string> out;
    for (const Item& item : items)
        out.insert(item.Summary());
    return out;
}

class KeywordImport : public ::testing::Test {
protected:
    void TearDown() override
    {
        std::remove(input.c_str());
        std::remove(output.c_str());
    }
    int Convert(const std::string& keywords)
    {
        Write(input, keywords);
        return wren::Convert(input.c_str(), output.c_str());
    }
    std::string input = Scratch(".zel");
    std::string output = Scratch(".xml");
};

TEST(KeywordFileType, FirstBytesDecide)
{
    struct Row {
        const char* text;
        int type;
    } rows[] = {
        {"<ITEMS>\n</ITEMS>\n", wren::kFileItems},
        {"a,1,b,0,1,0,0,0\n<ITEMS>", wren::kFileItems},
        {"[INDEX]\nx=1\n", wren::kFileIndex},
        {"bank,1,Finance,0,1,0,0,0\n", wren::kFileEightColumn},
        {"bank,1,Finance,0,1,0,0,0\r\nnext", wren::kFileEightColumn},
        {"\"a,b\",1,\"c,d\",0,1,0,0,0\n", wren::kFileEightColumn},
        {"bank,1,Finance,0,1,0\n", wren::kFileUnknown},
        {"bank,1,Finance,0,1\n", wren::kFileUnknown},
        {"a,b,c,d,e,f,g,h,i\n", wren::kFileUnknown},
        {"bank,Finance,,\n", wren::kFileShort},
        {"bank,Finance\n", wren::kFileShort},
        {"\n", wren::kFileShort},
        {"", wren::kFileShort},
        // An empty last field is not counted.
        {"a,b,c,d,e,f,g,h,\n", wren::kFileEightColumn},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.type, wren::FileTypeOfText(row.text)) << row.text;
}

TEST(KeywordFileType, MissingFileIsUnknown)
{
    EXPECT_EQ(wren::kFileUnknown, wren::FileTypeOf("wren-no-such-file.zel"));
    EXPECT_EQ(wren::kFileUnknown, wren::FileTypeOf(nullptr));
}

TEST(KeywordRecords, EightColumnFields)
{
    struct Row {
        const char* line;
        const char* keyword;
        int kind;
        const char* name;
        bool used;
    } rows[] = {
        {"bank,1,Finance,0,1,0,0,0", "bank", 1, "Finance", true},
        {"\"say \"\"hi\"\"\",4097,\"Smith, Jo\",0,1,0,0,0", "say \"hi\"", 4097, "Smith, Jo", true},
        {"bank,1,Finance,0,0,0,0,0", "bank", 1, "Finance", false},
        {"bank,1,Finance,0,1,0,0,128", "bank", 1, "Finance", false},
        {"bank,1,Finance,0,1,0,0,127", "bank", 1, "Finance", true},
        // The deleted bit counts only for a record in use.
        {"bank,1,Finance,0,0,0,0,0", "bank", 1, "Finance", false},
        {"bank", "bank", wren::kKindNone, "", true},
        {"bank,2", "bank", 2, "", true},
    };
    for (const Row& row : rows) {
        wren::KeywordRecord record = wren::ParseEightColumn(row.line);
        SCOPED_TRACE(row.line);
        EXPECT_EQ(row.keyword, record.keyword);
        EXPECT_EQ(row.kind, record.kind);
        EXPECT_EQ(row.name, record.name);
        EXPECT_EQ(row.used, record.used);
    }
}

TEST(KeywordRecords, ShortFields)
{
    struct Row {
        const char* line;
        const char* keyword;
        int kind;
        const char* name;
    } rows[] = {
        {"bank,Finance,Home,Jo", "bank", 1, "Finance"},
        {"bank,,Home,Jo", "bank", 2, "Home"},
        {"bank,,,Jo", "bank", 0, "Jo"},
        {"bank,,,", "bank", wren::kKindNone, ""},
        {"bank", "bank", wren::kKindNone, ""},
        {",Finance,,", "", wren::kKindNone, ""},
        // Taken as written: no unquoting in this form.
        {"\"bank\",\"Finance\"", "\"bank\"", 1, "\"Finance\""},
    };
    for (const Row& row : rows) {
        wren::KeywordRecord record = wren::ParseShort(row.line);
        SCOPED_TRACE(row.line);
        EXPECT_EQ(row.keyword, record.keyword);
        EXPECT_EQ(row.kind, record.kind);
        EXPECT_EQ(row.name, record.name);
    }
}

// Far more fields than a line of the file can hold must not write past the
// field array.
TEST(KeywordRecords, LineOfCommasStaysInBounds)
{
    std::string commas(2000, ',');
    EXPECT_EQ(wren::kFileUnknown, wren::FileTypeOfText("a" + commas));
    EXPECT_EQ("", wren::ParseShort("a" + commas).name);
    EXPECT_EQ(0, wren::ParseEightColumn(commas).kind);
}

TEST_F(KeywordImport, EightColumnFileGivesOneItemPerNameAndKind)
{
    ASSERT_EQ(wren::kConverted, Convert("bank,1,Finance,0,1,0,0,0\n"
                                        "tax,1,Finance,0,1,0,0,0\n"
                                        "gym,1,Health,0,1,0,0,0\n"
                                        "diary,2,Finance,0,1,0,0,0\n"
                                        "jo,4097,Jo Smith,0,1,0,0,0\n"
                                        "odd,3,Nothing,0,1,0,0,0\n"));
    std::multiset<std::string> expected = {
        "55861570|Finance|bank,tax", "55861570|Health|gym", "55861571|Finance|diary", "55861572|Jo Smith|jo"};
    EXPECT_EQ(expected, Summaries(ReadItems(output)));
}

TEST_F(KeywordImport, EightColumnNamesMergeIgnoringCase)
{
    ASSERT_EQ(wren::kConverted, Convert("bank,1,Finance,0,1,0,0,0\n"
                                        "tax,1,FINANCE,0,1,0,0,0\n"
                                        "BANK,1,finance,0,1,0,0,0\n"));
    std::multiset<std::string> expected = {"55861570|finance|bank,tax"};
    EXPECT_EQ(expected, Summaries(ReadItems(output)));
}

TEST_F(KeywordImport, KeywordEqualToTheNameOnlyAsTheFirst)
{
    ASSERT_EQ(wren::kConverted, Convert("finance,1,Finance,0,1,0,0,0\n"
                                        "Home,1,Home,0,1,0,0,0\n"
                                        "house,1,Home,0,1,0,0,0\n"
                                        "HOME,1,Home,0,1,0,0,0\n"));
    std::multiset<std::string> expected = {"55861570|Finance|finance", "55861570|Home|Home,house"};
    EXPECT_EQ(expected, Summaries(ReadItems(output)));
}

TEST_F(KeywordImport, DeletedAndUnusedRecordsAreLeftOut)
{
    ASSERT_EQ(wren::kConverted, Convert("bank,1,Finance,0,1,0,0,0\n"
                                        "old,1,Finance,0,1,0,0,128\n"
                                        "spare,1,Finance,0,0,0,0,0\n"
                                        "gone,1,Gone,0,1,0,0,129\n"));
    std::multiset<std::string> expected = {"55861570|Finance|bank"};
    EXPECT_EQ(expected, Summaries(ReadItems(output)));
}

TEST_F(KeywordImport, ShortFileGivesOneItemPerKindNamedAfterItsFirstLine)
{
    ASSERT_EQ(wren::kConverted, Convert("bank,Finance,,\n"
                                        "gym,Health,,\n"
                                        "tax,Finance,,\n"
                                        "paint,,Home,\n"
                                        "jo,,,Jo Smith\n"
                                        "al,,,Al Jones\n"
                                        ",Finance,,\n"));
    std::vector<Item> items = ReadItems(output);
    std::multiset<std::string> expected = {"55861571|Finance|bank,gym,tax", "55861570|Home|paint",
                                           "55861572|Jo Smith|jo,al"};
    EXPECT_EQ(expected, Summaries(items));
    for (const Item& item : items)
        EXPECT_EQ(item.name, item.id);
}

// A name already used as the identifier of another kind's item keeps that
// item's keywords.
TEST_F(KeywordImport, ShortNameHeldByAnotherItemGetsItsOwnIdentifier)
{
    ASSERT_EQ(wren::kConverted, Convert("bank,Work,,\n"
                                        "boss,,,Work\n"));
    std::vector<Item> items = ReadItems(output);
    std::multiset<std::string> expected = {"55861571|Work|bank", "55861572|Work|boss"};
    EXPECT_EQ(expected, Summaries(items));
    ASSERT_EQ(2u, items.size());
    EXPECT_NE(items[0].id, items[1].id);
}

// An identifier the item file already gives another item (a web action's,
// say) stays that item's, with its keywords; the imported category gets a
// fresh one.
TEST_F(KeywordImport, ShortNameHeldAsTheIdentifierOfAHeldItemLeavesThatItemAlone)
{
    Write(output, "<ITEMS>\n<ITEM>\n<ID>Work</ID>\n<TYPE>60D56130-EC76-11d2-AC97-00A0247B3DBA</TYPE>\n"
                  "<NAME>Open work</NAME>\n<FLAGS>0x0001</FLAGS>\n"
                  "<KEYWORDS><KEYWORD>office</KEYWORD></KEYWORDS>\n</ITEM>\n</ITEMS>\n");
    ASSERT_EQ(wren::kConverted, Convert("bank,Work,,\n"));
    std::vector<Item> items = ReadItems(output);
    std::multiset<std::string> expected = {"60D56130|Open work|office", "55861571|Work|bank"};
    EXPECT_EQ(expected, Summaries(items));
    ASSERT_EQ(2u, items.size());
    for (const Item& item : items)
        EXPECT_EQ(item.type == kMemo, item.id != "Work") << item.name;
}

TEST_F(KeywordImport, UnknownFilesConvertNothing)
{
    Write(output, "<ITEMS>\n</ITEMS>\n");
    const char* files[] = {"bank,1,Finance,0,1,0\n", "[INDEX]\n", "<ITEMS>\n</ITEMS>\n"};
    for (const char* file : files) {
        EXPECT_EQ(wren::kInputNotConvertible, Convert(file)) << file;
        EXPECT_TRUE(ReadItems(output).empty());
    }
    std::remove(input.c_str());
    EXPECT_EQ(wren::kInputNotConvertible, wren::Convert(input.c_str(), output.c_str()));
    EXPECT_EQ(wren::kBadArguments, wren::Convert(nullptr, output.c_str()));
    EXPECT_EQ(wren::kBadArguments, wren::Convert(input.c_str(), nullptr));
}

// The item file holds far more than keywords: every item, with every field
// it has, comes back out.
TEST_F(KeywordImport, ItemsOfOtherTypesSurviveWithAllTheirFields)
{
    const std::string held =
        "<ITEMS>\n"
        "    <ITEM>\n"
        "        <CONNECTOR>Maps_Find</CONNECTOR>\n"
        "        <FLAGS>0x0004</FLAGS>\n"
        "        <ID>Maps_Find</ID>\n"
        "        <KEYWORDS>\n"
        "            <KEYWORD>map</KEYWORD>\n"
        "        </KEYWORDS>\n"
        "        <NAME>Find on map</NAME>\n"
        "        <TYPE>60D56130-EC76-11d2-AC97-00A0247B3DBA</TYPE>\n"
        "    </ITEM>\n"
        "    <ITEM>\n"
        "        <FLAGS>0x0000</FLAGS>\n"
        "        <ID>alias-1</ID>\n"
        "        <KEYWORDS>\n"
        "            <KEYWORD>asap</KEYWORD>\n"
        "        </KEYWORDS>\n"
        "        <NAME>as soon as possible</NAME>\n"
        "        <TYPE>A794C600-EEA6-11d2-A0E8-00104B9522AA</TYPE>\n"
        "    </ITEM>\n"
        "    <ITEM>\n"
        "        <FLAGS>0x0003</FLAGS>\n"
        "        <ID>old-finance</ID>\n"
        "        <KEYWORDS>\n"
        "            <KEYWORD>money</KEYWORD>\n"
        "        </KEYWORDS>\n"
        "        <NAME>Finance</NAME>\n"
        "        <TYPE>55861570-ea6a-11d2-a0e6-00104b9522aa</TYPE>\n"
        "    </ITEM>\n"
        "</ITEMS>\n";
    Write(output, held);
    ASSERT_EQ(wren::kConverted, Convert("bank,1,finance,0,1,0,0,0\n"));
    std::string written;
    if (FILE* f = std::fopen(output.c_str(), "rb")) {
        char buffer[4096];
        written.assign(buffer, std::fread(buffer, 1, sizeof buffer, f));
        std::fclose(f);
    }
    EXPECT_NE(std::string::npos, written.find("        <CONNECTOR>Maps_Find</CONNECTOR>")) << written;
    std::multiset<std::string> expected = {"60D56130|Find on map|map", "A794C600|as soon as possible|asap",
                                           "55861570|finance|money,bank"};
    EXPECT_EQ(expected, Summaries(ReadItems(output)));
}

TEST_F(KeywordImport, AnOutputThatIsNoItemFileIsLeftAlone)
{
    const std::string broken = "<ITEMS>\n    <ITEM>\n";
    Write(output, broken);
    EXPECT_EQ(wren::kOutputUnreadable, Convert("bank,1,Finance,0,1,0,0,0\n"));
    std::string kept;
    if (FILE* f = std::fopen(output.c_str(), "rb")) {
        char buffer[256];
        kept.assign(buffer, std::fread(buffer, 1, sizeof buffer, f));
        std::fclose(f);
    }
    EXPECT_EQ(broken, kept);
}

// A second import of the same file adds nothing, and items made in two runs
// never share an identifier.
TEST_F(KeywordImport, IdentifiersStayUniqueOverTwoRuns)
{
    ASSERT_EQ(wren::kConverted, Convert("bank,1,Finance,0,1,0,0,0\n"
                                        "jo,4097,Jo Smith,0,1,0,0,0\n"));
    std::vector<Item> first = ReadItems(output);
    ASSERT_EQ(wren::kConverted, Convert("bank,1,Finance,0,1,0,0,0\n"
                                        "gym,1,Health,0,1,0,0,0\n"
                                        "ann,4097,Ann Lee,0,1,0,0,0\n"));
    std::vector<Item> second = ReadItems(output);
    std::multiset<std::string> expected = {"55861570|Finance|bank", "55861572|Jo Smith|jo",
                                           "55861570|Health|gym", "55861572|Ann Lee|ann"};
    EXPECT_EQ(expected, Summaries(second));
    std::set<std::string> ids;
    for (const Item& item : second) {
        EXPECT_EQ(36u, item.id.size()) << item.id;
        EXPECT_TRUE(ids.insert(item.id).second) << item.id;
    }
    for (const Item& before : first)
        EXPECT_TRUE(ids.count(before.id)) << before.id;
}

} // namespace
