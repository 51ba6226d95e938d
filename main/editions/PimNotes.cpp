#include "PimNotes.h"

#include <memory>
#include <type_traits>

#include "ButtonProps.h"
#include "Datastore.h"
#include "GodwitDispIds.h"
#include "GodwitWrapper.h"
#include "IbeDatastore.h"
#include "NoteDialogs.h"
#include "OzuDatastore.h"
#include "PimDatastore.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"
#include "QuillmateExcept.h"
#include "TrayWnd.h"
#include "WebActionHandler.h"
#include "WebActionJug.h"

namespace {

const UINT kViewerCommand = 32801;
const DWORD kHelpContext = 26;
const DWORD kNoteHelpId = 1501;

// Lotus Notes: to-do, calendar, journal, e-mail.
const PimNoteTraits kOzu = {pimNotes,
                            IDP_OZU_TODO,
                            IDP_OZU_CAL,
                            IDP_OZU_JOURNAL,
                            IDP_OZU_EMAIL,
                            true,
                            true,
                            true,
                            true,
                            true,
                            true,
                            false,
                            true,
                            IDS_PIM_FILED_TODO,
                            IDS_PIM_FILED_CALENDAR,
                            IDS_PIM_FILED_JOURNAL,
                            IDS_EDITION_NOTES};
// Palm Desktop: to-do, date book, memo; the e-mail pane files nothing.
const PimNoteTraits kIbe = {pimPalm,
                            IDP_IBE_TODO,
                            IDP_IBE_CAL,
                            IDP_IBE_JOURNAL,
                            IDP_IBE_EMAIL,
                            true,
                            false,
                            false,
                            false,
                            false,
                            true,
                            true,
                            true,
                            IDS_PIM_FILED_TODO,
                            IDS_PIM_FILED_CALENDAR,
                            IDS_PIM_FILED_JOURNAL,
                            IDS_EDITION_PALM};
// Outlook: tasks and the calendar.
const PimNoteTraits kRuk = {pimOutlook,
                            IDP_RUK_TODO,
                            IDP_RUK_CAL,
                            0,
                            0,
                            false,
                            false,
                            false,
                            false,
                            true,
                            false,
                            false,
                            false,
                            IDS_PIM_FILED_TASK,
                            IDS_PIM_FILED_CALENDAR,
                            0,
                            IDS_EDITION_OUTLOOK};

CQuillmateApp* App()
{
    return QuiGetApp();
}

CDatastore* CurrentDatastore()
{
    CQuillmateApp* app = App();
    return app ? app->GetDatastore() : nullptr;
}

bool Feature(int n)
{
    CQuillmateApp* app = App();
    return app && app->IsFeature(n);
}

// The tray shows the loading icon and the main window takes no commands
// while records are filed; both come back however the filing ends.
class BusyDisplay {
public:
    BusyDisplay()
    {
        CQuillmateApp* app = App();
        m_pTray = app ? app->GetTrayWnd() : nullptr;
        m_pMain = AfxGetMainWnd();
        if (m_pTray)
            m_pTray->SetTrayIcon(IDR_TRAY_LOADING);
        if (m_pMain && m_pMain->GetSafeHwnd())
            m_pMain->EnableWindow(FALSE);
        if (m_pTray)
            m_pTray->SetTipText(IDS_DEST_FILING);
    }
    ~BusyDisplay()
    {
        if (m_pTray && m_pTray->GetSafeHwnd())
            m_pTray->SetTrayIcon(IDR_TRAY);
        if (m_pMain && m_pMain->GetSafeHwnd())
            m_pMain->EnableWindow(TRUE);
    }
    BusyDisplay(const BusyDisplay&) = delete;
    BusyDisplay& operator=(const BusyDisplay&) = delete;

private:
    CTrayWnd* m_pTray;
    CWnd* m_pMain;
};

void SetDestinationChecked(CDestination* dest, bool bChecked)
{
    if (!dest)
        return;
    COleVariant value;
    value.vt = VT_BOOL;
    value.boolVal = bChecked ? VARIANT_TRUE : VARIANT_FALSE;
    dest->GetCheckProp()->SetValue(value);
}

// The destination when it is of the edition's own class (void: the edition
// has none).
template <class Ozu, class Ibe, class Ruk, class Base>
Base* OfEdition(CDestination* dest, PimEdition edition)
{
    switch (edition) {
    case pimNotes:
        return dynamic_cast<Ozu*>(dest);
    case pimPalm:
        return dynamic_cast<Ibe*>(dest);
    case pimOutlook:
        if constexpr (std::is_void_v<Ruk>)
            return nullptr;
        else
            return dynamic_cast<Ruk*>(dest);
    }
    return nullptr;
}

} // namespace

