// Dunlin.dll: the uninstaller calls UninstInitialize while it removes the
// product; the whole removal happens there.
#include <windows.h>

#include "Uninstall.h"

extern "C" LONG WINAPI UninstInitialize(HWND, HANDLE, LONG)
{
    try {
        dunlin::Uninstall();
    } catch (...) {
        // Every step is best effort; the uninstaller carries on regardless.
    }
    return 0;
}

extern "C" LONG WINAPI UninstUnInitialize(HWND, HANDLE, LONG)
{
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
