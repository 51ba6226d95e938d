// Helpers for tests of COM servers: load a server file as a client's COM
// runtime would, read the registry, run a program, call IDispatch members.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <initializer_list>
#include <string>
#include <utility>

namespace QuiComTesting {

// COM on the test's thread for the test's lifetime.
class Apartment {
public:
    Apartment() : m_hr(CoInitialize(nullptr)) {}
    ~Apartment()
    {
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }
    HRESULT Result() const { return m_hr; }

private:
    HRESULT m_hr;
};

// An owned interface pointer.
template <class T>
class Ptr {
public:
    Ptr() = default;
    Ptr(const Ptr&) = delete;
    Ptr& operator=(const Ptr&) = delete;
    Ptr(Ptr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ~Ptr() { Reset(); }
    void Reset()
    {
        if (m_p)
            m_p->Release();
        m_p = nullptr;
    }
    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    T** Out()
    {
        Reset();
        return &m_p;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }

private:
    T* m_p = nullptr;
};

// A server file loaded by path, its entry points looked up by name.
class ServerLibrary {
public:
    explicit ServerLibrary(const char* file) : m_module(LoadLibraryA(file)) {}
    ~ServerLibrary()
    {
        if (m_module)
            FreeLibrary(m_module);
    }
    ServerLibrary(const ServerLibrary&) = delete;
    ServerLibrary& operator=(const ServerLibrary&) = delete;

    bool Loaded() const { return m_module != nullptr; }
    HMODULE Module() const { return m_module; }

    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) const
    {
        auto entry = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
            GetProcAddress(m_module, "DllGetClassObject"));
        return entry ? entry(clsid, iid, out) : E_NOTIMPL;
    }
    HRESULT CanUnloadNow() const { return CallNoArgs("DllCanUnloadNow"); }
    HRESULT Register() const { return CallNoArgs("DllRegisterServer"); }
    HRESULT Unregister() const { return CallNoArgs("DllUnregisterServer"); }

    HRESULT Create(REFCLSID clsid, REFIID iid, void** out) const
    {
        Ptr<IClassFactory> factory;
        HRESULT hr = GetClassObject(clsid, IID_IClassFactory, factory.OutVoid());
        return SUCCEEDED(hr) ? factory->CreateInstance(nullptr, iid, out) : hr;
    }

private:
    HRESULT CallNoArgs(const char* name) const
    {
        auto entry = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(m_module, name));
        return entry ? entry() : E_NOTIMPL;
    }

    HMODULE m_module;
};

// The folder of the running test program, with a trailing backslash.
inline std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

inline bool KeyExists(HKEY root, const std::string& key)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

// A REG_SZ value ("" names the default value); "<missing>" when absent.
inline std::string RegText(HKEY root, const std::string& key, const char* name = "")
{
    char value[1024];
    DWORD size = sizeof value;
    DWORD type = 0;
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return "<missing>";
    LONG rc = RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(handle);
    if (rc != ERROR_SUCCESS || type != REG_SZ)
        return "<missing>";
    return std::string(value, size > 0 ? size - 1 : 0);
}

// Runs a command line and answers its exit code, or -1 when it could not run.
inline int RunProgram(const std::string& commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

// A BSTR argument that frees itself once the call is made.
class Bstr {
public:
    explicit Bstr(const wchar_t* text) : m_text(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    operator BSTR() const { return m_text; }

private:
    BSTR m_text;
};

// A vector of BSTRs as a script hands a list of texts over.
inline SAFEARRAY* TextArray(std::initializer_list<const wchar_t*> texts)
{
    SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(texts.size()));
    LONG index = 0;
    for (const wchar_t* text : texts) {
        SafeArrayPutElement(array, &index, Bstr(text));
        ++index;
    }
    return array;
}

// A VARIANT that clears itself.
class Variant : public VARIANT {
public:
    Variant() { VariantInit(this); }
    explicit Variant(long value) : Variant()
    {
        vt = VT_I4;
        lVal = value;
    }
    explicit Variant(const wchar_t* text) : Variant()
    {
        vt = VT_BSTR;
        bstrVal = SysAllocString(text);
    }
    ~Variant() { VariantClear(this); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
};

// The exception a late-bound call raised, its texts freed with it.
struct ExcepInfo : EXCEPINFO {
    ExcepInfo() : EXCEPINFO() {}
    ~ExcepInfo()
    {
        SysFreeString(bstrSource);
        SysFreeString(bstrDescription);
        SysFreeString(bstrHelpFile);
    }
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
};

inline HRESULT GetProperty(IDispatch* object, DISPID id, VARIANT* value, EXCEPINFO* error = nullptr)
{
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VariantClear(value);
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value, error, nullptr);
}

inline HRESULT PutProperty(IDispatch* object, DISPID id, const VARIANT& value, EXCEPINFO* error = nullptr)
{
    DISPID named = DISPID_PROPERTYPUT;
    VARIANT arg = value;
    DISPPARAMS params = {&arg, &named, 1, 1};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, error,
                          nullptr);
}

// Arguments in the caller's order; IDispatch wants them last first.
inline HRESULT CallMethod(IDispatch* object, DISPID id, std::initializer_list<const VARIANT*> args,
                          VARIANT* result = nullptr, EXCEPINFO* error = nullptr)
{
    VARIANT reversed[8];
    UINT count = 0;
    for (const VARIANT* arg : args)
        reversed[args.size() - 1 - count++] = *arg;
    DISPPARAMS params = {count ? reversed : nullptr, nullptr, count, 0};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, error, nullptr);
}

// The error information a member left, as a late-bound caller reads it.
struct ErrorRecord {
    bool present = false;
    std::wstring description;
    std::wstring source;
    GUID guid = GUID_NULL;
    DWORD helpContext = 0;
};

// Takes the thread's error information; nothing present when none was left.
inline ErrorRecord LastError()
{
    ErrorRecord error;
    Ptr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Out()) != S_OK || !info)
        return error;
    error.present = true;
    auto text = [](HRESULT (STDMETHODCALLTYPE IErrorInfo::*get)(BSTR*), IErrorInfo* from) {
        BSTR got = nullptr;
        (from->*get)(&got);
        std::wstring result = got ? std::wstring(got, SysStringLen(got)) : std::wstring();
        SysFreeString(got);
        return result;
    };
    error.description = text(&IErrorInfo::GetDescription, info.Get());
    error.source = text(&IErrorInfo::GetSource, info.Get());
    info->GetGUID(&error.guid);
    info->GetHelpContext(&error.helpContext);
    return error;
}

inline DISPID IdOfName(IDispatch* object, const wchar_t* name)
{
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
    return id;
}

}  // namespace QuiComTesting
