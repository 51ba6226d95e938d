// The one-entry-per-identifier index with a single cursor behind the lists of
// item types and of type categories.
#pragma once
#include "QuiItemID.h"

#include <map>

namespace kestrel {

template <class Entry>
class IdIndex {
public:
    bool add(Entry* entry)
    {
        return entry && m_entries.insert(typename Map::value_type(entry->getID(), entry)).second;
    }

    // Only the object held: a different one with the same identifier stays.
    bool remove(Entry* entry)
    {
        if (!entry)
            return false;
        auto it = m_entries.find(entry->getID());
        if (it == m_entries.end() || it->second != entry)
            return false;
        erase(it);
        return true;
    }

    bool remove(const QuiItemID& id)
    {
        auto it = m_entries.find(id);
        if (it == m_entries.end())
            return false;
        erase(it);
        return true;
    }

    Entry* get(const QuiItemID& id) const
    {
        auto it = m_entries.find(id);
        return it == m_entries.end() ? nullptr : it->second;
    }

    void deleteContents()
    {
        Map doomed;
        doomed.swap(m_entries);
        m_cursor = m_entries.end();
        for (auto& entry : doomed)
            delete entry.second;
    }

    void fetchBegin() { m_cursor = m_entries.begin(); }

    Entry* fetchNext()
    {
        if (m_cursor == m_entries.end())
            return nullptr;
        return (m_cursor++)->second;
    }

private:
    typedef std::map<QuiItemID, Entry*> Map;

    // A running cursor steps over the entry being removed.
    void erase(typename Map::iterator it)
    {
        if (m_cursor == it)
            ++m_cursor;
        m_entries.erase(it);
    }

    Map m_entries;
    typename Map::iterator m_cursor = m_entries.end();
};

}
