// Cuts UTF-16 text into numeral, word and punctuation tokens.
#pragma once
#include "Symbol.h"

namespace osprey {

enum TokenKind { kNumeralToken = 1, kWordToken = 2, kPunctToken = 3 };

struct PrsToken {
    int first = 0;          // offset of the first character, in UTF-16 units
    int length = 0;
    WString text;           // lower-cased
    TokenKind kind = kWordToken;
    int32_t hash = 0;       // of the lower-cased text
    int index = 0;          // tokens of any kind before this one
    int Last() const { return first + length - 1; }
};

class Tokenizer {
public:
    Tokenizer(const PRSWCHAR* text, size_t length) : m_text(text), m_length(length) {}
    // Fills the next token; false at the end of the text.
    bool Next(PrsToken& token);

private:
    const PRSWCHAR* m_text;
    size_t m_length;
    size_t m_pos = 0;
    int m_words = 0;        // word and numeral tokens so far
    int m_puncts = 0;       // punctuation tokens so far
};

// Value of a digit run; runs beyond the 32-bit range saturate at its top.
int32_t NumeralValue(const PRSWCHAR* digits, size_t count);

} // namespace osprey
