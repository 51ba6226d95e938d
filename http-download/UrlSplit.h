// Splitting the texts the library is given: URLs and "host:port" proxies.
#pragma once
#include "QuiInet.h"

#include <string>

namespace shrike {

// The work of QUIINETCrackURL.
int CrackUrl(const char* url, QuiUrlParts* parts);

// Splits text at its first ":"; false (and the whole text before) when
// there is none.
bool SplitAtFirstColon(const char* text, std::string* before, std::string* after);

// A port text: decimal digits after any blanks; 0 when there are none or the number
// is no TCP port.
int ParsePort(const char* text);

}
