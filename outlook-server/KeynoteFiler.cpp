#include "KeynoteFiler.h"

#include <string>
#include <vector>

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
// OlMailRecipientType values.
const LONG kTo = 1;
const LONG kCC = 2;
const LONG kBCC = 3;

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

// The names of an address text apart at semicolons, without the blanks
// around them; no empty ones.
std::vector<std::wstring> AddressNames(const VARIANT& text)
{
    std::vector<std::wstring> names;
    const std::wstring all(V_BSTR(&text), SysStringLen(V_BSTR(&text)));
    for (size_t start = 0; start <= all.size();) {
        size_t end = all.find(L';', start);
        if (end == std::wstring::npos)
            end = all.size();
        const std::wstring name = all.substr(start, end - start);
        const size_t first = name.find_first_not_of(L" \t");
        if (first != std::wstring::npos)
            names.push_back(name.substr(first, name.find_last_not_of(L" \t") - first + 1));
        start = end + 1;
    }
    return names;
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

CKeynoteFiler::CKeynoteFiler(COutlookSession& session, IDispatch* record, const GodwitDispIdCache& cache)
    : m_session(session), m_names(session.Names()), m_record(record), m_cache(cache)
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

// Each name once, as a recipient of its type.
HRESULT CKeynoteFiler::AddRecipients(HRESULT hr, COutlookObject& recipients, const wchar_t* name, LONG type) const
{
    Value text;
    if (SUCCEEDED(hr))
        hr = ReadText(name, &text);
    if (FAILED(hr))
        return hr;
    for (const std::wstring& address : AddressNames(text)) {
        BSTR added = SysAllocStringLen(address.data(), static_cast<UINT>(address.size()));
        COutlookObject recipient(m_names);
        hr = added ? recipients.CallChild(L"Add", {OlArg::Text(added)}, OlInterface::Recipient, &recipient)
                   : E_OUTOFMEMORY;
        SysFreeString(added);
        if (SUCCEEDED(hr))
            hr = recipient.Put(L"Type", OlArg::Long(type));
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

//--- copying one property: each step does nothing once a step before it failed

HRESULT CKeynoteFiler::PutIfServed(COutlookObject& item, const wchar_t* property, const VARIANT& value)
{
    HRESULT hr = item.Put(property, value);
    return hr == DISP_E_UNKNOWNNAME ? S_OK : hr;
}

HRESULT CKeynoteFiler::CopyIfText(HRESULT hr, COutlookObject& item, const wchar_t* property,
                                  const wchar_t* name) const
{
    Value value;
    return SUCCEEDED(hr) && ReadTyped(name, VT_BSTR, &value) ? PutIfServed(item, property, value) : hr;
}

HRESULT CKeynoteFiler::CopyIfDate(HRESULT hr, COutlookObject& item, const wchar_t* property, const wchar_t* name) const
{
    Value value;
    if (FAILED(hr) || !ReadTyped(name, VT_DATE, &value) || V_DATE(&value) == 0.0)
        return hr;
    return PutIfServed(item, property, value);
}

HRESULT CKeynoteFiler::CopyCategories(HRESULT hr, COutlookObject& item, const wchar_t* name, bool typed) const
{
    Value categories;
    if (FAILED(hr))
        return hr;
    m_cache.Read(m_record, name, &categories);
    if (!QuiIsStringArray(categories))
        return typed ? CopyIfText(hr, item, L"Categories", name) : CopyText(hr, item, L"Categories", name);
    BSTR joined = nullptr;
    hr = QuiJoinStrings(categories, ListSeparator().c_str(), &joined);
    if (SUCCEEDED(hr))
        hr = PutIfServed(item, L"Categories", OlArg::Text(joined));
    SysFreeString(joined);
    return hr;
}

// Outlook 97 names a task's contacts Contacts; later versions ContactNames.
HRESULT CKeynoteFiler::CopyContactNames(HRESULT hr, COutlookObject& task) const
{
    Value contacts;
    if (FAILED(hr) || !ReadTyped(L"Contacts", VT_BSTR, &contacts))
        return hr;
    hr = task.Put(L"ContactNames", contacts);
    return hr == DISP_E_UNKNOWNNAME ? PutIfServed(task, L"Contacts", contacts) : hr;
}

HRESULT CKeynoteFiler::CopyText(HRESULT hr, COutlookObject& item, const wchar_t* property,
                                const wchar_t* name) const
{
    Value text;
    if (SUCCEEDED(hr))
        hr = ReadText(name, &text);
    return SUCCEEDED(hr) ? PutIfServed(item, property, text) : hr;
}

HRESULT CKeynoteFiler::CopyImportance(HRESULT hr, COutlookObject& item, bool typed) const
{
    LONG priority = 0;
    // A priority Outlook has no importance for leaves the item's own, normal.
    if (FAILED(hr) || !ReadSmallNumber(L"Priority", typed, &priority) || priority < kImportanceLow
        || priority > kImportanceHigh)
        return hr;
    return PutIfServed(item, L"Importance", OlArg::Long(priority));
}

HRESULT CKeynoteFiler::CopySensitivity(HRESULT hr, COutlookObject& item, bool typed) const
{
    LONG flag = 0;
    if (FAILED(hr) || !ReadSmallNumber(L"Private", typed, &flag))
        return hr;
    return PutIfServed(item, L"Sensitivity", OlArg::Long(flag ? kSensitivityPrivate : kSensitivityNormal));
}

// Outlook makes an all-day entry of one marked all-day before its start and
// end are given, each a midnight; any other times make it an ordinary one.
HRESULT CKeynoteFiler::CopyAppointmentTimes(HRESULT hr, COutlookObject& appointment, bool allDay) const
{
    if (SUCCEEDED(hr))
        hr = PutIfServed(appointment, L"AllDayEvent", OlArg::Bool(allDay));
    if (!allDay) {
        hr = CopyIfDate(hr, appointment, L"Start", L"StartDate");
        return CopyIfDate(hr, appointment, L"End", L"EndDate");
    }
    Value start, end;
    if (FAILED(hr) || !ReadTyped(L"StartDate", VT_DATE, &start) || V_DATE(&start) == 0.0)
        return hr;
    const DATE firstDay = Midnight(V_DATE(&start));
    const DATE last = ReadTyped(L"EndDate", VT_DATE, &end) ? AllDayEnd(firstDay, V_DATE(&end)) : firstDay + 1.0;
    hr = PutIfServed(appointment, L"Start", OlArg::Date(firstDay));
    return SUCCEEDED(hr) ? PutIfServed(appointment, L"End", OlArg::Date(last)) : hr;
}

//--- the kinds

UINT CKeynoteFiler::FileKind(LONG type, OlInterface iface, Fill fill, Finish finish) const
{
    UINT failed = 0;
    m_session.Retry([&] { return TryKind(type, iface, fill, finish, &failed); });
    return failed;
}

HRESULT CKeynoteFiler::TryKind(LONG type, OlInterface iface, Fill fill, Finish finish, UINT* failed) const
{
    *failed = IDS_SAVE_FAILED;
    COutlookObject item(m_names);
    HRESULT hr = m_session.Application().CallChild(L"CreateItem", {OlArg::Long(type)}, iface, &item);
    if (SUCCEEDED(hr))
        hr = (this->*fill)(item);
    return SUCCEEDED(hr) ? (this->*finish)(item, failed) : hr;
}

HRESULT CKeynoteFiler::Save(COutlookObject& item, UINT* failed) const
{
    HRESULT hr = item.Call(L"Save", {});
    *failed = FAILED(hr) ? IDS_SAVE_FAILED : 0;
    return hr;
}

HRESULT CKeynoteFiler::FillTask(COutlookObject& task) const
{
    HRESULT hr = CopyIfText(S_OK, task, L"Subject", L"Body");
    hr = CopyIfText(hr, task, L"Body", L"Note");
    hr = CopyContactNames(hr, task);
    hr = CopyCategories(hr, task, L"TaskCategory", true);
    hr = CopyImportance(hr, task, true);
    Value completed;
    if (SUCCEEDED(hr) && ReadTyped(L"Completed", VT_I2, &completed))
        hr = PutIfServed(task, L"Complete", OlArg::Bool(V_I2(&completed) == 1));
    hr = CopyIfDate(hr, task, L"StartDate", L"StartDate");
    hr = CopyIfDate(hr, task, L"DueDate", L"DueDate");
    hr = CopySensitivity(hr, task, true);
    return AddAttachment(hr, task);
}

HRESULT CKeynoteFiler::FillAppointment(COutlookObject& appointment) const
{
    HRESULT hr = CopyIfText(S_OK, appointment, L"Subject", L"Body");
    hr = CopyIfText(hr, appointment, L"Body", L"Note");
    hr = CopyCategories(hr, appointment, L"TaskCategory", true);
    LONG subType = 0;
    ReadNumber(L"SubType", &subType);
    hr = CopyAppointmentTimes(hr, appointment, subType == kSubTypeAllDay);
    hr = CopySensitivity(hr, appointment, true);
    if (SUCCEEDED(hr) && subType == kSubTypeMeeting)
        hr = PutIfServed(appointment, L"MeetingStatus", OlArg::Long(kMeeting));
    hr = AddAttachment(hr, appointment);
    return CopyImportance(hr, appointment, true);
}

HRESULT CKeynoteFiler::FillJournal(COutlookObject& journal) const
{
    HRESULT hr = CopyCategories(S_OK, journal, L"TaskCategory", false);
    hr = CopyText(hr, journal, L"Body", L"Note");
    hr = CopyText(hr, journal, L"Subject", L"Body");
    hr = CopyImportance(hr, journal, false);
    hr = CopySensitivity(hr, journal, false);
    hr = AddAttachment(hr, journal);
    // An entry about no one gets no nameless contact.
    Value contact, added;
    COutlookObject recipients(m_names);
    if (SUCCEEDED(hr) && SUCCEEDED(hr = ReadText(L"Recipients", &contact)) && SysStringLen(V_BSTR(&contact)) > 0
        && SUCCEEDED(hr = journal.Child(L"Recipients", OlInterface::Recipients, &recipients)))
        hr = recipients.Call(L"Add", {contact}, &added);
    // An entry without dates is left to Outlook's own, as a task is.
    const DATE start = ReadDate(L"StartDate"), end = ReadDate(L"EndDate");
    if (SUCCEEDED(hr) && start != 0.0)
        hr = PutIfServed(journal, L"Start", OlArg::Date(start));
    return SUCCEEDED(hr) && end != 0.0 ? PutIfServed(journal, L"End", OlArg::Date(end)) : hr;
}

HRESULT CKeynoteFiler::FillMail(COutlookObject& mail) const
{
    HRESULT hr = CopyText(S_OK, mail, L"Body", L"Note");
    hr = CopyText(hr, mail, L"Subject", L"Body");
    hr = CopyCategories(hr, mail, L"TaskCategory", false);
    hr = AddAttachment(hr, mail);
    hr = CopyImportance(hr, mail, false);
    return CopySensitivity(hr, mail, false);
}

// Every name goes in once, as a recipient of its type, through the recipients
// collection read once: the object model guard asks the user at each read,
// and a refusal fails the call. A message whose addresses do not all resolve
// is neither saved nor sent; one that was saved and could not be sent is not
// left behind among the drafts.
HRESULT CKeynoteFiler::SendMail(COutlookObject& mail, UINT* failed) const
{
    Value to, cc, bcc;
    HRESULT hr = ReadText(L"Recipients", &to);
    if (SUCCEEDED(hr))
        hr = ReadText(L"CCs", &cc);
    if (SUCCEEDED(hr))
        hr = ReadText(L"BCCs", &bcc);
    if (FAILED(hr))
        return hr;
    if (AddressNames(to).empty() && AddressNames(cc).empty() && AddressNames(bcc).empty()) {
        *failed = IDS_UNRESOLVED_ADDRESS;
        return S_OK;
    }
    COutlookObject recipients(m_names);
    Value resolved;
    hr = mail.Child(L"Recipients", OlInterface::Recipients, &recipients);
    hr = AddRecipients(hr, recipients, L"Recipients", kTo);
    hr = AddRecipients(hr, recipients, L"CCs", kCC);
    hr = AddRecipients(hr, recipients, L"BCCs", kBCC);
    if (SUCCEEDED(hr))
        hr = recipients.Call(L"ResolveAll", {}, &resolved);
    if (SUCCEEDED(hr))
        hr = VariantChangeType(&resolved, &resolved, 0, VT_BOOL);
    if (FAILED(hr))
        return hr;
    if (V_BOOL(&resolved) == VARIANT_FALSE) {
        *failed = IDS_UNRESOLVED_ADDRESS;
        return S_OK;
    }
    if (FAILED(hr = mail.Call(L"Save", {})))
        return hr;
    if (SUCCEEDED(hr = mail.Call(L"Send", {}))) {
        *failed = 0;
        return hr;
    }
    mail.Call(L"Delete", {});
    return hr;
}

HRESULT CKeynoteFiler::FillNote(COutlookObject& note) const
{
    HRESULT hr = CopyText(S_OK, note, L"Body", L"Note");
    return CopyCategories(hr, note, L"JournalCategory", false);
}
