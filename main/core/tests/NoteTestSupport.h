// What the note tests share: a small test edition (a note that registers the
// to-do pane's destination for dates and files through the filing frame, a
// note window whose destination window holds two panes with fields), and an
// application that opens its notes with the real parser manager over the date
// package, a test datastore, the settings table and the preferences.
#pragma once
#include <afxquill.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <vector>

#include "ActionNote.h"
#include "ClientRegistry.h"
#include "DatastoreTestSupport.h"
#include "DestTestSupport.h"
#include "DestWnd.h"
#include "FrameworkUtil.h"
#include "NoteDialogs.h"
#include "NoteManager.h"
#include "NoteWnd.h"
#include "OzuPrefs.h"
#include "ParseFixture.h"
#include "ParserMgrFixture.h"
#include "QuiParserMgr.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"
#include "QuillmateExcept.h"
#include "RegistryBranch.h"
#include "TestSupport.h"
#include "TrayWnd.h"

namespace notes_test {

const int kToDoPane = 501;
const int kMemoPane = 502;

class NoteTestApp;

// The edition's datastore: answers the features a test turns on.
class FeatureSetDatastore : public datastore_test::TestDatastore {
public:
    BOOL HasFeature(int n) override { return features.count(n) != 0; }
    std::set<int> features;
};

// A destination window with two panes: the to-do pane with two fields, the
// memo pane with one.
class CTestDestWnd : public CDestWnd {
public:
    BOOL AddPanes()
    {
        if (!todo.Create(20, this) || !memo.Create(60, this))
            return FALSE;
        const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER;
        if (!todoFirst.Create(style, CRect(60, 14, 100, 26), &todo, 130) ||
            !todoLast.Create(style, CRect(110, 14, 150, 26), &todo, 131) ||
            !memoField.Create(style, CRect(60, 14, 100, 26), &memo, 132))
            return FALSE;
        todo.ShowWindow(SW_SHOW);
        memo.ShowWindow(SW_SHOW);
        SetTop(110);
        return TRUE;
    }
    CTestPane todo{kToDoPane, ID_NOTE_CONTACTS};
    CTestPane memo{kMemoPane, ID_NOTE_CONTACTS};
    CEdit todoFirst;
    CEdit todoLast;
    CEdit memoField;
};

class CTestNoteWnd : public CNoteWnd {
public:
    CTestNoteWnd(CActionNote* note, bool* failDestWnd) : CNoteWnd(note), m_failDestWnd(failDestWnd) {}
    CDestWnd* CreateDestWnd() override
    {
        if (*m_failDestWnd)
            return nullptr;
        auto* dest = new CTestDestWnd;
        if (!dest->Create(this) || !dest->AddPanes()) {
            delete dest;
            return nullptr;
        }
        return dest;
    }
    CTestDestWnd* Dest() { return static_cast<CTestDestWnd*>(GetDestWnd()); }

private:
    bool* m_failDestWnd;
};

// What a test edition's filing does, and what it saw.
struct FilingScript {
    UINT failWith = 0;           // a COzuExcept with this message id
    bool failOther = false;      // an exception of no kind of ours
    bool addLineBeforeFailing = false;
    int filings = 0;
    std::vector<bool> busySeen;
    std::vector<int> confirmedLines;
};

class CTestNote : public CActionNote {
public:
    CTestNote(QuiParserMgr* manager, QuiItemType* dateType, FilingScript* filing, int* deleted)
        : m_manager(manager), m_dateType(dateType), m_filing(filing), m_deleted(deleted)
    {
    }
    ~CTestNote() override
    {
        for (QuiPrsContext* context : m_attached) {
            if (m_manager && m_manager->HasContext(context))
                m_manager->UnregisterSink("Date", context, &m_sink);
        }
        ++*m_deleted;
    }
    int AttachSinks() override
    {
        CDestination* dest = GetPaneDestination(kToDoPane);
        if (!dest || !m_manager || !m_dateType)
            return 0;
        m_sink.SetDestination(dest);
        if (m_manager->RegisterSink("Date", GetContext(), m_dateType, &m_sink))
            m_attached.push_back(GetContext());
        return 0;
    }
    void FileNote(CActionNote*) override { RunFiling(IDS_EDITION_NOTES); }
    int ShowSavedNote(CStringArray* lines, UINT idLabel) override
    {
        m_filing->confirmedLines.push_back(lines ? lines->GetSize() : -1);
        return CActionNote::ShowSavedNote(lines, idLabel);
    }
    CTestDestination* ToDo() { return static_cast<CTestDestination*>(GetPaneDestination(kToDoPane)); }
    CTestNoteWnd* Wnd() { return static_cast<CTestNoteWnd*>(GetNoteWnd()); }

protected:
    void FileEntries() override
    {
        ++m_filing->filings;
        m_filing->busySeen.push_back(IsBusy() != FALSE);
        if (m_filing->addLineBeforeFailing || (!m_filing->failWith && !m_filing->failOther))
            m_summaryLines.Add("To-do");
        if (m_filing->failWith)
            throw new COzuExcept(m_filing->failWith);
        if (m_filing->failOther)
            throw std::runtime_error("back end gone");
    }

private:
    QuiParserMgr* m_manager;
    QuiItemType* m_dateType;
    FilingScript* m_filing;
    int* m_deleted;
    QuiDateSink m_sink;
    std::vector<QuiPrsContext*> m_attached;
};

class NoteTestApp : public CQuillmateApp {
public:
    CActionNote* CreateNote(BOOL bCascade) override
    {
        ++createCalls;
        if (refuseNotes)
            return nullptr;
        auto* note = new CTestNote(manager, dateType, &filing, &deletedNotes);
        new CTestNoteWnd(note, &failDestWnd);
        return OpenNote(note, bCascade);
    }
    CDatastore* GetDatastore() override { return datastore; }
    QuiParserMgr* GetParserMgr() override { return manager; }
    ClientRegistry* GetSettings() override { return settings; }
    COzuPrefs* GetPrefs() override { return prefs; }

