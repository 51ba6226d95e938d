// What the application tests share: a test edition (a datastore that answers
// as a script says and a plain note), a tray window whose icon records the
// shell calls and whose menu picks from a script, an application with its own
// clocks, and a fixture that starts and stops it in a registry, a folder and
// a resource library of the test's own.
#pragma once
#include <afxquill.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "ActionNote.h"
#include "DatastoreTestSupport.h"
#include "QuiTesting.h"
#include "DestWnd.h"
#include "NoteWnd.h"
#include "OzuApp.h"
#include "QuiResIds.h"
#include "QuillmateExcept.h"
#include "TrayWnd.h"

namespace app_test {

// The edition's answers and what it saw; reset for every test.
struct EditionScript {
    long version = COzuApp::kBackEndVersion;
    std::set<int> features;
    int unreachableLoads = 0;      // LoadItems fails with 6022 this many times
    UINT failLoadWith = 0;         // then with this code
    bool noRecordControl = false;
    int reloadFailures = 0;        // LoadItems of later datastores throws a foreign exception
    std::vector<std::pair<int, int>> made;  // edition row asked, edition number given
    int recordChecks = 0;
    int loads = 0;
    int syncs = 0;
    int filed = 0;
    bool filingFails = false;      // a filed note comes back with its text
    int notesDeleted = 0;
    int updaterRuns = 0;
    const char* const* itemTypeIds = nullptr;  // the categories the datastore lists
    const char* backEndCategory = nullptr;     // a category that a successful load brings
    std::function<void()> whileLoading;        // run once inside the next LoadItems or SyncItems
};


inline EditionScript g_script;

// Runs the script's one-off step, if any.
inline void RunWhileLoading()
{
    std::function<void()> step;
    step.swap(g_script.whileLoading);
    if (step)
        step();
}

class CEditionDatastore : public datastore_test::TestDatastore {
public:
    explicit CEditionDatastore(int type) : TestDatastore(type) {}
    long GetBackEndVersion() override { return g_script.version; }
    BOOL HasFeature(int n) override { return g_script.features.count(n) != 0; }
    BOOL LoadItems() override
    {
        ++g_script.loads;
        RunWhileLoading();
        if (g_script.unreachableLoads > 0) {
            --g_script.unreachableLoads;
            throw new COzuExcept(6022);
        }
        if (g_script.failLoadWith)
            throw new COzuExcept(g_script.failLoadWith);
        if (g_script.reloadFailures > 0 && g_script.made.size() > 1) {
            --g_script.reloadFailures;
            throw std::runtime_error("back end gone");
        }
        if (g_script.backEndCategory && !Item("back-end-category")) {
            if (!GetItemType(datastore_test::kCategoryType))
                RegisterTypes();
            // Its name stands for it.
            AddItem(datastore_test::kCategoryType, "back-end-category", g_script.backEndCategory)->modifyFlags(2, true);
        }
        return TRUE;
    }
    BOOL SyncItems() override
    {
        ++g_script.syncs;
        RunWhileLoading();
        return TRUE;
    }
    const char* const* GetItemTypeIds() override { return g_script.itemTypeIds; }
    void OnTrayMenuCommand(UINT id) override { trayCommands.push_back(id); }
    void AddTrayMenuItems(CMenu* menu, UINT) override
    {
        ++trayMenus;
        menu->AppendMenu(MF_STRING, 400, "Edition entry");
    }
    void OnTrayMenuClosed(CMenu*, int) override { ++trayMenusClosed; }
    std::vector<UINT> trayCommands;
    int trayMenus = 0;
    int trayMenusClosed = 0;

