// PrsWiden and PrsNarrow: code-page conversions into rotating result buffers,
// so that several results can be used together.
#include "Guard.h"
#include "Osprey.h"

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const size_t kCapacity = 1024;      // characters (bytes) of a result, terminator extra
const size_t kRing = 8;

template <class Char>
Char* NextBuffer()
{
    static Char buffers[kRing][kCapacity + 1];
    static size_t next = 0;
    return buffers[next++ % kRing];
}

bool IsHighSurrogate(PRSWCHAR c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

#ifdef _WIN32
bool Widen(const char* text, std::wstring* out)
{
    int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (n <= 0)
        return false;
    out->resize(static_cast<size_t>(n));
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, &(*out)[0], n) != n)
        return false;
    out->resize(static_cast<size_t>(n - 1));
    return true;
}

// One character (one or two code units) in the code page; false when it has none.
bool NarrowOne(const PRSWCHAR* c, int units, std::string* out)
{
    char bytes[16];
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(CP_ACP, 0, c, units, bytes, sizeof bytes, nullptr, &lossy);
    if (n <= 0 || lossy)
        return false;
    out->assign(bytes, static_cast<size_t>(n));
    return true;
}
#else
// The host's code page is UTF-8.
bool Widen(const char* text, std::u16string* out)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        uint32_t c = *p++;
        int more = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (more < 0)
            return false;
        if (more)
            c &= 0x3F >> more;
        for (int i = 0; i < more; ++i, ++p) {
            if ((*p & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (*p & 0x3F);
        }
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        if (c >= 0x10000) {
            out->push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out->push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out->push_back(static_cast<char16_t>(c));
        }
    }
    return true;
}

bool NarrowOne(const PRSWCHAR* c, int units, std::string* out)
{
    uint32_t cp = c[0];
    if (units == 2)
        cp = 0x10000 + ((cp - 0xD800) << 10) + (c[1] - 0xDC00);
    else if (cp >= 0xD800 && cp <= 0xDFFF)
        return false;
    out->clear();
    if (cp < 0x80) {
        out->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    return true;
}
#endif

} // namespace

extern "C" {

const PRSWCHAR* PRSAPI PrsWiden(const char* text)
{
    if (!text)
        return nullptr;
    return osprey::Guarded<const PRSWCHAR*>(nullptr, [&]() -> const PRSWCHAR* {
        std::basic_string<PRSWCHAR> wide;
        if (!Widen(text, &wide))
            return nullptr;
        size_t n = wide.size();
        if (n > kCapacity) {
            n = kCapacity;
            if (IsHighSurrogate(wide[n - 1]))
                --n;            // never half a character
        }
        PRSWCHAR* buffer = NextBuffer<PRSWCHAR>();
        wide.copy(buffer, n);
        buffer[n] = 0;
        return buffer;
    });
}

const char* PRSAPI PrsNarrow(const PRSWCHAR* text)
{
    if (!text)
        return nullptr;
    return osprey::Guarded<const char*>(nullptr, [&]() -> const char* {
        std::string narrow, one;
        for (const PRSWCHAR* p = text; *p;) {
            int units = IsHighSurrogate(p[0]) && p[1] >= 0xDC00 && p[1] <= 0xDFFF ? 2 : 1;
            if (!NarrowOne(p, units, &one))
                return nullptr;
            if (narrow.size() + one.size() > kCapacity)
                break;          // cut before a character that does not fit whole
            narrow += one;
            p += units;
        }
        char* buffer = NextBuffer<char>();
        narrow.copy(buffer, narrow.size());
        buffer[narrow.size()] = 0;
        return buffer;
    });
}

} // extern "C"
