#include "TrayWnd.h"

#include "ActionNote.h"
#include "ClientRegistry.h"
#include "Datastore.h"
#include "KestrelViewerDlg.h"
#include "NoteDialogs.h"
#include "NoteManager.h"
#include "NoteWnd.h"
#include "OzuApp.h"
#include "OzuPrefs.h"
#include "OzuPropSheet.h"
#include "QuiResIds.h"
#include "QuillmateHelp.h"
#include "SplashWnd.h"
#include "TipDlg.h"
#include "WindowUtil.h"

#include <deque>
#include <memory>
#include <utility>

UINT QUI_UPD_NOTIF = 0;

CTrayWnd::UpdateNotifyHandler CTrayWnd::s_pfnUpdateNotify = nullptr;
CTrayWnd::SelectionGrabber CTrayWnd::s_pfnGrab = nullptr;
BOOL CTrayWnd::s_bUpdateAskedByUser = FALSE;

namespace {

// Guards against a hot key pressed again while its note is being made.
BOOL s_bInNewNote = FALSE;
BOOL s_bInNoteFromSelection = FALSE;

class CReentryGuard {
public:
    explicit CReentryGuard(BOOL& flag) : m_flag(flag), m_bEntered(!flag) { m_flag = TRUE; }
    ~CReentryGuard()
    {
        if (m_bEntered)
            m_flag = FALSE;
    }
    BOOL Entered() const { return m_bEntered; }

private:
    BOOL& m_flag;
    BOOL m_bEntered;
};

// The saved-note confirmations that wait for the tray window, by ticket.
struct SavedNotes {
    std::deque<std::pair<UINT_PTR, CSavedNote*>> waiting;
    UINT_PTR lastTicket = 0;
};

SavedNotes& WaitingSavedNotes()
{
    static SavedNotes notes;
    return notes;
}

BOOL RefuseAnotherNote(UINT nType)
{
    CQuillmateApp* app = QuiGetApp();
    CNoteManager* manager = app ? app->GetNoteManager() : nullptr;
    return manager && manager->RefuseNewNote(nType);
}

void BringToFront(CActionNote* note)
{
    CNoteWnd* wnd = note ? note->GetNoteWnd() : nullptr;
    if (wnd && wnd->GetSafeHwnd())
        wnd->SetForegroundWindow();
}

} // namespace

IMPLEMENT_DYNAMIC(CTrayWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CTrayWnd, CFrameWnd)
    ON_WM_CREATE()
    ON_MESSAGE(WM_TRAY_ICON, OnTrayIconMessage)
    ON_COMMAND(ID_TRAY_NEW_NOTE, OnNewNote)
    ON_COMMAND(ID_TRAY_NOTE_FROM_SELECTION, OnNoteFromSelection)
    ON_MESSAGE(WM_HOTKEY, OnHotKey)
    ON_COMMAND(ID_TRAY_PREFERENCES, OnPreferences)
    ON_COMMAND(ID_TRAY_INFO, OnInformation)
    ON_COMMAND(ID_TRAY_RELOAD, OnReload)
    ON_COMMAND(ID_TRAY_ITEM_VIEWER, OnItemViewer)
    ON_COMMAND(ID_TRAY_HELP, OnHelpCommand)
    ON_COMMAND(ID_TRAY_OPEN_PIM, OnOpenBackEnd)
    ON_COMMAND(ID_TRAY_TIP, OnTipOfTheDay)
    ON_MESSAGE(WM_TRAY_TIP_DUE, OnTipDue)
    ON_COMMAND(ID_TRAY_QUICK_START, OnQuickStart)
    ON_MESSAGE(WM_TRAY_SAVED_NOTE, OnSavedNote)
    ON_WM_SETTINGCHANGE()
    ON_MESSAGE(WM_TRAY_UPDATE_DONE, OnUpdateNotify)
    ON_REGISTERED_MESSAGE(QUI_UPD_NOTIF, OnUpdateNotify)
    ON_REGISTERED_MESSAGE(QUI_NAN_MSG, OnNewNoteMessage)
    ON_COMMAND(ID_TRAY_UPDATE_NOW, OnUpdateNow)
    ON_COMMAND_RANGE(ID_TRAY_EDITION_FIRST, ID_TRAY_EDITION_LAST, OnEditionCommand)
    ON_MESSAGE(WM_QUERYENDSESSION, OnQueryEndSession)
    ON_MESSAGE(WM_ENDSESSION, OnEndSession)
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CTrayWnd, CFrameWnd)
    ON_EVENT(CTrayWnd, IDC_SPEECH_PHRASES, 1, OnPhraseHeard, VTS_BSTR VTS_I4 VTS_PBSTR VTS_PBOOL VTS_BSTR VTS_BSTR)
END_EVENTSINK_MAP()

CTrayWnd::CTrayWnd() : m_pTrayIcon(new CTrayIcon(IDR_TRAY))
{
    if (!QUI_UPD_NOTIF)
        QUI_UPD_NOTIF = ::RegisterWindowMessageA("QUI_UPD_NOTIF");
}

