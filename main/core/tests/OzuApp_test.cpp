// The application object: the edition it starts, the update check, the
// reload of the datastore, opening notes and the exit command (its back
// end at start-up: OzuAppBackEnd_test.cpp).
#include "AppTestSupport.h"
#include "KeptNotes.h"

#include "BrowserStandInFixture.h"
#include "ClientRegistry.h"
#include "KestrelViewerDlg.h"
#include "ModalDriver.h"
#include "NoteManager.h"
#include "OzuPrefs.h"
#include "URLHandler.h"
#include "WebActionJug.h"

using namespace app_test;

namespace {

class OzuApp : public AppFixture {
protected:
    CActionNote* OpenNote(const char* text = "")
    {
        CActionNote* note = app->NewNote();
        EXPECT_NE(nullptr, note);
        if (note && *text)
            note->SetNoteText(text);
        Pump();
        return note;
    }

    void CloseAllNotes() { app_test::CloseAllNotes(app.get()); }

    // The started program's web action handler with no browser to take an
    // action and one connector "Test" whose action "find" is a URL.
    CWebActionHandler* OffLineHandler()
    {
        SetDword("Browser", 4, "Software\\Quillmate\\Client\\Preferences");
        QuiURLHandler::GetDefaultBrowser()->CreateBrowser();
        CWebActionHandler* handler = app->GetDatastore()->GetWebActionHandler();
        char connector[] = "<CONNECTOR MENUSTRING=\"Test\">\n<SUBTYPE MENUSTRING=\"find\" METHOD=\"GET\" "
                           "ACTION=\"http://find.test/$:querystring\" >\n</SUBTYPE>\n</CONNECTOR>\n";
        handler->GetEnabledConnectors().ParseConnectors(connector, "test.xml");
        return handler;
    }
};

TEST_F(OzuApp, ActivePimChoosesTheEditionAndOnlyPimEditionsCheckTheRecordControl)
{
    struct Row {
        DWORD activePim;
        int row;
        int edition;
        int recordChecks;
    } rows[] = {
        {0, 4, 0, 0}, {1, 1, 1, 1}, {2, 2, 2, 1}, {3, 3, 3, 1},
        {4, 4, 4, 0}, {5, 5, 5, 0}, {6, 4, 0, 0}, {0xFFFFFFFF, 4, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.activePim);
        g_script = EditionScript();
        SetDword("ActivePIM", row.activePim);
        Make();
        std::unique_ptr<CDatastore> datastore(app->CreateDatastore());
        ASSERT_NE(nullptr, datastore);
        ASSERT_EQ(1u, g_script.made.size());
        EXPECT_EQ(row.row, g_script.made[0].first);
        EXPECT_EQ(row.edition, g_script.made[0].second);
        EXPECT_EQ(row.edition, datastore->GetType());
        EXPECT_EQ(row.recordChecks, g_script.recordChecks);
        datastore.reset();
        app.reset();
    }
}

TEST_F(OzuApp, AnEditionThatCannotBeMadeIsReportedAndStartsNothing)
{
    CPromptScript prompts;
    SetDword("ActivePIM", 2);
    QuiRegisterEdition(2, nullptr);
    EXPECT_FALSE(Start());
    EXPECT_EQ(nullptr, app->GetDatastore());
    EXPECT_EQ(std::vector<std::string>{Message(IDS_EDITION_MISSING)}, Texts(prompts));
    EXPECT_TRUE(g_script.made.empty());
}

TEST_F(OzuApp, AMissingRecordControlIsReportedAndTheDatastoreIsDeleted)
{
    CPromptScript prompts;
    SetDword("ActivePIM", 1);
    g_script.noRecordControl = true;
    int liveBefore = CDatastore::GetLiveCount();
    Make();
    EXPECT_EQ(nullptr, app->CreateDatastore());
    EXPECT_EQ(liveBefore, CDatastore::GetLiveCount());
    EXPECT_EQ(std::vector<std::string>{Message(IDS_NO_RECORD_CONTROL)}, Texts(prompts));
}

TEST_F(OzuApp, StartsReadyWithTheIconOfTheRunningProgram)
{
    ASSERT_TRUE(Start());
    EXPECT_TRUE(app->IsReady());
    EXPECT_TRUE(app->IsUpdateCheckPending());
    ASSERT_NE(nullptr, app->GetPrefs());
    ASSERT_NE(nullptr, app->GetParserMgr());
    ASSERT_NE(nullptr, app->GetNoteManager());
    ASSERT_NE(nullptr, app->Tray());
    EXPECT_FALSE(app->Tray()->IsWindowVisible());
    const std::vector<ShellCall>& calls = app->Tray()->icon->calls;
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), calls[0].message);
    EXPECT_EQ(Message(IDR_TRAY_LOADING), calls[0].tip);
    EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), calls[1].message);
    EXPECT_EQ(Message(IDR_TRAY), calls[1].tip);
    EXPECT_EQ(static_cast<UINT>(NIF_ICON | NIF_TIP | NIF_MESSAGE), calls[1].flags);
    EXPECT_EQ(app->Tray()->GetSafeHwnd(), calls[1].owner);
    EXPECT_EQ(static_cast<UINT>(WM_USER), calls[1].callback);
    Stop();
}

