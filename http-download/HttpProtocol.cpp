#include "HttpProtocol.h"
#include "HttpErrors.h"

#include <cstdio>
#include <cstring>

namespace shrike {

namespace {

const int32_t kLargest = 0x7fffffff;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Case-insensitive: does [text, end) begin with word?
bool StartsWith(const char* text, const char* end, const char* word)
{
    for (; *word; ++text, ++word) {
        if (text == end || Lower(*text) != *word)
            return false;
    }
    return true;
}

// The value of header line [line, end) when it is "name:", blanks skipped.
const char* HeaderValue(const char* line, const char* end, const char* name)
{
    size_t n = std::strlen(name);
    if (!StartsWith(line, end, name) || line + n == end || line[n] != ':')
        return nullptr;
    const char* v = line + n + 1;
    while (v != end && IsBlank(*v))
        ++v;
    return v;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = Lower(c);
    return (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
}

}

bool HasControlChar(const char* text)
{
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (*p < 0x20 || *p == 0x7f)
            return true;
    }
    return false;
}

std::string ReportableStatusLine(const char* line, size_t length)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    const size_t shown = length < kReportedStatusBytes ? length : kReportedStatusBytes;
    for (size_t i = 0; i < shown; ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c >= 0x7f || c == '\\') {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    if (shown < length)
        out += "...";
    return out;
}

const char* BuildRequest(char* out, size_t capacity, size_t* length, const char* path,
                         const char* serverHost, bool viaProxy, bool http11)
{
    // A control character would let the path or host forge request lines.
    if (!path || !serverHost || HasControlChar(path) || HasControlChar(serverHost))
        return kGenRequestTooSmall;
    size_t pathLen = std::strlen(path), hostLen = std::strlen(serverHost);
    if (pathLen > capacity || hostLen > capacity || capacity < pathLen + 2 * hostLen + 100)
        return kGenRequestTooSmall;

    const char* slash = (path[0] == '/') ? "" : "/";
    int n;
    if (http11) {
        n = viaProxy ? std::snprintf(out, capacity,
                                     "GET http://%s%s%s HTTP/1.1\r\nHost: %s\r\nContent-Length: 0\r\n\r\n",
                                     serverHost, slash, path, serverHost)
                     : std::snprintf(out, capacity,
                                     "GET %s%s HTTP/1.1\r\nHost: %s\r\nContent-Length: 0\r\n\r\n",
                                     slash, path, serverHost);
    } else {
        n = viaProxy ? std::snprintf(out, capacity, "GET http://%s%s%s HTTP/1.0\r\n\r\n", serverHost,
                                     slash, path)
                     : std::snprintf(out, capacity, "GET %s%s HTTP/1.0\r\n\r\n", slash, path);
    }
    if (n < 0 || static_cast<size_t>(n) >= capacity)
        return kGenRequestTooSmall;
    *length = static_cast<size_t>(n);
    return nullptr;
}

bool FindHeadEnd(const char* data, size_t held, HeadEnd* end)
{
    // An empty line is LF, CR LF, or a lone CR; a CR at the end of the held
    // bytes waits for its LF so that the LF is never taken for body data.
    auto emptyLineAt = [&](size_t i) {
        if (data[i] == '\n') {
            *end = {i, i + 1};
            return true;
        }
        if (i + 1 >= held)
            return false;
        *end = {i, data[i + 1] == '\n' ? i + 2 : i + 1};
        return true;
    };
    if (held > 0 && (data[0] == '\r' || data[0] == '\n'))
        return emptyLineAt(0);
    for (size_t i = 0; i + 1 < held; ++i) {
        if (data[i] == '\n' && (data[i + 1] == '\r' || data[i + 1] == '\n'))
            return emptyLineAt(i + 1);
    }
    return false;
}

bool CanBeStatusLine(const char* data, size_t held)
{
    static const char kStart[] = "http/1.";
    for (size_t i = 0; i < held && i < sizeof kStart - 1; ++i) {
        if (Lower(data[i]) != kStart[i])
            return false;
    }
    return true;
}

HeadFacts ReadHeadFacts(const char* head, size_t length, bool http11)
{
    HeadFacts facts;
    facts.keepAlive = http11 && length > 7 && head[7] != '0';
    const char* end = head + length;
    const char* line = static_cast<const char*>(std::memchr(head, '\n', length));
    while (line && ++line < end) {
        const char* eol = static_cast<const char*>(std::memchr(line, '\n', end - line));
        const char* stop = eol ? eol : end;
        if (stop > line && stop[-1] == '\r')
            --stop;
        if (const char* v = HeaderValue(line, stop, "transfer-encoding")) {
            if (!StartsWith(v, stop, "chunked")) {
                facts.unsupportedEncoding = true;
                return facts;
            }
            facts.bodyMode = kBodyChunked;
        } else if (const char* v = HeaderValue(line, stop, "connection")) {
            if (StartsWith(v, stop, "close"))
                facts.keepAlive = false;
        } else if (const char* v = HeaderValue(line, stop, "content-length")) {
            if (!ParseContentLength(v, stop - v, &facts.bodyMode)) {
                facts.badLength = true;
                return facts;
            }
        }
        line = eol;
    }
    return facts;
}

int StatusCode(const char* head, size_t length)
{
    const char* end = head + length;
    const char* p = head;
    while (p != end && !IsBlank(*p) && *p != '\r' && *p != '\n')
        ++p;
    while (p != end && IsBlank(*p))
        ++p;
    int code = 0;
    for (int digits = 0; p != end && *p >= '0' && *p <= '9' && digits < 9; ++p, ++digits)
        code = code * 10 + (*p - '0');
    return code;
}

bool ParseContentLength(const char* text, size_t length, int32_t* value)
{
    const char* p = text;
    const char* end = text + length;
    while (p != end && IsBlank(*p))
        ++p;
    if (p == end || *p < '0' || *p > '9')
        return false;
    int64_t v = 0;
    for (; p != end && *p >= '0' && *p <= '9'; ++p) {
        v = v * 10 + (*p - '0');
        if (v > kLargest)
            return false;
    }
    while (p != end && (IsBlank(*p) || *p == '\r'))
        ++p;
    if (p != end)
        return false;
    *value = static_cast<int32_t>(v);
    return true;
}

bool ParseChunkSize(const char* line, size_t length, int32_t* size)
{
    const char* p = line;
    const char* end = line + length;
    if (p == end || HexDigit(*p) < 0)
        return false;
    int64_t v = 0;
    for (int d; p != end && (d = HexDigit(*p)) >= 0; ++p) {
        v = v * 16 + d;
        if (v > kLargest)
            return false;
    }
    while (p != end && IsBlank(*p))
        ++p;
    if (p != end && *p != ';' && !(*p == '\r' && p + 1 == end))
        return false;
    *size = static_cast<int32_t>(v);
    return true;
}

}
