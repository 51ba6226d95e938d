#include "PimPanes.h"

#include <algorithm>
#include <list>

#include "ActionNote.h"
#include "ButtonProps.h"
#include "CoreWndUtil.h"
#include "Datastore.h"
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

// The category field is wide enough for the longest category's name up to
// this many characters; longer names are cut.
const int kCategoryCut = 24;

// A due date's phrase names a day (5), or only a time of day, whose day it
// gives while no phrase names one.
bool IsDueTag(int tag)
{
    return tag == 5 || tag == kTimeOfDayTag;
}

} // namespace

//--- CPimToDoDestination

CPimToDoDestination::CPimToDoDestination(CPimToDoPane* pPane, PimEdition edition)
    : CDestination(pPane), m_edition(edition), m_pPane(pPane)
{
    if (edition == pimNotes)
        m_bNotVersion5 = !PimIsNotesVersion5();
}

CPimToDoDestination::~CPimToDoDestination()
{
    detachSinks();
}

void CPimToDoDestination::Bind()
{
    m_pDue.reset(new CDateDropProp(&m_pPane->GetDueField()));
    m_pStart.reset(new CDateDropProp(&m_pPane->GetStartField()));
    m_day.Bind(m_pDue.get(), this);
    m_pCategories.reset(new CMultiDropProp(&m_pPane->GetCategoryField()));
    if (m_edition == pimNotes)
        m_pCheckBox.reset(new CCheckBoxProp(&m_pPane->GetDoneBox()));
}

CActionNote* CPimToDoDestination::Note()
{
    return m_pPane ? m_pPane->GetActionNote() : nullptr;
}

int CPimToDoDestination::attachSinks()
{
    if (HasCategories()) {
        CStringArray ids;
        ItemIds(PIM_TODO_CATEGORY_TYPE, ids);
        m_pPane->SetCategoryItems(ids);
        RegisterDestinationSink("Alias", PIM_TODO_CATEGORY_TYPE, this, Note(), m_categorySink, m_pCategoryContext,
                                m_bCategoryRegistered);
    }
    RegisterDestinationSink("Date", PIM_DATE_ITEM_TYPE, this, Note(), m_dateSink, m_pDateContext, m_bDateRegistered);
    return 0;
}

void CPimToDoDestination::detachSinks()
{
    UnregisterDestinationSink("Date", m_dateSink, m_pDateContext, m_bDateRegistered);
    UnregisterDestinationSink("Alias", m_categorySink, m_pCategoryContext, m_bCategoryRegistered);
}

void CPimToDoDestination::ForgetKeyphrases()
{
    if (!m_pDue)
        return;
    if (CActionNote* note = Note())
        note->ReleaseKeyphrases(this);
    m_day.Forget();
    for (CDestProp* prop : {static_cast<CDestProp*>(m_pDue.get()), static_cast<CDestProp*>(m_pStart.get())}) {
        prop->SetKeyphraseId(0);
        prop->SetData(0);
        prop->SetFlags(0);
    }
    if (HasCategories()) {
        CStringArray ids;
        ItemIds(PIM_TODO_CATEGORY_TYPE, ids);
        for (int i = 0; i < ids.GetSize(); i++)
            m_pCategories->SetItemData(ids[i], nullptr);
    }
    m_nCategoryKeyphrase = 0;
    m_pCategories->SetData(0);
    m_pCategories->SetFlags(0);
}

void CPimToDoDestination::Retake()
{
    ReplaySink(m_dateSink, m_pDateContext, m_bDateRegistered);
    ReplaySink(m_categorySink, m_pCategoryContext, m_bCategoryRegistered);
}

std::vector<INT_PTR> CPimToDoDestination::HeldKeyphrases() const
{
    std::vector<INT_PTR> held;
    if (!m_pDue)
        return held;
    for (INT_PTR id : {m_pDue->GetKeyphraseId(), m_pStart->GetKeyphraseId(), m_day.StandingTime(),
                       m_nCategoryKeyphrase}) {
        if (id != 0)
            held.push_back(id);
    }
    CStringArray ids;
    if (HasCategories())
        ItemIds(PIM_TODO_CATEGORY_TYPE, ids);
    for (int i = 0; i < ids.GetSize(); i++) {
        if (void* kp = m_pCategories->GetItemData(ids[i]))
            held.push_back(reinterpret_cast<INT_PTR>(kp));
    }
    return held;
}

bool CPimToDoDestination::IsModified()
{
    if (!m_pDue)
        return false;
    return AnyUserChanged({GetCheckProp(), m_pDue.get(), m_pStart.get(), m_pCheckBox.get(), m_pCategories.get()});
}

