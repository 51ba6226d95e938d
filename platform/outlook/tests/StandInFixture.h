// The stand-in registered with its application object and MAPI namespace
// at hand, for the stand-in's tests.
#pragma once
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "OutlookStandIn.h"
#include "OutlookStandInFixture.h"

namespace StandInTesting {

using OutlookStandInTesting::Build;
using OutlookStandInTesting::Installation;
using QuiComTesting::Bstr;
using QuiComTesting::Ptr;

inline VARIANT Missing()
{
    VARIANT value;
    V_VT(&value) = VT_ERROR;
    V_ERROR(&value) = DISP_E_PARAMNOTFOUND;
    return value;
}

inline VARIANT Flag(bool on)
{
    VARIANT value;
    V_VT(&value) = VT_BOOL;
    V_BOOL(&value) = on ? VARIANT_TRUE : VARIANT_FALSE;
    return value;
}

class StandIn : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(m_apartment.Result());
        CLSID clsid;
        ASSERT_EQ(S_OK, CLSIDFromProgID(L"Outlook.Application", &clsid));
        ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID__Application, m_app.OutVoid()));
        ASSERT_EQ(S_OK, m_app->GetNamespace(Bstr(L"MAPI"), m_space.Out()));
    }

    template <class Item>
    void Create(OlItemType type, REFIID iid, Ptr<Item>* item)
    {
        Ptr<IDispatch> created;
        ASSERT_EQ(S_OK, m_app->CreateItem(type, created.Out()));
        ASSERT_EQ(S_OK, created->QueryInterface(iid, item->OutVoid()));
    }

    // The default profile (an empty name), no password, no new session.
    HRESULT Logon(bool showDialog)
    {
        Bstr defaultProfile(L"");
        VARIANT profile;
        V_VT(&profile) = VT_BSTR;
        V_BSTR(&profile) = defaultProfile;
        return m_space->Logon(profile, Missing(), Flag(showDialog), Flag(false));
    }

    static std::wstring ErrorText()
    {
        QuiComTesting::ErrorRecord error = QuiComTesting::LastError();
        return error.present ? error.description : L"<none>";
    }

    QuiComTesting::Apartment m_apartment;
    Installation m_outlook{Build::Outlook90};
    Ptr<_Application> m_app;
    Ptr<_NameSpace> m_space;
};

}  // namespace StandInTesting
