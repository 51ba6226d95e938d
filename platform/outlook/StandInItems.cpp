#include "StandInItems.h"

#include <cstdio>

#include "OutlookStore.h"
#include "StandInObject.h"
#include "StandInSettings.h"

namespace {

// The values of OlImportance, OlSensitivity and OlMeetingStatus.
bool IsImportance(long value)
{
    return value >= 0 && value <= 2;
}

bool IsSensitivity(long value)
{
    return value >= 0 && value <= 3;
}

bool IsMeetingStatus(long value)
{
    return value == 0 || value == 1 || value == 3 || value == 5 || value == 7;
}

// Importance starts normal (1), as the mail program makes new items.
#define OL_COMMON_PROPERTIES                                                                             \
    {"Subject", ValueKind::Text, 0}, {"Body", ValueKind::Text, 0}, {"Categories", ValueKind::Text, 0}, \
        {"Importance", ValueKind::Long, 1, IsImportance}, {"Sensitivity", ValueKind::Long, 0, IsSensitivity}

const PropertyDef kTaskProperties[] = {
    OL_COMMON_PROPERTIES,
    {"ContactNames", ValueKind::Text, 0},
    {"Complete", ValueKind::Bool, 0},
    {"StartDate", ValueKind::Date, 0},
    {"DueDate", ValueKind::Date, 0},
};
const PropertyDef kAppointmentProperties[] = {
    OL_COMMON_PROPERTIES,
    {"Start", ValueKind::Date, 0},
    {"End", ValueKind::Date, 0},
    {"AllDayEvent", ValueKind::Bool, 0},
    {"MeetingStatus", ValueKind::Long, 0, IsMeetingStatus},
};
const PropertyDef kJournalProperties[] = {
    OL_COMMON_PROPERTIES,
    {"Start", ValueKind::Date, 0},
    {"End", ValueKind::Date, 0},
};
const PropertyDef kMailProperties[] = {
    OL_COMMON_PROPERTIES,
    {"To", ValueKind::Text, 0},
    {"CC", ValueKind::Text, 0},
    {"BCC", ValueKind::Text, 0},
};
const PropertyDef kNoteProperties[] = {
    {"Body", ValueKind::Text, 0},
    {"Categories", ValueKind::Text, 0},
};

#define OL_KIND(name, iface, props) {name, #iface, &IID_##iface, props, sizeof props / sizeof props[0]}
const ItemKindDef kTask = OL_KIND("task", _TaskItem, kTaskProperties);
const ItemKindDef kAppointment = OL_KIND("appointment", _AppointmentItem, kAppointmentProperties);
const ItemKindDef kJournal = OL_KIND("journal", _JournalItem, kJournalProperties);
const ItemKindDef kMail = OL_KIND("mail", _MailItem, kMailProperties);
const ItemKindDef kNote = OL_KIND("note", _NoteItem, kNoteProperties);

const size_t kNoProperty = static_cast<size_t>(-1);

size_t IndexOf(const ItemData& item, const char* name, ValueKind kind)
{
    for (size_t i = 0; i < item.kind.count; ++i) {
        if (strcmp(item.kind.properties[i].name, name) == 0 && item.kind.properties[i].kind == kind)
            return i;
    }
    return kNoProperty;
}

StoredValue* Find(ItemData& item, const char* name, ValueKind kind)
{
    const size_t index = IndexOf(item, name, kind);
    return index == kNoProperty ? nullptr : &item.values[index];
}

const StoredValue* Find(const ItemData& item, const char* name, ValueKind kind)
{
    const size_t index = IndexOf(item, name, kind);
    return index == kNoProperty ? nullptr : &item.values[index];
}

// A list's names apart at `separator`, each without the blanks around it.
std::vector<std::wstring> NamesApart(const std::wstring& text, const std::wstring& separator)
{
    std::vector<std::wstring> names;
    for (size_t start = 0;;) {
        const size_t end = text.find(separator, start);
        std::wstring name = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        name.erase(name.find_last_not_of(L" \t") + 1);
        name.erase(0, name.find_first_not_of(L" \t"));
        names.push_back(name);
        if (end == std::wstring::npos)
            return names;
        start = end + separator.size();
    }
}

// Outlook reads an item's categories apart at the user's list separator
// ("sList" of the international settings).
std::vector<std::string> CategoriesAsRead(const std::wstring& text)
{
    wchar_t separator[8] = L",";
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\International", 0, KEY_QUERY_VALUE, &key)
        == ERROR_SUCCESS) {
        DWORD type = 0, size = sizeof separator - sizeof separator[0];
        wchar_t read[8] = {};
        if (RegQueryValueExW(key, L"sList", nullptr, &type, reinterpret_cast<BYTE*>(read), &size) == ERROR_SUCCESS
            && type == REG_SZ && read[0])
            lstrcpynW(separator, read, 8);
        RegCloseKey(key);
    }
    std::vector<std::string> names;
    if (!text.empty()) {
        for (const std::wstring& name : NamesApart(text, separator))
            names.push_back(Utf8(name));
    }
    return names;
}

