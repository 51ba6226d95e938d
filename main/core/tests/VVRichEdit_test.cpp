// The speech rich edit wrapper by dispatch id against the stand-in, its
// values reaching the real rich edit inside it, its place and end in its
// parent, and the rerouting of its inner edit window's notifications.
#include "SpeechTestSupport.h"
#include "VVRichEdit.h"

#include <richedit.h>

#include <algorithm>
#include <functional>

namespace {

const UINT kEditId = 161;

// Keeps what reaches the control's own window, then lets the control see it.
typedef CRecording<CVVRichEditEx, FALSE> CRecordingRichEdit;

class VVRichEditTest : public SpeechTest {
protected:
    BOOL CreateEdit(CVVRichEdit& edit, DWORD style = WS_CHILD | WS_VISIBLE)
    {
        RECT rect = {0, 0, 100, 100};
        return edit.Create("ignored", nullptr, style, rect, &m_host, kEditId);
    }
};

CHARRANGE Selection(HWND hEdit)
{
    CHARRANGE range = {};
    ::SendMessage(hEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
}

// A procedure put in front of the reroute later, as another party might.
WNDPROC g_pfnBelowTest = nullptr;
bool g_bPropertyGoneAtNcDestroy = false;

LRESULT CALLBACK TestProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = ::CallWindowProcA(g_pfnBelowTest, hWnd, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        g_bPropertyGoneAtNcDestroy = ::GetPropA(hWnd, CVVRichEditEx::kWndProcProperty) == nullptr;
    return result;
}

}  // namespace

TEST_F(VVRichEditTest, EachMemberCallsItsDispatchId)
{
    CVVRichEdit edit;
    ASSERT_TRUE(CreateEdit(edit));
    TakeLog();
    struct Row {
        std::function<void()> call;
        const char* logged;
    } rows[] = {
        {[&] { edit.SetBackColor(0xFFFFFF); }, "richedit put -501 16777215"},
        {[&] { edit.SetBorderStyle(0); }, "richedit put -504 0"},
        {[&] { edit.SetAppearance(0); }, "richedit put -520 0"},
        {[&] { edit.SetText("call Bob friday"); }, "richedit put -517 call Bob friday"},
        {[&] { edit.GetText(); }, "richedit get -517"},
        {[&] { edit.SetSelStart(5); }, "richedit put 120 5"},
        {[&] { edit.GetSelStart(); }, "richedit get 120"},
        {[&] { edit.SetSelLength(3); }, "richedit put 116 3"},
        {[&] { edit.GetSelLength(); }, "richedit get 116"},
        {[&] { edit.SetRedrawLocked(TRUE); }, "richedit put 133 -1"},
        {[&] { edit.SetRedrawLocked(FALSE); }, "richedit put 133 0"},
        {[&] { edit.SetSelBold(TRUE); }, "richedit put 108 -1"},
        {[&] { edit.SetSelItalic(FALSE); }, "richedit put 115 0"},
        {[&] { edit.SetSelUnderline(TRUE); }, "richedit put 124 -1"},
        {[&] { edit.SetSelColor(0x0000FF); }, "richedit put 110 255"},
        {[&] { edit.SetDictationEnabled(TRUE); }, "richedit put 137 -1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.logged);
        row.call();
        EXPECT_EQ(std::vector<std::string>{row.logged}, TakeLog());
    }
}

TEST_F(VVRichEditTest, ValuesReachTheRichEditInside)
{
    CVVRichEditEx edit;
    ASSERT_TRUE(CreateEdit(edit));
    HWND hInner = edit.GetInnerWindow();
    ASSERT_NE(nullptr, hInner);
    char className[64] = "";
    ::GetClassNameA(hInner, className, sizeof className);
    EXPECT_STREQ("RichEdit20W", className);

    edit.SetText("call Bob friday");
    EXPECT_STREQ("call Bob friday", edit.GetText());
    char text[64] = "";
    ::GetWindowTextA(hInner, text, sizeof text);
    EXPECT_STREQ("call Bob friday", text);

    struct Row {
        long start, length;
        CHARRANGE expected;
    } rows[] = {{5, 3, {5, 8}}, {0, 0, {0, 0}}, {9, 6, {9, 15}}, {15, 0, {15, 15}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.start);
        edit.SetSelStart(row.start);
        edit.SetSelLength(row.length);
        CHARRANGE range = Selection(hInner);
        EXPECT_EQ(row.expected.cpMin, range.cpMin);
        EXPECT_EQ(row.expected.cpMax, range.cpMax);
        EXPECT_EQ(range.cpMin, edit.GetSelStart());
        EXPECT_EQ(range.cpMax - range.cpMin, edit.GetSelLength());
    }
}

TEST_F(VVRichEditTest, MarkingTheSelectionShowsInTheRichEdit)
{
    CVVRichEditEx edit;
    ASSERT_TRUE(CreateEdit(edit));
    edit.SetText("call Bob friday");
    edit.SetSelStart(5);
    edit.SetSelLength(3);
    edit.SetRedrawLocked(TRUE);
    edit.SetSelBold(TRUE);
    edit.SetSelUnderline(TRUE);
    edit.SetSelColor(RGB(255, 0, 0));
    edit.SetRedrawLocked(FALSE);

    struct Row {
        CHARRANGE range;
        DWORD effects;
        COLORREF color;
    } rows[] = {
        {{5, 8}, CFE_BOLD | CFE_UNDERLINE, RGB(255, 0, 0)},
        {{0, 4}, 0, 0xFFFFFFFF},
        {{9, 15}, 0, 0xFFFFFFFF},
    };
    HWND hInner = edit.GetInnerWindow();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.range.cpMin);
        ::SendMessage(hInner, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&row.range));
        CHARFORMATA format = {};
        format.cbSize = sizeof format;
        ::SendMessage(hInner, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        EXPECT_EQ(row.effects, format.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE));
        if (row.color != 0xFFFFFFFF) {
            EXPECT_EQ(row.color, format.crTextColor);
        }
    }
}

