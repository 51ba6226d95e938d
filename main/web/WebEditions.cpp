#include "WebEditions.h"

#include "ClientRegistry.h"
#include "KeyText.h"
#include "OzuApp.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"
#include "QuillmateExcept.h"
#include "WebActionItem.h"
#include "WebActionJug.h"
#include "WebConnector.h"
#include "WebActionsSettings.h"
#include "WebEditionsShared.h"

namespace {

const UINT kViewerCommand = 32801;
const DWORD kHelpContext = 26;
const UINT kHelpCommand = 9;
const DWORD kNoteHelpId = 1501;
const COLORREF kPaneBackground = 0x02FFFFFF;
const int kLoginBufferSize = 260;
// The shipped web calendar connector's login: the password goes to that item
// alone, never to another connector's action of the same name.
const char kLoginConnector[] = "Yahoo";
const char kLoginSubtype[] = "yahoo login";

CDatastore* CurrentDatastore()
{
    CQuillmateApp* app = QuiGetApp();
    return app ? app->GetDatastore() : nullptr;
}

bool Feature(int n)
{
    CQuillmateApp* app = QuiGetApp();
    return app && app->IsFeature(n);
}

bool ReadWriteTime(const CString& path, FILETIME* time)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.IsEmpty() || !::GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return false;
    *time = data.ftLastWriteTime;
    return true;
}

// The id of the login's item, as the enabled connectors make it; empty when
// more than one of them makes it (a second file naming its connector as the
// shipped one), so that no other file's page takes the password.
CString LoginItemId(CWebActionHandler& handler)
{
    CString login, id;
    login.Format("%s_%s", kLoginConnector, kLoginSubtype);
    int found = 0;
    for (const CWebConnectorDef& connector : handler.GetEnabledConnectors().GetConnectors()) {
        for (const CWebConnectorSubtype& subtype : connector.m_subtypes) {
            id.Format("%s_%s", connector.m_strName.GetString(), subtype.m_strMenuString.GetString());
            found += id == login;
        }
    }
    return found == 1 ? login : CString();
}

// The one datastore with a login page waiting to be removed.
CWebOnlyDatastore* s_pLoginOwner = nullptr;

CDatastore* CreateWebOnlyDatastore(int nEdition)
{
    return new CWebOnlyDatastore(nEdition == CDatastore::typeWebOnly ? CDatastore::typeWebOnly
                                                                     : CDatastore::typeWebOnlyDefault);
}

CActionNote* CreateWebOnlyNote()
{
    auto* note = new CWebActionNote;
    new CWebNoteWnd(note);
    return note;
}

CDatastore* CreateMyTimeDatastore(int)
{
    return new CMyTimeDatastore;
}

CActionNote* CreateMyTimeNote()
{
    auto* note = new CMyTimeActionNote;
    new CMyTimeNoteWnd(note);
    return note;
}

const QuiEdition kWebOnlyEdition = {CreateWebOnlyDatastore, CreateWebOnlyNote};
const QuiEdition kMyTimeEdition = {CreateMyTimeDatastore, CreateMyTimeNote};

} // namespace

void QuiRegisterWebEditions()
{
    QuiRegisterEdition(CDatastore::typeWebOnly, &kWebOnlyEdition);
    QuiRegisterEdition(CDatastore::typeWebCalendar, &kMyTimeEdition);
}

//--- the datastore

UINT CWebOnlyDatastore::s_nLoginPageLife = 10000;

CWebOnlyDatastore::CWebOnlyDatastore(int nEdition) : m_nEdition(nEdition) {}

CWebOnlyDatastore::~CWebOnlyDatastore()
{
    RemoveLoginPage();
}

BOOL CWebOnlyDatastore::LoadItems()
{
    RegisterTypes();
    CDatastore::LoadItems();
    if (m_nEdition != typeWebOnlyDefault)
        SubmitWebLogin();
    return TRUE;
}

UINT CWebOnlyDatastore::GetResourceId()
{
    return IDR_WEB_NOTE_ACCELERATORS;
}

const char* const* CWebOnlyDatastore::GetItemTypeIds()
{
    static const char* const kIds[] = {"9D3F8900-F9BD-11d2-A0F8-00104B9522AA", "A794C600-EEA6-11d2-A0E8-00104B9522AA",
                                       "A794C601-EEA6-11d2-A0E8-00104B9522AA", "A794C602-EEA6-11d2-A0E8-00104B9522AA",
                                       ""};
    return kIds;
}

