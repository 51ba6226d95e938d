// OLE start-up, the user-control flag and the application lock that ends a
// program started only for automation clients.
#include <gtest/gtest.h>

#include <afxquill.h>

#include <cstdlib>
#include <initializer_list>
#include <vector>

namespace {

// The program's arguments as the runtime hands them to ParseCommandLine.
class CommandLine {
public:
    explicit CommandLine(std::initializer_list<const char*> args) : m_argc(__argc), m_argv(__argv)
    {
        m_args.push_back(const_cast<char*>("program.exe"));
        for (const char* arg : args)
            m_args.push_back(const_cast<char*>(arg));
        m_args.push_back(nullptr);
        __argc = static_cast<int>(m_args.size() - 1);
        __argv = m_args.data();
    }
    ~CommandLine()
    {
        __argc = m_argc;
        __argv = m_argv;
    }

private:
    int m_argc;
    char** m_argv;
    std::vector<char*> m_args;
};

bool QuitPosted()
{
    MSG msg;
    return ::PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

DWORD WINAPI InitInMultithreadedApartment(void*)
{
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    DWORD result = AfxOleInit() ? 1 : 0;
    CoUninitialize();
    return result;
}

class OleApp : public ::testing::Test {
protected:
    void SetUp() override
    {
        while (QuitPosted()) {
        }
        while (!AfxOleCanExitApp())
            AfxOleUnlockApp();
    }
    void TearDown() override { AfxOleSetUserCtrl(TRUE); }
};

} // namespace

TEST_F(OleApp, StartedByComTheUserHasNoControl)
{
    struct Row {
        std::initializer_list<const char*> args;
        BOOL userCtrl;
    } rows[] = {
        {{}, TRUE},
        {{"/Embedding"}, FALSE},
        {{"-Embedding"}, FALSE},
        {{"-embedding"}, FALSE},
        {{"/Automation"}, FALSE},
        {{"note.txt", "/Embedding"}, FALSE},
        {{"Embedding"}, TRUE},
        {{"/Embeddings"}, TRUE},
        {{"/RegServer"}, TRUE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        AfxOleSetUserCtrl(TRUE);
        CWinApp app("Quillmate");
        CommandLine line(row.args);
        CCommandLineInfo info;
        app.ParseCommandLine(info);
        EXPECT_EQ(row.userCtrl, AfxOleGetUserCtrl());
    }
}

TEST_F(OleApp, LastUnlockEndsTheProgramOnlyWithoutTheUser)
{
    struct Row {
        BOOL userCtrl;
        int locks;
        int unlocks;
        bool quit;
        bool canExit;
    } rows[] = {
        {FALSE, 1, 1, true, true},
        {FALSE, 2, 1, false, false},
        {FALSE, 2, 2, true, true},
        {TRUE, 1, 1, false, true},
        {FALSE, 0, 1, false, true},         // an unlock too many changes nothing
        {FALSE, 1, 3, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(&row - rows);
        AfxOleSetUserCtrl(row.userCtrl);
        for (int i = 0; i < row.locks; ++i)
            AfxOleLockApp();
        for (int i = 0; i < row.unlocks; ++i)
            AfxOleUnlockApp();
        EXPECT_EQ(row.quit, QuitPosted());
        EXPECT_EQ(row.canExit, AfxOleCanExitApp() != FALSE);
        while (!AfxOleCanExitApp())
            AfxOleUnlockApp();
        while (QuitPosted()) {
        }
    }
    // Unlocks past zero are not kept: one lock is one lock again.
    AfxOleSetUserCtrl(FALSE);
    AfxOleLockApp();
    EXPECT_FALSE(AfxOleCanExitApp());
    AfxOleUnlockApp();
    EXPECT_TRUE(QuitPosted());
}

TEST_F(OleApp, OleStartsOnceAndNotInAMultithreadedApartment)
{
    ASSERT_TRUE(AfxOleInit());
    EXPECT_TRUE(AfxOleInit());
    // OLE runs in a single-threaded apartment.
    EXPECT_EQ(RPC_E_CHANGED_MODE, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    AfxOleTerm();
    EXPECT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED)) << "ended once, fully";
    CoUninitialize();

    HANDLE thread = CreateThread(nullptr, 0, InitInMultithreadedApartment, nullptr, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    WaitForSingleObject(thread, INFINITE);
    DWORD result = 2;
    GetExitCodeThread(thread, &result);
    CloseHandle(thread);
    EXPECT_EQ(0u, result);
}
