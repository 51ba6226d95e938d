// The automation server: the command-line tokens that register and
// unregister it, the keys it writes, and new notes through automation.
#include "AppTestSupport.h"

#include <new>

#include "NoteBox.h"
#include "NoteManager.h"
#include "OzuAutoServer.h"
#include "URLHandler.h"

using namespace app_test;

namespace {

const char kClsidKey[] = "CLSID\\{AA67EBE8-A97A-11D2-84D7-00A0247B3DBA}";

std::string ReadText(const std::string& key, const char* name = nullptr)
{
    char value[MAX_PATH] = {};
    LONG size = sizeof value;
    if (name) {
        HKEY handle;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
            return "<missing>";
        DWORD type = 0, bytes = sizeof value;
        LONG status = RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
        RegCloseKey(handle);
        return status == ERROR_SUCCESS ? value : "<missing>";
    }
    return RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), value, &size) == ERROR_SUCCESS ? value : "<missing>";
}

bool KeyExists(const std::string& key)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

std::string ProgramPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

TEST(ServerCommand, OnlyATokenThatEndsTheLineCounts)
{
    struct Row {
        const char* line;
        QuiServerCommand command;
    } rows[] = {
        {"", QUI_SERVER_RUN},
        {"/RegServer", QUI_SERVER_REGISTER},
        {"-regserver", QUI_SERVER_REGISTER},
        {"/REGSERVER", QUI_SERVER_REGISTER},
        {"-UnregServer", QUI_SERVER_UNREGISTER},
        {"/unREGserver", QUI_SERVER_UNREGISTER},
        {"-Embedding /RegServer", QUI_SERVER_REGISTER},
        {"--RegServer", QUI_SERVER_REGISTER},
        {"a-b/unregserver", QUI_SERVER_UNREGISTER},
        {"/RegServer now", QUI_SERVER_RUN},
        {"/RegServer ", QUI_SERVER_RUN},
        {"RegServer", QUI_SERVER_RUN},
        {"/Reg", QUI_SERVER_RUN},
        {"/noversion", QUI_SERVER_RUN},
        {"-Embedding", QUI_SERVER_RUN},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.command, QuiFindServerCommand(row.line)) << '"' << row.line << '"';
    EXPECT_EQ(QUI_SERVER_RUN, QuiFindServerCommand(nullptr));
}

class AutoServer : public AppFixture {};

