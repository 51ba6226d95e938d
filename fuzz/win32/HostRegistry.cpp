#include "windows.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>

struct HostRegistryKey {
    std::string path;  // root and key path, lower case
};

namespace {

struct Value {
    std::string name;
    DWORD type;
    std::vector<BYTE> bytes;
};

struct Key {
    std::vector<Value> values;  // in the order they were first set
    bool locked = false;
};

std::map<std::string, Key> g_keys;
std::set<std::string> g_files;
int g_open = 0;

std::string Lower(std::string text)
{
    for (char& c : text)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    return text;
}

bool IsRoot(HKEY key)
{
    return key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE;
}

// The full path below a root or an open key; empty when the handle is bad.
std::string PathOf(HKEY key, const char* subKey)
{
    std::string path;
    if (IsRoot(key))
        path = std::to_string(reinterpret_cast<uintptr_t>(key));
    else if (key)
        path = key->path;
    else
        return std::string();
    std::string below = Lower(subKey ? subKey : "");
    while (!below.empty() && below.back() == '\\')
        below.pop_back();
    if (!below.empty())
        path += "\\" + below;
    return path;
}

HKEY Open(const std::string& path)
{
    ++g_open;
    return new HostRegistryKey{path};
}

Key* Find(HKEY key)
{
    if (!key)
        return nullptr;
    auto found = g_keys.find(IsRoot(key) ? PathOf(key, nullptr) : key->path);
    return found == g_keys.end() ? nullptr : &found->second;
}

Value* FindValue(Key& key, const char* name)
{
    const std::string wanted = Lower(name ? name : "");
    for (Value& value : key.values)
        if (Lower(value.name) == wanted)
            return &value;
    return nullptr;
}

// The names of the keys right below path, sorted.
std::vector<std::string> Children(const std::string& path)
{
    std::vector<std::string> names;
    const std::string prefix = path + "\\";
    for (const auto& entry : g_keys) {
        if (entry.first.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::string rest = entry.first.substr(prefix.size());
        rest = rest.substr(0, rest.find('\\'));
        if (names.empty() || names.back() != rest)
            names.push_back(rest);
    }
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

LONG CopyOut(const std::string& text, LPSTR name, LPDWORD length)
{
    if (!name || !length)
        return ERROR_INVALID_PARAMETER;
    if (text.size() + 1 > *length)
        return ERROR_MORE_DATA;
    std::memcpy(name, text.c_str(), text.size() + 1);
    *length = static_cast<DWORD>(text.size());
    return ERROR_SUCCESS;
}

} // namespace

LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD, REGSAM, PHKEY result)
{
    const std::string path = PathOf(root, subKey);
    auto found = g_keys.find(path);
    if (path.empty() || found == g_keys.end())
        return ERROR_FILE_NOT_FOUND;
    if (found->second.locked)
        return ERROR_ACCESS_DENIED;
    *result = Open(path);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY root, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY result,
                     LPDWORD disposition)
{
    const std::string path = PathOf(root, subKey);
    if (path.empty())
        return ERROR_INVALID_HANDLE;
    auto found = g_keys.find(path);
    if (found != g_keys.end() && found->second.locked)
        return ERROR_ACCESS_DENIED;
    if (disposition)
        *disposition = found == g_keys.end() ? 1 : 2;
    // Every key on the way exists afterwards.
    for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
        g_keys[path.substr(0, at)];
    g_keys[path];
    *result = Open(path);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyA(HKEY root, LPCSTR subKey, PHKEY result)
{
    return RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, result, nullptr);
}

LONG RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size)
{
    Key* held = Find(key);
    if (!held)
        return ERROR_INVALID_HANDLE;
    Value* value = FindValue(*held, name);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value->type;
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    const DWORD capacity = size ? *size : 0;
    if (size)
        *size = static_cast<DWORD>(value->bytes.size());
    if (!data)
        return ERROR_SUCCESS;
    if (value->bytes.size() > capacity)
        return ERROR_MORE_DATA;
    if (!value->bytes.empty())
        std::memcpy(data, value->bytes.data(), value->bytes.size());
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size)
{
    Key* held = Find(key);
    if (!held)
        return ERROR_INVALID_HANDLE;
    std::vector<BYTE> bytes(data, data + (data ? size : 0));
    if (Value* value = FindValue(*held, name)) {
        value->type = type;
        value->bytes = bytes;
    } else {
        held->values.push_back({name ? name : "", type, bytes});
    }
    return ERROR_SUCCESS;
}

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD, LPDWORD type, LPBYTE data,
                   LPDWORD size)
{
    Key* held = Find(key);
    if (!held)
        return ERROR_INVALID_HANDLE;
    if (index >= held->values.size())
        return ERROR_NO_MORE_ITEMS;
    const Value& value = held->values[index];
    LONG result = CopyOut(value.name, name, nameLength);
    if (result != ERROR_SUCCESS)
        return result;
    if (type)
        *type = value.type;
    if (size) {
        const DWORD capacity = *size;
        *size = static_cast<DWORD>(value.bytes.size());
        if (data && value.bytes.size() > capacity)
            return ERROR_MORE_DATA;
        if (data && !value.bytes.empty())
            std::memcpy(data, value.bytes.data(), value.bytes.size());
    }
    return ERROR_SUCCESS;
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD, LPSTR, LPDWORD, void*)
{
    if (!Find(key))
        return ERROR_INVALID_HANDLE;
    const std::vector<std::string> names = Children(IsRoot(key) ? PathOf(key, nullptr) : key->path);
    if (index >= names.size())
        return ERROR_NO_MORE_ITEMS;
    return CopyOut(names[index], name, nameLength);
}

