// Servers, the journal database and folders through the registered server.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HeronFixture.h"

namespace {

using QuiComTesting::Variant;

// The journal's template: the view new folders copy, a folder with a
// subfolder, a view, and a document that a new journal does not get.
const char kTemplate[] =
    "[note 2]\r\n$Title=$All\r\n$NoteClass=8\r\n$Columns=Subject\r\n"
    "[note 3]\r\n$Title=Archive\r\n$NoteClass=8\r\n$Flags=F\r\n"
    "[note 4]\r\n$Title=Archive\\2025\r\n$NoteClass=8\r\n$Flags=F\r\n"
    "[note 5]\r\n$Title=By Date\r\n$NoteClass=8\r\n"
    "[note 6]\r\nForm=Journal\r\nSubject=Sample\r\n";

std::string Folder(int id, const std::string& name, const char* kind, const char* database = "journal.nsf")
{
    return "\"Local##" + std::string(database) + "##" + std::to_string(id) + "\",\"" + name + "\",\"" + kind + "\",";
}

class HeronFoldersTest : public HeronTest {
protected:
    std::string Path(const char* database) const { return m_notes.Folder() + "\\" + database; }
    void Write(const char* database, const std::string& text)
    {
        NotesStandInTesting::WriteFile(Path(database), text);
    }
    void AddServer(const char* folder)
    {
        CreateDirectoryA((m_notes.Folder() + "\\servers").c_str(), nullptr);
        CreateDirectoryA((m_notes.Folder() + "\\servers\\" + folder).c_str(), nullptr);
        CreateDirectoryA((m_notes.Folder() + "\\servers\\" + folder + "\\mail").c_str(), nullptr);
    }

