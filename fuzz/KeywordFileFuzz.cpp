// The keyword file merged into a database of plain and web action items, as
// the datastore does at every load. The file may amend items but never add
// or remove one, nor change an item's identifier, display name, back-end key
// or connector binding; and what a merge leaves dirty, written as the
// keyword file with the records the merge kept and merged into a fresh
// database, gives the same keywords and flags again.
#include "ConnectorFile.h"
#include "FuzzFolder.h"
#include "KeywordFile.h"
#include "WebActionItem.h"
#include "WebConnector.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "keyword file merge broke its promise: %s\n", what);
        std::abort();
    }
}

const char kCategoryType[] = "55861570-ea6a-11d2-a0e6-00104b9522aa";
const char kLineType[] = "55861571-ea6a-11d2-a0e6-00104b9522aa";

const char kSystemItems[] =
    "<ITEMS>\n"
    "<ITEM><ID>business-id</ID><TYPE>55861570-ea6a-11d2-a0e6-00104b9522aa</TYPE><NAME>Business</NAME>"
    "<FLAGS>0x0003</FLAGS><KEYWORDS><KEYWORD>business</KEYWORD><KEYWORD>work</KEYWORD></KEYWORDS></ITEM>\n"
    "<ITEM><ID>lunch-id</ID><TYPE>55861571-ea6a-11d2-a0e6-00104b9522aa</TYPE><NAME>Lunch</NAME>"
    "<FLAGS>0x0001</FLAGS><KEYWORDS><KEYWORD>lunch</KEYWORD></KEYWORDS></ITEM>\n"
    "<ITEM><ID>dinner-id</ID><TYPE>55861571-ea6a-11d2-a0e6-00104b9522aa</TYPE><NAME>Dinner</NAME>"
    "<FLAGS>0x0001</FLAGS></ITEM>\n"
    "<ITEM><ID>same-name-id</ID><TYPE>55861570-ea6a-11d2-a0e6-00104b9522aa</TYPE><NAME>Lunch</NAME>"
    "<FLAGS>0x0000</FLAGS></ITEM>\n"
    "</ITEMS>\n";

const char kConnectors[] =
    "<VERSION=1.0>\n"
    "<CONNECTOR MENUSTRING=\"Weather\">\n"
    "<SUBTYPE MENUSTRING=\"weather forecast\" KEYWORDS=\"weather,forecast for\" METHOD=\"GET\"\n"
    "  ACTION=\"http://weather.example.com/?q=$:querystring\" >\n</SUBTYPE>\n"
    "<SUBTYPE MENUSTRING=\"radar\" KEYWORDS=\"radar\" WEBACTION=\"hidden\" ACTION=\"http://r/\" >\n</SUBTYPE>\n"
    "<SUBTYPE MENUSTRING=\"to do\" KEYWORDS=\"todo\" WEBACTION=\"no\" ACTION=\"http://t/\" >\n</SUBTYPE>\n"
    "</CONNECTOR>\n";

std::string Folder()
{
    return FuzzFolder();
}

void WriteFile(const std::string& path, const void* bytes, size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    Require(f && std::fwrite(bytes, 1, size, f) == size && std::fclose(f) == 0, "cannot write a file");
}

