// The tip of the day (dialog 111): the tips of "tips.txt" in the program's
// folder one after the other, and whether to show them at start-up. Where
// the file was read up to is kept in the settings, so the next showing
// carries on there until the file changes.
#pragma once
#include <afxquill.h>

#include "ClientRegistry.h"
#include "TipFile.h"

class CTipDlg : public CDialog {
public:
    enum { IDD = 111 };

    // Reads the start-up flag and the first tip from the program's tips file.
    explicit CTipDlg(ClientRegistry& settings, CWnd* pParent = nullptr);
    // The same with another tips file.
    CTipDlg(ClientRegistry& settings, LPCTSTR lpszTipFile, CWnd* pParent = nullptr);
    // Keeps the position in the file for the next showing.
    ~CTipDlg() override;

    const CString& GetTipText() const { return m_strTip; }
    BOOL GetStartup() const { return m_bStartup; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnNextTip();
    afx_msg void OnPaint();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

private:
    void OpenTips(LPCTSTR lpszTipFile);
    void ReadNextTip();

    ClientRegistry& m_settings;
    int m_bStartup = TRUE;
    CString m_strTip;
    CTipFile m_file;
    CToolTipCtrl m_toolTip;
};
