// What the note box tests share: an application whose preferences the test
// sets, a visible owner window that records what the box sends it, and the
// box made in it as the note window makes it.
#pragma once

#include <afxquill.h>

#include <gtest/gtest.h>

#include <richedit.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "ClientRegistry.h"
#include "NoteBox.h"
#include "OzuPrefs.h"
#include "QuillmateApp.h"
#include "TestSupport.h"

const UINT kNoteBoxId = 110;
const UINT kFileNote = 169;

class CNoteBoxTestApp : public CQuillmateApp {
public:
    CNoteBoxTestApp() : settings(new ClientRegistry), prefs(new COzuPrefs(*settings)) {}
    ~CNoteBoxTestApp() override
    {
        prefs.reset();
        settings.reset();
    }
    CActionNote* CreateNote(BOOL) override { return nullptr; }
    COzuPrefs* GetPrefs() override { return prefs.get(); }

    std::unique_ptr<ClientRegistry> settings;
    std::unique_ptr<COzuPrefs> prefs;
};

struct OwnerSeen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const OwnerSeen& o) const
    {
        return message == o.message && wParam == o.wParam && lParam == o.lParam;
    }
};

inline std::ostream& operator<<(std::ostream& os, const OwnerSeen& s)
{
    return os << "{" << (s.message == WM_COMMAND ? "WM_COMMAND " : "message ") << s.message << " " << LOWORD(s.wParam)
              << "/" << HIWORD(s.wParam) << " " << s.lParam << "}";
}

// The note window's place: keeps the commands and the corner presses it gets.
class CNoteOwner : public CWnd {
public:
    BOOL Create()
    {
        return CreateEx(WS_EX_TOPMOST, nullptr, "note", WS_POPUP | WS_VISIBLE, 40, 40, 320, 240, nullptr, nullptr);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND || message == WM_NCLBUTTONDOWN) {
            seen.push_back({message, wParam, lParam});
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    // The box's reports with code nCode.
    size_t Count(UINT message, WPARAM wParam) const
    {
        return std::count_if(seen.begin(), seen.end(),
                             [&](const OwnerSeen& s) { return s.message == message && s.wParam == wParam; });
    }
    std::vector<OwnerSeen> seen;
};

class NoteBoxFixture {
protected:
    // The box in its owner at the note window's text area, 200 by 100.
    bool MakeBox()
    {
        if (!m_owner.m_hWnd && !m_owner.Create())
            return false;
        m_box.reset(new CNoteBox);
        CRect rect(10, 10, 210, 110);
        if (!m_box->Create(rect, &m_owner, kNoteBoxId))
            return false;
        m_box->ShowWindow(SW_SHOW);
        m_owner.seen.clear();
        return true;
    }
    void EndBox()
    {
        if (m_box)
            m_box->DestroyWindow();
        m_box.reset();
        if (m_owner.m_hWnd)
            m_owner.DestroyWindow();
    }

    HWND Edit() const { return m_box->GetEditWindow(); }
    CString Text() const
    {
        CString text;
        m_box->GetText(text);
        return text;
    }
    CHARRANGE Selection() const
    {
        CHARRANGE range = {};
        ::SendMessage(Edit(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        return range;
    }
    void Select(LONG start, LONG end) const
    {
        CHARRANGE range = {start, end};
        ::SendMessage(Edit(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    }
    // The rich edit's format of characters start to end (exclusive).
    CHARFORMAT2A FormatOf(LONG start, LONG end) const
    {
        CHARRANGE saved = Selection();
        Select(start, end);
        CHARFORMAT2A format = {};
        format.cbSize = sizeof format;
        ::SendMessage(Edit(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        Select(saved.cpMin, saved.cpMax);
        return format;
    }
    // Typed as the keyboard would: through the message loop.
    void Type(const char* text) const
    {
        for (const char* c = text; *c; ++c)
            ::PostMessage(Edit(), WM_CHAR, static_cast<unsigned char>(*c), 1);
        PumpPending();
    }
    size_t Changes() const { return m_owner.Count(WM_COMMAND, MAKEWPARAM(kNoteBoxId, EN_CHANGE)); }

    CNoteBoxTestApp m_app;
    CNoteOwner m_owner;
    std::unique_ptr<CNoteBox> m_box;
};
