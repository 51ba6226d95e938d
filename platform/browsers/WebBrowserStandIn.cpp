// The web browser automation object "InternetExplorer.Application": what the
// browser driver calls is recorded, every other member is a call the stand-in
// did not expect and is logged as such.
#include "WebBrowserStandIn.h"

#include "StandInLog.h"

const CLSID CLSID_WebBrowserStandIn = {0x0a21bc1e, 0xa185, 0x4fb8, {0xae, 0xf7, 0xfe, 0x7e, 0xf1, 0x21, 0xcb, 0x2a}};

using BrowserStandIn::Describe;
using BrowserStandIn::Log;

namespace {

class CWebBrowser : public QuiObjectRoot, public IWebBrowser2 {
public:
    static const QuiInterfaceEntry kInterfaces[];

    HRESULT FinalConstruct()
    {
        if (BrowserStandIn::CallFails("InternetExplorer.Create")) {
            Log("InternetExplorer.Create failed");
            return E_FAIL;
        }
        Log("InternetExplorer.Create");
        return S_OK;
    }

    STDMETHODIMP Navigate(BSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                          VARIANT* Headers) override
    {
        VARIANT missing;
        VariantInit(&missing);
        auto arg = [&missing](VARIANT* value) { return Describe(value ? *value : missing); };
        if (BrowserStandIn::CallFails("InternetExplorer.Navigate")) {
            Log("InternetExplorer.Navigate " + BrowserStandIn::Narrow(URL) + " failed");
            return E_FAIL;
        }
        Log("InternetExplorer.Navigate " + BrowserStandIn::Narrow(URL) + " flags=" + arg(Flags) + " frame="
            + arg(TargetFrameName) + " post=" + arg(PostData) + " headers=" + arg(Headers));
        return S_OK;
    }
    STDMETHODIMP Stop() override
    {
        Log("InternetExplorer.Stop");
        return S_OK;
    }
    STDMETHODIMP get_Busy(VARIANT_BOOL* pBool) override
    {
        if (!pBool)
            return E_POINTER;
        *pBool = BrowserStandIn::Number("Busy", 0) ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    // A window the user closed no longer answers.
    STDMETHODIMP get_Visible(VARIANT_BOOL* pBool) override
    {
        if (!pBool)
            return E_POINTER;
        if (BrowserStandIn::CallFails("InternetExplorer.Visible")) {
            Log("InternetExplorer.Visible failed");
            return RPC_E_DISCONNECTED;
        }
        *pBool = m_visible;
        return S_OK;
    }
    STDMETHODIMP put_Visible(VARIANT_BOOL Value) override
    {
        m_visible = Value;
        Log(std::string("InternetExplorer.Visible=") + (Value ? "true" : "false"));
        return S_OK;
    }

    STDMETHODIMP GetTypeInfoCount(UINT*) override { return Unexpected("GetTypeInfoCount"); }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return Unexpected("GetTypeInfo"); }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return Unexpected("GetIDsOfNames");
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return Unexpected("Invoke");
    }
    STDMETHODIMP GoBack() override { return Unexpected("GoBack"); }
    STDMETHODIMP GoForward() override { return Unexpected("GoForward"); }
    STDMETHODIMP GoHome() override { return Unexpected("GoHome"); }
    STDMETHODIMP GoSearch() override { return Unexpected("GoSearch"); }
    STDMETHODIMP Refresh() override { return Unexpected("Refresh"); }
    STDMETHODIMP Refresh2(VARIANT *) override { return Unexpected("Refresh2"); }
    STDMETHODIMP get_Application(IDispatch **) override { return Unexpected("get_Application"); }
    STDMETHODIMP get_Parent(IDispatch **) override { return Unexpected("get_Parent"); }
    STDMETHODIMP get_Container(IDispatch **) override { return Unexpected("get_Container"); }
    STDMETHODIMP get_Document(IDispatch **) override { return Unexpected("get_Document"); }
    STDMETHODIMP get_TopLevelContainer(VARIANT_BOOL *) override { return Unexpected("get_TopLevelContainer"); }
    STDMETHODIMP get_Type(BSTR *) override { return Unexpected("get_Type"); }
    STDMETHODIMP get_Left(LONG *) override { return Unexpected("get_Left"); }
    STDMETHODIMP put_Left(LONG) override { return Unexpected("put_Left"); }
    STDMETHODIMP get_Top(LONG *) override { return Unexpected("get_Top"); }
    STDMETHODIMP put_Top(LONG) override { return Unexpected("put_Top"); }
    STDMETHODIMP get_Width(LONG *) override { return Unexpected("get_Width"); }
    STDMETHODIMP put_Width(LONG) override { return Unexpected("put_Width"); }
    STDMETHODIMP get_Height(LONG *) override { return Unexpected("get_Height"); }
    STDMETHODIMP put_Height(LONG) override { return Unexpected("put_Height"); }
    STDMETHODIMP get_LocationName(BSTR *) override { return Unexpected("get_LocationName"); }
    STDMETHODIMP get_LocationURL(BSTR *) override { return Unexpected("get_LocationURL"); }
    STDMETHODIMP Quit() override { return Unexpected("Quit"); }
    STDMETHODIMP ClientToWindow(int *, int *) override { return Unexpected("ClientToWindow"); }
    STDMETHODIMP PutProperty(BSTR, VARIANT) override { return Unexpected("PutProperty"); }
    STDMETHODIMP GetProperty(BSTR, VARIANT *) override { return Unexpected("GetProperty"); }
    STDMETHODIMP get_Name(BSTR *) override { return Unexpected("get_Name"); }
    STDMETHODIMP get_HWND(SHANDLE_PTR *) override { return Unexpected("get_HWND"); }
    STDMETHODIMP get_FullName(BSTR *) override { return Unexpected("get_FullName"); }
    STDMETHODIMP get_Path(BSTR *) override { return Unexpected("get_Path"); }
    STDMETHODIMP get_StatusBar(VARIANT_BOOL *) override { return Unexpected("get_StatusBar"); }
    STDMETHODIMP put_StatusBar(VARIANT_BOOL) override { return Unexpected("put_StatusBar"); }
    STDMETHODIMP get_StatusText(BSTR *) override { return Unexpected("get_StatusText"); }
    STDMETHODIMP put_StatusText(BSTR) override { return Unexpected("put_StatusText"); }
    STDMETHODIMP get_ToolBar(int *) override { return Unexpected("get_ToolBar"); }
    STDMETHODIMP put_ToolBar(int) override { return Unexpected("put_ToolBar"); }
    STDMETHODIMP get_MenuBar(VARIANT_BOOL *) override { return Unexpected("get_MenuBar"); }
    STDMETHODIMP put_MenuBar(VARIANT_BOOL) override { return Unexpected("put_MenuBar"); }
    STDMETHODIMP get_FullScreen(VARIANT_BOOL *) override { return Unexpected("get_FullScreen"); }
    STDMETHODIMP put_FullScreen(VARIANT_BOOL) override { return Unexpected("put_FullScreen"); }
    STDMETHODIMP Navigate2(VARIANT *, VARIANT *, VARIANT *, VARIANT *, VARIANT *) override { return Unexpected("Navigate2"); }
    STDMETHODIMP QueryStatusWB(OLECMDID, OLECMDF *) override { return Unexpected("QueryStatusWB"); }
    STDMETHODIMP ExecWB(OLECMDID, OLECMDEXECOPT, VARIANT *, VARIANT *) override { return Unexpected("ExecWB"); }
    STDMETHODIMP ShowBrowserBar(VARIANT *, VARIANT *, VARIANT *) override { return Unexpected("ShowBrowserBar"); }
    STDMETHODIMP get_ReadyState(READYSTATE *) override { return Unexpected("get_ReadyState"); }
    STDMETHODIMP get_Offline(VARIANT_BOOL *) override { return Unexpected("get_Offline"); }
    STDMETHODIMP put_Offline(VARIANT_BOOL) override { return Unexpected("put_Offline"); }
    STDMETHODIMP get_Silent(VARIANT_BOOL *) override { return Unexpected("get_Silent"); }
    STDMETHODIMP put_Silent(VARIANT_BOOL) override { return Unexpected("put_Silent"); }
    STDMETHODIMP get_RegisterAsBrowser(VARIANT_BOOL *) override { return Unexpected("get_RegisterAsBrowser"); }
    STDMETHODIMP put_RegisterAsBrowser(VARIANT_BOOL) override { return Unexpected("put_RegisterAsBrowser"); }
    STDMETHODIMP get_RegisterAsDropTarget(VARIANT_BOOL *) override { return Unexpected("get_RegisterAsDropTarget"); }
    STDMETHODIMP put_RegisterAsDropTarget(VARIANT_BOOL) override { return Unexpected("put_RegisterAsDropTarget"); }
    STDMETHODIMP get_TheaterMode(VARIANT_BOOL *) override { return Unexpected("get_TheaterMode"); }
    STDMETHODIMP put_TheaterMode(VARIANT_BOOL) override { return Unexpected("put_TheaterMode"); }
    STDMETHODIMP get_AddressBar(VARIANT_BOOL *) override { return Unexpected("get_AddressBar"); }
    STDMETHODIMP put_AddressBar(VARIANT_BOOL) override { return Unexpected("put_AddressBar"); }
    STDMETHODIMP get_Resizable(VARIANT_BOOL *) override { return Unexpected("get_Resizable"); }
    STDMETHODIMP put_Resizable(VARIANT_BOOL) override { return Unexpected("put_Resizable"); }

private:
    static HRESULT Unexpected(const char* member)
    {
        Log(std::string("InternetExplorer.Unexpected ") + member);
        return E_NOTIMPL;
    }

    VARIANT_BOOL m_visible = VARIANT_FALSE;
};
const QuiInterfaceEntry CWebBrowser::kInterfaces[] = {
    {&IID_IWebBrowser2, QuiCastTo<CWebBrowser, IWebBrowser2>},
    {&IID_IWebBrowserApp, QuiCastTo<CWebBrowser, IWebBrowser2>},
    {&IID_IWebBrowser, QuiCastTo<CWebBrowser, IWebBrowser2>},
    {&IID_IDispatch, QuiCastTo<CWebBrowser, IWebBrowser2>},
    {},
};

}  // namespace

HRESULT CreateWebBrowserStandIn(REFIID riid, void** ppv)
{
    return QuiComObject<CWebBrowser>::CreateInstance(riid, ppv);
}
