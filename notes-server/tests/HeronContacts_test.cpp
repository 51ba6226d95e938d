// Contacts through the registered server as the Notes edition reads them:
// the full list, server address books, what changed since the last read,
// new person documents, and the keys filed back into a mail memo.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GodwitDispIds.h"
#include "HeronFixture.h"
#include "HeronOptions.h"
#include "VariantArray.h"

namespace {

using QuiComTesting::Variant;

// names.nsf: the location document, the people view, the person form
// (whose default gives a new person its domain), two people, a group, a
// response to Bob.
const char kNames[] =
    "[note 8]\r\nForm=Location\r\nName=Office\r\nMailType=1\r\nMailFile=mail\\alee.nsf\r\n"
    "[note 2]\r\n$Title=$People\r\n$NoteClass=8\r\n$SelectForms=Person\r\n"
    "[note 3]\r\n$Title=Person\r\n$NoteClass=4\r\n$Default.MailDomain=Acme\r\n$Required=JobTitle\r\n"
    "[note 20]\r\nForm=Person\r\nFirstName=Bob\r\nLastName=Stone\r\nMailAddress=bob@acme.example\r\n"
    "MailAddress=bob@home.example\r\nPhoneNumber(number)=5550100\r\n"
    "[note 21]\r\nForm=Person\r\nCompanyName=Acme Ltd\r\n"
    "[note 22]\r\nForm=Group\r\nListName=Sales\r\n"
    "[note 23]\r\nForm=Person\r\nFirstName=Reply\r\n$REF=20\r\n";
// The server's book, whose note 20 is someone else than this machine's.
const char kServerNames[] =
    "[note 2]\r\n$Title=$People\r\n$NoteClass=8\r\n$SelectForms=Person\r\n"
    "[note 20]\r\nForm=Person\r\nFirstName=Carol\r\nLastName=Hill\r\nMailAddress=carol@acme.example\r\n";
const char kServer[] = "Mail01/Acme";
// A second book of this machine.
const char kTeam[] =
    "[note 2]\r\n$Title=$People\r\n$NoteClass=8\r\n$SelectForms=Person\r\n"
    "[note 40]\r\nForm=Person\r\nFirstName=Tess\r\n";
// A book whose people view is gone: nothing can be read out of it.
const char kNoPeopleView[] = "[note 20]\r\nForm=Person\r\nFirstName=Nobody\r\n";
const char kMail[] = "[note 1]\r\n$Title=Memo\r\n$NoteClass=4\r\n$Default.Body=\r\n";

// A contact line: the key, the 16 fields by name and the change kind.
std::string Line(const std::string& key, std::vector<std::pair<int, std::string>> values, const char* kind)
{
    std::vector<std::string> fields(16);
    for (const auto& value : values)
        fields[value.first] = value.second;
    std::string line = "\"" + key + "\",";
    for (const std::string& field : fields)
        line += "\"" + field + "\",";
    return line + "\"" + kind + "\",";
}

const std::string kBobLine =
    Line("Local##names.nsf##20", {{1, "Bob"}, {2, "Stone"}, {5, "bob@acme.example;bob@home.example"}}, "0");
const std::string kAcmeLine = Line("Local##names.nsf##21", {{3, "Acme Ltd"}}, "0");
const std::string kCarolLine =
    Line("Mail01/Acme##names.nsf##20", {{1, "Carol"}, {2, "Hill"}, {5, "carol@acme.example"}}, "0");

class HeronContactsTest : public HeronTest {
protected:
    void SetUp() override
    {
        HeronTest::SetUp();
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\names.nsf", kNames);
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf", kMail);
    }