TEST_F(OzuApp, TheIconIsRemovedAtTheEnd)
{
    ASSERT_TRUE(Start());
    CRecordingTrayIcon* icon = app->Tray()->icon;
    app->ExitInstance();
    ASSERT_FALSE(icon->calls.empty());
    EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), icon->calls.back().message);
    EXPECT_EQ(nullptr, app->GetDatastore());
    EXPECT_EQ(nullptr, app->GetNoteManager());
    EXPECT_FALSE(app->IsReady());
    app->m_pMainWnd->DestroyWindow();
    app.reset();
}

TEST_F(OzuApp, ANotificationAreaThatRefusesTheIconEndsTheStart)
{
    // The tray window exists only inside InitInstance: refuse from the first call.
    struct Refusing : CTestApp {
        CTrayWnd* CreateTrayWnd() override
        {
            auto* tray = new CTestTrayWnd;
            tray->icon->accept = FALSE;
            return tray;
        }
    };
    app.reset(new Refusing);
    app->m_lpCmdLine = const_cast<char*>("");
    EXPECT_FALSE(app->InitInstance());
}

TEST_F(OzuApp, TheUpdateCheckCountsWholeDaysOncePerRun)
{
    struct Row {
        DWORD freq;
        double daysAgo;
        int runs;
    } rows[] = {
        {0, 100.0, 0}, {3, 2.9, 0}, {3, 3.0, 1}, {3, 3.5, 1}, {1, 0.99, 0},
        {1, 1.0, 1}, {0xFFFFFFFF, 50.0, 0}, {3, -2.0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.freq << " days, last " << row.daysAgo << " days ago");
        g_script = EditionScript();
        SetDword("PintailFreq", row.freq);
        COleDateTime now(2026, 12, 8, 12, 0, 0);
        SetDate("PintailDate", now.m_dt - row.daysAgo);
        Make();
        app->now = now;
        ASSERT_TRUE(app->InitInstance());
        EXPECT_FALSE(app->OnIdle(0));
        EXPECT_FALSE(app->IsUpdateCheckPending());
        app->OnIdle(0);
        EXPECT_EQ(row.runs, g_script.updaterRuns);
        Stop();
    }
}

TEST_F(OzuApp, AReloadRefusedWhileNotesAreOpenRunsAtTheNextNewNote)
{
    struct Row {
        int mode;
        size_t datastoresAfter;
    } rows[] = {
        {1, 2},
        {0, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mode);
        g_script = EditionScript();
        ASSERT_TRUE(Start());
        OpenNote();
        {
            CPromptScript prompts;
            app->ReloadDatastore(row.mode, FALSE);
            EXPECT_EQ(std::vector<std::string>{Message(IDS_RELOAD_NOTES_OPEN)}, Texts(prompts));
        }
        EXPECT_TRUE(app->IsReloadPending());
        EXPECT_EQ(row.mode == 1 ? COzuApp::kFullRefused : COzuApp::kLightRefused, COzuApp::GetReloadStage());
        EXPECT_EQ(1u, g_script.made.size());
        CloseAllNotes();
        int syncs = g_script.syncs;
        OpenNote();
        EXPECT_FALSE(app->IsReloadPending());
        EXPECT_EQ(COzuApp::kIdle, COzuApp::GetReloadStage());
        EXPECT_EQ(row.datastoresAfter, g_script.made.size());
        // A light reload brings the web actions' items up to date; a full one
        // made them anew with the datastore.
        EXPECT_EQ(row.mode == 1 ? syncs : syncs + 1, g_script.syncs);
        CloseAllNotes();
        Stop();
    }
}

