#include "OzuPropSheet.h"

#include "OzuPrefs.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"

IMPLEMENT_DYNAMIC(COzuPropSheet, CPropertySheet)

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
    COzuPrefs* pPrefs = Prefs();
    if (!pPrefs)
        return FALSE;
    CPropertyPage* pActive = GetActivePage();
    if (pActive && !pActive->UpdateData(TRUE))
        return FALSE;
    for (const CPrefPage* pPage : PrefPages())
        pPage->StoreTo(*pPrefs);
    pPrefs->Apply();
    pPrefs->Save();
    for (int i = 0; i < GetPageCount(); ++i) {
        GetPage(i)->OnApply();
        GetPage(i)->SetModified(FALSE);
    }
    return TRUE;
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
    CQuillmateApp* pApp = QuiGetApp();
    if (pApp && pApp->m_pPrefSheet == this)
        pApp->m_pPrefSheet = nullptr;
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
