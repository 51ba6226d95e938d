// The tray window: the icon's clicks and menu, the hot keys and the new-note
// broadcast, the limit of five notes, the tip of the day, help and the
// spoken commands.
#include "AppTestSupport.h"

#include <functional>
#include <stdexcept>

#include "KestrelViewerDlg.h"
#include "NoteManager.h"
#include "OzuPrefs.h"
#include "OzuPropSheet.h"
#include "PrefPages.h"

using namespace app_test;

namespace {

class TrayWnd : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
        tray = app->Tray();
    }

    void TearDown() override
    {
        CloseAllNotes();
        AppFixture::TearDown();
    }

    void CloseAllNotes() { app_test::CloseAllNotes(app.get()); }

    LRESULT Click(LPARAM mouse, WPARAM id = IDR_TRAY)
    {
        LRESULT result = tray->SendMessage(WM_USER, id, mouse);
        Pump();
        return result;
    }

    CEditionDatastore* Datastore() { return static_cast<CEditionDatastore*>(app->GetDatastore()); }

    CTestTrayWnd* tray = nullptr;
};

class CPhraseTrayWnd : public CTestTrayWnd {
public:
    using CTrayWnd::OnPhraseHeard;
};

TEST(TrayMenuText, TheNewNoteItemShowsTheHotKeyAfterATab)
{
    struct Row {
        const char* item;
        const char* hotKey;
        const char* expected;
    } rows[] = {
        {"&New Note", "", "&New Note"},
        {"&New Note", "Ctrl+Alt+N", "&New Note\tCtrl+Alt+N"},
        {"&New Note\tCtrl+Alt+N", "Ctrl+Shift+Q", "&New Note\tCtrl+Shift+Q"},
        {"&New Note\tCtrl+Alt+N", "", "&New Note"},
        {"&New Note\tA\tB", "C", "&New Note\tC"},
        {"", "Ctrl+Q", "\tCtrl+Q"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, std::string(QuiMenuTextWithHotKey(row.item, row.hotKey).GetString())) << row.item;
}

TEST_F(TrayWnd, ARightClickShowsTheMenuWithTheHotKeyInForce)
{
    COzuPrefs* prefs = app->GetPrefs();
    prefs->m_bHotKeysEnabled = 1;
    prefs->m_dwNewHotKey = 0x3004E;
    CString name;
    prefs->GetHotKeyName(prefs->m_dwNewHotKey, name);
    ASSERT_FALSE(name.IsEmpty());
    EXPECT_EQ(1, Click(WM_RBUTTONUP));
    ASSERT_FALSE(tray->icon->shownItems.empty());
    EXPECT_EQ("&New Note\t" + std::string(name.GetString()), tray->icon->shownItems[0]);
    EXPECT_EQ(0u, tray->icon->defaultItem);
    EXPECT_EQ("Edition entry", tray->icon->shownItems.back());
    EXPECT_EQ(1, Datastore()->trayMenus);
    EXPECT_EQ(1, Datastore()->trayMenusClosed);

    prefs->m_dwNewHotKey = 0x30051;
    CString changed;
    prefs->GetHotKeyName(prefs->m_dwNewHotKey, changed);
    Click(WM_RBUTTONUP);
    EXPECT_EQ("&New Note\t" + std::string(changed.GetString()), tray->icon->shownItems[0]);

    prefs->m_bHotKeysEnabled = 0;
    Click(WM_RBUTTONUP);
    EXPECT_EQ("&New Note", tray->icon->shownItems[0]);
}

TEST_F(TrayWnd, OnlyItsOwnIconsRightClickAndDoubleClickAreHandled)
{
    struct Row {
        WPARAM id;
        LPARAM mouse;
        LRESULT result;
        bool menu;
        int notes;
    } rows[] = {
        {IDR_TRAY, WM_RBUTTONUP, 1, true, 0},
        {IDR_TRAY, WM_LBUTTONDBLCLK, 1, false, 1},
        {IDR_TRAY, WM_LBUTTONUP, 0, false, 0},
        {IDR_TRAY, WM_RBUTTONDOWN, 0, false, 0},
        {IDR_TRAY, WM_MOUSEMOVE, 0, false, 0},
        {IDR_TRAY + 1, WM_RBUTTONUP, 0, false, 0},
        {IDR_TRAY + 1, WM_LBUTTONDBLCLK, 0, false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.id << " " << row.mouse);
        tray->icon->shownItems.clear();
        EXPECT_EQ(row.result, Click(row.mouse, row.id));
        EXPECT_EQ(row.menu, !tray->icon->shownItems.empty());
        EXPECT_EQ(row.notes, app->GetNoteCount());
        CloseAllNotes();
    }
}

TEST_F(TrayWnd, ADoubleClickRunsTheFirstItemWhateverItIs)
{
    // The menu's own first item opens a note; the command is the item's id.
    Click(WM_LBUTTONDBLCLK);
    EXPECT_EQ(1, app->GetNoteCount());
}

TEST_F(TrayWnd, TheIconIsDeafWhileTheWindowIsDisabledUnlessABoxIsOpen)
{
    struct Row {
        BOOL enabled;
        int boxes;
        LRESULT result;
        bool menu;
    } rows[] = {
        {TRUE, 0, 1, true},
        {FALSE, 0, 1, false},
        {FALSE, 1, 1, true},
        {TRUE, 1, 1, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.enabled << " " << row.boxes);
        tray->icon->shownItems.clear();
        tray->EnableWindow(row.enabled);
        for (int i = 0; i < row.boxes; ++i)
            app->BeginModalBox();
        EXPECT_EQ(row.result, Click(WM_RBUTTONUP));
        EXPECT_EQ(row.menu, !tray->icon->shownItems.empty());
        for (int i = 0; i < row.boxes; ++i)
            app->EndModalBox();
    }
    tray->EnableWindow(TRUE);
}

TEST_F(TrayWnd, TheMenuCommandReachesItsHandler)
{
    tray->icon->choose = ID_TRAY_RELOAD;
    Click(WM_RBUTTONUP);
    EXPECT_EQ(2u, g_script.made.size()) << "a full reload";
    tray->icon->choose = 402;
    Click(WM_RBUTTONUP);
    EXPECT_EQ(std::vector<UINT>{402}, Datastore()->trayCommands);
}

// What would replace the datastore or the browser a filing waits on.
TEST_F(TrayWnd, WhileAFilingWaitsReloadAndPreferencesAreGreyedAndRefused)
{
    {
        CAppWait wait;
        Click(WM_RBUTTONUP);
        EXPECT_EQ((std::vector<UINT>{ID_TRAY_PREFERENCES, ID_TRAY_RELOAD}), tray->icon->greyedItems);
        tray->SendMessage(WM_COMMAND, ID_TRAY_PREFERENCES);
        EXPECT_EQ(nullptr, app->m_pPrefSheet);
    }
    Click(WM_RBUTTONUP);
    EXPECT_TRUE(tray->icon->greyedItems.empty());
}

TEST_F(TrayWnd, TheItemDatabaseCommandOpensOneViewerThatAFullReloadWaitsFor)
{
    HMENU menu = ::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_TRAY));
    ASSERT_NE(nullptr, menu);
    EXPECT_NE(static_cast<UINT>(-1), ::GetMenuState(menu, ID_TRAY_ITEM_VIEWER, MF_BYCOMMAND)) << "the menu offers it";
    ::DestroyMenu(menu);

    tray->SendMessage(WM_COMMAND, ID_TRAY_ITEM_VIEWER);
    CKestrelViewerDlg* viewer = CKestrelViewerDlg::GetOpen();
    ASSERT_NE(nullptr, viewer);
    EXPECT_EQ(viewer, app->m_pItemViewer);
    tray->SendMessage(WM_COMMAND, ID_TRAY_ITEM_VIEWER);
    EXPECT_EQ(viewer, CKestrelViewerDlg::GetOpen()) << "the open viewer is activated";
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    app->ReloadDatastore(1, FALSE);
    EXPECT_EQ(1u, g_script.made.size()) << "the full reload waits for the viewer";
    EXPECT_EQ(1u, prompts.Asked().size());
    viewer->DestroyWindow();
    EXPECT_EQ(nullptr, app->m_pItemViewer);
    EXPECT_EQ(nullptr, CKestrelViewerDlg::GetOpen());
    app->ReloadDatastore(1, FALSE);
    EXPECT_EQ(2u, g_script.made.size()) << "the waiting reload runs once the viewer is closed";
    EXPECT_EQ(COzuApp::kIdle, COzuApp::GetReloadStage());
}

