// The date and time grammar that Load builds into a parser.
#pragma once
#include "Locale.h"
#include "Osprey.h"

#include <set>
#include <string>
#include <vector>

namespace curlew {

using WText = std::basic_string<PRSWCHAR>;

// Process-wide, as the package serves one parser per process.
struct PackageState {
    PrsParser* parser = nullptr;
    PrsPackage* package = nullptr;
    int order = 0;                          // 0 month first, 1 day first, 2 year first
    bool use24Hour = false;
    std::string dateSeparator, timeSeparator;
    std::vector<std::string> survey;        // separators of the short date pictures
    bool ambiguousSeparators = false;
    std::set<std::string> compiled;         // what each added picture rule reads, slots and all
};

const size_t kMaxLocaleSeparator = 8;
const size_t kMaxSurveyed = 10;
const size_t kMaxSurveyedLength = 9;
const size_t kMaxLiteral = 30;

PackageState& State();

// Builds the whole grammar from the formats; false when the engine refused a part of it.
bool BuildGrammar(PrsParser* parser, PrsPackage* package, const LocaleFormats& formats);

// The fixed rules for weekdays, nearby days, ranges, prefixes, ordinals and offsets.
bool AddHandRules(PackageState& state);

// ASCII names as engine text.
WText Name(const std::string& ascii);
// A locale text cut to `limit` bytes, never inside a character; empty when it
// does not convert.
WText LocaleText(const std::string& text, size_t limit);

} // namespace curlew
