// One argument of a program's command line, quoted so that the program
// splits it back into exactly the text given.
#pragma once
#include <afxquill.h>

// In quotes, so that blanks in a folder do not split it and text behind a
// blank cannot become a switch; a quote inside and the backslashes before a
// quote (the closing one too) are escaped. Characters of the ANSI code page
// are taken whole, so a trail byte is never read as a backslash or a quote.
CString QuotedArgument(LPCSTR text);
