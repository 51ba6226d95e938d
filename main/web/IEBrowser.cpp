#include "BrowserDrivers.h"

#include <exdispid.h>

namespace {

DWORD s_dwWaitMs = 30000;

// Navigate's arguments as documented: no flags, the window itself, no post
// data and no extra headers.
HRESULT Navigate(IWebBrowser2* browser, LPCSTR lpszURL)
{
    COleVariant flags(0L);
    COleVariant frame("");
    VARIANT postData, headers;
    VariantInit(&postData);
    VariantInit(&headers);
    BSTR url = CString(lpszURL).AllocSysString();
    const HRESULT hr = browser->Navigate(url, &flags, &frame, &postData, &headers);
    SysFreeString(url);
    return hr;
}

} // namespace

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD dwTimeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= dwTimeoutMs)
            return false;
        // A state read by polling (Busy) is looked at again now and then.
        const DWORD wait = dwTimeoutMs - elapsed < 50 ? dwTimeoutMs - elapsed : 50;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // The quit belongs to the outermost loop; whoever waits here
            // stops what it is doing and returns to it.
            if (msg.message == WM_QUIT) {
                QuiURLHandler::SetQuitting(TRUE);
                PostQuitMessage(static_cast<int>(msg.wParam));
                return done();
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

//--- the browser's events

// DWebBrowserEvents2 as far as the driver listens: a document completed, a
// navigation failed, the browser quit.
class IEBrowser::CEvents final : public IDispatch {
public:
    explicit CEvents(IEBrowser* owner) : m_owner(owner) {}
    void Detach() { m_owner = nullptr; }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == DIID_DWebBrowserEvents2) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG left = InterlockedDecrement(&m_refs);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        if (count)
            *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        if (!m_owner)
            return S_OK;
        // The frame comes first: last among the reversed arguments.
        IDispatch* frame = nullptr;
        if (params && params->cArgs > 0 && V_VT(&params->rgvarg[params->cArgs - 1]) == VT_DISPATCH)
            frame = V_DISPATCH(&params->rgvarg[params->cArgs - 1]);
        m_owner->OnEvent(dispid, frame);
        return S_OK;
    }

private:
    LONG m_refs = 1;
    IEBrowser* m_owner;
};

//--- the driver

IEBrowser::IEBrowser()
{
    m_hWinInet = LoadLibraryA("wininet.dll");
    if (m_hWinInet)
        m_pfnAttemptConnect =
            reinterpret_cast<DWORD(WINAPI*)(DWORD)>(GetProcAddress(m_hWinInet, "InternetAttemptConnect"));
}

IEBrowser::~IEBrowser()
{
    ReleaseAutomation(true);
    if (m_hWinInet)
        FreeLibrary(m_hWinInet);
}

void IEBrowser::SetWaitTime(DWORD dwMs)
{
    s_dwWaitMs = dwMs;
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
    if (FAILED(hr)) {
        m_pWebBrowser = nullptr;
        return FALSE;
    }
    m_bShown = m_bClosed = m_bOurs = false;
    m_navigation = navIdle;
    // The events tell when a page is complete, failed, or the user closed
    // the window; without them Busy alone tells.
    IConnectionPointContainer* container = nullptr;
    if (SUCCEEDED(m_pWebBrowser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)))) {
        IConnectionPoint* point = nullptr;
        if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point))) {
            m_pEvents = new CEvents(this);
            if (FAILED(point->Advise(m_pEvents, &m_dwCookie))) {
                m_pEvents->Release();
                m_pEvents = nullptr;
                m_dwCookie = 0;
            }
            point->Release();
        }
        container->Release();
    }
    return TRUE;
}

void IEBrowser::ReleaseAutomation(bool bQuit)
{
    if (!m_pWebBrowser)
        return;
    // A hidden browser outlives its last reference: it is quit once a form
    // of ours it may still be posting has gone.
    if (bQuit && !m_bShown && !m_bClosed) {
        FinishOurPage();
        if (!m_bClosed)
            m_pWebBrowser->Quit();
    }
    if (m_pEvents) {
        IConnectionPointContainer* container = nullptr;
        if (SUCCEEDED(m_pWebBrowser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)))) {
            IConnectionPoint* point = nullptr;
            if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point))) {
                point->Unadvise(m_dwCookie);
                point->Release();
            }
            container->Release();
        }
        m_pEvents->Detach();
        m_pEvents->Release();
        m_pEvents = nullptr;
        m_dwCookie = 0;
    }
    m_pWebBrowser->Release();
    m_pWebBrowser = nullptr;
}

