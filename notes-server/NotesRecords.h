// The worker's input records, filled from a Godwit item record, and the
// text list they carry lists in.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

// A BSTR in the ANSI code page, at most `limit` bytes (a null BSTR: "").
std::string AnsiText(BSTR text, size_t limit = std::string::npos);

// An ordered list of ANSI texts.
class TextList {
public:
    virtual ~TextList() = default;

    // VT_BSTR appends one text (a null BSTR nothing); VT_ARRAY|VT_BSTR one
    // per element in index order; any other type nothing.
    void AppendFrom(const VARIANT& value);
    // Clears `out` and makes it an array of the texts, in order.
    HRESULT ToVariant(VARIANT* out) const;

    void Append(const std::string& text) { m_texts.push_back(text); }
    void Clear() { m_texts.clear(); }
    size_t Count() const { return m_texts.size(); }
    const std::string& operator[](size_t index) const { return m_texts[index]; }

private:
    std::vector<std::string> m_texts;
};

// The calendar kind bits of the sub-type mask.
enum : LONG {
    SUBTYPE_APPOINTMENT = 0x100,
    SUBTYPE_ANNIVERSARY = 0x200,
    SUBTYPE_ALL_DAY_EVENT = 0x400,
    SUBTYPE_MEETING = 0x800,
    SUBTYPE_REMINDER = 0x1000,
};

// The calendar entry kinds the calendar filing files.
enum : BYTE {
    CALENDAR_KIND_APPOINTMENT = 1,
    CALENDAR_KIND_ANNIVERSARY = 2,
    CALENDAR_KIND_ALL_DAY_EVENT = 4,
    CALENDAR_KIND_MEETING = 8,
    CALENDAR_KIND_REMINDER = 16,
};

class NotesItemRecord {
public:
    virtual ~NotesItemRecord() = default;
    // The sub-type bits this kind of record files by.
    virtual LONG GetSubType() const { return subType; }
    virtual void SetSubType(LONG mask) { subType = mask; }
    virtual void AddSubType(LONG bits) { subType |= bits; }
    LONG SubTypeMask() const { return subType; }

    std::string note;
    std::string body;
    LONG reserved = 0;
    TextList contacts;

private:
    LONG subType = 0;
};

class NotesMailRecord : public NotesItemRecord {
public:
    TextList recipients;
    TextList ccs;
    TextList bccs;
    TextList attachments;
};

class NotesTodoRecord : public NotesMailRecord {
public:
    LONG GetSubType() const override { return SubTypeMask() & 0xFF; }

    TextList categories;
    LONG priority = 99;
    LONG isPrivate = 0;
    DATE startDate = 0.0;
    DATE dueDate = 0.0;
    LONG completed = 0;
};

class NotesCalendarRecord : public NotesTodoRecord {
public:
    LONG GetSubType() const override { return SubTypeMask() & 0xFF00; }

    LONG calendarReserved = 0;
    DATE start = 0.0;
    DATE end = 0.0;
    LONG alarmAdvance = 0;
    LONG alarmAdvanceUnit = 0;
    LONG pencil = 0;
    LONG eventDays = 0;  // written by the calendar filing before it is read
};

class NotesJournalRecord : public NotesMailRecord {
public:
    TextList journalCategories;
};

// The sub-type bit of a Notes calendar entry type (0 to 4), added to the
// record's mask; any other type changes nothing.
void AddAppointmentTypeBit(NotesItemRecord* record, LONG appointmentType);
// The kind to file: the record's sub-type mapped by exact value, and an
// appointment for 0, unknown values and combinations of bits.
BYTE CalendarKindFromSubType(const NotesItemRecord* record);
