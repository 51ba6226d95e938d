#include "oleauto.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int g_strings = 0;
int g_arrays = 0;
int g_failIn = 0;

// More than this is refused as memory running out would refuse it, so that
// a huge length from the input is a failure to handle, not a slow run.
const size_t kMaxBytes = size_t(1) << 26;

bool AllocationFails()
{
    return g_failIn > 0 && --g_failIn == 0;
}

[[noreturn]] void NotKept(const char* what)
{
    std::fprintf(stderr, "oleauto stand-in: %s is not kept on the host\n", what);
    std::abort();
}

//--- strings

struct BstrHead {
    uint32_t bytes;
};

BSTR AllocBytes(size_t bytes)
{
    if (bytes > kMaxBytes || AllocationFails())
        return nullptr;
    // The text rounded up to whole characters, then a zero character.
    const size_t body = (bytes + sizeof(OLECHAR) - 1) / sizeof(OLECHAR) * sizeof(OLECHAR) + sizeof(OLECHAR);
    char* block = static_cast<char*>(std::malloc(sizeof(BstrHead) + body));
    if (!block)
        return nullptr;
    reinterpret_cast<BstrHead*>(block)->bytes = static_cast<uint32_t>(bytes);
    std::memset(block + sizeof(BstrHead) + bytes, 0, body - bytes);
    ++g_strings;
    return reinterpret_cast<BSTR>(block + sizeof(BstrHead));
}

BstrHead* HeadOf(BSTR text)
{
    return reinterpret_cast<BstrHead*>(reinterpret_cast<char*>(text) - sizeof(BstrHead));
}

//--- variants

HRESULT ValidateType(VARTYPE vt)
{
    const VARTYPE extra = vt & 0xF000;
    const VARTYPE base = vt & VT_TYPEMASK;
    if (extra & (VT_VECTOR | VT_RESERVED))
        return DISP_E_BADVARTYPE;
    if (base >= VT_VOID || base == 15)
        return DISP_E_BADVARTYPE;
    if ((extra & (VT_BYREF | VT_ARRAY)) && base <= VT_NULL)
        return DISP_E_BADVARTYPE;
    return S_OK;
}

size_t ElementSize(VARTYPE vt)
{
    switch (vt) {
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_R4: case VT_INT: case VT_UINT: case VT_ERROR: return 4;
    case VT_R8: case VT_I8: case VT_UI8: case VT_DATE: case VT_CY: return 8;
    case VT_BSTR: return sizeof(BSTR);
    case VT_DISPATCH: case VT_UNKNOWN: return sizeof(void*);
    case VT_VARIANT: return sizeof(VARIANT);
    case VT_DECIMAL: return sizeof(DECIMAL);
    default: return 0;
    }
}

const double kDateMin = -657434.0;   // 100-01-01
const double kDateMax = 2958465.0;   // 9999-12-31

HRESULT DateFromDouble(double d, DATE* out)
{
    // NaN passes, as it passes the system's comparisons.
    if (d <= kDateMin - 1.0 || d >= kDateMax + 1.0)
        return DISP_E_OVERFLOW;
    *out = d;
    return S_OK;
}

long double DecimalValue(const DECIMAL& dec)
{
    long double value = static_cast<long double>(dec.Hi32) * 18446744073709551616.0L + dec.Lo64;
    for (int i = 0; i < dec.scale; ++i)
        value /= 10;
    return dec.sign & DECIMAL_NEG ? -value : value;
}

// Days since 0000-03-01 to a civil date and back.
void CivilFromDays(long long z, int* y, int* m, int* d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}

long long DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

const long long kDay0 = DaysFromCivil(1899, 12, 30);

HRESULT TextFromDate(DATE date, std::string* text)
{
    if (!(date >= kDateMin && date < kDateMax + 1.0))
        return E_INVALIDARG;
    const double day = std::trunc(date);
    long long seconds = std::llround(std::fabs(date - day) * 86400.0);
    long long days = static_cast<long long>(day);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += date < 0 ? -1 : 1;
    }
    int y, m, d;
    CivilFromDays(days + kDay0, &y, &m, &d);
    char buffer[64];
    const int h = static_cast<int>(seconds / 3600), mi = static_cast<int>(seconds / 60 % 60),
              s = static_cast<int>(seconds % 60);
    const char* half = h < 12 ? "AM" : "PM";
    const int h12 = h % 12 ? h % 12 : 12;
    if (days == 0 && seconds)
        std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d %s", h12, mi, s, half);
    else if (!seconds)
        std::snprintf(buffer, sizeof buffer, "%d/%d/%d", m, d, y);
    else
        std::snprintf(buffer, sizeof buffer, "%d/%d/%d %d:%02d:%02d %s", m, d, y, h12, mi, s, half);
    *text = buffer;
    return S_OK;
}

