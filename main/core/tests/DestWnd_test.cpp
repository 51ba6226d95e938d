// The destination window: where it opens, its bottom row by the feature
// question, the status text, finding panes, the focus order through the
// panes, and the commands and clicks it hands to the note window.
#include "DestWndTestSupport.h"
#include "FrameworkUtil.h"
#include "QuiResIds.h"

#include <string>

namespace {

CRect RectIn(CWnd& child, CWnd& parent)
{
    CRect rect;
    child.GetWindowRect(rect);
    parent.ScreenToClient(rect);
    return rect;
}

CString Text(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

// The child static of the window that shows the text; null when none does.
HWND StaticWithText(CWnd& parent, const CString& text)
{
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = {}, caption[128] = {};
        ::GetClassNameA(child, name, sizeof name);
        ::GetWindowTextA(child, caption, sizeof caption);
        if (lstrcmpiA(name, "Static") == 0 && text == caption)
            return child;
    }
    return nullptr;
}

bool Shown(HWND hWnd)
{
    return (::GetWindowLongA(hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

class DestWndTest : public DestWindows {};

} // namespace

TEST_F(DestWndTest, OpensHiddenAtTheNotesTopRight)
{
    CDestWnd fresh;
    ASSERT_TRUE(fresh.Create(&note));
    CRect noteRect, rect;
    note.GetWindowRect(noteRect);
    fresh.GetWindowRect(rect);
    LONG units = ::GetDialogBaseUnits();
    EXPECT_EQ(CRect(noteRect.right, noteRect.top, noteRect.right + 100 * LOWORD(units) / 4,
                    noteRect.top + 124 * HIWORD(units) / 8),
              rect);
    EXPECT_FALSE(fresh.GetStyle() & WS_VISIBLE);
    EXPECT_TRUE(fresh.GetExStyle() & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(note.GetSafeHwnd(), ::GetWindow(fresh, GW_OWNER));
    char name[32] = {};
    ::GetClassNameA(fresh, name, sizeof name);
    EXPECT_STREQ("QUIDESTWND", name);
    SIZE size = {};
    fresh.GetSize(&size);
    EXPECT_EQ(rect.Size(), CSize(size));
    EXPECT_FALSE(fresh.IsLaidOut());
}

TEST_F(DestWndTest, TheBottomRowFollowsTheWebActionsFeature)
{
    struct Row {
        int feature;
        UINT fileCommand;
        UINT label;
    } rows[] = {
        {0, ID_DEST_FILE, IDS_DEST_LABEL},
        {9, ID_DEST_FILE_AND_SEND, IDS_DEST_LABEL_WEB},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.feature);
        app.Features()->feature = row.feature;
        CDestWnd wnd;
        ASSERT_TRUE(wnd.Create(&note));
        CRect client;
        wnd.GetClientRect(client);
        CFlatButton* file = wnd.GetFileButton();
        EXPECT_EQ(static_cast<int>(row.fileCommand), file->GetDlgCtrlID());
        EXPECT_TRUE(Shown(*file));
        CRect fileRect = RectIn(*file, wnd);
        EXPECT_EQ(client.right - 3, fileRect.right);
        int h = DluToPixelsX(&wnd, 11);
        EXPECT_EQ(client.bottom - h + 3, fileRect.top);
        EXPECT_EQ(h - 3, fileRect.Height());

        HWND label = StaticWithText(wnd, Text(row.label));
        ASSERT_NE(nullptr, label);
        EXPECT_FALSE(Shown(label));
        EXPECT_EQ(0xFFFF, ::GetDlgCtrlID(label));
        // Help bottom left and the close button top right, both hidden.
        HWND help = ::GetDlgItem(wnd, ID_DEST_HELP), close = ::GetDlgItem(wnd, ID_DEST_CLOSE_NOTE);
        ASSERT_NE(nullptr, help);
        ASSERT_NE(nullptr, close);
        EXPECT_FALSE(Shown(help));
        EXPECT_FALSE(Shown(close));
        CRect closeRect;
        ::GetWindowRect(close, closeRect);
        wnd.ScreenToClient(closeRect);
        EXPECT_EQ(CPoint(client.right - 3 - closeRect.Width(), 3), closeRect.TopLeft());
    }
}

TEST_F(DestWndTest, SetTopMovesTheBottomRowAndFitsTheHeight)
{
    HWND status = StaticWithText(destWnd, Text(IDS_DEST_FILING));
    ASSERT_NE(nullptr, status);
    for (int y : {40, 90}) {
        destWnd.SetTop(y);
        CRect file = RectIn(*destWnd.GetFileButton(), destWnd);
        EXPECT_EQ(y - 1, file.top);
        CRect statusRect;
        ::GetWindowRect(status, statusRect);
        destWnd.ScreenToClient(statusRect);
        EXPECT_EQ(y + 1, statusRect.top);
        CRect window;
        destWnd.GetWindowRect(window);
        EXPECT_EQ(file.bottom + 6, window.Height());
        EXPECT_TRUE(destWnd.IsLaidOut());
    }
}

TEST_F(DestWndTest, StatusTextShowsAndHides)
{
    HWND status = StaticWithText(destWnd, Text(IDS_DEST_FILING));
    ASSERT_NE(nullptr, status);
    EXPECT_FALSE(Shown(status));
    destWnd.ShowStatusText(TRUE);
    EXPECT_TRUE(Shown(status));
    destWnd.ShowStatusText(FALSE);
    EXPECT_FALSE(Shown(status));
}

TEST_F(DestWndTest, FindPaneFindsOnlyPanes)
{
    CTestPane* toDo = AddPane(501, 0);
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD, CRect(0, 60, 40, 74), &destWnd, 133));
    struct Row {
        int id;
        CDestPane* pane;
    } rows[] = {{501, toDo}, {133, nullptr}, {ID_DEST_HELP, nullptr}, {0xFFFF, nullptr}, {4242, nullptr}};
    for (const Row& row : rows)
        EXPECT_EQ(row.pane, destWnd.FindPane(row.id)) << row.id;
}

TEST_F(DestWndTest, NextTabItemWalksThePanesWithoutWrapping)
{
    // A with one field, B with none, C with two, then a field outside the panes.
    CTestPane* a = AddPane(501, 0);
    CTestPane* b = AddPane(502, 30);
    CTestPane* c = AddPane(503, 60);
    CEdit aField, cFirst, cLast, beyond;
    ASSERT_TRUE(aField.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(60, 14, 100, 26), a, 130));
    ASSERT_TRUE(cFirst.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(60, 14, 100, 26), c, 131));
    ASSERT_TRUE(cLast.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(110, 14, 150, 26), c, 132));
    ASSERT_TRUE(beyond.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(4, 100, 60, 112), &destWnd, 134));
    ASSERT_EQ(b->GetSafeHwnd(), FindTabStop(destWnd, *a, FALSE));

    struct Row {
        const char* what;
        CWnd* current;
        BOOL previous;
        BOOL enter;
        HWND expected;
    } rows[] = {
        {"first field of all", nullptr, FALSE, TRUE, aField},
        {"into a pane", a, FALSE, TRUE, aField},
        {"into a pane backwards", c, TRUE, TRUE, cLast},
        {"an empty pane is passed over", b, FALSE, TRUE, cFirst},
        {"next pane with fields", a, FALSE, FALSE, *c},
        {"previous pane with fields", c, TRUE, FALSE, *a},
        {"from a field inside a pane", &aField, FALSE, FALSE, *c},
        {"a control outside the panes", c, FALSE, FALSE, beyond},
        {"last stop of all", &beyond, FALSE, FALSE, nullptr},
        {"first pane backwards", a, TRUE, FALSE, nullptr},
        {"from the end backwards", nullptr, TRUE, TRUE, beyond},
    };
    auto check = [&](const Row& row) {
        CWnd* next = destWnd.NextTabItem(row.current, row.previous, row.enter);
        EXPECT_EQ(row.expected, next ? next->GetSafeHwnd() : nullptr) << row.what;
    };
    for (const Row& row : rows)
        check(row);

    beyond.ShowWindow(SW_HIDE);
    Row last[] = {
        {"the last pane with fields", c, FALSE, FALSE, nullptr},
        {"an empty pane before the last", b, FALSE, FALSE, *c},
        {"an empty pane first backwards", b, TRUE, FALSE, *a},
    };
    for (const Row& row : last)
        check(row);
    // Without fields anywhere after it, an empty pane ends the walk.
    cFirst.ShowWindow(SW_HIDE);
    cLast.ShowWindow(SW_HIDE);
    check({"empty panes to the end", a, FALSE, FALSE, nullptr});
    check({"empty panes to the end, entering", b, FALSE, TRUE, nullptr});
}

TEST_F(DestWndTest, UnhandledCommandsGoToTheNote)
{
    CTestPane* pane = AddPane(501, 0);
    destWnd.SendMessage(WM_COMMAND, ID_DEST_FILE);
    pane->SendMessage(WM_COMMAND, 602);
    EXPECT_EQ((std::vector<UINT>{ID_DEST_FILE, 602}), note.commands);

    CDestWnd alone;
    ASSERT_TRUE(alone.Create(nullptr));
    EXPECT_FALSE(alone.OnCmdMsg(ID_DEST_FILE, CN_COMMAND, nullptr, nullptr));
}

TEST_F(DestWndTest, ItsBackgroundDragsTheNote)
{
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
        note.mouse.clear();
        destWnd.SendMessage(message, MK_LBUTTON, MAKELPARAM(12, 30));
        CPoint screen(12, 30);
        destWnd.ClientToScreen(&screen);
        ASSERT_EQ(1u, note.mouse.size()) << message;
        EXPECT_EQ(static_cast<UINT>(WM_NCLBUTTONDOWN), note.mouse[0].message);
        EXPECT_EQ(static_cast<WPARAM>(HTCAPTION), note.mouse[0].wParam);
        EXPECT_EQ(screen, note.mouse[0].point);
    }
}
