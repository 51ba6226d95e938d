// The parameters of a web action's template and the temporary page.
#include "WebActionRun.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "ClientRegistry.h"

namespace {

const char kPageName[] = "QuillmateWebAction";
const char kPageExtension[] = ".html";
const char kQueryName[] = "querystring";

// The names a date or time value is given, one or two per value.
typedef const char* const ValueNames[2];

const ValueNames kStartDateNames[] = {
    {"month", "startmonth"},     {"monthabbr", "startmonthabbr"}, {"monthnum", "startmonthnum"},
    {"startday", "day"},         {"startdayabbr", "dayabbr"},     {"startdaynum", "daynum"},
    {"startyear", "year"},       {"startyearabbr", "yearabbr"}};
const ValueNames kEndDateNames[] = {
    {"endmonth", nullptr},  {"endmonthabbr", nullptr}, {"endmonthnum", nullptr}, {"endday", nullptr},
    {"enddayabbr", nullptr}, {"enddaynum", nullptr},   {"endyear", nullptr},     {"endyearabbr", nullptr}};
const ValueNames kStartTimeNames[] = {
    {"starthour24", "hour24"}, {"starthour", "hour"}, {"timesuffix", "starttimesuffix"}, {"startmin", nullptr}};
const ValueNames kEndTimeNames[] = {
    {"endhour24", nullptr}, {"endhour", nullptr}, {"endtimesuffix", nullptr}, {"endmin", nullptr}};

const double kUnset = -1.0;

void AddNamed(QuiTemplateParamList& params, const ValueNames& names, const CString& value)
{
    for (const char* name : names) {
        if (name)
            params.Add(name, value);
    }
}

CString Decimal(long value)
{
    CString text;
    text.Format("%ld", value);
    return text;
}

CString LocaleText(LCTYPE type)
{
    char text[128] = "";
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text))
        text[0] = '\0';
    return text;
}

// Month and weekday names, numbers and year of a date; empty texts for a
// value no date can have.
void AddDateValues(QuiTemplateParamList& params, const ValueNames* names, double value)
{
    COleDateTime date(value);
    const bool valid = date.GetStatus() == COleDateTime::valid;
    const int month = valid ? date.GetMonth() : 0;
    // The locale's weekday names begin with Monday.
    const int weekday = valid ? (date.GetDayOfWeek() + 5) % 7 : 0;
    const CString year = valid ? Decimal(date.GetYear()) : CString();
    AddNamed(params, names[0], valid ? LocaleText(LOCALE_SMONTHNAME1 + month - 1) : CString());
    AddNamed(params, names[1], valid ? LocaleText(LOCALE_SABBREVMONTHNAME1 + month - 1) : CString());
    AddNamed(params, names[2], valid ? Decimal(month) : CString());
    AddNamed(params, names[3], valid ? LocaleText(LOCALE_SDAYNAME1 + weekday) : CString());
    AddNamed(params, names[4], valid ? LocaleText(LOCALE_SABBREVDAYNAME1 + weekday) : CString());
    AddNamed(params, names[5], valid ? Decimal(date.GetDay()) : CString());
    AddNamed(params, names[6], year);
    AddNamed(params, names[7], year.Right(2));
}

// Hour on both clocks, the half of the day and the minute of a time.
void AddTimeValues(QuiTemplateParamList& params, const ValueNames* names, double value)
{
    COleDateTime time(value);
    const bool valid = time.GetStatus() == COleDateTime::valid;
    const int hour = valid ? time.GetHour() : 0;
    AddNamed(params, names[0], valid ? Decimal(hour) : CString());
    // The 12-hour clock: noon is 12 PM, midnight 12 AM.
    AddNamed(params, names[1], valid ? Decimal(hour % 12 == 0 ? 12 : hour % 12) : CString());
    AddNamed(params, names[2], valid ? CString(hour >= 12 ? "PM" : "AM") : CString());
    AddNamed(params, names[3], valid ? Decimal(time.GetMinute()) : CString());
}

// The IANA name of an ANSI code page, as the charset of a page written in it.
CString CharsetName(UINT codePage)
{
    switch (codePage) {
    case 932: return "shift_jis";
    case 936: return "gb2312";
    case 949: return "ks_c_5601-1987";
    case 950: return "big5";
    case CP_UTF8: return "utf-8";
    default: break;
    }
    CString name;
    name.Format("windows-%u", codePage);
    return name;
}

// A page opened from the temporary folder would run with the rights of the
// local machine: the mark puts it in the Internet zone, and the character set
// keeps a browser from guessing one (UTF-7) that reads the note as markup.
std::string PageHead()
{
    const char zone[] = "about:internet";
    char mark[64];
    std::snprintf(mark, sizeof mark, "<!-- saved from url=(%04u)%s -->\r\n", static_cast<unsigned>(std::strlen(zone)), zone);
    // The texts were narrowed to the ANSI code page, and are written as they are.
    const CString charset = CharsetName(GetACP());
    return std::string(mark) + "<META http-equiv=\"Content-Type\" content=\"text/html; charset=" + charset.GetString() +
           "\">\r\n";
}

