// The worker's times of the last read per list, for the members that report
// what changed since then. Kept in memory only.
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

// A Notes time stamp, as the function library gives it.
struct HeronTimeDate {
    DWORD innards[2];
};

class LastCheckTable {
public:
    struct Entry {
        std::string key;
        HeronTimeDate time;
    };

    // h = h * 33 + byte over the key's bytes taken as signed chars, modulo 2^32.
    static uint32_t Hash(const char* key);

    void Set(const char* key, const HeronTimeDate& time);
    // The entry of exactly that key (case-sensitive), or null.
    const Entry* Find(const char* key) const;
    // The stored time, or eight zero bytes for an unknown key.
    HeronTimeDate Get(const char* key) const;
    size_t Size() const { return m_entries.size(); }

private:
    std::multimap<uint32_t, Entry> m_entries;
};
