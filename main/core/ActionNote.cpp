#include "ActionNote.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "ClientRegistry.h"
#include "DestPane.h"
#include "DestWnd.h"
#include "NoteBox.h"
#include "NoteDialogs.h"
#include "NoteManager.h"
#include "NoteWnd.h"
#include "OzuPrefs.h"
#include "QuiParserMgr.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"
#include "QuillmateExcept.h"
#include "TrayWnd.h"

namespace {

QuiParserMgr* ParserMgr()
{
    CQuillmateApp* app = QuiGetApp();
    return app ? app->GetParserMgr() : nullptr;
}

// The window itself, or the parent-or-owner of hWnd, is one of the two.
bool IsOneOf(HWND hWnd, HWND a, HWND b)
{
    return hWnd && (hWnd == a || (b && hWnd == b));
}

} // namespace

CActionNote::CActionNote()
{
    NewContext();
}

CActionNote::~CActionNote()
{
    // The window's destructor must not reach back into a note half torn down.
    CNoteWnd* wnd = m_pNoteWnd;
    m_pNoteWnd = nullptr;
    delete wnd;
}

void CActionNote::NewContext()
{
    QuiParserMgr* manager = ParserMgr();
    QuiPrsContext* context = nullptr;
    if (manager)
        manager->CreateContext(&context);
    m_pContext = context;
}

CNoteBox* CActionNote::NoteBox() const
{
    return m_pNoteWnd ? m_pNoteWnd->GetNoteBox() : nullptr;
}

//--- the base behaviour of the edition's slots

void CActionNote::FileNote(CActionNote*) {}
void CActionNote::OpenKestrelViewer(CActionNote*) {}
BOOL CActionNote::NewContact(CActionNote*, CString&, int&) { return TRUE; }
BOOL CActionNote::ChooseMoreContacts(CActionNote*, CString&, int&) { return TRUE; }
void CActionNote::ShowHelp(CActionNote*) {}
void CActionNote::RemoveItem(const CString&, int) {}
BOOL CActionNote::HasEnabledDestination() { return TRUE; }
void CActionNote::EnablePimDestinations(BOOL) {}
void CActionNote::FileEntries() {}

BOOL CActionNote::IsFeature1()
{
    CQuillmateApp* app = QuiGetApp();
    return app && app->IsFeature(1);
}

//--- text

void CActionNote::GetNoteText(CString& text)
{
    text.Empty();
    if (CNoteBox* box = NoteBox())
        box->GetText(text);
}

void CActionNote::SetNoteText(const CString& text)
{
    CNoteBox* box = NoteBox();
    if (!box)
        return;
    box->SetText(text);
    box->SetSel(text.GetLength(), text.GetLength());
}

void CActionNote::AppendNoteText(const CString& text)
{
    CNoteBox* box = NoteBox();
    if (!box)
        return;
    CString old;
    box->GetText(old);
    box->SetText("");
    box->SetText(old + " " + text);
}

//--- parsing and marks

void CActionNote::ParseText(CActionNote* note)
{
    CString text;
    (note ? note : this)->GetNoteText(text);
    QuiParserMgr* manager = ParserMgr();
    m_bParseFailed = manager && manager->Parse(text, m_pContext) == QUI_PARSER_FAILED;
    KeepLiveKeyphrases(manager);
    CQuillmateApp* app = QuiGetApp();
    if (app && app->IsFeature(7) && m_bKeyphrasesChanged) {
        RemarkKeyphrases();
        m_bKeyphrasesChanged = FALSE;
    }
    CNoteBox* box = NoteBox();
    if (text.IsEmpty() && box)
        box->MarkRange(0, 1, FALSE);
    if (m_pNoteWnd && m_pNoteWnd->GetSafeHwnd())
        m_pNoteWnd->PostMessage(WM_SETFOCUS);
    // The panes may stand for an older text: the user is told.
    if (m_bParseFailed)
        throw new COzuExcept(IDS_NOTE_NOT_PARSED);
}

void CActionNote::CheckParsed()
{
    if (m_bParseFailed)
        ParseText(this);
}

void CActionNote::KeepLiveKeyphrases(QuiParserMgr* manager)
{
    // A keyphrase the parse took away is freed, whatever a destination kept
    // of it. Moved keyphrases, and those of every package, are still the
    // context's.
    const bool live = manager && manager->HasContext(m_pContext);
    const size_t before = m_keyphrases.size();
    auto gone = [&](QuiPrsKeyphrase* kp) { return !live || !m_pContext->holdsKeyphrase(kp); };
    m_keyphrases.remove_if(gone);
    for (auto it = m_claims.begin(); it != m_claims.end();)
        it = gone(it->first) ? m_claims.erase(it) : std::next(it);
    if (m_keyphrases.size() != before)
        m_bKeyphrasesChanged = TRUE;
}

