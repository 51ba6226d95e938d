// The COM module of a server: its class table, its lock count, the entry
// points behind DllGetClassObject, DllCanUnloadNow, DllRegisterServer and
// DllUnregisterServer, class objects of a local server, and the type
// library carried as resource 1.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>
#include <vector>

class QuiClassRegistration;

typedef HRESULT (*QuiCreateFunc)(REFIID riid, void** ppv);

// One row of a server's class table: {CLSID, create}, and the keys the
// class registers (null when it registers none).
struct QuiClassEntry {
    const CLSID* clsid;
    QuiCreateFunc create;
    const QuiClassRegistration* registration;
};

struct QuiServerInfo {
    const QuiClassEntry* classes;  // ends with a row whose clsid is null
    const GUID* typeLib;           // identifier of type library resource 1; null: none
    bool unregisterTypeLib;        // whether unregistration also removes the type library's keys
};

class QuiComModule {
public:
    QuiComModule();
    ~QuiComModule();
    QuiComModule(const QuiComModule&) = delete;
    QuiComModule& operator=(const QuiComModule&) = delete;

    // The body of a server's DllMain: Init at process attach, Term at detach.
    BOOL DllMain(HINSTANCE instance, DWORD reason, void* reserved, const QuiServerInfo& server);
    void Init(HINSTANCE instance, const QuiServerInfo& server);
    void Term();

    HINSTANCE Instance() const { return m_instance; }
    std::wstring ModulePath() const;

    // Every live object, every class object handed out by GetClassObject and
    // every IClassFactory::LockServer(TRUE) holds one lock. A program serving
    // as a local server may route the lock to its own (the application lock).
    LONG Lock();
    LONG Unlock();
    LONG LockCount() const { return m_locks; }
    void SetLockHooks(LONG (*lock)(), LONG (*unlock)());

    HRESULT CanUnloadNow() const;
    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv);
    HRESULT RegisterServer();
    HRESULT UnregisterServer();

    // Local server: every class of the table with CoRegisterClassObject.
    HRESULT RegisterClassObjects(DWORD context, DWORD flags);
    void RevokeClassObjects();

    // The type library of resource 1 and its type descriptions, loaded once.
    HRESULT GetTypeLib(ITypeLib** out);
    HRESULT GetTypeInfo(REFGUID guid, ITypeInfo** out);

    const QuiClassEntry* FindClass(REFCLSID clsid) const;

private:
    void ReleaseTypeInfo();

    HINSTANCE m_instance = nullptr;
    const QuiServerInfo* m_server = nullptr;
    volatile LONG m_locks = 0;
    LONG (*m_lockHook)() = nullptr;
    LONG (*m_unlockHook)() = nullptr;
    CRITICAL_SECTION m_typeLock;
    ITypeLib* m_typeLib = nullptr;
    std::vector<std::pair<GUID, ITypeInfo*>> m_typeInfos;
    std::vector<DWORD> m_registeredObjects;
};

// The module of the binary this code is linked into.
QuiComModule& QuiModule();
