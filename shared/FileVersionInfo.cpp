#include "FileVersionInfo.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {
const UINT kValueBuffer = MAX_PATH;
const DWORD kFixedSignature = 0xFEEF04BD;

bool ReadBlock(const char* path, std::vector<BYTE>* block)
{
    DWORD handle = 0;
    DWORD size = path[0] ? GetFileVersionInfoSizeA(path, &handle) : 0;
    if (!size)
        return false;
    block->assign(size, 0);
    return GetFileVersionInfoA(path, 0, size, block->data()) != FALSE;
}

// The root's value is the fixed record only while the block keeps it as
// bytes: a 16-bit block always does (its key starts where a 32-bit block
// keeps its type word), a 32-bit one when that word says binary (0). Typed as
// text, the ANSI query answers the converted text instead.
bool RootHoldsBytes(const std::vector<BYTE>& block)
{
    if (block.size() < 6)
        return false;
    return block[4] >= ' ' || (block[4] == 0 && block[5] == 0);
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

    // Copied out: the answer may lie anywhere in the buffer, at any alignment.
    void* found = nullptr;
    UINT fixedLen = 0;
    VS_FIXEDFILEINFO fixed;
    if (RootHoldsBytes(block) && VerQueryValueA(block.data(), "\\", &found, &fixedLen) && found
        && fixedLen >= sizeof(fixed)) {
        std::memcpy(&fixed, found, sizeof(fixed));
        if (fixed.dwSignature == kFixedSignature) {
            m_versionMS = fixed.dwFileVersionMS;
            m_versionLS = fixed.dwFileVersionLS;
        }
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

    void* found = nullptr;
    UINT translationLen = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &found, &translationLen) || !found
        || translationLen < 2 * sizeof(WORD))
        return FALSE;
    WORD translation[2];
    std::memcpy(translation, found, sizeof(translation));

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
