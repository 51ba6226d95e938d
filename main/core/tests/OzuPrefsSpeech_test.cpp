// Spoken commands through the phrase control stand-in, hosted as the hidden
// child 162 of the main window: what the preferences call on it, in order,
// that a failing member leaves speech as it was, and that the control goes
// with the preferences. The stand-in's class object is served from this
// process, so no registration in the prefix is needed.
#include "PrefsTestSupport.h"
#include "QuiComTesting.h"
#include "QuiSpeechIds.h"

#include <fstream>
#include <string>
#include <vector>

namespace {

const CLSID kPhraseControl = {0x6B2A3868, 0xE625, 0x11D1, {0xB5, 0x0C, 0x00, 0x06, 0x29, 0xB2, 0xAC, 0x6D}};
const int kPhrasesId = 162;

class SpeechTest : public PrefsFixture {
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
        char folder[MAX_PATH];
        ::GetTempPathA(MAX_PATH, folder);
        m_log = std::string(folder) + "quillmate-prefs-speech.log";
        ::DeleteFileA(m_log.c_str());
        ::SetEnvironmentVariableA(QUI_SPEECH_LOG_VARIABLE, m_log.c_str());
        ::SetEnvironmentVariableA(QUI_SPEECH_FAIL_VARIABLE, nullptr);

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
        ::SetEnvironmentVariableA(QUI_SPEECH_LOG_VARIABLE, nullptr);
        ::SetEnvironmentVariableA(QUI_SPEECH_FAIL_VARIABLE, nullptr);
        ::DeleteFileA(m_log.c_str());
        PrefsFixture::TearDown();
        if (SUCCEEDED(m_ole))
            ::OleUninitialize();
    }

    std::vector<std::string> TakeLog()
    {
        std::vector<std::string> lines;
        std::ifstream in(m_log);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        in.close();
        ::DeleteFileA(m_log.c_str());
        return lines;
    }
    static void FailCalls(const char* calls) { ::SetEnvironmentVariableA(QUI_SPEECH_FAIL_VARIABLE, calls); }
    HWND PhraseControl() const { return ::GetDlgItem(m_main.m_hWnd, kPhrasesId); }

    HRESULT m_ole = ::OleInitialize(nullptr);
    QuiComTesting::ServerLibrary m_server{"QuiSpeech.ocx"};
    DWORD m_cookie = 0;
    std::string m_log;
    CWnd m_main;
};

} // namespace

TEST_F(SpeechTest, ApplyTurnsSpokenCommandsOnAndOff)
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

TEST_F(SpeechTest, NeverMadeWithoutTheSpeechProgramOrTheMainWindow)
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

TEST_F(SpeechTest, AControlThatFailsLeavesSpeechAsItWasAndSaysNothing)
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

TEST_F(SpeechTest, ThePhraseControlGoesWithThePreferences)
{
    m_prefs->SetSpeech(TRUE);
    ASSERT_TRUE(m_prefs->IsSpeechOn());
    HWND hPhrases = PhraseControl();
    ASSERT_NE(nullptr, hPhrases);
    m_prefs.reset();
    EXPECT_FALSE(::IsWindow(hPhrases));
}
