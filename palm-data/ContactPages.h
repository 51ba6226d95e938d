// The three pages of the New Contact sheet. Each keeps its texts in members,
// which start as the page starts, so that a page the user never opened
// still gives its part of the contact.
#pragma once
#include <afxquill.h>

#include "ContactItem.h"

// The help file beside the program: the program path up to its last
// backslash, then the file name; the bare file name when there is none.
CString ContactHelpFile(LPCTSTR programPath);
// Opens the sheet's help topic for the window.
void ShowContactHelp(HWND window);

// A page with a Help button that opens the sheet's help.
class ContactPage : public CPropertyPage {
public:
    ContactPage(UINT templateId, UINT captionId);

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class NameDlg : public ContactPage {
public:
    // `labels`: the phone labels the label boxes offer, in order.
    explicit NameDlg(const CStringArray& labels);

    CString m_lastName, m_firstName, m_title, m_company;
    CString m_phones[CONTACTITEM::EMAIL_COUNT];
    int m_labels[CONTACTITEM::EMAIL_COUNT];   // index into the label list
    int m_shown = 0;                            // the entry shown in lists

    BOOL OnInitDialog() override;
    // Names, phones with their labels and the one entry shown in lists.
    void WriteTo(CONTACTITEM& contact) const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnNameChange();
    DECLARE_MESSAGE_MAP()

private:
    const CStringArray& m_labelTexts;
};

class AddressDlg : public ContactPage {
public:
    AddressDlg();

    // The custom labels as the page shows them: at most eight characters of
    // the name (a longer one gets "..."), then a colon.
    static CString LabelText(const CString& name);
    void SetCustomLabels(const CStringArray& names);

    CString m_address, m_city, m_state, m_zip, m_country;
    CString m_custom[4];

    void WriteTo(CONTACTITEM& contact) const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    CString m_customLabels[4];
};

class NoteDlg : public ContactPage {
public:
    NoteDlg();
    CString m_note;
    void WriteTo(CONTACTITEM& contact) const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