void CActionNote::RemarkKeyphrases()
{
    if (CNoteBox* box = NoteBox())
        box->MarkRange(0, -1, FALSE);
    for (QuiPrsKeyphrase* kp : m_keyphrases)
        MarkKeyphrase(kp, TRUE);
}

int CActionNote::MarkKeyphrase(QuiPrsKeyphrase* kp, BOOL bOn)
{
    if (!kp || !m_pNoteWnd)
        return 0;
    int start = 0;
    int end = 0;
    kp->getOffsets(&start, &end);
    auto* data = static_cast<KEYPHRASE_DATA*>(kp->getUserData());
    if (!data)
        return 0;
    if (bOn)
        m_pNoteWnd->MarkKeyphraseWithFormat(start, end, reinterpret_cast<const CHARFORMAT*>(data), bOn);
    else
        m_pNoteWnd->MarkKeyphrase(start, end, FALSE);
    return 0;
}

int CActionNote::Reset()
{
    NewContext();
    int result = AttachSinks();
    ParseText(this);
    return result;
}

//--- the keyphrase list

void CActionNote::AddKeyphrase(QuiPrsKeyphrase* kp)
{
    m_keyphrases.push_back(kp);
    m_bKeyphrasesChanged = TRUE;
}

void CActionNote::RemoveKeyphrase(QuiPrsKeyphrase* kp)
{
    auto found = std::find(m_keyphrases.begin(), m_keyphrases.end(), kp);
    if (found == m_keyphrases.end())
        return;
    m_keyphrases.erase(found);
    m_bKeyphrasesChanged = TRUE;
}

void CActionNote::ClearKeyphrases() { m_keyphrases.clear(); }

void CActionNote::ClaimKeyphrase(QuiPrsKeyphrase* kp, const void* owner)
{
    if (!kp)
        return;
    const bool held = std::any_of(m_claims.begin(), m_claims.end(), [kp](const auto& c) { return c.first == kp; });
    m_claims.insert(std::make_pair(kp, owner));
    if (!held && std::find(m_keyphrases.begin(), m_keyphrases.end(), kp) == m_keyphrases.end())
        AddKeyphrase(kp);
}

void CActionNote::ReleaseKeyphrase(QuiPrsKeyphrase* kp, const void* owner)
{
    if (!m_claims.erase(std::make_pair(kp, owner)))
        return;
    if (std::none_of(m_claims.begin(), m_claims.end(), [kp](const auto& c) { return c.first == kp; }))
        RemoveKeyphrase(kp);
}

void CActionNote::ReleaseKeyphrases(const void* owner)
{
    std::vector<QuiPrsKeyphrase*> held;
    for (const auto& claim : m_claims) {
        if (claim.second == owner)
            held.push_back(claim.first);
    }
    for (QuiPrsKeyphrase* kp : held)
        ReleaseKeyphrase(kp, owner);
}
void CActionNote::SetKeyphrasesChanged() { m_bKeyphrasesChanged = TRUE; }

//--- contacts, panes, window

void CActionNote::AddContactLink(const CString& name, INT_PTR item)
{
    if (m_contactLinks.size() >= MAX_CONTACT_LINKS)
        m_contactLinks.pop_front();
    m_contactLinks.emplace_back(name, item);
    std::stable_sort(m_contactLinks.begin(), m_contactLinks.end(),
                     [](const Quillmate::CContactLink& a, const Quillmate::CContactLink& b) {
                         return strcmp(a.GetName(), b.GetName()) < 0;
                     });
    if (m_pNoteWnd)
        m_pNoteWnd->SetRecentContacts(m_contactLinks);
}

CDestination* CActionNote::GetPaneDestination(int nPaneId)
{
    CDestWnd* destWnd = m_pNoteWnd ? m_pNoteWnd->GetDestWnd() : nullptr;
    CDestPane* pane = destWnd && destWnd->GetSafeHwnd() ? destWnd->FindPane(nPaneId) : nullptr;
    return pane ? pane->GetDestination() : nullptr;
}

void CActionNote::DestroyNoteWnd()
{
    // The filing below still works on the note.
    if (IsBusy()) {
        AskCloseAfterFiling(closeByMessage);
        return;
    }
    if (m_pNoteWnd)
        m_pNoteWnd->DestroyWindow();
}

void CActionNote::AskCloseAfterFiling(CloseAsked kind)
{
    // The user's close asks about the text, and wins over a plain one.
    if (kind == closeByUser || m_closeAsked == closeNone)
        m_closeAsked = kind;
}

BOOL CActionNote::IsActive()
{
    HWND active = ::GetActiveWindow();
    if (!active || !m_pNoteWnd || !m_pNoteWnd->GetSafeHwnd())
        return FALSE;
    HWND note = m_pNoteWnd->GetSafeHwnd();
    CDestWnd* destWnd = m_pNoteWnd->GetDestWnd();
    HWND dest = destWnd ? destWnd->GetSafeHwnd() : nullptr;
    if (IsOneOf(active, note, dest) || IsOneOf(::GetParent(active), note, dest))
        return TRUE;
    HWND owner = ::GetWindow(active, GW_OWNER);
    return owner && IsOneOf(::GetParent(owner), note, dest);
}

