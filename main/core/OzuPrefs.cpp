#include "OzuPrefs.h"

#include "ClientRegistry.h"
#include "QuillmateApp.h"
#include "SplashWnd.h"
#include "URLHandler.h"
#include "QuiResIds.h"
#include "VVPhrases.h"

#include <cstring>

namespace {

const char kNewHotKeyAtom[] = "Ozu_NewHKAtom";
const char kGrabHotKeyAtom[] = "Ozu_GrabHKAtom";

// The speech phrase control: a hidden child of the main window.
const UINT kPhrasesId = 162;

// GetKeyNameText: the key's name whatever side of the keyboard it is on.
const LONG kKeyNameDontCare = 1L << 25;
const LONG kKeyNameExtended = 1L << 24;

typedef DWORD COzuPrefs::*NumberField;
struct NumberSetting {
    int index;
    NumberField field;
};
// The numbers that Save writes back; the update frequency is signed and
// written beside them.
const NumberSetting kNumbers[] = {
    {ClientRegistry::EnableHotKeys, &COzuPrefs::m_bHotKeysEnabled},
    {ClientRegistry::NewHotKey, &COzuPrefs::m_dwNewHotKey},
    {ClientRegistry::GrabHotKey, &COzuPrefs::m_dwGrabHotKey},
    {ClientRegistry::ReturnKeyAction, &COzuPrefs::m_dwReturnKeyAction},
    {ClientRegistry::SaveThenNew, &COzuPrefs::m_dwSaveThenNew},
    {ClientRegistry::Browser, &COzuPrefs::m_dwBrowser},
    {ClientRegistry::VoiceRecognition, &COzuPrefs::m_dwVoiceRecognition},
    {ClientRegistry::ShowPromptText, &COzuPrefs::m_dwShowPromptText},
    {ClientRegistry::ConnectorWaitTimeout, &COzuPrefs::m_dwConnectorWaitTimeout},
};

// Profile texts in the order of the preferences' own list.
const int kProfileSettings[] = {
    ClientRegistry::Firstname, ClientRegistry::Lastname, ClientRegistry::Email, ClientRegistry::Address,
    ClientRegistry::City, ClientRegistry::State, ClientRegistry::Country, ClientRegistry::PostalCode,
};

DWORD ReadNumber(ClientRegistry& settings, int index)
{
    DWORD value = 0;
    if (const void* data = settings.GetValue(index, false))
        std::memcpy(&value, data, sizeof value);
    return value;
}

ATOM FindOrAddAtom(const char* name)
{
    ATOM atom = ::GlobalFindAtomA(name);
    return atom ? atom : ::GlobalAddAtomA(name);
}

HWND MainWindow()
{
    CWnd* pMainWnd = AfxGetMainWnd();
    return pMainWnd ? pMainWnd->GetSafeHwnd() : nullptr;
}

void AppendKeyName(LONG lParam, CString& text)
{
    char name[64] = {};
    if (::GetKeyNameTextA(lParam | kKeyNameDontCare, name, sizeof name) > 0)
        text += name;
}

} // namespace

BOOL QuiRegisterHotKey(HWND hWnd, int id, DWORD dwValue)
{
    UINT modifiers = HIWORD(dwValue) & (MOD_ALT | MOD_CONTROL | MOD_SHIFT);
    return ::RegisterHotKey(hWnd, id, modifiers, LOWORD(dwValue));
}

BOOL QuiIsSameHotKey(DWORD dwFirst, DWORD dwSecond)
{
    const DWORD registered = ((MOD_ALT | MOD_CONTROL | MOD_SHIFT) << 16) | 0xFFFF;
    return dwFirst && (dwFirst & registered) == (dwSecond & registered);
}

void QuiGetHotKeyName(DWORD dwValue, CString& text)
{
    if (dwValue == 0)
        return;
    const struct {
        WORD modifier;
        LONG scanCode;
    } modifiers[] = {{MOD_CONTROL, 0x1D}, {MOD_SHIFT, 0x2A}, {MOD_ALT, 0x38}};
    WORD flags = HIWORD(dwValue);
    for (const auto& modifier : modifiers) {
        if (flags & modifier.modifier) {
            AppendKeyName(modifier.scanCode << 16, text);
            text += '+';
        }
    }
    LONG key = static_cast<LONG>(::MapVirtualKeyA(LOWORD(dwValue), MAPVK_VK_TO_VSC)) << 16;
    if (flags & QUI_HOTKEY_EXTENDED)
        key |= kKeyNameExtended;
    AppendKeyName(key, text);
}

namespace {

// The browser choice over the preferences' copy of "Browser".
class CPrefsBrowserSetting : public CBrowserSetting {
public:
    CPrefsBrowserSetting(DWORD dwBrowser, ClientRegistry& settings) : m_dwBrowser(dwBrowser), m_settings(settings) {}
    DWORD GetBrowser() override { return m_dwBrowser; }
    void StoreBrowser(DWORD dwValue) override { m_settings.SetValue(ClientRegistry::Browser, &dwValue); }

private:
    DWORD m_dwBrowser;
    ClientRegistry& m_settings;
};

} // namespace

COzuPrefs::COzuPrefs(ClientRegistry& settings) : m_settings(settings) {}

COzuPrefs::~COzuPrefs()
{
    delete m_pSpeechPhrases;
}

