// The control as the main program uses it: registered in the prefix, created
// by ProgID and called by DISPID, filing real Godwit records into the Palm
// Desktop stand-in and telling its container when the memo folder changes.
#include <gtest/gtest.h>
#include <olectl.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Finch.h"
#include "FinchDispIds.h"
#include "Godwit.h"
#include "GodwitDispIds.h"
#include "GodwitRecordFiller.h"
#include "PalmDesktopFixture.h"
#include "QuiComTesting.h"
#include "QuiStackDispatch.h"
#include "QuiTesting.h"

using namespace PalmTesting;
using QuiComTesting::CallMethod;
using QuiComTesting::GetProperty;
using QuiComTesting::Ptr;
using QuiComTesting::PutProperty;
using QuiComTesting::RunProgram;
using QuiComTesting::Variant;

namespace {

const char kClsid[] = "{4DEEE122-BF80-11D2-84ED-00A0247B3DBA}";
const char kLibId[] = "{4DEEE125-BF80-11D2-84ED-00A0247B3DBA}";

std::string Records(const std::string& dump)
{
    std::string lines;
    for (size_t start = 0, end; (end = dump.find("\r\n", start)) != std::string::npos; start = end + 2)
        if (dump.compare(start, 7, "record ") == 0)
            lines += dump.substr(start, end + 2 - start);
    return lines;
}

// The texts of a list property, one a line: the data library answers an
// array of BSTRs, the loader's empty answer is an array of VARIANTs; any
// other value gives "<not a list>".
std::string ListTexts(const VARIANT& list)
{
    VARTYPE elements = VT_EMPTY;
    if (!(list.vt & VT_ARRAY) || !list.parray || FAILED(SafeArrayGetVartype(list.parray, &elements)) ||
        list.vt != (VT_ARRAY | elements) || (elements != VT_BSTR && elements != VT_VARIANT))
        return "<not a list>";
    LONG low = 0, high = -1;
    SafeArrayGetLBound(list.parray, 1, &low);
    SafeArrayGetUBound(list.parray, 1, &high);
    std::string texts;
    for (LONG i = low; i <= high; ++i) {
        VARIANT element;
        VariantInit(&element);
        if (elements == VT_BSTR) {
            element.vt = VT_BSTR;
            SafeArrayGetElement(list.parray, &i, &element.bstrVal);
        } else {
            SafeArrayGetElement(list.parray, &i, &element);
        }
        char ansi[512] = "";
        if (element.vt == VT_BSTR)
            WideCharToMultiByte(CP_ACP, 0, element.bstrVal ? element.bstrVal : L"", -1, ansi, sizeof ansi, nullptr,
                                nullptr);
        texts += std::string(ansi) + "\n";
        VariantClear(&element);
    }
    return texts;
}

// How many threads of this process started in the module's code: the
// control's folder workers, while Finch.ocx is loaded. -1 when that cannot
// be told.
int ThreadsStartedIn(HMODULE module)
{
    typedef LONG(WINAPI * QueryThread)(HANDLE, int, void*, ULONG, ULONG*);
    const int kWin32StartAddress = 9;
    MODULEINFO info = {};
    QueryThread query =
        reinterpret_cast<QueryThread>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread"));
    if (!module || !query || !GetModuleInformation(GetCurrentProcess(), module, &info, sizeof info))
        return -1;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    const BYTE* base = static_cast<const BYTE*>(info.lpBaseOfDll);
    int count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != GetCurrentProcessId())
            continue;
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        if (!thread)
            continue;
        void* start = nullptr;
        if (query(thread, kWin32StartAddress, &start, sizeof start, nullptr) == 0 &&
            static_cast<const BYTE*>(start) >= base && static_cast<const BYTE*>(start) < base + info.SizeOfImage)
            ++count;
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return count;
}

// Counts UserInfoChange as the container's event sink.
class EventSink : public QuiComTesting::StackDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, DIID__DFinchEvents)) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return StackDispatch::QueryInterface(riid, ppv);
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        if (id == DISPID_FINCH_USERINFOCHANGE)
            ++changes;
        return S_OK;
    }
    int changes = 0;
};

// An item record of another make: Godwit's DISPIDs under names of its own,
// so that it answers none of Godwit's names, and each value in a type of
// its own choosing. A member it was not given is not found.
class ForeignRecord : public QuiComTesting::StackDispatch {
public:
    void Set(DISPID id, VARTYPE vt, double number)
    {
        Variant value;
        value.vt = VT_R8;
        value.dblVal = number;
        EXPECT_EQ(S_OK, VariantChangeType(&m_values[id], &value, 0, vt));
    }
    void Set(DISPID id, const wchar_t* text)
    {
        Variant value(text);
        EXPECT_EQ(S_OK, VariantCopy(&m_values[id], &value));
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                        UINT*) override
    {
        auto found = m_values.find(id);
        if (found == m_values.end() || !(flags & DISPATCH_PROPERTYGET) || !result)
            return DISP_E_MEMBERNOTFOUND;
        VariantInit(result);
        return VariantCopy(result, &found->second);
    }

private:
    std::map<DISPID, Variant> m_values;
};

