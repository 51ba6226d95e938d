#include "GodwitDispIdCache.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

const wchar_t* const kNames[] = {L"Body", L"Priority", L"Type", L"StartDate", L"Note"};

// A record object with its own numbering of property names. Strict: it
// fails the test on any call an item record reader must not make.
class FakeRecord : public IDispatch {
public:
    struct Property {
        const wchar_t* name;
        DISPID id;
        long value;
    };
    explicit FakeRecord(std::vector<Property> properties) : m_properties(std::move(properties)) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override { return --m_refs; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override
    {
        ADD_FAILURE() << "GetTypeInfoCount";
        return E_NOTIMPL;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override
    {
        ADD_FAILURE() << "GetTypeInfo";
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override
    {
        EXPECT_TRUE(IsEqualIID(riid, IID_NULL));
        EXPECT_EQ(1u, count);
        EXPECT_EQ(static_cast<LCID>(LOCALE_SYSTEM_DEFAULT), lcid);
        ++m_lookups;
        for (const Property& property : m_properties) {
            if (wcscmp(property.name, names[0]) == 0) {
                ids[0] = property.id;
                return S_OK;
            }
        }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* error, UINT* argErr) override
    {
        EXPECT_TRUE(IsEqualIID(riid, IID_NULL));
        EXPECT_EQ(static_cast<LCID>(LOCALE_USER_DEFAULT), lcid);
        EXPECT_EQ(DISPATCH_PROPERTYGET, flags);
        EXPECT_EQ(0u, params->cArgs);
        EXPECT_EQ(nullptr, error);
        EXPECT_EQ(nullptr, argErr);
        EXPECT_EQ(VT_EMPTY, V_VT(result)) << "a read starts from a cleared VARIANT";
        for (const Property& property : m_properties) {
            if (property.id == id) {
                V_VT(result) = VT_I4;
                V_I4(result) = property.value;
                return S_OK;
            }
        }
        if (m_scribbleOnFailure) {
            V_VT(result) = VT_I4;
            V_I4(result) = 666;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

    int Lookups() const { return m_lookups; }
    ULONG Refs() const { return m_refs; }
    void ScribbleOnFailure() { m_scribbleOnFailure = true; }

private:
    std::vector<Property> m_properties;
    ULONG m_refs = 1;
    int m_lookups = 0;
    bool m_scribbleOnFailure = false;
};

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
    FakeRecord record({{L"Body", 7, 70}, {L"Type", 3, 30}, {L"Subject", 9, 90}});
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
    FakeRecord first({{L"Body", 1, 10}, {L"Type", 2, 20}});
    FakeRecord second({{L"Body", 2, 11}, {L"Type", 5, 21}, {L"Note", 1, 31}});
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
    FakeRecord record({{L"Body", 1, 10}});
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
    FakeRecord record({{L"Body", 1, 10}});
    {
        GodwitDispIdCache cache(kNames, 5);
        ASSERT_TRUE(cache.Fill(&record));
        EXPECT_EQ(2u, record.Refs());
    }
    EXPECT_EQ(1u, record.Refs());
}
