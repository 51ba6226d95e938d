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