const PimNoteTraits& OzuNoteTraits()
{
    return kOzu;
}

const PimNoteTraits& IbeNoteTraits()
{
    return kIbe;
}

const PimNoteTraits& RukNoteTraits()
{
    return kRuk;
}

CPimActionNote::CPimActionNote(const PimNoteTraits& traits) : m_traits(traits)
{
    m_bBusy = 0;
}

CPimActionNote::~CPimActionNote() = default;

COzuActionNote::COzuActionNote() : CPimActionNote(kOzu) {}
CIbeActionNote::CIbeActionNote() : CPimActionNote(kIbe) {}
CRukActionNote::CRukActionNote() : CPimActionNote(kRuk) {}

//--- the destinations

CPimToDoDestination* CPimActionNote::GetToDoDestination()
{
    return OfEdition<COzuToDoDestination, CIbeToDoDestination, CRukToDoDestination, CPimToDoDestination>(
        GetPaneDestination(m_traits.toDoPane), m_traits.edition);
}

CPimCalDestination* CPimActionNote::GetCalDestination()
{
    return OfEdition<COzuCalDestination, CIbeCalDestination, CRukCalDestination, CPimCalDestination>(
        GetPaneDestination(m_traits.calPane), m_traits.edition);
}

CPimJournalDestination* CPimActionNote::GetJournalDestination()
{
    if (!m_traits.journalPane)
        return nullptr;
    return OfEdition<COzuJournalDestination, CIbeJournalDestination, void, CPimJournalDestination>(
        GetPaneDestination(m_traits.journalPane), m_traits.edition);
}

CPimEmailDestination* CPimActionNote::GetEmailDestination()
{
    if (!m_traits.emailPane)
        return nullptr;
    return OfEdition<COzuEmailDestination, CIbeEmailDestination, void, CPimEmailDestination>(
        GetPaneDestination(m_traits.emailPane), m_traits.edition);
}

CWebActionsDestination* CPimActionNote::GetWebActionsDestination()
{
    return dynamic_cast<CWebActionsDestination*>(GetPaneDestination(CWebActionsPane::PANE_ID));
}

COzuToDoDestination* COzuActionNote::GetToDoDestination()
{
    return static_cast<COzuToDoDestination*>(CPimActionNote::GetToDoDestination());
}
COzuCalDestination* COzuActionNote::GetCalDestination()
{
    return static_cast<COzuCalDestination*>(CPimActionNote::GetCalDestination());
}
COzuJournalDestination* COzuActionNote::GetJournalDestination()
{
    return static_cast<COzuJournalDestination*>(CPimActionNote::GetJournalDestination());
}
COzuEmailDestination* COzuActionNote::GetEmailDestination()
{
    return static_cast<COzuEmailDestination*>(CPimActionNote::GetEmailDestination());
}
CIbeToDoDestination* CIbeActionNote::GetToDoDestination()
{
    return static_cast<CIbeToDoDestination*>(CPimActionNote::GetToDoDestination());
}
CIbeCalDestination* CIbeActionNote::GetCalDestination()
{
    return static_cast<CIbeCalDestination*>(CPimActionNote::GetCalDestination());
}
CIbeJournalDestination* CIbeActionNote::GetJournalDestination()
{
    return static_cast<CIbeJournalDestination*>(CPimActionNote::GetJournalDestination());
}
CIbeEmailDestination* CIbeActionNote::GetEmailDestination()
{
    return static_cast<CIbeEmailDestination*>(CPimActionNote::GetEmailDestination());
}
CRukToDoDestination* CRukActionNote::GetToDoDestination()
{
    return static_cast<CRukToDoDestination*>(CPimActionNote::GetToDoDestination());
}
CRukCalDestination* CRukActionNote::GetCalDestination()
{
    return static_cast<CRukCalDestination*>(CPimActionNote::GetCalDestination());
}

