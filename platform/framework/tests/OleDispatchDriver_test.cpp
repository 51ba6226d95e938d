// The dispatch driver against a strict fake object: what each argument code
// sends, what each result type gives back, how failures are raised and who
// owns which reference.
#include <gtest/gtest.h>

#include <afxquill.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "OleTestSupport.h"

namespace {

const BYTE* Codes(const char* list)
{
    return reinterpret_cast<const BYTE*>(list);
}

// An object that records each call and answers as told. Anything but
// Invoke, AddRef, Release and QueryInterface fails the test.
class FakeDispatch : public IDispatch {
public:
    FakeDispatch()
    {
        VariantInit(&answerResult);
    }
    ~FakeDispatch() { VariantClear(&answerResult); }

    // How the next call ends.
    HRESULT answer = S_OK;
    VARIANT answerResult;
    WORD errorCode = 0;
    SCODE errorScode = 0;
    const wchar_t* errorSource = nullptr;
    const wchar_t* errorDescription = nullptr;
    DWORD errorHelpContext = 0;
    bool deferFillIn = false;

    // What the last call brought.
    int calls = 0;
    DISPID member = 0;
    WORD flags = 0;
    std::vector<std::string> args;        // as IDispatch sees them: last argument first
    std::vector<DISPID> named;
    bool resultAsked = false;
    LONG refs = 1;

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
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return Unexpected("GetTypeInfoCount"); }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return Unexpected("GetTypeInfo"); }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return Unexpected("GetIDsOfNames");
    }

    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD wFlags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* error, UINT*) override
    {
        EXPECT_TRUE(IsEqualIID(IID_NULL, riid));
        ++calls;
        member = id;
        flags = wFlags;
        args.clear();
        named.assign(params->rgdispidNamedArgs, params->rgdispidNamedArgs + params->cNamedArgs);
        for (UINT i = 0; i < params->cArgs; ++i)
            args.push_back(Record(params->rgvarg[i]));
        resultAsked = result != nullptr;
        if (result && answer == S_OK)
            VariantCopy(result, &answerResult);
        if (answer == DISP_E_EXCEPTION && error) {
            error->wCode = errorCode;
            error->scode = errorScode;
            error->dwHelpContext = errorHelpContext;
            error->bstrSource = errorSource ? SysAllocString(errorSource) : nullptr;
            if (deferFillIn)
                error->pfnDeferredFillIn = FillIn;
            else
                error->bstrDescription = errorDescription ? SysAllocString(errorDescription) : nullptr;
        }
        return answer;
    }

    std::string Joined() const
    {
        std::string all;
        for (const std::string& arg : args)
            all += (all.empty() ? "" : "|") + arg;
        return all;
    }

private:
    static HRESULT Unexpected(const char* what)
    {
        ADD_FAILURE() << "unexpected call of " << what;
        return E_NOTIMPL;
    }

    static HRESULT __stdcall FillIn(EXCEPINFO* error)
    {
        error->bstrDescription = SysAllocString(L"Filled in late");
        error->scode = E_ABORT;
        return S_OK;
    }

    // By-reference arguments are written through, to show that the
    // caller's own variable arrived.
    std::string Record(VARIANT& arg)
    {
        switch (arg.vt) {
        case VT_DISPATCH: return arg.pdispVal == this ? "DISPATCH self" : "DISPATCH other";
        case VT_UNKNOWN: return arg.punkVal ? "UNKNOWN" : "UNKNOWN null";
        case VT_NULL: return "NULL";
        case VT_I2 | VT_BYREF: *arg.piVal += 1; return "I2*";
        case VT_I4 | VT_BYREF: *arg.plVal += 1; return "I4*";
        case VT_BOOL | VT_BYREF: *arg.pboolVal = VARIANT_TRUE; return "BOOL*";
        case VT_BSTR | VT_BYREF:
            SysFreeString(*arg.pbstrVal);
            *arg.pbstrVal = SysAllocString(L"changed");
            return "BSTR*";
        case VT_VARIANT | VT_BYREF:
            VariantClear(arg.pvarVal);
            arg.pvarVal->vt = VT_I4;
            arg.pvarVal->lVal = 7;
            return "VARIANT*";
        case VT_DATE | VT_BYREF: *arg.pdate += 1.0; return "DATE*";
        default: return Describe(arg);
        }
    }
};

class DispatchDriver : public ::testing::Test {
protected:
    void TearDown() override
    {
        driver.ReleaseDispatch();
        EXPECT_EQ(1, fake.refs) << "every reference the driver took is given back";
    }

