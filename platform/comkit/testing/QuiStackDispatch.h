// The IUnknown half of an IDispatch that a test keeps on its stack: the
// reference count only tells who still holds the object, it never frees it.
#pragma once
#include <windows.h>
#include <oaidl.h>

namespace QuiComTesting {

class StackDispatch : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override { return --m_refs; }

    ULONG Refs() const { return m_refs; }

private:
    ULONG m_refs = 1;
};

}  // namespace QuiComTesting
