// The current Palm Desktop user as the access manager found it. The tables
// and the desktop link read it through a reference and never copy it, so a
// user switch reaches them at once.
#pragma once
#include <afxquill.h>

struct PalmUserBlock {
    CString userName;
    CString userPath;      // the user's data folder, ending in a backslash
    CString desktopPath;   // the Palm Desktop folder, ending in a backslash
    unsigned long userId = 0;
};
