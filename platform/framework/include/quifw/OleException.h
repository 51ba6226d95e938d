// The exceptions of the automation client: a failing COM call (COleException)
// and a member that the server failed with its own error text
// (COleDispatchException). Both are thrown by pointer, as every framework
// exception is.
#pragma once

#include "Object.h"
#include "String.h"

#include <oaidl.h>

class COleException : public CException {
    DECLARE_DYNAMIC(COleException)
public:
    explicit COleException(SCODE sc = S_OK) : m_sc(sc) {}

    // The system's text for the status code, or one naming the code in hex.
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;

    SCODE m_sc;
};

class COleDispatchException : public CException {
    DECLARE_DYNAMIC(COleDispatchException)
public:
    // Copies what the server filled in; its strings stay the caller's to free.
    explicit COleDispatchException(const EXCEPINFO& excepInfo);

    // The server's description; FALSE when it gave none. The help context is
    // the server's.
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;

    WORD m_wCode;              // the server's own error number, 0 when it gave a status code
    SCODE m_scError;           // the status code the server gave
    CString m_strSource;       // usually the ProgID of the failing object
    CString m_strDescription;  // the server's text
    CString m_strHelpFile;
    DWORD m_dwHelpContext;
};

[[noreturn]] void AfxThrowOleException(SCODE sc);
