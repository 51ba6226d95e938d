// The drop fields' VARIANT values and the VARIANT string arrays: values of
// every type the input picks, by value and by reference, arrays of strings,
// of variants and of anything else, with any bounds, empty, of two or three
// dimensions, labelled with another type than their own, with null strings,
// strings holding zeros, odd byte lengths and lengths the system refuses, and
// allocations that fail. A string array is
// read whole and in order, a list of texts comes back the same through an
// array, joining gives every element followed by its terminator, appending
// grows the array by exactly the one element, and nothing is leaked.
#include "DropValues.h"
#include "VariantArray.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "drop values broke their promise: %s\n", what);
        std::abort();
    }
}

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    uint32_t U32()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<uint32_t>(Byte()) << (8 * i);
        return value;
    }
    void Bytes(void* to, size_t n)
    {
        for (size_t i = 0; i < n; ++i)
            static_cast<uint8_t*>(to)[i] = Byte();
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

// Storage that a value by reference points at, and what the shape owns.
struct Holder {
    VARIANT var;
    BSTR bstr = nullptr;
    SAFEARRAY* array = nullptr;
    uint8_t raw[16] = {};
    DECIMAL dec = {};
    Holder() { VariantInit(&var); }
    ~Holder()
    {
        VariantClear(&var);
        SysFreeString(bstr);
        SafeArrayDestroy(array);
    }
};

// What reading a one-dimensional array of strings must give.
struct Expected {
    bool known = false;
    std::vector<std::wstring> elements;
};

const VARTYPE kBases[] = {VT_EMPTY, VT_NULL, VT_I2, VT_I4, VT_R4, VT_R8, VT_CY, VT_DATE, VT_BSTR, VT_DISPATCH,
                          VT_ERROR, VT_BOOL, VT_VARIANT, VT_UNKNOWN, VT_DECIMAL, VT_I1, VT_UI1, VT_UI2, VT_UI4,
                          VT_I8, VT_UI8, VT_INT, VT_UINT};
const VARTYPE kElements[] = {VT_BSTR, VT_VARIANT, VT_BSTR, VT_VARIANT, VT_I4, VT_UI1, VT_R8, VT_DATE,
                             VT_BOOL, VT_I2, VT_CY, VT_DECIMAL, VT_UNKNOWN, VT_ERROR, VT_I1, VT_UI8};
const int32_t kLowers[] = {0, 1, -1, 5, INT32_MAX, INT32_MIN, INT32_MAX - 2, INT32_MIN + 1};

class Shape {
public:
    explicit Shape(Reader& in) : m_in(in) {}

    Holder* Hold()
    {
        m_held.push_back(std::make_unique<Holder>());
        return m_held.back().get();
    }

    BSTR MakeString()
    {
        const uint8_t form = m_in.Byte();
        if (form == 0xFF)
            return SysAllocStringLen(nullptr, 0x40000000u);  // refused: too long
        if (form == 0xFE)
            return nullptr;
        std::vector<OLECHAR> units(form & 0x3F);
        for (OLECHAR& u : units)
            u = static_cast<OLECHAR>(m_in.Byte() | m_in.Byte() << 8);
        if (form & 0x40) {
            std::vector<char> bytes(units.size() * sizeof(OLECHAR) + 1, 'x');
            if (!units.empty())
                std::memcpy(bytes.data(), units.data(), units.size() * sizeof(OLECHAR));
            return SysAllocStringByteLen(bytes.data(), static_cast<UINT>(bytes.size()));
        }
        return SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
    }

    SAFEARRAY* MakeArray(VARTYPE element, int depth, Expected* expected)
    {
        const uint8_t form = m_in.Byte();
        const UINT dims = form % 8 < 6 ? 1 : form % 8 == 6 ? 2 : 3;
        std::vector<SAFEARRAYBOUND> bounds(dims);
        for (SAFEARRAYBOUND& b : bounds) {
            const uint8_t count = m_in.Byte(), lower = m_in.Byte();
            b.cElements = count == 0xFF ? 0xFFFFFFFFu : count == 0xFE ? 0x10000000u : count % 6;
            b.lLbound = lower < 0xF0 ? kLowers[lower % 8] : static_cast<int32_t>(m_in.U32());
        }
        SAFEARRAY* array = SafeArrayCreate(element, dims, bounds.data());
        if (!array)
            return nullptr;
        size_t cells = 1;
        for (const SAFEARRAYBOUND& b : bounds)
            cells *= b.cElements;
        std::vector<LONG> index(dims);
        for (UINT d = 0; d < dims; ++d)
            index[d] = bounds[d].lLbound;
        const bool strings = dims == 1 && element == VT_BSTR;
        for (size_t cell = 0; cell < cells; ++cell) {
            if (element == VT_BSTR) {
                BSTR text = MakeString();
                Require(SUCCEEDED(SafeArrayPutElement(array, index.data(), text)), "a string not put");
                if (strings)
                    expected->elements.emplace_back(text ? text : L"", SysStringLen(text));
                SysFreeString(text);
            } else if (element == VT_VARIANT) {
                Holder* item = Hold();
                const bool raw = Fill(&item->var, depth + 1, nullptr);
                // A type the system refuses to copy is written in place, as a
                // client holding the array's data may write it; it owns nothing.
                if (FAILED(SafeArrayPutElement(array, index.data(), &item->var)) && raw) {
                    void* cells = nullptr;
                    SafeArrayAccessData(array, &cells);
                    static_cast<VARIANT*>(cells)[cell] = item->var;
                    SafeArrayUnaccessData(array);
                }
            } else if (element != VT_UNKNOWN) {
                uint8_t raw[16] = {};
                m_in.Bytes(raw, sizeof raw);
                Require(SUCCEEDED(SafeArrayPutElement(array, index.data(), raw)), "an element not put");
            }
            // Next index, first dimension fastest, each within 32 bits.
            for (UINT d = 0; d < dims; ++d) {
                index[d] = static_cast<int32_t>(static_cast<uint32_t>(index[d]) + 1u);
                if (static_cast<uint32_t>(index[d] - bounds[d].lLbound) < bounds[d].cElements
                    && index[d] != static_cast<int32_t>(static_cast<uint32_t>(bounds[d].lLbound) + bounds[d].cElements))
                    break;
                index[d] = bounds[d].lLbound;
            }
        }
        if (strings)
            expected->known = static_cast<int64_t>(bounds[0].lLbound) + bounds[0].cElements - 1 <= INT32_MAX;
        return array;
    }

    // A value of the type the input picks; depth keeps variants in variants
    // finite. True for a type word taken as it came, over a zero value.
    bool Fill(VARIANT* v, int depth, Expected* expected)
    {
        Expected ignored;
        if (!expected)
            expected = &ignored;
        std::memset(v, 0, sizeof *v);
        const uint8_t form = m_in.Byte();
        if (form == 0xFF) {
            // Any type word at all over a zero value: no pointer to follow.
            v->vt = static_cast<VARTYPE>(m_in.Byte() | m_in.Byte() << 8);
            v->llVal = 0;
            return true;
        }
        const VARTYPE base = kBases[(form & 0x1F) % (sizeof kBases / sizeof kBases[0])];
        const bool array = (form & 0x20) && depth < 2;
        const bool byref = form & 0x40;
        const bool nullRef = form & 0x80;
        if (array) {
            const size_t kinds = sizeof kElements / sizeof kElements[0];
            const VARTYPE element = kElements[m_in.Byte() % kinds];
            // Mostly the array's own type; now and then another, as a client
            // that labels the VARIANT wrongly gives it.
            const uint8_t label = m_in.Byte();
            SAFEARRAY* made = MakeArray(element, depth, expected);
            v->vt = VT_ARRAY | (label < 0xE0 ? element : kElements[label % kinds]);
            if (v->vt != (VT_ARRAY | element))
                expected->known = false;
            if (byref) {
                Holder* h = Hold();
                h->array = made;
                v->vt |= VT_BYREF;
                v->pparray = nullRef ? nullptr : &h->array;
                if (nullRef)
                    expected->known = false;
            } else {
                v->parray = made;
                if (!made)
                    v->vt = VT_EMPTY;
            }
            return false;
        }
        if (byref) {
            Holder* h = Hold();
            v->vt = VT_BYREF | base;
            if (base == VT_BSTR) {
                h->bstr = MakeString();
                v->pbstrVal = &h->bstr;
            } else if (base == VT_VARIANT) {
                if (depth < 2)
                    Fill(&h->var, depth + 1, nullptr);
                v->pvarVal = &h->var;
            } else if (base == VT_DECIMAL) {
                m_in.Bytes(&h->dec, sizeof h->dec);
                v->pdecVal = &h->dec;
            } else if (base == VT_DISPATCH || base == VT_UNKNOWN) {
                v->byref = h->raw;  // a null interface pointer
            } else {
                m_in.Bytes(h->raw, sizeof h->raw);
                v->byref = h->raw;
            }
            if (nullRef)
                v->byref = nullptr;
            return false;
        }
        v->vt = base;
        if (base == VT_BSTR) {
            v->bstrVal = MakeString();
        } else if (base == VT_DECIMAL) {
            m_in.Bytes(reinterpret_cast<uint8_t*>(v) + 2, sizeof(DECIMAL) - 2);
        } else if (base != VT_DISPATCH && base != VT_UNKNOWN) {
            m_in.Bytes(&v->llVal, sizeof v->llVal);
        }
        return false;
    }

private:
    Reader& m_in;
    std::vector<std::unique_ptr<Holder>> m_held;
};

std::string Narrow(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &text[0], bytes, nullptr, nullptr);
    return text;
}