    FakeDispatch fake;
    COleDispatchDriver driver{&fake, FALSE};
};

} // namespace

TEST_F(DispatchDriver, EachArgumentCodeSendsItsType)
{
    static const char kText[] = "Gr\xFC\xDF" "e";
    FakeDispatch other;
    struct Row {
        const char* codes;
        std::function<void(COleDispatchDriver&, const BYTE*)> call;
        const char* sent;
    } rows[] = {
        {VTS_I2, [](COleDispatchDriver& d, const BYTE* p) { d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, static_cast<short>(-2)); }, "I2 -2"},
        {VTS_I4, [](COleDispatchDriver& d, const BYTE* p) { d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, 70000L); }, "I4 70000"},
        {VTS_R4, [](COleDispatchDriver& d, const BYTE* p) { d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, 1.5f); }, "R4 1.5"},
        {VTS_R8, [](COleDispatchDriver& d, const BYTE* p) { d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, -0.25); }, "R8 -0.25"},
        {VTS_CY, [](COleDispatchDriver& d, const BYTE* p) { CY cy; cy.int64 = 123456789012LL; d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, cy); }, "CY 123456789012"},
        {VTS_DATE, [](COleDispatchDriver& d, const BYTE* p) { d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, DATE(45296.5)); }, "DATE 45296.5"},
        {VTS_BSTR, [](COleDispatchDriver& d, const BYTE* p) { d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, kText); }, "BSTR Gr\xFC\xDF" "e"},
        {VTS_BSTR, [](COleDispatchDriver& d, const BYTE* p) { d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, static_cast<LPCSTR>(nullptr)); }, "BSTR "},
        {VTS_DISPATCH, [&other](COleDispatchDriver& d, const BYTE* p) { d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, static_cast<LPDISPATCH>(&other)); }, "DISPATCH other"},
        {VTS_SCODE, [](COleDispatchDriver& d, const BYTE* p) { d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, SCODE(DISP_E_PARAMNOTFOUND)); }, "ERROR 0x80020004"},
        {VTS_BOOL, [](COleDispatchDriver& d, const BYTE* p) { d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, TRUE); }, "BOOL -1"},
        {VTS_BOOL, [](COleDispatchDriver& d, const BYTE* p) { d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, 2); }, "BOOL -1"},
        {VTS_BOOL, [](COleDispatchDriver& d, const BYTE* p) { d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, FALSE); }, "BOOL 0"},
        {VTS_VARIANT, [](COleDispatchDriver& d, const BYTE* p) { COleVariant v("x"); d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, static_cast<const VARIANT*>(&v)); }, "BSTR x"},
        {VTS_VARIANT, [](COleDispatchDriver& d, const BYTE* p) { COleVariant v; v.vt = VT_NULL; d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, static_cast<const VARIANT*>(&v)); }, "NULL"},
        {VTS_UNKNOWN, [](COleDispatchDriver& d, const BYTE* p) { d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, static_cast<LPUNKNOWN>(nullptr)); }, "UNKNOWN null"},
        {VTS_UI1, [](COleDispatchDriver& d, const BYTE* p) { d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, BYTE(200)); }, "UI1 200"},
        {VTS_NONE, [](COleDispatchDriver& d, const BYTE* p) { d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p); }, ""},
        {VTS_BSTR VTS_I4 VTS_BOOL, [](COleDispatchDriver& d, const BYTE* p) { d.InvokeHelper(7, DISPATCH_METHOD, VT_EMPTY, nullptr, p, "a", 2L, TRUE); }, "BOOL -1|I4 2|BSTR a"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.sent);
        row.call(driver, Codes(row.codes));
        EXPECT_EQ(row.sent, fake.Joined());
        EXPECT_EQ(7, fake.member);
        EXPECT_EQ(DISPATCH_METHOD, fake.flags);
        EXPECT_TRUE(fake.named.empty());
        EXPECT_FALSE(fake.resultAsked) << "no result asked for VT_EMPTY";
    }
    EXPECT_EQ(1, other.refs) << "a dispatch argument is lent, not given";
}

