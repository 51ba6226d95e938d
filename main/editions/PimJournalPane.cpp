#include "PimPanes.h"

#include <algorithm>
#include <list>

#include "ActionNote.h"
#include "CoreWndUtil.h"
#include "DestUtil.h"
#include "FrameworkUtil.h"
#include "GodwitDispIds.h"
#include "GodwitWrapper.h"
#include "NoteWnd.h"
#include "PimDatastore.h"
#include "PimDestCommon.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"

using namespace pimdest;

namespace {

bool AppFeature(int n)
{
    CQuillmateApp* app = QuiGetApp();
    return app && app->IsFeature(n);
}

} // namespace

//--- CPimJournalDestination

CPimJournalDestination::CPimJournalDestination(CPimJournalPane* pPane, PimEdition edition)
    : CDestination(pPane), m_edition(edition), m_pPane(pPane)
{
}

CPimJournalDestination::~CPimJournalDestination()
{
    detachSinks();
}

void CPimJournalDestination::Bind()
{
    m_pFolders.reset(new CMultiDropProp(&m_pPane->GetFolderField()));
}

CActionNote* CPimJournalDestination::Note()
{
    return m_pPane ? m_pPane->GetActionNote() : nullptr;
}

int CPimJournalDestination::attachSinks()
{
    CStringArray ids;
    ItemIds(PIM_JOURNAL_TYPE, ids);
    m_pPane->SetFolderItems(ids);
    RegisterDestinationSink("Alias", PIM_JOURNAL_TYPE, this, Note(), m_sink, m_pContext, m_bRegistered);
    return 0;
}

void CPimJournalDestination::detachSinks()
{
    UnregisterDestinationSink("Alias", m_sink, m_pContext, m_bRegistered);
}

void CPimJournalDestination::UpdateCheck(bool bAny)
{
    if (!UserChanged(GetCheckProp()))
        SetChecked(*this, bAny);
}

void CPimJournalDestination::OnParseResult1(QuiPrsItemRole* pRole, int, INT_PTR nExtra, QuiDestinationSink*)
{
    if (!pRole || !m_pFolders || nExtra == 0 || pRole->getTag() != 0)
        return;
    const CString id = RoleItemId(pRole);
    if (id.IsEmpty())
        return;
    CActionNote* note = Note();
    QuiPrsKeyphrase* kp = KeyphraseOf(nExtra);
    // A field the user changed takes no phrase.
    if (UserChanged(m_pFolders.get()))
        return;
    if (m_edition == pimPalm) {
        // One memo category: the first keyphrase holds it.
        if (m_nFolderKeyphrase == 0) {
            m_pFolders->CheckItem(id, CDestProp::FLAG_PARSED, kp, TRUE);
            HoldKeyphrase(note, this, nExtra);
            m_nFolderKeyphrase = nExtra;
            m_pFolders->SetData(pRole->getTag());
        }
    } else if (!m_pFolders->GetItemData(id)) {
        m_pFolders->CheckItem(id, CDestProp::FLAG_PARSED, kp, TRUE);
        HoldKeyphrase(note, this, nExtra);
        m_pFolders->SetItemData(id, kp);
    }
    UpdateCheck(true);
}

void CPimJournalDestination::OnParseResult2(QuiPrsItemRole* pRole, int, INT_PTR nExtra, QuiDestinationSink*)
{
    if (!pRole || !m_pFolders || nExtra == 0 || pRole->getTag() != 0)
        return;
    const CString id = RoleItemId(pRole);
    if (id.IsEmpty())
        return;
    CActionNote* note = Note();
    QuiPrsKeyphrase* kp = KeyphraseOf(nExtra);
    // The phrase goes even from a field the user changed, which keeps the
    // user's choice.
    const bool user = UserChanged(m_pFolders.get());
    if (m_edition == pimPalm) {
        if (m_nFolderKeyphrase != nExtra)
            return;
        m_nFolderKeyphrase = 0;
        if (!user)
            m_pFolders->UncheckItem(id, CDestProp::FLAG_PARSED, TRUE);
    } else {
        if (m_pFolders->GetItemData(id) != kp)
            return;
        if (!user)
            m_pFolders->UncheckItem(id, CDestProp::FLAG_PARSED, TRUE);
        m_pFolders->SetItemData(id, nullptr);
    }
    LetKeyphraseGo(note, this, nExtra);
    if (!user)
        UpdateCheck(m_pPane->GetFolderField().GetCheckedCount() > 0);
}

