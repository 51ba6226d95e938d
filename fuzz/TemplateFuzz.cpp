// The template expander on arbitrary text and parameters. The first byte
// chooses how values are escaped; the bytes up to the first zero byte behind
// it are name=value lines of parameters, the rest is the template. The filled
// text must be what a plain walk over the template gives, escaped values must
// stay inside their character sets, and the query words must follow the
// blanks of the text.
#include "WebTemplate.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "template expander broke its promise: %s\n", what);
        std::abort();
    }
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    return text;
}

struct Param {
    std::string name, value;
    bool verbatim;
};

// The value a name stands for: the first parameter of that name.
const Param* Lookup(const std::vector<Param>& params, const std::string& name)
{
    for (const Param& param : params) {
        if (Lower(param.name) == Lower(name))
            return &param;
    }
    return nullptr;
}

// Character by character, as a reader of the template would fill it.
std::string WalkOver(const std::string& text, const std::vector<Param>& params, QuiTemplateEscape escape)
{
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '$' || i + 1 >= text.size() || text[i + 1] != ':') {
            out += text[i++];
            continue;
        }
        size_t j = i + 2;
        while (j < text.size() && std::isalnum(static_cast<unsigned char>(text[j])) &&
               static_cast<unsigned char>(text[j]) < 0x80)
            ++j;
        if (const Param* param = Lookup(params, text.substr(i + 2, j - i - 2)))
            out += EscapeTemplateValue(param->value, param->verbatim ? templateAsIs : escape);
        i = j;
    }
    return out;
}

void CheckEscaped(const std::string& value)
{
    const std::string url = EscapeTemplateValue(value, templateUrl);
    for (size_t i = 0; i < url.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(url[i]);
        if (c == '%') {
            Require(i + 2 < url.size() && std::isxdigit(static_cast<unsigned char>(url[i + 1])) &&
                        std::isxdigit(static_cast<unsigned char>(url[i + 2])),
                    "a % without two hex digits in a URL value");
            i += 2;
            continue;
        }
        Require(std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~', "a reserved byte in a URL value");
    }
    const std::string html = EscapeTemplateValue(value, templateHtml);
    // "+" too: it opens markup in UTF-7 form.
    Require(html.find_first_of("<>\"'+") == std::string::npos, "markup in an HTML value");
}

void CheckWords(const std::string& query)
{
    QuiTemplateParamList words;
    AddQueryWords(words, "q", query);
    size_t blanks = 0;
    for (char c : query)
        blanks += c == ' ';
    const size_t expected = blanks + 1 < 100 ? blanks + 1 : 100;
    Require(words.GetCount() == expected, "one word per blank, at most 100");
    for (const QUITEMPLATE_PARAM& word : words.GetParams()) {
        const std::string value = word.GetValue();
        Require(value.find(' ') == std::string::npos, "a blank inside a word");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QuiTemplateEscape escape = static_cast<QuiTemplateEscape>(data[0] % 3);
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t split = rest.find('\0');
    const std::string lines = split == std::string::npos ? std::string() : rest.substr(0, split);
    const std::string text = split == std::string::npos ? rest : rest.substr(split + 1);

    std::vector<Param> params;
    QuiTemplateParamList list;
    std::istringstream in(lines);
    std::string line;
    while (std::getline(in, line)) {
        const size_t equals = line.find('=');
        Param param{line.substr(0, equals), equals == std::string::npos ? "" : line.substr(equals + 1),
                    !line.empty() && line[0] == '+'};
        list.Add(param.name.c_str(), param.value.c_str(), param.verbatim);
        params.push_back(param);
        CheckEscaped(param.value);
        CheckWords(param.value);
    }

    std::istringstream input(text);
    std::ostringstream output;
    QUITEMPLATE job(&input, &output, list, escape);
    Require(job.Expand() == 0, "a whole job refused");
    Require(output.str() == WalkOver(text, params, escape), "filled text differs from the walk over the template");
    return 0;
}