CTrayWnd::~CTrayWnd()
{
    delete m_pTrayIcon;
    DiscardSavedNotes();
}

UINT_PTR CTrayWnd::QueueSavedNote(CSavedNote* pDialog)
{
    if (!pDialog)
        return 0;
    SavedNotes& notes = WaitingSavedNotes();
    if (++notes.lastTicket == 0)
        notes.lastTicket = 1;
    notes.waiting.emplace_back(notes.lastTicket, pDialog);
    return notes.lastTicket;
}

CSavedNote* CTrayWnd::TakeSavedNote(UINT_PTR nTicket)
{
    SavedNotes& notes = WaitingSavedNotes();
    for (auto it = notes.waiting.begin(); it != notes.waiting.end(); ++it) {
        if (it->first == nTicket) {
            CSavedNote* dialog = it->second;
            notes.waiting.erase(it);
            return dialog;
        }
    }
    return nullptr;
}

void CTrayWnd::DiscardSavedNotes()
{
    SavedNotes& notes = WaitingSavedNotes();
    while (!notes.waiting.empty()) {
        delete notes.waiting.front().second;
        notes.waiting.pop_front();
    }
}

void CTrayWnd::SetTrayIconObject(CTrayIcon* pIcon)
{
    delete m_pTrayIcon;
    m_pTrayIcon = pIcon;
}

BOOL CTrayWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    return CFrameWnd::PreCreateWindow(cs) ? TRUE : FALSE;
}

void CTrayWnd::PostNcDestroy()
{
    CFrameWnd::PostNcDestroy();
    delete this;
}

LRESULT CTrayWnd::OnQueryEndSession(WPARAM, LPARAM lParam)
{
    CQuillmateApp* app = QuiGetApp();
    return !app || app->OnQueryEndSession(lParam);
}

LRESULT CTrayWnd::OnEndSession(WPARAM wParam, LPARAM)
{
    if (CQuillmateApp* app = QuiGetApp())
        app->OnEndSession(wParam != FALSE);
    return 0;
}

int CTrayWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    CQuillmateApp* app = QuiGetApp();
    COzuPrefs* prefs = app ? app->GetPrefs() : nullptr;
    if (prefs)
        prefs->Apply();
    SetWindowContextHelpId(0);
    return 0;
}

BOOL CTrayWnd::SetTrayIcon(UINT nResId)
{
    m_pTrayIcon->SetNotificationWnd(this, WM_TRAY_ICON);
    return m_pTrayIcon->SetIcon(nResId);
}

void CTrayWnd::SetTipText(UINT nStringId)
{
    CString tip;
    tip.LoadString(nStringId);
    m_pTrayIcon->SetTip(tip);
}

LRESULT CTrayWnd::OnTrayIconMessage(WPARAM wParam, LPARAM lParam)
{
    CQuillmateApp* app = QuiGetApp();
    BOOL bBoxOpen = app && app->GetModalBoxCount() > 0;
    if (!IsWindowEnabled() && !bBoxOpen)
        return 1;
    return m_pTrayIcon->OnTrayNotification(wParam, lParam);
}

void CTrayWnd::OnNewNote()
{
    CReentryGuard guard(s_bInNewNote);
    if (!guard.Entered())
        return;
    if (RefuseAnotherNote(MB_ICONEXCLAMATION | MB_SYSTEMMODAL))
        return;
    CQuillmateApp* app = QuiGetApp();
    if (app)
        app->NewNote();
    PostMessage(WM_TRAY_TIP_DUE);
}

LRESULT CTrayWnd::OnNewNoteMessage(WPARAM, LPARAM)
{
    OnNewNote();
    return 1;
}

void CTrayWnd::OnNoteFromSelection()
{
    CReentryGuard guard(s_bInNoteFromSelection);
    if (!guard.Entered())
        return;
    if (RefuseAnotherNote(MB_ICONEXCLAMATION))
        return;
    CString text;
    BOOL bGrabbed = s_pfnGrab && s_pfnGrab(text);
    CQuillmateApp* app = QuiGetApp();
    CActionNote* note = app ? app->NewNote() : nullptr;
    PumpWaitingMessages(nullptr);
    // The pump may have closed the note again.
    if (bGrabbed && note && app->GetNoteManager() && app->GetNoteManager()->IsListed(note))
        note->SetNoteText(text);
}

LRESULT CTrayWnd::OnHotKey(WPARAM wParam, LPARAM)
{
    CQuillmateApp* app = QuiGetApp();
    COzuPrefs* prefs = app ? app->GetPrefs() : nullptr;
    if (wParam == 0 || !prefs)
        return 0;
    if (wParam == prefs->m_atomNewHotKey)
        PostMessage(WM_COMMAND, ID_TRAY_NEW_NOTE, 0);
    else if (wParam == prefs->m_atomGrabHotKey)
        PostMessage(WM_COMMAND, ID_TRAY_NOTE_FROM_SELECTION, 0);
    return 0;
}

