// outlookdump [store]: prints the stand-in's message store as sorted lines
// (the store the settings name when none is given). Exit status 0 when the
// store was read, 1 when it is missing a name, unreadable or no store.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "OutlookStore.h"
#include "StandInSettings.h"

int main(int argc, char** argv)
{
    std::wstring path;
    if (argc > 1) {
        int size = MultiByteToWideChar(CP_ACP, 0, argv[1], -1, nullptr, 0);
        path.assign(size > 0 ? size - 1 : 0, L'\0');
        if (size > 1)
            MultiByteToWideChar(CP_ACP, 0, argv[1], -1, &path[0], size);
    } else {
        path = StandInSettings::StorePath();
    }
    if (path.empty()) {
        std::fprintf(stderr, "outlookdump: no store named\n");
        return 1;
    }
    std::vector<StoreRecord> records;
    if (!ReadStore(path, &records)) {
        std::fprintf(stderr, "outlookdump: the store cannot be read\n");
        return 1;
    }
    // The same bytes on every system: lines end in a line feed alone.
    _setmode(_fileno(stdout), _O_BINARY);
    for (const std::string& line : DumpStoreLines(records))
        std::printf("%s\n", line.c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}
