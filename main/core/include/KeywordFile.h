// The keyword file: the user's changes to items' keywords and flags, kept
// beside the item file and merged into the items at every load. With the
// walk over the item database's items and the loan of items to the database
// that writing it takes.
#pragma once

#include <Kestrel.h>

#include <vector>

// The items of a type (every item for null), as a list that stays valid
// while the database changes.
std::vector<QuiItem*> ItemsOf(QuiItemList& items, QuiItemType* type);

// Lends objects of one database to a temporary one and takes them back when
// it goes, so that the temporary database never destroys them.
template <class List, class Object>
class Loan {
public:
    Loan(const std::vector<Object*>& objects, List& to) : m_to(to)
    {
        // Room first: once an object is lent, nothing may throw before this
        // loan records it, or the temporary database would destroy it.
        m_objects.reserve(objects.size());
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

// What reading the keyword file came to.
enum class KeywordFileRead { missing, merged, unreadable };

// Reads the keyword file at path and amends, for each record of a type the
// database registers, the item of its identifier, or else the first item of
// its type with the record's display name. The keyword file never adds
// items: what amends no item (and whatever else the file's root holds) is
// moved unchanged into `kept`, in file order, for the next save to write
// back. `unreadable`, with nothing merged or kept, when the file is there but
// cannot be opened or its text is rejected.
KeywordFileRead MergeKeywordFile(QuiKestrel& database, const char* path, QuiTaggedField& kept);