// The control in a framework container window, as the main program holds
// it, with its events advised to a sink.
class HostedFinch {
public:
    explicit HostedFinch(EventSink& sink)
    {
        AfxEnableControlContainer();
        if (!m_host.CreateEx(0, nullptr, "host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr))
            return;
        CLSID clsid = GUID_NULL;
        if (FAILED(CLSIDFromProgID(L"Finch.FinchCtrl.1", &clsid)) ||
            !m_control.CreateControl(clsid, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), &m_host, 1))
            return;
        m_control.GetControlUnknown()->QueryInterface(IID_IDispatch, m_finch.OutVoid());
        Ptr<IConnectionPointContainer> points;
        if (m_finch && SUCCEEDED(m_finch->QueryInterface(IID_IConnectionPointContainer, points.OutVoid())) &&
            SUCCEEDED(points->FindConnectionPoint(DIID__DFinchEvents, m_point.Out())))
            m_point->Advise(&sink, &m_cookie);
    }
    ~HostedFinch()
    {
        if (m_cookie)
            m_point->Unadvise(m_cookie);
        m_point.Reset();
        m_finch.Reset();
        m_control.DestroyWindow();
        m_host.DestroyWindow();
    }
    HostedFinch(const HostedFinch&) = delete;
    HostedFinch& operator=(const HostedFinch&) = delete;

    // True once the control has its window and the sink is advised.
    bool Ready() const { return m_control.m_hWnd && m_cookie; }
    IDispatch* Finch() const { return m_finch.Get(); }

private:
    CWnd m_host;
    CWnd m_control;
    Ptr<IDispatch> m_finch;
    Ptr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};

class FinchControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(m_ole);
        desktop.AddUser("Zoe", "ZoeD");
        desktop.AddUser("Bob", "BobD");
        desktop.SetLastUser("Zoe");
        ASSERT_EQ(0, RunProgram("regsvr32.exe /s \"" + m_path + "\""));
        ASSERT_TRUE(m_godwit.Loaded());
    }
    void TearDown() override
    {
        m_finch.Reset();
        CoFreeUnusedLibraries();
        RunProgram("regsvr32.exe /s /u \"" + m_path + "\"");
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quillmate\\Finch");
        if (SUCCEEDED(m_ole))
            OleUninitialize();
    }

    IDispatch* Finch()
    {
        if (!m_finch) {
            CLSID clsid = GUID_NULL;
            EXPECT_EQ(S_OK, CLSIDFromProgID(L"Finch.FinchCtrl.1", &clsid));
            EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, m_finch.OutVoid()));
        }
        return m_finch.Get();
    }

    Ptr<IDispatch> Record()
    {
        Ptr<IDispatch> record;
        EXPECT_EQ(S_OK, m_godwit.Create(CLSID_GodwitCtrl, IID_IDispatch, record.OutVoid()));
        return record;
    }

    static void Put(IDispatch* record, DISPID id, VARTYPE vt, double number, const wchar_t* text = nullptr)
    {
        if (vt == VT_BSTR)
            GodwitTesting::PutText(record, id, text);
        else if (vt == VT_DATE)
            GodwitTesting::PutDate(record, id, number);
        else if (vt == VT_I2)
            GodwitTesting::PutShort(record, id, static_cast<short>(number));
        else
            GodwitTesting::PutLong(record, id, static_cast<long>(number));
    }

    short File(IDispatch* record)
    {
        Variant arg, result;
        arg.vt = VT_DISPATCH;
        arg.pdispVal = record;
        record->AddRef();
        EXPECT_EQ(S_OK, CallMethod(Finch(), DISPID_FINCH_FILEKEYNOTE, {&arg}, &result));
        EXPECT_EQ(VT_I2, result.vt);
        return result.iVal;
    }

    std::string Zoe(const char* table) const { return Records(desktop.Dump(std::string("ZoeD\\") + table)); }

    HRESULT m_ole = OleInitialize(nullptr);
    TestDesktop desktop;
    const std::string m_path = QuiComTesting::ProgramFolder() + "Finch.ocx";
    QuiComTesting::ServerLibrary m_godwit{"Godwit.ocx"};
    Ptr<IDispatch> m_finch;
};

const char* const kTodo = "todo\\todo.dat";
const char* const kMemo = "memopad\\memopad.dat";
const char* const kDateBook = "datebook\\datebook.dat";

}  // namespace

