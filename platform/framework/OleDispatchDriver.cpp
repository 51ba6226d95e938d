#include "quifw/OleDispatchDriver.h"

#include <vector>

#include <oleauto.h>

#include "OleText.h"

namespace {

bool IsArgumentType(int vt)
{
    switch (vt) {
    case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_DATE: case VT_BSTR:
    case VT_DISPATCH: case VT_ERROR: case VT_BOOL: case VT_VARIANT: case VT_UNKNOWN: case VT_UI1:
        return true;
    default:
        return false;
    }
}

// The arguments of one call, last first as IDispatch wants them. Only the
// texts made here from ANSI arguments are freed afterwards; everything else
// (interfaces, variants, what by-reference arguments point to) stays the
// caller's.
class CallArguments {
public:
    CallArguments(const BYTE* pbParamInfo, va_list& argList)
    {
        try {
            for (const BYTE* code = pbParamInfo; code && *code; ++code)
                m_args.insert(m_args.begin(), Next(*code, argList));
        } catch (...) {
            FreeTexts();
            throw;
        }
    }
    ~CallArguments() { FreeTexts(); }
    CallArguments(const CallArguments&) = delete;
    CallArguments& operator=(const CallArguments&) = delete;

    VARIANT* Data() { return m_args.empty() ? nullptr : m_args.data(); }
    UINT Count() const { return static_cast<UINT>(m_args.size()); }

private:
    VARIANT Next(BYTE code, va_list& argList)
    {
        VARIANT arg;
        ::VariantInit(&arg);
        if (code & VTS_BYREF) {
            if (!IsArgumentType(code & ~VTS_BYREF))
                AfxThrowOleException(DISP_E_BADVARTYPE);
            // Every by-reference member of the union is a pointer of one size.
            arg.vt = static_cast<VARTYPE>((code & ~VTS_BYREF) | VT_BYREF);
            arg.byref = va_arg(argList, void*);
            return arg;
        }
        switch (code) {
        case VT_I2: arg.iVal = static_cast<SHORT>(va_arg(argList, int)); break;
        case VT_I4: arg.lVal = va_arg(argList, long); break;
        case VT_R4: arg.fltVal = static_cast<float>(va_arg(argList, double)); break;
        case VT_R8: arg.dblVal = va_arg(argList, double); break;
        case VT_CY: arg.cyVal = va_arg(argList, CY); break;
        case VT_DATE: arg.date = va_arg(argList, DATE); break;
        case VT_BSTR:
            arg.bstrVal = CString(va_arg(argList, LPCSTR)).AllocSysString();
            if (!arg.bstrVal)
                AfxThrowOleException(E_OUTOFMEMORY);
            m_texts.push_back(arg.bstrVal);
            break;
        case VT_DISPATCH: arg.pdispVal = va_arg(argList, LPDISPATCH); break;
        case VT_ERROR: arg.scode = va_arg(argList, SCODE); break;
        case VT_BOOL: arg.boolVal = va_arg(argList, BOOL) ? VARIANT_TRUE : VARIANT_FALSE; break;
        case VT_VARIANT: {
            const VARIANT* pValue = va_arg(argList, const VARIANT*);
            if (!pValue)
                AfxThrowOleException(E_POINTER);
            return *pValue;
        }
        case VT_UNKNOWN: arg.punkVal = va_arg(argList, LPUNKNOWN); break;
        case VT_UI1: arg.bVal = static_cast<BYTE>(va_arg(argList, int)); break;
        default: AfxThrowOleException(DISP_E_BADVARTYPE);
        }
        arg.vt = code;
        return arg;
    }

    void FreeTexts()
    {
        for (BSTR text : m_texts)
            ::SysFreeString(text);
        m_texts.clear();
    }

