// Thin wrappers of the system's controls: Create with the control's class,
// and the messages the program sends them.
#pragma once

#include "Wnd.h"

#include <richedit.h>

class CStatic : public CWnd {
public:
    BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xFFFF);
};

class CButton : public CWnd {
public:
    BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int GetCheck() const;
    void SetCheck(int nCheck);
};

class CEdit : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void GetSel(int& nStartChar, int& nEndChar) const;
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
    void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE);
    void SetLimitText(UINT nMax);
    int GetLineCount() const;
    BOOL SetReadOnly(BOOL bReadOnly = TRUE);
    BOOL GetModify() const;
    void SetModify(BOOL bModified = TRUE);
};

class CListBox : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int AddString(LPCTSTR lpszItem);
    int InsertString(int nIndex, LPCTSTR lpszItem);
    int DeleteString(UINT nIndex);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    int GetSel(int nIndex) const;          // multiple-selection lists
    int SetSel(int nIndex, BOOL bSelect = TRUE);
    int GetText(int nIndex, CString& text) const;
    int GetTextLen(int nIndex) const;
    int FindString(int nStartAfter, LPCTSTR lpszItem) const;
    int FindStringExact(int nStartAfter, LPCTSTR lpszItem) const;
    DWORD_PTR GetItemData(int nIndex) const;
    int SetItemData(int nIndex, DWORD_PTR dwItemData);
    void* GetItemDataPtr(int nIndex) const;
    int SetItemDataPtr(int nIndex, void* pData);
    int GetItemHeight(int nIndex) const;
    int SetItemHeight(int nIndex, UINT cyItemHeight);
    int GetTopIndex() const;
};

class CComboBox : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int AddString(LPCTSTR lpszString);
    int InsertString(int nIndex, LPCTSTR lpszString);
    int DeleteString(UINT nIndex);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    int GetLBText(int nIndex, CString& text) const;
    int GetLBTextLen(int nIndex) const;
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const;
    int SelectString(int nStartAfter, LPCTSTR lpszString);
    DWORD_PTR GetItemData(int nIndex) const;
    int SetItemData(int nIndex, DWORD_PTR dwItemData);
    void* GetItemDataPtr(int nIndex) const;
    int SetItemDataPtr(int nIndex, void* pData);
};

// Owns its image list handle.
class CImageList {
public:
    CImageList() = default;
    ~CImageList();
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList = nullptr;
    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    // Bitmap nBitmapID of the resource handle cut into images cx wide.
    BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    BOOL DeleteImageList();
    int Add(CBitmap* pbmImage, COLORREF crMask);     // the index of the first image, -1 on failure
    int Add(CBitmap* pbmImage, CBitmap* pbmMask);
    int Add(HICON hIcon);
    int GetImageCount() const;
    BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle);
    HICON ExtractIcon(int nImage);                   // the caller destroys it
};

class CListCtrl : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    DWORD SetExtendedStyle(DWORD dwNewStyle);        // the previous style
    DWORD GetExtendedStyle() const;
    int InsertColumn(int nCol, LPCTSTR lpszHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1);
    BOOL DeleteColumn(int nCol);
    BOOL SetColumnWidth(int nCol, int cx);           // cx may be LVSCW_AUTOSIZE
    int GetColumnWidth(int nCol) const;
    int InsertItem(const LVITEM* pItem);
    int InsertItem(int nItem, LPCTSTR lpszItem, int nImage = -1);
    BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
    CString GetItemText(int nItem, int nSubItem) const;
    int GetItemCount() const;
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    DWORD_PTR GetItemData(int nItem) const;
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    UINT GetItemState(int nItem, UINT nMask) const;
    int GetNextItem(int nItem, int nFlags) const;
    UINT GetSelectedCount() const;
    int FindItem(const LVFINDINFO* pFindInfo, int nStart = -1) const;
    BOOL EnsureVisible(int nItem, BOOL bPartialOK);
    HIMAGELIST SetImageList(CImageList* pImageList, int nImageList);   // the previous list
    BOOL SetBkColor(COLORREF color);
    BOOL SetTextBkColor(COLORREF color);
    BOOL SetTextColor(COLORREF color);
    BOOL GetCheck(int nItem) const;                  // lists with LVS_EX_CHECKBOXES
    BOOL SetCheck(int nItem, BOOL bCheck = TRUE);
    // The size the list needs to show nCount items (-1: all of them).
    CSize ApproximateViewRect(CSize size = CSize(-1, -1), int nCount = -1) const;
    int GetTopIndex() const;
    int GetCountPerPage() const;
};

class CRichEditCtrl : public CWnd {
public:
    // A rich edit 2.0 control; the library is loaded when needed.
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    DWORD SetEventMask(DWORD dwEventMask);           // the previous mask
    DWORD GetEventMask() const;
    COLORREF SetBackgroundColor(BOOL bSysColor, COLORREF cr);
    void SetSel(long nStartChar, long nEndChar);
    void SetSel(CHARRANGE& cr);
    void GetSel(CHARRANGE& cr) const;
    void GetSel(long& nStartChar, long& nEndChar) const;
    void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE);
    BOOL SetSelectionCharFormat(CHARFORMAT& cf);
    DWORD GetSelectionCharFormat(CHARFORMAT& cf) const;
    BOOL SetDefaultCharFormat(CHARFORMAT& cf);
    void HideSelection(BOOL bHide, BOOL bPerm);
    void GetRect(LPRECT lpRect) const;
    int GetFirstVisibleLine() const;
    void LineScroll(int nLines, int nChars = 0);
    BOOL GetModify() const;
    void SetModify(BOOL bModified = TRUE);
    void LimitText(long nChars = 0);
    long GetTextLength() const;
    void SetUndoLimit(UINT nLimit);
};

class CMonthCalCtrl : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    BOOL SetCurSel(const SYSTEMTIME& time);
    BOOL GetCurSel(SYSTEMTIME& time) const;
    BOOL GetMinReqRect(RECT* pRect) const;
};

class CHotKeyCtrl : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    // wModifiers holds HOTKEYF_ flags.
    void SetHotKey(WORD wVirtualKeyCode, WORD wModifiers);
    void GetHotKey(WORD& wVirtualKeyCode, WORD& wModifiers) const;
    DWORD GetHotKey() const;                         // key in the low byte, flags in the next
    void SetRules(WORD wInvalidComb, WORD wModifiers);
};

class CToolTipCtrl : public CWnd {
public:
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    // A tool for a whole window (TTF_IDISHWND) when lpRectTool is null, else
    // for that rectangle of it under nIDTool. LPSTR_TEXTCALLBACK asks the
    // window for the text with TTN_NEEDTEXT.
    BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText = LPSTR_TEXTCALLBACK, LPCRECT lpRectTool = nullptr,
                 UINT_PTR nIDTool = 0);
    void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
    void UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    void RelayEvent(LPMSG lpMsg);
    void Activate(BOOL bActivate);
    int GetToolCount() const;

private:
    TOOLINFO ToolFor(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect) const;
};

class CTabCtrl : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int InsertItem(int nItem, LPCTSTR lpszItem);
    int InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, int nImage, LPARAM lParam);
    BOOL GetItem(int nItem, TCITEM* pItem) const;
    int GetItemCount() const;
    int GetCurSel() const;
    int SetCurSel(int nItem);
    // Display area from window rectangle (bLarger FALSE) or the other way round.
    void AdjustRect(BOOL bLarger, LPRECT lpRect);
    BOOL DeleteAllItems();
};
