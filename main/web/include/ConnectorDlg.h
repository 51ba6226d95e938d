// The connector dialogs: CConnectorDlg shows the web connectors by service
// type in check-box lists and enables or disables those the user changed;
// CConnectorInfoDlg lists the web actions of the enabled connectors with
// their versions.
#pragma once
#include <afxquill.h>

#include <list>
#include <set>
#include <string>
#include <vector>

#include "WebActionHandler.h"
#include "WebConnector.h"

// A list view with no behaviour of its own beyond the framework's.
class CConnectorListCtrl : public CListCtrl {};

class CConnectorDlg : public CDialog {
public:
    enum { flagChanged = 0x1, flagEnabled = 0x2 };

    // One connector of the dialog: a copy, and its flags.
    struct Entry {
        CWebConnectorDef connector;
        UINT flags = 0;
    };

    explicit CConnectorDlg(CWebActionHandler& handler, CWnd* pParent = nullptr);
    ~CConnectorDlg() override;

    // The open dialog; null when none is.
    static CConnectorDlg* GetOpen() { return s_pOpen; }
    // Set when OK enabled or disabled a connector, or found one already so;
    // not for connectors whose file could not be moved or was not found.
    BOOL HasAppliedChanges() const { return m_bApplied; }

    std::list<Entry>& GetEntries() { return m_entries; }
    int GetTabCount() const { return static_cast<int>(m_tabs.size()); }
    CString GetTabName(int nTab) const;
    CConnectorListCtrl* GetTabList(int nTab) const;
    CConnectorListCtrl* GetShownList() const { return m_pShown; }
    // The entry a row of a tab's list stands for.
    Entry* GetRowEntry(CConnectorListCtrl* pList, int nRow) const;
    // Shows the tab's list as a change of the tab control's selection does.
    void SelectTab(int nTab);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    afx_msg void OnTabChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnApply();
    afx_msg void OnCancelCommand();
    afx_msg void OnHelp();
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnDestroy();
    afx_msg LRESULT OnTellFileMates(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    class CTabs;
    // Posted, so that the note comes after the list has finished with the click.
    enum { WM_TELL_FILE_MATES = WM_APP + 1 };

    void FillEntries();
    void AddTab(const CString& name);
    void ShowTab(int nTab);
    void RowChanged(CConnectorListCtrl* pList, int nRow);
    void ShowDescriptions(const Entry& entry);
    CString TabNameOf(const Entry& entry) const;
    // A definition file moves as a whole: every row of its connectors takes
    // the state, and the first change of a file that holds others says so.
    void CheckRowsOfFile(const CString& path, bool checked);
    void TellFileMates(const Entry& entry);

    static CConnectorDlg* s_pOpen;

    CWebActionHandler& m_handler;
    std::list<Entry> m_entries;
    CTabs* m_pTabCtrl = nullptr;
    std::vector<CConnectorListCtrl*> m_tabs;
    CConnectorListCtrl* m_pShown = nullptr;
    CString m_strOther;
    HICON m_hIcon = nullptr;
    BOOL m_bApplied = FALSE;
    BOOL m_bReady = FALSE;
    std::set<std::string> m_toldFiles;
    CString m_strFileMatesNote;
};

class CConnectorInfoDlg : public CDialog {
public:
    explicit CConnectorInfoDlg(CWebActionHandler& handler, CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;

private:
    CWebActionHandler& m_handler;
};

// The Advanced page's connectors button: activates the open dialog, or runs
// one owned by pParent over the application's datastore; when it ends with
// OK and changed connectors, the web action items are bound to the moved
// records at once. TRUE then.
BOOL QuiRunConnectorDlg(CWnd* pParent = nullptr);
// The splash window's connectors button.
void QuiRunConnectorInfoDlg(CWnd* pParent);
// Installs both with the windows that open them.
void QuiInstallConnectorDialogs();