TEST_F(OzuApp, AFullReloadMakesTheDatastoreAndTheParserAgain)
{
    ASSERT_TRUE(Start());
    app->ReloadDatastore(1, FALSE);
    ASSERT_EQ(2u, g_script.made.size());
    EXPECT_EQ(2, g_script.loads);
    EXPECT_TRUE(app->IsReady());
    EXPECT_TRUE(app->m_pMainWnd->IsWindowEnabled());
    EXPECT_EQ(Message(IDR_TRAY), app->Tray()->GetTrayIcon().GetTip());
    EXPECT_NE(nullptr, app->GetParserMgr());
    Stop();
}

TEST_F(OzuApp, AFullReloadWhoseEditionCannotBeMadeEndsTheProgramQuietly)
{
    ASSERT_TRUE(Start());
    QuiRegisterEdition(4, nullptr);
    CPromptScript prompts;
    app->ReloadDatastore(1, FALSE);
    EXPECT_EQ(std::vector<std::string>{Message(IDS_EDITION_MISSING)}, Texts(prompts));
    EXPECT_EQ(nullptr, app->GetDatastore());
    EXPECT_FALSE(app->IsReady());
    EXPECT_TRUE(app->m_pMainWnd->IsWindowEnabled());
    EXPECT_TRUE(TakeQuit());
    Stop();
}

TEST_F(OzuApp, TheGracePeriodWaitsWithoutMessagesWhileANoteIsOpen)
{
    g_script.unreachableLoads = 1000;
    ASSERT_TRUE(Start());
    ASSERT_TRUE(app->IsRetrying());
    OpenNote();
    CPromptScript prompts;
    int loads = g_script.loads;
    for (LONG pass = 0; pass < 3; ++pass)
        EXPECT_FALSE(app->OnIdle(pass));
    EXPECT_TRUE(Texts(prompts).empty());
    EXPECT_EQ(loads, g_script.loads);
    EXPECT_TRUE(app->IsRetrying());
    CloseAllNotes();
    EXPECT_TRUE(app->OnIdle(0));
    EXPECT_LT(loads, g_script.loads);
    Stop();
}

TEST_F(OzuApp, AReloadBlockedByTheViewerIsToldOnceAndWaits)
{
    ASSERT_TRUE(Start());
    CWnd viewer;
    app->m_pItemViewer = &viewer;
    CPromptScript prompts;
    app->ReloadDatastore(1, FALSE);
    app->ReloadDatastore(0, TRUE);
    EXPECT_EQ(std::vector<std::string>{Message(IDS_RELOAD_VIEWER_OPEN)}, Texts(prompts));
    EXPECT_TRUE(app->IsReloadPending());
    EXPECT_TRUE(app->IsReady());
    EXPECT_EQ(1u, g_script.made.size());
    app->m_pItemViewer = nullptr;
    app->m_pConnectorDlg = &viewer;
    app->ReloadDatastore(0, FALSE);
    EXPECT_EQ(1u, prompts.Asked().size()) << "the notice was given already";
    app->m_pConnectorDlg = nullptr;
    app->ReloadDatastore(0, FALSE);
    EXPECT_EQ(2u, g_script.made.size()) << "the waiting reload is a full one";
    EXPECT_FALSE(app->IsReloadPending());
    Stop();
}

TEST_F(OzuApp, TheConnectorDialogBlocksSilentlyUnlessAskedToReport)
{
    struct Row {
        BOOL report;
        size_t messages;
    } rows[] = {{FALSE, 0}, {TRUE, 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.report);
        g_script = EditionScript();
        ASSERT_TRUE(Start());
        CWnd dialog;
        app->m_pConnectorDlg = &dialog;
        CPromptScript prompts;
        app->ReloadDatastore(1, row.report);
        EXPECT_EQ(row.messages, prompts.Asked().size());
        EXPECT_TRUE(app->IsReloadPending());
        app->m_pConnectorDlg = nullptr;
        Stop();
    }
}

TEST_F(OzuApp, AReloadThatFailsIsToldAndRunsTheExitCommand)
{
    ASSERT_TRUE(Start());
    g_script.reloadFailures = 1;
    CPromptScript prompts;
    app->ReloadDatastore(1, FALSE);
    EXPECT_EQ(std::vector<std::string>{Message(IDS_RELOAD_FAILED)}, Texts(prompts));
    EXPECT_FALSE(app->IsReady());
    EXPECT_TRUE(app->m_pMainWnd->IsWindowEnabled());
    EXPECT_TRUE(TakeQuit());
    EXPECT_EQ(nullptr, app->NewNote()) << "nothing opens once the program ends";
    Stop();
}

