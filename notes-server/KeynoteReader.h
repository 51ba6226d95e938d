// Reads a Godwit item record into the worker's input records: each property
// looked up by name in the object's cache and read with a property get; a
// property that cannot be read, or has another type, keeps the default.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "GodwitDispIdCache.h"
#include "NotesRecords.h"

class KeynoteReader {
public:
    KeynoteReader(IDispatch* item, const GodwitDispIdCache& cache) : m_item(item), m_cache(cache) {}

    void ReadBase(NotesItemRecord* record) const;
    // The base, then the address lists and attachments, each emptied first.
    void ReadMail(NotesMailRecord* record) const;
    // The mail fields, then categories, priority, completion, dates and
    // the private flag.
    void ReadTodo(NotesTodoRecord* record) const;
    // The mail fields, then the journal folders.
    void ReadJournal(NotesJournalRecord* record) const;
    // The mail fields, then categories, dates, the private flag (read twice:
    // the second read decides), pencil and the alarm lead time.
    void ReadCalendar(NotesCalendarRecord* record) const;

private:
    // A fresh read of the property into `value`; false unless it has `type`.
    bool Read(const wchar_t* name, VARTYPE type, VARIANT* value) const;
    void Text(const wchar_t* name, std::string* text) const;
    void Short(const wchar_t* name, LONG* number) const;
    void Date(const wchar_t* name, DATE* date) const;
    void List(const wchar_t* name, TextList* list) const;

    IDispatch* m_item;
    const GodwitDispIdCache& m_cache;
};
