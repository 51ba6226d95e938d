// The class layer's views and folders, changed notes and deletion stubs,
// forms, new databases from templates, servers and address books, against
// the stand-in's function library: what each answers and what it refuses.
#include <gtest/gtest.h>

#include <algorithm>
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
    "[note 3]\r\n$Title=Person\r\n$NoteClass=4\r\n$Default.Type=Person\r\n$Fields=Type\r\n$Fields=Kind\r\n"
    "$Choices.Type=Person\r\n$Choices.Type=Group\r\n$ChoicesOption.Kind=1\r\n"
    "$ChoicesFormula.Kind=\"Friend|f\" : \"Client\"\r\n"
    "[note 4]\r\n$Title=Team\r\n$NoteClass=8\r\n$Flags=F\r\n$FolderEntries=21\r\n"
    "[note 20]\r\nForm=Person\r\nFirstName=Bob\r\n"
    "[note 21]\r\nForm=Group\r\n"
    "[note 22]\r\nForm=Person\r\n$REF=20\r\n";

class LNViewsTest : public ::testing::Test {
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

TEST_F(LNViewsTest, ViewsShowTheirFormsAndFoldersTheirEntries)
{
    EXPECT_EQ((std::vector<std::string>{"20", "22r"}), Walk("$People"));
    EXPECT_EQ((std::vector<std::string>{"21"}), Walk("Team"));
    LNViewFolder view;
    m_book.GetViewFolder("$People", &view);
    LNVFEntry entry;
    EXPECT_EQ(LNERR_NOT_OPEN, view.Goto(LNVFNAVIGATE_FIRST, &entry)) << "not open";
    view.Open(0);
    EXPECT_FALSE(view.IsFolder());
    LNViewFolder team;
    m_book.GetViewFolder("Team", &team);
    team.Open(0);
    EXPECT_TRUE(team.IsFolder());
    LNViewFolder document;
    m_book.GetNote(20, &document);
    EXPECT_EQ(LNERR_NOT_OPEN, document.Open(0)) << "a document is no view";
}

// A folder takes documents; a view, which selects its own, refuses them.
TEST_F(LNViewsTest, FoldersAreCreatedOnceByNameAndTakeDocuments)
{
    LNViewFolder design, folder, again;
    m_book.GetViewFolder("$People", &design);
    EXPECT_TRUE(m_book.ViewFolderExists("team"));
    EXPECT_EQ(NOTES_ERR_NAME_EXISTS, m_book.CreateFolder("TEAM", 0, design, &again));
    EXPECT_EQ(NOTES_ERR_NOT_FOUND, m_book.CreateFolder("", 0, design, &again));
    ASSERT_EQ(0, m_book.CreateFolder("Friends", 0, design, &folder));
    EXPECT_TRUE(m_book.ViewFolderExists("Friends")) << "stored at once";
    LNNoteArray views;
    ASSERT_EQ(0, m_book.GetViewFolders(&views));
    ASSERT_EQ(3u, views.GetCount());
    EXPECT_EQ(folder.GetNoteID(), views[2]);
    LNDocument bob;
    m_book.GetDocument(20, &bob);
    ASSERT_EQ(0, bob.Open());
    EXPECT_EQ(0, folder.FolderAddDocument(bob));
    LNViewFolder people;
    m_book.GetViewFolder("$People", &people);
    people.Open(0);
    EXPECT_EQ(NOTES_ERR_NOT_FOUND, people.FolderAddDocument(bob));
    std::vector<std::string> dumped = m_notes.Dump("book.nsf");
    const std::string id = std::to_string(folder.GetNoteID());
    auto has = [&](const std::string& line) { return std::find(dumped.begin(), dumped.end(), id + line) != dumped.end(); };
    EXPECT_TRUE(has(" $Title=Friends"));
    EXPECT_TRUE(has(" $Flags=F"));
    EXPECT_TRUE(has(" $FolderEntries=20"));
    EXPECT_FALSE(has(" $SelectForms=Person")) << "a folder selects nothing";
    EXPECT_EQ((std::vector<std::string>{"20"}), Walk("Friends"));
}

TEST_F(LNViewsTest, ChangesSinceATimeWithDeletionStubs)
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
    m_book.GetDocument(20, &gone);
    EXPECT_EQ(NOTES_ERR_NOT_FOUND, gone.Open());

