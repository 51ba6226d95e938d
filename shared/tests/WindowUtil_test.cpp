#include "WindowUtil.h"

#include <gtest/gtest.h>

namespace {
INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

class Dialog {
public:
    explicit Dialog(UINT id)
        : m_hwnd(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, QuietDialog, 0))
    {
    }
    ~Dialog() { DestroyWindow(m_hwnd); }
    HWND hwnd() const { return m_hwnd; }
    HWND item(int id) const { return id ? GetDlgItem(m_hwnd, id) : nullptr; }

private:
    HWND m_hwnd;
};

int g_appMessages[2];

LRESULT CALLBACK Counter(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_APP) {
        ++g_appMessages[GetWindowLongPtrA(hwnd, GWLP_USERDATA)];
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND MakeCounter(int slot)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Counter;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QuiTestCounter";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowA("QuiTestCounter", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, slot);
    return hwnd;
}
} // namespace

TEST(WindowUtil, FindTabStopSkipsHiddenDisabledAndPlainChildrenAndWraps)
{
    Dialog dlg(300);
    ASSERT_NE(nullptr, dlg.hwnd());
    struct Row {
        int from;
        BOOL backward;
        int found;
    } rows[] = {
        {0, FALSE, 10}, {0, TRUE, 15},
        {10, FALSE, 14}, {14, FALSE, 15}, {15, FALSE, 10},
        {15, TRUE, 14}, {14, TRUE, 10}, {10, TRUE, 15},
        {11, FALSE, 14}, {12, TRUE, 10}, {16, FALSE, 10}, {16, TRUE, 15},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "from " << r.from << (r.backward ? " backward" : " forward"));
        EXPECT_EQ(dlg.item(r.found), FindTabStop(dlg.hwnd(), dlg.item(r.from), r.backward));
    }
    EXPECT_EQ(dlg.item(10), FindFirstTabStop(dlg.hwnd()));
}

TEST(WindowUtil, FindTabStopWithoutAnyGivesNull)
{
    Dialog dlg(301);
    ASSERT_NE(nullptr, dlg.hwnd());
    for (int from : {0, 20, 21, 22})
        for (BOOL backward : {FALSE, TRUE})
            EXPECT_EQ(nullptr, FindTabStop(dlg.hwnd(), dlg.item(from), backward)) << from << " " << backward;
    EXPECT_EQ(nullptr, FindFirstTabStop(dlg.hwnd()));
}

TEST(WindowUtil, DialogUnitsFollowEachWindowsFont)
{
    Dialog small(300), large(301);
    ASSERT_NE(nullptr, small.hwnd());
    ASSERT_NE(nullptr, large.hwnd());
    // Alternate between the windows: each call must use its own window's font.
    for (HWND w : {small.hwnd(), large.hwnd(), small.hwnd(), large.hwnd()}) {
        RECT mapped = {4, 8, 40, 80};
        MapDialogRect(w, &mapped);
        RECT ours = {4, 8, 40, 80};
        DluToPixels(w, &ours);
        EXPECT_EQ(mapped.left, ours.left);
        EXPECT_EQ(mapped.top, ours.top);
        EXPECT_EQ(mapped.right, ours.right);
        EXPECT_EQ(mapped.bottom, ours.bottom);
        EXPECT_EQ(mapped.left, DluToPixelsX(w, 4)) << "4 units are the average character width";
        POINT p = {40, 80};
        DluToPixels(w, &p);
        EXPECT_EQ(mapped.right, p.x);
        EXPECT_EQ(mapped.bottom, p.y);
    }
    EXPECT_LT(DluToPixelsX(small.hwnd(), 100), DluToPixelsX(large.hwnd(), 100));
}

TEST(WindowUtil, IsFocusWithinLooksAtTheWindowAndItsDescendants)
{
    Dialog dlg(300), other(301);
    ShowWindow(dlg.hwnd(), SW_SHOW);
    SetForegroundWindow(dlg.hwnd());
    SetFocus(dlg.item(14));
    ASSERT_EQ(dlg.item(14), GetFocus());
    struct Row {
        HWND window;
        BOOL within;
    } rows[] = {
        {dlg.hwnd(), TRUE}, {dlg.item(14), TRUE}, {dlg.item(10), FALSE}, {other.hwnd(), FALSE}, {nullptr, FALSE},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.within, IsFocusWithin(r.window));
}

TEST(WindowUtil, PumpWaitingMessagesHonoursTheFilterAndLeavesQuit)
{
    HWND first = MakeCounter(0), second = MakeCounter(1);
    g_appMessages[0] = g_appMessages[1] = 0;
    PostMessageA(first, WM_APP, 0, 0);
    PostMessageA(second, WM_APP, 0, 0);
    PumpWaitingMessages(first);
    EXPECT_EQ(1, g_appMessages[0]);
    EXPECT_EQ(0, g_appMessages[1]);
    PostQuitMessage(7);
    PumpWaitingMessages(nullptr);
    EXPECT_EQ(1, g_appMessages[1]);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), msg.message);
    EXPECT_EQ(7u, msg.wParam);
    DestroyWindow(first);
    DestroyWindow(second);
}