TEST_F(AutoServer, RegServerWritesTheKeysAndUnregServerTakesThemAway)
{
    EXPECT_FALSE(Start("/RegServer"));
    EXPECT_EQ(nullptr, app->m_pMainWnd) << "registration ends the program";
    EXPECT_FALSE(app->IsAutomationServerStarted());
    EXPECT_TRUE(g_script.made.empty());
    Stop();
    const std::string clsid = "{AA67EBE8-A97A-11D2-84D7-00A0247B3DBA}";
    struct Row {
        std::string key;
        const char* name;
        std::string expected;
    } rows[] = {
        {"Quillmate.Ozu.1", nullptr, "Ozu Automation Server Class"},
        {"Quillmate.Ozu.1\\CLSID", nullptr, clsid},
        {"Quillmate.Ozu", nullptr, "Ozu Automation Server Class"},
        {"Quillmate.Ozu\\CLSID", nullptr, clsid},
        {"Quillmate.Ozu\\CurVer", nullptr, "Quillmate.Ozu.1"},
        {"Quillmate.Ibe", nullptr, "Quillmate Automation Server Class (CP)"},
        {"Quillmate.Ibe\\CLSID", nullptr, clsid},
        {"Quillmate.Ibe\\CurVer", nullptr, "Quillmate.Ozu.1"},
        {kClsidKey, nullptr, "Ozu Automation Server Class"},
        {kClsidKey, "AppID", "{AA67EBE6-A97A-11D2-84D7-00A0247B3DBA}"},
        {std::string(kClsidKey) + "\\ProgID", nullptr, "Quillmate.Ozu.1"},
        {std::string(kClsidKey) + "\\VersionIndependentProgID", nullptr, "Quillmate.Ozu"},
        {std::string(kClsidKey) + "\\LocalServer32", nullptr, ProgramPath()},
        {std::string(kClsidKey) + "\\TypeLib", nullptr, "{AA67EBE5-A97A-11D2-84D7-00A0247B3DBA}"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, ReadText(row.key, row.name)) << row.key << " " << (row.name ? row.name : "");
    EXPECT_TRUE(KeyExists(std::string(kClsidKey) + "\\Programmable"));
    EXPECT_TRUE(KeyExists("TypeLib\\{AA67EBE5-A97A-11D2-84D7-00A0247B3DBA}"));

    EXPECT_FALSE(Start("-unregserver"));
    Stop();
    for (const char* key : {"Quillmate.Ozu.1", "Quillmate.Ozu", "Quillmate.Ibe", kClsidKey,
                            "TypeLib\\{AA67EBE5-A97A-11D2-84D7-00A0247B3DBA}"})
        EXPECT_FALSE(KeyExists(key)) << key;
    EXPECT_TRUE(KeyExists("CLSID"));
}

class AutomationClient : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
        ASSERT_TRUE(app->IsAutomationServerStarted());
        CLSID clsid;
        ASSERT_EQ(S_OK, CLSIDFromString(const_cast<LPOLESTR>(L"{AA67EBE8-A97A-11D2-84D7-00A0247B3DBA}"), &clsid));
        ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                         reinterpret_cast<void**>(&server)));
        LPOLESTR name = const_cast<LPOLESTR>(L"NewNote");
        ASSERT_EQ(S_OK, server->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &newNote));
    }

    void TearDown() override
    {
        if (server)
            server->Release();
        CloseAllNotes(app.get());
        AppFixture::TearDown();
    }

    HRESULT Call(const wchar_t* text)
    {
        VARIANT arg;
        VariantInit(&arg);
        arg.vt = VT_BSTR;
        arg.bstrVal = text ? SysAllocString(text) : nullptr;
        DISPPARAMS params = {&arg, nullptr, 1, 0};
        HRESULT hr = server->Invoke(newNote, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                                    nullptr, nullptr);
        VariantClear(&arg);
        Pump();
        return hr;
    }

    // What a late-bound client sees of a failing call.
    struct Failure {
        HRESULT hr = S_OK;
        HRESULT scode = S_OK;
        std::string description;
    };

    Failure CallSeeingErrors(const std::wstring& text)
    {
        VARIANT arg;
        VariantInit(&arg);
        arg.vt = VT_BSTR;
        arg.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        DISPPARAMS params = {&arg, nullptr, 1, 0};
        EXCEPINFO info = {};
        Failure seen;
        seen.hr = server->Invoke(newNote, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, &info,
                                 nullptr);
        VariantClear(&arg);
        seen.scode = info.scode;
        seen.description = QuiNarrowBstr(info.bstrDescription).GetString();
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrHelpFile);
        Pump();
        return seen;
    }

    static std::string Text(CActionNote* note)
    {
        CString text;
        note->GetNoteText(text);
        return text.GetString();
    }

    IDispatch* server = nullptr;
    DISPID newNote = 0;
};

TEST_F(AutomationClient, ATextOpensInANewNote)
{
    struct Row {
        const wchar_t* text;
        const char* expected;
    } rows[] = {
        {L"lunch with Ann on Friday", "lunch with Ann on Friday"},
        {L"", ""},
        {nullptr, ""},
        {L"caf\x00e9 at noon", "caf\xe9 at noon"},
    };
    int notes = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        EXPECT_EQ(S_OK, Call(row.text));
        ASSERT_EQ(++notes, app->GetNoteCount());
        EXPECT_EQ(row.expected, Text(app->GetCurrentNote()));
    }
}

