// The modal proxy dialog (resource 101) over the effective settings.
#pragma once
#include <windows.h>

namespace shrike {

// 1 after OK (the choice is stored and in force), 0 otherwise.
int ShowProxyDialog(HWND owner);

}