// The datastore's database: its types, the system items, the web action
// items of the connectors, and a back-end key on one item.
struct Store {
    Store()
    {
        db.registerType(new QuiItemType(QuiItemID(kCategoryType), "Category", nullptr), QuiItemID());
        db.registerType(new QuiItemType(QuiItemID(kLineType), "Line", nullptr), QuiItemID());
        for (const char* id : {WEB_ACTION_TYPE_ID, WEB_PIMDEST_TYPE_ID, WEB_HIDDEN_TYPE_ID}) {
            QuiItem* prototype =
                std::strcmp(id, WEB_PIMDEST_TYPE_ID) == 0 ? new CWebPimDestItem : new CWebActionItem;
            db.registerType(new QuiItemType(QuiItemID(id), id, prototype), QuiItemID());
        }
        CWebActionItem::SetItemList(db.getItemList());
        const std::string system = Folder() + "/QuiSystem.xml";
        WriteFile(system, kSystemItems, sizeof kSystemItems - 1);
        Require(db.readFile(system.c_str()), "the system items do not load");
        std::string text(kConnectors);
        connectors.ParseConnectors(&text[0], "weather.xml");
        Require(AddWebActionItems(db, connectors) == 3, "the web action items were not made");
        db.getItemList()->get(QuiItemID("lunch-id"))->setForeignKey(reinterpret_cast<QuiForeignKey*>(this));
        for (QuiItem* item : ItemsOf(*db.getItemList(), nullptr))
            item->setDirty(false);
    }
    ~Store() { CWebActionItem::SetItemList(nullptr); }

    CWebConnectorDefinitionFile connectors;
    QuiKestrel db;
};

struct Facts {
    std::string name;
    QuiForeignKey* key;
    CWebConnectorSubtype* subtype;
    std::string keywords;
    int flags;
};

std::map<std::string, Facts> FactsOf(QuiKestrel& db)
{
    std::map<std::string, Facts> facts;
    for (QuiItem* item : ItemsOf(*db.getItemList(), nullptr)) {
        CWebActionItem* action = dynamic_cast<CWebActionItem*>(item);
        Facts f = {item->getDisplayName(), item->getForeignKey(), action ? action->GetSubtype() : nullptr, "",
                   item->getFlags()};
        item->keywordsFetchBegin();
        while (const char* keyword = item->keywordsFetchNext())
            f.keywords += std::string(keyword) + "\n";
        item->keywordsFetchEnd();
        Require(facts.emplace(item->getID().toString(), f).second, "two items of one identifier");
    }
    return facts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string keywordFile = Folder() + "/keywords.xml";
    const std::string written = Folder() + "/written.xml";
    WriteFile(keywordFile, data, size);

    std::vector<std::string> dirty;
    std::map<std::string, Facts> merged;
    {
        Store store;
        const std::map<std::string, Facts> before = FactsOf(store.db);
        QuiTaggedField kept(QuiKestrel::kTagRoot, nullptr);
        MergeKeywordFile(store.db, keywordFile.c_str(), kept);
        merged = FactsOf(store.db);
        Require(merged.size() == before.size(), "the merge added or removed items");
        for (const auto& entry : before) {
            auto after = merged.find(entry.first);
            Require(after != merged.end(), "an item lost its identifier");
            Require(after->second.name == entry.second.name, "a display name changed");
            Require(after->second.key == entry.second.key, "a back-end key changed");
            Require(after->second.subtype == entry.second.subtype, "a connector binding changed");
        }

        // Written as the datastore writes the keyword file.
        std::vector<QuiItem*> changed;
        for (QuiItem* item : ItemsOf(*store.db.getItemList(), nullptr))
            if (item->getDirty()) {
                changed.push_back(item);
                dirty.push_back(item->getID().toString());
            }
        if (changed.empty() && kept.subfieldsCount() == 0)
            return 0;
        QuiKestrel file;
        Loan<QuiItemList, QuiItem> loan(changed, *file.getItemList());
        Require(file.writeFile(written.c_str(), &kept), "the keyword file cannot be written");
    }
    Store fresh;
    QuiTaggedField keptAgain(QuiKestrel::kTagRoot, nullptr);
    Require(MergeKeywordFile(fresh.db, written.c_str(), keptAgain) == KeywordFileRead::merged,
            "a written keyword file does not read back");
    std::map<std::string, Facts> again = FactsOf(fresh.db);
    for (const std::string& id : dirty) {
        Require(again[id].keywords == merged[id].keywords, "keywords changed on their way through the file");
        Require(again[id].flags == merged[id].flags, "flags changed on their way through the file");
    }
    return 0;
}
