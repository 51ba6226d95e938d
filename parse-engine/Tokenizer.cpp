#include "Tokenizer.h"

#include "CharClass.h"

namespace osprey {

bool Tokenizer::Next(PrsToken& token)
{
    while (m_pos < m_length && ClassOf(m_text[m_pos]) == kSpace)
        ++m_pos;
    if (m_pos >= m_length)
        return false;
    size_t start = m_pos;
    CharClass cls = ClassOf(m_text[m_pos++]);
    if (cls != kPunct) {
        while (m_pos < m_length && ClassOf(m_text[m_pos]) == cls)
            ++m_pos;
    }
    token.first = static_cast<int>(start);
    token.length = static_cast<int>(m_pos - start);
    token.kind = cls == kPunct ? kPunctToken : (cls == kDigit ? kNumeralToken : kWordToken);
    token.index = m_words + m_puncts;
    if (cls == kPunct)
        ++m_puncts;
    else
        ++m_words;
    token.text.resize(static_cast<size_t>(token.length));
    for (size_t i = 0; i < static_cast<size_t>(token.length); ++i)
        token.text[i] = ToLower(m_text[start + i]);
    token.hash = TextHash(token.text.data(), token.text.size());
    return true;
}

int32_t NumeralValue(const PRSWCHAR* digits, size_t count)
{
    int64_t value = 0;
    for (size_t i = 0; i < count; ++i) {
        value = value * 10 + (digits[i] - '0');
        if (value > INT32_MAX)
            return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

} // namespace osprey
