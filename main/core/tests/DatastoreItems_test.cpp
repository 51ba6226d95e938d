// The datastore's items: web action items made, kept and rebound per enabled
// connector subtype, the keyword file's loan of items, and back-end lines
// turned into items.
#include "AllocationLimit.h"
#include "DatastoreTestSupport.h"
#include "KeywordFile.h"

#include <oleauto.h>

#include <new>
#include <set>

using namespace datastore_test;

namespace {

std::string Subtype(const char* menu, const char* more)
{
    return std::string("<SUBTYPE MENUSTRING=\"") + menu + "\" " + more + " METHOD=\"GET\" ACTION=\"http://e.example/\" >\n"
           "</SUBTYPE>\n";
}

// A connector file with one subtype of each kind of web action.
const std::string kShop = "<VERSION=1.0>\n<CONNECTOR MENUSTRING=\"Shop\">\n" +
                          Subtype("buy", "KEYWORDS=\"buy,purchase\"") +
                          Subtype("order", "KEYWORDS=\"order\" WEBACTION=\"No\"") +
                          Subtype("stock", "KEYWORDS=\"stock\" WEBACTION=\"HIDDEN\"") +
                          Subtype("sell", "KEYWORDS=\"sell\" WEBACTION=\"yes\"") + "</CONNECTOR>\n";

class WebActionItems : public Datastore {
protected:
    void SetUp() override
    {
        Datastore::SetUp();
        WriteBytes("shop.xml", kShop);
        store.RegisterTypes();
    }

    CWebActionItem* Action(const char* id) { return dynamic_cast<CWebActionItem*>(store.Item(id)); }

    CWebConnectorSubtype* Enabled(size_t subtype)
    {
        return &store.GetWebActionHandler()->GetEnabledConnectors().GetConnectors().at(0).m_subtypes.at(subtype);
    }

