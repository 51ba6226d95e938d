#include "PloverFixture.h"

using QuiComTesting::Variant;

GodwitRecord::GodwitRecord()
{
    CLSID clsid;
    EXPECT_EQ(S_OK, CLSIDFromProgID(L"Godwit.GodwitCtrl.1", &clsid));
    EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, m_record.OutVoid()));
}

void GodwitRecord::Put(DISPID id, const VARIANT& value)
{
    ASSERT_TRUE(m_record);
    EXPECT_EQ(S_OK, QuiComTesting::PutProperty(m_record.Get(), id, value)) << "DISPID " << id;
}

GodwitRecord& GodwitRecord::Type(long bits)
{
    Variant bit(bits);
    EXPECT_EQ(S_OK, QuiComTesting::CallMethod(m_record.Get(), DISPID_GODWIT_ADDTYPEBIT, {&bit}));
    return *this;
}

GodwitRecord& GodwitRecord::SubType(long bits)
{
    Variant bit(bits);
    EXPECT_EQ(S_OK, QuiComTesting::CallMethod(m_record.Get(), DISPID_GODWIT_ADDSUBTYPEBIT, {&bit}));
    return *this;
}

GodwitRecord& GodwitRecord::Text(DISPID id, const wchar_t* text)
{
    Put(id, Variant(text));
    return *this;
}

GodwitRecord& GodwitRecord::Short(DISPID id, short value)
{
    Variant number;
    number.vt = VT_I2;
    number.iVal = value;
    Put(id, number);
    return *this;
}

GodwitRecord& GodwitRecord::Date(DISPID id, DATE value)
{
    Variant date;
    date.vt = VT_DATE;
    date.date = value;
    Put(id, date);
    return *this;
}

GodwitRecord& GodwitRecord::Texts(DISPID id, std::initializer_list<const wchar_t*> texts)
{
    Variant list;
    list.vt = VT_ARRAY | VT_BSTR;
    list.parray = QuiComTesting::TextArray(texts);
    Put(id, list);
    return *this;
}

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
