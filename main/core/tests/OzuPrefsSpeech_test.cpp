// Spoken commands through the phrase control stand-in, hosted as the hidden
// child 162 of the main window: what the preferences call on it, in order,
// that a failing member leaves speech as it was, and that the control goes
// with the preferences. The stand-in's class object is served from this
// process, so no registration in the prefix is needed.
#include "PrefsTestSupport.h"
#include "QuiComTesting.h"
#include "SpeechTestSupport.h"

#include <string>
#include <vector>

namespace {

const CLSID kPhraseControl = {0x6B2A3868, 0xE625, 0x11D1, {0xB5, 0x0C, 0x00, 0x06, 0x29, 0xB2, 0xAC, 0x6D}};
const int kPhrasesId = 162;

class PrefsSpeechTest : public PrefsFixture {
protected:
    void SetUp() override
    {
        PrefsFixture::SetUp();
        ASSERT_TRUE(SUCCEEDED(m_ole));
        AfxEnableControlContainer();
        ASSERT_TRUE(m_server.Loaded());
        QuiComTesting::Ptr<IClassFactory> factory;
        ASSERT_HRESULT_SUCCEEDED(m_server.GetClassObject(kPhraseControl, IID_IClassFactory, factory.OutVoid()));
        ASSERT_HRESULT_SUCCEEDED(CoRegisterClassObject(kPhraseControl, factory.Get(), CLSCTX_INPROC_SERVER,
                                                       REGCLS_MULTIPLEUSE, &m_cookie));
        ASSERT_TRUE(m_main.CreateEx(0, nullptr, "main", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
        m_app.m_pMainWnd = &m_main;
        SetNumber("", "ViaVoiceInstalled", 1);
        SetNumber("Preferences", "EnableHotKeys", 0);
        ReloadSettings();
    }

    void TearDown() override
    {
        m_prefs.reset();
        m_app.m_pMainWnd = nullptr;
        m_main.DestroyWindow();
        if (m_cookie)
            CoRevokeClassObject(m_cookie);
        PrefsFixture::TearDown();
        if (SUCCEEDED(m_ole))
            ::OleUninitialize();
    }

    std::vector<std::string> TakeLog() { return m_log.Take(); }
    static void FailCalls(const char* calls) { SpeechLog::FailCalls(calls); }
    HWND PhraseControl() const { return ::GetDlgItem(m_main.m_hWnd, kPhrasesId); }

    HRESULT m_ole = ::OleInitialize(nullptr);
    QuiComTesting::ServerLibrary m_server{"QuiSpeech.ocx"};
    DWORD m_cookie = 0;
    SpeechLog m_log{"quillmate-prefs-speech.log"};
    CWnd m_main;
};

} // namespace

TEST_F(PrefsSpeechTest, ApplyTurnsSpokenCommandsOnAndOff)
{
    m_prefs->m_dwVoiceRecognition = 1;
    m_prefs->Apply();
    EXPECT_TRUE(m_prefs->IsSpeechOn());
    const std::vector<std::string> on = {
        "phrases create",
        "phrases method 9 New note 133 New note -1",
        "phrases method 9 New note from selection 32794 New note from selection -1",
        "phrases method 9 Exit Quillmate 57665 Exit Quillmate -1",
        "phrases get 5",
        "engine method 1",
        "engine put 6 1",
        "phrases put 3 -1",
    };
    EXPECT_EQ(on, TakeLog());
    HWND hPhrases = PhraseControl();
    ASSERT_NE(nullptr, hPhrases);
    EXPECT_FALSE(::IsWindowVisible(hPhrases));
    CRect rect;
    ::GetClientRect(hPhrases, &rect);
    EXPECT_EQ(CRect(0, 0, 10, 10), rect);

    m_prefs->Apply();  // already on: nothing again
    EXPECT_TRUE(TakeLog().empty());

    m_prefs->m_dwVoiceRecognition = 0;
    m_prefs->Apply();
    EXPECT_FALSE(m_prefs->IsSpeechOn());
    EXPECT_EQ((std::vector<std::string>{"phrases get 5", "engine put 6 0", "engine method 3"}), TakeLog());
    EXPECT_FALSE(::IsWindow(hPhrases));
}

TEST_F(PrefsSpeechTest, NeverMadeWithoutTheSpeechProgramOrTheMainWindow)
{
    struct Row {
        const char* what;
        DWORD installed;
        bool mainWindow;
    } rows[] = {{"not installed", 0, true}, {"no main window", 1, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SetNumber("", "ViaVoiceInstalled", row.installed);
        ReloadSettings();
        m_app.m_pMainWnd = row.mainWindow ? &m_main : nullptr;
        m_prefs->m_dwVoiceRecognition = 1;
        m_prefs->Apply();
        EXPECT_FALSE(m_prefs->IsSpeechOn());
        EXPECT_TRUE(TakeLog().empty());
        EXPECT_EQ(nullptr, PhraseControl());
    }
}

TEST_F(PrefsSpeechTest, AControlThatFailsLeavesSpeechAsItWasAndSaysNothing)
{
    const struct {
        const char* failing;
        bool onFails;  // the failure comes while turning on, else while turning off
    } rows[] = {
        {"phrases create", true}, {"phrases method 9", true}, {"engine method 1", true},
        {"phrases put 3", true},  {"engine method 3", false}, {"engine put 6", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.failing);
        CPromptScript prompts;
        m_prefs = std::make_unique<COzuPrefs>(*m_settings);
        m_prefs->Load();
        if (row.onFails)
            FailCalls(row.failing);
        m_prefs->SetSpeech(TRUE);
        EXPECT_EQ(!row.onFails, !!m_prefs->IsSpeechOn());
        EXPECT_EQ(row.onFails, PhraseControl() == nullptr);

        FailCalls(row.failing);
        m_prefs->SetSpeech(FALSE);
        EXPECT_EQ(!row.onFails, !!m_prefs->IsSpeechOn());
        EXPECT_EQ(row.onFails, PhraseControl() == nullptr);
        FailCalls(nullptr);
        EXPECT_EQ(0u, prompts.Asked().size());
        TakeLog();
    }
}

TEST_F(PrefsSpeechTest, ThePhraseControlGoesWithThePreferences)
{
    m_prefs->SetSpeech(TRUE);
    ASSERT_TRUE(m_prefs->IsSpeechOn());
    HWND hPhrases = PhraseControl();
    ASSERT_NE(nullptr, hPhrases);
    m_prefs.reset();
    EXPECT_FALSE(::IsWindow(hPhrases));
}