    TestDatastore store;
};

TEST_F(WebActionItems, SyncMakesOneItemPerEnabledSubtype)
{
    EXPECT_TRUE(store.LoadItems());

    struct Row {
        const char* id;
        const char* type;
        const char* keywords;
        size_t subtype;
    } rows[] = {
        {"Shop_buy", WEB_ACTION_TYPE_ID, "buy|purchase", 0},
        {"Shop_order", WEB_PIMDEST_TYPE_ID, "order", 1},
        {"Shop_stock", WEB_HIDDEN_TYPE_ID, "stock", 2},
        {"Shop_sell", WEB_ACTION_TYPE_ID, "sell", 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        CWebActionItem* item = Action(row.id);
        ASSERT_NE(nullptr, item);
        EXPECT_STREQ(row.type, item->getType()->getID().toString());
        EXPECT_STREQ(row.id + 5, item->getDisplayName());
        EXPECT_EQ(row.keywords, Keywords(item));
        EXPECT_EQ(1, item->getFlags()) << "the keywords stand for the action";
        EXPECT_FALSE(item->getDirty());
        EXPECT_EQ(Enabled(row.subtype), item->GetSubtype());
    }
    EXPECT_NE(nullptr, dynamic_cast<CWebPimDestItem*>(Action("Shop_order")));
    EXPECT_EQ(4u, ItemIds(store.GetItemList()).size());
}

TEST_F(WebActionItems, ASecondSyncKeepsTheItemsAndBindsThemToTheNewRecords)
{
    store.SyncItems();
    CWebActionItem* buy = Action("Shop_buy");
    buy->keywordsAdd("shopping");
    buy->setDirty(true);

    store.SyncItems();

    EXPECT_EQ(buy, Action("Shop_buy"));
    EXPECT_EQ("buy|purchase|shopping", Keywords(buy));
    EXPECT_TRUE(buy->getDirty());
    EXPECT_EQ(Enabled(0), buy->GetSubtype());
    EXPECT_EQ(Enabled(1), Action("Shop_order")->GetSubtype());
    EXPECT_EQ(4u, ItemIds(store.GetItemList()).size());
}

TEST_F(WebActionItems, AConnectorThatGoesTakesItsItemsOutUntilItComesBack)
{
    store.SyncItems();
    CWebActionItem* buy = Action("Shop_buy");
    buy->keywordsAdd("shopping");
    CWebActionItem* order = Action("Shop_order");

    ASSERT_TRUE(DeleteFileA("shop.xml"));
    store.SyncItems();

    EXPECT_EQ(nullptr, store.Item("Shop_buy"));
    EXPECT_EQ(nullptr, store.Item("Shop_sell"));
    EXPECT_EQ(order, Action("Shop_order")) << "only items of the web-action type are taken out";
    EXPECT_EQ(nullptr, order->GetSubtype());

    WriteBytes("shop.xml", kShop);
    store.SyncItems();

    EXPECT_EQ(buy, Action("Shop_buy"));
    EXPECT_EQ("buy|purchase|shopping", Keywords(buy));
    EXPECT_EQ(Enabled(0), buy->GetSubtype());
    EXPECT_EQ(Enabled(1), order->GetSubtype());
}

TEST_F(WebActionItems, RemoveWebActionItemsTakesOutOnlyTheWebActionType)
{
    store.SyncItems();
    store.AddItem(kLineType, "line-id", "Line");

    EXPECT_EQ(0, store.RemoveWebActionItems());

    std::vector<std::string> ids = ItemIds(store.GetItemList());
    EXPECT_EQ(std::set<std::string>({"Shop_order", "Shop_stock", "line-id"}), std::set<std::string>(ids.begin(), ids.end()));
}

// Without the type a walk over "its" items would take every item out.
TEST_F(Datastore, RemoveWebActionItemsWithoutTheTypeKeepsEveryItem)
{
    TestDatastore store;
    QuiItemType* type = new QuiItemType(QuiItemID(kLineType), "line", new LineItem);
    ASSERT_TRUE(store.GetKestrel()->registerType(type, QuiItemID()));
    store.AddItem(kLineType, "line-id", "Line");

    store.RemoveWebActionItems();

    EXPECT_EQ(std::vector<std::string>({"line-id"}), ItemIds(store.GetItemList()));
}

TEST_F(WebActionItems, TheKeywordFileAmendsAWebActionItemWithoutUnbindingIt)
{
    store.SyncItems();
    WriteBytes("QuiSystem.xml", ItemFile(""));
    // Written under an identifier of an older connector name: found by name.
    WriteBytes("keywords.xml", "<ITEMS><ITEM><ID>Store_buy</ID><TYPE>" + std::string(WEB_ACTION_TYPE_ID) +
                                   "</TYPE><NAME>buy</NAME><FLAGS>0x0003</FLAGS><KEYWORDS><KEYWORD>acquire"
                                   "</KEYWORD></KEYWORDS><WAI_CONNECTOR_ID>Store_buy</WAI_CONNECTOR_ID></ITEM>"
                                   "</ITEMS>");

    ASSERT_TRUE(store.LoadItemDatabase());

    CWebActionItem* buy = Action("Shop_buy");
    EXPECT_EQ("acquire", Keywords(buy));
    EXPECT_EQ(3, buy->getFlags());
    EXPECT_EQ(Enabled(0), buy->GetSubtype());
    EXPECT_EQ(nullptr, store.Item("Store_buy"));
}

// Saving the keyword file lends the dirty items to a database of its own;
// memory that runs out while it lends must leave every item the store's
// alone, or the lending database would destroy them at its end.
TEST_F(WebActionItems, ALoanCutShortByMemoryLeavesNoItemLent)
{
    for (int i = 0; i < 100; ++i)
        store.AddItem(WEB_ACTION_TYPE_ID, ("item-" + std::to_string(i)).c_str(), "item");
    const std::vector<QuiItem*> items = ItemsOf(*store.GetItemList(), nullptr);
    ASSERT_EQ(100u, items.size());
    // The room the loan's record of the lent items asks for fails at once,
    // on a later growth, or only at its full size.
    const size_t failingSizes[] = {sizeof(QuiItem*), 32 * sizeof(QuiItem*), items.size() * sizeof(QuiItem*)};
    for (size_t failing : failingSizes) {
        SCOPED_TRACE(failing);
        QuiKestrel lending;
        QuiItemList& lent = *lending.getItemList();
        bool outOfMemory = false;
        try {
            FailingAllocations fail(failing);
            Loan<QuiItemList, QuiItem> loan(items, lent);
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
        EXPECT_TRUE(outOfMemory);
        const std::vector<QuiItem*> left = ItemsOf(lent, nullptr);
        EXPECT_EQ(0u, left.size()) << "items the lending database would destroy";
        // Taken back here, so that the test fails rather than deletes twice.
        for (QuiItem* item : left)
            lent.remove(item);
        EXPECT_EQ(items, ItemsOf(*store.GetItemList(), nullptr));
    }
}

//--- back-end lines

VARIANT Lines(const std::vector<std::wstring>& lines, LONG lowerBound = 0)
{
    SAFEARRAYBOUND bound = {static_cast<ULONG>(lines.size()), lowerBound};
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_ARRAY | VT_BSTR;
    V_ARRAY(&value) = SafeArrayCreate(VT_BSTR, 1, &bound);
    for (size_t i = 0; i < lines.size(); ++i) {
        LONG index = lowerBound + static_cast<LONG>(i);
        BSTR line = SysAllocString(lines[i].c_str());
        SafeArrayPutElement(V_ARRAY(&value), &index, line);
        SysFreeString(line);
    }
    return value;
}

class BackEndLines : public Datastore {
protected:
    void SetUp() override
    {
        Datastore::SetUp();
        store.RegisterTypes();
    }

    BOOL Add(VARIANT lines, int idColumn, const char* type = kLineType)
    {
        BOOL result = store.AddItems(lines, store.GetItemType(type), idColumn);
        VariantClear(&lines);
        return result;
    }

    CDatastoreItem* Line(const char* id) { return dynamic_cast<CDatastoreItem*>(store.Item(id)); }

    TestDatastore store;
};

TEST_F(BackEndLines, QuotedFieldsAreSplitAndTheIdColumnNamesTheItem)
{
    ASSERT_TRUE(Add(Lines({L"\"a,b\",\"Lunch \"\"big\"\"\",x,dropped", L"", L"plain,Dinner"}), 0));

    EXPECT_EQ(std::vector<std::string>({"a,b", "plain"}), ItemIds(store.GetItemList()));
    struct Row {
        const char* id;
        int field;
        const char* text;
    } rows[] = {
        {"a,b", 0, "a,b"}, {"a,b", 1, "Lunch \"big\""}, {"a,b", 2, "x"},    {"a,b", 3, ""},
        {"a,b", -1, ""},   {"plain", 1, "Dinner"},      {"plain", 2, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.id) + " field " + std::to_string(row.field));
        CDatastoreItem* item = Line(row.id);
        ASSERT_NE(nullptr, item);
        EXPECT_STREQ(row.text, item->GetFieldText(row.field));
        EXPECT_FALSE(item->getDirty());
    }
    EXPECT_STREQ("Lunch \"big\"", Line("a,b")->getDisplayName());
}

TEST_F(BackEndLines, ItemsWithoutAnIdentifierFieldGetUniqueOnes)
{
    struct Row {
        const char* what;
        int idColumn;
        std::vector<std::wstring> lines;
    } rows[] = {
        {"no id column", -1, {L"one,One", L"two,Two"}},
        {"column past the fields", 7, {L"one,One", L"two,Two"}},
        {"empty id field", 0, {L",One", L"\"\",Two"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TestDatastore fresh;
        fresh.RegisterTypes();
        VARIANT lines = Lines(row.lines);
        EXPECT_TRUE(fresh.AddItems(lines, fresh.GetItemType(kLineType), row.idColumn));
        VariantClear(&lines);
        std::vector<std::string> ids = ItemIds(fresh.GetItemList());
        ASSERT_EQ(2u, ids.size());
        EXPECT_NE(ids[0], ids[1]);
        for (const std::string& id : ids) {
            EXPECT_FALSE(id.empty());
            EXPECT_NE("one", id);
        }
    }
}

TEST_F(BackEndLines, AnswersThatAreNoListOfLinesAddNothing)
{
    VARIANT empty;
    VariantInit(&empty);
    VARIANT text;
    VariantInit(&text);
    V_VT(&text) = VT_BSTR;
    V_BSTR(&text) = SysAllocString(L"a,b");
    VARIANT numbers;
    VariantInit(&numbers);
    V_VT(&numbers) = VT_ARRAY | VT_I4;
    V_ARRAY(&numbers) = SafeArrayCreateVector(VT_I4, 0, 2);

    EXPECT_FALSE(Add(empty, 0));
    EXPECT_FALSE(Add(text, 0));
    EXPECT_FALSE(Add(numbers, 0));
    EXPECT_FALSE(Add(Lines({L"a,b"}), 0, "NO-SUCH-TYPE"));
    EXPECT_TRUE(ItemIds(store.GetItemList()).empty());
}

TEST_F(BackEndLines, LinesThatFillNoFieldOrMakeNoLineItemAreDropped)
{
    QuiItemType* empty = new QuiItemType(QuiItemID("EMPTY-TYPE"), "empty", new EmptyItem);
    ASSERT_TRUE(store.GetKestrel()->registerType(empty, QuiItemID()));

    EXPECT_TRUE(Add(Lines({L"a,b", L""}), 0, "EMPTY-TYPE"));
    EXPECT_TRUE(Add(Lines({L"a,b"}), 0, WEB_ACTION_TYPE_ID));
    EXPECT_TRUE(Add(Lines({L""}), 0));

    EXPECT_TRUE(ItemIds(store.GetItemList()).empty());
}

TEST_F(BackEndLines, AHeldIdentifierKeepsTheFirstItem)
{
    EXPECT_TRUE(Add(Lines({L"a,One", L"a,Two"}), 0));
    EXPECT_EQ(std::vector<std::string>({"a"}), ItemIds(store.GetItemList()));
    EXPECT_STREQ("One", store.Item("a")->getDisplayName());
}

TEST_F(BackEndLines, EveryElementIsReadWhateverTheLowerBound)
{
    EXPECT_TRUE(Add(Lines({L"a,One", L"b,Two", L"c,Three"}, 1), 0));
    EXPECT_EQ(std::vector<std::string>({"a", "b", "c"}), ItemIds(store.GetItemList()));
}

TEST_F(BackEndLines, ALongLineIsCutToTheLongestLineTaken)
{
    EXPECT_TRUE(Add(Lines({std::wstring(2000, L'x') + L",Name"}), -1));
    std::vector<std::string> ids = ItemIds(store.GetItemList());
    ASSERT_EQ(1u, ids.size());
    EXPECT_EQ(1023u, std::string(Line(ids[0].c_str())->GetFieldText(0)).size());
    EXPECT_STREQ("", Line(ids[0].c_str())->GetFieldText(1));
}

TEST(DatastoreItem, AFreshItemHoldsNoFields)
{
    LineItem item;
    EXPECT_FALSE(item.HasFields());
    EXPECT_STREQ("", item.GetFieldText(0));
    char line[] = "only";
    item.FromCsvLine(line);
    EXPECT_TRUE(item.HasFields());
    EXPECT_STREQ("only", item.GetFieldText(0));
    EXPECT_STREQ("", item.GetFieldText(1));
}

} // namespace
