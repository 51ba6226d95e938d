// The open and save file dialogs, shown through the prompt seam.
#pragma once

#include "String.h"

#include <commdlg.h>

class CWnd;

class CFileDialog {
public:
    // lpszFilter holds pairs of a description and a pattern, each ended by
    // '|': "Text files (*.txt)|*.txt|All files|*.*||".
    CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                CWnd* pParentWnd = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // lpstrTitle, lpstrInitialDir and Flags may be changed before DoModal.
    OPENFILENAME m_ofn;

    INT_PTR DoModal();                     // IDOK or IDCANCEL
    CString GetPathName() const { return m_strPath; }
    CString GetFileName() const;           // without its folder
    CString GetFileExt() const;            // without the dot; empty when none
    CString GetFileTitle() const;          // the file name without its extension

private:
    BOOL m_bOpenFileDialog;
    CString m_strFilter;
    CString m_strDefExt;
    CString m_strPath;
    CWnd* m_pParentWnd;
    char m_szFile[MAX_PATH] = "";
};