TEST_F(FinchControl, RegistersItsClassAndTypeLibrary)
{
    const std::string clsid = std::string("CLSID\\") + kClsid;
    const std::vector<std::vector<std::string>> rows = {
        {"Finch.FinchCtrl.1\\CLSID", "", kClsid},
        {clsid + "\\ProgID", "", "Finch.FinchCtrl.1"},
        {clsid + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {clsid + "\\MiscStatus\\1", "", "131217"},
        {clsid + "\\ToolboxBitmap32", "", m_path + ", 1"},
        {clsid + "\\TypeLib", "", kLibId},
        {clsid + "\\Version", "", "1.0"},
        {std::string("TypeLib\\") + kLibId + "\\1.0", "", "Quillmate Finch OLE Control module"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row[2], QuiComTesting::RegText(HKEY_CLASSES_ROOT, row[0], row[1].c_str())) << row[0];
}

TEST_F(FinchControl, EveryMemberAtItsDispIdWithItsTypes)
{
    Ptr<ITypeLib> library;
    ASSERT_EQ(S_OK, LoadRegTypeLib(LIBID_QuiFinchLib, 1, 0, 0, library.Out()));
    Ptr<ITypeInfo> info;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(IID__DFinch, info.Out()));
    struct Row {
        const wchar_t* name;
        DISPID id;
        INVOKEKIND kind;
        std::vector<VARTYPE> params;
        VARTYPE result;
    };
    const VARTYPE pbstr = VT_PTR, pvar = VT_PTR;
    const std::vector<Row> rows = {
        {L"TodoCategories", 1, INVOKE_PROPERTYGET, {}, VT_VARIANT},
        {L"TodoCategories", 1, INVOKE_PROPERTYPUT, {VT_VARIANT}, VT_EMPTY},
        {L"MemoCategories", 2, INVOKE_PROPERTYGET, {}, VT_VARIANT},
        {L"MemoCategories", 2, INVOKE_PROPERTYPUT, {VT_VARIANT}, VT_EMPTY},
        {L"Contacts", 3, INVOKE_PROPERTYGET, {}, VT_VARIANT},
        {L"Contacts", 3, INVOKE_PROPERTYPUT, {VT_VARIANT}, VT_EMPTY},
        {L"CurrentItemText", 4, INVOKE_PROPERTYGET, {}, VT_BSTR},
        {L"ContactFieldOrder", 5, INVOKE_PROPERTYGET, {}, VT_BSTR},
        {L"CategoryFieldOrder", 6, INVOKE_PROPERTYGET, {}, VT_BSTR},
        {L"Users", 7, INVOKE_PROPERTYGET, {}, VT_VARIANT},
        {L"CurrentUser", 8, INVOKE_PROPERTYGET, {}, VT_BSTR},
        {L"CurrentUser", 8, INVOKE_PROPERTYPUT, {VT_BSTR}, VT_EMPTY},
        {L"UserDirectory", 9, INVOKE_PROPERTYGET, {}, VT_BSTR},
        {L"FileKeynote", 10, INVOKE_FUNC, {VT_DISPATCH}, VT_I2},
        {L"NewContact", 11, INVOKE_FUNC, {pbstr}, VT_I4},
        {L"OpenDesktopApp", 12, INVOKE_FUNC, {}, VT_I4},
        {L"GetShowInList", 13, INVOKE_FUNC, {pbstr, pbstr, pbstr}, VT_BSTR},
        {L"GetEmail", 14, INVOKE_FUNC, {pbstr, pbstr, pbstr}, VT_BSTR},
        {L"DataRefresh", 15, INVOKE_FUNC, {}, VT_I4},
        {L"GetCalendarDay", 16, INVOKE_FUNC, {pvar, pvar}, VT_I4},
        {L"Connect", 17, INVOKE_FUNC, {VT_I4}, VT_I4},
        {L"AboutBox", -552, INVOKE_FUNC, {}, VT_EMPTY},
    };
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    size_t matched = 0;
    for (WORD i = 0; i < attr->cFuncs; ++i) {
        FUNCDESC* func = nullptr;
        ASSERT_EQ(S_OK, info->GetFuncDesc(i, &func));
        BSTR name = nullptr;
        info->GetDocumentation(func->memid, &name, nullptr, nullptr, nullptr);
        for (const Row& row : rows) {
            if (wcscmp(row.name, name) != 0 || row.kind != func->invkind)
                continue;
            SCOPED_TRACE(std::string(name, name + SysStringLen(name)));
            ++matched;
            EXPECT_EQ(row.id, func->memid);
            std::vector<VARTYPE> params;
            // The dispatch view of a dual interface answers in the function's own type.
            const VARTYPE own = func->elemdescFunc.tdesc.vt;
            VARTYPE result = own == VT_VOID || own == VT_HRESULT ? VT_EMPTY : own;
            for (SHORT p = 0; p < func->cParams; ++p) {
                const ELEMDESC& param = func->lprgelemdescParam[p];
                if (param.paramdesc.wParamFlags & PARAMFLAG_FRETVAL)
                    result = param.tdesc.lptdesc->vt;
                else
                    params.push_back(param.tdesc.vt);
            }
            EXPECT_EQ(row.params, params);
            EXPECT_EQ(row.result, result);
        }
        SysFreeString(name);
        info->ReleaseFuncDesc(func);
    }
    info->ReleaseTypeAttr(attr);
    EXPECT_EQ(rows.size(), matched);

    Ptr<ITypeInfo> events;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(DIID__DFinchEvents, events.Out()));
    MEMBERID id = 0;
    LPOLESTR eventName = const_cast<LPOLESTR>(L"UserInfoChange");
    EXPECT_EQ(S_OK, events->GetIDsOfNames(&eventName, 1, &id));
    EXPECT_EQ(DISPID_FINCH_USERINFOCHANGE, id);
}

