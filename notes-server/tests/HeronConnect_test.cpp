// Connecting to the Notes stand-in: the runtime thread, its events and its
// end, the thread rule of the runtime, and the members that read Notes.
#include <gtest/gtest.h>

#include <string>

#include "Heron.h"
#include "HeronFixture.h"
#include "HeronOptions.h"
#include "HeronWorker.h"
#include "LNClasses.h"
#include "QuiTesting.h"

namespace {

using QuiComTesting::LastError;
using NotesStandInTesting::OnOtherThread;
using NotesStandInTesting::RuntimeStarted;
using QuiComTesting::Variant;

// Whether some handle of the named event is open anywhere in the session.
bool EventExists(int kind)
{
    char name[MAX_PATH] = "";
    BuildHeronEventName(kind, name);
    HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, name);
    if (!event)
        return false;
    CloseHandle(event);
    return true;
}

std::string Description()
{
    return HeronTest::Narrow(LastError().description);
}

TEST_F(HeronTest, ConnectStartsTheRuntimeThread)
{
    EXPECT_FALSE(RuntimeStarted());
    EXPECT_FALSE(EventExists(HERON_EVENT_SHUTDOWN));
    ASSERT_EQ(S_OK, Connect());
    EXPECT_TRUE(RuntimeStarted());
    EXPECT_TRUE(EventExists(HERON_EVENT_SHUTDOWN)) << "the runtime thread waits on it";
    EXPECT_TRUE(EventExists(HERON_EVENT_SHUTDOWN_COMPLETE));
    EXPECT_TRUE(EventExists(HERON_EVENT_CONNECT));
}

TEST_F(HeronTest, ReleaseEndsTheRuntimeBeforeItReturns)
{
    ASSERT_EQ(S_OK, Connect());
    Release();
    EXPECT_FALSE(RuntimeStarted());
    EXPECT_FALSE(EventExists(HERON_EVENT_SHUTDOWN));
    EXPECT_FALSE(EventExists(HERON_EVENT_CONNECT));
    // The runtime thread signals completion and then closes its own handle
    // to that event: on a busy machine the release may return in between.
    EXPECT_TRUE(QuiTesting::PumpUntil([] { return !EventExists(HERON_EVENT_SHUTDOWN_COMPLETE); }, 2000));
}

TEST_F(HeronTest, RuntimeThreadEndsOnTheShutDownEvent)
{
    SetTimeout(2000);
    ASSERT_EQ(S_OK, Connect());
    char name[MAX_PATH] = "";
    BuildHeronEventName(HERON_EVENT_SHUTDOWN_COMPLETE, name);
    HANDLE complete = CreateEventA(nullptr, FALSE, FALSE, name);
    BuildHeronEventName(HERON_EVENT_SHUTDOWN, name);
    HANDLE shutDown = CreateEventA(nullptr, FALSE, FALSE, name);
    ASSERT_TRUE(complete && shutDown);
    SetEvent(shutDown);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(complete, 10000));
    EXPECT_FALSE(RuntimeStarted());
    CloseHandle(shutDown);
    CloseHandle(complete);
}

TEST_F(HeronTest, NotesCallsFromAnUnregisteredThreadAreRefused)
{
    LNNotesSession session;
    LNString name;
    LNSetThrowAllErrors(FALSE);
    EXPECT_EQ(NOTES_ERR_NOT_INITIALIZED, session.GetUserNameText(&name));
    ASSERT_EQ(S_OK, Connect());
    LNSetThrowAllErrors(FALSE);
    EXPECT_EQ(0, session.GetUserNameText(&name)) << "Connect registered this thread";
    LNSTATUS elsewhere = 0;
    OnOtherThread([&] {
        LNNotesSession other;
        LNString text;
        elsewhere = other.GetUserNameText(&text);
    });
    EXPECT_EQ(NOTES_ERR_THREAD_NOT_REGISTERED, elsewhere);
}

TEST_F(HeronTest, SecondConnectAnswersAtOnce)
{
    ASSERT_EQ(S_OK, Connect());
    // No notes.ini to be found any more: a new search would fail.
    NotesStandInTesting::Forget();
    DeleteFileA(m_notes.IniPath().c_str());
    EXPECT_EQ(S_OK, Connect());
}

