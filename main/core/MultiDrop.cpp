#include "MultiDrop.h"

#include <Kestrel.h>

#include "Datastore.h"
#include "DestProp.h"
#include "FrameworkUtil.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"

namespace {

const char kDefaultSeparators[] = ";";
const int kListWidthDlu = 168;
const int kListHeightDlu = 48;
const int kListInset = 3;
const int kMaxListHeight = 180;
const int kMinListHeight = 5;
const int kEmptyListRows = 3;
const DWORD kFieldHelpId = 26;

// The item of that ID in the datastore's item list; null when unknown.
QuiItem* LookUpItem(const char* id)
{
    CQuillmateApp* app = QuiGetApp();
    CDatastore* datastore = app ? app->GetDatastore() : nullptr;
    QuiItemList* items = datastore ? datastore->GetItemList() : nullptr;
    return items && id && *id ? items->get(QuiItemID(id)) : nullptr;
}

// The display name, with the item's keywords in brackets when it has any.
CString EntryText(QuiItem* item)
{
    CString text = item->getDisplayName();
    CString keywords;
    item->keywordsFetchBegin();
    while (const char* keyword = item->keywordsFetchNext()) {
        CString word = keyword;
        if (!keywords.IsEmpty()) {
            word.TrimLeft();
            word.TrimRight();
            keywords += ", ";
        }
        keywords += word;
    }
    item->keywordsFetchEnd();
    if (!keywords.IsEmpty())
        text += " (" + keywords + ")";
    return text;
}

} // namespace

//--- the list boxes

namespace {

CQuillmateCheckListDrop* DropOf(CWnd* list)
{
    return dynamic_cast<CQuillmateCheckListDrop*>(list->GetParent());
}

// After the list's own handling: the pop-up decides whether it goes.
void PassKillFocus(CWnd* list, CWnd* pNewWnd)
{
    if (CQuillmateCheckListDrop* drop = DropOf(list))
        drop->OnListKillFocus(pNewWnd);
}

} // namespace

BEGIN_MESSAGE_MAP(CQuillmateCheckList, CCheckListBox)
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

void CQuillmateCheckList::OnKillFocus(CWnd* pNewWnd)
{
    Default();
    PassKillFocus(this, pNewWnd);
}

BEGIN_MESSAGE_MAP(CQuillmateListBox, CListBox)
    ON_WM_KILLFOCUS()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

void CQuillmateListBox::OnKillFocus(CWnd* pNewWnd)
{
    Default();
    PassKillFocus(this, pNewWnd);
}

void CQuillmateListBox::OnLButtonDown(UINT, CPoint)
{
    Default();
    if (CQuillmateCheckListDrop* drop = DropOf(this))
        drop->OnListClick();
}

//--- the drop list

BEGIN_MESSAGE_MAP(CQuillmateCheckListDrop, CQuillmateDropWnd)
    ON_WM_CREATE()
    ON_WM_KILLFOCUS()
    ON_WM_SHOWWINDOW()
    ON_WM_DESTROY()
    ON_LBN_DBLCLK(CQuillmateCheckListDrop::IDC_LIST, OnListDblClk)
END_MESSAGE_MAP()

CQuillmateCheckListDrop::CQuillmateCheckListDrop(CMultiDrop* pField, BOOL bCheckList)
    : CQuillmateDropWnd(pField), m_pMultiField(pField), m_bCheckList(bCheckList)
{
    if (bCheckList)
        m_pList.reset(new CQuillmateCheckList);
    else
        m_pList.reset(new CQuillmateListBox);
}

CQuillmateCheckListDrop::~CQuillmateCheckListDrop()
{
    // The list goes before the pop-up that is its parent.
    m_pList.reset();
}

BOOL CQuillmateCheckListDrop::Create(int x, int y, int cx, int cy)
{
    LPCTSTR cls = CEditDrop::RegisterFieldClass();
    return cls && CreatePopup(cls, CRect(x, y, x + cx, y + cy));
}

