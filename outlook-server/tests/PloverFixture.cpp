#include "PloverFixture.h"

using QuiComTesting::Variant;

void PloverTest::SetUp()
{
    ASSERT_HRESULT_SUCCEEDED(m_apartment.Result());
    ASSERT_TRUE(m_godwit.Loaded());
    ASSERT_TRUE(m_server.Loaded());
    ASSERT_EQ(S_OK, m_godwit.Register());
    ASSERT_EQ(S_OK, m_server.Register());
    CLSID clsid;
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"" PLOVER_PROGID, &clsid));
    ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, m_plover.OutVoid()));
}

void PloverTest::TearDown()
{
    m_plover.Reset();
    m_server.Unregister();
    m_godwit.Unregister();
}

HRESULT PloverTest::Connect()
{
    Variant zero(0L);
    return Call(DISPID_PLOVER_CONNECT, {&zero});
}

HRESULT PloverTest::File(IDispatch* record)
{
    Variant argument;
    argument.vt = VT_DISPATCH;
    argument.pdispVal = record;
    if (record)
        record->AddRef();
    // As the main program's wrapper calls it: no result asked.
    return QuiComTesting::CallMethod(m_plover.Get(), DISPID_PLOVER_FILEKEYNOTE, {&argument}, nullptr);
}

HRESULT PloverTest::Get(DISPID id, VARIANT* value)
{
    return QuiComTesting::GetProperty(m_plover.Get(), id, value);
}

HRESULT PloverTest::Call(DISPID id, std::initializer_list<const VARIANT*> args)
{
    Variant result;
    return QuiComTesting::CallMethod(m_plover.Get(), id, args, &result);
}

std::string PloverTest::AttachableFile()
{
    return QuiComTesting::ProgramFolder() + "Plover.dll";
}
