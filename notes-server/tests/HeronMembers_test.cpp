// The members before any connect: argument checks, the error convention
// and its texts as a late-bound caller reads them.
#include <gtest/gtest.h>

#include <string>

#include "Heron.h"
#include "HeronFixture.h"
#include "QuiFakeDispatch.h"

namespace {

using QuiComTesting::LastError;
using QuiComTesting::Variant;

TEST_F(HeronTest, MembersNeedingNotesFailBeforeConnect)
{
    struct Row {
        DISPID id;
        bool property;
    } rows[] = {{DISPID_HERON_CONTACTS, true},         {DISPID_HERON_TODOCATEGORIES, true},
                {DISPID_HERON_OPENNOTES, false},       {DISPID_HERON_JOURNALCATEGORIES, true},
                {DISPID_HERON_GETMODIFIEDCONTACTS, false}, {DISPID_HERON_GETMODIFIEDJOURNALCATEGORIES, false},
                {DISPID_HERON_CALENDARPREFS, true},    {DISPID_HERON_USERINFO, true},
                {DISPID_HERON_NOTESVERSION, true},     {DISPID_HERON_SERVERS, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        Variant value;
        HRESULT hr = row.property ? Get(row.id, &value) : Call(row.id);
        EXPECT_EQ(DISP_E_EXCEPTION, hr);
        QuiComTesting::ErrorRecord error = LastError();
        ASSERT_TRUE(error.present);
        EXPECT_EQ(L"Not Connected to Lotus Notes.", error.description);
        EXPECT_EQ(L"Heron.Heron.1", error.source);
        EXPECT_TRUE(IsEqualGUID(IID_IHeron, error.guid));
    }
}

TEST_F(HeronTest, ModifiedTodoCategoriesAlwaysFail)
{
    Variant result(L"untouched");
    EXPECT_EQ(DISP_E_EXCEPTION, Call(DISPID_HERON_GETMODIFIEDTODOCATEGORIES, {}, &result));
    QuiComTesting::ErrorRecord error = LastError();
    ASSERT_TRUE(error.present);
    EXPECT_EQ(L"Retrieving Database Folders", error.description);
    EXPECT_EQ(0u, error.helpContext);
}

TEST_F(HeronTest, NullKeynoteIsRefused)
{
    struct Row {
        DISPID id;
        const wchar_t* text;
    } rows[] = {{DISPID_HERON_FILEKEYNOTE, L"Null keynote parameter passed to FileKeynote()"},
                {DISPID_HERON_QUICKCONFLICTCHECK, L"Null keynote parameter passed to QuickConflictCheck()"}};
    for (const Row& row : rows) {
        Variant none;
        none.vt = VT_DISPATCH;
        none.pdispVal = nullptr;
        EXPECT_EQ(static_cast<HRESULT>(ERROR_INVALID_PARAMETER), Call(row.id, {&none})) << row.id;
        QuiComTesting::ErrorRecord error = LastError();
        ASSERT_TRUE(error.present) << row.id;
        EXPECT_EQ(row.text, error.description);
    }
}

TEST_F(HeronTest, CreateContactTakesOnlyText)
{
    Variant number(5L);
    Variant empty;
    Variant flag;
    flag.vt = VT_BOOL;
    flag.boolVal = VARIANT_TRUE;
    for (const VARIANT* argument : {static_cast<const VARIANT*>(&number), static_cast<const VARIANT*>(&empty),
                                    static_cast<const VARIANT*>(&flag)}) {
        EXPECT_EQ(static_cast<HRESULT>(ERROR_INVALID_PARAMETER), Call(DISPID_HERON_CREATECONTACT, {argument}))
            << argument->vt;
        EXPECT_FALSE(LastError().present) << "no error information for a wrong type";
    }
    Variant text(L"Ann Lee");
    EXPECT_EQ(DISP_E_EXCEPTION, Call(DISPID_HERON_CREATECONTACT, {&text}));
    EXPECT_EQ(L"Not Connected to Lotus Notes.", LastError().description);
}

TEST_F(HeronTest, QuickConflictCheckOfARecordWithoutErrorProperty)
{
    QuiComTesting::FakeDispatch record({{L"Type", 7, 4L}, {L"StartDate", 8, 1L}});
    Variant argument;
    argument.vt = VT_DISPATCH;
    argument.pdispVal = &record;
    record.AddRef();
    EXPECT_EQ(S_OK, Call(DISPID_HERON_QUICKCONFLICTCHECK, {&argument}));
    EXPECT_EQ(1, record.Lookups() > 0 ? 1 : 0);
    // The object keeps the record it resolved names on: release it first.
    Release();
}

}  // namespace