BOOL CPimActionNote::IsDestinationChecked(CDestination* dest)
{
    if (!dest)
        return FALSE;
    VARIANT value;
    ::VariantInit(&value);
    dest->GetCheckProp()->GetValue(&value);
    const BOOL checked = value.vt == VT_BOOL && value.boolVal == VARIANT_TRUE;
    ::VariantClear(&value);
    return checked;
}

BOOL CPimActionNote::HasEnabledDestination()
{
    if (!IsDestinationChecked(GetWebActionsDestination()))
        return TRUE;
    if (IsDestinationChecked(GetToDoDestination()) || IsDestinationChecked(GetCalDestination()))
        return TRUE;
    CDatastore* datastore = CurrentDatastore();
    return m_traits.journalEnables && datastore && datastore->HasFeature(11) &&
           IsDestinationChecked(GetJournalDestination());
}

void CPimActionNote::EnablePimDestinations(BOOL bEnable)
{
    CPimToDoDestination* toDo = GetToDoDestination();
    CPimCalDestination* cal = GetCalDestination();
    if (toDo)
        toDo->SetParseLocked(!bEnable);
    if (cal)
        cal->SetParseLocked(!bEnable);
    if (!bEnable) {
        SetDestinationChecked(toDo, false);
        SetDestinationChecked(cal, false);
    }
}

int CPimActionNote::AttachSinks()
{
    if (CPimToDoDestination* toDo = GetToDoDestination())
        toDo->attachSinks();
    if (CPimCalDestination* cal = GetCalDestination())
        cal->attachSinks();
    if (Feature(11)) {
        if (CPimJournalDestination* journal = GetJournalDestination())
            journal->attachSinks();
    }
    if (Feature(9)) {
        if (CWebActionsDestination* web = GetWebActionsDestination())
            web->AttachSinks();
    }
    if (Feature(3)) {
        if (CPimEmailDestination* email = GetEmailDestination())
            email->attachSinks();
    }
    if (m_pNoteWnd && m_pNoteWnd->GetSafeHwnd())
        m_pNoteWnd->PostMessage(WM_SETFOCUS);
    OnSinksAttached();
    if (m_pNoteWnd && m_pNoteWnd->GetSafeHwnd())
        m_pNoteWnd->SetWindowContextHelpId(kNoteHelpId);
    return 0;
}

void CPimActionNote::ParseText(CActionNote* note)
{
    CActionNote::ParseText(note);
    if (CPimCalDestination* cal = GetCalDestination())
        cal->OnParseDone();
    if (CPimToDoDestination* toDo = GetToDoDestination())
        toDo->OnParseDone();
}

//--- the note's other commands

void CPimActionNote::OpenKestrelViewer(CActionNote*)
{
    if (CWnd* main = AfxGetMainWnd())
        main->PostMessage(WM_COMMAND, kViewerCommand);
}

BOOL CPimActionNote::NewContact(CActionNote*, CString&, int&)
{
    if (!m_traits.newContactDialog)
        return FALSE;
    CDatastore* datastore = CurrentDatastore();
    try {
        if (auto* notes = dynamic_cast<COzuDatastore*>(datastore))
            notes->NewContact();
        else if (auto* palm = dynamic_cast<CIbeDatastore*>(datastore))
            palm->NewContact();
    } catch (COzuExcept* e) {
        e->ReportError();
        delete e;
    }
    // The back end keeps the contact; the note's list gains no entry.
    return FALSE;
}

