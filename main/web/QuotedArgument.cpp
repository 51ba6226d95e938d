#include "QuotedArgument.h"

CString QuotedArgument(LPCSTR text)
{
    CString quoted('"');
    int backslashes = 0;
    for (LPCSTR p = text; *p; p = CharNextA(p)) {
        if (*p == '"') {
            for (int k = 0; k <= backslashes; ++k)
                quoted += '\\';
        }
        backslashes = *p == '\\' ? backslashes + 1 : 0;
        quoted += CString(p, static_cast<int>(CharNextA(p) - p));
    }
    for (int k = 0; k < backslashes; ++k)
        quoted += '\\';
    quoted += '"';
    return quoted;
}
