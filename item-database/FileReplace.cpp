#include "FileReplace.h"

// A read-only target is refused explicitly: the platform would also replace
// it for a process with administrator rights.
#ifdef _WIN32
#include <windows.h>

namespace kestrel {
bool ReplaceFileWith(const char* source, const char* target)
{
    DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
}

#else
#include <cstdio>
#include <sys/stat.h>

namespace kestrel {
bool ReplaceFileWith(const char* source, const char* target)
{
    struct stat info;
    if (stat(target, &info) == 0 && !(info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)))
        return false;
    return std::rename(source, target) == 0;
}
}
#endif
