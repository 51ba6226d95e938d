#include "NoteManager.h"

#include <algorithm>

#include "ActionNote.h"
#include "NoteWnd.h"
#include "QuiResIds.h"
#include "QuillmateApp.h"

CNoteManager::~CNoteManager() = default;

void CNoteManager::AddNote(CActionNote* note)
{
    if (note)
        m_notes.push_back(note);
}

BOOL CNoteManager::IsListed(CActionNote* note) const
{
    return std::find(m_notes.begin(), m_notes.end(), note) != m_notes.end();
}

void CNoteManager::RemoveNote(CActionNote* note)
{
    auto found = std::find(m_notes.begin(), m_notes.end(), note);
    if (found == m_notes.end())
        return;
    m_notes.erase(found);
    delete note;
    if (m_texts.empty())
        return;
    CQuillmateApp* app = QuiGetApp();
    CActionNote* fresh = app ? app->CreateNote(TRUE) : nullptr;
    if (!fresh)
        return;
    std::string text;
    PopText(text);
    fresh->SetNoteText(text.c_str());
}

CActionNote* CNoteManager::GetCurrentNote() const
{
    return m_notes.empty() ? nullptr : m_notes.back();
}

void CNoteManager::MakeNoteCurrent(CActionNote* note)
{
    auto found = std::find(m_notes.begin(), m_notes.end(), note);
    if (found != m_notes.end())
        m_notes.splice(m_notes.end(), m_notes, found);
}

void CNoteManager::QueueText(const char* text)
{
    m_texts.emplace_back(text ? text : "");
}

BOOL CNoteManager::PopText(std::string& text)
{
    if (m_texts.empty())
        return FALSE;
    text = m_texts.front();
    m_texts.pop_front();
    return TRUE;
}

BOOL CNoteManager::RefuseNewNote(UINT nType)
{
    CQuillmateApp* app = QuiGetApp();
    if (!app || !app->IsFeature(6) || GetCount() < MAX_OPEN_NOTES)
        return FALSE;
    if (app->GetModalBoxCount() > 0) {
        ::MessageBeep(static_cast<UINT>(-1));
    } else {
        app->BeginModalBox();
        AfxMessageBox(IDS_TOO_MANY_NOTES, nType);
        app->EndModalBox();
        CActionNote* current = GetCurrentNote();
        CNoteWnd* wnd = current ? current->GetNoteWnd() : nullptr;
        if (wnd && wnd->GetSafeHwnd())
            wnd->SetFocus();
    }
    return TRUE;
}
