#include "KeywordFile.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>

#include "WebActionItem.h"

std::vector<QuiItem*> ItemsOf(QuiItemList& items, QuiItemType* type)
{
    std::vector<QuiItem*> result;
    int cursor = items.fetchBegin(type);
    while (QuiItem* item = items.fetchNext(cursor))
        result.push_back(item);
    items.fetchEnd(cursor);
    return result;
}

QuiItem* FindByName(QuiItemList& items, QuiItemType* type, const char* name)
{
    for (QuiItem* item : ItemsOf(items, type))
        if (std::strcmp(item->getDisplayName(), name) == 0)
            return item;
    return nullptr;
}

void Amend(QuiItem& item, const QuiItem& amendment)
{
    std::string name = item.getDisplayName();
    QuiForeignKey* key = item.getForeignKey();
    CWebActionItem* action = dynamic_cast<CWebActionItem*>(&item);
    CWebConnectorSubtype* subtype = action ? action->GetSubtype() : nullptr;
    item.copy(amendment);
    item.setDisplayName(name.c_str());
    item.setForeignKey(key);
    if (action)
        action->SetSubtype(subtype);
}

namespace {

// Amends the item the record names; false when it names none.
bool AmendFromRecord(QuiKestrel& database, QuiTaggedField& record)
{
    QuiTaggedField* typeField = record.subfieldsGet(QuiItem::kTagType);
    QuiItemType* type = typeField ? database.getTypeList()->get(QuiItemID(typeField->getValue())) : nullptr;
    if (!type)
        return false;
    QuiTaggedField* idField = record.subfieldsGet(QuiItem::kTagID);
    QuiItemID id(idField ? idField->getValue() : "");
    std::unique_ptr<QuiItem> amendment(type->newItem(id));
    if (!amendment)
        return false;
    amendment->fromRecord(&record);
    QuiItemList& items = *database.getItemList();
    QuiItem* item = id.isNil() ? nullptr : items.get(id);
    if (!item)
        item = FindByName(items, type, amendment->getDisplayName());
    if (!item)
        return false;
    Amend(*item, *amendment);
    return true;
}

bool Exists(const char* path)
{
    struct stat info;
    return stat(path, &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

} // namespace

KeywordFileRead MergeKeywordFile(QuiKestrel& database, const char* path, QuiTaggedField& kept)
{
    QuiXMLFileIn in;
    if (!in.openFile(path))
        return Exists(path) ? KeywordFileRead::unreadable : KeywordFileRead::missing;
    std::unique_ptr<QuiTaggedField> root(in.read());
    in.closeFile();
    if (!root)
        return KeywordFileRead::unreadable;
    std::vector<QuiTaggedField*> fields;
    root->subfieldsFetchBegin(nullptr);
    while (QuiTaggedField* field = root->subfieldsFetchNext())
        fields.push_back(field);
    root->subfieldsFetchEnd();
    root->subfieldsClear();
    std::vector<std::unique_ptr<QuiTaggedField>> owned(fields.begin(), fields.end());
    for (std::unique_ptr<QuiTaggedField>& field : owned)
        if (!field->tagIs(QuiKestrel::kTagItem) || !AmendFromRecord(database, *field))
            kept.subfieldsAdd(field.release());
    return KeywordFileRead::merged;
}