TEST_F(OzuApp, ExitAsksOnlyForTheNoteThatHoldsText)
{
    struct Row {
        int answer;
        int filed;
    } rows[] = {{IDNO, 0}, {IDYES, 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.answer);
        g_script = EditionScript();
        ASSERT_TRUE(Start());
        OpenNote();
        OpenNote("call Bob tomorrow");
        ASSERT_EQ(2, app->GetNoteCount());
        CPromptScript prompts;
        prompts.AnswerNext(row.answer);
        app->OnAppExit();
        Pump();
        EXPECT_EQ(std::vector<std::string>{Message(IDS_EXIT_FILE_NOTE)}, Texts(prompts));
        EXPECT_EQ(0, prompts.Unexpected());
        EXPECT_EQ(0, app->GetNoteCount());
        EXPECT_EQ(2, g_script.notesDeleted);
        EXPECT_EQ(row.filed, g_script.filed);
        EXPECT_TRUE(TakeQuit());
        Stop();
    }
}

TEST_F(OzuApp, ExitWithANoteWhoseFilingFailsAsksOnceAndKeepsTheNote)
{
    g_script = EditionScript();
    g_script.filingFails = true;
    ASSERT_TRUE(Start());
    CActionNote* note = OpenNote("call Bob tomorrow");
    ASSERT_NE(nullptr, note);
    CPromptScript prompts;
    prompts.AnswerNext(IDYES);
    app->OnAppExit();
    Pump();
    EXPECT_EQ(std::vector<std::string>{Message(IDS_EXIT_FILE_NOTE)}, Texts(prompts));
    EXPECT_EQ(0, prompts.Unexpected());
    EXPECT_EQ(1, g_script.filed);
    ASSERT_EQ(1, app->GetNoteCount()) << "the note that could not be filed is kept";
    CString text;
    note->GetNoteText(text);
    EXPECT_STREQ("call Bob tomorrow", text);
    EXPECT_FALSE(TakeQuit());

    // The next exit asks again once, and No lets the user leave.
    prompts.AnswerNext(IDNO);
    app->OnAppExit();
    Pump();
    EXPECT_EQ(2u, prompts.Asked().size());
    EXPECT_EQ(0, prompts.Unexpected());
    EXPECT_EQ(0, app->GetNoteCount());
    EXPECT_TRUE(TakeQuit());
    Stop();
}

// The program's other ends ask the exit command's questions about a typed
// note: the end of the back end's grace period (Yes or No, as the exit), and
// a logoff or shut-down, which Cancel or a failed filing refuses.
TEST_F(OzuApp, TheGracePeriodsEndAndALogoffAskAboutATypedNote)
{
    enum End { graceEnd, logoff };
    struct Row {
        End end;
        const char* text;
        int answer;
        bool filingFails;
        UINT buttons;
        bool ends;  // the quit is posted, or the session may end
        bool open;
    } rows[] = {
        {graceEnd, "call Bob", IDNO, false, MB_YESNO, true, false},
        {graceEnd, "call Bob", IDYES, true, MB_YESNO, false, true},
        {graceEnd, "", 0, false, 0, true, false},
        {logoff, "call Bob", IDCANCEL, false, MB_YESNOCANCEL, false, true},
        {logoff, "call Bob", IDYES, true, MB_YESNOCANCEL, false, true},
        {logoff, "call Bob", IDYES, false, MB_YESNOCANCEL, true, false},
        // No lets the note go only once the end is certain.
        {logoff, "call Bob", IDNO, false, MB_YESNOCANCEL, true, true},
        {logoff, "", 0, false, 0, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.end == graceEnd ? "grace end" : "logoff") + " '" + row.text + "' " +
                     std::to_string(row.answer));
        g_script = EditionScript();
        g_script.filingFails = row.filingFails;
        g_script.unreachableLoads = row.end == graceEnd ? 1000 : 0;
        ASSERT_TRUE(Start());
        CActionNote* note = OpenNote(row.text);
        CPromptScript prompts;
        std::vector<std::string> expected;
        bool ends = false;
        if (row.end == graceEnd) {
            prompts.AnswerNext(IDOK);
            expected.push_back(Message(IDS_BACKEND_GAVE_UP));
            app->tick += COzuApp::kGracePeriodMs + 1;
            if (row.answer)
                prompts.AnswerNext(row.answer);
            app->OnIdle(0);
            Pump();
            ends = TakeQuit() != FALSE;
        } else {
            if (row.answer)
                prompts.AnswerNext(row.answer);
            ends = app->m_pMainWnd->SendMessage(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF) != 0;
            Pump();
            EXPECT_FALSE(TakeQuit()) << "the program ends with the session, not before";
        }
        if (row.answer)
            expected.push_back(Message(IDS_EXIT_FILE_NOTE));
        EXPECT_EQ(expected, Texts(prompts));
        EXPECT_EQ(0, prompts.Unexpected());
        if (row.answer && !prompts.Asked().empty()) {
            EXPECT_EQ(row.buttons, prompts.Asked().back().nType & MB_TYPEMASK);
        }
        EXPECT_EQ(row.ends, ends);
        EXPECT_EQ(row.answer == IDYES ? 1 : 0, g_script.filed);
        EXPECT_EQ(row.open ? 1 : 0, app->GetNoteCount());
        if (row.open && app->GetNoteCount() == 1) {
            CString text;
            note->GetNoteText(text);
            EXPECT_STREQ(row.text, text) << "the note is kept as it was";
        }
        CloseAllNotes();
        Stop();
    }
}

