#include <gtest/gtest.h>

#include <olectl.h>

#include <cmath>
#include <string>

#include "Godwit.h"
#include "GodwitDispIds.h"
#include "QuiComTesting.h"

using QuiComTesting::CallMethod;
using QuiComTesting::GetProperty;
using QuiComTesting::IdOfName;
using QuiComTesting::Ptr;
using QuiComTesting::PutProperty;
using QuiComTesting::Variant;

namespace {

struct Member {
    const wchar_t* name;
    DISPID id;
    VARTYPE vt;  // VT_VARIANT: any; VT_EMPTY: a method
};

// The contract: the main program and Finch call these DISPIDs with these
// types, Heron and Plover resolve these names.
const Member kMembers[] = {
    {L"AlarmAdvance", 1, VT_I4},      {L"AlarmAdvanceUnit", 2, VT_I4}, {L"Body", 3, VT_BSTR},
    {L"Completed", 4, VT_I2},         {L"DueDate", 5, VT_DATE},        {L"StartDate", 6, VT_DATE},
    {L"EndDate", 7, VT_DATE},         {L"JournalCategory", 8, VT_VARIANT}, {L"Note", 9, VT_BSTR},
    {L"Priority", 10, VT_I2},         {L"TaskCategory", 11, VT_VARIANT}, {L"Contacts", 12, VT_VARIANT},
    {L"CCs", 13, VT_VARIANT},         {L"Private", 14, VT_I2},         {L"Pencil", 15, VT_I2},
    {L"Type", 16, VT_I4},             {L"BCCs", 17, VT_VARIANT},       {L"Recipients", 18, VT_VARIANT},
    {L"Database", 19, VT_VARIANT},    {L"Attachments", 20, VT_VARIANT}, {L"AlarmAdvanceDate", 21, VT_VARIANT},
    {L"Error", 22, VT_VARIANT},       {L"SubType", 23, VT_I4},         {L"AddSubTypeBit", 24, VT_EMPTY},
    {L"AddTypeBit", 25, VT_EMPTY},    {L"AboutBox", DISPID_ABOUTBOX, VT_EMPTY},
};

std::string Name(const wchar_t* wide)
{
    return std::string(wide, wide + wcslen(wide));
}

std::wstring Text(const VARIANT& value)
{
    return value.bstrVal ? std::wstring(value.bstrVal, SysStringLen(value.bstrVal)) : std::wstring();
}

// A sample value of each declared type, and how to recognise it.
void SampleOf(VARTYPE vt, int seed, VARIANT* value)
{
    VariantClear(value);
    switch (vt) {
    case VT_I4: value->vt = VT_I4, value->lVal = 100000 + seed; break;
    case VT_I2: value->vt = VT_I2, value->iVal = static_cast<SHORT>(seed); break;
    case VT_DATE: value->vt = VT_DATE, value->date = 45000.25 + seed; break;
    default: value->vt = VT_BSTR, value->bstrVal = SysAllocString(std::to_wstring(seed).c_str()); break;
    }
}

void ExpectSame(const VARIANT& expected, const VARIANT& actual)
{
    ASSERT_EQ(expected.vt, actual.vt);
    switch (expected.vt) {
    case VT_I4: EXPECT_EQ(expected.lVal, actual.lVal); break;
    case VT_I2: EXPECT_EQ(expected.iVal, actual.iVal); break;
    case VT_DATE: EXPECT_EQ(expected.date, actual.date); break;
    default: EXPECT_EQ(Text(expected), Text(actual)); break;
    }
}

class GodwitRecord : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(m_apartment.Result());
        ASSERT_TRUE(m_library.Loaded());
        ASSERT_HRESULT_SUCCEEDED(NewRecord(m_record.Out()));
    }

    HRESULT NewRecord(IDispatch** out)
    {
        return m_library.Create(CLSID_GodwitCtrl, IID_IDispatch, reinterpret_cast<void**>(out));
    }

    QuiComTesting::Apartment m_apartment;
    QuiComTesting::ServerLibrary m_library{(QuiComTesting::ProgramFolder() + "Godwit.ocx").c_str()};
    Ptr<IDispatch> m_record;
};

}  // namespace

