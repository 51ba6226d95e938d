// QuiRegUtil: makes sure a COM server of the program's folder is registered
// before it is created by ProgID. The work runs in the constructor.
#pragma once
#include <windows.h>

class QuiRegUtil {
public:
    // Register (bRegister TRUE): with a ProgID and bForce FALSE, a ProgID
    // whose registered server file still exists counts as registered and
    // nothing is done; otherwise `file` is loaded from the program's folder
    // and its "DllRegisterServer" called. Unregister: "DllUnregisterServer"
    // of `file` as named, when the ProgID (if given) is registered.
    QuiRegUtil(const char* file, const char* progId, BOOL bRegister, BOOL bForce);

    // The entry point's result; 0 when none was called.
    HRESULT GetResult() const { return m_result; }
    // TRUE when the server is registered as asked: already, or by a call
    // that succeeded. A file that is missing, lacks the entry point or fails
    // it gives FALSE.
    BOOL Succeeded() const { return m_bSucceeded; }
    BOOL WasCalled() const { return m_bCalled; }

    // The server file registered for a ProgID (its class's InprocServer32),
    // empty when there is none; TRUE when the ProgID's key exists.
    static BOOL RegisteredFile(const char* progId, char* file, DWORD fileLen);

private:
    void Call(const char* path, const char* entry);

    HRESULT m_result = 0;
    BOOL m_bSucceeded = FALSE;
    BOOL m_bCalled = FALSE;
};
