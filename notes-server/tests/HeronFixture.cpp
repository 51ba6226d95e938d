#include "HeronFixture.h"

#include "GodwitRecordFiller.h"

#include <shlwapi.h>

#include "HeronOptions.h"
#include "VariantArray.h"

void HeronTest::SetUp()
{
    ASSERT_HRESULT_SUCCEEDED(m_apartment.Result());
    ASSERT_TRUE(m_server.Loaded());
    ASSERT_TRUE(m_godwit.Loaded());
    SHDeleteKeyA(HKEY_CURRENT_USER, HERON_OPTIONS_KEY);
    ASSERT_EQ(S_OK, m_godwit.Register());
    ASSERT_EQ(S_OK, m_server.Register());
}

void HeronTest::TearDown()
{
    m_heron.Reset();
    m_server.Unregister();
    m_godwit.Unregister();
    SHDeleteKeyA(HKEY_CURRENT_USER, HERON_OPTIONS_KEY);
}

void HeronTest::CreateInto(QuiComTesting::Ptr<IDispatch>* heron)
{
    CLSID clsid;
    EXPECT_EQ(S_OK, CLSIDFromProgID(L"" HERON_PROGID, &clsid));
    EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, heron->OutVoid()));
}

QuiComTesting::Ptr<IDispatch> HeronTest::CreateHeron()
{
    QuiComTesting::Ptr<IDispatch> heron;
    CreateInto(&heron);
    return heron;
}

IDispatch* HeronTest::Heron()
{
    if (!m_heron)
        CreateInto(&m_heron);
    return m_heron.Get();
}

QuiComTesting::Ptr<IDispatch> HeronTest::NewGodwitRecord()
{
    return GodwitTesting::NewRecord();
}

HRESULT HeronTest::Connect(IDispatch* heron)
{
    QuiComTesting::Variant zero(0L);
    return QuiComTesting::CallMethod(heron ? heron : Heron(), DISPID_HERON_CONNECT, {&zero});
}

HRESULT HeronTest::Get(DISPID id, VARIANT* value, IDispatch* heron)
{
    return QuiComTesting::GetProperty(heron ? heron : Heron(), id, value);
}

HRESULT HeronTest::Call(DISPID id, std::initializer_list<const VARIANT*> args, VARIANT* result)
{
    QuiComTesting::Variant ignored;
    return QuiComTesting::CallMethod(Heron(), id, args, result ? result : &ignored);
}

void HeronTest::SetTimeout(DWORD milliseconds)
{
    NotesStandInTesting::SetRegNumber(HKEY_CURRENT_USER, HERON_OPTIONS_KEY, "WaitForNotesTimeout", milliseconds);
}

std::string HeronTest::Texts(const VARIANT& value)
{
    if (!QuiIsStringArray(value))
        return "<not an array of strings>";
    BSTR joined = nullptr;
    if (FAILED(QuiJoinStringArray(value, L'|', &joined)))
        return "<unreadable>";
    std::string text = Narrow(joined);
    SysFreeString(joined);
    // Each element is followed by the bar: drop the last one.
    if (!text.empty())
        text.pop_back();
    return text;
}

std::string HeronTest::Narrow(const std::wstring& text)
{
    // In the ANSI code page, as the main program reads the server's texts.
    if (text.empty())
        return std::string();
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                           nullptr);
    std::string narrow(length, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &narrow[0], length, nullptr, nullptr);
    return narrow;
}
