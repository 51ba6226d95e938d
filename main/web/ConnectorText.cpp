#include "ConnectorText.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "QuotedFields.h"
#include "TextUtil.h"

namespace ConnectorText {

namespace {

// A carriage return is no separator: in CR LF files the line feed serves.
const char kTagDelimiters[] = " \t\n<";

bool IsTagDelimiter(char c)
{
    return c != '\0' && std::strchr(kTagDelimiters, c) != nullptr;
}

bool EndsTagName(char c)
{
    return c == '\0' || c == '>' || c == '/' || std::isspace(static_cast<unsigned char>(c));
}

// Where an unquoted value ends: the next blank, or from a double quote met on
// the way the closing one behind it.
const char* ValueEnd(const char* start)
{
    const char* p = start;
    if (*p != '"') {
        while (*p && *p != ' ' && *p != '"')
            ++p;
        if (*p != '"')
            return p;
    }
    const char* close = std::strchr(p + 1, '"');
    return close ? close + 1 : p + std::strlen(p);
}

} // namespace

const char* FindTag(const char* text, const char* from, const char* word)
{
    const char* start = from;
    for (;;) {
        const char* hit = FindDelimitedWord(start, word, kTagDelimiters);
        if (!hit || hit != start || start == text || IsTagDelimiter(start[-1]))
            return hit;
        start = hit + 1;
    }
}

const char* FindConnectorTag(const char* text, const char* from)
{
    static const char kTag[] = "<CONNECTOR";
    for (const char* at = FindTag(text, from, kTag); at; at = FindTag(text, at + 1, kTag)) {
        if (EndsTagName(at[sizeof kTag - 1]))
            return at;
    }
    return nullptr;
}

bool ReadValue(const char* key, const char* name, bool skipSpace, CString& value)
{
    const char* equals = std::strchr(key + std::strlen(name), '=');
    if (!equals)
        return false;
    const char* start = equals + 1;
    if (skipSpace) {
        while (*start && std::isspace(static_cast<unsigned char>(*start)))
            ++start;
    }
    size_t length = static_cast<size_t>(ValueEnd(start) - start);
    if (length > static_cast<size_t>(kMaxValue))
        length = kMaxValue;
    std::string taken(start, length);
    value = UnquoteCsvField(&taken[0]);
    return true;
}

CString FormatVersion(double version)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.5g", version);
    // Exponents take three digits, as the Windows C library writes them.
    std::string result(text);
    size_t e = result.find('e');
    if (e != std::string::npos) {
        size_t digits = e + 2;
        while (result.size() - digits < 3)
            result.insert(digits, "0");
    }
    return CString(result.c_str());
}

} // namespace ConnectorText
