// The stand-in's files: notes.ini and the databases, which are text files of
// notes, each a "[note N]" line followed by "item=value" lines (an item
// given on several lines is a text list; "item(number)=value" is a number).
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

struct NotesItem {
    std::string name;
    std::vector<std::string> values;
    bool number = false;
};

struct NotesNote {
    DWORD id = 0;
    std::vector<NotesItem> items;

    // Item names compare without regard to case, as Notes does.
    const NotesItem* Find(const std::string& name) const;
    // The first value of an item, or "" when it is absent.
    std::string Text(const std::string& name) const;
    NotesItem* Find(const std::string& name);
};

// The note of that id, or null.
NotesNote* FindNote(std::vector<NotesNote>& notes, DWORD id);

typedef std::vector<std::pair<std::string, std::string>> NotesIniValues;

// The values of notes.ini's [Notes] section; false when the file cannot be read.
bool ReadNotesIni(const std::string& path, NotesIniValues* values);
// A value by name (any case); false when absent.
bool FindIniValue(const NotesIniValues& values, const std::string& name, std::string* value);

bool ReadNotesDatabase(const std::string& path, std::vector<NotesNote>* notes);
// Through a temporary file beside the target, renamed over it when complete.
bool WriteNotesDatabase(const std::string& path, const std::vector<NotesNote>& notes);
// What notesdump prints: "<id> <item>=<value>" per value, notes in file order.
std::vector<std::string> DumpNotesLines(const std::vector<NotesNote>& notes);

// The folder below the data directory that holds a server's databases:
// "servers\" and the server name with each character that cannot stand in
// a file name replaced by "_" ("Mail01/Acme" gives "servers\Mail01_Acme").
std::string ServerFolder(const std::string& server);
