#include "DropValues.h"

#include "AutomationText.h"
#include "VariantArray.h"

namespace {

// The elements of a one-dimensional array of strings or of variants (each
// converted to a string), from its lower bound to its upper bound.
void ReadStringArray(const VARIANT& v, CStringArray& out)
{
    VARTYPE element = v.vt & VT_TYPEMASK;
    SAFEARRAY* array = (v.vt & VT_BYREF) ? (v.pparray ? *v.pparray : nullptr) : v.parray;
    if (!array)
        return;
    // The array's own type decides how an element is copied out: an array
    // the VARIANT labels otherwise would be copied over the wrong room.
    VARTYPE stored = VT_EMPTY;
    if ((element != VT_BSTR && element != VT_VARIANT) || ::SafeArrayGetDim(array) != 1
        || FAILED(::SafeArrayGetVartype(array, &stored)) || stored != element)
        AfxThrowOleException(DISP_E_TYPEMISMATCH);
    LONG lower = 0;
    ::SafeArrayGetLBound(array, 1, &lower);
    // Counted from the size, wider than LONG: the upper bound of an array
    // ending at the largest index, or of an empty one starting at the
    // smallest, wraps round.
    const LONGLONG end = static_cast<LONGLONG>(lower) + array->rgsabound[0].cElements;
    for (LONGLONG at = lower; at < end; at++) {
        LONG i = static_cast<LONG>(at);
        COleVariant item;
        HRESULT hr = element == VT_BSTR ? ::SafeArrayGetElement(array, &i, &item.bstrVal)
                                        : ::SafeArrayGetElement(array, &i, static_cast<VARIANT*>(item));
        if (FAILED(hr))
            AfxThrowOleException(hr);
        if (element == VT_BSTR)
            item.vt = VT_BSTR;
        else
            item.ChangeType(VT_BSTR);
        out.Add(QuiNarrowBstr(item.bstrVal));
    }
}

} // namespace

// The conversion's COleException passes on.
DATE QuiVariantDate(const VARIANT& v)
{
    COleVariant copy(v);
    copy.ChangeType(VT_DATE);
    return copy.date;
}

CString QuiVariantText(const VARIANT& v)
{
    COleVariant copy(v);
    copy.ChangeType(VT_BSTR);
    return QuiNarrowBstr(copy.bstrVal);
}

void QuiVariantTexts(const VARIANT& v, CStringArray& out)
{
    if (v.vt & VT_ARRAY)
        ReadStringArray(v, out);
    else
        out.Add(QuiVariantText(v));
}

void QuiTextsVariant(const CStringArray& texts, VARIANT* pOut)
{
    COleVariant array;
    HRESULT hr = QuiMakeStringArray(array);
    for (int i = 0; SUCCEEDED(hr) && i < texts.GetSize(); i++)
        hr = QuiAppendAnsiString(array, texts[i]);
    if (FAILED(hr))
        AfxThrowOleException(hr);
    ::VariantClear(pOut);
    *pOut = array.Detach();
}
