#include "HeronConnection.h"

#include <new>

#include "FindNotesIni.h"
#include "HeronOptions.h"

namespace {

HANDLE NamedEvent(int kind)
{
    char name[MAX_PATH] = "";
    BuildHeronEventName(kind, name);
    return CreateEventA(nullptr, FALSE, FALSE, name);
}

void CloseIf(HANDLE& handle)
{
    if (handle)
        CloseHandle(handle);
    handle = nullptr;
}

// The runtime thread keeps the module loaded until its last instruction,
// so that the module may be freed while it winds down.
HMODULE HoldThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&NotesRuntimeThread),
                       &module);
    return module;
}

}  // namespace

HeronConnection::~HeronConnection()
{
    ReleaseWorker();
    CloseIf(m_connectEvent);
    CloseIf(m_runtimeThread);
}

void HeronConnection::ReleaseWorker()
{
    m_worker.reset();
}

void HeronConnection::Fail()
{
    CloseIf(m_connectEvent);
    if (m_worker) {
        m_worker->Shutdown();
        ReleaseWorker();
    } else if (m_runtimeThread) {
        TerminateThread(m_runtimeThread, 0);
    }
    m_connected = 0;
}

void HeronConnection::ConnectToNotes()
{
    // A connect again replaces what an earlier one left, so that neither a
    // worker nor its thread registration nor an event is leaked.
    ReleaseWorker();
    CloseIf(m_connectEvent);
    CloseIf(m_runtimeThread);
    try {
        m_connectEvent = NamedEvent(HERON_EVENT_CONNECT);
        if (!m_connectEvent)
            throw NTS5_ERROR_CANT_CREATE_EVENT;

        m_worker.reset(new (std::nothrow) HERON(0));
        if (!m_worker)
            throw NTS5_ERROR_OUT_OF_MEMORY;
        m_connected = m_worker->LastError().Code() == 0 ? 1 : 0;

        for (int kind = HERON_EVENT_CONNECT; kind <= HERON_EVENT_SHUTDOWN_COMPLETE; ++kind) {
            char name[MAX_PATH] = "";
            BuildHeronEventName(kind, name);
            m_worker->SetEventName(kind, name);
        }

        const bool runtimeUp = LNIsNotesInitialized() != FALSE;
        if (!runtimeUp) {
            auto* share = new std::shared_ptr<HERON>(m_worker);
            HMODULE held = HoldThisModule();
            m_runtimeThread = CreateThread(nullptr, 0, NotesRuntimeThread, share, 0, nullptr);
            if (!m_runtimeThread) {
                delete share;
                if (held)
                    FreeLibrary(held);
                throw NTS5_ERROR_CANT_CREATE_THREAD;
            }
            DWORD waited = WaitForSingleObject(m_connectEvent, HeronOptions::Number(HERON_OPT_WAIT_FOR_NOTES_TIMEOUT));
            if (waited == WAIT_TIMEOUT)
                throw NTS5_ERROR_NOTES_CONNECT_TIMEOUT;
            if (waited != WAIT_OBJECT_0)
                throw NTS5_ERROR_UNKNOWN;
            if (!m_worker->Session().IsInitialised())
                throw NTS5_ERROR_INVALID_CONNECTION;
        }
        // Where another worker's thread holds the runtime already, this
        // worker's registration makes it as usable as that one, so that a
        // later connect of this object answers at once.
        if (m_worker->Session().InitThread() && runtimeUp)
            m_worker->Session().SetInitialised(true);
        m_connected = 1;
    } catch (...) {
        Fail();
    }
}

DWORD WINAPI NotesRuntimeThread(void* argument)
{
    std::unique_ptr<std::shared_ptr<HERON>> share(static_cast<std::shared_ptr<HERON>*>(argument));
    HERON* worker = share->get();
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&NotesRuntimeThread), &module);
    HANDLE connect = nullptr;
    HANDLE shutDown = nullptr;
    HANDLE complete = nullptr;
    {
        LNNotesSession session;
        FindNotesIni ini;
        try {
            connect = NamedEvent(HERON_EVENT_CONNECT);
            shutDown = NamedEvent(HERON_EVENT_SHUTDOWN);
            complete = NamedEvent(HERON_EVENT_SHUTDOWN_COMPLETE);
            if (!connect || !shutDown || !complete)
                throw NTS5_ERROR_CANT_CREATE_EVENT;
            if (!ini.found)
                throw NTS5_ERROR_CANT_FIND_INIFILE;
            if (LNIsNotesInitialized())
                throw NTS5_ERROR_INVALID_CONNECTION;
            LNSTATUS status = session.Initialize(200, 0, nullptr, ini.found);
            HeronOptions::Set(HERON_OPT_LAST_INI_FILE, ini.found);
            worker->Session().SetInitialised(status == 0);
            // Let go of the worker before the signal: from then on only the
            // connecting object owns it, and its release ends the runtime.
            share.reset();
            SetEvent(connect);
            WaitForSingleObject(shutDown, INFINITE);
        } catch (const _NTS5ERROR&) {
            if (share)
                worker->Session().SetInitialised(false);
        } catch (...) {
            if (share)
                worker->Session().SetInitialised(false);
        }
        share.reset();
        // Let the clients' last calls finish before the runtime goes.
        Sleep(500);
        try {
            session.Term(0);
        } catch (...) {
        }
    }
    CloseIf(shutDown);
    CloseIf(connect);
    if (complete) {
        SetEvent(complete);
        CloseHandle(complete);
    }
    FreeLibraryAndExitThread(module, 0);
}
