#include "NotesPathUtil.h"

#include <afxquill.h>

BOOL NotesPathUtil::BrowseForNotes(HWND hWndOwner)
{
    CPromptAnswer answer = AfxBrowseForFolder(hWndOwner, "");
    if (answer.nResult != IDOK || answer.path.IsEmpty())
        return FALSE;
    if (answer.path.GetLength() >= static_cast<int>(sizeof m_folder) || !HoldsNotesProgram(answer.path))
        return FALSE;
    lstrcpynA(m_folder, answer.path, sizeof m_folder);
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quillmate", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "Notes Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(m_folder),
                       static_cast<DWORD>(lstrlenA(m_folder) + 1));
        RegCloseKey(key);
    }
    // The picked folder goes on PATH whether or not it could be remembered:
    // the server is loaded from it right after.
    AppendToPath(m_folder);
    m_bFound = TRUE;
    return TRUE;
}
