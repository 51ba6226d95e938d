#include "quifw/CheckListBox.h"

namespace {

const int kBoxSize = 13;
const int kBoxMargin = 2;

} // namespace

BOOL CCheckListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    dwStyle = (dwStyle & ~(LBS_OWNERDRAWVARIABLE | LBS_NODATA)) | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
    if (!CListBox::Create(dwStyle, rect, pParentWnd, nID))
        return FALSE;
    SetItemHeight(0, ItemHeight());
    return TRUE;
}

CCheckListBox::Entry* CCheckListBox::EntryAt(int nIndex) const
{
    // The list's own item data holds the entry; callers see only its dwData.
    LRESULT raw = ::CallWindowProc(m_pfnSuper, m_hWnd, LB_GETITEMDATA, static_cast<WPARAM>(nIndex), 0);
    return raw == LB_ERR ? nullptr : reinterpret_cast<Entry*>(raw);
}

void CCheckListBox::FreeEntries()
{
    int count = GetCount();
    for (int i = 0; i < count; ++i) {
        delete EntryAt(i);
        ::CallWindowProc(m_pfnSuper, m_hWnd, LB_SETITEMDATA, static_cast<WPARAM>(i), 0);
    }
}

void CCheckListBox::SetCheck(int nIndex, int nCheck)
{
    if (Entry* entry = EntryAt(nIndex)) {
        entry->nCheck = nCheck;
        RECT rect;
        if (SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&rect)) != LB_ERR)
            InvalidateRect(&rect, FALSE);
    }
}

int CCheckListBox::GetCheck(int nIndex) const
{
    Entry* entry = EntryAt(nIndex);
    return entry ? entry->nCheck : -1;
}

void CCheckListBox::Toggle(int nIndex)
{
    int check = GetCheck(nIndex);
    if (check < 0)
        return;
    SetCheck(nIndex, check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    ::SendMessage(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), CLBN_CHKCHANGE),
                  reinterpret_cast<LPARAM>(m_hWnd));
}

UINT CCheckListBox::ItemHeight() const
{
    HDC hDC = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(hDC, GetFont() ? static_cast<HGDIOBJ>(GetFont()) : ::GetStockObject(SYSTEM_FONT));
    TEXTMETRIC tm = {};
    ::GetTextMetrics(hDC, &tm);
    ::SelectObject(hDC, old);
    ::ReleaseDC(m_hWnd, hDC);
    int height = tm.tmHeight + 2;
    return static_cast<UINT>(height > kBoxSize + 2 ? height : kBoxSize + 2);
}

LRESULT CCheckListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
        LRESULT index = CListBox::WindowProc(message, wParam, lParam);
        if (index >= 0)
            ::CallWindowProc(m_pfnSuper, m_hWnd, LB_SETITEMDATA, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(new Entry{BST_UNCHECKED, 0}));
        return index;
    }
    case LB_GETITEMDATA: {
        Entry* entry = EntryAt(static_cast<int>(wParam));
        return entry ? static_cast<LRESULT>(entry->dwData) : LB_ERR;
    }
    case LB_SETITEMDATA: {
        int first = static_cast<int>(wParam), last = first;
        if (first == -1) {
            first = 0;
            last = GetCount() - 1;
        }
        for (int i = first; i <= last; ++i) {
            Entry* entry = EntryAt(i);
            if (!entry)
                return LB_ERR;
            entry->dwData = static_cast<DWORD_PTR>(lParam);
        }
        return 0;
    }
    case LB_DELETESTRING:
        if (Entry* entry = EntryAt(static_cast<int>(wParam))) {
            ::CallWindowProc(m_pfnSuper, m_hWnd, LB_SETITEMDATA, wParam, 0);
            delete entry;
        }
        break;
    case LB_RESETCONTENT:
    case WM_DESTROY:
        FreeEntries();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        LRESULT hit = SendMessage(LB_ITEMFROMPOINT, 0, lParam);
        int x = static_cast<short>(LOWORD(lParam));
        if (!HIWORD(hit) && x < kBoxSize + 2 * kBoxMargin) {
            LRESULT result = CListBox::WindowProc(message, wParam, lParam);
            Toggle(LOWORD(hit));
            return result;
        }
        break;
    }
    case WM_CHAR:
        if (wParam == ' ') {
            Toggle(GetCurSel());
            return 0;
        }
        break;
    case WM_SETFONT: {
        LRESULT result = CListBox::WindowProc(message, wParam, lParam);
        SetItemHeight(0, ItemHeight());
        return result;
    }
    default:
        break;
    }
    return CListBox::WindowProc(message, wParam, lParam);
}

BOOL CCheckListBox::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_DRAWITEM:
        Draw(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        break;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = ItemHeight();
        break;
    case WM_DELETEITEM:         // the entry was freed before the list let go of it
        break;
    default:
        return FALSE;
    }
    *pResult = TRUE;
    return TRUE;
}

void CCheckListBox::Draw(const DRAWITEMSTRUCT* pItem)
{
    HDC hDC = pItem->hDC;
    RECT rect = pItem->rcItem;
    if (pItem->itemID == static_cast<UINT>(-1)) {
        if (pItem->itemState & ODS_FOCUS)
            ::DrawFocusRect(hDC, &rect);
        return;
    }
    int index = static_cast<int>(pItem->itemID);
    RECT box = {rect.left + kBoxMargin, rect.top + (rect.bottom - rect.top - kBoxSize) / 2, 0, 0};
    box.right = box.left + kBoxSize;
    box.bottom = box.top + kBoxSize;
    UINT state = DFCS_BUTTONCHECK | (GetCheck(index) == BST_CHECKED ? DFCS_CHECKED : 0) |
                 (IsWindowEnabled() ? 0 : DFCS_INACTIVE);
    ::FillRect(hDC, &rect, ::GetSysColorBrush(COLOR_WINDOW));
    ::DrawFrameControl(hDC, &box, DFC_BUTTON, state);

    RECT textRect = rect;
    textRect.left = box.right + kBoxMargin;
    BOOL selected = (pItem->itemState & ODS_SELECTED) != 0;
    ::FillRect(hDC, &textRect, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    CString text;
    GetText(index, text);
    int oldMode = ::SetBkMode(hDC, TRANSPARENT);
    COLORREF oldColor = ::SetTextColor(hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT drawRect = textRect;
    drawRect.left += 1;
    ::DrawText(hDC, text, text.GetLength(), &drawRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    ::SetTextColor(hDC, oldColor);
    ::SetBkMode(hDC, oldMode);
    if (pItem->itemState & ODS_FOCUS)
        ::DrawFocusRect(hDC, &textRect);
}
