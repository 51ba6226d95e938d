#include "PrefPages.h"

#include "OzuPrefs.h"
#include "OzuPropSheet.h"
#include "QuiResIds.h"

#include <commctrl.h>

namespace {

// The hot-key control's modifier flags beside the system's hot-key flags;
// the extended-key mark keeps its bit on both sides.
const struct {
    BYTE control;
    WORD stored;
} kModifiers[] = {
    {HOTKEYF_SHIFT, MOD_SHIFT},
    {HOTKEYF_CONTROL, MOD_CONTROL},
    {HOTKEYF_ALT, MOD_ALT},
    {HOTKEYF_EXT, QUI_HOTKEY_EXTENDED},
};

HWND MainWindow()
{
    CWnd* pMainWnd = AfxGetMainWnd();
    return pMainWnd ? pMainWnd->GetSafeHwnd() : nullptr;
}

// Keys that neither type nor move the caret.
bool IsStandaloneKey(UINT vk)
{
    return (vk >= VK_F1 && vk <= VK_F24) || vk == VK_PAUSE || vk == VK_SCROLL ||
           (vk >= VK_BROWSER_BACK && vk <= VK_LAUNCH_APP2);
}

void DDX_HotKey(CDataExchange* pDX, CHotKeyCtrlSafe& control, DWORD& value)
{
    if (pDX->m_bSaveAndValidate)
        value = control.GetValue();
    else
        control.SetValue(value);
}

} // namespace

WORD QuiHotKeyToControl(DWORD dwValue)
{
    BYTE flags = 0;
    for (const auto& modifier : kModifiers) {
        if (HIWORD(dwValue) & modifier.stored)
            flags |= modifier.control;
    }
    return MAKEWORD(LOBYTE(LOWORD(dwValue)), flags);
}

DWORD QuiHotKeyFromControl(WORD wControl)
{
    WORD flags = 0;
    for (const auto& modifier : kModifiers) {
        if (HIBYTE(wControl) & modifier.control)
            flags |= modifier.stored;
    }
    return (static_cast<DWORD>(flags) << 16) | LOBYTE(wControl);
}

BOOL QuiHotKeyNeedsModifier(DWORD dwValue)
{
    return dwValue != 0 && !(HIWORD(dwValue) & (MOD_CONTROL | MOD_ALT)) && !IsStandaloneKey(LOWORD(dwValue));
}

//--- CHotKeyCtrlSafe

BEGIN_MESSAGE_MAP(CHotKeyCtrlSafe, CHotKeyCtrl)
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

void CHotKeyCtrlSafe::Arm(HWND hWndOwner, int nId, DWORD dwValue)
{
    m_hWndOwner = hWndOwner;
    m_nId = nId;
    m_dwValue = dwValue;
}

void CHotKeyCtrlSafe::SetValue(DWORD dwValue)
{
    SendMessage(HKM_SETHOTKEY, QuiHotKeyToControl(dwValue));
}

void CHotKeyCtrlSafe::SetTypingRules()
{
    m_bTypingRules = TRUE;
    SetRules(HKCOMB_NONE | HKCOMB_S, HOTKEYF_CONTROL | HOTKEYF_ALT);
}

LRESULT CHotKeyCtrlSafe::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The control's rules go by the modifiers alone: they are lifted for the
    // keys that may stand alone.
    if (!m_bTypingRules || (message != WM_KEYDOWN && message != WM_SYSKEYDOWN) ||
        !IsStandaloneKey(static_cast<UINT>(wParam)))
        return CHotKeyCtrl::WindowProc(message, wParam, lParam);
    SetRules(0, 0);
    LRESULT result = CHotKeyCtrl::WindowProc(message, wParam, lParam);
    SetTypingRules();
    return result;
}

void CHotKeyCtrlSafe::OnSetFocus(CWnd* pOldWnd)
{
    CHotKeyCtrl::OnSetFocus(pOldWnd);
    if (m_hWndOwner)
        ::UnregisterHotKey(m_hWndOwner, m_nId);
}

void CHotKeyCtrlSafe::OnKillFocus(CWnd* pNewWnd)
{
    CHotKeyCtrl::OnKillFocus(pNewWnd);
    // No value is no hot key; it is not registered as a bare key press.
    if (m_hWndOwner && m_dwValue)
        QuiRegisterHotKey(m_hWndOwner, m_nId, m_dwValue);
}

//--- CPrefPage

