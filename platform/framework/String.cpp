#include "quifw/String.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

const char kWhiteSpace[] = " \t\r\n\v\f";

int Clamp(int value, int low, int high)
{
    return value < low ? low : (value > high ? high : value);
}

template <typename Tail>
CString Joined(CString head, const Tail& tail)
{
    head += tail;
    return head;
}

} // namespace

CString::CString(LPCTSTR text)
{
    if (text)
        m_text = text;
}

CString::CString(LPCTSTR text, int nLength)
{
    if (text && nLength > 0)
        m_text.assign(text, strnlen(text, static_cast<size_t>(nLength)));
}

CString::CString(TCHAR ch, int nRepeat)
{
    if (nRepeat > 0)
        m_text.assign(static_cast<size_t>(nRepeat), ch);
}

CString& CString::operator=(LPCTSTR text)
{
    // The text may point into this string itself.
    m_text = std::string(text ? text : "");
    return *this;
}

CString& CString::operator=(TCHAR ch)
{
    m_text.assign(1, ch);
    return *this;
}

TCHAR CString::GetAt(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetLength() ? m_text[static_cast<size_t>(nIndex)] : 0;
}

void CString::SetAt(int nIndex, TCHAR ch)
{
    if (nIndex >= 0 && nIndex < GetLength())
        m_text[static_cast<size_t>(nIndex)] = ch;
}

CString& CString::operator+=(const CString& text)
{
    m_text += text.m_text;
    return *this;
}

CString& CString::operator+=(LPCTSTR text)
{
    if (text)
        m_text += std::string(text);
    return *this;
}

CString& CString::operator+=(TCHAR ch)
{
    m_text += ch;
    return *this;
}

int CString::Compare(LPCTSTR text) const
{
    return strcmp(m_text.c_str(), text ? text : "");
}

int CString::CompareNoCase(LPCTSTR text) const
{
    const unsigned char* a = reinterpret_cast<const unsigned char*>(m_text.c_str());
    const unsigned char* b = reinterpret_cast<const unsigned char*>(text ? text : "");
    for (;; ++a, ++b) {
        int ca = (*a >= 'A' && *a <= 'Z') ? *a + ('a' - 'A') : *a;
        int cb = (*b >= 'A' && *b <= 'Z') ? *b + ('a' - 'A') : *b;
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    int first = Clamp(nFirst, 0, GetLength());
    int count = Clamp(nCount, 0, GetLength() - first);
    CString result;
    result.m_text = m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count));
    return result;
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const
{
    int count = Clamp(nCount, 0, GetLength());
    return Mid(GetLength() - count, count);
}

void CString::MakeUpper()
{
    for (char& c : m_text)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
}

