// Long notes: any text up to the longest a note or the automation server
// takes, or a piece repeated to that length (an input whose first byte is
// 0xFF). Parsed with the date package's grammar, the text must be done
// within the target's time-out (a chart that grows with the square of the
// text overruns it), with a number of chart items linear in its length,
// keyphrases inside it that span no more tokens than a chart item may, and,
// after one more unit typed at its end, the keyphrases a new context finds.
#include "Chart.h"
#include "OspreyFuzzing.h"
#include "Parser.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

#define CHECK(c) do { if (!(c)) { __builtin_trap(); } } while (0)

const size_t kNoteLimit = 32767;
// Far above the costliest pieces found (some five items a character).
const size_t kItemsPerUnit = 32;

// ASCII bytes stand for themselves, the others for the units of the edits
// target beyond the letters and digits.
PRSWCHAR UnitOf(uint8_t byte)
{
    return byte < 0x80 ? static_cast<PRSWCHAR>(byte) : fuzz_osprey::Unit(36 + (byte - 0x80));
}

osprey::WString Note(const uint8_t* data, size_t size)
{
    const bool repeated = size > 1 && data[0] == 0xFF;
    osprey::WString piece;
    for (size_t i = repeated ? 1 : 0; i < size; ++i)
        piece += UnitOf(data[i]);
    if (!repeated)
        return piece.substr(0, kNoteLimit);
    osprey::WString note;
    while (note.size() + piece.size() <= kNoteLimit)
        note += piece;
    return note;
}

void CheckParse(PrsParser* parser, PrsContext* context, const osprey::WString& text)
{
    CHECK(PrsParse(parser, context, text.c_str()) == 1);
    CHECK(context->chart.ItemCount() <= parser->rules.size() * 4 + kItemsPerUnit * (text.size() + 1));
    for (PrsKeyphrase* k : context->current) {
        int first = -1, last = -1;
        PrsKeyphraseGetOffsets(k, &first, &last);
        CHECK(first >= 0 && first <= last && static_cast<size_t>(last) <= text.size());
        CHECK(k->end.index - k->start.index < osprey::kMaxSpan);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PrsParser* parser = fuzz_osprey::PackageParser();
    PrsSetCallback(parser, nullptr, nullptr);
    osprey::WString text = Note(data, size);
    PrsContext* context = PrsCreateContext(parser);
    CheckParse(parser, context, text);
    // One more unit at the end, as the user types on.
    text = text.substr(0, kNoteLimit - 1) + UnitOf(size ? data[size - 1] : ' ');
    CheckParse(parser, context, text);
    PrsContext* fresh = PrsCreateContext(parser);
    CheckParse(parser, fresh, text);
    CHECK(fuzz_osprey::Found(fresh) == fuzz_osprey::Found(context));
    PrsContextDestroy(fresh);
    PrsContextDestroy(context);
    return 0;
}
