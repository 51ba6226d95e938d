// The note box with speech input on, against the speech rich edit stand-in:
// how the control is set up, the fall back to the plain rich edit when it is
// missing or fails, the reports to the owner, text and selection, and the
// marking of keyphrases through the control's members.
#include "NoteBoxTestSupport.h"
#include "SpeechTestSupport.h"
#include "VVRichEdit.h"

#include <algorithm>
#include <string>

namespace {

const std::string kRedText = std::to_string(RGB(200, 0, 0));

class NoteBoxSpeechTest : public SpeechTest, public NoteBoxFixture {
protected:
    void SetUp() override
    {
        SpeechTest::SetUp();
        m_app.prefs->m_bSpeechInstalled = true;
        m_app.prefs->m_dwVoiceRecognition = 1;
    }
    void TearDown() override
    {
        EndBox();
        SpeechTest::TearDown();
    }

    HWND Control() const { return ::GetDlgItem(m_box->m_hWnd, CNoteBox::kSpeechEditId); }
    HWND Plain() const { return ::GetDlgItem(m_box->m_hWnd, CNoteBox::kPlainEditId); }

    void MakeMarkFormat()
    {
        CHARFORMAT2A red = {};
        red.cbSize = sizeof red;
        red.dwMask = CFM_COLOR | CFM_BOLD | CFM_UNDERLINE | CFM_ITALIC;
        red.dwEffects = CFE_BOLD | CFE_UNDERLINE;
        red.crTextColor = RGB(200, 0, 0);
        m_box->SetMarkFormat(&red);
    }
    // 'x' for each character the inner edit shows bold and underlined.
    std::string Marks() const
    {
        std::string marks;
        LONG length = ::GetWindowTextLength(Edit());
        for (LONG at = 0; at < length; ++at) {
            CHARFORMAT2A format = FormatOf(at, at + 1);
            bool marked = (format.dwEffects & CFE_BOLD) && (format.dwEffects & CFE_UNDERLINE);
            marks += marked ? 'x' : '.';
        }
        return marks;
    }
};

} // namespace

TEST_F(NoteBoxSpeechTest, SpeechOnTakesTheSpeechRichEditSetUpForTheBox)
{
    ASSERT_TRUE(MakeBox());
    EXPECT_TRUE(m_box->IsSpeechOn());
    const std::vector<std::string> setUp = {
        "richedit create",       "richedit put -501 16777215", "richedit put -504 0",
        "richedit put -520 0",   "richedit put 137 -1",
    };
    EXPECT_EQ(setUp, TakeLog());
    HWND hControl = Control();
    ASSERT_NE(nullptr, hControl);
    EXPECT_TRUE(::IsWindowVisible(hControl));
    EXPECT_EQ(nullptr, Plain());
    EXPECT_EQ(::GetWindow(hControl, GW_CHILD), Edit());
    EXPECT_NE(nullptr, ::GetPropA(Edit(), CVVRichEditEx::kWndProcProperty));
    EXPECT_EQ(0x40005, ::SendMessage(Edit(), EM_GETEVENTMASK, 0, 0));

    m_box->MoveWindow(0, 0, 240, 90);
    CRect control;
    ::GetWindowRect(hControl, &control);
    m_box->ScreenToClient(&control);
    EXPECT_EQ(CRect(0, 0, 240, 74), control);
}

