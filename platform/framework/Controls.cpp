#include "quifw/Controls.h"

#include "State.h"
#include "quifw/WinApp.h"

namespace {

LPARAM Text(LPCTSTR lpszText)
{
    return reinterpret_cast<LPARAM>(lpszText);
}

int ReadItemText(HWND hWnd, UINT lenMessage, UINT textMessage, int nIndex, CString& text)
{
    LRESULT length = ::SendMessage(hWnd, lenMessage, static_cast<WPARAM>(nIndex), 0);
    if (length < 0) {
        text.Empty();
        return static_cast<int>(length);
    }
    LPTSTR buffer = text.GetBuffer(static_cast<int>(length));
    LRESULT copied = ::SendMessage(hWnd, textMessage, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(buffer));
    text.ReleaseBuffer(copied < 0 ? 0 : static_cast<int>(copied));
    return static_cast<int>(copied);
}

} // namespace

//--- static, button, edit

BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
}

BOOL CButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
}

int CButton::GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
void CButton::SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("EDIT", nullptr, dwStyle, rect, pParentWnd, nID);
}

void CEdit::GetSel(int& nStartChar, int& nEndChar) const
{
    DWORD start = 0, end = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    nStartChar = static_cast<int>(start);
    nEndChar = static_cast<int>(end);
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll)
{
    SendMessage(EM_SETSEL, static_cast<WPARAM>(nStartChar), nEndChar);
    if (!bNoScroll)
        SendMessage(EM_SCROLLCARET);
}

void CEdit::ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo) { SendMessage(EM_REPLACESEL, bCanUndo, Text(lpszNewText)); }
void CEdit::SetLimitText(UINT nMax) { SendMessage(EM_SETLIMITTEXT, nMax); }
int CEdit::GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
BOOL CEdit::SetReadOnly(BOOL bReadOnly) { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, bReadOnly)); }
BOOL CEdit::GetModify() const { return static_cast<BOOL>(SendMessage(EM_GETMODIFY)); }
void CEdit::SetModify(BOOL bModified) { SendMessage(EM_SETMODIFY, bModified); }

//--- list box and combo box

BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("LISTBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CListBox::AddString(LPCTSTR lpszItem) { return static_cast<int>(SendMessage(LB_ADDSTRING, 0, Text(lpszItem))); }
int CListBox::InsertString(int nIndex, LPCTSTR lpszItem) { return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(nIndex), Text(lpszItem))); }
int CListBox::DeleteString(UINT nIndex) { return static_cast<int>(SendMessage(LB_DELETESTRING, nIndex)); }
void CListBox::ResetContent() { SendMessage(LB_RESETCONTENT); }
int CListBox::GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
int CListBox::GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
int CListBox::SetCurSel(int nSelect) { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nSelect))); }
int CListBox::GetSel(int nIndex) const { return static_cast<int>(SendMessage(LB_GETSEL, static_cast<WPARAM>(nIndex))); }
int CListBox::SetSel(int nIndex, BOOL bSelect) { return static_cast<int>(SendMessage(LB_SETSEL, bSelect, nIndex)); }
int CListBox::GetText(int nIndex, CString& text) const { return ReadItemText(m_hWnd, LB_GETTEXTLEN, LB_GETTEXT, nIndex, text); }
int CListBox::GetTextLen(int nIndex) const { return static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(nIndex))); }
int CListBox::FindString(int nStartAfter, LPCTSTR lpszItem) const { return static_cast<int>(SendMessage(LB_FINDSTRING, static_cast<WPARAM>(nStartAfter), Text(lpszItem))); }
int CListBox::FindStringExact(int nStartAfter, LPCTSTR lpszItem) const { return static_cast<int>(SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(nStartAfter), Text(lpszItem))); }
DWORD_PTR CListBox::GetItemData(int nIndex) const { return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(nIndex))); }
int CListBox::SetItemData(int nIndex, DWORD_PTR dwItemData) { return static_cast<int>(SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(dwItemData))); }
void* CListBox::GetItemDataPtr(int nIndex) const { return reinterpret_cast<void*>(GetItemData(nIndex)); }
int CListBox::SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData)); }
int CListBox::GetItemHeight(int nIndex) const { return static_cast<int>(SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(nIndex))); }
int CListBox::SetItemHeight(int nIndex, UINT cyItemHeight) { return static_cast<int>(SendMessage(LB_SETITEMHEIGHT, static_cast<WPARAM>(nIndex), MAKELPARAM(cyItemHeight, 0))); }
int CListBox::GetTopIndex() const { return static_cast<int>(SendMessage(LB_GETTOPINDEX)); }

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("COMBOBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CComboBox::AddString(LPCTSTR lpszString) { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, Text(lpszString))); }
int CComboBox::InsertString(int nIndex, LPCTSTR lpszString) { return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(nIndex), Text(lpszString))); }
int CComboBox::DeleteString(UINT nIndex) { return static_cast<int>(SendMessage(CB_DELETESTRING, nIndex)); }
void CComboBox::ResetContent() { SendMessage(CB_RESETCONTENT); }
int CComboBox::GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
int CComboBox::GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
int CComboBox::SetCurSel(int nSelect) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(nSelect))); }
int CComboBox::GetLBText(int nIndex, CString& text) const { return ReadItemText(m_hWnd, CB_GETLBTEXTLEN, CB_GETLBTEXT, nIndex, text); }
int CComboBox::GetLBTextLen(int nIndex) const { return static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex))); }
int CComboBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const { return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart), Text(lpszFind))); }
int CComboBox::SelectString(int nStartAfter, LPCTSTR lpszString) { return static_cast<int>(SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(nStartAfter), Text(lpszString))); }
DWORD_PTR CComboBox::GetItemData(int nIndex) const { return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(nIndex))); }
int CComboBox::SetItemData(int nIndex, DWORD_PTR dwItemData) { return static_cast<int>(SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(dwItemData))); }
void* CComboBox::GetItemDataPtr(int nIndex) const { return reinterpret_cast<void*>(GetItemData(nIndex)); }
int CComboBox::SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData)); }

//--- image list

CImageList::~CImageList()
{
    DeleteImageList();
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
{
    if (m_hImageList)
        return FALSE;
    AfxInitControls();
    m_hImageList = ::ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
    return m_hImageList != nullptr;
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    if (m_hImageList)
        return FALSE;
    AfxInitControls();
    m_hImageList = ::ImageList_LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(nBitmapID), cx, nGrow,
                                         crMask, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    return m_hImageList != nullptr;
}

BOOL CImageList::DeleteImageList()
{
    HIMAGELIST hList = m_hImageList;
    m_hImageList = nullptr;
    return hList ? ::ImageList_Destroy(hList) : FALSE;
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask) { return ::ImageList_AddMasked(m_hImageList, *pbmImage, crMask); }
int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask) { return ::ImageList_Add(m_hImageList, *pbmImage, pbmMask ? static_cast<HBITMAP>(*pbmMask) : nullptr); }
int CImageList::Add(HICON hIcon) { return ::ImageList_AddIcon(m_hImageList, hIcon); }
int CImageList::GetImageCount() const { return ::ImageList_GetImageCount(m_hImageList); }
BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) { return ::ImageList_Draw(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, nStyle); }
HICON CImageList::ExtractIcon(int nImage) { return ::ImageList_ExtractIcon(nullptr, m_hImageList, nImage); }

//--- list view

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(WC_LISTVIEW, nullptr, dwStyle, rect, pParentWnd, nID);
}

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle) { return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(dwNewStyle))); }
DWORD CListCtrl::GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszHeading, int nFormat, int nWidth)
{
    LVCOLUMN column = {};
    column.mask = LVCF_TEXT | LVCF_FMT | (nWidth >= 0 ? LVCF_WIDTH : 0);
    column.fmt = nFormat;
    column.cx = nWidth;
    column.pszText = const_cast<LPTSTR>(lpszHeading ? lpszHeading : "");
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMN, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(&column)));
}

