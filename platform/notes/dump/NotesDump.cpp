// notesdump [-a] <database file>: prints every value of every note, one line
// each, as "<note id> <item>=<value>", so that a test or a person sees what
// was written. With -a it adds each note's creation and modification times
// ("<id> $Created=...", "<id> $Modified=...") and each deletion stub
// ("<id> $Deleted=..."). Exit code 1 when the file cannot be read.
#include <cstdio>
#include <cstring>

#include "NotesStore.h"

int main(int argc, char** argv)
{
    const bool all = argc == 3 && std::strcmp(argv[1], "-a") == 0;
    if (argc != 2 && !all) {
        std::fprintf(stderr, "usage: notesdump [-a] <database file>\n");
        return 2;
    }
    const char* file = argv[argc - 1];
    std::vector<NotesNote> notes;
    std::vector<NotesStub> stubs;
    if (!ReadNotesDatabase(file, &notes) || !ReadNotesStubs(file, &stubs)) {
        std::fprintf(stderr, "notesdump: cannot read %s\n", file);
        return 1;
    }
    for (const std::string& line : DumpNotesLines(notes))
        std::printf("%s\n", line.c_str());
    if (all) {
        for (const std::string& line : DumpNotesTimes(notes, stubs))
            std::printf("%s\n", line.c_str());
    }
    return 0;
}
