#include "QuiItemList.h"
#include "QuiItem.h"
#include "IdIndex.h"

class QuiItemTypeListImpl : public kestrel::IdIndex<QuiItemType> {};
class QuiTypeCategoryListImpl : public kestrel::IdIndex<QuiTypeCategory> {};

QuiItemTypeList::QuiItemTypeList() : m_impl(new QuiItemTypeListImpl) {}
QuiItemTypeList::~QuiItemTypeList() { delete m_impl; }
bool QuiItemTypeList::add(QuiItemType* type) { return m_impl->add(type); }
bool QuiItemTypeList::remove(QuiItemType* type) { return m_impl->remove(type); }
bool QuiItemTypeList::remove(const QuiItemID& id) { return m_impl->remove(id); }
QuiItemType* QuiItemTypeList::get(const QuiItemID& id) const { return m_impl->get(id); }
void QuiItemTypeList::deleteContents() { m_impl->deleteContents(); }
void QuiItemTypeList::fetchBegin() { m_impl->fetchBegin(); }
QuiItemType* QuiItemTypeList::fetchNext() { return m_impl->fetchNext(); }
void QuiItemTypeList::fetchEnd() {}

QuiTypeCategoryList::QuiTypeCategoryList() : m_impl(new QuiTypeCategoryListImpl) {}
QuiTypeCategoryList::~QuiTypeCategoryList() { delete m_impl; }
bool QuiTypeCategoryList::add(QuiTypeCategory* category) { return m_impl->add(category); }
bool QuiTypeCategoryList::remove(QuiTypeCategory* category) { return m_impl->remove(category); }
bool QuiTypeCategoryList::remove(const QuiItemID& id) { return m_impl->remove(id); }
QuiTypeCategory* QuiTypeCategoryList::get(const QuiItemID& id) const { return m_impl->get(id); }
void QuiTypeCategoryList::deleteContents() { m_impl->deleteContents(); }
void QuiTypeCategoryList::fetchBegin() { m_impl->fetchBegin(); }
QuiTypeCategory* QuiTypeCategoryList::fetchNext() { return m_impl->fetchNext(); }
void QuiTypeCategoryList::fetchEnd() {}
