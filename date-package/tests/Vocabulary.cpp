#include "Vocabulary.h"

#include "Parser.h"

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

struct Word {
    const char* text;
    const char* symbol;
    std::vector<std::pair<int, int>> slots;
};

const std::vector<Word>& Words()
{
    static const std::vector<Word> words = {
        {"sunday", "day-name", {{4, 0}}}, {"monday", "day-name", {{4, 1}}}, {"tuesday", "day-name", {{4, 2}}},
        {"wednesday", "day-name", {{4, 3}}}, {"thursday", "day-name", {{4, 4}}}, {"friday", "day-name", {{4, 5}}},
        {"saturday", "day-name", {{4, 6}}},
        {"sun", "day-abbrev", {{4, 0}}}, {"mon", "day-abbrev", {{4, 1}}}, {"tue", "day-abbrev", {{4, 2}}},
        {"wed", "day-abbrev", {{4, 3}}}, {"thu", "day-abbrev", {{4, 4}}}, {"fri", "day-abbrev", {{4, 5}}},
        {"sat", "day-abbrev", {{4, 6}}},
        {"january", "month-name", {{2, 1}}}, {"february", "month-name", {{2, 2}}}, {"march", "month-name", {{2, 3}}},
        {"april", "month-name", {{2, 4}}}, {"may", "month-name", {{2, 5}}}, {"june", "month-name", {{2, 6}}},
        {"july", "month-name", {{2, 7}}}, {"august", "month-name", {{2, 8}}},
        {"september", "month-name", {{2, 9}}}, {"october", "month-name", {{2, 10}}},
        {"november", "month-name", {{2, 11}}}, {"december", "month-name", {{2, 12}}},
        {"jan", "month-abbrev", {{2, 1}}}, {"feb", "month-abbrev", {{2, 2}}}, {"mar", "month-abbrev", {{2, 3}}},
        {"apr", "month-abbrev", {{2, 4}}}, {"jun", "month-abbrev", {{2, 6}}}, {"jul", "month-abbrev", {{2, 7}}},
        {"aug", "month-abbrev", {{2, 8}}}, {"sep", "month-abbrev", {{2, 9}}}, {"oct", "month-abbrev", {{2, 10}}},
        {"nov", "month-abbrev", {{2, 11}}}, {"dec", "month-abbrev", {{2, 12}}},
        {"next", "which-date", {{5, 1}}}, {"last", "which-date", {{5, -1}}}, {"this", "which-date", {{5, 0}}},
        {"today", "nearby-day", {{6, 0}}}, {"tomorrow", "nearby-day", {{6, 1}}},
        {"yesterday", "nearby-day", {{6, -1}}},
        {"am", "time-marker", {{9, 0}}}, {"pm", "time-marker", {{9, 1}}}, {"a.m.", "time-marker", {{9, 0}}},
        {"p.m.", "time-marker", {{9, 1}}},
        {"noon", "time-word", {{7, 12}, {8, 0}, {9, 1}}}, {"midnight", "time-word", {{7, 12}, {8, 0}, {9, 0}}},
        {"first", "ord-num", {{PRS_SLOT_NUMBER, 1}}}, {"second", "ord-num", {{PRS_SLOT_NUMBER, 2}}},
        {"third", "ord-num", {{PRS_SLOT_NUMBER, 3}}}, {"fourth", "ord-num", {{PRS_SLOT_NUMBER, 4}}},
        {"last", "ord-num", {{PRS_SLOT_NUMBER, 0}}},
        {"day", "date-unit", {{11, 1}}}, {"days", "date-unit", {{11, 1}}}, {"week", "date-unit", {{11, 2}}},
        {"weeks", "date-unit", {{11, 2}}}, {"month", "date-unit", {{11, 3}}}, {"months", "date-unit", {{11, 3}}},
        {"year", "date-unit", {{11, 4}}}, {"years", "date-unit", {{11, 4}}},
        {"after", "date-offset-sep", {{13, 1}}}, {"before", "date-offset-sep", {{13, -1}}},
        {"from", "date-offset-sep", {{13, 1}}},
        {"after", "day-offset-sep", {{13, 1}}}, {"before", "day-offset-sep", {{13, -1}}},
        {"o'clock", "time-hour-suffix", {}}, {"at", "time-prefix", {}}, {"on", "date-prefix", {}},
        {"by", "due-prefix", {}}, {"due", "due-prefix", {}}, {"the", "day-prefix", {}},
        {"from", "range-prefix", {}}, {"between", "range-prefix", {}},
        {"to", "range-sep", {}}, {"-", "range-sep", {}}, {"through", "range-sep", {}}, {"and", "range-sep", {}},
        {"of", "ord-sep", {}}, {".", "abbrev-punct", {}},
    };
    return words;
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
    for (const Word& w : Words()) {
        Slots* slots = SlotsInit();
        for (const auto& s : w.slots)
            SlotsSetInt(slots, s.first, s.second);
        PrsAddLexiconPhrase(parser, W(w.text).c_str(), W(w.symbol).c_str(), slots);
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