BOOL CPimActionNote::ChooseMoreContacts(CActionNote* note, CString& name, int& id)
{
    if (!m_traits.chooseMoreContacts)
        return CActionNote::ChooseMoreContacts(note, name, id);
    CMoreContacts dialog(m_pNoteWnd);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    name = dialog.GetSelectedName();
    id = dialog.GetSelectedId();
    return !name.IsEmpty();
}

void CPimActionNote::ShowHelp(CActionNote*)
{
    if (CWnd* main = AfxGetMainWnd())
        main->WinHelp(kHelpContext, HELP_FORCEFILE);
}

void CPimActionNote::RemoveItem(const CString& text, int)
{
    if (m_pNoteWnd && m_pNoteWnd->GetSafeHwnd())
        m_pNoteWnd->RemoveListItem(text);
}

int CPimActionNote::OnRecordFilled(CActionNote*, CGodwitWrapper*)
{
    return 0;
}

void CPimActionNote::MarkRecordAsToDo(CActionNote*, CGodwitWrapper* record)
{
    if (record && record->GetType() == 0)
        record->AddTypeBit(GODWIT_TYPE_TODO);
}

void CPimActionNote::LinkAllContacts()
{
    CDatastore* datastore = CurrentDatastore();
    QuiItemType* type = datastore ? datastore->GetItemType(PIM_CONTACT_TYPE) : nullptr;
    QuiItemList* items = datastore ? datastore->GetItemList() : nullptr;
    if (!type || !items)
        return;
    int cursor = items->fetchBegin(type);
    while (QuiItem* item = items->fetchNext(cursor)) {
        const char* name = item->getDisplayName();
        // The link's value is a token that only comes back as list data.
        AddContactLink(name ? name : "", reinterpret_cast<INT_PTR>(item));
    }
    items->fetchEnd(cursor);
}

//--- filing

void CPimActionNote::FileNote(CActionNote* note)
{
    CActionNote::FileNote(note);
    // A failed attempt's lines are not confirmed by the next one.
    m_summaryLines.RemoveAll();
    bool filed = false;
    {
        // Reports are shown while the note is still busy: their boxes pump.
        CFilingScope filing(*this);
        try {
            CheckParsed();
            if (!FileCheckedDestinations(note))
                FileAsToDo(note);
            filed = true;
        } catch (COzuExcept* e) {
            e->ReportError();
            delete e;
        } catch (CException* e) {
            // A record that could not be made or filled: the edition's report.
            COzuExcept report(e);
            report.ReportError();
        } catch (...) {
            QuiDeleteCurrentException();
            AfxMessageBox(IDS_UNEXPECTED_ERROR, MB_OK | MB_TASKMODAL);
        }
    }
    if (!filed) {
        ReturnFromFailedFiling();
        return;
    }
    if (!m_summaryLines.IsEmpty())
        ShowSavedNote(&m_summaryLines, m_traits.label);
    // The scope has ended first: ending the note deletes it.
    FinishFiling(note, TRUE);
}

void CPimActionNote::FinishFiling(CActionNote*, BOOL bFiled)
{
    CActionNote::FinishFiling(bFiled);
}