// The few forms of a date text kept here: "m/d/yyyy", "yyyy-mm-dd", either
// followed by a time, or a time alone: "h:mm[:ss]" with AM or PM or not.
bool ParseNumber(const char*& p, int digits, int* value)
{
    int n = 0, count = 0;
    while (*p >= '0' && *p <= '9' && count < digits) {
        n = n * 10 + (*p++ - '0');
        ++count;
    }
    *value = n;
    return count > 0;
}

void SkipSpaces(const char*& p)
{
    while (*p == ' ' || *p == '\t')
        ++p;
}

bool ParseTime(const char*& p, double* fraction)
{
    int h, m, s = 0;
    if (!ParseNumber(p, 2, &h) || *p++ != ':' || !ParseNumber(p, 2, &m))
        return false;
    if (*p == ':' && !(++p, ParseNumber(p, 2, &s)))
        return false;
    SkipSpaces(p);
    if ((p[0] == 'A' || p[0] == 'a' || p[0] == 'P' || p[0] == 'p') && (p[1] == 'M' || p[1] == 'm')) {
        if (h < 1 || h > 12)
            return false;
        h = h % 12 + (p[0] == 'P' || p[0] == 'p' ? 12 : 0);
        p += 2;
    }
    if (h > 23 || m > 59 || s > 59)
        return false;
    *fraction = (h * 3600 + m * 60 + s) / 86400.0;
    return true;
}

bool ParseDate(const std::string& text, DATE* out)
{
    const char* p = text.c_str();
    SkipSpaces(p);
    const char* start = p;
    int a, b, c;
    long long days = 0;
    bool haveDate = false;
    if (ParseNumber(p, 4, &a) && (*p == '/' || *p == '-')) {
        const char separator = *p++;
        if (!ParseNumber(p, 2, &b) || *p++ != separator || !ParseNumber(p, 4, &c))
            return false;
        const int y = separator == '-' ? a : c, m = separator == '-' ? b : a, d = separator == '-' ? c : b;
        if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1)
            return false;
        static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
        if (d > kDays[m - 1] || (m == 2 && d == 29 && !leap))
            return false;
        days = DaysFromCivil(y, m, d) - kDay0;
        haveDate = true;
        SkipSpaces(p);
    } else {
        p = start;
    }
    double fraction = 0.0;
    if (*p && !ParseTime(p, &fraction))
        return false;
    SkipSpaces(p);
    if (*p || (!haveDate && p == start))
        return false;
    *out = days < 0 ? days - fraction : days + fraction;
    return true;
}

std::string Narrow(const OLECHAR* text, UINT length)
{
    if (!text || !length)
        return std::string();
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), &narrow[0], bytes, nullptr, nullptr);
    return narrow;
}

HRESULT BstrFromText(const std::string& text, BSTR* out)
{
    const int length = text.empty() ? 0 : MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    BSTR made = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (!made)
        return E_OUTOFMEMORY;
    if (length)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), made, length);
    *out = made;
    return S_OK;
}

std::string TextFromReal(double value, int digits)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*G", digits, value);
    return buffer;
}

std::string TextFromDecimal(const DECIMAL& dec)
{
    unsigned __int128 value = (static_cast<unsigned __int128>(dec.Hi32) << 64) | dec.Lo64;
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
        value /= 10;
    } while (value);
    if (dec.scale) {
        while (digits.size() <= dec.scale)
            digits.insert(digits.begin(), '0');
        digits.insert(digits.end() - dec.scale, '.');
        while (digits.back() == '0')
            digits.pop_back();
        if (digits.back() == '.')
            digits.pop_back();
    }
    return (dec.sign & DECIMAL_NEG) && digits != "0" ? "-" + digits : digits;
}

