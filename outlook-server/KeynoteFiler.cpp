#include "KeynoteFiler.h"

#include <string>

#include "PloverRes.h"
#include "VariantArray.h"

const wchar_t* const kPloverRecordNames[] = {
    L"Body",         L"Priority",         L"Private",          L"Type",
    L"StartDate",    L"EndDate",          L"DueDate",          L"Completed",
    L"TaskCategory", L"JournalCategory",  L"Contacts",         L"Pencil",
    L"SubType",      L"Recipients",       L"CCs",              L"BCCs",
    L"Database",     L"Attachments",      L"AlarmAdvance",     L"AlarmAdvanceUnit",
    L"AlarmAdvanceDate", L"Note",         L"AboutBox",         L"Error",
};
const size_t kPloverRecordNameCount = sizeof kPloverRecordNames / sizeof kPloverRecordNames[0];

namespace {

const LONG kTypeTask = 0x01;
const LONG kTypeJournal = 0x02;
const LONG kTypeAppointment = 0x04;
const LONG kTypeMail = 0x08;
const LONG kTypeNote = 0x10;
const LONG kSubTypeAllDay = 1024;
const LONG kSubTypeMeeting = 2048;

// Outlook's OlItemType values.
const LONG kMailItem = 0;
const LONG kAppointmentItem = 1;
const LONG kTaskItem = 3;
const LONG kJournalItem = 4;
const LONG kNoteItem = 5;
// OlImportance runs from low to high, OlSensitivity knows normal and private.
const LONG kImportanceLow = 0;
const LONG kImportanceHigh = 2;
const LONG kSensitivityNormal = 0;
const LONG kSensitivityPrivate = 2;
const LONG kMeeting = 1;  // OlMeetingStatus olMeeting

class Value : public VARIANT {
public:
    Value() { VariantInit(this); }
    ~Value() { VariantClear(this); }
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;
};

// Outlook refuses an attachment without a source: only a value that names
// something is handed on.
bool CarriesAttachment(const VARIANT& value)
{
    switch (V_VT(&value)) {
    case VT_EMPTY:
    case VT_NULL: return false;
    case VT_BSTR: return SysStringLen(V_BSTR(&value)) > 0;
    default: return true;
    }
}

bool HoldsNothing(const VARIANT& value)
{
    return V_VT(&value) == VT_EMPTY || V_VT(&value) == VT_NULL || V_VT(&value) == VT_ERROR;
}

// Outlook reads an item's categories apart at the user's list separator
// ("sList" of the user's international settings).
std::wstring ListSeparator()
{
    wchar_t text[8] = {};
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\International", 0, KEY_QUERY_VALUE, &key)
        == ERROR_SUCCESS) {
        DWORD type = 0, size = sizeof text - sizeof text[0];
        LONG read = RegQueryValueExW(key, L"sList", nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
        RegCloseKey(key);
        if (read == ERROR_SUCCESS && type == REG_SZ && text[0])
            return text;
    }
    text[0] = L'\0';
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, text, sizeof text / sizeof text[0]) > 0 && text[0])
        return text;
    return L",";
}

// The midnight that begins a date's day; automation dates before 1900 count
// their time of day away from the day, so the day is truncated, not floored.
DATE Midnight(DATE date)
{
    return static_cast<DATE>(static_cast<long long>(date));
}

// An all-day entry ends at a midnight after its first day: a later midnight
// given as the end is kept, any other end closes its own day.
DATE AllDayEnd(DATE firstDay, DATE end)
{
    const DATE endDay = Midnight(end);
    if (end == endDay && endDay > firstDay)
        return endDay;
    return (endDay > firstDay ? endDay : firstDay) + 1.0;
}

}  // namespace

CKeynoteFiler::CKeynoteFiler(COutlookObject& application, COutlookNames& names, IDispatch* record,
                             const GodwitDispIdCache& cache)
    : m_application(application), m_names(names), m_record(record), m_cache(cache)
{
}