TEST_F(FinchControl, ReadOnlyPropertiesRefuseASet)
{
    desktop.EditTable<CToDoTable>("ZoeD\\todo\\todo.dat", [](CToDoTable& t) {
        CCategoryMgr* categories = t.GetCategoryManager();
        CCategory work(categories->GetFreeIndex(), categories->GetNextAddID() + 10, "Work");
        EXPECT_EQ(CCategoryMgr::ok, categories->Add(&work));
    });
    for (DISPID id : {DISPID_FINCH_CURRENTITEMTEXT, DISPID_FINCH_CONTACTFIELDORDER, DISPID_FINCH_CATEGORYFIELDORDER,
                      DISPID_FINCH_USERS, DISPID_FINCH_USERDIRECTORY}) {
        QuiComTesting::ExcepInfo error;
        Variant value(L"x");
        EXPECT_EQ(DISP_E_EXCEPTION, PutProperty(Finch(), id, value, &error)) << id;
        EXPECT_EQ(CTL_E_SETNOTSUPPORTED, error.scode) << id;
    }
    // The category list takes a set without complaint and keeps the desktop's.
    Variant before, after;
    ASSERT_EQ(S_OK, GetProperty(Finch(), DISPID_FINCH_TODOCATEGORIES, &before));
    Variant list(L"ignored");
    EXPECT_EQ(S_OK, PutProperty(Finch(), DISPID_FINCH_TODOCATEGORIES, list));
    ASSERT_EQ(S_OK, GetProperty(Finch(), DISPID_FINCH_TODOCATEGORIES, &after));
    EXPECT_EQ(ListTexts(before), ListTexts(after));
    EXPECT_NE(std::string::npos, ListTexts(after).find("\"Work\",")) << ListTexts(after);
    EXPECT_EQ(std::string::npos, ListTexts(after).find("ignored"));
}

TEST_F(FinchControl, AnswersTheUserTheFolderAndTheFieldOrder)
{
    Variant connected, zero(0L);
    ASSERT_EQ(S_OK, CallMethod(Finch(), DISPID_FINCH_CONNECT, {&zero}, &connected));
    EXPECT_EQ(0, connected.lVal) << "the library is usable";
    Variant user, folder, order;
    ASSERT_EQ(S_OK, GetProperty(Finch(), DISPID_FINCH_CURRENTUSER, &user));
    EXPECT_STREQ(L"Zoe", user.bstrVal);
    ASSERT_EQ(S_OK, GetProperty(Finch(), DISPID_FINCH_USERDIRECTORY, &folder));
    char ansi[MAX_PATH] = "";
    WideCharToMultiByte(CP_ACP, 0, folder.bstrVal, -1, ansi, sizeof ansi, nullptr, nullptr);
    EXPECT_EQ(desktop.Path() + "ZoeD\\", ansi);
    ASSERT_EQ(S_OK, GetProperty(Finch(), DISPID_FINCH_CONTACTFIELDORDER, &order));
    ASSERT_EQ(25u, SysStringLen(order.bstrVal));
    EXPECT_EQ(0x0B, order.bstrVal[0]);
    EXPECT_EQ(0x63, order.bstrVal[11]);
    EXPECT_EQ(0, order.bstrVal[12]);

    Variant bob(L"Bob");
    ASSERT_EQ(S_OK, PutProperty(Finch(), DISPID_FINCH_CURRENTUSER, bob));
    m_finch.Reset();
    EXPECT_EQ("Bob", QuiComTesting::RegText(HKEY_CURRENT_USER, "Software\\Quillmate\\Finch", "LastUser"))
        << "the last user is kept when the control goes";
}

