// IDispatch of a dual interface, implemented through the module's type
// library (resource 1): names, argument coercion and the call itself are the
// type library's, so the IDL is the one description of the interface.
#pragma once
#include <windows.h>
#include <oaidl.h>

namespace QuiDispatch {
HRESULT GetTypeInfoCount(UINT* count);
HRESULT GetTypeInfo(REFIID dispIid, UINT index, ITypeInfo** out);
HRESULT GetIDsOfNames(REFIID dispIid, REFIID riid, LPOLESTR* names, UINT count, DISPID* ids);
// `self` is the object's pointer of the dual interface `dispIid`.
HRESULT Invoke(REFIID dispIid, void* self, DISPID member, REFIID riid, WORD flags, DISPPARAMS* params,
               VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr);
}  // namespace QuiDispatch

// Derive from QuiDispatchImpl<IMyDual, &IID_IMyDual> instead of IMyDual.
template <class Iface, const IID* DispIid>
class QuiDispatchImpl : public Iface {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { return QuiDispatch::GetTypeInfoCount(count); }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override
    {
        return QuiDispatch::GetTypeInfo(*DispIid, index, out);
    }
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        return QuiDispatch::GetIDsOfNames(*DispIid, riid, names, count, ids);
    }
    STDMETHODIMP Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excepInfo, UINT* argErr) override
    {
        return QuiDispatch::Invoke(*DispIid, static_cast<Iface*>(this), member, riid, flags, params, result,
                                   excepInfo, argErr);
    }
};
