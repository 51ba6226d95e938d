#include "WebCalPanes.h"

#include "ActionNote.h"
#include "CoreWndUtil.h"
#include "FrameworkUtil.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"
#include "WebActionJug.h"
#include "WebConnector.h"
#include "WebEditionsShared.h"

namespace {

// A due date or a date names a day; a time of day gives its day while no
// phrase names one.
bool IsDateTag(int tag)
{
    return tag == 5 || tag == 6 || tag == kTimeOfDayTag;
}

} // namespace

//--- CWebToDoDestination

CWebToDoDestination::CWebToDoDestination(CWebToDoPane* pPane) : CDestination(pPane), m_pPane(pPane) {}

CWebToDoDestination::~CWebToDoDestination()
{
    DetachSinks();
}

void CWebToDoDestination::Bind()
{
    m_pDate.reset(new CDateDropProp(&m_pPane->GetDateField()));
    m_pPriority.reset(new CEditDropProp(&m_pPane->GetPriorityField()));
    m_day.Bind(m_pDate.get(), this);
}

CActionNote* CWebToDoDestination::Note()
{
    return m_pPane ? m_pPane->GetActionNote() : nullptr;
}

void CWebToDoDestination::AttachSinks()
{
    if (IsEnabled())
        RegisterDateSink(this, Note(), m_sink, m_pContext, m_bRegistered);
}

void CWebToDoDestination::DetachSinks()
{
    UnregisterDateSink(m_sink, m_pContext, m_bRegistered);
    if (m_pDate) {
        m_day.Forget();
        m_pDate->SetKeyphraseId(0);
        m_pDate->SetData(0);
    }
}

void CWebToDoDestination::ForgetKeyphrases()
{
    if (!m_pDate)
        return;
    if (CActionNote* note = Note())
        note->ReleaseKeyphrases(this);
    m_day.Forget();
    m_pDate->SetKeyphraseId(0);
    m_pDate->SetData(0);
    m_pDate->SetFlags(0);
}

void CWebToDoDestination::Retake()
{
    ReplaySink(m_sink, m_pContext, m_bRegistered);
}

std::vector<INT_PTR> CWebToDoDestination::HeldKeyphrases() const
{
    std::vector<INT_PTR> held;
    for (INT_PTR id : {m_pDate ? m_pDate->GetKeyphraseId() : 0, m_day.StandingTime()}) {
        if (id != 0)
            held.push_back(id);
    }
    return held;
}

bool CWebToDoDestination::IsModified()
{
    return UserChanged(GetCheckProp()) || UserChanged(m_pDate.get());
}

void CWebToDoDestination::OnParseResult1(QuiPrsItemRole* pRole, int, INT_PTR nExtra, QuiDestinationSink*)
{
    // A pane the user switched off takes nothing; switched on again it takes
    // the note as it stands (Retake).
    if (!pRole || !m_pDate || SwitchedOff(*this) || m_bParseLocked)
        return;
    const int tag = pRole->getTag();
    if (!IsDateTag(tag))
        return;
    CActionNote* note = Note();
    // A field the user changed takes no phrase; one that filled it before
    // keeps its hold until it goes.
    if (UserChanged(m_pDate.get()))
        return;
    COleVariant value;
    RoleDate(pRole, value);
    if (tag == kTimeOfDayTag ? m_day.TakeTime(nExtra, value, note) : m_day.TakeDay(nExtra, value, note))
        m_pDate->SetData(tag);
}

void CWebToDoDestination::OnParseResult2(QuiPrsItemRole* pRole, int, INT_PTR nExtra, QuiDestinationSink*)
{
    if (!pRole || !m_pDate || nExtra == 0)
        return;
    if (IsDateTag(pRole->getTag()) && m_day.Drop(nExtra, Note(), !m_bParseLocked && !SwitchedOff(*this)))
        m_pDate->SetData(m_pDate->GetKeyphraseId() != 0 ? kTimeOfDayTag : 0);
}

void CWebToDoDestination::BuildQueryString(CString& text)
{
    text.Empty();
    CActionNote* note = Note();
    if (!note || !m_pDate)
        return;
    if (UserChanged(m_pDate.get()))
        m_pDate->SetKeyphraseId(0);
    CString noteText;
    note->GetNoteText(noteText);
    const INT_PTR keyphrase = m_pDate->GetKeyphraseId();
    text = TextWithoutKeyphrases(noteText, &keyphrase, 1);
}

int CWebToDoDestination::FileItem(CWebActionJug* pAction)
{
    if (!pAction || !m_pDate)
        return 0;
    const CWebConnectorSubtype* subtype = CatalogueSubtype(m_pPane->GetItemId());
    if (!subtype)
        return 0;
    pAction->m_nConnectorIndex = subtype->m_nConnectorIndex;
    pAction->m_nSubtypeIndex = subtype->m_nSubtypeIndex;
    CString query;
    BuildQueryString(query);
    pAction->SetParameter("querystring", query);
    SetDateParameters(pAction, m_pPane->GetDateField(), m_pDate->GetFlags());
    pAction->SetParameter("eventpriority", "1");
    return 0;
}

