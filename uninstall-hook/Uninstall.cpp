#include "Uninstall.h"

#include <shlwapi.h>

#include <cstring>
#include <vector>

#include "NotesPathUtil.h"

namespace dunlin {

namespace {

const char kAppPathKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quillmate.exe";

struct Component {
    const char* file;
    const char* progId;
};

const Component kComponents[] = {
    {"Heron.dll", "Heron.Heron.1"},
    {"Godwit.ocx", "Godwit.GodwitCtrl.1"},
    {"Plover.dll", "Quillmate.Plover.1"},
    {"Finch.ocx", "Finch.FinchCtrl.1"},
};

// The main program's automation server.
const char* const kAutomationProgIds[] = {"Quillmate.Quillmate", "Quillmate.Ozu", "Quillmate.Ozu.1", "Quillmate.Ibe"};
const char kAutomationClass[] = "CLSID\\{AA67EBE8-A97A-11D2-84D7-00A0247B3DBA}";
const char kAutomationAppId[] = "AppID\\{AA67EBE6-A97A-11D2-84D7-00A0247B3DBA}";
const char kAutomationTypeLib[] = "TypeLib\\{AA67EBE5-A97A-11D2-84D7-00A0247B3DBA}";
const char kAutomationInterface[] = "Interface\\{AA67EBE7-A97A-11D2-84D7-00A0247B3DBA}";

bool KeyExists(HKEY root, const char* key)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

void DeleteIfPresent(HKEY root, const char* key)
{
    if (KeyExists(root, key))
        DeleteKeyTree(root, key);
}

// The uninstaller's own folder ("-c" names its program) goes on PATH, so
// that libraries it brought can be found.
void PutUninstallerOnPath()
{
    const char* option = std::strstr(GetCommandLineA(), "-c");
    if (!option)
        return;
    std::string path = option + 2;
    if (!path.empty() && path[0] == '"')
        path.erase(0, 1);
    size_t quote = path.find('"');
    if (quote != std::string::npos)
        path.resize(quote);
    size_t slash = path.rfind('\\');
    if (slash != std::string::npos && slash > 0)
        NotesPathUtil::AppendToPath(path.substr(0, slash).c_str());
}

// The server file the ProgID's class is registered with, as a full path;
// empty when the registration names none.
std::string RegisteredServer(const char* progId)
{
    char clsid[64];
    if (!NotesPathUtil::ReadRegText(HKEY_CLASSES_ROOT, (std::string(progId) + "\\CLSID").c_str(), nullptr, clsid,
                                    sizeof clsid))
        return std::string();
    char server[MAX_PATH];
    if (!NotesPathUtil::ReadRegText(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + clsid + "\\InprocServer32").c_str(),
                                    nullptr, server, sizeof server))
        return std::string();
    // Only a full path: a bare name would be looked for on the search path.
    const bool absolute =
        (server[0] && server[1] == ':' && server[2] == '\\') || (server[0] == '\\' && server[1] == '\\');
    return absolute ? std::string(server) : std::string();
}

bool SubkeyLeft(HKEY root, const char* key)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return true;
    DWORD subkeys = 0;
    LONG rc = RegQueryInfoKeyA(handle, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr);
    RegCloseKey(handle);
    return rc != ERROR_SUCCESS || subkeys > 0;
}

} // namespace

BOOL DeleteKeyTree(HKEY root, const char* key)
{
    if (!key || !*key)
        return FALSE;
    HKEY handle;
    if (RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
        return FALSE;
    // Names first, then deletions: each subkey is tried once.
    std::vector<std::string> names;
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        LONG rc = RegEnumKeyExA(handle, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc == ERROR_SUCCESS)
            names.push_back(name);
        else if (rc != ERROR_MORE_DATA)
            break;
    }
    for (const std::string& subkey : names)
        DeleteKeyTree(handle, subkey.c_str());
    RegCloseKey(handle);
    return RegDeleteKeyA(root, key) == ERROR_SUCCESS;
}

