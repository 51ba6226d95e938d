#include "HeronWorker.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

#include "HeronOptions.h"
#include "HeronRes.h"
#include "VariantArray.h"

namespace {

const char* const kEventBases[] = {"HeronConnect", "HeronShutDown", "HeronShutDownComplete"};

volatile LONG g_liveWorkers = 0;
HeronShellExecuteProc g_shellExecute = ShellExecuteA;

HANDLE OpenHeronEvent(int kind)
{
    char name[MAX_PATH] = "";
    BuildHeronEventName(kind, name);
    return CreateEventA(nullptr, FALSE, FALSE, name);
}

// "<context>\r\n<Error:> <code> <message>", at most limit - 1 bytes.
std::string ErrorText(const std::string& context, int code, const std::string& message, size_t limit)
{
    std::string text = context + "\r\n" + HeronString(IDS_ERROR_WORD) + " " + std::to_string(code) + " " + message;
    if (text.size() > limit - 1)
        text.resize(limit - 1);
    return text;
}

}  // namespace

void BuildHeronEventName(int kind, char* out)
{
    if (kind < HERON_EVENT_CONNECT || kind > HERON_EVENT_SHUTDOWN_COMPLETE)
        return;
    // The process's own id: a name shared by every process would let one
    // process's shut-down end another's runtime thread.
    wsprintfA(out, "%s%lu", kEventBases[kind - 1], GetCurrentProcessId());
}

HeronShellExecuteProc SetHeronShellExecute(HeronShellExecuteProc execute)
{
    HeronShellExecuteProc previous = g_shellExecute;
    g_shellExecute = execute ? execute : ShellExecuteA;
    return previous;
}

HERON::HERON(int doInitialize) : m_session(doInitialize)
{
    InterlockedIncrement(&g_liveWorkers);
}

HERON::~HERON()
{
    Close();
    InterlockedDecrement(&g_liveWorkers);
}

LONG HERON::LiveCount()
{
    return g_liveWorkers;
}

void HERON::SetEventName(int kind, const char* name)
{
    if (kind < HERON_EVENT_CONNECT || kind > HERON_EVENT_SHUTDOWN_COMPLETE || !name)
        return;
    std::unique_ptr<char[]> copy(new char[MAX_PATH]);
    lstrcpynA(copy.get(), name, MAX_PATH);
    m_eventNames[kind - 1] = std::move(copy);
}

void HERON::GetEventName(int kind, char* out) const
{
    if (kind >= HERON_EVENT_CONNECT && kind <= HERON_EVENT_SHUTDOWN_COMPLETE && m_eventNames[kind - 1])
        lstrcpynA(out, m_eventNames[kind - 1].get(), MAX_PATH);
}

void HERON::Close()
{
    // A worker whose connect never registered its thread holds no part of
    // the runtime and must not end it for the others.
    if (!m_session.IsThreadRegistered())
        return;
    m_session.TermThread();
    if (HeronCounters::Threads() == 0 && HeronCounters::Initialisations() == 0)
        Shutdown();
}

void HERON::Shutdown()
{
    HANDLE shutDown = OpenHeronEvent(HERON_EVENT_SHUTDOWN);
    HANDLE complete = OpenHeronEvent(HERON_EVENT_SHUTDOWN_COMPLETE);
    if (shutDown) {
        SetEvent(shutDown);
        if (complete)
            WaitForSingleObject(complete, HeronOptions::Number(HERON_OPT_WAIT_FOR_NOTES_TIMEOUT));
        CloseHandle(shutDown);
    }
    if (complete)
        CloseHandle(complete);
}

void HERON::SetError(_NTS5ERROR error, const char*, UINT contextId)
{
    std::string text =
        ErrorText(HeronString(contextId, 256), error.code, HeronString(error.messageId, 1024), 2048);
    m_lastError.Set(HERON_ERROR_SERVER, error.code, text.c_str());
}

void HERON::SetStatusError(LNSTATUS status, const char*, UINT contextId)
{
    if (status == 0)
        return;
    std::string message = LNGetErrorMessageText(status);
    if (message.size() > 1023)
        message.resize(1023);
    std::string text = ErrorText(HeronString(contextId, 1024), status, message, 4096);
    m_lastError.Set(HERON_ERROR_NOTES_STATUS, status, text.c_str());
}

int HERON::OpenNotes()
{
    HINSTANCE started = g_shellExecute(GetDesktopWindow(), "open", "notes.exe", nullptr, "", SW_SHOW);
    // 32 and below are the shell's failures (32: a library it needs is missing).
    if (reinterpret_cast<INT_PTR>(started) > 32)
        return 0;
    SetError(NTS5_ERROR_UNABLE_TO_LAUNCH_NOTES, "OpenNotes", IDS_CTX_OPENING_NOTES);
    return NTS5_ERROR_UNABLE_TO_LAUNCH_NOTES.code;
}

int NotesVersionOfBuild(WORD build)
{
    if (build < 119)
        return -1;
    if (build <= 136)
        return 1;
    if (build == 138)
        return 2;
    if (build >= 140 && build <= 145)
        return 3;
    if (build == 147)
        return 4;
    if (build >= 162)
        return 5;
    return -1;
}

int HERON::NotesVersion()
{
    try {
        WORD build = 0;
        m_session.Session().GetNotesVersion(&build, LNString(""));
        return NotesVersionOfBuild(build);
    } catch (LNSTATUS status) {
        SetStatusError(status, "NotesVersion", 0);
        return -1;
    }
}

void SplitUserName(const char* commonName, std::string parts[3])
{
    for (int i = 0; i < 3; ++i)
        parts[i].clear();
    std::string name = commonName;
    name = name.substr(0, name.find('/'));
    size_t blank = name.find(' ');
    parts[0] = name.substr(0, blank);
    if (blank != std::string::npos) {
        std::string rest = name.substr(blank + 1);
        parts[1] = rest.substr(0, rest.find(' '));
    }
}

int HERON::UserInfo(VARIANT* out)
{
    return Recorded(IDS_CTX_PROFILE, [&]() -> int {
        LNString user;
        m_session.Session().GetUserNameText(&user);
        if (!LNNotes().DNParse)
            throw static_cast<LNSTATUS>(LNERR_NO_FUNCTION);
        DN_COMPONENTS components = {};
        const std::string name = LNToLmbcs(user.GetPlatformTextPtr());
        if (STATUS status = LNNotes().DNParse(0, nullptr, name.c_str(), &components, sizeof components))
            throw static_cast<LNSTATUS>(status);
        // Three empty names would read as a user without a name.
        if (!components.CN || components.CNLength == 0)
            throw NTS5_ERROR_CONTACT_MISSING_INFORMATION;
        std::string parts[3];
        SplitUserName(LNToNative(std::string(components.CN, components.CNLength)).c_str(), parts);
        QuiMakeStringArray(out);
        for (const std::string& part : parts)
            QuiAppendAnsiString(out, part.c_str());
        return 0;
    });
}
