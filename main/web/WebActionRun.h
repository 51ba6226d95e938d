// What the web action handler uses of the temporary pages beyond the public
// operations.
#pragma once

#include <string>

#include "WebActionHandler.h"

// The page of one of several actions sent together: the temporary page's
// name with the number behind it ("QuillmateWebAction3.html").
CString GetNumberedWebActionPagePath(int number);
// Writes the page, headed by the mark of the web and its character set,
// beside its place and renames it over the place only when it was written
// whole; FALSE, and the place untouched, otherwise.
BOOL WriteWebActionPage(const char* path, const std::string& text);