const char* const* CMyTimeDatastore::GetItemTypeIds()
{
    static const char* const kIds[] = {"9D3F8900-F9BD-11d2-A0F8-00104B9522AA", ""};
    return kIds;
}

int CWebOnlyDatastore::SubmitWebLogin()
{
    QuiItemType* type = GetItemType(WEB_HIDDEN_TYPE_ID);
    QuiItemList* items = GetItemList();
    const CString id = LoginItemId(*GetWebActionHandler());
    if (!type || !items || id.IsEmpty())
        return 0;
    QuiItem* item = items->get(QuiItemID(id));
    auto* action = item && item->getType() == type ? dynamic_cast<CWebActionItem*>(item) : nullptr;
    CWebConnectorSubtype* subtype = action ? action->GetSubtype() : nullptr;
    if (!subtype)
        return 0;

    char user[kLoginBufferSize] = "";
    char password[kLoginBufferSize] = "";
    ReadWebLogin(user, password, kLoginBufferSize);
    UnscramblePassword(reinterpret_cast<unsigned char*>(password), lstrlenA(password));

    CWebActionJug login;
    login.m_nConnectorIndex = subtype->m_nConnectorIndex;
    login.m_nSubtypeIndex = subtype->m_nSubtypeIndex;
    login.SetParameter("login", user);
    login.SetParameter("password", password);
    SecureZeroMemory(password, sizeof password);
    login.m_nFlags = CWebActionJug::flagNoShow | CWebActionJug::flagNoQueue;
    const int result = GetWebActionHandler()->SubmitAction(login);

    // The page that posts the password must not stay on disk: it goes once
    // the browser had the time to read it, and at the latest with us.
    const CString page = GetWebActionHandler()->GetLastPage();
    RemoveLoginPage();
    if (subtype->m_strMethod.CompareNoCase("GET") != 0 && ReadWriteTime(page, &m_loginPageTime)) {
        m_strLoginPage = page;
        s_pLoginOwner = this;
        m_nLoginTimer = ::SetTimer(nullptr, 0, s_nLoginPageLife, OnLoginPageTimer);
    }
    return result;
}

void CALLBACK CWebOnlyDatastore::OnLoginPageTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    if (s_pLoginOwner && s_pLoginOwner->m_nLoginTimer == id)
        s_pLoginOwner->RemoveLoginPage();
}

void CWebOnlyDatastore::RemoveLoginPage()
{
    if (m_nLoginTimer) {
        ::KillTimer(nullptr, m_nLoginTimer);
        m_nLoginTimer = 0;
    }
    if (s_pLoginOwner == this)
        s_pLoginOwner = nullptr;
    FILETIME now = {};
    // A page written since is another action's, for the browser to read.
    if (ReadWriteTime(m_strLoginPage, &now) && ::CompareFileTime(&now, &m_loginPageTime) == 0)
        ::DeleteFileA(m_strLoginPage);
    m_strLoginPage.Empty();
}

void CWebOnlyDatastore::SaveAtSessionEnd()
{
    CDatastore::SaveAtSessionEnd();
    RemoveLoginPage();
}

//--- the note

CWebActionNote::~CWebActionNote() = default;

CWebToDoDestination* CWebActionNote::GetToDoDestination()
{
    return dynamic_cast<CWebToDoDestination*>(GetPaneDestination(CWebToDoPane::PANE_ID));
}

CWebCalDestination* CWebActionNote::GetCalDestination()
{
    return dynamic_cast<CWebCalDestination*>(GetPaneDestination(CalendarPaneId()));
}

CWebActionsDestination* CWebActionNote::GetActionsDestination()
{
    return dynamic_cast<CWebActionsDestination*>(GetPaneDestination(CWebActionsPane::PANE_ID));
}

void CWebActionNote::OpenKestrelViewer(CActionNote*)
{
    if (CWnd* main = AfxGetMainWnd())
        main->PostMessage(WM_COMMAND, kViewerCommand);
}

void CWebActionNote::ShowHelp(CActionNote*)
{
    if (CWnd* main = AfxGetMainWnd())
        main->WinHelp(kHelpContext, kHelpCommand);
}

void CWebActionNote::ParseText(CActionNote* note)
{
    CActionNote::ParseText(note);
    if (CWebToDoDestination* toDo = GetToDoDestination())
        toDo->Refresh();
    if (CWebCalDestination* cal = GetCalDestination())
        cal->Refresh();
}

