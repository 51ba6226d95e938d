// Items, item types with their prototype items, and type categories.
#pragma once
#include "KestrelApi.h"
#include "QuiItemID.h"

class QuiTaggedField;
class QuiItemType;
class QuiItemTypeList;
class QuiItemImpl;
class QuiItemTypeImpl;
class QuiTypeCategoryImpl;

// Whatever a back end hangs on an item; the database never looks inside it.
class QuiForeignKey;

// One thing the parser can recognise. The main program derives from it: the
// order of the virtual operations is part of the library's interface.
class KESTREL_API QuiItem {
public:
    static const char* const kTagID;
    static const char* const kTagType;
    static const char* const kTagDisplayName;
    static const char* const kTagFlags;
    static const char* const kTagKeywords;
    static const char* const kTagKeyword;

    QuiItem();
    QuiItem(const QuiItemID& id, QuiItemType* type);
    virtual ~QuiItem();
    QuiItem& operator=(const QuiItem&) = delete;

    // A new item of this item's own class, made by its copy constructor and
    // given `id`; the caller owns it.
    virtual QuiItem* clone(const QuiItemID& id);
    // Takes dirty flag, keywords, display name, foreign key and flags from
    // `from` (identifier and type stay); always leaves this item dirty.
    virtual QuiItem* copy(const QuiItem& from);
    // Passes every sub-field of the record to setField.
    virtual void fromRecord(QuiTaggedField* record);
    // NAME, KEYWORDS and FLAGS; every other tag is ignored.
    virtual void setField(QuiTaggedField* field);
    // Adds ID, TYPE (only when the item has a type), NAME, KEYWORDS, FLAGS.
    virtual void toRecord(QuiTaggedField* record);
    // 3 same identifier, 2 same type and display name, 1 same type, else 0.
    virtual int recordCompare(QuiTaggedField* record);

    const QuiItemID& getID() const;
    void setID(const QuiItemID& id);
    // The type is not owned. Change identifier or type only while no item
    // list holds the item: the lists index it by both.
    QuiItemType* getType() const;
    void setType(QuiItemType* type);

    void keywordsFetchBegin();
    const char* keywordsFetchNext();
    void keywordsFetchEnd();
    void keywordsAdd(const char* keyword);
    void keywordsClear();

    const char* getDisplayName() const;
    void setDisplayName(const char* name);
    bool getDirty() const;
    void setDirty(bool dirty);
    int getFlags() const;
    void modifyFlags(int bits, bool on);
    void clearFlags();
    QuiForeignKey* getForeignKey() const;
    // Marks the item dirty.
    void setForeignKey(QuiForeignKey* key);

protected:
    // Copies type, keywords, display name, dirty flag and flags; the
    // identifier starts nil and the foreign key null.
    QuiItem(const QuiItem& other);

private:
    QuiItemImpl* m_impl;
};

class KESTREL_API QuiItemType {
public:
    // Takes ownership of `prototype` (a plain QuiItem when null) and makes
    // this its type.
    QuiItemType(const QuiItemID& id, const char* displayName, QuiItem* prototype);
    virtual ~QuiItemType();
    QuiItemType(const QuiItemType&) = delete;
    QuiItemType& operator=(const QuiItemType&) = delete;

    // A clone of the prototype with the given identifier; the caller owns it.
    virtual QuiItem* newItem(const QuiItemID& id);

    const QuiItemID& getID() const;
    const char* getDisplayName() const;
    const char* getExample() const;
    void setExample(const char* example);
    int getFlags() const;
    void modifyFlags(int bits, bool on);
    void clearFlags();

private:
    QuiItemTypeImpl* m_impl;
};

class KESTREL_API QuiTypeCategory {
public:
    QuiTypeCategory(const QuiItemID& id, const char* displayName);
    // Destroys the list, not the types in it.
    virtual ~QuiTypeCategory();
    QuiTypeCategory(const QuiTypeCategory&) = delete;
    QuiTypeCategory& operator=(const QuiTypeCategory&) = delete;

    const QuiItemID& getID() const;
    const char* getDisplayName() const;
    QuiItemTypeList* getTypeList();

private:
    QuiTypeCategoryImpl* m_impl;
};
