// CFlatButton: the program's flat push button, check button and menu button,
// a picture and a caption that take a raised edge under the mouse and a
// sunken one while pressed or checked.
#pragma once

#include <afxquill.h>

#include "QuiImage.h"

class CFlatButton : public CWnd {
public:
    // Kinds: a check button toggles on each click; every other kind pushes.
    enum { kindPush = 1, kindCheck = 2 };
    // Style bits.
    enum {
        styleFireOnPress = 1,   // fires on the mouse-down, not the release
        styleAutoRepeat = 2,    // fires again after 250 ms, then every 100 ms, while held
        styleMenu = 4,          // a click opens the menu's first pop-up
        styleArrow = 8,         // a drop arrow after the caption
        styleMenuCaption = 16,  // the caption shows the chosen menu item
    };
    // State bits.
    enum { stateHot = 1, statePressed = 2, stateChecked = 4, stateTracking = 8 };

    CFlatButton();

    // A hidden child at (x, y) with picture and caption nResID (the string up
    // to its first line feed; the rest is the tool tip), sized to them. The
    // control id is nID, or nResID when nID is 0; a height above 0 is kept.
    BOOL Create(int x, int y, UINT nResID, BYTE kind, CWnd* pParent, UINT nID = 0, int style = 0, int height = 0);

    // Null: the parent's font.
    void SetFont(CFont* pFont);
    void SetTextColor(COLORREF color);
    void SetDisabledImage(UINT nID);
    void SetMenu(UINT nMenuID);
    void SetStyle(int style, BOOL bResize);
    void SetCaption(const CString& caption, BOOL bResize);
    // A caption of cx (low word width, high word height) wrapped into a
    // button of cx by cy.
    void SizeToText(int cx, int cy);

    // Makes cmd the chosen item of the pop-up: its text as the caption and
    // its radio check; with bNotify cmd is posted to the parent as a command.
    void SelectMenuItem(UINT cmd, BOOL bNotify);
    UINT GetChosenCommand() const { return m_chosenCmd; }
    // The picture, caption and tool tip's resource id; 0 for none.
    UINT GetResourceId() const { return m_resID; }
    // The menu's first pop-up, the one the button opens; null without a menu.
    CMenu* GetPopupMenu();

    // A change of the checked state is sent to the parent as WM_COMMAND with
    // the button's id, as a click would.
    void SetCheck(BOOL bCheck);
    BOOL GetCheck() const { return (m_state & stateChecked) != 0; }
    void SetPressed(BOOL bPressed);
    void SetHot(BOOL bHot);
    // An inactive button is drawn greyed and ignores the mouse.
    void SetActive(BOOL bActive);
    BOOL IsActive() const { return m_bActive; }
    // Whether the user clicked the check button or picked from the menu.
    BOOL GetChanged() const { return m_bChanged; }
    void SetChanged(BOOL bChanged) { m_bChanged = bChanged; }
    void Redraw();

    static void SetTransparentColor(COLORREF color);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
    afx_msg void OnPaint();
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnExitMenuLoop(BOOL bIsTrackPopupMenu);
    afx_msg LRESULT OnOpenMenu(WPARAM, LPARAM);
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    Quillmate::CImage m_image;
    Quillmate::CImage m_disabledImage;
    CString m_caption;
    BYTE m_kind = kindPush;
    BOOL m_bChanged = FALSE;
    UINT m_chosenCmd = 0;
    BOOL m_bMenuShowing = FALSE;
    UINT m_resID = 0;
    CMenu m_menu;
    int m_cxImage = 0;
    int m_cyImage = 0;
    int m_cxText = 0;
    int m_cyText = 0;
    COLORREF m_textColor;
    int m_style = 0;
    CFont* m_pFont = nullptr;
    UINT m_nID = 0;
    int m_state = 0;
    int m_fixedHeight = 0;
    BOOL m_bActive = TRUE;
    UINT m_drawFlags = DT_NOCLIP | DT_SINGLELINE | DT_VCENTER;

    HFONT CurrentFont() const;
    void MeasureCaption();
    void Resize();
    void ChangeState(int bits, BOOL bOn);
    void CheckMenuPosition(int pos);
    void Fire();
    void StopTracking(CPoint cursor);
    void Paint(CDC* pDC);
    void PostCommandToParent(UINT cmd, HWND hFrom);
    CPoint CursorInClient() const;
    BOOL IsInside(CPoint point) const;
};
