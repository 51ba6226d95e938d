#include "quifw/OleInit.h"

#include <ole2.h>

namespace {

// The program's GUI thread, once it initialised OLE through AfxOleInit.
DWORD g_dwOleThread = 0;
volatile LONG g_nAppLocks = 0;
BOOL g_bUserCtrl = TRUE;

} // namespace

BOOL AfxOleInit()
{
    if (g_dwOleThread == ::GetCurrentThreadId())
        return TRUE;
    if (FAILED(::OleInitialize(nullptr)))
        return FALSE;
    g_dwOleThread = ::GetCurrentThreadId();
    return TRUE;
}

void AfxOleTerm()
{
    if (g_dwOleThread != ::GetCurrentThreadId())
        return;
    g_dwOleThread = 0;
    ::OleUninitialize();
}

void AfxOleSetUserCtrl(BOOL bUserCtrl)
{
    g_bUserCtrl = bUserCtrl;
}

BOOL AfxOleGetUserCtrl()
{
    return g_bUserCtrl;
}

void AfxOleLockApp()
{
    ::InterlockedIncrement(&g_nAppLocks);
}

void AfxOleUnlockApp()
{
    for (;;) {
        LONG nLocks = g_nAppLocks;
        if (nLocks <= 0)
            return;
        if (::InterlockedCompareExchange(&g_nAppLocks, nLocks - 1, nLocks) == nLocks) {
            if (nLocks == 1 && !AfxOleGetUserCtrl())
                AfxOleOnReleaseAllObjects();
            return;
        }
    }
}

BOOL AfxOleCanExitApp()
{
    return g_nAppLocks == 0;
}

void AfxOleOnReleaseAllObjects()
{
    // Client calls arrive on the GUI thread, but a release may come from
    // anywhere: the quit goes to the thread that runs the message loop.
    if (g_dwOleThread && g_dwOleThread != ::GetCurrentThreadId())
        ::PostThreadMessage(g_dwOleThread, WM_QUIT, 0, 0);
    else
        ::PostQuitMessage(0);
}
