// The application object: the idle loop, the message pump's translation,
// start and end of the program, the profile and the command line.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <new>

#include "TestSupport.h"
#include "resources/TestIds.h"

namespace {

EventLog g_log;

class CTimerWnd : public CWnd {
protected:
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        KillTimer(nIDEvent);
        g_log.Add("timer");
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTimerWnd, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// Wants idle time twice per quiet spell; after the first spell a timer
// brings a message, after the second the program is told to quit.
class CIdleApp : public CWinApp {
public:
    CTimerWnd* pTimerWnd = nullptr;
    int spells = 0;
    BOOL OnIdle(LONG lCount) override
    {
        g_log.Add("idle " + std::to_string(lCount));
        if (lCount < 2)
            return TRUE;
        if (spells++ == 0)
            pTimerWnd->SetTimer(1, 30);
        else
            ::PostQuitMessage(7);
        return FALSE;
    }
};

TEST(CWinApp, IdleCountsRiseUntilRefusedAndRestartAfterAMessage)
{
    g_log.Clear();
    CIdleApp app;
    CTimerWnd timer;
    ASSERT_TRUE(timer.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    app.pTimerWnd = &timer;
    EXPECT_EQ(7, app.Run());
    EXPECT_EQ("idle 0,idle 1,idle 2,timer,idle 0,idle 1,idle 2", g_log.Joined());
    EXPECT_FALSE(app.IsRunning());
}

// Its first idle work runs out of memory; the loop must tell of it and go on.
class CFailingIdleApp : public CWinApp {
public:
    int calls = 0;
    BOOL OnIdle(LONG) override
    {
        if (++calls == 1)
            throw std::bad_alloc();
        ::PostQuitMessage(9);
        return FALSE;
    }
};

TEST(CWinApp, AFailureInIdleWorkIsToldAndTheLoopGoesOn)
{
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    CFailingIdleApp app;
    CTimerWnd timer;
    ASSERT_TRUE(timer.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    timer.SetTimer(1, 10);
    int result = -1;
    EXPECT_NO_THROW(result = app.Run());
    EXPECT_EQ(9, result);
    EXPECT_EQ(2, app.calls);
    ASSERT_EQ(1u, prompts.Asked().size());
    EXPECT_STREQ("Out of memory.", prompts.Asked()[0].text);
}

class CTranslatingWnd : public CWnd {
public:
    explicit CTranslatingWnd(const char* name) : m_name(name) {}
    BOOL PreTranslateMessage(MSG*) override
    {
        g_log.Add(m_name);
        return FALSE;
    }

private:
    std::string m_name;
};

TEST(CWinApp, MainWindowSeesMessagesOfOtherWindowsLast)
{
    CWinApp app;
    CTranslatingWnd main("main"), mainChild("main child"), other("other"), otherChild("other child");
    ASSERT_TRUE(main.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    ASSERT_TRUE(mainChild.CreateEx(0, nullptr, "", WS_CHILD, CRect(0, 0, 5, 5), &main, 1));
    ASSERT_TRUE(other.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    ASSERT_TRUE(otherChild.CreateEx(0, nullptr, "", WS_CHILD, CRect(0, 0, 5, 5), &other, 1));
    app.m_pMainWnd = &main;

    struct Row {
        CWnd* target;
        const char* walk;
    };
    const Row rows[] = {
        {&otherChild, "other child,other,main"},
        {&mainChild, "main child,main"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.walk);
        g_log.Clear();
        r.target->PostMessage(WM_KEYDOWN, 'A');
        MSG msg;
        ASSERT_TRUE(::PeekMessage(&msg, r.target->m_hWnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
        EXPECT_FALSE(app.PreTranslateMessage(&msg));
        EXPECT_EQ(r.walk, g_log.Joined());
    }
    app.m_pMainWnd = nullptr;
}

class CClosingWnd : public CWnd {
protected:
    afx_msg LRESULT OnClose(WPARAM, LPARAM)
    {
        DestroyWindow();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CClosingWnd, CWnd)
    ON_MESSAGE(WM_APP, OnClose)
END_MESSAGE_MAP()

TEST(CWinApp, DestroyingTheMainWindowEndsTheLoop)
{
    CWinApp app;
    CClosingWnd main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    app.m_pMainWnd = &main;
    main.PostMessage(WM_APP);
    EXPECT_EQ(0, app.Run());
    EXPECT_EQ(nullptr, app.m_pMainWnd);

    // Outside the loop nothing asks the program to quit.
    CClosingWnd later;
    ASSERT_TRUE(later.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    app.m_pMainWnd = &later;
    later.DestroyWindow();
    MSG msg;
    EXPECT_FALSE(::PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

//--- a whole program run

int g_nFramesDeleted = 0;

class CTestFrame : public CFrameWnd {
public:
    ~CTestFrame() override { ++g_nFramesDeleted; }

protected:
    void PostNcDestroy() override { delete this; }
};

class CProgramApp : public CWinApp {
public:
    BOOL succeed = TRUE;
    BOOL mainAliveAtExit = FALSE;
    CString titleAtStart;

    BOOL InitInstance() override
    {
        titleAtStart = AfxGetAppName();
        CTestFrame* pFrame = new CTestFrame;
        if (!pFrame->LoadFrame(IDS_FRAME_TITLE)) {
            delete pFrame;
            return FALSE;
        }
        m_pMainWnd = pFrame;
        g_log.Clear();
        pFrame->SendMessage(WM_COMMAND, ID_APP_ABOUT);
        pFrame->SendMessage(WM_COMMAND, ID_APP_EXIT);
        ::PostQuitMessage(3);
        return succeed;
    }
    int ExitInstance() override
    {
        mainAliveAtExit = m_pMainWnd && ::IsWindow(m_pMainWnd->m_hWnd);
        return CWinApp::ExitInstance() + 40;
    }

protected:
    afx_msg void OnAbout() { g_log.Add("about"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CProgramApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAbout)
END_MESSAGE_MAP()

TEST(CWinApp, ProgramRunsInitRunExitAndLeavesNoMainWindow)
{
    TestResources resources;
    ASSERT_TRUE(resources.Loaded());
    struct Row {
        BOOL initSucceeds;
        int exitCode;
    };
    const Row rows[] = {{TRUE, 43}, {FALSE, 40}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.initSucceeds);
        g_nFramesDeleted = 0;
        CProgramApp app;
        app.succeed = r.initSucceeds;
        char commandLine[] = "";
        EXPECT_EQ(r.exitCode, AfxWinMain(::GetModuleHandle(nullptr), nullptr, commandLine, SW_HIDE));
        // The title is the program's own string even with a resource library in place.
        EXPECT_STREQ("Framework Tests", app.titleAtStart);
        EXPECT_EQ("about", g_log.Joined()) << "the frame passes commands it does not handle to the application";
        EXPECT_TRUE(app.mainAliveAtExit);
        EXPECT_EQ(1, g_nFramesDeleted);
        EXPECT_EQ(nullptr, app.m_pMainWnd);
        MSG msg;
        while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
}

TEST(CFrameWnd, TakesItsTitleFromTheFirstLineOfItsString)
{
    TestResources resources;
    CFrameWnd frame;
    ASSERT_TRUE(frame.LoadFrame(IDS_FRAME_TITLE, WS_OVERLAPPEDWINDOW));
    CString title;
    frame.GetWindowText(title);
    EXPECT_STREQ("Frame title", title);
    EXPECT_FALSE(frame.IsWindowVisible());
}

//--- profile and command line

class ProfileTest : public testing::Test {
protected:
    void TearDown() override { ::SHDeleteKey(HKEY_CURRENT_USER, "Software\\QuillmateFrameworkTest"); }
};

TEST_F(ProfileTest, ValuesGoUnderTheRegistryKeyAndDefaultsFillGaps)
{
    CWinApp app("Profile App");
    EXPECT_EQ(5u, app.GetProfileInt("Tip", "Startup", 5)) << "without a registry key there is no profile";
    EXPECT_FALSE(app.WriteProfileInt("Tip", "Startup", 1));

    app.SetRegistryKey("QuillmateFrameworkTest");
    EXPECT_TRUE(app.WriteProfileInt("Tip", "Startup", 1));
    EXPECT_TRUE(app.WriteProfileString("Tip", "Name", "first tip"));
    EXPECT_EQ(1u, app.GetProfileInt("Tip", "Startup", 5));
    EXPECT_STREQ("first tip", app.GetProfileString("Tip", "Name", "none"));
    EXPECT_EQ(9u, app.GetProfileInt("Tip", "Missing", 9));
    EXPECT_EQ(9u, app.GetProfileInt("Tip", "Name", 9)) << "a text is not a number";
    EXPECT_STREQ("none", app.GetProfileString("Tip", "Startup", "none")) << "a number is not a text";
    EXPECT_STREQ("none", app.GetProfileString("Other", "Name", "none"));
    EXPECT_TRUE(app.WriteProfileString("Tip", "Name", nullptr));
    EXPECT_STREQ("gone", app.GetProfileString("Tip", "Name", "gone"));

    HKEY hKey = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, ::RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\QuillmateFrameworkTest\\Profile App\\Tip",
                                            0, KEY_READ, &hKey));
    ::RegCloseKey(hKey);
}

TEST(CCommandLineInfo, FlagsAndTheFirstFileName)
{
    struct Row {
        const char* param;
        BOOL flag;
    };
    const Row rows[] = {{"embedding", TRUE}, {"report.txt", FALSE}, {"AUTOMATION", TRUE}, {"second.txt", FALSE}, {"Other", TRUE}};
    CCommandLineInfo info;
    for (const Row& r : rows)
        info.ParseParam(r.param, r.flag, FALSE);
    EXPECT_TRUE(info.m_bRunEmbedded);
    EXPECT_TRUE(info.m_bRunAutomated);
    EXPECT_STREQ("report.txt", info.m_strFileName);

    CCommandLineInfo plain;
    plain.ParseParam("Embedding", FALSE, TRUE);   // not a flag: a file name
    EXPECT_FALSE(plain.m_bRunEmbedded);
    EXPECT_STREQ("Embedding", plain.m_strFileName);
}

} // namespace
