// For the host tree's fuzz targets: the least of OLE automation that the
// automation texts, the drop fields' values and the VARIANT string arrays
// use (BSTRs, VARIANTs, SAFEARRAYs, the ANSI code page), with the system's
// semantics and failures. Every string, array and array body is a block of
// its own exact size, so that AddressSanitizer sees overruns, leaks and
// frees of what was never allocated.
//
// Where the host differs: OLECHAR is the host's 32-bit wchar_t, each holding
// one UTF-16 unit; LONG is 64 bits wide, so bounds and indices keep to what
// 32 bits hold (an index beyond is refused, an upper bound wraps as it does
// in 32 bits). The ANSI code page is UTF-8, a real one in which a character
// takes up to three bytes. Interface pointers, records and VT_CLSID are not
// kept: those types are refused where the system would call into them.
#pragma once

#include "windows.h"

#include <cstdarg>

typedef unsigned short VARTYPE;
typedef short VARIANT_BOOL;
typedef int32_t HRESULT;
typedef int32_t SCODE;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef uint32_t ULONG;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef char CHAR;
typedef int INT;
typedef float FLOAT;
typedef double DOUBLE;
typedef double DATE;
typedef void* PVOID;
typedef void* LPVOID;
typedef wchar_t WCHAR;
typedef WCHAR OLECHAR;
typedef OLECHAR* BSTR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef DWORD LCID;

#define VARIANT_TRUE (static_cast<VARIANT_BOOL>(-1))
#define VARIANT_FALSE (static_cast<VARIANT_BOOL>(0))

#define MAKE_HRESULT_(code) (static_cast<HRESULT>(static_cast<uint32_t>(code)))
#define S_OK MAKE_HRESULT_(0)
#define S_FALSE MAKE_HRESULT_(1)
#define E_NOTIMPL MAKE_HRESULT_(0x80004001u)
#define E_POINTER MAKE_HRESULT_(0x80004003u)
#define E_FAIL MAKE_HRESULT_(0x80004005u)
#define E_UNEXPECTED MAKE_HRESULT_(0x8000FFFFu)
#define E_OUTOFMEMORY MAKE_HRESULT_(0x8007000Eu)
#define E_INVALIDARG MAKE_HRESULT_(0x80070057u)
#define DISP_E_TYPEMISMATCH MAKE_HRESULT_(0x80020005u)
#define DISP_E_BADVARTYPE MAKE_HRESULT_(0x80020008u)
#define DISP_E_OVERFLOW MAKE_HRESULT_(0x8002000Au)
#define DISP_E_BADINDEX MAKE_HRESULT_(0x8002000Bu)
#define DISP_E_ARRAYISLOCKED MAKE_HRESULT_(0x8002000Du)
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)

enum VARENUM : VARTYPE {
    VT_EMPTY = 0, VT_NULL = 1, VT_I2 = 2, VT_I4 = 3, VT_R4 = 4, VT_R8 = 5, VT_CY = 6, VT_DATE = 7, VT_BSTR = 8,
    VT_DISPATCH = 9, VT_ERROR = 10, VT_BOOL = 11, VT_VARIANT = 12, VT_UNKNOWN = 13, VT_DECIMAL = 14, VT_I1 = 16,
    VT_UI1 = 17, VT_UI2 = 18, VT_UI4 = 19, VT_I8 = 20, VT_UI8 = 21, VT_INT = 22, VT_UINT = 23, VT_VOID = 24,
    VT_RECORD = 36, VT_CLSID = 72,
    VT_VECTOR = 0x1000, VT_ARRAY = 0x2000, VT_BYREF = 0x4000, VT_RESERVED = 0x8000,
    VT_TYPEMASK = 0x0FFF, VT_ILLEGALMASKED = 0x0FFF,
};

enum : USHORT {
    FADF_AUTO = 0x1, FADF_STATIC = 0x2, FADF_EMBEDDED = 0x4, FADF_FIXEDSIZE = 0x10, FADF_RECORD = 0x20,
    FADF_HAVEIID = 0x40, FADF_HAVEVARTYPE = 0x80, FADF_BSTR = 0x100, FADF_UNKNOWN = 0x200,
    FADF_DISPATCH = 0x400, FADF_VARIANT = 0x800,
};

struct IUnknown;
struct IDispatch;
typedef IUnknown* LPUNKNOWN;
typedef IDispatch* LPDISPATCH;

typedef union tagCY {
    struct {
        ULONG Lo;
        int32_t Hi;
    };
    LONGLONG int64;
} CY;

typedef struct tagDEC {
    USHORT wReserved;
    BYTE scale;
    BYTE sign;
    ULONG Hi32;
    ULONGLONG Lo64;
} DECIMAL;
#define DECIMAL_NEG (static_cast<BYTE>(0x80))

typedef struct tagSAFEARRAYBOUND {
    ULONG cElements;
    LONG lLbound;
} SAFEARRAYBOUND;
typedef SAFEARRAYBOUND* LPSAFEARRAYBOUND;

