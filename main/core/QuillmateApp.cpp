#include "QuillmateApp.h"

#include <cstring>

#include "AboutDlg.h"
#include "ActionNote.h"
#include "ClientRegistry.h"
#include "Datastore.h"
#include "FlatButton.h"
#include "GdiUtil.h"
#include "NoteManager.h"
#include "NoteWnd.h"
#include "QuiImage.h"
#include "QuiResIds.h"
#include "SplashWnd.h"
#include "TextUtil.h"
#include "TrayWnd.h"
#include "URLHandler.h"

UINT QUI_NAN_MSG = 0;

IMPLEMENT_DYNAMIC(CQuillmateApp, CWinApp)

BEGIN_MESSAGE_MAP(CQuillmateApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

namespace {

// Palette-relative pure green: the transparent colour of the program's pictures.
const COLORREF kTransparentColor = 0x0200FF00;

} // namespace

CQuillmateApp::CQuillmateApp()
{
    if (!QUI_NAN_MSG)
        QUI_NAN_MSG = ::RegisterWindowMessageA("QUI_NAN_MSG");
    QuiURLHandler::SetQuitting(FALSE);
}
CQuillmateApp::~CQuillmateApp() { DeleteNoteManager(); }

COzuPrefs* CQuillmateApp::GetPrefs() { return nullptr; }
CDatastore* CQuillmateApp::GetDatastore() { return nullptr; }
QuiParserMgr* CQuillmateApp::GetParserMgr() { return nullptr; }

BOOL CQuillmateApp::IsFeature(int n)
{
    if (n == 5)
        return FALSE;
    CDatastore* datastore = GetDatastore();
    return datastore && datastore->HasFeature(n);
}

CFont* CQuillmateApp::font(CFont& font, int nTenths, LPCTSTR lpszFace)
{
    if (!font.GetSafeHandle())
        font.CreatePointFont(nTenths, lpszFace);
    return &font;
}

CFont* CQuillmateApp::GetSmallFont() { return font(m_smallFont, 80, "Arial"); }
CFont* CQuillmateApp::GetBoldFont() { return font(m_boldFont, 83, "Arial Bold"); }
CFont* CQuillmateApp::GetNarrowFont() { return font(m_narrowFont, 83, "Arial Narrow"); }

CPalette* CQuillmateApp::GetPalette()
{
    if (!m_palette.GetSafeHandle())
        m_palette.Attach(CreateAppPalette());
    return &m_palette;
}

void CQuillmateApp::EndModalBox()
{
    if (m_nModalBoxes > 0)
        --m_nModalBoxes;
}

BOOL CQuillmateApp::GetToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult)
{
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
    if (!info || !(info->uFlags & TTF_IDISHWND))
        return FALSE;
    CString text;
    text.LoadString(nID);
    CFlatButton* button = dynamic_cast<CFlatButton*>(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(info->hdr.idFrom)));
    if (!SelectToolTipText(text, button != nullptr, button && button->GetCheck(), info->szText, sizeof info->szText))
        return FALSE;
    info->lpszText = info->szText;
    info->hinst = nullptr;
    if (pResult)
        *pResult = 0;
    return TRUE;
}

void CQuillmateApp::EndWait()
{
    if (m_nWaits == 0 || --m_nWaits > 0)
        return;
    // Wakes the outermost loop, whose idle pass does the exit put off.
    if (m_bExitPending && m_pMainWnd && m_pMainWnd->GetSafeHwnd())
        m_pMainWnd->PostMessage(WM_NULL);
}

BOOL CQuillmateApp::RunPendingExit()
{
    if (!m_bExitPending || IsWaiting())
        return FALSE;
    m_bExitPending = FALSE;
    OnAppExit();
    return TRUE;
}

BOOL CQuillmateApp::IsExiting() const
{
    return m_bExiting || QuiURLHandler::IsQuitting();
}

CAppWait::CAppWait() : m_pApp(QuiGetApp())
{
    if (m_pApp)
        m_pApp->BeginWait();
}

CAppWait::~CAppWait()
{
    if (m_pApp)
        m_pApp->EndWait();
}

CQuillmateApp* QuiGetApp()
{
    CWinApp* app = AfxGetApp();
    return app && app->IsKindOf(RUNTIME_CLASS(CQuillmateApp)) ? static_cast<CQuillmateApp*>(app) : nullptr;
}

