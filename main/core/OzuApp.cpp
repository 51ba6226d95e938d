#include "OzuApp.h"

#include <cmath>
#include <cstring>
#include <new>
#include <string>

#include "ActionNote.h"
#include "Datastore.h"
#include "KestrelViewerDlg.h"
#include "NoteManager.h"
#include "NoteWnd.h"
#include "OzuPrefs.h"
#include "OzuPropSheet.h"
#include "QuiParserMgr.h"
#include "QuiResIds.h"
#include "QuillmateExcept.h"
#include "TrayWnd.h"

IMPLEMENT_DYNAMIC(COzuApp, CQuillmateApp)

int COzuApp::s_nReloadStage = COzuApp::kIdle;
COzuApp::UpdaterRunner COzuApp::s_pfnRunUpdater = nullptr;

namespace {

// The back end's answers that start-up and reload react to.
const UINT kBackEndUnreachable = 6022;  // try again for the grace period
const UINT kBackEndMissing = 2055;

const QuiEdition* s_editions[CDatastore::typeWebCalendar + 1] = {};

// The row an edition code is served by: every code that is not one of the
// PIM editions or the web calendar is the web-only edition.
int EditionRow(int nCode)
{
    switch (nCode) {
    case CDatastore::typeNotes:
    case CDatastore::typePalm:
    case CDatastore::typeOutlook:
    case CDatastore::typeWebCalendar:
        return nCode;
    default:
        return CDatastore::typeWebOnly;
    }
}

} // namespace

void QuiRegisterEdition(int nCode, const QuiEdition* pEdition)
{
    if (nCode >= 0 && nCode <= CDatastore::typeWebCalendar)
        s_editions[nCode] = pEdition;
}

const QuiEdition* QuiFindEdition(int nCode)
{
    return s_editions[EditionRow(nCode)];
}

BOOL QuiBroadcastNewNote(UINT nTimeoutMs)
{
    // Another program's hung window must not keep this start from ending.
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(HWND_BROADCAST, QUI_NAN_MSG, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, nTimeoutMs,
                                 &result) != 0;
}

COzuApp* QuiGetOzuApp()
{
    CWinApp* app = AfxGetApp();
    return app && app->IsKindOf(RUNTIME_CLASS(COzuApp)) ? static_cast<COzuApp*>(app) : nullptr;
}

COzuApp::COzuApp() = default;

COzuApp::~COzuApp()
{
    DeleteDatastore();
    delete m_pPrefs;
    if (m_hMutex)
        ::CloseHandle(m_hMutex);
}

BOOL COzuApp::IsSecondInstance()
{
    if (!m_hMutex)
        m_hMutex = ::CreateMutexA(nullptr, TRUE, "QUI_SINGLE_INSTANCE_MUTEX");
    return m_hMutex && ::GetLastError() == ERROR_ALREADY_EXISTS;
}

BOOL COzuApp::InitInstance()
{
    BOOL bSecond = IsSecondInstance();
    if (!m_resMan.GetResourceHandle())
        return FALSE;
    AfxSetResourceHandle(m_resMan.GetResourceHandle());
    if (bSecond) {
        QuiBroadcastNewNote(kBroadcastTimeoutMs);
        return FALSE;
    }
    m_pPrefs = new COzuPrefs(m_settings);
    m_pPrefs->Load();
    if (!CQuillmateApp::InitInstance())
        return FALSE;
    GetTrayWnd()->SetTrayIcon(IDR_TRAY_LOADING);
    m_pDatastore = CreateDatastore();
    if (!m_pDatastore || !ConnectBackEnd())
        return FALSE;
    if (!BuildParserMgr(FALSE)) {
        AfxMessageBox(IDS_PARSER_FAILED, MB_TASKMODAL);
        return FALSE;
    }
    BOOL bShown = GetTrayWnd()->SetTrayIcon(IDR_TRAY);
    m_bUpdateCheckPending = TRUE;
    m_bReady = TRUE;
    RestoreKeptNotes();
    return bShown;
}

