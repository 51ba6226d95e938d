#include "GodwitWrapper.h"

#include "Datastore.h"
#include "GodwitDispIds.h"

namespace {

template <class T>
T Get(const COleDispatchDriver& driver, DISPID id, VARTYPE type)
{
    T value{};
    driver.GetProperty(id, type, &value);
    return value;
}

} // namespace

CGodwitWrapper::CGodwitWrapper()
{
    Create();
}

CGodwitWrapper::~CGodwitWrapper()
{
    ReleaseDispatch();
}

void CGodwitWrapper::Create()
{
    if (m_lpDispatch)
        return;
    COleException* error = new COleException;
    if (!CreateDispatch(ITEM_RECORD_PROGID, error)) {
        m_lpDispatch = nullptr;
        throw error;
    }
    error->Delete();
}

VARIANT CGodwitWrapper::GetVariant(DISPID id)
{
    VARIANT value;
    VariantInit(&value);
    GetProperty(id, VT_VARIANT, &value);
    return value;
}

long CGodwitWrapper::GetAlarmAdvance() { return Get<long>(*this, DISPID_GODWIT_ALARMADVANCE, VT_I4); }
void CGodwitWrapper::SetAlarmAdvance(long value) { SetProperty(DISPID_GODWIT_ALARMADVANCE, VT_I4, value); }
long CGodwitWrapper::GetAlarmAdvanceUnit() { return Get<long>(*this, DISPID_GODWIT_ALARMADVANCEUNIT, VT_I4); }
void CGodwitWrapper::SetBody(LPCTSTR text) { SetProperty(DISPID_GODWIT_BODY, VT_BSTR, text); }
short CGodwitWrapper::GetCompleted() { return Get<short>(*this, DISPID_GODWIT_COMPLETED, VT_I2); }
DATE CGodwitWrapper::GetDueDate() { return Get<DATE>(*this, DISPID_GODWIT_DUEDATE, VT_DATE); }
void CGodwitWrapper::SetDueDate(DATE value) { SetProperty(DISPID_GODWIT_DUEDATE, VT_DATE, value); }
DATE CGodwitWrapper::GetStartDate() { return Get<DATE>(*this, DISPID_GODWIT_STARTDATE, VT_DATE); }
void CGodwitWrapper::SetStartDate(DATE value) { SetProperty(DISPID_GODWIT_STARTDATE, VT_DATE, value); }
DATE CGodwitWrapper::GetEndDate() { return Get<DATE>(*this, DISPID_GODWIT_ENDDATE, VT_DATE); }
void CGodwitWrapper::SetEndDate(DATE value) { SetProperty(DISPID_GODWIT_ENDDATE, VT_DATE, value); }
VARIANT CGodwitWrapper::GetJournalCategory() { return GetVariant(DISPID_GODWIT_JOURNALCATEGORY); }
void CGodwitWrapper::SetJournalCategory(const VARIANT& value)
{
    SetProperty(DISPID_GODWIT_JOURNALCATEGORY, VT_VARIANT, &value);
}
short CGodwitWrapper::GetPriority() { return Get<short>(*this, DISPID_GODWIT_PRIORITY, VT_I2); }
// A short travels as an int through the argument list.
void CGodwitWrapper::SetPriority(short value) { SetProperty(DISPID_GODWIT_PRIORITY, VT_I2, static_cast<int>(value)); }
VARIANT CGodwitWrapper::GetTaskCategory() { return GetVariant(DISPID_GODWIT_TASKCATEGORY); }
void CGodwitWrapper::SetTaskCategory(const VARIANT& value)
{
    SetProperty(DISPID_GODWIT_TASKCATEGORY, VT_VARIANT, &value);
}
VARIANT CGodwitWrapper::GetContacts() { return GetVariant(DISPID_GODWIT_CONTACTS); }
VARIANT CGodwitWrapper::GetCCs() { return GetVariant(DISPID_GODWIT_CCS); }
short CGodwitWrapper::GetPrivate() { return Get<short>(*this, DISPID_GODWIT_PRIVATE, VT_I2); }
short CGodwitWrapper::GetPencil() { return Get<short>(*this, DISPID_GODWIT_PENCIL, VT_I2); }
long CGodwitWrapper::GetType() { return Get<long>(*this, DISPID_GODWIT_TYPE, VT_I4); }
VARIANT CGodwitWrapper::GetBCCs() { return GetVariant(DISPID_GODWIT_BCCS); }
VARIANT CGodwitWrapper::GetRecipients() { return GetVariant(DISPID_GODWIT_RECIPIENTS); }
void CGodwitWrapper::SetRecipients(const VARIANT& value)
{
    SetProperty(DISPID_GODWIT_RECIPIENTS, VT_VARIANT, &value);
}
VARIANT CGodwitWrapper::GetDatabase() { return GetVariant(DISPID_GODWIT_DATABASE); }
VARIANT CGodwitWrapper::GetAttachments() { return GetVariant(DISPID_GODWIT_ATTACHMENTS); }
VARIANT CGodwitWrapper::GetAlarmAdvanceDate() { return GetVariant(DISPID_GODWIT_ALARMADVANCEDATE); }
VARIANT CGodwitWrapper::GetError() { return GetVariant(DISPID_GODWIT_ERROR); }
long CGodwitWrapper::GetSubType() { return Get<long>(*this, DISPID_GODWIT_SUBTYPE, VT_I4); }

void CGodwitWrapper::AddSubTypeBit(long bit)
{
    static const BYTE params[] = VTS_I4;
    InvokeHelper(DISPID_GODWIT_ADDSUBTYPEBIT, DISPATCH_METHOD, VT_EMPTY, nullptr, params, bit);
}

void CGodwitWrapper::AddTypeBit(long bit)
{
    static const BYTE params[] = VTS_I4;
    InvokeHelper(DISPID_GODWIT_ADDTYPEBIT, DISPATCH_METHOD, VT_EMPTY, nullptr, params, bit);
}
