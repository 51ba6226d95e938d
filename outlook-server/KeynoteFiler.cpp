#include "KeynoteFiler.h"

#include "PloverRes.h"
#include "VariantArray.h"

const wchar_t* const kPloverRecordNames[] = {
    L"Body",        L"Priority",   L"Private",          L"Type",             L"StartDate",
    L"EndDate",     L"DueDate",    L"Completed",        L"TaskCategory",     L"JournalCategory",
    L"Contacts",    L"Pencil",     L"SubType",          L"Recipients",       L"CCs",
    L"BCCs",        L"Database",   L"Attachments",      L"AlarmAdvance",     L"AlarmAdvanceUnit",
    L"AlarmAdvanceDate", L"Note",  L"AboutBox",         L"Error",
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

//--- the kinds

UINT CKeynoteFiler::FileTask()
{
    Ref<_TaskItem> task;
    HRESULT hr = Create(olTaskItem, IID__TaskItem, task.Out());
    Value value;
    if (SUCCEEDED(hr) && ReadTyped(L"Body", VT_BSTR, &value))
        hr = task->put_Subject(V_BSTR(&value));
    if (SUCCEEDED(hr) && ReadTyped(L"Note", VT_BSTR, &value))
        hr = task->put_Body(V_BSTR(&value));
    if (SUCCEEDED(hr) && ReadTyped(L"Contacts", VT_BSTR, &value))
        hr = task->put_ContactNames(V_BSTR(&value));
    if (SUCCEEDED(hr)) {
        m_cache.Read(m_record, L"TaskCategory", &value);
        BSTR joined = nullptr;
        if (V_VT(&value) == VT_BSTR)
            hr = task->put_Categories(V_BSTR(&value));
        else if (QuiIsStringArray(value) && SUCCEEDED(hr = QuiJoinStringArray(value, L';', &joined)))
            hr = task->put_Categories(joined);
        SysFreeString(joined);
    }
    if (SUCCEEDED(hr) && ReadTyped(L"Priority", VT_I2, &value))
        hr = task->put_Importance(V_I2(&value));
    if (SUCCEEDED(hr) && ReadTyped(L"Completed", VT_I2, &value))
        hr = task->put_Complete(V_I2(&value) == 1 ? VARIANT_TRUE : VARIANT_FALSE);
    // 0.0 is what an empty date field gives: no date, not 30 December 1899.
    if (SUCCEEDED(hr) && ReadTyped(L"StartDate", VT_DATE, &value) && V_DATE(&value) != 0.0)
        hr = task->put_StartDate(V_DATE(&value));
    if (SUCCEEDED(hr) && ReadTyped(L"DueDate", VT_DATE, &value) && V_DATE(&value) != 0.0)
        hr = task->put_DueDate(V_DATE(&value));
    if (SUCCEEDED(hr) && ReadTyped(L"Private", VT_I2, &value))
        hr = task->put_Sensitivity(V_I2(&value));
    if (SUCCEEDED(hr))
        hr = AddAttachment(task.Get());
    if (SUCCEEDED(hr))
        hr = task->Save();
    return SUCCEEDED(hr) ? 0 : IDS_SAVE_FAILED;
}

UINT CKeynoteFiler::FileAppointment()
{
    Ref<_AppointmentItem> appointment;
    HRESULT hr = Create(olAppointmentItem, IID__AppointmentItem, appointment.Out());
    Value value;
    if (SUCCEEDED(hr) && ReadTyped(L"Body", VT_BSTR, &value))
        hr = appointment->put_Subject(V_BSTR(&value));
    if (SUCCEEDED(hr) && ReadTyped(L"Note", VT_BSTR, &value))
        hr = appointment->put_Body(V_BSTR(&value));
    if (SUCCEEDED(hr) && ReadTyped(L"TaskCategory", VT_BSTR, &value))
        hr = appointment->put_Categories(V_BSTR(&value));
    if (SUCCEEDED(hr) && ReadTyped(L"StartDate", VT_DATE, &value))
        hr = appointment->put_Start(V_DATE(&value));
    if (SUCCEEDED(hr) && ReadTyped(L"EndDate", VT_DATE, &value))
        hr = appointment->put_End(V_DATE(&value));
    if (SUCCEEDED(hr) && ReadTyped(L"Private", VT_I2, &value))
        hr = appointment->put_Sensitivity(V_I2(&value));
    const LONG subType = ReadNumber(L"SubType");
    if (SUCCEEDED(hr))
        hr = appointment->put_AllDayEvent(subType == kSubTypeAllDay ? VARIANT_TRUE : VARIANT_FALSE);
    if (SUCCEEDED(hr) && subType == kSubTypeMeeting)
        hr = appointment->put_MeetingStatus(1);
    if (SUCCEEDED(hr))
        hr = AddAttachment(appointment.Get());
    if (SUCCEEDED(hr) && ReadTyped(L"Priority", VT_I2, &value))
        hr = appointment->put_Importance(V_I2(&value));
    if (SUCCEEDED(hr))
        hr = appointment->Save();
    return SUCCEEDED(hr) ? 0 : IDS_SAVE_FAILED;
}

UINT CKeynoteFiler::FileJournal()
{
    Ref<_JournalItem> journal;
    HRESULT hr = Create(olJournalItem, IID__JournalItem, journal.Out());
    Value text;
    if (SUCCEEDED(hr) && SUCCEEDED(hr = ReadText(L"TaskCategory", &text)))
        hr = journal->put_Categories(V_BSTR(&text));
    if (SUCCEEDED(hr) && SUCCEEDED(hr = ReadText(L"Note", &text)))
        hr = journal->put_Body(V_BSTR(&text));
    if (SUCCEEDED(hr) && SUCCEEDED(hr = ReadText(L"Body", &text)))
        hr = journal->put_Subject(V_BSTR(&text));
    if (SUCCEEDED(hr))
        hr = journal->put_Importance(ReadNumber(L"Priority"));
    if (SUCCEEDED(hr))
        hr = journal->put_Sensitivity(ReadNumber(L"Private"));
    if (SUCCEEDED(hr))
        hr = AddAttachment(journal.Get());
    // An entry about no one gets no nameless contact.
    if (SUCCEEDED(hr) && SUCCEEDED(hr = ReadText(L"Recipients", &text)) && SysStringLen(V_BSTR(&text)) > 0)
        hr = AddRecipient(journal.Get(), V_BSTR(&text));
    if (SUCCEEDED(hr))
        hr = journal->put_Start(ReadDate(L"StartDate"));
    if (SUCCEEDED(hr))
        hr = journal->put_End(ReadDate(L"EndDate"));
    if (SUCCEEDED(hr))
        hr = journal->Save();
    return SUCCEEDED(hr) ? 0 : IDS_SAVE_FAILED;
}

UINT CKeynoteFiler::FileMail()
{
    Ref<_MailItem> mail;
    HRESULT hr = Create(olMailItem, IID__MailItem, mail.Out());
    Value text;
    if (SUCCEEDED(hr) && SUCCEEDED(hr = ReadText(L"Note", &text)))
        hr = mail->put_Body(V_BSTR(&text));
    if (SUCCEEDED(hr) && SUCCEEDED(hr = ReadText(L"Body", &text)))
        hr = mail->put_Subject(V_BSTR(&text));
    if (SUCCEEDED(hr) && SUCCEEDED(hr = ReadText(L"Recipients", &text)) && SUCCEEDED(hr = AddRecipient(mail.Get(), V_BSTR(&text))))
        hr = mail->put_To(V_BSTR(&text));
    if (SUCCEEDED(hr) && SUCCEEDED(hr = ReadText(L"TaskCategory", &text)))
        hr = mail->put_Categories(V_BSTR(&text));
    if (SUCCEEDED(hr) && SUCCEEDED(hr = ReadText(L"CCs", &text)))
        hr = mail->put_CC(V_BSTR(&text));
    if (SUCCEEDED(hr) && SUCCEEDED(hr = ReadText(L"BCCs", &text)))
        hr = mail->put_BCC(V_BSTR(&text));
    if (SUCCEEDED(hr))
        hr = AddAttachment(mail.Get());
    if (SUCCEEDED(hr))
        hr = mail->put_Importance(ReadNumber(L"Priority"));
    if (SUCCEEDED(hr))
        hr = mail->put_Sensitivity(ReadNumber(L"Private"));
    VARIANT_BOOL resolved = VARIANT_FALSE;
    if (SUCCEEDED(hr)) {
        Ref<Recipients> recipients;
        hr = mail->get_Recipients(recipients.Out());
        if (SUCCEEDED(hr))
            hr = recipients.Get() ? recipients->ResolveAll(&resolved) : E_POINTER;
    }
    if (FAILED(hr))
        return IDS_SAVE_FAILED;
    if (!resolved)
        return IDS_UNRESOLVED_ADDRESS;
    hr = mail->Save();
    if (SUCCEEDED(hr))
        hr = mail->Send();
    return SUCCEEDED(hr) ? 0 : IDS_SAVE_FAILED;
}

UINT CKeynoteFiler::FileNote()
{
    Ref<_NoteItem> note;
    HRESULT hr = Create(olNoteItem, IID__NoteItem, note.Out());
    Value text;
    if (SUCCEEDED(hr) && SUCCEEDED(hr = ReadText(L"Note", &text)))
        hr = note->put_Body(V_BSTR(&text));
    if (SUCCEEDED(hr) && SUCCEEDED(hr = ReadText(L"JournalCategory", &text)))
        hr = note->put_Categories(V_BSTR(&text));
    if (SUCCEEDED(hr))
        hr = note->Save();
    return SUCCEEDED(hr) ? 0 : IDS_SAVE_FAILED;
}
