// The parser object: symbols, rules, lexicon and the event callback shared
// by its contexts.
#pragma once
#include "Lexicon.h"
#include "Rule.h"
#include "Symbol.h"

#include <memory>
#include <vector>

struct PrsCallbackHolder {
    virtual ~PrsCallbackHolder() = default;
    virtual void Call(int event, PrsContext* context, PrsKeyphrase* keyphrase, int oldFirst,
                      int oldLast) const
    {
        if (function)
            function(event, context, keyphrase, oldFirst, oldLast, userData);
    }
    PrsCallback function = nullptr;
    void* userData = nullptr;
};

struct PrsParser {
    PrsParser();
    ~PrsParser();
    PrsParser(const PrsParser&) = delete;
    PrsParser& operator=(const PrsParser&) = delete;

    PrsRule* CreateRule(PrsPackage* package, const PRSWCHAR* symbolName, bool topLevel);
    void AddRule(PrsRule* rule);
    // Destroys a rule that the parser does not own, after every context has
    // forgotten it.
    void DestroyRule(PrsRule* rule);
    bool IsDuplicate(const PrsRule& rule) const;

    std::unique_ptr<PrsCallbackHolder> callback;
    osprey::SymbolTable symbols;
    std::vector<PrsRule*> rules;            // the rule set: added rules, in order of creation
    osprey::Lexicon lexicon;
    std::vector<PrsContext*> contexts;
    uint32_t nextRuleNumber = 0;
    // Changes whenever what prediction can reach changes: a rule made or
    // destroyed, an entry added.
    uint64_t grammarVersion = 0;
};
