// Tokenizer and lexicon lookup: phrases from the first lines of the input go
// into a lexicon, the last line is tokenized and looked up; every token must
// be consistent with its text and every lookup must find only its own text.
// The last line is also parsed with a top-level rule over each symbol, before
// and after the lexicon's entries go: every keyphrase must lie in the text,
// and none may outlive the entries it was made of.
#include "CharClass.h"
#include "Context.h"
#include "Parser.h"
#include "Tokenizer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
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

// Keeps the keyphrases a context holds by its events.
struct Watch {
    std::set<PrsKeyphrase*> live;
    int length = 0;
    static void PRSAPI Callback(int event, PrsContext*, PrsKeyphrase* k, int, int, void* data)
    {
        Watch* w = static_cast<Watch*>(data);
        int first = -1, last = -1;
        PrsKeyphraseGetOffsets(k, &first, &last);
        CHECK(first >= 0 && first <= last && last <= w->length);
        if (event == PRS_EVENT_ADDED)
            CHECK(w->live.insert(k).second);
        else if (event == PRS_EVENT_REMOVED)
            CHECK(w->live.erase(k) == 1);
        else
            CHECK(w->live.count(k) == 1);
    }
};

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

    for (const PRSWCHAR* symbol : kSymbols) {
        PrsRule* rule = PrsCreateRule(parser, nullptr, u"found", 1);
        PrsRuleAddEntry(parser, rule, symbol);
        if (!PrsAddRule(parser, rule))
            PrsRuleDestroy(rule);
    }
    Watch watch;
    watch.length = static_cast<int>(text.size());
    PrsSetCallback(parser, &Watch::Callback, &watch);
    PrsContext* context = PrsCreateContext(parser);
    CHECK(PrsParse(parser, context, text.c_str()) == 1);
    CHECK(watch.live.size() == context->current.size());

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
    CHECK(PrsParse(parser, context, text.c_str()) == 1);
    CHECK(watch.live.size() == context->current.size());
    PrsRemoveLexiconEntries(parser, nullptr, nullptr, nullptr, 0);
    CHECK(PrsRemoveLexiconEntries(parser, nullptr, nullptr, nullptr, 0) == 0);
    CHECK(PrsParse(parser, context, text.c_str()) == 1);
    CHECK(watch.live.empty() && context->current.empty());
    PrsContextDestroy(context);
    PrsDeInit(parser);
    return 0;
}
