// The drop fields' value adaptors: the values they read and write, the keep
// marker, and the flag word after the user's editing.
#include "DropProps.h"

#include "DropsTestSupport.h"
#include "FrameworkUtil.h"

#include <climits>

using namespace drops_test;

namespace {

const DATE kChristmas = 46016.0;   // 2025-12-25

COleVariant Date(DATE d)
{
    COleVariant v;
    v.vt = VT_DATE;
    v.date = d;
    return v;
}

COleVariant Null()
{
    COleVariant v;
    v.vt = VT_NULL;
    return v;
}

// A string array with the given lower bound.
COleVariant StringArray(std::initializer_list<const wchar_t*> texts, LONG lower = 0)
{
    SAFEARRAYBOUND bound = {static_cast<ULONG>(texts.size()), lower};
    SAFEARRAY* array = SafeArrayCreate(VT_BSTR, 1, &bound);
    LONG i = lower;
    for (const wchar_t* text : texts) {
        BSTR b = SysAllocString(text);
        SafeArrayPutElement(array, &i, b);
        SysFreeString(b);
        i++;
    }
    VARIANT v;
    v.vt = VT_ARRAY | VT_BSTR;
    v.parray = array;
    COleVariant owned;
    owned.Attach(v);
    return owned;
}

std::vector<std::string> ArrayTexts(const VARIANT& v)
{
    std::vector<std::string> out;
    EXPECT_EQ(VT_ARRAY | VT_BSTR, v.vt);
    if (v.vt != (VT_ARRAY | VT_BSTR))
        return out;
    LONG lower = -1, upper = -1;
    SafeArrayGetLBound(v.parray, 1, &lower);
    SafeArrayGetUBound(v.parray, 1, &upper);
    EXPECT_EQ(0, lower);
    for (LONG i = lower; i <= upper; i++) {
        BSTR b = nullptr;
        SafeArrayGetElement(v.parray, &i, &b);
        char text[64] = {};
        WideCharToMultiByte(CP_ACP, 0, b, -1, text, sizeof text, nullptr, nullptr);
        out.push_back(text);
        SysFreeString(b);
    }
    return out;
}

class DropPropsTest : public DropFixture {
protected:
    CButton other;
    void SetUp() override
    {
        DropFixture::SetUp();
        ASSERT_TRUE(other.Create("other", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(300, 10, 360, 30), &host, 2));
    }
};

} // namespace

TEST_F(DropPropsTest, KeepMarkerRoundTrip)
{
    CDateDrop field;
    ASSERT_TRUE(field.Create(10, 10, 0, &host, 310));
    CDateDropProp prop(&field);
    EXPECT_EQ(&prop, field.GetAdaptor());

    prop.SetValue(Date(-3.0));
    COleVariant out;
    prop.GetValue(out);
    EXPECT_EQ(VT_DATE, out.vt);
    EXPECT_EQ(-3.0, out.date);

    Type(field, "3 pm");
    COleVariant typed;
    prop.GetValue(typed);
    EXPECT_EQ(VT_DATE, typed.vt);
    EXPECT_GT(typed.date, 0.0) << "the user's date wins over the keep marker";

    // A VARIANT reused from the first read still holds -3.0.
    prop.GetValue(out);
    EXPECT_EQ(VT_DATE, out.vt);
    EXPECT_EQ(typed.date, out.date);

    other.SetFocus();
    prop.SetValue(Null());
    COleVariant empty;
    prop.GetValue(empty);
    EXPECT_EQ(VT_NULL, empty.vt);
    EXPECT_EQ(-1.0, empty.date);
}

TEST_F(DropPropsTest, DateValuesBothWays)
{
    CDateDrop field;
    ASSERT_TRUE(field.Create(10, 10, 0, &host, 310));
    CDateDropProp prop(&field);
    struct Row {
        const char* text;
        VARTYPE vt;
        DATE date;
    } rows[] = {
        {"", VT_NULL, -1.0},
        {"xq zzv", VT_NULL, -2.0},
    };
    for (const Row& row : rows) {
        field.SetText(row.text);
        COleVariant out;
        prop.GetValue(out);
        EXPECT_EQ(row.vt, out.vt) << row.text;
        EXPECT_EQ(row.date, out.date) << row.text;
    }
    prop.SetValue(COleVariant(kChristmas));   // a double converts
    CString expected;
    FormatVariantDate(kChristmas, expected);
    EXPECT_EQ(expected, field.GetText());
    prop.SetValue(Date(-3.0));
    EXPECT_EQ(expected, field.GetText()) << "-3.0 leaves the field alone";
}

