// The server on a machine where the Notes function library is not where it
// looks: no library beside this program, in the folder the Notes key names
// or on the search path. Connecting fails instead of the server failing to
// load, and succeeds once notes.ini or the key of the installed version
// names the program folder that holds it.
#include <gtest/gtest.h>

#include <string>

#include "HeronConnection.h"
#include "HeronOptions.h"
#include "LNClasses.h"
#include "NotesStandInFixture.h"

namespace {

TEST(HeronNoLibrary, ConnectFailsUntilNotesIniNamesTheProgramFolder)
{
    NotesStandInTesting::Installation notes;
    HeronOptions::Reset();
    LNSetThrowAllErrors(FALSE);
    LNNotesSession session;
    EXPECT_EQ(LNERR_NO_LIBRARY, session.Initialize(200, 0, nullptr, notes.IniPath().c_str()));
    {
        // The runtime never starts: the connect gives up after its wait.
        const DWORD timeout = 300;
        HeronOptions::Set(HERON_OPT_WAIT_FOR_NOTES_TIMEOUT, &timeout);
        HeronConnection connection;
        connection.ConnectToNotes();
        EXPECT_FALSE(connection.Connected());
        HeronOptions::Reset();
    }
    EXPECT_EQ(nullptr, GetModuleHandleA("nnotes.dll"));

    // This program's folder is one below the one that holds the library.
    std::string program = QuiComTesting::ProgramFolder();
    program.resize(program.find_last_of('\\', program.size() - 2) + 1);
    notes.SetIni({{"Location", "Office,8,CN=Ann Lee/OU=Sales/O=Acme"}, {"KeyFileName", "user.id"},
                  {"MailFile", "mail\\alee.nsf"}, {"NotesProgram", program.c_str()}});
    HeronConnection connection;
    connection.ConnectToNotes();
    EXPECT_TRUE(connection.Connected());
    char loaded[MAX_PATH] = "";
    GetModuleFileNameA(GetModuleHandleA("nnotes.dll"), loaded, MAX_PATH);
    EXPECT_EQ(0, lstrcmpiA((program + "nnotes.dll").c_str(), loaded)) << loaded;
    HeronOptions::Reset();
}

// A later release keeps its program folder under its own version's key:
// the newest version's is taken before the older ones'.
TEST(HeronNoLibrary, LibraryOfTheNewestVersionsKey)
{
    NotesStandInTesting::Installation notes;
    std::string program = QuiComTesting::ProgramFolder();
    program.resize(program.find_last_of('\\', program.size() - 2) + 1);
    NotesStandInTesting::SetRegText(HKEY_LOCAL_MACHINE, "Software\\Lotus\\Notes\\10.0", "Path", program);
    NotesStandInTesting::SetRegText(HKEY_LOCAL_MACHINE, "Software\\Lotus\\Notes\\6.5", "Path", notes.Folder());
    LNSetThrowAllErrors(FALSE);
    LNNotesSession session;
    ASSERT_EQ(0, session.Initialize(200, 0, nullptr, notes.IniPath().c_str()));
    char loaded[MAX_PATH] = "";
    GetModuleFileNameA(GetModuleHandleA("nnotes.dll"), loaded, MAX_PATH);
    EXPECT_EQ(0, lstrcmpiA((program + "nnotes.dll").c_str(), loaded)) << loaded;
    session.Term(0);
}

}  // namespace
