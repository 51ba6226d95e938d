#include "ConnectorDlg.h"

#include "Datastore.h"
#include "CoreWndUtil.h"
#include "OzuApp.h"
#include "PrefPages.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"
#include "SplashWnd.h"

#include <map>

namespace {

const int kListLeft = 20;
const int kListRightGap = 10;
const int kListTopGap = 10;
const int kListBottomGap = 20;

CWebActionHandler* Handler()
{
    CQuillmateApp* app = QuiGetApp();
    CDatastore* datastore = app ? app->GetDatastore() : nullptr;
    return datastore ? datastore->GetWebActionHandler() : nullptr;
}

void AddColumns(CListCtrl& list, UINT nFirst, UINT nSecond, BOOL bSecondLessOne)
{
    CRect client;
    list.GetClientRect(client);
    CString title;
    title.LoadString(nFirst);
    list.InsertColumn(0, title, LVCFMT_LEFT, client.Width() / 2);
    title.LoadString(nSecond);
    list.InsertColumn(1, title, LVCFMT_LEFT, (bSecondLessOne ? client.Width() - 1 : client.Width()) / 2);
}

// A connector as its row names it, or as its file does when it has no action.
CString RowName(const CWebConnectorDef& connector)
{
    return connector.m_subtypes.empty() ? connector.m_strName : connector.m_subtypes.front().m_strMenuString;
}

void SetEntryState(CConnectorDlg::Entry& entry, bool enabled)
{
    entry.flags |= CConnectorDlg::flagChanged;
    if (enabled)
        entry.flags |= CConnectorDlg::flagEnabled;
    else
        entry.flags &= ~static_cast<UINT>(CConnectorDlg::flagEnabled);
}

} // namespace

// The lists are the tab control's children, so their notifications come to
// it: they go on to the dialog, which owns the lists.
class CConnectorDlg::CTabs : public CTabCtrl {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NOTIFY && GetParent()) {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (dynamic_cast<CConnectorListCtrl*>(CWnd::FromHandlePermanent(header->hwndFrom)))
                return GetParent()->SendMessage(message, wParam, lParam);
        }
        return CTabCtrl::WindowProc(message, wParam, lParam);
    }
};

//--- CConnectorDlg

CConnectorDlg* CConnectorDlg::s_pOpen = nullptr;

BEGIN_MESSAGE_MAP(CConnectorDlg, CDialog)
    ON_NOTIFY(TCN_SELCHANGE, IDC_CONNECTORS_TAB, OnTabChanged)
    ON_COMMAND(ID_CONNECTORS_APPLY, OnApply)
    ON_COMMAND(ID_CONNECTORS_CANCEL, OnCancelCommand)
    ON_BN_CLICKED(IDC_CONNECTORS_HELP, OnHelp)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_TELL_FILE_MATES, OnTellFileMates)
END_MESSAGE_MAP()

CConnectorDlg::CConnectorDlg(CWebActionHandler& handler, CWnd* pParent)
    : CDialog(IDD_CONNECTORS, pParent), m_handler(handler)
{
}

CConnectorDlg::~CConnectorDlg()
{
    delete m_pTabCtrl;
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
}

CString CConnectorDlg::GetTabName(int nTab) const
{
    char name[256] = "";
    TCITEM item = {};
    item.mask = TCIF_TEXT;
    item.pszText = name;
    item.cchTextMax = sizeof name;
    if (m_pTabCtrl)
        m_pTabCtrl->GetItem(nTab, &item);
    return name;
}

CConnectorListCtrl* CConnectorDlg::GetTabList(int nTab) const
{
    if (nTab < 0 || nTab >= GetTabCount())
        return nullptr;
    return m_tabs[static_cast<size_t>(nTab)];
}

CConnectorDlg::Entry* CConnectorDlg::GetRowEntry(CConnectorListCtrl* pList, int nRow) const
{
    if (!pList || nRow < 0 || nRow >= pList->GetItemCount())
        return nullptr;
    return reinterpret_cast<Entry*>(pList->GetItemData(nRow));
}

BOOL CConnectorDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    s_pOpen = this;
    if (COzuApp* app = QuiGetOzuApp())
        app->m_pConnectorDlg = this;
    SetWindowContextHelpId(IDH_CONNECTORS);
    m_hIcon = LoadLibraryIcon(IDI_QUILLMATE);
    if (m_hIcon) {
        SetIcon(m_hIcon, TRUE);
        SetIcon(m_hIcon, FALSE);
    }
    m_strOther.LoadString(IDS_CONNECTORS_OTHER);
    m_pTabCtrl = new CTabs;
    m_pTabCtrl->SubclassDlgItem(IDC_CONNECTORS_TAB, this);

    FillEntries();
    for (const Entry& entry : m_entries)
        AddTab(TabNameOf(entry));
    if (m_entries.empty())
        AddTab(m_strOther);
    ShowTab(0);
    m_bReady = TRUE;
    return FALSE;
}

