// Message maps: which row takes a message, in which class, with which arguments.
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

const CRect kRect(0, 0, 200, 100);
const UINT kPing = ::RegisterWindowMessage("QUIFW_TEST_PING");
const UINT kOther = ::RegisterWindowMessage("QUIFW_TEST_OTHER");

EventLog g_log;

class CBaseWnd : public CWnd {
protected:
    afx_msg LRESULT OnBaseFirst(WPARAM, LPARAM) { g_log.Add("base first"); return 1; }
    afx_msg LRESULT OnBaseSecond(WPARAM, LPARAM) { g_log.Add("base second"); return 2; }
    afx_msg void OnBaseCommand() { g_log.Add("base command"); }
    afx_msg BOOL OnBaseTip(UINT, NMHDR*, LRESULT* pResult)
    {
        g_log.Add("base tip");
        *pResult = 7;
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_MESSAGE(WM_APP + 1, OnBaseFirst)
    ON_MESSAGE(WM_APP + 2, OnBaseSecond)
    ON_COMMAND(100, OnBaseCommand)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFFFFFF, OnBaseTip)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
public:
    UINT lastSizeType = 0;
    int lastCx = 0, lastCy = 0, lastX = 0, lastY = 0;
    UINT lastCtlColor = 99;
    CBrush brush;

protected:
    afx_msg LRESULT OnDerivedFirst(WPARAM wParam, LPARAM lParam)
    {
        g_log.Add("derived first " + std::to_string(wParam) + " " + std::to_string(lParam));
        return 11;
    }
    afx_msg void OnDerivedCommand() { g_log.Add("derived command"); }
    afx_msg void OnRange(UINT nID) { g_log.Add("range " + std::to_string(nID)); }
    afx_msg void OnNameChange() { g_log.Add("name changed"); }
    afx_msg void OnListChanged(NMHDR* pNMHDR, LRESULT* pResult)
    {
        g_log.Add("list changed from " + std::to_string(pNMHDR->idFrom));
        *pResult = 5;
    }
    afx_msg BOOL OnDerivedTip(UINT nID, NMHDR*, LRESULT*)
    {
        g_log.Add("derived tip declines " + std::to_string(nID));
        return FALSE;
    }
    afx_msg LRESULT OnPing(WPARAM wParam, LPARAM) { g_log.Add("ping " + std::to_string(wParam)); return 33; }
    afx_msg void OnSize(UINT nType, int cx, int cy)
    {
        lastSizeType = nType;
        lastCx = cx;
        lastCy = cy;
    }
    afx_msg void OnMove(int x, int y)
    {
        lastX = x;
        lastY = y;
    }
    afx_msg HBRUSH OnCtlColor(CDC*, CWnd*, UINT nCtlColor)
    {
        lastCtlColor = nCtlColor;
        return brush;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
    ON_MESSAGE(WM_APP + 1, OnDerivedFirst)
    ON_COMMAND(100, OnDerivedCommand)
    ON_COMMAND_RANGE(400, 404, OnRange)
    ON_EN_CHANGE(110, OnNameChange)
    ON_NOTIFY(LVN_ITEMCHANGED, 137, OnListChanged)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFFFFFF, OnDerivedTip)
    ON_REGISTERED_MESSAGE(kPing, OnPing)
    ON_WM_SIZE()
    ON_WM_MOVE()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

class MessageMap : public testing::Test {
protected:
    void SetUp() override
    {
        g_log.Clear();
        wnd.brush.CreateSolidBrush(RGB(1, 2, 3));
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, kRect, nullptr, 0));
    }
    LRESULT Command(UINT id, UINT code, HWND hFrom)
    {
        return wnd.SendMessage(WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(hFrom));
    }
    CDerivedWnd wnd;
};

TEST_F(MessageMap, DerivedRowsWinAndTheBaseTakesTheRest)
{
    struct Row {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT result;
        const char* log;
    };
    const Row rows[] = {
        {WM_APP + 1, 3, 4, 11, "derived first 3 4"},
        {WM_APP + 2, 0, 0, 2, "base second"},
        {kPing, 9, 0, 33, "ping 9"},
        {kOther, 0, 0, 0, ""},
        {WM_APP + 3, 0, 0, 0, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.log);
        g_log.Clear();
        EXPECT_EQ(r.result, wnd.SendMessage(r.message, r.wParam, r.lParam));
        EXPECT_EQ(r.log, g_log.Joined());
    }
}

