#include "OutlookCategories.h"

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
const char kCategories9[] = "Software\\Microsoft\\Office\\9.0\\Outlook\\Categories";
const char kCategories8[] = "Software\\Microsoft\\Office\\8.0\\Outlook\\Categories";

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

UINT SplitIntoArray(char* text, VARIANT* categories)
{
    // A line feed ends the list.
    if (char* lineFeed = std::strchr(text, '\n'))
        *lineFeed = '\0';
    int capacity = 2;
    for (const char* c = text; *c; ++c)
        capacity += *c == ';';
    std::vector<char*> fields;
    try {
        fields.resize(capacity);
    } catch (...) {
        return IDS_OUT_OF_MEMORY;
    }
    int count = SplitCsvLine(text, fields.data(), capacity, ';');
    if (FAILED(QuiMakeStringArray(categories)))
        return IDS_OUT_OF_MEMORY;
    for (int i = 0; i < count; ++i) {
        if (FAILED(QuiAppendAnsiString(categories, fields[i]))) {
            VariantClear(categories);
            return IDS_OUT_OF_MEMORY;
        }
    }
    return 0;
}

}  // namespace

UINT ReadOutlookCategories(VARIANT* categories)
{
    char outlook[257];
    if (!ReadOutlookPath(outlook, sizeof outlook))
        return 0;
    const bool nine = OutlookVersion(outlook) >= 9.0;
    const char* keyPath = nine ? kCategories9 : kCategories8;
    const char* valueName = nine ? "MasterList" : "";

    RegKey key;
    if (!key.Open(HKEY_CURRENT_USER, keyPath) && !key.Open(HKEY_LOCAL_MACHINE, keyPath))
        return 0;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.Get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return IDS_CATEGORIES_UNREADABLE;
    std::unique_ptr<char[]> text(new (std::nothrow) char[size + 1]);
    if (!text)
        return IDS_OUT_OF_MEMORY;
    if (RegQueryValueExA(key.Get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(text.get()), &size)
            != ERROR_SUCCESS
        || type != REG_SZ)
        return IDS_CATEGORIES_UNREADABLE;
    // A value stored without its terminator must not be read past its end.
    text[size] = '\0';
    return SplitIntoArray(text.get(), categories);
}