CPrefPage::CPrefPage(UINT nIDTemplate, DWORD dwHelpContext)
    : CPropertyPage(nIDTemplate), m_dwHelpContext(dwHelpContext)
{
}

BOOL CPrefPage::OnSetActive()
{
    // The application's help command asks the active window for its topic.
    if (CWnd* pSheet = GetParent())
        ::SetWindowContextHelpId(pSheet->m_hWnd, m_dwHelpContext);
    return CPropertyPage::OnSetActive();
}

//--- CPropPageBasic

BEGIN_MESSAGE_MAP(CPropPageBasic, CPrefPage)
    ON_BN_CLICKED(IDC_PREFS_HOTKEYS_OFF, OnHotKeysSwitched)
    ON_BN_CLICKED(IDC_PREFS_HOTKEYS_ON, OnHotKeysSwitched)
    ON_BN_CLICKED(IDC_PREFS_SAVE_NEW_OFF, OnSaveThenNewSwitched)
    ON_BN_CLICKED(IDC_PREFS_SAVE_NEW_ON, OnSaveThenNewSwitched)
END_MESSAGE_MAP()

CPropPageBasic::CPropPageBasic() : CPrefPage(IDD_PREFS_BASIC, IDH_PREFS_BASIC) {}

void CPropPageBasic::LoadFrom(const COzuPrefs& prefs)
{
    m_nHotKeysEnabled = prefs.m_bHotKeysEnabled ? 1 : 0;
    m_nReturnKeyAction = prefs.m_dwReturnKeyAction ? 1 : 0;
    m_dwNewHotKey = prefs.m_dwNewHotKey;
    m_dwGrabHotKey = prefs.m_dwGrabHotKey;
    m_atomNewHotKey = prefs.m_atomNewHotKey;
    m_atomGrabHotKey = prefs.m_atomGrabHotKey;
    m_nSaveThenNew = prefs.m_dwSaveThenNew ? 1 : 0;
    m_nShowPromptText = prefs.m_dwShowPromptText ? 1 : 0;
}

void CPropPageBasic::StoreTo(COzuPrefs& prefs) const
{
    prefs.m_bHotKeysEnabled = m_nHotKeysEnabled == 1;
    prefs.m_dwReturnKeyAction = m_nReturnKeyAction;
    prefs.m_dwNewHotKey = m_dwNewHotKey;
    prefs.m_dwGrabHotKey = m_dwGrabHotKey;
    prefs.m_atomNewHotKey = m_atomNewHotKey;
    prefs.m_atomGrabHotKey = m_atomGrabHotKey;
    prefs.m_dwSaveThenNew = m_nSaveThenNew == 1;
    prefs.m_dwShowPromptText = m_nShowPromptText;
}

void CPropPageBasic::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_PREFS_NEW_HOTKEY, m_newHotKey);
    DDX_Control(pDX, IDC_PREFS_GRAB_HOTKEY, m_grabHotKey);
    DDX_Radio(pDX, IDC_PREFS_HOTKEYS_OFF, m_nHotKeysEnabled);
    DDX_HotKey(pDX, m_newHotKey, m_dwNewHotKey);
    DDX_HotKey(pDX, m_grabHotKey, m_dwGrabHotKey);
    if (pDX->m_bSaveAndValidate && m_nHotKeysEnabled == 1)
        RefuseUnusableHotKeys(pDX);
    DDX_Check(pDX, IDC_PREFS_RETURN_KEY, m_nReturnKeyAction);
    DDX_Radio(pDX, IDC_PREFS_SAVE_NEW_OFF, m_nSaveThenNew);
    DDX_Check(pDX, IDC_PREFS_PROMPT_TEXT, m_nShowPromptText);
}

void CPropPageBasic::RefuseUnusableHotKeys(CDataExchange* pDX)
{
    const struct {
        int id;
        DWORD value;
    } keys[] = {{IDC_PREFS_NEW_HOTKEY, m_dwNewHotKey}, {IDC_PREFS_GRAB_HOTKEY, m_dwGrabHotKey}};
    for (const auto& key : keys) {
        if (QuiHotKeyNeedsModifier(key.value))
            RefuseHotKey(pDX, key.id, IDS_HOTKEY_NEEDS_MODIFIER, key.value);
    }
    if (QuiIsSameHotKey(m_dwNewHotKey, m_dwGrabHotKey))
        RefuseHotKey(pDX, IDC_PREFS_GRAB_HOTKEY, IDS_HOTKEYS_SAME, m_dwGrabHotKey);
}