bool IsMidnight(DATE date)
{
    return date == static_cast<DATE>(static_cast<long long>(date));
}

// Outlook keeps an entry all-day only when it starts and ends at midnights,
// the end after the start; one given no times at all falls on today.
bool AllDayAsRead(const ItemData& item)
{
    const StoredValue* allDay = Find(item, "AllDayEvent", ValueKind::Bool);
    const StoredValue* start = Find(item, "Start", ValueKind::Date);
    const StoredValue* end = Find(item, "End", ValueKind::Date);
    if (!allDay || !allDay->number || !start || !end)
        return false;
    if (!start->set && !end->set)
        return true;
    return start->set && end->set && IsMidnight(start->date) && IsMidnight(end->date) && end->date > start->date;
}

std::string DateText(const StoredValue& value)
{
    SYSTEMTIME time;
    if (!value.set)
        return "none";
    if (!VariantTimeToSystemTime(value.date, &time))
        return "invalid";
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute, time.wSecond);
    return text;
}

// A message's To, CC and BCC: the recipients of that type.
long RecipientTypeOf(const ItemData& item, const char* name)
{
    if (strcmp(item.kind.name, "mail") != 0)
        return -1;
    return strcmp(name, "To") == 0 ? olTo : strcmp(name, "CC") == 0 ? olCC : strcmp(name, "BCC") == 0 ? olBCC : -1;
}

std::wstring RecipientText(const ItemData& item, long type)
{
    std::wstring text;
    for (const RecipientData& recipient : item.recipients) {
        if (recipient.type == type)
            text += (text.empty() ? L"" : L"; ") + recipient.name;
    }
    return text;
}

// Outlook reads the names of a To, CC or BCC text apart at semicolons and
// makes them that type's recipients in place of the ones it had.
void SetRecipientText(ItemData& item, long type, const std::wstring& text)
{
    std::vector<RecipientData> kept;
    for (const RecipientData& recipient : item.recipients) {
        if (recipient.type != type)
            kept.push_back(recipient);
    }
    for (const std::wstring& name : NamesApart(text, L";")) {
        if (!name.empty())
            kept.push_back({name, false, type});
    }
    item.recipients.swap(kept);
}

const char* RecipientTypeName(long type)
{
    static const char* const kNames[] = {"Originator", "To", "CC", "BCC"};
    return type >= 0 && type <= 3 ? kNames[type] : "?";
}

StoreRecord RecordOf(const ItemData& item, const char* action)
{
    StoreRecord record{item.kind.name, action, {}};
    for (size_t i = 0; i < item.kind.count; ++i) {
        const PropertyDef& def = item.kind.properties[i];
        const StoredValue& value = item.values[i];
        std::string text;
        switch (def.kind) {
        case ValueKind::Text: text = Utf8(value.text); break;
        case ValueKind::Long: text = std::to_string(value.number); break;
        case ValueKind::Bool: text = value.number ? "true" : "false"; break;
        case ValueKind::Date: text = DateText(value); break;
        }
        if (strcmp(def.name, "AllDayEvent") == 0)
            text = AllDayAsRead(item) ? "true" : "false";
        if (RecipientTypeOf(item, def.name) >= 0)
            text = Utf8(RecipientText(item, RecipientTypeOf(item, def.name)));
        record.fields.emplace_back(def.name, text);
        if (strcmp(def.name, "Categories") == 0) {
            int n = 0;
            for (const std::string& name : CategoriesAsRead(value.text))
                record.fields.emplace_back("Category." + std::to_string(++n), name);
        }
    }
    int n = 0;
    for (const RecipientData& recipient : item.recipients)
        record.fields.emplace_back("Recipient." + std::to_string(++n),
                                   Utf8(recipient.name) + " (" + RecipientTypeName(recipient.type) + ", "
                                       + (recipient.resolved ? "resolved)" : "unresolved)"));
    n = 0;
    for (const AttachmentData& attachment : item.attachments)
        record.fields.emplace_back("Attachment." + std::to_string(++n),
                                   Utf8(attachment.displayName) + " <" + Utf8(attachment.source) + ">");
    return record;
}