    void AddServer()
    {
        std::string folder = m_notes.Folder() + "\\servers";
        CreateDirectoryA(folder.c_str(), nullptr);
        folder += "\\Mail01_Acme";
        CreateDirectoryA(folder.c_str(), nullptr);
        NotesStandInTesting::WriteFile(folder + "\\names.nsf", kServerNames);
        AppendNames("[note 30]\r\nForm=Connection\r\nDestination=Mail01/Acme\r\n");
    }
    void AppendNames(const std::string& notes)
    {
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\names.nsf", kNames + notes);
    }
    std::string NamesPath() const { return m_notes.Folder() + "\\names.nsf"; }
    std::string TeamPath() const { return m_notes.Folder() + "\\team.nsf"; }
    // Gives a person a city, changed at hh:mm:ss on 2026-12-08.
    static void ChangeCity(const std::string& book, DWORD id, const char* city, DWORD time)
    {
        std::vector<NotesNote> notes;
        ASSERT_TRUE(ReadNotesDatabase(book, &notes));
        FindNote(notes, id)->items.push_back(NotesItem{"City", {city}});
        FindNote(notes, id)->modified[0] = 20261208;
        FindNote(notes, id)->modified[1] = time;
        ASSERT_TRUE(WriteNotesDatabase(book, notes));
    }

