// Reads a program file's version block: its "FileVersion" text and the fixed
// file version.
#pragma once
#include <windows.h>

class CFileVersionInfo {
public:
    explicit CFileVersionInfo(const char* path);
    ~CFileVersionInfo();
    CFileVersionInfo(const CFileVersionInfo&) = delete;
    CFileVersionInfo& operator=(const CFileVersionInfo&) = delete;

    // Copies the named string of the block's first translation into out (cut
    // to fit and terminated); FALSE when the block, its translation table or
    // the string is missing.
    BOOL GetStringValue(const char* name, char* out, UINT outLen) const;

    // Size of the file's version block; 0 when it has none.
    DWORD GetBlockSize() const { return m_blockSize; }
    // The "FileVersion" text; null when there is none.
    const char* GetFileVersion() const { return m_fileVersion; }
    DWORD GetFileVersionMS() const { return m_versionMS; }
    DWORD GetFileVersionLS() const { return m_versionLS; }

private:
    char m_path[MAX_PATH];
    char* m_fileVersion;
    DWORD m_blockSize;
    DWORD m_versionMS;
    DWORD m_versionLS;
};
