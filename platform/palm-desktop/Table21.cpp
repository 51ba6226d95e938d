#include "Table21.h"

#include <algorithm>
#include <cstring>

#include "SafeSave.h"
#include "StandInFault.h"

// The first moment past the last day the desktop shows: 2032-01-01 00:00 UTC.
const long maxDate = 1956528000L;

namespace {
const char kMagic[4] = {'P', 'D', 'T', '1'};
const int kFormatVersion = 1;

[[noreturn]] void FailCall(LPCTSTR path)
{
    AfxThrowFileException(CFileException::genericException, -1, path);
}

// A text as the dump shows it: quoted, with quotes, backslashes and line
// breaks escaped so that one record stays one line.
CString Quoted(const CString& text)
{
    CString out('"');
    for (int i = 0; i < text.GetLength(); ++i) {
        char c = text[i];
        if (c == '"' || c == '\\')
            out += '\\', out += c;
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    out += '"';
    return out;
}

CString Field(LPCTSTR name, const CString& text)
{
    return CString(" ") + name + "=" + Quoted(text);
}

CString Field(LPCTSTR name, long value)
{
    CString out;
    out.Format(" %s=%ld", name, value);
    return out;
}

void SerializeInt(CArchive& ar, int& value)
{
    if (ar.IsStoring())
        ar << value;
    else
        ar >> value;
}

void SerializeLong(CArchive& ar, long& value)
{
    if (ar.IsStoring())
        ar << value;
    else
        ar >> value;
}

void SerializeText(CArchive& ar, CString& value)
{
    if (ar.IsStoring())
        ar << value;
    else
        ar >> value;
}

bool InRange(int n, int count)
{
    return n >= 1 && n <= count;
}
} // namespace

//--- categories -------------------------------------------------------------

CCategoryMgr::CCategoryMgr() : m_used()
{
    m_slots[0] = CCategory(0, 0, "Unfiled");
    m_used[0] = true;
}

CCategory* CCategoryMgr::Slot(int index)
{
    return index >= 0 && index < MaxCategories && m_used[index] ? &m_slots[index] : nullptr;
}

CCategory* CCategoryMgr::FindFirst()
{
    m_cursor = 0;
    return FindNext();
}

CCategory* CCategoryMgr::FindNext()
{
    while (m_cursor < MaxCategories) {
        CCategory* category = Slot(m_cursor++);
        if (category)
            return category;
    }
    return nullptr;
}

CCategory* CCategoryMgr::FindName(LPCTSTR name)
{
    for (int i = 0; i < MaxCategories; ++i)
        if (m_used[i] && m_slots[i].GetName() == name)
            return &m_slots[i];
    return nullptr;
}

int CCategoryMgr::GetFreeIndex() const
{
    for (int i = 1; i < MaxCategories; ++i)
        if (!m_used[i])
            return i;
    return -1;
}

int CCategoryMgr::GetCount() const
{
    return static_cast<int>(std::count(m_used, m_used + MaxCategories, true));
}

int CCategoryMgr::Add(const CCategory* category)
{
    if (PalmStandInFails("CCategoryMgr::Add"))
        return errRefused;
    const int index = category->GetIndex();
    if (index < 1 || index >= MaxCategories)
        return errBadIndex;
    if (m_used[index])
        return errSlotTaken;
    if (!category->GetName().IsEmpty() && FindName(category->GetName()))
        return errDuplicateName;
    m_slots[index] = *category;
    m_used[index] = true;
    m_nextId = std::max(m_nextId, category->GetID() + 1);
    return ok;
}

int CCategoryMgr::Delete(int index)
{
    if (PalmStandInFails("CCategoryMgr::Delete"))
        return errRefused;
    if (index < 1 || !Slot(index))
        return errBadIndex;
    m_used[index] = false;
    m_slots[index] = CCategory();
    if (m_table)
        m_table->MoveToUnfiled(index);
    return ok;
}

void CCategoryMgr::Serialize(CArchive& ar)
{
    SerializeLong(ar, m_nextId);
    for (int i = 0; i < MaxCategories; ++i) {
        BYTE used = m_used[i] ? 1 : 0;
        long id = m_slots[i].GetID();
        CString name = m_slots[i].GetName();
        if (ar.IsStoring()) {
            ar << used << id << name;
            continue;
        }
        ar >> used >> id >> name;
        m_used[i] = used != 0 || i == 0;
        m_slots[i] = m_used[i] ? CCategory(i, id, name) : CCategory();
    }
}

//--- records ----------------------------------------------------------------

CBaseRecord::CBaseRecord(CBaseTable* table, int) : m_table(table) {}

CBaseRecord::~CBaseRecord()
{
    if (m_table)
        m_table->Forget(this);
}

void CBaseRecord::SetPrivate(int flag)
{
    if (PalmStandInFails("CBaseRecord::SetPrivate"))
        AfxThrowArchiveException(CArchiveException::genericException, nullptr);
    m_private = flag ? 1 : 0;
}

void CToDoRecord::SerializeFields(CArchive& ar)
{
    SerializeText(ar, m_description);
    SerializeLong(ar, m_dueDate);
    SerializeInt(ar, m_completed);
    SerializeInt(ar, m_priority);
    SerializeText(ar, m_note);
}

CString CToDoRecord::DescribeFields() const
{
    return Field("description", m_description) + Field("due", m_dueDate) + Field("completed", m_completed) +
           Field("priority", m_priority) + Field("note", m_note);
}

void CMemoRecord::SerializeFields(CArchive& ar)
{
    SerializeText(ar, m_memo);
}

CString CMemoRecord::DescribeFields() const
{
    return Field("memo", m_memo);
}

void CDateBkRecord::SerializeFields(CArchive& ar)
{
    SerializeText(ar, m_description);
    SerializeText(ar, m_note);
    SerializeLong(ar, m_start);
    SerializeLong(ar, m_end);
    SerializeInt(ar, m_untimed);
    SerializeInt(ar, m_alarm);
    SerializeInt(ar, m_alarmAdvance);
    SerializeInt(ar, m_alarmUnit);
}

CString CDateBkRecord::DescribeFields() const
{
    return Field("description", m_description) + Field("note", m_note) + Field("start", m_start) +
           Field("end", m_end) + Field("untimed", m_untimed) + Field("alarm", m_alarm) +
           Field("advance", m_alarmAdvance) + Field("unit", m_alarmUnit);
}

CString CAddressRecord::GetPhone(int n) const
{
    return InRange(n, PhoneCount) ? m_phone[n - 1] : CString();
}

void CAddressRecord::SetPhone(int n, LPCTSTR text)
{
    if (InRange(n, PhoneCount))
        m_phone[n - 1] = text;
}

int CAddressRecord::GetPhoneLabelID(int n) const
{
    return InRange(n, PhoneCount) ? m_phoneLabel[n - 1] : -1;
}

void CAddressRecord::SetPhoneLabelID(int n, int labelId)
{
    if (InRange(n, PhoneCount))
        m_phoneLabel[n - 1] = labelId;
}

CString CAddressRecord::GetCustom(int n) const
{
    return InRange(n, CustomCount) ? m_custom[n - 1] : CString();
}

void CAddressRecord::SetCustom(int n, LPCTSTR text)
{
    if (InRange(n, CustomCount))
        m_custom[n - 1] = text;
}

// The texts in file order, for storing, copying and the dump alike.
#define ADDRESS_TEXTS(X)                                                                                        \
    X(name, m_name) X(first, m_first) X(title, m_title) X(company, m_company) X(address, m_address)            \
    X(city, m_city) X(state, m_state) X(zip, m_zip) X(country, m_country) X(note, m_note)

void CAddressRecord::SerializeFields(CArchive& ar)
{
#define SERIALIZE_TEXT(label, member) SerializeText(ar, member);
    ADDRESS_TEXTS(SERIALIZE_TEXT)
#undef SERIALIZE_TEXT
    for (int i = 0; i < PhoneCount; ++i) {
        SerializeText(ar, m_phone[i]);
        SerializeInt(ar, m_phoneLabel[i]);
    }
    for (CString& custom : m_custom)
        SerializeText(ar, custom);
    SerializeInt(ar, m_displayPhone);
}

CString CAddressRecord::DescribeFields() const
{
    CString out;
#define DUMP_TEXT(label, member) out += Field(#label, member);
    ADDRESS_TEXTS(DUMP_TEXT)
#undef DUMP_TEXT
    for (int i = 0; i < PhoneCount; ++i) {
        CString name;
        name.Format("phone%d", i + 1);
        out += Field(name, m_phone[i]);
        name.Format("label%d", i + 1);
        out += Field(name, static_cast<long>(m_phoneLabel[i]));
    }
    for (int i = 0; i < CustomCount; ++i) {
        CString name;
        name.Format("custom%d", i + 1);
        out += Field(name, m_custom[i]);
    }
    return out + Field("display", static_cast<long>(m_displayPhone));
}

//--- tables -----------------------------------------------------------------

CBaseTable::CBaseTable()
{
    m_categories.m_table = this;
}

CBaseTable::~CBaseTable()
{
    Clear();
}

void CBaseTable::Clear()
{
    // Records still held by callers stay theirs; they no longer report back.
    std::vector<Entry> records;
    records.swap(m_records);
    for (Entry& entry : records) {
        entry.record->m_table = nullptr;
        if (entry.owned)
            delete entry.record;
    }
    m_categories = CCategoryMgr();
    m_categories.m_table = this;
    m_nextRecordId = 1;
}

int CBaseTable::OpenFrom(LPCTSTR path, int)
{
    if (PalmStandInFails("CBaseTable::OpenFrom"))
        FailCall(path);
    Clear();
    m_path = path;
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND)
        return CFileException::fileNotFound;
    CFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeRead | CFile::typeBinary, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, path);
    CArchive ar(&file, CArchive::load);
    try {
        Serialize(ar);
    } catch (CException*) {
        Clear();
        m_path = path;
        throw;
    }
    return 0;
}

