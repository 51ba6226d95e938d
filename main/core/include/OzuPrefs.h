// The program's working copy of the user's preferences, kept in the settings
// table, and the two global hot keys that the main window owns.
#pragma once
#include <afxquill.h>

class ClientRegistry;
class CVVPhrases;

// A hot-key value: the hot-key modifier flags (MOD_ALT 1, MOD_CONTROL 2,
// MOD_SHIFT 4, and 8 for an extended key) in the high word, the virtual key
// in the low word; 0 is no hot key.
enum { QUI_HOTKEY_EXTENDED = 8 };

// Registers dwValue under id for hWnd. The extended-key mark is a naming aid
// only: the system would take its bit for the Windows key.
BOOL QuiRegisterHotKey(HWND hWnd, int id, DWORD dwValue);
// Whether two hot-key values are one combination for the system; no hot key
// is never the same as another.
BOOL QuiIsSameHotKey(DWORD dwFirst, DWORD dwSecond);
// Appends the key names of dwValue ("Ctrl+Alt+N") to text; nothing for no
// hot key.
void QuiGetHotKeyName(DWORD dwValue, CString& text);

class COzuPrefs : public CCmdTarget {
public:
    // The preferences are read from and written to settings, which outlives them.
    explicit COzuPrefs(ClientRegistry& settings);
    ~COzuPrefs() override;

    // From the settings' in-memory values; also finds or adds the two
    // hot-key atoms. Returns 0.
    int Load();
    // Writes every editable preference to the registry at once; TRUE.
    BOOL Save();
    // Hot keys, then speech commands, as the preferences say; a message about
    // the hot keys is owned by hWndReport (else the main window).
    void Apply(HWND hWndReport = nullptr);
    // Registers both hot keys with the main window; a hot key held by
    // another program, or one combination given to both, is told in one
    // message owned by hWndReport (else the main window) when bReport. TRUE
    // when every hot key that has a value is registered.
    BOOL RegisterHotKeys(BOOL bReport, HWND hWndReport = nullptr);
    void UnregisterHotKeys();
    // Spoken commands on or off; nothing when already so.
    void SetSpeech(BOOL bOn);
    BOOL IsSpeechOn() const { return m_bSpeechOn; }
    // Appends the key names of dwValue ("Ctrl+Alt+N") to text; nothing while
    // hot keys are disabled or for no hot key.
    void GetHotKeyName(DWORD dwValue, CString& text) const;

    CString GetFirstName() const { return m_profile[FirstName]; }
    CString GetLastName() const { return m_profile[LastName]; }
    CString GetEmail() const { return m_profile[Email]; }
    CString GetAddress() const { return m_profile[Address]; }
    CString GetCity() const { return m_profile[City]; }
    CString GetState() const { return m_profile[State]; }
    CString GetCountry() const { return m_profile[Country]; }
    CString GetPostalCode() const { return m_profile[PostalCode]; }
    void SetFirstName(LPCTSTR text) { m_profile[FirstName] = text; }
    void SetLastName(LPCTSTR text) { m_profile[LastName] = text; }
    void SetEmail(LPCTSTR text) { m_profile[Email] = text; }
    void SetAddress(LPCTSTR text) { m_profile[Address] = text; }
    void SetCity(LPCTSTR text) { m_profile[City] = text; }
    void SetState(LPCTSTR text) { m_profile[State] = text; }
    void SetCountry(LPCTSTR text) { m_profile[Country] = text; }
    void SetPostalCode(LPCTSTR text) { m_profile[PostalCode] = text; }

    DWORD m_bHotKeysEnabled = 1;
    DWORD m_dwReturnKeyAction = 1;
    DWORD m_dwNewHotKey = 0;
    DWORD m_dwGrabHotKey = 0;
    DWORD m_dwSaveThenNew = 0;
    DWORD m_dwBrowser = 0;
    LONG m_nUpdateFreq = 0;          // days; 0 or less: no update check
    DWORD m_dwVoiceRecognition = 0;
    bool m_bSpeechInstalled = false;
    ATOM m_atomNewHotKey = 0;        // the hot keys' ids with the main window
    ATOM m_atomGrabHotKey = 0;
    DWORD m_dwShowPromptText = 1;
    DWORD m_dwConnectorWaitTimeout = 15;

private:
    enum ProfileText { FirstName, LastName, Email, Address, City, State, Country, PostalCode, ProfileCount };

    ClientRegistry& m_settings;
    // The speech phrase control while speech is on, owned.
    CVVPhrases* m_pSpeechPhrases = nullptr;
    BOOL m_bSpeechOn = FALSE;
    CString m_profile[ProfileCount];

    void TurnSpeechOn();
    void TurnSpeechOff();
};
