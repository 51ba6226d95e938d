// Registry texts as the settings readers take them: the main program's
// table and a table of every record kind, the proxy tables and the proxy
// record, the Palm registry helper, the Notes ini finder and Heron's
// options, all over an in-memory registry filled from the input with values
// of any type, size and termination. Texts handed on must end inside their
// fields, a text reader takes texts alone, a failed read must leave a record
// as it was, and what a table writes back must read back the same.
#include "ClientRegistry.h"
#include "FindNotesIni.h"
#include "HeronOptions.h"
#include "PalmRegistry.h"
#include "ProxyRecord.h"
#include "ProxySettings.h"
#include "ProxyTables.h"
#include "QuiRegistry.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "settings reader broke its promise: %s\n", what);
        std::abort();
    }
}

bool Terminated(const void* field, size_t capacity)
{
    return std::memchr(field, 0, capacity) != nullptr;
}

// Keys and names the readers look for, so that most values meet a reader.
const char* const kPaths[] = {
    "Software\\Quillmate\\Client",
    "Software\\Quillmate\\Client\\Tip",
    "Software\\Quillmate\\Client\\Preferences",
    "Software\\Quillmate\\Client\\Profile",
    "Software\\Quillmate\\Fuzz",
    "Software\\Quillmate\\Fuzz\\Sub",
    "Software\\Quillmate\\Client\\Shrike",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
    "Software\\Quillmate\\Heron\\Options",
    "Software\\Lotus\\Notes\\5.0",
    "Software\\U.S. Robotics\\Pilot Desktop\\core",
    "Software\\U.S. Robotics\\Pilot Desktop\\Preferences",
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\hotsync.exe",
};
const char* const kNames[] = {
    "", "Text", "Number", "Blob", "Wide", "Position", "DefaultKwDb", "AliasDB", "ProxyEnable", "ProxyServer",
    "ProxyOverride", "ProxyEnabled", "ProxyName", "ProxyBypass", "UseProxy", "Proxy", "WaitForNotesTimeout",
    "JournalTemplate", "JournalName", "LastIniFile", "Path", "DataPath", "LastUserName", "HotSyncPath",
};
const size_t kPathCount = sizeof kPaths / sizeof kPaths[0];
const size_t kNameCount = sizeof kNames / sizeof kNames[0];

// A table of every record kind, the last claiming more than its field holds.
class FuzzTable : public QuiRegistry {
public:
    enum { Text, Number, Blob, Wide, Sub, Count };
    FuzzTable()
    {
        static const QuiRegDefault kDefaults[Count] = {
            {"", "Text", REG_SZ, QUI_REG_FIELD, 0, "default"},
            {"", "Number", REG_DWORD, 4, 7, nullptr},
            {"", "Blob", REG_BINARY, 16, 0, "0123456789abcdef"},
            {"", "Wide", REG_BINARY, 4000, 0, nullptr},
            {"Sub", "Text", REG_SZ, QUI_REG_FIELD, 0, "below"},
        };
        FillTable(m_table, kDefaults, Count);
    }
    QuiRegValue* GetValueTable() override { return m_table; }
    const char* GetSubKey() override { return "Fuzz"; }
    int GetValueCount() override { return Count; }

private:
    QuiRegValue m_table[Count];
};

void CheckTable(QuiRegistry& table)
{
    QuiRegValue* records = table.GetValueTable();
    for (int i = 0; i < table.GetValueCount(); ++i) {
        QuiRegValue before = records[i];
        const LONG read = table.ReadValue(i);
        if (read != ERROR_SUCCESS)
            Require(std::memcmp(&before, &records[i], sizeof before) == 0, "a failed read changed the record");
        if (records[i].type == REG_SZ)
            Require(Terminated(records[i].data, QUI_REG_FIELD), "a text record without its end");
    }
    Require(table.GetValue(table.GetValueCount(), false) == nullptr && table.GetValue(-1, true) == nullptr,
            "a record outside the table");
}

