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
    // Written with the summary flag; known only while the note is in memory.
    bool summary = false;
    // In memory only: a value the file cannot hold as text, kept as the
    // library hands it out (its type, then its data) in values[0]; 0 for
    // an item of text, numbers or times.
    WORD rawType = 0;
};

struct NotesNote {
    DWORD id = 0;
    std::vector<NotesItem> items;
    // When the note was first saved and last saved, as the stand-in's time
    // stamps (date yyyymmdd, time hhmmss); {0, 0} for a note written by a
    // test, which counts as older than any time.
    DWORD created[2] = {0, 0};
    DWORD modified[2] = {0, 0};

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
// The file's deletion stubs stay, but for a note of the same id written again.
bool WriteNotesDatabase(const std::string& path, const std::vector<NotesNote>& notes);
// Text between the Windows code page and the LMBCS the files keep.
std::string NotesLmbcsOfNative(const std::string& native);
std::string NotesNativeOfLmbcs(const std::string& lmbcs);

// What notesdump prints: "<id> <item>=<value>" per value, notes in file
// order, texts in the Windows code page.
std::vector<std::string> DumpNotesLines(const std::vector<NotesNote>& notes);

// The folder below the data directory that holds a server's databases:
// "servers\" and the server name with each character that cannot stand in
// a file name replaced by "_" ("Mail01/Acme" gives "servers\Mail01_Acme").
std::string ServerFolder(const std::string& server);

// What a deleted note leaves in its database: its id, its class and when it
// was deleted, so that readers of what changed learn of the deletion.
struct NotesStub {
    DWORD id = 0;
    int noteClass = 1;
    DWORD deleted[2] = {0, 0};
};

// The note's class: its "$NoteClass" (4 form, 8 view or folder), else 1 for
// a document.
int NotesNoteClass(const NotesNote& note);
// The current local time as a stamp.
void NotesNow(DWORD stamp[2]);
// -1, 0 or 1 as a is earlier, the same or later than b.
int CompareStamps(const DWORD a[2], const DWORD b[2]);

bool ReadNotesStubs(const std::string& path, std::vector<NotesStub>* stubs);
// Deletes the note of that id, leaving its stub; false when the file or
// the note is missing.
bool DeleteNotesNote(const std::string& path, DWORD id);
// What "notesdump -a" adds: "<id> $Created=..." and "<id> $Modified=..." for
// notes that have the times, "<id> $Deleted=..." for each stub.
std::vector<std::string> DumpNotesTimes(const std::vector<NotesNote>& notes, const std::vector<NotesStub>& stubs);
