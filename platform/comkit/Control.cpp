#include "QuiControl.h"

#include "QuiComModule.h"

const QuiInterfaceEntry QuiControlImpl::kInterfaces[] = {
    {&IID_IOleObject, QuiCastTo<QuiControlImpl, IOleObject>},
    {&IID_IOleControl, QuiCastTo<QuiControlImpl, IOleControl>},
    {&IID_IPersistStreamInit, QuiCastTo<QuiControlImpl, IPersistStreamInit>},
    {&IID_IPersist, QuiCastTo<QuiControlImpl, IPersistStreamInit>},
    {&IID_IProvideClassInfo, QuiCastTo<QuiControlImpl, IProvideClassInfo2>},
    {&IID_IProvideClassInfo2, QuiCastTo<QuiControlImpl, IProvideClassInfo2>},
    {&IID_IViewObject, QuiCastTo<QuiControlImpl, IViewObject2>},
    {&IID_IViewObject2, QuiCastTo<QuiControlImpl, IViewObject2>},
    {},
};

// One inch square in HIMETRIC until the container says otherwise.
QuiControlImpl::QuiControlImpl(REFCLSID clsid, const IID* eventIid, DWORD miscStatus)
    : m_clsid(clsid), m_eventIid(eventIid), m_miscStatus(miscStatus), m_extent{2540, 2540}
{
}

QuiControlImpl::~QuiControlImpl()
{
    if (m_site)
        m_site->Release();
    if (m_adviseHolder)
        m_adviseHolder->Release();
    if (m_viewSink)
        m_viewSink->Release();
}

//--- IOleObject

STDMETHODIMP QuiControlImpl::SetClientSite(IOleClientSite* site)
{
    if (site)
        site->AddRef();
    if (m_site)
        m_site->Release();
    m_site = site;
    return S_OK;
}

STDMETHODIMP QuiControlImpl::GetClientSite(IOleClientSite** site)
{
    if (!site)
        return E_POINTER;
    *site = m_site;
    if (m_site)
        m_site->AddRef();
    return S_OK;
}

STDMETHODIMP QuiControlImpl::SetHostNames(LPCOLESTR, LPCOLESTR)
{
    return S_OK;
}

STDMETHODIMP QuiControlImpl::Close(DWORD)
{
    if (m_adviseHolder)
        m_adviseHolder->SendOnClose();
    return S_OK;
}

STDMETHODIMP QuiControlImpl::SetMoniker(DWORD, IMoniker*)
{
    return E_NOTIMPL;
}

STDMETHODIMP QuiControlImpl::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker)
        *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP QuiControlImpl::InitFromData(IDataObject*, BOOL, DWORD)
{
    return E_NOTIMPL;
}

STDMETHODIMP QuiControlImpl::GetClipboardData(DWORD, IDataObject** data)
{
    if (data)
        *data = nullptr;
    return E_NOTIMPL;
}

// Nothing to show or activate: the container draws the control through
// IViewObject, so the verbs that only make it visible succeed as they are.
STDMETHODIMP QuiControlImpl::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT)
{
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_HIDE:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
        return S_OK;
    default:
        return verb >= 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

STDMETHODIMP QuiControlImpl::EnumVerbs(IEnumOLEVERB** verbs)
{
    return OleRegEnumVerbs(m_clsid, verbs);
}

STDMETHODIMP QuiControlImpl::Update()
{
    return S_OK;
}

STDMETHODIMP QuiControlImpl::IsUpToDate()
{
    return S_OK;
}

STDMETHODIMP QuiControlImpl::GetUserClassID(CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = m_clsid;
    return S_OK;
}

STDMETHODIMP QuiControlImpl::GetUserType(DWORD form, LPOLESTR* type)
{
    return OleRegGetUserType(m_clsid, form, type);
}

STDMETHODIMP QuiControlImpl::SetExtent(DWORD aspect, SIZEL* size)
{
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!size)
        return E_POINTER;
    m_extent = *size;
    SetModified();
    return S_OK;
}

STDMETHODIMP QuiControlImpl::GetExtent(DWORD aspect, SIZEL* size)
{
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!size)
        return E_POINTER;
    *size = m_extent;
    return S_OK;
}

HRESULT QuiControlImpl::EnsureAdviseHolder()
{
    return m_adviseHolder ? S_OK : CreateOleAdviseHolder(&m_adviseHolder);
}

STDMETHODIMP QuiControlImpl::Advise(IAdviseSink* sink, DWORD* cookie)
{
    HRESULT hr = EnsureAdviseHolder();
    return SUCCEEDED(hr) ? m_adviseHolder->Advise(sink, cookie) : hr;
}

