// The note box with the plain rich edit: what it is made of, what reaches its
// owner as the user types, pastes and undoes, the scroll arrows, the Return
// key, the grip and the layout.
#include "NoteBoxTestSupport.h"

#include "ControlsTestSupport.h"

#include "QuiResIds.h"

#include <cstring>
#include <functional>
#include <string>

namespace {

class NoteBoxTest : public ::testing::Test, public NoteBoxFixture {
protected:
    void SetUp() override
    {
        m_library = ::LoadLibraryA("QuiRes1033.dll");
        ASSERT_NE(nullptr, m_library);
        AfxSetResourceHandle(m_library);
        ASSERT_TRUE(MakeBox());
    }
    void TearDown() override
    {
        EndBox();
        AfxSetResourceHandle(AfxGetInstanceHandle());
        if (m_library)
            ::FreeLibrary(m_library);
    }

    CRect ChildRect(UINT nID) const
    {
        CRect rect;
        ::GetWindowRect(::GetDlgItem(m_box->m_hWnd, nID), &rect);
        ::MapWindowPoints(nullptr, m_box->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    bool ArrowsShown() const
    {
        bool up = ::IsWindowVisible(::GetDlgItem(m_box->m_hWnd, ID_NOTEBOX_SCROLL_UP)) != FALSE;
        bool down = ::IsWindowVisible(::GetDlgItem(m_box->m_hWnd, ID_NOTEBOX_SCROLL_DOWN)) != FALSE;
        EXPECT_EQ(up, down) << "the arrows come and go together";
        return up && down;
    }
    void PressReturn() const
    {
        ::PostMessage(Edit(), WM_KEYDOWN, VK_RETURN, 0x001C0001);
        PumpPending();
    }
    int FirstVisibleLine() const { return static_cast<int>(::SendMessage(Edit(), EM_GETFIRSTVISIBLELINE, 0, 0)); }

    static void PutOnClipboard(const char* text)
    {
        ASSERT_TRUE(::OpenClipboard(nullptr));
        ::EmptyClipboard();
        size_t size = std::strlen(text) + 1;
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(::GlobalLock(memory), text, size);
        ::GlobalUnlock(memory);
        ::SetClipboardData(CF_TEXT, memory);
        ::CloseClipboard();
    }

    HMODULE m_library = nullptr;
};

std::string Lines(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += (i ? "\r\nline " : "line ") + std::to_string(i);
    return text;
}

} // namespace

TEST_F(NoteBoxTest, IsAHiddenTabStopHoldingThePlainRichEditAndTwoHiddenArrows)
{
    char className[32] = "";
    ::GetClassNameA(m_box->m_hWnd, className, sizeof className);
    EXPECT_STREQ("QUINOTEBOX", className);
    EXPECT_EQ(static_cast<DWORD>(WS_CHILD | WS_TABSTOP), m_box->GetStyle() & (WS_CHILD | WS_TABSTOP | WS_BORDER));
    EXPECT_EQ(static_cast<int>(kNoteBoxId), m_box->GetDlgCtrlID());
    EXPECT_FALSE(m_box->IsSpeechOn());

    HWND hEdit = ::GetDlgItem(m_box->m_hWnd, CNoteBox::kPlainEditId);
    ASSERT_NE(nullptr, hEdit);
    EXPECT_EQ(hEdit, Edit());
    ::GetClassNameA(hEdit, className, sizeof className);
    EXPECT_STREQ("RichEdit20A", className);
    EXPECT_TRUE(::IsWindowVisible(hEdit));
    const DWORD editStyle = ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_SAVESEL;
    EXPECT_EQ(editStyle, static_cast<DWORD>(::GetWindowLong(hEdit, GWL_STYLE)) & editStyle);
    EXPECT_EQ(0x40005, ::SendMessage(hEdit, EM_GETEVENTMASK, 0, 0));
    LOGFONTA font = {};
    ::GetObjectA(::GetStockObject(ANSI_VAR_FONT), sizeof font, &font);
    CHARFORMAT2A format = {};
    format.cbSize = sizeof format;
    ::SendMessage(hEdit, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    EXPECT_STREQ(font.lfFaceName, format.szFaceName);
    EXPECT_EQ(nullptr, ::GetDlgItem(m_box->m_hWnd, CNoteBox::kSpeechEditId));

    for (UINT nID : {ID_NOTEBOX_SCROLL_UP, ID_NOTEBOX_SCROLL_DOWN}) {
        SCOPED_TRACE(nID);
        HWND hArrow = ::GetDlgItem(m_box->m_hWnd, nID);
        ASSERT_NE(nullptr, hArrow);
        ::GetClassNameA(hArrow, className, sizeof className);
        EXPECT_STREQ("QUIFLATBUTTON", className);
        EXPECT_FALSE(::IsWindowVisible(hArrow));
    }
}

TEST_F(NoteBoxTest, EveryChangeReachesTheOwnerAsTheBoxsOwn)
{
    const LPARAM fromBox = reinterpret_cast<LPARAM>(m_box->m_hWnd);
    struct Row {
        const char* what;
        std::function<void()> act;
        const char* text;
    } rows[] = {
        {"typing", [&] { Type("call Bob"); }, "call Bob"},
        {"setting the text", [&] { m_box->SetText("lunch friday"); }, "lunch friday"},
        {"pasting", [&] {
             PutOnClipboard(" at noon");
             m_box->SetSel(-1, -1);
             ::SendMessage(Edit(), WM_PASTE, 0, 0);
         }, "lunch friday at noon"},
        {"undoing the paste", [&] { ::SendMessage(Edit(), EM_UNDO, 0, 0); }, "lunch friday"},
        {"deleting", [&] {
             m_box->SetSel(0, 6);
             ::SendMessage(Edit(), WM_CLEAR, 0, 0);
         }, "friday"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        m_owner.seen.clear();
        row.act();
        EXPECT_STREQ(row.text, Text());
        EXPECT_LE(1u, Changes());
        for (const OwnerSeen& seen : m_owner.seen) {
            EXPECT_EQ(static_cast<UINT>(WM_COMMAND), seen.message);
            EXPECT_EQ(kNoteBoxId, LOWORD(seen.wParam)) << seen;
            EXPECT_EQ(fromBox, seen.lParam) << seen;
        }
    }
}

TEST_F(NoteBoxTest, TypingIsUndoneStepByStepUpToItsLimit)
{
    Type("first");
    ::SendMessage(Edit(), EM_STOPGROUPTYPING, 0, 0);
    Type(" second");
    EXPECT_STREQ("first second", Text());
    ::SendMessage(Edit(), EM_UNDO, 0, 0);
    EXPECT_STREQ("first", Text());
    ::SendMessage(Edit(), EM_UNDO, 0, 0);
    EXPECT_STREQ("", Text());
    ::SendMessage(Edit(), EM_REDO, 0, 0);
    EXPECT_STREQ("first", Text());
    // The box asked for a hundred steps; the limit is the rich edit's answer to it.
    EXPECT_EQ(CNoteBox::kUndoLimit, ::SendMessage(Edit(), EM_SETUNDOLIMIT, CNoteBox::kUndoLimit, 0));
}

TEST_F(NoteBoxTest, FocusGoesToTheRichEditAndIsReported)
{
    const LPARAM fromBox = reinterpret_cast<LPARAM>(m_box->m_hWnd);
    m_box->SetFocus();
    PumpPending();
    EXPECT_EQ(Edit(), ::GetFocus());
    EXPECT_EQ(1u, m_owner.Count(WM_COMMAND, MAKEWPARAM(kNoteBoxId, EN_SETFOCUS)));
    m_owner.SetFocus();
    PumpPending();
    EXPECT_EQ((OwnerSeen{WM_COMMAND, MAKEWPARAM(kNoteBoxId, EN_KILLFOCUS), fromBox}), m_owner.seen.back());
}

TEST_F(NoteBoxTest, TheTextTakesAllButTheArrowStripAndTheGripSitsInTheCorner)
{
    struct Row {
        int cx, cy;
    } rows[] = {{200, 100}, {301, 57}, {40, 20}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.cx);
        m_box->MoveWindow(0, 0, row.cx, row.cy);
        EXPECT_EQ(CRect(0, 0, row.cx, row.cy - 16), ChildRect(CNoteBox::kPlainEditId));
        CRect up = ChildRect(ID_NOTEBOX_SCROLL_UP);
        CRect down = ChildRect(ID_NOTEBOX_SCROLL_DOWN);
        EXPECT_EQ(CPoint(row.cx / 2 + 3, row.cy - 13), up.TopLeft());
        EXPECT_EQ(CPoint(row.cx / 2 - 3 - down.Width(), row.cy - 13), down.TopLeft());
        EXPECT_GT(down.Width(), 0);
        CRect grip = m_box->GetGripRect();
        EXPECT_EQ(CPoint(row.cx, row.cy), grip.BottomRight());
        EXPECT_EQ(CSize(12, 12), grip.Size());
    }
}

TEST_F(NoteBoxTest, ArrowsShowOnlyWhileTheTextDoesNotFitOrIsScrolled)
{
    m_box->MoveWindow(0, 0, 200, 100);
    struct Row {
        const char* what;
        std::function<void()> act;
        bool shown;
    } rows[] = {
        {"one line", [&] { m_box->SetText("call Bob"); }, false},
        {"three lines", [&] { m_box->SetText(Lines(3).c_str()); }, false},
        {"far more lines than fit", [&] { m_box->SetText(Lines(30).c_str()); }, true},
        {"back to one line", [&] { m_box->SetText("call Bob"); }, false},
        {"typing line breaks past the bottom", [&] {
             m_app.prefs->m_dwReturnKeyAction = 0;
             m_box->SetSel(-1, -1);
             for (int i = 0; i < 20; ++i)
                 PressReturn();
         }, true},
        {"emptied", [&] { m_box->SetText(""); }, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        row.act();
        PumpPending();
        EXPECT_EQ(row.shown, ArrowsShown()) << Text().GetLength() << " line " << FirstVisibleLine();
    }
}

TEST_F(NoteBoxTest, OneLineMoreThanFitsBringsTheArrows)
{
    m_box->MoveWindow(0, 0, 200, 100);
    int lines = 1;
    for (; lines < 40; ++lines) {
        m_box->SetText(Lines(lines).c_str());
        PumpPending();
        if (ArrowsShown())
            break;
    }
    ASSERT_LT(lines, 40);
    // The lines before the last still fit: all were in view.
    m_box->SetText(Lines(lines - 1).c_str());
    PumpPending();
    EXPECT_FALSE(ArrowsShown());
    EXPECT_EQ(0, FirstVisibleLine());
}

TEST_F(NoteBoxTest, TheArrowsScrollOneLineEach)
{
    m_box->MoveWindow(0, 0, 200, 100);
    m_box->SetText(Lines(30).c_str());
    m_box->SetSel(0, 0);
    ::SendMessage(Edit(), EM_SCROLLCARET, 0, 0);
    ASSERT_EQ(0, FirstVisibleLine());
    struct Row {
        UINT command;
        int line;
    } rows[] = {
        {ID_NOTEBOX_SCROLL_DOWN, 1}, {ID_NOTEBOX_SCROLL_DOWN, 2}, {ID_NOTEBOX_SCROLL_UP, 1},
        {ID_NOTEBOX_SCROLL_UP, 0}, {ID_NOTEBOX_SCROLL_UP, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.command);
        // As the arrow sends it, its first firing and each repeat alike.
        HWND hArrow = ::GetDlgItem(m_box->m_hWnd, row.command);
        m_box->SendMessage(WM_COMMAND, MAKEWPARAM(row.command, BN_CLICKED), reinterpret_cast<LPARAM>(hArrow));
        EXPECT_EQ(row.line, FirstVisibleLine());
    }
    // A scrolled view keeps the arrows even with the text made to fit.
    ::SendMessage(Edit(), EM_LINESCROLL, 0, 2);
    ::SendMessage(Edit(), EM_SETEVENTMASK, 0, 0);
    m_box->UpdateScrollButtons();
    EXPECT_TRUE(ArrowsShown());
}

TEST_F(NoteBoxTest, HoldingAnArrowScrollsAtOnceThenRepeats)
{
    m_box->MoveWindow(0, 0, 200, 100);
    m_box->SetText(Lines(40).c_str());
    m_box->SetSel(0, 0);
    ::SendMessage(Edit(), EM_SCROLLCARET, 0, 0);
    PumpPending();
    ASSERT_TRUE(ArrowsShown());
    CFlatButton& down = m_box->GetScrollDownButton();
    MessageWatch watch(down);
    DWORD pressed = ::GetTickCount();
    MouseTo(down, CPoint(2, 2));
    MouseButton(true);
    ASSERT_TRUE(watch.PumpUntil([&] { return FirstVisibleLine() >= 1; }, 200));
    ASSERT_TRUE(watch.PumpUntil([&] { return FirstVisibleLine() >= 2; }));
    DWORD second = ::GetTickCount();
    ASSERT_TRUE(watch.PumpUntil([&] { return FirstVisibleLine() >= 4; }));
    DWORD fourth = ::GetTickCount();
    const COLORREF held = Rendering(down).At(0, 0);
    MouseButton(false);
    EXPECT_GE(second - pressed, 250u - 20u);
    EXPECT_GE(fourth - second, 2 * (100u - 20u));
    // Released, the arrow no longer looks pressed: it saw the release and
    // stopped, and the timers that repeated the scrolling are gone.
    ASSERT_TRUE(watch.PumpUntil([&] { return Rendering(down).At(0, 0) != held; }));
    PumpPending();
    const int atRelease = FirstVisibleLine();
    const std::vector<UINT_PTR> repeaters = watch.LesserTimers();
    EXPECT_FALSE(repeaters.empty()) << "the repeating was seen";
    for (UINT_PTR timer : repeaters)
        EXPECT_FALSE(::KillTimer(down.GetSafeHwnd(), timer)) << "timer " << timer << " still runs";
    PumpPending();
    EXPECT_EQ(atRelease, FirstVisibleLine()) << "no scrolling after the release";
}

TEST_F(NoteBoxTest, ReturnFilesTheNoteOnlyWhenThePreferenceSaysSo)
{
    struct Row {
        DWORD action;
        size_t filed;
        const char* text;
    } rows[] = {{1, 1, "call Bob"}, {0, 0, "call Bob\r"}, {2, 1, "call Bob"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.action);
        m_app.prefs->m_dwReturnKeyAction = row.action;
        m_box->SetText("call Bob");
        m_box->SetSel(-1, -1);
        m_owner.seen.clear();
        PressReturn();
        EXPECT_EQ(row.filed, m_owner.Count(WM_COMMAND, kFileNote));
        CString text = Text();
        text.Remove('\n');
        EXPECT_STREQ(row.text, text);
    }
}

TEST_F(NoteBoxTest, PressingTheGripSizesTheOwnerFromItsCorner)
{
    m_box->MoveWindow(0, 0, 200, 100);
    CPoint origin(0, 0);
    m_box->ClientToScreen(&origin);
    struct Row {
        CPoint at;
        bool sizes;
    } rows[] = {{{199, 99}, true}, {{188, 88}, true}, {{187, 99}, false}, {{100, 50}, false}, {{199, 87}, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.at.x * 1000 + row.at.y);
        m_owner.seen.clear();
        m_box->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.at.x, row.at.y));
        std::vector<OwnerSeen> expected;
        if (row.sizes)
            expected.push_back({WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, MAKELPARAM(origin.x + row.at.x, origin.y + row.at.y)});
        EXPECT_EQ(expected, m_owner.seen);
    }
}
