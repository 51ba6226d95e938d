#include "PloverFixture.h"

#include "Plover.h"
#include "QuiRegistryChecks.h"

using OutlookStandInTesting::Build;
using QuiComTesting::ExpectEntries;
using QuiComTesting::ExpectGone;
using QuiComTesting::LastError;
using QuiComTesting::Ptr;
using QuiComTesting::RunProgram;
using QuiComTesting::Variant;
using ::testing::ElementsAre;

namespace {

const char kClsid[] = "{3856FA08-E31C-11D2-8B92-006097713FED}";
const char kLibId[] = "{3856F9FB-E31C-11D2-8B92-006097713FED}";
const char kIid[] = "{3856FA07-E31C-11D2-8B92-006097713FED}";

std::vector<std::string> Logons(const std::vector<std::string>& dump)
{
    std::vector<std::string> logons;
    for (const std::string& line : dump) {
        if (line.find(" logon ") != std::string::npos && line.find("ShowDialog=") != std::string::npos)
            logons.push_back(line.substr(5));
    }
    return logons;
}

}  // namespace

TEST(PloverRegistration, Regsvr32WritesEveryKeyAndUnregistrationRemovesThem)
{
    QuiComTesting::Apartment apartment;
    const std::string path = QuiComTesting::ProgramFolder() + "Plover.dll";
    const std::string clsid = std::string("CLSID\\") + kClsid;
    const std::vector<QuiComTesting::RegEntry> written = {
        {"Quillmate.Plover.1", "", "Plover Class"},
        {"Quillmate.Plover.1\\CLSID", "", kClsid},
        {"Quillmate.Plover", "", "Plover Class"},
        {"Quillmate.Plover\\CLSID", "", kClsid},
        {"Quillmate.Plover\\CurVer", "", "Quillmate.Plover.1"},
        {clsid, "", "Plover Class"},
        {clsid + "\\ProgID", "", "Quillmate.Plover.1"},
        {clsid + "\\VersionIndependentProgID", "", "Quillmate.Plover"},
        {clsid + "\\Programmable", "", "<key>"},
        {clsid + "\\InprocServer32", "", path},
        {clsid + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {clsid + "\\Control", "", "<key>"},
        {clsid + "\\ToolboxBitmap32", "", path + ", 101"},
        {clsid + "\\MiscStatus", "", "0"},
        {clsid + "\\MiscStatus\\1", "", "131473"},
        {clsid + "\\TypeLib", "", kLibId},
        {clsid + "\\Version", "", "1.0"},
        {std::string("TypeLib\\") + kLibId + "\\1.0", "", "Plover 1.0 Type Library"},
        {std::string("TypeLib\\") + kLibId + "\\1.0\\0\\" + QuiComTesting::kTypeLibPlatform, "", path},
        {std::string("Interface\\") + kIid, "", "IPlover"},
        {std::string("Interface\\") + kIid + "\\TypeLib", "", kLibId},
    };
    ASSERT_EQ(0, RunProgram("regsvr32.exe /s \"" + path + "\""));
    ExpectEntries(written);
    ASSERT_EQ(0, RunProgram("regsvr32.exe /s /u \"" + path + "\""));
    ExpectGone({"Quillmate.Plover.1", "Quillmate.Plover", clsid, std::string("TypeLib\\") + kLibId,
                std::string("Interface\\") + kIid});
}

// Both server files reach Outlook only by the identities Outlook has: none of
// those a stand-in of ours once invented for its interfaces, library or class.
TEST(PloverLibraries, HoldNoInterfaceIdentityOutlookLacks)
{
    struct Row {
        const wchar_t* guid;
        bool held;
    } rows[] = {
        {L"{00063001-0000-0000-C000-000000000046}", true},   // _Application
        {L"{00063035-0000-0000-C000-000000000046}", true},   // _TaskItem
        {L"{7EC18511-250A-48FF-9843-7D2FD6A36E70}", false},  // the invented _Application
        {L"{426C2139-1CFD-49A8-B5A6-E24C242D810B}", false},  // _NameSpace
        {L"{ED7720F4-DE9D-4967-AF75-4C5252916AC7}", false},  // _TaskItem
        {L"{FCCD9676-B4A0-453F-BCA2-AFD2948ED173}", false},  // _AppointmentItem
        {L"{F3E4A388-4740-4A58-8A68-4F38E0067649}", false},  // _JournalItem
        {L"{3390D2BD-8605-45B2-8A1B-958ECBA79066}", false},  // _MailItem
        {L"{4B218948-3168-4E68-8B33-CAA180665CD0}", false},  // _NoteItem
        {L"{928FF9B1-9275-43D0-8B95-8E1689FDB852}", false},  // MAPIFolder
        {L"{7EFDF054-8374-4E19-BCF4-21D0DB75ECF7}", false},  // Recipients
        {L"{75F0596F-3F05-4025-865C-444FEE60E6E5}", false},  // Recipient
        {L"{29639E00-61DD-4C48-B33C-5E4455E3E2D3}", false},  // Attachments
        {L"{56024C5C-ED1F-4F0C-B947-293F521389EA}", false},  // Attachment
        {L"{16F6DAC4-DF77-4F9A-A228-5014C82DD21F}", false},  // the stand-in's type library
        {L"{7EAA7510-C0FB-42C7-BB84-BB3E81E70CF5}", false},  // the stand-in's old class
    };
    for (const char* file : {"Plover.dll", "Plover97.dll"}) {
        SCOPED_TRACE(file);
        const std::string bytes = QuiTesting::ReadText(QuiComTesting::ProgramFolder() + file);
        ASSERT_FALSE(bytes.empty());
        for (const Row& row : rows) {
            GUID guid;
            ASSERT_EQ(S_OK, CLSIDFromString(const_cast<LPOLESTR>(row.guid), &guid));
            const std::string image(reinterpret_cast<const char*>(&guid), sizeof guid);
            EXPECT_EQ(row.held, bytes.find(image) != std::string::npos)
                << std::string(row.guid, row.guid + wcslen(row.guid));
        }
    }
}

TEST_F(PloverTest, EveryMemberHasItsContractDispidAndArguments)
{
    struct Member {
        const wchar_t* name;
        DISPID id;
        INVOKEKIND kind;
        std::vector<VARTYPE> params;
        VARTYPE result;  // VT_EMPTY: none
    } members[] = {
        {L"Contacts", DISPID_PLOVER_CONTACTS, INVOKE_PROPERTYGET, {}, VT_VARIANT},
        {L"TodoCategories", DISPID_PLOVER_TODOCATEGORIES, INVOKE_PROPERTYGET, {}, VT_VARIANT},
        {L"Connect", DISPID_PLOVER_CONNECT, INVOKE_FUNC, {VT_I4}, VT_EMPTY},
        {L"CreateContact", DISPID_PLOVER_CREATECONTACT, INVOKE_FUNC, {VT_BSTR}, VT_EMPTY},
        {L"FileKeynote", DISPID_PLOVER_FILEKEYNOTE, INVOKE_FUNC, {VT_DISPATCH}, VT_EMPTY},
        {L"Folders", DISPID_PLOVER_FOLDERS, INVOKE_PROPERTYGET, {}, VT_VARIANT},
        {L"CreateCategory", DISPID_PLOVER_CREATECATEGORY, INVOKE_FUNC, {VT_BSTR}, VT_EMPTY},
        {L"OpenOutlook", DISPID_PLOVER_OPENOUTLOOK, INVOKE_FUNC, {}, VT_EMPTY},
    };
    Ptr<ITypeInfo> info;
    ASSERT_EQ(S_OK, m_plover->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Out()));
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
    EXPECT_TRUE(IsEqualGUID(IID_IPlover, attributes->guid));
    EXPECT_EQ(7u + 8u, attributes->cFuncs) << "IDispatch's seven and Plover's eight";
    info->ReleaseTypeAttr(attributes);

    for (const Member& member : members) {
        SCOPED_TRACE(std::string(member.name, member.name + wcslen(member.name)));
        EXPECT_EQ(member.id, QuiComTesting::IdOfName(m_plover.Get(), member.name));
        bool found = false;
        for (UINT index = 0; index < 15 && !found; ++index) {
            FUNCDESC* function = nullptr;
            ASSERT_EQ(S_OK, info->GetFuncDesc(index, &function));
            if (function->memid == member.id) {
                found = true;
                EXPECT_EQ(member.kind, function->invkind);
                // The dispatch view of the dual interface: the result is the function's own.
                EXPECT_EQ(member.params.size(), static_cast<size_t>(function->cParams));
                for (size_t i = 0; i < member.params.size() && i < static_cast<size_t>(function->cParams); ++i)
                    EXPECT_EQ(member.params[i], function->lprgelemdescParam[i].tdesc.vt) << "argument " << i;
                EXPECT_EQ(member.result == VT_EMPTY ? VT_VOID : member.result, function->elemdescFunc.tdesc.vt);
            }
            info->ReleaseFuncDesc(function);
        }
        EXPECT_TRUE(found);
    }
}

