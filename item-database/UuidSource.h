// Seam for identifier generation: the RPC run-time on Windows, the host's
// random source elsewhere.
#pragma once
#include <string>

namespace kestrel {
// A new UUID as 36 lower-case characters without braces.
std::string NewUuidText();
}
