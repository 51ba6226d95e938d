// A record object of another make for tests of late-bound readers: it numbers
// its property names its own way and answers property reads only. Strict: a
// call a reader of properties must not make fails the test and says which.
#pragma once
#include <gtest/gtest.h>

#include "QuiStackDispatch.h"

#include <windows.h>
#include <oleauto.h>

#include <cwchar>
#include <utility>
#include <vector>

namespace QuiComTesting {

class FakeDispatch : public StackDispatch {
public:
    // A number reads as VT_I4, a text as VT_BSTR.
    struct Property {
        Property(const wchar_t* name, DISPID id, long number) : name(name), id(id), vt(VT_I4), number(number) {}
        Property(const wchar_t* name, DISPID id, const wchar_t* text) : name(name), id(id), vt(VT_BSTR), text(text) {}

        const wchar_t* name;
        DISPID id;
        VARTYPE vt;
        long number = 0;
        const wchar_t* text = nullptr;
    };
    explicit FakeDispatch(std::vector<Property> properties) : m_properties(std::move(properties)) {}

    STDMETHODIMP GetTypeInfoCount(UINT*) override
    {
        ADD_FAILURE() << "GetTypeInfoCount";
        return E_NOTIMPL;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override
    {
        ADD_FAILURE() << "GetTypeInfo";
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override
    {
        EXPECT_TRUE(IsEqualIID(riid, IID_NULL)) << "GetIDsOfNames";
        EXPECT_EQ(1u, count) << "GetIDsOfNames";
        EXPECT_EQ(static_cast<LCID>(LOCALE_SYSTEM_DEFAULT), lcid) << "GetIDsOfNames";
        ++m_lookups;
        for (const Property& property : m_properties) {
            if (wcscmp(property.name, names[0]) == 0) {
                ids[0] = property.id;
                return S_OK;
            }
        }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* error, UINT* argErr) override
    {
        SCOPED_TRACE(testing::Message() << "Invoke of DISPID " << id);
        EXPECT_TRUE(IsEqualIID(riid, IID_NULL));
        EXPECT_EQ(static_cast<LCID>(LOCALE_USER_DEFAULT), lcid);
        EXPECT_EQ(DISPATCH_PROPERTYGET, flags);
        EXPECT_EQ(0u, params->cArgs);
        EXPECT_EQ(nullptr, error);
        EXPECT_EQ(nullptr, argErr);
        EXPECT_EQ(VT_EMPTY, V_VT(result)) << "a read starts from a cleared VARIANT";
        for (const Property& property : m_properties) {
            if (property.id != id)
                continue;
            V_VT(result) = property.vt;
            if (property.vt == VT_BSTR)
                V_BSTR(result) = SysAllocString(property.text);
            else
                V_I4(result) = property.number;
            return S_OK;
        }
        if (m_scribbleOnFailure) {
            V_VT(result) = VT_I4;
            V_I4(result) = 666;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    int Lookups() const { return m_lookups; }
    // A failed read leaves a value behind, as some objects do.
    void ScribbleOnFailure() { m_scribbleOnFailure = true; }

private:
    std::vector<Property> m_properties;
    int m_lookups = 0;
    bool m_scribbleOnFailure = false;
};

}  // namespace QuiComTesting