DWORD CQuillmateApp::GetSettingDword(int index, bool reload)
{
    ClientRegistry* settings = GetSettings();
    const void* value = settings ? settings->GetValue(index, reload) : nullptr;
    DWORD result = 0;
    if (value)
        std::memcpy(&result, value, sizeof result);
    return result;
}

void CQuillmateApp::SetSettingDword(int index, DWORD value)
{
    if (ClientRegistry* settings = GetSettings())
        settings->SetValue(index, &value);
}

DWORD CQuillmateApp::GetTickCount() { return ::GetTickCount(); }
COleDateTime CQuillmateApp::GetCurrentTime() { return COleDateTime::GetCurrentTime(); }

CTrayWnd* CQuillmateApp::GetTrayWnd()
{
    return dynamic_cast<CTrayWnd*>(m_pMainWnd);
}

CTrayWnd* CQuillmateApp::CreateTrayWnd()
{
    return new CTrayWnd;
}

BOOL CQuillmateApp::InitInstance()
{
    Quillmate::CImage::SetPalette(static_cast<HPALETTE>(GetPalette()->GetSafeHandle()));
    CCommandLineInfo info;
    ParseCommandLine(info);
    Quillmate::CImage::SetTransparentColor(kTransparentColor);
    CFlatButton::SetTransparentColor(kTransparentColor);
    if (!AfxOleInit()) {
        AfxMessageBox(IDS_OLE_INIT_FAILED);
        return FALSE;
    }
    if (!InitAutomationServer())
        return FALSE;
    AfxInitRichEdit();
    AfxEnableControlContainer();
    SetRegistryKey("Quillmate");
    CTrayWnd* tray = CreateTrayWnd();
    // The main window before its creation: the hot keys and the speech
    // commands are given to it while it is being created.
    m_pMainWnd = tray;
    if (!tray->LoadFrame(IDR_TRAY_FRAME, WS_OVERLAPPEDWINDOW, nullptr)) {
        m_pMainWnd = nullptr;
        delete tray;
        return FALSE;
    }
    CreateNoteManager();
    return TRUE;
}

int CQuillmateApp::ExitInstance()
{
    BeginExit();
    if (m_bAutomationStarted)
        EndAutomationServer();
    DeleteNoteManager();
    if (CTrayWnd* tray = GetTrayWnd())
        tray->SetTrayIcon(0);
    return CWinApp::ExitInstance();
}