// The number a variant holds; false for what is no number.
bool NumberOf(const VARIANT& v, long double* number, bool* whole)
{
    *whole = true;
    switch (v.vt) {
    case VT_I1: *number = static_cast<signed char>(v.cVal); return true;
    case VT_UI1: *number = v.bVal; return true;
    case VT_I2: *number = v.iVal; return true;
    case VT_BOOL: *number = v.boolVal; return true;
    case VT_UI2: *number = v.uiVal; return true;
    case VT_I4: *number = static_cast<int32_t>(v.lVal); return true;
    case VT_INT: *number = v.intVal; return true;
    case VT_UI4: *number = v.ulVal; return true;
    case VT_UINT: *number = v.uintVal; return true;
    case VT_I8: *number = v.llVal; return true;
    case VT_UI8: *number = v.ullVal; return true;
    case VT_R4: *whole = false; *number = v.fltVal; return true;
    case VT_R8: *whole = false; *number = v.dblVal; return true;
    case VT_CY: *whole = false; *number = static_cast<long double>(v.cyVal.int64) / 10000; return true;
    case VT_DECIMAL: *whole = false; *number = DecimalValue(*reinterpret_cast<const DECIMAL*>(&v)); return true;
    default: return false;
    }
}

HRESULT CoerceToBstr(const VARIANT& v, BSTR* out)
{
    switch (v.vt) {
    case VT_EMPTY: return (*out = SysAllocStringLen(nullptr, 0)) ? S_OK : E_OUTOFMEMORY;
    case VT_BSTR:
        *out = v.bstrVal ? SysAllocStringByteLen(reinterpret_cast<const char*>(v.bstrVal), SysStringByteLen(v.bstrVal))
                         : nullptr;
        return !v.bstrVal || *out ? S_OK : E_OUTOFMEMORY;
    case VT_DATE: {
        std::string text;
        HRESULT hr = TextFromDate(v.date, &text);
        return SUCCEEDED(hr) ? BstrFromText(text, out) : hr;
    }
    case VT_I8: return BstrFromText(std::to_string(v.llVal), out);
    case VT_UI8: return BstrFromText(std::to_string(v.ullVal), out);
    case VT_R4: return BstrFromText(TextFromReal(v.fltVal, 7), out);
    case VT_R8: return BstrFromText(TextFromReal(v.dblVal, 15), out);
    case VT_CY: {
        DECIMAL dec = {};
        const bool negative = v.cyVal.int64 < 0;
        dec.Lo64 = negative ? 0 - static_cast<ULONGLONG>(v.cyVal.int64) : static_cast<ULONGLONG>(v.cyVal.int64);
        dec.scale = 4;
        dec.sign = negative ? DECIMAL_NEG : 0;
        return BstrFromText(TextFromDecimal(dec), out);
    }
    case VT_DECIMAL: {
        const DECIMAL& dec = *reinterpret_cast<const DECIMAL*>(&v);
        if (dec.scale > 28)
            return E_INVALIDARG;
        return BstrFromText(TextFromDecimal(dec), out);
    }
    default: {
        long double number;
        bool whole;
        if (!NumberOf(v, &number, &whole))
            return DISP_E_TYPEMISMATCH;
        return BstrFromText(std::to_string(static_cast<long long>(number)), out);
    }
    }
}

HRESULT CoerceToDate(const VARIANT& v, DATE* out)
{
    switch (v.vt) {
    case VT_EMPTY: *out = 0.0; return S_OK;
    case VT_DATE: *out = v.date; return S_OK;
    case VT_BSTR:
        if (!v.bstrVal)
            return DISP_E_TYPEMISMATCH;
        return ParseDate(Narrow(v.bstrVal, SysStringLen(v.bstrVal)), out) ? S_OK : DISP_E_TYPEMISMATCH;
    case VT_DECIMAL:
        if (reinterpret_cast<const DECIMAL*>(&v)->scale > 28)
            return E_INVALIDARG;
        break;
    default: break;
    }
    long double number;
    bool whole;
    if (!NumberOf(v, &number, &whole))
        return DISP_E_TYPEMISMATCH;
    return DateFromDouble(static_cast<double>(number), out);
}