template <class Call>
bool Throws(Call call)
{
    try {
        call();
        return false;
    } catch (COleException* e) {
        e->Delete();
        return true;
    }
}

void CheckDate(const VARIANT& v)
{
    DATE d = 0;
    // A date passes as it is given; anything converted must be a day of the calendar.
    const bool given = (v.vt & ~VT_BYREF) == VT_DATE || v.vt == (VT_BYREF | VT_VARIANT);
    if (!Throws([&] { d = QuiVariantDate(v); }) && !given)
        Require(std::isnan(d) || (d > -657435.0 && d < 2958466.0), "a date outside the calendar");
}

void CheckTexts(const VARIANT& v, const Expected& expected, bool failing)
{
    CStringArray texts;
    Throws([&] { QuiVariantText(v); });
    const bool thrown = Throws([&] { QuiVariantTexts(v, texts); });
    if (expected.known && !failing) {
        Require(!thrown, "a good array of strings refused");
        Require(static_cast<size_t>(texts.GetSize()) == expected.elements.size(), "an array of strings not read whole");
        for (size_t i = 0; i < expected.elements.size(); ++i) {
            const std::string want = Narrow(expected.elements[i]);
            const CString& got = texts[static_cast<int>(i)];
            Require(static_cast<size_t>(got.GetLength()) == want.size()
                        && std::memcmp(got.GetString(), want.data(), want.size()) == 0,
                    "an element read as another text");
        }
    }
    if (thrown || texts.IsEmpty())
        return;
    // Back through an array, as the field gives its items: each text up to
    // its first zero, the ANSI texts' end.
    VARIANT back;
    VariantInit(&back);
    CStringArray again;
    if (!Throws([&] { QuiTextsVariant(texts, &back); }) && !Throws([&] { QuiVariantTexts(back, again); })) {
        Require(QuiIsStringArray(back), "the texts not given as an array of strings");
        Require(again.GetSize() == texts.GetSize(), "texts lost on the way back");
        for (int i = 0; i < texts.GetSize(); ++i)
            Require(std::strcmp(again[i].GetString(), texts[i].GetString()) == 0, "a text changed on the way back");
    } else {
        Require(failing, "texts that do not make an array");
    }
    VariantClear(&back);
}

