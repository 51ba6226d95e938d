// The preferences object over a settings table of its own test's registry,
// and the two global hot keys on a real main window.
#include "PrefsTestSupport.h"
#include "QuiResIds.h"

#include <string>

namespace {

const DWORD kCtrlAlt = (MOD_CONTROL | MOD_ALT) << 16;

std::string Text(const CString& text)
{
    return text.GetString();
}

// Each test's own settings, application object, language library and main
// window; a second window stands for another program holding hot keys.
class PrefsTest : public PrefsFixture {
protected:
    void MakeMainWindow()
    {
        ASSERT_TRUE(m_main.CreateEx(0, nullptr, "main", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0)) << GetLastError();
        m_app.m_pMainWnd = &m_main;
    }

    void MakeOtherWindow()
    {
        if (!m_other.GetSafeHwnd()) {
            ASSERT_TRUE(m_other.CreateEx(0, nullptr, "other", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
        }
    }

    // Whether another window can take the combination of a hot-key value;
    // it gives the combination back at once.
    bool IsFree(DWORD value)
    {
        MakeOtherWindow();
        if (!::RegisterHotKey(m_other, 1, HIWORD(value) & 7, LOWORD(value)))
            return false;
        ::UnregisterHotKey(m_other, 1);
        return true;
    }

    void HoldElsewhere(DWORD value, int id)
    {
        MakeOtherWindow();
        ASSERT_TRUE(::RegisterHotKey(m_other, id, HIWORD(value), LOWORD(value)));
    }

    std::string Message(const char* names)
    {
        CString message;
        message.Format(IDS_HOTKEY_TAKEN, names);
        return Text(message);
    }

    CWnd m_main;
    CWnd m_other;
};

//--- Load and save

TEST_F(PrefsTest, FreshRegistryGivesTheDefaults)
{
    EXPECT_EQ(0, m_prefs->Load());
    const struct {
        const char* field;
        DWORD actual, expected;
    } rows[] = {
        {"hot keys enabled", m_prefs->m_bHotKeysEnabled, 1},
        {"return key action", m_prefs->m_dwReturnKeyAction, 1},
        {"new-note hot key", m_prefs->m_dwNewHotKey, 0x3004E},
        {"grab hot key", m_prefs->m_dwGrabHotKey, 0x30047},
        {"save then new", m_prefs->m_dwSaveThenNew, 0},
        {"browser", m_prefs->m_dwBrowser, 0},
        {"update frequency", static_cast<DWORD>(m_prefs->m_nUpdateFreq), 3},
        {"voice recognition", m_prefs->m_dwVoiceRecognition, 0},
        {"speech installed", m_prefs->m_bSpeechInstalled, 0},
        {"show prompt text", m_prefs->m_dwShowPromptText, 1},
        {"connector wait", m_prefs->m_dwConnectorWaitTimeout, 15},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.expected, row.actual) << row.field;
    const CString texts[] = {m_prefs->GetFirstName(), m_prefs->GetLastName(), m_prefs->GetEmail(),
                             m_prefs->GetAddress(),   m_prefs->GetCity(),     m_prefs->GetState(),
                             m_prefs->GetCountry(),   m_prefs->GetPostalCode()};
    for (const CString& text : texts)
        EXPECT_EQ("", Text(text));
    EXPECT_FALSE(m_prefs->IsSpeechOn());
}

TEST_F(PrefsTest, HotKeyIdsAreTheNamedAtomsAndStayTheSame)
{
    m_prefs->Load();
    EXPECT_EQ(::GlobalFindAtomA("Ozu_NewHKAtom"), m_prefs->m_atomNewHotKey);
    EXPECT_EQ(::GlobalFindAtomA("Ozu_GrabHKAtom"), m_prefs->m_atomGrabHotKey);
    EXPECT_NE(0, m_prefs->m_atomNewHotKey);
    EXPECT_NE(m_prefs->m_atomNewHotKey, m_prefs->m_atomGrabHotKey);
    COzuPrefs second(*m_settings);
    second.Load();
    EXPECT_EQ(m_prefs->m_atomNewHotKey, second.m_atomNewHotKey);
    EXPECT_EQ(m_prefs->m_atomGrabHotKey, second.m_atomGrabHotKey);
}

TEST_F(PrefsTest, LoadTakesTheSettingsInMemoryNotTheRegistry)
{
    SetNumber("Preferences", "Browser", 3);
    m_prefs->Load();
    EXPECT_EQ(0u, m_prefs->m_dwBrowser);
    ReloadSettings();
    EXPECT_EQ(3u, m_prefs->m_dwBrowser);
}

TEST_F(PrefsTest, SpeechCountsAsInstalledOnlyForOne)
{
    const struct {
        DWORD stored;
        bool installed;
    } rows[] = {{0, false}, {1, true}, {2, false}, {0xFFFFFFFF, false}};
    for (const auto& row : rows) {
        SetNumber("", "ViaVoiceInstalled", row.stored);
        ReloadSettings();
        EXPECT_EQ(row.installed, m_prefs->m_bSpeechInstalled) << row.stored;
    }
}

TEST_F(PrefsTest, SaveWritesEveryPreferenceAndLoadGivesItBack)
{
    m_prefs->Load();
    m_prefs->m_bHotKeysEnabled = 0;
    m_prefs->m_dwReturnKeyAction = 0;
    m_prefs->m_dwNewHotKey = kCtrlAlt | VK_F7;
    m_prefs->m_dwGrabHotKey = 0;
    m_prefs->m_dwSaveThenNew = 1;
    m_prefs->m_dwBrowser = 2;
    m_prefs->m_nUpdateFreq = -7;
    m_prefs->m_dwVoiceRecognition = 1;
    m_prefs->m_bSpeechInstalled = true;
    m_prefs->m_dwShowPromptText = 0;
    m_prefs->m_dwConnectorWaitTimeout = 40;
    m_prefs->SetFirstName("Ada");
    m_prefs->SetLastName("Byron");
    m_prefs->SetEmail("ada@example.org");
    m_prefs->SetAddress("12 St. James's Square");
    m_prefs->SetCity("London");
    m_prefs->SetState("Ontario");
    m_prefs->SetCountry("England");
    m_prefs->SetPostalCode("SW1Y 4JH");
    EXPECT_TRUE(m_prefs->Save());

    // Written at once, before the settings are written back at their end.
    const struct {
        const char* subKey;
        const char* name;
        DWORD value;
    } numbers[] = {
        {"Preferences", "EnableHotKeys", 0},     {"Preferences", "ReturnKeyAction", 0},
        {"Preferences", "NewHotKey", kCtrlAlt | VK_F7}, {"Preferences", "GrabHotKey", 0},
        {"Preferences", "SaveThenNew", 1},       {"Preferences", "Browser", 2},
        {"", "PintailFreq", static_cast<DWORD>(-7)}, {"Preferences", "VoiceRecognition", 1},
        {"Preferences", "ShowPromptText", 0},    {"Preferences", "ConnectorWaitTimeout", 40},
    };
    for (const auto& row : numbers) {
        DWORD value = 0xDEAD, size = sizeof value;
        EXPECT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_CURRENT_USER, (kClientKey + row.subKey).c_str(),
                                              row.name, RRF_RT_REG_DWORD, nullptr, &value, &size))
            << row.name;
        EXPECT_EQ(row.value, value) << row.name;
    }
    const struct {
        const char* name;
        const char* text;
    } texts[] = {{"Firstname", "Ada"}, {"Lastname", "Byron"},  {"Email", "ada@example.org"},
                 {"Address", "12 St. James's Square"}, {"City", "London"}, {"State", "Ontario"},
                 {"Country", "England"}, {"PostalCode", "SW1Y 4JH"}};
    for (const auto& row : texts) {
        char value[260] = {};
        DWORD size = sizeof value;
        EXPECT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_CURRENT_USER, "Software\\Quillmate\\Client\\Profile", row.name,
                                              RRF_RT_REG_SZ, nullptr, value, &size))
            << row.name;
        EXPECT_STREQ(row.text, value) << row.name;
    }
    // Whether speech is installed is the installer's to say.
    EXPECT_NE(ERROR_SUCCESS, RegGetValueA(HKEY_CURRENT_USER, "Software\\Quillmate\\Client", "ViaVoiceInstalled",
                                          RRF_RT_ANY, nullptr, nullptr, nullptr));

    ReloadSettings();
    EXPECT_EQ(0u, m_prefs->m_bHotKeysEnabled);
    EXPECT_EQ(0u, m_prefs->m_dwReturnKeyAction);
    EXPECT_EQ(kCtrlAlt | VK_F7, m_prefs->m_dwNewHotKey);
    EXPECT_EQ(0u, m_prefs->m_dwGrabHotKey);
    EXPECT_EQ(1u, m_prefs->m_dwSaveThenNew);
    EXPECT_EQ(2u, m_prefs->m_dwBrowser);
    EXPECT_EQ(-7, m_prefs->m_nUpdateFreq);
    EXPECT_EQ(1u, m_prefs->m_dwVoiceRecognition);
    EXPECT_FALSE(m_prefs->m_bSpeechInstalled);
    EXPECT_EQ(0u, m_prefs->m_dwShowPromptText);
    EXPECT_EQ(40u, m_prefs->m_dwConnectorWaitTimeout);
    EXPECT_EQ("Ada", Text(m_prefs->GetFirstName()));
    EXPECT_EQ("Byron", Text(m_prefs->GetLastName()));
    EXPECT_EQ("ada@example.org", Text(m_prefs->GetEmail()));
    EXPECT_EQ("12 St. James's Square", Text(m_prefs->GetAddress()));
    EXPECT_EQ("London", Text(m_prefs->GetCity()));
    EXPECT_EQ("Ontario", Text(m_prefs->GetState()));
    EXPECT_EQ("England", Text(m_prefs->GetCountry()));
    EXPECT_EQ("SW1Y 4JH", Text(m_prefs->GetPostalCode()));
}