// The VARIANT a reference points at, copied; as VariantCopyInd.
HRESULT Dereference(VARIANT* to, const VARIANT& from)
{
    VARIANT shallow;
    VariantInit(&shallow);
    const VARTYPE base = from.vt & ~VT_BYREF;
    if (!from.byref)
        return E_INVALIDARG;
    if (base == VT_VARIANT) {
        const VARIANT& inner = *from.pvarVal;
        if (inner.vt == (VT_BYREF | VT_VARIANT))
            return E_INVALIDARG;
        return VariantCopyInd(to, &inner);
    }
    shallow.vt = base;
    if (base & VT_ARRAY) {
        shallow.parray = *from.pparray;
    } else {
        switch (base) {
        case VT_DECIMAL: std::memcpy(&shallow, from.pdecVal, sizeof(DECIMAL)); shallow.vt = VT_DECIMAL; break;
        case VT_BSTR: shallow.bstrVal = *from.pbstrVal; break;
        case VT_DISPATCH: case VT_UNKNOWN: shallow.punkVal = *from.ppunkVal; break;
        default: std::memcpy(&shallow.llVal, from.byref, ElementSize(base)); break;
        }
    }
    return VariantCopy(to, &shallow);
}

//--- arrays

struct ArrayHead {
    VARTYPE vt;
};
const size_t kHeadRoom = 16;

SAFEARRAY* AllocDescriptor(UINT dims)
{
    if (AllocationFails())
        return nullptr;
    const size_t size = kHeadRoom + sizeof(SAFEARRAY) + (dims - 1) * sizeof(SAFEARRAYBOUND);
    char* block = static_cast<char*>(std::calloc(1, size));
    if (!block)
        return nullptr;
    ++g_arrays;
    return reinterpret_cast<SAFEARRAY*>(block + kHeadRoom);
}

void FreeDescriptor(SAFEARRAY* array)
{
    std::free(reinterpret_cast<char*>(array) - kHeadRoom);
    --g_arrays;
}

ArrayHead* HeadOf(SAFEARRAY* array)
{
    return reinterpret_cast<ArrayHead*>(reinterpret_cast<char*>(array) - kHeadRoom);
}

// Cells in all dimensions; false when the count does not fit.
bool CellCount(const SAFEARRAY* array, size_t* cells)
{
    size_t count = 1;
    for (USHORT i = 0; i < array->cDims; ++i) {
        if (__builtin_mul_overflow(count, static_cast<size_t>(array->rgsabound[i].cElements), &count))
            return false;
    }
    *cells = count;
    return true;
}

void* AllocData(size_t bytes)
{
    if (bytes > kMaxBytes || AllocationFails())
        return nullptr;
    // An empty body is a block of no bytes, so that any use of it is seen.
    void* data = std::malloc(bytes);
    if (!data && !bytes)
        data = std::malloc(1);
    if (data)
        std::memset(data, 0, bytes);
    return data;
}

void ClearCells(SAFEARRAY* array, size_t from, size_t to)
{
    char* data = static_cast<char*>(array->pvData);
    for (size_t i = from; i < to; ++i) {
        void* cell = data + i * array->cbElements;
        if (array->fFeatures & FADF_BSTR) {
            SysFreeString(*static_cast<BSTR*>(cell));
            *static_cast<BSTR*>(cell) = nullptr;
        } else if (array->fFeatures & FADF_VARIANT) {
            VariantClear(static_cast<VARIANT*>(cell));
        } else if ((array->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) && *static_cast<void**>(cell)) {
            NotKept("an interface pointer");
        }
    }
}

// The cell an index list names, keeping to what 32-bit LONGs hold.
HRESULT CellOf(SAFEARRAY* array, const LONG* indices, void** cell)
{
    size_t offset = 0;
    for (int d = array->cDims - 1; d >= 0; --d) {
        const SAFEARRAYBOUND& bound = array->rgsabound[array->cDims - 1 - d];
        const LONG index = indices[d];
        if (index < INT32_MIN || index > INT32_MAX)
            return DISP_E_BADINDEX;
        const int32_t at = static_cast<int32_t>(static_cast<uint32_t>(index) - static_cast<uint32_t>(bound.lLbound));
        if (at < 0 || static_cast<ULONG>(at) >= bound.cElements)
            return DISP_E_BADINDEX;
        offset = offset * bound.cElements + static_cast<size_t>(at);
    }
    *cell = static_cast<char*>(array->pvData) + offset * array->cbElements;
    return S_OK;
}

HRESULT CopyCell(SAFEARRAY* array, void* to, const void* from)
{
    if (array->fFeatures & FADF_BSTR) {
        BSTR text = *static_cast<const BSTR*>(from);
        BSTR copy = text ? SysAllocStringByteLen(reinterpret_cast<const char*>(text), SysStringByteLen(text)) : nullptr;
        if (text && !copy)
            return E_OUTOFMEMORY;
        *static_cast<BSTR*>(to) = copy;
        return S_OK;
    }
    if (array->fFeatures & FADF_VARIANT) {
        static_cast<VARIANT*>(to)->vt = VT_EMPTY;
        return VariantCopy(static_cast<VARIANT*>(to), static_cast<const VARIANT*>(from));
    }
    if ((array->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) && *static_cast<void* const*>(from))
        NotKept("an interface pointer");
    std::memcpy(to, from, array->cbElements);
    return S_OK;
}

} // namespace