    // The lines of an array answer, each one string.
    std::vector<std::string> Lines(DISPID id, HRESULT* hr = nullptr, bool property = false)
    {
        Variant value;
        HRESULT result = property ? Get(id, &value) : Call(id, {}, &value);
        if (hr)
            *hr = result;
        else
            EXPECT_EQ(S_OK, result) << Narrow(QuiComTesting::LastError().description);
        std::vector<std::string> lines;
        std::string all = Texts(value);
        if (result != S_OK || all.empty())
            return lines;
        for (size_t start = 0, bar;; start = bar + 1) {
            bar = all.find('|', start);
            lines.push_back(all.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
            if (bar == std::string::npos)
                break;
        }
        return lines;
    }
    std::vector<std::string> Contacts(HRESULT* hr = nullptr) { return Lines(DISPID_HERON_CONTACTS, hr, true); }
    std::vector<std::string> Modified(HRESULT* hr = nullptr) { return Lines(DISPID_HERON_GETMODIFIEDCONTACTS, hr); }
    HRESULT Create(const wchar_t* line)
    {
        Variant text(line);
        return Call(DISPID_HERON_CREATECONTACT, {&text});
    }
    std::string Error() { return Narrow(QuiComTesting::LastError().description); }
    static void SetServerContacts(DWORD on)
    {
        NotesStandInTesting::SetRegNumber(HKEY_CURRENT_USER, HERON_OPTIONS_KEY, "GetServerContacts", on);
    }

    // Files a mail memo to the key; the address it went to.
    std::string MailTo(const std::string& key)
    {
        QuiComTesting::Ptr<IDispatch> record = NewGodwitRecord();
        EXPECT_EQ(S_OK, QuiComTesting::PutProperty(record.Get(), DISPID_GODWIT_TYPE, Variant(0x10L)));
        EXPECT_EQ(S_OK, QuiComTesting::PutProperty(record.Get(), DISPID_GODWIT_BODY, Variant(L"Hello")));
        Variant recipients;
        QuiMakeStringArray(&recipients);
        QuiAppendAnsiString(&recipients, key.c_str());
        EXPECT_EQ(S_OK, QuiComTesting::PutProperty(record.Get(), DISPID_GODWIT_RECIPIENTS, recipients));
        Variant argument;
        argument.vt = VT_DISPATCH;
        argument.pdispVal = record.Get();
        record->AddRef();
        EXPECT_EQ(S_OK, Call(DISPID_HERON_FILEKEYNOTE, {&argument})) << Error();
        std::string sent;
        for (const std::string& dumped : m_notes.Dump("mail.box")) {
            if (dumped.find(" SendTo=") != std::string::npos)
                sent = dumped.substr(dumped.find('=') + 1);
        }
        DeleteFileA((m_notes.Folder() + "\\mail.box").c_str());
        return sent;
    }
    // The key of a contact line.
    static std::string KeyOf(const std::string& line) { return line.substr(1, line.find("\",") - 1); }
    size_t NoteCount() const
    {
        std::vector<NotesNote> notes;
        ReadNotesDatabase(NamesPath(), &notes);
        return notes.size();
    }
};

TEST_F(HeronContactsTest, ContactsOfThePeopleViewWithKeysThatFileAMemo)
{
    ASSERT_EQ(S_OK, Connect());
    std::vector<std::string> lines = Contacts();
    // The group is no person, the response no main topic.
    EXPECT_EQ((std::vector<std::string>{kBobLine, kAcmeLine}), lines);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("bob@acme.example;bob@home.example", MailTo(KeyOf(lines[0])));
}

TEST_F(HeronContactsTest, LongAndQuotedValues)
{
    AppendNames("[note 24]\r\nForm=Person\r\nFirstName=Al \"Big\"\r\nCompanyName=" + std::string(300, 'c') + "\r\n");
    ASSERT_EQ(S_OK, Connect());
    std::vector<std::string> lines = Contacts();
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(Line("Local##names.nsf##24", {{1, "Al \"\"Big\"\""}, {3, std::string(255, 'c')}}, "0"), lines[2]);
}

// The options are read when the module loads: each test sets them first.
TEST_F(HeronContactsTest, ServerAddressBooksOnlyWithTheOption)
{
    AddServer();
    SetServerContacts(0);
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ((std::vector<std::string>{kBobLine, kAcmeLine}), Contacts());
}

TEST_F(HeronContactsTest, ServerAddressBooksWithTheOption)
{
    AddServer();
    SetServerContacts(1);
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ((std::vector<std::string>{kBobLine, kAcmeLine, kCarolLine}), Contacts());
    // Carol's address comes from the server's book, not from the note of
    // the same id in this machine's book of the same name.
    EXPECT_EQ("carol@acme.example", MailTo(KeyOf(kCarolLine)));
}

TEST_F(HeronContactsTest, ContactsFailWhenNothingCanBeRead)
{
    m_notes.SetIni({{"Location", "Office,1234,5678"}, {"KeyFileName", "user.id"}, {"MailFile", "mail\\alee.nsf"},
                    {"MailServer", ""}, {"NAMES", ""}});
    ASSERT_EQ(S_OK, Connect());
    HRESULT hr = S_OK;
    EXPECT_TRUE(Contacts(&hr).empty());
    EXPECT_EQ(DISP_E_EXCEPTION, hr);
    EXPECT_EQ("No Address Books Found\r\nError: -7 No addressbooks were found", Error());
}

// The server read counts only when it read a server book; the list fails
// only when neither this machine's books nor the servers' could be read.
TEST_F(HeronContactsTest, ServerContactsSucceedOnlyWhenABookWasRead)
{
    const char kNotResponding[] = "";
    struct Row {
        bool localReadable;
        const char* serverBook;  // kNotResponding: no such server folder
        HRESULT hr;
        std::vector<std::string> lines;
    } rows[] = {
        {false, kNotResponding, DISP_E_EXCEPTION, {}},
        {false, kNoPeopleView, DISP_E_EXCEPTION, {}},
        {false, kServerNames, S_OK, {kCarolLine}},
        {true, kNotResponding, S_OK, {kBobLine, kAcmeLine}},
        {true, kNoPeopleView, S_OK, {kBobLine, kAcmeLine}},
    };
    AddServer();
    SetServerContacts(1);
    ASSERT_EQ(S_OK, Connect());
    const std::string serverFolder = m_notes.Folder() + "\\servers\\Mail01_Acme";
    const std::string connection = "[note 30]\r\nForm=Connection\r\nDestination=Mail01/Acme\r\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.localReadable ? "local book, " : "no local book, ") +
                     (row.serverBook == kNotResponding ? "server not responding"
                      : row.serverBook == kNoPeopleView ? "no server book" : "server book"));
        // Without its people view this machine's book still names the server.
        if (row.localReadable)
            AppendNames(connection);
        else
            NotesStandInTesting::WriteFile(NamesPath(), kNoPeopleView + connection);
        QuiTesting::RemoveFolder(serverFolder);
        if (row.serverBook != kNotResponding) {
            CreateDirectoryA(serverFolder.c_str(), nullptr);
            NotesStandInTesting::WriteFile(serverFolder + "\\names.nsf", row.serverBook);
        }
        HRESULT hr = S_OK;
        EXPECT_EQ(row.lines, Contacts(&hr));
        EXPECT_EQ(row.hr, hr) << Error();
    }
}