void CActionNote::ShowNoteWnd(BOOL bShow)
{
    if (!m_pNoteWnd || !m_pNoteWnd->GetSafeHwnd())
        return;
    if (bShow) {
        m_pNoteWnd->ShowFilingText(FALSE);
        m_pNoteWnd->ShowWindow(SW_SHOW);
    } else {
        m_pNoteWnd->ShowWindow(SW_HIDE);
    }
}

//--- filing

int CActionNote::ShowSavedNote(CStringArray* lines, UINT idLabel)
{
    CQuillmateApp* app = QuiGetApp();
    ClientRegistry* settings = app ? app->GetSettings() : nullptr;
    const DWORD* hide = settings ? static_cast<const DWORD*>(settings->GetValue(ClientRegistry::HideSavedNoteDlg, false)) : nullptr;
    if (hide && *hide)
        return 0;
    CWnd* main = AfxGetMainWnd();
    if (!main || !main->GetSafeHwnd())
        return 0;
    CString text;
    GetNoteText(text);
    auto* dialog = new CSavedNote(nullptr);
    dialog->BuildMessage(text, lines ? *lines : CStringArray(), idLabel);
    const UINT_PTR ticket = CTrayWnd::QueueSavedNote(dialog);
    if (!main->PostMessage(CTrayWnd::WM_TRAY_SAVED_NOTE, 0, static_cast<LPARAM>(ticket)))
        delete CTrayWnd::TakeSavedNote(ticket);
    return 0;
}

CActionNote::CFilingScope::CFilingScope(CActionNote& note) : m_note(note)
{
    m_note.m_bBusy = 1;
    m_note.m_closeAsked = closeNone;
    // No second filing, close or typing reaches the note until it is done.
    HWND wnd = m_note.m_pNoteWnd ? m_note.m_pNoteWnd->GetSafeHwnd() : nullptr;
    if (wnd && ::IsWindowEnabled(wnd)) {
        ::EnableWindow(wnd, FALSE);
        m_hDisabled = wnd;
    }
}

CActionNote::CFilingScope::~CFilingScope()
{
    m_note.m_bBusy = 0;
    if (m_hDisabled && ::IsWindow(m_hDisabled)) {
        ::EnableWindow(m_hDisabled, TRUE);
        if (::GetActiveWindow() == m_hDisabled)
            ::SetFocus(m_hDisabled);
    }
}

void CActionNote::ReturnFromFailedFiling()
{
    FinishFiling(FALSE);
    const CloseAsked asked = m_closeAsked;
    m_closeAsked = closeNone;
    CWnd* wnd = m_pNoteWnd && m_pNoteWnd->GetSafeHwnd() ? m_pNoteWnd : nullptr;
    if (!wnd || asked == closeNone)
        return;
    // Posted: the filing's callers still stand on the window.
    if (asked == closeByUser)
        wnd->PostMessage(WM_COMMAND, ID_DEST_CLOSE_NOTE);
    else
        wnd->PostMessage(WM_CLOSE);
}

void CActionNote::FinishFiling(BOOL bFiled)
{
    if (!bFiled) {
        ShowNoteWnd(TRUE);
        return;
    }
    CQuillmateApp* app = QuiGetApp();
    COzuPrefs* prefs = app ? app->GetPrefs() : nullptr;
    if (prefs && prefs->m_dwSaveThenNew)
        app->CreateNote(FALSE);
    DestroyNoteWnd();
}

BOOL CActionNote::RunFiling(UINT idLabel)
{
    // A failed attempt's lines must not be confirmed again by the next one.
    m_summaryLines.RemoveAll();
    BOOL bFiled = FALSE;
    {
        // The report is shown while the note is still busy: its box pumps.
        CFilingScope filing(*this);
        try {
            CheckParsed();
            FileEntries();
            bFiled = TRUE;
        } catch (COzuExcept* e) {
            e->ReportError();
            delete e;
        } catch (...) {
            // Whatever went wrong, the user is told and keeps the note; what
            // disabled the main window for the filing never enabled it again.
            QuiDeleteCurrentException();
            AfxMessageBox(IDS_UNEXPECTED_ERROR, MB_OK | MB_TASKMODAL);
            if (CWnd* main = AfxGetMainWnd())
                main->EnableWindow(TRUE);
        }
    }
    if (!bFiled) {
        ReturnFromFailedFiling();
        return FALSE;
    }
    if (!m_summaryLines.IsEmpty())
        ShowSavedNote(&m_summaryLines, idLabel);
    // The scope has ended first: ending the note deletes it.
    FinishFiling(TRUE);
    return TRUE;
}
