// CWnd as the holder of a hosted control: creation, calls on the control's
// IDispatch, moves through its site, and the event sink map.
#include <cstring>
#include <vector>

#include "OleControlSite.h"
#include "OleText.h"

namespace {

bool g_bContainerEnabled = false;

const COleDispatchDriver& DriverOf(const COleControlSite* pSite)
{
    static const COleDispatchDriver none;
    return pSite ? pSite->Driver() : none;
}

// The event's arguments (last first, as IDispatch sends them) in the
// handler's order, each converted to its row's code; by-reference ones must
// come as that very type and stay the control's.
class EventArguments {
public:
    EventArguments(const char* codes, const DISPPARAMS& params) : m_count(std::strlen(codes)), m_args(m_count)
    {
        if (params.cArgs != m_count) {
            m_status = DISP_E_BADPARAMCOUNT;
            return;
        }
        for (size_t k = 0; k < m_count; ++k) {
            VARTYPE code = static_cast<BYTE>(codes[k]);
            VARIANT& source = params.rgvarg[m_count - 1 - k];
            VARIANT& arg = m_args[k];
            ::VariantInit(&arg);
            if ((code & VTS_BYREF) || code == VT_VARIANT) {
                arg = source;              // shallow: not ours to clear
                continue;
            }
            m_owned.push_back(&arg);
            if (FAILED(::VariantChangeType(&arg, &source, 0, code))) {
                m_status = DISP_E_TYPEMISMATCH;
                return;
            }
        }
    }
    ~EventArguments()
    {
        for (VARIANT* arg : m_owned)
            ::VariantClear(arg);
    }
    EventArguments(const EventArguments&) = delete;
    EventArguments& operator=(const EventArguments&) = delete;

    HRESULT Status() const { return m_status; }
    VARIANT* Data() { return m_args.data(); }

private:
    size_t m_count;
    std::vector<VARIANT> m_args;
    std::vector<VARIANT*> m_owned;
    HRESULT m_status = S_OK;
};

} // namespace

void AfxEnableControlContainer()
{
    g_bContainerEnabled = true;
}

//--- the handler's arguments

afxevent::Arg<LPCTSTR>::Arg(VARIANT& v) : ok(v.vt == VT_BSTR)
{
    if (ok)
        text = AfxNarrowBstr(v.bstrVal);
}

afxevent::Arg<int>::Arg(VARIANT& v) : ok(true), value(0)
{
    switch (v.vt) {
    case VT_BOOL: value = v.boolVal != VARIANT_FALSE; break;
    case VT_I4: value = v.lVal; break;
    case VT_I2: value = v.iVal; break;
    default: ok = false; break;
    }
}

afxevent::Arg<BOOL*>::Arg(VARIANT& v)
    : ok(v.vt == (VT_BOOL | VT_BYREF)), value(FALSE), target(ok ? v.pboolVal : nullptr)
{
    if (target)
        value = *target != VARIANT_FALSE;
}

afxevent::Arg<BOOL*>::~Arg()
{
    if (target)
        *target = value ? VARIANT_TRUE : VARIANT_FALSE;
}

//--- creation

BOOL CWnd::CreateControl(REFCLSID clsid, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID)
{
    if (!g_bContainerEnabled || m_hWnd || !pParentWnd || !::IsWindow(pParentWnd->m_hWnd))
        return FALSE;
    COleControlSite* pSite = nullptr;
    if (FAILED(COleControlSite::Create(clsid, pParentWnd->m_hWnd, rect, nID, &pSite)))
        return FALSE;
    HWND hWnd = pSite->GetControlWindow();
    if (!SubclassWindow(hWnd)) {
        pSite->CloseControl();
        pSite->Release();
        return FALSE;
    }
    m_pCtrlSite = pSite;
    ::SetWindowLongPtr(hWnd, GWLP_ID, static_cast<LONG_PTR>(nID));
    if (lpszWindowName && *lpszWindowName)
        ::SetWindowText(hWnd, lpszWindowName);
    ::EnableWindow(hWnd, !(dwStyle & WS_DISABLED));
    ::ShowWindow(hWnd, (dwStyle & WS_VISIBLE) ? SW_SHOWNA : SW_HIDE);
    return TRUE;
}

void CWnd::ReleaseControlSite()
{
    COleControlSite* pSite = m_pCtrlSite;
    m_pCtrlSite = nullptr;
    if (pSite) {
        pSite->CloseControl();
        pSite->Release();
    }
}

LPUNKNOWN CWnd::GetControlUnknown() const
{
    return m_pCtrlSite ? m_pCtrlSite->GetControlUnknown() : nullptr;
}

//--- calls

void CWnd::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo,
                        ...) const
{
    va_list argList;
    va_start(argList, pbParamInfo);
    try {
        DriverOf(m_pCtrlSite).InvokeHelperV(dwDispID, wFlags, vtRet, pvRet, pbParamInfo, argList);
    } catch (...) {
        va_end(argList);
        throw;
    }
    va_end(argList);
}

void CWnd::GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) const
{
    DriverOf(m_pCtrlSite).GetProperty(dwDispID, vtProp, pvProp);
}

void CWnd::SetProperty(DISPID dwDispID, VARTYPE vtProp, ...) const
{
    va_list argList;
    va_start(argList, vtProp);
    try {
        DriverOf(m_pCtrlSite).SetPropertyV(dwDispID, vtProp, argList);
    } catch (...) {
        va_end(argList);
        throw;
    }
    va_end(argList);
}

//--- events

const AFX_EVENTSINKMAP* CWnd::GetThisEventSinkMap()
{
    static const AFX_EVENTSINKMAP_ENTRY entries[] = {{0, 0, nullptr, nullptr}};
    static const AFX_EVENTSINKMAP map = {nullptr, entries};
    return &map;
}

const AFX_EVENTSINKMAP* CWnd::GetEventSinkMap() const
{
    return GetThisEventSinkMap();
}

HRESULT CWnd::OnEvent(UINT nCtrlID, DISPID dispid, DISPPARAMS* pParams)
{
    for (const AFX_EVENTSINKMAP* map = GetEventSinkMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_EVENTSINKMAP_ENTRY* e = map->lpEntries; e->pfnThunk; ++e) {
            if (e->nCtrlID != nCtrlID || e->dispid != dispid)
                continue;
            EventArguments args(e->pbParams, *pParams);
            if (FAILED(args.Status()))
                return args.Status();
            HRESULT hr = e->pfnThunk(this, args.Data());
            if (hr != S_FALSE)
                return hr;
        }
    }
    return S_FALSE;
}
