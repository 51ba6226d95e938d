#include "ProxyTables.h"

namespace {
const QuiRegDefault kSystemDefaults[InternetSettingsRegistry::ValueCount] = {
    {"", "ProxyEnable", REG_DWORD, 4, 0, nullptr},
    {"", "ProxyServer", REG_SZ, QUI_REG_FIELD, 0, ""},
    {"", "ProxyOverride", REG_SZ, QUI_REG_FIELD, 0, ""},
};

const QuiRegDefault kOwnDefaults[ProxyRegistry::ValueCount] = {
    {"", "UseProxy", REG_DWORD, 4, 0, nullptr},
    {"", "Proxy", REG_DWORD, 4, 0, nullptr},
    {"", "ProxyEnabled", REG_DWORD, 4, 0, nullptr},
    {"", "ProxyName", REG_SZ, QUI_REG_FIELD, 0, ""},
    {"", "ProxyBypass", REG_SZ, QUI_REG_FIELD, 0, ""},
};
}

InternetSettingsRegistry::InternetSettingsRegistry()
{
    FillTable(m_table, kSystemDefaults, ValueCount);
    LoadAll();
}

const char* InternetSettingsRegistry::GetRootPath() { return "Software\\Microsoft\\Windows\\CurrentVersion"; }
QuiRegValue* InternetSettingsRegistry::GetValueTable() { return m_table; }
const char* InternetSettingsRegistry::GetSubKey() { return "Internet Settings"; }
int InternetSettingsRegistry::GetValueCount() { return ValueCount; }

ProxyRegistry::ProxyRegistry()
{
    FillTable(m_table, kOwnDefaults, ValueCount);
    LoadAll();
}

// Only what changed, or is missing: a value it could not read stays as it is.
ProxyRegistry::~ProxyRegistry() { SaveChanged(); }

const char* ProxyRegistry::GetRootPath() { return "Software\\Quillmate\\Client"; }
QuiRegValue* ProxyRegistry::GetValueTable() { return m_table; }
const char* ProxyRegistry::GetSubKey() { return "Shrike"; }
int ProxyRegistry::GetValueCount() { return ValueCount; }
