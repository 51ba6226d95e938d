#include "GodwitCtrl.h"

namespace {

// Invisible at run time: a record, not something to look at.
const DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                          OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INVISIBLEATRUNTIME | OLEMISC_SETCLIENTSITEFIRST;

struct Slot {
    DISPID id;
    VARTYPE vt;
};

const Slot kSlots[] = {
    {DISPID_GODWIT_ALARMADVANCE, VT_I4},     {DISPID_GODWIT_ALARMADVANCEUNIT, VT_I4},
    {DISPID_GODWIT_BODY, VT_BSTR},           {DISPID_GODWIT_COMPLETED, VT_I2},
    {DISPID_GODWIT_DUEDATE, VT_DATE},        {DISPID_GODWIT_STARTDATE, VT_DATE},
    {DISPID_GODWIT_ENDDATE, VT_DATE},        {DISPID_GODWIT_JOURNALCATEGORY, VT_EMPTY},
    {DISPID_GODWIT_NOTE, VT_BSTR},           {DISPID_GODWIT_PRIORITY, VT_I2},
    {DISPID_GODWIT_TASKCATEGORY, VT_EMPTY},  {DISPID_GODWIT_CONTACTS, VT_EMPTY},
    {DISPID_GODWIT_CCS, VT_EMPTY},           {DISPID_GODWIT_PRIVATE, VT_I2},
    {DISPID_GODWIT_PENCIL, VT_I2},           {DISPID_GODWIT_TYPE, VT_I4},
    {DISPID_GODWIT_BCCS, VT_EMPTY},          {DISPID_GODWIT_RECIPIENTS, VT_EMPTY},
    {DISPID_GODWIT_DATABASE, VT_EMPTY},      {DISPID_GODWIT_ATTACHMENTS, VT_EMPTY},
    {DISPID_GODWIT_ALARMADVANCEDATE, VT_EMPTY}, {DISPID_GODWIT_ERROR, VT_EMPTY},
    {DISPID_GODWIT_SUBTYPE, VT_I4},
};

template <class T>
HRESULT CopyOut(const T& from, T* to)
{
    if (!to)
        return E_POINTER;
    *to = from;
    return S_OK;
}

}  // namespace

const QuiInterfaceEntry CGodwitCtrl::kInterfaces[] = {
    {&IID_IGodwit, QuiCastTo<CGodwitCtrl, IGodwit>},
    {&IID_IDispatch, QuiCastTo<CGodwitCtrl, IGodwit>},
    {nullptr, QuiCastTo<CGodwitCtrl, QuiControlImpl>, QuiControlImpl::kInterfaces},
    {},
};

// Every property starts empty: no text, no date (0.0), no bits.
CGodwitCtrl::CGodwitCtrl() : QuiControlImpl(CLSID_GodwitCtrl, nullptr, kMiscStatus)
{
    for (VARIANT& value : m_values)
        VariantInit(&value);
    for (const Slot& slot : kSlots)
        V_VT(&m_values[slot.id]) = slot.vt;
}

CGodwitCtrl::~CGodwitCtrl()
{
    for (VARIANT& value : m_values)
        VariantClear(&value);
}

HRESULT CGodwitCtrl::Get(DISPID id, LONG* value)
{
    return CopyOut(V_I4(&m_values[id]), value);
}

HRESULT CGodwitCtrl::Get(DISPID id, SHORT* value)
{
    return CopyOut(V_I2(&m_values[id]), value);
}

HRESULT CGodwitCtrl::Get(DISPID id, DATE* value)
{
    return CopyOut(V_DATE(&m_values[id]), value);
}

HRESULT CGodwitCtrl::Get(DISPID id, BSTR* value)
{
    if (!value)
        return E_POINTER;
    BSTR text = V_BSTR(&m_values[id]);
    *value = SysAllocStringLen(text, SysStringLen(text));
    return *value ? S_OK : E_OUTOFMEMORY;
}

HRESULT CGodwitCtrl::Get(DISPID id, VARIANT* value)
{
    if (!value)
        return E_POINTER;
    VariantInit(value);
    return VariantCopy(value, &m_values[id]);
}

HRESULT CGodwitCtrl::Put(DISPID id, LONG value)
{
    V_I4(&m_values[id]) = value;
    return S_OK;
}

HRESULT CGodwitCtrl::Put(DISPID id, SHORT value)
{
    V_I2(&m_values[id]) = value;
    return S_OK;
}

HRESULT CGodwitCtrl::Put(DISPID id, BSTR value)
{
    BSTR copy = SysAllocStringLen(value, SysStringLen(value));
    if (!copy)
        return E_OUTOFMEMORY;
    SysFreeString(V_BSTR(&m_values[id]));
    V_BSTR(&m_values[id]) = copy;
    return S_OK;
}

HRESULT CGodwitCtrl::Put(DISPID id, DATE value)
{
    V_DATE(&m_values[id]) = value;
    return S_OK;
}

// A value passed by reference is stored as the value itself: the caller's
// variable may be gone by the time a server reads the record.
HRESULT CGodwitCtrl::Put(DISPID id, VARIANT value)
{
    VARIANT copy;
    VariantInit(&copy);
    HRESULT hr = VariantCopyInd(&copy, &value);
    if (FAILED(hr))
        return hr;
    VariantClear(&m_values[id]);
    m_values[id] = copy;
    return S_OK;
}

STDMETHODIMP CGodwitCtrl::AddSubTypeBit(LONG bit)
{
    V_I4(&m_values[DISPID_GODWIT_SUBTYPE]) |= bit;
    return S_OK;
}

STDMETHODIMP CGodwitCtrl::AddTypeBit(LONG bit)
{
    V_I4(&m_values[DISPID_GODWIT_TYPE]) |= bit;
    return S_OK;
}

STDMETHODIMP CGodwitCtrl::AboutBox()
{
    MessageBoxW(nullptr, L"Godwit Item Record Control\nVersion 1.0", L"About Godwit",
                MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
    return S_OK;
}