TEST_F(HeronContactsTest, ReadingRecordsNoErrorForTheKeyAndKindFields)
{
    NotesStandInTesting::WriteFile(
        NamesPath(),
        "[note 2]\r\n$Title=$People\r\n$NoteClass=8\r\n$SelectForms=Person\r\n"
        "[note 20]\r\nForm=Person\r\nFirstName=A\r\nLastName=B\r\nCompanyName=C\r\nPhoneNumber=1\r\nMailAddress=m\r\n"
        "StreetAddress=s\r\nCity=c\r\nState=t\r\nCountry=y\r\nWebSite=w\r\nFullName=f\r\nShortName=n\r\n"
        "MiddleInitial=i\r\nOfficePhoneNumber=o\r\n");
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ(1u, Contacts().size());
    // The always-failing member shows the worker's last error: there is none.
    Variant ignored;
    EXPECT_EQ(DISP_E_EXCEPTION, Call(DISPID_HERON_GETMODIFIEDTODOCATEGORIES, {}, &ignored));
    EXPECT_FALSE(QuiComTesting::LastError().present) << Error();
}

TEST_F(HeronContactsTest, NavigationFailureEndsTheWalk)
{
    m_notes.SetFailCalls({"NIFReadEntries:2"});
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ((std::vector<std::string>{kBobLine}), Contacts());
}

TEST_F(HeronContactsTest, CreatedSeenAsNewThenDeleted)
{
    m_notes.SetClock("20261208-090000");
    ASSERT_EQ(S_OK, Connect());
    // Before any read the modified read is the full list.
    EXPECT_EQ((std::vector<std::string>{kBobLine, kAcmeLine}), Modified());
    EXPECT_TRUE(Modified().empty());
    m_notes.SetClock("20261208-090100");

    ASSERT_EQ(S_OK, Create(L"\"\",\"Dana\",\"Ross\",\"\",\"\",\"dana@acme.example\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
                           L"\"\",\"\",\"\","))
        << Error();
    std::vector<NotesNote> notes;
    ASSERT_TRUE(ReadNotesDatabase(NamesPath(), &notes));
    const NotesNote& dana = notes.back();
    EXPECT_EQ("Person", dana.Text("Form"));
    EXPECT_EQ("Person", dana.Text("Type"));
    EXPECT_EQ("Dana Ross", dana.Text("FullName"));
    EXPECT_EQ("Acme", dana.Text("MailDomain")) << "computed with the person form";
    EXPECT_NE(0u, dana.created[0]);
    const std::string key = "Local##names.nsf##" + std::to_string(dana.id);

    // A view and a group changed too: neither is a contact.
    for (NotesNote& note : notes) {
        if (note.id == 2 || note.id == 22)
            NotesNow(note.modified);
    }
    ASSERT_TRUE(WriteNotesDatabase(NamesPath(), notes));
    EXPECT_EQ((std::vector<std::string>{Line(key, {{1, "Dana"}, {2, "Ross"}, {5, "dana@acme.example"}, {11, "Dana Ross"}},
                                             "8")}),
              Modified());
    EXPECT_EQ("dana@acme.example", MailTo(key));

    m_notes.SetClock("20261208-090200");
    ASSERT_TRUE(DeleteNotesNote(NamesPath(), dana.id));
    m_notes.SetClock("20261208-090300");
    EXPECT_EQ((std::vector<std::string>{Line(key, {}, "2")}), Modified());
    EXPECT_TRUE(Modified().empty());
}

