// Windows and their objects: binding, subclassing, self-deletion, failure
// inside a window procedure, command routing and the PreTranslateMessage walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <stdexcept>

#include "TestSupport.h"

namespace {

const CRect kRect(10, 10, 210, 110);

// Every message the object saw, in order.
template <class Base> class CRecording : public Base {
public:
    std::vector<UINT> seen;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(message);
        return Base::WindowProc(message, wParam, lParam);
    }
};
typedef CRecording<CWnd> CRecordingWnd;
typedef CRecording<CEdit> CRecordingEdit;

// Messages sent on this thread, as the system delivers them.
thread_local std::vector<std::pair<HWND, UINT>>* t_pDelivered = nullptr;

LRESULT CALLBACK WatchSent(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* p = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && t_pDelivered)
        t_pDelivered->emplace_back(p->hwnd, p->message);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(CWnd, ObjectSeesEveryMessageFromTheFirst)
{
    std::vector<std::pair<HWND, UINT>> sent;
    t_pDelivered = &sent;
    HHOOK hook = ::SetWindowsHookEx(WH_CALLWNDPROC, WatchSent, nullptr, ::GetCurrentThreadId());
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "bound", WS_POPUP, kRect, nullptr, 0));
    ::UnhookWindowsHookEx(hook);
    t_pDelivered = nullptr;
    std::vector<UINT> delivered;
    for (const auto& s : sent) {
        if (s.first == wnd.m_hWnd)
            delivered.push_back(s.second);
    }

    ASSERT_FALSE(wnd.seen.empty());
    EXPECT_EQ(delivered, wnd.seen) << "the object missed messages sent before it was bound";
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(wnd.m_hWnd));
}

TEST(CWnd, SystemControlIsSubclassedBeforeItsCreationMessages)
{
    CRecordingWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, kRect, nullptr, 0));
    CRecordingEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD, CRect(0, 0, 50, 20), &parent, 7));
    EXPECT_EQ(WM_NCCREATE, edit.seen.front());
    EXPECT_NE(edit.seen.end(), std::find(edit.seen.begin(), edit.seen.end(), static_cast<UINT>(WM_CREATE)));
    edit.SetWindowText("typed");
    CString text;
    edit.GetWindowText(text);
    EXPECT_STREQ("typed", text) << "the edit's own procedure still runs behind the object";
}

TEST(CWnd, WindowsWithoutObjectsGetTemporaryOnes)
{
    HWND hRaw = ::CreateWindowEx(0, "STATIC", "raw", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hRaw);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hRaw));
    CWnd* pTemp = CWnd::FromHandle(hRaw);
    ASSERT_NE(nullptr, pTemp);
    EXPECT_EQ(hRaw, pTemp->m_hWnd);
    EXPECT_EQ(pTemp, CWnd::FromHandle(hRaw));
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));
    ::DestroyWindow(hRaw);

    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, kRect, nullptr, 0));
    HWND hWnd = wnd.m_hWnd;
    EXPECT_EQ(&wnd, CWnd::FromHandle(hWnd));
    wnd.DestroyWindow();
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

// An edit that refuses the letter x while it is subclassed.
class CNoXEdit : public CWnd {
protected:
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        if (nChar != 'x')
            CWnd::OnChar(nChar, nRepCnt, nFlags);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CNoXEdit, CWnd)
    ON_WM_CHAR()
END_MESSAGE_MAP()

TEST(CWnd, SubclassingPutsTheMapInFrontUntilUndone)
{
    HWND hEdit = ::CreateWindowEx(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hEdit);
    WNDPROC original = reinterpret_cast<WNDPROC>(::GetWindowLongPtr(hEdit, GWLP_WNDPROC));
    CNoXEdit edit;
    ASSERT_TRUE(edit.SubclassWindow(hEdit));
    EXPECT_FALSE(CNoXEdit().SubclassWindow(hEdit)) << "a window has one object";
    for (char c : std::string("axb"))
        ::SendMessage(hEdit, WM_CHAR, c, 0);
    char text[16] = "";
    ::GetWindowText(hEdit, text, sizeof(text));
    EXPECT_STREQ("ab", text);

    EXPECT_EQ(hEdit, edit.UnsubclassWindow());
    EXPECT_EQ(original, reinterpret_cast<WNDPROC>(::GetWindowLongPtr(hEdit, GWLP_WNDPROC)));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hEdit));
    ::SendMessage(hEdit, WM_CHAR, 'x', 0);
    ::GetWindowText(hEdit, text, sizeof(text));
    EXPECT_STREQ("abx", text);
    ::DestroyWindow(hEdit);
}

