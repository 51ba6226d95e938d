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
    // The kinds as a list: commas between them, the last one joined by "and".
    CString kinds = destNames[0];
    for (int i = 1; i < destNames.GetSize(); ++i) {
        if (i + 1 < destNames.GetSize()) {
            kinds += ", " + destNames[i];
        } else {
            CString joined;
            joined.Format(IDS_SAVED_NOTE_AND, kinds.GetString(), destNames[i].GetString());
            kinds = joined;
        }
    }
    CString label;
    label.LoadString(idLabel);
    CString text = noteText.GetLength() > kQuotedLength ? noteText.Left(kQuotedLength) + "..." : noteText;
    const CString quoted = "'" + text + "'";
    // Without an edition's name the sentence names the kinds alone.
    if (label.IsEmpty())
        m_message.Format(IDS_SAVED_NOTE_PLAIN, quoted.GetString(), kinds.GetString());
    else
        m_message.Format(IDS_SAVED_NOTE, quoted.GetString(), label.GetString(), kinds.GetString());
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
