// Where tests load a package library from: beside the test program in the
// Windows tree; in the host tree, which links its packages in, a path ending
// in the file name each package is registered under.
#pragma once
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

inline std::string TestPackagePath(const char* file)
{
#ifdef _WIN32
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of('\\') + 1) + file;
#else
    return std::string("/opt/quillmate/") + file;
#endif
}
