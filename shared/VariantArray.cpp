#include "VariantArray.h"

#include <string>

HRESULT QuiMakeStringArray(VARIANT* value)
{
    if (!value)
        return E_POINTER;
    VariantClear(value);
    SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, 0);
    if (!array)
        return E_OUTOFMEMORY;
    V_VT(value) = VT_ARRAY | VT_BSTR;
    V_ARRAY(value) = array;
    return S_OK;
}

HRESULT QuiAppendString(VARIANT* array, const wchar_t* text)
{
    if (!array)
        return E_POINTER;
    if (!QuiIsStringArray(*array))
        return E_INVALIDARG;
    SAFEARRAY* elements = V_ARRAY(array);
    LONG lower = 0;
    SafeArrayGetLBound(elements, 1, &lower);
    const ULONG count = elements->rgsabound[0].cElements;
    // The new element needs an index a LONG holds.
    const LONGLONG index = static_cast<LONGLONG>(lower) + count;
    if (index > 0x7FFFFFFF)
        return DISP_E_OVERFLOW;
    SAFEARRAYBOUND bound = {count + 1, lower};
    HRESULT hr = SafeArrayRedim(elements, &bound);
    if (FAILED(hr))
        return hr;
    BSTR copy = SysAllocString(text ? text : L"");
    LONG last = static_cast<LONG>(index);
    hr = copy ? SafeArrayPutElement(elements, &last, copy) : E_OUTOFMEMORY;
    SysFreeString(copy);
    if (FAILED(hr)) {
        // A failed append leaves the array as it was.
        --bound.cElements;
        SafeArrayRedim(elements, &bound);
    }
    return hr;
}

HRESULT QuiAppendAnsiString(VARIANT* array, const char* text)
{
    const char* ansi = text ? text : "";
    int size = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    if (size <= 0)
        return E_INVALIDARG;
    std::wstring wide(size, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, &wide[0], size);
    return QuiAppendString(array, wide.c_str());
}

bool QuiIsStringArray(const VARIANT& value)
{
    // The array's own type as well as the VARIANT's label: its elements are
    // copied out as the array says.
    VARTYPE stored = VT_EMPTY;
    return V_VT(&value) == (VT_ARRAY | VT_BSTR) && V_ARRAY(&value) && SafeArrayGetDim(V_ARRAY(&value)) == 1
           && SUCCEEDED(SafeArrayGetVartype(V_ARRAY(&value), &stored)) && stored == VT_BSTR;
}

namespace {

// The elements with `separator` between them, and after the last too when
// `trailing`.
HRESULT Join(const VARIANT& array, const wchar_t* separator, bool trailing, BSTR* joined)
{
    if (!joined)
        return E_POINTER;
    *joined = nullptr;
    if (!QuiIsStringArray(array))
        return E_INVALIDARG;
    SAFEARRAY* elements = V_ARRAY(&array);
    LONG lower = 0;
    SafeArrayGetLBound(elements, 1, &lower);
    // Counted from the size, wider than LONG: the upper bound of an array
    // ending at the largest index, or of an empty one starting at the
    // smallest, wraps round.
    const LONGLONG end = static_cast<LONGLONG>(lower) + elements->rgsabound[0].cElements;
    std::wstring text;
    for (LONGLONG at = lower; at < end; ++at) {
        LONG index = static_cast<LONG>(at);
        BSTR element = nullptr;
        HRESULT hr = SafeArrayGetElement(elements, &index, &element);
        if (FAILED(hr))
            return hr;
        try {
            text.append(element ? element : L"", SysStringLen(element));
            if (trailing || at + 1 < end)
                text.append(separator);
        } catch (...) {
            hr = E_OUTOFMEMORY;
        }
        SysFreeString(element);
        if (FAILED(hr))
            return hr;
    }
    *joined = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *joined ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

HRESULT QuiJoinStringArray(const VARIANT& array, wchar_t terminator, BSTR* joined)
{
    const wchar_t separator[] = {terminator, L'\0'};
    return Join(array, separator, true, joined);
}

HRESULT QuiJoinStrings(const VARIANT& array, const wchar_t* separator, BSTR* joined)
{
    return Join(array, separator ? separator : L"", false, joined);
}
