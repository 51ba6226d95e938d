// CNoteManager: the application's open notes, the last one current, and the
// texts that wait for a note of their own.
#pragma once
#include <afxquill.h>

#include <list>
#include <string>

class CActionNote;

class CNoteManager {
public:
    // A runaway client cannot fill the memory: texts past this many wait
    // nowhere, and the call that brings one fails.
    enum { MAX_OPEN_NOTES = 5, MAX_QUEUED_TEXTS = 300 };
    // The bounds that refuse a client's text.
    enum Refusal { refusedFull, refusedLong };

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
    // A new note holding the front queued text, which leaves the queue; null,
    // the text kept, when none waits or no note can be opened.
    CActionNote* OpenNextText();
    CActionNote* GetCurrentNote() const;
    void MakeNoteCurrent(CActionNote* note);
    int GetCount() const { return static_cast<int>(m_notes.size()); }
    BOOL IsListed(CActionNote* note) const;

    // FALSE, nothing queued, while MAX_QUEUED_TEXTS texts wait.
    BOOL QueueText(const char* text);
    // FALSE, text untouched, when the queue is empty.
    BOOL PopText(std::string& text);
    int GetQueuedCount() const { return static_cast<int>(m_texts.size()); }
    // The open notes, oldest first, and the texts that wait, front first.
    const std::list<CActionNote*>& GetNotes() const { return m_notes; }
    const std::list<std::string>& GetQueuedTexts() const { return m_texts; }
    // Whether the user is to hear of a refused text: the first refusal of a
    // full queue until the queue has emptied again, the first overlong text
    // of the run.
    BOOL FirstRefusal(Refusal kind);
    // The texts still queued when the program ends are told, the count and
    // the first of them, and leave the queue.
    void TellUnopenedTexts();

    // A request for one more note while feature 6 limits the open notes:
    // TRUE when refused, after message 57708 (nType as the box's flags; a
    // beep while a box of the application is open) and the focus given to
    // the current note's window.
    BOOL RefuseNewNote(UINT nType);

private:
    // How many waiting texts the message at the end lists, and how much of each.
    enum { kTextsListed = 10, kListedLength = 80 };

    std::list<CActionNote*> m_notes;
    std::list<std::string> m_texts;
    BOOL m_bFullTold = FALSE;
    BOOL m_bLongTold = FALSE;
};
