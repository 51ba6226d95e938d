// Registration on demand of a server from the program's folder, with the
// item record control's file as the server.
#include <gtest/gtest.h>
#include <windows.h>
#include <olectl.h>
#include <shlwapi.h>

#include <string>

#include "PimTestSupport.h"
#include "QuiComTesting.h"
#include "QuiRegUtil.h"

namespace {

const char kProgId[] = "Godwit.GodwitCtrl.1";

class RegUtil : public ::testing::Test {
protected:
    void SetUp() override { m_godwit.Unregister(); }
    void TearDown() override { m_godwit.Unregister(); }

    static std::string Registered()
    {
        char file[MAX_PATH];
        return QuiRegUtil::RegisteredFile(kProgId, file, sizeof file) ? file : "<none>";
    }
    // Points the registered class at a file that is not there.
    static void MoveRegistrationAway()
    {
        char clsid[64] = "";
        LONG size = sizeof clsid;
        ASSERT_EQ(ERROR_SUCCESS, RegQueryValueA(HKEY_CLASSES_ROOT, "Godwit.GodwitCtrl.1\\CLSID", clsid, &size));
        std::string key = std::string("CLSID\\") + clsid + "\\InprocServer32";
        const char gone[] = "C:\\no-such-folder\\Godwit.ocx";
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, gone, sizeof gone - 1));
    }

    const std::string m_file = QuiComTesting::ProgramFolder() + "Godwit.ocx";
    QuiComTesting::ServerLibrary m_godwit{m_file.c_str()};
};

TEST_F(RegUtil, RegistersAMissingProgIdFromTheProgramFolder)
{
    ASSERT_EQ("<none>", Registered());
    QuiRegUtil registration("Godwit.ocx", kProgId, TRUE, FALSE);
    EXPECT_TRUE(registration.WasCalled());
    EXPECT_TRUE(registration.Succeeded());
    EXPECT_EQ(S_OK, registration.GetResult());
    EXPECT_EQ(0, lstrcmpiA(m_file.c_str(), Registered().c_str())) << Registered();
}

TEST_F(RegUtil, WhenToRegisterAgain)
{
    // Each row: the state before, forced or not, whether the entry point runs.
    enum State { InPlace, Stale };
    struct Row {
        const char* what;
        State state;
        BOOL force;
        bool called;
    } rows[] = {
        {"registered and there", InPlace, FALSE, false},
        {"registered file gone", Stale, FALSE, true},
        {"forced", InPlace, TRUE, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_EQ(S_OK, m_godwit.Register());
        if (row.state == Stale)
            MoveRegistrationAway();
        QuiRegUtil registration("Godwit.ocx", kProgId, TRUE, row.force);
        EXPECT_EQ(row.called, registration.WasCalled() != FALSE);
        EXPECT_TRUE(registration.Succeeded());
        EXPECT_EQ(0, lstrcmpiA(m_file.c_str(), Registered().c_str())) << Registered();
    }
}

TEST_F(RegUtil, FilesThatCannotRegisterAreReported)
{
    struct Row {
        const char* file;
    } rows[] = {
        {"NoSuchServer.dll"},  // not in the program folder
        {"QuiRes1033.dll"},    // no registration entry point
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        QuiRegUtil registration(row.file, "Quillmate.NoSuch.1", TRUE, FALSE);
        EXPECT_FALSE(registration.WasCalled());
        EXPECT_FALSE(registration.Succeeded());
        EXPECT_EQ(0, registration.GetResult());
    }
}

TEST_F(RegUtil, AFailingRegistrationEntryPointIsReported)
{
    pim_test::UnregistrableServer unwritable(m_godwit, kProgId);
    QuiRegUtil registration("Godwit.ocx", kProgId, TRUE, FALSE);
    EXPECT_TRUE(registration.WasCalled());
    EXPECT_FALSE(registration.Succeeded());
    EXPECT_EQ(SELFREG_E_CLASS, registration.GetResult());
    EXPECT_EQ("<none>", Registered()) << "the server took its half-made registration back";
}

TEST_F(RegUtil, UnregistersOnlyWhatIsRegistered)
{
    {
        QuiRegUtil nothing(m_file.c_str(), kProgId, FALSE, FALSE);
        EXPECT_FALSE(nothing.WasCalled());
    }
    ASSERT_EQ(S_OK, m_godwit.Register());
    QuiRegUtil registration(m_file.c_str(), kProgId, FALSE, FALSE);
    EXPECT_TRUE(registration.WasCalled());
    EXPECT_EQ("<none>", Registered());
}

} // namespace
