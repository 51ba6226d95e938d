// The item file reader on arbitrary text, and the round trips the program
// relies on: whatever the reader accepts is written and read back to the same
// leaf values, and to the same items through the database. The web action
// types are registered with their prototypes, so that items of those types
// are built of their own class, take their fields and write them back.
#include "FuzzFolder.h"
#include "Kestrel.h"
#include "WebActionItem.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

namespace {
const std::string kInput = FuzzFolder() + "/fuzz-input.xml";
const std::string kOutput = FuzzFolder() + "/fuzz-output.xml";

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "round trip broken: %s\n", what);
        std::abort();
    }
}

void Leaves(QuiTaggedField* field, const std::string& path, std::vector<std::string>& out)
{
    std::string here = path + "/" + field->getTag();
    if (field->subfieldsCount() == 0) {
        out.push_back(here + "=" + field->getValue());
        return;
    }
    field->subfieldsFetchBegin(nullptr);
    while (QuiTaggedField* child = field->subfieldsFetchNext())
        Leaves(child, here, out);
    field->subfieldsFetchEnd();
}

std::vector<std::string> Leaves(QuiTaggedField* root)
{
    std::vector<std::string> out;
    Leaves(root, "", out);
    return out;
}

// Every item as one line, sorted: the order of types is not stable.
std::vector<std::string> Items(QuiKestrel& db)
{
    std::vector<std::string> lines;
    QuiItemList* items = db.getItemList();
    int cursor = items->fetchBegin(nullptr);
    while (QuiItem* item = items->fetchNext(cursor)) {
        std::string line = std::string(item->getID().toString()) + "|" + item->getType()->getID().toString() +
                           "|" + typeid(*item).name() + "|" + item->getDisplayName() + "|" +
                           std::to_string(item->getFlags());
        item->keywordsFetchBegin();
        while (const char* keyword = item->keywordsFetchNext())
            line += std::string("|") + keyword;
        lines.push_back(line);
    }
    items->fetchEnd(cursor);
    std::sort(lines.begin(), lines.end());
    return lines;
}

struct Database {
    Database()
    {
        db.registerType(new QuiItemType(QuiItemID("55861570-ea6a-11d2-a0e6-00104b9522aa"), "Todo", nullptr),
                        QuiItemID());
        db.registerType(new QuiItemType(QuiItemID("T"), "T", nullptr), QuiItemID());
        for (const char* id : {WEB_ACTION_TYPE_ID, WEB_PIMDEST_TYPE_ID, WEB_HIDDEN_TYPE_ID}) {
            QuiItem* prototype =
                std::strcmp(id, WEB_PIMDEST_TYPE_ID) == 0 ? new CWebPimDestItem : new CWebActionItem;
            db.registerType(new QuiItemType(QuiItemID(id), id, prototype), QuiItemID());
        }
        // A web action item's connector field looks its item up here.
        CWebActionItem::SetItemList(db.getItemList());
    }
    ~Database() { CWebActionItem::SetItemList(nullptr); }
    QuiKestrel db;
};

void CheckTree(QuiTaggedField* tree)
{
    QuiXMLBufferOut out;
    Require(out.write(tree), "an accepted tree was refused by the writer");
    QuiXMLBufferIn again(out.lockBuffer());
    std::unique_ptr<QuiTaggedField> back(again.read());
    Require(back != nullptr, "written text was rejected");
    Require(Leaves(tree) == Leaves(back.get()), "leaf values changed");
}

void CheckDatabase(const std::string& text, bool accepted)
{
    FILE* f = std::fopen(kInput.c_str(), "wb");
    Require(f && std::fwrite(text.data(), 1, text.size(), f) == text.size() && std::fclose(f) == 0,
            "cannot write the input file");
    Database first;
    Require(first.db.readFile(kInput.c_str()) == accepted, "file and buffer readers disagree");
    if (!accepted)
        return;
    Require(first.db.writeFile(kOutput.c_str()), "database was not written");
    Database second;
    Require(second.db.readFile(kOutput.c_str()), "written file was rejected");
    Require(Items(first.db) == Items(second.db), "items changed");
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    QuiXMLBufferIn in(text.c_str());
    std::unique_ptr<QuiTaggedField> tree(in.read());
    if (tree)
        CheckTree(tree.get());
    CheckDatabase(text, tree != nullptr);
    return 0;
}