TEST_F(FinchControl, FilesEachKindOfEntryOnItsOwn)
{
    const double due = 46091.0;  // 2026-03-10
    {
        Ptr<IDispatch> todo = Record();
        Put(todo.Get(), DISPID_GODWIT_TYPE, VT_I4, GODWIT_TYPE_TODO);
        Put(todo.Get(), DISPID_GODWIT_BODY, VT_BSTR, 0, L"Call Bob");
        Put(todo.Get(), DISPID_GODWIT_PRIVATE, VT_I2, 1);
        Put(todo.Get(), DISPID_GODWIT_PRIORITY, VT_I2, 3);
        Put(todo.Get(), DISPID_GODWIT_DUEDATE, VT_DATE, due);
        Put(todo.Get(), DISPID_GODWIT_NOTE, VT_BSTR, 0, L"about lunch");
        EXPECT_EQ(1, File(todo.Get()));
        const std::string records = Zoe(kTodo);
        EXPECT_NE(std::string::npos, records.find("private=1")) << records;
        EXPECT_NE(std::string::npos, records.find("description=\"Call Bob\"")) << records;
        EXPECT_NE(std::string::npos, records.find("priority=3")) << records;
        EXPECT_NE(std::string::npos, records.find("note=\"about lunch\"")) << records;
        EXPECT_EQ("", Zoe(kMemo) + Zoe(kDateBook));
    }
    {
        Ptr<IDispatch> memo = Record();
        Put(memo.Get(), DISPID_GODWIT_TYPE, VT_I4, GODWIT_TYPE_JOURNAL);
        Put(memo.Get(), DISPID_GODWIT_BODY, VT_BSTR, 0, L"first line");
        EXPECT_EQ(1, File(memo.Get()));
        EXPECT_EQ("record id=1 category=0 private=0 deleted=0 archived=0 memo=\"first line\"\r\n", Zoe(kMemo));
        EXPECT_EQ("", Zoe(kDateBook));
    }
    {
        Ptr<IDispatch> appointment = Record();
        Put(appointment.Get(), DISPID_GODWIT_TYPE, VT_I4, GODWIT_TYPE_CALENDAR);
        Put(appointment.Get(), DISPID_GODWIT_BODY, VT_BSTR, 0, L"Dentist");
        Put(appointment.Get(), DISPID_GODWIT_STARTDATE, VT_DATE, due + 0.375);
        Put(appointment.Get(), DISPID_GODWIT_ENDDATE, VT_DATE, due + 0.4375);
        Put(appointment.Get(), DISPID_GODWIT_ALARMADVANCE, VT_I4, 10);
        Put(appointment.Get(), DISPID_GODWIT_ALARMADVANCEUNIT, VT_I4, 1);
        EXPECT_EQ(1, File(appointment.Get()));
        const std::string records = Zoe(kDateBook);
        EXPECT_NE(std::string::npos, records.find("description=\"Dentist\"")) << records;
        EXPECT_EQ(1u, std::count(records.begin(), records.end(), '\n')) << records;
    }
}

TEST_F(FinchControl, TypeBitsChooseWhatIsFiled)
{
    struct Row {
        long type;
        size_t todos, memos, appointments;
    };
    const std::vector<Row> rows = {{0x08, 0, 0, 0}, {0x00, 0, 0, 0}, {0x07, 1, 1, 1}};
    size_t todos = 0, memos = 0, appointments = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.type);
        Ptr<IDispatch> record = Record();
        Put(record.Get(), DISPID_GODWIT_TYPE, VT_I4, row.type);
        Put(record.Get(), DISPID_GODWIT_BODY, VT_BSTR, 0, L"all three");
        Put(record.Get(), DISPID_GODWIT_STARTDATE, VT_DATE, 46091.5);
        EXPECT_EQ(1, File(record.Get()));
        todos += row.todos, memos += row.memos, appointments += row.appointments;
        auto count = [](const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); };
        EXPECT_EQ(todos, count(Zoe(kTodo)));
        EXPECT_EQ(memos, count(Zoe(kMemo)));
        EXPECT_EQ(appointments, count(Zoe(kDateBook)));
    }
    Variant none, result;
    none.vt = VT_DISPATCH;
    none.pdispVal = nullptr;
    ASSERT_EQ(S_OK, CallMethod(Finch(), DISPID_FINCH_FILEKEYNOTE, {&none}, &result));
    EXPECT_EQ(1, result.iVal) << "a null record";
}

