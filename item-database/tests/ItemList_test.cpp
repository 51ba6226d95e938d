#include "QuiItemList.h"
#include "QuiItem.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {
QuiItem* NewItem(const char* id, QuiItemType* type)
{
    QuiItem* item = new QuiItem(QuiItemID(id), type);
    item->setDisplayName(id);
    return item;
}

// Names of what a cursor yields from here on, comma-separated.
std::string Drain(QuiItemList& list, int cursor)
{
    std::string names;
    while (QuiItem* item = list.fetchNext(cursor))
        names += (names.empty() ? "" : ",") + std::string(item->getDisplayName());
    return names;
}

std::string Walk(QuiItemList& list, QuiItemType* type)
{
    int cursor = list.fetchBegin(type);
    std::string names = Drain(list, cursor);
    list.fetchEnd(cursor);
    return names;
}
}

class ItemListTest : public ::testing::Test {
protected:
    QuiItemType a{QuiItemID("A"), "a", nullptr};
    QuiItemType b{QuiItemID("B"), "b", nullptr};
    QuiItemList list;

    void fill()
    {
        for (const char* id : {"a3", "a1", "a2"})
            ASSERT_TRUE(list.add(NewItem(id, &a)));
        for (const char* id : {"b2", "b1"})
            ASSERT_TRUE(list.add(NewItem(id, &b)));
    }
};

TEST_F(ItemListTest, SecondItemWithSameIdentifierIsRefused)
{
    QuiItem* first = NewItem("x", &a);
    std::unique_ptr<QuiItem> second(NewItem("x", &b));
    EXPECT_TRUE(list.add(first));
    EXPECT_FALSE(list.add(second.get()));
    EXPECT_FALSE(list.add(first));
    EXPECT_FALSE(list.add(nullptr));
    EXPECT_EQ(first, list.get(QuiItemID("x")));
    EXPECT_EQ("", Walk(list, &b));
}

TEST_F(ItemListTest, CursorsByTypeAndOverAll)
{
    fill();
    EXPECT_EQ("a3,a1,a2", Walk(list, &a));
    EXPECT_EQ("b2,b1", Walk(list, &b));
    QuiItemType none(QuiItemID("N"), "n", nullptr);
    EXPECT_EQ("", Walk(list, &none));
    std::string all = Walk(list, nullptr);
    EXPECT_TRUE(all == "a3,a1,a2,b2,b1" || all == "b2,b1,a3,a1,a2") << all;
}

TEST_F(ItemListTest, SeveralCursorsRunAtOnce)
{
    fill();
    int one = list.fetchBegin(&a);
    int two = list.fetchBegin(&a);
    EXPECT_NE(one, two);
    EXPECT_STREQ("a3", list.fetchNext(one)->getDisplayName());
    EXPECT_STREQ("a3", list.fetchNext(two)->getDisplayName());
    EXPECT_STREQ("a1", list.fetchNext(two)->getDisplayName());
    EXPECT_STREQ("a1", list.fetchNext(one)->getDisplayName());
    list.fetchEnd(one);
    EXPECT_TRUE(list.fetchNext(one) == nullptr);
    EXPECT_EQ("a2", Drain(list, two));
    EXPECT_TRUE(list.fetchNext(two) == nullptr);
    list.fetchEnd(two);
    EXPECT_TRUE(list.fetchNext(12345) == nullptr);
    list.fetchEnd(12345);
}

// Taking every item out while walking, as the main program empties a
// temporary database, and removing the item a cursor would return next.
TEST_F(ItemListTest, RemovingWhileCursorsRun)
{
    fill();
    int other = list.fetchBegin(&a);
    EXPECT_STREQ("a3", list.fetchNext(other)->getDisplayName());
    int cursor = list.fetchBegin(nullptr);
    int removed = 0;
    while (QuiItem* item = list.fetchNext(cursor)) {
        EXPECT_TRUE(list.remove(item));
        delete item;
        ++removed;
    }
    list.fetchEnd(cursor);
    EXPECT_EQ(5, removed);
    EXPECT_TRUE(list.fetchNext(other) == nullptr);
    list.fetchEnd(other);

    fill();
    cursor = list.fetchBegin(&a);
    EXPECT_STREQ("a3", list.fetchNext(cursor)->getDisplayName());
    QuiItem* next = list.get(QuiItemID("a1"));
    EXPECT_TRUE(list.remove(next));
    delete next;
    EXPECT_EQ("a2", Drain(list, cursor));
    list.fetchEnd(cursor);
}

