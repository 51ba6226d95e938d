// The pages of the preferences sheet: their controls filled from the
// preferences and read back, the hot-key controls beside the program's global
// hot keys, the update and browser choices, and the proxy button.
#include "PrefSheetTestSupport.h"
#include "URLHandler.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const DWORD kCtrlAlt = (MOD_CONTROL | MOD_ALT) << 16;

//--- Hot-key values and the control's form

TEST(HotKeyForm, ModifiersChangePlacesBetweenControlAndStoredValue)
{
    const struct {
        DWORD stored;
        WORD control;
    } rows[] = {
        {0, 0},
        {kCtrlAlt | 'N', MAKEWORD('N', HOTKEYF_CONTROL | HOTKEYF_ALT)},
        {(MOD_SHIFT << 16) | 'A', MAKEWORD('A', HOTKEYF_SHIFT)},
        {(MOD_ALT << 16) | VK_F4, MAKEWORD(VK_F4, HOTKEYF_ALT)},
        {((MOD_SHIFT | QUI_HOTKEY_EXTENDED) << 16) | VK_DELETE, MAKEWORD(VK_DELETE, HOTKEYF_SHIFT | HOTKEYF_EXT)},
        {((MOD_ALT | MOD_CONTROL | MOD_SHIFT) << 16) | 'Z',
         MAKEWORD('Z', HOTKEYF_ALT | HOTKEYF_CONTROL | HOTKEYF_SHIFT)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << row.stored);
        EXPECT_EQ(row.control, QuiHotKeyToControl(row.stored));
        EXPECT_EQ(row.stored, QuiHotKeyFromControl(row.control));
    }
}

TEST(HotKeyForm, TypingKeysNeedCtrlOrAlt)
{
    const struct {
        DWORD value;
        bool needs;
    } rows[] = {
        {0, false},
        {'N', true},
        {'7', true},
        {VK_SPACE, true},
        {VK_RETURN, true},
        {VK_OEM_COMMA, true},
        {VK_NUMPAD3, true},
        {VK_HOME, true},
        {(MOD_SHIFT << 16) | 'N', true},
        {(MOD_CONTROL << 16) | 'N', false},
        {(MOD_ALT << 16) | VK_SPACE, false},
        {VK_F5, false},
        {VK_F24, false},
        {(MOD_SHIFT << 16) | VK_F12, false},
        {VK_PAUSE, false},
        {VK_MEDIA_PLAY_PAUSE, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.needs, QuiHotKeyNeedsModifier(row.value) != FALSE) << std::hex << row.value;
}

//--- The profile page's lists

TEST(ProfileLists, StatesAndCountriesInTheirOrder)
{
    ASSERT_EQ(63, CPropPageProfile::GetStateCount());
    ASSERT_EQ(80, CPropPageProfile::GetCountryCount());
    const struct {
        int index;
        const char* code;
        const char* name;
    } states[] = {{0, "AL", "Alabama"},      {19, "ME", "Maine"},  {47, "DC", "Wash. D.C."},
                  {51, "NT", "North West Territories"}, {62, "YK", "Yukon"}};
    for (const auto& row : states) {
        EXPECT_STREQ(row.code, CPropPageProfile::GetStateCode(row.index));
        EXPECT_STREQ(row.name, CPropPageProfile::GetStateName(row.index));
    }
    const struct {
        int index;
        const char* name;
    } countries[] = {{0, "United States"}, {2, "Anguilla"}, {33, "Hong,Kong"}, {59, "PuertoRico"},
                     {74, "Trinidad & Tobago"}, {79, "Zimbabwe"}};
    for (const auto& row : countries)
        EXPECT_STREQ(row.name, CPropPageProfile::GetCountryName(row.index));
}

class PageTest : public SheetFixture {};

//--- Basic page

TEST_F(PageTest, BasicControlsShowThePreferences)
{
    const struct {
        DWORD enabled, returnKey, saveThenNew, prompt, newKey;
        int radioOn, checkedReturn, radioSaveOn, checkedPrompt;
    } rows[] = {
        {1, 1, 0, 1, kCtrlAlt | 'N', IDC_PREFS_HOTKEYS_ON, 1, IDC_PREFS_SAVE_NEW_OFF, 1},
        {0, 0, 1, 0, (MOD_SHIFT << 16) | VK_F2, IDC_PREFS_HOTKEYS_OFF, 0, IDC_PREFS_SAVE_NEW_ON, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.enabled);
        Restart({{"Preferences", "EnableHotKeys", row.enabled},
                 {"Preferences", "ReturnKeyAction", row.returnKey},
                 {"Preferences", "SaveThenNew", row.saveThenNew},
                 {"Preferences", "ShowPromptText", row.prompt},
                 {"Preferences", "NewHotKey", row.newKey}});
        COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_BASIC);
        CPropPageBasic& basic = pSheet->m_pageBasic;
        EXPECT_TRUE(Checked(basic, row.radioOn));
        EXPECT_EQ(row.checkedReturn, static_cast<int>(Checked(basic, IDC_PREFS_RETURN_KEY)));
        EXPECT_TRUE(Checked(basic, row.radioSaveOn));
        EXPECT_EQ(row.checkedPrompt, static_cast<int>(Checked(basic, IDC_PREFS_PROMPT_TEXT)));
        EXPECT_EQ(QuiHotKeyToControl(row.newKey),
                  static_cast<WORD>(basic.SendDlgItemMessage(IDC_PREFS_NEW_HOTKEY, HKM_GETHOTKEY)));
        for (int id : {IDC_PREFS_NEW_HOTKEY, IDC_PREFS_NEW_LABEL, IDC_PREFS_GRAB_HOTKEY, IDC_PREFS_GRAB_LABEL})
            EXPECT_EQ(row.enabled == 1, Enabled(basic, id)) << id;
        EXPECT_FALSE(ApplyEnabled()) << "a page just shown is not modified";
        pSheet->DestroyWindow();
    }
}

