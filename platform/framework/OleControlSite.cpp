#include "OleControlSite.h"
#include "State.h"

#include <olectl.h>

namespace {

const long kHimetricPerInch = 2540;

// Pixels of the screen per logical inch, across and down.
SIZE ScreenPixelsPerInch()
{
    HDC dc = ::GetDC(nullptr);
    SIZE ppi = {96, 96};
    if (dc) {
        ppi.cx = ::GetDeviceCaps(dc, LOGPIXELSX);
        ppi.cy = ::GetDeviceCaps(dc, LOGPIXELSY);
        ::ReleaseDC(nullptr, dc);
    }
    return ppi;
}

// The font of the window the control sits in, as an OLE font object.
HRESULT AmbientFont(HWND hWnd, VARIANT* value)
{
    HFONT hFont = reinterpret_cast<HFONT>(::SendMessage(hWnd, WM_GETFONT, 0, 0));
    if (!hFont)
        hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW lf = {};
    if (!::GetObjectW(hFont, sizeof lf, &lf))
        return E_FAIL;
    SIZE ppi = ScreenPixelsPerInch();
    FONTDESC desc = {sizeof desc};
    desc.lpstrName = lf.lfFaceName;
    // Points in units of 1/10000, from the height in pixels.
    long height = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    desc.cySize.int64 = static_cast<LONGLONG>(height) * 72 * 10000 / ppi.cy;
    desc.sWeight = static_cast<SHORT>(lf.lfWeight);
    desc.sCharset = lf.lfCharSet;
    desc.fItalic = lf.lfItalic != 0;
    desc.fUnderline = lf.lfUnderline != 0;
    desc.fStrikethrough = lf.lfStrikeOut != 0;
    IFontDisp* pFont = nullptr;
    HRESULT hr = ::OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(&pFont));
    if (FAILED(hr))
        return hr;
    value->vt = VT_DISPATCH;
    value->pdispVal = pFont;
    return S_OK;
}

// The one interface a nested part of the site answers for itself.
HRESULT AnswerAs(IUnknown* pPart, bool bMatch, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = bMatch ? pPart : nullptr;
    if (!bMatch)
        return E_NOINTERFACE;
    pPart->AddRef();
    return S_OK;
}

} // namespace

//--- creation and end

COleControlSite::COleControlSite(HWND hWndParent, const RECT& rect, UINT nID)
    : m_hWndParent(hWndParent), m_rect(rect), m_nID(nID)
{
}

COleControlSite::~COleControlSite()
{
    Disconnect();
}

HRESULT COleControlSite::Create(REFCLSID clsid, HWND hWndParent, const RECT& rect, UINT nID,
                                COleControlSite** ppSite)
{
    *ppSite = nullptr;
    COleControlSite* pSite = new COleControlSite(hWndParent, rect, nID);
    HRESULT hr = pSite->Load(clsid);
    if (FAILED(hr)) {
        pSite->Disconnect();
        pSite->Release();
        return hr;
    }
    *ppSite = pSite;
    return S_OK;
}

