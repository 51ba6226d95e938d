// Where notes.ini is found, which mail file the location document names,
// and the process-wide registration counts, against the Notes stand-in.
#include <gtest/gtest.h>

#include <string>

#include "FindNotesIni.h"
#include "HeronConnection.h"
#include "HeronOptions.h"
#include "HeronWorker.h"
#include "NotesSessionHolder.h"
#include "NotesStandInFixture.h"

namespace {

using NotesStandInTesting::Installation;

// Restores the process's PATH when the test ends.
class PathVariable {
public:
    PathVariable()
    {
        char value[32768];
        DWORD length = GetEnvironmentVariableA("PATH", value, sizeof value);
        m_saved.assign(value, length < sizeof value ? length : 0);
    }
    ~PathVariable() { SetEnvironmentVariableA("PATH", m_saved.c_str()); }
    void Prepend(const std::string& folder) { SetEnvironmentVariableA("PATH", (folder + ";" + m_saved).c_str()); }

private:
    std::string m_saved;
};

enum class Found { None, ThroughPath, ThroughDataPath, OnSearchPath };

struct IniRow {
    const char* what;
    bool pathValue;        // the Notes key names a program folder
    bool iniInPath;        // notes.ini exists in it
    bool dataPathValue;    // the key names a data folder
    bool iniInDataPath;    // notes.ini exists in that
    bool iniOnSearchPath;  // notes.ini exists in a folder on PATH
    bool trailingBackslash;
    Found expected;
};

void ExpectFound(const IniRow& row)
{
    SCOPED_TRACE(row.what);
    Installation notes;
    NotesStandInTesting::Forget();
    std::string program = notes.Folder() + "\\program";
    std::string data = notes.Folder() + "\\data";
    std::string searched = notes.Folder() + "\\searched";
    for (const std::string& folder : {program, data, searched})
        CreateDirectoryA(folder.c_str(), nullptr);
    if (row.iniInPath)
        NotesStandInTesting::WriteFile(program + "\\notes.ini", "[Notes]\r\n");
    if (row.iniInDataPath)
        NotesStandInTesting::WriteFile(data + "\\notes.ini", "[Notes]\r\n");
    if (row.iniOnSearchPath)
        NotesStandInTesting::WriteFile(searched + "\\notes.ini", "[Notes]\r\n");
    const char* tail = row.trailingBackslash ? "\\" : "";
    if (row.pathValue)
        NotesStandInTesting::SetRegText(HKEY_LOCAL_MACHINE, NOTES_REGISTRY_KEY, "Path", program + tail);
    if (row.dataPathValue)
        NotesStandInTesting::SetRegText(HKEY_LOCAL_MACHINE, NOTES_REGISTRY_KEY, "DataPath", data + tail);
    PathVariable path;
    path.Prepend(searched);

    FindNotesIni ini;
    switch (row.expected) {
    case Found::None:
        EXPECT_EQ(nullptr, ini.found) << ini.found;
        break;
    case Found::ThroughPath:
        ASSERT_EQ(ini.registryPath, ini.found);
        EXPECT_STRCASEEQ((program + "\\notes.ini").c_str(), ini.found);
        break;
    case Found::ThroughDataPath:
        ASSERT_EQ(ini.dataPath, ini.found);
        EXPECT_STRCASEEQ((data + "\\notes.ini").c_str(), ini.found);
        EXPECT_STREQ("", ini.registryPath);
        break;
    case Found::OnSearchPath:
        ASSERT_EQ(ini.registryPath, ini.found);
        EXPECT_STRCASEEQ((searched + "\\notes.ini").c_str(), ini.found);
        break;
    }
}

TEST(FindNotesIni, Rows)
{
    const IniRow rows[] = {
        {"program folder", true, true, true, true, true, false, Found::ThroughPath},
        {"program folder ending in a backslash", true, true, false, false, false, true, Found::ThroughPath},
        {"data folder", true, false, true, true, true, false, Found::ThroughDataPath},
        {"data folder ending in a backslash", true, false, true, true, false, true, Found::ThroughDataPath},
        {"named folders without it, search path ignored", true, false, true, false, true, false, Found::None},
        {"program folder without it, no data folder", true, false, false, false, true, false, Found::None},
        {"no Notes key: search path", false, false, false, false, true, false, Found::OnSearchPath},
        {"no Notes key, data folder not consulted", false, false, true, true, false, false, Found::None},
    };
    for (const IniRow& row : rows)
        ExpectFound(row);
}

// A holder whose runtime the test's own session initialised, as the runtime
// thread does for the server.
class HolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, m_runtime.Initialize(200, 0, nullptr, m_notes.IniPath().c_str()));
        m_holder.SetInitialised(true);
    }
    void TearDown() override
    {
        LNSetThrowAllErrors(FALSE);
        m_runtime.Term(0);
    }

    // notes.ini is read when the runtime starts.
    void Restart()
    {
        LNSetThrowAllErrors(FALSE);
        m_runtime.Term(0);
        ASSERT_EQ(0, m_runtime.Initialize(200, 0, nullptr, m_notes.IniPath().c_str()));
    }

    std::string MailFile(int* found)
    {
        char path[256] = "x", server[256] = "x";
        *found = m_holder.FindMailFile(path, server);
        return std::string(path) + "|" + server;
    }

    Installation m_notes;
    LNNotesSession m_runtime;
    NotesSessionHolder m_holder{0};
};