//--- strings

BSTR SysAllocString(const OLECHAR* text)
{
    if (!text)
        return nullptr;
    size_t length = 0;
    while (text[length])
        ++length;
    return SysAllocStringLen(text, static_cast<UINT>(length));
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length)
{
    if (length >= 0x7FFFFFFFu / sizeof(OLECHAR))
        return nullptr;
    BSTR made = AllocBytes(static_cast<size_t>(length) * sizeof(OLECHAR));
    if (made && text)
        std::memcpy(made, text, static_cast<size_t>(length) * sizeof(OLECHAR));
    return made;
}

BSTR SysAllocStringByteLen(const char* bytes, UINT length)
{
    if (length >= 0x7FFFFFFFu)
        return nullptr;
    BSTR made = AllocBytes(length);
    if (made && bytes)
        std::memcpy(made, bytes, length);
    return made;
}

void SysFreeString(BSTR text)
{
    if (!text)
        return;
    std::free(HeadOf(text));
    --g_strings;
}

UINT SysStringLen(BSTR text)
{
    return text ? HeadOf(text)->bytes / sizeof(OLECHAR) : 0;
}

UINT SysStringByteLen(BSTR text)
{
    return text ? HeadOf(text)->bytes : 0;
}

//--- variants

void VariantInit(VARIANTARG* value)
{
    value->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* value)
{
    HRESULT hr = ValidateType(value->vt);
    if (FAILED(hr))
        return hr;
    if (!(value->vt & VT_BYREF)) {
        if (value->vt & VT_ARRAY)
            hr = SafeArrayDestroy(value->parray);
        else if (value->vt == VT_BSTR)
            SysFreeString(value->bstrVal);
        else if ((value->vt == VT_DISPATCH || value->vt == VT_UNKNOWN) && value->punkVal)
            NotKept("an interface pointer");
    }
    value->vt = VT_EMPTY;
    return hr;
}

HRESULT VariantCopy(VARIANTARG* to, const VARIANTARG* from)
{
    HRESULT hr = ValidateType(from->vt);
    if (FAILED(hr) || to == from)
        return hr;
    if (FAILED(hr = VariantClear(to)))
        return hr;
    *to = *from;
    if (from->vt & VT_BYREF)
        return S_OK;
    if (from->vt & VT_ARRAY) {
        hr = SafeArrayCopy(from->parray, &to->parray);
    } else if (from->vt == VT_BSTR && from->bstrVal) {
        to->bstrVal = SysAllocStringByteLen(reinterpret_cast<const char*>(from->bstrVal), SysStringByteLen(from->bstrVal));
        if (!to->bstrVal)
            hr = E_OUTOFMEMORY;
    } else if ((from->vt == VT_DISPATCH || from->vt == VT_UNKNOWN) && from->punkVal) {
        NotKept("an interface pointer");
    }
    return hr;
}

HRESULT VariantCopyInd(VARIANT* to, const VARIANTARG* from)
{
    HRESULT hr = ValidateType(from->vt);
    if (FAILED(hr))
        return hr;
    if (!(from->vt & VT_BYREF))
        return VariantCopy(to, from);
    VARIANT copy;
    VariantInit(&copy);
    if (FAILED(hr = Dereference(&copy, *from)))
        return hr;
    if (FAILED(hr = VariantClear(to))) {
        VariantClear(&copy);
        return hr;
    }
    *to = copy;
    return S_OK;
}

