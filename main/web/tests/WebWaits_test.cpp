// What arrives while an entry waits for the browser: the started program in
// the web-only edition files through the browser stand-in, which takes its
// time with each page, and a message posted before the filing is dispatched
// by the browser's wait. Nothing it does may free what the wait returns to,
// hang the program or send an entry twice.
#include "AppTestSupport.h"

#include "BrowserDrivers.h"
#include "BrowserStandInFixture.h"
#include "NoteManager.h"
#include "OzuPrefs.h"
#include "OzuPropSheet.h"
#include "ParseFixture.h"
#include "URLHandler.h"
#include "WebActionHandler.h"
#include "WebEditions.h"
#include "WebTestSupport.h"

using namespace app_test;

namespace {

const char kNavigated[] = "InternetExplorer.Navigate http://calendar.example.com/";
const char kArrived[] = "InternetExplorer.Read http://calendar.example.com/";
const DWORD kLoadMs = 700;
const DWORD kWaitMs = 5000;

class WebWaits : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        m_standIns.reset(new BrowserStandInTesting::Installation);
        BrowserStandInTesting::SetBrowserSetting(browserExplorer);
        SetDword("ActivePIM", CDatastore::typeWebOnly);
        SetSetting("Username", "ann");
        ASSERT_TRUE(QuiTesting::SetRegText(HKEY_CURRENT_USER, "Software\\Quillmate\\Client\\Parser\\Packages", "Date",
                                           parse_test::PackagePath("Curlew.dll")));
        for (const char* name : {"webcalendar.xml", "mytime.xml"})
            WriteBytes(name, ReadBytes(m_home + std::string("\\") + Fixture(std::string("connectors/") + name)));
        QuiRegisterWebEditions();
        IEBrowser::SetWaitTime(kWaitMs);
        ASSERT_TRUE(Start());
        m_standIns->SetStandInNumber("LoadMs", kLoadMs);
    }

    void TearDown() override
    {
        Stop();
        IEBrowser::SetWaitTime(30000);
        m_standIns.reset();
        AppFixture::TearDown();
    }

    // A note whose calendar pane the text ticks.
    CActionNote* TypedNote()
    {
        CActionNote* note = app->NewNote();
        EXPECT_NE(nullptr, note);
        if (note)
            note->SetNoteText("lunch friday 12:30");
        Pump();
        return note;
    }

    // Files the note as its file button does, with a message posted first:
    // the browser's wait dispatches it. The time the filing took.
    static DWORD FileWith(CActionNote* note, HWND target, UINT message, WPARAM wParam)
    {
        ::PostMessageA(target, message, wParam, 0);
        CNoteWnd* wnd = note->GetNoteWnd();
        const DWORD start = ::GetTickCount();
        wnd->SendMessage(WM_COMMAND, wnd->GetDestWnd()->GetFileButton()->GetDlgCtrlID());
        return ::GetTickCount() - start;
    }

    HWND Main() const { return app->m_pMainWnd->GetSafeHwnd(); }
    size_t Lines(const char* prefix) const { return m_standIns->Lines(prefix).size(); }
    bool IsListed(CActionNote* note) const { return app->GetNoteManager()->IsListed(note); }
    CWebActionHandler* Handler() { return app->GetDatastore()->GetWebActionHandler(); }

    // Notes filed while no browser answers: their entries stay kept.
    void KeepEntries(int count)
    {
        BrowserStandInTesting::SetBrowserSetting(browserNone);
        QuiURLHandler::GetDefaultBrowser()->CreateBrowser();
        for (int i = 0; i < count; ++i) {
            CPromptScript prompts;
            prompts.AnswerNext(IDOK);
            FileWith(TypedNote(), Main(), WM_NULL, 0);
            Pump();
        }
        ASSERT_EQ(count, Handler()->GetUnsentCount());
        BrowserStandInTesting::SetBrowserSetting(browserExplorer);
        QuiURLHandler::GetDefaultBrowser()->CreateBrowser();
    }

    std::unique_ptr<BrowserStandInTesting::Installation> m_standIns;
};