TEST_F(HolderTest, MailFileOfTheLocationDocument)
{
    CreateDirectoryA((m_notes.Folder() + "\\servers").c_str(), nullptr);
    CreateDirectoryA((m_notes.Folder() + "\\servers\\Mail01_Acme").c_str(), nullptr);
    NotesStandInTesting::WriteFile(m_notes.Folder() + "\\servers\\Mail01_Acme\\alee.nsf", "[note 1]\r\n");
    NotesStandInTesting::WriteFile(m_notes.Folder() + "\\bare.nsf", "[note 1]\r\n");
    struct Row {
        std::initializer_list<std::pair<const char*, const char*>> items;
        int found;
        const char* expected;
    } rows[] = {
        {{{"MailType", "1"}, {"MailFile", "mail\\alee.nsf"}}, 1, "mail\\alee.nsf|"},
        // Not found locally under its path: retried under its bare name.
        {{{"MailType", "1"}, {"MailFile", "C:\\old\\bare.nsf"}}, 1, "bare.nsf|"},
        {{{"MailType", "1"}, {"MailFile", "old/bare.nsf"}}, 1, "bare.nsf|"},
        {{{"MailType", "1"}, {"MailFile", "mail\\gone.nsf"}}, 0, "|"},
        {{{"MailType", "1"}, {"MailFile", "gone.nsf"}}, 0, "|"},
        {{{"MailType", "0"}, {"MailFile", "alee.nsf"}, {"MailServer", "Mail01/Acme"}}, 1, "alee.nsf|Mail01/Acme"},
        {{{"MailType", "0"}, {"MailFile", "alee.nsf"}, {"MailServer", "Mail02/Acme"}}, 0, "|"},
        {{{"MailType", "0"}, {"MailFile", "alee.nsf"}}, 0, "|"},
        {{{"MailFile", "mail\\alee.nsf"}}, 0, "|"},
        {{{"MailType", "1"}}, 0, "|"},
    };
    LNSetThrowAllErrors(TRUE);
    for (const Row& row : rows) {
        m_notes.SetLocation(row.items);
        int found = -1;
        std::string result = MailFile(&found);
        SCOPED_TRACE(row.expected);
        EXPECT_EQ(row.found, found);
        EXPECT_EQ(row.expected, result);
        EXPECT_TRUE(LNGetThrowAllErrors()) << "the thrown-errors setting is restored";
    }
}

TEST_F(HolderTest, NoLocationDocumentFindsNothing)
{
    m_notes.SetIni({{"Location", "Travel,1,2"}});
    Restart();
    int found = -1;
    EXPECT_EQ("|", MailFile(&found));
    EXPECT_EQ(0, found);
}

TEST_F(HolderTest, MailDatabaseFallsBackToTheSessions)
{
    LNSetThrowAllErrors(FALSE);
    LNDatabase database;
    ASSERT_EQ(0, m_holder.GetMailDatabase(&database));
    EXPECT_STREQ("mail\\alee.nsf", database.GetFilePath());

    m_notes.SetLocation({{"MailType", "1"}, {"MailFile", "mail\\gone.nsf"}});
    m_notes.SetIni({{"Location", "Office,1,2"}, {"MailFile", "mail\\fallback.nsf"}, {"MailServer", "Mail09"}});
    Restart();
    LNDatabase fallback;
    ASSERT_EQ(0, m_holder.GetMailDatabase(&fallback));
    EXPECT_STREQ("mail\\fallback.nsf", fallback.GetFilePath());
    EXPECT_STREQ("Mail09", fallback.GetServerName());
}

