// The Windows side of CString: resource strings.
#include "quifw/String.h"
#include "quifw/WinApp.h"

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
