#include "QuiItem.h"
#include "QuiItemList.h"
#include "QuiTaggedField.h"
#include "Contact.h"
#include "TreeDump.h"

#include <gtest/gtest.h>
#include <memory>

namespace {
const char kTypeID[] = "55861570-ea6a-11d2-a0e6-00104b9522aa";

std::unique_ptr<QuiTaggedField> Field(const char* tag, const char* value)
{
    return std::unique_ptr<QuiTaggedField>(new QuiTaggedField(tag, value));
}

// Only the parts of a record given as non-null.
std::unique_ptr<QuiTaggedField> Record(const char* id, const char* type, const char* name)
{
    auto record = Field("ITEM", nullptr);
    if (id)
        record->subfieldsAdd(new QuiTaggedField(QuiItem::kTagID, id));
    if (type)
        record->subfieldsAdd(new QuiTaggedField(QuiItem::kTagType, type));
    if (name)
        record->subfieldsAdd(new QuiTaggedField(QuiItem::kTagDisplayName, name));
    return record;
}
}

TEST(Item, FlagsFieldIsReadOnlyAsLowerCaseHexPrefix)
{
    struct Row { const char* value; int expected; } rows[] = {
        {"0x1F", 31}, {"0x1f", 31}, {"0x1FZ", 31}, {"0x0", 0}, {"0xFFFFFFFF", -1},
        {"0x00000000ff", 255}, {"0xabcDEF", 0xABCDEF},
        {"1F", 7}, {"0X1F", 7}, {"", 7}, {"0x", 7}, {"0xZ", 7}, {" 0x1F", 7},
        {"0x100000000", 7},
    };
    for (const Row& r : rows) {
        QuiItem item;
        item.modifyFlags(7, true);
        auto field = Field("FLAGS", r.value);
        item.setField(field.get());
        EXPECT_EQ(r.expected, item.getFlags()) << '"' << r.value << '"';
    }
}

TEST(Item, SetFieldByTag)
{
    QuiItem item(QuiItemID("own"), nullptr);
    item.setDisplayName("old");
    item.keywordsAdd("k1");
    auto keywords = Field("KEYWORDS", "ignored");
    keywords->subfieldsAdd(new QuiTaggedField("KEYWORD", "b"));
    keywords->subfieldsAdd(new QuiTaggedField("OTHER", "x"));
    keywords->subfieldsAdd(new QuiTaggedField("KEYWORD", "a"));
    keywords->subfieldsAdd(new QuiTaggedField("KEYWORD", "b"));
    item.setField(keywords.get());
    EXPECT_EQ("b,a,b", Keywords(&item));

    auto empty = Field("KEYWORDS", nullptr);
    item.setField(empty.get());
    EXPECT_EQ("", Keywords(&item));

    for (const char* ignored : {"ID", "TYPE", "name", "Keywords"}) {
        auto field = Field(ignored, "changed");
        item.setField(field.get());
    }
    EXPECT_STREQ("own", item.getID().toString());
    EXPECT_STREQ("old", item.getDisplayName());
    auto name = Field("NAME", " New ");
    item.setField(name.get());
    EXPECT_STREQ(" New ", item.getDisplayName());
    EXPECT_FALSE(item.getDirty());
}

TEST(Item, ToRecordLayout)
{
    QuiItemType type(QuiItemID(kTypeID), "Todo Category", nullptr);
    struct Row { int flags; const char* keywords[3]; const char* expected; } rows[] = {
        {0, {}, "FLAGS[0x0000],ID[i],KEYWORDS[],NAME[n],TYPE[" "55861570-ea6a-11d2-a0e6-00104b9522aa" "]"},
        {0x1F, {"k", "k"}, "FLAGS[0x001F],ID[i],KEYWORDS[](KEYWORD[k],KEYWORD[k]),NAME[n],TYPE[" "55861570-ea6a-11d2-a0e6-00104b9522aa" "]"},
        {0x12345, {"b", "a"}, "FLAGS[0x12345],ID[i],KEYWORDS[](KEYWORD[b],KEYWORD[a]),NAME[n],TYPE[" "55861570-ea6a-11d2-a0e6-00104b9522aa" "]"},
        {-1, {}, "FLAGS[0xFFFFFFFF],ID[i],KEYWORDS[],NAME[n],TYPE[" "55861570-ea6a-11d2-a0e6-00104b9522aa" "]"},
    };
    for (const Row& r : rows) {
        QuiItem item(QuiItemID("i"), &type);
        item.setDisplayName("n");
        item.modifyFlags(r.flags, true);
        for (const char* keyword : r.keywords) {
            if (keyword)
                item.keywordsAdd(keyword);
        }
        auto record = Field("ITEM", nullptr);
        item.toRecord(record.get());
        EXPECT_EQ(std::string("ITEM[](") + r.expected + ")", Dump(record.get()));
    }
}

TEST(Item, ToRecordWithoutTypeWritesNoType)
{
    QuiItem item;
    auto record = Field("ITEM", nullptr);
    item.toRecord(record.get());
    EXPECT_EQ("ITEM[](FLAGS[0x0000],ID[],KEYWORDS[],NAME[])", Dump(record.get()));
}

