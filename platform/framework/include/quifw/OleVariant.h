// COleVariant: a VARIANT that owns what it holds (strings, arrays,
// interfaces) and frees it when it is cleared, reassigned or destroyed.
// Copies are deep. A failure of the system's variant functions throws
// COleException and leaves the object as it was.
#pragma once

#include "OleDateTime.h"
#include "OleException.h"
#include "String.h"

#include <oaidl.h>

class COleVariant : public tagVARIANT {
public:
    COleVariant() { ::VariantInit(this); }
    COleVariant(const VARIANT& varSrc);
    COleVariant(const VARIANT* pSrc);      // null: empty
    COleVariant(const COleVariant& varSrc);
    // VT_BSTR widened from the ANSI code page; null gives an empty text.
    COleVariant(LPCTSTR lpszSrc);
    COleVariant(const CString& strSrc);
    COleVariant(BYTE nSrc);                            // VT_UI1
    COleVariant(short nSrc, VARTYPE vtSrc = VT_I2);    // VT_I2, or VT_BOOL (non-zero is true)
    COleVariant(int nSrc, VARTYPE vtSrc = VT_I4);      // VT_I4, VT_I2, VT_BOOL or VT_ERROR
    COleVariant(long lSrc, VARTYPE vtSrc = VT_I4);     // VT_I4, VT_BOOL or VT_ERROR
    COleVariant(float fltSrc);                         // VT_R4
    COleVariant(double dblSrc);                        // VT_R8
    // VT_DATE; a null date gives VT_NULL.
    COleVariant(const COleDateTime& dateSrc);
    ~COleVariant() { ::VariantClear(this); }

    COleVariant& operator=(const VARIANT& varSrc);
    COleVariant& operator=(const VARIANT* pSrc);
    COleVariant& operator=(const COleVariant& varSrc);
    COleVariant& operator=(LPCTSTR lpszSrc);
    COleVariant& operator=(const CString& strSrc);
    COleVariant& operator=(BYTE nSrc);
    COleVariant& operator=(short nSrc);                // VT_I2
    COleVariant& operator=(int nSrc);                  // VT_I4
    COleVariant& operator=(long lSrc);                 // VT_I4
    COleVariant& operator=(float fltSrc);
    COleVariant& operator=(double dblSrc);
    COleVariant& operator=(const COleDateTime& dateSrc);

    void Clear() { ::VariantClear(this); }
    // Converts in place, or sets this to pSrc converted; the system's
    // coercion in the user's locale.
    void ChangeType(VARTYPE vartype, LPVARIANT pSrc = nullptr);
    // Takes over what varSrc holds; varSrc is left empty.
    void Attach(VARIANT& varSrc);
    // Hands over what this holds, which the caller then frees; this is left empty.
    VARIANT Detach();

    operator LPVARIANT() { return this; }
    operator const VARIANT*() const { return this; }

private:
    // Replaces the content with an already owned value.
    void Take(VARIANT& value);
};
