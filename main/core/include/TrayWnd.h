// CTrayWnd: the program's hidden main window. It owns the tray icon, hears
// the two global hot keys, the new-note broadcast of a second start, the
// update notification and the tray menu's commands, and turns them into the
// application's actions.
#pragma once
#include <afxquill.h>

#include "TrayIcon.h"

class CSavedNote;
class CTipDlg;

// Registered message numbers shared by the application and its tray window.
extern UINT QUI_NAN_MSG;     // "QUI_NAN_MSG": open a new note
extern UINT QUI_UPD_NOTIF;   // "QUI_UPD_NOTIF": apply the updated files

class CTrayWnd : public CFrameWnd {
    DECLARE_DYNAMIC(CTrayWnd)
public:
    enum { WM_TRAY_ICON = WM_USER, WM_TRAY_TIP_DUE = WM_USER + 1, WM_TRAY_SAVED_NOTE = WM_USER + 200,
           WM_TRAY_UPDATE_DONE = WM_USER + 0x200 };

    // The update hand-off's side: what "apply the updated files" runs. Until
    // it is installed the notification is answered and nothing is applied.
    typedef LRESULT (*UpdateNotifyHandler)(CTrayWnd* pTrayWnd, WPARAM wParam, LPARAM lParam);
    static void SetUpdateNotifyHandler(UpdateNotifyHandler pfn) { s_pfnUpdateNotify = pfn; }
    // The selection grab's side: the selected text of the program in front.
    // Until it is installed a note from the selection opens empty.
    typedef BOOL (*SelectionGrabber)(CString& text);
    static void SetSelectionGrabber(SelectionGrabber pfn) { s_pfnGrab = pfn; }
    // Set when the user asked for the update by the menu.
    static BOOL s_bUpdateAskedByUser;

    // Saved-note confirmations wait in the tray's own queue: a note queues
    // its dialog and posts WM_TRAY_SAVED_NOTE with the ticket it got, since
    // any program can post that message and no pointer may cross it.
    // QueueSavedNote takes the dialog over; the ticket is never 0.
    static UINT_PTR QueueSavedNote(CSavedNote* pDialog);
    // The ticket's dialog, out of the queue and the caller's; null for a
    // ticket the queue does not hold.
    static CSavedNote* TakeSavedNote(UINT_PTR nTicket);
    // Deletes the dialogs that still wait.
    static void DiscardSavedNotes();

    CTrayWnd();
    ~CTrayWnd() override;

    // Icon and tip nResId; 0 removes the icon.
    BOOL SetTrayIcon(UINT nResId);
    void SetTipText(UINT nStringId);
    void ShowTip(BOOL bStartup);
    CTrayIcon& GetTrayIcon() { return *m_pTrayIcon; }

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT) override;

protected:
    // Replaces the icon object (tests watch the shell calls); owned.
    void SetTrayIconObject(CTrayIcon* pIcon);
    // The help object that shows a context; tests record instead.
    virtual void ShowHelp(DWORD dwContextId, UINT nCmd);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg LRESULT OnTrayIconMessage(WPARAM wParam, LPARAM lParam);
    afx_msg void OnNewNote();
    afx_msg void OnNoteFromSelection();
    afx_msg LRESULT OnHotKey(WPARAM wParam, LPARAM lParam);
    afx_msg void OnPreferences();
    afx_msg void OnInformation();
    afx_msg void OnReload();
    afx_msg void OnItemViewer();
    afx_msg void OnHelpCommand();
    afx_msg void OnOpenBackEnd();
    afx_msg void OnTipOfTheDay();
    afx_msg LRESULT OnTipDue(WPARAM wParam, LPARAM lParam);
    afx_msg void OnQuickStart();
    afx_msg LRESULT OnSavedNote(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    afx_msg LRESULT OnUpdateNotify(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnNewNoteMessage(WPARAM wParam, LPARAM lParam);
    afx_msg void OnUpdateNow();
    afx_msg void OnEditionCommand(UINT nId);
    // Logoff and shut-down ask the exit command's questions; the end of the
    // session runs the exit's shut-down.
    afx_msg LRESULT OnQueryEndSession(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);
    BOOL OnPhraseHeard(LPCTSTR lpszPhrase, long nCommand, BSTR* pReply, BOOL* pHandled, LPCTSTR lpszSpeaker,
                       LPCTSTR lpszContext);
    void PostNcDestroy() override;

    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()

private:
    static UpdateNotifyHandler s_pfnUpdateNotify;
    static SelectionGrabber s_pfnGrab;

    CTrayIcon* m_pTrayIcon;
    CTipDlg* m_pTipDlg = nullptr;
};
