// The Lotus Notes datastore against the Notes stand-in through the real
// Heron, registered on demand from the program's folder.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "GodwitDispIds.h"
#include "GodwitWrapper.h"
#include "HeronDispIds.h"
#include "NotesStandInFixture.h"
#include "OzuDatastore.h"
#include "PimTestSupport.h"
#include "QuiComTesting.h"
#include "QuiResIds.h"
#include "QuiRegUtil.h"
#include "QuiStackDispatch.h"

using pim_test::FailureOf;

namespace {

const char kMail[] =
    "[note 1]\r\n$Title=To do\r\n$NoteClass=4\r\n$Fields=Subject\r\n$Fields=Categories\r\n"
    "$ChoicesOption.Categories=1\r\n$ChoicesFormula.Categories=\"Business|biz\" : \"Personal\"\r\n"
    "[note 2]\r\n$Title=CalendarProfile\r\n$NoteClass=4\r\n$Default.Owner=CN=Ann Lee/OU=Sales/O=Acme\r\n"
    "[note 3]\r\n$ProfileName=CalendarProfile\r\nOwner=CN=Ann Lee/OU=Sales/O=Acme\r\n"
    "UserCategories=Errands\r\nCalEntryType(number)=3\r\nDefaultDuration(number)=45\r\n";

// A server in Heron's place that files by answering `answer` from a call
// that succeeds; it knows no other member.
class AnsweringServer : public QuiComTesting::StackDispatch {
public:
    explicit AnsweringServer(long answer) : m_answer(answer) {}
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override
    {
        if (id != DISPID_HERON_FILEKEYNOTE)
            return DISP_E_MEMBERNOTFOUND;
        ++calls;
        if (result) {
            VariantInit(result);
            result->vt = VT_I4;
            result->lVal = m_answer;
        }
        return S_OK;
    }
    int calls = 0;

private:
    long m_answer;
};

class OzuDatastoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(m_apartment.Result());
        NotesStandInTesting::WriteFile(m_notes.Folder() + "\\mail\\alee.nsf", kMail);
        // Registered on demand by the datastore.
        m_heron.Unregister();
        m_godwit.Unregister();
    }
    void TearDown() override
    {
        m_datastore.reset();
        CoFreeUnusedLibraries();
        m_heron.Unregister();
        m_godwit.Unregister();
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quillmate\\Heron");
    }

    COzuDatastore& Datastore()
    {
        if (!m_datastore)
            m_datastore.reset(new COzuDatastore);
        return *m_datastore;
    }

    QuiComTesting::Apartment m_apartment;
    pim_test::ResourceLibrary m_resources;
    NotesStandInTesting::Installation m_notes;
    QuiComTesting::ServerLibrary m_godwit{(QuiComTesting::ProgramFolder() + "Godwit.ocx").c_str()};
    QuiComTesting::ServerLibrary m_heron{(QuiComTesting::ProgramFolder() + "Heron.dll").c_str()};
    std::unique_ptr<COzuDatastore> m_datastore;
};

TEST_F(OzuDatastoreTest, RegistersItsServersAndLoadsCategoriesAndTheCalendarProfile)
{
    char file[MAX_PATH];
    ASSERT_FALSE(QuiRegUtil::RegisteredFile("Heron.Heron.1", file, sizeof file));
    COzuDatastore& datastore = Datastore();
    EXPECT_TRUE(QuiRegUtil::RegisteredFile("Heron.Heron.1", file, sizeof file));
    EXPECT_TRUE(QuiRegUtil::RegisteredFile("Godwit.GodwitCtrl.1", file, sizeof file));

    EXPECT_EQ(0, datastore.Connect());
    EXPECT_EQ(5, datastore.GetBackEndVersion());
    EXPECT_EQ(CDatastore::typeNotes, datastore.GetType());
    EXPECT_TRUE(datastore.LoadItems());
    EXPECT_EQ("Business|Personal|Errands", pim_test::ItemNames(datastore, PIM_TODO_CATEGORY_TYPE));
    QuiItem* errands = datastore.GetItemList()->get(QuiItemID("Errands"));
    ASSERT_NE(nullptr, errands);
    EXPECT_FALSE(errands->getDirty());
    // Contacts (feature 1) and journal folders (feature 11) stay off.
    EXPECT_EQ("", pim_test::ItemNames(datastore, PIM_CONTACT_TYPE));
    EXPECT_EQ("", pim_test::ItemNames(datastore, PIM_JOURNAL_TYPE));
    // The profile's entry type 3 is a meeting.
    EXPECT_EQ(0x800, datastore.GetDefaultEntryType());
    EXPECT_EQ(45, datastore.GetDefaultDuration());
}

