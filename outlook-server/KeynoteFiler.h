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

    // The property when it has exactly that type, else false.
    bool ReadTyped(const wchar_t* name, VARTYPE type, VARIANT* value) const;
    // The property as text, a number or a date; what cannot be taken as one
    // gives an empty text, 0 and 0.0.
    HRESULT ReadText(const wchar_t* name, VARIANT* text) const;
    LONG ReadNumber(const wchar_t* name) const;
    DATE ReadDate(const wchar_t* name) const;

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