//--- windows that own their objects

int g_nDeleted = 0;

class CSelfDeleting : public CWnd {
public:
    explicit CSelfDeleting(BOOL bFailCreate = FALSE) : m_bFailCreate(bFailCreate) {}
    ~CSelfDeleting() override { ++g_nDeleted; }

protected:
    void PostNcDestroy() override { delete this; }
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        return m_bFailCreate ? -1 : CWnd::OnCreate(lpcs);
    }
    DECLARE_MESSAGE_MAP()

private:
    BOOL m_bFailCreate;
};
BEGIN_MESSAGE_MAP(CSelfDeleting, CWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

enum class Ending { DestroyWindow, ParentDestroyed, CloseMessage };

struct EndingCase {
    const char* name;
    Ending ending;
};

const EndingCase kEndings[] = {
    {"its own DestroyWindow", Ending::DestroyWindow},
    {"its parent destroyed", Ending::ParentDestroyed},
    {"WM_CLOSE to the default procedure", Ending::CloseMessage},
};

TEST(CWnd, SelfDeletingWindowIsDeletedExactlyOnce)
{
    for (const EndingCase& c : kEndings) {
        SCOPED_TRACE(c.name);
        g_nDeleted = 0;
        CRecordingWnd parent;
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP, kRect, nullptr, 0));
        CSelfDeleting* pWnd = new CSelfDeleting;
        BOOL child = c.ending == Ending::ParentDestroyed;
        ASSERT_TRUE(pWnd->CreateEx(0, nullptr, "", child ? WS_CHILD : WS_POPUP, kRect, child ? &parent : nullptr, 1));
        HWND hWnd = pWnd->m_hWnd;
        switch (c.ending) {
        case Ending::DestroyWindow:
            pWnd->DestroyWindow();
            break;
        case Ending::ParentDestroyed:
            parent.DestroyWindow();
            break;
        case Ending::CloseMessage:
            ::PostMessage(hWnd, WM_CLOSE, 0, 0);
            PumpUntil([&] { return !::IsWindow(hWnd); });
            break;
        }
        EXPECT_FALSE(::IsWindow(hWnd));
        EXPECT_EQ(1, g_nDeleted);
        EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    }
}

TEST(CWnd, FailedCreationLeavesTheObjectToItsMaker)
{
    g_nDeleted = 0;
    CSelfDeleting* pWnd = new CSelfDeleting(TRUE);
    EXPECT_FALSE(pWnd->CreateEx(0, nullptr, "", WS_POPUP, kRect, nullptr, 0));
    EXPECT_EQ(0, g_nDeleted) << "deleted inside Create: the caller would delete it again";
    EXPECT_EQ(nullptr, pWnd->m_hWnd);
    delete pWnd;
    EXPECT_EQ(1, g_nDeleted);
}

TEST(CWnd, ObjectGoingFirstTakesItsWindowWithIt)
{
    HWND hWnd = nullptr;
    {
        CRecordingWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, kRect, nullptr, 0));
        hWnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

//--- failures inside handlers

class CDiskFullException : public CException {
public:
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT*) override
    {
        lstrcpyn(lpszError, "The disk is full.", static_cast<int>(nMaxError));
        return TRUE;
    }
};

class CThrowingWnd : public CWnd {
public:
    BOOL throwOnCreate = FALSE;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (throwOnCreate)
            throw std::runtime_error("no memory for the pane");
        return CWnd::OnCreate(lpcs);
    }
    afx_msg LRESULT OnSave(WPARAM, LPARAM) { throw new CDiskFullException; }
    afx_msg LRESULT OnParse(WPARAM, LPARAM) { throw std::bad_alloc(); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CThrowingWnd, CWnd)
    ON_WM_CREATE()
    ON_MESSAGE(WM_APP, OnSave)
    ON_MESSAGE(WM_APP + 1, OnParse)
END_MESSAGE_MAP()

