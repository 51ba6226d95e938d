// Sets the two registry sources of Shrike's proxy settings for one test and
// puts back what was there before. Starts from no system proxy and no key of
// Shrike's own. Tests that use it hold the "shrike-proxy-settings" lock.
#pragma once
#include "QuiTesting.h"
#include <windows.h>

#include <string>
#include <vector>

class ProxyRegistryState {
public:
    static constexpr const char* kSystemKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    static constexpr const char* kOwnKey = "Software\\Quillmate\\Client\\Shrike";

    ProxyRegistryState()
    {
        for (const char* name : {"ProxyEnable", "ProxyServer", "ProxyOverride"})
            m_saved.push_back(Save(kSystemKey, name));
        for (const char* name : {"UseProxy", "Proxy", "ProxyEnabled", "ProxyName", "ProxyBypass"})
            m_saved.push_back(Save(kOwnKey, name));
        SetSystem(0, "", "");
        RegDeleteKeyA(HKEY_CURRENT_USER, kOwnKey);
    }
    ~ProxyRegistryState()
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, kOwnKey);
        for (const Value& v : m_saved) {
            if (v.present)
                Write(v.key, v.name, v.type, v.data);
            else
                Delete(v.key, v.name);
        }
    }
    ProxyRegistryState(const ProxyRegistryState&) = delete;
    ProxyRegistryState& operator=(const ProxyRegistryState&) = delete;

    void SetSystem(DWORD enable, const char* server, const char* bypass)
    {
        WriteDword(kSystemKey, "ProxyEnable", enable);
        WriteText(kSystemKey, "ProxyServer", server);
        WriteText(kSystemKey, "ProxyOverride", bypass);
    }
    void SetOwn(DWORD enabled, const char* name, const char* bypass)
    {
        WriteDword(kOwnKey, "ProxyEnabled", enabled);
        WriteText(kOwnKey, "ProxyName", name);
        WriteText(kOwnKey, "ProxyBypass", bypass);
    }
    // Empty when the value is missing.
    static std::string Read(const char* key, const char* name, DWORD* type = nullptr)
    {
        Value v = Save(key, name);
        if (type)
            *type = v.present ? v.type : REG_NONE;
        return v.data;
    }
    static DWORD ReadDword(const char* key, const char* name)
    {
        std::string data = Read(key, name);
        DWORD value = 0xffffffff;
        if (data.size() == sizeof value)
            memcpy(&value, data.data(), sizeof value);
        return value;
    }
    static std::string ReadText(const char* key, const char* name)
    {
        std::string data = Read(key, name);
        return std::string(data.c_str());
    }
    static void WriteDword(const char* key, const char* name, DWORD value)
    {
        Write(key, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
    }
    static void WriteText(const char* key, const char* name, const char* text)
    {
        Write(key, name, REG_SZ, std::string(text, strlen(text) + 1));
    }

private:
    struct Value {
        const char* key;
        const char* name;
        bool present;
        DWORD type;
        std::string data;
    };
    static Value Save(const char* key, const char* name)
    {
        Value v = {key, name, false, REG_NONE, std::string()};
        HKEY h;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &h) != ERROR_SUCCESS)
            return v;
        char data[1024];
        DWORD size = sizeof data;
        if (RegQueryValueExA(h, name, nullptr, &v.type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS) {
            v.present = true;
            v.data.assign(data, size);
        }
        RegCloseKey(h);
        return v;
    }
    static void Write(const char* key, const char* name, DWORD type, const std::string& data)
    {
        QuiTesting::SetRegValue(HKEY_CURRENT_USER, key, name, type, data.data(), static_cast<DWORD>(data.size()));
    }
    static void Delete(const char* key, const char* name)
    {
        HKEY h;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_WRITE, &h) != ERROR_SUCCESS)
            return;
        RegDeleteValueA(h, name);
        RegCloseKey(h);
    }
    std::vector<Value> m_saved;
};