// What the program holds right after the session's end reached it.
struct AtTheEnd {
    bool reached = false;
    bool written = false;  // the keyword file
    bool alive = false;    // the datastore and the note manager
};

AtTheEnd EndTheSession(COzuApp* app, WPARAM ending)
{
    app->m_pMainWnd->SendMessage(WM_ENDSESSION, ending, ENDSESSION_LOGOFF);
    return {true, datastore_test::Exists("keywords.xml"), app->GetDatastore() && app->GetNoteManager()};
}

// Answers Yes to every question, the session ending (or its end called
// off) while the box is open, as a forced logoff does.
class SessionEndsInsideTheQuestion : public CPromptHandler {
public:
    SessionEndsInsideTheQuestion(COzuApp* app, WPARAM ending)
        : m_pApp(app), m_ending(ending), m_pPrevious(AfxSetPromptHandler(this))
    {
    }
    ~SessionEndsInsideTheQuestion() override { AfxSetPromptHandler(m_pPrevious); }
    CPromptAnswer Respond(const CPromptRequest&) override
    {
        ++asked;
        end = EndTheSession(m_pApp, m_ending);
        CPromptAnswer answer;
        answer.nResult = IDYES;
        return answer;
    }
    int asked = 0;
    AtTheEnd end;

private:
    COzuApp* m_pApp;
    WPARAM m_ending;
    CPromptHandler* m_pPrevious;
};

