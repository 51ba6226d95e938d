#include "AutomationText.h"

#include <cstring>

namespace {

BOOL ServerCommandIs(const char* rest, const char* token)
{
    return lstrcmpiA(rest, token) == 0;
}

} // namespace

CString QuiNarrowBstr(BSTR text)
{
    int length = text ? static_cast<int>(::SysStringLen(text)) : 0;
    if (length == 0)
        return CString();
    int bytes = ::WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    CString narrow;
    if (bytes > 0) {
        ::WideCharToMultiByte(CP_ACP, 0, text, length, narrow.GetBufferSetLength(bytes), bytes, nullptr, nullptr);
        narrow.ReleaseBuffer(bytes);
    }
    return narrow;
}

QuiServerCommand QuiFindServerCommand(const char* lpszCmdLine)
{
    for (const char* p = lpszCmdLine ? std::strpbrk(lpszCmdLine, "-/") : nullptr; p; p = std::strpbrk(p + 1, "-/")) {
        if (ServerCommandIs(p + 1, "UnregServer"))
            return QUI_SERVER_UNREGISTER;
        if (ServerCommandIs(p + 1, "RegServer"))
            return QUI_SERVER_REGISTER;
    }
    return QUI_SERVER_RUN;
}
