#include "NoteDialogs.h"

#include "QuiResIds.h"

namespace {

const int kQuotedLength = 35;

} // namespace

CSavedNote::CSavedNote(CWnd* pParent) : CDialog(IDD_SAVED_NOTE, pParent) {}

void CSavedNote::BuildMessage(const CString& noteText, const CStringArray& destNames, UINT idLabel)
{
    if (destNames.IsEmpty())
        return;
    CString destinations;
    destinations.LoadString(idLabel);
    if (!destinations.IsEmpty())
        destinations += " ";
    for (int i = 0; i < destNames.GetSize(); ++i)
        destinations += (i ? ", " : "") + destNames[i];
    CString text = noteText.GetLength() > kQuotedLength ? noteText.Left(kQuotedLength) + "..." : noteText;
    CString format;
    format.LoadString(IDS_SAVED_NOTE);
    m_message.Format(format, static_cast<LPCSTR>("'" + text + "'"), static_cast<LPCSTR>(destinations));
    m_text = m_message;
}

BOOL CSavedNote::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_check.SubclassDlgItem(IDC_SAVED_DONT_SHOW, this))
        m_check.SetCheck(BST_UNCHECKED);
    m_nDontShowAgain = 0;
    return TRUE;
}

void CSavedNote::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SAVED_TEXT, m_text);
    DDX_Check(pDX, IDC_SAVED_DONT_SHOW, m_nDontShowAgain);
}

CMoreContacts::CMoreContacts(CWnd* pParent) : CDialog(IDD_MORE_CONTACTS, pParent) {}

BOOL CMoreContacts::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_listBox.SubclassDlgItem(IDC_MORE_CONTACTS_LIST, this);
    return TRUE;
}

void CMoreContacts::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_LBString(pDX, IDC_MORE_CONTACTS_LIST, m_listString);
}

void CMoreContacts::OnOK()
{
    int selection = m_listBox.GetSafeHwnd() ? m_listBox.GetCurSel() : LB_ERR;
    m_nId = 0;
    m_name.Empty();
    if (selection != LB_ERR) {
        m_nId = static_cast<int>(m_listBox.GetItemData(selection));
        m_listBox.GetText(selection, m_name);
    }
    EndDialog(IDOK);
}