BOOL COzuApp::ConnectBackEnd()
{
    try {
        BOOL bSkipVersion = IsFeature(8) || (m_lpCmdLine && std::strstr(m_lpCmdLine, "/noversion"));
        if (!bSkipVersion && m_pDatastore->GetBackEndVersion() != kBackEndVersion) {
            AfxMessageBox(IDS_BACKEND_VERSION, MB_OK);
            return FALSE;
        }
        m_pDatastore->LoadItems();
        m_bRetrying = FALSE;
    } catch (COzuExcept* e) {
        BOOL bRetry = e->GetErrorCode() == kBackEndUnreachable;
        if (bRetry) {
            // Rather than end at once, the idle time keeps trying for a while.
            if (!m_bRetrying)
                m_dwFailureTick = GetTickCount();
            m_bRetrying = TRUE;
        } else {
            ReportBackEndError(e);
        }
        delete e;
        return bRetry;
    } catch (const std::bad_alloc&) {
        // Loading ran out of memory: the start has failed, and the user
        // hears why rather than meeting a program that just ends.
        m_bRetrying = FALSE;
        AfxMessageBox(IDS_CONNECT_NO_MEMORY, MB_OK | MB_ICONSTOP);
        return FALSE;
    }
    return TRUE;
}

void COzuApp::ReportBackEndError(COzuExcept* e)
{
    if (e->GetErrorCode() == kBackEndMissing)
        e->SetTextFromMessage(IDS_BACKEND_MISSING);
    e->ReportError();
}

CDatastore* COzuApp::CreateDatastore()
{
    int nPim = static_cast<int>(GetSettingDword(ClientRegistry::ActivePIM, true));
    int nRow = EditionRow(nPim);
    int nEdition = nRow == nPim ? nPim : CDatastore::typeWebOnlyDefault;
    CDatastore* datastore = nullptr;
    try {
        const QuiEdition* edition = QuiFindEdition(nRow);
        datastore = edition && edition->pfnCreateDatastore ? edition->pfnCreateDatastore(nEdition) : nullptr;
        if (!datastore)
            throw new COzuExcept(IDS_EDITION_MISSING);
        if (nRow <= CDatastore::typeOutlook)
            datastore->CheckRecordControl();
    } catch (COzuExcept* e) {
        e->ReportError();
        delete e;
        delete datastore;
        return nullptr;
    }
    return datastore;
}

BOOL COzuApp::BuildParserMgr(BOOL bSync)
{
    delete m_pParserMgr;
    m_pParserMgr = nullptr;
    if (!m_pDatastore)
        return FALSE;
    try {
        m_pParserMgr = new QuiParserMgr(m_pDatastore->GetKestrel());
        if (bSync)
            m_pDatastore->SyncItems();
        m_pParserMgr->Initialize();
        m_pDatastore->LoadItemDatabase();
        m_pParserMgr->LoadItems();
    } catch (...) {
        QuiDeleteCurrentException();
        // A manager that was never set up would parse nothing, unnoticed.
        delete m_pParserMgr;
        m_pParserMgr = nullptr;
        return FALSE;
    }
    m_bParserPending = FALSE;
    return TRUE;
}

void COzuApp::RebuildParserMgr(BOOL bSync)
{
    if (BuildParserMgr(bSync))
        return;
    // Told once; the idle passes try again until it loads.
    if (!m_bParserPending)
        AfxMessageBox(IDS_PARSER_RELOAD_FAILED, MB_OK | MB_ICONWARNING | MB_TASKMODAL);
    m_bParserPending = TRUE;
    m_dwParserTick = GetTickCount();
}

void COzuApp::DeleteDatastore()
{
    // The parser works over the datastore's item database: it goes first.
    delete m_pParserMgr;
    m_pParserMgr = nullptr;
    delete m_pDatastore;
    m_pDatastore = nullptr;
}

