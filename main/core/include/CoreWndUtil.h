// Small window helpers of the application core's own windows.
#pragma once
#include "QuillmateApp.h"

// Where a child window sits in its parent's client area.
inline CRect ChildRect(CWnd& child, CWnd& parent)
{
    CRect rect;
    child.GetWindowRect(rect);
    parent.ScreenToClient(rect);
    return rect;
}

// The application palette; null without an application.
inline HPALETTE AppPalette()
{
    CQuillmateApp* app = QuiGetApp();
    return app ? static_cast<HPALETTE>(*app->GetPalette()) : nullptr;
}

// An icon of the resource library at the system's size; the caller destroys it.
inline HICON LoadLibraryIcon(UINT nId)
{
    return static_cast<HICON>(
        ::LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(nId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

// The painting of a minimised dialog: its icon centred in the client area.
inline void PaintIconCentred(CWnd& wnd, HICON hIcon)
{
    CPaintDC dc(&wnd);
    CRect client;
    wnd.GetClientRect(client);
    dc.DrawIcon((client.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2,
                (client.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2, hIcon);
}