void CPropPageBasic::RefuseHotKey(CDataExchange* pDX, int nIDC, UINT nIDFormat, DWORD dwValue)
{
    pDX->PrepareCtrl(nIDC);
    CString name, text;
    QuiGetHotKeyName(dwValue, name);
    text.Format(nIDFormat, name.GetString());
    {
        COzuPropSheet::CModalScope scope(this);
        CWnd* pOwner = scope.GetOwner();
        AfxPromptMessageBox(pOwner ? pOwner->m_hWnd : m_hWnd, text, nullptr, MB_OK | MB_ICONEXCLAMATION);
    }
    pDX->Fail();
}

BOOL CPropPageBasic::OnInitDialog()
{
    CPrefPage::OnInitDialog();
    m_newHotKey.SetTypingRules();
    m_grabHotKey.SetTypingRules();
    EnableHotKeyControls(m_nHotKeysEnabled == 1);
    SetModified(FALSE);
    return TRUE;
}

BOOL CPropPageBasic::OnSetActive()
{
    ArmHotKeys();
    return CPrefPage::OnSetActive();
}

BOOL CPropPageBasic::OnApply()
{
    ArmHotKeys();
    return CPrefPage::OnApply();
}

BOOL CPropPageBasic::PreTranslateMessage(MSG* pMsg)
{
    // A combination typed into either control makes the page one to apply.
    if (pMsg->message == WM_KEYUP && pMsg->hwnd == ::GetFocus() &&
        (pMsg->hwnd == m_newHotKey.m_hWnd || pMsg->hwnd == m_grabHotKey.m_hWnd)) {
        if (m_newHotKey.GetValue() != m_dwNewHotKey || m_grabHotKey.GetValue() != m_dwGrabHotKey)
            SetModified(TRUE);
    }
    return CPrefPage::PreTranslateMessage(pMsg);
}

void CPropPageBasic::OnHotKeysSwitched()
{
    EnableHotKeyControls(IsDlgButtonChecked(IDC_PREFS_HOTKEYS_ON) == BST_CHECKED);
    SetModified(TRUE);
}

void CPropPageBasic::OnSaveThenNewSwitched()
{
    SetModified(TRUE);
}

void CPropPageBasic::EnableHotKeyControls(BOOL bEnable)
{
    for (int id : {IDC_PREFS_NEW_HOTKEY, IDC_PREFS_NEW_LABEL, IDC_PREFS_GRAB_HOTKEY, IDC_PREFS_GRAB_LABEL}) {
        if (CWnd* pControl = GetDlgItem(id))
            pControl->EnableWindow(bEnable);
    }
}

void CPropPageBasic::ArmHotKeys()
{
    // While hot keys are off the controls stand for none: leaving one must
    // not register a hot key the user switched off.
    BOOL bEnabled = m_nHotKeysEnabled == 1;
    HWND hWndMain = MainWindow();
    m_newHotKey.Arm(hWndMain, m_atomNewHotKey, bEnabled ? m_dwNewHotKey : 0);
    m_grabHotKey.Arm(hWndMain, m_atomGrabHotKey, bEnabled ? m_dwGrabHotKey : 0);
}

//--- CPropPageText

CPropPageText::CPropPageText() : CPropertyPage(IDD_PREFS_TEXT) {}

//--- CPropPageSpeech

BEGIN_MESSAGE_MAP(CPropPageSpeech, CPrefPage)
    ON_BN_CLICKED(IDC_PREFS_VOICE, OnVoiceRecognition)
END_MESSAGE_MAP()

CPropPageSpeech::CPropPageSpeech() : CPrefPage(IDD_PREFS_SPEECH, 0) {}

void CPropPageSpeech::LoadFrom(const COzuPrefs& prefs)
{
    m_nVoiceRecognition = prefs.m_dwVoiceRecognition ? 1 : 0;
}

void CPropPageSpeech::StoreTo(COzuPrefs& prefs) const
{
    prefs.m_dwVoiceRecognition = m_nVoiceRecognition;
}

void CPropPageSpeech::DoDataExchange(CDataExchange* pDX)
{
    DDX_Check(pDX, IDC_PREFS_VOICE, m_nVoiceRecognition);
}

void CPropPageSpeech::OnVoiceRecognition()
{
    SetModified(TRUE);
}