TEST_F(WebWaits, ExitFromTheTrayWhileANoteIsFiledEndsTheProgramOnceTheFilingReturns)
{
    CActionNote* note = TypedNote();
    CPromptScript prompts;
    const DWORD took = FileWith(note, Main(), WM_COMMAND, ID_APP_EXIT);
    // Posted again through the wait, the exit would starve the browser's
    // timer until the wait ran out.
    EXPECT_LT(took, kWaitMs) << "the wait never saw its page";
    EXPECT_EQ(1u, Lines(kNavigated));
    EXPECT_EQ(1u, Lines(kArrived));
    EXPECT_FALSE(IsListed(note));
    EXPECT_FALSE(TakeQuit()) << "the exit waits for the outermost loop";
    app->OnIdle(0);
    EXPECT_TRUE(TakeQuit());
    EXPECT_TRUE(app->IsExiting());
    EXPECT_TRUE(prompts.Asked().empty());
}

// "New note after filing" keeps the filed note on the screen while its entry
// waits: a second File or a close reaches it then.
TEST_F(WebWaits, AFileOrCloseWhileTheNoteFilesIsPutOffUntilTheFilingReturns)
{
    struct Row {
        const char* what;
        UINT message;
        WPARAM wParam;
        bool pageFails;
        std::vector<UINT> told;   // messages shown, in order
        int closeAnswer;          // to the question the user's close asks
        bool noteStays;
    } rows[] = {
        {"a second File", WM_COMMAND, ID_DEST_FILE, false, {}, 0, false},
        {"a program's WM_CLOSE, filed", WM_CLOSE, 0, false, {}, 0, false},
        {"a program's WM_CLOSE, not filed", WM_CLOSE, 0, true, {IDS_WEB_ENTRY_FAILED}, 0, false},
        {"the close button, not filed, kept", WM_COMMAND, ID_DEST_CLOSE_NOTE, true,
         {IDS_WEB_ENTRY_FAILED, IDS_EXIT_FILE_NOTE}, IDCANCEL, true},
        {"the close button, not filed, closed", WM_COMMAND, ID_DEST_CLOSE_NOTE, true,
         {IDS_WEB_ENTRY_FAILED, IDS_EXIT_FILE_NOTE}, IDNO, false},
    };
    app->GetPrefs()->m_dwSaveThenNew = 1;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CloseAllNotes(app.get());
        DeleteFileA(m_standIns->LogPath().c_str());
        m_standIns->SetFailCalls(row.pageFails ? std::vector<const char*>{"InternetExplorer.NavigateError"}
                                               : std::vector<const char*>{});
        CActionNote* note = TypedNote();
        CPromptScript prompts;
        prompts.AnswerNext(IDOK);
        if (row.closeAnswer)
            prompts.AnswerNext(row.closeAnswer);
        FileWith(note, note->GetNoteWnd()->GetSafeHwnd(), row.message, row.wParam);
        Pump();
        EXPECT_EQ(1u, Lines(kNavigated)) << "filed once";
        std::vector<std::string> told, expected;
        for (const CPromptRequest& asked : prompts.Asked())
            told.push_back(asked.text.GetString());
        for (UINT id : row.told)
            expected.push_back(Message(id));
        EXPECT_EQ(expected, told);
        EXPECT_EQ(row.noteStays, IsListed(note));
        if (row.noteStays) {
            EXPECT_FALSE(note->IsBusy());
            EXPECT_TRUE(note->GetNoteWnd()->IsWindowEnabled());
        }
    }
}

// Another program's new-note request while the entry waits: the note opens,
// and the filing goes on with the note it started from.
TEST_F(WebWaits, AnotherProgramsNewNoteDuringTheWaitOpensANoteBesideTheFiling)
{
    CActionNote* filed = TypedNote();
    CPromptScript prompts;
    FileWith(filed, Main(), QUI_NAN_MSG, 0);
    Pump();
    EXPECT_EQ(1u, Lines(kNavigated)) << "filed once";
    EXPECT_EQ(1u, Lines(kArrived));
    EXPECT_FALSE(IsListed(filed));
    EXPECT_EQ(1, app->GetNoteCount()) << "the new note";
    EXPECT_TRUE(prompts.Asked().empty());
}

