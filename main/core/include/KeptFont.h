// The font of a window of the program's own classes: their default
// processing keeps none, and child controls that draw in their parent's font
// ask the parent for it with WM_GETFONT.
#pragma once
#include <windows.h>

class CKeptFont {
public:
    // TRUE for WM_SETFONT and WM_GETFONT, with the answer in *pResult.
    BOOL Handle(UINT message, WPARAM wParam, LRESULT* pResult);

private:
    HFONT m_hFont = nullptr;
};
