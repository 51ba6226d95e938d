// Message maps: a static table of rows per class, searched from the most
// derived class to the root. Each row's thunk decodes wParam and lParam once
// and calls a handler with meaningful arguments; a handler whose signature
// does not fit its row does not compile.
//
//   BEGIN_MESSAGE_MAP(CMyWnd, CWnd)
//       ON_WM_CREATE()
//       ON_COMMAND(ID_FILE, OnFile)
//       ON_NOTIFY(LVN_ITEMCHANGED, IDC_LIST, OnListChanged)
//   END_MESSAGE_MAP()
#pragma once

#include "Types.h"

#include <commctrl.h>

class CCmdTarget;
class CWnd;
class CDC;
class CPoint;

// What a thunk gets: the window message as it came, and for commands and
// notifications the id and the notification's block.
struct AFX_MSG {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;
    void* pExtra;          // AFX_NOTIFY* for WM_NOTIFY rows
    LRESULT result;        // window messages: what the window procedure answers
};

// A thunk answers whether it handled the message; only the *_EX rows may say no.
typedef BOOL (*AFX_THUNK)(CCmdTarget* pTarget, AFX_MSG& msg);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;             // WM_xxx, WM_COMMAND or WM_NOTIFY; 0 with pnRegistered
    UINT nCode;                // control notification code of WM_COMMAND and WM_NOTIFY rows
    UINT nID;                  // first and last id of WM_COMMAND and WM_NOTIFY rows
    UINT nLastID;
    const UINT* pnRegistered;  // the variable holding a registered message's number
    AFX_THUNK pfnThunk;        // null ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// The block that WM_NOTIFY rows are given through OnCmdMsg's pExtra.
struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// Filled instead of calling the handler when OnCmdMsg is asked only whether
// a command would be handled.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
    const AFX_MSGMAP_ENTRY* pEntry;
};

// OnCmdMsg's nCode: the WM_COMMAND notification code (0 for menus, buttons and
// accelerators), or for WM_NOTIFY the code in the low word and WM_NOTIFY in the high word.
#define CN_COMMAND 0
#define AFX_NOTIFY_CODE(code) MAKELONG(static_cast<WORD>(code), WM_NOTIFY)

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        using ThisClass [[maybe_unused]] = theClass; \
        using TheBaseClass = baseClass; \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP() \
            {0, 0, 0, 0, nullptr, nullptr}}; \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map; \
    }

namespace afxthunk {

template <class F> struct Owner;
template <class C, class R, class... A> struct Owner<R (C::*)(A...)> {
    typedef C type;
};
template <auto Fn> auto* Target(CCmdTarget* p)
{
    return static_cast<typename Owner<decltype(Fn)>::type*>(p);
}

// Commands and notifications.
template <auto Fn> BOOL Command(CCmdTarget* p, AFX_MSG&) { (Target<Fn>(p)->*Fn)(); return TRUE; }
template <auto Fn> BOOL CommandRange(CCmdTarget* p, AFX_MSG& m) { (Target<Fn>(p)->*Fn)(m.nID); return TRUE; }
template <auto Fn> BOOL Notify(CCmdTarget* p, AFX_MSG& m)
{
    AFX_NOTIFY* n = static_cast<AFX_NOTIFY*>(m.pExtra);
    (Target<Fn>(p)->*Fn)(n->pNMHDR, n->pResult);
    return TRUE;
}
template <auto Fn> BOOL NotifyRange(CCmdTarget* p, AFX_MSG& m)
{
    AFX_NOTIFY* n = static_cast<AFX_NOTIFY*>(m.pExtra);
    (Target<Fn>(p)->*Fn)(m.nID, n->pNMHDR, n->pResult);
    return TRUE;
}
template <auto Fn> BOOL NotifyEx(CCmdTarget* p, AFX_MSG& m)
{
    AFX_NOTIFY* n = static_cast<AFX_NOTIFY*>(m.pExtra);
    return (Target<Fn>(p)->*Fn)(m.nID, n->pNMHDR, n->pResult);
}

// Window messages; the decoders live with CWnd (Wnd.h) because they need it.
template <auto Fn> BOOL Message(CCmdTarget* p, AFX_MSG& m)
{
    m.result = (Target<Fn>(p)->*Fn)(m.wParam, m.lParam);
    return TRUE;
}

} // namespace afxthunk

#define QUIFW_ROW(msg, code, id, last, thunk) \
    {static_cast<UINT>(msg), static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(last), nullptr, thunk},

// Commands (menu items, buttons, accelerators): void fn(); ranges: void fn(UINT id).
#define ON_COMMAND(id, fn) QUIFW_ROW(WM_COMMAND, CN_COMMAND, id, id, &afxthunk::Command<&ThisClass::fn>)
#define ON_COMMAND_RANGE(first, last, fn) \
    QUIFW_ROW(WM_COMMAND, CN_COMMAND, first, last, &afxthunk::CommandRange<&ThisClass::fn>)

// Control notifications that arrive as WM_COMMAND: void fn(); ranges: void fn(UINT id).
#define ON_CONTROL(code, id, fn) QUIFW_ROW(WM_COMMAND, code, id, id, &afxthunk::Command<&ThisClass::fn>)
#define ON_CONTROL_RANGE(code, first, last, fn) \
    QUIFW_ROW(WM_COMMAND, code, first, last, &afxthunk::CommandRange<&ThisClass::fn>)
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_UPDATE(id, fn) ON_CONTROL(EN_UPDATE, id, fn)
#define ON_EN_SETFOCUS(id, fn) ON_CONTROL(EN_SETFOCUS, id, fn)
#define ON_EN_KILLFOCUS(id, fn) ON_CONTROL(EN_KILLFOCUS, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)

// WM_NOTIFY: void fn(NMHDR*, LRESULT*); ranges: void fn(UINT id, NMHDR*, LRESULT*);
// the _EX range returns BOOL, FALSE letting the search go on to later rows and bases.
#define ON_NOTIFY(code, id, fn) \
    QUIFW_ROW(WM_NOTIFY, static_cast<WORD>(code), id, id, &afxthunk::Notify<&ThisClass::fn>)
#define ON_NOTIFY_RANGE(code, first, last, fn) \
    QUIFW_ROW(WM_NOTIFY, static_cast<WORD>(code), first, last, &afxthunk::NotifyRange<&ThisClass::fn>)
#define ON_NOTIFY_EX_RANGE(code, first, last, fn) \
    QUIFW_ROW(WM_NOTIFY, static_cast<WORD>(code), first, last, &afxthunk::NotifyEx<&ThisClass::fn>)

// Any window message, user messages and registered messages: LRESULT fn(WPARAM, LPARAM).
#define ON_MESSAGE(message, fn) QUIFW_ROW(message, 0, 0, 0, &afxthunk::Message<&ThisClass::fn>)
#define ON_REGISTERED_MESSAGE(nMessageVariable, fn) \
    {0, 0, 0, 0, &nMessageVariable, &afxthunk::Message<&ThisClass::fn>},