    std::vector<VARIANT> m_args;
    std::vector<BSTR> m_texts;
};

// What the server put into EXCEPINFO, freed whatever happens next.
class ServerError : public EXCEPINFO {
public:
    ServerError() : EXCEPINFO() {}
    ~ServerError()
    {
        ::SysFreeString(bstrSource);
        ::SysFreeString(bstrDescription);
        ::SysFreeString(bstrHelpFile);
    }
    ServerError(const ServerError&) = delete;
    ServerError& operator=(const ServerError&) = delete;

    [[noreturn]] void Throw()
    {
        // A server may leave the texts to be filled in only when asked.
        if (pfnDeferredFillIn)
            pfnDeferredFillIn(this);
        throw new COleDispatchException(*this);
    }
};

// Stores the converted result where the caller asked for it; the caller
// owns anything counted that is stored.
void StoreResult(VARIANT& result, VARTYPE vtRet, void* pvRet)
{
    switch (vtRet) {
    case VT_I2: *static_cast<short*>(pvRet) = result.iVal; break;
    case VT_I4: *static_cast<long*>(pvRet) = result.lVal; break;
    case VT_R4: *static_cast<float*>(pvRet) = result.fltVal; break;
    case VT_R8: *static_cast<double*>(pvRet) = result.dblVal; break;
    case VT_CY: *static_cast<CY*>(pvRet) = result.cyVal; break;
    case VT_DATE: *static_cast<DATE*>(pvRet) = result.date; break;
    case VT_BSTR: *static_cast<CString*>(pvRet) = AfxNarrowBstr(result.bstrVal); return;
    case VT_DISPATCH: *static_cast<LPDISPATCH*>(pvRet) = result.pdispVal; break;
    case VT_ERROR: *static_cast<SCODE*>(pvRet) = result.scode; break;
    case VT_BOOL: *static_cast<BOOL*>(pvRet) = result.boolVal != VARIANT_FALSE; break;
    case VT_VARIANT: *static_cast<VARIANT*>(pvRet) = result; break;
    case VT_UNKNOWN: *static_cast<LPUNKNOWN*>(pvRet) = result.punkVal; break;
    case VT_UI1: *static_cast<BYTE*>(pvRet) = result.bVal; break;
    }
    ::VariantInit(&result);                // handed over
}

} // namespace

//--- holding the object

COleDispatchDriver::COleDispatchDriver(LPDISPATCH lpDispatch, BOOL bAutoRelease)
    : m_lpDispatch(lpDispatch), m_bAutoRelease(bAutoRelease)
{
}

COleDispatchDriver::COleDispatchDriver(const COleDispatchDriver& dispatchSrc)
    : m_lpDispatch(dispatchSrc.m_lpDispatch), m_bAutoRelease(TRUE)
{
    if (m_lpDispatch)
        m_lpDispatch->AddRef();
}

COleDispatchDriver& COleDispatchDriver::operator=(const COleDispatchDriver& dispatchSrc)
{
    LPDISPATCH lpDispatch = dispatchSrc.m_lpDispatch;
    if (lpDispatch)
        lpDispatch->AddRef();              // before ours goes: it may be the same object
    AttachDispatch(lpDispatch, TRUE);
    return *this;
}

BOOL COleDispatchDriver::CreateDispatch(REFCLSID clsid, COleException* pError)
{
    LPUNKNOWN lpUnknown = nullptr;
    HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                    reinterpret_cast<void**>(&lpUnknown));
    LPDISPATCH lpDispatch = nullptr;
    if (SUCCEEDED(hr)) {
        // A local server's object must be running before it is called.
        hr = ::OleRun(lpUnknown);
        if (SUCCEEDED(hr))
            hr = lpUnknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&lpDispatch));
        lpUnknown->Release();
    }
    if (FAILED(hr)) {
        if (pError)
            pError->m_sc = hr;
        return FALSE;
    }
    AttachDispatch(lpDispatch, TRUE);
    return TRUE;
}

BOOL COleDispatchDriver::CreateDispatch(LPCTSTR lpszProgID, COleException* pError)
{
    CLSID clsid = CLSID_NULL;
    BSTR progId = CString(lpszProgID).AllocSysString();
    HRESULT hr = progId ? ::CLSIDFromProgID(progId, &clsid) : E_OUTOFMEMORY;
    ::SysFreeString(progId);
    if (FAILED(hr)) {
        if (pError)
            pError->m_sc = hr;
        return FALSE;
    }
    return CreateDispatch(clsid, pError);
}