void CString::MakeLower()
{
    for (char& c : m_text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
}

void CString::TrimLeft()
{
    TrimLeft(kWhiteSpace);
}

void CString::TrimLeft(TCHAR ch)
{
    const char targets[2] = {ch, 0};
    TrimLeft(targets);
}

void CString::TrimLeft(LPCTSTR targets)
{
    size_t first = m_text.find_first_not_of(targets ? targets : "");
    m_text.erase(0, first == std::string::npos ? m_text.size() : first);
}

void CString::TrimRight()
{
    TrimRight(kWhiteSpace);
}

void CString::TrimRight(TCHAR ch)
{
    const char targets[2] = {ch, 0};
    TrimRight(targets);
}

void CString::TrimRight(LPCTSTR targets)
{
    size_t last = m_text.find_last_not_of(targets ? targets : "");
    m_text.erase(last == std::string::npos ? 0 : last + 1);
}

int CString::Find(TCHAR ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    size_t pos = m_text.find(ch, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(LPCTSTR sub, int nStart) const
{
    if (!sub || nStart < 0 || nStart > GetLength())
        return -1;
    size_t pos = m_text.find(sub, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(TCHAR ch) const
{
    size_t pos = m_text.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(LPCTSTR chars) const
{
    if (!chars || !*chars)
        return -1;
    size_t pos = m_text.find_first_of(chars);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Replace(TCHAR chOld, TCHAR chNew)
{
    int count = 0;
    for (char& c : m_text) {
        if (c == chOld) {
            c = chNew;
            ++count;
        }
    }
    return count;
}

int CString::Replace(LPCTSTR oldText, LPCTSTR newText)
{
    if (!oldText || !*oldText)
        return 0;
    const std::string from(oldText);
    const std::string to(newText ? newText : "");
    int count = 0;
    for (size_t pos = m_text.find(from); pos != std::string::npos;
         pos = m_text.find(from, pos + to.size())) {
        m_text.replace(pos, from.size(), to);
        ++count;
    }
    return count;
}

int CString::Remove(TCHAR ch)
{
    size_t before = m_text.size();
    m_text.erase(std::remove(m_text.begin(), m_text.end(), ch), m_text.end());
    return static_cast<int>(before - m_text.size());
}

int CString::Insert(int nIndex, TCHAR ch)
{
    const char text[2] = {ch, 0};
    return Insert(nIndex, text);
}

int CString::Insert(int nIndex, LPCTSTR text)
{
    if (text)
        m_text.insert(static_cast<size_t>(Clamp(nIndex, 0, GetLength())), std::string(text));
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    if (nIndex >= 0 && nIndex < GetLength() && nCount > 0)
        m_text.erase(static_cast<size_t>(nIndex), static_cast<size_t>(nCount));
    return GetLength();
}

void CString::Format(LPCTSTR format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(LPCTSTR format, va_list args)
{
    if (!format) {
        m_text.clear();
        return;
    }
    va_list measure;
    va_copy(measure, args);
    int length = vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) {
        m_text.clear();
        return;
    }
    std::string result(static_cast<size_t>(length), '\0');
    vsnprintf(&result[0], result.size() + 1, format, args);
    m_text.swap(result);
}

LPTSTR CString::GetBuffer(int nMinLength)
{
    if (nMinLength > GetLength())
        m_text.resize(static_cast<size_t>(nMinLength));
    return &m_text[0];
}

LPTSTR CString::GetBufferSetLength(int nLength)
{
    m_text.resize(static_cast<size_t>(nLength < 0 ? 0 : nLength));
    return &m_text[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    // The buffer always ends in the string's own terminator, so strlen stops there.
    size_t length = nNewLength < 0 ? strlen(m_text.c_str())
                                   : static_cast<size_t>(Clamp(nNewLength, 0, GetLength()));
    m_text.resize(length);
}

CString operator+(const CString& a, const CString& b) { return Joined(a, b); }
CString operator+(const CString& a, LPCTSTR b) { return Joined(a, b); }
CString operator+(LPCTSTR a, const CString& b) { return Joined(a, b); }
CString operator+(const CString& a, TCHAR b) { return Joined(a, b); }
CString operator+(TCHAR a, const CString& b) { return Joined(CString(a), b); }

bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
bool operator==(const CString& a, LPCTSTR b) { return a.Compare(b) == 0; }
bool operator==(LPCTSTR a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return !(a == b); }
bool operator!=(const CString& a, LPCTSTR b) { return !(a == b); }
bool operator!=(LPCTSTR a, const CString& b) { return !(a == b); }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator<(const CString& a, LPCTSTR b) { return a.Compare(b) < 0; }
bool operator<(LPCTSTR a, const CString& b) { return b.Compare(a) > 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }

//--- CStringArray

void CStringArray::SetSize(int nNewSize)
{
    m_items.resize(static_cast<size_t>(nNewSize < 0 ? 0 : nNewSize));
}

const CString& CStringArray::GetAt(int nIndex) const
{
    if (nIndex < 0)
        throw std::out_of_range("CStringArray index");
    return m_items.at(static_cast<size_t>(nIndex));
}

void CStringArray::SetAt(int nIndex, LPCTSTR text)
{
    ElementAt(nIndex) = text;
}

CString& CStringArray::ElementAt(int nIndex)
{
    if (nIndex < 0)
        throw std::out_of_range("CStringArray index");
    return m_items.at(static_cast<size_t>(nIndex));
}

int CStringArray::Add(LPCTSTR text)
{
    m_items.emplace_back(text);
    return GetUpperBound();
}

int CStringArray::Add(const CString& text)
{
    m_items.push_back(text);
    return GetUpperBound();
}

int CStringArray::Append(const CStringArray& other)
{
    int first = GetSize();
    if (&other == this) {
        std::vector<CString> copy(other.m_items);
        m_items.insert(m_items.end(), copy.begin(), copy.end());
    } else {
        m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
    }
    return first;
}

void CStringArray::Copy(const CStringArray& other)
{
    if (&other != this)
        m_items = other.m_items;
}

void CStringArray::InsertAt(int nIndex, LPCTSTR text, int nCount)
{
    if (nIndex < 0 || nCount < 0)
        throw std::out_of_range("CStringArray index");
    if (nIndex > GetSize())
        SetSize(nIndex);
    m_items.insert(m_items.begin() + nIndex, static_cast<size_t>(nCount), CString(text));
}

void CStringArray::RemoveAt(int nIndex, int nCount)
{
    if (nIndex < 0 || nCount < 0 || nIndex + nCount > GetSize())
        throw std::out_of_range("CStringArray index");
    m_items.erase(m_items.begin() + nIndex, m_items.begin() + nIndex + nCount);
}
