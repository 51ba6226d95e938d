#include "FlatButton.h"

#include "ControlsTestSupport.h"
#include "QuiResIds.h"

#include <string>

namespace {

const UINT kBlue = 100;        // 12 x 12 blue picture (top-left pixel transparent), string "Go\n..."
const UINT kRed = 101;         // 12 x 12 red picture
const UINT kPictureOnly = 102; // the blue picture, no string
const UINT kTextOnly = 103;    // a string, no picture
const UINT kTall = 105;        // the blue picture and a string
const UINT kOneItem = 201, kThreeItems = 202;  // menus
const UINT kMissing = 999;
const int kPicture = 12;
const COLORREF kBlueRgb = RGB(0, 0, 255);
const COLORREF kCaptionRgb = RGB(0, 160, 0);
const int kMenuStyle = CFlatButton::styleMenu | CFlatButton::styleMenuCaption | CFlatButton::styleArrow;

int Cx() { return GetSystemMetrics(SM_CXEDGE); }
int Cy() { return GetSystemMetrics(SM_CYEDGE); }

CSize TextSize(const char* text, HFONT font)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    RECT r = {};
    DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE);
    if (old)
        SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return CSize(r.right - r.left, r.bottom - r.top);
}

CSize WindowSize(CWnd& w)
{
    CRect r;
    w.GetWindowRect(r);
    return r.Size();
}

class FlatButton : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.Create());
        font.CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial");
        host.SetFont(&font, FALSE);
    }
    void TearDown() override { host.DestroyWindow(); }

    // A shown button on the host at (10, 10).
    std::unique_ptr<CFlatButton> Make(UINT resID, BYTE kind = CFlatButton::kindPush, int style = 0, UINT menu = 0,
                                      int height = 0)
    {
        auto button = std::make_unique<CFlatButton>();
        if (menu)
            button->SetMenu(menu);
        EXPECT_TRUE(button->Create(10, 10, resID, kind, &host, resID ? 0 : 150, style, height));
        button->ShowWindow(SW_SHOW);
        return button;
    }
    CHostWnd host;
    CFont font;
};

TEST_F(FlatButton, SizedToPictureCaptionArrowAndFixedHeight)
{
    CSize go = TextSize("Go", font), text = TextSize("Text only", font);
    int arrow = 7;
    struct Row {
        UINT resID;
        int style;
        int height;
        CSize expected;
    } rows[] = {
        {kPictureOnly, 0, 0, CSize(kPicture + 4 * Cx(), kPicture + 3 * Cy())},
        {kTextOnly, 0, 0, CSize(text.cx + 3 * Cx() + 1, text.cy + Cy() + 1)},
        {kBlue, 0, 0, CSize(kPicture + 4 * Cx() + go.cx + 3, kPicture + 3 * Cy())},
        {kBlue, CFlatButton::styleArrow, 0, CSize(kPicture + 4 * Cx() + go.cx + 3 + arrow, kPicture + 3 * Cy())},
        {kTextOnly, 0, 31, CSize(text.cx + 3 * Cx() + 1, 31)},
        {kMissing, 0, 0, CSize(3 * Cx() + 1, Cy() + 1)},
    };
    for (const Row& r : rows) {
        auto b = Make(r.resID, CFlatButton::kindPush, r.style, 0, r.height);
        EXPECT_EQ(r.expected, WindowSize(*b)) << "resource " << r.resID << " style " << r.style;
        EXPECT_EQ(r.resID, static_cast<UINT>(b->GetDlgCtrlID()));
    }
}

TEST_F(FlatButton, ControlIdIsTheResourceUnlessGiven)
{
    CFlatButton given, taken;
    ASSERT_TRUE(given.Create(0, 0, kBlue, CFlatButton::kindPush, &host, 77));
    ASSERT_TRUE(taken.Create(0, 0, kBlue, CFlatButton::kindPush, &host));
    EXPECT_EQ(77, given.GetDlgCtrlID());
    EXPECT_EQ(static_cast<int>(kBlue), taken.GetDlgCtrlID());
    EXPECT_FALSE(given.IsWindowVisible());
}