void CBaseTable::Save()
{
    if (PalmStandInFails("CBaseTable::Save") || m_path.IsEmpty())
        FailCall(m_path);
    SaveReplacing(m_path, [this](CArchive& ar) { Serialize(ar); });
    // From now on the table holds what the file holds; the records callers
    // added are theirs again.
    const CString path = m_path;
    OpenFrom(path, 0);
}

void CBaseTable::Serialize(CArchive& ar)
{
    char magic[4];
    char kind[4];
    if (ar.IsStoring()) {
        ar.Write(kMagic, 4);
        ar.Write(KindTag(), 4);
        ar << kFormatVersion;
    } else {
        int version = 0;
        if (ar.Read(magic, 4) != 4 || ar.Read(kind, 4) != 4 || std::memcmp(magic, kMagic, 4) != 0 ||
            std::memcmp(kind, KindTag(), 4) != 0)
            AfxThrowArchiveException(CArchiveException::badClass, m_path);
        ar >> version;
        if (version != kFormatVersion)
            AfxThrowArchiveException(CArchiveException::badSchema, m_path);
    }
    m_categories.Serialize(ar);
    SerializeLong(ar, m_nextRecordId);
    SerializeExtra(ar);

    unsigned long count = static_cast<unsigned long>(m_records.size());
    if (ar.IsStoring())
        ar << count;
    else
        ar >> count;
    // Every record takes more than one byte: a larger count is a damaged file.
    if (ar.IsLoading() && count > ar.BytesLeft())
        AfxThrowArchiveException(CArchiveException::endOfFile, m_path);
    for (unsigned long i = 0; i < count; ++i) {
        CBaseRecord* record = ar.IsStoring() ? m_records[i].record : NewRecord();
        if (ar.IsLoading())
            m_records.push_back(Entry{record, true});
        SerializeLong(ar, record->m_recordId);
        SerializeInt(ar, record->m_categoryId);
        SerializeInt(ar, record->m_private);
        SerializeInt(ar, record->m_deleted);
        SerializeInt(ar, record->m_archived);
        record->SerializeFields(ar);
    }
}

