// The watch on the Palm user's memo folder: one worker thread that waits for
// a change notification and posts a message to the control's window, then
// ends. The worker touches nothing but its two handles and the window handle.
#pragma once
#include <windows.h>

// Posted by the worker when the folder changed.
const UINT WM_FINCH_FOLDERCHANGED = 0xFBB;
// Posted to itself by the control to watch again.
const UINT WM_FINCH_REARM = 0xFBC;

class UserFolderWatch {
public:
    UserFolderWatch();
    ~UserFolderWatch();
    UserFolderWatch(const UserFolderWatch&) = delete;
    UserFolderWatch& operator=(const UserFolderWatch&) = delete;

    // Asks for last-write changes in "<userPath>\memopad"; false when the
    // folder cannot be watched.
    bool Arm(const char* userPath);
    bool Armed() const { return m_change != INVALID_HANDLE_VALUE; }
    // Starts the worker on the armed notification; it posts to `window`.
    bool Start(HWND window);
    bool Running() const { return m_thread != nullptr; }
    // Ends the worker (telling it to stop if it still waits) and waits for it.
    void Stop();
    // Stops the worker and closes the notification.
    void Close();

private:
    static DWORD WINAPI Run(void* self);

    HANDLE m_change = INVALID_HANDLE_VALUE;
    HANDLE m_stop = nullptr;
    HANDLE m_thread = nullptr;
    HWND m_window = nullptr;
};
