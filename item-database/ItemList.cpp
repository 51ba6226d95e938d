#include "QuiItemList.h"
#include "QuiItem.h"

#include <map>
#include <unordered_map>

namespace {
typedef std::map<QuiItemID, QuiItem*> ByID;
// Grouped by the type object's identity, in order of adding within a type.
typedef std::multimap<QuiItemType*, QuiItem*> ByType;

struct Cursor {
    ByType::iterator next;
    QuiItemType* type; // null: every item
};

// Where an item is entered, so that removing it never depends on the
// identifier or type it carries now.
struct Place {
    ByID::iterator byID;
    ByType::iterator byType;
};
}

class QuiItemListImpl {
public:
    ByID byID;
    ByType byType;
    std::unordered_map<const QuiItem*, Place> places;
    std::map<int, Cursor> cursors;
    int lastCursor = 0;

    void erase(std::unordered_map<const QuiItem*, Place>::iterator place)
    {
        ByType::iterator entry = place->second.byType;
        for (auto& cursor : cursors) {
            if (cursor.second.next == entry)
                ++cursor.second.next;
        }
        byType.erase(entry);
        byID.erase(place->second.byID);
        places.erase(place);
    }
};

QuiItemList::QuiItemList() : m_impl(new QuiItemListImpl) {}

QuiItemList::~QuiItemList()
{
    for (auto& entry : m_impl->byID)
        delete entry.second;
    delete m_impl;
}

bool QuiItemList::add(QuiItem* item)
{
    if (!item || m_impl->places.count(item))
        return false;
    auto entered = m_impl->byID.insert(ByID::value_type(item->getID(), item));
    if (!entered.second)
        return false;
    Place place;
    place.byID = entered.first;
    place.byType = m_impl->byType.insert(ByType::value_type(item->getType(), item));
    m_impl->places[item] = place;
    return true;
}

bool QuiItemList::remove(QuiItem* item)
{
    auto place = m_impl->places.find(item);
    if (place == m_impl->places.end())
        return false;
    m_impl->erase(place);
    return true;
}

QuiItem* QuiItemList::get(const QuiItemID& id) const
{
    auto it = m_impl->byID.find(id);
    return it == m_impl->byID.end() ? nullptr : it->second;
}

int QuiItemList::fetchBegin(QuiItemType* type)
{
    Cursor cursor;
    cursor.type = type;
    cursor.next = type ? m_impl->byType.lower_bound(type) : m_impl->byType.begin();
    int handle = ++m_impl->lastCursor;
    m_impl->cursors[handle] = cursor;
    return handle;
}

QuiItem* QuiItemList::fetchNext(int handle)
{
    auto found = m_impl->cursors.find(handle);
    if (found == m_impl->cursors.end())
        return nullptr;
    Cursor& cursor = found->second;
    if (cursor.next == m_impl->byType.end())
        return nullptr;
    if (cursor.type && cursor.next->first != cursor.type)
        return nullptr;
    return (cursor.next++)->second;
}

void QuiItemList::fetchEnd(int handle) { m_impl->cursors.erase(handle); }
