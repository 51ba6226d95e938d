// The phrase control wrapper and its engine driver, by dispatch id against
// the stand-in, speech commands on and off, and the control's event reaching
// its parent's event sink map.
#include "SpeechTestSupport.h"
#include "VVPhrases.h"

#include <functional>
#include <memory>

namespace {

const UINT kPhrasesId = 162;
const UINT kSpeechMenu = 176;

// A tray-like parent that takes the phrase control's event.
class CPhraseHost : public CSpeechHost {
public:
    std::vector<std::string> heard;
    BOOL m_bHandle = TRUE;

protected:
    void OnPhraseHeard(LPCTSTR phrase, long command, BSTR* reply, BOOL* handled, LPCTSTR speaker, LPCTSTR context)
    {
        heard.push_back(std::string(phrase) + " " + std::to_string(command) + " " + speaker + "|" + context);
        *handled = m_bHandle;
    }
    DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CPhraseHost, CSpeechHost)
    ON_EVENT(CPhraseHost, kPhrasesId, 1, OnPhraseHeard, VTS_BSTR VTS_I4 VTS_PBSTR VTS_PBOOL VTS_BSTR VTS_BSTR)
END_EVENTSINK_MAP()

class VVPhrasesTest : public SpeechTest {
protected:
    void SetUp() override
    {
        SpeechTest::SetUp();
        // The speech commands menu comes from this program, standing in for the resource library.
        AfxSetResourceHandle(::GetModuleHandle(nullptr));
    }
    BOOL CreatePhrases(CVVPhrases& phrases, CWnd& parent)
    {
        RECT rect = {0, 0, 10, 10};
        return phrases.Create("ignored", nullptr, WS_CHILD, rect, &parent, kPhrasesId);
    }
};

}  // namespace