TEST_F(WebWaits, ThePreferencesAreNotAppliedWhileAnEntryWaitsAndTheBrowserStays)
{
    ASSERT_TRUE(ShowPreferences(QUI_PREFS_PAGE_BASIC));
    COzuPropSheet* sheet = app->m_pPrefSheet;
    ASSERT_NE(nullptr, sheet);
    const BrowserInterface* driver = QuiURLHandler::GetDefaultBrowser()->GetBrowser();
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    FileWith(TypedNote(), sheet->GetSafeHwnd(), WM_COMMAND, IDOK);
    EXPECT_EQ(1u, Lines(kArrived));
    ASSERT_EQ(1u, prompts.Asked().size());
    EXPECT_EQ(Message(IDS_WAIT_FOR_FILING), prompts.Asked()[0].text.GetString());
    EXPECT_EQ(sheet, app->m_pPrefSheet) << "the sheet stays open for a later try";
    EXPECT_EQ(driver, QuiURLHandler::GetDefaultBrowser()->GetBrowser()) << "the waiting driver was replaced";
    // Once the entry went, OK applies and closes.
    sheet->SendMessage(WM_COMMAND, IDOK);
    Pump();
    EXPECT_EQ(nullptr, app->m_pPrefSheet);
    EXPECT_EQ(1u, prompts.Asked().size());
}

TEST_F(WebWaits, AReloadDuringTheIdleResendWaitsAndTheKeptEntryGoesOnce)
{
    KeepEntries(1);
    CDatastore* datastore = app->GetDatastore();
    ::PostMessageA(Main(), WM_COMMAND, ID_TRAY_RELOAD, 0);
    app->OnIdle(0);
    EXPECT_EQ(datastore, app->GetDatastore()) << "freed under the resend";
    EXPECT_EQ(0, Handler()->GetUnsentCount());
    EXPECT_EQ(1u, Lines(kArrived));
    // The reload comes with the next note; the entry is not sent again.
    EXPECT_TRUE(app->IsReloadPending());
    EXPECT_NE(nullptr, app->NewNote());
    EXPECT_FALSE(app->IsReloadPending());
    CloseAllNotes(app.get());
    app->tick += 120000;
    app->OnIdle(0);
    EXPECT_EQ(1u, Lines(kNavigated));
}

TEST_F(WebWaits, AQuitDuringTheIdleResendStopsItAndLeavesTheRestKept)
{
    KeepEntries(2);
    ::PostQuitMessage(0);
    app->OnIdle(0);
    EXPECT_EQ(1u, Lines(kNavigated)) << "the second entry must not be tried";
    EXPECT_EQ(1u, Lines("InternetExplorer.Lost http://calendar.example.com/")) << "the cut wait stops its page";
    EXPECT_EQ(2, Handler()->GetUnsentCount());
    EXPECT_TRUE(app->IsExiting());
    EXPECT_TRUE(TakeQuit());
    // A page left to load would still reach the service.
    QuiTesting::PumpUntil([] { return false; }, 2 * kLoadMs);
    EXPECT_EQ(0u, Lines(kArrived));
    // The end tells of the kept entries, which go from the next start.
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    Stop();
    EXPECT_EQ(1u, prompts.Asked().size());
}

TEST_F(WebWaits, TheNotesPanesPageWaitsAsAnEntryDoesForAnExit)
{
    ::PostMessageA(Main(), WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_EQ(1, app->GetDatastore()->OpenWebPage("http://calendar.example.com/notes", TRUE));
    EXPECT_EQ(1u, Lines(kArrived));
    EXPECT_FALSE(TakeQuit());
    app->OnIdle(0);
    EXPECT_TRUE(TakeQuit());
}

} // namespace
