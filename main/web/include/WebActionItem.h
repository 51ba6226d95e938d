// The item database's entries for web actions: one item per connector
// subtype, so that the parser recognises an action by its keywords and the
// web action field can offer it.
#pragma once

#include <Kestrel.h>

class CWebConnectorSubtype;
class CWebConnectorDefinitionFile;

// The item types of web actions: offered everywhere; WEBACTION "no" (only
// the web editions' own destinations use them); WEBACTION "hidden". And the
// category of the first.
extern const char WEB_ACTION_TYPE_ID[];
extern const char WEB_PIMDEST_TYPE_ID[];
extern const char WEB_HIDDEN_TYPE_ID[];
extern const char WEB_ACTION_CATEGORY_ID[];

// The tag of the sub-field that names, in the item file, the item whose
// subtype a web action item takes when it is read back.
extern const char WAI_CONNECTOR_ID[];

class CWebActionItem : public QuiItem {
public:
    CWebActionItem() = default;
    CWebActionItem(const QuiItemID& id, QuiItemType* type) : QuiItem(id, type) {}

    // A new item of this class with the given identifier and this item's
    // type, standing for no subtype.
    QuiItem* clone(const QuiItemID& id) override;
    // QuiItem's copy, then the subtype of a web action item.
    QuiItem* copy(const QuiItem& from) override;
    // WAI_CONNECTOR_ID takes the subtype of the item it names in the item
    // list (see SetItemList); every other field goes to QuiItem.
    void setField(QuiTaggedField* field) override;
    // QuiItem's record, then WAI_CONNECTOR_ID with this item's identifier.
    void toRecord(QuiTaggedField* record) override;

    // The subtype the item stands for: valid until the connectors are loaded
    // again, when AddWebActionItems binds the items anew. Null when none.
    CWebConnectorSubtype* GetSubtype() const { return m_pSubtype; }
    void SetSubtype(CWebConnectorSubtype* subtype) { m_pSubtype = subtype; }

    // The item list in which WAI_CONNECTOR_ID looks items up: the datastore's,
    // set while it exists. Null: the field binds nothing.
    static void SetItemList(QuiItemList* items);

private:
    CWebConnectorSubtype* m_pSubtype = nullptr;
};

class CWebPimDestItem : public CWebActionItem {
public:
    CWebPimDestItem() = default;
    CWebPimDestItem(const QuiItemID& id, QuiItemType* type) : CWebActionItem(id, type) {}

    QuiItem* clone(const QuiItemID& id) override;
};

// The item type of a subtype, by its WEBACTION.
const char* WebActionTypeFor(const CWebConnectorSubtype& subtype);

// Brings the web action items of the database into line with the connectors
// of the collection: every web action item is unbound first; then for every
// subtype, in order, the item "<connector>_<menu string>" is bound to it,
// made when missing (of its type's class, named after the menu string, keyword
// flag 1, its first 19 comma-separated keywords, not dirty). An item held
// already keeps everything but its binding; the first subtype of an
// identifier wins. Subtypes whose type is not registered make no item.
// Returns the number of items made.
int AddWebActionItems(QuiKestrel& database, CWebConnectorDefinitionFile& connectors);
