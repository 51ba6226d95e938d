// palmdump <file>...: prints each Palm Desktop stand-in file as text.
#include <cstdio>

#include "PalmDump.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: palmdump <table or users file>...\n", stderr);
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        CString text = PalmDumpFile(argv[i]);
        if (text.Left(7) == "error: ")
            status = 1;
        std::fputs(text, stdout);
    }
    return status;
}
