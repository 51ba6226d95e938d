#include "OutlookSession.h"

// The session is opened once; a logon that fails without the profile
// dialog is tried again with it, so that the user may pick a profile.
HRESULT COutlookSession::Open()
{
    if (Held())
        return S_OK;
    CLSID clsid;
    IUnknown* application = nullptr;
    HRESULT hr = CLSIDFromProgID(OUTLOOK_PROGID, &clsid);
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                              OutlookIid(OlInterface::Application), reinterpret_cast<void**>(&application));
    if (SUCCEEDED(hr))
        hr = m_application.Attach(application, OlInterface::Application);
    if (application)
        application->Release();
    BSTR mapi = SUCCEEDED(hr) ? SysAllocString(L"MAPI") : nullptr;
    if (SUCCEEDED(hr))
        hr = mapi ? m_application.CallChild(L"GetNamespace", {OlArg::Text(mapi)}, OlInterface::NameSpace, &m_namespace)
                  : E_OUTOFMEMORY;
    SysFreeString(mapi);
    if (SUCCEEDED(hr) && FAILED(Logon(false)))
        hr = Logon(true);
    if (FAILED(hr))
        Close();
    return hr;
}

void COutlookSession::Close()
{
    m_namespace.Release();
    m_application.Release();
}

// An empty profile name is Outlook's default profile; no new session, so
// that a running Outlook's own session is used.
HRESULT COutlookSession::Logon(bool showDialog)
{
    BSTR defaultProfile = SysAllocString(L"");
    HRESULT hr = defaultProfile ? m_namespace.Call(L"Logon", {OlArg::Text(defaultProfile), OlArg::Missing(),
                                                              OlArg::Bool(showDialog), OlArg::Bool(false)})
                                : E_OUTOFMEMORY;
    SysFreeString(defaultProfile);
    return hr;
}