TEST_F(PloverTest, ConnectLogsOnOnceAndAgainOnlyAfterFailing)
{
    ASSERT_EQ(S_OK, Connect());
    ASSERT_EQ(S_OK, Connect());
    EXPECT_THAT(Logons(m_outlook.Dump()), ElementsAre("logon ok ShowDialog=false"));
    EXPECT_EQ(S_FALSE, m_outlook.Server().CanUnloadNow()) << "the session is held";
    m_plover.Reset();
    EXPECT_EQ(S_OK, m_outlook.Server().CanUnloadNow()) << "released with the server object";
}

TEST_F(PloverTest, AFailedLogonIsTriedAgainWithTheProfileDialog)
{
    m_outlook.SetLogonFailures(1);
    ASSERT_EQ(S_OK, Connect());
    EXPECT_THAT(Logons(m_outlook.Dump()),
                ElementsAre("logon failed ShowDialog=false", "logon ok ShowDialog=true"));
    // The default profile (an empty name), no password, no new session.
    EXPECT_THAT(m_outlook.Record(2), ElementsAre("logon ok NewSession=false", "logon ok Password=(omitted)",
                                                 "logon ok Profile=", "logon ok ShowDialog=true"));
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ(2u, Logons(m_outlook.Dump()).size());
}

TEST_F(PloverTest, ConnectFailsWithNothingHeldWhenBothLogonsFailOrOutlookIsMissing)
{
    struct Row {
        const char* what;
        DWORD logonFailures;
        bool outlookRegistered;
        size_t logons;
    } rows[] = {
        {"both logons fail", STANDIN_LOGON_ALWAYS_FAILS, true, 2},
        {"no Outlook.Application", 0, false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DeleteFileA(m_outlook.StorePath().c_str());
        m_outlook.SetLogonFailures(row.logonFailures);
        if (!row.outlookRegistered) {
            ASSERT_EQ(S_OK, m_outlook.Server().Unregister());
        }
        QuiComTesting::ExcepInfo error;
        Variant zero(0L);
        EXPECT_EQ(DISP_E_EXCEPTION,
                  QuiComTesting::CallMethod(m_plover.Get(), DISPID_PLOVER_CONNECT, {&zero}, nullptr, &error));
        EXPECT_EQ(E_FAIL, error.scode);
        EXPECT_STREQ(L"Connection Error", error.bstrDescription);
        EXPECT_STREQ(L"Quillmate.Plover.1", error.bstrSource);
        EXPECT_EQ(row.logons, Logons(m_outlook.Dump()).size());
        EXPECT_EQ(S_OK, m_outlook.Server().CanUnloadNow()) << "application and namespace released";

        GodwitRecord record;
        record.Type(GODWIT_TYPE_MEMO);
        EXPECT_EQ(S_FALSE, File(record)) << "still not connected";
        EXPECT_EQ(L"Unable to Connect to Outlook.", LastError().description);
    }
}

TEST_F(PloverTest, MembersBeforeConnectAnswerWithoutTouchingOutlook)
{
    GodwitRecord record;
    record.Type(GODWIT_TYPE_TODO).Text(DISPID_GODWIT_BODY, L"call the bank");
    EXPECT_EQ(S_FALSE, File(record));
    QuiComTesting::ErrorRecord error = LastError();
    EXPECT_EQ(L"Unable to Connect to Outlook.", error.description);
    EXPECT_EQ(L"Quillmate.Plover.1", error.source);
    EXPECT_TRUE(IsEqualGUID(IID_IPlover, error.guid));

    Variant value;
    QuiComTesting::ExcepInfo exception;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(DISP_E_EXCEPTION, m_plover->Invoke(DISPID_PLOVER_CONTACTS, IID_NULL, LOCALE_USER_DEFAULT,
                                                 DISPATCH_PROPERTYGET, &none, &value, &exception, nullptr));
    EXPECT_EQ(E_POINTER, exception.scode);
    EXPECT_STREQ(L"Unable to Connect to Outlook.", exception.bstrDescription);

    Variant text(L"Alice Smith");
    struct Row {
        DISPID id;
        bool property;
        const VARIANT* argument;
    } quiet[] = {
        {DISPID_PLOVER_FOLDERS, true, nullptr},
        {DISPID_PLOVER_CREATECONTACT, false, &text},
        {DISPID_PLOVER_CREATECATEGORY, false, &text},
    };
    for (const Row& row : quiet) {
        SCOPED_TRACE(row.id);
        Variant result;
        HRESULT hr = row.property ? Get(row.id, &result)
                                  : QuiComTesting::CallMethod(m_plover.Get(), row.id, {row.argument}, &result);
        EXPECT_EQ(S_OK, hr);
        EXPECT_EQ(VT_EMPTY, result.vt);
        EXPECT_EQ(L"", LastError().description);
    }
    EXPECT_EQ(0u, m_outlook.RecordCount()) << "Outlook was never started";
}

TEST_F(PloverTest, ContactsAsksForTheFolderAndAnswersNoValue)
{
    ASSERT_EQ(S_OK, Connect());
    Variant value;
    EXPECT_EQ(S_OK, Get(DISPID_PLOVER_CONTACTS, &value));
    EXPECT_EQ(VT_EMPTY, value.vt);
}

TEST_F(PloverTest, NullRecordIsRefusedWithItsOwnText)
{
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ(S_FALSE, File(nullptr));
    QuiComTesting::ErrorRecord error = LastError();
    EXPECT_EQ(L"Null keynote parameter passed to FileKeynote()", error.description);
    EXPECT_EQ(0x57u, error.helpContext);
    EXPECT_EQ(1u, m_outlook.RecordCount()) << "the logon alone";
}

TEST_F(PloverTest, OpenOutlookStartsTheProgramAppPathsNames)
{
    HANDLE started = CreateEventA(nullptr, FALSE, FALSE, STANDIN_STARTED_EVENT);
    ASSERT_NE(nullptr, started);
    ASSERT_EQ(S_OK, Call(DISPID_PLOVER_OPENOUTLOOK));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(started, 60000));
    CloseHandle(started);
    EXPECT_THAT(m_outlook.Dump(), ElementsAre("0001 program started Version=9.0.0.3821"));

    m_outlook.SetProgram(Build::None);
    EXPECT_EQ(S_FALSE, Call(DISPID_PLOVER_OPENOUTLOOK));
    EXPECT_EQ(L"Unable to launch Microsoft Outlook.", LastError().description);
}
