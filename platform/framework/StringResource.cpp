// The Windows side of CString: resource strings and BSTR.
#include "quifw/String.h"
#include "quifw/WinApp.h"

#include <oleauto.h>

BOOL CString::LoadString(UINT nID)
{
    // A string table entry holds at most 65535 characters.
    for (int size = 256; size <= 65536; size *= 2) {
        int length = ::LoadString(AfxGetResourceHandle(), nID, GetBuffer(size - 1), size);
        if (length < size - 1) {
            ReleaseBuffer(length);
            return length > 0;
        }
    }
    ReleaseBuffer(-1);
    return TRUE;
}

void CString::Format(UINT nFormatID, ...)
{
    CString format;
    format.LoadString(nFormatID);
    va_list args;
    va_start(args, nFormatID);
    FormatV(format, args);
    va_end(args);
}

BSTR CString::AllocSysString() const
{
    int length = ::MultiByteToWideChar(CP_ACP, 0, GetString(), GetLength(), nullptr, 0);
    BSTR result = ::SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (result && length > 0)
        ::MultiByteToWideChar(CP_ACP, 0, GetString(), GetLength(), result, length);
    return result;
}