void CPimJournalDestination::OnParseResult3(QuiPrsItemRole* pRole, int, INT_PTR nExtra, QuiDestinationSink*)
{
    if (!pRole || !m_pFolders || nExtra == 0 || pRole->getTag() != 0)
        return;
    const bool held = m_edition == pimPalm ? m_nFolderKeyphrase == nExtra
                                           : m_pFolders->GetItemData(RoleItemId(pRole)) == KeyphraseOf(nExtra);
    if (held) {
        if (CActionNote* note = Note())
            note->SetKeyphrasesChanged();
    }
}

int CPimJournalDestination::fileItem(CGodwitWrapper* pRecord)
{
    if (!pRecord || !m_pFolders)
        return 0;
    pRecord->AddTypeBit(GODWIT_TYPE_JOURNAL);
    CString text;
    if (CActionNote* note = Note())
        note->GetNoteText(text);
    pRecord->SetBody(text);
    CStringArray ids;
    m_pFolders->GetItemIDs(ids);
    COleVariant names;
    NameArray(ids, names);
    pRecord->SetJournalCategory(names);
    return 0;
}

//--- CPimJournalPane

IMPLEMENT_DYNAMIC(CPimJournalPane, CWnd)

BEGIN_MESSAGE_MAP(CPimJournalPane, CDestPane)
    ON_WM_CREATE()
END_MESSAGE_MAP()

CPimJournalPane::CPimJournalPane(CPimJournalDestination* pDest, UINT nID, UINT nPrompt)
    : CDestPane(pDest), m_nID(nID), m_nPrompt(nPrompt)
{
    pDest->Bind();
}

CPimJournalPane::~CPimJournalPane()
{
    GetJournalDestination()->detachSinks();
}

COzuJournalPane::COzuJournalPane()
    : CPimJournalPane(new COzuJournalDestination(this), IDP_OZU_JOURNAL, IDS_OZU_JOURNAL_PROMPT)
{
}

CIbeJournalPane::CIbeJournalPane()
    : CPimJournalPane(new CIbeJournalDestination(this), IDP_IBE_JOURNAL, IDS_IBE_MEMO_PROMPT)
{
}

BOOL CPimJournalPane::Create(int y, CWnd* pParent)
{
    return CreatePane(y, pParent, m_nID, static_cast<int>(m_nID));
}

BOOL CPimJournalPane::DestroyWindow()
{
    if (m_folders.GetSafeHwnd())
        m_folders.DestroyWindow();
    return CDestPane::DestroyWindow();
}

int CPimJournalPane::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDestPane::OnCreate(lpCreateStruct) == -1)
        return -1;
    GetCheckButton()->SetDisabledImage(IDB_JOURNAL_DISABLED);
    CRect client;
    GetClientRect(client);
    POINT row1 = {};
    GetControlPos(1, &row1);
    const DWORD style = m_nID == IDP_IBE_JOURNAL ? CEditDrop::dropSingleChoice : 0;
    if (!m_folders.Create(row1.x, row1.y, client.right - 3 - row1.x, 0, this, IDC_FOLDERS, style))
        return -1;
    m_folders.SetPromptText(m_nPrompt);
    m_folders.SetBkColor(FIELD_COLOR);
    Show();
    return 0;
}

void CPimJournalPane::LayoutToWidth()
{
    StretchToRightEdge(m_folders);
}

void CPimJournalPane::Show()
{
    if (CActionNote* note = GetActionNote()) {
        if (note->GetNoteWnd() && note->GetNoteWnd()->GetSafeHwnd())
            note->GetNoteWnd()->SetWindowContextHelpId(26);
    }
    if (m_folders.GetSafeHwnd())
        m_folders.ShowWindow(GetCheckButton()->GetCheck() ? SW_SHOW : SW_HIDE);
}

void CPimJournalPane::SetFolderItems(const CStringArray& ids)
{
    if (m_folders.GetSafeHwnd())
        m_folders.SetItems(ids);
}

