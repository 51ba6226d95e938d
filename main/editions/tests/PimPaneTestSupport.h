// What the edition pane tests share: each edition's real datastore against
// its stand-in, the real parser manager with the date package, and a note
// whose destination window stacks the edition's panes, attaches their sinks
// and hands every parse to the calendar and to-do destinations.
#pragma once

#include "QuiTesting.h"
#include <afxquill.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "ActionNote.h"
#include "DatastoreItem.h"
#include "DateUtil.h"
#include "FrameworkUtil.h"
#include "DestUtil.h"
#include "DestWnd.h"
#include "GodwitDispIds.h"
#include "GodwitWrapper.h"
#include "NoteManager.h"
#include "NoteWnd.h"
#include "ParseFixture.h"
#include "PimDatastore.h"
#include "PimPanes.h"
#include "PimTestSupport.h"
#include "QuiComTesting.h"
#include "QuiParserMgr.h"
#include "QuillmateApp.h"
#include "TestSupport.h"

namespace pimpane_test {

// The texts of an array of names, joined by "|"; frees the VARIANT.
inline std::string Names(VARIANT names)
{
    std::string joined = "<not an array>";
    if ((names.vt & VT_ARRAY) && names.parray) {
        joined.clear();
        LONG lower = 0, upper = -1;
        SafeArrayGetLBound(names.parray, 1, &lower);
        SafeArrayGetUBound(names.parray, 1, &upper);
        for (LONG i = lower; i <= upper; i++) {
            BSTR name = nullptr;
            SafeArrayGetElement(names.parray, &i, &name);
            joined += std::string(joined.empty() && i == lower ? "" : "|") + QuiNarrowBstr(name).GetString();
            SysFreeString(name);
        }
    }
    VariantClear(&names);
    return joined;
}

inline bool HasNames(VARIANT names)
{
    return Names(names) != "<not an array>";
}

// The destination window of the test note: the edition's panes, stacked.
class CPanesDestWnd : public CDestWnd {
public:
    explicit CPanesDestWnd(PimEdition edition) : m_edition(edition)
    {
        switch (edition) {
        case pimNotes:
            toDo.reset(new COzuToDoPane);
            cal.reset(new COzuCalPane);
            journal.reset(new COzuJournalPane);
            email.reset(new COzuEmailPane);
            self.reset(new COzuQuillmatePane);
            break;
        case pimPalm:
            toDo.reset(new CIbeToDoPane);
            cal.reset(new CIbeCalPane);
            journal.reset(new CIbeJournalPane);
            email.reset(new CIbeEmailPane);
            break;
        case pimOutlook:
            toDo.reset(new CRukToDoPane);
            cal.reset(new CRukCalPane);
            break;
        }
    }
    BOOL AddPanes()
    {
        int y = 3;
        for (CDestPane* pane : Panes()) {
            if (!pane->Create(y, this))
                return FALSE;
            pane->ShowWindow(SW_SHOW);
            CRect client;
            pane->GetClientRect(client);
            y += client.Height() + 1;
        }
        SetTop(y);
        return TRUE;
    }
    std::vector<CDestPane*> Panes()
    {
        std::vector<CDestPane*> panes = {toDo.get(), cal.get()};
        for (CDestPane* pane : {static_cast<CDestPane*>(journal.get()), static_cast<CDestPane*>(email.get()),
                                static_cast<CDestPane*>(self.get())}) {
            if (pane)
                panes.push_back(pane);
        }
        return panes;
    }

