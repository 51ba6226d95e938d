#include "OutlookObject.h"

namespace {

// Every interface of Outlook's object model ends in the same eight bytes.
#define OUTLOOK_IID(data1) {data1, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}}

// In the order of OlInterface.
const IID kOutlookIids[] = {
    OUTLOOK_IID(0x00063001),  // _Application
    OUTLOOK_IID(0x00063002),  // _NameSpace
    OUTLOOK_IID(0x00063035),  // _TaskItem
    OUTLOOK_IID(0x00063033),  // _AppointmentItem
    OUTLOOK_IID(0x00063022),  // _JournalItem
    OUTLOOK_IID(0x00063034),  // _MailItem
    OUTLOOK_IID(0x00063025),  // _NoteItem
    OUTLOOK_IID(0x0006303B),  // Recipients
    OUTLOOK_IID(0x00063045),  // Recipient
    OUTLOOK_IID(0x0006303C),  // Attachments
    OUTLOOK_IID(0x000630E4),  // _Categories
    OUTLOOK_IID(0x000630E3),  // _Category
};
static_assert(sizeof kOutlookIids / sizeof kOutlookIids[0] == static_cast<size_t>(OlInterface::Category) + 1,
              "one IID per interface");

const size_t kMaxArgs = 4;

}  // namespace

const IID& OutlookIid(OlInterface iface)
{
    return kOutlookIids[static_cast<size_t>(iface)];
}

bool OutlookIsGone(HRESULT hr)
{
    return hr == RPC_E_DISCONNECTED || hr == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) || hr == CO_E_OBJNOTCONNECTED;
}

HRESULT COutlookNames::Resolve(IDispatch* object, OlInterface iface, const wchar_t* name, DISPID* id)
{
    for (const Entry& entry : m_entries) {
        if (entry.iface == iface && entry.name == name) {
            *id = entry.id;
            return S_OK;
        }
    }
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
    if (hr != S_OK)
        return FAILED(hr) ? hr : DISP_E_UNKNOWNNAME;
    try {
        m_entries.push_back({iface, name, *id});
    } catch (...) {
        // Out of memory: the name is looked up again next time.
    }
    return S_OK;
}

namespace OlArg {

VARIANT Text(BSTR text)
{
    VARIANT value;
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = text;
    return value;
}

VARIANT Long(LONG number)
{
    VARIANT value;
    V_VT(&value) = VT_I4;
    V_I4(&value) = number;
    return value;
}

VARIANT Bool(bool flag)
{
    VARIANT value;
    V_VT(&value) = VT_BOOL;
    V_BOOL(&value) = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return value;
}

VARIANT Date(DATE date)
{
    VARIANT value;
    V_VT(&value) = VT_DATE;
    V_DATE(&value) = date;
    return value;
}

VARIANT Missing()
{
    VARIANT value;
    V_VT(&value) = VT_ERROR;
    V_ERROR(&value) = DISP_E_PARAMNOTFOUND;
    return value;
}

}  // namespace OlArg

HRESULT COutlookObject::Attach(IUnknown* from, OlInterface iface)
{
    Release();
    if (!from)
        return E_POINTER;
    IDispatch* object = nullptr;
    HRESULT hr = from->QueryInterface(OutlookIid(iface), reinterpret_cast<void**>(&object));
    if (FAILED(hr))
        return hr;
    if (!object)
        return E_NOINTERFACE;
    m_object = object;
    m_iface = iface;
    return S_OK;
}

void COutlookObject::Release()
{
    if (m_object)
        m_object->Release();
    m_object = nullptr;
}

HRESULT COutlookObject::Invoke(const wchar_t* name, WORD flags, std::initializer_list<VARIANT> args,
                               VARIANT* result)
{
    if (!m_object)
        return E_POINTER;
    if (args.size() > kMaxArgs)
        return E_INVALIDARG;
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = m_names.Resolve(m_object, m_iface, name, &id);
    if (FAILED(hr))
        return hr;
    // Automation hands the arguments over last first.
    VARIANT reversed[kMaxArgs];
    UINT count = 0;
    for (auto arg = args.end(); arg != args.begin();)
        reversed[count++] = *--arg;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {reversed, nullptr, count, 0};
    if (flags == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    if (result)
        VariantClear(result);
    EXCEPINFO error = {};
    hr = m_object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &error, nullptr);
    if (hr == DISP_E_EXCEPTION) {
        if (error.pfnDeferredFillIn)
            error.pfnDeferredFillIn(&error);
        hr = FAILED(error.scode) ? error.scode : E_FAIL;
    }
    SysFreeString(error.bstrSource);
    SysFreeString(error.bstrDescription);
    SysFreeString(error.bstrHelpFile);
    if (FAILED(hr) && result)
        VariantClear(result);
    return hr;
}

HRESULT COutlookObject::Get(const wchar_t* name, VARIANT* value)
{
    return value ? Invoke(name, DISPATCH_PROPERTYGET, {}, value) : E_POINTER;
}

HRESULT COutlookObject::Put(const wchar_t* name, const VARIANT& value)
{
    return Invoke(name, DISPATCH_PROPERTYPUT, {value}, nullptr);
}

HRESULT COutlookObject::Call(const wchar_t* name, std::initializer_list<VARIANT> args, VARIANT* result)
{
    return Invoke(name, DISPATCH_METHOD, args, result);
}

HRESULT COutlookObject::Adopt(HRESULT hr, VARIANT* result, OlInterface iface, COutlookObject* object)
{
    if (SUCCEEDED(hr))
        hr = V_VT(result) == VT_DISPATCH || V_VT(result) == VT_UNKNOWN ? object->Attach(V_UNKNOWN(result), iface)
                                                                        : DISP_E_TYPEMISMATCH;
    VariantClear(result);
    return hr;
}

HRESULT COutlookObject::Child(const wchar_t* name, OlInterface iface, COutlookObject* object)
{
    VARIANT result;
    VariantInit(&result);
    return Adopt(Get(name, &result), &result, iface, object);
}

HRESULT COutlookObject::CallChild(const wchar_t* name, std::initializer_list<VARIANT> args, OlInterface iface,
                                  COutlookObject* object)
{
    VARIANT result;
    VariantInit(&result);
    return Adopt(Call(name, args, &result), &result, iface, object);
}