TEST_F(GodwitRecord, EveryNameResolvesToItsContractDispid)
{
    for (const Member& member : kMembers) {
        SCOPED_TRACE(Name(member.name));
        EXPECT_EQ(member.id, IdOfName(m_record.Get(), member.name));
    }
    EXPECT_EQ(DISPID_UNKNOWN, IdOfName(m_record.Get(), L"Subject"));
}

TEST_F(GodwitRecord, NewRecordIsEmpty)
{
    for (const Member& member : kMembers) {
        if (member.vt == VT_EMPTY)
            continue;
        SCOPED_TRACE(Name(member.name));
        Variant value;
        ASSERT_EQ(S_OK, GetProperty(m_record.Get(), member.id, &value));
        EXPECT_EQ(member.vt == VT_VARIANT ? VT_EMPTY : member.vt, value.vt);
        switch (value.vt) {
        case VT_I4: EXPECT_EQ(0, value.lVal); break;
        case VT_I2: EXPECT_EQ(0, value.iVal); break;
        case VT_DATE: EXPECT_EQ(0.0, value.date); break;
        case VT_BSTR: EXPECT_EQ(L"", Text(value)); break;
        }
    }
}

TEST_F(GodwitRecord, EveryPropertyKeepsWhatItIsGivenByDispidAndByName)
{
    int seed = 1;
    for (const Member& member : kMembers) {
        if (member.vt == VT_EMPTY)
            continue;
        SCOPED_TRACE(Name(member.name));
        Variant byId, byName, back;
        SampleOf(member.vt, seed++, &byId);
        ASSERT_EQ(S_OK, PutProperty(m_record.Get(), member.id, byId));
        ASSERT_EQ(S_OK, GetProperty(m_record.Get(), IdOfName(m_record.Get(), member.name), &back));
        ExpectSame(byId, back);

        SampleOf(member.vt, seed++, &byName);
        ASSERT_EQ(S_OK, PutProperty(m_record.Get(), IdOfName(m_record.Get(), member.name), byName));
        ASSERT_EQ(S_OK, GetProperty(m_record.Get(), member.id, &back));
        ExpectSame(byName, back);
    }
    // No two properties share a slot.
    seed = 1;
    for (const Member& member : kMembers) {
        if (member.vt == VT_EMPTY)
            continue;
        SCOPED_TRACE(Name(member.name));
        Variant expected, back;
        seed++;
        SampleOf(member.vt, seed++, &expected);
        ASSERT_EQ(S_OK, GetProperty(m_record.Get(), member.id, &back));
        ExpectSame(expected, back);
    }
}