void CWebActionNote::PostAttach()
{
    if (m_pNoteWnd && m_pNoteWnd->GetSafeHwnd()) {
        m_pNoteWnd->PostMessage(WM_SETFOCUS);
        m_pNoteWnd->SetWindowContextHelpId(kNoteHelpId);
    }
}

int CWebActionNote::AttachSinks()
{
    if (Feature(9)) {
        if (CWebActionsDestination* actions = GetActionsDestination())
            actions->AttachSinks();
    }
    if (CWebToDoDestination* toDo = GetToDoDestination())
        toDo->AttachSinks();
    if (CWebCalDestination* cal = GetCalDestination())
        cal->AttachSinks();
    PostAttach();
    return 0;
}

void CWebActionNote::EnablePimDestinations(BOOL)
{
    if (CWebToDoDestination* toDo = GetToDoDestination())
        toDo->SetParseLocked(true);
    if (CWebCalDestination* cal = GetCalDestination())
        cal->SetParseLocked(true);
}

void CWebActionNote::FileNote(CActionNote* note)
{
    CActionNote::FileNote(note);
    try {
        RunFiling(0);
    } catch (...) {
        // Whatever went wrong, the user is told and keeps the note.
        QuiDeleteCurrentException();
        AfxMessageBox(IDS_UNEXPECTED_ERROR, MB_OK);
        if (CWnd* main = AfxGetMainWnd())
            main->EnableWindow(TRUE);
        ShowNoteWnd(TRUE);
    }
}

template <class Dest> void CWebActionNote::Submit(Dest* dest)
{
    CWebActionJug action;
    dest->FileItem(&action);
    if (action.m_nConnectorIndex < 0)
        throw new COzuExcept(IDS_WEB_ENTRY_MISSING, 0);
    CDatastore* datastore = CurrentDatastore();
    const int result = datastore ? datastore->SendWebAction(&action) : 0;
    if (result != CWebActionHandler::submitRun && result != CWebActionHandler::submitQueued)
        throw new COzuExcept(IDS_WEB_ENTRY_FAILED, 0);
    // The note closes, but the entry has not reached the service yet.
    if (result == CWebActionHandler::submitQueued && !m_bToldKept) {
        m_bToldKept = true;
        AfxMessageBox(IDS_PIM_WEB_ACTION_LATER, MB_OK | MB_TASKMODAL);
    }
}

void CWebActionNote::FileEntries()
{
    CWebToDoDestination* toDo = GetToDoDestination();
    CWebCalDestination* cal = GetCalDestination();
    CWebActionsDestination* actions = GetActionsDestination();
    if (toDo && !m_bToDoFiled && IsChecked(*toDo)) {
        Submit(toDo);
        m_bToDoFiled = true;
    }
    if (cal && !m_bCalFiled && IsChecked(*cal)) {
        Submit(cal);
        m_bCalFiled = true;
    }
    if (actions && !m_bActionsFiled && Feature(9) && actions->HasSelectedActions()) {
        Submit(actions);
        m_bActionsFiled = true;
    }
    if (m_bToDoFiled || m_bCalFiled || m_bActionsFiled)
        return;
    CDatastore* datastore = CurrentDatastore();
    if (!datastore || datastore->GetType() == CDatastore::typeWebOnlyDefault || !toDo)
        throw new COzuExcept(IDS_WEB_NOTHING_TO_FILE, 0);
    Submit(toDo);
    m_bToDoFiled = true;
}

void CMyTimeActionNote::ParseText(CActionNote* note)
{
    CActionNote::ParseText(note);
    if (CWebCalDestination* cal = GetCalDestination())
        cal->Refresh();
}

BOOL CMyTimeActionNote::HasEnabledDestination()
{
    CWebActionsDestination* actions = GetActionsDestination();
    CWebToDoDestination* toDo = GetToDoDestination();
    CWebCalDestination* cal = GetCalDestination();
    const bool others = (toDo && IsChecked(*toDo)) || (cal && IsChecked(*cal));
    return !(actions && IsChecked(*actions) && !others);
}

int CMyTimeActionNote::AttachSinks()
{
    if (Feature(9)) {
        if (CWebActionsDestination* actions = GetActionsDestination())
            actions->AttachSinks();
    }
    if (CWebCalDestination* cal = GetCalDestination())
        cal->AttachSinks();
    PostAttach();
    return 0;
}

void CMyTimeActionNote::LockCalendarParsing(BOOL bLock)
{
    if (CWebCalDestination* cal = GetCalDestination())
        cal->SetParseLocked(bLock != FALSE);
}

