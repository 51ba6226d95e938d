#include "fileapi.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string g_drive;
std::string g_current = "C:\\";
int g_open = 0;

struct HostFile {
    struct stat info;
};

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool SameNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

std::vector<std::string> Split(const std::string& text)
{
    std::vector<std::string> parts;
    size_t at = 0;
    while (at <= text.size()) {
        size_t slash = text.find('\\', at);
        if (slash == std::string::npos)
            slash = text.size();
        if (slash > at)
            parts.push_back(text.substr(at, slash - at));
        at = slash + 1;
    }
    return parts;
}

// The full path as the system gives it; empty where it gives none.
std::string Resolve(std::string path)
{
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    if (path.empty())
        return std::string();
    std::string root, rest;
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        // A share: its server and name are the root.
        std::vector<std::string> parts = Split(path.substr(2));
        root = "\\\\";
        size_t taken = 0;
        for (; taken < 2 && taken < parts.size(); ++taken)
            root += parts[taken] + "\\";
        for (size_t i = taken; i < parts.size(); ++i)
            rest += parts[i] + "\\";
        if (path.back() != '\\' && !rest.empty())
            rest.pop_back();
    } else if (path.size() >= 2 && path[1] == ':') {
        root = path.substr(0, 2) + "\\";
        rest = path.substr(2);
        // On the current drive a relative path goes on from the current folder.
        if ((rest.empty() || rest[0] != '\\') && Lower(path[0]) == Lower(g_current[0]))
            rest = g_current.substr(3) + "\\" + rest;
    } else if (path[0] == '\\') {
        root = g_current.substr(0, 3);
        rest = path;
    } else {
        root = g_current.substr(0, 3);
        rest = g_current.substr(3) + "\\" + path;
    }
    bool closingSeparator = !rest.empty() && rest.back() == '\\';
    std::vector<std::string> kept;
    for (const std::string& part : Split(rest)) {
        if (part == ".")
            continue;
        if (part == "..") {
            if (!kept.empty())
                kept.pop_back();
            continue;
        }
        kept.push_back(part);
    }
    std::string full = root;
    for (size_t i = 0; i < kept.size(); ++i) {
        std::string part = kept[i];
        // A folder's name loses one closing dot.
        if ((i + 1 < kept.size() || closingSeparator) && part.back() == '.')
            part.pop_back();
        full += part;
        if (i + 1 < kept.size() || closingSeparator)
            full += '\\';
    }
    if (!closingSeparator)
        while (full.size() > root.size() && (full.back() == ' ' || full.back() == '.'))
            full.pop_back();
    // A last name that is a device (with any extension) names the device.
    std::string device = full.substr(full.rfind('\\') + 1);
    device = device.substr(0, device.find('.'));
    while (!device.empty() && device.back() == ' ')
        device.pop_back();
    for (const char* name : {"con", "prn", "aux", "nul", "com1", "com2", "com3", "com4", "com5", "com6", "com7",
                             "com8", "com9", "lpt1", "lpt2", "lpt3", "lpt4", "lpt5", "lpt6", "lpt7", "lpt8", "lpt9"})
        if (SameNoCase(device, name))
            return "\\\\.\\" + device;
    return full;
}

bool ValidName(const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || name.size() > 255)
        return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 32 || std::strchr("<>:\"/\\|?*", c))
            return false;
    return true;
}

// The entry of a host folder that a name matches: itself when it is there,
// else one that differs only in case, else the name as given (to create).
std::string Entry(const std::string& folder, const std::string& name)
{
    struct stat info;
    if (::lstat((folder + "/" + name).c_str(), &info) == 0)
        return name;
    std::string found = name;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* entry = ::readdir(dir))
            if (SameNoCase(entry->d_name, name)) {
                found = entry->d_name;
                break;
            }
        ::closedir(dir);
    }
    return found;
}

bool StatOf(LPCSTR path, struct stat* info)
{
    std::string host = path ? host_files::HostPath(path) : std::string();
    return !host.empty() && ::stat(host.c_str(), info) == 0;
}

} // namespace

namespace host_files {

void SetDrive(const std::string& hostFolder) { g_drive = hostFolder; }
void SetCurrentFolder(const std::string& path) { g_current = path; }
int OpenHandles() { return g_open; }

std::string HostPath(const std::string& path)
{
    std::string full = Resolve(path);
    if (g_drive.empty() || full.size() < 3 || full.size() >= MAX_PATH || Lower(full[0]) != 'c' ||
        full.compare(1, 2, ":\\") != 0)
        return std::string();
    std::string host = g_drive;
    for (const std::string& name : Split(full.substr(3))) {
        if (!ValidName(name))
            return std::string();
        host += "/" + Entry(host, name);
    }
    return host;
}

} // namespace host_files