HRESULT Append(const ItemData& item, const char* action)
{
    const std::wstring store = StandInSettings::StorePath();
    if (store.empty())
        return StandInError(E_FAIL, *item.kind.iid, L"No message store is open.");
    if (!AppendStoreRecord(store, RecordOf(item, action)))
        return StandInError(E_FAIL, *item.kind.iid, L"The message store could not be written.");
    return S_OK;
}

bool Fails(const ItemData& item, const char* member)
{
    return StandInSettings::CallFails((std::string(item.kind.interfaceName) + "." + member).c_str());
}

//--- items

template <class Iface, const IID* Iid>
class CItem : public QuiObjectRoot, public StandInDispatch<Iface, Iid>, public QuiSupportErrorInfoImpl<Iid> {
public:
    static const QuiInterfaceEntry kInterfaces[];

protected:
    explicit CItem(const ItemKindDef& kind) : m_item(std::make_shared<ItemData>(kind)) {}
    std::shared_ptr<ItemData> m_item;
};

template <class Iface, const IID* Iid>
const QuiInterfaceEntry CItem<Iface, Iid>::kInterfaces[] = {
    {Iid, QuiCastTo<CItem, Iface>},
    {&IID_IDispatch, QuiCastTo<CItem, Iface>},
    {&IID_ISupportErrorInfo, QuiCastTo<CItem, ISupportErrorInfo>},
    {},
};

#define OL_PROPERTY(Name, Type)                                                                              \
    STDMETHODIMP get_##Name(Type* value) override { return StandInItem::Get(*m_item, #Name, value); } \
    STDMETHODIMP put_##Name(Type value) override { return StandInItem::Put(*m_item, #Name, value); }
#define OL_COMMON_MEMBERS                                                                       \
    OL_PROPERTY(Subject, BSTR)                                                                  \
    OL_PROPERTY(Body, BSTR)                                                                     \
    OL_PROPERTY(Categories, BSTR)                                                               \
    OL_PROPERTY(Importance, LONG)                                                               \
    OL_PROPERTY(Sensitivity, LONG)                                                              \
    STDMETHODIMP get_Attachments(Attachments** out) override                                   \
    {                                                                                           \
        return StandInItem::GetAttachments(m_item, out);                                        \
    }                                                                                           \
    STDMETHODIMP Save() override { return StandInItem::Save(*m_item); }                       \
    STDMETHODIMP Delete() override { return StandInItem::Delete(*m_item); }

class CTaskItem : public CItem<_TaskItem, &IID__TaskItem> {
public:
    CTaskItem() : CItem(kTask) {}
    OL_COMMON_MEMBERS
    OL_PROPERTY(ContactNames, BSTR)
    // Outlook 97's name of the same field.
    STDMETHODIMP get_Contacts(BSTR* value) override { return StandInItem::Get(*m_item, "ContactNames", value); }
    STDMETHODIMP put_Contacts(BSTR value) override { return StandInItem::Put(*m_item, "ContactNames", value); }
    OL_PROPERTY(Complete, VARIANT_BOOL)
    OL_PROPERTY(StartDate, DATE)
    OL_PROPERTY(DueDate, DATE)
};

class CAppointmentItem : public CItem<_AppointmentItem, &IID__AppointmentItem> {
public:
    CAppointmentItem() : CItem(kAppointment) {}
    OL_COMMON_MEMBERS
    OL_PROPERTY(Start, DATE)
    OL_PROPERTY(End, DATE)
    OL_PROPERTY(AllDayEvent, VARIANT_BOOL)
    OL_PROPERTY(MeetingStatus, LONG)
};

class CJournalItem : public CItem<_JournalItem, &IID__JournalItem> {
public:
    CJournalItem() : CItem(kJournal) {}
    OL_COMMON_MEMBERS
    OL_PROPERTY(Start, DATE)
    OL_PROPERTY(End, DATE)
    STDMETHODIMP get_Recipients(Recipients** out) override { return StandInItem::GetRecipients(m_item, out); }
};

