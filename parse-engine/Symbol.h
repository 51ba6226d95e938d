// Grammar symbols and the text hash that keys every name table of the engine.
#pragma once
#include "Osprey.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace osprey {

using WString = std::basic_string<PRSWCHAR>;

int32_t TextHash(const PRSWCHAR* text, size_t length);

} // namespace osprey

struct PrsSymbol {
    osprey::WString name;
    uint32_t index = 0;                 // dense number, in order of creation
    std::vector<PrsRule*> rules;        // rules of this left-hand side, in order of creation
};

namespace osprey {

// Symbols by name; created on first use, freed with the table.
class SymbolTable {
public:
    SymbolTable();
    PrsSymbol* Find(const PRSWCHAR* name) const;
    PrsSymbol* FindOrCreate(const PRSWCHAR* name);   // throws std::bad_alloc
    size_t Count() const { return m_all.size(); }
    PrsSymbol* At(size_t index) const { return m_all[index].get(); }

    PrsSymbol* numeral;
    PrsSymbol* word;
    PrsSymbol* punct;
    PrsSymbol* eof;

private:
    std::unordered_map<int32_t, std::vector<PrsSymbol*>> m_byHash;
    std::vector<std::unique_ptr<PrsSymbol>> m_all;
};

} // namespace osprey
