// What the control tests share: a visible host window that records the
// commands its children send, a copy of a window's drawing to read pixels
// from, and real mouse input.
#pragma once

#include <afxquill.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "TestSupport.h"

// Never drawn by the controls, so it tells "left alone" from "painted".
const COLORREF kUntouched = RGB(1, 2, 3);

struct CommandSeen {
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const CommandSeen& o) const { return wParam == o.wParam && lParam == o.lParam; }
};

inline std::ostream& operator<<(std::ostream& os, const CommandSeen& c)
{
    return os << "{id " << LOWORD(c.wParam) << " code " << HIWORD(c.wParam) << " from " << c.lParam << "}";
}

class CHostWnd : public CWnd {
public:
    BOOL Create(int cx = 320, int cy = 200)
    {
        return CreateEx(WS_EX_TOPMOST, nullptr, "host", WS_POPUP | WS_VISIBLE, 40, 40, cx, cy, nullptr, nullptr);
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        commands.push_back({wParam, lParam});
        return TRUE;
    }
    // Keeps the font it is given, as a dialog does, for children that use their parent's.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SETFONT) {
            m_font = reinterpret_cast<HFONT>(wParam);
            return 0;
        }
        if (message == WM_GETFONT)
            return reinterpret_cast<LRESULT>(m_font);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<CommandSeen> commands;

private:
    HFONT m_font = nullptr;
};

// A 32-bit picture of cx by cy pixels filled with kUntouched, to draw into
// and read back.
class Canvas {
public:
    Canvas(int cx, int cy) : m_cx(cx), m_cy(cy)
    {
        BITMAPINFO bmi = {};
        bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB};
        m_dc = ::CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        m_bitmap = ::CreateDIBSection(m_dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_old = ::SelectObject(m_dc, m_bitmap);
        HBRUSH fill = ::CreateSolidBrush(kUntouched);
        RECT all = {0, 0, cx, cy};
        ::FillRect(m_dc, &all, fill);
        ::DeleteObject(fill);
    }
    // The client area of the window.
    explicit Canvas(CWnd& wnd) : Canvas(ClientSize(wnd).cx, ClientSize(wnd).cy) {}
    ~Canvas()
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return m_dc; }
    COLORREF At(int x, int y) const
    {
        ::GdiFlush();
        return ::GetPixel(m_dc, x, y);
    }
    // How many pixels of the rectangle show the colour.
    int Count(COLORREF color, const RECT& area) const
    {
        int n = 0;
        for (int y = area.top; y < area.bottom; y++)
            for (int x = area.left; x < area.right; x++)
                n += At(x, y) == color;
        return n;
    }
    int Count(COLORREF color) const { return Count(color, CRect(0, 0, m_cx, m_cy)); }
    int Width() const { return m_cx; }
    int Height() const { return m_cy; }

private:
    static CSize ClientSize(CWnd& wnd)
    {
        CRect client;
        wnd.GetClientRect(client);
        return client.Size();
    }
    int m_cx;
    int m_cy;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

// What the window paints into its client area, over kUntouched.
class Rendering : public Canvas {
public:
    explicit Rendering(CWnd& wnd) : Canvas(wnd)
    {
        wnd.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Dc()), PRF_CLIENT);
    }
};

// The client area as WM_ERASEBKGND leaves it, and what the window answered.
class Erased : public Canvas {
public:
    explicit Erased(CWnd& wnd) : Canvas(wnd), answer(wnd.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(Dc()))) {}
    LRESULT answer;
};

// The real mouse: moves the cursor to a point of the window and presses or
// releases the left button there.
inline void MouseTo(CWnd& wnd, CPoint client)
{
    wnd.ClientToScreen(&client);
    ::SetCursorPos(client.x, client.y);
}

inline void MouseButton(bool down)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &input, sizeof(input));
}

// What one window is sent through the queue while the object lives, as the
// pump hands it on: how often each of its timers went off, and which mouse
// messages it had. A test waits on these, never on time alone, to know that
// the window has looked at a change (a round of its timer) or had an event.
class MessageWatch {
public:
    explicit MessageWatch(CWnd& wnd) : m_hWnd(wnd.GetSafeHwnd()), m_previous(s_current) { s_current = this; }
    ~MessageWatch() { s_current = m_previous; }
    MessageWatch(const MessageWatch&) = delete;
    MessageWatch& operator=(const MessageWatch&) = delete;

    // Pumps, counting, until done() holds or the deadline passes.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000)
    {
        return QuiTesting::PumpUntil(done, timeoutMs, nullptr, Watch);
    }
    // Pumps until the window's timers went off `rounds` more times.
    bool PumpRounds(int rounds)
    {
        const int until = Ticks() + rounds;
        return PumpUntil([&] { return Ticks() >= until; });
    }
    // Pumps until the window had the message.
    bool PumpUntilSeen(UINT message)
    {
        return PumpUntil([&] { return Seen(message); });
    }

    int Ticks() const
    {
        int total = 0;
        for (const auto& timer : m_ticks)
            total += timer.second;
        return total;
    }
    bool Seen(UINT message) const { return m_seen.count(message) != 0; }
    // The timers that went off, less the one that went off most often (a
    // window's steady tracking timer, say).
    std::vector<UINT_PTR> LesserTimers() const
    {
        UINT_PTR most = 0;
        int count = -1;
        for (const auto& timer : m_ticks) {
            if (timer.second > count) {
                most = timer.first;
                count = timer.second;
            }
        }
        std::vector<UINT_PTR> lesser;
        for (const auto& timer : m_ticks)
            if (timer.first != most)
                lesser.push_back(timer.first);
        return lesser;
    }

private:
    static BOOL Watch(MSG* msg)
    {
        for (MessageWatch* watch = s_current; watch; watch = watch->m_previous) {
            if (msg->hwnd != watch->m_hWnd)
                continue;
            if (msg->message == WM_TIMER)
                ++watch->m_ticks[msg->wParam];
            else
                watch->m_seen.insert(msg->message);
        }
        return AfxPreTranslateMessage(msg);
    }

    HWND m_hWnd;
    MessageWatch* m_previous;
    std::map<UINT_PTR, int> m_ticks;
    std::set<UINT> m_seen;
    static inline MessageWatch* s_current = nullptr;
};
