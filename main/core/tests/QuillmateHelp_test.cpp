// Help: the HTML Help control called by name, the help file's topics and
// contents, and the quick-start document.
#include "QuillmateHelp.h"
#include "ResMan.h"
#include "QuiResIds.h"
#include "FrameworkUtil.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>
#include <vector>

namespace {

const char kFakeControl[] = "fixtures\\FakeHtmlHelp.dll";

typedef int (*LastCallProc)(HWND*, char*, UINT*, DWORD_PTR*);
typedef void (*SetResultProc)(HWND);

struct HtmlHelpCall {
    int calls = 0;
    HWND caller = nullptr;
    char file[MAX_PATH] = "";
    UINT command = 0;
    DWORD_PTR data = 0;
};

HtmlHelpCall LastHtmlHelpCall()
{
    HtmlHelpCall call;
    HMODULE fake = ::GetModuleHandleA("FakeHtmlHelp.dll");
    if (fake) {
        auto last = reinterpret_cast<LastCallProc>(::GetProcAddress(fake, "FakeHtmlHelpLastCall"));
        call.calls = last(&call.caller, call.file, &call.command, &call.data);
    }
    return call;
}

void SetHtmlHelpResult(HWND result)
{
    HMODULE fake = ::GetModuleHandleA("FakeHtmlHelp.dll");
    reinterpret_cast<SetResultProc>(::GetProcAddress(fake, "FakeHtmlHelpSetResult"))(result);
}

TEST(QuillmateHelp, HtmlHelpTakesContextHelpForMinusOneAndPassesTheRestOn)
{
    // The test's own hold on the stand-in, to reach its record.
    HMODULE fake = ::LoadLibraryA(kFakeControl);
    ASSERT_NE(nullptr, fake);
    CWinApp app("Quillmate");
    app.SetHelpFilePath("C:\\Quillmate\\Quillmate.chm");
    CQuillmateHelp help(kFakeControl);
    struct Row {
        UINT command;
        DWORD_PTR data;
        UINT sent;
    } rows[] = {
        {static_cast<UINT>(-1), 1234, 15},
        {15, 77, 15},
        {0, 0, 0},
        {0x12, 5, 0x12},
    };
    int calls = 0;
    for (const Row& row : rows) {
        SetHtmlHelpResult(nullptr);
        EXPECT_FALSE(help.ShowHtmlHelp(row.data, row.command));
        HtmlHelpCall call = LastHtmlHelpCall();
        EXPECT_EQ(++calls, call.calls);
        EXPECT_EQ(row.sent, call.command) << row.command;
        EXPECT_EQ(row.data, call.data);
        EXPECT_STREQ("C:\\Quillmate\\Quillmate.chm", call.file);
    }
    SetHtmlHelpResult(::GetDesktopWindow());
    EXPECT_TRUE(help.ShowHtmlHelp(9, static_cast<UINT>(-1)));
    ::FreeLibrary(fake);
}

TEST(QuillmateHelp, WithoutTheControlThereIsNoHtmlHelp)
{
    CQuillmateHelp help("NoSuchHelpControl.ocx");
    EXPECT_FALSE(help.ShowHtmlHelp(1, static_cast<UINT>(-1)));
    CQuillmateHelp noEntry("kernel32.dll");
    EXPECT_FALSE(noEntry.ShowHtmlHelp(1, static_cast<UINT>(-1)));
}

// Records the calls that would leave the program; strict about the ones it got.
class RecordingHelp : public CQuillmateHelp {
public:
    std::vector<std::string> calls;

protected:
    BOOL CallWinHelp(HWND, LPCTSTR lpszFile, UINT nCmd, ULONG_PTR dwData) override
    {
        calls.push_back("winhelp " + std::string(lpszFile) + " " + std::to_string(nCmd) + " " +
                        std::to_string(dwData));
        return TRUE;
    }
    void OpenDocument(LPCTSTR lpszFile, LPCTSTR lpszFolder) override
    {
        calls.push_back("open " + std::string(lpszFile) + " in " + lpszFolder);
    }
};

class HelpFile : public ::testing::Test {
protected:
    std::string Folder() { return std::string(GetModulePath("Help")); }

    CResMan m_resources{"QuiRes", 1033};
};

TEST_F(HelpFile, TopicsForContextsAboveZeroElseTheContents)
{
    ASSERT_NE(nullptr, m_resources.GetResourceHandle());
    std::string file = Folder() + "\\Quillmate.hlp";
    struct Row {
        DWORD context;
        std::string call;
    } rows[] = {
        {5, "winhelp " + file + " 1 5"},
        {506, "winhelp " + file + " 1 506"},
        {0, "winhelp " + file + " 11 0"},
        {static_cast<DWORD>(-1), "winhelp " + file + " 11 0"},
    };
    for (const Row& row : rows) {
        RecordingHelp help;
        EXPECT_TRUE(help.ShowHelp(row.context, HELP_CONTEXT));
        EXPECT_EQ(std::vector<std::string>{row.call}, help.calls) << row.context;
    }
}

// The ".pdf" class as the test needs it, put back as it was afterwards.
class PdfClass {
public:
    PdfClass()
    {
        HKEY key;
        m_existed = ::RegOpenKeyExA(HKEY_CLASSES_ROOT, ".pdf", 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (m_existed)
            ::RegCloseKey(key);
    }
    ~PdfClass() { Set(m_existed); }
    void Set(bool present)
    {
        if (present) {
            HKEY key;
            if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, ".pdf", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
                ERROR_SUCCESS)
                ::RegCloseKey(key);
        } else {
            ::SHDeleteKeyA(HKEY_CLASSES_ROOT, ".pdf");
        }
    }

private:
    bool m_existed;
};

TEST_F(HelpFile, QuickStartOpensThroughThePdfClassElseSaysThereIsNoViewer)
{
    PdfClass pdf;
    pdf.Set(true);
    {
        RecordingHelp help;
        CPromptScript prompts;
        EXPECT_TRUE(help.ShowHelp(CQuillmateHelp::kQuickStartContext, HELP_CONTEXT));
        EXPECT_EQ(std::vector<std::string>{"open Quick Start.pdf in " + Folder()}, help.calls);
        EXPECT_TRUE(prompts.Asked().empty());
    }
    pdf.Set(false);
    RecordingHelp help;
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    EXPECT_TRUE(help.ShowHelp(CQuillmateHelp::kQuickStartContext, HELP_CONTEXT));
    EXPECT_TRUE(help.calls.empty());
    ASSERT_EQ(1u, prompts.Asked().size());
    CString expected;
    expected.LoadString(IDS_NO_PDF_VIEWER);
    EXPECT_STREQ(expected, prompts.Asked()[0].text);
}

} // namespace
