#include "quifw/OleException.h"

#include "OleText.h"

IMPLEMENT_DYNAMIC(COleException, CException)
IMPLEMENT_DYNAMIC(COleDispatchException, CException)

namespace {

// Cut to fit and terminated; FALSE for an empty text.
BOOL CopyMessage(const CString& text, LPTSTR lpszError, UINT nMaxError)
{
    if (lpszError && nMaxError > 0)
        lstrcpyn(lpszError, text, static_cast<int>(nMaxError));
    return !text.IsEmpty();
}

} // namespace

CString AfxNarrowText(const wchar_t* lpszWide, int nLength)
{
    CString text;
    if (!lpszWide || nLength == 0)
        return text;
    int size = ::WideCharToMultiByte(CP_ACP, 0, lpszWide, nLength, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return text;
    LPTSTR buffer = text.GetBufferSetLength(size);
    ::WideCharToMultiByte(CP_ACP, 0, lpszWide, nLength, buffer, size, nullptr, nullptr);
    // A length of -1 converts the terminator too.
    text.ReleaseBuffer(nLength < 0 ? size - 1 : size);
    return text;
}

CString AfxNarrowBstr(BSTR bstr)
{
    return bstr ? AfxNarrowText(bstr, static_cast<int>(::SysStringLen(bstr))) : CString();
}

//--- COleException

BOOL COleException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    CString text;
    LPSTR lpszSystem = nullptr;
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                        FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, static_cast<DWORD>(m_sc), 0, reinterpret_cast<LPSTR>(&lpszSystem),
                                    0, nullptr);
    if (length > 0 && lpszSystem) {
        text = lpszSystem;
        text.TrimRight();
    }
    if (lpszSystem)
        ::LocalFree(lpszSystem);
    if (text.IsEmpty())
        text.Format("OLE error 0x%08lX.", static_cast<unsigned long>(m_sc));
    return CopyMessage(text, lpszError, nMaxError);
}

void AfxThrowOleException(SCODE sc)
{
    throw new COleException(sc);
}

//--- COleDispatchException

COleDispatchException::COleDispatchException(const EXCEPINFO& excepInfo)
    : m_wCode(excepInfo.wCode),
      m_scError(excepInfo.scode),
      m_strSource(AfxNarrowBstr(excepInfo.bstrSource)),
      m_strDescription(AfxNarrowBstr(excepInfo.bstrDescription)),
      m_strHelpFile(AfxNarrowBstr(excepInfo.bstrHelpFile)),
      m_dwHelpContext(excepInfo.dwHelpContext)
{
}

BOOL COleDispatchException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    if (pnHelpContext)
        *pnHelpContext = m_dwHelpContext;
    return CopyMessage(m_strDescription, lpszError, nMaxError);
}