TEST_F(FinchControl, TheRecordIsReadByDispIdOnly)
{
    struct Row {
        const char* what;
        long type;  // -1: the record answers nothing
        bool note;
        short result;
        size_t todos, appointments;
    };
    const std::vector<Row> rows = {
        {"another make's record", GODWIT_TYPE_TODO | GODWIT_TYPE_CALENDAR, true, 1, 1, 1},
        {"a record that answers nothing", -1, false, 0, 1, 1},
        {"a to-do without its note", GODWIT_TYPE_TODO, false, 0, 1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ForeignRecord record;
        if (row.type != -1) {
            record.Set(DISPID_GODWIT_TYPE, VT_I2, row.type);
            record.Set(DISPID_GODWIT_BODY, L"Foreign");
            if (row.note)
                record.Set(DISPID_GODWIT_NOTE, L"made elsewhere");
            record.Set(DISPID_GODWIT_PRIVATE, VT_BOOL, 1);
            record.Set(DISPID_GODWIT_PRIORITY, VT_I4, 2);
            record.Set(DISPID_GODWIT_COMPLETED, VT_I4, 0);
            record.Set(DISPID_GODWIT_DUEDATE, VT_DATE, 46091.0);
            record.Set(DISPID_GODWIT_STARTDATE, VT_DATE, 46091.375);
            record.Set(DISPID_GODWIT_ENDDATE, VT_DATE, 46091.4375);
            record.Set(DISPID_GODWIT_TASKCATEGORY, L"Work");
            // No unit: an advance of -1 leaves it unread.
            record.Set(DISPID_GODWIT_ALARMADVANCE, VT_I4, -1);
        }
        EXPECT_EQ(row.result, File(&record));
        auto lines = [](const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); };
        EXPECT_EQ(row.todos, lines(Zoe(kTodo)));
        EXPECT_EQ(row.appointments, lines(Zoe(kDateBook)));
    }
    const std::string todo = Zoe(kTodo);
    EXPECT_NE(std::string::npos, todo.find("private=1 deleted=0 archived=0 description=\"Foreign\"")) << todo;
    EXPECT_NE(std::string::npos, todo.find("priority=2 note=\"made elsewhere\"")) << todo;
    EXPECT_NE(std::string::npos, Zoe(kDateBook).find("description=\"Foreign\"")) << Zoe(kDateBook);
}

// A client installed elsewhere, run from a folder that holds libraries named
// like the data library, still gets the one beside Finch.
TEST_F(FinchControl, TheDataLibraryIsTheOneBesideFinch)
{
    const std::string folder = QuiComTesting::ProgramFolder();
    const std::string planted = folder + "finch-planted\\";
    CreateDirectoryA(planted.c_str(), nullptr);
    // Any library without the data library's operations does.
    for (const char* name : {"Lark.dll", "Linnet.dll"})
        ASSERT_TRUE(CopyFileA((folder + "Godwit.ocx").c_str(), (planted + name).c_str(), FALSE)) << name;
    char previous[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(planted.c_str()));
    const int answer = RunProgram("\"" + folder + "finch-client\\finch_client.exe\"");
    SetCurrentDirectoryA(previous);
    QuiTesting::RemoveFolder(planted);
    EXPECT_EQ(0, answer) << "1: a library planted in the current folder was loaded";
}

TEST_F(FinchControl, FailuresOfTheDesktopAreTheResult)
{
    Ptr<IDispatch> memo = Record();
    Put(memo.Get(), DISPID_GODWIT_TYPE, VT_I4, GODWIT_TYPE_JOURNAL);
    Put(memo.Get(), DISPID_GODWIT_BODY, VT_BSTR, 0, L"kept back");
    {
        HotSyncWindow hotSync;
        EXPECT_EQ(0, File(memo.Get())) << "HotSync in progress";
    }
    {
        FailingCalls failing("CBaseTable::Save");
        EXPECT_EQ(0, File(memo.Get())) << "the save told to fail";
    }
    {
        HANDLE locked = CreateFileA(desktop.File("ZoeD\\memopad\\memopad.dat").c_str(), GENERIC_READ | GENERIC_WRITE,
                                    0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, locked);
        EXPECT_EQ(0, File(memo.Get())) << "a locked table";
        CloseHandle(locked);
    }
    EXPECT_EQ("", Zoe(kMemo));
    EXPECT_EQ(1, File(memo.Get()));
}

TEST_F(FinchControl, MemoFolderChangesRaiseUserInfoChange)
{
    EventSink sink;
    HMODULE finch = nullptr;
    {
        HostedFinch hosted(sink);
        ASSERT_TRUE(hosted.Ready());
        finch = GetModuleHandleA("Finch.ocx");
        ASSERT_NE(nullptr, finch);
        for (int change = 1; change <= 2; ++change) {
            SCOPED_TRACE(change);
            // Each change is seen, also after the watch was armed again.
            WriteFileBytes(desktop.File("ZoeD\\memopad\\note" + std::to_string(change) + ".txt"), "changed");
            EXPECT_TRUE(WaitFor([&] { return sink.changes >= change; }));
            EXPECT_TRUE(WaitFor([&] { return ThreadsStartedIn(finch) == 1; })) << "one worker watches again";
        }
        // Held past the control's end, so that its code can still be told apart.
        finch = LoadLibraryA("Finch.ocx");
    }
    EXPECT_GE(sink.changes, 2);
    EXPECT_TRUE(WaitFor([&] { return ThreadsStartedIn(finch) == 0; })) << "the worker ended with the control";
    FreeLibrary(finch);
}

