#include "WebActionItem.h"

#include <cstring>
#include <vector>

#include "QuotedFields.h"
#include "WebConnector.h"

const char WEB_ACTION_TYPE_ID[] = "60D56130-EC76-11d2-AC97-00A0247B3DBA";
const char WEB_PIMDEST_TYPE_ID[] = "A34E4770-F2AD-11d2-AC9C-00A0247B3DBA";
const char WEB_HIDDEN_TYPE_ID[] = "A34E4772-F2AD-11d2-AC9C-00A0247B3DBA";
const char WEB_ACTION_CATEGORY_ID[] = "9D3F8900-F9BD-11d2-A0F8-00104B9522AA";
const char WAI_CONNECTOR_ID[] = "WAI_CONNECTOR_ID";

namespace {

QuiItemList* g_itemList = nullptr;

const int kMaxKeywords = 19;
// The flag by which the alias package enters an item's keywords.
const int kWebActionFlag = 0x1;

// The comma-separated parts of the KEYWORDS text, taken as they stand.
void AddKeywords(QuiItem& item, const CString& keywords)
{
    std::vector<char> line(keywords.GetString(), keywords.GetString() + keywords.GetLength() + 1);
    std::vector<char*> parts(line.size() + 1);
    int count = SplitCsvLine(line.data(), parts.data(), static_cast<int>(parts.size()));
    for (int i = 0; i < count && i < kMaxKeywords; ++i)
        item.keywordsAdd(parts[static_cast<size_t>(i)]);
}

void UnbindAll(QuiItemList& items)
{
    int cursor = items.fetchBegin(nullptr);
    while (QuiItem* item = items.fetchNext(cursor)) {
        if (CWebActionItem* action = dynamic_cast<CWebActionItem*>(item))
            action->SetSubtype(nullptr);
    }
    items.fetchEnd(cursor);
}

} // namespace

//--- CWebActionItem

void CWebActionItem::SetItemList(QuiItemList* items)
{
    g_itemList = items;
}

QuiItem* CWebActionItem::clone(const QuiItemID& id)
{
    return new CWebActionItem(id, getType());
}

QuiItem* CWebActionItem::copy(const QuiItem& from)
{
    QuiItem::copy(from);
    if (const CWebActionItem* action = dynamic_cast<const CWebActionItem*>(&from))
        m_pSubtype = action->m_pSubtype;
    return this;
}

void CWebActionItem::setField(QuiTaggedField* field)
{
    if (!field->tagIs(WAI_CONNECTOR_ID)) {
        QuiItem::setField(field);
        return;
    }
    QuiItem* named = g_itemList ? g_itemList->get(QuiItemID(field->getValue())) : nullptr;
    if (CWebActionItem* action = dynamic_cast<CWebActionItem*>(named))
        m_pSubtype = action->m_pSubtype;
}

void CWebActionItem::toRecord(QuiTaggedField* record)
{
    QuiItem::toRecord(record);
    record->subfieldsAdd(new QuiTaggedField(WAI_CONNECTOR_ID, getID().toString()));
}

//--- CWebPimDestItem

QuiItem* CWebPimDestItem::clone(const QuiItemID& id)
{
    return new CWebPimDestItem(id, getType());
}

//--- the items of the enabled connectors

const char* WebActionTypeFor(const CWebConnectorSubtype& subtype)
{
    if (subtype.IsNoAction())
        return WEB_PIMDEST_TYPE_ID;
    if (subtype.IsHidden())
        return WEB_HIDDEN_TYPE_ID;
    return WEB_ACTION_TYPE_ID;
}

int AddWebActionItems(QuiKestrel& database, CWebConnectorDefinitionFile& connectors)
{
    QuiItemList& items = *database.getItemList();
    UnbindAll(items);
    int made = 0;
    for (CWebConnectorDef& connector : connectors.GetConnectors()) {
        for (CWebConnectorSubtype& subtype : connector.m_subtypes) {
            CString id;
            id.Format("%s_%s", connector.m_strName.GetString(), subtype.m_strMenuString.GetString());
            if (QuiItem* held = items.get(QuiItemID(id))) {
                CWebActionItem* action = dynamic_cast<CWebActionItem*>(held);
                if (action && !action->GetSubtype())
                    action->SetSubtype(&subtype);
                continue;
            }
            QuiItemType* type = database.getTypeList()->get(QuiItemID(WebActionTypeFor(subtype)));
            QuiItem* item = type ? type->newItem(QuiItemID(id)) : nullptr;
            CWebActionItem* action = dynamic_cast<CWebActionItem*>(item);
            if (!action) {
                delete item;
                continue;
            }
            action->SetSubtype(&subtype);
            action->setDisplayName(subtype.m_strMenuString);
            action->modifyFlags(kWebActionFlag, true);
            AddKeywords(*action, subtype.m_strKeywords);
            action->setDirty(false);
            if (items.add(action))
                ++made;
            else
                delete action;
        }
    }
    return made;
}