BOOL CPimActionNote::FileCheckedDestinations(CActionNote*)
{
    CDatastore* datastore = CurrentDatastore();
    if (!datastore)
        throw new COzuExcept(IDS_UNEXPECTED_ERROR);
    CWebActionJug action;
    BusyDisplay busy;

    CWebActionsDestination* web = GetWebActionsDestination();
    if (!m_bWebSent && Feature(9) && web && web->HasSelectedActions()) {
        web->FileItem(&action);
        const int result = datastore->SendWebAction(&action);
        // No browser took it: the note stays, so that the action is not lost.
        if (result == CWebActionHandler::submitFailed)
            throw new COzuExcept(IDS_WEB_ENTRY_FAILED);
        m_bWebSent = true;
        if (result == CWebActionHandler::submitQueued)
            AfxMessageBox(IDS_PIM_WEB_ACTION_LATER, MB_OK | MB_TASKMODAL);
    }

    const bool journalOn = m_traits.journalPane && Feature(11);
    CPimToDoDestination* toDo = GetToDoDestination();
    CPimCalDestination* cal = GetCalDestination();
    CPimJournalDestination* journal = journalOn ? GetJournalDestination() : nullptr;
    CPimEmailDestination* email = m_traits.fillsEmail && Feature(3) ? GetEmailDestination() : nullptr;

    CGodwitWrapper toDoRecord;
    CGodwitWrapper calRecord;
    const bool anyChecked = IsDestinationChecked(toDo) || IsDestinationChecked(cal) ||
                            (m_traits.journalInChecks && datastore->HasFeature(11) && IsDestinationChecked(journal));
    if (!anyChecked)
        return m_bWebSent;

    datastore->Connect();
    bool toDoFilled = false;
    bool calFilled = false;
    if (toDo && !m_bToDoFiled && IsDestinationChecked(toDo)) {
        toDoRecord.Create();
        toDo->fileItem(&toDoRecord);
        toDoFilled = true;
        if (Feature(1))
            OnRecordFilled(this, &toDoRecord);
    }
    if (cal && !m_bCalFiled && IsDestinationChecked(cal)) {
        calRecord.Create();
        cal->fileItem(&calRecord);
        calFilled = true;
        if (Feature(1))
            OnRecordFilled(this, &calRecord);
    }
    // Outlook makes no journal or e-mail records.
    std::unique_ptr<CGodwitWrapper> journalRecord;
    std::unique_ptr<CGodwitWrapper> emailRecord;
    if (journal && !m_bJournalFiled && IsDestinationChecked(journal)) {
        journalRecord.reset(new CGodwitWrapper);
        journal->fileItem(journalRecord.get());
        if (Feature(1))
            OnRecordFilled(this, journalRecord.get());
    }
    if (email && !m_bEmailFiled && IsDestinationChecked(email)) {
        emailRecord.reset(new CGodwitWrapper);
        email->fileItem(emailRecord.get());
        if (Feature(1))
            OnRecordFilled(this, emailRecord.get());
    }

    // Only filled records go to the back end: the servers answer an empty
    // one as a record they refused. What was filed is kept, so that after a
    // later record's failure filing again does not file it twice.
    if (toDoFilled) {
        datastore->FileRecord(toDoRecord.m_lpDispatch);
        m_bToDoFiled = true;
    }
    if (calFilled) {
        datastore->FileRecord(calRecord.m_lpDispatch);
        m_bCalFiled = true;
    }
    if (journalRecord) {
        datastore->FileRecord(journalRecord->m_lpDispatch);
        m_bJournalFiled = true;
    }
    if (emailRecord && m_traits.filesEmailRecord) {
        datastore->FileRecord(emailRecord->m_lpDispatch);
        m_bEmailFiled = true;
    }
    AddSummaryLines();
    return TRUE;
}

void CPimActionNote::AddSummaryLines()
{
    const std::pair<bool, UINT> lines[] = {
        {m_bToDoFiled, m_traits.toDoLine}, {m_bCalFiled, m_traits.calLine}, {m_bJournalFiled, m_traits.journalLine}};
    for (const auto& line : lines) {
        if (!line.first || !line.second)
            continue;
        CString text;
        text.LoadString(line.second);
        m_summaryLines.Add(text);
    }
}

BOOL CPimActionNote::FileAsToDo(CActionNote*)
{
    if (m_bToDoFiled)
        return FALSE;
    CGodwitWrapper record;
    CString text;
    GetNoteText(text);
    if (text.IsEmpty() && AfxMessageBox(IDS_PIM_FILE_EMPTY_NOTE, MB_YESNO | MB_TASKMODAL) != IDYES)
        return FALSE;
    CDatastore* datastore = CurrentDatastore();
    CPimToDoDestination* toDo = GetToDoDestination();
    if (!datastore || !toDo)
        throw new COzuExcept(IDS_UNEXPECTED_ERROR);
    toDo->fileItem(&record);
    datastore->FileRecord(record.m_lpDispatch);
    m_bToDoFiled = true;
    CString line;
    line.LoadString(m_traits.toDoLine);
    m_summaryLines.Add(line);
    return FALSE;
}
