// The stand-in's views and folders, changed notes and deletion stubs, new
// databases from templates, the known servers and address books: what each
// call answers and what it refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "LNClasses.h"
#include "NotesStandInFixture.h"

namespace {

using NotesStandInTesting::Installation;
using NotesStandInTesting::OnOtherThread;

const char kBook[] =
    "[note 2]\r\n$Title=$People\r\n$NoteClass=8\r\n$SelectForms=Person\r\n"
    "[note 3]\r\n$Title=Person\r\n$NoteClass=4\r\n$Default.Type=Person\r\n"
    "[note 4]\r\n$Title=Team\r\n$NoteClass=8\r\n$Flags=F\r\n$FolderEntries=21\r\n"
    "[note 20]\r\nForm=Person\r\nFirstName=Bob\r\n"
    "[note 21]\r\nForm=Group\r\n"
    "[note 22]\r\nForm=Person\r\n$REF=20\r\n";

class StandInViewsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LNSetThrowAllErrors(FALSE);
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\book.nsf", kBook);
        ASSERT_EQ(0, m_session.Initialize(200, 0, nullptr, m_notes.IniPath().c_str()));
        m_session.GetDatabase("book.nsf", &m_book);
        ASSERT_EQ(0, m_book.Open());
    }
    void TearDown() override
    {
        m_book.Close();
        if (LNIsNotesInitialized())
            m_session.Term(0);
    }
    // The documents of the view, each as id and main-topic mark ("20", "22r").
    std::vector<std::string> Walk(const char* view)
    {
        std::vector<std::string> seen;
        LNViewFolder folder;
        EXPECT_EQ(0, m_book.GetViewFolder(view, &folder));
        EXPECT_EQ(0, folder.Open(0));
        LNVFEntry entry;
        LNSTATUS status = folder.Goto(LNVFNAVIGATE_FIRST, &entry);
        for (; status == 0; status = folder.Goto(LNVFNAVIGATE_NEXT, &entry)) {
            LNDocument document;
            EXPECT_EQ(0, entry.GetDocument(&document));
            seen.push_back(std::to_string(document.GetNoteID()) + (entry.IsMainTopic() ? "" : "r"));
        }
        EXPECT_EQ(LNWARN_END_OF_VIEW, status);
        EXPECT_EQ(LNWARN_END_OF_VIEW, folder.Goto(LNVFNAVIGATE_NEXT, &entry)) << "stays at the end";
        return seen;
    }
    std::string Path(const char* file) const { return m_notes.Folder() + "\\" + file; }

    Installation m_notes;
    LNNotesSession m_session;
    LNDatabase m_book;
};

TEST_F(StandInViewsTest, ViewsShowTheirFormsAndFoldersTheirEntries)
{
    EXPECT_EQ((std::vector<std::string>{"20", "22r"}), Walk("$People"));
    EXPECT_EQ((std::vector<std::string>{"21"}), Walk("Team"));
    LNViewFolder view;
    m_book.GetViewFolder("$People", &view);
    LNVFEntry entry;
    EXPECT_EQ(NOTES_ERR_BAD_HANDLE, view.Goto(LNVFNAVIGATE_FIRST, &entry)) << "not open";
    view.Open(0);
    EXPECT_EQ(NOTES_ERR_BAD_HANDLE, view.Goto(LNVFNAVIGATE_NEXT, &entry)) << "no first entry yet";
    EXPECT_FALSE(view.IsFolder());
    LNViewFolder team;
    m_book.GetViewFolder("Team", &team);
    EXPECT_TRUE(team.IsFolder());
}

TEST_F(StandInViewsTest, FoldersAreCreatedOnceByName)
{
    LNViewFolder design, folder, again;
    m_book.GetViewFolder("$People", &design);
    EXPECT_TRUE(m_book.ViewFolderExists("team"));
    EXPECT_EQ(NOTES_ERR_NAME_EXISTS, m_book.CreateFolder("TEAM", 0, design, &folder));
    EXPECT_EQ(NOTES_ERR_NOT_FOUND, m_book.CreateFolder("", 0, design, &folder));
    ASSERT_EQ(0, m_book.CreateFolder("Friends", 0, design, &folder));
    EXPECT_FALSE(m_book.ViewFolderExists("Friends")) << "not saved yet";
    EXPECT_EQ(0, folder.SetBackgroundColor(1));
    ASSERT_EQ(0, folder.Save(0));
    EXPECT_TRUE(m_book.ViewFolderExists("Friends"));
    LNNoteArray views;
    ASSERT_EQ(0, m_book.GetViewFolders(&views));
    ASSERT_EQ(3u, views.GetCount());
    EXPECT_EQ(folder.GetNoteID(), views[2]);
    std::vector<std::string> dumped = m_notes.Dump("book.nsf");
    const std::string id = std::to_string(folder.GetNoteID());
    auto has = [&](const std::string& line) { return std::find(dumped.begin(), dumped.end(), id + line) != dumped.end(); };
    EXPECT_TRUE(has(" $Title=Friends"));
    EXPECT_TRUE(has(" $Flags=F"));
    EXPECT_TRUE(has(" $BackgroundColor(number)=1"));
    EXPECT_FALSE(has(" $SelectForms=Person")) << "a folder selects nothing";
}

