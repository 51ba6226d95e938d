#include "WebActionsPane.h"

#include "ActionNote.h"
#include "Datastore.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"
#include "URLHandler.h"
#include "WebActionItem.h"
#include "WebActionsSettings.h"
#include "WebConnector.h"

namespace {

CWebConnectorSubtype* SubtypeOf(const CString& id)
{
    CQuillmateApp* app = QuiGetApp();
    CDatastore* datastore = app ? app->GetDatastore() : nullptr;
    QuiItemList* items = datastore ? datastore->GetItemList() : nullptr;
    auto* item = items ? dynamic_cast<CWebActionItem*>(items->get(QuiItemID(id))) : nullptr;
    return item ? item->GetSubtype() : nullptr;
}

} // namespace

// The panes above it keep no class record of their own.
IMPLEMENT_DYNAMIC(CWebActionsPane, CWnd)

BEGIN_MESSAGE_MAP(CWebActionsPane, CDestPane)
    ON_WM_CREATE()
    ON_EN_CHANGE(CWebActionsPane::IDC_ACTION_FIELD, OnActionTextChange)
    ON_WM_PAINT()
    ON_COMMAND_RANGE(ID_WEB_ACTION_FIRST, ID_WEB_ACTION_LAST, OnActionCommand)
END_MESSAGE_MAP()

CWebActionsPane::CWebActionsPane() : CDestPane(new CWebActionsDestination(this))
{
    GetWebDestination()->BindActionField(&m_actionField);
}

CWebActionsPane::~CWebActionsPane()
{
    m_actionField.DestroyWindow();
}

CWebActionsDestination* CWebActionsPane::GetWebDestination() const
{
    return static_cast<CWebActionsDestination*>(GetDestination());
}

BOOL CWebActionsPane::Create(int y, CWnd* pParent)
{
    return CreatePane(y, pParent, PANE_ID);
}

BOOL CWebActionsPane::DestroyWindow()
{
    m_actionField.DestroyWindow();
    return CDestPane::DestroyWindow();
}

void CWebActionsPane::OnChecked()
{
    // Switched on again by the user, the pane takes the note as it stands.
    if (GetCheckButton()->GetChanged())
        GetWebDestination()->Retake();
}

int CWebActionsPane::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDestPane::OnCreate(lpCreateStruct) == -1)
        return -1;
    CQuillmateApp* app = QuiGetApp();
    POINT below = {};
    GetControlPos(1, &below);
    if (!m_spacer.Create("", WS_CHILD | WS_VISIBLE, CRect(below.x, below.y, below.x + 1, below.y + 1), this,
                         IDC_SPACER))
        return -1;
    if (app)
        m_spacer.SetFont(app->GetSmallFont());

    CRect client;
    GetClientRect(client);
    POINT first = {};
    GetControlPos(0, &first);
    const int left = first.x - 2;
    const int width = client.right - 3 - left;
    if (!m_actionField.Create(left, first.y, width > 0 ? width : 1, 0, this, IDC_ACTION_FIELD,
                              CEditDrop::dropSingleChoice))
        return -1;
    if (!m_connectorLabel.Create("", WS_CHILD, CRect(below.x, below.y, client.right - 3, client.bottom), this,
                                 IDC_CONNECTOR_LABEL))
        return -1;
    if (app)
        m_connectorLabel.SetFont(app->GetSmallFont());

    // Without a browser driver no web action could be opened.
    if (QuiURLHandler::GetDefaultBrowser() && DefaultBrowser::GetBrowserType() == -1)
        GetWebDestination()->SetEnabled(false);
    m_actionField.ShowWindow(SW_SHOW);
    GetCheckButton()->SetCheck(FALSE);
    m_bCreating = FALSE;
    return 0;
}

// The action field and the connector's name reach the right edge, however
// wide the destination window becomes.
void CWebActionsPane::LayoutToWidth()
{
    StretchToRightEdge(m_actionField);
    StretchToRightEdge(m_connectorLabel);
}

