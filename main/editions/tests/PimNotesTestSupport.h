// What the edition note tests share: each edition's real datastore against
// its stand-in, watched at the one door every record goes through, the
// real parser manager with the date package, and an application whose notes
// are the edition's own note and windows, with a tray window that records
// its icons and help.
#pragma once

#include "QuiTesting.h"
#include <afxquill.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

// Before QuiResIds.h: PimPanes.h declares a name that it defines as a macro.
#include "PimNotes.h"

#include "AppTestSupport.h"
#include "ClientRegistry.h"
#include "DateUtil.h"
#include "GodwitDispIds.h"
#include "IbeDatastore.h"
#include "NoteManager.h"
#include "NotesStandInFixture.h"
#include "OutlookStandInFixture.h"
#include "OzuDatastore.h"
#include "OzuPrefs.h"
#include "PalmDesktopFixture.h"
#include "ParseFixture.h"
#include "PimTestSupport.h"
#include "QuiComTesting.h"
#include "QuiParserMgr.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"
#include "RukDatastore.h"
#include "TestSupport.h"
#include "URLHandler.h"

namespace pimnote_test {

// One record as it reached the datastore.
struct Filed {
    long type = 0;
    std::string body;
    DATE due = 0.0;
    DATE start = 0.0;
};

// What the datastore is told to do and what it saw; reset for every test.
struct DoorScript {
    std::set<int> extraFeatures;   // answered on top of the datastore's own
    long refuseType = 0;           // records of this type are refused...
    int refusals = 0;              // ...this many times
    enum Failure { byEdition, byDispatch, byOle } failure = byEdition;
    std::vector<Filed> filed;
    int webActions = 0;
    int webResult = 1;
};

inline DoorScript g_door;

inline DATE DateProperty(COleDispatchDriver& record, DISPID id)
{
    DATE value = 0.0;
    record.GetProperty(id, VT_DATE, &value);
    return value;
}

// The edition's datastore with its door watched.
template <class Base>
class CWatchedDatastore : public Base {
public:
    long FileRecord(IDispatch* record) override
    {
        COleDispatchDriver view(record, FALSE);
        Filed filed;
        view.GetProperty(DISPID_GODWIT_TYPE, VT_I4, &filed.type);
        CString body;
        view.GetProperty(DISPID_GODWIT_BODY, VT_BSTR, &body);
        filed.body = body.GetString();
        filed.due = DateProperty(view, DISPID_GODWIT_DUEDATE);
        filed.start = DateProperty(view, DISPID_GODWIT_STARTDATE);
        if (g_door.refusals > 0 && (filed.type & g_door.refuseType)) {
            --g_door.refusals;
            switch (g_door.failure) {
            case DoorScript::byEdition:
                throw new COzuExcept(IDS_RECORD_REFUSED);
            case DoorScript::byDispatch: {
                EXCEPINFO info = {};
                info.scode = DISP_E_EXCEPTION;
                throw new COleDispatchException(info);
            }
            case DoorScript::byOle:
                AfxThrowOleException(REGDB_E_CLASSNOTREG);
            }
        }
        const long answer = Base::FileRecord(record);
        g_door.filed.push_back(filed);
        return answer;
    }
    BOOL HasFeature(int n) override { return g_door.extraFeatures.count(n) || Base::HasFeature(n); }
    int SendWebAction(CWebActionJug*) override
    {
        ++g_door.webActions;
        return g_door.webResult;
    }
};

// What the edition's note confirmed; the notes that ended.
struct NoteLog {
    std::vector<std::vector<std::string>> confirmed;
    std::vector<UINT> labels;
    int deleted = 0;
};

inline NoteLog g_notes;

// The edition's note with its confirmation recorded instead of shown.
template <class Base>
class CLoggedNote : public Base {
public:
    ~CLoggedNote() override { ++g_notes.deleted; }
    int ShowSavedNote(CStringArray* lines, UINT idLabel) override
    {
        std::vector<std::string> texts;
        for (int i = 0; lines && i < lines->GetSize(); ++i)
            texts.push_back(lines->GetAt(i).GetString());
        g_notes.confirmed.push_back(texts);
        g_notes.labels.push_back(idLabel);
        return 0;
    }
};

// The block of the last poisoned note deleted; kept until the test ends.
inline void* g_poisoned = nullptr;
inline size_t g_poisonedSize = 0;

class CPoisonedNote : public CLoggedNote<COzuActionNote> {
public:
    static void operator delete(void* block, size_t size)
    {
        std::memset(block, 0xDD, size);
        ::operator delete(g_poisoned);
        g_poisoned = block;
        g_poisonedSize = size;
    }
};

// Whether the kept block is untouched since its note was deleted.
inline bool PoisonIntact()
{
    const auto* bytes = static_cast<const unsigned char*>(g_poisoned);
    for (size_t i = 0; bytes && i < g_poisonedSize; ++i) {
        if (bytes[i] != 0xDD)
            return false;
    }
    return bytes != nullptr;
}

class NotesApp : public CQuillmateApp {
public:
    CActionNote* CreateNote(BOOL bCascade) override
    {
        CActionNote* note = nullptr;
        switch (edition) {
        case pimNotes: {
            auto* ozu = poisoned ? new CPoisonedNote : new CLoggedNote<COzuActionNote>;
            new COzuNoteWnd(ozu);
            note = ozu;
            break;
        }
        case pimPalm: {
            auto* ibe = new CLoggedNote<CIbeActionNote>;
            new CIbeNoteWnd(ibe);
            note = ibe;
            break;
        }
        case pimOutlook: {
            auto* ruk = new CLoggedNote<CRukActionNote>;
            new CRukNoteWnd(ruk);
            note = ruk;
            break;
        }
        }
        return OpenNote(note, bCascade);
    }
    CDatastore* GetDatastore() override { return datastore; }
    QuiParserMgr* GetParserMgr() override { return manager; }
    ClientRegistry* GetSettings() override { return settings; }
    COzuPrefs* GetPrefs() override { return prefs; }

