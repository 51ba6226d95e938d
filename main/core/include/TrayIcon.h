// CTrayIcon: the program's one icon in the notification area, its tip, and
// the pop-up menu it opens.
#pragma once
#include <afxquill.h>

#include <shellapi.h>

class CTrayIcon : public CCmdTarget {
public:
    explicit CTrayIcon(UINT nIconId);
    ~CTrayIcon() override;
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Icon messages come to pWnd as nMessage.
    void SetNotificationWnd(CWnd* pWnd, UINT nMessage);
    // Icon and tip nResId of the resource library; 0 removes the icon. The
    // shell's answer.
    BOOL SetIcon(UINT nResId);
    // The tip; the default tip (string 142) for an empty text.
    BOOL SetTip(LPCTSTR lpszTip);
    // The icon's click: a double click runs the menu's first item, a right
    // click shows the menu. 1 when handled.
    virtual LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);

    BOOL IsShown() const { return m_bShown; }
    UINT GetIconId() const { return m_nid.uID; }
    const char* GetTip() const { return m_nid.szTip; }

protected:
    // The shell call; tests see the records handed to it.
    virtual BOOL Notify(DWORD dwMessage, NOTIFYICONDATAA* pData);
    // Shows the pop-up at the cursor; the chosen command reaches the owner.
    virtual void TrackMenu(CMenu* pPopup, CWnd* pOwner);

private:
    void ShowMenu(CMenu* pPopup, CWnd* pOwner);

    NOTIFYICONDATAA m_nid;
    BOOL m_bShown = FALSE;
    HICON m_hIcon = nullptr;
};

// The new-note item's text for the menu: the text before its first tab,
// then a tab and the hot key's name when there is one.
CString QuiMenuTextWithHotKey(const CString& itemText, const CString& hotKeyName);