void CConnectorDlg::FillEntries()
{
    auto add = [this](const std::vector<CWebConnectorDef>& connectors, UINT flags) {
        for (const CWebConnectorDef& connector : connectors) {
            if (connector.m_subtypes.empty())
                continue;
            const CWebConnectorSubtype& first = connector.m_subtypes.front();
            if (first.IsNoAction() || first.IsHidden())
                continue;
            m_entries.push_back(Entry{connector, flags});
        }
    };
    add(m_handler.GetEnabledConnectors().GetConnectors(), flagEnabled);
    add(m_handler.GetDisabledConnectors(), 0);
}

CString CConnectorDlg::TabNameOf(const Entry& entry) const
{
    const CString& type = entry.connector.m_subtypes.front().m_strServiceType;
    return type.IsEmpty() ? m_strOther : type;
}

void CConnectorDlg::AddTab(const CString& name)
{
    for (int i = 0; i < GetTabCount(); ++i) {
        if (GetTabName(i) == name)
            return;
    }
    // The lists fill the tab between the two placing statics.
    CRect client, top, bottom;
    m_pTabCtrl->GetClientRect(client);
    GetDlgItem(IDC_CONNECTORS_PLACE)->GetWindowRect(top);
    GetDlgItem(IDC_CONNECTORS_BOTTOM)->GetWindowRect(bottom);
    m_pTabCtrl->ScreenToClient(top);
    m_pTabCtrl->ScreenToClient(bottom);
    CRect rect(kListLeft, top.bottom + kListTopGap, client.Width() - kListRightGap, bottom.top - kListBottomGap);

    int index = GetTabCount();
    auto* list = new CConnectorListCtrl;
    if (!list->Create(WS_CHILD | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, rect, m_pTabCtrl,
                      IDC_CONNECTORS_LIST_FIRST + index)) {
        delete list;
        return;
    }
    list->SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    AddColumns(*list, IDS_CONNECTORS_COLUMN_CATEGORY, IDS_CONNECTORS_COLUMN_NAME, TRUE);
    m_tabs.push_back(list);
    m_pTabCtrl->InsertItem(TCIF_TEXT | TCIF_PARAM, index, name, -1, reinterpret_cast<LPARAM>(list));

    for (Entry& entry : m_entries) {
        const CWebConnectorSubtype& first = entry.connector.m_subtypes.front();
        if (TabNameOf(entry) != name)
            continue;
        int row = list->InsertItem(list->GetItemCount(), first.m_strServiceCategory);
        list->SetItemText(row, 1, first.m_strMenuString);
        list->SetItemData(row, reinterpret_cast<DWORD_PTR>(&entry));
        list->SetCheck(row, (entry.flags & flagEnabled) != 0);
    }
}

void CConnectorDlg::SelectTab(int nTab)
{
    if (m_pTabCtrl) {
        m_pTabCtrl->SetCurSel(nTab);
        ShowTab(nTab);
    }
}

void CConnectorDlg::ShowTab(int nTab)
{
    CConnectorListCtrl* list = GetTabList(nTab);
    if (!list)
        return;
    if (m_pShown && m_pShown != list)
        m_pShown->ShowWindow(SW_HIDE);
    list->ShowWindow(SW_SHOW);
    m_pShown = list;
    for (int id : {IDC_CONNECTORS_DESC, IDC_CONNECTORS_LONGDESC}) {
        SetDlgItemText(id, "");
        GetDlgItem(id)->ShowWindow(SW_HIDE);
    }
    GetDlgItem(IDC_CONNECTORS_LABEL)->ShowWindow(SW_HIDE);
    list->SetFocus();
    int top = list->GetTopIndex();
    if (Entry* entry = GetRowEntry(list, top)) {
        list->SetItemState(top, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ShowDescriptions(*entry);
    }
}

void CConnectorDlg::ShowDescriptions(const Entry& entry)
{
    const CWebConnectorSubtype& first = entry.connector.m_subtypes.front();
    if (!first.m_strDescription.IsEmpty()) {
        SetDlgItemText(IDC_CONNECTORS_DESC, first.m_strDescription);
        GetDlgItem(IDC_CONNECTORS_DESC)->ShowWindow(SW_SHOW);
    }
    if (!first.m_strLongDescription.IsEmpty()) {
        SetDlgItemText(IDC_CONNECTORS_LONGDESC, first.m_strLongDescription);
        GetDlgItem(IDC_CONNECTORS_LONGDESC)->ShowWindow(SW_SHOW);
    }
}

BOOL CConnectorDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && header->code == LVN_ITEMCHANGED) {
        // Any tab's list, however many tabs there are.
        for (CConnectorListCtrl* list : m_tabs) {
            if (list->m_hWnd == header->hwndFrom) {
                RowChanged(list, reinterpret_cast<NMLISTVIEW*>(lParam)->iItem);
                *pResult = 0;
                return TRUE;
            }
        }
    }
    return CDialog::OnNotify(wParam, lParam, pResult);
}

