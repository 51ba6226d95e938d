// A browser's DDE interface: serves the "WWW_" verbs under the service name
// given on the command line (NEOPLANET when none is given), records every
// conversation in the log and answers as a browser with a few windows would.
// A window loads the page it is asked for a while ("LoadMs"); a page asked
// for meanwhile in the same window replaces it. The log tells which pages
// arrived ("page <service> arrived <url> <window>") and which were replaced.
// Runs until the quit event is set, and only while a test holds that event;
// a second start for a service already served records its launch and ends.
#include <windows.h>
#include <ddeml.h>

#include <map>
#include <string>
#include <vector>

#include "StandInLog.h"

using BrowserStandIn::Log;

namespace {

DWORD g_instance = 0;
std::string g_service;
// Windows opened beside those the test gives the browser ("WindowCount").
DWORD g_opened = 0;
// The page each window is loading, and the window of each load's timer.
std::map<DWORD, std::string> g_loading;
std::map<UINT_PTR, DWORD> g_loads;

DWORD WindowCount()
{
    return BrowserStandIn::Number("WindowCount", 1) + g_opened;
}

void CALLBACK OnLoaded(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    auto load = g_loads.find(timer);
    if (load == g_loads.end())
        return;
    const DWORD window = load->second;
    g_loads.erase(load);
    Log("page " + g_service + " arrived " + g_loading[window] + " " + std::to_string(window));
    g_loading.erase(window);
}

// The fields of an argument list: quoted texts (with \" inside) and numbers.
std::vector<std::string> Fields(const std::string& item)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < item.size(); i++) {
        const char c = item[i];
        if (quoted && c == '\\' && i + 1 < item.size() && item[i + 1] == '"') {
            fields.back() += '"';
            i++;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// Opens the URL in the window asked for: 0 a new one, 0xFFFFFFFF the last.
DWORD Open(const std::string& item)
{
    const std::vector<std::string> fields = Fields(item);
    DWORD window = fields.size() > 2 ? strtoul(fields[2].c_str(), nullptr, 10) : 0xFFFFFFFF;
    if (window == 0 || WindowCount() == 0)
        ++g_opened;
    if (window == 0 || window > WindowCount())
        window = WindowCount();
    for (auto load = g_loads.begin(); load != g_loads.end(); ++load) {
        if (load->second == window) {
            KillTimer(nullptr, load->first);
            Log("page " + g_service + " replaced " + g_loading[window] + " " + std::to_string(window));
            g_loads.erase(load);
            break;
        }
    }
    g_loading[window] = fields.empty() ? std::string() : fields[0];
    if (UINT_PTR timer = SetTimer(nullptr, 0, BrowserStandIn::Number("LoadMs", 300), OnLoaded))
        g_loads[timer] = window;
    return window;
}

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
        for (DWORD id = 1; id <= WindowCount(); ++id)
            ids.push_back(id);
        ids.push_back(0);
        return Data(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), item, format);
    }
    if (topic == "WWW_OpenURL") {
        DWORD window = Open(Text(item));
        return Data(&window, sizeof window, item, format);
    }
    if (topic == "WWW_Activate") {
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
