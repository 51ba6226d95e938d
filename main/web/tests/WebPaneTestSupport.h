// What the web actions pane tests share: a test edition whose note window's
// destination window holds the web actions pane, a note that attaches the
// pane's sinks and records what the pane tells it, and an application with a
// test datastore (connectors of the test's own) and the real parser manager
// over the Alias and date packages.
#pragma once
#include <afxquill.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ActionNote.h"
#include "QuiTesting.h"
#include "DatastoreTestSupport.h"
#include "DestWnd.h"
#include "NoteManager.h"
#include "NoteWnd.h"
#include "ParseFixture.h"
#include "QuiParserMgr.h"
#include "QuillmateApp.h"
#include "TestSupport.h"
#include "URLHandler.h"
#include "WebActionJug.h"
#include "WebActionsPane.h"

namespace webpane_test {

// One connector with two web actions, one hidden subtype, and a second
// connector. A web action parses by its keywords, here its name's words.
const char kConnectors[] =
    "<CONNECTOR MENUSTRING=\"Finder\">\n"
    "<SUBTYPE MENUSTRING=\"search for\" KEYWORDS=\"search for\" METHOD=\"GET\" ACTION=\"http://find.test/?q=$:querystring\" >\n"
    "</SUBTYPE>\n"
    "<SUBTYPE MENUSTRING=\"pictures of\" KEYWORDS=\"pictures of\" METHOD=\"GET\" ACTION=\"http://find.test/img/$:querystring\" >\n"
    "</SUBTYPE>\n"
    "<SUBTYPE MENUSTRING=\"login\" WEBACTION=\"hidden\" METHOD=\"GET\" ACTION=\"http://find.test/login\" >\n"
    "</SUBTYPE>\n"
    "</CONNECTOR>\n"
    "<CONNECTOR MENUSTRING=\"Atlas\">\n"
    "<SUBTYPE MENUSTRING=\"map of\" KEYWORDS=\"map of\" METHOD=\"GET\" ACTION=\"http://atlas.test/$:querystring\" >\n"
    "</SUBTYPE>\n"
    "</CONNECTOR>\n";

const DWORD kExplorerDriver = 3;

// What the datastore was handed: a copy of an action leaves out its
// parameters and dates, so they are kept here.
struct SentAction {
    int connector;
    int subtype;
    std::vector<CWebDataProp> parameters;
    double dates[4];
    CONTACTITEM profile;
};

// The datastore of an edition; its web actions go to the real handler only
// when the test asks for it.
class PaneDatastore : public datastore_test::TestDatastore {
public:
    explicit PaneDatastore(int type) : TestDatastore(type) {}
    int SendWebAction(CWebActionJug* action) override
    {
        sent.push_back({action->m_nConnectorIndex, action->m_nSubtypeIndex, action->m_parameters,
                        {action->m_dtStartDate, action->m_dtEndDate, action->m_dtStartTime, action->m_dtEndTime},
                        action->m_contact});
        return sendForReal ? CDatastore::SendWebAction(action) : 1;
    }
    bool sendForReal = false;
    std::vector<SentAction> sent;
};

// The value of the first parameter of that name, "<none>" when none.
inline std::string Parameter(const SentAction& action, const char* name)
{
    for (const CWebDataProp& prop : action.parameters) {
        if (prop.m_strName == name)
            return prop.m_strValue.GetString();
    }
    return "<none>";
}

class CPaneDestWnd : public CDestWnd {
public:
    BOOL AddPanes()
    {
        if (!pane.Create(20, this))
            return FALSE;
        pane.ShowWindow(SW_SHOW);
        SetTop(60);
        return TRUE;
    }
    CWebActionsPane pane;
};

class CPaneNoteWnd : public CNoteWnd {
public:
    explicit CPaneNoteWnd(CActionNote* note) : CNoteWnd(note) {}
    CDestWnd* CreateDestWnd() override
    {
        auto* dest = new CPaneDestWnd;
        if (!dest->Create(this) || !dest->AddPanes()) {
            delete dest;
            return nullptr;
        }
        return dest;
    }
};

class CPaneNote : public CActionNote {
public:
    int AttachSinks() override
    {
        CWebActionsDestination* dest = Dest();
        return dest ? dest->AttachSinks() : 0;
    }
    void EnablePimDestinations(BOOL bEnable) override { pimCalls.push_back(bEnable != FALSE); }
    // Files the chosen web action the way every edition's note does.
    int SendWebAction()
    {
        CWebActionsDestination* dest = Dest();
        if (!dest || !dest->HasSelectedActions())
            return 0;
        CWebActionJug action;
        dest->FileItem(&action);
        CQuillmateApp* app = QuiGetApp();
        return app->GetDatastore()->SendWebAction(&action);
    }
    CWebActionsDestination* Dest()
    {
        return static_cast<CWebActionsDestination*>(GetPaneDestination(CWebActionsPane::PANE_ID));
    }
    CWebActionsPane* Pane()
    {
        CDestWnd* destWnd = GetNoteWnd() ? GetNoteWnd()->GetDestWnd() : nullptr;
        return destWnd ? static_cast<CWebActionsPane*>(destWnd->FindPane(CWebActionsPane::PANE_ID)) : nullptr;
    }

