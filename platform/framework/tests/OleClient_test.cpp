// The automation client against real servers registered in the prefix: the
// item record control filled and read by DISPID as the editions and Finch
// do, and a server on the kit whose failures arrive as the framework's
// exceptions.
#include <gtest/gtest.h>

#include <afxquill.h>

#include <cstdio>
#include <functional>
#include <string>

#include "GodwitDispIds.h"
#include "OleTestSupport.h"
#include "ProbeIds.h"
#include "QuiComTesting.h"

namespace {

COleVariant StringArray(std::initializer_list<const wchar_t*> texts)
{
    COleVariant array;
    QuiMakeStringArray(&array);
    for (const wchar_t* text : texts)
        QuiAppendString(&array, text);
    return array;
}

// The status a call raised, "ok" when it raised nothing.
std::string Outcome(const std::function<void()>& call)
{
    char text[64];
    try {
        call();
        return "ok";
    } catch (COleDispatchException* e) {
        snprintf(text, sizeof text, "dispatch 0x%08lX", static_cast<unsigned long>(e->m_scError));
        e->Delete();
    } catch (COleException* e) {
        snprintf(text, sizeof text, "ole 0x%08lX", static_cast<unsigned long>(e->m_sc));
        e->Delete();
    }
    return text;
}

// Godwit and the probe server registered for the test, as their callers
// find them: by ProgID.
class OleClient : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(AfxOleInit());
        ASSERT_TRUE(m_godwit.Loaded());
        ASSERT_TRUE(m_probe.Loaded());
        ASSERT_EQ(S_OK, m_godwit.Register());
        ASSERT_EQ(S_OK, m_probe.Register());
    }
    void TearDown() override
    {
        m_godwit.Unregister();
        m_probe.Unregister();
        AfxOleTerm();
    }

    QuiComTesting::ServerLibrary m_godwit{(QuiComTesting::ProgramFolder() + "Godwit.ocx").c_str()};
    QuiComTesting::ServerLibrary m_probe{(QuiComTesting::ProgramFolder() + "QuiFrameworkProbe.dll").c_str()};
};

} // namespace

TEST_F(OleClient, CreatesByProgIdOrSaysWhyNot)
{
    struct Row {
        const char* progId;
        SCODE sc;
    } rows[] = {
        {"Godwit.GodwitCtrl.1", S_OK},
        {"Godwit.GodwitCtrl", S_OK},
        {PROBE_PROGID, S_OK},
        {"Heron.Heron.1", CO_E_CLASSSTRING},
        {"", CO_E_CLASSSTRING},
        {nullptr, CO_E_CLASSSTRING},
        {PROBE_PLAIN_PROGID, E_NOINTERFACE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.progId ? row.progId : "<null>");
        COleDispatchDriver driver;
        COleException error;
        EXPECT_EQ(row.sc == S_OK, driver.CreateDispatch(row.progId, &error) != FALSE);
        EXPECT_EQ(row.sc == S_OK, driver.m_lpDispatch != nullptr);
        EXPECT_EQ(row.sc, error.m_sc);
        if (row.sc != S_OK) {
            char text[256] = "";
            EXPECT_TRUE(error.GetErrorMessage(text, sizeof text));
            EXPECT_NE('\0', text[0]);
        }
    }

    // A failed creation leaves what the driver held.
    COleDispatchDriver record;
    ASSERT_TRUE(record.CreateDispatch("Godwit.GodwitCtrl.1"));
    LPDISPATCH held = record.m_lpDispatch;
    EXPECT_FALSE(record.CreateDispatch("No.Such.Server.1"));
    EXPECT_EQ(held, record.m_lpDispatch);
    record.SetProperty(DISPID_GODWIT_BODY, VT_BSTR, "still here");
}

