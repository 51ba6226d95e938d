// The main program's exceptions: thrown by pointer, shown by their own report,
// then deleted by the catch site.
#pragma once
#include <afxquill.h>

class CQuillmateExcept {
public:
    enum { DEFAULT_MESSAGE = 57709, MAX_TEXT = 2048 };

    CQuillmateExcept(UINT nMessageId, DWORD dwCode);
    // The text is the framework exception's description; bDelete ends `e`.
    CQuillmateExcept(CException* e, DWORD dwCode, BOOL bDelete);
    virtual ~CQuillmateExcept();
    // A message box with the text, else string nMessageId when above 0, else
    // the general message; the box's answer.
    virtual int ReportError();

    UINT GetMessageId() const { return m_nMessageId; }
    DWORD GetCode() const { return m_dwCode; }
    const CString& GetText() const { return m_strText; }
    void SetText(LPCTSTR lpszText) { m_strText = lpszText; }
    // The text becomes string nMessageId of the resource library.
    void SetTextFromMessage(UINT nMessageId);

protected:
    UINT m_nMessageId;
    CString m_strText;
    DWORD m_dwCode;
};

// Thrown by every edition; its error code is the message id.
class COzuExcept : public CQuillmateExcept {
public:
    COzuExcept(UINT nMessageId, DWORD dwCode = 0, CWnd* pFocusWnd = nullptr);
    // A platform exception's description becomes the text; `e` is ended.
    COzuExcept(CException* e, DWORD dwCode = 0);
    ~COzuExcept() override;
    // The base report, then the focus to the window when it still exists.
    int ReportError() override;

    UINT GetErrorCode() const { return m_nMessageId; }

private:
    HWND m_hFocusWnd;
};

// Inside a catch block: ends the exception being handled when it was thrown
// by pointer (a framework exception or one of ours), so that a site that
// swallows it leaks nothing. Exceptions thrown by value are left alone.
void QuiDeleteCurrentException();
