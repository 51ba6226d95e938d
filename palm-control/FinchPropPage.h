// The control's property page: the control keeps no properties of its own,
// so the page shows only its dialog.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include "QuiComObject.h"

// {9D4A5039-9639-11D1-951A-00A0247B3DBA}
extern const CLSID CLSID_FinchPropPage;

class CFinchPropPage : public QuiObjectRoot, public IPropertyPage {
public:
    static const QuiInterfaceEntry kInterfaces[];

    CFinchPropPage() = default;
    ~CFinchPropPage();

    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT show) override;
    STDMETHODIMP Move(LPCRECT rect) override;
    STDMETHODIMP IsPageDirty() override { return S_FALSE; }
    STDMETHODIMP Apply() override { return S_OK; }
    STDMETHODIMP Help(LPCOLESTR) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }

    HWND Window() const { return m_dialog; }

private:
    IPropertyPageSite* m_site = nullptr;
    HWND m_dialog = nullptr;
};
