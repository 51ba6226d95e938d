// The splash and information window: its picture and texts, its buttons and
// keys, and how each mode ends.
#include "SplashWnd.h"
#include "AboutDlg.h"
#include "DatastoreTestSupport.h"
#include "FrameworkUtil.h"
#include "QuillmateApp.h"
#include "ResMan.h"
#include "QuiResIds.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <malloc.h>
#include <new>
#include <string>

namespace {

// The application as the program has it: the splash sees every message first.
class SplashApp : public CQuillmateApp {
public:
    CActionNote* CreateNote(BOOL) override { return nullptr; }
    CDatastore* GetDatastore() override { return m_pStore; }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        return CSplashWnd::PreTranslateAppMessage(pMsg) || CQuillmateApp::PreTranslateMessage(pMsg);
    }

    CDatastore* m_pStore = nullptr;
};

std::string ProgramPath()
{
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string WindowText(HWND hWnd)
{
    char text[256] = "";
    ::GetWindowTextA(hWnd, text, sizeof(text));
    return text;
}

bool SplashGone()
{
    return CSplashWnd::GetOpen() == nullptr;
}

// Each test with its own settings, as a datastore reads them.
class Splash : public RegistryBranch {
protected:
    void TearDown() override
    {
        if (CSplashWnd* open = CSplashWnd::GetOpen())
            open->DestroyWindow();
        CSplashWnd::SetConnectorInfoRunner(nullptr);
        RegistryBranch::TearDown();
    }

    SplashApp m_app;
    CResMan m_resources{"QuiRes", 1033};
};

TEST_F(Splash, VersionTextFromTheVersionBlockElseUnknown)
{
    struct Row {
        std::string path;
        const char* text;
    } rows[] = {
        {ProgramPath(), "Version 1.0.0.1"},
        {std::string(GetModulePath("fixtures\\shared_noversion.dll")), "Version unknown"},
        {"C:\\no such folder\\Quillmate.exe", "Version unknown"},
    };
    for (const Row& row : rows)
        EXPECT_STREQ(row.text, CSplashWnd::FormatVersionText(row.path.c_str())) << row.path;
}

TEST_F(Splash, EditionTextOnlyForAName)
{
    struct Row {
        const char* name;
        const char* text;
    } rows[] = {
        {"Web", "Edition: Web"},
        {"", ""},
        {nullptr, ""},
    };
    for (const Row& row : rows)
        EXPECT_STREQ(row.text, CSplashWnd::FormatEditionText(row.name)) << (row.name ? row.name : "null");
}

TEST_F(Splash, EditionTextNamesTheDatastoresEdition)
{
    struct Row {
        int type;
        const char* text;
    } rows[] = {
        {CDatastore::typeOutlook, "Edition: Microsoft Outlook"},
        {CDatastore::typeNotes, "Edition: Lotus Notes"},
        {CDatastore::typeWebOnlyDefault, "Edition: Web"},
        {CDatastore::typeWebCalendar, ""},
    };
    for (const Row& row : rows) {
        datastore_test::TestDatastore store(row.type);
        m_app.m_pStore = &store;
        CSplashWnd* splash = ShowSplash(nullptr, TRUE);
        ASSERT_NE(nullptr, splash);
        EXPECT_STREQ(row.text, splash->GetEditionText()) << row.type;
        splash->DestroyWindow();
        m_app.m_pStore = nullptr;
    }
}

TEST_F(Splash, WithoutThePictureThereIsNoWindow)
{
    AfxSetResourceHandle(nullptr);
    EXPECT_EQ(nullptr, ShowSplash(nullptr, TRUE));
    EXPECT_TRUE(SplashGone());
    AfxSetResourceHandle(m_resources.GetResourceHandle());
}

TEST_F(Splash, ManualWindowHoldsThePictureTheTextsAndTwoButtons)
{
    CStatic owner;
    ASSERT_TRUE(owner.CreateEx(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    for (CWnd* parent : {static_cast<CWnd*>(nullptr), static_cast<CWnd*>(&owner)}) {
        CSplashWnd* splash = ShowSplash(parent, TRUE);
        ASSERT_NE(nullptr, splash);
        EXPECT_EQ(splash, CSplashWnd::GetOpen());
        EXPECT_EQ(splash, ShowSplash(parent, TRUE));
        HWND hWnd = splash->GetSafeHwnd();
        EXPECT_EQ(parent ? parent->GetSafeHwnd() : nullptr, ::GetWindow(hWnd, GW_OWNER));

        char className[64] = "";
        ::GetClassNameA(hWnd, className, sizeof(className));
        EXPECT_STREQ("QUISPLASHWND", className);
        EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_BORDER),
                  splash->GetStyle() & (WS_POPUP | WS_VISIBLE | WS_BORDER | WS_CAPTION));
        EXPECT_TRUE(splash->GetExStyle() & WS_EX_TOOLWINDOW);
        CRect client;
        splash->GetClientRect(&client);
        EXPECT_EQ(CRect(0, 0, 360, 200 + CSplashWnd::kStripExtra), client);

        const CRect& strip = splash->GetTextStrip();
        EXPECT_EQ(3, strip.left);
        EXPECT_EQ(357, strip.right);
        EXPECT_EQ(client.bottom - 3, strip.bottom);
        EXPECT_GT(strip.Height(), 0);
        EXPECT_EQ(0, strip.Height() % 2);

        EXPECT_STREQ("Version 1.0.0.1", splash->GetVersionText());
        EXPECT_STREQ("", splash->GetEditionText());

        CWnd* ok = splash->GetDlgItem(IDOK);
        CWnd* connectors = splash->GetDlgItem(CSplashWnd::IDC_CONNECTORS);
        ASSERT_NE(nullptr, ok);
        ASSERT_NE(nullptr, connectors);
        EXPECT_EQ(static_cast<DWORD>(BS_DEFPUSHBUTTON), ok->GetStyle() & BS_TYPEMASK);
        CString caption;
        caption.LoadString(IDS_SPLASH_CONNECTORS);
        EXPECT_EQ(std::string(caption), WindowText(connectors->GetSafeHwnd()));
        EXPECT_EQ(m_app.GetSmallFont()->GetSafeHandle(), reinterpret_cast<HGDIOBJ>(ok->GetFont()));

        // A click on the picture leaves it open; OK closes it.
        splash->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        PumpPending();
        ASSERT_EQ(splash, CSplashWnd::GetOpen());
        EXPECT_TRUE(::IsWindow(hWnd));
        ::SendMessageA(ok->GetSafeHwnd(), BM_CLICK, 0, 0);
        EXPECT_TRUE(SplashGone());
        EXPECT_FALSE(::IsWindow(hWnd));
    }
}

TEST_F(Splash, EscapeAndEnterCloseTheManualWindow)
{
    for (UINT key : {VK_ESCAPE, VK_RETURN}) {
        CSplashWnd* splash = ShowSplash(nullptr, TRUE);
        ASSERT_NE(nullptr, splash);
        CWnd* ok = splash->GetDlgItem(IDOK);
        ok->SetFocus();
        ok->PostMessage(WM_KEYDOWN, key, 1);
        EXPECT_TRUE(PumpUntil(SplashGone)) << key;
    }
}

TEST_F(Splash, AutomaticWindowEndsByItsTimerOrTheFirstKeyOrClick)
{
    CStatic other;
    ASSERT_TRUE(other.CreateEx(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    CSplashWnd* splash = ShowSplash(nullptr, FALSE);
    ASSERT_NE(nullptr, splash);
    EXPECT_FALSE(splash->IsManual());
    EXPECT_EQ(nullptr, splash->GetDlgItem(IDOK));
    EXPECT_EQ(nullptr, splash->GetDlgItem(CSplashWnd::IDC_CONNECTORS));
    splash->SendMessage(WM_TIMER, CSplashWnd::kAutomaticTimer);
    EXPECT_TRUE(SplashGone());

    struct Row {
        UINT message;
        bool ends;
    } rows[] = {
        {WM_MOUSEMOVE, false},
        {WM_KEYUP, false},
        {WM_KEYDOWN, true},
        {WM_LBUTTONDOWN, true},
        {WM_RBUTTONDOWN, true},
        {WM_SYSKEYDOWN, true},
    };
    for (const Row& row : rows) {
        ASSERT_NE(nullptr, ShowSplash(nullptr, FALSE));
        other.PostMessage(row.message, 0, 0);
        other.PostMessage(WM_NULL);
        PumpPending();
        EXPECT_EQ(row.ends, SplashGone()) << row.message;
    }
}

CWnd* g_runParent;
BOOL g_parentEnabledWhileRunning;
int g_runs;

void RecordConnectorInfo(CWnd* pParent)
{
    ++g_runs;
    g_runParent = pParent;
    g_parentEnabledWhileRunning = pParent->IsWindowEnabled();
}

TEST_F(Splash, ConnectorsButtonRunsTheDialogWithTheSplashDisabled)
{
    CSplashWnd* plain = ShowSplash(nullptr, TRUE);
    ASSERT_NE(nullptr, plain);
    EXPECT_FALSE(plain->GetDlgItem(CSplashWnd::IDC_CONNECTORS)->IsWindowEnabled());
    plain->DestroyWindow();

    g_runs = 0;
    CSplashWnd::SetConnectorInfoRunner(RecordConnectorInfo);
    CSplashWnd* splash = ShowSplash(nullptr, TRUE);
    ASSERT_NE(nullptr, splash);
    CWnd* connectors = splash->GetDlgItem(CSplashWnd::IDC_CONNECTORS);
    EXPECT_TRUE(connectors->IsWindowEnabled());
    ::SendMessageA(connectors->GetSafeHwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(1, g_runs);
    EXPECT_EQ(splash, g_runParent);
    EXPECT_FALSE(g_parentEnabledWhileRunning);
    EXPECT_TRUE(splash->IsWindowEnabled());
    EXPECT_EQ(splash, CSplashWnd::GetOpen());
}

// While a poison is set, memory given back with delete is kept, and every
// word of it holds the poison window's handle: code that reads a deleted
// window object after the fact reaches that window instead of failing quietly.
HWND g_deletePoison = nullptr;
void* g_poisoned[64];
int g_poisonedCount = 0;

void StopPoisoning()
{
    g_deletePoison = nullptr;
    for (int i = 0; i < g_poisonedCount; i++)
        std::free(g_poisoned[i]);
    g_poisonedCount = 0;
}

void ConnectorInfoDestroyingTheSplash(CWnd* pParent)
{
    ++g_runs;
    pParent->DestroyWindow();
}

// The program may end while the connectors dialog runs: the splash goes
// before the dialog returns, and nothing of it is used afterwards.
TEST_F(Splash, ConnectorsDialogMayOutliveTheSplash)
{
    CStatic poison;
    ASSERT_TRUE(poison.CreateEx(0, "STATIC", "", WS_POPUP | WS_DISABLED, 0, 0, 10, 10, nullptr, nullptr));
    g_runs = 0;
    CSplashWnd::SetConnectorInfoRunner(ConnectorInfoDestroyingTheSplash);
    CSplashWnd* splash = ShowSplash(nullptr, TRUE);
    ASSERT_NE(nullptr, splash);
    HWND connectors = splash->GetDlgItem(CSplashWnd::IDC_CONNECTORS)->GetSafeHwnd();
    g_deletePoison = poison.GetSafeHwnd();
    ::SendMessageA(connectors, BM_CLICK, 0, 0);
    StopPoisoning();
    EXPECT_EQ(1, g_runs);
    EXPECT_TRUE(SplashGone());
    EXPECT_FALSE(poison.IsWindowEnabled()) << "the deleted splash was enabled again";
    poison.DestroyWindow();
}

// The about box comes from the resource library and closes with OK.
class DrivenAboutDlg : public CAboutDlg {
public:
    BOOL OnInitDialog() override
    {
        BOOL result = CAboutDlg::OnInitDialog();
        PostMessage(WM_COMMAND, IDOK);
        return result;
    }
};

TEST_F(Splash, AboutBoxRunsFromTheResourceLibrary)
{
    DrivenAboutDlg about;
    EXPECT_EQ(IDOK, about.DoModal());
    AfxSetResourceHandle(nullptr);
    DrivenAboutDlg missing;
    EXPECT_EQ(-1, missing.DoModal());
    AfxSetResourceHandle(m_resources.GetResourceHandle());
}

} // namespace

void operator delete(void* p) noexcept
{
    if (p && g_deletePoison && g_poisonedCount < static_cast<int>(sizeof g_poisoned / sizeof g_poisoned[0])) {
        HWND* words = static_cast<HWND*>(p);
        for (size_t i = 0, n = _msize(p) / sizeof(HWND); i < n; i++)
            words[i] = g_deletePoison;
        g_poisoned[g_poisonedCount++] = p;
        return;
    }
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    ::operator delete(p);
}