//--- Key names

TEST_F(PrefsTest, HotKeyNamesFollowTheModifiersThenTheKey)
{
    m_prefs->Load();
    const struct {
        DWORD value;
        const char* name;
    } rows[] = {
        {0x3004E, "Ctrl+Alt+N"},
        {0x30047, "Ctrl+Alt+G"},
        {(MOD_SHIFT << 16) | 'A', "Shift+A"},
        {((MOD_CONTROL | MOD_SHIFT | MOD_ALT) << 16) | VK_F1, "Ctrl+Shift+Alt+F1"},
        {'Q', "Q"},
        {((MOD_CONTROL | QUI_HOTKEY_EXTENDED) << 16) | VK_INSERT, "Ctrl+Insert"},
        {0, ""},
    };
    for (const auto& row : rows) {
        CString text("[");
        m_prefs->GetHotKeyName(row.value, text);
        EXPECT_EQ(std::string("[") + row.name, Text(text)) << std::hex << row.value;
    }
}

TEST_F(PrefsTest, HotKeyNamesAreNothingWhileHotKeysAreDisabled)
{
    SetNumber("Preferences", "EnableHotKeys", 0);
    ReloadSettings();
    CString text("kept");
    m_prefs->GetHotKeyName(0x3004E, text);
    EXPECT_EQ("kept", Text(text));
}