bool IEBrowser::IsBusy()
{
    VARIANT_BOOL busy = VARIANT_FALSE;
    return m_pWebBrowser && SUCCEEDED(m_pWebBrowser->get_Busy(&busy)) && busy != VARIANT_FALSE;
}

void IEBrowser::FinishOurPage()
{
    if (!m_bOurs || !m_pWebBrowser)
        return;
    if (!PumpMessagesUntil([this] { return m_bClosed || !IsBusy(); }, s_dwWaitMs) && !m_bClosed && m_pWebBrowser)
        m_pWebBrowser->Stop();
    m_bOurs = false;
}

void IEBrowser::GiveUpNavigation()
{
    if (m_navigation == navPending && m_pWebBrowser && !m_bClosed)
        m_pWebBrowser->Stop();
    m_bOurs = false;
}

bool IEBrowser::IsTopLevel(IDispatch* pFrame)
{
    if (!pFrame || !m_pWebBrowser)
        return false;
    IUnknown* frame = nullptr;
    IUnknown* browser = nullptr;
    pFrame->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&frame));
    m_pWebBrowser->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&browser));
    const bool same = frame && frame == browser;
    if (frame)
        frame->Release();
    if (browser)
        browser->Release();
    return same;
}

void IEBrowser::OnEvent(DISPID dispid, IDispatch* pFrame)
{
    switch (dispid) {
    case DISPID_DOCUMENTCOMPLETE:
        if (m_navigation == navPending && IsTopLevel(pFrame))
            m_navigation = navCompleted;
        break;
    case DISPID_NAVIGATEERROR:
        if (m_navigation == navPending && IsTopLevel(pFrame))
            m_navigation = navFailed;
        break;
    case DISPID_ONQUIT:
        m_bClosed = true;
        if (m_navigation == navPending)
            m_navigation = navFailed;
        break;
    default:
        break;
    }
}

int IEBrowser::OpenURL(LPCSTR lpszURL, BOOL bShow)
{
    // Reached again while a page is under way: the next waits its turn.
    if (m_bOpening)
        return 0;
    if (!m_pWebBrowser && !CreateAutomation())
        return BrowserInterface::OpenURL(lpszURL, bShow);
    // The user may have closed the browser window since the last call.
    VARIANT_BOOL visible = VARIANT_FALSE;
    if (m_bClosed || FAILED(m_pWebBrowser->get_Visible(&visible))) {
        ReleaseAutomation(false);
        if (!CreateAutomation())
            return 0;
    }
    m_bOpening = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_bOpening};

    // A page of ours (or what it posts) is let finish; anything else the
    // browser is busy with is stopped.
    FinishOurPage();
    if (m_bClosed || QuiURLHandler::IsQuitting())
        return 0;
    if (IsBusy())
        m_pWebBrowser->Stop();
    m_navigation = navPending;
    if (FAILED(Navigate(m_pWebBrowser, lpszURL))) {
        m_navigation = navIdle;
        return 0;
    }
    m_bOurs = true;
    if (bShow) {
        m_pWebBrowser->put_Visible(VARIANT_TRUE);
        m_bShown = true;
    }
    // Handed over once the browser completed it; without events, once it is
    // no longer busy with it.
    bool busySeen = false;
    PumpMessagesUntil(
        [this, &busySeen] {
            if (m_navigation != navPending || !m_pWebBrowser)
                return true;
            if (m_pEvents)
                return false;
            const bool busy = IsBusy();
            busySeen = busySeen || busy;
            if (busySeen && !busy)
                m_navigation = navCompleted;
            return !busy && busySeen;
        },
        s_dwWaitMs);
    const bool completed = m_navigation == navCompleted;
    if (!completed)
        GiveUpNavigation();
    m_navigation = navIdle;
    return completed ? 1 : 0;
}
