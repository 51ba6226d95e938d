// CDestWnd: the owned pop-up beside a note window that holds one pane per
// destination and, in its bottom row, the button that files the note. The
// editions derive their destination windows from it.
#pragma once
#include "BitmapWnd.h"
#include "FlatButton.h"
#include "KeptFont.h"

class CDestPane;

class CDestWnd : public CBitmapWnd {
public:
    CDestWnd();

    // Moves the bottom row to y and fits the window's height to it.
    virtual void SetTop(int y);
    // The window's width and height.
    virtual void GetSize(SIZE* pSize);

    // A hidden pop-up owned by the note window, at its top right corner.
    BOOL Create(CWnd* pNoteWnd);
    // The pane with control id nID; null for any other kind of child.
    CDestPane* FindPane(int nID);
    // Shows or hides the filing status text.
    void ShowStatusText(BOOL bShow);
    // The focus order through the panes: the next tab stop after pCurrent
    // (the first one without it) in the direction asked, passing over panes
    // without tab stops and never wrapping round; with bEnterPanes a pane
    // found is entered and its own first tab stop is the answer.
    CWnd* NextTabItem(CWnd* pCurrent, BOOL bPrevious, BOOL bEnterPanes);

    BOOL IsLaidOut() const { return m_bLaidOut; }
    CFlatButton* GetFileButton() { return &m_fileButton; }

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    // Alt+F4 in a pane is a close of the note: the note window decides.
    afx_msg LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // The note window drags both windows by the destination window's background.
    void DragNoteWnd(CPoint point);
    // Widens the window, its panes and its rows to what the widest pane needs.
    void FitWidthToPanes();
    // The command and picture of the file button.
    static UINT FileCommand();

    CFont m_font;
    CStatic m_label;
    CFlatButton m_helpButton;
    CFlatButton m_fileButton;
    CFlatButton m_closeButton;
    CStatic m_separator;
    CStatic m_status;
    BOOL m_bLaidOut = FALSE;
    CKeptFont m_keptFont;
};