    FeatureSetDatastore* datastore = nullptr;
    QuiParserMgr* manager = nullptr;
    QuiItemType* dateType = nullptr;
    ClientRegistry* settings = nullptr;
    COzuPrefs* prefs = nullptr;
    FilingScript filing;
    bool failDestWnd = false;
    bool refuseNotes = false;
    int createCalls = 0;
    int deletedNotes = 0;
};

// The main window: keeps what the notes post to it.
class CMainStandIn : public CWnd {
public:
    BOOL Create() { return CreateEx(0, nullptr, "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == CTrayWnd::WM_TRAY_SAVED_NOTE) {
            std::unique_ptr<CSavedNote> dialog(CTrayWnd::TakeSavedNote(static_cast<UINT_PTR>(lParam)));
            if (dialog)
                savedMessages.push_back(dialog->GetMessage().GetString());
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<std::string> savedMessages;
};

class NoteFixture : public RegistryBranch {
protected:
    void SetUp() override
    {
        RegistryBranch::SetUp();
        m_library = ::LoadLibraryA("QuiRes1033.dll");
        ASSERT_NE(nullptr, m_library);
        m_previousResources = AfxGetResourceHandle();
        AfxSetResourceHandle(m_library);
        parse_test::SetPackage("Date", parse_test::PackagePath("Curlew.dll"));
        kestrel = parse_test::SmallDatabase();
        manager.reset(new QuiParserMgr(kestrel.get()));
        manager->Initialize();
        manager->LoadItems();
        datastore.RegisterTypes();
        settings.reset(new ClientRegistry);
        prefs.reset(new COzuPrefs(*settings));
        prefs->Load();
        ASSERT_TRUE(mainWnd.Create());
        app.m_pMainWnd = &mainWnd;
        app.datastore = &datastore;
        app.manager = manager.get();
        app.dateType = kestrel->getTypeList()->get(QuiItemID(parse_test::kDateType));
        app.settings = settings.get();
        app.prefs = prefs.get();
        app.CreateNoteManager();
    }

    void TearDown() override
    {
        while (CActionNote* note = app.GetCurrentNote()) {
            int before = app.GetNoteCount();
            note->DestroyNoteWnd();
            if (app.GetNoteCount() == before)
                break;
        }
        PumpPending();
        app.DeleteNoteManager();
        app.m_pMainWnd = nullptr;
        mainWnd.DestroyWindow();
        prefs.reset();
        settings.reset();
        manager.reset();
        AfxSetResourceHandle(m_previousResources == AfxGetInstanceHandle() ? nullptr : m_previousResources);
        if (m_library)
            ::FreeLibrary(m_library);
        RegistryBranch::TearDown();
    }

    CTestNote* Open(BOOL bCascade = TRUE)
    {
        auto* note = static_cast<CTestNote*>(app.CreateNote(bCascade));
        PumpPending();
        return note;
    }

    // The user typing: the whole text of the note box replaced.
    static void Type(CActionNote* note, const char* text)
    {
        HWND edit = note->GetNoteWnd()->GetNoteBox()->GetEditWindow();
        ::SendMessage(edit, EM_SETSEL, 0, -1);
        ::SendMessage(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
        PumpPending();
    }

    static std::string Text(CActionNote* note)
    {
        CString text;
        note->GetNoteText(text);
        return text.GetString();
    }

    static CRect WindowRect(CWnd* wnd)
    {
        CRect rect;
        wnd->GetWindowRect(rect);
        return rect;
    }

    std::unique_ptr<QuiKestrel> kestrel;
    std::unique_ptr<QuiParserMgr> manager;
    FeatureSetDatastore datastore;
    std::unique_ptr<ClientRegistry> settings;
    std::unique_ptr<COzuPrefs> prefs;
    CMainStandIn mainWnd;
    NoteTestApp app;

private:
    HMODULE m_library = nullptr;
    HINSTANCE m_previousResources = nullptr;
};

} // namespace notes_test
