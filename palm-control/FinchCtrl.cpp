#include "FinchCtrl.h"

#include <olectl.h>

#include <string>

#include "ContactEmail.h"
#include "FinchResource.h"

namespace {

// The misc status the class registers and reports.
const DWORD kMiscStatus =
    OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
// The field-order blocks are read into buffers of this size.
const int kFieldOrderSize = 25;
// The names that look up a contact are cut to this many bytes, terminator included.
const int kContactNameSize = 256;
// Persistent state: only the version stamp 1.0.
const DWORD kStateVersion = 0x00010000;

bool ReadOnly(DISPID member)
{
    switch (member) {
    case DISPID_FINCH_CURRENTITEMTEXT:
    case DISPID_FINCH_CONTACTFIELDORDER:
    case DISPID_FINCH_CATEGORYFIELDORDER:
    case DISPID_FINCH_USERS:
    case DISPID_FINCH_USERDIRECTORY:
        return true;
    default:
        return false;
    }
}

BSTR WideOf(const CString& text)
{
    return text.AllocSysString();
}

CString TrimmedName(const BSTR* name)
{
    CString text = name && *name ? AnsiText(*name, SysStringLen(*name), kContactNameSize - 1) : CString();
    text.TrimLeft();
    text.TrimRight();
    return text;
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

const QuiInterfaceEntry CFinchCtrl::kInterfaces[] = {
    {&IID__DFinch, QuiCastTo<CFinchCtrl, _DFinch>},
    {&IID_IDispatch, QuiCastTo<CFinchCtrl, _DFinch>},
    {&IID_IConnectionPointContainer, QuiCastTo<CFinchCtrl, IConnectionPointContainer>},
    {nullptr, QuiCastTo<CFinchCtrl, QuiWindowedControlImpl>, QuiWindowedControlImpl::kInterfaces},
    {},
};

CFinchCtrl::CFinchCtrl()
    : QuiMessageControlImpl(CLSID_FinchCtrl, &DIID__DFinchEvents, kMiscStatus),
      m_filer(m_manager),
      m_events(this, DIID__DFinchEvents)
{
    AddConnectionPoint(&m_events);
    // The first call loads the data library.
    PalmRegistry registry(kFinchRegistry, FinchSettingCount);
    CString lastUser;
    registry.ReadString(FinchLastUser, lastUser);
    std::string name = static_cast<LPCTSTR>(lastUser);
    char* text = &name[0];
    m_manager.SetCurrentUser(&text);
}

CFinchCtrl::~CFinchCtrl()
{
    // The window goes while the whole object still answers its messages.
    InPlaceDeactivate();
    SaveLastUser();
    m_watch.Close();
}

// A library that answers no user leaves the remembered one alone.
void CFinchCtrl::SaveLastUser()
{
    BSTR user = nullptr;
    m_manager.GetCurrentUser(&user);
    if (!user)
        return;
    PalmRegistry registry(kFinchRegistry, FinchSettingCount);
    registry.WriteString(FinchLastUser, AnsiText(user, SysStringLen(user)));
    SysFreeString(user);
}

STDMETHODIMP CFinchCtrl::Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr)
{
    if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) && ReadOnly(member)) {
        if (excepInfo) {
            *excepInfo = EXCEPINFO();
            excepInfo->scode = CTL_E_SETNOTSUPPORTED;
        }
        return DISP_E_EXCEPTION;
    }
    return QuiDispatchImpl<_DFinch, &IID__DFinch>::Invoke(member, riid, lcid, flags, params, result, excepInfo,
                                                          argErr);
}

//--- lists and texts

HRESULT CFinchCtrl::CategoryList(int (PilotManager::*get)(VARIANT*), VARIANT* value)
{
    if (!value)
        return E_POINTER;
    VariantInit(value);
    try {
        (m_manager.*get)(value);
    } catch (...) {
        return E_FAIL;
    }
    return S_OK;
}

STDMETHODIMP CFinchCtrl::get_TodoCategories(VARIANT* value)
{
    return CategoryList(&PilotManager::GetTodoCategories, value);
}

STDMETHODIMP CFinchCtrl::put_TodoCategories(VARIANT)
{
    SetModified();
    return S_OK;
}