//--- CPimEmailDestination

CPimEmailDestination::CPimEmailDestination(CPimEmailPane* pPane, PimEdition edition)
    : CDestination(pPane), m_edition(edition), m_pPane(pPane)
{
}

CPimEmailDestination::~CPimEmailDestination() = default;

void CPimEmailDestination::Bind()
{
    m_pTo.reset(new CMultiDropProp(&m_pPane->GetToField()));
    m_pCc.reset(new CMultiDropProp(&m_pPane->GetCcField()));
    m_pBcc.reset(new CMultiDropProp(&m_pPane->GetBccField()));
}

int CPimEmailDestination::attachSinks()
{
    // The Palm edition lists no contacts of its own: its list stays empty.
    CStringArray ids;
    if (m_edition == pimNotes)
        ItemIds(PIM_CONTACT_TYPE, ids);
    m_pPane->SetRecipientItems(ids);
    return 0;
}

int CPimEmailDestination::fileItem(CGodwitWrapper* pRecord)
{
    if (!pRecord || !m_pTo || m_edition != pimNotes || !IsChecked(*this))
        return 0;
    pRecord->AddTypeBit(GODWIT_TYPE_MEMO);
    CStringArray ids;
    m_pTo->GetItemIDs(ids);
    COleVariant names;
    NameArray(ids, names);
    pRecord->SetRecipients(names);
    return 0;
}

//--- CPimEmailPane

IMPLEMENT_DYNAMIC(CPimEmailPane, CWnd)

BEGIN_MESSAGE_MAP(CPimEmailPane, CDestPane)
    ON_WM_CREATE()
    ON_COMMAND_RANGE(CPimEmailPane::IDM_FIELD_TO, CPimEmailPane::IDM_FIELD_BCC, OnField)
END_MESSAGE_MAP()

CPimEmailPane::CPimEmailPane(CPimEmailDestination* pDest, PimEdition edition) : CDestPane(pDest), m_edition(edition)
{
    pDest->Bind();
}

CPimEmailPane::~CPimEmailPane() = default;

COzuEmailPane::COzuEmailPane() : CPimEmailPane(new COzuEmailDestination(this), pimNotes) {}
CIbeEmailPane::CIbeEmailPane() : CPimEmailPane(new CIbeEmailDestination(this), pimPalm) {}

BOOL CPimEmailPane::Create(int y, CWnd* pParent)
{
    return CreatePane(y, pParent, IDP_OZU_EMAIL, IDP_OZU_EMAIL);
}

BOOL CPimEmailPane::DestroyWindow()
{
    for (CWnd* child : {static_cast<CWnd*>(&m_fieldButton), static_cast<CWnd*>(&m_to), static_cast<CWnd*>(&m_cc),
                        static_cast<CWnd*>(&m_bcc)}) {
        if (child->GetSafeHwnd())
            child->DestroyWindow();
    }
    return CDestPane::DestroyWindow();
}

int CPimEmailPane::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDestPane::OnCreate(lpCreateStruct) == -1)
        return -1;
    CRect client;
    GetClientRect(client);
    POINT row1 = {};
    GetControlPos(1, &row1);
    m_fieldButton.SetMenu(IDC_FIELD_MENU);
    if (!m_fieldButton.Create(row1.x - 2, row1.y, 0, CFlatButton::kindPush, this, IDC_FIELD_MENU,
                              CFlatButton::styleFireOnPress | CFlatButton::styleMenu | CFlatButton::styleMenuCaption))
        return -1;
    m_fieldButton.SelectMenuItem(IDM_FIELD_TO, FALSE);
    CRect button = ChildRect(m_fieldButton, *this);
    const int x = button.right + 2;
    const struct {
        CMultiDrop* field;
        UINT id;
        UINT prompt;
    } fields[] = {{&m_to, IDC_TO, IDS_PIM_TO_PROMPT}, {&m_cc, IDC_CC, IDS_PIM_CC_PROMPT},
                  {&m_bcc, IDC_BCC, IDS_PIM_BCC_PROMPT}};
    for (const auto& row : fields) {
        if (!row.field->Create(x, row1.y, client.right - 3 - x, 0, this, row.id, 0))
            return -1;
        row.field->SetPromptText(row.prompt);
        row.field->SetBkColor(FIELD_COLOR);
    }
    Show();
    return 0;
}

