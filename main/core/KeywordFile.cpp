#include "KeywordFile.h"

#include <cstring>
#include <string>

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

std::vector<QuiItemType*> TypesOf(QuiItemTypeList& types)
{
    std::vector<QuiItemType*> result;
    types.fetchBegin();
    while (QuiItemType* type = types.fetchNext())
        result.push_back(type);
    types.fetchEnd();
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

bool MergeKeywordFile(QuiKestrel& database, const char* path)
{
    QuiKestrel keywords;
    Loan<QuiItemTypeList, QuiItemType> loan(TypesOf(*database.getTypeList()), *keywords.getTypeList());
    if (!keywords.readFile(path))
        return false;
    QuiItemList& items = *database.getItemList();
    for (QuiItem* amendment : ItemsOf(*keywords.getItemList(), nullptr)) {
        QuiItem* item = items.get(amendment->getID());
        if (!item)
            item = FindByName(items, amendment->getType(), amendment->getDisplayName());
        if (item)
            Amend(*item, *amendment);
    }
    return true;
}
