// Tokenizer and lexicon lookup: phrases from the first lines of the input go
// into a lexicon, the last line is tokenized and looked up; every token must
// be consistent with its text and every lookup must find only its own text.
#include "CharClass.h"
#include "Parser.h"
#include "Tokenizer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace osprey;

namespace {

#define CHECK(c) do { if (!(c)) { __builtin_trap(); } } while (0)

// Bytes below 0x80 are ASCII units; a higher byte and the next one make a
// unit of the Basic Multilingual Plane.
WString Decode(const uint8_t* data, size_t size)
{
    WString out;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] < 0x80 || i + 1 == size)
            out += static_cast<PRSWCHAR>(data[i]);
        else {
            out += static_cast<PRSWCHAR>(((data[i] & 0x7F) << 8) | data[i + 1]);
            ++i;
        }
    }
    return out;
}

void CheckTokens(const WString& text)
{
    Tokenizer t(text.data(), text.size());
    PrsToken token;
    int expectIndex = 0;
    size_t pos = 0;
    while (t.Next(token)) {
        CHECK(token.index == expectIndex++);
        CHECK(token.first >= 0 && static_cast<size_t>(token.first) >= pos);
        for (; pos < static_cast<size_t>(token.first); ++pos)
            CHECK(ClassOf(text[pos]) == kSpace);
        CHECK(token.length > 0 && static_cast<size_t>(token.first + token.length) <= text.size());
        CharClass cls = ClassOf(text[pos]);
        CHECK(cls != kSpace);
        CHECK(token.kind == (cls == kPunct ? kPunctToken : cls == kDigit ? kNumeralToken : kWordToken));
        CHECK(cls != kPunct || token.length == 1);
        CHECK(token.text.size() == static_cast<size_t>(token.length));
        for (int i = 0; i < token.length; ++i, ++pos) {
            CHECK(ClassOf(text[pos]) == cls);
            CHECK(token.text[static_cast<size_t>(i)] == ToLower(text[pos]));
        }
        CHECK(token.hash == TextHash(token.text.data(), token.text.size()));
    }
    for (; pos < text.size(); ++pos)
        CHECK(ClassOf(text[pos]) == kSpace);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WString all = Decode(data, size);
    std::vector<WString> lines(1);
    for (PRSWCHAR c : all) {
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    const WString text = lines.back();
    lines.pop_back();
    CheckTokens(text);

    static const PRSWCHAR* const kSymbols[] = {u"date", u"day-name", u"city"};
    PrsParser* parser = PrsInit();
    std::vector<PrsLexiconEntry*> firsts;
    for (size_t i = 0; i < lines.size(); ++i) {
        CheckTokens(lines[i]);
        Slots slots;
        SlotsSetInt(&slots, 1, static_cast<int>(i % 4));
        const PRSWCHAR* symbol = kSymbols[i % 3];
        PrsLexiconEntry* e = (i % 2) ? PrsAddLexiconPhrase(parser, lines[i].c_str(), symbol, &slots)
                                     : PrsAddLexiconEntry(parser, lines[i].c_str(), symbol, &slots);
        // A duplicate hands back the entry already stored: remove it once.
        if (e && std::find(firsts.begin(), firsts.end(), e) == firsts.end())
            firsts.push_back(e);
    }

    Tokenizer t(text.data(), text.size());
    PrsToken token;
    while (t.Next(token)) {
        if (const auto* bucket = parser->lexicon.Bucket(token.hash)) {
            for (const Lexicon::Record& r : *bucket) {
                CHECK(TextHash(r.text.data(), r.text.size()) == token.hash);
                CHECK(r.entry->symbol != nullptr);
            }
        }
    }

    // Removing every phrase by its first entry, then by filter, empties the
    // lexicon; the sanitizer's leak check sees anything left over.
    if (size % 2) {
        for (PrsLexiconEntry* e : firsts)
            PrsRemoveLexiconEntry(parser, e);
    }
    PrsRemoveLexiconEntries(parser, nullptr, nullptr, nullptr, 0);
    CHECK(PrsRemoveLexiconEntries(parser, nullptr, nullptr, nullptr, 0) == 0);
    PrsDeInit(parser);
    return 0;
}
