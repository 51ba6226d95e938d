// For the host tree's fuzz targets: the characters of the ANSI code page as
// the system steps through them, in a double-byte code page (the lead bytes
// of code page 932), so that text meets trail bytes that are a backslash or
// other ASCII. A lead byte before the end of the text stands alone.
#pragma once

#include <quifw/Types.h>

BOOL IsDBCSLeadByte(BYTE c);
LPSTR CharNextA(LPCSTR text);
