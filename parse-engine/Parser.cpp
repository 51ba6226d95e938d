#include "Parser.h"

#include "Context.h"

#include <algorithm>

PrsParser::PrsParser() : callback(new PrsCallbackHolder)
{
}

PrsParser::~PrsParser()
{
    callback.reset();
    // Contexts and rules that outlive their parser keep no pointer into it.
    for (PrsContext* context : contexts)
        context->Detach();
    for (size_t i = 0; i < symbols.Count(); ++i) {
        for (PrsRule* rule : symbols.At(i)->rules) {
            if (!rule->added) {
                rule->parser = nullptr;
                rule->symbol = nullptr;
                for (osprey::RuleEntry& e : rule->entries)
                    e.symbol = nullptr;
            }
        }
    }
    for (PrsRule* rule : rules)
        delete rule;
}

PrsRule* PrsParser::CreateRule(PrsPackage* package, const PRSWCHAR* symbolName, bool topLevel)
{
    PrsSymbol* symbol = symbols.FindOrCreate(symbolName);
    symbol->rules.reserve(symbol->rules.size() + 1);
    PrsRule* rule = new PrsRule(this, package, symbol, topLevel, nextRuleNumber++);
    symbol->rules.push_back(rule);
    ++grammarVersion;
    return rule;
}

void PrsParser::AddRule(PrsRule* rule)
{
    if (rule->added)
        return;
    auto at = std::upper_bound(rules.begin(), rules.end(), rule,
        [](const PrsRule* a, const PrsRule* b) { return a->serial < b->serial; });
    rules.insert(at, rule);
    rule->added = true;
}

void PrsParser::DestroyRule(PrsRule* rule)
{
    for (PrsContext* context : contexts)
        context->chart.ForgetRule(rule);
    delete rule;
    ++grammarVersion;
}

bool PrsParser::IsDuplicate(const PrsRule& rule) const
{
    for (const PrsRule* r : rules) {
        if (r != &rule && r->AlikeTo(rule))
            return true;
    }
    return false;
}
