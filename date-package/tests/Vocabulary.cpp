#include "Vocabulary.h"

#include "Parser.h"
#include "QuiDateWords.h"

#include <algorithm>

namespace curlew_test {

namespace {

typedef std::basic_string<PRSWCHAR> WText;

WText W(const std::string& s)
{
    return WText(s.begin(), s.end());
}

// ASCII as is, anything else as \uXXXX.
std::string N(const PRSWCHAR* s)
{
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (; s && *s; ++s) {
        unsigned c = static_cast<uint16_t>(*s);
        if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
            continue;
        }
        out += "\\u";
        for (int shift = 12; shift >= 0; shift -= 4)
            out += hex[(c >> shift) & 15];
    }
    return out;
}

std::string Action(const osprey::SlotAction& a)
{
    switch (a.kind) {
    case osprey::kConstrainAction:
        return std::to_string(a.source) + "[" + std::to_string(a.low.IntValue()) + "," +
               std::to_string(a.high.IntValue()) + "]";
    case osprey::kTransferAction:
        return std::to_string(a.source) + ">" + std::to_string(a.destination);
    case osprey::kMatchDateAction:
        return "date=" + std::to_string(a.source);
    default:
        return "?" + std::to_string(a.kind);
    }
}

} // namespace

void AddVocabulary(PrsParser* parser)
{
    AddDateWords(parser);
    // Dotted markers, which the tests read beside the locale's own.
    static const char* const dotted[] = {"a.m.", "p.m."};
    for (int marker = 0; marker < 2; ++marker) {
        Slots* slots = SlotsInit();
        SlotsSetInt(slots, 9, marker);
        PrsAddLexiconPhrase(parser, W(dotted[marker]).c_str(), W("time-marker").c_str(), slots);
        SlotsDeinit(slots);
    }
}

std::vector<std::string> RuleList(PrsParser* parser)
{
    std::vector<std::string> list;
    for (const PrsRule* rule : parser->rules) {
        std::string line = N(rule->symbol->name.c_str()) + (rule->topLevel ? " top " : " ") +
                           std::to_string(rule->strength) + ":";
        for (const osprey::RuleEntry& e : rule->entries) {
            line += " " + N(e.symbol->name.c_str());
            std::string actions;
            for (const osprey::SlotAction& a : e.actions)
                actions += (actions.empty() ? "" : " ") + Action(a);
            if (!actions.empty())
                line += "(" + actions + ")";
        }
        list.push_back(line);
    }
    return list;
}

std::vector<std::string> Recognize(PrsParser* parser, const std::string& text)
{
    PrsContext* context = PrsCreateContext(parser);
    WText wide = W(text);
    PrsParse(parser, context, wide.c_str());
    std::vector<PrsKeyphrase*> seen;
    for (int offset = 0; offset < static_cast<int>(text.size()); ++offset) {
        PrsKeyphrase* found[16];
        int n = std::min(16, PrsContextGetKeyphrasesAtOffset(context, offset, 16, found));
        for (int i = 0; i < n; ++i) {
            if (std::find(seen.begin(), seen.end(), found[i]) == seen.end())
                seen.push_back(found[i]);
        }
    }
    std::vector<std::string> lines;
    for (PrsKeyphrase* k : seen) {
        int first = 0, last = 0;
        PrsKeyphraseGetOffsets(k, &first, &last);
        std::string line = N(PrsKeyphraseGetSymbolName(k)) + " " + std::to_string(first) + "-" + std::to_string(last);
        PrsAttribute attributes[2];
        int count = PrsKeyphraseGetAttributes(nullptr, k, 2, attributes);
        for (int i = 0; i < count && i < 2; ++i)
            line += " " + std::to_string(attributes[i].kind) + ":" + std::to_string(attributes[i].value);
        lines.push_back(line);
    }
    PrsContextDestroy(context);
    return lines;
}

} // namespace curlew_test
