// Panes in a real destination window: creation and layout, the check
// button's toggle, an unavailable destination, the focus on unchecking, the
// walk up to a pane, and the mouse handed on to the destination window.
#include "DestWndTestSupport.h"

#include <algorithm>

#include "FrameworkUtil.h"
#include "QuiResIds.h"

namespace {

const UINT kTodo = 501;   // menu of two items, 601 first
const UINT kMemo = 502;   // menu of one item
const UINT kMail = 503;   // menu of two items

CRect RectIn(CWnd& child, CWnd& parent)
{
    CRect rect;
    child.GetWindowRect(rect);
    parent.ScreenToClient(rect);
    return rect;
}

class Panes : public DestWindows {};

} // namespace

TEST_F(Panes, CreatePaneSpansTheParentAndMakesItsButtons)
{
    CTestPane* pane = AddPane(kTodo, 20);
    pane->ShowWindow(SW_HIDE);
    CRect client;
    destWnd.GetClientRect(client);
    EXPECT_EQ(CRect(0, 20, client.right, 20 + DluToPixelsX(&destWnd, 17)), RectIn(*pane, destWnd));
    EXPECT_EQ(static_cast<DWORD>(WS_CHILD | WS_TABSTOP), pane->GetStyle() & (WS_CHILD | WS_TABSTOP | WS_VISIBLE));
    char name[32] = {};
    ::GetClassNameA(*pane, name, sizeof name);
    EXPECT_STREQ("QUIDESTPANE", name);
    EXPECT_EQ(kTodo, pane->GetResourceId());

    CFlatButton* check = pane->GetCheckButton();
    CFlatButton* menu = pane->GetMenuButton();
    EXPECT_EQ(static_cast<int>(kTodo), check->GetDlgCtrlID());
    EXPECT_EQ(CPoint(3, 0), RectIn(*check, *pane).TopLeft());
    EXPECT_EQ(180, menu->GetDlgCtrlID());
    EXPECT_EQ(CPoint(RectIn(*check, *pane).right + 3, 0), RectIn(*menu, *pane).TopLeft());
    EXPECT_TRUE(check->GetStyle() & WS_VISIBLE);
    EXPECT_TRUE(menu->GetStyle() & WS_VISIBLE);
    EXPECT_FALSE(menu->IsActive());
    EXPECT_EQ(601u, menu->GetChosenCommand());
    // The pane's font is the application's small one.
    EXPECT_EQ(app.GetSmallFont()->GetSafeHandle(), pane->GetFont());
}

TEST_F(Panes, AnotherResourceIdGivesPictureAndMenu)
{
    CTestPane* pane = AddPane(700, 0, kMail);
    EXPECT_EQ(kMail, pane->GetResourceId());
    EXPECT_EQ(700, pane->GetCheckButton()->GetDlgCtrlID());
    EXPECT_EQ(621u, pane->GetMenuButton()->GetChosenCommand());
}

TEST_F(Panes, AMenuOfOneItemIsDisabledWithoutArrow)
{
    // kMail's first item reads as kMemo's only one: the widths differ by the arrow.
    CTestPane* one = AddPane(kMemo, 0);
    CTestPane* two = AddPane(kMail, 40);
    BITMAP arrow = {};
    CBitmap arrowBitmap;
    ASSERT_TRUE(arrowBitmap.LoadBitmap(IDB_DROP_ARROW));
    arrowBitmap.GetBitmap(&arrow);
    EXPECT_FALSE(one->GetMenuButton()->IsWindowEnabled());
    EXPECT_TRUE(two->GetMenuButton()->IsWindowEnabled());
    EXPECT_EQ(arrow.bmWidth, RectIn(*two->GetMenuButton(), *two).Width() - RectIn(*one->GetMenuButton(), *one).Width());
}

TEST_F(Panes, TheCheckButtonTogglesThePane)
{
    CTestPane* pane = AddPane(kTodo, 0);
    struct Row {
        BOOL check;
        BOOL menuActive;
        int checked;
        int shown;
    } rows[] = {{TRUE, TRUE, 1, 1}, {TRUE, TRUE, 1, 1}, {FALSE, FALSE, 1, 2}, {TRUE, TRUE, 2, 3}};
    for (const Row& row : rows) {
        pane->GetCheckButton()->SetCheck(row.check);
        EXPECT_EQ(row.menuActive, pane->GetMenuButton()->IsActive());
        EXPECT_EQ(row.checked, pane->checked);
        EXPECT_EQ(row.shown, pane->shown);
    }
}

