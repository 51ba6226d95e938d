// A table from 64-bit keys to 32-bit values, one value per key, rebuilt for
// every parse: open addressing in one vector, so that filling it asks the
// heap for nothing once it has grown.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace osprey {

class FlatIndex {
public:
    static const uint32_t kNone = UINT32_MAX;

    // Empties the table, with room for `count` keys.
    void Reset(size_t count)
    {
        size_t size = 16;
        while (size < 2 * count)
            size *= 2;
        if (m_slots.size() != size)
            m_slots.assign(size, Slot{0, kNone});
        else if (m_used)
            std::fill(m_slots.begin(), m_slots.end(), Slot{0, kNone});
        m_used = 0;
    }
    // The value of the key, or kNone.
    uint32_t Find(uint64_t key) const
    {
        const uint32_t* value = const_cast<FlatIndex*>(this)->At(key);
        return value ? *value : kNone;
    }
    // Where the key's value is, or null.
    uint32_t* At(uint64_t key)
    {
        if (m_slots.empty())
            return nullptr;
        for (size_t i = Home(key);; i = (i + 1) & (m_slots.size() - 1)) {
            if (m_slots[i].value == kNone)
                return nullptr;
            if (m_slots[i].key == key)
                return &m_slots[i].value;
        }
    }
    // Where the key's value is, a new key taking `value` (never kNone, which
    // marks a free place); the table grows
    // when it fills up.
    uint32_t& Insert(uint64_t key, uint32_t value)
    {
        if (2 * (m_used + 1) > m_slots.size())
            Grow();
        for (size_t i = Home(key);; i = (i + 1) & (m_slots.size() - 1)) {
            if (m_slots[i].value == kNone) {
                m_slots[i] = {key, value};
                ++m_used;
                return m_slots[i].value;
            }
            if (m_slots[i].key == key)
                return m_slots[i].value;
        }
    }
    size_t Bytes() const { return m_slots.capacity() * sizeof(Slot); }
    void Release()
    {
        std::vector<Slot>().swap(m_slots);
        m_used = 0;
    }

private:
    struct Slot {
        uint64_t key;
        uint32_t value;
    };
    size_t Home(uint64_t key) const { return (key * 0x9E3779B97F4A7C15ull >> 20) & (m_slots.size() - 1); }
    void Grow()
    {
        std::vector<Slot> old;
        old.swap(m_slots);
        m_slots.assign(old.empty() ? 16 : 2 * old.size(), Slot{0, kNone});
        m_used = 0;
        for (const Slot& s : old) {
            if (s.value != kNone)
                Insert(s.key, s.value);
        }
    }

    std::vector<Slot> m_slots;
    size_t m_used = 0;
};

} // namespace osprey