TEST_F(FlatButton, CaptionTallerThanPictureKeepsThePictureInsideTheEdge)
{
    CFont tall;
    tall.CreateFont(15, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial");
    CSize caption = TextSize("Tall", tall);
    ASSERT_GT(caption.cy, kPicture);
    ASSERT_LT(caption.cy, kPicture + 3 * Cy());
    auto b = Make(kTall);
    b->SetFont(&tall);
    int height = WindowSize(*b).cy;
    EXPECT_EQ(kPicture + 3 * Cy(), height);
    b->SetPressed(TRUE);
    Rendering shot(*b);
    // The pressed picture's last row sits above the sunken edge.
    int lastRow = (height - kPicture) / 2 + Cy() / 2 + kPicture - 1;
    EXPECT_LT(lastRow, height - Cy());
    EXPECT_EQ(kBlueRgb, shot.At(2 * Cx() + 5, lastRow));
}

TEST_F(FlatButton, EdgeFollowsHotPressedAndChecked)
{
    COLORREF light = GetSysColor(COLOR_3DLIGHT), dark = GetSysColor(COLOR_3DDKSHADOW);
    COLORREF shadow = GetSysColor(COLOR_3DSHADOW), hilight = GetSysColor(COLOR_BTNHIGHLIGHT);
    struct Row {
        const char* name;
        std::function<void(CFlatButton&)> set;
        COLORREF topLeft;
        COLORREF bottomRight;
    } rows[] = {
        {"flat", [](CFlatButton&) {}, kUntouched, kUntouched},
        {"hot", [](CFlatButton& b) { b.SetHot(TRUE); }, light, dark},
        {"pressed", [](CFlatButton& b) { b.SetPressed(TRUE); }, shadow, hilight},
        {"checked", [](CFlatButton& b) { b.SetCheck(TRUE); }, shadow, hilight},
        {"hot and checked", [](CFlatButton& b) { b.SetHot(TRUE); b.SetCheck(TRUE); }, shadow, hilight},
        {"hot, then not", [](CFlatButton& b) { b.SetHot(TRUE); b.SetHot(FALSE); }, kUntouched, kUntouched},
    };
    for (const Row& r : rows) {
        auto b = Make(kBlue, CFlatButton::kindCheck);
        r.set(*b);
        Rendering shot(*b);
        EXPECT_EQ(r.topLeft, shot.At(0, 0)) << r.name;
        EXPECT_EQ(r.bottomRight, shot.At(shot.Width() - 1, shot.Height() - 1)) << r.name;
    }
}

TEST_F(FlatButton, PictureShiftsWhenDownAndGreysWhenInactive)
{
    // Centred: the button is 3 edges taller than the picture.
    int x = 2 * Cx(), y = 3 * Cy() / 2, shift = Cx() / 2;
    ASSERT_GT(shift, 0);
    struct Row {
        const char* name;
        BOOL active;
        UINT disabled;
        BOOL down;
        CPoint probe;
        COLORREF expected;
    } rows[] = {
        {"transparent corner", TRUE, 0, FALSE, CPoint(x, y), kUntouched},
        {"up", TRUE, 0, FALSE, CPoint(x + 5, y + 5), kBlueRgb},
        {"up, past the last column", TRUE, 0, FALSE, CPoint(x + kPicture, y + 5), kUntouched},
        {"down, last column shifted", TRUE, 0, TRUE, CPoint(x + kPicture, y + 5 + shift), kBlueRgb},
        {"down, first column left empty", TRUE, 0, TRUE, CPoint(x, y + 5), kUntouched},
        {"inactive, own disabled picture", FALSE, kRed, FALSE, CPoint(x + 5, y + 5), RGB(255, 0, 0)},
        {"active ignores the disabled picture", TRUE, kRed, FALSE, CPoint(x + 5, y + 5), kBlueRgb},
    };
    for (const Row& r : rows) {
        auto b = Make(kPictureOnly);
        if (r.disabled)
            b->SetDisabledImage(r.disabled);
        b->SetActive(r.active);
        b->SetPressed(r.down);
        Rendering shot(*b);
        EXPECT_EQ(r.expected, shot.At(r.probe.x, r.probe.y)) << r.name;
    }
    auto greyed = Make(kPictureOnly);
    greyed->SetActive(FALSE);
    Rendering shot(*greyed);
    EXPECT_EQ(0, shot.Count(kBlueRgb)) << "an inactive picture without its own disabled one is greyed";
    EXPECT_LT(0, shot.Count(GetSysColor(COLOR_3DSHADOW)));
}

TEST_F(FlatButton, PictureCentredInATallButton)
{
    auto b = Make(kPictureOnly, CFlatButton::kindPush, 0, 0, 40);
    Rendering shot(*b);
    int top = (40 - kPicture) / 2;
    EXPECT_EQ(kBlueRgb, shot.At(2 * Cx() + 5, top));
    EXPECT_EQ(kUntouched, shot.At(2 * Cx() + 5, top - 1));
    EXPECT_EQ(kBlueRgb, shot.At(2 * Cx() + 5, top + kPicture - 1));
}

TEST_F(FlatButton, CaptionInItsColourOrEngravedWhenInactive)
{
    auto b = Make(kTextOnly);
    b->SetTextColor(kCaptionRgb);
    {
        Rendering shot(*b);
        EXPECT_LT(0, shot.Count(kCaptionRgb));
        EXPECT_EQ(0, shot.Count(GetSysColor(COLOR_GRAYTEXT)));
    }
    b->SetActive(FALSE);
    Rendering shot(*b);
    EXPECT_EQ(0, shot.Count(kCaptionRgb));
    EXPECT_LT(0, shot.Count(GetSysColor(COLOR_GRAYTEXT)));
    EXPECT_LT(0, shot.Count(GetSysColor(COLOR_3DHILIGHT)));
}

TEST_F(FlatButton, MenuButtonByItemCount)
{
    struct Row {
        UINT menu;
        BOOL enabled;
        BOOL arrow;
        const char* caption;
        UINT chosen;
        int checkedPos;
    } rows[] = {
        {0, FALSE, FALSE, "", 0, -1},
        {kOneItem, FALSE, FALSE, "Only", 401, 0},
        {kThreeItems, TRUE, TRUE, "Second", 412, 0},
    };
    for (const Row& r : rows) {
        std::unique_ptr<CFlatButton> b;
        if (r.menu) {
            b = Make(0, CFlatButton::kindPush, kMenuStyle, r.menu);
        } else {
            // An empty pop-up: the only item taken away before the menu style applies.
            b = Make(0);
            b->SetMenu(kOneItem);
            b->GetPopupMenu()->DeleteMenu(0, MF_BYPOSITION);
            b->SetStyle(kMenuStyle, TRUE);
        }
        b->SetTextColor(kCaptionRgb);
        EXPECT_EQ(r.enabled, b->IsWindowEnabled()) << r.menu;
        EXPECT_EQ(r.chosen, b->GetChosenCommand()) << r.menu;
        CSize caption = TextSize(r.caption, font);
        int arrowWidth = r.arrow ? 7 : 0;
        EXPECT_EQ(caption.cx + 3 * Cx() + 1 + arrowWidth, WindowSize(*b).cx) << r.menu;
        Rendering shot(*b);
        EXPECT_EQ(r.arrow ? 16 : 0, shot.Count(RGB(0, 0, 0))) << "arrow pixels, menu " << r.menu;
        EXPECT_EQ(*r.caption != 0, shot.Count(kCaptionRgb) > 0) << r.menu;
        CMenu* popup = b->GetPopupMenu();
        ASSERT_NE(nullptr, popup);
        for (int pos = 0; pos < popup->GetMenuItemCount(); pos++)
            EXPECT_EQ(pos == r.checkedPos, (popup->GetMenuState(pos, MF_BYPOSITION) & MF_CHECKED) != 0)
                << r.menu << " position " << pos;
    }
}

TEST_F(FlatButton, InactiveMenuButtonHasNoArrow)
{
    auto b = Make(0, CFlatButton::kindPush, kMenuStyle, kThreeItems);
    b->SetActive(FALSE);
    Rendering shot(*b);
    EXPECT_EQ(0, shot.Count(RGB(0, 0, 0)));
}

TEST_F(FlatButton, SelectMenuItemChangesOnlyForAnotherItemOfTheMenu)
{
    auto b = Make(0, CFlatButton::kindPush, kMenuStyle, kThreeItems);
    struct Row {
        UINT cmd;
        BOOL notify;
        UINT chosen;
        int checkedPos;
        std::vector<CommandSeen> posted;
    } rows[] = {
        {412, TRUE, 412, 0, {}},
        {kMissing, TRUE, 412, 0, {}},
        {413, FALSE, 413, 2, {}},
        {411, TRUE, 411, 1, {{411, 0}}},
        {411, TRUE, 411, 1, {}},
    };
    for (const Row& r : rows) {
        host.commands.clear();
        b->SelectMenuItem(r.cmd, r.notify);
        EXPECT_TRUE(host.commands.empty()) << "posted, not sent";
        PumpPending();
        EXPECT_EQ(r.posted, host.commands) << r.cmd;
        EXPECT_EQ(r.chosen, b->GetChosenCommand()) << r.cmd;
        CMenu* popup = b->GetPopupMenu();
        for (int pos = 0; pos < 3; pos++)
            EXPECT_EQ(pos == r.checkedPos, (popup->GetMenuState(pos, MF_BYPOSITION) & MF_CHECKED) != 0)
                << r.cmd << " position " << pos;
        CString expected;
        popup->GetMenuString(r.chosen, expected, MF_BYCOMMAND);
        EXPECT_EQ(TextSize(expected, font).cx + 3 * Cx() + 1 + 7, WindowSize(*b).cx) << r.cmd;
    }
    EXPECT_FALSE(b->GetChanged()) << "a choice by the program is not the user's";
}

TEST_F(FlatButton, PickedMenuItemIsTheUsersChoice)
{
    auto b = Make(0, CFlatButton::kindPush, kMenuStyle, kThreeItems);
    b->SendMessage(WM_COMMAND, 413, 0);
    EXPECT_EQ(413u, b->GetChosenCommand());
    EXPECT_TRUE(b->GetChanged());
    PumpPending();
    EXPECT_EQ(std::vector<CommandSeen>({{413, 0}}), host.commands);
}

TEST_F(FlatButton, NewMenuReplacesCaptionAndChoice)
{
    auto b = Make(0, CFlatButton::kindPush, kMenuStyle, kOneItem);
    ASSERT_FALSE(b->IsWindowEnabled());
    b->SetMenu(kThreeItems);
    EXPECT_EQ(412u, b->GetChosenCommand());
    EXPECT_TRUE(b->IsWindowEnabled());
    b->SetActive(FALSE);
    b->SetMenu(kOneItem);
    b->SetMenu(kThreeItems);
    EXPECT_FALSE(b->IsWindowEnabled()) << "an inactive button is not enabled by its menu";
}

TEST_F(FlatButton, SetCheckSendsOnlyChanges)
{
    auto b = Make(kBlue, CFlatButton::kindCheck);
    LPARAM from = reinterpret_cast<LPARAM>(b->GetSafeHwnd());
    struct Row {
        BOOL set;
        BOOL checked;
        size_t sent;
    } rows[] = {{FALSE, FALSE, 0}, {TRUE, TRUE, 1}, {TRUE, TRUE, 0}, {5, TRUE, 0}, {FALSE, FALSE, 1}};
    for (const Row& r : rows) {
        host.commands.clear();
        b->SetCheck(r.set);
        EXPECT_EQ(r.sent, host.commands.size()) << r.set;
        if (r.sent) {
            EXPECT_EQ(CommandSeen({kBlue, from}), host.commands.back());
        }
        EXPECT_EQ(r.checked, b->GetCheck()) << r.set;
    }
    EXPECT_FALSE(b->GetChanged());
}

//--- the real mouse

class FlatButtonMouse : public FlatButton {
protected:
    void Press(CFlatButton& b, CPoint at)
    {
        MouseTo(b, at);
        MouseButton(true);
    }
    bool PumpUntilCommands(size_t n, DWORD ms = 3000)
    {
        auto done = [&] { return host.commands.size() >= n; };
        return m_watch ? m_watch->PumpUntil(done, ms) : PumpUntil(done, ms);
    }
    // Until the held button has looked at the mouse twice more: a round of its
    // tracking timer that follows a change has seen it.
    void PumpRounds() { EXPECT_TRUE(Watch().PumpRounds(2)) << "the button tracks a held press"; }
    // Until the released button shows the look it ends with: it has seen the
    // release and stopped following the mouse.
    void PumpUntilLook(CFlatButton& b, COLORREF corner)
    {
        EXPECT_TRUE(Watch().PumpUntil([&] { return Rendering(b).At(0, 0) == corner; })) << "look " << corner;
        PumpPending();
    }
    MessageWatch& Watch() { return *m_watch; }
    std::unique_ptr<CFlatButton> Watched(std::unique_ptr<CFlatButton> b)
    {
        m_watch.reset(new MessageWatch(*b));
        return b;
    }
    std::unique_ptr<MessageWatch> m_watch;
    void TearDown() override
    {
        if (GetAsyncKeyState(VK_LBUTTON) & 0x8000)
            MouseButton(false);
        PumpPending();
        m_watch.reset();
        FlatButton::TearDown();
    }
};

TEST_F(FlatButtonMouse, ClickFiresOnRelease)
{
    auto b = Watched(Make(kBlue));
    Press(*b, CPoint(5, 5));
    PumpRounds();
    EXPECT_TRUE(host.commands.empty()) << "a plain button waits for the release";
    MouseButton(false);
    ASSERT_TRUE(PumpUntilCommands(1));
    EXPECT_EQ(CommandSeen({kBlue, reinterpret_cast<LPARAM>(b->GetSafeHwnd())}), host.commands[0]);
    Rendering shot(*b);
    EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), shot.At(0, 0)) << "hot after the release inside";
}

