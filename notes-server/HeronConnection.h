// The connection of one server object to Notes: the connect sequence, and
// the runtime thread that initialises the Notes runtime once per process and
// holds it until the last worker goes.
#pragma once
#include <windows.h>

#include <memory>

#include "HeronWorker.h"

class HeronConnection {
public:
    HeronConnection() = default;
    ~HeronConnection();
    HeronConnection(const HeronConnection&) = delete;
    HeronConnection& operator=(const HeronConnection&) = delete;

    // Connects; `connected` tells the outcome. Nothing is thrown.
    void ConnectToNotes();

    bool Connected() const { return m_connected != 0; }
    HERON* Worker() const { return m_worker.get(); }

private:
    void Fail();
    void ReleaseWorker();

    int m_connected = 0;
    // Shared with the runtime thread until it is done with the worker: a
    // connect that gave up waiting must not free what the thread writes to.
    std::shared_ptr<HERON> m_worker;
    HANDLE m_connectEvent = nullptr;
    HANDLE m_runtimeThread = nullptr;
};

// The runtime thread's procedure; its argument is a heap copy of the
// connecting worker's shared pointer, which the thread deletes.
DWORD WINAPI NotesRuntimeThread(void* worker);
