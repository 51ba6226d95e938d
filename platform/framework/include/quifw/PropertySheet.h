// Property sheets of pages made from templates of the resource handle,
// run modally or modelessly.
#pragma once

#include <vector>

#include "Dialog.h"

#include <prsht.h>

class CPropertySheet;

class CPropertyPage : public CDialog {
    DECLARE_DYNAMIC(CPropertyPage)
public:
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);

    // The page's record; flags such as PSP_HASHELP may be added before the
    // sheet is made. The framework fills in the template and its own fields.
    PROPSHEETPAGE m_psp;

    void SetModified(BOOL bChanged = TRUE);    // enables or disables Apply
    // Each activation after the first puts the members into the controls again.
    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();               // data out of the controls; FALSE keeps the page
    virtual BOOL OnApply();                    // OnOK, then TRUE
    void OnOK() override;                      // nothing: the page does not end the sheet
    void OnCancel() override;
    virtual void OnReset();                    // Cancel pressed: OnCancel
    virtual BOOL OnQueryCancel();              // FALSE refuses the Cancel
    BOOL PreTranslateMessage(MSG* pMsg) override;   // the sheet handles the keys

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    friend class CPropertySheet;
    CString m_strCaption;
    BOOL m_bFirstSetActive = TRUE;
};

class CPropertySheet : public CWnd {
    DECLARE_DYNAMIC(CPropertySheet)
public:
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

    // The sheet's header; flags such as PSH_NOAPPLYNOW or PSH_HASHELP may be
    // added before the sheet is made.
    PROPSHEETHEADER m_psh;

    void AddPage(CPropertyPage* pPage);        // before or after the sheet is made
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(const CPropertyPage* pPage) const;   // -1 when not added
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);
    BOOL PressButton(int nButton);             // PSBTN_OK, PSBTN_APPLYNOW, ...

    // IDOK or IDCANCEL; -1 when the sheet cannot be made. The owner is
    // disabled meanwhile and every message passes PreTranslateMessage.
    virtual INT_PTR DoModal();
    // Modeless: shown at once; when OK or Cancel ends it the window destroys
    // itself (the object stays its creator's unless PostNcDestroy deletes it).
    // dwStyle (DWORD)-1 keeps the template's style; dwExStyle is added to it.
    BOOL Create(CWnd* pParentWnd = nullptr, DWORD dwStyle = static_cast<DWORD>(-1), DWORD dwExStyle = 0);
    void EndDialog(int nEndID);                // ends DoModal, or destroys a modeless sheet

    // The system's own set-up of the sheet (tabs, first page).
    virtual BOOL OnInitDialog();
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    std::vector<CPropertyPage*> m_pages;
    std::vector<PROPSHEETPAGE> m_records;
    CString m_strCaption;
    CWnd* m_pParentWnd;
    UINT m_nStartPage;
    DWORD m_dwStyle = static_cast<DWORD>(-1);
    DWORD m_dwExStyle = 0;
    BOOL m_bModal = FALSE;
    BOOL m_bInitialized = FALSE;

    void CommonConstruct(CWnd* pParentWnd, UINT iSelectPage);
    PROPSHEETPAGE BuildRecord(CPropertyPage* pPage) const;
    HWND Build(HWND hWndOwner);
    void EndIfClosed(UINT message, WPARAM wParam);
    static int CALLBACK SheetCallback(HWND hWnd, UINT message, LPARAM lParam);
    static UINT CALLBACK PageCallback(HWND hWnd, UINT message, LPPROPSHEETPAGE pPage);
};
