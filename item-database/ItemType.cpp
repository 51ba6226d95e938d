#include "QuiItem.h"
#include "QuiItemList.h"
#include "Flags.h"

#include <string>

class QuiItemTypeImpl {
public:
    QuiItemID id;
    std::string name;
    std::string example;
    int flags = 0;
    QuiItem* prototype = nullptr;
};

QuiItemType::QuiItemType(const QuiItemID& id, const char* displayName, QuiItem* prototype)
    : m_impl(new QuiItemTypeImpl)
{
    m_impl->id = id;
    m_impl->name = displayName ? displayName : "";
    m_impl->prototype = prototype ? prototype : new QuiItem;
    m_impl->prototype->setType(this);
}

QuiItemType::~QuiItemType()
{
    delete m_impl->prototype;
    delete m_impl;
}

QuiItem* QuiItemType::newItem(const QuiItemID& id) { return m_impl->prototype->clone(id); }

const QuiItemID& QuiItemType::getID() const { return m_impl->id; }

const char* QuiItemType::getDisplayName() const { return m_impl->name.c_str(); }

const char* QuiItemType::getExample() const { return m_impl->example.c_str(); }

void QuiItemType::setExample(const char* example) { m_impl->example = example ? example : ""; }

int QuiItemType::getFlags() const { return m_impl->flags; }

void QuiItemType::modifyFlags(int bits, bool on) { kestrel::ModifyFlags(m_impl->flags, bits, on); }

void QuiItemType::clearFlags() { m_impl->flags = 0; }

class QuiTypeCategoryImpl {
public:
    QuiItemID id;
    std::string name;
    QuiItemTypeList types;
};

QuiTypeCategory::QuiTypeCategory(const QuiItemID& id, const char* displayName)
    : m_impl(new QuiTypeCategoryImpl)
{
    m_impl->id = id;
    m_impl->name = displayName ? displayName : "";
}

QuiTypeCategory::~QuiTypeCategory() { delete m_impl; }

const QuiItemID& QuiTypeCategory::getID() const { return m_impl->id; }

const char* QuiTypeCategory::getDisplayName() const { return m_impl->name.c_str(); }

QuiItemTypeList* QuiTypeCategory::getTypeList() { return &m_impl->types; }
