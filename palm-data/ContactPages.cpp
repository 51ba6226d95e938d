#include "ContactPages.h"

#include "PalmDataIds.h"

namespace {

const char kHelpFile[] = "Quillmate for Palm Desktop.hlp";
const int kPhoneIds[CONTACTITEM::EMAIL_COUNT] = {IDC_PHONE1, IDC_PHONE2, IDC_PHONE3, IDC_PHONE4, IDC_PHONE5};
const int kLabelIds[CONTACTITEM::EMAIL_COUNT] = {IDC_LABEL1, IDC_LABEL2, IDC_LABEL3, IDC_LABEL4, IDC_LABEL5};
const int kCustomIds[4] = {IDC_CUSTOM1, IDC_CUSTOM2, IDC_CUSTOM3, IDC_CUSTOM4};
const int kCustomLabelIds[4] = {IDC_CUSTOM1_LABEL, IDC_CUSTOM2_LABEL, IDC_CUSTOM3_LABEL, IDC_CUSTOM4_LABEL};
const int kLabelShown = 8;

// A drop-down list's selection; no selection reads as the first entry.
void DDX_ListIndex(CDataExchange* pDX, int id, int& index)
{
    HWND list = pDX->PrepareCtrl(id);
    if (pDX->m_bSaveAndValidate) {
        const LRESULT chosen = ::SendMessageA(list, CB_GETCURSEL, 0, 0);
        index = chosen == CB_ERR ? 0 : static_cast<int>(chosen);
    } else {
        ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

} // namespace

CString ContactHelpFile(LPCTSTR programPath)
{
    const CString path(programPath);
    const int slash = path.ReverseFind('\\');
    return slash < 0 ? CString(kHelpFile) : path.Left(slash + 1) + kHelpFile;
}

void ShowContactHelp(HWND window)
{
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, sizeof program);
    ::WinHelpA(window, ContactHelpFile(program), HELP_CONTEXT, HELP_NEW_CONTACT);
}

//--- every page ---------------------------------------------------------------

ContactPage::ContactPage(UINT templateId, UINT captionId) : CPropertyPage(templateId, captionId)
{
    m_psp.dwFlags |= PSP_HASHELP;
}

BOOL ContactPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (reinterpret_cast<NMHDR*>(lParam)->code != PSN_HELP)
        return CPropertyPage::OnNotify(wParam, lParam, pResult);
    ShowContactHelp(m_hWnd);
    *pResult = 0;
    return TRUE;
}

//--- names and phones ---------------------------------------------------------

BEGIN_MESSAGE_MAP(NameDlg, ContactPage)
    ON_EN_CHANGE(IDC_LAST_NAME, OnNameChange)
    ON_EN_CHANGE(IDC_FIRST_NAME, OnNameChange)
    ON_EN_CHANGE(IDC_COMPANY, OnNameChange)
END_MESSAGE_MAP()

NameDlg::NameDlg(const CStringArray& labels)
    : ContactPage(IDD_CONTACT_NAME, IDS_NAME_PAGE), m_labels{0, 1, 2, 3, 4}, m_labelTexts(labels)
{
}

BOOL NameDlg::OnInitDialog()
{
    for (int id : kLabelIds)
        for (int i = 0; i < m_labelTexts.GetSize(); ++i)
            SendDlgItemMessage(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_labelTexts[i].GetString()));
    return ContactPage::OnInitDialog();
}

void NameDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_LAST_NAME, m_lastName);
    DDX_Text(pDX, IDC_FIRST_NAME, m_firstName);
    DDX_Text(pDX, IDC_TITLE, m_title);
    DDX_Text(pDX, IDC_COMPANY, m_company);
    for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i) {
        DDX_Text(pDX, kPhoneIds[i], m_phones[i]);
        DDX_ListIndex(pDX, kLabelIds[i], m_labels[i]);
    }
    DDX_Radio(pDX, IDC_SHOWN1, m_shown);
}

void NameDlg::OnNameChange()
{
    // Only a name or a company makes a contact worth keeping.
    SetModified(::GetWindowTextLengthA(::GetDlgItem(m_hWnd, IDC_LAST_NAME)) > 0 ||
                ::GetWindowTextLengthA(::GetDlgItem(m_hWnd, IDC_FIRST_NAME)) > 0 ||
                ::GetWindowTextLengthA(::GetDlgItem(m_hWnd, IDC_COMPANY)) > 0);
}

void NameDlg::WriteTo(CONTACTITEM& contact) const
{
    contact.SetText(CONTACTITEM::LastName, m_lastName);
    contact.SetText(CONTACTITEM::FirstName, m_firstName);
    contact.SetText(CONTACTITEM::Title, m_title);
    contact.SetText(CONTACTITEM::Company, m_company);
    for (int i = 0; i < CONTACTITEM::EMAIL_COUNT; ++i) {
        EMAILINFO& entry = contact.Email(i);
        entry.SetValue(m_phones[i]);
        const int label = m_labels[i];
        entry.SetLabel(label >= 0 && label < m_labelTexts.GetSize() ? m_labelTexts[label].GetString() : "");
        entry.shown = i == m_shown ? 1 : 0;
    }
}

//--- address and custom fields ------------------------------------------------

AddressDlg::AddressDlg() : ContactPage(IDD_CONTACT_ADDRESS, IDS_ADDRESS_PAGE) {}

CString AddressDlg::LabelText(const CString& name)
{
    CString text = name.GetLength() > kLabelShown ? name.Left(kLabelShown) + "..." : name;
    return text + ":";
}

void AddressDlg::SetCustomLabels(const CStringArray& names)
{
    for (int i = 0; i < 4; ++i)
        m_customLabels[i] = LabelText(i < names.GetSize() ? names[i] : CString());
}

void AddressDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_ADDRESS, m_address);
    DDX_Text(pDX, IDC_CITY, m_city);
    DDX_Text(pDX, IDC_STATE, m_state);
    DDX_Text(pDX, IDC_ZIP, m_zip);
    DDX_Text(pDX, IDC_COUNTRY, m_country);
    for (int i = 0; i < 4; ++i) {
        DDX_Text(pDX, kCustomIds[i], m_custom[i]);
        if (!pDX->m_bSaveAndValidate)
            SetDlgItemText(kCustomLabelIds[i], m_customLabels[i]);
    }
}

void AddressDlg::WriteTo(CONTACTITEM& contact) const
{
    contact.SetText(CONTACTITEM::Address, m_address);
    contact.SetText(CONTACTITEM::City, m_city);
    contact.SetText(CONTACTITEM::State, m_state);
    contact.SetText(CONTACTITEM::ZipCode, m_zip);
    contact.SetText(CONTACTITEM::Country, m_country);
    for (int i = 0; i < 4; ++i)
        contact.SetText(CONTACTITEM::Custom1 + i, m_custom[i]);
}

//--- note ---------------------------------------------------------------------

NoteDlg::NoteDlg() : ContactPage(IDD_CONTACT_NOTE, IDS_NOTE_PAGE) {}

void NoteDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_NOTE, m_note);
}

void NoteDlg::WriteTo(CONTACTITEM& contact) const
{
    contact.SetText(CONTACTITEM::Note, m_note);
}