TEST_F(NoteBoxSpeechTest, TheBoxFallsBackToThePlainRichEditAndBehavesTheSame)
{
    struct Row {
        const char* what;
        bool installed;
        DWORD voice;
        bool unregister;
        const char* failing;
        bool tried;
    } rows[] = {
        {"speech input off", true, 0, false, nullptr, false},
        {"speech program not installed", false, 1, false, nullptr, false},
        {"control not registered", true, 1, true, nullptr, false},
        {"control will not start", true, 1, false, "richedit create", true},
        {"back colour fails", true, 1, false, "richedit put -501", true},
        {"dictation fails", true, 1, false, "richedit put 137", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        m_app.prefs->m_bSpeechInstalled = row.installed;
        m_app.prefs->m_dwVoiceRecognition = row.voice;
        if (row.unregister) {
            ASSERT_TRUE(RegisterSpeechServer(false));
        }
        FailCalls(row.failing);
        TakeLog();
        ASSERT_TRUE(MakeBox());
        std::vector<std::string> log = TakeLog();
        EXPECT_EQ(row.tried, std::find(log.begin(), log.end(), "FAILED richedit create") != log.end() ||
                                 std::find(log.begin(), log.end(), "richedit create") != log.end());
        EXPECT_FALSE(m_box->IsSpeechOn());
        EXPECT_EQ(nullptr, Control());
        ASSERT_NE(nullptr, Plain());
        EXPECT_EQ(Plain(), Edit());

        Type("call Bob");
        EXPECT_STREQ("call Bob", Text());
        EXPECT_LE(1u, Changes());
        m_box->SetSel(5, 8);
        EXPECT_EQ(5, Selection().cpMin);
        EXPECT_EQ(8, Selection().cpMax);

        EndBox();
        FailCalls(nullptr);
        if (row.unregister) {
            ASSERT_TRUE(RegisterSpeechServer(true));
        }
    }
}

TEST_F(NoteBoxSpeechTest, DictatedAndTypedChangesReachTheOwnerAsTheBoxsOwn)
{
    ASSERT_TRUE(MakeBox());
    const LPARAM fromBox = reinterpret_cast<LPARAM>(m_box->m_hWnd);
    Type("call Bob");
    EXPECT_STREQ("call Bob", Text());
    EXPECT_EQ(8u, Changes());
    m_owner.seen.clear();
    ::SendMessageA(Edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("dictated"));
    EXPECT_EQ(1u, Changes());
    for (const OwnerSeen& seen : m_owner.seen) {
        EXPECT_EQ(kNoteBoxId, LOWORD(seen.wParam)) << seen;
        EXPECT_EQ(fromBox, seen.lParam) << seen;
    }

    m_box->SetFocus();
    PumpPending();
    EXPECT_EQ(Edit(), ::GetFocus());
    EXPECT_EQ(1u, m_owner.Count(WM_COMMAND, MAKEWPARAM(kNoteBoxId, EN_SETFOCUS)));
}

TEST_F(NoteBoxSpeechTest, TextAndSelectionGoThroughTheControl)
{
    ASSERT_TRUE(MakeBox());
    TakeLog();
    m_box->SetText("call Bob friday");
    EXPECT_STREQ("call Bob friday", Text());
    EXPECT_EQ((std::vector<std::string>{"richedit put -517 call Bob friday", "richedit get -517"}), TakeLog());
    struct Row {
        int start, end;
        CHARRANGE expected;
    } rows[] = {{5, 8, {5, 8}}, {0, 0, {0, 0}}, {9, -1, {9, 15}}, {15, 15, {15, 15}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.start);
        m_box->SetSel(row.start, row.end);
        EXPECT_EQ(row.expected.cpMin, Selection().cpMin);
        EXPECT_EQ(row.expected.cpMax, Selection().cpMax);
    }
}

TEST_F(NoteBoxSpeechTest, MarkingGoesThroughTheControlsSelectionMembers)
{
    ASSERT_TRUE(MakeBox());
    m_box->SetText("call Bob friday");
    MakeMarkFormat();
    struct Row {
        int start, end;
        BOOL on;
        const char* marks;
        std::vector<std::string> calls;
    } rows[] = {
        {5, 7, TRUE, ".....xxx.......",
         {"richedit put 133 -1", "richedit get 120", "richedit get 116", "richedit put 120 5", "richedit put 116 3",
          "richedit put 108 -1", "richedit put 124 -1", "richedit put 110 " + kRedText, "richedit put 120 15",
          "richedit put 116 0", "richedit put 133 0"}},
        {6, 6, FALSE, ".....x.x.......",
         {"richedit put 133 -1", "richedit get 120", "richedit get 116", "richedit put 120 6", "richedit put 116 1",
          "richedit put 108 0", "richedit put 115 0", "richedit put 124 0",
          "richedit put 110 " + std::to_string(::GetSysColor(COLOR_WINDOWTEXT)), "richedit put 120 15",
          "richedit put 116 0", "richedit put 133 0"}},
        {9, -1, TRUE, ".....x.x.xxxxxx",
         {"richedit put 133 -1", "richedit get 120", "richedit get 116", "richedit get -517", "richedit put 120 9",
          "richedit put 116 6", "richedit put 108 -1", "richedit put 124 -1", "richedit put 110 " + kRedText,
          "richedit put 120 15", "richedit put 116 0", "richedit put 133 0"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.marks);
        m_box->SetSel(15, 15);
        TakeLog();
        m_box->MarkRange(row.start, row.end, row.on);
        EXPECT_EQ(row.calls, TakeLog());
        EXPECT_EQ(row.marks, Marks());
        EXPECT_EQ(15, Selection().cpMin);
        EXPECT_EQ(15, Selection().cpMax);
    }
}

TEST_F(NoteBoxSpeechTest, AMarkTheControlFailsStillLetsItDrawAgain)
{
    ASSERT_TRUE(MakeBox());
    m_box->SetText("call Bob friday");
    MakeMarkFormat();
    struct Row {
        const char* failing;
    } rows[] = {{"richedit put 108"}, {"richedit put 110"}, {"richedit get 116"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.failing);
        FailCalls(row.failing);
        TakeLog();
        EXPECT_EQ(std::string(row.failing) + " failed", DispatchFailure([&] { m_box->MarkRange(5, 7, TRUE); }));
        std::vector<std::string> log = TakeLog();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ("richedit put 133 0", log.back());
        FailCalls(nullptr);
    }
}

TEST_F(NoteBoxSpeechTest, DestroyingTheBoxEndsTheControlFirst)
{
    ASSERT_TRUE(MakeBox());
    HWND hControl = Control();
    HWND hInner = Edit();
    ASSERT_NE(nullptr, hInner);
    EXPECT_TRUE(m_box->DestroyWindow());
    EXPECT_FALSE(::IsWindow(hControl));
    EXPECT_FALSE(::IsWindow(hInner));
    EXPECT_EQ(nullptr, m_box->m_hWnd);
    m_box.reset();
}