UINT CKeynoteFiler::File()
{
    LONG type = 0;
    ReadNumber(L"Type", &type);
    struct Step {
        LONG bit;
        LONG itemType;
        OlInterface iface;
        Fill fill;
        Finish finish;
    } steps[] = {
        {kTypeTask, kTaskItem, OlInterface::TaskItem, &CKeynoteFiler::FillTask, &CKeynoteFiler::Save},
        {kTypeAppointment, kAppointmentItem, OlInterface::AppointmentItem, &CKeynoteFiler::FillAppointment,
         &CKeynoteFiler::Save},
        {kTypeJournal, kJournalItem, OlInterface::JournalItem, &CKeynoteFiler::FillJournal, &CKeynoteFiler::Save},
        {kTypeMail, kMailItem, OlInterface::MailItem, &CKeynoteFiler::FillMail, &CKeynoteFiler::SendMail},
        {kTypeNote, kNoteItem, OlInterface::NoteItem, &CKeynoteFiler::FillNote, &CKeynoteFiler::Save},
    };
    for (const Step& step : steps) {
        if (!(type & 0xff & step.bit))
            continue;
        if (UINT failed = FileKind(step.itemType, step.iface, step.fill, step.finish))
            return failed;
    }
    return 0;
}

//--- reading the record

bool CKeynoteFiler::ReadTyped(const wchar_t* name, VARTYPE type, VARIANT* value) const
{
    m_cache.Read(m_record, name, value);
    return V_VT(value) == type;
}

HRESULT CKeynoteFiler::ReadText(const wchar_t* name, VARIANT* text) const
{
    m_cache.Read(m_record, name, text);
    if (V_VT(text) == VT_BSTR && V_BSTR(text))
        return S_OK;
    if (FAILED(VariantChangeType(text, text, 0, VT_BSTR)) || !V_BSTR(text)) {
        VariantClear(text);
        V_VT(text) = VT_BSTR;
        V_BSTR(text) = SysAllocString(L"");
        if (!V_BSTR(text)) {
            V_VT(text) = VT_EMPTY;
            return E_OUTOFMEMORY;
        }
    }
    return S_OK;
}

bool CKeynoteFiler::ReadNumber(const wchar_t* name, LONG* number) const
{
    Value value;
    m_cache.Read(m_record, name, &value);
    if (HoldsNothing(value) || FAILED(VariantChangeType(&value, &value, 0, VT_I4)))
        return false;
    *number = V_I4(&value);
    return true;
}

bool CKeynoteFiler::ReadSmallNumber(const wchar_t* name, bool typed, LONG* number) const
{
    if (!typed)
        return ReadNumber(name, number);
    Value value;
    if (!ReadTyped(name, VT_I2, &value))
        return false;
    *number = V_I2(&value);
    return true;
}

DATE CKeynoteFiler::ReadDate(const wchar_t* name) const
{
    Value value;
    m_cache.Read(m_record, name, &value);
    return SUCCEEDED(VariantChangeType(&value, &value, 0, VT_DATE)) ? V_DATE(&value) : 0.0;
}

//--- Outlook calls shared by the kinds

HRESULT CKeynoteFiler::AddAttachment(HRESULT hr, COutlookObject& item) const
{
    Value source;
    if (FAILED(hr))
        return hr;
    m_cache.Read(m_record, L"Attachments", &source);
    if (!CarriesAttachment(source))
        return S_OK;
    COutlookObject attachments(m_names);
    hr = item.Child(L"Attachments", OlInterface::Attachments, &attachments);
    // Type, Position and DisplayName left out, as automation leaves them out.
    Value added;
    return SUCCEEDED(hr) ? attachments.Call(L"Add", {source}, &added) : hr;
}

HRESULT CKeynoteFiler::AddRecipient(COutlookObject& item, BSTR name) const
{
    COutlookObject recipients(m_names);
    HRESULT hr = item.Child(L"Recipients", OlInterface::Recipients, &recipients);
    Value added;
    return SUCCEEDED(hr) ? recipients.Call(L"Add", {OlArg::Text(name)}, &added) : hr;
}

//--- copying one property: each step does nothing once a step before it failed

HRESULT CKeynoteFiler::CopyIfText(HRESULT hr, COutlookObject& item, const wchar_t* property,
                                  const wchar_t* name) const
{
    Value value;
    return SUCCEEDED(hr) && ReadTyped(name, VT_BSTR, &value) ? item.Put(property, value) : hr;
}

HRESULT CKeynoteFiler::CopyIfDate(HRESULT hr, COutlookObject& item, const wchar_t* property, const wchar_t* name,
                                  bool zeroIsDate) const
{
    Value value;
    if (FAILED(hr) || !ReadTyped(name, VT_DATE, &value) || (!zeroIsDate && V_DATE(&value) == 0.0))
        return hr;
    return item.Put(property, value);
}