    void CheckRecordControl() override
    {
        ++g_script.recordChecks;
        if (g_script.noRecordControl)
            throw new COzuExcept(IDS_NO_RECORD_CONTROL);
    }
};

class CPlainNote : public CActionNote {
public:
    ~CPlainNote() override { ++g_script.notesDeleted; }
    int AttachSinks() override { return 0; }
    void FileNote(CActionNote*) override
    {
        ++g_script.filed;
        if (g_script.filingFails)
            ShowNoteWnd(TRUE);
        else
            DestroyNoteWnd();
    }
};

class CPlainNoteWnd : public CNoteWnd {
public:
    explicit CPlainNoteWnd(CActionNote* note) : CNoteWnd(note) {}
    CDestWnd* CreateDestWnd() override
    {
        auto* dest = new CDestWnd;
        if (!dest->Create(this)) {
            delete dest;
            return nullptr;
        }
        return dest;
    }
};

inline CDatastore* MakeDatastore(int row, int edition)
{
    g_script.made.emplace_back(row, edition);
    return new CEditionDatastore(edition);
}

template <int Row>
CDatastore* MakeDatastoreOf(int edition)
{
    return MakeDatastore(Row, edition);
}

inline CActionNote* MakeNote()
{
    auto* note = new CPlainNote;
    new CPlainNoteWnd(note);
    return note;
}

inline void RegisterTestEditions()
{
    static const QuiEdition editions[] = {
        {nullptr, nullptr},
        {&MakeDatastoreOf<1>, &MakeNote},
        {&MakeDatastoreOf<2>, &MakeNote},
        {&MakeDatastoreOf<3>, &MakeNote},
        {&MakeDatastoreOf<4>, &MakeNote},
        {&MakeDatastoreOf<5>, &MakeNote},
    };
    for (int row = 1; row <= 5; ++row)
        QuiRegisterEdition(row, &editions[row]);
}

inline void ClearEditions()
{
    for (int row = 0; row <= 5; ++row)
        QuiRegisterEdition(row, nullptr);
}

// One call of the shell's notification-area function.
struct ShellCall {
    DWORD message;
    UINT flags;
    UINT id;
    std::string tip;
    HWND owner;
    UINT callback;
};

class CRecordingTrayIcon : public CTrayIcon {
public:
    CRecordingTrayIcon() : CTrayIcon(IDR_TRAY) {}
    ~CRecordingTrayIcon() override { SetIcon(0); }
    BOOL Notify(DWORD dwMessage, NOTIFYICONDATAA* pData) override
    {
        calls.push_back({dwMessage, pData->uFlags, pData->uID, pData->szTip, pData->hWnd, pData->uCallbackMessage});
        return accept;
    }
    void TrackMenu(CMenu* pPopup, CWnd* pOwner) override
    {
        shownItems.clear();
        greyedItems.clear();
        for (int i = 0; i < pPopup->GetMenuItemCount(); ++i) {
            CString text;
            pPopup->GetMenuString(i, text, MF_BYPOSITION);
            shownItems.push_back(text.GetString());
            const UINT state = pPopup->GetMenuState(i, MF_BYPOSITION);
            if ((state & MF_GRAYED) && !(state & MF_SEPARATOR))
                greyedItems.push_back(pPopup->GetMenuItemID(i));
        }
        defaultItem = ::GetMenuDefaultItem(*pPopup, TRUE, 0);
        if (choose && pOwner)
            pOwner->PostMessage(WM_COMMAND, choose, 0);
    }

    std::vector<ShellCall> calls;
    std::vector<std::string> shownItems;
    std::vector<UINT> greyedItems;
    UINT defaultItem = static_cast<UINT>(-1);
    UINT choose = 0;
    BOOL accept = TRUE;
};

class CTestTrayWnd : public CTrayWnd {
public:
    CTestTrayWnd() { SetTrayIconObject(icon = new CRecordingTrayIcon); }
    void ShowHelp(DWORD dwContextId, UINT nCmd) override { help.emplace_back(dwContextId, nCmd); }

    CRecordingTrayIcon* icon;
    std::vector<std::pair<DWORD, UINT>> help;
};

class CTestApp : public COzuApp {
public:
    DWORD GetTickCount() override { return tick; }
    COleDateTime GetCurrentTime() override { return now; }
    CTrayWnd* CreateTrayWnd() override { return new CTestTrayWnd; }
    CTestTrayWnd* Tray() { return static_cast<CTestTrayWnd*>(GetTrayWnd()); }

