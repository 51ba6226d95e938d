#include "FileUtil.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

namespace {
const long kSlack = 5;

char* ReadWhole(FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return nullptr;
    long size = std::ftell(file);
    if (size < 0 || size > LONG_MAX - kSlack || std::fseek(file, 0, SEEK_SET) != 0)
        return nullptr;
    char* text = new (std::nothrow) char[size + kSlack]();
    if (!text)
        return nullptr;
    if (std::fread(text, 1, size, file) != static_cast<size_t>(size)) {
        delete[] text;
        return nullptr;
    }
    if (size > 0)
        text[size] = '\n';
    return text;
}
} // namespace

BOOL GetModulePath(const char* name, char* out, UINT outLen)
{
    if (!out || outLen == 0)
        return FALSE;
    out[0] = '\0';
    char module[MAX_PATH * 4];
    DWORD length = GetModuleFileNameA(nullptr, module, sizeof(module));
    if (length == 0 || length >= sizeof(module))
        return FALSE;
    char* slash = std::strrchr(module, '\\');
    size_t folder = slash ? static_cast<size_t>(slash - module + 1) : 0;
    size_t tail = name ? std::strlen(name) : 0;
    if (folder + tail >= outLen)
        return FALSE;
    std::memcpy(out, module, folder);
    std::memcpy(out + folder, name, tail);
    out[folder + tail] = '\0';
    return TRUE;
}

BOOL ReadAndDeleteFile(const char* path, char** buffer)
{
    if (!buffer)
        return FALSE;
    *buffer = nullptr;
    FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return FALSE;
    char* text = ReadWhole(file);
    std::fclose(file);
    if (!text)
        return FALSE;
    DeleteFileA(path);
    *buffer = text;
    return TRUE;
}
