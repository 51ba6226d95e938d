#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QuiComTesting.h"
#include "QuiRegistryChecks.h"
#include "SpeechStandIn.h"

using QuiComTesting::ExpectEntries;
using QuiComTesting::ExpectGone;
using QuiComTesting::RunProgram;

namespace {

const char kLibId[] = "{88E815D4-6CEB-49A6-9D6F-30928D0DAF92}";

class SpeechRegistration : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_HRESULT_SUCCEEDED(m_apartment.Result()); }
    void TearDown() override { RunProgram("regsvr32.exe /s /u \"" + m_path + "\""); }

    std::vector<QuiComTesting::RegEntry> Written(const char* clsidText, const char* description) const
    {
        const std::string clsid = std::string("CLSID\\") + clsidText;
        return {
            {clsid, "", description},
            {clsid + "\\InprocServer32", "", m_path},
            {clsid + "\\InprocServer32", "ThreadingModel", "Apartment"},
            {clsid + "\\Control", "", "<key>"},
            {clsid + "\\MiscStatus\\1", "", "131473"},
            {clsid + "\\TypeLib", "", kLibId},
            {clsid + "\\Version", "", "1.0"},
        };
    }

    QuiComTesting::Apartment m_apartment;
    const std::string m_path = QuiComTesting::ProgramFolder() + "QuiSpeech.ocx";
};

}  // namespace

TEST_F(SpeechRegistration, Regsvr32RegistersBothControlsAndUnregistersCleanly)
{
    const char kPhrases[] = "{6B2A3868-E625-11D1-B50C-000629B2AC6D}";
    const char kRichEdit[] = "{2BEF2730-36F3-11D2-A3EE-00203521503A}";
    ASSERT_EQ(0, RunProgram("regsvr32.exe /s \"" + m_path + "\""));
    ExpectEntries(Written(kPhrases, "Speech phrase control (stand-in)"));
    ExpectEntries(Written(kRichEdit, "Speech rich edit control (stand-in)"));
    EXPECT_EQ(m_path, QuiComTesting::RegText(HKEY_CLASSES_ROOT, std::string("TypeLib\\") + kLibId + "\\1.0\\0\\" + QuiComTesting::kTypeLibPlatform));

    ASSERT_EQ(0, RunProgram("regsvr32.exe /s /u \"" + m_path + "\""));
    ExpectGone({std::string("CLSID\\") + kPhrases, std::string("CLSID\\") + kRichEdit,
                std::string("TypeLib\\") + kLibId});
}
