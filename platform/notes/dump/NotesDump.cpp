// notesdump <database file>: prints every value of every note, one line
// each, as "<note id> <item>=<value>", so that a test or a person sees what
// was written. Exit code 1 when the file cannot be read.
#include <cstdio>

#include "NotesStore.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: notesdump <database file>\n");
        return 2;
    }
    std::vector<NotesNote> notes;
    if (!ReadNotesDatabase(argv[1], &notes)) {
        std::fprintf(stderr, "notesdump: cannot read %s\n", argv[1]);
        return 1;
    }
    for (const std::string& line : DumpNotesLines(notes))
        std::printf("%s\n", line.c_str());
    return 0;
}