TEST_F(OzuDatastoreTest, AnItemRecordControlThatFailsToRegisterStopsTheEdition)
{
    // Heron alone would still be made: the failure must not pass for a start.
    pim_test::UnregistrableServer godwit(m_godwit, "Godwit.GodwitCtrl.1");
    EXPECT_EQ(IDS_NOTES_SERVER_FAILED, FailureOf([] { COzuDatastore datastore; }).id);
}

TEST_F(OzuDatastoreTest, FeaturesAndTypeLists)
{
    COzuDatastore& datastore = Datastore();
    for (int n = 0; n <= 12; ++n)
        EXPECT_EQ(n >= 6 && n <= 10, datastore.HasFeature(n) != FALSE) << n;
    const char* const* ids = datastore.GetItemTypeIds();
    ASSERT_NE(nullptr, ids);
    EXPECT_STREQ(PIM_TODO_CATEGORY_CATEGORY, ids[0]);
    EXPECT_STREQ("", ids[5]);
    EXPECT_EQ(static_cast<UINT>(IDR_NOTE_ACCELERATORS), datastore.GetResourceId());
}

TEST_F(OzuDatastoreTest, AFailedVersionAnswerIsAskedAgain)
{
    // Build 150 is no Notes version the server knows: it answers -1.
    m_notes.SetBuild(150);
    COzuDatastore& datastore = Datastore();
    EXPECT_EQ(-1, datastore.GetBackEndVersion());
    m_notes.SetBuild(166);
    EXPECT_EQ(5, datastore.GetBackEndVersion());
    const char* const* ids = datastore.GetItemTypeIds();
    EXPECT_STREQ(PIM_TODO_CATEGORY_CATEGORY, ids[0]);
}

TEST_F(OzuDatastoreTest, NotesFourListsTheOlderTypes)
{
    m_notes.SetBuild(147);
    const char* const* ids = Datastore().GetItemTypeIds();
    EXPECT_STREQ("9D3F8900-F9BD-11d2-A0F8-00104B9522AA", ids[0]);
    EXPECT_STREQ("", ids[4]);
}

TEST_F(OzuDatastoreTest, FilesATodoRecord)
{
    COzuDatastore& datastore = Datastore();
    datastore.Connect();
    const DATE tomorrow = pim_test::Tomorrow();
    {
        CGodwitWrapper record;
        record.AddTypeBit(GODWIT_TYPE_TODO);
        record.SetBody("call the bank");
        record.SetDueDate(tomorrow);
        EXPECT_EQ(GODWIT_TYPE_TODO, record.GetType());
        EXPECT_EQ(tomorrow, record.GetDueDate());
        EXPECT_EQ(0, datastore.FileRecord(record.m_lpDispatch));
    }
    std::vector<std::string> dump = m_notes.Dump("mail\\alee.nsf");
    EXPECT_TRUE(pim_test::AnyLineHas(dump, "Form=Task"));
    EXPECT_TRUE(pim_test::AnyLineHas(dump, "call the bank"));
    EXPECT_TRUE(pim_test::AnyLineHas(dump, "DueDateTime=" + pim_test::DateText(tomorrow)));
}

TEST_F(OzuDatastoreTest, ARefusedRecordRaisesTheEditionsException)
{
    COzuDatastore& datastore = Datastore();
    datastore.Connect();
    m_notes.SetFailCalls({"NSFNoteCreate"});
    CGodwitWrapper record;
    record.AddTypeBit(GODWIT_TYPE_TODO);
    record.SetBody("call the bank");
    pim_test::Failure failure = FailureOf([&] { datastore.FileRecord(record.m_lpDispatch); });
    EXPECT_NE(-1, failure.id);
    EXPECT_NE(std::string::npos, failure.text.find("Filing Task Item")) << failure.text;
}

TEST_F(OzuDatastoreTest, AMissingRecordIsRefusedWithHeronsText)
{
    COzuDatastore& datastore = Datastore();
    datastore.Connect();
    // Heron answers a success code, 87, with its text.
    pim_test::Failure failure = FailureOf([&] { datastore.FileRecord(nullptr); });
    EXPECT_NE(-1, failure.id);
    EXPECT_EQ("Null keynote parameter passed to FileKeynote()", failure.text);
}

TEST_F(OzuDatastoreTest, ANonZeroAnswerFromTheServerIsARefusal)
{
    // Each row: what the server answers, the message id that the datastore
    // raises (-1: none, the record is filed).
    struct Row {
        long answer;
        long failure;
    } rows[] = {
        {0, -1},
        {87, IDS_RECORD_REFUSED},
        {-1, IDS_RECORD_REFUSED},
        {1, IDS_RECORD_REFUSED},
    };
    COzuDatastore& datastore = Datastore();
    CGodwitWrapper record;
    record.AddTypeBit(GODWIT_TYPE_TODO);
    record.SetBody("call the bank");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.answer);
        AnsweringServer server(row.answer);
        datastore.GetWrapper()->AttachDispatch(&server, FALSE);
        EXPECT_EQ(row.failure, FailureOf([&] { datastore.FileRecord(record.m_lpDispatch); }).id);
        EXPECT_EQ(1, server.calls);
        datastore.GetWrapper()->DetachDispatch();
    }
}

