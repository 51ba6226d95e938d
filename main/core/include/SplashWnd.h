// The splash and information window: the splash picture with the program's
// version and the edition's name under it. At most one is open; it owns
// itself and goes when its window is destroyed.
#pragma once
#include <afxquill.h>

class CSplashWnd : public CWnd {
public:
    enum {
        IDC_CONNECTORS = 10001,
        kStripExtra = 25,              // pixels below the picture
        kAutomaticTimer = 1,
        kAutomaticMs = 3000,
    };

    // The open splash window; null when none is.
    static CSplashWnd* GetOpen() { return s_pOpen; }
    // Every message of the program passes here first while a splash window
    // is open; TRUE when the splash window took it.
    static BOOL PreTranslateAppMessage(MSG* pMsg);

    // Runs the connector information dialog modally over pParent. The web
    // side installs it; without one the splash window offers no button for it.
    typedef void (*ConnectorInfoRunner)(CWnd* pParent);
    static void SetConnectorInfoRunner(ConnectorInfoRunner pfnRun) { s_pfnConnectorInfo = pfnRun; }

    // The texts under the picture: message 57702 with the program file's
    // "FileVersion" ("unknown" without one), and message 60065 with the
    // edition's name (empty when that is empty).
    static CString FormatVersionText(LPCTSTR lpszModulePath);
    static CString FormatEditionText(LPCTSTR lpszEditionName);

    const CString& GetVersionText() const { return m_strVersion; }
    const CString& GetEditionText() const { return m_strEdition; }
    const CRect& GetTextStrip() const { return m_rcStrip; }
    BOOL IsManual() const { return m_bManual; }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnOK();
    afx_msg void OnConnectors();
    void PostNcDestroy() override;
    DECLARE_MESSAGE_MAP()

private:
    friend CSplashWnd* ShowSplash(CWnd* pParent, BOOL bManual);
    explicit CSplashWnd(BOOL bManual) : m_bManual(bManual) {}
    ~CSplashWnd() override;
    BOOL Create(CWnd* pParent);
    void CreateButtons(CFont* pFont);

    static CSplashWnd* s_pOpen;
    static ConnectorInfoRunner s_pfnConnectorInfo;

    CBitmap m_bitmap;
    CSize m_bitmapSize;
    BOOL m_bManual;
    CButton m_okButton;
    CButton m_connectorsButton;
    CString m_strVersion;
    CString m_strEdition;
    CRect m_rcStrip;
};

// Opens the splash window, or brings the open one to the front. Manual: it
// stays until its OK button (or Escape) closes it. Automatic: it closes by
// itself after a few seconds, or at the first key or click in the program.
// Null when the picture or the window cannot be made.
CSplashWnd* ShowSplash(CWnd* pParent, BOOL bManual);
