// CNoteManager: the application's open notes, the last one current, and the
// texts that wait for a note of their own.
#pragma once
#include <afxquill.h>

#include <list>
#include <string>

class CActionNote;

class CNoteManager {
public:
    enum { MAX_OPEN_NOTES = 5 };

    CNoteManager() = default;
    // Frees the queue and the list; the notes still listed are not deleted.
    virtual ~CNoteManager();
    CNoteManager(const CNoteManager&) = delete;
    CNoteManager& operator=(const CNoteManager&) = delete;

    // The note becomes current; the manager owns it from now on.
    void AddNote(CActionNote* note);
    // Deletes the note, then opens a note for the front queued text. A note
    // that is not listed is left alone.
    void RemoveNote(CActionNote* note);
    CActionNote* GetCurrentNote() const;
    void MakeNoteCurrent(CActionNote* note);
    int GetCount() const { return static_cast<int>(m_notes.size()); }
    BOOL IsListed(CActionNote* note) const;

    void QueueText(const char* text);
    // FALSE, text untouched, when the queue is empty.
    BOOL PopText(std::string& text);
    int GetQueuedCount() const { return static_cast<int>(m_texts.size()); }

    // A request for one more note while feature 6 limits the open notes:
    // TRUE when refused, after message 57708 (nType as the box's flags; a
    // beep while a box of the application is open) and the focus given to
    // the current note's window.
    BOOL RefuseNewNote(UINT nType);

private:
    std::list<CActionNote*> m_notes;
    std::list<std::string> m_texts;
};