TEST_F(PageTest, SwitchingHotKeysOffDisablesTheControlsAndLetsTheKeysGo)
{
    m_prefs->Apply();
    ASSERT_FALSE(IsFree(0x3004E));
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_BASIC);
    CPropPageBasic& basic = pSheet->m_pageBasic;
    Click(basic, IDC_PREFS_HOTKEYS_OFF);
    EXPECT_FALSE(Enabled(basic, IDC_PREFS_NEW_HOTKEY));
    EXPECT_FALSE(Enabled(basic, IDC_PREFS_GRAB_LABEL));
    EXPECT_TRUE(ApplyEnabled());
    Press(IDOK);
    EXPECT_EQ(0u, StoredNumber("Preferences", "EnableHotKeys"));
    EXPECT_TRUE(IsFree(0x3004E));
    EXPECT_TRUE(IsFree(0x30047));
}

TEST_F(PageTest, NewHotKeyIsRegisteredAndStoredOnApply)
{
    m_prefs->Apply();
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_BASIC);
    CPropPageBasic& basic = pSheet->m_pageBasic;
    const DWORD typed = kCtrlAlt | 'K';
    basic.m_newHotKey.SetValue(typed);
    Press(ID_APPLY_NOW);
    EXPECT_EQ(typed, StoredNumber("Preferences", "NewHotKey"));
    EXPECT_EQ(typed, m_prefs->m_dwNewHotKey);
    EXPECT_FALSE(IsFree(typed)) << "the main window holds the new combination";
    EXPECT_TRUE(IsFree(0x3004E)) << "and has let the old one go";
}

TEST_F(PageTest, HotKeyHeldByAnotherProgramIsReported)
{
    m_prefs->Apply();
    const DWORD taken = kCtrlAlt | 'Q';
    ASSERT_TRUE(::RegisterHotKey(Other().m_hWnd, 5, HIWORD(taken), LOWORD(taken)));
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_BASIC);
    pSheet->m_pageBasic.m_newHotKey.SetValue(taken);
    Press(IDOK);
    ASSERT_EQ(1u, prompts.Asked().size());
    CString name, message;
    m_prefs->GetHotKeyName(taken, name);
    message.Format(IDS_HOTKEY_TAKEN, name.GetString());
    EXPECT_STREQ(message, prompts.Asked()[0].text);
    EXPECT_EQ(taken, StoredNumber("Preferences", "NewHotKey")) << "the choice is kept all the same";
    EXPECT_FALSE(IsFree(0x30047)) << "the grab hot key stays registered";
    ::UnregisterHotKey(Other().m_hWnd, 5);
}