int CBaseTable::AddRecord(CBaseRecord* record)
{
    if (!record || record->m_table != this)
        return 1;
    if (PalmStandInFails("CBaseTable::AddRecord"))
        AfxThrowArchiveException(CArchiveException::genericException, m_path);
    record->m_recordId = m_nextRecordId++;
    m_records.push_back(Entry{record, false});
    return 0;
}

void CBaseTable::Forget(CBaseRecord* record)
{
    m_records.erase(std::remove_if(m_records.begin(), m_records.end(),
                                   [record](const Entry& entry) { return entry.record == record; }),
                    m_records.end());
}

void CBaseTable::MoveToUnfiled(int categoryIndex)
{
    for (Entry& entry : m_records)
        if (entry.record->m_categoryId == categoryIndex)
            entry.record->m_categoryId = 0;
}

CBaseRecord* CBaseTable::GetRecord(int index) const
{
    return index >= 0 && index < GetRecordCount() ? m_records[index].record : nullptr;
}

CBaseTable* CBaseTable::OpenAny(LPCTSTR path)
{
    char head[8] = {};
    {
        CFile file(path, CFile::modeRead | CFile::typeBinary);
        if (file.Read(head, sizeof head) != sizeof head || std::memcmp(head, kMagic, 4) != 0)
            AfxThrowArchiveException(CArchiveException::badClass, path);
    }
    CBaseTable* table = nullptr;
    if (std::memcmp(head + 4, "TODO", 4) == 0)
        table = new CToDoTable;
    else if (std::memcmp(head + 4, "MEMO", 4) == 0)
        table = new CMemoTable;
    else if (std::memcmp(head + 4, "DATE", 4) == 0)
        table = new CDateBkTable;
    else if (std::memcmp(head + 4, "ADDR", 4) == 0)
        table = new CAddressTable;
    else
        AfxThrowArchiveException(CArchiveException::badClass, path);
    try {
        table->OpenFrom(path, 0);
    } catch (CException*) {
        delete table;
        throw;
    }
    return table;
}