HRESULT VariantChangeType(VARIANTARG* to, const VARIANTARG* from, USHORT, VARTYPE type)
{
    HRESULT hr = ValidateType(from->vt);
    if (SUCCEEDED(hr))
        hr = ValidateType(type);
    if (FAILED(hr))
        return hr;
    if ((from->vt & VT_BYREF) && !from->byref)
        return DISP_E_TYPEMISMATCH;
    VARIANT source, result;
    VariantInit(&source);
    VariantInit(&result);
    if (FAILED(hr = VariantCopyInd(&source, from)))
        return hr;
    if (source.vt == type) {
        hr = VariantCopy(&result, &source);
    } else if ((source.vt & VT_ARRAY) || (type & VT_ARRAY)) {
        // Only bytes to a string, as the system's BstrFromVector.
        hr = DISP_E_TYPEMISMATCH;
        if (source.vt == (VT_ARRAY | VT_UI1) && type == VT_BSTR) {
            SAFEARRAY* bytes = source.parray;
            if (!bytes || bytes->cDims != 1) {
                hr = E_INVALIDARG;
            } else {
                result.bstrVal = SysAllocStringByteLen(static_cast<const char*>(bytes->pvData), bytes->rgsabound[0].cElements);
                hr = result.bstrVal ? S_OK : E_OUTOFMEMORY;
                result.vt = SUCCEEDED(hr) ? VT_BSTR : VT_EMPTY;
            }
        }
    } else if (source.vt == VT_NULL || source.vt == VT_ERROR || source.vt == VT_DISPATCH || source.vt == VT_UNKNOWN) {
        hr = DISP_E_TYPEMISMATCH;
    } else if (type == VT_BSTR) {
        hr = CoerceToBstr(source, &result.bstrVal);
        result.vt = SUCCEEDED(hr) ? VT_BSTR : VT_EMPTY;
    } else if (type == VT_DATE) {
        hr = CoerceToDate(source, &result.date);
        result.vt = SUCCEEDED(hr) ? VT_DATE : VT_EMPTY;
    } else {
        NotKept("a conversion to that type");
    }
    VariantClear(&source);
    if (SUCCEEDED(hr)) {
        // Converting in place: the source was copied above.
        if (FAILED(hr = VariantClear(to))) {
            VariantClear(&result);
            return hr;
        }
        *to = result;
    } else {
        VariantClear(&result);
    }
    return hr;
}

//--- arrays

SAFEARRAY* SafeArrayCreate(VARTYPE type, UINT dims, SAFEARRAYBOUND* bounds)
{
    const size_t elementSize = ElementSize(type);
    if (!bounds || dims == 0 || dims > 0xFFFF || !elementSize)
        return nullptr;
    for (UINT i = 0; i < dims; ++i)
        if (bounds[i].lLbound < INT32_MIN || bounds[i].lLbound > INT32_MAX)
            return nullptr;
    SAFEARRAY* array = AllocDescriptor(dims);
    if (!array)
        return nullptr;
    array->cDims = static_cast<USHORT>(dims);
    array->cbElements = static_cast<ULONG>(elementSize);
    array->fFeatures = FADF_HAVEVARTYPE | (type == VT_BSTR ? FADF_BSTR : type == VT_VARIANT ? FADF_VARIANT
                                           : type == VT_UNKNOWN ? FADF_UNKNOWN : type == VT_DISPATCH ? FADF_DISPATCH : 0);
    HeadOf(array)->vt = type;
    for (UINT i = 0; i < dims; ++i)
        array->rgsabound[dims - 1 - i] = bounds[i];
    size_t cells = 0, bytes = 0;
    if (!CellCount(array, &cells) || __builtin_mul_overflow(cells, elementSize, &bytes)
        || !(array->pvData = AllocData(bytes))) {
        FreeDescriptor(array);
        return nullptr;
    }
    return array;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE type, LONG lower, ULONG count)
{
    SAFEARRAYBOUND bound = {count, lower};
    return SafeArrayCreate(type, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* array)
{
    if (!array)
        return S_OK;
    if (array->cLocks > 0)
        return DISP_E_ARRAYISLOCKED;
    size_t cells = 0;
    CellCount(array, &cells);
    ClearCells(array, 0, cells);
    std::free(array->pvData);
    FreeDescriptor(array);
    return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* array, SAFEARRAY** copy)
{
    if (!copy)
        return E_INVALIDARG;
    *copy = nullptr;
    if (!array)
        return S_OK;
    std::vector<SAFEARRAYBOUND> bounds(array->cDims);
    for (USHORT i = 0; i < array->cDims; ++i)
        bounds[i] = array->rgsabound[array->cDims - 1 - i];
    SAFEARRAY* made = SafeArrayCreate(HeadOf(array)->vt, array->cDims, bounds.data());
    if (!made)
        return E_OUTOFMEMORY;
    size_t cells = 0;
    CellCount(array, &cells);
    for (size_t i = 0; i < cells; ++i) {
        HRESULT hr = CopyCell(array, static_cast<char*>(made->pvData) + i * array->cbElements,
                              static_cast<char*>(array->pvData) + i * array->cbElements);
        if (FAILED(hr)) {
            SafeArrayDestroy(made);
            return hr;
        }
    }
    *copy = made;
    return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* array)
{
    return array ? array->cDims : 0;
}

UINT SafeArrayGetElemsize(SAFEARRAY* array)
{
    return array ? array->cbElements : 0;
}

HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* type)
{
    if (!array || !type)
        return E_INVALIDARG;
    *type = HeadOf(array)->vt;
    return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* lower)
{
    if (!array || !lower)
        return E_INVALIDARG;
    if (dim < 1 || dim > array->cDims)
        return DISP_E_BADINDEX;
    *lower = array->rgsabound[array->cDims - dim].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* upper)
{
    if (!array || !upper)
        return E_INVALIDARG;
    if (dim < 1 || dim > array->cDims)
        return DISP_E_BADINDEX;
    const SAFEARRAYBOUND& bound = array->rgsabound[array->cDims - dim];
    // Computed in 32 bits: a bound beyond them wraps.
    *upper = static_cast<int32_t>(static_cast<uint32_t>(bound.lLbound) + bound.cElements - 1u);
    return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* array, LONG* indices, void* value)
{
    if (!array || !indices || !value)
        return E_INVALIDARG;
    void* cell = nullptr;
    HRESULT hr = CellOf(array, indices, &cell);
    if (FAILED(hr))
        return hr;
    ++array->cLocks;
    hr = CopyCell(array, value, cell);
    --array->cLocks;
    return hr;
}

