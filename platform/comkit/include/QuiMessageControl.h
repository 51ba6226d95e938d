// A windowed control whose window procedure comes back to the object: the
// derived control names its window class and handles the messages it wants.
#pragma once
#include "QuiWindowedControl.h"

class QuiMessageControlImpl : public QuiWindowedControlImpl {
protected:
    using QuiWindowedControlImpl::QuiWindowedControlImpl;

    HWND CreateControlWindow(HWND parent, const RECT& pos) override;
    virtual const char* WindowClassName() const = 0;
    virtual void OnWindowCreated(HWND window) {}
    // True when the message was handled, with its answer in *result. Until
    // CreateControlWindow returns, Window() is still null: use `window`.
    virtual bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) = 0;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};