void CMyTimeActionNote::FileEntries()
{
    CWebCalDestination* cal = GetCalDestination();
    CWebActionsDestination* actions = GetActionsDestination();
    if (cal && !m_bCalFiled && IsChecked(*cal)) {
        Submit(cal);
        m_bCalFiled = true;
    }
    if (actions && !m_bActionsFiled && Feature(9) && actions->HasSelectedActions()) {
        Submit(actions);
        m_bActionsFiled = true;
    }
    if (!m_bCalFiled && !m_bActionsFiled)
        throw new COzuExcept(IDS_WEB_NOTHING_TO_FILE, 0);
}

//--- the windows

BEGIN_MESSAGE_MAP(CWebDestWnd, CDestWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

CWebDestWnd::CWebDestWnd() : CWebDestWnd(new CWebCalPane, false) {}

CWebDestWnd::CWebDestWnd(CWebCalPane* pCal, bool bMyTime) : m_pCal(pCal), m_bMyTime(bMyTime) {}

CWebDestWnd::~CWebDestWnd()
{
    delete m_pCal;
}

CMyTimeDestWnd::CMyTimeDestWnd() : CWebDestWnd(new CMyTimeCalPane, true) {}

void CWebDestWnd::PlacePane(CDestPane& pane, int& row, bool bAvailable)
{
    if (!pane.Create(row, this))
        return;
    pane.SetBkColor(kPaneBackground);
    if (!bAvailable) {
        pane.SetCheckActive(FALSE);
        pane.GetDestination()->SetEnabled(false);
    }
    pane.Show();
    pane.ShowWindow(SW_SHOW);
    CRect client;
    pane.GetClientRect(client);
    row += client.Height() + 1;
}

int CWebDestWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDestWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    CDatastore* datastore = CurrentDatastore();
    const int edition = datastore ? datastore->GetType() : CDatastore::typeWebOnlyDefault;
    int row = 3;
    if (!m_bMyTime && Feature(4))
        PlacePane(m_self, row, true);
    PlacePane(m_toDo, row, edition != CDatastore::typeWebOnlyDefault && !m_bMyTime);
    PlacePane(*m_pCal, row, edition != CDatastore::typeWebOnlyDefault);
    if (!m_bMyTime && Feature(11))
        PlacePane(m_journal, row, false);
    if (Feature(9)) {
        PlacePane(m_actions, row, true);
        if (m_actions.GetSafeHwnd()) {
            m_actions.FillActionList();
            CRect client;
            m_actions.GetClientRect(client);
            m_actions.SetWindowPos(nullptr, 0, 0, client.Width(), client.Height(),
                                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    SetTop(row);
    return 0;
}

void CWebDestWnd::DestroyPanes()
{
    for (CDestPane* pane : {static_cast<CDestPane*>(&m_toDo), static_cast<CDestPane*>(m_pCal),
                            static_cast<CDestPane*>(&m_actions)}) {
        if (pane->GetSafeHwnd())
            pane->DestroyWindow();
    }
}

BEGIN_MESSAGE_MAP(CWebNoteWnd, CNoteWnd)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CDestWnd* CWebNoteWnd::CreateDestWnd()
{
    CWebDestWnd* dest = MakeDestWnd();
    if (!dest->Create(this)) {
        delete dest;
        return nullptr;
    }
    return dest;
}

void CWebNoteWnd::OnClose()
{
    if (PutOffClose())
        return;
    if (auto* dest = dynamic_cast<CWebDestWnd*>(GetDestWnd()))
        dest->DestroyPanes();
    Default();
}

BOOL CWebNoteWnd::DestroyWindow()
{
    if (auto* dest = dynamic_cast<CWebDestWnd*>(GetDestWnd()))
        dest->DestroyPanes();
    return CNoteWnd::DestroyWindow();
}

// The calendar's control id lies below the pane commands the note window
// takes, so its key is routed here.
BEGIN_MESSAGE_MAP(CMyTimeNoteWnd, CWebNoteWnd)
    ON_COMMAND_RANGE(CMyTimeCalPane::PANE_ID, CMyTimeCalPane::PANE_ID, OnTogglePane)
END_MESSAGE_MAP()

CMyTimeNoteWnd::CMyTimeNoteWnd(CActionNote* pNote) : CWebNoteWnd(pNote)
{
    SetEditionPicture(IDB_MYTIME_NOTE);
}

UINT CMyTimeNoteWnd::GetAcceleratorId()
{
    return IDR_MYTIME_NOTE_ACCELERATORS;
}
