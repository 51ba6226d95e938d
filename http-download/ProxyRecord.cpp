#include "ProxyRecord.h"
#include "UrlSplit.h"

#include <cstring>

namespace shrike {

namespace {
// Zero-fills up to the capacity (never past the field) and copies what fits
// with its terminator.
void FillText(char* field, unsigned capacity, const char* text)
{
    if (capacity == 0)
        return;
    if (capacity > QUI_PROXY_TEXT_SIZE)
        capacity = QUI_PROXY_TEXT_SIZE;
    std::memset(field, 0, capacity);
    size_t n = std::strlen(text);
    std::memcpy(field, text, n < capacity - 1 ? n : capacity - 1);
}
}

void BlankProxyInfo(QuiProxyInfo* info)
{
    std::memset(info, 0, sizeof *info);
    info->size = QUI_PROXY_INFO_SIZE;
    info->proxyCapacity = QUI_PROXY_TEXT_SIZE;
    info->bypassCapacity = QUI_PROXY_TEXT_SIZE;
}

void SetProxyText(char* field, const char* text) { FillText(field, QUI_PROXY_TEXT_SIZE, text); }

int CopyProxyInfo(const QuiProxyInfo& from, QuiProxyInfo* to)
{
    if (!to)
        return 0;
    if (to->size != QUI_PROXY_INFO_SIZE || to == &from)
        return 1;
    to->flags = from.flags;
    FillText(to->bypass, to->bypassCapacity, from.bypass);
    FillText(to->proxy, to->proxyCapacity, from.proxy);
    return 1;
}

SessionRoute ChooseRoute(const QuiProxyInfo& settings, const char* callerProxy, int callerPort)
{
    if (!(settings.flags & QUI_PROXY_USE))
        return SessionRoute{callerProxy != nullptr, callerProxy ? callerProxy : "", callerPort};
    std::string host, port;
    if (!SplitAtFirstColon(settings.proxy, &host, &port))
        host.clear();
    return SessionRoute{true, host, ParsePort(port.c_str())};
}

}
