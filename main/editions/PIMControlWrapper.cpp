#include "PIMControlWrapper.h"

#include "FinchDispIds.h"
#include "HeronDispIds.h"
#include "PloverDispIds.h"

const char IHeronWrapper::PROGID[] = HERON_PROGID;
const char IPalmAccessWrapper::PROGID[] = "Finch.FinchCtrl.1";
const char IPloverWrapper::PROGID[] = PLOVER_PROGID;

namespace {

// The error information a server left on this thread, as the exception a
// failing member throws; null when it left none.
COleDispatchException* TakeServerError()
{
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || !info)
        return nullptr;
    EXCEPINFO excep = {};
    info->GetDescription(&excep.bstrDescription);
    info->GetSource(&excep.bstrSource);
    info->GetHelpContext(&excep.dwHelpContext);
    info->Release();
    excep.scode = S_FALSE;
    COleDispatchException* e = new COleDispatchException(excep);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrSource);
    return e;
}

} // namespace

//--- CPIMControlWrapper

CPIMControlWrapper::~CPIMControlWrapper()
{
    ReleaseDispatch();
}

BOOL CPIMControlWrapper::CreateDispatch()
{
    return FALSE;
}

BOOL CPIMControlWrapper::CreateByProgId(const char* progId)
{
    if (m_lpDispatch)
        return TRUE;
    COleException* error = new COleException;
    if (!COleDispatchDriver::CreateDispatch(progId, error)) {
        m_lpDispatch = nullptr;
        throw error;
    }
    error->Delete();
    return m_lpDispatch != nullptr;
}