TEST_F(PageTest, HotKeysThatTakeATypingKeyOrOneCombinationTwiceAreRefused)
{
    const struct {
        const char* what;
        DWORD newKey, grabKey;
        UINT message;    // 0: taken
        DWORD named;
    } rows[] = {
        {"a letter alone", 'N', 0x30047, IDS_HOTKEY_NEEDS_MODIFIER, 'N'},
        {"Shift and a letter", 0x3004E, (MOD_SHIFT << 16) | 'G', IDS_HOTKEY_NEEDS_MODIFIER, (MOD_SHIFT << 16) | 'G'},
        {"Space alone", VK_SPACE, 0x30047, IDS_HOTKEY_NEEDS_MODIFIER, VK_SPACE},
        {"both the same", kCtrlAlt | 'K', kCtrlAlt | 'K', IDS_HOTKEYS_SAME, kCtrlAlt | 'K'},
        {"a function key alone", VK_F9, 0x30047, 0, 0},
        {"Alt and a digit", (MOD_ALT << 16) | '5', 0x30047, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Restart({});
        m_prefs->Apply();
        CPromptScript prompts;
        if (row.message)
            prompts.AnswerNext(IDOK);
        COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_BASIC);
        pSheet->m_pageBasic.m_newHotKey.SetValue(row.newKey);
        pSheet->m_pageBasic.m_grabHotKey.SetValue(row.grabKey);
        Press(IDOK);
        EXPECT_EQ(0, prompts.Unexpected());
        if (!row.message) {
            EXPECT_EQ(nullptr, m_app.m_pPrefSheet);
            EXPECT_EQ(row.newKey, StoredNumber("Preferences", "NewHotKey"));
            EXPECT_FALSE(IsFree(row.newKey));
            continue;
        }
        ASSERT_EQ(1u, prompts.Asked().size());
        CString name, expected;
        QuiGetHotKeyName(row.named, name);
        expected.Format(row.message, name.GetString());
        EXPECT_STREQ(expected, prompts.Asked()[0].text);
        EXPECT_EQ(pSheet->m_hWnd, prompts.Asked()[0].hWndOwner);
        EXPECT_EQ(pSheet, m_app.m_pPrefSheet) << "the sheet stays open on the refused key";
        EXPECT_EQ(0x3004Eu, StoredNumber("Preferences", "NewHotKey")) << "nothing applied";
        EXPECT_EQ(0x3004Eu, m_prefs->m_dwNewHotKey);
        const bool newRefused = row.message == IDS_HOTKEY_NEEDS_MODIFIER && row.named == row.newKey;
        const int refused = newRefused ? IDC_PREFS_NEW_HOTKEY : IDC_PREFS_GRAB_HOTKEY;
        EXPECT_EQ(::GetDlgItem(pSheet->m_pageBasic.m_hWnd, refused), ::GetFocus()) << "the key to mend has the focus";
        pSheet->DestroyWindow();
    }
}

TEST_F(PageTest, ATypingKeyTypedAloneComesOutWithCtrlAndAlt)
{
    const struct {
        UINT modifier;    // 0: none
        UINT key;
        DWORD shown;      // 0: a combination with Ctrl and Alt
    } rows[] = {
        {0, 'N', 0},
        {0, VK_OEM_PERIOD, 0},
        {VK_SHIFT, 'N', 0},
        {0, VK_F5, VK_F5},
        {VK_SHIFT, VK_F5, (MOD_SHIFT << 16) | VK_F5},
        {VK_CONTROL, 'N', (MOD_CONTROL << 16) | 'N'},
    };
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_BASIC);
    CHotKeyCtrlSafe& control = pSheet->m_pageBasic.m_newHotKey;
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << row.modifier << "+" << row.key);
        control.SetFocus();
        if (row.modifier)
            control.SendMessage(WM_KEYDOWN, row.modifier, 1);
        control.SendMessage(WM_KEYDOWN, row.key, (::MapVirtualKeyA(row.key, MAPVK_VK_TO_VSC) << 16) | 1);
        if (row.modifier)
            control.SendMessage(WM_KEYUP, row.modifier, 0xC0000001);
        const DWORD value = control.GetValue();
        EXPECT_EQ(row.key, LOWORD(value));
        if (row.shown)
            EXPECT_EQ(row.shown, value);
        else
            EXPECT_EQ(static_cast<WORD>(MOD_CONTROL | MOD_ALT), HIWORD(value) & (MOD_CONTROL | MOD_ALT));
    }
}