class CMailItem : public CItem<_MailItem, &IID__MailItem> {
public:
    CMailItem() : CItem(kMail) {}
    OL_COMMON_MEMBERS
    OL_PROPERTY(To, BSTR)
    OL_PROPERTY(CC, BSTR)
    OL_PROPERTY(BCC, BSTR)
    STDMETHODIMP get_Recipients(Recipients** out) override { return StandInItem::GetRecipients(m_item, out); }
    STDMETHODIMP Send() override { return StandInItem::Send(*m_item); }
};

class CNoteItem : public CItem<_NoteItem, &IID__NoteItem> {
public:
    CNoteItem() : CItem(kNote) {}
    OL_PROPERTY(Body, BSTR)
    OL_PROPERTY(Categories, BSTR)
    STDMETHODIMP Save() override { return StandInItem::Save(*m_item); }
    STDMETHODIMP Delete() override { return StandInItem::Delete(*m_item); }
};

}  // namespace

ItemData::ItemData(const ItemKindDef& def) : kind(def), values(def.count), session(StandInSettings::Session())
{
    for (size_t i = 0; i < def.count; ++i)
        values[i].number = def.properties[i].initial;
}

HRESULT StandInError(HRESULT hr, REFIID iid, const std::wstring& text)
{
    return QuiSetErrorInfo(hr, CLSID_Application, iid, text.c_str());
}