// The names are formatted into the library's text: it must take exactly one
// text and nothing else.
TEST_F(PrefsTest, HotKeyMessageTakesOneTextOnly)
{
    CString format;
    ASSERT_TRUE(format.LoadString(IDS_HOTKEY_TAKEN));
    std::string text = Text(format);
    size_t first = text.find('%');
    ASSERT_NE(std::string::npos, first);
    EXPECT_EQ("%s", text.substr(first, 2));
    EXPECT_EQ(std::string::npos, text.find('%', first + 2));
}

//--- Hot keys on the main window

TEST_F(PrefsTest, ApplyRegistersBothHotKeysWithTheMainWindow)
{
    MakeMainWindow();
    m_prefs->Load();
    CPromptScript prompts;
    m_prefs->Apply();
    EXPECT_FALSE(IsFree(0x3004E));
    EXPECT_FALSE(IsFree(0x30047));
    EXPECT_TRUE(::UnregisterHotKey(m_main, m_prefs->m_atomNewHotKey));
    EXPECT_TRUE(::UnregisterHotKey(m_main, m_prefs->m_atomGrabHotKey));
    EXPECT_EQ(0u, prompts.Asked().size());
}

TEST_F(PrefsTest, RegisteringAgainReplacesAndClearsHotKeys)
{
    MakeMainWindow();
    m_prefs->Load();
    m_prefs->m_dwNewHotKey = kCtrlAlt | VK_F5;
    m_prefs->m_dwGrabHotKey = kCtrlAlt | VK_F6;
    CPromptScript prompts;
    ASSERT_TRUE(m_prefs->RegisterHotKeys(TRUE));

    m_prefs->m_dwNewHotKey = kCtrlAlt | VK_F7;
    m_prefs->m_dwGrabHotKey = 0;
    EXPECT_TRUE(m_prefs->RegisterHotKeys(TRUE));
    EXPECT_TRUE(IsFree(kCtrlAlt | VK_F5));
    EXPECT_TRUE(IsFree(kCtrlAlt | VK_F6));
    EXPECT_FALSE(IsFree(kCtrlAlt | VK_F7));
    EXPECT_EQ(0u, prompts.Asked().size());
    m_prefs->UnregisterHotKeys();
    EXPECT_TRUE(IsFree(kCtrlAlt | VK_F7));
}

