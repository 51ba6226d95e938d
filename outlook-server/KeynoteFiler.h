// Files one item record into Outlook as the task, appointment, journal
// entry, mail message and note its Type bits ask for.
#pragma once
#include <windows.h>

#include "GodwitDispIdCache.h"
#include "OutlookStandIn.h"

// The property names Plover resolves on an item record.
extern const wchar_t* const kPloverRecordNames[];
extern const size_t kPloverRecordNameCount;

class CKeynoteFiler {
public:
    // `cache` has been filled from `record`.
    CKeynoteFiler(_Application* application, IDispatch* record, const GodwitDispIdCache& cache);

    // Files the kinds in the order task, appointment, journal entry, mail,
    // note, and stops at the first that fails. Answers 0, or the string id
    // of the failure.
    UINT File();

private:
    UINT FileTask();
    UINT FileAppointment();
    UINT FileJournal();
    UINT FileMail();
    UINT FileNote();

    // Creates the item, fills it and finishes it (saves, or for mail resolves,
    // saves and sends). Answers 0, or the string id of the failure.
    template <class Item>
    UINT FileKind(OlItemType type, REFIID iid, HRESULT (CKeynoteFiler::*fill)(Item*) const,
                  UINT (CKeynoteFiler::*finish)(Item*) const) const;
    template <class Item>
    UINT Save(Item* item) const;
    UINT SendMail(_MailItem* mail) const;

    HRESULT FillTask(_TaskItem* task) const;
    HRESULT FillAppointment(_AppointmentItem* appointment) const;
    HRESULT FillJournal(_JournalItem* journal) const;
    HRESULT FillMail(_MailItem* mail) const;
    HRESULT FillNote(_NoteItem* note) const;

    // The property when it has exactly that type, else false.
    bool ReadTyped(const wchar_t* name, VARTYPE type, VARIANT* value) const;
    // The property as text, a number or a date; what cannot be taken as one
    // gives an empty text, 0 and 0.0.
    HRESULT ReadText(const wchar_t* name, VARIANT* text) const;
    LONG ReadNumber(const wchar_t* name) const;
    DATE ReadDate(const wchar_t* name) const;

    // Task and appointment take a property only when it has the type named;
    // journal entry, mail and note take whatever can be read as text or
    // number. A step after a failed one (hr) does nothing.
    template <class Item>
    HRESULT CopyIfText(HRESULT hr, Item* item, HRESULT (STDMETHODCALLTYPE Item::*put)(BSTR),
                       const wchar_t* name) const;
    template <class Item>
    HRESULT CopyIfShort(HRESULT hr, Item* item, HRESULT (STDMETHODCALLTYPE Item::*put)(LONG),
                        const wchar_t* name) const;
    template <class Item>
    HRESULT CopyIfDate(HRESULT hr, Item* item, HRESULT (STDMETHODCALLTYPE Item::*put)(DATE), const wchar_t* name,
                       bool zeroIsDate) const;
    template <class Item>
    HRESULT CopyText(HRESULT hr, Item* item, HRESULT (STDMETHODCALLTYPE Item::*put)(BSTR),
                     const wchar_t* name) const;
    template <class Item>
    HRESULT CopyNumber(HRESULT hr, Item* item, HRESULT (STDMETHODCALLTYPE Item::*put)(LONG),
                       const wchar_t* name) const;

    template <class Item>
    HRESULT Create(OlItemType type, REFIID iid, Item** item) const;
    template <class Item>
    HRESULT AddAttachment(Item* item) const;
    template <class Item>
    HRESULT AddRecipient(Item* item, BSTR name) const;

    _Application* m_application;
    IDispatch* m_record;
    const GodwitDispIdCache& m_cache;
};