TEST_F(OleClient, ItemRecordFilledAndReadByDispid)
{
    COleDispatchDriver record;
    ASSERT_TRUE(record.CreateDispatch("Godwit.GodwitCtrl.1"));
    COleVariant folder("Journal\\Work");
    COleVariant categories = StringArray({L"Business", L"Calls"});
    COleVariant recipients = StringArray({L"Ann Lee", L"Bob"});
    record.SetProperty(DISPID_GODWIT_BODY, VT_BSTR, "Call the bank \xFC" "ber the loan");
    record.SetProperty(DISPID_GODWIT_PRIORITY, VT_I2, static_cast<short>(3));
    record.SetProperty(DISPID_GODWIT_ALARMADVANCE, VT_I4, -1L);
    record.SetProperty(DISPID_GODWIT_DUEDATE, VT_DATE, DATE(45296.0));
    record.SetProperty(DISPID_GODWIT_STARTDATE, VT_DATE, DATE(45295.5));
    record.SetProperty(DISPID_GODWIT_ENDDATE, VT_DATE, DATE(-3.0));
    record.SetProperty(DISPID_GODWIT_JOURNALCATEGORY, VT_VARIANT, static_cast<const VARIANT*>(&folder));
    record.SetProperty(DISPID_GODWIT_TASKCATEGORY, VT_VARIANT, static_cast<const VARIANT*>(&categories));
    record.SetProperty(DISPID_GODWIT_RECIPIENTS, VT_VARIANT, static_cast<const VARIANT*>(&recipients));
    static const BYTE bit[] = VTS_I4;
    record.InvokeHelper(DISPID_GODWIT_ADDTYPEBIT, DISPATCH_METHOD, VT_EMPTY, nullptr, bit, long(GODWIT_TYPE_TODO));
    record.InvokeHelper(DISPID_GODWIT_ADDTYPEBIT, DISPATCH_METHOD, VT_EMPTY, nullptr, bit, long(GODWIT_TYPE_CALENDAR));
    record.InvokeHelper(DISPID_GODWIT_ADDSUBTYPEBIT, DISPATCH_METHOD, VT_EMPTY, nullptr, bit, 0x100L);

    CString body;
    record.GetProperty(DISPID_GODWIT_BODY, VT_BSTR, &body);
    EXPECT_STREQ("Call the bank \xFC" "ber the loan", body);
    short priority = 0;
    record.GetProperty(DISPID_GODWIT_PRIORITY, VT_I2, &priority);
    EXPECT_EQ(3, priority);
    long advance = 0, type = 0, subType = 0;
    record.GetProperty(DISPID_GODWIT_ALARMADVANCE, VT_I4, &advance);
    record.GetProperty(DISPID_GODWIT_TYPE, VT_I4, &type);
    record.GetProperty(DISPID_GODWIT_SUBTYPE, VT_I4, &subType);
    EXPECT_EQ(-1, advance);
    EXPECT_EQ(GODWIT_TYPE_TODO | GODWIT_TYPE_CALENDAR, type);
    EXPECT_EQ(0x100, subType);
    DATE due = 0, start = 0, end = 0;
    record.GetProperty(DISPID_GODWIT_DUEDATE, VT_DATE, &due);
    record.GetProperty(DISPID_GODWIT_STARTDATE, VT_DATE, &start);
    record.GetProperty(DISPID_GODWIT_ENDDATE, VT_DATE, &end);
    EXPECT_EQ(45296.0, due);
    EXPECT_EQ(45295.5, start);
    EXPECT_EQ(-3.0, end);
    struct Row {
        DISPID id;
        const char* expected;
    } variants[] = {
        {DISPID_GODWIT_JOURNALCATEGORY, "BSTR Journal\\Work"},
        {DISPID_GODWIT_TASKCATEGORY, "ARRAY Business;Calls;"},
        {DISPID_GODWIT_RECIPIENTS, "ARRAY Ann Lee;Bob;"},
        {DISPID_GODWIT_CONTACTS, "EMPTY"},
    };
    for (const Row& row : variants) {
        SCOPED_TRACE(row.id);
        COleVariant value;
        VARIANT got;
        record.GetProperty(row.id, VT_VARIANT, &got);
        value.Attach(got);
        EXPECT_EQ(row.expected, Describe(value));
    }
}

