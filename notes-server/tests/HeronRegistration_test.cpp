// What registration writes and removes, and the type library's description
// of every member: the contract with the main program's Notes edition.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Heron.h"
#include "HeronFixture.h"
#include "QuiRegistryChecks.h"

namespace {

using QuiComTesting::ExpectEntries;
using QuiComTesting::ExpectGone;
using QuiComTesting::RegEntry;

const std::string kClsidKey = "CLSID\\{DF386593-0F9F-11D2-9560-00A0247B3DBA}";
const std::string kTypeLibKey = "TypeLib\\{DF386585-0F9F-11D2-9560-00A0247B3DBA}";

TEST_F(HeronTest, RegistrationWritesTheClassKeys)
{
    std::string module = QuiComTesting::ProgramFolder() + "Heron.dll";
    ExpectEntries({
        {"Heron.Heron.1", "", "Quillmate Heron R5 Object"},
        {"Heron.Heron.1\\CLSID", "", "{DF386593-0F9F-11D2-9560-00A0247B3DBA}"},
        {"Heron.Heron", "", "Quillmate Heron Object"},
        {"Heron.Heron\\CLSID", "", "{DF386593-0F9F-11D2-9560-00A0247B3DBA}"},
        {"Heron.Heron\\CurVer", "", "Heron.Heron.1"},
        {kClsidKey, "", "Quillmate Heron Class"},
        {kClsidKey + "\\ProgID", "", "Heron.Heron.1"},
        {kClsidKey + "\\VersionIndependentProgID", "", "Heron.Heron"},
        {kClsidKey + "\\Programmable", "", "<key>"},
        {kClsidKey + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {kTypeLibKey + "\\1.0", "", "Heron 1.0 Type Library"},
        {"Interface\\{DF386592-0F9F-11D2-9560-00A0247B3DBA}", "", "IHeron"},
    });
    EXPECT_STRCASEEQ(module.c_str(),
                     QuiComTesting::RegText(HKEY_CLASSES_ROOT, kClsidKey + "\\InprocServer32").c_str());
}

TEST_F(HeronTest, UnregistrationRemovesTheClassButKeepsTheTypeLibrary)
{
    ASSERT_EQ(S_OK, m_server.Unregister());
    ExpectGone({kClsidKey, "Heron.Heron.1", "Heron.Heron"});
    EXPECT_TRUE(QuiComTesting::KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
    EXPECT_TRUE(QuiComTesting::KeyExists(HKEY_CLASSES_ROOT, kTypeLibKey + "\\1.0"));
    CLSID clsid;
    EXPECT_NE(S_OK, CLSIDFromProgID(L"" HERON_PROGID, &clsid));
    ASSERT_EQ(S_OK, m_server.Register());
}

TEST_F(HeronTest, ModuleUnloadsOnlyWithoutObjects)
{
    Heron();
    EXPECT_EQ(S_FALSE, m_server.CanUnloadNow());
    Release();
    EXPECT_EQ(S_OK, m_server.CanUnloadNow());
}

struct Member {
    const wchar_t* name;
    DISPID id;
    INVOKEKIND kind;
    std::vector<VARTYPE> params;  // in order; the retval last
    const wchar_t* help;
};

const VARTYPE kVariantOut = VT_PTR;  // VARIANT* and long* are pointers in the description

// The dual interface's own description (the vtable view), not the
// dispatch view that IDispatch::GetTypeInfo hands out.
void InterfaceTypeInfo(IDispatch* heron, QuiComTesting::Ptr<ITypeInfo>* vtable)
{
    QuiComTesting::Ptr<ITypeInfo> dispatch;
    ASSERT_EQ(S_OK, heron->GetTypeInfo(0, LOCALE_USER_DEFAULT, dispatch.Out()));
    HREFTYPE ref = 0;
    ASSERT_EQ(S_OK, dispatch->GetRefTypeOfImplType(-1, &ref));
    ASSERT_EQ(S_OK, dispatch->GetRefTypeInfo(ref, vtable->Out()));
}

TEST_F(HeronTest, EveryMemberHasItsDispIdAndTypes)
{
    const Member members[] = {
        {L"Contacts", 1, INVOKE_PROPERTYGET, {kVariantOut}, L"property Contacts"},
        {L"TodoCategories", 2, INVOKE_PROPERTYGET, {kVariantOut}, L"property TodoCategories"},
        {L"Connect", 3, INVOKE_FUNC, {VT_I4}, L"method Connect"},
        {L"FileKeynote", 4, INVOKE_FUNC, {VT_DISPATCH}, L"method FileKeynote"},
        {L"OpenNotes", 5, INVOKE_FUNC, {}, L"method OpenNotes"},
        {L"JournalCategories", 6, INVOKE_PROPERTYGET, {kVariantOut}, L"property JournalCategories"},
        {L"CreateJournalFolder", 7, INVOKE_FUNC, {VT_BSTR}, L"method CreateJournalFolder"},
        {L"GetModifiedContacts", 8, INVOKE_FUNC, {kVariantOut}, L"method GetModifiedContacts"},
        {L"GetModifiedJournalCategories", 9, INVOKE_FUNC, {kVariantOut}, L"method GetModifiedJournalCategories"},
        {L"GetModifiedDatabaseFolders", 10, INVOKE_FUNC, {VT_BSTR, kVariantOut},
         L"method GetModifiedDatabaseFolders"},
        {L"GetModifiedTodoCategories", 11, INVOKE_FUNC, {kVariantOut}, L"method GetModifiedTodoCategories"},
        {L"CalendarPrefs", 12, INVOKE_PROPERTYGET, {kVariantOut}, L"property CalendarPrefs"},
        {L"UserInfo", 13, INVOKE_PROPERTYGET, {kVariantOut}, L"property UserInfo"},
        {L"CreateContact", 14, INVOKE_FUNC, {kVariantOut}, L"method CreateContact"},
        {L"NotesVersion", 15, INVOKE_PROPERTYGET, {kVariantOut}, L"property NotesVersion"},
        {L"AddTaskCategory", 16, INVOKE_FUNC, {VT_BSTR}, L"method AddTaskCategory"},
        {L"QuickConflictCheck", 17, INVOKE_FUNC, {VT_DISPATCH}, L"method QuickConflictCheck"},
        {L"Servers", 18, INVOKE_PROPERTYGET, {kVariantOut}, L"property Servers"},
        {L"GetCalendarDay", 19, INVOKE_FUNC, {VT_VARIANT, kVariantOut}, L"method GetCalendarDay"},
    };
    QuiComTesting::Ptr<ITypeInfo> info;
    InterfaceTypeInfo(Heron(), &info);
    ASSERT_TRUE(info);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(IID_IHeron, attr->guid));
    EXPECT_EQ(TKIND_INTERFACE, attr->typekind);
    EXPECT_EQ(19, attr->cFuncs);
    info->ReleaseTypeAttr(attr);

    for (const Member& member : members) {
        SCOPED_TRACE(HeronTest::Narrow(member.name));
        EXPECT_EQ(member.id, QuiComTesting::IdOfName(Heron(), member.name));
        UINT index = 0;
        FUNCDESC* func = nullptr;
        for (index = 0; index < 19; ++index) {
            ASSERT_EQ(S_OK, info->GetFuncDesc(index, &func));
            if (func->memid == member.id)
                break;
            info->ReleaseFuncDesc(func);
            func = nullptr;
        }
        ASSERT_NE(nullptr, func);
        EXPECT_EQ(static_cast<UINT>(member.id - 1), index) << "vtable order is DISPID order";
        EXPECT_EQ(member.kind, func->invkind);
        EXPECT_EQ(VT_HRESULT, func->elemdescFunc.tdesc.vt);
        ASSERT_EQ(member.params.size(), static_cast<size_t>(func->cParams));
        for (SHORT i = 0; i < func->cParams; ++i)
            EXPECT_EQ(member.params[i], func->lprgelemdescParam[i].tdesc.vt) << "parameter " << i;
        if (func->cParams && member.params.back() == kVariantOut) {
            const TYPEDESC* pointee = func->lprgelemdescParam[func->cParams - 1].tdesc.lptdesc;
            EXPECT_EQ(member.id == 15 ? VT_I4 : VT_VARIANT, pointee->vt);
        }
        BSTR help = nullptr;
        EXPECT_EQ(S_OK, info->GetDocumentation(member.id, nullptr, &help, nullptr, nullptr));
        EXPECT_STREQ(member.help, help);
        SysFreeString(help);
        info->ReleaseFuncDesc(func);
    }
}

TEST_F(HeronTest, ParameterNames)
{
    QuiComTesting::Ptr<ITypeInfo> info;
    InterfaceTypeInfo(Heron(), &info);
    ASSERT_TRUE(info);
    struct Row {
        DISPID id;
        INVOKEKIND kind;
        const wchar_t* parameter;
    } rows[] = {{1, INVOKE_PROPERTYGET, L"pVal"}, {13, INVOKE_PROPERTYGET, L"pVal"},
                {15, INVOKE_PROPERTYGET, L"pVal"}, {7, INVOKE_FUNC, L"folderName"}};
    for (const Row& row : rows) {
        BSTR names[2] = {};
        UINT count = 0;
        EXPECT_EQ(S_OK, info->GetNames(row.id, names, 2, &count));
        ASSERT_EQ(2u, count) << row.id;
        EXPECT_STREQ(row.parameter, names[1]) << row.id;
        SysFreeString(names[0]);
        SysFreeString(names[1]);
    }
}

TEST_F(HeronTest, TypeLibraryAndClassHelpStrings)
{
    QuiComTesting::Ptr<ITypeInfo> info;
    ASSERT_EQ(S_OK, Heron()->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Out()));
    QuiComTesting::Ptr<ITypeLib> library;
    UINT index = 0;
    ASSERT_EQ(S_OK, info->GetContainingTypeLib(library.Out(), &index));
    struct Row {
        const GUID* guid;
        const wchar_t* name;
        const wchar_t* help;
    } rows[] = {{&CLSID_Heron, L"Heron", L"Heron Class"}, {&IID_IHeron, L"IHeron", L"IHeron Interface"}};
    for (const Row& row : rows) {
        QuiComTesting::Ptr<ITypeInfo> type;
        ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(*row.guid, type.Out()));
        BSTR name = nullptr, help = nullptr;
        EXPECT_EQ(S_OK, type->GetDocumentation(MEMBERID_NIL, &name, &help, nullptr, nullptr));
        EXPECT_STREQ(row.name, name);
        EXPECT_STREQ(row.help, help);
        SysFreeString(name);
        SysFreeString(help);
    }
    BSTR help = nullptr;
    EXPECT_EQ(S_OK, library->GetDocumentation(-1, nullptr, &help, nullptr, nullptr));
    EXPECT_STREQ(L"Heron 1.0 Type Library", help);
    SysFreeString(help);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(S_OK, library->GetLibAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(LIBID_HERONLib, attr->guid));
    EXPECT_EQ(1, attr->wMajorVerNum);
    EXPECT_EQ(0, attr->wMinorVerNum);
    library->ReleaseTLibAttr(attr);
}

}  // namespace
