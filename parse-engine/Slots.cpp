#include "Slots.h"

#include "CharClass.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace osprey {

//--- blocks

Block* Block::Make(uint32_t size)
{
    void* raw = ::operator new(sizeof(Block) + size);
    return new (raw) Block;
}

void Block::Release()
{
    if (--m_refs == 0) {
        this->~Block();
        ::operator delete(this);
    }
}

//--- values

SlotValue::SlotValue(const SlotValue& other)
    : m_kind(other.m_kind), m_n(other.m_n), m_block(other.m_block)
{
    if (m_block)
        m_block->Retain();
}

SlotValue::SlotValue(SlotValue&& other) noexcept
    : m_kind(other.m_kind), m_n(other.m_n), m_block(other.m_block)
{
    other.m_kind = kNoValue;
    other.m_n = 0;
    other.m_block = nullptr;
}

SlotValue& SlotValue::operator=(const SlotValue& other)
{
    if (other.m_block)
        other.m_block->Retain();
    if (m_block)
        m_block->Release();
    m_kind = other.m_kind;
    m_n = other.m_n;
    m_block = other.m_block;
    return *this;
}

SlotValue& SlotValue::operator=(SlotValue&& other) noexcept
{
    if (this != &other) {
        if (m_block)
            m_block->Release();
        m_kind = other.m_kind;
        m_n = other.m_n;
        m_block = other.m_block;
        other.m_kind = kNoValue;
        other.m_n = 0;
        other.m_block = nullptr;
    }
    return *this;
}

SlotValue::~SlotValue()
{
    if (m_block)
        m_block->Release();
}

SlotValue SlotValue::Int(int32_t value)
{
    SlotValue v;
    v.m_kind = kIntValue;
    v.m_n = value;
    return v;
}

SlotValue SlotValue::String(const PRSWCHAR* text, size_t length)
{
    if (length > (INT32_MAX / sizeof(PRSWCHAR)) - 1)
        throw std::bad_alloc();
    uint32_t bytes = static_cast<uint32_t>((length + 1) * sizeof(PRSWCHAR));
    SlotValue v;
    v.m_block = Block::Make(bytes);
    PRSWCHAR* out = reinterpret_cast<PRSWCHAR*>(v.m_block->Bytes());
    std::copy(text, text + length, out);
    out[length] = 0;
    v.m_kind = kStringValue;
    v.m_n = static_cast<int32_t>(bytes);
    return v;
}

SlotValue SlotValue::Data(const void* bytes, uint32_t count)
{
    if (count > INT32_MAX)
        throw std::bad_alloc();
    SlotValue v;
    v.m_block = Block::Make(count);
    if (count)
        std::memcpy(v.m_block->Bytes(), bytes, count);
    v.m_kind = kDataValue;
    v.m_n = static_cast<int32_t>(count);
    return v;
}

const PRSWCHAR* SlotValue::Text() const
{
    return reinterpret_cast<const PRSWCHAR*>(m_block->Bytes());
}

size_t SlotValue::TextLength() const
{
    return static_cast<size_t>(m_n) / sizeof(PRSWCHAR) - 1;
}

const void* SlotValue::DataBytes() const
{
    return m_block->Bytes();
}

//--- comparisons

