#include "PloverCtrl.h"

#include <shellapi.h>

#include "KeynoteFiler.h"
#include "OutlookCategories.h"
#include "PloverRes.h"

namespace {

// What the control registers under MiscStatus\1 and answers to containers.
const DWORD kMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE |
                          OLEMISC_RECOMPOSEONRESIZE | OLEMISC_ACTIVATEWHENVISIBLE;

VARIANT Empty()
{
    VARIANT empty;
    VariantInit(&empty);
    return empty;
}

VARIANT Flag(bool on)
{
    VARIANT flag;
    V_VT(&flag) = VT_BOOL;
    V_BOOL(&flag) = on ? VARIANT_TRUE : VARIANT_FALSE;
    return flag;
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
    Disconnect();
}

void CPlover::Disconnect()
{
    if (m_namespace)
        m_namespace->Release();
    m_namespace = nullptr;
    if (m_application)
        m_application->Release();
    m_application = nullptr;
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
    if (!m_namespace)
        return Fail(IDS_CONNECT_FAILED, E_POINTER);
    MAPIFolder* contacts = nullptr;
    if (SUCCEEDED(m_namespace->GetDefaultFolder(olFolderContacts, &contacts)) && contacts)
        contacts->Release();
    return S_OK;
}

STDMETHODIMP CPlover::get_TodoCategories(VARIANT* pVal)
{
    if (!pVal)
        return E_POINTER;
    VariantInit(pVal);
    try {
        UINT failed = ReadOutlookCategories(pVal);
        return failed ? Fail(failed) : S_OK;
    } catch (...) {
        VariantClear(pVal);
        return Fail(IDS_OUT_OF_MEMORY);
    }
}

// The session is opened once; a logon that fails without the profile
// dialog is tried again with it, so that the user may pick a profile.
STDMETHODIMP CPlover::Connect(LONG)
{
    if (m_namespace)
        return S_OK;
    CLSID clsid;
    _Application* application = nullptr;
    if (FAILED(CLSIDFromProgID(L"Outlook.Application", &clsid))
        || FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                                   IID__Application, reinterpret_cast<void**>(&application)))
        || !application)
        return Fail(L"Connection Error", E_FAIL);
    m_application = application;
    BSTR mapi = SysAllocString(L"MAPI");
    HRESULT hr = mapi ? m_application->GetNamespace(mapi, &m_namespace) : E_OUTOFMEMORY;
    SysFreeString(mapi);
    if (SUCCEEDED(hr) && !m_namespace)
        hr = E_POINTER;
    if (SUCCEEDED(hr) && FAILED(m_namespace->Logon(Empty(), Empty(), Flag(false), Flag(false))))
        hr = m_namespace->Logon(Empty(), Empty(), Flag(true), Flag(false));
    if (FAILED(hr)) {
        Disconnect();
        return Fail(L"Connection Error", E_FAIL);
    }
    return S_OK;
}

STDMETHODIMP CPlover::CreateContact(BSTR)
{
    return S_OK;
}

STDMETHODIMP CPlover::FileKeynote(IDispatch* keynote)
{
    if (!keynote)
        return Fail(L"Null keynote parameter passed to FileKeynote()", S_FALSE, ERROR_INVALID_PARAMETER);
    if (!m_application)
        return Fail(IDS_CONNECT_FAILED);
    try {
        m_cache.Fill(keynote);
        UINT failed = CKeynoteFiler(m_application, keynote, m_cache).File();
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
