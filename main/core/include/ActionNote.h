// CActionNote: one open note. It holds the parse context its text is parsed
// in, the keyphrases that fill destination fields, the recent contact links
// and the summary of one filing; its note window and destination window are
// its views. Each edition derives its own note class.
#pragma once
#include <afxquill.h>

#include <deque>
#include <list>
#include <set>
#include <utility>

#include "QuillmateApp.h"

class CDestination;
class CNoteBox;
class CNoteWnd;
class QuiParserMgr;
class QuiPrsContext;
class QuiPrsKeyphrase;

namespace Quillmate {

class CAttachment {
public:
    CAttachment() = default;
    explicit CAttachment(const CString& name) : m_name(name) {}
    virtual ~CAttachment() = default;
    const CString& GetName() const { return m_name; }

protected:
    CString m_name;
};

// A contact offered in the note's contacts menu; the item is what the caller
// gave (a contact's item or its id).
class CContactLink : public CAttachment {
public:
    CContactLink(const CString& name, INT_PTR item) : CAttachment(name), m_item(item) {}
    INT_PTR GetItem() const { return m_item; }

private:
    INT_PTR m_item;
};

} // namespace Quillmate

class CActionNote {
public:
    enum { MAX_CONTACT_LINKS = 10 };

    CActionNote();
    virtual ~CActionNote();
    CActionNote(const CActionNote&) = delete;
    CActionNote& operator=(const CActionNote&) = delete;

    virtual void FileNote(CActionNote* note);
    virtual void OpenKestrelViewer(CActionNote* note);
    virtual BOOL NewContact(CActionNote* note, CString& name, int& id);
    virtual BOOL ChooseMoreContacts(CActionNote* note, CString& name, int& id);
    virtual void ShowHelp(CActionNote* note);
    // Throws the program's exception, the text kept, when the parse failed.
    virtual void ParseText(CActionNote* note);
    // Before filing: a note whose last parse failed is parsed again, and one
    // that still fails is not filed (the exception tells the user).
    void CheckParsed();
    virtual void ShowNoteWnd(BOOL bShow);
    virtual void RemoveItem(const CString& text, int data);
    virtual BOOL HasEnabledDestination();
    // Registers the destinations' sinks for the note's parse context.
    virtual int AttachSinks() = 0;
    // A fresh parse context with the sinks attached again, then a parse.
    virtual int Reset();
    virtual int ShowSavedNote(CStringArray* lines, UINT idLabel);
    virtual void EnablePimDestinations(BOOL bEnable);
    virtual void AddKeyphrase(QuiPrsKeyphrase* kp);
    virtual void ClearKeyphrases();
    virtual void RemoveKeyphrase(QuiPrsKeyphrase* kp);
    virtual void SetKeyphrasesChanged();
    virtual BOOL IsFeature1();
    virtual void RemarkKeyphrases();
    virtual int MarkKeyphrase(QuiPrsKeyphrase* kp, BOOL bOn);

    // A destination's hold on a keyphrase: the phrase stays marked while any
    // destination holds it, however many fields of each do.
    void ClaimKeyphrase(QuiPrsKeyphrase* kp, const void* owner);
    // The owner's hold goes, and the mark with it once no other holds it.
    void ReleaseKeyphrase(QuiPrsKeyphrase* kp, const void* owner);
    // Every hold of the owner goes (a pane the user switched off).
    void ReleaseKeyphrases(const void* owner);

    // The note window links itself in when it is constructed.
    void SetNoteWnd(CNoteWnd* pWnd) { m_pNoteWnd = pWnd; }
    CNoteWnd* GetNoteWnd() const { return m_pNoteWnd; }
    QuiPrsContext* GetContext() const { return m_pContext; }

    void GetNoteText(CString& text);
    void SetNoteText(const CString& text);
    void AppendNoteText(const CString& text);
    void AddContactLink(const CString& name, INT_PTR item);
    const std::deque<Quillmate::CContactLink>& GetContactLinks() const { return m_contactLinks; }
    CDestination* GetPaneDestination(int nPaneId);
    void DestroyNoteWnd();
    BOOL IsActive();

    BOOL IsBusy() const { return m_bBusy != 0; }
    // A close asked of the note while it files (by the user, who is asked
    // about its text, or by a message, which closes it) is done once the
    // filing has returned and left the note open.
    enum CloseAsked { closeNone, closeByUser, closeByMessage };
    void AskCloseAfterFiling(CloseAsked kind);
    CStringArray& GetSummaryLines() { return m_summaryLines; }
    const std::list<QuiPrsKeyphrase*>& GetKeyphrases() const { return m_keyphrases; }
    BOOL GetKeyphrasesChanged() const { return m_bKeyphrasesChanged; }

protected:
    // A filing under way: the note is busy, its window takes no input and
    // the application waits for it, until the scope ends.
    class CFilingScope {
    public:
        explicit CFilingScope(CActionNote& note);
        ~CFilingScope();
        CFilingScope(const CFilingScope&) = delete;
        CFilingScope& operator=(const CFilingScope&) = delete;

    private:
        CActionNote& m_note;
        CAppWait m_wait;
        HWND m_hDisabled = nullptr;
    };

    // The frame of an edition's FileNote: busy while FileEntries runs; a
    // failure is reported and the note comes back; otherwise the summary
    // is confirmed with label idLabel and the note ends. TRUE when filed, and
    // then the note may be gone: the caller must not touch it any more.
    BOOL RunFiling(UINT idLabel);
    // After a filing that failed: the note is shown again, then a close
    // asked meanwhile is done.
    void ReturnFromFailedFiling();
    // The edition's filing proper; throws COzuExcept to report a failure.
    virtual void FileEntries();
    // Filed: a new note first when the user files-then-opens, then this note
    // ends. Not filed: the note is shown again with its text.
    void FinishFiling(BOOL bFiled);

    CNoteWnd* m_pNoteWnd = nullptr;
    QuiPrsContext* m_pContext = nullptr;
    BYTE m_bBusy = 0;
    CloseAsked m_closeAsked = closeNone;
    CStringArray m_summaryLines;
    BOOL m_bKeyphrasesChanged = FALSE;
    BOOL m_bParseFailed = FALSE;
    std::list<QuiPrsKeyphrase*> m_keyphrases;
    std::set<std::pair<QuiPrsKeyphrase*, const void*>> m_claims;
    std::deque<Quillmate::CContactLink> m_contactLinks;

private:
    CNoteBox* NoteBox() const;
    void NewContext();
    // After a parse: only keyphrases the note's context still holds stay listed.
    void KeepLiveKeyphrases(QuiParserMgr* manager);
};
