#include "QuiTaggedField.h"
#include "TreeDump.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {
// Builds a field from "tag" or "tag=value" entries in order of adding.
std::unique_ptr<QuiTaggedField> Record(std::vector<std::string> adds)
{
    std::unique_ptr<QuiTaggedField> record(new QuiTaggedField("R", nullptr));
    for (const std::string& add : adds) {
        size_t eq = add.find('=');
        std::string tag = add.substr(0, eq);
        std::string value = eq == std::string::npos ? "" : add.substr(eq + 1);
        record->subfieldsAdd(new QuiTaggedField(tag.c_str(), value.c_str()));
    }
    return record;
}
}

TEST(TaggedField, VisitsInByteOrderThenOrderOfAdding)
{
    struct Row { std::vector<std::string> adds; const char* tag; const char* expected; } rows[] = {
        {{"NAME", "FLAGS", "ID"}, nullptr, "FLAGS,ID,NAME"},
        {{"b", "B", "a", "A"}, nullptr, "A,B,a,b"},
        {{"abc", "ab", "a"}, nullptr, "a,ab,abc"},
        {{"\x80", "z", "\xff", "\x7f"}, nullptr, "z,\x7f,\x80,\xff"},
        {{"K=1", "A", "K=2", "B", "K=3"}, nullptr, "A,B,K1,K2,K3"},
        {{"K=1", "A", "K=2", "B", "K=3"}, "K", "K1,K2,K3"},
        {{"K=1", "A"}, "X", ""},
        {{}, nullptr, ""},
    };
    for (const Row& r : rows) {
        auto record = Record(r.adds);
        EXPECT_EQ(r.expected, FetchTags(record.get(), r.tag)) << (r.tag ? r.tag : "(all)");
        EXPECT_EQ(static_cast<int>(r.adds.size()), record->subfieldsCount());
    }
}

TEST(TaggedField, GetFindsFirstAddedOfExactTag)
{
    auto record = Record({"B=x", "K=1", "A", "K=2", "K=3", "K=4", "KK=5", "k=6"});
    struct Row { const char* tag; const char* value; } rows[] = {
        {"K", "1"}, {"KK", "5"}, {"k", "6"}, {"B", "x"},
    };
    for (const Row& r : rows) {
        QuiTaggedField* found = record->subfieldsGet(r.tag);
        ASSERT_TRUE(found != nullptr) << r.tag;
        EXPECT_STREQ(r.value, found->getValue()) << r.tag;
    }
    for (const char* absent : {"", "Kx", "b", "C"})
        EXPECT_TRUE(record->subfieldsGet(absent) == nullptr) << absent;
}

TEST(TaggedField, CursorRestartsAndIsPerField)
{
    auto record = Record({"A=1", "B=2"});
    QuiTaggedField* child = new QuiTaggedField("C", "3");
    child->subfieldsAdd(new QuiTaggedField("D", "4"));
    child->subfieldsAdd(new QuiTaggedField("E", "5"));
    record->subfieldsAdd(child);

    record->subfieldsFetchBegin(nullptr);
    EXPECT_STREQ("A", record->subfieldsFetchNext()->getTag());
    record->subfieldsFetchBegin(nullptr);
    EXPECT_STREQ("A", record->subfieldsFetchNext()->getTag());
    child->subfieldsFetchBegin(nullptr);
    EXPECT_STREQ("D", child->subfieldsFetchNext()->getTag());
    EXPECT_STREQ("B", record->subfieldsFetchNext()->getTag());
    EXPECT_STREQ("E", child->subfieldsFetchNext()->getTag());
    EXPECT_EQ(child, record->subfieldsFetchNext());
    EXPECT_TRUE(record->subfieldsFetchNext() == nullptr);
    EXPECT_TRUE(record->subfieldsFetchNext() == nullptr);
    EXPECT_TRUE(child->subfieldsFetchNext() == nullptr);
}

TEST(TaggedField, TextsAndTagComparison)
{
    QuiTaggedField field("ID", nullptr);
    EXPECT_STREQ("", field.getValue());
    field.setValue("v");
    EXPECT_STREQ("v", field.getValue());
    field.setValue(nullptr);
    EXPECT_STREQ("", field.getValue());
    struct Row { const char* tag; bool is; } rows[] = {
        {"ID", true}, {"id", false}, {"I", false}, {"IDX", false}, {"", false}, {nullptr, false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.is, field.tagIs(r.tag)) << (r.tag ? r.tag : "(null)");
}

// A cursor left on cleared sub-fields must not reach them.
TEST(TaggedField, ClearHandsBackSubfieldsAndEndsTheCursor)
{
    QuiTaggedField record("R", nullptr);
    std::unique_ptr<QuiTaggedField> a(new QuiTaggedField("A", nullptr));
    std::unique_ptr<QuiTaggedField> b(new QuiTaggedField("B", nullptr));
    record.subfieldsAdd(a.get());
    record.subfieldsAdd(b.get());
    record.subfieldsFetchBegin(nullptr);
    EXPECT_EQ(a.get(), record.subfieldsFetchNext());
    record.subfieldsClear();
    EXPECT_TRUE(record.subfieldsFetchNext() == nullptr);
    EXPECT_EQ(0, record.subfieldsCount());
    EXPECT_TRUE(record.subfieldsGet("B") == nullptr);
    EXPECT_STREQ("B", b->getTag());
}

// Destroying the root frees every level, however deep, without recursing.
// A copy outlives its original whole: tags, values and the order of equal
// tags included.
TEST(TaggedField, CopyIsATreeOfItsOwn)
{
    std::unique_ptr<QuiTaggedField> original(new QuiTaggedField("ITEM", " \n"));
    QuiTaggedField* keywords = new QuiTaggedField("KEYWORDS", nullptr);
    keywords->subfieldsAdd(new QuiTaggedField("KEYWORD", "b"));
    keywords->subfieldsAdd(new QuiTaggedField("KEYWORD", "a"));
    original->subfieldsAdd(keywords);
    original->subfieldsAdd(new QuiTaggedField("ID", "x"));
    const std::string dump = Dump(original.get());
    std::unique_ptr<QuiTaggedField> copy(original->copy());
    original.reset();
    EXPECT_EQ(dump, Dump(copy.get()));
    EXPECT_EQ("ITEM[ \n](ID[x],KEYWORDS[](KEYWORD[b],KEYWORD[a]))", dump);
}

TEST(TaggedField, DestroysWholeTreeEvenVeryDeep)
{
    QuiTaggedField* root = new QuiTaggedField("0", nullptr);
    QuiTaggedField* leaf = root;
    for (int i = 1; i < 200000; ++i) {
        QuiTaggedField* child = new QuiTaggedField("n", "v");
        leaf->subfieldsAdd(child);
        leaf->subfieldsAdd(new QuiTaggedField("side", nullptr));
        leaf = child;
    }
    delete root;
}
