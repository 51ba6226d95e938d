#include "WebTemplate.h"

#include <cstdio>
#include <istream>
#include <iterator>
#include <ostream>
#include <utility>

namespace {

const char kMarker[] = "$:";
const size_t kMarkerLength = 2;
const int kMaxQueryWords = 100;

bool IsNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string WithoutLeadingWhiteSpace(const std::string& text)
{
    size_t start = 0;
    while (start < text.size() && IsWhiteSpace(text[start]))
        ++start;
    return text.substr(start);
}

bool IsUrlUnreserved(unsigned char c)
{
    return IsNameChar(static_cast<char>(c)) || c == '-' || c == '.' || c == '_' || c == '~';
}

const char* HtmlReference(char c)
{
    switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    case '\'': return "&#39;";
    // Starts a UTF-7 run, which a browser that guesses UTF-7 would read as markup.
    case '+': return "&#43;";
    default: return nullptr;
    }
}

} // namespace

//--- QUITEMPLATE_PARAM, STREAM_PARAM

QUITEMPLATE_PARAM::QUITEMPLATE_PARAM(const char* name, const char* value, bool verbatim)
    : m_name(name ? name : ""), m_value(value ? value : ""), m_hasValue(value != nullptr), m_verbatim(verbatim)
{
}

STREAM_PARAM::STREAM_PARAM(const std::string& name, bool found, size_t marker, size_t end)
    : QUITEMPLATE_PARAM(name.c_str(), nullptr),
      m_found(found),
      m_length(found ? kMarkerLength + name.size() : 0),
      m_marker(marker),
      m_end(end)
{
}

STREAM_PARAM STREAM_PARAM::Find(const std::string& text, size_t from)
{
    size_t marker = from <= text.size() ? text.find(kMarker, from) : std::string::npos;
    if (marker == std::string::npos)
        return STREAM_PARAM(std::string(), false, text.size(), text.size());
    size_t end = marker + kMarkerLength;
    while (end < text.size() && IsNameChar(text[end]))
        ++end;
    const size_t nameStart = marker + kMarkerLength;
    return STREAM_PARAM(text.substr(nameStart, end - nameStart), true, marker, end);
}

//--- QuiTemplateParamList

void QuiTemplateParamList::Add(const char* name, const char* value, bool verbatim)
{
    m_params.emplace_back(name, value, verbatim);
}

const QUITEMPLATE_PARAM* QuiTemplateParamList::Find(const std::string& name) const
{
    for (const QUITEMPLATE_PARAM& param : m_params) {
        if (SameNameIgnoringCase(param.GetName(), name))
            return &param;
    }
    return nullptr;
}

void AddQueryWords(QuiTemplateParamList& params, const char* prefix, const std::string& query)
{
    size_t start = 0;
    size_t search = 0;
    for (int number = 1; number <= kMaxQueryWords; ++number) {
        const size_t blank = query.find(' ', search);
        const bool last = blank == std::string::npos;
        const std::string word = WithoutLeadingWhiteSpace(query.substr(start, last ? std::string::npos : blank - start));
        char name[128];
        std::snprintf(name, sizeof name, "%sword%d", prefix, number);
        params.Add(name, word.c_str());
        if (last)
            break;
        start = blank;
        search = blank + 1;
    }
}

std::string EscapeTemplateValue(const std::string& value, QuiTemplateEscape escape)
{
    if (escape == templateAsIs)
        return value;
    static const char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(value.size());
    for (char c : value) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (escape == templateUrl && !IsUrlUnreserved(byte)) {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0x0F];
        } else if (const char* reference = escape == templateHtml ? HtmlReference(c) : nullptr) {
            escaped += reference;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

//--- QUITEMPLATE

QUITEMPLATE::QUITEMPLATE(std::istream* input, std::ostream* output, QuiTemplateParamList params,
                         QuiTemplateEscape escape)
    : m_input(input), m_output(output), m_params(std::move(params)), m_escape(escape)
{
}

unsigned QUITEMPLATE::Expand(QUITEMPLATE* job)
{
    if (!job || !job->m_input || !job->m_output)
        return QUITEMPLATE_BAD_JOB;
    // Read one byte past the limit: enough to know the template is too long
    // without holding all of it.
    std::string text;
    std::istreambuf_iterator<char> in(*job->m_input), end;
    while (in != end && text.size() <= QUITEMPLATE_MAX_INPUT)
        text += *in++;
    if (text.size() > QUITEMPLATE_MAX_INPUT)
        return 0;

    // Values may make the text longer than any fixed multiple of the
    // template: the buffer grows as it must.
    std::string filled;
    filled.reserve(2 * text.size());
    size_t rest = 0;
    for (;;) {
        const STREAM_PARAM placeholder = STREAM_PARAM::Find(text, rest);
        if (!placeholder.IsFound()) {
            filled.append(text, rest, std::string::npos);
            break;
        }
        filled.append(text, rest, placeholder.GetMarker() - rest);
        const QUITEMPLATE_PARAM* param = job->m_params.Find(placeholder.GetName());
        if (param && param->GetValue())
            filled += EscapeTemplateValue(param->GetValue(), param->IsVerbatim() ? templateAsIs : job->m_escape);
        rest = placeholder.GetEnd();
    }
    job->m_output->write(filled.data(), static_cast<std::streamsize>(filled.size()));
    return 0;
}
