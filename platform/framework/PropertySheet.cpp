#include "quifw/PropertySheet.h"

#include "State.h"
#include "quifw/WinApp.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

namespace {

// The sheet whose template the system is about to use.
thread_local CPropertySheet* t_pSheetInit = nullptr;

} // namespace

//--- CPropertyPage

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : CDialog(nIDTemplate)
{
    ZeroMemory(&m_psp, sizeof(m_psp));
    m_psp.dwSize = sizeof(m_psp);
    if (nIDCaption)
        m_strCaption.LoadString(nIDCaption);
}

void CPropertyPage::SetModified(BOOL bChanged)
{
    if (m_hWnd)
        ::SendMessage(::GetParent(m_hWnd), bChanged ? PSM_CHANGED : PSM_UNCHANGED,
                      reinterpret_cast<WPARAM>(m_hWnd), 0);
}

BOOL CPropertyPage::OnSetActive()
{
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

void CPropertyPage::OnOK()
{
}

void CPropertyPage::OnCancel()
{
}

void CPropertyPage::OnReset()
{
    OnCancel();
}

BOOL CPropertyPage::OnQueryCancel()
{
    return TRUE;
}

BOOL CPropertyPage::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT result = 0;
    switch (reinterpret_cast<NMHDR*>(lParam)->code) {
    case PSN_SETACTIVE:
        result = OnSetActive() ? 0 : -1;
        break;
    case PSN_KILLACTIVE:
        result = !OnKillActive();
        break;
    case PSN_APPLY:
        result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        break;
    case PSN_RESET:
        OnReset();
        break;
    case PSN_QUERYCANCEL:
        result = !OnQueryCancel();
        break;
    default:
        return CDialog::OnNotify(wParam, lParam, pResult);
    }
    *pResult = result;
    // The sheet may read the answer from the page's dialog result too.
    ::SetWindowLongPtr(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

//--- CPropertySheet

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    m_strCaption.LoadString(nIDCaption);
    CommonConstruct(pParentWnd, iSelectPage);
}

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_strCaption(pszCaption)
{
    CommonConstruct(pParentWnd, iSelectPage);
}

void CPropertySheet::CommonConstruct(CWnd* pParentWnd, UINT iSelectPage)
{
    ZeroMemory(&m_psh, sizeof(m_psh));
    m_psh.dwSize = sizeof(m_psh);
    m_pParentWnd = pParentWnd;
    m_nStartPage = iSelectPage;
}

PROPSHEETPAGE CPropertySheet::BuildRecord(CPropertyPage* pPage) const
{
    PROPSHEETPAGE psp = pPage->m_psp;
    psp.dwSize = sizeof(psp);
    psp.dwFlags |= PSP_DLGINDIRECT | PSP_USECALLBACK;
    if (!pPage->m_strCaption.IsEmpty()) {
        psp.dwFlags |= PSP_USETITLE;
        psp.pszTitle = pPage->m_strCaption;
    }
    psp.hInstance = AfxGetResourceHandle();
    psp.pResource = CDialog::LoadTemplate(pPage->m_nIDTemplate);
    psp.pfnDlgProc = CDialog::DlgProc;
    psp.pfnCallback = PageCallback;
    psp.lParam = reinterpret_cast<LPARAM>(pPage);
    return psp;
}

UINT CALLBACK CPropertySheet::PageCallback(HWND, UINT message, LPPROPSHEETPAGE pPage)
{
    // The page's window is made right after this: its object is bound to it.
    if (message == PSPCB_CREATE) {
        CPropertyPage* pObject = reinterpret_cast<CPropertyPage*>(pPage->lParam);
        pObject->m_bFirstSetActive = TRUE;
        AfxHookWindowCreate(pObject);
    }
    return TRUE;
}

int CALLBACK CPropertySheet::SheetCallback(HWND, UINT message, LPARAM lParam)
{
    CPropertySheet* pSheet = t_pSheetInit;
    if (message != PSCB_PRECREATE || !pSheet)
        return 0;
    // The template may be the extended form, whose style fields sit elsewhere.
    BYTE* pTemplate = reinterpret_cast<BYTE*>(lParam);
    BOOL bExtended = reinterpret_cast<WORD*>(pTemplate)[1] == 0xFFFF;
    DWORD* pStyle = reinterpret_cast<DWORD*>(pTemplate + (bExtended ? 12 : 0));
    DWORD* pExStyle = reinterpret_cast<DWORD*>(pTemplate + (bExtended ? 8 : 4));
    if (pSheet->m_dwStyle != static_cast<DWORD>(-1))
        *pStyle = pSheet->m_dwStyle;
    *pExStyle |= pSheet->m_dwExStyle;
    return 0;
}

HWND CPropertySheet::Build(HWND hWndOwner)
{
    if (m_hWnd || m_pages.empty())
        return nullptr;
    m_records.clear();
    for (CPropertyPage* pPage : m_pages) {
        m_records.push_back(BuildRecord(pPage));
        if (!m_records.back().pResource)
            return nullptr;
    }
    PROPSHEETHEADER psh = m_psh;
    psh.dwSize = sizeof(psh);
    psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_USECALLBACK;
    psh.hwndParent = hWndOwner;
    psh.hInstance = AfxGetResourceHandle();
    psh.pszCaption = m_strCaption;
    psh.nPages = static_cast<UINT>(m_records.size());
    psh.nStartPage = m_nStartPage < psh.nPages ? m_nStartPage : 0;
    psh.ppsp = m_records.data();
    psh.pfnCallback = SheetCallback;

    AfxInitControls();
    m_bInitialized = FALSE;
    t_pSheetInit = this;
    AfxHookWindowCreate(this);
    HWND hWnd = reinterpret_cast<HWND>(::PropertySheet(&psh));
    AfxUnhookWindowCreate();
    t_pSheetInit = nullptr;
    if (!hWnd || reinterpret_cast<INT_PTR>(hWnd) == -1 || m_hWnd != hWnd)
        return nullptr;
    if (!IsWindowVisible())
        ShowWindow(SW_SHOW);
    return hWnd;
}

INT_PTR CPropertySheet::DoModal()
{
    HWND hOwner = CDialog::OwnerForModal(m_pParentWnd);
    m_bModal = TRUE;
    if (!Build(hOwner)) {
        m_bModal = FALSE;
        return -1;
    }
    int nResult = RunModal(hOwner);
    m_bModal = FALSE;
    return nResult;
}

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle)
{
    m_dwStyle = dwStyle;
    m_dwExStyle = dwExStyle;
    m_bModal = FALSE;
    HWND hOwner = pParentWnd ? pParentWnd->GetTopLevelParent()->m_hWnd : nullptr;
    return Build(hOwner) != nullptr;
}

