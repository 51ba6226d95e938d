// CDestPane: the strip of one destination in the destination window: a check
// button (the destination is filed while it is checked), a menu button of the
// destination's choices, and below them the edition pane's field controls.
#pragma once
#include "BitmapWnd.h"
#include "FlatButton.h"
#include "KeptFont.h"

class CActionNote;
class CDestination;

class CDestPane : public CBitmapWnd {
public:
    enum { MENU_BUTTON_ID = 180 };
    // The background of the edition panes' field controls.
    static const COLORREF FIELD_COLOR = 0x02BBDDFF;

    // The pane owns the destination; pass `new CMyDestination(this)`.
    explicit CDestPane(CDestination* pDest);
    ~CDestPane() override;

    // Called when the check button becomes checked.
    virtual void OnChecked();
    // Brings the field controls, summary text and help id up to date.
    virtual void Show();
    // Each pane calls CreatePane with its own control id and resource id.
    virtual BOOL Create(int y, CWnd* pParent) = 0;

    // A hidden pane across the parent's client area from y down 17 dialog
    // units. The resource id names the check button's picture, caption and tip
    // and the menu button's menu; -1 takes nID.
    BOOL CreatePane(int y, CWnd* pParent, UINT nID, int nResID = -1);
    // Where a field control of row nRow goes: row 0 beside the menu button,
    // the others under it, 8 dialog units apart (row 1 no higher than the
    // menu button's bottom).
    void GetControlPos(int nRow, POINT* pt);
    void SetCheckActive(BOOL bActive);
    // Reacts to a change of the check button.
    void Toggle();
    // The client width the pane needs to show its controls' texts whole; 0
    // when any width will do.
    virtual int GetNeededWidth();

    // The pane that holds pWnd, walking up from its owner (else its parent);
    // *ppChild gets the window on the path just below the pane. Null for a
    // null pWnd or when no pane holds it.
    static CDestPane* FindOwningPane(CWnd* pWnd, CWnd** ppChild);

    CDestination* GetDestination() const { return m_pDest; }
    // The note whose note window owns this pane's destination window; null
    // outside a note window.
    CActionNote* GetActionNote();
    // Valid before the pane is constructed: the destination takes them early.
    CFlatButton* GetMenuButton() { return &m_menuButton; }
    CFlatButton* GetCheckButton() { return &m_checkButton; }
    UINT GetResourceId() const { return m_nResID; }

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);

    DECLARE_MESSAGE_MAP()

    // Places the controls that keep to the pane's right edge; runs whenever
    // the pane's width changes.
    virtual void LayoutToWidth();
    // A text's width in the application's small font, or in pFont.
    int TextWidth(const CString& text, CFont* pFont = nullptr);
    // A label nDlu dialog units (of the parent) wide, or as wide as its text
    // where that is wider.
    int LabelWidth(const CString& text, int nDlu);
    // The menu button's right edge while it shows the widest of its items.
    int WidestMenuRight();
    // Keeps a child's left edge and takes its right one to 3 pixels short of
    // the pane's; nothing before the child exists.
    void StretchToRightEdge(CWnd& child);
    // Moves a child, keeping its size and top, so that its right edge stands
    // nGap pixels short of the pane's; its new place.
    CRect KeepAtRightEdge(CWnd& child, int nGap = 3);
    // Opens the first pop-up of menu resource nMenuId under a button of the
    // pane; the menu is loaded into `menu` on the first call, with its radio
    // group nFirst-nLast on nChecked.
    void DropMenu(CMenu& menu, UINT nMenuId, CWnd& button, UINT nFirst, UINT nLast, UINT nChecked);

private:
    // The pane's background clicks belong to the destination window.
    void ForwardToParent(UINT message, UINT nFlags, CPoint point);
    bool IsAvailable() const;

    CFlatButton m_menuButton;
    CFlatButton m_checkButton;
    UINT m_nResID = 0;
    CDestination* m_pDest;
    CKeptFont m_font;
};
