#include "quifw/File.h"

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace {

int CauseOfErrno(int error)
{
    switch (error) {
    case ENOENT:
        return CFileException::fileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return CFileException::accessDenied;
    case ENOSPC:
        return CFileException::diskFull;
    default:
        return CFileException::genericException;
    }
}

const char* ModeText(UINT flags)
{
    bool create = (flags & CFile::modeCreate) != 0;
    bool keep = (flags & CFile::modeNoTruncate) != 0;
    if (flags & CFile::modeReadWrite)
        return create && !keep ? "w+b" : "r+b";
    if (flags & CFile::modeWrite)
        return create && !keep ? "wb" : "r+b";
    return "rb";
}

// By cause, in the order of CFileException's causes.
const LPCTSTR kCauseTexts[] = {
    nullptr,
    "A file error occurred.",
    "The file was not found.",
    "Access to the file was denied.",
    "The file position could not be set.",
    "The file could not be read or written.",
    "The disk is full.",
    "The end of the file was reached.",
};

} // namespace

IMPLEMENT_DYNAMIC(CFileException, CException)

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName)
{
}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    CException::GetErrorMessage(lpszError, nMaxError, pnHelpContext);
    return DescribeCause(kCauseTexts, sizeof kCauseTexts / sizeof kCauseTexts[0], m_cause, m_strFileName, lpszError,
                         nMaxError);
}

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}

//--- CFile

IMPLEMENT_DYNAMIC(CFile, CObject)

CFile::CFile() : m_pStream(nullptr) {}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_pStream(nullptr)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, lpszFileName);
}

CFile::~CFile()
{
    Abort();
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    Abort();
    m_strFileName = lpszFileName;
    if (!lpszFileName || !*lpszFileName) {
        if (pError)
            *pError = CFileException(CFileException::fileNotFound, -1, lpszFileName);
        return FALSE;
    }
    m_pStream = std::fopen(lpszFileName, ModeText(nOpenFlags));
    // Keeping an existing file's bytes still creates a missing one.
    if (!m_pStream && (nOpenFlags & modeCreate) && (nOpenFlags & modeNoTruncate) && errno == ENOENT)
        m_pStream = std::fopen(lpszFileName, (nOpenFlags & modeReadWrite) ? "w+b" : "wb");
    if (!m_pStream) {
        int error = errno;
        if (pError)
            *pError = CFileException(CauseOfErrno(error), error, lpszFileName);
        return FALSE;
    }
    return TRUE;
}

void CFile::ThrowError(int cause) const
{
    AfxThrowFileException(cause, errno, m_strFileName);
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (!m_pStream)
        ThrowError(CFileException::genericException);
    if (nCount == 0)
        return 0;
    size_t read = std::fread(lpBuf, 1, nCount, m_pStream);
    if (read < nCount && std::ferror(m_pStream))
        ThrowError(CFileException::hardIO);
    return static_cast<UINT>(read);
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    if (!m_pStream)
        ThrowError(CFileException::genericException);
    if (nCount && std::fwrite(lpBuf, 1, nCount, m_pStream) != nCount)
        ThrowError(errno == ENOSPC ? CFileException::diskFull : CFileException::hardIO);
}

DWORD CFile::Seek(LONG lOff, UINT nFrom)
{
    static const int kOrigins[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (!m_pStream || nFrom > end || std::fseek(m_pStream, lOff, kOrigins[nFrom]) != 0)
        ThrowError(CFileException::badSeek);
    return GetPosition();
}

DWORD CFile::GetLength() const
{
    if (!m_pStream)
        ThrowError(CFileException::genericException);
    long here = std::ftell(m_pStream);
    if (here < 0 || std::fseek(m_pStream, 0, SEEK_END) != 0)
        ThrowError(CFileException::badSeek);
    long length = std::ftell(m_pStream);
    if (length < 0 || std::fseek(m_pStream, here, SEEK_SET) != 0)
        ThrowError(CFileException::badSeek);
    return static_cast<DWORD>(length);
}

DWORD CFile::GetPosition() const
{
    long here = m_pStream ? std::ftell(m_pStream) : -1;
    if (here < 0)
        ThrowError(CFileException::badSeek);
    return static_cast<DWORD>(here);
}

// As far as the disk: a file renamed into place after its flush survives a
// power cut whole.
void CFile::Flush()
{
    if (!m_pStream)
        return;
    if (std::fflush(m_pStream) != 0)
        ThrowError(CFileException::hardIO);
#ifdef _WIN32
    HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(m_pStream)));
    bool onDisk = file != INVALID_HANDLE_VALUE && ::FlushFileBuffers(file);
#else
    bool onDisk = fsync(fileno(m_pStream)) == 0;
#endif
    if (!onDisk)
        ThrowError(CFileException::hardIO);
}

void CFile::Close()
{
    if (!m_pStream)
        return;
    FILE* stream = m_pStream;
    m_pStream = nullptr;
    if (std::fclose(stream) != 0)
        ThrowError(CFileException::hardIO);
}

void CFile::Abort()
{
    if (m_pStream) {
        std::fclose(m_pStream);
        m_pStream = nullptr;
    }
}

//--- CMemFile

IMPLEMENT_DYNAMIC(CMemFile, CFile)

CMemFile::CMemFile(const BYTE* pData, UINT nSize)
{
    if (pData && nSize)
        m_data.assign(pData, pData + nSize);
}

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    size_t available = m_position < m_data.size() ? m_data.size() - m_position : 0;
    size_t count = std::min<size_t>(nCount, available);
    if (count) {
        std::memcpy(lpBuf, m_data.data() + m_position, count);
        m_position += count;
    }
    return static_cast<UINT>(count);
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (!nCount)
        return;
    if (m_position + nCount > std::numeric_limits<DWORD>::max())
        AfxThrowFileException(CFileException::diskFull);
    if (m_position + nCount > m_data.size())
        m_data.resize(m_position + nCount);
    std::memcpy(m_data.data() + m_position, lpBuf, nCount);
    m_position += nCount;
}

DWORD CMemFile::Seek(LONG lOff, UINT nFrom)
{
    long long base = nFrom == begin ? 0 : nFrom == current ? static_cast<long long>(m_position)
                                                           : static_cast<long long>(m_data.size());
    long long target = base + lOff;
    if (nFrom > end || target < 0 || target > static_cast<long long>(std::numeric_limits<DWORD>::max()))
        AfxThrowFileException(CFileException::badSeek);
    m_position = static_cast<size_t>(target);
    return static_cast<DWORD>(m_position);
}

DWORD CMemFile::GetLength() const
{
    return static_cast<DWORD>(m_data.size());
}

DWORD CMemFile::GetPosition() const
{
    return static_cast<DWORD>(m_position);
}
