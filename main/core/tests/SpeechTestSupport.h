// What the speech wrapper tests share: the stand-in controls registered in
// the prefix for the test program's run, their call log, the calls they are
// told to fail, and a host window that records what its children send it.
#pragma once

#include <afxquill.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "QuiComTesting.h"
#include "QuiSpeechIds.h"

inline std::string SpeechServerPath()
{
    return QuiComTesting::ProgramFolder() + "QuiSpeech.ocx";
}

inline bool RegisterSpeechServer(bool bRegister)
{
    return QuiComTesting::RunProgram(std::string("regsvr32.exe /s ") + (bRegister ? "" : "/u ") + "\"" +
                                     SpeechServerPath() + "\"") == 0;
}

// The stand-ins' call log, a temporary file while the object lives, and the
// calls they are told to fail (none at first).
class SpeechLog {
public:
    explicit SpeechLog(const char* name)
    {
        char folder[MAX_PATH];
        ::GetTempPathA(MAX_PATH, folder);
        m_path = std::string(folder) + name;
        ::DeleteFileA(m_path.c_str());
        ::SetEnvironmentVariableA(QUI_SPEECH_LOG_VARIABLE, m_path.c_str());
        FailCalls(nullptr);
    }
    ~SpeechLog()
    {
        ::SetEnvironmentVariableA(QUI_SPEECH_LOG_VARIABLE, nullptr);
        FailCalls(nullptr);
        ::DeleteFileA(m_path.c_str());
    }
    SpeechLog(const SpeechLog&) = delete;
    SpeechLog& operator=(const SpeechLog&) = delete;

    static void FailCalls(const char* calls) { ::SetEnvironmentVariableA(QUI_SPEECH_FAIL_VARIABLE, calls); }

    // The calls logged since the last look.
    std::vector<std::string> Take()
    {
        std::vector<std::string> lines;
        std::ifstream in(m_path);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        in.close();
        ::DeleteFileA(m_path.c_str());
        return lines;
    }

private:
    std::string m_path;
};

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Seen& o) const { return message == o.message && wParam == o.wParam && lParam == o.lParam; }
};

inline std::ostream& operator<<(std::ostream& os, const Seen& s)
{
    return os << "{" << (s.message == WM_COMMAND ? "WM_COMMAND" : "WM_NOTIFY") << " " << LOWORD(s.wParam) << "/"
              << HIWORD(s.wParam) << " " << s.lParam << "}";
}

// Keeps every command and notification that reaches the window; answers
// them as handled (kHandled) or lets the window's own handling see them.
template <class Base, BOOL kHandled> class CRecording : public Base {
public:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back({WM_COMMAND, wParam, lParam});
        return kHandled;
    }
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        seen.push_back({WM_NOTIFY, wParam, lParam});
        *pResult = 0;
        return kHandled;
    }
    std::vector<Seen> seen;
};

// A hidden top-level window for the controls.
class CSpeechHost : public CRecording<CWnd, TRUE> {
public:
    BOOL Create() { return CreateEx(0, nullptr, "speech host", WS_POPUP, 0, 0, 320, 200, nullptr, nullptr); }
};

class SpeechTest : public ::testing::Test {
public:
    static void SetUpTestSuite() { ASSERT_TRUE(RegisterSpeechServer(true)); }
    static void TearDownTestSuite() { RegisterSpeechServer(false); }

protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(m_ole);
        AfxEnableControlContainer();
        ASSERT_TRUE(m_host.Create());
    }
    void TearDown() override
    {
        m_host.DestroyWindow();
        if (SUCCEEDED(m_ole))
            ::OleUninitialize();
    }

    static void FailCalls(const char* calls) { SpeechLog::FailCalls(calls); }
    std::vector<std::string> TakeLog() { return m_log.Take(); }

    HWND FirstChild() const { return ::GetWindow(m_host.m_hWnd, GW_CHILD); }

    HRESULT m_ole = ::OleInitialize(nullptr);
    SpeechLog m_log{"quillmate-speech-test.log"};
    CSpeechHost m_host;
};

// The text of a dispatch exception, or "" when the call raised none.
template <class Call> std::string DispatchFailure(Call call)
{
    try {
        call();
    } catch (COleDispatchException* e) {
        std::string text = static_cast<LPCTSTR>(e->m_strDescription);
        e->Delete();
        return text;
    }
    return "";
}
