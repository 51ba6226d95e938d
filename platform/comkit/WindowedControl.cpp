#include "QuiWindowedControl.h"

const QuiInterfaceEntry QuiWindowedControlImpl::kInterfaces[] = {
    {nullptr, QuiCastTo<QuiWindowedControlImpl, QuiControlImpl>, QuiControlImpl::kInterfaces},
    {&IID_IOleInPlaceObject, QuiCastTo<QuiWindowedControlImpl, IOleInPlaceObject>},
    {&IID_IOleWindow, QuiCastTo<QuiWindowedControlImpl, IOleInPlaceObject>},
    {},
};

QuiWindowedControlImpl::~QuiWindowedControlImpl()
{
    InPlaceDeactivate();
}

STDMETHODIMP QuiWindowedControlImpl::DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                                            LPCRECT pos)
{
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE: {
        HRESULT hr = ActivateInPlace(site, parent, pos);
        if (SUCCEEDED(hr) && verb != OLEIVERB_INPLACEACTIVATE)
            ShowControlWindow(SW_SHOW);
        return hr;
    }
    case OLEIVERB_HIDE:
        ShowControlWindow(SW_HIDE);
        return S_OK;
    default:
        return QuiControlImpl::DoVerb(verb, msg, site, index, parent, pos);
    }
}

// The site the verb names, else the client site, must agree to the
// activation and say where the window goes.
HRESULT QuiWindowedControlImpl::ActivateInPlace(IOleClientSite* site, HWND, LPCRECT)
{
    if (m_window)
        return S_OK;
    IOleClientSite* from = site;
    IOleClientSite* own = nullptr;
    if (!from && SUCCEEDED(GetClientSite(&own)))
        from = own;
    IOleInPlaceSite* inPlace = nullptr;
    HRESULT hr = from ? from->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))
                      : E_UNEXPECTED;
    if (own)
        own->Release();
    if (FAILED(hr))
        return hr;
    hr = inPlace->CanInPlaceActivate();
    if (hr != S_OK) {
        inPlace->Release();
        return E_FAIL;
    }
    HWND parent = nullptr;
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = nullptr;
    RECT posRect = {}, clipRect = {};
    OLEINPLACEFRAMEINFO frameInfo = {sizeof frameInfo};
    hr = inPlace->GetWindow(&parent);
    if (SUCCEEDED(hr))
        hr = inPlace->GetWindowContext(&frame, &document, &posRect, &clipRect, &frameInfo);
    if (frame)
        frame->Release();
    if (document)
        document->Release();
    if (SUCCEEDED(hr))
        hr = inPlace->OnInPlaceActivate();
    if (FAILED(hr)) {
        inPlace->Release();
        return hr;
    }
    m_window = CreateControlWindow(parent, posRect);
    if (!m_window) {
        inPlace->OnInPlaceDeactivate();
        inPlace->Release();
        return E_FAIL;
    }
    m_inPlaceSite = inPlace;
    return S_OK;
}

void QuiWindowedControlImpl::ShowControlWindow(int show)
{
    if (m_window)
        ShowWindow(m_window, show);
}

void QuiWindowedControlImpl::WindowGone(HWND window)
{
    if (window == m_window)
        m_window = nullptr;
}

STDMETHODIMP QuiWindowedControlImpl::Close(DWORD saveOption)
{
    InPlaceDeactivate();
    return QuiControlImpl::Close(saveOption);
}

STDMETHODIMP QuiWindowedControlImpl::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = m_window;
    return m_window ? S_OK : E_FAIL;
}

STDMETHODIMP QuiWindowedControlImpl::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

STDMETHODIMP QuiWindowedControlImpl::InPlaceDeactivate()
{
    IOleInPlaceSite* site = m_inPlaceSite;
    m_inPlaceSite = nullptr;
    if (m_window) {
        HWND window = m_window;
        m_window = nullptr;
        DestroyWindow(window);
    }
    if (site) {
        site->OnInPlaceDeactivate();
        site->Release();
    }
    return S_OK;
}

STDMETHODIMP QuiWindowedControlImpl::UIDeactivate()
{
    return S_OK;
}

STDMETHODIMP QuiWindowedControlImpl::SetObjectRects(LPCRECT pos, LPCRECT)
{
    if (!pos)
        return E_POINTER;
    if (!m_window)
        return OLE_E_NOT_INPLACEACTIVE;
    MoveWindow(m_window, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
    return S_OK;
}

STDMETHODIMP QuiWindowedControlImpl::ReactivateAndUndo()
{
    return INPLACE_E_NOTUNDOABLE;
}