TEST_F(StandInViewsTest, ChangesSinceATimeWithDeletionStubs)
{
    m_notes.SetClock("20261208-090000");
    LNDocument person;
    ASSERT_EQ(0, m_book.CreateDocument(&person, "Person"));
    ASSERT_EQ(0, person.Save(0));
    EXPECT_EQ(23u, person.GetNoteID());
    LNDatetime created;
    ASSERT_EQ(0, person.GetCreated(&created));
    EXPECT_EQ(9, created.GetHour());
    m_notes.SetClock("20261208-091000");
    ASSERT_EQ(0, m_book.DeleteNote(20));
    EXPECT_EQ(NOTES_ERR_NOT_FOUND, m_book.DeleteNote(20));
    LNDocument gone;
    EXPECT_EQ(NOTES_ERR_NOT_FOUND, m_book.GetDocument(20, &gone));

    struct Row {
        const char* since;
        WORD classes;
        std::vector<LNNOTEID> expected;
    } rows[] = {
        {"20261208-085959", LNNOTECLASS_DOCUMENT, {20 | LNNOTEID_DELETED, 23}},
        {"20261208-090000", LNNOTECLASS_DOCUMENT, {20 | LNNOTEID_DELETED, 23}},
        {"20261208-090001", LNNOTECLASS_DOCUMENT, {20 | LNNOTEID_DELETED}},
        {"20261208-091001", LNNOTECLASS_DOCUMENT, {}},
        {"20261208-085959", LNNOTECLASS_VIEW, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.since);
        NOTESTIMEDATE stamp = {{0, 0}};
        std::sscanf(row.since, "%lu-%lu", &stamp.innards[0], &stamp.innards[1]);
        LNNoteArray notes;
        LNDatetime until;
        ASSERT_EQ(0, m_book.GetModifiedNotes(LNDatetime(stamp), row.classes, &notes, &until));
        std::vector<LNNOTEID> ids;
        for (DWORD i = 0; i < notes.GetCount(); ++i)
            ids.push_back(notes[i]);
        EXPECT_EQ(row.expected, ids);
        EXPECT_EQ(10, until.GetMinute());
    }
    LNDatetime any;
    any.SetDateToWildCard();
    LNNoteArray all;
    ASSERT_EQ(0, m_book.GetModifiedNotes(any, LNNOTECLASS_ALL, &all));
    EXPECT_EQ(7u, all.GetCount()) << "every note and the stub";
    // A new note never takes the id of a deleted one.
    LNDocument next;
    m_book.CreateDocument(&next);
    next.Save(0);
    EXPECT_EQ(24u, next.GetNoteID());
    std::vector<NotesNote> notes;
    std::vector<NotesStub> stubs;
    ASSERT_TRUE(ReadNotesDatabase(Path("book.nsf"), &notes));
    ASSERT_TRUE(ReadNotesStubs(Path("book.nsf"), &stubs));
    ASSERT_EQ(1u, stubs.size()) << "a later write keeps the stub";
    std::vector<std::string> times = DumpNotesTimes(notes, stubs);
    EXPECT_NE(times.end(), std::find(times.begin(), times.end(), "23 $Created=2026-12-08 09:00:00"));
    EXPECT_NE(times.end(), std::find(times.begin(), times.end(), "20 $Deleted=2026-12-08 09:10:00"));
}

TEST_F(StandInViewsTest, ComputeWithFormNeedsTheForm)
{
    LNDocument person;
    ASSERT_EQ(0, m_book.CreateDocument(&person));
    EXPECT_EQ(NOTES_ERR_NO_FORM, person.ComputeWithForm(FALSE)) << "no form named";
    person.SetFormNote("Nobody");
    EXPECT_EQ(NOTES_ERR_NO_FORM, person.ComputeWithForm(FALSE));
    person.SetFormNote("Person");
    EXPECT_FALSE(person.HasItem("Type"));
    EXPECT_EQ(0, person.ComputeWithForm(FALSE));
    EXPECT_TRUE(person.HasItem("Type"));
    EXPECT_EQ(LNITEMTYPE_TEXT, person.GetItemType("Type"));
    EXPECT_EQ(0, person.GetItemType("Nothing"));
}