void CPimToDoDestination::OnParseResult1(QuiPrsItemRole* pRole, int, INT_PTR nExtra, QuiDestinationSink*)
{
    if (!pRole || !m_pDue || nExtra == 0)
        return;
    if (SwitchedOff(*this) || m_bParseLocked)
        return;
    const int tag = pRole->getTag();
    CDestProp* prop = IsDueTag(tag)                  ? static_cast<CDestProp*>(m_pDue.get())
                      : tag == 0 && HasCategories() ? static_cast<CDestProp*>(m_pCategories.get())
                                                    : nullptr;
    if (!prop)
        return;
    CActionNote* note = Note();
    QuiPrsKeyphrase* kp = KeyphraseOf(nExtra);
    // A field the user changed takes no phrase. One that filled it before
    // keeps its hold: its mark goes when it does.
    if (UserChanged(prop))
        return;
    if (prop == m_pDue.get()) {
        COleVariant value;
        RangedRoleDate(pRole, value);
        const bool filled =
            tag == kTimeOfDayTag ? m_day.TakeTime(nExtra, value, note) : m_day.TakeDay(nExtra, value, note);
        // A time's day is a parsed due date too: it ticks the to-do alike.
        if (filled)
            m_pDue->SetData(5);
        return;
    }
    const CString id = RoleItemId(pRole);
    if (id.IsEmpty())
        return;
    if (m_edition == pimPalm) {
        // One category at a time: the first keyphrase holds it.
        if (m_nCategoryKeyphrase == 0) {
            m_pCategories->CheckItem(id, CDestProp::FLAG_PARSED, kp, TRUE);
            HoldKeyphrase(note, this, nExtra);
            m_nCategoryKeyphrase = nExtra;
            m_pCategories->SetData(tag);
        }
    } else if (!m_pCategories->GetItemData(id)) {
        HoldKeyphrase(note, this, nExtra);
        m_pCategories->CheckItem(id, CDestProp::FLAG_PARSED, kp, TRUE);
        m_pCategories->SetData(tag);
    }
    if (!UserChanged(GetCheckProp()))
        SetChecked(*this, true);
}

void CPimToDoDestination::OnParseResult2(QuiPrsItemRole* pRole, int, INT_PTR nExtra, QuiDestinationSink*)
{
    if (!pRole || !m_pDue || nExtra == 0)
        return;
    const int tag = pRole->getTag();
    CActionNote* note = Note();
    QuiPrsKeyphrase* kp = KeyphraseOf(nExtra);
    if (IsDueTag(tag)) {
        if (m_day.Drop(nExtra, note, !m_bParseLocked && !SwitchedOff(*this)))
            m_pDue->SetData(m_pDue->GetKeyphraseId() != 0 ? 5 : 0);
        return;
    }
    if (tag != 0 || !HasCategories())
        return;
    const CString id = RoleItemId(pRole);
    if (id.IsEmpty())
        return;
    // The phrase goes even from a field the user changed, which keeps the
    // user's choice.
    const bool user = UserChanged(m_pCategories.get());
    if (m_edition == pimPalm) {
        if (m_nCategoryKeyphrase != nExtra)
            return;
        LetKeyphraseGo(note, this, nExtra);
        m_nCategoryKeyphrase = 0;
        if (!user)
            m_pCategories->UncheckItem(id, CDestProp::FLAG_PARSED, TRUE);
        return;
    }
    if (m_pCategories->GetItemData(id) != kp)
        return;
    LetKeyphraseGo(note, this, nExtra);
    if (user) {
        m_pCategories->SetItemData(id, nullptr);
        return;
    }
    m_pCategories->SetData(0);
    m_pPane->UncheckCategory(id);
}

void CPimToDoDestination::OnParseResult3(QuiPrsItemRole* pRole, int, INT_PTR nExtra, QuiDestinationSink*)
{
    if (!pRole || !m_pDue || nExtra == 0)
        return;
    bool held = false;
    if (IsDueTag(pRole->getTag()))
        held = m_pDue->GetKeyphraseId() == nExtra || m_day.StandingTime() == nExtra;
    else if (pRole->getTag() == 0 && HasCategories())
        held = m_edition == pimPalm ? m_nCategoryKeyphrase == nExtra
                                    : m_pCategories->GetItemData(RoleItemId(pRole)) == KeyphraseOf(nExtra);
    if (held) {
        if (CActionNote* note = Note())
            note->SetKeyphrasesChanged();
    }
}

