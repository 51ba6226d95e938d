// The two settings tables behind Shrike's proxy: the system's Internet
// settings (read only) and Shrike's own key, which is written back whole
// whenever a table object of it ends.
#pragma once
#include "QuiRegistry.h"

class InternetSettingsRegistry : public QuiRegistry {
public:
    enum Value { ProxyEnable, ProxyServer, ProxyOverride, ValueCount };

    // Loads every value; a missing key is created empty.
    InternetSettingsRegistry();

    const char* GetRootPath() override;
    QuiRegValue* GetValueTable() override;
    const char* GetSubKey() override;
    int GetValueCount() override;

private:
    QuiRegValue m_table[ValueCount];
};

class ProxyRegistry : public QuiRegistry {
public:
    // UseProxy and Proxy are kept, not used.
    enum Value { UseProxy, Proxy, ProxyEnabled, ProxyName, ProxyBypass, ValueCount };

    ProxyRegistry();
    ~ProxyRegistry() override;

    const char* GetRootPath() override;
    QuiRegValue* GetValueTable() override;
    const char* GetSubKey() override;
    int GetValueCount() override;

private:
    QuiRegValue m_table[ValueCount];
};
