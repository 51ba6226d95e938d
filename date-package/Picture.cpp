#include "Picture.h"

#ifdef _WIN32
#include <mbctype.h>
#include <mbstring.h>
#endif

namespace curlew {

namespace {

// Bytes of the character at `at`: a lead byte and its trail byte are one
// character of the code page, never read as two.
size_t CharLength(const std::string& s, size_t at)
{
    unsigned char u = static_cast<unsigned char>(s[at]);
#ifdef _WIN32
    return _ismbblead(u) && at + 1 < s.size() ? 2 : 1;
#else
    size_t n = u < 0xC0 ? 1 : u < 0xE0 ? 2 : u < 0xF0 ? 3 : 4;
    return at + n <= s.size() ? n : 1;
#endif
}

bool IsPunctuation(const std::string& s, size_t at, size_t length)
{
    unsigned char u = static_cast<unsigned char>(s[at]);
#ifdef _WIN32
    unsigned int c = length == 2 ? (u << 8) | static_cast<unsigned char>(s[at + 1]) : u;
    return _ismbcpunct(c) != 0;
#else
    // The host's code page is UTF-8; its punctuation beyond ASCII is not read.
    return length == 1 && u > 0x20 && u < 0x7F && !(u >= '0' && u <= '9') &&
           !((u | 0x20) >= 'a' && (u | 0x20) <= 'z');
#endif
}

size_t RunLength(const std::string& s, size_t at)
{
    size_t end = at;
    while (end < s.size() && s[end] == s[at])
        ++end;
    return end - at;
}

} // namespace

PictureScan ScanPicture(const std::string& picture, bool wantYears, bool dropSeparatorBeforeYear,
                        PictureSink& sink)
{
    PictureScan scan;
    std::string pending;
    bool afterElement = false;      // punctuation is collected only after an element
    auto hand = [&](Element e, const std::string& literal) {
        sink.OnElement(e, pending, literal);
        pending.clear();
        afterElement = true;
    };
    auto skip = [&] {
        pending.clear();
        afterElement = false;       // nothing collected until the next element
    };
    size_t i = 0;
    while (i < picture.size()) {
        char c = picture[i];
        size_t run = RunLength(picture, i);
        switch (c) {
        case 'd':
            hand(run <= 2 ? Element::DayNumber : Element::WeekdayName, std::string());
            break;
        case 'M':
            hand(run <= 2 ? Element::MonthNumber : Element::MonthName, std::string());
            break;
        case 'y':
            if (!wantYears) {
                skip();
                break;
            }
            scan.hadYear = true;
            scan.separatorBeforeYear = scan.separatorBeforeYear || !pending.empty();
            if (dropSeparatorBeforeYear)
                pending.clear();
            hand(Element::Year, std::string());
            break;
        case 'H': hand(Element::Hour24, std::string()); break;
        case 'h': hand(Element::Hour12, std::string()); break;
        case 'm': hand(Element::Minute, std::string()); break;
        case 't': hand(Element::Marker, std::string()); break;
        case 'g':
        case 's':
            skip();
            break;
        case '\'': {
            std::string literal;
            size_t j = i + 1;
            while (j < picture.size()) {
                if (picture[j] == '\'') {
                    if (j + 1 < picture.size() && picture[j + 1] == '\'') {
                        literal += '\'';
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                literal += picture[j++];
            }
            if (!literal.empty())
                hand(Element::Literal, literal);
            i = j;
            continue;
        }
        default:
            run = CharLength(picture, i);
            if (afterElement && IsPunctuation(picture, i, run) && pending.size() + run <= kMaxSeparator)
                pending.append(picture, i, run);
            break;
        }
        i += run;
    }
    return scan;
}

} // namespace curlew