    static std::vector<std::string> Split(const std::string& all)
    {
        std::vector<std::string> lines;
        for (size_t start = 0, bar; !all.empty(); start = bar + 1) {
            bar = all.find('|', start);
            lines.push_back(all.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
            if (bar == std::string::npos)
                break;
        }
        return lines;
    }
    std::vector<std::string> Property(DISPID id, HRESULT* hr = nullptr)
    {
        Variant value;
        HRESULT result = Get(id, &value);
        if (hr)
            *hr = result;
        else
            EXPECT_EQ(S_OK, result) << Error();
        return result == S_OK ? Split(Texts(value)) : std::vector<std::string>();
    }
    std::vector<std::string> Journal(HRESULT* hr = nullptr) { return Property(DISPID_HERON_JOURNALCATEGORIES, hr); }
    std::vector<std::string> ModifiedJournal()
    {
        Variant value;
        EXPECT_EQ(S_OK, Call(DISPID_HERON_GETMODIFIEDJOURNALCATEGORIES, {}, &value)) << Error();
        return Split(Texts(value));
    }
    std::vector<std::string> ModifiedIn(const wchar_t* database)
    {
        Variant name(database);
        Variant value;
        EXPECT_EQ(S_OK, Call(DISPID_HERON_GETMODIFIEDDATABASEFOLDERS, {&name}, &value)) << Error();
        return Split(Texts(value));
    }
    HRESULT CreateFolder(const wchar_t* name)
    {
        Variant text(name);
        return Call(DISPID_HERON_CREATEJOURNALFOLDER, {&text});
    }
    std::string Error() { return Narrow(QuiComTesting::LastError().description); }
};

TEST_F(HeronFoldersTest, ServersListed)
{
    m_notes.SetIni({{"Location", "Office,1234,5678"}, {"KeyFileName", "user.id"}, {"MailFile", "mail\\alee.nsf"},
                    {"MailServer", "Mail01/Acme"}});
    Write("names.nsf",
          "[note 8]\r\nForm=Location\r\nName=Office\r\nMailType=1\r\nMailFile=mail\\alee.nsf\r\n"
          "[note 9]\r\nForm=Connection\r\nDestination=Hub/Acme\r\n"
          "[note 10]\r\nForm=Connection\r\nDestination=mail01/acme\r\n"
          "[note 11]\r\nForm=Person\r\nDestination=Not/AServer\r\n");
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ((std::vector<std::string>{"Mail01/Acme", "Hub/Acme"}), Property(DISPID_HERON_SERVERS));
}

TEST_F(HeronFoldersTest, ServersFailWhenTheListCannotBeHad)
{
    m_notes.SetFailCalls({"NSGetServerList"});
    ASSERT_EQ(S_OK, Connect());
    HRESULT hr = S_OK;
    EXPECT_TRUE(Property(DISPID_HERON_SERVERS, &hr).empty());
    EXPECT_EQ(DISP_E_EXCEPTION, hr);
    EXPECT_EQ("Unable to find servers\r\nError: -38 Unable to find servers", Error());
}

TEST_F(HeronFoldersTest, NewJournalFromTheTemplateGetsTheDefaultFoldersOnce)
{
    Write("journal4.ntf", kTemplate);
    ASSERT_EQ(S_OK, Connect());
    const std::vector<std::string> first = {Folder(3, "Archive", "0"), Folder(6, "Business", "0"),
                                            Folder(7, "Personal", "0"), Folder(8, "Someday Maybe", "0")};
    EXPECT_EQ(first, Journal());
    std::vector<NotesNote> notes;
    ASSERT_TRUE(ReadNotesDatabase(Path("journal.nsf"), &notes));
    EXPECT_EQ(7u, notes.size()) << "the template's design and three folders, no document";
    const NotesNote* business = FindNote(notes, 6);
    ASSERT_NE(nullptr, business);
    EXPECT_EQ("F", business->Text("$Flags"));
    EXPECT_EQ("Subject", business->Text("$Columns")) << "the design of $All";

    // The user deleted a default folder: it stays deleted.
    ASSERT_TRUE(DeleteNotesNote(Path("journal.nsf"), 7));
    EXPECT_EQ((std::vector<std::string>{first[0], first[1], first[3]}), Journal());
}

TEST_F(HeronFoldersTest, TemplateFromTheMailServer)
{
    AddServer("Mail01_Acme");
    NotesStandInTesting::WriteFile(m_notes.Folder() + "\\servers\\Mail01_Acme\\journal4.ntf", kTemplate);
    NotesStandInTesting::WriteFile(m_notes.Folder() + "\\servers\\Mail01_Acme\\mail\\alee.nsf", "[note 1]\r\nForm=Memo\r\n");
    m_notes.SetLocation({{"MailType", "0"}, {"MailFile", "mail\\alee.nsf"}, {"MailServer", "Mail01/Acme"}});
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ(4u, Journal().size());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(Path("journal.nsf").c_str())) << "made on this machine";
}

TEST_F(HeronFoldersTest, NoTemplateAnywhere)
{
    ASSERT_EQ(S_OK, Connect());
    HRESULT hr = S_OK;
    Journal(&hr);
    EXPECT_EQ(DISP_E_EXCEPTION, hr);
    EXPECT_EQ("Creating Journal Database\r\nError: 259 File does not exist", Error());
}

TEST_F(HeronFoldersTest, FolderCreatedIsReportedAsModified)
{
    Write("journal.nsf", kTemplate);
    m_notes.SetClock("20261208-090000");
    ASSERT_EQ(S_OK, Connect());
    // The first modified read is the full list, subfolders included.
    const std::vector<std::string> full = {Folder(3, "Archive", "0"), Folder(4, "Archive\\2025", "0")};
    EXPECT_EQ(full, ModifiedJournal());
    EXPECT_EQ((std::vector<std::string>{Folder(3, "Archive", "0")}), Journal());

    m_notes.SetClock("20261208-090100");
    EXPECT_EQ(S_OK, CreateFolder(L"Travel")) << Error();
    m_notes.SetClock("20261208-090200");
    EXPECT_EQ((std::vector<std::string>{Folder(7, "Travel", "8")}), ModifiedJournal());

    ASSERT_TRUE(DeleteNotesNote(Path("journal.nsf"), 4));
    std::vector<NotesNote> notes;
    ASSERT_TRUE(ReadNotesDatabase(Path("journal.nsf"), &notes));
    FindNote(notes, 3)->items.push_back(NotesItem{"$Comment", {"renamed"}});
    NotesNow(FindNote(notes, 3)->modified);
    ASSERT_TRUE(WriteNotesDatabase(Path("journal.nsf"), notes));
    m_notes.SetClock("20261208-090300");
    EXPECT_EQ((std::vector<std::string>{Folder(3, "Archive", "4"), Folder(4, "", "2")}), ModifiedJournal());
    EXPECT_TRUE(ModifiedJournal().empty());
}

TEST_F(HeronFoldersTest, ExistingFolderOrViewIsLeftAlone)
{
    Write("journal.nsf", kTemplate);
    ASSERT_EQ(S_OK, Connect());
    std::vector<std::string> before = m_notes.Dump("journal.nsf");
    for (const wchar_t* name : {L"Archive", L"archive", L"By Date"}) {
        EXPECT_EQ(S_OK, CreateFolder(name)) << Narrow(name);
        EXPECT_EQ(before, m_notes.Dump("journal.nsf"));
    }
    EXPECT_EQ(DISP_E_EXCEPTION, CreateFolder(L""));
}

TEST_F(HeronFoldersTest, ModifiedFoldersOfAnyDatabase)
{
    Write("projects.nsf", "[note 2]\r\n$Title=$All\r\n$NoteClass=8\r\n[note 5]\r\n$Title=Q1\r\n$NoteClass=8\r\n$Flags=F\r\n");
    m_notes.SetClock("20261208-090000");
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ((std::vector<std::string>{Folder(5, "Q1", "0", "projects.nsf")}), ModifiedIn(L"projects.nsf"));
    m_notes.SetClock("20261208-090100");
    EXPECT_TRUE(ModifiedIn(L"projects.nsf").empty());
    Variant name(L"missing.nsf");
    Variant value;
    EXPECT_EQ(DISP_E_EXCEPTION, Call(DISPID_HERON_GETMODIFIEDDATABASEFOLDERS, {&name}, &value));
    EXPECT_EQ("Retrieving Database Folders\r\nError: 259 File does not exist", Error());
}

TEST_F(HeronFoldersTest, EveryMemberBeforeConnectIsNotConnected)
{
    Variant text(L"x");
    Variant value;
    struct Row {
        DISPID id;
        std::vector<const VARIANT*> args;
    } rows[] = {{DISPID_HERON_CREATEJOURNALFOLDER, {&text}},
                {DISPID_HERON_GETMODIFIEDDATABASEFOLDERS, {&text}},
                {DISPID_HERON_CREATECONTACT, {&text}},
                {DISPID_HERON_GETMODIFIEDCONTACTS, {}},
                {DISPID_HERON_GETMODIFIEDJOURNALCATEGORIES, {}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        HRESULT hr = row.args.empty() ? Call(row.id, {}, &value) : Call(row.id, {row.args[0]}, &value);
        EXPECT_EQ(DISP_E_EXCEPTION, hr);
        EXPECT_EQ("Not Connected to Lotus Notes.", Error());
    }
    for (DISPID id : {DISPID_HERON_CONTACTS, DISPID_HERON_JOURNALCATEGORIES, DISPID_HERON_SERVERS}) {
        EXPECT_EQ(DISP_E_EXCEPTION, Get(id, &value)) << id;
        EXPECT_EQ("Not Connected to Lotus Notes.", Error());
    }
}

}  // namespace