// Memory that ran out for the handler has run out for its report too.
class CFailingPrompts : public CPromptHandler {
public:
    CFailingPrompts() : m_pPrevious(AfxSetPromptHandler(this)) {}
    ~CFailingPrompts() override { AfxSetPromptHandler(m_pPrevious); }
    CPromptAnswer Respond(const CPromptRequest&) override
    {
        ++asked;
        throw std::bad_alloc();
    }
    int asked = 0;

private:
    CPromptHandler* m_pPrevious;
};

TEST(CWnd, ExceptionsStopAtTheWindowProcedureAndAreReported)
{
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    prompts.AnswerNext(IDOK);
    CThrowingWnd failing;
    failing.throwOnCreate = TRUE;
    EXPECT_FALSE(failing.CreateEx(0, nullptr, "", WS_POPUP, kRect, nullptr, 0));
    EXPECT_EQ(nullptr, failing.m_hWnd);

    CThrowingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, kRect, nullptr, 0));
    EXPECT_EQ(0, wnd.SendMessage(WM_APP));
    EXPECT_TRUE(::IsWindow(wnd.m_hWnd));

    prompts.AnswerNext(IDOK);
    EXPECT_EQ(0, wnd.SendMessage(WM_APP + 1));

    ASSERT_EQ(3u, prompts.Asked().size());
    EXPECT_STREQ("no memory for the pane", prompts.Asked()[0].text);
    EXPECT_STREQ("The disk is full.", prompts.Asked()[1].text);
    EXPECT_STREQ("Out of memory.", prompts.Asked()[2].text);
    EXPECT_EQ(0, prompts.Unexpected());
}

TEST(CWnd, AFailureThatCannotBeToldStillStopsAtTheWindowProcedure)
{
    CThrowingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, kRect, nullptr, 0));
    CFailingPrompts prompts;
    for (UINT message : {WM_APP, WM_APP + 1}) {
        EXPECT_EQ(0, wnd.SendMessage(message));
        EXPECT_TRUE(::IsWindow(wnd.m_hWnd));
    }
    EXPECT_EQ(2, prompts.asked);
}

//--- command routing through a chain of windows

EventLog g_routes;

// Each window offers what it does not handle to its parent (or owner).
class CChainWnd : public CWnd {
public:
    explicit CChainWnd(const char* name) : m_name(name) {}
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pInfo) override
    {
        if (CWnd::OnCmdMsg(nID, nCode, pExtra, pInfo))
            return TRUE;
        g_routes.Add(m_name + " passes " + std::to_string(nID));
        CWnd* pParent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
        return pParent && pParent->OnCmdMsg(nID, nCode, pExtra, pInfo);
    }

private:
    std::string m_name;
};

