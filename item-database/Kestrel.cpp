#include "QuiKestrel.h"
#include "QuiItem.h"
#include "QuiItemList.h"
#include "QuiTaggedField.h"
#include "QuiXMLFile.h"
#include "XMLStream.h"
#include "FileReplace.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

const char* const QuiKestrel::kTagRoot = "ITEMS";
const char* const QuiKestrel::kTagItem = "ITEM";

class QuiKestrelImpl {
public:
    // Declared first so that it goes last: the items outlive their types.
    QuiItemList items;
    QuiItemTypeList types;
    QuiTypeCategoryList categories;

    void merge(QuiTaggedField* record);
    QuiItem* itemFor(QuiItemType* type, QuiTaggedField* record);
    bool holdsItemOf(QuiTaggedField* record);
    void buildTree(QuiTaggedField* root, QuiTaggedField* records);
    bool writeTree(QuiTaggedField* root, const char* path);
};

QuiKestrel::QuiKestrel() : m_impl(new QuiKestrelImpl) {}

QuiKestrel::~QuiKestrel()
{
    m_impl->types.deleteContents();
    m_impl->categories.deleteContents();
    delete m_impl;
}

QuiItemList* QuiKestrel::getItemList() { return &m_impl->items; }

QuiItemTypeList* QuiKestrel::getTypeList() { return &m_impl->types; }

QuiTypeCategoryList* QuiKestrel::getTypeCategoryList() { return &m_impl->categories; }

bool QuiKestrel::registerType(QuiItemType* type, const QuiItemID& categoryID)
{
    if (!type)
        return false;
    QuiItemType* held = m_impl->types.get(type->getID());
    if (held && held != type)
        return false;
    if (!held)
        m_impl->types.add(type);
    if (QuiTypeCategory* category = categoryID.isNil() ? nullptr : m_impl->categories.get(categoryID))
        category->getTypeList()->add(type);
    return true;
}

void QuiKestrel::unregisterType(QuiItemType* type, const QuiItemID& categoryID)
{
    if (!type)
        return;
    if (QuiTypeCategory* category = categoryID.isNil() ? nullptr : m_impl->categories.get(categoryID))
        category->getTypeList()->remove(type);
    m_impl->types.remove(type);
}

// The item a record amends: by identifier (created from the type when new),
// else the first of the type with the same display name.
QuiItem* QuiKestrelImpl::itemFor(QuiItemType* type, QuiTaggedField* record)
{
    QuiItem* item = nullptr;
    if (QuiTaggedField* idField = record->subfieldsGet(QuiItem::kTagID)) {
        QuiItemID id(idField->getValue());
        if ((item = items.get(id)))
            return item;
        std::unique_ptr<QuiItem> made(type->newItem(id));
        return made && items.add(made.get()) ? made.release() : nullptr;
    }
    int cursor = items.fetchBegin(type);
    while ((item = items.fetchNext(cursor)) && item->recordCompare(record) != 2) {
    }
    items.fetchEnd(cursor);
    return item;
}

void QuiKestrelImpl::merge(QuiTaggedField* record)
{
    QuiTaggedField* typeField = record->subfieldsGet(QuiItem::kTagType);
    QuiItemType* type = typeField ? types.get(typeField->getValue()) : nullptr;
    if (!type)
        return;
    if (QuiItem* item = itemFor(type, record))
        item->fromRecord(record);
}

// Parsing the whole file before merging anything keeps a malformed file from
// changing the database.
bool QuiKestrel::readFile(const char* path)
{
    try {
        QuiXMLFileIn in;
        if (!in.openFile(path))
            return false;
        std::unique_ptr<QuiTaggedField> root(in.read());
        in.closeFile();
        if (!root)
            return false;
        root->subfieldsFetchBegin(kTagItem);
        while (QuiTaggedField* record = root->subfieldsFetchNext())
            m_impl->merge(record);
        root->subfieldsFetchEnd();
        return true;
    } catch (...) {
        return false;
    }
}

bool QuiKestrelImpl::holdsItemOf(QuiTaggedField* record)
{
    QuiTaggedField* id = record->tagIs(QuiKestrel::kTagItem) ? record->subfieldsGet(QuiItem::kTagID) : nullptr;
    return id && *id->getValue() && items.get(QuiItemID(id->getValue()));
}

// The records go first: where a record and an item name one entry for the
// file's next reader, the item, read last, has the last word.
void QuiKestrelImpl::buildTree(QuiTaggedField* root, QuiTaggedField* records)
{
    if (records) {
        std::vector<QuiTaggedField*> kept;
        records->subfieldsFetchBegin(nullptr);
        while (QuiTaggedField* record = records->subfieldsFetchNext())
            if (!holdsItemOf(record))
                kept.push_back(record);
        records->subfieldsFetchEnd();
        for (QuiTaggedField* record : kept)
            root->subfieldsAdd(record->copy());
    }
    int cursor = items.fetchBegin(nullptr);
    while (QuiItem* item = items.fetchNext(cursor)) {
        QuiTaggedField* record = new QuiTaggedField(QuiKestrel::kTagItem, nullptr);
        root->subfieldsAdd(record);
        item->toRecord(record);
    }
    items.fetchEnd(cursor);
}

// The target is replaced only by a temporary file that was written and
// closed without error.
bool QuiKestrelImpl::writeTree(QuiTaggedField* root, const char* path)
{
    std::string temporary = kestrel::TemporaryNameFor(path);
    QuiXMLFileOut out;
    if (!out.createFile(temporary.c_str()))
        return false;
    bool written = out.write(root);
    written = out.closeFile() && written;
    if (written && kestrel::ReplaceFileWith(temporary.c_str(), path))
        return true;
    std::remove(temporary.c_str());
    return false;
}

bool QuiKestrel::writeFile(const char* path) { return writeFile(path, nullptr); }

bool QuiKestrel::writeFile(const char* path, QuiTaggedField* records)
{
    if (!path || !*path)
        return false;
    try {
        QuiTaggedField root(kTagRoot, nullptr);
        m_impl->buildTree(&root, records);
        return QuiXMLStream::canWrite(&root) && m_impl->writeTree(&root, path);
    } catch (...) {
        return false;
    }
}
