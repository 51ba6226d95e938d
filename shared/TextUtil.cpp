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

bool SelectToolTipText(const char* text, bool twoStates, bool alternate, char* out, size_t outLen)
{
    if (!out || outLen == 0)
        return false;
    const char* tip = text ? text : "";
    if (const char* lineFeed = std::strchr(tip, '\n'))
        tip = lineFeed + 1;
    size_t length = std::strlen(tip);
    if (twoStates) {
        if (const char* second = std::strchr(tip, '\n')) {
            if (alternate) {
                tip = second + 1;
                length = std::strlen(tip);
            } else {
                length = static_cast<size_t>(second - tip);
            }
        }
    }
    if (length >= outLen)
        length = outLen - 1;
    std::memcpy(out, tip, length);
    out[length] = '\0';
    return true;
}

#ifdef _WIN32
int AnsiToWide(const char* s, wchar_t* out, int outLen, int sLen)
{
    return MultiByteToWideChar(CP_ACP, 0, s, sLen, out, outLen);
}
#endif