TEST_F(FlatButtonMouse, PressDraggedOutAndReleasedOutsideFiresNothing)
{
    auto b = Watched(Make(kBlue, CFlatButton::kindCheck));
    Press(*b, CPoint(5, 5));
    PumpRounds();
    MouseTo(*b, CPoint(200, 150));
    PumpRounds();
    {
        Rendering shot(*b);
        EXPECT_NE(GetSysColor(COLOR_3DSHADOW), shot.At(0, 0)) << "the pressed look follows the cursor out";
    }
    MouseButton(false);
    PumpUntilLook(*b, kUntouched);
    EXPECT_TRUE(host.commands.empty());
    EXPECT_FALSE(b->GetCheck());
    EXPECT_FALSE(b->GetChanged());
    Rendering shot(*b);
    EXPECT_EQ(kUntouched, shot.At(0, 0)) << "flat";
}

TEST_F(FlatButtonMouse, CheckButtonClickTogglesAndMarksTheUser)
{
    auto b = Make(kBlue, CFlatButton::kindCheck);
    for (BOOL expected : {TRUE, FALSE}) {
        host.commands.clear();
        Press(*b, CPoint(5, 5));
        MouseButton(false);
        ASSERT_TRUE(PumpUntilCommands(1));
        EXPECT_EQ(expected, b->GetCheck());
        EXPECT_TRUE(b->GetChanged());
        b->SetChanged(FALSE);
    }
}

