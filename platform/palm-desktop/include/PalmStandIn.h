// What the running Palm Desktop stand-in (pilot.exe) and its callers share:
// its window, its private message, its settings and its log.
#pragma once
#include <windows.h>

#define PALM_DESKTOP_CLASS "Bell XS-1"
#define PALM_DESKTOP_TITLE "PalmPilot Desktop"
#define PALM_HOTSYNC_TITLE "HotSync Progress"
#define PALM_DESKTOP_PROGRAM "pilot.exe"

// The private message; its wParam says what the sender wants.
#define PALM_DESKTOP_MESSAGE 0xBEC4
enum PalmDesktopRequest { PalmPing = 0, PalmLock = 1, PalmUnlock = 2, PalmPrepareLock = 5 };

// The edit fields of the to-do and memo views, each in a pane of its own.
#define PALM_TODO_EDIT_ID 9027
#define PALM_MEMO_EDIT_ID 16003
// Commands that switch the visible view.
enum PalmDesktopView { PalmViewToDo = 40001, PalmViewMemo = 40002, PalmViewDateBook = 40003 };

// HKEY_CURRENT_USER settings of the stand-in, read when it starts:
//   "PingAnswer"     DWORD, the answer to a ping (default PALM_DESKTOP_MESSAGE)
//   "StartDisabled"  DWORD, non-zero: the main window starts disabled
//   "HangOnPing"     DWORD, non-zero: a ping blocks until the event
//                    PALM_DESKTOP_RELEASE_EVENT is set (at most a minute)
#define PALM_STANDIN_KEY "Software\\Quillmate\\PalmDesktopStandIn"
#define PALM_DESKTOP_RELEASE_EVENT "PalmDesktopStandInRelease"

// The stand-in appends one line per request it handled to this file in its
// current folder (the desktop folder): "ping", "prepare", "lock <user id>",
// "unlock <user id>" and, after an unlock, "reload <user id> todo=<n>
// memo=<n> datebook=<n> address=<n>" with the records it then found.
#define PALM_DESKTOP_LOG "StandIn.log"
