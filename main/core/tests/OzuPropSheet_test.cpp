// The preferences sheet as a whole: one at a time, the page it opens on, the
// pages it offers, and what OK, Apply and Cancel do to the preferences.
#include "PrefSheetTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct SheetSearch {
    CString caption;
    int count;
};

BOOL CALLBACK CountSheet(HWND hWnd, LPARAM lParam)
{
    SheetSearch* pSearch = reinterpret_cast<SheetSearch*>(lParam);
    char text[128] = "";
    ::GetWindowTextA(hWnd, text, sizeof text);
    if (::IsWindowVisible(hWnd) && pSearch->caption == text)
        ++pSearch->count;
    return TRUE;
}

// Visible windows of this thread with the sheet's caption.
int CountSheets()
{
    SheetSearch search = {CString(), 0};
    search.caption.LoadString(IDS_PREFS_CAPTION);
    ::EnumThreadWindows(::GetCurrentThreadId(), CountSheet, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

class SheetTest : public SheetFixture {};

TEST_F(SheetTest, SecondOpeningActivatesTheOpenSheet)
{
    COzuPropSheet* pFirst = Open(QUI_PREFS_PAGE_BASIC);
    ASSERT_NE(nullptr, pFirst);
    EXPECT_TRUE(ShowPreferences(QUI_PREFS_PAGE_ADVANCED));
    EXPECT_EQ(pFirst, m_app.m_pPrefSheet);
    EXPECT_EQ(1, CountSheets());
    EXPECT_EQ(&pFirst->m_pageBasic, pFirst->GetActivePage()) << "the open sheet keeps its page";
    EXPECT_EQ(pFirst->m_hWnd, ::GetActiveWindow());
}

TEST_F(SheetTest, OpensOnTheGivenPageWithItsHelpTopic)
{
    const struct {
        int page;
        const char* name;
        DWORD helpContext;
    } rows[] = {
        {QUI_PREFS_PAGE_BASIC, "Basic", IDH_PREFS_BASIC},
        {QUI_PREFS_PAGE_PROFILE, "Profile", IDH_PREFS_PROFILE},
        {QUI_PREFS_PAGE_ADVANCED, "Advanced", IDH_PREFS_ADVANCED},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        COzuPropSheet* pSheet = Open(row.page);
        ASSERT_NE(nullptr, pSheet);
        CPropertyPage* pages[] = {&pSheet->m_pageBasic, &pSheet->m_pageProfile, &pSheet->m_pageAdvanced};
        EXPECT_EQ(pages[row.page], pSheet->GetActivePage());
        EXPECT_EQ(row.helpContext, ::GetWindowContextHelpId(pSheet->m_hWnd));
        EXPECT_TRUE(::GetWindowLong(pSheet->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
        CString caption;
        pSheet->GetWindowText(caption);
        EXPECT_STREQ("Quillmate Preferences", caption);
        pSheet->DestroyWindow();
    }
}

TEST_F(SheetTest, SpeechPageOnlyWhileTheSpeechProgramIsInstalled)
{
    const struct {
        DWORD installed;
        int pages;
    } rows[] = {{0, 3}, {2, 3}, {1, 4}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.installed);
        Restart({{"", "ViaVoiceInstalled", row.installed}});
        COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_BASIC);
        ASSERT_NE(nullptr, pSheet);
        EXPECT_EQ(row.pages, pSheet->GetPageCount());
        EXPECT_EQ(-1, pSheet->GetPageIndex(&pSheet->m_pageText)) << "the text page is never offered";
        EXPECT_EQ(row.pages == 4 ? 3 : -1, pSheet->GetPageIndex(&pSheet->m_pageSpeech));
        pSheet->DestroyWindow();
    }
}

TEST_F(SheetTest, SpeechPageWritesVoiceRecognitionBack)
{
    Restart({{"", "ViaVoiceInstalled", 1}});
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_BASIC);
    ASSERT_TRUE(pSheet->SetActivePage(&pSheet->m_pageSpeech));
    CPropPageSpeech& speech = pSheet->m_pageSpeech;
    EXPECT_FALSE(Checked(speech, IDC_PREFS_VOICE));
    Click(speech, IDC_PREFS_VOICE);
    EXPECT_TRUE(ApplyEnabled());
    Press(IDOK);
    EXPECT_EQ(1u, StoredNumber("Preferences", "VoiceRecognition"));
    EXPECT_FALSE(m_prefs->IsSpeechOn()) << "the speech control is not there to turn on";
}

TEST_F(SheetTest, RecordOfTheSheetGoesWithItsWindow)
{
    const struct {
        const char* how;
        UINT message;
        WPARAM wParam;
    } rows[] = {
        {"OK", WM_COMMAND, IDOK},
        {"Cancel", WM_COMMAND, IDCANCEL},
        {"close box", WM_SYSCOMMAND, SC_CLOSE},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.how);
        COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_BASIC);
        ASSERT_NE(nullptr, pSheet);
        HWND hSheet = pSheet->m_hWnd;
        ::PostMessage(hSheet, row.message, row.wParam, 0);
        EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(hSheet); }));
        EXPECT_EQ(nullptr, m_app.m_pPrefSheet);
        EXPECT_TRUE(AfxOleCanExitApp()) << "the closed sheet no longer keeps the program";
    }
    COzuPropSheet* pNext = Open(QUI_PREFS_PAGE_BASIC);
    ASSERT_NE(nullptr, pNext);
    EXPECT_FALSE(AfxOleCanExitApp()) << "an open sheet keeps the program";
}

