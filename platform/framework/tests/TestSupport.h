// Helpers of the window tests: pumping without sleeping, the test resource
// library, and a log of what happened in which order.
#pragma once

#include <afxquill.h>

#include "QuiTesting.h"

#include <functional>
#include <string>
#include <vector>

// Dispatches messages as they come, through the framework's own
// pre-translation, until the condition holds or the deadline passes.
inline BOOL FrameworkPreTranslate(MSG* msg)
{
    return AfxPreTranslateMessage(msg);
}

inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000)
{
    return QuiTesting::PumpUntil(done, timeoutMs, nullptr, FrameworkPreTranslate);
}

// Dispatches what is queued now.
inline void PumpPending()
{
    PumpUntil([] { return false; }, 0);
}

// FrameworkTestRes.dll as the resource handle while the object lives.
class TestResources {
public:
    TestResources() : m_hLibrary(::LoadLibrary("FrameworkTestRes.dll")), m_hPrevious(AfxGetResourceHandle())
    {
        if (m_hLibrary)
            AfxSetResourceHandle(m_hLibrary);
    }
    ~TestResources()
    {
        AfxSetResourceHandle(m_hPrevious == AfxGetInstanceHandle() ? nullptr : m_hPrevious);
        if (m_hLibrary)
            ::FreeLibrary(m_hLibrary);
    }
    bool Loaded() const { return m_hLibrary != nullptr; }

private:
    HINSTANCE m_hLibrary;
    HINSTANCE m_hPrevious;
};

// The order in which handlers ran.
struct EventLog {
    std::vector<std::string> entries;
    void Add(const std::string& entry) { entries.push_back(entry); }
    std::string Joined() const
    {
        std::string all;
        for (const std::string& e : entries)
            all += (all.empty() ? "" : ",") + e;
        return all;
    }
    void Clear() { entries.clear(); }
};

// The command ids of the pop-up menu that `open` tracks (empty when none
// opens), read while it shows; the menu is closed again without a choice.
struct TrackedMenu {
    static std::vector<UINT>*& Items()
    {
        static std::vector<UINT>* items = nullptr;
        return items;
    }
    // A thread timer's procedure runs inside the menu's own message loop.
    static void CALLBACK Read(HWND, UINT, UINT_PTR id, DWORD)
    {
        HWND menuWnd = ::FindWindowA("#32768", nullptr);
        HMENU menu = menuWnd ? reinterpret_cast<HMENU>(::SendMessageA(menuWnd, MN_GETHMENU, 0, 0)) : nullptr;
        if (!menu || !Items())
            return;
        for (int i = 0; i < ::GetMenuItemCount(menu); i++)
            Items()->push_back(::GetMenuItemID(menu, i));
        ::KillTimer(nullptr, id);
        ::EndMenu();
    }
};

inline std::vector<UINT> TrackedMenuItems(const std::function<void()>& open)
{
    std::vector<UINT> items;
    TrackedMenu::Items() = &items;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 10, TrackedMenu::Read);
    open();
    PumpPending();
    ::KillTimer(nullptr, timer);
    TrackedMenu::Items() = nullptr;
    return items;
}

// What a person would see wrong among the visible children of a window:
// two that overlap (by more than a pixel each way), one that reaches past
// the window's right edge, a static whose text is wider than the static.
inline std::vector<std::string> LayoutFaults(HWND parent)
{
    struct Child {
        HWND hwnd;
        RECT rect;
        std::string name;
    };
    std::vector<Child> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child))
            continue;
        Child c = {child, {}, ""};
        ::GetWindowRect(child, &c.rect);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&c.rect), 2);
        char cls[64] = "", text[256] = "";
        ::GetClassNameA(child, cls, sizeof cls);
        ::GetWindowTextA(child, text, sizeof text);
        c.name = std::string(cls) + " " + std::to_string(::GetDlgCtrlID(child)) + " \"" + text + "\"";
        children.push_back(c);
    }
    std::vector<std::string> faults;
    RECT client;
    ::GetClientRect(parent, &client);
    for (size_t i = 0; i < children.size(); i++) {
        const Child& a = children[i];
        if (a.rect.right > client.right)
            faults.push_back(a.name + " reaches past the edge");
        for (size_t j = i + 1; j < children.size(); j++) {
            RECT both;
            if (::IntersectRect(&both, &a.rect, &children[j].rect) && both.right - both.left > 1 &&
                both.bottom - both.top > 1)
                faults.push_back(a.name + " overlaps " + children[j].name);
        }
        char cls[64] = "", text[256] = "";
        ::GetClassNameA(a.hwnd, cls, sizeof cls);
        ::GetWindowTextA(a.hwnd, text, sizeof text);
        if (lstrcmpiA(cls, "Static") == 0 && text[0]) {
            HDC dc = ::GetDC(a.hwnd);
            HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(a.hwnd, WM_GETFONT, 0, 0)));
            SIZE extent = {};
            ::GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
            ::SelectObject(dc, previous);
            ::ReleaseDC(a.hwnd, dc);
            if (extent.cx > a.rect.right - a.rect.left)
                faults.push_back(a.name + " cuts its text");
        }
    }
    return faults;
}

// The background a field's edit child is drawn on: what the field answers
// for it, as the edit asks when it paints.
inline COLORREF EditBackground(HWND field, HWND edit)
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SendMessageA(field, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit));
    COLORREF color = ::GetBkColor(dc);
    ::DeleteDC(dc);
    return color;
}

// Whether an edit's text stands whole between its margins, measured in the
// edit's own font.
inline bool EditShowsWhole(HWND edit)
{
    char text[512] = "";
    ::GetWindowTextA(edit, text, sizeof text);
    HDC dc = ::GetDC(edit);
    HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(edit, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
    ::SelectObject(dc, previous);
    ::ReleaseDC(edit, dc);
    const DWORD margins = static_cast<DWORD>(::SendMessageA(edit, EM_GETMARGINS, 0, 0));
    RECT client;
    ::GetClientRect(edit, &client);
    return LOWORD(margins) + extent.cx + HIWORD(margins) < client.right;
}
