// Keystroke edits: each input is a sequence of edits to a note, parsed after
// every edit. The keyphrases after a parse must be those before it, less the
// removed, plus the added; every handle reported must be usable. Inputs of
// even length parse with the engine tests' grammar and must raise the events
// of the slow reference parse; inputs of odd length (the last byte is no
// edit) parse with the date package's own grammar and vocabulary and must
// find what a new context finds in the same text.
#include "Context.h"
#include "OspreyFuzzing.h"
#include "Parser.h"
#include "ReferenceParse.h"
#include "TestGrammar.h"

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <set>
#include <string>

namespace {

#define CHECK(c) do { if (!(c)) { __builtin_trap(); } } while (0)

const char* const kPieces[] = {
    "Monday", "mon", "next ", "Tue", ".", ",", " ", "3", "30", ":", "pm", " am", "/", "-", "2024",
    "12", "June ", "14", "tomorrow", " at ", "noon", "from ", " to ", "the first ", "of ", "by ",
    "day", " after ", "weeks", "New York", "x", "2/30/2024", "6/17", "Friday before ", "31", "\t",
};
const size_t kPieceCount = sizeof(kPieces) / sizeof(kPieces[0]);

struct Watch {
    std::set<PrsKeyphrase*> live;
    size_t textLength = 0;          // of this parse's text
    size_t previousLength = 0;      // what a removed keyphrase was found in
    reference::EngineEvents numbering;
    std::vector<std::string> lines;
    static void PRSAPI Callback(int event, PrsContext*, PrsKeyphrase* k, int oldFirst, int oldLast, void* data)
    {
        Watch* w = static_cast<Watch*>(data);
        w->lines.push_back(w->numbering.Line(event, k, oldFirst, oldLast));
        int first = -1, last = -1;
        PrsKeyphraseGetOffsets(k, &first, &last);
        const size_t within = event == PRS_EVENT_REMOVED ? w->previousLength : w->textLength;
        CHECK(first >= 0 && first <= last && static_cast<size_t>(last) <= within);
        CHECK(PrsKeyphraseGetSymbolName(k) != nullptr);
        if (event == PRS_EVENT_ADDED) {
            CHECK(w->live.insert(k).second);
        } else {
            CHECK(w->live.count(k) == 1);
            if (event == PRS_EVENT_REMOVED)
                w->live.erase(k);
            else
                CHECK(oldFirst != first || oldLast != last);
        }
    }
};

PrsParser* TestGrammar(Watch* watch)
{
    static PrsParser* parser = [] {
        PrsParser* p = PrsInit();
        grammar::BuildDateGrammar(p);
        return p;
    }();
    grammar::fake_dates::Install();
    PrsSetCallback(parser, &Watch::Callback, watch);
    return parser;
}

// The date package loaded for the United States, at a fixed moment, so that
// "tomorrow" means the same day in every run.
PrsParser* PackageGrammar(Watch* watch)
{
    PrsParser* parser = fuzz_osprey::PackageParser();
    PrsSetCallback(parser, &Watch::Callback, watch);
    return parser;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Watch watch;
    const bool package = size % 2 == 1;
    PrsParser* parser = package ? PackageGrammar(&watch) : TestGrammar(&watch);
    PrsContext* context = PrsCreateContext(parser);
    reference::ReferenceContext slow(parser);
    osprey::WString text;
    for (size_t i = 0; i + 1 < size && i < 120; i += 2) {
        const uint8_t op = data[i], arg = data[i + 1];
        const size_t at = text.empty() ? 0 : arg % (text.size() + 1);
        switch (op % 4) {
        case 0: {
            const char* piece = kPieces[op / 4 % kPieceCount];
            text.insert(at, osprey::WString(piece, piece + std::strlen(piece)));
            break;
        }
        case 1: if (!text.empty()) text.erase(at, 1 + op / 4 % 8); break;
        case 2: text.insert(at, 1, fuzz_osprey::Unit(op / 4)); break;
        default: text = text.substr(0, at); break;
        }
        if (text.size() > 300)
            text.resize(300);
        const osprey::WString& wide = text;
        watch.previousLength = watch.textLength;
        watch.textLength = wide.size();
        std::set<PrsKeyphrase*> before = watch.live;
        watch.lines.clear();
        CHECK(PrsParse(parser, context, wide.c_str()) == 1);
        std::set<PrsKeyphrase*> now(context->current.begin(), context->current.end());
        CHECK(now.size() == context->current.size());
        CHECK(now == watch.live);
        size_t added = 0, removed = 0;
        for (const std::string& e : watch.lines) {
            added += e[0] == '1';
            removed += e[0] == '2';
        }
        CHECK(now.size() == before.size() - removed + added);
        if (package) {
            PrsSetCallback(parser, nullptr, nullptr);
            PrsContext* fresh = PrsCreateContext(parser);
            CHECK(PrsParse(parser, fresh, wide.c_str()) == 1);
            CHECK(fuzz_osprey::Found(fresh) == fuzz_osprey::Found(context));
            PrsContextDestroy(fresh);
            PrsSetCallback(parser, &Watch::Callback, &watch);
        } else {
            CHECK(slow.Parse(wide) == watch.lines);
        }
    }
    watch.previousLength = watch.textLength;
    PrsContextDestroy(context);
    CHECK(watch.live.empty());
    return 0;
}