HRESULT CKeynoteFiler::CopyText(HRESULT hr, COutlookObject& item, const wchar_t* property,
                                const wchar_t* name) const
{
    Value text;
    if (SUCCEEDED(hr))
        hr = ReadText(name, &text);
    return SUCCEEDED(hr) ? item.Put(property, text) : hr;
}

HRESULT CKeynoteFiler::CopyImportance(HRESULT hr, COutlookObject& item, bool typed) const
{
    LONG priority = 0;
    // A priority Outlook has no importance for leaves the item's own, normal.
    if (FAILED(hr) || !ReadSmallNumber(L"Priority", typed, &priority) || priority < kImportanceLow
        || priority > kImportanceHigh)
        return hr;
    return item.Put(L"Importance", OlArg::Long(priority));
}

HRESULT CKeynoteFiler::CopySensitivity(HRESULT hr, COutlookObject& item, bool typed) const
{
    LONG flag = 0;
    if (FAILED(hr) || !ReadSmallNumber(L"Private", typed, &flag))
        return hr;
    return item.Put(L"Sensitivity", OlArg::Long(flag ? kSensitivityPrivate : kSensitivityNormal));
}

// Outlook makes an all-day entry of one marked all-day before its start and
// end are given, each a midnight; any other times make it an ordinary one.
HRESULT CKeynoteFiler::CopyAppointmentTimes(HRESULT hr, COutlookObject& appointment, bool allDay) const
{
    if (SUCCEEDED(hr))
        hr = appointment.Put(L"AllDayEvent", OlArg::Bool(allDay));
    if (!allDay) {
        hr = CopyIfDate(hr, appointment, L"Start", L"StartDate", true);
        return CopyIfDate(hr, appointment, L"End", L"EndDate", true);
    }
    Value start, end;
    if (FAILED(hr) || !ReadTyped(L"StartDate", VT_DATE, &start))
        return hr;
    const DATE firstDay = Midnight(V_DATE(&start));
    const DATE last = ReadTyped(L"EndDate", VT_DATE, &end) ? AllDayEnd(firstDay, V_DATE(&end)) : firstDay + 1.0;
    hr = appointment.Put(L"Start", OlArg::Date(firstDay));
    return SUCCEEDED(hr) ? appointment.Put(L"End", OlArg::Date(last)) : hr;
}

//--- the kinds

UINT CKeynoteFiler::FileKind(LONG type, OlInterface iface, Fill fill, Finish finish) const
{
    COutlookObject item(m_names);
    HRESULT hr = m_application.CallChild(L"CreateItem", {OlArg::Long(type)}, iface, &item);
    if (SUCCEEDED(hr))
        hr = (this->*fill)(item);
    return SUCCEEDED(hr) ? (this->*finish)(item) : IDS_SAVE_FAILED;
}

UINT CKeynoteFiler::Save(COutlookObject& item) const
{
    return SUCCEEDED(item.Call(L"Save", {})) ? 0 : IDS_SAVE_FAILED;
}

HRESULT CKeynoteFiler::FillTask(COutlookObject& task) const
{
    HRESULT hr = CopyIfText(S_OK, task, L"Subject", L"Body");
    hr = CopyIfText(hr, task, L"Body", L"Note");
    hr = CopyIfText(hr, task, L"ContactNames", L"Contacts");
    if (SUCCEEDED(hr)) {
        Value categories;
        m_cache.Read(m_record, L"TaskCategory", &categories);
        BSTR joined = nullptr;
        if (V_VT(&categories) == VT_BSTR)
            hr = task.Put(L"Categories", categories);
        else if (QuiIsStringArray(categories)
                 && SUCCEEDED(hr = QuiJoinStrings(categories, ListSeparator().c_str(), &joined)))
            hr = task.Put(L"Categories", OlArg::Text(joined));
        SysFreeString(joined);
    }
    hr = CopyImportance(hr, task, true);
    Value completed;
    if (SUCCEEDED(hr) && ReadTyped(L"Completed", VT_I2, &completed))
        hr = task.Put(L"Complete", OlArg::Bool(V_I2(&completed) == 1));
    // 0.0 is what an empty date field gives: no date, not 30 December 1899.
    hr = CopyIfDate(hr, task, L"StartDate", L"StartDate", false);
    hr = CopyIfDate(hr, task, L"DueDate", L"DueDate", false);
    hr = CopySensitivity(hr, task, true);
    return AddAttachment(hr, task);
}

