#include "LastCheckTable.h"

uint32_t LastCheckTable::Hash(const char* key)
{
    uint32_t h = 0;
    for (const char* p = key; *p; ++p)
        h = h * 33u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(*p)));
    return h;
}

const LastCheckTable::Entry* LastCheckTable::Find(const char* key) const
{
    for (auto it = m_entries.lower_bound(Hash(key)); it != m_entries.end(); ++it) {
        if (it->second.key == key)
            return &it->second;
    }
    return nullptr;
}

void LastCheckTable::Set(const char* key, const HeronTimeDate& time)
{
    if (Entry* entry = const_cast<Entry*>(Find(key))) {
        entry->time = time;
        return;
    }
    m_entries.emplace(Hash(key), Entry{key, time});
}

HeronTimeDate LastCheckTable::Get(const char* key) const
{
    const Entry* entry = Find(key);
    return entry ? entry->time : HeronTimeDate{{0, 0}};
}
