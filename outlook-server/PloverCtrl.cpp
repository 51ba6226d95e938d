#include "PloverCtrl.h"

#include <shellapi.h>

#include "KeynoteFiler.h"
#include "OutlookCategories.h"
#include "PloverRes.h"
#include "VariantArray.h"

namespace {

// What the control registers under MiscStatus\1 and answers to containers.
const DWORD kMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE |
                          OLEMISC_RECOMPOSEONRESIZE | OLEMISC_ACTIVATEWHENVISIBLE;

const LONG kFolderContacts = 10;  // olFolderContacts

// The master category list that later Outlook versions keep in the store.
HRESULT ReadStoreCategories(COutlookObject& space, COutlookNames& names, VARIANT* categories)
{
    COutlookObject list(names);
    VARIANT count;
    VariantInit(&count);
    VariantClear(categories);
    HRESULT hr = space.Child(L"Categories", OlInterface::Categories, &list);
    if (SUCCEEDED(hr))
        hr = list.Get(L"Count", &count);
    if (SUCCEEDED(hr))
        hr = VariantChangeType(&count, &count, 0, VT_I4);
    if (SUCCEEDED(hr))
        hr = QuiMakeStringArray(categories);
    for (LONG index = 1; SUCCEEDED(hr) && index <= V_I4(&count); ++index) {
        COutlookObject category(names);
        VARIANT name;
        VariantInit(&name);
        hr = list.CallChild(L"Item", {OlArg::Long(index)}, OlInterface::Category, &category);
        if (SUCCEEDED(hr))
            hr = category.Get(L"Name", &name);
        if (SUCCEEDED(hr))
            hr = VariantChangeType(&name, &name, 0, VT_BSTR);
        if (SUCCEEDED(hr))
            hr = QuiAppendString(categories, V_BSTR(&name));
        VariantClear(&name);
    }
    VariantClear(&count);
    if (FAILED(hr))
        VariantClear(categories);
    return hr;
}

}  // namespace

const QuiInterfaceEntry CPlover::kInterfaces[] = {
    {&IID_IPlover, QuiCastTo<CPlover, IPlover>},
    {&IID_IDispatch, QuiCastTo<CPlover, IPlover>},
    {&IID_ISupportErrorInfo, QuiCastTo<CPlover, ISupportErrorInfo>},
    {nullptr, QuiCastTo<CPlover, QuiControlImpl>, QuiControlImpl::kInterfaces},
    {},
};

CPlover::CPlover()
    : QuiControlImpl(CLSID_Plover, nullptr, kMiscStatus), m_cache(kPloverRecordNames, kPloverRecordNameCount)
{
}

CPlover::~CPlover()
{
    m_session.Close();
}

HRESULT CPlover::Answer(HRESULT hr)
{
    m_answer = hr;
    return hr;
}

HRESULT CPlover::Fail(UINT stringId, HRESULT hr)
{
    return Answer(QuiSetErrorInfo(hr, CLSID_Plover, IID_IPlover, stringId));
}

HRESULT CPlover::Fail(const wchar_t* text, HRESULT hr, DWORD code)
{
    return Answer(QuiSetErrorInfo(hr, CLSID_Plover, IID_IPlover, text, code));
}

STDMETHODIMP CPlover::Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* excepInfo, UINT* argErr)
{
    m_answer = S_OK;
    HRESULT hr = QuiDispatchImpl::Invoke(member, riid, lcid, flags, params, result, excepInfo, argErr);
    return hr == S_OK ? m_answer : hr;
}

STDMETHODIMP CPlover::get_Contacts(VARIANT* pVal)
{
    if (!pVal)
        return E_POINTER;
    VariantInit(pVal);
    if (!m_session.Held())
        return Fail(IDS_CONNECT_FAILED, E_POINTER);
    VARIANT contacts;
    VariantInit(&contacts);
    m_session.NameSpace().Call(L"GetDefaultFolder", {OlArg::Long(kFolderContacts)}, &contacts);
    VariantClear(&contacts);
    return S_OK;
}

STDMETHODIMP CPlover::get_TodoCategories(VARIANT* pVal)
{
    if (!pVal)
        return E_POINTER;
    VariantInit(pVal);
    try {
        bool inStore = false;
        UINT failed = ReadOutlookCategories(pVal, &inStore);
        if (!failed && inStore && !m_session.Held())
            failed = IDS_CONNECT_FAILED;
        if (!failed && inStore) {
            HRESULT hr = m_session.Retry([&] { return ReadStoreCategories(m_session.NameSpace(), m_names, pVal); });
            failed = hr == E_OUTOFMEMORY ? IDS_OUT_OF_MEMORY : FAILED(hr) ? IDS_STORE_CATEGORIES_UNREADABLE : 0;
        }
        return failed ? Fail(failed) : S_OK;
    } catch (...) {
        VariantClear(pVal);
        return Fail(IDS_OUT_OF_MEMORY);
    }
}

STDMETHODIMP CPlover::Connect(LONG)
{
    return FAILED(m_session.Open()) ? Fail(L"Connection Error", E_FAIL) : S_OK;
}

STDMETHODIMP CPlover::CreateContact(BSTR)
{
    return S_OK;
}

STDMETHODIMP CPlover::FileKeynote(IDispatch* keynote)
{
    if (!keynote)
        return Fail(L"Null keynote parameter passed to FileKeynote()", S_FALSE, ERROR_INVALID_PARAMETER);
    if (!m_session.Held())
        return Fail(IDS_CONNECT_FAILED);
    try {
        m_cache.Fill(keynote);
        UINT failed = CKeynoteFiler(m_session, keynote, m_cache).File();
        return failed ? Fail(failed) : S_OK;
    } catch (...) {
        return Fail(IDS_OUT_OF_MEMORY);
    }
}

STDMETHODIMP CPlover::get_Folders(VARIANT* pVal)
{
    if (!pVal)
        return E_POINTER;
    VariantInit(pVal);
    return S_OK;
}

STDMETHODIMP CPlover::CreateCategory(BSTR)
{
    return S_OK;
}

STDMETHODIMP CPlover::OpenOutlook()
{
    HINSTANCE started = ShellExecuteA(GetDesktopWindow(), "open", "outlook.exe", nullptr, "", SW_SHOW);
    return reinterpret_cast<INT_PTR>(started) <= 32 ? Fail(IDS_OUTLOOK_NOT_STARTED) : S_OK;
}

void CPlover::OnDraw(HDC dc, const RECT& bounds)
{
    static const char kCaption[] = "ATL 3.0 : Plover";
    Rectangle(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    UINT align = SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    TextOutA(dc, (bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2, kCaption,
             static_cast<int>(sizeof kCaption - 1));
    SetTextAlign(dc, align);
}
