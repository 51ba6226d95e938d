// Spoken commands through a phrase control of our own make, registered for
// this process under the control's class: what the preferences call on it,
// in order, and that a failing member leaves speech as it was.
#include "PrefsTestSupport.h"
#include "QuiComTesting.h"
#include "QuiStackDispatch.h"

#include <oleauto.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

const CLSID kPhraseControl = {0x6B2A3868, 0xE625, 0x11D1, {0xB5, 0x0C, 0x00, 0x06, 0x29, 0xB2, 0xAC, 0x6D}};

std::string Narrow(BSTR text)
{
    char buffer[512] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    return buffer;
}

// Writes each call as "object.dispid kind(arguments)"; answers the driver
// for a read of DISPID 5 and itself for a phrase added with DISPID 9.
class RecordingDispatch : public QuiComTesting::StackDispatch {
public:
    RecordingDispatch(const char* name, std::vector<std::string>& log) : m_name(name), m_log(log) {}

    RecordingDispatch* driver = nullptr;
    DISPID failing = DISPID_UNKNOWN;       // this member fails with the server's error

    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        ADD_FAILURE() << m_name << ": members are called by number";
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* error,
                        UINT*) override
    {
        std::ostringstream call;
        call << m_name << '.' << id << ' ' << Kind(flags) << '(';
        for (UINT i = params->cArgs; i-- > 0;) {
            const VARIANT& arg = params->rgvarg[i];
            if (V_VT(&arg) == VT_BSTR)
                call << '\'' << Narrow(V_BSTR(&arg)) << '\'';
            else if (V_VT(&arg) == VT_BOOL)
                call << (V_BOOL(&arg) ? "true" : "false");
            else if (V_VT(&arg) == VT_I4)
                call << V_I4(&arg);
            else
                call << "vt" << V_VT(&arg);
            if (i > 0)
                call << ',';
        }
        call << ')';
        m_log.push_back(call.str());

        if (id == failing) {
            if (error) {
                *error = {};
                error->scode = E_FAIL;
                error->bstrDescription = SysAllocString(L"The microphone is not connected.");
            }
            return DISP_E_EXCEPTION;
        }
        IDispatch* answer = id == 5 ? driver : id == 9 ? this : nullptr;
        if (answer && result) {
            answer->AddRef();
            V_VT(result) = VT_DISPATCH;
            V_DISPATCH(result) = answer;
        }
        return S_OK;
    }

private:
    static const char* Kind(WORD flags)
    {
        if (flags & DISPATCH_PROPERTYPUT)
            return "put";
        return (flags & DISPATCH_METHOD) ? "call" : "get";
    }

    const char* m_name;
    std::vector<std::string>& m_log;
};

// Hands out the one phrase control to every creation.
class ControlFactory : public IClassFactory {
public:
    explicit ControlFactory(IDispatch* control) : m_control(control) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override
    {
        *ppv = nullptr;
        return outer ? CLASS_E_NOAGGREGATION : m_control->QueryInterface(riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    IDispatch* m_control;
};

class SpeechTest : public PrefsFixture {
protected:
    void SetUp() override
    {
        PrefsFixture::SetUp();
        ASSERT_HRESULT_SUCCEEDED(m_apartment.Result());
        m_phrases.driver = &m_driver;
        ASSERT_HRESULT_SUCCEEDED(CoRegisterClassObject(kPhraseControl, &m_factory, CLSCTX_LOCAL_SERVER,
                                                       REGCLS_MULTIPLEUSE, &m_cookie));
        SetNumber("", "ViaVoiceInstalled", 1);
        SetNumber("Preferences", "EnableHotKeys", 0);
        ReloadSettings();
    }

    void TearDown() override
    {
        m_prefs.reset();
        if (m_cookie)
            CoRevokeClassObject(m_cookie);
        PrefsFixture::TearDown();
    }

    QuiComTesting::Apartment m_apartment;
    std::vector<std::string> m_log;
    RecordingDispatch m_driver{"driver", m_log};
    RecordingDispatch m_phrases{"phrases", m_log};
    ControlFactory m_factory{&m_phrases};
    DWORD m_cookie = 0;
};

TEST_F(SpeechTest, ApplyTurnsSpokenCommandsOnAndOff)
{
    m_prefs->m_dwVoiceRecognition = 1;
    m_prefs->Apply();
    EXPECT_TRUE(m_prefs->IsSpeechOn());
    const std::vector<std::string> on = {
        "phrases.9 call('New note',133,'New note',true)",
        "phrases.9 call('New note from selection',32794,'New note from selection',true)",
        "phrases.9 call('Exit Quillmate',57665,'Exit Quillmate',true)",
        "phrases.5 get()",
        "driver.1 call()",
        "driver.6 put(1)",
        "phrases.3 put(true)",
    };
    EXPECT_EQ(on, m_log);
    EXPECT_EQ(1u, m_driver.Refs());

    m_log.clear();
    m_prefs->Apply();  // already on: nothing again
    EXPECT_TRUE(m_log.empty());

    m_prefs->m_dwVoiceRecognition = 0;
    m_prefs->Apply();
    EXPECT_FALSE(m_prefs->IsSpeechOn());
    const std::vector<std::string> off = {"phrases.5 get()", "driver.6 put(0)", "driver.3 call()"};
    EXPECT_EQ(off, m_log);
    EXPECT_EQ(1u, m_phrases.Refs());
    EXPECT_EQ(1u, m_driver.Refs());
}

TEST_F(SpeechTest, NotInstalledNeverMakesTheControl)
{
    SetNumber("", "ViaVoiceInstalled", 0);
    ReloadSettings();
    m_prefs->m_dwVoiceRecognition = 1;
    m_prefs->Apply();
    EXPECT_FALSE(m_prefs->IsSpeechOn());
    EXPECT_TRUE(m_log.empty());
}

TEST_F(SpeechTest, AControlThatFailsLeavesSpeechAsItWasAndSaysNothing)
{
    const struct {
        RecordingDispatch* object;
        DISPID member;
        bool onFails;       // the failure comes while turning on, else while turning off
    } rows[] = {
        {&m_phrases, 9, true}, {&m_driver, 1, true}, {&m_phrases, 3, true}, {&m_driver, 3, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.member);
        CPromptScript prompts;
        m_prefs = std::make_unique<COzuPrefs>(*m_settings);
        m_prefs->Load();
        if (row.onFails)
            row.object->failing = row.member;
        m_prefs->SetSpeech(TRUE);
        EXPECT_EQ(!row.onFails, !!m_prefs->IsSpeechOn());
        row.object->failing = row.member;
        m_prefs->SetSpeech(FALSE);
        EXPECT_EQ(!row.onFails, !!m_prefs->IsSpeechOn());
        row.object->failing = DISPID_UNKNOWN;
        m_prefs.reset();
        EXPECT_EQ(1u, m_phrases.Refs());
        EXPECT_EQ(1u, m_driver.Refs());
        EXPECT_EQ(0u, prompts.Asked().size());
    }
}

} // namespace