class CNoteLike : public CChainWnd {
public:
    CNoteLike() : CChainWnd("note") {}

protected:
    afx_msg void OnFile() { g_routes.Add("note files"); }
    afx_msg void OnFieldChange() { g_routes.Add("note sees the field change"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CNoteLike, CChainWnd)
    ON_COMMAND(169, OnFile)
    ON_EN_CHANGE(126, OnFieldChange)
END_MESSAGE_MAP()

class CPaneLike : public CChainWnd {
public:
    CPaneLike() : CChainWnd("pane") {}

protected:
    afx_msg void OnToggle() { g_routes.Add("pane toggles"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPaneLike, CChainWnd)
    ON_COMMAND(507, OnToggle)
END_MESSAGE_MAP()

TEST(CWnd, CommandsClimbFromPaneThroughDestinationToNote)
{
    CNoteLike note;
    ASSERT_TRUE(note.CreateEx(0, nullptr, "note", WS_POPUP, kRect, nullptr, 0));
    CChainWnd dest("destination");
    ASSERT_TRUE(dest.CreateEx(0, nullptr, "", WS_POPUP, kRect, &note, 0));   // owned by the note
    CPaneLike pane;
    ASSERT_TRUE(pane.CreateEx(0, nullptr, "", WS_CHILD, CRect(0, 0, 100, 30), &dest, 507));
    CButton check;
    ASSERT_TRUE(check.Create("", WS_CHILD | BS_PUSHBUTTON, CRect(0, 0, 10, 10), &pane, 507));
    CEdit field;
    ASSERT_TRUE(field.Create(WS_CHILD, CRect(20, 0, 90, 20), &pane, 126));

    struct Row {
        UINT id;
        UINT code;
        HWND from;
        const char* route;
    };
    const Row rows[] = {
        {507, BN_CLICKED, check.m_hWnd, "pane toggles"},
        {169, 0, nullptr, "pane passes 169,destination passes 169,note files"},
        {126, EN_CHANGE, field.m_hWnd, "pane passes 126,destination passes 126,note sees the field change"},
        {999, 0, nullptr, "pane passes 999,destination passes 999,note passes 999"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.id);
        g_routes.Clear();
        pane.SendMessage(WM_COMMAND, MAKEWPARAM(r.id, r.code), reinterpret_cast<LPARAM>(r.from));
        EXPECT_EQ(r.route, g_routes.Joined());
    }
}

//--- PreTranslateMessage from the message's window to the top level

EventLog g_translations;

class CTranslatingWnd : public CWnd {
public:
    CTranslatingWnd(const char* name, UINT consumedKey = 0) : m_name(name), m_consumedKey(consumedKey) {}
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        g_translations.Add(m_name);
        return pMsg->message == WM_KEYDOWN && pMsg->wParam == m_consumedKey;
    }

private:
    std::string m_name;
    UINT m_consumedKey;
};

MSG TakePosted(HWND hWnd, UINT message, WPARAM wParam)
{
    ::PostMessage(hWnd, message, wParam, 0);
    MSG msg = {};
    ::PeekMessage(&msg, hWnd, message, message, PM_REMOVE);
    return msg;
}

TEST(CWnd, PreTranslateWalksUpToTheTopAndStopsWhereTaken)
{
    CTranslatingWnd top("top"), owned("owned popup", VK_F3), child("child", VK_F2), grandchild("grandchild");
    ASSERT_TRUE(top.CreateEx(0, nullptr, "", WS_POPUP, kRect, nullptr, 0));
    ASSERT_TRUE(owned.CreateEx(0, nullptr, "", WS_POPUP, kRect, &top, 0));
    ASSERT_TRUE(child.CreateEx(0, nullptr, "", WS_CHILD, kRect, &owned, 1));
    ASSERT_TRUE(grandchild.CreateEx(0, "EDIT", "", WS_CHILD, kRect, &child, 2));

    struct Row {
        UINT key;
        BOOL taken;
        const char* walk;
    };
    const Row rows[] = {
        {'A', FALSE, "grandchild,child,owned popup,top"},
        {VK_F2, TRUE, "grandchild,child"},
        {VK_F3, TRUE, "grandchild,child,owned popup"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.walk);
        g_translations.Clear();
        MSG msg = TakePosted(grandchild.m_hWnd, WM_KEYDOWN, r.key);
        EXPECT_EQ(r.taken, CWnd::WalkPreTranslateTree(&msg));
        EXPECT_EQ(r.walk, g_translations.Joined());
    }
}

TEST(CWnd, ToolTipsTakeEachChildAsAToolOnItsFirstMouseMessage)
{
    CRecordingWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP, kRect, nullptr, 0));
    CButton button;
    ASSERT_TRUE(button.Create("b", WS_CHILD | WS_VISIBLE, CRect(0, 0, 40, 20), &parent, 5));
    ASSERT_TRUE(parent.EnableToolTips(TRUE));
    HWND hTip = parent.GetToolTipHwnd();
    ASSERT_NE(nullptr, hTip);
    for (int i = 0; i < 2; ++i) {
        MSG msg = TakePosted(button.m_hWnd, WM_MOUSEMOVE, 0);
        CWnd::WalkPreTranslateTree(&msg);
    }
    EXPECT_EQ(1, ::SendMessage(hTip, TTM_GETTOOLCOUNT, 0, 0));
    TOOLINFO ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = parent.m_hWnd;
    ti.uId = reinterpret_cast<UINT_PTR>(button.m_hWnd);
    EXPECT_TRUE(::SendMessage(hTip, TTM_GETTOOLINFO, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_TRUE(ti.uFlags & TTF_IDISHWND);
    parent.DestroyWindow();
    EXPECT_FALSE(::IsWindow(hTip));
}

} // namespace
