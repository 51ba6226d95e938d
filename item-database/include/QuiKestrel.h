// The item database: one item list, one type list, one category list, and the
// item file they are read from and written to.
#pragma once
#include "KestrelApi.h"
#include "QuiItemID.h"

class QuiItemType;
class QuiItemList;
class QuiTaggedField;
class QuiItemTypeList;
class QuiTypeCategoryList;
class QuiKestrelImpl;

class KESTREL_API QuiKestrel {
public:
    static const char* const kTagRoot;
    static const char* const kTagItem;

    QuiKestrel();
    // Destroys the types, then the categories, then the items.
    virtual ~QuiKestrel();
    QuiKestrel(const QuiKestrel&) = delete;
    QuiKestrel& operator=(const QuiKestrel&) = delete;

    QuiItemList* getItemList();
    QuiItemTypeList* getTypeList();
    QuiTypeCategoryList* getTypeCategoryList();

    // Enters the type, and into the category's type list unless the category
    // is nil or absent; the database owns the type from then on. False, and
    // nothing taken, when another type with that identifier is registered:
    // the caller still owns `type`.
    bool registerType(QuiItemType* type, const QuiItemID& categoryID);
    // Takes the type out of the category and the type list without
    // destroying it. Items keep their type's identifier for writing, so the
    // type may be destroyed once no caller uses the items' getType().
    void unregisterType(QuiItemType* type, const QuiItemID& categoryID);

    // Reads the whole file, then merges its records: by identifier, else by
    // type and exact display name. False, with nothing merged, when the file
    // cannot be opened or is not well formed. Dirty flags are left alone.
    bool readFile(const char* path);
    // Writes every item to a temporary file of this process's own beside
    // `path`, forces it to the disk and replaces `path` only after a complete,
    // checked write. False, with `path` untouched, when an item cannot be
    // represented in the file or anything fails.
    bool writeFile(const char* path);
    // As writeFile, with a copy of each sub-field of `records` before the
    // items: what a reader took from an item file and could not use, written
    // back unchanged for the file's next reader. A record with the identifier
    // of an item is left out: the item is the newer word on it. Null writes
    // the items alone.
    bool writeFile(const char* path, QuiTaggedField* records);

private:
    QuiKestrelImpl* m_impl;
};
