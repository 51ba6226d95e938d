#include "FindNotesIni.h"

#include <cstring>

namespace {

// The folder text with "notes.ini" appended, when the file exists there.
bool IniIn(const char* folder, char* out)
{
    char path[MAX_PATH];
    size_t length = std::strlen(folder);
    const char* separator = length && folder[length - 1] == '\\' ? "" : "\\";
    if (length + std::strlen(separator) + sizeof "notes.ini" > sizeof path)
        return false;
    lstrcpyA(path, folder);
    lstrcatA(path, separator);
    lstrcatA(path, "notes.ini");
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return false;
    lstrcpyA(out, path);
    return true;
}

}  // namespace

bool ReadRegistryText(HKEY root, const char* subKey, const char* name, char* buffer, DWORD size)
{
    HKEY key;
    if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD read = size;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &read);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ || read == 0)
        return false;
    buffer[read < size ? read : size - 1] = 0;
    return true;
}

FindNotesIni::FindNotesIni() : registryPath(), dataPath(), found(nullptr)
{
    char folder[MAX_PATH];
    if (!ReadRegistryText(HKEY_LOCAL_MACHINE, NOTES_REGISTRY_KEY, "Path", folder, sizeof folder)) {
        DWORD length = SearchPathA(nullptr, "notes.ini", nullptr, MAX_PATH, registryPath, nullptr);
        if (length > 0 && length < MAX_PATH)
            found = registryPath;
        else
            registryPath[0] = 0;
        return;
    }
    if (IniIn(folder, registryPath)) {
        found = registryPath;
        return;
    }
    if (ReadRegistryText(HKEY_LOCAL_MACHINE, NOTES_REGISTRY_KEY, "DataPath", folder, sizeof folder)
        && IniIn(folder, dataPath))
        found = dataPath;
}