TEST_F(FinchControl, ContactEntriesByName)
{
    // The record must live until the table is saved.
    std::unique_ptr<CAddressRecord> record;
    desktop.EditTable<CAddressTable>("ZoeD\\address\\address.dat", [&record](CAddressTable& t) {
        record.reset(new CAddressRecord(&t, 0));
        CAddressRecord* contact = record.get();
        contact->SetFirst("Ann");
        contact->SetName("Lee");
        contact->SetPhone(1, "555-0101");
        contact->SetPhoneLabelID(1, 0);
        contact->SetPhone(2, "ann@example.org");
        contact->SetPhoneLabelID(2, 4);  // E-Mail:
        contact->SetDisplayPhone(1);
        EXPECT_EQ(0, t.AddRecord(contact));
    });
    struct Row {
        DISPID member;
        const wchar_t* first;
        const wchar_t* last;
        const wchar_t* expected;
    };
    const std::vector<Row> rows = {
        {DISPID_FINCH_GETSHOWINLIST, L"Ann", L"Lee", L"555-0101"},
        {DISPID_FINCH_GETEMAIL, L"Ann", L"Lee", L"ann@example.org"},
        {DISPID_FINCH_GETEMAIL, L"  Ann ", L" Lee  ", L"ann@example.org"},
        {DISPID_FINCH_GETEMAIL, L"Bob", L"Lee", L""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.member) + " " + std::string(row.first, row.first + wcslen(row.first)));
        BSTR first = SysAllocString(row.first), last = SysAllocString(row.last), company = SysAllocString(L"");
        Variant a, b, c, result;
        a.vt = b.vt = c.vt = VT_BYREF | VT_BSTR;
        a.pbstrVal = &first;
        b.pbstrVal = &last;
        c.pbstrVal = &company;
        ASSERT_EQ(S_OK, CallMethod(Finch(), row.member, {&a, &b, &c}, &result));
        a.vt = b.vt = c.vt = VT_EMPTY;
        ASSERT_EQ(VT_BSTR, result.vt);
        EXPECT_STREQ(row.expected, result.bstrVal);
        SysFreeString(first);
        SysFreeString(last);
        SysFreeString(company);
    }
}

TEST_F(FinchControl, RefreshWithoutARunningDesktopTellsTheContainer)
{
    EventSink sink;
    Ptr<IConnectionPointContainer> points;
    ASSERT_EQ(S_OK, Finch()->QueryInterface(IID_IConnectionPointContainer, points.OutVoid()));
    Ptr<IConnectionPoint> point;
    ASSERT_EQ(S_OK, points->FindConnectionPoint(DIID__DFinchEvents, point.Out()));
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, point->Advise(&sink, &cookie));
    Variant result;
    ASSERT_EQ(S_OK, CallMethod(Finch(), DISPID_FINCH_DATAREFRESH, {}, &result));
    EXPECT_EQ(2, result.lVal);
    EXPECT_EQ(1, sink.changes);
    point->Unadvise(cookie);
}

TEST_F(FinchControl, CalendarDayThroughTheReferences)
{
    Ptr<IDispatch> appointment = Record();
    Put(appointment.Get(), DISPID_GODWIT_TYPE, VT_I4, GODWIT_TYPE_CALENDAR);
    Put(appointment.Get(), DISPID_GODWIT_BODY, VT_BSTR, 0, L"Dentist");
    Put(appointment.Get(), DISPID_GODWIT_STARTDATE, VT_DATE, 46091.375);
    ASSERT_EQ(1, File(appointment.Get()));
    VARIANT day, items;
    VariantInit(&day);
    VariantInit(&items);
    day.vt = VT_DATE;
    day.date = 46091.0;
    Variant dayRef, itemsRef, result;
    dayRef.vt = itemsRef.vt = VT_BYREF | VT_VARIANT;
    dayRef.pvarVal = &day;
    itemsRef.pvarVal = &items;
    ASSERT_EQ(S_OK, CallMethod(Finch(), DISPID_FINCH_GETCALENDARDAY, {&dayRef, &itemsRef}, &result));
    dayRef.vt = itemsRef.vt = VT_EMPTY;
    EXPECT_EQ(1, result.lVal);
    EXPECT_EQ(VT_EMPTY, day.vt);
    ASSERT_EQ(VT_ARRAY | VT_BSTR, items.vt) << "the library's lines";
    LONG upper = -1;
    SafeArrayGetUBound(items.parray, 1, &upper);
    EXPECT_EQ(0, upper);
    VariantClear(&items);
}