// The end of the session writes what the user kept at once and asks the
// program to end, deleting nothing under its message: a question or a
// dialog open below it runs on once closed, and the shut-down follows from
// the outermost loop. A question answered after the end files nothing, an
// edit made after it is still saved, and messages of other programs open
// nothing and ask nothing. A session end called off elsewhere changes nothing.
TEST_F(OzuApp, TheSessionsEndSavesAtOnceAndDeletesNothingUnderIt)
{
    static const char kCategory[] = "11111111-0000-4000-8000-0000000000C1";
    static const char* const kShown[] = {kCategory, ""};
    enum Inside { noQuestion, logoffQuestion, closeQuestion, editDialog };
    struct Row {
        Inside inside;
        WPARAM ending;
        int filed;
    } rows[] = {
        {noQuestion, TRUE, 0},      {noQuestion, FALSE, 0}, {logoffQuestion, TRUE, 0},
        {closeQuestion, TRUE, 0},   {logoffQuestion, FALSE, 1}, {editDialog, TRUE, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.inside) + " " + std::to_string(row.ending));
        g_script = EditionScript();
        g_script.backEndCategory = "Zeppelin";
        g_script.itemTypeIds = kShown;
        DeleteFileA("keywords.xml");
        // The end keeps the typed note for the next start, which would open it.
        DeleteFileA(QuiKeptNotesPath());
        ASSERT_TRUE(Start());
        auto* store = static_cast<datastore_test::TestDatastore*>(app->GetDatastore());
        QuiItem* zeppelin = store->Item("back-end-category");
        zeppelin->setDirty(true);
        AtTheEnd end;
        if (row.inside == noQuestion) {
            end = EndTheSession(app.get(), row.ending);
        } else if (row.inside == editDialog) {
            QuiKestrel* kestrel = store->GetKestrel();
            EXPECT_TRUE(kestrel->getTypeCategoryList()->add(new QuiTypeCategory(QuiItemID(kCategory), "Cats")));
            EXPECT_TRUE(kestrel->registerType(store->GetItemType(datastore_test::kCategoryType), QuiItemID(kCategory)));
            app->m_pMainWnd->SendMessage(WM_COMMAND, ID_TRAY_ITEM_VIEWER);
            CKestrelViewerDlg* viewer = CKestrelViewerDlg::GetOpen();
            EXPECT_TRUE(viewer && viewer->GetList().GetItemCount() == 1) << "the viewer lists the one item";
            ModalDriver<CEditItemDlg> driver([&](CEditItemDlg* dialog) {
                dialog->SetDlgItemText(IDC_EDIT_ITEM_KEYWORDS, "airship");
                end = EndTheSession(app.get(), row.ending);
                dialog->SendMessage(WM_COMMAND, IDOK);
            });
            if (viewer) {
                viewer->GetList().SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
                viewer->EditSelected();
                viewer->DestroyWindow();
            }
            EXPECT_EQ(1, driver.ran);
            EXPECT_EQ("airship", Keywords(zeppelin)) << "the edit reached the item";
            EXPECT_NE(std::string::npos, ReadBytes("keywords.xml").find("airship")) << "and the file";
        } else {
            CActionNote* note = OpenNote("call Bob");
            SessionEndsInsideTheQuestion prompts(app.get(), row.ending);
            if (row.inside == logoffQuestion)
                app->m_pMainWnd->SendMessage(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
            else
                app_test::CloseNoteBy(note, CloseBy::button);
            Pump();
            EXPECT_EQ(1, prompts.asked);
            EXPECT_EQ(row.filed, g_script.filed);
            EXPECT_EQ(row.filed ? 0 : 1, app->GetNoteCount()) << "a note asked about after the end stays";
            end = prompts.end;
        }
        const bool ended = row.ending != FALSE;
        EXPECT_TRUE(end.reached);
        EXPECT_EQ(ended, end.written) << "written before the message returned";
        EXPECT_TRUE(end.alive) << "nothing deleted under the message";
        if (ended) {
            CPromptScript prompts;
            const int notes = app->GetNoteCount();
            app->m_pMainWnd->SendMessage(QUI_NAN_MSG, 0, 0);
            EXPECT_NE(0, app->m_pMainWnd->SendMessage(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
            app->m_pMainWnd->SendMessage(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
            Pump();
            EXPECT_EQ(notes, app->GetNoteCount());
            EXPECT_EQ(0u, prompts.Asked().size());
        }
        EXPECT_EQ(ended, TakeQuit() != FALSE);
        CloseAllNotes();
        Stop();
        EXPECT_TRUE(datastore_test::Exists("keywords.xml")) << "the exit writes the dirty item in every case";
    }
}

// A file dialog in which the user browsed to another folder, and whose
// system leaves the process there.
class BrowsesElsewhere : public CPromptScript {
public:
    explicit BrowsesElsewhere(std::string folder) : m_folder(std::move(folder)) {}
    CPromptAnswer Respond(const CPromptRequest& request) override
    {
        flags = request.nType;
        ::SetCurrentDirectoryA(m_folder.c_str());
        return CPromptScript::Respond(request);
    }
    UINT flags = 0;

private:
    std::string m_folder;
};

// The item files resolve against the current folder: a file dialog leaves it
// where the program started, and a keyword saved afterwards lands there.
TEST_F(OzuApp, AFileDialogLeavesTheKeywordFileInTheStartFolder)
{
    g_script.backEndCategory = "Zeppelin";
    ASSERT_TRUE(Start());
    const std::string elsewhere = m_folder + "\\elsewhere";
    ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr));
    CActionNote* note = OpenNote("call Bob");
    ASSERT_NE(nullptr, note);
    BrowsesElsewhere prompts(elsewhere);
    prompts.AnswerNextFile((elsewhere + "\\minutes.txt").c_str());
    note->GetNoteWnd()->SendMessage(WM_COMMAND, ID_NOTE_ATTACH);
    EXPECT_EQ(1u, prompts.Asked().size());
    EXPECT_EQ(static_cast<UINT>(OFN_NOCHANGEDIR), prompts.flags & OFN_NOCHANGEDIR);
    auto* store = static_cast<datastore_test::TestDatastore*>(app->GetDatastore());
    store->Item("back-end-category")->keywordsAdd("airship");
    store->Item("back-end-category")->setDirty(true);
    EXPECT_TRUE(store->SaveKeywordFile());
    EXPECT_NE(std::string::npos, ReadBytes(m_folder + "\\keywords.xml").find("airship"));
    EXPECT_FALSE(datastore_test::Exists(elsewhere + "\\keywords.xml"));
    CloseAllNotes();
}

TEST_F(OzuApp, NotesOpenOnlyWhileReadyAndCascadeFromTheCurrentOne)
{
    Make();
    EXPECT_EQ(nullptr, app->NewNote()) << "not started";
    Stop();
    ASSERT_TRUE(Start());
    CActionNote* first = OpenNote();
    CActionNote* second = OpenNote();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(second, app->GetCurrentNote());
    CRect a, b;
    first->GetNoteWnd()->GetWindowRect(a);
    second->GetNoteWnd()->GetWindowRect(b);
    EXPECT_EQ(a.Width(), b.Width());
    EXPECT_LT(a.left, b.left);
    EXPECT_LT(a.top, b.top);
    CloseAllNotes();
    Stop();
}

TEST_F(OzuApp, WithoutANoteForTheEditionNoNoteOpens)
{
    static const QuiEdition datastoreOnly = {&MakeDatastoreOf<4>, nullptr};
    QuiRegisterEdition(4, &datastoreOnly);
    ASSERT_TRUE(Start());
    EXPECT_EQ(nullptr, app->NewNote());
    EXPECT_EQ(0, app->GetNoteCount());
    Stop();
}

TEST_F(OzuApp, ASecondStartBroadcastsTheNewNoteMessageAndMakesNoWindow)
{
    HANDLE running = ::CreateMutexA(nullptr, TRUE, "QUI_SINGLE_INSTANCE_MUTEX");
    ASSERT_NE(nullptr, running);
    struct Listener : CWnd {
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == QUI_NAN_MSG)
                ++heard;
            return CWnd::WindowProc(message, wParam, lParam);
        }
        int heard = 0;
    } listener;
    ASSERT_TRUE(listener.CreateEx(0, nullptr, "listener", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_FALSE(Start());
    EXPECT_EQ(1, listener.heard);
    EXPECT_EQ(nullptr, app->m_pMainWnd);
    EXPECT_EQ(nullptr, app->GetPrefs());
    EXPECT_FALSE(app->IsAutomationServerStarted());
    app.reset();
    listener.DestroyWindow();
    ::CloseHandle(running);
}

} // namespace

