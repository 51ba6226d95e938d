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
    OpenNextText();
}

CActionNote* CNoteManager::OpenNextText()
{
    if (m_texts.empty())
        return nullptr;
    CQuillmateApp* app = QuiGetApp();
    CActionNote* fresh = app ? app->CreateNote(TRUE) : nullptr;
    if (!fresh)
        return nullptr;
    std::string text;
    PopText(text);
    fresh->SetNoteText(text.c_str());
    return fresh;
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

BOOL CNoteManager::QueueText(const char* text)
{
    if (GetQueuedCount() >= MAX_QUEUED_TEXTS)
        return FALSE;
    m_texts.emplace_back(text ? text : "");
    return TRUE;
}

BOOL CNoteManager::PopText(std::string& text)
{
    if (m_texts.empty())
        return FALSE;
    text = m_texts.front();
    m_texts.pop_front();
    // Once the texts that waited are worked off, a new overflow is told again.
    if (m_texts.empty())
        m_bFullTold = FALSE;
    return TRUE;
}

BOOL CNoteManager::FirstRefusal(Refusal kind)
{
    BOOL& told = kind == refusedFull ? m_bFullTold : m_bLongTold;
    if (told)
        return FALSE;
    told = TRUE;
    return TRUE;
}

void CNoteManager::TellUnopenedTexts()
{
    const int count = GetQueuedCount();
    if (count == 0)
        return;
    CString format, text;
    format.LoadString(IDS_QUEUED_TEXTS_DROPPED);
    text.Format(format, count);
    text += "\r\n";
    int listed = 0;
    for (const std::string& queued : m_texts) {
        if (listed++ == kTextsListed) {
            text += "\r\n...";
            break;
        }
        CString line(queued.c_str());
        line.Replace("\r\n", " ");
        if (line.GetLength() > kListedLength)
            line = line.Left(kListedLength) + "...";
        text += "\r\n" + line;
    }
    m_texts.clear();
    AfxMessageBox(text, MB_OK | MB_ICONWARNING | MB_TASKMODAL);
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