TEST_F(SheetTest, NoPreferencesNoSheet)
{
    m_app.prefs = nullptr;
    EXPECT_FALSE(ShowPreferences(QUI_PREFS_PAGE_BASIC));
    EXPECT_EQ(nullptr, m_app.m_pPrefSheet);
    EXPECT_EQ(0, CountSheets());
    m_app.prefs = &m_prefs;
}

TEST_F(SheetTest, ProfileStateAndCountryStayAsTheUserLeftThem)
{
    const struct {
        const char* what;
        const char *state, *country;    // stored, and shown
        int choose;                      // -1: the lists left alone; else the entry chosen in both
        const char *storedState, *storedCountry;
    } rows[] = {
        {"the first run", "", "", -1, "", ""},
        {"outside the lists", "Bavaria", "Liechtenstein", -1, "Bavaria", "Liechtenstein"},
        {"another case than the list's", "oregon", "CANADA", -1, "oregon", "CANADA"},
        {"in the lists", "Oregon", "Canada", -1, "Oregon", "Canada"},
        {"emptied by the user", "Oregon", "Bavaria", 0, "", ""},
        {"the first name chosen", "", "", 1, "Alabama", "United States"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Restart({}, {{"Profile", "State", row.state}, {"Profile", "Country", row.country}});
        COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_PROFILE);
        ASSERT_NE(nullptr, pSheet);
        CPropPageProfile& profile = pSheet->m_pageProfile;
        EXPECT_EQ(row.state, ItemText(profile, IDC_PREFS_STATE));
        EXPECT_EQ(row.country, ItemText(profile, IDC_PREFS_COUNTRY));
        if (row.choose >= 0) {
            profile.SendDlgItemMessage(IDC_PREFS_STATE, CB_SETCURSEL, static_cast<WPARAM>(row.choose));
            profile.SendDlgItemMessage(IDC_PREFS_COUNTRY, CB_SETCURSEL, static_cast<WPARAM>(row.choose));
        }
        profile.SetDlgItemText(IDC_PREFS_FIRSTNAME, "Ada");
        Press(IDOK);
        EXPECT_EQ(nullptr, m_app.m_pPrefSheet);
        EXPECT_EQ(row.storedState, StoredText("Profile", "State"));
        EXPECT_EQ(row.storedCountry, StoredText("Profile", "Country"));
        EXPECT_EQ("Ada", StoredText("Profile", "Firstname"));
        EXPECT_STREQ(row.storedState, m_prefs->GetState());
    }
}

TEST_F(SheetTest, CancelLeavesThePreferencesAsTheyWere)
{
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_BASIC);
    CPropPageBasic& basic = pSheet->m_pageBasic;
    Click(basic, IDC_PREFS_PROMPT_TEXT);
    Click(basic, IDC_PREFS_SAVE_NEW_ON);
    Press(IDCANCEL);
    EXPECT_EQ(nullptr, m_app.m_pPrefSheet);
    EXPECT_EQ(0xDEADBEEFu, StoredNumber("Preferences", "ShowPromptText")) << "nothing written";
    EXPECT_EQ(1u, m_prefs->m_dwShowPromptText);
    EXPECT_EQ(0u, m_prefs->m_dwSaveThenNew);
}

TEST_F(SheetTest, ChangesAppliedBeforeCancelStay)
{
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_BASIC);
    CPropPageBasic& basic = pSheet->m_pageBasic;
    Click(basic, IDC_PREFS_SAVE_NEW_ON);
    EXPECT_TRUE(ApplyEnabled());
    Press(ID_APPLY_NOW);
    ASSERT_EQ(pSheet, m_app.m_pPrefSheet) << "Apply keeps the sheet open";
    EXPECT_FALSE(ApplyEnabled()) << "every page is unmodified after Apply";
    EXPECT_EQ(1u, StoredNumber("Preferences", "SaveThenNew"));
    Click(basic, IDC_PREFS_RETURN_KEY);
    Press(IDCANCEL);
    EXPECT_EQ(1u, StoredNumber("Preferences", "SaveThenNew"));
    EXPECT_EQ(1u, StoredNumber("Preferences", "ReturnKeyAction")) << "the later change is dropped";
}

