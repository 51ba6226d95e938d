#include "TipFile.h"

#include <afxquill.h>
#include <sys/stat.h>

#include <cstring>

CTipFile::~CTipFile()
{
    Close();
}

BOOL CTipFile::Open(LPCTSTR lpszPath)
{
    Close();
    // Binary, so that positions stay exact whatever the line ends are.
    m_pFile = std::fopen(lpszPath, "rb");
    return m_pFile != nullptr;
}

void CTipFile::Close()
{
    if (m_pFile)
        std::fclose(m_pFile);
    m_pFile = nullptr;
}

DWORD CTipFile::GetModifiedTime() const
{
    struct stat info;
    if (!m_pFile || fstat(fileno(m_pFile), &info) != 0)
        return 0;
    return static_cast<DWORD>(info.st_mtime);
}

BOOL CTipFile::Seek(long nOffset)
{
    return m_pFile && std::fseek(m_pFile, nOffset, SEEK_SET) == 0;
}

long CTipFile::GetPosition() const
{
    return m_pFile ? std::ftell(m_pFile) : 0;
}

BOOL CTipFile::ReadLine(char* line)
{
    if (!std::fgets(line, kMaxLine + 1, m_pFile))
        return FALSE;
    size_t length = std::strlen(line);
    if (length == kMaxLine && line[length - 1] != '\n') {
        int c;
        while ((c = std::fgetc(m_pFile)) != EOF && c != '\n') {
        }
    }
    return TRUE;
}

CTipFile::Result CTipFile::NextTip(CString& tip)
{
    if (!m_pFile)
        return NoTip;
    char line[kMaxLine + 1];
    BOOL bWrapped = FALSE;
    for (;;) {
        if (!ReadLine(line)) {
            if (bWrapped)
                return NoTip;
            if (!Seek(0))
                return SeekFailed;
            bWrapped = TRUE;
            continue;
        }
        if (std::strchr(" \t\r\n;", line[0]) == nullptr) {
            tip = line;
            tip.TrimRight("\r\n");
            return TipFound;
        }
    }
}
