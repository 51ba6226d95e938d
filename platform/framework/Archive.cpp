#include "quifw/Archive.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <limits>
#include <string>

namespace {

const DWORD kNullTag = 0x0000;
const DWORD kNewClassTag = 0xFFFF;
const DWORD kClassTag = 0x8000;
const DWORD kBigObjectTag = 0x7FFF;
const DWORD kBigClassBit = 0x80000000;
const DWORD kMaxIndex = 0x7FFFFFFE;

const BYTE kByteLengthLimit = 0xFF;
const WORD kWordLengthLimit = 0xFFFE;   // 0xFFFE marks a wide text, 0xFFFF a longer one

// By cause, in the order of CArchiveException's causes.
const LPCTSTR kCauseTexts[] = {
    nullptr,
    "The archive holds data that cannot be read.",
    "The archive is open for loading only.",
    "The archive ended before the data it promised.",
    "The archive is open for storing only.",
    "The archive refers to an object that it does not hold.",
    "The archive holds an object of an unexpected class.",
    "The archive holds an object of another version of its class.",
};

} // namespace

IMPLEMENT_DYNAMIC(CArchiveException, CException)

CArchiveException::CArchiveException(int cause, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_strFileName(lpszArchiveName)
{
}

BOOL CArchiveException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
    CException::GetErrorMessage(lpszError, nMaxError, pnHelpContext);
    return DescribeCause(kCauseTexts, sizeof kCauseTexts / sizeof kCauseTexts[0], m_cause, m_strFileName, lpszError,
                         nMaxError);
}

void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName)
{
    throw new CArchiveException(cause, lpszArchiveName);
}

//--- buffer and raw bytes

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize)
    : m_pFile(pFile), m_bLoading((nMode & load) != 0), m_buffer(static_cast<size_t>(nBufSize < 64 ? 64 : nBufSize))
{
    m_loaded.push_back({nullptr, nullptr});
}

CArchive::~CArchive()
{
    if (m_bClosed || m_bLoading || !m_pFile)
        return;
    try {
        Flush();
    } catch (CException* e) {
        e->Delete();
    }
}

void CArchive::Fail(int cause) const
{
    AfxThrowArchiveException(cause, m_pFile ? m_pFile->GetFilePath().GetString() : nullptr);
}

void CArchive::CheckLoading() const
{
    if (m_bClosed || !m_pFile)
        Fail(CArchiveException::genericException);
    if (!m_bLoading)
        Fail(CArchiveException::writeOnly);
}

void CArchive::CheckStoring() const
{
    if (m_bClosed || !m_pFile)
        Fail(CArchiveException::genericException);
    if (m_bLoading)
        Fail(CArchiveException::readOnly);
}

void CArchive::FillBuffer()
{
    if (m_nCur > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_nCur, m_nLim - m_nCur);
        m_nLim -= m_nCur;
        m_nCur = 0;
    }
    m_nLim += m_pFile->Read(m_buffer.data() + m_nLim, static_cast<UINT>(m_buffer.size() - m_nLim));
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    CheckLoading();
    BYTE* out = static_cast<BYTE*>(lpBuf);
    UINT done = 0;
    while (done < nMax) {
        if (m_nCur == m_nLim) {
            // Large reads bypass the buffer.
            if (nMax - done >= m_buffer.size()) {
                UINT got = m_pFile->Read(out + done, nMax - done);
                done += got;
                if (got == 0)
                    break;
                continue;
            }
            FillBuffer();
            if (m_nCur == m_nLim)
                break;
        }
        size_t count = std::min<size_t>(nMax - done, m_nLim - m_nCur);
        std::memcpy(out + done, m_buffer.data() + m_nCur, count);
        m_nCur += count;
        done += static_cast<UINT>(count);
    }
    return done;
}

void CArchive::ReadExact(BYTE* p, UINT nCount)
{
    if (Read(p, nCount) != nCount)
        Fail(CArchiveException::endOfFile);
}

DWORD CArchive::BytesLeft() const
{
    DWORD inFile = m_pFile->GetLength() - m_pFile->GetPosition();
    DWORD buffered = static_cast<DWORD>(m_nLim - m_nCur);
    DWORD most = std::numeric_limits<DWORD>::max();
    return inFile > most - buffered ? most : inFile + buffered;
}

void CArchive::RequireBytes(DWORD nCount) const
{
    if (nCount > m_nLim - m_nCur && nCount > BytesLeft())
        Fail(CArchiveException::endOfFile);
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
    CheckStoring();
    const BYTE* in = static_cast<const BYTE*>(lpBuf);
    while (nMax > 0) {
        if (m_nCur == m_buffer.size())
            Flush();
        size_t count = std::min<size_t>(nMax, m_buffer.size() - m_nCur);
        std::memcpy(m_buffer.data() + m_nCur, in, count);
        m_nCur += count;
        in += count;
        nMax -= static_cast<UINT>(count);
    }
}

