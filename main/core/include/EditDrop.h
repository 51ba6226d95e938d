// CEditDrop: the one-line field of the destination panes. An edit child that
// shows a grey italic prompt while it is empty, and optionally a drop button
// at its right end that opens the field's pop-up.
#pragma once
#include <afxquill.h>

#include "FlatButton.h"
#include "SmallControls.h"

class CDestProp;

class CEditDrop : public CWnd {
public:
    // Drop style bits.
    enum {
        dropNoButton = 1,      // no drop button
        dropRightAlign = 2,    // right-aligned text
        dropSingleChoice = 4   // a multi field picks one entry instead of checking many
    };
    enum { IDC_DROP_EDIT = 121, IDC_DROP_BUTTON = 129 };
    // 0xFF000000 in a colour field: no colour of our own.
    static constexpr COLORREF kNoColor = 0xFF000000;

    CEditDrop();
    ~CEditDrop() override;

    // A field cx pixels wide and 7 dialog units (of the parent) high. The
    // reserved word is not used.
    BOOL Create(int x, int y, int cx, DWORD dwReserved, CWnd* pParent, UINT nID, DWORD dwDropStyle);

    void SetPromptText(UINT nID);
    void SetPromptText(const CString& text);
    // A non-empty text hides the prompt; an empty one shows it again unless
    // the field is being edited. The modified flag is kept either way, except
    // that emptying a field that is not being edited clears it.
    virtual void SetText(LPCTSTR lpszText);
    // TRUE disables the drop button, FALSE enables it again.
    virtual void SetDisabled(BOOL bDisabled);
    // The drop button calls it; the base has no pop-up.
    virtual void DropDown();

    // Whether the user changed the text while the field had the focus.
    BOOL IsModified() const { return m_bModified; }
    void SetEditFont(CFont* pFont, BOOL bRedraw);
    // The field's own background colour; kNoColor leaves it to the parent.
    void SetBkColor(COLORREF color);
    // Widens the field (never narrows it) so that the widest of the texts
    // shows whole in the field's font, beside the drop button.
    void WidenToFit(const CStringArray& texts);
    void ShowPrompt(BOOL bShow);
    BOOL IsPromptShown() const { return m_bPromptShown; }
    // Nothing while the prompt shows.
    void SetSel(int nStart, int nEnd, BOOL bNoScroll);
    // Tells the adaptor (when there is one) that the user changed the value.
    void NotifyAdaptor(int nFlags);
    // 0 while the prompt shows.
    int GetTextLength() const;
    // The field's text: empty while the prompt shows.
    CString GetText() const;

    // Set by the adaptor that registers itself; not owned.
    void SetAdaptor(CDestProp* pAdaptor) { m_pAdaptor = pAdaptor; }
    CDestProp* GetAdaptor() const { return m_pAdaptor; }
    DWORD GetDropStyle() const { return m_dwDropStyle; }
    CEditEx& GetEdit() { return m_edit; }
    CFlatButton& GetDropButton() { return m_button; }
    // The text colour the edit child is drawn in now (kNoColor: the parent's).
    COLORREF GetCurrentTextColor() const { return m_crCurrent; }

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // The class of the fields and of the item list pop-up; null when it
    // cannot be registered.
    static LPCTSTR RegisterFieldClass();

protected:

    // The edit child's sunken edge, shown while a pick-only field has the
    // focus.
    void ShowFocusEdge(BOOL bShow);
    // The look of a pick-only field while its pop-up shows: the edge, and the
    // field window disabled.
    void SetPickOnlyDisabled(BOOL bDisabled);
    // Empties the field for the user (Backspace or Delete on a pick-only
    // field) and tells the adaptor.
    void EmptyForUser();
    BOOL IsEditEnabled() const;
    // The field's pop-up window; null when it has none (yet).
    virtual CWnd* GetPopupWnd() const { return nullptr; }
    // Alt+Down opens the pop-up; a pick-only field also opens it on Return,
    // Space and Down, and empties on Backspace and Delete. TRUE when the key
    // was taken.
    BOOL HandleDropKeys(MSG* pMsg, BOOL bPickOnly);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnEditSetFocus();
    afx_msg void OnEditKillFocus();
    afx_msg void OnEditChange();
    afx_msg void OnDropButton();

    DECLARE_MESSAGE_MAP()

    CEditEx m_edit;
    DWORD m_dwDropStyle = 0;
    BOOL m_bPromptShown = FALSE;
    CFlatButton m_button;

private:
    void SetEditText(LPCTSTR lpszText);
    void PassToParent(UINT nCode);
    HFONT PromptFont();
    BOOL AnswerToolTip(NMHDR* pNMHDR, LRESULT* pResult);

    COLORREF m_crBack = kNoColor;
    CBrush m_backBrush;
    COLORREF m_crCurrent = kNoColor;
    COLORREF m_crNormal = kNoColor;
    COLORREF m_crPrompt = PALETTERGB(0x80, 0x80, 0x80);
    CString m_strPrompt;
    CFont m_promptFont;
    HFONT m_hNormalFont = nullptr;
    BOOL m_bModified = FALSE;
    BOOL m_bNotEditing = TRUE;
    CDestProp* m_pAdaptor = nullptr;
};
