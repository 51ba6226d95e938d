#include "winuser.h"

BOOL IsDBCSLeadByte(BYTE c)
{
    return (c >= 0x81 && c <= 0x9f) || (c >= 0xe0 && c <= 0xfc);
}

LPSTR CharNextA(LPCSTR text)
{
    if (!*text)
        return const_cast<LPSTR>(text);
    return const_cast<LPSTR>(text + (IsDBCSLeadByte(static_cast<BYTE>(*text)) && text[1] ? 2 : 1));
}
