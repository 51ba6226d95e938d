// The program in front for the selection grab's display test: a window with
// an edit box holding the text of its first argument, the characters from
// its second to its third argument selected and the focus on it. It sets the
// event named by its fourth argument once it is in front, and ends when
// closed or after a minute at the latest.
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

HWND g_edit;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        ::SetFocus(g_edit);
        return 0;
    case WM_TIMER:
    case WM_CLOSE:
        ::DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (__argc < 5)
        return 2;
    WNDCLASSA frameClass = {};
    frameClass.lpfnWndProc = &FrameProc;
    frameClass.hInstance = instance;
    frameClass.lpszClassName = "QuiGrabTarget";
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    ::RegisterClassA(&frameClass);
    HWND frame = ::CreateWindowExA(0, "QuiGrabTarget", "Grab target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400,
                                   120, nullptr, nullptr, instance, nullptr);
    g_edit = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", __argv[1], WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10,
                               360, 24, frame, nullptr, instance, nullptr);
    ::SendMessageA(g_edit, EM_SETSEL, std::atoi(__argv[2]), std::atoi(__argv[3]));
    ::SetTimer(frame, 1, 60000, nullptr);
    ::SetForegroundWindow(frame);
    ::SetFocus(g_edit);
    if (HANDLE ready = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, __argv[4])) {
        ::SetEvent(ready);
        ::CloseHandle(ready);
    }
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}
