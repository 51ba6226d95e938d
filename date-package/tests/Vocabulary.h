// The words a client adds for the date grammar, in English, and what the
// tests read back from a parser.
#pragma once
#include "Osprey.h"

#include <string>
#include <vector>

namespace curlew_test {

// The client's date words as the parser wrapper supplies them, and the
// dotted am/pm markers.
void AddVocabulary(PrsParser* parser);

// Every rule of the parser's rule set as one line:
// "date top 29: numeral(65531[1,12] 65531>2) date-sep ...".
std::vector<std::string> RuleList(PrsParser* parser);

// The keyphrases that a context holds after parsing `text`, in order of
// their first offsets: "date 8-15 6:1709614800", ranges with both attributes.
std::vector<std::string> Recognize(PrsParser* parser, const std::string& text);

} // namespace curlew_test