LONG RegCloseKey(HKEY key)
{
    if (IsRoot(key))
        return ERROR_SUCCESS;
    if (!key)
        return ERROR_INVALID_HANDLE;
    --g_open;
    delete key;
    return ERROR_SUCCESS;
}

LPSTR lstrcpyA(LPSTR to, LPCSTR from)
{
    return std::strcpy(to, from);
}

LPSTR lstrcatA(LPSTR to, LPCSTR from)
{
    return std::strcat(to, from);
}

LPSTR lstrcpynA(LPSTR to, LPCSTR from, int capacity)
{
    if (capacity <= 0)
        return to;
    int i = 0;
    for (; i + 1 < capacity && from[i]; ++i)
        to[i] = from[i];
    to[i] = '\0';
    return to;
}

int lstrlenA(LPCSTR text)
{
    return text ? static_cast<int>(std::strlen(text)) : 0;
}

DWORD GetFileAttributesA(LPCSTR path)
{
    return path && g_files.count(Lower(path)) ? FILE_ATTRIBUTE_NORMAL : INVALID_FILE_ATTRIBUTES;
}

DWORD SearchPathA(LPCSTR, LPCSTR file, LPCSTR, DWORD capacity, LPSTR buffer, LPSTR* filePart)
{
    for (const std::string& path : g_files) {
        const size_t slash = path.rfind('\\');
        if (Lower(file) != path.substr(slash == std::string::npos ? 0 : slash + 1))
            continue;
        if (path.size() + 1 > capacity)
            return static_cast<DWORD>(path.size() + 1);
        std::memcpy(buffer, path.c_str(), path.size() + 1);
        if (filePart)
            *filePart = buffer + (slash == std::string::npos ? 0 : slash + 1);
        return static_cast<DWORD>(path.size());
    }
    return 0;
}

DWORD ExpandEnvironmentStringsA(LPCSTR from, LPSTR to, DWORD capacity)
{
    // No variables here: the text comes back as it is.
    const DWORD needed = static_cast<DWORD>(std::strlen(from) + 1);
    if (to && capacity >= needed)
        std::memcpy(to, from, needed);
    return needed;
}

namespace host_registry {

void Clear()
{
    g_keys.clear();
    g_files.clear();
}

void SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
              const std::vector<BYTE>& bytes)
{
    HKEY key = nullptr;
    const bool locked = g_keys.count(PathOf(root, path.c_str())) && g_keys[PathOf(root, path.c_str())].locked;
    g_keys[PathOf(root, path.c_str())].locked = false;
    if (RegCreateKeyA(root, path.c_str(), &key) == ERROR_SUCCESS) {
        RegSetValueExA(key, name.c_str(), 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    }
    g_keys[PathOf(root, path.c_str())].locked = locked;
}

bool GetValue(HKEY root, const std::string& path, const std::string& name, DWORD* type, std::vector<BYTE>* bytes)
{
    auto found = g_keys.find(PathOf(root, path.c_str()));
    if (found == g_keys.end())
        return false;
    Value* value = FindValue(found->second, name.c_str());
    if (!value)
        return false;
    *type = value->type;
    *bytes = value->bytes;
    return true;
}

void Lock(HKEY root, const std::string& path)
{
    g_keys[PathOf(root, path.c_str())].locked = true;
}

void AddFile(const std::string& path)
{
    g_files.insert(Lower(path));
}

int OpenHandles()
{
    return g_open;
}

} // namespace host_registry