int CQuillmateCheckListDrop::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    CRect client;
    GetClientRect(client);
    client.DeflateRect(kListInset, kListInset);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_BORDER | LBS_NOTIFY | LBS_SORT | LBS_HASSTRINGS;
    BOOL made = m_bCheckList ? static_cast<CCheckListBox*>(m_pList.get())->Create(style, client, this, IDC_LIST)
                             : m_pList->Create(style, client, this, IDC_LIST);
    if (!made)
        return -1;
    if (CQuillmateApp* app = QuiGetApp()) {
        SetFont(app->GetSmallFont(), FALSE);
        m_pList->SetFont(app->GetSmallFont(), FALSE);
    }
    return 0;
}

BOOL CQuillmateCheckListDrop::IsChosen(int nIndex) const
{
    if (m_bCheckList)
        return static_cast<CCheckListBox*>(m_pList.get())->GetCheck(nIndex) == BST_CHECKED;
    return nIndex >= 0 && m_pList->GetCurSel() == nIndex;
}

void CQuillmateCheckListDrop::Choose(int nIndex, BOOL bChosen)
{
    if (m_bCheckList)
        static_cast<CCheckListBox*>(m_pList.get())->SetCheck(nIndex, bChosen ? BST_CHECKED : BST_UNCHECKED);
    else if (bChosen)
        m_pList->SetCurSel(nIndex);
    else if (m_pList->GetCurSel() == nIndex)
        m_pList->SetCurSel(-1);
}

void CQuillmateCheckListDrop::Commit(int nFlags)
{
    CString separators = CMultiDrop::GetSeparators();
    CString text;
    for (int i = 0, n = m_pList->GetCount(); i < n; i++) {
        CMultiDrop::Entry* entry = IsChosen(i) ? m_pMultiField->GetEntry(i) : nullptr;
        QuiItem* item = entry && entry->pItem ? LookUpItem(entry->pItem->getID().toString()) : nullptr;
        if (!item)
            continue;
        if (!text.IsEmpty())
            text += separators[0];
        text += item->getDisplayName();
    }
    // Emptying counts as the user's change too, or a later parse would fill
    // the field again.
    if (text != m_pField->GetText()) {
        int flags = nFlags;
        if (nFlags && text.IsEmpty())
            flags |= CDestProp::FLAG_USER_EMPTIED;
        m_pField->NotifyAdaptor(flags);
    }
    m_pField->SetText(text);
}

void CQuillmateCheckListDrop::CommitQuietly()
{
    try {
        Commit(CDestProp::FLAG_USER_CHANGED);
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
}

void CQuillmateCheckListDrop::CommitAndHide()
{
    CommitQuietly();
    Hide(TRUE);
}

void CQuillmateCheckListDrop::OnReturn()
{
    if (m_bCheckList && m_pMultiField->GetCheckedCount() == 0) {
        int selected = m_pList->GetCurSel();
        if (selected >= 0)
            Choose(selected, TRUE);
    }
    CommitAndHide();
}

void CQuillmateCheckListDrop::OnEscape()
{
    m_bCancelled = TRUE;
    Hide(TRUE);
}

void CQuillmateCheckListDrop::OnListDblClk()
{
    OnReturn();
}

void CQuillmateCheckListDrop::OnListKillFocus(CWnd* pNewWnd)
{
    if (pNewWnd && pNewWnd->GetSafeHwnd() == m_pList->GetSafeHwnd())
        return;
    if (!IsWindowVisible())
        return;
    if (!m_bCancelled)
        CommitQuietly();
    Hide(FALSE);
}

void CQuillmateCheckListDrop::OnKillFocus(CWnd* pNewWnd)
{
    OnListKillFocus(pNewWnd);
}

void CQuillmateCheckListDrop::OnListClick()
{
    if (m_bCheckList || !IsWindowVisible())
        return;
    if (m_bCancelled) {
        Hide(TRUE);
        return;
    }
    CommitAndHide();
}

void CQuillmateCheckListDrop::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CQuillmateDropWnd::OnShowWindow(bShow, nStatus);
    if (!bShow)
        return;
    m_bCancelled = FALSE;
    m_bHasChosen = m_pMultiField->GetCheckedCount() > 0;
}

void CQuillmateCheckListDrop::OnDestroy()
{
    // The pop-up may go before its field: with the window that owns both.
    m_pMultiField->FreeEntries();
    CQuillmateDropWnd::OnDestroy();
}