// As the OLE control documentation orders it: site first when the control
// asks for that, a fresh state, the extent, the events, then activation.
HRESULT COleControlSite::Load(REFCLSID clsid)
{
    HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                    reinterpret_cast<void**>(&m_pObject));
    if (FAILED(hr))
        return hr;
    hr = m_pObject->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&m_pOleObject));
    if (FAILED(hr))
        return hr;
    DWORD misc = 0;
    m_pOleObject->GetMiscStatus(DVASPECT_CONTENT, &misc);
    if (misc & OLEMISC_SETCLIENTSITEFIRST)
        m_pOleObject->SetClientSite(this);
    IPersistStreamInit* pPersist = nullptr;
    if (SUCCEEDED(m_pObject->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&pPersist)))) {
        hr = pPersist->InitNew();
        pPersist->Release();
        if (FAILED(hr))
            return hr;
    }
    if (!(misc & OLEMISC_SETCLIENTSITEFIRST))
        m_pOleObject->SetClientSite(this);
    IDispatch* pDispatch = nullptr;
    if (SUCCEEDED(m_pObject->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pDispatch))))
        m_driver.AttachDispatch(pDispatch, TRUE);
    SetExtentFrom(m_rect);
    ConnectEvents();

    hr = m_pOleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, m_hWndParent, &m_rect);
    if (FAILED(hr))
        return hr;
    // Only a control with a window of its own can be this object's window.
    IOleInPlaceObject* pInPlace = nullptr;
    hr = m_pObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&pInPlace));
    if (FAILED(hr))
        return hr;
    hr = pInPlace->GetWindow(&m_hWndCtrl);
    pInPlace->Release();
    if (SUCCEEDED(hr) && !::IsWindow(m_hWndCtrl))
        hr = E_FAIL;
    return hr;
}

void COleControlSite::ConnectEvents()
{
    IProvideClassInfo2* pInfo = nullptr;
    if (FAILED(m_pObject->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&pInfo))))
        return;
    HRESULT hr = pInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &m_sink.m_iid);
    pInfo->Release();
    IConnectionPointContainer* pContainer = nullptr;
    if (FAILED(hr) ||
        FAILED(m_pObject->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&pContainer))))
        return;
    if (SUCCEEDED(pContainer->FindConnectionPoint(m_sink.m_iid, &m_pEventPoint)) &&
        FAILED(m_pEventPoint->Advise(&m_sink, &m_dwEventCookie))) {
        m_pEventPoint->Release();
        m_pEventPoint = nullptr;
    }
    pContainer->Release();
}

void COleControlSite::CloseControl()
{
    // Held while the control lets go of us, which may be our last reference.
    AddRef();
    Disconnect();
    Release();
}

void COleControlSite::Disconnect()
{
    if (m_pEventPoint) {
        IConnectionPoint* pPoint = m_pEventPoint;
        m_pEventPoint = nullptr;
        pPoint->Unadvise(m_dwEventCookie);
        pPoint->Release();
    }
    if (m_pObject) {
        IOleInPlaceObject* pInPlace = nullptr;
        if (SUCCEEDED(m_pObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&pInPlace)))) {
            pInPlace->InPlaceDeactivate();
            pInPlace->Release();
        }
    }
    if (m_pOleObject) {
        IOleObject* pOleObject = m_pOleObject;
        m_pOleObject = nullptr;
        pOleObject->Close(OLECLOSE_NOSAVE);
        pOleObject->SetClientSite(nullptr);
        pOleObject->Release();
    }
    m_driver.ReleaseDispatch();
    if (m_pObject) {
        IUnknown* pObject = m_pObject;
        m_pObject = nullptr;
        pObject->Release();
    }
    m_hWndCtrl = nullptr;
}

void COleControlSite::SetExtentFrom(const RECT& rect)
{
    if (!m_pOleObject)
        return;
    SIZE ppi = ScreenPixelsPerInch();
    SIZEL extent = {MulDiv(rect.right - rect.left, kHimetricPerInch, ppi.cx),
                    MulDiv(rect.bottom - rect.top, kHimetricPerInch, ppi.cy)};
    m_pOleObject->SetExtent(DVASPECT_CONTENT, &extent);
}

void COleControlSite::MoveControl(const RECT& rect)
{
    m_rect = rect;
    SetExtentFrom(rect);
    IOleInPlaceObject* pInPlace = nullptr;
    if (m_pObject &&
        SUCCEEDED(m_pObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&pInPlace)))) {
        pInPlace->SetObjectRects(&m_rect, &m_rect);
        pInPlace->Release();
    }
}

//--- IUnknown

