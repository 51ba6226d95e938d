// A list box whose entries carry check boxes. The check state is kept apart
// from the entry's item data, which stays the caller's.
#pragma once

#include "Controls.h"

// WM_COMMAND code sent to the parent when the user changes a check.
#define CLBN_CHKCHANGE 40

class CCheckListBox : public CListBox {
public:
    // Adds LBS_OWNERDRAWFIXED and LBS_HASSTRINGS: the list draws its own entries.
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void SetCheck(int nIndex, int nCheck);   // BST_CHECKED or BST_UNCHECKED
    int GetCheck(int nIndex) const;          // -1 for a bad index

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    struct Entry {
        int nCheck;
        DWORD_PTR dwData;
    };
    Entry* EntryAt(int nIndex) const;
    void FreeEntries();
    void Toggle(int nIndex);
    void Draw(const DRAWITEMSTRUCT* pItem);
    UINT ItemHeight() const;
};