//--- the multi field

BEGIN_MESSAGE_MAP(CMultiDrop, CEditDrop)
    ON_WM_SETFOCUS()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

int CMultiDrop::Entry::s_nLive = 0;

CMultiDrop::CMultiDrop() = default;

CMultiDrop::~CMultiDrop()
{
    FreeEntries();
}

CString CMultiDrop::GetSeparators()
{
    CString separators;
    if (!separators.LoadString(IDS_ITEM_SEPARATORS) || separators.IsEmpty())
        separators = kDefaultSeparators;
    return separators;
}

BOOL CMultiDrop::EnsureList()
{
    if (m_bListMade)
        return TRUE;
    if (!m_hWnd)
        return FALSE;
    CRect field;
    GetWindowRect(field);
    m_pList.reset(new CQuillmateCheckListDrop(this, !(GetDropStyle() & dropSingleChoice)));
    CWnd* metrics = GetParent() ? GetParent() : this;
    if (!m_pList->Create(field.left, field.bottom, DluToPixelsX(metrics, kListWidthDlu),
                         DluToPixelsX(metrics, kListHeightDlu))) {
        m_pList.reset();
        return FALSE;
    }
    m_bListMade = TRUE;
    // The field is filled by picking only.
    m_edit.EnableWindow(FALSE);
    return TRUE;
}

CMultiDrop::Entry* CMultiDrop::GetEntry(int nIndex)
{
    if (!m_pList || nIndex < 0)
        return nullptr;
    void* data = m_pList->GetList().GetItemDataPtr(nIndex);
    return data == reinterpret_cast<void*>(LB_ERR) ? nullptr : static_cast<Entry*>(data);
}

void CMultiDrop::FreeEntries()
{
    if (!m_pList || !m_pList->GetList().GetSafeHwnd())
        return;
    CListBox& list = m_pList->GetList();
    for (int i = 0, n = list.GetCount(); i < n; i++) {
        delete GetEntry(i);
        list.SetItemDataPtr(i, nullptr);
    }
    list.ResetContent();
}

void CMultiDrop::SetItems(const CStringArray& ids)
{
    if (!EnsureList())
        return;
    FreeEntries();
    CListBox& list = m_pList->GetList();
    for (int i = 0; i < ids.GetSize(); i++) {
        QuiItem* item = LookUpItem(ids[i]);
        if (!item)
            continue;
        int index = list.AddString(EntryText(item));
        if (index >= 0)
            list.SetItemDataPtr(index, new Entry{item, nullptr});
    }
}

int CMultiDrop::FindEntry(const CString& name)
{
    if (!m_pList || name.IsEmpty())
        return -1;
    // An entry shows its item's keywords after the name, so the name is
    // compared with the item's own, as the list box compares: ignoring case.
    CListBox& list = m_pList->GetList();
    for (int i = 0, n = list.GetCount(); i < n; i++) {
        Entry* entry = GetEntry(i);
        CString entryName;
        if (entry && entry->pItem)
            entryName = entry->pItem->getDisplayName();
        else
            list.GetText(i, entryName);
        if (::lstrcmpiA(entryName, name) == 0)
            return i;
    }
    return -1;
}

int CMultiDrop::FindItem(const CString& id)
{
    QuiItem* item = LookUpItem(id);
    return item ? FindEntry(item->getDisplayName()) : -1;
}

template <class Fn> void CMultiDrop::ForEachNamedEntry(Fn fn)
{
    CString text = GetText();
    CString separators = GetSeparators();
    int start = 0;
    while (start <= text.GetLength()) {
        int end = start;
        while (end < text.GetLength() && separators.Find(text[end]) < 0)
            end++;
        int index = end > start ? FindEntry(text.Mid(start, end - start)) : -1;
        if (index >= 0)
            fn(index);
        start = end + 1;
    }
}

void CMultiDrop::GetItemIDs(CStringArray& ids)
{
    ids.RemoveAll();
    ForEachNamedEntry([&](int index) {
        Entry* entry = GetEntry(index);
        if (entry && entry->pItem)
            ids.Add(entry->pItem->getID().toString());
    });
}