    DWORD tick = 1000;
    COleDateTime now = COleDateTime(2026, 12, 8, 12, 0, 0);
};

inline void RunUpdaterForTest()
{
    ++g_script.updaterRuns;
}

// Dispatches what is waiting, leaving a quit request where it is.
inline void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// Closes the open notes as the user would, one window after the other.
inline void CloseAllNotes(CQuillmateApp* app)
{
    while (CActionNote* note = app ? app->GetCurrentNote() : nullptr) {
        int before = app->GetNoteCount();
        note->DestroyNoteWnd();
        Pump();
        if (app->GetNoteCount() == before)
            break;
    }
}

// The closes a user asks for, and the program's own close after filing or No.
enum class CloseBy { button, systemMenu, altF4InText, altF4InDestWnd, program };

inline const char* CloseName(CloseBy way)
{
    static const char* const names[] = {"close button", "system menu", "Alt+F4 in the text",
                                        "Alt+F4 in the destination window", "the program's own"};
    return names[static_cast<int>(way)];
}

// Closes the note's window that way, then dispatches what follows.
inline void CloseNoteBy(CActionNote* note, CloseBy way)
{
    CNoteWnd* wnd = note->GetNoteWnd();
    switch (way) {
    case CloseBy::button:
        wnd->SendMessage(WM_COMMAND, ID_DEST_CLOSE_NOTE);
        break;
    case CloseBy::systemMenu:
        wnd->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
        break;
    case CloseBy::altF4InText:
        QuiTesting::PressAltF4(wnd->GetNoteBox()->GetEditWindow());
        break;
    case CloseBy::altF4InDestWnd:
        QuiTesting::PressAltF4(wnd->GetDestWnd()->GetFileButton()->GetSafeHwnd());
        break;
    case CloseBy::program:
        wnd->PostMessage(WM_CLOSE);
        break;
    }
    Pump();
}

// Closes the note that way, giving `answer` (0: none) to what it asks; it
// asks message 57701 with Yes, No and Cancel, or nothing.
inline void CloseNoteAnswering(CActionNote* note, CloseBy way, int answer, bool asks)
{
    CPromptScript prompts;
    if (answer)
        prompts.AnswerNext(answer);
    CloseNoteBy(note, way);
    EXPECT_EQ(asks ? 1u : 0u, prompts.Asked().size());
    if (asks && !prompts.Asked().empty()) {
        CString expected;
        expected.LoadString(IDS_EXIT_FILE_NOTE);
        EXPECT_EQ(expected, prompts.Asked()[0].text);
        EXPECT_EQ(static_cast<UINT>(MB_YESNOCANCEL), prompts.Asked()[0].nType & MB_TYPEMASK);
    }
    EXPECT_EQ(0, prompts.Unexpected());
}

// Takes a waiting quit request; TRUE when there was one.
inline BOOL TakeQuit()
{
    Pump();
    MSG msg;
    return ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// Answers every dialog box the thread opens with Cancel, and counts them.
class CDialogCloser : public QuiTesting::DialogAnswerer {
public:
    CDialogCloser() : DialogAnswerer(IDCANCEL) {}
};

class AppFixture : public datastore_test::Datastore {
protected:
    void SetUp() override
    {
        datastore_test::Datastore::SetUp();
        g_script = EditionScript();
        RegisterTestEditions();
        COzuApp::SetUpdaterRunner(&RunUpdaterForTest);
        SetDword("ShowProfile", 1);
        SetDword("EnableHotKeys", 0, "Software\\Quillmate\\Client\\Preferences");
        // The tip of the day is a modal box: only the tests of it ask for it.
        SetDword("Startup", 0, "Software\\Quillmate\\Client\\Tip");
    }

    void TearDown() override
    {
        Stop();
        COzuApp::SetUpdaterRunner(nullptr);
        ClearEditions();
        TakeQuit();
        datastore_test::Datastore::TearDown();
    }

    static void SetDword(const char* name, DWORD value, const char* key = "Software\\Quillmate\\Client")
    {
        ASSERT_TRUE(QuiTesting::SetRegNumber(HKEY_CURRENT_USER, key, name, value));
    }

    static void SetDate(const char* name, double value)
    {
        ASSERT_TRUE(QuiTesting::SetRegValue(HKEY_CURRENT_USER, "Software\\Quillmate\\Client", name, REG_BINARY, &value,
                                            sizeof value));
    }

    // Made here so that it reads the test's settings.
    CTestApp* Make(const char* commandLine = "")
    {
        m_commandLine = commandLine;
        app.reset(new CTestApp);
        app->m_lpCmdLine = &m_commandLine[0];
        return app.get();
    }

    BOOL Start(const char* commandLine = "")
    {
        Make(commandLine);
        return app->InitInstance();
    }

    // What the framework does when the program ends.
    void Stop()
    {
        if (!app)
            return;
        app->ExitInstance();
        if (app->m_pMainWnd)
            app->m_pMainWnd->DestroyWindow();
        app.reset();
        Pump();
    }

    static std::vector<std::string> Texts(const CPromptScript& prompts)
    {
        std::vector<std::string> texts;
        for (const CPromptRequest& request : prompts.Asked())
            texts.push_back(request.text.GetString());
        return texts;
    }

    static std::string Message(UINT id)
    {
        CString text;
        text.LoadString(id);
        return text.GetString();
    }

    std::unique_ptr<CTestApp> app;

private:
    std::string m_commandLine;
};

} // namespace app_test
