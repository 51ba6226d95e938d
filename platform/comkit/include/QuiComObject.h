// COM object base: a table of the interfaces a class answers to, and the
// final object that adds the reference count and keeps the module locked
// while it lives.
#pragma once
#include <windows.h>
#include <objbase.h>

#include <new>
#include <utility>

#include "QuiComModule.h"

// One row of a class's interface table: the IID and how to reach that
// interface from the object. A row without iid but with `chain` adds the
// table of a base class (`cast` then reaches that base). The table ends with
// an empty row; its first row also answers IUnknown.
struct QuiInterfaceEntry {
    const IID* iid;
    void* (*cast)(void* object);
    const QuiInterfaceEntry* chain;
};

template <class T, class I>
void* QuiCastTo(void* object)
{
    return static_cast<I*>(static_cast<T*>(object));
}

HRESULT QuiQueryInterface(void* object, const QuiInterfaceEntry* table, REFIID riid, void** ppv);

// Base of every server class: the hooks QuiComObject calls around creation.
// A class lists its interfaces in `static const QuiInterfaceEntry kInterfaces[]`.
class QuiObjectRoot {
public:
    // Second-stage construction that may fail; the object is released when
    // it does not answer S_OK.
    HRESULT FinalConstruct() { return S_OK; }

protected:
    QuiObjectRoot() = default;
    QuiObjectRoot(const QuiObjectRoot&) = delete;
    QuiObjectRoot& operator=(const QuiObjectRoot&) = delete;
};

template <class T>
class QuiComObject final : public T {
public:
    template <class... Args>
    explicit QuiComObject(Args&&... args) : T(std::forward<Args>(args)...)
    {
        QuiModule().Lock();
    }
    ~QuiComObject() { QuiModule().Unlock(); }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        return QuiQueryInterface(static_cast<T*>(this), T::kInterfaces, riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_refs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG left = InterlockedDecrement(&m_refs);
        if (left == 0)
            delete this;
        return left;
    }

    // Creates an object and keeps one counted pointer to it. Exceptions
    // never reach the caller: a throwing constructor gives E_OUTOFMEMORY,
    // a throwing FinalConstruct E_FAIL.
    template <class... Args>
    static HRESULT CreateObject(QuiComObject** out, Args&&... args)
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        QuiComObject* object = nullptr;
        try {
            object = new QuiComObject(std::forward<Args>(args)...);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        object->AddRef();
        HRESULT hr;
        try {
            hr = object->FinalConstruct();
        } catch (...) {
            hr = E_FAIL;
        }
        if (FAILED(hr)) {
            object->Release();
            return hr;
        }
        *out = object;
        return S_OK;
    }

    // The same, handing out the interface asked for.
    template <class... Args>
    static HRESULT CreateInstance(REFIID riid, void** ppv, Args&&... args)
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        QuiComObject* object = nullptr;
        HRESULT hr = CreateObject(&object, std::forward<Args>(args)...);
        if (FAILED(hr))
            return hr;
        hr = object->QueryInterface(riid, ppv);
        object->Release();
        return hr;
    }

private:
    LONG m_refs = 0;
};

// The creation function of a class table row.
template <class T>
HRESULT QuiCreate(REFIID riid, void** ppv)
{
    return QuiComObject<T>::CreateInstance(riid, ppv);
}