TEST_F(DropPropsTest, UnconvertibleValueThrowsAndChangesNothing)
{
    CDateDrop field;
    ASSERT_TRUE(field.Create(10, 10, 0, &host, 310));
    CDateDropProp prop(&field);
    field.SetText("kept");
    bool thrown = false;
    try {
        prop.SetValue(COleVariant("not a date at all"));
    } catch (COleException* e) {
        thrown = true;
        e->Delete();
    }
    EXPECT_TRUE(thrown);
    EXPECT_EQ("kept", std::string(field.GetText()));
}

TEST_F(DropPropsTest, FlagsAfterTheUsersEdit)
{
    struct Row {
        int start;
        const char* typed;   // null: the user does not touch the field
        int expected;
    } rows[] = {
        {8, "changed", 4},
        {8, "", 8 | 4 | 16},
        {8, nullptr, 8},
        {0, "changed", 4},
        {16, "", 16 | 4},
    };
    for (const Row& row : rows) {
        CEditDrop field;
        ASSERT_TRUE(field.Create(10, 10, 120, 0, &host, 311, 0));
        CEditDropProp prop(&field);
        prop.SetValue(COleVariant("from the parser"));
        prop.SetFlags(row.start);
        if (row.typed)
            Type(field, row.typed);
        other.SetFocus();
        EXPECT_EQ(row.expected, prop.GetFlags()) << row.start << " " << (row.typed ? row.typed : "(untouched)");
        EXPECT_EQ(row.expected, prop.GetFlags()) << "a second read gives the same";
    }
}

TEST_F(DropPropsTest, DateAndTimeFlagsFollowTheSameRule)
{
    CDateDrop date;
    CTimeEdit time;
    ASSERT_TRUE(date.Create(10, 10, 0, &host, 312));
    ASSERT_TRUE(time.Create(10, 40, 0, &host, 313));
    CDateDropProp dateProp(&date);
    CTimeEditProp timeProp(&time);
    EXPECT_EQ(0, dateProp.SetValueAndFlags(Date(kChristmas), 8));
    EXPECT_EQ(0, timeProp.SetValueAndFlags(Date(0.5), 8));
    EXPECT_EQ(8, dateProp.GetFlags());
    EXPECT_EQ(8, timeProp.GetFlags());
    Type(date, "");
    Type(time, "4 pm");
    other.SetFocus();
    EXPECT_EQ(8 | 4 | 16, dateProp.GetFlags());
    EXPECT_EQ(4, timeProp.GetFlags());
}

TEST_F(DropPropsTest, TimeValuesBothWays)
{
    CTimeEdit field;
    ASSERT_TRUE(field.Create(10, 10, 0, &host, 313));
    CTimeEditProp prop(&field);
    EXPECT_EQ(&prop, field.GetAdaptor());
    prop.SetValue(Date(0.625));
    COleVariant out;
    prop.GetValue(out);
    EXPECT_EQ(VT_DATE, out.vt);
    EXPECT_DOUBLE_EQ(0.625, out.date);
    prop.SetValue(Null());
    EXPECT_EQ("", std::string(field.GetText()));
    field.SetText("whenever");
    prop.GetValue(out);
    EXPECT_EQ(VT_NULL, out.vt);
    EXPECT_EQ(-2.0, out.date);
}

TEST_F(DropPropsTest, EditValuesAreTexts)
{
    CEditDrop field;
    ASSERT_TRUE(field.Create(10, 10, 120, 0, &host, 311, 0));
    field.SetPromptText(CString("Subject"));
    CEditDropProp prop(&field);
    EXPECT_EQ(nullptr, field.GetAdaptor()) << "a text field needs no word from its pop-up";
    prop.SetValue(COleVariant(42L));
    EXPECT_EQ("42", std::string(field.GetText()));
    COleVariant out;
    prop.GetValue(out);
    EXPECT_EQ(VT_BSTR, out.vt);
    EXPECT_STREQ(L"42", out.bstrVal);
    prop.SetValue(COleVariant(""));
    EXPECT_TRUE(field.IsPromptShown());
    prop.GetValue(out);
    EXPECT_EQ(0u, SysStringLen(out.bstrVal)) << "the prompt is no value";
}

TEST_F(DropPropsTest, MultiValueOfAnEmptyFieldLeavesTheVariant)
{
    AddCategory("b", "Business");
    CMultiDrop field;
    ASSERT_TRUE(field.Create(10, 10, 150, 0, &host, 314, 0));
    CMultiDropProp prop(&field);
    EXPECT_EQ(&prop, field.GetAdaptor());
    prop.SetValue(StringArray({L"b"}));
    COleVariant out(123L);
    prop.GetValue(out);
    EXPECT_EQ(VT_I4, out.vt);
    EXPECT_EQ(123, out.lVal);
}

