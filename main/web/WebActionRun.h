// What the web action handler uses of the temporary pages beyond the public
// operations.
#pragma once

#include <string>

#include "WebActionHandler.h"

// A page no other holds: the temporary page, or while a browser may still
// read that one, its name with the first free number behind it
// ("QuillmateWebAction3.html").
CString GetFreeWebActionPagePath();
// Writes the page, headed by the mark of the web and its character set,
// beside its place and renames it over the place only when it was written
// whole; FALSE, and the place untouched, otherwise.
BOOL WriteWebActionPage(const char* path, const std::string& text);
