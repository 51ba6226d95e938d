#include "TextUtil.h"

#include <cstring>
#ifdef _WIN32
#include <windows.h>
#endif

const char* FindDelimitedWord(const char* text, const char* word, const char* delimiters)
{
    if (!text || !word || !*word)
        return nullptr;
    for (const char* at = std::strstr(text, word); at; at = std::strstr(at + 1, word)) {
        if (at == text)
            return at;
        char before = at[-1];
        if (delimiters && std::strchr(delimiters, before))
            return at;
    }
    return nullptr;
}

#ifdef _WIN32
int AnsiToWide(const char* s, wchar_t* out, int outLen, int sLen)
{
    return MultiByteToWideChar(CP_ACP, 0, s, sLen, out, outLen);
}
#endif
