#include "VariantArray.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

std::vector<std::wstring> Elements(const VARIANT& array)
{
    std::vector<std::wstring> texts;
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(V_ARRAY(&array), 1, &lower);
    SafeArrayGetUBound(V_ARRAY(&array), 1, &upper);
    for (LONG i = lower; i <= upper; ++i) {
        BSTR text = nullptr;
        SafeArrayGetElement(V_ARRAY(&array), &i, &text);
        texts.emplace_back(text ? text : L"", SysStringLen(text));
        SysFreeString(text);
    }
    return texts;
}

std::wstring Joined(const VARIANT& array, HRESULT expected = S_OK)
{
    BSTR joined = reinterpret_cast<BSTR>(1);
    EXPECT_EQ(expected, QuiJoinStringArray(array, L';', &joined));
    std::wstring text = joined ? std::wstring(joined, SysStringLen(joined)) : L"<null>";
    SysFreeString(joined);
    return text;
}

// An array of strings from `lower` on.
VARIANT StringsFrom(LONG lower, std::vector<const wchar_t*> texts)
{
    VARIANT value;
    V_VT(&value) = VT_ARRAY | VT_BSTR;
    V_ARRAY(&value) = SafeArrayCreateVector(VT_BSTR, lower, static_cast<ULONG>(texts.size()));
    LONGLONG at = lower;
    for (const wchar_t* text : texts) {
        LONG index = static_cast<LONG>(at++);
        BSTR copy = SysAllocString(text);
        EXPECT_EQ(S_OK, SafeArrayPutElement(V_ARRAY(&value), &index, copy));
        SysFreeString(copy);
    }
    return value;
}

}  // namespace

TEST(VariantArray, AppendedStringsComeBackInOrderAndJoined)
{
    struct Row {
        std::vector<const char*> ansi;
        std::vector<std::wstring> elements;
        std::wstring joined;
        std::wstring separated;  // with ", " between the elements
    } rows[] = {
        {{}, {}, L"", L""},
        {{"Home", "Calls"}, {L"Home", L"Calls"}, L"Home;Calls;", L"Home, Calls"},
        {{""}, {L""}, L";", L""},
        {{"\"A;B\"", "Caf\xe9"}, {L"\"A;B\"", L"Caf\u00e9"}, L"\"A;B\";Caf\u00e9;", L"\"A;B\", Caf\u00e9"},
        {{nullptr}, {L""}, L";", L""},
        {{"a", "", "b"}, {L"a", L"", L"b"}, L"a;;b;", L"a, , b"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.joined);
        VARIANT array;
        V_VT(&array) = VT_I4;
        V_I4(&array) = 12;
        ASSERT_EQ(S_OK, QuiMakeStringArray(&array));
        EXPECT_EQ(VT_ARRAY | VT_BSTR, V_VT(&array));
        for (const char* text : row.ansi)
            ASSERT_EQ(S_OK, QuiAppendAnsiString(&array, text));
        EXPECT_EQ(row.elements, Elements(array));
        EXPECT_EQ(row.joined, Joined(array));
        BSTR separated = nullptr;
        EXPECT_EQ(S_OK, QuiJoinStrings(array, L", ", &separated));
        EXPECT_EQ(row.separated, std::wstring(separated, SysStringLen(separated)));
        SysFreeString(separated);
        VariantClear(&array);
    }
}

TEST(VariantArray, OnlyOneDimensionalStringArraysJoin)
{
    VARIANT value;
    VariantInit(&value);
    EXPECT_FALSE(QuiIsStringArray(value));
    EXPECT_EQ(L"<null>", Joined(value, E_INVALIDARG));
    EXPECT_EQ(E_INVALIDARG, QuiAppendString(&value, L"x"));

    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = SysAllocString(L"Home");
    EXPECT_EQ(L"<null>", Joined(value, E_INVALIDARG));
    VariantClear(&value);

    SAFEARRAYBOUND square[2] = {{2, 0}, {2, 0}};
    V_VT(&value) = VT_ARRAY | VT_BSTR;
    V_ARRAY(&value) = SafeArrayCreate(VT_BSTR, 2, square);
    EXPECT_FALSE(QuiIsStringArray(value));
    EXPECT_EQ(L"<null>", Joined(value, E_INVALIDARG));
    VariantClear(&value);

    V_VT(&value) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(&value) = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    EXPECT_EQ(L"<null>", Joined(value, E_INVALIDARG));
    VariantClear(&value);
}