TEST_F(HeronContactsTest, ChangesMadeDuringAReadComeWithTheNext)
{
    m_notes.SetClock("20261208-093000");
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ(2u, Contacts().size());
    // The next read takes a minute: it starts at 9:30 and ends at 9:31.
    m_notes.SetTickCalls({"NSFDbGetModifiedNoteTable"});
    EXPECT_TRUE(Modified().empty());
    m_notes.SetTickCalls({});
    // Acme changed at 9:30:30, while that read ran.
    std::vector<NotesNote> notes;
    ASSERT_TRUE(ReadNotesDatabase(NamesPath(), &notes));
    FindNote(notes, 21)->items.push_back(NotesItem{"City", {"Leeds"}});
    FindNote(notes, 21)->modified[0] = 20261208;
    FindNote(notes, 21)->modified[1] = 93030;
    ASSERT_TRUE(WriteNotesDatabase(NamesPath(), notes));
    EXPECT_EQ((std::vector<std::string>{Line("Local##names.nsf##21", {{3, "Acme Ltd"}, {7, "Leeds"}}, "4")}),
              Modified());
}

// Changes of a book that could not be opened come with the next read that
// opens it; the other books' changes come at once, and again then.
TEST_F(HeronContactsTest, ABookThatCannotBeOpenedKeepsItsChangesForALaterRead)
{
    m_notes.SetIni({{"Location", "Office,1234,5678"}, {"KeyFileName", "user.id"}, {"MailFile", "mail\\alee.nsf"},
                    {"MailServer", ""}, {"NAMES", "names.nsf, team.nsf"}});
    NotesStandInTesting::WriteFile(TeamPath(), kTeam);
    m_notes.SetClock("20261208-090000");
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ(3u, Contacts().size());
    ChangeCity(NamesPath(), 21, "Leeds", 90030);
    ChangeCity(TeamPath(), 40, "York", 90030);
    const std::string acme = Line("Local##names.nsf##21", {{3, "Acme Ltd"}, {7, "Leeds"}}, "4");
    const std::string tess = Line("Local##team.nsf##40", {{1, "Tess"}, {7, "York"}}, "4");

    const std::string away = TeamPath() + ".away";
    ASSERT_TRUE(MoveFileA(TeamPath().c_str(), away.c_str()));
    m_notes.SetClock("20261208-090100");
    EXPECT_EQ((std::vector<std::string>{acme}), Modified());
    ASSERT_TRUE(MoveFileA(away.c_str(), TeamPath().c_str()));
    m_notes.SetClock("20261208-090200");
    EXPECT_EQ((std::vector<std::string>{acme, tess}), Modified());
    EXPECT_TRUE(Modified().empty()) << "a complete read moves the time on";
}

TEST_F(HeronContactsTest, ModificationsThatCannotBeReadComeWithALaterRead)
{
    m_notes.SetClock("20261208-090000");
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ(2u, Contacts().size());
    ChangeCity(NamesPath(), 21, "Leeds", 90030);
    m_notes.SetFailCalls({"NSFDbGetModifiedNoteTable"});
    m_notes.SetClock("20261208-090100");
    HRESULT hr = S_OK;
    EXPECT_TRUE(Modified(&hr).empty());
    EXPECT_EQ(DISP_E_EXCEPTION, hr) << "no book could be read";
    EXPECT_EQ("Retrieving Modified Contacts\r\nError: -31 Unable to get modified records", Error());
    m_notes.SetFailCalls({});
    m_notes.SetClock("20261208-090200");
    EXPECT_EQ((std::vector<std::string>{Line("Local##names.nsf##21", {{3, "Acme Ltd"}, {7, "Leeds"}}, "4")}),
              Modified());
}

