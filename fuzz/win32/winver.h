// For the host tree's fuzz targets: the version library over in-memory
// files, each holding a version resource as a program file would. The block
// is walked from its documented layout, in both the 32-bit (UTF-16 keys,
// typed values) and the 16-bit (ANSI) forms. A node whose length runs past
// its parent or the resource ends the walk, and a value that runs past its
// node is cut to it: the system trusts those lengths, a stand-in that read
// past them would only report its own overrun.
#pragma once

#include "windows.h"

typedef struct tagVS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
} VS_FIXEDFILEINFO;

DWORD GetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle);
BOOL GetFileVersionInfoA(LPCSTR path, DWORD handle, DWORD size, void* data);
// Only on a buffer that GetFileVersionInfoA filled. Texts of a 32-bit block
// come back in the ANSI code page, from the room after the block.
BOOL VerQueryValueA(const void* block, LPCSTR subBlock, void** buffer, UINT* length);

namespace host_version {
void Clear();
// A file (named without regard to case) with this version resource; an
// empty resource is a file without one.
void SetFile(const std::string& path, const std::vector<BYTE>& resource);
} // namespace host_version
