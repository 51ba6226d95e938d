// A locale's date and time pictures, as arbitrary text. The first byte
// chooses whether years are wanted and whether the separator before a year
// is dropped. Separators must stay within their bound and hold nothing but
// punctuation, years must be reported exactly when one was handed over, and
// a quoted literal must be what stood between its quotes.
#include "Picture.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace curlew;

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "picture reader broke its promise: %s\n", what);
        std::abort();
    }
}

class Checker : public PictureSink {
public:
    Checker(const std::string& picture, bool wantYears, bool dropBeforeYear)
        : m_picture(picture), m_wantYears(wantYears), m_dropBeforeYear(dropBeforeYear)
    {
    }
    bool years = false;
    bool separatorBeforeYear = false;

    void OnElement(Element element, const std::string& separator, const std::string& literal) override
    {
        Require(separator.size() <= kMaxSeparator, "separator beyond its bound");
        for (char c : separator) {
            const unsigned char u = static_cast<unsigned char>(c);
            Require(u > 0x20 && u < 0x7F && !(u >= '0' && u <= '9') && !((u | 0x20) >= 'a' && (u | 0x20) <= 'z'),
                    "a separator that is not punctuation");
        }
        if (element == Element::Year) {
            Require(m_wantYears, "a year nobody wanted");
            Require(!m_dropBeforeYear || separator.empty(), "a dropped separator came through");
            years = true;
        }
        if (element == Element::Literal) {
            Require(!literal.empty(), "an empty literal");
            // Doubled quotes inside stand for one.
            std::string quoted;
            for (char c : literal)
                quoted += c == '\'' ? std::string("''") : std::string(1, c);
            Require(m_picture.find("'" + quoted) != std::string::npos, "a literal that was not in the picture");
        } else {
            Require(literal.empty(), "an element with a literal");
        }
    }

private:
    const std::string& m_picture;
    bool m_wantYears, m_dropBeforeYear;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string picture(reinterpret_cast<const char*>(data) + 1, size - 1);
    const bool wantYears = data[0] & 1, dropBeforeYear = data[0] & 2;
    Checker checker(picture, wantYears, dropBeforeYear);
    PictureScan scan = ScanPicture(picture, wantYears, dropBeforeYear, checker);
    Require(scan.hadYear == checker.years, "years reported and handed over differ");
    Require(!scan.separatorBeforeYear || scan.hadYear, "a separator before no year");
    return 0;
}
