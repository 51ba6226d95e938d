#include "UrlSplit.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace shrike {

namespace {

const char kSchemes[][10] = {"unknown", "http", "https", "file", "gopher", "ftp"};

// Zero-fills the buffer and copies what fits with its terminator; false
// when the text had to be cut.
bool CopyPart(char* buffer, unsigned capacity, const char* text, size_t length)
{
    if (!buffer || capacity == 0)
        return true;
    std::memset(buffer, 0, capacity);
    size_t n = length < capacity - 1 ? length : capacity - 1;
    std::memcpy(buffer, text, n);
    return n == length;
}

}

int CrackUrl(const char* url, QuiUrlParts* parts)
{
    if (!url || !parts)
        return 0;
    std::string copy(url);
    bool whole = true;

    size_t colon = copy.find(':');
    if (colon != std::string::npos) {
        std::string scheme = copy.substr(0, colon);
        for (char& c : scheme)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (size_t i = 0; i < sizeof kSchemes / sizeof kSchemes[0]; ++i) {
            if (scheme == kSchemes[i]) {
                parts->schemeNumber = static_cast<unsigned>(i + 1);
                whole &= CopyPart(parts->scheme, parts->schemeCapacity, kSchemes[i],
                                  std::strlen(kSchemes[i]));
                break;
            }
        }
    }

    size_t start = copy.find("://");
    if (start != std::string::npos) {
        start += 3;
        size_t sep = copy.find_first_of("/\\", start);
        if (sep != std::string::npos) {
            whole &= CopyPart(parts->host, parts->hostCapacity, copy.data() + start, sep - start);
            whole &= CopyPart(parts->path, parts->pathCapacity, copy.data() + sep, copy.size() - sep);
        }
    }
    return whole ? 1 : 0;
}

bool SplitAtFirstColon(const char* text, std::string* before, std::string* after)
{
    const char* colon = std::strchr(text, ':');
    if (!colon) {
        *before = text;
        after->clear();
        return false;
    }
    before->assign(text, colon - text);
    *after = colon + 1;
    return true;
}

int ParsePort(const char* text)
{
    long port = 0;
    const char* p = text;
    while (*p == ' ' || *p == '\t')
        ++p;
    for (; *p >= '0' && *p <= '9'; ++p) {
        port = port * 10 + (*p - '0');
        if (port > 65535)
            return 0;
    }
    return static_cast<int>(port);
}

}