void COleDispatchDriver::AttachDispatch(LPDISPATCH lpDispatch, BOOL bAutoRelease)
{
    ReleaseDispatch();
    m_lpDispatch = lpDispatch;
    m_bAutoRelease = bAutoRelease;
}

void COleDispatchDriver::ReleaseDispatch()
{
    LPDISPATCH lpDispatch = m_lpDispatch;
    m_lpDispatch = nullptr;
    // Cleared first: the object's last release may call back into its holder.
    if (lpDispatch && m_bAutoRelease)
        lpDispatch->Release();
}

LPDISPATCH COleDispatchDriver::DetachDispatch()
{
    LPDISPATCH lpDispatch = m_lpDispatch;
    m_lpDispatch = nullptr;
    return lpDispatch;
}

//--- calls

void COleDispatchDriver::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                      const BYTE* pbParamInfo, ...) const
{
    va_list argList;
    va_start(argList, pbParamInfo);
    try {
        InvokeHelperV(dwDispID, wFlags, vtRet, pvRet, pbParamInfo, argList);
    } catch (...) {
        va_end(argList);
        throw;
    }
    va_end(argList);
}

void COleDispatchDriver::InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                       const BYTE* pbParamInfo, va_list argList) const
{
    if (!m_lpDispatch)
        AfxThrowOleException(OLE_E_BLANK);
    if (vtRet != VT_EMPTY && !IsArgumentType(vtRet))
        AfxThrowOleException(DISP_E_BADVARTYPE);

    va_list args;
    va_copy(args, argList);
    CallArguments arguments(pbParamInfo, args);
    va_end(args);

    DISPPARAMS params = {arguments.Data(), nullptr, arguments.Count(), 0};
    DISPID named = DISPID_PROPERTYPUT;
    if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        // The value put is the last argument, which IDispatch sees first.
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }

    VARIANT result;
    ::VariantInit(&result);
    ServerError error;
    UINT argErr = 0;
    HRESULT hr = m_lpDispatch->Invoke(dwDispID, IID_NULL, LOCALE_USER_DEFAULT, wFlags, &params,
                                      vtRet == VT_EMPTY ? nullptr : &result, &error, &argErr);
    if (hr == DISP_E_EXCEPTION) {
        ::VariantClear(&result);
        error.Throw();
    }
    if (FAILED(hr)) {
        ::VariantClear(&result);
        AfxThrowOleException(hr);
    }
    if (vtRet == VT_EMPTY)
        return;
    if (vtRet != VT_VARIANT && result.vt != vtRet) {
        hr = ::VariantChangeType(&result, &result, 0, vtRet);
        if (FAILED(hr)) {
            ::VariantClear(&result);
            AfxThrowOleException(hr);
        }
    }
    if (pvRet)
        StoreResult(result, vtRet, pvRet);
    ::VariantClear(&result);
}

void COleDispatchDriver::GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) const
{
    InvokeHelper(dwDispID, DISPATCH_PROPERTYGET, vtProp, pvProp, nullptr);
}

void COleDispatchDriver::SetProperty(DISPID dwDispID, VARTYPE vtProp, ...) const
{
    va_list argList;
    va_start(argList, vtProp);
    try {
        SetPropertyV(dwDispID, vtProp, argList);
    } catch (...) {
        va_end(argList);
        throw;
    }
    va_end(argList);
}

void COleDispatchDriver::SetPropertyV(DISPID dwDispID, VARTYPE vtProp, va_list argList) const
{
    if (!IsArgumentType(vtProp))
        AfxThrowOleException(DISP_E_BADVARTYPE);
    const BYTE params[] = {static_cast<BYTE>(vtProp), 0};
    InvokeHelperV(dwDispID, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, params, argList);
}
