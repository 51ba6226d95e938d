#include "PalmDump.h"

#include <cstring>
#include <memory>

#include "PdCommon.h"
#include "Table21.h"

namespace {
bool IsUsersFile(const CString& path)
{
    const int length = static_cast<int>(std::strlen(PALM_USERS_FILE));
    return path.GetLength() >= length && path.Right(length).CompareNoCase(PALM_USERS_FILE) == 0;
}
} // namespace

CString PalmDumpFile(LPCTSTR path)
{
    const CString file(path);
    if (IsUsersFile(file)) {
        CUserMgr users;
        if (users.SetDirectory(file.Left(file.GetLength() - static_cast<int>(std::strlen(PALM_USERS_FILE)))) != 0)
            return "error: the users file cannot be read";
        return users.Dump();
    }
    try {
        std::unique_ptr<CBaseTable> table(CBaseTable::OpenAny(path));
        return table->Dump();
    } catch (CException* e) {
        char message[512] = "";
        e->GetErrorMessage(message, sizeof message);
        e->Delete();
        return CString("error: ") + message;
    }
}
