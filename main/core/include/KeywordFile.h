// The keyword file: the user's changes to items' keywords and flags, kept
// beside the item file and merged into the items at every load. With the
// walks over the item database's lists and the loan of objects between
// databases that reading and writing it take.
#pragma once

#include <Kestrel.h>

#include <vector>

// The items of a type (every item for null), and every type, as lists that
// stay valid while the database changes.
std::vector<QuiItem*> ItemsOf(QuiItemList& items, QuiItemType* type);
std::vector<QuiItemType*> TypesOf(QuiItemTypeList& types);

// Lends objects of one database to a temporary one and takes them back when
// it goes, so that the temporary database never destroys them.
template <class List, class Object>
class Loan {
public:
    Loan(const std::vector<Object*>& objects, List& to) : m_to(to)
    {
        for (Object* object : objects)
            if (m_to.add(object))
                m_objects.push_back(object);
    }
    ~Loan()
    {
        for (Object* object : m_objects)
            m_to.remove(object);
    }
    Loan(const Loan&) = delete;
    Loan& operator=(const Loan&) = delete;

private:
    List& m_to;
    std::vector<Object*> m_objects;
};

// The first item of the type whose display name is exactly `name`.
QuiItem* FindByName(QuiItemList& items, QuiItemType* type, const char* name);

// The keyword file amends an item's keywords and flags; what ties the item
// to its back end or its connector, and its display name, stay its own.
void Amend(QuiItem& item, const QuiItem& amendment);

// Reads the keyword file at path with the database's types and amends the
// item of each entry's identifier, or else the item of its type and name;
// entries that match no item are dropped. False when the file cannot be read.
bool MergeKeywordFile(QuiKestrel& database, const char* path);
