// The kit's test server, loaded from its file as a client's COM runtime
// loads an in-process server, and one object of its control class.
#pragma once
#include <gtest/gtest.h>

#include "KitTestServer.h"
#include "KitTestServerIds.h"
#include "QuiComTesting.h"

class KitFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(m_apartment.Result());
        ASSERT_TRUE(m_server.Loaded());
        ASSERT_HRESULT_SUCCEEDED(m_server.Create(CLSID_KitTest, IID_IKitTest, m_kit.OutVoid()));
        ASSERT_HRESULT_SUCCEEDED(m_kit->QueryInterface(IID_IDispatch, m_dispatch.OutVoid()));
    }

    QuiComTesting::Apartment m_apartment;
    QuiComTesting::ServerLibrary m_server{(QuiComTesting::ProgramFolder() + "QuiKitTestServer.dll").c_str()};
    QuiComTesting::Ptr<IKitTest> m_kit;
    QuiComTesting::Ptr<IDispatch> m_dispatch;
};