    struct Row {
        int time[3];  // hour, minute, second
        WORD classes;
        std::vector<LNNOTEID> expected;
    } rows[] = {
        {{8, 59, 59}, LNNOTECLASS_DOCUMENT, {20 | LNNOTEID_DELETED, 23}},
        {{9, 0, 0}, LNNOTECLASS_DOCUMENT, {20 | LNNOTEID_DELETED, 23}},
        {{9, 0, 1}, LNNOTECLASS_DOCUMENT, {20 | LNNOTEID_DELETED}},
        {{9, 10, 1}, LNNOTECLASS_DOCUMENT, {}},
        {{8, 59, 59}, LNNOTECLASS_VIEW, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.time[0] * 10000 + row.time[1] * 100 + row.time[2]);
        LNDatetime since;
        since.SetDate(12, 8, 2026);
        ASSERT_EQ(0, since.SetTime(row.time[0], row.time[1], row.time[2], 0));
        LNNoteArray notes;
        ASSERT_EQ(0, m_book.GetModifiedNotes(since, row.classes, &notes));
        std::vector<LNNOTEID> ids;
        for (DWORD i = 0; i < notes.GetCount(); ++i)
            ids.push_back(notes[i]);
        EXPECT_EQ(row.expected, ids);
    }
    LNDatetime any;
    any.SetDateToWildCard();
    LNNoteArray all;
    ASSERT_EQ(0, m_book.GetModifiedNotes(any, NOTE_CLASS_ALL, &all));
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

TEST_F(LNViewsTest, ComputeWithFormNeedsTheForm)
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

// A form's keywords fields come from its field records: choices by formula
// are evaluated, a static list is no formula.
TEST_F(LNViewsTest, FormFieldsAndTheirChoices)
{
    LNForm form;
    ASSERT_EQ(0, m_book.GetForm("Person", &form));
    ASSERT_EQ(0, form.Open(0));
    EXPECT_TRUE(form.HasFormField("kind"));
    EXPECT_FALSE(form.HasFormField("FirstName"));
    LNKeywordsField kind, type, none;
    ASSERT_EQ(0, form.GetFormField("Kind", &kind));
    EXPECT_EQ(1, kind.GetChoicesOption());
    LNFormula formula;
    ASSERT_EQ(0, kind.GetChoicesFormula(&formula));
    LNText choices;
    ASSERT_EQ(0, formula.Evaluate(&choices));
    ASSERT_EQ(2u, choices.GetCount());
    EXPECT_STREQ("Friend|f", choices[0].GetPlatformTextPtr());
    EXPECT_STREQ("Client", choices[1].GetPlatformTextPtr());
    ASSERT_EQ(0, form.GetFormField("Type", &type));
    EXPECT_EQ(0, type.GetChoicesOption());
    EXPECT_EQ(LNERR_NOT_KEYWORDS, type.GetChoicesFormula(&formula));
    EXPECT_EQ(LNERR_NOT_KEYWORDS, form.GetFormField("FirstName", &none));
}

TEST_F(LNViewsTest, DatabaseFromTemplateTakesTheDesignOnly)
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
              m_session.CreateDatabaseFromTemplate("book.nsf", "Far/Away", "x.nsf", "", options));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(Path("x.nsf").c_str()));
}

TEST_F(LNViewsTest, ServersAndAddressBooks)
{
    NotesStandInTesting::WriteFile(Path("names.nsf"), "[note 9]\r\nForm=Connection\r\nDestination=Hub/Acme\r\n");
    CreateDirectoryA(Path("servers").c_str(), nullptr);
    CreateDirectoryA(Path("servers\\Hub_Acme").c_str(), nullptr);
    NotesStandInTesting::WriteFile(Path("servers\\Hub_Acme\\names.nsf"), "");
    LNText servers;
    ASSERT_EQ(0, m_session.GetServerNames(&servers));
    ASSERT_EQ(1u, servers.GetCount());
    EXPECT_STREQ("Hub/Acme", servers[0].GetPlatformTextPtr());

    const LNNotesFunctions& api = LNNotes();
    struct Row {
        const char* server;
        STATUS status;
        std::vector<std::string> books;
    } rows[] = {{nullptr, 0, {"names.nsf"}}, {"Hub/Acme", 0, {"names.nsf"}},
                {"Far/Away", NOTES_ERR_SERVER_NOT_RESPONDING, {}}};
    for (const Row& row : rows) {
        WORD count = 9, length = 0;
        DHANDLE memory = NULLHANDLE;
        EXPECT_EQ(row.status, api.NAMEGetAddressBooks(row.server, 0, &count, &length, &memory));
        std::vector<std::string> books;
        const char* name = memory ? static_cast<const char*>(api.OSLockObject(memory)) : nullptr;
        for (WORD i = 0; name && i < count; ++i, name += std::strlen(name) + 1)
            books.push_back(name);
        EXPECT_EQ(row.books, books);
        if (memory) {
            api.OSUnlockObject(memory);
            EXPECT_EQ(0, api.OSMemFree(memory));
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

TEST_F(LNViewsTest, NetworkPathsOpenOnTheirServer)
{
    CreateDirectoryA(Path("servers").c_str(), nullptr);
    CreateDirectoryA(Path("servers\\Hub_Acme").c_str(), nullptr);
    NotesStandInTesting::WriteFile(Path("servers\\Hub_Acme\\book.nsf"), "[note 1]\r\nForm=Far\r\n");
    EXPECT_EQ("Hub/Acme!!book.nsf", LNNetworkPath("Hub/Acme", "book.nsf"));
    EXPECT_EQ("book.nsf", LNNetworkPath("", "book.nsf"));
    LNDatabase remote;
    m_session.GetDatabase("book.nsf", &remote, "Hub/Acme");
    ASSERT_EQ(0, remote.Open());
    LNDocument note;
    ASSERT_EQ(0, remote.GetDocument(1, &note));
    LNText form;
    note.Open(0);
    note.GetItem("Form", &form);
    EXPECT_STREQ("Far", form[0].GetPlatformTextPtr());
}

}  // namespace