TEST_F(VVRichEditTest, ControlFailuresRaiseTheDispatchExceptionWithItsText)
{
    CVVRichEdit edit;
    ASSERT_TRUE(CreateEdit(edit));
    struct Row {
        const char* failing;
        std::function<void()> call;
    } rows[] = {
        {"richedit put -517", [&] { edit.SetText("x"); }},
        {"richedit get -517", [&] { edit.GetText(); }},
        {"richedit put -501", [&] { edit.SetBackColor(0xFFFFFF); }},
        {"richedit put 137", [&] { edit.SetDictationEnabled(TRUE); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.failing);
        FailCalls(row.failing);
        EXPECT_EQ(std::string(row.failing) + " failed", DispatchFailure(row.call));
    }
}

TEST_F(VVRichEditTest, SizedWithItsObjectAndEndedWithItsParent)
{
    CVVRichEditEx edit;
    ASSERT_TRUE(CreateEdit(edit));
    edit.SetBorderStyle(0);
    edit.SetAppearance(0);
    edit.MoveWindow(0, 0, 240, 84);
    CRect client;
    edit.GetClientRect(&client);
    EXPECT_EQ(CRect(0, 0, 240, 84), client);
    CRect inner;
    ::GetWindowRect(edit.GetInnerWindow(), &inner);
    EXPECT_EQ(240, inner.Width());
    EXPECT_EQ(84, inner.Height());

    HWND hWnd = edit.m_hWnd;
    m_host.DestroyWindow();
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(nullptr, edit.m_hWnd);
    EXPECT_EQ(nullptr, edit.GetControlUnknown());
}

TEST_F(VVRichEditTest, CreationFailsCleanlyWhenTheControlIsMissingOrFails)
{
    struct Row {
        const char* what;
        bool unregister;
        const char* failing;
    } rows[] = {
        {"not installed", true, nullptr},
        {"failing to start", false, "richedit create"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.unregister) {
            ASSERT_TRUE(RegisterSpeechServer(false));
        }
        FailCalls(row.failing);
        CVVRichEditEx edit;
        EXPECT_FALSE(CreateEdit(edit));
        EXPECT_EQ(nullptr, edit.m_hWnd);
        EXPECT_EQ(nullptr, edit.GetInnerWindow());
        EXPECT_FALSE(edit.SubclassInner());
        EXPECT_EQ(nullptr, FirstChild());
        if (row.unregister) {
            ASSERT_TRUE(RegisterSpeechServer(true));
        }
        FailCalls(nullptr);
        EXPECT_TRUE(CreateEdit(edit));
    }
}

TEST_F(VVRichEditTest, InnerNotificationsAreReroutedToTheControlWindow)
{
    CRecordingRichEdit edit;
    ASSERT_TRUE(CreateEdit(edit));
    HWND hInner = edit.GetInnerWindow();
    ASSERT_NE(nullptr, hInner);
    WNDPROC pfnOwn = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hInner, GWLP_WNDPROC));
    ASSERT_TRUE(edit.SubclassInner());
    EXPECT_FALSE(edit.SubclassInner());
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(pfnOwn),
              reinterpret_cast<LONG_PTR>(::GetPropA(hInner, CVVRichEditEx::kWndProcProperty)));

    NMHDR header = {hInner, 77, EN_REQUESTRESIZE};
    const LPARAM lHeader = reinterpret_cast<LPARAM>(&header);
    const LPARAM lInner = reinterpret_cast<LPARAM>(hInner);
    const LPARAM lEdit = reinterpret_cast<LPARAM>(edit.m_hWnd);
    struct Row {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        Seen atControl;
    } rows[] = {
        {WM_COMMAND, MAKEWPARAM(999, EN_CHANGE), 0, {WM_COMMAND, MAKEWPARAM(QUI_SPEECH_INNER_EDIT_ID, EN_CHANGE), lInner}},
        {WM_COMMAND, MAKEWPARAM(5, EN_KILLFOCUS), 1234, {WM_COMMAND, MAKEWPARAM(QUI_SPEECH_INNER_EDIT_ID, EN_KILLFOCUS), lInner}},
        {WM_NOTIFY, 0, lHeader, {WM_NOTIFY, 77, lHeader}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        edit.seen.clear();
        ::SendMessageA(hInner, row.message, row.wParam, row.lParam);
        EXPECT_EQ(std::vector<Seen>{row.atControl}, edit.seen);
    }
    // The stand-in passes its edit's notifications on as its own.
    EXPECT_EQ((std::vector<Seen>{{WM_COMMAND, MAKEWPARAM(kEditId, EN_CHANGE), lEdit},
                                 {WM_COMMAND, MAKEWPARAM(kEditId, EN_KILLFOCUS), lEdit},
                                 {WM_NOTIFY, 77, lHeader}}),
              m_host.seen);

    // Other messages still reach the edit itself.
    ::SendMessageA(hInner, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("dictated"));
    EXPECT_STREQ("dictated", edit.GetText());

    edit.UnsubclassInner();
    EXPECT_EQ(pfnOwn, reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hInner, GWLP_WNDPROC)));
    EXPECT_EQ(nullptr, ::GetPropA(hInner, CVVRichEditEx::kWndProcProperty));
    edit.seen.clear();
    ::SendMessageA(hInner, WM_COMMAND, MAKEWPARAM(999, EN_CHANGE), 0);
    EXPECT_TRUE(edit.seen.empty());
}