void CWebActionsPane::OnPaint()
{
    // The tiled background is the window class's; the pane draws nothing more.
    CPaintDC dc(this);
}

void CWebActionsPane::FillActionList()
{
    CQuillmateApp* app = QuiGetApp();
    CDatastore* datastore = app ? app->GetDatastore() : nullptr;
    QuiItemList* items = datastore ? datastore->GetItemList() : nullptr;
    QuiItemType* type = datastore ? datastore->GetItemType(WEB_ACTION_ITEM_TYPE) : nullptr;
    CStringArray ids;
    CStringArray names;
    if (items && type) {
        int cursor = items->fetchBegin(type);
        while (QuiItem* item = items->fetchNext(cursor)) {
            ids.Add(item->getID().toString());
            names.Add(item->getDisplayName());
        }
        items->fetchEnd(cursor);
    }
    m_actionField.SetItems(ids);

    m_menuItems.RemoveAll();
    CMenu* popup = GetMenuButton()->GetPopupMenu();
    if (!popup)
        return;
    while (popup->GetMenuItemCount() > 0)
        popup->DeleteMenu(0, MF_BYPOSITION);
    for (int i = 0; i < ids.GetSize() && i < MAX_MENU_ACTIONS; i++) {
        popup->AppendMenu(MF_STRING, ID_WEB_ACTION_FIRST + i, names[i]);
        m_menuItems.Add(ids[i]);
    }
}

CString CWebActionsPane::GetChosenConnectorName()
{
    if (m_actionField.GetTextLength() == 0)
        return CString();
    CStringArray ids;
    m_actionField.GetItemIDs(ids);
    CWebConnectorSubtype* subtype = ids.IsEmpty() ? nullptr : SubtypeOf(ids[0]);
    return subtype ? subtype->m_strConnectorName : CString();
}

void CWebActionsPane::OnActionTextChange()
{
    const BOOL hasText = m_actionField.GetTextLength() > 0;
    if (hasText) {
        m_connectorLabel.SetWindowText(GetChosenConnectorName());
        m_connectorLabel.ShowWindow(SW_SHOW);
    }
    if (m_bCreating)
        return;
    if (hasText && !GetCheckButton()->GetCheck())
        GetCheckButton()->SetCheck(TRUE);
    NotifyNote(TRUE);
}

void CWebActionsPane::NotifyNote(BOOL bInForce)
{
    const DWORD edition = ReadActivePim();
    if (edition < CDatastore::typeNotes || edition > CDatastore::typeOutlook)
        return;
    if (CActionNote* note = GetActionNote())
        note->EnablePimDestinations(!(bInForce && GetCheckButton()->GetCheck()));
}

void CWebActionsPane::Show()
{
    const BOOL checked = GetCheckButton()->GetCheck();
    if (CWnd* parent = GetParent())
        parent->SetWindowContextHelpId(checked ? IDH_WEB_ACTIONS_CHECKED : IDH_WEB_ACTIONS);
    if (!checked) {
        m_connectorLabel.SetWindowText("");
        m_actionField.SetText("");
        // The keyword that chose the emptied action is no longer cut or marked.
        GetWebDestination()->ForgetActionKeyphrase();
        // A field that was empty already changes nothing, so its change
        // cannot be what tells the note that the action is off.
        NotifyNote(TRUE);
    }
    m_actionField.ShowWindow(SW_SHOW);
}

void CWebActionsPane::OnActionCommand(UINT nID)
{
    const int index = static_cast<int>(nID) - ID_WEB_ACTION_FIRST;
    if (index >= 0 && index < m_menuItems.GetSize()) {
        // Picking from the menu is the user's choice, as in the field.
        CMultiDropProp* prop = GetWebDestination()->GetActionProp();
        CStringArray named;
        prop->GetItemIDs(named);
        for (int i = 0; i < named.GetSize(); i++)
            prop->UncheckItem(named[i], 0, FALSE);
        prop->CheckItem(m_menuItems[index], CDestProp::FLAG_USER_CHANGED, nullptr, FALSE);
    }
    Show();
}