TEST_F(DropPropsTest, MultiValuesFromArraysAndSingleStrings)
{
    AddCategory("b", "Business");
    AddCategory("p", "Personal");
    AddCategory("h", "Holiday");
    struct Row {
        const char* name;
        COleVariant value;
        std::vector<std::string> chosen;   // after checking every offered item
    } rows[] = {
        {"array", StringArray({L"h", L"b"}), {"b", "h"}},
        {"single string", COleVariant("p"), {"p"}},
        {"one-based array", StringArray({L"p", L"h"}, 1), {"h", "p"}},
    };
    for (const Row& row : rows) {
        CMultiDrop field;
        ASSERT_TRUE(field.Create(10, 10, 150, 0, &host, 314, 0));
        CMultiDropProp prop(&field);
        prop.SetValue(row.value);
        for (const char* id : {"b", "p", "h"})
            prop.CheckItem(id, 0, nullptr, FALSE);
        COleVariant out;
        prop.GetValue(out);
        EXPECT_EQ(row.chosen, ArrayTexts(out)) << row.name;
    }
}

TEST_F(DropPropsTest, MultiEmptyArrayFromTheSmallestIndexIsAnEmptyList)
{
    AddCategory("b", "Business");
    CMultiDrop field;
    ASSERT_TRUE(field.Create(10, 10, 150, 0, &host, 314, 0));
    CMultiDropProp prop(&field);
    bool thrown = false;
    try {
        prop.SetValue(StringArray({}, LONG_MIN));
    } catch (COleException* e) {
        thrown = true;
        e->Delete();
    }
    EXPECT_FALSE(thrown) << "its upper bound wraps round to the largest index";
}

TEST_F(DropPropsTest, MultiArrayLabelledStringsIsTakenForWhatItHolds)
{
    CMultiDrop field;
    ASSERT_TRUE(field.Create(10, 10, 150, 0, &host, 314, 0));
    CMultiDropProp prop(&field);
    struct Row {
        VARTYPE held;
        VARTYPE label;
    } rows[] = {
        {VT_VARIANT, VT_BSTR},
        {VT_UI1, VT_BSTR},
        {VT_BSTR, VT_VARIANT},
        {VT_I4, VT_VARIANT},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.held);
        SAFEARRAYBOUND bound = {2, 0};
        VARIANT v;
        v.vt = VT_ARRAY | row.label;
        v.parray = SafeArrayCreate(row.held, 1, &bound);
        HRESULT hr = S_OK;
        try {
            prop.SetValue(v);
        } catch (COleException* e) {
            hr = e->m_sc;
            e->Delete();
        }
        EXPECT_EQ(DISP_E_TYPEMISMATCH, hr);
        v.vt = VT_ARRAY | row.held;
        VariantClear(&v);
    }
}

TEST_F(DropPropsTest, MultiArrayOfNumbersIsRefused)
{
    CMultiDrop field;
    ASSERT_TRUE(field.Create(10, 10, 150, 0, &host, 314, 0));
    CMultiDropProp prop(&field);
    SAFEARRAYBOUND bound = {2, 0};
    VARIANT v;
    v.vt = VT_ARRAY | VT_I4;
    v.parray = SafeArrayCreate(VT_I4, 1, &bound);
    COleVariant numbers;
    numbers.Attach(v);
    bool thrown = false;
    try {
        prop.SetValue(numbers);
    } catch (COleException* e) {
        thrown = true;
        e->Delete();
    }
    EXPECT_TRUE(thrown);
}

TEST_F(DropPropsTest, MultiItemCallsAddFlagsAndKeepNoKeyphrase)
{
    AddCategory("b", "Business");
    CMultiDrop field;
    ASSERT_TRUE(field.Create(10, 10, 150, 0, &host, 314, 0));
    CMultiDropProp prop(&field);
    prop.SetValue(COleVariant("b"));
    int data = 0;
    EXPECT_EQ(0, prop.CheckItem("b", 8, &data, TRUE));
    EXPECT_EQ(8, prop.GetFlags());
    EXPECT_EQ(&data, prop.GetItemData("b"));
    EXPECT_EQ(0, prop.UncheckItem("b", 4, TRUE));
    EXPECT_EQ(12, prop.GetFlags());
    EXPECT_EQ(nullptr, prop.GetItemData("b"));
    prop.SetKeyphraseId(77);
    EXPECT_EQ(0, prop.GetKeyphraseId());
    CStringArray ids;
    prop.GetItemIDs(ids);
    EXPECT_EQ(0, ids.GetSize());
}
