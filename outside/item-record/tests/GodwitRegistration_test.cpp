#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Godwit.h"
#include "GodwitDispIds.h"
#include "QuiComTesting.h"
#include "QuiRegistryChecks.h"

using QuiComTesting::ExpectEntries;
using QuiComTesting::ExpectGone;
using QuiComTesting::GetProperty;
using QuiComTesting::IdOfName;
using QuiComTesting::KeyExists;
using QuiComTesting::Ptr;
using QuiComTesting::PutProperty;
using QuiComTesting::RegText;
using QuiComTesting::RunProgram;
using QuiComTesting::Variant;

namespace {

const char kClsid[] = "{3D9428CA-B3A9-4A41-A685-9F7D7379944D}";
const char kLibId[] = "{832E3748-EF72-4E2B-B57C-40065D98FA58}";
const char kIid[] = "{75A48E65-429E-4E60-B458-851CE8DD4DE0}";

class GodwitRegistration : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_HRESULT_SUCCEEDED(m_apartment.Result()); }
    void TearDown() override { RunProgram("regsvr32.exe /s /u \"" + m_path + "\""); }

    // Every key registration writes, with its text.
    std::vector<QuiComTesting::RegEntry> Written() const
    {
        const std::string clsid = std::string("CLSID\\") + kClsid;
        return {
            {"Godwit.GodwitCtrl.1", "", "Godwit Item Record Control"},
            {"Godwit.GodwitCtrl.1\\CLSID", "", kClsid},
            {"Godwit.GodwitCtrl", "", "Godwit Item Record Control"},
            {"Godwit.GodwitCtrl\\CLSID", "", kClsid},
            {"Godwit.GodwitCtrl\\CurVer", "", "Godwit.GodwitCtrl.1"},
            {clsid, "", "Godwit Item Record Control"},
            {clsid + "\\ProgID", "", "Godwit.GodwitCtrl.1"},
            {clsid + "\\VersionIndependentProgID", "", "Godwit.GodwitCtrl"},
            {clsid + "\\Programmable", "", "<key>"},
            {clsid + "\\InprocServer32", "", m_path},
            {clsid + "\\InprocServer32", "ThreadingModel", "Apartment"},
            {clsid + "\\Control", "", "<key>"},
            {clsid + "\\MiscStatus", "", "0"},
            {clsid + "\\MiscStatus\\1", "", "132497"},
            {clsid + "\\TypeLib", "", kLibId},
            {clsid + "\\Version", "", "1.0"},
            {std::string("TypeLib\\") + kLibId + "\\1.0\\0\\" + QuiComTesting::kTypeLibPlatform, "", m_path},
            {std::string("Interface\\") + kIid + "\\TypeLib", "", kLibId},
        };
    }

    QuiComTesting::Apartment m_apartment;
    const std::string m_path = QuiComTesting::ProgramFolder() + "Godwit.ocx";
};

}  // namespace

TEST_F(GodwitRegistration, Regsvr32RegistersCreatesByProgIdAndUnregistersCleanly)
{
    ASSERT_EQ(0, RunProgram("regsvr32.exe /s \"" + m_path + "\""));
    ExpectEntries(Written());

    // As the main program's dispatch driver creates it.
    CLSID clsid = GUID_NULL;
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"Godwit.GodwitCtrl.1", &clsid));
    EXPECT_TRUE(IsEqualCLSID(CLSID_GodwitCtrl, clsid));
    {
        Ptr<IUnknown> object;
        ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, object.OutVoid()));
        ASSERT_EQ(S_OK, OleRun(object.Get()));
        Ptr<IDispatch> record;
        ASSERT_EQ(S_OK, object->QueryInterface(IID_IDispatch, record.OutVoid()));
        Variant body(L"call the bank"), back;
        ASSERT_EQ(S_OK, PutProperty(record.Get(), IdOfName(record.Get(), L"Body"), body));
        ASSERT_EQ(S_OK, GetProperty(record.Get(), DISPID_GODWIT_BODY, &back));
        EXPECT_STREQ(L"call the bank", back.bstrVal);
    }
    CoFreeUnusedLibraries();

    ASSERT_EQ(0, RunProgram("regsvr32.exe /s /u \"" + m_path + "\""));
    std::vector<std::string> gone = {"Godwit.GodwitCtrl.1", "Godwit.GodwitCtrl", std::string("CLSID\\") + kClsid,
                                     std::string("TypeLib\\") + kLibId, std::string("Interface\\") + kIid};
    for (const QuiComTesting::RegEntry& entry : Written())
        gone.push_back(entry.key);
    ExpectGone(gone);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
    EXPECT_NE(S_OK, CLSIDFromProgID(L"Godwit.GodwitCtrl.1", &clsid));
}

TEST_F(GodwitRegistration, RegisteringTwiceIsHarmless)
{
    QuiComTesting::ServerLibrary library(m_path.c_str());
    ASSERT_TRUE(library.Loaded());
    ASSERT_EQ(S_OK, library.Register());
    ASSERT_EQ(S_OK, library.Register());
    EXPECT_EQ(m_path, RegText(HKEY_CLASSES_ROOT, std::string("CLSID\\") + kClsid + "\\InprocServer32"));
    ASSERT_EQ(S_OK, library.Unregister());
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Godwit.GodwitCtrl.1"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string("TypeLib\\") + kLibId));
    EXPECT_EQ(S_OK, library.Unregister());
}