void CPimToDoDestination::OnParseDone()
{
    if (!m_pDue || IsModified() || m_bParseLocked)
        return;
    bool checked = false;
    if (HasCategories()) {
        COleVariant named;
        m_pCategories->GetValue(&named);
        checked = named.vt != VT_EMPTY && named.vt != VT_NULL;
    }
    if (!checked)
        checked = m_pDue->GetData() == 5;
    SetChecked(*this, checked);
}

int CPimToDoDestination::GetBodyText(CString& text)
{
    text.Empty();
    CActionNote* note = Note();
    if (!note || !m_pDue)
        return 0;
    if (UserChanged(m_pDue.get()))
        m_pDue->SetKeyphraseId(0);
    CString noteText;
    note->GetNoteText(noteText);
    const INT_PTR keyphrase = m_pDue->GetKeyphraseId();
    text = TextWithoutKeyphrases(noteText, &keyphrase, 1);
    text.TrimLeft();
    text.TrimRight();
    return 0;
}

int CPimToDoDestination::fileItem(CGodwitWrapper* pRecord)
{
    if (!pRecord || !m_pDue)
        return 0;
    pRecord->AddTypeBit(GODWIT_TYPE_TODO);
    CString body;
    GetBodyText(body);
    pRecord->SetBody(body);

    COleVariant due, start;
    ReadProp(m_pDue.get(), due);
    if (due.vt == VT_NULL && due.date == -2.0)
        Refuse(IDS_WEBCAL_BAD_DATE);
    if (due.vt == VT_DATE && due.date == -3.0)
        Refuse(IDS_PIM_DATE_OUT_OF_RANGE);
    if (IsDate(due))
        pRecord->SetDueDate(due.date);
    else if (TypedButUnread(m_pDue.get()))
        Refuse(IDS_WEBCAL_BAD_DATE);

    ReadProp(m_pStart.get(), start);
    if (start.vt == VT_NULL && start.date == -2.0)
        Refuse(IDS_PIM_NO_DATE);
    if (m_edition == pimNotes) {
        if (IsDate(start)) {
            if (IsDate(due) && start.date > due.date)
                Refuse(IDS_PIM_START_AFTER_DUE);
            pRecord->SetStartDate(start.date);
        } else if (TypedButUnread(m_pStart.get())) {
            Refuse(IDS_PIM_NO_DATE);
        }
    } else if (m_edition == pimOutlook && start.vt == VT_NULL && start.date == -1.0 && IsDate(due)) {
        pRecord->SetStartDate(due.date);
    }

    pRecord->SetPriority(static_cast<short>(m_edition == pimNotes ? 2 : 1));
    if (!HasCategories()) {
        COleVariant box;
        m_pCheckBox->GetValue(&box);
        if (box.vt == VT_BOOL && box.boolVal == VARIANT_TRUE)
            pRecord->AddSubTypeBit(2);
        return 0;
    }
    CStringArray ids;
    m_pCategories->GetItemIDs(ids);
    if (m_edition != pimNotes && ids.GetSize() == 0)
        return 0;
    COleVariant names;
    NameArray(ids, names);
    pRecord->SetTaskCategory(names);
    return 0;
}

//--- CPimToDoPane

IMPLEMENT_DYNAMIC(CPimToDoPane, CWnd)

BEGIN_MESSAGE_MAP(CPimToDoPane, CDestPane)
    ON_WM_CREATE()
    ON_EN_CHANGE(CPimToDoPane::IDC_DUE, OnDueChange)
    ON_EN_CHANGE(CPimToDoPane::IDC_START, OnStartChange)
    ON_EN_CHANGE(CPimToDoPane::IDC_CATEGORIES, OnCategoryChange)
    ON_EN_KILLFOCUS(CPimToDoPane::IDC_DUE, OnDueKillFocus)
    ON_EN_KILLFOCUS(CPimToDoPane::IDC_START, OnStartKillFocus)
    ON_BN_CLICKED(CPimToDoPane::IDC_DONE_BOX, OnDoneBox)
END_MESSAGE_MAP()

CPimToDoPane::CPimToDoPane(CPimToDoDestination* pDest, UINT nID, PimEdition edition)
    : CDestPane(pDest), m_edition(edition), m_nID(nID)
{
    pDest->Bind();
}

CPimToDoPane::~CPimToDoPane()
{
    GetToDoDestination()->detachSinks();
}

COzuToDoPane::COzuToDoPane() : CPimToDoPane(new COzuToDoDestination(this), IDP_OZU_TODO, pimNotes) {}
CIbeToDoPane::CIbeToDoPane() : CPimToDoPane(new CIbeToDoDestination(this), IDP_IBE_TODO, pimPalm) {}
CRukToDoPane::CRukToDoPane() : CPimToDoPane(new CRukToDoDestination(this), IDP_RUK_TODO, pimOutlook) {}

