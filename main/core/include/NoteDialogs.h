// The two small dialogs of the note: the confirmation of a filed note and
// the chooser of further contacts.
#pragma once
#include <afxquill.h>

class CSavedNote : public CDialog {
public:
    explicit CSavedNote(CWnd* pParent);
    // The message names the note (its first 35 characters, quoted) and the
    // destinations; nothing happens without a destination name.
    void BuildMessage(const CString& noteText, const CStringArray& destNames, UINT idLabel);
    const CString& GetMessage() const { return m_message; }
    int GetDontShowAgain() const { return m_nDontShowAgain; }
    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    CString m_message;
    CString m_text;
    CButton m_check;
    int m_nDontShowAgain = 0;
};

class CMoreContacts : public CDialog {
public:
    explicit CMoreContacts(CWnd* pParent);
    int GetSelectedId() const { return m_nId; }
    CString& GetSelectedName() { return m_name; }
    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    int m_nId = 0;
    CString m_name;
    CListBox m_listBox;
    CString m_listString;
};