    PimEdition edition = pimNotes;
    // Notes whose memory is kept, filled with 0xDD, when they are deleted.
    bool poisoned = false;
    CDatastore* datastore = nullptr;
    QuiParserMgr* manager = nullptr;
    ClientRegistry* settings = nullptr;
    COzuPrefs* prefs = nullptr;
};

const char kNotesMail[] =
    "[note 1]\r\n$Title=To do\r\n$NoteClass=4\r\n$Fields=Subject\r\n$Fields=Categories\r\n"
    "$ChoicesOption.Categories=1\r\n$ChoicesFormula.Categories=\"Business\" : \"Personal\"\r\n"
    "[note 2]\r\n$Title=CalendarProfile\r\n$NoteClass=4\r\n$Default.Owner=CN=Ann Lee/OU=Sales/O=Acme\r\n"
    "[note 3]\r\n$ProfileName=CalendarProfile\r\nOwner=CN=Ann Lee/OU=Sales/O=Acme\r\n"
    "CalEntryType(number)=0\r\nDefaultDuration(number)=60\r\n";

const char* const kServers[] = {"Heron.dll", "Plover.dll", "Finch.ocx", "Godwit.ocx"};

const char kPreferencesKey[] = "Software\\Quillmate\\Client\\Preferences";

// One web action, named by its keywords.
const char kConnectors[] =
    "<CONNECTOR MENUSTRING=\"Finder\">\n"
    "<SUBTYPE MENUSTRING=\"search for\" KEYWORDS=\"search for\" METHOD=\"GET\" "
    "ACTION=\"http://find.test/?q=$:querystring\" >\n"
    "</SUBTYPE>\n"
    "</CONNECTOR>\n";

// The edition's stand-in, its datastore, the parser over its items, and the
// application with a tray window as its main window.
class NotesFixture : public ::testing::Test {
protected:
    explicit NotesFixture(PimEdition edition) { app.edition = edition; }

    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(m_apartment.Result());
        g_door = DoorScript();
        g_notes = NoteLog();
        // Registered on demand by the datastore, from this build.
        for (const char* file : kServers)
            QuiComTesting::ServerLibrary((QuiComTesting::ProgramFolder() + file).c_str()).Unregister();
        MakeStandIn();
        // The datastore reads its connectors from the current folder.
        char home[MAX_PATH] = "";
        GetCurrentDirectoryA(MAX_PATH, home);
        m_home = home;
        m_folder = m_home + "\\pim-notes-connectors";
        QuiTesting::RemoveFolder(m_folder);
        ASSERT_TRUE(CreateDirectoryA(m_folder.c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryA(m_folder.c_str()));
        NotesStandInTesting::WriteFile(m_folder + "\\connectors.xml", kConnectors);
        pim_test::Failure failure = pim_test::FailureOf([&] {
            store.reset(MakeDatastore());
            store->Connect();
            ASSERT_TRUE(store->LoadItems());
        });
        // The parse packages load from the test's own folder.
        SetCurrentDirectoryA(m_home.c_str());
        ASSERT_EQ(-1, failure.id) << failure.text;
        ASSERT_NE(nullptr, store);
        // The test loads the date package itself: one named in the settings
        // (an install's) would be a second date package beside it.
        ASSERT_TRUE(QuiTesting::SetRegText(HKEY_CURRENT_USER, "Software\\Quillmate\\Client\\Parser\\Packages",
                                           "Date", ""));
        manager.reset(new QuiParserMgr(store->GetKestrel()));
        manager->Initialize();
        ASSERT_EQ(QUI_PARSER_OK,
                  manager->LoadPackage(parse_test::PackagePath("Curlew.dll").c_str(), "Date", nullptr, nullptr, 0));
        manager->LoadItems();
        settings.reset(new ClientRegistry);
        prefs.reset(new COzuPrefs(*settings));
        prefs->m_dwSaveThenNew = 0;
        app.settings = settings.get();
        app.prefs = prefs.get();
        tray = new app_test::CTestTrayWnd;
        ASSERT_TRUE(tray->LoadFrame(IDR_TRAY_FRAME, WS_OVERLAPPEDWINDOW, nullptr));
        tray->SetTrayIcon(IDR_TRAY);
        app.m_pMainWnd = tray;
        app.datastore = store.get();
        app.manager = manager.get();
        app.CreateNoteManager();
    }

