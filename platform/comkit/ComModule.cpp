#include "QuiComModule.h"

#include <olectl.h>

#include <new>

#include "QuiComRegistry.h"

namespace {

// The class object of one row of the class table. Those handed to in-process
// clients hold a module lock, so the library stays loaded while a client
// holds one; those registered by a local server do not, or the program
// could never end.
class ClassFactory final : public IClassFactory {
public:
    ClassFactory(const QuiClassEntry& entry, bool holdsLock) : m_entry(entry), m_holdsLock(holdsLock)
    {
        if (m_holdsLock)
            QuiModule().Lock();
    }
    ~ClassFactory()
    {
        if (m_holdsLock)
            QuiModule().Unlock();
    }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_refs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG left = InterlockedDecrement(&m_refs);
        if (left == 0)
            delete this;
        return left;
    }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return m_entry.create(riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            QuiModule().Lock();
        else
            QuiModule().Unlock();
        return S_OK;
    }

private:
    const QuiClassEntry& m_entry;
    bool m_holdsLock;
    LONG m_refs = 1;
};

}  // namespace

QuiComModule& QuiModule()
{
    static QuiComModule module;
    return module;
}

QuiComModule::QuiComModule()
{
    InitializeCriticalSection(&m_typeLock);
}

QuiComModule::~QuiComModule()
{
    DeleteCriticalSection(&m_typeLock);
}

BOOL QuiComModule::DllMain(HINSTANCE instance, DWORD reason, void* reserved, const QuiServerInfo& server)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        Init(instance, server);
    } else if (reason == DLL_PROCESS_DETACH) {
        // At process exit other libraries may be gone already: leave the
        // type descriptions to the end of the process.
        if (!reserved)
            Term();
    }
    return TRUE;
}

void QuiComModule::Init(HINSTANCE instance, const QuiServerInfo& server)
{
    m_instance = instance;
    m_server = &server;
}

void QuiComModule::Term()
{
    ReleaseTypeInfo();
}

std::wstring QuiComModule::ModulePath() const
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(m_instance, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0)
            return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

LONG QuiComModule::Lock()
{
    LONG count = InterlockedIncrement(&m_locks);
    return m_lockHook ? m_lockHook() : count;
}

LONG QuiComModule::Unlock()
{
    LONG count = InterlockedDecrement(&m_locks);
    return m_unlockHook ? m_unlockHook() : count;
}

void QuiComModule::SetLockHooks(LONG (*lock)(), LONG (*unlock)())
{
    m_lockHook = lock;
    m_unlockHook = unlock;
}

HRESULT QuiComModule::CanUnloadNow() const
{
    return m_locks == 0 ? S_OK : S_FALSE;
}

const QuiClassEntry* QuiComModule::FindClass(REFCLSID clsid) const
{
    if (!m_server)
        return nullptr;
    for (const QuiClassEntry* row = m_server->classes; row->clsid; ++row) {
        if (IsEqualCLSID(clsid, *row->clsid))
            return row;
    }
    return nullptr;
}

HRESULT QuiComModule::GetClassObject(REFCLSID clsid, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    const QuiClassEntry* entry = FindClass(clsid);
    if (!entry)
        return CLASS_E_CLASSNOTAVAILABLE;
    ClassFactory* factory = new (std::nothrow) ClassFactory(*entry, true);
    if (!factory)
        return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

HRESULT QuiComModule::RegisterServer()
{
    if (!m_server)
        return E_UNEXPECTED;
    std::wstring path = ModulePath();
    int size = WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string pathA(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, &pathA[0], size, nullptr, nullptr);

    HRESULT hr = S_OK;
    for (const QuiClassEntry* row = m_server->classes; row->clsid && SUCCEEDED(hr); ++row) {
        if (row->registration)
            hr = row->registration->Register(*row->clsid, pathA.c_str(), m_server->typeLib);
    }
    if (SUCCEEDED(hr) && m_server->typeLib)
        hr = QuiRegisterTypeLib(path.c_str());
    if (FAILED(hr)) {
        // Leave no half-registered server behind.
        UnregisterServer();
    }
    return hr;
}

HRESULT QuiComModule::UnregisterServer()
{
    if (!m_server)
        return E_UNEXPECTED;
    HRESULT hr = S_OK;
    for (const QuiClassEntry* row = m_server->classes; row->clsid; ++row) {
        if (row->registration) {
            HRESULT one = row->registration->Unregister(*row->clsid);
            if (FAILED(one))
                hr = one;
        }
    }
    if (m_server->typeLib && m_server->unregisterTypeLib) {
        HRESULT one = QuiUnregisterTypeLib(ModulePath().c_str());
        if (FAILED(one))
            hr = one;
    }
    return hr;
}

HRESULT QuiComModule::RegisterClassObjects(DWORD context, DWORD flags)
{
    if (!m_server)
        return E_UNEXPECTED;
    for (const QuiClassEntry* row = m_server->classes; row->clsid; ++row) {
        ClassFactory* factory = new (std::nothrow) ClassFactory(*row, false);
        if (!factory) {
            RevokeClassObjects();
            return E_OUTOFMEMORY;
        }
        DWORD cookie = 0;
        HRESULT hr = CoRegisterClassObject(*row->clsid, factory, context, flags, &cookie);
        factory->Release();
        if (FAILED(hr)) {
            RevokeClassObjects();
            return hr;
        }
        m_registeredObjects.push_back(cookie);
    }
    return S_OK;
}

void QuiComModule::RevokeClassObjects()
{
    for (DWORD cookie : m_registeredObjects)
        CoRevokeClassObject(cookie);
    m_registeredObjects.clear();
}

HRESULT QuiComModule::GetTypeLib(ITypeLib** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    EnterCriticalSection(&m_typeLock);
    HRESULT hr = S_OK;
    if (!m_typeLib)
        hr = LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &m_typeLib);
    if (SUCCEEDED(hr)) {
        m_typeLib->AddRef();
        *out = m_typeLib;
    }
    LeaveCriticalSection(&m_typeLock);
    return hr;
}

HRESULT QuiComModule::GetTypeInfo(REFGUID guid, ITypeInfo** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    ITypeLib* lib = nullptr;
    HRESULT hr = GetTypeLib(&lib);
    if (FAILED(hr))
        return hr;
    EnterCriticalSection(&m_typeLock);
    for (auto& known : m_typeInfos) {
        if (IsEqualGUID(known.first, guid)) {
            *out = known.second;
            break;
        }
    }
    if (!*out) {
        hr = lib->GetTypeInfoOfGuid(guid, out);
        if (SUCCEEDED(hr)) {
            try {
                m_typeInfos.emplace_back(guid, *out);
            } catch (...) {
                (*out)->Release();
                *out = nullptr;
                hr = E_OUTOFMEMORY;
            }
        }
    }
    if (*out)
        (*out)->AddRef();
    LeaveCriticalSection(&m_typeLock);
    lib->Release();
    return hr;
}

void QuiComModule::ReleaseTypeInfo()
{
    EnterCriticalSection(&m_typeLock);
    for (auto& known : m_typeInfos)
        known.second->Release();
    m_typeInfos.clear();
    if (m_typeLib)
        m_typeLib->Release();
    m_typeLib = nullptr;
    LeaveCriticalSection(&m_typeLock);
}
