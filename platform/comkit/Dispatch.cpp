#include "QuiDispatch.h"

#include "QuiComModule.h"

namespace QuiDispatch {

HRESULT GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT GetTypeInfo(REFIID dispIid, UINT index, ITypeInfo** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    return QuiModule().GetTypeInfo(dispIid, out);
}

// Late-bound callers name no interface: IID_NULL is the only one answered.
static HRESULT TypeInfoFor(REFIID dispIid, REFIID riid, ITypeInfo** info)
{
    if (!IsEqualIID(riid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    return QuiModule().GetTypeInfo(dispIid, info);
}

HRESULT GetIDsOfNames(REFIID dispIid, REFIID riid, LPOLESTR* names, UINT count, DISPID* ids)
{
    ITypeInfo* info = nullptr;
    HRESULT hr = TypeInfoFor(dispIid, riid, &info);
    if (FAILED(hr))
        return hr;
    hr = info->GetIDsOfNames(names, count, ids);
    info->Release();
    return hr;
}

HRESULT Invoke(REFIID dispIid, void* self, DISPID member, REFIID riid, WORD flags, DISPPARAMS* params,
               VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr)
{
    ITypeInfo* info = nullptr;
    HRESULT hr = TypeInfoFor(dispIid, riid, &info);
    if (FAILED(hr))
        return hr;
    // A member that fails without error information of its own must not
    // hand the caller a text left over from an earlier call.
    SetErrorInfo(0, nullptr);
    hr = info->Invoke(self, member, flags, params, result, excepInfo, argErr);
    info->Release();
    return hr;
}

}  // namespace QuiDispatch