TEST(Item, RecordCompare)
{
    QuiItemType type(QuiItemID("T"), "t", nullptr);
    QuiItem item(QuiItemID("own"), &type);
    item.setDisplayName("Apple");
    struct Row { const char* id; const char* type; const char* name; int expected; } rows[] = {
        {"own", "T", "Apple", 3}, {"own", "other", "x", 3}, {"own", nullptr, nullptr, 3},
        {"other", "T", "Apple", 0}, {"", "T", "Apple", 0}, {"OWN", nullptr, nullptr, 0},
        {nullptr, "T", "Apple", 2}, {nullptr, "T", nullptr, 1}, {nullptr, "T", "apple", 1},
        {nullptr, "T", "Apple ", 1}, {nullptr, "t", "Apple", 0}, {nullptr, nullptr, "Apple", 0},
    };
    for (const Row& r : rows) {
        auto record = Record(r.id, r.type, r.name);
        EXPECT_EQ(r.expected, item.recordCompare(record.get())) << Dump(record.get());
    }
    QuiItem untyped(QuiItemID("own"), nullptr);
    untyped.setDisplayName("Apple");
    auto byType = Record(nullptr, "", "Apple");
    EXPECT_EQ(0, untyped.recordCompare(byType.get()));
}

// Copying an item onto itself too.
TEST(Item, CopyTakesValuesAndAlwaysMarksDirty)
{
    QuiItemType type(QuiItemID("T"), "t", nullptr);
    QuiForeignKey* key = reinterpret_cast<QuiForeignKey*>(0x1234);
    for (bool sourceDirty : {false, true}) {
        QuiItem from(QuiItemID("from"), nullptr);
        from.setDisplayName("src");
        from.keywordsAdd("x");
        from.keywordsAdd("y");
        from.modifyFlags(0x10, true);
        from.setForeignKey(key);
        from.setDirty(sourceDirty);
        QuiItem to(QuiItemID("to"), &type);
        to.keywordsAdd("old");
        to.modifyFlags(0x3, true);
        EXPECT_EQ(&to, to.copy(from));
        EXPECT_TRUE(to.getDirty());
        EXPECT_EQ("x,y", Keywords(&to));
        EXPECT_STREQ("src", to.getDisplayName());
        EXPECT_EQ(0x10, to.getFlags());
        EXPECT_EQ(key, to.getForeignKey());
        EXPECT_TRUE(to.getID() == "to");
        EXPECT_EQ(&type, to.getType());

        to.setDirty(false);
        to.copy(to);
        EXPECT_EQ("x,y", Keywords(&to));
        EXPECT_STREQ("src", to.getDisplayName());
        EXPECT_EQ(0x10, to.getFlags());
        EXPECT_TRUE(to.getDirty());
    }
}

TEST(Item, FlagsAndForeignKey)
{
    QuiItem item;
    item.modifyFlags(0x6, true);
    item.modifyFlags(0x3, true);
    EXPECT_EQ(0x7, item.getFlags());
    item.modifyFlags(0x5, false);
    EXPECT_EQ(0x2, item.getFlags());
    item.clearFlags();
    EXPECT_EQ(0, item.getFlags());
    EXPECT_FALSE(item.getDirty());
    item.setForeignKey(nullptr);
    EXPECT_TRUE(item.getDirty());
}

TEST(Item, KeywordCursor)
{
    QuiItem item;
    item.keywordsFetchBegin();
    EXPECT_TRUE(item.keywordsFetchNext() == nullptr);
    item.keywordsAdd("a");
    item.keywordsAdd(nullptr);
    item.keywordsAdd("a");
    item.keywordsFetchBegin();
    EXPECT_STREQ("a", item.keywordsFetchNext());
    item.keywordsFetchBegin();
    EXPECT_STREQ("a", item.keywordsFetchNext());
    EXPECT_STREQ("", item.keywordsFetchNext());
    item.keywordsClear();
    EXPECT_TRUE(item.keywordsFetchNext() == nullptr);
}

TEST(ItemType, NewItemClonesThePrototypesClass)
{
    QuiItemType plain(QuiItemID("P"), "Plain", nullptr);
    std::unique_ptr<QuiItem> a(plain.newItem(QuiItemID("a")));
    EXPECT_EQ(&plain, a->getType());
    EXPECT_TRUE(a->getID() == "a");
    EXPECT_TRUE(dynamic_cast<Contact*>(a.get()) == nullptr);

    Contact* prototype = new Contact;
    prototype->setDisplayName("proto");
    prototype->keywordsAdd("kw");
    prototype->modifyFlags(0x2, true);
    prototype->setDirty(true);
    prototype->setForeignKey(reinterpret_cast<QuiForeignKey*>(0x1));
    prototype->phone = "555";
    QuiItemType contacts(QuiItemID("C"), "Contact", prototype);
    EXPECT_EQ(&contacts, prototype->getType());
    std::unique_ptr<QuiItem> b(contacts.newItem(QuiItemID("b")));
    Contact* contact = dynamic_cast<Contact*>(b.get());
    ASSERT_TRUE(contact != nullptr);
    EXPECT_EQ("555", contact->phone);
    EXPECT_EQ(&contacts, b->getType());
    EXPECT_TRUE(b->getID() == "b");
    EXPECT_STREQ("proto", b->getDisplayName());
    EXPECT_EQ("kw", Keywords(b.get()));
    EXPECT_EQ(0x2, b->getFlags());
    EXPECT_TRUE(b->getDirty());
    EXPECT_TRUE(b->getForeignKey() == nullptr);
}

// The category refers to its types; destroying it leaves them alone.
TEST(TypeCategory, DoesNotOwnItsTypes)
{
    std::unique_ptr<QuiItemType> type(new QuiItemType(QuiItemID("T"), "t", nullptr));
    {
        QuiTypeCategory category(QuiItemID("C"), "Cat");
        EXPECT_STREQ("Cat", category.getDisplayName());
        EXPECT_TRUE(category.getTypeList()->add(type.get()));
        EXPECT_EQ(type.get(), category.getTypeList()->get(QuiItemID("T")));
    }
    EXPECT_STREQ("t", type->getDisplayName());
}
