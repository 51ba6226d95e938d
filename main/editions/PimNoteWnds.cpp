#include "PimNotes.h"

#include "QuiResIds.h"
#include "QuillmateApp.h"

namespace {

const DWORD kHelpContext = 26;
const COLORREF kPaneBackground = 0x02FFFFFF;

bool Feature(int n)
{
    CQuillmateApp* app = QuiGetApp();
    return app && app->IsFeature(n);
}

} // namespace

//--- the destination windows

BEGIN_MESSAGE_MAP(CPimDestWnd, CDestWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

CPimDestWnd::CPimDestWnd(const PimNoteTraits& traits, CDestPane* toDo, CDestPane* cal, CDestPane* journal,
                         CDestPane* email)
    : m_traits(traits), m_pToDo(toDo), m_pCal(cal), m_pJournal(journal), m_pEmail(email)
{
}

COzuDestWnd::COzuDestWnd() : CPimDestWnd(OzuNoteTraits(), &m_toDo, &m_cal, &m_journal, &m_email) {}
CIbeDestWnd::CIbeDestWnd() : CPimDestWnd(IbeNoteTraits(), &m_toDo, &m_cal, &m_journal, &m_email) {}
CRukDestWnd::CRukDestWnd() : CPimDestWnd(RukNoteTraits(), &m_toDo, &m_cal, nullptr, nullptr) {}

void CPimDestWnd::PlacePane(CDestPane& pane, int& y, bool bGrow)
{
    if (!pane.Create(y, this))
        return;
    pane.SetBkColor(kPaneBackground);
    pane.Show();
    pane.ShowWindow(SW_SHOW);
    if (!bGrow)
        return;
    CRect client;
    pane.GetClientRect(client);
    y += client.Height() + 1;
}

int CPimDestWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    const int created = CDestWnd::OnCreate(lpCreateStruct);
    if (created == -1)
        return created;
    int y = 3;
    PlacePane(*m_pToDo, y, true);
    PlacePane(*m_pCal, y, true);
    if (m_pJournal && Feature(11))
        PlacePane(*m_pJournal, y, true);
    const bool email = m_pEmail && Feature(3);
    // The bottom row goes below every pane, the last one included.
    if (email && !m_traits.emailLast)
        PlacePane(*m_pEmail, y, true);
    if (Feature(9)) {
        PlacePane(m_webActions, y, true);
        if (m_webActions.GetSafeHwnd()) {
            m_webActions.FillActionList();
            if (m_traits.resizesWebPane) {
                CRect client;
                m_webActions.GetClientRect(client);
                m_webActions.SetWindowPos(nullptr, 0, 0, client.Width(), client.Height(),
                                          SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
    }
    if (email && m_traits.emailLast)
        PlacePane(*m_pEmail, y, true);
    SetTop(y);
    return 0;
}

void CPimDestWnd::DestroyPanes()
{
    // The e-mail pane goes with this window.
    for (CDestPane* pane : {m_pToDo, m_pCal, m_pJournal, static_cast<CDestPane*>(&m_webActions)}) {
        if (pane && pane->GetSafeHwnd())
            pane->DestroyWindow();
    }
}

BOOL CPimDestWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (nID == ID_DEST_HELP && nCode == CN_COMMAND) {
        if (pHandlerInfo)
            return TRUE;
        if (CWnd* main = AfxGetMainWnd())
            main->WinHelp(kHelpContext, HELP_FORCEFILE);
        return TRUE;
    }
    return CDestWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

//--- the note windows

BEGIN_MESSAGE_MAP(CPimNoteWnd, CNoteWnd)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CPimNoteWnd::CPimNoteWnd(CPimActionNote* pNote) : CNoteWnd(pNote) {}

template <class Dest> CDestWnd* CPimNoteWnd::MakeDestWnd()
{
    auto* dest = new Dest;
    if (!dest->Create(this)) {
        delete dest;
        return nullptr;
    }
    return dest;
}

CDestWnd* COzuNoteWnd::CreateDestWnd()
{
    return MakeDestWnd<COzuDestWnd>();
}

CDestWnd* CIbeNoteWnd::CreateDestWnd()
{
    return MakeDestWnd<CIbeDestWnd>();
}

CDestWnd* CRukNoteWnd::CreateDestWnd()
{
    return MakeDestWnd<CRukDestWnd>();
}

void CPimNoteWnd::ClosePanes()
{
    if (auto* dest = dynamic_cast<CPimDestWnd*>(GetDestWnd()))
        dest->DestroyPanes();
}

void CPimNoteWnd::OnClose()
{
    if (PutOffClose())
        return;
    ClosePanes();
    Default();
}

BOOL CPimNoteWnd::DestroyWindow()
{
    ClosePanes();
    return CNoteWnd::DestroyWindow();
}

void CPimNoteWnd::OnSaveNote()
{
    CPimActionNote* note = PimNote();
    if (!note)
        return;
    // Filing already: its question would come from inside the filing's wait.
    if (note->IsBusy()) {
        ::MessageBeep(MB_OK);
        return;
    }
    CString text;
    note->GetNoteText(text);
    // Each branch may end the note and this window with it: nothing follows.
    if (text.IsEmpty()) {
        if (!note->HasEnabledDestination()) {
            SaveNote();
            return;
        }
        const int answer = AskAboutNote(IDS_PIM_FILE_EMPTY_NOTE, MB_YESNOCANCEL);
        if (answer == IDYES)
            SaveNote();
        else if (answer == IDNO)
            note->FinishFiling(note, TRUE);
        return;
    }
    if (text.GetLength() <= MAX_QUIET_TEXT) {
        SaveNote();
        return;
    }
    if (AskAboutNote(IDS_PIM_LONG_NOTE, MB_YESNO) == IDNO)
        SaveNote();
}