TEST_F(HeronTest, SecondObjectSharesTheRuntime)
{
    ASSERT_EQ(S_OK, Connect());
    QuiComTesting::Ptr<IDispatch> second = CreateHeron();
    ASSERT_TRUE(second);
    EXPECT_EQ(S_OK, Connect(second.Get()));
    Variant user;
    EXPECT_EQ(S_OK, Get(DISPID_HERON_USERINFO, &user, second.Get()));
    EXPECT_EQ("Ann|Lee|", Texts(user));
    // The runtime stays while one object still holds a registration.
    Release();
    EXPECT_TRUE(RuntimeStarted());
    EXPECT_EQ(S_OK, Get(DISPID_HERON_USERINFO, &user, second.Get()));
    second.Reset();
    EXPECT_FALSE(RuntimeStarted());
    // Each object's registration of this thread was ended before the runtime.
    EXPECT_EQ(0u, m_notes.OpenThreads());
}

TEST_F(HeronTest, ConnectAgainAfterTheRuntimeEnded)
{
    ASSERT_EQ(S_OK, Connect());
    Release();
    ASSERT_FALSE(RuntimeStarted());
    EXPECT_EQ(S_OK, Connect());
    EXPECT_TRUE(RuntimeStarted());
    Variant version;
    EXPECT_EQ(S_OK, Get(DISPID_HERON_NOTESVERSION, &version));
    EXPECT_EQ(5, version.lVal);
}

TEST_F(HeronTest, ConnectWithoutNotesIni)
{
    NotesStandInTesting::Forget();
    DeleteFileA(m_notes.IniPath().c_str());
    EXPECT_EQ(DISP_E_EXCEPTION, Connect());
    QuiComTesting::ErrorRecord error = LastError();
    ASSERT_TRUE(error.present);
    EXPECT_EQ(L"Quillmate is unable to find a valid Notes.ini file. Please make sure your notes.ini file is in one "
              L"of these locations:\r\nYour Notes installation directory or in your Windows directory.\r\n",
              error.description);
    EXPECT_EQ(static_cast<DWORD>(-36), error.helpContext);
    EXPECT_FALSE(RuntimeStarted());
}

TEST_F(HeronTest, ConnectWhoseRuntimeNeverStartsTimesOut)
{
    SetTimeout(300);
    m_notes.SetFailCalls({"NotesInitExtended"});
    EXPECT_EQ(DISP_E_EXCEPTION, Connect());
    QuiComTesting::ErrorRecord error = LastError();
    ASSERT_TRUE(error.present);
    EXPECT_EQ(0u, error.description.find(L"Quillmate is unable to load the Notes Runtime Services and will exit. "
                                         L"\r\nExiting the Notes Client"));
    EXPECT_EQ(static_cast<DWORD>(-4), error.helpContext);
    EXPECT_FALSE(RuntimeStarted());
    // Members still find no worker.
    Variant user;
    EXPECT_EQ(DISP_E_EXCEPTION, Get(DISPID_HERON_USERINFO, &user));
    EXPECT_EQ("Not Connected to Lotus Notes.", Description());

    m_notes.SetFailCalls({});
    SetTimeout(30000);
    EXPECT_EQ(S_OK, Connect()) << "a later connect starts a new runtime thread";
}

TEST_F(HeronTest, ConnectToAnUnconfiguredInstallation)
{
    m_notes.SetIni({{"KeyFileName", "user.id"}});
    EXPECT_EQ(DISP_E_EXCEPTION, Connect());
    QuiComTesting::ErrorRecord error = LastError();
    ASSERT_TRUE(error.present);
    EXPECT_EQ(L"\r\nError: -37 Your Notes installation has not yet been fully configured. Please run and configure "
              L"your Notes Client installation before running Quillmate.\n",
              error.description);
    EXPECT_EQ(static_cast<DWORD>(-37), error.helpContext);
}

TEST_F(HeronTest, NotesVersionOfEachBuild)
{
    ASSERT_EQ(S_OK, Connect());
    struct Row {
        DWORD build;
        long version;
    } rows[] = {{118, -1}, {119, 1}, {136, 1},  {137, -1}, {138, 2},  {140, 3}, {145, 3},
                {146, -1}, {147, 4}, {148, -1}, {161, -1}, {162, 5},  {166, 5}};
    for (const Row& row : rows) {
        m_notes.SetBuild(row.build);
        Variant version;
        EXPECT_EQ(S_OK, Get(DISPID_HERON_NOTESVERSION, &version)) << row.build;
        EXPECT_EQ(VT_I4, version.vt);
        EXPECT_EQ(row.version, version.lVal) << row.build;
    }
}

TEST_F(HeronTest, NotesVersionAnswersEvenWhenTheLibraryFails)
{
    ASSERT_EQ(S_OK, Connect());
    m_notes.SetFailCalls({"NSFDbGetBuildVersion"});
    Variant version;
    EXPECT_EQ(S_OK, Get(DISPID_HERON_NOTESVERSION, &version));
    EXPECT_EQ(-1, version.lVal);
}

