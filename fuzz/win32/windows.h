// For the host tree's fuzz targets: the bitmap header, and the registry and
// the few file and text calls that the settings readers make, over an
// in-memory registry that a target fills from its input, so that the readers
// meet values of any type, size and termination.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The framework's host types, so that both agree.
#include <quifw/Types.h>

typedef BYTE* LPBYTE;
typedef DWORD* LPDWORD;
typedef DWORD REGSAM;
typedef void* LPSECURITY_ATTRIBUTES;
typedef struct HostRegistryKey* HKEY;
typedef HKEY* PHKEY;

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002u)))

enum : DWORD {
    REG_NONE = 0, REG_SZ = 1, REG_EXPAND_SZ = 2, REG_BINARY = 3, REG_DWORD = 4, REG_MULTI_SZ = 7,
    REG_OPTION_NON_VOLATILE = 0,
    KEY_QUERY_VALUE = 0x1, KEY_SET_VALUE = 0x2, KEY_READ = 0x20019, KEY_WRITE = 0x20006,
};
enum : LONG {
    ERROR_SUCCESS = 0, ERROR_FILE_NOT_FOUND = 2, ERROR_ACCESS_DENIED = 5, ERROR_INVALID_HANDLE = 6,
    ERROR_INVALID_PARAMETER = 87, ERROR_MORE_DATA = 234, ERROR_NO_MORE_ITEMS = 259,
    ERROR_INVALID_DATATYPE = 1804,
};
#define MAX_PATH 260
#define INVALID_FILE_ATTRIBUTES (static_cast<DWORD>(-1))
#define FILE_ATTRIBUTE_NORMAL 0x80

// Bitmap headers, laid out as Windows lays them out.
#pragma pack(push, 2)
typedef struct tagBITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
} BITMAPINFOHEADER;
#pragma pack(pop)
typedef struct tagRGBQUAD {
    BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved;
} RGBQUAD;
enum : DWORD { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };

LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegCreateKeyExA(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options, REGSAM access,
                     LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
LONG RegCreateKeyA(HKEY root, LPCSTR subKey, PHKEY result);
LONG RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD reserved, LPDWORD type,
                   LPBYTE data, LPDWORD size);
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD reserved, LPSTR className,
                   LPDWORD classLength, void* lastWrite);
LONG RegCloseKey(HKEY key);

LPSTR lstrcpyA(LPSTR to, LPCSTR from);
LPSTR lstrcatA(LPSTR to, LPCSTR from);
LPSTR lstrcpynA(LPSTR to, LPCSTR from, int capacity);
int lstrlenA(LPCSTR text);
DWORD GetFileAttributesA(LPCSTR path);
DWORD SearchPathA(LPCSTR path, LPCSTR file, LPCSTR extension, DWORD capacity, LPSTR buffer, LPSTR* filePart);
DWORD ExpandEnvironmentStringsA(LPCSTR from, LPSTR to, DWORD capacity);

// Filling the registry: values by root, key path and name (names and paths
// compare without regard to case, as Windows compares them).
namespace host_registry {
void Clear();
void SetValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
              const std::vector<BYTE>& bytes);
// The stored value, or false when there is none.
bool GetValue(HKEY root, const std::string& path, const std::string& name, DWORD* type, std::vector<BYTE>* bytes);
// Keys that refuse to open, so that every failure path is met.
void Lock(HKEY root, const std::string& path);
// Files that GetFileAttributesA and SearchPathA find.
void AddFile(const std::string& path);
// Handles opened and not yet closed.
int OpenHandles();
} // namespace host_registry

// The version library of program files (winver.h).
#include "winver.h"
