// The web browser automation object "InternetExplorer.Application": what the
// browser driver calls is recorded, every other member is a call the stand-in
// did not expect and is logged as such. As the real object does, it stays
// busy for a while after Navigate and then fires DocumentComplete (or
// NavigateError); Stop, or another Navigate meanwhile, loses the page being
// loaded; Quit ends it. The log tells which pages arrived.
#include "WebBrowserStandIn.h"

#include <exdispid.h>

#include <map>

#include "QuiConnectionPoint.h"
#include "StandInLog.h"

const CLSID CLSID_WebBrowserStandIn = {0x0a21bc1e, 0xa185, 0x4fb8, {0xae, 0xf7, 0xfe, 0x7e, 0xf1, 0x21, 0xcb, 0x2a}};

using BrowserStandIn::Describe;
using BrowserStandIn::Log;

namespace {

class CWebBrowser;

// The loads under way, by their thread timer.
std::map<UINT_PTR, CWebBrowser*>& Loads()
{
    static std::map<UINT_PTR, CWebBrowser*> loads;
    return loads;
}

bool IsLocalPath(const std::string& url)
{
    return url.size() > 2 && (url[1] == ':' || (url[0] == '\\' && url[1] == '\\'));
}

class CWebBrowser : public QuiObjectRoot, public IWebBrowser2, public QuiConnectionPointContainerImpl {
public:
    static const QuiInterfaceEntry kInterfaces[];

    CWebBrowser() : m_events(this, DIID_DWebBrowserEvents2) { AddConnectionPoint(&m_events); }
    ~CWebBrowser() { EndLoad(); }

    HRESULT FinalConstruct()
    {
        if (BrowserStandIn::CallFails("InternetExplorer.Create")) {
            Log("InternetExplorer.Create failed");
            return E_FAIL;
        }
        Log("InternetExplorer.Create");
        // A browser busy with a page of its own, which never ends by itself.
        if (BrowserStandIn::Number("Busy", 0)) {
            m_loading = true;
            m_url = "about:home";
        }
        return S_OK;
    }