TEST_F(FlatButtonMouse, FireOnPressFiresOnceBeforeTheRelease)
{
    auto b = Watched(Make(kBlue, CFlatButton::kindCheck, CFlatButton::styleFireOnPress));
    Press(*b, CPoint(5, 5));
    ASSERT_TRUE(PumpUntilCommands(1));
    EXPECT_TRUE(b->GetCheck());
    EXPECT_TRUE(b->GetChanged());
    MouseButton(false);
    EXPECT_TRUE(Watch().PumpUntilSeen(WM_LBUTTONUP)) << "the release reached the button";
    PumpPending();
    EXPECT_EQ(1u, host.commands.size()) << "the release does not fire again";
    EXPECT_TRUE(b->GetCheck());
}

TEST_F(FlatButtonMouse, AutoRepeatFiresWhileHeldAndStopsOnRelease)
{
    auto b = Watched(Make(kBlue, CFlatButton::kindPush, CFlatButton::styleFireOnPress | CFlatButton::styleAutoRepeat));
    DWORD pressed = GetTickCount();
    Press(*b, CPoint(5, 5));
    ASSERT_TRUE(PumpUntilCommands(1, 200));
    ASSERT_TRUE(PumpUntilCommands(2));
    DWORD second = GetTickCount();
    ASSERT_TRUE(PumpUntilCommands(4));
    DWORD fourth = GetTickCount();
    EXPECT_GE(second - pressed, 250u - 20u);
    EXPECT_GE(fourth - second, 2 * (100u - 20u));
    MouseButton(false);
    PumpUntilLook(*b, GetSysColor(COLOR_3DLIGHT));
    const size_t atRelease = host.commands.size();
    // The delay and repeat timers that fired the commands are gone: nothing
    // is left to fire another.
    const std::vector<UINT_PTR> repeaters = Watch().LesserTimers();
    EXPECT_FALSE(repeaters.empty()) << "the repeating was seen";
    for (UINT_PTR timer : repeaters)
        EXPECT_FALSE(::KillTimer(b->GetSafeHwnd(), timer)) << "timer " << timer << " still runs";
    PumpPending();
    EXPECT_EQ(atRelease, host.commands.size()) << "no command after the release";
}

