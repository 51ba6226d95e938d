// What the engine's fuzz targets share: the date package loaded for the
// United States at a fixed moment, as its tests load it, with the engine
// reading its dates from it (one parser for the process); the units a text
// may hold; the keyphrases a context found.
#pragma once
#include "Context.h"
#include "Curlew.h"
#include "DateSource.h"
#include "DateValue.h"
#include "Fixture.h"
#include "Locale.h"

#include <algorithm>
#include <string>
#include <vector>

namespace fuzz_osprey {

inline int LocalWeekdayOf(int32_t time)
{
    return LocalWeekday(time);
}

inline PrsParser* PackageParser()
{
    static FixedClock clock(1718380800, -5 * 3600);
    static curlew_test::LoadedParser* loaded = [] {
        SetClock(&clock);
        return new curlew_test::LoadedParser(curlew::EnUsFormats());
    }();
    osprey::SetDateSource({&ConvertSlotsToDate, &LocalWeekdayOf});
    return loaded->parser;
}

// Every unit the engine may meet: lower case, digits, blanks and marks,
// letters and digits beyond ASCII, both halves of surrogate pairs (alone
// too), and units that are no characters.
inline PRSWCHAR Unit(int choice)
{
    static const PRSWCHAR kOthers[] = {
        u' ', u'\t', u'.', u',', u'/', u'-', u':', u'\'', u'"', u'\n',
        0x00E9, 0x00DF, 0x00C4, 0x0130, 0x03A3, 0x0416, 0x3000, 0x00A0, 0xFF11, 0x0661,
        0xD83D, 0xDE00, 0xDBFF, 0xDC00, 0xFFFF, 0xFFFE, 0x007F, 0x0001, 0x2028, 0x00AD,
    };
    if (choice < 26)
        return static_cast<PRSWCHAR>(u'a' + choice);
    if (choice < 36)
        return static_cast<PRSWCHAR>(u'0' + choice - 26);
    return kOthers[(choice - 36) % (sizeof kOthers / sizeof kOthers[0])];
}

// The keyphrases of a context as "symbol first-last", sorted.
inline std::vector<std::string> Found(PrsContext* context)
{
    std::vector<std::string> found;
    for (PrsKeyphrase* k : context->current) {
        int first = -1, last = -1;
        PrsKeyphraseGetOffsets(k, &first, &last);
        const PRSWCHAR* symbol = PrsKeyphraseGetSymbolName(k);
        found.push_back(std::string(symbol, symbol + std::char_traits<PRSWCHAR>::length(symbol)) + " " +
                        std::to_string(first) + "-" + std::to_string(last));
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace fuzz_osprey