size_t TextLength(const PRSWCHAR* text)
{
    size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

int CompareText(const PRSWCHAR* a, const PRSWCHAR* b)
{
    for (;; ++a, ++b) {
        unsigned ca = static_cast<uint16_t>(*a), cb = static_cast<uint16_t>(*b);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (!ca)
            return 0;
    }
}

namespace {

// Byte order; of two data values where one is a prefix of the other, the
// shorter comes first.
int CompareData(const SlotValue& a, const SlotValue& b)
{
    size_t n = static_cast<size_t>(std::min(a.Length(), b.Length()));
    int c = n ? std::memcmp(a.DataBytes(), b.DataBytes(), n) : 0;
    if (c)
        return c < 0 ? -1 : 1;
    return a.Length() == b.Length() ? 0 : (a.Length() < b.Length() ? -1 : 1);
}

// Order of two values of the same kind.
int CompareSameKind(const SlotValue& a, const SlotValue& b)
{
    switch (a.Kind()) {
    case kIntValue:
        return a.IntValue() == b.IntValue() ? 0 : (a.IntValue() < b.IntValue() ? -1 : 1);
    case kStringValue:
        return CompareText(a.Text(), b.Text());
    case kDataValue:
        return CompareData(a, b);
    default:
        return 0;
    }
}

} // namespace

const SlotRecord* FindSlot(SlotSpan slots, int32_t id)
{
    const SlotRecord* it = std::lower_bound(slots.begin, slots.end(), id,
        [](const SlotRecord& r, int32_t want) { return r.id < want; });
    return (it != slots.end() && it->id == id) ? it : nullptr;
}

bool ValuesEqual(const SlotValue& a, const SlotValue& b)
{
    if (a.Kind() != b.Kind())
        return false;
    switch (a.Kind()) {
    case kIntValue:
        return a.IntValue() == b.IntValue();
    case kStringValue:
    case kDataValue:
        // Lengths first: a shorter value is never read past its end.
        return a.Length() == b.Length() && std::memcmp(a.DataBytes(), b.DataBytes(), a.Length()) == 0;
    default:
        return true;
    }
}

bool InRange(const SlotValue& v, const SlotValue& low, const SlotValue& high)
{
    if (low.Kind() != kNoValue) {
        if (low.Kind() != v.Kind() || CompareSameKind(v, low) < 0)
            return false;
    }
    if (high.Kind() == kNoValue)
        return true;
    return high.Kind() == v.Kind() && CompareSameKind(v, high) <= 0;
}

bool SlotSetsEqual(SlotSpan a, SlotSpan b)
{
    if (a.count != b.count)
        return false;
    for (size_t i = 0; i < a.count; ++i) {
        if (a.begin[i].id != b.begin[i].id || !ValuesEqual(a.begin[i].value, b.begin[i].value))
            return false;
    }
    return true;
}

uint64_t SlotSetHash(SlotSpan slots)
{
    uint64_t h = 14695981039346656037ull;
    auto mix = [&h](const void* bytes, size_t count) {
        for (size_t i = 0; i < count; ++i)
            h = (h ^ static_cast<const unsigned char*>(bytes)[i]) * 1099511628211ull;
    };
    for (const SlotRecord* r = slots.begin; r != slots.end(); ++r) {
        const int32_t head[3] = {r->id, static_cast<int32_t>(r->value.Kind()), r->value.Length()};
        mix(head, sizeof head);
        if (r->value.Kind() == kStringValue || r->value.Kind() == kDataValue)
            mix(r->value.DataBytes(), static_cast<size_t>(r->value.Length()));
    }
    return h;
}

} // namespace osprey

//--- the slot set

osprey::SlotRecord& Slots::FindOrInsert(int32_t id)
{
    auto it = std::lower_bound(records.begin(), records.end(), id,
        [](const osprey::SlotRecord& r, int32_t want) { return r.id < want; });
    if (it != records.end() && it->id == id)
        return *it;
    it = records.insert(it, osprey::SlotRecord());
    it->id = id;
    return *it;
}

void Slots::AppendText(int32_t id, const PRSWCHAR* text, size_t length)
{
    if (length == 0)
        return;
    const osprey::SlotRecord* old = Find(id);
    if (!old || old->value.Kind() != osprey::kStringValue) {
        Set(id, osprey::SlotValue::String(text, length));
        return;
    }
    std::basic_string<PRSWCHAR> joined(old->value.Text(), old->value.TextLength());
    if (osprey::ClassOf(text[0]) != osprey::kPunct)
        joined += PRSWCHAR(' ');
    joined.append(text, length);
    Set(id, osprey::SlotValue::String(joined.data(), joined.size()));
}
