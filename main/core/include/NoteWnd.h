// CNoteWnd: the captionless pop-up in which the user types one note: the note
// box with its prompt, the list of recognised items, the button row, and the
// destination window beside it. Each edition supplies its destination window.
#pragma once
#include <deque>

#include "ActionNote.h"
#include "BitmapWnd.h"
#include "FlatButton.h"
#include "NoteBox.h"

class CDestWnd;

// The prompt shown over an empty note box.
class CNoteStatusWnd : public CRichEditCtrl {
protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    DECLARE_MESSAGE_MAP()
};

class CNoteWnd : public CBitmapWnd {
public:
    // Links itself into the note, which owns it from then on.
    explicit CNoteWnd(CActionNote* pNote);
    ~CNoteWnd() override;

    // Makes the edition's destination window, created beside this window.
    virtual CDestWnd* CreateDestWnd() = 0;
    // The accelerator table of the edition's keys: the datastore's, unless
    // an edition's window stacks other panes than its datastore's table names.
    virtual UINT GetAcceleratorId();

    // 100 x 124 dialog units at (x, y).
    BOOL CreateAt(int x, int y);
    BOOL CreateInRect(const RECT& rect);
    // The window takes the destination window's height.
    void FitToDestWnd();
    void Layout();
    void AddListEntry(const CString& text, int data, BOOL bAllowDuplicate);
    int InsertListEntry(const CString& text, LPARAM data, int image);
    void RemoveListItem(const CString& text);
    void RemoveSelectedEntries();
    void SetRecentContacts(const std::deque<Quillmate::CContactLink>& contacts);
    void ShowEditLine(BOOL bShow);
    void ShowFilingText(BOOL bShow);
    void MarkKeyphrase(int start, int end, BOOL bOn);
    void MarkKeyphraseWithFormat(int start, int end, const CHARFORMAT* pFormat, BOOL bOn);
    void RepaintTitle();
    // Hides the window (or shows the filing text) and has the note file
    // itself; nothing while the note is filing already.
    void SaveNote();
    // The offset of each new note window from the one before it.
    static int GetTitleHeight();

    CActionNote* GetNote() const { return m_pNote; }
    CDestWnd* GetDestWnd() const { return m_pDestWnd; }
    CNoteBox* GetNoteBox() { return &m_noteBox; }
    CListCtrl& GetList() { return m_list; }
    CEdit& GetEditLine() { return m_editLine; }
    CNoteStatusWnd& GetPrompt() { return m_prompt; }
    CFlatButton& GetRemoveButton() { return m_removeButton; }
    CMenu* GetContactsPopup() { return m_contactsMenu.GetSubMenu(0); }
    void SetEditionPicture(int nID) { m_nEditionPicture = nID; }
    const CRect& GetRightGrip() const { return m_rightGrip; }
    const CRect& GetBottomGrip() const { return m_bottomGrip; }

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void PostNcDestroy() override;

    // Commands of the recent contacts in the contacts menu, one per link.
    enum { ID_RECENT_CONTACT_FIRST = 9100, ID_RECENT_CONTACT_LAST = 9100 + CActionNote::MAX_CONTACT_LINKS - 1 };

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMoving(UINT nSide, LPRECT lpRect);
    afx_msg void OnMove(int x, int y);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnNewContact();
    afx_msg void OnMoreContacts();
    afx_msg void OnAttachFile();
    afx_msg void OnItemViewer();
    afx_msg void OnHelp();
    // What the file buttons run; the editions that ask first override it.
    virtual void OnSaveNote();
    // A close the user asks for (the close button, the system menu's Close,
    // Alt+F4): a note with text for an enabled destination asks first, Yes
    // filing it, No closing it, Cancel keeping it. WM_CLOSE itself is the
    // program's own close and asks nothing. Either, asked while the note
    // files, is done once the filing has returned.
    afx_msg void OnCloseNote();
    afx_msg void OnClose();
    // TRUE when the note is filing: a WM_CLOSE is then put off until the
    // filing has returned.
    BOOL PutOffClose();
    afx_msg LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    afx_msg void OnNoteChanged();
    afx_msg void OnContactsDropDown(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg LRESULT OnParentNotify(WPARAM wParam, LPARAM lParam);
    afx_msg void OnListItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnListKillFocus(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnListKeyDown(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnListDeleteItem(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnDestroy();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg BOOL OnQueryNewPalette();
    afx_msg void OnPaletteChanged(CWnd* pFocusWnd);
    afx_msg void OnNextTab();
    afx_msg void OnPreviousTab();
    afx_msg void OnToPanes();
    afx_msg BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnRecentContact(UINT nID);
    afx_msg void OnTogglePane(UINT nID);
    DECLARE_MESSAGE_MAP()

    // A question about the note with the destination window disabled around
    // it. 0 when the window (and this object) went away while it was open.
    int AskAboutNote(UINT nMessageId, UINT nType);

private:
    // The focus moves on from wherever it is, through the panes and back.
    void MoveFocus(BOOL bPrevious);
    // What Tab or Shift+Tab reaches from the focus window.
    CWnd* NextFocusTarget(BOOL bPrevious);
    void FocusOn(CWnd* pWnd);
    void OpenContactsMenu();
    BOOL CreateChildren();
    void LayoutButtonRow(const CRect& client, int h);
    int LayoutList(const CRect& client, int bottom);
    void StorePosition();
    void RealizePalette(BOOL bRepaint);
    // Starts a drag or a resize from a click at point.
    void HitGrips(CPoint point);
    BOOL IsNoteActive() const;

    CActionNote* m_pNote;
    CFlatButton m_removeButton;
    CImageList m_imageList;
    CListCtrl m_list;
    CMenu m_contactsMenu;
    CNoteBox m_noteBox;
    CEdit m_editLine;
    CStatic m_separators[3];
    CDestWnd* m_pDestWnd = nullptr;
    CFlatButton m_viewerButton;
    CFlatButton m_contactsButton;
    CFlatButton m_attachButton;
    CFlatButton m_helpButton;
    HACCEL m_hAccel = nullptr;
    CNoteStatusWnd m_prompt;
    CFlatButton m_closeButton;
    int m_nEditionPicture = 0;
    CRect m_rightGrip;
    CRect m_bottomGrip;
};
