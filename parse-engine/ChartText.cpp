// The tokens of a text, each with the entries of its text in the lexicon,
// and what can begin at them.
#include "Chart.h"

#include "Parser.h"

#include <algorithm>

namespace osprey {

void Chart::UpdateReach()
{
    const size_t count = m_parser->symbols.Count();
    if (m_reachVersion == m_parser->grammarVersion + 1 && m_reachSymbols == count)
        return;
    const size_t words = (count + 63) / 64;
    // What can begin each symbol: itself, and whatever begins the first
    // element of one of its rules.
    m_begins.assign(count * words, 0);
    for (size_t s = 0; s < count; ++s)
        m_begins[s * words + s / 64] |= uint64_t(1) << (s % 64);
    for (bool changed = true; changed;) {
        changed = false;
        for (size_t s = 0; s < count; ++s) {
            for (const PrsRule* r : m_parser->symbols.At(s)->rules) {
                if (r->entries.empty())
                    continue;
                const size_t first = r->entries[0].symbol->index;
                for (size_t w = 0; w < words; ++w) {
                    const uint64_t merged = m_begins[s * words + w] | m_begins[first * words + w];
                    if (merged != m_begins[s * words + w]) {
                        m_begins[s * words + w] = merged;
                        changed = true;
                    }
                }
            }
        }
    }
    m_reach.assign(count * words, 0);
    for (size_t s = 0; s < count; ++s) {
        for (size_t x = 0; x < count; ++x) {
            if (m_begins[s * words + x / 64] & (uint64_t(1) << (x % 64)))
                m_reach[x * words + s / 64] |= uint64_t(1) << (s % 64);
        }
    }
    m_wholePhrases = true;
    for (size_t s = 0; s < count; ++s) {
        for (const PrsRule* r : m_parser->symbols.At(s)->rules) {
            for (const RuleEntry& e : r->entries)
                m_wholePhrases = m_wholePhrases && e.nearness == 0;
        }
    }
    m_symbolWords = words;
    m_reachSymbols = count;
    m_reachVersion = m_parser->grammarVersion + 1;
    ++m_reachBuilds;
}

void Chart::ReadTokens(const PRSWCHAR* text, size_t length)
{
    UpdateReach();
    Tokenizer tokenizer(text, length);
    m_tokenCount = 0;
    m_tokenText.clear();
    m_textByRecord.Reset(0);
    m_textKeys.clear();
    m_textEntries.clear();
    m_leadEntries.clear();
    m_wordPlaceOf.Reset(0);
    m_wordPlaces.clear();
    m_chainOf.Reset(0);
    m_chains.clear();
    m_chainTexts.clear();
    // Texts without entries, kept while the grammar stays: a word, a
    // numeral, and the end of the text, where only "eof" begins.
    if (m_texts.size() < kEndText + 1 || m_textsBuild != m_reachBuilds) {
        m_texts.clear();
        m_startable.clear();
        AddText(nullptr);
        AddText(m_parser->symbols.numeral);
        AddText(m_parser->symbols.eof);
        m_textsBuild = m_reachBuilds;
    }
    m_texts.resize(kEndText + 1);
    m_startable.resize((kEndText + 1) * m_symbolWords);
    for (;;) {
        if (m_tokenCount == m_tokens.size())
            m_tokens.emplace_back();
        if (!tokenizer.Next(m_tokens[m_tokenCount]))
            break;
        m_tokenText.push_back(TextOf(m_tokenCount++));
    }
    m_tokenText.push_back(kEndText);
}

uint32_t Chart::AddText(const PrsSymbol* begins)
{
    m_texts.push_back({static_cast<uint32_t>(m_textEntries.size()), 0, static_cast<uint32_t>(m_leadEntries.size()), 0});
    const size_t words = m_symbolWords;
    for (size_t w = 0; w < words; ++w)
        m_startable.push_back(begins ? m_reach[begins->index * words + w] : 0);
    return static_cast<uint32_t>(m_texts.size() - 1);
}

uint32_t Chart::TextOf(size_t at)
{
    // Most words of a note are in no entry: they share a text.
    const PrsToken& token = m_tokens[at];
    const std::vector<Lexicon::Record>* records = m_parser->lexicon.Bucket(token.hash);
    auto found = records ? std::find_if(records->begin(), records->end(),
                                        [&](const Lexicon::Record& r) { return r.text == token.text; })
                         : std::vector<Lexicon::Record>::const_iterator();
    if (!records || found == records->end())
        return token.kind == kNumeralToken ? kNumeralText : kWordText;
    // Tokens of one text find the same first record: a few texts are
    // searched in a row, more through the table.
    const uint64_t key = reinterpret_cast<uintptr_t>(&*found);
    if (m_textKeys.size() <= kTextsInARow) {
        for (size_t i = 0; i < m_textKeys.size(); ++i) {
            if (m_textKeys[i] == key)
                return static_cast<uint32_t>(kEndText + 1 + i);
        }
    } else {
        const uint32_t known = m_textByRecord.Find(key);
        if (known != FlatIndex::kNone)
            return known;
    }
    const uint32_t id = AddText(token.kind == kNumeralToken ? m_parser->symbols.numeral : nullptr);
    TextEntries& t = m_texts.back();
    uint64_t* marks = &m_startable[id * m_symbolWords];
    for (auto r0 = found; found != records->end(); ++found) {
        const Lexicon::Record& r = *found;
        if (found != r0 && r.text != token.text)
            continue;
        if (r.entry->continuation) {
            m_wordPlaceOf.Insert(KeyOf(r.entry), static_cast<uint32_t>(m_wordPlaces.size()));
            m_wordPlaces.push_back({id, t.count});
        } else {
            ++t.leadCount;
        }
        m_textEntries.push_back(r.entry);
        ++t.count;
        // What can begin at a token of this text.
        const uint64_t* from = &m_reach[r.entry->symbol->index * m_symbolWords];
        for (size_t w = 0; w < m_symbolWords; ++w)
            marks[w] |= from[w];
    }
    // Where later words of phrases are among them, the others are listed.
    if (t.leadCount != t.count) {
        for (uint32_t e = 0; e < t.count; ++e) {
            if (!m_textEntries[t.first + e]->continuation)
                m_leadEntries.push_back(e);
        }
    }
    m_textKeys.push_back(key);
    if (m_textKeys.size() == kTextsInARow + 1) {
        for (size_t i = 0; i < m_textKeys.size(); ++i)
            m_textByRecord.Insert(m_textKeys[i], static_cast<uint32_t>(kEndText + 1 + i));
    } else if (m_textKeys.size() > kTextsInARow) {
        m_textByRecord.Insert(key, id);
    }
    return id;
}

} // namespace osprey
