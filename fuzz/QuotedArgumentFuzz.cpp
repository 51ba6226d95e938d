// A text quoted as one argument of a program's command line, split again as
// the C run-time splits its command line in a double-byte code page (a lead
// byte takes the next byte with it, whatever it is): always exactly one
// argument, and that argument is the text. A text that ends in a lead byte
// cannot be written whole in that code page: the lead byte takes the closing
// quote as its trail, and the argument is the text and that quote.
#include "QuotedArgument.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "quoted argument broke its promise: %s\n", what);
        std::abort();
    }
}

bool Lead(char c)
{
    return IsDBCSLeadByte(static_cast<BYTE>(c));
}

// 2n backslashes and a quote: n backslashes and the quote opens or closes;
// 2n + 1 and a quote: n and a literal quote; other backslashes are literal;
// inside quotes two quotes are one literal quote; blanks and tabs outside
// quotes end an argument.
std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> args;
    size_t p = 0;
    for (;;) {
        while (p < line.size() && (line[p] == ' ' || line[p] == '\t'))
            ++p;
        if (p == line.size())
            return args;
        std::string arg;
        bool quoted = false;
        for (;;) {
            size_t slashes = 0;
            while (p < line.size() && line[p] == '\\') {
                ++p;
                ++slashes;
            }
            bool copy = true;
            if (p < line.size() && line[p] == '"') {
                if (slashes % 2 == 0) {
                    if (quoted && p + 1 < line.size() && line[p + 1] == '"')
                        ++p;
                    else {
                        copy = false;
                        quoted = !quoted;
                    }
                }
                slashes /= 2;
            }
            arg.append(slashes, '\\');
            if (p == line.size() || (!quoted && (line[p] == ' ' || line[p] == '\t')))
                break;
            if (copy) {
                if (Lead(line[p]) && p + 1 < line.size())
                    arg += line[p++];
                arg += line[p];
            }
            ++p;
        }
        args.push_back(arg);
    }
}

// Whether the text ends in a lead byte that stands alone.
bool EndsInLoneLead(const std::string& text)
{
    size_t p = 0;
    while (p < text.size()) {
        if (Lead(text[p]) && p + 1 == text.size())
            return true;
        p += Lead(text[p]) ? 2 : 1;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.substr(0, text.find('\0'));
    CString quoted = QuotedArgument(text.c_str());
    std::vector<std::string> args = Split(std::string(quoted.GetString(), quoted.GetLength()));
    Require(args.size() == 1, "the text stays one argument");
    if (EndsInLoneLead(text))
        Require(args[0] == text + "\"", "a closing lead byte takes only the closing quote");
    else
        Require(args[0] == text, "the argument is the text");
    return 0;
}
