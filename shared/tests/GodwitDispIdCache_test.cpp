#include "GodwitDispIdCache.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "QuiFakeDispatch.h"

using QuiComTesting::FakeDispatch;

namespace {

const wchar_t* const kNames[] = {L"Body", L"Priority", L"Type", L"StartDate", L"Note"};

long ReadNumber(const GodwitDispIdCache& cache, IDispatch* record, const wchar_t* name)
{
    VARIANT value;
    VariantInit(&value);
    cache.Read(record, name, &value);
    long number = V_VT(&value) == VT_I4 ? V_I4(&value) : -1;
    VariantClear(&value);
    return number;
}

}  // namespace

TEST(GodwitDispIdCache, ResolvesOnlyTheNamesTheRecordKnows)
{
    FakeDispatch record({{L"Body", 7, 70}, {L"Type", 3, 30}, {L"Subject", 9, 90}});
    GodwitDispIdCache cache(kNames, 5);
    ASSERT_TRUE(cache.Fill(&record));
    EXPECT_EQ(2u, cache.Count());
    EXPECT_EQ(5, record.Lookups());
    struct Row {
        const wchar_t* name;
        DISPID id;
        long value;  // -1: an empty read
    } rows[] = {
        {L"Body", 7, 70},   {L"Type", 3, 30},          {L"Priority", DISPID_UNKNOWN, -1},
        {L"type", DISPID_UNKNOWN, -1}, {L"Subject", DISPID_UNKNOWN, -1}, {L"", DISPID_UNKNOWN, -1},
        {nullptr, DISPID_UNKNOWN, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name ? row.name : L"(null)");
        EXPECT_EQ(row.id, cache.Lookup(row.name));
        EXPECT_EQ(row.value, ReadNumber(cache, &record, row.name));
    }
}

TEST(GodwitDispIdCache, AnObjectIsResolvedOnceAndEveryNewObjectAfresh)
{
    FakeDispatch first({{L"Body", 1, 10}, {L"Type", 2, 20}});
    FakeDispatch second({{L"Body", 2, 11}, {L"Type", 5, 21}, {L"Note", 1, 31}});
    GodwitDispIdCache cache(kNames, 5);
    EXPECT_FALSE(cache.Fill(nullptr)) << "nothing resolved yet";

    ASSERT_TRUE(cache.Fill(&first));
    ASSERT_TRUE(cache.Fill(&first));
    EXPECT_EQ(5, first.Lookups()) << "the same object is not asked again";
    EXPECT_EQ(2u, first.Refs()) << "held while its numbers are in use";

    ASSERT_TRUE(cache.Fill(&second));
    EXPECT_EQ(5, second.Lookups());
    EXPECT_EQ(1u, first.Refs());
    EXPECT_EQ(11, ReadNumber(cache, &second, L"Body"));
    EXPECT_EQ(21, ReadNumber(cache, &second, L"Type"));
    EXPECT_EQ(31, ReadNumber(cache, &second, L"Note"));

    EXPECT_TRUE(cache.Fill(nullptr)) << "a null record keeps what was resolved";
    EXPECT_EQ(3u, cache.Count());
}

TEST(GodwitDispIdCache, AFailedReadLeavesAnEmptyValue)
{
    FakeDispatch record({{L"Body", 1, 10}});
    record.ScribbleOnFailure();
    GodwitDispIdCache cache(kNames, 5);
    ASSERT_TRUE(cache.Fill(&record));
    struct Row {
        DISPID id;
        HRESULT hr;
        VARTYPE vt;
    } rows[] = {
        {1, S_OK, VT_I4},
        {DISPID_UNKNOWN, DISP_E_MEMBERNOTFOUND, VT_EMPTY},
        {4, DISP_E_MEMBERNOTFOUND, VT_EMPTY},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        VARIANT value;
        V_VT(&value) = VT_BSTR;
        V_BSTR(&value) = SysAllocString(L"the previous property");
        EXPECT_EQ(row.hr, GodwitDispIdCache::ReadProperty(&record, row.id, &value));
        EXPECT_EQ(row.vt, V_VT(&value));
        VariantClear(&value);
    }
}

TEST(GodwitDispIdCache, ReleasesTheRecordWithTheCache)
{
    FakeDispatch record({{L"Body", 1, 10}});
    {
        GodwitDispIdCache cache(kNames, 5);
        ASSERT_TRUE(cache.Fill(&record));
        EXPECT_EQ(2u, record.Refs());
    }
    EXPECT_EQ(1u, record.Refs());
}
