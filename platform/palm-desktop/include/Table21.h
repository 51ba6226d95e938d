// The table library of the Palm Desktop stand-in: one table file per kind of
// data (to-dos, memos, appointments, addresses) with its categories and
// records. Every failure to read or write a table file is raised as the
// framework's CFileException* or CArchiveException*; the caller deletes it.
#pragma once
#include <afxquill.h>

#include <vector>

// The due date of a to-do that has none.
extern const long maxDate;

class CBaseTable;

//--- categories -------------------------------------------------------------

class CCategory {
public:
    CCategory() = default;
    CCategory(int index, long id, LPCTSTR name) : m_index(index), m_id(id), m_name(name) {}

    int GetIndex() const { return m_index; }
    void SetIndex(int index) { m_index = index; }
    long GetID() const { return m_id; }
    void SetID(long id) { m_id = id; }
    const CString& GetName() const { return m_name; }
    void SetName(LPCTSTR name) { m_name = name; }

private:
    int m_index = -1;
    long m_id = 0;
    CString m_name;
};

// The sixteen category slots of a table. Slot 0 is "Unfiled" and stays.
class CCategoryMgr {
public:
    enum { MaxCategories = 16 };
    enum Error { ok = 0, errSlotTaken, errDuplicateName, errBadIndex, errEmptyName, errRefused };

    CCategoryMgr();

    // Walk the used slots in index order; null at the end.
    CCategory* FindFirst();
    CCategory* FindNext();
    // The category of that name (case counts), or null.
    CCategory* FindName(LPCTSTR name);
    // The lowest unused slot, -1 when all are taken.
    int GetFreeIndex() const;
    // The id the next added category gets.
    long GetNextAddID() const { return m_nextId; }
    int GetCount() const;
    // Takes over the category's values into its slot; an Error.
    int Add(const CCategory* category);
    // Empties the slot; its records go to "Unfiled". An Error.
    int Delete(int index);

    void Serialize(CArchive& ar);

private:
    friend class CBaseTable;
    CCategory* Slot(int index);
    CCategory m_slots[MaxCategories];
    bool m_used[MaxCategories];
    long m_nextId = 1;
    int m_cursor = 0;
    CBaseTable* m_table = nullptr;
};

//--- records ----------------------------------------------------------------

class CBaseRecord {
public:
    // bNew: a record made to be added to the table, not one read from it.
    CBaseRecord(CBaseTable* table, int bNew);
    virtual ~CBaseRecord();
    CBaseRecord(const CBaseRecord&) = delete;
    CBaseRecord& operator=(const CBaseRecord&) = delete;

    CBaseTable* GetTable() const { return m_table; }
    long GetRecordId() const { return m_recordId; }
    int GetCategoryId() const { return m_categoryId; }
    void SetCategoryId(int id) { m_categoryId = id; }
    int IsPrivate() const { return m_private; }
    void SetPrivate(int flag);
    int IsDeleted() const { return m_deleted; }
    void SetDeleted(int flag) { m_deleted = flag ? 1 : 0; }
    int IsArchived() const { return m_archived; }
    void SetArchived(int flag) { m_archived = flag ? 1 : 0; }

    // The fields of the record's kind; the base fields are stored by the table.
    virtual void SerializeFields(CArchive& ar) = 0;
    // One line of the dump: the kind's fields as name=value pairs.
    virtual CString DescribeFields() const = 0;

private:
    friend class CBaseTable;
    CBaseTable* m_table;
    long m_recordId = 0;
    int m_categoryId = 0;
    int m_private = 0;
    int m_deleted = 0;
    int m_archived = 0;
};

class CToDoRecord : public CBaseRecord {
public:
    using CBaseRecord::CBaseRecord;
    const CString& GetDescription() const { return m_description; }
    void SetDescription(LPCTSTR text) { m_description = text; }
    long GetDueDate() const { return m_dueDate; }
    void SetDueDate(long time) { m_dueDate = time; }
    int IsCompleted() const { return m_completed; }
    void SetCompleted(int flag) { m_completed = flag ? 1 : 0; }
    int GetPriority() const { return m_priority; }
    void SetPriority(int priority) { m_priority = priority; }
    const CString& GetNote() const { return m_note; }
    void SetNote(LPCTSTR text) { m_note = text; }

    void SerializeFields(CArchive& ar) override;
    CString DescribeFields() const override;

private:
    CString m_description;
    long m_dueDate = maxDate;
    int m_completed = 0;
    int m_priority = 1;
    CString m_note;
};

class CMemoRecord : public CBaseRecord {
public:
    using CBaseRecord::CBaseRecord;
    const CString& GetMemo() const { return m_memo; }
    void SetMemo(LPCTSTR text) { m_memo = text; }

