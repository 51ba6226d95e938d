// The six QUIINET exports. Nothing thrown inside reaches the caller.
#include "QuiInet.h"
#include "DownloadBlock.h"
#include "HttpSession.h"
#include "ProxyDialog.h"
#include "ProxyRecord.h"
#include "ProxySettings.h"
#include "UrlSplit.h"
#include "WinsockTransport.h"

static_assert(sizeof(QuiUrlParts) == QUI_URL_PARTS_SIZE, "callers check the record's size");
static_assert(sizeof(QuiProxyInfo) == QUI_PROXY_INFO_SIZE, "callers check the record's size");

namespace {
QuiWinsockTransport g_winsock;
}

extern "C" {

void QUIINET_CALL QUIINETClose(QuiHttpSession* session)
{
    if (!session)
        return;
    delete session;
    g_winsock.Cleanup();
}

int QUIINET_CALL QUIINETCrackURL(const char* url, QuiUrlParts* parts)
{
    try {
        return shrike::CrackUrl(url, parts);
    } catch (...) {
        return 0;
    }
}

int QUIINET_CALL QUIINETGetFile(QuiHttpSession* session, const char* path, char** data)
{
    if (!session || !data)
        return 0;
    QuiDownloadBlock block(data);
    try {
        session->Retrieve(path, block);
    } catch (...) {
    }
    return block.Count();
}

int QUIINET_CALL QUIINETGetProxyInfo(QuiProxyInfo* info)
{
    try {
        return shrike::CopyProxyInfo(shrike::EffectiveProxy(), info);
    } catch (...) {
        return info ? 1 : 0;
    }
}

QuiHttpSession* QUIINET_CALL QUIINETInit(const char* proxyHost, const char* serverHost, int port)
{
    if (!serverHost)
        return nullptr;
    try {
        QuiProxyInfo settings;
        shrike::BlankProxyInfo(&settings);
        QUIINETGetProxyInfo(&settings);
        shrike::SessionRoute route = shrike::ChooseRoute(settings, proxyHost, port);
        if (!g_winsock.Startup())
            return nullptr;
        try {
            return new QuiHttpSession(g_winsock, route.viaProxy ? route.proxyHost.c_str() : nullptr,
                                      serverHost, route.port);
        } catch (...) {
            g_winsock.Cleanup();
            return nullptr;
        }
    } catch (...) {
        return nullptr;
    }
}

int QUIINET_CALL QUIINETShowProxyDlg(HWND owner)
{
    try {
        return shrike::ShowProxyDialog(owner);
    } catch (...) {
        return 0;
    }
}

}