TEST(VariantArray, AnArrayLabelledStringsIsTakenForWhatItHolds)
{
    // Copied out as strings, its elements would land on room for a string.
    for (VARTYPE held : {VT_VARIANT, VT_UI1, VT_I4, VT_R8}) {
        SCOPED_TRACE(held);
        VARIANT value;
        V_VT(&value) = VT_ARRAY | VT_BSTR;
        V_ARRAY(&value) = SafeArrayCreateVector(held, 0, 2);
        EXPECT_FALSE(QuiIsStringArray(value));
        EXPECT_EQ(L"<null>", Joined(value, E_INVALIDARG));
        EXPECT_EQ(E_INVALIDARG, QuiAppendString(&value, L"x"));
        EXPECT_EQ(2u, V_ARRAY(&value)->rgsabound[0].cElements);
        V_VT(&value) = VT_ARRAY | held;
        VariantClear(&value);
    }
}

TEST(VariantArray, ArraysThatDoNotStartAtZeroJoinWhole)
{
    VARIANT value;
    V_VT(&value) = VT_ARRAY | VT_BSTR;
    V_ARRAY(&value) = SafeArrayCreateVector(VT_BSTR, 1, 0);
    ASSERT_EQ(S_OK, QuiAppendString(&value, L"Home"));
    ASSERT_EQ(S_OK, QuiAppendString(&value, nullptr));
    ASSERT_EQ(S_OK, QuiAppendString(&value, L"Calls"));
    LONG lower = -1;
    SafeArrayGetLBound(V_ARRAY(&value), 1, &lower);
    EXPECT_EQ(1, lower);
    EXPECT_EQ(L"Home;;Calls;", Joined(value));
    VariantClear(&value);
}

TEST(VariantArray, ArraysFromTheSmallestIndexJoinWhole)
{
    // An empty array's upper bound is one below its lower bound: from the
    // smallest index it wraps round to the largest.
    struct Row {
        LONG lower;
        std::vector<const wchar_t*> texts;
        std::wstring joined;
    } rows[] = {
        {LONG_MIN, {}, L""},
        {LONG_MIN, {L"first"}, L"first;"},
        {LONG_MIN, {L"Home", L"Calls"}, L"Home;Calls;"},
        {-1, {}, L""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.lower);
        VARIANT value = StringsFrom(row.lower, row.texts);
        EXPECT_EQ(row.joined, Joined(value));
        VariantClear(&value);
    }
}

TEST(VariantArray, AnArrayAtTheLargestIndexDoesNotGrow)
{
    struct Row {
        LONG lower;
        ULONG count;
    } rows[] = {
        {LONG_MAX, 1},
        {LONG_MAX - 1, 2},
        {LONG_MAX - 3, 4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.lower);
        VARIANT value;
        V_VT(&value) = VT_ARRAY | VT_BSTR;
        V_ARRAY(&value) = SafeArrayCreateVector(VT_BSTR, row.lower, row.count);
        EXPECT_EQ(DISP_E_OVERFLOW, QuiAppendString(&value, L"Ideas"));
        EXPECT_EQ(row.count, V_ARRAY(&value)->rgsabound[0].cElements) << "the array as it was";
        LONG lower = 0;
        SafeArrayGetLBound(V_ARRAY(&value), 1, &lower);
        EXPECT_EQ(row.lower, lower);
        VariantClear(&value);
    }
}

TEST(VariantArray, AFailedAppendLeavesTheArrayAsItWas)
{
    // The new element takes the largest index. Windows stores it; Wine's
    // bound check overflows there, refuses the element, and the array must
    // then be left as it was.
    VARIANT value = StringsFrom(LONG_MAX - 2, {L"Home", L"Calls"});
    HRESULT hr = QuiAppendString(&value, L"Ideas");
    if (SUCCEEDED(hr)) {
        EXPECT_EQ(3u, V_ARRAY(&value)->rgsabound[0].cElements);
        EXPECT_EQ(L"Home;Calls;Ideas;", Joined(value));
    } else {
        EXPECT_EQ(2u, V_ARRAY(&value)->rgsabound[0].cElements);
        EXPECT_EQ(L"Home;Calls;", Joined(value));
    }
    VariantClear(&value);
}