TEST_F(DispatchDriver, ArgumentsByReferenceAreTheCallersOwn)
{
    short count = 1;
    long number = 41;
    VARIANT_BOOL flag = VARIANT_FALSE;
    BSTR text = SysAllocString(L"original");
    COleVariant any("replaced");
    DATE when = 45296.0;
    static const BYTE params[] = VTS_PI2 VTS_PI4 VTS_PBOOL VTS_PBSTR VTS_PVARIANT VTS_PDATE;
    driver.InvokeHelper(11, DISPATCH_METHOD, VT_EMPTY, nullptr, params, &count, &number, &flag, &text,
                        static_cast<VARIANT*>(&any), &when);
    EXPECT_EQ("DATE*|VARIANT*|BSTR*|BOOL*|I4*|I2*", fake.Joined());
    EXPECT_EQ(2, count);
    EXPECT_EQ(42, number);
    EXPECT_EQ(VARIANT_TRUE, flag);
    EXPECT_EQ("changed", Narrow(text)) << "the server's new text is the caller's to free";
    SysFreeString(text);
    EXPECT_EQ(VT_I4, any.vt);
    EXPECT_EQ(7, any.lVal);
    EXPECT_EQ(45297.0, when);
}

TEST_F(DispatchDriver, PropertyPutNamesItsValueAndGetAsksForAResult)
{
    driver.SetProperty(3, VT_BSTR, "Call the bank");
    EXPECT_EQ(DISPATCH_PROPERTYPUT, fake.flags);
    EXPECT_EQ(3, fake.member);
    EXPECT_EQ("BSTR Call the bank", fake.Joined());
    ASSERT_EQ(1u, fake.named.size());
    EXPECT_EQ(DISPID_PROPERTYPUT, fake.named[0]);
    EXPECT_FALSE(fake.resultAsked);

    COleVariant category("Work");
    driver.SetProperty(8, VT_VARIANT, static_cast<const VARIANT*>(&category));
    EXPECT_EQ("BSTR Work", fake.Joined());
    driver.SetProperty(10, VT_I2, static_cast<short>(3));
    EXPECT_EQ("I2 3", fake.Joined());

    static const BYTE index[] = VTS_I4 VTS_BOOL;
    driver.InvokeHelper(12, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, index, 5L, TRUE);
    EXPECT_EQ("BOOL -1|I4 5", fake.Joined()) << "the value last, named, after an index";
    ASSERT_EQ(1u, fake.named.size());

    fake.answerResult.vt = VT_I4;
    fake.answerResult.lVal = 16;
    long type = 0;
    driver.GetProperty(16, VT_I4, &type);
    EXPECT_EQ(DISPATCH_PROPERTYGET, fake.flags);
    EXPECT_TRUE(fake.args.empty());
    EXPECT_TRUE(fake.named.empty());
    EXPECT_TRUE(fake.resultAsked);
    EXPECT_EQ(16, type);
}

