// COleVariant: what each kind of value becomes, who owns a text, and
// conversions that fail without touching the value.
#include <gtest/gtest.h>

#include <afxquill.h>

#include <functional>
#include <string>

#include "OleTestSupport.h"

namespace {

VARIANT NullDate(double payload)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_NULL;
    v.date = payload;
    return v;
}

} // namespace

TEST(COleVariant, EachValueMakesItsType)
{
    COleDateTime nullDate;
    nullDate.SetStatus(COleDateTime::null);
    struct Row {
        std::function<COleVariant()> make;
        const char* expected;
    } rows[] = {
        {[] { return COleVariant(); }, "EMPTY"},
        {[] { return COleVariant("Gr\xFC\xDF" "e"); }, "BSTR Gr\xFC\xDF" "e"},
        {[] { return COleVariant(static_cast<LPCTSTR>(nullptr)); }, "BSTR "},
        {[] { return COleVariant(CString("Work")); }, "BSTR Work"},
        {[] { return COleVariant(static_cast<BYTE>(200)); }, "UI1 200"},
        {[] { return COleVariant(static_cast<short>(-3)); }, "I2 -3"},
        {[] { return COleVariant(static_cast<short>(5), VT_BOOL); }, "BOOL -1"},
        {[] { return COleVariant(static_cast<short>(0), VT_BOOL); }, "BOOL 0"},
        {[] { return COleVariant(7); }, "I4 7"},
        {[] { return COleVariant(7, VT_I2); }, "I2 7"},
        {[] { return COleVariant(1, VT_BOOL); }, "BOOL -1"},
        {[] { return COleVariant(70000L); }, "I4 70000"},
        {[] { return COleVariant(static_cast<long>(DISP_E_PARAMNOTFOUND), VT_ERROR); }, "ERROR 0x80020004"},
        {[] { return COleVariant(1.5f); }, "R4 1.5"},
        {[] { return COleVariant(-3.0); }, "R8 -3"},
        {[] { return COleVariant(COleDateTime(45296.5)); }, "DATE 45296.5"},
        {[] { return COleVariant(COleDateTime(-3.0)); }, "DATE -3"},
        {[&nullDate] { return COleVariant(nullDate); }, "NULL 0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        COleVariant v = row.make();
        EXPECT_EQ(row.expected, Describe(v));
    }
    try {
        COleVariant(1, VT_DATE);
        ADD_FAILURE() << "no exception";
    } catch (COleException* e) {
        EXPECT_EQ(DISP_E_BADVARTYPE, e->m_sc);
        e->Delete();
    }
}

TEST(COleVariant, CopiesOwnTheirOwnText)
{
    COleVariant* original = new COleVariant("Call the bank");
    COleVariant copy(*original);
    COleVariant fromVariant(static_cast<const VARIANT&>(*original));
    COleVariant assigned;
    assigned = *original;
    EXPECT_NE(original->bstrVal, copy.bstrVal);
    EXPECT_NE(original->bstrVal, fromVariant.bstrVal);
    EXPECT_NE(original->bstrVal, assigned.bstrVal);
    delete original;
    EXPECT_EQ("BSTR Call the bank", Describe(copy));
    EXPECT_EQ("BSTR Call the bank", Describe(fromVariant));
    EXPECT_EQ("BSTR Call the bank", Describe(assigned));

    // Assigning a value to the object that holds it keeps the value.
    assigned = assigned;
    EXPECT_EQ("BSTR Call the bank", Describe(assigned));
    assigned = static_cast<const VARIANT&>(assigned);
    EXPECT_EQ("BSTR Call the bank", Describe(assigned));
    assigned.ChangeType(VT_BSTR, &assigned);
    EXPECT_EQ("BSTR Call the bank", Describe(assigned));
    assigned = static_cast<const VARIANT*>(nullptr);
    EXPECT_EQ("EMPTY", Describe(assigned));
}

TEST(COleVariant, AttachAndDetachHandTheTextOverWithoutCopying)
{
    VARIANT raw;
    VariantInit(&raw);
    raw.vt = VT_BSTR;
    raw.bstrVal = SysAllocString(L"Home");
    BSTR text = raw.bstrVal;

    COleVariant holder("replaced");
    holder.Attach(raw);
    EXPECT_EQ(VT_EMPTY, raw.vt) << "the source gave its text away";
    EXPECT_EQ(text, holder.bstrVal);
    holder.Attach(holder);
    EXPECT_EQ(text, holder.bstrVal) << "attaching to itself changes nothing";

    VARIANT handed = holder.Detach();
    EXPECT_EQ(VT_EMPTY, holder.vt);
    EXPECT_EQ(VT_BSTR, handed.vt);
    EXPECT_EQ(text, handed.bstrVal);
    EXPECT_EQ("BSTR Home", Describe(handed));
    VariantClear(&handed);
}

TEST(COleVariant, NullKeepsTheDateItCarries)
{
    // Date fields read as VT_NULL with -1.0 (empty) or -2.0 (no date).
    for (double payload : {-1.0, -2.0}) {
        SCOPED_TRACE(payload);
        VARIANT field = NullDate(payload);
        COleVariant copy(field);
        EXPECT_EQ(VT_NULL, copy.vt);
        EXPECT_EQ(payload, copy.date);
        COleVariant assigned;
        assigned = field;
        EXPECT_EQ(payload, assigned.date);
    }
}

TEST(COleVariant, ChangeTypeConvertsOrThrowsLeavingTheValue)
{
    struct Row {
        std::function<COleVariant()> make;
        VARTYPE to;
        const char* expected;   // after the call; the value itself when it throws
        SCODE thrown;
    } rows[] = {
        {[] { return COleVariant("1/5/2024"); }, VT_DATE, "DATE 45296", S_OK},
        {[] { return COleVariant("2024-01-05 13:30"); }, VT_DATE, "DATE 45296.5625", S_OK},
        {[] { return COleVariant(45296.5); }, VT_DATE, "DATE 45296.5", S_OK},
        {[] { return COleVariant(static_cast<short>(1), VT_BOOL); }, VT_I4, "I4 -1", S_OK},
        {[] { return COleVariant(0L); }, VT_BOOL, "BOOL 0", S_OK},
        {[] { return COleVariant(COleDateTime(45296.5)); }, VT_BSTR, "BSTR 1/5/2024 12:00:00 PM", S_OK},
        {[] { return COleVariant(); }, VT_BSTR, "BSTR ", S_OK},
        {[] { return COleVariant(); }, VT_I4, "I4 0", S_OK},
        {[] { return COleVariant("3"); }, VT_I2, "I2 3", S_OK},
        {[] { return COleVariant("no date"); }, VT_DATE, "BSTR no date", DISP_E_TYPEMISMATCH},
        {[] { return COleVariant("high"); }, VT_I4, "BSTR high", DISP_E_TYPEMISMATCH},
        {[] { return COleVariant(70000L); }, VT_I2, "I4 70000", DISP_E_OVERFLOW},
        {[] { return COleVariant(NullDate(-1.0)); }, VT_DATE, "NULL -1", DISP_E_TYPEMISMATCH},
        {[] { return COleVariant(NullDate(-2.0)); }, VT_BOOL, "NULL -2", DISP_E_TYPEMISMATCH},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        COleVariant v = row.make();
        SCODE thrown = S_OK;
        try {
            v.ChangeType(row.to);
        } catch (COleException* e) {
            thrown = e->m_sc;
            e->Delete();
        }
        EXPECT_EQ(row.thrown, thrown);
        EXPECT_EQ(row.expected, Describe(v));
    }
}

TEST(COleVariant, ChangeTypeFromAnotherLeavesTheSourceAlone)
{
    COleVariant source("12");
    COleVariant target(3.5);
    target.ChangeType(VT_I4, &source);
    EXPECT_EQ("I4 12", Describe(target));
    EXPECT_EQ("BSTR 12", Describe(source));
    try {
        COleVariant letters("twelve");
        target.ChangeType(VT_I4, &letters);
        ADD_FAILURE() << "no exception";
    } catch (COleException* e) {
        e->Delete();
    }
    EXPECT_EQ("I4 12", Describe(target)) << "a failed conversion leaves the target";
}
