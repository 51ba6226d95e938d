// Where the package reads the user's date and time formats: the system's
// user default locale, or a fixed set of formats put in its place.
#pragma once
#include <string>
#include <vector>

namespace curlew {

struct LocaleFormats {
    std::string order;          // short-date order: "0" month first, "1" day first, "2" year first
    std::string clock;          // "1" for a 24-hour clock
    std::string dateSeparator;
    std::string timeSeparator;
    std::string shortDate;      // the locale's own short date picture
    std::string timeFormat;     // the locale's own time picture
    std::vector<std::string> shortDates, longDates, times;
};

class LocaleSource {
public:
    virtual ~LocaleSource() = default;
    virtual LocaleFormats Read() const = 0;
};

// The formats of the user default locale (on the host: the en-US fixture).
const LocaleSource& GetLocaleSource();
// Replaces the source (null restores the default); the caller keeps it.
void SetLocaleSource(const LocaleSource* source);

// Fixed formats, as Wine reports them for these locales.
LocaleFormats EnUsFormats();
LocaleFormats EnGbFormats();
LocaleFormats DeDeFormats();

class FixedLocale : public LocaleSource {
public:
    explicit FixedLocale(LocaleFormats formats) : m_formats(std::move(formats)) {}
    LocaleFormats Read() const override { return m_formats; }

private:
    LocaleFormats m_formats;
};

} // namespace curlew
