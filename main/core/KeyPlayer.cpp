// PlayKeys: key events into the system input, through a journal-playback hook
// where the system serves one, else through SendInput (Wine, for one, accepts
// the hook and never calls it).
#include "SelectionGrab.h"

namespace {

// How long the hook may stay silent before the keys go another way, how
// often one event may be fetched before playback is given up, and how long
// the whole playback may take.
const DWORD kHookSilenceMs = 300;
const int kMaxFetches = 100;
const DWORD kPlaybackMs = 2000;

struct Playback {
    const DWORD* events = nullptr;
    int count = 0;
    int index = 0;
    int fetches = 0;
    HHOOK hook = nullptr;
    bool called = false;
    bool overrun = false;
};

Playback s_play;

void RemoveHook()
{
    if (s_play.hook)
        ::UnhookWindowsHookEx(s_play.hook);
    s_play.hook = nullptr;
}

BYTE KeyOf(DWORD event)
{
    return static_cast<BYTE>(event & 0xFF);
}

UINT MessageOf(DWORD event)
{
    bool down = (event & QUI_KEY_DOWN) != 0;
    if (event & QUI_KEY_SYSTEM)
        return down ? WM_SYSKEYDOWN : WM_SYSKEYUP;
    return down ? WM_KEYDOWN : WM_KEYUP;
}

LRESULT CALLBACK PlaybackProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code < 0)
        return ::CallNextHookEx(s_play.hook, code, wParam, lParam);
    s_play.called = true;
    if (code == HC_GETNEXT) {
        if (++s_play.fetches > kMaxFetches) {
            s_play.overrun = true;
            RemoveHook();
        }
        EVENTMSG* msg = reinterpret_cast<EVENTMSG*>(lParam);
        if (msg && s_play.index < s_play.count) {
            DWORD event = s_play.events[s_play.index];
            UINT scan = ::MapVirtualKeyA(KeyOf(event), 0);
            msg->message = MessageOf(event);
            msg->paramL = KeyOf(event) | (scan << 8);
            msg->paramH = 1;
            msg->time = ::GetTickCount();
            msg->hwnd = nullptr;
        }
        return 0;
    }
    if (code == HC_SKIP) {
        s_play.fetches = 0;
        if (++s_play.index >= s_play.count)
            RemoveHook();
    }
    return 0;
}

// 1 when the hook played every event, 0 when playback failed or was
// cancelled, -1 when the system never called the hook.
int ServePlayback()
{
    DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                RemoveHook();
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return 0;
            }
            if (msg.message == WM_CANCELJOURNAL) {
                s_play.hook = nullptr;   // the system has removed it
                return 0;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (!s_play.hook)
            return s_play.overrun ? 0 : 1;
        DWORD elapsed = ::GetTickCount() - start;
        if (!s_play.called && elapsed >= kHookSilenceMs) {
            RemoveHook();
            return -1;
        }
        if (elapsed >= kPlaybackMs) {
            RemoveHook();
            return 0;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

BOOL SendKeys(const DWORD* events, int count)
{
    std::vector<INPUT> inputs(count);
    for (int i = 0; i < count; ++i) {
        INPUT& input = inputs[i];
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = KeyOf(events[i]);
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(KeyOf(events[i]), 0));
        input.ki.dwFlags = (events[i] & QUI_KEY_DOWN) ? 0 : KEYEVENTF_KEYUP;
    }
    return ::SendInput(count, inputs.data(), sizeof(INPUT)) == static_cast<UINT>(count);
}

} // namespace

BOOL PlayKeys(const DWORD* events, int count)
{
    if (!events || count <= 0)
        return TRUE;
    s_play = Playback();
    s_play.events = events;
    s_play.count = count;
    s_play.hook = ::SetWindowsHookExA(WH_JOURNALPLAYBACK, &PlaybackProc, ::GetModuleHandleA(nullptr), 0);
    if (s_play.hook) {
        int played = ServePlayback();
        if (played >= 0)
            return played;
    }
    return SendKeys(events, count);
}
