// The exported parser and lexicon functions.
#include "Guard.h"
#include "Parser.h"

using namespace osprey;

extern "C" {

//--- parser

PrsParser* PRSAPI PrsInit(void)
{
    return Guarded<PrsParser*>(nullptr, [] { return new PrsParser; });
}

void PRSAPI PrsDeInit(PrsParser* parser)
{
    delete parser;
}

PrsCallback PRSAPI PrsSetCallback(PrsParser* parser, PrsCallback callback, void* userData)
{
    if (parser) {
        parser->callback->function = callback;
        parser->callback->userData = userData;
    }
    return callback;
}

//--- lexicon

PrsLexiconEntry* PRSAPI PrsAddLexiconEntry(PrsParser* parser, const PRSWCHAR* text,
                                           const PRSWCHAR* symbol, const Slots* slots)
{
    if (!parser || !text || !symbol)
        return nullptr;
    return Guarded<PrsLexiconEntry*>(nullptr, [&] {
        PrsLexiconEntry* entry = new PrsLexiconEntry;
        try {
            entry->symbol = parser->symbols.FindOrCreate(symbol);
            if (slots)
                entry->slots = *slots;
        } catch (...) {
            entry->Release();
            throw;
        }
        return parser->lexicon.Add(entry, text, TextLength(text));
    });
}

PrsLexiconEntry* PRSAPI PrsAddLexiconPhrase(PrsParser* parser, const PRSWCHAR* text,
                                            const PRSWCHAR* symbol, const Slots* slots)
{
    if (!parser || !text || !symbol || !*text)
        return nullptr;
    return Guarded<PrsLexiconEntry*>(nullptr, [&] {
        PrsSymbol* s = parser->symbols.FindOrCreate(symbol);
        return parser->lexicon.AddPhrase(s, slots, text, TextLength(text));
    });
}

int PRSAPI PrsRemoveLexiconEntry(PrsParser* parser, PrsLexiconEntry* entry)
{
    if (!parser || !entry)
        return 0;
    return parser->lexicon.Remove(entry);
}

int PRSAPI PrsRemoveLexiconEntries(PrsParser* parser, const PRSWCHAR* text, const PRSWCHAR* symbol,
                                   const Slots* filter, int flags)
{
    if (!parser)
        return 0;
    const PrsSymbol* s = nullptr;
    if (flags & PRS_REMOVE_BY_SYMBOL) {
        s = symbol ? parser->symbols.Find(symbol) : nullptr;
        if (!s)
            return 0;
    }
    if ((flags & PRS_REMOVE_BY_TEXT) && !text)
        return 0;
    return Guarded(0, [&] { return parser->lexicon.RemoveMatching(text, s, filter, flags); });
}

} // extern "C"