BOOL CQuillmateApp::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    CActionNote* note = GetCurrentNote();
    CNoteWnd* wnd = note && note->IsActive() ? note->GetNoteWnd() : nullptr;
    if (wnd && wnd->GetSafeHwnd() && wnd->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return CWinApp::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CQuillmateApp::PreTranslateMessage(MSG* pMsg)
{
    if (CSplashWnd::PreTranslateAppMessage(pMsg))
        return TRUE;
    return CWinApp::PreTranslateMessage(pMsg);
}

void CQuillmateApp::OnAppAbout()
{
    CAboutDlg dialog;
    BeginModalBox();
    dialog.DoModal();
    EndModalBox();
}

CQuillmateApp::NotesAsked CQuillmateApp::AskAboutNotes(AskedFor asked)
{
    // Asked again from inside one of its own boxes (an exit or a logoff
    // meanwhile), it would file or end the note the first one asks about.
    if (m_bAskingAboutNotes)
        return notesKept;
    m_bAskingAboutNotes = TRUE;
    struct Done {
        BOOL& flag;
        ~Done() { flag = FALSE; }
    } done{m_bAskingAboutNotes};
    return asked == askedAtExit ? AskAboutEachNote() : AskAtSessionEnd();
}

CQuillmateApp::NotesAsked CQuillmateApp::AskAboutEachNote()
{
    for (;;) {
        CActionNote* note = GetCurrentNote();
        // A text that waits for a note is asked about as one.
        if (!note && m_pNoteManager)
            note = m_pNoteManager->OpenNextText();
        if (!note)
            break;
        if (note->IsBusy())
            return notesFiling;
        CString text;
        note->GetNoteText(text);
        const int answer =
            text.IsEmpty() ? IDNO : AfxMessageBox(IDS_EXIT_FILE_NOTE, MB_YESNO | MB_TASKMODAL);
        // The session ended while the box was open: nothing is filed into a
        // back end that is going away, and the note stays as it is.
        if (!m_pNoteManager || m_bSessionEnded)
            return notesKept;
        if (answer == IDYES) {
            note->FileNote(note);
            // A filing that failed brought the note back with its text: it
            // is kept rather than asked about again and again.
            if (GetCurrentNote() == note && !note->IsBusy() && note->GetNoteWnd() &&
                note->GetNoteWnd()->GetSafeHwnd())
                return notesKept;
        } else if (answer == IDNO) {
            note->DestroyNoteWnd();
        } else {
            // Cancel, or a box that could not be shown.
            return notesKept;
        }
        // A note whose window is gone already would be met again and again.
        if (GetCurrentNote() == note && !note->IsBusy() && !(note->GetNoteWnd() && note->GetNoteWnd()->GetSafeHwnd()))
            CloseNote(note);
    }
    if (m_pNoteManager)
        m_pNoteManager->TellUnopenedTexts();
    return notesClosed;
}

void CQuillmateApp::OnAppExit()
{
    // A filing or a resend waits below this command: posted again, the exit
    // would come back through the wait's pump without end.
    if (IsWaiting()) {
        m_bExitPending = TRUE;
        return;
    }
    switch (AskAboutNotes(askedAtExit)) {
    case notesFiling:
        m_bExitPending = TRUE;
        return;
    case notesKept:
        // The user keeps the note and may leave without it by the next exit.
        return;
    case notesClosed:
        break;
    }
    if (AfxOleGetUserCtrl()) {
        BeginExit();
        ::PostQuitMessage(0);
    } else {
        AfxOleUnlockApp();
    }
}

BOOL CQuillmateApp::OnQueryEndSession(LPARAM lParam)
{
    // The Restart Manager closes programs without a person to answer: what
    // is open is kept for the next start.
    if (m_bSessionEnded || (lParam & ENDSESSION_CLOSEAPP))
        return TRUE;
    return AskAboutNotes(askedAtSessionEnd) == notesClosed;
}

CQuillmateApp::NotesAsked CQuillmateApp::AskAtSessionEnd()
{
    m_declinedAtEnd.clear();
    if (!m_pNoteManager)
        return notesClosed;
    // A filing below may close notes: the list is copied.
    const std::list<CActionNote*> notes = m_pNoteManager->GetNotes();
    for (CActionNote* note : notes) {
        if (!m_pNoteManager || !m_pNoteManager->IsListed(note))
            continue;
        if (note->IsBusy())
            return notesFiling;
        CString text;
        note->GetNoteText(text);
        if (text.IsEmpty())
            continue;
        const int answer = AfxMessageBox(IDS_EXIT_FILE_NOTE, MB_YESNOCANCEL | MB_TASKMODAL);
        // The session ended while the box was open: the end kept the note.
        if (!m_pNoteManager || m_bSessionEnded)
            return notesKept;
        if (answer == IDYES) {
            note->FileNote(note);
            // A filing that failed brought the note back with its text.
            if (m_pNoteManager->IsListed(note) && !note->IsBusy() && note->GetNoteWnd() &&
                note->GetNoteWnd()->GetSafeHwnd())
                return notesKept;
        } else if (answer == IDNO) {
            m_declinedAtEnd.push_back(note);
        } else {
            m_declinedAtEnd.clear();
            return notesKept;
        }
    }
    return notesClosed;
}

void CQuillmateApp::OnEndSession(BOOL bEnding)
{
    if (m_bSessionEnded)
        return;
    if (!bEnding) {
        m_declinedAtEnd.clear();
        return;
    }
    m_bSessionEnded = TRUE;
    // First, before anything that could fail or take long: the process may
    // be ended at any moment from here on.
    KeepNotesForNextStart();
    // Windows ends the process soon after this returns and waits for no
    // box: what the user kept is written first. Nothing is deleted here, as
    // a dialog, a filing or an automation call may run below this message;
    // the exit's shut-down follows from the outermost loop once they are
    // done, should the process live on.
    SaveAtSessionEnd();
    BeginExit();
    ::PostQuitMessage(0);
}

void CQuillmateApp::SaveAtSessionEnd()
{
    if (CDatastore* datastore = GetDatastore())
        datastore->SaveAtSessionEnd();
}