TEST_F(TrayWnd, ALightReloadRefillsTheOpenViewer)
{
    static const char kCategory[] = "11111111-0000-4000-8000-0000000000C1";
    static const char* const kShown[] = {kCategory, ""};
    g_script.itemTypeIds = kShown;
    Datastore()->RegisterTypes();
    QuiKestrel* kestrel = Datastore()->GetKestrel();
    ASSERT_TRUE(kestrel->getTypeCategoryList()->add(new QuiTypeCategory(QuiItemID(kCategory), "Cats")));
    ASSERT_TRUE(kestrel->registerType(Datastore()->GetItemType(datastore_test::kCategoryType), QuiItemID(kCategory)));
    QuiItem* alpha = Datastore()->AddItem(datastore_test::kCategoryType, "alpha", "Alpha");
    tray->SendMessage(WM_COMMAND, ID_TRAY_ITEM_VIEWER);
    CKestrelViewerDlg* viewer = CKestrelViewerDlg::GetOpen();
    ASSERT_NE(nullptr, viewer);
    ASSERT_EQ(1, viewer->GetList().GetItemCount());

    // The reload reads the item file, which now names another item; the one
    // listed so far has left the datastore.
    WriteBytes("QuiSystem.xml", datastore_test::ItemFile(datastore_test::Record(datastore_test::kCategoryType,
                                                                                  "beta", "Beta", "b", "0x0001")));
    ASSERT_TRUE(Datastore()->RemoveItem(alpha));
    app->ReloadDatastore(0, FALSE);
    EXPECT_EQ(COzuApp::kIdle, COzuApp::GetReloadStage());
    EXPECT_EQ(1u, g_script.made.size()) << "a light reload";
    ASSERT_EQ(viewer, CKestrelViewerDlg::GetOpen());
    std::vector<std::string> rows;
    for (int row = 0; row < viewer->GetList().GetItemCount(); ++row) {
        QuiItem* item = viewer->GetRowItem(row);
        ASSERT_NE(nullptr, item);
        EXPECT_EQ(item, Datastore()->GetItemList()->get(item->getID())) << "a row names an item that left";
        rows.push_back(std::string(viewer->GetList().GetItemText(row, 0)) + "|" +
                       viewer->GetList().GetItemText(row, 1).GetString());
    }
    EXPECT_EQ(std::vector<std::string>{"Beta|b"}, rows);
    viewer->DestroyWindow();
}

