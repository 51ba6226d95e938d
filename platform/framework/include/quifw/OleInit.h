// OLE on the program's thread, and the application lock that keeps a
// program running while automation clients hold its objects.
#pragma once

#include "Types.h"

// Initialises OLE on the calling thread, once; FALSE when it cannot (the
// thread is in another apartment). AfxWinMain undoes it when the program
// ends; a program without AfxWinMain calls AfxOleTerm.
BOOL AfxOleInit();
void AfxOleTerm();

// The user-control flag: TRUE unless the program was started by COM for a
// client ("Embedding" or "Automation" on the command line, noted by
// CWinApp::ParseCommandLine).
void AfxOleSetUserCtrl(BOOL bUserCtrl);
BOOL AfxOleGetUserCtrl();

// The application lock, one count per object or client that needs the
// program. When the last one goes while the user has no control of the
// program, the program ends (AfxOleOnReleaseAllObjects).
void AfxOleLockApp();
void AfxOleUnlockApp();                    // an unlock without a lock is ignored
BOOL AfxOleCanExitApp();                   // no lock held
// Ends the program's message loop: WM_QUIT to the thread that called
// AfxOleInit (the calling thread when none did).
void AfxOleOnReleaseAllObjects();
