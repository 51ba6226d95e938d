// What the filing operations share beside the worker: contact references,
// text clean-up and item writing.
#pragma once
#include <windows.h>

#include <string>

#include "LNClasses.h"
#include "NotesRecords.h"

// A contact or folder reference as the reading side hands it out:
// "<server>##<database path>##<note id>".
struct ContactKey {
    DWORD noteId = 0;
    std::string databasePath;
    std::string server;
};

// Without a second "##" the reference names no note: its id is 0.
ContactKey ParseContactKey(const std::string& text);
// Every carriage return becomes a blank; line feeds stay.
void ReplaceCarriageReturns(std::string* text);
// Each entry quoted (inner quotes doubled) and followed by a comma.
std::string JoinQuotedFields(const TextList& list);
// The display name of a person document: first and last name, or the
// company name when both are empty; throws what the library fails with.
std::string ContactDisplayName(const LNNote& person);

LNText TextValue(const std::string& text);

// Gives the item its value, reusing the item when the note has one.
template <class Value>
void PutItem(LNNote* note, const char* name, const Value& value, DWORD flags, DWORD option)
{
    if (note->HasItem(name))
        note->SetItemValue(name, value);
    else
        note->CreateItem(name, value, flags, option);
}

// Item flags and options the filing writes with.
const DWORD kSummary = 0x04;
const DWORD kAuthorFlags = 0x65;
const DWORD kNamesFlags = 0x45;
const DWORD kKeepOption = 0x10000;
const DWORD kListOption = 0x20000;