TEST_F(FinchControl, ANewUserIsWatchedInsteadOfTheLast)
{
    EventSink sink;
    HostedFinch hosted(sink);
    ASSERT_TRUE(hosted.Ready());
    const HMODULE finch = GetModuleHandleA("Finch.ocx");
    ASSERT_NE(nullptr, finch);
    Variant bob(L"Bob");
    ASSERT_EQ(S_OK, PutProperty(hosted.Finch(), DISPID_FINCH_CURRENTUSER, bob));
    EXPECT_TRUE(WaitFor([&] { return sink.changes >= 1; })) << "the change of user is told";
    const int told = sink.changes;
    // The control watches again only after telling, from a message it posts
    // to itself: a change written before that is not one to tell.
    ASSERT_TRUE(WaitFor([&] { return ThreadsStartedIn(finch) == 1; })) << "one worker watches again";
    WriteFileBytes(desktop.File("BobD\\memopad\\note.txt"), "changed");
    EXPECT_TRUE(WaitFor([&] { return sink.changes > told; })) << "Bob's folder is watched";
}

TEST_F(FinchControl, WithoutAUsableLibraryEveryMemberAnswersEmpty)
{
    desktop.AddUser("Adam", "AdamD", false);
    desktop.SetLastUser("Adam");
    SetText(HKEY_CURRENT_USER, "Software\\Quillmate\\Finch", "LastUser", "Adam");
    // The data library's message box is answered as a user would, with OK.
    QuiTesting::DialogAnswerer answerer;
    ASSERT_NE(nullptr, Finch());
    EXPECT_EQ(1, answerer.Count()) << "the library told the user once";

    Variant connected, zero(0L);
    ASSERT_EQ(S_OK, CallMethod(Finch(), DISPID_FINCH_CONNECT, {&zero}, &connected));
    EXPECT_EQ(1, connected.lVal);
    for (DISPID list : {DISPID_FINCH_TODOCATEGORIES, DISPID_FINCH_MEMOCATEGORIES, DISPID_FINCH_CONTACTS,
                        DISPID_FINCH_USERS}) {
        Variant value;
        ASSERT_EQ(S_OK, GetProperty(Finch(), list, &value)) << list;
        ASSERT_EQ(VT_ARRAY | VT_VARIANT, value.vt) << list;
        LONG upper = 0;
        SafeArrayGetUBound(value.parray, 1, &upper);
        EXPECT_EQ(-1, upper) << list;
    }
    for (DISPID text : {DISPID_FINCH_CURRENTUSER, DISPID_FINCH_USERDIRECTORY, DISPID_FINCH_CURRENTITEMTEXT}) {
        Variant value;
        ASSERT_EQ(S_OK, GetProperty(Finch(), text, &value)) << text;
        EXPECT_EQ(0u, SysStringLen(value.bstrVal)) << text;
    }
    Ptr<IDispatch> memo = Record();
    Put(memo.Get(), DISPID_GODWIT_TYPE, VT_I4, GODWIT_TYPE_JOURNAL);
    EXPECT_EQ(0, File(memo.Get()));

    m_finch.Reset();
    EXPECT_EQ("Adam", QuiComTesting::RegText(HKEY_CURRENT_USER, "Software\\Quillmate\\Finch", "LastUser"))
        << "a library that knows no user leaves the last one remembered";
}

TEST_F(FinchControl, ThePropertyPageShowsItsDialog)
{
    const char kPage[] = "{9D4A5039-9639-11D1-951A-00A0247B3DBA}";
    EXPECT_EQ(kPage, QuiComTesting::RegText(HKEY_CLASSES_ROOT, "FINCH.FinchPropPage.1\\CLSID"));
    CLSID clsid = GUID_NULL;
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"FINCH.FinchPropPage.1", &clsid));
    Ptr<IPropertyPage> page;
    ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage, page.OutVoid()));

    PROPPAGEINFO info = {};
    ASSERT_EQ(S_OK, page->GetPageInfo(&info));
    EXPECT_STREQ(L"", info.pszTitle);
    EXPECT_GT(info.size.cx, 0);
    EXPECT_GT(info.size.cy, 0);
    CoTaskMemFree(info.pszTitle);

    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr, nullptr, nullptr);
    RECT place = {5, 5, 300, 100};
    ASSERT_EQ(S_OK, page->Activate(parent, &place, FALSE));
    HWND dialog = GetWindow(parent, GW_CHILD);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(E_UNEXPECTED, page->Activate(parent, &place, FALSE)) << "already active";
    // The page offers nothing to change: one text, placed where it was asked.
    RECT placed;
    GetWindowRect(dialog, &placed);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_TRUE(EqualRect(&place, &placed)) << placed.left << "," << placed.top << "," << placed.right << ","
                                            << placed.bottom;
    HWND only = GetWindow(dialog, GW_CHILD);
    char className[16] = "";
    GetClassNameA(only, className, sizeof className);
    EXPECT_STRCASEEQ("Static", className);
    EXPECT_EQ(nullptr, GetWindow(only, GW_HWNDNEXT));
    EXPECT_EQ(S_FALSE, page->IsPageDirty());
    EXPECT_EQ(S_OK, page->Deactivate());
    EXPECT_FALSE(IsWindow(dialog));
    DestroyWindow(parent);
}
