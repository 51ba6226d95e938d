// Files one item record into Outlook as the task, appointment, journal
// entry, mail message and note its Type bits ask for.
#pragma once
#include <windows.h>

#include "GodwitDispIdCache.h"
#include "OutlookSession.h"

// The property names Plover resolves on an item record.
extern const wchar_t* const kPloverRecordNames[];
extern const size_t kPloverRecordNameCount;

class CKeynoteFiler {
public:
    // `cache` has been filled from `record`.
    CKeynoteFiler(COutlookSession& session, IDispatch* record, const GodwitDispIdCache& cache);

    // Files the kinds in the order task, appointment, journal entry, mail,
    // note, and stops at the first that fails. Answers 0, or the string id
    // of the failure.
    UINT File();

private:
    using Fill = HRESULT (CKeynoteFiler::*)(COutlookObject& item) const;
    // Answers the result of the failing call, with the string id of the
    // failure (or 0) in `failed`.
    using Finish = HRESULT (CKeynoteFiler::*)(COutlookObject& item, UINT* failed) const;

    // Creates the item, fills it and finishes it (saves, or for mail resolves,
    // saves and sends), in a new session once more when Outlook has gone.
    // Answers 0, or the string id of the failure.
    UINT FileKind(LONG type, OlInterface iface, Fill fill, Finish finish) const;
    HRESULT TryKind(LONG type, OlInterface iface, Fill fill, Finish finish, UINT* failed) const;
    HRESULT Save(COutlookObject& item, UINT* failed) const;
    HRESULT SendMail(COutlookObject& mail, UINT* failed) const;

    HRESULT FillTask(COutlookObject& task) const;
    HRESULT FillAppointment(COutlookObject& appointment) const;
    HRESULT FillJournal(COutlookObject& journal) const;
    HRESULT FillMail(COutlookObject& mail) const;
    HRESULT FillNote(COutlookObject& note) const;

    // The property when it has exactly that type, else false.
    bool ReadTyped(const wchar_t* name, VARTYPE type, VARIANT* value) const;
    // The property as text; what cannot be taken as text gives an empty one.
    HRESULT ReadText(const wchar_t* name, VARIANT* text) const;
    // The property as a number; false when the record holds none.
    bool ReadNumber(const wchar_t* name, LONG* number) const;
    // The same, only from a short when `typed`.
    bool ReadSmallNumber(const wchar_t* name, bool typed, LONG* number) const;
    // The property as a date; 0.0 when the record holds none.
    DATE ReadDate(const wchar_t* name) const;

    // Task and appointment take a property only when it has the type named;
    // journal entry, mail and note take whatever can be read as text or
    // number. A step after a failed one (hr) does nothing.
    HRESULT CopyIfText(HRESULT hr, COutlookObject& item, const wchar_t* property, const wchar_t* name) const;
    // A date is copied only when the record holds one: 0.0 is an empty field.
    HRESULT CopyIfDate(HRESULT hr, COutlookObject& item, const wchar_t* property, const wchar_t* name) const;
    HRESULT CopyText(HRESULT hr, COutlookObject& item, const wchar_t* property, const wchar_t* name) const;
    // Priority to Importance and Private to Sensitivity, within the values
    // Outlook has for them; `typed`: only from a short.
    HRESULT CopyImportance(HRESULT hr, COutlookObject& item, bool typed) const;
    HRESULT CopySensitivity(HRESULT hr, COutlookObject& item, bool typed) const;
    HRESULT CopyAppointmentTimes(HRESULT hr, COutlookObject& appointment, bool allDay) const;
    // A list of categories given as an array is joined for every kind;
    // `typed`: a single one only from a text.
    HRESULT CopyCategories(HRESULT hr, COutlookObject& item, const wchar_t* name, bool typed) const;
    HRESULT CopyContactNames(HRESULT hr, COutlookObject& task) const;
    // A property the Outlook version lacks is left out, never the reason a
    // filing fails.
    static HRESULT PutIfServed(COutlookObject& item, const wchar_t* property, const VARIANT& value);

    HRESULT AddAttachment(HRESULT hr, COutlookObject& item) const;
    HRESULT AddRecipients(HRESULT hr, COutlookObject& recipients, const wchar_t* name, LONG type) const;

    COutlookSession& m_session;
    COutlookNames& m_names;
    IDispatch* m_record;
    const GodwitDispIdCache& m_cache;
};