DWORD GetFullPathNameA(LPCSTR path, DWORD capacity, LPSTR buffer, LPSTR* filePart)
{
    std::string full = path ? Resolve(path) : std::string();
    if (full.empty())
        return 0;
    if (capacity <= full.size())
        return static_cast<DWORD>(full.size() + 1);
    std::memcpy(buffer, full.c_str(), full.size() + 1);
    if (filePart) {
        size_t slash = full.rfind('\\');
        *filePart = slash + 1 < full.size() ? buffer + slash + 1 : nullptr;
    }
    return static_cast<DWORD>(full.size());
}

DWORD GetFileAttributesA(LPCSTR path)
{
    struct stat info;
    if (!StatOf(path, &info))
        return INVALID_FILE_ATTRIBUTES;
    return S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

HANDLE CreateFileA(LPCSTR path, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD flags, HANDLE)
{
    struct stat info;
    if (disposition != OPEN_EXISTING || !StatOf(path, &info) ||
        (S_ISDIR(info.st_mode) && !(flags & FILE_FLAG_BACKUP_SEMANTICS)))
        return INVALID_HANDLE_VALUE;
    ++g_open;
    return new HostFile{info};
}

BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* info)
{
    if (!file || file == INVALID_HANDLE_VALUE || !info)
        return FALSE;
    const struct stat& host = static_cast<HostFile*>(file)->info;
    std::memset(info, 0, sizeof *info);
    info->dwFileAttributes = S_ISDIR(host.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    info->dwVolumeSerialNumber = static_cast<DWORD>(host.st_dev);
    info->nFileSizeHigh = static_cast<DWORD>(static_cast<uint64_t>(host.st_size) >> 32);
    info->nFileSizeLow = static_cast<DWORD>(host.st_size);
    info->nNumberOfLinks = static_cast<DWORD>(host.st_nlink);
    info->nFileIndexHigh = static_cast<DWORD>(static_cast<uint64_t>(host.st_ino) >> 32);
    info->nFileIndexLow = static_cast<DWORD>(host.st_ino);
    return TRUE;
}

BOOL CloseHandle(HANDLE handle)
{
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return FALSE;
    delete static_cast<HostFile*>(handle);
    --g_open;
    return TRUE;
}

BOOL CopyFileA(LPCSTR from, LPCSTR to, BOOL failIfExists)
{
    std::string source = from ? host_files::HostPath(from) : std::string();
    std::string target = to ? host_files::HostPath(to) : std::string();
    struct stat in, out;
    if (source.empty() || target.empty() || ::stat(source.c_str(), &in) != 0 || !S_ISREG(in.st_mode))
        return FALSE;
    if (::stat(target.c_str(), &out) == 0 &&
        (failIfExists || !S_ISREG(out.st_mode) || (out.st_dev == in.st_dev && out.st_ino == in.st_ino)))
        return FALSE;
    int input = ::open(source.c_str(), O_RDONLY);
    if (input < 0)
        return FALSE;
    int output = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool ok = output >= 0;
    char chunk[4096];
    for (ssize_t n; ok && (n = ::read(input, chunk, sizeof chunk)) != 0;)
        ok = n > 0 && ::write(output, chunk, static_cast<size_t>(n)) == n;
    ::close(input);
    if (output >= 0)
        ok = ::close(output) == 0 && ok;
    return ok;
}

BOOL DeleteFileA(LPCSTR path)
{
    struct stat info;
    std::string host = path ? host_files::HostPath(path) : std::string();
    return !host.empty() && ::stat(host.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::unlink(host.c_str()) == 0;
}

// The connector reader opens files with the C library: a Windows path goes
// to its host file (the target links with --wrap=fopen), any other as it is.
extern "C" FILE* __real_fopen(const char* path, const char* mode);
extern "C" FILE* __wrap_fopen(const char* path, const char* mode)
{
    if (!path || !(path[0] == '\\' || (path[0] && path[1] == ':')))
        return __real_fopen(path, mode);
    std::string host = host_files::HostPath(path);
    if (host.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    return __real_fopen(host.c_str(), mode);
}
