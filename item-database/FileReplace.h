// Seam for writing a file safely: a temporary file of this writer's own
// beside the target, forced to disk, then put in place of the target.
#pragma once
#include <cstdio>
#include <string>

namespace kestrel {
// The temporary file beside `target` that this process writes through. The
// process number keeps two writers of one file (the program and the keyword
// import) from writing into each other's file; one process writes one file
// at a time.
std::string TemporaryNameFor(const char* target);
// Writes the stream's buffers and has the system put the file's data on the
// disk, so that a power cut after the rename cannot leave an empty file.
bool FlushToDisk(std::FILE* file);
// Renames `source` over `target`, replacing it; false leaves both as they were.
bool ReplaceFileWith(const char* source, const char* target);
}
