// The containers of the item database: the owning item list and the
// non-owning lists of item types and type categories.
#pragma once
#include "KestrelApi.h"
#include "QuiItemID.h"

class QuiItem;
class QuiItemType;
class QuiTypeCategory;
class QuiItemListImpl;
class QuiItemTypeListImpl;
class QuiTypeCategoryListImpl;

// Owns its items. Several cursors may run at once, and items may be added or
// removed while they run: a cursor never returns a removed item.
class KESTREL_API QuiItemList {
public:
    QuiItemList();
    // Destroys every item still held.
    virtual ~QuiItemList();
    // A copy would own the same items twice.
    QuiItemList(const QuiItemList&) = delete;
    QuiItemList& operator=(const QuiItemList&) = delete;

    // False, and nothing changes, when an item with the same identifier is
    // held (the caller keeps `item`); else the list owns it.
    bool add(QuiItem* item);
    // Takes this very object out, wherever it is indexed; false when the list
    // does not hold it. The caller owns the item again.
    bool remove(QuiItem* item);
    QuiItem* get(const QuiItemID& id) const;

    // A new cursor over the items of `type` in order of adding, or over all
    // items grouped by type when `type` is null.
    int fetchBegin(QuiItemType* type);
    QuiItem* fetchNext(int cursor);
    void fetchEnd(int cursor);

private:
    QuiItemListImpl* m_impl;
};

// Refers to types without owning them; one cursor, in identifier order.
class KESTREL_API QuiItemTypeList {
public:
    QuiItemTypeList();
    virtual ~QuiItemTypeList();
    QuiItemTypeList(const QuiItemTypeList&) = delete;
    QuiItemTypeList& operator=(const QuiItemTypeList&) = delete;

    bool add(QuiItemType* type);
    // Only this very object: another type with the same identifier stays.
    bool remove(QuiItemType* type);
    bool remove(const QuiItemID& id);
    QuiItemType* get(const QuiItemID& id) const;
    // Destroys every type held and leaves the list empty.
    void deleteContents();

    void fetchBegin();
    QuiItemType* fetchNext();
    void fetchEnd();

private:
    QuiItemTypeListImpl* m_impl;
};

// Refers to categories without owning them; one cursor, in identifier order.
class KESTREL_API QuiTypeCategoryList {
public:
    QuiTypeCategoryList();
    virtual ~QuiTypeCategoryList();
    QuiTypeCategoryList(const QuiTypeCategoryList&) = delete;
    QuiTypeCategoryList& operator=(const QuiTypeCategoryList&) = delete;

    bool add(QuiTypeCategory* category);
    // Only this very object: another category with the same identifier stays.
    bool remove(QuiTypeCategory* category);
    bool remove(const QuiItemID& id);
    QuiTypeCategory* get(const QuiItemID& id) const;
    // Destroys every category held and leaves the list empty.
    void deleteContents();

    void fetchBegin();
    QuiTypeCategory* fetchNext();
    void fetchEnd();

private:
    QuiTypeCategoryListImpl* m_impl;
};
