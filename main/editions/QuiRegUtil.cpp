#include "QuiRegUtil.h"

#include <string>

#include "FileUtil.h"

namespace {

BOOL ReadDefaultValue(HKEY root, const std::string& key, char* out, DWORD outLen)
{
    out[0] = '\0';
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return FALSE;
    DWORD type = 0;
    DWORD size = outLen - 1;
    LONG result = RegQueryValueExA(handle, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(out), &size);
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        out[0] = '\0';
        return FALSE;
    }
    out[size < outLen ? size : outLen - 1] = '\0';
    return TRUE;
}

BOOL FileExists(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

BOOL QuiRegUtil::RegisteredFile(const char* progId, char* file, DWORD fileLen)
{
    file[0] = '\0';
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, progId, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return FALSE;
    RegCloseKey(handle);
    char clsid[64];
    if (ReadDefaultValue(HKEY_CLASSES_ROOT, std::string(progId) + "\\CLSID", clsid, sizeof clsid)) {
        char path[MAX_PATH + 2];
        if (ReadDefaultValue(HKEY_CLASSES_ROOT, std::string("CLSID\\") + clsid + "\\InprocServer32", path,
                             sizeof path)) {
            // Registrars may quote the path.
            std::string text = path;
            if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
                text = text.substr(1, text.size() - 2);
            lstrcpynA(file, text.c_str(), static_cast<int>(fileLen));
        }
    }
    return TRUE;
}

QuiRegUtil::QuiRegUtil(const char* file, const char* progId, BOOL bRegister, BOOL bForce)
{
    if (!file)
        return;
    if (bRegister) {
        if (progId && !bForce) {
            char registered[MAX_PATH];
            // A ProgID whose server file has gone (moved, removed with an
            // older install) is registered again from here.
            if (RegisteredFile(progId, registered, sizeof registered) && FileExists(registered)) {
                m_bSucceeded = TRUE;
                return;
            }
        }
        char path[MAX_PATH];
        if (!GetModulePath(file, path, sizeof path))
            return;
        Call(path, "DllRegisterServer");
    } else {
        char registered[MAX_PATH];
        if (progId && !RegisteredFile(progId, registered, sizeof registered))
            return;
        Call(file, "DllUnregisterServer");
    }
}

void QuiRegUtil::Call(const char* path, const char* entry)
{
    HMODULE library = LoadLibraryA(path);
    if (!library)
        return;
    typedef HRESULT(STDAPICALLTYPE * Entry)();
    Entry call = reinterpret_cast<Entry>(GetProcAddress(library, entry));
    if (call) {
        m_result = call();
        m_bCalled = TRUE;
        m_bSucceeded = SUCCEEDED(m_result);
    }
    FreeLibrary(library);
}