TEST_F(AutomationClient, WithFiveNotesOpenTextsWaitForANoteToClose)
{
    for (int i = 0; i < CNoteManager::MAX_OPEN_NOTES; ++i)
        ASSERT_EQ(S_OK, Call(L"open"));
    EXPECT_EQ(S_OK, Call(L"first"));
    EXPECT_EQ(S_OK, Call(L"second"));
    EXPECT_EQ(S_OK, Call(L"third"));
    EXPECT_EQ(5, app->GetNoteCount());
    EXPECT_EQ(3, app->GetNoteManager()->GetQueuedCount());
    for (const char* expected : {"first", "second", "third"}) {
        app->GetCurrentNote()->DestroyNoteWnd();
        Pump();
        EXPECT_EQ(5, app->GetNoteCount());
        EXPECT_EQ(expected, Text(app->GetCurrentNote()));
    }
    EXPECT_EQ(0, app->GetNoteManager()->GetQueuedCount());
}

// A runaway client meets two bounds: a text longer than a note takes, and
// a queue of texts that wait while five notes are open. Past either the
// call fails with the reason, the user hears of it once, and what was
// taken is kept.
TEST_F(AutomationClient, TextsPastTheBoundsAreRefusedAndTheUserIsToldOnce)
{
    CNoteManager* manager = app->GetNoteManager();
    const std::wstring longest(CNoteBox::MAX_TEXT, L'x');
    const std::wstring tooLong(CNoteBox::MAX_TEXT + 1, L'x');
    for (int i = 0; i < CNoteManager::MAX_OPEN_NOTES; ++i)
        ASSERT_EQ(S_OK, Call(L"open"));
    ASSERT_EQ(S_OK, CallSeeingErrors(longest).hr);
    for (int i = 1; i < CNoteManager::MAX_QUEUED_TEXTS; ++i)
        ASSERT_EQ(S_OK, CallSeeingErrors(L"text " + std::to_wstring(i)).hr) << i;
    ASSERT_EQ(CNoteManager::MAX_QUEUED_TEXTS, manager->GetQueuedCount());

    auto told = [](UINT id, int bound) {
        CString format, text;
        format.LoadString(id);
        text.Format(format, bound);
        return std::string(text.GetString());
    };
    const std::string full = told(IDS_AUTO_QUEUE_FULL, CNoteManager::MAX_QUEUED_TEXTS);
    const std::string overlong = told(IDS_AUTO_TEXT_TOO_LONG, CNoteBox::MAX_TEXT);
    struct Row {
        std::wstring text;
        HRESULT scode;
        std::string description;
        bool told;
    } rows[] = {
        {L"one too many", HRESULT_FROM_WIN32(ERROR_BUSY), full, true},
        {L"and another", HRESULT_FROM_WIN32(ERROR_BUSY), full, false},
        {tooLong, E_INVALIDARG, overlong, true},
        {tooLong, E_INVALIDARG, overlong, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.description + " " + std::to_string(row.text.size()));
        CPromptScript prompts;
        if (row.told)
            prompts.AnswerNext(IDOK);
        const Failure seen = CallSeeingErrors(row.text);
        EXPECT_EQ(DISP_E_EXCEPTION, seen.hr);
        EXPECT_EQ(row.scode, seen.scode);
        EXPECT_EQ(row.description, seen.description);
        EXPECT_EQ(row.told ? 1u : 0u, prompts.Asked().size()) << "told once, not once per call";
        if (row.told && !prompts.Asked().empty()) {
            EXPECT_EQ(row.description, prompts.Asked()[0].text.GetString());
        }
        EXPECT_EQ(0, prompts.Unexpected());
    }
    EXPECT_EQ(CNoteManager::MAX_QUEUED_TEXTS, manager->GetQueuedCount());
    std::string text;
    ASSERT_TRUE(manager->PopText(text));
    EXPECT_EQ(std::string(CNoteBox::MAX_TEXT, 'x'), text) << "the longest text waits whole";
    while (manager->GetQueuedCount() > 1)
        manager->PopText(text);
    ASSERT_TRUE(manager->PopText(text));
    EXPECT_EQ("text " + std::to_string(CNoteManager::MAX_QUEUED_TEXTS - 1), text);
}