TEST_F(FlatButtonMouse, InactiveButtonIgnoresTheMouse)
{
    auto b = Watched(Make(kBlue, CFlatButton::kindCheck, CFlatButton::styleFireOnPress));
    b->SetActive(FALSE);
    Press(*b, CPoint(5, 5));
    MouseButton(false);
    EXPECT_TRUE(Watch().PumpUntilSeen(WM_LBUTTONUP)) << "the click reached the button";
    PumpPending();
    EXPECT_TRUE(host.commands.empty());
    EXPECT_FALSE(b->GetCheck());
    Rendering shot(*b);
    EXPECT_EQ(kUntouched, shot.At(0, 0)) << "not hot";
}

TEST_F(FlatButtonMouse, HotWhileTheCursorIsOver)
{
    auto b = Make(kBlue);
    MouseTo(*b, CPoint(5, 5));
    ASSERT_TRUE(PumpUntil([&] { return Rendering(*b).At(0, 0) == GetSysColor(COLOR_3DLIGHT); }));
    MouseTo(*b, CPoint(200, 150));
    EXPECT_TRUE(PumpUntil([&] { return Rendering(*b).At(0, 0) == kUntouched; }));
}

} // namespace

namespace {

// Acts once from inside the pop-up menu's own loop, where the test's code
// does not otherwise run.
std::function<void()> g_inMenu;
void CALLBACK InMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (g_inMenu)
        g_inMenu();
}

