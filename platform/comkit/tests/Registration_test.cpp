#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KitTestServer.h"
#include "QuiComRegistry.h"
#include "QuiComTesting.h"
#include "QuiRegistryChecks.h"

using QuiComTesting::ExpectEntries;
using QuiComTesting::ExpectGone;
using QuiComTesting::KeyExists;
using QuiComTesting::Ptr;
using QuiComTesting::RegText;

namespace {

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.Loaded()); }
    void TearDown() override { m_server.Unregister(); }

    QuiComTesting::Apartment m_apartment;
    std::string m_path = QuiComTesting::ProgramFolder() + "QuiKitTestServer.dll";
    QuiComTesting::ServerLibrary m_server{m_path.c_str()};
    const std::string m_test = QuiGuidText(CLSID_KitTest);
    const std::string m_plain = QuiGuidText(CLSID_KitPlain);
    const std::string m_lib = QuiGuidText(LIBID_KitTestLib);
};

}  // namespace

TEST_F(RegistrationTest, WritesExactlyTheKeysEachClassNames)
{
    ASSERT_EQ(S_OK, m_server.Register());
    const std::string test = "CLSID\\" + m_test, plain = "CLSID\\" + m_plain;
    ExpectEntries({
        {"QuiKitTest.KitTest.1", "", "KitTest Object"},
        {"QuiKitTest.KitTest.1\\CLSID", "", m_test},
        {"QuiKitTest.KitTest", "", "KitTest Object"},
        {"QuiKitTest.KitTest\\CLSID", "", m_test},
        {"QuiKitTest.KitTest\\CurVer", "", "QuiKitTest.KitTest.1"},
        {test, "", "KitTest Class"},
        {test + "\\ProgID", "", "QuiKitTest.KitTest.1"},
        {test + "\\VersionIndependentProgID", "", "QuiKitTest.KitTest"},
        {test + "\\Programmable", "", "<key>"},
        {test + "\\InprocServer32", "", m_path},
        {test + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {test + "\\Control", "", "<key>"},
        {test + "\\MiscStatus", "", "0"},
        {test + "\\MiscStatus\\1", "", "131473"},
        {test + "\\ToolboxBitmap32", "", m_path + ", 101"},
        {test + "\\TypeLib", "", m_lib},
        {test + "\\Version", "", "1.0"},
        {"QuiKitTest.KitPlain.1", "", "KitPlain Object"},
        {"QuiKitTest.KitPlain.1\\CLSID", "", m_plain},
        {"QuiKitTest.KitPlain.1\\CurVer", "", "<missing>"},
        {plain, "", "KitPlain Class"},
        {plain + "\\ProgID", "", "QuiKitTest.KitPlain.1"},
        {plain + "\\InprocServer32", "ThreadingModel", "Both"},
        {"TypeLib\\" + m_lib + "\\1.0\\0\\" + QuiComTesting::kTypeLibPlatform, "", m_path},
        {"Interface\\" + QuiGuidText(IID_IKitTest), "", "IKitTest"},
    });
    ExpectGone({plain + "\\VersionIndependentProgID", plain + "\\Programmable", plain + "\\Control",
                plain + "\\TypeLib", plain + "\\Version", plain + "\\LocalServer32", test + "\\LocalServer32"});
}

TEST_F(RegistrationTest, RegisteredClassIsCreatedByProgIdAndNamesItselfInErrors)
{
    ASSERT_EQ(S_OK, m_server.Register());
    CLSID clsid = GUID_NULL;
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"QuiKitTest.KitTest", &clsid));
    EXPECT_TRUE(IsEqualCLSID(CLSID_KitTest, clsid));
    Ptr<IKitTest> kit;
    ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IKitTest, kit.OutVoid()));

    EXPECT_EQ(E_FAIL, kit->Fail(QuiComTesting::Bstr(L"registered failure"), 0));
    QuiComTesting::ErrorRecord error = QuiComTesting::LastError();
    ASSERT_TRUE(error.present);
    EXPECT_EQ(L"QuiKitTest.KitTest.1", error.source);
}