TEST_F(VVPhrasesTest, EachMemberCallsItsDispatchId)
{
    CVVPhrases phrases;
    ASSERT_TRUE(CreatePhrases(phrases, m_host));
    CVVPhraseDriver engine(phrases.GetEngine());
    ASSERT_NE(nullptr, engine.m_lpDispatch);
    TakeLog();
    struct Row {
        std::function<void()> call;
        const char* logged;
    } rows[] = {
        {[&] { phrases.SetListening(TRUE); }, "phrases put 3 -1"},
        {[&] { phrases.SetListening(FALSE); }, "phrases put 3 0"},
        {[&] { phrases.GetEngine()->Release(); }, "phrases get 5"},
        {[&] { phrases.AddPhrase("open note", 166, "open the note", TRUE); },
         "phrases method 9 open note 166 open the note -1"},
        {[&] { engine.Start(); }, "engine method 1"},
        {[&] { engine.Stop(); }, "engine method 3"},
        {[&] { engine.SetActive(1); }, "engine put 6 1"},
        {[&] { engine.SetActive(0); }, "engine put 6 0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.logged);
        row.call();
        EXPECT_EQ(std::vector<std::string>{row.logged}, TakeLog());
    }
}

TEST_F(VVPhrasesTest, ControlIsAChildOfItsParentWithItsId)
{
    CVVPhrases phrases;
    ASSERT_TRUE(CreatePhrases(phrases, m_host));
    EXPECT_EQ(phrases.m_hWnd, FirstChild());
    EXPECT_EQ(static_cast<int>(kPhrasesId), phrases.GetDlgCtrlID());
    EXPECT_FALSE(phrases.IsWindowVisible());
    CRect rect;
    phrases.GetClientRect(&rect);
    EXPECT_EQ(CRect(0, 0, 10, 10), rect);
}

TEST_F(VVPhrasesTest, TurningOnRegistersTheMenusCommandsThenStartsListening)
{
    std::unique_ptr<CVVPhrases> phrases(CVVPhrases::TurnOn(&m_host, kPhrasesId, kSpeechMenu));
    ASSERT_NE(nullptr, phrases);
    EXPECT_EQ(phrases->m_hWnd, FirstChild());
    EXPECT_EQ(static_cast<int>(kPhrasesId), phrases->GetDlgCtrlID());
    EXPECT_FALSE(phrases->IsWindowVisible());
    const std::vector<std::string> expected = {
        "phrases create",
        "phrases method 9 New note 166 New note -1",
        "phrases method 9 File note 169 File note -1",
        "phrases method 9 Show preferences 50010 Show preferences -1",
        "phrases get 5",
        "engine method 1",
        "engine put 6 1",
        "phrases put 3 -1",
    };
    EXPECT_EQ(expected, TakeLog());
}

TEST_F(VVPhrasesTest, TurningOffDeactivatesStopsAndEndsTheControl)
{
    CVVPhrases* phrases = CVVPhrases::TurnOn(&m_host, kPhrasesId, kSpeechMenu);
    ASSERT_NE(nullptr, phrases);
    TakeLog();
    CVVPhrases::TurnOff(phrases);
    EXPECT_EQ((std::vector<std::string>{"phrases get 5", "engine put 6 0", "engine method 3"}), TakeLog());
    EXPECT_EQ(nullptr, FirstChild());
    CVVPhrases::TurnOff(nullptr);
}

TEST_F(VVPhrasesTest, TurningOnWithoutTheControlGivesNothing)
{
    FailCalls("phrases create");
    EXPECT_EQ(nullptr, CVVPhrases::TurnOn(&m_host, kPhrasesId, kSpeechMenu));
    EXPECT_EQ(nullptr, FirstChild());
    EXPECT_EQ(std::vector<std::string>{"FAILED phrases create"}, TakeLog());
}

// A call failing half way must not leave a listening control behind that
// nobody holds.
TEST_F(VVPhrasesTest, ACallFailingWhileTurningOnEndsTheControlMadeForIt)
{
    const char* failing[] = {"phrases method 9", "phrases get 5", "engine method 1", "engine put 6",
                             "phrases put 3"};
    for (const char* call : failing) {
        SCOPED_TRACE(call);
        FailCalls(call);
        std::string text = DispatchFailure([&] { delete CVVPhrases::TurnOn(&m_host, kPhrasesId, kSpeechMenu); });
        EXPECT_EQ(std::string(call) + " failed", text);
        EXPECT_EQ(nullptr, FirstChild());
    }
}

TEST_F(VVPhrasesTest, ACallFailingWhileTurningOffLeavesTheWrapperToItsHolder)
{
    CVVPhrases* phrases = CVVPhrases::TurnOn(&m_host, kPhrasesId, kSpeechMenu);
    ASSERT_NE(nullptr, phrases);
    FailCalls("engine method 3");
    EXPECT_EQ("engine method 3 failed", DispatchFailure([&] { CVVPhrases::TurnOff(phrases); }));
    EXPECT_EQ(phrases->m_hWnd, FirstChild());
    FailCalls(nullptr);
    CVVPhrases::TurnOff(phrases);
    EXPECT_EQ(nullptr, FirstChild());
}

TEST_F(VVPhrasesTest, HeardPhraseReachesTheParentsEventSink)
{
    CPhraseHost host;
    ASSERT_TRUE(host.Create());
    std::unique_ptr<CVVPhrases> phrases(CVVPhrases::TurnOn(&host, kPhrasesId, kSpeechMenu));
    ASSERT_NE(nullptr, phrases);
    const UINT hear = ::RegisterWindowMessageA(QUI_SPEECH_HEAR_MESSAGE);
    TakeLog();
    struct Row {
        WPARAM phrase;
        BOOL handle;
        LRESULT answer;
        const char* heard;
    } rows[] = {
        {0, TRUE, 1, "New note 166 stand-in|"},
        {1, FALSE, 0, "File note 169 stand-in|"},
        {2, TRUE, 1, "Show preferences 50010 stand-in|"},
        {3, TRUE, -1, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.phrase);
        host.heard.clear();
        host.m_bHandle = row.handle;
        EXPECT_EQ(row.answer, phrases->SendMessage(hear, row.phrase));
        EXPECT_EQ(row.heard ? std::vector<std::string>{row.heard} : std::vector<std::string>{}, host.heard);
    }
    EXPECT_EQ((std::vector<std::string>{"phrases heard New note 166 1", "phrases heard File note 169 0",
                                        "phrases heard Show preferences 50010 1"}),
              TakeLog());
    phrases.reset();
    host.DestroyWindow();
}

TEST_F(VVPhrasesTest, CreationFailsCleanlyWhenTheControlIsNotInstalled)
{
    ASSERT_TRUE(RegisterSpeechServer(false));
    CVVPhrases phrases;
    EXPECT_FALSE(CreatePhrases(phrases, m_host));
    EXPECT_EQ(nullptr, phrases.m_hWnd);
    EXPECT_EQ(nullptr, CVVPhrases::TurnOn(&m_host, kPhrasesId, kSpeechMenu));
    EXPECT_EQ(nullptr, FirstChild());
    ASSERT_TRUE(RegisterSpeechServer(true));
    EXPECT_TRUE(CreatePhrases(phrases, m_host));
}