TEST_F(VVRichEditTest, TypedTextReachesTheParentAsAChange)
{
    CVVRichEditEx edit;
    ASSERT_TRUE(CreateEdit(edit));
    ASSERT_TRUE(edit.SubclassInner());
    HWND hInner = edit.GetInnerWindow();
    ::SendMessage(hInner, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SCROLL | ENM_REQUESTRESIZE);
    m_host.seen.clear();
    ::SendMessageA(hInner, WM_CHAR, 'a', 1);
    const Seen change = {WM_COMMAND, MAKEWPARAM(kEditId, EN_CHANGE), reinterpret_cast<LPARAM>(edit.m_hWnd)};
    EXPECT_NE(m_host.seen.end(), std::find(m_host.seen.begin(), m_host.seen.end(), change));
    EXPECT_EQ(1, std::count(m_host.seen.begin(), m_host.seen.end(), change));
}

// Whoever put a procedure in front of the reroute later keeps it; and a
// window's property goes before the window does.
TEST_F(VVRichEditTest, UnsubclassingKeepsALaterProcedureAndTheWindowLeavesNoProperty)
{
    CVVRichEditEx edit;
    ASSERT_TRUE(CreateEdit(edit));
    HWND hInner = edit.GetInnerWindow();
    ASSERT_TRUE(edit.SubclassInner());
    g_pfnBelowTest = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hInner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TestProc)));
    edit.UnsubclassInner();
    EXPECT_EQ(TestProc, reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hInner, GWLP_WNDPROC)));
    ::SendMessageA(hInner, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("still reaches the edit"));
    EXPECT_STREQ("still reaches the edit", edit.GetText());

    g_bPropertyGoneAtNcDestroy = false;
    edit.DestroyWindow();
    EXPECT_TRUE(g_bPropertyGoneAtNcDestroy);
    EXPECT_EQ(nullptr, edit.m_hWnd);
}
