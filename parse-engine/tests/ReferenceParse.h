// A slow, literal chart parse kept beside the engine's fast one: plain lists
// of waiting items searched in full, a stable sort of every item, emission
// against the previous keyphrases. The fast parse must raise exactly the
// events this one raises. Grammars whose one-element rules make each other
// in a cycle are outside its reach.
#pragma once
#include "Chart.h"
#include "Conflict.h"
#include "Parser.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace reference {

class ReferenceContext {
public:
    explicit ReferenceContext(PrsParser* parser);
    // The events of one parse as "event symbol first-last [was a-b] #id",
    // where id numbers keyphrases in the order they were first added.
    std::vector<std::string> Parse(const osprey::WString& text);

private:
    struct Item {
        const PrsRule* rule;
        size_t dot = 0;
        const PrsLexiconEntry* pending = nullptr;
        Slots slots;
        osprey::Position start, end;
        int levels = 0;
    };
    struct Constituent {
        osprey::Position start, end;
        const PrsSymbol* symbol;
        Slots slots;
        const PrsLexiconEntry* entry;   // null for numerals, eof and completions
        const Item* origin;
        int levels;
    };
    struct Keyphrase {
        int id;
        const PrsRule* rule;
        Slots slots;
        osprey::Position start, end;
    };

    Item* Predict(const PrsRule* rule);
    void PredictFor(const PrsSymbol* symbol, const PrsRule* own);
    void Process();
    bool Accepts(const Item& item, const Constituent& c);
    void Advance(const Item& item, const Constituent& c, std::vector<Item*>& made);
    void Settle(std::vector<const Item*>& batch, std::vector<std::string>& events);
    void Emit(const Item& item, std::vector<std::string>& events);
    static std::string Line(int event, const Keyphrase& k);

    PrsParser* m_parser;
    std::vector<std::unique_ptr<Item>> m_all;
    std::map<const PrsSymbol*, std::vector<Item*>> m_waiting;
    std::map<const PrsRule*, Item*> m_predicted;
    std::deque<Constituent> m_agenda;
    std::vector<Keyphrase> m_current, m_previous, m_added;
    osprey::DateMemo m_dates;
    int m_nextId = 0;
};

// Numbers the engine's keyphrases as the reference does, so that their
// events can be compared line by line. Call from the parse callback.
class EngineEvents {
public:
    std::string Line(int event, PrsKeyphrase* keyphrase, int oldFirst, int oldLast);

private:
    std::map<PrsKeyphrase*, int> m_ids;
    int m_next = 0;
};

} // namespace reference