    PimEdition m_edition;
    std::unique_ptr<CPimToDoPane> toDo;
    std::unique_ptr<CPimCalPane> cal;
    std::unique_ptr<CPimJournalPane> journal;
    std::unique_ptr<CPimEmailPane> email;
    std::unique_ptr<COzuQuillmatePane> self;
};

class CPanesNoteWnd : public CNoteWnd {
public:
    CPanesNoteWnd(CActionNote* note, PimEdition edition) : CNoteWnd(note), m_edition(edition) {}
    CDestWnd* CreateDestWnd() override
    {
        auto* dest = new CPanesDestWnd(m_edition);
        if (!dest->Create(this) || !dest->AddPanes()) {
            delete dest;
            return nullptr;
        }
        return dest;
    }

private:
    PimEdition m_edition;
};

class CPanesNote : public CActionNote {
public:
    int AttachSinks() override
    {
        CPanesDestWnd* wnd = Wnd();
        if (!wnd)
            return 0;
        wnd->toDo->GetToDoDestination()->attachSinks();
        wnd->cal->GetCalDestination()->attachSinks();
        if (wnd->journal)
            wnd->journal->GetJournalDestination()->attachSinks();
        if (wnd->email)
            wnd->email->GetEmailDestination()->attachSinks();
        return 0;
    }
    void ParseText(CActionNote* note) override
    {
        CActionNote::ParseText(note);
        if (CPanesDestWnd* wnd = Wnd()) {
            wnd->cal->GetCalDestination()->OnParseDone();
            wnd->toDo->GetToDoDestination()->OnParseDone();
        }
    }
    // As the web actions pane does when it is ticked or unticked.
    void EnablePimDestinations(BOOL bEnable) override
    {
        CPanesDestWnd* wnd = Wnd();
        if (!wnd)
            return;
        for (CDestination* dest : {static_cast<CDestination*>(wnd->toDo->GetDestination()),
                                   static_cast<CDestination*>(wnd->cal->GetDestination())}) {
            dest->SetParseLocked(!bEnable);
            if (!bEnable)
                SetChecked(*dest, false);
        }
    }
    CPanesDestWnd* Wnd() const
    {
        return GetNoteWnd() ? dynamic_cast<CPanesDestWnd*>(GetNoteWnd()->GetDestWnd()) : nullptr;
    }
};

class PanesApp : public CQuillmateApp {
public:
    CActionNote* CreateNote(BOOL bCascade) override
    {
        auto* note = new CPanesNote;
        new CPanesNoteWnd(note, edition);
        return OpenNote(note, bCascade);
    }
    CDatastore* GetDatastore() override { return datastore; }
    QuiParserMgr* GetParserMgr() override { return manager; }

