#include "quifw/OleVariant.h"

namespace {

// A copy that owns its own strings and references, or an exception.
VARIANT Copied(const VARIANT& src)
{
    VARIANT copy;
    ::VariantInit(&copy);
    HRESULT hr = ::VariantCopy(&copy, const_cast<VARIANT*>(&src));
    if (FAILED(hr))
        AfxThrowOleException(hr);
    return copy;
}

VARIANT Text(LPCTSTR lpszSrc)
{
    VARIANT text;
    ::VariantInit(&text);
    text.bstrVal = CString(lpszSrc).AllocSysString();
    if (!text.bstrVal)
        AfxThrowOleException(E_OUTOFMEMORY);
    text.vt = VT_BSTR;
    return text;
}

VARIANT Number(VARTYPE vt, long lSrc)
{
    VARIANT number;
    ::VariantInit(&number);
    number.vt = vt;
    switch (vt) {
    case VT_BOOL: number.boolVal = lSrc ? VARIANT_TRUE : VARIANT_FALSE; break;
    case VT_ERROR: number.scode = lSrc; break;
    case VT_I2: number.iVal = static_cast<SHORT>(lSrc); break;
    case VT_I4: number.lVal = lSrc; break;
    default: AfxThrowOleException(DISP_E_BADVARTYPE);
    }
    return number;
}

VARIANT Date(const COleDateTime& dateSrc)
{
    VARIANT date;
    ::VariantInit(&date);
    if (dateSrc.GetStatus() == COleDateTime::null) {
        date.vt = VT_NULL;
    } else {
        date.vt = VT_DATE;
        date.date = dateSrc.m_dt;
    }
    return date;
}

} // namespace

COleVariant::COleVariant(const VARIANT& varSrc) : tagVARIANT(Copied(varSrc)) {}

COleVariant::COleVariant(const VARIANT* pSrc) : COleVariant()
{
    if (pSrc)
        *this = *pSrc;
}

COleVariant::COleVariant(const COleVariant& varSrc) : tagVARIANT(Copied(varSrc)) {}

COleVariant::COleVariant(LPCTSTR lpszSrc) : tagVARIANT(Text(lpszSrc)) {}

COleVariant::COleVariant(const CString& strSrc) : tagVARIANT(Text(strSrc)) {}

COleVariant::COleVariant(BYTE nSrc) : COleVariant()
{
    vt = VT_UI1;
    bVal = nSrc;
}

COleVariant::COleVariant(short nSrc, VARTYPE vtSrc)
    : tagVARIANT(Number(vtSrc == VT_BOOL ? VT_BOOL : VT_I2, nSrc)) {}

COleVariant::COleVariant(int nSrc, VARTYPE vtSrc) : tagVARIANT(Number(vtSrc, nSrc)) {}

COleVariant::COleVariant(long lSrc, VARTYPE vtSrc)
    : tagVARIANT(Number(vtSrc == VT_BOOL || vtSrc == VT_ERROR ? vtSrc : VT_I4, lSrc)) {}

COleVariant::COleVariant(float fltSrc) : COleVariant()
{
    vt = VT_R4;
    fltVal = fltSrc;
}

COleVariant::COleVariant(double dblSrc) : COleVariant()
{
    vt = VT_R8;
    dblVal = dblSrc;
}

COleVariant::COleVariant(const COleDateTime& dateSrc) : tagVARIANT(Date(dateSrc)) {}

void COleVariant::Take(VARIANT& value)
{
    ::VariantClear(this);
    static_cast<VARIANT&>(*this) = value;
}

// Every assignment makes the new value first, so that assigning a value
// held inside this object (or this object itself) copies it before it is freed.
COleVariant& COleVariant::operator=(const VARIANT& varSrc)
{
    VARIANT copy = Copied(varSrc);
    Take(copy);
    return *this;
}

COleVariant& COleVariant::operator=(const VARIANT* pSrc)
{
    if (!pSrc) {
        Clear();
        return *this;
    }
    return *this = *pSrc;
}

COleVariant& COleVariant::operator=(const COleVariant& varSrc)
{
    return *this = static_cast<const VARIANT&>(varSrc);
}

COleVariant& COleVariant::operator=(LPCTSTR lpszSrc)
{
    VARIANT text = Text(lpszSrc);
    Take(text);
    return *this;
}

COleVariant& COleVariant::operator=(const CString& strSrc)
{
    return *this = strSrc.GetString();
}

COleVariant& COleVariant::operator=(BYTE nSrc)
{
    return *this = COleVariant(nSrc);
}

COleVariant& COleVariant::operator=(short nSrc)
{
    return *this = COleVariant(nSrc);
}

COleVariant& COleVariant::operator=(int nSrc)
{
    return *this = COleVariant(nSrc);
}

COleVariant& COleVariant::operator=(long lSrc)
{
    return *this = COleVariant(lSrc);
}

COleVariant& COleVariant::operator=(float fltSrc)
{
    return *this = COleVariant(fltSrc);
}

COleVariant& COleVariant::operator=(double dblSrc)
{
    return *this = COleVariant(dblSrc);
}

COleVariant& COleVariant::operator=(const COleDateTime& dateSrc)
{
    VARIANT date = Date(dateSrc);
    Take(date);
    return *this;
}

void COleVariant::ChangeType(VARTYPE vartype, LPVARIANT pSrc)
{
    VARIANT converted;
    ::VariantInit(&converted);
    HRESULT hr = ::VariantChangeType(&converted, pSrc ? pSrc : this, 0, vartype);
    if (FAILED(hr))
        AfxThrowOleException(hr);
    Take(converted);
}

void COleVariant::Attach(VARIANT& varSrc)
{
    if (&varSrc == this)
        return;
    VARIANT taken = varSrc;
    ::VariantInit(&varSrc);
    Take(taken);
}

VARIANT COleVariant::Detach()
{
    VARIANT handed = *this;
    ::VariantInit(this);
    return handed;
}
