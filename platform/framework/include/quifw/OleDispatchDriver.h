// COleDispatchDriver: one IDispatch of an automation object, created by
// ProgID or attached, and its members called by DISPID.
//
// A call the object fails with error information (DISP_E_EXCEPTION) throws
// COleDispatchException carrying the server's text and code; any other
// failing status, and a result that does not convert to the type asked for,
// throws COleException.
#pragma once

#include "OleException.h"
#include "String.h"

#include <cstdarg>

#include <oaidl.h>

// Argument lists of InvokeHelper: one code per argument, strung together
// (VTS_BSTR VTS_I4 is "a text, then a long"). What to pass for each:
//   VTS_I2 short, VTS_I4 long, VTS_R4 float, VTS_R8 double, VTS_CY CY,
//   VTS_DATE DATE, VTS_BSTR an ANSI text (LPCTSTR; null sends an empty
//   text), VTS_DISPATCH LPDISPATCH, VTS_SCODE SCODE, VTS_BOOL BOOL,
//   VTS_VARIANT const VARIANT* (sent as it is), VTS_UNKNOWN LPUNKNOWN,
//   VTS_UI1 BYTE.
// The VTS_P forms pass the argument by reference: a pointer to the
// automation type itself (short*, long*, BSTR*, VARIANT_BOOL*, VARIANT*, ...),
// which the server may change; a BSTR it replaces is the server's to free
// and the new one the caller's.
#define VTS_NONE ""
#define VTS_I2 "\x02"
#define VTS_I4 "\x03"
#define VTS_R4 "\x04"
#define VTS_R8 "\x05"
#define VTS_CY "\x06"
#define VTS_DATE "\x07"
#define VTS_BSTR "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_SCODE "\x0A"
#define VTS_BOOL "\x0B"
#define VTS_VARIANT "\x0C"
#define VTS_UNKNOWN "\x0D"
#define VTS_UI1 "\x11"
// By reference: the type's code with VTS_BYREF added.
#define VTS_BYREF 0x40
#define VTS_PI2 "\x42"
#define VTS_PI4 "\x43"
#define VTS_PR4 "\x44"
#define VTS_PR8 "\x45"
#define VTS_PCY "\x46"
#define VTS_PDATE "\x47"
#define VTS_PBSTR "\x48"
#define VTS_PDISPATCH "\x49"
#define VTS_PSCODE "\x4A"
#define VTS_PBOOL "\x4B"
#define VTS_PVARIANT "\x4C"
#define VTS_PUNKNOWN "\x4D"
#define VTS_PUI1 "\x51"

class COleDispatchDriver {
public:
    COleDispatchDriver() = default;
    // Takes over a reference to lpDispatch; with bAutoRelease FALSE the
    // driver never releases it (the caller keeps it alive).
    explicit COleDispatchDriver(LPDISPATCH lpDispatch, BOOL bAutoRelease = TRUE);
    // Shares the other's object, with a reference of its own.
    COleDispatchDriver(const COleDispatchDriver& dispatchSrc);
    COleDispatchDriver& operator=(const COleDispatchDriver& dispatchSrc);
    ~COleDispatchDriver() { ReleaseDispatch(); }

    // Creates the object (in process or local server) and takes its
    // IDispatch. On failure returns FALSE, the driver keeps what it held,
    // and pError (when given) gets the failing status: CO_E_CLASSSTRING
    // for an unknown ProgID, E_NOINTERFACE for an object without IDispatch.
    BOOL CreateDispatch(REFCLSID clsid, COleException* pError = nullptr);
    BOOL CreateDispatch(LPCTSTR lpszProgID, COleException* pError = nullptr);

    // Drops what the driver held (ReleaseDispatch) and holds lpDispatch.
    void AttachDispatch(LPDISPATCH lpDispatch, BOOL bAutoRelease = TRUE);
    // Releases the object when the driver owns its reference; empty after.
    void ReleaseDispatch();
    // Hands the reference to the caller without releasing it; empty after.
    LPDISPATCH DetachDispatch();

    // Calls member dwDispID. wFlags: DISPATCH_METHOD, DISPATCH_PROPERTYGET,
    // DISPATCH_PROPERTYPUT or DISPATCH_PROPERTYPUTREF. vtRet is the type the
    // result is converted to, VT_EMPTY for none; pvRet points to where it
    // goes (null discards it):
    //   VT_I2 short*, VT_I4 long*, VT_R4 float*, VT_R8 double*, VT_CY CY*,
    //   VT_DATE DATE*, VT_BSTR CString* (narrowed to the ANSI code page),
    //   VT_DISPATCH LPDISPATCH*, VT_ERROR SCODE*, VT_BOOL BOOL*,
    //   VT_VARIANT VARIANT* (overwritten, not cleared first; the caller owns
    //   the result), VT_UNKNOWN LPUNKNOWN*, VT_UI1 BYTE*.
    // Interfaces come with a reference the caller releases. pbParamInfo is
    // the argument list (`static BYTE params[] = VTS_BSTR VTS_I4;`, null for
    // none); the arguments follow in that order.
    // Throws COleException(OLE_E_BLANK) when no object is held, and
    // COleException(DISP_E_BADVARTYPE) for a code or result type not listed.
    void InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo,
                      ...) const;
    void InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo,
                       va_list argList) const;

    // A property get into pvProp, typed as for InvokeHelper's result.
    void GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) const;
    // A property put of one value, passed as for the VTS_ code of vtProp
    // (a VT_ type without VT_BYREF: VT_BSTR takes an ANSI text, VT_VARIANT
    // a const VARIANT*, VT_BOOL a BOOL).
    void SetProperty(DISPID dwDispID, VARTYPE vtProp, ...) const;
    void SetPropertyV(DISPID dwDispID, VARTYPE vtProp, va_list argList) const;

    LPDISPATCH m_lpDispatch = nullptr;
    BOOL m_bAutoRelease = TRUE;
};