TEST_F(Panes, TheCheckAdaptorTogglesOnlyOnAChange)
{
    CTestPane* pane = AddPane(kTodo, 0);
    CCheckButtonProp* prop = pane->Dest()->GetCheckProp();
    COleVariant on(static_cast<short>(VARIANT_TRUE), VT_BOOL), off(static_cast<short>(VARIANT_FALSE), VT_BOOL);
    prop->SetValue(off);
    EXPECT_EQ(0, pane->shown);
    prop->SetValue(on);
    EXPECT_EQ(1, pane->shown);
    EXPECT_TRUE(pane->GetMenuButton()->IsActive());
    prop->SetValue(on);
    EXPECT_EQ(1, pane->shown);
}

TEST_F(Panes, AnUnavailableDestinationChangesNothing)
{
    CTestPane* pane = AddPane(kTodo, 0);
    pane->Dest()->SetEnabled(false);
    pane->GetCheckButton()->SetCheck(TRUE);
    pane->Toggle();
    EXPECT_FALSE(pane->GetMenuButton()->IsActive());
    EXPECT_EQ(0, pane->shown);
    EXPECT_EQ(0, pane->checked);
    // Nor does the pane pass anything on to the note window.
    EXPECT_FALSE(pane->OnCmdMsg(kTodo, CN_COMMAND, nullptr, nullptr));
    EXPECT_FALSE(pane->OnCmdMsg(602, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(note.commands.empty());
    pane->Dest()->SetEnabled(true);
    EXPECT_TRUE(pane->OnCmdMsg(602, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(std::vector<UINT>{602}, note.commands);
}

TEST_F(Panes, UncheckingWithTheFocusInsideGivesItToTheNote)
{
    CTestPane* pane = AddPane(kTodo, 0);
    CEdit inside, outside;
    ASSERT_TRUE(inside.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(60, 20, 120, 34), pane, 130));
    ASSERT_TRUE(outside.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(60, 80, 120, 94), &destWnd, 131));
    struct Row {
        CWnd* focus;
        BOOL uncheck;
        HWND after;
    } rows[] = {
        {&inside, TRUE, note},
        {&outside, TRUE, outside},
        // Checking leaves the focus where it is.
        {&inside, FALSE, inside},
    };
    for (const Row& row : rows) {
        pane->GetCheckButton()->SetCheck(row.uncheck);
        row.focus->SetFocus();
        ASSERT_EQ(row.focus->GetSafeHwnd(), ::GetFocus());
        pane->GetCheckButton()->SetCheck(!row.uncheck);
        EXPECT_EQ(row.after, ::GetFocus());
    }
}

TEST_F(Panes, FindOwningPaneWalksUpThroughOwnersAndParents)
{
    CTestPane* pane = AddPane(kTodo, 0);
    CWnd box;
    ASSERT_TRUE(box.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(60, 0, 140, 30), pane, 140));
    CEdit inBox, outside;
    ASSERT_TRUE(inBox.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 40, 14), &box, 141));
    ASSERT_TRUE(outside.Create(WS_CHILD | WS_VISIBLE, CRect(60, 80, 120, 94), &destWnd, 131));
    // A drop-down list of the edit inside the pane: the system makes its
    // owner the edit's top-level window, which is no pane.
    CWnd dropDown;
    ASSERT_TRUE(dropDown.CreateEx(WS_EX_TOOLWINDOW, nullptr, "", WS_POPUP, 0, 0, 20, 20, inBox, nullptr));
    struct Row {
        const char* what;
        CWnd* from;
        CDestPane* pane;
        HWND child;
    } rows[] = {
        {"check button", pane->GetCheckButton(), pane, *pane->GetCheckButton()},
        {"edit in a box", &inBox, pane, box},
        {"drop-down", &dropDown, nullptr, nullptr},
        {"pane itself", pane, nullptr, nullptr},
        {"outside", &outside, nullptr, nullptr},
        {"note", &note, nullptr, nullptr},
        {"none", nullptr, nullptr, nullptr},
    };
    for (const Row& row : rows) {
        CWnd* child = &note;
        EXPECT_EQ(row.pane, CDestPane::FindOwningPane(row.from, &child)) << row.what;
        EXPECT_EQ(row.child, child ? child->GetSafeHwnd() : nullptr) << row.what;
    }
    EXPECT_EQ(pane, CDestPane::FindOwningPane(&inBox, nullptr));
    dropDown.DestroyWindow();
}