    void TearDown() override
    {
        if (m_activePimSet) {
            const DWORD none = 0;
            settings->SetValue(ClientRegistry::ActivePIM, &none);
        }
        app.DeleteNoteManager();
        PumpPending();
        app.m_pMainWnd = nullptr;
        if (tray && tray->GetSafeHwnd())
            tray->DestroyWindow();
        app.manager = nullptr;
        manager.reset();
        app.datastore = nullptr;
        store.reset();
        app.prefs = nullptr;
        app.settings = nullptr;
        prefs.reset();
        settings.reset();
        CoFreeUnusedLibraries();
        for (const char* file : kServers)
            QuiComTesting::ServerLibrary((QuiComTesting::ProgramFolder() + file).c_str()).Unregister();
        if (m_browserSet) {
            SHDeleteValueA(HKEY_CURRENT_USER, kPreferencesKey, "Browser");
            QuiURLHandler::GetDefaultBrowser()->CreateBrowser();
        }
        if (!m_folder.empty())
            QuiTesting::RemoveFolder(m_folder);
        m_notes.reset();
        m_outlook.reset();
        if (!m_outlookStore.empty())
            DeleteFileA(m_outlookStore.c_str());
        m_palm.reset();
    }

    void MakeStandIn()
    {
        switch (app.edition) {
        case pimNotes:
            m_notes.reset(new NotesStandInTesting::Installation);
            NotesStandInTesting::WriteFile(m_notes->Folder() + "\\mail\\alee.nsf", kNotesMail);
            break;
        case pimPalm:
            m_palm.reset(new PalmTesting::TestDesktop);
            m_palm->AddUser("Zoe", "ZoeD");
            m_palm->SetLastUser("Zoe");
            break;
        case pimOutlook:
            m_outlook.reset(new OutlookStandInTesting::Installation(OutlookStandInTesting::Build::Outlook90));
            // A store of its own: the installation names it after the test,
            // whose name holds a slash here.
            m_outlookStore = QuiComTesting::ProgramFolder() + "outlook-stores\\pim-notes.store";
            DeleteFileA(m_outlookStore.c_str());
            OutlookStandInTesting::SetText(HKEY_CURRENT_USER, STANDIN_SETTINGS_KEY, "Store", m_outlookStore);
            OutlookStandInTesting::SetText(HKEY_CURRENT_USER, OutlookStandInTesting::kCategoryKeys[0], "MasterList",
                                           "Business;Calls;");
            break;
        }
    }

    CDatastore* MakeDatastore()
    {
        switch (app.edition) {
        case pimNotes:
            return new CWatchedDatastore<COzuDatastore>;
        case pimPalm:
            return new CWatchedDatastore<CIbeDatastore>;
        case pimOutlook:
            return new CWatchedDatastore<CRukDatastore>;
        }
        return nullptr;
    }