    STDMETHODIMP Navigate(BSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                          VARIANT* Headers) override
    {
        if (m_quit)
            return RPC_E_DISCONNECTED;
        VARIANT missing;
        VariantInit(&missing);
        auto arg = [&missing](VARIANT* value) { return Describe(value ? *value : missing); };
        if (BrowserStandIn::CallFails("InternetExplorer.Navigate")) {
            Log("InternetExplorer.Navigate " + BrowserStandIn::Narrow(URL) + " failed");
            return E_FAIL;
        }
        Log("InternetExplorer.Navigate " + BrowserStandIn::Narrow(URL) + " flags=" + arg(Flags) + " frame="
            + arg(TargetFrameName) + " post=" + arg(PostData) + " headers=" + arg(Headers));
        LosePage();
        m_loading = true;
        m_url = BrowserStandIn::Narrow(URL);
        m_timer = SetTimer(nullptr, 0, BrowserStandIn::Number("LoadMs", 100), OnLoaded);
        if (m_timer)
            Loads()[m_timer] = this;
        return S_OK;
    }
    STDMETHODIMP Stop() override
    {
        if (m_quit)
            return RPC_E_DISCONNECTED;
        Log("InternetExplorer.Stop");
        LosePage();
        return S_OK;
    }
    STDMETHODIMP get_Busy(VARIANT_BOOL* pBool) override
    {
        if (!pBool)
            return E_POINTER;
        if (m_quit)
            return RPC_E_DISCONNECTED;
        *pBool = m_loading ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    // A window the user closed no longer answers.
    STDMETHODIMP get_Visible(VARIANT_BOOL* pBool) override
    {
        if (!pBool)
            return E_POINTER;
        if (m_quit || BrowserStandIn::CallFails("InternetExplorer.Visible")) {
            Log("InternetExplorer.Visible failed");
            return RPC_E_DISCONNECTED;
        }
        *pBool = m_visible;
        return S_OK;
    }
    STDMETHODIMP put_Visible(VARIANT_BOOL Value) override
    {
        if (m_quit)
            return RPC_E_DISCONNECTED;
        m_visible = Value;
        Log(std::string("InternetExplorer.Visible=") + (Value ? "true" : "false"));
        return S_OK;
    }
    STDMETHODIMP Quit() override
    {
        if (m_quit)
            return RPC_E_DISCONNECTED;
        Log("InternetExplorer.Quit");
        End();
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

    static void CALLBACK OnLoaded(HWND, UINT, UINT_PTR timer, DWORD)
    {
        KillTimer(nullptr, timer);
        auto found = Loads().find(timer);
        if (found == Loads().end())
            return;
        CWebBrowser* self = found->second;
        Loads().erase(found);
        self->m_timer = 0;
        // Its events may release the last reference meanwhile.
        IWebBrowser2* held = self;
        held->AddRef();
        self->Loaded();
        held->Release();
    }

    // The page was read, or the browser could not get it: a page file
    // already deleted is an error as a server's refusal is.
    void Loaded()
    {
        m_loading = false;
        const std::string url = m_url;
        const bool missing = IsLocalPath(url) && GetFileAttributesA(url.c_str()) == INVALID_FILE_ATTRIBUTES;
        if (missing || BrowserStandIn::CallFails("InternetExplorer.NavigateError")) {
            Log((missing ? "InternetExplorer.Missing " : "InternetExplorer.NavigateError ") + url);
            FireNavigateError(url);
        } else {
            Log("InternetExplorer.Read " + url);
            FireDocumentComplete(url);
        }
        // The user closes the window once the page shows.
        if (!m_quit && BrowserStandIn::Number("CloseAfterRead", 0))
            End();
    }

    void EndLoad()
    {
        if (m_timer) {
            KillTimer(nullptr, m_timer);
            Loads().erase(m_timer);
            m_timer = 0;
        }
    }

    // The page being loaded is lost.
    void LosePage()
    {
        EndLoad();
        if (m_loading)
            Log("InternetExplorer.Lost " + m_url);
        m_loading = false;
    }

    // The browser ends: OnQuit, and no call reaches it any more.
    void End()
    {
        LosePage();
        m_events.FireDispatch(DISPID_ONQUIT, nullptr);
        m_quit = true;
    }

    VARIANT Self()
    {
        VARIANT self;
        V_VT(&self) = VT_DISPATCH;
        V_DISPATCH(&self) = static_cast<IWebBrowser2*>(this);
        return self;
    }

    void FireDocumentComplete(const std::string& url)
    {
        VARIANT address;
        V_VT(&address) = VT_BSTR;
        V_BSTR(&address) = BrowserStandIn::Wide(url);
        VARIANT args[2];
        V_VT(&args[0]) = VT_VARIANT | VT_BYREF;
        V_VARIANTREF(&args[0]) = &address;
        args[1] = Self();
        DISPPARAMS params = {args, nullptr, 2, 0};
        m_events.FireDispatch(DISPID_DOCUMENTCOMPLETE, &params);
        SysFreeString(V_BSTR(&address));
    }

    void FireNavigateError(const std::string& url)
    {
        VARIANT address, frame, status;
        V_VT(&address) = VT_BSTR;
        V_BSTR(&address) = BrowserStandIn::Wide(url);
        VariantInit(&frame);
        V_VT(&status) = VT_I4;
        V_I4(&status) = 404;
        VARIANT_BOOL cancel = VARIANT_FALSE;
        VARIANT args[5];
        V_VT(&args[0]) = VT_BOOL | VT_BYREF;
        V_BOOLREF(&args[0]) = &cancel;
        V_VT(&args[1]) = VT_VARIANT | VT_BYREF;
        V_VARIANTREF(&args[1]) = &status;
        V_VT(&args[2]) = VT_VARIANT | VT_BYREF;
        V_VARIANTREF(&args[2]) = &frame;
        V_VT(&args[3]) = VT_VARIANT | VT_BYREF;
        V_VARIANTREF(&args[3]) = &address;
        args[4] = Self();
        DISPPARAMS params = {args, nullptr, 5, 0};
        m_events.FireDispatch(DISPID_NAVIGATEERROR, &params);
        SysFreeString(V_BSTR(&address));
    }

    QuiConnectionPoint m_events;
    VARIANT_BOOL m_visible = VARIANT_FALSE;
    bool m_loading = false;
    bool m_quit = false;
    std::string m_url;
    UINT_PTR m_timer = 0;
};
const QuiInterfaceEntry CWebBrowser::kInterfaces[] = {
    {&IID_IWebBrowser2, QuiCastTo<CWebBrowser, IWebBrowser2>},
    {&IID_IWebBrowserApp, QuiCastTo<CWebBrowser, IWebBrowser2>},
    {&IID_IWebBrowser, QuiCastTo<CWebBrowser, IWebBrowser2>},
    {&IID_IDispatch, QuiCastTo<CWebBrowser, IWebBrowser2>},
    {&IID_IConnectionPointContainer, QuiCastTo<CWebBrowser, IConnectionPointContainer>},
    {},
};

}  // namespace

HRESULT CreateWebBrowserStandIn(REFIID riid, void** ppv)
{
    return QuiComObject<CWebBrowser>::CreateInstance(riid, ppv);
}
