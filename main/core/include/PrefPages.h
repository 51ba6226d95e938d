// The pages of the preferences sheet, and the hot-key control that lets the
// user type a combination the program itself holds as a global hot key.
#pragma once
#include <afxquill.h>

class COzuPrefs;

// A stored hot-key value (modifier flags in the high word, virtual key in the
// low word) as the hot-key control takes it: the key in the low byte, the
// control's HOTKEYF_ flags in the high byte; and back.
WORD QuiHotKeyToControl(DWORD dwValue);
DWORD QuiHotKeyFromControl(WORD wControl);
// A stored hot-key value that would take a key from every program the user
// types in: a key that types or moves the caret, without Ctrl or Alt. Keys
// that do neither (function keys, Pause, the browser and media keys) may
// stand alone.
BOOL QuiHotKeyNeedsModifier(DWORD dwValue);

// Where the proxy is set: the system's own while lpszSystemInet loads (a
// message says so), else the dialog of the download library lpszShrike.
// Both are owned by hWndOwner; while the dialog is up a second call shows
// nothing.
void QuiShowProxySettings(HWND hWndOwner, LPCTSTR lpszSystemInet = "wininet.dll",
                          LPCTSTR lpszShrike = "shrike.dll");

class CHotKeyCtrlSafe : public CHotKeyCtrl {
public:
    // The global hot key this control stands for: its owner window, id and value.
    void Arm(HWND hWndOwner, int nId, DWORD dwValue);
    DWORD GetValue() const { return QuiHotKeyFromControl(static_cast<WORD>(GetHotKey())); }
    void SetValue(DWORD dwValue);
    // A typing key pressed alone or with Shift alone comes out with Ctrl+Alt;
    // a key that may stand alone stays as pressed.
    void SetTypingRules();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The global hot key is let go while the control has the focus, so that
    // typing its combination reaches the control.
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()

private:
    HWND m_hWndOwner = nullptr;
    int m_nId = 0;
    DWORD m_dwValue = 0;
    BOOL m_bTypingRules = FALSE;
};

// What every page of the sheet shares: its copy of the preferences it shows,
// and its help topic on the sheet while it is the active page.
class CPrefPage : public CPropertyPage {
public:
    CPrefPage(UINT nIDTemplate, DWORD dwHelpContext);
    virtual void LoadFrom(const COzuPrefs& prefs) = 0;
    virtual void StoreTo(COzuPrefs& prefs) const = 0;
    BOOL OnSetActive() override;

private:
    DWORD m_dwHelpContext;
};

class CPropPageBasic : public CPrefPage {
public:
    CPropPageBasic();
    void LoadFrom(const COzuPrefs& prefs) override;
    void StoreTo(COzuPrefs& prefs) const override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnApply() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    int m_nHotKeysEnabled = 1;    // radio index: 0 off, 1 on
    int m_nReturnKeyAction = 1;
    DWORD m_dwNewHotKey = 0;
    DWORD m_dwGrabHotKey = 0;
    ATOM m_atomNewHotKey = 0;
    ATOM m_atomGrabHotKey = 0;
    int m_nSaveThenNew = 0;       // radio index: 0 off, 1 on
    int m_nShowPromptText = 1;
    CHotKeyCtrlSafe m_newHotKey;
    CHotKeyCtrlSafe m_grabHotKey;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnHotKeysSwitched();
    afx_msg void OnSaveThenNewSwitched();
    DECLARE_MESSAGE_MAP()

private:
    void EnableHotKeyControls(BOOL bEnable);
    void ArmHotKeys();
    // Refuses, with a message over the sheet, a hot key that needs Ctrl or
    // Alt, and one combination given to both.
    void RefuseUnusableHotKeys(CDataExchange* pDX);
    [[noreturn]] void RefuseHotKey(CDataExchange* pDX, int nIDC, UINT nIDFormat, DWORD dwValue);
};

// Built with the sheet but never shown.
class CPropPageText : public CPropertyPage {
public:
    CPropPageText();
};

class CPropPageSpeech : public CPrefPage {
public:
    CPropPageSpeech();
    void LoadFrom(const COzuPrefs& prefs) override;
    void StoreTo(COzuPrefs& prefs) const override;

    int m_nVoiceRecognition = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnVoiceRecognition();
    DECLARE_MESSAGE_MAP()
};

class CPropPageProfile : public CPrefPage {
public:
    CPropPageProfile();
    void LoadFrom(const COzuPrefs& prefs) override;
    void StoreTo(COzuPrefs& prefs) const override;
    BOOL OnInitDialog() override;

    // The names the two lists offer, in their order.
    static int GetStateCount();
    static LPCTSTR GetStateName(int nIndex);
    static LPCTSTR GetStateCode(int nIndex);
    static int GetCountryCount();
    static LPCTSTR GetCountryName(int nIndex);

    CString m_strFirstName;
    CString m_strLastName;
    CString m_strEmail;
    CString m_strAddress;
    CString m_strCity;
    CString m_strState;
    CString m_strCountry;
    CString m_strPostalCode;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

class CPropPageAdvanced : public CPrefPage {
public:
    // The web side's connector dialog: runs it modally, owned by pParent,
    // or activates the open one; TRUE when it ended with OK and connectors
    // changed. Without one the connectors button is disabled.
    typedef BOOL (*ConnectorDlgRunner)(CWnd* pParent);
    static void SetConnectorDlgRunner(ConnectorDlgRunner pfn) { s_pfnConnectorDlg = pfn; }

    CPropPageAdvanced();
    void LoadFrom(const COzuPrefs& prefs) override;
    void StoreTo(COzuPrefs& prefs) const override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;

    int m_nWaitTimeout = 15;
    int m_nBrowser = 0;           // 2 Netscape, 3 Internet Explorer
    int m_nUpdateFreq = 3;        // days; 0 or less: no update check

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnBrowserSwitched();
    afx_msg void OnUpdateCheck();
    afx_msg void OnProxy();
    afx_msg void OnItemViewer();
    afx_msg void OnConnectors();
    DECLARE_MESSAGE_MAP()

private:
    static ConnectorDlgRunner s_pfnConnectorDlg;
    BOOL m_bMarkModified = FALSE;
    int m_nReadUpdateFreq = 3;    // the frequency the registry held at the last showing

    void ShowUpdateFrequency();
    void EnableUpdateFrequency(BOOL bEnable);
};