CString CBaseTable::Dump()
{
    CString out = CString("table ") + KindTag() + "\r\n";
    if (CCategoryMgr* categories = GetCategoryManager()) {
        for (CCategory* c = categories->FindFirst(); c; c = categories->FindNext()) {
            CString line;
            line.Format("category %d id=%ld", c->GetIndex(), c->GetID());
            out += line + Field("name", c->GetName()) + "\r\n";
        }
    }
    out += DumpExtra();
    for (const Entry& entry : m_records) {
        const CBaseRecord* r = entry.record;
        CString line;
        line.Format("record id=%ld category=%d private=%d deleted=%d archived=%d", r->GetRecordId(),
                    r->GetCategoryId(), r->IsPrivate(), r->IsDeleted(), r->IsArchived());
        out += line + r->DescribeFields() + "\r\n";
    }
    return out;
}

CAddressTable::CAddressTable()
{
    for (int i = 0; i < CAddressRecord::CustomCount; ++i)
        m_customLabel[i].Format("Custom %d", i + 1);
}

CString CAddressTable::GetCustomLabel(int n) const
{
    return InRange(n, CAddressRecord::CustomCount) ? m_customLabel[n - 1] : CString();
}

void CAddressTable::SetCustomLabel(int n, LPCTSTR text)
{
    if (InRange(n, CAddressRecord::CustomCount))
        m_customLabel[n - 1] = text;
}

void CAddressTable::SerializeExtra(CArchive& ar)
{
    for (CString& label : m_customLabel)
        SerializeText(ar, label);
}

CString CAddressTable::DumpExtra()
{
    CString out;
    for (int i = 0; i < CAddressRecord::CustomCount; ++i) {
        CString name;
        name.Format("custom-label%d", i + 1);
        out += CString("setting") + Field(name, m_customLabel[i]) + "\r\n";
    }
    return out;
}

//--- iterators --------------------------------------------------------------

CBaseRecord* CRecordIterator::FindFirst(int bAll)
{
    m_order.clear();
    for (int i = 0; i < m_table->GetRecordCount(); ++i)
        m_order.push_back(m_table->GetRecord(i));
    Arrange(m_order);
    m_pos = 0;
    return Next(bAll);
}

CBaseRecord* CRecordIterator::FindNext(int bAll)
{
    return Next(bAll);
}

CBaseRecord* CRecordIterator::Next(int bAll)
{
    while (m_pos < m_order.size()) {
        CBaseRecord* record = m_order[m_pos++];
        if (bAll || (!record->IsDeleted() && !record->IsArchived()))
            return record;
    }
    return nullptr;
}

void CDateBkIterator::SortByStartDate()
{
    m_sorted = true;
}

void CDateBkIterator::Arrange(std::vector<CBaseRecord*>& records)
{
    if (!m_sorted)
        return;
    std::stable_sort(records.begin(), records.end(), [](CBaseRecord* a, CBaseRecord* b) {
        return static_cast<CDateBkRecord*>(a)->GetStartTime() < static_cast<CDateBkRecord*>(b)->GetStartTime();
    });
}