namespace {
BOOL ConnectorsChanged(CWnd*)
{
    return TRUE;
}
} // namespace

TEST_F(TrayWnd, ChangedConnectorsReloadTheDatastoreLightly)
{
    CPropPageAdvanced::SetConnectorDlgRunner(&ConnectorsChanged);
    ASSERT_TRUE(ShowPreferences(QUI_PREFS_PAGE_ADVANCED));
    COzuPropSheet* sheet = app->m_pPrefSheet;
    ASSERT_NE(nullptr, sheet);
    CPropPageAdvanced& page = sheet->m_pageAdvanced;
    int syncs = g_script.syncs;
    page.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PREFS_CONNECTORS, BN_CLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(page.m_hWnd, IDC_PREFS_CONNECTORS)));
    EXPECT_EQ(syncs + 1, g_script.syncs);
    EXPECT_EQ(1u, g_script.made.size()) << "no new datastore";
    CPropPageAdvanced::SetConnectorDlgRunner(nullptr);
    sheet->DestroyWindow();
}

TEST_F(TrayWnd, TheNewNoteBroadcastAndTheHotKeysOpenNotes)
{
    COzuPrefs* prefs = app->GetPrefs();
    EXPECT_EQ(1, tray->SendMessage(QUI_NAN_MSG, 0, 0));
    Pump();
    EXPECT_EQ(1, app->GetNoteCount());
    struct Row {
        WPARAM id;
        int more;
    } rows[] = {
        {0, 0},
        {prefs->m_atomNewHotKey, 1},
        {prefs->m_atomGrabHotKey, 1},
        {0xBEEF, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        int before = app->GetNoteCount();
        EXPECT_EQ(0, tray->SendMessage(WM_HOTKEY, row.id, 0));
        Pump();
        EXPECT_EQ(before + row.more, app->GetNoteCount());
    }
}

BOOL GrabForTest(CString& text)
{
    text = "selected words";
    return TRUE;
}

BOOL FailToGrab(CString& text)
{
    text = "never used";
    return FALSE;
}

TEST_F(TrayWnd, ANoteFromTheSelectionTakesTheGrabbedText)
{
    struct Row {
        CTrayWnd::SelectionGrabber grabber;
        const char* text;
    } rows[] = {
        {nullptr, ""},
        {&GrabForTest, "selected words"},
        {&FailToGrab, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        CTrayWnd::SetSelectionGrabber(row.grabber);
        tray->SendMessage(WM_COMMAND, ID_TRAY_NOTE_FROM_SELECTION, 0);
        Pump();
        ASSERT_EQ(1, app->GetNoteCount());
        CString text;
        app->GetCurrentNote()->GetNoteText(text);
        EXPECT_EQ(row.text, std::string(text.GetString()));
        CloseAllNotes();
    }
    CTrayWnd::SetSelectionGrabber(nullptr);
}

TEST_F(TrayWnd, FeatureSixRefusesASixthNoteOnceWithAMessage)
{
    struct Row {
        bool feature6;
        UINT command;
        int boxes;
        int notes;
        size_t messages;
        UINT type;
    } rows[] = {
        {true, ID_TRAY_NEW_NOTE, 0, 5, 1, MB_ICONEXCLAMATION | MB_SYSTEMMODAL},
        {true, ID_TRAY_NOTE_FROM_SELECTION, 0, 5, 1, MB_ICONEXCLAMATION},
        {true, ID_TRAY_NEW_NOTE, 1, 5, 0, 0},
        {false, ID_TRAY_NEW_NOTE, 0, 6, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.command << " feature 6: " << row.feature6);
        g_script.features.clear();
        if (row.feature6)
            g_script.features.insert(6);
        for (int i = 0; i < 5; ++i)
            ASSERT_NE(nullptr, app->NewNote());
        Pump();
        for (int i = 0; i < row.boxes; ++i)
            app->BeginModalBox();
        CPromptScript prompts;
        tray->SendMessage(WM_COMMAND, row.command, 0);
        Pump();
        for (int i = 0; i < row.boxes; ++i)
            app->EndModalBox();
        EXPECT_EQ(row.notes, app->GetNoteCount());
        ASSERT_EQ(row.messages, prompts.Asked().size());
        if (row.messages) {
            EXPECT_EQ(Message(IDS_TOO_MANY_NOTES), std::string(prompts.Asked()[0].text.GetString()));
            EXPECT_EQ(row.type, prompts.Asked()[0].nType);
        }
        CloseAllNotes();
    }
}

TEST_F(TrayWnd, TheStartUpTipIsShownAtMostOncePerDayAndOnlyWhenSet)
{
    ClientRegistry& settings = *app->GetSettings();
    double today = app->now.m_dt;
    struct Row {
        DWORD startup;
        double lastShown;
        int shown;
    } rows[] = {
        {1, today - 1.0, 1},
        {1, today, 0},
        {1, today - 0.5, 0},
        {0, today - 3.0, 0},
        {1, 0.0, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.startup << " " << row.lastShown);
        app->SetSettingDword(ClientRegistry::TipStartup, row.startup);
        app->SetSettingDword(ClientRegistry::TipLastShown, static_cast<DWORD>(row.lastShown));
        CDialogCloser closer;
        tray->SendMessage(WM_COMMAND, ID_TRAY_NEW_NOTE, 0);
        Pump();
        EXPECT_EQ(row.shown, CDialogCloser::Count());
        DWORD expected = row.shown ? static_cast<DWORD>(today) : static_cast<DWORD>(row.lastShown);
        EXPECT_EQ(expected, *static_cast<const DWORD*>(settings.GetValue(ClientRegistry::TipLastShown, false)));
        CloseAllNotes();
    }
    app->SetSettingDword(ClientRegistry::TipLastShown, static_cast<DWORD>(today));
    CDialogCloser closer;
    tray->SendMessage(WM_COMMAND, ID_TRAY_TIP, 0);
    EXPECT_EQ(1, CDialogCloser::Count()) << "the command shows it at any time";
}

TEST_F(TrayWnd, ANotesConfirmationIsShownOnceAndAnyOtherNumberShowsNothing)
{
    CActionNote* note = app->NewNote();
    ASSERT_NE(nullptr, note);
    note->SetNoteText("lunch");
    CStringArray lines;
    lines.Add("To-do");
    LPARAM ticket = 0;
    // The note's own message, then the same number again and numbers that
    // any program on the desktop may post.
    struct Row {
        const char* what;
        std::function<void()> post;
        int shown;
    } rows[] = {
        {"the note's confirmation",
         [&] {
             note->ShowSavedNote(&lines, IDS_EDITION_NOTES);
             MSG msg;
             ASSERT_TRUE(::PeekMessageA(&msg, tray->GetSafeHwnd(), CTrayWnd::WM_TRAY_SAVED_NOTE,
                                        CTrayWnd::WM_TRAY_SAVED_NOTE, PM_NOREMOVE));
             ticket = msg.lParam;
         },
         1},
        {"its number again", [&] { tray->PostMessage(CTrayWnd::WM_TRAY_SAVED_NOTE, 0, ticket); }, 0},
        {"the next number", [&] { tray->PostMessage(CTrayWnd::WM_TRAY_SAVED_NOTE, 0, ticket + 1); }, 0},
        {"a made-up address", [&] { tray->PostMessage(CTrayWnd::WM_TRAY_SAVED_NOTE, 0, 0x12345678); }, 0},
        {"null", [&] { tray->PostMessage(CTrayWnd::WM_TRAY_SAVED_NOTE, 0, 0); }, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CDialogCloser closer;
        row.post();
        Pump();
        EXPECT_EQ(row.shown, CDialogCloser::Count());
    }
    EXPECT_EQ(0u, app->GetSettingDword(ClientRegistry::HideSavedNoteDlg));
}

TEST_F(TrayWnd, HelpAsksForTheActiveWindowsTopicAndQuickStartForItsOwn)
{
    tray->SendMessage(WM_COMMAND, ID_TRAY_QUICK_START, 0);
    tray->SendMessage(WM_COMMAND, ID_TRAY_HELP, 0);
    ASSERT_EQ(2u, tray->help.size());
    EXPECT_EQ(std::make_pair(DWORD(1000), UINT(HELP_FORCEFILE)), tray->help[0]);
    HWND active = ::GetActiveWindow();
    DWORD context = active ? ::GetWindowContextHelpId(active) : 0;
    EXPECT_EQ(std::make_pair(context, UINT(HELP_CONTEXT)), tray->help[1]);
}

TEST_F(TrayWnd, ASettingChangeReloadsLightly)
{
    int syncs = g_script.syncs;
    tray->SendMessage(WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(syncs + 1, g_script.syncs);
    EXPECT_EQ(1u, g_script.made.size());
}

// Another program's setting change reloads with no note open: a parser
// that then fails to load is told once, and the idle passes try again.
TEST_F(TrayWnd, AParserThatFailsToLoadAgainIsToldOnceAndTriedAgain)
{
    g_script.whileLoading = [] { throw std::runtime_error("the parser's items"); };
    CPromptScript prompts;
    prompts.AnswerNext(IDOK);
    tray->SendMessage(WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(std::vector<std::string>{Message(IDS_PARSER_RELOAD_FAILED)}, Texts(prompts));
    EXPECT_EQ(nullptr, app->GetParserMgr()) << "a manager that was never set up";
    EXPECT_TRUE(app->IsParserPending());
    app->OnIdle(0);
    EXPECT_TRUE(app->IsParserPending()) << "not before its time";
    app->tick += COzuApp::kParserRetryMs;
    app->OnIdle(0);
    EXPECT_FALSE(app->IsParserPending());
    EXPECT_NE(nullptr, app->GetParserMgr());
    EXPECT_EQ(1u, prompts.Asked().size());
}

TEST_F(TrayWnd, SpokenCommandsToANoteNeedAnActiveNote)
{
    Stop();
    struct PhraseApp : CTestApp {
        CTrayWnd* CreateTrayWnd() override { return new CPhraseTrayWnd; }
    };
    app.reset(new PhraseApp);
    app->m_lpCmdLine = const_cast<char*>("");
    ASSERT_TRUE(app->InitInstance());
    auto* phrases = static_cast<CPhraseTrayWnd*>(app->GetTrayWnd());
    struct Row {
        long command;
        BOOL handled;
        int notes;
    } rows[] = {
        {ID_DEST_CLOSE_NOTE, FALSE, 0},
        {ID_DEST_FILE, FALSE, 0},
        {ID_TRAY_NEW_NOTE, TRUE, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.command);
        BOOL handled = -1;
        phrases->OnPhraseHeard("phrase", row.command, nullptr, &handled, "", "");
        Pump();
        EXPECT_EQ(row.handled, handled);
        EXPECT_EQ(row.notes, app->GetNoteCount());
    }
}

} // namespace
