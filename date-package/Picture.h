// Reading a locale's date or time picture element by element.
#pragma once
#include <string>

namespace curlew {

enum class Element { Literal, Year, MonthNumber, MonthName, DayNumber, WeekdayName,
                     Hour24, Hour12, Minute, Marker };

// Receives each element with the separator text that stood before it.
class PictureSink {
public:
    virtual ~PictureSink() = default;
    virtual void OnElement(Element element, const std::string& separator, const std::string& literal) = 0;
};

struct PictureScan {
    bool hadYear = false;
    bool separatorBeforeYear = false;
};

// Separator texts are kept to this many bytes; the rest is dropped.
const size_t kMaxSeparator = 31;

PictureScan ScanPicture(const std::string& picture, bool wantYears, bool dropSeparatorBeforeYear,
                        PictureSink& sink);

} // namespace curlew