BOOL CListCtrl::DeleteColumn(int nCol) { return static_cast<BOOL>(SendMessage(LVM_DELETECOLUMN, static_cast<WPARAM>(nCol))); }
BOOL CListCtrl::SetColumnWidth(int nCol, int cx) { return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(nCol), MAKELPARAM(cx, 0))); }
int CListCtrl::GetColumnWidth(int nCol) const { return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(nCol))); }
int CListCtrl::InsertItem(const LVITEM* pItem) { return static_cast<int>(SendMessage(LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(pItem))); }

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage)
{
    LVITEM item = {};
    item.mask = LVIF_TEXT | (nImage >= 0 ? LVIF_IMAGE : 0);
    item.iItem = nItem;
    item.pszText = const_cast<LPTSTR>(lpszItem ? lpszItem : "");
    item.iImage = nImage;
    return InsertItem(&item);
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText)
{
    LVITEM item = {};
    item.iSubItem = nSubItem;
    item.pszText = const_cast<LPTSTR>(lpszText ? lpszText : "");
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    // The control says only how much it copied; grow until the text fits.
    CString text;
    for (int size = 256;; size *= 2) {
        LVITEM item = {};
        item.iSubItem = nSubItem;
        item.cchTextMax = size;
        item.pszText = text.GetBuffer(size - 1);
        int copied = static_cast<int>(SendMessage(LVM_GETITEMTEXT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
        if (copied < size - 1 || size >= 65536) {
            text.ReleaseBuffer(copied);
            return text;
        }
    }
}

int CListCtrl::GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
BOOL CListCtrl::DeleteItem(int nItem) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(nItem))); }
BOOL CListCtrl::DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
    LVITEM item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    item.lParam = static_cast<LPARAM>(dwData);
    return static_cast<BOOL>(SendMessage(LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item)));
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const
{
    LVITEM item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    return SendMessage(LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)) ? static_cast<DWORD_PTR>(item.lParam) : 0;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    LVITEM item = {};
    item.state = nState;
    item.stateMask = nMask;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const { return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(nItem), static_cast<LPARAM>(nMask))); }
int CListCtrl::GetNextItem(int nItem, int nFlags) const { return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(nItem), MAKELPARAM(nFlags, 0))); }
UINT CListCtrl::GetSelectedCount() const { return static_cast<UINT>(SendMessage(LVM_GETSELECTEDCOUNT)); }
int CListCtrl::FindItem(const LVFINDINFO* pFindInfo, int nStart) const { return static_cast<int>(SendMessage(LVM_FINDITEM, static_cast<WPARAM>(nStart), reinterpret_cast<LPARAM>(pFindInfo))); }
BOOL CListCtrl::EnsureVisible(int nItem, BOOL bPartialOK) { return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(nItem), bPartialOK)); }

HIMAGELIST CListCtrl::SetImageList(CImageList* pImageList, int nImageList)
{
    return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(nImageList),
                                                    reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr)));
}

BOOL CListCtrl::SetBkColor(COLORREF color) { return static_cast<BOOL>(SendMessage(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(color))); }
BOOL CListCtrl::SetTextBkColor(COLORREF color) { return static_cast<BOOL>(SendMessage(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(color))); }
BOOL CListCtrl::SetTextColor(COLORREF color) { return static_cast<BOOL>(SendMessage(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(color))); }

BOOL CListCtrl::GetCheck(int nItem) const
{
    // The state image is 1 for an empty box and 2 for a checked one.
    return ((GetItemState(nItem, LVIS_STATEIMAGEMASK) >> 12) - 1) == 1;
}

BOOL CListCtrl::SetCheck(int nItem, BOOL bCheck)
{
    return SetItemState(nItem, INDEXTOSTATEIMAGEMASK(bCheck ? 2 : 1), LVIS_STATEIMAGEMASK);
}

CSize CListCtrl::ApproximateViewRect(CSize size, int nCount) const
{
    return CSize(static_cast<DWORD>(SendMessage(LVM_APPROXIMATEVIEWRECT, static_cast<WPARAM>(nCount), MAKELPARAM(size.cx, size.cy))));
}