    PimEdition edition = pimNotes;
    CDatastore* datastore = nullptr;
    QuiParserMgr* manager = nullptr;
};

class CMainWnd : public CWnd {
public:
    BOOL Create() { return CreateEx(0, nullptr, "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr); }
};

// The edition's datastore over its stand-in (made by the edition's
// fixture), loaded, and the parser manager over its items.
class PanesFixture : public ::testing::Test {
protected:
    explicit PanesFixture(PimEdition edition) { app.edition = edition; }

    // The edition's stand-in and datastore; null when it cannot be made.
    virtual CPimDatastore* MakeDatastore() = 0;

    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(m_apartment.Result());
        ASSERT_TRUE(mainWnd.Create()) << GetLastError();
        store.reset(MakeDatastore());
        ASSERT_NE(nullptr, store);
        store->Connect();
        ASSERT_TRUE(store->LoadItems());
        AddItems();
        // The test loads the date package itself: one named in the settings
        // (an install's) would be a second date package beside it.
        ASSERT_TRUE(QuiTesting::SetRegText(HKEY_CURRENT_USER, "Software\\Quillmate\\Client\\Parser\\Packages",
                                           "Date", ""));
        manager.reset(new QuiParserMgr(store->GetKestrel()));
        manager->Initialize();
        ASSERT_EQ(QUI_PARSER_OK,
                  manager->LoadPackage(parse_test::PackagePath("Curlew.dll").c_str(), "Date", nullptr, nullptr, 0));
        manager->LoadItems();
        app.m_pMainWnd = &mainWnd;
        app.datastore = store.get();
        app.manager = manager.get();
        app.CreateNoteManager();
    }

    // Items of the test's own beside what the back end lists.
    virtual void AddItems() {}

    void TearDown() override
    {
        for (CPanesNote* note : m_opened)
            note->DestroyNoteWnd();
        PumpPending();
        app.DeleteNoteManager();
        app.m_pMainWnd = nullptr;
        if (mainWnd.GetSafeHwnd())
            mainWnd.DestroyWindow();
        app.manager = nullptr;
        manager.reset();
        app.datastore = nullptr;
        store.reset();
        CoFreeUnusedLibraries();
        // The datastore registered its servers on demand: no later test may
        // find them registered.
        for (const char* server : {"Godwit.ocx", "Heron.dll", "Finch.ocx", "Plover.dll"})
            QuiComTesting::ServerLibrary((QuiComTesting::ProgramFolder() + server).c_str()).Unregister();
    }

    // An item of a type, named by a line as the back end gives it.
    void AddItem(const char* type, const char* id, const char* line)
    {
        QuiItemType* itemType = store->GetItemType(type);
        ASSERT_NE(nullptr, itemType);
        QuiItem* item = itemType->newItem(QuiItemID(id));
        auto* fields = dynamic_cast<CDatastoreItem*>(item);
        ASSERT_NE(nullptr, fields);
        std::string copy = line;
        fields->FromCsvLine(&copy[0]);
        if (item->getDisplayName() == nullptr || *item->getDisplayName() == '\0')
            item->setDisplayName(id);
        item->setDirty(false);
        ASSERT_TRUE(store->GetItemList()->add(item)) << id;
    }

    CPanesNote* Open()
    {
        auto* note = static_cast<CPanesNote*>(app.CreateNote(FALSE));
        PumpPending();
        if (note)
            m_opened.push_back(note);
        return note;
    }

    static void Type(CActionNote* note, const char* text)
    {
        note->SetNoteText(text);
        PumpPending();
    }

    // Ticks or unticks a pane as the user's click does.
    static void Click(CDestPane* pane)
    {
        pane->GetCheckButton()->SetChanged(TRUE);
        pane->GetCheckButton()->SetCheck(!pane->GetCheckButton()->GetCheck());
        PumpPending();
    }

    static bool Checked(CDestPane* pane) { return pane->GetCheckButton()->GetCheck() != FALSE; }
    static std::string Text(CEditDrop& field) { return field.GetText().GetString(); }

    static std::string TimeText(int hour, int minute)
    {
        CString text;
        FormatVariantTime(COleDateTime(1899, 12, 30, hour, minute, 0).m_dt, text);
        return text.GetString();
    }

    static DATE Today()
    {
        COleDateTime now = COleDateTime::GetCurrentTime();
        return COleDateTime(now.GetYear(), now.GetMonth(), now.GetDay(), 0, 0, 0).m_dt;
    }

    static std::string DateText(DATE day)
    {
        CString text;
        FormatVariantDate(day, text);
        return text.GetString();
    }

    // The next Monday after today (today is never its own next Monday).
    static DATE NextMonday()
    {
        DATE day = Today() + 1.0;
        while (COleDateTime(day).GetDayOfWeek() != 2)
            day += 1.0;
        return day;
    }

    // A date keyphrase role as the date package gives it, at a local moment.
    QuiPrsItemRole* DateRole(int tag, DATE local)
    {
        QuiItemType* dateType = store->GetItemType(PIM_DATE_ITEM_TYPE);
        EXPECT_NE(nullptr, dateType);
        return new QuiPrsItemRole(tag, new QuiNumericItem(dateType, static_cast<double>(VariantDateToTime(local))),
                                  true);
    }

    // Filled by fill(record), then filed through the datastore.
    template <class F>
    void FileRecord(F fill)
    {
        CGodwitWrapper record;
        fill(record);
        store->FileRecord(record.m_lpDispatch);
    }

    QuiComTesting::Apartment m_apartment;
    pim_test::ResourceLibrary m_resources;
    std::unique_ptr<CPimDatastore> store;
    std::unique_ptr<QuiParserMgr> manager;
    CMainWnd mainWnd;
    PanesApp app;
    std::vector<CPanesNote*> m_opened;
};

} // namespace pimpane_test
