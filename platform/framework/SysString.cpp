// CString to BSTR, apart from the resource strings so that a host standing
// in for OLE automation (the fuzz targets) builds it too.
#include "quifw/String.h"

#include <oleauto.h>

BSTR CString::AllocSysString() const
{
    int length = ::MultiByteToWideChar(CP_ACP, 0, GetString(), GetLength(), nullptr, 0);
    BSTR result = ::SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (result && length > 0)
        ::MultiByteToWideChar(CP_ACP, 0, GetString(), GetLength(), result, length);
    return result;
}