//--- CWebToDoPane

IMPLEMENT_DYNAMIC(CWebToDoPane, CWnd)

BEGIN_MESSAGE_MAP(CWebToDoPane, CDestPane)
    ON_WM_CREATE()
    ON_EN_KILLFOCUS(CWebToDoPane::IDC_DATE, OnDateKillFocus)
END_MESSAGE_MAP()

CWebToDoPane::CWebToDoPane() : CDestPane(new CWebToDoDestination(this))
{
    GetToDoDestination()->Bind();
}

CWebToDoPane::~CWebToDoPane()
{
    GetToDoDestination()->DetachSinks();
}

BOOL CWebToDoPane::Create(int y, CWnd* pParent)
{
    return CreatePane(y, pParent, PANE_ID, PANE_ID);
}

BOOL CWebToDoPane::DestroyWindow()
{
    for (CWnd* child : {static_cast<CWnd*>(&m_priority), static_cast<CWnd*>(&m_date), static_cast<CWnd*>(&m_label)}) {
        if (child->GetSafeHwnd())
            child->DestroyWindow();
    }
    return CDestPane::DestroyWindow();
}

int CWebToDoPane::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDestPane::OnCreate(lpCreateStruct) == -1)
        return -1;
    GetCheckButton()->SetDisabledImage(IDB_WEBTODO_DISABLED);
    CWnd* parent = GetParent();
    POINT row1 = {};
    GetControlPos(1, &row1);
    // The date right-aligned, the label before it and the hidden priority
    // near the right edge (LayoutToWidth places them).
    if (!m_date.Create(row1.x, row1.y - 5, 0, this, IDC_DATE))
        return -1;
    m_date.SetPromptText(IDS_WEBTODO_DATE_PROMPT);
    CRect date = ChildRect(m_date, *this);
    CString label;
    label.LoadString(IDS_WEBTODO_DUE);
    if (!m_label.Create(label, WS_CHILD | SS_RIGHT, CRect(0, date.top, LabelWidth(label, 20), date.bottom), this,
                        IDC_LABEL))
        return -1;
    if (CQuillmateApp* app = QuiGetApp())
        m_label.SetFont(app->GetSmallFont());
    if (!m_priority.Create(row1.x, row1.y - 15, DluToPixelsX(parent, 12), 0, this, IDC_PRIORITY,
                           CEditDrop::dropRightAlign))
        return -1;
    m_priority.ShowWindow(SW_HIDE);
    for (CEditDrop* field : {static_cast<CEditDrop*>(&m_date), &m_priority})
        field->SetBkColor(FIELD_COLOR);
    LayoutToWidth();
    m_strItemId = "Yahoo_yahoo todo list";
    return 0;
}

void CWebToDoPane::LayoutToWidth()
{
    if (!m_priority.GetSafeHwnd())
        return;
    KeepAtRightEdge(m_priority);
    const CRect date = KeepAtRightEdge(m_date);
    CRect label = ChildRect(m_label, *this);
    m_label.MoveWindow(date.left - 1 - label.Width(), label.top, label.Width(), label.Height());
}

int CWebToDoPane::GetNeededWidth()
{
    if (!m_priority.GetSafeHwnd())
        return 0;
    POINT row1 = {};
    GetControlPos(1, &row1);
    return row1.x + ChildRect(m_label, *this).Width() + 1 + ChildRect(m_date, *this).Width() + 3;
}

void CWebToDoPane::Show()
{
    const bool shown = GetDestination()->IsEnabled() && GetCheckButton()->GetCheck();
    if (m_priority.GetSafeHwnd())
        m_priority.ShowWindow(SW_HIDE);
    if (m_label.GetSafeHwnd())
        m_label.ShowWindow(shown ? SW_SHOW : SW_HIDE);
    if (m_date.GetSafeHwnd())
        m_date.ShowWindow(shown ? SW_SHOW : SW_HIDE);
}

BOOL CWebToDoPane::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    BOOL handled = CDestPane::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    if (!handled || pHandlerInfo || nID != PANE_ID || nCode != CN_COMMAND)
        return handled;
    CWebToDoDestination* dest = GetToDoDestination();
    if (!GetCheckButton()->GetCheck()) {
        // The label stays: it is loaded once, when the pane is made. The
        // phrases go with the date: none is cut from the note's text.
        m_date.SetText("");
        dest->ForgetKeyphrases();
        Show();
    } else if (GetCheckButton()->GetChanged() && !dest->IsParseLocked()) {
        dest->Retake();
    }
    return handled;
}

void CWebToDoPane::OnDateKillFocus()
{
    const DATE date = FieldDate(m_date);
    if (date >= 0.0)
        m_date.SetDate(date);
}
