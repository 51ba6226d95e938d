#include "OzuNewContactDlg.h"

#include <vector>

#include "QuiResIds.h"
#include "QuotedFields.h"

OzuNewContactDlg::OzuNewContactDlg(CWnd* pParent) : CDialog(IDD_OZU_NEW_CONTACT, pParent) {}

BOOL OzuNewContactDlg::OnInitDialog()
{
    static const UINT kLabels[] = {IDS_OZU_LABEL_FIRST_NAME, IDS_OZU_LABEL_LAST_NAME, IDS_OZU_LABEL_COMPANY,
                                   IDS_OZU_LABEL_EMAIL,      IDS_OZU_LABEL_PHONE,     IDS_OZU_LABEL_FAX};
    for (int i = 0; i < 6; ++i) {
        CString label;
        label.LoadString(kLabels[i]);
        SetDlgItemText(IDC_OZU_LABEL_FIRST + i, label);
    }
    return CDialog::OnInitDialog();
}

void OzuNewContactDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_OZU_FIRST_NAME, m_strFirstName);
    DDX_Text(pDX, IDC_OZU_LAST_NAME, m_strLastName);
    DDX_Text(pDX, IDC_OZU_COMPANY, m_strCompany);
    DDX_Text(pDX, IDC_OZU_PHONE, m_strPhone);
    DDX_Text(pDX, IDC_OZU_FAX, m_strFax);
    DDX_Text(pDX, IDC_OZU_EMAIL, m_strEmail);
}

CString OzuNewContactDlg::BuildContactLine() const
{
    return BuildContactLine(m_strFirstName, m_strLastName, m_strCompany, m_strPhone, m_strFax, m_strEmail);
}

CString OzuNewContactDlg::BuildContactLine(const CString& first, const CString& last, const CString& company,
                                           const CString& phone, const CString& fax, const CString& email)
{
    // Person document fields: 1 first name, 2 last name, 3 company, 4 phone,
    // 5 fax, 14 e-mail address.
    const CString* fields[16] = {};
    fields[1] = &first;
    fields[2] = &last;
    fields[3] = &company;
    fields[4] = &phone;
    fields[5] = &fax;
    fields[14] = &email;
    CString line;
    for (const CString* field : fields) {
        if (field && !field->IsEmpty()) {
            std::vector<char> quoted(static_cast<size_t>(field->GetLength()) * 2 + 3, '\0');
            lstrcpynA(quoted.data(), *field, static_cast<int>(quoted.size()));
            QuoteCsvField(quoted.data(), quoted.size());
            line += quoted.data();
        } else {
            line += "\"\"";
        }
        line += ",";
    }
    return line;
}
