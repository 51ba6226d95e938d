// Dialogs from templates of the resource handle, and data exchange between
// a dialog's members and its controls.
#pragma once

#include "Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);
    BOOL m_bSaveAndValidate;       // TRUE: controls to members
    CWnd* m_pDlgWnd;
    HWND PrepareCtrl(int nIDC);    // the control; a missing one fails the exchange
    HWND PrepareEditCtrl(int nIDC);
    // Ends the exchange: the focus goes to the last control prepared (an edit
    // gets its text selected) and UpdateData returns FALSE.
    [[noreturn]] void Fail();

private:
    HWND m_hWndLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;
};

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// A text that is not a whole number is refused with a message and fails the exchange.
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// nIDC is the first radio button of its group; value is the index of the
// checked one in the group, -1 when none is.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// Into the control: selects the entry equal to value (none when absent);
// out: the selected entry's text, empty when none is selected.
void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value);
// Binds a member control object to the dialog's control on the first exchange.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Modeless; shown when its template is visible. EndDialog destroys it.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // Runs the dialog with its owner (the parent, else the main window)
    // disabled; every message passes PreTranslateMessage. The result of
    // EndDialog, or -1 when the template is missing or the dialog cannot be made.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();           // data into the controls; TRUE lets the system set the focus
    virtual void OnOK();                   // IDOK: data out, then EndDialog(IDOK) unless that failed
    virtual void OnCancel();               // IDCANCEL and closing: EndDialog(IDCANCEL)
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    void GotoDlgCtrl(CWnd* pWndCtrl);
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The dialog procedure behind every framework dialog; the work is done in
    // the message map, ahead of it.
    static INT_PTR CALLBACK DlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LPCDLGTEMPLATE LoadTemplate(UINT nIDTemplate);   // from the resource handle
    // The top-level window that owns a modal window: the parent's, else the main window.
    static HWND OwnerForModal(CWnd* pParentWnd);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;
    BOOL m_bModal = FALSE;

    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