STDMETHODIMP COleControlSite::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite))
        *ppv = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite))
        *ppv = static_cast<IOleInPlaceSite*>(this);
    else if (IsEqualIID(riid, IID_IOleControlSite))
        *ppv = static_cast<IOleControlSite*>(this);
    else if (IsEqualIID(riid, IID_IDispatch))
        *ppv = static_cast<IDispatch*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) COleControlSite::AddRef()
{
    return ::InterlockedIncrement(&m_refs);
}

STDMETHODIMP_(ULONG) COleControlSite::Release()
{
    LONG left = ::InterlockedDecrement(&m_refs);
    if (left == 0)
        delete this;
    return left;
}

//--- IOleClientSite: the control lives in a window, not in a document

STDMETHODIMP COleControlSite::SaveObject() { return E_NOTIMPL; }

STDMETHODIMP COleControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker)
        *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::GetContainer(IOleContainer** container)
{
    if (container)
        *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP COleControlSite::ShowObject() { return S_OK; }
STDMETHODIMP COleControlSite::OnShowWindow(BOOL) { return S_OK; }
STDMETHODIMP COleControlSite::RequestNewObjectLayout() { return E_NOTIMPL; }

//--- IOleInPlaceSite

STDMETHODIMP COleControlSite::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = m_hWndParent;
    return S_OK;
}

STDMETHODIMP COleControlSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP COleControlSite::CanInPlaceActivate()
{
    return ::IsWindow(m_hWndParent) ? S_OK : S_FALSE;
}

STDMETHODIMP COleControlSite::OnInPlaceActivate()
{
    m_bInPlaceActive = TRUE;
    return S_OK;
}

STDMETHODIMP COleControlSite::OnUIActivate() { return S_OK; }

STDMETHODIMP COleControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    if (!frame || !doc || !pos || !clip || !info)
        return E_POINTER;
    *frame = &m_frame;
    m_frame.AddRef();
    *doc = nullptr;
    *pos = m_rect;
    *clip = m_rect;
    info->fMDIApp = FALSE;
    info->hwndFrame = ::GetAncestor(m_hWndParent, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP COleControlSite::Scroll(SIZE) { return S_FALSE; }
STDMETHODIMP COleControlSite::OnUIDeactivate(BOOL) { return S_OK; }

STDMETHODIMP COleControlSite::OnInPlaceDeactivate()
{
    m_bInPlaceActive = FALSE;
    return S_OK;
}

STDMETHODIMP COleControlSite::DiscardUndoState() { return S_OK; }
STDMETHODIMP COleControlSite::DeactivateAndUndo() { return S_OK; }

// The window decides where its children go; a control asking for a new
// place gets the one it has.
STDMETHODIMP COleControlSite::OnPosRectChange(LPCRECT pos)
{
    if (!pos)
        return E_POINTER;
    IOleInPlaceObject* pInPlace = nullptr;
    if (m_pObject &&
        SUCCEEDED(m_pObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&pInPlace)))) {
        pInPlace->SetObjectRects(&m_rect, &m_rect);
        pInPlace->Release();
    }
    return S_OK;
}

//--- IOleControlSite

STDMETHODIMP COleControlSite::OnControlInfoChanged() { return S_OK; }
STDMETHODIMP COleControlSite::LockInPlaceActive(BOOL) { return S_OK; }

STDMETHODIMP COleControlSite::GetExtendedControl(IDispatch** disp)
{
    if (disp)
        *disp = nullptr;
    return E_NOTIMPL;
}

// The container's units are pixels.
STDMETHODIMP COleControlSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags)
{
    if (!himetric || !container)
        return E_POINTER;
    SIZE ppi = ScreenPixelsPerInch();
    if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
        container->x = static_cast<float>(himetric->x) * ppi.cx / kHimetricPerInch;
        container->y = static_cast<float>(himetric->y) * ppi.cy / kHimetricPerInch;
    } else if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
        himetric->x = static_cast<LONG>(container->x * kHimetricPerInch / ppi.cx + 0.5f);
        himetric->y = static_cast<LONG>(container->y * kHimetricPerInch / ppi.cy + 0.5f);
    } else {
        return E_INVALIDARG;
    }
    return S_OK;
}