// What a table writes, a new table of the same kind reads back.
template <class Table>
void CheckWrittenBack()
{
    std::vector<QuiRegValue> written;
    {
        Table table;
        table.LoadAll();
        table.SaveAll();
        written.assign(table.GetValueTable(), table.GetValueTable() + table.GetValueCount());
    }
    Table again;
    again.LoadAll();
    for (int i = 0; i < again.GetValueCount(); ++i) {
        const QuiRegValue& a = written[static_cast<size_t>(i)];
        const QuiRegValue& b = again.GetValueTable()[i];
        const size_t size = a.type == REG_SZ ? std::strlen(reinterpret_cast<const char*>(a.data)) + 1
                                             : (a.size < QUI_REG_FIELD ? a.size : QUI_REG_FIELD);
        Require(std::memcmp(a.data, b.data, size) == 0, "a record written back reads back different");
    }
}

void CheckProxy()
{
    InternetSettingsRegistry system;
    ProxyRegistry own;
    CheckTable(system);
    CheckTable(own);
    QuiProxyInfo info;
    shrike::BlankProxyInfo(&info);
    shrike::SetProxyText(info.proxy, static_cast<const char*>(system.GetValue(InternetSettingsRegistry::ProxyServer, false)));
    shrike::SetProxyText(info.bypass, static_cast<const char*>(own.GetValue(ProxyRegistry::ProxyBypass, true)));
    Require(Terminated(info.proxy, sizeof info.proxy) && Terminated(info.bypass, sizeof info.bypass),
            "a proxy text without its end");
    info.flags |= QUI_PROXY_USE;
    shrike::ChooseRoute(info, "caller", 80);
}

// The proxy the dialog adopts is written to the own key and read back into
// force: the same texts, cut to their fields, unless the registry refuses.
void CheckAdoptedProxy(const uint8_t* data, size_t size)
{
    shrike::EffectiveProxy();
    QuiProxyInfo info;
    shrike::BlankProxyInfo(&info);
    const std::string proxy(reinterpret_cast<const char*>(data), size / 2);
    const std::string bypass(reinterpret_cast<const char*>(data) + size / 2, size - size / 2);
    std::memcpy(info.proxy, proxy.c_str(), std::min(proxy.size() + 1, sizeof info.proxy - 1));
    std::memcpy(info.bypass, bypass.c_str(), std::min(bypass.size() + 1, sizeof info.bypass - 1));
    info.flags = size & 1 ? QUI_PROXY_USE : 0;
    shrike::AdoptOwnProxy(info);
    const QuiProxyInfo& effective = shrike::EffectiveProxy();
    Require(Terminated(effective.proxy, sizeof effective.proxy) && Terminated(effective.bypass, sizeof effective.bypass),
            "an adopted proxy text without its end");
    DWORD type = 0;
    std::vector<BYTE> stored;
    if (host_registry::GetValue(HKEY_CURRENT_USER, "Software\\Quillmate\\Client\\Shrike", "ProxyName", &type, &stored))
        Require(std::strncmp(effective.proxy, info.proxy, sizeof info.proxy - 1) == 0, "the adopted proxy changed");
}

void CheckQuery()
{
    for (size_t size : {1u, 4u, 16u, 260u}) {
        std::vector<BYTE> buffer(size, 0xAA);
        const std::vector<BYTE> before = buffer;
        const bool read = QuiRegistry::QueryValue(HKEY_CURRENT_USER, "Software\\Quillmate\\Fuzz", "Text",
                                                  buffer.data(), static_cast<DWORD>(size));
        DWORD type = 0;
        std::vector<BYTE> stored;
        if (!read) {
            Require(buffer == before, "a failed query changed the caller's buffer");
        } else if (host_registry::GetValue(HKEY_CURRENT_USER, "Software\\Quillmate\\Fuzz", "Text", &type, &stored) &&
                   (type == REG_SZ || type == REG_EXPAND_SZ)) {
            Require(Terminated(buffer.data(), size), "a queried text without its end");
        }

        // The text reader: texts alone, whole and terminated, or nothing.
        std::vector<char> text(size, '\xAA');
        const std::vector<char> untouched = text;
        const bool readText = QuiRegistry::QueryText(HKEY_CURRENT_USER, "Software\\Quillmate\\Fuzz", "Text",
                                                     text.data(), static_cast<DWORD>(size));
        if (!readText) {
            Require(text == untouched, "a failed text query changed the caller's buffer");
            continue;
        }
        Require(host_registry::GetValue(HKEY_CURRENT_USER, "Software\\Quillmate\\Fuzz", "Text", &type, &stored) &&
                    (type == REG_SZ || type == REG_EXPAND_SZ),
                "a value of another type read as text");
        Require(Terminated(text.data(), size), "a queried text without its end");
        const size_t length = std::strlen(text.data());
        Require(length <= stored.size() && (length == 0 || std::memcmp(text.data(), stored.data(), length) == 0) &&
                    (length == stored.size() || stored[length] == 0),
                "a queried text other than the stored one");
    }
}

