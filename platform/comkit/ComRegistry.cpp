#include "QuiComRegistry.h"

#include <olectl.h>
#include <shlwapi.h>

#include <cstdio>

namespace {

bool SetKeyValue(const std::string& key, const char* name, const std::string& value)
{
    HKEY handle;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr)
        != ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
    RegCloseKey(handle);
    return rc == ERROR_SUCCESS;
}

bool CreateEmptyKey(const std::string& key)
{
    HKEY handle;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr)
        != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

// A command line without quotes is read up to each blank in turn, so an
// activation of "C:\Program Files\..." would first start "C:\Program.exe".
std::string ServerCommand(const char* modulePath)
{
    const std::string path(modulePath);
    return path.find(' ') == std::string::npos ? path : '"' + path + '"';
}

std::string ReadDefault(const std::string& key)
{
    char value[256];
    LONG size = sizeof value;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), value, &size) != ERROR_SUCCESS)
        return std::string();
    return value;
}

bool DeleteTree(const std::string& key)
{
    DWORD rc = SHDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

std::wstring FolderOf(const wchar_t* path)
{
    std::wstring folder(path);
    size_t slash = folder.find_last_of(L"\\/");
    folder.resize(slash == std::wstring::npos ? 0 : slash);
    return folder;
}

}  // namespace

std::string QuiGuidText(REFGUID guid)
{
    char text[40];
    snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
             static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
             guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

QuiClassRegistration::QuiClassRegistration(const char* description) : m_description(description)
{
}

QuiClassRegistration& QuiClassRegistration::ProgId(const char* progId, const char* description)
{
    m_progId = progId;
    m_progIds.push_back({progId, description, std::string()});
    return *this;
}

QuiClassRegistration& QuiClassRegistration::VersionIndependentProgId(const char* progId, const char* description)
{
    m_versionIndependentProgId = progId;
    m_progIds.push_back({progId, description, m_progId});
    return *this;
}

QuiClassRegistration& QuiClassRegistration::AlsoProgId(const char* progId, const char* description,
                                                       const char* curVer)
{
    m_progIds.push_back({progId, description, curVer ? curVer : ""});
    return *this;
}

QuiClassRegistration& QuiClassRegistration::InprocServer(const char* threadingModel)
{
    m_inproc = true;
    m_threadingModel = threadingModel ? threadingModel : "";
    return *this;
}

QuiClassRegistration& QuiClassRegistration::LocalServer()
{
    m_localServer = true;
    return *this;
}

QuiClassRegistration& QuiClassRegistration::AppId(const GUID& appId)
{
    m_appId = appId;
    return *this;
}

QuiClassRegistration& QuiClassRegistration::Programmable()
{
    m_programmable = true;
    return *this;
}

QuiClassRegistration& QuiClassRegistration::TypeLib()
{
    m_typeLib = true;
    return *this;
}

QuiClassRegistration& QuiClassRegistration::Version(const char* version)
{
    m_version = version;
    return *this;
}

QuiClassRegistration& QuiClassRegistration::Control(const char* miscStatus, int toolboxBitmap)
{
    m_control = true;
    m_miscStatus = miscStatus;
    m_toolboxBitmap = toolboxBitmap;
    return *this;
}

HRESULT QuiClassRegistration::Register(REFCLSID clsid, const char* modulePath, const GUID* libId) const
{
    const std::string clsidText = QuiGuidText(clsid);
    bool ok = true;
    for (const ProgIdKey& key : m_progIds) {
        ok = ok && SetKeyValue(key.name, nullptr, key.description);
        ok = ok && SetKeyValue(key.name + "\\CLSID", nullptr, clsidText);
        if (!key.curVer.empty())
            ok = ok && SetKeyValue(key.name + "\\CurVer", nullptr, key.curVer);
    }

    const std::string base = "CLSID\\" + clsidText;
    ok = ok && SetKeyValue(base, nullptr, m_description);
    if (!m_progId.empty())
        ok = ok && SetKeyValue(base + "\\ProgID", nullptr, m_progId);
    if (!m_versionIndependentProgId.empty())
        ok = ok && SetKeyValue(base + "\\VersionIndependentProgID", nullptr, m_versionIndependentProgId);
    if (m_programmable)
        ok = ok && CreateEmptyKey(base + "\\Programmable");
    if (m_inproc) {
        ok = ok && SetKeyValue(base + "\\InprocServer32", nullptr, modulePath);
        if (!m_threadingModel.empty())
            ok = ok && SetKeyValue(base + "\\InprocServer32", "ThreadingModel", m_threadingModel);
    }
    if (m_localServer)
        ok = ok && SetKeyValue(base + "\\LocalServer32", nullptr, ServerCommand(modulePath));
    if (!IsEqualGUID(m_appId, GUID_NULL))
        ok = ok && SetKeyValue(base, "AppID", QuiGuidText(m_appId));
    if (m_control) {
        ok = ok && CreateEmptyKey(base + "\\Control");
        ok = ok && SetKeyValue(base + "\\MiscStatus", nullptr, "0");
        ok = ok && SetKeyValue(base + "\\MiscStatus\\1", nullptr, m_miscStatus);
        if (m_toolboxBitmap != 0)
            ok = ok && SetKeyValue(base + "\\ToolboxBitmap32", nullptr,
                                   std::string(modulePath) + ", " + std::to_string(m_toolboxBitmap));
    }
    if (m_typeLib && libId)
        ok = ok && SetKeyValue(base + "\\TypeLib", nullptr, QuiGuidText(*libId));
    if (!m_version.empty())
        ok = ok && SetKeyValue(base + "\\Version", nullptr, m_version);
    return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT QuiClassRegistration::Unregister(REFCLSID clsid) const
{
    const std::string clsidText = QuiGuidText(clsid);
    bool ok = true;
    for (const ProgIdKey& key : m_progIds) {
        // A ProgID that another class has taken over since is not ours to remove.
        if (lstrcmpiA(ReadDefault(key.name + "\\CLSID").c_str(), clsidText.c_str()) == 0)
            ok = DeleteTree(key.name) && ok;
    }
    ok = DeleteTree("CLSID\\" + clsidText) && ok;
    return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT QuiRegisterTypeLib(const wchar_t* path, const wchar_t* helpDir)
{
    ITypeLib* lib = nullptr;
    if (FAILED(LoadTypeLibEx(path, REGKIND_NONE, &lib)))
        return SELFREG_E_TYPELIB;
    std::wstring folder = helpDir ? std::wstring(helpDir) : FolderOf(path);
    HRESULT hr = RegisterTypeLib(lib, const_cast<wchar_t*>(path), const_cast<wchar_t*>(folder.c_str()));
    lib->Release();
    return SUCCEEDED(hr) ? S_OK : SELFREG_E_TYPELIB;
}

HRESULT QuiUnregisterTypeLib(const wchar_t* path)
{
    ITypeLib* lib = nullptr;
    if (FAILED(LoadTypeLibEx(path, REGKIND_NONE, &lib)))
        return SELFREG_E_TYPELIB;
    TLIBATTR* attr = nullptr;
    HRESULT hr = lib->GetLibAttr(&attr);
    if (SUCCEEDED(hr)) {
        const std::string key = "TypeLib\\" + QuiGuidText(attr->guid);
        HKEY handle;
        bool registered = RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS;
        if (registered) {
            RegCloseKey(handle);
            hr = UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind);
        }
        lib->ReleaseTLibAttr(attr);
    }
    lib->Release();
    return SUCCEEDED(hr) ? S_OK : SELFREG_E_TYPELIB;
}
