// The Outlook datastore against the Outlook stand-in through the real
// Plover, registered at every start for the installed Outlook's version.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GodwitDispIds.h"
#include "GodwitWrapper.h"
#include "OutlookStandInFixture.h"
#include "PimTestSupport.h"
#include "QuiComTesting.h"
#include "QuiRegUtil.h"
#include "QuiResIds.h"
#include "RukDatastore.h"

using OutlookStandInTesting::Build;
using pim_test::FailureOf;

namespace {

class RukDatastoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(m_apartment.Result());
        m_plover.Unregister();
        m_godwit.Unregister();
        // Outlook 9.0 keeps its categories in the 9.0 key's "MasterList", 8.5
        // in the 8.0 key's default value.
        OutlookStandInTesting::SetText(HKEY_CURRENT_USER, OutlookStandInTesting::kCategoryKeys[0], "MasterList",
                                       "Business;Calls;");
        OutlookStandInTesting::SetText(HKEY_CURRENT_USER, OutlookStandInTesting::kCategoryKeys[1], "",
                                       "Business;Calls;");
    }
    void TearDown() override
    {
        m_datastore.reset();
        CoFreeUnusedLibraries();
        m_plover.Unregister();
        m_godwit.Unregister();
    }

    CRukDatastore& Datastore()
    {
        if (!m_datastore)
            m_datastore.reset(new CRukDatastore);
        return *m_datastore;
    }
    // The filed records' first lines ("task saved", ...), the logons left out.
    std::vector<std::string> Filed() const
    {
        std::vector<std::string> filed;
        for (size_t n = 1; n <= m_outlook.RecordCount(); ++n) {
            std::vector<std::string> lines = m_outlook.Record(static_cast<int>(n));
            if (!lines.empty() && lines[0].compare(0, 6, "logon ") != 0)
                filed.push_back(lines[0].substr(0, lines[0].find(' ', lines[0].find(' ') + 1)));
        }
        return filed;
    }

    QuiComTesting::Apartment m_apartment;
    pim_test::ResourceLibrary m_resources;
    OutlookStandInTesting::Installation m_outlook{Build::Outlook90};
    QuiComTesting::ServerLibrary m_godwit{(QuiComTesting::ProgramFolder() + "Godwit.ocx").c_str()};
    QuiComTesting::ServerLibrary m_plover{(QuiComTesting::ProgramFolder() + "Plover.dll").c_str()};
    std::unique_ptr<CRukDatastore> m_datastore;
};

TEST_F(RukDatastoreTest, RegistersThePloverOfTheOutlookVersionAndLoadsCategories)
{
    for (Build build : {Build::Outlook90, Build::Outlook85}) {
        SCOPED_TRACE(build == Build::Outlook90 ? "9.0" : "8.5");
        m_datastore.reset();
        m_plover.Unregister();
        m_outlook.SetProgram(build);
        CRukDatastore& datastore = Datastore();
        EXPECT_STREQ("Plover.dll", datastore.GetServerFile());
        char file[MAX_PATH];
        ASSERT_TRUE(QuiRegUtil::RegisteredFile("Quillmate.Plover.1", file, sizeof file));
        EXPECT_EQ(0, lstrcmpiA((QuiComTesting::ProgramFolder() + "Plover.dll").c_str(), file)) << file;
        EXPECT_TRUE(datastore.Connect());
        EXPECT_TRUE(datastore.LoadItems());
        EXPECT_EQ("Business|Calls", pim_test::ItemNames(datastore, PIM_TODO_CATEGORY_TYPE));
        EXPECT_NE(nullptr, datastore.GetItemList()->get(QuiItemID("Calls")));
        // Journal folders are a type, never loaded; contacts are no type.
        EXPECT_EQ("", pim_test::ItemNames(datastore, PIM_JOURNAL_TYPE));
        EXPECT_EQ("<no type>", pim_test::ItemNames(datastore, PIM_CONTACT_TYPE));
    }
}

