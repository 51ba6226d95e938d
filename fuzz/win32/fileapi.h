// For the host tree's fuzz targets: the file calls of the update list, over
// a folder of the host that stands for drive C:. Paths are resolved as the
// system resolves them (separators, "." and "..", a closing dot of a folder
// name, closing dots and blanks of the whole path, device names such as
// "nul.xml"), names compare without
// regard to ASCII case, and an ANSI path of MAX_PATH characters or more opens
// nothing. It differs from the system where saying so here is enough: one
// drive and no shares, no short names, no streams, no attributes but the
// folder bit, and a file's identity is its host device and inode (so hard
// links made on the host are the same file, as they are on NTFS).
#pragma once

#include "windows.h"

#include <cstdint>
#include <string>

typedef void* HANDLE;
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))

enum : DWORD {
    FILE_ATTRIBUTE_DIRECTORY = 0x10,
    FILE_READ_ATTRIBUTES = 0x80,
    FILE_SHARE_READ = 0x1, FILE_SHARE_WRITE = 0x2, FILE_SHARE_DELETE = 0x4,
    OPEN_EXISTING = 3,
    FILE_FLAG_BACKUP_SEMANTICS = 0x02000000,
};

typedef struct _FILETIME {
    DWORD dwLowDateTime, dwHighDateTime;
} FILETIME;

typedef struct _BY_HANDLE_FILE_INFORMATION {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime, ftLastAccessTime, ftLastWriteTime;
    DWORD dwVolumeSerialNumber, nFileSizeHigh, nFileSizeLow, nNumberOfLinks, nFileIndexHigh, nFileIndexLow;
} BY_HANDLE_FILE_INFORMATION;

DWORD GetFullPathNameA(LPCSTR path, DWORD capacity, LPSTR buffer, LPSTR* filePart);
// Only OPEN_EXISTING; a folder only with FILE_FLAG_BACKUP_SEMANTICS.
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* info);
BOOL CloseHandle(HANDLE handle);
// Writes into an existing destination, as the system does, so that its
// other names see the copy.
BOOL CopyFileA(LPCSTR from, LPCSTR to, BOOL failIfExists);
BOOL DeleteFileA(LPCSTR path);

namespace host_files {
// The host folder that is drive C:, and the current folder (a full path on C:).
void SetDrive(const std::string& hostFolder);
void SetCurrentFolder(const std::string& path);
// The host file a path names, its names matched without regard to case;
// empty for a path that names nothing the system could open.
std::string HostPath(const std::string& path);
// Handles opened and not yet closed.
int OpenHandles();
} // namespace host_files
