// Per-thread state shared by the framework's window code (not public).
#pragma once

#include <memory>
#include <unordered_map>

#include "quifw/Wnd.h"

struct AfxThreadState {
    std::unordered_map<HWND, CWnd*> permanent;
    std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;
    CWnd* pWndInit = nullptr;      // bound to the next window this thread creates
    HHOOK hHookCreate = nullptr;
    MSG current = {};              // the message being handled, for Default()
};

AfxThreadState& AfxGetThreadState();

// The one place where a window meets its object: the object queued here is
// bound to the thread's next new window at HCBT_CREATEWND, before the
// window's first message.
void AfxHookWindowCreate(CWnd* pWnd);
// Drops a queued object that no window took; TRUE when one was dropped.
BOOL AfxUnhookWindowCreate();

// Reports the exception being handled (call it inside a catch block): a
// framework exception reports itself, any other goes to a message box.
void AfxReportUncaughtException();

// Frees the objects FromHandle made for windows without one.
void AfxDeleteTempMaps();

// The framework's default window class and the common controls, once.
LPCTSTR AfxDefaultWndClass();
void AfxInitControls();

HINSTANCE AfxGetModuleInstance();

// A key message for the window or one of its descendants.
BOOL AfxIsKeyboardMessageFor(HWND hWnd, const MSG* pMsg);  // the module this copy of the framework is in
