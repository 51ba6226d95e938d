// CQuillmateDropWnd: the pop-up a drop field opens under itself. The field
// owns it; while it shows, the field's drop button is disabled.
#pragma once
#include <afxquill.h>

class CEditDrop;

class CQuillmateDropWnd : public CWnd {
public:
    explicit CQuillmateDropWnd(CEditDrop* pField) : m_pField(pField) {}
    CEditDrop* GetField() const { return m_pField; }
    // Hides the pop-up; with bFocusField the focus goes back to the field.
    void Hide(BOOL bFocusField);
    // A key of the pop-up's own handling (Return, Escape) from anywhere inside it.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    // A hidden pop-up of class cls owned by the field.
    BOOL CreatePopup(LPCTSTR cls, const CRect& rect);
    virtual void OnReturn() = 0;
    virtual void OnEscape();

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg LRESULT OnHideRequest(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

    CEditDrop* m_pField;
};