void CheckPalm()
{
    PalmRegistry palm(kPalmDesktopRegistry, PalmDesktopSettingCount);
    for (int i = -1; i <= PalmDesktopSettingCount; ++i) {
        CString text;
        long number = -1;
        palm.ReadString(i, text);
        palm.ReadDword(i, number);
        CStringArray keys, values;
        palm.EnumKeys(i, keys);
        palm.EnumValues(i, values);
        Require(text.GetLength() < 1 << 20, "a text beyond its value");
    }
}

void CheckNotes()
{
    FindNotesIni ini;
    Require(Terminated(ini.registryPath, MAX_PATH) && Terminated(ini.dataPath, MAX_PATH), "a path without its end");
    Require(!ini.found || ini.found == ini.registryPath || ini.found == ini.dataPath, "found elsewhere");
    Require(!ini.found || GetFileAttributesA(ini.found) != INVALID_FILE_ATTRIBUTES, "found a file that is not there");
    char text[8];
    if (ReadRegistryText(HKEY_LOCAL_MACHINE, NOTES_REGISTRY_KEY, "Path", text, sizeof text))
        Require(Terminated(text, sizeof text), "a registry text without its end");
}

void CheckHeron()
{
    HeronOptions::Reset();
    HeronOptions::Load();
    for (int i = 0; i < HERON_OPTION_COUNT; ++i) {
        const BYTE* data = HeronOptions::Get(i);
        Require(Terminated(data, 260), "a Heron option without its end");
        HeronOptions::Number(i);
        HeronOptions::Get(i, true);
    }
    HeronOptions::Save();
    HeronOptions::Reset();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    host_registry::Clear();
    // Records: root, key, name, type, length and that many bytes. A key byte
    // with its top bit set locks the key; a type byte of 0xFF makes the
    // value a text naming a folder that holds notes.ini.
    size_t at = 0;
    while (at + 5 <= size) {
        const HKEY root = (data[at] & 1) ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        const bool locked = data[at + 1] & 0x80;
        const std::string path = kPaths[(data[at + 1] & 0x7F) % kPathCount];
        const std::string name = kNames[data[at + 2] % kNameCount];
        const bool file = data[at + 3] == 0xFF;
        const DWORD type = file ? REG_SZ : data[at + 3] < 0xF0 ? data[at + 3] % 8 : data[at + 3];
        static const size_t kLong[] = {255, 256, 257, 258, 259, 260, 261, 262, 300, 511, 512, 1024, 3000, 4000, 4096, 8192};
        const size_t length = data[at + 4] < 0xF0 ? data[at + 4] : kLong[data[at + 4] - 0xF0];
        at += 5;
        std::vector<BYTE> bytes;
        for (size_t i = 0; i < length && at < size; ++i)
            bytes.push_back(data[at++]);
        // Long values repeat their bytes, so that a short input can make one.
        for (size_t i = bytes.size(); i < length && !bytes.empty(); ++i)
            bytes.push_back(bytes[i % bytes.size()]);
        if (file)
            host_registry::AddFile(std::string(bytes.begin(), bytes.end()).c_str() + std::string("\\notes.ini"));
        host_registry::SetValue(root, path, name, type, bytes);
        if (locked)
            host_registry::Lock(root, path);
    }

    {
        FuzzTable table;
        table.LoadAll();
        CheckTable(table);
        CheckTable(table);
    }
    {
        ClientRegistry client;
        client.LoadAll();
        CheckTable(client);
    }
    CheckQuery();
    CheckProxy();
    CheckPalm();
    CheckNotes();
    CheckHeron();
    CheckWrittenBack<FuzzTable>();
    CheckAdoptedProxy(data, size < 600 ? size : 600);
    Require(host_registry::OpenHandles() == 0, "a registry key left open");
    return 0;
}