CString TempFolder()
{
    char folder[MAX_PATH] = "";
    DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH)
        return CString();
    CString text(folder);
    if (text.Right(1) != "\\")
        text += '\\';
    return text;
}

} // namespace

char* GetWebActionPagePath(char* buffer)
{
    if (!buffer)
        return nullptr;
    CString path = TempFolder() + kPageName + kPageExtension;
    lstrcpynA(buffer, path, MAX_PATH);
    return buffer;
}

void DeleteWebActionPages(DWORD dwOlderThanMs)
{
    // Pages written while another may still be read carry a number behind the name.
    const CString folder = TempFolder();
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG nowTicks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(folder + kPageName + "*" + kPageExtension, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const ULONGLONG written =
            (static_cast<ULONGLONG>(found.ftLastWriteTime.dwHighDateTime) << 32) | found.ftLastWriteTime.dwLowDateTime;
        // File times count 100 ns; a page from the future counts as old.
        if (dwOlderThanMs == 0 || written > nowTicks || (nowTicks - written) / 10000 >= dwOlderThanMs)
            DeleteFileA(folder + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

CString GetFreeWebActionPagePath()
{
    // The page's own name first; a number behind it while that one is taken.
    char first[MAX_PATH] = "";
    CString path = GetWebActionPagePath(first);
    const CString folder = TempFolder();
    for (int number = 1; GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES && number < 10000; number++)
        path = folder + kPageName + Decimal(number) + kPageExtension;
    return path;
}

void ExpandProfilePlaceholders(QuiTemplateParamList& params, CWebActionJug& action)
{
    const CONTACTITEM& profile = action.m_contact;
    params.Add("fname", profile.GetText(CONTACTITEM::FirstName));
    params.Add("lname", profile.GetText(CONTACTITEM::LastName));
    params.Add("address", profile.GetText(CONTACTITEM::Address));
    params.Add("city", profile.GetText(CONTACTITEM::City));
    CString city(profile.GetText(CONTACTITEM::City));
    city.Remove(' ');
    params.Add("citynosp", city);
    params.Add("state", profile.GetText(CONTACTITEM::State));
    params.Add("country", profile.GetText(CONTACTITEM::Country));
    params.Add("postalcode", profile.GetText(CONTACTITEM::ZipCode));
    params.Add("title", profile.GetText(CONTACTITEM::Title));
    params.Add("company", profile.GetText(CONTACTITEM::Company));
    params.Add("email", profile.Email(0).GetValue());
    // The connector's own separators, not the user's text.
    params.Add("plus", "+", true);
    params.Add("minus", "-", true);

    // Read only: the program's own table writes the settings back at its end.
    ClientRegistry settings(ClientRegistry::WriteNothingAtEnd);
    CString imageDir(static_cast<const char*>(settings.GetValue(ClientRegistry::ImageDir, false)));
    if (imageDir.IsEmpty()) {
        char folder[MAX_PATH] = "";
        GetCurrentDirectoryA(MAX_PATH, folder);
        imageDir = folder;
    }
    params.Add("imagedir", imageDir);
    imageDir.Replace('\\', '/');
    params.Add("imagedirfs", imageDir);

    std::vector<CString> queries;
    for (const CWebDataProp& own : action.m_parameters) {
        CString name = own.m_strName, value = own.m_strValue;
        name.TrimLeft();
        value.TrimLeft();
        params.Add(name, value);
        if (name.CompareNoCase(kQueryName) == 0)
            queries.push_back(value);
    }
    for (const CString& query : queries)
        AddQueryWords(params, kQueryName, query.GetString());

    params.Add("now", Decimal(static_cast<long>(time(nullptr))));
    params.Add("waittimeout",
               Decimal(static_cast<long>(*static_cast<DWORD*>(settings.GetValue(ClientRegistry::ConnectorWaitTimeout, false)))));
    ExpandDatePlaceholders(params, action);
}

void ExpandDatePlaceholders(QuiTemplateParamList& params, CWebActionJug& action)
{
    if (action.m_dtStartDate == kUnset)
        action.m_dtStartDate = COleDateTime::GetCurrentTime();
    AddDateValues(params, kStartDateNames, action.m_dtStartDate);
    if (action.m_dtStartTime != kUnset)
        AddTimeValues(params, kStartTimeNames, action.m_dtStartTime);
    if (action.m_dtEndDate != kUnset)
        AddDateValues(params, kEndDateNames, action.m_dtEndDate);
    if (action.m_dtEndTime != kUnset)
        AddTimeValues(params, kEndTimeNames, action.m_dtEndTime);
}

BOOL WriteWebActionPage(const char* path, const std::string& text)
{
    // A page half written would be opened as it is: write it whole beside
    // its place first.
    CString temporary(path);
    temporary += ".tmp";
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    const std::string page = PageHead() + text;
    DWORD written = 0;
    BOOL ok = WriteFile(file, page.data(), static_cast<DWORD>(page.size()), &written, nullptr) && written == page.size();
    ok = CloseHandle(file) && ok;
    if (ok)
        ok = MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING);
    if (!ok)
        DeleteFileA(temporary);
    return ok;
}