TEST_F(PrefsTest, DisabledHotKeysLeaveNothingRegisteredAndReportNothing)
{
    MakeMainWindow();
    m_prefs->Load();
    HoldElsewhere(0x3004E, 7);
    CPromptScript prompts;
    m_prefs->Apply();  // enabled: one clash reported, the grab hot key taken
    ASSERT_EQ(1u, prompts.Asked().size());
    ::UnregisterHotKey(m_other, 7);

    m_prefs->m_bHotKeysEnabled = 0;
    EXPECT_TRUE(m_prefs->RegisterHotKeys(TRUE));
    EXPECT_FALSE(IsFree(0x30047));  // left alone until applied
    m_prefs->Apply();
    EXPECT_TRUE(IsFree(0x3004E));
    EXPECT_TRUE(IsFree(0x30047));
    EXPECT_EQ(1u, prompts.Asked().size());
}

TEST_F(PrefsTest, AHotKeyHeldElsewhereIsNamedAndTheOtherStays)
{
    MakeMainWindow();
    m_prefs->Load();
    HoldElsewhere(0x30047, 7);
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    EXPECT_FALSE(m_prefs->RegisterHotKeys(TRUE));
    ASSERT_EQ(1u, prompts.Asked().size());
    EXPECT_EQ(Message("Ctrl+Alt+G"), Text(prompts.Asked()[0].text));
    EXPECT_EQ(UINT(MB_OK), prompts.Asked()[0].nType);
    EXPECT_FALSE(IsFree(0x3004E));
    EXPECT_EQ(0, prompts.Unexpected());
}

