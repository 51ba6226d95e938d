#include "FileUtil.h"

#include <climits>
#include <cstdio>
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