TEST_F(MessageMap, CommandsAndControlNotificationsFindTheirRows)
{
    HWND hControl = wnd.m_hWnd;   // any window stands for the sending control
    struct Row {
        UINT id;
        UINT code;
        HWND from;
        const char* log;
    };
    const Row rows[] = {
        {100, 0, nullptr, "derived command"},   // menu
        {100, 1, nullptr, "derived command"},   // accelerator
        {100, BN_CLICKED, hControl, "derived command"},
        {100, EN_CHANGE, hControl, ""},         // a notification is not the command
        {110, EN_CHANGE, hControl, "name changed"},
        {110, 0, nullptr, ""},
        {399, 0, nullptr, ""},
        {400, 0, nullptr, "range 400"},
        {404, 0, nullptr, "range 404"},
        {405, 0, nullptr, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.id) + "/" + std::to_string(r.code));
        g_log.Clear();
        Command(r.id, r.code, r.from);
        EXPECT_EQ(r.log, g_log.Joined());
    }
}

TEST_F(MessageMap, NotificationsReachTheirRowsAndDeclinedOnesGoOn)
{
    NMHDR list = {wnd.m_hWnd, 137, static_cast<UINT>(LVN_ITEMCHANGED)};
    EXPECT_EQ(5, wnd.SendMessage(WM_NOTIFY, 137, reinterpret_cast<LPARAM>(&list)));
    EXPECT_EQ("list changed from 137", g_log.Joined());

    g_log.Clear();
    NMHDR other = {wnd.m_hWnd, 138, static_cast<UINT>(LVN_ITEMCHANGED)};
    EXPECT_EQ(0, wnd.SendMessage(WM_NOTIFY, 138, reinterpret_cast<LPARAM>(&other)));
    EXPECT_EQ("", g_log.Joined());

    // A tool named by its window handle: any id, declined by the derived row.
    g_log.Clear();
    NMTTDISPINFOA tip = {};
    tip.hdr = {wnd.m_hWnd, 0x00230042, static_cast<UINT>(TTN_NEEDTEXTA)};
    EXPECT_EQ(7, wnd.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip)));
    EXPECT_EQ("derived tip declines 2293826,base tip", g_log.Joined());
}

TEST_F(MessageMap, AskingOnlyWhetherACommandIsHandledCallsNothing)
{
    AFX_CMDHANDLERINFO info = {};
    EXPECT_TRUE(wnd.OnCmdMsg(402, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(&wnd, info.pTarget);
    ASSERT_NE(nullptr, info.pEntry);
    EXPECT_EQ(400u, info.pEntry->nID);
    EXPECT_FALSE(wnd.OnCmdMsg(405, CN_COMMAND, nullptr, &info));
    EXPECT_EQ("", g_log.Joined());
}

TEST_F(MessageMap, WindowMessageArgumentsAreDecodedWithTheirSigns)
{
    wnd.SendMessage(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(300, 200));
    EXPECT_EQ(static_cast<UINT>(SIZE_MAXIMIZED), wnd.lastSizeType);
    EXPECT_EQ(300, wnd.lastCx);
    EXPECT_EQ(200, wnd.lastCy);
    wnd.SendMessage(WM_MOVE, 0, MAKELPARAM(-5, -7));
    EXPECT_EQ(-5, wnd.lastX);
    EXPECT_EQ(-7, wnd.lastY);

    struct Row {
        UINT message;
        UINT kind;
    };
    const Row rows[] = {
        {WM_CTLCOLOREDIT, CTLCOLOR_EDIT},
        {WM_CTLCOLORSTATIC, CTLCOLOR_STATIC},
        {WM_CTLCOLORLISTBOX, CTLCOLOR_LISTBOX},
        {WM_CTLCOLORBTN, CTLCOLOR_BTN},
    };
    HDC hDC = ::GetDC(wnd.m_hWnd);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.message);
        LRESULT brush = wnd.SendMessage(r.message, reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(wnd.m_hWnd));
        EXPECT_EQ(r.kind, wnd.lastCtlColor);
        EXPECT_EQ(reinterpret_cast<LRESULT>(wnd.brush.m_hObject), brush);
    }
    ::ReleaseDC(wnd.m_hWnd, hDC);
}

} // namespace
