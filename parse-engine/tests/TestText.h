// Text helpers of the engine's tests: literals in either tree's wide type.
#pragma once
#include "Osprey.h"

#include <ostream>
#include <string>

using WText = std::basic_string<PRSWCHAR>;

inline WText W(const char16_t* text)
{
    WText out;
    for (; *text; ++text)
        out += static_cast<PRSWCHAR>(*text);
    return out;
}

inline WText W(const char* text)
{
    WText out;
    for (; *text; ++text)
        out += static_cast<PRSWCHAR>(static_cast<unsigned char>(*text));
    return out;
}

// For messages: ASCII as is, anything else as \uXXXX.
inline std::string Narrow(const PRSWCHAR* text)
{
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (; text && *text; ++text) {
        unsigned c = static_cast<uint16_t>(*text);
        if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += hex[(c >> shift) & 15];
        }
    }
    return out;
}

inline std::string Narrow(const WText& text)
{
    return Narrow(text.c_str());
}