HRESULT SafeArrayPutElement(SAFEARRAY* array, LONG* indices, void* value)
{
    // A null string is a value: it is put as an empty one.
    if (!array || !indices || (!value && !(array->fFeatures & FADF_BSTR)))
        return E_INVALIDARG;
    void* cell = nullptr;
    HRESULT hr = CellOf(array, indices, &cell);
    if (FAILED(hr))
        return hr;
    ++array->cLocks;
    if (array->fFeatures & FADF_BSTR) {
        BSTR text = static_cast<BSTR>(value);
        BSTR copy = SysAllocStringByteLen(reinterpret_cast<const char*>(text), SysStringByteLen(text));
        if (!copy) {
            hr = E_OUTOFMEMORY;
        } else {
            SysFreeString(*static_cast<BSTR*>(cell));
            *static_cast<BSTR*>(cell) = copy;
        }
    } else if (array->fFeatures & FADF_VARIANT) {
        hr = VariantCopy(static_cast<VARIANT*>(cell), static_cast<VARIANT*>(value));
    } else if (array->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
        NotKept("an interface pointer");
    } else {
        std::memcpy(cell, value, array->cbElements);
    }
    --array->cLocks;
    return hr;
}

HRESULT SafeArrayLock(SAFEARRAY* array)
{
    if (!array)
        return E_INVALIDARG;
    if (array->cLocks == 0xFFFF)
        return E_UNEXPECTED;
    ++array->cLocks;
    return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* array)
{
    if (!array)
        return E_INVALIDARG;
    if (array->cLocks == 0)
        return E_UNEXPECTED;
    --array->cLocks;
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data)
{
    if (!array || !data)
        return E_INVALIDARG;
    HRESULT hr = SafeArrayLock(array);
    *data = SUCCEEDED(hr) ? array->pvData : nullptr;
    return hr;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array)
{
    return SafeArrayUnlock(array);
}

HRESULT SafeArrayRedim(SAFEARRAY* array, SAFEARRAYBOUND* lastBound)
{
    if (!array || !lastBound || (array->fFeatures & FADF_FIXEDSIZE))
        return E_INVALIDARG;
    if (array->cLocks > 0)
        return DISP_E_ARRAYISLOCKED;
    if (lastBound->lLbound < INT32_MIN || lastBound->lLbound > INT32_MAX)
        return E_INVALIDARG;
    SAFEARRAYBOUND& bound = array->rgsabound[0];
    size_t oldCells = 0, newCells = 0, bytes = 0;
    CellCount(array, &oldCells);
    const ULONG oldCount = bound.cElements;
    bound.cElements = lastBound->cElements;
    const bool fits = CellCount(array, &newCells) && !__builtin_mul_overflow(newCells, size_t(array->cbElements), &bytes);
    bound.cElements = oldCount;
    if (!fits)
        return E_OUTOFMEMORY;
    // A fresh body of the exact new size, so that what lies past it is seen.
    void* data = AllocData(bytes);
    if (!data)
        return E_OUTOFMEMORY;
    if (newCells < oldCells)
        ClearCells(array, newCells, oldCells);
    std::memcpy(data, array->pvData, (newCells < oldCells ? newCells : oldCells) * array->cbElements);
    std::free(array->pvData);
    array->pvData = data;
    bound = *lastBound;
    return S_OK;
}