STDMETHODIMP CFinchCtrl::get_MemoCategories(VARIANT* value)
{
    return CategoryList(&PilotManager::GetMemoCategories, value);
}

STDMETHODIMP CFinchCtrl::put_MemoCategories(VARIANT)
{
    SetModified();
    return S_OK;
}

STDMETHODIMP CFinchCtrl::get_Contacts(VARIANT* value)
{
    return CategoryList(&PilotManager::GetContacts, value);
}

STDMETHODIMP CFinchCtrl::put_Contacts(VARIANT)
{
    SetModified();
    return S_OK;
}

STDMETHODIMP CFinchCtrl::get_Users(VARIANT* value)
{
    return CategoryList(&PilotManager::GetUsers, value);
}

STDMETHODIMP CFinchCtrl::get_CurrentItemText(BSTR* value)
{
    if (!value)
        return E_POINTER;
    *value = nullptr;
    m_manager.GetCurrentItem(value);
    return S_OK;
}

HRESULT CFinchCtrl::FieldOrder(int (PilotManager::*get)(BYTE*), BSTR* value)
{
    if (!value)
        return E_POINTER;
    *value = nullptr;
    BYTE block[kFieldOrderSize] = {};
    (m_manager.*get)(block);
    BSTR text = SysAllocStringLen(nullptr, kFieldOrderSize);
    if (!text)
        return E_OUTOFMEMORY;
    // Byte by byte, so that the text keeps one character per byte.
    for (int i = 0; i < kFieldOrderSize; ++i) {
        text[i] = 0;
        if (block[i])
            MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(&block[i]), 1, &text[i], 1);
    }
    *value = text;
    return S_OK;
}

STDMETHODIMP CFinchCtrl::get_ContactFieldOrder(BSTR* value)
{
    return FieldOrder(&PilotManager::GetContactFieldOrder, value);
}

STDMETHODIMP CFinchCtrl::get_CategoryFieldOrder(BSTR* value)
{
    return FieldOrder(&PilotManager::GetCategoryFieldOrder, value);
}

STDMETHODIMP CFinchCtrl::get_CurrentUser(BSTR* value)
{
    if (!value)
        return E_POINTER;
    *value = nullptr;
    m_manager.GetCurrentUser(value);
    return S_OK;
}

STDMETHODIMP CFinchCtrl::put_CurrentUser(BSTR value)
{
    try {
        std::string name = static_cast<LPCTSTR>(AnsiText(value, SysStringLen(value)));
        char* text = &name[0];
        if (m_manager.SetCurrentUser(&text) && m_watch.Armed() && m_watch.Running()) {
            // The new user's folder is watched once the change has been told.
            m_watch.Stop();
            if (Window())
                PostMessageA(Window(), WM_FINCH_FOLDERCHANGED, 0, 0);
        }
    } catch (...) {
        SetModified();
        return E_OUTOFMEMORY;
    }
    SetModified();
    return S_OK;
}

STDMETHODIMP CFinchCtrl::get_UserDirectory(BSTR* value)
{
    if (!value)
        return E_POINTER;
    CString path;
    m_manager.GetUserPath(path);
    *value = WideOf(path);
    return *value ? S_OK : E_OUTOFMEMORY;
}

//--- actions

