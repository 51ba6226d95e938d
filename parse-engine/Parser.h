// The parser object: the symbols and lexicon shared by its contexts.
#pragma once
#include "Lexicon.h"
#include "Symbol.h"

struct PrsParser {
    osprey::SymbolTable symbols;
    osprey::Lexicon lexicon;
};
