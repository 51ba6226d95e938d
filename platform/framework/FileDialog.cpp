#include "quifw/FileDialog.h"

#include "quifw/Dialog.h"
#include "quifw/Prompt.h"

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_strFilter(lpszFilter), m_strDefExt(lpszDefExt),
      m_pParentWnd(pParentWnd)
{
    if (lpszFileName)
        lstrcpyn(m_szFile, lpszFileName, MAX_PATH);
    ZeroMemory(&m_ofn, sizeof(m_ofn));
    m_ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400;
    m_ofn.lpstrFile = m_szFile;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrDefExt = m_strDefExt.IsEmpty() ? nullptr : m_strDefExt.GetString();
    m_ofn.Flags = dwFlags;
}

INT_PTR CFileDialog::DoModal()
{
    CPromptRequest request;
    request.kind = m_bOpenFileDialog ? PromptKind::OpenFile : PromptKind::SaveFile;
    request.hWndOwner = CDialog::OwnerForModal(m_pParentWnd);
    request.caption = m_ofn.lpstrTitle;
    request.nType = m_ofn.Flags;
    request.filter = m_strFilter;
    request.fileName = m_ofn.lpstrFile;
    request.initialDir = m_ofn.lpstrInitialDir;
    request.defExt = m_ofn.lpstrDefExt;
    CPromptAnswer answer = AfxPrompt(request);
    if (answer.nResult != IDOK)
        return IDCANCEL;
    m_strPath = answer.path;
    lstrcpyn(m_szFile, m_strPath, MAX_PATH);
    return IDOK;
}

CString CFileDialog::GetFileName() const
{
    int slash = m_strPath.ReverseFind('\\');
    int other = m_strPath.ReverseFind('/');
    return m_strPath.Mid((slash > other ? slash : other) + 1);
}

CString CFileDialog::GetFileExt() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? name : name.Left(dot);
}
