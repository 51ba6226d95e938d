// The Lotus Notes edition's new-contact dialog (template 3000): six labelled
// edits whose texts make the contact line Heron turns into a person
// document.
#pragma once
#include <afxquill.h>

class OzuNewContactDlg : public CDialog {
public:
    explicit OzuNewContactDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;

    // The 16-field line of the texts entered: every field quoted (an empty
    // one as two double quotes) and followed by a comma.
    CString BuildContactLine() const;
    static CString BuildContactLine(const CString& first, const CString& last, const CString& company,
                                    const CString& phone, const CString& fax, const CString& email);

    CString m_strFirstName, m_strLastName, m_strCompany, m_strPhone, m_strFax, m_strEmail;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