void Key(WORD vk)
{
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = vk;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

TEST_F(FlatButtonMouse, ClickOpensTheMenuAndThePickIsTheUsersChoice)
{
    auto b = Make(0, CFlatButton::kindPush, kMenuStyle, kThreeItems);
    host.SetForegroundWindow();
    bool sunkenWhileOpen = false;
    g_inMenu = [&] {
        sunkenWhileOpen = Rendering(*b).At(0, 0) == GetSysColor(COLOR_3DSHADOW);
        Key(VK_DOWN);
        Key(VK_DOWN);
        Key(VK_RETURN);
    };
    SetTimer(nullptr, 0, 10, InMenu);
    Press(*b, CPoint(5, 5));
    MouseButton(false);
    // The click itself is a command too; the pick follows it.
    ASSERT_TRUE(PumpUntilCommands(2));
    g_inMenu = nullptr;
    EXPECT_TRUE(sunkenWhileOpen) << "pressed while the menu shows";
    EXPECT_EQ(CommandSeen({150, reinterpret_cast<LPARAM>(b->GetSafeHwnd())}), host.commands[0]);
    EXPECT_EQ(CommandSeen({411, 0}), host.commands[1]);
    EXPECT_EQ(411u, b->GetChosenCommand());
    EXPECT_TRUE(b->GetChanged());
    EXPECT_NE(GetSysColor(COLOR_3DSHADOW), Rendering(*b).At(0, 0)) << "not pressed once the menu closes";
}

TEST(FlatButtonResources, DropArrowIsInTheResourceLibrary)
{
    HINSTANCE library = LoadLibraryA("QuiRes1033.dll");
    ASSERT_NE(nullptr, library);
    HINSTANCE previous = AfxGetResourceHandle();
    AfxSetResourceHandle(library);
    Quillmate::CImage arrow;
    EXPECT_TRUE(arrow.Load(IDB_DROP_ARROW, RGB(255, 0, 255)));
    EXPECT_EQ(7, arrow.GetWidth());
    EXPECT_EQ(4, arrow.GetHeight());
    AfxSetResourceHandle(previous);
    FreeLibrary(library);
}

TEST(FlatButtonResources, PicturesShowNoTransparentColourOnScreen)
{
    // The program draws every button picture masked with its one transparent
    // colour: a picture keyed in any other colour shows a coloured square.
    const COLORREF programTransparent = PALETTERGB(0, 255, 0);
    HINSTANCE library = LoadLibraryA("QuiRes1033.dll");
    ASSERT_NE(nullptr, library);
    HINSTANCE previous = AfxGetResourceHandle();
    AfxSetResourceHandle(library);
    const UINT pictures[] = {ID_DEST_FILE_AND_SEND, ID_DEST_CLOSE_NOTE, ID_DEST_FILE, ID_DEST_HELP, IDB_DROP_ARROW,
                             IDB_DROP_BUTTON, ID_NOTEBOX_SCROLL_UP, ID_NOTEBOX_SCROLL_DOWN, ID_NOTE_REMOVE,
                             ID_NOTE_CONTACTS, ID_NOTE_ATTACH, ID_NOTE_VIEWER, IDR_WEBCAL_PANE, IDR_WEBTODO_PANE,
                             IDR_MYTIME_PANE, IDB_WEBCAL_DISABLED, IDB_WEBTODO_DISABLED, IDR_WEBCAL_DROPDOWN};
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP surface = CreateCompatibleBitmap(screen, 32, 32);
    ReleaseDC(nullptr, screen);
    HGDIOBJ kept = SelectObject(dc, surface);
    for (UINT id : pictures) {
        SCOPED_TRACE(id);
        Quillmate::CImage picture;
        ASSERT_TRUE(picture.Load(id, programTransparent));
        ASSERT_LE(picture.GetWidth(), 32);
        ASSERT_LE(picture.GetHeight(), 32);
        RECT all = {0, 0, 32, 32};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        CDC target;
        target.Attach(dc);
        picture.Draw(&target, 0, 0, FALSE);
        target.Detach();
        int keyed = 0;
        for (int y = 0; y < picture.GetHeight(); ++y)
            for (int x = 0; x < picture.GetWidth(); ++x) {
                const COLORREF c = GetPixel(dc, x, y);
                keyed += c == RGB(255, 0, 255) || c == RGB(0, 255, 0);
            }
        EXPECT_EQ(0, keyed);
    }
    SelectObject(dc, kept);
    DeleteObject(surface);
    DeleteDC(dc);
    AfxSetResourceHandle(previous);
    FreeLibrary(library);
}

} // namespace