namespace {

// Web actions kept off line and not sent are told at the exit. The session's
// end writes their list and asks only to retry a list that cannot be
// written; the count is not told while the session ends, the actions
// staying in the list for the next run.
TEST_F(OzuApp, WebActionsKeptOffLineAndNeverSentAreToldAtExit)
{
    struct Row {
        bool sessionEnds;
        bool listFails;  // the list's file cannot be written
        std::vector<UINT> asked;
    } rows[] = {
        {false, false, {IDS_OFFLINE_KEPT}},
        {true, false, {}},
        {true, true, {IDS_OFFLINE_CACHE_FAILED, IDS_OFFLINE_NOT_SAVED}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.sessionEnds) + " " + std::to_string(row.listFails));
        g_script = EditionScript();
        QuiTesting::RemoveFolder(m_folder + "\\actioncache.dat");
        DeleteFileA("actioncache.dat");
        if (row.listFails)
            CreateDirectoryA("actioncache.dat", nullptr);
        CPromptScript prompts;
        if (row.listFails)
            prompts.AnswerNext(IDOK);
        ASSERT_TRUE(Start());
        // No browser answers: a web action stays in the offline list.
        CWebActionHandler* handler = OffLineHandler();
        CWebActionJug first, second;
        first.m_nConnectorIndex = second.m_nConnectorIndex = 0;
        first.m_nSubtypeIndex = second.m_nSubtypeIndex = 0;
        EXPECT_EQ(2, handler->SubmitAction(first));
        EXPECT_EQ(2, handler->SubmitAction(second));
        if (row.sessionEnds) {
            prompts.AnswerNext(IDCANCEL);
            app->m_pMainWnd->SendMessage(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
            EXPECT_EQ(!row.listFails, handler->GetActionList().IsCacheSaved() != FALSE);
        } else {
            prompts.AnswerNext(IDOK);
        }
        std::vector<std::string> asked;
        for (UINT id : row.asked) {
            CString text;
            if (id == IDS_OFFLINE_KEPT)
                text.Format(Message(id).c_str(), 2);
            else
                text.Format(Message(id).c_str(), handler->GetActionList().GetCachePath().GetString());
            asked.push_back(text.GetString());
        }
        Stop();
        TakeQuit();
        EXPECT_EQ(asked, Texts(prompts));
        EXPECT_EQ(0, prompts.Unexpected());
    }
    QuiTesting::RemoveFolder(m_folder + "\\actioncache.dat");
}

// The idle processing sends a web action kept off line once a browser takes
// it: at the first pass, then at most once a minute, and once only.
TEST_F(OzuApp, TheIdlePassSendsAWebActionKeptOffLineOnce)
{
    BrowserStandInTesting::Installation standIns;
    ASSERT_TRUE(Start());
    CWebActionHandler* handler = OffLineHandler();
    CWebActionJug action;
    action.m_nConnectorIndex = action.m_nSubtypeIndex = 0;
    action.SetParameter("querystring", "later");
    ASSERT_EQ(2, handler->SubmitAction(action));
    struct Pass {
        DWORD browser;   // the setting: 4 none, 3 the web browser object
        DWORD tick;
        size_t sent;     // navigations so far
        int kept;
    } passes[] = {
        {4, 1000, 0, 1},
        {3, 30000, 0, 1},   // on line, but within the minute of the last try
        {3, 61000, 1, 0},
        {3, 200000, 1, 0},
    };
    for (const Pass& pass : passes) {
        SCOPED_TRACE(pass.tick);
        SetDword("Browser", pass.browser, "Software\\Quillmate\\Client\\Preferences");
        QuiURLHandler::GetDefaultBrowser()->CreateBrowser();
        app->tick = pass.tick;
        app->OnIdle(0);
        EXPECT_EQ(pass.sent, standIns.Lines("InternetExplorer.Navigate http://find.test/later").size());
        EXPECT_EQ(pass.kept, handler->GetUnsentCount());
    }
    Stop();
}

// A top-level window of a thread that stops answering messages.
class HungWindow {
public:
    HungWindow() : m_made(CreateEventA(nullptr, TRUE, FALSE, nullptr)), m_release(CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
        m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        WaitForSingleObject(m_made, 10000);
    }
    ~HungWindow()
    {
        SetEvent(m_release);
        WaitForSingleObject(m_thread, 10000);
        for (HANDLE handle : {m_thread, m_made, m_release})
            CloseHandle(handle);
    }
    HWND Window() const { return m_window; }

private:
    static DWORD WINAPI Run(void* self)
    {
        auto* hung = static_cast<HungWindow*>(self);
        hung->m_window = CreateWindowExA(0, "STATIC", "hung", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        SetEvent(hung->m_made);
        // Never pumps again until released.
        WaitForSingleObject(hung->m_release, INFINITE);
        DestroyWindow(hung->m_window);
        return 0;
    }

    HANDLE m_made;
    HANDLE m_release;
    HANDLE m_thread = nullptr;
    HWND m_window = nullptr;
};

DWORD WINAPI Broadcast(void*)
{
    QuiBroadcastNewNote(COzuApp::kBroadcastTimeoutMs);
    return 0;
}

TEST(SecondStart, TheNewNoteBroadcastDoesNotWaitForAHungWindow)
{
    HungWindow hung;
    ASSERT_NE(nullptr, hung.Window());
    HANDLE sender = CreateThread(nullptr, 0, Broadcast, nullptr, 0, nullptr);
    // Several times the time-out for the one hung window; a broadcast that
    // waits for it would still be waiting.
    // This thread's own windows answer the broadcast meanwhile.
    const bool done = QuiTesting::PumpUntil([sender] { return WaitForSingleObject(sender, 0) == WAIT_OBJECT_0; },
                                            8 * COzuApp::kBroadcastTimeoutMs, sender);
    EXPECT_TRUE(done) << "the second start would hang";
    CloseHandle(sender);
}

} // namespace
