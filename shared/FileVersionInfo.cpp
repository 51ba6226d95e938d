#include "FileVersionInfo.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {
const UINT kValueBuffer = MAX_PATH;

bool ReadBlock(const char* path, std::vector<BYTE>* block)
{
    DWORD handle = 0;
    DWORD size = path[0] ? GetFileVersionInfoSizeA(path, &handle) : 0;
    if (!size)
        return false;
    block->assign(size, 0);
    return GetFileVersionInfoA(path, 0, size, block->data()) != FALSE;
}
} // namespace

CFileVersionInfo::CFileVersionInfo(const char* path)
    : m_fileVersion(nullptr), m_blockSize(0), m_versionMS(0), m_versionLS(0)
{
    m_path[0] = '\0';
    // A path that does not fit would name another file once cut: take none.
    if (!path || std::strlen(path) >= sizeof(m_path))
        return;
    std::strcpy(m_path, path);

    std::vector<BYTE> block;
    if (!ReadBlock(m_path, &block))
        return;
    m_blockSize = static_cast<DWORD>(block.size());

    char value[kValueBuffer];
    if (!GetStringValue("FileVersion", value, sizeof(value)))
        return;
    m_fileVersion = new char[std::strlen(value) + 1];
    std::strcpy(m_fileVersion, value);

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLen = 0;
    if (VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedLen) && fixed
        && fixedLen >= sizeof(VS_FIXEDFILEINFO)) {
        m_versionMS = fixed->dwFileVersionMS;
        m_versionLS = fixed->dwFileVersionLS;
    }
}

CFileVersionInfo::~CFileVersionInfo()
{
    delete[] m_fileVersion;
}

BOOL CFileVersionInfo::GetStringValue(const char* name, char* out, UINT outLen) const
{
    if (!name || !out || outLen == 0)
        return FALSE;
    std::vector<BYTE> block;
    if (!ReadBlock(m_path, &block))
        return FALSE;

    WORD* translation = nullptr;
    UINT translationLen = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &translationLen)
        || !translation || translationLen < 2 * sizeof(WORD))
        return FALSE;

    char key[MAX_PATH];
    if (std::snprintf(key, sizeof(key), "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], name)
        >= static_cast<int>(sizeof(key)))
        return FALSE;
    char* value = nullptr;
    UINT valueLen = 0;
    if (!VerQueryValueA(block.data(), key, reinterpret_cast<void**>(&value), &valueLen) || !value)
        return FALSE;

    // valueLen counts characters and may include the terminator.
    size_t length = strnlen(value, valueLen);
    if (length >= outLen)
        length = outLen - 1;
    std::memcpy(out, value, length);
    out[length] = '\0';
    return TRUE;
}
