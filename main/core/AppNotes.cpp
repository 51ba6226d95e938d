// The application object's side of the notes: their manager, and the steps
// of opening a note that every edition shares.
#include "QuillmateApp.h"

#include "ActionNote.h"
#include "ClientRegistry.h"
#include "DestWnd.h"
#include "NoteManager.h"
#include "NoteWnd.h"

namespace {

// The stored note window rectangle; empty when there is none.
CRect StoredPosition(ClientRegistry* settings)
{
    CRect rect(0, 0, 0, 0);
    const void* value = settings ? settings->GetValue(ClientRegistry::Position, false) : nullptr;
    if (value)
        rect = *static_cast<const RECT*>(value);
    return rect;
}

// At the origin, then centred on the screen and moved left by half the
// destination window's width, its height fitted to the destination window.
BOOL CreateCentred(CNoteWnd* wnd)
{
    if (!wnd->CreateAt(0, 0))
        return FALSE;
    wnd->CenterWindow();
    CDestWnd* dest = wnd->GetDestWnd();
    if (dest && dest->GetSafeHwnd()) {
        SIZE size;
        dest->GetSize(&size);
        CRect rect;
        wnd->GetWindowRect(rect);
        wnd->SetWindowPos(nullptr, rect.left - size.cx / 2, rect.top, 0, 0,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    wnd->FitToDestWnd();
    return TRUE;
}

} // namespace

ClientRegistry* CQuillmateApp::GetSettings() { return nullptr; }

void CQuillmateApp::CreateNoteManager()
{
    if (!m_pNoteManager)
        m_pNoteManager = new CNoteManager;
}

void CQuillmateApp::DeleteNoteManager()
{
    delete m_pNoteManager;
    m_pNoteManager = nullptr;
}

CActionNote* CQuillmateApp::GetCurrentNote()
{
    return m_pNoteManager ? m_pNoteManager->GetCurrentNote() : nullptr;
}

int CQuillmateApp::GetNoteCount()
{
    return m_pNoteManager ? m_pNoteManager->GetCount() : 0;
}

void CQuillmateApp::CloseNote(CActionNote* pNote)
{
    if (m_pNoteManager)
        m_pNoteManager->RemoveNote(pNote);
}

void CQuillmateApp::ActivateNote(CActionNote* pNote)
{
    if (m_pNoteManager && pNote && pNote->IsActive())
        m_pNoteManager->MakeNoteCurrent(pNote);
}

CActionNote* CQuillmateApp::OpenNote(CActionNote* pNote, BOOL bCascade)
{
    if (!pNote)
        return nullptr;
    CActionNote* previous = GetCurrentNote();
    CNoteWnd* wnd = pNote->GetNoteWnd();
    CRect stored = StoredPosition(GetSettings());
    BOOL created = wnd && (stored.IsRectEmpty() ? CreateCentred(wnd) : wnd->CreateInRect(stored));
    // Listed only once it has a window: a note without one must not be left
    // behind in the manager.
    if (!created) {
        delete pNote;
        return nullptr;
    }
    CreateNoteManager();
    m_pNoteManager->AddNote(pNote);
    CNoteWnd* before = previous ? previous->GetNoteWnd() : nullptr;
    if (before && before->GetSafeHwnd()) {
        CRect rect;
        before->GetWindowRect(rect);
        if (bCascade)
            rect.OffsetRect(CNoteWnd::GetTitleHeight(), CNoteWnd::GetTitleHeight());
        wnd->MoveWindow(rect);
    }
    pNote->AttachSinks();
    pNote->ShowNoteWnd(TRUE);
    wnd->SetForegroundWindow();
    return pNote;
}
