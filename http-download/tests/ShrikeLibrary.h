// Loads Shrike.dll by name, as its callers do, and looks its exports up.
// Loading reads the proxy settings, so a test sets the registry first.
#pragma once
#include "QuiInet.h"

#include <gtest/gtest.h>
#include <windows.h>

class ShrikeLibrary {
public:
    ShrikeLibrary() : module(LoadLibraryA("Shrike.dll"))
    {
        EXPECT_NE(nullptr, module) << "Shrike.dll did not load: " << GetLastError();
        Close = Find<QUIINETCloseProc>("QUIINETClose");
        CrackURL = Find<QUIINETCrackURLProc>("QUIINETCrackURL");
        GetFile = Find<QUIINETGetFileProc>("QUIINETGetFile");
        GetProxyInfo = Find<QUIINETGetProxyInfoProc>("QUIINETGetProxyInfo");
        Init = Find<QUIINETInitProc>("QUIINETInit");
        ShowProxyDlg = Find<QUIINETShowProxyDlgProc>("QUIINETShowProxyDlg");
    }
    ~ShrikeLibrary()
    {
        if (module)
            FreeLibrary(module);
    }
    ShrikeLibrary(const ShrikeLibrary&) = delete;
    ShrikeLibrary& operator=(const ShrikeLibrary&) = delete;

    // The library's settings as QUIINETGetProxyInfo gives them.
    QuiProxyInfo Effective()
    {
        QuiProxyInfo info;
        memset(&info, 0, sizeof info);
        info.size = QUI_PROXY_INFO_SIZE;
        info.proxyCapacity = info.bypassCapacity = QUI_PROXY_TEXT_SIZE;
        EXPECT_EQ(1, GetProxyInfo(&info));
        return info;
    }

    HMODULE module;
    QUIINETCloseProc Close;
    QUIINETCrackURLProc CrackURL;
    QUIINETGetFileProc GetFile;
    QUIINETGetProxyInfoProc GetProxyInfo;
    QUIINETInitProc Init;
    QUIINETShowProxyDlgProc ShowProxyDlg;

private:
    template <class Proc> Proc Find(const char* name)
    {
        FARPROC p = module ? GetProcAddress(module, name) : nullptr;
        EXPECT_NE(nullptr, p) << name;
        return reinterpret_cast<Proc>(p);
    }
};