TEST_F(HeronTest, UserInfoOfEachName)
{
    ASSERT_EQ(S_OK, Connect());
    struct Row {
        const char* user;
        const char* expected;
    } rows[] = {
        {"CN=Ann Lee/OU=Sales/O=Acme", "Ann|Lee|"},
        {"CN=Cher/O=Acme", "Cher||"},
        {"Ann Marie Lee/Sales/Acme", "Ann|Marie|"},
        {"CN=Bob Stone", "Bob|Stone|"},
    };
    for (const Row& row : rows) {
        m_notes.SetUser(row.user);
        Variant user;
        EXPECT_EQ(S_OK, Get(DISPID_HERON_USERINFO, &user)) << row.user;
        EXPECT_EQ(row.expected, Texts(user)) << row.user;
    }
}

// No name, or one without a common name, is no user without a name.
TEST_F(HeronTest, UserInfoWithoutAName)
{
    ASSERT_EQ(S_OK, Connect());
    const char* const kToldToFail = "Retrieving Profile Info\r\nError: 4095 The call failed as the test asked";
    const char* const kNoCommonName = "Retrieving Profile Info\r\nError: -19 Contact information not found";
    struct Row {
        const char* user;
        const char* failing;
        const char* text;
    } rows[] = {
        {"CN=Ann Lee/O=Acme", "SECKFMGetUserName", kToldToFail},
        {"CN=Ann Lee/O=Acme", "DNParse", kToldToFail},
        {"OU=Sales/O=Acme", "", kNoCommonName},
        {"CN=/O=Acme", "", kNoCommonName},
    };
    for (const Row& row : rows) {
        m_notes.SetUser(row.user);
        m_notes.SetFailCalls({row.failing});
        Variant user;
        EXPECT_EQ(DISP_E_EXCEPTION, Get(DISPID_HERON_USERINFO, &user)) << row.user << " " << row.failing;
        EXPECT_EQ(row.text, Description()) << row.user << " " << row.failing;
        EXPECT_EQ(VT_EMPTY, user.vt) << row.user << " " << row.failing;
    }
}

TEST_F(HeronTest, OpenNotesWithoutTheClient)
{
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ(DISP_E_EXCEPTION, Call(DISPID_HERON_OPENNOTES));
    QuiComTesting::ErrorRecord error = LastError();
    ASSERT_TRUE(error.present);
    EXPECT_EQ(L"Opening Notes Application\r\nError: -30 Unable to Launch Lotus Notes", error.description);
    EXPECT_EQ(static_cast<DWORD>(-30), error.helpContext);
}

TEST_F(HeronTest, OpenNotesStartsTheClient)
{
    ASSERT_EQ(S_OK, Connect());
    HANDLE started = CreateEventA(nullptr, TRUE, FALSE, NOTES_STANDIN_STARTED_EVENT);
    ASSERT_TRUE(started != nullptr);
    ResetEvent(started);
    char path[32768];
    DWORD length = GetEnvironmentVariableA("PATH", path, sizeof path);
    std::string saved(path, length < sizeof path ? length : 0);
    SetEnvironmentVariableA("PATH", (QuiComTesting::ProgramFolder() + "notes-program;" + saved).c_str());
    EXPECT_EQ(S_OK, Call(DISPID_HERON_OPENNOTES));
    SetEnvironmentVariableA("PATH", saved.c_str());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(started, 20000));
    CloseHandle(started);
}

TEST_F(HeronTest, OptionsAreWrittenBackWithTheIniFileFound)
{
    ASSERT_EQ(S_OK, Connect());
    Release();
    EXPECT_STRCASEEQ(m_notes.IniPath().c_str(),
                     QuiComTesting::RegText(HKEY_CURRENT_USER, HERON_OPTIONS_KEY, "LastIniFile").c_str());
    EXPECT_EQ("journal4.ntf", QuiComTesting::RegText(HKEY_CURRENT_USER, HERON_OPTIONS_KEY, "JournalTemplate"));
    EXPECT_EQ("journal.nsf", QuiComTesting::RegText(HKEY_CURRENT_USER, HERON_OPTIONS_KEY, "JournalName"));
}

// The default installation: names.nsf holds the location document alone,
// there is no journal and no template, and no server is known.
TEST_F(HeronTest, ReadingMembersOnABareInstallation)
{
    ASSERT_EQ(S_OK, Connect());
    struct Row {
        DISPID id;
        HRESULT answer;
        const wchar_t* text;
    } rows[] = {{DISPID_HERON_CONTACTS, DISP_E_EXCEPTION, L"Opening Address Book\r\nError: -9 Unable to open address book"},
                {DISPID_HERON_JOURNALCATEGORIES, DISP_E_EXCEPTION,
                 L"Creating Journal Database\r\nError: 259 File does not exist"},
                {DISPID_HERON_SERVERS, S_OK, L""}};
    for (const Row& row : rows) {
        Variant value;
        EXPECT_EQ(row.answer, Get(row.id, &value)) << row.id;
        EXPECT_EQ(row.text, LastError().description) << row.id;
        if (row.answer == S_OK) {
            EXPECT_EQ("", Texts(value)) << row.id;
        }
    }
}

}  // namespace

