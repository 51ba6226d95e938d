#include "quifw/Dialog.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "State.h"
#include "quifw/Prompt.h"
#include "quifw/WinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

namespace {

// Thrown by CDataExchange::Fail, caught by UpdateData; never leaves it.
struct DataExchangeFailure {};

} // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

LPCDLGTEMPLATE CDialog::LoadTemplate(UINT nIDTemplate)
{
    HINSTANCE hResource = AfxGetResourceHandle();
    HRSRC hFound = ::FindResource(hResource, MAKEINTRESOURCE(nIDTemplate), RT_DIALOG);
    HGLOBAL hLoaded = hFound ? ::LoadResource(hResource, hFound) : nullptr;
    return hLoaded ? static_cast<LPCDLGTEMPLATE>(::LockResource(hLoaded)) : nullptr;
}

INT_PTR CALLBACK CDialog::DlgProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    if (m_hWnd)
        return FALSE;
    LPCDLGTEMPLATE pTemplate = LoadTemplate(nIDTemplate);
    if (!pTemplate)
        return FALSE;
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    m_bModal = FALSE;
    AfxInitControls();
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParam(AfxGetResourceHandle(), pTemplate,
                                            pParentWnd ? pParentWnd->m_hWnd : nullptr, DlgProc, 0);
    AfxUnhookWindowCreate();
    return hWnd != nullptr && m_hWnd == hWnd;
}

HWND CDialog::OwnerForModal(CWnd* pParentWnd)
{
    HWND hOwner = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    if (!hOwner) {
        CWnd* pMain = AfxGetMainWnd();
        hOwner = pMain ? pMain->m_hWnd : nullptr;
    }
    // Only a top-level window can own a pop-up.
    while (hOwner && (::GetWindowLong(hOwner, GWL_STYLE) & WS_CHILD))
        hOwner = ::GetParent(hOwner);
    return hOwner;
}

INT_PTR CDialog::DoModal()
{
    LPCDLGTEMPLATE pTemplate = m_hWnd ? nullptr : LoadTemplate(m_nIDTemplate);
    if (!pTemplate)
        return -1;
    HWND hOwner = OwnerForModal(m_pParentWnd);
    m_bModal = TRUE;
    AfxInitControls();
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParam(AfxGetResourceHandle(), pTemplate, hOwner, DlgProc, 0);
    AfxUnhookWindowCreate();
    if (!hWnd || m_hWnd != hWnd) {
        m_bModal = FALSE;
        return -1;
    }
    if (ContinueModal() && !IsWindowVisible())
        ShowWindow(SW_SHOWNORMAL);
    int nResult = RunModal(hOwner);
    m_bModal = FALSE;
    return nResult;
}

void CDialog::EndDialog(int nResult)
{
    if (m_bModal)
        EndModalLoop(nResult);
    else
        DestroyWindow();
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const DataExchangeFailure&) {
        return FALSE;
    }
    return TRUE;
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    if (pWndCtrl)
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), TRUE);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    return AfxIsKeyboardMessageFor(m_hWnd, pMsg) && ::IsDialogMessage(m_hWnd, pMsg);
}

//--- data exchange

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    m_hWndLastControl = hCtrl;
    m_bEditLastControl = FALSE;
    if (!hCtrl)
        throw DataExchangeFailure();
    return hCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hCtrl;
}

void CDataExchange::Fail()
{
    if (!m_bSaveAndValidate)
        throw DataExchangeFailure();
    if (m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessage(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    throw DataExchangeFailure();
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        CWnd::FromHandle(hCtrl)->GetWindowText(value);
    else
        ::SetWindowText(hCtrl, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hCtrl = pDX->PrepareEditCtrl(nIDC);
    CString text;
    if (!pDX->m_bSaveAndValidate) {
        text.Format("%d", value);
        ::SetWindowText(hCtrl, text);
        return;
    }
    CWnd::FromHandle(hCtrl)->GetWindowText(text);
    text.TrimLeft();
    text.TrimRight();
    char* end = nullptr;
    errno = 0;
    long number = strtol(text, &end, 10);
    if (text.IsEmpty() || *end != '\0' || errno == ERANGE || number < INT_MIN || number > INT_MAX) {
        AfxMessageBox("Please enter an integer.", MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
    value = static_cast<int>(number);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessage(hCtrl, BM_GETCHECK, 0, 0));
    else
        ::SendMessage(hCtrl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    // The group runs from nIDC to the next control that starts a group.
    int index = 0;
    for (HWND h = hCtrl; h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (h != hCtrl && (::GetWindowLong(h, GWL_STYLE) & WS_GROUP))
            break;
        if (!(::SendMessage(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
            continue;
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessage(h, BM_GETCHECK, 0, 0) == BST_CHECKED)
                value = index;
        } else {
            ::SendMessage(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}

void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hCtrl = pDX->PrepareCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        LRESULT found = ::SendMessage(hCtrl, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(value.GetString()));
        ::SendMessage(hCtrl, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
        return;
    }
    LRESULT selected = ::SendMessage(hCtrl, LB_GETCURSEL, 0, 0);
    value.Empty();
    if (selected == LB_ERR)
        return;
    LRESULT length = ::SendMessage(hCtrl, LB_GETTEXTLEN, static_cast<WPARAM>(selected), 0);
    if (length == LB_ERR)
        return;
    ::SendMessage(hCtrl, LB_GETTEXT, static_cast<WPARAM>(selected),
                  reinterpret_cast<LPARAM>(value.GetBuffer(static_cast<int>(length))));
    value.ReleaseBuffer(static_cast<int>(length));
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return;
    HWND hCtrl = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(hCtrl))
        pDX->Fail();
}
