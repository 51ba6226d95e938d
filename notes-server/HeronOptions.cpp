#include "HeronOptions.h"

#include <cstring>

namespace {

enum { kFieldSize = 260 };

struct OptionEntry {
    const char* name;
    DWORD type;
    DWORD size;
    BYTE data[kFieldSize];
};

struct OptionDefault {
    const char* name;
    DWORD type;
    DWORD number;
    const char* text;
};

const OptionDefault kDefaults[HERON_OPTION_COUNT] = {
    {"WaitForNotesTimeout", REG_DWORD, 30000, nullptr},
    {"Verbose", REG_DWORD, 0, nullptr},
    {"GenerateData", REG_DWORD, 0, nullptr},
    {"JournalTemplate", REG_SZ, 0, "journal4.ntf"},
    {"JournalName", REG_SZ, 0, "journal.nsf"},
    {"LastIniFile", REG_SZ, 0, ""},
    {"GetServerContacts", REG_DWORD, 0, nullptr},
};

OptionEntry g_options[HERON_OPTION_COUNT];
bool g_loaded = false;
bool g_filled = false;

void Fill()
{
    for (int i = 0; i < HERON_OPTION_COUNT; ++i) {
        OptionEntry& entry = g_options[i];
        entry.name = kDefaults[i].name;
        entry.type = kDefaults[i].type;
        std::memset(entry.data, 0, sizeof entry.data);
        if (entry.type == REG_DWORD) {
            entry.size = sizeof(DWORD);
            std::memcpy(entry.data, &kDefaults[i].number, sizeof(DWORD));
        } else {
            entry.size = kFieldSize;
            lstrcpynA(reinterpret_cast<char*>(entry.data), kDefaults[i].text, kFieldSize);
        }
    }
    g_filled = true;
}

void EnsureFilled()
{
    if (!g_filled)
        Fill();
}

bool Read(HKEY key, OptionEntry& entry)
{
    BYTE data[kFieldSize];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegQueryValueExA(key, entry.name, nullptr, &type, data, &size) != ERROR_SUCCESS)
        return false;
    // A value that fills the entry without a zero byte is longer than the
    // entry holds: callers read the text entries as terminated texts.
    if (size == sizeof data && !std::memchr(data, 0, size))
        return false;
    // The whole field: bytes of an earlier, longer value must not trail a new one.
    std::memset(entry.data, 0, sizeof entry.data);
    std::memcpy(entry.data, data, size);
    entry.type = type;
    entry.size = size;
    return true;
}

}  // namespace

namespace HeronOptions {

void Load()
{
    EnsureFilled();
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, HERON_OPTIONS_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    for (OptionEntry& entry : g_options)
        Read(key, entry);
    RegCloseKey(key);
}

void LoadOnce()
{
    if (!g_loaded) {
        g_loaded = true;
        Load();
    }
}

void Save()
{
    EnsureFilled();
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, HERON_OPTIONS_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        &key, nullptr)
        != ERROR_SUCCESS)
        return;
    for (OptionEntry& entry : g_options) {
        // Each value with the size of its own type: an entry retyped by the
        // registry keeps the size it was read with, not its default's.
        DWORD size = entry.type == REG_DWORD ? static_cast<DWORD>(sizeof(DWORD)) : entry.size;
        if (entry.type == REG_SZ) {
            entry.data[kFieldSize - 1] = 0;
            size = static_cast<DWORD>(std::strlen(reinterpret_cast<char*>(entry.data)) + 1);
        }
        RegSetValueExA(key, entry.name, 0, entry.type, entry.data, size);
    }
    RegCloseKey(key);
}

const BYTE* Get(int index, bool refresh)
{
    EnsureFilled();
    if (index < 0 || index >= HERON_OPTION_COUNT)
        return nullptr;
    if (refresh) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, HERON_OPTIONS_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return nullptr;
        bool read = Read(key, g_options[index]);
        RegCloseKey(key);
        if (!read)
            return nullptr;
    }
    return g_options[index].data;
}

bool Set(int index, const void* data)
{
    EnsureFilled();
    if (index < 0 || index >= HERON_OPTION_COUNT || !data)
        return false;
    OptionEntry& entry = g_options[index];
    if (entry.type == REG_SZ) {
        std::memset(entry.data, 0, sizeof entry.data);
        lstrcpynA(reinterpret_cast<char*>(entry.data), static_cast<const char*>(data), kFieldSize);
    } else {
        std::memcpy(entry.data, data, sizeof(DWORD));
    }
    return true;
}

DWORD Number(int index)
{
    const BYTE* data = Get(index);
    DWORD value = 0;
    if (data)
        std::memcpy(&value, data, sizeof value);
    return value;
}

DWORD Type(int index)
{
    EnsureFilled();
    return index >= 0 && index < HERON_OPTION_COUNT ? g_options[index].type : REG_NONE;
}

void Reset()
{
    Fill();
    g_loaded = false;
}

}  // namespace HeronOptions
