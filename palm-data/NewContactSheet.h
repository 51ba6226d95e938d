// The sheet in which the user types a new contact for the Palm Desktop's
// address book: the three pages, and beside them a Private check box and
// the address book's categories.
#pragma once
#include <afxquill.h>

#include "ContactItem.h"
#include "ContactPages.h"

class NewContactSheet : public CPropertySheet {
public:
    // `categories`: the address book's category names; `phoneLabels` the
    // labels of the phone entries; `customLabels` the four custom field names.
    NewContactSheet(CWnd* owner, const CStringArray& categories, const CStringArray& phoneLabels,
                    const CStringArray& customLabels);

    // Runs the sheet; on OK fills `contact` from it and answers 1, else 0.
    int Run(CONTACTITEM& contact);

    BOOL OnInitDialog() override;

protected:
    afx_msg void OnActivate(UINT state, CWnd* other, BOOL minimized);
    afx_msg BOOL OnHelpInfo(HELPINFO* info);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void AddOwnControls(int x);
    void StackButtons(int x);

    NameDlg m_namePage;
    AddressDlg m_addressPage;
    NoteDlg m_notePage;
    const CStringArray& m_categories;
    CFont m_font;
    CButton m_privateBox;
    CComboBox m_categoryBox;
    // What the added controls held when the sheet closed.
    int m_private = 0;
    CString m_category;
};