STDMETHODIMP CFinchCtrl::FileKeynote(IDispatch* keynote, short* result)
{
    if (!result)
        return E_POINTER;
    try {
        *result = m_filer.File(keynote);
    } catch (...) {
        *result = 0;
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

STDMETHODIMP CFinchCtrl::NewContact(BSTR*, LONG* result)
{
    if (!result)
        return E_POINTER;
    *result = 0;
    try {
        CONTACTITEM contact;
        // The library asks a framework window for the owner of its sheet.
        CWnd owner;
        owner.m_hWnd = Window();
        contact.owner = &owner;
        *result = m_manager.NewContact(&contact);
        owner.m_hWnd = nullptr;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

STDMETHODIMP CFinchCtrl::OpenDesktopApp(LONG* result)
{
    if (!result)
        return E_POINTER;
    *result = m_manager.OpenPilotDesktop();
    return S_OK;
}

HRESULT CFinchCtrl::ContactEntry(BSTR* firstName, BSTR* lastName, BSTR* company, BSTR* result,
                                 const EMAILINFO* (*pick)(const CONTACTITEM&))
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    try {
        CONTACTITEM contact;
        contact.SetText(CONTACTITEM::FirstName, TrimmedName(firstName));
        contact.SetText(CONTACTITEM::LastName, TrimmedName(lastName));
        contact.SetText(CONTACTITEM::Company, TrimmedName(company));
        m_manager.GetEmailForContact(&contact);
        const EMAILINFO* entry = pick(contact);
        *result = WideOf(CString(entry ? entry->GetValue() : ""));
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return *result ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CFinchCtrl::GetShowInList(BSTR* firstName, BSTR* lastName, BSTR* company, BSTR* result)
{
    return ContactEntry(firstName, lastName, company, result, ShownInListEntry);
}

STDMETHODIMP CFinchCtrl::GetEmail(BSTR* firstName, BSTR* lastName, BSTR* company, BSTR* result)
{
    return ContactEntry(firstName, lastName, company, result, EmailEntry);
}

STDMETHODIMP CFinchCtrl::DataRefresh(LONG* result)
{
    if (!result)
        return E_POINTER;
    *result = m_manager.DataRefresh();
    if (*result == 2)
        FireUserInfoChange();
    return S_OK;
}

STDMETHODIMP CFinchCtrl::GetCalendarDay(VARIANT* date, VARIANT* items, LONG* result)
{
    if (!result)
        return E_POINTER;
    *result = m_manager.GetCalendarDay(date, items);
    return S_OK;
}

STDMETHODIMP CFinchCtrl::Connect(LONG, LONG* result)
{
    if (!result)
        return E_POINTER;
    *result = m_manager.GetInitialized() ? 0 : 1;
    return S_OK;
}

STDMETHODIMP CFinchCtrl::AboutBox()
{
    DialogBoxParamA(QuiModule().Instance(), MAKEINTRESOURCEA(IDD_ABOUTBOX_FINCH), Window(), AboutProc, 0);
    return S_OK;
}

void CFinchCtrl::FireUserInfoChange()
{
    if (EventsFrozen())
        return;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    m_events.FireDispatch(DISPID_FINCH_USERINFOCHANGE, &none);
}

//--- persistence

HRESULT CFinchCtrl::LoadState(IStream* stream)
{
    DWORD version = 0;
    ULONG read = 0;
    HRESULT hr = stream->Read(&version, sizeof version, &read);
    if (FAILED(hr))
        return hr;
    return read == sizeof version ? S_OK : E_FAIL;
}

HRESULT CFinchCtrl::SaveState(IStream* stream)
{
    ULONG written = 0;
    return stream->Write(&kStateVersion, sizeof kStateVersion, &written);
}

//--- the window and the folder watch

bool CFinchCtrl::HandleMessage(HWND window, UINT message, WPARAM, LPARAM, LRESULT* result)
{
    switch (message) {
    case WM_CREATE:
        WatchUserFolder(window);
        return false;
    case WM_DESTROY:
        m_watch.Close();
        return false;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        OnDraw(dc, client);
        EndPaint(window, &paint);
        *result = 0;
        return true;
    }
    case WM_FINCH_FOLDERCHANGED:
        OnFolderChanged(window);
        *result = 0;
        return true;
    case WM_FINCH_REARM:
        WatchUserFolder(window);
        *result = 0;
        return true;
    default:
        return false;
    }
}

void CFinchCtrl::WatchUserFolder(HWND window)
{
    CString path;
    m_manager.GetUserPath(path);
    if (m_watch.Arm(path))
        m_watch.Start(window);
}

void CFinchCtrl::OnFolderChanged(HWND window)
{
    m_watch.Close();
    FireUserInfoChange();
    PostMessageA(window, WM_FINCH_REARM, 0, 0);
}

// Invisible at run time: the container only needs the control's members.
void CFinchCtrl::OnDraw(HDC dc, const RECT& bounds)
{
    VARIANT userMode;
    VariantInit(&userMode);
    if (SUCCEEDED(GetAmbientProperty(DISPID_AMBIENT_USERMODE, &userMode)) && userMode.vt == VT_BOOL &&
        userMode.boolVal && Window()) {
        HWND top = ::GetWindow(Window(), GW_CHILD);
        SetWindowPos(Window(), top ? top : HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE);
    }
    VariantClear(&userMode);
    FillRect(dc, &bounds, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}