// A note the program cannot open, and one asked for once the exit has begun
// (the notes and the queue are about to go): the call fails and the caller
// keeps its text.
TEST_F(AutomationClient, ATextTheProgramCannotTakeIsRefusedAndNotTaken)
{
    enum Way { noWindow, noMemory, quitMet, exitCommand };
    // The note comes without its window object, or there is no room for it.
    static const QuiEdition windowless = {nullptr, []() -> CActionNote* { return new CPlainNote; }};
    static const QuiEdition roomless = {nullptr, []() -> CActionNote* { throw std::bad_alloc(); }};
    struct Row {
        const char* what;
        Way way;
        HRESULT hr;
    } rows[] = {
        {"no note window can be made", noWindow, E_FAIL},
        {"no room for the note", noMemory, E_OUTOFMEMORY},
        {"a wait met the quit", quitMet, CO_E_SERVER_STOPPING},
        {"the exit command", exitCommand, CO_E_SERVER_STOPPING},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (int edition = 1; row.way <= noMemory && edition <= 5; ++edition)
            QuiRegisterEdition(edition, row.way == noWindow ? &windowless : &roomless);
        if (row.way == exitCommand)
            app->OnAppExit();
        else if (row.way == quitMet)
            QuiURLHandler::SetQuitting(TRUE);
        const Failure seen = CallSeeingErrors(L"call the bank");
        EXPECT_TRUE(seen.hr == row.hr || seen.scode == row.hr) << std::hex << seen.hr << " " << seen.scode;
        EXPECT_EQ(0, app->GetNoteCount());
        EXPECT_EQ(0, app->GetNoteManager()->GetQueuedCount());
        QuiURLHandler::SetQuitting(FALSE);
        RegisterTestEditions();
    }
    EXPECT_TRUE(TakeQuit());
}

// A client's call that arrives while the program waits for its back end,
// at start-up or in a reload.
class AutomationWhileLoading : public AppFixture {
protected:
    struct Heard {
        HRESULT result = E_UNEXPECTED;
        BOOL ready = TRUE;
        int notes = -1;
    };

    // What the client's call made of the program at that moment.
    std::function<void()> CallNewNote(const wchar_t* text, Heard* heard)
    {
        return [this, text, heard] {
            heard->ready = app->IsReady();
            heard->result = Invoke(text);
            heard->notes = app->GetNoteCount();
        };
    }

    static HRESULT Invoke(const wchar_t* text)
    {
        CLSID clsid;
        IDispatch* server = nullptr;
        if (FAILED(CLSIDFromString(const_cast<LPOLESTR>(L"{AA67EBE8-A97A-11D2-84D7-00A0247B3DBA}"), &clsid)) ||
            FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                    reinterpret_cast<void**>(&server))))
            return E_NOINTERFACE;
        LPOLESTR name = const_cast<LPOLESTR>(L"NewNote");
        DISPID id = 0;
        HRESULT hr = server->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
        if (SUCCEEDED(hr)) {
            VARIANT arg;
            VariantInit(&arg);
            arg.vt = VT_BSTR;
            arg.bstrVal = SysAllocString(text);
            DISPPARAMS params = {&arg, nullptr, 1, 0};
            hr = server->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                                nullptr);
            VariantClear(&arg);
        }
        server->Release();
        return hr;
    }
};