void COzuApp::OpenWaitingTexts()
{
    CNoteManager* manager = GetNoteManager();
    while (m_bReady && manager && manager->GetQueuedCount() > 0 &&
           GetNoteCount() < CNoteManager::MAX_OPEN_NOTES) {
        // A note that cannot be opened leaves the text for a later pass.
        CActionNote* note = CreateNote(TRUE);
        std::string text;
        if (!note || !manager->PopText(text))
            return;
        note->SetNoteText(text.c_str());
    }
}

BOOL COzuApp::OnIdle(LONG)
{
    // The session has ended: nothing more is opened, sent or started.
    if (HasSessionEnded() || RunPendingExit())
        return FALSE;
    // Texts an automation client handed over while the program was not ready.
    OpenWaitingTexts();
    if (m_bParserPending && m_bReady && !IsWaiting() &&
        GetTickCount() - m_dwParserTick >= static_cast<DWORD>(kParserRetryMs))
        RebuildParserMgr(FALSE);
    if (m_bRetrying) {
        if (GetTickCount() - m_dwFailureTick <= static_cast<DWORD>(kGracePeriodMs)) {
            // Open notes would only refuse the reload, with a message each pass.
            if (GetNoteCount() > 0)
                return FALSE;
            ReloadDatastore(0, FALSE);
            if (m_bReady && m_pDatastore && !ConnectBackEnd()) {
                m_bRetrying = FALSE;
                OnAppExit();
            } else if (m_bReady && m_pDatastore && !m_bRetrying) {
                // The back end's categories and contacts arrived only now.
                RebuildParserMgr(FALSE);
            }
            return m_bRetrying;
        }
        m_bRetrying = FALSE;
        CString text;
        text.LoadString(IDS_BACKEND_GAVE_UP);
        if (m_pMainWnd)
            m_pMainWnd->MessageBox(text, nullptr, MB_OK);
        else
            AfxMessageBox(text, MB_OK);
        // Notes typed meanwhile are filed or discarded as the user says.
        OnAppExit();
        return FALSE;
    }
    // Web actions kept off line go out once a browser takes them.
    if (m_bReady && m_pDatastore) {
        {
            CAppWait wait;
            m_pDatastore->GetWebActionHandler()->SendQueuedWhenDue(GetTickCount());
        }
        // An exit chosen while the resend waited.
        if (RunPendingExit())
            return FALSE;
    }
    if (m_bUpdateCheckPending) {
        LONG nFreq = static_cast<LONG>(GetSettingDword(ClientRegistry::PintailFreq, true));
        double dLast = 0.0;
        if (const void* value = m_settings.GetValue(ClientRegistry::PintailDate, true))
            std::memcpy(&dLast, value, sizeof dLast);
        if (nFreq > 0 && std::floor(GetCurrentTime().m_dt - dLast) >= nFreq)
            RunUpdater();
        m_bUpdateCheckPending = FALSE;
    }
    return FALSE;
}

void COzuApp::RunUpdater()
{
    if (s_pfnRunUpdater)
        s_pfnRunUpdater();
}

void COzuApp::ReloadDatastore(int nMode, BOOL bReport)
{
    if (!IsReady())
        return;
    // A filing or a resend waits on the datastore and its browser: the
    // reload comes with the next note, as one refused for open notes does.
    if (IsWaiting()) {
        if (s_nReloadStage == kIdle)
            s_nReloadStage = nMode == 1 ? kFullRefused : kLightRefused;
        m_bReloadPending = TRUE;
        return;
    }
    if (GetNoteCount() > 0) {
        if (s_nReloadStage == kIdle)
            s_nReloadStage = nMode == 1 ? kFullRefused : kLightRefused;
        AfxMessageBox(IDS_RELOAD_NOTES_OPEN, MB_TASKMODAL);
        m_bReloadPending = TRUE;
        return;
    }
    m_bReady = FALSE;
    try {
        if (nMode != 1 && s_nReloadStage != kFullRefused && s_nReloadStage != kFullRunning) {
            s_nReloadStage = kLightRunning;
        } else {
            s_nReloadStage = kFullRunning;
            CWnd* blocker = m_pItemViewer ? m_pItemViewer : m_pConnectorDlg;
            if (blocker) {
                BOOL bTell = !m_bReloadNoticeGiven && (m_pItemViewer || bReport);
                if (bTell)
                    AfxMessageBox(m_pItemViewer ? IDS_RELOAD_VIEWER_OPEN : IDS_RELOAD_CONNECTORS_OPEN, MB_TASKMODAL);
                m_bReloadNoticeGiven = TRUE;
                m_bReloadPending = TRUE;
                m_bReady = TRUE;
                return;
            }
            if (!RunFullReload())
                return;
        }
        RebuildParserMgr(s_nReloadStage != kFullRunning);
        m_bReloadPending = FALSE;
        m_bReady = TRUE;
        s_nReloadStage = kIdle;
        // The viewer's rows name items that a sync may have taken out.
        if (CKestrelViewerDlg* viewer = CKestrelViewerDlg::GetOpen())
            viewer->Refill();
    } catch (COzuExcept* e) {
        ReloadFailed(e);
    } catch (...) {
        QuiDeleteCurrentException();
        ReloadFailed(nullptr);
    }
}

