#include "BrowserDrivers.h"

IEBrowser::IEBrowser()
{
    m_hWinInet = LoadLibraryA("wininet.dll");
    if (m_hWinInet)
        m_pfnAttemptConnect =
            reinterpret_cast<DWORD(WINAPI*)(DWORD)>(GetProcAddress(m_hWinInet, "InternetAttemptConnect"));
}

IEBrowser::~IEBrowser()
{
    ReleaseAutomation();
    if (m_hWinInet)
        FreeLibrary(m_hWinInet);
}

int IEBrowser::IsConnected()
{
    if (!m_pfnAttemptConnect)
        return 0;
    return m_pfnAttemptConnect(0) == ERROR_SUCCESS ? 1 : 0;
}

BOOL IEBrowser::CreateAutomation()
{
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"InternetExplorer.Application", &clsid)))
        return FALSE;
    IUnknown* unknown = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
                                IID_IUnknown, reinterpret_cast<void**>(&unknown))))
        return FALSE;
    HRESULT hr = unknown->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&m_pWebBrowser));
    unknown->Release();
    if (FAILED(hr))
        m_pWebBrowser = nullptr;
    return m_pWebBrowser != nullptr;
}

void IEBrowser::ReleaseAutomation()
{
    if (m_pWebBrowser)
        m_pWebBrowser->Release();
    m_pWebBrowser = nullptr;
}

int IEBrowser::OpenURL(LPCSTR lpszURL, BOOL bShow)
{
    if (!m_pWebBrowser && !CreateAutomation())
        return BrowserInterface::OpenURL(lpszURL, bShow);
    // The user may have closed the browser window since the last call.
    VARIANT_BOOL visible = VARIANT_FALSE;
    if (FAILED(m_pWebBrowser->get_Visible(&visible))) {
        ReleaseAutomation();
        if (!CreateAutomation())
            return 0;
    }
    VARIANT_BOOL busy = VARIANT_FALSE;
    if (SUCCEEDED(m_pWebBrowser->get_Busy(&busy)) && busy != VARIANT_FALSE)
        m_pWebBrowser->Stop();

    COleVariant flags(static_cast<long>(navBrowserBar));
    COleVariant frame("");
    // Post data and headers go as texts that hold nothing at all.
    COleVariant postData, headers;
    V_VT(&postData) = V_VT(&headers) = VT_BSTR;
    V_BSTR(&postData) = V_BSTR(&headers) = nullptr;
    BSTR url = CString(lpszURL).AllocSysString();
    const HRESULT navigated = m_pWebBrowser->Navigate(url, &flags, &frame, &postData, &headers);
    SysFreeString(url);
    if (FAILED(navigated))
        return 0;
    if (bShow)
        m_pWebBrowser->put_Visible(VARIANT_TRUE);
    return 1;
}