// Another object carrying a held identifier is not held: removing it must
// leave the list's entries as they were.
TEST_F(ItemListTest, RemoveTakesOnlyTheHeldObject)
{
    fill();
    std::unique_ptr<QuiItem> impostor(NewItem("a1", &a));
    std::unique_ptr<QuiItem> stranger(NewItem("zz", &b));
    EXPECT_FALSE(list.remove(impostor.get()));
    EXPECT_FALSE(list.remove(stranger.get()));
    EXPECT_FALSE(list.remove(nullptr));
    QuiItem* held = list.get(QuiItemID("a1"));
    ASSERT_TRUE(held != nullptr);
    EXPECT_EQ("a3,a1,a2", Walk(list, &a));
    EXPECT_TRUE(list.remove(held));
    EXPECT_FALSE(list.remove(held));
    EXPECT_TRUE(list.get(QuiItemID("a1")) == nullptr);
    EXPECT_EQ("a3,a2", Walk(list, &a));
    EXPECT_TRUE(list.add(held));
    EXPECT_EQ("a3,a2,a1", Walk(list, &a));
}

// An item renamed or retyped while held is still taken out whole.
TEST_F(ItemListTest, RemoveAfterIdentifierOrTypeChanged)
{
    fill();
    QuiItem* item = list.get(QuiItemID("a1"));
    item->setID(QuiItemID("renamed"));
    item->setType(&b);
    EXPECT_TRUE(list.remove(item));
    delete item;
    EXPECT_TRUE(list.get(QuiItemID("a1")) == nullptr);
    EXPECT_EQ("a3,a2", Walk(list, &a));
    EXPECT_TRUE(list.add(NewItem("a1", &a)));
}

TEST(ItemTypeList, OneEntryPerIdentifierInIdentifierOrder)
{
    QuiItemType t1(QuiItemID("b"), "1", nullptr);
    QuiItemType t2(QuiItemID("B"), "2", nullptr);
    QuiItemType t3(QuiItemID("a"), "3", nullptr);
    QuiItemType twin(QuiItemID("b"), "twin", nullptr);
    QuiItemTypeList list;
    EXPECT_TRUE(list.add(&t1));
    EXPECT_TRUE(list.add(&t2));
    EXPECT_TRUE(list.add(&t3));
    EXPECT_FALSE(list.add(&twin));
    EXPECT_FALSE(list.add(nullptr));
    std::string order;
    list.fetchBegin();
    while (QuiItemType* type = list.fetchNext())
        order += type->getDisplayName();
    list.fetchEnd();
    EXPECT_EQ("231", order);

    EXPECT_FALSE(list.remove(&twin));
    EXPECT_EQ(&t1, list.get(QuiItemID("b")));
    EXPECT_TRUE(list.remove(&t1));
    EXPECT_FALSE(list.remove(QuiItemID("b")));
    EXPECT_TRUE(list.remove(QuiItemID("B")));
    EXPECT_TRUE(list.get(QuiItemID("B")) == nullptr);
    EXPECT_EQ(&t3, list.get(QuiItemID("a")));
}

// Taking the types out one by one while walking the list.
TEST(ItemTypeList, RemoveWhileWalking)
{
    QuiItemType t1(QuiItemID("1"), "", nullptr), t2(QuiItemID("2"), "", nullptr), t3(QuiItemID("3"), "", nullptr);
    QuiItemTypeList list;
    list.add(&t1);
    list.add(&t2);
    list.add(&t3);
    list.fetchBegin();
    int seen = 0;
    while (QuiItemType* type = list.fetchNext()) {
        EXPECT_TRUE(list.remove(type));
        ++seen;
    }
    list.fetchEnd();
    EXPECT_EQ(3, seen);
    list.add(&t1);
    list.add(&t2);
    list.fetchBegin();
    EXPECT_EQ(&t1, list.fetchNext());
    list.remove(&t2);
    EXPECT_TRUE(list.fetchNext() == nullptr);
}

TEST(TypeCategoryList, DeleteContentsLeavesAnEmptyList)
{
    QuiTypeCategoryList list;
    list.add(new QuiTypeCategory(QuiItemID("x"), "X"));
    list.add(new QuiTypeCategory(QuiItemID("y"), "Y"));
    list.fetchBegin();
    EXPECT_TRUE(list.fetchNext() != nullptr);
    list.deleteContents();
    EXPECT_TRUE(list.fetchNext() == nullptr);
    EXPECT_TRUE(list.get(QuiItemID("x")) == nullptr);
    list.fetchBegin();
    EXPECT_TRUE(list.fetchNext() == nullptr);
    QuiTypeCategory kept(QuiItemID("x"), "again");
    EXPECT_TRUE(list.add(&kept));
    EXPECT_TRUE(list.remove(&kept));
}