TEST_F(RukDatastoreTest, AnItemRecordControlThatFailsToRegisterStopsTheEdition)
{
    // Plover alone would still be made: the failure must not pass for a start.
    pim_test::UnregistrableServer godwit(m_godwit, "Godwit.GodwitCtrl.1");
    EXPECT_EQ(IDS_OUTLOOK_SERVER_FAILED, FailureOf([] { CRukDatastore datastore; }).id);
}

TEST_F(RukDatastoreTest, Answers)
{
    CRukDatastore& datastore = Datastore();
    EXPECT_EQ(3, datastore.GetBackEndVersion());
    EXPECT_EQ(CRukDatastore::DEFAULT_DURATION, datastore.GetDefaultDuration());
    EXPECT_EQ(CDatastore::typeOutlook, datastore.GetType());
    EXPECT_EQ(static_cast<UINT>(IDR_OUTLOOK_ACCELERATORS), datastore.GetResourceId());
    CStringArray folders;
    folders.Add("kept");
    EXPECT_FALSE(datastore.GetFolderList(folders));
    EXPECT_EQ(1, folders.GetSize());
    EXPECT_TRUE(datastore.HasFeature(8));
    EXPECT_FALSE(datastore.HasFeature(1));
}

TEST_F(RukDatastoreTest, TheOutlookPathAsTheRegistryHoldsIt)
{
    // Each row: how App Paths names OUTLOOK.EXE, and whether the datastore starts.
    const std::string path = OutlookStandInTesting::ProgramPath(Build::Outlook90);
    struct Row {
        const char* what;
        std::string data;
        long failure;
    } rows[] = {
        {"plain", path + '\0', -1},
        {"quoted", "\"" + path + "\"" + '\0', -1},
        {"without a terminator", path, -1},
        {"a program without version information", OutlookStandInTesting::ProgramPath(Build::Unversioned) + '\0',
         IDS_OUTLOOK_NOT_FOUND},
        {"empty", std::string(1, '\0'), IDS_OUTLOOK_NOT_FOUND},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        m_outlook.SetProgram(Build::None);
        OutlookStandInTesting::SetValue(HKEY_LOCAL_MACHINE, OutlookStandInTesting::kAppPathKey, "", REG_SZ,
                                        row.data.data(), static_cast<DWORD>(row.data.size()));
        EXPECT_EQ(row.failure, FailureOf([] { CRukDatastore datastore; }).id);
    }
    m_outlook.SetProgram(Build::None);
    EXPECT_EQ(IDS_OUTLOOK_NOT_FOUND, FailureOf([] { CRukDatastore datastore; }).id);
}

TEST_F(RukDatastoreTest, FilesATodoAndRefusesWhatOutlookDidNotSave)
{
    CRukDatastore& datastore = Datastore();
    ASSERT_TRUE(datastore.Connect());
    {
        CGodwitWrapper record;
        record.AddTypeBit(GODWIT_TYPE_TODO);
        record.SetBody("call the bank");
        record.SetDueDate(pim_test::Tomorrow());
        EXPECT_EQ(0, datastore.FileRecord(record.m_lpDispatch));
    }
    EXPECT_EQ(std::vector<std::string>{"task saved"}, Filed());
    // Plover answers a failed save with a success code and its text.
    m_outlook.SetFailCalls({"_TaskItem.Save"});
    CGodwitWrapper record;
    record.AddTypeBit(GODWIT_TYPE_TODO);
    record.SetBody("pay the rent");
    pim_test::Failure failure = FailureOf([&] { datastore.FileRecord(record.m_lpDispatch); });
    EXPECT_EQ(0, failure.id);
    EXPECT_EQ("Attempt to save keynote contents failed.", failure.text);
    EXPECT_EQ(std::vector<std::string>{"task saved"}, Filed());
}

TEST_F(RukDatastoreTest, AFailedLogonIsTheEditionsException)
{
    m_outlook.SetLogonFailures(2);
    CRukDatastore& datastore = Datastore();
    EXPECT_NE(-1, FailureOf([&] { datastore.LoadItems(); }).id);
}

} // namespace
