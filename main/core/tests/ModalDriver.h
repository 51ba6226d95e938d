// Drives the modal dialog that the code under test opens: a message posted
// now is dispatched by that dialog's own loop, which then runs the test's
// steps on the dialog (a visible top-level window whose object is a T).
#pragma once
#include <afxquill.h>

#include <functional>

template <class T>
class ModalDriver : public CWnd {
public:
    explicit ModalDriver(std::function<void(T*)> drive) : m_drive(std::move(drive))
    {
        CreateEx(0, nullptr, "driver", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr);
        PostMessage(WM_APP);
    }
    ~ModalDriver() override { DestroyWindow(); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_APP)
            return CWnd::WindowProc(message, wParam, lParam);
        T* dialog = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), &Find, reinterpret_cast<LPARAM>(&dialog));
        if (dialog) {
            ++ran;
            m_drive(dialog);
        } else if (++m_tries < kTries) {
            PostMessage(WM_APP);
        }
        return 0;
    }

    // How often the steps ran: 1 once the dialog was found.
    int ran = 0;

private:
    enum { kTries = 20 };

    static BOOL CALLBACK Find(HWND hWnd, LPARAM lParam)
    {
        auto* dialog = dynamic_cast<T*>(CWnd::FromHandlePermanent(hWnd));
        if (dialog && ::IsWindowVisible(hWnd)) {
            *reinterpret_cast<T**>(lParam) = dialog;
            return FALSE;
        }
        return TRUE;
    }

    std::function<void(T*)> m_drive;
    int m_tries = 0;
};
