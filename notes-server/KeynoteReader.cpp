#include "KeynoteReader.h"

namespace {

// Clears itself.
class Value : public VARIANT {
public:
    Value() { VariantInit(this); }
    ~Value() { VariantClear(this); }
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;
};

}  // namespace

bool KeynoteReader::Read(const wchar_t* name, VARTYPE type, VARIANT* value) const
{
    m_cache.Read(m_item, name, value);
    return V_VT(value) == type;
}

// Whole: the body is the whole note, and the filing says when Notes
// cannot take it rather than lose its end.
void KeynoteReader::Text(const wchar_t* name, std::string* text) const
{
    Value value;
    if (Read(name, VT_BSTR, &value))
        *text = AnsiText(V_BSTR(&value));
}

void KeynoteReader::Short(const wchar_t* name, LONG* number) const
{
    Value value;
    if (Read(name, VT_I2, &value))
        *number = V_I2(&value);
}

void KeynoteReader::Date(const wchar_t* name, DATE* date) const
{
    Value value;
    if (Read(name, VT_DATE, &value))
        *date = V_DATE(&value);
}

void KeynoteReader::List(const wchar_t* name, TextList* list) const
{
    Value value;
    m_cache.Read(m_item, name, &value);
    list->AppendFrom(value);
}

void KeynoteReader::ReadBase(NotesItemRecord* record) const
{
    Text(L"Note", &record->note);
    Value subType;
    if (Read(L"SubType", VT_I4, &subType))
        record->SetSubType(V_I4(&subType));
    Text(L"Body", &record->body);
    List(L"Contacts", &record->contacts);
}

void KeynoteReader::ReadMail(NotesMailRecord* record) const
{
    ReadBase(record);
    TextList* lists[] = {&record->recipients, &record->ccs, &record->bccs, &record->attachments};
    const wchar_t* names[] = {L"Recipients", L"CCs", L"BCCs", L"Attachments"};
    for (int i = 0; i < 4; ++i) {
        lists[i]->Clear();
        List(names[i], lists[i]);
    }
}

void KeynoteReader::ReadCalendar(NotesCalendarRecord* record) const
{
    ReadMail(record);
    List(L"TaskCategory", &record->categories);
    Date(L"StartDate", &record->start);
    Date(L"EndDate", &record->end);
    Short(L"Private", &record->isPrivate);
    Short(L"Pencil", &record->pencil);
    Short(L"Private", &record->isPrivate);
    Short(L"AlarmAdvance", &record->alarmAdvance);
    Short(L"AlarmAdvanceUnit", &record->alarmAdvanceUnit);
}

void KeynoteReader::ReadTodo(NotesTodoRecord* record) const
{
    ReadMail(record);
    List(L"TaskCategory", &record->categories);
    Short(L"Priority", &record->priority);
    Short(L"Completed", &record->completed);
    Date(L"StartDate", &record->startDate);
    Date(L"DueDate", &record->dueDate);
    Short(L"Private", &record->isPrivate);
}

void KeynoteReader::ReadJournal(NotesJournalRecord* record) const
{
    ReadMail(record);
    List(L"JournalCategory", &record->journalCategories);
}