    std::vector<bool> pimCalls;
};

class PaneTestApp : public CQuillmateApp {
public:
    CActionNote* CreateNote(BOOL bCascade) override
    {
        auto* note = new CPaneNote;
        new CPaneNoteWnd(note);
        return OpenNote(note, bCascade);
    }
    CDatastore* GetDatastore() override { return datastore; }
    QuiParserMgr* GetParserMgr() override { return manager; }

    CDatastore* datastore = nullptr;
    QuiParserMgr* manager = nullptr;
};

class CMainWnd : public CWnd {
public:
    BOOL Create() { return CreateEx(0, nullptr, "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr); }
};

// The edition is the datastore's type and the setting "ActivePIM".
class PaneFixture : public datastore_test::Datastore {
protected:
    explicit PaneFixture(int edition = CDatastore::typeNotes) : store(edition), m_edition(edition) {}

    void SetUp() override
    {
        Datastore::SetUp();
        SetNumber("ActivePIM", static_cast<DWORD>(m_edition));
        SetNumber("Browser", kExplorerDriver, "Software\\Quillmate\\Client\\Preferences");
        ASSERT_TRUE(QuiURLHandler::GetDefaultBrowser()->CreateBrowser());
        ASSERT_TRUE(QuiTesting::SetRegText(HKEY_CURRENT_USER, "Software\\Quillmate\\Client\\Parser\\Packages", "Date",
                                           parse_test::PackagePath("Curlew.dll")));
        WriteBytes("connectors.xml", kConnectors);
        store.RegisterTypes();
        ASSERT_TRUE(store.LoadItems());
        manager.reset(new QuiParserMgr(store.GetKestrel()));
        manager->Initialize();
        manager->LoadItems();
        ASSERT_TRUE(mainWnd.Create());
        app.m_pMainWnd = &mainWnd;
        app.datastore = &store;
        app.manager = manager.get();
        app.CreateNoteManager();
    }

    void TearDown() override
    {
        // Closing its window ends a note.
        for (CPaneNote* note : m_opened)
            note->DestroyNoteWnd();
        PumpPending();
        app.DeleteNoteManager();
        app.m_pMainWnd = nullptr;
        mainWnd.DestroyWindow();
        manager.reset();
        Datastore::TearDown();
    }

    static void SetNumber(const char* name, DWORD value, const char* path = "Software\\Quillmate\\Client")
    {
        ASSERT_TRUE(QuiTesting::SetRegNumber(HKEY_CURRENT_USER, path, name, value));
    }

    CPaneNote* Open()
    {
        auto* note = static_cast<CPaneNote*>(app.CreateNote(FALSE));
        PumpPending();
        if (note)
            m_opened.push_back(note);
        return note;
    }

    // The note's text replaced as by typing; the change parses it.
    static void Type(CActionNote* note, const char* text)
    {
        note->SetNoteText(text);
        PumpPending();
    }

    static std::vector<std::string> Named(CWebActionsPane* pane)
    {
        CStringArray ids;
        pane->GetActionField().GetItemIDs(ids);
        std::vector<std::string> names;
        for (int i = 0; i < ids.GetSize(); i++)
            names.push_back(ids[i].GetString());
        return names;
    }

    static bool Checked(CWebActionsPane* pane) { return pane->GetCheckButton()->GetCheck() != FALSE; }

    static std::string LabelText(CWebActionsPane* pane)
    {
        CString text;
        pane->GetConnectorLabel().GetWindowText(text);
        return text.GetString();
    }

    PaneDatastore store;
    std::unique_ptr<QuiParserMgr> manager;
    CMainWnd mainWnd;
    PaneTestApp app;

private:
    int m_edition;
    std::vector<CPaneNote*> m_opened;
};

} // namespace webpane_test
