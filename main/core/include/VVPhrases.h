// The speech phrase control: an outside ActiveX control that recognises
// spoken command phrases, held through its fixed dispatch ids, and the
// engine object it hands out.
#pragma once
#include <afxquill.h>

// Drives the object the phrase control returns from GetEngine.
class CVVPhraseDriver : public COleDispatchDriver {
public:
    CVVPhraseDriver() = default;
    explicit CVVPhraseDriver(LPDISPATCH lpDispatch, BOOL bAutoRelease = TRUE)
        : COleDispatchDriver(lpDispatch, bAutoRelease) {}

    void Start();                 // speech commands on
    void Stop();                  // speech commands off
    void SetActive(long active);  // 1 when turning on, 0 when turning off
};

class CVVPhrases : public CWnd {
public:
    // Creates the control in place; the class name is not used. FALSE when
    // the control is not installed or will not start.
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID);

    // Each member raises COleDispatchException when the control fails it.
    void SetListening(BOOL bOn);
    // The engine object, with a reference the caller owns.
    LPDISPATCH GetEngine() const;
    // Registers a spoken command; the object it answers is released at once.
    void AddPhrase(LPCTSTR lpszPhrase, long nCommand, LPCTSTR lpszSpoken, BOOL bEnabled);

    // Speech commands on: the control as a hidden child of pParent (control
    // id nID, 10 by 10 pixels at the origin), every item of the first pop-up
    // of menu nMenuID of the resource library registered as a phrase with
    // its command id, then the engine started and activated and the control
    // listening. Null when the control cannot be created. A dispatch
    // exception is passed on after the control made here is destroyed again.
    static CVVPhrases* TurnOn(CWnd* pParent, UINT nID, UINT nMenuID);
    // Speech commands off: the engine deactivated and stopped, then the
    // control's window destroyed and the wrapper deleted. When the control
    // fails a call the exception is passed on and the wrapper left as it
    // is, still the caller's.
    static void TurnOff(CVVPhrases* pPhrases);

private:
    void AddMenuPhrases(UINT nMenuID);
};