TEST_F(PageTest, HotKeyControlLetsTheGlobalHotKeyGoWhileItHasTheFocus)
{
    m_prefs->Apply();
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_BASIC);
    CPropPageBasic& basic = pSheet->m_pageBasic;
    ASSERT_FALSE(IsFree(0x3004E));
    basic.m_newHotKey.SetFocus();
    ASSERT_EQ(basic.m_newHotKey.m_hWnd, ::GetFocus());
    EXPECT_TRUE(IsFree(0x3004E)) << "the user can type the combination into the control";
    EXPECT_FALSE(IsFree(0x30047));
    basic.GetDlgItem(IDC_PREFS_PROMPT_TEXT)->SetFocus();
    EXPECT_FALSE(IsFree(0x3004E)) << "registered again when the focus leaves";
}

TEST_F(PageTest, HotKeysSwitchedOnButNotAppliedStayUnregistered)
{
    Restart({{"Preferences", "EnableHotKeys", 0}});
    m_prefs->Apply();
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_BASIC);
    CPropPageBasic& basic = pSheet->m_pageBasic;
    Click(basic, IDC_PREFS_HOTKEYS_ON);
    // The focus has to arrive and leave for the control's release and
    // re-registration to have run at all.
    basic.m_newHotKey.SetFocus();
    ASSERT_EQ(basic.m_newHotKey.m_hWnd, ::GetFocus());
    CWnd* prompt = basic.GetDlgItem(IDC_PREFS_PROMPT_TEXT);
    prompt->SetFocus();
    ASSERT_EQ(prompt->m_hWnd, ::GetFocus());
    Press(IDCANCEL);
    EXPECT_TRUE(IsFree(0x3004E)) << "nothing was applied, so no hot key is held";
    EXPECT_EQ(0u, m_prefs->m_bHotKeysEnabled);
}

TEST_F(PageTest, KeyReleasedInAHotKeyControlMarksThePageOnlyWhenTheValueDiffers)
{
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_BASIC);
    CPropPageBasic& basic = pSheet->m_pageBasic;
    basic.m_grabHotKey.SetFocus();
    ::PostMessage(basic.m_grabHotKey.m_hWnd, WM_KEYUP, VK_CONTROL, 0xC0000001);
    PumpPending();
    EXPECT_FALSE(ApplyEnabled()) << "same value as stored";
    basic.m_grabHotKey.SetValue(kCtrlAlt | 'H');
    ::PostMessage(basic.m_grabHotKey.m_hWnd, WM_KEYUP, 'H', 0xC0000001);
    PumpPending();
    EXPECT_TRUE(ApplyEnabled());
}

//--- Typed text that the settings could not hold

TEST_F(PageTest, TypingStopsAtWhatTheSettingsHold)
{
    const struct {
        int page;
        int id;
        size_t kept;
    } rows[] = {
        {QUI_PREFS_PAGE_PROFILE, IDC_PREFS_FIRSTNAME, 259},
        {QUI_PREFS_PAGE_PROFILE, IDC_PREFS_POSTALCODE, 259},
        {QUI_PREFS_PAGE_ADVANCED, IDC_PREFS_UPDATE_FREQ, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        COzuPropSheet* pSheet = Open(row.page);
        CWnd& page = *pSheet->GetActivePage();
        HWND hEdit = ::GetDlgItem(page.m_hWnd, row.id);
        ::SetWindowTextA(hEdit, "");
        for (int i = 0; i < 300; ++i)
            ::SendMessageA(hEdit, WM_CHAR, '1', 1);
        EXPECT_EQ(row.kept, ItemText(page, row.id).size());
        Press(IDOK);
    }
    EXPECT_EQ(std::string(259, '1'), StoredText("Profile", "PostalCode"));
    EXPECT_EQ(11u, StoredNumber("", "PintailFreq"));
}

//--- Advanced page

TEST_F(PageTest, UpdateFrequencyShownFromItsSign)
{
    const struct {
        DWORD stored;
        bool checked;
        const char* shown;
    } rows[] = {{7, true, "7"}, {static_cast<DWORD>(-7), false, "7"}, {0, false, "0"}, {1, true, "1"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shown);
        Restart({{"", "PintailFreq", row.stored}});
        COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_ADVANCED);
        CPropPageAdvanced& advanced = pSheet->m_pageAdvanced;
        EXPECT_EQ(row.checked, Checked(advanced, IDC_PREFS_UPDATE_CHECK));
        EXPECT_EQ(row.shown, ItemText(advanced, IDC_PREFS_UPDATE_FREQ));
        EXPECT_EQ(row.checked, Enabled(advanced, IDC_PREFS_UPDATE_FREQ));
        EXPECT_EQ(row.checked, Enabled(advanced, IDC_PREFS_UPDATE_DAYS));
        EXPECT_TRUE(ApplyEnabled()) << "the page counts as modified at once";
        pSheet->DestroyWindow();
    }
}

