#include "OutlookCategories.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "FileVersionInfo.h"
#include "PloverRes.h"
#include "QuotedFields.h"
#include "VariantArray.h"

namespace {

const char kOutlookPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";
const char kCategoriesKey[] = "Software\\Microsoft\\Office\\%d.0\\Outlook\\Categories";
// Outlook 97 keeps the list under 8.0 whatever its version below 9.
const int kOldestKey = 8;
// 2002 and 2003 keep it as UTF-16 text in a binary value.
const int kFirstUnicodeList = 10;
// From 2007 on the list lives in the store, not in the registry.
const double kFirstStoreList = 12.0;

class RegKey {
public:
    ~RegKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    bool Open(HKEY root, const char* path)
    {
        if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &m_key) == ERROR_SUCCESS)
            return true;
        m_key = nullptr;
        return false;
    }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

// The leading number of OUTLOOK.EXE's version text; 0 when there is none.
double OutlookVersion(const char* outlookPath)
{
    CFileVersionInfo info(outlookPath);
    return info.GetFileVersion() ? std::atof(info.GetFileVersion()) : 0.0;
}

bool ReadOutlookPath(char* path, DWORD capacity)
{
    RegKey key;
    DWORD size = capacity - 1;
    if (!key.Open(HKEY_LOCAL_MACHINE, kOutlookPath)
        || RegQueryValueExA(key.Get(), "", nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size) != ERROR_SUCCESS)
        return false;
    path[size] = '\0';
    return true;
}

HRESULT Append(VARIANT* categories, const char* field)
{
    return QuiAppendAnsiString(categories, field);
}

HRESULT Append(VARIANT* categories, const wchar_t* field)
{
    return QuiAppendString(categories, field);
}

template <class Char>
UINT SplitIntoArray(Char* text, VARIANT* categories)
{
    // A line feed ends the list.
    int capacity = 2;
    for (Char* c = text; *c; ++c) {
        if (*c == '\n') {
            *c = 0;
            break;
        }
        capacity += *c == ';';
    }
    std::vector<Char*> fields;
    try {
        fields.resize(capacity);
    } catch (...) {
        return IDS_OUT_OF_MEMORY;
    }
    int count = SplitCsvLine(text, fields.data(), capacity, static_cast<Char>(';'));
    if (FAILED(QuiMakeStringArray(categories)))
        return IDS_OUT_OF_MEMORY;
    for (int i = 0; i < count; ++i) {
        if (FAILED(Append(categories, fields[i]))) {
            VariantClear(categories);
            return IDS_OUT_OF_MEMORY;
        }
    }
    return 0;
}

}  // namespace

UINT ReadOutlookCategories(VARIANT* categories, bool* inStore)
{
    *inStore = false;
    char outlook[257];
    if (!ReadOutlookPath(outlook, sizeof outlook))
        return 0;
    const double version = OutlookVersion(outlook);
    if (version >= kFirstStoreList) {
        *inStore = true;
        return 0;
    }
    const int major = version >= kOldestKey + 1 ? static_cast<int>(version) : kOldestKey;
    char keyPath[sizeof kCategoriesKey + 8];
    std::snprintf(keyPath, sizeof keyPath, kCategoriesKey, major);
    const char* valueName = major > kOldestKey ? "MasterList" : "";

    RegKey key;
    if (!key.Open(HKEY_CURRENT_USER, keyPath) && !key.Open(HKEY_LOCAL_MACHINE, keyPath))
        return 0;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.Get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return IDS_CATEGORIES_UNREADABLE;
    const bool unicode = type == REG_BINARY && major >= kFirstUnicodeList;
    if (type != REG_SZ && !unicode)
        return IDS_CATEGORIES_UNREADABLE;
    // A value stored without its terminator must not be read past its end.
    std::unique_ptr<char[]> text(new (std::nothrow) char[size + 1]);
    if (!text)
        return IDS_OUT_OF_MEMORY;
    DWORD read = size;
    if (RegQueryValueExA(key.Get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(text.get()), &read)
            != ERROR_SUCCESS
        || read > size || (type != REG_SZ && !(unicode && type == REG_BINARY)))
        return IDS_CATEGORIES_UNREADABLE;
    if (!unicode) {
        text[read] = '\0';
        return SplitIntoArray(text.get(), categories);
    }
    // UTF-16 in little-endian order, whole characters only.
    const size_t length = read / 2;
    std::vector<wchar_t> wide;
    try {
        wide.assign(length + 1, L'\0');
    } catch (...) {
        return IDS_OUT_OF_MEMORY;
    }
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text.get());
    for (size_t i = 0; i < length; ++i)
        wide[i] = static_cast<wchar_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return SplitIntoArray(wide.data(), categories);
}
