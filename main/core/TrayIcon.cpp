#include "TrayIcon.h"

#include "Datastore.h"
#include "OzuPrefs.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"

namespace {

const int kTipChars = 64;
const int kMenuTextChars = 256;

} // namespace

CString QuiMenuTextWithHotKey(const CString& itemText, const CString& hotKeyName)
{
    CString text = itemText;
    int tab = text.Find('\t');
    if (tab >= 0)
        text = text.Left(tab);
    if (!hotKeyName.IsEmpty())
        text += "\t" + hotKeyName;
    return text;
}

CTrayIcon::CTrayIcon(UINT nIconId)
{
    ZeroMemory(&m_nid, sizeof m_nid);
    m_nid.cbSize = sizeof m_nid;
    m_nid.uID = nIconId;
}

CTrayIcon::~CTrayIcon()
{
    SetIcon(0);
}

void CTrayIcon::SetNotificationWnd(CWnd* pWnd, UINT nMessage)
{
    m_nid.hWnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
    m_nid.uCallbackMessage = nMessage;
}

BOOL CTrayIcon::Notify(DWORD dwMessage, NOTIFYICONDATAA* pData)
{
    return ::Shell_NotifyIconA(dwMessage, pData);
}

BOOL CTrayIcon::SetIcon(UINT nResId)
{
    if (nResId == 0) {
        if (!m_bShown)
            return TRUE;
        m_nid.uFlags = 0;
        BOOL bResult = Notify(NIM_DELETE, &m_nid);
        m_bShown = FALSE;
        return bResult;
    }
    CString tip;
    tip.LoadString(nResId);
    lstrcpynA(m_nid.szTip, tip, kTipChars);
    HICON hIcon = static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nResId), IMAGE_ICON,
                                                   ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
    m_nid.hIcon = hIcon;
    m_nid.uFlags = NIF_ICON;
    if (m_nid.szTip[0])
        m_nid.uFlags |= NIF_TIP;
    if (m_nid.hWnd && m_nid.uCallbackMessage)
        m_nid.uFlags |= NIF_MESSAGE;
    BOOL bResult = Notify(m_bShown ? NIM_MODIFY : NIM_ADD, &m_nid);
    // The shell keeps its own copy of the icon.
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
    m_hIcon = hIcon;
    m_bShown = bResult;
    return bResult;
}

BOOL CTrayIcon::SetTip(LPCTSTR lpszTip)
{
    CString tip = lpszTip;
    if (tip.IsEmpty())
        tip.LoadString(IDR_TRAY);
    lstrcpynA(m_nid.szTip, tip, kTipChars);
    if (!m_bShown)
        return FALSE;
    m_nid.uFlags = NIF_TIP;
    return Notify(NIM_MODIFY, &m_nid);
}

LRESULT CTrayIcon::OnTrayNotification(WPARAM wParam, LPARAM lParam)
{
    if (wParam != m_nid.uID || (lParam != WM_RBUTTONUP && lParam != WM_LBUTTONDBLCLK))
        return 0;
    CMenu menu;
    if (!menu.LoadMenu(m_nid.uID))
        return 0;
    CMenu* pPopup = menu.GetSubMenu(0);
    if (!pPopup)
        return 0;
    CWnd* pOwner = CWnd::FromHandle(m_nid.hWnd);
    if (lParam == WM_LBUTTONDBLCLK) {
        if (m_nid.hWnd)
            ::PostMessage(m_nid.hWnd, WM_COMMAND, pPopup->GetMenuItemID(0), 0);
        return 1;
    }
    ShowMenu(pPopup, pOwner);
    return 1;
}

void CTrayIcon::ShowMenu(CMenu* pPopup, CWnd* pOwner)
{
    // The menu shows the new-note hot key in force now.
    CString itemText;
    pPopup->GetMenuString(ID_TRAY_NEW_NOTE, itemText, MF_BYCOMMAND);
    if (itemText.GetLength() >= kMenuTextChars)
        itemText = itemText.Left(kMenuTextChars - 1);
    CString hotKey;
    CQuillmateApp* app = QuiGetApp();
    COzuPrefs* prefs = app ? app->GetPrefs() : nullptr;
    if (prefs)
        prefs->GetHotKeyName(prefs->m_dwNewHotKey, hotKey);
    pPopup->ModifyMenu(ID_TRAY_NEW_NOTE, MF_BYCOMMAND | MF_STRING, ID_TRAY_NEW_NOTE,
                       QuiMenuTextWithHotKey(itemText, hotKey));
    pPopup->SetDefaultItem(0, TRUE);
    // What would replace the datastore or the browser waits for the filing
    // or resend that is using them.
    if (app && app->IsWaiting()) {
        pPopup->EnableMenuItem(ID_TRAY_PREFERENCES, MF_BYCOMMAND | MF_GRAYED);
        pPopup->EnableMenuItem(ID_TRAY_RELOAD, MF_BYCOMMAND | MF_GRAYED);
    }
    CDatastore* datastore = app ? app->GetDatastore() : nullptr;
    if (datastore)
        datastore->AddTrayMenuItems(pPopup, TRUE);
    TrackMenu(pPopup, pOwner);
    if (datastore)
        datastore->OnTrayMenuClosed(pPopup, TRUE);
}

void CTrayIcon::TrackMenu(CMenu* pPopup, CWnd* pOwner)
{
    POINT pt;
    ::GetCursorPos(&pt);
    if (pOwner)
        pOwner->SetForegroundWindow();
    pPopup->TrackPopupMenu(TPM_RIGHTBUTTON, pt.x, pt.y, pOwner);
    // The menu closes properly only when the owner sees a message after it.
    if (pOwner)
        pOwner->PostMessage(WM_NULL, 0, 0);
}