HRESULT CKeynoteFiler::FillAppointment(COutlookObject& appointment) const
{
    HRESULT hr = CopyIfText(S_OK, appointment, L"Subject", L"Body");
    hr = CopyIfText(hr, appointment, L"Body", L"Note");
    hr = CopyIfText(hr, appointment, L"Categories", L"TaskCategory");
    LONG subType = 0;
    ReadNumber(L"SubType", &subType);
    hr = CopyAppointmentTimes(hr, appointment, subType == kSubTypeAllDay);
    hr = CopySensitivity(hr, appointment, true);
    if (SUCCEEDED(hr) && subType == kSubTypeMeeting)
        hr = appointment.Put(L"MeetingStatus", OlArg::Long(kMeeting));
    hr = AddAttachment(hr, appointment);
    return CopyImportance(hr, appointment, true);
}

HRESULT CKeynoteFiler::FillJournal(COutlookObject& journal) const
{
    HRESULT hr = CopyText(S_OK, journal, L"Categories", L"TaskCategory");
    hr = CopyText(hr, journal, L"Body", L"Note");
    hr = CopyText(hr, journal, L"Subject", L"Body");
    hr = CopyImportance(hr, journal, false);
    hr = CopySensitivity(hr, journal, false);
    hr = AddAttachment(hr, journal);
    // An entry about no one gets no nameless contact.
    Value contact;
    if (SUCCEEDED(hr) && SUCCEEDED(hr = ReadText(L"Recipients", &contact)) && SysStringLen(V_BSTR(&contact)) > 0)
        hr = AddRecipient(journal, V_BSTR(&contact));
    if (SUCCEEDED(hr))
        hr = journal.Put(L"Start", OlArg::Date(ReadDate(L"StartDate")));
    return SUCCEEDED(hr) ? journal.Put(L"End", OlArg::Date(ReadDate(L"EndDate"))) : hr;
}

HRESULT CKeynoteFiler::FillMail(COutlookObject& mail) const
{
    HRESULT hr = CopyText(S_OK, mail, L"Body", L"Note");
    hr = CopyText(hr, mail, L"Subject", L"Body");
    Value to;
    if (SUCCEEDED(hr) && SUCCEEDED(hr = ReadText(L"Recipients", &to)) && SUCCEEDED(hr = AddRecipient(mail, V_BSTR(&to))))
        hr = mail.Put(L"To", to);
    hr = CopyText(hr, mail, L"Categories", L"TaskCategory");
    hr = CopyText(hr, mail, L"CC", L"CCs");
    hr = CopyText(hr, mail, L"BCC", L"BCCs");
    hr = AddAttachment(hr, mail);
    hr = CopyImportance(hr, mail, false);
    return CopySensitivity(hr, mail, false);
}

// A message whose addresses do not all resolve is neither saved nor sent; one
// that was saved and could not be sent is not left behind among the drafts.
UINT CKeynoteFiler::SendMail(COutlookObject& mail) const
{
    COutlookObject recipients(m_names);
    Value resolved;
    HRESULT hr = mail.Child(L"Recipients", OlInterface::Recipients, &recipients);
    if (SUCCEEDED(hr))
        hr = recipients.Call(L"ResolveAll", {}, &resolved);
    if (SUCCEEDED(hr))
        hr = VariantChangeType(&resolved, &resolved, 0, VT_BOOL);
    if (FAILED(hr))
        return IDS_SAVE_FAILED;
    if (V_BOOL(&resolved) == VARIANT_FALSE)
        return IDS_UNRESOLVED_ADDRESS;
    if (FAILED(mail.Call(L"Save", {})))
        return IDS_SAVE_FAILED;
    if (SUCCEEDED(mail.Call(L"Send", {})))
        return 0;
    mail.Call(L"Delete", {});
    return IDS_SAVE_FAILED;
}

HRESULT CKeynoteFiler::FillNote(COutlookObject& note) const
{
    HRESULT hr = CopyText(S_OK, note, L"Body", L"Note");
    return CopyText(hr, note, L"Categories", L"JournalCategory");
}
