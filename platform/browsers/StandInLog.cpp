#include "StandInLog.h"

#include <oleauto.h>

#include <cstdio>

namespace {

// REG_SZ or REG_MULTI_SZ as texts; none when missing or of another type.
std::vector<std::string> ReadTexts(const char* name)
{
    std::vector<std::string> texts;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, BROWSER_STANDIN_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return texts;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS
        && (type == REG_SZ || type == REG_MULTI_SZ)) {
        std::string data(size + 2, '\0');
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) == ERROR_SUCCESS) {
            for (const char* text = data.c_str(); *text; text += strlen(text) + 1)
                texts.emplace_back(text);
        }
    }
    RegCloseKey(key);
    return texts;
}

}  // namespace

namespace BrowserStandIn {

void Log(const std::string& line)
{
    std::vector<std::string> path = ReadTexts("Log");
    if (path.empty())
        return;
    // Several processes append to one log: each line goes in one write.
    HANDLE file = CreateFileA(path.front().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    if (HANDLE logged = OpenEventA(EVENT_MODIFY_STATE, FALSE, BROWSER_STANDIN_LOGGED_EVENT)) {
        SetEvent(logged);
        CloseHandle(logged);
    }
}

bool CallFails(const std::string& call)
{
    for (const std::string& named : ReadTexts("FailCalls")) {
        if (named == call)
            return true;
    }
    return false;
}

DWORD Number(const char* name, DWORD fallback)
{
    DWORD value = fallback, size = sizeof value, type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, BROWSER_STANDIN_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return fallback;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS
        || type != REG_DWORD)
        value = fallback;
    RegCloseKey(key);
    return value;
}

std::vector<std::string> ReadLog(const std::string& path)
{
    std::vector<std::string> lines;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lines;
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(file);
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::string Narrow(BSTR text)
{
    if (!text)
        return "<null>";
    int length = static_cast<int>(SysStringLen(text));
    int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string narrow(size, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, &narrow[0], size, nullptr, nullptr);
    return narrow;
}

BSTR Wide(const std::string& text)
{
    int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    BSTR wide = SysAllocStringLen(nullptr, static_cast<UINT>(size));
    if (wide)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide, size);
    return wide;
}

std::string Describe(const VARIANT& value)
{
    const VARIANT* v = &value;
    std::string prefix;
    if (V_VT(v) == (VT_BYREF | VT_VARIANT)) {
        v = V_VARIANTREF(v);
        prefix = "ref:";
    }
    char text[64];
    switch (V_VT(v)) {
    case VT_EMPTY: return prefix + "empty";
    case VT_BSTR: return prefix + "bstr:" + Narrow(V_BSTR(v));
    case VT_BOOL: return prefix + (V_BOOL(v) ? "bool:true" : "bool:false");
    case VT_I4: snprintf(text, sizeof text, "i4:%ld", static_cast<long>(V_I4(v))); return prefix + text;
    case VT_I2: snprintf(text, sizeof text, "i2:%d", V_I2(v)); return prefix + text;
    case VT_ERROR:
        if (V_ERROR(v) == DISP_E_PARAMNOTFOUND)
            return prefix + "missing";
        snprintf(text, sizeof text, "error:0x%08lx", static_cast<unsigned long>(V_ERROR(v)));
        return prefix + text;
    default: snprintf(text, sizeof text, "vt%u", V_VT(v)); return prefix + text;
    }
}

}  // namespace BrowserStandIn
