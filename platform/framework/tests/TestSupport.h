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