void CPIMControlWrapper::Call(DISPID id, WORD flags, VARTYPE vtRet, void* pvRet, const BYTE* params, ...) const
{
    // A text left over from an earlier call must not read as this one's failure.
    SetErrorInfo(0, nullptr);
    va_list args;
    va_start(args, params);
    try {
        InvokeHelperV(id, flags, vtRet, pvRet, params, args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
    if (COleDispatchException* e = TakeServerError()) {
        if (vtRet == VT_VARIANT && pvRet)
            VariantClear(static_cast<VARIANT*>(pvRet));
        throw e;
    }
}

VARIANT CPIMControlWrapper::GetVariant(DISPID id) const
{
    VARIANT value;
    VariantInit(&value);
    Call(id, DISPATCH_PROPERTYGET, VT_VARIANT, &value, nullptr);
    return value;
}

long CPIMControlWrapper::CallLong(DISPID id) const
{
    long result = 0;
    Call(id, DISPATCH_METHOD, VT_I4, &result, nullptr);
    return result;
}

long CPIMControlWrapper::CallLong(DISPID id, long argument) const
{
    static const BYTE params[] = VTS_I4;
    long result = 0;
    Call(id, DISPATCH_METHOD, VT_I4, &result, params, argument);
    return result;
}

long CPIMControlWrapper::CallLong(DISPID id, IDispatch* argument) const
{
    static const BYTE params[] = VTS_DISPATCH;
    long result = 0;
    Call(id, DISPATCH_METHOD, VT_I4, &result, params, argument);
    return result;
}

long CPIMControlWrapper::CallLong(DISPID id, const char* argument) const
{
    static const BYTE params[] = VTS_BSTR;
    long result = 0;
    Call(id, DISPATCH_METHOD, VT_I4, &result, params, argument);
    return result;
}

//--- IHeronWrapper

BOOL IHeronWrapper::CreateDispatch() { return CreateByProgId(PROGID); }
VARIANT IHeronWrapper::GetContacts() { return GetVariant(DISPID_HERON_CONTACTS); }
VARIANT IHeronWrapper::GetTodoCategories() { return GetVariant(DISPID_HERON_TODOCATEGORIES); }
VARIANT IHeronWrapper::GetJournalCategories() { return GetVariant(DISPID_HERON_JOURNALCATEGORIES); }
VARIANT IHeronWrapper::GetCalendarPrefs() { return GetVariant(DISPID_HERON_CALENDARPREFS); }
VARIANT IHeronWrapper::GetUserInfo() { return GetVariant(DISPID_HERON_USERINFO); }
long IHeronWrapper::OpenApplication() { return CallLong(DISPID_HERON_OPENNOTES); }

long IHeronWrapper::Connect(long reserved)
{
    return CallLong(DISPID_HERON_CONNECT, reserved);
}

long IHeronWrapper::FileKeynote(IDispatch* record)
{
    return CallLong(DISPID_HERON_FILEKEYNOTE, record);
}

long IHeronWrapper::CreateJournalCategory(const char* name)
{
    return CallLong(DISPID_HERON_CREATEJOURNALFOLDER, name);
}

long IHeronWrapper::CreateContact(const char* line)
{
    return CallLong(DISPID_HERON_CREATECONTACT, line);
}

long IHeronWrapper::GetModifiedContacts(VARIANT* contacts)
{
    Call(DISPID_HERON_GETMODIFIEDCONTACTS, DISPATCH_METHOD, VT_VARIANT, contacts, nullptr);
    return 0;
}

long IHeronWrapper::GetModifiedJournalCategories(VARIANT* categories)
{
    Call(DISPID_HERON_GETMODIFIEDJOURNALCATEGORIES, DISPATCH_METHOD, VT_VARIANT, categories, nullptr);
    return 0;
}

long IHeronWrapper::GetModifiedDatabaseFolders(const char* database, VARIANT* folders)
{
    static const BYTE params[] = VTS_BSTR;
    Call(DISPID_HERON_GETMODIFIEDDATABASEFOLDERS, DISPATCH_METHOD, VT_VARIANT, folders, params, database);
    return 0;
}

long IHeronWrapper::GetModifiedTodoCategories(VARIANT* categories)
{
    Call(DISPID_HERON_GETMODIFIEDTODOCATEGORIES, DISPATCH_METHOD, VT_VARIANT, categories, nullptr);
    return 0;
}

long IHeronWrapper::GetNotesVersion()
{
    long version = 0;
    Call(DISPID_HERON_NOTESVERSION, DISPATCH_PROPERTYGET, VT_I4, &version, nullptr);
    return version;
}

//--- IPalmAccessWrapper

BOOL IPalmAccessWrapper::CreateDispatch() { return CreateByProgId(PROGID); }
VARIANT IPalmAccessWrapper::GetContacts() { return GetVariant(DISPID_FINCH_CONTACTS); }
VARIANT IPalmAccessWrapper::GetTodoCategories() { return GetVariant(DISPID_FINCH_TODOCATEGORIES); }
VARIANT IPalmAccessWrapper::GetJournalCategories() { return GetVariant(DISPID_FINCH_MEMOCATEGORIES); }
VARIANT IPalmAccessWrapper::GetUsers() { return GetVariant(DISPID_FINCH_USERS); }
VARIANT IPalmAccessWrapper::GetCurrentUser() { return GetVariant(DISPID_FINCH_CURRENTUSER); }
long IPalmAccessWrapper::OpenApplication() { return CallLong(DISPID_FINCH_OPENDESKTOPAPP); }
long IPalmAccessWrapper::CreateJournalCategory(const char*) { return 0; }

long IPalmAccessWrapper::Connect(long reserved)
{
    return CallLong(DISPID_FINCH_CONNECT, reserved);
}

long IPalmAccessWrapper::FileKeynote(IDispatch* record)
{
    return CallLong(DISPID_FINCH_FILEKEYNOTE, record);
}

long IPalmAccessWrapper::CreateContact(const char*)
{
    static const BYTE params[] = VTS_PBSTR;
    BSTR name = SysAllocString(L"");
    long result = 0;
    try {
        Call(DISPID_FINCH_NEWCONTACT, DISPATCH_METHOD, VT_I4, &result, params, &name);
    } catch (...) {
        SysFreeString(name);
        throw;
    }
    SysFreeString(name);
    return result;
}

void IPalmAccessWrapper::SetCurrentUser(const char* name)
{
    static const BYTE params[] = VTS_BSTR;
    Call(DISPID_FINCH_CURRENTUSER, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, params, name);
}

//--- IPloverWrapper

BOOL IPloverWrapper::CreateDispatch() { return CreateByProgId(PROGID); }
VARIANT IPloverWrapper::GetContacts() { return GetVariant(DISPID_PLOVER_CONTACTS); }
VARIANT IPloverWrapper::GetTodoCategories() { return GetVariant(DISPID_PLOVER_TODOCATEGORIES); }
VARIANT IPloverWrapper::GetJournalCategories() { return GetTodoCategories(); }
VARIANT IPloverWrapper::GetFolders() { return GetVariant(DISPID_PLOVER_FOLDERS); }
long IPloverWrapper::OpenApplication() { return CallLong(DISPID_PLOVER_OPENOUTLOOK); }

long IPloverWrapper::Connect(long reserved)
{
    return CallLong(DISPID_PLOVER_CONNECT, reserved);
}

long IPloverWrapper::FileKeynote(IDispatch* record)
{
    static const BYTE params[] = VTS_DISPATCH;
    Call(DISPID_PLOVER_FILEKEYNOTE, DISPATCH_METHOD, VT_EMPTY, nullptr, params, record);
    return 0;
}

long IPloverWrapper::CreateJournalCategory(const char* name)
{
    return CallLong(DISPID_PLOVER_CREATECATEGORY, name);
}

long IPloverWrapper::CreateContact(const char* line)
{
    return CallLong(DISPID_PLOVER_CREATECONTACT, line);
}