TEST_F(StandInViewsTest, DatabaseFromTemplateTakesTheDesignOnly)
{
    LNCreateDatabaseOptions options;
    ASSERT_EQ(0, m_session.CreateDatabaseFromTemplate("book.nsf", "", "copy.nsf", "", options));
    std::vector<NotesNote> notes;
    ASSERT_TRUE(ReadNotesDatabase(Path("copy.nsf"), &notes));
    ASSERT_EQ(3u, notes.size());
    for (const NotesNote& note : notes)
        EXPECT_NE(1, NotesNoteClass(note)) << note.id;
    EXPECT_EQ(NOTES_ERR_FILE_EXISTS, m_session.CreateDatabaseFromTemplate("book.nsf", "", "copy.nsf", "", options));
    EXPECT_EQ(NOTES_ERR_FILE_NOT_FOUND, m_session.CreateDatabaseFromTemplate("none.ntf", "", "x.nsf", "", options));
    EXPECT_EQ(NOTES_ERR_SERVER_NOT_RESPONDING,
              m_session.CreateDatabaseFromTemplate("book.nsf", "", "x.nsf", "Far/Away", options));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(Path("x.nsf").c_str()));
}

TEST_F(StandInViewsTest, ServersAndAddressBooks)
{
    NotesStandInTesting::WriteFile(Path("names.nsf"), "[note 9]\r\nForm=Connection\r\nDestination=Hub/Acme\r\n");
    CreateDirectoryA(Path("servers").c_str(), nullptr);
    CreateDirectoryA(Path("servers\\Hub_Acme").c_str(), nullptr);
    NotesStandInTesting::WriteFile(Path("servers\\Hub_Acme\\names.nsf"), "");
    LNText servers;
    ASSERT_EQ(0, m_session.GetServerNames(&servers));
    ASSERT_EQ(1u, servers.GetCount());
    EXPECT_STREQ("Hub/Acme", servers[0].GetPlatformTextPtr());

    struct Row {
        const char* server;
        NOTESSTATUS status;
        std::vector<std::string> books;
    } rows[] = {{nullptr, 0, {"names.nsf"}}, {"Hub/Acme", 0, {"names.nsf"}},
                {"Far/Away", NOTES_ERR_SERVER_NOT_RESPONDING, {}}};
    for (const Row& row : rows) {
        WORD count = 9, length = 0;
        NOTESHANDLE memory = 0;
        EXPECT_EQ(row.status, NotesAddressBooks(row.server, 0, &count, &length, &memory));
        std::vector<std::string> books;
        const char* name = static_cast<const char*>(NotesLockBlock(memory));
        for (WORD i = 0; name && i < count; ++i, name += std::strlen(name) + 1)
            books.push_back(name);
        EXPECT_EQ(row.books, books);
        if (memory) {
            EXPECT_EQ(0, NotesMemFree(memory));
        }
    }
    LNSTATUS refused = 0;
    OnOtherThread([&] {
        LNNotesSession session;
        LNText names;
        refused = session.GetServerNames(&names);
    });
    EXPECT_EQ(NOTES_ERR_THREAD_NOT_REGISTERED, refused);
}

TEST_F(StandInViewsTest, NetworkPathsOpenOnTheirServer)
{
    CreateDirectoryA(Path("servers").c_str(), nullptr);
    CreateDirectoryA(Path("servers\\Hub_Acme").c_str(), nullptr);
    NotesStandInTesting::WriteFile(Path("servers\\Hub_Acme\\book.nsf"), "[note 1]\r\nForm=Far\r\n");
    char path[MAX_PATH];
    ASSERT_EQ(0, NotesPathCompose(nullptr, "Hub/Acme", "book.nsf", path));
    LNDatabase remote;
    m_session.GetDatabase(path, &remote);
    ASSERT_EQ(0, remote.Open());
    LNDocument note;
    ASSERT_EQ(0, remote.GetDocument(1, &note));
    LNText form;
    note.Open(0);
    note.GetItem("Form", &form);
    EXPECT_STREQ("Far", form[0].GetPlatformTextPtr());
}

}  // namespace