STDMETHODIMP COleControlSite::TranslateAccelerator(MSG*, DWORD) { return S_FALSE; }
STDMETHODIMP COleControlSite::OnFocus(BOOL) { return S_OK; }
STDMETHODIMP COleControlSite::ShowPropertyFrame() { return E_NOTIMPL; }

//--- IDispatch: ambient properties, asked for by DISPID only

STDMETHODIMP COleControlSite::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP COleControlSite::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids)
{
    for (UINT i = 0; ids && i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP COleControlSite::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*)
{
    if (!(flags & DISPATCH_PROPERTYGET))
        return DISP_E_MEMBERNOTFOUND;
    if (params && params->cArgs != 0)
        return DISP_E_BADPARAMCOUNT;
    VARIANT value;
    ::VariantInit(&value);
    HRESULT hr = GetAmbient(member, &value);
    if (FAILED(hr))
        return hr;
    if (result)
        *result = value;
    else
        ::VariantClear(&value);
    return S_OK;
}

// What a control may ask of the window it runs in: it always runs for a
// user, never shows design-time marks, and takes the window's colours and font.
HRESULT COleControlSite::GetAmbient(DISPID id, VARIANT* value)
{
    switch (id) {
    case DISPID_AMBIENT_USERMODE:
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_DISPLAYASDEFAULT:
    case DISPID_AMBIENT_MESSAGEREFLECT:
    case DISPID_AMBIENT_SUPPORTSMNEMONICS:
        value->vt = VT_BOOL;
        value->boolVal = id == DISPID_AMBIENT_USERMODE ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    case DISPID_AMBIENT_BACKCOLOR:
    case DISPID_AMBIENT_FORECOLOR:
        value->vt = VT_I4;
        value->lVal = static_cast<LONG>(::GetSysColor(id == DISPID_AMBIENT_BACKCOLOR ? COLOR_WINDOW
                                                                                   : COLOR_WINDOWTEXT));
        return S_OK;
    case DISPID_AMBIENT_LOCALEID:
        value->vt = VT_I4;
        value->lVal = static_cast<LONG>(::GetUserDefaultLCID());
        return S_OK;
    case DISPID_AMBIENT_APPEARANCE:
        value->vt = VT_I2;
        value->iVal = 0;       // flat
        return S_OK;
    case DISPID_AMBIENT_FONT:
        return AmbientFont(m_hWndParent, value);
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

//--- the frame

STDMETHODIMP COleControlSite::Frame::QueryInterface(REFIID riid, void** ppv)
{
    return AnswerAs(this,
                    IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleWindow) ||
                        IsEqualIID(riid, IID_IOleInPlaceUIWindow) || IsEqualIID(riid, IID_IOleInPlaceFrame),
                    ppv);
}

STDMETHODIMP COleControlSite::Frame::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = ::GetAncestor(m_pSite->m_hWndParent, GA_ROOT);
    return S_OK;
}

//--- the event sink

STDMETHODIMP COleControlSite::EventSink::QueryInterface(REFIID riid, void** ppv)
{
    return AnswerAs(this, IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, m_iid),
                    ppv);
}

// An event nobody maps is no error of the control's.
STDMETHODIMP COleControlSite::EventSink::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params,
                                                VARIANT* result, EXCEPINFO*, UINT*)
{
    if (result)
        ::VariantInit(result);
    CWnd* pParent = CWnd::FromHandlePermanent(m_pSite->m_hWndParent);
    if (!pParent)
        return S_OK;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    try {
        HRESULT hr = pParent->OnEvent(m_pSite->m_nID, member, params ? params : &none);
        return FAILED(hr) ? hr : S_OK;
    } catch (...) {
        AfxReportUncaughtException();
        return DISP_E_EXCEPTION;
    }
}