    void SerializeFields(CArchive& ar) override;
    CString DescribeFields() const override;

private:
    CString m_memo;
};

class CDateBkRecord : public CBaseRecord {
public:
    enum AlarmUnit { minutes = 0, hours = 1, days = 2 };
    using CBaseRecord::CBaseRecord;
    const CString& GetDescription() const { return m_description; }
    void SetDescription(LPCTSTR text) { m_description = text; }
    const CString& GetNote() const { return m_note; }
    void SetNote(LPCTSTR text) { m_note = text; }
    long GetStartTime() const { return m_start; }
    void SetStartTime(long time) { m_start = time; }
    long GetEndTime() const { return m_end; }
    void SetEndTime(long time) { m_end = time; }
    int IsUnTimed() const { return m_untimed; }
    void SetUnTimedFlag(int flag) { m_untimed = flag ? 1 : 0; }
    int IsAlarmSet() const { return m_alarm; }
    void SetAlarmFlag(int flag) { m_alarm = flag ? 1 : 0; }
    int GetAlarmAdvTime() const { return m_alarmAdvance; }
    void SetAlarmAdvTime(int advance) { m_alarmAdvance = advance; }
    int GetAlarmAdvUnit() const { return m_alarmUnit; }
    void SetAlarmAdvUnit(int unit) { m_alarmUnit = unit; }

    void SerializeFields(CArchive& ar) override;
    CString DescribeFields() const override;

private:
    CString m_description;
    CString m_note;
    long m_start = 0;
    long m_end = 0;
    int m_untimed = 0;
    int m_alarm = 0;
    int m_alarmAdvance = 0;
    int m_alarmUnit = minutes;
};

class CAddressRecord : public CBaseRecord {
public:
    enum { PhoneCount = 5, CustomCount = 4 };
    using CBaseRecord::CBaseRecord;
    const CString& GetName() const { return m_name; }        // the last name
    void SetName(LPCTSTR text) { m_name = text; }
    const CString& GetFirst() const { return m_first; }
    void SetFirst(LPCTSTR text) { m_first = text; }
    const CString& GetTitle() const { return m_title; }
    void SetTitle(LPCTSTR text) { m_title = text; }
    const CString& GetCompany() const { return m_company; }
    void SetCompany(LPCTSTR text) { m_company = text; }
    const CString& GetAddress() const { return m_address; }
    void SetAddress(LPCTSTR text) { m_address = text; }
    const CString& GetCity() const { return m_city; }
    void SetCity(LPCTSTR text) { m_city = text; }
    const CString& GetState() const { return m_state; }
    void SetState(LPCTSTR text) { m_state = text; }
    const CString& GetZipCode() const { return m_zip; }
    void SetZipCode(LPCTSTR text) { m_zip = text; }
    const CString& GetCountry() const { return m_country; }
    void SetCountry(LPCTSTR text) { m_country = text; }
    const CString& GetNote() const { return m_note; }
    void SetNote(LPCTSTR text) { m_note = text; }
    // Phones and custom fields count from 1; another number reads "" or -1
    // and writes nothing.
    CString GetPhone(int n) const;
    void SetPhone(int n, LPCTSTR text);
    int GetPhoneLabelID(int n) const;
    void SetPhoneLabelID(int n, int labelId);
    CString GetCustom(int n) const;
    void SetCustom(int n, LPCTSTR text);
    // 1 to 5: the phone shown in lists.
    int GetDisplayPhone() const { return m_displayPhone; }
    void SetDisplayPhone(int n) { m_displayPhone = n; }

    void SerializeFields(CArchive& ar) override;
    CString DescribeFields() const override;

private:
    CString m_name, m_first, m_title, m_company, m_address, m_city, m_state, m_zip, m_country, m_note;
    CString m_phone[PhoneCount];
    int m_phoneLabel[PhoneCount] = {0, 1, 2, 3, 4};
    CString m_custom[CustomCount];
    int m_displayPhone = 1;
};

//--- tables -----------------------------------------------------------------

class CBaseTable {
public:
    virtual ~CBaseTable();
    CBaseTable(const CBaseTable&) = delete;
    CBaseTable& operator=(const CBaseTable&) = delete;

    // Reads the table file. A missing file gives an empty table and answers
    // fileNotFound; a file that cannot be read, is locked or is no table of
    // this kind throws. 0 when read.
    int OpenFrom(LPCTSTR path, int flags);
    // Writes the table to the file it was opened from (a temporary file
    // beside it, renamed over it once complete) and reads it back, after
    // which the records callers added are no longer part of the table.
    // Throws on failure.
    void Save();
    // Null for a table without categories.
    virtual CCategoryMgr* GetCategoryManager() { return &m_categories; }
    // Takes the record into the table and gives it the next record id; the
    // record stays the caller's: its values at Save time are written, and
    // deleting it before then takes it out of the table again. 0, or 1 when
    // the record was made for another table.
    virtual int AddRecord(CBaseRecord* record);