TEST_F(GodwitRecord, PutsAreCoercedToTheDeclaredType)
{
    struct Row {
        DISPID id;
        VARTYPE givenVt;
        const wchar_t* givenText;
        double givenNumber;
        HRESULT expected;
        double stored;
    } rows[] = {
        {DISPID_GODWIT_DUEDATE, VT_BSTR, L"1/5/2024", 0, S_OK, 45296.0},
        {DISPID_GODWIT_STARTDATE, VT_BSTR, L"2024-01-05 13:30", 0, S_OK, 45296.5625},
        {DISPID_GODWIT_ENDDATE, VT_R8, nullptr, 45296.75, S_OK, 45296.75},
        {DISPID_GODWIT_ALARMADVANCE, VT_I2, nullptr, -1, S_OK, -1},
        {DISPID_GODWIT_TYPE, VT_R8, nullptr, 4.0, S_OK, 4},
        {DISPID_GODWIT_PRIORITY, VT_BSTR, L"3", 0, S_OK, 3},
        {DISPID_GODWIT_PRIORITY, VT_I4, nullptr, 2, S_OK, 2},
        {DISPID_GODWIT_COMPLETED, VT_BOOL, nullptr, VARIANT_TRUE, S_OK, -1},
        {DISPID_GODWIT_PRIORITY, VT_BSTR, L"high", 0, DISP_E_TYPEMISMATCH, 2},
        {DISPID_GODWIT_PRIORITY, VT_I4, nullptr, 70000, DISP_E_OVERFLOW, 2},
        {DISPID_GODWIT_DUEDATE, VT_BSTR, L"no date", 0, DISP_E_TYPEMISMATCH, 45296.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        Variant given, back;
        given.vt = row.givenVt;
        switch (row.givenVt) {
        case VT_BSTR: given.bstrVal = SysAllocString(row.givenText); break;
        case VT_R8: given.dblVal = row.givenNumber; break;
        case VT_I2: given.iVal = static_cast<SHORT>(row.givenNumber); break;
        case VT_I4: given.lVal = static_cast<LONG>(row.givenNumber); break;
        case VT_BOOL: given.boolVal = static_cast<VARIANT_BOOL>(row.givenNumber); break;
        }
        EXPECT_EQ(row.expected, PutProperty(m_record.Get(), row.id, given));
        ASSERT_EQ(S_OK, GetProperty(m_record.Get(), row.id, &back));
        ASSERT_EQ(S_OK, VariantChangeType(&back, &back, 0, VT_R8));
        EXPECT_DOUBLE_EQ(row.stored, back.dblVal);
    }
}

TEST_F(GodwitRecord, BitMethodsOrIntoTypeAndSubType)
{
    struct Row {
        DISPID method;
        long bit;
        long type;
        long subType;
    } rows[] = {
        {DISPID_GODWIT_ADDTYPEBIT, GODWIT_TYPE_TODO, 0x01, 0},
        {DISPID_GODWIT_ADDTYPEBIT, GODWIT_TYPE_CALENDAR, 0x05, 0},
        {DISPID_GODWIT_ADDTYPEBIT, GODWIT_TYPE_TODO, 0x05, 0},
        {DISPID_GODWIT_ADDTYPEBIT, 0, 0x05, 0},
        {DISPID_GODWIT_ADDSUBTYPEBIT, 0x100, 0x05, 0x100},
        {DISPID_GODWIT_ADDSUBTYPEBIT, 0x1000, 0x05, 0x1100},
        {DISPID_GODWIT_ADDTYPEBIT, GODWIT_TYPE_MEMO | GODWIT_TYPE_MAIL, 0x1d, 0x1100},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        Variant bit(row.bit), type, subType;
        ASSERT_EQ(S_OK, CallMethod(m_record.Get(), row.method, {&bit}));
        ASSERT_EQ(S_OK, GetProperty(m_record.Get(), DISPID_GODWIT_TYPE, &type));
        ASSERT_EQ(S_OK, GetProperty(m_record.Get(), DISPID_GODWIT_SUBTYPE, &subType));
        EXPECT_EQ(row.type, type.lVal);
        EXPECT_EQ(row.subType, subType.lVal);
    }
    Variant shortBit;
    shortBit.vt = VT_I2;
    shortBit.iVal = 0x20;
    ASSERT_EQ(S_OK, CallMethod(m_record.Get(), DISPID_GODWIT_ADDTYPEBIT, {&shortBit}));
    Variant type;
    ASSERT_EQ(S_OK, GetProperty(m_record.Get(), DISPID_GODWIT_TYPE, &type));
    EXPECT_EQ(0x3d, type.lVal);
}

TEST_F(GodwitRecord, UnknownMembersAreRefused)
{
    struct Row {
        DISPID id;
        WORD flags;
        HRESULT expected;
    } rows[] = {
        {0, DISPATCH_PROPERTYGET, DISP_E_MEMBERNOTFOUND},
        {26, DISPATCH_PROPERTYGET, DISP_E_MEMBERNOTFOUND},
        {100, DISPATCH_METHOD, DISP_E_MEMBERNOTFOUND},
        {DISPID_UNKNOWN, DISPATCH_PROPERTYGET, DISP_E_MEMBERNOTFOUND},
        {DISPID_GODWIT_ADDTYPEBIT, DISPATCH_PROPERTYGET, DISP_E_MEMBERNOTFOUND},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        Variant result;
        EXPECT_EQ(row.expected,
                  m_record->Invoke(row.id, IID_NULL, LOCALE_USER_DEFAULT, row.flags, &none, &result, nullptr, nullptr));
        EXPECT_EQ(VT_EMPTY, result.vt);
    }
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, CallMethod(m_record.Get(), DISPID_GODWIT_ADDTYPEBIT, {}));
}

