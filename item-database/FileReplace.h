// Seam for putting a completely written file in place of its target.
#pragma once

namespace kestrel {
// Renames `source` over `target`, replacing it; false leaves both as they were.
bool ReplaceFileWith(const char* source, const char* target);
}