// A server that cannot be reached at all fails the whole load.
TEST_F(OzuDatastoreTest, AnUnreachableServerIsTheEditionsExceptionAndFreesTheMainWindow)
{
    CWinApp app;
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, "main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
    app.m_pMainWnd = &main;
    NotesStandInTesting::SetRegNumber(HKEY_CURRENT_USER, "Software\\Quillmate\\Heron\\Options",
                                      "WaitForNotesTimeout", 300);
    m_notes.SetFailCalls({"NotesInitExtended"});
    COzuDatastore& datastore = Datastore();
    pim_test::Failure failure = FailureOf([&] { datastore.LoadItems(); });
    EXPECT_NE(-1, failure.id);
    EXPECT_NE(std::string::npos, failure.text.find("Notes Runtime Services")) << failure.text;
    EXPECT_TRUE(main.IsWindowEnabled());
    app.m_pMainWnd = nullptr;
    main.DestroyWindow();
}

// The Notes edition with contacts on, so that an address book that cannot
// be read comes into the load.
class ContactsOzuDatastore : public COzuDatastore {
public:
    BOOL HasFeature(int n) override { return n == 1 || COzuDatastore::HasFeature(n); }
};

// Each list loads on its own: one the server cannot give leaves the others
// loaded, and the user is told once, with the server's texts, what is missing.
TEST_F(OzuDatastoreTest, AListThatCannotBeReadLeavesTheOthersLoaded)
{
    struct Row {
        const char* what;
        bool contacts;
        const char* failCall;  // null: none
        const char* categories;
        int entryType;
        std::vector<const char*> told;  // what the one message holds; empty: no message
    } rows[] = {
        {"nothing fails", false, nullptr, "Business|Personal|Errands", 0x800, {}},
        {"no address book", true, nullptr, "Business|Personal|Errands", 0x800, {"Opening Address Book"}},
        {"no categories", false, "NSFDbGetBuildVersion", "", 0x800, {"Retrieving Categories"}},
        {"neither", true, "NSFDbGetBuildVersion", "", 0x800, {"Opening Address Book", "Retrieving Categories"}},
        {"no calendar profile", false, "NSFProfileOpen", "", 0,
         {"Retrieving User Categories", "Retrieving Calendar Profile Info"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        m_notes.SetFailCalls({});
        m_datastore.reset(row.contacts ? new ContactsOzuDatastore : new COzuDatastore);
        ASSERT_EQ(0, m_datastore->Connect());
        if (row.failCall)
            m_notes.SetFailCalls({row.failCall});
        CPromptScript script;
        if (!row.told.empty())
            script.AnswerNext(IDOK);
        EXPECT_EQ(-1, FailureOf([&] { m_datastore->LoadItems(); }).id);
        EXPECT_EQ(row.categories, pim_test::ItemNames(*m_datastore, PIM_TODO_CATEGORY_TYPE));
        EXPECT_EQ(row.entryType, m_datastore->GetDefaultEntryType());
        ASSERT_EQ(row.told.empty() ? 0u : 1u, script.Asked().size());
        EXPECT_EQ(0, script.Unexpected());
        for (const char* text : row.told)
            EXPECT_NE(nullptr, std::strstr(script.Asked()[0].text, text)) << text;
        m_datastore.reset();
    }
}

TEST_F(OzuDatastoreTest, WithoutNotesTheUserIsAskedForItsFolder)
{
    NotesStandInTesting::Forget();
    SHDeleteValueA(HKEY_CURRENT_USER, "Software\\Quillmate", "Notes Path");
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    struct Row {
        const char* what;
        int answer;
        bool browses;
    } rows[] = {
        {"the user says no", IDNO, false},
        {"the folder picked holds no notes.exe", IDYES, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CPromptScript script;
        script.AnswerNext(row.answer);
        if (row.browses)
            script.AnswerNextFile(temp);
        pim_test::Failure failure = FailureOf([] { COzuDatastore datastore; });
        EXPECT_EQ(IDS_NOTES_NOT_CHOSEN, failure.id);
        ASSERT_FALSE(script.Asked().empty());
        EXPECT_EQ(static_cast<UINT>(MB_YESNO), script.Asked()[0].nType & MB_TYPEMASK);
        EXPECT_STREQ("Quillmate", script.Asked()[0].caption);
        EXPECT_EQ(0, script.Unused());
    }
}

} // namespace
