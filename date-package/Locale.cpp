#include "Locale.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace curlew {

namespace {

#ifdef _WIN32
std::string Info(LCTYPE type)
{
    char buffer[256];
    int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, strnlen(buffer, sizeof buffer)) : std::string();
}

// The enumerations pass no context to their callbacks.
std::vector<std::string>* g_collecting = nullptr;

BOOL CALLBACK Collect(LPSTR format)
{
    if (format)
        g_collecting->push_back(format);
    return TRUE;
}

std::vector<std::string> DateFormats(DWORD flags)
{
    std::vector<std::string> list;
    g_collecting = &list;
    EnumDateFormatsA(Collect, LOCALE_USER_DEFAULT, flags);
    g_collecting = nullptr;
    return list;
}

std::vector<std::string> TimeFormats()
{
    std::vector<std::string> list;
    g_collecting = &list;
    EnumTimeFormatsA(Collect, LOCALE_USER_DEFAULT, 0);
    g_collecting = nullptr;
    return list;
}

class SystemLocale : public LocaleSource {
public:
    LocaleFormats Read() const override
    {
        LocaleFormats f;
        f.order = Info(LOCALE_IDATE);
        f.clock = Info(LOCALE_ITIME);
        f.dateSeparator = Info(LOCALE_SDATE);
        f.timeSeparator = Info(LOCALE_STIME);
        f.shortDate = Info(LOCALE_SSHORTDATE);
        f.timeFormat = Info(LOCALE_STIMEFORMAT);
        f.shortDates = DateFormats(DATE_SHORTDATE);
        f.longDates = DateFormats(DATE_LONGDATE);
        f.times = TimeFormats();
        return f;
    }
};
const SystemLocale g_default;
#else
const FixedLocale g_default(EnUsFormats());
#endif

const LocaleSource* g_source = nullptr;

} // namespace

const LocaleSource& GetLocaleSource()
{
    return g_source ? *g_source : g_default;
}

void SetLocaleSource(const LocaleSource* source)
{
    g_source = source;
}

LocaleFormats EnUsFormats()
{
    LocaleFormats f;
    f.order = "0";
    f.clock = "0";
    f.dateSeparator = "/";
    f.timeSeparator = ":";
    f.shortDate = "M/d/yyyy";
    f.timeFormat = "h:mm:ss tt";
    f.shortDates = {"M/d/yyyy", "MMM d, yyyy"};
    f.longDates = {"dddd, MMMM d, yyyy", "MMMM d, yyyy"};
    f.times = {"h:mm:ss tt", "HH:mm:ss"};
    return f;
}

LocaleFormats EnGbFormats()
{
    LocaleFormats f;
    f.order = "1";
    f.clock = "1";
    f.dateSeparator = "/";
    f.timeSeparator = ":";
    f.shortDate = "dd/MM/yyyy";
    f.timeFormat = "HH:mm:ss";
    f.shortDates = {"dd/MM/yyyy", "d MMM yyyy"};
    f.longDates = {"dddd, d MMMM yyyy", "d MMMM yyyy"};
    f.times = {"HH:mm:ss"};
    return f;
}

LocaleFormats DeDeFormats()
{
    LocaleFormats f;
    f.order = "1";
    f.clock = "1";
    f.dateSeparator = ".";
    f.timeSeparator = ":";
    f.shortDate = "d.M.yyyy";
    f.timeFormat = "HH:mm:ss";
    f.shortDates = {"d.M.yyyy", "d. MMM yyyy"};
    f.longDates = {"dddd, d. MMMM yyyy", "d. MMMM yyyy"};
    f.times = {"HH:mm:ss"};
    return f;
}

} // namespace curlew
