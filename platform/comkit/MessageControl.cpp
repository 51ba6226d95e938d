#include "QuiMessageControl.h"

HWND QuiMessageControlImpl::CreateControlWindow(HWND parent, const RECT& pos)
{
    HINSTANCE instance = QuiModule().Instance();
    WNDCLASSEXA wc = {sizeof wc};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = WindowClassName();
    if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    HWND window = CreateWindowExA(0, WindowClassName(), "", WS_CHILD | WS_CLIPCHILDREN, pos.left, pos.top,
                                  pos.right - pos.left, pos.bottom - pos.top, parent, nullptr, instance, this);
    if (window)
        OnWindowCreated(window);
    return window;
}

LRESULT CALLBACK QuiMessageControlImpl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* control = reinterpret_cast<QuiMessageControlImpl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!control)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        control->WindowGone(window);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        if (control->HandleMessage(window, message, wParam, lParam, &result))
            return result;
    } catch (...) {
        // A window whose creation failed is not made.
        return message == WM_CREATE ? -1 : 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