TEST_F(AutomationWhileLoading, ATextHandedOverWhileNotReadyOpensOnceTheProgramIsReady)
{
    enum When { startUp, fullReload, lightReload };
    struct Row {
        When when;
        const char* name;
    } rows[] = {
        {startUp, "start-up"},
        {fullReload, "full reload"},
        {lightReload, "light reload"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Heard heard;
        if (row.when == startUp) {
            g_script.whileLoading = CallNewNote(L"call the bank", &heard);
            ASSERT_TRUE(Start());
        } else {
            ASSERT_TRUE(Start());
            g_script.whileLoading = CallNewNote(L"call the bank", &heard);
            app->ReloadDatastore(row.when == fullReload ? 1 : 0, FALSE);
        }
        EXPECT_FALSE(heard.ready);
        EXPECT_EQ(S_OK, heard.result);
        EXPECT_EQ(0, heard.notes);
        ASSERT_TRUE(app->IsReady());
        app->OnIdle(0);
        ASSERT_EQ(1, app->GetNoteCount());
        CString text;
        app->GetCurrentNote()->GetNoteText(text);
        EXPECT_STREQ("call the bank", text);
        EXPECT_EQ(0, app->GetNoteManager()->GetQueuedCount());
        CloseAllNotes(app.get());
        Stop();
    }
}

// A text that still waits for a note when the program ends is asked about
// in a note of its own, or, when no note can be opened, told.
TEST_F(AutomationWhileLoading, ATextStillWaitingAtTheEndIsAskedAboutOrTold)
{
    enum End { exitCommand, logoff, failedReload };
    struct Row {
        End end;
        const char* name;
        int answer;
        bool ends;
        int notesLeft;
    } rows[] = {
        {exitCommand, "exit", IDNO, true, 0},
        // The logoff keeps the waiting text for the next start, asking nothing.
        {logoff, "logoff", 0, true, 0},
        {failedReload, "exit after a failed reload", IDOK, true, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        g_script = EditionScript();
        ASSERT_TRUE(Start());
        Heard heard;
        g_script.whileLoading = CallNewNote(L"call the bank", &heard);
        g_script.reloadFailures = row.end == failedReload ? 1 : 0;
        CPromptScript prompts;
        if (row.end == failedReload)
            prompts.AnswerNext(IDOK);
        if (row.answer)
            prompts.AnswerNext(row.answer);
        app->ReloadDatastore(row.end == failedReload ? 1 : 0, FALSE);
        ASSERT_EQ(S_OK, heard.result);
        bool ends = false;
        if (row.end == logoff) {
            ASSERT_EQ(1, app->GetNoteManager()->GetQueuedCount());
            ends = app->m_pMainWnd->SendMessage(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF) != 0;
        } else if (row.end == exitCommand) {
            ASSERT_EQ(1, app->GetNoteManager()->GetQueuedCount());
            app->OnAppExit();
        }
        Pump();
        ends = ends || TakeQuit();
        EXPECT_EQ(row.ends, ends);
        EXPECT_EQ(0, prompts.Unexpected());
        EXPECT_EQ(0, prompts.Unused());
        const std::vector<std::string> texts = Texts(prompts);
        if (row.end == failedReload) {
            CString format, told;
            format.LoadString(IDS_QUEUED_TEXTS_DROPPED);
            told.Format(format, 1);
            ASSERT_EQ(2u, texts.size());
            EXPECT_EQ(Message(IDS_RELOAD_FAILED), texts[0]);
            EXPECT_EQ(0u, texts[1].find(told.GetString())) << texts[1];
            EXPECT_NE(std::string::npos, texts[1].find("\r\n\r\ncall the bank")) << texts[1];
        } else if (row.answer) {
            EXPECT_EQ(std::vector<std::string>{Message(IDS_EXIT_FILE_NOTE)}, texts);
        } else {
            EXPECT_TRUE(texts.empty());
        }
        EXPECT_EQ(row.answer ? 0 : 1, app->GetNoteManager() ? app->GetNoteManager()->GetQueuedCount() : 0);
        EXPECT_EQ(row.notesLeft, app->GetNoteCount());
        if (row.notesLeft && app->GetCurrentNote()) {
            CString text;
            app->GetCurrentNote()->GetNoteText(text);
            EXPECT_STREQ("call the bank", text);
        }
        CloseAllNotes(app.get());
        Stop();
    }
}

} // namespace