void CMultiDrop::ParseText()
{
    ForEachNamedEntry([&](int index) { m_pList->Choose(index, FALSE); });
}

void CMultiDrop::Choose(const CString& id, BOOL bChosen, BOOL bSetData, void* pData)
{
    int index = FindItem(id);
    if (index < 0)
        return;
    m_pList->Choose(index, bChosen);
    if (bSetData)
        SetItemData(id, pData);
    m_pList->Commit(0);
}

void CMultiDrop::CheckItem(const CString& id, void* pData, BOOL bSetData)
{
    Choose(id, TRUE, bSetData, pData);
}

void CMultiDrop::UncheckItem(const CString& id, BOOL bClearData)
{
    Choose(id, FALSE, bClearData, nullptr);
}

void CMultiDrop::SetItemData(const CString& id, void* pData)
{
    int index = FindItem(id);
    if (index < 0)
        return;
    if (Entry* entry = GetEntry(index)) {
        entry->pData = pData;
        return;
    }
    m_pList->GetList().SetItemDataPtr(index, new Entry{LookUpItem(id), pData});
}

void* CMultiDrop::GetItemData(const CString& id)
{
    Entry* entry = GetEntry(FindItem(id));
    return entry ? entry->pData : nullptr;
}

int CMultiDrop::GetCheckedCount()
{
    if (!m_pList)
        return 0;
    int count = 0;
    for (int i = 0, n = m_pList->GetList().GetCount(); i < n; i++)
        count += m_pList->IsChosen(i) ? 1 : 0;
    return count;
}

void CMultiDrop::PlaceList()
{
    CListBox& list = m_pList->GetList();
    int itemHeight = list.GetItemHeight(0);
    int height = itemHeight * list.GetCount();
    if (height > kMaxListHeight)
        height = kMaxListHeight;
    if (height < kMinListHeight)
        height = kEmptyListRows * itemHeight;
    // The list's client area holds the rows; its border comes on top.
    CRect window, client;
    list.GetWindowRect(window);
    list.GetClientRect(client);
    int listWidth = window.Width();
    int listHeight = height + window.Height() - client.Height();
    list.MoveWindow(kListInset, kListInset, listWidth, listHeight);

    CRect frame(0, 0, listWidth + 2 * kListInset, listHeight + 2 * kListInset);
    ::AdjustWindowRectEx(frame, m_pList->GetStyle(), FALSE, m_pList->GetExStyle());
    CRect field;
    GetWindowRect(field);
    m_pList->SetWindowPos(nullptr, field.left, field.bottom, frame.Width(), frame.Height(),
                          SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMultiDrop::DropDown()
{
    if (!EnsureList())
        return;
    PlaceList();
    CStringArray ids;
    GetItemIDs(ids);
    CListBox& list = m_pList->GetList();
    if (m_pList->IsCheckList()) {
        for (int i = 0, n = list.GetCount(); i < n; i++)
            m_pList->Choose(i, FALSE);
        for (int i = 0; i < ids.GetSize(); i++) {
            int index = FindItem(ids[i]);
            if (index >= 0)
                m_pList->Choose(index, TRUE);
        }
    } else {
        list.SetCurSel(ids.IsEmpty() ? -1 : FindItem(ids[0]));
    }
    m_pList->ShowWindow(SW_SHOW);
    list.SetFocus();
}

void CMultiDrop::SetDisabled(BOOL bDisabled)
{
    CEditDrop::SetDisabled(bDisabled);
    SetPickOnlyDisabled(bDisabled);
}

BOOL CMultiDrop::PreTranslateMessage(MSG* pMsg)
{
    if (HandleDropKeys(pMsg, TRUE))
        return TRUE;
    return CEditDrop::PreTranslateMessage(pMsg);
}

void CMultiDrop::OnSetFocus(CWnd* pOldWnd)
{
    CWnd* pane = GetParent();
    if (CWnd* destination = pane ? pane->GetParent() : nullptr)
        destination->SetWindowContextHelpId(kFieldHelpId);
    CEditDrop::OnSetFocus(pOldWnd);
}

void CMultiDrop::OnDestroy()
{
    FreeEntries();
    CEditDrop::OnDestroy();
}
