// CNoteBox: the text field of the note window. One rich edit (the plain one,
// or the speech rich edit while speech input is on) with two auto-repeating
// scroll arrows under it, a size grip in the corner and the marking of the
// keyphrases the parse recognised.
#pragma once

#include <afxquill.h>

#include <richedit.h>

#include "FlatButton.h"

class CVVRichEditEx;

class CNoteBox : public CWnd {
public:
    enum {
        kPlainEditId = 150,
        kSpeechEditId = 161,
        kEventMask = ENM_CHANGE | ENM_SCROLL | ENM_REQUESTRESIZE,
        kUndoLimit = 100,
        kArrowBand = 16,  // the strip under the text that holds the arrows
    };
    // The longest text the box takes, in characters.
    enum { MAX_TEXT = 32767 };

    // Speech input is taken when the preferences have it installed and on.
    CNoteBox();
    ~CNoteBox() override;

    // Registers "QUINOTEBOX" on first use; a hidden tab stop child.
    BOOL Create(const RECT& rect, CWnd* pParent, UINT nID);
    BOOL DestroyWindow() override;

    void GetText(CString& text);
    void SetText(LPCTSTR lpszText);
    // end is past the last character; -1 is the end of the text.
    void SetSel(int start, int end);
    void ScrollLineDown();
    void ScrollLineUp();
    // Both arrows while the text is taller than the view or scrolled.
    void UpdateScrollButtons();

    // A keyphrase's look. The size the caller's cbSize gives is taken, at
    // most a CHARFORMAT2's; the kept format always reads as a CHARFORMAT2.
    void SetMarkFormat(const CHARFORMAT* pFormat);
    CHARFORMAT* GetMarkFormat() { return &m_markFormat; }
    // Characters start to end, both inclusive (end -1: to the end of the
    // text), take the mark format (bOn) or the box's own plain look. The
    // caret and the selection stay where they were.
    void MarkRange(int start, int end, BOOL bOn);
    // A keyphrase marked in pFormat (or unmarked), the character after it
    // then given the box's own mark format so typing on is not marked.
    void MarkKeyphraseWithFormat(int start, int end, const CHARFORMAT* pFormat, BOOL bOn);
    void MarkKeyphrase(int start, int end, BOOL bOn);

    BOOL IsSpeechOn() const { return m_bSpeech; }
    // The window that takes the rich-edit messages: the plain rich edit, or
    // the edit inside the speech control.
    HWND GetEditWindow() const;
    CRect GetGripRect() const { return m_gripRect; }
    CFlatButton& GetScrollUpButton() { return m_scrollUp; }
    CFlatButton& GetScrollDownButton() { return m_scrollDown; }

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnSetFocus(CWnd* pOldWnd);

    DECLARE_MESSAGE_MAP()

private:
    CFont m_font;
    CFlatButton m_scrollDown;
    CFlatButton m_scrollUp;
    CRect m_gripRect;
    CRect m_requestedRect;
    CHARFORMAT2A m_markFormat;
    CVVRichEditEx* m_pSpeechEdit = nullptr;
    BOOL m_bSpeech = FALSE;
    CRichEditCtrl m_plainEdit;
    int m_nUndoPauses = 0;  // marks under way, kept out of the undo history

    // The speech edit while it is the one in use.
    CVVRichEditEx* Speech() const { return m_bSpeech ? m_pSpeechEdit : nullptr; }
    BOOL CreateSpeechEdit();
    BOOL CreatePlainEdit();
    void ScrollLine(WPARAM nCode);
    void NotifyParent(UINT nCode);
    void PlainFormat(CHARFORMAT& format);
    void MarkPlainRange(int start, int end, BOOL bOn);
    void MarkSpeechRange(int start, int end, BOOL bOn);
};