TEST_F(Panes, ControlPositionsByRow)
{
    CTestPane* pane = AddPane(kTodo, 0);
    CRect check = RectIn(*pane->GetCheckButton(), *pane);
    CRect menu = RectIn(*pane->GetMenuButton(), *pane);
    // Row 1 keeps clear of a menu button taller than 8 dialog units.
    const int row1 = std::max(static_cast<int>(check.top) + DluToPixelsX(pane, 8), static_cast<int>(menu.bottom));
    struct Row {
        int row;
        CPoint pos;
    } rows[] = {
        {0, CPoint(menu.right + 6, check.top)},
        {1, CPoint(menu.left + 3, row1)},
        {3, CPoint(menu.left + 3, row1 + DluToPixelsX(pane, 16))},
    };
    for (const Row& row : rows) {
        CPoint pos(-1, -1);
        pane->GetControlPos(row.row, &pos);
        EXPECT_EQ(row.pos, pos) << row.row;
    }
}

TEST_F(Panes, ClicksOnTheBackgroundDragTheNote)
{
    CTestPane* pane = AddPane(kTodo, 30);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
        note.mouse.clear();
        pane->SendMessage(message, MK_LBUTTON, MAKELPARAM(150, 7));
        CPoint screen(150, 7);
        pane->ClientToScreen(&screen);
        ASSERT_EQ(1u, note.mouse.size()) << message;
        EXPECT_EQ(static_cast<UINT>(WM_NCLBUTTONDOWN), note.mouse[0].message);
        EXPECT_EQ(static_cast<WPARAM>(HTCAPTION), note.mouse[0].wParam);
        EXPECT_EQ(screen, note.mouse[0].point);
    }
}

// What a pane answers for its destination while its buttons go, which is
// after the destination went: anything the buttons' going reaches (the focus
// moving, a note asking which pane it is on) must see none.
struct DestinationWhileButtonsGo {
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_DESTROYWND && s_pane && ::GetParent(reinterpret_cast<HWND>(wParam)) == s_paneWnd) {
            s_seen.push_back(s_pane->GetDestination());
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static CDestPane* s_pane;
    static HWND s_paneWnd;
    static std::vector<CDestination*> s_seen;
};
CDestPane* DestinationWhileButtonsGo::s_pane = nullptr;
HWND DestinationWhileButtonsGo::s_paneWnd = nullptr;
std::vector<CDestination*> DestinationWhileButtonsGo::s_seen;

TEST_F(Panes, NoDestinationIsAnsweredOnceItIsDeleted)
{
    panes.push_back(std::make_unique<CTestPane>(kTodo));
    CTestPane* pane = panes.back().get();
    ASSERT_TRUE(pane->Create(0, &destWnd));
    ASSERT_NE(nullptr, pane->GetDestination());
    DestinationWhileButtonsGo::s_pane = pane;
    DestinationWhileButtonsGo::s_paneWnd = pane->GetSafeHwnd();
    DestinationWhileButtonsGo::s_seen.clear();
    HHOOK hook = ::SetWindowsHookExA(WH_CBT, DestinationWhileButtonsGo::Hook, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    // The pane's own two buttons go in its destructor, after its destination.
    const size_t buttons = 2;
    panes.pop_back();
    ::UnhookWindowsHookEx(hook);
    DestinationWhileButtonsGo::s_pane = nullptr;
    ASSERT_GE(DestinationWhileButtonsGo::s_seen.size(), buttons);
    for (size_t i = 0; i < buttons; i++)
        EXPECT_EQ(nullptr, DestinationWhileButtonsGo::s_seen[i]) << "button " << i;
}

TEST(Pane, DeletesItsDestination)
{
    struct Counted : CTestDestination {
        Counted(CDestPane* pane, int* deleted) : CTestDestination(pane), m_deleted(deleted) {}
        ~Counted() override { ++*m_deleted; }
        int* m_deleted;
    };
    struct Pane : CDestPane {
        explicit Pane(int* deleted) : CDestPane(new Counted(this, deleted)) {}
        BOOL Create(int, CWnd*) override { return FALSE; }
    };
    int deleted = 0;
    delete new Pane(&deleted);
    EXPECT_EQ(1, deleted);
}