TEST_F(PrefsTest, BothHotKeysHeldElsewhereMakeOneMessageNamingBoth)
{
    MakeMainWindow();
    m_prefs->Load();
    HoldElsewhere(0x3004E, 7);
    HoldElsewhere(0x30047, 8);
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    EXPECT_FALSE(m_prefs->RegisterHotKeys(TRUE));
    ASSERT_EQ(1u, prompts.Asked().size());
    EXPECT_EQ(Message("Ctrl+Alt+N, Ctrl+Alt+G"), Text(prompts.Asked()[0].text));
    // Captioned with message 57702 filled with the program's version, as the
    // splash window shows it (this test program carries none).
    EXPECT_EQ("Version unknown", Text(prompts.Asked()[0].caption));
    EXPECT_EQ(0, prompts.Unexpected());
}

TEST_F(PrefsTest, OneCombinationForBothIsToldAsSuchOverTheGivenOwner)
{
    MakeMainWindow();
    MakeOtherWindow();
    m_prefs->Load();
    m_prefs->m_dwGrabHotKey = m_prefs->m_dwNewHotKey;
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    EXPECT_FALSE(m_prefs->RegisterHotKeys(TRUE, m_other));
    ASSERT_EQ(1u, prompts.Asked().size());
    CString expected;
    expected.Format(IDS_HOTKEYS_SAME, "Ctrl+Alt+N");
    EXPECT_EQ(Text(expected), Text(prompts.Asked()[0].text)) << "no other program is blamed";
    EXPECT_EQ(m_other.m_hWnd, prompts.Asked()[0].hWndOwner);
    EXPECT_FALSE(IsFree(0x3004E)) << "the new-note hot key holds the combination";
}

TEST_F(PrefsTest, UnreportedClashesOnlyAnswerFalse)
{
    MakeMainWindow();
    m_prefs->Load();
    HoldElsewhere(0x3004E, 7);
    CPromptScript prompts;
    EXPECT_FALSE(m_prefs->RegisterHotKeys(FALSE));
    EXPECT_EQ(0u, prompts.Asked().size());
}

TEST_F(PrefsTest, AnExtendedKeyIsRegisteredWithoutTheWindowsKey)
{
    MakeMainWindow();
    m_prefs->Load();
    m_prefs->m_dwNewHotKey = ((MOD_CONTROL | MOD_ALT | QUI_HOTKEY_EXTENDED) << 16) | VK_INSERT;
    m_prefs->m_dwGrabHotKey = 0;
    EXPECT_TRUE(m_prefs->RegisterHotKeys(TRUE));
    EXPECT_FALSE(IsFree(kCtrlAlt | VK_INSERT));
}

TEST_F(PrefsTest, WithoutAMainWindowNothingIsRegisteredUntilThereIsOne)
{
    m_prefs->Load();
    CPromptScript prompts;
    m_prefs->Apply();
    EXPECT_FALSE(m_prefs->RegisterHotKeys(TRUE));
    EXPECT_TRUE(IsFree(0x3004E));
    EXPECT_TRUE(IsFree(0x30047));

    MakeMainWindow();
    m_prefs->Apply();
    EXPECT_FALSE(IsFree(0x3004E));
    EXPECT_FALSE(IsFree(0x30047));
    EXPECT_EQ(0u, prompts.Asked().size());
}

//--- Speech

TEST_F(PrefsTest, SpeechStaysOffWithoutTheSpeechProgram)
{
    MakeMainWindow();
    const struct {
        DWORD installed, voice;
    } rows[] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    for (const auto& row : rows) {
        SetNumber("", "ViaVoiceInstalled", row.installed);
        SetNumber("Preferences", "VoiceRecognition", row.voice);
        ReloadSettings();
        CPromptScript prompts;
        m_prefs->Apply();
        EXPECT_FALSE(m_prefs->IsSpeechOn()) << row.installed << "," << row.voice;
        m_prefs->SetSpeech(TRUE);
        EXPECT_FALSE(m_prefs->IsSpeechOn());
        EXPECT_EQ(0u, prompts.Asked().size());
        m_prefs->UnregisterHotKeys();
    }
}

} // namespace
