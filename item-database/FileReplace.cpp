#include "FileReplace.h"

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kestrel {

#ifdef _WIN32
static unsigned long ProcessNumber() { return GetCurrentProcessId(); }
#else
static unsigned long ProcessNumber() { return static_cast<unsigned long>(getpid()); }
#endif

std::string TemporaryNameFor(const char* target)
{
    return std::string(target) + "." + std::to_string(ProcessNumber()) + ".tmp";
}

#ifdef _WIN32
bool FlushToDisk(std::FILE* file)
{
    if (std::fflush(file) != 0)
        return false;
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle);
}

// A read-only target is refused explicitly: the platform would also replace
// it for a process with administrator rights.
bool ReplaceFileWith(const char* source, const char* target)
{
    DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

#else
bool FlushToDisk(std::FILE* file)
{
    return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

bool ReplaceFileWith(const char* source, const char* target)
{
    struct stat info;
    if (stat(target, &info) == 0 && !(info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)))
        return false;
    return std::rename(source, target) == 0;
}
#endif

} // namespace kestrel