void CPimEmailPane::LayoutToWidth()
{
    for (CMultiDrop* field : {&m_to, &m_cc, &m_bcc})
        StretchToRightEdge(*field);
}

void CPimEmailPane::Show()
{
    // Palm: nothing at all while contacts are the back end's (feature 1).
    if (m_edition == pimPalm && AppFeature(1))
        return;
    const BOOL checked = GetCheckButton()->GetCheck();
    if (m_fieldButton.GetSafeHwnd())
        m_fieldButton.ShowWindow(checked ? SW_SHOW : SW_HIDE);
    for (CMultiDrop* field : {&m_to, &m_cc, &m_bcc}) {
        if (field->GetSafeHwnd())
            field->ShowWindow(checked && static_cast<UINT>(field->GetDlgCtrlID()) == m_nShown ? SW_SHOW : SW_HIDE);
    }
    if (m_edition == pimNotes) {
        CActionNote* note = GetActionNote();
        if (note && note->GetNoteWnd() && note->GetNoteWnd()->GetSafeHwnd())
            note->GetNoteWnd()->ShowEditLine(checked);
    }
}

void CPimEmailPane::OnField(UINT nID)
{
    m_nShown = nID == IDM_FIELD_CC ? IDC_CC : nID == IDM_FIELD_BCC ? IDC_BCC : IDC_TO;
    Show();
}

void CPimEmailPane::SetRecipientItems(const CStringArray& ids)
{
    if (m_to.GetSafeHwnd())
        m_to.SetItems(ids);
}

//--- COzuQuillmatePane

IMPLEMENT_DYNAMIC(COzuQuillmatePane, CWnd)

BEGIN_MESSAGE_MAP(COzuQuillmatePane, CDestPane)
    ON_WM_CREATE()
    ON_BN_CLICKED(COzuQuillmatePane::IDC_LINK, OnLink)
END_MESSAGE_MAP()

COzuQuillmatePane::COzuQuillmatePane() : CDestPane(new COzuQuillmateDestination(this))
{
}

COzuQuillmatePane::~COzuQuillmatePane() = default;

BOOL COzuQuillmatePane::Create(int y, CWnd* pParent)
{
    return CreatePane(y, pParent, IDP_OZU_SELF, IDP_OZU_SELF);
}

BOOL COzuQuillmatePane::DestroyWindow()
{
    if (m_link.GetSafeHwnd())
        m_link.DestroyWindow();
    return CDestPane::DestroyWindow();
}

int COzuQuillmatePane::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDestPane::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_link.Create(0, 0, 0, CFlatButton::kindPush, this, IDC_LINK))
        return -1;
    CString caption;
    caption.LoadString(IDS_OZU_SELF_LINK);
    m_link.SetCaption(caption, TRUE);
    m_link.SetTextColor(0x02FF0000);
    LayoutToWidth();
    Show();
    return 0;
}

void COzuQuillmatePane::LayoutToWidth()
{
    if (!m_link.GetSafeHwnd())
        return;
    CRect client;
    GetClientRect(client);
    CRect link = ChildRect(m_link, *this);
    m_link.SetWindowPos(nullptr, (client.Width() - link.Width()) / 2, (client.Height() - link.Height()) / 2, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void COzuQuillmatePane::Show()
{
    GetCheckButton()->ShowWindow(SW_HIDE);
    GetMenuButton()->ShowWindow(SW_HIDE);
    if (m_link.GetSafeHwnd())
        m_link.ShowWindow(SW_SHOW);
}

void COzuQuillmatePane::OnLink()
{
    CString url;
    if (!url.LoadString(IDS_NOTES_PANE_PAGE) || url.IsEmpty())
        return;
    // Through the datastore, as the web entries go: no exit, reload or new
    // browser choice frees what the browser's wait returns to.
    CQuillmateApp* app = QuiGetApp();
    CDatastore* datastore = app ? app->GetDatastore() : nullptr;
    if (!datastore || !datastore->OpenWebPage(url, TRUE))
        ::MessageBeep(MB_OK);
}
