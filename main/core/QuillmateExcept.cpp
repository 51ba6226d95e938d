#include "QuillmateExcept.h"

CQuillmateExcept::CQuillmateExcept(UINT nMessageId, DWORD dwCode) : m_nMessageId(nMessageId), m_dwCode(dwCode) {}

CQuillmateExcept::CQuillmateExcept(CException* e, DWORD dwCode, BOOL bDelete) : m_nMessageId(0), m_dwCode(dwCode)
{
    if (!e)
        return;
    char text[MAX_TEXT] = {};
    if (e->GetErrorMessage(text, sizeof text))
        m_strText = text;
    if (bDelete)
        e->Delete();
}

CQuillmateExcept::~CQuillmateExcept() = default;

void CQuillmateExcept::SetTextFromMessage(UINT nMessageId)
{
    CString text;
    text.LoadString(nMessageId);
    m_strText = text;
}

int CQuillmateExcept::ReportError()
{
    if (!m_strText.IsEmpty())
        return AfxMessageBox(m_strText, MB_OK);
    return AfxMessageBox(m_nMessageId > 0 ? m_nMessageId : static_cast<UINT>(DEFAULT_MESSAGE), MB_OK);
}

COzuExcept::COzuExcept(UINT nMessageId, DWORD dwCode, CWnd* pFocusWnd)
    : CQuillmateExcept(nMessageId, dwCode), m_hFocusWnd(pFocusWnd ? pFocusWnd->GetSafeHwnd() : nullptr)
{
}

COzuExcept::COzuExcept(CException* e, DWORD dwCode) : CQuillmateExcept(e, dwCode, TRUE), m_hFocusWnd(nullptr) {}

COzuExcept::~COzuExcept() = default;

int COzuExcept::ReportError()
{
    int result = CQuillmateExcept::ReportError();
    // The window may have gone while the box was up.
    if (m_hFocusWnd && IsWindow(m_hFocusWnd))
        SetFocus(m_hFocusWnd);
    return result;
}

void QuiDeleteCurrentException()
{
    try {
        throw;
    } catch (CException* e) {
        e->Delete();
    } catch (CQuillmateExcept* e) {
        delete e;
    } catch (...) {
    }
}