void CArchive::Flush()
{
    if (m_bClosed || !m_pFile)
        return;
    if (m_bLoading) {
        // Give the file back the bytes read ahead and not used.
        if (m_nLim > m_nCur)
            m_pFile->Seek(-static_cast<LONG>(m_nLim - m_nCur), CFile::current);
        m_nCur = m_nLim = 0;
        return;
    }
    if (m_nCur > 0) {
        size_t count = m_nCur;
        m_nCur = 0;
        m_pFile->Write(m_buffer.data(), static_cast<UINT>(count));
    }
    m_pFile->Flush();
}

void CArchive::Close()
{
    if (m_bClosed)
        return;
    Flush();
    m_bClosed = true;
}

void CArchive::Abort()
{
    m_nCur = m_nLim = 0;
    m_bClosed = true;
}

//--- fixed-size values

uint32_t CArchive::ReadUInt(int nBytes)
{
    CheckLoading();
    BYTE bytes[4] = {};
    ReadExact(bytes, static_cast<UINT>(nBytes));
    uint32_t value = 0;
    for (int i = nBytes - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

void CArchive::WriteUInt(uint32_t value, int nBytes)
{
    BYTE bytes[4];
    for (int i = 0; i < nBytes; ++i)
        bytes[i] = static_cast<BYTE>(value >> (8 * i));
    Write(bytes, static_cast<UINT>(nBytes));
}

CArchive& CArchive::operator<<(BYTE value)
{
    WriteUInt(value, 1);
    return *this;
}

CArchive& CArchive::operator<<(WORD value)
{
    WriteUInt(value, 2);
    return *this;
}

CArchive& CArchive::operator<<(short value)
{
    WriteUInt(static_cast<uint16_t>(value), 2);
    return *this;
}

CArchive& CArchive::operator<<(int value)
{
    WriteUInt(static_cast<uint32_t>(value), 4);
    return *this;
}

CArchive& CArchive::operator<<(unsigned int value)
{
    WriteUInt(value, 4);
    return *this;
}

CArchive& CArchive::operator<<(long value)
{
    WriteUInt(static_cast<uint32_t>(value), 4);
    return *this;
}

CArchive& CArchive::operator<<(unsigned long value)
{
    WriteUInt(static_cast<uint32_t>(value), 4);
    return *this;
}

CArchive& CArchive::operator<<(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteUInt(bits, 4);
    return *this;
}

CArchive& CArchive::operator<<(double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteUInt(static_cast<uint32_t>(bits), 4);
    WriteUInt(static_cast<uint32_t>(bits >> 32), 4);
    return *this;
}

CArchive& CArchive::operator>>(BYTE& value)
{
    value = static_cast<BYTE>(ReadUInt(1));
    return *this;
}

CArchive& CArchive::operator>>(WORD& value)
{
    value = static_cast<WORD>(ReadUInt(2));
    return *this;
}

CArchive& CArchive::operator>>(short& value)
{
    value = static_cast<short>(static_cast<uint16_t>(ReadUInt(2)));
    return *this;
}

CArchive& CArchive::operator>>(int& value)
{
    value = static_cast<int32_t>(ReadUInt(4));
    return *this;
}

CArchive& CArchive::operator>>(unsigned int& value)
{
    value = ReadUInt(4);
    return *this;
}

CArchive& CArchive::operator>>(long& value)
{
    value = static_cast<int32_t>(ReadUInt(4));
    return *this;
}

CArchive& CArchive::operator>>(unsigned long& value)
{
    value = ReadUInt(4);
    return *this;
}

CArchive& CArchive::operator>>(float& value)
{
    uint32_t bits = ReadUInt(4);
    std::memcpy(&value, &bits, sizeof value);
    return *this;
}

CArchive& CArchive::operator>>(double& value)
{
    uint64_t low = ReadUInt(4);
    uint64_t bits = low | (static_cast<uint64_t>(ReadUInt(4)) << 32);
    std::memcpy(&value, &bits, sizeof value);
    return *this;
}

//--- texts

CArchive& CArchive::operator<<(const CString& value)
{
    DWORD length = static_cast<DWORD>(value.GetLength());
    if (length < kByteLengthLimit) {
        WriteUInt(length, 1);
    } else if (length < kWordLengthLimit) {
        WriteUInt(kByteLengthLimit, 1);
        WriteUInt(length, 2);
    } else {
        WriteUInt(kByteLengthLimit, 1);
        WriteUInt(0xFFFF, 2);
        WriteUInt(length, 4);
    }
    Write(value.GetString(), length);
    return *this;
}

CArchive& CArchive::operator>>(CString& value)
{
    DWORD length = ReadUInt(1);
    if (length == kByteLengthLimit) {
        length = ReadUInt(2);
        if (length == kWordLengthLimit)
            Fail(CArchiveException::genericException);   // a wide-character text
        if (length == 0xFFFF)
            length = ReadUInt(4);
    }
    if (length > static_cast<DWORD>(INT_MAX))
        Fail(CArchiveException::endOfFile);
    RequireBytes(length);
    CString text;
    LPTSTR buffer = text.GetBufferSetLength(static_cast<int>(length));
    ReadExact(reinterpret_cast<BYTE*>(buffer), length);
    text.ReleaseBuffer(static_cast<int>(length));
    value = std::move(text);
    return *this;
}

//--- objects

CArchive& CArchive::operator<<(const CObject* pOb)
{
    WriteObject(pOb);
    return *this;
}

CArchive& CArchive::operator>>(CObject*& pOb)
{
    pOb = ReadObject(nullptr);
    return *this;
}

void CArchive::WriteIndexTag(DWORD index, bool isClass)
{
    if (index < kBigObjectTag) {
        WriteUInt(isClass ? (kClassTag | index) : index, 2);
    } else {
        WriteUInt(kBigObjectTag, 2);
        WriteUInt(isClass ? (kBigClassBit | index) : index, 4);
    }
}

void CArchive::WriteObject(const CObject* pOb)
{
    CheckStoring();
    if (!pOb) {
        WriteUInt(kNullTag, 2);
        return;
    }
    auto stored = m_storedObjects.find(pOb);
    if (stored != m_storedObjects.end()) {
        WriteIndexTag(stored->second, false);
        return;
    }
    const CRuntimeClass* pClass = pOb->GetRuntimeClass();
    if (!pOb->IsSerializable())
        Fail(CArchiveException::badClass);
    if (m_nStoreCount >= kMaxIndex - 1)
        Fail(CArchiveException::genericException);
    auto known = m_storedClasses.find(pClass);
    if (known != m_storedClasses.end()) {
        WriteIndexTag(known->second, true);
    } else {
        size_t nameLength = strlen(pClass->m_lpszClassName);
        if (nameLength > 0xFFFF)
            Fail(CArchiveException::badClass);
        WriteUInt(kNewClassTag, 2);
        WriteUInt(pClass->m_wSchema, 2);
        WriteUInt(static_cast<uint32_t>(nameLength), 2);
        Write(pClass->m_lpszClassName, static_cast<UINT>(nameLength));
        m_storedClasses[pClass] = ++m_nStoreCount;
    }
    m_storedObjects[pOb] = ++m_nStoreCount;
    const_cast<CObject*>(pOb)->Serialize(*this);
}

DWORD CArchive::MapLoaded(const CRuntimeClass* pClass, CObject* pOb)
{
    if (m_loaded.size() > kMaxIndex)
        Fail(CArchiveException::genericException);
    m_loaded.push_back({pClass, pOb});
    return static_cast<DWORD>(m_loaded.size() - 1);
}

const CRuntimeClass* CArchive::ReadNewClass()
{
    UINT schema = ReadUInt(2);
    DWORD nameLength = ReadUInt(2);
    RequireBytes(nameLength);
    std::string name(nameLength, '\0');
    ReadExact(reinterpret_cast<BYTE*>(&name[0]), nameLength);
    const CRuntimeClass* pClass = CRuntimeClass::FromName(name.c_str());
    if (!pClass || pClass->m_wSchema == 0xFFFF || strlen(name.c_str()) != nameLength)
        Fail(CArchiveException::badClass);
    if (pClass->m_wSchema != schema)
        Fail(CArchiveException::badSchema);
    MapLoaded(pClass, nullptr);
    return pClass;
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested)
{
    CheckLoading();
    DWORD tag = ReadUInt(2);
    const CRuntimeClass* pClass = nullptr;
    if (tag == kNewClassTag) {
        pClass = ReadNewClass();
    } else {
        DWORD full = tag == kBigObjectTag ? ReadUInt(4)
                     : (tag & kClassTag)  ? (kBigClassBit | (tag & ~kClassTag))
                                          : tag;
        DWORD index = full & ~kBigClassBit;
        if (!(full & kBigClassBit)) {
            if (index == kNullTag)
                return nullptr;
            if (index >= m_loaded.size() || !m_loaded[index].pObject)
                Fail(CArchiveException::badIndex);
            CObject* pOb = m_loaded[index].pObject;
            if (pClassRefRequested && !pOb->IsKindOf(pClassRefRequested))
                Fail(CArchiveException::badClass);
            return pOb;
        }
        if (index >= m_loaded.size() || !m_loaded[index].pClass)
            Fail(CArchiveException::badIndex);
        pClass = m_loaded[index].pClass;
    }
    if (pClassRefRequested && !pClass->IsDerivedFrom(pClassRefRequested))
        Fail(CArchiveException::badClass);
    DWORD objectIndex = MapLoaded(nullptr, nullptr);
    CObject* pOb = pClass->CreateObject();
    if (!pOb)
        Fail(CArchiveException::badClass);
    m_loaded[objectIndex].pObject = pOb;
    UINT outerSchema = m_nObjectSchema;
    m_nObjectSchema = pClass->m_wSchema;
    try {
        pOb->Serialize(*this);
    } catch (...) {
        // A half-read object is nobody's: drop it, and every later index to it.
        m_loaded[objectIndex].pObject = nullptr;
        m_nObjectSchema = outerSchema;
        delete pOb;
        throw;
    }
    m_nObjectSchema = outerSchema;
    return pOb;
}
