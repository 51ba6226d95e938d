#include "FinchPropPage.h"

#include "FinchResource.h"

const CLSID CLSID_FinchPropPage = {0x9D4A5039, 0x9639, 0x11D1, {0x95, 0x1A, 0x00, 0xA0, 0x24, 0x7B, 0x3D, 0xBA}};

namespace {

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The page's size in pixels, as its dialog template gives it.
SIZE PageSize()
{
    SIZE size = {0, 0};
    // A child dialog needs a parent to be made at all.
    HWND probe = CreateDialogParamA(QuiModule().Instance(), MAKEINTRESOURCEA(IDD_PROPPAGE_FINCH), GetDesktopWindow(),
                                    PageProc, 0);
    if (!probe)
        return size;
    RECT rect;
    GetWindowRect(probe, &rect);
    DestroyWindow(probe);
    size.cx = rect.right - rect.left;
    size.cy = rect.bottom - rect.top;
    return size;
}

}  // namespace

const QuiInterfaceEntry CFinchPropPage::kInterfaces[] = {
    {&IID_IPropertyPage, QuiCastTo<CFinchPropPage, IPropertyPage>},
    {},
};

CFinchPropPage::~CFinchPropPage()
{
    Deactivate();
    if (m_site)
        m_site->Release();
}

STDMETHODIMP CFinchPropPage::SetPageSite(IPropertyPageSite* site)
{
    if (site && m_site)
        return E_UNEXPECTED;
    if (m_site)
        m_site->Release();
    m_site = site;
    if (m_site)
        m_site->AddRef();
    return S_OK;
}

STDMETHODIMP CFinchPropPage::Activate(HWND parent, LPCRECT rect, BOOL)
{
    if (m_dialog)
        return E_UNEXPECTED;
    m_dialog = CreateDialogParamA(QuiModule().Instance(), MAKEINTRESOURCEA(IDD_PROPPAGE_FINCH), parent, PageProc, 0);
    if (!m_dialog)
        return E_OUTOFMEMORY;
    if (rect)
        Move(rect);
    return S_OK;
}

STDMETHODIMP CFinchPropPage::Deactivate()
{
    if (m_dialog)
        DestroyWindow(m_dialog);
    m_dialog = nullptr;
    return S_OK;
}

STDMETHODIMP CFinchPropPage::GetPageInfo(PROPPAGEINFO* info)
{
    if (!info)
        return E_POINTER;
    // The page's caption is empty.
    LPOLESTR title = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof(OLECHAR)));
    if (!title)
        return E_OUTOFMEMORY;
    title[0] = 0;
    info->cb = sizeof *info;
    info->pszTitle = title;
    info->size = PageSize();
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return S_OK;
}

STDMETHODIMP CFinchPropPage::SetObjects(ULONG count, IUnknown** objects)
{
    return count && !objects ? E_POINTER : S_OK;
}

STDMETHODIMP CFinchPropPage::Show(UINT show)
{
    if (!m_dialog)
        return E_UNEXPECTED;
    ShowWindow(m_dialog, show);
    return S_OK;
}

STDMETHODIMP CFinchPropPage::Move(LPCRECT rect)
{
    if (!rect)
        return E_POINTER;
    if (!m_dialog)
        return E_UNEXPECTED;
    MoveWindow(m_dialog, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}
