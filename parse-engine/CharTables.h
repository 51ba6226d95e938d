// Character tables of the engine's own (generated into CharTables.cpp).
#pragma once
#include <cstdint>

namespace osprey {

enum CharClass : uint8_t { kLetter = 0, kDigit = 1, kPunct = 2, kSpace = 3 };

struct CharRun {
    uint16_t first, last;
    CharClass cls;
};

// Upper-case units first, first + step, ... up to last map to unit + delta.
struct LowerRun {
    uint16_t first, last;
    int32_t delta;
    uint16_t step;
};

extern const CharClass kAsciiClass[128];
extern const CharRun kCharRuns[];  // units from 128 on
extern const unsigned kCharRunCount;
extern const LowerRun kLowerRuns[];
extern const unsigned kLowerRunCount;

} // namespace osprey
