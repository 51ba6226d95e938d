#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "WebActionItem.h"
#include "WebConnector.h"
#include "WebTestSupport.h"

namespace {

// An item database with the web action types registered as the datastore
// registers them.
class WebItems : public ::testing::Test {
protected:
    void SetUp() override
    {
        Register(database, WEB_ACTION_TYPE_ID, new CWebActionItem);
        Register(database, WEB_PIMDEST_TYPE_ID, new CWebPimDestItem);
        Register(database, WEB_HIDDEN_TYPE_ID, new CWebActionItem);
    }
    void TearDown() override { CWebActionItem::SetItemList(nullptr); }

    static void Register(QuiKestrel& db, const char* id, QuiItem* prototype)
    {
        ASSERT_TRUE(db.registerType(new QuiItemType(QuiItemID(id), id, prototype), QuiItemID()));
    }

    CWebActionItem* Item(const char* id)
    {
        return dynamic_cast<CWebActionItem*>(database.getItemList()->get(QuiItemID(id)));
    }

    // Takes the items of the web-action type out, as the datastore does
    // before it adds the items again.
    void RemoveWebActionItems()
    {
        QuiItemList* items = database.getItemList();
        QuiItemType* type = database.getTypeList()->get(QuiItemID(WEB_ACTION_TYPE_ID));
        int cursor = items->fetchBegin(type);
        while (QuiItem* item = items->fetchNext(cursor)) {
            items->remove(item);
            delete item;
        }
        items->fetchEnd(cursor);
    }