TEST_F(PageTest, SwitchedOffUpdateCheckKeepsItsNumberNegated)
{
    Restart({{"", "PintailFreq", 7}});
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_ADVANCED);
    Click(pSheet->m_pageAdvanced, IDC_PREFS_UPDATE_CHECK);
    Press(IDOK);
    EXPECT_EQ(static_cast<DWORD>(-7), StoredNumber("", "PintailFreq"));

    pSheet = Open(QUI_PREFS_PAGE_ADVANCED);
    CPropPageAdvanced& advanced = pSheet->m_pageAdvanced;
    EXPECT_FALSE(Checked(advanced, IDC_PREFS_UPDATE_CHECK));
    Click(advanced, IDC_PREFS_UPDATE_CHECK);
    EXPECT_EQ("7", ItemText(advanced, IDC_PREFS_UPDATE_FREQ));
    EXPECT_TRUE(Enabled(advanced, IDC_PREFS_UPDATE_FREQ));
    Press(IDOK);
    EXPECT_EQ(7u, StoredNumber("", "PintailFreq"));
}

TEST_F(PageTest, EmptyFrequencyGetsThreeWhenTheCheckGoesOn)
{
    const struct {
        bool checkAgain;
        const char* shown;
        DWORD stored;
    } rows[] = {{true, "3", 3}, {false, "", 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shown);
        COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_ADVANCED);
        CPropPageAdvanced& advanced = pSheet->m_pageAdvanced;
        Click(advanced, IDC_PREFS_UPDATE_CHECK);
        advanced.SetDlgItemText(IDC_PREFS_UPDATE_FREQ, "");
        if (row.checkAgain)
            Click(advanced, IDC_PREFS_UPDATE_CHECK);
        EXPECT_EQ(row.shown, ItemText(advanced, IDC_PREFS_UPDATE_FREQ));
        Press(IDOK);
        EXPECT_EQ(row.stored, StoredNumber("", "PintailFreq"));
    }
}

TEST_F(PageTest, FrequencyTypedBeforeSwitchingPagesIsKept)
{
    Restart({{"", "PintailFreq", 5}});
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_ADVANCED);
    CPropPageAdvanced& advanced = pSheet->m_pageAdvanced;
    advanced.SetDlgItemText(IDC_PREFS_UPDATE_FREQ, "12");
    ASSERT_TRUE(pSheet->SetActivePage(&pSheet->m_pageBasic));
    ASSERT_TRUE(pSheet->SetActivePage(&pSheet->m_pageAdvanced));
    EXPECT_EQ("12", ItemText(advanced, IDC_PREFS_UPDATE_FREQ));
    Press(IDOK);
    EXPECT_EQ(12u, StoredNumber("", "PintailFreq"));
}

TEST_F(PageTest, FrequencyTheUpdaterChangedIsShownWhenThePageShowsAgain)
{
    Restart({{"", "PintailFreq", 5}});
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_ADVANCED);
    CPropPageAdvanced& advanced = pSheet->m_pageAdvanced;
    EXPECT_EQ("5", ItemText(advanced, IDC_PREFS_UPDATE_FREQ));
    ASSERT_TRUE(pSheet->SetActivePage(&pSheet->m_pageBasic));
    SetNumber("", "PintailFreq", 9);
    ASSERT_TRUE(pSheet->SetActivePage(&pSheet->m_pageAdvanced));
    EXPECT_EQ("9", ItemText(advanced, IDC_PREFS_UPDATE_FREQ));
    Press(IDOK);
    EXPECT_EQ(9u, StoredNumber("", "PintailFreq"));
}

