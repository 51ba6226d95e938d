// Window helpers of the main program: dialog units, focus and tab stops,
// message pumping.
#pragma once
#include <windows.h>

// The system setting for dragging full windows.
BOOL GetDragFullWindows();

// Dialog units to pixels for w's font: x times the average character width
// divided by 4, y times the character height divided by 8. The factors are
// cached for the last window asked about.
void DluToPixels(HWND w, RECT* r);
void DluToPixels(HWND w, POINT* p);
int DluToPixelsX(HWND w, int x);

// TRUE when the focus window is w or one of its descendants.
BOOL IsFocusWithin(HWND w);

// The next (backward: previous) child of parent after `from` that is visible,
// enabled and a tab stop, wrapping round to the first (backward: last) child;
// without `from` the search starts at the first (last) child. Null when there
// is none.
HWND FindTabStop(HWND parent, HWND from, BOOL backward);
HWND FindFirstTabStop(HWND parent);

// Dispatches every message waiting for filter (all windows when null) until
// none is left. A quit request is left in the queue for the message loop.
void PumpWaitingMessages(HWND filter);
