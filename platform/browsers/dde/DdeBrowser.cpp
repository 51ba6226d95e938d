// A browser's DDE interface: serves the "WWW_" verbs under the service name
// given on the command line (NEOPLANET when none is given), records every
// conversation in the log and answers as a browser with a few windows would.
// Runs until the quit event is set, and only while a test holds that event;
// a second start for a service already served records its launch and ends.
#include <windows.h>
#include <ddeml.h>

#include <string>
#include <vector>

#include "StandInLog.h"

using BrowserStandIn::Log;

namespace {

DWORD g_instance = 0;
std::string g_service;

std::string Text(HSZ hsz)
{
    char text[1024] = "";
    if (hsz)
        DdeQueryStringA(g_instance, hsz, text, sizeof text, CP_WINANSI);
    return text;
}

HDDEDATA Data(const void* bytes, DWORD size, HSZ item, UINT format)
{
    return DdeCreateDataHandle(g_instance, static_cast<BYTE*>(const_cast<void*>(bytes)), size, 0, item, format, 0);
}

HDDEDATA Reply(const std::string& topic, HSZ item, UINT format)
{
    if (topic == "WWW_ListWindows") {
        // Window identifiers 1..n, ended by a 0.
        std::vector<DWORD> ids;
        DWORD count = BrowserStandIn::Number("WindowCount", 1);
        for (DWORD id = 1; id <= count; ++id)
            ids.push_back(id);
        ids.push_back(0);
        return Data(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), item, format);
    }
    if (topic == "WWW_OpenURL" || topic == "WWW_Activate") {
        DWORD window = 1;
        return Data(&window, sizeof window, item, format);
    }
    if (topic == "WWW_Version") {
        DWORD version = 0x00040000;
        return Data(&version, sizeof version, item, format);
    }
    return nullptr;
}

HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV, HSZ topic, HSZ item, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    switch (type) {
    case XTYP_CONNECT:
        if (BrowserStandIn::CallFails(Text(topic))) {
            Log("dde " + g_service + " refused " + Text(topic));
            return reinterpret_cast<HDDEDATA>(FALSE);
        }
        return reinterpret_cast<HDDEDATA>(TRUE);
    case XTYP_REQUEST:
        if (BrowserStandIn::CallFails("stall:" + Text(topic))) {
            Log("dde " + g_service + " stalled " + Text(topic) + " " + Text(item));
            return CBR_BLOCK;
        }
        Log("dde " + g_service + " request " + Text(topic) + " " + Text(item));
        return Reply(Text(topic), item, format);
    case XTYP_POKE:
        Log("dde " + g_service + " poke " + Text(topic) + " " + Text(item));
        return reinterpret_cast<HDDEDATA>(DDE_FACK);
    default:
        return nullptr;
    }
}

std::string ServiceName(const char* commandLine)
{
    std::string service(commandLine);
    while (!service.empty() && service.back() == ' ')
        service.pop_back();
    while (!service.empty() && service.front() == ' ')
        service.erase(0, 1);
    return service.empty() ? "NEOPLANET" : service;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    g_service = ServiceName(commandLine);
    Log("launch ddebrowser " + g_service);
    HANDLE single = CreateMutexA(nullptr, FALSE, ("QuillmateDdeBrowser_" + g_service).c_str());
    if (!single || GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;
    // The test that runs the stand-ins holds the quit event; without one there is nobody to serve.
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, BROWSER_STANDIN_QUIT_EVENT);
    if (!quit)
        return 0;
    HANDLE started = CreateEventA(nullptr, TRUE, FALSE, BROWSER_STANDIN_STARTED_EVENT);
    if (!started || DdeInitializeA(&g_instance, Callback, APPCLASS_STANDARD, 0) != DMLERR_NO_ERROR)
        return 1;
    HSZ service = DdeCreateStringHandleA(g_instance, g_service.c_str(), CP_WINANSI);
    if (!DdeNameService(g_instance, service, nullptr, DNS_REGISTER))
        return 1;
    SetEvent(started);
    for (;;) {
        DWORD woken = MsgWaitForMultipleObjects(1, &quit, FALSE, INFINITE, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0)
            break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    DdeNameService(g_instance, service, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(g_instance, service);
    DdeUninitialize(g_instance);
    Log("quit ddebrowser " + g_service);
    CloseHandle(started);
    CloseHandle(quit);
    CloseHandle(single);
    return 0;
}
