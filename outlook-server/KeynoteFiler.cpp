#include "KeynoteFiler.h"

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

class Value : public VARIANT {
public:
    Value() { VariantInit(this); }
    ~Value() { VariantClear(this); }
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;
};

template <class T>
class Ref {
public:
    Ref() = default;
    ~Ref()
    {
        if (m_p)
            m_p->Release();
    }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    T** Out() { return &m_p; }
    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }

private:
    T* m_p = nullptr;
};

VARIANT Missing()
{
    VARIANT missing;
    V_VT(&missing) = VT_ERROR;
    V_ERROR(&missing) = DISP_E_PARAMNOTFOUND;
    return missing;
}

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

}  // namespace

CKeynoteFiler::CKeynoteFiler(_Application* application, IDispatch* record, const GodwitDispIdCache& cache)
    : m_application(application), m_record(record), m_cache(cache)
{
}

UINT CKeynoteFiler::File()
{
    const LONG type = ReadNumber(L"Type") & 0xff;
    struct Step {
        LONG bit;
        UINT (CKeynoteFiler::*file)();
    } steps[] = {
        {kTypeTask, &CKeynoteFiler::FileTask},       {kTypeAppointment, &CKeynoteFiler::FileAppointment},
        {kTypeJournal, &CKeynoteFiler::FileJournal}, {kTypeMail, &CKeynoteFiler::FileMail},
        {kTypeNote, &CKeynoteFiler::FileNote},
    };
    for (const Step& step : steps) {
        if (!(type & step.bit))
            continue;
        if (UINT failed = (this->*step.file)())
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

LONG CKeynoteFiler::ReadNumber(const wchar_t* name) const
{
    Value value;
    m_cache.Read(m_record, name, &value);
    return SUCCEEDED(VariantChangeType(&value, &value, 0, VT_I4)) ? V_I4(&value) : 0;
}

DATE CKeynoteFiler::ReadDate(const wchar_t* name) const
{
    Value value;
    m_cache.Read(m_record, name, &value);
    return SUCCEEDED(VariantChangeType(&value, &value, 0, VT_DATE)) ? V_DATE(&value) : 0.0;
}

//--- Outlook calls shared by the kinds

template <class Item>
HRESULT CKeynoteFiler::Create(OlItemType type, REFIID iid, Item** item) const
{
    Ref<IDispatch> created;
    HRESULT hr = m_application->CreateItem(type, created.Out());
    if (FAILED(hr))
        return hr;
    return created.Get() ? created->QueryInterface(iid, reinterpret_cast<void**>(item)) : E_POINTER;
}

template <class Item>
HRESULT CKeynoteFiler::AddAttachment(Item* item) const
{
    Value source;
    m_cache.Read(m_record, L"Attachments", &source);
    if (!CarriesAttachment(source))
        return S_OK;
    Ref<Attachments> attachments;
    HRESULT hr = item->get_Attachments(attachments.Out());
    if (FAILED(hr) || !attachments.Get())
        return FAILED(hr) ? hr : E_POINTER;
    Ref<Attachment> added;
    return attachments->Add(source, Missing(), Missing(), Missing(), added.Out());
}

template <class Item>
HRESULT CKeynoteFiler::AddRecipient(Item* item, BSTR name) const
{
    Ref<Recipients> recipients;
    HRESULT hr = item->get_Recipients(recipients.Out());
    if (FAILED(hr) || !recipients.Get())
        return FAILED(hr) ? hr : E_POINTER;
    Ref<Recipient> added;
    return recipients->Add(name, added.Out());
}

//--- copying one property: each step does nothing once a step before it failed

template <class Item>
HRESULT CKeynoteFiler::CopyIfText(HRESULT hr, Item* item, HRESULT (STDMETHODCALLTYPE Item::*put)(BSTR),
                                  const wchar_t* name) const
{
    Value value;
    return SUCCEEDED(hr) && ReadTyped(name, VT_BSTR, &value) ? (item->*put)(V_BSTR(&value)) : hr;
}

template <class Item>
HRESULT CKeynoteFiler::CopyIfShort(HRESULT hr, Item* item, HRESULT (STDMETHODCALLTYPE Item::*put)(LONG),
                                   const wchar_t* name) const
{
    Value value;
    return SUCCEEDED(hr) && ReadTyped(name, VT_I2, &value) ? (item->*put)(V_I2(&value)) : hr;
}

template <class Item>
HRESULT CKeynoteFiler::CopyIfDate(HRESULT hr, Item* item, HRESULT (STDMETHODCALLTYPE Item::*put)(DATE),
                                  const wchar_t* name, bool zeroIsDate) const
{
    Value value;
    if (FAILED(hr) || !ReadTyped(name, VT_DATE, &value) || (!zeroIsDate && V_DATE(&value) == 0.0))
        return hr;
    return (item->*put)(V_DATE(&value));
}

template <class Item>
HRESULT CKeynoteFiler::CopyText(HRESULT hr, Item* item, HRESULT (STDMETHODCALLTYPE Item::*put)(BSTR),
                                const wchar_t* name) const
{
    Value text;
    if (SUCCEEDED(hr))
        hr = ReadText(name, &text);
    return SUCCEEDED(hr) ? (item->*put)(V_BSTR(&text)) : hr;
}

template <class Item>
HRESULT CKeynoteFiler::CopyNumber(HRESULT hr, Item* item, HRESULT (STDMETHODCALLTYPE Item::*put)(LONG),
                                  const wchar_t* name) const
{
    return SUCCEEDED(hr) ? (item->*put)(ReadNumber(name)) : hr;
}

//--- the kinds

template <class Item>
UINT CKeynoteFiler::FileKind(OlItemType type, REFIID iid, HRESULT (CKeynoteFiler::*fill)(Item*) const,
                             UINT (CKeynoteFiler::*finish)(Item*) const) const
{
    Ref<Item> item;
    HRESULT hr = Create(type, iid, item.Out());
    if (SUCCEEDED(hr))
        hr = (this->*fill)(item.Get());
    return SUCCEEDED(hr) ? (this->*finish)(item.Get()) : IDS_SAVE_FAILED;
}

template <class Item>
UINT CKeynoteFiler::Save(Item* item) const
{
    return SUCCEEDED(item->Save()) ? 0 : IDS_SAVE_FAILED;
}

UINT CKeynoteFiler::FileTask()
{
    return FileKind(olTaskItem, IID__TaskItem, &CKeynoteFiler::FillTask, &CKeynoteFiler::Save<_TaskItem>);
}

UINT CKeynoteFiler::FileAppointment()
{
    return FileKind(olAppointmentItem, IID__AppointmentItem, &CKeynoteFiler::FillAppointment,
                    &CKeynoteFiler::Save<_AppointmentItem>);
}

UINT CKeynoteFiler::FileJournal()
{
    return FileKind(olJournalItem, IID__JournalItem, &CKeynoteFiler::FillJournal,
                    &CKeynoteFiler::Save<_JournalItem>);
}

UINT CKeynoteFiler::FileMail()
{
    return FileKind(olMailItem, IID__MailItem, &CKeynoteFiler::FillMail, &CKeynoteFiler::SendMail);
}

UINT CKeynoteFiler::FileNote()
{
    return FileKind(olNoteItem, IID__NoteItem, &CKeynoteFiler::FillNote, &CKeynoteFiler::Save<_NoteItem>);
}

HRESULT CKeynoteFiler::FillTask(_TaskItem* task) const
{
    HRESULT hr = CopyIfText(S_OK, task, &_TaskItem::put_Subject, L"Body");
    hr = CopyIfText(hr, task, &_TaskItem::put_Body, L"Note");
    hr = CopyIfText(hr, task, &_TaskItem::put_ContactNames, L"Contacts");
    if (SUCCEEDED(hr)) {
        Value categories;
        m_cache.Read(m_record, L"TaskCategory", &categories);
        BSTR joined = nullptr;
        if (V_VT(&categories) == VT_BSTR)
            hr = task->put_Categories(V_BSTR(&categories));
        else if (QuiIsStringArray(categories) && SUCCEEDED(hr = QuiJoinStringArray(categories, L';', &joined)))
            hr = task->put_Categories(joined);
        SysFreeString(joined);
    }
    hr = CopyIfShort(hr, task, &_TaskItem::put_Importance, L"Priority");
    Value completed;
    if (SUCCEEDED(hr) && ReadTyped(L"Completed", VT_I2, &completed))
        hr = task->put_Complete(V_I2(&completed) == 1 ? VARIANT_TRUE : VARIANT_FALSE);
    // 0.0 is what an empty date field gives: no date, not 30 December 1899.
    hr = CopyIfDate(hr, task, &_TaskItem::put_StartDate, L"StartDate", false);
    hr = CopyIfDate(hr, task, &_TaskItem::put_DueDate, L"DueDate", false);
    hr = CopyIfShort(hr, task, &_TaskItem::put_Sensitivity, L"Private");
    return SUCCEEDED(hr) ? AddAttachment(task) : hr;
}

HRESULT CKeynoteFiler::FillAppointment(_AppointmentItem* appointment) const
{
    HRESULT hr = CopyIfText(S_OK, appointment, &_AppointmentItem::put_Subject, L"Body");
    hr = CopyIfText(hr, appointment, &_AppointmentItem::put_Body, L"Note");
    hr = CopyIfText(hr, appointment, &_AppointmentItem::put_Categories, L"TaskCategory");
    hr = CopyIfDate(hr, appointment, &_AppointmentItem::put_Start, L"StartDate", true);
    hr = CopyIfDate(hr, appointment, &_AppointmentItem::put_End, L"EndDate", true);
    hr = CopyIfShort(hr, appointment, &_AppointmentItem::put_Sensitivity, L"Private");
    const LONG subType = ReadNumber(L"SubType");
    if (SUCCEEDED(hr))
        hr = appointment->put_AllDayEvent(subType == kSubTypeAllDay ? VARIANT_TRUE : VARIANT_FALSE);
    if (SUCCEEDED(hr) && subType == kSubTypeMeeting)
        hr = appointment->put_MeetingStatus(1);
    if (SUCCEEDED(hr))
        hr = AddAttachment(appointment);
    return CopyIfShort(hr, appointment, &_AppointmentItem::put_Importance, L"Priority");
}

HRESULT CKeynoteFiler::FillJournal(_JournalItem* journal) const
{
    HRESULT hr = CopyText(S_OK, journal, &_JournalItem::put_Categories, L"TaskCategory");
    hr = CopyText(hr, journal, &_JournalItem::put_Body, L"Note");
    hr = CopyText(hr, journal, &_JournalItem::put_Subject, L"Body");
    hr = CopyNumber(hr, journal, &_JournalItem::put_Importance, L"Priority");
    hr = CopyNumber(hr, journal, &_JournalItem::put_Sensitivity, L"Private");
    if (SUCCEEDED(hr))
        hr = AddAttachment(journal);
    // An entry about no one gets no nameless contact.
    Value contact;
    if (SUCCEEDED(hr) && SUCCEEDED(hr = ReadText(L"Recipients", &contact)) && SysStringLen(V_BSTR(&contact)) > 0)
        hr = AddRecipient(journal, V_BSTR(&contact));
    if (SUCCEEDED(hr))
        hr = journal->put_Start(ReadDate(L"StartDate"));
    return SUCCEEDED(hr) ? journal->put_End(ReadDate(L"EndDate")) : hr;
}

HRESULT CKeynoteFiler::FillMail(_MailItem* mail) const
{
    HRESULT hr = CopyText(S_OK, mail, &_MailItem::put_Body, L"Note");
    hr = CopyText(hr, mail, &_MailItem::put_Subject, L"Body");
    Value to;
    if (SUCCEEDED(hr) && SUCCEEDED(hr = ReadText(L"Recipients", &to)) && SUCCEEDED(hr = AddRecipient(mail, V_BSTR(&to))))
        hr = mail->put_To(V_BSTR(&to));
    hr = CopyText(hr, mail, &_MailItem::put_Categories, L"TaskCategory");
    hr = CopyText(hr, mail, &_MailItem::put_CC, L"CCs");
    hr = CopyText(hr, mail, &_MailItem::put_BCC, L"BCCs");
    if (SUCCEEDED(hr))
        hr = AddAttachment(mail);
    hr = CopyNumber(hr, mail, &_MailItem::put_Importance, L"Priority");
    return CopyNumber(hr, mail, &_MailItem::put_Sensitivity, L"Private");
}

// A message whose addresses do not all resolve is neither saved nor sent.
UINT CKeynoteFiler::SendMail(_MailItem* mail) const
{
    Ref<Recipients> recipients;
    VARIANT_BOOL resolved = VARIANT_FALSE;
    HRESULT hr = mail->get_Recipients(recipients.Out());
    if (SUCCEEDED(hr))
        hr = recipients.Get() ? recipients->ResolveAll(&resolved) : E_POINTER;
    if (FAILED(hr))
        return IDS_SAVE_FAILED;
    if (!resolved)
        return IDS_UNRESOLVED_ADDRESS;
    hr = mail->Save();
    if (SUCCEEDED(hr))
        hr = mail->Send();
    return SUCCEEDED(hr) ? 0 : IDS_SAVE_FAILED;
}

HRESULT CKeynoteFiler::FillNote(_NoteItem* note) const
{
    HRESULT hr = CopyText(S_OK, note, &_NoteItem::put_Body, L"Note");
    return CopyText(hr, note, &_NoteItem::put_Categories, L"JournalCategory");
}
