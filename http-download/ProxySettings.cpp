// Interim: the settings tables arrive with the registry table class.
#include "ProxySettings.h"
#include "ProxyRecord.h"

namespace shrike {

namespace {
QuiProxyInfo& Record()
{
    static QuiProxyInfo info = [] {
        QuiProxyInfo blank;
        BlankProxyInfo(&blank);
        return blank;
    }();
    return info;
}
}

const QuiProxyInfo& EffectiveProxy() { return Record(); }

void AdoptOwnProxy(const QuiProxyInfo& info)
{
    Record().flags = info.flags;
    SetProxyText(Record().proxy, info.proxy);
    SetProxyText(Record().bypass, info.bypass);
}

}