namespace {
int g_connectorRuns = 0;
CWnd* g_connectorParent = nullptr;
BOOL CountConnectorRun(CWnd* pParent)
{
    ++g_connectorRuns;
    g_connectorParent = pParent;
    return FALSE;
}
} // namespace

TEST_F(PageTest, ConnectorsButtonRunsTheInstalledDialog)
{
    g_connectorRuns = 0;
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_ADVANCED);
    EXPECT_FALSE(Enabled(pSheet->m_pageAdvanced, IDC_PREFS_CONNECTORS)) << "nothing to run";
    EXPECT_TRUE(Enabled(pSheet->m_pageAdvanced, IDC_PREFS_ITEM_VIEWER));
    pSheet->DestroyWindow();
    CPropPageAdvanced::SetConnectorDlgRunner(&CountConnectorRun);
    pSheet = Open(QUI_PREFS_PAGE_ADVANCED);
    ASSERT_TRUE(Enabled(pSheet->m_pageAdvanced, IDC_PREFS_CONNECTORS));
    Click(pSheet->m_pageAdvanced, IDC_PREFS_CONNECTORS);
    EXPECT_EQ(1, g_connectorRuns);
    EXPECT_EQ(pSheet, g_connectorParent) << "the dialog is the sheet's";
    CPropPageAdvanced::SetConnectorDlgRunner(nullptr);
    pSheet->DestroyWindow();
}

TEST_F(PageTest, BrowserChoiceFromThePreferences)
{
    const struct {
        DWORD stored;
        int checked;
        DWORD applied;
    } rows[] = {
        {0, IDC_PREFS_EXPLORER, 3},
        {2, IDC_PREFS_NETSCAPE, 2},
        {3, IDC_PREFS_EXPLORER, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored);
        Restart({{"Preferences", "Browser", row.stored}});
        COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_ADVANCED);
        CPropPageAdvanced& advanced = pSheet->m_pageAdvanced;
        EXPECT_TRUE(Checked(advanced, row.checked));
        EXPECT_TRUE(Enabled(advanced, row.checked)) << "the stored browser can always be chosen";
        Press(IDOK);
        EXPECT_EQ(row.applied, StoredNumber("Preferences", "Browser"));
    }
}

// The setting the shared browser object of the web actions is chosen from.
class FixedBrowserSetting : public CBrowserSetting {
public:
    explicit FixedBrowserSetting(DWORD value) : m_value(value) { DefaultBrowser::SetSetting(this); }
    ~FixedBrowserSetting() override { DefaultBrowser::SetSetting(nullptr); }
    DWORD GetBrowser() override { return m_value; }
    void StoreBrowser(DWORD) override {}

private:
    DWORD m_value;
};

TEST_F(PageTest, UnchosenBrowserStartsFromTheOneTheWebActionsUse)
{
    const struct {
        DWORD shared;    // 0: no browser object
        int checked;
        DWORD applied;
    } rows[] = {
        {0, IDC_PREFS_EXPLORER, 3},
        {browserNetscape, IDC_PREFS_NETSCAPE, 2},
        {browserExplorer, IDC_PREFS_EXPLORER, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shared);
        Restart({{"Preferences", "Browser", 0}});
        FixedBrowserSetting setting(row.shared);
        std::unique_ptr<QuiURLHandler> handler(row.shared ? new QuiURLHandler : nullptr);
        ASSERT_EQ(row.shared ? static_cast<int>(row.shared) : -1, DefaultBrowser::GetBrowserType());
        COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_ADVANCED);
        CPropPageAdvanced& advanced = pSheet->m_pageAdvanced;
        EXPECT_TRUE(Checked(advanced, row.checked));
        EXPECT_TRUE(Enabled(advanced, row.checked));
        Press(IDOK);
        EXPECT_EQ(row.applied, StoredNumber("Preferences", "Browser"));
    }
}

TEST_F(PageTest, WaitTimeoutRoundTrip)
{
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_ADVANCED);
    CPropPageAdvanced& advanced = pSheet->m_pageAdvanced;
    EXPECT_EQ("15", ItemText(advanced, IDC_PREFS_WAIT_TIMEOUT));
    advanced.SetDlgItemText(IDC_PREFS_WAIT_TIMEOUT, "40");
    Press(IDOK);
    EXPECT_EQ(40u, StoredNumber("Preferences", "ConnectorWaitTimeout"));
}

//--- The proxy button

