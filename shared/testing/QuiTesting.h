// The Windows-tree tests' common helpers: pumping messages until a condition
// holds or a deadline passes (never sleeping for time alone), answering the
// dialog boxes a test's thread opens, writing registry values, reading and
// writing whole files, removing folders with all they hold and finding the
// program's windows in another process.
#pragma once

#include <windows.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace QuiTesting {

// How messages are dispatched while waiting: a translator answering TRUE has
// taken the message itself (a framework's pre-translation, say).
using MessageTranslator = BOOL (*)(MSG*);

// Dispatches messages as they come until done() holds or timeoutMs pass.
// It wakes for messages and for `wake` when given; `pollMs` bounds each
// wait, for conditions that no message or handle announces (a file another
// process writes). done() is asked before any message is dispatched, so it
// may take a message out of the queue itself.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000, HANDLE wake = nullptr,
                      MessageTranslator translate = nullptr, DWORD pollMs = INFINITE)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!translate || !translate(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            if (done())
                return true;
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return done();
        DWORD wait = timeoutMs - elapsed;
        if (pollMs != INFINITE && pollMs < wait)
            wait = pollMs;
        MsgWaitForMultipleObjects(wake ? 1 : 0, wake ? &wake : nullptr, FALSE, wait, QS_ALLINPUT);
    }
}

// Alt+F4 as the keyboard brings it to the window with the focus; the
// system's own handling of it closes the top-level window that holds it.
inline void PressAltF4(HWND focus)
{
    const LPARAM altDown = 1 | (static_cast<LPARAM>(MapVirtualKeyA(VK_F4, 0)) << 16) | (1 << 29);
    SendMessageA(focus, WM_SYSKEYDOWN, VK_F4, altDown);
}

// Answers with `command` every top-level dialog box (a message box too) that
// this thread opens while the object lives, and counts them. One at a time.
class DialogAnswerer {
public:
    explicit DialogAnswerer(WORD command = IDOK)
    {
        s_command = command;
        s_count = 0;
        m_hook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~DialogAnswerer() { UnhookWindowsHookEx(m_hook); }
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    static int Count() { return s_count; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND) {
            HWND window = reinterpret_cast<HWND>(wParam);
            const CBT_CREATEWNDA* create = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
            char className[16] = "";
            GetClassNameA(window, className, sizeof className);
            if (lstrcmpA(className, "#32770") == 0 && !(create->lpcs->style & WS_CHILD)) {
                ++s_count;
                PostMessageA(window, WM_COMMAND, s_command, 0);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HHOOK m_hook;
    static inline WORD s_command = IDOK;
    static inline int s_count = 0;
};

// Writes a value under HKEY root\key, creating the key; false on failure.
inline bool SetRegValue(HKEY root, const std::string& key, const char* name, DWORD type, const void* data,
                        DWORD size)
{
    HKEY opened = nullptr;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return false;
    const bool written =
        RegSetValueExA(opened, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    RegCloseKey(opened);
    return written;
}

inline bool SetRegText(HKEY root, const std::string& key, const char* name, const std::string& text,
                       DWORD type = REG_SZ)
{
    return SetRegValue(root, key, name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

inline bool SetRegNumber(HKEY root, const std::string& key, const char* name, DWORD number)
{
    return SetRegValue(root, key, name, REG_DWORD, &number, sizeof number);
}

// The file's bytes; "" when it cannot be read.
inline std::string ReadText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Writes the bytes as the file's whole content; false when they could not
// all be written.
inline bool WriteText(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    return !file.fail();
}

// Whether a file or folder of that name is there.
inline bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Removes the folder with everything below it, read-only files too;
// nothing when it is not there.
inline void RemoveFolder(std::string folder)
{
    while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    if (folder.empty())
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveFolder(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

// A notification area of the test's own, first in the shell's search, that
// takes every icon request: a program's start then does not depend on the
// desktop having one. Requests() counts what it took since it was made.
class NotificationArea {
public:
    NotificationArea()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Shell_TrayWnd";
        RegisterClassA(&wc);
        m_window = CreateWindowExA(WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   wc.hInstance, nullptr);
        Requests() = 0;
    }
    ~NotificationArea()
    {
        if (m_window)
            DestroyWindow(m_window);
    }
    NotificationArea(const NotificationArea&) = delete;
    NotificationArea& operator=(const NotificationArea&) = delete;

    HWND Window() const { return m_window; }
    static int& Requests()
    {
        static int count = 0;
        return count;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_COPYDATA) {
            ++Requests();
            return TRUE;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND m_window;
};

// The top-level windows of a running Quillmate process, found by class: its
// tray window, a note window, a visible dialog box; null where there is none.
struct ProgramWindows {
    HWND tray = nullptr;
    HWND note = nullptr;
    HWND box = nullptr;
};

struct ProgramWindowSearch {
    DWORD process;
    ProgramWindows found;
};

inline BOOL CALLBACK TakeProgramWindow(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<ProgramWindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process)
        return TRUE;
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "QuiFrameworkFrame141") == 0)
        search->found.tray = window;
    else if (lstrcmpA(name, "QUINOTEWND") == 0)
        search->found.note = window;
    else if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(window))
        search->found.box = window;
    return TRUE;
}

inline ProgramWindows FindProgramWindows(DWORD process)
{
    ProgramWindowSearch search{process, {}};
    EnumWindows(TakeProgramWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace QuiTesting