std::wstring Joined(const Expected& expected)
{
    std::wstring text;
    for (const std::wstring& e : expected.elements)
        text += e + L';';
    return text;
}

void CheckJoin(const VARIANT& v, const Expected& expected, bool failing, const uint8_t* tail, size_t tailSize)
{
    BSTR joined = reinterpret_cast<BSTR>(1);
    HRESULT hr = QuiJoinStringArray(v, L';', &joined);
    Require(SUCCEEDED(hr) == (joined != nullptr), "a join that fails with a result, or succeeds without");
    if (!QuiIsStringArray(v)) {
        Require(hr == E_INVALIDARG, "joined what is no array of strings");
        return;
    }
    if (expected.known && !failing) {
        Require(SUCCEEDED(hr), "an array of strings not joined");
        const std::wstring want = Joined(expected);
        Require(SysStringLen(joined) == want.size() && std::wmemcmp(joined, want.data(), want.size()) == 0,
                "a join not of every element and its terminator");
    }
    SysFreeString(joined);

    // Appending to a copy: one element more, the others as they were.
    VARIANT grown;
    VariantInit(&grown);
    if (FAILED(VariantCopy(&grown, &v)))
        return;
    LONG lower = 0, upper = 0, lowerAfter = 0, upperAfter = 0;
    SafeArrayGetLBound(grown.parray, 1, &lower);
    SafeArrayGetUBound(grown.parray, 1, &upper);
    const std::string ansi(reinterpret_cast<const char*>(tail), tailSize);
    hr = QuiAppendAnsiString(&grown, ansi.c_str());
    SafeArrayGetLBound(grown.parray, 1, &lowerAfter);
    SafeArrayGetUBound(grown.parray, 1, &upperAfter);
    Require(lowerAfter == lower, "appending moved the lower bound");
    if (FAILED(hr)) {
        Require(failing || !expected.known || upper == INT32_MAX, "a string not appended");
        Require(upperAfter == upper, "a failed append changed the array");
    } else if (expected.known) {
        Require(upperAfter == static_cast<int32_t>(static_cast<uint32_t>(upper) + 1u), "appending grew by another count");
        BSTR all = nullptr;
        if (SUCCEEDED(QuiJoinStringArray(grown, L';', &all))) {
            const int size = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
            std::wstring want = Joined(expected);
            std::vector<wchar_t> wide(static_cast<size_t>(size));
            MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide.data(), size);
            want += std::wstring(wide.data()) + L';';
            Require(SysStringLen(all) == want.size() && std::wmemcmp(all, want.data(), want.size()) == 0,
                    "appending changed the elements before");
        }
        SysFreeString(all);
    }
    VariantClear(&grown);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // The first byte: the allocation that fails once the value is made (0:
    // none); the last eight bytes the text appended; the rest the value.
    const int failAt = data[0] & 0x3F;
    const size_t tailSize = size > 9 ? 8 : 0;
    Reader in(data + 1, size - 1 - tailSize);
    {
        Shape shape(in);
        VARIANT v;
        Expected expected;
        shape.Fill(&v, 0, &expected);
        const bool failing = failAt != 0;
        host_oleaut::FailAllocation(failAt);
        CheckDate(v);
        CheckTexts(v, expected, failing);
        CheckJoin(v, expected, failing, data + size - tailSize, tailSize);
        host_oleaut::FailAllocation(0);
        VariantClear(&v);
    }
    Require(host_oleaut::LiveStrings() == 0 && host_oleaut::LiveArrays() == 0, "a string or an array left allocated");
    return 0;
}
