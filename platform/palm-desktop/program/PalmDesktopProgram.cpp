// pilot.exe: the running Palm Desktop as far as the data library sees it. Its
// main window answers the private message, holds still (disabled) while a
// library writes, reloads the user's tables when the writing is over, and
// shows a to-do and a memo view with their edit fields.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "PalmStandIn.h"
#include "PdCommon.h"
#include "Table21.h"

namespace {

struct Settings {
    DWORD pingAnswer = PALM_DESKTOP_MESSAGE;
    DWORD startDisabled = 0;
    DWORD hangOnPing = 0;
};

struct Desktop {
    Settings settings;
    HWND todoPane = nullptr;
    HWND memoPane = nullptr;
};
Desktop g_desktop;

DWORD ReadSetting(HKEY key, const char* name, DWORD fallback)
{
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
        type == REG_DWORD)
        return value;
    return fallback;
}

Settings LoadSettings()
{
    Settings settings;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PALM_STANDIN_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return settings;
    settings.pingAnswer = ReadSetting(key, "PingAnswer", settings.pingAnswer);
    settings.startDisabled = ReadSetting(key, "StartDisabled", 0);
    settings.hangOnPing = ReadSetting(key, "HangOnPing", 0);
    RegCloseKey(key);
    return settings;
}

void Log(const char* line)
{
    if (FILE* log = std::fopen(PALM_DESKTOP_LOG, "ab")) {
        std::fprintf(log, "%s\n", line);
        std::fclose(log);
    }
}

// Live records of one table of the user, -1 when it cannot be read.
int CountRecords(CBaseTable* table, const CString& path)
{
    std::unique_ptr<CBaseTable> owned(table);
    try {
        table->OpenFrom(path, 0);
    } catch (CException* e) {
        e->Delete();
        return -1;
    }
    int count = 0;
    CRecordIterator records(table);
    for (CBaseRecord* r = records.FindFirst(0); r; r = records.FindNext(0))
        ++count;
    return count;
}

void Reload(unsigned long userId)
{
    char folder[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH - 1, folder);
    if (length == 0 || length >= MAX_PATH - 1)
        return;
    if (folder[length - 1] != '\\')
        folder[length++] = '\\', folder[length] = '\0';
    CUserMgr users;
    users.SetDirectory(folder);
    for (CUser* user = users.FindFirst(); user; user = users.FindNext()) {
        if (user->GetID() != userId)
            continue;
        const CString base = CString(folder) + user->GetDirectory() + "\\";
        char line[200];
        std::snprintf(line, sizeof line, "reload %lu todo=%d memo=%d datebook=%d address=%d", userId,
                      CountRecords(new CToDoTable, base + "todo\\todo.dat"),
                      CountRecords(new CMemoTable, base + "memopad\\memopad.dat"),
                      CountRecords(new CDateBkTable, base + "datebook\\datebook.dat"),
                      CountRecords(new CAddressTable, base + "address\\address.dat"));
        Log(line);
        return;
    }
}

LRESULT OnDesktopMessage(HWND window, WPARAM request, LPARAM userId)
{
    char line[64];
    switch (request) {
    case PalmPing:
        Log("ping");
        if (g_desktop.settings.hangOnPing) {
            HANDLE release = CreateEventA(nullptr, TRUE, FALSE, PALM_DESKTOP_RELEASE_EVENT);
            WaitForSingleObject(release, 60000);
            CloseHandle(release);
        }
        return static_cast<LRESULT>(g_desktop.settings.pingAnswer);
    case PalmPrepareLock:
        Log("prepare");
        return 0;
    case PalmLock:
        std::snprintf(line, sizeof line, "lock %lu", static_cast<unsigned long>(userId));
        Log(line);
        EnableWindow(window, FALSE);
        return 0;
    case PalmUnlock:
        std::snprintf(line, sizeof line, "unlock %lu", static_cast<unsigned long>(userId));
        Log(line);
        EnableWindow(window, TRUE);
        Reload(static_cast<unsigned long>(userId));
        return 0;
    default:
        return 0;
    }
}

void ShowView(WPARAM view)
{
    ShowWindow(g_desktop.todoPane, view == PalmViewToDo ? SW_SHOW : SW_HIDE);
    ShowWindow(g_desktop.memoPane, view == PalmViewMemo ? SW_SHOW : SW_HIDE);
}

HWND CreatePane(HWND parent, int editId)
{
    HWND pane = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 400, 300, parent, nullptr, nullptr, nullptr);
    if (pane)
        CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 4, 4, 390, 290, pane,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(editId)), nullptr, nullptr);
    return pane;
}

LRESULT CALLBACK DesktopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        g_desktop.todoPane = CreatePane(window, PALM_TODO_EDIT_ID);
        g_desktop.memoPane = CreatePane(window, PALM_MEMO_EDIT_ID);
        if (!g_desktop.todoPane || !g_desktop.memoPane)
            return -1;
        ShowView(PalmViewToDo);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) >= PalmViewToDo && LOWORD(wParam) <= PalmViewDateBook) {
            ShowView(LOWORD(wParam));
            return 0;
        }
        break;
    case PALM_DESKTOP_MESSAGE:
        return OnDesktopMessage(window, wParam, lParam);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_desktop.settings = LoadSettings();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DesktopProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = PALM_DESKTOP_CLASS;
    if (!RegisterClassA(&windowClass))
        return 1;
    HWND window = CreateWindowExA(0, PALM_DESKTOP_CLASS, PALM_DESKTOP_TITLE, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 420, 340, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    if (g_desktop.settings.startDisabled)
        EnableWindow(window, FALSE);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
