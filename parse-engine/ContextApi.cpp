// The exported context, parse and keyphrase functions.
#include "Context.h"
#include "Guard.h"
#include "Parser.h"

#include <algorithm>

using namespace osprey;

namespace {

void DestroyContext(PrsContext* context)
{
    context->busy = true;       // its last callbacks may not parse it again
    context->RemoveAll();
    if (PrsParser* parser = context->parser) {
        auto& list = parser->contexts;
        list.erase(std::remove(list.begin(), list.end(), context), list.end());
    }
    delete context;
}

} // namespace

extern "C" {

//--- contexts

PrsContext* PRSAPI PrsCreateContext(PrsParser* parser)
{
    if (!parser)
        return nullptr;
    return Guarded<PrsContext*>(nullptr, [&] {
        std::unique_ptr<PrsContext> context(new PrsContext(parser));
        context->chart.Seed();
        parser->contexts.push_back(context.get());
        return context.release();
    });
}

void PRSAPI PrsContextDestroy(PrsContext* context)
{
    if (!context)
        return;
    if (context->busy) {
        context->destroyRequested = true;   // done when its parse returns
        return;
    }
    DestroyContext(context);
}

int PRSAPI PrsParse(PrsParser* parser, PrsContext* context, const PRSWCHAR* text)
{
    if (!parser || !context || context->parser != parser || context->busy)
        return 0;
    static const PRSWCHAR empty[1] = {0};
    const PRSWCHAR* t = text ? text : empty;
    context->busy = true;
    context->callbackFailed = false;
    int done = Guarded(0, [&] {
        context->Parse(t, TextLength(t));
        return 1;
    });
    context->busy = false;
    if (context->callbackFailed)
        done = 0;
    if (context->destroyRequested)
        DestroyContext(context);
    return done;
}

int PRSAPI PrsContextGetKeyphrasesAtOffset(PrsContext* context, int offset, int capacity,
                                           PrsKeyphrase** keyphrases)
{
    if (!context)
        return 0;
    return context->KeyphrasesAt(offset, capacity, keyphrases);
}

//--- keyphrases

int PRSAPI PrsKeyphraseGetOffsets(const PrsKeyphrase* keyphrase, int* first, int* last)
{
    if (!keyphrase)
        return 0;
    if (first)
        *first = keyphrase->start.first;
    if (last)
        *last = keyphrase->end.last;
    return keyphrase->end.last;
}

const PRSWCHAR* PRSAPI PrsKeyphraseGetSymbolName(const PrsKeyphrase* keyphrase)
{
    if (!keyphrase || !keyphrase->rule->symbol)
        return nullptr;
    return keyphrase->rule->symbol->name.c_str();
}

Slots* PRSAPI PrsKeyphraseGetSemanticInfo(PrsKeyphrase* keyphrase)
{
    return keyphrase ? &keyphrase->slots : nullptr;
}

void* PRSAPI PrsKeyphraseGetUserData(const PrsKeyphrase* keyphrase)
{
    return keyphrase ? keyphrase->userData : nullptr;
}

void* PRSAPI PrsKeyphraseSetUserData(PrsKeyphrase* keyphrase, void* userData)
{
    if (keyphrase)
        keyphrase->userData = userData;
    return userData;
}

} // extern "C"

extern "C" {

PrsParser* PRSAPI PrsContextGetParser(const PrsContext* context)
{
    return context ? context->parser : nullptr;
}

const PRSWCHAR* PRSAPI PrsContextGetString(const PrsContext* context)
{
    static const PRSWCHAR empty[1] = {0};
    return context ? context->text.c_str() : empty;
}

void* PRSAPI PrsContextGetUserData(const PrsContext* context)
{
    return context ? context->userData : nullptr;
}

void* PRSAPI PrsContextSetUserData(PrsContext* context, void* userData)
{
    if (context)
        context->userData = userData;
    return userData;
}

} // extern "C"