TEST_F(HolderTest, ThreadRegistrationsAreCountedPerProcess)
{
    LONG before = HeronCounters::Threads();
    NotesSessionHolder second(0);
    EXPECT_EQ(1, m_holder.InitThread());
    EXPECT_EQ(1, second.InitThread());
    EXPECT_EQ(before + 2, HeronCounters::Threads());
    second.TermThread();
    EXPECT_EQ(before + 1, HeronCounters::Threads());
    // The library's registration ends with the last one only.
    LNString name;
    EXPECT_EQ(0, m_runtime.GetUserNameText(&name));
    m_holder.TermThread();
    EXPECT_EQ(before, HeronCounters::Threads());
}

TEST_F(HolderTest, TermThreadWithoutRegistrationCountsNothingDown)
{
    EXPECT_EQ(1, m_holder.InitThread());
    LONG registered = HeronCounters::Threads();
    NotesSessionHolder never(0);
    never.TermThread();
    EXPECT_EQ(registered, HeronCounters::Threads());
    EXPECT_FALSE(never.IsThreadRegistered());
    m_holder.TermThread();
}

TEST_F(HolderTest, OnlyTheFirstHolderIsCountedFromNothing)
{
    LONG holders = HeronCounters::Holders();
    EXPECT_GE(holders, 1);
    NotesSessionHolder later(1);
    EXPECT_EQ(holders + 1, HeronCounters::Holders());
    // A later holder never initialises the runtime itself.
    EXPECT_FALSE(later.IsInitialised());
    EXPECT_EQ(0, HeronCounters::Initialisations());
}

}  // namespace

namespace {

TEST(HeronWorkerProfile, CalendarPrefsFillTheProfileCache)
{
    NotesStandInTesting::Installation notes;
    NotesStandInTesting::WriteFile(notes.Folder() + "\\mail\\alee.nsf",
                                   "[note 3]\r\n$ProfileName=CalendarProfile\r\nOwner=Ann\r\n"
                                   "CalEntryType(number)=1\r\nDefaultDuration(number)=45\r\n"
                                   "EnableAlarms=" + std::string(60, 'x') + "\r\n");
    LNNotesSession runtime;
    ASSERT_EQ(0, runtime.Initialize(200, 0, nullptr, notes.IniPath().c_str()));
    {
        HERON worker(0);
        EXPECT_EQ(nullptr, worker.CachedProfileValue(0)) << "nothing before the profile was read";
        VARIANT prefs;
        VariantInit(&prefs);
        EXPECT_EQ(0, worker.CalendarPrefs(&prefs));
        VariantClear(&prefs);
        ASSERT_NE(nullptr, worker.CachedProfileValue(0));
        EXPECT_STREQ("512", worker.CachedProfileValue(0));
        EXPECT_STREQ("45", worker.CachedProfileValue(1));
        EXPECT_EQ(std::string(49, 'x'), worker.CachedProfileValue(2)) << "49 characters are kept";
        EXPECT_STREQ("", worker.CachedProfileValue(3));
        EXPECT_EQ(nullptr, worker.CachedProfileValue(4));
    }
    LNSetThrowAllErrors(FALSE);
    runtime.Term(0);
}

}  // namespace

namespace {

// A connect that gives up waiting leaves its worker to the runtime thread,
// which still writes to it, until the thread is done with it.
TEST(HeronConnection, AConnectThatGaveUpLeavesTheWorkerToTheRuntimeThread)
{
    NotesStandInTesting::Installation notes;
    HeronOptions::Reset();
    const DWORD timeout = 300;
    HeronOptions::Set(HERON_OPT_WAIT_FOR_NOTES_TIMEOUT, &timeout);
    notes.SetHoldCalls({"NotesInitExtended"});
    const LONG before = HERON::LiveCount();
    {
        HeronConnection connection;
        connection.ConnectToNotes();
        EXPECT_FALSE(connection.Connected());
        EXPECT_EQ(nullptr, connection.Worker());
    }
    EXPECT_EQ(before + 1, HERON::LiveCount()) << "the runtime thread is still initialising for it";
    notes.GoOn();
    // Nothing announces either end: look every few milliseconds.
    const DWORD poll = 20;
    EXPECT_TRUE(QuiTesting::PumpUntil([before] { return HERON::LiveCount() == before; }, 10000, nullptr, nullptr, poll));
    // The thread ends the runtime it started, on the shut-down the failed
    // connect asked for or on this one.
    char name[MAX_PATH] = "";
    BuildHeronEventName(HERON_EVENT_SHUTDOWN, name);
    HANDLE shutDown = CreateEventA(nullptr, FALSE, FALSE, name);
    SetEvent(shutDown);
    EXPECT_TRUE(QuiTesting::PumpUntil([] { return !LNIsNotesInitialized(); }, 10000, nullptr, nullptr, poll));
    CloseHandle(shutDown);
    HeronOptions::Reset();
}

}  // namespace
