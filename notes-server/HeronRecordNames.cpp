#include "HeronRecordNames.h"

const wchar_t* const kHeronRecordNames[] = {
    L"Body",         L"Priority",  L"Private",    L"Type",        L"StartDate",      L"EndDate",
    L"DueDate",      L"Completed", L"TaskCategory", L"JournalCategory", L"Contacts", L"Pencil",
    L"SubType",      L"Recipients", L"CCs",       L"BCCs",        L"Database",       L"Attachments",
    L"AlarmAdvance", L"AlarmAdvanceUnit", L"Note", L"AboutBox",   L"Error",
};
const size_t kHeronRecordNameCount = sizeof kHeronRecordNames / sizeof kHeronRecordNames[0];