namespace {

// A second object's holder is never the initialised one, so each of its
// connects runs the sequence again; none may leave a registration behind.
TEST_F(HeronTest, RepeatedConnectsOfASecondObjectLeaveNothingBehind)
{
    ASSERT_EQ(S_OK, Connect());
    QuiComTesting::Ptr<IDispatch> second = CreateHeron();
    ASSERT_TRUE(second);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(S_OK, Connect(second.Get())) << i;
    Release();
    EXPECT_TRUE(RuntimeStarted());
    second.Reset();
    EXPECT_FALSE(RuntimeStarted()) << "the runtime ends with the last registration";
}

}  // namespace

namespace {

// A second object connects once: neither a new search for notes.ini nor a
// new runtime, also after the object whose thread started the runtime went.
TEST_F(HeronTest, SecondObjectConnectsOnce)
{
    ASSERT_EQ(S_OK, Connect());
    QuiComTesting::Ptr<IDispatch> second = CreateHeron();
    ASSERT_TRUE(second);
    ASSERT_EQ(S_OK, Connect(second.Get()));
    NotesStandInTesting::Forget();
    DeleteFileA(m_notes.IniPath().c_str());
    EXPECT_EQ(S_OK, Connect(second.Get()));
    Release();
    ASSERT_TRUE(RuntimeStarted());
    EXPECT_EQ(S_OK, Connect(second.Get()));
    Variant user;
    EXPECT_EQ(S_OK, Get(DISPID_HERON_USERINFO, &user, second.Get()));
    EXPECT_EQ("Ann|Lee|", Texts(user));
    second.Reset();
    EXPECT_FALSE(RuntimeStarted());
}

// Another process's worker that shuts its runtime down reaches its own
// runtime thread only, never this process's.
TEST_F(HeronTest, AnotherProcessShuttingDownLeavesThisRuntime)
{
    ASSERT_EQ(S_OK, Connect());
    // The other process waits this long for a runtime thread to say it has
    // ended: longer than this process's thread would take, had the signal
    // reached it. This process has read its options already.
    SetTimeout(2000);
    std::string command = "\"" + QuiComTesting::ProgramFolder() + "heron_peer.exe\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION peer = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &peer));
    CloseHandle(peer.hThread);
    HANDLE process = peer.hProcess;
    EXPECT_TRUE(QuiTesting::PumpUntil([process] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, 20000,
                                      process));
    DWORD code = 1;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(RuntimeStarted());
    Variant user;
    EXPECT_EQ(S_OK, Get(DISPID_HERON_USERINFO, &user));
}

// Memory that runs out inside the Notes library fails the member with the
// member's own text, never an earlier failure's.
TEST_F(HeronTest, AllocationFailureInsideTheLibraryFailsTheMember)
{
    ASSERT_EQ(S_OK, Connect());
    Variant day;
    day.vt = VT_DATE;
    day.date = 46364.0;
    const wchar_t* const kCalendar = L"Retrieving Calendar Profile Info\r\nError: 294 Insufficient memory";
    struct Row {
        const char* call;
        DISPID id;
        const wchar_t* text;
    } rows[] = {
        {"NSFDbOpen", DISPID_HERON_CALENDARPREFS, kCalendar},
        {"NSFDbGetModifiedNoteTable", DISPID_HERON_GETCALENDARDAY, kCalendar},
    };
    for (const Row& row : rows) {
        // The bare installation has no address book: the worker's last error
        // is the address book's when the member runs.
        Variant contacts;
        EXPECT_EQ(DISP_E_EXCEPTION, Get(DISPID_HERON_CONTACTS, &contacts));
        m_notes.SetMemoryCalls({row.call});
        Variant value;
        HRESULT hr = row.id == DISPID_HERON_GETCALENDARDAY ? Call(row.id, {&day}, &value) : Get(row.id, &value);
        EXPECT_EQ(DISP_E_EXCEPTION, hr) << row.call;
        EXPECT_EQ(row.text, LastError().description) << row.call;
        EXPECT_EQ(VT_EMPTY, value.vt) << row.call << ": no list made up";
        m_notes.SetMemoryCalls({});
    }
    Variant user;
    EXPECT_EQ(S_OK, Get(DISPID_HERON_USERINFO, &user));
}

}  // namespace
