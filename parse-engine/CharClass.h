// Character classification and case mapping of UTF-16 units: the engine's
// one seam to character data, table-driven so every build agrees.
#pragma once
#include "CharTables.h"
#include "Osprey.h"

namespace osprey {

CharClass ClassOf(PRSWCHAR c);
PRSWCHAR ToLower(PRSWCHAR c);

} // namespace osprey
