// Files for archives and other byte-wise readers and writers: CFile over a
// disk file, CMemFile over memory, and the exception both throw.
#pragma once

#include <cstdio>
#include <vector>

#include "Object.h"
#include "String.h"

class CFileException : public CException {
    DECLARE_DYNAMIC(CFileException)
public:
    enum {
        none,
        genericException,
        fileNotFound,
        accessDenied,
        badSeek,
        hardIO,
        diskFull,
        endOfFile,
    };

    explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR lpszFileName = nullptr);
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;

    int m_cause;
    LONG m_lOsError;         // the C library's errno, -1 when none
    CString m_strFileName;
};

// Throws a heap-made CFileException (catch it as CException* and Delete it).
[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1, LPCTSTR lpszFileName = nullptr);

// A disk file. Failures of Read, Write, Seek, Flush and Close throw
// CFileException*; Open reports them in its result instead.
class CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000,        // create, or empty an existing file
        modeNoTruncate = 0x2000,    // with modeCreate: keep an existing file's bytes
        typeBinary = 0x8000,        // always binary; accepted for readability
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    CFile();
    // Opens at once; throws CFileException* when that fails.
    CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    // Closes the file; errors are dropped (call Close to see them).
    ~CFile() override;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // FALSE, with the cause in *pError when given, when the file cannot be opened.
    virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    // The number of bytes read: fewer than asked at the file's end.
    virtual UINT Read(void* lpBuf, UINT nCount);
    virtual void Write(const void* lpBuf, UINT nCount);
    virtual DWORD Seek(LONG lOff, UINT nFrom);
    virtual DWORD GetLength() const;
    virtual DWORD GetPosition() const;
    virtual void Flush();
    virtual void Close();
    // Closes without reporting anything.
    virtual void Abort();

    BOOL IsOpen() const { return m_pStream != nullptr; }
    const CString& GetFilePath() const { return m_strFileName; }

private:
    [[noreturn]] void ThrowError(int cause) const;

    FILE* m_pStream;
    CString m_strFileName;
};

// A file in memory: starts empty, or with a copy of the given bytes, and
// grows as it is written.
class CMemFile : public CFile {
    DECLARE_DYNAMIC(CMemFile)
public:
    CMemFile() = default;
    CMemFile(const BYTE* pData, UINT nSize);

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    DWORD Seek(LONG lOff, UINT nFrom) override;
    DWORD GetLength() const override;
    DWORD GetPosition() const override;
    void Flush() override {}
    void Close() override {}
    void Abort() override {}

    const std::vector<BYTE>& GetData() const { return m_data; }

private:
    std::vector<BYTE> m_data;
    size_t m_position = 0;
};