void CConnectorDlg::RowChanged(CConnectorListCtrl* pList, int nRow)
{
    Entry* entry = GetRowEntry(pList, nRow);
    if (!m_bReady || !entry)
        return;
    ShowDescriptions(*entry);
    bool checked = pList->GetCheck(nRow) != FALSE;
    if (checked == ((entry->flags & flagEnabled) != 0))
        return;
    for (Entry& other : m_entries) {
        if (other.connector.m_strPath == entry->connector.m_strPath)
            SetEntryState(other, checked);
    }
    CheckRowsOfFile(entry->connector.m_strPath, checked);
    pList->SetItemState(nRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    TellFileMates(*entry);
}

void CConnectorDlg::CheckRowsOfFile(const CString& path, bool checked)
{
    // The rows' own notifications would show their descriptions.
    m_bReady = FALSE;
    for (CConnectorListCtrl* list : m_tabs) {
        for (int row = 0; row < list->GetItemCount(); ++row) {
            Entry* entry = GetRowEntry(list, row);
            if (entry && entry->connector.m_strPath == path && (list->GetCheck(row) != FALSE) != checked)
                list->SetCheck(row, checked);
        }
    }
    m_bReady = TRUE;
}

void CConnectorDlg::TellFileMates(const Entry& entry)
{
    const CString& path = entry.connector.m_strPath;
    if (!m_toldFiles.insert(path.GetString()).second)
        return;
    // Connectors the dialog does not list move with the file too.
    CString mates;
    auto add = [&](const std::vector<CWebConnectorDef>& connectors) {
        for (const CWebConnectorDef& connector : connectors) {
            if (connector.m_strPath == path && !connector.IsSameAs(entry.connector))
                mates += RowName(connector) + "\r\n";
        }
    };
    add(m_handler.GetEnabledConnectors().GetConnectors());
    add(m_handler.GetDisabledConnectors());
    if (mates.IsEmpty())
        return;
    m_strFileMatesNote.Format(IDS_CONNECTORS_SAME_FILE, RowName(entry.connector).GetString(), mates.GetString());
    PostMessage(WM_TELL_FILE_MATES);
}

LRESULT CConnectorDlg::OnTellFileMates(WPARAM, LPARAM)
{
    if (!m_strFileMatesNote.IsEmpty()) {
        const CString note = m_strFileMatesNote;
        m_strFileMatesNote.Empty();
        MessageBox(note, nullptr, MB_OK | MB_ICONINFORMATION);
    }
    return 0;
}

void CConnectorDlg::OnTabChanged(NMHDR*, LRESULT* pResult)
{
    ShowTab(m_pTabCtrl->GetCurSel());
    *pResult = 0;
}

void CConnectorDlg::OnOK()
{
    // A filing or a resend names its connectors by position: none moves
    // under it. The dialog stays open for a later try.
    CQuillmateApp* app = QuiGetApp();
    if (app && app->IsWaiting()) {
        CString text;
        text.LoadString(IDS_WAIT_FOR_FILING);
        MessageBox(text, nullptr, MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The connectors named as their rows show them, one a line. The first
    // connector of a file moves it, and the others of the file with it.
    CString notMoved, notFound;
    std::map<std::string, int> files;
    for (Entry& entry : m_entries) {
        if (!(entry.flags & flagChanged))
            continue;
        const std::string path = entry.connector.m_strPath.GetString();
        auto done = files.find(path);
        const int result = done != files.end()
                               ? done->second
                               : m_handler.SetConnectorEnabled(entry.connector, (entry.flags & flagEnabled)
                                                                                     ? CWebActionHandler::connectorEnable
                                                                                     : 0);
        if (result != CWebActionHandler::connectorNotFound)
            files[path] = result;
        if (result == CWebActionHandler::connectorSet)
            m_bApplied = TRUE;
        else if (result == CWebActionHandler::connectorNotMoved)
            notMoved += RowName(entry.connector) + "\r\n";
        else
            notFound += RowName(entry.connector) + "\r\n";
    }
    CString text;
    if (!notMoved.IsEmpty())
        text.Format(IDS_CONNECTORS_NOT_MOVED, notMoved.GetString());
    if (!notFound.IsEmpty()) {
        CString more;
        more.Format(IDS_CONNECTORS_NOT_FOUND, notFound.GetString());
        text += (text.IsEmpty() ? "" : "\r\n\r\n") + more;
    }
    if (!text.IsEmpty())
        MessageBox(text, nullptr, MB_OK | MB_ICONEXCLAMATION);
    EndDialog(IDOK);
}

void CConnectorDlg::OnApply()
{
    OnOK();
}

void CConnectorDlg::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CConnectorDlg::OnCancelCommand()
{
    OnCancel();
}

void CConnectorDlg::OnHelp()
{
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(0, HELP_CONTEXT);
}

void CConnectorDlg::OnPaint()
{
    if (!IsIconic() || !m_hIcon) {
        CDialog::OnPaint();
        return;
    }
    PaintIconCentred(*this, m_hIcon);
}

HCURSOR CConnectorDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void CConnectorDlg::OnDestroy()
{
    m_bReady = FALSE;
    m_pShown = nullptr;
    for (CConnectorListCtrl* list : m_tabs) {
        list->DestroyWindow();
        delete list;
    }
    m_tabs.clear();
    if (s_pOpen == this)
        s_pOpen = nullptr;
    COzuApp* app = QuiGetOzuApp();
    if (app && app->m_pConnectorDlg == this)
        app->m_pConnectorDlg = nullptr;
    CDialog::OnDestroy();
}

//--- CConnectorInfoDlg

CConnectorInfoDlg::CConnectorInfoDlg(CWebActionHandler& handler, CWnd* pParent)
    : CDialog(IDD_CONNECTOR_INFO, pParent), m_handler(handler)
{
}

BOOL CConnectorInfoDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CListCtrl list;
    if (!list.SubclassDlgItem(IDC_CONNECTOR_INFO_LIST, this))
        return TRUE;
    AddColumns(list, IDS_CONNECTOR_INFO_ACTION, IDS_CONNECTOR_INFO_VERSION, FALSE);
    for (const CWebConnectorDef& connector : m_handler.GetEnabledConnectors().GetConnectors()) {
        for (const CWebConnectorSubtype& subtype : connector.m_subtypes) {
            // Hidden actions are listed: they are there, only not offered.
            if (subtype.IsNoAction())
                continue;
            int row = list.InsertItem(list.GetItemCount(), subtype.m_strMenuString);
            list.SetItemText(row, 1, subtype.m_strVersion);
        }
    }
    list.UnsubclassWindow();
    return TRUE;
}

//--- the buttons that open them

BOOL QuiRunConnectorDlg(CWnd* pParent)
{
    if (CConnectorDlg* open = CConnectorDlg::GetOpen()) {
        open->SetForegroundWindow();
        open->SetActiveWindow();
        return FALSE;
    }
    CQuillmateApp* app = QuiGetApp();
    CDatastore* datastore = app ? app->GetDatastore() : nullptr;
    if (!datastore)
        return FALSE;
    // Opened inside a filing's wait, its own loop would hold the filing up.
    if (app->IsWaiting()) {
        AfxMessageBox(IDS_WAIT_FOR_FILING, MB_OK | MB_ICONINFORMATION);
        return FALSE;
    }
    CConnectorDlg dialog(*datastore->GetWebActionHandler(), pParent);
    if (dialog.DoModal() != IDOK || !dialog.HasAppliedChanges())
        return FALSE;
    // The moves freed the records the web action items pointed at; the
    // reload that follows is refused while notes are open, so bind them now.
    datastore->SyncItems();
    return TRUE;
}

void QuiRunConnectorInfoDlg(CWnd* pParent)
{
    if (CWebActionHandler* handler = Handler()) {
        CConnectorInfoDlg dialog(*handler, pParent);
        dialog.DoModal();
    }
}

void QuiInstallConnectorDialogs()
{
    CSplashWnd::SetConnectorInfoRunner(&QuiRunConnectorInfoDlg);
    CPropPageAdvanced::SetConnectorDlgRunner(&QuiRunConnectorDlg);
}