TEST_F(DispatchDriver, ResultsArriveConvertedToTheTypeAsked)
{
    struct Row {
        VARTYPE given;
        const wchar_t* text;
        double number;
        VARTYPE asked;
        std::string expected;   // or "throws <scode>"
    } rows[] = {
        {VT_I4, nullptr, 5, VT_BSTR, "5"},
        {VT_BSTR, L"12", 0, VT_I2, "12"},
        {VT_BSTR, L"12", 0, VT_I4, "12"},
        {VT_BOOL, nullptr, VARIANT_TRUE, VT_BOOL, "1"},
        {VT_I4, nullptr, 0, VT_BOOL, "0"},
        {VT_BSTR, L"1/5/2024", 0, VT_DATE, "45296"},
        {VT_DATE, nullptr, 45296.5, VT_R8, "45296.5"},
        {VT_I2, nullptr, 7, VT_UI1, "7"},
        {VT_BSTR, L"high", 0, VT_I4, "throws 0x80020005"},
        {VT_I4, nullptr, 70000, VT_I2, "throws 0x8002000A"},
        {VT_NULL, nullptr, 0, VT_I4, "throws 0x80020005"},
        {VT_EMPTY, nullptr, 0, VT_BSTR, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        VariantClear(&fake.answerResult);
        fake.answerResult.vt = row.given;
        switch (row.given) {
        case VT_BSTR: fake.answerResult.bstrVal = SysAllocString(row.text); break;
        case VT_I4: fake.answerResult.lVal = static_cast<LONG>(row.number); break;
        case VT_I2: fake.answerResult.iVal = static_cast<SHORT>(row.number); break;
        case VT_BOOL: fake.answerResult.boolVal = static_cast<VARIANT_BOOL>(row.number); break;
        case VT_DATE: fake.answerResult.date = row.number; break;
        }
        std::string got;
        try {
            switch (row.asked) {
            case VT_BSTR: { CString text("stale"); driver.GetProperty(1, VT_BSTR, &text); got = text.GetString(); break; }
            case VT_I2: { short value = -1; driver.GetProperty(1, VT_I2, &value); got = std::to_string(value); break; }
            case VT_I4: { long value = -1; driver.GetProperty(1, VT_I4, &value); got = std::to_string(value); break; }
            case VT_BOOL: { BOOL value = -1; driver.GetProperty(1, VT_BOOL, &value); got = std::to_string(value); break; }
            case VT_DATE: { DATE value = -1; driver.GetProperty(1, VT_DATE, &value); got = Number(value); break; }
            case VT_R8: { double value = -1; driver.GetProperty(1, VT_R8, &value); got = Number(value); break; }
            case VT_UI1: { BYTE value = 0; driver.GetProperty(1, VT_UI1, &value); got = std::to_string(value); break; }
            }
        } catch (COleException* e) {
            char text[32];
            snprintf(text, sizeof text, "throws 0x%08lX", static_cast<unsigned long>(e->m_sc));
            got = text;
            e->Delete();
        }
        EXPECT_EQ(row.expected, got);
    }
}

TEST_F(DispatchDriver, InterfaceAndVariantResultsBelongToTheCaller)
{
    FakeDispatch other;
    fake.answerResult.vt = VT_DISPATCH;
    fake.answerResult.pdispVal = &other;
    other.AddRef();                        // the fake's own result holds one
    LPDISPATCH got = nullptr;
    driver.InvokeHelper(5, DISPATCH_PROPERTYGET, VT_DISPATCH, &got, nullptr);
    EXPECT_EQ(&other, got);
    EXPECT_EQ(3, other.refs) << "one reference for the caller";
    got->Release();

    VARIANT any;
    driver.InvokeHelper(5, DISPATCH_PROPERTYGET, VT_VARIANT, &any, nullptr);
    EXPECT_EQ(VT_DISPATCH, any.vt);
    EXPECT_EQ(3, other.refs);
    VariantClear(&any);

    driver.InvokeHelper(5, DISPATCH_PROPERTYGET, VT_VARIANT, nullptr, nullptr);
    EXPECT_EQ(2, other.refs) << "a result nobody takes is released";
    VariantClear(&fake.answerResult);
    EXPECT_EQ(1, other.refs);
}

TEST_F(DispatchDriver, FailuresRaiseTheExceptionTheCatchSitesExpect)
{
    struct Row {
        HRESULT answer;
        WORD code;
        SCODE scode;
        const wchar_t* source;
        const wchar_t* description;
        DWORD helpContext;
        bool defer;
        // expected
        bool dispatchException;
        SCODE sc;
        const char* text;
    } rows[] = {
        {DISP_E_EXCEPTION, 0, (SCODE)0x80040200, L"Heron.Heron.1", L"Notes is not running", 42, false, true, (SCODE)0x80040200, "Notes is not running"},
        {DISP_E_EXCEPTION, 1001, 0, nullptr, L"Palm Desktop is busy", 0, false, true, 0, "Palm Desktop is busy"},
        {DISP_E_EXCEPTION, 0, E_FAIL, nullptr, nullptr, 0, true, true, E_ABORT, "Filled in late"},
        {DISP_E_EXCEPTION, 0, E_FAIL, nullptr, nullptr, 0, false, true, E_FAIL, ""},
        {DISP_E_MEMBERNOTFOUND, 0, 0, nullptr, nullptr, 0, false, false, DISP_E_MEMBERNOTFOUND, nullptr},
        {DISP_E_TYPEMISMATCH, 0, 0, nullptr, nullptr, 0, false, false, DISP_E_TYPEMISMATCH, nullptr},
        {E_FAIL, 0, 0, nullptr, nullptr, 0, false, false, E_FAIL, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        fake.answer = row.answer;
        fake.errorCode = row.code;
        fake.errorScode = row.scode;
        fake.errorSource = row.source;
        fake.errorDescription = row.description;
        fake.errorHelpContext = row.helpContext;
        fake.deferFillIn = row.defer;
        long result = 0;
        static const BYTE params[] = VTS_DISPATCH;
        try {
            driver.InvokeHelper(4, DISPATCH_METHOD, VT_I4, &result, params, static_cast<LPDISPATCH>(nullptr));
            ADD_FAILURE() << "no exception";
        } catch (COleDispatchException* e) {
            EXPECT_TRUE(row.dispatchException);
            EXPECT_EQ(row.sc, e->m_scError);
            EXPECT_EQ(row.code, e->m_wCode);
            EXPECT_STREQ(row.text, e->m_strDescription);
            EXPECT_STREQ(row.source ? "Heron.Heron.1" : "", e->m_strSource);
            EXPECT_EQ(row.helpContext, e->m_dwHelpContext);
            char text[64] = "junk";
            UINT help = 99;
            EXPECT_EQ(row.text[0] != 0, e->GetErrorMessage(text, sizeof text, &help) != FALSE);
            EXPECT_STREQ(row.text, text);
            EXPECT_EQ(row.helpContext, help);
            e->Delete();
        } catch (COleException* e) {
            EXPECT_FALSE(row.dispatchException);
            EXPECT_EQ(row.sc, e->m_sc);
            char text[256] = "";
            EXPECT_TRUE(e->GetErrorMessage(text, sizeof text));
            EXPECT_NE('\0', text[0]);
            e->Delete();
        }
    }
}

TEST_F(DispatchDriver, MisusesThrowWithoutCallingTheObject)
{
    struct Row {
        std::function<void(COleDispatchDriver&)> call;
        SCODE sc;
    } rows[] = {
        {[](COleDispatchDriver& d) { d.InvokeHelper(1, DISPATCH_METHOD, VT_EMPTY, nullptr, Codes("\x0E"), 1); }, DISP_E_BADVARTYPE},
        {[](COleDispatchDriver& d) { d.InvokeHelper(1, DISPATCH_METHOD, VT_EMPTY, nullptr, Codes(VTS_BSTR "\x7F"), "leaks nothing", 1); }, DISP_E_BADVARTYPE},
        {[](COleDispatchDriver& d) { long v; d.InvokeHelper(1, DISPATCH_METHOD, VT_ARRAY | VT_BSTR, &v, nullptr); }, DISP_E_BADVARTYPE},
        {[](COleDispatchDriver& d) { d.SetProperty(1, VT_I4 | VT_BYREF, nullptr); }, DISP_E_BADVARTYPE},
        {[](COleDispatchDriver& d) { d.InvokeHelper(1, DISPATCH_METHOD, VT_EMPTY, nullptr, Codes(VTS_VARIANT), static_cast<const VARIANT*>(nullptr)); }, E_POINTER},
        {[](COleDispatchDriver& d) { COleDispatchDriver empty; empty.InvokeHelper(1, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr); }, OLE_E_BLANK},
        {[](COleDispatchDriver& d) { COleDispatchDriver empty; long v; empty.GetProperty(1, VT_I4, &v); }, OLE_E_BLANK},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        try {
            row.call(driver);
            ADD_FAILURE() << "no exception";
        } catch (COleException* e) {
            EXPECT_EQ(row.sc, e->m_sc);
            e->Delete();
        }
    }
    EXPECT_EQ(0, fake.calls);
}

TEST_F(DispatchDriver, ReferencesAreReleasedOnlyWhenOwned)
{
    struct Row {
        const char* what;
        std::function<void(FakeDispatch&)> use;
        LONG refsAfter;
    } rows[] = {
        {"borrowed and dropped", [](FakeDispatch& f) { COleDispatchDriver d; d.AttachDispatch(&f, FALSE); }, 1},
        {"owned and dropped", [](FakeDispatch& f) { f.AddRef(); COleDispatchDriver d(&f); }, 1},
        {"detached", [](FakeDispatch& f) { f.AddRef(); COleDispatchDriver d(&f); EXPECT_EQ(&f, d.DetachDispatch()); EXPECT_EQ(nullptr, d.m_lpDispatch); }, 2},
        {"copied", [](FakeDispatch& f) { f.AddRef(); COleDispatchDriver d(&f); COleDispatchDriver copy(d); EXPECT_EQ(3, f.refs); }, 1},
        {"copy of a borrowed one", [](FakeDispatch& f) { COleDispatchDriver d(&f, FALSE); COleDispatchDriver copy(d); EXPECT_EQ(2, f.refs); }, 1},
        {"assigned to itself", [](FakeDispatch& f) { f.AddRef(); COleDispatchDriver d(&f); COleDispatchDriver& same = d; d = same; EXPECT_EQ(2, f.refs); EXPECT_EQ(&f, d.m_lpDispatch); }, 1},
        {"replaced", [](FakeDispatch& f) { f.AddRef(); COleDispatchDriver d(&f); FakeDispatch other; d.AttachDispatch(&other, FALSE); EXPECT_EQ(1, f.refs); d.ReleaseDispatch(); }, 1},
        {"released twice", [](FakeDispatch& f) { f.AddRef(); COleDispatchDriver d(&f); d.ReleaseDispatch(); d.ReleaseDispatch(); }, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        FakeDispatch object;
        row.use(object);
        EXPECT_EQ(row.refsAfter, object.refs);
    }
}
