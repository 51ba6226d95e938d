#include "Symbol.h"

#include "Slots.h"

namespace osprey {

int32_t TextHash(const PRSWCHAR* text, size_t length)
{
    uint32_t h = 0;
    for (size_t i = 0; i < length; ++i) {
        uint32_t high = h >> 24;
        if (h & 0x80000000u)
            high |= 0xFFFFFF00u;           // the shift keeps the sign
        h = (high | (h << 8)) + static_cast<uint16_t>(text[i]);
    }
    return static_cast<int32_t>(h);
}

namespace {

const PRSWCHAR kNumeral[] = {'n', 'u', 'm', 'e', 'r', 'a', 'l', 0};
const PRSWCHAR kWord[] = {'w', 'o', 'r', 'd', 0};
const PRSWCHAR kPunct[] = {'p', 'u', 'n', 'c', 't', 0};
const PRSWCHAR kEof[] = {'e', 'o', 'f', 0};

} // namespace

SymbolTable::SymbolTable()
{
    numeral = FindOrCreate(kNumeral);
    word = FindOrCreate(kWord);
    punct = FindOrCreate(kPunct);
    eof = FindOrCreate(kEof);
}

PrsSymbol* SymbolTable::Find(const PRSWCHAR* name) const
{
    size_t length = TextLength(name);
    auto it = m_byHash.find(TextHash(name, length));
    if (it == m_byHash.end())
        return nullptr;
    for (PrsSymbol* s : it->second) {
        if (s->name.size() == length && s->name.compare(0, length, name, length) == 0)
            return s;
    }
    return nullptr;
}

PrsSymbol* SymbolTable::FindOrCreate(const PRSWCHAR* name)
{
    if (PrsSymbol* found = Find(name))
        return found;
    auto symbol = std::make_unique<PrsSymbol>();
    symbol->name = name;
    symbol->index = static_cast<uint32_t>(m_all.size());
    std::vector<PrsSymbol*>& bucket = m_byHash[TextHash(name, symbol->name.size())];
    m_all.reserve(m_all.size() + 1);
    bucket.push_back(symbol.get());
    m_all.push_back(std::move(symbol));
    return m_all.back().get();
}

} // namespace osprey