BOOL CPimToDoPane::Create(int y, CWnd* pParent)
{
    UINT resId = m_nID;
    if (m_edition == pimNotes)
        resId = HasCategories() ? IDP_OZU_TODO_RES : IDP_OZU_TODO_OLD;
    return CreatePane(y, pParent, m_nID, static_cast<int>(resId));
}

BOOL CPimToDoPane::DestroyWindow()
{
    for (CWnd* child : {static_cast<CWnd*>(&m_doneBox), static_cast<CWnd*>(&m_categories),
                        static_cast<CWnd*>(&m_start), static_cast<CWnd*>(&m_due), static_cast<CWnd*>(&m_label)}) {
        if (child->GetSafeHwnd())
            child->DestroyWindow();
    }
    return CDestPane::DestroyWindow();
}

int CPimToDoPane::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDestPane::OnCreate(lpCreateStruct) == -1)
        return -1;
    CQuillmateApp* app = QuiGetApp();
    CFont* font = app ? app->GetSmallFont() : nullptr;
    CWnd* parent = GetParent();
    CRect client;
    GetClientRect(client);
    POINT row0 = {}, row1 = {};
    GetControlPos(0, &row0);
    GetControlPos(1, &row1);
    const int high8 = DluToPixelsX(parent, 8);

    // Row 0: the category field, or under Notes releases before 5 the
    // calendar box in its place.
    CString box;
    box.LoadString(IDS_PIM_CALENDAR_BOX);
    if (!m_doneBox.Create(box, WS_CHILD | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX,
                          CRect(row0.x, row0.y, client.right - 3, row0.y + high8), this, IDC_DONE_BOX))
        return -1;
    const DWORD style = m_edition == pimPalm ? CEditDrop::dropSingleChoice : 0;
    if (!m_categories.Create(row0.x, row0.y, client.right - 3 - row0.x, 0, this, IDC_CATEGORIES, style))
        return -1;

    // Row 1: the hidden start date and the due date at the right edge, the
    // label before them (LayoutToWidth places them).
    if (!m_start.Create(row1.x, row1.y, 0, this, IDC_START))
        return -1;
    m_start.SetPromptText(IDS_WEBTODO_DATE_PROMPT);
    if (!m_due.Create(row1.x, row1.y, 0, this, IDC_DUE))
        return -1;
    m_due.SetPromptText(IDS_PIM_DUE_PROMPT);
    CRect due = ChildRect(m_due, *this);
    CString label;
    label.LoadString(IDS_WEBTODO_DUE);
    if (!m_label.Create(label, WS_CHILD | SS_RIGHT, CRect(0, due.top, LabelWidth(label, 20), due.bottom), this,
                        IDC_LABEL))
        return -1;
    if (font) {
        m_label.SetFont(font);
        m_doneBox.SetFont(font);
    }
    for (CEditDrop* field : {static_cast<CEditDrop*>(&m_categories), static_cast<CEditDrop*>(&m_start),
                             static_cast<CEditDrop*>(&m_due)})
        field->SetBkColor(FIELD_COLOR);
    LayoutToWidth();
    m_start.ShowWindow(SW_HIDE);
    Show();
    m_bCreating = FALSE;
    return 0;
}

void CPimToDoPane::LayoutToWidth()
{
    if (!m_label.GetSafeHwnd())
        return;
    StretchToRightEdge(m_doneBox);
    StretchToRightEdge(m_categories);
    KeepAtRightEdge(m_start, 5);
    const CRect due = KeepAtRightEdge(m_due, 5);
    CRect label = ChildRect(m_label, *this);
    m_label.MoveWindow(due.left - 1 - label.Width(), label.top, label.Width(), label.Height());
}

