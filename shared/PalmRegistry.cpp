#include "PalmRegistry.h"

#include <algorithm>
#include <vector>

const PalmRegistryEntry kPalmDesktopRegistry[PalmDesktopSettingCount] = {
    {HKEY_CURRENT_USER, "Software\\U.S. Robotics\\Pilot Desktop\\core", "Path", REG_SZ},
    {HKEY_CURRENT_USER, "Software\\U.S. Robotics\\Pilot Desktop\\Preferences", "LastUserName", REG_SZ},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\hotsync.exe", "", REG_SZ},
    {HKEY_CURRENT_USER, "Software\\U.S. Robotics\\Pilot Desktop\\core", "HotSyncPath", REG_SZ},
};

namespace {
const DWORD kNameLength = 260;
}

const PalmRegistryEntry* PalmRegistry::Entry(int index) const
{
    return index >= 0 && index < m_count ? &m_entries[index] : nullptr;
}

HKEY PalmRegistry::OpenKey(const PalmRegistryEntry& entry)
{
    HKEY key = nullptr;
    if (RegCreateKeyA(entry.root, entry.subKey, &key) != ERROR_SUCCESS) {
        m_lastError = errOpenKey;
        return nullptr;
    }
    return key;
}

bool PalmRegistry::ReadValue(const PalmRegistryEntry& entry, std::vector<BYTE>& data, DWORD& type)
{
    HKEY key = OpenKey(entry);
    if (!key)
        return false;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, entry.valueName, nullptr, &type, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        // A value shorter than a number still reads as one, padded with zeros.
        data.assign(std::max<DWORD>(size + 1, sizeof(DWORD)), 0);
        result = RegQueryValueExA(key, entry.valueName, nullptr, &type, data.data(), &size);
    }
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        m_lastError = errReadValue;
        return false;
    }
    return true;
}

int PalmRegistry::ReadString(int index, CString& text)
{
    text.Empty();
    const PalmRegistryEntry* entry = Entry(index);
    std::vector<BYTE> data;
    DWORD type = 0;
    if (!entry || !ReadValue(*entry, data, type))
        return 0;
    const char* value = reinterpret_cast<const char*>(data.data());
    if (type != REG_EXPAND_SZ) {
        text = value;
        return 1;
    }
    DWORD needed = ExpandEnvironmentStringsA(value, nullptr, 0);
    std::vector<char> expanded(needed + 1, '\0');
    if (needed == 0 || ExpandEnvironmentStringsA(value, expanded.data(), needed + 1) == 0) {
        m_lastError = errReadValue;
        return 0;
    }
    text = expanded.data();
    return 1;
}

int PalmRegistry::ReadDword(int index, long& value)
{
    value = 0;
    const PalmRegistryEntry* entry = Entry(index);
    std::vector<BYTE> data;
    DWORD type = 0;
    if (!entry || !ReadValue(*entry, data, type))
        return 0;
    DWORD number = 0;
    std::copy(data.begin(), data.begin() + sizeof number, reinterpret_cast<BYTE*>(&number));
    value = static_cast<long>(number);
    return 1;
}

int PalmRegistry::WriteValue(int index, const BYTE* data, DWORD size)
{
    const PalmRegistryEntry* entry = Entry(index);
    if (!entry)
        return 0;
    HKEY key = OpenKey(*entry);
    if (!key)
        return 0;
    LONG result = RegSetValueExA(key, entry->valueName, 0, entry->type, data, size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        m_lastError = errWriteValue;
        return 0;
    }
    return 1;
}

int PalmRegistry::WriteString(int index, LPCTSTR text)
{
    const char* value = text ? text : "";
    return WriteValue(index, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(lstrlenA(value) + 1));
}

int PalmRegistry::WriteDword(int index, long value)
{
    DWORD number = static_cast<DWORD>(value);
    return WriteValue(index, reinterpret_cast<const BYTE*>(&number), sizeof number);
}

int PalmRegistry::Enumerate(int index, bool values, CStringArray& names)
{
    const PalmRegistryEntry* entry = Entry(index);
    if (!entry)
        return 0;
    HKEY key = OpenKey(*entry);
    if (!key)
        return values ? 0 : 1;
    for (DWORD i = 0;; ++i) {
        char name[kNameLength + 1];
        DWORD length = sizeof name;
        LONG result = values ? RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr)
                             : RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS)
            break;
        names.Add(name);
    }
    RegCloseKey(key);
    return 1;
}

int PalmRegistry::EnumKeys(int index, CStringArray& names)
{
    return Enumerate(index, false, names);
}

int PalmRegistry::EnumValues(int index, CStringArray& names)
{
    return Enumerate(index, true, names);
}
