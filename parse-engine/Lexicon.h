// The lexicon: lower-cased token texts mapped to their definitions.
#pragma once
#include "Slots.h"
#include "Symbol.h"

#include <unordered_map>
#include <vector>

// A definition that a token can stand for; the first word of a phrase links
// to the entry of the next one.
struct PrsLexiconEntry {
    uint32_t refs = 1;
    PrsSymbol* symbol = nullptr;
    Slots slots;
    PrsLexiconEntry* next = nullptr;     // holds a reference
    bool continuation = false;           // second and later words of a phrase
    bool stored = false;                 // has a record in the lexicon
    int32_t storedHash = 0;

    void Retain() { ++refs; }
    void Release();
};

namespace osprey {

class Lexicon {
public:
    struct Record {
        WString text;
        PrsLexiconEntry* entry;
    };

    Lexicon() = default;
    Lexicon(const Lexicon&) = delete;
    Lexicon& operator=(const Lexicon&) = delete;
    ~Lexicon();

    // Stores the entry under the lower-cased text, taking over the caller's
    // reference, unless an equal entry is stored already: then the new one is
    // released and the stored one returned.
    PrsLexiconEntry* Add(PrsLexiconEntry* entry, const PRSWCHAR* text, size_t length);
    // The first word's entry, or null when the text holds no token.
    PrsLexiconEntry* AddPhrase(PrsSymbol* symbol, const Slots* slots, const PRSWCHAR* text,
                               size_t length);
    // Removes the entry's record and those of the later words of its phrase.
    int Remove(PrsLexiconEntry* entry);
    // Removes every phrase whose first entry passes the filters; see the flags
    // of PrsRemoveLexiconEntries.
    int RemoveMatching(const PRSWCHAR* text, const PrsSymbol* symbol, const Slots* filter, int flags);

    // Records stored under that hash, in insertion order (null when none).
    const std::vector<Record>* Bucket(int32_t hash) const;

private:
    bool RemoveRecord(PrsLexiconEntry* entry);
    static bool PassesSlotFilter(const PrsLexiconEntry* entry, const Slots& filter);

    std::unordered_map<int32_t, std::vector<Record>> m_byHash;
};

WString LowerCase(const PRSWCHAR* text, size_t length);

} // namespace osprey