TEST_F(HeronContactsTest, ChangedContactIsKindFour)
{
    m_notes.SetClock("20261208-090000");
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ(2u, Contacts().size());
    m_notes.SetClock("20261208-090100");
    std::vector<NotesNote> notes;
    ASSERT_TRUE(ReadNotesDatabase(NamesPath(), &notes));
    FindNote(notes, 21)->items.push_back(NotesItem{"City", {"Leeds"}});
    NotesNow(FindNote(notes, 21)->modified);
    ASSERT_TRUE(WriteNotesDatabase(NamesPath(), notes));
    EXPECT_EQ((std::vector<std::string>{Line("Local##names.nsf##21", {{3, "Acme Ltd"}, {7, "Leeds"}}, "4")}),
              Modified());
}

TEST_F(HeronContactsTest, CreateContactLines)
{
    struct Row {
        const wchar_t* line;
        const char* fullName;  // null: refused
        std::vector<std::pair<const char*, const char*>> items;
    } rows[] = {
        {L"\"\",\"\",\"\",\"Acme Ltd\",", "Acme Ltd", {{"CompanyName", "Acme Ltd"}}},
        {L"\"k\",\"Eve\",\"Lane\"", "Eve Lane", {{"FirstName", "Eve"}, {"LastName", "Lane"}}},
        // More fields than a contact line has: the extra ones are not used.
        {L"\"\",\"Fay\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"x\",\"y\",\"z\",\"1\","
         L"\"2\",\"3\",\"4\",\"5\",\"6\",",
         "Fay ",
         {{"FirstName", "Fay"}}},
        // Kept in Notes's own character set, read back as typed.
        {L"\"\",\"Zo\u00eb\",\"M\u00fcller\",\"Caf\u00e9 \u20ac\",", "Zo\xEB M\xFCller",
         {{"FirstName", "Zo\xEB"}, {"LastName", "M\xFCller"}, {"CompanyName", "Caf\xE9 \x80"}}},
        // No name and no company: a contact all the same, with the blank name.
        {L"\"\",\"\",\"\",\"\",\"555\",", " ", {{"PhoneNumber", "555"}}},
        {L"\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"0170 55\",",
         " ",
         {{"OfficePhoneNumber", "0170 55"}}},
        {L"", nullptr, {}},
        {L"\"\",\"\",\"\",\"\",\"\",", nullptr, {}},
        // The key and the change kind are no part of a contact.
        {L"\"Local##names.nsf##7\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"8\",",
         nullptr,
         {}},
    };
    ASSERT_EQ(S_OK, Connect());
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.line));
        const size_t before = NoteCount();
        HRESULT hr = Create(row.line);
        if (!row.fullName) {
            EXPECT_EQ(DISP_E_EXCEPTION, hr);
            EXPECT_EQ("Creating Contact\r\nError: -19 Contact information not found", Error());
            EXPECT_EQ(before, NoteCount());
            continue;
        }
        ASSERT_EQ(S_OK, hr) << Error();
        std::vector<NotesNote> notes;
        ASSERT_TRUE(ReadNotesDatabase(NamesPath(), &notes));
        ASSERT_EQ(before + 1, notes.size());
        EXPECT_EQ(row.fullName, NotesNativeOfLmbcs(notes.back().Text("FullName")));
        bool phone = false;
        for (const auto& item : row.items) {
            EXPECT_EQ(item.second, NotesNativeOfLmbcs(notes.back().Text(item.first))) << item.first;
            phone = phone || std::string(item.first) == "PhoneNumber";
        }
        if (!phone) {
            EXPECT_EQ(nullptr, notes.back().Find("PhoneNumber"));
        }
    }
}

TEST_F(HeronContactsTest, CreateContactWithoutThePersonFormLeavesNothing)
{
    NotesStandInTesting::WriteFile(NamesPath(), "[note 2]\r\n$Title=$People\r\n$NoteClass=8\r\n");
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ(DISP_E_EXCEPTION, Create(L"\"\",\"Gil\",\"Ford\","));
    EXPECT_EQ("Creating Contact\r\nError: 1283 Cannot locate the form", Error());
    EXPECT_EQ(1u, NoteCount()) << "nothing saved on the way";
}

}  // namespace