// The datastore made again; FALSE, the program ending, when there is none.
BOOL COzuApp::RunFullReload()
{
    CTrayWnd* tray = GetTrayWnd();
    if (tray)
        tray->SetTipText(IDR_TRAY_LOADING);
    if (m_pMainWnd)
        m_pMainWnd->EnableWindow(FALSE);
    DeleteDatastore();
    m_pDatastore = CreateDatastore();
    if (!m_pDatastore) {
        // The failure has been reported; without a datastore nothing can go on.
        ReloadFailed(nullptr, FALSE);
        return FALSE;
    }
    m_pDatastore->LoadItems();
    m_bReloadNoticeGiven = FALSE;
    if (tray)
        tray->SetTipText(IDR_TRAY);
    if (m_pMainWnd)
        m_pMainWnd->EnableWindow(TRUE);
    return TRUE;
}

void COzuApp::ReloadFailed(COzuExcept* e, BOOL bTell)
{
    if (CTrayWnd* tray = GetTrayWnd())
        tray->SetTipText(IDR_TRAY);
    if (m_pMainWnd)
        m_pMainWnd->EnableWindow(TRUE);
    if (e) {
        ReportBackEndError(e);
        delete e;
    } else if (bTell) {
        AfxMessageBox(IDS_RELOAD_FAILED, MB_TASKMODAL);
    }
    OnAppExit();
}

CActionNote* COzuApp::CreateNote(BOOL bCascade)
{
    if (!IsReady())
        return nullptr;
    if (m_bReloadPending) {
        ReloadDatastore(0, FALSE);
        if (!m_bReady || !m_pDatastore)
            return nullptr;
    }
    BOOL bFirstRun = FALSE;
    if (GetSettingDword(ClientRegistry::ShowProfile) == 0) {
        bFirstRun = ShowPreferences(QUI_PREFS_PAGE_PROFILE);
        SetSettingDword(ClientRegistry::ShowProfile, 1);
    }
    const QuiEdition* edition = m_pDatastore ? QuiFindEdition(m_pDatastore->GetType()) : nullptr;
    if (!edition || !edition->pfnCreateNote)
        return nullptr;
    CActionNote* note = OpenNote(edition->pfnCreateNote(), bCascade);
    CWnd* sheet = m_pPrefSheet;
    if (note && bFirstRun && sheet && sheet->GetSafeHwnd()) {
        // The first note waits behind the profile page the user fills in first.
        note->GetNoteWnd()->SetWindowPos(sheet, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        sheet->SetForegroundWindow();
    }
    return note;
}

int COzuApp::ExitInstance()
{
    // Waits below (the hidden browser's end) take no new note.
    BeginExit();
    m_bReady = FALSE;
    // The session's end saved them, and they go out from the next start:
    // no box while the session ends.
    if (m_pDatastore && !HasSessionEnded())
        m_pDatastore->ReportUnsentActions();
    DeleteDatastore();
    delete m_pPrefs;
    m_pPrefs = nullptr;
    return CQuillmateApp::ExitInstance();
}
