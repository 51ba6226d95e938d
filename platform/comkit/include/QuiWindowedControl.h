// A control with a window of its own: the container activates it in place
// (IOleObject::DoVerb), gives it its parent window and rectangle through
// IOleInPlaceSite, moves it with IOleInPlaceObject::SetObjectRects and ends
// it with InPlaceDeactivate or Close.
#pragma once
#include "QuiControl.h"

class QuiWindowedControlImpl : public QuiControlImpl, public IOleInPlaceObject {
public:
    // Rows for the derived class's table:
    // {nullptr, QuiCastTo<T, QuiWindowedControlImpl>, QuiWindowedControlImpl::kInterfaces}.
    static const QuiInterfaceEntry kInterfaces[];

    // IOleObject, where a window changes what they do
    STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                        LPCRECT pos) override;
    STDMETHODIMP Close(DWORD saveOption) override;

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
    // IOleInPlaceObject
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override;

    HWND Window() const { return m_window; }

protected:
    using QuiControlImpl::QuiControlImpl;
    ~QuiWindowedControlImpl() override;

    // The derived control makes its window, a child of `parent` at `pos`
    // (not yet visible), and answers it; null fails the activation. The kit
    // owns the window from then on.
    virtual HWND CreateControlWindow(HWND parent, const RECT& pos) = 0;
    // Called from the window's own procedure at WM_NCDESTROY, so that a
    // window destroyed from outside (with its parent) is never used again.
    void WindowGone(HWND window);

private:
    HRESULT ActivateInPlace(IOleClientSite* site, HWND parent, LPCRECT pos);
    void ShowControlWindow(int show);

    HWND m_window = nullptr;
    IOleInPlaceSite* m_inPlaceSite = nullptr;
};
