#include "DropWnd.h"

#include "EditDrop.h"

BEGIN_MESSAGE_MAP(CQuillmateDropWnd, CWnd)
    ON_WM_SHOWWINDOW()
    ON_MESSAGE(WM_USER, OnHideRequest)
END_MESSAGE_MAP()

BOOL CQuillmateDropWnd::CreatePopup(LPCTSTR cls, const CRect& rect)
{
    return CreateEx(WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE, cls, "", WS_POPUP, rect, m_pField, 0);
}

void CQuillmateDropWnd::Hide(BOOL bFocusField)
{
    if (IsWindowVisible())
        ShowWindow(SW_HIDE);
    if (bFocusField && m_pField->GetSafeHwnd())
        m_pField->SetFocus();
}

BOOL CQuillmateDropWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
        if (pMsg->wParam == VK_RETURN) {
            OnReturn();
            return TRUE;
        }
        if (pMsg->wParam == VK_ESCAPE) {
            OnEscape();
            return TRUE;
        }
    }
    return CWnd::PreTranslateMessage(pMsg);
}

void CQuillmateDropWnd::OnEscape()
{
    Hide(TRUE);
}

void CQuillmateDropWnd::OnShowWindow(BOOL bShow, UINT)
{
    Default();
    m_pField->SetDisabled(bShow);
}

LRESULT CQuillmateDropWnd::OnHideRequest(WPARAM, LPARAM)
{
    Hide(FALSE);
    return 0;
}
