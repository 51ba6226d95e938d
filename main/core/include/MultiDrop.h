// CMultiDrop: a field filled by picking items of the item database from a
// drop list (a check list, or a single-choice list); the field's text is the
// picked items' names. CTreeDrop is the same field under another name.
#pragma once
#include <afxquill.h>

#include <memory>

#include "DropWnd.h"
#include "EditDrop.h"

class CMultiDrop;
class QuiItem;

// The check list of a drop list: its focus loss goes to the pop-up.
class CQuillmateCheckList : public CCheckListBox {
protected:
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()
};

// The single-choice list of a drop list: its focus loss and clicks go to the
// pop-up.
class CQuillmateListBox : public CListBox {
protected:
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};

// The drop list pop-up of a multi field.
class CQuillmateCheckListDrop : public CQuillmateDropWnd {
public:
    enum { IDC_LIST = 157 };

    CQuillmateCheckListDrop(CMultiDrop* pField, BOOL bCheckList);
    ~CQuillmateCheckListDrop() override;
    // A hidden pop-up at (x, y) of cx by cy pixels.
    BOOL Create(int x, int y, int cx, int cy);

    CListBox& GetList() { return *m_pList; }
    BOOL IsCheckList() const { return m_bCheckList; }
    // Whether the entry is chosen: checked, or in a single-choice list selected.
    BOOL IsChosen(int nIndex) const;
    void Choose(int nIndex, BOOL bChosen);
    // The chosen items' names into the field; the adaptor hears of it with
    // nFlags when the text changes.
    void Commit(int nFlags);
    BOOL IsCancelled() const { return m_bCancelled; }
    BOOL HasChosenEntries() const { return m_bHasChosen; }

    // From the list box.
    void OnListKillFocus(CWnd* pNewWnd);
    void OnListClick();

protected:
    void OnReturn() override;
    void OnEscape() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnDestroy();
    afx_msg void OnListDblClk();

    DECLARE_MESSAGE_MAP()

private:
    void CommitAndHide();
    void CommitQuietly();

    CMultiDrop* m_pMultiField;
    std::unique_ptr<CListBox> m_pList;
    BOOL m_bCheckList;
    BOOL m_bCancelled = FALSE;
    BOOL m_bHasChosen = FALSE;
};

class CMultiDrop : public CEditDrop {
public:
    // The data of one list entry: its item and the user's pointer. Entries
    // are counted, so that one outliving its list shows.
    struct Entry {
        Entry(QuiItem* item, void* data) : pItem(item), pData(data) { ++s_nLive; }
        ~Entry() { --s_nLive; }
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;
        static int GetLiveCount() { return s_nLive; }

        QuiItem* pItem;
        void* pData;

    private:
        static int s_nLive;
    };

    CMultiDrop();
    ~CMultiDrop() override;

    // Splits the field's text at its separators; names found in the list
    // lose their check mark.
    virtual void ParseText();

    // The IDs of the items the field's text names, in its order.
    void GetItemIDs(CStringArray& ids);
    // The items the list offers: those of ids that the datastore knows.
    void SetItems(const CStringArray& ids);
    void CheckItem(const CString& id, void* pData, BOOL bSetData);
    void UncheckItem(const CString& id, BOOL bClearData);
    void SetItemData(const CString& id, void* pData);
    // 0 when the item is not in the list.
    void* GetItemData(const CString& id);
    // The list entry of the item, -1 when absent.
    int FindItem(const CString& id);
    int GetCheckedCount();

    void DropDown() override;
    void SetDisabled(BOOL bDisabled) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Null until the list is first needed.
    CQuillmateCheckListDrop* GetDropList() const { return m_pList.get(); }
    // The separators of the field's text; the first joins the names.
    static CString GetSeparators();
    // The entry whose item has that display name, -1 when none.
    int FindEntry(const CString& name);
    Entry* GetEntry(int nIndex);
    // Frees every entry record and empties the list.
    void FreeEntries();

protected:
    CWnd* GetPopupWnd() const override { return m_pList.get(); }
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    // Checks or unchecks the item's entry (with bSetData, setting its user
    // pointer too) and rewrites the text without telling the adaptor.
    void Choose(const CString& id, BOOL bChosen, BOOL bSetData, void* pData);
    BOOL EnsureList();
    void PlaceList();
    // Calls fn with each entry the field's text names.
    template <class Fn> void ForEachNamedEntry(Fn fn);

    std::unique_ptr<CQuillmateCheckListDrop> m_pList;
    BOOL m_bListMade = FALSE;
};

class CTreeDrop : public CMultiDrop {};