TEST_F(GodwitRecord, VariantPropertiesKeepListsAndOwnTheirValues)
{
    Variant list;
    list.vt = VT_ARRAY | VT_BSTR;
    list.parray = QuiComTesting::TextArray({L"Business", L"Calls", L"\"A;B\""});
    ASSERT_EQ(S_OK, PutProperty(m_record.Get(), DISPID_GODWIT_TASKCATEGORY, list));
    VariantClear(&list);

    BSTR caller = SysAllocString(L"Alice##names.nsf##1234");
    Variant byRef;
    byRef.vt = VT_BYREF | VT_BSTR;
    byRef.pbstrVal = &caller;
    ASSERT_EQ(S_OK, PutProperty(m_record.Get(), DISPID_GODWIT_CONTACTS, byRef));
    byRef.vt = VT_EMPTY;
    SysFreeString(caller);

    Variant back;
    ASSERT_EQ(S_OK, GetProperty(m_record.Get(), DISPID_GODWIT_TASKCATEGORY, &back));
    ASSERT_EQ(VT_ARRAY | VT_BSTR, back.vt);
    LONG upper = -1;
    SafeArrayGetUBound(back.parray, 1, &upper);
    EXPECT_EQ(2, upper);
    LONG index = 2;
    BSTR third = nullptr;
    SafeArrayGetElement(back.parray, &index, &third);
    EXPECT_STREQ(L"\"A;B\"", third);
    SysFreeString(third);

    ASSERT_EQ(S_OK, GetProperty(m_record.Get(), DISPID_GODWIT_CONTACTS, &back));
    ASSERT_EQ(VT_BSTR, back.vt);
    EXPECT_EQ(L"Alice##names.nsf##1234", Text(back));
}

TEST_F(GodwitRecord, RecordsDoNotShareValues)
{
    Ptr<IDispatch> other;
    ASSERT_HRESULT_SUCCEEDED(NewRecord(other.Out()));
    Variant body(L"first record"), bit(long{GODWIT_TYPE_TODO});
    ASSERT_EQ(S_OK, PutProperty(m_record.Get(), DISPID_GODWIT_BODY, body));
    ASSERT_EQ(S_OK, CallMethod(m_record.Get(), DISPID_GODWIT_ADDTYPEBIT, {&bit}));

    Variant otherBody, otherType;
    ASSERT_EQ(S_OK, GetProperty(other.Get(), DISPID_GODWIT_BODY, &otherBody));
    ASSERT_EQ(S_OK, GetProperty(other.Get(), DISPID_GODWIT_TYPE, &otherType));
    EXPECT_EQ(L"", Text(otherBody));
    EXPECT_EQ(0, otherType.lVal);
}

TEST_F(GodwitRecord, EmbeddedNulsSurviveInTexts)
{
    Variant body;
    body.vt = VT_BSTR;
    body.bstrVal = SysAllocStringLen(L"a\0b", 3);
    ASSERT_EQ(S_OK, PutProperty(m_record.Get(), DISPID_GODWIT_BODY, body));
    Variant back;
    ASSERT_EQ(S_OK, GetProperty(m_record.Get(), DISPID_GODWIT_BODY, &back));
    EXPECT_EQ(std::wstring(L"a\0b", 3), Text(back));
}

TEST_F(GodwitRecord, InvisibleControlWithoutEvents)
{
    Ptr<IOleObject> ole;
    ASSERT_HRESULT_SUCCEEDED(m_record->QueryInterface(IID_IOleObject, ole.OutVoid()));
    DWORD status = 0;
    ASSERT_HRESULT_SUCCEEDED(ole->GetMiscStatus(DVASPECT_CONTENT, &status));
    EXPECT_EQ(132497u, status) << "the value registered under MiscStatus\\1";
    EXPECT_TRUE(status & OLEMISC_INVISIBLEATRUNTIME);

    Ptr<IProvideClassInfo2> info;
    ASSERT_HRESULT_SUCCEEDED(m_record->QueryInterface(IID_IProvideClassInfo2, info.OutVoid()));
    GUID events = GUID_NULL;
    EXPECT_EQ(E_INVALIDARG, info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events));
    Ptr<IConnectionPointContainer> container;
    EXPECT_EQ(E_NOINTERFACE, m_record->QueryInterface(IID_IConnectionPointContainer, container.OutVoid()));
}