STDMETHODIMP QuiControlImpl::Unadvise(DWORD cookie)
{
    return m_adviseHolder ? m_adviseHolder->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

STDMETHODIMP QuiControlImpl::EnumAdvise(IEnumSTATDATA** advise)
{
    if (!advise)
        return E_POINTER;
    *advise = nullptr;
    HRESULT hr = EnsureAdviseHolder();
    return SUCCEEDED(hr) ? m_adviseHolder->EnumAdvise(advise) : hr;
}

STDMETHODIMP QuiControlImpl::GetMiscStatus(DWORD, DWORD* status)
{
    if (!status)
        return E_POINTER;
    *status = m_miscStatus;
    return S_OK;
}

STDMETHODIMP QuiControlImpl::SetColorScheme(LOGPALETTE*)
{
    return E_NOTIMPL;
}

//--- IOleControl

STDMETHODIMP QuiControlImpl::GetControlInfo(CONTROLINFO* info)
{
    if (!info)
        return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP QuiControlImpl::OnMnemonic(MSG*)
{
    return E_NOTIMPL;
}

STDMETHODIMP QuiControlImpl::OnAmbientPropertyChange(DISPID id)
{
    OnAmbientChange(id);
    return S_OK;
}

STDMETHODIMP QuiControlImpl::FreezeEvents(BOOL freeze)
{
    if (freeze)
        ++m_freezeCount;
    else if (m_freezeCount > 0)
        --m_freezeCount;
    return S_OK;
}

//--- IPersistStreamInit

STDMETHODIMP QuiControlImpl::GetClassID(CLSID* clsid)
{
    return GetUserClassID(clsid);
}

STDMETHODIMP QuiControlImpl::IsDirty()
{
    return m_dirty ? S_OK : S_FALSE;
}

STDMETHODIMP QuiControlImpl::Load(LPSTREAM stream)
{
    if (!stream)
        return E_POINTER;
    HRESULT hr = LoadState(stream);
    if (SUCCEEDED(hr))
        m_dirty = false;
    return hr;
}

STDMETHODIMP QuiControlImpl::Save(LPSTREAM stream, BOOL clearDirty)
{
    if (!stream)
        return E_POINTER;
    HRESULT hr = SaveState(stream);
    if (SUCCEEDED(hr) && clearDirty)
        m_dirty = false;
    return hr;
}

STDMETHODIMP QuiControlImpl::GetSizeMax(ULARGE_INTEGER*)
{
    return E_NOTIMPL;
}

STDMETHODIMP QuiControlImpl::InitNew()
{
    m_dirty = false;
    return S_OK;
}

//--- IProvideClassInfo2

STDMETHODIMP QuiControlImpl::GetClassInfo(ITypeInfo** info)
{
    return QuiModule().GetTypeInfo(m_clsid, info);
}

STDMETHODIMP QuiControlImpl::GetGUID(DWORD kind, GUID* guid)
{
    if (!guid)
        return E_POINTER;
    *guid = GUID_NULL;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID || !m_eventIid)
        return E_INVALIDARG;
    *guid = *m_eventIid;
    return S_OK;
}

//--- IViewObject2

STDMETHODIMP QuiControlImpl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC draw, LPCRECTL bounds,
                                  LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR)
{
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!draw || !bounds)
        return E_INVALIDARG;
    RECT rect = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    OnDraw(draw, rect);
    return S_OK;
}

STDMETHODIMP QuiControlImpl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors)
{
    if (!colors)
        return E_POINTER;
    *colors = nullptr;
    return S_FALSE;
}

STDMETHODIMP QuiControlImpl::Freeze(DWORD, LONG, void*, DWORD*)
{
    return E_NOTIMPL;
}

STDMETHODIMP QuiControlImpl::Unfreeze(DWORD)
{
    return E_NOTIMPL;
}

STDMETHODIMP QuiControlImpl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink)
{
    if (sink)
        sink->AddRef();
    if (m_viewSink)
        m_viewSink->Release();
    m_viewSink = sink;
    m_viewAspects = aspects;
    m_viewFlags = flags;
    return S_OK;
}

STDMETHODIMP QuiControlImpl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink)
{
    if (aspects)
        *aspects = m_viewAspects;
    if (flags)
        *flags = m_viewFlags;
    if (sink) {
        *sink = m_viewSink;
        if (m_viewSink)
            m_viewSink->AddRef();
    }
    return S_OK;
}

STDMETHODIMP QuiControlImpl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, SIZEL* size)
{
    return GetExtent(aspect, size);
}

//--- helpers

HRESULT QuiControlImpl::GetAmbientProperty(DISPID id, VARIANT* value)
{
    if (!value)
        return E_POINTER;
    VariantInit(value);
    if (!m_site)
        return S_FALSE;
    IDispatch* ambient = nullptr;
    if (FAILED(m_site->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&ambient))) || !ambient)
        return S_FALSE;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    HRESULT hr = ambient->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr,
                                 nullptr);
    ambient->Release();
    if (FAILED(hr))
        VariantClear(value);
    return hr;
}
