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
    // Byte by byte rather than with fgets, so that a zero byte in a damaged
    // file cannot hide where the line stopped being read.
    size_t length = 0;
    int c = std::fgetc(m_pFile);
    if (c == EOF)
        return FALSE;
    for (; c != EOF; c = std::fgetc(m_pFile)) {
        if (length < kMaxLine)
            line[length++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    line[length] = '\0';
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
