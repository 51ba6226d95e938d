// Slot sets: small tables of numbered values sorted by id. String and data
// values live in reference-counted blocks, so copying a set copies records
// only.
#pragma once
#include "Osprey.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace osprey {

enum SlotKind : uint32_t { kNoValue = 0, kIntValue = 1, kStringValue = 2, kDataValue = 3 };

// A heap block of bytes shared by every value that holds it.
class Block {
public:
    static Block* Make(uint32_t size);   // uninitialised bytes; throws std::bad_alloc
    void Retain() { ++m_refs; }
    void Release();
    const unsigned char* Bytes() const { return reinterpret_cast<const unsigned char*>(this + 1); }
    unsigned char* Bytes() { return reinterpret_cast<unsigned char*>(this + 1); }

private:
    Block() = default;
    uint32_t m_refs = 1;
};

// One value: an integer, a terminated UTF-16 text or a run of bytes.
class SlotValue {
public:
    SlotValue() = default;
    SlotValue(const SlotValue& other);
    SlotValue(SlotValue&& other) noexcept;
    SlotValue& operator=(const SlotValue& other);
    SlotValue& operator=(SlotValue&& other) noexcept;
    ~SlotValue();

    static SlotValue Int(int32_t value);
    static SlotValue String(const PRSWCHAR* text, size_t length);
    static SlotValue Data(const void* bytes, uint32_t count);

    SlotKind Kind() const { return m_kind; }
    int32_t IntValue() const { return m_n; }
    // Byte length: of the text with its terminator for strings.
    int32_t Length() const { return m_n; }
    const PRSWCHAR* Text() const;           // kind 2 only
    size_t TextLength() const;              // characters, kind 2 only
    const void* DataBytes() const;          // kind 3 only

private:
    SlotKind m_kind = kNoValue;
    int32_t m_n = 0;
    Block* m_block = nullptr;
};

struct SlotRecord {
    int32_t id = 0;
    SlotValue value;
};

// A read-only view of sorted records, wherever they are stored.
struct SlotSpan {
    const SlotRecord* begin = nullptr;
    size_t count = 0;
    const SlotRecord* end() const { return begin + count; }
};

const SlotRecord* FindSlot(SlotSpan slots, int32_t id);
bool ValuesEqual(const SlotValue& a, const SlotValue& b);
// Both bounds inclusive; a bound without a value is open.
bool InRange(const SlotValue& v, const SlotValue& low, const SlotValue& high);
bool SlotSetsEqual(SlotSpan a, SlotSpan b);
// Equal sets hash alike.
uint64_t SlotSetHash(SlotSpan slots);
// Wide-text order of two terminated texts, by unsigned code unit.
int CompareText(const PRSWCHAR* a, const PRSWCHAR* b);
size_t TextLength(const PRSWCHAR* text);

} // namespace osprey

// The slot set behind the exported handle.
struct Slots {
    std::vector<osprey::SlotRecord> records;

    osprey::SlotSpan Span() const { return {records.data(), records.size()}; }
    const osprey::SlotRecord* Find(int32_t id) const { return osprey::FindSlot(Span(), id); }
    // The record of that id, inserted without a value when missing.
    osprey::SlotRecord& FindOrInsert(int32_t id);
    void Set(int32_t id, osprey::SlotValue value) { FindOrInsert(id).value = std::move(value); }
    // Appends text with a separating space unless it starts with punctuation.
    void AppendText(int32_t id, const PRSWCHAR* text, size_t length);
};