// The bounds are kept last dimension first, as the system keeps them.
typedef struct tagSAFEARRAY {
    USHORT cDims;
    USHORT fFeatures;
    ULONG cbElements;
    ULONG cLocks;
    PVOID pvData;
    SAFEARRAYBOUND rgsabound[1];
} SAFEARRAY;
typedef SAFEARRAY* LPSAFEARRAY;

struct tagVARIANT;
typedef struct tagVARIANT VARIANT;
typedef VARIANT VARIANTARG;
typedef VARIANT* LPVARIANT;
typedef VARIANT* LPVARIANTARG;

struct tagVARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONGLONG llVal;
        LONG lVal;
        BYTE bVal;
        SHORT iVal;
        FLOAT fltVal;
        DOUBLE dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        CY cyVal;
        DATE date;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        SAFEARRAY* parray;
        BYTE* pbVal;
        SHORT* piVal;
        LONG* plVal;
        LONGLONG* pllVal;
        FLOAT* pfltVal;
        DOUBLE* pdblVal;
        VARIANT_BOOL* pboolVal;
        SCODE* pscode;
        CY* pcyVal;
        DATE* pdate;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        SAFEARRAY** pparray;
        VARIANT* pvarVal;
        PVOID byref;
        CHAR cVal;
        USHORT uiVal;
        ULONG ulVal;
        ULONGLONG ullVal;
        INT intVal;
        UINT uintVal;
        DECIMAL* pdecVal;
        CHAR* pcVal;
        USHORT* puiVal;
        ULONG* pulVal;
        ULONGLONG* pullVal;
        INT* pintVal;
        UINT* puintVal;
    };
};

#define V_VT(v) ((v)->vt)
#define V_ARRAY(v) ((v)->parray)
#define V_BSTR(v) ((v)->bstrVal)
#define V_I2(v) ((v)->iVal)
#define V_I4(v) ((v)->lVal)
#define V_DATE(v) ((v)->date)
#define V_ISBYREF(v) (V_VT(v) & VT_BYREF)
#define V_ISARRAY(v) (V_VT(v) & VT_ARRAY)

typedef struct tagEXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    PVOID pvReserved;
    HRESULT (*pfnDeferredFillIn)(struct tagEXCEPINFO*);
    SCODE scode;
} EXCEPINFO;

typedef struct _SYSTEMTIME {
    WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
} SYSTEMTIME;

// Strings. A BSTR is preceded by its length in bytes and followed by a zero
// character; it may hold zeros of its own.
BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
BSTR SysAllocStringByteLen(const char* bytes, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

// Variants.
void VariantInit(VARIANTARG* value);
HRESULT VariantClear(VARIANTARG* value);
HRESULT VariantCopy(VARIANTARG* to, const VARIANTARG* from);
HRESULT VariantCopyInd(VARIANT* to, const VARIANTARG* from);
HRESULT VariantChangeType(VARIANTARG* to, const VARIANTARG* from, USHORT flags, VARTYPE type);

// Arrays.
SAFEARRAY* SafeArrayCreate(VARTYPE type, UINT dims, SAFEARRAYBOUND* bounds);
SAFEARRAY* SafeArrayCreateVector(VARTYPE type, LONG lower, ULONG count);
HRESULT SafeArrayDestroy(SAFEARRAY* array);
HRESULT SafeArrayCopy(SAFEARRAY* array, SAFEARRAY** copy);
UINT SafeArrayGetDim(SAFEARRAY* array);
UINT SafeArrayGetElemsize(SAFEARRAY* array);
HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* type);
HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* lower);
HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* upper);
HRESULT SafeArrayGetElement(SAFEARRAY* array, LONG* indices, void* value);
HRESULT SafeArrayPutElement(SAFEARRAY* array, LONG* indices, void* value);
HRESULT SafeArrayLock(SAFEARRAY* array);
HRESULT SafeArrayUnlock(SAFEARRAY* array);
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
HRESULT SafeArrayUnaccessData(SAFEARRAY* array);
HRESULT SafeArrayRedim(SAFEARRAY* array, SAFEARRAYBOUND* lastBound);

// The ANSI code page (UTF-8 here): invalid input becomes U+FFFD; a buffer
// too small gives 0.
enum : UINT { CP_ACP = 0, CP_UTF8 = 65001 };
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int bytes, LPWSTR wide, int capacity);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int length, LPSTR text, int capacity,
                        LPCSTR defaultChar, BOOL* usedDefault);
int lstrcmpiA(LPCSTR a, LPCSTR b);
#define lstrcpyn lstrcpynA
DWORD FormatMessageA(DWORD flags, const void* source, DWORD id, DWORD language, LPSTR buffer, DWORD size,
                     va_list* args);
void* LocalFree(void* memory);
enum : DWORD {
    FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x100, FORMAT_MESSAGE_IGNORE_INSERTS = 0x200, FORMAT_MESSAGE_FROM_SYSTEM = 0x1000,
};

namespace host_oleaut {
// Allocations still held: strings, and arrays with their bodies.
int LiveStrings();
int LiveArrays();
// The allocation `countdown` calls from now fails, as the system's do when
// memory runs out (0: none fails).
void FailAllocation(int countdown);
} // namespace host_oleaut
