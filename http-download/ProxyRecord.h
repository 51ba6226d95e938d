// The proxy record's rules that need no registry: a blank record, the copy
// QUIINETGetProxyInfo hands out, and the proxy a new session goes through.
#pragma once
#include "QuiInet.h"

#include <string>

namespace shrike {

// Size and capacities set, texts empty, flags 0.
void BlankProxyInfo(QuiProxyInfo* info);

// Copies the texts, cut and terminated within the 260-byte field.
void SetProxyText(char* field, const char* text);

// QUIINETGetProxyInfo: fills `to` from `from` when its size is right and it
// is not `from` itself; 0 only for a null record.
int CopyProxyInfo(const QuiProxyInfo& from, QuiProxyInfo* to);

// Where a new session connects: through an enabled setting's proxy (its
// text split at the first ":"), else the caller's proxy host and port.
struct SessionRoute {
    bool viaProxy;
    std::string proxyHost;
    int port;
};
SessionRoute ChooseRoute(const QuiProxyInfo& settings, const char* callerProxy, int callerPort);

}
