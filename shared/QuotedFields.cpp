#include "QuotedFields.h"

#include <cstring>
#include <string>

char* QuoteCsvField(char* text, size_t capacity)
{
    if (!text)
        return nullptr;
    size_t length = 0, quotes = 0;
    // Bounded by capacity: an unterminated buffer must not be read past its end.
    while (length < capacity && text[length]) {
        if (text[length] == '"')
            ++quotes;
        ++length;
    }
    if (length == capacity || length + quotes + 3 > capacity)
        return nullptr;

    char* out = text + length + quotes + 2;
    *out = '\0';
    *--out = '"';
    for (size_t i = length; i-- > 0;) {
        *--out = text[i];
        if (text[i] == '"')
            *--out = '"';
    }
    *--out = '"';
    return text;
}

char* UnquoteCsvField(char* text)
{
    if (!text)
        return nullptr;
    size_t length = std::strlen(text);
    if (length < 2)
        return text;

    char* read = text;
    if (*read == '"') {
        ++read;
        --length;
        if (read[length - 1] == '"')
            --length;
    }
    char* write = text;
    const char* end = read + length;
    while (read < end) {
        if (read[0] == '"' && read + 1 < end && read[1] == '"')
            ++read;
        *write++ = *read++;
    }
    *write = '\0';
    return text;
}

namespace {

template <class Char>
int SplitLine(Char* line, Char** fields, int capacity, Char separator)
{
    if (!fields || capacity < 1)
        return 0;
    int count = 0;
    const size_t length = line ? std::char_traits<Char>::length(line) : 0;
    size_t pos = 0;
    while (pos < length && count < capacity - 1) {
        fields[count++] = line + pos;
        bool quoted = line[pos] == '"';
        if (quoted)
            ++pos;
        for (; pos < length; ++pos) {
            Char c = line[pos];
            if (c == '\n')
                break;
            if (quoted && c == '"') {
                if (line[pos + 1] == '"')
                    ++pos;
                else
                    quoted = false;
            } else if (!quoted && c == separator) {
                break;
            }
        }
        line[pos++] = 0;
    }
    fields[count] = nullptr;
    return count;
}

}  // namespace

int SplitCsvLine(char* line, char** fields, int capacity, char separator)
{
    return SplitLine(line, fields, capacity, separator);
}

int SplitCsvLine(wchar_t* line, wchar_t** fields, int capacity, wchar_t separator)
{
    return SplitLine(line, fields, capacity, separator);
}