TEST_F(OleClient, ConversionsOnBothSidesAndTheirFailures)
{
    COleDispatchDriver record;
    ASSERT_TRUE(record.CreateDispatch("Godwit.GodwitCtrl.1"));
    record.SetProperty(DISPID_GODWIT_BODY, VT_BSTR, "Call the bank");
    record.SetProperty(DISPID_GODWIT_PRIORITY, VT_I2, static_cast<short>(2));
    static const BYTE bit[] = VTS_I4;
    record.InvokeHelper(DISPID_GODWIT_ADDTYPEBIT, DISPATCH_METHOD, VT_EMPTY, nullptr, bit, 5L);
    struct Row {
        const char* what;
        std::function<std::string(COleDispatchDriver&)> call;
        const char* expected;
    } rows[] = {
        // The server converts what it is given to the member's type.
        {"a text date put", [](COleDispatchDriver& r) { r.SetProperty(DISPID_GODWIT_DUEDATE, VT_BSTR, "1/5/2024"); DATE d = 0; r.GetProperty(DISPID_GODWIT_DUEDATE, VT_DATE, &d); return std::to_string(d); }, "45296.000000"},
        {"a short into a long", [](COleDispatchDriver& r) { r.SetProperty(DISPID_GODWIT_ALARMADVANCEUNIT, VT_I2, static_cast<short>(2)); long v = 0; r.GetProperty(DISPID_GODWIT_ALARMADVANCEUNIT, VT_I4, &v); return std::to_string(v); }, "2"},
        {"a bool into a short", [](COleDispatchDriver& r) { r.SetProperty(DISPID_GODWIT_COMPLETED, VT_BOOL, TRUE); short v = 0; r.GetProperty(DISPID_GODWIT_COMPLETED, VT_I2, &v); return std::to_string(v); }, "-1"},
        // The client converts what comes back to the type asked.
        {"a long read as text", [](COleDispatchDriver& r) { CString s; r.GetProperty(DISPID_GODWIT_TYPE, VT_BSTR, &s); return std::string(s); }, "5"},
        {"a short read as a long", [](COleDispatchDriver& r) { long v = 0; r.GetProperty(DISPID_GODWIT_PRIORITY, VT_I4, &v); return std::to_string(v); }, "2"},
        {"a date read as text", [](COleDispatchDriver& r) { r.SetProperty(DISPID_GODWIT_STARTDATE, VT_DATE, DATE(45296.5)); CString s; r.GetProperty(DISPID_GODWIT_STARTDATE, VT_BSTR, &s); return std::string(s); }, "1/5/2024 12:00:00 PM"},
        {"a new record's date", [](COleDispatchDriver& r) { COleDispatchDriver fresh; fresh.CreateDispatch("Godwit.GodwitCtrl.1"); DATE d = -1; fresh.GetProperty(DISPID_GODWIT_ENDDATE, VT_DATE, &d); return std::to_string(d); }, "0.000000"},
        // Failures.
        {"a word for a number", [](COleDispatchDriver& r) { return Outcome([&r] { r.SetProperty(DISPID_GODWIT_PRIORITY, VT_BSTR, "high"); }); }, "ole 0x80020005"},
        {"too large for a short", [](COleDispatchDriver& r) { return Outcome([&r] { r.SetProperty(DISPID_GODWIT_PRIORITY, VT_I4, 70000L); }); }, "ole 0x8002000A"},
        {"text read as a number", [](COleDispatchDriver& r) { return Outcome([&r] { long v; r.GetProperty(DISPID_GODWIT_BODY, VT_I4, &v); }); }, "ole 0x80020005"},
        {"no such member", [](COleDispatchDriver& r) { return Outcome([&r] { long v; r.GetProperty(99, VT_I4, &v); }); }, "ole 0x80020003"},
        {"a value after the failures", [](COleDispatchDriver& r) { short v = 0; r.GetProperty(DISPID_GODWIT_PRIORITY, VT_I2, &v); return std::to_string(v); }, "2"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.expected, row.call(record));
    }
}

TEST_F(OleClient, RecordReadThroughABorrowedPointer)
{
    // Finch reads the record it is handed without taking it over.
    COleDispatchDriver record;
    ASSERT_TRUE(record.CreateDispatch("Godwit.GodwitCtrl.1"));
    static const BYTE bit[] = VTS_I4;
    record.InvokeHelper(DISPID_GODWIT_ADDTYPEBIT, DISPATCH_METHOD, VT_EMPTY, nullptr, bit, long(GODWIT_TYPE_JOURNAL));
    record.m_lpDispatch->AddRef();
    ULONG before = record.m_lpDispatch->Release();
    {
        COleDispatchDriver keynote;
        keynote.AttachDispatch(record.m_lpDispatch, FALSE);
        long type = 0;
        keynote.GetProperty(DISPID_GODWIT_TYPE, VT_I4, &type);
        EXPECT_EQ(GODWIT_TYPE_JOURNAL, type);
    }
    record.m_lpDispatch->AddRef();
    EXPECT_EQ(before, record.m_lpDispatch->Release());

    // And a server reads the record it is passed as a dispatch argument.
    COleDispatchDriver probe;
    ASSERT_TRUE(probe.CreateDispatch(PROBE_PROGID));
    long type = 0;
    static const BYTE dispatch[] = VTS_DISPATCH;
    probe.InvokeHelper(DISPID_PROBE_RECORDTYPE, DISPATCH_METHOD, VT_I4, &type, dispatch, record.m_lpDispatch);
    EXPECT_EQ(GODWIT_TYPE_JOURNAL, type);
    record.m_lpDispatch->AddRef();
    EXPECT_EQ(before, record.m_lpDispatch->Release());
}