TEST_F(RegistrationTest, UnregistrationRemovesEveryKeyItWrote)
{
    ASSERT_EQ(S_OK, m_server.Register());
    ASSERT_EQ(S_OK, m_server.Unregister());
    ExpectGone({"QuiKitTest.KitTest.1", "QuiKitTest.KitTest", "QuiKitTest.KitPlain.1", "CLSID\\" + m_test,
                "CLSID\\" + m_plain, "TypeLib\\" + m_lib, "Interface\\" + QuiGuidText(IID_IKitTest)});
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
    EXPECT_EQ(S_OK, m_server.Unregister()) << "nothing left to remove is no failure";
}

TEST_F(RegistrationTest, ProgIdTakenOverByAnotherClassSurvivesUnregistration)
{
    ASSERT_EQ(S_OK, m_server.Register());
    const std::string other = QuiGuidText(LIBID_KitTestLib);  // any CLSID but ours
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueA(HKEY_CLASSES_ROOT, "QuiKitTest.KitPlain.1\\CLSID", REG_SZ,
                                          other.c_str(), static_cast<DWORD>(other.size())));
    ASSERT_EQ(S_OK, m_server.Unregister());
    EXPECT_EQ(other, RegText(HKEY_CLASSES_ROOT, "QuiKitTest.KitPlain.1\\CLSID"));
    ExpectGone({"CLSID\\" + m_plain, "QuiKitTest.KitTest.1"});
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "QuiKitTest.KitPlain.1\\CLSID");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "QuiKitTest.KitPlain.1");
}

TEST(Registration, LocalServerClassWritesItsProgramAndApplication)
{
    // {6DEB27FE-1B75-4EA8-9CA4-E52FE3934355} and application {BD22AB73-924E-48A5-B56A-EC104A8F7AD9}
    const CLSID clsid = {0x6deb27fe, 0x1b75, 0x4ea8, {0x9c, 0xa4, 0xe5, 0x2f, 0xe3, 0x93, 0x43, 0x55}};
    const GUID appId = {0xbd22ab73, 0x924e, 0x48a5, {0xb5, 0x6a, 0xec, 0x10, 0x4a, 0x8f, 0x7a, 0xd9}};
    const QuiClassRegistration keys = QuiClassRegistration("Local Class")
                                          .ProgId("QuiKitTest.Local.1", "Local Class")
                                          .VersionIndependentProgId("QuiKitTest.Local", "Local Class")
                                          .AlsoProgId("QuiKitTest.Alias", "Local Alias", "QuiKitTest.Local.1")
                                          .Programmable()
                                          .LocalServer()
                                          .AppId(appId)
                                          .TypeLib();
    const std::string key = "CLSID\\" + QuiGuidText(clsid);
    // The program as a command line: a path with a blank in quotes, or the
    // search for the program would try each part before the blank first.
    const struct {
        const char* path;
        const char* command;
    } servers[] = {
        {"C:\\Local\\local.exe", "C:\\Local\\local.exe"},
        {"C:\\Program Files\\Local\\local.exe", "\"C:\\Program Files\\Local\\local.exe\""},
    };
    for (const auto& server : servers) {
        ASSERT_EQ(S_OK, keys.Register(clsid, server.path, &LIBID_KitTestLib));
        ExpectEntries({{key + "\\LocalServer32", "", server.command}});
    }
    ExpectEntries({
        {key, "", "Local Class"},
        {key, "AppID", QuiGuidText(appId)},
        {key + "\\TypeLib", "", QuiGuidText(LIBID_KitTestLib)},
        {key + "\\Programmable", "", "<key>"},
        {"QuiKitTest.Local\\CurVer", "", "QuiKitTest.Local.1"},
        {"QuiKitTest.Alias", "", "Local Alias"},
        {"QuiKitTest.Alias\\CLSID", "", QuiGuidText(clsid)},
        {"QuiKitTest.Alias\\CurVer", "", "QuiKitTest.Local.1"},
    });
    ExpectGone({key + "\\InprocServer32", key + "\\Version", key + "\\Control"});

    ASSERT_EQ(S_OK, keys.Unregister(clsid));
    ExpectGone({key, "QuiKitTest.Local.1", "QuiKitTest.Local", "QuiKitTest.Alias"});
}

TEST(Registration, GuidTextIsUpperCaseInBraces)
{
    EXPECT_EQ("{BD8C5EEA-DF9A-4E7E-A46A-2FF80F7E903C}", QuiGuidText(LIBID_KitTestLib));
    EXPECT_EQ("{00000000-0000-0000-0000-000000000000}", QuiGuidText(GUID_NULL));
}