    QuiKestrel database;
};

std::string Connector(const char* name, const std::string& subtypes)
{
    return std::string("<CONNECTOR MENUSTRING=\"") + name + "\">\n" + subtypes + "</CONNECTOR>\n";
}

std::string Subtype(const char* menu, const char* more = "")
{
    return std::string("<SUBTYPE MENUSTRING=\"") + menu + "\" " + more + " >\n</SUBTYPE>\n";
}

struct TypeCase {
    const char* webAction;
    const char* type;
    bool pimDestClass;
};

const TypeCase kTypes[] = {
    {"", WEB_ACTION_TYPE_ID, false},        {"WEBACTION=\"yes\"", WEB_ACTION_TYPE_ID, false},
    {"WEBACTION=\"no\"", WEB_PIMDEST_TYPE_ID, true}, {"WEBACTION=\"No\"", WEB_PIMDEST_TYPE_ID, true},
    {"WEBACTION=\"hidden\"", WEB_HIDDEN_TYPE_ID, false}, {"WEBACTION=\"HIDDEN\"", WEB_HIDDEN_TYPE_ID, false},
    {"WEBACTION=\"no \"", WEB_ACTION_TYPE_ID, false},
};

TEST_F(WebItems, MakesOneItemPerSubtypeOfTheTypeItsWebActionNames)
{
    std::string subtypes;
    for (size_t i = 0; i < sizeof kTypes / sizeof kTypes[0]; ++i)
        subtypes += Subtype(("s" + std::to_string(i)).c_str(), kTypes[i].webAction);
    CWebConnectorDefinitionFile connectors = Parsed(Connector("Web", subtypes));
    EXPECT_EQ(7, AddWebActionItems(database, connectors));
    for (size_t i = 0; i < sizeof kTypes / sizeof kTypes[0]; ++i) {
        SCOPED_TRACE(kTypes[i].webAction);
        CWebActionItem* item = Item(("Web_s" + std::to_string(i)).c_str());
        ASSERT_TRUE(item);
        EXPECT_STREQ(kTypes[i].type, item->getType()->getID().toString());
        EXPECT_EQ(kTypes[i].pimDestClass, dynamic_cast<CWebPimDestItem*>(item) != nullptr);
        EXPECT_EQ(&connectors.GetConnectors()[0].m_subtypes[i], item->GetSubtype());
        EXPECT_STREQ(("s" + std::to_string(i)).c_str(), item->getDisplayName());
        EXPECT_EQ(0x1, item->getFlags()) << "the keywords stand for the action";
        EXPECT_FALSE(item->getDirty());
    }
}

TEST_F(WebItems, TakesAtMostNineteenKeywordsAsTheyStand)
{
    std::string many;
    for (int i = 1; i <= 25; ++i)
        many += (i > 1 ? "," : "") + std::to_string(i);
    CWebConnectorDefinitionFile connectors = Parsed(Connector(
        "Web", Subtype("find", "KEYWORDS=\"find, look up,,x,\"") + Subtype("quoted", "KEYWORDS=find,\"a, b\"") +
                   Subtype("count", ("KEYWORDS=" + many).c_str())));
    AddWebActionItems(database, connectors);
    EXPECT_EQ("find| look up||x", Keywords(Item("Web_find")));
    EXPECT_EQ("find|\"a, b\"", Keywords(Item("Web_quoted")));
    EXPECT_EQ("1|2|3|4|5|6|7|8|9|10|11|12|13|14|15|16|17|18|19", Keywords(Item("Web_count")));
}

TEST_F(WebItems, BindsHeldItemsAnewAndNoItemToAVanishedSubtype)
{
    const std::string calendar = Connector("Yahoo", Subtype("yahoo login", "WEBACTION=\"hidden\""));
    const std::string search = Connector("Web", Subtype("find"));
    auto first = std::make_unique<CWebConnectorDefinitionFile>(Parsed(calendar + search));
    EXPECT_EQ(2, AddWebActionItems(database, *first));
    CWebActionItem* login = Item("Yahoo_yahoo login");
    ASSERT_TRUE(login);
    login->keywordsAdd("kept");

    // Loaded again: the hidden item stays and follows its subtype's new place.
    RemoveWebActionItems();
    CWebConnectorDefinitionFile second = Parsed(calendar + search);
    first.reset();
    EXPECT_EQ(1, AddWebActionItems(database, second));
    EXPECT_EQ(login, Item("Yahoo_yahoo login"));
    EXPECT_EQ(&second.GetConnectors()[0].m_subtypes[0], login->GetSubtype());
    EXPECT_EQ("kept", Keywords(login));
    EXPECT_EQ(&second.GetConnectors()[1].m_subtypes[0], Item("Web_find")->GetSubtype());

    // The calendar's connector disabled: its item stands for nothing now.
    RemoveWebActionItems();
    CWebConnectorDefinitionFile third = Parsed(search);
    AddWebActionItems(database, third);
    EXPECT_EQ(nullptr, login->GetSubtype());
}

TEST_F(WebItems, GivesAnIdentifierToItsFirstSubtype)
{
    CWebConnectorDefinitionFile connectors =
        Parsed(Connector("Web", Subtype("find", "KEYWORDS=\"one\"")) + Connector("Web", Subtype("find", "KEYWORDS=\"two\"")));
    EXPECT_EQ(1, AddWebActionItems(database, connectors));
    EXPECT_EQ(&connectors.GetConnectors()[0].m_subtypes[0], Item("Web_find")->GetSubtype());
    EXPECT_EQ("one", Keywords(Item("Web_find")));
}

TEST_F(WebItems, ClonesAndCopiesTheirOwnClass)
{
    CWebConnectorDefinitionFile connectors = Parsed(Connector("Web", Subtype("find") + Subtype("mail", "WEBACTION=\"no\"")));
    AddWebActionItems(database, connectors);
    CWebActionItem* find = Item("Web_find");
    std::unique_ptr<QuiItem> clone(find->clone(QuiItemID("other")));
    CWebActionItem* cloned = dynamic_cast<CWebActionItem*>(clone.get());
    ASSERT_TRUE(cloned);
    EXPECT_STREQ("other", cloned->getID().toString());
    EXPECT_EQ(find->getType(), cloned->getType());
    EXPECT_EQ(nullptr, cloned->GetSubtype());
    EXPECT_STREQ("", cloned->getDisplayName());
    std::unique_ptr<QuiItem> pimClone(Item("Web_mail")->clone(QuiItemID("x")));
    EXPECT_TRUE(dynamic_cast<CWebPimDestItem*>(pimClone.get()));

    cloned->copy(*find);
    EXPECT_EQ(find->GetSubtype(), cloned->GetSubtype());
    EXPECT_STREQ("find", cloned->getDisplayName());
    QuiItem plain(QuiItemID("plain"), nullptr);
    plain.setDisplayName("plain");
    cloned->copy(plain);
    EXPECT_EQ(find->GetSubtype(), cloned->GetSubtype()) << "an item that is no web action item brings no subtype";
}

TEST_F(WebItems, FindTheirSubtypeAgainWhenReadBackFromTheItemFile)
{
    CWebConnectorDefinitionFile connectors = Parsed(Connector("Web", Subtype("find", "KEYWORDS=\"find\"")));
    AddWebActionItems(database, connectors);
    Item("Web_find")->setDirty(true);
    const std::string path = TestFileName(".xml");
    ASSERT_TRUE(database.writeFile(path.c_str()));
    EXPECT_NE(std::string::npos, ReadBytes(path).find("<WAI_CONNECTOR_ID>Web_find</WAI_CONNECTOR_ID>"));

    CWebActionItem::SetItemList(database.getItemList());
    QuiKestrel keywords;
    Register(keywords, WEB_ACTION_TYPE_ID, new CWebActionItem);
    ASSERT_TRUE(keywords.readFile(path.c_str()));
    std::remove(path.c_str());
    CWebActionItem* read = dynamic_cast<CWebActionItem*>(keywords.getItemList()->get(QuiItemID("Web_find")));
    ASSERT_TRUE(read);
    EXPECT_EQ(&connectors.GetConnectors()[0].m_subtypes[0], read->GetSubtype());

    const struct {
        const char* names;
        QuiItemList* list;
        bool bound;
    } fields[] = {{"Web_find", database.getItemList(), true},
                  {"Nobody_nothing", database.getItemList(), false},
                  {"Web_find", nullptr, false}};
    for (const auto& f : fields) {
        CWebActionItem::SetItemList(f.list);
        CWebActionItem item;
        QuiTaggedField field(WAI_CONNECTOR_ID, f.names);
        item.setField(&field);
        EXPECT_EQ(f.bound, item.GetSubtype() != nullptr) << f.names;
    }
}

} // namespace
