#include <string>

#include "KitFixture.h"

using QuiComTesting::Bstr;
using QuiComTesting::CallMethod;
using QuiComTesting::ExcepInfo;
using QuiComTesting::GetProperty;
using QuiComTesting::IdOfName;
using QuiComTesting::Ptr;
using QuiComTesting::PutProperty;
using QuiComTesting::Variant;

namespace {

std::wstring Text(BSTR text)
{
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

}  // namespace

TEST_F(KitFixture, NamesResolveThroughTheTypeLibrary)
{
    struct Row {
        const wchar_t* name;
        DISPID expected;
    } rows[] = {
        {L"Text", 1}, {L"TEXT", 1}, {L"Fail", 2}, {L"FailFromTable", 3}, {L"Raise", 4},
        {L"Add", 5}, {L"FailQuietly", 6}, {L"When", 7}, {L"Raised", DISPID_UNKNOWN}, {L"Nothing", DISPID_UNKNOWN},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.name)));
        EXPECT_EQ(row.expected, IdOfName(m_dispatch.Get(), row.name));
    }
}

TEST_F(KitFixture, GetIDsOfNamesWantsNullInterface)
{
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Text")};
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, m_dispatch->GetIDsOfNames(IID_IKitTest, names, 1, 0, &id));
    EXPECT_EQ(DISP_E_UNKNOWNNAME,
              (names[0] = const_cast<LPOLESTR>(L"Nothing"), m_dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id)));
}

TEST_F(KitFixture, TypeInfoDescribesTheDualInterface)
{
    UINT count = 0;
    ASSERT_HRESULT_SUCCEEDED(m_dispatch->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    Ptr<ITypeInfo> info;
    ASSERT_HRESULT_SUCCEEDED(m_dispatch->GetTypeInfo(0, 0, info.Out()));
    TYPEATTR* attr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(attr->guid, IID_IKitTest));
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
    info->ReleaseTypeAttr(attr);
    EXPECT_EQ(DISP_E_BADINDEX, m_dispatch->GetTypeInfo(1, 0, info.Out()));
}

TEST_F(KitFixture, InvokeCoercesArgumentsToTheDeclaredTypes)
{
    struct Row {
        VARTYPE vt;
        const wchar_t* text;
        long number;
        HRESULT expected;
        long sum;
    } rows[] = {
        {VT_I4, nullptr, 40, S_OK, 42},
        {VT_I2, nullptr, -3, S_OK, -1},
        {VT_BSTR, L"7", 0, S_OK, 9},
        {VT_R8, nullptr, 0, S_OK, 2},
        {VT_BSTR, L"seven", 0, DISP_E_TYPEMISMATCH, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        Variant a;
        a.vt = row.vt;
        if (row.vt == VT_BSTR)
            a.bstrVal = SysAllocString(row.text);
        else if (row.vt == VT_I2)
            a.iVal = static_cast<SHORT>(row.number);
        else if (row.vt == VT_R8)
            a.dblVal = 0.4;
        else
            a.lVal = row.number;
        Variant two(2L), sum;
        EXPECT_EQ(row.expected, CallMethod(m_dispatch.Get(), 5, {&a, &two}, &sum));
        if (row.expected == S_OK) {
            EXPECT_EQ(VT_I4, sum.vt);
            EXPECT_EQ(row.sum, sum.lVal);
        }
    }
}

TEST_F(KitFixture, PropertiesRoundTripThroughInvoke)
{
    Variant text(L"hello"), back;
    ASSERT_HRESULT_SUCCEEDED(PutProperty(m_dispatch.Get(), 1, text));
    ASSERT_HRESULT_SUCCEEDED(GetProperty(m_dispatch.Get(), 1, &back));
    ASSERT_EQ(VT_BSTR, back.vt);
    EXPECT_EQ(L"hello", Text(back.bstrVal));
}

TEST_F(KitFixture, InvokeRefusesWhatTheInterfaceDoesNotHave)
{
    struct Row {
        DISPID id;
        WORD flags;
        UINT args;
        HRESULT expected;
    } rows[] = {
        {99, DISPATCH_METHOD, 0, DISP_E_MEMBERNOTFOUND},
        {99, DISPATCH_PROPERTYGET, 0, DISP_E_MEMBERNOTFOUND},
        {5, DISPATCH_METHOD, 1, DISP_E_BADPARAMCOUNT},
        {5, DISPATCH_METHOD, 3, DISP_E_BADPARAMCOUNT},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        VARIANT args[3];
        for (VARIANT& arg : args) {
            VariantInit(&arg);
            arg.vt = VT_I4;
            arg.lVal = 1;
        }
        DISPPARAMS params = {args, nullptr, row.args, 0};
        Variant result;
        EXPECT_EQ(row.expected, m_dispatch->Invoke(row.id, IID_NULL, 0, row.flags, &params, &result, nullptr,
                                                   nullptr));
    }
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
              m_dispatch->Invoke(1, IID_IKitTest, 0, DISPATCH_PROPERTYGET, &none, nullptr, nullptr, nullptr));
}

TEST_F(KitFixture, FailuresReachLateBoundCallersWithTheServersText)
{
    struct Row {
        DISPID id;
        const wchar_t* text;
        long number;
        HRESULT code;
        const wchar_t* description;
        DWORD helpContext;
    } rows[] = {
        {2, L"Disk on fire", 42, E_FAIL, L"Disk on fire", 42},
        {2, L"", -36, E_FAIL, L"", static_cast<DWORD>(-36)},
        {3, nullptr, IDS_TABLE_FAILURE, KITTEST_TABLE_FAILURE_CODE, L"The table's own failure text", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        Variant first, second(row.number);
        if (row.text) {
            first.vt = VT_BSTR;
            first.bstrVal = SysAllocString(row.text);
        }
        ExcepInfo error;
        HRESULT hr = row.text ? CallMethod(m_dispatch.Get(), row.id, {&first, &second}, nullptr, &error)
                              : CallMethod(m_dispatch.Get(), row.id, {&second}, nullptr, &error);
        EXPECT_EQ(DISP_E_EXCEPTION, hr);
        EXPECT_EQ(row.code, error.scode);
        EXPECT_EQ(row.description, Text(error.bstrDescription));
        EXPECT_EQ(row.helpContext, error.dwHelpContext);
    }
}

TEST_F(KitFixture, ErrorObjectNamesTheFailingInterface)
{
    EXPECT_EQ(E_FAIL, m_kit->Fail(Bstr(L"Early-bound failure"), 7));

    QuiComTesting::ErrorRecord error = QuiComTesting::LastError();
    ASSERT_TRUE(error.present);
    EXPECT_TRUE(IsEqualGUID(IID_IKitTest, error.guid));
    EXPECT_EQ(L"Early-bound failure", error.description);
    EXPECT_EQ(7u, error.helpContext);

    Ptr<ISupportErrorInfo> support;
    ASSERT_HRESULT_SUCCEEDED(m_kit->QueryInterface(IID_ISupportErrorInfo, support.OutVoid()));
    EXPECT_EQ(S_OK, support->InterfaceSupportsErrorInfo(IID_IKitTest));
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IDispatch));
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IUnknown));
}

TEST_F(KitFixture, QuietFailureCarriesNoStaleText)
{
    // An early-bound failure whose error object nobody collected.
    m_kit->Fail(Bstr(L"left over"), 1);

    ExcepInfo error;
    HRESULT hr = CallMethod(m_dispatch.Get(), 6, {}, nullptr, &error);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(L"", Text(error.bstrDescription));
}