int CListCtrl::GetTopIndex() const { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }
int CListCtrl::GetCountPerPage() const { return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)); }

//--- rich edit

BOOL CRichEditCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return AfxInitRichEdit() && CWnd::Create(RICHEDIT_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}

DWORD CRichEditCtrl::SetEventMask(DWORD dwEventMask) { return static_cast<DWORD>(SendMessage(EM_SETEVENTMASK, 0, static_cast<LPARAM>(dwEventMask))); }
DWORD CRichEditCtrl::GetEventMask() const { return static_cast<DWORD>(SendMessage(EM_GETEVENTMASK)); }
COLORREF CRichEditCtrl::SetBackgroundColor(BOOL bSysColor, COLORREF cr) { return static_cast<COLORREF>(SendMessage(EM_SETBKGNDCOLOR, bSysColor, static_cast<LPARAM>(cr))); }

void CRichEditCtrl::SetSel(long nStartChar, long nEndChar)
{
    CHARRANGE range = {nStartChar, nEndChar};
    SetSel(range);
}

void CRichEditCtrl::SetSel(CHARRANGE& cr) { SendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr)); }
void CRichEditCtrl::GetSel(CHARRANGE& cr) const { SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr)); }

void CRichEditCtrl::GetSel(long& nStartChar, long& nEndChar) const
{
    CHARRANGE range = {0, 0};
    GetSel(range);
    nStartChar = range.cpMin;
    nEndChar = range.cpMax;
}

void CRichEditCtrl::ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo) { SendMessage(EM_REPLACESEL, bCanUndo, Text(lpszNewText)); }

BOOL CRichEditCtrl::SetSelectionCharFormat(CHARFORMAT& cf)
{
    cf.cbSize = sizeof(cf);
    return static_cast<BOOL>(SendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)));
}

DWORD CRichEditCtrl::GetSelectionCharFormat(CHARFORMAT& cf) const
{
    cf.cbSize = sizeof(cf);
    return static_cast<DWORD>(SendMessage(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)));
}

BOOL CRichEditCtrl::SetDefaultCharFormat(CHARFORMAT& cf)
{
    cf.cbSize = sizeof(cf);
    return static_cast<BOOL>(SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf)));
}

void CRichEditCtrl::HideSelection(BOOL bHide, BOOL bPerm) { SendMessage(EM_HIDESELECTION, bHide, bPerm); }
void CRichEditCtrl::GetRect(LPRECT lpRect) const { SendMessage(EM_GETRECT, 0, reinterpret_cast<LPARAM>(lpRect)); }
int CRichEditCtrl::GetFirstVisibleLine() const { return static_cast<int>(SendMessage(EM_GETFIRSTVISIBLELINE)); }
void CRichEditCtrl::LineScroll(int nLines, int nChars) { SendMessage(EM_LINESCROLL, static_cast<WPARAM>(nChars), nLines); }
BOOL CRichEditCtrl::GetModify() const { return static_cast<BOOL>(SendMessage(EM_GETMODIFY)); }
void CRichEditCtrl::SetModify(BOOL bModified) { SendMessage(EM_SETMODIFY, bModified); }
void CRichEditCtrl::LimitText(long nChars) { SendMessage(EM_EXLIMITTEXT, 0, nChars); }

long CRichEditCtrl::GetTextLength() const
{
    GETTEXTLENGTHEX request = {GTL_NUMCHARS, CP_ACP};
    return static_cast<long>(SendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request)));
}

void CRichEditCtrl::SetUndoLimit(UINT nLimit) { SendMessage(EM_SETUNDOLIMIT, nLimit); }

//--- month calendar, hot key

BOOL CMonthCalCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(MONTHCAL_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CMonthCalCtrl::SetCurSel(const SYSTEMTIME& time) { return static_cast<BOOL>(SendMessage(MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&time))); }
BOOL CMonthCalCtrl::GetCurSel(SYSTEMTIME& time) const { return static_cast<BOOL>(SendMessage(MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&time))); }
BOOL CMonthCalCtrl::GetMinReqRect(RECT* pRect) const { return static_cast<BOOL>(SendMessage(MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(pRect))); }