// The folder as a full path without a trailing backslash, or empty when it
// is not an install folder that can be removed.
std::string CheckedFolder(const std::string& folder)
{
    // Only absolute paths: "C:" alone means the drive's current folder.
    bool absolute = (folder.size() >= 3 && folder[1] == ':' && folder[2] == '\\') ||
                    (folder.size() >= 2 && folder[0] == '\\' && folder[1] == '\\');
    if (!absolute)
        return std::string();
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(folder.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full || PathIsRootA(full))
        return std::string();
    std::string path = full;
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    if (PathIsRootA(path.c_str()))
        return std::string();
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::string();
    attributes = GetFileAttributesA((path + "\\Quillmate.exe").c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::string();
    return path;
}

BOOL IsInstallFolder(const std::string& folder)
{
    return !CheckedFolder(folder).empty();
}

std::string InstallFolder()
{
    char folder[MAX_PATH];
    // A longer value does not fit and is refused with the rest.
    if (!NotesPathUtil::ReadRegText(HKEY_LOCAL_MACHINE, kAppPathKey, "PATH", folder, sizeof folder))
        return std::string();
    return CheckedFolder(folder);
}

BOOL RemoveFolderTree(const std::string& folder)
{
    if (folder.empty())
        return FALSE;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            DWORD attributes = found.dwFileAttributes;
            if (attributes & FILE_ATTRIBUTE_READONLY)
                SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveFolderTree(path);
            else if (attributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryA(path.c_str());  // the link itself, not what it points to
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryA(folder.c_str());
}

void UnregisterComponent(const std::string& folder, const char* file, const char* progId)
{
    if (!KeyExists(HKEY_CLASSES_ROOT, progId))
        return;
    // By full path only: a file of the same name elsewhere on the search
    // path is not ours to run. The registration names the file wherever it
    // is, also when the install folder is not known.
    std::string server = RegisteredServer(progId);
    if (server.empty() && !folder.empty())
        server = folder + "\\" + file;
    HMODULE library = nullptr;
    if (!server.empty())
        library = LoadLibraryExA(server.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (library) {
        typedef HRESULT(WINAPI * Unregister)();
        if (Unregister entry = reinterpret_cast<Unregister>(GetProcAddress(library, "DllUnregisterServer")))
            entry();
    }
    DeleteIfPresent(HKEY_CLASSES_ROOT, progId);
    std::string independent = progId;
    size_t version = independent.find(".1");
    if (version != std::string::npos) {
        independent.resize(version);
        DeleteIfPresent(HKEY_CLASSES_ROOT, independent.c_str());
    }
    if (library)
        FreeLibrary(library);
}

void RemoveAutomationServer()
{
    for (const char* progId : kAutomationProgIds)
        DeleteIfPresent(HKEY_CLASSES_ROOT, progId);
    DeleteIfPresent(HKEY_CLASSES_ROOT, kAutomationClass);
    DeleteIfPresent(HKEY_CLASSES_ROOT, kAutomationAppId);
    DeleteIfPresent(HKEY_CLASSES_ROOT, kAutomationTypeLib);
    DeleteIfPresent(HKEY_CLASSES_ROOT, kAutomationInterface);
}

void Uninstall()
{
    NotesPathUtil notes;
    PutUninstallerOnPath();
    std::string folder = InstallFolder();
    for (const Component& component : kComponents)
        UnregisterComponent(folder, component.file, component.progId);
    RemoveAutomationServer();
    DeleteIfPresent(HKEY_CURRENT_USER, "Software\\Quillmate\\Client");
    DeleteIfPresent(HKEY_CURRENT_USER, "Software\\Quillmate\\Heron");
    if (!folder.empty())
        RemoveFolderTree(folder);
    DeleteIfPresent(HKEY_LOCAL_MACHINE, kAppPathKey);
    if (KeyExists(HKEY_CURRENT_USER, "Software\\Quillmate") && !SubkeyLeft(HKEY_CURRENT_USER, "Software\\Quillmate"))
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quillmate");
}

} // namespace dunlin
