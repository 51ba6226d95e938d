// CString: an 8-bit text with value semantics; CStringArray: a growable array
// of them. Texts are ANSI throughout the program.
#pragma once

#include <cstdarg>
#include <string>
#include <vector>

#include "Types.h"

class CString {
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString(LPCTSTR text);                 // null gives an empty text
    CString(LPCTSTR text, int nLength);    // at most nLength characters
    CString(TCHAR ch, int nRepeat = 1);
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(LPCTSTR text);
    CString& operator=(TCHAR ch);

    int GetLength() const { return static_cast<int>(m_text.size()); }
    BOOL IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    TCHAR GetAt(int nIndex) const;         // 0 past the end
    TCHAR operator[](int nIndex) const { return GetAt(nIndex); }
    void SetAt(int nIndex, TCHAR ch);      // ignored past the end
    operator LPCTSTR() const { return m_text.c_str(); }
    LPCTSTR GetString() const { return m_text.c_str(); }

    CString& operator+=(const CString& text);
    CString& operator+=(LPCTSTR text);
    CString& operator+=(TCHAR ch);

    // Byte-wise like strcmp; CompareNoCase folds ASCII letters only.
    int Compare(LPCTSTR text) const;
    int CompareNoCase(LPCTSTR text) const;

    // Positions and counts are clamped to the text, so no call reads outside it.
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;

    void MakeUpper();
    void MakeLower();
    void TrimLeft();                       // white space
    void TrimLeft(TCHAR ch);
    void TrimLeft(LPCTSTR targets);
    void TrimRight();
    void TrimRight(TCHAR ch);
    void TrimRight(LPCTSTR targets);

    int Find(TCHAR ch, int nStart = 0) const;      // -1 when absent
    int Find(LPCTSTR sub, int nStart = 0) const;
    int ReverseFind(TCHAR ch) const;
    int FindOneOf(LPCTSTR chars) const;
    int Replace(TCHAR chOld, TCHAR chNew);         // number replaced
    int Replace(LPCTSTR oldText, LPCTSTR newText);
    int Remove(TCHAR ch);                          // number removed
    int Insert(int nIndex, TCHAR ch);              // new length
    int Insert(int nIndex, LPCTSTR text);
    int Delete(int nIndex, int nCount = 1);        // new length

    // printf formats; a CString argument is passed as (LPCTSTR) or GetString()
    // (passing the object itself does not compile for users of the library).
    void Format(LPCTSTR format, ...);
    void FormatV(LPCTSTR format, va_list args);

    // Direct access for APIs that fill a buffer: GetBuffer gives room for at
    // least nMinLength characters plus the terminator; ReleaseBuffer(-1) takes
    // the text up to its first zero.
    LPTSTR GetBuffer(int nMinLength);
    LPTSTR GetBufferSetLength(int nLength);
    void ReleaseBuffer(int nNewLength = -1);

#ifdef _WIN32
    // Texts of the resource handle's string table (AfxGetResourceHandle).
    BOOL LoadString(UINT nID);             // FALSE and empty when missing
    void Format(UINT nFormatID, ...);
#endif
#if defined(_WIN32) || defined(QUI_HOST_OLEAUT)
    BSTR AllocSysString() const;           // the caller frees it
#endif

private:
    std::string m_text;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, LPCTSTR b);
CString operator+(LPCTSTR a, const CString& b);
CString operator+(const CString& a, TCHAR b);
CString operator+(TCHAR a, const CString& b);

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCTSTR b);
bool operator==(LPCTSTR a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, LPCTSTR b);
bool operator!=(LPCTSTR a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, LPCTSTR b);
bool operator<(LPCTSTR a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator>=(const CString& a, const CString& b);

// Indexes outside the array throw std::out_of_range rather than touch memory.
class CStringArray {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    int GetUpperBound() const { return GetSize() - 1; }
    BOOL IsEmpty() const { return m_items.empty(); }
    void SetSize(int nNewSize);
    const CString& GetAt(int nIndex) const;
    void SetAt(int nIndex, LPCTSTR text);
    CString& ElementAt(int nIndex);
    const CString& operator[](int nIndex) const { return GetAt(nIndex); }
    CString& operator[](int nIndex) { return ElementAt(nIndex); }
    int Add(LPCTSTR text);                 // index of the new element
    int Add(const CString& text);
    int Append(const CStringArray& other); // index of the first appended one
    void Copy(const CStringArray& other);
    void InsertAt(int nIndex, LPCTSTR text, int nCount = 1);
    void RemoveAt(int nIndex, int nCount = 1);
    void RemoveAll() { m_items.clear(); }

private:
    std::vector<CString> m_items;
};
