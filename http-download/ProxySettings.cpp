#include "ProxySettings.h"
#include "ProxyRecord.h"
#include "ProxyTables.h"

namespace shrike {

namespace {

// A table's on-switch, proxy text and bypass list into the record.
void ReadInto(QuiRegistry& table, int enable, int proxy, int bypass, QuiProxyInfo* info)
{
    if (static_cast<const BYTE*>(table.GetValue(enable, false))[0] == 1)
        info->flags |= QUI_PROXY_USE;
    else
        info->flags &= ~QUI_PROXY_USE;
    SetProxyText(info->proxy, static_cast<const char*>(table.GetValue(proxy, false)));
    SetProxyText(info->bypass, static_cast<const char*>(table.GetValue(bypass, false)));
}

void ReadOwn(ProxyRegistry& own, QuiProxyInfo* info)
{
    ReadInto(own, ProxyRegistry::ProxyEnabled, ProxyRegistry::ProxyName, ProxyRegistry::ProxyBypass, info);
}

// An enabled system proxy wins; otherwise the own key, enabled or not.
QuiProxyInfo ReadAtStart()
{
    QuiProxyInfo info;
    BlankProxyInfo(&info);
    {
        InternetSettingsRegistry system;
        ReadInto(system, InternetSettingsRegistry::ProxyEnable, InternetSettingsRegistry::ProxyServer,
                 InternetSettingsRegistry::ProxyOverride, &info);
    }
    if (!(info.flags & QUI_PROXY_USE)) {
        ProxyRegistry own;
        ReadOwn(own, &info);
    }
    return info;
}

QuiProxyInfo& Record()
{
    static QuiProxyInfo info = ReadAtStart();
    return info;
}

}

const QuiProxyInfo& EffectiveProxy() { return Record(); }

void AdoptOwnProxy(const QuiProxyInfo& info)
{
    QuiProxyInfo& effective = Record();
    effective.flags = info.flags;
    SetProxyText(effective.proxy, info.proxy);
    SetProxyText(effective.bypass, info.bypass);

    ProxyRegistry own;
    DWORD enabled = effective.flags & QUI_PROXY_USE;
    own.SetValue(ProxyRegistry::ProxyEnabled, &enabled);
    own.SetValue(ProxyRegistry::ProxyName, effective.proxy);
    own.SetValue(ProxyRegistry::ProxyBypass, effective.bypass);
    ReadOwn(own, &effective);
}

}