// Ends the first dialog box of this thread that shows up, and notes how
// often one did, its owner and whether the owner took input meanwhile. Asked
// to, it first tries to open the proxy dialog again over it.
struct ProxyDialogSeen {
    int count = 0;
    HWND owner = nullptr;
    bool ownerEnabled = false;
    bool openAgain = false;
} g_proxyDialog;

BOOL CALLBACK CancelIfDialog(HWND hWnd, LPARAM)
{
    char name[16] = "";
    ::GetClassNameA(hWnd, name, sizeof name);
    if (std::string(name) != "#32770" || !::IsWindowVisible(hWnd))
        return TRUE;
    ++g_proxyDialog.count;
    g_proxyDialog.owner = ::GetWindow(hWnd, GW_OWNER);
    g_proxyDialog.ownerEnabled = ::IsWindowEnabled(g_proxyDialog.owner) != FALSE;
    if (g_proxyDialog.openAgain) {
        g_proxyDialog.openAgain = false;
        QuiShowProxySettings(g_proxyDialog.owner, "no-such-inet.dll", "Shrike.dll");
    }
    ::PostMessage(hWnd, WM_COMMAND, IDCANCEL, 0);
    return FALSE;
}

void CALLBACK CancelProxyDialog(HWND, UINT, UINT_PTR, DWORD)
{
    ::EnumThreadWindows(::GetCurrentThreadId(), CancelIfDialog, 0);
}

TEST_F(PageTest, ProxySettingsComeFromTheSystemOrTheDownloadLibrary)
{
    const struct {
        const char* systemInet;
        const char* shrike;
        UINT message;    // 0: the download library's dialog
        bool openAgain;
    } rows[] = {
        {"wininet.dll", "Shrike.dll", IDS_PREFS_SYSTEM_PROXY, false},
        {"no-such-inet.dll", "no-such-shrike.dll", IDS_PREFS_NO_PROXY_LIB, false},
        {"no-such-inet.dll", "kernel32.dll", IDS_PREFS_NO_PROXY_LIB, false},
        {"no-such-inet.dll", "Shrike.dll", 0, false},
        {"no-such-inet.dll", "Shrike.dll", 0, true},
    };
    const HWND owner = Other().m_hWnd;
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.systemInet) + " " + row.shrike + (row.openAgain ? " twice" : ""));
        CPromptScript prompts;
        if (row.message)
            prompts.AnswerNext(IDOK);
        g_proxyDialog = ProxyDialogSeen();
        g_proxyDialog.openAgain = row.openAgain;
        UINT_PTR timer = ::SetTimer(nullptr, 0, 10, CancelProxyDialog);
        QuiShowProxySettings(owner, row.systemInet, row.shrike);
        ::KillTimer(nullptr, timer);
        EXPECT_EQ(0, prompts.Unexpected());
        EXPECT_EQ(row.message == 0 ? 1 : 0, g_proxyDialog.count) << "one dialog at a time";
        if (row.message) {
            ASSERT_EQ(1u, prompts.Asked().size());
            CString expected;
            expected.LoadString(row.message);
            EXPECT_STREQ(expected, prompts.Asked()[0].text);
            EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION | MB_TASKMODAL), prompts.Asked()[0].nType);
            EXPECT_EQ(owner, prompts.Asked()[0].hWndOwner);
        } else {
            EXPECT_EQ(owner, g_proxyDialog.owner);
            EXPECT_FALSE(g_proxyDialog.ownerEnabled) << "the owner takes no input under the dialog";
        }
        EXPECT_EQ(nullptr, ::GetModuleHandleA("Shrike.dll")) << "the library is let go after the dialog";
    }
}

TEST_F(PageTest, ProxyButtonShowsTheSystemsSettingsWhereThereAreSome)
{
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    COzuPropSheet* pSheet = Open(QUI_PREFS_PAGE_ADVANCED);
    Click(pSheet->m_pageAdvanced, IDC_PREFS_PROXY);
    ASSERT_EQ(1u, prompts.Asked().size());
    CString expected;
    expected.LoadString(IDS_PREFS_SYSTEM_PROXY);
    EXPECT_STREQ(expected, prompts.Asked()[0].text);
    EXPECT_EQ(pSheet->m_hWnd, prompts.Asked()[0].hWndOwner) << "the message is the sheet's";
}

} // namespace