    int GetRecordCount() const { return static_cast<int>(m_records.size()); }
    CBaseRecord* GetRecord(int index) const;
    const CString& GetPath() const { return m_path; }
    // The four letters that mark the kind in the file.
    virtual const char* KindTag() const = 0;
    // A table of the kind that the file holds, read from it (the dump tool's
    // way in); throws like OpenFrom, and for a missing file.
    static CBaseTable* OpenAny(LPCTSTR path);
    // The whole table as text, one line per category, record and setting.
    virtual CString Dump();

protected:
    CBaseTable();
    virtual CBaseRecord* NewRecord() = 0;
    // Settings of the kind beyond categories and records.
    virtual void SerializeExtra(CArchive& ar) {}
    virtual CString DumpExtra() { return CString(); }

private:
    friend class CBaseRecord;
    friend class CCategoryMgr;
    struct Entry {
        CBaseRecord* record;
        bool owned;
    };
    void Clear();
    void Serialize(CArchive& ar);
    void Forget(CBaseRecord* record);
    void MoveToUnfiled(int categoryIndex);

    CString m_path;
    CCategoryMgr m_categories;
    std::vector<Entry> m_records;
    long m_nextRecordId = 1;
};

class CToDoTable : public CBaseTable {
public:
    const char* KindTag() const override { return "TODO"; }

protected:
    CBaseRecord* NewRecord() override { return new CToDoRecord(this, 0); }
};

class CMemoTable : public CBaseTable {
public:
    const char* KindTag() const override { return "MEMO"; }

protected:
    CBaseRecord* NewRecord() override { return new CMemoRecord(this, 0); }
};

class CDateBkTable : public CBaseTable {
public:
    const char* KindTag() const override { return "DATE"; }
    CCategoryMgr* GetCategoryManager() override { return nullptr; }

protected:
    CBaseRecord* NewRecord() override { return new CDateBkRecord(this, 0); }
};

class CAddressTable : public CBaseTable {
public:
    CAddressTable();
    const char* KindTag() const override { return "ADDR"; }
    // The user's names of the custom fields, 1 to 4 ("" for another number).
    CString GetCustomLabel(int n) const;
    void SetCustomLabel(int n, LPCTSTR text);

protected:
    CBaseRecord* NewRecord() override { return new CAddressRecord(this, 0); }
    void SerializeExtra(CArchive& ar) override;
    CString DumpExtra() override;

private:
    CString m_customLabel[CAddressRecord::CustomCount];
};

//--- iterators --------------------------------------------------------------

// Walks a table's records in file order; FindFirst/FindNext with a non-zero
// argument include deleted and archived records, with 0 they skip them.
class CRecordIterator {
public:
    CRecordIterator(const CRecordIterator&) = delete;
    CRecordIterator& operator=(const CRecordIterator&) = delete;
    explicit CRecordIterator(CBaseTable* table) : m_table(table) {}
    CBaseRecord* FindFirst(int bAll);
    CBaseRecord* FindNext(int bAll);

    virtual ~CRecordIterator() = default;

protected:
    // Puts the walk's records in the order the iterator gives them.
    virtual void Arrange(std::vector<CBaseRecord*>& records) {}

private:
    CBaseRecord* Next(int bAll);
    std::vector<CBaseRecord*> m_order;
    CBaseTable* m_table;
    size_t m_pos = 0;
};

class CAddressIterator : public CRecordIterator {
public:
    explicit CAddressIterator(CAddressTable* table) : CRecordIterator(table) {}
    CAddressRecord* FindFirst(int bAll) { return static_cast<CAddressRecord*>(CRecordIterator::FindFirst(bAll)); }
    CAddressRecord* FindNext(int bAll) { return static_cast<CAddressRecord*>(CRecordIterator::FindNext(bAll)); }
};

class CDateBkIterator : public CRecordIterator {
public:
    explicit CDateBkIterator(CDateBkTable* table) : CRecordIterator(table) {}
    // Later walks go by start time (earlier first; equal starts in file order).
    void SortByStartDate();
    CDateBkRecord* FindFirst(int bAll) { return static_cast<CDateBkRecord*>(CRecordIterator::FindFirst(bAll)); }
    CDateBkRecord* FindNext(int bAll) { return static_cast<CDateBkRecord*>(CRecordIterator::FindNext(bAll)); }

protected:
    void Arrange(std::vector<CBaseRecord*>& records) override;

private:
    bool m_sorted = false;
};