int COzuPrefs::Load()
{
    for (const NumberSetting& setting : kNumbers)
        this->*setting.field = ReadNumber(m_settings, setting.index);
    m_nUpdateFreq = static_cast<LONG>(ReadNumber(m_settings, ClientRegistry::PintailFreq));
    m_bSpeechInstalled = ReadNumber(m_settings, ClientRegistry::ViaVoiceInstalled) == 1;
    for (int i = 0; i < ProfileCount; ++i)
        m_profile[i] = static_cast<const char*>(m_settings.GetValue(kProfileSettings[i], false));
    m_atomNewHotKey = FindOrAddAtom(kNewHotKeyAtom);
    m_atomGrabHotKey = FindOrAddAtom(kGrabHotKeyAtom);
    return 0;
}

BOOL COzuPrefs::Save()
{
    for (const NumberSetting& setting : kNumbers)
        m_settings.SetValue(setting.index, &(this->*setting.field));
    m_settings.SetValue(ClientRegistry::PintailFreq, &m_nUpdateFreq);
    for (int i = 0; i < ProfileCount; ++i)
        m_settings.SetValue(kProfileSettings[i], m_profile[i].GetString());
    return TRUE;
}

void COzuPrefs::Apply(HWND hWndReport)
{
    if (m_bHotKeysEnabled)
        RegisterHotKeys(TRUE, hWndReport);
    else
        UnregisterHotKeys();
    CQuillmateApp* app = QuiGetApp();
    DefaultBrowser* browser = QuiURLHandler::GetDefaultBrowser();
    if (app && app->GetDatastore() && browser) {
        // The choice reads this object's browser: the registry still holds
        // the old one until Save.
        CPrefsBrowserSetting setting(m_dwBrowser, m_settings);
        DefaultBrowser::SetSetting(&setting);
        browser->CreateBrowser();
        DefaultBrowser::SetSetting(nullptr);
    }
    if (m_bSpeechInstalled)
        SetSpeech(m_dwVoiceRecognition != 0);
}

void COzuPrefs::UnregisterHotKeys()
{
    HWND hWnd = MainWindow();
    if (!hWnd)
        return;
    ::UnregisterHotKey(hWnd, m_atomNewHotKey);
    ::UnregisterHotKey(hWnd, m_atomGrabHotKey);
}

BOOL COzuPrefs::RegisterHotKeys(BOOL bReport, HWND hWndReport)
{
    if (!m_bHotKeysEnabled)
        return TRUE;
    UnregisterHotKeys();
    // Without the main window a hot key would belong to the thread, where no
    // window hears it and the main window could not take it later.
    HWND hWnd = MainWindow();
    if (!hWnd)
        return FALSE;

    const struct {
        DWORD value;
        ATOM id;
    } keys[] = {{m_dwNewHotKey, m_atomNewHotKey}, {m_dwGrabHotKey, m_atomGrabHotKey}};
    // The main window cannot hold one combination twice; that is no other
    // program's doing.
    const BOOL bSame = QuiIsSameHotKey(m_dwNewHotKey, m_dwGrabHotKey);
    CString failed;
    for (const auto& key : keys) {
        if (key.value == 0 || (bSame && &key != keys) || QuiRegisterHotKey(hWnd, key.id, key.value))
            continue;
        if (!failed.IsEmpty())
            failed += ", \n";
        GetHotKeyName(key.value, failed);
    }
    if (failed.IsEmpty() && !bSame)
        return TRUE;
    if (bReport) {
        failed.Remove('\n');
        CString message;
        if (!failed.IsEmpty()) {
            message.Format(IDS_HOTKEY_TAKEN, failed.GetString());
        } else {
            CString name;
            GetHotKeyName(m_dwNewHotKey, name);
            message.Format(IDS_HOTKEYS_SAME, name.GetString());
        }
        char program[MAX_PATH] = "";
        ::GetModuleFileNameA(nullptr, program, MAX_PATH);
        CString caption = CSplashWnd::FormatVersionText(program);
        AfxPromptMessageBox(hWndReport ? hWndReport : hWnd, message, caption, MB_OK);
    }
    return FALSE;
}

void COzuPrefs::GetHotKeyName(DWORD dwValue, CString& text) const
{
    if (m_bHotKeysEnabled)
        QuiGetHotKeyName(dwValue, text);
}

void COzuPrefs::SetSpeech(BOOL bOn)
{
    if (!bOn == !m_bSpeechOn)
        return;
    // A control that fails a member leaves speech as it was; nothing is shown.
    try {
        if (bOn)
            TurnSpeechOn();
        else
            TurnSpeechOff();
    } catch (COleDispatchException* e) {
        e->Delete();
    } catch (COleException* e) {
        e->Delete();
    }
}

// Without the speech program, or without the main window to hold the
// control, speech stays off.
void COzuPrefs::TurnSpeechOn()
{
    CWnd* pMainWnd = AfxGetMainWnd();
    if (!pMainWnd || !pMainWnd->GetSafeHwnd())
        return;
    m_pSpeechPhrases = CVVPhrases::TurnOn(pMainWnd, kPhrasesId, IDR_SPEECH_COMMANDS);
    m_bSpeechOn = m_pSpeechPhrases != nullptr;
}

// A control that fails here is kept, and speech with it.
void COzuPrefs::TurnSpeechOff()
{
    CVVPhrases::TurnOff(m_pSpeechPhrases);
    m_pSpeechPhrases = nullptr;
    m_bSpeechOn = FALSE;
}
