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
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // The sheet owns itself once it is up: it goes with its window.
    void PostNcDestroy() override;

private:
    BOOL m_bInitDone = FALSE;

    static COzuPrefs* Prefs();
    // Every page that holds preferences, shown or not; the text page holds none.
    std::array<CPrefPage*, 4> PrefPages();
};

// Activates the open sheet, or makes one on page nPage and records it in the
// application object. FALSE when there are no preferences to show or the
// sheet cannot be made.
BOOL ShowPreferences(int nPage);