void CPropertySheet::EndDialog(int nEndID)
{
    if (m_bModal)
        EndModalLoop(nEndID);
    else
        DestroyWindow();
}

LRESULT CPropertySheet::HandleInitDialog(WPARAM, LPARAM)
{
    BOOL result = OnInitDialog();
    m_bInitialized = TRUE;
    return result;
}

BOOL CPropertySheet::OnInitDialog()
{
    return static_cast<BOOL>(Default());
}

LRESULT CPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND hWnd = m_hWnd;
    LRESULT result = CWnd::WindowProc(message, wParam, lParam);
    // A handler may have destroyed the sheet and with it this object.
    if (CWnd::FromHandlePermanent(hWnd) == this)
        EndIfClosed(message, wParam);
    return result;
}

void CPropertySheet::EndIfClosed(UINT message, WPARAM wParam)
{
    // OK and Cancel leave a modeless sheet without a current page; that is
    // the sign that the system has finished with it.
    BOOL bOK = (message == WM_COMMAND && LOWORD(wParam) == IDOK) ||
               (message == PSM_PRESSBUTTON && wParam == PSBTN_OK);
    BOOL bClosing = bOK || (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) ||
                    (message == PSM_PRESSBUTTON && wParam == PSBTN_CANCEL) || message == WM_CLOSE ||
                    (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE);
    if (!m_bInitialized || !bClosing || PropSheet_GetCurrentPageHwnd(m_hWnd))
        return;
    EndDialog(bOK ? IDOK : IDCANCEL);
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg)
{
    return AfxIsKeyboardMessageFor(m_hWnd, pMsg) &&
           ::SendMessage(m_hWnd, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(pMsg));
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    m_pages.push_back(pPage);
    if (m_hWnd) {
        PROPSHEETPAGE psp = BuildRecord(pPage);
        HPROPSHEETPAGE hPage = ::CreatePropertySheetPage(&psp);
        if (hPage && !PropSheet_AddPage(m_hWnd, hPage))
            ::DestroyPropertySheetPage(hPage);
    }
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    return nPage >= 0 && nPage < GetPageCount() ? m_pages[static_cast<size_t>(nPage)] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* pPage) const
{
    for (int i = 0; i < GetPageCount(); ++i) {
        if (m_pages[static_cast<size_t>(i)] == pPage)
            return i;
    }
    return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    if (!m_hWnd)
        return GetPage(static_cast<int>(m_nStartPage));
    HWND hPage = PropSheet_GetCurrentPageHwnd(m_hWnd);
    for (CPropertyPage* pPage : m_pages) {
        if (hPage && pPage->m_hWnd == hPage)
            return pPage;
    }
    return nullptr;
}

int CPropertySheet::GetActiveIndex() const
{
    return GetPageIndex(GetActivePage());
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return FALSE;
    if (!m_hWnd) {
        m_nStartPage = static_cast<UINT>(nPage);
        return TRUE;
    }
    return PropSheet_SetCurSel(m_hWnd, nullptr, nPage);
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage)
{
    return SetActivePage(GetPageIndex(pPage));
}

BOOL CPropertySheet::PressButton(int nButton)
{
    if (!m_hWnd)
        return FALSE;
    return ::PostMessage(m_hWnd, PSM_PRESSBUTTON, static_cast<WPARAM>(nButton), 0);
}
