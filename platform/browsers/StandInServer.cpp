// Netscape's network object, the Notes client's UI workspace, and the
// module's class table (with the web browser object).
#include <windows.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "BrowserStandIn.h"
#include "QuiComRegistry.h"
#include "QuiDispatch.h"
#include "QuiErrorInfo.h"
#include "StandInLog.h"
#include "WebBrowserStandIn.h"

using BrowserStandIn::Describe;
using BrowserStandIn::Log;

namespace {

// Answers whether the host can be reached; the test decides.
class CNetscapeNetwork : public QuiObjectRoot, public QuiDispatchImpl<INetscapeNetwork, &IID_INetscapeNetwork> {
public:
    static const QuiInterfaceEntry kInterfaces[];

    STDMETHODIMP Open(BSTR url, short method, BSTR postData, long postDataSize, BSTR postHeaders,
                      VARIANT_BOOL* opened) override
    {
        if (!opened)
            return E_POINTER;
        if (BrowserStandIn::CallFails("Netscape.OpenError")) {
            Log("Netscape.Open " + BrowserStandIn::Narrow(url) + " -> error");
            return E_FAIL;
        }
        bool offline = BrowserStandIn::CallFails("Netscape.Open");
        Log("Netscape.Open " + BrowserStandIn::Narrow(url) + " method=" + std::to_string(method) + " post="
            + BrowserStandIn::Narrow(postData) + " size=" + std::to_string(postDataSize) + " headers="
            + BrowserStandIn::Narrow(postHeaders) + (offline ? " -> false" : " -> true"));
        *opened = offline ? VARIANT_FALSE : VARIANT_TRUE;
        return S_OK;
    }
};
const QuiInterfaceEntry CNetscapeNetwork::kInterfaces[] = {
    {&IID_INetscapeNetwork, QuiCastTo<CNetscapeNetwork, INetscapeNetwork>},
    {&IID_IDispatch, QuiCastTo<CNetscapeNetwork, INetscapeNetwork>},
    {},
};

class CNotesUIWorkspace : public QuiObjectRoot,
                          public QuiDispatchImpl<INotesUIWorkspace, &IID_INotesUIWorkspace>,
                          public QuiSupportErrorInfoImpl<&IID_INotesUIWorkspace> {
public:
    static const QuiInterfaceEntry kInterfaces[];

    HRESULT FinalConstruct()
    {
        Log("Notes.Create");
        return S_OK;
    }

    STDMETHODIMP URLOpen(VARIANT* url, VARIANT* reload, VARIANT* urlList, VARIANT* charSet, VARIANT* webUser,
                         VARIANT* webPassword, VARIANT* proxyUser, VARIANT* proxyPassword, VARIANT* notesRetriever,
                         VARIANT* document) override
    {
        if (!document)
            return E_POINTER;
        VariantInit(document);
        std::string line = "Notes.URLOpen";
        for (VARIANT* arg : {url, reload, urlList, charSet, webUser, webPassword, proxyUser, proxyPassword,
                             notesRetriever}) {
            VARIANT missing;
            VariantInit(&missing);
            line += " " + Describe(arg ? *arg : missing);
        }
        if (BrowserStandIn::CallFails("Notes.URLOpen")) {
            Log(line + " -> failed");
            return QuiSetErrorInfo(E_FAIL, CLSID_NotesUIWorkspace, IID_INotesUIWorkspace,
                                   L"The Notes client is not running.");
        }
        if (BrowserStandIn::CallFails("Notes.URLOpenResult")) {
            Log(line + " -> error result");
            V_VT(document) = VT_ERROR;
            V_ERROR(document) = E_FAIL;
            return S_OK;
        }
        Log(line);
        return S_OK;
    }
};
const QuiInterfaceEntry CNotesUIWorkspace::kInterfaces[] = {
    {&IID_INotesUIWorkspace, QuiCastTo<CNotesUIWorkspace, INotesUIWorkspace>},
    {&IID_IDispatch, QuiCastTo<CNotesUIWorkspace, INotesUIWorkspace>},
    {&IID_ISupportErrorInfo, QuiCastTo<CNotesUIWorkspace, ISupportErrorInfo>},
    {},
};

const QuiClassRegistration kNetworkKeys = QuiClassRegistration("Netscape Network Stand-in")
                                              .ProgId("Netscape.Network.1", "Netscape Network Stand-in")
                                              .InprocServer("Apartment")
                                              .TypeLib()
                                              .Version("1.0");
const QuiClassRegistration kWorkspaceKeys = QuiClassRegistration("Notes UI Workspace Stand-in")
                                                .ProgId("Notes.NotesUIWorkspace", "Notes UI Workspace Stand-in")
                                                .InprocServer("Apartment")
                                                .TypeLib()
                                                .Version("1.0");
const QuiClassRegistration kWebBrowserKeys =
    QuiClassRegistration("Web Browser Stand-in")
        .ProgId("InternetExplorer.Application.1", "Web Browser Stand-in")
        .VersionIndependentProgId("InternetExplorer.Application", "Web Browser Stand-in")
        .InprocServer("Apartment");

const QuiClassEntry kClasses[] = {
    {&CLSID_NetscapeNetwork, QuiCreate<CNetscapeNetwork>, &kNetworkKeys},
    {&CLSID_NotesUIWorkspace, QuiCreate<CNotesUIWorkspace>, &kWorkspaceKeys},
    {&CLSID_WebBrowserStandIn, CreateWebBrowserStandIn, &kWebBrowserKeys},
    {},
};

const QuiServerInfo kServer = {kClasses, &LIBID_BrowserStandIn, true};

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved)
{
    return QuiModule().DllMain(instance, reason, reserved, kServer);
}
