// The modeless sheet in which the user edits the preferences, and the one
// way the program opens it.
#pragma once
#include "PrefPages.h"

#include <array>

class COzuPrefs;

// The page numbers the sheet is opened on.
enum { QUI_PREFS_PAGE_BASIC = 0, QUI_PREFS_PAGE_PROFILE = 1, QUI_PREFS_PAGE_ADVANCED = 2 };

class COzuPropSheet : public CPropertySheet {
    DECLARE_DYNAMIC(COzuPropSheet)
public:
    // Held while a message or dialog that the sheet opened is up; it is
    // owned by the sheet (GetOwner), so the sheet takes no input meanwhile.
    // Commands that would close or apply the sheet are refused until the last
    // scope ends, and a sheet whose window is destroyed all the same keeps its
    // object until then: whoever holds a scope touches nothing of the sheet
    // or its pages once IsGone() says so, nor after the scope ends.
    class CModalScope {
    public:
        // pWnd is the sheet or one of its pages; any other window makes an
        // inert scope.
        explicit CModalScope(CWnd* pWnd);
        ~CModalScope();
        CModalScope(const CModalScope&) = delete;
        CModalScope& operator=(const CModalScope&) = delete;

        BOOL IsGone() const { return m_pSheet && m_pSheet->m_bGone; }
        // The sheet's window while it is there, else null.
        CWnd* GetOwner() const { return m_pSheet && !m_pSheet->m_bGone ? m_pSheet : nullptr; }

    private:
        COzuPropSheet* m_pSheet;
    };

    explicit COzuPropSheet(LPCTSTR pszCaption);

    // Adds the pages (the speech page only while the speech program is
    // installed) and makes the sheet on page nPage; the profile page opens on
    // top of every window. FALSE when the sheet cannot be made.
    BOOL Show(int nPage, CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle);
    // The active page's controls into its members, every member into the
    // preferences, which are applied and saved. FALSE, with nothing applied,
    // when the active page refuses what it holds.
    BOOL Apply();

    BOOL OnInitDialog() override;

    CPropPageBasic m_pageBasic;
    CPropPageText m_pageText;
    CPropPageSpeech m_pageSpeech;
    CPropPageProfile m_pageProfile;
    CPropPageAdvanced m_pageAdvanced;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // The sheet owns itself once it is up: it goes with its window, or when
    // the last message or handler running on it ends.
    void PostNcDestroy() override;

private:
    BOOL m_bInitDone = FALSE;
    int m_nModal = 0;       // messages and dialogs of the sheet now up
    int m_nBusy = 0;        // those, and the sheet's messages being handled
    BOOL m_bGone = FALSE;   // the window was destroyed while m_nBusy was above 0

    void Release();

    static COzuPrefs* Prefs();
    // Every page that holds preferences, shown or not; the text page holds none.
    std::array<CPrefPage*, 4> PrefPages();
};

// Activates the open sheet, or makes one on page nPage and records it in the
// application object. FALSE when there are no preferences to show or the
// sheet cannot be made.
BOOL ShowPreferences(int nPage);