BOOL CHotKeyCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(HOTKEY_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
}

void CHotKeyCtrl::SetHotKey(WORD wVirtualKeyCode, WORD wModifiers)
{
    SendMessage(HKM_SETHOTKEY, MAKEWORD(wVirtualKeyCode, wModifiers));
}

void CHotKeyCtrl::GetHotKey(WORD& wVirtualKeyCode, WORD& wModifiers) const
{
    DWORD value = GetHotKey();
    wVirtualKeyCode = LOBYTE(LOWORD(value));
    wModifiers = HIBYTE(LOWORD(value));
}

DWORD CHotKeyCtrl::GetHotKey() const { return static_cast<DWORD>(SendMessage(HKM_GETHOTKEY)); }
void CHotKeyCtrl::SetRules(WORD wInvalidComb, WORD wModifiers) { SendMessage(HKM_SETRULES, wInvalidComb, MAKELPARAM(wModifiers, 0)); }

//--- tool tips

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    return CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd ? pParentWnd->m_hWnd : nullptr, nullptr);
}

TOOLINFO CToolTipCtrl::ToolFor(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect) const
{
    TOOLINFO ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    if (lpRect) {
        ti.hwnd = pWnd->m_hWnd;
        ti.uId = nIDTool;
        ti.rect = *lpRect;
    } else {
        ti.uFlags = TTF_IDISHWND;
        ti.hwnd = ::GetParent(pWnd->m_hWnd) ? ::GetParent(pWnd->m_hWnd) : pWnd->m_hWnd;
        ti.uId = reinterpret_cast<UINT_PTR>(pWnd->m_hWnd);
    }
    return ti;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    TOOLINFO ti = ToolFor(pWnd, nIDTool, lpRectTool);
    ti.uFlags |= TTF_SUBCLASS;
    ti.lpszText = const_cast<LPTSTR>(lpszText);
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti)));
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFO ti = ToolFor(pWnd, nIDTool, nullptr);
    if (nIDTool) {
        ti.uFlags = 0;
        ti.hwnd = pWnd->m_hWnd;
        ti.uId = nIDTool;
    }
    SendMessage(TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFO ti = ToolFor(pWnd, nIDTool, nullptr);
    if (nIDTool) {
        ti.uFlags = 0;
        ti.hwnd = pWnd->m_hWnd;
        ti.uId = nIDTool;
    }
    ti.lpszText = const_cast<LPTSTR>(lpszText);
    SendMessage(TTM_UPDATETIPTEXT, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::RelayEvent(LPMSG lpMsg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(lpMsg)); }
void CToolTipCtrl::Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, bActivate); }
int CToolTipCtrl::GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }

//--- tab control

BOOL CTabCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(WC_TABCONTROL, nullptr, dwStyle, rect, pParentWnd, nID);
}

int CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem)
{
    return InsertItem(TCIF_TEXT, nItem, lpszItem, -1, 0);
}

int CTabCtrl::InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, int nImage, LPARAM lParam)
{
    TCITEM item = {};
    item.mask = nMask;
    item.pszText = const_cast<LPTSTR>(lpszItem ? lpszItem : "");
    item.iImage = nImage;
    item.lParam = lParam;
    return static_cast<int>(SendMessage(TCM_INSERTITEM, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

BOOL CTabCtrl::GetItem(int nItem, TCITEM* pItem) const { return static_cast<BOOL>(SendMessage(TCM_GETITEM, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pItem))); }
int CTabCtrl::GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
int CTabCtrl::GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
int CTabCtrl::SetCurSel(int nItem) { return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(nItem))); }
void CTabCtrl::AdjustRect(BOOL bLarger, LPRECT lpRect) { SendMessage(TCM_ADJUSTRECT, bLarger, reinterpret_cast<LPARAM>(lpRect)); }
BOOL CTabCtrl::DeleteAllItems() { return static_cast<BOOL>(SendMessage(TCM_DELETEALLITEMS)); }
