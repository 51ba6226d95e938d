// CArchive: objects and values stored to a file, or loaded back, through a
// buffer. Every value is little-endian whatever the machine: integers take
// their own width (int, UINT, long and unsigned long four bytes), doubles
// eight bytes of IEEE 754. A CString is its length, then its bytes: one
// byte below 255; else 0xFF and two bytes below 0xFFFE; else 0xFF, 0xFFFF
// and four bytes.
//
// An object is stored as a tag of two bytes:
//   0x0000               no object (a null pointer);
//   0xFFFF               a class not met before in this archive: its schema
//                        (two bytes), the length of its name (two bytes),
//                        the name, then the object's fields;
//   0x8000 | n           a class met before, by its index n, then the fields;
//   n (1 to 0x7FFE)      an object stored before, by its index n;
//   0x7FFF               an index that does not fit: four bytes follow, with
//                        the top bit set for a class.
// Classes and objects are numbered together from 1 in the order they appear.
//
// Loading never reads past the file's end: a length or count larger than the
// bytes left throws CArchiveException* (endOfFile) before anything is
// allocated.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "File.h"
#include "Object.h"
#include "String.h"

class CArchiveException : public CException {
    DECLARE_DYNAMIC(CArchiveException)
public:
    enum {
        none,
        genericException,
        readOnly,       // storing into a loading archive
        endOfFile,
        writeOnly,      // loading from a storing archive
        badIndex,       // a class or object index that names nothing
        badClass,       // an unknown class, or not the one asked for
        badSchema,      // the class is known with another schema
    };

    explicit CArchiveException(int cause = none, LPCTSTR lpszArchiveName = nullptr);
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;

    int m_cause;
    CString m_strFileName;
};

[[noreturn]] void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName = nullptr);

class CArchive {
public:
    enum Mode : UINT { store = 0, load = 1 };

    // The file stays the caller's and must outlive the archive.
    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096);
    // A storing archive writes what it still holds; errors are dropped here
    // (call Close to see them).
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return m_bLoading; }
    BOOL IsStoring() const { return !m_bLoading; }
    CFile* GetFile() const { return m_pFile; }

    // The schema of the object being loaded, for its Serialize.
    UINT GetObjectSchema() const { return m_nObjectSchema; }

    // Raw bytes. Read answers how many it got (fewer at the file's end).
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    // Writes the buffer out (storing) or drops what it holds (loading).
    void Flush();
    void Close();
    // Ends the archive without writing anything more.
    void Abort();

    // Null, or an object of pClassRefRequested or a class derived from it,
    // made by its class's dynamic creation; the caller owns a new object.
    // An index back to an object loaded before answers that object again.
    CObject* ReadObject(const CRuntimeClass* pClassRefRequested);
    void WriteObject(const CObject* pOb);

    CArchive& operator<<(BYTE value);
    CArchive& operator<<(WORD value);
    CArchive& operator<<(short value);
    CArchive& operator<<(int value);
    CArchive& operator<<(unsigned int value);
    CArchive& operator<<(long value);
    CArchive& operator<<(unsigned long value);
    CArchive& operator<<(float value);
    CArchive& operator<<(double value);
    CArchive& operator<<(const CString& value);
    CArchive& operator<<(const CObject* pOb);

    CArchive& operator>>(BYTE& value);
    CArchive& operator>>(WORD& value);
    CArchive& operator>>(short& value);
    CArchive& operator>>(int& value);
    CArchive& operator>>(unsigned int& value);
    CArchive& operator>>(long& value);
    CArchive& operator>>(unsigned long& value);
    CArchive& operator>>(float& value);
    CArchive& operator>>(double& value);
    CArchive& operator>>(CString& value);
    CArchive& operator>>(CObject*& pOb);

    // The bytes a loading archive can still give: its buffer and the rest of
    // the file.
    DWORD BytesLeft() const;

private:
    void CheckLoading() const;
    void CheckStoring() const;
    [[noreturn]] void Fail(int cause) const;
    void FillBuffer();
    // Exactly nCount bytes, or CArchiveException (endOfFile).
    void ReadExact(BYTE* p, UINT nCount);
    uint32_t ReadUInt(int nBytes);
    void WriteUInt(uint32_t value, int nBytes);
    // Throws endOfFile unless nCount more bytes remain.
    void RequireBytes(DWORD nCount) const;

    void WriteIndexTag(DWORD index, bool isClass);
    const CRuntimeClass* ReadNewClass();
    DWORD MapLoaded(const CRuntimeClass* pClass, CObject* pOb);

    CFile* m_pFile;
    bool m_bLoading;
    bool m_bClosed = false;
    UINT m_nObjectSchema = 0xFFFF;
    std::vector<BYTE> m_buffer;
    size_t m_nCur = 0;      // next byte to read or write in m_buffer
    size_t m_nLim = 0;      // end of the loaded bytes in m_buffer

    // Loading: entry n is what index n stands for (index 0: nothing).
    struct LoadEntry {
        const CRuntimeClass* pClass;
        CObject* pObject;
    };
    std::vector<LoadEntry> m_loaded;
    // Storing: the indexes given out so far.
    std::map<const void*, DWORD> m_storedClasses;
    std::map<const void*, DWORD> m_storedObjects;
    DWORD m_nStoreCount = 0;
};
