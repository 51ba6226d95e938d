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

DWORD ReadNumber(const wchar_t* name, DWORD missing)
{
    SettingsKey key(KEY_QUERY_VALUE);
    DWORD value = 0, type = 0, size = sizeof value;
    if (!key.Get() || RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size)
                          != ERROR_SUCCESS
        || type != REG_DWORD)
        return missing;
    return value;
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


int Version()
{
    std::vector<std::wstring> texts = ReadTexts(L"Version");
    if (texts.empty())
        return 9999;
    wchar_t* rest = nullptr;
    const long major = wcstol(texts.front().c_str(), &rest, 10);
    const long minor = *rest == L'.' ? wcstol(rest + 1, nullptr, 10) : 0;
    return static_cast<int>(major * 100 + minor);
}

DWORD Session()
{
    return ReadNumber(L"Session", 0);
}

bool CloseSession()
{
    SettingsKey key(KEY_SET_VALUE);
    const DWORD next = Session() + 1;
    return key.Get()
           && RegSetValueExW(key.Get(), L"Session", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&next), sizeof next)
                  == ERROR_SUCCESS;
}

HRESULT ClosedAnswer()
{
    return static_cast<HRESULT>(ReadNumber(L"ClosedAnswer", static_cast<DWORD>(RPC_E_DISCONNECTED)));
}

GuardAnswer TakeGuardAnswer()
{
    SettingsKey key(KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (!key.Get() || RegQueryValueExW(key.Get(), L"GuardAnswers", nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return GuardAnswer::Off;
    std::vector<std::wstring> texts = ReadTexts(L"GuardAnswers");
    if (texts.empty() || texts.front().empty())
        return GuardAnswer::Allowed;
    std::wstring left = texts.front().substr(1);
    RegSetValueExW(key.Get(), L"GuardAnswers", 0, REG_SZ, reinterpret_cast<const BYTE*>(left.c_str()),
                   static_cast<DWORD>((left.size() + 1) * sizeof(wchar_t)));
    return texts.front()[0] == L'n' || texts.front()[0] == L'N' ? GuardAnswer::Refused : GuardAnswer::Allowed;
}

}  // namespace StandInSettings