//--- the ANSI code page

int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR text, int bytes, LPWSTR wide, int capacity)
{
    if ((codePage != CP_ACP && codePage != CP_UTF8) || !text || bytes == 0 || bytes < -1 || capacity < 0
        || (capacity && !wide))
        return 0;
    const size_t size = bytes == -1 ? std::strlen(text) + 1 : static_cast<size_t>(bytes);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    int written = 0;
    auto put = [&](uint32_t unit) {
        if (capacity && written < capacity)
            wide[written] = static_cast<WCHAR>(unit);
        ++written;
    };
    for (size_t i = 0; i < size;) {
        const unsigned char c = p[i];
        int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        uint32_t code = extra == 0 ? c : extra == 1 ? c & 0x1F : extra == 2 ? c & 0x0F : c & 0x07;
        bool valid = extra >= 0 && i + extra < size;
        for (int k = 1; valid && k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                valid = false;
            else
                code = code << 6 | (p[i + k] & 0x3F);
        }
        static const uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (valid && (code < kLeast[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)))
            valid = false;
        if (!valid) {
            put(0xFFFD);
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            put(0xD800 + ((code - 0x10000) >> 10));
            put(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            put(code);
        }
        i += static_cast<size_t>(extra) + 1;
    }
    return capacity && written > capacity ? 0 : written;
}

int WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wide, int length, LPSTR text, int capacity, LPCSTR,
                        BOOL* usedDefault)
{
    if (usedDefault)
        *usedDefault = FALSE;
    if ((codePage != CP_ACP && codePage != CP_UTF8) || !wide || length == 0 || length < -1 || capacity < 0
        || (capacity && !text))
        return 0;
    size_t size = 0;
    if (length == -1) {
        while (wide[size])
            ++size;
        ++size;
    } else {
        size = static_cast<size_t>(length);
    }
    int written = 0;
    auto put = [&](uint32_t byte) {
        if (capacity && written < capacity)
            text[written] = static_cast<char>(byte);
        ++written;
    };
    for (size_t i = 0; i < size; ++i) {
        uint32_t code = static_cast<uint32_t>(wide[i]);
        if (code > 0xFFFF) {
            code = 0xFFFD;
        } else if (code >= 0xD800 && code <= 0xDBFF && i + 1 < size && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<uint32_t>(wide[i + 1]) - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            put(code);
        } else if (code < 0x800) {
            put(0xC0 | code >> 6);
            put(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            put(0xE0 | code >> 12);
            put(0x80 | (code >> 6 & 0x3F));
            put(0x80 | (code & 0x3F));
        } else {
            put(0xF0 | code >> 18);
            put(0x80 | (code >> 12 & 0x3F));
            put(0x80 | (code >> 6 & 0x3F));
            put(0x80 | (code & 0x3F));
        }
    }
    return capacity && written > capacity ? 0 : written;
}

int lstrcmpiA(LPCSTR a, LPCSTR b)
{
    if (!a || !b)
        return a ? 1 : b ? -1 : 0;
    for (;; ++a, ++b) {
        const int x = (*a >= 'A' && *a <= 'Z') ? *a + 32 : static_cast<unsigned char>(*a);
        const int y = (*b >= 'A' && *b <= 'Z') ? *b + 32 : static_cast<unsigned char>(*b);
        if (x != y)
            return x < y ? -1 : 1;
        if (!x)
            return 0;
    }
}

DWORD FormatMessageA(DWORD, const void*, DWORD, DWORD, LPSTR, DWORD, va_list*)
{
    return 0;
}

void* LocalFree(void* memory)
{
    std::free(memory);
    return nullptr;
}

namespace host_oleaut {
int LiveStrings()
{
    return g_strings;
}
int LiveArrays()
{
    return g_arrays;
}
void FailAllocation(int countdown)
{
    g_failIn = countdown;
}
} // namespace host_oleaut