void CTrayWnd::OnPreferences()
{
    // Greyed in the menu while a filing waits; a command sent anyway is refused.
    CQuillmateApp* app = QuiGetApp();
    if (app && app->IsWaiting()) {
        ::MessageBeep(MB_OK);
        return;
    }
    ShowPreferences(QUI_PREFS_PAGE_BASIC);
}

void CTrayWnd::OnInformation()
{
    ShowSplash(this, TRUE);
}

void CTrayWnd::OnItemViewer()
{
    QuiOpenKestrelViewer(FALSE);
}

void CTrayWnd::OnReload()
{
    if (COzuApp* app = QuiGetOzuApp())
        app->ReloadDatastore(1, FALSE);
}

void CTrayWnd::OnHelpCommand()
{
    WinHelp(0, HELP_CONTEXT);
}

void CTrayWnd::OnQuickStart()
{
    WinHelp(CQuillmateHelp::kQuickStartContext, HELP_FORCEFILE);
}

void CTrayWnd::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    DWORD dwContext = static_cast<DWORD>(dwData);
    if (nCmd != HELP_FORCEFILE) {
        HWND hActive = ::GetActiveWindow();
        dwContext = hActive ? ::GetWindowContextHelpId(hActive) : 0;
    }
    ShowHelp(dwContext, nCmd);
}

void CTrayWnd::ShowHelp(DWORD dwContextId, UINT nCmd)
{
    static CQuillmateHelp help;
    help.ShowHelp(dwContextId, nCmd);
}

void CTrayWnd::OnOpenBackEnd()
{
    CQuillmateApp* app = QuiGetApp();
    if (CDatastore* datastore = app ? app->GetDatastore() : nullptr)
        datastore->OpenBackEnd();
}

void CTrayWnd::OnTipOfTheDay()
{
    ShowTip(FALSE);
}

LRESULT CTrayWnd::OnTipDue(WPARAM, LPARAM)
{
    CQuillmateApp* app = QuiGetApp();
    if (app && app->GetSettingDword(ClientRegistry::TipStartup) != 0)
        ShowTip(TRUE);
    return 1;
}

void CTrayWnd::ShowTip(BOOL bStartup)
{
    CQuillmateApp* app = QuiGetApp();
    ClientRegistry* settings = app ? app->GetSettings() : nullptr;
    if (!settings)
        return;
    double today = app->GetCurrentTime().m_dt;
    if (bStartup && today - static_cast<double>(app->GetSettingDword(ClientRegistry::TipLastShown)) < 1.0)
        return;
    if (m_pTipDlg) {
        m_pTipDlg->SetForegroundWindow();
        return;
    }
    m_pTipDlg = new CTipDlg(*settings, this);
    app->BeginModalBox();
    m_pTipDlg->DoModal();
    app->EndModalBox();
    delete m_pTipDlg;
    m_pTipDlg = nullptr;
    app->SetSettingDword(ClientRegistry::TipLastShown, static_cast<DWORD>(today));
    BringToFront(app->GetCurrentNote());
}

LRESULT CTrayWnd::OnSavedNote(WPARAM, LPARAM lParam)
{
    std::unique_ptr<CSavedNote> dialog(TakeSavedNote(static_cast<UINT_PTR>(lParam)));
    if (!dialog)
        return 1;
    dialog->DoModal();
    CQuillmateApp* app = QuiGetApp();
    if (app && dialog->GetDontShowAgain())
        app->SetSettingDword(ClientRegistry::HideSavedNoteDlg, 1);
    return 1;
}

void CTrayWnd::OnSettingChange(UINT uFlags, LPCTSTR lpszSection)
{
    CFrameWnd::OnSettingChange(uFlags, lpszSection);
    if (COzuApp* app = QuiGetOzuApp())
        app->ReloadDatastore(0, FALSE);
}

LRESULT CTrayWnd::OnUpdateNotify(WPARAM wParam, LPARAM lParam)
{
    return s_pfnUpdateNotify ? s_pfnUpdateNotify(this, wParam, lParam) : 0;
}

void CTrayWnd::OnUpdateNow()
{
    s_bUpdateAskedByUser = TRUE;
    if (COzuApp* app = QuiGetOzuApp())
        app->RunUpdater();
}

void CTrayWnd::OnEditionCommand(UINT nId)
{
    CQuillmateApp* app = QuiGetApp();
    if (CDatastore* datastore = app ? app->GetDatastore() : nullptr)
        datastore->OnTrayMenuCommand(nId);
}

BOOL CTrayWnd::OnPhraseHeard(LPCTSTR, long nCommand, BSTR*, BOOL* pHandled, LPCTSTR, LPCTSTR)
{
    // Closing or filing a note needs a note the user is working in.
    if (nCommand == ID_DEST_CLOSE_NOTE || nCommand == ID_DEST_FILE) {
        CQuillmateApp* app = QuiGetApp();
        CActionNote* note = app ? app->GetCurrentNote() : nullptr;
        if (!note || !note->IsActive()) {
            if (pHandled)
                *pHandled = FALSE;
            return TRUE;
        }
    }
    if (pHandled)
        *pHandled = TRUE;
    PostMessage(WM_COMMAND, static_cast<WPARAM>(nCommand), 0);
    return TRUE;
}
