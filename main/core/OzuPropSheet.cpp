#include "OzuPropSheet.h"

#include "OzuPrefs.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"

IMPLEMENT_DYNAMIC(COzuPropSheet, CPropertySheet)

namespace {

// The sheet's own ways to close or apply, and a program's.
bool IsCloseOrApply(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_COMMAND:
        return LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == ID_APPLY_NOW;
    case WM_SYSCOMMAND:
        return (wParam & 0xFFF0) == SC_CLOSE;
    case WM_CLOSE:
    case PSM_PRESSBUTTON:
        return true;
    default:
        return false;
    }
}

} // namespace

//--- CModalScope

COzuPropSheet::CModalScope::CModalScope(CWnd* pWnd) : m_pSheet(dynamic_cast<COzuPropSheet*>(pWnd))
{
    if (!m_pSheet && pWnd && pWnd->GetSafeHwnd())
        m_pSheet = dynamic_cast<COzuPropSheet*>(CWnd::FromHandlePermanent(::GetParent(pWnd->m_hWnd)));
    if (m_pSheet) {
        ++m_pSheet->m_nModal;
        ++m_pSheet->m_nBusy;
    }
}

COzuPropSheet::CModalScope::~CModalScope()
{
    if (m_pSheet) {
        --m_pSheet->m_nModal;
        m_pSheet->Release();
    }
}

//--- COzuPropSheet

COzuPropSheet::COzuPropSheet(LPCTSTR pszCaption) : CPropertySheet(pszCaption) {}

COzuPrefs* COzuPropSheet::Prefs()
{
    CQuillmateApp* pApp = QuiGetApp();
    return pApp ? pApp->GetPrefs() : nullptr;
}

std::array<CPrefPage*, 4> COzuPropSheet::PrefPages()
{
    return {&m_pageBasic, &m_pageSpeech, &m_pageProfile, &m_pageAdvanced};
}

BOOL COzuPropSheet::Show(int nPage, CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle)
{
    COzuPrefs* pPrefs = Prefs();
    if (!pPrefs)
        return FALSE;
    AddPage(&m_pageBasic);
    AddPage(&m_pageProfile);
    AddPage(&m_pageAdvanced);
    if (pPrefs->m_bSpeechInstalled)
        AddPage(&m_pageSpeech);
    SetActivePage(nPage);
    if (nPage == QUI_PREFS_PAGE_PROFILE)
        dwExStyle |= WS_EX_TOPMOST;
    return Create(pParentWnd, dwStyle, dwExStyle);
}

BOOL COzuPropSheet::OnInitDialog()
{
    if (COzuPrefs* pPrefs = Prefs()) {
        pPrefs->Load();
        for (CPrefPage* pPage : PrefPages())
            pPage->LoadFrom(*pPrefs);
    }
    BOOL bResult = CPropertySheet::OnInitDialog();
    // An open sheet keeps the program running, as an automation client does.
    AfxOleLockApp();
    m_bInitDone = TRUE;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return bResult;
}

BOOL COzuPropSheet::Apply()
{
    CModalScope scope(this);
    // The browser and hot keys a filing or a resend is using are not
    // replaced under it: the sheet stays open for a later try.
    CQuillmateApp* pApp = QuiGetApp();
    if (pApp && pApp->IsWaiting()) {
        AfxMessageBox(IDS_WAIT_FOR_FILING, MB_OK | MB_ICONINFORMATION);
        return FALSE;
    }
    CPropertyPage* pActive = GetActivePage();
    if (!Prefs() || (pActive && !pActive->UpdateData(TRUE)) || scope.IsGone())
        return FALSE;
    COzuPrefs* pPrefs = Prefs();
    for (const CPrefPage* pPage : PrefPages())
        pPage->StoreTo(*pPrefs);
    pPrefs->Apply(m_hWnd);
    // What the user applied is kept even when the sheet went under the
    // message; the preferences themselves may have gone with the program.
    if ((pPrefs = Prefs()) != nullptr)
        pPrefs->Save();
    if (scope.IsGone())
        return FALSE;
    for (int i = 0; i < GetPageCount(); ++i) {
        GetPage(i)->OnApply();
        GetPage(i)->SetModified(FALSE);
    }
    return TRUE;
}

LRESULT COzuPropSheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // What is up over the sheet is answered first. The sheet is disabled
    // under it, so only a program could ask meanwhile.
    if (m_nModal > 0 && IsCloseOrApply(message, wParam))
        return 0;
    ++m_nBusy;
    LRESULT result = CPropertySheet::WindowProc(message, wParam, lParam);
    Release();
    return result;
}

BOOL COzuPropSheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        // A page that refuses what it holds keeps the sheet open on it.
        if (Apply())
            DestroyWindow();
        return TRUE;
    case IDCANCEL:
        DestroyWindow();
        return TRUE;
    case ID_APPLY_NOW:
        Apply();
        return TRUE;
    default:
        return CPropertySheet::OnCommand(wParam, lParam);
    }
}

void COzuPropSheet::PostNcDestroy()
{
    if (m_bInitDone)
        AfxOleUnlockApp();
    m_bInitDone = FALSE;
    CQuillmateApp* pApp = QuiGetApp();
    if (pApp && pApp->m_pPrefSheet == this)
        pApp->m_pPrefSheet = nullptr;
    // A handler or a message of the sheet still runs: the last to end deletes it.
    if (m_nBusy > 0)
        m_bGone = TRUE;
    else
        delete this;
}

void COzuPropSheet::Release()
{
    if (--m_nBusy == 0 && m_bGone)
        delete this;
}

BOOL ShowPreferences(int nPage)
{
    CQuillmateApp* pApp = QuiGetApp();
    if (!pApp || !pApp->GetPrefs())
        return FALSE;
    if (COzuPropSheet* pOpen = pApp->m_pPrefSheet) {
        pOpen->SetForegroundWindow();
        pOpen->SetActiveWindow();
        return TRUE;
    }
    CString caption;
    caption.LoadString(IDS_PREFS_CAPTION);
    COzuPropSheet* pSheet = new COzuPropSheet(caption);
    pApp->m_pPrefSheet = pSheet;
    if (!pSheet->Show(nPage, nullptr, static_cast<DWORD>(-1), 0)) {
        pApp->m_pPrefSheet = nullptr;
        delete pSheet;
        return FALSE;
    }
    return TRUE;
}
