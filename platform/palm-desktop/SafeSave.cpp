#include "SafeSave.h"

void SaveReplacing(const CString& path, const std::function<void(CArchive&)>& write)
{
    const CString temporary = path + ".new";
    try {
        CFile file(temporary, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
        file.Close();
    } catch (CException*) {
        DeleteFileA(temporary);
        throw;
    }
    if (!MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        LONG error = static_cast<LONG>(GetLastError());
        DeleteFileA(temporary);
        AfxThrowFileException(CFileException::accessDenied, error, path);
    }
}