TEST_F(OleClient, ServerErrorArrivesWithItsTextAndCode)
{
    COleDispatchDriver probe;
    ASSERT_TRUE(probe.CreateDispatch(PROBE_PROGID));
    struct Row {
        const char* description;
        long helpContext;
    } rows[] = {
        {"Notes is not running.", 60019},
        {"Gr\xFC\xDF" "e aus dem Server", 0},
        {"", 7},
    };
    static const BYTE params[] = VTS_BSTR VTS_I4;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.description);
        try {
            probe.InvokeHelper(DISPID_PROBE_FAIL, DISPATCH_METHOD, VT_EMPTY, nullptr, params, row.description,
                               row.helpContext);
            ADD_FAILURE() << "no exception";
        } catch (COleDispatchException* e) {
            EXPECT_STREQ(row.description, e->m_strDescription);
            EXPECT_EQ(PROBE_FAILURE, e->m_scError);
            EXPECT_EQ(0, e->m_wCode);
            EXPECT_EQ(static_cast<DWORD>(row.helpContext), e->m_dwHelpContext);
            EXPECT_STREQ(PROBE_PROGID, e->m_strSource);
            char text[256] = "junk";
            UINT help = 0;
            EXPECT_EQ(row.description[0] != 0, e->GetErrorMessage(text, sizeof text, &help) != FALSE);
            EXPECT_STREQ(row.description, text);
            EXPECT_EQ(static_cast<UINT>(row.helpContext), help);
            e->Delete();
        }
    }
    // A failure without error information still names its status.
    EXPECT_EQ("dispatch 0x80040322", Outcome([&probe] {
        probe.InvokeHelper(DISPID_PROBE_FAILQUIETLY, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
    }));
}

TEST_F(OleClient, TextsBooleansAndVariantsCrossAsTheCallersPassThem)
{
    COleDispatchDriver probe;
    ASSERT_TRUE(probe.CreateDispatch(PROBE_PROGID));

    BSTR text = SysAllocString(L"Call ");
    long length = 0;
    static const BYTE append[] = VTS_PBSTR VTS_BSTR;
    probe.InvokeHelper(DISPID_PROBE_APPEND, DISPATCH_METHOD, VT_I4, &length, append, &text, "the bank");
    EXPECT_EQ("Call the bank", Narrow(text));
    EXPECT_EQ(13, length);
    SysFreeString(text);

    BOOL enabled = -1;
    probe.GetProperty(DISPID_PROBE_ENABLED, VT_BOOL, &enabled);
    EXPECT_EQ(FALSE, enabled);
    probe.SetProperty(DISPID_PROBE_ENABLED, VT_BOOL, TRUE);
    probe.GetProperty(DISPID_PROBE_ENABLED, VT_BOOL, &enabled);
    EXPECT_EQ(TRUE, enabled) << "a true VARIANT_BOOL reads as the program's TRUE";

    struct Row {
        std::function<COleVariant()> make;
        VARTYPE asked;
        const char* expected;
    } rows[] = {
        {[] { return COleVariant("12"); }, VT_I4, "I4 12"},
        {[] { return COleVariant(COleDateTime(45296.5)); }, VT_BSTR, "BSTR 1/5/2024 12:00:00 PM"},
        {[] { COleVariant v; v.vt = VT_NULL; v.date = -1.0; return v; }, VT_VARIANT, "NULL -1"},
        {[] { return StringArray({L"a", L"b"}); }, VT_VARIANT, "ARRAY a;b;"},
        {[] { return COleVariant("twelve"); }, VT_I4, "ole 0x80020005"},
    };
    static const BYTE echo[] = VTS_VARIANT;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        COleVariant given = row.make();
        COleVariant back;
        std::string outcome = Outcome([&] {
            switch (row.asked) {
            case VT_I4: {
                long value = 0;
                probe.InvokeHelper(DISPID_PROBE_ECHO, DISPATCH_METHOD, VT_I4, &value, echo,
                                   static_cast<const VARIANT*>(&given));
                back = value;
                break;
            }
            case VT_BSTR: {
                CString value;
                probe.InvokeHelper(DISPID_PROBE_ECHO, DISPATCH_METHOD, VT_BSTR, &value, echo,
                                   static_cast<const VARIANT*>(&given));
                back = value;
                break;
            }
            default: {
                VARIANT value;
                probe.InvokeHelper(DISPID_PROBE_ECHO, DISPATCH_METHOD, VT_VARIANT, &value, echo,
                                   static_cast<const VARIANT*>(&given));
                back.Attach(value);
            }
            }
        });
        EXPECT_EQ(row.expected, outcome == "ok" ? Describe(back) : outcome);
    }
}