TEST_F(SheetTest, ReopenedSheetShowsWhatWasApplied)
{
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_PROFILE);
    CPropPageProfile& profile = pSheet->m_pageProfile;
    profile.SetDlgItemText(IDC_PREFS_CITY, "Springfield");
    ::SendDlgItemMessage(profile.m_hWnd, IDC_PREFS_STATE, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>("Oregon"));
    ::SendDlgItemMessage(profile.m_hWnd, IDC_PREFS_COUNTRY, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>("Hong,Kong"));
    Press(IDOK);
    pSheet = Open(QUI_PREFS_PAGE_PROFILE);
    ASSERT_NE(nullptr, pSheet);
    EXPECT_EQ("Springfield", ItemText(pSheet->m_pageProfile, IDC_PREFS_CITY));
    EXPECT_EQ("Oregon", ItemText(pSheet->m_pageProfile, IDC_PREFS_STATE));
    EXPECT_EQ("Hong,Kong", ItemText(pSheet->m_pageProfile, IDC_PREFS_COUNTRY));
}

// Does to the sheet what a row asks while the first message is up, then
// answers it as scripted.
class ActUnderMessage : public CPromptScript {
public:
    CPromptAnswer Respond(const CPromptRequest& request) override
    {
        if (std::function<void()> act = std::move(action)) {
            action = nullptr;
            act();
        }
        return CPromptScript::Respond(request);
    }
    std::function<void()> action;
};

TEST_F(SheetTest, TheSheetUnderTheHotKeyMessageNeitherClosesNorGoesAwayUnderApply)
{
    const DWORD taken = ((MOD_CONTROL | MOD_ALT) << 16) | 'Q';
    const struct {
        const char* how;
        UINT message;    // 0: the window destroyed by the program
        WPARAM wParam;
    } rows[] = {
        {"Cancel", WM_COMMAND, IDCANCEL},
        {"OK", WM_COMMAND, IDOK},
        {"Apply again", WM_COMMAND, ID_APPLY_NOW},
        {"close box", WM_SYSCOMMAND, SC_CLOSE},
        {"destroyed", 0, 0},
    };
    m_prefs->Apply();
    ASSERT_TRUE(::RegisterHotKey(Other().m_hWnd, 5, HIWORD(taken), LOWORD(taken)));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.how);
        Restart({});
        ActUnderMessage prompts;
        prompts.AnswerNext(IDOK);
        COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_BASIC);
        const HWND hSheet = pSheet->m_hWnd;
        prompts.action = [&] {
            if (row.message)
                ::SendMessage(hSheet, row.message, row.wParam, 0);
            else
                ::DestroyWindow(hSheet);
        };
        pSheet->m_pageBasic.m_newHotKey.SetValue(taken);
        Press(ID_APPLY_NOW);
        ASSERT_EQ(1u, prompts.Asked().size()) << "one message: nothing applied again under it";
        EXPECT_EQ(hSheet, prompts.Asked()[0].hWndOwner) << "the sheet takes no input under its message";
        EXPECT_EQ(0, prompts.Unexpected());
        EXPECT_EQ(taken, StoredNumber("Preferences", "NewHotKey")) << "what was applied is saved";
        if (row.message) {
            EXPECT_EQ(pSheet, m_app.m_pPrefSheet) << "the close waits for the message";
            EXPECT_TRUE(::IsWindow(hSheet));
            EXPECT_FALSE(ApplyEnabled());
            pSheet->DestroyWindow();
        } else {
            EXPECT_EQ(nullptr, m_app.m_pPrefSheet);
            EXPECT_FALSE(::IsWindow(hSheet));
        }
        EXPECT_TRUE(AfxOleCanExitApp());
    }
    ::UnregisterHotKey(Other().m_hWnd, 5);
}

TEST_F(SheetTest, ActivePageThatRefusesItsInputKeepsTheSheetAndAppliesNothing)
{
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    prompts.AnswerNext(IDOK);
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_ADVANCED);
    CPropPageAdvanced& advanced = pSheet->m_pageAdvanced;
    advanced.SetDlgItemText(IDC_PREFS_WAIT_TIMEOUT, "soon");
    Click(advanced, IDC_PREFS_UPDATE_CHECK);
    Press(ID_APPLY_NOW);
    Press(IDOK);
    ASSERT_EQ(2u, prompts.Asked().size());
    EXPECT_STREQ("Please enter an integer.", prompts.Asked()[0].text);
    EXPECT_EQ(0, prompts.Unexpected());
    EXPECT_EQ(pSheet, m_app.m_pPrefSheet) << "OK keeps the sheet while its input is refused";
    EXPECT_EQ(0xDEADBEEFu, StoredNumber("", "PintailFreq"));
    EXPECT_EQ(0xDEADBEEFu, StoredNumber("Preferences", "ConnectorWaitTimeout"));
    EXPECT_EQ(3, m_prefs->m_nUpdateFreq);
}

} // namespace
