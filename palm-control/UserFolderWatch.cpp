#include "UserFolderWatch.h"

#include <string>

UserFolderWatch::UserFolderWatch() : m_stop(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
}

UserFolderWatch::~UserFolderWatch()
{
    Close();
    if (m_stop)
        CloseHandle(m_stop);
}

bool UserFolderWatch::Arm(const char* userPath)
{
    Close();
    if (!userPath || !*userPath)
        return false;
    std::string folder = userPath;
    if (folder.back() == '\\')
        folder.pop_back();
    folder += "\\memopad";
    m_change = FindFirstChangeNotificationA(folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_LAST_WRITE);
    return Armed();
}

bool UserFolderWatch::Start(HWND window)
{
    if (!Armed() || Running() || !m_stop)
        return false;
    ResetEvent(m_stop);
    m_window = window;
    m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    return m_thread != nullptr;
}

DWORD WINAPI UserFolderWatch::Run(void* self)
{
    UserFolderWatch* watch = static_cast<UserFolderWatch*>(self);
    const HANDLE waits[2] = {watch->m_change, watch->m_stop};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0)
        PostMessageA(watch->m_window, WM_FINCH_FOLDERCHANGED, 0, 0);
    return 0;
}

void UserFolderWatch::Stop()
{
    if (!m_thread)
        return;
    SetEvent(m_stop);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
}

void UserFolderWatch::Close()
{
    Stop();
    if (m_change != INVALID_HANDLE_VALUE)
        FindCloseChangeNotification(m_change);
    m_change = INVALID_HANDLE_VALUE;
}
