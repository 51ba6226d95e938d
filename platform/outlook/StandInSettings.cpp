#include "StandInSettings.h"

#include <windows.h>

#include "OutlookStore.h"

namespace {

class SettingsKey {
public:
    explicit SettingsKey(REGSAM access)
    {
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"" STANDIN_SETTINGS_KEY, 0, access, &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~SettingsKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

// REG_SZ or REG_MULTI_SZ as texts; none when missing or of another type.
std::vector<std::wstring> ReadTexts(const wchar_t* name)
{
    std::vector<std::wstring> texts;
    SettingsKey key(KEY_QUERY_VALUE);
    DWORD type = 0, size = 0;
    if (!key.Get() || RegQueryValueExW(key.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS
        || (type != REG_SZ && type != REG_MULTI_SZ))
        return texts;
    std::wstring data(size / sizeof(wchar_t) + 2, L'\0');
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size)
        != ERROR_SUCCESS)
        return texts;
    for (const wchar_t* text = data.c_str(); *text; text += wcslen(text) + 1)
        texts.emplace_back(text);
    return texts;
}

}  // namespace

namespace StandInSettings {

std::wstring StorePath()
{
    std::vector<std::wstring> texts = ReadTexts(L"Store");
    return texts.empty() ? std::wstring() : texts.front();
}

bool TakeLogonFailure()
{
    SettingsKey key(KEY_QUERY_VALUE | KEY_SET_VALUE);
    DWORD left = 0, type = 0, size = sizeof left;
    if (!key.Get() || RegQueryValueExW(key.Get(), L"LogonFailures", nullptr, &type, reinterpret_cast<BYTE*>(&left),
                                       &size) != ERROR_SUCCESS
        || type != REG_DWORD || left == 0)
        return false;
    if (left != STANDIN_LOGON_ALWAYS_FAILS) {
        --left;
        RegSetValueExW(key.Get(), L"LogonFailures", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&left), sizeof left);
    }
    return true;
}

bool Resolves(const std::wstring& name)
{
    if (name.empty())
        return false;
    if (name.find(L'@') != std::wstring::npos)
        return true;
    for (const std::wstring& known : ReadTexts(L"KnownNames")) {
        if (lstrcmpiW(known.c_str(), name.c_str()) == 0)
            return true;
    }
    return false;
}

std::vector<std::wstring> MasterCategories()
{
    return ReadTexts(L"Categories");
}

bool CallFails(const char* call)
{
    const std::wstring wanted = Wide(call);
    for (const std::wstring& named : ReadTexts(L"FailCalls")) {
        if (named == wanted)
            return true;
    }
    return false;
}

}  // namespace StandInSettings