namespace StandInItem {

HRESULT Closed(const ItemData& item)
{
    return StandInClosed(item.session);
}

HRESULT Gone(const ItemData& item)
{
    return StandInError(E_FAIL, *item.kind.iid, L"The item has been moved or deleted.");
}

HRESULT Guard(const ItemData& item, const char* call)
{
    if (HRESULT gone = Closed(item))
        return gone;
    const StandInSettings::GuardAnswer answer = StandInSettings::TakeGuardAnswer();
    if (answer == StandInSettings::GuardAnswer::Off)
        return S_OK;
    const bool allowed = answer == StandInSettings::GuardAnswer::Allowed;
    const std::wstring store = StandInSettings::StorePath();
    if (!store.empty() && !AppendStoreRecord(store, {"guard", allowed ? "allowed" : "refused", {{"Call", call}}}))
        return StandInError(E_FAIL, *item.kind.iid, L"The message store could not be written.");
    return allowed ? S_OK : StandInError(E_ABORT, *item.kind.iid, L"The program was refused access to Outlook.");
}

// Reads a stored property through `read`, which answers the HRESULT.
template <class T, class Read>
HRESULT GetStored(ItemData& item, const char* name, ValueKind kind, T* out, Read read)
{
    StoredValue* value = Find(item, name, kind);
    if (!out)
        return E_POINTER;
    if (!value)
        return E_UNEXPECTED;
    if (HRESULT gone = Closed(item))
        return gone;
    return read(*value, out);
}

// Stores a property through `store`; an item sent or deleted takes nothing.
template <class Store>
HRESULT PutStored(ItemData& item, const char* name, ValueKind kind, Store store)
{
    StoredValue* value = Find(item, name, kind);
    if (!value)
        return E_UNEXPECTED;
    if (HRESULT gone = Closed(item))
        return gone;
    if (item.gone)
        return Gone(item);
    try {
        store(*value);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    value->set = true;
    return S_OK;
}

HRESULT Get(ItemData& item, const char* name, BSTR* out)
{
    const long type = RecipientTypeOf(item, name);
    return GetStored(item, name, ValueKind::Text, out, [&item, type](const StoredValue& value, BSTR* text) {
        const std::wstring read = type >= 0 ? RecipientText(item, type) : value.text;
        *text = SysAllocStringLen(read.data(), static_cast<UINT>(read.size()));
        return *text ? S_OK : E_OUTOFMEMORY;
    });
}

HRESULT Get(ItemData& item, const char* name, LONG* out)
{
    return GetStored(item, name, ValueKind::Long, out, [](const StoredValue& value, LONG* number) {
        *number = value.number;
        return S_OK;
    });
}

HRESULT Get(ItemData& item, const char* name, VARIANT_BOOL* out)
{
    return GetStored(item, name, ValueKind::Bool, out, [](const StoredValue& value, VARIANT_BOOL* flag) {
        *flag = value.number ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    });
}

// An unset date reads as the mail program's "none" date, 1 January 4501.
HRESULT Get(ItemData& item, const char* name, DATE* out)
{
    return GetStored(item, name, ValueKind::Date, out, [](const StoredValue& value, DATE* date) {
        *date = value.set ? value.date : 949998.0;
        return S_OK;
    });
}

HRESULT Put(ItemData& item, const char* name, BSTR text)
{
    const long type = RecipientTypeOf(item, name);
    return PutStored(item, name, ValueKind::Text, [&item, type, text](StoredValue& value) {
        value.text.assign(text ? text : L"", SysStringLen(text));
        if (type >= 0)
            SetRecipientText(item, type, value.text);
    });
}

HRESULT Put(ItemData& item, const char* name, LONG number)
{
    const size_t index = IndexOf(item, name, ValueKind::Long);
    if (index != kNoProperty && item.kind.properties[index].allowed && !item.kind.properties[index].allowed(number))
        return StandInError(E_INVALIDARG, *item.kind.iid,
                            L"Could not complete the operation. One or more parameter values are not valid.");
    return PutStored(item, name, ValueKind::Long, [number](StoredValue& value) { value.number = number; });
}

HRESULT Put(ItemData& item, const char* name, VARIANT_BOOL flag)
{
    return PutStored(item, name, ValueKind::Bool, [flag](StoredValue& value) { value.number = flag ? 1 : 0; });
}

HRESULT Put(ItemData& item, const char* name, DATE date)
{
    return PutStored(item, name, ValueKind::Date, [date](StoredValue& value) { value.date = date; });
}

HRESULT Save(ItemData& item)
{
    if (HRESULT gone = Closed(item))
        return gone;
    if (item.gone)
        return Gone(item);
    if (Fails(item, "Save"))
        return StandInError(E_FAIL, *item.kind.iid, L"The item could not be saved.");
    HRESULT hr = Append(item, "saved");
    if (SUCCEEDED(hr))
        item.saved = true;
    return hr;
}

// Sending resolves every recipient again; a sent message is gone from the
// caller's hands.
HRESULT Send(ItemData& item)
{
    if (HRESULT gone = Closed(item))
        return gone;
    if (item.gone)
        return Gone(item);
    if (Fails(item, "Send"))
        return StandInError(E_FAIL, *item.kind.iid, L"The message could not be sent.");
    if (HRESULT refused = Guard(item, "_MailItem.Send"))
        return refused;
    if (item.recipients.empty())
        return StandInError(E_FAIL, *item.kind.iid, L"The message has no recipient.");
    for (RecipientData& recipient : item.recipients) {
        recipient.resolved = StandInSettings::Resolves(recipient.name);
        if (!recipient.resolved)
            return StandInError(E_FAIL, *item.kind.iid, L"A recipient could not be resolved: " + recipient.name);
    }
    HRESULT hr = Append(item, "sent");
    if (SUCCEEDED(hr))
        item.gone = true;
    return hr;
}

// A saved item leaves the store; one never saved is simply dropped.
HRESULT Delete(ItemData& item)
{
    if (HRESULT gone = Closed(item))
        return gone;
    if (item.gone)
        return Gone(item);
    if (Fails(item, "Delete"))
        return StandInError(E_FAIL, *item.kind.iid, L"The item could not be deleted.");
    HRESULT hr = item.saved ? Append(item, "deleted") : S_OK;
    if (SUCCEEDED(hr))
        item.gone = true;
    return hr;
}

}  // namespace StandInItem

HRESULT CreateStandInItem(OlItemType type, IDispatch** out)
{
    void** ppv = reinterpret_cast<void**>(out);
    switch (type) {
    case olTaskItem: return QuiComObject<CTaskItem>::CreateInstance(IID_IDispatch, ppv);
    case olAppointmentItem: return QuiComObject<CAppointmentItem>::CreateInstance(IID_IDispatch, ppv);
    case olJournalItem: return QuiComObject<CJournalItem>::CreateInstance(IID_IDispatch, ppv);
    case olMailItem: return QuiComObject<CMailItem>::CreateInstance(IID_IDispatch, ppv);
    case olNoteItem: return QuiComObject<CNoteItem>::CreateInstance(IID_IDispatch, ppv);
    default: return E_INVALIDARG;
    }
}