    // "ActivePIM" names the edition, as the web actions pane reads it.
    void SetActivePim()
    {
        const DWORD edition = app.edition == pimNotes ? 1 : app.edition == pimPalm ? 2 : 3;
        EXPECT_EQ(ERROR_SUCCESS, settings->SetValue(ClientRegistry::ActivePIM, &edition));
        m_activePimSet = true;
    }

    // The web actions pane takes web actions only with a browser driver.
    void UseExplorerDriver()
    {
        ASSERT_TRUE(QuiTesting::SetRegNumber(HKEY_CURRENT_USER, kPreferencesKey, "Browser", 3));
        m_browserSet = true;
        ASSERT_NE(nullptr, QuiURLHandler::GetDefaultBrowser());
        ASSERT_TRUE(QuiURLHandler::GetDefaultBrowser()->CreateBrowser());
    }

    CPimActionNote* Open()
    {
        auto* note = dynamic_cast<CPimActionNote*>(app.CreateNote(FALSE));
        PumpPending();
        return note;
    }

    // One row of a table: a failed ASSERT_* ends the row, not the test, so
    // that every row reports; a note the row left open goes before the next.
    template <class Body>
    void RunRow(Body body)
    {
        body();
        app_test::CloseAllNotes(&app);
    }

    bool IsOpen(CActionNote* note) { return app.GetNoteManager() && app.GetNoteManager()->IsListed(note); }
    int OpenCount() { return app.GetNoteManager() ? app.GetNoteManager()->GetCount() : 0; }

    static void Type(CActionNote* note, const std::string& text)
    {
        note->SetNoteText(text.c_str());
        PumpPending();
    }

    static std::string Text(CActionNote* note)
    {
        CString text;
        note->GetNoteText(text);
        return text.GetString();
    }

    static CPimDestWnd* DestWnd(CActionNote* note)
    {
        return dynamic_cast<CPimDestWnd*>(note->GetNoteWnd()->GetDestWnd());
    }

    static bool Checked(CDestPane* pane) { return pane && pane->GetCheckButton()->GetCheck() != FALSE; }

    // Ticks or unticks a pane as the user's click does.
    static void Click(CDestPane* pane)
    {
        pane->GetCheckButton()->SetChanged(TRUE);
        pane->GetCheckButton()->SetCheck(!pane->GetCheckButton()->GetCheck());
        PumpPending();
    }

    // A command of the note window, as its buttons send it.
    static void Command(CActionNote* note, UINT id)
    {
        note->GetNoteWnd()->SendMessage(WM_COMMAND, id);
        PumpPending();
    }

    static DATE Today()
    {
        COleDateTime now = COleDateTime::GetCurrentTime();
        return COleDateTime(now.GetYear(), now.GetMonth(), now.GetDay(), 0, 0, 0).m_dt;
    }

    static std::string Message(UINT id)
    {
        CString text;
        text.LoadString(id);
        return text.GetString();
    }

    static std::vector<std::string> Texts(CPromptScript& prompts)
    {
        std::vector<std::string> texts;
        for (const CPromptRequest& request : prompts.Asked())
            texts.push_back(request.text.GetString());
        return texts;
    }

    // The tip the tray icon shows now.
    std::string TrayTip() const
    {
        std::string tip;
        for (const app_test::ShellCall& call : tray->icon->calls) {
            if (call.flags & NIF_TIP)
                tip = call.tip;
        }
        return tip;
    }

    QuiComTesting::Apartment m_apartment;
    pim_test::ResourceLibrary m_resources;
    std::unique_ptr<NotesStandInTesting::Installation> m_notes;
    std::unique_ptr<OutlookStandInTesting::Installation> m_outlook;
    std::string m_outlookStore;
    std::string m_home;
    bool m_browserSet = false;
    std::string m_folder;
    std::unique_ptr<PalmTesting::TestDesktop> m_palm;
    std::unique_ptr<CDatastore> store;
    std::unique_ptr<QuiParserMgr> manager;
    std::unique_ptr<ClientRegistry> settings;
    std::unique_ptr<COzuPrefs> prefs;
    app_test::CTestTrayWnd* tray = nullptr;
    NotesApp app;
    bool m_activePimSet = false;
};

} // namespace pimnote_test