int CPimToDoPane::GetNeededWidth()
{
    if (!m_label.GetSafeHwnd())
        return 0;
    POINT row0 = {}, row1 = {};
    GetControlPos(0, &row0);
    GetControlPos(1, &row1);
    // Row 1: the label, then the due date.
    int needed = row1.x + ChildRect(m_label, *this).Width() + 1 + ChildRect(m_due, *this).Width() + 2 + 3;
    // Row 0: the longest category the back end lists (up to a cut), or the
    // calendar box's text.
    int widest = 0;
    if (HasCategories()) {
        CRect field, edit;
        m_categories.GetClientRect(field);
        m_categories.GetEdit().GetClientRect(edit);
        const DWORD margins = static_cast<DWORD>(m_categories.GetEdit().SendMessage(EM_GETMARGINS));
        CStringArray ids;
        ItemIds(PIM_TODO_CATEGORY_TYPE, ids);
        CDatastore* datastore = Datastore();
        QuiItemList* items = datastore ? datastore->GetItemList() : nullptr;
        for (int i = 0; items && i < ids.GetSize(); i++) {
            QuiItem* item = items->get(QuiItemID(ids[i]));
            CString name = item && item->getDisplayName() ? item->getDisplayName() : "";
            widest = std::max(widest, TextWidth(name.Left(kCategoryCut)));
        }
        widest += LOWORD(margins) + HIWORD(margins) + 2 + field.Width() - edit.Width();
    } else {
        CString box;
        m_doneBox.GetWindowText(box);
        widest = TextWidth(box) + ::GetSystemMetrics(SM_CXMENUCHECK) + 6;
    }
    return std::max(needed, static_cast<int>(row0.x) + widest + 3);
}

void CPimToDoPane::Show()
{
    const BOOL checked = GetCheckButton()->GetCheck();
    if (CActionNote* note = GetActionNote()) {
        if (note->GetNoteWnd() && note->GetNoteWnd()->GetSafeHwnd())
            note->GetNoteWnd()->SetWindowContextHelpId(checked ? 2 : 26);
    }
    if (!m_due.GetSafeHwnd())
        return;
    m_due.ShowWindow(SW_SHOW);
    m_label.ShowWindow(SW_SHOW);
    m_categories.ShowWindow(HasCategories() ? SW_SHOW : SW_HIDE);
    m_doneBox.ShowWindow(HasCategories() ? SW_HIDE : SW_SHOW);
}

BOOL CPimToDoPane::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    BOOL handled = CDestPane::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    if (handled && !pHandlerInfo && nID == m_nID && nCode == CN_COMMAND && !GetCheckButton()->GetCheck()) {
        CPimToDoDestination* dest = GetToDoDestination();
        // Only the user's own untick starts afresh: one that came with the
        // web actions (parsing locked) keeps what the user typed.
        if (GetCheckButton()->GetChanged() && !dest->IsParseLocked()) {
            m_due.SetText("");
            m_start.SetText("");
            if (HasCategories())
                m_categories.SetText("");
            m_doneBox.SetCheck(BST_UNCHECKED);
            dest->ForgetKeyphrases();
            Show();
        }
    } else if (handled && !pHandlerInfo && nID == m_nID && nCode == CN_COMMAND && GetCheckButton()->GetChanged() &&
               !GetToDoDestination()->IsParseLocked()) {
        // Switched on again, it takes the note as it stands.
        GetToDoDestination()->Retake();
    }
    return handled;
}

void CPimToDoPane::SetCategoryItems(const CStringArray& ids)
{
    if (HasCategories() && m_categories.GetSafeHwnd())
        m_categories.SetItems(ids);
}

void CPimToDoPane::UncheckCategory(const CString& id)
{
    if (HasCategories() && m_categories.GetSafeHwnd())
        m_categories.UncheckItem(id, TRUE);
}

void CPimToDoPane::OnDateChange(CDateDrop& field, UINT)
{
    // The prompt is no text: GetTextLength counts only what was typed.
    if (!m_bCreating && field.GetTextLength() > 0 && !GetCheckButton()->GetCheck())
        GetCheckButton()->SetCheck(TRUE);
}

void CPimToDoPane::OnDueChange()
{
    OnDateChange(m_due, IDS_PIM_DUE_PROMPT);
}

void CPimToDoPane::OnStartChange()
{
    OnDateChange(m_start, IDS_WEBTODO_DATE_PROMPT);
}

void CPimToDoPane::OnCategoryChange()
{
    if (m_bCreating || m_categories.GetTextLength() == 0)
        return;
    if (!GetCheckButton()->GetCheck())
        GetCheckButton()->SetCheck(TRUE);
    Show();
}

void CPimToDoPane::OnDueKillFocus()
{
    const DATE date = FieldDate(m_due);
    if (date >= 0.0)
        m_due.SetDate(date);
}

void CPimToDoPane::OnStartKillFocus()
{
    const DATE date = FieldDate(m_start);
    if (date >= 0.0)
        m_start.SetDate(date);
}

void CPimToDoPane::OnDoneBox()
{
    if (!m_doneBox.GetSafeHwnd() || HasCategories())
        return;
    GetCheckButton()->SetCheck(m_doneBox.GetCheck() == BST_CHECKED);
}
